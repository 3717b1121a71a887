#include "directory/NWHelper.h"

#include "DirectoryFixture.h"
#include "TestNode.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <shared_mutex>
#include <thread>

using namespace directory;
using directory::testing::DirectoryTest;
using nwclient::Operation;

// ---------------------------------------------------------------- result check

TEST(CheckNWError, ZeroPassesEverythingElseRaisesWithCodeAndText) {
    EXPECT_EQ(CheckNWError(0), 0);
    try {
        CheckNWError(-603);
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_STREQ(error.what(), "Netware error -603 (0xFFFFFDA5)");
        EXPECT_EQ(error.Code(), -603);
    }
    try {
        CheckNWError(0x89FC);
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_STREQ(error.what(), "Netware error 35324 (0x89FC)");
    }
    EXPECT_EQ(NetwareErrorText(-8000), "Netware error -8000 (0xFFFFE0C0)");
}

TEST(CheckNWError, AcceptedCodesPass) {
    EXPECT_EQ(CheckNWErrorIn(-603, {0, -603}), -603);
    EXPECT_EQ(CheckNWErrorIn(0, {0, -603}), 0);
    EXPECT_THROW(CheckNWErrorIn(-601, {0, -603}), ENetwareError);
    EXPECT_THROW(CheckNWErrorIn(0, {}), ENetwareError);
}

// ---------------------------------------------------------------- contexts

TEST_F(DirectoryTest, CreateDSContextSetsFlagsAndConfidence) {
    std::uint32_t flags = 0;
    ASSERT_EQ(nwclient::getContextKey(context_, nwclient::KEY_FLAGS, flags), 0);
    EXPECT_EQ(flags & (1u | 4u | 16u | 128u), 4u);

    SetConfidenceSetting(2);
    bool ok = false;
    const NWDSContextHandle other = CreateDSContext(true, true, ok);
    SetConfidenceSetting(0);
    ASSERT_TRUE(ok);
    ASSERT_EQ(nwclient::getContextKey(other, nwclient::KEY_FLAGS, flags), 0);
    EXPECT_EQ(flags & (1u | 4u | 16u | 128u), 1u | 4u | 16u);
    std::uint32_t confidence = 0;
    ASSERT_EQ(nwclient::getContextKey(other, nwclient::KEY_CONFIDENCE, confidence), 0);
    EXPECT_EQ(confidence, 2u);
    nwclient::freeContext(other);
}

