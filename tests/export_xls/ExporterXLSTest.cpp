// The workbook exporter: workbooks written from in-memory sources and read back with xlrd.

#include "export/xls/ExporterXLS.h"
#include "export/core/ExporterLocale.h"
#include "export/core/ExporterMemorySources.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using namespace exporter;

// Loads the workbook named by the argument; the test's code adds to `problems`.
const char* const Prelude = R"(
import struct, sys, xlrd, olefile
book = xlrd.open_workbook(sys.argv[1], formatting_info=True) if OPEN else None
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
def values(sheet):
    return [[sheet.cell_value(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
def types(sheet):
    return [[sheet.cell_type(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
def xf(sheet, r, c):
    return book.xf_list[sheet.cell_xf_index(r, c)]
def fmt(sheet, r, c):
    return book.format_map[xf(sheet, r, c).format_key].format_str
def font(sheet, r, c):
    return book.font_list[xf(sheet, r, c).font_index]
def records():
    data = olefile.OleFileIO(sys.argv[1]).openstream('Workbook').read()
    out, i = [], 0
    while i + 4 <= len(data):
        rid, length = struct.unpack_from('<HH', data, i)
        out.append((rid, data[i + 4:i + 4 + length]))
        i += 4 + length
    return out
)";

class ExporterXLSTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testutil::PythonHasModule("xlrd") || !testutil::PythonHasModule("olefile"))
            GTEST_SKIP() << "python3-xlrd or python3-olefile is not installed";
        xls.FileName = file("book.xls");
    }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // Runs the check code on the written workbook.
    // Without open the workbook is only split into records (xlrd is not asked to read it).
    void check(const std::string& code, bool open = true) {
        const auto result =
            testutil::RunPython(std::string(open ? "OPEN = True\n" : "OPEN = False\n") + Prelude + code +
                                    "\nprint('\\n'.join(problems) if problems else 'OK')\n",
                                xls.FileName);
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.output, "OK\n");
    }

    static void fillNames(TMemoryDataSet& ds, int rows, const std::string& prefix = "row") {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        for (int i = 1; i <= rows; ++i)
            ds.AddRow({prefix + std::to_string(i), std::to_string(i)});
    }

    testutil::TempDir dir_;
    TExporterXLS xls;
};

TEST_F(ExporterXLSTest, EveryColumnTypeBecomesItsCellKind) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.MutableField(0).DisplayLabel = "Host name";
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Big", TFieldType::ftLargeint});
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.AddField({"Cost", TFieldType::ftCurrency});
    ds.AddField({"Day", TFieldType::ftDate});
    ds.AddField({"At", TFieldType::ftTime});
    ds.AddField({"Stamp", TFieldType::ftDateTime});
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddField({"Data", TFieldType::ftBlob});
    ds.AddRow({"alpha \xE2\x82\xAC", "12", "9000000000", "1.5", "2.25", "3/1/1900", "12:00:00 PM",
               "1/2/2024 6:00:00 AM", "yes", "blob"});
    ds.AddRow({std::nullopt, "-3", "0", "abc", "0", "2/28/1900", "1:30:00 AM", "1/1/1900", "no", ""});
    ds.AddRow({"", "", "", "", "", "", "", "", "", ""});
    xls.DataSet = &ds;
    xls.Formats.SetBooleanTrue("Yes");
    xls.Formats.SetNullString("n/a");
    xls.Options.SetSheetTitle("Types");
    xls.Execute();

    check(R"(
sheet = book.sheet_by_index(0)
expect('names', book.sheet_names(), ['Types'])
v, t = values(sheet), types(sheet)
expect('captions', v[0], ['Host name', 'Count', 'Big', 'Price', 'Cost', 'Day', 'At', 'Stamp', 'Flag'])
expect('row 1 values', v[1][:6] + v[1][7:], ['alpha \u20ac', 12.0, 9e9, 1.5, 2.25, 61.0, 45293.25, 1])
expect('row 1 types', t[1], [1, 2, 2, 2, 2, 3, 3, 3, 4]) # dates keep their display format
expect('times are fractions of a day', [v[1][6], v[2][6]], [0.5, 0.0625])
expect('time format', fmt(sheet, 1, 6), 'h:mm AM/PM')
expect('row 2', [v[2][0], v[2][1], v[2][3], v[2][5], v[2][7], v[2][8]], ['n/a', -3.0, 'abc', 59.0, 1.0, 0])
expect('row 2 types', [t[2][0], t[2][3], t[2][8]], [1, 1, 4])
expect('empty row', t[3], [6] * 9)
expect('date format', fmt(sheet, 1, 5) != 'General', True)
expect('bold caption', font(sheet, 0, 0).weight, 700)
)");
}

