#include "DialogTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterProgress.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "export/xls/ExporterXLS.h"
#include "tests/export_dialog/TestApplication.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <algorithm>

namespace exporter {
namespace {

using test::TestForm;
using Log = std::vector<std::string>;

class ExportDialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        test::FillDataSet(ds, 3);
        dialog.DataSet = &ds;
        dialog.FileName = dir.file("out.xls");
        dialog.FormFactory = [this](TExporterDialog& owner) {
            auto form = std::make_unique<TestForm>(owner);
            form->state.ExportType = TAllowedExport::aeCSV;
            form->configure = configure;
            form->inspect = [this](TestForm& f) {
                log = f.log;
                fileName = f.state.FileName;
                opened = f.shell.opened;
                waits = f.waits;
                flags = f.questionFlags;
                if (inspect)
                    inspect(f);
            };
            return form;
        };
    }

    test::TempDir dir;
    TMemoryDataSet ds;
    TExporterDialog dialog;
    std::function<void(TestForm&)> configure;
    std::function<void(TestForm&)> inspect;
    Log log, opened;
    std::string fileName;
    int waits = 0;
    std::vector<unsigned> flags;
};

TEST_F(ExportDialogRun, ExecuteRefusesAMissingSourceOrNoTypes) {
    dialog.DataSet = nullptr;
    try {
        dialog.Execute();
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is not assigned");
    }
    dialog.ExportSource = TExportSource::esListView;
    EXPECT_THROW(dialog.Execute(), EExportError);

    dialog.ExportSource = TExportSource::esDataSet;
    dialog.DataSet = &ds;
    dialog.AllowedExports.clear();
    try {
        dialog.Execute();
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Property Allowed cannot be empty");
    }
    // Nothing was shown.
    EXPECT_TRUE(log.empty());
}

TEST_F(ExportDialogRun, ExecuteFillsTheColumnsWithBlobsAndShowsTheFormOnce) {
    int shown = 0;
    int columns = 0;
    configure = [&](TestForm& f) {
        shown = f.shown;
        columns = f.Dialog().Columns.Count();
        f.startOnShow = false;
    };
    dialog.Execute();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(columns, 3);
    EXPECT_TRUE(dialog.Columns[2].IsBlob);

    dialog.FormFactory = nullptr;
    EXPECT_THROW(dialog.Execute(), EExportError);
}

TEST_F(ExportDialogRun, ProgressCodesAndEventsComeInOrder) {
    // The events go into the form's own log so that posts and events interleave.
    configure = [this](TestForm& f) {
        dialog.OnBeginExport = [&f](TExporter&) { f.log.push_back("begin"); };
        dialog.OnEndExport = [&f](TExporter&) { f.log.push_back("end"); };
        dialog.OnExportedRecord = [&f](TExporter&, int recNo) {
            f.log.push_back("exported:" + std::to_string(recNo));
        };
        dialog.OnSkippedRecord = [&f](TExporter&, int recNo) {
            f.log.push_back("skipped:" + std::to_string(recNo));
        };
        f.state.SkipRecCount = 1;
    };
    dialog.Execute();
    EXPECT_EQ(log, (Log{"post:1", "begin", "post:3", "skipped:1", "exported:0", "post:4", "exported:1",
                        "post:4", "post:8", "end", "post:9"}));
    // The type's extension replaced the old one, and the written file was opened.
    EXPECT_EQ(fileName, dir.file("out.csv"));
    EXPECT_EQ(opened, Log{dir.file("out.csv")});
    // The BLOB field is left out when no field is chosen; the first row was skipped.
    EXPECT_EQ(test::ReadFile(dir.file("out.csv")),
              "\"Name\",\"Count\"\r\n\"row2\",\"2\"\r\n\"row3\",\"3\"\r\n");
}

TEST_F(ExportDialogRun, WithoutShowFileTheRunWaitsForTheUserAndSendsNoNine) {
    configure = [](TestForm& f) {
        f.state.ShowFile = false;
        f.waitsBeforeClose = 3;
    };
    dialog.Execute();
    EXPECT_EQ(log, (Log{"post:1", "post:4", "post:4", "post:8"})); // the clock stands: first and last row
    EXPECT_EQ(waits, 3);
    EXPECT_TRUE(opened.empty());
}

