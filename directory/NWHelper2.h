#pragma once

// Reading one attribute of one directory object: as display text, as a list of
// values with value objects, as an integer with a default, and as raw octet
// strings. A missing attribute (-603) has no values and is never an error; every
// other client failure raises ENetwareError.

#include "directory/NWHelper.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace directory {

// A network address value (syntax 12).
struct TNetAddress {
    std::string Address; // the raw address bytes
    std::uint32_t AddressType = 0;
};

// A replica pointer value (syntax 16) with its first address.
struct TReplica {
    std::string ServerName;
    std::uint32_t ReplicaType = 0;
    std::uint32_t ReplicaNumber = 0;
    std::uint32_t AddressCount = 0;
    std::uint32_t FirstAddressType = 0;
    std::uint32_t FirstAddressLength = 0;
    std::vector<std::uint8_t> FirstAddressData;
};

// An object ACL value (syntax 17).
struct TACL2 {
    std::string ProtectedAttributeName;
    std::string SubjectName;
    std::uint32_t Privileges = 0;
};

// What an entry of ReadAttributeValues carries besides its text: nothing, a
// number (the remote identifier of a back link, the amount of a hold, 1 on the
// closing entry of a case-ignore list), or a value object.
using AttributeValueObject = std::variant<std::monostate, std::uint32_t, TNetAddress, TReplica, TACL2>;

struct AttributeValueEntry {
    std::string Text;
    AttributeValueObject Object;
};

// All values as one text, rendered by syntax. String values are joined by
// wrapper + separator + wrapper; for other syntaxes only the last value remains.
// The result is wrapper + text (trimmed of blanks, except for octet strings) +
// wrapper. With firstValueOnly the read stops after the first value.
std::string ReadAttributeTextEx(NWDSContextHandle context, const std::string& objectName,
                                const std::string& attributeName, const std::string& wrapper,
                                const std::string& separator, bool firstValueOnly);
// ReadAttributeTextEx with empty wrapper and separator.
std::string ReadAttributeText(NWDSContextHandle context, const std::string& objectName,
                              const std::string& attributeName, bool firstValueOnly);

// One entry per value in stored order; separator joins compound fields.
std::vector<AttributeValueEntry> ReadAttributeValues(NWDSContextHandle context, const std::string& objectName,
                                                     const std::string& attributeName, char separator);

// The last integer, counter, time or interval value, else the default.
std::int32_t ReadIntegerAttribute(NWDSContextHandle context, const std::string& objectName,
                                  const std::string& attributeName, std::int32_t defaultValue);

// The octet readers gather every value of the attribute, whatever their total
// size: the read goes on pass after pass with its iteration handle. A single value
// too large for a whole reply ends the read with the overflow message in Warnings
// (the values before it are kept); an attribute that is not an octet string gives
// the syntax message. The warnings are for the caller to show on the window's
// thread.

inline constexpr const char* kNotOctetStringMessage = "Error Not a OCTET_STRING Attribute!!!";
inline constexpr const char* kOctetStringOverflowMessage = "Te veel data for OCtet_string buffer";
inline constexpr const char* kOctetStringListOverflowMessage =
    "To much data for Octet_string buffer, please contact Tolvex!";

struct OctetReadResult {
    std::vector<std::uint8_t> Data; // Data.size() is the number of valid bytes
    std::vector<std::string> Warnings;
};

// The data bytes of every value, one after another.
OctetReadResult ReadOctetString(NWDSContextHandle context, const std::string& objectName,
                                const std::string& attributeName);
// Every value as its length (4 bytes, little-endian) followed by its data.
OctetReadResult ReadOctetStringList(NWDSContextHandle context, const std::string& objectName,
                                    const std::string& attributeName);

// A network address as text by its type: IPX in hexadecimal, IP dotted, UDP and
// TCP dotted with the port, URL, or hexadecimal for any other type.
std::string FormatNetAddress(std::uint32_t addressType, std::string_view addressBytes);
std::string FormatNetAddress(const TNetAddress& address);

} // namespace directory