TEST_F(DirectoryTest, CreateDSContextFreesTheContextWhenALaterStepFails) {
    nwclient::injectFault(Operation::SetContextKey, 1, nwclient::ERR_BAD_KEY);
    bool ok = true;
    const NWDSContextHandle handle = CreateDSContext(false, false, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(handle, 0u);
    EXPECT_EQ(Calls(Operation::CreateContext), 1u);
    EXPECT_EQ(Calls(Operation::FreeContext), 1u);
}

TEST_F(DirectoryTest, CreateDSContextReportsAFailedCreate) {
    nwclient::injectFault(Operation::CreateContext, 1, nwclient::ERR_NO_CLIENT);
    bool ok = true;
    CreateDSContext(false, false, ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(Calls(Operation::FreeContext), 0u);
}

// ---------------------------------------------------------------- trees

TEST_F(DirectoryTest, TreeScanListsEveryVisibleTreeOnceAndSorted) {
    // ACME is reported once per server, ZETA before ACME; HIDDEN not at all.
    const auto trees = ScanAvailableTrees(context_);
    EXPECT_EQ(trees, (std::vector<std::string>{"ACME", "ZETA"}));
    EXPECT_GE(Calls(Operation::ScanTreeName), 4u);
    EXPECT_EQ(Calls(Operation::CloseConnection), 1u);
}

TEST_F(DirectoryTest, TreeScanFailureRaisesAndClosesTheConnection) {
    nwclient::injectFault(Operation::ScanTreeName, 2, nwclient::ERR_NO_CONNECTION);
    try {
        ScanAvailableTrees(context_);
        FAIL() << "no error raised";
    } catch (const ENetwareError& error) {
        EXPECT_EQ(error.Code(), nwclient::ERR_NO_CONNECTION);
    }
    EXPECT_EQ(Calls(Operation::CloseConnection), 1u);
}

TEST_F(DirectoryTest, SelectTreeSwitchesTreeAndNameContext) {
    EXPECT_EQ(GetContextTreeName(context_), "ACME");
    EXPECT_EQ(SelectTree(context_, "ZETA", false), 0);
    EXPECT_EQ(GetContextTreeName(context_), "ZETA");
    std::string nameContext;
    ASSERT_EQ(nwclient::getContextKey(context_, nwclient::KEY_NAME_CONTEXT, nameContext), 0);
    EXPECT_EQ(nameContext, "Z");
}

TEST_F(DirectoryTest, SelectTreeOfTheCurrentTreeWritesNothing) {
    EXPECT_EQ(SelectTree(context_, "ACME", false), 0);
    EXPECT_EQ(Calls(Operation::SetContextKey), 0u);
    EXPECT_EQ(Calls(Operation::SetPreferredTree), 0u);
    EXPECT_EQ(SelectTree(context_, "ACME", true), 0);
    EXPECT_EQ(Calls(Operation::SetContextKey), 0u);
    EXPECT_EQ(Calls(Operation::SetPreferredTree), 1u);
}

TEST_F(DirectoryTest, SelectTreeReturnsFailuresUnraised) {
    EXPECT_EQ(SelectTree(context_, "NOSUCHTREE", true), nwclient::ERR_UNKNOWN_TREE);
    EXPECT_EQ(Calls(Operation::SetPreferredTree), 0u);
    EXPECT_EQ(GetContextTreeName(context_), "ACME");
}

TEST_F(DirectoryTest, SelectTreeCanMakeTheTreePreferred) {
    EXPECT_EQ(SelectTree(context_, "ZETA", true), 0);
    bool ok = false;
    const NWDSContextHandle fresh = CreateDSContext(false, false, ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(GetContextTreeName(fresh), "ZETA");
    nwclient::freeContext(fresh);
}

// ---------------------------------------------------------------- objects

TEST_F(DirectoryTest, CreateDSObjectAddsAnObjectAndReturnsFailuresUnraised) {
    EXPECT_EQ(CreateDSObject(context_, "new.example_com.DNS.ACME", "DNIP:DNS RRset"), 0);
    EXPECT_EQ(GetObjectBaseClass(context_, "new.example_com.DNS.ACME"), "DNIP:DNS RRset");
    EXPECT_EQ(CreateDSObject(context_, "new.example_com.DNS.ACME", "DNIP:DNS RRset"),
              nwclient::ERR_ENTRY_ALREADY_EXISTS);
    EXPECT_EQ(CreateDSObject(context_, "x.nowhere.ACME", "DNIP:DNS RRset"), nwclient::ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(DirectoryTest, BaseClassAndContainerTest) {
    EXPECT_EQ(GetObjectBaseClass(context_, "www.example_com.DNS.ACME"), "DNIP:DNS RRset");
    EXPECT_EQ(GetObjectBaseClass(context_, "Sales.ACME"), "Organizational Unit");
    EXPECT_TRUE(IsContainer(context_, "DNS.ACME"));
    EXPECT_TRUE(IsContainer(context_, "example_com.DNS.ACME"));
    EXPECT_FALSE(IsContainer(context_, "www.example_com.DNS.ACME"));
    EXPECT_THROW(GetObjectBaseClass(context_, "missing.ACME"), ENetwareError);
    EXPECT_THROW(IsContainer(context_, "missing.ACME"), ENetwareError);
}

TEST_F(DirectoryTest, ProbeObjectReturnsTheReadResult) {
    EXPECT_EQ(ProbeObject(context_, "www.example_com.DNS.ACME"), 0);
    EXPECT_EQ(ProbeObject(context_, "missing.ACME"), nwclient::ERR_NO_SUCH_ENTRY);
    EXPECT_EQ(Calls(Operation::FreeBuffer), Calls(Operation::AllocateBuffer));
}

TEST_F(DirectoryTest, ProbeObjectStopsOnAFailedLaterPass) {
    // Enough attribute values that the names-only read still takes several passes
    // would depend on the client's packing; a failure injected at the first pass
    // must end the loop at once.
    nwclient::injectFault(Operation::Read, 1, nwclient::ERR_SYSTEM_FAILURE);
    EXPECT_EQ(ProbeObject(context_, "www.example_com.DNS.ACME"), nwclient::ERR_SYSTEM_FAILURE);
    EXPECT_EQ(Calls(Operation::Read), 1u);
}

TEST_F(DirectoryTest, ResolveAliasFollowsAnAliasOnly) {
    EXPECT_EQ(ResolveAlias(context_, "wwwalias.DNS.ACME"), "www.example_com.DNS.ACME");
    EXPECT_EQ(ResolveAlias(context_, "www.example_com.DNS.ACME"), "www.example_com.DNS.ACME");
    EXPECT_THROW(ResolveAlias(context_, "missing.ACME"), ENetwareError);
}

using directory::testing::Node;

TEST_F(DirectoryTest, NodeBaseClassUsesTheNodePath) {
    const Node root("[Root]", nullptr);
    const Node acme("ACME", &root);
    const Node dns("DNS", &acme);
    const Node zone("example_com", &dns);
    const Node dotted("a.b", &zone);
    EXPECT_EQ(GetNodeBaseClass(context_, &zone), "DNIP:DNS Zone");
    EXPECT_EQ(GetNodeBaseClass(context_, &dotted), "DNIP:DNS RRset");
}

// ---------------------------------------------------------------- time

namespace {

// Sets the process time zone for one test and restores it.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            old_ = old;
            hadOld_ = true;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (hadOld_) {
            setenv("TZ", old_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::string old_;
    bool hadOld_ = false;
};

class TimeSettings : public ::testing::Test {
protected:
    void SetUp() override {
        format_ = DateTimeFormat();
        noUtc_ = NoUTCConversion();
        SetDateTimeFormat("yyyy-mm-dd hh:nn:ss");
    }
    void TearDown() override {
        SetDateTimeFormat(format_);
        SetNoUTCConversion(noUtc_);
    }
    std::string format_;
    bool noUtc_ = false;
};

} // namespace

TEST_F(TimeSettings, StoredTimesWithUtcConversionOff) {
    SetNoUTCConversion(true);
    EXPECT_EQ(NDSTimeToText(0), "1970-01-01 00:00:00");
    EXPECT_EQ(NDSTimeToText(1704110400), "2024-01-01 12:00:00");
    EXPECT_EQ(NDSTimeToText(86399), "1970-01-01 23:59:59");
    // Unsigned seconds: beyond 2038.
    EXPECT_EQ(NDSTimeToText(4102444800u), "2100-01-01 00:00:00");
    EXPECT_DOUBLE_EQ(NDSTimeToDateTime(86400 * 2), kDirectoryEpoch + 2);
}

TEST_F(TimeSettings, LocalTimesAddTheZoneOffset) {
    TimeZone zone("XYZ-02:30");
    SetNoUTCConversion(false);
    EXPECT_EQ(NDSTimeToText(0), "1970-01-01 02:30:00");
    SetNoUTCConversion(true);
    EXPECT_EQ(NDSTimeToText(0), "1970-01-01 00:00:00");
}

TEST(TimeSettingsDefaults, DefaultFormatIsShortDateBlankLongTime) {
    const std::string format = DateTimeFormat();
    EXPECT_NE(format.find(' '), std::string::npos);
    EXPECT_FALSE(format.empty());
}

// ---------------------------------------------------------------- stop flag

TEST(StopFlag, ReadAndWrittenUnderItsLocks) {
    ProtectFlag.WriteStopRequested(true);
    EXPECT_TRUE(ProtectFlag.ReadStopRequested());
    {
        std::shared_lock reading(ProtectFlag);
        EXPECT_TRUE(ProtectFlag.StopRequested);
    }
    std::thread writer([] { ProtectFlag.WriteStopRequested(false); });
    writer.join();
    EXPECT_FALSE(ProtectFlag.ReadStopRequested());
}
