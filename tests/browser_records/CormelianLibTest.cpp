#include "browser/records/CormelianLib.h"
#include "GeneratedTreeSource.h"
#include "RecordBytes.h"

#include <gtest/gtest.h>

using namespace browser;
using namespace testbytes;

namespace {

gentree::LdifEntry Entry(const std::string& dn, const std::string& objectClass) {
    gentree::LdifEntry entry;
    entry.dn = dn;
    entry.Add("objectClass", objectClass);
    return entry;
}

gentree::LdifEntry Zone(const std::string& dn, const std::string& type) {
    gentree::LdifEntry zone = Entry(dn, "dNIPDNSZone");
    zone.Add("dnipZoneType", type);
    return zone;
}

gentree::LdifEntry RRSet(const std::string& dn, const std::string& domain,
                         std::initializer_list<Bytes> records) {
    gentree::LdifEntry rrset = Entry(dn, "dNIPDNSRRset");
    rrset.Add("dnipDNSDomainName", domain);
    rrset.Add("description", "  described\t ");
    for (const Bytes& record : records) {
        rrset.AddOctets("dnipRR", record);
    }
    return rrset;
}

Bytes ARecord(int last) {
    return Record(rrtype::A, Bytes{10, 0, 0, static_cast<std::uint8_t>(last)});
}

Bytes NsRecord() {
    Bytes rdata;
    AppendName(rdata, "ns.example.com");
    return Record(rrtype::NS, rdata);
}

class CacheLines : public RecordCacheWriter {
public:
    void WriteCacheLine(const std::string& section, const std::string& key,
                        const std::string& value) override {
        lines.push_back(section + "|" + key + "|" + value);
    }
    std::vector<std::string> lines;
};

gentree::GeneratedTree DnsTree() {
    gentree::GeneratedTree tree;
    tree.entries = {
        Entry("o=T", "organization"),
        Zone("cn=example_com,o=T", "0"),
        Zone("cn=1_0_10_in-addr_arpa,o=T", "4"),
        RRSet("cn=@,cn=example_com,o=T", "example.com", {NsRecord()}),
        RRSet("cn=www,cn=example_com,o=T", "www.example.com", {ARecord(1), NsRecord()}),
        RRSet("cn=5,cn=1_0_10_in-addr_arpa,o=T", "5.1.0.10.in-addr.arpa", {ARecord(5), NsRecord()}),
    };
    return tree;
}

} // namespace

TEST(ListRRSet, ApexRecordSetGivesNoRowsAndReadsNothing) {
    GeneratedTreeSource source(DnsTree());
    std::vector<RecordRow> rows;
    EXPECT_EQ(ListRRSet(source, "@.example_com.T", rows, RowOrigin{}), 0);
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(source.reads, 0);
}

TEST(ListRRSet, ReadsZoneTypeDomainAndDescriptionAndWritesCacheLines) {
    GeneratedTreeSource source(DnsTree());
    std::vector<RecordRow> rows;
    CacheLines cache;
    EXPECT_EQ(ListRRSet(source, "www.example_com.T", rows, RowOrigin{3, "T", "example_com.T"}, &cache,
                        "example_com.T"),
              0);
    EXPECT_EQ(ListRRSet(source, "5.1_0_10_in-addr_arpa.T", rows, RowOrigin{4, "T", "1_0_10_in-addr_arpa.T"},
                        &cache, "1_0_10_in-addr_arpa.T"),
              0);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].subItems,
              (std::vector<std::string>{"www", "A", "example.com", "described", "www.example_com.T"}));
    EXPECT_EQ(rows[1].list, RecordListKind::Dns);
    EXPECT_EQ(rows[2].list, RecordListKind::Dns);    // A stays in DNS in a reverse zone
    EXPECT_EQ(rows[3].list, RecordListKind::RevDns); // NS follows the zone type 4
    EXPECT_EQ(rows[3].rowReference, 4);
    ASSERT_EQ(cache.lines.size(), 4u);
    EXPECT_EQ(cache.lines[2], "1_0_10_in-addr_arpa.T|10.0.0.5|5,A,1.0.10.in-addr.arpa,described,"
                              "5.1_0_10_in-addr_arpa.T\x01"
                              "104");
}

TEST(ListRRSet, DirectoryFailuresReturnOneAndKeepEarlierRows) {
    GeneratedTreeSource source(DnsTree());
    std::vector<RecordRow> rows;
    source.failingAttributes = {"DNIP:RR"};
    EXPECT_EQ(ListRRSet(source, "www.example_com.T", rows, RowOrigin{}), 1);
    EXPECT_TRUE(rows.empty());

    source.failingAttributes = {"Description"}; // read at the first A record, after no rows
    EXPECT_EQ(ListRRSet(source, "www.example_com.T", rows, RowOrigin{}), 1);
    EXPECT_TRUE(rows.empty());

    gentree::GeneratedTree tree = DnsTree();
    tree.entries.push_back(RRSet("cn=mail,cn=example_com,o=T", "mail.example.com", {NsRecord(), ARecord(9)}));
    GeneratedTreeSource later(tree);
    later.failingAttributes = {"Description"};
    EXPECT_EQ(ListRRSet(later, "mail.example_com.T", rows, RowOrigin{}), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].subItems[1], "NS");

    EXPECT_EQ(ListRRSet(source, "missing.example_com.T", rows, RowOrigin{}), 1);
}

