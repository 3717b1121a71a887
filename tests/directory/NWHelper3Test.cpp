#include "directory/NWHelper3.h"

#include "directory/NWHelper2.h"

#include "DirectoryFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

using namespace directory;
using directory::testing::DirectoryTest;
using nwclient::Operation;

namespace {

const std::string kWww = "www.example_com.DNS.ACME";
const std::string kZone = "example_com.DNS.ACME";

std::vector<std::string> Names(const std::vector<ObjectEntry>& entries) {
    std::vector<std::string> names;
    for (const auto& entry : entries) {
        names.push_back(entry.Name);
    }
    return names;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

class SearchTest : public DirectoryTest {
protected:
    // Adds count record sets below a new zone, enough for several search passes.
    std::vector<std::string> AddManyRecordSets(int count) {
        EXPECT_EQ(CreateDSObject(context_, "big.DNS.ACME", "DNIP:DNS Zone"), 0);
        std::vector<std::string> names;
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, "host%03d.big.DNS.ACME", i);
            EXPECT_EQ(CreateDSObject(context_, name, "DNIP:DNS RRset"), 0);
            names.emplace_back(name);
        }
        nwclient::resetCallCounts();
        return names;
    }
};

} // namespace

// ---------------------------------------------------------------- class search

TEST_F(SearchTest, FindsTheObjectsOfAClassBelowTheBase) {
    const auto found = SearchObjectsByClass(context_, nullptr, "DNIP:DNS RRset", kZone, true, false, true);
    EXPECT_EQ(Sorted(Names(found)),
              (std::vector<std::string>{"a\\.b.example_com.DNS.ACME", "mail.example_com.DNS.ACME",
                                        "www.example_com.DNS.ACME"}));
    for (const auto& entry : found) {
        EXPECT_FALSE(entry.Object.has_value());
    }
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(SearchTest, EmptyBaseSearchesFromTheRoot) {
    const auto found = SearchObjectsByClass(context_, nullptr, "DNIP:DNS Zone", "", true, false, true);
    EXPECT_EQ(Sorted(Names(found)),
              (std::vector<std::string>{"empty_zone.DNS.ACME", "example_com.DNS.ACME"}));
}

TEST_F(SearchTest, OneLevelAndAnyObjectClass) {
    const auto oneLevel =
        SearchObjectsByClass(context_, nullptr, "Organizational Unit", "ACME", false, false, false);
    EXPECT_EQ(Sorted(Names(oneLevel)), (std::vector<std::string>{"DNS.ACME", "Sales.ACME"}));
    // "Partition" is no base class, but an "Object Class" value of Sales.
    EXPECT_EQ(Names(SearchObjectsByClass(context_, nullptr, "Partition", "", true, false, false)),
              (std::vector<std::string>{"Sales.ACME"}));
    EXPECT_TRUE(SearchObjectsByClass(context_, nullptr, "Partition", "", true, false, true).empty());
}

TEST_F(SearchTest, ReturnedObjectsCarryClassSubordinatesAndPartitionMark) {
    const auto found = SearchObjectsByClass(context_, nullptr, "Organizational Unit", "", true, true, true);
    ASSERT_EQ(found.size(), 2u);
    for (const auto& entry : found) {
        ASSERT_TRUE(entry.Object.has_value());
        EXPECT_EQ(entry.Object->ClassName, "Organizational Unit");
        if (entry.Name == "Sales.ACME") {
            EXPECT_TRUE(entry.Object->PartitionRoot);
            EXPECT_EQ(entry.Object->SubordinateCount, 0);
        } else {
            EXPECT_EQ(entry.Name, "DNS.ACME");
            EXPECT_FALSE(entry.Object->PartitionRoot);
            EXPECT_EQ(entry.Object->SubordinateCount, 3);
            EXPECT_NE(entry.Object->EntryFlags & nwclient::ENTRY_CONTAINER, 0u);
        }
    }
}

TEST_F(SearchTest, CallbackThatStopsAtOnceSearchesNothing) {
    std::vector<std::int32_t> counts;
    const auto found = SearchObjectsByClass(
        context_,
        [&](std::int32_t count) {
            counts.push_back(count);
            return true;
        },
        "DNIP:DNS RRset", "", true, false, true);
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(counts, (std::vector<std::int32_t>{0}));
    EXPECT_EQ(Calls(Operation::Search), 0u);
    EXPECT_EQ(Calls(Operation::AllocateBuffer), 0u);
}

TEST_F(SearchTest, NothingFoundGivesAnEmptyList) {
    EXPECT_TRUE(
        SearchObjectsByClass(context_, nullptr, "DNIP:DNS RRset", "empty_zone.DNS.ACME", true, false, true)
            .empty());
    EXPECT_TRUE(SearchObjectsByClass(context_, nullptr, "No Such Class", "", true, false, true).empty());
}

TEST_F(SearchTest, ManyHitsArriveOverSeveralPasses) {
    const auto names = AddManyRecordSets(150);
    std::int32_t lastCount = 0;
    const auto found = SearchObjectsByClass(
        context_,
        [&](std::int32_t count) {
            lastCount = count;
            return false;
        },
        "DNIP:DNS RRset", "big.DNS.ACME", true, true, true);
    EXPECT_EQ(Sorted(Names(found)), names);
    EXPECT_EQ(lastCount, 150);
    EXPECT_GE(Calls(Operation::Search), 3u);
}

TEST_F(SearchTest, AFailingThirdPassKeepsWhatTheFirstTwoFound) {
    AddManyRecordSets(150);
    const std::uint64_t passesNeeded = [&] {
        SearchObjectsByClass(context_, nullptr, "DNIP:DNS RRset", "big.DNS.ACME", true, false, true);
        return Calls(Operation::Search);
    }();
    ASSERT_GE(passesNeeded, 3u);
    nwclient::resetCallCounts();

    nwclient::injectFault(Operation::Search, 3, nwclient::ERR_SYSTEM_FAILURE);
    const auto found =
        SearchObjectsByClass(context_, nullptr, "DNIP:DNS RRset", "big.DNS.ACME", true, false, true);
    EXPECT_GT(found.size(), 0u);
    EXPECT_LT(found.size(), 150u);
    EXPECT_EQ(Calls(Operation::Search), 3u);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(SearchTest, StoppingBetweenPassesClosesTheIteration) {
    AddManyRecordSets(150);
    const auto found = SearchObjectsByClass(
        context_, [](std::int32_t count) { return count > 0; }, "DNIP:DNS RRset", "big.DNS.ACME", true, false,
        true);
    EXPECT_GT(found.size(), 0u);
    EXPECT_LT(found.size(), 150u);
    EXPECT_EQ(Calls(Operation::Search), 1u);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
}

TEST_F(SearchTest, BadFilterSetupRaises) {
    nwclient::injectFault(Operation::AddFilterToken, 1, nwclient::ERR_INVALID_FILTER_SYNTAX);
    EXPECT_THROW(SearchObjectsByClass(context_, nullptr, "DNIP:DNS RRset", "", true, false, true),
                 ENetwareError);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

// ---------------------------------------------------------------- pattern search

TEST_F(SearchTest, PatternSearchMatchesOwnNamesAndClasses) {
    EXPECT_EQ(SearchByPattern(context_, "", "ww", {}, true, nullptr),
              (std::vector<std::string>{"www.example_com.DNS.ACME", "wwwalias.DNS.ACME"}));
    EXPECT_EQ(SearchByPattern(context_, "", "ww", {"DNIP:DNS RRset"}, true, nullptr),
              (std::vector<std::string>{"www.example_com.DNS.ACME"}));
    EXPECT_EQ(
        Sorted(SearchByPattern(context_, "ACME", "*", {"Alias", "Organizational Unit"}, false, nullptr)),
        (std::vector<std::string>{"DNS.ACME", "Sales.ACME", "wwwalias.DNS.ACME"}));
    EXPECT_TRUE(SearchByPattern(context_, "", "ww", {}, false, nullptr).empty());
    EXPECT_EQ(SearchByPattern(context_, "", "www", {}, false, nullptr),
              (std::vector<std::string>{"www.example_com.DNS.ACME"}));
}

TEST_F(SearchTest, SearchWithAttributesGivesLabelValuePairs) {
    const std::vector<FilterToken> filter{{nwclient::TOKEN_RDN, "", 0},
                                          {nwclient::TOKEN_ATTRIBUTE_NAME, "www", nwclient::SYN_CI_STRING},
                                          {nwclient::TOKEN_END, "", 0}};
    const auto pairs =
        SearchWithAttributes(context_, kZone, filter, nwclient::SCOPE_SUBTREE, nullptr, {"Description"});
    EXPECT_EQ(pairs, (std::vector<std::string>{"Object Name", kWww, "Description", "first", "Description",
                                               "second \"quoted\"", "Description", "third"}));
}

TEST_F(SearchTest, PatternSearchFailureRaisesAndClosesTheIteration) {
    AddManyRecordSets(150);
    nwclient::injectFault(Operation::Search, 2, nwclient::ERR_SYSTEM_FAILURE);
    EXPECT_THROW(SearchByPattern(context_, "big.DNS.ACME", "host", {}, true, nullptr), ENetwareError);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

// ---------------------------------------------------------------- listings

TEST_F(SearchTest, ListingGivesSortedFullNames) {
    const auto all = ListSubordinates(context_, "ACME", true, true);
    EXPECT_EQ(Names(all),
              (std::vector<std::string>{"admin.ACME", "DNS.ACME", "FS1.ACME", "FS2.ACME", "Sales.ACME"}));
    const auto containers = ListSubordinates(context_, "ACME", true, false);
    EXPECT_EQ(Names(containers), (std::vector<std::string>{"DNS.ACME", "Sales.ACME"}));
    ASSERT_TRUE(containers[0].Object.has_value());
    EXPECT_EQ(containers[0].Object->ClassName, "Organizational Unit");
    EXPECT_EQ(containers[0].Object->SubordinateCount, 3);
    EXPECT_NE(containers[0].Object->EntryFlags & nwclient::ENTRY_CONTAINER, 0u);
    EXPECT_FALSE(containers[0].Object->PartitionRoot);
    EXPECT_FALSE(ListSubordinates(context_, "ACME", false, true)[0].Object.has_value());
    EXPECT_EQ(Names(ListSubordinates(context_, kZone, false, true)),
              (std::vector<std::string>{"a\\.b.example_com.DNS.ACME", "mail.example_com.DNS.ACME",
                                        "www.example_com.DNS.ACME"}));
}

TEST_F(SearchTest, LongListingTakesSeveralPasses) {
    const auto names = AddManyRecordSets(600);
    const auto entries = ListSubordinates(context_, "big.DNS.ACME", true, true);
    EXPECT_EQ(Names(entries), names);
    EXPECT_GE(Calls(Operation::ListSubordinates), 2u);
}

TEST_F(SearchTest, ListingFailureRaisesAndClosesTheIteration) {
    AddManyRecordSets(600);
    nwclient::injectFault(Operation::ListSubordinates, 2, nwclient::ERR_SYSTEM_FAILURE);
    EXPECT_THROW(ListSubordinates(context_, "big.DNS.ACME", true, true), ENetwareError);
    EXPECT_EQ(Calls(Operation::CloseIteration), 1u);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
    EXPECT_THROW(ListSubordinates(context_, "missing.ACME", true, true), ENetwareError);
}

TEST_F(SearchTest, ServerPartitions) {
    PutValues("Sales.ACME", "Replica", nwclient::SYN_REPLICA_POINTER,
              {nwclient::ReplicaPointer{"FS1.ACME", 0, 1, {}}});
    PutValues("ACME", "Replica", nwclient::SYN_REPLICA_POINTER,
              {nwclient::ReplicaPointer{"FS1.ACME", 1, 2, {}}});
    EXPECT_EQ(Sorted(ListServerPartitions(context_, "FS1.ACME")),
              (std::vector<std::string>{"ACME", "Sales.ACME"}));
    EXPECT_TRUE(ListServerPartitions(context_, "FS2.ACME").empty());
    try {
        ListServerPartitions(context_, "missing.ACME");
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), nwclient::ERR_NO_SUCH_ENTRY);
    }
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

// ---------------------------------------------------------------- writes

TEST_F(SearchTest, ReplaceAttributeValuesReplacesOrAppends) {
    ReplaceAttributeValues(context_, kWww, "Description", false, "only");
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "", ",", false), "only");
    ReplaceAttributeValues(context_, kWww, "Description", true, "more");
    EXPECT_EQ(ReadAttributeTextEx(context_, kWww, "Description", "", ",", false), "only,more");
    ReplaceAttributeValues(context_, kWww, "DNIP:Host Name", false, "host1");
    EXPECT_EQ(ReadAttributeText(context_, kWww, "DNIP:Host Name", false), "host1");
}

TEST_F(SearchTest, ReplaceAttributeValuesConvertsIntegerText) {
    ReplaceAttributeValues(context_, kZone, "DNIP:Zone Type", false, "4");
    EXPECT_EQ(ReadIntegerAttribute(context_, kZone, "DNIP:Zone Type", -1), 4);
    ReplaceAttributeValues(context_, kWww, "DNIP:Lease Expiration", false, "4102444800");
    EXPECT_EQ(static_cast<std::uint32_t>(ReadIntegerAttribute(context_, kWww, "DNIP:Lease Expiration", 0)),
              4102444800u);
    try {
        ReplaceAttributeValues(context_, kZone, "DNIP:Zone Type", false, "four");
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), kNotAnIntegerResult);
        EXPECT_STREQ(error.what(), "Netware error -8000 (0xFFFFE0C0)");
    }
    EXPECT_THROW(ReplaceAttributeValues(context_, kZone, "DNIP:Zone Type", false, "4294967296"),
                 ENetwareError);
    EXPECT_EQ(ReadIntegerAttribute(context_, kZone, "DNIP:Zone Type", -1), 4);
}

