#include "browser/collection/CacheFiles.h"
#include "browser/records/RecordCache.h"
#include "directory/NWHelper.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TempFolder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>

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

// Section name -> its "key=value" lines, as Python's configparser reads a Windows INI file (keys
// as written, "=" the only delimiter, ";" comments, no interpolation); nothing without python3.
std::optional<std::map<std::string, std::vector<std::string>>> ReadWithConfigParser(const std::string& path) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        return std::nullopt;
    QProcess python;
    python.start("python3",
                 {"-c",
                  "import configparser, json, sys\n"
                  "p = configparser.RawConfigParser(strict=False, delimiters=('=',),\n"
                  "    comment_prefixes=(';',), inline_comment_prefixes=None, interpolation=None)\n"
                  "p.optionxform = str\n"
                  "p.read(sys.argv[1], encoding='latin-1')\n"
                  "print(json.dumps({s: [k + '=' + v for k, v in p.items(s)] for s in p.sections()}))\n",
                  QString::fromStdString(path)});
    std::map<std::string, std::vector<std::string>> sections;
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return sections;
    const QJsonObject read = QJsonDocument::fromJson(python.readAllStandardOutput()).object();
    for (auto it = read.begin(); it != read.end(); ++it) {
        for (const QJsonValue& line : it.value().toArray())
            sections[it.key().toStdString()].push_back(line.toString().toLatin1().toStdString());
    }
    return sections;
}

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

    // Read again into the storage of spare rows, fewer than the lines and unlike them in every field
    // (a refused line among them): the same rows, after the rows already there.
    ini::IniFile(path).WriteString("z.DNS.ACME", "bad",
                                   "\"unclosed\x01"
                                   "1");
    RecordRow spare = Row(RecordListKind::Dhcp, "a caption longer than the others",
                          {"1", "a sub-item longer than any read", "", "x", "y", "z", "w", "v"}, 42);
    spare.stateIndex = 3;
    spare.rowReference = 9;
    spare.tree = "A TREE NAME LONGER THAN ACME";
    spare.container = "a container longer than the section";
    SpareRows spares;
    spares.Add(std::vector<RecordRow>(4, spare));
    spares.Add({});
    spares.Add(std::vector<RecordRow>(2, spare));
    std::vector<RecordRow> reused{spare};
    int skipped = 0;
    AppendZoneCacheRows(file, "z.DNS.ACME", origin, reused, &skipped, &spares);
    EXPECT_EQ(skipped, 1);
    ASSERT_EQ(reused.size(), read.size() + 1);
    EXPECT_EQ(reused.front(), spare);
    EXPECT_EQ(std::vector<RecordRow>(reused.begin() + 1, reused.end()), read);
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

