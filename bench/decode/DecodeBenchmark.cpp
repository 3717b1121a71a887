// Record decoding throughput against ldns parsing and printing the same records, and the time to
// generate a tree of 100,000 objects.

#include "browser/records/RRSetDecoder.h"
#include "tools/gentree/TreeGenerator.h"

#include <benchmark/benchmark.h>
#include <ldns/ldns.h>

#include <cstdio>
#include <map>
#include <sstream>

namespace {

// The record sets of a generated tree as the directory delivers them.
struct RecordSet {
    browser::RRSetFacts facts;
    std::vector<std::uint8_t> values;
};

struct Corpus {
    std::vector<RecordSet> sets;
    std::vector<std::vector<std::uint8_t>> wireRecords; // root owner + record, for ldns
    std::size_t records = 0;
};

const Corpus& TheCorpus() {
    static const Corpus corpus = [] {
        Corpus c;
        gentree::GeneratedTree tree = gentree::GenerateTree(
            gentree::TreeOptions{"BENCH", 1, 1, gentree::TreeSize{8, 4, 1000, 5, 0, 0}});
        for (const gentree::LdifEntry& entry : tree.entries) {
            RecordSet set;
            set.facts.objectName = entry.dn;
            set.facts.readDescription = [] { return std::string("benchmark host"); };
            for (const gentree::LdifAttribute& attribute : entry.attributes) {
                if (attribute.name == "dnipDNSDomainName") {
                    set.facts.domainName = attribute.value.text;
                } else if (attribute.name == "dnipRR") {
                    const std::string& value = attribute.value.text;
                    auto size = static_cast<std::uint32_t>(value.size());
                    for (int shift = 0; shift < 32; shift += 8) {
                        set.values.push_back(static_cast<std::uint8_t>(size >> shift));
                    }
                    set.values.insert(set.values.end(), value.begin(), value.end());
                    std::vector<std::uint8_t> wire = {0};
                    wire.insert(wire.end(), value.begin(), value.end());
                    c.wireRecords.push_back(std::move(wire));
                    ++c.records;
                }
            }
            if (!set.values.empty()) {
                c.sets.push_back(std::move(set));
            }
        }
        return c;
    }();
    return corpus;
}

void BM_DecodeRecordSets(benchmark::State& state) {
    const Corpus& corpus = TheCorpus();
    std::vector<browser::RecordRow> rows;
    rows.reserve(corpus.records);
    for (auto _ : state) {
        rows.clear();
        for (const RecordSet& set : corpus.sets) {
            browser::DecodeRRSetValues(set.facts, set.values, browser::RowOrigin{}, rows);
        }
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corpus.records));
}
BENCHMARK(BM_DecodeRecordSets)->Unit(benchmark::kMillisecond);

void BM_LdnsParseAndPrint(benchmark::State& state) {
    const Corpus& corpus = TheCorpus();
    for (auto _ : state) {
        std::size_t printed = 0;
        for (const std::vector<std::uint8_t>& wire : corpus.wireRecords) {
            ldns_rr* rr = nullptr;
            size_t position = 0;
            if (ldns_wire2rr(&rr, wire.data(), wire.size(), &position, LDNS_SECTION_ANSWER) ==
                LDNS_STATUS_OK) {
                char* text = ldns_rr2str(rr);
                printed += text != nullptr ? std::char_traits<char>::length(text) : 0;
                LDNS_FREE(text);
                ldns_rr_free(rr);
            }
        }
        benchmark::DoNotOptimize(printed);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * corpus.records));
}
BENCHMARK(BM_LdnsParseAndPrint)->Unit(benchmark::kMillisecond);

// 10 zones x 5,000 record sets and 10 subnets x 5,000 addresses: about 100,000 objects, written as
// LDIF text.
void BM_GenerateTree100k(benchmark::State& state) {
    std::size_t objects = 0;
    for (auto _ : state) {
        gentree::GeneratedTree tree = gentree::GenerateTree(
            gentree::TreeOptions{"BIG", 1, 7, gentree::TreeSize{10, 0, 5000, 3, 10, 5000}});
        std::ostringstream ldif;
        gentree::WriteLdif(ldif, tree.entries);
        objects = tree.entries.size();
        benchmark::DoNotOptimize(ldif.str().size());
    }
    state.counters["objects"] = static_cast<double>(objects);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * objects));
}
BENCHMARK(BM_GenerateTree100k)->Unit(benchmark::kMillisecond)->Iterations(3);

// Prints the runs as usual and, at the end, the ratio of the decoder's rate to ldns's.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            auto rate = run.counters.find("items_per_second");
            if (rate != run.counters.end()) {
                rates_[run.benchmark_name()] = rate->second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        double decode = rates_["BM_DecodeRecordSets"];
        double ldns = rates_["BM_LdnsParseAndPrint"];
        if (decode > 0 && ldns > 0) {
            std::printf(
                "records: %zu; decoder %.0f records/s, ldns %.0f records/s, ratio decoder/ldns %.2f\n",
                TheCorpus().records, decode, ldns, decode / ldns);
        }
    }

private:
    std::map<std::string, double> rates_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
