#include "browser/lookup/DnsLookup.h"

// stdbool.h first: without it ldns defines bool, true and false as macros.
#include <stdbool.h>

#include <ldns/ldns.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <memory>

namespace browser {

namespace {

// Owners of ldns objects.
struct RdfFree {
    void operator()(ldns_rdf* rdf) const { ldns_rdf_deep_free(rdf); }
};
struct PktFree {
    void operator()(ldns_pkt* pkt) const { ldns_pkt_free(pkt); }
};
struct ResolverFree {
    void operator()(ldns_resolver* resolver) const { ldns_resolver_deep_free(resolver); }
};
using RdfPtr = std::unique_ptr<ldns_rdf, RdfFree>;
using PktPtr = std::unique_ptr<ldns_pkt, PktFree>;
using ResolverPtr = std::unique_ptr<ldns_resolver, ResolverFree>;

DnsLookupResult Failure(std::string message) {
    DnsLookupResult result;
    result.error = std::move(message);
    return result;
}

std::string RdfText(const ldns_rdf* rdf) {
    if (rdf == nullptr)
        return {};
    char* text = ldns_rdf2str(rdf);
    if (text == nullptr)
        return {};
    std::string result(text);
    free(text);
    return result;
}

// A domain name without the root's final dot ("." itself stays).
std::string NameText(const ldns_rdf* rdf) {
    std::string text = RdfText(rdf);
    if (text.size() > 1 && text.back() == '.' && text[text.size() - 2] != '\\')
        text.pop_back();
    return text;
}

// A character string (length byte, then the bytes) as its raw bytes.
std::string CharacterString(const ldns_rdf* rdf) {
    if (rdf == nullptr || ldns_rdf_size(rdf) == 0)
        return {};
    const std::uint8_t* data = ldns_rdf_data(rdf);
    const std::size_t length = std::min<std::size_t>(data[0], ldns_rdf_size(rdf) - 1);
    return std::string(reinterpret_cast<const char*>(data + 1), length);
}

const ldns_rdf* Field(const ldns_rr* rr, std::size_t index) {
    return index < ldns_rr_rd_count(rr) ? ldns_rr_rdf(rr, index) : nullptr;
}

void AppendRecordLines(const ldns_rr* rr, std::vector<std::string>& lines) {
    switch (ldns_rr_get_type(rr)) {
    case LDNS_RR_TYPE_A:
        lines.push_back("A     - " + RdfText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_NS:
        lines.push_back("NS    - " + NameText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_MD:
        lines.push_back("MD    - Obsolete, use MX");
        break;
    case LDNS_RR_TYPE_MF:
        lines.push_back("MF    - Obsolete, use MX");
        break;
    case LDNS_RR_TYPE_CNAME:
        lines.push_back("CNAME - " + NameText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_SOA:
        lines.push_back("SOA   - RP=" + NameText(Field(rr, 1)) + ",  Primary=" + NameText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_MB:
        lines.push_back("MB    - not supported yet....");
        break;
    case LDNS_RR_TYPE_MG:
        lines.push_back("MG    - not supported yet....");
        break;
    case LDNS_RR_TYPE_MR:
        lines.push_back("MR    - not supported yet....");
        break;
    case LDNS_RR_TYPE_NULL:
        lines.push_back("Null  - not supported yet....");
        break;
    case LDNS_RR_TYPE_WKS:
        lines.push_back("WKS    - Name=" + NameText(ldns_rr_owner(rr)) +
                        ",   Address=" + RdfText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_PTR:
        lines.push_back("PTR    - " + NameText(Field(rr, 0)));
        break;
    case LDNS_RR_TYPE_HINFO:
        lines.push_back("HINFO - OS=" + CharacterString(Field(rr, 1)) +
                        ",  CPU=" + CharacterString(Field(rr, 0)) + ",  NAME=" + NameText(ldns_rr_owner(rr)));
        break;
    case LDNS_RR_TYPE_MINFO:
        lines.push_back("MINFO - " + NameText(Field(rr, 0)) + ",  " + NameText(Field(rr, 1)));
        break;
    case LDNS_RR_TYPE_MX:
        lines.push_back("MX    - " + RdfText(Field(rr, 0)) + ", " + NameText(Field(rr, 1)));
        break;
    case LDNS_RR_TYPE_TXT:
        for (std::size_t i = 0; i < ldns_rr_rd_count(rr); ++i)
            lines.push_back((i == 0 ? "TXT   - " : "        ") + CharacterString(Field(rr, i)));
        if (ldns_rr_rd_count(rr) == 0)
            lines.push_back("TXT   - ");
        break;
    default:
        break; // the page shows only the record types it can ask for
    }
}

DnsLookupResult FormatPacket(const ldns_pkt* packet) {
    const ldns_pkt_rcode rcode = ldns_pkt_get_rcode(packet);
    if (rcode != LDNS_RCODE_NOERROR) {
        const ldns_lookup_table* entry = ldns_lookup_by_id(ldns_rcodes, rcode);
        return Failure("The DNS-server answered: " +
                       std::string(entry != nullptr ? entry->name : std::to_string(rcode).c_str()));
    }
    DnsLookupResult result;
    result.ok = true;
    const ldns_rr_list* answers = ldns_pkt_answer(packet);
    for (std::size_t i = 0; answers != nullptr && i < ldns_rr_list_rr_count(answers); ++i)
        AppendRecordLines(ldns_rr_list_rr(answers, i), result.lines);
    return result;
}

// The server's address as an ldns address field; a host name is resolved by the system.
RdfPtr ServerAddress(const std::string& server) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(server.c_str(), nullptr, &hints, &found) != 0 || found == nullptr)
        return nullptr;
    char text[INET6_ADDRSTRLEN] = {};
    RdfPtr address;
    if (found->ai_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
        if (inet_ntop(AF_INET, &in->sin_addr, text, sizeof text) != nullptr)
            address.reset(ldns_rdf_new_frm_str(LDNS_RDF_TYPE_A, text));
    } else if (found->ai_family == AF_INET6) {
        const auto* in6 = reinterpret_cast<const sockaddr_in6*>(found->ai_addr);
        if (inet_ntop(AF_INET6, &in6->sin6_addr, text, sizeof text) != nullptr)
            address.reset(ldns_rdf_new_frm_str(LDNS_RDF_TYPE_AAAA, text));
    }
    freeaddrinfo(found);
    return address;
}

bool IsDigitsAndDots(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

} // namespace

void PushLookupHistory(std::vector<std::string>& history, const std::string& text) {
    history.erase(std::remove(history.begin(), history.end(), text), history.end());
    history.insert(history.begin(), text);
    if (history.size() > kLookupHistorySize)
        history.resize(kLookupHistorySize);
}

std::string LookupName(const std::string& text) {
    if (!IsDigitsAndDots(text) || std::count(text.begin(), text.end(), '.') != 3)
        return text;
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t dot = text.find('.'); dot != std::string::npos; dot = text.find('.', start)) {
        parts.push_back(text.substr(start, dot - start));
        start = dot + 1;
    }
    parts.push_back(text.substr(start));
    return parts[3] + "." + parts[2] + "." + parts[1] + "." + parts[0] + ".IN-ADDR.ARPA";
}

std::uint16_t RecordTypeForQueryType(int queryType) {
    if (queryType == 16)
        return LDNS_RR_TYPE_ANY;
    if (queryType < 0 || queryType > 15)
        return 0;
    return static_cast<std::uint16_t>(queryType + 1);
}

DnsLookupResult FormatDnsAnswer(const std::vector<std::uint8_t>& wireMessage) {
    ldns_pkt* raw = nullptr;
    if (ldns_wire2pkt(&raw, wireMessage.data(), wireMessage.size()) != LDNS_STATUS_OK || raw == nullptr)
        return Failure("The answer of the DNS-server could not be read.");
    const PktPtr packet(raw);
    return FormatPacket(packet.get());
}

DnsLookupResult RunDnsLookup(const DnsQuery& query) {
    const std::uint16_t type = RecordTypeForQueryType(query.queryType);
    if (type == 0)
        return Failure("Unknown query type.");
    const RdfPtr name(ldns_dname_new_frm_str(query.name.c_str()));
    if (!name)
        return Failure("Not a valid name to resolve: " + query.name);
    const RdfPtr server = ServerAddress(query.server);
    if (!server)
        return Failure("Unknown DNS-server: " + query.server);

    const ResolverPtr resolver(ldns_resolver_new());
    if (!resolver)
        return Failure("Out of memory.");
    ldns_resolver_set_port(resolver.get(), query.port);
    ldns_resolver_set_recursive(resolver.get(), query.recursion);
    ldns_resolver_set_usevc(resolver.get(), false);
    ldns_resolver_set_retry(resolver.get(), 1);
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(query.timeout).count();
    ldns_resolver_set_timeout(resolver.get(), timeval{static_cast<time_t>(micros / 1000000),
                                                      static_cast<suseconds_t>(micros % 1000000)});
    if (ldns_resolver_push_nameserver(resolver.get(), server.get()) != LDNS_STATUS_OK)
        return Failure("Unknown DNS-server: " + query.server);

    ldns_pkt* raw = nullptr;
    const ldns_status status =
        ldns_resolver_send(&raw, resolver.get(), name.get(), static_cast<ldns_rr_type>(type),
                           LDNS_RR_CLASS_IN, query.recursion ? LDNS_RD : 0);
    const PktPtr answer(raw);
    if (status != LDNS_STATUS_OK || !answer) {
        const char* text = status != LDNS_STATUS_OK ? ldns_get_errorstr_by_id(status) : nullptr;
        return Failure(text != nullptr ? text : "The DNS-server gave no answer.");
    }
    return FormatPacket(answer.get());
}

} // namespace browser