TEST_F(SearchTest, ReplaceAttributeValuesReportsAFailedWrite) {
    nwclient::injectFault(Operation::ModifyObject, 1, nwclient::ERR_SYSTEM_FAILURE);
    try {
        ReplaceAttributeValues(context_, kWww, "Description", false, "lost");
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), nwclient::ERR_SYSTEM_FAILURE);
    }
    // A value the directory refuses is a failed write as well.
    EXPECT_THROW(ReplaceAttributeValues(context_, "missing.ACME", "Description", false, "x"), ENetwareError);
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Description", true), "first");
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(SearchTest, WritesLeaveUnknownAttributesAlone) {
    EXPECT_NO_THROW(ReplaceAttributeValues(context_, kWww, "No Such Attribute", false, "x"));
    EXPECT_NO_THROW(ClearAttribute(context_, kWww, "No Such Attribute"));
    EXPECT_EQ(ReplaceAttributeValue(context_, kWww, "No Such Attribute", false, 1),
              nwclient::ERR_NO_SUCH_ATTRIBUTE);
}

TEST_F(SearchTest, ReplaceAttributeValueReturnsTheClientResult) {
    EXPECT_EQ(ReplaceAttributeValue(context_, kWww, "DNIP:Assignment Type", false, 8), 0);
    EXPECT_EQ(ReadIntegerAttribute(context_, kWww, "DNIP:Assignment Type", 0), 8);
    EXPECT_EQ(ReplaceAttributeValue(context_, kWww, "DNIP:Assignment Type", false, 2), 0);
    EXPECT_EQ(ReadIntegerAttribute(context_, kWww, "DNIP:Assignment Type", 0), 2);
    // A second value of a single-valued attribute.
    EXPECT_EQ(ReplaceAttributeValue(context_, kWww, "DNIP:Assignment Type", true, 3),
              nwclient::ERR_SINGLE_VALUED);
    EXPECT_EQ(ReplaceAttributeValue(context_, "missing.ACME", "DNIP:Assignment Type", false, 3),
              nwclient::ERR_NO_SUCH_ENTRY);
}

