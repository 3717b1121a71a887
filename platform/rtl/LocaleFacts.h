#pragma once

#include <array>
#include <string>

namespace rtl {

// The locale facts the run-time formatting routines depend on (the classic "format settings").
// Current() is read once from the process locale; Default() is a fixed US-English set that tests use.
// Every formatting routine takes the facts as an optional last argument, so nothing changes shared state.
struct LocaleFacts {
    // Date and time patterns in the FormatDateTime pattern language.
    std::string ShortDateFormat = "M/d/yyyy";
    std::string LongDateFormat = "dddd, MMMM d, yyyy";
    std::string ShortTimeFormat = "h:mm AMPM";
    std::string LongTimeFormat = "h:mm:ss AMPM";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    char DateSeparator = '/';
    char TimeSeparator = ':';

    std::array<std::string, 12> ShortMonthNames{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> LongMonthNames{"January",   "February", "March",    "April",
                                               "May",       "June",     "July",     "August",
                                               "September", "October",  "November", "December"};
    // Index 0 is Sunday.
    std::array<std::string, 7> ShortDayNames{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> LongDayNames{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                            "Thursday", "Friday", "Saturday"};
    // Two-digit years are taken within this many years before/after the current year (0: current century).
    int TwoDigitYearCenturyWindow = 50;

    // Numbers. A separator of '\0' means "none".
    char DecimalSeparator = '.';
    char ThousandSeparator = ',';
    char ListSeparator = ',';

    // Currency: CurrencyFormat 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"; NegCurrFormat 0..15 as on Windows.
    std::string CurrencyString = "$";
    int CurrencyFormat = 0;
    int NegCurrFormat = 0;
    int CurrencyDecimals = 2;

    // The single-byte code page of the system ("ANSI code page").
    int CodePage = 1252;

    // The fixed facts above.
    static const LocaleFacts& Default();
    // Facts read from the process locale (LC_TIME, LC_NUMERIC, LC_MONETARY); Default() for the C/POSIX
    // locale.
    static LocaleFacts FromProcessLocale();
    // FromProcessLocale(), read once on first use; thread-safe, never changes afterwards.
    static const LocaleFacts& Current();
};

} // namespace rtl
