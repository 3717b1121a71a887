#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>

using browser::TForm1;

namespace {

class MainWindow : public ::testing::Test {
protected:
    browser::ScriptedServices services;
    browser::Forms forms;
    std::unique_ptr<TForm1> window = std::make_unique<TForm1>(services, forms);

    template <typename T> T* Find(const char* name) const {
        return window->findChild<T*>(QString::fromLatin1(name));
    }

    // Every control the window has under names, with the class it must be.
    void ExpectNamed(const QStringList& names, const char* className) const {
        for (const QString& name : names) {
            QObject* object = window->findChild<QObject*>(name);
            ASSERT_NE(object, nullptr) << name.toStdString();
            EXPECT_TRUE(object->inherits(className))
                << name.toStdString() << " is a " << object->metaObject()->className();
            EXPECT_EQ(window->findChildren<QObject*>(name).size(), 1)
                << name.toStdString() << " is not unique";
        }
    }

    QStringList Headers(const QTreeView* view) const {
        QStringList headers;
        for (int column = 0; column < view->model()->columnCount(); ++column)
            headers << view->model()->headerData(column, Qt::Horizontal).toString();
        return headers;
    }
    QStringList Headers(const QTreeWidget* list) const {
        QStringList headers;
        for (int column = 0; column < list->columnCount(); ++column)
            headers << list->headerItem()->text(column);
        return headers;
    }
};

} // namespace

TEST_F(MainWindow, EveryNamedControlExistsOnceWithItsKind) {
    EXPECT_EQ(window->objectName(), "Form1");
    ExpectNamed({"PC"}, "QTabWidget");
    ExpectNamed({"DNSPage", "RevDNSPage", "DHCPPage", "ZonesPage", "SubnetsPage", "MiscPage", "CheckPage",
                 "LookupPage", "ToolBar1"},
                "QWidget");
    ExpectNamed({"LV", "LV2", "LV3"}, "QTreeView");
    ExpectNamed({"LVModel", "LV2Model", "LV3Model"}, "browser::RecordListModel");
    ExpectNamed({"zonelist", "zonelist2", "netslist", "netslist2", "lv1", "lv1a"}, "QTreeWidget");
    ExpectNamed({"CheckTrees"}, "QListWidget");
    ExpectNamed({"CheckBox19", "CheckBox20", "CheckBox21", "CheckBox22", "CheckBox7"}, "QCheckBox");
    ExpectNamed({"BitBtn1", "Button2"}, "QPushButton");
    ExpectNamed({"RE1", "RE2"}, "QTextEdit");
    ExpectNamed({"cb2", "cb3", "qbox"}, "QComboBox");
    ExpectNamed({"ToolButton2", "SelectTrees", "SettingsBut", "IniBut", "DNSSearch", "DHCPSearch",
                 "MiscSearch", "StopBut", "ToolButton4", "PrintBut", "MakeHosts", "SaveBut", "AllBut",
                 "NoneBut", "DelDHCPRecs", "AboutBut", "ToolButton8"},
                "QToolButton");
    ExpectNamed({"Panel1", "Panel2", "Panel3"}, "QFrame");
    ExpectNamed({"pbar1a", "pbar", "pbar2a", "pbar2"}, "QProgressBar");
    ExpectNamed({"RecordListMenu", "saveoptions", "ZonesMenu", "SubnetsMenu", "PopupMenu0", "PopupMenu5"},
                "QMenu");
    ExpectNamed({"Search1",
                 "FindNext1",
                 "Print1",
                 "Hostsfile1",
                 "Export1",
                 "N2",
                 "Edit1",
                 "Del1",
                 "New1",
                 "CSV1",
                 "CSVSelection1",
                 "XLS1",
                 "XLSSelection1",
                 "PDF1",
                 "PDFselection1",
                 "RefreshDNSrecords1",
                 "SelectAll1",
                 "UnselectAll1",
                 "RefreshDHCPrecords1",
                 "SelectAll2",
                 "UnselectAll2",
                 "showdata1",
                 "StartService",
                 "StopService",
                 "N4",
                 "AddExist",
                 "ReCreate",
                 "Merge",
                 "AddApplication1",
                 "EditApplication1",
                 "DelApplication1",
                 "RunProgram1"},
                "QAction");
    ExpectNamed({"Timer1"}, "QTimer");
    ExpectNamed({"EscapeKey"}, "QShortcut");
    ExpectNamed({"dnsicons", "StateIcons", "status"}, "browser::ImageList");
}

