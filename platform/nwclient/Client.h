// The state behind the client operations: configuration, trees, contexts,
// iterations, connections and server modules. One instance lives between
// initialize and terminate; NWClient.cpp forwards every operation to it.
#pragma once

#include "platform/nwclient/Buffers.h"
#include "platform/nwclient/Config.h"
#include "platform/nwclient/DirectoryTree.h"
#include "platform/nwclient/NWClient.h"
#include "platform/nwclient/Store.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace nwclient {

class Client {
public:
    // Loads configuration, store and trees; null with error set on failure.
    static std::unique_ptr<Client> create(const std::string& configPath, std::string& error);

    // contexts
    int32_t createContext(Context& context);
    int32_t duplicateContext(Context source, Context& duplicate);
    int32_t freeContext(Context context);
    int32_t getContextKey(Context context, int key, uint32_t& value);
    int32_t getContextKey(Context context, int key, std::string& value);
    int32_t setContextKey(Context context, int key, uint32_t value);
    int32_t setContextKey(Context context, int key, const std::string& value);
    int32_t defaultNameContext(Context context, std::string& nameContext);
    int32_t setPreferredTree(const std::string& treeName);
    int32_t checkContext(Context context);
    // Why a configured tree could not be loaded (its data file cannot be opened or is malformed);
    // empty when it was.
    std::string treeProblem(const std::string& treeName) const;
    // The reasons of every tree left out, in configuration order.
    std::vector<std::string> treeProblems() const;

    // directory
    int32_t read(Context context, const std::string& objectName, uint32_t infoType, bool allAttributes,
                 Buffer* request, int32_t& iteration, Buffer* reply);
    int32_t attributeSyntax(Context context, const std::string& attributeName, uint32_t& syntax);
    int32_t closeIteration(Context context, int32_t iteration);
    int32_t objectInfo(Context context, const std::string& objectName, std::string& distinguishedName,
                       ObjectInfo& info);
    int32_t modifyObject(Context context, const std::string& objectName, Buffer* request);
    int32_t addObject(Context context, const std::string& objectName, Buffer* request);
    int32_t removeObject(Context context, const std::string& objectName);
    int32_t search(Context context, const std::string& baseName, int32_t scope, Buffer* filterRequest,
                   uint32_t infoType, bool allAttributes, Buffer* attributeNames, int32_t& iteration,
                   int32_t* countSearched, Buffer* reply);
    int32_t list(Context context, const std::string& parentName, bool containersOnly, int32_t& iteration,
                 Buffer* reply);
    int32_t listPartitions(Context context, const std::string& serverName, int32_t& iteration, Buffer* reply);

    // trees and users
    int32_t scanTreeName(Context context, int32_t& iteration, std::string& treeName);
    int32_t scanTreeNames(Context context, uint32_t capacity, uint32_t& count,
                          std::vector<std::string>& names);
    int32_t whoAmI(Context context, std::string& userName);
    int32_t login(Context context, const std::string& userName, const std::string& password);

    // connections, volumes, modules
    int32_t openConnectionByName(Context context, const std::string& serverName, Connection& connection);
    int32_t authenticateConnection(Context context, Connection connection);
    int32_t releaseConnectionAuthentication(Connection connection);
    int32_t primaryConnectionReference(ConnectionReference& reference);
    int32_t openConnection(ConnectionReference reference, Connection& connection);
    int32_t closeConnection(Connection connection);
    int32_t connectionInformation(Connection connection, uint32_t infoType, std::string& value);
    int32_t attachToServerByAddress(const std::string& address, Connection& connection);
    int32_t mapPathToConnection(const std::string& path, Connection& connection, uint32_t& flags,
                                std::string& volumePath);
    int32_t nextVolumeDirectoryEntry(Connection connection, const std::string& directoryPath,
                                     uint32_t attributeMask, int32_t& iteration, DirectoryEntry& entry);
    int32_t loadServerModule(Connection connection, const std::string& commandLine, uint32_t& moduleResult);
    int32_t unloadServerModule(Connection connection, const std::string& moduleName);
    std::vector<std::string> moduleLog();
    std::vector<std::string> loadedModules(const std::string& serverName);

