#include "tools/gentree/TreeGenerator.h"

#include "tools/gentree/Random.h"
#include "tools/gentree/RecordFactory.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace gentree {

namespace {

// A directory name held as its components, leaf first.
class ObjectName {
public:
    ObjectName() = default;
    ObjectName(const std::string& attribute, const std::string& value) {
        components_.push_back({attribute, value});
    }

    ObjectName Child(const std::string& attribute, const std::string& value) const {
        ObjectName child;
        child.components_.push_back({attribute, value});
        child.components_.insert(child.components_.end(), components_.begin(), components_.end());
        return child;
    }

    // LDAP form: "cn=www,cn=example_com,ou=DNS,o=ACME".
    std::string Dn() const {
        std::string dn;
        for (const auto& [attribute, value] : components_) {
            dn += (dn.empty() ? "" : ",") + attribute + "=" + EscapeDnValue(value);
        }
        return dn;
    }

    // Dotted form, leaf first, "." inside a component written "\.".
    std::string Dotted() const {
        std::string dotted;
        for (const auto& component : components_) {
            if (!dotted.empty()) {
                dotted += '.';
            }
            for (char c : component.second) {
                if (c == '.') {
                    dotted += '\\';
                }
                dotted += c;
            }
        }
        return dotted;
    }

    const std::string& Leaf() const { return components_.front().second; }

private:
    std::vector<std::pair<std::string, std::string>> components_;
};

std::string Sanitized(std::string text) {
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            c = ' ';
        }
    }
    return text;
}

std::string Underscored(std::string domain) {
    std::replace(domain.begin(), domain.end(), '.', '_');
    return domain;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

Bytes Be32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

// The boot parameter's server address is stored low byte first.
Bytes Le32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

void Append(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
}

void AppendText(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian) and back.
void CivilFromDays(std::int64_t days, int& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

std::string FormatTime(std::int64_t seconds, const char* format) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    char text[40];
    std::snprintf(text, sizeof text, format, year, month, day, static_cast<int>(rest / 3600),
                  static_cast<int>(rest / 60 % 60), static_cast<int>(rest % 60));
    return text;
}

const char* AssignmentTypeText(int type) {
    switch (type) {
    case 1:
        return "Automatic";
    case 2:
        return "Dynamic";
    case 8:
        return "Manual";
    case 32:
        return "Unauthorized";
    case 64:
        return "Fixed Host Dynamic";
    case 128:
        return "Exclude";
    case 256:
        return "Free";
    default:
        return "?????";
    }
}

std::string MacText(const Bytes& mac) {
    static const char hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::uint8_t byte : mac) {
        if (!text.empty()) {
            text += ':';
        }
        text += hex[byte >> 4];
        text += hex[byte & 15];
    }
    return text;
}

// Host bits of a subnet that holds the addresses (at least a /24).
int HostBits(int addresses) {
    int hostBits = 8;
    while ((1 << hostBits) - 2 < addresses + 1) {
        ++hostBits;
    }
    return hostBits;
}

constexpr std::int64_t kTimeBase = 1704067200; // 2024-01-01 00:00:00 UTC

class TreeBuilder {
public:
    explicit TreeBuilder(const TreeOptions& options)
        : options_(options), random_(options.seed), records_(random_), lower_(Lower(options.name)),
          org_("o", options.name) {
        tree_.name = options.name;
    }

    GeneratedTree Build() {
        AddContainers();
        AddServerAndUsers();
        AddZones();
        AddSubnets();
        AddServices();
        return std::move(tree_);
    }

private:
    LdifEntry& Add(const ObjectName& name, const std::string& objectClass,
                   const std::string& namingAttribute) {
        LdifEntry entry;
        entry.dn = name.Dn();
        entry.Add("objectClass", objectClass);
        entry.Add(namingAttribute, name.Leaf());
        tree_.entries.push_back(std::move(entry));
        return tree_.entries.back();
    }

