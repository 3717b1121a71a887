#include "platform/rtl/DateUtils.h"

#include "platform/rtl/DatePattern.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>

namespace rtl {

namespace {

constexpr int kDateDelta = 693594; // days from 0001-01-01 to 1899-12-30

constexpr int kDaysBeforeMonth[2][13] = {{0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
                                         {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335}};

// Whole days (counted from 0001-01-01 as day 1) and milliseconds of the day. Dates before
// 1899-12-30 keep their time as a positive fraction, as the classic date values do.
struct TimeStamp {
    long long date;
    long long time;
};

// Days of 9999-12-31 counted from 0001-01-01 as day 1: the last date a TDateTime can hold.
constexpr long long kMaxDateDays = 3652059;

// Values that are not finite or lie far outside the date range give day 0 (no date), so that nothing
// converts an out-of-range double to an integer.
TimeStamp toTimeStamp(TDateTime value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e7)
        return {0, 0};
    double whole = std::trunc(value);
    long long ms = std::llround(std::fabs(value - whole) * MSecsPerDay);
    TimeStamp ts{static_cast<long long>(whole) + kDateDelta, ms};
    if (ts.time >= static_cast<long long>(MSecsPerDay)) { // rounding reached the next day
        ts.time = 0;
        ts.date += value < 0 ? -1 : 1;
    }
    return ts;
}

void decodeDays(long long days, int& year, int& month, int& day) {
    // days: 1 = 0001-01-01
    if (days <= 0) {
        year = month = day = 0;
        return;
    }
    long long t = days - 1;
    long long y = 1;
    long long d400 = t / 146097;
    t %= 146097;
    y += d400 * 400;
    long long d100 = t / 36524;
    t %= 36524;
    if (d100 == 4) {
        d100 = 3;
        t += 36524;
    }
    y += d100 * 100;
    long long d4 = t / 1461;
    t %= 1461;
    y += d4 * 4;
    long long d1 = t / 365;
    t %= 365;
    if (d1 == 4) {
        d1 = 3;
        t += 365;
    }
    y += d1;
    year = int(y);
    const int* table = kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0];
    int m = 12;
    while (m > 1 && table[m] > t)
        --m;
    month = m;
    day = int(t - table[m]) + 1;
}

// --- parsing ---

class Scanner {
public:
    explicit Scanner(std::string_view s) : s_(s) {}

