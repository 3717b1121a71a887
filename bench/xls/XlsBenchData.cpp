#include "bench/xls/XlsBenchData.h"

#include <fstream>
#include <malloc.h>
#include <string>

namespace xlsbench {

void FillBenchSheet(exporter::TMemoryDataSet& data, int rows) {
    using exporter::TFieldType;
    data.AddField({"Host", TFieldType::ftString, 30});
    data.AddField({"Zone", TFieldType::ftString, 30});
    data.AddField({"Comment", TFieldType::ftString, 40});
    data.AddField({"Id", TFieldType::ftInteger});
    data.AddField({"Count", TFieldType::ftInteger});
    data.AddField({"Serial", TFieldType::ftInteger});
    data.AddField({"Weight", TFieldType::ftFloat});
    data.AddField({"Ratio", TFieldType::ftFloat});
    data.AddField({"Day", TFieldType::ftDate});
    data.AddField({"Stamp", TFieldType::ftDateTime});
    for (int i = 0; i < rows; ++i) {
        // Every other row repeats a text of an earlier row.
        const int text = i % 2 == 0 ? i : i / 2;
        const int day = 1 + i % 28, month = 1 + i % 12, hour = i % 24, minute = i % 60;
        data.AddRow({"host" + std::to_string(text) + ".example.org", "zone" + std::to_string(text) + ".org",
                     "comment number " + std::to_string(text), std::to_string(i), std::to_string(i % 1000),
                     std::to_string(2024000000 + i), std::to_string(i) + ".25",
                     std::to_string(i % 977) + ".5",
                     std::to_string(month) + "/" + std::to_string(day) + "/2024",
                     std::to_string(month) + "/" + std::to_string(day) + "/2024 " + std::to_string(hour) +
                         ":" + (minute < 10 ? "0" : "") + std::to_string(minute) + ":00"});
    }
}

void UseSheets(exporter::TExporterXLS& xls, exporter::TMemoryDataSet& data, int sheets) {
    if (sheets <= 1) {
        xls.DataSet = &data;
        return;
    }
    for (int i = 0; i < sheets; ++i)
        xls.Sheets.Add().DataSet = &data;
}

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in MiB.
double StatusMiB(const std::string& name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return std::stod(line.substr(name.size() + 1)) / 1024.0;
    return 0;
}

} // namespace

bool ResetPeakMemory() {
    // Freed memory goes back to the system first, so that a later case grows again as a fresh
    // process would instead of reusing what an earlier case left.
    ::malloc_trim(0);
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5\n";
    clear.flush();
    return bool(clear);
}

double ResidentMiB() {
    return StatusMiB("VmRSS");
}

double PeakMiB() {
    return StatusMiB("VmHWM");
}

} // namespace xlsbench
