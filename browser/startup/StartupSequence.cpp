#include "browser/startup/StartupSequence.h"

#include "browser/collection/CacheFiles.h"
#include "browser/collection/StartupText.h"
#include "browser/lists/BatchSwitches.h"
#include "browser/startup/DataDirectory.h"
#include "browser/startup/IniMerge.h"
#include "browser/startup/StartupMessages.h"
#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"

#include <QStandardPaths>

#include <exception>
#include <iostream>
#include <memory>

namespace browser {

namespace {

constexpr const char* kRoot = "[root]";
constexpr std::size_t kMaxStartContextLength = 255;

} // namespace

void FilterTrees(const std::string& iniPath, std::vector<std::string>& list, CormelianSettings& settings) {
    ReadTreeFilterSwitches(iniPath, settings);
    const ini::IniFile file(iniPath);
    if (!file.SectionExists("EXCLUDE"))
        return;
    for (const auto& tree : file.ReadSection("EXCLUDE")) {
        if (!file.ReadBool("EXCLUDE", tree, false))
            continue;
        const int index = IndexOfName(list, tree);
        if (index >= 0)
            list.erase(list.begin() + index);
    }
}

std::string NoTreeChosenText(const std::vector<std::string>& offered, const std::string& iniPath) {
    if (offered.size() < 2)
        return msg::kNoTreesSelected;
    std::string names;
    for (const std::string& tree : offered)
        names += (names.empty() ? "" : ", ") + tree;
    const std::string offeredText =
        "No tree chosen: " + std::to_string(offered.size()) + " trees are offered (" + names + ")";
    const std::string excludeText =
        "exclude the others in the EXCLUDE section of " + iniPath + " (for example " + offered.back() + "=1)";
    const std::string firstText =
        "set noTrees=1 in its SYSTEM section to take the first (" + offered.front() + ")";
    return offeredText + " and a run without a user cannot choose. To name one, " + excludeText + ", or " +
           firstText + ".";
}

StartupSequence::StartupSequence(TreeDirectory& directory, HelperLibrary& helper,
                                 DirectoryTimeSettings& timeSettings, StartupHost& host,
                                 std::string programFolder)
    : directory_(directory), helper_(helper), timeSettings_(timeSettings), host_(host),
      programFolder_(WithTrailingSlash(std::move(programFolder))),
      userDataFolder_(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString()) {}

bool StartupSequence::Prepare() {
    if (!helper_.Load(programFolder_)) {
        host_.ShowMessage(msg::kNoHelperLibrary);
        return false;
    }
    // The trees are read as a writer that died left them: an interrupted group of tree files is put
    // back to all old or all new first.
    RecoverFolders(directory_.TreeFolders());
    if (directory_.InitClient() != 0) {
        // The message says what is missing; the detail which file and why, also for a log.
        const std::string detail = directory_.ClientProblem();
        std::cerr << msg::kNoClient << (detail.empty() ? "" : " " + detail) << std::endl;
        host_.ShowMessageWithDetail(msg::kNoClient, detail);
        helper_.Free();
        return false;
    }
    clientInitialised_ = true;
    // A tree left out (its file missing, unreadable or malformed) is named on the error stream even
    // when it is hidden and never offered; choosing it shows the same reason.
    for (const std::string& problem : directory_.TreeProblems())
        std::cerr << problem << std::endl;
    return true;
}

bool StartupSequence::Run(const std::vector<std::string>& commandLine) {
    host_.InitBrowserIcons();
    commandLine_ = commandLine;

    mainContextValid_ = false;
    bool ok = false;
    mainContext_ = directory_.CreateDSContext(ok);
    if (!ok) {
        // Nothing below can work without a context: end here rather than go on with an invalid one.
        host_.ShowMessage(msg::kNoMainContext);
        host_.CloseMainWindow();
        return false;
    }
    mainContextValid_ = true;

    try {
        // An update waiting beside a program folder this process cannot write stays for its owner.
        if (directory_.FolderWritable(programFolder_))
            MergeNewIniFile(programFolder_ + kSettingsFileName);
    } catch (const std::exception& error) {
        // The update stays waiting for the next start; the settings file as it is still serves.
        host_.ShowMessage(error.what());
    }

    DataDirectorySettler settler(directory_, mainContext_);
    settler.SetUserDataFolder(userDataFolder_);
    const auto dataDirectory = settler.Settle(programFolder_);
    if (!dataDirectory) {
        host_.ShowMessage(settler.message());
        host_.CloseMainWindow();
        return false;
    }
    dataDirectory_ = *dataDirectory;

    host_.LoadMoreTrees(DataIniPath());
    selectedTrees_.clear();
    ListAvailableTrees(directory_, mainContext_, selectedTrees_);
    FilterTrees(DataIniPath(), selectedTrees_, settings_);
    ChooseTrees();

    host_.SetBrowserContext(mainContext_);
    host_.EnableToolbar(false);
    timeSettings_.SetDateTimeFormat(kDefaultDateTimeFormat);
    timeSettings_.SetUtcConversion(false);

    for (const auto& tree : selectedTrees_)
        SetupTree(tree);
    host_.HideEditMenuItems();
    InitialLoad();
    // The batch switches write their files into the current folder.
    if (HasSwitch(commandLine_, kAllDnsSwitch) || HasSwitch(commandLine_, kAllDhcpSwitch))
        RecoverFolders({"."});
    host_.RunBatchSwitches(commandLine_);
    return true;
}

void StartupSequence::RecoverFolders(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        for (const std::string& line : commit::RecoverFolder(folder))
            host_.ShowRecoveryNotice(line);
    }
}