    bool atEnd() const { return pos_ >= s_.size(); }
    size_t pos() const { return pos_; }
    void skipBlanks() {
        while (pos_ < s_.size() && s_[pos_] == ' ')
            ++pos_;
    }
    // A run of digits worth at most 9999; a longer number is no part of a date or time, so the text
    // fails instead of leaving digits behind for the next field.
    bool number(int& value, int& length) {
        skipBlanks();
        size_t start = pos_;
        int n = 0;
        while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
            n = n * 10 + (s_[pos_] - '0');
            ++pos_;
            if (n > 9999)
                return false;
        }
        if (pos_ == start)
            return false;
        value = n;
        length = int(pos_ - start);
        return true;
    }
    bool character(char c) {
        skipBlanks();
        if (pos_ < s_.size() && s_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool text(std::string_view word) {
        skipBlanks();
        if (word.empty() || s_.size() - pos_ < word.size())
            return false;
        // Most words are looked for in front of a digit: the first letter, compared as SameText compares
        // it, turns them down without the call.
        const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 32) : c; };
        if (upper(s_[pos_]) != upper(word[0]) || !SameText(s_.substr(pos_, word.size()), word))
            return false;
        pos_ += word.size();
        return true;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

enum class DateOrder { MDY, DMY, YMD };

DateOrder dateOrder(std::string_view shortDateFormat) {
    for (char c : shortDateFormat) {
        switch (c) {
        case 'd':
        case 'D':
            return DateOrder::DMY;
        case 'm':
        case 'M':
            return DateOrder::MDY;
        case 'y':
        case 'Y':
            return DateOrder::YMD;
        default:
            break;
        }
    }
    return DateOrder::MDY;
}

// Three numbers of a date, read in the text's order, as year, month and day; yearLength is the digits of
// the number taken as the year.
struct OrderedDate {
    int year, month, day, yearLength;
};

OrderedDate orderDate(DateOrder order, int n1, int l1, int n2, int n3, int l3) {
    switch (order) {
    case DateOrder::MDY:
        return {n3, n1, n2, l3};
    case DateOrder::DMY:
        return {n3, n2, n1, l3};
    default:
        return {n1, n2, n3, l1};
    }
}

int currentYear() {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    return y;
}

bool validDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           (day <= 28 || day <= DaysInMonth(year, month));
}

bool validTime(int hour, int min, int sec, int msec) {
    return hour >= 0 && hour <= 23 && min >= 0 && min <= 59 && sec >= 0 && sec <= 59 && msec >= 0 &&
           msec <= 999;
}

// Days of a valid date counted from 0001-01-01 as day 1.
long long dateDays(int year, int month, int day) {
    const long long y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400 + kDaysBeforeMonth[IsLeapYear(year) ? 1 : 0][month] + day;
}

// The fields a date and time text names, as read: a text with only a time has the date 1899-12-30, a
// text with only a date the time 0:00.
struct ReadFields {
    int year = 1899, month = 12, day = 30, hour = 0, min = 0, sec = 0, msec = 0;
};

// readsClock, when given, is set when the date takes its year or century from the clock.
bool scanDate(Scanner& sc, ReadFields& f, const LocaleFacts& facts, bool* readsClock = nullptr) {
    DateOrder order = dateOrder(facts.ShortDateFormat);
    int n1, n2, n3, l1, l2, l3;
    if (!(sc.number(n1, l1) && sc.character(facts.DateSeparator) && sc.number(n2, l2)))
        return false;
    int y, m, d;
    if (sc.character(facts.DateSeparator)) {
        if (!sc.number(n3, l3))
            return false;
        const OrderedDate date = orderDate(order, n1, l1, n2, n3, l3);
        y = date.year, m = date.month, d = date.day;
        if (date.yearLength <= 2) {
            if (readsClock)
                *readsClock = true;
            int centuryBase = currentYear() - facts.TwoDigitYearCenturyWindow;
            y += centuryBase / 100 * 100;
            if (facts.TwoDigitYearCenturyWindow > 0 && y < centuryBase)
                y += 100;
        }
    } else {
        if (readsClock)
            *readsClock = true;
        y = currentYear();
        if (order == DateOrder::DMY)
            d = n1, m = n2;
        else
            m = n1, d = n2;
    }
    sc.character(facts.DateSeparator);
    sc.skipBlanks();
    if (!validDate(y, m, d))
        return false;
    f.year = y, f.month = m, f.day = d;
    return true;
}

bool scanTime(Scanner& sc, ReadFields& f, const LocaleFacts& facts) {
    auto scanAmPm = [&]() {
        if (sc.text(facts.TimeAMString) || sc.text("AM"))
            return 0;
        if (sc.text(facts.TimePMString) || sc.text("PM"))
            return 12;
        return -1;
    };
    int baseHour = scanAmPm();
    int hour, min = 0, sec = 0, msec = 0, length;
    if (!sc.number(hour, length))
        return false;
    if (sc.character(facts.TimeSeparator)) {
        if (!sc.number(min, length))
            return false;
        if (sc.character(facts.TimeSeparator)) {
            if (!sc.number(sec, length))
                return false;
            if (sc.character(facts.DecimalSeparator) && !sc.number(msec, length))
                return false;
        }
    }
    if (baseHour < 0)
        baseHour = scanAmPm();
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12)
            return false;
        if (hour == 12)
            hour = 0;
        hour += baseHour;
    }
    sc.skipBlanks();
    if (!validTime(hour, min, sec, msec))
        return false;
    f.hour = hour, f.min = min, f.sec = sec, f.msec = msec;
    return true;
}

// A text that is only a time.
bool readTime(std::string_view s, ReadFields& f, const LocaleFacts& facts) {
    Scanner sc(s);
    return scanTime(sc, f, facts) && sc.atEnd();
}

// A date, a date followed by a time, or else only a time.
bool readDateTime(std::string_view s, ReadFields& f, const LocaleFacts& facts, bool* readsClock) {
    Scanner sc(s);
    if (readsClock)
        *readsClock = false;
    if (scanDate(sc, f, facts, readsClock) && (sc.atEnd() || scanTime(sc, f, facts)) && sc.atEnd())
        return true;
    f = ReadFields();
    return readTime(s, f, facts);
}

// Whether PlainReader reads texts under these facts exactly as readDateTime does: the separators are no
// digit or blank and the date's differs from the time's, and no am/pm word starts with a digit.
bool plainTextsReadAlike(const LocaleFacts& facts) {
    const auto digitOrBlank = [](char c) { return c == ' ' || (c >= '0' && c <= '9'); };
    const auto digitFirst = [&](const std::string& word) { return !word.empty() && digitOrBlank(word[0]); };
    return !digitOrBlank(facts.DateSeparator) && !digitOrBlank(facts.TimeSeparator) &&
           !digitOrBlank(facts.DecimalSeparator) && facts.DateSeparator != facts.TimeSeparator &&
           !digitFirst(facts.TimeAMString) && !digitFirst(facts.TimePMString);
}

