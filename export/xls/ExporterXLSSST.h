#pragma once

#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace exporter {

// One string of the shared string table.
struct TsstEntry {
    std::uint32_t Index; // position in insertion order
    std::u16string Text;
    std::uint32_t Occurrences; // number of Add calls with this text
};

// Shorter first; equal lengths by code unit as unsigned 16-bit numbers. Returns <0, 0 or >0.
int CompareWideStrings(const std::u16string& a, const std::u16string& b);

// The workbook's shared string table (SST). Strings keep the order they were first added in;
// duplicates are found by bisection over a sorted list. The sizes of the SST record and of its
// CONTINUE records are planned while strings are added, so the table is written in one pass.
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
    const TsstEntry& Items(std::size_t index) const { return *entries_[index]; }
    // The entry at a position of the lookup order.
    const TsstEntry& SortedItems(std::size_t index) const { return *sorted_[index]; }
    // The planned data sizes of the SST record and its CONTINUE records, the record being planned
    // last.
    std::vector<std::size_t> PlannedSizes() const;
    std::size_t PlannedTotalSize() const { return totalSize_; }

private:
    void closeRecord(std::size_t size);
    void planRoom(std::size_t length);

    std::vector<std::unique_ptr<TsstEntry>> entries_; // insertion order
    std::vector<TsstEntry*> sorted_;                  // lookup order
    std::vector<std::size_t> recordSizes_;
    std::size_t recordSize_ = 8; // the two counts open the SST record
    std::size_t totalSize_ = 8;
    std::uint32_t totalCount_ = 0;
    std::uint32_t uniqueCount_ = 0;
};

} // namespace exporter
