// The form's logic without the window: the settings it takes over, the type change, the field choice,
// the user formats and the caption row.

#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormLogic.h"

#include <gtest/gtest.h>

namespace exporter {
namespace {

using A = TAllowedExport;
using P = TExportFormPage;

std::vector<std::string> Captions(const std::vector<TExportFieldItem>& items) {
    std::vector<std::string> names;
    for (const auto& item : items)
        names.push_back(item.Caption);
    return names;
}

TEST(ExportDialogFormPages, TheTypePagesAndTheCommonPagesFollowTheType) {
    const TCommonOptions all = AllCommonOptions();
    // One type page each, shared by TXT and CSV and by Word and RTF.
    EXPECT_TRUE(IsPageVisible(P::tshASCII, A::aeTXT, all));
    EXPECT_TRUE(IsPageVisible(P::tshASCII, A::aeCSV, all));
    EXPECT_FALSE(IsPageVisible(P::tshASCII, A::aeDIFF, all));
    EXPECT_TRUE(IsPageVisible(P::tshRTF, A::aeWord, all));
    EXPECT_FALSE(IsPageVisible(P::tshXLS, A::aeCSV, all));

    // DBF: only the fields; SQL: no formats or captions; XML: no header/footer or captions.
    for (P page : {P::tshFormats, P::tshHeaderFooter, P::tshCaptions})
        EXPECT_FALSE(IsPageVisible(page, A::aeDBF, all));
    EXPECT_TRUE(IsPageVisible(P::tshFields, A::aeDBF, all));
    EXPECT_FALSE(IsPageVisible(P::tshFormats, A::aeSQL, all));
    EXPECT_TRUE(IsPageVisible(P::tshHeaderFooter, A::aeSQL, all));
    EXPECT_FALSE(IsPageVisible(P::tshCaptions, A::aeSQL, all));
    EXPECT_TRUE(IsPageVisible(P::tshFormats, A::aeXML, all));
    EXPECT_FALSE(IsPageVisible(P::tshHeaderFooter, A::aeXML, all));

    // The common options hide a common page for every type, but do not make it foreign to the type.
    const TCommonOptions noCaptions{TCommonOption::coFields, TCommonOption::coFormats,
                                    TCommonOption::coColons};
    EXPECT_FALSE(IsPageVisible(P::tshCaptions, A::aeCSV, noCaptions));
    EXPECT_TRUE(IsPageOfType(P::tshCaptions, A::aeCSV));
    EXPECT_FALSE(IsPageOfType(P::tshCaptions, A::aeXML));
    EXPECT_FALSE(IsPageOfType(P::tshPDF, A::aeCSV));
    EXPECT_TRUE(IsPageOfType(P::tshExportType, A::aeClipboard));
}

TEST(ExportDialogFormPages, TheCaptionsGridHasTheColumnsOfTheType) {
    TCaptionsGridLayout rtf = CaptionsGridLayout(A::aeRTF);
    EXPECT_EQ(rtf.ColumnWidths, (std::vector<int>{150, 150, 78, 60}));
    EXPECT_EQ(rtf.Title, "Caption && Width && Align");
    EXPECT_EQ(CaptionsGridHeader(A::aeRTF),
              (std::vector<std::string>{"Field name", "Caption", "Align", "Width"}));

    EXPECT_EQ(CaptionsGridLayout(A::aeXLS).Title, "Caption && Width");
    EXPECT_EQ(CaptionsGridHeader(A::aeXLS), (std::vector<std::string>{"Field name", "Caption", "Width"}));
    EXPECT_EQ(CaptionsGridLayout(A::aeHTML).Title, "Caption && Align");
    EXPECT_EQ(CaptionsGridHeader(A::aeHTML), (std::vector<std::string>{"Field name", "Caption", "Align"}));
    TCaptionsGridLayout csv = CaptionsGridLayout(A::aeCSV);
    EXPECT_EQ(csv.ColumnWidths, (std::vector<int>{220, 220}));
    EXPECT_EQ(csv.Title, "Caption");
}

TEST(ExportDialogFormTexts, CaptionFilterAndSamples) {
    EXPECT_EQ(ExportDialogCaption(""), "Export dialog");
    EXPECT_EQ(ExportDialogCaption("/tmp/out/data.csv"), "Export dialog -- Export to [data.csv]");
    EXPECT_EQ(ExportDialogCaption("C:\\x\\data.csv"), "Export dialog -- Export to [data.csv]");

    EXPECT_EQ(QtFileFilter("Text (*.txt)|*.txt|All files (*.*)|*.*"), "Text (*.txt);;All files (*)");
    EXPECT_EQ(QtFileFilter(""), "");

    EXPECT_EQ(UserFormatSamples(TExportColType::ectInteger), (std::vector<std::string>{"#,###,##0", "0"}));
    EXPECT_EQ(UserFormatSamples(TExportColType::ectFloat).size(), 4u);
    EXPECT_EQ(UserFormatSamples(TExportColType::ectDateTime).size(), 8u);
    EXPECT_TRUE(UserFormatSamples(TExportColType::ectString).empty());
}

class ExportDialogFormModel : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Price", TFieldType::ftFloat});
        ds.AddField({"Notes", TFieldType::ftMemo});
        ds.AddRow({"a", "1", "1.5", "n"});
        dialog.DataSet = &ds;
    }
    void Fill() {
        dialog.Columns.Clear();
        dialog.Columns.Fill(true);
    }
    TExportFormModel& Init() {
        Fill();
        model.InitializeState();
        return model;
    }