// The shapes most times have, "h:nn", "hh:nn", "h:nn:ss" and "hh:nn:ss" (separated by separator), read by
// their places; false (nothing read) for any other text, which PlainReader::readTime reads number by number
// alike.
[[gnu::always_inline]] inline bool readClockTime(std::string_view text, char separator, ReadFields& f) {
    const auto digit = [](char c) { return unsigned(c - '0') < 10; };
    const char* const p = text.data();
    const std::size_t n = text.size();
    const std::size_t hourDigits = n >= 2 && p[1] == separator ? 1 : n >= 3 && p[2] == separator ? 2 : 0;
    const std::size_t rest = n - hourDigits - 1; // after the hour's separator
    if (hourDigits == 0 || (rest != 2 && rest != 5))
        return false;
    const char* const m = p + hourDigits + 1;
    if (!digit(p[0]) || !digit(p[hourDigits - 1]) || !digit(m[0]) || !digit(m[1]) ||
        (rest == 5 && (m[2] != separator || !digit(m[3]) || !digit(m[4]))))
        return false;
    const int hour = hourDigits == 1 ? p[0] - '0' : (p[0] - '0') * 10 + (p[1] - '0');
    const int min = (m[0] - '0') * 10 + (m[1] - '0');
    const int sec = rest == 5 ? (m[3] - '0') * 10 + (m[4] - '0') : 0;
    if (hour > 23 || min > 59 || sec > 59)
        return false;
    f.hour = hour, f.min = min, f.sec = sec, f.msec = 0;
    return true;
}

// Reads the plain shapes most date and time texts have: a date of three numbers with a year of three or
// four digits, alone or followed by one blank and a time "h:n[:s[.z]]", or that time alone; every number
// one to four digits, every separator one character. Such a text reads as readDateTime reads it (under
// facts where plainTextsReadAlike holds) and its year never comes from the clock; read is false for every
// other text, which readDateTime reads instead.
class PlainReader {
public:
    PlainReader(std::string_view s, const LocaleFacts& facts)
        : begin_(s.data()), p_(s.data()), end_(s.data() + s.size()), facts_(facts) {}

    // dateLength is set to the length of the date and the blank after it when a time follows them.
    bool read(ReadFields& f, DateOrder order, std::size_t& dateLength) {
        int n1, l1, n2, l2, n3, l3;
        if (!number(n1, l1))
            return false;
        if (character(facts_.TimeSeparator))
            return time(n1, f);
        if (!(character(facts_.DateSeparator) && number(n2, l2) && character(facts_.DateSeparator) &&
              number(n3, l3)))
            return false;
        const OrderedDate date = orderDate(order, n1, l1, n2, n3, l3);
        if (date.yearLength < 3 || !validDate(date.year, date.month, date.day))
            return false;
        f.year = date.year, f.month = date.month, f.day = date.day;
        if (p_ == end_)
            return true;
        if (!character(' '))
            return false;
        dateLength = std::size_t(p_ - begin_);
        return readTime(f);
    }
    // A text that is only a time "h:n[:s[.z]]".
    bool readTime(ReadFields& f) {
        if (readClockTime(std::string_view(p_, std::size_t(end_ - p_)), facts_.TimeSeparator, f)) {
            p_ = end_;
            return true;
        }
        int hour, length;
        return number(hour, length) && character(facts_.TimeSeparator) && time(hour, f);
    }

private:
    static bool digit(char c) { return unsigned(c - '0') < 10; }
    bool number(int& value, int& length) {
        const char* p = p_;
        unsigned n = 0; // wraps harmlessly past four digits, which fail
        while (p != end_ && digit(*p)) {
            n = n * 10 + unsigned(*p - '0');
            ++p;
        }
        length = int(p - p_);
        if (length == 0 || length > 4)
            return false;
        value = int(n);
        p_ = p;
        return true;
    }
    bool character(char c) {
        if (p_ == end_ || *p_ != c)
            return false;
        ++p_;
        return true;
    }
    // The rest of a time after its hour and separator.
    bool time(int hour, ReadFields& f) {
        int min, sec = 0, msec = 0, length;
        if (!number(min, length))
            return false;
        if (character(facts_.TimeSeparator)) {
            if (!number(sec, length))
                return false;
            if (character(facts_.DecimalSeparator) && !number(msec, length))
                return false;
        }
        if (p_ != end_ || !validTime(hour, min, sec, msec))
            return false;
        f.hour = hour, f.min = min, f.sec = sec, f.msec = msec;
        return true;
    }

