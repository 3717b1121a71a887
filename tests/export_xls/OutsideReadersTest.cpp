// Workbooks with notes, pictures, number formats, sheet names, aggregates, long strings, fills and
// charts, written by the exporter and read back by xlrd and by LibreOffice (converted to xlsx and
// to PDF in one batch each, then inspected).

#include "export/core/ExporterMemorySources.h"
#include "export/xls/ExporterXLS.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <memory>

namespace {

using namespace exporter;
namespace fs = std::filesystem;

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& data) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void saveImage(const fs::path& path, int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(20, 120, 220));
    ASSERT_TRUE(image.save(QString::fromStdString(path.string()), format)) << path;
}

bool haveSoffice() {
    return std::system("command -v soffice >/dev/null 2>&1") == 0;
}

// Converts every workbook of the folder in one LibreOffice run.
void convertAll(const fs::path& dir, const std::string& format, const std::vector<std::string>& names) {
    std::string command = "cd '" + dir.string() +
                          "' && soffice --headless --norestore -env:UserInstallation=file://" +
                          (dir / "lo-profile").string() + " --convert-to " + format + " --outdir '" +
                          (dir / format).string() + "'";
    for (const std::string& name : names)
        command += " '" + name + "'";
    command += " >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

const char* const XlsxPrelude = R"PY(
import re, sys, zipfile
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
book = zipfile.ZipFile(sys.argv[1])
def part(name):
    return book.read(name).decode('utf-8') if name in book.namelist() else ''
names = book.namelist()
)PY";

// A Python string literal of a UTF-8 text.
std::string pythonString(const std::string& text) {
    std::string literal = "b'";
    for (unsigned char c : text) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        literal += hex;
    }
    return literal + "'.decode('utf-8')";
}

const char* const XlrdPrelude = R"PY(
import sys, xlrd
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
def fmt(sheet, r, c):
    return book.format_map[book.xf_list[sheet.cell_xf_index(r, c)].format_key].format_str
)PY";

