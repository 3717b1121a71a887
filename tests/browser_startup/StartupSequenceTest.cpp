#include "StartupFakes.h"

#include "browser/startup/StartupMessages.h"
#include "browser/startup/StartupSequence.h"
#include "platform/commit/CommitTesting.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

using namespace startup_test;
namespace fs = std::filesystem;

namespace {

class StartupTest : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    FakeHelper helper{journal};
    FakeTimeSettings time;
    RecordingHost host{journal};
    TempFolder program;
    browser::StartupSequence sequence{directory, helper, time, host, program.path().string()};

    std::string ProgramIni() const { return program.file("Cormelian.ini"); }

    bool Start(const std::vector<std::string>& commandLine = {}) {
        if (!sequence.Prepare())
            return false;
        return sequence.Run(commandLine);
    }

    bool Journaled(const std::string& entry) const {
        return std::find(journal.begin(), journal.end(), entry) != journal.end();
    }
    std::ptrdiff_t Position(const std::string& entry) const {
        return std::find(journal.begin(), journal.end(), entry) - journal.begin();
    }
};

} // namespace

// ---- creation of the main window

TEST_F(StartupTest, MissingHelperLibraryStopsWithItsMessage) {
    helper.loadable = false;
    EXPECT_FALSE(sequence.Prepare());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"Error: can't find Tolvex.dll"}));
    EXPECT_FALSE(Journaled("InitClient"));
}

TEST_F(StartupTest, MissingClientStopsWithItsMessageAndUnloadsTheLibrary) {
    directory.initResult = 0x8801;
    EXPECT_FALSE(sequence.Prepare());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"No Novell Client?"}));
    EXPECT_FALSE(helper.loaded);
    sequence.Shutdown(); // the window still closes: nothing more to end
    EXPECT_FALSE(Journaled("EndClient"));
}

TEST_F(StartupTest, MissingClientMessageGivesTheClientsReasonAsDetail) {
    directory.initResult = 0x8801;
    directory.clientProblem = "the store /data/store.db is locked by another process (waited 5 seconds)";
    EXPECT_FALSE(sequence.Prepare());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"No Novell Client?"}));
    EXPECT_EQ(host.details, (std::vector<std::string>{directory.clientProblem}));
}

// ---- the start-up proper

TEST_F(StartupTest, OneTreeOpensWithoutChoiceAndRunsToTheBatchSwitches) {
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nThreads=1\n");

    ASSERT_TRUE(Start({"/alldns", "/autoclose"}));

    EXPECT_EQ(host.treeChoiceShown, 0);
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));
    ASSERT_NE(sequence.Trees().Find("ACME"), nullptr);
    EXPECT_EQ(directory.treeOf[sequence.Trees().Find("ACME")->context], "ACME");
    EXPECT_EQ(sequence.DataDirectory(), program.str());
    EXPECT_EQ(host.moreTreesIni, ProgramIni());
    // The tree had no TREES value: "[root]" is written and the user told.
    EXPECT_EQ(host.information,
              (std::vector<std::string>{"Default [root] as \"top\" for tree ACME set in ini-file"}));
    EXPECT_EQ(ini::IniFile(ProgramIni()).ReadString("TREES", "ACME", ""), "[root]");
    EXPECT_EQ(sequence.Trees().Find("ACME")->startContext, "");
    EXPECT_EQ(time.format, "yyyy-mm-dd hh:nn:ss");
    EXPECT_FALSE(time.utc);
    EXPECT_EQ(host.loads, (std::vector<bool>{true})); // cache on by default
    EXPECT_TRUE(host.batchRun);
    EXPECT_EQ(host.batchArguments, (std::vector<std::string>{"/alldns", "/autoclose"}));
    EXPECT_EQ(sequence.IconNumbers().locator, 7);
    EXPECT_EQ(sequence.IconNumbers().tree, 1);
    EXPECT_EQ(sequence.IconNumbers().dnsZone, 99); // no icon of its own: "Unknown2"
    EXPECT_EQ(sequence.IconNumbers().group, -1);
    EXPECT_FALSE(host.closed);
}

