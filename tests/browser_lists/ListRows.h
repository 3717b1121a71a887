#pragma once

// Sample rows of the three record lists, in the layouts the record decoding gives them.

#include "browser/records/RecordRow.h"

#include <QString>

#include <cstdlib>
#include <string>
#include <vector>

namespace lists_test {

using browser::RecordListKind;
using browser::RecordRow;

inline RecordRow Row(RecordListKind list, std::string caption, std::vector<std::string> subItems) {
    RecordRow row;
    row.list = list;
    row.caption = std::move(caption);
    row.subItems = std::move(subItems);
    return row;
}

// DNS: name, type, zone, info, (RP: "!!!"), object name.
inline std::vector<RecordRow> DnsRows() {
    const auto dns = RecordListKind::Dns;
    return {
        Row(dns, "10.0.0.10",
            {"mail", "A", "example.com", "Mail \"main\" server", "mail.example_com.DNS.ACME"}),
        Row(dns, "10.0.0.2", {"www", "A", "example.com", "Web server", "www.example_com.DNS.ACME"}),
        Row(dns, "",
            {"_sip._tcp.host5", "SRV", "example.com", "Prio: 8, Weight:34, Port:88, Target:dc94",
             "_sip\\._tcp\\.host5.example_com.DNS.ACME"}),
        Row(dns, "10.0.0.10",
            {"mail", "RP", "example.com", "Res. Pers. MB: hostmaster,  TXT RR Domain name: contact", "!!!",
             "mail.example_com.DNS.ACME"}),
        Row(dns, "9.255.0.1", {"Zeta", "A", "beta.org", "", "Zeta.beta_org.DNS.ACME"}),
        Row(dns, "10.0.0.2", {"alias", "A", "example.com", "", "alias.example_com.DNS.ACME"}),
        Row(dns, "10.0.0.9", {"", "A", "Example.com", "nameless", "x.example_com.DNS.ACME"}),
        Row(dns, "10.0.0.10",
            {"mail", "MX", "example.com", "prev: 10  exchange: mx.example.com", "mail.example_com.DNS.ACME"}),
    };
}

// REV-DNS: host label, domain, description, object name; a non-PTR row keeps the DNS layout.
inline std::vector<RecordRow> ReverseRows() {
    const auto rev = RecordListKind::RevDns;
    return {
        Row(rev, "10.0.0.2", {"www", "example.com", "Web", "2.0.0.10-in-addr.arpa.DNS.ACME"}),
        Row(rev, "10.0.0.1", {"gw", "example.com", "", "1.0.0.10-in-addr.arpa.DNS.ACME"}),
        Row(rev, "10.0.0.1",
            {"", "NS", "0.0.10.in-addr.arpa", "ns1.example.com", "1.0.0.10-in-addr.arpa.DNS.ACME"}),
        Row(rev, "192.168.1.1",
            {"router", "home.lan", "Router, \"main\"", "1.1.168.192-in-addr.arpa.DNS.ACME"}),
    };
}

// DHCP: host name, type, MAC, last used, lease expiration, comment, object name.
inline std::vector<RecordRow> DhcpRows() {
    const auto dhcp = RecordListKind::Dhcp;
    return {
        Row(dhcp, "10.1.0.5",
            {"pc5", "Dynamic", "00:11:22:33:44:55", "2024-03-01 10:00:00", "2024-03-08 10:00:00", "",
             "10_1_0_5.net.DHCP.ACME"}),
        Row(dhcp, "10.1.0.3",
            {"pc3", "Manual", "AA:BB:CC:DD:EE:FF", "", "", "printer", "10_1_0_3.net.DHCP.ACME"}),
        Row(dhcp, "10.1.0.4",
            {"PC4", "Dynamic", "00:11:22:33:44:56", "2023-12-31 23:59:59", "garbage", "desk",
             "10_1_0_4.net.DHCP.ACME"}),
        Row(dhcp, "10.1.0.12",
            {"pc12", "Automatic", "", "2024-03-01 10:00:00", "2024-01-01 00:00:00", "",
             "10_1_0_12.net.DHCP.ACME"}),
        Row(dhcp, "10.1.0.7", {"short", "Free", "10_1_0_7.net.DHCP.ACME"}),
    };
}

// "caption name" of every row, to compare orders at a glance.
inline std::vector<std::string> Keys(const std::vector<RecordRow>& rows) {
    std::vector<std::string> keys;
    for (const RecordRow& row : rows)
        keys.push_back(row.caption + " " + (row.subItems.empty() ? std::string() : row.subItems[0]));
    return keys;
}

inline std::string SourceDir() {
    const char* dir = std::getenv("CORMELIAN_SOURCE_DIR");
    return dir ? dir : CORMELIAN_SOURCE_FALLBACK;
}

inline std::string GoldenPath(const std::string& name) {
    return SourceDir() + "/tests/browser_lists/golden/" + name;
}

} // namespace lists_test
