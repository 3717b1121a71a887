// Writes the benchmark sheet (rows given, default 65,535; as that many sheets when SHEETS is given)
// into the named workbook and prints the seconds the writer took, the data set already built, and the
// memory it added to the data set at its peak.
#include "bench/xls/XlsBenchData.h"
#include "export/xls/ExporterXLS.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xls_write_sheet OUT.xls [ROWS [SHEETS]]\n");
        return 2;
    }
    exporter::TMemoryDataSet data;
    xlsbench::FillBenchSheet(data, argc > 2 ? std::stoi(argv[2]) : 65535);
    const bool measured = xlsbench::ResetPeakMemory();
    const double before = xlsbench::ResidentMiB();
    const auto start = std::chrono::steady_clock::now();
    exporter::TExporterXLS xls;
    xlsbench::UseSheets(xls, data, argc > 3 ? std::stoi(argv[3]) : 1);
    xls.FileName = argv[1];
    xls.Execute();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("writer %.3f s\n", took.count());
    if (measured)
        std::printf("peak over data %.1f MiB\n", xlsbench::PeakMiB() - before);
    return 0;
}