TEST_F(StartupTest, MainContextFailureEndsTheStartUpThere) {
    directory.visibleTrees = {"ACME"};
    directory.failContextCreateNumber = 1;
    WriteFile(program.file("Cormelian.new"), "[SYSTEM]\nThreads=0\n");

    EXPECT_FALSE(Start());

    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(sequence.Trees().Empty());
    EXPECT_FALSE(host.batchRun);
    EXPECT_TRUE(host.loads.empty());
    EXPECT_TRUE(fs::exists(program.file("Cormelian.new"))); // nothing further ran
    sequence.Shutdown();
    EXPECT_TRUE(directory.live.empty());
}

TEST_F(StartupTest, WaitingUpdateIsMergedBeforeTheSettingsAreRead) {
    directory.visibleTrees = {"ACME"};
    WriteFile(program.file("Cormelian.new"), "[SYSTEM]\nThreads=0\ncache=0\n[TREES]\nACME=.ou.acme\n");
    ASSERT_TRUE(Start());
    EXPECT_FALSE(fs::exists(program.file("Cormelian.new")));
    EXPECT_FALSE(sequence.Settings().threads);
    EXPECT_EQ(host.loads, (std::vector<bool>{false}));                 // cache off: open from the directory
    EXPECT_EQ(sequence.Trees().Find("ACME")->startContext, "ou.acme"); // one leading "." dropped
    EXPECT_TRUE(host.information.empty());
}

TEST_F(StartupTest, NoTreesIsReportedAndStartUpGoesOn) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"No trees selected!"}));
    EXPECT_TRUE(sequence.SelectedTrees().empty());
    EXPECT_EQ(host.loads.size(), 1u);
    EXPECT_TRUE(host.batchRun);
}

TEST_F(StartupTest, ClientErrorListingTreesGivesNoTrees) {
    directory.visibleTrees = {"ACME"};
    directory.listResult = -333;
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"No trees selected!"}));
}

TEST_F(StartupTest, ExcludedTreesAreNotOffered) {
    directory.visibleTrees = {"ACME", "LAB", "TEST"};
    WriteFile(ProgramIni(), "[EXCLUDE]\nLAB=1\nTEST=1\nACME=0\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.treeChoiceShown, 0); // one tree left
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(sequence.Trees().Count(), 1);
}

TEST_F(StartupTest, SeveralTreesAreChosenInTheDialogAndEveryListedTreeGetsAContext) {
    directory.visibleTrees = {"TEST", "ACME", "LAB"};
    host.onTreeChoice = [](browser::DNSTreesLogic& choice) {
        EXPECT_TRUE(choice.SingleSelect());
        ASSERT_EQ(choice.Items().size(), 3u);
        EXPECT_EQ(choice.Items()[0].name, "ACME"); // sorted
        EXPECT_TRUE(choice.CheckedNames().empty());
        EXPECT_FALSE(choice.ShowProblem());
        choice.SetChecked(0, true);
        choice.SetChecked(2, true); // single choice: ACME is unchecked again
    };
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.treeChoiceShown, 1);
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"TEST"}));
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"ACME", "LAB", "TEST"}));
    EXPECT_EQ(host.information.size(), 1u); // tree set-up for the selected tree only
}

TEST_F(StartupTest, NoTreesSwitchOpensOnlyTheFirstTree) {
    directory.visibleTrees = {"TEST", "ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nnoTrees=1\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.treeChoiceShown, 0);
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"ACME"}));
}

TEST_F(StartupTest, TreeThatCannotBeSelectedIsReportedAndSkipped) {
    directory.visibleTrees = {"ACME", "BROKEN"};
    directory.selectResults["BROKEN"] = -342;
    host.onTreeChoice = [](browser::DNSTreesLogic& choice) {
        choice.SetChecked(0, true);
        choice.SetChecked(1, true);
        choice.SetSingleSelect(false);
    };
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"Tree BROKEN can't be opened (Netware error -342 (0xFFFFFEAA))"}));
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{}));
    // Every context made for the broken tree was freed again.
    EXPECT_EQ(directory.live.size(), 2u); // main context and ACME's
}

