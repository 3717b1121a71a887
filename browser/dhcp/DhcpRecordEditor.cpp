#include "browser/dhcp/DhcpRecordEditor.h"

#include "browser/collection/TreeObj.h"
#include "browser/records/CormelianLib.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "directory/NWHelper2.h"
#include "directory/NWHelper3.h"
#include "directory/nwextra.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace browser {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool AllHex(const std::string& text) {
    for (char c : text) {
        if (HexDigit(c) < 0)
            return false;
    }
    return true;
}

// Sub-items of a DHCP row.
constexpr std::size_t kHostItem = 0;
constexpr std::size_t kTypeItem = 1;
constexpr std::size_t kMacItem = 2;
constexpr std::size_t kExpireItem = 4;
constexpr std::size_t kCommentItem = 5;
constexpr std::size_t kObjectNameItem = 6;

constexpr int kReadTries = 5;
constexpr int kRetryWaitMs = 200;
constexpr std::int32_t kDefaultLeaseSeconds = 1296000; // 15 days

// Reads an octet attribute up to five times, waiting after each read that gave fewer than
// `enough` bytes, until a read gives bytes. A failed read counts as no bytes. The readers' messages
// are added to warnings, each once however often the read is tried.
std::vector<std::uint8_t> ReadWithRetries(const DhcpRecordLocation& location, const std::string& attribute,
                                          std::size_t enough, const RetryDelay& delay,
                                          std::vector<std::string>& warnings) {
    std::vector<std::uint8_t> data;
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        try {
            directory::OctetReadResult result =
                directory::ReadOctetString(location.context, location.objectName, attribute);
            AddOctetWarnings(warnings, location.objectName, result.Warnings);
            data = std::move(result.Data);
        } catch (const std::exception&) {
            data.clear();
        }
        if (data.size() < enough && delay)
            delay(kRetryWaitMs);
        if (!data.empty())
            break;
    }
    return data;
}

bool HasValue(const DhcpRecordLocation& location, const std::string& attribute) {
    return !directory::ReadAttributeText(location.context, location.objectName, attribute, false).empty();
}

std::uint32_t ReadTime(const DhcpRecordLocation& location, const std::string& attribute) {
    return static_cast<std::uint32_t>(
        directory::ReadIntegerAttribute(location.context, location.objectName, attribute, 0));
}

void Check(std::int32_t result) {
    if (result != 0)
        throw directory::ENetwareError(result);
}

void ReplaceOrClearText(const DhcpRecordLocation& location, const std::string& attribute,
                        const std::string& text) {
    if (text.empty())
        directory::ClearAttribute(location.context, location.objectName, attribute);
    else
        directory::ReplaceAttributeValues(location.context, location.objectName, attribute, false, text);
}

} // namespace

bool RereadDhcpRow(const DhcpRecordLocation& location, RecordRow& row) {
    RecordRow fresh;
    fresh.imageIndex = row.imageIndex;
    fresh.stateIndex = row.stateIndex;
    const RowOrigin origin{row.rowReference, row.tree, row.container};
    if (FillDhcpAddressRow(location.context, location.objectName, fresh, origin) != 0)
        return false;
    row = std::move(fresh);
    return true;
}

const std::vector<std::string>& AssignmentTypeTable() {
    static const std::vector<std::string> table{
        "Automatic=1",
        "Dynamic=2",
        "Manual (static)=8",
        "Unauthorized=32",
        "Fixed Host Dynamic=64",
        "Exclude=128",
        "Free=256",
        "1=Automatic",
        "2=Dynamic",
        "8=Manual (static)",
        "32=Unauthorized",
        "64=Fixed Host Dynamic",
        "128=Exclude",
        "256=Free",
    };
    return table;
}

std::string AssignmentTypeValue(const std::string& name) {
    if (name.empty())
        return {};
    for (const std::string& entry : AssignmentTypeTable()) {
        const std::size_t equals = entry.find('=');
        if (entry.compare(0, equals, name) == 0 && equals == name.size())
            return entry.substr(equals + 1);
    }
    return {};
}

std::vector<std::string> AssignmentTypeChoices(std::int32_t currentType) {
    switch (currentType) {
    case 1:
        return {"Automatic"};
    case 2:
        return {"Dynamic", "Manual (static)", "Exclude"};
    case 32:
        return {"Unauthorized"};
    case 128:
        return {"Exclude", "Manual (static)"};
    case 256:
        return {"Free", "Manual (static)", "Exclude"};
    default:
        return {"Manual (static)", "Exclude"};
    }
}

int HardwareIndexForCode(int code) {
    if (code == 255)
        return kAnyHardwareIndex;
    if (code >= 1 && code <= kAnyHardwareIndex)
        return code - 1;
    return 0;
}

