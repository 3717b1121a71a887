#include "platform/rtl/SysUtils.h"

#include "platform/rtl/FloatDecimal.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace rtl {

namespace detail {

FloatDecimal RoundDecimal(std::string digits, int exponent, bool negative, int precision, int decimals) {
    FloatDecimal result;
    long long keepLong = std::min<long long>(precision, static_cast<long long>(exponent) + decimals);
    if (keepLong < 0)
        return result;
    int keep = int(keepLong);
    if (keep < int(digits.size())) {
        bool roundUp = digits[size_t(keep)] >= '5';
        digits.resize(size_t(keep));
        if (roundUp) {
            int i = keep - 1;
            while (i >= 0 && digits[size_t(i)] == '9') {
                digits[size_t(i)] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[size_t(i)];
            } else {
                digits.insert(digits.begin(), '1');
                ++exponent;
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return result;
    result.negative = negative;
    result.digits = std::move(digits);
    result.exponent = exponent;
    return result;
}

FloatDecimal ToFloatDecimal(double value, int precision, int decimals) {
    FloatDecimal result;
    if (std::isnan(value)) {
        result.special = true;
        result.digits = "NAN";
        return result;
    }
    if (std::isinf(value)) {
        result.special = true;
        result.negative = value < 0;
        result.digits = "INF";
        return result;
    }
    if (value == 0)
        return result;
    // The shortest decimal text that reads back as the same double is what the user stored: rounding
    // starts from it, so 2.675 to two decimals gives 2.68 although the double lies just below.
    char buffer[64];
    const std::to_chars_result written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific);
    char* mark = std::find(buffer, written.ptr, 'e');
    std::string digits(1, buffer[0]);
    if (mark - buffer > 2)
        digits.append(buffer + 2, size_t(mark - buffer - 2));
    int exponent = 0;
    std::from_chars(mark + 1 + (mark[1] == '+' ? 1 : 0), written.ptr, exponent);
    return RoundDecimal(std::move(digits), exponent + 1, value < 0, std::clamp(precision, 1, 18), decimals);
}

FloatDecimal ToIntegerDecimal(std::int64_t value, int precision) {
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    if (magnitude == 0)
        return {};
    char buffer[32];
    char* end = std::to_chars(buffer, buffer + sizeof buffer, magnitude).ptr;
    const int length = int(end - buffer);
    if (length <= precision) { // every digit is kept: only the trailing zeros go
        FloatDecimal result;
        while (end[-1] == '0')
            --end;
        result.negative = value < 0;
        result.digits.assign(buffer, end);
        result.exponent = length;
        return result;
    }
    return RoundDecimal(std::string(buffer, end), length, value < 0, std::max(precision, 1), 0);
}

std::string GroupThousands(const std::string& integerDigits, char separator) {
    if (separator == '\0' || integerDigits.size() <= 3)
        return integerDigits;
    std::string out;
    size_t first = integerDigits.size() % 3;
    if (first == 0)
        first = 3;
    out.append(integerDigits, 0, first);
    for (size_t i = first; i < integerDigits.size(); i += 3) {
        out += separator;
        out.append(integerDigits, i, 3);
    }
    return out;
}

bool ScanPlainDecimal(std::string_view text, char decimalSeparator, FloatDecimal& out) {
    size_t i = 0;
    const bool minus = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    char digits[16]; // more than 15 significant digits are not taken
    size_t count = 0;
    int integerDigits = 0, leadingZeros = 0;
    bool seenNonZero = false, seenSeparator = false, anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (!seenSeparator)
                ++integerDigits;
            if (c == '0' && !seenNonZero) {
                ++leadingZeros;
                continue;
            }
            seenNonZero = true;
            if (count == sizeof digits)
                return false;
            digits[count++] = c;
        } else if (c == decimalSeparator && !seenSeparator) {
            seenSeparator = true;
        } else {
            return false;
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
    if (!anyDigit || count > 15)
        return false;
    // Beyond the normal range of a double the text does not read back as itself (0.000...1 reads as 0).
    const int exponent = integerDigits - leadingZeros;
    if (count > 0 && (exponent < -290 || exponent > 300))
        return false;
    out.negative = minus;
    out.digits.assign(digits, count);
    out.exponent = exponent;
    out.special = false;
    return true;
}

bool ScanCurrencyDecimal(std::string_view text, char decimalSeparator, FloatDecimal& out) {
    size_t i = 0;
    const bool minus = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    const std::uint64_t limit = std::uint64_t(std::numeric_limits<std::int64_t>::max()) + (minus ? 1 : 0);
    std::uint64_t scaled = 0; // ten-thousandths
    int decimals = -1;        // digits after the separator; -1 before it
    bool anyDigit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == decimalSeparator && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return false;
        anyDigit = true;
        if (decimals >= 4) {
            if (c != '0')
                return false; // finer than a ten-thousandth
            continue;
        }
        if (decimals >= 0)
            ++decimals;
        if (scaled > (limit - std::uint64_t(c - '0')) / 10)
            return false;
        scaled = scaled * 10 + std::uint64_t(c - '0');
    }
    if (!anyDigit)
        return false;
    for (int k = std::max(decimals, 0); k < 4; ++k) {
        if (scaled > limit / 10)
            return false;
        scaled *= 10;
    }
    out.negative = false;
    out.digits.clear();
    out.exponent = 0;
    out.special = false;
    if (scaled == 0)
        return true;
    char buffer[24];
    const char* const end = std::to_chars(buffer, buffer + sizeof buffer, scaled).ptr;
    const char* last = end;
    while (last[-1] == '0') // scaled is not zero: a digit other than '0' stops the loop
        --last;
    out.negative = minus;
    out.digits.assign(buffer, size_t(last - buffer));
    out.exponent = int(end - buffer) - 4;
    return true;
}

} // namespace detail

namespace {

using detail::FloatDecimal;

std::string zeros(int count) {
    return std::string(size_t(std::max(count, 0)), '0');
}

std::string padNumber(unsigned long long value, int minDigits) {
    std::string s = std::to_string(value);
    if (int(s.size()) < minDigits)
        s.insert(0, size_t(minDigits) - s.size(), '0');
    return s;
}

// Integer and fraction digit strings of a decimal with a fixed number of decimals.
void splitFixed(const FloatDecimal& d, int decimals, std::string& intPart, std::string& fraction) {
    if (d.digits.empty()) {
        intPart.assign(1, '0');
        fraction = zeros(decimals);
        return;
    }
    if (d.exponent <= 0) {
        intPart.assign(1, '0');
        fraction.assign(size_t(-d.exponent), '0');
        fraction.append(d.digits);
    } else if (d.exponent >= int(d.digits.size())) {
        intPart = d.digits;
        intPart.append(size_t(d.exponent) - d.digits.size(), '0');
    } else {
        intPart = d.digits.substr(0, size_t(d.exponent));
        fraction = d.digits.substr(size_t(d.exponent));
    }
    if (int(fraction.size()) < decimals)
        fraction += zeros(decimals - int(fraction.size()));
    fraction.resize(size_t(decimals));
}

std::string specialText(const FloatDecimal& d) {
    return d.negative ? "-" + d.digits : d.digits;
}

std::string exponentText(int exponent, bool alwaysSign, int minDigits) {
    std::string s = "E";
    if (exponent < 0)
        s += '-';
    else if (alwaysSign)
        s += '+';
    s += padNumber(static_cast<unsigned long long>(std::abs(exponent)), std::clamp(minDigits, 0, 4));
    return s;
}

std::string formatGeneral(const FloatDecimal& d, int precision, int expDigits, const LocaleFacts& facts) {
    if (d.special)
        return specialText(d);
    if (d.digits.empty())
        return "0";
    std::string out = d.negative ? "-" : "";
    if (d.exponent > precision || d.exponent < -3) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += facts.DecimalSeparator;
            out.append(d.digits, 1);
        }
        out += exponentText(d.exponent - 1, false, expDigits);
        return out;
    }
    std::string intPart, fraction;
    splitFixed(d, std::max(0, int(d.digits.size()) - d.exponent), intPart, fraction);
    out += intPart;
    if (!fraction.empty()) {
        out += facts.DecimalSeparator;
        out += fraction;
    }
    return out;
}

