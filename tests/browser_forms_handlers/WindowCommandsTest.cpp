// The editor dialog, deletion and the main window's pane and record-list handlers, driven through
// scripted services against the directory client's store.
#include "tests/browser_dhcp/PanesFixture.h"

#include "browser/collection/CacheFiles.h"
#include "browser/collection/TreeObj.h"
#include "browser/dhcp/DhcpRecordDeletion.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/DNSDHCPEdit.h"
#include "browser/forms/Forms.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/records/CormelianLib.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "browser/startup/StartupSequence.h"
#include "directory/NWHelper2.h"
#include "platform/commit/CommitTesting.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/DateUtils.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace browser {
namespace {

class WindowCommandsTest : public testing::PanesTreeTest {
protected:
    void SetUp() override {
        PanesTreeTest::SetUp();
        icons_.locator = 1;
        icons_.dnsServer = 2;
        icons_.dhcpServer = 3;
        icons_.group = 4;
        icons_.subnetPool = 5;
        icons_.dnsZone = 6;
        icons_.subnet = 7;
    }

    void FillModel(RecordListModel& model, const std::vector<std::string>& cns) {
        for (const std::string& cn : cns)
            model.appendRow(Row(cn));
    }

    bool Exists(const std::string& cn) {
        return directory::ProbeObject(context_, cn + "." + testing::kSubnet) == 0;
    }

    static QTreeWidgetItem* AddObjectRow(QTreeWidget* list, const QString& caption, const QString& context,
                                         int image) {
        auto* item = new QTreeWidgetItem(list, {caption, context});
        item->setData(0, kObjectDataRole, 0);
        item->setData(0, kObjectImageRole, image);
        return item;
    }

    ScriptedServices services_;
    ClassIconNumbers icons_;
    RetryDelay noWait_ = [](int) {};
};

TEST_F(WindowCommandsTest, DeletesSelectedRowsBottomUpAndPersists) {
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5", "10_0_0_6", "10_0_0_7", "10_0_0_8"});
    services_.queueButton(QMessageBox::Ok);
    RunDhcpDeletion(services_, model, {3, 0, 2}, trees_);
    EXPECT_EQ(services_.messages(), (QStringList{kDeleteQuestion, kRestartServiceMessage}));
    ASSERT_EQ(model.count(), 1);
    EXPECT_EQ(model.row(0).caption, "10.0.0.6");
    Restart();
    EXPECT_FALSE(Exists("10_0_0_5"));
    EXPECT_TRUE(Exists("10_0_0_6"));
    EXPECT_FALSE(Exists("10_0_0_7"));
    EXPECT_FALSE(Exists("10_0_0_8"));
}

// The deleted records leave the tree's subnet cache, so that a reload from it does not show them.
TEST_F(WindowCommandsTest, DeletedRecordsLeaveTheCacheBeforeItIsReloaded) {
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5", "10_0_0_6", "10_0_0_7"});
    test_support::TempFolder data;
    std::filesystem::create_directories(CacheFolder(data.Directory(), "ACME"));
    const std::string cachePath = CacheFilePath(data.Directory(), "ACME", kSubnetCacheFile);
    {
        ini::IniFile file(cachePath);
        RecordCacheSections sections(file);
        sections.BeginSection(testing::kSubnet);
        sections.WriteRows(testing::kSubnet, model.rows());
    }
    nwclient::injectFault(nwclient::Operation::RemoveObject, 2, -632); // the second removal fails
    services_.queueButton(QMessageBox::Ok);
    RunDhcpDeletion(services_, model, {0, 2}, trees_, data.Directory());
    ASSERT_EQ(services_.messages().size(), 2);
    EXPECT_TRUE(services_.messages().at(1).contains(QStringLiteral("-632")));

    CachedRowOrigin origin;
    origin.now = rtl::Now();
    std::vector<std::string> cached;
    for (const RecordRow& row : ReadSubnetCacheRows(ini::IniFile(cachePath), testing::kSubnet, origin))
        cached.push_back(row.caption);
    EXPECT_EQ(cached, (std::vector<std::string>{"10.0.0.5", "10.0.0.6"})); // the removed last row is gone

    services_.queueButton(QMessageBox::Ok);
    RunDhcpDeletion(services_, model, {0}, trees_, data.Directory());
    EXPECT_EQ(ReadSubnetCacheRows(ini::IniFile(cachePath), testing::kSubnet, origin).size(), 1u);
    EXPECT_EQ(services_.messages().last(), QString::fromLatin1(kRestartServiceMessage));
}

// A cache that cannot be written after the objects are gone: the deletion stands (rows and objects gone,
// the restart note shown), the user is told why the cache still holds the records, and the cache file
// keeps its old text with nothing left beside it.
TEST_F(WindowCommandsTest, AFailedCacheWriteAfterADeletionIsShownAndTheDeletionStands) {
    const struct {
        const char* name;
        int mode;                                               // of the cache file
        int fault;                                              // errno of the write fault, 0 for none
        std::function<std::string(const std::string&)> message; // of the cache's path
    } cases[] = {
        {"a full disk", 0644, ENOSPC,
         [](const std::string& path) { return "Cannot write file " + path + ". No space left on device"; }},
        {"a write-protected cache", 0444, 0,
         [](const std::string& path) {
             return "Cannot create file " + path + ". Existing file " + path + " is not writable";
         }},
    };
    int next = 5;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        services_.clearCalls();
        RecordListModel model({"IP-address"});
        const std::string kept = "10_0_0_" + std::to_string(next++),
                          gone = "10_0_0_" + std::to_string(next++);
        FillModel(model, {kept, gone});
        test_support::TempFolder data;
        const std::string folder = CacheFolder(data.Directory(), "ACME");
        std::filesystem::create_directories(folder);
        const std::string cachePath = CacheFilePath(data.Directory(), "ACME", kSubnetCacheFile);
        {
            ini::IniFile file(cachePath);
            RecordCacheSections sections(file);
            sections.BeginSection(testing::kSubnet);
            sections.WriteRows(testing::kSubnet, model.rows());
        }
        const std::string old = test_support::ReadFile(cachePath);
        ::chmod(cachePath.c_str(), mode_t(c.mode));
        services_.queueButton(QMessageBox::Ok);
        {
            std::optional<commit::testing::ScopedWriteFault> fault;
            if (c.fault != 0)
                fault.emplace(0, c.fault);
            RunDhcpDeletion(services_, model, {1}, trees_, data.Directory());
        }
        const QStringList messages = services_.messages();
        ASSERT_EQ(messages.size(), 3) << messages.join('|').toStdString();
        EXPECT_EQ(messages.at(1), QString::fromLatin1(kRestartServiceMessage));
        EXPECT_EQ(messages.at(2).toStdString(), c.message(cachePath));
        ASSERT_EQ(model.count(), 1);
        EXPECT_EQ(model.row(0).caption, "10.0.0." + kept.substr(7));
        EXPECT_TRUE(Exists(kept));
        EXPECT_FALSE(Exists(gone));
        EXPECT_EQ(test_support::ReadFile(cachePath), old);
        EXPECT_EQ(test_support::EntryNames(folder), std::vector<std::string>{kSubnetCacheFile});
        ::chmod(cachePath.c_str(), 0644);
    }
}