TEST_F(SearchTest, ClearAttribute) {
    ClearAttribute(context_, kWww, "Description");
    EXPECT_TRUE(ReadAttributeValues(context_, kWww, "Description", ';').empty());
    EXPECT_NO_THROW(ClearAttribute(context_, kWww, "Description"));
    EXPECT_NO_THROW(ClearAttribute(context_, kWww, "DNIP:Lease Expiration"));
    EXPECT_THROW(ClearAttribute(context_, "missing.ACME", "Description"), ENetwareError);
}

TEST_F(SearchTest, WriteOctetStringReplacesAppendsAndRefusesOtherSyntaxes) {
    const std::vector<std::uint8_t> mac{7, 1, 0, 0x1B, 0x21, 0xAA, 0xBB};
    EXPECT_EQ(WriteOctetString(context_, kWww, "DNIP:CfgPreferences", false, mac).Result, 0);
    EXPECT_EQ(ReadOctetString(context_, kWww, "DNIP:CfgPreferences").Data, mac);
    const std::vector<std::uint8_t> more{1, 2};
    EXPECT_EQ(WriteOctetString(context_, kWww, "DNIP:CfgPreferences", true, more).Result, 0);
    EXPECT_EQ(ReadOctetStringList(context_, kWww, "DNIP:CfgPreferences").Data.size(), 4u + 7u + 4u + 2u);

    const auto refused = WriteOctetString(context_, kWww, "Description", false, mac);
    EXPECT_EQ(refused.Warnings, (std::vector<std::string>{kNotOctetAttributeMessage}));
    EXPECT_EQ(ReadAttributeText(context_, kWww, "Description", true), "first");
}

