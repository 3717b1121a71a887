#pragma once

#include "browser/collection/TreeDirectory.h"
#include "browser/startup/HelperLibrary.h"
#include "browser/startup/StartupSequence.h"
#include "tests/support/TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace startup_test {

using browser::ConnectionHandle;
using browser::ContextHandle;

// One shared journal, so that tests can check the order of steps across the fakes.
using Journal = std::vector<std::string>;

// A directory client in memory with switches for every failure the start-up must survive.
class FakeDirectory : public browser::TreeDirectory {
public:
    explicit FakeDirectory(Journal& journal) : journal_(journal) {}

    // Configuration.
    int initResult = 0;
    std::string clientProblem;       // why InitClient failed
    int failContextCreateNumber = 0; // the Nth CreateDSContext fails (1-based), 0 none
    bool failEveryContextCreate = false;
    std::map<std::string, int> selectResults; // tree -> SelectTree result
    std::vector<std::string> visibleTrees;    // what the tree scans report
    std::vector<std::string> treeFolders;     // where the client reads its trees
    int listResult = 0;
    bool onServerVolume = false;
    std::string loggedInUser = "joe.Users.ACME";
    std::map<std::pair<std::string, std::string>, std::string> attributes;
    std::map<std::string, std::string> localPaths;            // "\\server\vol\path\" -> local folder
    std::map<std::string, std::string> passwords;             // user -> password
    std::map<std::string, std::pair<int, std::string>> hosts; // address -> attach result, reported tree
    std::map<std::string, std::string> baseClasses;
    std::map<std::string, std::string> aliases;
    bool scanRaises = false;

    // Observation.
    std::set<ContextHandle> live;
    std::map<ContextHandle, std::string> treeOf;
    std::map<ContextHandle, int> confidence;
    int contextsCreated = 0;
    int logins = 0;

    std::vector<std::string> TreeFolders() override { return treeFolders; }
    int InitClient() override {
        journal_.push_back("InitClient");
        return initResult;
    }
    void EndClient() override { journal_.push_back("EndClient"); }
    std::string ClientProblem() override { return clientProblem; }

