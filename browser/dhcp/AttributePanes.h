#pragma once

// The rows of the three attribute panes, read from the directory: the zone pane (zonelist2), the
// subnet pane (netslist2) and the table-driven pane of the "Misc" page (lv1a). The fillers append
// to the rows they are given, so that what was added before a failure stays.

#include "browser/records/LabelTables.h"
#include "browser/records/PaneRow.h"
#include "browser/records/RecordFormatters.h"
#include "directory/NWHelper.h"

#include <string>
#include <vector>

namespace browser {

// The rows of a zone by the zone table. A directory failure raises (rows added before stay).
void AddZonePaneRows(directory::NWDSContextHandle context, const std::string& zoneName, PaneRows& rows);

// The octet readers' warnings (each with its object's name, once per object) of the pane reads
// this thread made since the last call; clears them.
std::vector<std::string> TakePaneReadWarnings();

// The rows of a locator, server, group or subnet pool by its table; each row's data is the index
// of the table entry that made it. A directory failure raises (rows added before stay).
void AddLabelPaneRows(directory::NWDSContextHandle context, const std::string& objectName,
                      const LabelTable& table, PaneRows& rows);

// The rows of a subnet in their fixed order. A subnet without its "Subnet Server" object, or
// without address or mask, still shows the rest; other directory failures raise.
void AddSubnetPaneRows(directory::NWDSContextHandle context, const std::string& subnetName, PaneRows& rows);

// Texts of the single renderings, for the panes and their tests.
std::string ZoneTypeText(int type);
std::string EnabledDisabledText(int value);  // rendering 4
std::string AssignmentPolicyText(int value); // rendering 6
std::string TrapFlagText(int value);         // rendering 7
std::string AuditLevelText(int value);       // rendering 9
std::string RangeTypeText(int type);         // "   Range Type" of an address range
// Rendering 10 of the "Misc" pane: a count byte, then that many groups of a length byte and bytes.
std::string CountedAddressGroups(Octets value);
// Rendering 14: groups of a length byte and bytes up to the end of the value.
std::string AddressGroups(Octets value);
// Rendering 10 of the zone pane: a count byte n, then n address bytes.
std::string CountedAddressBytes(Octets value);

// Labels of the subnet pane that other code looks for.
inline constexpr const char* kNoServerReferenceText = "WARNING no server reference could not be found";

} // namespace browser
