#pragma once

#include "platform/cfb/Stream.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace cfb {

// One stream of the root storage to be laid out: its size, and the source that hands over exactly
// that many bytes when the stream's turn comes (so that a large stream need not be held in memory).
struct StreamEntry {
    std::u16string name;
    std::uint64_t size = 0;
    StreamSource source;
};

// An entry whose bytes are held in memory (they must outlive the entry).
StreamEntry MemoryStreamEntry(std::u16string name, const std::vector<std::uint8_t>& bytes);

// Lays out a compound file, format version 3 with 512-byte sectors, whose root storage holds the
// given streams (distinct names, at most 31 UTF-16 code units each), and hands its bytes to the
// sink in one pass. Streams under 4096 bytes go to the mini stream; FAT sectors past the 109 that
// the header lists are found through DIFAT sectors. A source that hands over more or fewer bytes
// than its entry's size raises StorageError (STG_E_WRITEFAULT).
void WriteCompoundFile(const std::vector<StreamEntry>& streams, const ByteSink& sink);

} // namespace cfb
