#include "PickerFixture.h"

#include "browser/forms/ObjectBrowserLogic.h"
#include "directory/Tolvex.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using browser::BrowseFilter;
using browser::BrowseNode;
using browser::OkOutcome;

// A browse-tree node without widgets.
class FakeNode : public directory::ITreeNode {
public:
    FakeNode(std::string text, const FakeNode* parent) : text_(std::move(text)), parent_(parent) {}
    std::string Text() const override { return text_; }
    const directory::ITreeNode* Parent() const override { return parent_; }

private:
    std::string text_;
    const FakeNode* parent_;
};

TEST(BrowseFilterTest, OnlyLeafSelectionWithAFilterAndWithoutAllLeafsHidesLeaves) {
    BrowseFilter filter;
    EXPECT_TRUE(filter.Shows(false, "User")); // containers only are listed anyway
    filter.Classes = {"DNIP:Locator"};
    EXPECT_TRUE(filter.Shows(false, "User")); // the filter counts only with leaf selection
    filter.LeafMode = true;
    EXPECT_FALSE(filter.Shows(false, "User"));
    EXPECT_TRUE(filter.Shows(false, "dnip:locator"));
    EXPECT_TRUE(filter.Shows(true, "Organizational Unit"));
    filter.AllLeafs = true;
    EXPECT_TRUE(filter.Shows(false, "User"));
    filter.AllLeafs = false;
    filter.Classes.clear();
    EXPECT_TRUE(filter.Shows(false, "User"));
}

TEST(PersonIconTest, PosixAndAppleClassesChooseTheIcon) {
    EXPECT_EQ(browser::PersonIconClass("User", {"Top", "User"}), "User");
    EXPECT_EQ(browser::PersonIconClass("User", {"User", "posixaccount"}), "User-posixAccount");
    EXPECT_EQ(browser::PersonIconClass("User", {"apple-user", "posixAccount"}), "User-apple");
    EXPECT_EQ(browser::PersonIconClass("Person", {"Person", "apple-user"}), "Person");
}

TEST(NameComponentsTest, TopDownUnescapedWithoutTheRoot) {
    using V = std::vector<std::string>;
    EXPECT_EQ(browser::ComponentsTopDown("www.example_com.DNS.ACME"),
              (V{"ACME", "DNS", "example_com", "www"}));
    EXPECT_EQ(browser::ComponentsTopDown("a\\.b.example_com"), (V{"example_com", "a.b"}));
    EXPECT_EQ(browser::ComponentsTopDown("ACME.[Root]"), (V{"ACME"}));
    EXPECT_EQ(browser::ComponentsTopDown("[root]"), V{});
    EXPECT_EQ(browser::ComponentsTopDown(""), V{});
}

TEST(OkRuleTest, SelectionPathNodesAndTheClassFilter) {
    const FakeNode root("[ROOT]", nullptr);
    const FakeNode org("ACME", &root);
    const FakeNode unit("a.b", &org);
    BrowseFilter filter;
    int lookups = 0;
    auto baseClass = [&lookups](const directory::ITreeNode* node) {
        ++lookups;
        return node->Text() == "ACME" ? std::string("Organization") : std::string("DNIP:Locator");
    };

    EXPECT_EQ(browser::DecideOk(nullptr, false, filter, baseClass).Outcome, OkOutcome::Ignore);

    const auto onPath = browser::DecideOk(&org, true, filter, baseClass);
    EXPECT_EQ(onPath.Outcome, OkOutcome::Refuse);
    EXPECT_TRUE(onPath.Chosen.empty());

    const auto any = browser::DecideOk(&unit, false, filter, baseClass);
    EXPECT_EQ(any.Outcome, OkOutcome::Accept);
    EXPECT_EQ(any.Chosen, "a\\.b.ACME");
    EXPECT_EQ(lookups, 0); // no filter, no directory read

    filter.Classes = {"DNIP:Locator"};
    const auto wrongClass = browser::DecideOk(&org, false, filter, baseClass);
    EXPECT_EQ(wrongClass.Outcome, OkOutcome::Refuse);
    EXPECT_EQ(wrongClass.Chosen, "ACME");
    EXPECT_EQ(browser::DecideOk(&unit, false, filter, baseClass).Outcome, OkOutcome::Accept);
}

TEST(TraceTest, ReplacesTheFileAndNeverFailsTheCaller) {
    const auto folder = std::filesystem::temp_directory_path() / "picker-trace-test";
    std::filesystem::create_directories(folder);
    const auto file = folder / "testnoc.log";
    browser::WriteTraceLine(file, "Start init icons");
    browser::WriteTraceLine(file, "Find the special icons");
    std::ifstream in(file, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "Find the special icons\r\n");

    // A folder in its place, or a missing folder: nothing is written and nothing breaks.
    EXPECT_NO_THROW(browser::WriteTraceLine(folder, "Start init icons"));
    EXPECT_NO_THROW(browser::WriteTraceLine(folder / "missing" / "testnoc.log", "Start init icons"));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    std::filesystem::remove_all(folder);
}

