// Date and time patterns translated into spreadsheet format codes, one row per case.

#include "export/xls/ExporterXLSDateFormat.h"
#include "export/xls/ExporterXLSSheetName.h"

#include <gtest/gtest.h>

namespace {

using namespace exporter;

TEST(XlsDateTimeFormat, TranslatesEveryPatternElement) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"M/d/yyyy h:mm AMPM", "m/d/yyyy h:mm AM/PM"},  // the default date-time format
        {"dd/mm/yyyy hh:nn:ss", "dd/mm/yyyy hh:mm:ss"}, // nn is minutes
        {"yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:mm"},
        {"hh:mm", "hh:mm"}, // m after h is minutes in both languages
        {"h:nn am/pm", "h:mm AM/PM"},
        {"h:nn a/p", "h:mm a/p"}, // a/p kept as it is
        {"h:nn A/P", "h:mm A/P"},
        {"d mmm yy", "d mmm yy"},
        {"dddd, mmmm d, yyyy", "dddd, mmmm d, yyyy"},
        {"yyy", "yyyy"},
        {"mmmmm", "mmmm"},
        {"hh:nn:ss.zzz", "hh:mm:ss.000"},
        {"'Day' d", "\"Day \"d"}, // literals, quoted or not, in double quotes
        {"\"at\" h", "\"at \"h"},
        {"d 'o''clock'", "d\" oclock\""},                     // two quoted pieces side by side
        {"'say \"hi\"' d", "\\s\\a\\y\\ \\\"\\h\\i\\\"\\ d"}, // a double quote: escaped
        {"d.m.yyyy", "d.m.yyyy"},                             // separators stay plain
        {"yyyy\xE5\xB9\xB4", "yyyy\"\xE5\xB9\xB4\""},         // other characters are quoted
        {"d@b", "d\"@b\""},
        {"ddddd", "m/d/yyyy"},            // the locale's short date
        {"dddddd", "dddd, mmmm d, yyyy"}, // and long date
        {"t", "h:mm AM/PM"},
        {"tt", "h:mm:ss AM/PM"},
        {"c", "m/d/yyyy h:mm:ss AM/PM"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XlsDateTimeFormat(c.pattern, rtl::LocaleFacts::Default()), c.expected) << c.pattern;
}

TEST(XlsNumberFormat, QuotesTextAndKeepsNumberCodes) {
    const struct {
        const char* pattern;
        const char* expected;
    } cases[] = {
        {"#,###,##0.00", "#,###,##0.00"}, // the default formats pass unchanged
        {"$#,###,##0.00", "$#,###,##0.00"},
        {"#,###,##0.00 CHF", "#,###,##0.00\" CHF\""}, // h would be hours, s seconds
        {"K\xC4\x8D #,###,##0.00", "\"K\xC4\x8D \"#,###,##0.00"},
        {"\xE2\x82\xAC #,##0.00", "\"\xE2\x82\xAC \"#,##0.00"}, // other characters are quoted too
        {"- 0.00 +", "- 0.00 +"},
        {"0.00E+00", "0.00E+00"},
        {"0.00e-0 each", "0.00e-0\" each\""}, // an E not before a sign is a letter
        {"0%", "0\"%\""},                     // shown as it is, not scaled by 100
        {"0/0", "0\"/\"0"},                   // not a fraction
        {"#,##0.00;(#,##0.00)", "#,##0.00;(#,##0.00)"},
        {"'Total' 0", "\"Total \"0"}, // quoted pieces in double quotes
        {"0 \"pcs\"", "0\" pcs\""},
        {"0 'say \"hi\"'", "0\\ \\s\\a\\y\\ \\\"\\h\\i\\\""}, // a double quote: escaped
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XlsNumberFormat(c.pattern), c.expected) << c.pattern;
}

