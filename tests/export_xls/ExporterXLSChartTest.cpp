// Embedded charts: the chart substream record by record, and workbooks with charts read back with
// xlrd (which must still read the sheets around the chart substreams) and olefile.

#include "export/xls/ExporterXLSChart.h"
#include "export/core/ExporterMemorySources.h"
#include "export/xls/ExporterXLS.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace exporter;
using testutil::RawRecord;

std::vector<std::uint8_t> hex(const std::string& text) {
    std::vector<std::uint8_t> out;
    std::string digits;
    for (char c : text)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return out;
}

std::vector<RawRecord> writeChart(const TxlsChart& chart, const TxlsColumnList& columns = {},
                                  int sheetIndex = 0) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter writer(stream);
    TxlsChartWriter(writer, columns, sheetIndex).WriteChart(chart);
    return testutil::splitRecords(stream.Bytes());
}

std::vector<RawRecord> withId(const std::vector<RawRecord>& records, std::uint16_t id) {
    std::vector<RawRecord> out;
    for (const RawRecord& r : records)
        if (r.id == id)
            out.push_back(r);
    return out;
}

// The AI record of a link id with a 3-D area reference: sheet, rows and columns zero-based.
std::vector<std::uint8_t> areaAI(int linkId, int sheet, int row1, int row2, int col1, int col2) {
    return testutil::bytes(
        {linkId, 2, 0, 0, 0, 0, 11, 0, 0x3B, sheet, 0, row1, 0, row2, 0, col1, 0, col2, 0});
}

std::vector<std::uint8_t> emptyAI(int linkId) {
    return testutil::bytes({linkId, linkId == 1 || linkId == 2 ? 2 : 1, 0, 0, 0, 0, 0, 0});
}