TEST_F(MainWindow, PagesStandInOrderWithCheckAndLookupTabsHidden) {
    QTabWidget* pages = window->PC;
    ASSERT_EQ(pages->count(), 8);
    const QStringList captions = {"DNS",     "REV-DNS", "DHCP",  "Zones",
                                  "Subnets", "Misc",    "Check", "DNS-Lookup"};
    for (int page = 0; page < pages->count(); ++page) {
        EXPECT_EQ(pages->tabText(page), captions[page]);
        EXPECT_EQ(pages->isTabVisible(page), page < TForm1::PageCheck) << page;
    }
    EXPECT_EQ(pages->widget(TForm1::PageDNS)->findChild<QTreeView*>("LV"), window->LV);
    EXPECT_EQ(pages->widget(TForm1::PageRevDNS)->findChild<QTreeView*>("LV3"), window->LV3);
    EXPECT_EQ(pages->widget(TForm1::PageDHCP)->findChild<QTreeView*>("LV2"), window->LV2);
    EXPECT_NE(pages->widget(TForm1::PageZones)->findChild<QTreeWidget*>("zonelist2"), nullptr);
    EXPECT_NE(pages->widget(TForm1::PageSubnets)->findChild<QTreeWidget*>("netslist"), nullptr);
    EXPECT_NE(pages->widget(TForm1::PageMisc)->findChild<QTreeWidget*>("lv1a"), nullptr);
    EXPECT_NE(pages->widget(TForm1::PageCheck)->findChild<QListWidget*>("CheckTrees"), nullptr);
    EXPECT_NE(pages->widget(TForm1::PageLookup)->findChild<QComboBox*>("qbox"), nullptr);
    // The record pages carry the Tag by which a page change reloads their lists.
    EXPECT_EQ(browser::Tag(window->DNSPage), 1);
    EXPECT_EQ(browser::Tag(window->RevDNSPage), 2);
    EXPECT_EQ(browser::Tag(window->DHCPPage), 3);
    EXPECT_EQ(browser::Tag(window->ZonesPage), 0);
}

TEST_F(MainWindow, CreationLeavesTheWindowAsStartUpExpectsIt) {
    EXPECT_EQ(window->ActivePage(), TForm1::PageMisc);
    EXPECT_TRUE(window->Panel1->isHidden());
    EXPECT_TRUE(window->ToolButton8->isHidden());
    EXPECT_FALSE(window->RunProgram1->isEnabled());
    EXPECT_TRUE(window->Timer1->isSingleShot());
    EXPECT_EQ(window->Timer1->interval(), 30);
    EXPECT_TRUE(window->Timer1->isActive());
}

TEST_F(MainWindow, ListsHaveTheirColumns) {
    EXPECT_EQ(Headers(window->LV), QStringList({"IP-address", "Name", "Rec Type", "Zone", "Info"}));
    EXPECT_EQ(Headers(window->LV3), QStringList({"IP-address", "Host name", "Zone", "Description"}));
    EXPECT_EQ(Headers(window->LV2), QStringList({"IP-address", "Name", "Type", "Mac-address", "Last Used",
                                                 "Expire Date", "Comment"}));
    EXPECT_EQ(Headers(window->zonelist), QStringList({"Zones", "context"}));
    EXPECT_EQ(Headers(window->netslist), QStringList({"Subnet", "context"}));
    EXPECT_EQ(Headers(window->lv1), QStringList({"Object", "context"}));
    for (const QTreeWidget* pane : {window->zonelist2, window->netslist2, window->lv1a}) {
        EXPECT_EQ(Headers(pane), QStringList({"Attribute", "value"}));
        EXPECT_EQ(pane->contextMenuPolicy(), Qt::NoContextMenu);
    }
    for (const QTreeView* list : {window->LV, window->LV2, window->LV3}) {
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
        EXPECT_TRUE(list->uniformRowHeights());
    }
}

