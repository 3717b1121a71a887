// Builds a small workbook stream from the record layer, writes it into a compound file and reads
// it back with xlrd.

#include "export/xls/ExporterXLSColInfo.h"
#include "export/xls/ExporterXLSFile.h"
#include "export/xls/ExporterXLSFormatTables.h"
#include "export/xls/ExporterXLSRecords.h"
#include "export/xls/ExporterXLSSST.h"
#include "export/xls/ExporterXLSUtils.h"
#include "platform/cfb/StorageError.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

namespace {

using namespace exporter;

constexpr std::uint16_t BOF = 0x0809, EOF_ = 0x000A, CODEPAGE = 0x0042, DIMENSIONS = 0x0200,
                        LABELSST = 0x00FD, NUMBER = 0x0203;

void record(TxlsStream& stream, std::uint16_t id, std::vector<std::uint8_t> data) {
    TbiffRecord(nullptr, std::move(data), id).SaveToStream(&stream);
}

std::vector<std::uint8_t> bof(std::uint16_t type) {
    std::vector<std::uint8_t> data(16, 0);
    PutWord(data, 0, 0x0600);
    PutWord(data, 2, type);
    PutWord(data, 4, 0x0DBB);
    PutWord(data, 6, 0x07CC);
    PutDWord(data, 12, 0x00000006);
    return data;
}

// The 15 style XFs and the default cell XF, as every BIFF8 workbook starts its XF table.
const std::uint8_t StyleXF[20] = {0, 0, 0, 0, 0xF5, 0xFF, 0x20, 0, 0,    0xF4,
                                  0, 0, 0, 0, 0,    0,    0,    0, 0xC0, 0x20};
const std::uint8_t CellXF[20] = {0, 0, 0, 0, 0x01, 0x00, 0x20, 0, 0,    0x00,
                                 0, 0, 0, 0, 0,    0,    0,    0, 0xC0, 0x20};

struct Cell {
    std::uint16_t row, column;
    std::u16string text; // a LABELSST when number is not used
    double number = 0;
    bool isNumber = false;
    std::uint16_t xf = 0; // 0: 15 for texts, 16 for numbers
};

struct Sheet {
    std::u16string name;
    std::vector<Cell> cells;
};

std::string jsonString(const std::u16string& s) {
    std::ostringstream out;
    out << '"';
    for (char16_t c : s) {
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out << static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out << buffer;
        }
    }
    out << '"';
    return out.str();
}

// Fonts, a number format and XFs: XF 16 shows numbers as percentages in a bold font.
void writePlainFormatting(TxlsStream& stream) {
    for (int i = 0; i < 4; ++i) {
        TbiffFont font(nullptr, u"Arial");
        font.SetHeight(200);
        font.SetColorIndex(0x7FFF);
        font.SetWeight(400);
        font.SaveToStream(&stream);
    }
    TbiffFont bold(nullptr, u"Arial");
    bold.SetHeight(240);
    bold.SetColorIndex(10);
    bold.SetWeight(700);
    bold.SaveToStream(&stream);
    TbiffFormat(nullptr, 164, u"0.00%").SaveToStream(&stream);
    for (int i = 0; i < 15; ++i)
        TbiffXF(nullptr, StyleXF).SaveToStream(&stream);
    TbiffXF(nullptr, CellXF).SaveToStream(&stream);
    TbiffXF percent(nullptr, CellXF);
    percent.SetFontIndex(5);
    percent.SetFormatIndex(164);
    percent.SetIndentAndUsedAttributes(0x0C00);
    percent.SaveToStream(&stream);
    const std::uint8_t normalStyle[4] = {0x10, 0x80, 0x00, 0xFF};
    TbiffStyle(nullptr, normalStyle).SaveToStream(&stream);
}

