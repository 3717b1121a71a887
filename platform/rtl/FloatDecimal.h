#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl::detail {

// A number as decimal digits: value = 0.<digits> * 10^exponent, digits without trailing zeros
// ("" for zero). Mirrors the classic float record the formatting routines work on.
struct FloatDecimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
    bool special = false; // NaN or infinity; `digits` then holds "NAN" or "INF"
};

// Keeps at most `precision` significant digits and `decimals` digits after the point of
// 0.<digits> * 10^exponent, rounding half away from zero.
FloatDecimal RoundDecimal(std::string digits, int exponent, bool negative, int precision, int decimals);

// Rounds |value| to at most `precision` significant digits (1..18) and at most `decimals` digits after
// the decimal point, half away from zero, starting from the shortest decimal text that reads back as
// the same double.
FloatDecimal ToFloatDecimal(double value, int precision, int decimals);

// |value| exactly, rounded half away from zero to at most `precision` significant digits.
FloatDecimal ToIntegerDecimal(std::int64_t value, int precision);

// Inserts `separator` every three digits of an integer digit string ('\0' leaves it as it is).
std::string GroupThousands(const std::string& integerDigits, char separator);

// A plain decimal text ([sign] digits [separator digits], at most 15 significant digits) as its digits,
// `negative` for a leading minus. Such a text is exactly the shortest decimal text of the double it reads
// as, so rounding may start from its digits. False for any other text.
bool ScanPlainDecimal(std::string_view text, char decimalSeparator, FloatDecimal& out);

// A currency text: a plain decimal ([sign] digits [separator digits]) whose value is a whole number of
// ten-thousandths within the signed 64-bit range (-922337203685477.5808 .. 922337203685477.5807), as its
// exact digits. False for any other text.
bool ScanCurrencyDecimal(std::string_view text, char decimalSeparator, FloatDecimal& out);

// TryFormatFloatText and TryFormatCurrencyText by their general route alone, without the one for short texts
// in a one-section plain mask; the two routes must agree on every text.
bool FormatFloatTextGeneral(std::string_view format, std::string_view text, std::string& out,
                            const LocaleFacts& facts);
bool FormatCurrencyTextGeneral(std::string_view format, std::string_view text, std::string& out,
                               const LocaleFacts& facts);

} // namespace rtl::detail