    TMemoryDataSet ds;
    TExporterDialog dialog;
    TExportFormState state;
    TExportFormModel model{dialog, state};
};

TEST_F(ExportDialogFormModel, TakesOverTheComponentsSettings) {
    dialog.FileName = "/data/out.txt";
    dialog.ShowFile = false;
    dialog.PrintFile = true;
    dialog.GoToFirstRecord = false;
    dialog.ExportRecCount = 7;
    dialog.SkipRecCount = 2;
    dialog.AllowCaptions = false;
    dialog.Header.Add("head");
    dialog.Formats.SetBooleanTrue("yes");
    dialog.SQLOptions.TableName = "T1";
    dialog.CSVOptions.Comma = ';';
    dialog.XLSOptions.PageHeader = "ph";
    dialog.AllowedExports = {A::aeSQL, A::aeCSV};
    dialog.UserFormats.Add("Count=0000");
    Init();

    EXPECT_EQ(state.ShowFile, false);
    EXPECT_EQ(state.PrintFile, true);
    EXPECT_EQ(state.GoToFirstRecord, false);
    EXPECT_EQ(state.ExportRecCount, 7);
    EXPECT_EQ(state.SkipRecCount, 2);
    EXPECT_FALSE(state.AllowCaptions);
    EXPECT_EQ(state.Header.Count(), 1);
    EXPECT_EQ(state.Formats.BooleanTrue(), "yes");
    EXPECT_EQ(state.SQL.TableName, "T1");
    EXPECT_EQ(state.CSV.Comma, ';');
    EXPECT_EQ(state.XLS.PageHeader, "ph");
    // Every column is available, none exported; the column with its own format has a user format.
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Name", "Count", "Price", "Notes"}));
    EXPECT_TRUE(state.ExportedFields.empty());
    ASSERT_EQ(state.UserFormats.size(), 1u);
    EXPECT_EQ(state.UserFormats[0].FieldName, "Count");
    EXPECT_EQ(state.UserFormats[0].Format, "0000");
    // The first offered type in type order is chosen, and the file takes its extension.
    EXPECT_EQ(state.ExportType, A::aeCSV);
    EXPECT_EQ(state.FileName, "/data/out.csv");
    EXPECT_TRUE(state.CaptionsPageVisible);
    // The component keeps its own values.
    EXPECT_EQ(dialog.FileName, "/data/out.txt");

    // Changes of the form's copies stay in the form.
    state.SQL.TableName = "T2";
    EXPECT_EQ(dialog.SQLOptions.TableName, "T1");
}

