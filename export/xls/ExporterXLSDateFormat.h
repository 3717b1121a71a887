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

} // namespace exporter
