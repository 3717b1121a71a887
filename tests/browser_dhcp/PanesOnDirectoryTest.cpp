// The three attribute panes read from a small DNS/DHCP tree in the directory client's store.
#include "PanesFixture.h"

#include "browser/dhcp/AttributePanes.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "browser/records/LabelTables.h"
#include "directory/NWHelper2.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace browser {
namespace {

using testing::kBareSubnet;
using testing::kSubnet;
using testing::PanesDirectoryTest;

// The row with the caption (the first one), or nullptr.
const PaneRow* Find(const PaneRows& rows, const std::string& caption) {
    auto it =
        std::find_if(rows.begin(), rows.end(), [&](const PaneRow& row) { return row.caption == caption; });
    return it == rows.end() ? nullptr : &*it;
}

std::vector<std::string> Captions(const PaneRows& rows) {
    std::vector<std::string> captions;
    for (const PaneRow& row : rows)
        captions.push_back(row.caption);
    return captions;
}

TEST_F(PanesDirectoryTest, ZonePaneFollowsTheZoneTable) {
    PaneRows rows;
    AddZonePaneRows(context_, "example_com.DNS.ACME", rows);
    const PaneRows expected{
        {"Description", "", false, 0}, // shown although the zone has none
        {"Zone Domain Name", "example.com", false, 0},
        {"Zone Type", "IP", false, 0},
        {"Zone Servers", "DNS1.DNS.ACME", false, 0},
        {"Designated Server", "DNS1.DNS.ACME", false, 0},
        {"Designated Server", "", false, 0}, // the second one is always shown, empty
        {"Secondary Zone", "No", false, 0},
        {"Refresh", "60 Minutes", false, 0},
        {"Retry", "10 Minutes", false, 0},
        {"Expire", "168 Hours", false, 0},
        {"Minimum TTL", "24 Hours", false, 0},
        {"Serial", "2024010101", false, 0},
        {"Master Server IP-addr", "10.0.0.1, 10.0.0.2", false, 0},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(PanesDirectoryTest, ReverseZoneTypeAndBoolean) {
    PaneRows rows;
    AddZonePaneRows(context_, "0_0_10_in-addr_arpa.DNS.ACME", rows);
    ASSERT_NE(Find(rows, "Zone Type"), nullptr);
    EXPECT_EQ(Find(rows, "Zone Type")->value, "IN-ADDR ARPA");
    EXPECT_EQ(Find(rows, "Secondary Zone")->value, "Yes");
    EXPECT_EQ(Find(rows, "Description")->value, "reverse zone");
    EXPECT_EQ(Find(rows, "Master Server IP-addr"), nullptr);
}

TEST_F(PanesDirectoryTest, ZonePaneOfAMissingObjectRaisesWithTheRowsSoFar) {
    PaneRows rows;
    EXPECT_THROW(AddZonePaneRows(context_, "gone.DNS.ACME", rows), directory::ENetwareError);
}

TEST_F(PanesDirectoryTest, DnsServerPane) {
    PaneRows rows;
    AddLabelPaneRows(context_, "DNS1.DNS.ACME", DnsServerLabelTable(), rows);
    const PaneRows expected{
        {"Description", "primary name server", false, 0},
        {"Server IP Addr.", "10.0.0.53", false, 3},
        {"Server IP Addr.", "", false, 4},
        {"Fwd List", "8.8.8.8, 8.8.4.4", false, 5},
        {"AuditLevel", "Enable Audit Trail log + Event Log All", false, 8},
        {"AuditLevel", "", false, 9},
        {"Zone List", "example_com.DNS.ACME", false, 10}, // one row per value, the first labelled
        {"", "0_0_10_in-addr_arpa.DNS.ACME", false, 10},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(PanesDirectoryTest, DhcpServerPane) {
    PaneRows rows;
    AddLabelPaneRows(context_, "DHCP1.DNS.ACME", DhcpServerLabelTable(), rows);
    EXPECT_EQ(Find(rows, "Description")->value, "main DHCP server");
    EXPECT_EQ(Find(rows, "Version")->value, "3.0");
    EXPECT_EQ(Find(rows, "Assignment Policy")->value, "No Mobile user allowed");
    EXPECT_EQ(Find(rows, "Ping Enable")->value, "Enabled");
    EXPECT_EQ(Find(rows, "SNMP Trap Flag")->value, "Error, invalid value");
    EXPECT_EQ(Find(rows, "Audit Level"), nullptr); // no value, no row
    // "Message ID" and "New Attribute" have rows that are always shown.
    EXPECT_EQ(
        std::count_if(rows.begin(), rows.end(), [](const PaneRow& r) { return r.caption == "Message ID"; }),
        1);
    EXPECT_NE(Find(rows, "New Attribute"), nullptr);
}

TEST_F(PanesDirectoryTest, LocatorPaneHasHeadedSections) {
    PaneRows rows;
    AddLabelPaneRows(context_, "Locator.DNS.ACME", LocatorLabelTable(), rows);
    const PaneRows expected{
        {"Config parameters", "", true, 0},
        {"    6=Domain Name Server", "10.0.0.53", false, 0},
        {"    15=Unknown parameter", "????", false, 0},
        {"    200=Unknown parameter", "????", false, 0},
        {"", "", false, 0},
        {"Excluded MAC-addresses", "", true, 1},
        {"   Ethernet", "00:1B:21:3C:4D:5E", false, 1},
        {"", "", false, 1},
        {"Included MAC-addresses", "", true, 2},
        {"", "", false, 2},
        {"UI Signature", "01 02 AB ", true, 3},
        {"", "", false, 3},
        {"Config Preferences", "", true, 4},
        {"    6=Domain Name Server", "List of IP-address", false, 4},
        {"    15=Domain Name", "String", false, 4},
        {"", "", false, 4},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(PanesDirectoryTest, GroupAndPoolPanes) {
    PaneRows group;
    AddLabelPaneRows(context_, "DNSDHCP-GROUP.DNS.ACME", GroupLabelTable(), group);
    const PaneRows members{{"Members", "DNS1.DNS.ACME", false, 0}, {"", "DHCP1.DNS.ACME", false, 0}};
    EXPECT_EQ(group, members);
    PaneRows pool;
    AddLabelPaneRows(context_, "Pool1.DHCP.ACME", SubnetPoolLabelTable(), pool);
    EXPECT_TRUE(pool.empty());
}

TEST_F(PanesDirectoryTest, SubnetPaneInItsFixedOrder) {
    PaneRows rows;
    AddSubnetPaneRows(context_, kSubnet, rows);
    const PaneRows expected{
        {"Domain name", "example.com", false, 0},
        {"Dynamic update zone", "example_com.DNS.ACME", false, 0},
        {"DHCP server reference", "DHCP1.DNS.ACME", false, 0},
        {"Subnet Address", "10.0.0.0", false, 0},
        {"Subnet Mask", "255.255.255.0", false, 0},
        {"Pool reference", "Pool1", false, 0},
        {"Lease Time", "1500   (1 Days   1 Hours   0 Minutes)", false, 0},
        {"Comment", "office", false, 0},
        {"", "", false, 0},
        {"Boot Parameter", "", true, 0},
        {"    Server Address", "10.0.0.1", false, 0},
        {"    Server Name", "srv1", false, 0},
        {"    FileName", "boot.img", false, 0},
        {"", "", false, 0},
        {"Config parameters", "", true, 0},
        {"    3=Router", "10.0.0.1", false, 0},
        {"", "", false, 0},
        {"Subnet Address Ranges:", "", true, 0},
        {"Range1", "10.0.0.10 - 10.0.0.30", true, 0},
        {"   Server reference", "DHCP1.DNS.ACME", false, 0},
        {"   DNS Update option", "No Update", false, 0},
        {"   Range Type", "Dynamic DHCP", false, 0},
        {"   AutoHost name starts with", "pc", false, 0},
        {"   Comment", "clients", false, 0},
        {"Range2", "10.0.0.40 - 10.0.0.50", true, 0},
        {"   Server reference", "", false, 0},
        {"   DNS Update option", "Allways update", false, 0},
        {"   Range Type", "Unknown (9)", false, 0},
        {"   AutoHost name starts with", "", false, 0},
        {"   Comment", "", false, 0},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(PanesDirectoryTest, SubnetWithoutServerAddressOrMaskStillShowsTheRest) {
    PaneRows rows;
    ASSERT_NO_THROW(AddSubnetPaneRows(context_, kBareSubnet, rows));
    EXPECT_EQ(Captions(rows),
              (std::vector<std::string>{"Domain name", "Dynamic update zone", "DHCP server reference",
                                        "Subnet Address", "Subnet Mask", "Pool reference", "Lease Time",
                                        "Comment"}));
    EXPECT_EQ(Find(rows, "DHCP server reference")->value, kNoServerReferenceText);
    EXPECT_EQ(Find(rows, "Subnet Address")->value, "");
    EXPECT_EQ(Find(rows, "Lease Time")->value, "Permanent");
    EXPECT_EQ(Find(rows, "Comment")->value, "bare subnet");
}

// The tree with a locator whose preference list holds a value larger than a whole reply.
class PanesLargeValueTest : public PanesDirectoryTest {
protected:
    std::string Ldif() const override { return testing::PanesLdifWithLargeValues(); }
};

TEST_F(PanesLargeValueTest, AValueTooLargeForAReadIsReportedOnceWithItsObject) {
    TakePaneReadWarnings();
    PaneRows rows;
    AddLabelPaneRows(context_, "Big.DNS.ACME", LocatorLabelTable(), rows);
    ASSERT_NE(Find(rows, "    15=Domain Name"), nullptr); // the value before it is shown
    EXPECT_EQ(TakePaneReadWarnings(), std::vector<std::string>{OctetWarningText(
                                          directory::kOctetStringListOverflowMessage, "Big.DNS.ACME")});
    EXPECT_TRUE(TakePaneReadWarnings().empty());
    AddLabelPaneRows(context_, "Locator.DNS.ACME", LocatorLabelTable(), rows);
    EXPECT_TRUE(TakePaneReadWarnings().empty());
}

} // namespace
} // namespace browser
