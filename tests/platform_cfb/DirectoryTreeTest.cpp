#include "platform/cfb/DirectoryTree.h"

#include <gtest/gtest.h>

namespace {

using cfb::DirectoryTree;
using cfb::NOSTREAM;

// Checks the red-black rules below a node and returns its black height; collects names in order.
int check(const DirectoryTree& tree, const std::vector<std::u16string>& names, std::uint32_t id,
          bool parentRed, std::vector<std::u16string>& inOrder) {
    if (id == NOSTREAM)
        return 1;
    const auto& node = tree.nodes[id];
    EXPECT_FALSE(parentRed && node.red) << "red node under a red parent";
    const int left = check(tree, names, node.left, node.red, inOrder);
    inOrder.push_back(names[id]);
    const int right = check(tree, names, node.right, node.red, inOrder);
    EXPECT_EQ(left, right) << "unequal black heights";
    return left + (node.red ? 0 : 1);
}

TEST(DirectoryTree, NameOrderIsLengthFirstThenUpperCase) {
    EXPECT_LT(cfb::CompareEntryNames(u"Zz", u"aaa"), 0);
    EXPECT_EQ(cfb::CompareEntryNames(u"Workbook", u"WORKBOOK"), 0);
    EXPECT_LT(cfb::CompareEntryNames(u"abc", u"ABD"), 0);
    EXPECT_GT(cfb::CompareEntryNames(u"\u00e9", u"D"), 0); // é upper-cases to É (0xC9) > 'D'
}

TEST(DirectoryTree, EveryTreeSizeIsAValidRedBlackSearchTree) {
    for (int n = 0; n <= 70; ++n) {
        std::vector<std::u16string> names;
        for (int i = n - 1; i >= 0; --i) // reverse order, of varying lengths
            names.push_back(u"S" + std::u16string(static_cast<std::size_t>(i % 3), u'x') +
                            char16_t(u'A' + i % 26) + char16_t(u'a' + i / 26));
        const DirectoryTree tree = cfb::BuildDirectoryTree(names);
        if (n == 0) {
            EXPECT_EQ(tree.root, NOSTREAM);
            continue;
        }
        ASSERT_NE(tree.root, NOSTREAM);
        EXPECT_FALSE(tree.nodes[tree.root].red) << "root must be black, n=" << n;
        std::vector<std::u16string> inOrder;
        check(tree, names, tree.root, false, inOrder);
        ASSERT_EQ(inOrder.size(), names.size()) << "n=" << n;
        for (std::size_t i = 1; i < inOrder.size(); ++i)
            EXPECT_LT(cfb::CompareEntryNames(inOrder[i - 1], inOrder[i]), 0) << "n=" << n;
    }
}

} // namespace
