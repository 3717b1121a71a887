#include "browser/collection/CacheFiles.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/DateUtils.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace browser;
using test_support::TempFolder;

namespace {

RecordRow Row(RecordListKind list, const std::string& caption, std::vector<std::string> subItems, int image) {
    RecordRow row;
    row.list = list;
    row.caption = caption;
    row.subItems = std::move(subItems);
    row.imageIndex = image;
    return row;
}

constexpr double kHour = 1.0 / 24.0;

} // namespace

TEST(CacheAgeClass, GradesWholeHoursByTheThresholds) {
    const rtl::TDateTime now = rtl::EncodeDate(2024, 5, 10) + rtl::EncodeTime(12, 0, 0, 0);
    auto at = [&](double hoursAgo) { return CacheAgeClass(rtl::DateTimeToStr(now - hoursAgo * kHour), now); };
    EXPECT_EQ(at(0), 0);
    EXPECT_EQ(at(2), 0);
    EXPECT_EQ(at(2 + 1.0 / 60), 0); // whole hours
    EXPECT_EQ(at(3), 1);
    EXPECT_EQ(at(48), 2);
    EXPECT_EQ(at(49), 3);
    EXPECT_EQ(at(720), 5);
    EXPECT_EQ(at(721), 6);
    EXPECT_EQ(at(-5), 1); // a stamp in the future counts by its distance
    // A zone stamp holds the date only: its age counts from midnight.
    EXPECT_EQ(CacheAgeClass(rtl::DateToStr(now), now), 2); // 12 hours
    EXPECT_EQ(CacheAgeClass(rtl::DateTimeToStr(now - 3 * kHour), now, {5, 8, 48, 120, 240, 720}), 0);
}

TEST(CacheAgeClass, AMissingOrUnreadableStampIsOfTheOldestClass) {
    const rtl::TDateTime now = rtl::Now();
    EXPECT_EQ(CacheAgeClass("", now), 6);
    EXPECT_EQ(CacheAgeClass("yesterday", now), 6);
    EXPECT_EQ(CacheAgeClass("2024-13-45 99:99:99", now), 6);
}

TEST(ZoneCache, EveryRowOfEveryKindComesBackInOrder) {
    TempFolder folder;
    const std::string path = folder.Directory() + "zones.ini";
    const std::vector<RecordRow> written{
        Row(RecordListKind::Dns, "www",
            {"www.example.com", "A", "example.com", "web, \"main\"", "www.z.DNS.ACME"}, 1),
        // Rows of one owner share its caption: every one is kept.
        Row(RecordListKind::Dns, "www", {"www.example.com", "MX", "example.com", "10 mail", "www.z.DNS.ACME"},
            3),
        Row(RecordListKind::Dns, "WWW", {"www.example.com", "TXT", "example.com", "x", "www.z.DNS.ACME"}, 5),
        Row(RecordListKind::Dns, "", {"", "CNAME", "example.com", "alias", "c.z.DNS.ACME"}, -1),
        Row(RecordListKind::Dns, "", {"", "SRV", "example.com", "0 5 389", "s.z.DNS.ACME"}, 7),
        Row(RecordListKind::RevDns, "10.0.0.1", {"host.example.com", "example.com", "", "1.z.DNS.ACME"}, 0),
        Row(RecordListKind::RevDns, "10.0.0.2", {"other", "", "", "2.z.DNS.ACME"}, -1),
        Row(RecordListKind::RevDns, "10.0.0.3", {"big", "", "", "3.z.DNS.ACME"}, 19),
        // A row captioned like the stamp key keeps its row and the stamp its value.
        Row(RecordListKind::Dns, "stamp", {"stamp.example.com", "A", "example.com", "", "st.z.DNS.ACME"}, 1),
    };
    const rtl::TDateTime now = rtl::Now();
    {
        ini::IniFile file(path);
        RecordCacheSections sections(file);
        sections.BeginSection("z.DNS.ACME");
        sections.WriteDateStamp("z.DNS.ACME", now);
        sections.WriteRows("z.DNS.ACME", written);
    }
    const ini::IniFile file(path);
    CachedRowOrigin origin;
    origin.rowReference = 7;
    origin.tree = "ACME";
    origin.now = now;
    const std::vector<RecordRow> read = ReadZoneCacheRows(file, "z.DNS.ACME", origin);
    ASSERT_EQ(read.size(), written.size());
    for (std::size_t i = 0; i < read.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(read[i].list, written[i].list);
        EXPECT_EQ(read[i].caption, written[i].caption);
        EXPECT_EQ(read[i].subItems, written[i].subItems);
        EXPECT_EQ(read[i].imageIndex, written[i].imageIndex);
        EXPECT_EQ(read[i].rowReference, 7);
        EXPECT_EQ(read[i].container, "z.DNS.ACME");
        EXPECT_EQ(read[i].stateIndex, CacheAgeClass(rtl::DateToStr(now), now));
    }
}

