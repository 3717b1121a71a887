// The main window on the bundled demo directory: every zone, subnet, server, pool, group and
// locator of the trees shows its attribute pane without an error message; a DHCP record edited
// and another deleted are still so after the client was ended and started again on its store; the
// lists open with readable columns; and closing the window stops a read on the window's thread.
#include "browser/collection/TreeObj.h"
#include "browser/dhcp/DhcpRecordDeletion.h"
#include "browser/dhcp/DhcpRecordEditor.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/CollectionController.h"
#include "browser/forms/ConnectedTrees.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/Program.h"
#include "browser/forms/TreesUnit.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/startup/DirectoryStartup.h"
#include "browser/startup/StartupEnvironment.h"
#include "browser/startup/StartupSequence.h"
#include "directory/NWHelper.h"
#include "directory/NWHelper2.h"
#include "tests/support/SourceTree.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#ifdef TOLVEX_LIBRARY

namespace {

using namespace browser;
namespace fs = std::filesystem;

bool WaitUntil(const std::function<bool()>& done, int ms = 60000) {
    return test_support::WaitUntil(done, ms);
}

// The pane's rows as "caption=value" lines, for failure messages.
std::string PaneText(const QTreeWidget* pane) {
    std::string text;
    for (int row = 0; row < pane->topLevelItemCount(); ++row)
        text +=
            (pane->topLevelItem(row)->text(0) + "=" + pane->topLevelItem(row)->text(1) + "\n").toStdString();
    return text;
}

int HeadingRows(const QTreeWidget* pane) {
    int count = 0;
    for (int row = 0; row < pane->topLevelItemCount(); ++row)
        if (pane->topLevelItem(row)->data(0, kPaneHeadingRole).toBool())
            ++count;
    return count;
}

class DemoPanes : public ::testing::Test {
protected:
    DemoPanes() {
        fs::copy(test_support::SourceFolder() / "data" / "demo", demo.Path(), fs::copy_options::recursive);
        const fs::path library(TOLVEX_LIBRARY);
        fs::copy_file(library, program.Path() / library.filename());
        // Both trees have their start context, so that the start-up has nothing to tell.
        program.Write("Cormelian.ini", "[TREES]\r\nACME=[root]\r\nGLOBEX=[root]\r\n");
    }
    void TearDown() override { programBlock.reset(); }

    // Answers the next tree choice with the tree alone checked.
    void QueueChoice(const QString& tree) {
        services.queueDialog([tree](QDialog& dialog) {
            auto& choice = dynamic_cast<TDNSTrees&>(dialog);
            for (int row = 0; row < choice.treesList->count(); ++row) {
                QListWidgetItem* item = choice.treesList->item(row);
                item->setCheckState(item->text() == tree ? Qt::Checked : Qt::Unchecked);
            }
            choice.okButton->click();
        });
    }
    // Starts the program with the tree chosen in the start-up's tree choice.
    void Start(const QString& tree) {
        QueueChoice(tree);
        programBlock = std::make_unique<Program>(*qApp, services, &environment);
        ASSERT_FALSE(window().StartupRefused()) << services.messages().join("|").toStdString();
        window().show();
        window().Timer1Timer();
        ASSERT_EQ(startup().SelectedTrees(), (std::vector<std::string>{tree.toStdString()}));
        EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("|").toStdString();
    }
    // Shows the other tree through the tree command.
    void SwitchTo(const QString& tree) {
        QueueChoice(tree);
        window().SelectTrees->click();
        ASSERT_EQ(startup().SelectedTrees(), (std::vector<std::string>{tree.toStdString()}));
    }
    void End() { programBlock.reset(); }

    TForm1& window() const { return *programBlock->forms().Form1; }
    StartupSequence& startup() const { return *window().startup(); }
    directory::NWDSContextHandle Context(const std::string& tree) const {
        const treeobj* found = startup().Trees().Find(tree);
        return found != nullptr ? found->context : 0;
    }