// A column chart without legend and title, one series "A" over B2:B4 with categories A2:A4, on
// the sheet with index 1, as the published chart layout spells it out.
TEST(ChartRecords, SmallChartWritesTheWholeSubstreamByteForByte) {
    TxlsChart chart;
    chart.ShowLegend = false;
    chart.CategoryLabelsType = rtCustom;
    chart.CategoryLabels = {1, 1, 2, 4};
    TxlsChartSeries& series = chart.Series.Add();
    series.Title = "A";
    series.DataRangeType = rtCustom;
    series.DataRange = {2, 2, 2, 4};

    const std::string zero16 = "00000000 00000000 00000000 00000000";
    const std::string text = "02 02 0100 00000000 6B060000 52000000 CA020000 8D010000 8100 4D00 203D 0000";
    const std::string tick = "02 00 03 01 00000000" + zero16 + "2300 4D00 0000";
    const std::vector<std::pair<std::uint16_t, std::string>> expected = {
        {0x0809, "0006 2000 BB0D CC07 00000000 06020000"},
        {0x0014, ""},
        {0x0015, ""},
        {0x0083, "0000"},
        {0x0084, "0000"},
        {0x00A1, "0000 1200 0100 0100 0100 3B00 0000 A008" + zero16 + "0100"},
        {0x0033, "0300"},
        {0x1060, "3516 1C11 F000 0000 0000"},
        {0x1060, "3516 1C11 C800 0100 0000"},
        {0x1060, "3516 1C11 C800 0000 0000"},
        {0x0012, "0000"},
        {0x1001, "0000"},
        {0x1002, "00F00000 00000000 E8FFEF00 D080B200"},
        {0x1033, ""},
        {0x00A0, "0100 0100"},
        {0x1064, "00000100 00000100"},
        {0x1032, "0000 0200"},
        {0x1033, ""},
        {0x1007, "00000000 0000 FFFF 0900 4D00"},
        {0x100A, "FFFFFF00 00000000 0100 0100 4E00 4D00"},
        {0x1034, ""},
        // the series
        {0x1003, "0100 0100 0D00 0D00 0100 0000"},
        {0x1033, ""},
        {0x1051, "00 01 0000 0000 0000"},
        {0x100D, "0000 01 01 4100"},
        {0x1051, "01 02 0000 0000 0B00 3B 0100 0100 0300 0100 0100"},
        {0x1051, "02 02 0000 0000 0B00 3B 0100 0100 0300 0000 0000"},
        {0x1051, "03 01 0000 0000 0000"},
        {0x1006, "FFFF 0000 0000 0000"},
        {0x1033, ""},
        {0x105F, "0000"},
        {0x1034, ""},
        {0x1045, "0000"},
        {0x1034, ""},
        {0x1044, "0A00 00 00"},
        // default texts
        {0x1024, "0200"},
        {0x1025, text},
        {0x1033, ""},
        {0x104F, "0200 0200" + zero16},
        {0x1026, "0000"},
        {0x1051, "00 01 0000 0000 0000"},
        {0x1034, ""},
        {0x1024, "0300"},
        {0x1025, text},
        {0x1033, ""},
        {0x104F, "0200 0200" + zero16},
        {0x1026, "0000"},
        {0x1051, "00 01 0000 0000 0000"},
        {0x1034, ""},
        // axes
        {0x1046, "0100"},
        {0x1041, "0000 EA010000 7F030000 2E0A0000 98090000"},
        {0x1033, ""},
        {0x104F, "0200 0200 81000000 CF020000 980B0000 210C0000"},
        {0x101D, "0000" + zero16},
        {0x1033, ""},
        {0x1020, "0100 0100 0100 0100"},
        {0x1062, "0000 0000 0100 0000 0100 0000 0000 0000 EF00"},
        {0x101E, tick},
        {0x1034, ""},
        {0x101D, "0100" + zero16},
        {0x1033, ""},
        {0x101F, zero16 + zero16 + "0000000000000000 1F00"},
        {0x101E, tick},
        {0x1021, "0100"},
        {0x1007, "00000000 0000 FFFF 0900 4D00"},
        {0x1034, ""},
        // plot area and chart group
        {0x1035, ""},
        {0x1032, "0000 0300"},
        {0x1033, ""},
        {0x1007, "80808000 0000 0000 0000 1700"},
        {0x100A, "C0C0C000 00000000 0100 0000 1600 4F00"},
        {0x1034, ""},
        {0x1014, zero16 + "0000 0000"},
        {0x1033, ""},
        {0x1017, "0000 9600 0000"},
        {0x1034, ""},
        {0x1034, ""},
        {0x1034, ""},
        {0x0200, "00000000 0D000000 0000 0100 0000"},
        {0x1065, "0100"},
        {0x1065, "0200"},
        {0x1065, "0300"},
        {0x000A, ""},
    };

    const std::vector<RawRecord> records = writeChart(chart, {}, 1);
    ASSERT_EQ(records.size(), expected.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].id, expected[i].first) << "record " << i;
        EXPECT_EQ(records[i].data, hex(expected[i].second))
            << "record " << i << " id " << std::hex << expected[i].first;
    }
}

TEST(ChartRecords, BeginAndEndBalanceForEveryStyleAndOption) {
    for (int style = xcsColumn; style <= xcsRadarArea; ++style)
        for (bool extras : {false, true}) {
            TxlsChart chart;
            chart.Style = static_cast<TxlsChartStyle>(style);
            chart.ShowLegend = extras;
            chart.AutoColor = !extras;
            chart.Title = extras ? "Title" : "";
            chart.Series.Add();
            chart.Series.Add();
            int depth = 0, lowest = 0;
            for (const RawRecord& r : writeChart(chart)) {
                EXPECT_NE(r.id, 0xFFFF);
                depth += r.id == biff::BEGIN ? 1 : r.id == biff::END ? -1 : 0;
                lowest = std::min(lowest, depth);
            }
            EXPECT_EQ(depth, 0) << "style " << style;
            EXPECT_EQ(lowest, 0) << "style " << style;
        }
}

