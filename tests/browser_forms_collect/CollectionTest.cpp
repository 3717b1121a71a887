#include "CollectFixture.h"

#include "browser/forms/PageButtons.h"
#include "platform/commit/CommitTesting.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <QTimer>

#include <cerrno>
#include <optional>
#include <random>
#include <thread>

using namespace browser;
using collect_test::DirectoryFixture;

namespace {

gentree::TreeOptions Tree(const std::string& name, int index, int setsPerZone = 40, int addresses = 80) {
    return gentree::TreeOptions{name, index, 7, gentree::TreeSize{3, 1, setsPerZone, 4, 2, addresses}};
}

std::uint64_t DirectoryCalls() {
    std::uint64_t calls = 0;
    for (nwclient::Operation operation :
         {nwclient::Operation::Read, nwclient::Operation::Search, nwclient::Operation::DuplicateContext,
          nwclient::Operation::ListSubordinates}) {
        calls += nwclient::callCount(operation);
    }
    return calls;
}

class CollectionTest : public DirectoryFixture {
protected:
    struct Lists {
        std::vector<RecordRow> dns, reverse, dhcp;
        bool operator==(const Lists&) const = default;
    };

    Lists Current() const { return {widgets.dns->rows(), widgets.reverse->rows(), widgets.dhcp->rows()}; }

    // Both collections on the window's thread.
    Lists CollectDirect() {
        environment.settings.threads = false;
        Controller().CollectDNS();
        Controller().CollectDHCP();
        return Current();
    }

    Lists CollectThreaded() {
        environment.settings.threads = true;
        Controller().CollectDNS();
        Controller().CollectDHCP();
        WaitForScans();
        return Current();
    }

    static bool IsPrefix(const std::vector<RecordRow>& part, const std::vector<RecordRow>& whole) {
        return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
    }

    void ExpectIdle() {
        EXPECT_FALSE(Controller().ScanAlive(CollectionKind::Dns));
        EXPECT_FALSE(Controller().ScanAlive(CollectionKind::Dhcp));
        EXPECT_EQ(Controller().ProgressCount(), 0);
        EXPECT_TRUE(widgets.panel->isHidden());
    }
};

} // namespace

TEST_F(CollectionTest, ThreadsAndTheWindowsThreadGiveTheSameRowsInTheSameOrder) {
    const gentree::GeneratedTree generated = gentree::GenerateTree(Tree("ACME", 1));
    StartGenerated({Tree("ACME", 1)});
    environment.settings.cache = false;
    Controller().RefreshAllTrees();

    const Lists direct = CollectDirect();
    std::size_t dnsRows = 0, dhcpRows = 0;
    for (const gentree::ExpectedRow& row : generated.rows) {
        (row.list == "DHCP" ? dhcpRows : dnsRows)++;
    }
    EXPECT_EQ(direct.dns.size() + direct.reverse.size(), dnsRows);
    EXPECT_EQ(direct.dhcp.size(), dhcpRows);
    ASSERT_FALSE(direct.reverse.empty());
    EXPECT_EQ(direct.dns.front().rowReference, 1); // the first zone's row
    EXPECT_EQ(direct.dns.front().tree, "ACME");

    const Lists threaded = CollectThreaded();
    EXPECT_TRUE(threaded == direct);
    ExpectIdle();
    EXPECT_EQ(widgets.dnsSearch->property("ImageIndex").toInt(), kDnsSearchStarted);
    EXPECT_EQ(widgets.dhcpSearch->property("ImageIndex").toInt(), kDhcpSearchStarted);
    EXPECT_FALSE(std::filesystem::exists(data.Path() / "data/ACME/zones.ini"));
}