TEST_F(WindowCommandsTest, DeletionNeedsAnOkAndSelectedRows) {
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5"});
    RunDhcpDeletion(services_, model, {}, trees_);
    EXPECT_TRUE(services_.calls().empty());
    services_.queueButton(QMessageBox::Cancel);
    RunDhcpDeletion(services_, model, {0}, trees_);
    EXPECT_EQ(model.count(), 1);
    EXPECT_TRUE(Exists("10_0_0_5"));
}

TEST_F(WindowCommandsTest, RefusedRowStopsTheDeletionBeforeAnythingIsRemoved) {
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5", "10_0_0_6"});
    RecordRow stranger = Row("10_0_0_7");
    stranger.tree = "CLOSED";
    model.appendRow(stranger);
    const DhcpDeletion outcome = DeleteDhcpRows(model, {0, 1, 2}, trees_);
    EXPECT_FALSE(outcome.completed);
    EXPECT_NE(outcome.message.find("not open"), std::string::npos);
    EXPECT_EQ(model.count(), 3);
    EXPECT_TRUE(Exists("10_0_0_5"));
    EXPECT_TRUE(Exists("10_0_0_6"));
}

TEST_F(WindowCommandsTest, FailedRemovalStopsAndKeepsWhatWasDone) {
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5", "10_0_0_6", "10_0_0_7"});
    nwclient::injectFault(nwclient::Operation::RemoveObject, 2, -632);
    services_.queueButton(QMessageBox::Ok);
    RunDhcpDeletion(services_, model, {0, 1, 2}, trees_);
    ASSERT_EQ(services_.messages().size(), 2);
    EXPECT_TRUE(services_.messages().at(1).contains(QStringLiteral("-632")));
    ASSERT_EQ(model.count(), 2); // the last row went first
    EXPECT_EQ(model.row(1).caption, "10.0.0.6");
    EXPECT_FALSE(Exists("10_0_0_7"));
    EXPECT_TRUE(Exists("10_0_0_6"));
}

