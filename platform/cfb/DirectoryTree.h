#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cfb {

constexpr std::uint32_t NOSTREAM = 0xFFFFFFFF;

// Order of sibling names in a compound-file directory: the shorter name first; names of equal
// length by their upper-case code units.
int CompareEntryNames(const std::u16string& a, const std::u16string& b);

// Sibling links of a red-black tree over a storage's children.
struct DirectoryTree {
    struct Node {
        std::uint32_t left = NOSTREAM; // index into the names, or NOSTREAM
        std::uint32_t right = NOSTREAM;
        bool red = false;
    };
    std::uint32_t root = NOSTREAM;
    std::vector<Node> nodes; // one per name, same order
};

// Arranges distinct names into a balanced tree: built by halving the sorted names, so every
// missing child sits on the last two levels; nodes of the deepest level are red, all others black.
DirectoryTree BuildDirectoryTree(const std::vector<std::u16string>& names);

} // namespace cfb