TEST_F(SearchTest, WriteOctetStringTakesLargeValuesWhole) {
    const std::vector<std::uint8_t> large(60000, 0x5A);
    EXPECT_EQ(WriteOctetString(context_, kWww, "DNIP:CfgPreferences", false, large).Result, 0);
    EXPECT_EQ(ReadOctetString(context_, kWww, "DNIP:CfgPreferences").Data, large);
    // A value beyond the request buffer is an error, never cut.
    const std::vector<std::uint8_t> tooLarge(70000, 0x5B);
    EXPECT_THROW(WriteOctetString(context_, kWww, "DNIP:CfgPreferences", false, tooLarge), ENetwareError);
    EXPECT_EQ(ReadOctetString(context_, kWww, "DNIP:CfgPreferences").Data, large);
}

TEST_F(SearchTest, WriteOctetStringFailureRaises) {
    nwclient::injectFault(Operation::ModifyObject, 1, nwclient::ERR_SYSTEM_FAILURE);
    const std::vector<std::uint8_t> bytes{1};
    EXPECT_THROW(WriteOctetString(context_, kWww, "DNIP:CfgPreferences", false, bytes), ENetwareError);
}

TEST_F(SearchTest, ThreadsReadAndSearchWithTheirOwnContexts) {
    std::vector<std::thread> workers;
    std::atomic<int> failures{0};
    for (int t = 0; t < 3; ++t) {
        nwclient::Context duplicate = 0;
        ASSERT_EQ(nwclient::duplicateContext(context_, duplicate), 0);
        workers.emplace_back([duplicate, &failures] {
            for (int i = 0; i < 20; ++i) {
                if (SearchObjectsByClass(duplicate, nullptr, "DNIP:DNS RRset", kZone, true, true, true)
                            .size() != 3 ||
                    ReadAttributeValues(duplicate, kWww, "Description", ';').size() != 3) {
                    ++failures;
                }
            }
            nwclient::freeContext(duplicate);
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
    EXPECT_EQ(failures, 0);
}
