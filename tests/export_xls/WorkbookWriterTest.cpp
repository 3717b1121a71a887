// The workbook stream writer: exact bytes of the small records, the globals splice and the
// patched sheet records, on a memory stream.

#include "export/xls/ExporterXLSUtils.h"
#include "export/xls/ExporterXLSWriter.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <cstring>

namespace {

using namespace exporter;
using testutil::bytes;
using testutil::RawRecord;
using testutil::splitRecords;

std::vector<RawRecord> records(const TxlsMemoryStream& stream) {
    return splitRecords(stream.Bytes());
}

const RawRecord* findRecord(const std::vector<RawRecord>& list, std::uint16_t id, std::size_t nth = 0) {
    for (const RawRecord& r : list)
        if (r.id == id && nth-- == 0)
            return &r;
    return nullptr;
}

std::size_t countRecords(const std::vector<RawRecord>& list, std::uint16_t id) {
    std::size_t n = 0;
    for (const RawRecord& r : list)
        n += r.id == id;
    return n;
}

std::vector<std::uint8_t> doubleBytes(double value) {
    std::vector<std::uint8_t> out(8);
    std::memcpy(out.data(), &value, 8);
    return out;
}

TEST(WorkbookWriterRecords, FixedRecordsHaveTheirExactBytes) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteBOF(biff::SUBSTREAM_WORKSHEET);
    w.WriteWindow1();
    w.WriteDefaultRowHeight(12.75);
    w.WriteHeaderFooter(biff::HEADER, "");
    w.WriteHeaderFooter(biff::FOOTER, "P\xC3\xA4ge &P"); // "Päge &P": one byte a character
    w.WriteWindow2();
    w.WriteSelection();
    w.WriteDimensions(1, 2, 3, 4);
    w.WriteDefColWidth(8);
    w.WriteHeaderFooter(biff::HEADER, "\xE2\x82\xBD &P"); // a rouble sign: UTF-16
    const auto r = records(stream);
    ASSERT_EQ(r.size(), 10u);
    EXPECT_EQ(r[0].id, 0x0809);
    EXPECT_EQ(r[0].data,
              bytes({0x00, 0x06, 0x10, 0x00, 0xBB, 0x0D, 0xCC, 0x07, 0, 0, 0, 0, 0x06, 0x02, 0, 0}));
    EXPECT_EQ(r[1].data,
              bytes({120, 0, 120, 0, 0x0C, 0x5D, 0x68, 0x3D, 0x38, 0, 0, 0, 0, 0, 1, 0, 0x58, 0x02}));
    EXPECT_EQ(r[2].data, bytes({0, 0, 0xFF, 0})); // 12.75 points = 255 twips
    EXPECT_EQ(r[3].id, 0x0014);
    EXPECT_TRUE(r[3].data.empty());
    EXPECT_EQ(r[4].data, bytes({7, 0, 0, 'P', 0xE4, 'g', 'e', ' ', '&', 'P'}));
    EXPECT_EQ(r[5].data, bytes({0xB6, 0x06, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r[6].data, bytes({3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r[7].data, bytes({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 4, 0, 0, 0}));
    EXPECT_EQ(r[8].data, bytes({8, 0}));
    EXPECT_EQ(r[9].data, bytes({4, 0, 1, 0xBD, 0x20, ' ', 0, '&', 0, 'P', 0}));
}

TEST(WorkbookWriterRecords, WriteAccessNamesTheProductPaddedWithSpaces) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteWriteAccess();
    const auto r = records(stream);
    ASSERT_EQ(r.size(), 1u);
    ASSERT_EQ(r[0].data.size(), 112u);
    const std::string text = "Sarovel Tables 1.20";
    EXPECT_EQ(r[0].data[0], text.size());
    EXPECT_EQ(r[0].data[1], 0);
    EXPECT_EQ(r[0].data[2], 0);
    EXPECT_EQ(std::string(r[0].data.begin() + 3, r[0].data.begin() + 3 + long(text.size())), text);
    for (std::size_t i = 3 + text.size(); i < 112; ++i)
        ASSERT_EQ(r[0].data[i], 0x20) << i;
}

TEST(WorkbookWriterRecords, CellRecordsCarryPositionXFAndValueAndWidenTheUsedRange) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteSheetHeader(0, TxlsSheetLayout{}, nullptr);
    const std::size_t headerEnd = stream.Bytes().size();
    w.WriteLabelSST(2, 1, 15, u"x");
    w.WriteLabelSST(3, 1, 15, u"y");
    w.WriteLabelSST(4, 1, 15, u"x");
    w.WriteBoolErr(5, 7, 16, true);
    w.WriteNumber(1, 3, 17, 1.0 / 3);
    w.WriteBlank(9, 0, 15);
    w.WriteNumber(1, 4, 17, 1.5);
    w.WriteEOF(); // writes the RK run first
    const auto r = splitRecords(
        std::vector<std::uint8_t>(stream.Bytes().begin() + long(headerEnd), stream.Bytes().end()));
    ASSERT_EQ(r.size(), 8u);
    EXPECT_EQ(r[0].id, 0x00FD);
    EXPECT_EQ(r[0].data, bytes({2, 0, 1, 0, 15, 0, 0, 0, 0, 0}));
    EXPECT_EQ(r[2].data, bytes({4, 0, 1, 0, 15, 0, 0, 0, 0, 0})); // the same string again
    EXPECT_EQ(r[1].data, bytes({3, 0, 1, 0, 15, 0, 1, 0, 0, 0}));
    EXPECT_EQ(r[3].id, 0x0205);
    EXPECT_EQ(r[3].data, bytes({5, 0, 7, 0, 16, 0, 1, 0}));
    EXPECT_EQ(r[4].id, 0x0203);
    std::vector<std::uint8_t> number = bytes({1, 0, 3, 0, 17, 0});
    const auto value = doubleBytes(1.0 / 3);
    number.insert(number.end(), value.begin(), value.end());
    EXPECT_EQ(r[4].data, number);
    EXPECT_EQ(r[5].id, 0x0201);
    EXPECT_EQ(r[5].data, bytes({9, 0, 0, 0, 15, 0}));
    EXPECT_EQ(r[6].id, 0x027E); // RK: the top 30 bits of 1.5
    EXPECT_EQ(r[6].data, bytes({1, 0, 4, 0, 17, 0, 0, 0, 0xF8, 0x3F}));
    const TxlsBoundSheet& sheet = w.BoundSheets().at(0);
    EXPECT_EQ(sheet.FirstRow, 1);
    EXPECT_EQ(sheet.LastRow, 9);
    EXPECT_EQ(sheet.FirstCol, 0);
    EXPECT_EQ(sheet.LastCol, 7);
    EXPECT_EQ(w.SST().TotalCount(), 3u);
    EXPECT_EQ(w.SST().UniqueCount(), 2u);
}

TEST(WorkbookWriterRecords, AdjacentRKNumbersShareOneMulRKRecord) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteNumber(2, 3, 15, 1);
    w.WriteNumber(2, 4, 16, 2);
    w.WriteNumber(2, 5, 17, 1.0 / 3); // not RK: ends the run
    w.WriteNumber(2, 6, 15, 3);       // a run of one is a plain RK record
    w.WriteNumber(3, 7, 15, 4);       // another row
    w.WriteNumber(3, 8, 15, 5);
    w.WriteBlank(3, 9, 15);
    const auto r = splitRecords(stream.Bytes());
    ASSERT_EQ(r.size(), 5u);
    EXPECT_EQ(r[0].id, 0x00BD);
    EXPECT_EQ(r[0].data, bytes({2, 0, 3, 0, 15, 0, 6, 0, 0, 0, 16, 0, 10, 0, 0, 0, 4, 0}));
    EXPECT_EQ(r[1].id, 0x0203);
    EXPECT_EQ(r[2].id, 0x027E);
    EXPECT_EQ(r[2].data, bytes({2, 0, 6, 0, 15, 0, 14, 0, 0, 0}));
    EXPECT_EQ(r[3].id, 0x00BD);
    EXPECT_EQ(testutil::word(r[3].data, 0), 3);
    EXPECT_EQ(testutil::word(r[3].data, 16), 8); // last column
    EXPECT_EQ(r[4].id, 0x0201);
    EXPECT_EQ(w.BoundSheets().size(), 0u);
}

TEST(WorkbookWriterRecords, NumbersTakeTheRKFormOnlyWhenItIsExact) {
    const struct {
        double value;
        bool rk;
        std::uint32_t encoded;
    } cases[] = {
        {0, true, 0x00000002},
        {12, true, 12 << 2 | 2},
        {-3, true, 0xFFFFFFF6},        // -3 << 2 | 2
        {536870911, true, 0x7FFFFFFE}, // the largest 30-bit integer
        {536870912, true, 0x41C00000}, // 2^29: the top bits of the double
        {1.25, true, 0x3FF40000},      // the double's top bits
        {-2.5, true, 0xC0040000},
        {45293.25, true, 0x40E61DA8}, // a date and time of day
        {0.01, true, 1 << 2 | 3},     // an integer of hundredths
        {123.45, true, 12345 << 2 | 3},
        {0.5, true, 0x3FE00000}, // the double's top bits
        {1.0 / 3, false, 0},
        {9e9, false, 0},
        {45474.543090277778, false, 0},
        {std::numeric_limits<double>::infinity(), false, 0},
        {1 + std::ldexp(1.0, -20), false, 0}, // a bit below the top 30 of the double
        {1 + std::ldexp(1.0, -18), true, 0x3FF00004},
    };
    // What a reader makes of an RK value.
    auto decode = [](std::uint32_t rk) {
        double value = 0;
        if (rk & 2) {
            value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
        } else {
            const std::uint64_t bits = std::uint64_t(rk & 0xFFFFFFFC) << 32;
            std::memcpy(&value, &bits, 8);
        }
        return rk & 1 ? value / 100 : value;
    };
    for (const auto& c : cases) {
        std::uint32_t rk = 0;
        EXPECT_EQ(TxlsWorkbookWriter::EncodeRK(c.value, rk), c.rk) << c.value;
        if (c.rk) {
            EXPECT_EQ(rk, c.encoded) << c.value;
            EXPECT_EQ(decode(rk), c.value) << c.value;
        }
    }
}

TEST(WorkbookWriterRecords, EveryCellWriterRefusesAPlaceOutsideTheSheet) {
    const std::function<void(TxlsWorkbookWriter&, int, int)> writers[] = {
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteLabelSST(row, col, 15, u"x"); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteBoolErr(row, col, 15, true); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteError(row, col, 15, XLS_ERROR_NUM); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteNumber(row, col, 15, 1); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteNumber(row, col, 15, 1.0 / 3); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteNumber(row, col, 15, std::nan("")); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteBlank(row, col, 15); },
        [](TxlsWorkbookWriter& w, int row, int col) { w.WriteFormula(row, col, 0, 1, aggSum, 15, {}); },
    };
    for (std::size_t i = 0; i < std::size(writers); ++i)
        for (auto [row, col] : {std::pair{0, 256}, {65536, 0}, {-1, 0}, {0, -1}}) {
            TxlsMemoryStream stream;
            TxlsWorkbookWriter w(stream);
            EXPECT_THROW(writers[i](w, row, col), TxlsSheetLimitError) << i << ": " << row << ", " << col;
            w.WriteEOF();
            EXPECT_EQ(records(stream).size(), 1u) << i; // nothing but the EOF
            writers[i](w, 65535, 255);                  // the last cell is fine
        }
}

