#include "DialogTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterSQL.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(log, (Log{"post:1", "post:4", "post:4", "post:4", "post:8"}));
    EXPECT_EQ(waits, 3);
    EXPECT_TRUE(opened.empty());
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
    configure = [](TestForm& f) {
        f.abortOnExportedPost = 2;
        f.answer = TestForm::IDNO;
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

TEST_F(ExportDialogPrepare, TheWorkbookNeedsItsFactory) {
    form->state.ExportType = TAllowedExport::aeXLS;
    EXPECT_THROW(form->PrepareExporter(), EExportError);
    form->XLSExporterFactory = [](TExporterDialogF&) { return std::make_unique<TExporterASCII>(); };
    form->state.Captions = {{"Name", "N", "40"}};
    auto e = form->PrepareExporter();
    EXPECT_EQ(e->ColumnsWidth.Values("Name"), "40");
    EXPECT_EQ(e->ColumnsAlign.Count(), 0);
}

} // namespace
} // namespace exporter