// Writes the workbook: globals (with the SST), then each sheet; the BOUNDSHEET offsets are patched
// in place once the sheets' positions are known.
void writeWorkbook(TxlsStream& stream, const std::vector<Sheet>& sheets,
                   const std::function<void(TxlsStream&)>& writeFormatting) {
    TsstStrings sst;
    std::vector<std::vector<std::uint32_t>> indexes;
    for (const Sheet& sheet : sheets) {
        indexes.emplace_back();
        for (const Cell& cell : sheet.cells)
            indexes.back().push_back(cell.isNumber ? 0 : sst.Add(cell.text));
    }

    record(stream, BOF, bof(0x0005));
    record(stream, CODEPAGE, {0xB0, 0x04});
    writeFormatting(stream);
    std::vector<std::uint64_t> boundSheetAt;
    for (const Sheet& sheet : sheets) {
        boundSheetAt.push_back(stream.Position());
        TbiffBoundSheet(nullptr, sheet.name).SaveToStream(&stream);
    }
    TbiffCountry country(nullptr);
    country.SetDefaultCountry(1);
    country.SetWindowsCountry(49);
    country.SaveToStream(&stream);
    sst.SaveToStream(stream);
    record(stream, EOF_, {});

    for (std::size_t s = 0; s < sheets.size(); ++s) {
        const std::uint64_t sheetStart = stream.Position();
        std::uint16_t lastRow = 0, lastColumn = 0;
        for (const Cell& cell : sheets[s].cells) {
            lastRow = std::max(lastRow, cell.row);
            lastColumn = std::max(lastColumn, cell.column);
        }
        record(stream, BOF, bof(0x0010));
        TxlsColInfoList columns;
        columns.Add(std::make_unique<TxlsColInfo>(TxlsColInfo{1, 5000, 15, 0}));
        columns.Add(std::make_unique<TxlsColInfo>(TxlsColInfo{0, 3000, 15, 0}));
        columns.SaveToStream(stream);
        std::vector<std::uint8_t> dimensions(14, 0);
        PutDWord(dimensions, 4, lastRow + 1u);
        PutWord(dimensions, 10, static_cast<std::uint16_t>(lastColumn + 1));
        record(stream, DIMENSIONS, dimensions);
        for (std::size_t c = 0; c < sheets[s].cells.size(); ++c) {
            const Cell& cell = sheets[s].cells[c];
            std::vector<std::uint8_t> data(cell.isNumber ? 14 : 10, 0);
            PutWord(data, 0, cell.row);
            PutWord(data, 2, cell.column);
            PutWord(data, 4, cell.xf ? cell.xf : (cell.isNumber ? 16 : 15));
            if (cell.isNumber)
                std::memcpy(data.data() + 6, &cell.number, 8);
            else
                PutDWord(data, 6, indexes[s][c]);
            record(stream, cell.isNumber ? NUMBER : LABELSST, data);
        }
        record(stream, EOF_, {});
        const std::uint64_t end = stream.Position();
        TbiffBoundSheet patched(nullptr, sheets[s].name);
        patched.SetStreamOffset(static_cast<std::uint32_t>(sheetStart));
        stream.Seek(boundSheetAt[s]);
        patched.SaveToStream(&stream);
        stream.Seek(end);
    }
}

// Compares the workbook with the expectations of a JSON file.
const char* const CheckScript = R"(
import json, sys, xlrd
expected = json.load(open(sys.argv[1], encoding='utf-8'))
book = xlrd.open_workbook(expected['file'], formatting_info=True)
problems = []
names = [s['name'] for s in expected['sheets']]
if book.sheet_names() != names:
    problems.append('sheet names %r' % book.sheet_names())
for spec in expected['sheets']:
    sheet = book.sheet_by_name(spec['name'])
    for row, col, value in spec['cells']:
        got = sheet.cell_value(row, col)
        if got != value:
            problems.append('%s!%d,%d: %r (length %d)' % (spec['name'], row, col, got[:40] if isinstance(got, str) else got,
                                                         len(got) if isinstance(got, str) else -1))
    if sheet.colinfo_map[0].width != 3000 or sheet.colinfo_map[1].width != 5000:
        problems.append('column widths')
xf = book.xf_list[16]
if book.format_map[xf.format_key].format_str != '0.00%':
    problems.append('number format %r' % book.format_map[xf.format_key].format_str)
font = book.font_list[xf.font_index]
if font.weight != 700 or font.name != 'Arial' or font.height != 240:
    problems.append('font %r %r %r' % (font.weight, font.name, font.height))
print('\n'.join(problems) if problems else 'OK')
)";

class WorkbookReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testutil::PythonHasModule("xlrd"))
            GTEST_SKIP() << "python3-xlrd is not installed";
    }
    testutil::TempDir dir_;
};

std::u16string longText(std::size_t length) {
    std::u16string s;
    for (std::size_t i = 0; i < length; ++i)
        s.push_back(static_cast<char16_t>(i % 97 == 0 ? 0x20AC : u'a' + i % 26));
    return s;
}

