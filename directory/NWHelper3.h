#pragma once

// Searching, listing and writing: the class search with its stop callback and
// per-hit result objects, the search by name pattern, one-level listings, the
// partitions of a server, and the modifications that replace, clear or append
// attribute values.

#include "directory/NWHelper.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace directory {

// What a search or listing tells about one entry.
struct hobject {
    std::string ClassName; // the entry's base class
    std::int32_t SubordinateCount = 0;
    bool PartitionRoot = false;
    std::uint32_t EntryFlags = 0; // 4 container entry, 8 container alias
};

// One entry of a search or listing: its full dotted name and, when asked for, its hobject.
struct ObjectEntry {
    std::string Name;
    std::optional<hobject> Object;
};

// Called with the running count of objects handled; true asks the search to stop
// before its next pass. May be empty.
using StopCallback = std::function<bool(std::int32_t count)>;

// One token of a search filter (see the nwclient TOKEN_ constants).
struct FilterToken {
    std::uint32_t Token = 0;
    std::string Value;
    std::uint32_t Syntax = 0;
};

// The objects of a class below (and including) the base object ("[root]" when
// empty). baseClassOnly matches the base class instead of any "Object Class"
// value; returnObjects attaches an hobject with the partition-root mark. A failure
// during the passes ends the search with what it found so far.
std::vector<ObjectEntry> SearchObjectsByClassEx(NWDSContextHandle context, const StopCallback& stop,
                                                const std::string& className, const std::string& baseName,
                                                bool wholeSubtree, bool returnObjects, bool baseClassOnly,
                                                bool searchAliases);
std::vector<ObjectEntry> SearchObjectsByClass(NWDSContextHandle context, const StopCallback& stop,
                                              const std::string& className, const std::string& baseName,
                                              bool wholeSubtree, bool returnObjects, bool baseClassOnly);

// Names of the objects below the base whose own name matches the pattern
// (followed by "*" when appendStar) and, unless classes is empty, whose base
// class is one of them. Raises on a search failure.
std::vector<std::string> SearchByPattern(NWDSContextHandle context, const std::string& baseName,
                                         const std::string& pattern, const std::vector<std::string>& classes,
                                         bool appendStar, const StopCallback& stop);

// Searches with the given filter and returns label/value pairs: "Object Name" and
// the object's name once per object, then for each value of the requested
// attributes the attribute's name and the value as text. Raises on a search failure.
std::vector<std::string> SearchWithAttributes(NWDSContextHandle context, const std::string& baseName,
                                              const std::vector<FilterToken>& filter, std::int32_t scope,
                                              const StopCallback& stop,
                                              const std::vector<std::string>& attributeNames);

// The entries one level below the container ("name.container"), sorted; all
// subordinates or containers only. Raises on a failure.
std::vector<ObjectEntry> ListSubordinates(NWDSContextHandle context, const std::string& containerName,
                                          bool returnObjects, bool allSubordinates);

// The partition root names the server holds. Raises on a failure.
std::vector<std::string> ListServerPartitions(NWDSContextHandle context, const std::string& serverName);

// Replaces the attribute's values by the value given as text (or appends it).
// Integer syntaxes convert the text; a text that is not an integer raises with
// -8000. An attribute unknown to the directory (-603) is left alone; any other
// failed write raises.
inline constexpr std::int32_t kNotAnIntegerResult = -8000;
void ReplaceAttributeValues(NWDSContextHandle context, const std::string& objectName,
                            const std::string& attributeName, bool append, const std::string& value);

// Replaces the attribute's values by the integer (or appends it); returns the
// client's last result.
std::int32_t ReplaceAttributeValue(NWDSContextHandle context, const std::string& objectName,
                                   const std::string& attributeName, bool append, std::int32_t value);

// Removes every value of the attribute; an attribute the object does not have is
// not an error. Raises on a failure.
void ClearAttribute(NWDSContextHandle context, const std::string& objectName,
                    const std::string& attributeName);

inline constexpr const char* kNotOctetAttributeMessage = "Geen Octet_string attribute";

struct OctetWriteResult {
    std::int32_t Result = 0;           // the client's last result
    std::vector<std::string> Warnings; // for the caller to show on the window's thread
};

// Replaces the attribute's values by one octet value (or appends it). An
// attribute that is not an octet string is not written and reported in Warnings.
// Raises on a failed write other than -603.
OctetWriteResult WriteOctetString(NWDSContextHandle context, const std::string& objectName,
                                  const std::string& attributeName, bool append,
                                  std::span<const std::uint8_t> data);

} // namespace directory
