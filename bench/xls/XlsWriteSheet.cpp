// Writes the benchmark sheet (rows given, default 65,535) into the named workbook and prints the
// seconds the writer took, the data set already built.
#include "bench/xls/XlsBenchData.h"
#include "export/xls/ExporterXLS.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: xls_write_sheet OUT.xls [ROWS]\n");
        return 2;
    }
    exporter::TMemoryDataSet data;
    xlsbench::FillBenchSheet(data, argc > 2 ? std::stoi(argv[2]) : 65535);
    const auto start = std::chrono::steady_clock::now();
    exporter::TExporterXLS xls;
    xls.DataSet = &data;
    xls.FileName = argv[1];
    xls.Execute();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("writer %.3f s\n", took.count());
    return 0;
}
