#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace rtl;

const LocaleFacts& us() {
    return LocaleFacts::Default();
}

LocaleFacts germanDates() {
    LocaleFacts f;
    f.ShortDateFormat = "dd.mm.yyyy";
    f.LongTimeFormat = "hh:nn:ss";
    f.DateSeparator = '.';
    f.TimeSeparator = ':';
    f.DecimalSeparator = ',';
    return f;
}

// FormatDateTime's text, checked against the same pattern read once by a DateTimeFormatter.
std::string Formatted(std::string_view format, TDateTime value, const LocaleFacts& facts) {
    const std::string text = FormatDateTime(format, value, facts);
    std::string pieces = "kept ";
    DateTimeFormatter(format, facts).Append(pieces, value);
    EXPECT_EQ(pieces, "kept " + text) << format;
    return text;
}

TDateTime sample() {
    return EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
} // a Tuesday

TEST(DateEncoding, DaysSince1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(2000, 1, 1), 36526.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(2024, 2, 29), 45351.0);
    EXPECT_DOUBLE_EQ(EncodeTime(6, 0, 0, 0), 0.25);
    int y, m, d, h, n, s, z;
    DecodeDate(45351.75, y, m, d);
    DecodeTime(45351.75, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, h, n, s, z}), (std::vector<int>{2024, 2, 29, 18, 0, 0, 0}));
    // Before 1899-12-30 the fraction still counts forward from the day's start.
    DecodeDate(-1.25, y, m, d);
    DecodeTime(-1.25, h, n, s, z);
    EXPECT_EQ((std::vector<int>{y, m, d, h}), (std::vector<int>{1899, 12, 29, 6}));
    DecodeDate(EncodeDate(9999, 12, 31), y, m, d);
    EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{9999, 12, 31}));
    EXPECT_EQ(DayOfWeek(sample()), 3);
    EXPECT_EQ(DayOfWeek(0), 7);
}

TEST(DateEncoding, RejectsImpossibleDatesAndTimes) {
    try {
        EncodeDate(2023, 2, 29);
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Invalid argument to date encode");
    }
    EXPECT_THROW(EncodeDate(2024, 13, 1), EConvertError);
    EXPECT_THROW(EncodeDate(0, 1, 1), EConvertError);
    EXPECT_THROW(EncodeDate(1900, 2, 29), EConvertError);
    EXPECT_NO_THROW(EncodeDate(2000, 2, 29));
    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
}

TEST(DateEncoding, NowIsToday) {
    TDateTime now = Now();
    EXPECT_GT(now, EncodeDate(2020, 1, 1));
    EXPECT_LE(Date(), now);
    EXPECT_EQ(Date(), std::trunc(Date()));
    EXPECT_LT(Time(), 1.0);
}

TEST(FormatDateTime, Fields) {
    TDateTime v = sample();
    EXPECT_EQ(Formatted("yyyy-mm-dd hh:nn:ss.zzz", v, us()), "2024-03-05 14:07:09.045");
    EXPECT_EQ(Formatted("d-m-yy", v, us()), "5-3-24");
    EXPECT_EQ(Formatted("mmm mmmm ddd dddd", v, us()), "Mar March Tue Tuesday");
    EXPECT_EQ(Formatted("ddddd", v, us()), "3/5/2024");
    EXPECT_EQ(Formatted("dddddd", v, us()), "Tuesday, March 5, 2024");
    EXPECT_EQ(Formatted("z zzz", v, us()), "45 045");
    EXPECT_EQ(Formatted("YYYY MM DD", v, us()), "2024 03 05");
    EXPECT_EQ(Formatted("yy", EncodeDate(2009, 1, 1), us()), "09");
    EXPECT_EQ(Formatted("h:n:s z hh:nn:ss zzz", EncodeDate(2009, 1, 1), us()), "0:0:0 0 00:00:00 000");
    // Before 1899-12-30 the time still counts forward from the day's start.
    EXPECT_EQ(Formatted("yyyy-mm-dd hh:nn ddd", -1.25, us()), "1899-12-29 06:00 Fri");
}

TEST(FormatDateTime, MinutesAfterHoursNotMonths) {
    TDateTime v = sample();
    EXPECT_EQ(Formatted("hh:mm", v, us()), "14:07");
    EXPECT_EQ(Formatted("h:m", v, us()), "14:7");
    EXPECT_EQ(Formatted("hh 'h' mm", v, us()), "14 h 07");
    EXPECT_EQ(Formatted("mm/dd hh:mm", v, us()), "03/05 14:07");
    EXPECT_EQ(Formatted("h d mm", v, us()), "14 5 03"); // a day between: month again
}