TEST_F(StartupTest, TreeWhoseContextCannotBeCreatedIsSkipped) {
    directory.visibleTrees = {"ACME"};
    directory.failContextCreateNumber = 2; // the main context works, the tree's does not
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"Tree ACME can't be opened (no directory context)"}));
    EXPECT_TRUE(sequence.SelectedTrees().empty());
    EXPECT_TRUE(sequence.Trees().Empty());
}

TEST_F(StartupTest, TreeConnectedByMoreIsNotGivenASecondContext) {
    directory.visibleTrees = {"ACME", "TEST"};
    directory.passwords["admin.HIDDEN"] = "secret";
    host.onLogin = [this](ContextHandle context) {
        return directory.Login(context, "admin.HIDDEN", "secret") == 0;
    };
    host.onTreeChoice = [this](browser::DNSTreesLogic& choice) {
        EXPECT_TRUE(choice.AddMoreTree("HIDDEN", directory, sequence.Trees(), host));
        EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"HIDDEN"}));
    };
    ASSERT_TRUE(Start());
    EXPECT_EQ(sequence.Trees().Names(), (std::vector<std::string>{"HIDDEN", "ACME", "TEST"}));
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"HIDDEN"}));
    // main + HIDDEN's duplicate + ACME + TEST
    EXPECT_EQ(directory.live.size(), 4u);
    EXPECT_EQ(directory.treeOf[sequence.Trees().Find("HIDDEN")->context], "HIDDEN");
}

// ---- the data directory

TEST_F(StartupTest, ServerVolumeWithoutNetworkPathEndsTheStartUp) {
    directory.onServerVolume = true;
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nThreads=1\n");
    EXPECT_FALSE(Start());
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"Program is installed on a Netware volume, set [netware] section!"}));
    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(sequence.Trees().Empty());
    EXPECT_FALSE(host.batchRun);
}

TEST_F(StartupTest, ServerVolumeWithNetworkPathSeedsTheDataDirectory) {
    TempFolder local;
    directory.onServerVolume = true;
    directory.visibleTrees = {"ACME"};
    const std::string data = local.str() + "cormelian/data";
    WriteFile(ProgramIni(), "[NETWORK]\npath=" + data + "\n[TREES]\nACME=ou.acme\n");

    ASSERT_TRUE(Start());

    EXPECT_EQ(sequence.DataDirectory(), data + "/");
    ASSERT_TRUE(fs::exists(data + "/Cormelian.ini"));
    EXPECT_EQ(ini::IniFile(data + "/Cormelian.ini").ReadString("TREES", "ACME", ""), "ou.acme");
    // Settings are written to the data directory's copy, not the program's.
    EXPECT_TRUE(ini::IniFile(data + "/Cormelian.ini").ValueExists("MASTER", "ACME"));
    EXPECT_FALSE(ini::IniFile(ProgramIni()).ValueExists("MASTER", "ACME"));
}

