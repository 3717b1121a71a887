#pragma once

// How a date-time pattern of FormatDateTime's language is read, shared by the formatter and the
// translators of patterns: runs of one character, an "m" right after an "h" meaning minutes, and the
// am/pm markers.

#include <cstddef>
#include <string_view>

namespace rtl {

// A run of one character in a pattern.
struct TDatePatternRun {
    char token; // a letter in upper case ('N' for an "m" run right after an "h" run), else the character
    std::size_t count; // how many times the character stands in the run
};

// The run that starts at format[i] (i < format.size()). lastLetter carries the previous letter token from
// run to run; it starts as ' '.
inline TDatePatternRun ReadDatePatternRun(std::string_view format, std::size_t i, char& lastLetter) {
    const char starter = format[i];
    char token = starter >= 'a' && starter <= 'z' ? char(starter - 32) : starter;
    std::size_t count = 1;
    while (i + count < format.size() && format[i + count] == starter)
        ++count;
    if (token >= 'A' && token <= 'Z') {
        if (token == 'M' && lastLetter == 'H')
            token = 'N';
        lastLetter = token;
    }
    return {token, count};
}

// The length of the am/pm marker at format[i], case ignored: 5 for "AM/PM", 3 for "A/P", 4 for "AMPM",
// 0 where none starts.
inline std::size_t AmPmMarkerLength(std::string_view format, std::size_t i) {
    const auto startsWith = [&](std::string_view word) {
        if (format.size() - i < word.size())
            return false;
        for (std::size_t k = 0; k < word.size(); ++k) {
            char c = format[i + k];
            if (c >= 'a' && c <= 'z')
                c = char(c - 32);
            if (c != word[k])
                return false;
        }
        return true;
    };
    for (const std::string_view marker : {"AM/PM", "A/P", "AMPM"})
        if (startsWith(marker))
            return marker.size();
    return 0;
}

} // namespace rtl
