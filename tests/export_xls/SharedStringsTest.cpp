#include "export/xls/ExporterXLSColInfo.h"
#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSSST.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unordered_map>
#include <utility>

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
// characters opens with its own option byte (0 compressed, 1 UTF-16); asserts that the record
// lengths frame the data exactly.
std::vector<std::u16string> parseSst(const std::vector<std::uint8_t>& stream, std::uint32_t& total,
                                     std::uint32_t& unique) {
    const std::vector<RawRecord> records = splitRecords(stream);
    EXPECT_FALSE(records.empty());
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
        std::uint8_t option = data.at(at + 2);
        EXPECT_LE(option, 1) << "option byte";
        at += 3;
        std::u16string s;
        while (s.size() < length) {
            if (at == records[record].data.size()) {
                nextRecord();
                option = records[record].data.at(0);
                EXPECT_LE(option, 1) << "option byte of a continued string";
                at = 1;
            }
            if (option == 0) {
                s.push_back(static_cast<char16_t>(records[record].data.at(at)));
                at += 1;
            } else {
                s.push_back(static_cast<char16_t>(GetWord(records[record].data, at)));
                at += 2;
            }
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

TEST(SharedStrings, DuplicatesShareAnIndexAndSingleByteTextsAreCompressed) {
    TsstStrings sst;
    EXPECT_EQ(sst.Add(u"ab"), 0u);
    EXPECT_EQ(sst.Add(u"b"), 1u);
    EXPECT_EQ(sst.Add(u"ab"), 0u);
    EXPECT_EQ(sst.Add(u"AB"), 2u); // compared exactly
    EXPECT_EQ(sst.Add(u"\u00e9\u0416"), 3u);
    EXPECT_EQ(sst.Add(u""), 4u);
    EXPECT_EQ(sst.TotalCount(), 6u);
    EXPECT_EQ(sst.UniqueCount(), 5u);
    EXPECT_EQ(sst.Items(0).Occurrences, 2u);
    EXPECT_EQ(saved(sst),
              bytes({0xFC, 0x00, 32,  0, 6, 0, 0,   0,   5, 0, 0, 0,    2, 0,    0,    'a', 'b', 1,
                     0,    0,    'b', 2, 0, 0, 'A', 'B', 2, 0, 1, 0xE9, 0, 0x16, 0x04, 0,   0,   0}));
}

// Texts of one length ("k00000000", "k00000001", ...; wide ones open with a "\u0416") as UTF-8: pairs
// to which the table's hash gives one value, and texts whose hashes land in the last slot of a table of
// any size up to 4096 slots, so that probing wraps around. Found by search, they collide under whatever
// hash the table uses.
std::string Numbered(bool wide, std::uint32_t n) {
    std::string text(wide ? "\xD0\x96" : "k");
    for (std::uint32_t digit = 10000000; digit > 0; digit /= 10)
        text += char('0' + n / digit % 10);
    return text;
}

// The hash the table files a text under: of its bytes when every character fits in one, else of its
// UTF-16 code units.
std::uint32_t TableHash(const std::string& utf8) {
    const std::u16string text = Utf8ToWide(utf8);
    if (!IsCompressible(text))
        return HashUnits(text);
    return HashBytes(std::string(text.begin(), text.end()));
}

std::pair<std::string, std::string> SearchSameHash(bool wide) {
    std::unordered_map<std::uint32_t, std::uint32_t> seen;
    for (std::uint32_t n = 0;; ++n) {
        const auto [at, added] = seen.emplace(TableHash(Numbered(wide, n)), n);
        if (!added)
            return {Numbered(wide, at->second), Numbered(wide, n)};
    }
}

// The first such pair, searched once per run.
const std::pair<std::string, std::string>& SameHash(bool wide) {
    static const std::pair<std::string, std::string> pairs[] = {SearchSameHash(false), SearchSameHash(true)};
    return pairs[wide ? 1 : 0];
}

std::vector<std::string> InTheLastSlot(bool wide, std::size_t count, std::uint32_t slots = 4096) {
    std::vector<std::string> texts;
    for (std::uint32_t n = 0; texts.size() < count; ++n)
        if ((TableHash(Numbered(wide, n)) & (slots - 1)) == slots - 1)
            texts.push_back(Numbered(wide, n));
    return texts;
}

// Texts with one hash stay two strings, and texts that probe past the table's end wrap to its start;
// each is found again by either form of Add, also after the table grew, and every one is written.
TEST(SharedStrings, TextsWhoseHashesMeetStayApartAndAreFoundAgain) {
    for (const bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        const auto [first, second] = SameHash(wide);
        ASSERT_EQ(TableHash(first), TableHash(second));
        std::vector<std::string> texts{first, second};
        for (const std::string& text : InTheLastSlot(wide, 24))
            texts.push_back(text);
        TsstStrings sst;
        for (std::uint32_t i = 0; i < texts.size(); ++i)
            ASSERT_EQ(sst.Add(Utf8ToWide(texts[i])), i) << i;
        const auto again = [&] {
            for (std::uint32_t i = 0; i < texts.size(); ++i) {
                EXPECT_EQ(sst.Add(Utf8ToWide(texts[i])), i) << i;
                EXPECT_EQ(sst.AddUtf8(texts[i]), i) << i;
            }
        };
        again();
        // The table grows twice; no filler starts at the first slot, so only the wrapped texts reach it.
        for (std::uint32_t n = 0, added = 0; added < 3000; ++n) {
            const std::string filler = "filler " + Numbered(wide, n);
            if ((TableHash(filler) & 1023) != 0) {
                sst.AddUtf8(filler);
                ++added;
            }
        }
        again();
        ASSERT_EQ(sst.Count(), texts.size() + 3000);
        std::uint32_t total = 0, unique = 0;
        const auto strings = parseSst(saved(sst), total, unique);
        ASSERT_EQ(strings.size(), texts.size() + 3000);
        for (std::uint32_t i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(strings[i] == Utf8ToWide(texts[i])) << i;
            EXPECT_EQ(sst.Items(i).Occurrences, 5u) << i;
        }
    }
}

TEST(SharedStrings, UTF8TextsGetTheIndexAndBytesOfTheirUTF16Form) {
    const std::string longAscii(40000, 'q');
    const std::string cutInPair = std::string(32766, 'a') + "\xF0\x9F\x98\x80"; // the cut falls in the pair
    const std::vector<std::string> texts = {"",
                                            "plain",
                                            "Plain",
                                            "plain ",
                                            "\t\x01\x7F",
                                            "caf\xC3\xA9",
                                            "\xC3\xA9",
                                            "\xE9",
                                            "\xFF\xFE",
                                            "\xC0\x80",
                                            "\xE2\x82",
                                            "\xD0\x96\xD0\xB8",
                                            "\xF0\x9F\x98\x80!",
                                            "\xED\xA0\x80",
                                            "x\xC3",
                                            longAscii,
                                            longAscii + "b",
                                            cutInPair,
                                            std::string(32767, 'z'),
                                            SameHash(false).first,
                                            SameHash(false).second,
                                            SameHash(true).first,
                                            SameHash(true).second};
    TsstStrings viaUtf16, viaUtf8, mixed;
    for (int round = 0; round < 2; ++round)
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::u16string wide = Utf8ToWide(texts[i]);
            const std::uint32_t expected = viaUtf16.Add(wide);
            EXPECT_EQ(viaUtf8.AddUtf8(texts[i]), expected) << i;
            // Either form finds the string that the other one added.
            EXPECT_EQ((i + round) % 2 ? mixed.Add(wide) : mixed.AddUtf8(texts[i]), expected) << i;
        }
    EXPECT_EQ(viaUtf8.TotalCount(), viaUtf16.TotalCount());
    EXPECT_EQ(saved(viaUtf8), saved(viaUtf16));
    EXPECT_EQ(saved(mixed), saved(viaUtf16));
}

TEST(SharedStrings, ALongFirstStringStartsInTheSstRecordAndIsSplitWhereItIsFull) {
    // 8 bytes of counts, 3 header bytes and 8213 single-byte characters fill the first record.
    const std::u16string narrow = text(9000, u'A');
    TsstStrings sst;
    sst.Add(narrow);
    EXPECT_EQ(recordLengths(saved(sst)), (std::vector<std::size_t>{8224, 1 + 9000 - 8213}));
    expectReadsBack({narrow, u"tail"});

    // UTF-16: 4106 characters fit after the header; the record ends one byte short of full.
    const std::u16string wide = text(5000, u'\u0400');
    TsstStrings wideSst;
    wideSst.Add(wide);
    wideSst.Add(u"x");
    EXPECT_EQ(recordLengths(saved(wideSst)), (std::vector<std::size_t>{8223, 1 + 2 * (5000 - 4106) + 4}));
    expectReadsBack({wide, u"x", narrow, wide + u"!", text(20000, u'0')});
}

TEST(SharedStrings, LaterStringsAreSplitWhereTheRecordIsFullAndHeadersStayWhole) {
    TsstStrings sst;
    sst.Add(text(8000, u'A'));
    sst.Add(text(300, u'a')); // 8 + 8003 leaves 213: 3 header bytes and 210 characters
    EXPECT_EQ(recordLengths(saved(sst)), (std::vector<std::size_t>{8224, 1 + 90}));

    TsstStrings full;
    full.Add(text(8211, u'A')); // 8 + 8214 leaves 2 bytes: too few for a header
    full.Add(u"x");
    EXPECT_EQ(recordLengths(saved(full)), (std::vector<std::size_t>{8222, 4}));
    expectReadsBack({text(8211, u'A'), u"x", text(8000, u'b'), text(300, u'c')});
}

TEST(SharedStrings, SurrogatePairsAreNeverSplitAcrossRecords) {
    // Without care the split would fall after character 4105, a high surrogate.
    std::u16string s = text(5000, u'\u0400');
    s[4105] = 0xD83D;
    s[4106] = 0xDE00;
    TsstStrings sst;
    sst.Add(s);
    const auto records = splitRecords(saved(sst));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].data.size(), 8u + 3 + 2 * 4105);
    EXPECT_EQ(records[1].data.at(0), 1);
    EXPECT_EQ(GetWord(records[1].data, 1), 0xD83D);

    // A pair at the very start of a string moves the header on with it.
    std::u16string pairFirst = u"\U0001F600abc";
    TsstStrings second;
    second.Add(text(4105, u'\u0400')); // 8 + 3 + 8210 leaves 3 bytes
    second.Add(pairFirst);
    EXPECT_EQ(recordLengths(saved(second)), (std::vector<std::size_t>{8221, 3 + 2 * 5}));
    expectReadsBack({s, text(4105, u'\u0400'), pairFirst});
}

TEST(SharedStrings, ManyMixedStringsReadBack) {
    std::vector<std::u16string> added;
    for (int i = 0; i < 3000; ++i)
        added.push_back(text(static_cast<std::size_t>((i * 37) % 300 + (i % 500 == 0 ? 9000 : 0)),
                             static_cast<char16_t>(u'A' + i % 50)) +
                        std::u16string(1, static_cast<char16_t>(i % 3 == 0 ? 0x100 + i : 0x20 + i % 90)));
    added.push_back(added[5]);
    expectReadsBack(added);
}

TEST(SharedStrings, TextsLongerThanACellHoldsAreCut) {
    TsstStrings sst;
    EXPECT_EQ(sst.Add(text(40000, u'A')), 0u);
    EXPECT_EQ(sst.Items(0).Text.size(), MAX_CELL_TEXT_LENGTH);
    EXPECT_EQ(sst.Add(text(32767, u'A')), 0u);
    std::u16string pair = text(32766, u'A') + u"\U0001F600";
    EXPECT_EQ(sst.Add(pair), 1u);
    EXPECT_EQ(sst.Items(1).Text.size(), 32766u); // half a pair is not kept
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
