#pragma once

#include <optional>
#include <string_view>

namespace pdfbox {

// The charset a font gets when its style names none.
constexpr int DefaultFontCharset = 1;

// The charset number of a style's "FontCharset" name ("ANSI", "GREEK", ...), compared in upper case;
// empty for a name the table does not hold.
std::optional<int> FontCharsetByName(std::string_view name);

} // namespace pdfbox