TEST_F(ExporterXLSTest, HeaderCaptionsFooterAggregatesAndFieldFormats) {
    TMemoryDataSet ds;
    fillNames(ds, 3);
    xls.DataSet = &ds;
    xls.Header.Add("Title\tSecond");
    xls.Header.Add("dropped: HeaderRows is 1");
    xls.HeaderRows = 1;
    xls.Footer.Add("End");
    xls.StartDataCol = 1;
    TxlsFieldFormat& count = xls.FieldFormats.Add();
    count.FieldName = "count";
    count.Aggregate = aggSum;
    count.Font.Style = xfsBold;
    xls.UserFormats.Add("Count=0.00");
    xls.Options.CaptionsFormat.SetDefault();
    std::vector<std::string> beforeData;
    xls.OnGetBeforeDataParams = [&](TExporterXLS&, int, int col, int row, TxlsFormat&, std::string& s) {
        s = "#" + std::to_string(row);
        beforeData.push_back(std::to_string(col) + ":" + std::to_string(row));
    };
    xls.Execute();
    EXPECT_EQ(beforeData, (std::vector<std::string>{"0:1", "0:2", "0:3", "0:4"}));

    check(R"(
sheet = book.sheet_by_index(0)
v = values(sheet)
expect('header', v[0], ['', 'Title', 'Second'])
expect('captions', v[1], ['#1', 'Name', 'Count'])
expect('data', [r[:3] for r in v[2:5]], [['#2', 'row1', 1.0], ['#3', 'row2', 2.0], ['#4', 'row3', 3.0]])
expect('footer', v[6][1], 'End')
expect('bold count', (font(sheet, 2, 2).weight, fmt(sheet, 2, 2)), (700, '0.00'))
expect('plain name', sheet.cell_xf_index(2, 1), 15)
formulas = [data for rid, data in records() if rid == 0x0006]
expect('one formula', len(formulas), 1)
if formulas:
    f = formulas[0]
    row, col = struct.unpack_from('<HH', f, 0)
    expect('formula cell', (row, col), (5, 2))
    expect('formula tokens', f[22:], bytes([0x25, 2, 0, 4, 0, 2, 0xC0, 2, 0xC0, 0x42, 1, 4, 0]))
expect('column widths', [sheet.colinfo_map[c].width > 256 for c in (1, 2)], [True, True])
expect('no column 0 info', 0 in sheet.colinfo_map, False)
)");
}

