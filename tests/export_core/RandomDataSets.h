#pragma once

// Seeded random data sets for the read-back tests: texts drawn from pools of hard characters (every
// control character, noncharacters, emoji, mixed scripts, long texts), numbers at the ends of the double
// range and dates at the calendar's edges. The seed is fixed unless CORMELIAN_RANDOM_SEED gives one; a
// test names it in every failure (SeedTrace).

#include "export/core/ExporterMemorySources.h"
#include "platform/rtl/CodePage.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace exporter::test {

inline std::uint64_t RandomSeed() {
    if (const char* given = std::getenv("CORMELIAN_RANDOM_SEED"); given && *given)
        return std::strtoull(given, nullptr, 0);
    return 20261208;
}

// Names the seed in every failure of the scope it is declared in.
inline std::string SeedTrace(std::uint64_t seed) {
    return "random data sets of seed " + std::to_string(seed) +
           " (CORMELIAN_RANDOM_SEED=" + std::to_string(seed) + " repeats them)";
}

// The UTF-8 bytes of a code point.
inline std::string Utf8(char32_t c) {
    std::string out;
    rtl::AppendUtf8(out, c);
    return out;
}

inline std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// The pools a set's texts are drawn from; a format leaves out those it cannot carry by its rules.
struct TRandomPools {
    bool Nul = false;          // U+0000
    bool Controls = true;      // U+0001-U+001F and U+007F, CR LF among them
    bool C1Controls = true;    // U+0080-U+009F
    bool Noncharacters = true; // U+FDD0-U+FDEF and U+nFFFE/U+nFFFF of the planes beyond the first
    bool FFFEandFFFF = true;   // U+FFFE and U+FFFF
    bool Emoji = true;         // beyond the first plane, with joiners, modifiers and flags
    bool Scripts = true;       // Latin, Greek, Cyrillic, Hebrew, Arabic, Devanagari, Thai, CJK
    bool NumberTexts = true;   // the number and date pools as texts
    bool Malformed = false;    // malformed UTF-8 (cut sequences, stray bytes, surrogates, overlong forms)
    std::vector<size_t> Lengths = {255, 256, 4096, 32767}; // texts of exactly so many bytes
};

// One row of a set: two texts, a number and a date (month, day, year).
struct TRandomRow {
    std::string A, B;
    double F = 0;
    int Month = 1, Day = 1, Year = 2000;
    std::string DateText() const {
        return std::to_string(Month) + "/" + std::to_string(Day) + "/" + std::to_string(Year);
    }
    std::string NumberText() const {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", F);
        return text;
    }
};

class TRandomData {
public:
    explicit TRandomData(std::uint64_t seed) : rng_(seed) {}

    int Below(int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(rng_)); }

    // A text of one to four pieces from the pools, or now and then a long text of a pool length.
    std::string Text(const TRandomPools& pools) {
        if (!pools.Lengths.empty() && Below(8) == 0)
            return LongText(pools, pools.Lengths[size_t(Below(int(pools.Lengths.size())))]);
        std::string text;
        for (int n = 1 + Below(4); n > 0; --n)
            text += Piece(pools);
        return text;
    }

    double Number() {
        static const double ends[] = {DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, 4.9406564584124654e-324,
                                      0.0,     -1e308,   1e-300,  1.5,      9007199254740993.0,
                                      -2.5e15, 123.4567, 1e22,    -1e-5,    0.1};
        if (Below(3) == 0)
            return std::uniform_real_distribution<double>(-1e6, 1e6)(rng_);
        return ends[Below(int(std::size(ends)))];
    }

    // A date of the calendar's edges (the years 100 and 9999, the days around 12/30/1899 and the leap
    // days) or any day.
    void Date(TRandomRow& row) {
        static const int edges[][3] = {{1, 1, 100},  {12, 31, 9999}, {12, 30, 1899}, {12, 31, 1899},
                                       {1, 1, 1900}, {2, 28, 1900},  {3, 1, 1900},   {2, 29, 2000},
                                       {1, 1, 1970}, {2, 29, 1904},  {1, 19, 2038},  {12, 31, 1999}};
        if (Below(2) == 0) {
            const int* e = edges[Below(int(std::size(edges)))];
            row.Month = e[0];
            row.Day = e[1];
            row.Year = e[2];
            return;
        }
        row.Year = 100 + Below(9900);
        row.Month = 1 + Below(12);
        row.Day = 1 + Below(28);
    }

    // One to `most` rows.
    std::vector<TRandomRow> Rows(const TRandomPools& pools, int most) {
        std::vector<TRandomRow> rows(size_t(1 + Below(most)));
        for (TRandomRow& row : rows) {
            row.A = Text(pools);
            row.B = Text(pools);
            row.F = Number();
            Date(row);
        }
        return rows;
    }

