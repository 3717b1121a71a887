#pragma once

// The look-up page's work: one DNS query of a chosen type to a chosen server, and the lines the
// page shows for the answer records. No Qt here; the page's handler reads and fills the controls.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace browser {

// The most entries a history box of the page keeps.
inline constexpr std::size_t kLookupHistorySize = 10;

inline constexpr const char* kNoResolveStringMessage = "No resolve string given!";
inline constexpr const char* kNoDnsServerMessage = "No DNS-server given!";

// Moves text to the top of a history list (removing an equal entry first) and drops the entries
// beyond kLookupHistorySize.
void PushLookupHistory(std::vector<std::string>& history, const std::string& text);

// A dotted IPv4 address of four parts (digits and exactly three dots) becomes its reverse-lookup
// name "d.c.b.a.IN-ADDR.ARPA"; any other text is returned unchanged.
std::string LookupName(const std::string& text);

// The DNS record type asked for by a query-type value of the look-up box (the resolver's
// numbering: 0 A, 1 NS, 2 MD, 3 MF, 4 CNAME, ... 15 TXT, 16 any record); 0 for an unknown value.
std::uint16_t RecordTypeForQueryType(int queryType);

struct DnsQuery {
    std::string name;   // the name to resolve, as LookupName gave it
    std::string server; // address or host name of the DNS server
    int queryType = 0;  // the look-up box's value
    bool recursion = false;
    std::uint16_t port = 53;
    std::chrono::milliseconds timeout{5000};
};

// The outcome of a query: the answer lines, or the message of the failure (lines then empty).
struct DnsLookupResult {
    bool ok = false;
    std::string error;
    std::vector<std::string> lines;
};

// Sends the query once over UDP and formats the answer section. When the query cannot be sent or
// no answer comes within the timeout, the failure is the resolver's text "Could not send or
// receive, because of network error" with the cause in brackets (refused, timed out, no route).
DnsLookupResult RunDnsLookup(const DnsQuery& query);

// The page's lines for the answer records of a DNS message in wire format. A message that does
// not parse, or whose response code is not "no error", gives a failure.
DnsLookupResult FormatDnsAnswer(const std::vector<std::uint8_t>& wireMessage);

} // namespace browser