using ListingTest = picker_test::PickerDirectory;

std::vector<std::string> Texts(const std::vector<BrowseNode>& nodes) {
    std::vector<std::string> texts;
    for (const BrowseNode& node : nodes)
        texts.push_back(node.Text);
    return texts;
}

const BrowseNode& Find(const std::vector<BrowseNode>& nodes, const std::string& text) {
    for (const BrowseNode& node : nodes)
        if (node.Text == text)
            return node;
    throw std::runtime_error("no node " + text);
}

TEST_F(ListingTest, WithoutLeafSelectionOnlyContainersAreListed) {
    const auto icons = browser::SpecialClassIcons::Lookup();
    const auto top = browser::ListBrowseChildren(context_, "[ROOT]", BrowseFilter{}, icons);
    EXPECT_EQ(Texts(top), std::vector<std::string>{"ACME"});
    const auto org = browser::ListBrowseChildren(context_, "ACME", BrowseFilter{}, icons);
    EXPECT_EQ(Texts(org), (std::vector<std::string>{"DNS", "Sales", "Users"}));
    EXPECT_TRUE(Find(org, "Sales").HasChildren);
    EXPECT_EQ(Find(org, "Sales").Icon, directory::IconIndexForClass("Organizational Unit"));
    EXPECT_EQ(Find(org, "Sales").Name, "Sales.ACME");
}

TEST_F(ListingTest, LeafSelectionWithALocatorFilterKeepsContainersAndLocators) {
    const auto icons = browser::SpecialClassIcons::Lookup();
    BrowseFilter filter;
    filter.LeafMode = true;
    filter.Classes = {"DNIP:Locator"};
    const auto sales = browser::ListBrowseChildren(context_, "Sales.ACME", filter, icons);
    EXPECT_EQ(Texts(sales), (std::vector<std::string>{"empty", "Locator"}));
    EXPECT_FALSE(Find(sales, "empty").HasChildren); // a container without subordinates

    filter.AllLeafs = true; // sorted by text without regard to case
    const auto all = browser::ListBrowseChildren(context_, "Sales.ACME", filter, icons);
    EXPECT_EQ(Texts(all), (std::vector<std::string>{"Alpha", "beta", "empty", "Locator"}));

    const auto org = browser::ListBrowseChildren(context_, "ACME", filter, icons);
    EXPECT_EQ(Texts(org), (std::vector<std::string>{"ACME-FS1_SYS", "DNS", "Sales", "Users"}));
    EXPECT_TRUE(Find(org, "ACME-FS1_SYS").HasChildren); // a volume always may have children

    filter.AllLeafs = false;
    const auto zone = browser::ListBrowseChildren(context_, "example_com.DNS.ACME", filter, icons);
    EXPECT_TRUE(zone.empty()); // the record set "a.b" is neither container nor locator
    filter.Classes.clear();
    const auto records = browser::ListBrowseChildren(context_, "example_com.DNS.ACME", filter, icons);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Text, "a.b");
    EXPECT_EQ(records[0].Name, "a\\.b.example_com.DNS.ACME");
}

TEST_F(ListingTest, UsersWithPosixAccountsGetTheirOwnIcons) {
    const auto icons = browser::SpecialClassIcons::Lookup();
    ASSERT_GE(icons.User, 0);
    BrowseFilter filter;
    filter.LeafMode = true;
    const auto users = browser::ListBrowseChildren(context_, "Users.ACME", filter, icons);
    EXPECT_EQ(Find(users, "admin").Icon, icons.User);
    EXPECT_EQ(Find(users, "appleonly").Icon, icons.User);
    EXPECT_EQ(Find(users, "posix").Icon, directory::GetIconNumber("User-posixAccount"));
    EXPECT_EQ(Find(users, "mac").Icon, directory::GetIconNumber("User-apple"));
    EXPECT_NE(directory::GetIconNumber("User-posixAccount"), icons.User);
}

TEST_F(ListingTest, AFailedListingRaises) {
    nwclient::injectFault(nwclient::Operation::ListContainers, 1, -601);
    EXPECT_THROW(browser::ListBrowseChildren(context_, "ACME", BrowseFilter{}, {}), directory::ENetwareError);
}

TEST_F(ListingTest, FindSearchesBelowTheStartContextAndSorts) {
    EXPECT_EQ(browser::FindBase(""), "[root]");
    EXPECT_EQ(browser::FindObjects(context_, "", "Locator*"),
              (std::vector<std::string>{"Locator.Sales.ACME", "Locator2.DNS.ACME"}));
    EXPECT_EQ(browser::FindObjects(context_, "Sales.ACME", "Locator*"),
              (std::vector<std::string>{"Locator.Sales.ACME"}));
    EXPECT_TRUE(browser::FindObjects(context_, "", "nothing").empty());
}

} // namespace