// The record of a deleted object leaves its subnet's section; a record of the same address with
// another object, and other sections and trees, stay.
TEST(SubnetCache, ADeletedRecordLeavesTheCacheOfItsTree) {
    TempFolder folder;
    const std::string path = CacheFilePath(folder.Directory(), "ACME", kSubnetCacheFile);
    std::filesystem::create_directories(CacheFolder(folder.Directory(), "ACME"));
    const RecordRow gone = Row(RecordListKind::Dhcp, "10.0.0.5", {"pc5", "", "", "", "", "", "x.s.ACME"}, -1);
    const RecordRow kept =
        Row(RecordListKind::Dhcp, "10.0.0.5", {"pc5b", "", "", "", "", "", "y.s.ACME"}, -1);
    {
        ini::IniFile file(path);
        RecordCacheSections sections(file);
        for (const char* section : {"s.ACME", "t.ACME"}) {
            sections.BeginSection(section);
            sections.WriteDateTimeStamp(section, rtl::Now());
            sections.WriteRows(section, {gone, kept});
        }
    }
    RecordRow deleted = gone;
    deleted.tree = "ACME";
    deleted.container = "s.ACME";
    deleted.subItems.back() = "X.S.acme"; // directory names compare without regard to case
    RecordRow otherTree = deleted;
    otherTree.tree = "GLOBEX"; // no cache: nothing to do
    ForgetDeletedDhcpRecords(folder.Directory(), {deleted, otherTree});

    CachedRowOrigin origin;
    origin.now = rtl::Now();
    const ini::IniFile file(path);
    const std::vector<RecordRow> section = ReadSubnetCacheRows(file, "s.ACME", origin);
    ASSERT_EQ(section.size(), 1u);
    EXPECT_EQ(section[0].subItems, kept.subItems);
    EXPECT_EQ(ReadSubnetCacheRows(file, "t.ACME", origin).size(), 2u);
    EXPECT_EQ(CacheAgeClass(file.ReadString("s.ACME", kStampKey, ""), origin.now), 0); // the stamp stays
    EXPECT_FALSE(std::filesystem::exists(CacheFolder(folder.Directory(), "GLOBEX")));
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

TEST(RecordCacheSections, CaptionsAnIniLineCannotCarryComeBackWhole) {
    TempFolder folder;
    const std::string path = folder.Directory() + "zones.ini";
    const std::vector<std::string> captions{"[a]",   "a=b", ";comment", " lead",     "trail ",
                                            "%41",   "50%", "x\x01y",   "tab\there", "[",
                                            "plain", "%",   "\x7f",     "a]=[b;c%"};
    std::vector<RecordRow> written;
    for (const std::string& caption : captions) {
        written.push_back(
            Row(RecordListKind::Dns, caption, {caption + ".example", "A", "example", "", "o"}, 1));
        written.push_back(Row(RecordListKind::Dhcp, caption, {"host", "Manual", "", "", "", "", "o"}, -1));
    }
    {
        ini::IniFile file(path);
        RecordCacheSections sections(file);
        for (const char* section : {"z", "s"}) {
            sections.BeginSection(section);
            sections.WriteDateStamp(section, rtl::Now());
        }
        for (const RecordRow& row : written) {
            sections.WriteRows(row.list == RecordListKind::Dns ? "z" : "s", {row});
        }
        file.UpdateFile();
    }
    const ini::IniFile file(path);
    int skipped = 0;
    const std::vector<RecordRow> zone = ReadZoneCacheRows(file, "z", CachedRowOrigin{}, &skipped);
    const std::vector<RecordRow> subnet = ReadSubnetCacheRows(file, "s", CachedRowOrigin{}, &skipped);
    EXPECT_EQ(skipped, 0);
    ASSERT_EQ(zone.size(), captions.size());
    ASSERT_EQ(subnet.size(), captions.size());
    for (std::size_t i = 0; i < captions.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(zone[i].caption, captions[i]);
        EXPECT_EQ(zone[i].subItems.front(), captions[i] + ".example");
        EXPECT_EQ(subnet[i].caption, captions[i]);
    }
    // Only what needs it is escaped: plain captions stay readable, as before.
    EXPECT_TRUE(file.ValueExists("z", "plain"));
    EXPECT_FALSE(file.SectionExists("a"));

    // An outside INI reader sees the same two sections, each with its stamp and one line per row.
    const auto outside = ReadWithConfigParser(path);
    if (!outside)
        GTEST_SKIP() << "python3 is not installed: the outside INI reader is missing";
    ASSERT_EQ(outside->size(), 2u);
    for (const char* section : {"z", "s"}) {
        ASSERT_EQ(outside->count(section), 1u) << section;
        const std::vector<std::string>& lines = outside->at(section);
        ASSERT_EQ(lines.size(), captions.size() + 1) << section;
        EXPECT_EQ(lines.front().rfind("STAMP=", 0), 0u);
        for (std::size_t i = 0; i < captions.size(); ++i) {
            const RecordRow& row = written[2 * i + (section[0] == 's' ? 1 : 0)];
            const std::string value =
                row.list == RecordListKind::Dhcp ? DhcpCacheValue(row) : DnsCacheValue(row, false);
            EXPECT_EQ(lines[i + 1].substr(lines[i + 1].find('=') + 1), value) << section << " " << i;
        }
    }
}

TEST(RecordCacheSections, OldKeysThatOnlyLookEscapedStayAsTheyStand) {
    TempFolder folder;
    folder.Write("zones.ini", "[z]\r\n"
                              "%zz=a\x01"
                              "1\r\n"
                              "%4=a\x01"
                              "1\r\n"
                              "100%=a\x01"
                              "1\r\n");
    const std::vector<RecordRow> rows =
        ReadZoneCacheRows(ini::IniFile(folder.Directory() + "zones.ini"), "z", CachedRowOrigin{});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].caption, "%zz");
    EXPECT_EQ(rows[1].caption, "%4");
    EXPECT_EQ(rows[2].caption, "100%");
}