TEST_F(CollectionTest, ZonesOfTwoTreesAreReadEachWithItsOwnContextAndCache) {
    StartGenerated({Tree("ACME", 1, 10, 10), Tree("GLOBEX", 2, 10, 10)});
    Controller().RefreshAllTrees();
    const Lists direct = CollectDirect();
    EXPECT_EQ(direct.dns.front().tree, "ACME");
    EXPECT_EQ(direct.dns.back().tree, "GLOBEX");
    const std::string acme = data.Read("data/ACME/zones.ini");
    const std::string globex = data.Read("data/GLOBEX/zones.ini");
    EXPECT_NE(acme.find(".ACME]"), std::string::npos);
    EXPECT_EQ(acme.find(".GLOBEX]"), std::string::npos);
    EXPECT_NE(globex.find(".GLOBEX]"), std::string::npos);
    EXPECT_NE(data.Read("data/GLOBEX/subnets.ini").find("STAMP="), std::string::npos);
    EXPECT_TRUE(CollectThreaded() == direct);
}

TEST_F(CollectionTest, TheCacheGivesTheRowsBackWithoutAskingTheDirectory) {
    StartGenerated({Tree("ACME", 1, 15, 30)});
    Controller().RefreshAllTrees();
    const Lists direct = CollectDirect();

    // The record pages reload from the cache.
    nwclient::resetCallCounts();
    Controller().LoadDNSFromCache();
    Controller().LoadDHCPFromCache();
    EXPECT_EQ(DirectoryCalls(), 0u);
    auto withoutAge = [](std::vector<RecordRow> rows) {
        for (RecordRow& row : rows) {
            EXPECT_EQ(row.stateIndex, row.list == RecordListKind::Dhcp
                                          ? 0
                                          : CacheAgeClass(rtl::DateToStr(rtl::Now()), rtl::Now()));
            row.stateIndex = -1;
        }
        return rows;
    };
    EXPECT_EQ(withoutAge(widgets.dns->rows()), direct.dns);
    EXPECT_EQ(withoutAge(widgets.reverse->rows()), direct.reverse);
    EXPECT_EQ(withoutAge(widgets.dhcp->rows()), direct.dhcp);

    // The next start: the object lists and record rows from the cache, once (no duplicates), and
    // still without the directory.
    const int zoneRows = widgets.zonelist()->topLevelItemCount();
    Controller().ReloadTrees(true);
    EXPECT_EQ(DirectoryCalls(), 0u);
    EXPECT_EQ(widgets.zonelist()->topLevelItemCount(), zoneRows); // one tree: no separator either way
    EXPECT_EQ(withoutAge(widgets.dns->rows()), direct.dns);
    EXPECT_EQ(withoutAge(widgets.dhcp->rows()), direct.dhcp);
    EXPECT_GT(environment.resorts, 0);
    // Again, in the storage of the rows the cache gave: the same rows.
    Controller().ReloadTrees(true);
    EXPECT_EQ(withoutAge(widgets.dns->rows()), direct.dns);
    EXPECT_EQ(withoutAge(widgets.reverse->rows()), direct.reverse);
    EXPECT_EQ(withoutAge(widgets.dhcp->rows()), direct.dhcp);

    // A zone without a section is read from the directory and gets one.
    ini::IniFile(data.Directory() + "data/ACME/zones.ini").EraseSection(direct.dns.front().container);
    Controller().LoadDNSFromCache();
    EXPECT_GT(DirectoryCalls(), 0u);
    EXPECT_EQ(widgets.dns->rows().size(), direct.dns.size());
    EXPECT_TRUE(
        ini::IniFile(data.Directory() + "data/ACME/zones.ini").SectionExists(direct.dns.front().container));
}

TEST_F(CollectionTest, AZoneWithoutSectionStartsUncheckedFromTheCache) {
    StartGenerated({Tree("ACME", 1, 5, 5)});
    Controller().RefreshAllTrees();
    CollectDirect();
    const std::string first = ObjectRowOf(widgets.zonelist()->topLevelItem(1)).FullName();
    ini::IniFile(data.Directory() + "data/ACME/zones.ini").EraseSection(first);
    Controller().ReloadTrees(true);
    EXPECT_EQ(RowState(widgets.zonelist()->topLevelItem(1)), kStateUnchecked);
    EXPECT_EQ(RowState(widgets.zonelist()->topLevelItem(2)), kStateChecked);
}