TEST_F(WorkbookReadBack, CellsStringsAndFormatsReadBackWithXlrd) {
    std::vector<Sheet> sheets(2);
    sheets[0].name = u"Data";
    sheets[0].cells.push_back({0, 0, u"Name"});
    sheets[0].cells.push_back({0, 1, u"Value"});
    std::uint16_t row = 1;
    for (int i = 0; i < 1500; ++i, ++row) {
        sheets[0].cells.push_back({row, 0, u"host-" + Utf8ToWide(std::to_string(i % 1200)) + u".example"});
        sheets[0].cells.push_back({row, 1, u"", i * 0.25, true});
    }
    sheets[0].cells.push_back({row, 0, longText(10000)}); // continued across CONTINUE records
    sheets[0].cells.push_back({row++, 1, u"Gr\u00fc\u00dfe \u20ac \U0001F600"});
    sheets[0].cells.push_back({row, 0, longText(4111)});
    sheets[0].cells.push_back({row, 1, u"Name"});
    sheets[1].name = u"\u00dcn\u00efcode";
    sheets[1].cells.push_back({0, 0, u"\u65e5\u672c"});
    sheets[1].cells.push_back({3, 2, u"", -1.5e10, true});

    const std::string file = (dir_ / "book.xls").string();
    TxlsWorkbookFile book(file);
    writeWorkbook(book.Stream(), sheets, writePlainFormatting);
    book.Commit();

    std::ostringstream json;
    json << "{\"file\": " << jsonString(Utf8ToWide(file)) << ", \"sheets\": [";
    for (std::size_t s = 0; s < sheets.size(); ++s) {
        json << (s ? ", " : "") << "{\"name\": " << jsonString(sheets[s].name) << ", \"cells\": [";
        for (std::size_t c = 0; c < sheets[s].cells.size(); ++c) {
            const Cell& cell = sheets[s].cells[c];
            json << (c ? ", " : "") << "[" << cell.row << ", " << cell.column << ", ";
            if (cell.isNumber)
                json << cell.number;
            else
                json << jsonString(cell.text);
            json << "]";
        }
        json << "]}";
    }
    json << "]}";
    const auto expected = dir_ / "expected.json";
    std::ofstream(expected) << json.str();
    const auto result = testutil::RunPython(CheckScript, expected.string());
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "OK\n");
}

// Checks the formatting of cells A1, A2 and A3 as xlrd reads it.
const char* const FormatCheckScript = R"(
import sys, xlrd
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
sheet = book.sheet_by_index(0)
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
xf = book.xf_list[sheet.cell_xf_index(0, 0)]
expect('A1 format', book.format_map[xf.format_key].format_str, '0.00')
font = book.font_list[xf.font_index]
expect('A1 font', (font.name, font.weight, font.height, font.colour_index), ('arial', 700, 200, 8))
b = xf.border
expect('A1 borders', (b.left_line_style, b.right_line_style, b.top_line_style, b.bottom_line_style),
       (1, 2, 3, 6))
expect('A1 border colours', (b.left_colour_index, b.right_colour_index, b.top_colour_index, b.bottom_colour_index),
       (10, 12, 17, 8))
expect('A1 fill', (xf.background.fill_pattern, xf.background.pattern_colour_index,
                   xf.background.background_colour_index), (1, 13, 12))
expect('A1 alignment', (xf.alignment.hor_align, xf.alignment.vert_align, xf.alignment.text_wrapped), (2, 0, 1))
xf = book.xf_list[sheet.cell_xf_index(1, 0)]
b = xf.border
expect('A2 diagonal', (b.diag_up, b.diag_down, b.diag_line_style, b.diag_colour_index), (1, 0, 9, 10))
expect('A2 font', xf.font_index, 0)
xf = book.xf_list[sheet.cell_xf_index(2, 0)]
font = book.font_list[xf.font_index]
expect('A3 font', (font.name, font.italic, font.underline_type, font.height, font.colour_index, font.weight),
       ('Courier New', 1, 1, 280, 12, 400))
expect('A3 format', book.format_map[xf.format_key].format_str, 'General')
expect('A3 alignment', (xf.alignment.hor_align, xf.alignment.vert_align), (3, 1))
print('\n'.join(problems) if problems else 'OK')
)";

