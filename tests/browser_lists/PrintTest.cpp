#include "ListRows.h"

#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListPrinter.h"
#include "browser/lists/ScriptedServices.h"

#include <QItemSelectionModel>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTreeView>

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <iterator>

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

// One word of a PDF page with its box in points, as pdftotext -bbox reads it.
struct PdfWord {
    QString text;
    double xMin = 0, yMin = 0, xMax = 0;
};
struct PdfPage {
    double width = 0, height = 0;
    std::vector<PdfWord> words;

    const PdfWord* Find(const QString& text, double y = -1) const {
        for (const PdfWord& word : words) {
            if (word.text == text && (y < 0 || std::abs(word.yMin - y) < 1))
                return &word;
        }
        return nullptr;
    }
};

std::vector<PdfPage> PdfBoxes(const QString& path) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", {"-bbox", path, "-"});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(pdftotext.readAllStandardOutput());
    static const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    static const QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re");
    std::vector<PdfPage> pages;
    for (const QString& part : html.split(QStringLiteral("<page ")).mid(1)) {
        const QRegularExpressionMatch size = page.match(QStringLiteral("<page ") + part);
        if (!size.hasMatch())
            continue;
        PdfPage current{size.captured(1).toDouble(), size.captured(2).toDouble(), {}};
        for (auto it = word.globalMatch(part); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            current.words.push_back({match.captured(4), match.captured(1).toDouble(),
                                     match.captured(2).toDouble(), match.captured(3).toDouble()});
        }
        pages.push_back(std::move(current));
    }
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

TEST_F(Printing, TheDhcpPrintOutFitsItsLandscapePageColumnByColumn) {
    QTreeView view;
    browser::RecordListModel model(
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"});
    model.appendRows(
        {Row(RecordListKind::Dhcp, "10.16.0.244",
             {"workstation-9th", "Fixed Host Dynamic", "00:1B:21:3C:4D:5E", "2024-08-20 13:45:10",
              "2024-09-04 13:45:10",
              "A comment far too long for the space that is left for it at the right edge of the "
              "page, so that it has to be cut short",
              "obj"})});
    view.setModel(&model);
    browser::ScriptedServices services;
    browser::PrintDialogOptions options{true, false};
    services.queuePrint(false);
    browser::PrintRecordList(services, printer, options, view, model, RecordListKind::Dhcp, settings);

    const std::vector<PdfPage> pages = PdfBoxes(pdf);
    ASSERT_EQ(pages.size(), 1u);
    const PdfPage& page = pages[0];
    EXPECT_GT(page.width, page.height); // landscape
    for (const PdfWord& word : page.words)
        EXPECT_LE(word.xMax, page.width) << word.text.toStdString();

    // Titles in layout order, each ending before the next begins.
    const PdfWord* comment = page.Find("Comment");
    ASSERT_NE(comment, nullptr);
    const char* titles[] = {"IP-address", "Name", "Type", "MAC-address", "Last", "Lease", "Comment"};
    for (std::size_t i = 0; i + 1 < std::size(titles); ++i) {
        const PdfWord* left = page.Find(titles[i], comment->yMin);
        const PdfWord* right = page.Find(titles[i + 1], comment->yMin);
        ASSERT_TRUE(left != nullptr && right != nullptr) << titles[i];
        EXPECT_LT(left->xMax, right->xMin) << titles[i];
    }
    // The type is shown whole and ends before the MAC address; the long comment is cut short.
    const PdfWord* dynamic = page.Find("Dynamic");
    const PdfWord* mac = page.Find("00:1B:21:3C:4D:5E");
    ASSERT_TRUE(dynamic != nullptr && mac != nullptr);
    EXPECT_LT(dynamic->xMax, mac->xMin);
    QString words;
    for (const PdfWord& word : page.words)
        words += QStringLiteral("%1 %2-%3\n").arg(word.text).arg(word.xMin).arg(word.xMax);
    EXPECT_NE(page.Find("workstation-9th"), nullptr) << page.width << "\n" << words.toStdString();
    EXPECT_EQ(page.Find("short"), nullptr);
    EXPECT_NE(page.Find("comment"), nullptr);
}

TEST(PrintColumnPlan, ScalesTheLayoutToThePrintableWidthAndLeavesRoomUpToTheNextColumn) {
    const browser::ListPrintSettings settings =
        browser::ListPrintSettings::From(browser::CormelianSettings());
    EXPECT_EQ(settings.OrientationFor(RecordListKind::Dhcp), QPageLayout::Landscape);
    EXPECT_EQ(settings.OrientationFor(RecordListKind::Dns), QPageLayout::Portrait);
    EXPECT_EQ(settings.OrientationFor(RecordListKind::RevDns), QPageLayout::Portrait);

    // DHCP: columns at 0 .. 4800, span 4800 + 800, on 6720 units: scale 1.2.
    browser::PrintColumnPlan plan = browser::PlanPrintColumns(settings.dhcp, 7, 6720);
    EXPECT_EQ(plan.x, (std::array<int, 7>{0, 600, 1800, 2520, 3480, 4560, 5760}));
    EXPECT_EQ(plan.width[0], 570); // up to the next column less the gap
    EXPECT_EQ(plan.width[6], 960); // up to the right edge
    // DNS: only the first three columns are printed; 0, 500, 1100 span 1650; on 3300 units: scale 2.
    plan = browser::PlanPrintColumns(settings.dns, 3, 3300);
    EXPECT_EQ(plan.x, (std::array<int, 7>{0, 1000, 2200, -1, -1, -1, -1}));
    EXPECT_EQ(plan.width[2], 1100);
    // A column left out takes no room: 0 and 500 span 1000; the name runs up to the right edge.
    browser::PrintColumns dns = settings.dns;
    dns[2].position = -1;
    plan = browser::PlanPrintColumns(dns, 3, 3000);
    EXPECT_EQ(plan.x, (std::array<int, 7>{0, 1500, -1, -1, -1, -1, -1}));
    EXPECT_EQ(plan.width[1], 1500);
    // Columns out of order are placed by position.
    dns = settings.dns;
    std::swap(dns[1].position, dns[2].position);
    plan = browser::PlanPrintColumns(dns, 3, 3300);
    EXPECT_EQ(plan.x[1], 2200);
    EXPECT_EQ(plan.width[2], 1200 - 30);
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
