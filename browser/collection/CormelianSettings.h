#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <array>
#include <string>
#include <vector>

namespace browser {

class TreeDirectory;
class TreeList;

// Name of the settings file, in the program's folder and in the data directory.
inline constexpr const char* kSettingsFileName = "Cormelian.ini";
inline constexpr const char* kDefaultDateTimeFormat = "yyyy-mm-dd hh:nn:ss";

// Title and position of one column of a print-out.
struct PrintColumn {
    std::string title;
    int position = 0;
    bool operator==(const PrintColumn&) const = default;
};

// Everything the program reads from "Cormelian.ini", with the defaults that stand when a key is
// missing. Date and time separators start as the system's and are kept when the file has none.
struct CormelianSettings {
    // SYSTEM
    bool threads = true;
    bool nowarn = false;
    char dateSeparator = '-';
    char timeSeparator = ':';
    std::string dateTimeFormat = kDefaultDateTimeFormat;
    bool noTrees = false;
    bool edit = false;
    bool showAll = true;
    bool cache = true;
    // STATUS "1".."6": hours by which cached data is graded.
    std::array<int, 6> ageThresholds{2, 8, 48, 120, 240, 720};
    // PRT
    int printDy = 75;
    int printYtop = 100;
    int printPh = 6500;
    int printPh2 = 4700;
    // PRTDNS, PRTREV, PRTDHCP
    std::vector<PrintColumn> dnsColumns{{"IP-address", 0}, {"Name", 500}, {"Description", 1100}};
    std::vector<PrintColumn> reverseColumns{{"IP-address", 0}, {"Name", 500}, {"Domain", 1500}};
    std::vector<PrintColumn> dhcpColumns{{"IP-address", 0},     {"Name", 500},       {"Type", 1500},
                                         {"MAC-address", 2100}, {"Last Used", 2900}, {"Lease Exp.", 3800}};
    // LOOKUP: history of the look-up page's query and server boxes (non-empty values, in order).
    std::vector<std::string> lookupQueries;
    std::vector<std::string> lookupServers;
};

// The facts every date is shown, read and stamped with: the system's, with the settings' DateTime
// as the short date format and their date and time separators.
rtl::LocaleFacts DateFactsOf(const CormelianSettings& settings,
                             const rtl::LocaleFacts& system = rtl::LocaleFacts::Current());

// The seventh, fixed column of the DHCP print-out.
inline const PrintColumn kDhcpCommentColumn{"Comment", 4800};

// Reads the settings file at iniPath into settings (ReadSettings). Before reading, writes the keys
// that are written when missing: SYSTEM Threads and nowarn (when the section is missing), Datesep,
// Timesep and DateTime, and MASTER and TREES of every selected tree; every selected tree that has
// a context in trees gets confidence 2 (MASTER true) or 0. A missing file changes nothing and
// gives false. Directory errors raise.
bool ReadSettings(const std::string& iniPath, const std::vector<std::string>& selectedTrees,
                  const TreeList& trees, TreeDirectory& directory, CormelianSettings& settings);

// The SYSTEM switches that the start-up tree filter reads (noTrees, edit).
void ReadTreeFilterSwitches(const std::string& iniPath, CormelianSettings& settings);

// The per-tree settings the tree set-up reads: SYSTEM showall and cache, STATUS "1".."6".
void ReadTreeSetupSwitches(const std::string& iniPath, CormelianSettings& settings);

// Erases LOOKUP and writes the boxes' items under "1", "2", ... and "server1", "server2", ...
void WriteLookupHistory(const std::string& iniPath, const std::vector<std::string>& queries,
                        const std::vector<std::string>& servers);

} // namespace browser
