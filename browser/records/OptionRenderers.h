#pragma once

// Renderers of the structured octet values shown in the attribute panes: DHCP option lists,
// MAC address lists and configuration preference lists. Pure functions from bytes to pane rows.
// None of them reads past the value it is given: every length is checked against the value's
// size, and a record that does not fit ends the walk.

#include "browser/records/PaneRow.h"
#include "browser/records/RecordFormatters.h"

#include <string>

namespace browser {

// The rows of one "DNIP:Config Options" value: the option records from byte 4 on (number byte,
// length byte, data). An option that cannot be rendered shows "????" and its bytes in hex.
PaneRows FormatOptionValue(Octets value);

// The rows of an "Excluded MAC" / "Included MAC" value: records of a length byte n, n bytes and one
// further byte; a 7-byte record names its hardware type and shows the six address bytes.
PaneRows FormatMacRecord(Octets value);

// The rows of a "DNIP:CfgPreferences" value list (each value: 4-byte little-endian length, then
// the value): "    <number>=<name>" and the value type's description.
PaneRows ListCfgPreferences(Octets valueList);

// The name of a hardware type code (1..21 as listed, 255 "Any"); empty for any other code.
std::string HardwareTypeName(int code);

// The bytes as a big-endian unsigned number in decimal (up to 64 bits); raises FormatError for a
// longer value.
std::string OctetsToUnsignedStr(Octets octets);

// "????" followed by the bytes in hexadecimal: what a value shows that cannot be rendered.
std::string UnrenderableValue(Octets octets);

// The bytes as text up to the first zero byte, control characters shown as blanks.
std::string OctetsToText(Octets octets);

} // namespace browser
