// The tree, login, settings and editor dialogs over fakes, driven through the scripted services.
#include "WiringFixture.h"

#include "browser/collection/TreeObj.h"
#include "browser/forms/IniEditor.h"
#include "browser/forms/Login.h"
#include "browser/forms/SettingsForm.h"
#include "browser/forms/ShowWarning.h"
#include "browser/forms/StartParameters.h"
#include "browser/forms/TreesUnit.h"
#include "browser/forms/backup2.h"
#include "browser/startup/IniEditorLogic.h"
#include "browser/startup/TreeDialogsLogic.h"
#include "platform/commit/CommitTesting.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>

#include <cerrno>
#include <optional>
#include <sys/stat.h>

using namespace wiring_test;
using browser::ScriptedServices;

namespace {

// ---- "Select Tree"

class SelectTreeDialog : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    ScriptedServices services;
    browser::TTreesForm form{services};

    void SetUp() override {
        form.SetDirectory(&directory);
        form.logic().SetContext(1);
    }
    // Shows the dialog; script runs once its list is filled.
    int Show(const std::function<void()>& script) {
        services.queueDialog([&](QDialog&) {
            EXPECT_EQ(Names(form.treesBox), QStringList{"Please wait"});
            EXPECT_TRUE(WaitUntil([&] { return !form.Timer1->isActive(); }));
            script();
        });
        return services.showModal(form);
    }
};

TEST_F(SelectTreeDialog, ListsTheScannedTreesAndTheExtraNamesSorted) {
    TempFolder folder;
    WriteFile(folder.file("Cormelian.ini"), "[MORE TREES]\nzeta=\nACME=\nBETA=1\n");
    form.logic().LoadMoreTrees(folder.file("Cormelian.ini"));
    directory.visibleTrees = {"GLOBEX", "ACME"};
    const int result = Show([&] {
        EXPECT_EQ(Names(form.treesBox), (QStringList{"ACME", "BETA", "GLOBEX", "zeta"}));
        // With several selected, the last of them in the list is the choice.
        form.treesBox->item(2)->setSelected(true);
        form.treesBox->item(0)->setSelected(true);
        form.okButton->click();
    });
    EXPECT_EQ(result, browser::mrOk);
    EXPECT_EQ(form.logic().ChosenTree(), "GLOBEX");
    EXPECT_TRUE(services.messages().isEmpty());
}

TEST_F(SelectTreeDialog, WithoutContextItSaysSo) {
    browser::TTreesForm fresh{services};
    services.showModal(fresh);
    EXPECT_EQ(services.messages().value(0), "Internal error, please contact Tolvex!!!");
}

TEST_F(SelectTreeDialog, AFailingScanIsShownAndLeavesTheListEmpty) {
    directory.scanRaises = true;
    Show([&] { EXPECT_EQ(form.treesBox->count(), 0); });
    EXPECT_EQ(services.messages(), QStringList{"Netware error 35324 (0x89FC)"});
}

TEST_F(SelectTreeDialog, AddTakesNamesInUpperCaseAndAsksServersForTheirTree) {
    directory.hosts = {{"10.1.2.3", {0, "MYTREE____"}}, {"10.1.2.4", {0x8800, "MY_TREE__"}}};
    services.queueInput(QStringLiteral("tree_a"));
    services.queueInput(QStringLiteral("10.1.2.3"));
    services.queueInput(QStringLiteral("10.1.2.4"));
    services.queueInput(QStringLiteral("10.9.9.9"));
    services.queueInput(QString());
    services.queueInput(std::nullopt);
    Show([&] {
        for (int click = 0; click < 6; ++click)
            form.addButton->click();
        EXPECT_EQ(Names(form.treesBox), (QStringList{"TREE_A", "MYTREE", "MY_TREE"}));
    });
    EXPECT_EQ(services.messages(), QStringList{"Server not found (00008847)"});
    const auto& ask = services.calls().at(1);
    EXPECT_EQ(ask.kind, ScriptedServices::Kind::Input);
    EXPECT_EQ(ask.title, "New Tree");
    EXPECT_EQ(ask.text, "Enter Treename or IP-address");
}

// ---- captions

// The tree choice and the start parameters open wide enough for their whole captions.
TEST(DialogCaptions, OpenWideEnoughForTheWholeCaption) {
    ScriptedServices services;
    browser::TDNSTrees trees{services};
    browser::TForm4 start{services};
    start.setWindowTitle(QStringLiteral("Start service named on server ACME-FS1"));
    QFont bold = QApplication::font();
    bold.setBold(true);
    for (QDialog* dialog : std::initializer_list<QDialog*>{&trees, &start}) {
        const QString caption = dialog->windowTitle();
        SCOPED_TRACE(caption.toStdString());
        int shownWidth = 0;
        services.queueDialog([&shownWidth](QDialog& shown) { shownWidth = shown.width(); });
        services.showModal(*dialog);
        // The caption, the window's icon and three buttons of a title bar.
        EXPECT_GE(shownWidth, QFontMetrics(bold).horizontalAdvance(caption) + 120);
    }
}

