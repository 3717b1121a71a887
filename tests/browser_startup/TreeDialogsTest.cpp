#include "StartupFakes.h"

#include "browser/collection/TreeConnect.h"
#include "browser/startup/CaptionText.h"
#include "browser/startup/SetFormLogic.h"
#include "browser/startup/StartupMessages.h"
#include "browser/startup/TreeDialogsLogic.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace startup_test;

namespace {

class DialogTest : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    FakeHelper helper{journal};
    RecordingHost host{journal};
    browser::TreeList trees;

    ContextHandle NewContext() {
        bool ok = false;
        return directory.CreateDSContext(ok);
    }
};

} // namespace

// ---- tree lists of the client

TEST_F(DialogTest, TreeNameListsAreCappedSortedAndSurviveClientErrors) {
    for (int i = 60; i > 0; --i)
        directory.visibleTrees.push_back("T" + std::to_string(100 + i));
    std::vector<std::string> selected{"ZZZ"};
    browser::ListAvailableTrees(directory, NewContext(), selected);
    ASSERT_EQ(selected.size(), 51u); // appended after what was there, at most 50
    EXPECT_EQ(selected[0], "ZZZ");
    EXPECT_EQ(selected[1], "T111");
    EXPECT_EQ(selected[50], "T160");

    std::vector<std::string> scanned{"ZZZ"};
    browser::ScanTreeNames(directory, NewContext(), scanned);
    EXPECT_EQ(scanned.size(), 51u);
    EXPECT_EQ(scanned.back(), "ZZZ"); // the whole list is sorted

    directory.listResult = -333;
    std::vector<std::string> untouched{"A"};
    browser::ListAvailableTrees(directory, NewContext(), untouched);
    browser::ScanTreeNames(directory, NewContext(), untouched);
    EXPECT_EQ(untouched, (std::vector<std::string>{"A"}));
}

// ---- connecting a tree

TEST_F(DialogTest, ConnectTreeGivesASeenTreeOneContextOnly) {
    directory.visibleTrees = {"ACME"};
    const ContextHandle main = NewContext();
    EXPECT_TRUE(browser::ConnectTree(directory, trees, main, "ACME", host));
    EXPECT_TRUE(browser::ConnectTree(directory, trees, main, "acme", host));
    EXPECT_EQ(trees.Count(), 1);
    EXPECT_EQ(directory.live.size(), 2u);
    EXPECT_EQ(directory.logins, 0);
}

TEST_F(DialogTest, ConnectTreeLogsInToAnUnseenTree) {
    directory.passwords["admin.HIDDEN"] = "secret";
    const ContextHandle main = NewContext();
    ContextHandle loginContext = 0;
    host.onLogin = [&](ContextHandle context) {
        loginContext = context;
        browser::LoginFormLogic login;
        EXPECT_EQ(login.SetLoginContext(context, directory), "Login into tree: HIDDEN");
        EXPECT_EQ(login.Login("admin.HIDDEN", "wrong", directory),
                  std::optional<std::string>("Login Fails, try again"));
        return !login.Login("admin.HIDDEN", "secret", directory).has_value();
    };
    EXPECT_TRUE(browser::ConnectTree(directory, trees, main, "HIDDEN", host));
    ASSERT_NE(trees.Find("HIDDEN"), nullptr);
    EXPECT_EQ(trees.Find("HIDDEN")->context, loginContext);
    EXPECT_NE(loginContext, main);
}

TEST_F(DialogTest, CancelledLoginAddsNothingAndFreesTheDuplicate) {
    const ContextHandle main = NewContext();
    host.onLogin = [](ContextHandle) { return false; };
    EXPECT_FALSE(browser::ConnectTree(directory, trees, main, "HIDDEN", host));
    EXPECT_TRUE(trees.Empty());
    EXPECT_EQ(directory.live, (std::set<ContextHandle>{main}));
}

TEST_F(DialogTest, UnknownTreeIsReportedWithoutLogin) {
    directory.selectResults["NOWHERE"] = -342;
    const ContextHandle main = NewContext();
    EXPECT_FALSE(browser::ConnectTree(directory, trees, main, "NOWHERE", host));
    EXPECT_EQ(directory.logins, 0);
    EXPECT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(directory.live, (std::set<ContextHandle>{main}));
}

// ---- the tree-choice dialog

TEST_F(DialogTest, TreeChoiceSingleAndMultipleMode) {
    browser::DNSTreesLogic choice;
    EXPECT_EQ(choice.ShowProblem(), std::optional<std::string>(browser::msg::kDNSTreesInternalError));
    choice.SetContext(NewContext());
    EXPECT_FALSE(choice.ShowProblem());

    choice.Fill({"ACME", "LAB", "TEST"}, {"lab"});
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"LAB"}));
    choice.SetChecked(2, true); // multiple mode: both stay
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"LAB", "TEST"}));

    choice.SetSingleSelect(true);
    choice.SetChecked(0, true); // checking one unchecks every other
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"ACME"}));
    choice.SetChecked(0, false); // unchecking touches nothing else
    EXPECT_TRUE(choice.CheckedNames().empty());
    choice.SetChecked(7, true); // out of range: ignored
}