TEST_F(WindowCommandsTest, EditorDialogSavesTheUsersChanges) {
    TDDEdit dialog(services_);
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5"});
    services_.queueDialog([](QDialog& form) {
        auto& edit = static_cast<TDDEdit&>(form);
        EXPECT_EQ(edit.windowTitle(), QStringLiteral("Edit record"));
        EXPECT_EQ(edit.okbut->text(), QStringLiteral("Save"));
        EXPECT_EQ(edit.Edit1->text(), QStringLiteral("10.0.0.5"));
        EXPECT_FALSE(edit.Edit4->isEnabled()); // a dynamic record
        edit.ComboBox1->setCurrentIndex(edit.ComboBox1->findText(QStringLiteral("Manual (static)")));
        edit.ComboBox1Change();
        EXPECT_TRUE(edit.Edit4->isEnabled());
        edit.Edit4->setText(QStringLiteral("renamed"));
        edit.Edit4->setModified(true);
        edit.Memo1->setPlainText(QStringLiteral("moved"));
        edit.Memo1->document()->setModified(true);
        edit.RadioButton1->setChecked(true);
        edit.RadioButton1Click();
        edit.okbut->click();
    });
    EditDhcpRecord(dialog, model, 0, trees_, noWait_);
    EXPECT_EQ(services_.messages(), QStringList{QStringLiteral("Check for all attributes")});
    EXPECT_EQ(model.row(0).subItems[0], "renamed");
    EXPECT_EQ(model.row(0).subItems[1], "Manual");
    EXPECT_EQ(model.row(0).subItems[4], "");
    EXPECT_EQ(model.row(0).subItems[5], "moved");
    Restart();
    const std::string name = "10_0_0_5." + std::string(testing::kSubnet);
    EXPECT_EQ(directory::ReadAttributeText(context_, name, "DNIP:Host Name", false), "renamed");
    EXPECT_EQ(directory::ReadAttributeText(context_, name, "DNIP:Comment", false), "moved");
    EXPECT_EQ(directory::ReadAttributeText(context_, name, "DNIP:Lease Expiration", false), "");
}

TEST_F(WindowCommandsTest, AnEditorSaveThatFailsPartWayLeavesTheRowAsTheDirectoryHoldsIt) {
    TDDEdit dialog(services_);
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_5"});
    services_.queueDialog([](QDialog& form) {
        auto& edit = static_cast<TDDEdit&>(form);
        edit.ComboBox1->setCurrentIndex(edit.ComboBox1->findText(QStringLiteral("Manual (static)")));
        edit.ComboBox1Change();
        edit.Edit4->setText(QStringLiteral("renamed"));
        edit.Edit4->setModified(true);
        edit.okbut->click();
    });
    nwclient::injectFault(nwclient::Operation::ModifyObject, 2, -632); // the host name's write
    EditDhcpRecord(dialog, model, 0, trees_, noWait_);
    ASSERT_EQ(services_.messages().size(), 2);
    EXPECT_TRUE(services_.messages().at(1).contains(QStringLiteral("-632")));
    EXPECT_EQ(model.row(0).subItems[1], "Manual"); // written before the failure
    EXPECT_EQ(model.row(0).subItems[0], "pc5");    // not written
}

TEST_F(WindowCommandsTest, CancelledEditorWritesNothing) {
    TDDEdit dialog(services_);
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_7"});
    const RecordRow before = model.row(0);
    nwclient::resetCallCounts();
    EditDhcpRecord(dialog, model, 0, trees_, noWait_);
    EXPECT_EQ(nwclient::callCount(nwclient::Operation::ModifyObject), 0u);
    EXPECT_EQ(model.row(0), before);
}

// What the editor's reads could not take is shown before the editor opens.
class WindowCommandsLargeValueTest : public WindowCommandsTest {
protected:
    std::string Ldif() const override { return testing::PanesLdifWithLargeValues(); }
};

TEST_F(WindowCommandsLargeValueTest, EditorShowsTheReadWarningsBeforeItOpens) {
    TDDEdit dialog(services_);
    RecordListModel model({"IP-address"});
    FillModel(model, {"10_0_0_11", "10_0_0_5"});
    EditDhcpRecord(dialog, model, 0, trees_, noWait_);
    const std::string object = "10_0_0_11." + std::string(testing::kSubnet);
    ASSERT_EQ(services_.calls().size(), 2u);
    EXPECT_EQ(services_.calls()[0].kind, ScriptedServices::Kind::Message);
    EXPECT_EQ(services_.calls()[0].text.toStdString(),
              OctetWarningText(directory::kOctetStringOverflowMessage, object));
    EXPECT_EQ(services_.calls()[1].kind, ScriptedServices::Kind::Modal);

    services_.clearCalls();
    EditDhcpRecord(dialog, model, 1, trees_, noWait_);
    EXPECT_TRUE(services_.messages().isEmpty());
}

