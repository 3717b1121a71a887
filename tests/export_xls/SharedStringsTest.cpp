#include "export/xls/ExporterXLSColInfo.h"
#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSSST.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

namespace {

using namespace exporter;
using testutil::bytes;
using testutil::RawRecord;
using testutil::splitRecords;

std::vector<std::uint8_t> saved(const TsstStrings& sst) {
    TxlsMemoryStream stream;
    sst.SaveToStream(stream);
    return stream.Bytes();
}

std::u16string text(std::size_t length, char16_t first) {
    std::u16string s(length, u'a');
    for (std::size_t i = 0; i < length; ++i)
        s[i] = static_cast<char16_t>(first + i % 23);
    return s;
}

// Reads the strings back the way a reader does: every CONTINUE that interrupts a string's
// characters opens with an option byte; asserts that the record lengths frame the data exactly.
std::vector<std::u16string> parseSst(const std::vector<std::uint8_t>& stream, std::uint32_t& total,
                                     std::uint32_t& unique) {
    const std::vector<RawRecord> records = splitRecords(stream);
    EXPECT_FALSE(records.empty());
    EXPECT_EQ(records.front().id, BIFF_SST);
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].id, i == 0 ? BIFF_SST : BIFF_CONTINUE) << "record " << i;
        EXPECT_LE(records[i].data.size(), MAX_RECORD_DATA_SIZE);
    }
    std::size_t record = 0, at = 8;
    total = GetDWord(records[0].data, 0);
    unique = GetDWord(records[0].data, 4);
    std::vector<std::u16string> strings;
    auto nextRecord = [&] {
        ++record;
        at = 0;
        EXPECT_LT(record, records.size());
    };
    while (strings.size() < unique) {
        if (at == records[record].data.size())
            nextRecord(); // a string never starts in the middle of its header
        const auto& data = records[record].data;
        const std::uint16_t length = GetWord(data, at);
        EXPECT_EQ(data.at(at + 2), 1) << "option byte";
        at += 3;
        std::u16string s;
        while (s.size() < length) {
            if (at == records[record].data.size()) {
                nextRecord();
                EXPECT_EQ(records[record].data.at(0), 1) << "option byte of a continued string";
                at = 1;
            }
            s.push_back(static_cast<char16_t>(GetWord(records[record].data, at)));
            at += 2;
        }
        strings.push_back(s);
    }
    EXPECT_EQ(record, records.size() - 1) << "records left over";
    EXPECT_EQ(at, records.back().data.size()) << "bytes left over";
    return strings;
}

void expectReadsBack(const std::vector<std::u16string>& added) {
    TsstStrings sst;
    for (const auto& s : added)
        sst.Add(s);
    std::uint32_t total = 0, unique = 0;
    const auto strings = parseSst(saved(sst), total, unique);
    EXPECT_EQ(total, added.size());
    EXPECT_EQ(unique, sst.Count());
    ASSERT_EQ(strings.size(), sst.Count());
    for (std::size_t i = 0; i < strings.size(); ++i)
        EXPECT_TRUE(strings[i] == sst.Items(i).Text) << "string " << i << " of length " << strings[i].size();
}

std::vector<std::size_t> recordLengths(const std::vector<std::uint8_t>& stream) {
    std::vector<std::size_t> lengths;
    for (const auto& r : splitRecords(stream))
        lengths.push_back(r.data.size());
    return lengths;
}