    void AddContainers() {
        Add(org_, "organization", "o").Add("description", "Organization " + options_.name);
        dns_ = org_.Child("ou", "DNS");
        dhcp_ = org_.Child("ou", "DHCP");
        users_ = org_.Child("ou", "Users");
        Add(dns_, "organizationalUnit", "ou").Add("description", "DNS zones");
        Add(dhcp_, "organizationalUnit", "ou").Add("description", "DHCP subnets");
        Add(users_, "organizationalUnit", "ou");
        Add(org_.Child("ou", "Sales"), "organizationalUnit", "ou");
    }

    void AddServerAndUsers() {
        server_ = org_.Child("cn", options_.name + "-FS1");
        LdifEntry& server = Add(server_, "nCPServer", "cn");
        server.Add("description", "File server of " + options_.name);
        volume_ = org_.Child("cn", options_.name + "-FS1_SYS");
        LdifEntry& volume = Add(volume_, "volume", "cn");
        volume.Add("hostServer", server_.Dn());
        volume.Add("hostResourceName", "SYS");
        admin_ = users_.Child("cn", "admin");
        LdifEntry& admin = Add(admin_, "inetOrgPerson", "cn");
        admin.Add("sn", "Admin");
        admin.Add("homeDirectory", "0#" + volume_.Dn() + "#users\\admin");
        LdifEntry& jdoe = Add(users_.Child("cn", "jdoe"), "inetOrgPerson", "cn");
        jdoe.Add("sn", "Doe");
        jdoe.Add("givenName", "John");
        jdoe.Add("homeDirectory", "0#" + volume_.Dn() + "#users\\jdoe");
        LdifEntry& jsmith = Add(org_.Child("ou", "Sales").Child("cn", "jsmith"), "inetOrgPerson", "cn");
        jsmith.Add("sn", "Smith");
        jsmith.Add("homeDirectory", "0#" + volume_.Dn() + "#users\\sales\\jsmith");
        Add(org_.Child("cn", "Administrator"), "alias", "cn").Add("aliasedObjectName", admin_.Dn());
    }

    std::string Description(int index) {
        switch (index % 4) {
        case 1:
            return "Rack " + std::to_string(index) + "\tbay\r\nsecond line\x01";
        case 2:
            return "";
        default:
            return "Host " + std::to_string(index) + ", " + options_.name;
        }
    }

    // One record set: its entry and the rows it must give.
    void AddRecordSet(const ObjectName& zone, const std::string& owner, const std::string& domainName,
                      const std::string& host, const std::string& zoneText, bool reverseZone,
                      const std::string& description, const std::vector<GeneratedRecord>& records,
                      const std::string& reverseCaption) {
        ObjectName name = zone.Child("cn", owner);
        LdifEntry& entry = Add(name, "dNIPDNSRRset", "cn");
        entry.Add("dnipDNSDomainName", domainName);
        if (!description.empty()) {
            entry.Add("description", description);
        }
        for (const GeneratedRecord& record : records) {
            entry.AddOctets("dnipRR", record.value);
        }
        if (owner == "@") {
            return; // the zone apex gives no rows
        }
        const std::string objectName = name.Dotted();
        const std::string container = zone.Dotted();
        const std::string shownDescription = Sanitized(TrimmedByDirectory(description));
        bool reverse = reverseZone;
        std::string lastIP;
        std::string lastName;
        for (const GeneratedRecord& record : records) {
            ExpectedRow row;
            row.container = container;
            row.image = record.image;
            if (record.type == 1) {
                lastIP = record.address;
                lastName = host;
                row.list = "DNS";
                row.caption = lastIP;
                row.subItems = {host, "A", zoneText, shownDescription};
            } else if (record.type == 12) {
                reverse = true;
                row.list = "REV-DNS";
                row.caption = reverseCaption;
                row.subItems = {record.ptrHost, record.ptrDomain, shownDescription};
            } else if (record.type == 33) {
                row.list = "DNS";
                row.subItems = {host, "SRV", zoneText, record.info};
            } else {
                row.list = record.list == ListRule::Dns || !reverse ? "DNS" : "REV-DNS";
                row.caption = lastIP;
                std::string info = record.info;
                if (record.typeText == "unknown") {
                    info += objectName;
                }
                row.subItems = {lastName, record.typeText, zoneText, info};
                if (record.extraItem) {
                    row.subItems.emplace_back("!!!");
                }
            }
            row.subItems.push_back(objectName);
            tree_.rows.push_back(std::move(row));
        }
    }