TEST_F(DialogTest, MoreAddsTheConnectedTreeAsOnlyCheckedItem) {
    directory.visibleTrees = {"ACME", "LAB"};
    browser::DNSTreesLogic choice;
    choice.SetContext(NewContext());
    choice.Fill({"ACME"}, {"ACME"});
    EXPECT_TRUE(choice.AddMoreTree("LAB", directory, trees, host));
    EXPECT_EQ(choice.Items().size(), 2u);
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"LAB"}));
    // A tree already listed is checked rather than listed twice.
    EXPECT_TRUE(choice.AddMoreTree("ACME", directory, trees, host));
    EXPECT_EQ(choice.Items().size(), 2u);
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"ACME"}));
    // A tree that does not connect adds nothing.
    EXPECT_FALSE(choice.AddMoreTree("HIDDEN", directory, trees, host));
    EXPECT_FALSE(choice.AddMoreTree("", directory, trees, host));
    EXPECT_EQ(choice.Items().size(), 2u);
}

// ---- the "Select Tree" dialog

TEST_F(DialogTest, SelectTreeListsScannedAndExtraTreesSorted) {
    TempFolder folder;
    WriteFile(folder.file("Cormelian.ini"), "[MORE TREES]\nlab=\nACME=\nZOO=\n");
    directory.visibleTrees = {"TEST", "ACME"};
    browser::TreesFormLogic form;
    EXPECT_EQ(form.ShowProblem(), std::optional<std::string>(browser::msg::kTreesFormInternalError));
    form.SetContext(NewContext());
    form.LoadMoreTrees(folder.file("Cormelian.ini"));
    EXPECT_EQ(form.MoreTrees(), (std::vector<std::string>{"lab", "ACME", "ZOO"}));
    EXPECT_EQ(form.ListTrees(directory), (std::vector<std::string>{"ACME", "lab", "TEST", "ZOO"}));

    form.Accept({"ACME", "TEST"});
    EXPECT_EQ(form.ChosenTree(), "TEST");
}

TEST_F(DialogTest, AddTakesNamesAndAddresses) {
    using browser::TreesFormLogic;
    EXPECT_EQ(TreesFormLogic::AddTree("tree_a", directory).name, std::optional<std::string>("TREE_A"));
    EXPECT_FALSE(TreesFormLogic::AddTree("", directory).name);

    directory.hosts["10.1.2.3"] = {0, "MY_TREE__________________________"};
    EXPECT_EQ(TreesFormLogic::AddTree("10.1.2.3", directory).name, std::optional<std::string>("MY_TREE"));
    directory.hosts["10.1.2.4"] = {browser::kAlreadyAttached, "mytree____"};
    EXPECT_EQ(TreesFormLogic::AddTree("10.1.2.4", directory).name, std::optional<std::string>("MYTREE"));

    const auto missing = TreesFormLogic::AddTree("10.9.9.9", directory);
    EXPECT_FALSE(missing.name);
    EXPECT_EQ(missing.message, "Server not found (00008847)");
    directory.hosts["10.1.2.5"] = {-1, "X"};
    EXPECT_EQ(TreesFormLogic::AddTree("10.1.2.5", directory).message, "Server not found (FFFFFFFF)");

    EXPECT_TRUE(TreesFormLogic::IsAddress("10.1.2.3"));
    EXPECT_FALSE(TreesFormLogic::IsAddress("10.1.2.x"));
}

// ---- the login dialog

TEST_F(DialogTest, LoginNameRulesAndAliasChoice) {
    EXPECT_EQ(browser::LoginFormLogic::NormalizeName(".admin.ACME"), "admin.ACME");
    EXPECT_EQ(browser::LoginFormLogic::NormalizeName("..admin"), ".admin");
    EXPECT_EQ(browser::LoginFormLogic::NormalizeName("admin"), "admin");

    directory.baseClasses = {
        {"joe.ACME", "User"}, {"j.ACME", "Alias"}, {"printer.ACME", "Alias"}, {"p1.ACME", "Printer"}};
    directory.aliases = {{"j.ACME", "joe.ACME"}, {"printer.ACME", "p1.ACME"}};
    browser::LoginFormLogic login;
    login.SetLoginContext(NewContext(), directory);
    EXPECT_EQ(login.ChooseUser("joe.ACME", directory).name, std::optional<std::string>("joe.ACME"));
    EXPECT_EQ(login.ChooseUser("j.ACME", directory).name, std::optional<std::string>("joe.ACME"));
    const auto refused = login.ChooseUser("printer.ACME", directory);
    EXPECT_FALSE(refused.name);
    EXPECT_EQ(refused.message, "Alias object is not am alias of User objects!");
}

// ---- the settings dialog

class SettingsDialogTest : public DialogTest {
protected:
    TempFolder folder;
    std::string ini = folder.file("Cormelian.ini");
    browser::SetFormLogic form;

