#pragma once

#include "browser/records/RecordCache.h"
#include "browser/records/RecordFormatters.h"
#include "browser/records/RecordRow.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace browser {

// Raised when a record cannot be decoded (a field beyond the record); ends the record set's walk.
class RecordDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Record types the decoding knows (the full 16-bit type).
namespace rrtype {
inline constexpr int A = 1, NS = 2, CNAME = 5, MB = 7, MG = 8, MR = 9, WKS = 11, PTR = 12, HINFO = 13,
                     MINFO = 14, MX = 15, TXT = 16, RP = 17, AFSDB = 18, X25 = 19, ISDN = 20, RT = 21,
                     PX = 26, AAAA = 28, SRV = 33;
}

// Offset of the RDATA in a record: TYPE (2), CLASS (2), TTL (4), RDLENGTH (2).
inline constexpr std::size_t kRDataOffset = 10;

// Records are read as if zero-filled up to this many bytes, as the directory's own readers do; a field
// reaching past both the record and this size is a decoding failure.
inline constexpr std::size_t kZeroFilledRecordSize = 1024;

// Characters of a record: count characters from the 1-based position, ending early at a zero byte,
// at most 255. Raises RecordDecodeError for a count above 256 or a field beyond the record.
std::string CopyRecBytes(Octets record, int position, int count);

// What the decoding needs to know of one "DNIP:DNS RRset" object besides its records.
struct RRSetFacts {
    std::string objectName;   // dotted name of the RRset object
    bool reverseZone = false; // its zone's "DNIP:Zone type" is "4"
    std::string domainName;   // its "DNIP:DNS Domain name"
    // Its "Description"; asked at most once, when a record needs it.
    std::function<std::string()> readDescription;
};

// Decodes the "DNIP:RR" values of one record set (each value a 4-byte little-endian length and the
// record) into rows appended to `rows`, and writes one cache line per row into `cache` when given.
// Raises on a failure; the rows appended before it stay.
void DecodeRRSetValues(const RRSetFacts& facts, Octets values, const RowOrigin& origin,
                       std::vector<RecordRow>& rows, RecordCacheWriter* cache = nullptr,
                       const std::string& cacheSection = {});

} // namespace browser
