#include "ClientFixture.h"
#include "ReadHelpers.h"

#include "platform/nwclient/Names.h"

using namespace nwclient;
using namespace nwclient_test;

using ContextsTest = ClientFixture;

TEST_F(ContextsTest, NewContextIsBoundToThePreferredTreeAndItsNameContext) {
    std::string tree, nameContext;
    EXPECT_EQ(getContextKey(context_, KEY_TREE_NAME, tree), 0);
    EXPECT_EQ(tree, "ACME");
    EXPECT_EQ(getContextKey(context_, KEY_NAME_CONTEXT, nameContext), 0);
    EXPECT_EQ(nameContext, "[Root]");
    uint32_t flags = 0;
    EXPECT_EQ(getContextKey(context_, KEY_FLAGS, flags), 0);
    EXPECT_TRUE(flags & FLAG_TYPELESS_NAMES);
}

TEST_F(ContextsTest, DuplicateCopiesEveryKey) {
    ASSERT_EQ(setContextKey(context_, KEY_FLAGS, FLAG_TYPELESS_NAMES), 0);
    ASSERT_EQ(setContextKey(context_, KEY_CONFIDENCE, 2u), 0);
    ASSERT_EQ(setContextKey(context_, KEY_CONNECTION, 77u), 0);
    ASSERT_EQ(setContextKey(context_, KEY_TREE_NAME, std::string("lab")), 0);
    ASSERT_EQ(setContextKey(context_, KEY_NAME_CONTEXT, std::string("LAB")), 0);
    Context copy = 0;
    ASSERT_EQ(duplicateContext(context_, copy), 0);
    EXPECT_NE(copy, context_);
    uint32_t number = 0;
    std::string text;
    EXPECT_EQ(getContextKey(copy, KEY_FLAGS, number), 0);
    EXPECT_EQ(number, FLAG_TYPELESS_NAMES);
    EXPECT_EQ(getContextKey(copy, KEY_CONFIDENCE, number), 0);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(getContextKey(copy, KEY_CONNECTION, number), 0);
    EXPECT_EQ(number, 77u);
    EXPECT_EQ(getContextKey(copy, KEY_TREE_NAME, text), 0);
    EXPECT_EQ(text, "LAB") << "stored in the case the tree scan reports";
    EXPECT_EQ(getContextKey(copy, KEY_NAME_CONTEXT, text), 0);
    EXPECT_EQ(text, "LAB");
    EXPECT_EQ(freeContext(copy), 0);
    EXPECT_EQ(freeContext(copy), ERR_BAD_CONTEXT);
}

TEST_F(ContextsTest, KeysRejectWrongTypesUnknownKeysAndUnknownTrees) {
    std::string text;
    uint32_t number = 0;
    EXPECT_EQ(getContextKey(context_, KEY_FLAGS, text), ERR_BAD_KEY);
    EXPECT_EQ(getContextKey(context_, KEY_TREE_NAME, number), ERR_BAD_KEY);
    EXPECT_EQ(getContextKey(context_, 99, number), ERR_BAD_KEY);
    EXPECT_EQ(setContextKey(context_, KEY_TREE_NAME, std::string("NOWHERE")), ERR_UNKNOWN_TREE);
    EXPECT_EQ(getContextKey(12345, KEY_FLAGS, number), ERR_BAD_CONTEXT);
}

TEST_F(ContextsTest, DefaultNameContextIsKnownForHiddenTreesToo) {
    ASSERT_EQ(setContextKey(context_, KEY_TREE_NAME, std::string("LAB")), 0);
    std::string nameContext;
    EXPECT_EQ(defaultNameContext(context_, nameContext), 0);
    EXPECT_EQ(nameContext, "LAB");
}

TEST_F(ContextsTest, PreferredTreeBindsLaterContexts) {
    EXPECT_EQ(setPreferredTree("nowhere"), ERR_UNKNOWN_TREE);
    ASSERT_EQ(setPreferredTree("lab"), 0);
    Context later = 0;
    ASSERT_EQ(createContext(later), 0);
    std::string tree;
    EXPECT_EQ(getContextKey(later, KEY_TREE_NAME, tree), 0);
    EXPECT_EQ(tree, "LAB");
    freeContext(later);
}

TEST_F(ContextsTest, OperationsWithoutClientFail) {
    terminate();
    Context context = 0;
    EXPECT_EQ(createContext(context), ERR_NO_CLIENT);
    ASSERT_EQ(initialize(configPath()), 0);
}

TEST_F(ContextsTest, FreeingAContextClosesItsIterations) {
    Context worker = 0;
    ASSERT_EQ(duplicateContext(context_, worker), 0);
    ScopedBuffer reply(200);
    int32_t iteration = -1;
    ASSERT_EQ(listSubordinates(worker, "ACME", iteration, reply), 0);
    ASSERT_NE(iteration, -1);
    ASSERT_EQ(freeContext(worker), 0);
    EXPECT_EQ(listSubordinates(context_, "ACME", iteration, reply), ERR_INVALID_ITERATION);
}

// ---------------------------------------------------------------- names
using NamesTest = ClientFixture;