    // A pane with its first row labelled, at least one further row and a value; the subnet and
    // locator panes have heading rows besides (address ranges, option values).
    static void ExpectPaneFilled(const QTreeWidget* pane, bool withHeading, const std::string& what) {
        ASSERT_GE(pane->topLevelItemCount(), 2) << what << "\n" << PaneText(pane);
        EXPECT_FALSE(pane->topLevelItem(0)->text(0).isEmpty()) << what << "\n" << PaneText(pane);
        bool value = false;
        for (int row = 0; row < pane->topLevelItemCount(); ++row)
            value = value || !pane->topLevelItem(row)->text(1).isEmpty();
        EXPECT_TRUE(value) << what << "\n" << PaneText(pane);
        if (withHeading) {
            EXPECT_GE(HeadingRows(pane), 1) << what << "\n" << PaneText(pane);
        }
    }

    // Selects every object row of the list (tree and separator rows have no pane), calls the
    // handler and checks that the pane was filled and that no message was shown. Counts the rows
    // shown by class icon.
    void CheckEveryRow(QTreeWidget* list, QTreeWidget* pane, void (TForm1::*handler)(),
                       const std::set<int>& paneIcons, const std::set<int>& headingIcons,
                       const char* listName) {
        for (QTreeWidgetItemIterator it(list); *it != nullptr; ++it) {
            QTreeWidgetItem* item = *it;
            const int image = item->data(0, kObjectImageRole).toInt();
            const std::string name = (item->text(0) + "." + item->text(1)).toStdString();
            if (paneIcons.count(image) == 0) {
                // Only the tree's own row and the separator ending its rows have no pane.
                EXPECT_TRUE(image == -1 || image == startup().IconNumbers().tree) << listName << " " << name;
                EXPECT_TRUE(item->text(1).isEmpty()) << listName << " " << name;
                continue;
            }
            list->clearSelection();
            list->setCurrentItem(item);
            item->setSelected(true);
            pane->clear();
            services.clearCalls();
            (window().*handler)();
            ++shown[image];
            ExpectPaneFilled(pane, headingIcons.count(image) > 0, std::string(listName) + " " + name);
            EXPECT_TRUE(services.messages().isEmpty())
                << listName << " " << name << ": " << services.messages().join("|").toStdString();
        }
    }
    void CheckAllPanes() {
        ASSERT_GT(window().zonelist->topLevelItemCount(), 1);
        ASSERT_GT(window().netslist->topLevelItemCount(), 1);
        ASSERT_GT(window().lv1->topLevelItemCount(), 1);
        const ClassIconNumbers& icons = startup().IconNumbers();
        CheckEveryRow(window().zonelist, window().zonelist2, &TForm1::zonelistSelectItem, {icons.dnsZone}, {},
                      "zonelist");
        CheckEveryRow(window().netslist, window().netslist2, &TForm1::netslistSelectItem, {icons.subnet},
                      {icons.subnet}, "netslist");
        CheckEveryRow(window().lv1, window().lv1a, &TForm1::lv1SelectItem,
                      {icons.locator, icons.dnsServer, icons.dhcpServer, icons.group, icons.subnetPool},
                      {icons.locator}, "lv1");
    }
    // Every object of the two demo trees was shown: 3 + 5 zones, 2 + 3 subnets, and one locator,
    // DNS server, DHCP server, group and subnet pool each.
    void ExpectEveryObjectShown() {
        const ClassIconNumbers& icons = startup().IconNumbers();
        EXPECT_EQ(shown[icons.dnsZone], 8);
        EXPECT_EQ(shown[icons.subnet], 5);
        for (int icon : {icons.locator, icons.dnsServer, icons.dhcpServer, icons.group, icons.subnetPool})
            EXPECT_EQ(shown[icon], 2) << "icon " << icon;
    }