TEST_F(ExporterXLSTest, ExportedSheetsComeFromTheirOwnSourcesInOrder) {
    TMemoryDataSet first, second, third;
    fillNames(first, 2, "a");
    fillNames(second, 3, "b");
    fillNames(third, 1, "c");
    TxlsSheet& one = xls.Sheets.Add();
    one.DataSet = &first;
    one.Title.clear();
    TxlsSheet& two = xls.Sheets.Add();
    two.DataSet = &second;
    two.Exported = false;
    TxlsSheet& three = xls.Sheets.Add();
    three.DataSet = &third;
    three.Title = "Third \xC3\xBC";
    three.AllowCaptions = false;
    three.DefColWidth = 20;
    std::vector<int> before, exported;
    xls.OnBeforeExportSheet = [&](TExporterXLS&, int sheet) { before.push_back(sheet); };
    xls.OnAdvancedExportedRecord = [&](TExporterXLS&, int sheet, int recNo) {
        exported.push_back(sheet * 10 + recNo);
    };
    xls.Execute();
    EXPECT_EQ(before, (std::vector<int>{0, 2}));
    EXPECT_EQ(exported, (std::vector<int>{0, 1, 20}));

    check(R"(
expect('names', book.sheet_names(), ['Sheet 1', 'Third \u00fc'])
expect('first', values(book.sheet_by_index(0)), [['Name', 'Count'], ['a1', 1.0], ['a2', 2.0]])
expect('third', values(book.sheet_by_index(1)), [['c1', 1.0]])
expect('default width', book.sheet_by_index(1).defcolwidth, 20)
)");
}

TEST_F(ExporterXLSTest, WithoutExportedSheetsTheExporterWritesItsOwnSource) {
    TMemoryDataSet own, other;
    fillNames(own, 2, "own");
    fillNames(other, 2, "other");
    xls.DataSet = &own;
    xls.Options.SetSheetTitle("Mine");
    xls.Options.PageHeader = "Head";
    for (int i = 0; i < 2; ++i) {
        TxlsSheet& sheet = xls.Sheets.Add();
        sheet.DataSet = &other;
        sheet.Exported = false;
    }
    xls.Execute();
    EXPECT_EQ(xls.Sheets.Count(), 2u);
    check(R"(
expect('names', book.sheet_names(), ['Mine'])
expect('rows', values(book.sheet_by_index(0)), [['Name', 'Count'], ['own1', 1.0], ['own2', 2.0]])
headers = [data for rid, data in records() if rid == 0x0014]
expect('page header', headers, [bytes([4, 0, 0]) + b'Head'])
)");
}

TEST_F(ExporterXLSTest, SkipCountAndCurrentRecordOnlyLimitTheRows) {
    TMemoryDataSet ds;
    fillNames(ds, 10);
    xls.DataSet = &ds;
    xls.SkipRecCount = 2;
    xls.ExportRecCount = 5;
    xls.AllowCaptions = false;
    xls.Execute();
    check(R"(
expect('rows', [r[0] for r in values(book.sheet_by_index(0))], ['row3', 'row4', 'row5', 'row6', 'row7'])
)");

    TMemoryListView view;
    view.AddColumn({"Host"});
    for (int i = 1; i <= 4; ++i)
        view.AddItem({"item" + std::to_string(i)});
    TExporterXLS single;
    single.ExportSource = TExportSource::esListView;
    single.ListView = &view;
    single.CurrentRecordOnly = true;
    single.FileName = file("single.xls");
    single.Execute();
    xls.FileName = single.FileName;
    check(R"(
expect('rows', values(book.sheet_by_index(0)), [['Host'], ['item1']])
)");
}

TEST_F(ExporterXLSTest, RowStripesAlternateTheirFormats) {
    TMemoryDataSet ds;
    fillNames(ds, 4);
    xls.DataSet = &ds;
    xls.StripType = ssRow;
    xls.StripStyles.Add().Fill = {clrYellow, ptSolid, clrYellow};
    xls.StripStyles.Add().Fill = {clrLime, ptSolid, clrLime};
    xls.Execute();
    check(R"(
sheet = book.sheet_by_index(0)
colours = [xf(sheet, r, 0).background.pattern_colour_index for r in range(1, 5)]
expect('stripes', colours[0] == colours[2] and colours[1] == colours[3] and colours[0] != colours[1], True)
expect('same row', xf(sheet, 1, 1).background.pattern_colour_index, colours[0])
)");
}

