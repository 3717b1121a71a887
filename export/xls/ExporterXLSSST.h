#pragma once

// The workbook's shared string table (SST): every distinct cell text once, in first-use order,
// written as the SST record and its CONTINUE records.

#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
// n strings takes time linear in n. Strings whose characters all fit in one byte are kept and written
// in BIFF8's compressed 8-bit form, the others as UTF-16. A string is split where a record is full,
// at a character boundary and never inside a surrogate pair; its continuation opens with its own
// option byte.
class TsstStrings {
public:
    TsstStrings();
    ~TsstStrings();
    TsstStrings(const TsstStrings&) = delete;
    TsstStrings& operator=(const TsstStrings&) = delete;

    // Returns the string's index in the table (the value a LABELSST cell carries). A text longer
    // than a cell holds (32767 characters) is cut to that length first.
    std::uint32_t Add(std::u16string_view s);
    // Add of the UTF-8 text's UTF-16 form (Utf8ToWide); an ASCII text is looked up and kept as it
    // is, without being converted.
    std::uint32_t AddUtf8(std::string_view utf8);
    // Writes the SST record and its CONTINUE records. A short write raises TxlsWriteError.
    void SaveToStream(TxlsStream& stream) const;

    std::uint32_t TotalCount() const { return totalCount_; }
    std::uint32_t UniqueCount() const { return uniqueCount_; }
    std::size_t Count() const { return entries_.size(); }
    TsstEntry Items(std::size_t index) const;

private:
    // Where a string's characters are: one byte each when it is narrow, else two (little-endian).
    struct Entry {
        std::uint32_t Block;
        std::uint32_t Offset;
        std::uint16_t Length; // characters
        bool Wide;
        std::uint32_t Occurrences;
    };
    const std::uint8_t* bytesOf(const Entry& entry) const { return blocks_[entry.Block].get() + entry.Offset; }
    // The slot of the string with that hash for which same(entry) holds, or the empty slot where it
    // belongs; the table has room for one more string.
    template <class Same> std::size_t find(std::uint32_t hash, Same same);
    // Stores a new string of length characters (bytes = length, or 2 × length when wide) whose
    // bytes fill() writes, in the slot find() gave.
    template <class Fill>
    std::uint32_t insert(std::size_t slot, std::uint32_t hash, std::size_t length, bool wide, Fill fill);
    // Add of a narrow string (its compressed bytes) with its hash.
    std::uint32_t addNarrow(std::string_view bytes, std::uint32_t hash);
    // The index of the string in the slot, counted once more.
    std::uint32_t found(std::size_t slot);
    // Doubles the table and places every string again.
    void grow();
    void reserveSlot();

    std::vector<Entry> entries_; // insertion order
    // Characters in blocks that never move, so that growing the table copies no text.
    std::vector<std::unique_ptr<std::uint8_t[]>> blocks_;
    std::size_t blockUsed_ = 0, blockSize_ = 0;
    // Each slot holds a string's hash in its high half and its index + 1 in the low half (0:
    // empty), so that probing compares hashes without touching the strings.
    std::vector<std::uint64_t> slots_;
    std::u16string wide_; // the UTF-16 form of a UTF-8 text that is not ASCII
    std::string narrow_;  // the compressed form of a narrow UTF-16 text
    std::uint32_t totalCount_ = 0;
    std::uint32_t uniqueCount_ = 0;
};

// True when every code unit of the text fits in one byte (BIFF8's compressed string form).
bool IsCompressible(std::u16string_view text);

} // namespace exporter
