// Benchmarks of the directory client on a generated tree of 100,000 objects:
// o=BENCH with 5 DNS zones of 10,000 record sets each and 24 subnets of 2,082
// address objects each.
#include "platform/nwclient/Ldif.h"
#include "platform/nwclient/NWClient.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int ZONES = 5;
constexpr int RRSETS_PER_ZONE = 10000;
constexpr int SUBNETS = 24;
constexpr int ADDRESSES_PER_SUBNET = 2082;

fs::path benchFolder() {
    static const fs::path folder =
        fs::temp_directory_path() / ("nwclient_bench_" + std::to_string(::getpid()));
    return folder;
}

std::string rrsetName(int zone, int index) {
    std::string name("h");
    name.append(std::to_string(index)).append(".zone").append(std::to_string(zone)).append(".DNS.BENCH");
    return name;
}

// Writes BENCH.ldif (100,000 objects) and the configuration once.
void prepare() {
    static bool done = false;
    if (done)
        return;
    done = true;
    fs::create_directories(benchFolder());
    std::ofstream out(benchFolder() / "BENCH.ldif", std::ios::binary);
    out << "version: 1\n\ndn: o=BENCH\nobjectClass: organization\no: BENCH\n\n"
        << "dn: ou=DNS,o=BENCH\nobjectClass: organizationalUnit\nou: DNS\n\n"
        << "dn: ou=DHCP,o=BENCH\nobjectClass: organizationalUnit\nou: DHCP\n";
    int objects = 3;
    for (int z = 0; z < ZONES; ++z) {
        std::string zone = "cn=zone" + std::to_string(z) + ",ou=DNS,o=BENCH";
        out << "\ndn: " << zone << "\nobjectClass: dNIPDNSZone\ncn: zone" << z << "\ndnipZoneType: 0\n"
            << "dnipZoneDomainName: zone" << z << ".example.com\n";
        ++objects;
        for (int i = 0; i < RRSETS_PER_ZONE; ++i) {
            std::string rr1(reinterpret_cast<const char*>("\x00\x01\x00\x04\x0a\x00"), 6);
            rr1.push_back(static_cast<char>(i >> 8));
            rr1.push_back(static_cast<char>(i & 0xFF));
            out << "\ndn: cn=h" << i << "," << zone << "\nobjectClass: dNIPDNSRRset\ncn: h" << i
                << "\ndnipDNSDomainName: h" << i << ".zone" << z
                << ".example.com\ndnipRR:: " << nwclient::ldif::base64Encode(rr1)
                << "\ndnipRR:: " << nwclient::ldif::base64Encode(rr1 + "x") << "\n";
            ++objects;
        }
    }
    for (int s = 0; s < SUBNETS; ++s) {
        std::string subnet = "cn=10_" + std::to_string(s) + "_0_0,ou=DHCP,o=BENCH";
        out << "\ndn: " << subnet << "\nobjectClass: dNIPSubnet\ncn: 10_" << s
            << "_0_0\ndnipSubnetAddress: " << (167772160 + s * 65536) << "\ndnipSubnetType: 1\n";
        ++objects;
        for (int a = 0; a < ADDRESSES_PER_SUBNET; ++a) {
            std::string mac("\x07\x01\x00\x11\x22", 5);
            mac.push_back(static_cast<char>(s));
            mac.push_back(static_cast<char>(a >> 8));
            mac.push_back(static_cast<char>(a & 0xFF));
            out << "\ndn: cn=10_" << s << "_" << a / 256 << "_" << a % 256 << "," << subnet
                << "\nobjectClass: dNIPIPAddressConfiguration\ncn: 10_" << s << "_" << a / 256 << "_"
                << a % 256 << "\ndnipHostName: host" << a
                << "\ndnipAssignmentType: 2\ndnipMACAddress:: " << nwclient::ldif::base64Encode(mac)
                << "\ndnipLeaseExpiration: 20300101000000Z\n";
            ++objects;
        }
    }
    out.close();
    std::printf("generated tree: %d objects\n", objects);
    std::ofstream(benchFolder() / "client.ini") << "[Client]\nStore=store.db\n[Trees]\nBENCH=visible\n";
}

