// Record collection on generated trees: DNS with scan threads (with the longest stall of the
// window's event loop) and on the window's thread, DHCP with threads, the start from a cache of
// many rows, and the memory the rows take.

#include "browser/forms/CollectionController.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "directory/NWHelper.h"
#include "platform/nwclient/NWClient.h"
#include "tools/gentree/GeneratorRun.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <thread>

namespace {

using namespace browser;

class BenchEnvironment : public CollectionEnvironment {
public:
    TreeList trees;
    std::vector<std::string> selected;
    std::string dataDirectory;
    CormelianSettings settings;
    ClassIconNumbers icons;

    TreeList& Trees() override { return trees; }
    std::vector<std::string> SelectedTrees() override { return selected; }
    std::string DataDirectory() override { return dataDirectory; }
    const CormelianSettings& Settings() override { return settings; }
    const ClassIconNumbers& Icons() override { return icons; }
    void ResortRecordList(RecordListKind) override {}
    bool ConfirmBrowse(const std::string&) override { return false; }
    std::string BrowseForLocator(ContextHandle) override { return {}; }
    bool WarnSeveralLocators(const std::string&) override { return false; }
    void ShowMessage(const std::string&) override {}
    void ShowStatus(const std::string&) override {}
};

struct Window {
    QWidget owner;
    RecordListModel* dns = new RecordListModel({"IP-address", "Name", "Rec Type", "Zone", "Info"}, &owner);
    RecordListModel* reverse =
        new RecordListModel({"IP-address", "Host name", "Zone", "Description"}, &owner);
    RecordListModel* dhcp = new RecordListModel({"IP-address", "Name", "Type", "Mac-address"}, &owner);
    QWidget* panel = new QWidget(&owner);
    QTreeWidget* lists[6] = {new QTreeWidget(&owner), new QTreeWidget(&owner), new QTreeWidget(&owner),
                             new QTreeWidget(&owner), new QTreeWidget(&owner), new QTreeWidget(&owner)};