// Rows reach the window when ProgressInterval has passed since the last row message (here 1/64 s a row:
// every third row), at each change of phase, and with the last count before the end; every message carries
// the count so far, so the window shows the exact figure however many were left out. The component's
// event still fires for every row.
TEST_F(ExportDialogRun, RowMessagesComeAtIntervalsWithTheCountSoFar) {
    TMemoryDataSet many;
    test::FillDataSet(many, 22);
    dialog.DataSet = &many;
    std::vector<std::pair<int, int>> posts;
    int events = 0;
    configure = [&](TestForm& f) {
        f.state.SkipRecCount = 2;
        dialog.OnSkippedRecord = [&f](TExporter&, int) { f.clock += 1.0 / 64; };
        dialog.OnExportedRecord = [&f, &events](TExporter&, int) {
            ++events;
            f.clock += 1.0 / 64;
        };
    };
    inspect = [&](TestForm& f) { posts = f.posts; };
    dialog.Execute();
    EXPECT_EQ(events, 20);
    // The count of the second skipped row was pending: it goes before the first exported row's.
    EXPECT_EQ(posts, (std::vector<std::pair<int, int>>{{1, 0},
                                                       {3, 1},
                                                       {3, 2},
                                                       {4, 1},
                                                       {4, 4},
                                                       {4, 7},
                                                       {4, 10},
                                                       {4, 13},
                                                       {4, 16},
                                                       {4, 19},
                                                       {4, 20},
                                                       {8, 0},
                                                       {9, 0}}));
}

// The engine's window over a run whose clock stands (it hears the first row and the last) shows the exact
// count at the end.
TEST_F(ExportDialogRun, TheRealWindowShowsTheExactCountAtTheEnd) {
    test::EnsureApplication();
    TMemoryDataSet many;
    test::FillDataSet(many, 1500);
    dialog.DataSet = &many;
    std::string status, counter;
    configure = [&](TestForm& f) {
        f.state.ShowFile = false;
        f.realProgressWindow = true;
        f.onWait = [&status, &counter] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* window = qobject_cast<TfmExporterProgress*>(w); window && window->isVisible()) {
                    status = window->laStatusValue->text().toStdString();
                    counter = window->laExportedValue->text().toStdString();
                    window->bButton->click();
                }
        };
    };
    dialog.Execute();
    EXPECT_EQ(status, "Finished");
    EXPECT_EQ(counter, "1500");
}

// Rows that come fast (here the clock stands) read the clock on a few rows only, at most MaxRowsPerClock
// apart, and the window still hears the first row and the exact count at the end; rows that take 1/64 s
// each read it on every row.
TEST_F(ExportDialogRun, FastRowsReadTheClockOnFewRows) {
    TMemoryDataSet many;
    test::FillDataSet(many, 1000);
    dialog.DataSet = &many;
    std::vector<std::pair<int, int>> posts;
    int reads = 0;
    inspect = [&](TestForm& f) {
        posts = f.posts;
        reads = f.clockReads;
    };
    dialog.Execute();
    EXPECT_EQ(posts, (std::vector<std::pair<int, int>>{{1, 0}, {4, 1}, {4, 1000}, {8, 0}, {9, 0}}));
    EXPECT_GE(reads, 1000 / TExporterDialogF::MaxRowsPerClock);
    EXPECT_LE(reads, 1000 / TExporterDialogF::MaxRowsPerClock + 8);

    configure = [&](TestForm& f) {
        dialog.OnExportedRecord = [&f](TExporter&, int) { f.clock += 1.0 / 64; };
    };
    dialog.Execute();
    EXPECT_EQ(reads, 1000);
    EXPECT_EQ(posts.size(), 1u + 334u + 2u); // row messages at rows 1, 4, 7 ... 1000
}

