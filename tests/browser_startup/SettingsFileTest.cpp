#include "StartupFakes.h"

#include "browser/collection/CormelianSettings.h"
#include "browser/collection/TreeObj.h"
#include "browser/startup/IniEditorLogic.h"
#include "browser/startup/IniMerge.h"
#include "browser/startup/StartupSequence.h"
#include "platform/commit/CommitTesting.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>

using namespace startup_test;
namespace fs = std::filesystem;

// ---- the ".new" update of the settings file

TEST(MergeNewIniFile, UpdateTakesTheNameWhenThereIsNoSettingsFile) {
    TempFolder folder;
    const std::string ini = folder.file("Cormelian.ini");
    WriteFile(folder.file("Cormelian.new"), "[SYSTEM]\r\nThreads=0\r\n");

    browser::MergeNewIniFile(ini);

    EXPECT_FALSE(fs::exists(folder.file("Cormelian.new")));
    EXPECT_EQ(ReadFile(ini), "[SYSTEM]\r\nThreads=0\r\n");
}

// The update takes the settings file's name through the commit path: a link there stays a link and
// its target gets the update; a write that fails leaves no settings file, no leftover and the update
// waiting, and says why.
TEST(MergeNewIniFile, UpdateTakingTheNameIsCommittedLikeEveryWrite) {
    const std::string update = "[SYSTEM]\r\nThreads=0\r\n";
    {
        TempFolder folder;
        const std::string ini = folder.file("Cormelian.ini");
        fs::create_directory(folder.file("shared"));
        test_support::MakeSymlink("shared/settings.ini", ini);
        WriteFile(folder.file("Cormelian.new"), update);
        browser::MergeNewIniFile(ini);
        EXPECT_TRUE(fs::is_symlink(ini));
        EXPECT_EQ(ReadFile(folder.file("shared/settings.ini")), update);
        EXPECT_EQ(test_support::EntryNames(folder.path()),
                  (std::vector<std::string>{"Cormelian.ini", "shared"}));
    }
    {
        TempFolder folder;
        const std::string ini = folder.file("Cormelian.ini");
        WriteFile(folder.file("Cormelian.new"), update);
        commit::testing::ScopedWriteFault fault(8, ENOSPC);
        try {
            browser::MergeNewIniFile(ini);
            ADD_FAILURE() << "no error";
        } catch (const ini::EIniFileError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot write file " + ini + ". No space left on device");
        }
        EXPECT_EQ(test_support::EntryNames(folder.path()), (std::vector<std::string>{"Cormelian.new"}));
        EXPECT_EQ(ReadFile(folder.file("Cormelian.new")), update);
    }
}

TEST(MergeNewIniFile, UpdateFillsOnlyEmptyOrMissingKeysAndIsDeleted) {
    TempFolder folder;
    const std::string ini = folder.file("Cormelian.ini");
    WriteFile(ini, "[SYSTEM]\nThreads=0\nDatesep=\n[TREES]\nACME=.ou.acme\n");
    WriteFile(folder.file("Cormelian.new"), "[system]\nthreads=1\ndatesep=/\nnowarn=1\n"
                                            "[TREES]\nACME=[root]\nTEST=[root]\n[STATUS]\n1=4\n");

    browser::MergeNewIniFile(ini);

    EXPECT_FALSE(fs::exists(folder.file("Cormelian.new")));
    const ini::IniFile merged(ini);
    EXPECT_EQ(merged.ReadString("SYSTEM", "Threads", "?"), "0");    // kept
    EXPECT_EQ(merged.ReadString("SYSTEM", "Datesep", "?"), "/");    // was empty
    EXPECT_EQ(merged.ReadString("SYSTEM", "nowarn", "?"), "1");     // was missing
    EXPECT_EQ(merged.ReadString("TREES", "ACME", "?"), ".ou.acme"); // kept
    EXPECT_EQ(merged.ReadString("TREES", "TEST", "?"), "[root]");
    EXPECT_EQ(merged.ReadString("STATUS", "1", "?"), "4"); // whole new section
}

