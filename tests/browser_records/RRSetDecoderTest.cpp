#include "browser/records/RRSetDecoder.h"

#include "RecordBytes.h"

#include <gtest/gtest.h>

#include <map>

using namespace browser;
using namespace testbytes;

namespace {

const std::string kObject = "www.example_com.DNS.ACME";

class CacheRecorder : public RecordCacheWriter {
public:
    void WriteCacheLine(const std::string& section, const std::string& key,
                        const std::string& value) override {
        lines.push_back(section + "|" + key + "=" + value);
        bySection[section][key] = value;
    }
    std::vector<std::string> lines;
    std::map<std::string, std::map<std::string, std::string>> bySection;
};

struct Decoded {
    std::vector<RecordRow> rows;
    bool failed = false;
};

Decoded Decode(const Bytes& values, const std::string& domain = "www.example.com", bool reverseZone = false,
               const std::string& description = "web server", const std::string& object = kObject) {
    RRSetFacts facts{object, reverseZone, domain, [description] { return description; }};
    Decoded out;
    try {
        DecodeRRSetValues(facts, values, RowOrigin{7, "ACME", "example_com.DNS.ACME"}, out.rows);
    } catch (const RecordDecodeError&) {
        out.failed = true;
    }
    return out;
}

Bytes A(int a, int b, int c, int d) {
    return Record(rrtype::A, Bytes{static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b),
                                   static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(d)});
}

Bytes NameRecord(unsigned type, const std::string& name) {
    Bytes rdata;
    AppendName(rdata, name);
    return Record(type, rdata);
}

Bytes PrefNameRecord(unsigned type, unsigned pref, const std::string& name) {
    Bytes rdata;
    AppendWord(rdata, pref);
    AppendName(rdata, name);
    return Record(type, rdata);
}

// The info sub-item of the only row.
std::string InfoOf(const Bytes& record) {
    Decoded d = Decode(ValueList({A(10, 0, 0, 5), record}));
    EXPECT_FALSE(d.failed);
    EXPECT_EQ(d.rows.size(), 2u);
    return d.rows.size() == 2 ? d.rows[1].subItems.at(3) : std::string();
}

} // namespace

TEST(RRSetDecoder, ARecordSetsCaptionNameAndCarryOver) {
    Decoded d = Decode(ValueList({A(192, 168, 1, 10), NameRecord(rrtype::NS, "ns1.example.com")}),
                       "www.example.com", false, "line1\r\nline2");
    ASSERT_EQ(d.rows.size(), 2u);
    const RecordRow& a = d.rows[0];
    EXPECT_EQ(a.list, RecordListKind::Dns);
    EXPECT_EQ(a.caption, "192.168.1.10");
    EXPECT_EQ(a.subItems, (std::vector<std::string>{"www", "A", "example.com", "line1  line2", kObject}));
    EXPECT_EQ(a.imageIndex, 4);
    EXPECT_EQ(a.rowReference, 7);
    EXPECT_EQ(a.tree, "ACME");
    EXPECT_EQ(a.container, "example_com.DNS.ACME");
    const RecordRow& ns = d.rows[1];
    EXPECT_EQ(ns.caption, "192.168.1.10");
    EXPECT_EQ(ns.subItems,
              (std::vector<std::string>{"www", "NS", "example.com", "ns1.example.com", kObject}));
    EXPECT_EQ(ns.imageIndex, 13);
}

TEST(RRSetDecoder, RecordBeforeAnyAddressHasEmptyCaptionAndName) {
    Decoded d = Decode(ValueList({NameRecord(rrtype::CNAME, "host.example.com"), A(10, 1, 2, 3),
                                  NameRecord(rrtype::MB, "mb.example.com")}));
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[0].caption, "");
    EXPECT_EQ(d.rows[0].subItems[0], "");
    EXPECT_EQ(d.rows[0].subItems[1], "CNAME");
    EXPECT_EQ(d.rows[0].imageIndex, 6);
    EXPECT_EQ(d.rows[2].caption, "10.1.2.3");
    EXPECT_EQ(d.rows[2].subItems[0], "www");
}

