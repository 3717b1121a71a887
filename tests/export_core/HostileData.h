#pragma once

// A data set of every field type holding values that break careless writers (quotes, backslashes,
// semicolons, line breaks, markup and RTF specials, SQL injection, non-Latin text, very long strings,
// NULLs, huge and non-numbers), shared by the read-back tests of the text formats.

#include "export/core/ExporterMemorySources.h"

#include <string>
#include <vector>

namespace exporter::test {

// The texts of the string column "Last name", row by row; the last row is the end marker.
inline std::vector<std::string> HostileTexts() {
    return {
        "He said \"hi\", 'ok'; x\\y",
        "'); DROP TABLE victim; --",
        "line1\r\nline2\nline3\rline4",
        "< > & ]]> \\ { } $ % # _ ^ ~ \\par}{\\b1 evil",
        "caf\xC3\xA9 \xD0\x96\xD0\xB8\xD0\xB2 \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80",
        std::string(100000, 'x') + "end",
        "END OF DATA",
    };
}

// Columns "Last name" (string), "TTL (s)" (integer), "1st" (64-bit integer), "select" (float), "Amount"
// (currency), "Flag" (Boolean), "Day" (date), "Other" (unknown type); one row per hostile text.
inline void FillHostileDataSet(TMemoryDataSet& ds) {
    ds.AddField({"Last name", TFieldType::ftString, 200});
    ds.AddField({"TTL (s)", TFieldType::ftInteger});
    ds.AddField({"1st", TFieldType::ftLargeint});
    ds.AddField({"select", TFieldType::ftFloat});
    ds.AddField({"Amount", TFieldType::ftCurrency});
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddField({"Day", TFieldType::ftDate});
    ds.AddField({"Other", TFieldType::ftUnknown});
    const std::vector<std::string> texts = HostileTexts();
    const std::vector<TMemoryDataSet::TRow> rest = {
        {"1", "9007199254740993", "2.675", "129809.495", "true", "3/5/2024", "C:\\temp\\"},
        {"-5", "-9223372036854775808", "1e300", "999999.995", "false", "12/31/1999", "\\par}{\\b1 evil"},
        {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"0", "1000000000000000000", "NaN", "-0.5", "true", "1/1/2000", "0); DROP TABLE victim; --"},
        {"7", "42", "-1.5", "0", "false", "2/29/2024", "x;y"},
        {"8", "0", "0", "1", "true", "7/4/2024", "long"},
        {"9", "9", "9", "9", "true", "1/2/2024", "end"},
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        TMemoryDataSet::TRow row{texts[i]};
        row.insert(row.end(), rest[i].begin(), rest[i].end());
        ds.AddRow(row);
    }
}

} // namespace exporter::test
