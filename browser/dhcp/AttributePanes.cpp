#include "browser/dhcp/AttributePanes.h"

#include "browser/records/DirectoryAttributeSource.h"
#include "browser/records/OptionRenderers.h"
#include "browser/records/RecordFormatters.h"
#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"
#include "directory/nwextra.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <utility>

namespace browser {

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Text(directory::NWDSContextHandle context, const std::string& object,
                 const std::string& attribute) {
    return directory::ReadAttributeText(context, object, attribute, false);
}

std::int32_t Integer(directory::NWDSContextHandle context, const std::string& object,
                     const std::string& attribute, std::int32_t defaultValue = 0) {
    return directory::ReadIntegerAttribute(context, object, attribute, defaultValue);
}

// The octet readers' warnings of this thread's pane reads, until taken.
thread_local std::vector<std::string> paneReadWarnings;

std::vector<std::uint8_t> Kept(const std::string& object, directory::OctetReadResult result) {
    AddOctetWarnings(paneReadWarnings, object, result.Warnings);
    return std::move(result.Data);
}

std::vector<std::uint8_t> OctetValue(directory::NWDSContextHandle context, const std::string& object,
                                     const std::string& attribute) {
    return Kept(object, directory::ReadOctetString(context, object, attribute));
}

std::vector<std::uint8_t> OctetList(directory::NWDSContextHandle context, const std::string& object,
                                    const std::string& attribute) {
    return Kept(object, directory::ReadOctetStringList(context, object, attribute));
}

// A stored address number as dotted text; empty when there is none.
std::string AddressText(const std::string& decimalText) {
    try {
        return IntToIPStr(decimalText);
    } catch (const FormatError&) {
        return {};
    }
}

std::string ZoneValue(directory::NWDSContextHandle context, const std::string& zone,
                      const LabelEntry& entry) {
    switch (entry.Rendering()) {
    case 2:
    case 5:
        return Text(context, zone, entry.attribute);
    case 3:
        return std::to_string(Integer(context, zone, entry.attribute) / 60) + " Minutes";
    case 4:
        return std::to_string(Integer(context, zone, entry.attribute) / 3600) + " Hours";
    case 10:
        return CountedAddressBytes(OctetValue(context, zone, entry.attribute));
    case 12:
        return Lower(Text(context, zone, entry.attribute)) == "true" ? "Yes" : "No";
    case 15:
        return ZoneTypeText(Integer(context, zone, entry.attribute));
    default:
        return {};
    }
}

void AddRow(PaneRows& rows, std::string caption, std::string value, int data, bool heading = false) {
    rows.push_back({std::move(caption), std::move(value), heading, data});
}

// Rendering 3 of the "Misc" pane: rows of its own, by the kind of octet value.
void AddOctetRows(directory::NWDSContextHandle context, const std::string& object, const LabelEntry& entry,
                  int index, std::string& value, PaneRows& rows) {
    switch (entry.OctetKind()) {
    case 0:
        if (!OctetList(context, object, entry.attribute).empty())
            value = "?????";
        return;
    case 1: {
        AddRow(rows, "Config parameters", {}, index, true);
        for (PaneRow& row : FormatOptionValue(OctetValue(context, object, entry.attribute))) {
            row.data = index;
            rows.push_back(std::move(row));
        }
        break;
    }
    case 2: {
        AddRow(rows, entry.label, {}, index, true);
        for (PaneRow& row : ListCfgPreferences(OctetList(context, object, entry.attribute))) {
            row.data = index;
            rows.push_back(std::move(row));
        }
        break;
    }
    case 3: {
        AddRow(rows, entry.label, {}, index, true);
        for (PaneRow& row : FormatMacRecord(OctetValue(context, object, entry.attribute))) {
            row.data = index;
            rows.push_back(std::move(row));
        }
        break;
    }
    case 4: {
        std::string bytes;
        for (std::uint8_t byte : OctetValue(context, object, entry.attribute))
            bytes += OctetsToHexStr(Octets(&byte, 1)) + " ";
        AddRow(rows, entry.label, std::move(bytes), index, true);
        break;
    }
    default:
        return;
    }
    AddRow(rows, {}, {}, index);
}

std::string MiscValue(directory::NWDSContextHandle context, const std::string& object,
                      const LabelEntry& entry, int index, PaneRows& rows) {
    switch (entry.Rendering()) {
    case 0:
    case 8:
        return {};
    case 2:
    case 5:
        return Text(context, object, entry.attribute);
    case 1: {
        const std::vector<directory::AttributeValueEntry> values =
            directory::ReadAttributeValues(context, object, entry.attribute, ';');
        // Every value its own row, only the first one labelled; the caller adds no row of its own.
        for (std::size_t i = 0; i < values.size(); ++i)
            AddRow(rows, i == 0 ? entry.label : std::string(), values[i].Text, index);
        return {};
    }
    case 3: {
        std::string value;
        AddOctetRows(context, object, entry, index, value, rows);
        return value;
    }
    case 4:
    case 6:
    case 7:
    case 9: {
        if (Text(context, object, entry.attribute).empty())
            return {};
        const std::int32_t number = Integer(context, object, entry.attribute);
        switch (entry.Rendering()) {
        case 4:
            return EnabledDisabledText(number);
        case 6:
            return AssignmentPolicyText(number);
        case 7:
            return TrapFlagText(number);
        default:
            return AuditLevelText(number);
        }
    }
    case 10:
        return CountedAddressGroups(OctetValue(context, object, entry.attribute));
    case 14:
        return AddressGroups(OctetValue(context, object, entry.attribute));
    case 12:
        return Lower(Text(context, object, entry.attribute)) == "true" ? "Enabled" : "Disabled";
    default:
        return "ERROR";
    }
}

// A zero-terminated text starting at the offset, at most limit characters; next is set to the
// offset after its terminator (or the end of the value).
std::string ZeroTerminated(Octets value, std::size_t offset, std::size_t limit, std::size_t& next) {
    std::string text;
    std::size_t at = offset;
    while (at < value.size() && value[at] != 0 && text.size() < limit)
        text += static_cast<char>(value[at++]);
    while (at < value.size() && value[at] != 0)
        ++at; // the rest of an over-long text
    next = std::min(value.size(), at + 1);
    return SanitizeText(std::move(text));
}

void AddBootParameterRows(Octets value, PaneRows& rows) {
    AddRow(rows, {}, {}, 0);
    AddRow(rows, "Boot Parameter", {}, 0, true);
    std::string address;
    if (value.size() >= 4) {
        const std::uint32_t bits = std::uint32_t{value[0]} | (std::uint32_t{value[1]} << 8) |
                                   (std::uint32_t{value[2]} << 16) | (std::uint32_t{value[3]} << 24);
        address = IntToIPStr(std::to_string(static_cast<std::int32_t>(bits)));
    }
    AddRow(rows, "    Server Address", address, 0);
    std::size_t next = value.size();
    const std::string server = value.size() > 4 ? ZeroTerminated(value, 4, 1001, next) : std::string();
    AddRow(rows, "    Server Name", server, 0);
    std::size_t end = 0;
    const std::string file = next < value.size() ? ZeroTerminated(value, next, 1001, end) : std::string();
    AddRow(rows, "    FileName", file, 0);
}

void AddRangeRows(directory::NWDSContextHandle context, const std::string& subnetName, PaneRows& rows) {
    std::vector<std::string> ranges;
    for (directory::ObjectEntry& entry : directory::SearchObjectsByClass(
             context, {}, "DNIP:Subnet Address Range", subnetName, true, false, true))
        ranges.push_back(std::move(entry.Name));
    if (ranges.empty())
        return;
    std::sort(ranges.begin(), ranges.end());
    AddRow(rows, {}, {}, 0);
    AddRow(rows, "Subnet Address Ranges:", {}, 0, true);
    for (const std::string& range : ranges) {
        const std::string name = directory::GetNameComponent(range, 0);
        if (Lower(name) == "subnet server")
            continue;
        AddRow(rows, name,
               AddressText(Text(context, range, "DNIP:Start Address Number")) + " - " +
                   AddressText(Text(context, range, "DNIP:End Address Number")),
               0, true);
        AddRow(rows, "   Server reference", Text(context, range, "DNIP:DHCP Server Reference"), 0);
        AddRow(rows, "   DNS Update option",
               Integer(context, range, "DNIP:DNS Update Option") == 1 ? "No Update" : "Allways update", 0);
        AddRow(rows, "   Range Type", RangeTypeText(Integer(context, range, "DNIP:Range Type")), 0);
        AddRow(rows, "   AutoHost name starts with", Text(context, range, "DNIP:Auto Host Name Start"), 0);
        AddRow(rows, "   Comment", Text(context, range, "DNIP:Comment"), 0);
    }
}

} // namespace