// A Cancel the user presses reaches the export within ProgressInterval: here rows take 1/64 s each (row
// messages at rows 1, 4, 7, 10, 13 ...), the click arrives as an event while row 11 is written, and the
// export stops after row 13. After 500 fast rows (a clock that stands) the clock is read every
// MaxRowsPerClock rows (at rows 496, 504 ...): a click at the first slow row is heard at row 504.
TEST_F(ExportDialogRun, ACancelIsHeardWithinTheInterval) {
    test::EnsureApplication();
    struct Case {
        int fastRows, clickAt, stopsAfter;
    };
    for (const Case& c : {Case{0, 11, 13}, Case{500, 501, 504}}) {
        SCOPED_TRACE(c.fastRows);
        TMemoryDataSet many;
        test::FillDataSet(many, 1000);
        dialog.DataSet = &many;
        const std::string target = dir.file("out.csv");
        test::WriteFile(target, "old contents");
        int rows = 0;
        std::string status;
        configure = [&](TestForm& f) {
            f.realProgressWindow = true;
            f.answer = TestForm::IDYES;
            f.state.ShowFile = false;
            dialog.OnExportedRecord = [&f, &rows, c](TExporter&, int) {
                if (rows >= c.fastRows)
                    f.clock += 1.0 / 64;
                if (++rows == c.clickAt)
                    for (QWidget* w : QApplication::topLevelWidgets())
                        if (auto* window = qobject_cast<TfmExporterProgress*>(w))
                            QMetaObject::invokeMethod(window->bButton, "click", Qt::QueuedConnection);
            };
            f.onWait = [&status] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* window = qobject_cast<TfmExporterProgress*>(w); window && window->isVisible()) {
                        status = window->laStatusValue->text().toStdString();
                        window->bButton->click();
                    }
            };
        };
        dialog.Execute();
        EXPECT_EQ(rows, c.stopsAfter);
        EXPECT_EQ(status, "Aborted");
        EXPECT_EQ(test::ReadFile(target), "old contents");
    }
}

// The component's text handler sees every cell and its text is written; without one the exporter has no
// text handler bound, so that it reads each row in one call.
TEST_F(ExportDialogRun, TheComponentsTextHandlerSeesEveryCell) {
    bool bound = true;
    inspect = [&](TestForm& f) { bound = bool(f.Exporter()->OnGetExportText); };
    dialog.Execute();
    EXPECT_FALSE(bound);

    int cells = 0;
    dialog.OnGetExportText = [&](TExporter&, int colNo, std::string& text) {
        ++cells;
        if (colNo == 0)
            text = "<" + text + ">";
    };
    dialog.Execute();
    EXPECT_TRUE(bound);
    EXPECT_EQ(cells, 6);
    EXPECT_EQ(test::ReadFile(dir.file("out.csv")),
              "\"Name\",\"Count\"\r\n\"<row1>\",\"1\"\r\n\"<row2>\",\"2\"\r\n\"<row3>\",\"3\"\r\n");
}

TEST_F(ExportDialogRun, StopQuestionAnsweredYesAborts) {
    configure = [](TestForm& f) {
        f.abortOnExportedPost = 1;
        f.answer = TestForm::IDYES;
    };
    dialog.Execute();
    EXPECT_EQ(
        log, (Log{"post:1", "post:4", "post:5", "ask:Are you sure?|Do you want to abort export?", "post:7"}));
    EXPECT_EQ(flags, std::vector<unsigned>{0x124});
    EXPECT_TRUE(opened.empty()); // aborted: not shown
}