TEST_F(ExporterXLSTest, ColumnStripesAndDataParamsChooseTheCellFormats) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.AddRow({"a", "1", "1.5"});
    ds.AddRow({"b", "2", "2.5"});
    xls.DataSet = &ds;
    xls.StripType = ssCol;
    xls.StripStyles.Add().Alignment.Horizontal = halCenter;
    xls.StripStyles.Add().Alignment.Horizontal = halRight;
    std::vector<int> calls;
    xls.OnGetDataParams = [&](TExporterXLS&, int, int col, int row, TxlsFormat& format, std::string& text) {
        calls.push_back(col * 10 + row);
        if (col == 1) {
            format.Font.Style = xfsBold;
            text = "0.000";
        }
    };
    xls.Execute();
    EXPECT_EQ(calls, (std::vector<int>{1, 11, 21, 2, 12, 22}));
    check(R"(
sheet = book.sheet_by_index(0)
expect('aligned', [xf(sheet, 1, c).alignment.hor_align for c in range(3)], [2, 3, 2])
expect('count', (fmt(sheet, 1, 1), font(sheet, 1, 1).weight), ('0.000', 700))
expect('name', font(sheet, 1, 0).weight, 400)
)");
}

TEST_F(ExporterXLSTest, EventsChangeTextsAndRefuseRows) {
    TMemoryDataSet ds;
    fillNames(ds, 3);
    xls.DataSet = &ds;
    xls.OnGetExportText = [](TExporter&, int col, std::string& text) {
        if (col == 0)
            text += "!";
    };
    xls.OnAdvancedBeforeExportRow = [](TExporterXLS&, int, TExportRow& row, bool& accept) {
        accept = row[0].Value != "row2";
    };
    xls.OnGetCaptionParams = [](TExporterXLS&, int, int col, TxlsFormat& format, std::string& caption) {
        if (col == 1)
            caption.clear();
        format.Font.Style = xfsItalic;
    };
    xls.Execute();
    check(R"(
sheet = book.sheet_by_index(0)
expect('rows', values(sheet), [['Name', ''], ['row1!', 1.0], ['row3!', 3.0]])
expect('italic caption', font(sheet, 0, 0).italic, 1)
)");
}

TEST_F(ExporterXLSTest, UserCellsMergedRangesAndHyperlinkTitlesAreWritten) {
    TMemoryDataSet ds;
    fillNames(ds, 1);
    xls.DataSet = &ds;
    TxlsCell& number = xls.Cells.Add();
    number.CellType = ctNumeric;
    number.Col = 4;
    number.Row = 2;
    number.NumericValue = 2.5;
    TxlsCell& text = xls.Cells.Add();
    text.CellType = ctString;
    text.Col = 5;
    text.Row = 3;
    text.StringValue = "note";
    xls.Cells.Add(); // row and column 0: not valid
    TxlsMergedCells& merged = xls.MergedCells.Add();
    merged.FirstRow = 5;
    merged.LastRow = 6;
    merged.FirstCol = 1;
    merged.LastCol = 3;
    xls.MergedCells.Add(); // not valid
    TxlsHyperlink& link = xls.Hyperlinks.Add();
    link.Col = 1;
    link.Row = 8;
    link.Title = "Home";
    link.Target = "http://example.com/";
    xls.Execute();
    check(R"(
sheet = book.sheet_by_index(0)
expect('number', (sheet.cell_value(1, 3), fmt(sheet, 1, 3)), (2.5, '###,###,#0.00'))
expect('text', sheet.cell_value(2, 4), 'note')
expect('merged', sheet.merged_cells, [(4, 6, 0, 3)])
expect('link title', sheet.cell_value(7, 0), 'Home')
dims = [data for rid, data in records() if rid == 0x0200]
expect('dimensions', struct.unpack('<IIHHH', dims[0]), (0, 8, 0, 5, 0))
)");
}

// A 1 x 1 pixel 24-bit bitmap file.
std::vector<std::uint8_t> tinyBitmap() {
    std::vector<std::uint8_t> b = {'B', 'M', 58, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0,   0, 1, 0,
                                   0,   0,   1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 4,  0, 0,   0, 0, 0,
                                   0,   0,   0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 255, 0};
    return b;
}

