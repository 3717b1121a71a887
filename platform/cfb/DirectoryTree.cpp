#include "platform/cfb/DirectoryTree.h"

#include <algorithm>
#include <numeric>

namespace cfb {

namespace {

char16_t upper(char16_t c) {
    if (c >= u'a' && c <= u'z')
        return static_cast<char16_t>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<char16_t>(c - 0x20);
    if (c == 0xFF)
        return 0x178;
    return c;
}

struct Builder {
    const std::vector<std::uint32_t>& sorted;
    DirectoryTree& tree;
    std::vector<int> depth;
    int maxDepth = 0;

    std::uint32_t build(std::size_t first, std::size_t last, int level) {
        if (first >= last)
            return NOSTREAM;
        const std::size_t middle = first + (last - first) / 2;
        const std::uint32_t id = sorted[middle];
        depth[id] = level;
        maxDepth = std::max(maxDepth, level);
        tree.nodes[id].left = build(first, middle, level + 1);
        tree.nodes[id].right = build(middle + 1, last, level + 1);
        return id;
    }
};

} // namespace

int CompareEntryNames(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const char16_t x = upper(a[i]);
        const char16_t y = upper(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return 0;
}

DirectoryTree BuildDirectoryTree(const std::vector<std::u16string>& names) {
    DirectoryTree tree;
    tree.nodes.resize(names.size());
    std::vector<std::uint32_t> sorted(names.size());
    std::iota(sorted.begin(), sorted.end(), 0u);
    std::sort(sorted.begin(), sorted.end(),
              [&](std::uint32_t a, std::uint32_t b) { return CompareEntryNames(names[a], names[b]) < 0; });
    Builder builder{sorted, tree, std::vector<int>(names.size(), 0)};
    tree.root = builder.build(0, sorted.size(), 0);
    // The root stays black; with a single level there is nothing to colour.
    if (builder.maxDepth > 0)
        for (std::size_t i = 0; i < names.size(); ++i)
            tree.nodes[i].red = builder.depth[i] == builder.maxDepth;
    return tree;
}

} // namespace cfb