TEST_F(StartupTest, ExistingDataDirectorySettingsAreNotOverwritten) {
    TempFolder local;
    directory.onServerVolume = true;
    WriteFile(ProgramIni(), "[NETWORK]\npath=" + local.str() + "\n[TREES]\nACME=ou.acme\n");
    WriteFile(local.file("Cormelian.ini"), "[TREES]\nACME=ou.mine\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(ini::IniFile(local.file("Cormelian.ini")).ReadString("TREES", "ACME", ""), "ou.mine");
}

TEST_F(StartupTest, HomeDirectoryReplacesTheHomedirMark) {
    TempFolder home;
    directory.onServerVolume = true;
    directory.attributes[{"joe.Users.ACME", "Home Directory"}] = "FS1_USERS.ACME;users\\joe";
    directory.attributes[{"FS1_USERS.ACME", "Host Server"}] = "FS1.ACME";
    directory.attributes[{"FS1_USERS.ACME", "Host Resource Name"}] = "USERS";
    directory.localPaths["\\\\FS1\\USERS\\users\\joe\\"] = home.path().string();
    WriteFile(ProgramIni(), "[NETWORK]\npath=%HomeDir%/cormelian\n");

    ASSERT_TRUE(Start());

    EXPECT_EQ(sequence.DataDirectory(), home.str() + "cormelian/");
    EXPECT_TRUE(fs::exists(home.str() + "cormelian/Cormelian.ini"));
}

TEST_F(StartupTest, UserWithoutHomeDirectoryEndsTheStartUp) {
    directory.onServerVolume = true;
    WriteFile(ProgramIni(), "[NETWORK]\npath=%homedir%/cormelian\n");
    EXPECT_FALSE(Start());
    EXPECT_EQ(host.messages, (std::vector<std::string>{"User joe.Users.ACME has no homedirectory!!"}));
    EXPECT_TRUE(host.closed);
}

TEST_F(StartupTest, UnmappedHomeDirectoryEndsTheStartUp) {
    directory.onServerVolume = true;
    directory.attributes[{"joe.Users.ACME", "Home Directory"}] = "FS1_USERS.ACME;users\\joe";
    directory.attributes[{"FS1_USERS.ACME", "Host Server"}] = "FS1.ACME";
    directory.attributes[{"FS1_USERS.ACME", "Host Resource Name"}] = "USERS";
    WriteFile(ProgramIni(), "[NETWORK]\npath=%homedir%\n");
    EXPECT_FALSE(Start());
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].find("\\\\FS1\\USERS\\users\\joe\\"), std::string::npos);
    EXPECT_TRUE(host.closed);
}

// ---- tree set-up

TEST_F(StartupTest, StartContextRulesAndLocator) {
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[TREES]\nACME=..ou.acme\n[LOCATOR]\nACME=DNSDHCP-LOCATOR.OU.ACME\n");
    ASSERT_TRUE(Start());
    const browser::treeobj* acme = sequence.Trees().Find("ACME");
    EXPECT_EQ(acme->startContext, ".ou.acme"); // only one leading "." goes
    EXPECT_EQ(acme->locator, "DNSDHCP-LOCATOR.OU.ACME");

    WriteFile(ProgramIni(), "[TREES]\nACME=[root]\n");
    sequence.SetupTree("ACME");
    EXPECT_EQ(acme->startContext, "");
    WriteFile(ProgramIni(), "[TREES]\nACME=[Root]\n");
    sequence.SetupTree("ACME");
    EXPECT_EQ(acme->startContext, "[Root]"); // only the exact "[root]" means the whole tree
}

// ---- commands and the end

TEST_F(StartupTest, SettingsCommandAppliesConfidenceAndReloads) {
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[TREES]\nACME=ou.acme\n");
    ASSERT_TRUE(Start());
    WriteFile(ProgramIni(), "[TREES]\nACME=ou2.acme\n[MASTER]\nACME=0\n");

    browser::SetFormLogic dialog;
    const auto switches = sequence.PrepareSettingsDialog(dialog);
    EXPECT_EQ(dialog.TreeName(), "PREFERRED"); // the main context's tree
    EXPECT_EQ(dialog.Context(), sequence.MainContext());
    EXPECT_FALSE(switches.showAll);
    sequence.ApplySettingsDialog("ACME", "ou2.acme", true);

    EXPECT_EQ(time.confidenceSetting, 2);
    EXPECT_EQ(host.messages.back(), "Update context handle....");
    EXPECT_EQ(sequence.Trees().Find("ACME")->startContext, "ou2.acme");
    EXPECT_EQ(directory.confidence[sequence.Trees().Find("ACME")->context], 0);
    EXPECT_EQ(host.loads.size(), 2u);
}