TEST(CacheReaders, LinesNotOfTheWrittenShapeAreSkippedAndCounted) {
    TempFolder folder;
    folder.Write("zones.ini", "[z]\r\n"
                              "STAMP=2024-05-10\r\n"
                              "www=www.example.com,A,example.com,,www.z\x01"
                              "1\r\n"
                              "garbage line without equals\r\n"
                              "big=a\x01"
                              "5000\r\n"
                              "spaced=a b,c\x01"
                              "1\r\n"
                              "ctl\x02key=a\x01"
                              "1\r\n"
                              "\xff\xfe=\x10\x11\x01"
                              "3\r\n");
    folder.Write("subnets.ini", "[s]\r\n"
                                "10.0.0.1=pc1,Manual,,,,,a.s\r\n"
                                "10.0.0.2=\r\n"
                                "10.0.0.3=1,2,3,4,5,6,7,8\r\n"
                                "10.0.0.4=\"unclosed\r\n"
                                "\x13\x88=x\r\n"
                                "10.0.0.5=pc5\r\n");
    folder.Write("dnsdhcp.ini", "[LOCATOR]\r\n"
                                "0=loc.ACME\r\n"
                                "1=\r\n"
                                "x=other.ACME\r\n"
                                "2=bad\x05name\r\n"
                                "\x9a\x01\r\n"
                                "3=second.ACME\r\n");
    int zoneSkipped = 0;
    const auto zone =
        ReadZoneCacheRows(ini::IniFile(folder.Directory() + "zones.ini"), "z", {}, &zoneSkipped);
    ASSERT_EQ(zone.size(), 1u);
    EXPECT_EQ(zone[0].caption, "www");
    EXPECT_EQ(zoneSkipped, 5);

    int subnetSkipped = 0;
    const auto subnet =
        ReadSubnetCacheRows(ini::IniFile(folder.Directory() + "subnets.ini"), "s", {}, &subnetSkipped);
    ASSERT_EQ(subnet.size(), 2u);
    EXPECT_EQ(subnet[0].caption, "10.0.0.1");
    EXPECT_EQ(subnet[1].caption, "10.0.0.5");
    EXPECT_EQ(subnetSkipped, 4);

    int listSkipped = 0;
    EXPECT_EQ(ReadCacheList(ini::IniFile(folder.Directory() + "dnsdhcp.ini"), "LOCATOR", &listSkipped),
              (std::vector<std::string>{"loc.ACME", "second.ACME"}));
    EXPECT_EQ(listSkipped, 4);
}

// The comma text reader of the cache lines, one pass, against the reading it replaces: the run-time
// library's comma text reading, accepted only when the items give the text back. Both must accept the
// same texts with the same items.
bool ReadWrittenCommaTextAsBefore(const std::string& text, std::vector<std::string>& items) {
    rtl::TStringList list;
    list.SetCommaText(text);
    items.clear();
    for (int i = 0; i < list.Count(); ++i)
        items.push_back(list.Strings(i));
    return CommaTextOf(items) == text;
}

// now is handed in again and again: the strings it holds from the texts before are reused.
void ExpectReadAsBefore(const std::string& text, std::vector<std::string>& now) {
    std::vector<std::string> before;
    const bool accepted = ReadWrittenCommaTextAsBefore(text, before);
    ASSERT_EQ(ReadWrittenCommaText(text, now), accepted) << "text: " << text;
    if (accepted) {
        EXPECT_EQ(now, before) << "text: " << text;
    }
}