private:
    std::string Piece(const TRandomPools& pools) {
        std::vector<int> kinds = {0}; // plain ASCII
        if (pools.Controls)
            kinds.push_back(1);
        if (pools.C1Controls)
            kinds.push_back(2);
        if (pools.Noncharacters)
            kinds.push_back(3);
        if (pools.Emoji)
            kinds.push_back(4);
        if (pools.Scripts)
            kinds.push_back(5);
        if (pools.NumberTexts)
            kinds.push_back(6);
        if (pools.Nul)
            kinds.push_back(7);
        if (pools.FFFEandFFFF)
            kinds.push_back(8);
        if (pools.Malformed)
            kinds.push_back(9);
        switch (kinds[size_t(Below(int(kinds.size())))]) {
        case 1: {
            const int c = Below(33);
            if (c == 32)
                return Below(2) ? "\r\n" : "\x7F";
            return Utf8(char32_t(c == 0 ? 1 : c));
        }
        case 2:
            return Utf8(char32_t(0x80 + Below(32)));
        case 3: {
            if (Below(2))
                return Utf8(char32_t(0xFDD0 + Below(32)));
            return Utf8(char32_t(((1 + Below(16)) << 16) | (0xFFFE + Below(2))));
        }
        case 4: {
            static const char* const emoji[] = {
                "\xF0\x9F\x98\x80",                                         // grinning face
                "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD",                         // thumbs up, skin tone
                "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB",             // woman, ZWJ, laptop
                "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA",                         // flag DE
                "\xE2\x9D\xA4\xEF\xB8\x8F",                                 // heart, VS16
                "\xF0\x9F\x8F\xB3\xEF\xB8\x8F\xE2\x80\x8D\xF0\x9F\x8C\x88", // rainbow flag
                "\xF0\x9D\x84\x9E",                                         // musical G clef
            };
            return emoji[Below(int(std::size(emoji)))];
        }
        case 5: {
            static const char* const scripts[] = {
                "Gr\xC3\xBC\xC3\x9F"
                "e",                                                                        // German
                "\xCE\xB1\xCE\xB2\xCE\xB3 \xCE\xA9",                                        // Greek
                "\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0",                                         // Cyrillic
                "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D",                                         // Hebrew
                "\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85",                                         // Arabic
                "\xE0\xA4\xA8\xE0\xA4\xAE\xE0\xA4\xB8\xE0\xA5\x8D\xE0\xA4\xA4\xE0\xA5\x87", // Devanagari
                "\xE0\xB8\xAA\xE0\xB8\xA7\xE0\xB8\xB1\xE0\xB8\xAA",                         // Thai
                "\xE6\xBC\xA2\xE5\xAD\x97",                                                 // CJK
                "\xE2\x82\xAC 5 \xE2\x80\x9Cq\xE2\x80\x9D \xC5\x81\xC3\xB3"
                "d\xC5\xBA",                     // Windows-1252 and beyond
                "Caf\xC3\xA9 \xC3\x86r\xC3\xB8", // Latin-1
            };
            return scripts[Below(int(std::size(scripts)))];
        }
        case 6: {
            TRandomRow row;
            row.F = Number();
            Date(row);
            return Below(2) ? row.NumberText() : row.DateText();
        }
        case 7:
            return std::string(1, '\0');
        case 8:
            return Utf8(Below(2) ? 0xFFFE : 0xFFFF);
        case 9: {
            // Each followed by a letter, so that the next piece cannot complete it.
            static const char* const malformed[] = {
                "\x80m",             // a stray continuation byte
                "\xE2\x82m",         // a cut sequence
                "\xED\xA0\x80m",     // a surrogate
                "\xC0\xAFm",         // an overlong "/"
                "\xF4\x90\x80\x80m", // beyond U+10FFFF
                "\xFFm",             // never a UTF-8 byte
            };
            return malformed[Below(int(std::size(malformed)))];
        }
        default: {
            static const char* const plain[] = {"abc", " x ", "<a&b>", "\"q\"", "'s'",     "\\",
                                                "{}",  ";",   ",",     "--",    "%",       "~",
                                                "#",   "$",   "_",     "^",     "1,234.5", "  "};
            return plain[Below(int(std::size(plain)))];
        }
        }
    }

    // Exactly `length` bytes of pieces, ending in a letter (so that no trimming shortens it).
    std::string LongText(const TRandomPools& pools, size_t length) {
        std::string text;
        while (text.size() < length) {
            const std::string piece = Piece(pools);
            if (text.size() + piece.size() >= length)
                break;
            text += piece;
        }
        if (!text.empty() && static_cast<unsigned char>(text[0]) <= ' ')
            text[0] = 'L';
        text.append(length - text.size(), 'z');
        return text;
    }

    std::mt19937_64 rng_;
};