TEST_F(CollectionTest, AStopDuringADirectReadEndsAtTheNext32ndObject) {
    StartGenerated({Tree("ACME", 1, 100, 5)});
    environment.settings.cache = false;
    environment.settings.threads = false;
    Controller().RefreshAllTrees();
    // The stop arrives while the read lets the window's events run after its first object.
    QTimer::singleShot(0, [this] { Controller().StopCommand(); });
    Controller().CollectDNS();
    const std::size_t afterOne = widgets.dns->count() + widgets.reverse->count();
    EXPECT_GT(afterOne, 0u);
    EXPECT_LE(afterOne, 8u); // one record set's rows
    ExpectIdle();
    EXPECT_GT(environment.resorts, 0);
    EXPECT_EQ(widgets.dnsSearch->property("ImageIndex").toInt(), kDnsSearchStarted);
}

TEST_F(CollectionTest, AScanCountsAsRunningUntilEverythingItPostedIsApplied) {
    StartGenerated({Tree("ACME", 1, 10, 10)});
    environment.settings.cache = false;
    Controller().RefreshAllTrees();
    const Lists direct = CollectDirect();

    environment.settings.threads = true;
    Controller().CollectDNS();
    // The thread reads and ends meanwhile; its rows and its sort wait for the window's events.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_TRUE(Controller().ScanAlive(CollectionKind::Dns));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (Controller().ScanAlive(CollectionKind::Dns) && std::chrono::steady_clock::now() < deadline)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    // Whoever waits for the scan to end, as a batch run does, finds every row in sorted order.
    EXPECT_EQ(widgets.dns->rows(), direct.dns);
    EXPECT_EQ(widgets.reverse->rows(), direct.reverse);
}

TEST_F(CollectionTest, StopInTheMiddleOfAScanKeepsWhatWasReadInOrder) {
    StartGenerated({Tree("ACME", 1, 300, 400)});
    environment.settings.cache = false;
    Controller().RefreshAllTrees();
    const Lists full = CollectDirect();

    environment.settings.threads = true;
    Controller().CollectDNS();
    Controller().CollectDHCP();
    EXPECT_EQ(Controller().ProgressCount(), 2);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (widgets.dns->count() < 50 && std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Controller().StopCommand();
    ExpectIdle();
    EXPECT_TRUE(directory::ProtectFlag.ReadStopRequested());
    EXPECT_GE(widgets.dns->count(), 50);
    EXPECT_TRUE(IsPrefix(widgets.dns->rows(), full.dns));
    EXPECT_TRUE(IsPrefix(widgets.dhcp->rows(), full.dhcp));
    EXPECT_EQ(widgets.dnsSearch->property("ImageIndex").toInt(), kDnsSearchIdle);
    EXPECT_EQ(widgets.dhcpSearch->property("ImageIndex").toInt(), kDhcpSearchIdle);
}

TEST_F(CollectionTest, BothScansAtOnceWithRandomStops) {
    StartGenerated({Tree("ACME", 1, 60, 120)});
    environment.settings.cache = false;
    Controller().RefreshAllTrees();
    const Lists full = CollectDirect();
    environment.settings.threads = true;
    std::mt19937 random(12345);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        Controller().CollectDNS();
        if (round % 3 != 0) {
            Controller().CollectDHCP();
        }
        const int waits = static_cast<int>(random() % 20);
        for (int i = 0; i < waits; ++i) {
            QApplication::processEvents(QEventLoop::AllEvents, 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 3));
        }
        Controller().Stop();
        ExpectIdle();
        EXPECT_TRUE(IsPrefix(widgets.dns->rows(), full.dns));
        EXPECT_TRUE(IsPrefix(widgets.reverse->rows(), full.reverse));
        EXPECT_TRUE(IsPrefix(widgets.dhcp->rows(), full.dhcp));
    }
    // Left to finish, the same rows as on the window's thread.
    EXPECT_TRUE(CollectThreaded() == full);
    ExpectIdle();
}