std::string ZoneTypeText(int type) {
    switch (type) {
    case 0:
        return "IP";
    case 4:
        return "IN-ADDR ARPA";
    case 6:
        return "IPv6";
    default:
        return "Unknown";
    }
}

std::string EnabledDisabledText(int value) {
    switch (value) {
    case 1:
        return "Disabled";
    case 2:
        return "Enabled";
    default:
        return "Error, invalid value";
    }
}

std::string AssignmentPolicyText(int value) {
    switch (value) {
    case 1:
        return "Allow Mobile user, do not delete prev.";
    case 2:
        return "Allow Mobile user, do delete prev.";
    case 3:
        return "No Mobile user allowed";
    default:
        return "Error, invalid value";
    }
}

std::string TrapFlagText(int value) {
    switch (value) {
    case 1:
        return "None";
    case 2:
        return "Major events";
    case 3:
        return "All events";
    default:
        return "Error, invalid value";
    }
}

std::string AuditLevelText(int value) {
    std::string text = (value & 65536) != 0 ? "Enable Audit Trail log + " : "";
    switch (value & 0xFF) {
    case 255:
        return text + "Event Log All";
    case 1:
        return text + "Event Log Major Events";
    case 0:
        return text + "Event Log None";
    default:
        return text;
    }
}

