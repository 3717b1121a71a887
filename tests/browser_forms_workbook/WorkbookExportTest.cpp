// The export components of the main window and the commands of its "Export" menu.

#include "WorkbookTestSupport.h"

#include "browser/lists/UnattendedServices.h"
#include "browser/lists/WorkbookExport.h"
#include "browser/lists/WorkbookExportForm.h"
#include "export/core/ExporterMemorySources.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "tests/support/TempFolder.h"

#include <QAction>
#include <QDialog>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace workbook_test;
using browser::TForm1;
using exporter::TExporterDialog;

namespace {

const std::vector<std::string> DnsColumns{"IP-address", "Name", "Rec Type", "Zone", "Info"};

void ExpectWorkbookNoteFormat(const exporter::TxlsNoteFormat& note) {
    EXPECT_EQ(note.Alignment.Horizontal, exporter::halLeft);
    EXPECT_EQ(note.Alignment.Vertical, exporter::valTop);
    EXPECT_EQ(note.Font.Name, "Tahoma");
    EXPECT_EQ(note.Font.Size, 8);
    EXPECT_EQ(note.Font.Style, exporter::xfsBold);
}

void ExpectWorkbookFormats(const exporter::TxlsFormat& caption, const exporter::TxlsFormat& hyperlink) {
    EXPECT_TRUE(caption.Font.Has(exporter::xfsBold));
    EXPECT_EQ(hyperlink.Font.Color, exporter::clrBlue);
    EXPECT_EQ(hyperlink.Font.Underline, exporter::fulSingle);
    EXPECT_FALSE(hyperlink.Font.Has(exporter::xfsBold));
}

TEST_F(WorkbookWindow, ExportDialogKeepsItsStoredSettingsOnTheDnsList) {
    const TExporterDialog& d = *window->ExpDiag;
    EXPECT_EQ(d.ExportSource, exporter::TExportSource::esListView);
    ASSERT_NE(d.ListView, nullptr);
    EXPECT_EQ(d.ListView->ItemCount(), 4);
    EXPECT_EQ(d.ListView->ColumnCaption(2), "Rec Type");

    const auto& rtf = d.RTFOptions;
    EXPECT_TRUE(rtf.CaptionStyle.Font.Bold);
    EXPECT_EQ(rtf.CaptionStyle.Alignment, exporter::TrtfTextAlignment::talCenter);
    for (const exporter::TrtfStyle* style :
         {&rtf.CaptionStyle, &rtf.DataStyle, &rtf.HeaderStyle, &rtf.FooterStyle}) {
        EXPECT_EQ(style->Font.Name, "Arial");
        EXPECT_EQ(style->Font.Color, 0x000000u);
        EXPECT_EQ(style->Font.Size, rtf.CaptionStyle.Font.Size);
    }
    for (const exporter::TrtfStyle* style : {&rtf.DataStyle, &rtf.HeaderStyle, &rtf.FooterStyle})
        EXPECT_FALSE(style->Font.Bold);

    EXPECT_EQ(d.HTMLPageOptions.TextFont.Name, "Arial");
    EXPECT_EQ(d.HTMLPageOptions.TextFont.Color, 0xFFFFFFu);
    EXPECT_EQ(d.CSVOptions.Comma, ',');

    EXPECT_EQ(d.XLSOptions.PageFooter, "Page &P of &N");
    EXPECT_EQ(d.XLSOptions.SheetTitle(), "Sheet 1");
    ExpectWorkbookFormats(d.XLSOptions.CaptionFormat, d.XLSOptions.HyperlinkFormat);
    ExpectWorkbookNoteFormat(d.XLSOptions.NoteFormat);

    // Everything else stays at the component's defaults.
    const TExporterDialog defaults;
    EXPECT_EQ(d.AllowedExports, defaults.AllowedExports);
    EXPECT_EQ(d.FileName, defaults.FileName);
    EXPECT_EQ(d.ShowFile, defaults.ShowFile);
    EXPECT_EQ(d.XLSOptions.PageHeader, defaults.XLSOptions.PageHeader);
    EXPECT_EQ(d.HTMLPageOptions.BackgroundColor, defaults.HTMLPageOptions.BackgroundColor);
    EXPECT_EQ(d.CSVOptions.Quote, defaults.CSVOptions.Quote);
}

TEST_F(WorkbookWindow, TheExportDialogsOwnWindowIsInstalledAndTakesOverTheStoredSettings) {
    browser::TForm1 fresh(services, forms);
    fresh.Timer1->stop();
    ASSERT_TRUE(fresh.ExpDiag->FormFactory);
    const std::unique_ptr<exporter::TExporterDialogF> form = fresh.ExpDiag->FormFactory(*fresh.ExpDiag);
    ASSERT_NE(form, nullptr);
    EXPECT_NE(dynamic_cast<QDialog*>(form.get()), nullptr);
    EXPECT_EQ(form->FormState().XLS.SheetTitle(), "Sheet 1");
    EXPECT_EQ(form->FormState().XLS.PageFooter, "Page &P of &N");
    EXPECT_EQ(form->FormState().CSV.Comma, ',');
}

TEST_F(WorkbookWindow, WorkbookExporterKeepsTheSameWorkbookOptionsAndNoObjects) {
    const exporter::TExporterXLS& x = *window->exls;
    EXPECT_EQ(x.ExportSource, exporter::TExportSource::esListView);
    EXPECT_EQ(x.ListView, window->ExpDiag->ListView);
    EXPECT_EQ(x.Options.PageFooter, "Page &P of &N");
    EXPECT_EQ(x.Options.SheetTitle(), "Sheet 1");
    ExpectWorkbookFormats(x.Options.CaptionsFormat, x.Options.HyperlinkFormat);
    ExpectWorkbookNoteFormat(x.Options.NoteFormat);
    EXPECT_EQ(x.Sheets.Count(), 0u);
    EXPECT_EQ(x.Pictures.Count(), 0u);
    EXPECT_EQ(x.Charts.Count(), 0u);
    EXPECT_EQ(x.Cells.Count(), 0u);
    EXPECT_EQ(x.MergedCells.Count(), 0u);
    EXPECT_TRUE(x.FileName.empty());
    EXPECT_FALSE(x.ShowFile);
}

TEST_F(WorkbookWindow, BothXlsCommandsShowTheDialogOnTheWholeListOfThePageShown) {
    // A selection does not narrow the export: both commands are the same.
    window->LV->selectionModel()->select(window->LVModel->index(1, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const std::vector<std::string> reverseColumns{"IP-address", "Host name", "Zone", "Description"};
    const std::vector<std::string> dhcpColumns{"IP-address", "Name",        "Type",   "Mac-address",
                                               "Last Used",  "Expire Date", "Comment"};
    struct PageList {
        int page;
        const std::vector<std::string>& columns;
        int rows;
    };
    // The object pages have no record list of their own: the DNS list.
    const PageList pages[] = {{TForm1::PageDNS, DnsColumns, 4},     {TForm1::PageRevDNS, reverseColumns, 0},
                              {TForm1::PageDHCP, dhcpColumns, 1},   {TForm1::PageZones, DnsColumns, 4},
                              {TForm1::PageSubnets, DnsColumns, 4}, {TForm1::PageMisc, DnsColumns, 4}};
    int expectedShows = 0;
    for (const PageList& expected : pages) {
        window->SetActivePage(expected.page);
        for (QAction* command : {window->XLS1, window->XLSSelection1}) {
            script.columns.clear();
            command->trigger();
            ++expectedShows;
            EXPECT_EQ(script.shown, expectedShows) << expected.page;
            EXPECT_EQ(script.columns, expected.columns) << expected.page;
            EXPECT_EQ(script.listRows, expected.rows) << expected.page;
            EXPECT_EQ(script.sheetTitle, "Sheet 1");
            // The window's own workbook exporter follows the dialog.
            EXPECT_EQ(window->ExpDiag->ListView, window->exls->ListView);
        }
    }
    EXPECT_TRUE(services.messages().isEmpty());
    EXPECT_TRUE(WrittenFiles().empty());
}

TEST_F(WorkbookWindow, XlsCommandsDoNothingOnTheCheckAndLookupPages) {
    for (int page : {TForm1::PageCheck, TForm1::PageLookup}) {
        window->SetActivePage(page);
        window->XLS1->trigger();
        window->XLSSelection1->trigger();
    }
    EXPECT_EQ(script.shown, 0);
    EXPECT_TRUE(services.calls().empty());
}

TEST_F(WorkbookWindow, OnTheDhcpPageTheDialogExportsTheDhcpList) {
    window->SetActivePage(TForm1::PageDHCP);
    script.start = true;
    script.type = exporter::TAllowedExport::aeCSV;
    script.fileName = File("list.csv");
    window->XLS1->trigger();
    ASSERT_TRUE(services.messages().isEmpty()) << services.messages().join("\n").toStdString();
    std::ifstream in(script.fileName, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // The separator is the stored ",", whatever the locale's list separator.
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "\"IP-address\",\"Name\",\"Type\",\"Mac-address\",\"Last Used\",\"Expire Date\",\"Comment\"\r")
        << text;
    EXPECT_NE(text.find("pc5"), std::string::npos);
    EXPECT_EQ(text.find("example.com"), std::string::npos);
    // Only the dialog's file: no second workbook beside it, nothing over the CSV dialog's file.
    EXPECT_EQ(WrittenFiles(), std::vector<std::string>{"list.csv"});

    // Back on the DNS page the DNS list is exported again.
    window->SetActivePage(TForm1::PageDNS);
    script.columns.clear();
    script.start = false;
    window->XLS1->trigger();
    EXPECT_EQ(script.columns, DnsColumns);
}

TEST_F(WorkbookWindow, TheXlsCommandsLeaveTheCsvDialogsFileAlone) {
    const std::string csv = File("earlier.csv");
    std::ofstream(csv) << "kept\r\n";
    window->sscv.fileName = QString::fromStdString(csv);
    script.start = true;
    script.fileName = File("dns.xls");
    window->XLSSelection1->trigger();
    ASSERT_TRUE(services.messages().isEmpty()) << services.messages().join("\n").toStdString();
    std::ifstream in(csv, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "kept\r\n");
    auto files = WrittenFiles();
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"dns.xls", "earlier.csv"}));
}