// Cancel while preparing (1), fetching for the widths (2), skipping (3) or exporting (4): the question is
// asked at once, the window learns the abort (7) and ends, and the file that was there stays as it was;
// answering No goes on with the phase.
TEST_F(ExportDialogRun, CancelInEveryPhaseAsksAndKeepsTheOldFile) {
    const std::string target = dir.file("out.txt");
    for (bool showFile : {false, true}) {
        for (int phase : {1, 2, 3, 4}) {
            SCOPED_TRACE("phase " + std::to_string(phase) + (showFile ? " ShowFile" : ""));
            test::WriteFile(target, "old contents");
            configure = [&](TestForm& f) {
                f.state.ExportType = TAllowedExport::aeTXT; // widths are fetched first
                f.state.SkipRecCount = 1;
                f.state.ShowFile = showFile;
                f.abortOnCode = phase;
                f.answer = TestForm::IDYES;
            };
            waits = 0;
            dialog.Execute();
            const auto asked = std::find(log.begin(), log.end(), "post:5");
            ASSERT_NE(asked, log.end());
            ASSERT_EQ(std::next(asked, 2)[0], "post:7");
            EXPECT_EQ(log.back(), "post:7"); // nothing after the abort, no 8 and no 9
            EXPECT_EQ(std::count(log.begin(), log.end(), "post:5"), 1);
            EXPECT_EQ(std::count(log.begin(), log.end(), "post:" + std::to_string(phase)), 1);
            EXPECT_EQ(test::ReadFile(target), "old contents");
            EXPECT_TRUE(opened.empty());
            EXPECT_EQ(waits, showFile ? 0 : 2); // without ShowFile the window waits for its OK
        }
    }
    // Answered No, the run goes on and replaces the file.
    for (int phase : {1, 2, 3}) {
        SCOPED_TRACE(phase);
        test::WriteFile(target, "old contents");
        configure = [&](TestForm& f) {
            f.state.ExportType = TAllowedExport::aeTXT;
            f.state.SkipRecCount = 1;
            f.abortOnCode = phase;
            f.answer = TestForm::IDNO;
        };
        dialog.Execute();
        EXPECT_EQ(std::count(log.begin(), log.end(), "post:6"), 1);
        EXPECT_EQ(std::count(log.begin(), log.end(), "post:4"), 2);
        EXPECT_EQ(log.back(), "post:9");
        EXPECT_NE(test::ReadFile(target).find("row3"), std::string::npos);
    }
}

// With the engine's window: Cancel pressed while the widths are fetched asks the question, and the window
// ends as "Aborted" with an OK button that lets the run finish; the old file stays.
TEST_F(ExportDialogRun, CancelWhileFetchingEndsTheRealWindowAsAborted) {
    test::EnsureApplication();
    const std::string target = dir.file("out.txt");
    test::WriteFile(target, "old contents");
    std::string status, button;
    configure = [&](TestForm& f) {
        f.state.ExportType = TAllowedExport::aeTXT;
        f.state.ShowFile = false;
        f.realProgressWindow = true;
        f.answer = TestForm::IDYES;
        dialog.OnFetchedRecord = [](TExporter&, int recNo) {
            // The user presses Cancel once the window shows the pre-pass.
            if (recNo == 1)
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* window = qobject_cast<TfmExporterProgress*>(w))
                        window->bButton->click();
        };
        f.onWait = [&f, &status, &button] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* window = qobject_cast<TfmExporterProgress*>(w); window && window->isVisible()) {
                    status = window->laStatusValue->text().toStdString();
                    button = window->bButton->text().toStdString();
                    if (button == "OK")
                        window->bButton->click();
                    else if (f.waits > 20)
                        window->close(); // a hung window: the test closes it and fails below
                }
        };
    };
    dialog.Execute();
    EXPECT_EQ(status, "Aborted");
    EXPECT_EQ(button, "OK");
    EXPECT_LT(waits, 20);
    EXPECT_EQ(test::ReadFile(target), "old contents");
}

// An aborted run into a new file keeps what was written, closed as the format closes it.
TEST_F(ExportDialogRun, AnAbortedRunIntoANewFileKeepsTheClosedDocument) {
    configure = [](TestForm& f) {
        f.state.ExportType = TAllowedExport::aeDIFF;
        f.abortOnExportedPost = 1;
        f.answer = TestForm::IDYES;
    };
    dialog.Execute();
    const std::string dif = test::ReadFile(dir.file("out.dif"));
    EXPECT_NE(dif.find("row1"), std::string::npos);
    EXPECT_EQ(dif.find("row2"), std::string::npos);
    EXPECT_EQ(dif.substr(dif.size() - 11), "-1,0\r\nEOD\r\n");
}

