#pragma once

#include <functional>
#include <optional>

namespace pdfbox {

// The facts of the user's locale and screen that the component asks for, as functions a caller or a
// test can replace.
struct TPdfEnvironment {
    // The locale's paper size as a paper code of the paper-size table; empty when it cannot be read.
    std::function<std::optional<int>()> LocalePaperSize;
    // The locale's country as its international dialling code (1 for the United States); empty when
    // it cannot be read.
    std::function<std::optional<int>()> LocaleCountryCode;
    // The screen's logical pixels per inch.
    std::function<int()> ScreenPixelsPerInch;

    // LC_PAPER and LC_TELEPHONE of the process environment, and the primary screen of a running
    // Qt application (96 without one).
    static TPdfEnvironment Default();
};

// A4, unless the locale names another paper; without a paper entry, Letter in countries 1 and 2.
int DefaultPaperSize(const TPdfEnvironment& environment);

} // namespace pdfbox