TEST_F(ExportDialogFormModel, TheTypeChangeRenamesTheFileAndSetsThePages) {
    dialog.FileName = "C:\\x\\data.xls";
    dialog.AllowedExports = {A::aeCSV, A::aeSQL, A::aeClipboard, A::aeXML, A::aeXLS};
    Init();
    EXPECT_EQ(state.ExportType, A::aeXLS);
    EXPECT_EQ(model.SaveFilter(), ExportLoadStr(34000));

    EXPECT_TRUE(model.ChangeType(A::aeCSV));
    EXPECT_EQ(state.FileName, "C:\\x\\data.csv");
    EXPECT_EQ(model.SaveFilter(), ExportLoadStr(34008));

    EXPECT_TRUE(model.ChangeType(A::aeSQL));
    EXPECT_FALSE(state.FormatsPageVisible);
    EXPECT_TRUE(state.HeaderFooterPageVisible);
    EXPECT_FALSE(state.CaptionsPageVisible);

    // The clipboard keeps the name and may start without one.
    EXPECT_TRUE(model.ChangeType(A::aeClipboard));
    EXPECT_EQ(state.FileName, "C:\\x\\data.sql");
    state.FileName.clear();
    EXPECT_TRUE(model.StartEnabled());
    EXPECT_TRUE(model.ChangeType(A::aeXML));
    EXPECT_FALSE(model.StartEnabled());

    // A type that is not offered changes nothing.
    EXPECT_FALSE(model.ChangeType(A::aePDF));
    EXPECT_EQ(state.ExportType, A::aeXML);
}

TEST_F(ExportDialogFormModel, ANameWithoutExtensionGetsOneOnlyWithAutoChange) {
    dialog.FileName = "/tmp/report";
    Init();
    EXPECT_EQ(state.FileName, "/tmp/report.xls");

    dialog.AutoChangeFileExt = false;
    dialog.FileName = "/tmp/report";
    TExportFormState other;
    TExportFormModel second(dialog, other);
    second.InitializeState();
    second.ChangeType(A::aeCSV);
    EXPECT_EQ(other.FileName, "/tmp/report");
}

TEST_F(ExportDialogFormModel, TheCaptionsGridTakesAlignAndWidthOfTheColumns) {
    Fill();
    dialog.Columns[1].ColAlign = TExportColAlign::ecaRight;
    dialog.Columns[1].Width = 12;
    model.InitializeState();
    model.ChangeType(A::aeHTML);
    ASSERT_EQ(state.Captions.size(), 4u);
    EXPECT_EQ(state.Captions[1], (TExportCaptionRow{"Count", "Count", "Right"}));
    model.ChangeType(A::aeXLS);
    EXPECT_EQ(state.Captions[1], (TExportCaptionRow{"Count", "Count", "12"}));
    model.ChangeType(A::aeTXT);
    EXPECT_EQ(state.Captions[1], (TExportCaptionRow{"Count", "Count", "Right", "12"}));
    model.ChangeType(A::aeCSV);
    EXPECT_EQ(state.Captions[1], (TExportCaptionRow{"Count", "Count"}));
}

TEST_F(ExportDialogFormModel, FieldsGoBackToTheirSourcePlace) {
    Init();
    EXPECT_EQ(model.AddExportedField(3), 0); // Notes
    EXPECT_EQ(model.AddExportedField(0), 1); // Name
    EXPECT_EQ(model.AddExportedField(5), -1);
    EXPECT_EQ(Captions(state.ExportedFields), (std::vector<std::string>{"Notes", "Name"}));
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Count", "Price"}));

    // Adding all puts the available ones in front, in available order.
    model.AddAllExportedFields();
    EXPECT_EQ(Captions(state.ExportedFields), (std::vector<std::string>{"Count", "Price", "Notes", "Name"}));
    EXPECT_TRUE(state.AvailableFields.empty());

    // Moving one within the list.
    EXPECT_EQ(model.MoveExportedField(0, 2), 2);
    EXPECT_EQ(Captions(state.ExportedFields), (std::vector<std::string>{"Price", "Notes", "Count", "Name"}));
    EXPECT_EQ(model.MoveExportedField(3, 0), 0);
    EXPECT_EQ(Captions(state.ExportedFields), (std::vector<std::string>{"Name", "Price", "Notes", "Count"}));

    // One back, then all: the available list is in source order again.
    EXPECT_EQ(model.DeleteExportedField(2), 0); // Notes is the only one, at 0
    model.DeleteAllExportedFields();
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Name", "Count", "Price", "Notes"}));
    EXPECT_TRUE(state.ExportedFields.empty());
    EXPECT_EQ(model.DeleteExportedField(0), -1);
}