std::string HardwareCodeHex(int index) {
    const int code = index == kAnyHardwareIndex ? 255 : index + 1;
    return {kHexDigits[(code >> 4) & 0x0F], kHexDigits[code & 0x0F]};
}

std::optional<std::vector<std::uint8_t>> HexTextToOctetValue(const std::string& hex) {
    std::vector<std::uint8_t> value{0};
    for (std::size_t at = 0; at + 2 <= hex.size(); at += 2) {
        const int high = HexDigit(hex[at]);
        const int low = HexDigit(hex[at + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        value.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    if (value.size() > 256)
        return std::nullopt; // the count byte cannot hold more
    value[0] = static_cast<std::uint8_t>(value.size() - 1);
    return value;
}

std::string WithoutColons(const std::string& text) {
    std::string result;
    for (char c : text) {
        if (c != ':')
            result += c;
    }
    return result;
}

void WriteHexOctetAttr(directory::NWDSContextHandle context, const std::string& objectName,
                       const std::string& attribute, const std::string& hex) {
    if (hex.empty()) {
        directory::ClearAttribute(context, objectName, attribute);
        return;
    }
    const std::optional<std::vector<std::uint8_t>> value = HexTextToOctetValue(hex);
    if (!value)
        throw std::runtime_error("'" + hex + "' is not a valid hexadecimal value");
    const directory::OctetWriteResult result =
        directory::WriteOctetString(context, objectName, attribute, false, *value);
    if (!result.Warnings.empty())
        throw std::runtime_error(result.Warnings.front());
    Check(result.Result);
}

std::optional<DhcpRecordLocation> LocateDhcpRow(const RecordRow& row, const TreeList& trees,
                                                std::string& refusal) {
    if (row.subItems.size() <= kObjectNameItem || row.subItems[kObjectNameItem].empty()) {
        refusal = "The record " + row.caption + " has no directory object name.";
        return std::nullopt;
    }
    const std::string& name = row.subItems[kObjectNameItem];
    if (name.size() > kMaxObjectNameLength) {
        refusal =
            "The directory object name of the record " + row.caption + " is longer than 255 characters.";
        return std::nullopt;
    }
    const treeobj* tree = row.tree.empty() ? nullptr : trees.Find(row.tree);
    if (tree == nullptr) {
        refusal = "The tree of the record " + row.caption + " is not open.";
        return std::nullopt;
    }
    DhcpRecordLocation location;
    location.context = tree->context;
    location.objectName = name;
    location.subnetName =
        row.container.empty() ? directory::DropLeadingComponents(name, 1, true) : row.container;
    return location;
}

void SleepMilliseconds(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DhcpRecordFields LoadDhcpRecord(const DhcpRecordLocation& location, const RecordRow& row,
                                const RetryDelay& delay, rtl::TDateTime now) {
    DhcpRecordFields fields;
    fields.address = row.caption;
    if (row.subItems.size() > kHostItem)
        fields.host = row.subItems[kHostItem];
    if (row.subItems.size() > kMacItem)
        fields.mac = row.subItems[kMacItem];

    std::int32_t leaseSeconds = kDefaultLeaseSeconds;
    if (directory::ReadIntegerAttribute(location.context, location.subnetName, "DNIP:Subnet Type", 0) != 0)
        leaseSeconds =
            directory::ReadIntegerAttribute(location.context, location.subnetName, "DNIP:Lease Time", 0);
    fields.leaseEnd = now + static_cast<double>(leaseSeconds) / 86400.0;

    if (HasValue(location, "DNIP:Last Used"))
        fields.lastUsed = directory::NDSTimeToText(ReadTime(location, "DNIP:Last Used"));
    if (HasValue(location, "DNIP:Lease Expiration")) {
        fields.storedLeaseExpiration = ReadTime(location, "DNIP:Lease Expiration");
        fields.leaseEnd = directory::NDSTimeToDateTime(*fields.storedLeaseExpiration);
        fields.timed = true;
    }

    const std::vector<std::uint8_t> mac =
        ReadWithRetries(location, "DNIP:MAC Address", 2, delay, fields.warnings);
    if (mac.size() >= 2)
        fields.hardwareIndex = HardwareIndexForCode(mac[1]);

    const std::vector<std::uint8_t> identifier =
        ReadWithRetries(location, "DNIP:Client Identifier", 1, delay, fields.warnings);
    if (!identifier.empty()) {
        const std::size_t count = std::min<std::size_t>(identifier[0], identifier.size() - 1);
        for (std::size_t i = 1; i <= count; ++i) {
            if (i > 1)
                fields.identifier += ':';
            fields.identifier += kHexDigits[identifier[i] >> 4];
            fields.identifier += kHexDigits[identifier[i] & 0x0F];
        }
    }

    fields.comment =
        directory::ReadAttributeText(location.context, location.objectName, "DNIP:Comment", false);
    fields.objectReference =
        directory::ReadAttributeText(location.context, location.objectName, "DNIP:Object Reference", false);
    fields.assignmentType =
        directory::ReadIntegerAttribute(location.context, location.objectName, "DNIP:Assignment Type", 0);
    fields.typeChoices = AssignmentTypeChoices(fields.assignmentType);
    return fields;
}

DhcpFieldEnabling FieldEnabling(const std::string& typeText, bool timed) {
    DhcpFieldEnabling enabling;
    enabling.manualFields = AssignmentTypeValue(typeText) == std::to_string(kManualType);
    enabling.pickers = enabling.manualFields && timed;
    return enabling;
}

std::uint32_t LeaseEndToDirectoryTime(rtl::TDateTime leaseEnd) {
    // The shift the display adds to a stored time (none when times are shown as stored).
    const long long shift =
        std::llround((directory::NDSTimeToDateTime(0) - directory::kDirectoryEpoch) * 86400.0);
    long long seconds = std::llround((leaseEnd - directory::kDirectoryEpoch) * 86400.0) - shift;
    seconds = std::clamp<long long>(seconds, 0, 0xFFFFFFFFLL);
    return static_cast<std::uint32_t>(seconds);
}

DhcpSaveResult SaveDhcpRecord(const DhcpRecordLocation& location, std::int32_t currentType,
                              const DhcpRecordFields& loaded, const DhcpRecordEdits& edits, RecordRow& row) {
    const std::string typeValue = AssignmentTypeValue(edits.typeText);
    if (typeValue.empty())
        return {false, kUnknownTypeMessage};
    const std::int32_t newType = std::stoi(typeValue);
    const bool manual = newType == kManualType;
    const bool writeMac = manual && (edits.macModified || edits.hardwareChanged);
    const bool writeIdentifier = manual && edits.identifierModified;

    // Every hexadecimal field is checked before anything is written.
    const std::string macDigits = WithoutColons(edits.mac);
    if (writeMac && (macDigits.size() != 12 || !AllHex(macDigits)))
        return {false, "'" + edits.mac + "' is not a valid MAC address"};
    const std::string identifierDigits = WithoutColons(edits.identifier);
    if (writeIdentifier && (identifierDigits.size() % 2 != 0 || !AllHex(identifierDigits)))
        return {false, "'" + edits.identifier + "' is not a valid client identifier"};

    RecordRow updated = row;
    if (updated.subItems.size() <= kObjectNameItem)
        updated.subItems.resize(kObjectNameItem + 1);
    const std::string& object = location.objectName;
    try {
        if (newType != currentType) {
            Check(directory::ReplaceAttributeValue(location.context, object, "DNIP:Assignment Type", false,
                                                   newType));
            updated.subItems[kTypeItem] = AssignmentTypeText(newType);
        }
        if (manual) {
            if (writeMac) {
                WriteHexOctetAttr(location.context, object, "DNIP:MAC Address",
                                  HardwareCodeHex(edits.hardwareIndex) + macDigits);
                updated.subItems[kMacItem] = edits.mac;
            }
            if (writeIdentifier)
                WriteHexOctetAttr(location.context, object, "DNIP:Client Identifier", identifierDigits);
            if (edits.hostModified) {
                ReplaceOrClearText(location, "DNIP:Host Name", edits.host);
                updated.subItems[kHostItem] = edits.host;
            }
            if (edits.permanent) {
                directory::ClearAttribute(location.context, object, "DNIP:Lease Expiration");
                updated.subItems[kExpireItem].clear();
            } else {
                const std::uint32_t seconds = LeaseEndToDirectoryTime(edits.leaseEnd);
                const std::string text = directory::NDSTimeToText(seconds);
                const std::string stored = loaded.storedLeaseExpiration
                                               ? directory::NDSTimeToText(*loaded.storedLeaseExpiration)
                                               : std::string();
                if (text != stored) {
                    Check(directory::ReplaceAttributeValue(location.context, object, "DNIP:Lease Expiration",
                                                           false, static_cast<std::int32_t>(seconds)));
                    updated.subItems[kExpireItem] = text;
                }
            }
        }
        if (edits.objectReferenceModified)
            ReplaceOrClearText(location, "DNIP:Object Reference", edits.objectReference);
        if (edits.commentModified) {
            ReplaceOrClearText(location, "DNIP:Comment", edits.comment);
            updated.subItems[kCommentItem] = edits.comment;
        }
    } catch (const std::exception& error) {
        // Some fields may be written: the row shows what the directory holds now, or stays as it
        // was when the object cannot be read back.
        RereadDhcpRow(location, row);
        return {false, error.what()};
    }
    // The directory's own values (texts trimmed, times as stored) replace what the editor held.
    RereadDhcpRow(location, updated);
    row = std::move(updated);
    return {true, {}};
}

} // namespace browser
