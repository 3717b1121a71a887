#pragma once

#include "browser/collection/TreeDirectory.h"
#include "browser/startup/HelperLibrary.h"
#include "browser/startup/StartupSequence.h"

#include <string>

namespace browser {

// The start-up's directory operations over the directory access layer and the client.
class LayerTreeDirectory : public TreeDirectory {
public:
    // clientConfigPath: the client configuration to initialise with (empty: the client's own
    // search); its [Volumes] also tell where a server volume is reached locally.
    explicit LayerTreeDirectory(std::string clientConfigPath = {});

    int InitClient() override;
    std::vector<std::string> TreeFolders() override;
    std::string ClientProblem() override;
    std::string TreeProblem(const std::string& treeName) override;
    std::vector<std::string> TreeProblems() override;
    void EndClient() override;
    ContextHandle CreateDSContext(bool& ok) override;
    int DuplicateContext(ContextHandle context, ContextHandle& duplicate) override;
    void FreeContext(ContextHandle context) override;
    int SelectTree(ContextHandle context, const std::string& treeName, bool setPreferred) override;
    std::string GetContextTreeName(ContextHandle context) override;
    void SetContextConfidence(ContextHandle context, int confidence) override;
    int ListTreeNames(ContextHandle context, int capacity, std::vector<std::string>& names) override;
    std::vector<std::string> ScanAvailableTrees(ContextHandle context) override;
    bool PathOnServerVolume(const std::string& path) override;
    std::string LoggedInUserName(ContextHandle context) override;
    std::string ReadAttributeText(ContextHandle context, const std::string& objectName,
                                  const std::string& attributeName) override;
    std::string LocalPathOfServerPath(const std::string& serverPath) override;
    int Login(ContextHandle context, const std::string& userName, const std::string& password) override;
    int AttachByAddress(const std::string& address, ConnectionHandle& connection) override;
    int ConnectionTreeName(ConnectionHandle connection, std::string& treeName) override;
    std::string GetObjectBaseClass(ContextHandle context, const std::string& objectName) override;
    std::string ResolveAlias(ContextHandle context, const std::string& objectName) override;

private:
    std::string ClientConfigFile() const;

    std::string clientConfigPath_;
};

// The directory layer's time and confidence settings.
class LayerTimeSettings : public DirectoryTimeSettings {
public:
    void SetDateTimeFormat(const std::string& format) override;
    void SetDateFacts(const rtl::LocaleFacts& facts) override;
    void SetUtcConversion(bool on) override;
    void SetConfidenceSetting(int confidence) override;
};

// The program's binding of the helper library "Tolvex".
class TolvexHelperLibrary : public HelperLibrary {
public:
    bool Load(const std::string& programFolder) override;
    bool IsLoaded() const override;
    void Free() override;
    int Version() override;
    int GetIconNumber(const std::string& className) override;
    std::string GetSettingValue(const std::string& section, const std::string& key,
                                const std::string& defaultValue) override;
    void SetSettingValue(const std::string& section, const std::string& key,
                         const std::string& value) override;
};

} // namespace browser