std::string formatExponent(const FloatDecimal& d, int precision, int expDigits, const LocaleFacts& facts) {
    if (d.special)
        return specialText(d);
    std::string mantissa = d.digits.empty() ? "0" : d.digits;
    mantissa += zeros(precision - int(mantissa.size()));
    std::string out = d.negative ? "-" : "";
    out += mantissa[0];
    if (mantissa.size() > 1) {
        out += facts.DecimalSeparator;
        out.append(mantissa, 1);
    }
    out += exponentText(d.digits.empty() ? 0 : d.exponent - 1, true, expDigits);
    return out;
}

std::string applyCurrency(const std::string& number, bool negative, const LocaleFacts& facts) {
    const std::string& c = facts.CurrencyString;
    if (!negative) {
        switch (facts.CurrencyFormat) {
        case 1:
            return number + c;
        case 2:
            return c + " " + number;
        case 3:
            return number + " " + c;
        default:
            return c + number;
        }
    }
    switch (facts.NegCurrFormat) {
    case 1:
        return "-" + c + number;
    case 2:
        return c + "-" + number;
    case 3:
        return c + number + "-";
    case 4:
        return "(" + number + c + ")";
    case 5:
        return "-" + number + c;
    case 6:
        return number + "-" + c;
    case 7:
        return number + c + "-";
    case 8:
        return "-" + number + " " + c;
    case 9:
        return "-" + c + " " + number;
    case 10:
        return number + " " + c + "-";
    case 11:
        return c + " " + number + "-";
    case 12:
        return c + " -" + number;
    case 13:
        return number + "- " + c;
    case 14:
        return "(" + c + " " + number + ")";
    case 15:
        return "(" + number + " " + c + ")";
    default:
        return "(" + c + number + ")";
    }
}

