#pragma once

// Text helpers shared by the markup exporters (HTML, XML, LaTeX).

#include <string>
#include <string_view>

namespace exporter {

// The text with every malformed UTF-8 byte and every control character other than TAB, LF and CR
// replaced by "?": none of the markup formats can carry them.
std::string ExportCleanText(std::string_view text);

// The text with the four markup characters written as the entities "&quot;", "&amp;", "&lt;" and "&gt;"
// (after ExportCleanText); for attribute values and link targets.
std::string ExportEntityText(std::string_view text);

// Decodes the UTF-8 character at text[pos]; returns its length in bytes (0 when malformed).
int ExportDecodeUtf8(std::string_view text, size_t pos, char32_t& ch);

} // namespace exporter
