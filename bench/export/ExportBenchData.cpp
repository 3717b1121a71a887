#include "bench/export/ExportBenchData.h"

#include <chrono>
#include <string>

namespace exportbench {

namespace {

const char* const kLastNames[] = {"Meyer",  "O'Brien", "Nakamura", "Smith",
                                  "García", "Novak",   "Dubois",   "Kowalski"};
const char* const kFirstNames[] = {"Ann", "Bo", "Chris", "Dana", "Eli", "Fay", "Gus", "Hal"};
const char* const kCities[] = {"Zürich", "São Paulo", "Kraków", "Besançon", "Malmö",      "Reykjavík",
                               "Łódź",   "Córdoba",   "Genève", "Århus",    "Düsseldorf", "Tromsø"};

constexpr std::chrono::sys_days kStampStart{std::chrono::year{2024} / 1 / 1};

// Two digits of a time.
std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}

} // namespace

void FillExportBenchData(exporter::TMemoryDataSet& data, int rows) {
    using exporter::TFieldType;
    data.AddField({"Id", TFieldType::ftInteger});
    data.AddField({"Name", TFieldType::ftString, 30});
    data.AddField({"City", TFieldType::ftString, 20});
    data.AddField({"Count", TFieldType::ftInteger});
    data.AddField({"Price", TFieldType::ftFloat});
    data.AddField({"Amount", TFieldType::ftCurrency});
    data.AddField({"Day", TFieldType::ftDate});
    data.AddField({"At", TFieldType::ftTime});
    data.AddField({"Stamp", TFieldType::ftDateTime});
    data.AddField({"Flag", TFieldType::ftBoolean});
    for (int i = 0; i < rows; ++i) {
        // The date and time repeat with a period of 840 rows; the date-time is one of every row, 97 seconds
        // after the one before, from 2024-01-01 (about 112 days).
        const int year = 2020 + i % 5, month = 1 + i % 12, day = 1 + i % 28;
        const int hour = i % 24, minute = i * 7 % 60, second = i % 60;
        const std::string date =
            std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
        const std::string time = std::to_string(hour) + ":" + TwoDigits(minute) + ":" + TwoDigits(second);
        const long long elapsed = 97LL * i;
        const std::chrono::year_month_day stampDay{kStampStart + std::chrono::days(elapsed / 86400)};
        const int stampSecond = int(elapsed % 86400);
        const std::string stamp =
            std::to_string(unsigned(stampDay.month())) + "/" + std::to_string(unsigned(stampDay.day())) +
            "/" + std::to_string(int(stampDay.year())) + " " + std::to_string(stampSecond / 3600) + ":" +
            TwoDigits(stampSecond / 60 % 60) + ":" + TwoDigits(stampSecond % 60);
        const int cents = i * 37 % 100;
        data.AddRow(
            {std::to_string(i + 1),
             std::string(kLastNames[i % 8]) + ", \"" + kFirstNames[i / 8 % 8] + "\" " + std::to_string(i),
             kCities[i % 12], std::to_string(i * 7919 % 2000001 - 1000000),
             (i % 10 == 3 ? "-" : "") + std::to_string(i * 13 % 1000000) + "." + TwoDigits(cents),
             std::to_string(i % 50000) + "." + TwoDigits(i % 100), date, time, stamp,
             i % 2 ? "true" : "false"});
    }
}

} // namespace exportbench
