#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace browser {

// A directory context handle as the client hands it out.
using ContextHandle = std::uint32_t;
// A server connection handle of the client.
using ConnectionHandle = std::uint32_t;

// The directory operations that start-up, the tree choice, the login and the settings dialog need.
// The program implements it over the directory access layer; tests replace it.
//
// Operations documented as "raises" throw std::exception (the layer's directory error) on a
// non-zero client result; the others return the client's result code unraised.
class TreeDirectory {
public:
    virtual ~TreeDirectory() = default;

    // Client lifetime: 0 when the client is there.
    virtual int InitClient() = 0;
    // The folders the client reads its configuration and trees from (none known: empty).
    virtual std::vector<std::string> TreeFolders() { return {}; }
    virtual void EndClient() = 0;
    // Why the client could not start (the file and the cause); empty when not known.
    virtual std::string ClientProblem();
    // Why a tree of the client's configuration cannot be opened (its data file and the cause);
    // empty when not known.
    virtual std::string TreeProblem(const std::string& treeName);
    // The reasons of every tree of the configuration left out when the client started.
    virtual std::vector<std::string> TreeProblems();

    // A new context with typeless names, no canonicalisation and no alias dereferencing;
    // ok is false when the context could not be made (the handle must then not be used).
    virtual ContextHandle CreateDSContext(bool& ok) = 0;
    virtual int DuplicateContext(ContextHandle context, ContextHandle& duplicate) = 0;
    virtual void FreeContext(ContextHandle context) = 0;
    virtual int SelectTree(ContextHandle context, const std::string& treeName, bool setPreferred) = 0;
    // Raises.
    virtual std::string GetContextTreeName(ContextHandle context) = 0;
    // Writes the context's confidence key; raises.
    virtual void SetContextConfidence(ContextHandle context, int confidence) = 0;

    // Up to capacity tree names in one call; a non-zero result leaves names unchanged.
    virtual int ListTreeNames(ContextHandle context, int capacity, std::vector<std::string>& names) = 0;
    // Every tree the workstation sees, sorted and unique; raises.
    virtual std::vector<std::string> ScanAvailableTrees(ContextHandle context) = 0;

    // Whether the local path lies on a mapped server volume (the connection found is closed again).
    virtual bool PathOnServerVolume(const std::string& path) = 0;
    // Whether this process can create files in the local folder: a probe file is made and removed.
    virtual bool FolderWritable(const std::string& folder);
    // The name of the user logged in through the context; raises.
    virtual std::string LoggedInUserName(ContextHandle context) = 0;
    // One attribute of an object rendered as text (empty when missing); raises.
    virtual std::string ReadAttributeText(ContextHandle context, const std::string& objectName,
                                          const std::string& attributeName) = 0;
    // The local folder through which a server's volume is reached ("\\server\resource\path\"
    // form); empty when the workstation has no mapping for it.
    virtual std::string LocalPathOfServerPath(const std::string& serverPath) = 0;

    // Logs the context in; 0 on success.
    virtual int Login(ContextHandle context, const std::string& userName, const std::string& password) = 0;
    // Attaches to a server by address text; 0 or 0x8800 means attached.
    virtual int AttachByAddress(const std::string& address, ConnectionHandle& connection) = 0;
    // The tree name a connection reports (as the server pads it); 0 on success.
    virtual int ConnectionTreeName(ConnectionHandle connection, std::string& treeName) = 0;

    // Raises.
    virtual std::string GetObjectBaseClass(ContextHandle context, const std::string& objectName) = 0;
    // For an alias its aliased object, otherwise the name unchanged; raises.
    virtual std::string ResolveAlias(ContextHandle context, const std::string& objectName) = 0;
};

// Result codes the start-up logic tests for.
inline constexpr int kAlreadyAttached = 0x8800;

} // namespace browser