TEST_F(ExporterXLSTest, NotesHyperlinksAndPicturesGoThroughTheDrawingRecords) {
    TMemoryDataSet ds;
    fillNames(ds, 2);
    TxlsSheet& sheet = xls.Sheets.Add();
    sheet.DataSet = &ds;
    sheet.Title = "Objects";
    TxlsNote& note = sheet.Notes.Add();
    note.Col = 3;
    note.Row = 2;
    note.Lines = {"Hello", "note"};
    sheet.Notes.Add(); // no text: not valid
    TxlsHyperlink& link = sheet.Hyperlinks.Add();
    link.Col = 1;
    link.Row = 5;
    link.Title = "Example";
    link.Target = "http://example.com/";
    const std::string picture = file("dot.bmp");
    {
        const auto bytes = tinyBitmap();
        std::ofstream(picture, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
    }
    xls.Pictures.Add().SetFileName(picture);
    TxlsImage& image = sheet.Images.Add();
    image.PictureName = xls.Pictures.Items(0).Name();
    image.Col = 2;
    image.Row = 8;
    xls.Execute();
    // The note is checked record by record: row, column, flags and object id of its NOTE record.
    check(R"(
recs = records()
notes = [data for rid, data in recs if rid == 0x001C]
expect('note', [n[:8] for n in notes], [bytes([1, 0, 2, 0, 0, 0, 1, 0])])
txo = [i for i, (rid, data) in enumerate(recs) if rid == 0x01B6]
expect('one text box', len(txo), 1)
if txo:
    expect('note text', recs[txo[0] + 1][1], bytes([1]) + 'Hello\nnote'.encode('utf-16-le'))
)",
          false);
    sheet.Notes.Clear();
    sheet.Background.SetFileName(picture);
    xls.Execute();
    check(R"(
sheet = book.sheet_by_index(0)
expect('link', [(h.frowx, h.fcolx, h.url_or_path.rstrip('\x00'), h.desc.rstrip('\x00')) for h in sheet.hyperlink_list],
       [(4, 0, 'http://example.com/', 'Example')])
ids = [rid for rid, data in records()]
expect('drawing group', ids.count(0x00EB), 1)
expect('drawings', ids.count(0x00EC), 1)
expect('picture object', ids.count(0x005D), 1)
bitmaps = [data for rid, data in records() if rid == 0x00E9]
expect('background', [b[:12] for b in bitmaps], [bytes([9, 0, 1, 0, 16, 0, 0, 0, 12, 0, 0, 0])])
)");
}

TEST_F(ExporterXLSTest, AutoCalcColWidthWidensColumnsToTheirTexts) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 4});
    ds.AddRow({std::string(60, 'w')});
    xls.DataSet = &ds;
    xls.AutoCalcColWidth = true;
    xls.Execute();
    check(R"(
expect('wide', book.sheet_by_index(0).colinfo_map[0].width >= 30 * 256, True)
)");
}

TEST_F(ExporterXLSTest, AbortedExportLeavesAnExistingFileAsItWas) {
    { std::ofstream(xls.FileName) << "old"; }
    TMemoryDataSet ds;
    fillNames(ds, 5);
    xls.DataSet = &ds;
    xls.OnExportedRecord = [](TExporter& sender, int) { sender.Abort(); };
    xls.Execute();
    EXPECT_TRUE(xls.IsAborted());
    std::ifstream in(xls.FileName);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "old");
}

TEST(ExporterXLSErrors, BadSettingsRaiseTheLibraryTexts) {
    testutil::TempDir dir;
    TExporterXLS xls;
    try {
        xls.Execute();
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Result file name not present");
    }

    xls.FileName = (dir / "book.xls").string();
    try {
        xls.Execute();
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is not assigned");
    }
    EXPECT_FALSE(std::filesystem::exists(xls.FileName));

    TMemoryDataSet empty;
    empty.AddField({"Name"});
    xls.DataSet = &empty;
    xls.ExportEmpty = false;
    try {
        xls.Execute();
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is empty");
    }
    EXPECT_FALSE(std::filesystem::exists(xls.FileName));

    { std::ofstream(dir / "file") << "x"; }
    xls.FileName = (dir / "file" / "sub" / "book.xls").string();
    try {
        xls.Execute();
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Directory \"" + (dir / "file" / "sub").string() + "\" not found and cannot be created");
    }
}