TEST(MergeNewIniFile, WithoutUpdateNothingChanges) {
    TempFolder folder;
    const std::string ini = folder.file("Cormelian.ini");
    WriteFile(ini, "[SYSTEM]\nThreads=0\n");
    browser::MergeNewIniFile(ini);
    EXPECT_EQ(ReadFile(ini), "[SYSTEM]\nThreads=0\n");
    browser::MergeNewIniFile(folder.file("Other.ini"));
    EXPECT_FALSE(fs::exists(folder.file("Other.ini")));
}

// ---- reading the settings

class ReadSettingsTest : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    TempFolder folder;
    std::string ini = folder.file("Cormelian.ini");
    browser::TreeList trees;
    browser::CormelianSettings settings;

    ContextHandle AddTree(const std::string& name) {
        bool ok = false;
        const ContextHandle context = directory.CreateDSContext(ok);
        trees.Add(name, std::make_unique<browser::treeobj>(context));
        return context;
    }
};

TEST_F(ReadSettingsTest, EmptyFileGetsItsDefaultsWrittenAndReadBack) {
    WriteFile(ini, "");
    const ContextHandle acme = AddTree("ACME");
    settings.dateSeparator = '/';

    ASSERT_TRUE(browser::ReadSettings(ini, {"ACME"}, trees, directory, settings));

    const ini::IniFile file(ini);
    EXPECT_EQ(file.ReadString("SYSTEM", "Threads", "?"), "1");
    EXPECT_EQ(file.ReadString("SYSTEM", "nowarn", "?"), "0");
    EXPECT_EQ(file.ReadString("SYSTEM", "Datesep", "?"), "-");
    EXPECT_EQ(file.ReadString("SYSTEM", "Timesep", "?"), ":");
    EXPECT_EQ(file.ReadString("SYSTEM", "DateTime", "?"), "yyyy-mm-dd hh:nn:ss");
    EXPECT_EQ(file.ReadString("MASTER", "ACME", "?"), "1");
    EXPECT_EQ(file.ReadString("TREES", "ACME", "?"), "[root]");
    // Nothing else is written.
    EXPECT_EQ(file.ReadSections(), (std::vector<std::string>{"SYSTEM", "MASTER", "TREES"}));

    EXPECT_EQ(directory.confidence[acme], 2);
    EXPECT_TRUE(settings.threads);
    EXPECT_FALSE(settings.nowarn);
    EXPECT_EQ(settings.dateSeparator, '-');
    EXPECT_EQ(settings.dateTimeFormat, "yyyy-mm-dd hh:nn:ss");
    EXPECT_EQ(settings.dnsColumns, browser::CormelianSettings().dnsColumns);
    EXPECT_EQ(settings.ageThresholds, (std::array<int, 6>{2, 8, 48, 120, 240, 720}));
}

TEST_F(ReadSettingsTest, PresentKeysAreKeptAndOnlyMissingOnesWritten) {
    WriteFile(ini, "[System]\nnowarn=1\nDatesep=.\ntimesep=\nDateTime=dd.mm.yyyy\n[master]\nacme=0\n"
                   "[TREES]\nACME=ou.acme\n");
    const ContextHandle acme = AddTree("ACME");
    const ContextHandle test = AddTree("TEST");
    settings.timeSeparator = '#';

    ASSERT_TRUE(browser::ReadSettings(ini, {"ACME", "TEST"}, trees, directory, settings));

    const ini::IniFile file(ini);
    EXPECT_FALSE(file.ValueExists("SYSTEM", "Threads")); // the section was there
    EXPECT_EQ(file.ReadString("SYSTEM", "DateTime", "?"), "dd.mm.yyyy");
    EXPECT_EQ(file.ReadString("MASTER", "ACME", "?"), "0");
    EXPECT_EQ(file.ReadString("MASTER", "TEST", "?"), "1");
    EXPECT_EQ(file.ReadString("TREES", "ACME", "?"), "ou.acme");
    EXPECT_EQ(file.ReadString("TREES", "TEST", "?"), "[root]");

    EXPECT_EQ(directory.confidence[acme], 0);
    EXPECT_EQ(directory.confidence[test], 2);
    EXPECT_TRUE(settings.nowarn);
    EXPECT_TRUE(settings.threads);
    EXPECT_EQ(settings.dateSeparator, '.');
    EXPECT_EQ(settings.timeSeparator, '#'); // an empty value keeps the current separator
    EXPECT_EQ(settings.dateTimeFormat, "dd.mm.yyyy");
}