    ContextHandle CreateDSContext(bool& ok) override {
        ++createCalls_;
        ok = !failEveryContextCreate && createCalls_ != failContextCreateNumber;
        if (!ok)
            return 0;
        ++contextsCreated;
        const ContextHandle handle = next_++;
        live.insert(handle);
        treeOf[handle] = "PREFERRED";
        return handle;
    }
    int DuplicateContext(ContextHandle context, ContextHandle& duplicate) override {
        if (!live.count(context))
            return -303;
        duplicate = next_++;
        live.insert(duplicate);
        treeOf[duplicate] = treeOf[context];
        return 0;
    }
    void FreeContext(ContextHandle context) override {
        journal_.push_back("FreeContext " + std::to_string(context));
        if (!live.erase(context))
            throw std::logic_error("context freed twice or never made: " + std::to_string(context));
    }
    int SelectTree(ContextHandle context, const std::string& treeName, bool) override {
        const auto found = selectResults.find(treeName);
        const int result = found == selectResults.end() ? 0 : found->second;
        if (result == 0)
            treeOf[context] = treeName;
        return result;
    }
    std::string GetContextTreeName(ContextHandle context) override {
        if (!live.count(context))
            throw std::runtime_error("Netware error -303 (0xFFFFFED1)");
        return treeOf[context];
    }
    void SetContextConfidence(ContextHandle context, int value) override {
        if (!live.count(context))
            throw std::runtime_error("Netware error -303 (0xFFFFFED1)");
        confidence[context] = value;
    }
    int ListTreeNames(ContextHandle, int capacity, std::vector<std::string>& names) override {
        if (listResult != 0)
            return listResult;
        names.assign(visibleTrees.begin(),
                     visibleTrees.begin() + std::min<std::size_t>(visibleTrees.size(), capacity));
        return 0;
    }
    std::vector<std::string> ScanAvailableTrees(ContextHandle) override {
        if (scanRaises)
            throw std::runtime_error("Netware error 35324 (0x89FC)");
        std::vector<std::string> names = visibleTrees;
        std::sort(names.begin(), names.end());
        names.erase(std::unique(names.begin(), names.end()), names.end());
        return names;
    }
    bool PathOnServerVolume(const std::string&) override { return onServerVolume; }
    // Folders this process may not write (tests run as any user, so the probe is replaced).
    std::vector<std::string> readOnlyFolders;
    bool FolderWritable(const std::string& folder) override {
        return std::find(readOnlyFolders.begin(), readOnlyFolders.end(), folder) == readOnlyFolders.end();
    }
    std::string LoggedInUserName(ContextHandle) override { return loggedInUser; }
    std::string ReadAttributeText(ContextHandle, const std::string& object,
                                  const std::string& attribute) override {
        const auto found = attributes.find({object, attribute});
        return found == attributes.end() ? std::string() : found->second;
    }
    std::string LocalPathOfServerPath(const std::string& serverPath) override {
        const auto found = localPaths.find(serverPath);
        return found == localPaths.end() ? std::string() : found->second;
    }
    int Login(ContextHandle context, const std::string& user, const std::string& password) override {
        ++logins;
        const auto found = passwords.find(user);
        if (found == passwords.end())
            return -601;
        if (found->second != password)
            return -669;
        visibleTrees.push_back(treeOf[context]);
        return 0;
    }
    int AttachByAddress(const std::string& address, ConnectionHandle& connection) override {
        const auto found = hosts.find(address);
        if (found == hosts.end())
            return 0x8847;
        connection = 77;
        attachedTree_ = found->second.second;
        return found->second.first;
    }
    int ConnectionTreeName(ConnectionHandle connection, std::string& treeName) override {
        if (connection != 77)
            return -322;
        treeName = attachedTree_;
        return 0;
    }
    std::string GetObjectBaseClass(ContextHandle, const std::string& objectName) override {
        const auto found = baseClasses.find(objectName);
        if (found == baseClasses.end())
            throw std::runtime_error("Netware error -601 (0xFFFFFDA7)");
        return found->second;
    }
    std::string ResolveAlias(ContextHandle context, const std::string& objectName) override {
        if (GetObjectBaseClass(context, objectName) != "Alias")
            return objectName;
        return aliases.at(objectName);
    }

private:
    Journal& journal_;
    ContextHandle next_ = 100;
    int createCalls_ = 0;
    std::string attachedTree_;
};

class FakeHelper : public browser::HelperLibrary {
public:
    explicit FakeHelper(Journal& journal) : journal_(journal) {}

    bool loadable = true;
    int version = 3;
    std::map<std::string, int> icons{{"Unknown2", 99}, {"Tree", 1}, {"DNIP:Locator", 7}};
    std::map<std::string, std::string> store;
    bool loaded = false;

    bool Load(const std::string&) override {
        loaded = loadable;
        return loadable;
    }
    bool IsLoaded() const override { return loaded; }
    void Free() override {
        journal_.push_back("FreeHelper");
        loaded = false;
    }
    int Version() override { return version; }
    int GetIconNumber(const std::string& className) override {
        const auto found = icons.find(className);
        return found == icons.end() ? -1 : found->second;
    }
    std::string GetSettingValue(const std::string& section, const std::string& key,
                                const std::string& def) override {
        const auto found = store.find(section + "/" + key);
        return found == store.end() ? def : found->second;
    }
    void SetSettingValue(const std::string& section, const std::string& key,
                         const std::string& value) override {
        store[section + "/" + key] = value;
    }

private:
    Journal& journal_;
};