TEST(RRSetDecoder, SimpleNameAndStringTypes) {
    struct Case {
        Bytes record;
        const char* type;
        const char* info;
        int image;
    };
    Bytes hinfo, minfo, rp, px, txt, isdn;
    AppendString(hinfo, "x86");
    AppendString(hinfo, "Linux");
    AppendName(minfo, "admin.example.com");
    AppendName(minfo, "errors.example.com");
    AppendName(rp, "hostmaster.example.com");
    AppendName(rp, "info.example.com");
    AppendWord(px, 10);
    AppendName(px, "map822.example.com");
    AppendName(px, "mapx400.example.com");
    AppendString(txt, "v=spf1 -all");
    AppendString(txt, "second");
    AppendString(isdn, "150862028003217");
    AppendString(isdn, "004");
    const Case cases[] = {
        {NameRecord(rrtype::MG, "mg.example.com"), "MG", "mg.example.com", 11},
        {NameRecord(rrtype::MR, "mr.example.com"), "MR", "mr.example.com", 15},
        {Record(rrtype::HINFO, hinfo), "HINFO", "cpu: x86  os: Linux", 14},
        {Record(rrtype::MINFO, minfo), "MINFO",
         "responsible mailbox: admin.example.com  error message mailbox: errors.example.com", 16},
        {PrefNameRecord(rrtype::MX, 10, "mail.example.com"), "MX", "prev: 10  exchange: mail.example.com", 9},
        {Record(rrtype::TXT, txt), "TXT", "v=spf1 -all", 7},
        {PrefNameRecord(rrtype::AFSDB, 1, "afs.example.com"), "AFSDB",
         "Subtype: 1,  Hostname: afs.example.com", 16},
        {Record(rrtype::X25,
                [] {
                    Bytes b;
                    AppendString(b, "311061700956");
                    return b;
                }()),
         "X25", "311061700956", 2},
        {Record(rrtype::ISDN, isdn), "ISDN", "150862028003217", 1},
        {PrefNameRecord(rrtype::RT, 65535, "relay.example.com"), "RT",
         "Pref: 65535,  Intermediate: relay.example.com", 8},
        {Record(rrtype::PX, px), "PX",
         "Subtype: 10,  MAP 822: map822.example.com,  MAP X.400 mapx400.example.com", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        Decoded d = Decode(ValueList({A(10, 0, 0, 5), c.record}));
        ASSERT_EQ(d.rows.size(), 2u);
        EXPECT_EQ(d.rows[1].subItems[1], c.type);
        EXPECT_EQ(d.rows[1].subItems[3], c.info);
        EXPECT_EQ(d.rows[1].imageIndex, c.image);
        EXPECT_EQ(d.rows[1].caption, "10.0.0.5");
    }
    Decoded rpRows = Decode(ValueList({Record(rrtype::RP, rp)}));
    ASSERT_EQ(rpRows.rows.size(), 1u);
    EXPECT_EQ(
        rpRows.rows[0].subItems,
        (std::vector<std::string>{
            "", "RP", "example.com",
            "Res. Pers. MB: hostmaster.example.com,  TXT RR Domain name: info.example.com", "!!!", kObject}));
    EXPECT_EQ(rpRows.rows[0].imageIndex, 17);
}

TEST(RRSetDecoder, WksListsProtocolAndKnownServicesInFixedOrder) {
    Bytes rdata{10, 0, 0, 9, 6};
    Bytes bitmap(16, 0);
    for (unsigned port : {25u, 21u, 80u}) {
        bitmap[port / 8] |= static_cast<std::uint8_t>(0x80u >> (port % 8));
    }
    rdata.insert(rdata.end(), bitmap.begin(), bitmap.end());
    EXPECT_EQ(InfoOf(Record(rrtype::WKS, rdata)), "10.0.0.9 Protocol TCP Services: FTP SMTP ");

    // Short bitmap: the ports beyond it read as not set; an unknown protocol.
    EXPECT_EQ(InfoOf(Record(rrtype::WKS, Bytes{1, 2, 3, 4, 99, 0xFF, 0x40})),
              "1.2.3.4 Protocol ??? Services: Discard Echo ");
    Bytes all{1, 1, 1, 1, 17};
    all.resize(5 + 16, 0xFF);
    EXPECT_EQ(InfoOf(Record(rrtype::WKS, all)),
              "1.1.1.1 Protocol UDP Services: Bootpc Bootps Discard Domain Echo "
              "Finger FTP NNTP POP-2 RLP SMTP Telnet TFTP TIME ");
}

TEST(RRSetDecoder, IPv6IsEightFullUpperCaseGroups) {
    Bytes rdata{0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xab, 0xcd};
    Decoded d = Decode(ValueList({A(10, 0, 0, 5), Record(rrtype::AAAA, rdata)}));
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.rows[1].subItems[1], "IPv6");
    EXPECT_EQ(d.rows[1].subItems[3], "2001:0DB8:0000:0000:0000:0000:0000:ABCD");
    EXPECT_EQ(d.rows[1].imageIndex, 0);
}

