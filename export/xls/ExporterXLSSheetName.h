#pragma once

// Legal, unique sheet names: the rules a workbook's sheet tab names must follow.

#include <string>
#include <vector>

namespace exporter {

// The sheet name that a title becomes in a workbook whose sheets already use the names in used:
// - each of : \ / ? * [ ] and each control character (U+0000 to U+001F, U+007F to U+009F) becomes
//   "_", and so does an apostrophe at the start or the end;
// - an empty (or, after that, blank) title becomes the fallback;
// - the name is cut to 31 UTF-16 units, never inside a surrogate pair;
// - a name already used (compared under full Unicode case folding, so "straße" is "STRASSE") gets
//   " (2)", " (3)", ... with the name cut further so that the whole stays within 31 units.
std::u16string LegalSheetName(const std::u16string& title, const std::vector<std::u16string>& used,
                              const std::u16string& fallback);

} // namespace exporter
