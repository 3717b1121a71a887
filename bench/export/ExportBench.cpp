// Every file exporter writing 100,000 rows x 10 columns (ids, names with quotes and commas, cities with
// accents, integers, floats, a currency, a date, a time, a date-time, a Boolean: ExportBenchData.h) from a
// data set built in memory once. The target is under 0.15 s per export; scripts/compare-csv-python.sh
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

// Runs one exporter over the data set, writing a file each iteration.
void RunExport(benchmark::State& state, const std::function<std::unique_ptr<TExporterText>()>& make,
               const std::string& extension) {
    Data();
    const std::string file = OutputFile(extension);
    for (auto _ : state) {
        // The file of the iteration before is removed outside the timing: freeing 50-60 MB blocks the
        // caller for as long as the file system takes to release the blocks (on a disk mounted with
        // discard, 12-18 ms here), which is the file system's cost of an overwrite, not the export's.
        state.PauseTiming();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        state.ResumeTiming();
        std::unique_ptr<TExporterText> ex = make();
        ex->DataSet = const_cast<TMemoryDataSet*>(&Data());
        ex->FileName = file;
        ex->Execute();
    }
    state.counters["bytes"] = double(std::filesystem::file_size(file));
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
