// The program's windows over the real directory client, the helper library and the demo
// directory; and the program itself started on it.
#include "WiringFixture.h"

#include "browser/forms/Login.h"
#include "browser/forms/SettingsForm.h"
#include "browser/forms/TreesUnit.h"
#include "browser/forms/backup2.h"
#include "platform/ini/IniFile.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/SourceTree.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstdlib>

using namespace wiring_test;
using browser::ScriptedServices;
namespace fs = std::filesystem;

namespace {

// A copy of the demo directory with its client configuration.
class DemoCopy {
public:
    DemoCopy() {
        fs::copy(test_support::SourceFolder() / "data" / "demo", folder_.path(), fs::copy_options::recursive);
    }
    std::string config() const { return folder_.file("client.ini"); }

private:
    TempFolder folder_;
};

#ifdef TOLVEX_LIBRARY

class DemoWindow : public ::testing::Test {
protected:
    DemoCopy demo;
    TempFolder program;
    browser::LayerTreeDirectory directory{demo.config()};
    browser::TolvexHelperLibrary helper;
    browser::LayerTimeSettings time;
    ScriptedServices services;
    browser::StartupEnvironment environment{directory, helper, time, program.str(), {}};
    std::unique_ptr<browser::Program> programBlock;

    browser::TForm1& window() const { return *programBlock->forms().Form1; }
    const browser::Forms& forms() const { return programBlock->forms(); }
    browser::StartupSequence& startup() const { return *window().startup(); }

    void SetUp() override {
        const fs::path library(TOLVEX_LIBRARY);
        fs::copy_file(library, program.path() / library.filename());
    }
    void TearDown() override { programBlock.reset(); }

