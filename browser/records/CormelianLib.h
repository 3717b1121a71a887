#pragma once

// The record decoding library: directory objects into rows of the "DNS", "REV-DNS" and "DHCP"
// lists, and the formatters of octet values. Rows are plain values (RecordRow), made on any thread
// and placed in the lists by the window's thread. Nothing here is shared between calls or threads.

#include "browser/records/AttributeSource.h"
#include "browser/records/RRSetDecoder.h"
#include "browser/records/RecordCache.h"
#include "browser/records/RecordFormatters.h"
#include "browser/records/RecordRow.h"
#include "directory/NWHelper.h"

#include <cstdint>
#include <string>
#include <vector>

namespace browser {

// Decodes the "DNIP:RR" values of one "DNIP:DNS RRset" object into rows appended to `rows` (each
// row names the list it belongs to) and, when a cache writer is given, writes one cache line per
// row into the section. A record set whose own name is "@" gives no rows. Returns 0 when every
// record was decoded, 1 when a failure stopped the decoding; the rows added before it stay.
int ListRRSet(AttributeSource& source, const std::string& rrsetName, std::vector<RecordRow>& rows,
              const RowOrigin& origin, RecordCacheWriter* cache = nullptr,
              const std::string& cacheSection = {});
int ListRRSet(directory::NWDSContextHandle context, const std::string& rrsetName,
              std::vector<RecordRow>& rows, const RowOrigin& origin, RecordCacheWriter* cache = nullptr,
              const std::string& cacheSection = {});

// Fills a DHCP row from a "DNIP:IP Address Configuration" object: caption (the address from the
// object's name), host name, assignment type, MAC, last used, lease expiration, comment, object
// name. The MAC and the two times are empty when they cannot be read. Returns 0, or 1 when another
// failure stopped the fill (the row then has fewer sub-items).
int FillDhcpAddressRow(AttributeSource& source, const std::string& addressName, RecordRow& row,
                       const RowOrigin& origin);
int FillDhcpAddressRow(directory::NWDSContextHandle context, const std::string& addressName, RecordRow& row,
                       const RowOrigin& origin);

// Names of all objects of the class below the container (its whole subtree).
std::vector<std::string> ListObjectsOfClass(AttributeSource& source, const std::string& className,
                                            const std::string& containerName);
std::vector<std::string> ListObjectsOfClass(directory::NWDSContextHandle context,
                                            const std::string& className, const std::string& containerName);

// The classes the collections list.
inline constexpr const char* kRRSetClass = "DNIP:DNS RRset";
inline constexpr const char* kAddressClass = "DNIP:IP Address Configuration";

// "Automatic", "Dynamic", "Manual", "Unauthorized", "Fixed Host Dynamic", "Exclude", "Free" for
// 1, 2, 8, 32, 64, 128, 256; "?????" for any other value.
std::string AssignmentTypeText(std::int32_t type);

// The last six bytes of a "DNIP:MAC Address" value as "00:1B:21:3C:4D:5E"; empty for fewer bytes.
std::string MacAddressText(Octets value);

} // namespace browser