TEST(CacheReaders, CommaTextsReadAsTheRunTimeLibraryReadsThem) {
    const std::string cases[] = {
        "",
        "\"\"",
        ",",
        ",,",
        "a",
        "a,b",
        "a,",
        ",a",
        "a,,b",
        "\"a b\"",
        "\"a\"",
        "\"\",a",
        "a,\"\"",
        "\"\",\"\"",
        "\"a\"\"b\"",
        "\"\"\"\"",
        "\"a\"b",
        "\"a\" ,b",
        "\"unclosed",
        "\"a\"\"",
        " a",
        "a ",
        "a\tb",
        "\"a\tb\"",
        "\"x,y\"",
        "x\"y",
        "\"x\",\"y z\"",
        std::string("a\0b", 3),
        std::string("\"a\0 \"", 5),
        "caf\xC3\xA9,\xFF",
        "\"\x01\"",
        "a,\"b c\",d",
        "a, b",
        "a ,b",
        "\"b c\" ",
        "=,;",
        "\x7F",
        "www.example.com,A,example.com,,www.z",
        "\"10.0.0.1 \",Manual,,,,,a.s",
        "a,\"\"\"\",b",
        "\"a\rb\"",
        "a\r",
        "\"a\nb\",c",
        "\"caf\xC3\xA9 \xE2\x82\xAC\"",
        "\"a,b",
        "a,\"b\"\"",
        "\"\"\"",
        ",,\"\"",
        "\"\",,",
        "\"a\"\"\"\"\"",
        "\"a\"\",b",
    };
    std::vector<std::string> now{"left", "over", "from a text read before, longer than the rest"};
    for (const std::string& text : cases)
        ExpectReadAsBefore(text, now);

    // Seeded random texts of the characters that matter, damaged ones mostly.
    const char alphabet[] = {'a', 'b', ',', '"', ' ', '\t', '\0', '\x01', '\xC3', '=', '\x7F'};
    std::mt19937 random(20261208);
    for (int n = 0; n < 60000; ++n) {
        std::string text;
        for (int length = int(random() % 11); length > 0; --length)
            text += alphabet[random() % sizeof alphabet];
        ExpectReadAsBefore(text, now);
        if (HasFailure())
            return;
    }
    // Texts the writer writes, of random items (never with a NUL), read back whole.
    const char itemAlphabet[] = {'a', 'b', ',', '"', ' ', '\t', '\x01', '\xC3', '=', '\x7F'};
    for (int n = 0; n < 20000; ++n) {
        std::vector<std::string> items(random() % 5);
        for (std::string& item : items)
            for (int length = int(random() % 5); length > 0; --length)
                item += itemAlphabet[random() % sizeof itemAlphabet];
        const std::string text = CommaTextOf(items);
        std::vector<std::string> read;
        ASSERT_TRUE(ReadWrittenCommaText(text, read)) << text;
        EXPECT_EQ(read, items);
        ExpectReadAsBefore(text, now);
        if (HasFailure())
            return;
    }
}

TEST(CacheAgeClass, StampsReadBackWhateverTheDateFacts) {
    const rtl::TDateTime now = rtl::EncodeDate(2026, 12, 7) + rtl::EncodeTime(10, 0, 0, 0);
    TempFolder folder;
    const std::string path = folder.Directory() + "subnets.ini";
    ini::IniFile file(path);
    RecordCacheSections sections(file);
    sections.WriteDateStamp("z", now);
    sections.WriteDateTimeStamp("s", now - 3 * kHour);
    // Written the same way under any facts: ISO form.
    EXPECT_EQ(file.ReadString("z", "STAMP", ""), "2026-12-07");
    EXPECT_EQ(file.ReadString("s", "STAMP", ""), "2026-12-07 07:00:00");

    const std::shared_ptr<const rtl::LocaleFacts> saved = directory::DateFacts();
    rtl::LocaleFacts dotted = rtl::LocaleFacts::Default();
    dotted.ShortDateFormat = "dd.mm.yyyy";
    dotted.DateSeparator = '.';
    dotted.TimeSeparator = '.';
    directory::SetDateFacts(dotted);
    EXPECT_EQ(CacheAgeClass(file.ReadString("z", "STAMP", ""), now), 2); // 10 hours
    EXPECT_EQ(CacheAgeClass(file.ReadString("s", "STAMP", ""), now), 1); // 3 hours
    // A stamp written in the facts in force still reads.
    EXPECT_EQ(CacheAgeClass("07.12.2026", now), 2);
    directory::SetDateFacts(*saved);
    EXPECT_EQ(CacheAgeClass("07.12.2026", now), 6); // not a date in these facts, nor ISO
}