TEST_F(WorkbookWindow, ErrorsOfTheDialogAndItsExportAreShownAsMessages) {
    // The export without a file name.
    script.start = true;
    window->XLS1->trigger();
    EXPECT_EQ(script.shown, 1);
    EXPECT_EQ(services.messages(), QStringList{"Result file name not present"});

    // The component refuses to run without allowed types; the form is not shown.
    services.clearCalls();
    window->ExpDiag->AllowedExports.clear();
    window->XLSSelection1->trigger();
    EXPECT_EQ(script.shown, 1);
    EXPECT_EQ(services.messages(), QStringList{"Property Allowed cannot be empty"});
}

// A list longer than a workbook sheet holds is refused before the progress window opens and before a
// record is read, with the message the writer gives; one row less runs. A filter on the rows leaves
// the count to the run itself.
TEST_F(WorkbookWindow, AListTooLongForASheetIsRefusedBeforeTheProgressWindow) {
    const std::string tooLong = "The sheet needs more than 65536 rows, the most a workbook sheet holds";
    std::vector<RecordRow> rows(65536 - 1 - DnsRows().size(), DnsRows().front()); // and the caption row
    window->LVModel->appendRows(rows);
    script.start = true;
    script.fileName = File("dns.xls");

    struct Case {
        const char* name;
        int moreRows;
        bool filter;
        bool refusedEarly;
    };
    for (const Case& run : {Case{"one more than a sheet holds", 1, false, true},
                            Case{"a filter may leave rows out", 0, true, false},
                            Case{"as many as a sheet holds", -1, false, false}}) {
        SCOPED_TRACE(run.name);
        if (run.moreRows > 0)
            window->LVModel->appendRow(DnsRows().front());
        else if (run.moreRows < 0)
            window->LVModel->removeRowAt(0);
        int recordsRead = 0;
        window->ExpDiag->OnExportedRecord = [&recordsRead](exporter::TExporter&, int) { ++recordsRead; };
        if (run.filter)
            window->ExpDiag->OnBeforeExportRow = [](exporter::TExporter&, exporter::TExportRow&,
                                                    bool& accept) { accept = true; };
        else
            window->ExpDiag->OnBeforeExportRow = nullptr;
        services.clearCalls();
        script.progressWindows = 0;
        window->XLS1->trigger();
        if (run.refusedEarly) {
            EXPECT_EQ(services.messages(), QStringList{QString::fromStdString(tooLong)});
            EXPECT_EQ(script.progressWindows, 0);
            EXPECT_EQ(recordsRead, 0);
            EXPECT_FALSE(std::filesystem::exists(script.fileName));
        } else {
            EXPECT_EQ(script.progressWindows, 1);
            // With a filter, the run itself refuses when it gets there.
            EXPECT_EQ(services.messages().size(), run.filter ? 1 : 0);
        }
    }
    EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("\n").toStdString();
    EXPECT_TRUE(std::filesystem::exists(script.fileName));
}