TEST_F(WindowCommandsTest, HardwareTypeOrMacChangeRebuildsTheIdentifier) {
    TDDEdit dialog(services_);
    dialog.ComboBox2->setCurrentIndex(kAnyHardwareIndex);
    dialog.Edit3->setText(QStringLiteral("0A:0B:0C:0D:0E:0F"));
    dialog.Edit3OldChange();
    EXPECT_EQ(dialog.edit2->text(), QStringLiteral("FF:0A:0B:0C:0D:0E:0F"));
    EXPECT_TRUE(dialog.edit2->isModified());
    EXPECT_EQ(Tag(dialog.ComboBox2), 1);
}

TEST_F(WindowCommandsTest, ObjectChoiceAndAdditionalParameters) {
    TDDEdit dialog(services_);
    dialog.recordContext = context_;
    dialog.Edit6->setText(QStringLiteral("old.ACME"));
    dialog.Edit6->setModified(false);
    std::string presetSeen;
    dialog.ChooseObject = [&](directory::NWDSContextHandle context,
                              const std::string& preset) -> std::optional<std::string> {
        EXPECT_EQ(context, context_);
        presetSeen = preset;
        return std::string("admin.ACME");
    };
    dialog.Button2Click();
    EXPECT_EQ(presetSeen, "old.ACME");
    EXPECT_EQ(dialog.Edit6->text(), QStringLiteral("admin.ACME"));
    EXPECT_TRUE(dialog.Edit6->isModified());

    dialog.ChooseObject = [](directory::NWDSContextHandle, const std::string&) { return std::nullopt; };
    dialog.Edit6->setModified(false);
    dialog.Button2Click();
    EXPECT_FALSE(dialog.Edit6->isModified());

    dialog.CheckBox2->setChecked(true);
    dialog.CheckBox2Click();
    EXPECT_EQ(services_.messages(), QStringList{QStringLiteral("Sorry this option isn't implemented yet")});
}

TEST_F(WindowCommandsTest, KeyFilters) {
    EXPECT_TRUE(AcceptHexKey(Qt::Key_A, QStringLiteral("a")));
    EXPECT_TRUE(AcceptHexKey(Qt::Key_F, QStringLiteral("F")));
    EXPECT_TRUE(AcceptHexKey(Qt::Key_9, QStringLiteral("9")));
    EXPECT_FALSE(AcceptHexKey(Qt::Key_G, QStringLiteral("g")));
    EXPECT_FALSE(AcceptHexKey(Qt::Key_Backspace, QStringLiteral("\b")));
    EXPECT_TRUE(AcceptHexKey(Qt::Key_Left, QString()));
    EXPECT_TRUE(AcceptHostKey(Qt::Key_Minus, QStringLiteral("-")));
    EXPECT_TRUE(AcceptHostKey(Qt::Key_Underscore, QStringLiteral("_")));
    EXPECT_TRUE(AcceptHostKey(Qt::Key_Backspace, QStringLiteral("\b")));
    EXPECT_FALSE(AcceptHostKey(Qt::Key_Period, QStringLiteral(".")));
    EXPECT_FALSE(AcceptHostKey(Qt::Key_Space, QStringLiteral(" ")));

    TDDEdit dialog(services_);
    dialog.Edit4->setText(QString());
    for (const QString& key : {QStringLiteral("a"), QStringLiteral("."), QStringLiteral("-")}) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, key);
        QCoreApplication::sendEvent(dialog.Edit4, &press);
    }
    EXPECT_EQ(dialog.Edit4->text(), QStringLiteral("a-"));
}

class MainWindowPanesTest : public WindowCommandsTest {
protected:
    void SetUp() override {
        WindowCommandsTest::SetUp();
        window_ = std::make_unique<TForm1>(services_, forms_);
        window_->SetPaneSources(&trees_, &icons_);
    }

    Forms forms_;
    std::unique_ptr<TForm1> window_;
};

