#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cfb {

// One stream of the root storage to be laid out.
struct StreamEntry {
    std::u16string name;
    const std::vector<std::uint8_t>* bytes;
};

// Receives the file's bytes in order; raises on failure.
using ByteSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Lays out a compound file, format version 3 with 512-byte sectors, whose root storage holds the
// given streams (distinct names, at most 31 UTF-16 code units each), and hands its bytes to the
// sink in one pass. Streams under 4096 bytes go to the mini stream; FAT sectors past the 109 that
// the header lists are found through DIFAT sectors.
void WriteCompoundFile(const std::vector<StreamEntry>& streams, const ByteSink& sink);

} // namespace cfb