std::string formatFixedLike(const FloatDecimal& d, TFloatFormat format, int digits,
                            const LocaleFacts& facts) {
    std::string intPart, fraction;
    splitFixed(d, digits, intPart, fraction);
    if (format != TFloatFormat::ffFixed)
        intPart = detail::GroupThousands(intPart, facts.ThousandSeparator);
    std::string number = intPart;
    if (!fraction.empty()) {
        number += facts.DecimalSeparator;
        number += fraction;
    }
    if (format == TFloatFormat::ffCurrency)
        return applyCurrency(number, d.negative, facts);
    return d.negative ? "-" + number : number;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return s;
}

// The classic integer scanner: leading blanks, sign, then "$", "x", "0x" for hex or decimal digits.
// Hex reads up to `hexBits` bits as an unsigned pattern; decimal must fit the signed range.
bool scanInteger(std::string_view s, int hexBits, std::int64_t minValue, std::int64_t maxValue,
                 std::int64_t& value) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    unsigned long long magnitude = 0;
    if (hex) {
        const unsigned long long limit = hexBits >= 64 ? ~0ULL : (1ULL << hexBits) - 1;
        for (; i < s.size(); ++i) {
            int digit;
            char c = s[i];
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return false;
            if (magnitude > (limit >> 4))
                return false;
            magnitude = (magnitude << 4) | unsigned(digit);
        }
        std::int64_t pattern =
            hexBits >= 64
                ? static_cast<std::int64_t>(magnitude)
                : static_cast<std::int64_t>(static_cast<std::int32_t>(static_cast<std::uint32_t>(magnitude)));
        value =
            negative ? static_cast<std::int64_t>(0ULL - static_cast<unsigned long long>(pattern)) : pattern;
        if (hexBits < 64)
            value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
        return true;
    }
    const unsigned long long limit = negative ? static_cast<unsigned long long>(-(minValue + 1)) + 1
                                              : static_cast<unsigned long long>(maxValue);
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c < '0' || c > '9')
            return false;
        unsigned digit = unsigned(c - '0');
        if (magnitude > (limit - digit) / 10)
            return false;
        magnitude = magnitude * 10 + digit;
    }
    value = negative ? static_cast<std::int64_t>(0ULL - magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

std::string quoted(std::string_view s) {
    return "'" + std::string(s) + "'";
}

// --- Format ---

class Formatter {
public:
    Formatter(std::string_view format, const FormatArgs& args, const LocaleFacts& facts)
        : format_(format), args_(args), facts_(facts) {}

    std::string run() {
        std::string out;
        size_t i = 0;
        while (i < format_.size()) {
            char c = format_[i];
            if (c != '%') {
                out += c;
                ++i;
                continue;
            }
            ++i;
            if (i >= format_.size())
                invalid();
            if (format_[i] == '%') {
                out += '%';
                ++i;
                continue;
            }
            out += spec(i);
        }
        return out;
    }

private:
    [[noreturn]] void invalid() const {
        throw EConvertError("Format '" + std::string(format_) + "' invalid or incompatible with argument");
    }
    [[noreturn]] void missing() const {
        throw EConvertError("No argument for format '" + std::string(format_) + "'");
    }

    const FormatArg::Value& nextArg() {
        if (argIndex_ >= args_.size())
            missing();
        return args_[argIndex_++].value();
    }

    // A number or "*" (taken from the arguments); -1 when there is none.
    int number(size_t& i) {
        if (i < format_.size() && format_[i] == '*') {
            ++i;
            const auto& v = nextArg();
            if (const auto* n = std::get_if<std::int32_t>(&v))
                return *n;
            invalid();
        }
        if (i >= format_.size() || format_[i] < '0' || format_[i] > '9')
            return -1;
        long long n = 0;
        while (i < format_.size() && format_[i] >= '0' && format_[i] <= '9') {
            n = std::min<long long>(n * 10 + (format_[i] - '0'), 1 << 24);
            ++i;
        }
        return int(n);
    }

    std::string spec(size_t& i) {
        int width = number(i);
        if (i < format_.size() && format_[i] == ':') {
            ++i;
            if (width < 0)
                width = 0;
            argIndex_ = size_t(width);
            width = -1;
        }
        bool left = false;
        if (width < 0 && i < format_.size() && format_[i] == '-') {
            left = true;
            ++i;
        }
        if (width < 0)
            width = number(i);
        int precision = -1;
        if (i < format_.size() && format_[i] == '.') {
            ++i;
            precision = number(i);
            if (precision < 0)
                precision = 0;
        }
        if (i >= format_.size())
            invalid();
        char type = char(std::toupper(static_cast<unsigned char>(format_[i])));
        ++i;
        std::string text = convert(type, precision);
        return pad(text, width, left);
    }

    static size_t characters(const std::string& s) {
        size_t n = 0;
        for (unsigned char c : s)
            n += (c & 0xC0) != 0x80;
        return n;
    }

    static std::string pad(const std::string& text, int width, bool left) {
        size_t length = characters(text);
        if (width <= 0 || length >= size_t(width))
            return text;
        std::string fill(size_t(width) - length, ' ');
        return left ? text + fill : fill + text;
    }

    std::string convert(char type, int precision) {
        switch (type) {
        case 'D':
        case 'U':
        case 'X':
            return integer(type, precision);
        case 'E':
        case 'F':
        case 'G':
        case 'N':
        case 'M':
            return floating(type, precision);
        case 'S':
            return string(precision);
        default:
            invalid();
        }
    }

    std::string integer(char type, int precision) {
        const auto& v = nextArg();
        std::int64_t value;
        bool is64;
        if (const auto* n32 = std::get_if<std::int32_t>(&v)) {
            value = *n32;
            is64 = false;
        } else if (const auto* n64 = std::get_if<std::int64_t>(&v)) {
            value = *n64;
            is64 = true;
        } else {
            invalid();
        }
        std::string digits;
        bool negative = false;
        unsigned long long pattern = is64
                                         ? static_cast<unsigned long long>(value)
                                         : static_cast<unsigned long long>(static_cast<std::uint32_t>(value));
        if (type == 'D') {
            negative = value < 0;
            digits = std::to_string(negative ? 0ULL - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value));
        } else if (type == 'U') {
            digits = std::to_string(pattern);
        } else {
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, "%llX", pattern);
            digits = buffer;
        }
        if (precision > 0 && int(digits.size()) < precision)
            digits.insert(0, size_t(precision) - digits.size(), '0');
        return negative ? "-" + digits : digits;
    }

    std::string floating(char type, int precision) {
        const auto& v = nextArg();
        const auto* value = std::get_if<double>(&v);
        if (!value)
            invalid();
        switch (type) {
        case 'E':
            return FloatToStrF(*value, TFloatFormat::ffExponent,
                               precision < 0 || precision > 15 ? 15 : precision, 3, facts_);
        case 'G':
            return FloatToStrF(*value, TFloatFormat::ffGeneral,
                               precision < 0 || precision > 15 ? 15 : precision, 3, facts_);
        case 'F':
            return FloatToStrF(*value, TFloatFormat::ffFixed, 18, precision < 0 ? 2 : std::min(precision, 18),
                               facts_);
        case 'N':
            return FloatToStrF(*value, TFloatFormat::ffNumber, 18,
                               precision < 0 ? 2 : std::min(precision, 18), facts_);
        default:
            return FloatToStrF(*value, TFloatFormat::ffCurrency, 18,
                               precision < 0 ? facts_.CurrencyDecimals : std::min(precision, 18), facts_);
        }
    }

    std::string string(int precision) {
        const auto& v = nextArg();
        const auto* s = std::get_if<std::string>(&v);
        if (!s)
            invalid();
        if (precision < 0 || characters(*s) <= size_t(precision))
            return *s;
        // Cut after `precision` characters, never inside a UTF-8 sequence.
        size_t count = 0, i = 0;
        for (; i < s->size(); ++i) {
            if ((static_cast<unsigned char>((*s)[i]) & 0xC0) != 0x80) {
                if (count == size_t(precision))
                    break;
                ++count;
            }
        }
        return s->substr(0, i);
    }

    std::string_view format_;
    const FormatArgs& args_;
    const LocaleFacts& facts_;
    size_t argIndex_ = 0;
};

} // namespace