    const char* const begin_;
    const char* p_;
    const char* const end_;
    const LocaleFacts& facts_;
};

TDateTime dateValue(const ReadFields& f) {
    return double(dateDays(f.year, f.month, f.day) - kDateDelta);
}

TDateTime timeValue(const ReadFields& f) {
    return (f.hour * 3600000.0 + f.min * 60000.0 + f.sec * 1000.0 + f.msec) / MSecsPerDay;
}

// --- formatting ---

} // namespace

// The fields of a value that a pattern shows.
struct detail::DateFields {
    int year, month, day, hour, min, sec, msec;
    int dayOfWeek; // 1 = Sunday .. 7 = Saturday
};

namespace {

using detail::DateFields;

int dayOfWeekOf(long long days) {
    long long r = days % 7;
    if (r < 0)
        r += 7;
    return int(r) + 1;
}

DateFields decodeFields(TDateTime value) {
    DateFields f;
    const TimeStamp ts = toTimeStamp(value);
    decodeDays(ts.date, f.year, f.month, f.day);
    f.hour = int(ts.time / 3600000);
    f.min = int(ts.time / 60000 % 60);
    f.sec = int(ts.time / 1000 % 60);
    f.msec = int(ts.time % 1000);
    f.dayOfWeek = dayOfWeekOf(ts.date);
    return f;
}

// The fields of a text's value, exactly as decodeFields gives them for the TDateTime the text reads as:
// the whole days and the milliseconds of the day survive that double unchanged for every valid date and
// time. The day of the week only when asked for.
DateFields fieldsOf(const ReadFields& r, bool withDayOfWeek) {
    return {r.year, r.month, r.day, r.hour, r.min, r.sec, r.msec,
            withDayOfWeek ? dayOfWeekOf(dateDays(r.year, r.month, r.day)) : 0};
}

using Piece = DateTimeFormatter::Piece;

// The longest of some names.
template <std::size_t N> std::size_t longest(const std::array<std::string, N>& names) {
    std::size_t length = 0;
    for (const std::string& name : names)
        length = std::max(length, name.size());
    return length;
}

// The most characters a field writes: four digits at most, as every field of a formattable value is
// below 10,000, or a name.
std::size_t fieldRoom(Piece::Kind kind, const LocaleFacts& facts) {
    switch (kind) {
    case Piece::MonthShort:
        return longest(facts.ShortMonthNames);
    case Piece::MonthLong:
        return longest(facts.LongMonthNames);
    case Piece::DayShort:
        return longest(facts.ShortDayNames);
    case Piece::DayLong:
        return longest(facts.LongDayNames);
    default:
        return 4;
    }
}

// value (0 .. 9999) in decimal with at least the given digits.
inline char* putNumber(char* p, int value, int digits) {
    if (value < 10 && digits <= 1) {
        *p = char('0' + value);
        return p + 1;
    }
    if (value < 100 && digits <= 2) {
        p[0] = char('0' + value / 10);
        p[1] = char('0' + value % 10);
        return p + 2;
    }
    int length = value >= 1000 ? 4 : value >= 100 ? 3 : 2;
    if (length < digits)
        length = digits;
    switch (length) {
    case 4:
        p[3] = char('0' + value % 10);
        value /= 10;
        [[fallthrough]];
    case 3:
        p[2] = char('0' + value % 10);
        value /= 10;
        [[fallthrough]];
    default:
        p[1] = char('0' + value % 10);
        p[0] = char('0' + value / 10);
    }
    return p + length;
}

inline char* putText(char* p, std::string_view text) {
    const std::size_t n = text.size();
    if (n == 1) // a separator, most often
        *p = text[0];
    else
        CopyShortBytes(p, text.data(), n);
    return p + n;
}

// One field of a value as a pattern shows it, written at p with room for fieldRoom(kind) characters.
inline char* putField(char* p, Piece::Kind kind, int digits, const DateFields& f, const LocaleFacts& facts) {
    switch (kind) {
    case Piece::Year:
        return digits <= 2 ? putNumber(p, f.year % 100, 2) : putNumber(p, f.year, 4);
    case Piece::Month:
        return putNumber(p, f.month, digits);
    case Piece::MonthShort:
        return putText(p, facts.ShortMonthNames[size_t(f.month - 1)]);
    case Piece::MonthLong:
        return putText(p, facts.LongMonthNames[size_t(f.month - 1)]);
    case Piece::Day:
        return putNumber(p, f.day, digits);
    case Piece::DayShort:
        return putText(p, facts.ShortDayNames[size_t(f.dayOfWeek - 1)]);
    case Piece::DayLong:
        return putText(p, facts.LongDayNames[size_t(f.dayOfWeek - 1)]);
    case Piece::Hour:
        return putNumber(p, f.hour, digits);
    case Piece::Hour12:
        return putNumber(p, f.hour == 0 ? 12 : (f.hour > 12 ? f.hour - 12 : f.hour), digits);
    case Piece::Minute:
        return putNumber(p, f.min, digits);
    case Piece::Second:
        return putNumber(p, f.sec, digits);
    case Piece::Millisecond:
        return putNumber(p, f.msec, digits);
    case Piece::Text:
    case Piece::AmPm:
        break;
    }
    return p;
}

void appendField(std::string& out, Piece::Kind kind, int digits, const DateFields& f,
                 const LocaleFacts& facts) {
    const std::size_t start = out.size();
    out.resize(start + fieldRoom(kind, facts));
    const char* const end = putField(out.data() + start, kind, digits, f, facts);
    out.resize(std::size_t(end - out.data()));
}

// Reads a pattern and hands its pieces to a sink: text, fields and am/pm markers. The sink tells whether
// the value has a time of day (the "c" pattern shows the time only then), or that it cannot tell.
template <class Sink> class PatternReader {
public:
    PatternReader(const LocaleFacts& facts, Sink& sink) : facts_(facts), sink_(sink) {}

    // False when the pattern asked what the sink cannot tell.
    bool read(std::string_view format) {
        append(format, 0);
        return !unknown_;
    }

private:
    // Whether an am/pm marker follows before the next hour specifier (outside quotes).
    static bool twelveHourAhead(std::string_view format, size_t i) {
        char quote = 0; // the quote of the open literal: a literal ends only at its own quote character
        for (; i < format.size(); ++i) {
            char c = format[i];
            if (quote != 0) {
                if (c == quote)
                    quote = 0;
            } else if (c == '\'' || c == '"') {
                quote = c;
            } else if (c == 'a' || c == 'A') {
                return AmPmMarkerLength(format, i) != 0;
            } else if (c == 'h' || c == 'H') {
                return false;
            }
        }
        return false;
    }

    void append(std::string_view format, int level) {
        if (level >= 2)
            return;
        char lastLetter = ' ';
        size_t i = 0;
        while (i < format.size() && !unknown_) {
            const char starter = format[i];
            const auto [token, count] = ReadDatePatternRun(format, i, lastLetter);
            const int digits = int(count);
            switch (token) {
            case 'Y':
                sink_.field(Piece::Year, digits <= 2 ? 2 : 4);
                i += count;
                break;
            case 'M':
                sink_.field(count <= 2   ? Piece::Month
                            : count == 3 ? Piece::MonthShort
                                         : Piece::MonthLong,
                            digits);
                i += count;
                break;
            case 'D':
                if (count <= 4)
                    sink_.field(count <= 2   ? Piece::Day
                                : count == 3 ? Piece::DayShort
                                             : Piece::DayLong,
                                digits);
                else if (count == 5)
                    append(facts_.ShortDateFormat, level + 1);
                else
                    append(facts_.LongDateFormat, level + 1);
                i += count;
                break;
            case 'H':
                if (twelveHourAhead(format, i + count))
                    twelveHour_ = true;
                sink_.field(twelveHour_ ? Piece::Hour12 : Piece::Hour, count > 2 ? 2 : digits);
                i += count;
                break;
            case 'N':
                sink_.field(Piece::Minute, count > 2 ? 2 : digits);
                i += count;
                break;
            case 'S':
                sink_.field(Piece::Second, count > 2 ? 2 : digits);
                i += count;
                break;
            case 'Z':
                sink_.field(Piece::Millisecond, count > 3 ? 3 : digits);
                i += count;
                break;
            case 'T':
                append(count == 1 ? facts_.ShortTimeFormat : facts_.LongTimeFormat, level + 1);
                i += count;
                break;
            case 'C': {
                append(facts_.ShortDateFormat, level + 1);
                bool known = true;
                const bool hasTime = sink_.hasTime(known);
                if (!known) {
                    unknown_ = true;
                    return;
                }
                if (hasTime) {
                    sink_.text(" ");
                    append(facts_.LongTimeFormat, level + 1);
                }
                i += count;
                break;
            }
            case 'A':
                i += ampm(format, i);
                break;
            case '/':
                if (facts_.DateSeparator != '\0')
                    sink_.text(std::string_view(&facts_.DateSeparator, 1));
                ++i;
                break;
            case ':':
                if (facts_.TimeSeparator != '\0')
                    sink_.text(std::string_view(&facts_.TimeSeparator, 1));
                ++i;
                break;
            case '\'':
            case '"': {
                size_t end = format.find(starter, i + 1);
                if (end == std::string_view::npos)
                    end = format.size();
                sink_.text(format.substr(i + 1, end - i - 1));
                i = end + 1;
                break;
            }
            default:
                sink_.text(format.substr(i, 1));
                ++i;
                break;
            }
        }
    }

    // An "a" at format[i]: am/pm, a/p, ampm, or a plain letter. Returns the characters used.
    size_t ampm(std::string_view format, size_t i) {
        const size_t length = AmPmMarkerLength(format, i);
        switch (length) {
        case 5: // AM/PM
            sink_.ampm(format.substr(i, 2), format.substr(i + 3, 2));
            break;
        case 3: // A/P
            sink_.ampm(format.substr(i, 1), format.substr(i + 2, 1));
            break;
        case 4: // AMPM
            sink_.ampm(facts_.TimeAMString, facts_.TimePMString);
            break;
        default:
            sink_.text(format.substr(i, 1));
            return 1;
        }
        twelveHour_ = true;
        return length;
    }

    const LocaleFacts& facts_;
    Sink& sink_;
    bool twelveHour_ = false;
    bool unknown_ = false;
};

// Writes the pieces of a value straight into a text.
class TextSink {
public:
    TextSink(std::string& out, const DateFields& fields, const LocaleFacts& facts)
        : out_(out), fields_(fields), facts_(facts) {}
    void text(std::string_view s) { out_.append(s); }
    void field(Piece::Kind kind, int digits) { appendField(out_, kind, digits, fields_, facts_); }
    void ampm(std::string_view am, std::string_view pm) { out_.append(fields_.hour >= 12 ? pm : am); }
    bool hasTime(bool&) const { return fields_.hour != 0 || fields_.min != 0 || fields_.sec != 0; }

private:
    std::string& out_;
    const DateFields& fields_;
    const LocaleFacts& facts_;
};

// Keeps the pieces, for values to come.
class PieceSink {
public:
    PieceSink(std::vector<Piece>& pieces, std::string& texts) : pieces_(pieces), texts_(texts) {}
    void text(std::string_view s) {
        if (pieces_.empty())
            pieces_.push_back({Piece::Text, 0});
        Piece& last = pieces_.back();
        if (last.textLength == 0)
            last.text = std::uint32_t(texts_.size());
        texts_.append(s);
        last.textLength += std::uint32_t(s.size());
    }
    void field(Piece::Kind kind, int digits) { pieces_.push_back({kind, digits}); }
    void ampm(std::string_view am, std::string_view pm) {
        Piece& marker = pieces_.emplace_back(Piece{Piece::AmPm, 0});
        marker.am = std::uint32_t(texts_.size());
        marker.amLength = std::uint32_t(am.size());
        texts_.append(am);
        marker.pm = std::uint32_t(texts_.size());
        marker.pmLength = std::uint32_t(pm.size());
        texts_.append(pm);
    }
    bool hasTime(bool& known) const {
        known = false;
        return false;
    }

private:
    std::vector<Piece>& pieces_;
    std::string& texts_;
};

// Whether FormatDateTime shows the value (its date lies in 0001-01-01 .. 9999-12-31).
bool formattable(TDateTime value) {
    const long long days = toTimeStamp(value).date;
    return days >= 1 && days <= kMaxDateDays;
}

} // namespace

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
    if (!validDate(year, month, day))
        return false;
    date = dateValue({year, month, day});
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime d;
    if (!TryEncodeDate(year, month, day, d))
        throw EConvertError("Invalid argument to date encode");
    return d;
}

bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time) {
    if (!validTime(hour, min, sec, msec))
        return false;
    ReadFields f;
    f.hour = hour, f.min = min, f.sec = sec, f.msec = msec;
    time = timeValue(f);
    return true;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    TDateTime t;
    if (!TryEncodeTime(hour, min, sec, msec, t))
        throw EConvertError("Invalid argument to time encode");
    return t;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
    decodeDays(toTimeStamp(date).date, year, month, day);
}

void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec) {
    long long ms = toTimeStamp(time).time;
    hour = int(ms / 3600000);
    min = int(ms / 60000 % 60);
    sec = int(ms / 1000 % 60);
    msec = int(ms % 1000);
}

int DayOfWeek(TDateTime date) {
    long long days = toTimeStamp(date).date;
    long long r = days % 7;
    if (r < 0)
        r += 7;
    return int(r) + 1;
}

TDateTime Now() {
    auto now = std::chrono::system_clock::now();
    std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    int ms =
        int(std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), ms);
}

TDateTime Date() {
    return std::trunc(Now());
}

TDateTime Time() {
    TDateTime now = Now();
    return now - std::trunc(now);
}

std::string FormatDateTime(std::string_view format, TDateTime value, const LocaleFacts& facts) {
    std::string out;
    AppendFormatDateTime(out, format, value, facts);
    return out;
}