// A text as an exported row stores it: blanks and control characters cut from both ends.
inline std::string StoredText(const std::string& text) {
    size_t begin = 0, end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return text.substr(begin, end - begin);
}

// Fields K (integer), A and B (texts of size `textSize`), with F (float) and D (date) when typed.
inline void FillRandomDataSet(TMemoryDataSet& ds, const std::vector<TRandomRow>& rows, bool typed,
                              int textSize = 40000) {
    ds.AddField({"K", TFieldType::ftInteger});
    ds.AddField({"A", TFieldType::ftString, textSize});
    ds.AddField({"B", TFieldType::ftString, textSize});
    if (typed) {
        ds.AddField({"F", TFieldType::ftFloat});
        ds.AddField({"D", TFieldType::ftDate});
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        TMemoryDataSet::TRow values = {std::to_string(1000 + i), rows[i].A, rows[i].B};
        if (typed) {
            values.emplace_back(rows[i].NumberText());
            values.emplace_back(rows[i].DateText());
        }
        ds.AddRow(values);
    }
}

// Rows of every kind of cell an exporter escapes: an integer, a text, a Boolean, a float, a currency and a
// date column (their values now and then texts of the pools, which do not format), with an untyped
// column when asked; one cell in eight NULL.
inline void FillMixedRandomDataSet(TMemoryDataSet& ds, TRandomData& data, const TRandomPools& pools, int rows,
                                   bool untyped) {
    ds.AddField({"K", TFieldType::ftInteger});
    ds.AddField({"A", TFieldType::ftString, 20});
    ds.AddField({"B", TFieldType::ftBoolean});
    ds.AddField({"F", TFieldType::ftFloat});
    ds.AddField({"M", TFieldType::ftCurrency});
    ds.AddField({"D", TFieldType::ftDate});
    if (untyped)
        ds.AddField({"U", TFieldType::ftUnknown});
    for (const TRandomRow& row : data.Rows(pools, rows)) {
        TMemoryDataSet::TRow values = {std::to_string(data.Below(2000001) - 1000000),
                                       row.A,
                                       row.B,
                                       row.NumberText(),
                                       row.NumberText(),
                                       row.DateText()};
        if (untyped)
            values.emplace_back(data.Text(pools));
        for (size_t i = 0; i < values.size(); ++i) {
            if (data.Below(8) == 0)
                values[i] = std::nullopt;
            else if ((i == 0 || i >= 3) && data.Below(8) == 0)
                values[i] = data.Text(pools);
        }
        ds.AddRow(values);
    }
}

} // namespace exporter::test
