// INI writes: n keys into one section, then one flush. The time per key should stay flat as n grows.
#include "platform/ini/IniFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

namespace {

void WriteKeysIntoOneSection(benchmark::State& state) {
    const int count = int(state.range(0));
    const auto path =
        std::filesystem::temp_directory_path() / ("ini_bench_" + std::to_string(::getpid()) + ".ini");
    for (auto _ : state) {
        std::filesystem::remove(path);
        {
            ini::IniFile ini(path.string());
            for (int i = 0; i < count; ++i)
                ini.WriteString("Big", "key" + std::to_string(i), std::to_string(i));
            ini.UpdateFile();
        }
    }
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
}

BENCHMARK(WriteKeysIntoOneSection)
    ->Arg(25000)
    ->Arg(50000)
    ->Arg(100000)
    ->Arg(200000)
    ->Arg(400000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

} // namespace

BENCHMARK_MAIN();
