// The main window's locator addition, subnet data and check page handlers, driven through scripted
// services; the locator addition against a small directory with the real object browser.
#include "browser/collection/ObjectRows.h"
#include "browser/collection/TreeObj.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/backup2.h"
#include "browser/lists/ScriptedServices.h"
#include "directory/Tolvex.h"
#include "platform/ini/IniFile.h"
#include "tests/support/BuiltHelper.h"
#include "tests/support/TreeClient.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace browser {
namespace {

constexpr const char* kClientIni = R"([Client]
PreferredTree=ACME
Store=:memory:

[Trees]
ACME=visible

[Tree ACME]
DefaultNameContext=[Root]
User=admin.ACME

[Users ACME]
admin.ACME=secret
)";

constexpr const char* kAcmeLdif = R"(version: 1

dn: o=ACME
objectClass: organization
o: ACME

dn: cn=admin,o=ACME
objectClass: inetOrgPerson
cn: admin
sn: Admin

dn: ou=DNS,o=ACME
objectClass: organizationalUnit
ou: DNS

dn: cn=Locator2,ou=DNS,o=ACME
objectClass: dNIPLocator
cn: Locator2

dn: cn=beta,ou=DNS,o=ACME
objectClass: inetOrgPerson
cn: beta
sn: Beta
)";

QTreeWidgetItem* AddRow(QTreeWidget* list, const QString& caption, const QString& context, int tree,
                        int state) {
    auto* item = new QTreeWidgetItem(list, {caption, context});
    item->setData(0, kObjectDataRole, tree);
    item->setData(0, kObjectImageRole, -1);
    item->setData(0, kObjectStateRole, state);
    return item;
}

void Select(QTreeWidget* list, QTreeWidgetItem* item) {
    list->setCurrentItem(item);
    item->setSelected(true);
}

class AddLocatorTest : public test_support::TreeClientTest {
protected:
    AddLocatorTest() : TreeClientTest("handlers-test") {}

    void SetUp() override {
        Write("client.ini", kClientIni);
        Write("ACME.ldif", kAcmeLdif);
        ASSERT_NO_FATAL_FAILURE(StartClient("ACME"));
        ASSERT_TRUE(directory::LoadHelperDll(test_support::BuiltHelperFolder())) << "libTolvex.so not built";
        Write("Cormelian.ini", "[LOCATOR]\nACME=Old.DNS.ACME\n");
        trees_.Add("ACME", std::make_unique<treeobj>(context_));
        trees_.Object(0).locator = "Old.DNS.ACME";
        chooser_ = std::make_unique<TcForm>(services_);
        chooser_->SetTraceFile(QString::fromStdString((folder_.Path() / "testnoc.log").string()));
        forms_.cForm = chooser_.get();
        window_ = std::make_unique<TForm1>(services_, forms_);
        window_->SetPaneSources(&trees_, &icons_);
        window_->ModuleSettingsFile = IniPath();
        treeRow_ = AddRow(window_->lv1, QStringLiteral("ACME"), QString(), 0, kStateTree);
        objectRow_ = AddRow(window_->lv1, QStringLiteral("Old"), QStringLiteral("DNS.ACME"), 0, kStateObject);
    }

    void TearDown() override {
        window_.reset();
        chooser_.reset();
        trees_ = TreeList();
        directory::FreeHelperDll();
        StopClient();
    }

    std::string IniPath() const { return folder_.Directory() + "Cormelian.ini"; }
    std::string LocatorSetting() const { return ini::IniFile(IniPath()).ReadString("Locator", "ACME", "?"); }

    // Answers the object browser once its tree is built: tries refused first (when given), then
    // chooses the object with OK.
    void Choose(const QString& refused, const QString& object) {
        services_.queueDialog([=, this](QDialog&) {
            QElapsedTimer clock;
            clock.start();
            while (chooser_->Timer1->isActive() && clock.elapsed() < 5000)
                QApplication::processEvents(QEventLoop::AllEvents, 20);
            leafMode_ = chooser_->All->isVisible();
            if (!refused.isEmpty()) {
                chooser_->ExpandToNode(refused);
                chooser_->BitBtn2->click();
                refusedStillOpen_ = chooser_->isVisible();
            }
            chooser_->ExpandToNode(object);
            chooser_->BitBtn2->click();
        });
    }

    ScriptedServices services_;
    TreeList trees_;
    ClassIconNumbers icons_;
    Forms forms_;
    std::unique_ptr<TcForm> chooser_;
    std::unique_ptr<TForm1> window_;
    QTreeWidgetItem* treeRow_ = nullptr;
    QTreeWidgetItem* objectRow_ = nullptr;
    bool leafMode_ = false;
    bool refusedStillOpen_ = false;
};