TEST_F(StartupTest, SelectTreesCommandStopsScansAndRebuildsTheSelection) {
    directory.visibleTrees = {"ACME", "TEST"};
    host.onTreeChoice = [](browser::DNSTreesLogic& choice) { choice.SetChecked(0, true); };
    ASSERT_TRUE(Start());
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"ACME"}));

    journal.clear();
    host.onTreeChoice = [](browser::DNSTreesLogic& choice) {
        EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"ACME"}));
        choice.SetChecked(1, true);
    };
    sequence.SelectTrees();
    EXPECT_EQ(sequence.SelectedTrees(), (std::vector<std::string>{"TEST"}));
    EXPECT_LT(Position("StopScans"), Position("RefreshAllTrees"));
}

TEST_F(StartupTest, ShutdownStopsScansBeforeContextsGoAndEndsTheClientLast) {
    directory.visibleTrees = {"ACME"};
    ASSERT_TRUE(Start());
    const ContextHandle main = sequence.MainContext();
    const ContextHandle acme = sequence.Trees().Find("ACME")->context;
    journal.clear();

    sequence.Shutdown();
    sequence.Shutdown(); // a second close does nothing

    EXPECT_EQ(journal,
              (std::vector<std::string>{"StopScans", "FreeContext " + std::to_string(acme),
                                        "FreeContext " + std::to_string(main), "EndClient", "FreeHelper"}));
    EXPECT_TRUE(directory.live.empty());
    const ini::IniFile file(ProgramIni());
    EXPECT_EQ(file.ReadString("LOOKUP", "1", ""), "www.acme.com");
    EXPECT_EQ(file.ReadString("LOOKUP", "server1", ""), "10.0.0.1");
}

// ---- a program folder this process cannot write

TEST_F(StartupTest, ReadOnlyProgramFolderUsesTheUserDataFolderSeededFromIt) {
    TempFolder user;
    const std::string userData = user.str() + "share/Cormelian";
    directory.readOnlyFolders = {program.str()};
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nThreads=0\n[TREES]\nACME=ou.acme\n");
    WriteFile(program.file("Cormelian.new"), "[SYSTEM]\nnowarn=1\n");
    sequence.SetUserDataFolder(userData);

    ASSERT_TRUE(Start({"/alldhcp", "/autoclose"}));

    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(sequence.DataDirectory(), userData + "/");
    EXPECT_EQ(ini::IniFile(userData + "/Cormelian.ini").ReadString("TREES", "ACME", ""), "ou.acme");
    EXPECT_FALSE(sequence.Settings().threads);
    // Every setting written goes to the data directory's file; the program folder is left alone,
    // its waiting update too.
    EXPECT_TRUE(ini::IniFile(userData + "/Cormelian.ini").ValueExists("MASTER", "ACME"));
    EXPECT_FALSE(ini::IniFile(ProgramIni()).ValueExists("MASTER", "ACME"));
    EXPECT_TRUE(fs::exists(program.file("Cormelian.new")));
    EXPECT_TRUE(host.batchRun);
}

TEST_F(StartupTest, AUserDataFolderThatCannotBeMadeEndsTheStartUpNamingItAndTheReason) {
    TempFolder user;
    WriteFile(user.file("blocker"), "a file where a folder should be");
    directory.readOnlyFolders = {program.str()};
    directory.visibleTrees = {"ACME"};
    sequence.SetUserDataFolder(user.str() + "blocker/Cormelian");

    EXPECT_FALSE(Start({"/alldns", "/autoclose"}));

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(
        host.messages[0].rfind("Can't create the data directory " + user.str() + "blocker/Cormelian/: ", 0),
        0u)
        << host.messages[0];
    EXPECT_GT(host.messages[0].size(),
              ("Can't create the data directory " + user.str() + "blocker/Cormelian/: ").size());
    EXPECT_TRUE(host.closed);
    EXPECT_FALSE(host.batchRun);
}

