// Writes the export benchmark's rows (default 100,000) into the named CSV file in one process and prints
// the seconds the export took, the data set already built, for the whole-process timing against peers.
#include "bench/export/ExportBenchData.h"
#include "export/core/ExporterASCII.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: csv_write_table OUT.csv [ROWS]\n");
        return 2;
    }
    // The data set is left to the end of the process, as a program's data is: freeing a million texts one
    // by one is no part of the export.
    exporter::TMemoryDataSet& data = *new exporter::TMemoryDataSet;
    exportbench::FillExportBenchData(data, argc > 2 ? std::stoi(argv[2]) : 100000);
    const auto start = std::chrono::steady_clock::now();
    exporter::TExporterASCII csv;
    csv.SetExportType(exporter::TExportASCIIType::etCSV);
    csv.CSVComma = ',';
    csv.DataSet = &data;
    csv.FileName = argv[1];
    csv.Execute();
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("writer %.3f s\n", took.count());
    return 0;
}