TEST(XlsDateSerial, OneConversionForEveryMomentOfTheDaysAroundTheFictitiousLeapDay) {
    // Run-time values: 0 is 12/30/1899, 2 is 1/1/1900, 60 is 2/28/1900, 61 is 3/1/1900.
    const double lastSecond = 86399.0 / 86400;
    const struct {
        double value;
        bool timeOnly; // whether the cell's format shows a time of day alone
        bool shown;
        double serial;
    } cases[] = {
        {0.25, true, true, 0.25},                        // a time of day
        {0, true, true, 0},                              // midnight
        {0.25, false, false, 0},                         // 12/30/1899 6:00 AM: serial 0 shows "1/0/1900"
        {0, false, false, 0},                            // 12/30/1899
        {1.25, true, false, 0},                          // 12/31/1899 6:00 AM: not 0.25, a time of day
        {1.25, false, false, 0},                         //
        {-1.25, true, false, 0},                         // 12/29/1899 6:00 AM
        {-700, false, false, 0},                         // any earlier day
        {2, false, true, 1},                             // 1/1/1900
        {2.5, true, true, 1.5},                          // with a time format still the moment
        {60, false, true, 59},                           // 2/28/1900
        {60 + lastSecond, false, true, 59 + lastSecond}, // 2/28/1900 11:59:59 PM: still day 59
        {61, false, true, 61},                           // 3/1/1900: day 60 is the leap day that never was
        {45293.25, false, true, 45293.25},
        {lastSecond, true, true, lastSecond}, // the last second of 12/30/1899: a time of day
        {1, true, false, 0},                  // 12/31/1899 midnight: not 0, a time of day
        {1, false, false, 0},                 //
        {2 - 1.0 / 86400, false, false, 0},   // 12/31/1899 11:59:59 PM
        {-0.5, true, false, 0},               // 12/30/1899 12:00 PM below zero: never a negative serial
    };
    for (const auto& c : cases) {
        double serial = -1;
        EXPECT_EQ(XlsDateSerial(c.value, c.timeOnly, serial), c.shown) << c.value << " " << c.timeOnly;
        if (c.shown) {
            EXPECT_DOUBLE_EQ(serial, c.serial) << c.value;
        }
    }
}

TEST(XlsFormatShowsTimeOnly, HoursOrSecondsWithoutAnyPartOfADate) {
    const struct {
        const char* code;
        bool timeOnly;
    } cases[] = {
        {"h:mm:ss AM/PM", true},
        {"hh:mm", true},
        {"mm:ss", true},
        {"[h]:mm:ss", true},
        {"[mm]:ss", true},
        {"[Red]h:mm", true},
        {"h \"o'clock\"", true},
        {"\"day\" h", true},
        {"m/d/yyyy", false},
        {"m/d/yyyy h:mm", false},
        {"d-mmm-yy", false},
        {"mmmm", false},
        {"m", false},
        {"General", false},
        {"", false},
        {"yyyy h", false},
        {"h\\d", true},
        {"[$-409]h:mm", true},
        {"ee h:mm", false},
        {"_(h:mm", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(XlsFormatShowsTimeOnly(c.code), c.timeOnly) << c.code;
}

TEST(LegalSheetName, ForbiddenCharactersLengthAndDuplicates) {
    const std::u16string fallback = u"Sheet 1";
    EXPECT_EQ(LegalSheetName(u"a:b\\c/d?e*f[g]h", {}, fallback), u"a_b_c_d_e_f_g_h");
    EXPECT_EQ(LegalSheetName(u"'quoted'", {}, fallback), u"_quoted_");
    EXPECT_EQ(LegalSheetName(u"it's", {}, fallback), u"it's");
    EXPECT_EQ(LegalSheetName(u"", {}, fallback), u"Sheet 1");
    EXPECT_EQ(LegalSheetName(u"   ", {}, fallback), u"Sheet 1");
    EXPECT_EQ(LegalSheetName(std::u16string(40, u'x'), {}, fallback), std::u16string(31, u'x'));
    // A pair of surrogates straddling the cut is left out whole.
    EXPECT_EQ(LegalSheetName(std::u16string(30, u'x') + u"\U0001F600", {}, fallback),
              std::u16string(30, u'x'));
    EXPECT_EQ(LegalSheetName(std::u16string(1, u'\0'), {}, fallback), u"_");
    EXPECT_EQ(LegalSheetName(u"tab\there\x7F\x85", {}, fallback), u"tab_here__");
    EXPECT_EQ(LegalSheetName(u"Data", {u"data"}, fallback), u"Data (2)");
    // Compared under full case folding, as LibreOffice does.
    EXPECT_EQ(LegalSheetName(u"STRASSE", {u"stra\u00DFe"}, fallback), u"STRASSE (2)");
    EXPECT_EQ(LegalSheetName(u"\uFB01le", {u"FILE"}, fallback), u"\uFB01le (2)");
    EXPECT_EQ(LegalSheetName(u"\u03C3", {u"\u03C2"}, fallback), u"\u03C3 (2)");
    EXPECT_EQ(LegalSheetName(u"Data", {u"Data", u"Data (2)"}, fallback), u"Data (3)");
    EXPECT_EQ(LegalSheetName(std::u16string(31, u'y'), {std::u16string(31, u'y')}, fallback),
              std::u16string(27, u'y') + u" (2)");
}

} // namespace