    // The directory keeps no two equal values of one attribute: a record equal to one already in
    // the set is made again.
    template <typename MakeRecord> void AddDistinct(std::vector<GeneratedRecord>& records, MakeRecord make) {
        for (int attempt = 0;; ++attempt) {
            GeneratedRecord record = make();
            bool duplicate =
                std::any_of(records.begin(), records.end(),
                            [&record](const GeneratedRecord& other) { return other.value == record.value; });
            if (!duplicate) {
                records.push_back(std::move(record));
                return;
            }
            if (attempt == 100) {
                throw std::invalid_argument("too many records per set to keep them distinct");
            }
        }
    }

    std::uint16_t NextCycleType(const std::vector<std::uint16_t>& cycle, std::size_t& counter) {
        return cycle[counter++ % cycle.size()];
    }

    void AddZones() {
        const TreeSize& size = options_.size;
        std::size_t forwardCounter = 0;
        std::size_t reverseCounter = 0;
        bool longTextDone = false;
        for (int z = 1; z <= size.zones; ++z) {
            const std::string domain = "z" + std::to_string(z) + "." + lower_ + ".com";
            ObjectName zone = dns_.Child("cn", Underscored(domain));
            zones_.push_back(zone);
            if (z == 1) {
                firstZoneDomain_ = domain;
            }
            AddZoneEntry(zone, domain, 0, z);
            AddApex(zone, domain);
            for (int r = 1; r <= size.recordSetsPerZone; ++r) {
                const bool srv = r % 7 == 5;
                const std::string owner =
                    srv ? "_sip._tcp.host" + std::to_string(r) : "host" + std::to_string(r);
                std::vector<GeneratedRecord> records;
                if (srv) {
                    records.push_back(records_.Make(33, domain));
                } else if (r % 5 == 3) {
                    records.push_back(records_.Make(5, domain));
                } else {
                    records.push_back(records_.Make(1, domain));
                }
                for (int k = 1; k < size.recordsPerSet; ++k) {
                    if (!longTextDone) {
                        records.push_back(records_.LongText());
                        longTextDone = true;
                        continue;
                    }
                    const std::uint16_t type = NextCycleType(ForwardCycleTypes(), forwardCounter);
                    AddDistinct(records, [&] { return records_.Make(type, domain); });
                }
                AddRecordSet(zone, owner, owner + "." + domain, owner, domain, false, Description(r), records,
                             "");
            }
        }
        for (int j = 1; j <= size.reverseZones; ++j) {
            const std::string domain =
                std::to_string(j) + "." + std::to_string(options_.index) + ".10.in-addr.arpa";
            ObjectName zone = dns_.Child("cn", Underscored(domain));
            zones_.push_back(zone);
            AddZoneEntry(zone, domain, 4, j);
            AddApex(zone, domain);
            for (int h = 1; h <= std::min(size.recordSetsPerZone, 254); ++h) {
                std::vector<GeneratedRecord> records;
                std::string target = "Host" + std::to_string(h) + "." +
                                     (firstZoneDomain_.empty() ? lower_ + ".com" : firstZoneDomain_);
                records.push_back(records_.Pointer(target));
                for (int k = 1; k < size.recordsPerSet; ++k) {
                    const std::uint16_t type = NextCycleType(ReverseCycleTypes(), reverseCounter);
                    AddDistinct(records, [&] { return records_.Make(type, domain); });
                }
                const std::string owner = std::to_string(h);
                const std::string caption =
                    "10." + std::to_string(options_.index) + "." + std::to_string(j) + "." + owner;
                AddRecordSet(zone, owner, owner + "." + domain, owner, domain, true, Description(h), records,
                             caption);
            }
        }
    }