TEST_F(AddLocatorTest, ChosenLocatorIsAddedToTheSettingsAndTheTreesAreReloaded) {
    Select(window_->lv1, treeRow_);
    Choose(QStringLiteral("beta.DNS.ACME"), QStringLiteral("Locator2.DNS.ACME"));
    window_->AddExist->trigger();
    EXPECT_EQ(services_.modalForms(), QStringList{QStringLiteral("TcForm")});
    EXPECT_TRUE(leafMode_);
    EXPECT_TRUE(refusedStillOpen_); // only locator objects can be chosen
    EXPECT_TRUE(services_.messages().isEmpty()) << services_.messages().join('|').toStdString();
    EXPECT_EQ(LocatorSetting(), "Locator2.DNS.ACME,Old.DNS.ACME");
    EXPECT_EQ(trees_.Object(0).locator, "Locator2.DNS.ACME,Old.DNS.ACME");
    // Reloading the trees starts from empty object lists.
    EXPECT_EQ(window_->lv1->topLevelItemCount(), 0);
}

TEST_F(AddLocatorTest, ALocatorAlreadyListedIsNotAddedTwice) {
    Write("Cormelian.ini", "[LOCATOR]\nACME=locator2.dns.acme\n");
    Select(window_->lv1, treeRow_);
    Choose(QString(), QStringLiteral("Locator2.DNS.ACME"));
    window_->AddExistClick();
    EXPECT_EQ(LocatorSetting(), "locator2.dns.acme");
    EXPECT_EQ(trees_.Object(0).locator, "locator2.dns.acme");
}

TEST_F(AddLocatorTest, CancelOrAnObjectRowChangesNothing) {
    Select(window_->lv1, treeRow_);
    window_->AddExistClick(); // the browser is cancelled
    EXPECT_EQ(services_.count(ScriptedServices::Kind::Modal), 1);
    Select(window_->lv1, objectRow_);
    window_->AddExistClick(); // not a tree row: no browser
    EXPECT_EQ(services_.count(ScriptedServices::Kind::Modal), 1);
    EXPECT_EQ(LocatorSetting(), "Old.DNS.ACME");
    EXPECT_EQ(trees_.Object(0).locator, "Old.DNS.ACME");
    EXPECT_EQ(window_->lv1->topLevelItemCount(), 2);
}

TEST_F(AddLocatorTest, AnUnwritableSettingsFileIsReportedAndTheTreeKeepsItsText) {
    window_->ModuleSettingsFile = folder_.Directory() + "missing/Cormelian.ini";
    Select(window_->lv1, treeRow_);
    Choose(QString(), QStringLiteral("Locator2.DNS.ACME"));
    window_->AddExistClick();
    EXPECT_EQ(services_.messages().size(), 1);
    EXPECT_EQ(trees_.Object(0).locator, "Old.DNS.ACME");
    EXPECT_EQ(window_->lv1->topLevelItemCount(), 2); // no reload
}

class PlainWindowTest : public ::testing::Test {
protected:
    ScriptedServices services_;
    Forms forms_;
    std::unique_ptr<TForm1> window_ = std::make_unique<TForm1>(services_, forms_);
};

TEST_F(PlainWindowTest, ShowDataTellsTheSelectedSubnetsTreeIndex) {
    window_->showdata1->trigger(); // nothing selected: no message
    EXPECT_TRUE(services_.messages().isEmpty());
    AddRow(window_->netslist, QStringLiteral("10_0_0_0"), QStringLiteral("DHCP.ACME"), 0, kStateChecked);
    QTreeWidgetItem* second = AddRow(window_->netslist, QStringLiteral("10_1_0_0"),
                                     QStringLiteral("DHCP.GLOBEX"), 1, kStateChecked);
    Select(window_->netslist, second);
    window_->showdata1->trigger();
    EXPECT_EQ(services_.messages(), QStringList{QStringLiteral("1")});
}

TEST_F(PlainWindowTest, CheckButtonAndLocatorObjectCommandsDoNothing) {
    window_->CheckBox19->setChecked(true);
    window_->CheckBox21->setChecked(true);
    window_->RE1->setPlainText(QStringLiteral("kept"));
    AddRow(window_->lv1, QStringLiteral("ACME"), QString(), 0, kStateTree);
    Select(window_->lv1, window_->lv1->topLevelItem(0));
    window_->BitBtn1->click();
    window_->ReCreate->trigger();
    window_->Merge->trigger();
    EXPECT_TRUE(services_.calls().empty());
    EXPECT_TRUE(window_->CheckBox19->isChecked());
    EXPECT_FALSE(window_->CheckBox20->isChecked());
    EXPECT_EQ(window_->RE1->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(window_->lv1->topLevelItemCount(), 1);
}

} // namespace
} // namespace browser