void StartupSequence::ChooseTrees() {
    offeredTrees_.clear();
    if (selectedTrees_.empty()) {
        host_.ShowMessage(msg::kNoTreesSelected);
        return;
    }
    if (selectedTrees_.size() >= 2 && !settings_.noTrees) {
        DNSTreesLogic choice;
        choice.SetSingleSelect(true);
        choice.Fill(selectedTrees_);
        choice.SetContext(mainContext_);
        offeredTrees_ = selectedTrees_;
        host_.ShowTreeChoice(choice);
        selectedTrees_.clear();
        for (const auto& item : choice.Items())
            if (EnsureTreeContext(item.name) && item.checked)
                selectedTrees_.push_back(item.name);
        return;
    }
    const std::string first = selectedTrees_.front();
    selectedTrees_.clear();
    if (EnsureTreeContext(first))
        selectedTrees_.push_back(first);
}

bool StartupSequence::EnsureTreeContext(const std::string& treeName) {
    if (trees_.Find(treeName) != nullptr)
        return true; // connected already, by "More"
    std::string error;
    const auto context = OpenTreeContext(directory_, treeName, error);
    if (!context) {
        host_.ShowMessage(TreeSkippedMessage(treeName, error));
        return false;
    }
    trees_.Add(treeName, std::make_unique<treeobj>(*context));
    return true;
}

void StartupSequence::SetupTree(const std::string& treeName) {
    ReadTreeSetupSwitches(DataIniPath(), settings_);
    host_.SetBrowserAllLeafs(settings_.showAll);

    ini::IniFile file(DataIniPath());
    std::string top = file.ReadString("TREES", treeName, "");
    if (top.empty()) {
        file.WriteString("TREES", treeName, kRoot);
        try {
            file.UpdateFile();
            host_.ShowInformation("Default [root] as \"top\" for tree " + treeName + " set in ini-file");
        } catch (const ini::EIniFileError& error) {
            // The default still serves for this run; the file keeps what it had.
            host_.ShowMessage(error.what());
        }
        top = kRoot;
    }

    std::string start = host_.SetBrowserStartContext(top);
    if (!start.empty() && start.front() == '.')
        start = start.substr(1, kMaxStartContextLength);
    if (start == kRoot)
        start.clear();

    if (treeobj* tree = trees_.Find(treeName)) {
        tree->startContext = start;
        tree->locator = file.ReadString("LOCATOR", treeName, "");
    }
}

