#include "bench/export/ExportBenchData.h"

#include <charconv>
#include <chrono>
#include <cstring>
#include <string>

namespace exportbench {

namespace {

const char* const kLastNames[] = {"Meyer",  "O'Brien", "Nakamura", "Smith",
                                  "García", "Novak",   "Dubois",   "Kowalski"};
const char* const kFirstNames[] = {"Ann", "Bo", "Chris", "Dana", "Eli", "Fay", "Gus", "Hal"};
const char* const kCities[] = {"Zürich", "São Paulo", "Kraków", "Besançon", "Malmö",      "Reykjavík",
                               "Łódź",   "Córdoba",   "Genève", "Århus",    "Düsseldorf", "Tromsø"};

constexpr std::chrono::sys_days kStampStart{std::chrono::year{2024} / 1 / 1};

// Builds a value's text from pieces in a buffer of its own, without a temporary text per piece.
class TextBuilder {
public:
    TextBuilder& Text(const char* text) {
        const size_t length = std::strlen(text);
        std::memcpy(end_, text, length);
        end_ += length;
        return *this;
    }
    // The number, with leading zeros up to the given digits.
    TextBuilder& Number(int value, int digits = 1) {
        char digitsBuffer[16];
        char* const last = std::to_chars(digitsBuffer, digitsBuffer + sizeof digitsBuffer, value).ptr;
        for (long missing = digits - (last - digitsBuffer); missing > 0; --missing)
            *end_++ = '0';
        std::memcpy(end_, digitsBuffer, size_t(last - digitsBuffer));
        end_ += last - digitsBuffer;
        return *this;
    }
    std::string Take() {
        std::string text(buffer_, size_t(end_ - buffer_));
        end_ = buffer_;
        return text;
    }

private:
    char buffer_[96];
    char* end_ = buffer_;
};

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
    TextBuilder t;
    for (int i = 0; i < rows; ++i) {
        // The date and time repeat with a period of 840 rows; the date-time is one of every row, 97 seconds
        // after the one before, from 2024-01-01 (about 112 days).
        const long long elapsed = 97LL * i;
        const std::chrono::year_month_day stampDay{kStampStart + std::chrono::days(elapsed / 86400)};
        const int stampSecond = int(elapsed % 86400);
        exporter::TMemoryDataSet::TRow row;
        row.reserve(10);
        row.emplace_back(t.Number(i + 1).Take());
        row.emplace_back(
            t.Text(kLastNames[i % 8]).Text(", \"").Text(kFirstNames[i / 8 % 8]).Text("\" ").Number(i).Take());
        row.emplace_back(kCities[i % 12]);
        row.emplace_back(t.Number(i * 7919 % 2000001 - 1000000).Take());
        row.emplace_back(
            t.Text(i % 10 == 3 ? "-" : "").Number(i * 13 % 1000000).Text(".").Number(i * 37 % 100, 2).Take());
        row.emplace_back(t.Number(i % 50000).Text(".").Number(i % 100, 2).Take());
        row.emplace_back(
            t.Number(1 + i % 12).Text("/").Number(1 + i % 28).Text("/").Number(2020 + i % 5).Take());
        row.emplace_back(t.Number(i % 24).Text(":").Number(i * 7 % 60, 2).Text(":").Number(i % 60, 2).Take());
        row.emplace_back(t.Number(int(unsigned(stampDay.month())))
                             .Text("/")
                             .Number(int(unsigned(stampDay.day())))
                             .Text("/")
                             .Number(int(stampDay.year()))
                             .Text(" ")
                             .Number(stampSecond / 3600)
                             .Text(":")
                             .Number(stampSecond / 60 % 60, 2)
                             .Text(":")
                             .Number(stampSecond % 60, 2)
                             .Take());
        row.emplace_back(i % 2 ? "true" : "false");
        data.AddRow(std::move(row));
    }
}

} // namespace exportbench