TEST(ExporterXLSErrors, RemovedSourcesAreForgottenByTheExporterAndItsSheets) {
    TMemoryDataSet ds;
    TExporterXLS xls;
    xls.DataSet = &ds;
    xls.Sheets.Add().DataSet = &ds;
    TMemoryListView view;
    xls.Sheets.Items(0).ListView = &view;
    xls.Notification(&ds);
    EXPECT_EQ(xls.DataSet, nullptr);
    EXPECT_EQ(xls.Sheets.Items(0).DataSet, nullptr);
    EXPECT_EQ(xls.Sheets.Items(0).ListView, &view);
}

TEST(ExporterXLSErrors, MissingDirectoriesAreCreated) {
    testutil::TempDir dir;
    TMemoryDataSet ds;
    ds.AddField({"Name"});
    ds.AddRow({"x"});
    TExporterXLS xls;
    xls.DataSet = &ds;
    xls.FileName = (dir / "a" / "b" / "book.xls").string();
    xls.Execute();
    EXPECT_TRUE(std::filesystem::exists(xls.FileName));
}

} // namespace

namespace {

TEST(ExporterXLSLimits, TooManyRowsOrColumnsStopBeforeTheOldFileIsReplaced) {
    testutil::TempDir dir;
    const std::string name = (dir / "book.xls").string();
    std::ofstream(name) << "previous";
    auto previousKept = [&] {
        std::ifstream in(name);
        std::stringstream text;
        text << in.rdbuf();
        return text.str() == "previous";
    };

    // 65,535 data rows and the caption row fill the sheet exactly; one more row does not fit.
    exporter::TMemoryDataSet rows;
    rows.AddField({"N", exporter::TFieldType::ftInteger});
    for (int i = 0; i < 65536; ++i)
        rows.AddRow({std::to_string(i)});
    exporter::TExporterXLS xls;
    xls.FileName = name;
    xls.DataSet = &rows;
    try {
        xls.Execute();
        ADD_FAILURE() << "no error";
    } catch (const exporter::EExportError& error) {
        EXPECT_NE(std::string(error.what()).find("65536 rows"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(previousKept());
    xls.AllowCaptions = false;
    xls.Execute();
    EXPECT_FALSE(previousKept());

    std::ofstream(name) << "previous";
    exporter::TMemoryDataSet columns;
    for (int i = 0; i < 250; ++i)
        columns.AddField({"C" + std::to_string(i), exporter::TFieldType::ftInteger});
    columns.AddRow(std::vector<std::optional<std::string>>(250, std::string("1")));
    exporter::TExporterXLS wide;
    wide.FileName = name;
    wide.DataSet = &columns;
    wide.StartDataCol = 7;
    try {
        wide.Execute();
        ADD_FAILURE() << "no error";
    } catch (const exporter::EExportError& error) {
        EXPECT_NE(std::string(error.what()).find("257 columns"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(previousKept());

    // A merged range past the last column stops the export the same way.
    exporter::TExporterXLS merged;
    merged.FileName = name;
    merged.DataSet = &columns;
    exporter::TxlsMergedCells& range = merged.MergedCells.Add();
    range.FirstRow = range.LastRow = 2;
    range.FirstCol = 250;
    range.LastCol = 300;
    try {
        merged.Execute();
        ADD_FAILURE() << "no error";
    } catch (const exporter::EExportError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "The merged cells (250, 2, 300, 2) lie outside the sheet: a workbook "
                  "sheet has 256 columns and 65536 rows");
    }
    EXPECT_TRUE(previousKept());
}

} // namespace
