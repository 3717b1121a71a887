#pragma once

#include <string>
#include <vector>

namespace browser {

// Which object list the rows of a locator reference go to.
enum class ObjectListKind {
    Misc = 0,    // lv1: servers, pools, group
    Zones = 1,   // zonelist
    Subnets = 2, // netslist
};

// One reference attribute of the DNS/DHCP locator with the label the lists know it by.
struct LocatorAttribute {
    std::string attribute; // "DNIP:DNSZones"
    std::string label;     // "DNS Zones"
    ObjectListKind kind;

    // "attribute=label", the entry as the table holds it.
    std::string Entry() const { return attribute + "=" + label; }
    // The entry in upper case: the name of its section in "dnsdhcp.ini".
    std::string CacheSection() const;
};

// The locator's reference attributes in the order the lists show them.
const std::vector<LocatorAttribute>& LocatorAttributes();

// The class whose icon the rows of a reference attribute get; empty when the attribute has none
// (zones and subnets get the zone and subnet icon instead).
std::string LocatorIconClass(const std::string& attribute);

inline constexpr const char* kLocatorClass = "DNIP:Locator";
inline constexpr const char* kGroupReferenceAttribute = "DNIP:Group Reference";

} // namespace browser
