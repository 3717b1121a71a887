#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace rtl {

// The number of leading bytes of the text below 0x80 (ASCII, the same in UTF-8 and Windows-1252).
size_t AsciiPrefixLength(std::string_view text);
// Whether a text of at most 16 bytes is all ASCII (false for a longer one, which AsciiPrefixLength
// scans): read as two words, or half-words, that may overlap, without a call or a loop, for the short
// texts of table cells.
inline bool IsShortAscii(std::string_view text) {
    const char* const bytes = text.data();
    const std::size_t size = text.size();
    if (size >= 8) {
        if (size > 16)
            return false;
        std::uint64_t first, last;
        std::memcpy(&first, bytes, sizeof first);
        std::memcpy(&last, bytes + size - 8, sizeof last);
        return ((first | last) & 0x8080808080808080ULL) == 0;
    }
    if (size >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, bytes, sizeof first);
        std::memcpy(&last, bytes + size - 4, sizeof last);
        return ((first | last) & 0x80808080U) == 0;
    }
    return size == 0 || ((bytes[0] | bytes[size / 2] | bytes[size - 1]) & 0x80) == 0;
}
// Whether a text of at most 32 bytes is all ASCII (false for a longer one): the usual table cell, told
// apart without a call.
[[gnu::always_inline]] inline bool IsCellAscii(std::string_view text) {
    return text.size() <= 16
               ? IsShortAscii(text)
               : text.size() <= 32 && IsShortAscii(text.substr(0, 16)) && IsShortAscii(text.substr(16));
}
// The number of leading bytes of the text that form well-formed UTF-8 (the text's size when all do).
size_t Utf8WellFormedLength(std::string_view text);

// The UTF-8 bytes of one Unicode character, appended to out.
void AppendUtf8(std::string& out, char32_t ch);
// Windows-1252: UTF-8 text to single bytes; every character outside the code page (and every
// malformed UTF-8 byte) becomes '?'.
std::string Utf8ToWindows1252(std::string_view utf8);
// The same, handing every character outside the code page (U+FFFD for a malformed byte) to unmapped,
// which appends what stands for it.
using TUnmappedCharacter = void (*)(std::string& out, char32_t ch);
std::string Utf8ToWindows1252(std::string_view utf8, TUnmappedCharacter unmapped);
// The same appended to out, whose storage a caller reuses from text to text.
void AppendUtf8AsWindows1252(std::string& out, std::string_view utf8, TUnmappedCharacter unmapped);
// One Unicode character to its Windows-1252 byte, or '?' when the code page lacks it (as it lacks the C1
// controls U+0081, U+008D, U+008F, U+0090 and U+009D, whose bytes it leaves unassigned).
char UnicodeToWindows1252(char32_t ch);
// The character of a Windows-1252 byte; 0 for the five bytes the code page leaves unassigned.
char32_t Windows1252Character(unsigned char byte);
// Windows-1252 bytes to UTF-8 (the five unassigned bytes 0x81 0x8D 0x8F 0x90 0x9D map to U+0081 ...).
std::string Windows1252ToUtf8(std::string_view bytes);
// Replaces each byte of the text that is no part of a well-formed UTF-8 sequence (stray continuation
// bytes, cut sequences, overlong forms, surrogates) with U+FFFD, so that strict readers take the text;
// false when the text was well-formed and stays unchanged.
bool RepairUtf8(std::string& text);
// True when every character of the UTF-8 text exists in Windows-1252.
bool FitsWindows1252(std::string_view utf8);

} // namespace rtl