class OutsideReaders : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Text is measured with the fonts the readers use, as in the running program.
        if (!QGuiApplication::instance()) {
            static int argc = 1;
            static char name[] = "export_xls_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QGuiApplication>(argc, argv);
        }
        dir_ = std::make_unique<testutil::TempDir>();
        writeNotesAndPictures();
        writeFormats();
        writeFills();
        writeCharts();
        writeHostile();
        if (!haveSoffice())
            return;
        convertAll(dir_->path(), "xlsx",
                   {"notes.xls", "formats.xls", "names.xls", "fills.xls", "charts.xls", "hostile.xls"});
        convertAll(dir_->path(), "pdf", {"fills.xls"});
    }
    static void TearDownTestSuite() {
        dir_.reset();
        app_.reset();
    }

    static fs::path file(const std::string& name) { return *dir_ / name; }

    void requireSoffice() {
        if (!haveSoffice())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed: the libreoffice-calc-nogui package";
    }

    static void run(const char* prelude, const std::string& code, const fs::path& path) {
        const auto result = testutil::RunPython(std::string(prelude) + code +
                                                    "\nprint('\\n'.join(problems) if problems else 'OK')\n",
                                                path.string());
        EXPECT_EQ(result.exitCode, 0) << result.output;
        EXPECT_EQ(result.output, "OK\n");
    }
    static void xlsx(const std::string& name, const std::string& code) {
        run(XlsxPrelude, code, file("xlsx") / (name + ".xlsx"));
    }
    void xlrd(const std::string& name, const std::string& code) {
        if (!testutil::PythonHasModule("xlrd"))
            GTEST_SKIP() << "python3-xlrd is not installed";
        run(XlrdPrelude, code, file(name + ".xls"));
    }

    static void names(TMemoryDataSet& ds, int rows) {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        for (int i = 1; i <= rows; ++i)
            ds.AddRow({"row" + std::to_string(i), std::to_string(i * 10)});
    }

    static void writeNotesAndPictures() {
        saveImage(file("box.png"), 40, 30, "PNG");
        saveImage(file("wide.png"), 333, 20, "PNG");
        // A 1 x 1 GIF (Qt reads GIF but does not write it).
        writeBytes(file("dot.gif"), {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                                     0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x2C, 0x00, 0x00, 0x00, 0x00,
                                     0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B});
        TMemoryDataSet ds;
        names(ds, 3);
        TExporterXLS xls;
        xls.DataSet = &ds;
        xls.FileName = file("notes.xls").string();
        TxlsNote& first = xls.Notes.Add();
        first.Row = 2;
        first.Col = 1;
        first.Lines = {"First note", "second line \xC3\xA9"};
        TxlsNote& second = xls.Notes.Add();
        second.Row = 4;
        second.Col = 3;
        second.Lines = {"Other note"};
        TxlsPicture& box = xls.Pictures.Add();
        box.SetFileName(file("box.png").string());
        TxlsPicture& dot = xls.Pictures.Add();
        dot.SetFileName(file("dot.gif").string());
        TxlsImage& boxImage = xls.Images.Add();
        boxImage.PictureName = box.Name();
        boxImage.Col = 6;
        boxImage.Row = 2;
        TxlsImage& dotImage = xls.Images.Add();
        dotImage.PictureName = dot.Name();
        dotImage.Col = 1;
        dotImage.Row = 1;
        // Over the exported columns and on into columns of the default width.
        TxlsPicture& wide = xls.Pictures.Add();
        wide.SetFileName(file("wide.png").string());
        TxlsImage& wideImage = xls.Images.Add();
        wideImage.PictureName = wide.Name();
        wideImage.Col = 1;
        wideImage.Row = 8;
        xls.Execute();
    }

    static void writeFormats() {
        TMemoryDataSet ds;
        ds.AddField({"Text", TFieldType::ftString, 10});
        ds.AddField({"Stamp", TFieldType::ftDateTime});
        ds.AddField({"At", TFieldType::ftTime});
        ds.AddField({"Price", TFieldType::ftFloat});
        ds.AddField({"Plain", TFieldType::ftFloat});
        ds.AddField({"Default", TFieldType::ftDateTime});
        // Columns with the default display format of their type.
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Big", TFieldType::ftLargeint});
        ds.AddField({"Amount", TFieldType::ftFloat});
        ds.AddField({"Cost", TFieldType::ftCurrency});
        ds.AddField({"Flag", TFieldType::ftBoolean});
        // The first shared string is longer than the SST record holds.
        ds.AddRow({std::string(5000, 'L'), "7/1/2024 1:02:03 PM", "11:59:30 PM", "-2.5", "1.25",
                   "1/2/2024 6:00:00 AM", "1234", "9000000000", "1234.5", "12.5", "True"});
        std::string emoji;
        for (int i = 0; i < 3000; ++i)
            emoji += "\xF0\x9F\x98\x80"; // U+1F600, a surrogate pair in UTF-16
        ds.AddRow({emoji, "7/2/2024 12:00:00 AM", "6:00:00 AM", "4", "2", "1/2/2024 6:00:00 PM", "1", "2",
                   "3", "4", "False"});
        TExporterXLS xls;
        xls.DataSet = &ds;
        xls.FileName = file("formats.xls").string();
        xls.UserFormats.Add("Stamp=dd/mm/yyyy hh:nn:ss");
        xls.UserFormats.Add("Price=[Red]-0.00 \xE2\x82\xBD");
        xls.UserFormats.Add("Plain=0.0000");
        xls.Formats.SetDateTimeFormat("M/d/yyyy h:mm AMPM");
        // A currency symbol of letters, h and s among them (hours and seconds in a format code).
        xls.Formats.SetCurrencyFormat("#,###,##0.00 CHF");
        xls.Options.PageHeader = "Prices in \xE2\x82\xBD";
        TxlsFieldFormat& price = xls.FieldFormats.Add();
        price.FieldName = "Price";
        price.Aggregate = aggSum;
        TxlsFieldFormat& plain = xls.FieldFormats.Add();
        plain.FieldName = "Plain";
        plain.Aggregate = aggAvg;
        // A field format changes the look, not the number format.
        xls.FieldFormats.Add().FieldName = "Amount";
        xls.FieldFormats.Items(2).Font.Style = xfsItalic;
        // The data format reaches every column through the handler, dates included.
        xls.Options.DataFormat.Font.Style = xfsBold;
        xls.OnGetDataParams = [](TExporterXLS&, int, int, int, TxlsFormat&, std::string&) {};
        xls.Execute();

        // Sheets with names Excel forbids, repeats or finds too long.
        TExporterXLS named;
        named.FileName = file("names.xls").string();
        // A NUL title, a tab and names that differ only under full case folding.
        for (const std::string& title :
             {std::string("a/b:c*?[d]"), std::string("A/B:C*?[D]"),
              std::string("A very long sheet title that goes past thirty-one characters"),
              std::string(1, '\0'), std::string("tab\there"), std::string("stra\u00DFe"),
              std::string("STRASSE")}) {
            TxlsSheet& sheet = named.Sheets.Add();
            sheet.DataSet = &ds;
            sheet.Title = title;
        }
        named.Sheets.Items(0).Formats.SetCurrencyFormat("K\xC4\x8D #,###,##0.00");
        named.Execute();
    }

    static void writeFills() {
        TMemoryDataSet ds;
        ds.AddField({"Pattern", TFieldType::ftString, 10});
        ds.AddField({"Solid", TFieldType::ftString, 10});
        ds.AddRow({"x", "x"});
        TExporterXLS xls;
        xls.DataSet = &ds;
        xls.FileName = file("fills.xls").string();
        xls.AllowCaptions = false;
        xls.ColumnsWidth.Add("Pattern=30");
        xls.ColumnsWidth.Add("Solid=30");
        TxlsFieldFormat& pattern = xls.FieldFormats.Add();
        pattern.FieldName = "Pattern";
        pattern.Fill.Background = clrYellow;
        pattern.Fill.Pattern = ptGray25;
        pattern.Fill.Foreground = clrRed;
        pattern.Borders.Left.Style = bstThin; // keeps the cell printed
        TxlsFieldFormat& solid = xls.FieldFormats.Add();
        solid.FieldName = "Solid";
        solid.Fill.Background = clrBrightGreen;
        solid.Fill.Pattern = ptSolid;
        solid.Fill.Foreground = clrBlue;
        solid.Borders.Left.Style = bstThin;
        xls.Execute();
    }

    static void writeCharts() {
        TMemoryDataSet ds;
        names(ds, 4);
        TExporterXLS xls;
        xls.DataSet = &ds;
        xls.FileName = file("charts.xls").string();
        for (TxlsChartStyle style : {xcsLine, xcsLineMark}) {
            TxlsChart& chart = xls.Charts.Add();
            chart.Style = style;
            chart.CategoryLabelsColumn = "Name";
            chart.Position.AutoPosition.Top = style == xcsLine ? 0 : 12;
            TxlsChartSeries& series = chart.Series.Add();
            series.DataColumn = "Count";
            series.Title = "Counts";
        }
        xls.Execute();
    }

    // Notes at the sheet's edges and with texts that fill records, dates around the 1900 system's
    // first days, a reversed merged range, a NaN, an overflowing sum and a chart below a full sheet.
    static void writeHostile() {
        TMemoryDataSet ds;
        ds.AddField({"Stamp", TFieldType::ftDateTime});
        ds.AddField({"Huge", TFieldType::ftFloat});
        ds.AddField({"Day", TFieldType::ftDate});
        ds.AddField({"Clock", TFieldType::ftTime});
        ds.AddRow({"2/28/1900 11:59:59 PM", "1e308", "12/29/1899", "6:00:00 AM"});
        ds.AddRow({"12/31/1899 6:00:00 AM", "1e308", "12/30/1899", "12:00:00 AM"});
        ds.AddRow({"12/30/1899 6:00:00 AM", "1", "12/31/1899", "11:59:59 PM"});
        ds.AddRow({"3/1/1900", "1", "1/1/1900", "12/30/1899 6:00:00 PM"});
        TExporterXLS xls;
        xls.DataSet = &ds;
        xls.FileName = file("hostile.xls").string();
        xls.Options.SetSheetTitle("Hostile");
        TxlsFieldFormat& huge = xls.FieldFormats.Add();
        huge.FieldName = "Huge";
        huge.Aggregate = aggSum;
        const std::string emoji = "\xF0\x9F\x98\x80";
        const struct {
            int row, col;
            std::string text;
        } notes[] = {{65535, 1, "bottom"},
                     {1, 255, "right edge"},
                     {10, 2, std::string(4110, 'n') + emoji + "end"},
                     {12, 2, std::string(5000, 'm')}};
        for (const auto& n : notes) {
            TxlsNote& note = xls.Notes.Add();
            note.Row = static_cast<std::uint16_t>(n.row);
            note.Col = static_cast<std::uint16_t>(n.col);
            note.Lines = {n.text};
        }
        const struct {
            TxlsCellType type;
            int row;
            double value;
        } cells[] = {{ctDateTime, 2, 60 + 86399.0 / 86400}, // 2/28/1900 11:59:59 PM
                     {ctDateTime, 3, -1.25},                // 12/29/1899 6:00 AM
                     {ctDateTime, 9, 1.0},                  // 12/31/1899 midnight
                     {ctNumeric, 4, std::nan("")},
                     {ctNumeric, 5, -std::numeric_limits<double>::infinity()},
                     {ctNumeric, 6, 1 + std::ldexp(1.0, -20)}}; // not in the RK form
        for (const auto& c : cells) {
            TxlsCell& cell = xls.Cells.Add();
            cell.CellType = c.type;
            cell.Row = static_cast<std::uint16_t>(c.row);
            cell.Col = 5;
            cell.DateTimeFormat = "m/d/yyyy hh:nn:ss";
            cell.DateTimeValue = cell.NumericValue = c.value;
        }
        // 12/30/1899 in user cells: a date is text, a time of day its fraction.
        for (const auto& [row, format] : {std::pair{7, "m/d/yyyy"}, {8, "hh:nn"}}) {
            TxlsCell& cell = xls.Cells.Add();
            cell.CellType = ctDateTime;
            cell.Row = static_cast<std::uint16_t>(row);
            cell.Col = 5;
            cell.DateTimeFormat = format;
            cell.DateTimeValue = 0.75;
        }
        TxlsCell& last = xls.Cells.Add();
        last.Row = 65535; // the chart below it finds no room
        last.Col = 1;
        last.StringValue = "last row";
        TxlsMergedCells& merged = xls.MergedCells.Add();
        merged.FirstRow = 8;
        merged.LastRow = 7;
        merged.FirstCol = 3;
        merged.LastCol = 2;
        TxlsChart& chart = xls.Charts.Add();
        chart.Style = xcsLine;
        TxlsChartSeries& series = chart.Series.Add();
        series.DataColumn = "Huge";
        xls.Execute();
    }

    static std::unique_ptr<testutil::TempDir> dir_;
    static std::unique_ptr<QGuiApplication> app_;
};

