#include "platform/nwclient/Schema.h"

#include "platform/nwclient/NWClient.h"

#include <array>
#include <cctype>
#include <unordered_map>

namespace nwclient::schema {
namespace {

constexpr bool MULTI = true;
constexpr bool SINGLE = false;

// Every attribute the program reads or writes, and the common ones of users, groups,
// servers, volumes and partitions.
constexpr std::array ATTRIBUTES = {
    // directory core
    AttributeDefinition{"Object Class", SYN_CLASS_NAME, MULTI},
    AttributeDefinition{"CN", SYN_CI_STRING, MULTI},
    AttributeDefinition{"O", SYN_CI_STRING, MULTI},
    AttributeDefinition{"OU", SYN_CI_STRING, MULTI},
    AttributeDefinition{"C", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"L", SYN_CI_STRING, MULTI},
    AttributeDefinition{"S", SYN_CI_STRING, MULTI},
    AttributeDefinition{"DC", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"Description", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Member", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"Group Membership", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"Security Equals", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"Equivalent To Me", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"Aliased Object Name", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"Host Server", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"Host Resource Name", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"Home Directory", SYN_PATH, SINGLE},
    AttributeDefinition{"Path", SYN_PATH, MULTI},
    AttributeDefinition{"Network Address", SYN_NET_ADDRESS, MULTI},
    AttributeDefinition{"Surname", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Given Name", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Full Name", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Initials", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Title", SYN_CI_STRING, MULTI},
    AttributeDefinition{"Telephone Number", SYN_TEL_NUMBER, MULTI},
    AttributeDefinition{"Facsimile Telephone Number", SYN_FAX_NUMBER, MULTI},
    AttributeDefinition{"Internet EMail Address", SYN_CI_STRING, MULTI},
    AttributeDefinition{"EMail Address", SYN_EMAIL_ADDRESS, MULTI},
    AttributeDefinition{"Postal Address", SYN_PO_ADDRESS, MULTI},
    AttributeDefinition{"Language", SYN_CI_LIST, SINGLE},
    AttributeDefinition{"Supported Services", SYN_CI_LIST, MULTI},
    AttributeDefinition{"Serial Number", SYN_PR_STRING, MULTI},
    AttributeDefinition{"Bindery Type", SYN_NU_STRING, SINGLE},
    AttributeDefinition{"Bindery Property", SYN_OCTET_LIST, MULTI},
    AttributeDefinition{"Version", SYN_CE_STRING, SINGLE},
    AttributeDefinition{"Login Disabled", SYN_BOOLEAN, SINGLE},
    AttributeDefinition{"Password Required", SYN_BOOLEAN, SINGLE},
    AttributeDefinition{"Login Grace Limit", SYN_INTEGER, SINGLE},
    AttributeDefinition{"Login Maximum Simultaneous", SYN_INTEGER, SINGLE},
    AttributeDefinition{"Status", SYN_INTEGER, SINGLE},
    AttributeDefinition{"Account Balance", SYN_COUNTER, SINGLE},
    AttributeDefinition{"Revision", SYN_COUNTER, SINGLE},
    AttributeDefinition{"Login Time", SYN_TIME, SINGLE},
    AttributeDefinition{"Last Login Time", SYN_TIME, SINGLE},
    AttributeDefinition{"Intruder Lockout Reset Interval", SYN_INTERVAL, SINGLE},
    AttributeDefinition{"Public Key", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"Replica", SYN_REPLICA_POINTER, MULTI},
    AttributeDefinition{"ACL", SYN_OBJECT_ACL, MULTI},
    AttributeDefinition{"Back Link", SYN_BACK_LINK, MULTI},
    AttributeDefinition{"Partition Creation Time", SYN_TIMESTAMP, SINGLE},
    AttributeDefinition{"Received Up To", SYN_TIMESTAMP, MULTI},
    AttributeDefinition{"Login Script", SYN_STREAM, SINGLE},
    AttributeDefinition{"Notify", SYN_TYPED_NAME, MULTI},
    AttributeDefinition{"Server Holds", SYN_HOLD, MULTI},
    AttributeDefinition{"Unknown", SYN_UNKNOWN, MULTI},
    // DNS zones and record sets
    AttributeDefinition{"DNIP:RR", SYN_OCTET_STRING, MULTI},
    AttributeDefinition{"DNIP:Zone Type", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:DNS Domain Name", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Zone Domain Name", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Zone Servers", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:Designated Server", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Secondary Zone", SYN_BOOLEAN, SINGLE},
    AttributeDefinition{"DNIP:SOA Zone Master", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:SOA Admin Mailbox", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:SOA Refresh", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:SOA Retry", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:SOA Expire", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:SOA Minimum", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:SOA Serial", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Master Server IP Addr", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Zone Out Filter", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:RR Count", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Zone Options", SYN_INTEGER, SINGLE},
    // DNS and DHCP servers
    AttributeDefinition{"DNIP:Server DN", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Server DNS Names", SYN_CI_STRING, MULTI},
    AttributeDefinition{"DNIP:ServerIPAddress", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Fwd List", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:NoFwd List", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:DNS Server Options", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:AuditLevel", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Zone List", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:Comment", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Primary Server Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Secondary Server Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Secondary ServerIPAddress", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:DHCP Version", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:IP Assignment Policy", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Ping Enable", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:SNMP Trap Flag", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:FT Update Interval", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:FT Automatic", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:FT Sync Delay", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Message ID", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Subnet Server Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:New Attrib", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Subnet Address Range Attr", SYN_DIST_NAME, MULTI},
    // locator
    AttributeDefinition{"DNIP:Config Options", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Excluded MAC", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Included MAC", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:UI Signature", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:CfgPreferences", SYN_OCTET_STRING, MULTI},
    AttributeDefinition{"DNIP:DNSServers", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:DHCPServers", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:DNSZones", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:Subnet Attr", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:Subnet Pool List", SYN_DIST_NAME, MULTI},
    AttributeDefinition{"DNIP:Group Reference", SYN_DIST_NAME, SINGLE},
    // subnets, ranges, pools
    AttributeDefinition{"DNIP:Domain Name", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Zone Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:DHCP Server Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Subnet Address", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Subnet Mask", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Subnet Pool Reference", SYN_DIST_NAME, SINGLE},
    AttributeDefinition{"DNIP:Subnet Type", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Lease Time", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Boot Parameter", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Start Address Number", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:End Address Number", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:DNS Update Option", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Range Type", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:Auto Host Name Start", SYN_CI_STRING, SINGLE},
    // address objects
    AttributeDefinition{"DNIP:Host Name", SYN_CI_STRING, SINGLE},
    AttributeDefinition{"DNIP:Assignment Type", SYN_INTEGER, SINGLE},
    AttributeDefinition{"DNIP:MAC Address", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Client Identifier", SYN_OCTET_STRING, SINGLE},
    AttributeDefinition{"DNIP:Last Used", SYN_TIME, SINGLE},
    AttributeDefinition{"DNIP:Lease Expiration", SYN_TIME, SINGLE},
    AttributeDefinition{"DNIP:Object Reference", SYN_CI_STRING, SINGLE},
};

constexpr std::array CLASSES = {
    ClassDefinition{"Tree Root", true, "treeRoot", "cn"},
    ClassDefinition{"Country", true, "country", "c"},
    ClassDefinition{"Locality", true, "locality", "l"},
    ClassDefinition{"Organization", true, "organization", "o"},
    ClassDefinition{"Organizational Unit", true, "organizationalUnit", "ou"},
    ClassDefinition{"Domain", true, "domain", "dc"},
    ClassDefinition{"DNIP:DNS Zone", true, "dNIPDNSZone", "cn"},
    ClassDefinition{"DNIP:Subnet", true, "dNIPSubnet", "cn"},
    ClassDefinition{"Top", false, "top", "cn"},
    ClassDefinition{"User", false, "inetOrgPerson", "cn"},
    ClassDefinition{"Group", false, "groupOfNames", "cn"},
    ClassDefinition{"Alias", false, "alias", "cn"},
    ClassDefinition{"NCP Server", false, "nCPServer", "cn"},
    ClassDefinition{"Volume", false, "volume", "cn"},
    ClassDefinition{"Partition", false, "partition", "cn"},
    ClassDefinition{"Organizational Role", false, "organizationalRole", "cn"},
    ClassDefinition{"DNIP:DNS RRset", false, "dNIPDNSRRset", "cn"},
    ClassDefinition{"DNIP:DNS Server", false, "dNIPDNSServer", "cn"},
    ClassDefinition{"DNIP:DHCP Server", false, "dNIPDHCPServer", "cn"},
    ClassDefinition{"DNIP:Locator", false, "dNIPLocator", "cn"},
    ClassDefinition{"DNIP:Group", false, "dNIPGroup", "cn"},
    ClassDefinition{"DNIP:Subnet Pool", false, "dNIPSubnetPool", "cn"},
    ClassDefinition{"DNIP:Subnet Address Range", false, "dNIPSubnetAddressRange", "cn"},
    ClassDefinition{"DNIP:IP Address Configuration", false, "dNIPIPAddressConfiguration", "cn"},
};

// LDIF attribute names that differ from the directory names by more than case, blanks and ":".
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> LDAP_ATTRIBUTE_NAMES = {{
    {"Surname", "sn"},
    {"Internet EMail Address", "mail"},
}};

template <typename Definition, std::size_t N>
std::unordered_map<std::string, const Definition*> indexByKey(const std::array<Definition, N>& table) {
    std::unordered_map<std::string, const Definition*> index;
    for (const auto& definition : table)
        index.emplace(nameKey(definition.name), &definition);
    return index;
}

const std::unordered_map<std::string, const AttributeDefinition*>& attributeIndex() {
    static const auto index = [] {
        auto byKey = indexByKey(ATTRIBUTES);
        for (const auto& [directoryName, ldapName] : LDAP_ATTRIBUTE_NAMES)
            byKey.emplace(nameKey(ldapName), byKey.at(nameKey(directoryName)));
        return byKey;
    }();
    return index;
}

const std::unordered_map<std::string, const ClassDefinition*>& classIndex() {
    static const auto index = [] {
        auto byKey = indexByKey(CLASSES);
        for (const auto& definition : CLASSES)
            byKey.emplace(nameKey(definition.ldapName), &definition);
        return byKey;
    }();
    return index;
}

} // namespace

std::string nameKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (char c : name) {
        if (c == ' ' || c == ':')
            continue;
        key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return key;
}

const AttributeDefinition* findAttribute(std::string_view name) {
    const auto& index = attributeIndex();
    auto it = index.find(nameKey(name));
    return it == index.end() ? nullptr : it->second;
}

const ClassDefinition* findClass(std::string_view name) {
    const auto& index = classIndex();
    auto it = index.find(nameKey(name));
    return it == index.end() ? nullptr : it->second;
}

std::string ldapAttributeName(std::string_view directoryName) {
    for (const auto& [name, ldapName] : LDAP_ATTRIBUTE_NAMES)
        if (name == directoryName)
            return std::string(ldapName);
    std::string compact;
    for (char c : directoryName)
        if (c != ' ' && c != ':')
            compact.push_back(c);
    if (directoryName.starts_with("DNIP:"))
        return "dnip" + compact.substr(4);
    bool allUpper = !compact.empty();
    for (char c : compact)
        if (std::islower(static_cast<unsigned char>(c)))
            allUpper = false;
    if (allUpper) {
        for (char& c : compact)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return compact;
    }
    if (!compact.empty())
        compact[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(compact[0])));
    return compact;
}

std::string ldapClassName(std::string_view directoryName) {
    if (const ClassDefinition* definition = findClass(directoryName))
        return std::string(definition->ldapName);
    return std::string(directoryName);
}

std::string rdnTypeForClass(std::string_view className) {
    if (const ClassDefinition* definition = findClass(className))
        return std::string(definition->rdnType);
    return "cn";
}

} // namespace nwclient::schema