void AppendFormatDateTime(std::string& out, std::string_view format, TDateTime value,
                          const LocaleFacts& facts) {
    if (!formattable(value))
        return;
    const DateFields fields = decodeFields(value);
    TextSink sink(out, fields, facts);
    PatternReader<TextSink>(facts, sink).read(format.empty() ? std::string_view("c") : format);
}

DateTimeFormatter::DateTimeFormatter(std::string_view format, const LocaleFacts& facts)
    : format_(format.empty() ? "c" : format), facts_(facts) {
    PieceSink sink(pieces_, texts_);
    read_ = PatternReader<PieceSink>(facts, sink).read(format_);
    dayNames_ = !read_;
    plainTexts_ = plainTextsReadAlike(facts);
    dateOrder_ = int(dateOrder(facts.ShortDateFormat));
    for (const Piece& piece : pieces_) {
        room_ += piece.textLength;
        if (piece.kind == Piece::AmPm)
            room_ += std::max(piece.amLength, piece.pmLength);
        else if (piece.kind != Piece::Text)
            room_ += fieldRoom(piece.kind, facts);
        dayNames_ = dayNames_ || piece.kind == Piece::DayShort || piece.kind == Piece::DayLong;
    }
    // The pieces before the first time field show the date only; when no date field follows, they show a
    // day the same way for every time of it.
    const auto timeField = [](const Piece& piece) { return piece.kind >= Piece::Hour; };
    const auto first = std::find_if(pieces_.begin(), pieces_.end(), timeField);
    const bool dateAfter = std::any_of(first, pieces_.end(), [&](const Piece& piece) {
        return piece.kind != Piece::Text && !timeField(piece);
    });
    datePieces_ = read_ && !dateAfter ? std::size_t(first - pieces_.begin()) : kNoDatePieces;
    byMinute_ = datePieces_ != kNoDatePieces && std::none_of(first, pieces_.end(), [](const Piece& piece) {
                    return piece.kind == Piece::Second || piece.kind == Piece::Millisecond;
                });
}