TEST_F(ExportDialogRun, StopQuestionAnsweredNoContinues) {
    configure = [](TestForm& f) {
        f.abortOnExportedPost = 1;
        f.answer = TestForm::IDNO;
    };
    dialog.Execute();
    EXPECT_EQ(log, (Log{"post:1", "post:4", "post:5", "ask:Are you sure?|Do you want to abort export?",
                        "post:6", "post:4", "post:4", "post:8", "post:9"}));
}

TEST_F(ExportDialogRun, TheComponentsStopEventHasTheLastWord) {
    bool seen = false;
    dialog.OnStopExport = [&](TExporterDialog& sender, bool& canContinue) {
        seen = &sender == &dialog && canContinue; // the answer was No
        canContinue = false;
    };
    configure = [this](TestForm& f) {
        f.abortOnExportedPost = 2;
        f.answer = TestForm::IDNO;
        dialog.OnExportedRecord = [&f](TExporter&, int) { f.clock += 1; }; // every row is posted
    };
    dialog.Execute();
    EXPECT_TRUE(seen);
    EXPECT_EQ(log.back(), "post:7");
    EXPECT_EQ(std::count(log.begin(), log.end(), "post:8"), 0);
}

TEST_F(ExportDialogRun, AnExportErrorPropagatesAndTheWindowGoes) {
    ds.SetActive(false);
    bool freed = false;
    dialog.FormFactory = [&](TExporterDialog& owner) {
        auto form = std::make_unique<TestForm>(owner);
        form->state.ExportType = TAllowedExport::aeCSV;
        form->onProgressFreed = [&] { freed = true; };
        return form;
    };
    try {
        dialog.Execute();
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is closed");
    }
    EXPECT_TRUE(freed);
}

// --- what the start copies into the exporter ---

class ExportDialogPrepare : public ::testing::Test {
protected:
    void SetUp() override {
        test::FillDataSet(ds, 2);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
        form = std::make_unique<TestForm>(dialog);
    }
    TMemoryDataSet ds;
    TExporterDialog dialog;
    std::unique_ptr<TestForm> form;
};

TEST_F(ExportDialogPrepare, NoChosenFieldMeansEveryFieldButBlobs) {
    form->state.ExportType = TAllowedExport::aeCSV;
    auto e = form->PrepareExporter();
    EXPECT_EQ(e->ExportedFields.CommaText(), "Name,Count");

    form->state.ExportedFields = {{"Count", 1}, {"Notes", 2}};
    e = form->PrepareExporter();
    EXPECT_EQ(e->ExportedFields.CommaText(), "Count,Notes");
}

TEST_F(ExportDialogPrepare, CaptionsAlignAndWidthFromTheGrid) {
    form->state.ExportType = TAllowedExport::aeTXT;
    form->state.Captions = {
        {"Name", "Name", "Center", "12"}, {"Count", "Number", "Right", "5"}, {"Notes", "Notes", "?", "0"}};
    auto e = form->PrepareExporter();
    EXPECT_EQ(e->Captions.Text(), "Count=Number\r\n");
    EXPECT_EQ(e->ColumnsAlign.Values("Name"), "Center");
    EXPECT_EQ(e->ColumnsAlign.Values("Count"), "Right");
    EXPECT_EQ(e->ColumnsAlign.Values("Notes"), "Left");
    EXPECT_EQ(e->ColumnsWidth.Values("Name"), "12");

    // HTML takes the align column only; its grid's column 2 is the align cell.
    form->state.ExportType = TAllowedExport::aeHTML;
    form->state.Captions = {{"Name", "Name", "Right"}};
    e = form->PrepareExporter();
    EXPECT_EQ(e->ColumnsAlign.Values("Name"), "Right");
    EXPECT_EQ(e->ColumnsWidth.Count(), 0);
}