class FakeTimeSettings : public browser::DirectoryTimeSettings {
public:
    std::string format;
    bool utc = true;
    int confidenceSetting = 0;
    void SetDateTimeFormat(const std::string& f) override { format = f; }
    void SetDateFacts(const rtl::LocaleFacts& f) override { facts = f; }
    rtl::LocaleFacts facts;
    void SetUtcConversion(bool on) override { utc = on; }
    void SetConfidenceSetting(int c) override { confidenceSetting = c; }
};

// The windows, recorded.
class RecordingHost : public browser::StartupHost {
public:
    explicit RecordingHost(Journal& journal) : journal_(journal) {}

    std::vector<std::string> messages;
    std::vector<std::string> details; // of the messages shown with one, in order
    std::vector<std::string> information;
    std::vector<std::string> notices; // repairs of interrupted writes
    bool closed = false;
    int treeChoiceShown = 0;
    std::function<void(browser::DNSTreesLogic&)> onTreeChoice;
    std::function<bool(ContextHandle)> onLogin = [](ContextHandle) { return false; };
    std::vector<std::string> startContexts;
    std::vector<bool> loads;
    std::vector<std::string> batchArguments;
    bool batchRun = false;
    ContextHandle browserContext = 0;
    bool toolbarEnabled = true;
    std::vector<std::string> queries{"www.acme.com"};
    std::vector<std::string> servers{"10.0.0.1"};
    browser::CormelianSettings applied;
    std::string moreTreesIni;

    void ShowMessage(const std::string& text) override {
        journal_.push_back("Message " + text);
        messages.push_back(text);
    }
    void ShowMessageWithDetail(const std::string& text, const std::string& detail) override {
        ShowMessage(text);
        details.push_back(detail);
    }
    bool ShowLogin(ContextHandle context) override { return onLogin(context); }
    void ShowInformation(const std::string& text) override { information.push_back(text); }
    void CloseMainWindow() override {
        journal_.push_back("Close");
        closed = true;
    }
    void ShowRecoveryNotice(const std::string& line) override { notices.push_back(line); }
    void InitBrowserIcons() override { journal_.push_back("InitIcons"); }
    void SetBrowserContext(ContextHandle context) override { browserContext = context; }
    void SetBrowserAllLeafs(bool) override {}
    std::string SetBrowserStartContext(const std::string& top) override {
        startContexts.push_back(top);
        return top;
    }
    void ClearBrowserTree() override {}
    void LoadMoreTrees(const std::string& iniPath) override { moreTreesIni = iniPath; }
    void ShowTreeChoice(browser::DNSTreesLogic& choice) override {
        ++treeChoiceShown;
        if (onTreeChoice)
            onTreeChoice(choice);
    }
    void EnableToolbar(bool enabled) override { toolbarEnabled = enabled; }
    void HideEditMenuItems() override {}
    void ApplySettings(const browser::CormelianSettings& settings) override { applied = settings; }
    void UpdateCaption() override {}
    void LoadTrees(bool fromCache) override {
        journal_.push_back(fromCache ? "LoadFromCache" : "RefreshAllTrees");
        loads.push_back(fromCache);
    }
    void ShowLoadedTrees() override { toolbarEnabled = true; }
    void RunBatchSwitches(const std::vector<std::string>& commandLine) override {
        batchRun = true;
        batchArguments = commandLine;
    }
    void StopScans() override { journal_.push_back("StopScans"); }
    std::vector<std::string> LookupQueries() override { return queries; }
    std::vector<std::string> LookupServers() override { return servers; }

private:
    Journal& journal_;
};

// A fresh folder under the system's temporary folder, removed with the object; the names the
// start-up tests use for it.
class TempFolder : public test_support::TempFolder {
public:
    TempFolder() : test_support::TempFolder("cormelian-startup") {}
    const std::filesystem::path& path() const { return Path(); }
    std::string str() const { return Directory(); }
    std::string file(const std::string& name) const { return (Path() / name).string(); }
};

using test_support::ReadFile;
using test_support::WriteFile;

} // namespace startup_test