TEST(RRSetDecoder, SrvOwnerTakesThreeLabelsWhenFirstRecordIsSrv) {
    Bytes rdata;
    AppendWord(rdata, 0);
    AppendWord(rdata, 100);
    AppendWord(rdata, 389);
    AppendName(rdata, "dc1.corp.example.com");
    Decoded d = Decode(ValueList({Record(rrtype::SRV, rdata), A(10, 0, 0, 7), Record(rrtype::SRV, rdata)}),
                       "_ldap._tcp.dc.example.com");
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[0].caption, "");
    EXPECT_EQ(
        d.rows[0].subItems,
        (std::vector<std::string>{"_ldap._tcp.dc", "SRV", "example.com",
                                  "Prio: 0, Weight:100, Port:389, Target:dc1.corp.example.com", kObject}));
    EXPECT_EQ(d.rows[0].imageIndex, 18);
    // SRV leaves the carried address alone and shows an empty caption even after an A record.
    EXPECT_EQ(d.rows[1].subItems[0], "_ldap._tcp.dc");
    EXPECT_EQ(d.rows[2].caption, "");

    // A first record that is not SRV: the owner is one label, the SRV row still names that owner.
    Decoded other =
        Decode(ValueList({A(10, 0, 0, 7), Record(rrtype::SRV, rdata)}), "_ldap._tcp.dc.example.com");
    ASSERT_EQ(other.rows.size(), 2u);
    EXPECT_EQ(other.rows[1].subItems[0], "_ldap");
    EXPECT_EQ(other.rows[1].subItems[2], "_tcp.dc.example.com");
}

TEST(RRSetDecoder, PtrWalksLabelsAndTurnsTheRestReverse) {
    Bytes ptr;
    AppendLabels(ptr, "Mail.Example.COM");
    Decoded d = Decode(ValueList({Record(rrtype::PTR, ptr), NameRecord(rrtype::CNAME, "x.example.com"),
                                  NameRecord(rrtype::MB, "mb.example.com"), A(10, 0, 0, 9)}),
                       "9.0.0.10.in-addr.arpa", false, "tab\there");
    ASSERT_EQ(d.rows.size(), 4u);
    const RecordRow& row = d.rows[0];
    EXPECT_EQ(row.list, RecordListKind::RevDns);
    EXPECT_EQ(row.caption, "10.0.0.9");
    EXPECT_EQ(row.subItems, (std::vector<std::string>{"mail", "example.com", "tab here", kObject}));
    EXPECT_EQ(row.imageIndex, 19);
    EXPECT_EQ(d.rows[1].list, RecordListKind::RevDns); // "flag" types follow the PTR
    EXPECT_EQ(d.rows[1].subItems.size(), 5u);          // and keep the DNS layout
    EXPECT_EQ(d.rows[2].list, RecordListKind::Dns);    // MB always goes to DNS
    EXPECT_EQ(d.rows[3].list, RecordListKind::Dns);    // and so does A
}