TEST_F(ReadSettingsTest, PrintLayoutIsReadOnlyFromPresentSections) {
    WriteFile(ini, "[PRT]\ndy=80\n[PRTDHCP]\nt2=Host\nk6=4000\n[PRTREV]\n");
    ASSERT_TRUE(browser::ReadSettings(ini, {}, trees, directory, settings));
    EXPECT_EQ(settings.printDy, 80);
    EXPECT_EQ(settings.printYtop, 100);
    EXPECT_EQ(settings.printPh, 6500);
    EXPECT_EQ(settings.printPh2, 4700);
    EXPECT_EQ(settings.dhcpColumns[1], (browser::PrintColumn{"Host", 500}));
    EXPECT_EQ(settings.dhcpColumns[5], (browser::PrintColumn{"Lease Exp.", 4000}));
    EXPECT_EQ(settings.reverseColumns[2], (browser::PrintColumn{"Domain", 1500}));
    EXPECT_EQ(browser::kDhcpCommentColumn.position, 4800);
}

TEST_F(ReadSettingsTest, LookupHistorySkipsEmptyValuesAndKeepsOrder) {
    WriteFile(ini, "[LOOKUP]\n1=www.acme.com\n2=\n3=mail.acme.com\nserver1=\nserver2=10.0.0.1\nserver11=x\n");
    ASSERT_TRUE(browser::ReadSettings(ini, {}, trees, directory, settings));
    EXPECT_EQ(settings.lookupQueries, (std::vector<std::string>{"www.acme.com", "mail.acme.com"}));
    EXPECT_EQ(settings.lookupServers, (std::vector<std::string>{"10.0.0.1"}));

    browser::WriteLookupHistory(ini, {"a", "b"}, {"s"});
    const ini::IniFile file(ini);
    EXPECT_EQ(file.ReadSectionValues("LOOKUP"), (std::vector<std::string>{"1=a", "2=b", "server1=s"}));
}

TEST_F(ReadSettingsTest, MissingFileChangesNothingAndCreatesNothing) {
    settings.printDy = 1;
    EXPECT_FALSE(browser::ReadSettings(ini, {"ACME"}, trees, directory, settings));
    EXPECT_FALSE(fs::exists(ini));
    EXPECT_EQ(settings.printDy, 1);
}

TEST_F(ReadSettingsTest, TreeSetupSwitchesDefaultAndRead) {
    WriteFile(ini, "[SYSTEM]\ncache=0\n[STATUS]\n1=1\n6=1000\n");
    browser::ReadTreeSetupSwitches(ini, settings);
    EXPECT_TRUE(settings.showAll);
    EXPECT_FALSE(settings.cache);
    EXPECT_EQ(settings.ageThresholds, (std::array<int, 6>{1, 8, 48, 120, 240, 1000}));
}

// ---- the tree filter

TEST(FilterTrees, ExcludedTreesLeaveTheListAndSwitchesAreRead) {
    TempFolder folder;
    const std::string ini = folder.file("Cormelian.ini");
    WriteFile(ini, "[SYSTEM]\nnoTrees=1\nedit=1\n[EXCLUDE]\nacme=1\nTEST=0\nGONE=1\n");
    std::vector<std::string> trees{"ACME", "TEST", "LAB"};
    browser::CormelianSettings settings;

    browser::FilterTrees(ini, trees, settings);

    EXPECT_EQ(trees, (std::vector<std::string>{"TEST", "LAB"}));
    EXPECT_TRUE(settings.noTrees);
    EXPECT_TRUE(settings.edit);
}

TEST(FilterTrees, WithoutExcludeSectionTheListStays) {
    TempFolder folder;
    std::vector<std::string> trees{"ACME"};
    browser::CormelianSettings settings;
    browser::FilterTrees(folder.file("Cormelian.ini"), trees, settings);
    EXPECT_EQ(trees, (std::vector<std::string>{"ACME"}));
    EXPECT_FALSE(settings.noTrees);
}

TEST(SettingsEditorSave, HostileTargetsAndFailedWritesKeepTheOldFile) {
    TempFolder folder;
    test_support::ExpectSafeCommits(folder.path(), "Cormelian.ini", [](const std::string& path) {
        browser::IniEditorLogic editor;
        editor.SetFileName(path);
        editor.Save("[SYSTEM]\nThreads=1\ncache=0\n");
    });
}
