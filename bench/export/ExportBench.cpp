// Every file exporter writing 100,000 rows x 10 columns (ids, names with quotes and commas, cities with
// accents, integers, floats, a currency, a date, a time, a date-time, a Boolean: ExportBenchData.h) from a
// data set built in memory once. The target is under 0.1 s per export and at most five times the time `dd`
// takes to copy the same bytes to a file in 4 KB blocks (x_dd; x_dd1M against 1 MB blocks, which leaves
// the copy only the page cache's own cost); scripts/compare-csv-python.sh
// times the CSV export (csv_write_table) against Python's csv module and sqlite3 as whole processes.
#include "bench/export/ExportBenchData.h"
#include "export/core/ExporterASCII.h"
#include "export/core/ExporterDBF.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterMemorySources.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "export/core/ExporterXML.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <system_error>
#include <unistd.h>

namespace {

using namespace exporter;

// The rows of the benchmark: 100,000, or EXPORT_BENCH_ROWS (fewer rows keep a run under callgrind short).
int Rows() {
    static const int rows = [] {
        const char* given = std::getenv("EXPORT_BENCH_ROWS");
        return given && std::atoi(given) > 0 ? std::atoi(given) : 100000;
    }();
    return rows;
}

// The rows of the benchmark, built once.
const TMemoryDataSet& Data() {
    static const TMemoryDataSet data = [] {
        TMemoryDataSet ds;
        exportbench::FillExportBenchData(ds, Rows());
        return ds;
    }();
    return data;
}

// EXPORT_BENCH_KEEP names a folder where each export's last file is kept (export.<extension>), so that
// the outputs of two builds can be compared byte for byte.
const char* KeepFolder() {
    const char* folder = std::getenv("EXPORT_BENCH_KEEP");
    return folder && *folder ? folder : nullptr;
}

std::string OutputFile(const std::string& extension) {
    if (const char* keep = KeepFolder())
        return (std::filesystem::path(keep) / ("export" + extension)).string();
    return (std::filesystem::temp_directory_path() /
            ("export_bench_" + std::to_string(::getpid()) + extension))
        .string();
}

// The seconds `dd` takes to copy the file to a new one in blocks of the given size (the best of three, the
// process start included): the disk's own time for the export's bytes.
double DdSeconds(const std::string& file, const char* blockSize) {
    const std::string copy = file + ".dd";
    const std::string command = "dd if='" + file + "' of='" + copy + "' bs=" + blockSize + " status=none";
    double best = 0;
    for (int run = 0; run < 3; ++run) {
        std::error_code ignored;
        std::filesystem::remove(copy, ignored);
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0)
            return 0;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = run == 0 ? took.count() : std::min(best, took.count());
    }
    std::error_code ignored;
    std::filesystem::remove(copy, ignored);
    return best;
}

// Runs one exporter over the data set, writing a file each iteration. The counter x_dd is the export's
// time over that of `dd` copying its file in 4 KB blocks (the target: at most 5), x_dd1M over 1 MB blocks.
void RunExport(benchmark::State& state, const std::function<std::unique_ptr<TExporterText>()>& make,
               const std::string& extension) {
    Data();
    const std::string file = OutputFile(extension);
    std::chrono::duration<double> exporting{};
    for (auto _ : state) {
        // The file of the iteration before is removed outside the timing: freeing 50-60 MB blocks the
        // caller for as long as the file system takes to release the blocks (on a disk mounted with
        // discard, 12-18 ms here), which is the file system's cost of an overwrite, not the export's.
        state.PauseTiming();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        std::unique_ptr<TExporterText> ex = make();
        ex->DataSet = const_cast<TMemoryDataSet*>(&Data());
        ex->FileName = file;
        ex->Execute();
        exporting += std::chrono::steady_clock::now() - start;
    }
    state.counters["bytes"] = double(std::filesystem::file_size(file));
    const double perExport = state.iterations() > 0 ? exporting.count() / double(state.iterations()) : 0;
    if (const double dd = DdSeconds(file, "4K"); dd > 0 && perExport > 0) {
        state.counters["dd_ms"] = dd * 1000;
        state.counters["x_dd"] = perExport / dd;
    }
    if (const double dd = DdSeconds(file, "1M"); dd > 0 && perExport > 0)
        state.counters["x_dd1M"] = perExport / dd;
    if (!KeepFolder())
        std::filesystem::remove(file);
    state.SetItemsProcessed(state.iterations() * Rows());
}

std::unique_ptr<TExporterText> Ascii(TExportASCIIType type) {
    auto ex = std::make_unique<TExporterASCII>();
    ex->SetExportType(type);
    ex->CSVComma = ',';
    return ex;
}

void Register() {
    const auto add = [](const char* name, std::function<std::unique_ptr<TExporterText>()> make,
                        std::string extension) {
        benchmark::RegisterBenchmark(
            name, [make, extension](benchmark::State& state) { RunExport(state, make, extension); })
            ->Unit(benchmark::kMillisecond)
            ->MinTime(1.0);
    };
    add(
        "Export/CSV", [] { return Ascii(TExportASCIIType::etCSV); }, ".csv");
    add(
        "Export/TXT", [] { return Ascii(TExportASCIIType::etTXT); }, ".txt");
    add(
        "Export/DIF", [] { return Ascii(TExportASCIIType::etDIF); }, ".dif");
    add(
        "Export/SYLK", [] { return Ascii(TExportASCIIType::etSYLK); }, ".slk");
    add(
        "Export/SQL",
        [] {
            auto ex = std::make_unique<TExporterSQL>();
            ex->TableName = "items";
            return ex;
        },
        ".sql");
    add(
        "Export/RTF",
        [] {
            auto ex = std::make_unique<TExporterRTF>();
            ex->TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
            return ex;
        },
        ".rtf");
    add(
        "Export/HTML", [] { return std::make_unique<TExporterHTML>(); }, ".html");
    add(
        "Export/XML", [] { return std::make_unique<TExporterXML>(); }, ".xml");
    add(
        "Export/LaTeX", [] { return std::make_unique<TExporterLaTeX>(); }, ".tex");
    add(
        "Export/dBase", [] { return std::make_unique<TExporterDBF>(); }, ".dbf");
    add(
        "Export/PDF", [] { return std::make_unique<TExporterPDF>(); }, ".pdf");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv); // the PDF and HTML exporters measure text with the display's fonts
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