    void SetUp() override {
        form.SetTree("ACME", NewContext());
        directory.baseClasses = {{"[root]", "Tree Root"},
                                 {"sales.acme", "Organizational Unit"},
                                 {"acme", "Organization"},
                                 {"joe.acme", "User"}};
    }
};

TEST_F(SettingsDialogTest, ActivateReadsTheFileThenTheLibraryStore) {
    WriteFile(ini, "[TREES]\nACME=sales.acme\n[MASTER]\nACME=1\n");
    auto shown = form.Activate(ini, helper);
    EXPECT_EQ(shown.top, "sales.acme");
    EXPECT_TRUE(shown.useMaster);
    EXPECT_TRUE(shown.setAsDefaultVisible);

    WriteFile(ini, "");
    helper.store["TREES/ACME"] = "acme";
    shown = form.Activate(ini, helper);
    EXPECT_EQ(shown.top, "acme");
    EXPECT_FALSE(shown.useMaster);

    helper.version = 1;
    shown = form.Activate(ini, helper);
    EXPECT_EQ(shown.top, "[root]");
    EXPECT_FALSE(shown.setAsDefaultVisible);
}

TEST_F(SettingsDialogTest, AcceptedTopIsWrittenAndStored) {
    const auto outcome = form.Accept("acme", true, true, ini, directory, helper);
    ASSERT_TRUE(outcome.accepted) << outcome.message;
    EXPECT_EQ(outcome.shownTop, "acme");
    const ini::IniFile file(ini);
    EXPECT_EQ(file.ReadString("TREES", "ACME", ""), "acme");
    EXPECT_EQ(file.ReadString("MASTER", "ACME", ""), "1");
    EXPECT_EQ(helper.store["TREES/ACME"], "acme");

    const auto root = form.Accept("", false, false, ini, directory, helper);
    ASSERT_TRUE(root.accepted);
    EXPECT_EQ(root.shownTop, "");
    EXPECT_EQ(ini::IniFile(ini).ReadString("TREES", "ACME", ""), "[root]");
    EXPECT_EQ(ini::IniFile(ini).ReadString("MASTER", "ACME", ""), "0");
    EXPECT_EQ(helper.store["TREES/ACME"], "acme"); // not asked to store
}

TEST_F(SettingsDialogTest, RefusedTopIsNeitherWrittenNorStored) {
    const auto user = form.Accept("joe.acme", true, true, ini, directory, helper);
    EXPECT_FALSE(user.accepted);
    EXPECT_EQ(user.message, "Illegal object top!");

    const auto missing = form.Accept(".nowhere", true, true, ini, directory, helper);
    EXPECT_FALSE(missing.accepted);
    EXPECT_EQ(missing.message, "Fill in correct object name, and no leading \".\"");

    EXPECT_TRUE(helper.store.empty());
    EXPECT_FALSE(ini::IniFile(ini).ValueExists("TREES", "ACME"));
}

// OK's save meets every hostile target: a write that fails is the outcome's message (the dialog shows
// it and stays open) and the old file stays as it was.
TEST_F(SettingsDialogTest, AFailedSaveIsTheMessageAndKeepsTheOldFile) {
    test_support::ExpectSafeCommits(folder.path(), "Cormelian.ini", [&](const std::string& path) {
        const auto outcome = form.Accept("acme", true, false, path, directory, helper);
        if (!outcome.accepted)
            throw std::runtime_error(outcome.message);
    });
}

TEST_F(SettingsDialogTest, DialogSwitchesDefaults) {
    auto switches = browser::ReadSettingsDialogSwitches(ini);
    EXPECT_FALSE(switches.showAll);
    EXPECT_TRUE(switches.cache);
    WriteFile(ini, "[SYSTEM]\nshowall=1\ncache=0\n");
    switches = browser::ReadSettingsDialogSwitches(ini);
    EXPECT_TRUE(switches.showAll);
    EXPECT_FALSE(switches.cache);
}

// ---- caption

TEST(CaptionText, BlanksFillTheWidthAndTheMarkEndsTheCaption) {
    const auto width = [](const std::string& text) { return 10.0 * text.size(); };
    EXPECT_EQ(browser::CaptionText::TitlePart("Cormelian"), "Cormelian v2.08.04");

    const std::string narrow = browser::CaptionText::Build("Cormelian", 100, 1, width);
    EXPECT_EQ(narrow, "Cormelian v2.08.04Tolvex");

    // 1000 - 110 - 1.1 * (180 + 60) = 626: 63 blanks of 10.
    const std::string wide = browser::CaptionText::Build("Cormelian", 1000, 1, width);
    EXPECT_EQ(wide, "Cormelian v2.08.04" + std::string(63, ' ') + "Tolvex");

    // 1000 - 80 - 1.4 * 240 = 584; blanks count 1.4 each: 42 blanks.
    EXPECT_EQ(browser::CaptionText::Build("Cormelian", 1000, 201, width).size(), 18u + 42u + 6u);

    // Never longer than 255 characters, even when blanks have no width.
    const auto zero = [](const std::string&) { return 0.0; };
    EXPECT_EQ(browser::CaptionText::Build("Cormelian", 5000, 1, zero).size(), 255u);
}