TEST_F(ExportDialogFormModel, DropsMoveTheDraggedItem) {
    Init();
    // Onto the exported list, from either list: to its end.
    EXPECT_EQ(model.DropOnExported(false, 2), 0); // Price
    EXPECT_EQ(model.DropOnExported(false, 0), 1); // Name
    EXPECT_EQ(model.DropOnExported(true, 0), 1);  // Price again, now last
    EXPECT_EQ(Captions(state.ExportedFields), (std::vector<std::string>{"Name", "Price"}));
    EXPECT_EQ(model.DropOnExported(true, 7), -1);
    // Within the available list: below the target goes after it, above takes its place.
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Count", "Notes"}));
    model.DeleteAllExportedFields();
    EXPECT_EQ(model.DropAvailableOnAvailable(0, 2), 2);
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Count", "Price", "Name", "Notes"}));
    EXPECT_EQ(model.DropAvailableOnAvailable(3, 0), 0);
    EXPECT_EQ(Captions(state.AvailableFields), (std::vector<std::string>{"Notes", "Count", "Price", "Name"}));
    EXPECT_EQ(model.DropAvailableOnAvailable(1, 9), -1);
}

TEST_F(ExportDialogFormModel, AUserFormatPerFieldAndStrictNumbers) {
    Init();
    EXPECT_EQ(model.AddUserFormat("Count", "0"), 0);
    EXPECT_EQ(model.AddUserFormat("Price", "0.00"), 1);
    // The same field in another case replaces its row.
    EXPECT_EQ(model.AddUserFormat("COUNT", "#,##0"), 1);
    ASSERT_EQ(state.UserFormats.size(), 2u);
    EXPECT_EQ(state.UserFormats[0].FieldName, "Price");
    EXPECT_EQ(state.UserFormats[1].Format, "#,##0");
    EXPECT_EQ(model.AddUserFormat("Price", ""), -1);
    EXPECT_EQ(state.UserFormats.size(), 2u);
    model.DeleteUserFormat(0);
    model.DeleteUserFormat(9);
    EXPECT_EQ(state.UserFormats.size(), 1u);
    model.ClearUserFormats();
    EXPECT_TRUE(state.UserFormats.empty());

    EXPECT_TRUE(model.SetExportRecCountText("25"));
    EXPECT_FALSE(model.SetExportRecCountText("2x"));
    EXPECT_EQ(state.ExportRecCount, 25);
    EXPECT_FALSE(model.SetSkipRecCountText(""));
    EXPECT_EQ(state.SkipRecCount, 0);
    model.SetCaptionRowText("3");
    model.SetCaptionRowText("abc");
    EXPECT_EQ(state.CaptionRow, 3);
}

// What users type for a separator or quote; a text that cannot be one leaves the value as it was.
TEST(ExportDialogSeparatorText, AcceptsOneCharacterCodesAndTabNames) {
    const struct {
        const char* text;
        bool valid;
        char ch;
    } cases[] = {{";", true, ';'},    {"\\t", true, '\t'}, {"tab", true, '\t'}, {"TAB", true, '\t'},
                 {"#9", true, '\t'},  {"#59", true, ';'},  {"#0", true, '\0'},  {"", true, '\0'},
                 {"t", true, 't'},    {";;", false, '*'},  {"abc", false, '*'}, {"#256", false, '*'},
                 {"#-1", false, '*'}, {"#x", false, '*'},  {"\\n", false, '*'}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        char ch = '*';
        EXPECT_EQ(SeparatorFromText(c.text, ch), c.valid);
        EXPECT_EQ(ch, c.ch);
    }
    EXPECT_EQ(SeparatorTextError(";;").rfind("\";;\" cannot be a separator", 0), 0u);
}

TEST(ExportDialogFormCaptionRow, CaptionsComeFromTheSourceGridsRow) {
    TMemoryStringGrid grid({{"h0", "h1"}, {"Id", "Name"}, {"1", "x"}}, 1);
    TExporterDialog dialog;
    dialog.ExportSource = TExportSource::esStringGrid;
    dialog.StringGrid = &grid;
    dialog.Columns.Fill(true);
    TExportFormState state;
    TExportFormModel model(dialog, state);
    model.InitializeState();
    EXPECT_TRUE(model.CaptionRowVisible());
    ASSERT_EQ(state.Captions.size(), 2u);
    // The grid's columns are named by their index.
    EXPECT_EQ(state.Captions[0][0], "0");

    model.SetCaptionRowText("1");
    EXPECT_EQ(state.Captions[0][1], "Id");
    EXPECT_EQ(state.Captions[1][1], "Name");
    // A row beyond the grid reads nothing (and does not read past it).
    const auto before = state.Captions;
    model.SetCaptionRowText("3");
    EXPECT_EQ(state.Captions, before);
}

} // namespace
} // namespace exporter
