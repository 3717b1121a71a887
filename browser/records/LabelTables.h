#pragma once

// The label tables of the attribute panes, the DHCP option names, the NetWare/IP sub-option
// names and the query types of the look-up box. Built once, read-only afterwards.

#include <string>
#include <vector>

namespace browser {

// Format code of a label-table entry: the low four bits choose the rendering, bits 4 to 7 the kind
// of octet value of rendering 3 on the "Misc" page, bit 8 shows the row even when its value is empty.
inline constexpr int kRenderMask = 0x0F;
inline constexpr int kOctetKindShift = 4;
inline constexpr int kShowEmpty = 256;

// One entry "attribute=label" with its format code.
struct LabelEntry {
    std::string attribute; // the attribute's name as the directory knows it
    std::string label;     // the caption shown
    int code = 0;

    int Rendering() const { return code & kRenderMask; }
    int OctetKind() const { return (code >> kOctetKindShift) & 0x0F; }
    bool ShowEmpty() const { return (code & kShowEmpty) != 0; }
};

using LabelTable = std::vector<LabelEntry>;

// Pane of a zone (zonelist2).
const LabelTable& ZoneLabelTable();
// Panes of the "Misc" page (lv1a).
const LabelTable& DnsServerLabelTable();
const LabelTable& DhcpServerLabelTable();
const LabelTable& LocatorLabelTable();
const LabelTable& GroupLabelTable();
const LabelTable& SubnetPoolLabelTable();

// Value types of DHCP options: the low four bits name the kind, +16 makes a list of them.
enum DhcpValueType : int {
    dvtString = 2,
    dvtByte = 3,
    dvtWord = 4,
    dvtLong = 5,
    dvtIPAddress = 11,
    dvtBoolean = 12,
    dvtNetWareIP = 13,
    dvtDirectoryAgent = 14,
    dvtServiceScope = 15,
    dvtList = 16,
};

// One DHCP option: its number, name and value type.
struct DhcpOptionEntry {
    int number = 0;
    std::string name;
    int type = 0;

    // "number=name", as the panes show it.
    std::string Text() const { return std::to_string(number) + "=" + name; }
};

// The 67 options the panes name, in table order.
const std::vector<DhcpOptionEntry>& DhcpOptionNames();
// The option with the number, or nullptr.
const DhcpOptionEntry* FindDhcpOption(int number);

// NetWare/IP sub-options (option 63) in sub-option order: entry i stands for sub-option i + 5.
struct NetWareIPSubOption {
    std::string name;
    int type = 0;
};
inline constexpr int kFirstNetWareIPSubOption = 5;
const std::vector<NetWareIPSubOption>& NetWareIPSubOptionNames();
// The sub-option with the code, or nullptr.
const NetWareIPSubOption* FindNetWareIPSubOption(int code);

// A query type of the look-up box: its text and the resolver's query-type value.
struct QueryTypeEntry {
    std::string text;
    int value = 0;
};
const std::vector<QueryTypeEntry>& QueryTypes();

} // namespace browser