void StartupSequence::InitialLoad() {
    // The settings file and the trees' caches, repaired before they are read.
    std::vector<std::string> folders{dataDirectory_};
    for (const std::string& tree : selectedTrees_)
        folders.push_back(CacheFolder(dataDirectory_, tree));
    RecoverFolders(folders);
    host_.SetBrowserContext(mainContext_);
    if (ReadSettings(DataIniPath(), selectedTrees_, trees_, directory_, settings_))
        timeSettings_.SetDateTimeFormat(settings_.dateTimeFormat);
    timeSettings_.SetDateFacts(DateFactsOf(settings_));
    host_.ApplySettings(settings_);
    host_.UpdateCaption();
    LookUpIconNumbers();
    host_.LoadTrees(settings_.cache);
    host_.ShowLoadedTrees();
}

int StartupSequence::IconIndexForClass(const std::string& className) {
    const int number = helper_.GetIconNumber(className);
    return number < 0 ? helper_.GetIconNumber("Unknown2") : number;
}

void StartupSequence::LookUpIconNumbers() {
    icons_.locator = helper_.GetIconNumber("DNIP:Locator");
    icons_.dnsServer = helper_.GetIconNumber("DNIP:DNS Server");
    icons_.dhcpServer = helper_.GetIconNumber("DNIP:DHCP Server");
    icons_.subnetPool = helper_.GetIconNumber("DNIP:Subnet Pool");
    icons_.group = helper_.GetIconNumber("Group");
    icons_.tree = IconIndexForClass("Tree");
    icons_.dnsZone = IconIndexForClass("DNIP:DNS Zone");
    icons_.subnet = IconIndexForClass("DNIP:Subnet");
    icons_.subnetAddressRange = IconIndexForClass("DNIP:Subnet Address Range");
}

SettingsDialogSwitches StartupSequence::PrepareSettingsDialog(SetFormLogic& dialog) {
    dialog.SetTree(directory_.GetContextTreeName(mainContext_), mainContext_);
    return ReadSettingsDialogSwitches(DataIniPath());
}

void StartupSequence::ApplySettingsDialog(const std::string& treeName, const std::string& startContext,
                                          bool useMaster) {
    host_.SetBrowserStartContext(startContext);
    host_.ClearBrowserTree();
    timeSettings_.SetConfidenceSetting(useMaster ? 2 : 0);
    host_.ShowMessage(msg::kUpdateContextHandle);
    if (trees_.Find(treeName) != nullptr)
        SetupTree(treeName);
    InitialLoad();
}

void StartupSequence::SelectTrees() {
    host_.StopScans();
    DNSTreesLogic choice;
    choice.SetSingleSelect(true);
    choice.Fill(trees_.Names(), selectedTrees_);
    choice.SetContext(mainContext_);
    host_.ShowTreeChoice(choice);
    selectedTrees_.clear();
    for (const auto& name : choice.CheckedNames())
        if (trees_.Find(name) != nullptr)
            selectedTrees_.push_back(name);
    host_.LoadTrees(false);
    host_.ShowLoadedTrees();
}

void StartupSequence::Shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    // Scans work on duplicates of the tree contexts: they end before any context goes.
    host_.StopScans();
    if (!dataDirectory_.empty()) {
        try {
            WriteLookupHistory(DataIniPath(), host_.LookupQueries(), host_.LookupServers());
        } catch (const std::exception& error) {
            // Closing goes on; the user learns that the history was not kept.
            host_.ShowMessage(error.what());
        }
    }
    trees_.FreeAll(directory_);
    if (mainContextValid_) {
        directory_.FreeContext(mainContext_);
        mainContextValid_ = false;
    }
    if (clientInitialised_) {
        directory_.EndClient();
        clientInitialised_ = false;
    }
    if (helper_.IsLoaded())
        helper_.Free();
}

} // namespace browser
