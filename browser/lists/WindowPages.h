#pragma once

// The pages of the main window's page control, by index. The record lists' commands choose by
// them what a command works on; the main window builds its pages in this order.

namespace browser {

enum WindowPage {
    PageDNS = 0,
    PageRevDNS = 1,
    PageDHCP = 2,
    PageZones = 3,
    PageSubnets = 4,
    PageMisc = 5,
    PageCheck = 6,
    PageLookup = 7,
};

} // namespace browser