    void AddZoneEntry(const ObjectName& zone, const std::string& domain, int type, int number) {
        LdifEntry& entry = Add(zone, "dNIPDNSZone", "cn");
        entry.Add("description", (type == 4 ? "Reverse zone " : "Zone ") + domain);
        entry.Add("dnipZoneDomainName", domain);
        entry.Add("dnipZoneType", std::to_string(type));
        entry.Add("dnipZoneServers", dnsServer_.Dn());
        entry.Add("dnipDesignatedServer", dnsServer_.Dn());
        entry.Add("dnipSecondaryZone", number % 3 == 0 ? "TRUE" : "FALSE");
        entry.Add("dnipSOAZoneMaster", "fs1." + domain);
        entry.Add("dnipSOAAdminMailbox", "hostmaster." + domain);
        entry.Add("dnipSOARefresh", "10800");
        entry.Add("dnipSOARetry", "3600");
        entry.Add("dnipSOAExpire", "604800");
        entry.Add("dnipSOAMinimum", "86400");
        entry.Add("dnipSOASerial", std::to_string(2024010100 + number));
        Bytes masters = {8};
        Append(masters, Be32((10u << 24) | (static_cast<std::uint32_t>(options_.index) << 16) | 1));
        Append(masters, Be32((10u << 24) | (static_cast<std::uint32_t>(options_.index) << 16) | 2));
        entry.AddOctets("dnipMasterServerIPAddr", masters);
        entry.Add("dnipRRCount",
                  std::to_string(options_.size.recordSetsPerZone * options_.size.recordsPerSet));
    }

    void AddApex(const ObjectName& zone, const std::string& domain) {
        std::vector<GeneratedRecord> records = {records_.Make(2, domain), records_.Make(15, domain)};
        AddRecordSet(zone, "@", domain, "", domain, false, "zone apex", records, "");
    }

