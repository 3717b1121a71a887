#pragma once

// The workbook's shared string table (SST): every distinct cell text once, in first-use order,
// written as the SST record and its CONTINUE records.

#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

// One string of the shared string table.
struct TsstEntry {
    std::uint32_t Index; // position in insertion order
    std::u16string Text;
    std::uint32_t Occurrences; // number of Add calls with this text
};

// Duplicates are found through an open-addressing hash table of indexes into the strings, so adding
// n strings takes time linear in n. Strings whose characters all fit in one byte are written in BIFF8's
// compressed 8-bit form, the others as UTF-16. A string is split where a record is full, at a character
// boundary and never inside a surrogate pair; its continuation opens with its own option byte.
class TsstStrings {
public:
    // Returns the string's index in the table (the value a LABELSST cell carries). A text longer
    // than a cell holds (32767 characters) is cut to that length first.
    std::uint32_t Add(const std::u16string& s);
    // Writes the SST record and its CONTINUE records. A short write raises TxlsWriteError.
    void SaveToStream(TxlsStream& stream) const;

    std::uint32_t TotalCount() const { return totalCount_; }
    std::uint32_t UniqueCount() const { return uniqueCount_; }
    std::size_t Count() const { return entries_.size(); }
    const TsstEntry& Items(std::size_t index) const { return entries_[index]; }

private:
    // Doubles the table and places every string again.
    void grow();

    std::deque<TsstEntry> entries_; // insertion order
    // Each slot holds a string's hash in its high half and its index + 1 in the low half (0:
    // empty), so that probing compares hashes without touching the strings.
    std::vector<std::uint64_t> slots_;
    std::uint32_t totalCount_ = 0;
    std::uint32_t uniqueCount_ = 0;
};

// True when every code unit of the text fits in one byte (BIFF8's compressed string form).
bool IsCompressible(std::u16string_view text);

} // namespace exporter