TEST(FormatDateTime, TwelveHourClock) {
    TDateTime v = sample();
    EXPECT_EQ(Formatted("h:nn am/pm", v, us()), "2:07 pm");
    EXPECT_EQ(Formatted("h:nn AM/PM", v, us()), "2:07 PM");
    EXPECT_EQ(Formatted("h:nn a/p", v, us()), "2:07 p");
    EXPECT_EQ(Formatted("hh:nn ampm", v, us()), "02:07 PM");
    EXPECT_EQ(Formatted("h:nn am/pm", EncodeTime(0, 30, 0, 0), us()), "12:30 am");
    EXPECT_EQ(Formatted("h:nn am/pm", EncodeTime(12, 0, 0, 0), us()), "12:00 pm");
    EXPECT_EQ(Formatted("t", v, us()), "2:07 PM");
    EXPECT_EQ(Formatted("tt", v, us()), "2:07:09 PM");
}

TEST(FormatDateTime, CombinedLiteralsAndSeparators) {
    TDateTime v = sample();
    EXPECT_EQ(Formatted("c", v, us()), "3/5/2024 2:07:09 PM");
    EXPECT_EQ(Formatted("c", EncodeDate(2024, 3, 5), us()), "3/5/2024"); // midnight: date only
    EXPECT_EQ(Formatted("\"day\" d, 'at' h", v, us()), "day 5, at 14");
    EXPECT_EQ(Formatted("yyyy/mm/dd hh:nn", v, germanDates()), "2024.03.05 14:07");
    EXPECT_EQ(Formatted("c", v, germanDates()), "05.03.2024 14:07:09");
    EXPECT_EQ(DateToStr(v, us()), "3/5/2024");
    EXPECT_EQ(TimeToStr(v, us()), "2:07:09 PM");
    EXPECT_EQ(DateTimeToStr(v, us()), "3/5/2024 2:07:09 PM");
}

TEST(StrToDateTime, ShortFormats) {
    EXPECT_EQ(StrToDate("3/5/2024", us()), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate(" 03/05/2024 ", us()), EncodeDate(2024, 3, 5));
    EXPECT_EQ(StrToDate("3/5/24", us()), EncodeDate(2024, 3, 5)); // two-digit years in the window
    EXPECT_EQ(StrToDate("5.3.2024", germanDates()), EncodeDate(2024, 3, 5));
    int y, m, d;
    DecodeDate(StrToDate("3/5", us()), y, m, d);
    DecodeDate(Date(), d, m, m);
    EXPECT_EQ(y, d); // a missing year is this year
    EXPECT_DOUBLE_EQ(StrToTime("14:07", us()), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("2:07:09 PM", us()), EncodeTime(14, 7, 9, 0));
    EXPECT_DOUBLE_EQ(StrToTime("12:00 am", us()), 0.0);
    EXPECT_DOUBLE_EQ(StrToTime("pm 2:07", us()), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToTime("14:07:09,5", germanDates()), EncodeTime(14, 7, 9, 5));
    EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2024 14:07:09", us()), sample() - EncodeTime(0, 0, 0, 45));
    EXPECT_DOUBLE_EQ(StrToDateTime("14:07", us()), EncodeTime(14, 7, 0, 0));
    EXPECT_DOUBLE_EQ(StrToDateTime("3/5/2024", us()), EncodeDate(2024, 3, 5));
    // Only a date without its year or with two digits of it reads the clock.
    for (const auto& [text, clock] : {std::pair{"3/5/2024 14:07", false},
                                      {"14:07", false},
                                      {"3/5/24", true},
                                      {"3/5 14:07", true},
                                      {"x", false}}) {
        bool readsClock = !clock;
        TDateTime value = 0;
        TryStrToDateTime(text, value, us(), &readsClock);
        EXPECT_EQ(readsClock, clock) << text;
    }
}

