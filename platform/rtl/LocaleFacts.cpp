#include "platform/rtl/LocaleFacts.h"

#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace rtl {

namespace {

// A locale's separator as one character; anything longer (a no-break space in UTF-8, say) becomes a blank.
char separatorOf(const char* text, char fallback) {
    if (!text || !*text)
        return fallback;
    if (std::strlen(text) == 1)
        return text[0];
    return ' ';
}

struct PatternConversion {
    std::string pattern;
    char dateSeparator = 0;
    char timeSeparator = 0;
    bool twelveHour = false;
};

// Turns a strftime pattern into the FormatDateTime pattern language. The first character between
// two date fields becomes the date separator ('/'), likewise for time fields (':').
void convertPattern(std::string_view in, PatternConversion& out, int depth = 0) {
    enum class Last { None, Date, Time } last = Last::None;
    std::string literal;
    auto flushLiteral = [&](Last next) {
        if (literal.empty())
            return;
        if (literal.size() == 1 && last == Last::Date && next == Last::Date &&
            (out.dateSeparator == 0 || out.dateSeparator == literal[0])) {
            out.dateSeparator = literal[0];
            out.pattern += '/';
        } else if (literal.size() == 1 && last == Last::Time && next == Last::Time &&
                   (out.timeSeparator == 0 || out.timeSeparator == literal[0])) {
            out.timeSeparator = literal[0];
            out.pattern += ':';
        } else {
            out.pattern += '"' + literal + '"';
        }
        literal.clear();
    };
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '%' || i + 1 >= in.size()) {
            literal += in[i];
            continue;
        }
        char c = in[++i];
        while ((c == 'E' || c == 'O' || c == '-' || c == '_' || c == '0' || c == '^' || c == '#') &&
               i + 1 < in.size())
            c = in[++i];
        const char* field = nullptr;
        Last kind = Last::Date;
        switch (c) {
        case 'd':
            field = "dd";
            break;
        case 'e':
            field = "d";
            break;
        case 'm':
            field = "mm";
            break;
        case 'y':
            field = "yy";
            break;
        case 'Y':
            field = "yyyy";
            break;
        case 'b':
        case 'h':
            field = "mmm";
            break;
        case 'B':
            field = "mmmm";
            break;
        case 'a':
            field = "ddd";
            break;
        case 'A':
            field = "dddd";
            break;
        case 'H':
        case 'k':
            field = "hh", kind = Last::Time;
            break;
        case 'I':
        case 'l':
            field = "hh", kind = Last::Time;
            out.twelveHour = true;
            break;
        case 'M':
            field = "nn", kind = Last::Time;
            break;
        case 'S':
            field = "ss", kind = Last::Time;
            break;
        case 'p':
        case 'P':
            field = "AMPM", kind = Last::None;
            out.twelveHour = true;
            break;
        case 'D':
            if (depth < 2) {
                flushLiteral(Last::Date);
                convertPattern("%m/%d/%y", out, depth + 1);
                last = Last::Date;
            }
            continue;
        case 'T':
        case 'R':
        case 'r':
            if (depth < 2) {
                flushLiteral(Last::Time);
                convertPattern(c == 'T' ? "%H:%M:%S" : c == 'R' ? "%H:%M" : "%I:%M:%S %p", out, depth + 1);
                last = Last::Time;
            }
            continue;
        case '%':
            literal += '%';
            continue;
        default:
            continue; // fields without a counterpart (time zone, week number) are left out
        }
        flushLiteral(kind);
        out.pattern += field;
        last = kind;
    }
    flushLiteral(Last::None);
}

// Drops the seconds (and the separator before them) from a time pattern.
std::string withoutSeconds(const std::string& pattern) {
    size_t s = pattern.find("ss");
    if (s == std::string::npos)
        return pattern;
    size_t start = s;
    if (start > 0 && pattern[start - 1] == ':')
        --start;
    return pattern.substr(0, start) + pattern.substr(s + 2);
}

} // namespace

const LocaleFacts& LocaleFacts::Default() {
    static const LocaleFacts facts;
    return facts;
}

