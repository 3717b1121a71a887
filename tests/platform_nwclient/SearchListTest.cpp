#include "ClientFixture.h"
#include "ReadHelpers.h"

#include <algorithm>

using namespace nwclient;
using namespace nwclient_test;

using SearchTest = ClientFixture;

TEST_F(SearchTest, ClassAnywhereInObjectClassOverTheSubtree) {
    Buffer* filter = makeFilter(
        context_,
        {{TOKEN_ATTRIBUTE_NAME, "Object Class"}, {TOKEN_EQUAL, ""}, {TOKEN_VALUE, "dnip:dns rrset"}});
    ObjectsResult found = searchObjects(context_, "[Root]", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    ASSERT_EQ(found.result, 0);
    EXPECT_EQ(namesOf(found),
              (std::vector<std::string>{"host\\.one.example_com.DNS.ACME", "mail.example_com.DNS.ACME",
                                        "www.example_com.DNS.ACME"}));
    EXPECT_EQ(found.objects[2].info.baseClass, "DNIP:DNS RRset");
}

TEST_F(SearchTest, PartitionClassMatchesAnyObjectClassValue) {
    Buffer* filter = makeFilter(
        context_, {{TOKEN_ATTRIBUTE_NAME, "Object Class"}, {TOKEN_EQUAL, ""}, {TOKEN_VALUE, "Partition"}});
    ObjectsResult found = searchObjects(context_, "", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    EXPECT_EQ(namesOf(found), (std::vector<std::string>{"ACME"}));
}

TEST_F(SearchTest, ScopesAndTheBaseObject) {
    Buffer* filter = makeFilter(context_, {{TOKEN_BASE_CLASS, ""}, {TOKEN_ATTRIBUTE_NAME, "*"}});
    ObjectsResult base = searchObjects(context_, "DNS.ACME", SCOPE_BASE, filter);
    ObjectsResult level = searchObjects(context_, "DNS.ACME", SCOPE_ONE_LEVEL, filter);
    ObjectsResult subtree = searchObjects(context_, "DNS.ACME", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    EXPECT_EQ(namesOf(base), (std::vector<std::string>{"DNS.ACME"}));
    EXPECT_EQ(namesOf(level),
              (std::vector<std::string>{"10_0_0_0.DNS.ACME", "example_com.DNS.ACME", "Locator.DNS.ACME"}));
    EXPECT_EQ(subtree.objects.size(), 8u);
    EXPECT_EQ(subtree.objects.front().name, "DNS.ACME") << "scope 2 includes the base";
}

TEST_F(SearchTest, AndBindsTighterThanOr) {
    // base class Alias  OR  (name w*  AND  base class DNIP:DNS RRset)
    Buffer* filter = makeFilter(context_, {{TOKEN_BASE_CLASS, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "alias"},
                                           {TOKEN_OR, ""},
                                           {TOKEN_RDN, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "W*"},
                                           {TOKEN_AND, ""},
                                           {TOKEN_BASE_CLASS, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "DNIP:DNS*"}});
    ObjectsResult found = searchObjects(context_, "[root]", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    EXPECT_EQ(namesOf(found), (std::vector<std::string>{"www.example_com.DNS.ACME", "SalesLink.ACME"}));
}

TEST_F(SearchTest, ParenthesesAndPatternSearchLikeTheObjectBrowser) {
    // (class User OR class Alias) AND name *a*
    Buffer* filter = makeFilter(context_, {{TOKEN_OPEN, ""},
                                           {TOKEN_BASE_CLASS, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "User"},
                                           {TOKEN_OR, ""},
                                           {TOKEN_BASE_CLASS, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "Alias"},
                                           {TOKEN_CLOSE, ""},
                                           {TOKEN_AND, ""},
                                           {TOKEN_RDN, ""},
                                           {TOKEN_ATTRIBUTE_NAME, "*A*"}});
    ObjectsResult found = searchObjects(context_, "ACME", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    EXPECT_EQ(namesOf(found), (std::vector<std::string>{"admin.ACME", "SalesLink.ACME"}));
}

TEST_F(SearchTest, MalformedFiltersAreRejected) {
    int32_t result = 0;
    Buffer* filter =
        makeFilter(context_, {{TOKEN_OPEN, ""}, {TOKEN_RDN, ""}, {TOKEN_ATTRIBUTE_NAME, "x"}}, &result);
    EXPECT_EQ(result, ERR_INVALID_FILTER_SYNTAX);
    freeBuffer(filter);
    filter = makeFilter(context_, {{TOKEN_ATTRIBUTE_NAME, "CN"}, {TOKEN_VALUE, "x"}}, &result);
    EXPECT_EQ(result, ERR_INVALID_FILTER_SYNTAX);
    freeBuffer(filter);
    FilterCursor* cursor = nullptr;
    ASSERT_EQ(allocateFilter(cursor), 0);
    EXPECT_EQ(addFilterToken(cursor, 3, "", 0), ERR_INVALID_FILTER_SYNTAX);
    EXPECT_EQ(freeFilter(cursor), 0);
}

TEST_F(SearchTest, SmallRepliesGiveStableMultiPassResults) {
    ObjectsResult whole = searchObjects(context_, "[Root]", SCOPE_SUBTREE, nullptr);
    ObjectsResult small = searchObjects(context_, "[Root]", SCOPE_SUBTREE, nullptr, 120);
    ASSERT_EQ(small.result, 0);
    EXPECT_EQ(whole.passes, 1);
    EXPECT_GT(small.passes, 5);
    EXPECT_EQ(namesOf(small), namesOf(whole));
    EXPECT_EQ(whole.objects.size(), 17u) << "the root and every object";
}

TEST_F(SearchTest, SnapshotIsTakenAtTheFirstPass) {
    ScopedBuffer reply(120);
    int32_t iteration = -1;
    std::vector<std::string> names;
    bool removed = false;
    do {
        ASSERT_EQ(search(context_, "[Root]", SCOPE_SUBTREE, false, nullptr, INFO_ATTRIBUTE_NAMES, false,
                         nullptr, iteration, 0, nullptr, reply),
                  0);
        uint32_t count = 0;
        ASSERT_EQ(objectCount(context_, reply, count), 0);
        for (uint32_t i = 0; i < count; ++i) {
            FoundObject object;
            ASSERT_EQ(nextObject(context_, reply, object.name, object.attributeCount, object.info), 0);
            names.push_back(object.name);
        }
        if (!removed) {
            ASSERT_EQ(removeObject(context_, "mail.example_com.DNS.ACME"), 0);
            removed = true;
        }
    } while (iteration != -1);
    EXPECT_EQ(names.size(), 17u);
    EXPECT_NE(std::find(names.begin(), names.end(), "mail.example_com.DNS.ACME"), names.end());
}

TEST_F(SearchTest, RequestedAttributesComeWithEachObject) {
    ScopedBuffer names(4096), reply(4096);
    ASSERT_EQ(initBuffer(context_, OP_SEARCH, names), 0);
    ASSERT_EQ(putAttributeName(context_, names, "DNIP:DNS Domain Name"), 0);
    Buffer* filter = makeFilter(context_, {{TOKEN_RDN, ""}, {TOKEN_ATTRIBUTE_NAME, "www"}});
    int32_t iteration = -1;
    ASSERT_EQ(search(context_, "ACME", SCOPE_SUBTREE, false, filter, INFO_ATTRIBUTE_VALUES, false, names,
                     iteration, 0, nullptr, reply),
              0);
    freeBuffer(filter);
    EXPECT_EQ(iteration, -1);
    uint32_t count = 0, attributes = 0, valueCount = 0, syntax = 0;
    ASSERT_EQ(objectCount(context_, reply, count), 0);
    ASSERT_EQ(count, 1u);
    std::string name, attribute;
    ObjectInfo info;
    ASSERT_EQ(nextObject(context_, reply, name, attributes, info), 0);
    ASSERT_EQ(attributes, 1u);
    ASSERT_EQ(nextAttribute(context_, reply, attribute, valueCount, syntax), 0);
    EXPECT_EQ(attribute, "DNIP:DNS Domain Name");
    Value value;
    ASSERT_EQ(nextValue(context_, reply, syntax, value), 0);
    EXPECT_EQ(std::get<std::string>(value), "www.example.com");
    EXPECT_EQ(nextObject(context_, reply, name, attributes, info), ERR_BUFFER_EMPTY);
}

TEST_F(SearchTest, SearchBelowAMissingBase) {
    EXPECT_EQ(searchObjects(context_, "nowhere.ACME", SCOPE_SUBTREE, nullptr).result, ERR_NO_SUCH_ENTRY);
    Buffer* filter = makeFilter(context_, {{TOKEN_RDN, ""}, {TOKEN_ATTRIBUTE_NAME, "zzz*"}});
    ObjectsResult none = searchObjects(context_, "ACME", SCOPE_SUBTREE, filter);
    freeBuffer(filter);
    EXPECT_EQ(none.result, 0);
    EXPECT_TRUE(none.objects.empty());
}

using ListTest = ClientFixture;

TEST_F(ListTest, SubordinatesAreLeafNamesInNameOrder) {
    ObjectsResult all = listObjects(context_, "ACME", false);
    ASSERT_EQ(all.result, 0);
    EXPECT_EQ(namesOf(all),
              (std::vector<std::string>{"admin", "DNS", "FS1", "Sales", "SalesLink", "Staff", "SYS"}));
    ObjectsResult containers = listObjects(context_, "ACME", true);
    EXPECT_EQ(namesOf(containers), (std::vector<std::string>{"DNS", "Sales", "SalesLink"}));
    EXPECT_EQ(containers.objects[2].info.entryFlags, ENTRY_ALIAS | ENTRY_CONTAINER_ALIAS);
}

TEST_F(ListTest, SmallRepliesTakeSeveralPasses) {
    ObjectsResult small = listObjects(context_, "ACME", false, 100);
    EXPECT_GT(small.passes, 2);
    EXPECT_EQ(small.objects.size(), 7u);
    EXPECT_EQ(listObjects(context_, "ACME", false, 20).result, ERR_INSUFFICIENT_BUFFER);
}

TEST_F(ListTest, ListOfALeafIsEmptyAndOfAMissingObjectFails) {
    ObjectsResult leaf = listObjects(context_, "admin.ACME", false);
    EXPECT_EQ(leaf.result, 0);
    EXPECT_TRUE(leaf.objects.empty());
    EXPECT_EQ(listObjects(context_, "ghost.ACME", false).result, ERR_NO_SUCH_ENTRY);
}

TEST_F(ListTest, PartitionsOfAServer) {
    ScopedBuffer reply(4096);
    int32_t iteration = -1;
    ASSERT_EQ(listPartitions(context_, "FS1.ACME", iteration, reply), 0);
    EXPECT_EQ(iteration, -1);
    uint32_t count = 0, type = 99;
    ASSERT_EQ(partitionCount(context_, reply, count), 0);
    ASSERT_EQ(count, 1u);
    std::string name;
    ASSERT_EQ(nextPartition(context_, reply, name, type), 0);
    EXPECT_EQ(name, "ACME");
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(nextPartition(context_, reply, name, type), ERR_BUFFER_EMPTY);
    iteration = -1;
    EXPECT_EQ(listPartitions(context_, "admin.ACME", iteration, reply), ERR_NO_MORE_PARTITIONS);
    EXPECT_EQ(iteration, -1);
    EXPECT_EQ(listPartitions(context_, "FS9.ACME", iteration, reply), ERR_NO_SUCH_ENTRY);
}