// ---- "Current Connected Trees (without exclude)"

class TreeChoiceDialog : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    ScriptedServices services;
    browser::TTreesForm treesForm{services};
    browser::TLoginForm loginForm{services};
    browser::TDNSTrees form{services};
    browser::TreeList trees;
    bool loginAnswer = false;

    // Logins through the login form.
    class LoginUi : public browser::TreeConnectionUi {
    public:
        explicit LoginUi(TreeChoiceDialog& test) : test_(test) {}
        bool ShowLogin(ContextHandle context) override {
            test_.loginForm.SetLoginContext(context);
            return test_.services.showModal(test_.loginForm) == browser::mrOk;
        }
        void ShowMessage(const std::string& text) override {
            test_.services.showMessage(QString::fromStdString(text));
        }

    private:
        TreeChoiceDialog& test_;
    } ui{*this};

    browser::DNSTreesLogic choice;
    ContextHandle main = 0;

    void SetUp() override {
        bool ok = false;
        main = directory.CreateDSContext(ok);
        treesForm.SetDirectory(&directory);
        loginForm.SetDirectory(&directory);
        form.SetConnection(&directory, &trees, &ui, &treesForm);
        choice.SetSingleSelect(true);
        choice.SetContext(main);
    }
    void TearDown() override { trees.FreeAll(directory); }

    // "More" picks name in "Select Tree".
    void QueuePick(const QString& name) {
        services.queueDialog([this, name](QDialog&) {
            ASSERT_TRUE(WaitUntil([&] { return !treesForm.Timer1->isActive(); }));
            const auto found = treesForm.treesBox->findItems(name, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << name.toStdString();
            found.front()->setSelected(true);
            treesForm.okButton->click();
        });
    }
};

TEST_F(TreeChoiceDialog, WithoutContextItSaysSo) {
    browser::DNSTreesLogic unset;
    form.ShowChoice(unset);
    EXPECT_EQ(services.messages(), QStringList{"Internal error, in Show Trees, please contact Tolvex!"});
}

TEST_F(TreeChoiceDialog, MultipleModeKeepsEveryCheck) {
    choice.SetSingleSelect(false);
    choice.Fill({"ACME", "GLOBEX"}, {"GLOBEX"});
    services.queueDialog([&](QDialog&) {
        EXPECT_EQ(form.treesList->item(1)->checkState(), Qt::Checked);
        ClickCheck(form.treesList, "ACME");
        form.okButton->click();
    });
    EXPECT_EQ(form.ShowChoice(choice), browser::mrOk);
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"ACME", "GLOBEX"}));
}

TEST_F(TreeChoiceDialog, MoreConnectsAVisibleTreeAndChecksOnlyIt) {
    directory.visibleTrees = {"ACME", "LAB"};
    choice.Fill({"ACME"}, {"ACME"});
    services.queueDialog([&](QDialog&) {
        form.moreButton->click();
        EXPECT_EQ(Names(form.treesList), (QStringList{"ACME", "LAB"}));
        EXPECT_EQ(form.treesList->item(0)->checkState(), Qt::Unchecked);
        EXPECT_EQ(form.treesList->item(1)->checkState(), Qt::Checked);
        form.okButton->click();
    });
    QueuePick(QStringLiteral("LAB"));
    form.ShowChoice(choice);
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"LAB"}));
    ASSERT_NE(trees.Find("LAB"), nullptr);
    EXPECT_EQ(directory.treeOf[trees.Find("LAB")->context], "LAB");
    EXPECT_EQ(directory.logins, 0);
}