TEST_F(WorkbookReadBack, FormatsBuiltFromTheTablesReadBackWithXlrd) {
    TxlsFormatTables tables;
    TxlsFormat full;
    full.Font.Style = xfsBold;
    full.Borders.Left = {bstThin, clrRed};
    full.Borders.Right = {bstMedium, clrBlue};
    full.Borders.Top = {bstDashed, clrGreen};
    full.Borders.Bottom = {bstDouble, clrBlack};
    full.Fill = {clrYellow, ptSolid, clrBlue};
    full.Alignment = {halCenter, valTop};
    full.Wrap = true;
    TxlsFormat diagonal;
    diagonal.Borders.DiagUp = {bstDashDot, clrRed};
    TxlsFormat courier;
    courier.Font.Name = "Courier New";
    courier.Font.Size = 14;
    courier.Font.Style = xfsItalic;
    courier.Font.Underline = fulSingle;
    courier.Font.Color = clrBlue;
    courier.Alignment = {halRight, valCenter};

    std::vector<Sheet> sheets(1);
    sheets[0].name = u"Formats";
    sheets[0].cells.push_back({0, 0, u"", 1.5, true, tables.GetXFIndex("0.00", &full)});
    sheets[0].cells.push_back({1, 0, u"diagonal", 0, false, tables.GetXFIndex("General", &diagonal)});
    sheets[0].cells.push_back({2, 0, u"courier", 0, false, tables.GetXFIndex("", &courier)});

    auto writeFormatting = [&](TxlsStream& stream) {
        for (int i = 0; i < 4; ++i)
            BuildFontRecord(nullptr, TxlsFont{})->SaveToStream(&stream);
        for (std::size_t i = 0; i < tables.Fonts().Count(); ++i)
            BuildFontRecord(nullptr, tables.Fonts().Items(i))->SaveToStream(&stream);
        for (std::size_t i = 0; i < tables.NumberFormats().Count(); ++i) {
            const TxlsTextFormat& format = tables.NumberFormats().Items(i);
            TbiffFormat(nullptr, format.Index, Utf8ToWide(format.Text)).SaveToStream(&stream);
        }
        for (int i = 0; i < 15; ++i)
            TbiffXF(nullptr, StyleXF).SaveToStream(&stream);
        TbiffXF(nullptr, DefaultCellXFBytes).SaveToStream(&stream);
        for (std::size_t i = 0; i < tables.XFormats().Count(); ++i)
            BuildXFRecord(nullptr, tables.XFormats().Items(i))->SaveToStream(&stream);
        const std::uint8_t normalStyle[4] = {0x10, 0x80, 0x00, 0xFF};
        TbiffStyle(nullptr, normalStyle).SaveToStream(&stream);
    };

    const std::string file = (dir_ / "formats.xls").string();
    TxlsWorkbookFile book(file);
    writeWorkbook(book.Stream(), sheets, writeFormatting);
    book.Commit();
    const auto result = testutil::RunPython(FormatCheckScript, file);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "OK\n");
}

TEST(WorkbookFile, CreationFailureRaisesTheStorageError) {
    testutil::TempDir dir;
    EXPECT_THROW(TxlsWorkbookFile((dir / "missing/book.xls").string()), cfb::StorageError);
}

// The scratch-file stream hands over what a memory stream holds after the same writes: appends,
// headers filled in later (also straddling the end), a gap filled with zeros and the spliced-in
// records.
TEST(WorkbookFile, SpilledStreamHandsOverWhatAMemoryStreamHolds) {
    struct Step {
        std::uint64_t seek; // where the write starts (~0: at the end)
        std::string bytes;
    };
    const std::uint64_t end = ~std::uint64_t(0);
    const std::string big(300000, 'b'); // past the scratch file's buffer
    const std::vector<std::vector<Step>> cases = {
        {{end, "abcdef"}},
        {{end, "abcdef"}, {2, "XY"}, {end, "gh"}, {0, "Z"}},
        {{end, "abcdef"}, {4, "WXYZ"}},
        {{end, "abc"}, {6, "def"}},
        {{end, big}, {end, "tail"}, {299998, "PQRS"}, {5, "early"}},
    };
    testutil::TempDir dir;
    for (std::size_t c = 0; c < cases.size(); ++c)
        for (std::uint64_t insertAt : {std::uint64_t(0), std::uint64_t(2)}) {
            TxlsSpillStream spilled(dir.path().string());
            TxlsMemoryStream memory;
            for (TxlsStream* stream :
                 {static_cast<TxlsStream*>(&spilled), static_cast<TxlsStream*>(&memory)}) {
                for (const Step& step : cases[c]) {
                    stream->Seek(step.seek == end ? stream->Size() : step.seek);
                    WriteBuffer(*stream, step.bytes.data(), step.bytes.size());
                }
                stream->Insert(insertAt, reinterpret_cast<const std::uint8_t*>("<globals>"), 9);
            }
            std::vector<std::uint8_t> handed;
            spilled.CopyTo(
                [&](const std::uint8_t* p, std::size_t n) { handed.insert(handed.end(), p, p + n); });
            EXPECT_EQ(handed, memory.Bytes()) << "case " << c << ", inserted at " << insertAt;
            EXPECT_EQ(spilled.Size(), memory.Size());
            EXPECT_EQ(spilled.Position(), memory.Size());
        }
}

} // namespace
