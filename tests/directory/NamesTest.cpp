#include "directory/nwextra.h"
#include "tests/support/BuiltHelper.h"

#include "directory/Tolvex.h"

#include "TestNode.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

using namespace directory;

namespace {

using directory::testing::Node;

// Builds a chain top -> ... -> leaf and keeps the nodes alive.
class Path {
public:
    explicit Path(std::initializer_list<std::string> texts) {
        for (const auto& text : texts) {
            nodes_.push_back(std::make_unique<Node>(text, nodes_.empty() ? nullptr : nodes_.back().get()));
        }
    }
    const Node* Leaf() const { return nodes_.back().get(); }
    const Node* Top() const { return nodes_.front().get(); }

private:
    std::vector<std::unique_ptr<Node>> nodes_;
};

} // namespace

TEST(NameComponents, EscapedDotStaysInsideItsComponent) {
    EXPECT_EQ(GetNameComponent("a\\.b.c.d", 0), "a.b");
    EXPECT_EQ(GetNameComponent("a\\.b.c.d", 1), "c");
    EXPECT_EQ(GetNameComponent("a\\.b.c.d", 2), "d");
    EXPECT_EQ(GetNameComponent("a\\.b.c.d", 5), "d");
    EXPECT_EQ(GetNameComponent("single", 0), "single");
    EXPECT_EQ(GetNameComponent("single", 3), "single");
    EXPECT_EQ(GetNameComponent("", 0), "");
    EXPECT_EQ(GetNameComponent("x.y\\.z", 1), "y.z");
}

TEST(NameComponents, DropLeadingKeepsOrUnescapes) {
    EXPECT_EQ(DropLeadingComponents("www.zone\\.x.DNS.ACME", 1, true), "zone\\.x.DNS.ACME");
    EXPECT_EQ(DropLeadingComponents("www.zone\\.x.DNS.ACME", 1, false), "zone.x.DNS.ACME");
    EXPECT_EQ(DropLeadingComponents("www.zone.DNS.ACME", 2, true), "DNS.ACME");
    EXPECT_EQ(DropLeadingComponents("a.b", 0, true), "a.b");
    // The last component is never dropped.
    EXPECT_EQ(DropLeadingComponents("a.b.c", 7, true), "c");
}

TEST(NameComponents, DropLeadingOfOneComponentIsEmpty) {
    EXPECT_EQ(DropLeadingComponents("ACME", 0, true), "");
    EXPECT_EQ(DropLeadingComponents("ACME", 3, false), "");
    EXPECT_EQ(DropLeadingComponents("a\\.b", 1, true), "");
    EXPECT_EQ(DropLeadingComponents("", 1, true), "");
}

TEST(NameComponents, DropTrailingGivesHeadOrTail) {
    EXPECT_EQ(DropTrailingComponents("host.zone.DNS.ACME", 1, false, '.'), "host.zone.DNS");
    EXPECT_EQ(DropTrailingComponents("host.zone.DNS.ACME", 2, false, '.'), "host.zone");
    EXPECT_EQ(DropTrailingComponents("host.zone.DNS.ACME", 2, true, '.'), "DNS.ACME");
    EXPECT_EQ(DropTrailingComponents("host.zone.DNS.ACME", 9, false, '.'), "");
    // An empty head gives the whole name as tail.
    EXPECT_EQ(DropTrailingComponents("host.zone", 5, true, '.'), "host.zone");
    // Escapes survive on both sides of the cut and are not cut points.
    EXPECT_EQ(DropTrailingComponents("a\\.b.c\\.d", 1, false, '.'), "a\\.b");
    EXPECT_EQ(DropTrailingComponents("a\\.b.c\\.d", 1, true, '.'), "c\\.d");
    EXPECT_EQ(DropTrailingComponents("ACME/DNS/zone", 1, true, '/'), "zone");
}

TEST(NameComponents, LongTailIsNotCut) {
    const std::string longPart(400, 'x');
    EXPECT_EQ(DropTrailingComponents("a." + longPart, 1, true, '.'), longPart);
}

TEST(NameComponents, PathComponentsHaveNoEscapes) {
    EXPECT_EQ(GetPathComponent("SYS\\public\\dir", 0), "SYS");
    EXPECT_EQ(GetPathComponent("SYS\\public\\dir", 1), "public");
    EXPECT_EQ(GetPathComponent("SYS\\public\\dir", 4), "dir");
    EXPECT_EQ(GetPathComponent("a.b\\c", 0), "a.b");
}

TEST(NodePaths, RootTopAddsNothingInAnyCase) {
    for (const char* top : {"[root]", "[ROOT]", "[Root]", "[public]", "[PUBLIC]"}) {
        Path path{top, "zone", "host"};
        EXPECT_EQ(NodePathToDN(path.Leaf()), "host.zone") << top;
        EXPECT_EQ(NodePathToReversedName(path.Leaf(), '/'), "zone/host") << top;
    }
}

TEST(NodePaths, NamedTopIsTheLastComponent) {
    Path path{"ACME", "DNS", "www.example"};
    EXPECT_EQ(NodePathToDN(path.Leaf()), "www\\.example.DNS.ACME");
    EXPECT_EQ(NodePathToReversedName(path.Leaf(), '.'), "ACME.DNS.www\\.example");
    EXPECT_EQ(NodePathToDN(path.Top()), "ACME");
    EXPECT_EQ(NodePathToReversedName(path.Top(), '.'), "ACME");
}

TEST(NodePaths, NoNodeGivesEmptyText) {
    EXPECT_EQ(NodePathToDN(nullptr), "");
    EXPECT_EQ(NodePathToReversedName(nullptr, '.'), "");
}

TEST(Platform, WindowsPlatformCodes) {
    EXPECT_EQ(WindowsPlatformCode(false, 5, 1), 1);
    EXPECT_EQ(WindowsPlatformCode(true, 4, 0), 2);
    EXPECT_EQ(WindowsPlatformCode(true, 5, 0), 200);
    EXPECT_EQ(WindowsPlatformCode(true, 5, 1), 201);
    EXPECT_EQ(WindowsPlatformCode(true, 5, 2), 202);
    EXPECT_EQ(WindowsPlatformCode(true, 5, 3), 299);
    EXPECT_EQ(WindowsPlatformCode(true, 6, 1), 201);
    EXPECT_EQ(GetWindowsPlatform(), 1);
}

TEST(Platform, SwapBytes32ReversesOrder) {
    EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
    EXPECT_EQ(SwapBytes32(SwapBytes32(0xA1B2C3D4u)), 0xA1B2C3D4u);
}

using test_support::BuiltHelperFolder;

TEST(IconIndex, UnknownClassesFallBackToUnknown2) {
    const auto folder = BuiltHelperFolder();
    if (!std::filesystem::exists(folder / kTolvexFileName)) {
        GTEST_SKIP() << "helper library not built";
    }
    ASSERT_TRUE(LoadHelperDll(folder));
    const int unknown = GetIconNumber("Unknown2");
    ASSERT_GE(unknown, 0);
    EXPECT_EQ(IconIndexForClass("No Such Class"), unknown);
    EXPECT_EQ(IconIndexForClass("DNIP:DNS Zone"), GetIconNumber("DNIP:DNS Zone"));
    EXPECT_NE(IconIndexForClass("DNIP:DNS Zone"), unknown);
    FreeHelperDll();
}

TEST(IconIndex, WithoutTheLibraryEveryClassIsNegative) {
    FreeHelperDll();
    EXPECT_LT(IconIndexForClass("DNIP:DNS Zone"), 0);
}
