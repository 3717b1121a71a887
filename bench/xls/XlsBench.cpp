// The workbook writer: the 65,535-row benchmark sheet written to a file (the data set already built),
// the same data as 16 sheets with the memory the writer adds to the data set at its peak, and the
// shared string table with many unique strings. Targets: the sheet in at most 0.20 s, the 16 sheets
// adding at most 40 MiB, 800,000 unique strings in under 2 s. The time per string is not flat: it roughly
// doubles between 0.1M and 3.2M strings (about 160 to 310 ns) as the table outgrows the processor's caches.
#include "bench/xls/XlsBenchData.h"
#include "export/xls/ExporterXLS.h"
#include "export/xls/ExporterXLSSST.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// EXPORT_BENCH_KEEP names a folder where each case's last workbook is kept (workbook-<sheets>.xls), so
// that the outputs of two builds can be compared byte for byte.
std::filesystem::path OutputFile(int sheets) {
    const std::string name = "workbook-" + std::to_string(sheets) + ".xls";
    const char* keep = std::getenv("EXPORT_BENCH_KEEP");
    if (keep && *keep)
        return std::filesystem::path(keep) / name;
    return std::filesystem::temp_directory_path() / ("xls_bench_" + std::to_string(::getpid()) + "_" + name);
}

// Arguments: rows, sheets.
void WriteBenchSheets(benchmark::State& state) {
    const int rows = int(state.range(0)), sheets = int(state.range(1));
    exporter::TMemoryDataSet data;
    xlsbench::FillBenchSheet(data, rows);
    const auto path = OutputFile(sheets);
    const bool measured = xlsbench::ResetPeakMemory();
    const double before = xlsbench::ResidentMiB();
    for (auto _ : state) {
        exporter::TExporterXLS xls;
        xlsbench::UseSheets(xls, data, sheets);
        xls.FileName = path.string();
        xls.Execute();
    }
    if (measured)
        state.counters["peak_MiB_over_data"] = xlsbench::PeakMiB() - before;
    state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
    if (!std::getenv("EXPORT_BENCH_KEEP") || !*std::getenv("EXPORT_BENCH_KEEP"))
        std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * rows * sheets);
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

BENCHMARK(WriteBenchSheets)
    ->ArgNames({"rows", "sheets"})
    ->Args({65535, 1})
    ->Args({65535, 16})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(AddUniqueStrings)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Arg(800000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->Complexity(benchmark::oN);

BENCHMARK_MAIN();