TEST_F(TreeChoiceDialog, MoreLogsInToATreeTheWorkstationDoesNotSee) {
    directory.visibleTrees = {"ACME"};
    directory.passwords = {{"admin.HIDDEN", "pw"}};
    choice.Fill({"ACME"});
    services.queueDialog([&](QDialog&) { form.moreButton->click(); });
    services.queueInput(QStringLiteral("hidden"));
    services.queueDialog([&](QDialog&) {
        ASSERT_TRUE(WaitUntil([&] { return !treesForm.Timer1->isActive(); }));
        treesForm.addButton->click();
        treesForm.treesBox->findItems("HIDDEN", Qt::MatchExactly).front()->setSelected(true);
        treesForm.okButton->click();
    });
    services.queueDialog([&](QDialog&) {
        EXPECT_EQ(loginForm.windowTitle(), "Login into tree: HIDDEN");
        loginForm.NameEdit->setText(QStringLiteral(".admin.HIDDEN"));
        loginForm.PasswordEdit->setText(QStringLiteral("wrong"));
        loginForm.okButton->click();
        EXPECT_TRUE(loginForm.isVisible());
        EXPECT_EQ(loginForm.NameEdit->text(), "admin.HIDDEN");
        loginForm.PasswordEdit->setText(QStringLiteral("pw"));
        loginForm.okButton->click();
        EXPECT_FALSE(loginForm.isVisible());
    });
    form.ShowChoice(choice);
    EXPECT_EQ(services.messages(), QStringList{"Login Fails, try again"});
    EXPECT_EQ(services.modalForms(), (QStringList{"TDNSTrees", "TTreesForm", "TLoginForm"}));
    ASSERT_NE(trees.Find("HIDDEN"), nullptr);
    EXPECT_EQ(choice.CheckedNames(), (std::vector<std::string>{"HIDDEN"}));
    // The password does not stay in the closed dialog.
    EXPECT_TRUE(loginForm.PasswordEdit->text().isEmpty());
}

TEST_F(TreeChoiceDialog, AFailedLoginAddsNothingAndFreesItsContext) {
    directory.visibleTrees = {"ACME"};
    choice.Fill({"ACME"});
    services.queueDialog([&](QDialog&) { form.moreButton->click(); });
    services.queueInput(QStringLiteral("HIDDEN"));
    services.queueDialog([&](QDialog&) {
        ASSERT_TRUE(WaitUntil([&] { return !treesForm.Timer1->isActive(); }));
        treesForm.addButton->click();
        treesForm.treesBox->item(treesForm.treesBox->count() - 1)->setSelected(true);
        treesForm.okButton->click();
    });
    // The login dialog is cancelled (no script).
    const auto liveBefore = directory.live;
    form.ShowChoice(choice);
    EXPECT_EQ(trees.Find("HIDDEN"), nullptr);
    EXPECT_EQ(Names(form.treesList), QStringList{"ACME"});
    EXPECT_EQ(directory.live, liveBefore);
}

TEST_F(TreeChoiceDialog, ATreeConnectedAlreadyIsNotGivenASecondContext) {
    directory.visibleTrees = {"ACME", "LAB"};
    choice.Fill({"ACME", "LAB"});
    services.queueDialog([&](QDialog&) {
        form.moreButton->click();
        form.moreButton->click();
    });
    QueuePick(QStringLiteral("LAB"));
    QueuePick(QStringLiteral("LAB"));
    form.ShowChoice(choice);
    EXPECT_EQ(trees.Count(), 1);
    EXPECT_EQ(directory.contextsCreated, 2); // the main context and LAB's
    EXPECT_EQ(Names(form.treesList), (QStringList{"ACME", "LAB"}));
}

// ---- "Login"

TEST(LoginDialog, TheBrowserChoosesAUserOrTheUserOfAnAlias) {
    Journal journal;
    FakeDirectory directory{journal};
    ScriptedServices services;
    browser::TLoginForm login{services};
    browser::TcForm objectBrowser{services};
    login.SetDirectory(&directory);
    login.SetObjectBrowser(&objectBrowser);
    directory.baseClasses = {
        {"joe.ACME", "User"}, {"boss.ACME", "Alias"}, {"srv.ACME", "Alias"}, {"FS1.ACME", "NCP Server"}};
    directory.aliases = {{"boss.ACME", "joe.ACME"}, {"srv.ACME", "FS1.ACME"}};
    const auto choose = [&](const QString& object) {
        services.queueDialog([&objectBrowser, object](QDialog&) {
            EXPECT_TRUE(objectBrowser.windowTitle().endsWith("Select User/Alias"));
            objectBrowser.SetStartObject(object);
            objectBrowser.setModalResult(browser::mrOk);
        });
        login.browseButton->click();
    };
    choose(QStringLiteral("boss.ACME"));
    EXPECT_EQ(login.NameEdit->text(), "joe.ACME");
    choose(QStringLiteral("srv.ACME"));
    EXPECT_EQ(login.NameEdit->text(), "joe.ACME");
    EXPECT_EQ(services.messages(), QStringList{"Alias object is not am alias of User objects!"});
    choose(QStringLiteral("FS1.ACME"));
    EXPECT_EQ(login.NameEdit->text(), "FS1.ACME");
}