TEST(ChartRecords, StyleChoosesTheChartTypeRecordAndThreeDimensions) {
    struct Case {
        TxlsChartStyle style;
        std::uint16_t type;
        std::vector<std::uint8_t> typeData;
        bool threeD;
        std::uint16_t formatFlags;
    };
    const std::vector<Case> cases = {
        {xcsColumn, biff::BAR, hex("0000 9600 0000"), false, 0},
        {xcsBar3d, biff::BAR, hex("0000 9600 0100"), true, 0},
        {xcsLineMark, biff::LINE, hex("0000"), false, 0},
        {xcsPie3d, biff::PIE, hex("0000 0000 0100"), true, 1},
        {xcsPie, biff::PIE, hex("0000 0000 0100"), false, 1},
        {xcsArea3d, biff::AREA, hex("0000"), true, 0},
        {xcsSurface, biff::SURFACE, hex("0000"), false, 0},
        {xcsRadar, biff::RADAR, hex("0000"), false, 0},
        {xcsRadarArea, biff::RADARAREA, hex("0000"), false, 0},
    };
    for (const Case& c : cases) {
        TxlsChart chart;
        chart.Style = c.style;
        chart.ShowLegend = false;
        const std::vector<RawRecord> records = writeChart(chart);
        const std::vector<RawRecord> formats = withId(records, biff::CHARTFORMAT);
        ASSERT_EQ(formats.size(), 1u);
        EXPECT_EQ(testutil::word(formats[0].data, 16), c.formatFlags) << int(c.style);
        // CHARTFORMAT, BEGIN, the type, then CHART3D for the 3-D styles.
        std::size_t at = 0;
        while (records[at].id != biff::CHARTFORMAT)
            ++at;
        EXPECT_EQ(records[at + 2].id, c.type) << int(c.style);
        EXPECT_EQ(records[at + 2].data, c.typeData) << int(c.style);
        EXPECT_EQ(records[at + 3].id == biff::CHART3D, c.threeD) << int(c.style);
        if (c.threeD) {
            EXPECT_EQ(records[at + 3].data, hex("1400 0F00 1E00 6400 6400 9600 1500"));
        }
    }
}

TEST(ChartRecords, LegendTitleAndSeriesColoursFollowTheirOptions) {
    TxlsChart chart;
    chart.LegendPlacement = clpBottom;
    chart.Title = "Z\xC3\xA9";
    chart.AutoColor = false;
    chart.Series.Add().Color = clrRed;
    TxlsChartSeries& untitled = chart.Series.Add();
    untitled.Title = "";
    const std::vector<RawRecord> records = writeChart(chart);

    const auto legends = withId(records, biff::LEGEND);
    ASSERT_EQ(legends.size(), 1u);
    EXPECT_EQ(legends[0].data, hex("A70C0000 9B070000 C6020000 4D010000 00 01 1F00"));
    std::size_t at = 0;
    while (records[at].id != biff::LEGEND)
        ++at;
    EXPECT_EQ(records[at + 2].data, hex("0500 0200 A70C0000 9B070000 00000000 00000000"));

    // The title is the last SERIESTEXT, followed by OBJECTLINK; no series has a title here.
    const auto texts = withId(records, biff::SERIESTEXT);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].data, hex("0000 02 01 5A00 E900"));
    EXPECT_EQ(withId(records, biff::OBJECTLINK).at(0).data, hex("0100 0000 0000"));

    // Each series has its own fill; red is palette number 10.
    const auto areas = withId(records, biff::AREAFORMAT);
    ASSERT_EQ(areas.size(), 4u);
    EXPECT_EQ(areas[1].data, hex("A0A0A000 90909000 0100 0000 0A00 0800"));
    EXPECT_EQ(testutil::word(areas[2].data, 12), XlsColorNumber(clrAqua));
    EXPECT_EQ(withId(records, biff::LINEFORMAT).at(1).data, hex("00000000 0000 0000 0000 0800"));
    EXPECT_EQ(withId(records, biff::DATAFORMAT).at(1).data, hex("FFFF 0100 0100 0000"));

    chart.AutoColor = true;
    chart.ShowLegend = false;
    chart.Title.clear();
    const std::vector<RawRecord> plain = writeChart(chart);
    EXPECT_EQ(withId(plain, biff::AREAFORMAT).size(), 2u);
    EXPECT_EQ(withId(plain, biff::LEGEND).size(), 0u);
    EXPECT_EQ(withId(plain, biff::OBJECTLINK).size(), 0u);
    EXPECT_EQ(withId(plain, biff::SERIESTEXT).size(), 0u);
    EXPECT_EQ(plain.size(), records.size() - 9 /* legend */ - 8 /* title */ - 4 /* colours */);
}