LocaleFacts LocaleFacts::FromProcessLocale() {
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr))
        return Default();
    // The C and POSIX locales have no facts worth reading: keep the fixed ones.
    const char* dateFormat = nl_langinfo_l(D_FMT, loc);
    bool plainC = std::strcmp(dateFormat, "%m/%d/%y") == 0 && std::strlen(nl_langinfo_l(THOUSEP, loc)) == 0 &&
                  std::strlen(nl_langinfo_l(CRNCYSTR, loc)) <= 1;
    if (plainC) {
        freelocale(loc);
        return Default();
    }

    LocaleFacts facts;
    // Patterns without a one-character separator (words between the fields) could not be read back
    // by StrToDate/StrToTime: those locales get numeric patterns in the same field order.
    PatternConversion date;
    convertPattern(dateFormat, date);
    if (date.dateSeparator) {
        facts.ShortDateFormat = date.pattern;
        facts.DateSeparator = date.dateSeparator;
    } else if (!date.pattern.empty()) {
        size_t y = date.pattern.find('y'), m = date.pattern.find('m'), d = date.pattern.find('d');
        if (y < m && m < d)
            facts.ShortDateFormat = "yyyy/mm/dd";
        else if (d < m)
            facts.ShortDateFormat = "dd/mm/yyyy";
        else
            facts.ShortDateFormat = "mm/dd/yyyy";
    }
    PatternConversion time;
    convertPattern(nl_langinfo_l(T_FMT, loc), time);
    if (time.timeSeparator) {
        facts.LongTimeFormat = time.pattern;
        facts.ShortTimeFormat = withoutSeconds(time.pattern);
        facts.TimeSeparator = time.timeSeparator;
    } else if (!time.pattern.empty()) {
        facts.LongTimeFormat = time.twelveHour ? "h:nn:ss AMPM" : "hh:nn:ss";
        facts.ShortTimeFormat = withoutSeconds(facts.LongTimeFormat);
    }
    facts.TimeAMString = nl_langinfo_l(AM_STR, loc);
    facts.TimePMString = nl_langinfo_l(PM_STR, loc);
    // A long date in the order of the short one.
    switch (facts.ShortDateFormat.empty() ? 'm' : facts.ShortDateFormat[0]) {
    case 'd':
        facts.LongDateFormat = "dddd, d mmmm yyyy";
        break;
    case 'y':
        facts.LongDateFormat = "yyyy mmmm d, dddd";
        break;
    default:
        facts.LongDateFormat = "dddd, mmmm d, yyyy";
        break;
    }
    for (int m = 0; m < 12; ++m) {
        facts.ShortMonthNames[size_t(m)] = nl_langinfo_l(static_cast<nl_item>(ABMON_1 + m), loc);
        facts.LongMonthNames[size_t(m)] = nl_langinfo_l(static_cast<nl_item>(MON_1 + m), loc);
    }
    for (int d = 0; d < 7; ++d) {
        facts.ShortDayNames[size_t(d)] = nl_langinfo_l(static_cast<nl_item>(ABDAY_1 + d), loc);
        facts.LongDayNames[size_t(d)] = nl_langinfo_l(static_cast<nl_item>(DAY_1 + d), loc);
    }

    facts.DecimalSeparator = separatorOf(nl_langinfo_l(RADIXCHAR, loc), '.');
    const char* thousands = nl_langinfo_l(THOUSEP, loc);
    facts.ThousandSeparator = thousands && *thousands ? separatorOf(thousands, ',') : '\0';
    facts.ListSeparator = facts.DecimalSeparator == ',' ? ';' : ',';

    const char* currency = nl_langinfo_l(CRNCYSTR, loc);
    if (currency && *currency) {
        bool before = currency[0] == '-';
        facts.CurrencyString = currency + 1;
        bool spaced = *nl_langinfo_l(P_SEP_BY_SPACE, loc) == 1;
        facts.CurrencyFormat = before ? (spaced ? 2 : 0) : (spaced ? 3 : 1);
        facts.NegCurrFormat = before ? (spaced ? 9 : 1) : (spaced ? 8 : 5);
    }
    char fracDigits = *nl_langinfo_l(FRAC_DIGITS, loc);
    if (fracDigits >= 0 && fracDigits <= 9)
        facts.CurrencyDecimals = fracDigits;
    freelocale(loc);
    return facts;
}

const LocaleFacts& LocaleFacts::Current() {
    static const LocaleFacts facts = FromProcessLocale();
    return facts;
}

} // namespace rtl
