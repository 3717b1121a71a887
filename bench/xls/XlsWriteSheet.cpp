// xls_write_sheet [OUT.xls [ROWS [SHEETS]]]: writes the benchmark sheet (default 65,535 rows; as that
// many sheets when SHEETS is given) into the named workbook (without a name, into a temporary file
// removed afterwards) and prints the seconds the writer took, the data set already built, and the
// memory it added to the data set at its peak.
#include "bench/xls/XlsBenchData.h"
#include "export/xls/ExporterXLS.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const bool temporary = argc < 2;
    const std::string file = temporary ? (std::filesystem::temp_directory_path() /
                                          ("xls_write_sheet_" + std::to_string(::getpid()) + ".xls"))
                                             .string()
                                       : std::string(argv[1]);
    exporter::TMemoryDataSet data;
    xlsbench::FillBenchSheet(data, argc > 2 ? std::stoi(argv[2]) : 65535);
    const bool measured = xlsbench::ResetPeakMemory();
    const double before = xlsbench::ResidentMiB();
    const auto start = std::chrono::steady_clock::now();
    exporter::TExporterXLS xls;
    xlsbench::UseSheets(xls, data, argc > 3 ? std::stoi(argv[3]) : 1);
    xls.FileName = file;
    xls.Execute();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("writer %.3f s\n", took.count());
    if (measured)
        std::printf("peak over data %.1f MiB\n", xlsbench::PeakMiB() - before);
    if (temporary)
        std::filesystem::remove(file);
    return 0;
}
