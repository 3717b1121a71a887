#include "export/core/ExporterNumberText.h"

namespace exporter {

namespace {

constexpr bool IsDigit(char c) {
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

namespace {

// The steps of reading a number literal one character at a time (what IsNumberLiteral takes): where the
// reading stands, and which kind of character comes next.
enum TLiteralState : unsigned char {
    lsStart,          // nothing yet
    lsSign,           // a sign
    lsDigits,         // digits, after an optional sign
    lsPoint,          // a "." without digits in front
    lsFraction,       // "." with digits before or after it
    lsExponent,       // "e" or "E" after a number
    lsExponentSign,   // the exponent's sign
    lsExponentDigits, // the exponent's digits
    lsNone,           // no literal
};
enum TLiteralChar : unsigned char { lcDigit, lcPoint, lcSign, lcExponent, lcOther };

constexpr TLiteralState kNextLiteralState[lsNone][lcOther + 1] = {
    // digit, ".", sign, exponent, other
    {lsDigits, lsPoint, lsSign, lsNone, lsNone},                // lsStart
    {lsDigits, lsPoint, lsNone, lsNone, lsNone},                // lsSign
    {lsDigits, lsFraction, lsNone, lsExponent, lsNone},         // lsDigits
    {lsFraction, lsNone, lsNone, lsNone, lsNone},               // lsPoint
    {lsFraction, lsNone, lsNone, lsExponent, lsNone},           // lsFraction
    {lsExponentDigits, lsNone, lsExponentSign, lsNone, lsNone}, // lsExponent
    {lsExponentDigits, lsNone, lsNone, lsNone, lsNone},         // lsExponentSign
    {lsExponentDigits, lsNone, lsNone, lsNone, lsNone},         // lsExponentDigits
};

constexpr TLiteralChar LiteralChar(char c) {
    if (IsDigit(c))
        return lcDigit;
    switch (c) {
    case '.':
        return lcPoint;
    case '+':
    case '-':
        return lcSign;
    case 'e':
    case 'E':
        return lcExponent;
    default:
        return lcOther;
    }
}

// The next state for each state and byte, so that a step is one look-up.
struct TLiteralSteps {
    TLiteralState next[lsNone][256];
};

constexpr TLiteralSteps MakeLiteralSteps() {
    TLiteralSteps steps{};
    for (int state = 0; state < lsNone; ++state)
        for (int byte = 0; byte < 256; ++byte)
            steps.next[state][byte] = kNextLiteralState[state][LiteralChar(static_cast<char>(byte))];
    return steps;
}

constexpr TLiteralSteps kLiteralSteps = MakeLiteralSteps();

} // namespace

std::size_t PutNumberLiteral(char* out, std::string_view text, const rtl::LocaleFacts& facts) {
    // The plain text is written while it is read as a literal, and given up at its first character that
    // cannot come there (a date's '/', a time's ':', a second sign or point).
    const char thousands = facts.ThousandSeparator, decimal = facts.DecimalSeparator;
    TLiteralState state = lsStart;
    std::size_t size = 0;
    for (const char c : text) {
        if (thousands != '\0' && c == thousands)
            continue;
        const char plain = c == decimal ? '.' : c;
        state = kLiteralSteps.next[state][static_cast<unsigned char>(plain)];
        if (state == lsNone)
            return kNoNumberLiteral;
        out[size++] = plain;
    }
    return state == lsDigits || state == lsFraction || state == lsExponentDigits ? size : kNoNumberLiteral;
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