std::string Format(std::string_view format, const FormatArgs& args, const LocaleFacts& facts) {
    return Formatter(format, args, facts).run();
}

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}

std::string IntToHex(std::int32_t value, int digits) {
    return Format("%.*x", {digits, static_cast<int>(value)}, LocaleFacts::Default());
}

std::string IntToHex(std::int64_t value, int digits) {
    return Format("%.*x", {digits, FormatArg(static_cast<long long>(value))}, LocaleFacts::Default());
}

bool TryStrToInt(std::string_view s, std::int32_t& value) {
    std::int64_t v;
    if (!scanInteger(s, 32, std::numeric_limits<std::int32_t>::min(),
                     std::numeric_limits<std::int32_t>::max(), v))
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::int32_t StrToInt(std::string_view s) {
    std::int32_t v;
    if (!TryStrToInt(s, v))
        throw EConvertError(quoted(s) + " is not a valid integer value");
    return v;
}

std::int32_t StrToIntDef(std::string_view s, std::int32_t def) {
    std::int32_t v;
    return TryStrToInt(s, v) ? v : def;
}

bool TryStrToInt64(std::string_view s, std::int64_t& value) {
    return scanInteger(s, 64, std::numeric_limits<std::int64_t>::min(),
                       std::numeric_limits<std::int64_t>::max(), value);
}

std::int64_t StrToInt64(std::string_view s) {
    std::int64_t v;
    if (!TryStrToInt64(s, v))
        throw EConvertError(quoted(s) + " is not a valid integer value");
    return v;
}

std::int64_t StrToInt64Def(std::string_view s, std::int64_t def) {
    std::int64_t v;
    return TryStrToInt64(s, v) ? v : def;
}

bool TryStrToFloat(std::string_view s, double& value, const LocaleFacts& facts) {
    std::string_view t = trimBlanks(s);
    // [sign] digits [sep digits] [E [sign] digits], at least one digit in the mantissa; copied with "."
    // as the separator into a buffer on the stack (on the heap for long texts).
    char local[64];
    std::string heap;
    char* normalText = local;
    if (t.size() > sizeof local) {
        heap.resize(t.size());
        normalText = heap.data();
    }
    struct {
        char* data;
        size_t length = 0;
        void operator+=(char c) { data[length++] = c; }
        size_t size() const { return length; }
    } normal{normalText};
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        normal += t[i++];
    size_t mantissaDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        normal += t[i++];
        ++mantissaDigits;
    }
    if (i < t.size() && t[i] == facts.DecimalSeparator) {
        normal += '.';
        ++i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            normal += t[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        normal += 'e';
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            normal += t[i++];
        size_t expDigits = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            normal += t[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != t.size())
        return false;
    const char* first = normal.data;
    if (*first == '+')
        ++first;
    double v = 0;
    auto [end, ec] = std::from_chars(first, normal.data + normal.size(), v);
    if (ec != std::errc() || end != normal.data + normal.size())
        return false;
    value = v;
    return true;
}

double StrToFloat(std::string_view s, const LocaleFacts& facts) {
    double v;
    if (!TryStrToFloat(s, v, facts))
        throw EConvertError(quoted(s) + " is not a valid floating point value");
    return v;
}

double StrToFloatDef(std::string_view s, double def, const LocaleFacts& facts) {
    double v;
    return TryStrToFloat(s, v, facts) ? v : def;
}

namespace {

// FloatToStrF of the number that decimalOf(precision, decimals) rounds.
template <typename DecimalOf>
std::string floatToStrF(const DecimalOf& decimalOf, TFloatFormat format, int precision, int digits,
                        const LocaleFacts& facts, int maxPrecision = 18) {
    precision = std::clamp(precision, 1, maxPrecision);
    switch (format) {
    case TFloatFormat::ffGeneral:
        return formatGeneral(decimalOf(precision, 9999), precision, digits, facts);
    case TFloatFormat::ffExponent:
        return formatExponent(decimalOf(precision, 9999), precision, digits, facts);
    default: {
        digits = std::clamp(digits, 0, 18);
        FloatDecimal d = decimalOf(precision, digits);
        if (d.special)
            return specialText(d);
        if (d.exponent > precision)
            return formatGeneral(decimalOf(precision, 9999), precision, 0, facts);
        return formatFixedLike(d, format, digits, facts);
    }
    }
}

} // namespace

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const LocaleFacts& facts) {
    return floatToStrF([value](int p, int decimals) { return detail::ToFloatDecimal(value, p, decimals); },
                       format, precision, digits, facts);
}

namespace {

// floatToStrF of scanned decimal digits, rounded from them.
std::string scannedToStrF(const FloatDecimal& scanned, TFloatFormat format, int precision, int digits,
                          const LocaleFacts& facts, int maxPrecision) {
    return floatToStrF(
        [&scanned](int p, int decimals) {
            return detail::RoundDecimal(scanned.digits, scanned.exponent, scanned.negative, p, decimals);
        },
        format, precision, digits, facts, maxPrecision);
}

} // namespace

bool TryFloatTextToStrF(std::string_view text, TFloatFormat format, int precision, int digits,
                        std::string& out, const LocaleFacts& facts) {
    FloatDecimal scanned;
    if (!detail::ScanPlainDecimal(text, facts.DecimalSeparator, scanned))
        return false;
    out = scannedToStrF(scanned, format, precision, digits, facts, 18);
    return true;
}

bool TryCurrencyTextToStrF(std::string_view text, TFloatFormat format, int digits, std::string& out,
                           const LocaleFacts& facts) {
    FloatDecimal scanned;
    if (!detail::ScanCurrencyDecimal(text, facts.DecimalSeparator, scanned))
        return false;
    out = scannedToStrF(scanned, format, kCurrencyDigits, digits, facts, kCurrencyDigits);
    return true;
}

std::string FloatToStr(double value, const LocaleFacts& facts) {
    return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, facts);
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return out;
}

int CompareText(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z')
            x = static_cast<unsigned char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<unsigned char>(y - 32);
        if (x != y)
            return int(x) - int(y);
    }
    return int(a.size()) - int(b.size());
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && CompareText(a, b) == 0;
}

std::string Trim(std::string_view s) {
    return std::string(trimBlanks(s));
}

std::string TrimLeft(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ')
        s.remove_prefix(1);
    return std::string(s);
}

std::string TrimRight(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ')
        s.remove_suffix(1);
    return std::string(s);
}

std::string AnsiQuotedStr(std::string_view s, char quote) {
    std::string out(1, quote);
    for (char c : s) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

std::string QuotedStr(std::string_view s) {
    return AnsiQuotedStr(s, '\'');
}

} // namespace rtl
