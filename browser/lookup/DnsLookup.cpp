#include "browser/lookup/DnsLookup.h"

// stdbool.h first: without it ldns defines bool, true and false as macros.
#include <stdbool.h>

#include <ldns/ldns.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <system_error>

namespace browser {

namespace {

// Owners of ldns objects.
struct RdfFree {
    void operator()(ldns_rdf* rdf) const { ldns_rdf_deep_free(rdf); }
};
struct PktFree {
    void operator()(ldns_pkt* pkt) const { ldns_pkt_free(pkt); }
};
using RdfPtr = std::unique_ptr<ldns_rdf, RdfFree>;
using PktPtr = std::unique_ptr<ldns_pkt, PktFree>;

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

// Owner of a socket descriptor.
class Socket {
public:
    explicit Socket(int descriptor) : descriptor_(descriptor) {}
    ~Socket() {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

// The resolver's text for a failure to send or receive, with its cause ("Connection refused",
// "Connection timed out", "No route to host").
std::string NetworkFailure(int cause) {
    return std::string(ldns_get_errorstr_by_id(LDNS_STATUS_NETWORK_ERR)) + " (" +
           std::system_category().message(cause) + ")";
}

// Sends the query once over a UDP socket connected to the server, so that the system reports a
// refused port or a missing route, and waits up to timeout for the answer that carries the
// query's id. Answers with other ids are not ours and are passed over.
DnsLookupResult ExchangeOverUdp(const addrinfo& server, const std::vector<std::uint8_t>& message,
                                std::uint16_t id, std::chrono::milliseconds timeout) {
    const Socket socket(::socket(server.ai_family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0)
        return Failure(NetworkFailure(errno));
    if (::connect(socket.get(), server.ai_addr, server.ai_addrlen) != 0 ||
        ::send(socket.get(), message.data(), message.size(), 0) < 0)
        return Failure(NetworkFailure(errno));
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::uint8_t> answer(65535);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return Failure(NetworkFailure(ETIMEDOUT));
        pollfd ready{socket.get(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled < 0)
            return Failure(NetworkFailure(errno));
        if (polled == 0)
            continue;
        const ssize_t size = ::recv(socket.get(), answer.data(), answer.size(), 0);
        if (size < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return Failure(NetworkFailure(errno));
        }
        if (size >= 2 && ((answer[0] << 8) | answer[1]) == id) {
            answer.resize(static_cast<std::size_t>(size));
            return FormatDnsAnswer(answer);
        }
    }
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
    RdfPtr name(ldns_dname_new_frm_str(query.name.c_str()));
    if (!name)
        return Failure("Not a valid name to resolve: " + query.name);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (query.server.empty() ||
        getaddrinfo(query.server.c_str(), std::to_string(query.port).c_str(), &hints, &found) != 0 ||
        found == nullptr)
        return Failure("Unknown DNS-server: " + query.server);
    const std::unique_ptr<addrinfo, void (*)(addrinfo*)> server(found, freeaddrinfo);

    const PktPtr packet(ldns_pkt_query_new(name.release(), static_cast<ldns_rr_type>(type), LDNS_RR_CLASS_IN,
                                           query.recursion ? LDNS_RD : 0));
    if (!packet)
        return Failure("Out of memory.");
    ldns_pkt_set_random_id(packet.get());
    std::uint8_t* wire = nullptr;
    std::size_t size = 0;
    if (ldns_pkt2wire(&wire, packet.get(), &size) != LDNS_STATUS_OK || wire == nullptr)
        return Failure("Not a valid name to resolve: " + query.name);
    const std::vector<std::uint8_t> message(wire, wire + size);
    free(wire);
    return ExchangeOverUdp(*server, message, ldns_pkt_id(packet.get()), query.timeout);
}

} // namespace browser
