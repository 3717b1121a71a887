// Locale-style string collation as Windows gives it to programs: a word sort
// where symbols come before digits and digits before letters, accents and case decide only between
// otherwise equal texts, and hyphens and apostrophes count last of all.
#include "platform/rtl/SysUtils.h"

#include <string_view>
#include <vector>

namespace rtl {

namespace {

// Symbols in their collation order (hyphen and apostrophe are handled apart).
constexpr std::string_view kSymbolOrder = " !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

// Base letters of U+00C0..U+00FF; '*' marks the two symbols (multiplication and division signs).
constexpr std::string_view kLatin1Base = "AAAAAAACEEEEIIIIDNOOOOO*OUUUUYTsaaaaaaaceeeeiiiidnooooo*ouuuuyty";

struct Weights {
    std::vector<unsigned> primary;   // letters folded, accents removed
    std::vector<unsigned> secondary; // accents
    std::vector<unsigned> tertiary;  // case: 0 lower, 1 upper
};

char32_t nextCodePoint(std::string_view s, size_t& i) {
    unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : c & 0x1F;
    if (extra == 0)
        return 0xFFFD;
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    return cp;
}

Weights weigh(std::string_view s) {
    Weights w;
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp = nextCodePoint(s, i);
        if (cp == '-' || cp == '\'')
            continue;
        unsigned accent = 0, upper = 0;
        if (cp >= 0xC0 && cp <= 0xFF && kLatin1Base[cp - 0xC0] != '*') {
            accent = unsigned(cp & 0x1F) + 1;
            upper = cp < 0xE0 && cp != 0xDF ? 1 : 0;
            cp = static_cast<unsigned char>(kLatin1Base[cp - 0xC0]);
        }
        unsigned primary;
        if (cp < 0x20 || cp == 0x7F) {
            primary = 1;
        } else if (cp >= '0' && cp <= '9') {
            primary = 100 + unsigned(cp - '0');
        } else if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z')) {
            upper = upper || cp <= 'Z' ? 1 : 0;
            primary = 200 + unsigned((cp | 0x20) - 'a');
        } else if (cp < 0x80) {
            primary = 10 + unsigned(kSymbolOrder.find(char(cp)));
        } else {
            primary = 1000 + unsigned(cp);
        }
        w.primary.push_back(primary);
        w.secondary.push_back(accent);
        w.tertiary.push_back(upper);
    }
    return w;
}

int compareSequences(const std::vector<unsigned>& a, const std::vector<unsigned>& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int sign(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Code points with ASCII and Latin-1 letters in lower case.
std::vector<char32_t> folded(std::string_view s) {
    std::vector<char32_t> out;
    size_t i = 0;
    while (i < s.size()) {
        char32_t cp = nextCodePoint(s, i);
        if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
            cp += 0x20;
        out.push_back(cp);
    }
    return out;
}

int collate(std::string_view a, std::string_view b, bool caseSensitive) {
    Weights wa = weigh(a), wb = weigh(b);
    if (int c = compareSequences(wa.primary, wb.primary))
        return c;
    if (int c = compareSequences(wa.secondary, wb.secondary))
        return c;
    if (caseSensitive) {
        if (int c = compareSequences(wa.tertiary, wb.tertiary))
            return c;
        // Equal but for hyphens and apostrophes: fall back to the bytes.
        return sign(a.compare(b));
    }
    std::vector<char32_t> fa = folded(a), fb = folded(b);
    return fa == fb ? 0 : (fa < fb ? -1 : 1);
}

} // namespace

int AnsiCompareText(std::string_view a, std::string_view b) {
    return collate(a, b, false);
}

int AnsiCompareStr(std::string_view a, std::string_view b) {
    return collate(a, b, true);
}

} // namespace rtl