TEST(ChartRecords, RangesComeFromTheWrittenColumnsOrTheCustomRange) {
    TxlsColumnList columns;
    for (int row = 1; row <= 3; ++row) {
        columns.Widen("Name", row, 2);
        columns.Widen("Count", row, 3);
    }
    columns.Widen("Unwritten", -1, -1); // never happens for a data cell, but must not be used

    TxlsChart chart;
    chart.CategoryLabelsColumn = "name";
    chart.Series.Add().DataColumn = "COUNT";
    TxlsChartSeries& custom = chart.Series.Add();
    custom.DataRangeType = rtCustom;
    custom.DataRange = {5, 6, 10, 20};
    chart.Series.Add().DataColumn = "Missing";
    TxlsChartSeries& zero = chart.Series.Add();
    zero.DataRangeType = rtCustom;
    zero.DataRange = {0, 6, 10, 20};

    const auto ais = withId(writeChart(chart, columns, 2), biff::AI);
    ASSERT_EQ(ais.size(), 4u * 4 + 2 + 1); // four per series, two default texts, the legend's
    EXPECT_EQ(ais[1].data, areaAI(1, 2, 1, 3, 3, 3));
    EXPECT_EQ(ais[2].data, areaAI(2, 2, 1, 3, 2, 2));
    EXPECT_EQ(ais[5].data, areaAI(1, 2, 9, 19, 4, 5));
    EXPECT_EQ(ais[6].data, areaAI(2, 2, 1, 3, 2, 2));
    EXPECT_EQ(ais[9].data, emptyAI(1)) << "a column without data cells";
    EXPECT_EQ(ais[13].data, emptyAI(1)) << "a custom range with column 0";

    EXPECT_FALSE(ResolveChartRange(rtColumn, "Unwritten", {}, columns).Set);
    EXPECT_FALSE(ResolveChartRange(rtColumn, "", {}, columns).Set);
    EXPECT_FALSE(ResolveChartRange(rtCustom, "Count", {}, columns).Set);
}

TEST(ChartRecords, LongTitlesAreCutToWhatSeriesTextHolds) {
    TxlsChart chart;
    chart.ShowLegend = false;
    chart.Title = std::string(254, 'x') + "\xF0\x9F\x98\x80"; // the pair would straddle 255
    const auto texts = withId(writeChart(chart), biff::SERIESTEXT);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].data[2], 254);
    EXPECT_EQ(texts[0].data.size(), 4u + 2 * 254);
}

TEST(ChartRecords, AFailedWriteRaises) {
    TxlsChart chart;
    testutil::ShortStream stream(300);
    TxlsWorkbookWriter writer(stream);
    TxlsColumnList columns;
    EXPECT_THROW(TxlsChartWriter(writer, columns, 0).WriteChart(chart), TxlsWriteError);
}

// Two written sheets (a skipped one between them), a chart on each; the second chart's ranges use
// the second EXTERNSHEET entry.
const char* const Reader = R"(
import struct, sys, xlrd, olefile
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
book = xlrd.open_workbook(sys.argv[1], formatting_info=True)
expect('sheets', book.sheet_names(), ['First', 'Third'])
for index in range(2):
    sheet = book.sheet_by_index(index)
    expect('cells %d' % index, [[sheet.cell_value(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)],
           [['Name', 'Count'], ['a', 1.0], ['b', 2.0], ['c', 3.0]])
data = olefile.OleFileIO(sys.argv[1]).openstream('Workbook').read()
records, i = [], 0
while i + 4 <= len(data):
    rid, length = struct.unpack_from('<HH', data, i)
    records.append((rid, data[i + 4:i + 4 + length]))
    i += 4 + length
expect('whole stream', i, len(data))
rids = [r for r, _ in records]
expect('supbook', rids.count(0x01AE), 1)
externs = [d for r, d in records if r == 0x0017]
expect('externsheet', externs, [struct.pack('<H', 2) + struct.pack('<HHH', 0, 0, 0) + struct.pack('<HHH', 0, 1, 1)])
chart_bofs = [n for n, (r, d) in enumerate(records) if r == 0x0809 and struct.unpack_from('<H', d, 2)[0] == 0x20]
expect('chart substreams', len(chart_bofs), 2)
for n in chart_bofs:
    expect('obj before chart', records[n - 1][0], 0x5D)
    expect('chart object', struct.unpack_from('<H', records[n - 1][1], 4)[0], 5)
areas = [struct.unpack_from('<BB', d, 0) + struct.unpack_from('<HHHHH', d, 9)
         for r, d in records if r == 0x1051 and len(d) == 19]
expect('ranges', areas, [(1, 2, 0, 1, 3, 1, 1), (2, 2, 0, 1, 3, 0, 0), (1, 2, 1, 1, 3, 1, 1), (2, 2, 1, 1, 3, 0, 0)])
group = b''.join(d for r, d in records if r == 0xEB)
expect('largest shape id', struct.unpack_from('<I', group, 16)[0], 1025 + 3)
print('\n'.join(problems) if problems else 'OK')
)";

