#pragma once

#include "browser/collection/CormelianSettings.h"
#include "browser/collection/ObjectRows.h"
#include "browser/collection/TreeConnect.h"
#include "browser/collection/TreeDirectory.h"
#include "browser/collection/TreeObj.h"
#include "browser/startup/HelperLibrary.h"
#include "browser/startup/SetFormLogic.h"
#include "browser/startup/TreeDialogsLogic.h"

#include <string>
#include <vector>

namespace browser {

// What the start-up needs of the windows. The main window implements it; tests drive the
// start-up headless through a recording implementation.
class StartupHost : public TreeConnectionUi {
public:
    // An information message with only an OK button.
    virtual void ShowInformation(const std::string& text) = 0;
    // A message whose box also offers a detail text; without one of its own, the message alone.
    virtual void ShowMessageWithDetail(const std::string& text, const std::string& detail) {
        (void)detail;
        ShowMessage(text);
    }
    // Closes the main window (the program ends once the running handler returns).
    virtual void CloseMainWindow() = 0;
    // One line telling that an interrupted write was repaired (status line; standard error in a
    // run without a user).
    virtual void ShowRecoveryNotice(const std::string& line) = 0;

    // The object browser.
    virtual void InitBrowserIcons() = 0;
    virtual void SetBrowserContext(ContextHandle context) = 0;
    virtual void SetBrowserAllLeafs(bool on) = 0;
    // Gives the browser its start context and returns what the browser then reports.
    virtual std::string SetBrowserStartContext(const std::string& top) = 0;
    virtual void ClearBrowserTree() = 0;

    // The extra names of the "Select Tree" dialog from the settings file's "MORE TREES".
    virtual void LoadMoreTrees(const std::string& iniPath) = 0;
    // Shows the tree-choice dialog modally over choice (its "More" button adds to choice).
    virtual void ShowTreeChoice(DNSTreesLogic& choice) = 0;

    virtual void EnableToolbar(bool enabled) = 0;
    // Hides the menu items Edit1, Del1, New1, N2, ReCreate, Merge, AddExist and N4.
    virtual void HideEditMenuItems() = 0;
    // Takes over date and time formats, print layout and the look-up history.
    virtual void ApplySettings(const CormelianSettings& settings) = 0;
    virtual void UpdateCaption() = 0;
    // Fills the object lists of the selected trees: from the local cache, or from the directory.
    virtual void LoadTrees(bool fromCache) = 0;
    // After loading: toolbar on, search button images, the "Misc" page.
    virtual void ShowLoadedTrees() = 0;
    virtual void RunBatchSwitches(const std::vector<std::string>& commandLine) = 0;

    // Stops running collections and clears the object lists and attribute panes.
    virtual void StopScans() = 0;
    // The look-up page's history boxes, saved at exit.
    virtual std::vector<std::string> LookupQueries() = 0;
    virtual std::vector<std::string> LookupServers() = 0;
};

// Directory time settings the start-up fixes.
class DirectoryTimeSettings {
public:
    virtual ~DirectoryTimeSettings() = default;
    virtual void SetDateTimeFormat(const std::string& format) = 0;
    // The facts every date is shown, read and stamped with.
    virtual void SetDateFacts(const rtl::LocaleFacts& facts) = 0;
    virtual void SetUtcConversion(bool on) = 0;
    // The process-wide confidence for contexts created from now on.
    virtual void SetConfidenceSetting(int confidence) = 0;
};

// The program's spine: creation, the one-shot start-up, the loading of the trees, the settings
// and tree-choice commands and the orderly end. It holds the process-wide state of the browser:
// the command line, the main context, the data directory, the tree list and the selected trees.
class StartupSequence {
public:
    StartupSequence(TreeDirectory& directory, HelperLibrary& helper, DirectoryTimeSettings& timeSettings,
                    StartupHost& host, std::string programFolder);

    // Creation of the main window: loads the helper library and initialises the client. False
    // (after the message) when the program must stop.
    bool Prepare();

    // The start-up proper (run once by the 30 ms timer). Returns true when it ran to its end.
    // A directory error raised inside a step leaves through the exception.
    bool Run(const std::vector<std::string>& commandLine);

    // Per-tree settings into the object browser and the tree's treeobj.
    void SetupTree(const std::string& treeName);
    // Settings, icon numbers, the trees.
    void InitialLoad();

    // The settings command before the dialog shows: gives it the main context and its tree and
    // returns the switches the dialog shows ("Show All start setting", "Cache Offline").
    SettingsDialogSwitches PrepareSettingsDialog(SetFormLogic& dialog);
    // The settings command's OK: the dialog's tree, start-context text and master switch.
    void ApplySettingsDialog(const std::string& treeName, const std::string& startContext, bool useMaster);
    // The tree-choice command.
    void SelectTrees();

    // The orderly end: stop scans, save the look-up history, free the tree contexts and the main
    // context, end the client, unload the library. Safe to call more than once.
    void Shutdown();

    // State.
    const std::vector<std::string>& CommandLine() const { return commandLine_; }
    bool MainContextValid() const { return mainContextValid_; }
    ContextHandle MainContext() const { return mainContext_; }
    const std::string& ProgramFolder() const { return programFolder_; }
    // The data directory when the program folder cannot be written; initially the user's own
    // application data folder (such as ~/.local/share/Cormelian).
    void SetUserDataFolder(std::string folder) { userDataFolder_ = std::move(folder); }
    const std::string& DataDirectory() const { return dataDirectory_; }
    std::string DataIniPath() const { return dataDirectory_ + kSettingsFileName; }
    TreeList& Trees() { return trees_; }
    const std::vector<std::string>& SelectedTrees() const { return selectedTrees_; }
    // The trees the start-up's tree choice offered (empty when it had nothing to choose).
    const std::vector<std::string>& OfferedTrees() const { return offeredTrees_; }
    CormelianSettings& Settings() { return settings_; }
    const ClassIconNumbers& IconNumbers() const { return icons_; }

private:
    void ChooseTrees();
    // Gives treeName its context and treeobj unless it has one; false (after the message) when
    // it cannot.
    bool EnsureTreeContext(const std::string& treeName);
    void LookUpIconNumbers();
    // Repairs what interrupted writes left in the folders before they are read, telling each repair.
    void RecoverFolders(const std::vector<std::string>& folders);
    int IconIndexForClass(const std::string& className);

    TreeDirectory& directory_;
    HelperLibrary& helper_;
    DirectoryTimeSettings& timeSettings_;
    StartupHost& host_;
    std::string programFolder_;
    std::string userDataFolder_;

    bool clientInitialised_ = false;
    bool shutDown_ = false;
    std::vector<std::string> commandLine_;
    ContextHandle mainContext_ = 0;
    bool mainContextValid_ = false;
    std::string dataDirectory_;
    TreeList trees_;
    std::vector<std::string> selectedTrees_;
    std::vector<std::string> offeredTrees_;
    CormelianSettings settings_;
    ClassIconNumbers icons_;
};

// Why a run without a user has no tree to collect: with several trees offered, that it cannot choose
// and how the settings file names one (EXCLUDE the others, or SYSTEM noTrees for the first).
std::string NoTreeChosenText(const std::vector<std::string>& offered, const std::string& iniPath);

// EXCLUDE: removes every tree whose EXCLUDE key is true from list; reads SYSTEM noTrees and edit
// into settings.
void FilterTrees(const std::string& iniPath, std::vector<std::string>& list, CormelianSettings& settings);

} // namespace browser
