// The main window's creation, start-up and end over fakes: every failing step is shown through the
// services and ends the start-up where it must.
#include "WiringFixture.h"

#include "browser/forms/SettingsForm.h"
#include "browser/forms/backup2.h"
#include "browser/startup/StartupMessages.h"
#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include <stdexcept>

using namespace wiring_test;
using browser::ScriptedServices;

namespace {

using StartupWindow = WindowFixture;

TEST_F(StartupWindow, CreationLoadsTheLibraryStartsTheClientAndArmsTheOneShotTimer) {
    Create();
    EXPECT_FALSE(window().StartupRefused());
    EXPECT_TRUE(helper.loaded);
    EXPECT_EQ(journal, (Journal{"InitClient"}));
    EXPECT_TRUE(window().Timer1->isActive());
    EXPECT_TRUE(window().Timer1->isSingleShot());
    EXPECT_EQ(window().Timer1->interval(), 30);
    EXPECT_EQ(window().ActivePage(), browser::TForm1::PageMisc);
    EXPECT_TRUE(services.calls().empty());
}

// A repair of an interrupted write is told in the status line: the start-up's own (the trees' folder,
// before the client starts) and one that a commit makes on its own while the window lives. In a run
// without a user it goes to standard error instead.
TEST_F(StartupWindow, RepairsOfInterruptedWritesAreToldInTheStatusLine) {
    TempFolder trees, out;
    test_support::LeaveKilledWrite(trees.file("ACME.ldif"), "partial tree");
    directory.treeFolders = {trees.str()};
    Create();
    const auto statusLine = [&] { return window().statusBar()->currentMessage().toStdString(); };
    EXPECT_NE(statusLine().find(trees.path().string()), std::string::npos) << statusLine();
    EXPECT_TRUE(test_support::EntryNames(trees.path()).empty());

    test_support::LeaveKilledWrite(out.file("list.csv"), "partial list");
    commit::WriteFileAtomically(out.file("list.csv"), "new list");
    ASSERT_TRUE(WaitUntil([&] { return statusLine().find(out.path().string()) != std::string::npos; })) << statusLine();
    EXPECT_EQ(test_support::EntryNames(out.path()), std::vector<std::string>{"list.csv"});
    End();

    environment.commandLine = {"/alldns", "/autoclose"};
    test_support::LeaveKilledWrite(trees.file("ACME.ldif"), "partial tree");
    ::testing::internal::CaptureStderr();
    Create();
    const std::string errors = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(errors.find(trees.path().string()), std::string::npos) << errors;
    EXPECT_EQ(statusLine(), "");
}

TEST_F(StartupWindow, TheTimerRunsTheStartUpOnce) {
    directory.visibleTrees = {"ACME"};
    Create();
    window().show();
    ASSERT_TRUE(WaitUntil([&] { return !startup().SelectedTrees().empty(); }));
    EXPECT_FALSE(window().Timer1->isActive());
    EXPECT_EQ(startup().SelectedTrees(), (std::vector<std::string>{"ACME"}));
}

TEST_F(StartupWindow, WithoutTheHelperLibraryTheProgramEndsUnrun) {
    helper.loadable = false;
    Create();
    EXPECT_EQ(services.messages(), QStringList{"Error: can't find Tolvex.dll"});
    EXPECT_TRUE(window().StartupRefused());
    EXPECT_FALSE(window().Timer1->isActive());
    EXPECT_EQ(programBlock->Run(), 1);
    EXPECT_FALSE(window().isVisible());
    End();
    // Nothing was started, so nothing is ended.
    EXPECT_EQ(std::count(journal.begin(), journal.end(), "EndClient"), 0);
}

TEST_F(StartupWindow, WithoutTheClientTheProgramEndsUnrunAndFreesTheLibrary) {
    directory.initResult = -1;
    directory.clientProblem = "cannot read the client configuration /x/client.ini: Permission denied";
    Create();
    EXPECT_EQ(services.messages(), QStringList{"No Novell Client?"});
    // The box tells which file and why, below its message.
    EXPECT_EQ(services.calls().back().detail.toStdString(), directory.clientProblem);
    EXPECT_TRUE(window().StartupRefused());
    EXPECT_FALSE(helper.loaded);
    EXPECT_EQ(programBlock->Run(), 1);
}

TEST_F(StartupWindow, WithoutAMainContextTheWindowClosesAndNothingElseRuns) {
    directory.failEveryContextCreate = true;
    directory.visibleTrees = {"ACME"};
    Start();
    EXPECT_EQ(services.messages(), QStringList{browser::msg::kNoMainContext});
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(startup().DataDirectory().empty());
    EXPECT_TRUE(startup().Trees().Empty());
}

TEST_F(StartupWindow, AStartUpThatClosesTheWindowEndsTheProgramWithAFailure) {
    directory.failEveryContextCreate = true;
    Create();
    // A safety net: the message loop ends even if the window stayed open.
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(7); });
    safety.start(10000);
    EXPECT_EQ(programBlock->Run(), 1);
    EXPECT_TRUE(window().StartupFailed());
    EXPECT_EQ(services.messages(), QStringList{browser::msg::kNoMainContext});
}