std::unique_ptr<testutil::TempDir> OutsideReaders::dir_;
std::unique_ptr<QGuiApplication> OutsideReaders::app_;

TEST_F(OutsideReaders, LibreOfficeImportsNotesAndPicturesAtTheirSize) {
    requireSoffice();
    xlsx("notes", R"PY(
comments = ''.join(part(n) for n in names if re.match(r'xl/comments\d*\.xml$', n))
expect('first note', 'First note' in comments and 'second line \u00e9' in comments, True)
expect('second note', 'Other note' in comments, True)
expect('two notes', len(re.findall(r'<comment ', comments)), 2)
expect('note cells', sorted(re.findall(r'<comment ref="([A-Z]+\d+)"', comments)), ['A2', 'C4'])
media = [n for n in names if n.startswith('xl/media/')]
expect('pictures', len(media), 3)
expect('all PNG', all(book.read(n)[:4] == b'\x89PNG' for n in media), True)
drawing = ''.join(part(n) for n in names if re.match(r'xl/drawings/drawing\d+\.xml$', n))
anchors = re.findall(r'<xdr:from><xdr:col>(\d+)</xdr:col><xdr:colOff>\d+</xdr:colOff><xdr:row>(\d+)</xdr:row>', drawing)
expect('image at Col 6, Row 2 starts at F2; Col 1, Row 1 at A1', sorted(anchors), [('0', '0'), ('0', '7'), ('5', '1')])
sizes = [(int(cx), int(cy)) for cx, cy in re.findall(r'<a:ext cx="(\d+)" cy="(\d+)"/>', drawing)]
emu = 9525  # per pixel at 96 dpi
def near(got, px, share=0.05):
    return abs(got - px * emu) <= max(2, px * share) * emu
expect('40 x 30 picture shown at its size', any(near(cx, 40) and near(cy, 30) for cx, cy in sizes), True)
expect('1 x 1 picture shown at its size', any(near(cx, 1) and near(cy, 1) for cx, cy in sizes), True)
# Columns as wide as LibreOffice makes them: within 1% (a 2% error showed 333 pixels as 339.8).
expect('333 x 20 picture shown at its size', [round(cx / emu, 1) for cx, cy in sizes if near(cx, 333, 0.01) and near(cy, 20, 0.01)] != [], True)
)PY");
}

