// The look-up page's logic: the reverse-lookup name, the history, the record lines, and real
// queries to a DNS responder on the loopback address.
#include "LoopbackDnsResponder.h"

#include "browser/lookup/DnsLookup.h"
#include "browser/records/LabelTables.h"

#include <gtest/gtest.h>

#include <chrono>

namespace browser {
namespace {

using testing::LoopbackDnsResponder;

TEST(LookupNameTest, FourNumberAddressIsAskedReversed) {
    EXPECT_EQ(LookupName("10.1.2.3"), "3.2.1.10.IN-ADDR.ARPA");
    EXPECT_EQ(LookupName("192.168.0.254"), "254.0.168.192.IN-ADDR.ARPA");
}

TEST(LookupNameTest, OtherTextsAreAskedUnchanged) {
    EXPECT_EQ(LookupName("10.1.2"), "10.1.2");         // two dots
    EXPECT_EQ(LookupName("10.1.2.3.4"), "10.1.2.3.4"); // four dots
    EXPECT_EQ(LookupName("10.1.2.a"), "10.1.2.a");     // a letter
    EXPECT_EQ(LookupName("www.example.com"), "www.example.com");
    EXPECT_EQ(LookupName(""), "");
}

TEST(LookupHistoryTest, NewEntryGoesOnTopAndAnEleventhPushesTheOldestOut) {
    std::vector<std::string> history;
    for (int i = 1; i <= 10; ++i)
        PushLookupHistory(history, "host" + std::to_string(i));
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "host10");
    EXPECT_EQ(history.back(), "host1");
    PushLookupHistory(history, "host11");
    ASSERT_EQ(history.size(), 10u);
    EXPECT_EQ(history.front(), "host11");
    EXPECT_EQ(history.back(), "host2");
}

TEST(LookupHistoryTest, RepeatedEntryMovesToTheTopOnce) {
    std::vector<std::string> history{"a", "b", "c"};
    PushLookupHistory(history, "c");
    EXPECT_EQ(history, (std::vector<std::string>{"c", "a", "b"}));
}

TEST(QueryTypeTest, EveryTypeOfTheBoxAsksItsRecordType) {
    const std::vector<std::pair<std::string, std::uint16_t>> expected{
        {"A - Host Address", LDNS_RR_TYPE_A},
        {"NS - Name Server", LDNS_RR_TYPE_NS},
        {"CNAME - Canonical name", LDNS_RR_TYPE_CNAME},
        {"SOA - Start of Zone", LDNS_RR_TYPE_SOA},
        {"MB - Mailbox Domain Name", LDNS_RR_TYPE_MB},
        {"MG - Mail Group Member", LDNS_RR_TYPE_MG},
        {"MR - Mail Rename domain name", LDNS_RR_TYPE_MR},
        {"WKS - Well Known Service", LDNS_RR_TYPE_WKS},
        {"PTR - Domain Name pointer", LDNS_RR_TYPE_PTR},
        {"HINFO - Host Information", LDNS_RR_TYPE_HINFO},
        {"MINFO - Mailbox/Maillist information", LDNS_RR_TYPE_MINFO},
        {"MX - Mail eXchange", LDNS_RR_TYPE_MX},
        {"TXT - Text", LDNS_RR_TYPE_TXT},
        {"* - Any Record", LDNS_RR_TYPE_ANY},
    };
    ASSERT_EQ(QueryTypes().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(QueryTypes()[i].text, expected[i].first);
        EXPECT_EQ(RecordTypeForQueryType(QueryTypes()[i].value), expected[i].second) << expected[i].first;
    }
    EXPECT_EQ(RecordTypeForQueryType(17), 0);
    EXPECT_EQ(RecordTypeForQueryType(-1), 0);
}

// A reply message holding the records as its answer section.
std::vector<std::uint8_t> Reply(const std::vector<std::string>& records,
                                ldns_pkt_rcode rcode = LDNS_RCODE_NOERROR) {
    ldns_pkt* packet = ldns_pkt_new();
    ldns_pkt_set_qr(packet, true);
    ldns_pkt_set_rcode(packet, static_cast<std::uint8_t>(rcode));
    for (const std::string& text : records) {
        ldns_rr* record = nullptr;
        EXPECT_EQ(ldns_rr_new_frm_str(&record, text.c_str(), 0, nullptr, nullptr), LDNS_STATUS_OK) << text;
        ldns_pkt_push_rr(packet, LDNS_SECTION_ANSWER, record);
    }
    std::uint8_t* wire = nullptr;
    std::size_t size = 0;
    EXPECT_EQ(ldns_pkt2wire(&wire, packet, &size), LDNS_STATUS_OK);
    std::vector<std::uint8_t> bytes(wire, wire + size);
    free(wire);
    ldns_pkt_free(packet);
    return bytes;
}

TEST(FormatDnsAnswerTest, EachRecordTypeGivesItsLine) {
    const DnsLookupResult result = FormatDnsAnswer(Reply({
        "www.example.com. 60 IN A 10.0.0.1",
        "example.com. 60 IN NS ns1.example.com.",
        "alias.example.com. 60 IN CNAME www.example.com.",
        "example.com. 60 IN SOA ns1.example.com. hostmaster.example.com. 1 3600 600 86400 300",
        "example.com. 60 IN MX 10 mail.example.com.",
        "1.0.0.10.in-addr.arpa. 60 IN PTR www.example.com.",
        "box.example.com. 60 IN HINFO \"INTEL-386\" \"NETWARE\"",
        "list.example.com. 60 IN MINFO owner.example.com. errors.example.com.",
        "box.example.com. 60 IN WKS 10.0.0.9 TCP smtp",
        "example.com. 60 IN TXT \"first line\" \"second line\"",
        "a.example.com. 60 IN MB mail.example.com.",
        "a.example.com. 60 IN MG mail.example.com.",
        "a.example.com. 60 IN MR mail.example.com.",
        "www.example.com. 60 IN AAAA ::1",
    }));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lines, (std::vector<std::string>{
                                "A     - 10.0.0.1",
                                "NS    - ns1.example.com",
                                "CNAME - www.example.com",
                                "SOA   - RP=hostmaster.example.com,  Primary=ns1.example.com",
                                "MX    - 10, mail.example.com",
                                "PTR    - www.example.com",
                                "HINFO - OS=NETWARE,  CPU=INTEL-386,  NAME=box.example.com",
                                "MINFO - owner.example.com,  errors.example.com",
                                "WKS    - Name=box.example.com,   Address=10.0.0.9",
                                "TXT   - first line",
                                "        second line",
                                "MB    - not supported yet....",
                                "MG    - not supported yet....",
                                "MR    - not supported yet....",
                            }));
}

