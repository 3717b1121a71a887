// The record-list commands on the main window: its handlers read the controls and run the
// commands on the list of the shown page.

#include "tests/browser_lists/ListRows.h"

#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/WindowBatchHost.h"
#include "browser/lists/BatchSwitches.h"
#include "browser/lists/DNSSearch.h"
#include "browser/lists/HostsExport.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>

using namespace lists_test;
using browser::TForm1;

namespace {

std::string ReadFile(const QString& path) {
    return test_support::ReadFile(path.toStdString());
}

class ListWindow : public ::testing::Test {
protected:
    void SetUp() override {
        forms.Search = &search;
        forms.Hosts = &hosts;
        window = std::make_unique<TForm1>(services, forms);
        window->Timer1->stop();
        window->LVModel->appendRows(DnsRows());
        window->LV3Model->appendRows(ReverseRows());
        window->LV2Model->appendRows(DhcpRows());
        previousFolder = QDir::currentPath();
        QDir::setCurrent(dir.path());
    }
    void TearDown() override { QDir::setCurrent(previousFolder); }

    browser::ScriptedServices services;
    browser::TSearch search{services};
    browser::THosts hosts{services};
    browser::Forms forms;
    std::unique_ptr<TForm1> window;
    QTemporaryDir dir;
    QString previousFolder;
};

TEST_F(ListWindow, HeaderClicksSortTheirList) {
    window->LV2->header()->sectionClicked(4);
    EXPECT_EQ(Keys(window->LV2Model->rows()),
              (std::vector<std::string>{"10.1.0.4 PC4", "10.1.0.5 pc5", "10.1.0.12 pc12", "10.1.0.3 pc3",
                                        "10.1.0.7 short"}));
    window->LV3->header()->sectionClicked(1);
    EXPECT_EQ(window->LV3Model->row(0).subItems[0], "gw");
    window->LV->header()->sectionClicked(0);
    EXPECT_EQ(window->LVModel->row(1).caption, "9.255.0.1");
}

TEST_F(ListWindow, DhcpDatesSortInTheFormatOfTheSettings) {
    browser::CormelianSettings settings;
    settings.dateTimeFormat = "dd.mm.yyyy hh:nn";
    settings.dateSeparator = '.';
    window->ApplyListSettings(settings);
    window->LV2Model->clear();
    window->LV2Model->appendRows(
        {Row(RecordListKind::Dhcp, "10.0.0.1", {"a", "", "", "02.01.2024 00:00", "o"}),
         Row(RecordListKind::Dhcp, "10.0.0.2", {"b", "", "", "01.02.2023 00:00", "o"})});
    window->LV2ColumnClick(4);
    EXPECT_EQ(window->LV2Model->row(0).caption, "10.0.0.2");
}

TEST_F(ListWindow, ShowObjectnameTipsTheObjectNameOfEveryRow) {
    const auto tip = [](const browser::RecordListModel* model, int row) {
        return model->data(model->index(row, 1), Qt::ToolTipRole).toString().toStdString();
    };
    EXPECT_EQ(tip(window->LVModel, 3), "");
    window->ToolButton4->click();
    ASSERT_TRUE(window->ToolButton4->isChecked());
    EXPECT_EQ(tip(window->LVModel, 3), "mail.example_com.DNS.ACME");       // RP row, six sub-items
    EXPECT_EQ(tip(window->LV3Model, 2), "1.0.0.10-in-addr.arpa.DNS.ACME"); // NS row in the DNS layout
    EXPECT_EQ(tip(window->LV2Model, 4), "10_1_0_7.net.DHCP.ACME");
    window->ToolButton4->click();
    EXPECT_EQ(tip(window->LV2Model, 0), "");
}

TEST_F(ListWindow, SearchAndFindNextWorkOnTheShownList) {
    window->SetActivePage(TForm1::PageDHCP);
    services.queueDialog([&](QDialog&) {
        search.Edit2->setText("10.1.0.");
        search.BitBtn1->click();
    });
    window->Search1->trigger();
    const auto selected = [&] {
        const QModelIndexList rows = window->LV2->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.front().row() : -1;
    };
    EXPECT_EQ(selected(), 0);
    window->FindNext1->trigger();
    EXPECT_EQ(selected(), 1);

    // Find Next does nothing on other pages.
    window->SetActivePage(TForm1::PageZones);
    window->FindNext1->trigger();
    EXPECT_EQ(selected(), 1);
    window->Search1->trigger();
    EXPECT_TRUE(services.allAnswersUsed());
    EXPECT_EQ(services.modalForms().size(), 1);
}

TEST_F(ListWindow, SaveButtonWritesTheShownListAndTag1SkipsTheDialog) {
    window->SetActivePage(TForm1::PageRevDNS);
    services.queueFile(std::nullopt);
    window->SaveBut->click();
    EXPECT_EQ(services.count(browser::ScriptedServices::Kind::SaveFile), 1);
    EXPECT_FALSE(QFile::exists("rev-dns.csv"));

    browser::SetTag(window->SaveBut, 1);
    window->SaveBut->click();
    EXPECT_EQ(services.count(browser::ScriptedServices::Kind::SaveFile), 1);
    EXPECT_EQ(ReadFile(dir.filePath("rev-dns.csv")),
              ReadFile(QString::fromStdString(GoldenPath("rev-dns.csv"))));

    // Zones page: nothing happens.
    window->SetActivePage(TForm1::PageZones);
    window->CSV1->trigger();
    EXPECT_EQ(services.calls().size(), 1u);
}

TEST_F(ListWindow, CsvSelectionWritesTheSelectedRows) {
    window->SetActivePage(TForm1::PageDNS);
    window->LV->selectionModel()->select(window->LVModel->index(4, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    services.queueFile(dir.filePath("part.csv"));
    window->CSVSelection1->trigger();
    EXPECT_EQ(ReadFile(dir.filePath("part.csv")), "\"9.255.0.1\",\"Zeta\",\"A\",\"beta.org\",\"\"\r\n");
}

TEST_F(ListWindow, CheckPageTextIsSavedAsText) {
    window->SetActivePage(TForm1::PageCheck);
    window->RE1->setPlainText("one\ntwo");
    services.queueFile(dir.filePath("check.txt"));
    window->SaveBut->click();
    EXPECT_EQ(ReadFile(dir.filePath("check.txt")), "one\r\ntwo\r\n");
}

TEST_F(ListWindow, HostsAndPrintGoThroughTheirDialogs) {
    services.queueFile(dir.filePath("HOSTS"));
    services.queueDialog([&](QDialog&) { hosts.Button1->click(); });
    window->MakeHosts->click();
    EXPECT_EQ(ReadFile(dir.filePath("HOSTS")),
              ReadFile(QString::fromStdString(GoldenPath("hosts-localhost.txt"))));

    services.queuePrint(std::nullopt);
    window->PrintBut->click();
    EXPECT_EQ(services.count(browser::ScriptedServices::Kind::Print), 1);
}

TEST(WaitOnEventLoop, LetsEventsRunUntilDone) {
    bool done = false;
    int ticks = 0;
    QTimer timer;
    // The timer stops itself once done, so a loaded machine that delays the poll adds no tick.
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 3) {
            done = true;
            timer.stop();
        }
    });
    timer.start(5);
    browser::WaitOnEventLoop([&] { return done; }, 2);
    EXPECT_TRUE(done);
    EXPECT_EQ(ticks, 3);
}