    // Subnet s of this tree: 10.<tree>.<s>.0/24, or wider when it holds more addresses.
    void AddSubnets() {
        const TreeSize& size = options_.size;
        const int hostBits = HostBits(size.addressesPerSubnet);
        const std::uint32_t mask = ~((1u << hostBits) - 1);
        static const int types[] = {1, 2, 8, 32, 64, 128, 256, 3};
        for (int s = 0; s < size.subnets; ++s) {
            const std::uint32_t base = (10u << 24) | (static_cast<std::uint32_t>(options_.index) << 20) |
                                       (static_cast<std::uint32_t>(s) << hostBits);
            ObjectName subnet = dhcp_.Child("cn", Underscored(DottedAddress(base)));
            subnets_.push_back(subnet);
            LdifEntry& entry = Add(subnet, "dNIPSubnet", "cn");
            entry.Add("dnipSubnetAddress", std::to_string(static_cast<std::int32_t>(base)));
            entry.Add("dnipSubnetMask", std::to_string(static_cast<std::int32_t>(mask)));
            entry.Add("dnipSubnetType", s % 3 == 2 ? "0" : "1");
            entry.Add("dnipLeaseTime", std::to_string(86400 * (s + 1) + 3600));
            if (!zones_.empty()) {
                entry.Add("dnipDomainName", firstZoneDomain_.empty() ? lower_ + ".com" : firstZoneDomain_);
                entry.Add("dnipZoneReference", zones_.front().Dn());
            }
            entry.Add("dnipSubnetPoolReference", dhcp_.Child("cn", "Pool1").Dn());
            entry.Add("dnipComment", "Subnet " + std::to_string(s) + " of " + options_.name);
            Bytes boot = Le32(base | 1);
            AppendText(boot, "bootserver");
            boot.push_back(0);
            AppendText(boot, "pxelinux.0");
            boot.push_back(0);
            entry.AddOctets("dnipBootParameter", boot);
            entry.AddOctets("dnipConfigOptions", ConfigOptions(base));

            ObjectName serverRange = subnet.Child("cn", "Subnet Server");
            ranges_.push_back(serverRange);
            LdifEntry& server = Add(serverRange, "dNIPSubnetAddressRange", "cn");
            server.Add("dnipDHCPServerReference", dhcpServer_.Dn());
            server.Add("dnipStartAddressNumber", std::to_string(static_cast<std::int32_t>(base | 1)));
            server.Add("dnipEndAddressNumber", std::to_string(static_cast<std::int32_t>(base | 1)));
            server.Add("dnipRangeType", "255");
            ObjectName dynamic = subnet.Child("cn", "Range1");
            ranges_.push_back(dynamic);
            LdifEntry& range = Add(dynamic, "dNIPSubnetAddressRange", "cn");
            range.Add("dnipDHCPServerReference", dhcpServer_.Dn());
            range.Add("dnipStartAddressNumber", std::to_string(static_cast<std::int32_t>(base | 100)));
            range.Add("dnipEndAddressNumber", std::to_string(static_cast<std::int32_t>(base | 200)));
            range.Add("dnipRangeType", std::to_string(std::vector<int>{2, 3, 6, 255, 5}[s % 5]));
            range.Add("dnipDNSUpdateOption", s % 2 == 0 ? "1" : "2");
            range.Add("dnipAutoHostNameStart", "dyn");
            range.Add("dnipComment", "Dynamic range");

            for (int a = 0; a < size.addressesPerSubnet; ++a) {
                AddAddress(subnet, base | static_cast<std::uint32_t>(a + 2), types[a % 8], a);
            }
        }
    }

    void AddAddress(const ObjectName& subnet, std::uint32_t address, int type, int number) {
        const std::string dotted = DottedAddress(address);
        ObjectName name = subnet.Child("cn", Underscored(dotted));
        LdifEntry& entry = Add(name, "dNIPIPAddressConfiguration", "cn");
        entry.Add("dnipAssignmentType", std::to_string(type));
        std::string host = number % 6 == 4 ? "" : "ws" + std::to_string(number);
        if (!host.empty()) {
            entry.Add("dnipHostName", number % 5 == 1 ? "  " + host + " " : host);
        }
        std::string macText;
        if (number % 9 != 7) {
            Bytes mac;
            for (int i = 0; i < 6; ++i) {
                mac.push_back(static_cast<std::uint8_t>(random_.Below(256)));
            }
            mac[0] &= 0xFE;
            Bytes value = {7, static_cast<std::uint8_t>(number % 11 == 10 ? 255 : 1)};
            Append(value, mac);
            if (number % 13 == 12) {
                value = {3, 1, mac[0], mac[1]}; // too short to show
            } else {
                macText = MacText(mac);
                entry.AddOctets("dnipClientIdentifier", value);
            }
            entry.AddOctets("dnipMACAddress", value);
        }
        std::string lastUsed;
        std::string expires;
        if (number % 4 != 3) {
            std::int64_t seconds = kTimeBase + random_.Below(365u * 86400u);
            entry.Add("dnipLastUsed", GeneralizedTime(seconds));
            lastUsed = TimeText(seconds);
        }
        if (type == 2 || type == 1 || type == 64) {
            std::int64_t seconds = kTimeBase + 365 * 86400 + random_.Below(30u * 86400u);
            entry.Add("dnipLeaseExpiration", GeneralizedTime(seconds));
            expires = TimeText(seconds);
        }
        std::string comment;
        if (number % 3 == 0) {
            comment = "Desk " + std::to_string(number) + ", floor " + std::to_string(number % 5);
            entry.Add("dnipComment", comment);
        }
        ExpectedRow row;
        row.list = "DHCP";
        row.container = subnet.Dotted();
        row.caption = dotted;
        row.subItems = {host, AssignmentTypeText(type), macText, lastUsed, expires, comment, name.Dotted()};
        tree_.rows.push_back(std::move(row));
    }