TEST_F(OutsideReaders, LibreOfficeReadsFormatsNamesHeadersAndCachedResults) {
    requireSoffice();
    xlsx("names", R"PY(
workbook = part('xl/workbook.xml')
sheets = re.findall(r'<sheet name="([^"]*)"', workbook)
expect('sheet names', sheets, ['a_b_c___d_', 'A_B_C___D_ (2)', 'A very long sheet title that go', '_',
                               'tab_here', 'stra\u00dfe', 'STRASSE (2)'])
codes = [c.replace('&quot;', '"') for c in re.findall(r'formatCode="([^"]*)"', part('xl/styles.xml'))]
expect('currency symbol of letters quoted', [c for c in codes if 'K\u010d' in c], ['"K\u010d "#,###,##0.00'])
)PY");
    xlsx("formats", R"PY(
styles = part('xl/styles.xml').lower()
codes = re.findall(r'formatcode="([^"]*)"', styles)
expect('date-time pattern as a format code', any('dd/mm/yyyy' in c and 'hh:mm:ss' in c for c in codes), True)
expect('AM/PM', any('am/pm' in c for c in codes), True)
expect('no run-time pattern letters', [c for c in codes if 'nn' in c or 'ampm' in c], [])
expect('rouble sign kept', any('\u20bd' in c for c in codes), True)
expect('currency symbol of letters quoted', [c.replace('&quot;', '"') for c in codes if 'chf' in c],
       ['#,###,##0.00" chf"'])
expect('user format of a plain column', any(c == '0.0000' for c in codes), True)
sheet = part('xl/worksheets/sheet1.xml')
expect('page header', '\u20bd' in sheet, True)
cells = dict(re.findall(r'<c r="([A-Z]+\d+)"[^>]*>(.*?)</c>', sheet))
expect('time as a number', re.search(r'<v>([0-9.]+)</v>', cells.get('C2', '')) is not None, True)
strings = part('xl/sharedStrings.xml')
expect('first shared string longer than the SST record', 'L' * 5000 in strings, True)
# Every column without a field format of its own shows the data format, the date columns too.
fonts = re.findall(r'<font>(.*?)</font>', part('xl/styles.xml'), re.S)
xfs = re.findall(r'<xf [^>]*fontId="(\d+)"', part('xl/styles.xml').split('<cellXfs')[1])
def bold(ref):
    style = re.search(r'<c r="%s" s="(\d+)"' % ref, sheet)
    return style is not None and '<b val="true"/>' in fonts[int(xfs[int(style.group(1))])]
expect('bold data cells', [bold(c + '2') for c in 'ABCF'], [True] * 4)
expect('sum cached', re.search(r'<v>([-0-9.]+)</v>', cells.get('D4', '')).group(1), '1.5')
expect('average cached', re.search(r'<v>([-0-9.]+)</v>', cells.get('E4', '')).group(1), '1.625')
)PY");
}