TEST_F(ExportDialogPrepare, SqlTableNameFromTheFileName) {
    form->state.ExportType = TAllowedExport::aeSQL;
    form->state.FileName = "/some/dir/orders.sql";
    form->state.SQL.StatementTerm = "!x";
    auto e = form->PrepareExporter();
    auto* sql = dynamic_cast<TExporterSQL*>(e.get());
    ASSERT_NE(sql, nullptr);
    EXPECT_EQ(sql->TableName, "ORDERS");
    EXPECT_EQ(sql->StatementTerm, '!');

    form->state.SQL.TableName = "t1";
    form->state.SQL.StatementTerm = "";
    e = form->PrepareExporter();
    EXPECT_EQ(dynamic_cast<TExporterSQL*>(e.get())->TableName, "t1");
    EXPECT_EQ(dynamic_cast<TExporterSQL*>(e.get())->StatementTerm, ';');
}

TEST_F(ExportDialogPrepare, CommonSettingsAndTypeOptions) {
    form->state.ExportType = TAllowedExport::aeCSV;
    form->state.FileName = "/x/data.xls";
    form->state.CSV.Comma = '\t';
    form->state.CSV.QuoteStrings = false;
    form->state.UserFormats = {{"Count", "0.0"}};
    form->state.Header.Add("top");
    form->state.Formats.SetBooleanTrue("yes");
    form->state.SkipRecCount = 1;
    form->state.PrintFile = true;
    auto e = form->PrepareExporter();
    auto* csv = dynamic_cast<TExporterASCII*>(e.get());
    ASSERT_NE(csv, nullptr);
    EXPECT_EQ(csv->ExportType(), TExportASCIIType::etCSV);
    EXPECT_EQ(csv->CSVComma, '\t');
    EXPECT_FALSE(csv->CSVQuoteStrings);
    EXPECT_EQ(csv->FileName, "/x/data.csv");
    EXPECT_TRUE(csv->PrintFile);
    EXPECT_EQ(csv->UserFormats.Values("Count"), "0.0");
    EXPECT_EQ(csv->Header.Text(), "top\r\n");
    EXPECT_EQ(csv->Formats.BooleanTrue(), "yes");
    EXPECT_EQ(csv->SkipRecCount, 1);
    EXPECT_EQ(csv->DataSet, &ds);

    // Without AutoChangeFileExt the name stays; the clipboard never changes it.
    dialog.AutoChangeFileExt = false;
    form->state.FileName = "/x/data.xls";
    form->PrepareExporter();
    EXPECT_EQ(form->state.FileName, "/x/data.xls");
}

TEST_F(ExportDialogPrepare, PageSettingsOfHtmlPdfAndRtf) {
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeHTML;
    s.HTMLMultiFile.FileRecCount = 20;
    s.HTMLMultiFile.NextLinkTitle = "More";
    s.HTMLPage.TextFont.Name = "Verdana";
    s.HTMLTable.OddRowBgColor = 0x010203;
    auto e = form->PrepareExporter();
    auto* html = dynamic_cast<TExporterHTML*>(e.get());
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(html->MaxRecords(), 0); // the multi-file option is off
    EXPECT_EQ(html->Navigation.NextLinkTitle, "More");
    EXPECT_EQ(html->HTMLOptions.TextFont.Name, "Verdana");
    EXPECT_EQ(html->TableOptions.OddRowBgColor, 0x010203u);
    s.HTMLUseMultiFile = true;
    e = form->PrepareExporter();
    EXPECT_EQ(dynamic_cast<TExporterHTML*>(e.get())->MaxRecords(), 20);

    // The PDF page's spacings and grid line go to the exporter with its fonts and page.
    s.ExportType = TAllowedExport::aePDF;
    s.PDF.PageOptions.SetFormat(TExportPageFormat::pfA5);
    s.PDF.PageOptions.SetOrientation(TExportPageOrientation::poLandscape);
    s.PDF.CaptionFont.FontSize = 15;
    s.PDF.RowSpacing = 2.0;
    s.PDF.GridLineWidth = 0;
    e = form->PrepareExporter();
    auto* pdf = dynamic_cast<TExporterPDF*>(e.get());
    ASSERT_NE(pdf, nullptr);
    EXPECT_EQ(pdf->Options.PageOptions.Format(), TExportPageFormat::pfA5);
    EXPECT_EQ(pdf->Options.PageOptions.Orientation(), TExportPageOrientation::poLandscape);
    EXPECT_EQ(pdf->Options.CaptionFont.FontSize, 15);
    EXPECT_EQ(pdf->Options.CaptionFont.ResourceName, "CaptionFont");
    EXPECT_DOUBLE_EQ(pdf->Options.RowSpacing, 2.0);
    EXPECT_EQ(pdf->Options.GridLineWidth, 0);

    s.ExportType = TAllowedExport::aeWord;
    s.RTF.StripType = TrtfStripType::stCol;
    s.RTF.StripStyles.Add().Font.Name = "Courier";
    s.RTF.DataStyle.Font.Size = 9;
    e = form->PrepareExporter();
    auto* rtf = dynamic_cast<TExporterRTF*>(e.get());
    ASSERT_NE(rtf, nullptr);
    EXPECT_EQ(rtf->Options.StripType, TrtfStripType::stCol);
    ASSERT_EQ(rtf->Options.StripStyles.Count(), 1);
    EXPECT_EQ(rtf->Options.DataStyle.Font.Size, 9);
}

