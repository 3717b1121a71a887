#pragma once

#include "platform/rtl/LocaleFacts.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace rtl {

// Classic FormatFloat. The format has up to three sections separated by ';' (positive; negative;
// zero). In a section: '0' digit placeholder, '#' optional digit, '.' decimal separator (the first
// one), ',' thousands separators on (anywhere in the section), "E+" "E-" "e+" "e-" scientific
// notation, '"..."' and '\'...\'' literal text; anything else is copied. An empty format gives
// FloatToStr's result. A value that needs more than 18 integer digits falls back to ffGeneral.
// An empty section (";(0)": the positive one) gives the value in general format.
std::string FormatFloat(std::string_view format, double value,
                        const LocaleFacts& facts = LocaleFacts::Current());

// FormatFloat(format, value of text) for a plain decimal text ("-1234.5", the locale's decimal
// separator, at most 15 significant digits) without going through a double; false (out unchanged) for
// any other text or an empty format. out (another string than text) keeps its storage.
bool TryFormatFloatText(std::string_view format, std::string_view text, std::string& out,
                        const LocaleFacts& facts = LocaleFacts::Current());

// The same for a currency text (a whole number of ten-thousandths in the signed 64-bit range, every
// digit kept: 922337203685477.5807 with "#,##0.00" gives "922,337,203,685,477.58").
bool TryFormatCurrencyText(std::string_view format, std::string_view text, std::string& out,
                           const LocaleFacts& facts = LocaleFacts::Current());

// FormatFloat's sections applied to a 64-bit integer without going through a double, so every digit is
// kept (9007199254740993 with "#,##0" gives "9,007,199,254,740,993"); general format is the plain integer.
std::string FormatInt64(std::string_view format, std::int64_t value,
                        const LocaleFacts& facts = LocaleFacts::Current());
// FormatInt64 replacing out, whose storage is reused (an export formats every cell into one string).
void FormatInt64Into(std::string& out, std::string_view format, std::int64_t value,
                     const LocaleFacts& facts = LocaleFacts::Current());
// FormatInt64Into(out, format, StrToInt64Def(text, 0)), a short decimal integer text laid out straight
// from its characters.
void FormatIntegerTextInto(std::string& out, std::string_view format, std::string_view text,
                           const LocaleFacts& facts = LocaleFacts::Current());

namespace detail {

// A one-section mask of '0', '#', ',' and '.' only between plain literal texts, read for the separators of
// one locale; its texts are views into the mask.
struct PlainSection {
    int decimals = 0;          // placeholders after the point
    int forcedInteger = 0;     // integer digits always written ('0' placeholders)
    int forcedDecimals = 0;    // decimals always written
    char thousandSeparator = 0; // '\0' when the mask does not group thousands
    char decimalSeparator = '.';
    bool integer = false; // no decimals: an integer fills it digit for digit
    std::string_view prefix, suffix;
    static constexpr std::size_t kShortText = 32;
    bool shortTexts = false; // prefix and suffix of at most kShortText characters

};

} // namespace detail

// The number formatting of a column, whose every cell has one mask: the mask is read at its first use and
// again only when the mask or the locale's separators change, so the short texts that a one-section plain
// mask lays out from their characters skip any look-up. Each function gives what the free function of the
// same name gives.
class NumberMask {
public:
    NumberMask() = default;
    NumberMask(const NumberMask& other);
    NumberMask& operator=(const NumberMask& other);

    void FormatIntegerTextInto(std::string& out, std::string_view format, std::string_view text,
                               const LocaleFacts& facts);
    bool TryFormatFloatText(std::string_view format, std::string_view text, std::string& out,
                            const LocaleFacts& facts);
    bool TryFormatCurrencyText(std::string_view format, std::string_view text, std::string& out,
                               const LocaleFacts& facts);

private:
    // Reads format when it is not the one held; whether it is a plain section.
    bool use(std::string_view format, const LocaleFacts& facts);
    void read(std::string_view format, const LocaleFacts& facts);

    std::string format_;
    char thousandSeparator_ = 0, decimalSeparator_ = 0;
    bool read_ = false, plain_ = false;
    detail::PlainSection section_; // views into format_
};

} // namespace rtl