// ---- "Settings"

class SettingsDialog : public ::testing::Test {
protected:
    Journal journal;
    FakeDirectory directory{journal};
    FakeHelper helper{journal};
    ScriptedServices services;
    browser::TsetForm form{services};
    TempFolder folder;

    void SetUp() override {
        form.SetDirectory(&directory, &helper);
        form.SetSettingsFile(folder.file("Cormelian.ini"));
        form.logic().SetTree("ACME", 1);
        directory.baseClasses = {{"ACME", "Organization"}, {"joe.ACME", "User"}, {"[root]", "Top"}};
    }
    int Show(const std::function<void()>& script) {
        services.queueDialog([script](QDialog&) { script(); });
        return services.showModal(form);
    }
};

TEST_F(SettingsDialog, ShowsTheFilesValuesAndTheLibrarysDefault) {
    helper.store["TREES/ACME"] = "ACME";
    Show([&] {
        EXPECT_EQ(form.topEdit->text(), "ACME");
        EXPECT_FALSE(form.masterBox->isChecked());
        EXPECT_TRUE(form.defaultBox->isVisible());
        EXPECT_FALSE(form.defaultBox->isChecked());
    });
    WriteFile(folder.file("Cormelian.ini"), "[TREES]\nACME=.ou.ACME\n[master]\nACME=1\n");
    helper.version = 1;
    Show([&] {
        EXPECT_EQ(form.topEdit->text(), ".ou.ACME");
        EXPECT_TRUE(form.masterBox->isChecked());
        EXPECT_FALSE(form.defaultBox->isVisible());
    });
}

TEST_F(SettingsDialog, OKRefusesWhatIsNoContainerAndStoresTheDefaultOnlyWhenValid) {
    const int result = Show([&] {
        form.defaultBox->setChecked(true);
        form.topEdit->setText(QStringLiteral("joe.ACME"));
        form.okButton->click();
        form.topEdit->setText(QStringLiteral("nobody.ACME"));
        form.okButton->click();
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(helper.store.empty());
        form.topEdit->setText(QStringLiteral("ACME"));
        form.masterBox->setChecked(true);
        form.okButton->click();
    });
    EXPECT_EQ(result, browser::mrOk);
    EXPECT_EQ(services.messages(),
              (QStringList{"Illegal object top!", "Fill in correct object name, and no leading \".\""}));
    EXPECT_EQ(helper.store["TREES/ACME"], "ACME");
    const ini::IniFile file(folder.file("Cormelian.ini"));
    EXPECT_EQ(file.ReadString("TREES", "ACME", ""), "ACME");
    EXPECT_TRUE(file.ReadBool("MASTER", "ACME", false));
}