TEST_F(ExportDialogPrepare, TheComponentForgetsASourceThatGoes) {
    dialog.Notification(&ds);
    EXPECT_EQ(dialog.DataSet, nullptr);
    EXPECT_THROW(dialog.Execute(), EExportError);
}

TEST_F(ExportDialogPrepare, TheWorkbookTakesItsPageAndTheChosenFieldFormats) {
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeXLS;
    s.Captions = {{"Name", "N", "40"}};
    s.XLS.SetSheetTitle("Data");
    s.XLS.PageHeader = "Top";
    s.XLS.StripType = ssRow;
    s.XLS.StripStyles.Add();
    s.XLS.HeaderFormat.Font.Size = 18;
    s.XLS.Cells.Add();
    for (const char* name : {"Name", "Count", "Notes"}) {
        TxlsFieldFormat& f = s.XLS.FieldFormats.Add();
        f.FieldName = name;
        f.Font.Size = 12;
    }
    s.ExportedFields = {{"Count", 1}};
    auto e = form->PrepareExporter();
    auto* xls = dynamic_cast<TExporterXLS*>(e.get());
    ASSERT_NE(xls, nullptr);
    EXPECT_EQ(xls->Options.SheetTitle(), "Data");
    EXPECT_EQ(xls->Options.PageHeader, "Top");
    EXPECT_EQ(xls->Options.HeaderFormat.Font.Size, 18);
    EXPECT_EQ(xls->StripType, ssRow);
    EXPECT_EQ(xls->StripStyles.Count(), 1u);
    EXPECT_EQ(xls->Cells.Count(), 1u);
    ASSERT_EQ(xls->FieldFormats.Count(), 1u);
    EXPECT_EQ(xls->FieldFormats.Items(0).FieldName, "Count");
    EXPECT_EQ(xls->ColumnsWidth.Values("Name"), "40");
    EXPECT_EQ(xls->ColumnsAlign.Count(), 0);
    EXPECT_EQ(xls->FileName, ""); // no file name given: nothing to rename

    // Nothing chosen: the formats of every available field, BLOBs included.
    s.ExportedFields.clear();
    e = form->PrepareExporter();
    EXPECT_EQ(dynamic_cast<TExporterXLS*>(e.get())->FieldFormats.Count(), 3u);
}