TEST(SharedStrings, EmptyTableHoldsTwoZeroCounts) {
    TsstStrings sst;
    EXPECT_EQ(saved(sst), bytes({0xFC, 0x00, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(SharedStrings, DuplicatesShareAnIndexAndCountAsOccurrences) {
    TsstStrings sst;
    EXPECT_EQ(sst.Add(u"ab"), 0u);
    EXPECT_EQ(sst.Add(u"b"), 1u);
    EXPECT_EQ(sst.Add(u"ab"), 0u);
    EXPECT_EQ(sst.Add(u"AB"), 2u); // compared exactly
    EXPECT_EQ(sst.TotalCount(), 4u);
    EXPECT_EQ(sst.UniqueCount(), 3u);
    EXPECT_EQ(sst.Items(0).Occurrences, 2u);
    // Lookup order: shorter first, then by code unit; the table keeps insertion order.
    EXPECT_EQ(sst.SortedItems(0).Text, u"b");
    EXPECT_EQ(sst.SortedItems(1).Text, u"AB");
    EXPECT_EQ(sst.SortedItems(2).Text, u"ab");
    EXPECT_EQ(saved(sst), bytes({0xFC, 0x00, 27, 0, 4, 0, 0,   0, 3, 0, 0, 0,   2, 0,   1, 'a',
                                 0,    'b',  0,  1, 0, 1, 'b', 0, 2, 0, 1, 'A', 0, 'B', 0}));
}

TEST(SharedStrings, CodeUnitsCompareUnsigned) {
    EXPECT_LT(CompareWideStrings(u"z", u"\u00e9"), 0);
    EXPECT_LT(CompareWideStrings(u"\u7fff", u"\uffff"), 0);
    EXPECT_LT(CompareWideStrings(u"zz", u"aaa"), 0);
    EXPECT_EQ(CompareWideStrings(u"", u""), 0);
    TsstStrings sst;
    sst.Add(u"\uffff");
    sst.Add(u"a");
    EXPECT_EQ(sst.Add(u"\uffff"), 0u);
    EXPECT_EQ(sst.Add(u"a"), 1u);
    EXPECT_EQ(sst.UniqueCount(), 2u);
}

TEST(SharedStrings, StringOf4110CharactersFitsAnEmptyRecord) {
    TsstStrings sst;
    sst.Add(text(4110, u'A'));
    EXPECT_EQ(recordLengths(saved(sst)), (std::vector<std::size_t>{8, 8223}));
    expectReadsBack({text(4110, u'A')});
}

TEST(SharedStrings, StringOf4111CharactersIsContinued) {
    TsstStrings sst;
    sst.Add(text(4111, u'A'));
    sst.Add(u"tail");
    EXPECT_EQ(recordLengths(saved(sst)), (std::vector<std::size_t>{8, 8223, 3 + 11}));
    expectReadsBack({text(4111, u'A'), u"tail"});
}

TEST(SharedStrings, FullFirstRecordMakesTheNextStringOpenAContinue) {
    TsstStrings sst;
    sst.Add(text(4000, u'A'));
    sst.Add(text(105, u'a')); // 8 + 8003 + 213 = 8224
    EXPECT_EQ(sst.PlannedSizes(), (std::vector<std::size_t>{8224}));
    sst.Add(u"x");
    EXPECT_EQ(recordLengths(saved(sst)), (std::vector<std::size_t>{8224, 5}));
}

TEST(SharedStrings, VeryLongStringsSpanSeveralContinues) {
    TsstStrings sst;
    sst.Add(u"head");
    sst.Add(text(20000, u'0'));
    sst.Add(u"tail");
    // 20000 = 4110 + 4111 + 4111 + 4111 + 3557
    EXPECT_EQ(recordLengths(saved(sst)),
              (std::vector<std::size_t>{19, 8223, 8223, 8223, 8223, 1 + 2 * 3557 + 11}));
    expectReadsBack({u"head", text(20000, u'0'), u"tail", text(8222, u'a'), u"x", text(12345, u'K')});
}

TEST(SharedStrings, ManyStringsKeepPlannedAndWrittenSizesInStep) {
    std::vector<std::u16string> added;
    for (int i = 0; i < 3000; ++i)
        added.push_back(text(static_cast<std::size_t>((i * 37) % 300 + (i % 500 == 0 ? 9000 : 0)),
                             static_cast<char16_t>(u'A' + i % 50)) +
                        std::u16string(1, static_cast<char16_t>(0x100 + i)));
    added.push_back(added[5]);
    expectReadsBack(added);
}

TEST(SharedStrings, TextsLongerThanACellHoldsAreCut) {
    TsstStrings sst;
    EXPECT_EQ(sst.Add(text(40000, u'A')), 0u);
    EXPECT_EQ(sst.Items(0).Text.size(), MAX_CELL_TEXT_LENGTH);
    EXPECT_EQ(sst.Add(text(32767, u'A')), 0u);
    expectReadsBack({text(40000, u'A')});
}

TEST(SharedStrings, ShortWriteRaisesTheWriteError) {
    TsstStrings sst;
    sst.Add(text(9000, u'A'));
    for (std::size_t limit : {0u, 10u, 12u, 8240u}) {
        testutil::ShortStream stream(limit);
        EXPECT_THROW(sst.SaveToStream(stream), TxlsWriteError) << limit;
    }
}

TEST(ColumnInfo, EntriesAreWrittenInColumnOrderAs11ByteRecords) {
    TxlsColInfoList list;
    for (std::uint16_t column : {5, 2, 9})
        list.Add(std::make_unique<TxlsColInfo>(TxlsColInfo{column, static_cast<std::uint16_t>(256 * column),
                                                           15, static_cast<std::uint16_t>(column)}));
    EXPECT_FALSE(list.Sorted());
    TxlsMemoryStream stream;
    list.SaveToStream(stream);
    EXPECT_TRUE(list.Sorted());
    std::vector<std::uint8_t> expected;
    for (int column : {2, 5, 9}) {
        const auto record = bytes({0x7D, 0x00, 11, 0, column, 0, column, 0, 0, column, 15, 0, column, 0, 0});
        expected.insert(expected.end(), record.begin(), record.end());
    }
    EXPECT_EQ(stream.Bytes(), expected);
    list.Add(std::make_unique<TxlsColInfo>(TxlsColInfo{0x8000, 0, 15, 0}));
    EXPECT_FALSE(list.Sorted());
    list.Sort();
    EXPECT_EQ(list.Items(3).Column, 0x8000); // compared as unsigned
}

} // namespace
