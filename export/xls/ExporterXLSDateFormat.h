#pragma once

// Translation of date, time and number patterns from the run-time library's pattern languages
// (FormatDateTime: "nn" minutes, "AMPM", 'quoted' literals, "ddddd", "t"; FormatFloat: every
// character but the digit placeholders, separators and exponents shown as it is) into spreadsheet
// number format codes ("mm" minutes, "AM/PM", "quoted" literals), as the FORMAT record carries them.

#include "platform/rtl/LocaleFacts.h"

#include <string>
#include <string_view>

namespace exporter {

// The spreadsheet format code that shows a date-time value the way the pattern does. The locale
// facts supply the patterns behind "ddddd", "dddddd", "t", "tt" and "c".
std::string XlsDateTimeFormat(const std::string& pattern,
                              const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());

// The spreadsheet format code that shows a number the way the FormatFloat pattern does: its text
// (a currency symbol such as "CHF", whose letters would be date or other tokens in a format code)
// in double quotes, "0", "#", ".", ",", ";" and "E+"/"E-" kept as codes.
std::string XlsNumberFormat(const std::string& pattern);

// Whether a number format code shows a time of day and no part of a date: hours or seconds (then
// "m" counts minutes), no day, month alone or year (nor era). Quoted and escaped literals, AM/PM and
// colours do not count.
bool XlsFormatShowsTimeOnly(std::string_view code);

// The cell value of a run-time date-time in the workbook's 1900 date system, for every path that
// writes one (data cells and user cells alike). A time of day (0 <= value < 1) stays the fraction
// of a day when the cell's format shows only a time (timeOnly); with a date it would show the day
// "1/0/1900", so it is a moment of 30 December 1899 like any other before 1900. Dates from
// 1 January 1900 on keep their serial, except that the 1900 system counts a 29 February 1900 that
// never was: the days before 1 March 1900 (any moment of them) are one less than the run-time
// value. False for a moment the system cannot show (before 1 January 1900): such a value is
// written as text. A value that is not a finite number passes unchanged (the cell writer makes it
// an error value).
bool XlsDateSerial(double value, bool timeOnly, double& serial);

} // namespace exporter