TEST(ZoneCache, OldFilesReadAsBeforeAndBadLinesAreSkipped) {
    TempFolder folder;
    folder.Write("zones.ini", "[z.DNS.ACME]\r\n"
                              "STAMP=not a date\r\n"
                              "www=www.example.com,A,example.com,,www.z\x01"
                              "1\r\n"
                              "broken=no number here\r\n"
                              "bad=a,b\x01x1\r\n"
                              "rev=host,zone\x01"
                              "100\r\n"
                              "norev=host,zone\x01"
                              "99\r\n"
                              "plain=a,b\x01-1\r\n"
                              // The value splits at its last code-1 character.
                              "odd=\"a\x01"
                              "b\",c\x01"
                              "2\r\n"
                              "dup\x01"
                              "3=x\x01"
                              "4\r\n");
    const ini::IniFile file(folder.Directory() + "zones.ini");
    const std::vector<RecordRow> rows = ReadZoneCacheRows(file, "z.DNS.ACME", CachedRowOrigin{});
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].caption, "www");
    EXPECT_EQ(rows[0].subItems,
              (std::vector<std::string>{"www.example.com", "A", "example.com", "", "www.z"}));
    EXPECT_EQ(rows[0].stateIndex, 6); // unreadable stamp: the oldest class
    EXPECT_EQ(rows[1].list, RecordListKind::RevDns);
    EXPECT_EQ(rows[1].imageIndex, 0);
    EXPECT_EQ(rows[2].list, RecordListKind::RevDns);
    EXPECT_EQ(rows[2].imageIndex, -1);
    EXPECT_EQ(rows[3].list, RecordListKind::Dns);
    EXPECT_EQ(rows[3].imageIndex, -1);
    EXPECT_EQ(rows[4].subItems, (std::vector<std::string>{"a\x01"
                                                          "b",
                                                          "c"}));
    EXPECT_EQ(rows[4].imageIndex, 2);
    EXPECT_EQ(rows[5].caption, "dup");
}

TEST(SubnetCache, RowsComeBackWithTheirAgeAndEqualAddressesStay) {
    TempFolder folder;
    const std::string path = folder.Directory() + "subnets.ini";
    std::vector<RecordRow> written{
        Row(RecordListKind::Dhcp, "10.0.0.5",
            {"pc5", "Manual", "00:11:22:33:44:55", "", "", "a, b", "x.s.ACME"}, -1),
        Row(RecordListKind::Dhcp, "10.0.0.5", {"pc5b", "Dynamic", "", "", "", "", "y.s.ACME"}, -1),
    };
    const rtl::TDateTime now = rtl::Now();
    {
        ini::IniFile file(path);
        RecordCacheSections sections(file);
        sections.BeginSection("s.ACME");
        sections.WriteDateTimeStamp("s.ACME", now - 4 * kHour);
        sections.WriteRows("s.ACME", written);
    }
    CachedRowOrigin origin;
    origin.now = now;
    const std::vector<RecordRow> read = ReadSubnetCacheRows(ini::IniFile(path), "s.ACME", origin);
    ASSERT_EQ(read.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(read[i].caption, written[i].caption);
        EXPECT_EQ(read[i].subItems, written[i].subItems);
        EXPECT_EQ(read[i].list, RecordListKind::Dhcp);
        EXPECT_EQ(read[i].stateIndex, 1);
    }
}

TEST(RecordCacheSections, BeginningASectionAgainReplacesItsRows) {
    TempFolder folder;
    const std::string path = folder.Directory() + "zones.ini";
    ini::IniFile file(path);
    RecordCacheSections sections(file);
    sections.BeginSection("z");
    sections.WriteRows("z",
                       {Row(RecordListKind::Dns, "a", {"x"}, 1), Row(RecordListKind::Dns, "a", {"y"}, 1)});
    sections.BeginSection("z");
    sections.WriteRows("z", {Row(RecordListKind::Dns, "a", {"z"}, 1)});
    EXPECT_EQ(file.ReadSection("z"), std::vector<std::string>{"a"});
}