TEST(RRSetDecoder, PtrLabelWalkStopsAtTheDataLengthBudget) {
    // Budget 9: length 3 + "www" leaves 5; length 7 then takes "exa" until the budget reaches 1.
    Bytes ptr;
    AppendLabels(ptr, "www.example.com");
    Bytes record = Record(rrtype::PTR, ptr);
    record[8] = 0;
    record[9] = 9;
    Decoded d = Decode(ValueList({record}), "1.2.3.4.in-addr.arpa");
    ASSERT_EQ(d.rows.size(), 1u);
    EXPECT_EQ(d.rows[0].subItems[0], "www");
    EXPECT_EQ(d.rows[0].subItems[1], "exa");

    // A reverse name with fewer than four dots gives fewer groups.
    Decoded shortName = Decode(ValueList({Record(rrtype::PTR, ptr)}), "3.2.1");
    ASSERT_EQ(shortName.rows.size(), 1u);
    EXPECT_EQ(shortName.rows[0].caption, "2.3");
}

TEST(RRSetDecoder, ReverseZoneSendsFlagTypesToRevDns) {
    Decoded d = Decode(ValueList({A(10, 0, 0, 1), NameRecord(rrtype::NS, "ns.example.com"),
                                  NameRecord(rrtype::MG, "mg.example.com")}),
                       "1.0.0.10.in-addr.arpa", true);
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[0].list, RecordListKind::Dns);
    EXPECT_EQ(d.rows[1].list, RecordListKind::RevDns);
    EXPECT_EQ(d.rows[2].list, RecordListKind::Dns);
}

TEST(RRSetDecoder, UnknownAndHighTypesAreNeverDecodedByTheirLowByte) {
    // Type 257 has the low byte of A: it must not become an address row.
    Bytes caa{0, 5, 'i', 's', 's', 'u', 'e', 'c', 'a'};
    Decoded d = Decode(ValueList({Record(257, caa), Record(99, Bytes{1, 2, 3}), Record(256 + 12, Bytes{0})}));
    ASSERT_FALSE(d.failed);
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[0].caption, "");
    EXPECT_EQ(d.rows[0].subItems, (std::vector<std::string>{"", "unknown", "example.com",
                                                            "Unknown record type: 257 " + kObject, kObject}));
    EXPECT_EQ(d.rows[0].imageIndex, -1);
    EXPECT_EQ(d.rows[1].subItems[3], "Unknown record type: 99 " + kObject);
    EXPECT_EQ(d.rows[2].list, RecordListKind::Dns); // 268 is no PTR
    EXPECT_EQ(d.rows[2].subItems[1], "unknown");
}

TEST(RRSetDecoder, ShortValuesAreSkippedAndTheWalkGoesOn) {
    Decoded d =
        Decode(ValueList({Bytes{1}, A(10, 0, 0, 1), Bytes{0, 1}, Bytes{}, NameRecord(rrtype::NS, "ns")}));
    ASSERT_FALSE(d.failed);
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.rows[1].subItems[1], "NS");
}

TEST(RRSetDecoder, RecordsLongerThanTheOldBufferDecodeWhole) {
    Bytes big(3000, 'x');
    big.resize(2000);
    Bytes txt;
    AppendString(txt, std::string(200, 't'));
    txt.insert(txt.end(), big.begin(), big.end());
    Decoded d =
        Decode(ValueList({A(10, 0, 0, 1), Record(rrtype::TXT, txt), NameRecord(rrtype::NS, "after")}));
    ASSERT_FALSE(d.failed);
    ASSERT_EQ(d.rows.size(), 3u);
    EXPECT_EQ(d.rows[1].subItems[3], std::string(200, 't'));
    EXPECT_EQ(d.rows[2].subItems[3], "after");
}

