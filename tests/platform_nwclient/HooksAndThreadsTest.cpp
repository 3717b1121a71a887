#include "ClientFixture.h"
#include "ReadHelpers.h"

#include <atomic>
#include <thread>

using namespace nwclient;
using namespace nwclient_test;

using HooksTest = ClientFixture;

TEST_F(HooksTest, FaultFailsTheNthCallOnly) {
    injectFault(Operation::Read, 2, -635);
    EXPECT_EQ(readObject(context_, "admin.ACME", {"CN"}).result, 0);
    EXPECT_EQ(readObject(context_, "admin.ACME", {"CN"}).result, -635);
    EXPECT_EQ(readObject(context_, "admin.ACME", {"CN"}).result, 0);
}

TEST_F(HooksTest, FaultsOnSeveralOperationsAndClearing) {
    injectFault(Operation::ScanTreeName, 1, 0x8801);
    injectFault(Operation::Login, 1, -669);
    int32_t iteration = -1;
    std::string name;
    EXPECT_EQ(scanTreeName(context_, 0, 0, iteration, name), 0x8801);
    EXPECT_EQ(iteration, -1) << "a faulted call does nothing";
    EXPECT_EQ(login(context_, 0, "admin.ACME", "secret"), -669);
    injectFault(Operation::CreateContext, 1, -1);
    clearFaults();
    Context other = 0;
    EXPECT_EQ(createContext(other), 0);
    freeContext(other);
}

TEST_F(HooksTest, InitialisationItselfCanBeFaulted) {
    terminate();
    injectFault(Operation::Initialize, 1, 0x8801);
    EXPECT_EQ(initialize(configPath()), 0x8801);
    EXPECT_FALSE(isInitialized());
    ASSERT_EQ(initialize(configPath()), 0);
}

TEST_F(HooksTest, CallCountersCountEveryCall) {
    resetCallCounts();
    readObject(context_, "admin.ACME", {"CN", "Surname"});
    EXPECT_EQ(callCount(Operation::Read), 1u);
    EXPECT_EQ(callCount(Operation::AllocateBuffer), 2u);
    EXPECT_EQ(callCount(Operation::FreeBuffer), 2u);
    EXPECT_EQ(callCount(Operation::PutAttributeName), 2u);
    EXPECT_EQ(callCount(Operation::NextValue), 2u);
    EXPECT_EQ(callCount(Operation::Search), 0u);
    resetCallCounts();
    EXPECT_EQ(callCount(Operation::Read), 0u);
}

using ThreadsTest = ClientFixture;

TEST_F(ThreadsTest, ThreeReadersWithTheirOwnContextsWhileAWriterWrites) {
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    std::atomic<int> reads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        Context own = 0;
        ASSERT_EQ(duplicateContext(context_, own), 0);
        readers.emplace_back([own, &stop, &failures, &reads] {
            while (!stop) {
                ReadResult read = readObject(own, "jdoe.Sales.ACME", {"Description"}, 64);
                // every read sees a whole state: the three first values, then any appended ones
                if (read.result != 0 || read.values.size() < 3 ||
                    std::get<std::string>(read.values[0].value) != "first")
                    ++failures;
                ObjectsResult found = searchObjects(own, "ACME", SCOPE_SUBTREE, nullptr, 200);
                if (found.result != 0 || found.objects.size() < 16)
                    ++failures;
                ++reads;
            }
            freeContext(own);
        });
    }
    for (int i = 0; i < 40; ++i) {
        std::string text = "extra " + std::to_string(i);
        ASSERT_EQ(modify(context_, "jdoe.Sales.ACME",
                         {{CHANGE_ADD_VALUE, "Description", SYN_CI_STRING, Value(text)}}),
                  0);
        ASSERT_EQ(addObject(context_, "n" + std::to_string(i) + ".Sales.ACME",
                            {{"Object Class", {{SYN_CLASS_NAME, Value(std::string("User"))}}}}),
                  0);
    }
    while (reads < 30)
        std::this_thread::yield();
    stop = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(readObject(context_, "jdoe.Sales.ACME", {"Description"}).values.size(), 43u);
}