TEST_F(WorkbookWindow, PdfCommandsOnlyAnswerWithAMessageOnEveryPage) {
    for (int page = TForm1::PageDNS; page <= TForm1::PageLookup; ++page) {
        window->SetActivePage(page);
        window->PDF1->trigger();
        window->PDFselection1->trigger();
    }
    EXPECT_EQ(services.messages(), QStringList(16, QStringLiteral("Sorry not supported yet")));
    EXPECT_EQ(script.shown, 0);
    EXPECT_TRUE(WrittenFiles().empty());
}

TEST(WorkbookExportLogic, RunsOnEveryPageButCheckAndLookup) {
    for (int page = TForm1::PageDNS; page <= TForm1::PageMisc; ++page)
        EXPECT_TRUE(browser::WorkbookExportRunsOnPage(page)) << page;
    EXPECT_FALSE(browser::WorkbookExportRunsOnPage(TForm1::PageCheck));
    EXPECT_FALSE(browser::WorkbookExportRunsOnPage(TForm1::PageLookup));
}

TEST(ExportDialogServicesTest, TheFormsModalWindowsGoThroughTheProgramsServices) {
    browser::ScriptedServices services;
    browser::ExportDialogServices dialogs(services);

    services.queueFile(QStringLiteral("/tmp/chosen.xls"));
    QString name = QStringLiteral("proposed.xls");
    EXPECT_TRUE(dialogs.SaveFileName(nullptr, QStringLiteral("Excel (*.xls)"), QStringLiteral("xls"), name));
    EXPECT_EQ(name, QStringLiteral("/tmp/chosen.xls"));
    ASSERT_EQ(services.calls().back().kind, browser::ScriptedServices::Kind::SaveFile);
    EXPECT_EQ(services.calls().back().title, QStringLiteral("proposed.xls"));
    name = QStringLiteral("kept.ini");
    EXPECT_FALSE(dialogs.OpenFileName(nullptr, QString(), QString(), name));
    EXPECT_EQ(name, QStringLiteral("kept.ini"));
    EXPECT_EQ(services.calls().back().kind, browser::ScriptedServices::Kind::OpenFile);

    services.queueButton(QMessageBox::Yes);
    EXPECT_TRUE(dialogs.Question(nullptr, QStringLiteral("Confirm"), QStringLiteral("Delete?")));
    EXPECT_EQ(services.calls().back().buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_FALSE(dialogs.Question(nullptr, QStringLiteral("Confirm"), QStringLiteral("Delete?")));

    dialogs.ShowError(nullptr, QStringLiteral("Bad value"));
    EXPECT_EQ(services.calls().back().messageKind, browser::MessageKind::Error);
    EXPECT_EQ(services.calls().back().text, QStringLiteral("Bad value"));
    dialogs.ShowMessage(nullptr, QStringLiteral("2 values were left empty"));
    EXPECT_EQ(services.calls().back().messageKind, browser::MessageKind::Information);
    EXPECT_EQ(services.calls().back().text, QStringLiteral("2 values were left empty"));

    QColor colour(Qt::red);
    services.queueColour(QColor(Qt::blue));
    EXPECT_TRUE(dialogs.PickColor(nullptr, colour));
    EXPECT_EQ(colour, QColor(Qt::blue));
    QString value = QStringLiteral("x");
    EXPECT_FALSE(dialogs.InputQuery(nullptr, QStringLiteral("T"), QStringLiteral("P"), value));
    EXPECT_EQ(value, QStringLiteral("x"));
}

// Opens and prints nothing.
class OpenNothing : public exporter::TExportShell {
public:
    void Open(const std::string&) override {}
    void Print(const std::string&) override {}
};

// An unattended run's export dialog: a dBase table that left values empty says so on standard error, as
// an information that does not fail the run.
TEST(ExportDialogServicesTest, AnUnattendedDbaseExportTellsItsEmptiedValuesOnStandardError) {
    test_support::TempFolder folder;
    exporter::TMemoryListView view;
    view.AddColumn({"Name"});
    view.AddColumn({"Amount"});
    view.AddItem({"a", "12"});
    view.AddItem({"b", "abc"});
    exporter::TExporterDialog dialog;
    dialog.ExportSource = exporter::TExportSource::esListView;
    dialog.ListView = &view;
    dialog.AutoCalcStrType = true;
    dialog.Columns.Fill(true);
    dialog.FileName = (folder.Path() / "list.dbf").string();
    dialog.AllowedExports = {exporter::TAllowedExport::aeDBF};
    std::ostringstream errors;
    browser::UnattendedServices unattended(errors);
    browser::ExportDialogServices dialogs(unattended);
    exporter::TExporterDialogFormWindow form(dialog, &dialogs);
    OpenNothing shell;
    form.Shell = &shell;
    form.findChild<QPushButton*>(QStringLiteral("bStart"))->click();
    EXPECT_EQ(errors.str(),
              "1 value did not fit its column's type and was left empty: row 2, column \"Amount\", "
              "\"abc\"\n");
    EXPECT_EQ(unattended.Problems(), 0);
}

} // namespace