    CollectionWidgets Handles() {
        CollectionWidgets w;
        w.dns = dns;
        w.reverse = reverse;
        w.dhcp = dhcp;
        w.dnsView = dns;
        w.reverseView = reverse;
        w.dhcpView = dhcp;
        w.panel = panel;
        SetTag(panel, 0);
        w.zonelist = lists[0];
        w.netslist = lists[1];
        w.lv1 = lists[2];
        w.zonelist2 = lists[3];
        w.netslist2 = lists[4];
        w.lv1a = lists[5];
        return w;
    }
};

struct Fixture {
    std::filesystem::path folder;
    BenchEnvironment environment;
    std::unique_ptr<Window> window;
    std::unique_ptr<CollectionController> controller;
};

Fixture& TheFixture() {
    static Fixture fixture = [] {
        Fixture f;
        char pattern[] = "/tmp/bench-collect-XXXXXX";
        f.folder = mkdtemp(pattern);
        gentree::GeneratorRun run;
        run.outputFolder = (f.folder / "store").string();
        std::filesystem::create_directories(run.outputFolder);
        // 8 forward zones of 5,000 record sets and 2 reverse zones (which the generator caps at 254
        // address sets each, beside the zone's own), 4 records a set: 40,518 sets, about 162,000
        // rows; 4 subnets of 16,384 address objects: 65,536.
        run.trees = {gentree::TreeOptions{"BENCH", 1, 3, gentree::TreeSize{8, 2, 5000, 4, 4, 16384}}};
        run.visible = {true};
        gentree::WriteRun(run);
        QElapsedTimer timer;
        timer.start();
        if (nwclient::initialize((f.folder / "store" / "client.ini").string()) != 0) {
            std::fprintf(stderr, "client: %s\n", nwclient::lastError().c_str());
            std::exit(1);
        }
        std::printf("store loaded in %.1f s\n", timer.elapsed() / 1000.0);
        bool ok = false;
        nwclient::Context context = directory::CreateDSContext(false, false, ok);
        directory::SelectTree(context, "BENCH", false);
        f.environment.trees.Add("BENCH", std::make_unique<treeobj>(context));
        f.environment.selected = {"BENCH"};
        f.environment.dataDirectory = (f.folder / "data").string() + "/";
        std::filesystem::create_directories(f.folder / "data");
        f.environment.icons.tree = 1;
        f.environment.icons.dnsZone = 2;
        f.environment.icons.subnet = 3;
        f.window = std::make_unique<Window>();
        f.controller = std::make_unique<CollectionController>(f.environment, f.window->Handles());
        f.environment.settings.cache = false;
        f.controller->RefreshAllTrees();
        return f;
    }();
    return fixture;
}

// Runs the window's event loop until the scans end; returns the longest gap between two ticks of
// a 1 ms timer, in milliseconds.
double RunUntilScansEnd(CollectionController& controller) {
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.elapsed();
    qint64 longest = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    ticker.start();
    while (controller.ScanAlive(CollectionKind::Dns) || controller.ScanAlive(CollectionKind::Dhcp) ||
           controller.ProgressCount() > 0) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return static_cast<double>(longest);
}

void DnsWithThreads(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.environment.settings.threads = true;
    f.environment.settings.cache = false;
    double stall = 0;
    for (auto _ : state) {
        f.controller->CollectDNS();
        stall = std::max(stall, RunUntilScansEnd(*f.controller));
    }
    state.counters["rows"] = f.window->dns->count() + f.window->reverse->count();
    state.counters["longest_stall_ms"] = stall;
}

void DnsOnTheWindowsThread(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.environment.settings.threads = false;
    f.environment.settings.cache = false;
    for (auto _ : state) {
        f.controller->CollectDNS();
    }
    state.counters["rows"] = f.window->dns->count() + f.window->reverse->count();
}

void DhcpWithThreads(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.environment.settings.threads = true;
    f.environment.settings.cache = false;
    double stall = 0;
    for (auto _ : state) {
        f.controller->CollectDHCP();
        stall = std::max(stall, RunUntilScansEnd(*f.controller));
    }
    state.counters["rows"] = f.window->dhcp->count();
    state.counters["longest_stall_ms"] = stall;
}

// The cache is written by one collection on the window's thread, then the trees load from it.
void StartFromCache(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.environment.settings.threads = false;
    f.environment.settings.cache = true;
    f.controller->ReloadTrees(false);
    f.controller->CollectDNS();
    f.controller->CollectDHCP();
    for (auto _ : state) {
        f.controller->ReloadTrees(true);
    }
    state.counters["rows"] = f.window->dns->count() + f.window->reverse->count() + f.window->dhcp->count();
}

// Heap taken by the rows of the three lists, per 100,000 rows: the lists of a fresh window filled
// from the cache.
void MemoryPer100000Rows(benchmark::State& state) {
    Fixture& f = TheFixture();
    f.environment.settings.cache = true;
    double rows = 0;
    double bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = std::make_unique<Window>();
        auto controller = std::make_unique<CollectionController>(f.environment, window->Handles());
        const std::size_t before = mallinfo2().uordblks;
        state.ResumeTiming();
        controller->LoadFromCache();
        state.PauseTiming();
        bytes = static_cast<double>(mallinfo2().uordblks - before);
        rows = window->dns->count() + window->reverse->count() + window->dhcp->count();
        controller.reset();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["MB_per_100000_rows"] = rows > 0 ? bytes / (1024.0 * 1024.0) * 100000.0 / rows : 0;
}

} // namespace

BENCHMARK(DnsWithThreads)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DnsOnTheWindowsThread)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DhcpWithThreads)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(StartFromCache)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(MemoryPer100000Rows)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TheFixture().controller.reset();
    nwclient::terminate();
    std::filesystem::remove_all(TheFixture().folder);
    return 0;
}
