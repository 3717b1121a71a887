#pragma once

// The cache values of record rows and the writer the record decoding hands its cache lines to.

#include "browser/records/RecordRow.h"

#include <string>
#include <vector>

namespace browser {

// Takes the cache lines that the record decoding writes (one per row, key = row caption); the
// program adapts it to the open cache INI file.
class RecordCacheWriter {
public:
    virtual ~RecordCacheWriter() = default;
    virtual void WriteCacheLine(const std::string& section, const std::string& key,
                                const std::string& value) = 0;
};

// The run-time library's comma text of the items (an item holding a blank, a control character, a
// comma or a double quote is quoted).
std::string CommaTextOf(const std::vector<std::string>& items);

// The cache value of a DNS or REV-DNS row: the comma text of its sub-items, the character with
// code 1, the image index (plus 100 when the record set was reverse at that moment). CR and LF
// become blanks so that the value stays on one line.
std::string DnsCacheValue(const RecordRow& row, bool reverse);

// The cache value of a DHCP row: the comma text of its sub-items, CR and LF made blanks.
std::string DhcpCacheValue(const RecordRow& row);

} // namespace browser