TEST(RRSetDecoder, TruncatedFieldsReadAsZeroFilled) {
    // MX whose exchange name is missing: the preference and an empty name.
    Decoded d = Decode(ValueList({Record(rrtype::MX, Bytes{0, 5})}));
    ASSERT_EQ(d.rows.size(), 1u);
    EXPECT_EQ(d.rows[0].subItems[3], "prev: 5  exchange: ");
    // A name whose length byte runs past the record keeps the characters that are there.
    Decoded cut = Decode(ValueList({Record(rrtype::CNAME, Bytes{20, 'a', 'b'})}));
    ASSERT_EQ(cut.rows.size(), 1u);
    EXPECT_EQ(cut.rows[0].subItems[3], "ab");
}

TEST(RRSetDecoder, BrokenValueListFailsAndKeepsEarlierRows) {
    Bytes values = ValueList({A(10, 0, 0, 1)});
    Bytes broken = values;
    broken.insert(broken.end(), {50, 0, 0, 0, 1, 2}); // says 50 bytes, holds 2
    Decoded d = Decode(broken);
    EXPECT_TRUE(d.failed);
    ASSERT_EQ(d.rows.size(), 1u);
    Bytes tail = values;
    tail.insert(tail.end(), {1, 0}); // a length cut short
    EXPECT_TRUE(Decode(tail).failed);
}

TEST(RRSetDecoder, DescriptionIsReadOnceAndOnlyWhenNeeded) {
    int reads = 0;
    RRSetFacts facts{kObject, false, "www.example.com", [&reads] {
                         ++reads;
                         return std::string("d");
                     }};
    std::vector<RecordRow> rows;
    DecodeRRSetValues(facts, ValueList({NameRecord(rrtype::NS, "ns")}), RowOrigin{}, rows);
    EXPECT_EQ(reads, 0);
    DecodeRRSetValues(facts, ValueList({A(1, 2, 3, 4), A(1, 2, 3, 5)}), RowOrigin{}, rows);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(rows.back().rowReference, kNoRowReference);
}

TEST(RRSetDecoder, CacheLinesCarryImageAndReverseFlag) {
    CacheRecorder cache;
    RRSetFacts facts{kObject, true, "www.example.com",
                     [] { return std::string("multi\r\nline, \"quoted\""); }};
    std::vector<RecordRow> rows;
    Bytes txt;
    AppendString(txt, "a\nb");
    DecodeRRSetValues(facts, ValueList({A(10, 0, 0, 1), Record(rrtype::TXT, txt), A(10, 0, 0, 1)}),
                      RowOrigin{}, rows, &cache, "example_com.DNS.ACME");
    ASSERT_EQ(cache.lines.size(), 3u);
    const auto& section = cache.bySection["example_com.DNS.ACME"];
    ASSERT_EQ(section.size(), 1u); // same caption: the last line wins
    EXPECT_EQ(section.at("10.0.0.1"),
              "www,A,example.com,\"multi  line, \"\"quoted\"\"\",www.example_com.DNS.ACME\x01"
              "104");
    EXPECT_EQ(cache.lines[1],
              "example_com.DNS.ACME|10.0.0.1=www,TXT,example.com,\"a b\",www.example_com.DNS.ACME\x01"
              "107");
    EXPECT_EQ(rows[1].subItems[3], "a\nb"); // the row keeps the text, only the cache line is made one line
}

TEST(RRSetDecoder, CopyRecBytesChecksBounds) {
    Bytes record{'a', 'b', 'c', 0, 'd'};
    EXPECT_EQ(CopyRecBytes(record, 1, 2), "ab");
    EXPECT_EQ(CopyRecBytes(record, 2, 10), "bc");
    EXPECT_EQ(CopyRecBytes(record, 5, 1), "d");
    EXPECT_EQ(CopyRecBytes(record, 1000, 25), "");
    EXPECT_THROW(CopyRecBytes(record, 1020, 10), RecordDecodeError);
    EXPECT_THROW(CopyRecBytes(record, 0, 1), RecordDecodeError);
    EXPECT_THROW(CopyRecBytes(record, 1, 257), RecordDecodeError);
    Bytes big(3000, 'z');
    EXPECT_EQ(CopyRecBytes(big, 2500, 256), std::string(255, 'z'));
}
