#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormRTF.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterOptionsFile.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

namespace exporter {
namespace {

using test::TestForm;

class ExportOptionsFile : public ::testing::Test {
protected:
    void SetUp() override {
        test::FillDataSet(ds, 1);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }

    // A form state as the form makes it from the component.
    std::unique_ptr<TestForm> NewForm() { return std::make_unique<TestForm>(dialog); }

    static void SetFormats(TExportFormats& f) {
        f.SetIntegerFormat("0");
        f.SetFloatFormat("0.00");
        f.SetDateFormat("yyyy-mm-dd");
        f.SetTimeFormat("hh:nn");
        f.SetDateTimeFormat("yyyy-mm-dd hh:nn");
        f.SetCurrencyFormat("0.00 EUR");
        f.SetBooleanTrue("yes");
        f.SetBooleanFalse("no");
        f.SetNullString("-");
    }

    test::TempDir dir;
    TMemoryDataSet ds;
    TExporterDialog dialog;
    TExportOptionsFile file{dialog};
};

// A section is appended after a blank line.
TEST_F(ExportOptionsFile, SaveWritesTheSectionsInOrder) {
    auto form = NewForm();
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeCSV;
    s.FileName = "/x/a.csv";
    s.SkipRecCount = 2;
    SetFormats(s.Formats);
    s.UserFormats = {{"Count", "0.0"}};
    s.ExportedFields = {{"Count", 1}, {"Name", 0}};
    s.Header.Add("Top");
    s.Captions = {{"Name", "Label"}, {"Count", "Count"}};
    s.CSV.Comma = '\t';
    s.CSV.Quote = '"';

    const std::string name = dir.file("a.cfg");
    file.SaveExportOptions(name, s);
    EXPECT_EQ(test::ReadFile(name), "[GENERAL]\r\n"
                                    "ExportType=8\r\n"
                                    "FileName=/x/a.csv\r\n"
                                    "ShowFile=1\r\n"
                                    "PrintFile=0\r\n"
                                    "GoToFirstRecord=1\r\n"
                                    "ExportEmpty=1\r\n"
                                    "CurrentRecordOnly=0\r\n"
                                    "ExportRecCount=0\r\n"
                                    "SkipRecCount=2\r\n"
                                    "AllowCaptions=1\r\n"
                                    "CaptionRow=-1\r\n"
                                    "\r\n[FORMATS]\r\n"
                                    "Integer=0\r\n"
                                    "Float=0.00\r\n"
                                    "Date=yyyy-mm-dd\r\n"
                                    "Time=hh:nn\r\n"
                                    "DateTime=yyyy-mm-dd hh:nn\r\n"
                                    "Currency=0.00 EUR\r\n"
                                    "BooleanTrue=yes\r\n"
                                    "BooleanFalse=no\r\n"
                                    "NullString=-\r\n"
                                    "\r\n[USER_FORMATS]\r\n"
                                    "Count=0.0\r\n"
                                    "\r\n[FIELDS]\r\n"
                                    "field0=Count\r\n"
                                    "field1=Name\r\n"
                                    "\r\n[HEADER]\r\n"
                                    "line0=Top\r\n"
                                    "\r\n[CAPTIONS]\r\n"
                                    "Name=Label\r\n"
                                    "Count=Count\r\n"
                                    "\r\n[CSV]\r\n"
                                    "QuoteStrings=1\r\n"
                                    "Comma=#9\r\n"
                                    "Quote=\"\r\n");
}

TEST_F(ExportOptionsFile, HiddenPagesAreNotSavedAndASecondSaveReplacesTheFirst) {
    auto form = NewForm();
    TExportFormState& s = form->state;
    const std::string name = dir.file("b.cfg");

    s.ExportType = TAllowedExport::aeXLS;
    s.Header.Add("x");
    file.SaveExportOptions(name, s);
    ini::IniFile first(name);
    EXPECT_TRUE(first.SectionExists("XLS"));
    EXPECT_TRUE(first.SectionExists("XLS_OPTION_CAPTION"));

    // Saving as dBase: the formats, header/footer and captions pages are hidden for it.
    s.ExportType = TAllowedExport::aeDBF;
    s.FormatsPageVisible = s.HeaderFooterPageVisible = s.CaptionsPageVisible = false;
    s.ExportedFields = {{"Name", 0}};
    file.SaveExportOptions(name, s);
    ini::IniFile second(name);
    EXPECT_EQ(second.ReadSections(), (std::vector<std::string>{"GENERAL", "FIELDS"}));
}

TEST_F(ExportOptionsFile, RoundTripOfTheGeneralPages) {
    auto saved = NewForm();
    TExportFormState& s = saved->state;
    s.ExportType = TAllowedExport::aeTXT;
    s.FileName = "/x/t.txt";
    s.ShowFile = false;
    s.PrintFile = true;
    s.CurrentRecordOnly = true;
    s.ExportRecCount = 7;
    s.AllowCaptions = false;
    SetFormats(s.Formats);
    s.UserFormats = {{"Count", "#0"}};
    s.ExportedFields = {{"Notes", 2}, {"Name", 0}};
    s.AvailableFields = {{"Count", 1}};
    s.Header.Add("h1");
    s.Header.Add("h2");
    s.Footer.Add("f");
    s.Captions = {
        {"Name", "Label", "Right", "12"}, {"Count", "Count", "Center", "abc"}, {"Notes", "N", "Left", "3"}};
    s.TXT.AutoCalcColWidth = false;
    s.TXT.ColSpacing = 4;
    const std::string name = dir.file("t.cfg");
    file.SaveExportOptions(name, s);

    auto loaded = NewForm();
    loaded->state.ExportType = TAllowedExport::aeTXT;
    file.LoadExportOptions(name, loaded->state);
    const TExportFormState& l = loaded->state;
    EXPECT_EQ(l.FileName, "/x/t.txt");
    EXPECT_FALSE(l.ShowFile);
    EXPECT_TRUE(l.PrintFile);
    EXPECT_TRUE(l.CurrentRecordOnly);
    EXPECT_EQ(l.ExportRecCount, 7);
    EXPECT_FALSE(l.AllowCaptions);
    EXPECT_EQ(l.Formats.DateTimeFormat(), "yyyy-mm-dd hh:nn");
    EXPECT_EQ(l.Formats.NullString(), "-");
    ASSERT_EQ(l.UserFormats.size(), 1u);
    EXPECT_EQ(l.UserFormats[0].Format, "#0");
    ASSERT_EQ(l.ExportedFields.size(), 2u);
    EXPECT_EQ(l.ExportedFields[0].Caption, "Notes");
    EXPECT_EQ(l.ExportedFields[1].Caption, "Name");
    ASSERT_EQ(l.AvailableFields.size(), 1u);
    EXPECT_EQ(l.AvailableFields[0].Caption, "Count");
    EXPECT_EQ(l.Header.Text(), "h1\r\nh2\r\n");
    EXPECT_EQ(l.Footer.Text(), "f\r\n");
    // A width that is not a number was left out of the file and comes back as 0.
    EXPECT_EQ(l.Captions, (std::vector<TExportCaptionRow>{{"Name", "Label", "Right", "12"},
                                                          {"Count", "Count", "Center", "0"},
                                                          {"Notes", "N", "Left", "3"}}));
    EXPECT_FALSE(l.TXT.AutoCalcColWidth);
    EXPECT_EQ(l.TXT.ColSpacing, 4);
}

TEST_F(ExportOptionsFile, LoadingFollowsTheFileAndTheComponent) {
    const std::string name = dir.file("l.cfg");
    test::WriteFile(name, "[GENERAL]\r\nExportType=12\r\nSkipRecCount=x\r\n"
                          "[USER_FORMATS]\r\ncount=0.0\r\nGone=1\r\n"
                          "[FIELDS]\r\nb=Name\r\na=Count\r\nc=Nothing\r\n"
                          "[CSV]\r\nComma=#9\r\nQuote=#0\r\n"
                          "[SQL]\r\nTableName=T\r\n");
    dialog.SkipRecCount = 5;
    dialog.Formats.SetBooleanTrue("J");

    // SQL is not offered: the file's settings go into the type selected before (CSV).
    auto form = NewForm();
    TExportFormState& s = form->state;
    s.OfferedTypes = {TAllowedExport::aeCSV, TAllowedExport::aeTXT};
    s.ExportType = TAllowedExport::aeCSV;
    s.ExportedFields = {{"Notes", 2}};
    s.AvailableFields = {{"Name", 0}, {"Count", 1}};
    s.Formats.SetBooleanTrue("changed");
    file.LoadExportOptions(name, s);

    EXPECT_EQ(s.ExportType, TAllowedExport::aeCSV);
    EXPECT_EQ(s.SkipRecCount, 5);
    EXPECT_EQ(s.Formats.BooleanTrue(), "J");
    ASSERT_EQ(s.UserFormats.size(), 1u);
    EXPECT_EQ(s.UserFormats[0].FieldName, "count");
    ASSERT_EQ(s.ExportedFields.size(), 2u);
    EXPECT_EQ(s.ExportedFields[0].Caption, "Name");
    EXPECT_EQ(s.ExportedFields[1].Caption, "Count");
    ASSERT_EQ(s.AvailableFields.size(), 1u);
    EXPECT_EQ(s.AvailableFields[0].Caption, "Notes");
    EXPECT_EQ(s.CSV.Comma, '\t');
    EXPECT_EQ(s.CSV.Quote, '\0');
    EXPECT_EQ(s.SQL.TableName, "");

    // Offered, the type changes and the form's type change runs.
    int typeChanges = 0;
    file.OnTypeChange = [&](TExportFormState&) { ++typeChanges; };
    s.OfferedTypes.insert(TAllowedExport::aeSQL);
    file.LoadExportOptions(name, s);
    EXPECT_EQ(s.ExportType, TAllowedExport::aeSQL);
    EXPECT_EQ(typeChanges, 1);
    EXPECT_EQ(s.SQL.TableName, "T");
}

// A separator text from the file that cannot be one keeps the component's value; tab names are taken.
TEST_F(ExportOptionsFile, ASeparatorThatCannotBeOneKeepsTheDefault) {
    const std::string name = dir.file("sep.cfg");
    dialog.CSVOptions.Comma = ',';
    auto form = NewForm();
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeCSV;
    test::WriteFile(name, "[GENERAL]\r\nExportType=8\r\n[CSV]\r\nComma=;;\r\nQuote=abc\r\n");
    file.LoadExportOptions(name, s);
    EXPECT_EQ(s.CSV.Comma, ',');
    EXPECT_EQ(s.CSV.Quote, '"');
    test::WriteFile(name, "[GENERAL]\r\nExportType=8\r\n[CSV]\r\nComma=tab\r\nQuote=#39\r\n");
    file.LoadExportOptions(name, s);
    EXPECT_EQ(s.CSV.Comma, '\t');
    EXPECT_EQ(s.CSV.Quote, '\'');
}

TEST_F(ExportOptionsFile, AMissingFileLoadsTheComponentsValues) {
    dialog.FileName = "/c/d.xls";
    dialog.ShowFile = false;
    auto form = NewForm();
    form->state.FileName = "other";
    form->state.Header.Add("x");
    form->state.Captions = {{"Name", "L"}};
    form->state.ExportType = TAllowedExport::aeHTML;
    file.LoadExportOptions(dir.file("none.cfg"), form->state);
    EXPECT_EQ(form->state.FileName, "/c/d.xls");
    EXPECT_FALSE(form->state.ShowFile);
    EXPECT_EQ(form->state.Header.Count(), 0);
    // The type read by default is the first (the workbook), whose grid has a width column.
    EXPECT_EQ(form->state.ExportType, TAllowedExport::aeXLS);
    EXPECT_EQ(form->state.Captions[0], (TExportCaptionRow{"Name", "", "0"}));
    EXPECT_EQ(form->state.HTMLTable.TableBgColor, 0xEC7A00u);
}

// For every type, a saved file loads into a fresh form as the same state: saving that state again writes
// the same file, field formats of fields never edited included.
TEST_F(ExportOptionsFile, EveryTypeLoadsBackToTheSameState) {
    for (int t = 0; t < AllowedExportCount; ++t) {
        const auto type = TAllowedExport(t);
        SCOPED_TRACE(t);
        auto saved = NewForm();
        TExportFormState& s = saved->state;
        s.ExportType = type;
        s.FileName = "/x/out";
        s.ShowFile = false;
        s.SkipRecCount = 2;
        s.ExportRecCount = 5;
        SetFormats(s.Formats);
        s.UserFormats = {{"Count", "#0"}};
        s.ExportedFields = {{"Count", 1}, {"Name", 0}};
        s.AvailableFields = {{"Notes", 2}};
        s.Header.Add("top");
        s.Footer.Add("bottom");
        // The captions grid as the type lays it out.
        s.Captions.clear();
        for (const char* field : {"Name", "Count", "Notes"}) {
            TExportCaptionRow row{field, std::string(field) + "!", "", ""};
            if (CaptionAlignColumn(type) >= 0)
                row[size_t(CaptionAlignColumn(type))] = "Right";
            if (CaptionWidthColumn(type) >= 0)
                row[size_t(CaptionWidthColumn(type))] = "12";
            s.Captions.push_back(row);
        }
        s.XLS.DataFormat.Font.Name = "Courier New";
        s.XLS.DataFormat.Font.Size = 14;
        s.XLS.FieldFormats.Add().FieldName = "Count";
        s.XLS.FieldFormats.Items(0).Font.Style = xfsItalic;
        s.XLS.PageHeader = "ph";
        s.RTF.CaptionStyle.Font.Size = 16;
        s.RTF.StripStyles.Add().Font.Name = "Courier New";
        s.HTMLPage.Title = "Title";
        s.HTMLTable.CellPadding = 7;
        s.XML.Encoding = "UTF-8";
        s.SQL.TableName = "T1";
        s.SQL.CommitRecCount = 9;
        s.TXT.ColSpacing = 3;
        s.CSV.Comma = '\t';
        s.CSV.Quote = '\'';
        s.PDF.RowSpacing = 2.5;
        const std::string first = dir.file("first.cfg"), second = dir.file("second.cfg");
        file.SaveExportOptions(first, s);

        auto loaded = NewForm();
        file.LoadExportOptions(first, loaded->state);
        EXPECT_EQ(loaded->state.ExportType, type);
        file.SaveExportOptions(second, loaded->state);
        EXPECT_EQ(test::ReadFile(second), test::ReadFile(first));
        if (type == TAllowedExport::aeXLS) {
            // The field never edited comes back with the data format it showed.
            TxlsFieldFormat name;
            XLSFieldFormatOf(loaded->state.XLS, "Name", name);
            EXPECT_EQ(name.Font.Name, "Courier New");
            EXPECT_EQ(name.Font.Size, 14);
        }
    }
}

TEST_F(ExportOptionsFile, HtmlAndPdfPagesRoundTrip) {
    auto saved = NewForm();
    TExportFormState& s = saved->state;
    s.ExportType = TAllowedExport::aeHTML;
    s.HTMLPage.Title = "Report";
    s.HTMLPage.BackgroundColor = 0x0000FF; // a named colour
    s.HTMLTable.OddRowBgColor = 0x123456;
    s.HTMLPage.UsingCSS = TUsingCSS::usExternal;
    s.HTMLMultiFile.FileRecCount = 50;
    s.HTMLPage.AdvancedAttributes.Add("onload=x()");
    const std::string html = dir.file("h.cfg");
    file.SaveExportOptions(html, s);
    {
        ini::IniFile ini(html);
        EXPECT_EQ(ini.ReadString("HTML", "BackgroundColor", ""), "clRed");
        EXPECT_EQ(ini.ReadString("HTML", "OddRowBackgroundColor", ""), "$00123456");
    }
    auto loaded = NewForm();
    loaded->state.ExportType = TAllowedExport::aeHTML;
    file.LoadExportOptions(html, loaded->state);
    EXPECT_EQ(loaded->state.HTMLPage.Title, "Report");
    EXPECT_EQ(loaded->state.HTMLPage.BackgroundColor, 0x0000FFu);
    EXPECT_EQ(loaded->state.HTMLTable.OddRowBgColor, 0x123456u);
    EXPECT_EQ(loaded->state.HTMLPage.UsingCSS, TUsingCSS::usExternal);
    EXPECT_TRUE(loaded->state.HTMLUseMultiFile);
    EXPECT_EQ(loaded->state.HTMLPage.AdvancedAttributes.Text(), "onload=x()\r\n");

    s.ExportType = TAllowedExport::aePDF;
    s.PDF.ColSpacing = 2.5;
    s.PDF.GridLineWidth = 3;
    s.PDF.PageOptions.SetUnits(TExportUnits::unMillimeter);
    s.PDF.PageOptions.SetFormat(TExportPageFormat::pfA4);
    s.PDF.PageOptions.SetMarginLeft(20);
    s.PDF.DataFont.BaseFont = TPDFFontName::poCourier;
    s.PDF.DataFont.FontColor = 0x00FF00;
    const std::string pdf = dir.file("p.cfg");
    file.SaveExportOptions(pdf, s);
    {
        ini::IniFile ini(pdf);
        EXPECT_EQ(ini.ReadString("PDF", "ColSpacing", ""), "2.5");
        EXPECT_EQ(ini.ReadString("PDF", "RowSpacing", ""), "1.0");
        EXPECT_EQ(ini.ReadString("PDF_OPTION_DATA", "FontColor", ""), "clLime");
    }
    loaded->state.ExportType = TAllowedExport::aePDF;
    file.LoadExportOptions(pdf, loaded->state);
    const auto& page = loaded->state.PDF.PageOptions;
    EXPECT_DOUBLE_EQ(loaded->state.PDF.ColSpacing, 2.5);
    EXPECT_EQ(loaded->state.PDF.GridLineWidth, 3);
    EXPECT_EQ(page.Format(), TExportPageFormat::pfA4);
    EXPECT_EQ(page.Units(), TExportUnits::unMillimeter);
    EXPECT_EQ(page.WidthPoints(), s.PDF.PageOptions.WidthPoints());
    EXPECT_EQ(page.MarginLeftPoints(), s.PDF.PageOptions.MarginLeftPoints());
    EXPECT_EQ(loaded->state.PDF.DataFont.BaseFont, TPDFFontName::poCourier);
    EXPECT_EQ(loaded->state.PDF.DataFont.FontColor, 0x00FF00u);
}

TEST_F(ExportOptionsFile, StyleListsComeBackWithoutDoubling) {
    auto form = NewForm();
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeXLS;
    s.Captions = {{"Name", "Name", "20"}};
    s.XLS.SetSheetTitle("Data");
    s.XLS.StripType = ssCol;
    s.XLS.FieldFormats.Add().FieldName = "Name";
    s.XLS.FieldFormats.Items(0).Font.Size = 14;
    s.XLS.HyperlinkFormat.Font.Size = 9;
    s.XLS.StripStyles.Add().Font.Size = 11;
    s.XLS.StripStyles.Add().Font.Size = 12;
    const std::string xls = dir.file("x.cfg");
    file.SaveExportOptions(xls, s);
    {
        ini::IniFile ini(xls);
        EXPECT_EQ(ini.ReadSections(),
                  (std::vector<std::string>{
                      "GENERAL", "FORMATS", "CAPTIONS", "WIDTH", "XLS", "XLS_FIELD_NAME", "XLS_FIELD_COUNT",
                      "XLS_FIELD_NOTES", "XLS_OPTION_HEADER", "XLS_OPTION_CAPTION", "XLS_OPTION_AGGREGATE",
                      "XLS_OPTION_FOOTER", "XLS_OPTION_HYPERLINK", "XLS_STYLE_ITEM_1", "XLS_STYLE_ITEM_2"}));
    }
    s.XLS.FieldFormats.Items(0).Font.Size = 10;
    s.XLS.CaptionFormat.Font.Style = 0;
    file.LoadExportOptions(xls, s);
    file.LoadExportOptions(xls, s);
    EXPECT_EQ(s.XLS.SheetTitle(), "Data");
    EXPECT_EQ(s.XLS.StripType, ssCol);
    EXPECT_EQ(s.XLS.FieldFormats.Items(0).FieldName, "Name");
    EXPECT_EQ(s.XLS.FieldFormats.Items(0).Font.Size, 14);
    EXPECT_EQ(s.XLS.CaptionFormat.Font.Style, unsigned(xfsBold));
    EXPECT_EQ(s.XLS.HyperlinkFormat.Font.Size, 9);
    ASSERT_EQ(s.XLS.StripStyles.Count(), 2u);
    EXPECT_EQ(s.XLS.StripStyles.Items(1).Font.Size, 12);

    s.ExportType = TAllowedExport::aeRTF;
    s.RTF.StripType = TrtfStripType::stRow;
    s.RTF.StripStyles.Add().Font.Name = "Courier";
    s.RTF.CaptionStyle.Font.Size = 16;
    const std::string rtf = dir.file("r.cfg");
    file.SaveExportOptions(rtf, s);
    s.RTF.CaptionStyle.Font.Size = 10;
    file.LoadExportOptions(rtf, s);
    file.LoadExportOptions(rtf, s);
    EXPECT_EQ(s.RTF.StripType, TrtfStripType::stRow);
    EXPECT_EQ(s.RTF.CaptionStyle.Font.Size, 16);
    ASSERT_EQ(s.RTF.StripStyles.Count(), 1);
    EXPECT_EQ(s.RTF.StripStyles[0].Font.Name, "Courier");
}

TEST_F(ExportOptionsFile, SheetObjectsComeBackOnlyWhenComplete) {
    auto form = NewForm();
    TExportFormState& s = form->state;
    s.ExportType = TAllowedExport::aeXLS;
    s.XLS.Hyperlinks.Add().Col = 2;
    s.XLS.Cells.Add();
    s.XLS.Cells.Add();
    const std::string name = dir.file("o.cfg");
    file.SaveExportOptions(name, s);
    {
        ini::IniFile ini(name);
        EXPECT_TRUE(ini.SectionExists("XLS_HYPERLINK_0"));
        EXPECT_TRUE(ini.SectionExists("XLS_CELL_1"));
        // A note without its column and a merged range without its first column are not items.
        ini.WriteString("XLS_NOTE_0", "Row", "3");
        ini.WriteString("XLS_MERGED_CELL_0", "LastCol", "3");
    }
    s.XLS.Hyperlinks.Clear();
    s.XLS.Notes.Add();
    file.LoadExportOptions(name, s);
    ASSERT_EQ(s.XLS.Hyperlinks.Count(), 1u);
    EXPECT_EQ(s.XLS.Hyperlinks.Items(0).Col, 2);
    EXPECT_EQ(s.XLS.Cells.Count(), 2u);
    EXPECT_EQ(s.XLS.Notes.Count(), 0u);
    EXPECT_EQ(s.XLS.MergedCells.Count(), 0u);
}

// The dialog's three saves (the options file and the XLS and RTF style files) meet every hostile target:
// a write that fails raises its cause for the form to show, and the old file stays as it was.
TEST_F(ExportOptionsFile, AFailedSaveRaisesItsCauseAndKeepsTheOldFile) {
    auto form = NewForm();
    form->state.ExportType = TAllowedExport::aeRTF;
    TxlsFieldFormat format;
    format.FieldName = "Count";
    TrtfStyles strips;
    strips.Add().Font.Size = 12;
    const struct {
        const char* name;
        test_support::FileWriter write;
    } savers[] = {
        {"options.cfg", [&](const std::string& path) { file.SaveExportOptions(path, form->state); }},
        {"styles.xst", [&](const std::string& path) { SaveXLSStyles(path, {&format}); }},
        {"strips.rst", [&](const std::string& path) { SaveRTFStripStyles(path, strips); }},
    };
    for (const auto& saver : savers) {
        SCOPED_TRACE(saver.name);
        test_support::ExpectSafeCommits(dir.file(saver.name + std::string(".cases")), saver.name,
                                        saver.write);
    }
}

TEST(ExportIniHelpers, SectionAndValueTests) {
    test::TempDir dir;
    const std::string name = dir.file("i.ini");
    test::WriteFile(name, "[A]\r\nk=1\r\n[Empty]\r\n[B]\r\nx=\r\n");
    ini::IniFile ini(name);
    EXPECT_TRUE(IniSectionExists(ini, "a"));
    EXPECT_FALSE(IniSectionExists(ini, "Empty"));
    EXPECT_TRUE(IniValueExists(ini, "B", "X"));
    EXPECT_FALSE(IniValueExists(ini, "A", "x"));
    EraseAllIniSections(ini);
    EXPECT_TRUE(ini.ReadSections().empty());
}

} // namespace
} // namespace exporter
