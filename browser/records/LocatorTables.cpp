#include "browser/records/LocatorTables.h"

#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace browser {

std::string LocatorAttribute::CacheSection() const {
    std::string section = Entry();
    std::transform(section.begin(), section.end(), section.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return section;
}

const std::vector<LocatorAttribute>& LocatorAttributes() {
    static const std::vector<LocatorAttribute> table{
        {"DNIP:DNSServers", "DNS Servers", ObjectListKind::Misc},
        {"DNIP:DHCPServers", "DHCP Servers", ObjectListKind::Misc},
        {"DNIP:Subnet Pool List", "Subnet Pools", ObjectListKind::Misc},
        {"DNIP:Group Reference", "Group", ObjectListKind::Misc},
        {"DNIP:DNSZones", "DNS Zones", ObjectListKind::Zones},
        {"DNIP:Subnet Attr", "DHCP Subnets", ObjectListKind::Subnets},
    };
    return table;
}

std::string LocatorIconClass(const std::string& attribute) {
    static const std::vector<std::pair<std::string, std::string>> classes{
        {"DNIP:DNSServers", "DNIP:DNS Server"},
        {"DNIP:DHCPServers", "DNIP:DHCP Server"},
        {"DNIP:Group Reference", "Group"},
        {"DNIP:Subnet Pool List", "DNIP:Subnet Pool"},
    };
    for (const auto& [name, className] : classes) {
        if (rtl::SameText(name, attribute)) {
            return className;
        }
    }
    return {};
}

} // namespace browser
