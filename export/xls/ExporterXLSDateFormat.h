#pragma once

// Translation of date and time patterns from the run-time library's pattern language
// (FormatDateTime: "nn" minutes, "AMPM", 'quoted' literals, "ddddd", "t") into spreadsheet number
// format codes ("mm" minutes, "AM/PM", "quoted" literals), as the FORMAT record carries them.

#include "platform/rtl/LocaleFacts.h"

#include <string>

namespace exporter {

// The spreadsheet format code that shows a date-time value the way the pattern does. The locale
// facts supply the patterns behind "ddddd", "dddddd", "t", "tt" and "c".
std::string XlsDateTimeFormat(const std::string& pattern,
                              const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());

// The cell value of a run-time date-time in the workbook's 1900 date system, for every path that
// writes one (data cells and user cells alike). A time of day (0 <= value < 1) stays the fraction
// of a day. Dates from 1 January 1900 on keep their serial, except that the 1900 system counts a
// 29 February 1900 that never was: the days before 1 March 1900 (any moment of them) are one less
// than the run-time value. False for a moment the system cannot show (before 1 January 1900):
// such a value is written as text. A value that is not a finite number passes unchanged (the cell
// writer makes it an error value).
bool XlsDateSerial(double value, double& serial);

} // namespace exporter