TEST(StrToDateTime, ProgramOwnFormatWithYearFirst) {
    LocaleFacts f;
    f.ShortDateFormat = "yyyy-mm-dd hh:nn:ss";
    f.DateSeparator = '-';
    f.TimeSeparator = ':';
    TDateTime v = EncodeDate(2024, 1, 31) + EncodeTime(23, 59, 58, 0);
    std::string text = FormatDateTime(f.ShortDateFormat, v, f);
    EXPECT_EQ(text, "2024-01-31 23:59:58");
    EXPECT_DOUBLE_EQ(StrToDateTime(text, f), v);
    EXPECT_EQ(StrToDate("2024-1-31", f), EncodeDate(2024, 1, 31));
    EXPECT_THROW(StrToDate("31-01-2024", f), EConvertError);
}

TEST(StrToDateTime, InvalidTextsRaiseTheClassicMessages) {
    auto message = [](auto call) -> std::string {
        try {
            call();
        } catch (const EConvertError& e) {
            return e.what();
        }
        return "(no error)";
    };
    EXPECT_EQ(message([] { StrToDate("13/5/2024", LocaleFacts::Default()); }),
              "'13/5/2024' is not a valid date");
    EXPECT_EQ(message([] { StrToTime("25:00", LocaleFacts::Default()); }), "'25:00' is not a valid time");
    EXPECT_EQ(message([] { StrToDateTime("x", LocaleFacts::Default()); }),
              "'x' is not a valid date and time");
    for (const char* bad : {"", "2024", "3/5/2024x", "3-5-2024", "2/30/2024", "1/1/10000", "7/4/020241"})
        EXPECT_THROW(StrToDate(bad, us()), EConvertError) << bad;
    // Digits past a four-digit year are no hour.
    for (const char* bad : {"7/4/20241", "1/1/10000", "7/4/2024 123456"})
        EXPECT_THROW(StrToDateTime(bad, us()), EConvertError) << bad;
    for (const char* bad : {"", "13:00 PM", "0:30 PM", "1:60", "12:00:00 xx"})
        EXPECT_THROW(StrToTime(bad, us()), EConvertError) << bad;
}