TEST_F(OutsideReaders, XlrdReadsLongStringsFormatsTimesAndCachedResults) {
    const TExportFormats formats;
    xlrd("names", R"PY(
expect('currency symbol of letters quoted', fmt(book.sheet_by_index(0), 1, 9), '"K\u010d "#,###,##0.00')
)PY");
    xlrd("formats", "integer = " + pythonString(formats.IntegerFormat()) + R"PY(
sheet = book.sheet_by_index(0)
expect('default formats', [fmt(sheet, 1, c) for c in range(6, 11)],
       [integer, integer, '#,###,##0.00', '#,###,##0.00" CHF"', 'General'])
expect('currency value', sheet.cell_value(1, 9), 12.5)
expect('text', fmt(sheet, 1, 0), 'General')
expect('italic amount', book.font_list[book.xf_list[sheet.cell_xf_index(1, 8)].font_index].italic, 1)
sheet = book.sheet_by_index(0)
expect('first string', sheet.cell_value(1, 0), 'L' * 5000)
expect('string of surrogate pairs', sheet.cell_value(2, 0), '\U0001F600' * 3000)
expect('stamp format', fmt(sheet, 1, 1), 'dd/mm/yyyy hh:mm:ss')
expect('default date-time format', fmt(sheet, 1, 5), 'm/d/yyyy h:mm AM/PM')
expect('time types', [sheet.cell_type(r, 2) for r in (1, 2)], [xlrd.XL_CELL_DATE] * 2)
expect('times', [round(sheet.cell_value(r, 2), 6) for r in (1, 2)], [round((23 * 3600 + 59 * 60 + 30) / 86400, 6), 0.25])
expect('price format', fmt(sheet, 1, 3), '[Red]-0.00 \u20bd')
expect('plain format', fmt(sheet, 1, 4), '0.0000')
expect('aggregates', [sheet.cell_value(3, 3), sheet.cell_value(3, 4)], [1.5, 1.625])
bold = [book.font_list[book.xf_list[sheet.cell_xf_index(1, c)].font_index].weight for c in range(6)]
# Price and Plain have field formats of their own, which come first.
expect('data format on the other columns, dates too', bold, [700, 700, 700, 400, 400, 700])
)PY");
}

