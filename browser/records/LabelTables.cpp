#include "browser/records/LabelTables.h"

namespace browser {

const LabelTable& ZoneLabelTable() {
    static const LabelTable table{
        {"Description", "Description", 258},
        {"DNIP:Zone Domain Name", "Zone Domain Name", 2},
        {"DNIP:Zone Type", "Zone Type", 15},
        {"DNIP:Zone Servers", "Zone Servers", 2},
        {"DNIP:Designated Server", "Designated Server", 2},
        {"DNIP:Designated Server", "Designated Server", 256},
        {"DNIP:Secondary Zone", "Secondary Zone", 12},
        {"DNIP:SOA Zone Master", "Zone Master", 5},
        {"DNIP:SOA Admin Mailbox", "Admin Mailbox", 2},
        {"DNIP:SOA Refresh", "Refresh", 3},
        {"DNIP:SOA Retry", "Retry", 3},
        {"DNIP:SOA Expire", "Expire", 4},
        {"DNIP:SOA Minimum", "Minimum TTL", 4},
        {"DNIP:SOA Serial", "Serial", 5},
        {"DNIP:Master Server IP Addr", "Master Server IP-addr", 10},
        {"DNIP:Zone Out Filter", "Zone Out Filter", 5},
        {"DNIP:RR Count", "RR Count", 5},
        {"DNIP:Zone Options", "Zone Options", 5},
    };
    return table;
}

const LabelTable& DnsServerLabelTable() {
    static const LabelTable table{
        {"Description", "Description", 258},
        {"DNIP:Server DN", "Server", 2},
        {"DNIP:Server DNS Names", "Server DNS-names", 2},
        {"DNIP:ServerIPAddress", "Server IP Addr.", 14},
        {"DNIP:ServerIPAddress", "Server IP Addr.", 256},
        {"DNIP:Fwd List", "Fwd List", 10},
        {"DNIP:NoFwd List", "NoFwd List", 2},
        {"DNIP:DNS Server Options", "DNS Server Options", 5},
        {"DNIP:AuditLevel", "AuditLevel", 9},
        {"DNIP:AuditLevel", "AuditLevel", 256},
        {"DNIP:Zone List", "Zone List", 1},
    };
    return table;
}

const LabelTable& DhcpServerLabelTable() {
    static const LabelTable table{
        {"DNIP:Comment", "Description", 2},
        {"DNIP:Primary Server Reference", "Primary Server Ref.", 2},
        {"DNIP:ServerIPAddress", "Server Ip-Address", 14},
        {"DNIP:Secondary Server Reference", "Sec. Server Ref.", 2},
        {"DNIP:Secondary ServerIPAddress", "Sec. Ip-Address", 14},
        {"DNIP:DHCP Version", "Version", 5},
        {"DNIP:DHCP Version", "Version", 256},
        {"DNIP:IP Assignment Policy", "Assignment Policy", 6},
        {"DNIP:Ping Enable", "Ping Enable", 4},
        {"DNIP:AuditLevel", "Audit Level", 9},
        {"DNIP:SNMP Trap Flag", "SNMP Trap Flag", 7},
        {"DNIP:FT Update Interval", "FT Update Interval", 5},
        {"DNIP:FT Automatic", "FT Automatic", 5},
        {"DNIP:FT Sync Delay", "FT Sync Delay", 5},
        {"DNIP:Message ID", "Message ID", 5},
        {"DNIP:Message ID", "Message ID", 256},
        {"DNIP:Subnet Server Reference", "Subnet Server Ref.", 2},
        {"DNIP:New Attrib", "New Attribute", 8},
        {"DNIP:New Attrib", "New Attribute", 256},
        {"DNIP:Subnet Address Range Attr", "Subnet Addr. Range", 1},
    };
    return table;
}

const LabelTable& LocatorLabelTable() {
    static const LabelTable table{
        {"DNIP:Config Options", "General Config Options", 19},
        {"DNIP:Excluded MAC", "Excluded MAC-addresses", 51},
        {"DNIP:Included MAC", "Included MAC-addresses", 51},
        {"DNIP:UI Signature", "UI Signature", 67},
        {"DNIP:CfgPreferences", "Config Preferences", 35},
    };
    return table;
}

const LabelTable& GroupLabelTable() {
    static const LabelTable table{{"Member", "Members", 1}};
    return table;
}

const LabelTable& SubnetPoolLabelTable() {
    static const LabelTable table{{"DNIP:Subnet Attr", "Subnets", 1}};
    return table;
}

const std::vector<DhcpOptionEntry>& DhcpOptionNames() {
    static const std::vector<DhcpOptionEntry> table{
        {1, "Subnet Mask", 11},
        {2, "Time Offset", 21},
        {3, "Router", 27},
        {4, "Time Server", 27},
        {5, "Name Server", 27},
        {6, "Domain Name Server", 27},
        {7, "Log Server", 27},
        {8, "Cookie Server", 27},
        {9, "LPR Server", 27},
        {10, "Impress Server", 27},
        {11, "Resource Location Server", 27},
        {13, "Boot File Size", 4},
        {14, "Merit Dump File", 2},
        {16, "Swap Server", 11},
        {17, "Root Path", 2},
        {18, "Extensions Path", 2},
        {19, "IP Forwarding Enable/Disable", 12},
        {20, "Non-Local Source Routing Enable/Disable", 12},
        {21, "Policy Filter", 27},
        {22, "Maxium Datagram Re-assembly size", 4},
        {23, "Default IP Time-to-live", 3},
        {24, "Path MTU Aging Time-out", 5},
        {25, "Path MTU Plateau Table", 20},
        {26, "Interface MTU", 4},
        {27, "All subnets are local", 12},
        {28, "Broadcast Address", 11},
        {29, "Perform Mask Discovery", 12},
        {30, "Mask Supplier", 12},
        {31, "Perform Router discovery", 12},
        {32, "Router Solicitation Address", 11},
        {33, "Static Route", 27},
        {34, "Trailer Encapsulation", 12},
        {35, "ARP Cache Time-out", 5},
        {36, "Ethernet Encapsulation", 12},
        {37, "TCP Default TTL", 3},
        {38, "TCP Keep-alive Interval", 5},
        {39, "TCP Keep-alive Garbage", 12},
        {40, "NIS Domain", 2},
        {41, "NIS Servers", 27},
        {42, "Network Time Protocol Servers", 27},
        {43, "Vendor specific information", 19},
        {44, "NetBIOS over TCP/IP options-name server", 27},
        {45, "NetBIOS over TCP/IP options-datagram distribution server", 27},
        {46, "NetBIOS over TCP/IP options-node type", 3},
        {47, "NetBIOS over TCP/IP options-Scope", 2},
        {48, "X Window System Font Server", 27},
        {49, "X Window System Display Manager", 27},
        {58, "Renewal(T1) Time", 5},
        {59, "Rebinding (T2) Time", 5},
        {62, "NWIP Domain Name", 2},
        {63, "NWIP Information", 13},
        {64, "NIS+ Domain", 2},
        {65, "NIS+ Servers", 27},
        {68, "Mobile IP Home Agent", 27},
        {69, "SMTP server", 27},
        {70, "POP3 server", 27},
        {71, "NNTP server", 27},
        {72, "WWW server", 27},
        {73, "Default Finger server", 27},
        {74, "Default IRC server", 27},
        {75, "StreetTalk server", 27},
        {76, "StreetTalk Directory Assistance server", 27},
        {78, "SLP Directory Agent", 14},
        {79, "SLP Service Scope", 15},
        {85, "NDS Servers", 27},
        {86, "NDS Tree Name", 2},
        {87, "NDS Context", 2},
    };
    return table;
}

const DhcpOptionEntry* FindDhcpOption(int number) {
    for (const DhcpOptionEntry& entry : DhcpOptionNames()) {
        if (entry.number == number)
            return &entry;
    }
    return nullptr;
}

const std::vector<NetWareIPSubOption>& NetWareIPSubOptionNames() {
    static const std::vector<NetWareIPSubOption> table{
        {"Preform NSQ Broadcast", 12}, {"Preferred DSS", 27},      {"Nearest NWIP Server(s)", 27},
        {"Number of Auto Retries", 1}, {"Auto Retry Interval", 1}, {"Support NWIP 1.1", 12},
        {"Primairy DDS", 11},          {"IPX Network Number", 6},  {"IPX State Time", 4},
        {"Migration Agent", 27},
    };
    return table;
}

const NetWareIPSubOption* FindNetWareIPSubOption(int code) {
    const std::vector<NetWareIPSubOption>& table = NetWareIPSubOptionNames();
    const int index = code - kFirstNetWareIPSubOption;
    if (index < 0 || index >= static_cast<int>(table.size()))
        return nullptr;
    return &table[static_cast<std::size_t>(index)];
}

const std::vector<QueryTypeEntry>& QueryTypes() {
    static const std::vector<QueryTypeEntry> table{
        {"A - Host Address", 0},
        {"NS - Name Server", 1},
        {"CNAME - Canonical name", 4},
        {"SOA - Start of Zone", 5},
        {"MB - Mailbox Domain Name", 6},
        {"MG - Mail Group Member", 7},
        {"MR - Mail Rename domain name", 8},
        {"WKS - Well Known Service", 10},
        {"PTR - Domain Name pointer", 11},
        {"HINFO - Host Information", 12},
        {"MINFO - Mailbox/Maillist information", 13},
        {"MX - Mail eXchange", 14},
        {"TXT - Text", 15},
        {"* - Any Record", 16},
    };
    return table;
}

} // namespace browser
