#pragma once

// A tiny DNS server for the tests: a UDP socket on 127.0.0.1 (a port of the system's choice) and a
// thread that answers each query from a fixed set of records in presentation format. It answers at
// most a given number of queries and stops by itself after a few seconds at the latest.

// stdbool.h first: without it ldns defines bool, true and false as macros.
#include <stdbool.h>

#include <ldns/ldns.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace browser::testing {

class LoopbackDnsResponder {
public:
    struct Query {
        std::string name; // as asked, without the final dot
        std::uint16_t type = 0;
        bool recursionDesired = false;
    };

    // records: answer records ("www.example.com. 60 IN A 10.0.0.1"), sent for every query whose name
    // and type (or type ANY) match. rcode: the response code of every answer. silent: receive but
    // never answer (a server that does not respond).
    explicit LoopbackDnsResponder(std::vector<std::string> records, ldns_pkt_rcode rcode = LDNS_RCODE_NOERROR,
                                  bool silent = false, int maxQueries = 8)
        : records_(std::move(records)), rcode_(rcode), silent_(silent), maxQueries_(maxQueries) {
        socket_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (socket_ < 0 || ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            return;
        socklen_t length = sizeof address;
        ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }

    ~LoopbackDnsResponder() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        if (socket_ >= 0)
            ::close(socket_);
    }

    std::uint16_t port() const { return port_; }

    std::vector<Query> queries() const {
        const std::lock_guard<std::mutex> lock(mutex_);
        return queries_;
    }

    // While held, queries wait unanswered (a server that is slow to answer); Release answers them.
    void Hold() { held_ = true; }
    void Release() { held_ = false; }
    // The number of queries received and not yet answered.
    int Waiting() const { return waiting_; }

private:
    void Serve() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int answered = 0;
        std::vector<std::pair<std::vector<std::uint8_t>, sockaddr_in>> held;
        while (!stop_ && answered < maxQueries_ && std::chrono::steady_clock::now() < deadline) {
            if (!held_ && !held.empty()) {
                for (const auto& [message, from] : held)
                    AnswerMessage(message.data(), message.size(), from);
                held.clear();
                waiting_ = 0;
            }
            pollfd ready{socket_, POLLIN, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            std::uint8_t buffer[4096];
            sockaddr_in from{};
            socklen_t fromLength = sizeof from;
            const ssize_t size = ::recvfrom(socket_, buffer, sizeof buffer, 0,
                                            reinterpret_cast<sockaddr*>(&from), &fromLength);
            if (size <= 0)
                continue;
            ++answered;
            if (held_) {
                held.emplace_back(std::vector<std::uint8_t>(buffer, buffer + size), from);
                ++waiting_;
                continue;
            }
            AnswerMessage(buffer, static_cast<std::size_t>(size), from);
        }
    }

    void AnswerMessage(const std::uint8_t* message, std::size_t size, const sockaddr_in& from) {
        ldns_pkt* query = nullptr;
        if (ldns_wire2pkt(&query, message, size) != LDNS_STATUS_OK)
            return;
        Answer(query, from);
        ldns_pkt_free(query);
    }

    void Answer(const ldns_pkt* query, const sockaddr_in& from) {
        const ldns_rr* question = ldns_rr_list_rr(ldns_pkt_question(query), 0);
        char* nameText = ldns_rdf2str(ldns_rr_owner(question));
        std::string name = nameText;
        free(nameText);
        if (!name.empty() && name.back() == '.')
            name.pop_back();
        const ldns_rr_type type = ldns_rr_get_type(question);
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            queries_.push_back(Query{name, static_cast<std::uint16_t>(type), ldns_pkt_rd(query)});
        }
        if (silent_)
            return;

        ldns_pkt* reply = ldns_pkt_new();
        ldns_pkt_set_id(reply, ldns_pkt_id(query));
        ldns_pkt_set_qr(reply, true);
        ldns_pkt_set_rd(reply, ldns_pkt_rd(query));
        ldns_pkt_set_ra(reply, true);
        ldns_pkt_set_rcode(reply, static_cast<std::uint8_t>(rcode_));
        ldns_pkt_push_rr(reply, LDNS_SECTION_QUESTION, ldns_rr_clone(question));
        for (const std::string& text : records_) {
            ldns_rr* record = nullptr;
            if (ldns_rr_new_frm_str(&record, text.c_str(), 0, nullptr, nullptr) != LDNS_STATUS_OK)
                continue;
            const bool sameName = ldns_dname_compare(ldns_rr_owner(record), ldns_rr_owner(question)) == 0;
            const bool sameType = type == LDNS_RR_TYPE_ANY || ldns_rr_get_type(record) == type;
            if (sameName && sameType && rcode_ == LDNS_RCODE_NOERROR)
                ldns_pkt_push_rr(reply, LDNS_SECTION_ANSWER, record);
            else
                ldns_rr_free(record);
        }
        std::uint8_t* wire = nullptr;
        std::size_t size = 0;
        if (ldns_pkt2wire(&wire, reply, &size) == LDNS_STATUS_OK) {
            ::sendto(socket_, wire, size, 0, reinterpret_cast<const sockaddr*>(&from), sizeof from);
            free(wire);
        }
        ldns_pkt_free(reply);
    }

    std::vector<std::string> records_;
    ldns_pkt_rcode rcode_;
    bool silent_;
    int maxQueries_;
    int socket_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> held_{false};
    std::atomic<int> waiting_{0};
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Query> queries_;
};

} // namespace browser::testing