TEST_F(OutsideReaders, XlrdReadsNotesDatesErrorsAndRangesAtTheEdges) {
    xlrd("hostile", R"PY(
sheet = book.sheet_by_index(0)
notes = {k: v.text for k, v in sheet.cell_note_map.items()}
expect('note cells', sorted(notes), [(0, 254), (9, 1), (11, 1), (65534, 0)])
expect('note over a record boundary', notes.get((9, 1)), 'n' * 4110 + '\U0001F600end')
expect('5,000-character note', notes.get((11, 1)), 'm' * 5000)
expect('edge notes', (notes.get((65534, 0)), notes.get((0, 254))), ('bottom', 'right edge'))
expect('last second of 2/28/1900 is still day 59', round(sheet.cell_value(1, 0), 8), round(59 + 86399 / 86400, 8))
expect('the same moment in a user cell', round(sheet.cell_value(1, 4), 8), round(59 + 86399 / 86400, 8))
expect('date types', [sheet.cell_type(r, 0) for r in (1, 4)], [xlrd.XL_CELL_DATE] * 2)
expect('12/31/1899 as text', (sheet.cell_type(2, 0), '1899' in sheet.cell_value(2, 0)), (xlrd.XL_CELL_TEXT, True))
expect('12/29/1899 as text', (sheet.cell_type(2, 4), sheet.cell_value(2, 4)), (xlrd.XL_CELL_TEXT, '12/29/1899 06:00:00'))
expect('12/30/1899 6:00 AM as text', (sheet.cell_type(3, 0), '12/30/1899' in sheet.cell_value(3, 0)), (xlrd.XL_CELL_TEXT, True))
expect('12/29, 12/30 and 12/31/1899 as text', [sheet.cell_value(r, 2) for r in (1, 2, 3)], ['12/29/1899', '12/30/1899', '12/31/1899'])
expect('1/1/1900', (sheet.cell_type(4, 2), sheet.cell_value(4, 2)), (xlrd.XL_CELL_DATE, 1.0))
expect('times of day', [(sheet.cell_type(r, 3), round(sheet.cell_value(r, 3), 8)) for r in (1, 2, 3)], [(xlrd.XL_CELL_DATE, 0.25), (xlrd.XL_CELL_DATE, 0.0), (xlrd.XL_CELL_DATE, round(86399 / 86400, 8))])
expect('a time of day as xlrd converts it', xlrd.xldate_as_tuple(sheet.cell_value(1, 3), book.datemode), (0, 0, 0, 6, 0, 0))
expect('user cells of 12/30/1899', [(sheet.cell_type(r, 4), sheet.cell_value(r, 4)) for r in (6, 7)], [(xlrd.XL_CELL_TEXT, '12/30/1899'), (xlrd.XL_CELL_DATE, 0.75)])
expect('12/31/1899 midnight as text', (sheet.cell_type(8, 4), sheet.cell_value(8, 4)), (xlrd.XL_CELL_TEXT, '12/31/1899 00:00:00'))
expect('3/1/1900', sheet.cell_value(4, 0), 61.0)
errors = [(sheet.cell_type(r, c), sheet.cell_value(r, c)) for r, c in ((3, 4), (4, 4), (5, 1))]
expect('NaN, infinity and an overflowing sum as #NUM!', errors, [(xlrd.XL_CELL_ERROR, 0x24)] * 3)
expect('reversed merged range', sheet.merged_cells, [(6, 8, 1, 3)])
expect('1 + 2**-20 kept', sheet.cell_value(5, 4), 1 + 2 ** -20)
expect('last row', sheet.cell_value(65534, 0), 'last row')
)PY");
}

