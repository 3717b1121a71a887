#include "platform/rtl/CodePage.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace rtl {

namespace {

// Unicode characters of bytes 0x80..0x9F; the five unassigned bytes map to the C1 control of the same value.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

} // namespace

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

namespace {

// Decodes one UTF-8 sequence at s[i]; malformed input gives U+FFFD and consumes one byte.
char32_t decodeUtf8(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    int extra;
    char32_t cp;
    char32_t minimum;
    if (c >= 0xC2 && c <= 0xDF) {
        extra = 1, cp = c & 0x1F, minimum = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        extra = 2, cp = c & 0x0F, minimum = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        extra = 3, cp = c & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + size_t(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = static_cast<unsigned char>(s[i + size_t(k)]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return 0xFFFD;
    }
    i += size_t(extra) + 1;
    return cp;
}

constexpr std::uint64_t kHighBits64 = 0x8080808080808080ULL;
constexpr std::uint32_t kHighBits32 = 0x80808080U;

template <typename Word> Word loadWord(const char* p) {
    Word word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// The position of the first byte in memory order whose bit 7 is set, given the word's bit 7s (not 0).
template <typename Word> size_t firstHighByte(Word high) {
    if constexpr (std::endian::native == std::endian::little)
        return size_t(std::countr_zero(high)) / 8;
    else
        return size_t(std::countl_zero(high)) / 8;
}

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed sequence of two to four bytes at s[i] (whose first byte is not ASCII);
// 0 when it is malformed: the bytes decodeUtf8 takes as one character other than a malformed byte.
size_t wellFormedSequenceLength(std::string_view s, size_t i) {
    const auto* const p = reinterpret_cast<const unsigned char*>(s.data()) + i;
    const size_t left = s.size() - i;
    const unsigned char lead = p[0];
    if (lead >= 0xC2 && lead <= 0xDF)
        return left >= 2 && isContinuation(p[1]) ? 2 : 0;
    // The second byte's range excludes overlong forms, surrogates and characters beyond U+10FFFF.
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
        return left >= 3 && p[1] >= low && p[1] <= high && isContinuation(p[2]) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
        return left >= 4 && p[1] >= low && p[1] <= high && isContinuation(p[2]) && isContinuation(p[3]) ? 4
                                                                                                        : 0;
    }
    return 0;
}

inline size_t asciiPrefixLength(std::string_view text) {
    const char* const p = text.data();
    const size_t n = text.size();
    // Eight bytes at a time; the last bytes of a text of eight or more in one word that overlaps the
    // bytes already seen, so that a short text takes no loop over single bytes.
    if (n >= 8) {
        size_t i = 0;
        // Long texts four words at a time, the word with the high byte found below.
        for (; i + 32 <= n; i += 32)
            if ((loadWord<std::uint64_t>(p + i) | loadWord<std::uint64_t>(p + i + 8) |
                 loadWord<std::uint64_t>(p + i + 16) | loadWord<std::uint64_t>(p + i + 24)) &
                kHighBits64)
                break;
        for (; i + 8 <= n; i += 8)
            if (const std::uint64_t high = loadWord<std::uint64_t>(p + i) & kHighBits64)
                return i + firstHighByte(high);
        if (i < n)
            if (const std::uint64_t high = loadWord<std::uint64_t>(p + n - 8) & kHighBits64)
                return n - 8 + firstHighByte(high);
        return n;
    }
    if (n >= 4) {
        if (const std::uint32_t high = loadWord<std::uint32_t>(p) & kHighBits32)
            return firstHighByte(high);
        if (const std::uint32_t high = loadWord<std::uint32_t>(p + n - 4) & kHighBits32)
            return n - 4 + firstHighByte(high);
        return n;
    }
    size_t i = 0;
    while (i < n && static_cast<unsigned char>(p[i]) < 0x80)
        ++i;
    return i;
}

inline size_t wellFormedLength(std::string_view text) {
    size_t i = 0;
    for (;;) {
        i += asciiPrefixLength(std::string_view(text.data() + i, text.size() - i));
        if (i == text.size())
            return i;
        const size_t length = wellFormedSequenceLength(text, i);
        if (length == 0)
            return i;
        i += length;
    }
}

} // namespace

size_t AsciiPrefixLength(std::string_view text) {
    return asciiPrefixLength(text);
}

size_t Utf8WellFormedLength(std::string_view text) {
    return wellFormedLength(text);
}

char UnicodeToWindows1252(char32_t ch) {
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return static_cast<char>(ch);
    // The five unassigned bytes are never written: their C1 controls are outside the code page, and
    // readers refuse the bytes.
    for (size_t k = 0; k < kHighControls.size(); ++k)
        if (kHighControls[k] == ch && ch != 0x80 + k)
            return static_cast<char>(0x80 + k);
    return '?';
}

char32_t Windows1252Character(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0)
        return byte;
    const char32_t ch = kHighControls[byte - 0x80];
    return ch == byte ? 0 : ch; // an unassigned byte stands for the C1 control of its own value
}

std::string Utf8ToWindows1252(std::string_view utf8, TUnmappedCharacter unmapped) {
    std::string out;
    AppendUtf8AsWindows1252(out, utf8, unmapped);
    return out;
}

void AppendUtf8AsWindows1252(std::string& out, std::string_view utf8, TUnmappedCharacter unmapped) {
    out.reserve(out.size() + utf8.size());
    size_t i = 0;
    while (i < utf8.size()) {
        const size_t ascii = AsciiPrefixLength(utf8.substr(i)); // ASCII is the same in both
        out.append(utf8.substr(i, ascii));
        i += ascii;
        if (i == utf8.size())
            break;
        // A character of the Latin-1 supplement (U+00A0 to U+00FF, most accented letters) is the byte of
        // its number: taken over without decoding and looking up.
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const unsigned char next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if ((lead == 0xC2 && next >= 0xA0 && next <= 0xBF) ||
            (lead == 0xC3 && next >= 0x80 && next <= 0xBF)) {
            out += char(((lead & 0x03) << 6) | (next & 0x3F));
            i += 2;
            continue;
        }
        const char32_t cp = decodeUtf8(utf8, i);
        const char byte = UnicodeToWindows1252(cp);
        if (byte == '?' || cp == 0xFFFD)
            unmapped(out, cp);
        else
            out += byte;
    }
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    return Utf8ToWindows1252(utf8, [](std::string& out, char32_t) { out += '?'; });
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        unsigned char b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kHighControls[b - 0x80] : char32_t(b));
    }
    return out;
}

namespace {

// The text with each malformed byte from bad on replaced by U+FFFD (bad is the first one).
[[gnu::noinline]] void repairUtf8From(std::string& text, size_t bad) {
    const std::string_view view(text);
    std::string out(view.substr(0, bad));
    out.reserve(text.size() + 16);
    for (size_t i = bad; i < view.size();) {
        const size_t start = i;
        const char32_t cp = decodeUtf8(view, i);
        if (cp == 0xFFFD && i - start == 1)
            out += "\xEF\xBF\xBD";
        else
            out.append(view.substr(start, i - start));
    }
    text = std::move(out);
}

} // namespace

bool RepairUtf8(std::string& text) {
    const size_t bad = wellFormedLength(text);
    if (bad == text.size())
        return false;
    repairUtf8From(text, bad);
    return true;
}

bool FitsWindows1252(std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = decodeUtf8(utf8, i);
        if (cp == 0xFFFD || (cp != '?' && UnicodeToWindows1252(cp) == '?'))
            return false;
    }
    return true;
}

} // namespace rtl
