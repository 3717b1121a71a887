// The renderers of structured octet values, on byte fixtures: well-formed values, and values that
// are truncated, oversized or otherwise malformed.
#include "browser/dhcp/AttributePanes.h"
#include "browser/records/LabelTables.h"
#include "browser/records/OptionRenderers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace browser {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A "DNIP:Config Options" value: four leading bytes, then the option records.
Bytes OptionValue(std::initializer_list<Bytes> records) {
    Bytes value{0, 0, 0, 0};
    for (const Bytes& record : records)
        value.insert(value.end(), record.begin(), record.end());
    return value;
}

Bytes Record(std::uint8_t number, Bytes data) {
    Bytes record{number, static_cast<std::uint8_t>(data.size())};
    record.insert(record.end(), data.begin(), data.end());
    return record;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

TEST(FormatOptionValueTest, RendersEachOptionByItsValueType) {
    const Bytes value = OptionValue({
        Record(1, {255, 255, 255, 0}),
        Record(3, {10, 0, 0, 1, 10, 0, 0, 2}),
        Record(15 /* not in the table */, Text("example.com")),
        Record(19, {1}),
        Record(23, {64}),
        Record(51 /* not in the table */, {0, 1}),
        Record(40, Text("nis")),
        Record(58, {0, 0, 0x0E, 0x10}),
        Record(79, Text("\x01\x02scope")),
    });
    const PaneRows rows = FormatOptionValue(value);
    const PaneRows expected{
        {"    1=Subnet Mask", "255.255.255.0", false, 0},
        {"    3=Router", "10.0.0.1, 10.0.0.2", false, 0},
        {"    15=Unknown parameter", "????", false, 0},
        {"    19=IP Forwarding Enable/Disable", "enabled", false, 0},
        {"    23=Default IP Time-to-live", "64", false, 0},
        {"    51=Unknown parameter", "????", false, 0},
        {"    40=NIS Domain", "nis", false, 0},
        {"    58=Renewal(T1) Time", "3600", false, 0},
        {"    79=SLP Service Scope", "scope", false, 0},
    };
    EXPECT_EQ(rows, expected);
}

TEST(FormatOptionValueTest, DirectoryAgentAndIntegerLists) {
    const PaneRows rows = FormatOptionValue(OptionValue({
        Record(78, {0x01, 10, 1, 1, 1}),
        Record(25, {0x02, 0x40, 0x05, 0xDC}),
    }));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].value, "10.1.1.1 (mandatory)");
    // A list of two-byte values shows each value.
    EXPECT_EQ(rows[1].value, "576, 1500");
}

TEST(FormatOptionValueTest, UnrenderableOptionShowsItsBytesAndTheWalkGoesOn) {
    const PaneRows rows = FormatOptionValue(OptionValue({
        Record(19, {}), // a Boolean without its byte
        Record(78, {}), // a directory agent without its flag byte
        Record(28, {192, 168, 1, 255}),
    }));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].value, "????");
    EXPECT_EQ(rows[1].value, "????");
    EXPECT_EQ(rows[2].value, "192.168.1.255");
}

TEST(FormatOptionValueTest, ValuesAboveThirtyOneBitsShowUnsigned) {
    const PaneRows rows = FormatOptionValue(OptionValue({Record(35, {0xFF, 0xFF, 0xFF, 0xFF})}));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].value, "4294967295");
    const PaneRows tooLong = FormatOptionValue(OptionValue({Record(35, Bytes(9, 0x11))}));
    ASSERT_EQ(tooLong.size(), 1u);
    EXPECT_EQ(tooLong[0].value, "???? 11 11 11 11 11 11 11 11 11");
}

TEST(FormatOptionValueTest, TruncatedRecordEndsTheWalk) {
    Bytes value = OptionValue({Record(1, {255, 0, 0, 0})});
    value.insert(value.end(), {3, 8, 10, 0}); // announces 8 bytes, holds 2
    const PaneRows rows = FormatOptionValue(value);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].caption, "    1=Subnet Mask");

    EXPECT_TRUE(FormatOptionValue(Bytes{}).empty());
    EXPECT_TRUE(FormatOptionValue(Bytes{1, 2, 3, 4, 1}).empty()); // a lone number byte
}