TEST_F(ListWindow, BatchDnsWaitsForTheScanWritesBothListsAndCloses) {
    window->show();
    int polls = 0;
    std::vector<RecordListKind> asked;
    browser::WindowBatchHost host(*window, [&](RecordListKind list) {
        asked.push_back(list);
        return ++polls < 4;
    });
    browser::RunBatchSwitches({"/alldns", "/autoclose"}, true, host);
    EXPECT_GE(polls, 4);
    EXPECT_EQ(asked.front(), RecordListKind::Dns);
    EXPECT_EQ(services.count(browser::ScriptedServices::Kind::SaveFile), 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("dns.csv")));
    EXPECT_TRUE(QFile::exists(dir.filePath("rev-dns.csv")));
    EXPECT_FALSE(QFile::exists(dir.filePath("dhcp.csv")));
    EXPECT_EQ(browser::Tag(window->SaveBut), 0);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(ListWindow, BatchWithoutThreadsDoesNotWait) {
    bool asked = false;
    browser::WindowBatchHost host(*window, [&](RecordListKind) { return asked = true; });
    browser::RunBatchSwitches({"/alldhcp"}, false, host);
    EXPECT_FALSE(asked);
    EXPECT_TRUE(QFile::exists(dir.filePath("dhcp.csv")));
    EXPECT_EQ(window->ActivePage(), TForm1::PageDHCP);
    // Without a scan running, the window's own batch step does not wait either.
    window->RunBatchSwitches({"/alldns"}, true);
    EXPECT_TRUE(QFile::exists(dir.filePath("dns.csv")));
}

TEST_F(ListWindow, BatchStepWaitsForAScanThatItsOwnClickStarted) {
    window->Collection(); // made now, so that making it does not replace the probe below
    int polls = 0;
    window->ScanAlive = nullptr;
    QObject::connect(window->DNSSearch, &QToolButton::clicked, window.get(),
                     [&] { window->ScanAlive = [&](RecordListKind) { return ++polls < 3; }; });
    window->RunBatchSwitches({"/alldns"}, true);
    EXPECT_EQ(polls, 3);
}

} // namespace
