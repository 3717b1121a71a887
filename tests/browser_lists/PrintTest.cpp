#include "ListRows.h"

#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListPrinter.h"
#include "browser/lists/ScriptedServices.h"

#include <QItemSelectionModel>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace lists_test;

namespace {

// The text of every page of a PDF file, as pdftotext reads it.
QStringList PdfPages(const QString& path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-layout", path, "-"});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    QStringList pages = QString::fromUtf8(pdftotext.readAllStandardOutput()).split(QChar(u'\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

std::vector<RecordRow> ManyDhcpRows(int count) {
    std::vector<RecordRow> rows;
    for (int i = 0; i < count; ++i) {
        rows.push_back(Row(RecordListKind::Dhcp, "10.2.0." + std::to_string(i),
                           {"host" + std::to_string(i), "Dynamic", "00:00:00:00:00:01", "2024-01-01 00:00:00",
                            "2024-02-01 00:00:00", "note" + std::to_string(i), "obj"}));
    }
    return rows;
}

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    }

    QTemporaryDir dir;
    QString pdf = dir.filePath("list.pdf");
    QPrinter printer{QPrinter::HighResolution};
    browser::ListPrintSettings settings = browser::ListPrintSettings::From(browser::CormelianSettings());
};

TEST(ListPrintSettings, TakesTheSettingsFileLayoutWithTheFixedCommentColumn) {
    browser::CormelianSettings file;
    file.printDy = 80;
    file.printPh2 = 3000;
    file.reverseColumns = {{"A", 0}, {"B", -1}};
    const browser::ListPrintSettings settings = browser::ListPrintSettings::From(file);
    EXPECT_EQ(settings.dy, 80);
    EXPECT_EQ(settings.PageLengthFor(RecordListKind::Dhcp), 3000);
    EXPECT_EQ(settings.PageLengthFor(RecordListKind::RevDns), 6500);
    EXPECT_EQ(settings.reverse[1], (browser::PrintColumn{"B", -1}));
    EXPECT_EQ(settings.reverse[2], (browser::PrintColumn{"", 0}));
    EXPECT_EQ(settings.dhcp[5], (browser::PrintColumn{"Lease Exp.", 3800}));
    EXPECT_EQ(settings.dhcp[6], (browser::PrintColumn{"Comment", 4800}));
    EXPECT_EQ(settings.dns[2], (browser::PrintColumn{"Description", 1100}));
}

TEST_F(Printing, DhcpListFillsPagesWithTitlesOnEach) {
    const std::vector<RecordRow> rows = ManyDhcpRows(150);
    std::vector<const RecordRow*> pointers;
    for (const RecordRow& row : rows)
        pointers.push_back(&row);
    // The DHCP layout (page length 4700, last column at 4800) is meant for a page in landscape.
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(browser::PrintRecordRows(printer, pointers, RecordListKind::Dhcp, settings));

    const QStringList pages = PdfPages(pdf);
    // Rows from y 212 in steps of 75 while y stays within 4700: 60 rows a page.
    ASSERT_EQ(pages.size(), 3);
    for (const QString& page : pages) {
        for (const char* title :
             {"IP-address", "Name", "Type", "MAC-address", "Last Used", "Lease Exp.", "Comment"})
            EXPECT_TRUE(page.contains(QString::fromLatin1(title))) << title;
    }
    EXPECT_TRUE(pages[0].contains("10.2.0.0 "));
    EXPECT_TRUE(pages[0].contains("host59 "));
    EXPECT_FALSE(pages[0].contains("host60 "));
    EXPECT_TRUE(pages[1].contains("host60 "));
    EXPECT_TRUE(pages[2].contains("host149"));
    EXPECT_TRUE(pages[2].contains("note149"));
    EXPECT_TRUE(pages[2].contains("2024-02-01 00:00:00"));
}

TEST_F(Printing, ExactlyFullPageLeavesNoPageWithTitlesAlone) {
    const std::vector<RecordRow> rows = ManyDhcpRows(60);
    std::vector<const RecordRow*> pointers;
    for (const RecordRow& row : rows)
        pointers.push_back(&row);
    ASSERT_TRUE(browser::PrintRecordRows(printer, pointers, RecordListKind::Dhcp, settings));
    EXPECT_EQ(PdfPages(pdf).size(), 1);
}

TEST_F(Printing, ColumnsWithNegativePositionsAreLeftOut) {
    const std::vector<RecordRow> rows = DnsRows();
    settings.dns[2].position = -1; // "Description", the type column
    QTreeView view;
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    model.appendRows(rows);
    view.setModel(&model);
    browser::ScriptedServices services;
    browser::PrintDialogOptions options{true, false};
    services.queuePrint(false);
    browser::PrintRecordList(services, printer, options, view, model, RecordListKind::Dns, settings);

    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("IP-address"));
    EXPECT_FALSE(pages[0].contains("Description"));
    EXPECT_TRUE(pages[0].contains("9.255.0.1"));
    EXPECT_TRUE(pages[0].contains("Zeta"));
    EXPECT_FALSE(pages[0].contains("SRV"));
    EXPECT_FALSE(pages[0].contains("example.com")); // the zone is no print column of the DNS list
}

TEST_F(Printing, SelectionRangePrintsOnlySelectedRowsAndCancelPrintsNothing) {
    QTreeView view;
    browser::RecordListModel model({"IP-address", "Host name", "Zone", "Description"});
    model.appendRows(ReverseRows());
    view.setModel(&model);
    view.selectionModel()->select(model.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    browser::ScriptedServices services;
    browser::PrintDialogOptions options{true, false};

    services.queuePrint(std::nullopt);
    browser::PrintRecordList(services, printer, options, view, model, RecordListKind::RevDns, settings);
    EXPECT_FALSE(QFile::exists(pdf));

    services.queuePrint(true);
    browser::PrintRecordList(services, printer, options, view, model, RecordListKind::RevDns, settings);
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages[0].contains("Domain"));
    EXPECT_TRUE(pages[0].contains("192.168.1.1"));
    EXPECT_TRUE(pages[0].contains("home.lan"));
    EXPECT_FALSE(pages[0].contains("10.0.0.2"));
}

} // namespace