TEST(ChartReadBack, ChartsOnTwoSheetsLeaveTheSheetsReadable) {
    if (!testutil::PythonHasModule("xlrd") || !testutil::PythonHasModule("olefile"))
        GTEST_SKIP() << "python3-xlrd or python3-olefile is not installed";
    testutil::TempDir dir;
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddRow({"a", "1"});
    ds.AddRow({"b", "2"});
    ds.AddRow({"c", "3"});
    TExporterXLS xls;
    xls.FileName = (dir / "charts.xls").string();
    for (const char* title : {"First", "Skipped", "Third"}) {
        TxlsSheet& sheet = xls.Sheets.Add();
        sheet.DataSet = &ds;
        sheet.Title = title;
        sheet.Exported = std::string(title) != "Skipped";
        TxlsChart& chart = sheet.Charts.Add();
        chart.Title = "Counts";
        chart.CategoryLabelsColumn = "Name";
        TxlsChartSeries& series = chart.Series.Add();
        series.DataColumn = "Count";
        series.Title = "Count";
    }
    TxlsNote& note = xls.Sheets.Items(2).Notes.Add();
    note.Row = 1;
    note.Col = 1;
    note.Lines = {"note"};
    xls.Execute();

    const auto result = testutil::RunPython(Reader, xls.FileName);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "OK\n");
}

// The exporter's own chart on its single sheet, placed below the data.
const char* const OwnChartReader = R"(
import struct, sys, xlrd, olefile
problems = []
def expect(what, got, wanted):
    if got != wanted:
        problems.append('%s: %r, expected %r' % (what, got, wanted))
book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_index(0)
expect('cells', [[sheet.cell_value(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)],
       [['Name', 'Count'], ['a', 1.0], ['b', 2.0]])
data = olefile.OleFileIO(sys.argv[1]).openstream('Workbook').read()
records, i = [], 0
while i + 4 <= len(data):
    rid, length = struct.unpack_from('<HH', data, i)
    records.append((rid, data[i + 4:i + 4 + length]))
    i += 4 + length
charts = [d for r, d in records if r == 0x0809 and struct.unpack_from('<H', d, 2)[0] == 0x20]
expect('chart substreams', len(charts), 1)
drawing = b''.join(d for r, d in records if r == 0xEC)
at = drawing.find(struct.pack('<HH', 0, 0xF010))
expect('anchor rows', struct.unpack_from('<HHHHHHHH', drawing, at + 8 + 2)[2::4], (3, 13))
print('\n'.join(problems) if problems else 'OK')
)";

TEST(ChartReadBack, TheExportersOwnChartGoesBelowItsData) {
    if (!testutil::PythonHasModule("xlrd") || !testutil::PythonHasModule("olefile"))
        GTEST_SKIP() << "python3-xlrd or python3-olefile is not installed";
    testutil::TempDir dir;
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddRow({"a", "1"});
    ds.AddRow({"b", "2"});
    TExporterXLS xls;
    xls.DataSet = &ds;
    xls.FileName = (dir / "own.xls").string();
    TxlsChart& chart = xls.Charts.Add();
    chart.Style = xcsPie3d;
    chart.CategoryLabelsColumn = "Name";
    chart.Series.Add().DataColumn = "Count";
    xls.Execute();

    const auto result = testutil::RunPython(OwnChartReader, xls.FileName);
    EXPECT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(result.output, "OK\n");
}

} // namespace