// A formatter reading texts itself gives what reading them to a TDateTime and formatting that gives, for
// texts its shorter reading takes and texts it leaves to the full one, under facts that allow the shorter
// reading and facts that do not; and so it does remembering the day of the text before, over texts of one
// day in a row and texts that start like them.
TEST(DateTimeFormatter, TextsFormattedAsTheirValues) {
    const LocaleFacts german = germanDates();
    LocaleFacts yearFirst;
    yearFirst.ShortDateFormat = "yyyy-mm-dd";
    yearFirst.DateSeparator = '-';
    LocaleFacts digitMarker = us(); // an am/pm word could start where a number does
    digitMarker.TimeAMString = "1";
    LocaleFacts oneSeparator = germanDates(); // dates and times both separated by '.'
    oneSeparator.TimeSeparator = '.';
    LocaleFacts dateMarker = us(); // "3/5/2024 x" reads as 3:00 am on no day
    dateMarker.TimeAMString = "/5/2024 x";
    LocaleFacts longNames = us(); // more than fits on the stack
    longNames.LongDayNames[2] = std::string(80, 'T');
    LocaleFacts longMarkers = us(); // a minute of the day shown longer than a day's memo keeps
    longMarkers.TimeAMString = std::string(40, 'a');
    longMarkers.TimePMString = "in the afternoon";
    const LocaleFacts* const facts[] = {&us(),       &german,    &yearFirst, &digitMarker, &oneSeparator,
                                        &dateMarker, &longNames, &longMarkers};
    const char* const formats[] = {"M/d/yyyy h:mm AMPM", "M/d/yyyy", "h:mm AMPM", "yyyy-mm-dd hh:nn:ss", "",
                                   "c", "dddddd tt", "ddddd t", "ddd dd mmm yy hh:nn:ss.zzz am/pm",
                                   "dddd d mmmm yyyy h:n:s.z a/p", "'at' hh \"o'clock\" ampm", "z zz zzz",
                                   "yyyyy mmmmm dddd", "hh:mm:ss", "dd.mm.yyyy hh.nn", "hh:nn dddd d/m/yyyy",
                                   "d/m/yyyy \"at\" h:nn zzz ampm", "dddd mmmm d yyyy h:nn ampm"};
    const char* const texts[] = {
        "1/1/2024 0:00:00", "12/31/9999 23:59:59.999", "1/1/0001 0:00", "1/1/100", "2/29/2024 12:00",
        "2/29/2023 1:00", "12/30/1899 6:00", "12/29/1899 18:30:15.5", "1/1/1 0:00", "3/5/24 14:07",
        "3/5 14:07", "14:07", "14:07:09.045", "0:00", "23:59:59.999", "12:00 AM", "12:00 PM", "1:30 pm",
        "PM 2:07", " 3/5/2024 ", "3/5/2024/", "3/5/2024  14:07", "3/5/2024 14", "03/05/2024 07:08:09",
        "0003/0005/2024", "3/5/02024", "13/5/2024", "3/32/2024", "1/1/10000", "24:00", "23:60", "1:2:3:4",
        "1:2:3.1000", "x", "", "3/5/2024x", "3-5-2024", "14:07:09,5", "2024-3-5 1:02", "2024/3/5",
        "5.3.2024 10.00", "5.3.2024 10:00:00,250", "7/4/2024 123456", "3/5/2024 14:07:09.5 PM",
        "9999/12/31", "3/5/2024 12:00:00.0005", "3/5/2024 1 1:00", "12/31/2024 23:59:59.9999", "5.3", "1:30", "3/5/2024 14:07", "3/5/2024 0:00",
        "3/5/2024 12:00 PM", "3/5/2024 25:00", "3/5/2024 1:02:03.5", "3/5/2024 3/5/2024 1:00", "3/5/2024 1:2:3:4",
        "3/5/2024 ", "3/5/2024 1", "3/5/2024 x", "3/5/2024 1:00", "3/6/2024 1:00", "3/6/2024 13:00", "5.3.2024 1:00", "5.3.2024 2:00:00,5",
        // Times of the day before in the shapes read by their places and in shapes next to them.
        "3/6/2024 1:02:03", "3/6/2024 1:03", "3/6/2024 01:02", "3/6/2024 23:59:59", "3/6/2024 1:2:03",
        "3/6/2024 1:02:3", "3/6/2024 24:00:00", "3/6/2024 23:60", "3/6/2024 12:00:60", "3/6/2024 001:02",
        "3/6/2024 1::02", "3/6/2024 1:02:", "3/6/2024 1:02:03:", "3/6/2024 :02:03", "3/6/2024 1.02.03", "7:05:09",
        "07:05", "7:5x"};
    for (const LocaleFacts* f : facts)
        for (const char* format : formats) {
            const DateTimeFormatter formatter(format, *f);
            DateTimeFormatter::DayMemo day;
            for (int round = 0; round < 3; ++round)
                for (const char* text : texts) {
                    TDateTime value = 0;
                    bool clock = false, formatterClock = false;
                    const bool read = TryStrToDateTime(text, value, *f, &clock);
                    std::string out = "kept ";
                    EXPECT_EQ(formatter.AppendText(out, text, &formatterClock, round == 0 ? nullptr : &day), read)
                        << text << " | " << format;
                    EXPECT_EQ(out, "kept " + (read ? FormatDateTime(format, value, *f) : std::string()))
                        << text << " | " << format;
                    EXPECT_EQ(formatterClock, clock) << text;
                }
        }
}

// Values outside 0001-01-01 .. 9999-12-31 (or no number at all) format as an empty text.
TEST(FormatDateTime, OutOfRangeValuesGiveAnEmptyText) {
    const double values[] = {-693594.0, -1e7, 2958466.0, 1e300, -1e300, std::nan(""), HUGE_VAL, -HUGE_VAL};
    for (double v : values) {
        EXPECT_EQ(Formatted("dddd mmmm yyyy hh:nn", v, us()), "") << v;
        EXPECT_EQ(Formatted("", v, us()), "") << v;
    }
    EXPECT_EQ(Formatted("yyyy-mm-dd", -693593.0, us()), "0001-01-01");
    EXPECT_EQ(Formatted("yyyy-mm-dd", 2958465.5, us()), "9999-12-31");
}

// A literal ends only at its own quote character, so the other quote inside it is plain text.
TEST(FormatDateTime, QuotesInsideLiterals) {
    const double v = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
    EXPECT_EQ(Formatted("h \"it's\" am/pm", v, us()), "2 it's pm");
    EXPECT_EQ(Formatted("h 'say \"hi\"' am/pm", v, us()), "2 say \"hi\" pm");
    EXPECT_EQ(Formatted("hh \"o'clock\"", v, us()), "14 o'clock");
}

} // namespace