TEST_F(MainWindow, MenusHoldTheirItemsWithCaptionsAndKeys) {
    EXPECT_EQ(window->SaveBut->menu(), window->saveoptions);
    EXPECT_EQ(window->Export1->menu(), window->saveoptions);
    QStringList exports;
    for (const QAction* item : window->saveoptions->actions())
        exports << item->text();
    EXPECT_EQ(exports, QStringList({"CSV-all", "CSV-selection", "XLS-all", "XLS-Selection", "PDF-all",
                                    "PDF-selection"}));
    EXPECT_EQ(window->Search1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(window->FindNext1->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_TRUE(window->actions().contains(window->Search1));
    EXPECT_TRUE(window->actions().contains(window->FindNext1));
    EXPECT_EQ(window->AddExist->text(), "Add Missing Locator ");
    EXPECT_EQ(window->RefreshDNSrecords1->text(), "Refresh DNS-records");
    EXPECT_EQ(window->RefreshDHCPrecords1->text(), "Refresh DHCP records");
    EXPECT_TRUE(window->ToolButton4->isCheckable());
    EXPECT_EQ(window->DNSSearch->text(), "Refresh DNS");
    EXPECT_EQ(window->SaveBut->text(), "Save data.");
}

TEST_F(MainWindow, SettingThePageFromCodeDoesNotRunThePageChangeHandler) {
    int changes = 0;
    QObject::connect(window->PC, &QTabWidget::currentChanged, [&changes] { ++changes; });
    window->SetActivePage(TForm1::PageDHCP);
    EXPECT_EQ(window->ActivePage(), TForm1::PageDHCP);
    EXPECT_EQ(changes, 0);
    window->PC->setCurrentIndex(TForm1::PageZones); // as a click on the tab does
    EXPECT_EQ(changes, 1);
}

TEST_F(MainWindow, EscapePressesTheStopButton) {
    int stops = 0;
    QObject::connect(window->StopBut, &QToolButton::clicked, [&stops] { ++stops; });
    emit window->EscapeKey->activated();
    EXPECT_EQ(stops, 1);
}

TEST_F(MainWindow, CloseButtonClosesTheWindow) {
    window->show();
    ASSERT_TRUE(window->isVisible());
    window->ToolButton2->click();
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindow, FileAndPrintDialogsStartWithTheirSettings) {
    EXPECT_TRUE(window->prtdlg.allowSelection);
    EXPECT_EQ(window->sdiag.fileName, "HOSTS");
    EXPECT_TRUE(window->sdiag.filter.startsWith("HOSTS ("));
    EXPECT_EQ(window->sscv.defaultSuffix, "csv");
    EXPECT_EQ(window->sscv.filter, "Csv-files (*.csv);;All-files (*)");
    EXPECT_EQ(window->Save2.filter.split(";;").size(), 2);
    EXPECT_TRUE(window->Save2.filter.startsWith("RTF-files"));
}

TEST_F(MainWindow, HiddenPagesAreReachedNeitherByCtrlTabNorByTheMouseWheel) {
    window->show();
    QTabWidget* pages = window->PC;
    QTabBar* bar = pages->tabBar();
    for (Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ControlModifier),
                                            Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier)}) {
        for (int press = 0; press < 10; ++press) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, modifiers);
            QApplication::sendEvent(pages, &key);
            EXPECT_LT(pages->currentIndex(), TForm1::PageCheck) << press;
        }
    }
    for (int delta : {-120, 120}) {
        window->SetActivePage(delta < 0 ? TForm1::PageMisc : TForm1::PageDNS);
        for (int turn = 0; turn < 10; ++turn) {
            const QPointF at(5, 5);
            QWheelEvent wheel(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(bar, &wheel);
            EXPECT_LT(pages->currentIndex(), TForm1::PageCheck) << turn;
        }
    }
    // The hidden pages' controls still work for the code that uses them.
    EXPECT_TRUE(window->Button2->isEnabled());
    EXPECT_TRUE(window->BitBtn1->isEnabled());
}

TEST_F(MainWindow, RecordImagesAreDrawnAndTheCollectButtonsShowTheirs) {
    const browser::ImageList& images = *window->dnsicons;
    ASSERT_EQ(images.count(), 20);
    for (int index = 0; index < images.count(); ++index)
        EXPECT_FALSE(images.icon(index).pixmap(16, 16).isNull()) << index;
    // A collection that has run (16, 18) looks different from one pending (17, 19).
    const auto picture = [&images](int index) { return images.icon(index).pixmap(16, 16).toImage(); };
    EXPECT_NE(picture(16), picture(17));
    EXPECT_NE(picture(18), picture(19));
    EXPECT_NE(picture(4), picture(13)); // A and NS rows

    browser::RecordRow row;
    row.caption = "10.0.0.1";
    row.subItems = {"www", "A", "example.com", "", "www.example_com.DNS.ACME"};
    row.imageIndex = 4;
    window->LVModel->appendRow(row);
    const QVariant icon = window->LVModel->data(window->LVModel->index(0, 0), Qt::DecorationRole);
    ASSERT_TRUE(icon.canConvert<QIcon>());
    // Right of the empty place of a state image.
    EXPECT_EQ(icon.value<QIcon>().pixmap(32, 16).toImage().copy(16, 0, 16, 16), picture(4));

    for (QToolButton* button : {window->DNSSearch, window->DHCPSearch})
        EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
}