TEST(FormatOptionValueTest, NetWareIPSubOptionsGetRowsOfTheirOwn) {
    Bytes nwip;
    for (const Bytes& sub : {Record(5, {1}), Record(11, {10, 0, 0, 9}), Record(12, {0, 0, 0x12, 0x34}),
                             Record(9, {3}), Record(2, {7}), Record(7, Text("x"))}) {
        nwip.insert(nwip.end(), sub.begin(), sub.end());
    }
    const PaneRows rows = FormatOptionValue(OptionValue({Record(63, nwip), Record(1, {255, 0, 0, 0})}));
    const PaneRows expected{
        {"    63=NWIP Information", "", false, 0},
        {"       Preform NSQ Broadcast", "enabled", false, 0},
        {"       Primairy DDS", "10.0.0.9", false, 0},
        {"       IPX Network Number", "00001234", false, 0},
        {"       Auto Retry Interval", "3", false, 0},
        {"       2", "???? 07", false, 0}, // outside the table: its number
        {"       Nearest NWIP Server(s)", "x", false, 0},
        {"    1=Subnet Mask", "255.0.0.0", false, 0},
    };
    EXPECT_EQ(rows, expected);
}

TEST(FormatOptionValueTest, TruncatedSubOptionEndsOnlyTheSubOptionWalk) {
    const PaneRows rows = FormatOptionValue(OptionValue({Record(63, {5, 1, 1, 6, 9, 1}), Record(23, {1})}));
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].caption, "       Preform NSQ Broadcast");
    EXPECT_EQ(rows[2].caption, "    23=Default IP Time-to-live");
}

TEST(FormatMacRecordTest, SevenByteRecordsNameTheirHardwareType) {
    const Bytes value{
        7, 1,   0x00, 0x1B, 0x21, 0x3C, 0x4D, 0x5E, 0, // Ethernet
        7, 16,  0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0, // ATM (code 16)
        7, 255, 1,    2,    3,    4,    5,    6,    0, // Any
        7, 99,  1,    2,    3,    4,    5,    6,    0, // no such type
        3, 1,   2,    3,    0,                         // not 7 bytes
    };
    const PaneRows expected{
        {"   Ethernet", "00:1B:21:3C:4D:5E", false, 0},
        {"   ATM", "AA:BB:CC:DD:EE:FF", false, 0},
        {"   Any", "01:02:03:04:05:06", false, 0},
        {"   Unknown network type", "01:02:03:04:05:06", false, 0},
        {"   Unknown Mac Record", "", false, 0},
    };
    EXPECT_EQ(FormatMacRecord(value), expected);
}

TEST(FormatMacRecordTest, TruncatedRecordEndsTheWalk) {
    EXPECT_TRUE(FormatMacRecord(Bytes{7, 1, 2, 3}).empty());
    EXPECT_TRUE(FormatMacRecord(Bytes{7, 1, 2, 3, 4, 5, 6, 7}).empty()); // the trailing byte missing
    EXPECT_EQ(FormatMacRecord(Bytes{0, 0, 200}).size(), 1u);             // empty record, then a cut one
}

TEST(HardwareTypeNameTest, CodesMapToTheListByNumber) {
    EXPECT_EQ(HardwareTypeName(1), "Ethernet");
    EXPECT_EQ(HardwareTypeName(10), "Autonet Short Address");
    EXPECT_EQ(HardwareTypeName(21), "ATM");
    EXPECT_EQ(HardwareTypeName(255), "Any");
    EXPECT_EQ(HardwareTypeName(0), "");
    EXPECT_EQ(HardwareTypeName(22), "");
}

// One CfgPreferences value: 8 bytes, number and type big-endian, then the name.
Bytes Preference(std::uint32_t number, std::uint32_t type, const std::string& name) {
    Bytes value(8, 0xEE);
    for (std::uint32_t field : {number, type}) {
        for (int shift = 24; shift >= 0; shift -= 8)
            value.push_back(static_cast<std::uint8_t>(field >> shift));
    }
    value.insert(value.end(), name.begin(), name.end());
    value.push_back(0);
    return value;
}

Bytes ValueList(std::initializer_list<Bytes> values) {
    Bytes list;
    for (const Bytes& value : values) {
        const auto size = static_cast<std::uint32_t>(value.size());
        for (int shift = 0; shift < 32; shift += 8)
            list.push_back(static_cast<std::uint8_t>(size >> shift));
        list.insert(list.end(), value.begin(), value.end());
    }
    return list;
}

TEST(ListCfgPreferencesTest, NumberNameAndValueType) {
    const PaneRows rows = ListCfgPreferences(ValueList({
        Preference(6, 27, "Domain Name Server"),
        Preference(15, 2, "Domain Name"),
        Preference(0x80000001u, 3, "High"),
        Preference(7, 6, "Odd"),
    }));
    const PaneRows expected{
        {"    6=Domain Name Server", "List of IP-address", false, 0},
        {"    15=Domain Name", "String", false, 0},
        {"    2147483649=High", "1 byte ungigned integer", false, 0},
        {"    7=Odd", "", false, 0},
    };
    EXPECT_EQ(rows, expected);
}