std::string RangeTypeText(int type) {
    switch (type) {
    case 2:
        return "Dynamic DHCP";
    case 3:
        return "Dynamic BootP and DHCP";
    case 6:
        return "Dynamic DHCP with Automatic Hostname Generation";
    case 255:
        return "Exclude";
    default:
        return "Unknown (" + std::to_string(type) + ")";
    }
}

namespace {

// Groups of a length byte and bytes from the offset, at most count of them (count < 0: to the end).
std::string JoinAddressGroups(Octets value, std::size_t at, int count) {
    std::string text;
    int done = 0;
    while (at < value.size() && (count < 0 || done < count)) {
        const std::size_t length = value[at];
        if (at + 1 + length > value.size())
            break; // a truncated group ends the walk
        if (done > 0)
            text += ", ";
        text += OctetsToIPList(value.subspan(at + 1, length));
        at += 1 + length;
        ++done;
    }
    return text;
}

} // namespace

std::string CountedAddressGroups(Octets value) {
    if (value.empty())
        return {};
    return JoinAddressGroups(value, 1, value[0]);
}

std::string AddressGroups(Octets value) {
    return JoinAddressGroups(value, 0, -1);
}

std::string CountedAddressBytes(Octets value) {
    if (value.empty())
        return {};
    const std::size_t count = std::min<std::size_t>(value[0], value.size() - 1);
    return OctetsToIPList(value.subspan(1, count));
}

std::vector<std::string> TakePaneReadWarnings() {
    return std::exchange(paneReadWarnings, {});
}

void AddZonePaneRows(directory::NWDSContextHandle context, const std::string& zoneName, PaneRows& rows) {
    for (const LabelEntry& entry : ZoneLabelTable()) {
        std::string value = ZoneValue(context, zoneName, entry);
        if (value.empty() && !entry.ShowEmpty())
            continue;
        AddRow(rows, entry.label, std::move(value), 0);
    }
}

void AddLabelPaneRows(directory::NWDSContextHandle context, const std::string& objectName,
                      const LabelTable& table, PaneRows& rows) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        const LabelEntry& entry = table[i];
        const int index = static_cast<int>(i);
        std::string value = MiscValue(context, objectName, entry, index, rows);
        if (value.empty() && !entry.ShowEmpty())
            continue;
        AddRow(rows, entry.label, std::move(value), index);
    }
}

void AddSubnetPaneRows(directory::NWDSContextHandle context, const std::string& subnetName, PaneRows& rows) {
    AddRow(rows, "Domain name", Text(context, subnetName, "DNIP:Domain Name"), 0);
    AddRow(rows, "Dynamic update zone", Text(context, subnetName, "DNIP:Zone Reference"), 0);

    std::string server;
    try {
        server = Text(context, "Subnet Server." + subnetName, "DNIP:DHCP Server Reference");
    } catch (const directory::ENetwareError&) {
        server.clear(); // no "Subnet Server" object
    }
    AddRow(rows, "DHCP server reference", server.empty() ? std::string(kNoServerReferenceText) : server, 0);

    AddRow(rows, "Subnet Address", AddressText(Text(context, subnetName, "DNIP:Subnet Address")), 0);
    AddRow(rows, "Subnet Mask", AddressText(Text(context, subnetName, "DNIP:Subnet Mask")), 0);

    const std::string pool = Text(context, subnetName, "DNIP:Subnet Pool Reference");
    AddRow(rows, "Pool reference", pool.empty() ? std::string() : directory::GetNameComponent(pool, 0), 0);

    std::string lease = "Permanent";
    if (Integer(context, subnetName, "DNIP:Subnet Type") != 0) {
        const std::int32_t seconds = Integer(context, subnetName, "DNIP:Lease Time");
        lease = SecondsToMinutesStr(seconds) + "   (" + SecondsToDaysHoursMinutes(seconds) + ")";
    }
    AddRow(rows, "Lease Time", std::move(lease), 0);
    AddRow(rows, "Comment", Text(context, subnetName, "DNIP:Comment"), 0);

    const std::vector<std::uint8_t> boot = OctetValue(context, subnetName, "DNIP:Boot Parameter");
    if (!boot.empty())
        AddBootParameterRows(boot, rows);

    const std::vector<std::uint8_t> options = OctetValue(context, subnetName, "DNIP:Config Options");
    if (!options.empty()) {
        AddRow(rows, {}, {}, 0);
        AddRow(rows, "Config parameters", {}, 0, true);
        for (PaneRow& row : FormatOptionValue(options))
            rows.push_back(std::move(row));
    }

    AddRangeRows(context, subnetName, rows);
}

} // namespace browser