TEST_F(SettingsDialog, AnEmptyTopIsTheRootAndShownEmpty) {
    Show([&] {
        form.topEdit->clear();
        form.okButton->click();
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_TRUE(form.topEdit->text().isEmpty());
    EXPECT_EQ(ini::IniFile(folder.file("Cormelian.ini")).ReadString("TREES", "ACME", ""), "[root]");
}

// A settings file that cannot be written: OK shows the cause, the dialog stays open, and the file
// keeps its old text with nothing left beside it.
TEST_F(SettingsDialog, AFailedSaveIsShownWithItsCauseAndKeepsTheOldFile) {
    const std::string ini = folder.file("Cormelian.ini");
    const std::string old = "[TREES]\r\nACME=.ou.ACME\r\n";
    const struct {
        const char* name;
        int mode;  // of the old file
        int fault; // errno of the write fault, 0 for none
        std::string message;
    } cases[] = {
        {"a full disk", 0644, ENOSPC, "Cannot write file " + ini + ". No space left on device"},
        {"a write-protected file", 0444, 0,
         "Cannot create file " + ini + ". Existing file " + ini + " is not writable"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services.clearCalls();
        WriteFile(ini, old);
        ::chmod(ini.c_str(), mode_t(c.mode));
        std::optional<commit::testing::ScopedWriteFault> fault;
        if (c.fault != 0)
            fault.emplace(0, c.fault);
        const int result = Show([&] {
            form.topEdit->setText(QStringLiteral("ACME"));
            form.masterBox->setChecked(true);
            form.okButton->click();
            EXPECT_TRUE(form.isVisible());
            form.cancelButton->click();
        });
        fault.reset();
        EXPECT_EQ(result, browser::mrCancel);
        EXPECT_EQ(services.messages(), QStringList{QString::fromStdString(c.message)});
        EXPECT_EQ(ReadFile(ini), old);
        EXPECT_EQ(test_support::EntryNames(folder.path()), std::vector<std::string>{"Cormelian.ini"});
        ::chmod(ini.c_str(), 0644);
    }
}

TEST_F(SettingsDialog, TheBrowseButtonIsNotBuilt) {
    Show([&] { form.browseButton->click(); });
    EXPECT_EQ(services.messages(), QStringList{"Moet nog"});
}

// ---- Locator warning

TEST(WarningDialog, OffersToStopTheWarning) {
    ScriptedServices services;
    browser::Tshowwarning warning{services};
    services.queueDialog([&](QDialog&) {
        warning.noWarnBox->setChecked(true);
        warning.okButton->click();
    });
    EXPECT_EQ(services.showModal(warning), browser::mrOk);
    EXPECT_TRUE(warning.noWarnBox->isChecked());
    EXPECT_EQ(warning.warningLabel->text(),
              "More than one DNS-DHCP locator objects found in search context!");
}

// ---- Settings file editor

TEST(IniEditorText, LinesGetCrLfInTheFileAndPlainNewlinesInTheEditor) {
    EXPECT_EQ(browser::IniEditorLogic::ToFileText("[A]\nx=1"), "[A]\r\nx=1\r\n");
    EXPECT_EQ(browser::IniEditorLogic::ToFileText("[A]\n\nx=1\n"), "[A]\r\n\r\nx=1\r\n");
    EXPECT_EQ(browser::IniEditorLogic::ToFileText(""), "");
    EXPECT_EQ(browser::IniEditorLogic::ToEditorText("[A]\r\nx=1\r\n\ry=2"), "[A]\nx=1\n\ny=2");
}

class IniEditorDialog : public ::testing::Test {
protected:
    ScriptedServices services;
    browser::TForm2 editor{services};
    TempFolder folder;
    std::string file = folder.file("Cormelian.ini");
};

TEST_F(IniEditorDialog, AskesBeforeLosingChangesAndSavesThemWhole) {
    WriteFile(file, "[SYSTEM]\r\nThreads=1\r\n");
    editor.Open(file);
    services.queueButton(QMessageBox::No);
    services.queueButton(QMessageBox::Yes);
    services.queueDialog([&](QDialog&) {
        EXPECT_EQ(editor.RichEdit1->toPlainText(), "[SYSTEM]\nThreads=1\n");
        editor.ToolButton2->click(); // not modified: closes
    });
    services.showModal(editor);
    EXPECT_TRUE(services.messages().isEmpty());

    services.queueDialog([&](QDialog&) {
        editor.RichEdit1->appendPlainText(QStringLiteral("nowarn=1"));
        editor.ToolButton2->click(); // No: stays
        EXPECT_TRUE(editor.isVisible());
        editor.ToolButton6->click();
        EXPECT_EQ(ReadFile(file), "[SYSTEM]\r\nThreads=1\r\n\r\nnowarn=1\r\n");
        editor.RichEdit1->appendPlainText(QStringLiteral("junk"));
        editor.ToolButton4->click(); // reload drops the change
        EXPECT_FALSE(editor.RichEdit1->toPlainText().contains("junk"));
        editor.RichEdit1->appendPlainText(QStringLiteral("junk"));
        editor.ToolButton2->click(); // Yes: closes without saving
        EXPECT_FALSE(editor.isVisible());
    });
    services.showModal(editor);
    EXPECT_EQ(services.messages(), (QStringList{"Information is changed and is not saved, continue?", "Saved",
                                                "Information is changed and is not saved, continue?"}));
    EXPECT_EQ(ReadFile(file), "[SYSTEM]\r\nThreads=1\r\n\r\nnowarn=1\r\n");
}

TEST_F(IniEditorDialog, AMissingFileIsAnEmptyEditorThatSavingCreates) {
    editor.Open(file);
    EXPECT_TRUE(editor.RichEdit1->toPlainText().isEmpty());
    editor.RichEdit1->insertPlainText(QStringLiteral("[SYSTEM]\ncache=0"));
    editor.ToolButton6->click();
    EXPECT_EQ(ReadFile(file), "[SYSTEM]\r\ncache=0\r\n");
}

TEST_F(IniEditorDialog, AFileThatCannotBeWrittenStaysModified) {
    editor.Open(folder.file("missing-folder/Cormelian.ini"));
    editor.RichEdit1->insertPlainText(QStringLiteral("[SYSTEM]"));
    editor.ToolButton6->click();
    EXPECT_TRUE(editor.RichEdit1->document()->isModified());
    ASSERT_EQ(services.messages().size(), 1);
    EXPECT_NE(services.messages().front(), "Saved");
}

} // namespace