    // The index of the DHCP list's row of the object, -1 for none.
    int DhcpRow(const std::string& objectName) {
        const RecordListModel& model = *window().LV2Model;
        for (int row = 0; row < model.count(); ++row)
            if (model.row(row).ObjectName() == objectName)
                return row;
        return -1;
    }
    void CollectDhcp() {
        // A start from the cache leaves subnets without cached records unchecked: check them all.
        window().AllBut->setEnabled(true);
        window().SetActivePage(TForm1::PageSubnets);
        window().AllButClick();
        window().DHCPSearch->click();
        ASSERT_TRUE(WaitUntil([&] {
            return !window().Collection().ScanAlive(CollectionKind::Dhcp) &&
                   window().Collection().ProgressCount() == 0;
        }));
        ASSERT_GT(window().LV2Model->count(), 0);
    }

    test_support::TempFolder demo{"demo-panes"};
    test_support::TempFolder program{"demo-panes-program"};
    LayerTreeDirectory directory{(demo.Path() / "client.ini").string()};
    TolvexHelperLibrary helper;
    LayerTimeSettings time;
    ScriptedServices services;
    StartupEnvironment environment{directory, helper, time, program.Directory(), {}};
    std::unique_ptr<Program> programBlock;
    std::map<int, int> shown; // class icon -> rows shown
};

TEST_F(DemoPanes, EveryObjectOfBothTreesShowsItsPane) {
    Start(QStringLiteral("ACME"));
    CheckAllPanes();
    // The subnet's boot server is shown as the address stored in its boot parameter.
    const QList<QTreeWidgetItem*> subnet =
        window().netslist->findItems(QStringLiteral("10_16_0_0"), Qt::MatchExactly);
    ASSERT_EQ(subnet.size(), 1);
    window().netslist->setCurrentItem(subnet.front());
    window().netslistSelectItem();
    EXPECT_FALSE(window().netslist2->findItems(QStringLiteral("10.16.0.1"), Qt::MatchExactly, 1).isEmpty())
        << PaneText(window().netslist2);
    SwitchTo(QStringLiteral("GLOBEX"));
    CheckAllPanes();
    ExpectEveryObjectShown();
}

TEST_F(DemoPanes, AnEditedAndADeletedRecordSurviveARestartOfTheClient) {
    const std::string edited = "10_16_0_4.10_16_0_0.DHCP.ACME";  // manual
    const std::string deleted = "10_16_0_3.10_16_0_0.DHCP.ACME"; // dynamic
    Start(QStringLiteral("ACME"));
    CollectDhcp();
    const int editedRow = DhcpRow(edited);
    ASSERT_GE(editedRow, 0);
    ASSERT_GE(DhcpRow(deleted), 0);

    RecordRow row = window().LV2Model->row(editedRow);
    std::string refusal;
    const std::optional<DhcpRecordLocation> location = LocateDhcpRow(row, startup().Trees(), refusal);
    ASSERT_TRUE(location.has_value()) << refusal;
    const DhcpRecordFields fields = LoadDhcpRecord(*location, row, [](int) {});
    EXPECT_EQ(fields.address, "10.16.0.4");
    EXPECT_EQ(fields.host, "ws2");
    ASSERT_EQ(fields.assignmentType, kManualType);
    DhcpRecordEdits edits;
    edits.typeText = fields.typeChoices.front();
    edits.mac = fields.mac;
    edits.hardwareIndex = fields.hardwareIndex;
    edits.identifier = fields.identifier;
    edits.host = "renamed-ws2";
    edits.hostModified = true;
    edits.permanent = !fields.timed;
    edits.leaseEnd = fields.leaseEnd;
    edits.objectReference = fields.objectReference;
    edits.comment = "moved to floor 9";
    edits.commentModified = true;
    const DhcpSaveResult saved = SaveDhcpRecord(*location, fields.assignmentType, fields, edits, row);
    ASSERT_TRUE(saved.saved) << saved.message;
    EXPECT_EQ(row.subItems[0], "renamed-ws2");
    EXPECT_EQ(row.subItems[5], "moved to floor 9"); // the row shows the comment the directory holds
    window().LV2Model->setRow(editedRow, row);

    const DhcpDeletion deletion = DeleteDhcpRows(*window().LV2Model, {DhcpRow(deleted)}, startup().Trees());
    EXPECT_TRUE(deletion.completed) << deletion.message;
    EXPECT_EQ(deletion.removed, 1);
    EXPECT_EQ(DhcpRow(deleted), -1);

    End();
    services.clearCalls();
    Start(QStringLiteral("ACME"));
    const directory::NWDSContextHandle context = Context("ACME");
    EXPECT_EQ(directory::ReadAttributeText(context, edited, "DNIP:Host Name", false), "renamed-ws2");
    EXPECT_EQ(directory::ReadAttributeText(context, edited, "DNIP:Comment", false), "moved to floor 9");
    EXPECT_NE(directory::ProbeObject(context, deleted), 0);
    EXPECT_EQ(directory::ProbeObject(context, "10_16_0_2.10_16_0_0.DHCP.ACME"), 0);
    // A new collection shows the same.
    CollectDhcp();
    EXPECT_EQ(DhcpRow(deleted), -1);
    const int again = DhcpRow(edited);
    ASSERT_GE(again, 0);
    EXPECT_EQ(window().LV2Model->row(again).subItems[0], "renamed-ws2");
}

TEST_F(DemoPanes, ClosingTheWindowDuringADirectReadStopsTheReadAsEscDoes) {
    program.Write("Cormelian.ini", "[TREES]\r\nACME=[root]\r\nGLOBEX=[root]\r\n[SYSTEM]\r\nThreads=0\r\n");
    Start(QStringLiteral("ACME"));
    ASSERT_FALSE(startup().Settings().threads);
    CollectDhcp(); // the whole read, inside the click
    const int all = window().LV2Model->count();

    // The user closes the window as soon as the read lets the window's events run.
    bool closedDuringRead = false;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!window().Collection().DirectRunning(CollectionKind::Dhcp))
            return;
        closer.stop();
        closedDuringRead = true;
        window().close();
    });
    closer.start();
    window().DHCPSearch->click();
    closer.stop();
    EXPECT_TRUE(closedDuringRead);
    EXPECT_FALSE(window().isVisible());
    EXPECT_FALSE(window().Collection().DirectRunning(CollectionKind::Dhcp));
    EXPECT_LT(window().LV2Model->count(), all);
    EXPECT_EQ(window().Collection().ProgressCount(), 0);
    EXPECT_TRUE(directory::ProtectFlag.ReadStopRequested());
}

TEST_F(DemoPanes, ObjectListsAndTheDhcpListOpenWithReadableColumns) {
    Start(QStringLiteral("ACME"));
    CollectDhcp();
    WaitUntil([] { return false; }, 300); // the columns are fitted once the window's events run
    const QTreeWidget* subnets = window().netslist;
    for (int row = 0; row < subnets->topLevelItemCount(); ++row) {
        for (int column = 0; column < 2; ++column) {
            const QString text = subnets->topLevelItem(row)->text(column);
            EXPECT_GT(subnets->columnWidth(column), subnets->fontMetrics().horizontalAdvance(text))
                << text.toStdString();
        }
    }
    const QTreeView* dhcp = window().LV2;
    const RecordListModel& model = *window().LV2Model;
    for (int row = 0; row < model.count(); ++row) {
        for (int column = 0; column < 6; ++column) {
            const QString text = model.data(model.index(row, column)).toString();
            EXPECT_GT(dhcp->columnWidth(column), dhcp->fontMetrics().horizontalAdvance(text))
                << text.toStdString();
        }
    }
}

} // namespace

#endif
