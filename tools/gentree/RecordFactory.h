#pragma once

#include "tools/gentree/Ldif.h"
#include "tools/gentree/Random.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gentree {

// Which list a record's row goes to: always DNS, "DNS or REV-DNS by the record set's reverse
// flag", or always REV-DNS (PTR).
enum class ListRule { Dns, Flag, Rev };

// One resource record: its "DNIP:RR" value and what its row must show.
struct GeneratedRecord {
    std::uint16_t type = 0;
    Bytes value; // TYPE, CLASS, TTL, RDLENGTH, RDATA
    std::string typeText;
    std::string info; // the info sub-item (A and PTR rows take theirs from the record set)
    int image = -1;
    ListRule list = ListRule::Flag;
    std::string address;    // A: the dotted address
    bool extraItem = false; // RP: the "!!!" sub-item
    std::string ptrHost;    // PTR: first label of the target, lower case
    std::string ptrDomain;  // PTR: the rest of the target, lower case
};

// Record types the record sets cycle through after their first record, so that every decoded
// type and some unknown ones (257, 99, 65280) appear in a tree of modest size.
const std::vector<std::uint16_t>& ForwardCycleTypes();
const std::vector<std::uint16_t>& ReverseCycleTypes();

// Makes records with random but reproducible contents. Name fields are stored as the directory
// stores them (length byte, the dotted name, a closing zero byte); PTR targets as wire labels.
class RecordFactory {
public:
    explicit RecordFactory(Random& random) : random_(random) {}

    // Any type of the cycle lists, or SRV; zoneDomain names the zone the targets point into.
    GeneratedRecord Make(std::uint16_t type, const std::string& zoneDomain);
    GeneratedRecord Address(std::uint32_t address);
    GeneratedRecord Pointer(const std::string& target);
    // A TXT record of several strings, longer than 1,024 bytes.
    GeneratedRecord LongText();

private:
    GeneratedRecord Finish(std::uint16_t type, const Bytes& rdata, std::string typeText, std::string info,
                           int image, ListRule list);
    std::string HostIn(const std::string& zoneDomain, const char* prefix);

    Random& random_;
};

std::string DottedAddress(std::uint32_t address);

} // namespace gentree