TEST_F(MainWindowPanesTest, SelectingObjectsFillsTheirPanes) {
    QTreeWidgetItem* zone = AddObjectRow(window_->zonelist, "example_com", "DNS.ACME", icons_.dnsZone);
    zone->setSelected(true);
    ASSERT_GT(window_->zonelist2->topLevelItemCount(), 10);
    EXPECT_EQ(window_->zonelist2->topLevelItem(2)->text(1), QStringLiteral("IP"));
    zone->setSelected(false);
    EXPECT_EQ(window_->zonelist2->topLevelItemCount(), 0);

    QTreeWidgetItem* subnet = AddObjectRow(window_->netslist, "10_0_0_0", "DHCP.ACME", icons_.subnet);
    subnet->setSelected(true);
    const int subnetRows = window_->netslist2->topLevelItemCount();
    ASSERT_GT(subnetRows, 8);
    QTreeWidgetItem* tree = AddObjectRow(window_->netslist, "ACME", "", -1);
    tree->setSelected(true); // not a subnet: the pane stays
    EXPECT_EQ(window_->netslist2->topLevelItemCount(), subnetRows);

    QTreeWidgetItem* locator = AddObjectRow(window_->lv1, "Locator", "DNS.ACME", icons_.locator);
    locator->setSelected(true);
    ASSERT_GT(window_->lv1a->topLevelItemCount(), 0);
    QTreeWidgetItem* heading = window_->lv1a->topLevelItem(0);
    EXPECT_EQ(heading->text(0), QStringLiteral("Config parameters"));
    EXPECT_TRUE(heading->font(0).bold());
    EXPECT_FALSE(window_->lv1a->topLevelItem(1)->font(0).bold());
}

TEST_F(MainWindowPanesTest, ObjectOfAClosedTreeLeavesThePanesEmpty) {
    QTreeWidgetItem* zone = AddObjectRow(window_->zonelist, "example_com", "DNS.ACME", icons_.dnsZone);
    zone->setData(0, kObjectDataRole, 7);
    zone->setSelected(true);
    EXPECT_EQ(window_->zonelist2->topLevelItemCount(), 0);
    EXPECT_TRUE(services_.calls().empty());
}

TEST_F(MainWindowPanesTest, ServiceCommandsOnlyForServers) {
    QTreeWidgetItem* server = AddObjectRow(window_->lv1, "DNS1", "DNS.ACME", icons_.dnsServer);
    QTreeWidgetItem* group = AddObjectRow(window_->lv1, "DNSDHCP-GROUP", "DNS.ACME", icons_.group);
    window_->lv1->setCurrentItem(server);
    window_->PopupMenu0Popup();
    EXPECT_TRUE(window_->StartService->isEnabled());
    EXPECT_TRUE(window_->StopService->isEnabled());
    window_->lv1->setCurrentItem(group);
    window_->PopupMenu0Popup();
    EXPECT_FALSE(window_->StartService->isEnabled());
    EXPECT_FALSE(window_->StopService->isEnabled());
}

TEST_F(MainWindowPanesTest, RecordCommandsDispatchByPage) {
    window_->SetActivePage(TForm1::PageDNS);
    window_->Edit1Click();
    window_->Del1Click();
    window_->New1Click();
    window_->SetActivePage(TForm1::PageRevDNS);
    window_->Edit1Click();
    EXPECT_EQ(services_.messages(), (QStringList{"DNS, edit still under construction", "DNS, delete",
                                                 "DNS, new", "REV-DNS, edit still under construction"}));
    EXPECT_EQ(window_->qbox->count(), 14);
    EXPECT_EQ(window_->qbox->itemData(13).toInt(), 16);
}

TEST_F(MainWindowPanesTest, DeleteButtonWorksOnTheDhcpPage) {
    FillModel(*window_->LV2Model, {"10_0_0_5", "10_0_0_6"});
    window_->SetActivePage(TForm1::PageDHCP);
    window_->LV2->selectionModel()->select(window_->LV2Model->index(1, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    services_.queueButton(QMessageBox::Ok);
    window_->DelDHCPRecsClick();
    ASSERT_EQ(window_->LV2Model->count(), 1);
    EXPECT_EQ(window_->LV2Model->row(0).caption, "10.0.0.5");
    EXPECT_FALSE(Exists("10_0_0_6"));

    // Two selected rows and Edit: the one-record message, then the first row's editor.
    FillModel(*window_->LV2Model, {"10_0_0_7"});
    window_->LV2->selectAll();
    services_.clearCalls();
    TDDEdit dialog(services_);
    forms_.DDEdit = &dialog;
    window_->Edit1Click();
    ASSERT_GE(services_.calls().size(), 2u);
    EXPECT_EQ(services_.messages().front(), QString::fromLatin1(kOneRecordMessage));
    EXPECT_EQ(services_.modalForms(), QStringList{QStringLiteral("TDDEdit")});
    forms_.DDEdit = nullptr;
}

} // namespace
} // namespace browser