TEST(WorkbookWriterRecords, NaNAndInfinitiesBecomeTheNumError) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteNumber(1, 0, 15, 1);
    w.WriteNumber(1, 1, 16, std::numeric_limits<double>::quiet_NaN());
    w.WriteNumber(1, 2, 15, -std::numeric_limits<double>::infinity());
    w.WriteFormula(2, 0, 0, 1, aggSum, 15, {std::numeric_limits<double>::infinity(), 0});
    const auto r = records(stream);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].id, 0x027E); // the RK number before is written first
    EXPECT_EQ(r[1].id, 0x0205);
    EXPECT_EQ(r[1].data, bytes({1, 0, 1, 0, 16, 0, 0x24, 1}));
    EXPECT_EQ(r[2].data, bytes({1, 0, 2, 0, 15, 0, 0x24, 1}));
    EXPECT_EQ(std::vector<std::uint8_t>(r[3].data.begin() + 6, r[3].data.begin() + 14),
              bytes({2, 0, 0x24, 0, 0, 0, 0xFF, 0xFF}));

    // Aggregates over numbers that overflow, or over a NaN, cache #NUM! too.
    TxlsColumnStats huge, nan, fine;
    for (double v : {1e308, 1e308})
        huge.Add(v);
    nan.Add(1);
    nan.Add(std::nan(""));
    fine.Add(1e308);
    for (int aggregate : {aggSum, aggAvg})
        EXPECT_EQ(huge.Result(aggregate).Error, XLS_ERROR_NUM) << aggregate;
    EXPECT_EQ(huge.Result(aggMax).Value, 1e308);
    for (int aggregate : {aggSum, aggAvg, aggMin, aggMax})
        EXPECT_EQ(nan.Result(aggregate).Error, XLS_ERROR_NUM) << aggregate;
    EXPECT_EQ(fine.Result(aggAvg).Error, 0);
    EXPECT_EQ(TxlsColumnStats{}.Result(aggAvg).Error, XLS_ERROR_DIV0);
}