TEST_F(CollectionTest, OneScanOfEachKindAndThePanelStaysUntilBothEnd) {
    StartGenerated({Tree("ACME", 1, 200, 300)});
    environment.settings.cache = false;
    environment.settings.threads = true;
    Controller().RefreshAllTrees();
    Controller().CollectDNS();
    EXPECT_TRUE(Controller().ScanAlive(CollectionKind::Dns));
    EXPECT_FALSE(Controller().StartDNSScan(
        BuildScanList(widgets.zonelist(), environment.icons.dnsZone, environment.trees)));
    Controller().CollectDNS(); // refused while alive: counts nothing
    Controller().CollectDHCP();
    EXPECT_EQ(Controller().ProgressCount(), 2);
    EXPECT_FALSE(widgets.panel->isHidden());
    WaitForScans();
    ExpectIdle();
    const Lists once = Current();
    EXPECT_TRUE(CollectThreaded() == once);
}

TEST_F(CollectionTest, ACacheReloadStopsTheRunningScanOfItsKind) {
    StartGenerated({Tree("ACME", 1, 200, 10)});
    Controller().RefreshAllTrees();
    const Lists direct = CollectDirect(); // fills the cache
    environment.settings.threads = true;
    Controller().CollectDNS();
    Controller().LoadDNSFromCache();
    EXPECT_FALSE(Controller().ScanAlive(CollectionKind::Dns));
    QApplication::processEvents();
    EXPECT_EQ(widgets.dns->count(), static_cast<int>(direct.dns.size()));
    EXPECT_EQ(widgets.reverse->count(), static_cast<int>(direct.reverse.size()));
    ExpectIdle();
}

TEST_F(CollectionTest, NoCheckedZoneEmptiesTheListsAndAFailedReadStillEnds) {
    StartGenerated({Tree("ACME", 1, 5, 5)});
    environment.settings.cache = false;
    Controller().RefreshAllTrees();
    CollectDirect();
    ASSERT_GT(widgets.dns->count(), 0);
    Controller().SetAllZones(false);
    Controller().CollectDNS();
    EXPECT_EQ(widgets.dns->count(), 0);
    EXPECT_EQ(widgets.reverse->count(), 0);
    ExpectIdle();

    Controller().SetAllZones(true);
    nwclient::injectFault(nwclient::Operation::Search, 2, -601);
    environment.settings.threads = true;
    Controller().CollectDNS();
    WaitForScans();
    ExpectIdle();
    environment.settings.threads = false;
    nwclient::injectFault(nwclient::Operation::DuplicateContext, 1, -601);
    Controller().CollectDNS();
    EXPECT_EQ(widgets.dns->count(), 0);
    ExpectIdle();
}