// Heap bytes in use.
double heapMiB() {
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

// A new context of a client loaded from the store (imported on first use).
nwclient::Context loadedContext() {
    if (!nwclient::isInitialized()) {
        prepare();
        if (nwclient::initialize((benchFolder() / "client.ini").string()) != 0) {
            std::fprintf(stderr, "initialise: %s\n", nwclient::lastError().c_str());
            std::exit(1);
        }
    }
    nwclient::Context context = 0;
    nwclient::createContext(context);
    return context;
}

// Reads every object of a reply, as a caller walking the result does; returns how many there were.
std::size_t readObjects(nwclient::Context context, nwclient::Buffer* reply) {
    uint32_t count = 0;
    nwclient::objectCount(context, reply, count);
    for (uint32_t i = 0; i < count; ++i) {
        std::string name;
        uint32_t attributes = 0;
        nwclient::ObjectInfo info;
        nwclient::nextObject(context, reply, name, attributes, info);
    }
    return count;
}

void BM_LdifImport(benchmark::State& state) {
    prepare();
    double before = 0, after = 0;
    for (auto _ : state) {
        state.PauseTiming();
        nwclient::terminate();
        fs::remove(benchFolder() / "store.db");
        fs::remove(benchFolder() / "store.db-wal");
        fs::remove(benchFolder() / "store.db-shm");
        before = heapMiB();
        state.ResumeTiming();
        if (nwclient::initialize((benchFolder() / "client.ini").string()) != 0)
            state.SkipWithError(nwclient::lastError().c_str());
        after = heapMiB();
    }
    state.counters["objects"] = 100000;
    state.counters["heap_MiB"] = after - before;
    std::error_code ec;
    auto fileMiB = [&ec](const fs::path& path) {
        return fs::exists(path, ec) ? static_cast<double>(fs::file_size(path, ec)) / (1024.0 * 1024.0) : 0.0;
    };
    state.counters["store_file_MiB"] =
        fileMiB(benchFolder() / "store.db") + fileMiB(benchFolder() / "store.db-wal");
    state.counters["ldif_MiB"] = fileMiB(benchFolder() / "BENCH.ldif");
}
BENCHMARK(BM_LdifImport)->Iterations(2)->Unit(benchmark::kMillisecond);

void BM_LoadFromStore(benchmark::State& state) {
    nwclient::freeContext(loadedContext());
    for (auto _ : state) {
        nwclient::terminate();
        double before = heapMiB();
        if (nwclient::initialize((benchFolder() / "client.ini").string()) != 0)
            state.SkipWithError(nwclient::lastError().c_str());
        state.counters["heap_MiB"] = heapMiB() - before;
    }
}
BENCHMARK(BM_LoadFromStore)->Iterations(2)->Unit(benchmark::kMillisecond);

// One attribute read through the whole read path, as the directory layer does it.
void BM_AttributeRead(benchmark::State& state) {
    nwclient::Context context = loadedContext();
    std::mt19937 random(static_cast<unsigned>(state.thread_index()));
    std::vector<std::string> objects;
    for (int i = 0; i < 1000; ++i)
        objects.push_back(
            rrsetName(static_cast<int>(random() % ZONES), static_cast<int>(random() % RRSETS_PER_ZONE)));
    std::size_t next = 0;
    for (auto _ : state) {
        nwclient::Buffer *request = nullptr, *reply = nullptr;
        nwclient::allocateBuffer(4096, reply);
        nwclient::allocateBuffer(4096, request);
        nwclient::initBuffer(context, nwclient::OP_READ, request);
        nwclient::putAttributeName(context, request, "DNIP:DNS Domain Name");
        int32_t iteration = -1;
        do {
            if (nwclient::read(context, objects[next], nwclient::INFO_ATTRIBUTE_VALUES, false, request,
                               iteration, reply) != 0) {
                state.SkipWithError("read failed");
                break;
            }
            uint32_t count = 0, valueCount = 0, syntax = 0;
            std::string name;
            nwclient::attributeCount(context, reply, count);
            for (uint32_t a = 0; a < count; ++a) {
                nwclient::nextAttribute(context, reply, name, valueCount, syntax);
                for (uint32_t v = 0; v < valueCount; ++v) {
                    nwclient::Value value;
                    nwclient::nextValue(context, reply, syntax, value);
                    benchmark::DoNotOptimize(value);
                }
            }
        } while (iteration != -1);
        nwclient::freeBuffer(request);
        nwclient::freeBuffer(reply);
        next = (next + 1) % objects.size();
    }
    state.SetItemsProcessed(state.iterations());
    nwclient::freeContext(context);
}
BENCHMARK(BM_AttributeRead)->Threads(1)->Threads(3)->UseRealTime();

void BM_SubtreeSearchByClass(benchmark::State& state) {
    nwclient::Context context = loadedContext();
    std::size_t found = 0;
    for (auto _ : state) {
        nwclient::Buffer *filter = nullptr, *reply = nullptr;
        nwclient::FilterCursor* cursor = nullptr;
        nwclient::allocateBuffer(4096, filter);
        nwclient::allocateBuffer(4096, reply);
        nwclient::initBuffer(context, nwclient::OP_SEARCH_FILTER, filter);
        nwclient::allocateFilter(cursor);
        nwclient::addFilterToken(cursor, nwclient::TOKEN_ATTRIBUTE_NAME, "Object Class",
                                 nwclient::SYN_CLASS_NAME);
        nwclient::addFilterToken(cursor, nwclient::TOKEN_EQUAL, "", 0);
        nwclient::addFilterToken(cursor, nwclient::TOKEN_VALUE, "DNIP:DNS RRset", nwclient::SYN_CLASS_NAME);
        nwclient::addFilterToken(cursor, nwclient::TOKEN_END, "", 0);
        nwclient::putFilter(context, filter, cursor);
        int32_t iteration = -1;
        found = 0;
        do {
            if (nwclient::search(context, "BENCH", nwclient::SCOPE_SUBTREE, false, filter,
                                 nwclient::INFO_ATTRIBUTE_VALUES, false, nullptr, iteration, 0, nullptr,
                                 reply) != 0) {
                state.SkipWithError("search failed");
                break;
            }
            found += readObjects(context, reply);
        } while (iteration != -1);
        nwclient::freeBuffer(filter);
        nwclient::freeBuffer(reply);
    }
    nwclient::freeContext(context);
    state.counters["objects_found"] = static_cast<double>(found);
}
BENCHMARK(BM_SubtreeSearchByClass)->Unit(benchmark::kMillisecond);

void BM_ListContainerOf10000(benchmark::State& state) {
    nwclient::Context context = loadedContext();
    std::size_t listed = 0;
    for (auto _ : state) {
        nwclient::Buffer* reply = nullptr;
        nwclient::allocateBuffer(16384, reply);
        int32_t iteration = -1;
        listed = 0;
        do {
            if (nwclient::listSubordinates(context, "zone3.DNS.BENCH", iteration, reply) != 0) {
                state.SkipWithError("list failed");
                break;
            }
            listed += readObjects(context, reply);
        } while (iteration != -1);
        nwclient::freeBuffer(reply);
    }
    nwclient::freeContext(context);
    state.counters["objects_listed"] = static_cast<double>(listed);
}
BENCHMARK(BM_ListContainerOf10000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    nwclient::terminate();
    std::error_code ec;
    fs::remove_all(benchFolder(), ec);
    return 0;
}