TEST(ListCfgPreferencesTest, MalformedValues) {
    // A value too short for its fields shows its bytes; the walk goes on.
    const PaneRows rows = ListCfgPreferences(ValueList({Bytes{1, 2}, Preference(1, 11, "Mask")}));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].value, "???? 01 02");
    EXPECT_EQ(rows[1].caption, "    1=Mask");

    // A length beyond the list ends the walk.
    Bytes cut = ValueList({Preference(1, 11, "Mask")});
    cut.resize(cut.size() - 3);
    EXPECT_TRUE(ListCfgPreferences(cut).empty());
    EXPECT_TRUE(ListCfgPreferences(Bytes{0xFF, 0xFF, 0xFF, 0xFF, 1}).empty());

    // A name without its terminator stops at the end of the value, and at 256 characters.
    Bytes longName = Preference(2, 2, std::string(300, 'n'));
    longName.pop_back();
    const PaneRows named = ListCfgPreferences(ValueList({longName}));
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].caption, "    2=" + std::string(256, 'n'));
}

TEST(AddressGroupsTest, CountedAndUncountedGroups) {
    EXPECT_EQ(CountedAddressGroups(Bytes{2, 4, 10, 0, 0, 1, 4, 10, 0, 0, 2}), "10.0.0.1, 10.0.0.2");
    EXPECT_EQ(CountedAddressGroups(Bytes{1, 4, 10, 0, 0, 1, 4, 10, 0, 0, 2}), "10.0.0.1");
    EXPECT_EQ(CountedAddressGroups(Bytes{3, 4, 10, 0, 0, 1, 4, 10}), "10.0.0.1"); // cut group
    EXPECT_EQ(CountedAddressGroups(Bytes{}), "");
    EXPECT_EQ(AddressGroups(Bytes{4, 192, 168, 0, 1, 4, 192, 168, 0, 2}), "192.168.0.1, 192.168.0.2");
    EXPECT_EQ(AddressGroups(Bytes{9, 1, 2}), "");
    EXPECT_EQ(CountedAddressBytes(Bytes{8, 10, 0, 0, 1, 10, 0, 0, 2}), "10.0.0.1, 10.0.0.2");
    EXPECT_EQ(CountedAddressBytes(Bytes{8, 10, 0, 0, 1}), "10.0.0.1"); // bounded by the value
}

TEST(RenderingTextsTest, NumberedChoices) {
    EXPECT_EQ(ZoneTypeText(0), "IP");
    EXPECT_EQ(ZoneTypeText(4), "IN-ADDR ARPA");
    EXPECT_EQ(ZoneTypeText(6), "IPv6");
    EXPECT_EQ(ZoneTypeText(5), "Unknown");
    EXPECT_EQ(AuditLevelText(65536 + 255), "Enable Audit Trail log + Event Log All");
    EXPECT_EQ(AuditLevelText(1), "Event Log Major Events");
    EXPECT_EQ(AuditLevelText(0), "Event Log None");
    EXPECT_EQ(RangeTypeText(3), "Dynamic BootP and DHCP");
    EXPECT_EQ(RangeTypeText(7), "Unknown (7)");
    EXPECT_EQ(EnabledDisabledText(3), "Error, invalid value");
}

TEST(LabelTablesTest, TablesHoldTheirEntriesInDisplayOrder) {
    EXPECT_EQ(ZoneLabelTable().size(), 18u);
    EXPECT_EQ(DnsServerLabelTable().size(), 11u);
    EXPECT_EQ(DhcpServerLabelTable().size(), 20u);
    EXPECT_EQ(LocatorLabelTable().size(), 5u);
    EXPECT_EQ(DhcpOptionNames().size(), 67u);
    EXPECT_EQ(NetWareIPSubOptionNames().size(), 10u);
    EXPECT_EQ(QueryTypes().size(), 14u);
    const LabelEntry& cfg = LocatorLabelTable()[4];
    EXPECT_EQ(cfg.Rendering(), 3);
    EXPECT_EQ(cfg.OctetKind(), 2);
    EXPECT_TRUE(ZoneLabelTable()[0].ShowEmpty());
    EXPECT_EQ(ZoneLabelTable()[5].Rendering(), 0);
    ASSERT_NE(FindDhcpOption(87), nullptr);
    EXPECT_EQ(FindDhcpOption(87)->Text(), "87=NDS Context");
    EXPECT_EQ(FindDhcpOption(12), nullptr);
    EXPECT_EQ(FindNetWareIPSubOption(14)->name, "Migration Agent");
    EXPECT_EQ(FindNetWareIPSubOption(15), nullptr);
    EXPECT_EQ(FindNetWareIPSubOption(4), nullptr);
}

} // namespace
} // namespace browser
