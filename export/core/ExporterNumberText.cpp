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
    out.reserve(text.size());
    for (char c : text) {
        if (facts.ThousandSeparator != '\0' && c == facts.ThousandSeparator)
            continue;
        out += c == facts.DecimalSeparator ? '.' : c;
    }
    return out;
}

bool AppendNumberLiteral(std::string& out, std::string_view text, const rtl::LocaleFacts& facts) {
    // The plain text is made in a buffer of its own and given up at its first character that no literal
    // has (a date's '/', a time's ':', a letter other than an exponent's).
    char buffer[64];
    if (text.size() > sizeof buffer) {
        const std::string plain = PlainNumberText(text, facts);
        if (!IsNumberLiteral(plain))
            return false;
        out += plain;
        return true;
    }
    const char thousands = facts.ThousandSeparator, decimal = facts.DecimalSeparator;
    size_t size = 0;
    for (const char c : text) {
        if (thousands != '\0' && c == thousands)
            continue;
        const char plain = c == decimal ? '.' : c;
        if (!IsDigit(plain) && plain != '.' && plain != '+' && plain != '-' && plain != 'e' && plain != 'E')
            return false;
        buffer[size++] = plain;
    }
    if (!IsNumberLiteral(std::string_view(buffer, size)))
        return false;
    out.append(buffer, size);
    return true;
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
