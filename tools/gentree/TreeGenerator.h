#pragma once

#include "tools/gentree/Ldif.h"
#include "tools/gentree/Manifest.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gentree {

// How big a tree is: zones x record sets x records, subnets x addresses.
struct TreeSize {
    int zones = 2;             // forward zones
    int reverseZones = 1;      // reverse zones ("DNIP:Zone Type" 4)
    int recordSetsPerZone = 8; // besides the zone's "@" record set
    int recordsPerSet = 4;
    int subnets = 2;
    int addressesPerSubnet = 12;
};

struct TreeOptions {
    std::string name; // the tree's name, also its organization
    int index = 1;    // 0..15: keeps the address ranges of trees apart
    std::uint64_t seed = 1;
    TreeSize size;
};

struct GeneratedTree {
    std::string name;
    std::vector<LdifEntry> entries; // parents before children
    std::vector<ExpectedRow> rows;  // DNS and REV-DNS rows per record set, then DHCP rows
};

// Builds a whole tree: organization and containers, a file server with its volume, users with home
// directories, an alias, forward and reverse zones with their record sets, subnets with address
// ranges and address objects, DNS and DHCP servers, a subnet pool, the DNS/DHCP group and the
// locator. The same options always give the same tree. Throws std::invalid_argument for sizes
// out of range.
GeneratedTree GenerateTree(const TreeOptions& options);

// Seconds since 1970-01-01 as "yyyy-mm-dd hh:nn:ss" (UTC) and as GeneralizedTime.
std::string TimeText(std::int64_t seconds);
std::string GeneralizedTime(std::int64_t seconds);

// A text value as the directory gives it back: without characters at or below blank at either end.
std::string TrimmedByDirectory(const std::string& text);

} // namespace gentree