TEST(ListObjectsOfClass, FindsTheClassInTheWholeSubtree) {
    GeneratedTreeSource source(DnsTree());
    EXPECT_EQ(ListObjectsOfClass(source, kRRSetClass, "example_com.T"),
              (std::vector<std::string>{"@.example_com.T", "www.example_com.T"}));
    EXPECT_EQ(ListObjectsOfClass(source, kRRSetClass, "T").size(), 3u);
    EXPECT_TRUE(ListObjectsOfClass(source, kAddressClass, "T").empty());
}

namespace {

gentree::GeneratedTree DhcpTree(bool withOptional) {
    gentree::LdifEntry address = Entry("cn=10_0_0_7,cn=10_0_0_0,o=T", "dNIPIPAddressConfiguration");
    address.Add("cn", "10_0_0_7");
    address.Add("dnipHostName", "  pc7  ");
    address.Add("dnipAssignmentType", "8");
    if (withOptional) {
        address.AddOctets("dnipMACAddress", {7, 1, 0x00, 0x1b, 0x21, 0xaa, 0xbb, 0x0c});
        address.Add("dnipLastUsed", "20240102030405Z");
        address.Add("dnipLeaseExpiration", "not a time");
    }
    address.Add("dnipComment", "desk 7");
    gentree::GeneratedTree tree;
    tree.entries = {Entry("o=T", "organization"), Entry("cn=10_0_0_0,o=T", "dNIPSubnet"), address};
    return tree;
}

const std::string kAddress = "10_0_0_7.10_0_0_0.T";

} // namespace

TEST(FillDhcpAddressRow, FillsEveryColumn) {
    GeneratedTreeSource source(DhcpTree(true));
    RecordRow row;
    EXPECT_EQ(FillDhcpAddressRow(source, kAddress, row, RowOrigin{2, "T", "10_0_0_0.T"}), 0);
    EXPECT_EQ(row.list, RecordListKind::Dhcp);
    EXPECT_EQ(row.caption, "10.0.0.7");
    EXPECT_EQ(row.subItems, (std::vector<std::string>{"pc7", "Manual", "00:1B:21:AA:BB:0C",
                                                      "2024-01-02 03:04:05", "", "desk 7", kAddress}));
    EXPECT_EQ(row.rowReference, 2);
    EXPECT_EQ(row.container, "10_0_0_0.T");
}

TEST(FillDhcpAddressRow, MissingOrFailingGuardedFieldsGiveEmptyColumns) {
    GeneratedTreeSource missing(DhcpTree(false));
    RecordRow row;
    EXPECT_EQ(FillDhcpAddressRow(missing, kAddress, row, RowOrigin{}), 0);
    EXPECT_EQ(row.subItems, (std::vector<std::string>{"pc7", "Manual", "", "", "", "desk 7", kAddress}));

    GeneratedTreeSource failing(DhcpTree(true));
    failing.failingAttributes = {"DNIP:MAC Address", "DNIP:Last Used", "DNIP:Lease Expiration"};
    RecordRow guarded;
    EXPECT_EQ(FillDhcpAddressRow(failing, kAddress, guarded, RowOrigin{}), 0);
    EXPECT_EQ(guarded.subItems, (std::vector<std::string>{"pc7", "Manual", "", "", "", "desk 7", kAddress}));
}

TEST(FillDhcpAddressRow, OtherFailuresStopTheFill) {
    GeneratedTreeSource source(DhcpTree(true));
    source.failingAttributes = {"DNIP:Comment"};
    RecordRow row;
    EXPECT_EQ(FillDhcpAddressRow(source, kAddress, row, RowOrigin{}), 1);
    EXPECT_EQ(row.subItems.size(), 5u);
    source.failingAttributes = {"CN"};
    RecordRow empty;
    EXPECT_EQ(FillDhcpAddressRow(source, kAddress, empty, RowOrigin{}), 1);
    EXPECT_TRUE(empty.subItems.empty());
}

TEST(DhcpTexts, AssignmentTypesAndMac) {
    EXPECT_EQ(AssignmentTypeText(1), "Automatic");
    EXPECT_EQ(AssignmentTypeText(64), "Fixed Host Dynamic");
    EXPECT_EQ(AssignmentTypeText(256), "Free");
    EXPECT_EQ(AssignmentTypeText(0), "?????");
    EXPECT_EQ(AssignmentTypeText(3), "?????");
    EXPECT_EQ(MacAddressText(Bytes{1, 2, 3, 4, 5, 6}), "01:02:03:04:05:06");
    EXPECT_EQ(MacAddressText(Bytes{1, 2, 3, 4, 5}), "");
}
