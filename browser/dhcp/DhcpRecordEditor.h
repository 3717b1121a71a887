#pragma once

// The logic of the DHCP record editor: the assignment type table, the octet writer for
// hexadecimal text, loading one address object into editor fields, which fields are open for
// editing, and saving the changed fields back to the directory and the list row.

#include "browser/records/RecordRow.h"
#include "directory/NWHelper.h"
#include "platform/rtl/DateUtils.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace browser {

class TreeList;

// "Automatic=1" .. "Free=256" and back, "1=Automatic" .. "256=Free".
const std::vector<std::string>& AssignmentTypeTable();
// The value of a name in AssignmentTypeTable ("Manual (static)" -> "8", "8" -> "Manual (static)");
// empty for a name the table does not hold.
std::string AssignmentTypeValue(const std::string& name);
// The types the editor offers for a record of the current type, the first one preselected.
std::vector<std::string> AssignmentTypeChoices(std::int32_t currentType);

inline constexpr std::int32_t kManualType = 8;
// The hardware type list's entry for "FF=Any".
inline constexpr int kAnyHardwareIndex = 21;
// The entry of the hardware type list for a stored code (255 -> "FF Any", v -> v - 1); 0 for a
// code the list does not hold.
int HardwareIndexForCode(int code);
// The code of a hardware type entry as two upper-case hexadecimal digits ("01" .. "15", "FF").
std::string HardwareCodeHex(int index);

// The octet value for hexadecimal text: a count byte, then one byte per pair of digits (an odd last
// digit is ignored); nullopt when a pair is not hexadecimal.
std::optional<std::vector<std::uint8_t>> HexTextToOctetValue(const std::string& hex);
// The text without its ":" separators.
std::string WithoutColons(const std::string& text);

// Writes hexadecimal text as an octet value replacing the attribute's values, or clears the
// attribute for empty text. Raises for text that is not hexadecimal (nothing is written) and for a
// failed write, also one the directory layer only reports.
void WriteHexOctetAttr(directory::NWDSContextHandle context, const std::string& objectName,
                       const std::string& attribute, const std::string& hex);

// Where a DHCP row's object lives: its tree's context, the object and the subnet.
struct DhcpRecordLocation {
    directory::NWDSContextHandle context = 0;
    std::string objectName;
    std::string subnetName;
};

// Object names longer than this are refused.
inline constexpr std::size_t kMaxObjectNameLength = 255;

// Finds the row's object through the tree named in the row itself. nullopt, with the reason in
// refusal, for a row without an object name, with a name that is too long, or whose tree is not open.
std::optional<DhcpRecordLocation> LocateDhcpRow(const RecordRow& row, const TreeList& trees,
                                                std::string& refusal);

// Waits the given number of milliseconds between retried reads; tests pass one that does not wait.
using RetryDelay = std::function<void(int milliseconds)>;
void SleepMilliseconds(int milliseconds);

// What the editor shows for one record.
struct DhcpRecordFields {
    std::string address;                 // Edit1
    std::string host;                    // Edit4
    std::string mac;                     // Edit3
    int hardwareIndex = 0;               // ComboBox2
    std::string identifier;              // edit2
    std::optional<std::string> lastUsed; // Label9, shown only when there is one
    bool timed = false;                  // "Timed" checked, else "Permanent"
    rtl::TDateTime leaseEnd = 0;         // DTP1 (date) and DTP2 (time)
    std::optional<std::uint32_t> storedLeaseExpiration;
    std::string comment;         // Memo1
    std::string objectReference; // Edit6
    std::int32_t assignmentType = 0;
    std::vector<std::string> typeChoices; // ComboBox1, the first one selected
    // The octet readers' messages of the reads (a value too large for a read, an attribute that is not
    // an octet string), with the object's name and each once, for the window's thread to show.
    std::vector<std::string> warnings;
};

// Reads the record of a DHCP row: the row gives address, host and MAC text, the object and its
// subnet the rest. The MAC and the client identifier are read up to five times, waiting 200 ms
// after a read that gave too little. Directory failures other than those reads raise.
DhcpRecordFields LoadDhcpRecord(const DhcpRecordLocation& location, const RecordRow& row,
                                const RetryDelay& delay = SleepMilliseconds, rtl::TDateTime now = rtl::Now());

// Which fields are open: the MAC, identifier, host, hardware type, "Additional parameters" and the
// lease choice only for a manual record, the pickers only when it is also timed.
struct DhcpFieldEnabling {
    bool manualFields = false;
    bool pickers = false;
};
DhcpFieldEnabling FieldEnabling(const std::string& typeText, bool timed);

// What the user left in the editor, with the marks of what was changed.
struct DhcpRecordEdits {
    std::string typeText;
    std::string mac; // Edit3, "00:1B:21:3C:4D:5E"
    bool macModified = false;
    int hardwareIndex = 0;
    bool hardwareChanged = false;
    std::string identifier; // edit2
    bool identifierModified = false;
    std::string host;
    bool hostModified = false;
    bool permanent = true;
    rtl::TDateTime leaseEnd = 0;
    std::string objectReference;
    bool objectReferenceModified = false;
    std::string comment;
    bool commentModified = false;
};

struct DhcpSaveResult {
    bool saved = false;
    std::string message; // why nothing, or not everything, was saved
};

inline constexpr const char* kUnknownTypeMessage = "Error unknown type";

// Seconds since 1970-01-01 for a lease end shown in the pickers: the inverse of the directory time
// shown for a stored value, so that an unchanged date and time gives the stored value back.
std::uint32_t LeaseEndToDirectoryTime(rtl::TDateTime leaseEnd);

// Reads a DHCP row again from its object, keeping where it came from and its images. False, with the
// row left alone, when the object cannot be read whole.
bool RereadDhcpRow(const DhcpRecordLocation& location, RecordRow& row);

// Writes the changed fields of a record of the current type; the row then shows what the directory
// holds, also after a write that failed part-way (read back; when that read fails too, the row shows
// the edits on success and stays as it was on failure). Hexadecimal fields are checked before
// anything is written.
DhcpSaveResult SaveDhcpRecord(const DhcpRecordLocation& location, std::int32_t currentType,
                              const DhcpRecordFields& loaded, const DhcpRecordEdits& edits, RecordRow& row);

} // namespace browser
