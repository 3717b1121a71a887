#pragma once

// Text helpers shared by the markup exporters (HTML, XML, LaTeX).

#include <cstdint>
#include <cstring>
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

// Eight bytes of a text at a time, for the quick tests of the escaping exporters: a word none of whose
// bytes can be special is passed whole, the others byte by byte. Neither test misses a byte it asks for.
inline std::uint64_t ExportWordAt(std::string_view text, size_t pos) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + pos, sizeof word);
    return word;
}
// Whether a byte of the word may be below limit (at most 0x80).
constexpr bool ExportWordHasByteBelow(std::uint64_t word, unsigned limit) {
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    return ((word - ones * limit) & ~word & highs) != 0;
}
// Whether a byte of the word may be the given one.
constexpr bool ExportWordHasByte(std::uint64_t word, unsigned char byte) {
    return ExportWordHasByteBelow(word ^ (0x0101010101010101ULL * byte), 1);
}

} // namespace exporter