    Store& store() { return *store_; }
    DirectoryTree* tree(const std::string& name) const;

private:
    struct ContextState {
        uint32_t flags = FLAG_DEREFERENCE_ALIASES | FLAG_TYPELESS_NAMES | FLAG_CANONICALIZE_NAMES;
        uint32_t confidence = 0;
        std::string nameContext;
        Connection connection = 0;
        std::string tree;
    };
    struct TreeState {
        bool visible = true;
        std::string loggedInUser;
    };
    struct ConnectionState {
        int server = -1; // index into config_.servers; -1: the tree without a server
        std::string tree;
        bool authenticated = false;
    };
    struct Iteration {
        enum Kind { ReadKind, ObjectsKind, PartitionsKind, DirectoryKind };
        int kind = ReadKind;
        Context owner = 0;
        // reads
        EntryPtr entry;
        std::string entryName;
        std::vector<const Attribute*> attributes;
        bool namesOnly = false;
        std::size_t attribute = 0;
        std::size_t value = 0;
        // searches and lists
        DirectoryTree* tree = nullptr;
        std::vector<EntryPtr> results;
        std::size_t position = 0;
        bool leafNames = false;
        bool allAttributes = false;
        std::vector<std::string> attributeKeys;
        // partitions
        std::vector<std::pair<std::string, uint32_t>> partitions;
        // volume directories
        std::vector<DirectoryEntry> directoryEntries;
    };
    struct Target {
        DirectoryTree* tree = nullptr;
        EntryPtr entry;
        ContextState context;
    };

    Client() = default;
    // The context's field a numeric key stands for; none for other keys.
    static uint32_t* numericKey(ContextState& state, int key);
    int32_t contextState(Context context, ContextState& state);
    int32_t contextTree(Context context, ContextState& state, DirectoryTree*& tree);
    int32_t locate(Context context, const std::string& objectName, Target& target);
    int32_t registerIteration(std::shared_ptr<Iteration> iteration, int32_t& handle);
    std::shared_ptr<Iteration> findIteration(int32_t handle, int kind);
    void dropIteration(int32_t handle);
    // Ends the iteration when done, else keeps it under a new handle the first time round.
    void finishIteration(bool done, std::shared_ptr<Iteration> iteration, int32_t& handle);
    int32_t fillObjects(Iteration& iteration, Buffer* reply);
    int32_t resolveNameValue(const ContextState& context, DirectoryTree& tree, std::string& name);
    int32_t addValue(const ContextState& context, DirectoryTree& tree, Entry& entry,
                     const std::string& attributeName, const Value& value);
    int32_t attributeDefinition(DirectoryTree& tree, const std::string& name, std::string& canonical,
                                uint32_t& syntax, bool& multiValued);
    std::vector<std::string> treeReports();
    int findServer(const std::string& name) const;
    Connection newConnection(ConnectionState state);
    void logModule(const std::string& line);
    // The server of a logged-in connection (the caller holds the lock).
    int32_t loggedInServer(Connection connection, std::size_t& serverIndex) const;
    bool localDirectory(const std::string& directoryPath, std::string& local) const;

    ClientConfig config_;
    std::unique_ptr<Store> store_;
    std::vector<std::unique_ptr<DirectoryTree>> trees_; // config order, without the trees that failed
    std::map<std::string, std::string> treeProblems_;   // by tree name in lower case: why it failed

    std::mutex mutex_; // everything below
    std::string preferredTree_;
    std::map<std::string, TreeState> treeStates_; // by tree name
    std::map<Context, ContextState> contexts_;
    Context nextContext_ = 0x1001;
    std::map<int32_t, std::shared_ptr<Iteration>> iterations_;
    int32_t nextIteration_ = 1;
    std::map<Connection, ConnectionState> connections_;
    Connection nextConnection_ = 0x2001;
    std::vector<ConnectionState> references_;
    std::set<int> attached_;
    std::vector<std::vector<std::string>> loadedModules_; // per server
    std::vector<std::string> moduleLog_;
};

} // namespace nwclient