TEST_F(OutsideReaders, LibreOfficeKeepsNotesAtTheEdgesAndTheChartBelowAFullSheet) {
    requireSoffice();
    xlsx("hostile", R"PY(
comments = ''.join(part(n) for n in names if re.match(r'xl/comments\d*\.xml$', n))
expect('note cells', sorted(re.findall(r'<comment ref="([A-Z]+\d+)"', comments)), ['A65535', 'B10', 'B12', 'IU1'])
expect('note texts', ['bottom' in comments, 'right edge' in comments, '\U0001F600end' in comments, 'm' * 5000 in comments], [True] * 4)
vml = ''.join(part(n) for n in names if n.endswith('.vml'))
boxes = [list(map(int, a.split(','))) for a in re.findall(r'<x:Anchor>\s*([\d, ]+?)\s*</x:Anchor>', vml)]
expect('four note boxes inside the sheet', (len(boxes), [b for b in boxes if b[0] > 255 or b[4] > 255 or b[2] > 65535 or b[6] > 65535]), (4, []))
charts = [n for n in names if re.match(r'xl/charts/chart\d+\.xml$', n)]
expect('chart kept', len(charts), 1)
drawing = ''.join(part(n) for n in names if re.match(r'xl/drawings/drawing\d+\.xml$', n))
rows = [(int(a), int(b)) for a, b in re.findall(r'<xdr:from>.*?<xdr:row>(\d+)</xdr:row>.*?<xdr:to>.*?<xdr:row>(\d+)</xdr:row>', drawing, re.S)]
# LibreOffice ends the box at the bottom of row 65534 rather than at the top of row 65535.
expect('chart ten rows high at the bottom', [(a, b >= 65534) for a, b in rows], [(65525, True)])
sheet = part('xl/worksheets/sheet1.xml')
expect('reversed merged range', re.findall(r'<mergeCell ref="([A-Z0-9:]+)"', sheet), ['B7:C8'])
cells = dict(re.findall(r'<c r="([A-Z]+\d+)"([^>]*>.*?)</c>', sheet))
expect('last second of 2/28/1900', round(float(re.search(r'<v>([0-9.]+)</v>', cells.get('A2', '')).group(1)), 8), round(59 + 86399 / 86400, 8))
expect('NaN as #NUM!', 't="e"' in cells.get('E4', '') and '#NUM!' in cells.get('E4', ''), True)
)PY");
}

TEST_F(OutsideReaders, LibreOfficeDrawsPatternDotsInForegroundOverBackground) {
    requireSoffice();
    const fs::path pdf = file("pdf") / "fills.pdf";
    ASSERT_TRUE(fs::exists(pdf));
    const std::string command =
        "pdftoppm -r 60 -png '" + pdf.string() + "' '" + (*dir_ / "fills").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    QImage page;
    for (const char* name : {"fills-1.png", "fills-01.png"})
        if (page.isNull())
            page.load(QString::fromStdString(file(name).string()));
    ASSERT_FALSE(page.isNull());
    // LibreOffice shows a 25% pattern as a blend: three parts of the base (yellow) to one of the
    // dots (red) gives an orange-yellow; the reverse would be a red-orange.
    int yellowish = 0, reddish = 0, green = 0, blue = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.blue() < 80 && c.green() >= 150 && c.green() < 240)
                ++yellowish;
            if (c.red() > 200 && c.blue() < 80 && c.green() < 110)
                ++reddish;
            if (c.green() > 200 && c.red() < 80 && c.blue() < 80)
                ++green;
            if (c.blue() > 200 && c.red() < 80 && c.green() < 80)
                ++blue;
        }
    EXPECT_GT(yellowish, 100);
    EXPECT_LT(reddish, yellowish / 10);
    EXPECT_GT(green, 100) << "a solid fill shows Background";
    EXPECT_EQ(blue, 0);
}

TEST_F(OutsideReaders, LibreOfficeTellsLineChartsFromLinesWithMarkers) {
    requireSoffice();
    xlsx("charts", R"PY(
charts = [part(n) for n in sorted(names) if re.match(r'xl/charts/chart\d+\.xml$', n)]
expect('two charts', len(charts), 2)
expect('line charts', all('<c:lineChart>' in c for c in charts), True)
plain = [c for c in charts if '<c:symbol val="none"/>' in c]
expect('one chart without markers', len(plain), 1)
)PY");
}

} // namespace