TEST(WorkbookWriterRecords, FormulaAggregatesTheColumnRange) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    TxlsColumnStats none, some;
    for (double v : {4.0, -1.0, 3.0})
        some.Add(v);
    w.WriteFormula(10, 2, 1, 9, aggAvg, 21, none.Result(aggAvg));
    w.WriteFormula(10, 3, 1, 9, aggSum, 15, some.Result(aggSum));
    w.WriteFormula(10, 4, 1, 9, aggMin, 15, some.Result(aggMin));
    w.WriteFormula(10, 5, 1, 9, aggMax, 15, some.Result(aggMax));
    const auto r = records(stream);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].id, 0x0006);
    // The average of no numbers is cached as the #DIV/0! error; the others as their numbers.
    EXPECT_EQ(r[0].data, bytes({10, 0, 2,  0, 21,   0, 2, 0, 7, 0, 0,    0, 0xFF, 0xFF, 2, 0, 0, 0,
                                0,  0, 13, 0, 0x25, 1, 0, 9, 0, 2, 0xC0, 2, 0xC0, 0x42, 1, 5, 0}));
    EXPECT_EQ(r[1].data[33], 4);
    EXPECT_EQ(r[2].data[33], 6);
    EXPECT_EQ(r[3].data[33], 7);
    double cached[3];
    for (int i = 0; i < 3; ++i)
        std::memcpy(&cached[i], r[std::size_t(i) + 1].data.data() + 6, 8);
    EXPECT_EQ(cached[0], 6.0);
    EXPECT_EQ(cached[1], -1.0);
    EXPECT_EQ(cached[2], 4.0);
}