TEST_F(StartupTest, ASettingsCopyCutShortEndsTheStartUpAndLeavesNoFile) {
    TempFolder user;
    const std::string userData = user.str() + "Cormelian";
    directory.readOnlyFolders = {program.str()};
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nThreads=0\n[TREES]\nACME=ou.acme\n");
    sequence.SetUserDataFolder(userData);
    ASSERT_TRUE(sequence.Prepare());
    {
        commit::testing::ScopedWriteFault fault(10, ENOSPC);
        EXPECT_FALSE(sequence.Run({}));
    }
    EXPECT_EQ(host.messages, std::vector<std::string>{"Can't copy " + ProgramIni() + " to " + userData +
                                                      "/: Cannot write file " + userData +
                                                      "/Cormelian.ini. No space left on device"});
    EXPECT_TRUE(test_support::EntryNames(userData).empty());
}

TEST_F(StartupTest, ASettingsCopyNeverFollowsALinkAtItsOldTemporaryName) {
    TempFolder user;
    const fs::path userData = user.path() / "Cormelian";
    fs::create_directories(userData);
    WriteFile((userData / "victim.txt").string(), "mine");
    test_support::MakeSymlink(userData / "victim.txt", userData / "Cormelian.ini.tmp");
    directory.readOnlyFolders = {program.str()};
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[TREES]\nACME=ou.acme\n");
    sequence.SetUserDataFolder(userData.string());
    ASSERT_TRUE(Start());
    EXPECT_EQ(ReadFile((userData / "victim.txt").string()), "mine");
    EXPECT_EQ(ini::IniFile((userData / "Cormelian.ini").string()).ReadString("TREES", "ACME", ""), "ou.acme");
}

TEST_F(StartupTest, ASettingsFileThatCannotBeWrittenIsReportedAndKept) {
    directory.visibleTrees = {"ACME"};
    const std::string settings = "[SYSTEM]\r\nThreads=0\r\n";
    WriteFile(ProgramIni(), settings);
    fs::permissions(ProgramIni(), fs::perms::owner_read);
    const std::string refused =
        "Cannot create file " + ProgramIni() + ". Existing file " + ProgramIni() + " is not writable";
    ASSERT_TRUE(Start());
    // The tree's default start context serves without the false note that the file holds it.
    EXPECT_EQ(host.messages, std::vector<std::string>{refused});
    EXPECT_TRUE(host.information.empty());
    host.queries = {"www.acme.com"};
    sequence.Shutdown(); // the look-up history cannot be kept either
    EXPECT_EQ(host.messages, (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(ReadFile(ProgramIni()), settings);
}

TEST(NoTreeChosenText, SaysWhatIsOfferedAndHowTheSettingsNameATree) {
    EXPECT_EQ(browser::NoTreeChosenText({}, "/data/Cormelian.ini"), "No trees selected!");
    EXPECT_EQ(browser::NoTreeChosenText({"ACME", "GLOBEX"}, "/data/Cormelian.ini"),
              "No tree chosen: 2 trees are offered (ACME, GLOBEX) and a run without a user cannot choose. To "
              "name one, exclude the others in the EXCLUDE section of /data/Cormelian.ini (for example "
              "GLOBEX=1), or set noTrees=1 in its SYSTEM section to take the first (ACME).");
}

TEST_F(StartupTest, TheTreeChoiceRemembersWhatItOffered) {
    directory.visibleTrees = {"TEST", "ACME"};
    ASSERT_TRUE(Start());
    EXPECT_EQ(host.treeChoiceShown, 1);
    EXPECT_TRUE(sequence.SelectedTrees().empty()); // nothing checked
    EXPECT_EQ(sequence.OfferedTrees(), (std::vector<std::string>{"ACME", "TEST"}));
}

TEST_F(StartupTest, TheDateFactsComeFromTheSettings) {
    directory.visibleTrees = {"ACME"};
    WriteFile(ProgramIni(), "[SYSTEM]\nDatesep=.\nTimesep=-\nDateTime=dd/mm/yyyy hh:nn\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(time.format, "dd/mm/yyyy hh:nn");
    EXPECT_EQ(time.facts.ShortDateFormat, "dd/mm/yyyy hh:nn");
    EXPECT_EQ(time.facts.DateSeparator, '.');
    EXPECT_EQ(time.facts.TimeSeparator, '-');
}
