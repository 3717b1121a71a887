#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <string>
#include <string_view>
#include <vector>

namespace rtl {

// A date and time: whole days since 1899-12-30 plus the fraction of the day. For dates before
// 1899-12-30 the integral part is negative and the fraction still counts forward
// (-1.25 is 1899-12-29 06:00).
using TDateTime = double;

constexpr double MSecsPerDay = 86400000.0;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

// Year 1..9999, month 1..12, day 1..DaysInMonth. EncodeDate throws EConvertError
// "Invalid argument to date encode"; EncodeTime (hour 0..23, min/sec 0..59, msec 0..999) throws
// "Invalid argument to time encode".
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
TDateTime EncodeDate(int year, int month, int day);
bool TryEncodeTime(int hour, int min, int sec, int msec, TDateTime& time);
TDateTime EncodeTime(int hour, int min, int sec, int msec);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
void DecodeTime(TDateTime time, int& hour, int& min, int& sec, int& msec);
// 1 = Sunday .. 7 = Saturday.
int DayOfWeek(TDateTime date);

// The local date and time (Now), its date part (Date) and time part (Time).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Classic FormatDateTime. Pattern letters (any case): c (short date + long time), d dd ddd dddd
// ddddd (short date) dddddd (long date), m mm mmm mmmm (minutes when right after h/hh), yy yyyy,
// h hh, n nn, s ss, z zzz, t (short time) tt (long time), am/pm a/p ampm (12-hour clock),
// '/' date separator, ':' time separator, "..." and '...' literals. Other characters are copied.
std::string FormatDateTime(std::string_view format, TDateTime value,
                           const LocaleFacts& facts = LocaleFacts::Current());
// FormatDateTime appended to out.
void AppendFormatDateTime(std::string& out, std::string_view format, TDateTime value,
                          const LocaleFacts& facts = LocaleFacts::Current());
// A FormatDateTime pattern read once, for formatting many values with the same facts (which outlive it).
class DateTimeFormatter {
public:
    DateTimeFormatter(std::string_view format, const LocaleFacts& facts = LocaleFacts::Current());
    // FormatDateTime(format, value, facts) appended to out.
    void Append(std::string& out, TDateTime value) const;

    // A piece of the pattern: a text, a field of the value or an am/pm marker (text before noon, other
    // after).
    struct Piece {
        enum Kind : char {
            Text,
            Year,
            Month,
            MonthShort,
            MonthLong,
            Day,
            DayShort,
            DayLong,
            Hour,
            Hour12,
            Minute,
            Second,
            Millisecond,
            AmPm
        };
        Kind kind;
        int digits;
        std::string text, other;
    };

private:
    std::string format_;
    const LocaleFacts& facts_;
    std::vector<Piece> pieces_;
    bool read_ = false; // false: the pattern shows the time only for some values ("c"), read per value
};

// FormatDateTime("ddddd" / "tt" / "c").
std::string DateToStr(TDateTime value, const LocaleFacts& facts = LocaleFacts::Current());
std::string TimeToStr(TDateTime value, const LocaleFacts& facts = LocaleFacts::Current());
std::string DateTimeToStr(TDateTime value, const LocaleFacts& facts = LocaleFacts::Current());

// Parse a date in the order of the short date format (separated by the date separator; a missing
// year is the current one, two-digit years use the century window), a time "h[:n[:s[.z]]]" with an
// optional AM/PM, or a date followed by a time. Throw EConvertError "'<s>' is not a valid date",
// "'<s>' is not a valid time" or "'<s>' is not a valid date and time".
TDateTime StrToDate(std::string_view s, const LocaleFacts& facts = LocaleFacts::Current());
TDateTime StrToTime(std::string_view s, const LocaleFacts& facts = LocaleFacts::Current());
TDateTime StrToDateTime(std::string_view s, const LocaleFacts& facts = LocaleFacts::Current());
bool TryStrToDate(std::string_view s, TDateTime& value, const LocaleFacts& facts = LocaleFacts::Current());
bool TryStrToTime(std::string_view s, TDateTime& value, const LocaleFacts& facts = LocaleFacts::Current());
// readsClock, when given, tells whether the value depends on the clock (a date without its year or with
// two digits of it), so that the same text may read otherwise another day.
bool TryStrToDateTime(std::string_view s, TDateTime& value, const LocaleFacts& facts = LocaleFacts::Current(),
                      bool* readsClock = nullptr);

} // namespace rtl
