#pragma once

#include <string>
#include <vector>

namespace browser {

// Small text helpers of the start-up logic. Name lists of the start-up compare names without
// regard to case, as Windows INI files and the classic string lists do.

bool SameTextIgnoringCase(const std::string& a, const std::string& b);
// Negative, zero or positive like a case-ignoring three-way compare.
int CompareTextIgnoringCase(const std::string& a, const std::string& b);
std::string UpperCase(std::string text);
std::string LowerCase(std::string text);

// Index of name in list (case ignored), or -1.
int IndexOfName(const std::vector<std::string>& list, const std::string& name);
// Sorts case-ignoring and drops names already present (case ignored).
void SortUniqueNames(std::vector<std::string>& names);

// Replaces every occurrence of pattern (case ignored) by replacement.
std::string ReplaceAllIgnoringCase(const std::string& text, const std::string& pattern,
                                   const std::string& replacement);

// The folder with exactly one trailing "/".
std::string WithTrailingSlash(std::string folder);

} // namespace browser