    // DHCP options after a 4-byte header: number, length, data.
    Bytes ConfigOptions(std::uint32_t base) {
        Bytes options = {0, 0, 0, 0};
        auto option = [&options](std::uint8_t number, const Bytes& data) {
            options.push_back(number);
            options.push_back(static_cast<std::uint8_t>(data.size()));
            Append(options, data);
        };
        option(1, Be32(0xFFFFFF00u));
        Bytes routers = Be32(base | 1);
        option(3, routers);
        Bytes dnsServers = Be32(base | 1);
        Append(dnsServers, Be32((10u << 24) | (static_cast<std::uint32_t>(options_.index) << 16) | 2));
        option(6, dnsServers);
        option(19, {1});
        option(46, {8});
        option(58, Be32(43200));
        option(78, {1, 10, 0, 0, 53});
        option(86, Bytes(options_.name.begin(), options_.name.end()));
        option(200, {1, 2, 3});
        return options;
    }

    void AddServices() {
        std::vector<std::string> zoneDns;
        for (const ObjectName& zone : zones_) {
            zoneDns.push_back(zone.Dn());
        }
        LdifEntry& dnsServer = Add(dnsServer_, "dNIPDNSServer", "cn");
        dnsServer.Add("description", "DNS server of " + options_.name);
        dnsServer.Add("dnipServerDN", server_.Dn());
        dnsServer.Add("dnipServerDNSNames", "fs1." + lower_ + ".com");
        Bytes addresses = {4};
        Append(addresses, Be32((10u << 24) | (static_cast<std::uint32_t>(options_.index) << 16) | 1));
        dnsServer.AddOctets("dnipServerIPAddress", addresses);
        Bytes forwarders = {2, 4, 192, 0, 2, 53, 4, 198, 51, 100, 53};
        dnsServer.AddOctets("dnipFwdList", forwarders);
        dnsServer.Add("dnipDNSServerOptions", "0");
        dnsServer.Add("dnipAuditLevel", std::to_string(65536 + 255));
        for (const std::string& zone : zoneDns) {
            dnsServer.Add("dnipZoneList", zone);
        }

        LdifEntry& dhcpServer = Add(dhcpServer_, "dNIPDHCPServer", "cn");
        dhcpServer.Add("dnipComment", "DHCP server of " + options_.name);
        dhcpServer.Add("dnipServerDN", server_.Dn());
        dhcpServer.AddOctets("dnipServerIPAddress", addresses);
        dhcpServer.Add("dnipDHCPVersion", "3");
        dhcpServer.Add("dnipIPAssignmentPolicy", "1");
        dhcpServer.Add("dnipPingEnable", "2");
        dhcpServer.Add("dnipAuditLevel", "1");
        dhcpServer.Add("dnipSNMPTrapFlag", "2");
        for (const ObjectName& range : ranges_) {
            dhcpServer.Add("dnipSubnetAddressRangeAttr", range.Dn());
        }

        ObjectName pool = dhcp_.Child("cn", "Pool1");
        LdifEntry& poolEntry = Add(pool, "dNIPSubnetPool", "cn");
        for (const ObjectName& subnet : subnets_) {
            poolEntry.Add("dnipSubnetAttr", subnet.Dn());
        }

        ObjectName group = org_.Child("cn", "DNSDHCP-GROUP");
        LdifEntry& groupEntry = Add(group, "groupOfNames", "cn");
        groupEntry.Add("member", server_.Dn());
        groupEntry.Add("member", admin_.Dn());

        LdifEntry& locator = Add(org_.Child("cn", "DNS-DHCP"), "dNIPLocator", "cn");
        locator.Add("dnipDNSServers", dnsServer_.Dn());
        locator.Add("dnipDHCPServers", dhcpServer_.Dn());
        locator.Add("dnipSubnetPoolList", pool.Dn());
        locator.Add("dnipGroupReference", group.Dn());
        for (const std::string& zone : zoneDns) {
            locator.Add("dnipDNSZones", zone);
        }
        for (const ObjectName& subnet : subnets_) {
            locator.Add("dnipSubnetAttr", subnet.Dn());
        }
        locator.AddOctets("dnipConfigOptions",
                          ConfigOptions((10u << 24) | (static_cast<std::uint32_t>(options_.index) << 16)));
        Bytes excluded = {7, 1, 0x00, 0x1B, 0x21, 0x3C, 0x4D, 0x5E, 0, 3, 0xAA, 0xBB, 0xCC, 0};
        locator.AddOctets("dnipExcludedMAC", excluded);
        Bytes included = {7, 6,   0x00, 0x50, 0x56, 0x01, 0x02, 0x03, 0,
                          7, 255, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01, 0};
        locator.AddOctets("dnipIncludedMAC", included);
        locator.AddOctets("dnipUISignature", {0xCA, 0xFE, 0x01, 0x02});
        auto preference = [&locator](std::uint32_t number, std::uint32_t type, const std::string& name) {
            Bytes value = {0, 0, 0, 0, 0, 0, 0, 0};
            Append(value, Be32(number));
            Append(value, Be32(type));
            AppendText(value, name);
            value.push_back(0);
            locator.AddOctets("dnipCfgPreferences", value);
        };
        preference(3, 27, "Router");
        preference(6, 27, "Domain Name Server");
        preference(15, 2, "Domain Name");
    }

