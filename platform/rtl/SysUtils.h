#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rtl {

// A failed conversion or formatting, with the classic messages
// (e.g. "'abc' is not a valid integer value", "Format '%d' invalid or incompatible with argument").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One argument of Format: a 32-bit integer, a 64-bit integer, a floating-point number or a string.
// The integer width matters for %x/%u of negative values (8 vs 16 hex digits). `int` is 32-bit; long,
// long long and unsigned types are 64-bit; a `char` is a one-character string.
class FormatArg {
public:
    using Value = std::variant<std::int32_t, std::int64_t, double, std::string>;

    FormatArg(int v) : value_(std::int32_t(v)) {}
    FormatArg(unsigned v) : value_(std::int64_t(v)) {}
    FormatArg(long v) : value_(std::int64_t(v)) {}
    FormatArg(long long v) : value_(std::int64_t(v)) {}
    FormatArg(unsigned long v) : value_(std::int64_t(v)) {}
    FormatArg(unsigned long long v) : value_(std::int64_t(v)) {}
    FormatArg(double v) : value_(v) {}
    FormatArg(float v) : value_(double(v)) {}
    FormatArg(char c) : value_(std::string(1, c)) {}
    FormatArg(const char* s) : value_(std::string(s ? s : "")) {}
    FormatArg(std::string s) : value_(std::move(s)) {}
    FormatArg(std::string_view s) : value_(std::string(s)) {}
    FormatArg(bool) = delete; // a Boolean is no Format argument: the classic Format takes none

    const Value& value() const { return value_; }

private:
    Value value_;
};

using FormatArgs = std::vector<FormatArg>;

// Classic Format: "%" [index ":"] ["-"] [width] ["." precision] type, type one of d u x e f g n m s (any
// case) or "%%".
// Index, width and precision may be "*" (taken from the arguments). %x prints upper-case digits and
// negative 32-bit values as their two's complement ("%x" of -603 is "FFFFFDA5").
// Throws EConvertError "Format '<fmt>' invalid or incompatible with argument" or "No argument for format
// '<fmt>'".
std::string Format(std::string_view format, const FormatArgs& args,
                   const LocaleFacts& facts = LocaleFacts::Current());

std::string IntToStr(std::int64_t value);
// Upper-case hex with at least `digits` digits; negative 32-bit values give 8 digits, 64-bit 16 digits.
std::string IntToHex(std::int32_t value, int digits);
std::string IntToHex(std::int64_t value, int digits);
inline std::string IntToHex(std::uint32_t value, int digits) {
    return IntToHex(std::int64_t(value), digits);
}
inline std::string IntToHex(long long value, int digits) {
    return IntToHex(std::int64_t(value), digits);
}

// Decimal, "$hex", "0xhex" or "xhex", optional sign, leading blanks; throws
// EConvertError "'<s>' is not a valid integer value" on anything else or on overflow.
std::int32_t StrToInt(std::string_view s);
std::int32_t StrToIntDef(std::string_view s, std::int32_t def);
bool TryStrToInt(std::string_view s, std::int32_t& value);
std::int64_t StrToInt64(std::string_view s);
std::int64_t StrToInt64Def(std::string_view s, std::int64_t def);
bool TryStrToInt64(std::string_view s, std::int64_t& value);

// Decimal number with the locale's decimal separator, optional exponent, surrounding blanks allowed;
// throws EConvertError "'<s>' is not a valid floating point value".
double StrToFloat(std::string_view s, const LocaleFacts& facts = LocaleFacts::Current());
double StrToFloatDef(std::string_view s, double def, const LocaleFacts& facts = LocaleFacts::Current());
bool TryStrToFloat(std::string_view s, double& value, const LocaleFacts& facts = LocaleFacts::Current());

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Classic FloatToText: `precision` significant digits (max 18), `digits` as the format defines it
// (exponent digits for ffGeneral/ffExponent, decimals for the others). NAN / INF give "NAN", "INF", "-INF".
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                        const LocaleFacts& facts = LocaleFacts::Current());
// FloatToStrF of the number a plain decimal text ([sign] digits [separator digits], at most 15 significant
// digits) reads as, worked from its digits without a detour through binary; false for any other text.
bool TryFloatTextToStrF(std::string_view text, TFloatFormat format, int precision, int digits,
                        std::string& out, const LocaleFacts& facts = LocaleFacts::Current());
// The significant digits of the widest currency value (922337203685477.5807).
constexpr int kCurrencyDigits = 19;
// FloatToStrF of a currency text (a whole number of ten-thousandths in the signed 64-bit range, see
// detail::ScanCurrencyDecimal) with every one of its digits: never through a double, so
// 922337203685477.5807 keeps its cents. False for any other text.
bool TryCurrencyTextToStrF(std::string_view text, TFloatFormat format, int digits, std::string& out,
                           const LocaleFacts& facts = LocaleFacts::Current());
// FloatToStrF(value, ffGeneral, 15, 0): "1.5", "1E20", "1E-7".
std::string FloatToStr(double value, const LocaleFacts& facts = LocaleFacts::Current());

// ASCII case conversions and comparisons (CompareText: <0, 0, >0 on the upper-cased texts).
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Locale-style collation as the classic string lists sort: symbols sort before digits before
// letters, hyphens and apostrophes count only when the texts are otherwise equal. AnsiCompareStr puts
// lower case before upper case when the texts differ only in case.
int AnsiCompareText(std::string_view a, std::string_view b);
int AnsiCompareStr(std::string_view a, std::string_view b);

// Removes characters at or below blank from both ends / the start / the end.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);

// 'text' with inner quotes doubled; AnsiQuotedStr with any quote character.
std::string QuotedStr(std::string_view s);
std::string AnsiQuotedStr(std::string_view s, char quote);

} // namespace rtl
