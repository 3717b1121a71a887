#pragma once

namespace browser {

// Which toolbar buttons and menu items the active page enables (pages by index: 0 "DNS",
// 1 "REV-DNS", 2 "DHCP", 3 "Zones", 4 "Subnets", 5 "Misc", 6 "Check", 7 "DNS-Lookup"). The record
// menu's Edit, New and Del are disabled on every page.
struct PageButtonStates {
    bool hosts = false;      // MakeHosts, Hostsfile1
    bool print = false;      // PrintBut, Print1
    bool save = false;       // SaveBut, Export1
    bool selectAll = false;  // AllBut, NoneBut
    bool deleteDhcp = false; // DelDHCPRecs
    bool collect = false;    // DNSSearch, DHCPSearch, MiscSearch, StopBut
};

PageButtonStates ButtonStatesForPage(int page);

} // namespace browser