TEST(WorkbookWriterRecords, MergedCellsSkipInvalidRangesAndAreLeftOutWhenNoneIsValid) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    // The third range is reversed: it names the same cells as rows 5-6, column 2.
    w.WriteMergedCells({{1, 2, 1, 3}, {0, 2, 1, 1}, {6, 5, 2, 2}, {65536, 65535, 256, 255}});
    w.WriteMergedCells({{0, 0, 0, 0}});
    w.WriteMergedCells({});
    const auto r = records(stream);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].id, 0x00E5);
    EXPECT_EQ(r[0].data, bytes({3, 0, 0, 0, 1, 0,    0,    0,    2,    0,    4, 0,    5,
                                0, 1, 0, 1, 0, 0xFE, 0xFF, 0xFF, 0xFF, 0xFE, 0, 0xFF, 0}));

    // A range past the last row or column is refused before anything is written.
    for (TxlsMergedRange outside : {TxlsMergedRange{1, 2, 1, 257}, {1, 65537, 1, 2}, {2, 1, 257, 1}}) {
        TxlsMemoryStream refused;
        TxlsWorkbookWriter writer(refused);
        try {
            writer.WriteMergedCells({{1, 1, 1, 2}, outside});
            ADD_FAILURE() << "no error";
        } catch (const TxlsSheetLimitError& error) {
            EXPECT_NE(std::string(error.what()).find("outside the sheet"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(refused.Bytes().empty());
    }
}

TEST(WorkbookWriterRecords, PaletteTakesOnlyTheFirstFourUserColours) {
    const auto defaults = TxlsWorkbookWriter::DefaultUserColors();
    const auto standard = TxlsWorkbookWriter::PaletteRecord(defaults);
    ASSERT_EQ(standard.size(), 230u);
    EXPECT_EQ(std::vector<std::uint8_t>(standard.begin(), standard.begin() + 6),
              bytes({0x92, 0, 226, 0, 56, 0}));
    // Colour 8 is black, colour 10 red (clrRed's fixed colour 0000FF), colour 9 white.
    EXPECT_EQ(std::vector<std::uint8_t>(standard.begin() + 6, standard.begin() + 14),
              bytes({0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(standard.begin() + 14, standard.begin() + 18), bytes({255, 0, 0, 0}));

    auto changed = defaults;
    changed[4] = 0x123456;
    EXPECT_EQ(TxlsWorkbookWriter::PaletteRecord(changed), standard);
    changed[0] = 0x123456;
    const auto palette = TxlsWorkbookWriter::PaletteRecord(changed);
    const std::size_t colour24 = 6 + 4 * (24 - 8);
    EXPECT_EQ(std::vector<std::uint8_t>(palette.begin() + colour24, palette.begin() + colour24 + 4),
              bytes({0x56, 0x34, 0x12, 0}));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        if (i < colour24 || i >= colour24 + 4) {
            ASSERT_EQ(palette[i], standard[i]) << i;
        }
    }
}

TEST(WorkbookWriterRecords, ColumnInfoWidthAddsOneCharacterPixel) {
    EXPECT_EQ(TxlsWorkbookWriter::ColInfoWidth(11, 8.0), 2848); // (11 + 1/8) * 256
    EXPECT_EQ(TxlsWorkbookWriter::ColInfoWidth(0, 7.0), 37);
}

TEST(WorkbookWriterRecords, ShortWriteRaisesTheWriteError) {
    testutil::ShortStream stream(100);
    TxlsWorkbookWriter w(stream);
    try {
        w.WriteGlobals();
        FAIL() << "no error";
    } catch (const TxlsWriteError& error) {
        EXPECT_STREQ(error.what(), "Error writing output file");
    }
}

TEST(WorkbookWriterWorkbook, GatheredRecordsGiveTheBytesOfRecordsWrittenOneByOne) {
    // Cells (RK runs among them), writes of their own between records as a sheet's objects make
    // them, positions asked for on the way, patches behind the end and the globals' splice; more
    // rows than one gathering holds.
    auto write = [](TxlsWorkbookWriter& w) {
        std::vector<std::uint64_t> positions;
        w.WriteGlobals();
        TxlsSheetLayout layout;
        layout.Title = u"Cells";
        layout.ColumnWidths = {3, 4, 5, 6};
        w.WriteSheetHeader(0, layout, nullptr);
        for (int row = 0; row < 20000; ++row) {
            w.WriteLabelUtf8(row, 0, 15, "text " + std::to_string(row % 7));
            w.WriteNumber(row, 1, 15, row);
            w.WriteNumber(row, 2, 16, row + 0.5);
            if (row % 4000 == 3) {
                // A record between writes of its own, as a chart's inside a sheet's drawing.
                TxlsStream& own = w.Stream();
                positions.push_back(own.Position());
                WriteWord(own, 0xABCD);
                w.WriteBlank(row, 5, 15);
                WriteWord(own, 0xDCBA);
                positions.push_back(own.Position());
            }
            w.WriteNumber(row, 3, 15, 1.0 / 3);
            w.WriteBlank(row, 4, 15);
        }
        w.WriteNumber(20000, 1, 15, 7); // a run still open when the tail comes
        w.ApplyColumnWidths({9, 8, 7, 6});
        w.WriteSheetTail(nullptr);
        w.FinishWorkbook(nullptr);
        return positions;
    };
    TxlsMemoryStream plain, gathered;
    TxlsWorkbookWriter one(plain), all(gathered);
    all.GatherRecords();
    EXPECT_EQ(write(all), write(one));
    EXPECT_GT(plain.Bytes().size(), 2 * TxlsWorkbookWriter::GatherSize);
    EXPECT_TRUE(gathered.Bytes() == plain.Bytes());
}

struct WrittenWorkbook {
    TxlsMemoryStream stream;
    std::uint64_t splice = 0;
    std::uint64_t sheetBOF = 0;
};

TEST(WorkbookWriterWorkbook, EmptySheetKeepsZeroDimensionsAndSplicesTheGlobalsBeforeTheEOF) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteGlobals();
    const std::uint64_t splice = w.SplicePosition();
    TxlsSheetLayout layout;
    layout.Title = u"Empty";
    w.WriteSheetHeader(0, layout, nullptr);
    const std::uint64_t bof = w.BoundSheets()[0].BOFPosition;
    w.WriteSheetTail(nullptr);
    w.FinishWorkbook(nullptr);

    const auto r = records(stream);
    ASSERT_FALSE(r.empty());
    EXPECT_NE(r.back().id, 0xFFFF);
    EXPECT_EQ(countRecords(r, 0x01AE), 0u); // SUPBOOK
    EXPECT_EQ(countRecords(r, 0x0017), 0u); // EXTERNSHEET
    EXPECT_EQ(countRecords(r, 0x00EB), 0u); // MSODRAWINGGROUP
    EXPECT_EQ(countRecords(r, 0x0031), 4u); // the four default fonts
    EXPECT_EQ(countRecords(r, 0x00E0), 16u);
    EXPECT_EQ(countRecords(r, 0x0293), 6u);
    const RawRecord* sst = findRecord(r, 0x00FC);
    ASSERT_TRUE(sst);
    EXPECT_EQ(sst->data, bytes({0, 0, 0, 0, 0, 0, 0, 0}));
    const RawRecord* dimensions = findRecord(r, 0x0200);
    ASSERT_TRUE(dimensions);
    EXPECT_EQ(dimensions->data, std::vector<std::uint8_t>(14, 0));

    // The globals' EOF follows the SST; the sheet's BOF is where its BOUNDSHEET points.
    std::size_t sstAt = 0;
    for (std::size_t i = 0; i < r.size(); ++i)
        if (r[i].id == 0x00FC)
            sstAt = i;
    EXPECT_EQ(r.at(sstAt + 1).id, 0x000A);
    EXPECT_EQ(r.at(sstAt + 2).id, 0x0809);
    const RawRecord* boundSheet = findRecord(r, 0x0085);
    ASSERT_TRUE(boundSheet);
    const std::uint32_t offset = GetDWord(boundSheet->data, 0);
    std::uint64_t inserted = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        if (r[i].id == 0x0809 && i > 0)
            break;
        inserted += 4 + r[i].data.size();
    }
    inserted -= splice + 4; // the globals up to the splice point and their EOF
    EXPECT_EQ(offset, bof + inserted);
    EXPECT_EQ(testutil::word(stream.Bytes(), offset), 0x0809);
    EXPECT_EQ(boundSheet->data,
              bytes({boundSheet->data[0], boundSheet->data[1], boundSheet->data[2], boundSheet->data[3], 0, 0,
                     5, 1, 'E', 0, 'm', 0, 'p', 0, 't', 0, 'y', 0}));
}

// Objects of a sheet with a chart and one drawing object.
class FakeObjects : public TxlsSheetObjects {
public:
    void WriteMergedCells(TxlsWorkbookWriter& w) override { w.WriteMergedCells({{1, 1, 1, 2}}); }
    bool HasCharts() const override { return true; }
    int DrawingObjectCount() const override { return 1; }
};

class FakeWorkbookObjects : public TxlsWorkbookObjects {
public:
    int Total = -1;
    std::vector<std::uint8_t> DrawingGroup(int total) override {
        Total = total;
        return {1, 2, 3};
    }
};

TEST(WorkbookWriterWorkbook, ChartsAddReferencesAndDrawingObjectsTheDrawingGroup) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    w.WriteGlobals();
    FakeObjects objects;
    for (int sheet = 0; sheet < 2; ++sheet) {
        TxlsSheetLayout layout;
        layout.Title = sheet ? u"Two" : u"One";
        layout.FirstDataCol = 1;
        layout.ColumnWidths = {5, 7};
        w.WriteSheetHeader(sheet, layout, &objects);
        w.WriteNumber(3, 2, 15, 1);
        w.WriteSheetTail(&objects);
    }
    FakeWorkbookObjects group;
    w.FinishWorkbook(&group);
    EXPECT_EQ(group.Total, 2);
    const auto r = records(stream);
    const RawRecord* supbook = findRecord(r, 0x01AE);
    ASSERT_TRUE(supbook);
    EXPECT_EQ(supbook->data, bytes({2, 0, 1, 4}));
    const RawRecord* externSheet = findRecord(r, 0x0017);
    ASSERT_TRUE(externSheet);
    EXPECT_EQ(externSheet->data, bytes({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0}));
    const RawRecord* drawingGroup = findRecord(r, 0x00EB);
    ASSERT_TRUE(drawingGroup);
    EXPECT_EQ(drawingGroup->data, bytes({1, 2, 3}));
    EXPECT_EQ(countRecords(r, 0x00E5), 2u);
    const RawRecord* dimensions = findRecord(r, 0x0200, 1);
    ASSERT_TRUE(dimensions);
    EXPECT_EQ(dimensions->data, bytes({3, 0, 0, 0, 4, 0, 0, 0, 2, 0, 3, 0, 0, 0}));
    // Two COLINFO records per sheet, from the first data column on.
    const RawRecord* colInfo = findRecord(r, 0x007D, 1);
    ASSERT_TRUE(colInfo);
    EXPECT_EQ(testutil::word(colInfo->data, 0), 2);
    EXPECT_EQ(testutil::word(colInfo->data, 6), 15);
    // Both BOUNDSHEET offsets point at a worksheet BOF.
    for (std::size_t i = 0; i < 2; ++i) {
        const RawRecord* boundSheet = findRecord(r, 0x0085, i);
        ASSERT_TRUE(boundSheet);
        const std::uint32_t offset = GetDWord(boundSheet->data, 0);
        EXPECT_EQ(testutil::word(stream.Bytes(), offset), 0x0809);
        EXPECT_EQ(testutil::word(stream.Bytes(), offset + 6), 0x0010);
    }
}

TEST(WorkbookWriterWorkbook, ApplyColumnWidthsRewritesTheWidthFields) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    TxlsSheetLayout layout;
    layout.ColumnWidths = {5, 7};
    w.WriteSheetHeader(0, layout, nullptr);
    const std::uint64_t end = stream.Position();
    w.ApplyColumnWidths({12, 3});
    EXPECT_EQ(stream.Position(), end);
    const auto r = records(stream);
    EXPECT_EQ(testutil::word(findRecord(r, 0x007D, 0)->data, 4), 12 * 256);
    EXPECT_EQ(testutil::word(findRecord(r, 0x007D, 1)->data, 4), 3 * 256);
}

TEST(WorkbookWriterWorkbook, MeasuredWidthRoundsUpAnyFraction) {
    TxlsMemoryStream stream;
    TxlsWorkbookWriter w(stream);
    const int shortText = w.MeasureColumnWidth("abc", 15);
    const int longText = w.MeasureColumnWidth(std::string(40, 'W'), 15);
    EXPECT_GE(shortText, 3);
    EXPECT_LE(shortText, 7);
    EXPECT_GT(longText, 5 * shortText);
}

} // namespace
