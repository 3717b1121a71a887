#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSRecords.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

namespace {

using namespace exporter;
using testutil::bytes;
using testutil::splitRecords;

std::vector<std::uint8_t> saved(const TbiffRecord& record) {
    TxlsMemoryStream stream;
    record.SaveToStream(&stream);
    return stream.Bytes();
}

std::vector<std::uint8_t> pattern(std::size_t size) {
    std::vector<std::uint8_t> data(size);
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return data;
}

TEST(BiffRecord, LongDataIsSplitIntoContinueRecordsOf8220Bytes) {
    struct Case {
        std::size_t size;
        std::vector<std::size_t> chunks;
    };
    for (const Case& c : {Case{0, {0}}, Case{8220, {8220}}, Case{8221, {8220, 1}},
                          Case{20000, {8220, 8220, 3560}}, Case{16440, {8220, 8220}}}) {
        const auto data = pattern(c.size);
        TbiffRecord record(nullptr, data, 0x00EB);
        const auto records = splitRecords(saved(record));
        ASSERT_EQ(records.size(), c.chunks.size()) << c.size;
        std::vector<std::uint8_t> joined;
        for (std::size_t i = 0; i < records.size(); ++i) {
            EXPECT_EQ(records[i].id, i == 0 ? 0x00EB : BIFF_CONTINUE);
            EXPECT_EQ(records[i].data.size(), c.chunks[i]);
            joined.insert(joined.end(), records[i].data.begin(), records[i].data.end());
        }
        EXPECT_EQ(joined, data);
        // The total size does not count the CONTINUE headers.
        EXPECT_EQ(record.GetTotalSize(), c.size + 4);
    }
}

TEST(BiffRecord, AttachedRecordFollowsAndCountsInTheTotal) {
    TbiffRecord record(nullptr, bytes({1, 2}), 0x0123);
    record.SetContinuation(std::make_unique<TbiffRecord>(nullptr, bytes({3}), 0x0456));
    EXPECT_EQ(saved(record), bytes({0x23, 0x01, 2, 0, 1, 2, 0x56, 0x04, 1, 0, 3}));
    EXPECT_EQ(record.GetTotalSize(), 11u);
    record.SaveToStream(nullptr); // nothing happens without a stream
    record.Clear();
    EXPECT_EQ(record.Data(), bytes({0, 0}));
}

TEST(BiffRecord, ShortWritesRaiseTheWriteError) {
    const TbiffRecord record(nullptr, pattern(9000), 0x00EB);
    // A stream that stops in the header, in the first chunk, in the CONTINUE header, in its data.
    for (std::size_t limit : {0u, 3u, 100u, 8224u, 8226u, 9000u}) {
        testutil::ShortStream stream(limit);
        try {
            record.SaveToStream(&stream);
            ADD_FAILURE() << "no error with limit " << limit;
        } catch (const TxlsWriteError& e) {
            EXPECT_STREQ(e.what(), "Error writing output file");
        }
    }
    testutil::ShortStream enough(9000 + 8);
    EXPECT_NO_THROW(record.SaveToStream(&enough));
}

TEST(BiffRecord, GlobalsRecordsHaveTheirExactBytes) {
    TbiffBoundSheet sheet(nullptr, u"Tab\u00e91");
    sheet.SetStreamOffset(0x01020304);
    sheet.SetVisibility(0);
    sheet.SetSheetType(0);
    EXPECT_EQ(saved(sheet), bytes({0x85, 0x00, 18, 0,   0x04, 0x03, 0x02, 0x01, 0, 0,   5,
                                   1,    'T',  0,  'a', 0,    'b',  0,    0xE9, 0, '1', 0}));

    TbiffCountry country(nullptr);
    country.SetDefaultCountry(1);
    country.SetWindowsCountry(49);
    EXPECT_EQ(saved(country), bytes({0x8C, 0x00, 4, 0, 1, 0, 49, 0}));

    TbiffFont font(nullptr, u"Arial");
    font.SetHeight(200);
    font.SetOptions(0x0002);
    font.SetColorIndex(0x7FFF);
    font.SetWeight(700);
    font.SetEscapement(1);
    font.SetUnderline(0x21);
    font.SetFamily(0);
    font.SetCharset(1);
    EXPECT_EQ(saved(font),
              bytes({0x31, 0x00, 26, 0, 0xC8, 0,   0x02, 0,   0xFF, 0x7F, 0xBC, 0x02, 1, 0,   0x21,
                     0,    1,    0,  5, 1,    'A', 0,    'r', 0,    'i',  0,    'a',  0, 'l', 0}));

    TbiffFormat format(nullptr, 164, u"0.0%");
    EXPECT_EQ(saved(format), bytes({0x1E, 0x04, 13, 0, 164, 0, 4, 0, 1, '0', 0, '.', 0, '0', 0, '%', 0}));

    const std::uint8_t styleBytes[4] = {0x10, 0x80, 0x03, 0xFF};
    EXPECT_EQ(saved(TbiffStyle(nullptr, styleBytes)), bytes({0x93, 0x02, 4, 0, 0x10, 0x80, 0x03, 0xFF}));

    EXPECT_EQ(saved(TbiffSupbookInternal(nullptr, 3)), bytes({0xAE, 0x01, 4, 0, 3, 0, 0x01, 0x04}));

    TbiffExternSheet extern2(nullptr, 2);
    extern2.SetEntry(0, 0, 0, 0);
    extern2.SetEntry(1, 0, 1, 2);
    EXPECT_EQ(saved(extern2), bytes({0x17, 0x00, 14, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 2, 0}));

    TbiffXF xf(nullptr);
    xf.SetFontIndex(5);
    xf.SetFormatIndex(164);
    xf.SetTypeProtection(0x0001);
    xf.SetAlignment(0x0028);
    xf.SetIndentAndUsedAttributes(0x5800);
    xf.SetBorderStyles(0x1111);
    xf.SetSideBorderColors(0x8000);
    xf.SetOtherBorderColorsAndPattern(0x04000000);
    xf.SetPatternColors(0x20C0);
    EXPECT_EQ(saved(xf), bytes({0xE0, 0x00, 20,   0,    5, 0,    164, 0, 1, 0,    0x28, 0,
                                0,    0x58, 0x11, 0x11, 0, 0x80, 0,   0, 0, 0x04, 0xC0, 0x20}));
}

TEST(BiffRecord, OneByteLengthFieldsCutLongNames) {
    const std::u16string longName(300, u'x');
    TbiffBoundSheet sheet(nullptr, longName);
    EXPECT_EQ(sheet.GetDataSize(), 2u * 255 + 8);
    EXPECT_EQ(sheet.Data()[6], 255);
    TbiffFont font(nullptr, longName);
    EXPECT_EQ(font.GetDataSize(), 2u * 255 + 16);
    EXPECT_EQ(font.Data()[14], 255);
}

TEST(BiffRecord, DrawingGroupLargerThan64KiBKeepsItsFullSize) {
    const auto data = pattern(70000);
    TbiffMSODrawingGroup group(nullptr, data);
    EXPECT_EQ(group.GetDataSize(), 70000u);
    const auto records = splitRecords(saved(group));
    ASSERT_EQ(records.size(), 9u); // 8 x 8220 + 4240
    EXPECT_EQ(records.front().id, BIFF_MSODRAWINGGROUP);
    EXPECT_EQ(records.back().data.size(), 70000u - 8 * 8220);
}

TEST(XlsUtils, DrawingHeadersAndWords) {
    TxlsMemoryStream stream;
    WriteMsoHeader(stream, 0xF, 2, 0xF000, 0x12345678);
    EXPECT_EQ(stream.Bytes(), bytes({0x2F, 0x00, 0x00, 0xF0, 0x78, 0x56, 0x34, 0x12}));

    std::vector<std::uint8_t> buffer(12, 0);
    std::size_t position = 2;
    PutMsoHeader(buffer, position, 2, 0x0A1, 0xF00B, 18);
    EXPECT_EQ(position, 10u);
    EXPECT_EQ(buffer, bytes({0, 0, 0x12, 0x0A, 0x0B, 0xF0, 18, 0, 0, 0, 0, 0}));
    EXPECT_THROW(PutMsoHeader(buffer, position, 0, 0, 0, 0), std::out_of_range);

    PutWord(buffer, 10, 0xBEEF);
    EXPECT_EQ(GetWord(buffer, 10), 0xBEEF);
    EXPECT_THROW(PutWord(buffer, 11, 1), std::out_of_range);
}

TEST(XlsUtils, Utf8ToWideKeepsEveryCharacterAndMarksMalformedBytes) {
    EXPECT_EQ(Utf8ToWide("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
              std::u16string(u"A\u00e9\u20ac\U0001F600"));
    EXPECT_EQ(Utf8ToWide("a\xFF"
                         "b\xC3"),
              std::u16string(u"a\uFFFDb\uFFFD"));
    EXPECT_EQ(Utf8ToWide("\xC0\xAF\xED\xA0\x80"), std::u16string(u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"));
}

} // namespace