TEST_F(CollectionTest, ACacheFileThatCannotBeWrittenIsReportedAndTheOldOneStays) {
    StartGenerated({Tree("ACME", 1, 5, 5)});
    Controller().RefreshAllTrees();
    CollectDirect();
    const std::string zones = (data.Path() / "data/ACME/zones.ini").string();
    const std::string old = data.Read("data/ACME/zones.ini");
    ASSERT_FALSE(old.empty());
    const auto entries = test_support::EntryNames(data.Path() / "data/ACME");
    const struct {
        const char* name;
        bool threads;
        bool writeProtected;
        std::string error;
    } cases[] = {
        {"full disk, window's thread", false, false,
         "Cannot write file " + zones + ". No space left on device"},
        {"full disk, scan thread", true, false, "Cannot write file " + zones + ". No space left on device"},
        {"write-protected", false, true,
         "Cannot create file " + zones + ". Existing file " + zones + " is not writable"},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        environment.statuses.clear();
        environment.settings.threads = testCase.threads;
        std::optional<commit::testing::ScopedWriteFault> fault;
        if (testCase.writeProtected) {
            std::filesystem::permissions(zones, std::filesystem::perms::owner_read);
        } else {
            fault.emplace(100, ENOSPC);
        }
        Controller().CollectDNS();
        WaitForScans();
        fault.reset();
        std::filesystem::permissions(zones, std::filesystem::perms::owner_read |
                                                std::filesystem::perms::owner_write);
        const CollectionOutcome& outcome = Controller().LastOutcome(CollectionKind::Dns);
        EXPECT_TRUE(outcome.failed);
        EXPECT_TRUE(outcome.cacheFailed);
        EXPECT_EQ(outcome.failure, testCase.error);
        EXPECT_EQ(environment.statuses, std::vector<std::string>{CacheWriteFailedText(testCase.error)});
        EXPECT_EQ(data.Read("data/ACME/zones.ini"), old);
        EXPECT_EQ(test_support::EntryNames(data.Path() / "data/ACME"), entries);
        ExpectIdle();
    }
    // With room again the collection finishes and says nothing.
    environment.statuses.clear();
    Controller().CollectDNS();
    WaitForScans();
    EXPECT_FALSE(Controller().LastOutcome(CollectionKind::Dns).failed);
    EXPECT_TRUE(environment.statuses.empty());
}

TEST_F(CollectionTest, ADirectReadWaitsForNoThreadAndLeavesItsCountAlone) {
    StartGenerated({Tree("ACME", 1, 300, 5)});
    environment.settings.cache = false;
    environment.settings.threads = true;
    Controller().RefreshAllTrees();
    Controller().CollectDNS();
    ASSERT_TRUE(Controller().ScanAlive(CollectionKind::Dns));
    // Threads switched off meanwhile: the road on the window's thread does not start beside it.
    environment.settings.threads = false;
    Controller().CollectDNS();
    EXPECT_TRUE(Controller().ScanAlive(CollectionKind::Dns));
    EXPECT_EQ(Controller().ProgressCount(), 1);
    Controller().CollectDHCP(); // the other kind runs on the window's thread meanwhile
    EXPECT_GT(widgets.dhcp->count(), 0);
    EXPECT_EQ(Controller().ProgressCount(), Controller().ScanAlive(CollectionKind::Dns) ? 1 : 0);
    WaitForScans();
    ExpectIdle();
}

TEST(PageButtons, EachPageEnablesItsCommands) {
    const PageButtonStates dns = ButtonStatesForPage(0);
    EXPECT_TRUE(dns.hosts && dns.print && dns.save && dns.collect);
    EXPECT_FALSE(dns.selectAll || dns.deleteDhcp);
    const PageButtonStates dhcp = ButtonStatesForPage(2);
    EXPECT_TRUE(dhcp.deleteDhcp && dhcp.print);
    EXPECT_FALSE(dhcp.hosts);
    const PageButtonStates zones = ButtonStatesForPage(3);
    EXPECT_TRUE(zones.selectAll && zones.collect);
    EXPECT_FALSE(zones.print || zones.save);
    const PageButtonStates misc = ButtonStatesForPage(5);
    EXPECT_TRUE(misc.collect);
    EXPECT_FALSE(misc.selectAll);
    const PageButtonStates check = ButtonStatesForPage(6);
    EXPECT_TRUE(check.save && check.selectAll);
    EXPECT_FALSE(check.collect);
    const PageButtonStates lookup = ButtonStatesForPage(7);
    EXPECT_TRUE(lookup.save);
    EXPECT_FALSE(lookup.collect || lookup.selectAll || lookup.print);
}