    const TreeOptions& options_;
    Random random_;
    RecordFactory records_;
    std::string lower_;
    GeneratedTree tree_;
    ObjectName org_;
    ObjectName dns_;
    ObjectName dhcp_;
    ObjectName users_;
    ObjectName server_;
    ObjectName volume_;
    ObjectName admin_;
    ObjectName dnsServer_ = org_.Child("cn", "DNS_" + options_.name);
    ObjectName dhcpServer_ = org_.Child("cn", "DHCP_" + options_.name);
    std::string firstZoneDomain_;
    std::vector<ObjectName> zones_;
    std::vector<ObjectName> subnets_;
    std::vector<ObjectName> ranges_;
};

void Validate(const TreeOptions& options) {
    const TreeSize& size = options.size;
    if (options.name.empty() || options.name.find_first_of(".,=+\\\"<>;# ") != std::string::npos) {
        throw std::invalid_argument("tree name must be one plain name component: '" + options.name + "'");
    }
    if (options.index < 0 || options.index > 15) {
        throw std::invalid_argument("tree index must be 0..15");
    }
    if (size.zones < 0 || size.reverseZones < 0 || size.reverseZones > 255 || size.recordSetsPerZone < 0 ||
        size.recordsPerSet < 1 || size.recordsPerSet > 1000 || size.subnets < 0 ||
        size.addressesPerSubnet < 0 || size.addressesPerSubnet > (1 << 19)) {
        throw std::invalid_argument("tree size out of range");
    }
    if (size.subnets > (1 << (20 - HostBits(size.addressesPerSubnet)))) {
        throw std::invalid_argument("too many subnets for the addresses per subnet");
    }
}

} // namespace

std::string TimeText(std::int64_t seconds) {
    return FormatTime(seconds, "%04d-%02u-%02u %02d:%02d:%02d");
}

std::string GeneralizedTime(std::int64_t seconds) {
    return FormatTime(seconds, "%04d%02u%02u%02d%02d%02dZ");
}

GeneratedTree GenerateTree(const TreeOptions& options) {
    Validate(options);
    return TreeBuilder(options).Build();
}

std::string TrimmedByDirectory(const std::string& text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') {
        --last;
    }
    return text.substr(first, last - first);
}

} // namespace gentree