void DateTimeFormatter::Append(std::string& out, TDateTime value) const {
    if (!formattable(value))
        return;
    appendFields(out, decodeFields(value), 0, pieces_.size());
}

bool DateTimeFormatter::AppendText(std::string& out, std::string_view text, bool* readsClock,
                                   DayMemo* day) const {
    ReadFields read; // on the day before, only the time: the pieces that show it need nothing else
    const bool byDay = day != nullptr && datePieces_ != kNoDatePieces && plainTexts_;
    const std::size_t known = byDay ? day->text_.size() : 0;
    if (known != 0 && text.size() > known && SameShortBytes(text.data(), day->text_.data(), known) &&
        (readClockTime(text.substr(known), facts_.TimeSeparator, read) ||
         PlainReader(text.substr(known), facts_).readTime(read))) { // the day before, another time
        if (readsClock)
            *readsClock = false;
        if (byMinute_ && day->shown_.size() <= kPaddedBytes) {
            appendByMinute(out, read.hour, read.min, *day);
            return true;
        }
        appendFields(out, fieldsOf(read, false), datePieces_, pieces_.size(), day->shown_);
        return true;
    }
    std::size_t dateLength = 0; // of a date and time read the plain way: only such a text gives its day
    if (plainTexts_ && PlainReader(text, facts_).read(read, DateOrder(dateOrder_), dateLength)) {
        if (readsClock)
            *readsClock = false;
    } else {
        dateLength = 0;
        if (!readDateTime(text, read = ReadFields(), facts_, readsClock))
            return false;
    }
    const DateFields fields = fieldsOf(read, dayNames_);
    if (!byDay || dateLength == 0) {
        appendFields(out, fields, 0, pieces_.size());
        return true;
    }
    const std::size_t start = out.size();
    appendFields(out, fields, 0, datePieces_);
    day->shown_.assign(out, start);
    day->text_.assign(text.substr(0, dateLength));
    appendFields(out, fields, datePieces_, pieces_.size());
    return true;
}

void DateTimeFormatter::DayMemo::Clear() {
    text_.clear();
    shown_.clear();
    minutes_.clear();
}