// The workbook's data cells look as the page showed them: a field without a format of its own takes the
// data format, a field with one keeps it; the data and note formats reach the exporter. Read with xlrd.
TEST_F(ExportDialogRun, TheDataFormatReachesTheWorkbook) {
    if (!testutil::PythonHasModule("xlrd"))
        GTEST_SKIP() << "python3-xlrd is not installed";
    configure = [](TestForm& f) {
        f.state.ExportType = TAllowedExport::aeXLS;
        f.state.XLS.DataFormat.Font.Name = "Courier New";
        f.state.XLS.DataFormat.Font.Size = 14;
        f.state.XLS.DataFormat.Font.Style = xfsBold;
        f.state.XLS.NoteFormat.Font.Size = 12;
        TxlsFieldFormat& count = f.state.XLS.FieldFormats.Add();
        count.FieldName = "Count";
        count.Font.Style = xfsItalic;
    };
    int noteSize = 0;
    std::string dataFont;
    inspect = [&](TestForm& f) {
        auto* xls = dynamic_cast<TExporterXLS*>(f.Exporter());
        ASSERT_NE(xls, nullptr);
        noteSize = xls->Options.NoteFormat.Font.Size;
        dataFont = xls->Options.DataFormat.Font.Name;
    };
    dialog.Execute();
    EXPECT_EQ(noteSize, 12);
    EXPECT_EQ(dataFont, "Courier New");
    const auto result = testutil::RunPython(R"(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
for col in range(2):
    font = book.font_list[book.xf_list[sheet.cell_xf_index(1, col)].font_index]
    print(sheet.cell_value(0, col), font.name, font.height // 20, font.weight, font.italic)
)",
                                            dir.file("out.xls"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "Name Courier New 14 700 0\nCount arial 10 400 1\n");
}

// The workbook's row, record and text events reach the component's, a row left out and a text changed in
// the file; a forwarder is bound only where the component has the event, so that without one the
// workbook takes each cell's value as its text.
TEST_F(ExportDialogRun, AWorkbookRunWritesTheFileAndFiresTheWorkbookEvents) {
    configure = [](TestForm& f) { f.state.ExportType = TAllowedExport::aeXLS; };
    std::vector<std::string> bound;
    inspect = [&](TestForm& f) {
        auto* xls = dynamic_cast<TExporterXLS*>(f.Exporter());
        ASSERT_NE(xls, nullptr);
        bound.clear();
        const std::pair<const char*, bool> forwarders[] = {{"row", bool(xls->OnBeforeExportRow)},
                                                           {"xlsRow", bool(xls->OnAdvancedBeforeExportRow)},
                                                           {"xlsRecord", bool(xls->OnAdvancedExportedRecord)},
                                                           {"xlsText", bool(xls->OnAdvancedGetExportText)}};
        for (const auto& [name, isBound] : forwarders)
            if (isBound)
                bound.push_back(name);
    };
    dialog.FileName = dir.file("book.txt");
    dialog.Execute();
    EXPECT_EQ(bound, std::vector<std::string>{});

    int xlsRecords = 0, xlsRows = 0;
    dialog.OnExportedRecordXLS = [&](TExporter&, int sheet, int) { xlsRecords += sheet == 0 ? 1 : 100; };
    dialog.OnBeforeExportRow = [](TExporter&, TExportRow& row, bool& accept) {
        accept = row[0].Value != "row2";
    };
    dialog.OnBeforeExportXLSRow = [&](TExporter&, int, TExportRow&, bool&) { ++xlsRows; };
    dialog.OnGetExportXLSText = [](TExporter&, int, int colNo, std::string& text) {
        if (colNo == 0)
            text = "<" + text + ">";
    };
    dialog.Execute();
    EXPECT_EQ(bound, (std::vector<std::string>{"row", "xlsRow", "xlsRecord", "xlsText"}));
    EXPECT_EQ(fileName, dir.file("book.xls"));
    EXPECT_EQ(log, (Log{"post:1", "post:4", "post:4", "post:8", "post:9"}));
    EXPECT_EQ(xlsRecords, 3); // a row left out is a record passed too
    EXPECT_EQ(xlsRows, 3);
    // A compound file.
    EXPECT_EQ(test::ReadFile(dir.file("book.xls")).substr(0, 4), "\xD0\xCF\x11\xE0");
    if (!testutil::PythonHasModule("xlrd"))
        GTEST_SKIP() << "python3-xlrd is not installed: the texts are not read back";
    const auto result = testutil::RunPython(R"(
import sys, xlrd
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
for row in range(sheet.nrows):
    print(sheet.row_values(row))
)",
                                            dir.file("book.xls"));
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "['Name', 'Count']\n['<row1>', 1.0]\n['<row3>', 3.0]\n");
}

} // namespace
} // namespace exporter