TEST_F(StartupWindow, OnAMappedVolumeWithoutNetworkPathTheStartUpEndsThere) {
    directory.onServerVolume = true;
    directory.visibleTrees = {"ACME", "GLOBEX"};
    Start();
    EXPECT_EQ(services.messages(),
              QStringList{"Program is installed on a Netware volume, set [netware] section!"});
    EXPECT_FALSE(window().isVisible());
    // Only the main context was made; no tree was listed, chosen or opened.
    EXPECT_EQ(directory.contextsCreated, 1);
    EXPECT_TRUE(services.modalForms().isEmpty());
    EXPECT_TRUE(startup().Trees().Empty());
    End();
    EXPECT_TRUE(directory.live.empty());
}

TEST_F(StartupWindow, OnAMappedVolumeTheNetworkPathBecomesTheDataDirectory) {
    TempFolder data;
    directory.onServerVolume = true;
    directory.visibleTrees = {"ACME"};
    WriteFile(program.file("Cormelian.ini"), "[NETWORK]\npath=" + data.str() + "cormelian\n");
    Start();
    EXPECT_EQ(startup().DataDirectory(), data.str() + "cormelian/");
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(ini::IniFile(data.str() + "cormelian/Cormelian.ini").ReadString("TREES", "ACME", ""), "[root]");
}

TEST_F(StartupWindow, AUserWithoutHomeDirectoryIsToldAndTheWindowCloses) {
    directory.onServerVolume = true;
    WriteFile(program.file("Cormelian.ini"), "[NETWORK]\npath=%HomeDir%\\cormelian\n");
    Start();
    EXPECT_EQ(services.messages(), QStringList{"User joe.Users.ACME has no homedirectory!!"});
    EXPECT_FALSE(window().isVisible());
}

TEST_F(StartupWindow, WithoutTreesTheStartUpSaysSoAndGoesOn) {
    Start();
    EXPECT_EQ(services.messages(), QStringList{"No trees selected!"});
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(window().ToolBar1->isEnabled());
    EXPECT_TRUE(services.modalForms().isEmpty());
}

TEST_F(StartupWindow, AllTreesExcludedIsNoTreesSelected) {
    directory.visibleTrees = {"ACME"};
    WriteFile(program.file("Cormelian.ini"), "[EXCLUDE]\nACME=1\n");
    Start();
    EXPECT_EQ(services.messages(), QStringList{"No trees selected!"});
}

TEST_F(StartupWindow, TheCaptionFillsTheWindowWidth) {
    Create();
    window().resize(400, 300);
    window().UpdateCaption();
    const QString narrow = window().windowTitle();
    window().resize(900, 300);
    window().UpdateCaption();
    EXPECT_GT(window().windowTitle().size(), narrow.size());
    EXPECT_LE(window().windowTitle().size(), 255);
}

// A directory whose confidence setting fails: the settings read raises inside the start-up.
class FailingConfidence : public FakeDirectory {
public:
    using FakeDirectory::FakeDirectory;
    void SetContextConfidence(ContextHandle, int) override {
        throw std::runtime_error("Netware error -601 (0xFFFFFDA7)");
    }
};

TEST(StartupWindowErrors, ADirectoryErrorInAStepIsShownAndEndsTheStartUp) {
    HelperBinding binding;
    TempFolder program;
    Journal journal;
    FailingConfidence directory{journal};
    directory.visibleTrees = {"ACME"};
    FakeHelper helper{journal};
    FakeTimeSettings time;
    ScriptedServices services;
    WriteFile(program.file("Cormelian.ini"), "[TREES]\nACME=[root]\n");
    browser::StartupEnvironment environment{directory, helper, time, program.str(), {"/alldns"}};
    {
        browser::Program block(App(), services, &environment);
        block.forms().Form1->Timer1Timer();
        EXPECT_EQ(services.messages(), QStringList{"Netware error -601 (0xFFFFFDA7)"});
        // The load and the batch switches after the failing step did not run.
        EXPECT_FALSE(block.forms().Form1->ToolBar1->isEnabled());
    }
    EXPECT_TRUE(directory.live.empty());
}

TEST_F(StartupWindow, ClosingFreesTreeContextsThenTheMainContextThenEndsClientAndLibrary) {
    directory.visibleTrees = {"ACME", "GLOBEX"};
    services.queueDialog([](QDialog& dialog) {
        auto& choice = dynamic_cast<browser::TDNSTrees&>(dialog);
        ClickCheck(choice.treesList, "ACME");
        choice.okButton->click();
    });
    Start();
    window().cb2->addItem(QStringLiteral("ns.acme.com"));
    window().cb3->addItem(QStringLiteral("10.1.0.1"));
    const std::string ini = startup().DataIniPath();
    journal.clear();
    End();
    EXPECT_EQ(journal,
              (Journal{"FreeContext 101", "FreeContext 102", "FreeContext 100", "EndClient", "FreeHelper"}));
    EXPECT_TRUE(directory.live.empty());
    const ini::IniFile file(ini);
    EXPECT_EQ(file.ReadString("LOOKUP", "1", ""), "ns.acme.com");
    EXPECT_EQ(file.ReadString("LOOKUP", "server1", ""), "10.1.0.1");
}

} // namespace