void DateTimeFormatter::appendByMinute(std::string& out, int hour, int minute, DayMemo& day) const {
    if (day.minutes_.empty())
        day.minutes_.resize(DayMemo::kMinutes);
    DayMemo::MinuteText& shown = day.minutes_[std::size_t(hour * 60 + minute)];
    if (shown.length == 0) {
        std::string time;
        appendFields(time, fieldsOf(ReadFields{1899, 12, 30, hour, minute, 0, 0}, false), datePieces_,
                     pieces_.size());
        if (time.size() > sizeof shown.text) { // too long to keep: shown every time
            out.append(day.shown_).append(time);
            return;
        }
        std::memcpy(shown.text, time.data(), time.size());
        shown.length = std::uint8_t(time.size()); // an empty text stays unkept: shown afresh each time
    }
    // The day's text and the minute's, at most kPaddedBytes and 31 bytes, copied into one padded text.
    char buffer[kPaddedBytes + sizeof shown.text + kPaddedBytes];
    const std::size_t lead = day.shown_.size();
    CopyShortBytes(buffer, day.shown_.data(), lead);
    CopyShortBytes(buffer + lead, shown.text, shown.length);
    AppendPaddedBytes(out, buffer, lead + shown.length);
}

void DateTimeFormatter::appendFields(std::string& out, const DateFields& f, std::size_t first,
                                     std::size_t last, std::string_view lead) const {
    if (!read_) {
        out.append(lead);
        TextSink sink(out, f, facts_);
        PatternReader<TextSink>(facts_, sink).read(format_);
        return;
    }
    // Written where there is room for the longest text: on the stack when that is short, else at the end
    // of out, which gives back what is left over.
    char buffer[64];
    const bool onStack = room_ <= sizeof buffer;
    const std::size_t start = out.size();
    if (!onStack)
        out.resize(start + room_);
    char* const begin = onStack ? buffer : out.data() + start;
    char* p = putText(begin, lead);
    const char* const texts = texts_.data();
    for (std::size_t i = first; i < last; ++i) {
        const Piece& piece = pieces_[i];
        if (piece.kind == Piece::AmPm)
            p = f.hour >= 12 ? putText(p, {texts + piece.pm, piece.pmLength})
                             : putText(p, {texts + piece.am, piece.amLength});
        else
            p = putField(p, piece.kind, piece.digits, f, facts_);
        p = putText(p, {texts + piece.text, piece.textLength});
    }
    static_assert(sizeof buffer >= kPaddedBytes);
    if (onStack)
        AppendPaddedBytes(out, buffer, std::size_t(p - buffer));
    else
        out.resize(start + std::size_t(p - begin));
}

std::string DateToStr(TDateTime value, const LocaleFacts& facts) {
    return FormatDateTime(facts.ShortDateFormat, value, facts);
}

std::string TimeToStr(TDateTime value, const LocaleFacts& facts) {
    return FormatDateTime(facts.LongTimeFormat, value, facts);
}

std::string DateTimeToStr(TDateTime value, const LocaleFacts& facts) {
    return FormatDateTime("c", value, facts);
}

bool TryStrToDate(std::string_view s, TDateTime& value, const LocaleFacts& facts) {
    Scanner sc(s);
    ReadFields f;
    if (!scanDate(sc, f, facts) || !sc.atEnd())
        return false;
    value = dateValue(f);
    return true;
}

bool TryStrToTime(std::string_view s, TDateTime& value, const LocaleFacts& facts) {
    ReadFields f;
    if (!readTime(s, f, facts))
        return false;
    value = timeValue(f);
    return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& value, const LocaleFacts& facts, bool* readsClock) {
    ReadFields f;
    if (!readDateTime(s, f, facts, readsClock))
        return false;
    const TDateTime d = dateValue(f), t = timeValue(f);
    value = d >= 0 ? d + t : d - t;
    return true;
}

TDateTime StrToDate(std::string_view s, const LocaleFacts& facts) {
    TDateTime v;
    if (!TryStrToDate(s, v, facts))
        throw EConvertError("'" + std::string(s) + "' is not a valid date");
    return v;
}

TDateTime StrToTime(std::string_view s, const LocaleFacts& facts) {
    TDateTime v;
    if (!TryStrToTime(s, v, facts))
        throw EConvertError("'" + std::string(s) + "' is not a valid time");
    return v;
}

TDateTime StrToDateTime(std::string_view s, const LocaleFacts& facts) {
    TDateTime v;
    if (!TryStrToDateTime(s, v, facts))
        throw EConvertError("'" + std::string(s) + "' is not a valid date and time");
    return v;
}

} // namespace rtl
