#include "export/core/ExporterNumberText.h"

namespace exporter {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Advances over digits; the number of digits passed.
size_t SkipDigits(std::string_view text, size_t& i) {
    const size_t start = i;
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i - start;
}

} // namespace

std::string PlainNumberText(std::string_view text, const rtl::LocaleFacts& facts) {
    std::string out;
    AppendPlainNumberText(out, text, facts);
    return out;
}

void AppendPlainNumberText(std::string& out, std::string_view text, const rtl::LocaleFacts& facts) {
    // Written through a pointer into room made at once: the text shrinks by its separators alone.
    const size_t start = out.size();
    out.resize(start + text.size());
    char* const first = out.data() + start;
    char* next = first;
    const char thousands = facts.ThousandSeparator, decimal = facts.DecimalSeparator;
    for (const char c : text) {
        if (thousands != '\0' && c == thousands)
            continue;
        *next++ = c == decimal ? '.' : c;
    }
    out.resize(start + size_t(next - first));
}

bool IsNumberLiteral(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    size_t digits = SkipDigits(text, i);
    if (i < text.size() && text[i] == '.') {
        ++i;
        digits += SkipDigits(text, i);
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (SkipDigits(text, i) == 0)
            return false;
    }
    return i == text.size();
}

} // namespace exporter