TEST(FormatDnsAnswerTest, ErrorCodeAndBrokenMessageAreFailures) {
    const DnsLookupResult missing = FormatDnsAnswer(Reply({}, LDNS_RCODE_NXDOMAIN));
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("NXDOMAIN"), std::string::npos) << missing.error;
    EXPECT_TRUE(missing.lines.empty());

    const DnsLookupResult broken = FormatDnsAnswer({0x12, 0x34, 0x81});
    EXPECT_FALSE(broken.ok);
    EXPECT_FALSE(broken.error.empty());

    const DnsLookupResult empty = FormatDnsAnswer(Reply({}));
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.lines.empty());
}

DnsQuery LoopbackQuery(const LoopbackDnsResponder& responder, const std::string& name, int queryType) {
    DnsQuery query;
    query.name = name;
    query.server = "127.0.0.1";
    query.queryType = queryType;
    query.port = responder.port();
    query.timeout = std::chrono::milliseconds(2000);
    return query;
}

TEST(RunDnsLookupTest, AsksTheServerOnceAndShowsItsAnswer) {
    LoopbackDnsResponder responder({"www.example.com. 60 IN A 10.0.0.1", "www.example.com. 60 IN A 10.0.0.2",
                                    "www.example.com. 60 IN MX 5 mail.example.com."});
    ASSERT_NE(responder.port(), 0);
    DnsQuery query = LoopbackQuery(responder, "www.example.com", 0);
    query.recursion = true;
    const DnsLookupResult result = RunDnsLookup(query);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lines, (std::vector<std::string>{"A     - 10.0.0.1", "A     - 10.0.0.2"}));
    const auto queries = responder.queries();
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].name, "www.example.com");
    EXPECT_EQ(queries[0].type, LDNS_RR_TYPE_A);
    EXPECT_TRUE(queries[0].recursionDesired);
}

TEST(RunDnsLookupTest, WithoutRecursionTheFlagIsClearAndAnyAsksForEverything) {
    LoopbackDnsResponder responder(
        {"www.example.com. 60 IN A 10.0.0.1", "www.example.com. 60 IN MX 5 mx.example.com."});
    const DnsLookupResult result = RunDnsLookup(LoopbackQuery(responder, "www.example.com", 16));
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lines, (std::vector<std::string>{"A     - 10.0.0.1", "MX    - 5, mx.example.com"}));
    const auto queries = responder.queries();
    ASSERT_EQ(queries.size(), 1u);
    EXPECT_EQ(queries[0].type, LDNS_RR_TYPE_ANY);
    EXPECT_FALSE(queries[0].recursionDesired);
}

TEST(RunDnsLookupTest, ServerErrorAndSilenceAreReportedAsFailures) {
    {
        LoopbackDnsResponder refusing({}, LDNS_RCODE_REFUSED);
        const DnsLookupResult result = RunDnsLookup(LoopbackQuery(refusing, "www.example.com", 0));
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.error.find("REFUSED"), std::string::npos) << result.error;
    }
    {
        LoopbackDnsResponder silent({}, LDNS_RCODE_NOERROR, true);
        DnsQuery query = LoopbackQuery(silent, "www.example.com", 0);
        query.timeout = std::chrono::milliseconds(300);
        const auto started = std::chrono::steady_clock::now();
        const DnsLookupResult result = RunDnsLookup(query);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Could not send or receive, because of network error (Connection timed out)");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(3));
        EXPECT_EQ(silent.queries().size(), 1u); // asked once, not again
    }
    {
        // A port nobody listens on: the system's refusal ends the query before its timeout.
        std::uint16_t closedPort = 0;
        {
            LoopbackDnsResponder gone({}, LDNS_RCODE_NOERROR, true, 0);
            closedPort = gone.port();
        }
        DnsQuery query;
        query.name = "www.example.com";
        query.server = "127.0.0.1";
        query.port = closedPort;
        query.timeout = std::chrono::milliseconds(5000);
        const auto started = std::chrono::steady_clock::now();
        const DnsLookupResult result = RunDnsLookup(query);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, "Could not send or receive, because of network error (Connection refused)");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(4));
    }
}

TEST(RunDnsLookupTest, BadNameOrServerFailsWithoutSending) {
    DnsQuery query;
    query.name = std::string(300, 'a');
    query.server = "127.0.0.1";
    EXPECT_FALSE(RunDnsLookup(query).ok);
    query.name = "www.example.com";
    query.server = ""; // resolved by nobody: the tests send nothing beyond this machine
    const DnsLookupResult result = RunDnsLookup(query);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("DNS-server"), std::string::npos);
}

} // namespace
} // namespace browser
