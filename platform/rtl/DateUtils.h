#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <cstdint>
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
namespace detail {
struct DateFields;
}

// A FormatDateTime pattern read once, for formatting many values with the same facts (which outlive it).
class DateTimeFormatter {
public:
    DateTimeFormatter(std::string_view format, const LocaleFacts& facts = LocaleFacts::Current());
    // FormatDateTime(format, value, facts) appended to out.
    void Append(std::string& out, TDateTime value) const;
    // The day of the last date and time text that AppendText read with it, and how this formatter shows
    // that day: a text of the same day reads and shows only its time. Kept by the caller for one formatter.
    class DayMemo {
    public:
        void Clear();

    private:
        friend class DateTimeFormatter;
        // How the pieces after the date show a minute of the day, when they show no finer field: its
        // length (0 while it is not kept) and its text.
        struct MinuteText {
            std::uint8_t length = 0;
            char text[31];
        };
        static constexpr std::size_t kMinutes = 24 * 60;
        std::string text_; // the text's date and the blank after it
        std::string shown_; // the pieces before the time
        std::vector<MinuteText> minutes_; // by the minute of the day, once a time was shown
    };

    // TryStrToDateTime(text, value, facts, readsClock) and then Append(out, value), formatting the fields
    // read from the text without the TDateTime between. False, with nothing appended, when text is no date
    // or time.
    bool AppendText(std::string& out, std::string_view text, bool* readsClock = nullptr,
                    DayMemo* day = nullptr) const;

    // A piece of the pattern: a field of the value, an am/pm marker or no field (Text), then a text. The
    // texts lie in texts_: the piece's own at [text, text + textLength), a marker's before noon at
    // [am, am + amLength) and after noon at [pm, pm + pmLength).
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
            Hour, // the time fields, from here to the end
            Hour12,
            Minute,
            Second,
            Millisecond,
            AmPm
        };
        Kind kind;
        int digits;
        std::uint32_t text = 0, textLength = 0, am = 0, amLength = 0, pm = 0, pmLength = 0;
    };

private:
    // Pieces first .. last - 1 of a value, after lead: what earlier pieces showed, which with the pieces
    // written takes no more room than the whole pattern (read_ only).
    void appendFields(std::string& out, const detail::DateFields& fields, std::size_t first,
                      std::size_t last, std::string_view lead = {}) const;

    // The pieces after the date of a minute of the day, after the day's pieces that day shows, by way of
    // the day's memo (byMinute_ only).
    void appendByMinute(std::string& out, int hour, int minute, DayMemo& day) const;

    static constexpr std::size_t kNoDatePieces = std::size_t(-1);

    std::string format_;
    const LocaleFacts& facts_;
    std::vector<Piece> pieces_;
    std::string texts_;
    bool read_ = false; // false: the pattern shows the time only for some values ("c"), read per value
    bool dayNames_ = false; // the day of the week is shown (or may be, when the pattern is read per value)
    std::size_t room_ = 0; // the most characters the pieces write
    bool plainTexts_ = false; // the facts let the common shapes of text be read by a shorter way
    int dateOrder_ = 0; // the order of a date's numbers under the facts
    // How many pieces come before the first time field when none of the later ones shows the date;
    // kNoDatePieces when the pattern mixes them or is read per value.
    std::size_t datePieces_ = kNoDatePieces;
    // The pieces after the date show the hour and the minute at most, so that a day's memo may keep how
    // they show each minute.
    bool byMinute_ = false;
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