    void Start() {
        programBlock = std::make_unique<browser::Program>(App(), services, &environment);
        ASSERT_FALSE(window().StartupRefused()) << services.messages().join("|").toStdString();
        window().show();
        window().Timer1Timer();
    }
    void QueueChoice(const QString& tree) {
        services.queueDialog([tree](QDialog& dialog) {
            auto& choice = dynamic_cast<browser::TDNSTrees&>(dialog);
            ClickCheck(choice.treesList, tree);
            choice.okButton->click();
        });
    }
};

TEST_F(DemoWindow, StartsWithoutSettingsFileOnTheChosenTreeAndShowsIt) {
    services.queueDialog([](QDialog& dialog) {
        auto& choice = dynamic_cast<browser::TDNSTrees&>(dialog);
        EXPECT_EQ(Names(choice.treesList), (QStringList{"ACME", "GLOBEX"}));
        // Single choice: the second check takes the first one's place.
        ClickCheck(choice.treesList, "GLOBEX");
        ClickCheck(choice.treesList, "ACME");
        EXPECT_EQ(choice.treesList->item(1)->checkState(), Qt::Unchecked);
        choice.okButton->click();
    });
    Start();
    EXPECT_EQ(services.modalForms(), QStringList{"TDNSTrees"});
    // The new tree's start context was written with a message of its own (OK button only).
    EXPECT_EQ(services.messages(), QStringList{"Default [root] as \"top\" for tree ACME set in ini-file"});
    EXPECT_EQ(services.count(ScriptedServices::Kind::MessageDialog), 1);
    EXPECT_EQ(startup().SelectedTrees(), (std::vector<std::string>{"ACME"}));
    // Every tree offered has its context; only the chosen one is opened.
    ASSERT_EQ(startup().Trees().Names(), (std::vector<std::string>{"ACME", "GLOBEX"}));
    EXPECT_EQ(directory.GetContextTreeName(startup().Trees().Find("GLOBEX")->context), "GLOBEX");
    EXPECT_TRUE(forms().cForm->IconsLoaded());
    EXPECT_TRUE(window().isVisible());
    EXPECT_GT(window().lv1->topLevelItemCount(), 0);
    EXPECT_GT(window().zonelist->topLevelItemCount(), 0);
    EXPECT_GT(window().netslist->topLevelItemCount(), 0);
    // The window is ready for use.
    EXPECT_TRUE(window().ToolBar1->isEnabled());
    EXPECT_EQ(window().ActivePage(), browser::TForm1::PageMisc);
    for (QAction* item : {window().Edit1, window().Del1, window().New1, window().N2, window().ReCreate,
                          window().Merge, window().AddExist, window().N4})
        EXPECT_FALSE(item->isVisible()) << item->objectName().toStdString();
    EXPECT_EQ(window().DNSSearch->property("ImageIndex").toInt(), 17);
    EXPECT_EQ(window().DHCPSearch->property("ImageIndex").toInt(), 19);
    EXPECT_TRUE(window().windowTitle().startsWith("Cormelian v2.08.04"));
    EXPECT_TRUE(window().windowTitle().endsWith("Tolvex"));
    // The settings file was begun with what the start-up writes when missing.
    const ini::IniFile file(program.file("Cormelian.ini"));
    EXPECT_EQ(file.ReadString("TREES", "ACME", ""), "[root]");
    EXPECT_EQ(file.ReadString("SYSTEM", "DateTime", ""), "yyyy-mm-dd hh:nn:ss");
    EXPECT_TRUE(file.ReadBool("MASTER", "ACME", false));

    programBlock.reset();
    EXPECT_FALSE(nwclient::isInitialized());
}

TEST_F(DemoWindow, AnExcludedTreeIsNotOfferedAndOneTreeNeedsNoChoice) {
    WriteFile(program.file("Cormelian.ini"), "[EXCLUDE]\nGLOBEX=1\nACME=0\n[TREES]\nACME=[root]\n"
                                             "[LOOKUP]\n1=www.acme.example\n2=\n3=mail.acme.example\n"
                                             "server1=10.1.0.1\n");
    Start();
    EXPECT_TRUE(services.modalForms().isEmpty());
    EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("|").toStdString();
    EXPECT_EQ(startup().SelectedTrees(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(startup().Trees().Names(), (std::vector<std::string>{"ACME"}));
    // The look-up history: empty values skipped, nothing selected.
    ASSERT_EQ(window().cb2->count(), 2);
    EXPECT_EQ(window().cb2->itemText(1), "mail.acme.example");
    EXPECT_EQ(window().cb2->currentIndex(), -1);
    EXPECT_EQ(window().cb3->count(), 1);
}

TEST_F(DemoWindow, NoTreesOpensOnlyTheFirstTreeWithoutADialog) {
    WriteFile(program.file("Cormelian.ini"), "[SYSTEM]\nnoTrees=1\n[TREES]\nACME=.DNS.ACME\n");
    Start();
    EXPECT_TRUE(services.modalForms().isEmpty());
    EXPECT_EQ(startup().Trees().Names(), (std::vector<std::string>{"ACME"}));
    EXPECT_EQ(startup().Trees().Find("ACME")->startContext, "DNS.ACME");
}

TEST_F(DemoWindow, TheTreeCommandOpensTheNewlyCheckedTree) {
    QueueChoice(QStringLiteral("ACME"));
    Start();
    services.queueDialog([](QDialog& dialog) {
        auto& choice = dynamic_cast<browser::TDNSTrees&>(dialog);
        EXPECT_EQ(choice.treesList->item(0)->checkState(), Qt::Checked);
        ClickCheck(choice.treesList, "GLOBEX");
        choice.okButton->click();
    });
    window().SelectTrees->click();
    EXPECT_EQ(startup().SelectedTrees(), (std::vector<std::string>{"GLOBEX"}));
    EXPECT_EQ(window().ActivePage(), browser::TForm1::PageMisc);
    EXPECT_TRUE(window().ToolBar1->isEnabled());
    ASSERT_GT(window().lv1->topLevelItemCount(), 0);
    // The tree's own row comes first, then its servers and pools.
    EXPECT_EQ(window().lv1->topLevelItem(0)->text(0), "GLOBEX");
    EXPECT_TRUE(window().lv1->findItems(QStringLiteral("ACME"), Qt::MatchExactly, 1).isEmpty());
}

TEST_F(DemoWindow, ClosingWritesTheLookUpHistoryAndEndsTheClient) {
    QueueChoice(QStringLiteral("ACME"));
    Start();
    window().cb2->addItem(QStringLiteral("ns.acme.example"));
    window().cb3->addItem(QStringLiteral("10.1.0.1"));
    programBlock.reset();
    EXPECT_FALSE(nwclient::isInitialized());
    const ini::IniFile file(program.file("Cormelian.ini"));
    EXPECT_EQ(file.ReadString("LOOKUP", "1", ""), "ns.acme.example");
    EXPECT_EQ(file.ReadString("LOOKUP", "server1", ""), "10.1.0.1");
}

TEST_F(DemoWindow, MoreLogsInToTheHiddenTreeAndTheSettingsDialogChecksItsTop) {
    QueueChoice(QStringLiteral("ACME"));
    Start();
    services.clearCalls();
    services.queueDialog([&](QDialog& dialog) {
        dynamic_cast<browser::TDNSTrees&>(dialog).moreButton->click();
        ClickCheck(dynamic_cast<browser::TDNSTrees&>(dialog).treesList, "ACME");
        dynamic_cast<browser::TDNSTrees&>(dialog).okButton->click();
    });
    services.queueInput(QStringLiteral("initech"));
    services.queueDialog([&](QDialog&) {
        browser::TTreesForm& trees = *forms().TreesForm;
        ASSERT_TRUE(WaitUntil([&] { return !trees.Timer1->isActive(); }));
        EXPECT_EQ(Names(trees.treesBox), (QStringList{"ACME", "GLOBEX"}));
        trees.addButton->click();
        trees.treesBox->findItems("INITECH", Qt::MatchExactly).front()->setSelected(true);
        trees.okButton->click();
    });
    services.queueDialog([&](QDialog&) {
        browser::TLoginForm& login = *forms().LoginForm;
        EXPECT_EQ(login.windowTitle(), "Login into tree: INITECH");
        login.NameEdit->setText(QStringLiteral("admin.Users.INITECH"));
        login.PasswordEdit->setText(QStringLiteral("secret"));
        login.okButton->click();
    });
    window().SelectTrees->click();
    EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("|").toStdString();
    ASSERT_NE(startup().Trees().Find("INITECH"), nullptr);
    EXPECT_EQ(directory.GetContextTreeName(startup().Trees().Find("INITECH")->context), "INITECH");
    EXPECT_EQ(startup().SelectedTrees(), (std::vector<std::string>{"ACME"}));

    services.queueDialog([&](QDialog&) {
        browser::TsetForm& settings = *forms().setForm;
        settings.topEdit->setText(QStringLiteral("admin.Users.ACME"));
        settings.okButton->click();
        EXPECT_TRUE(settings.isVisible());
        settings.topEdit->setText(QStringLiteral("DNS.ACME"));
        settings.masterBox->setChecked(false);
        settings.okButton->click();
    });
    window().SettingsBut->click();
    EXPECT_EQ(services.messages(), (QStringList{"Illegal object top!", "Update context handle...."}));
    EXPECT_EQ(startup().Trees().Find("ACME")->startContext, "DNS.ACME");
    EXPECT_EQ(forms().cForm->GetStartContext(), "DNS.ACME");
    const ini::IniFile file(program.file("Cormelian.ini"));
    EXPECT_EQ(file.ReadString("TREES", "ACME", ""), "DNS.ACME");
    EXPECT_FALSE(file.ReadBool("MASTER", "ACME", true));
    // The tree's context now reads from any replica.
    std::uint32_t confidence = 2;
    ASSERT_EQ(nwclient::getContextKey(startup().Trees().Find("ACME")->context, nwclient::KEY_CONFIDENCE,
                                      confidence),
              0);
    EXPECT_EQ(confidence, 0u);
}

#endif

#ifdef CORMELIAN_PROGRAM

QProcessEnvironment ProgramEnvironment(const std::string& clientConfig) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("CORMELIAN_CLIENT_CONFIG", QString::fromStdString(clientConfig));
    environment.insert("CORMELIAN_EXIT_AFTER_MS", "1500");
    return environment;
}

TEST(ProgramOnTheDemo, StartsShowsTheTreeChoiceAndEndsWhenClosed) {
    DemoCopy demo;
    TempFolder pictures;
    QProcessEnvironment environment = ProgramEnvironment(demo.config());
    environment.insert("CORMELIAN_SCREENSHOT", QString::fromStdString(pictures.file("screen.png")));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CORMELIAN_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    const QImage screen(QString::fromStdString(pictures.file("screen.png")));
    EXPECT_FALSE(screen.isNull());
}

TEST(ProgramOnTheDemo, WithoutItsClientTheProgramTellsAndEndsWithAFailure) {
    TempFolder nothing;
    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment(nothing.file("client.ini")));
    program.start(QStringLiteral(CORMELIAN_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 1);
}

#endif

} // namespace