TEST_F(NamesTest, NamesMatchWithoutRegardToCaseAndReturnStoredCase) {
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "WWW.Example_COM.dns.acme", dn, info), 0);
    EXPECT_EQ(dn, "www.example_com.DNS.ACME");
    EXPECT_EQ(info.baseClass, "DNIP:DNS RRset");
    EXPECT_EQ(info.entryFlags, 0u);
}

TEST_F(NamesTest, EscapedDotsBelongToTheComponent) {
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "host\\.one.example_com.DNS.ACME", dn, info), 0);
    EXPECT_EQ(dn, "host\\.one.example_com.DNS.ACME");
    EXPECT_EQ(objectInfo(context_, "host.one.example_com.DNS.ACME", dn, info), ERR_NO_SUCH_ENTRY);
    ObjectsResult list = listObjects(context_, "example_com.DNS.ACME", false);
    EXPECT_EQ(namesOf(list), (std::vector<std::string>{"host\\.one", "mail", "www"}));
}

TEST_F(NamesTest, RootInAnyCaseAlsoAsTrailingComponent) {
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "[root]", dn, info), 0);
    EXPECT_EQ(dn, "[Root]");
    EXPECT_EQ(info.baseClass, "Tree Root");
    EXPECT_EQ(info.entryFlags, ENTRY_CONTAINER);
    EXPECT_EQ(info.subordinateCount, 1u);
    ASSERT_EQ(objectInfo(context_, "Sales.ACME.[ROOT]", dn, info), 0);
    EXPECT_EQ(dn, "Sales.ACME");
}

TEST_F(NamesTest, RelativeNamesUseTheNameContextUnlessAbsolute) {
    ASSERT_EQ(setContextKey(context_, KEY_NAME_CONTEXT, std::string("DNS.ACME")), 0);
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "example_com", dn, info), 0);
    EXPECT_EQ(dn, "example_com.DNS.ACME");
    EXPECT_EQ(objectInfo(context_, "Sales.ACME", dn, info), ERR_NO_SUCH_ENTRY);
    ASSERT_EQ(objectInfo(context_, ".Sales.ACME", dn, info), 0);
    ASSERT_EQ(objectInfo(context_, "Sales.ACME.[Root]", dn, info), 0);
    EXPECT_EQ(dn, "Sales.ACME");
}

TEST_F(NamesTest, EntryFlagsAndSubordinateCounts) {
    std::string dn;
    ObjectInfo info;
    ASSERT_EQ(objectInfo(context_, "example_com.DNS.ACME", dn, info), 0);
    EXPECT_EQ(info.entryFlags, ENTRY_CONTAINER) << "zones are containers";
    EXPECT_EQ(info.subordinateCount, 3u);
    ASSERT_EQ(objectInfo(context_, "10_0_0_0.DNS.ACME", dn, info), 0);
    EXPECT_EQ(info.entryFlags, ENTRY_CONTAINER) << "subnets are containers";
    ASSERT_EQ(objectInfo(context_, "SalesLink.ACME", dn, info), 0);
    EXPECT_EQ(info.baseClass, "Alias") << "aliases read as themselves";
    EXPECT_EQ(info.entryFlags, ENTRY_ALIAS | ENTRY_CONTAINER_ALIAS);
    ASSERT_EQ(objectInfo(context_, "admin.ACME", dn, info), 0);
    EXPECT_EQ(info.entryFlags, 0u);
    EXPECT_EQ(info.subordinateCount, 0u);
    EXPECT_GT(info.modificationTime, 0u);
}

TEST_F(NamesTest, MalformedNamesAreRejected) {
    std::string dn;
    ObjectInfo info;
    EXPECT_EQ(objectInfo(context_, "a..b", dn, info), ERR_INVALID_OBJECT_NAME);
    EXPECT_EQ(objectInfo(context_, "ACME.", dn, info), ERR_INVALID_OBJECT_NAME);
    EXPECT_EQ(objectInfo(context_, "ACME\\", dn, info), ERR_INVALID_OBJECT_NAME);
    EXPECT_EQ(objectInfo(context_, "x.[Root].ACME", dn, info), ERR_INVALID_OBJECT_NAME);
}

TEST(NameRules, ParseJoinAndWildcards) {
    names::Components components;
    bool absolute = false;
    ASSERT_EQ(names::parse("a\\.b.c.d", components, absolute), 0);
    EXPECT_EQ(components, (names::Components{"a.b", "c", "d"}));
    EXPECT_FALSE(absolute);
    EXPECT_EQ(names::join(components), "a\\.b.c.d");
    EXPECT_EQ(names::join({}), "[Root]");
    EXPECT_TRUE(names::wildcardMatch("DNIP:*", "dnip:DNS Zone"));
    EXPECT_TRUE(names::wildcardMatch("*ww*", "www"));
    EXPECT_TRUE(names::wildcardMatch("a*b*c", "aXXbYbZc"));
    EXPECT_FALSE(names::wildcardMatch("a*b*c", "aXXbYbZ"));
    EXPECT_TRUE(names::wildcardMatch("*", ""));
    EXPECT_FALSE(names::wildcardMatch("w", "ww"));
}
