#include "platform/rtl/FormatFloat.h"

#include "platform/rtl/FloatDecimal.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace rtl {

namespace {

using detail::FloatDecimal;

// The format's sections, split at ';' outside quotes; sections after the third are never used.
struct Sections {
    std::string_view items[3];
    size_t count = 0;
    size_t size() const { return count; }
    std::string_view operator[](size_t i) const { return items[i]; }
};

Sections splitSections(std::string_view format) {
    Sections sections;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.items[sections.count++] = format.substr(start, i - start);
            start = i + 1;
            if (sections.count == 3)
                return sections;
        }
    }
    sections.items[sections.count++] = format.substr(start);
    return sections;
}

// What a section asks for.
struct SectionInfo {
    int digitCount = 0;     // '0' and '#' placeholders
    int decimalIndex = -1;  // placeholders before the first '.'
    int forcedInteger = 0;  // integer positions from the first '0' to the decimal point
    int forcedDecimals = 0; // decimal positions up to the last '0'
    bool thousands = false;
    bool scientific = false;
    // Only '0', '#', ',' and '.' between plain literal text (no quotes, no exponent): the literal text
    // before, the digits grouped with the fraction, the literal text after.
    bool plain = true;
    std::string_view prefix, suffix;
};

bool isExponentMark(std::string_view s, size_t i) {
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

SectionInfo scanSection(std::string_view section, const LocaleFacts& facts) {
    SectionInfo info;
    int firstZero = -1, lastZero = -1;
    const size_t maskStart = section.find_first_of("0#,.");
    const size_t maskEnd = section.find_last_of("0#,.");
    if (maskStart == std::string_view::npos) {
        info.plain = false;
    } else {
        const std::string_view mask = section.substr(maskStart, maskEnd + 1 - maskStart);
        info.prefix = section.substr(0, maskStart);
        info.suffix = section.substr(maskEnd + 1);
        info.plain = mask.find_first_not_of("0#,.") == std::string_view::npos &&
                     section.find_first_of("\"'") == std::string_view::npos;
    }
    for (size_t i = 0; i < section.size(); ++i) {
        char c = section[i];
        if (c == '"' || c == '\'') {
            size_t end = section.find(c, i + 1);
            i = end == std::string_view::npos ? section.size() : end;
        } else if (c == '0' || c == '#') {
            if (c == '0') {
                if (firstZero < 0)
                    firstZero = info.digitCount;
                lastZero = info.digitCount;
            }
            ++info.digitCount;
        } else if (c == '.') {
            if (info.decimalIndex < 0)
                info.decimalIndex = info.digitCount;
        } else if (c == ',') {
            info.thousands = facts.ThousandSeparator != '\0';
        } else if (isExponentMark(section, i)) {
            if (info.scientific)
                continue;
            info.scientific = true;
            ++i;
            while (i + 1 < section.size() && section[i + 1] == '0')
                ++i;
        }
    }
    if (info.decimalIndex < 0)
        info.decimalIndex = info.digitCount;
    if (info.scientific)
        info.plain = false;
    if (firstZero >= 0 && firstZero < info.decimalIndex)
        info.forcedInteger = info.decimalIndex - firstZero;
    if (lastZero >= info.decimalIndex)
        info.forcedDecimals = lastZero - info.decimalIndex + 1;
    return info;
}

class SectionWriter {
public:
    SectionWriter(std::string_view section, const SectionInfo& info, const LocaleFacts& facts)
        : section_(section), info_(info), facts_(facts) {}

    // Integer digits (without leading zeros beyond the forced ones), fraction digits (trailing zeros
    // beyond the forced ones removed) and, in scientific notation, the exponent.
    std::string write(const std::string& intDigits, const std::string& fraction, int exponent) {
        std::string out;
        int placeholder = 0;
        size_t intLength = intDigits.size();
        size_t intUsed = 0;
        bool pointWritten = false;
        const int integerPlaceholders = info_.decimalIndex;
        auto putIntegerDigits = [&](size_t count) {
            for (size_t k = 0; k < count && intUsed < intLength; ++k) {
                out += intDigits[intUsed++];
                size_t remaining = intLength - intUsed;
                if (info_.thousands && !info_.scientific && remaining > 0 && remaining % 3 == 0)
                    out += facts_.ThousandSeparator;
            }
        };
        for (size_t i = 0; i < section_.size(); ++i) {
            char c = section_[i];
            if (c == '"' || c == '\'') {
                size_t end = section_.find(c, i + 1);
                if (end == std::string_view::npos)
                    end = section_.size();
                out.append(section_.substr(i + 1, end - i - 1));
                i = end;
            } else if (c == '0' || c == '#') {
                if (placeholder < integerPlaceholders) {
                    // Right-align the integer digits on the integer placeholders; the first one takes the
                    // excess.
                    int positionFromPoint = integerPlaceholders - placeholder;
                    if (placeholder == 0 && intLength > size_t(integerPlaceholders))
                        putIntegerDigits(intLength - size_t(integerPlaceholders) + 1);
                    else if (intLength - intUsed >= size_t(positionFromPoint))
                        putIntegerDigits(1);
                } else {
                    if (!pointWritten) {
                        putIntegerDigits(intLength);
                    }
                    size_t index = size_t(placeholder - integerPlaceholders);
                    if (index < fraction.size())
                        out += fraction[index];
                }
                ++placeholder;
            } else if (c == '.') {
                if (!pointWritten) {
                    putIntegerDigits(intLength);
                    pointWritten = true;
                    if (!fraction.empty())
                        out += facts_.DecimalSeparator;
                }
            } else if (c == ',') {
                // thousands separators are placed with the digits
            } else if (info_.scientific && isExponentMark(section_, i)) {
                putIntegerDigits(intLength);
                bool always = section_[i + 1] == '+';
                out += c;
                if (exponent < 0)
                    out += '-';
                else if (always)
                    out += '+';
                ++i;
                int minDigits = 0;
                while (i + 1 < section_.size() && section_[i + 1] == '0') {
                    ++minDigits;
                    ++i;
                }
                std::string e = std::to_string(std::abs(exponent));
                if (int(e.size()) < std::min(minDigits, 4))
                    e.insert(0, size_t(std::min(minDigits, 4)) - e.size(), '0');
                out += e;
            } else {
                out += c;
            }
        }
        putIntegerDigits(intLength);
        return out;
    }

private:
    std::string_view section_;
    const SectionInfo& info_;
    const LocaleFacts& facts_;
};

std::string trimFraction(std::string fraction, int forced) {
    while (int(fraction.size()) > forced && fraction.back() == '0')
        fraction.pop_back();
    return fraction;
}

// How a section rendered into its output text (which a fallback leaves untouched).
struct Rendered {
    bool zero = false;
    bool fallback = false;
};

// The integer part of a plain section into buffer: count digits (at most 20) padded with zeros to the
// forced ones (at most 20), the separator (none when '\0') before every group of three but the first.
// Returns the characters written. Runs for every number cell: copies are written out, as a library copy
// costs more than these few characters.
[[gnu::always_inline]] inline int writeIntegerDigits(char* buffer, const char* digits, int count,
                                                     int forcedInteger, char separator) {
    char padded[24];
    if (count < forcedInteger) {
        const int zeros = forcedInteger - count;
        for (int i = 0; i < zeros; ++i)
            padded[i] = '0';
        for (int i = 0; i < count; ++i)
            padded[zeros + i] = digits[i];
        digits = padded;
        count = forcedInteger;
    }
    if (separator == '\0' || count <= 3) {
        for (int i = 0; i < count; ++i)
            buffer[i] = digits[i];
        return count;
    }
    const int head = (count - 1) % 3 + 1;
    char* out = buffer;
    *out++ = digits[0];
    if (head > 1)
        *out++ = digits[1];
    if (head > 2)
        *out++ = digits[2];
    for (int i = head; i < count; i += 3) {
        out[0] = separator;
        out[1] = digits[i];
        out[2] = digits[i + 1];
        out[3] = digits[i + 2];
        out += 4;
    }
    return int(out - buffer);
}

// Characters of a plain section's number, written from kRoom on, with room before for a minus sign and a
// short literal prefix and after for a short literal suffix.
struct PlainBuffer {
    static constexpr int kRoom = 33;    // a sign and 32 characters of prefix
    static constexpr int kNumber = 128; // at most 20 integer digits with separators, the point, 100 decimals
    static constexpr int kSuffix = 32;
    char chars[kRoom + kNumber + kSuffix];
    int length = kRoom;
    char* end() { return chars + length; }
};

// Replaces text with a plain section's number between its literal texts, after a minus sign when asked;
// short literal texts are put around the number in its buffer, so the whole text is one assignment.
void assignPlain(std::string& text, bool minus, std::string_view prefix, std::string_view suffix,
                 PlainBuffer& number) {
    if (prefix.size() < size_t(PlainBuffer::kRoom) && suffix.size() <= size_t(PlainBuffer::kSuffix)) {
        char* begin = number.chars + PlainBuffer::kRoom - prefix.size();
        for (size_t i = 0; i < prefix.size(); ++i)
            begin[i] = prefix[i];
        if (minus)
            *--begin = '-';
        char* end = number.end();
        for (size_t i = 0; i < suffix.size(); ++i)
            *end++ = suffix[i];
        text.clear(); // then appended: cheaper than an assignment, which allows for overlapping texts
        text.append(begin, size_t(end - begin));
        return;
    }
    text.clear();
    if (minus)
        text += '-';
    text.append(prefix);
    text.append(number.chars + PlainBuffer::kRoom, size_t(number.length - PlainBuffer::kRoom));
    text.append(suffix);
}

// A plain section ('0', '#', ',' and '.' only) straight into a character buffer: integer digits padded
// to the forced ones and grouped, then the fraction cut to the section's decimals (rounding was done) and
// its trailing zeros beyond the forced ones dropped. Replaces text, reusing its storage.
void renderPlain(const SectionInfo& info, const FloatDecimal& d, const LocaleFacts& facts,
                 std::string& text) {
    const int decimals = info.digitCount - info.decimalIndex;
    const int digitCount = int(d.digits.size());
    const int intCount = d.digits.empty() ? 0 : std::max(d.exponent, 0);
    auto digitAt = [&](int position) { // digit `position` of d.digits, zeros outside them
        return position >= 0 && position < digitCount ? d.digits[size_t(position)] : '0';
    };
    char integer[20]; // the exponent of a number that did not fall back is at most 20
    for (int position = 0; position < intCount; ++position)
        integer[position] = digitAt(position);
    PlainBuffer number;
    number.length += writeIntegerDigits(number.end(), integer, intCount, info.forcedInteger,
                                        info.thousands ? facts.ThousandSeparator : '\0');
    // fraction digit k (0-based) is digit (intCount + k) of value = 0.<digits> * 10^exponent
    int fractionLength = decimals;
    auto fractionDigit = [&](int k) { return digitAt(d.exponent + k); };
    while (fractionLength > info.forcedDecimals && fractionDigit(fractionLength - 1) == '0')
        --fractionLength;
    if (d.digits.empty())
        fractionLength = info.forcedDecimals;
    if (fractionLength > 0) {
        number.chars[number.length++] = facts.DecimalSeparator;
        for (int k = 0; k < fractionLength; ++k)
            number.chars[number.length++] = d.digits.empty() ? '0' : fractionDigit(k);
    }
    assignPlain(text, false, info.prefix, info.suffix, number);
}

// decimalOf(precision, decimals) gives the magnitude rounded to at most that many significant digits and
// digits after the point; a number needing more than maxIntegerDigits integer digits falls back. The
// section's text replaces text.
template <typename DecimalOf>
Rendered renderSection(std::string_view section, const SectionInfo& info, const DecimalOf& decimalOf,
                       int maxIntegerDigits, const LocaleFacts& facts, std::string& text) {
    Rendered result;
    if (info.scientific) {
        FloatDecimal d = decimalOf(std::max(info.digitCount, 1), 9999);
        result.zero = d.digits.empty();
        std::string mantissa = d.digits;
        mantissa.resize(size_t(std::max<int>(info.digitCount, int(mantissa.size()))), '0');
        int intCount = std::min<int>(info.decimalIndex, int(mantissa.size()));
        std::string intDigits = mantissa.substr(0, size_t(intCount));
        std::string fraction = trimFraction(mantissa.substr(size_t(intCount)), info.forcedDecimals);
        int exponent = result.zero ? 0 : d.exponent - info.decimalIndex;
        text = SectionWriter(section, info, facts).write(intDigits, fraction, exponent);
        return result;
    }
    FloatDecimal d = decimalOf(maxIntegerDigits, info.digitCount - info.decimalIndex);
    if (!d.digits.empty() && d.exponent > maxIntegerDigits) {
        result.fallback = true;
        return result;
    }
    result.zero = d.digits.empty();
    if (info.plain && info.digitCount - info.decimalIndex <= 100 && info.forcedInteger <= 20) {
        renderPlain(info, d, facts, text);
        return result;
    }
    std::string intDigits, fraction;
    int decimals = info.digitCount - info.decimalIndex;
    if (!result.zero) {
        if (d.exponent > 0) {
            intDigits = d.digits.substr(0, size_t(std::min<int>(d.exponent, int(d.digits.size()))));
            intDigits.resize(size_t(d.exponent), '0');
            if (d.exponent < int(d.digits.size()))
                fraction = d.digits.substr(size_t(d.exponent));
        } else {
            fraction = std::string(size_t(-d.exponent), '0') + d.digits;
        }
    }
    fraction.resize(size_t(decimals), '0');
    if (int(intDigits.size()) < info.forcedInteger)
        intDigits.insert(0, size_t(info.forcedInteger) - intDigits.size(), '0');
    text =
        SectionWriter(section, info, facts).write(intDigits, trimFraction(fraction, info.forcedDecimals), 0);
    return result;
}

// Whether a section is a plain mask without decimals ("#,##0"), which an integer fills digit for digit.
bool isPlainInteger(const SectionInfo& info) {
    return info.plain && info.digitCount == info.decimalIndex && info.forcedInteger <= 20;
}

// The text of a short number in a plain section with short literal texts, put together around a point in
// a buffer: the integer digits, the prefix and the sign are written backward from the point, the fraction
// and the suffix forward from it, so that no part is moved after it is written and the digits are grouped
// from the last one, where the groups of three are counted.
class ShortPlainText {
public:
    // Writes the integer digits (count of them, at most 20, without leading zeros; none for zero), padded
    // with zeros to the forced ones and grouped, then the prefix and the minus sign when asked.
    void putIntegerPart(const detail::PlainSection& section, const char* digits, int count, bool minus) {
        char padded[24];
        if (count < section.forcedInteger) {
            const int zeros = section.forcedInteger - count;
            for (int i = 0; i < zeros; ++i)
                padded[i] = '0';
            for (int i = 0; i < count; ++i)
                padded[zeros + i] = digits[i];
            digits = padded;
            count = section.forcedInteger;
        }
        const char separator = section.thousandSeparator;
        const char* d = digits + count;
        char* p = point_;
        if (separator != '\0') {
            // A group and the separator before it are the four bytes before the group with the first of
            // them replaced; those four always lie within the digits while more than three are left.
            for (; count > 3; count -= 3) {
                std::uint32_t word;
                std::memcpy(&word, d - 4, 4);
                if constexpr (std::endian::native == std::endian::little)
                    word = (word & 0xFFFFFF00u) | std::uint8_t(separator);
                else
                    word = (word & 0x00FFFFFFu) | std::uint32_t(std::uint8_t(separator)) << 24;
                p -= 4;
                std::memcpy(p, &word, 4);
                d -= 3;
            }
        }
        p -= count;
        CopyShortBytes(p, d - count, size_t(count));
        const std::string_view prefix = section.prefix;
        if (!prefix.empty()) {
            p -= prefix.size();
            CopyShortBytes(p, prefix.data(), prefix.size());
        }
        *--p = '-';
        begin_ = p + !minus;
    }
    // After the integer part: the decimal separator and fractionLength digits, the first of them from
    // fraction (kept of them) and zeros after them, when any is asked for.
    void putFraction(char separator, const char* fraction, size_t kept, size_t fractionLength) {
        if (fractionLength == 0)
            return;
        char* p = end_;
        *p++ = separator;
        const size_t copied = std::min(kept, fractionLength);
        CopyShortBytes(p, fraction, copied);
        p += copied;
        for (size_t k = copied; k < fractionLength; ++k)
            *p++ = '0';
        end_ = p;
    }
    // Puts the suffix after the number and replaces text with the whole.
    void assignTo(std::string& text, const detail::PlainSection& section) {
        const std::string_view suffix = section.suffix;
        if (!suffix.empty()) {
            CopyShortBytes(end_, suffix.data(), suffix.size());
            end_ += suffix.size();
        }
        AssignPaddedBytes(text, begin_, size_t(end_ - begin_));
    }

private:
    // Before the point: a sign, a short prefix and 20 integer digits with their separators; after it: the
    // decimal separator, 100 decimals and a short suffix, which leave more than kPaddedBytes after any
    // start.
    static constexpr size_t kBefore = 1 + detail::PlainSection::kShortText + 27;
    static constexpr size_t kAfter = 1 + 100 + detail::PlainSection::kShortText;
    static_assert(kAfter >= kPaddedBytes);
    char buffer_[kBefore + kAfter];
    char* const point_ = buffer_ + kBefore;
    char* begin_ = point_;
    char* end_ = point_;
};

// Integer digits (count of them, without leading zeros; none for zero) in a plain mask without decimals, as
// renderPlain gives them (padded to the forced ones and grouped, between the mask's literal texts), after a
// minus sign when asked; replaces text, reusing its storage.
void assignPlainInteger(const detail::PlainSection& section, bool minus, const char* digits, int count,
                        std::string& text) {
    PlainBuffer number;
    number.length +=
        writeIntegerDigits(number.end(), digits, count, section.forcedInteger, section.thousandSeparator);
    assignPlain(text, minus, section.prefix, section.suffix, number);
}

void renderPlainInteger(const detail::PlainSection& section, std::int64_t value, std::string& text) {
    const std::uint64_t magnitude =
        value < 0 ? std::uint64_t(0) - std::uint64_t(value) : std::uint64_t(value);
    char digits[24];
    const int digitCount =
        magnitude == 0 ? 0 : int(std::to_chars(digits, digits + sizeof digits, magnitude).ptr - digits);
    assignPlainInteger(section, value < 0, digits, digitCount, text);
}

// The plain section of a one-section plain mask within renderPlain's limits, with the separators of facts.
bool readPlainSection(const Sections& sections, const SectionInfo& info, const LocaleFacts& facts,
                      detail::PlainSection& section) {
    if (sections.size() != 1 || !info.plain || info.digitCount - info.decimalIndex > 100 ||
        info.forcedInteger > 20)
        return false;
    section.decimals = info.digitCount - info.decimalIndex;
    section.forcedInteger = info.forcedInteger;
    section.forcedDecimals = info.forcedDecimals;
    section.thousandSeparator = info.thousands ? facts.ThousandSeparator : '\0';
    section.decimalSeparator = facts.DecimalSeparator;
    section.integer = isPlainInteger(info);
    section.prefix = info.prefix;
    section.suffix = info.suffix;
    section.shortTexts = info.prefix.size() <= detail::PlainSection::kShortText &&
                         info.suffix.size() <= detail::PlainSection::kShortText;
    return true;
}

// A format split into its sections, each scanned; the last few formats used on a thread are kept, as an
// export formats every cell of a column with the same format.
struct CompiledFormat {
    std::string text;
    char thousandSeparator = 0, decimalSeparator = 0;
    Sections sections; // views into text
    SectionInfo infos[3];
    // Whether the one section is plain and within renderPlain's limits (most masks of an export), and that
    // section.
    bool plain = false;
    detail::PlainSection plainSection;
};

// The last few formats compiled on this thread.
struct FormatCache {
    static constexpr size_t kKept = 8;
    CompiledFormat slots[kKept];
    size_t used = 0;
};

// Compiles format into the next slot of the cache (the oldest is replaced); kept out of the look-up, which
// runs for every cell.
[[gnu::noinline]] const CompiledFormat& compileInto(FormatCache& cache, std::string_view format,
                                                    const LocaleFacts& facts) {
    CompiledFormat& slot = cache.slots[cache.used++ % FormatCache::kKept];
    slot.text.assign(format);
    slot.thousandSeparator = facts.ThousandSeparator;
    slot.decimalSeparator = facts.DecimalSeparator;
    slot.sections = splitSections(slot.text);
    for (size_t i = 0; i < slot.sections.size(); ++i)
        slot.infos[i] = scanSection(slot.sections[i], facts);
    slot.plain = readPlainSection(slot.sections, slot.infos[0], facts, slot.plainSection);
    return slot;
}

[[gnu::always_inline]] inline const CompiledFormat& compile(std::string_view format,
                                                            const LocaleFacts& facts) {
    thread_local FormatCache cache;
    // Lengths first: the few formats of an export mostly differ in length.
    const size_t kept = std::min(cache.used, FormatCache::kKept);
    for (size_t i = 0; i < kept; ++i) {
        const CompiledFormat& slot = cache.slots[i];
        if (slot.text.size() == format.size() && slot.thousandSeparator == facts.ThousandSeparator &&
            slot.decimalSeparator == facts.DecimalSeparator &&
            SameShortBytes(slot.text.data(), format.data(), format.size()))
            return slot;
    }
    return compileInto(cache, format, facts);
}

// The sections of a format applied to a number whose sign and zero-ness are given; generalText is the
// number in general format (an empty section gives it). The result replaces out, reusing its storage.
template <typename DecimalOf, typename GeneralText>
void formatNumber(std::string& out, std::string_view format, bool negative, bool isZero,
                  const DecimalOf& decimalOf, int maxIntegerDigits, const GeneralText& generalText,
                  const LocaleFacts& facts) {
    const CompiledFormat& compiled = compile(format, facts);
    const Sections& sections = compiled.sections;
    size_t index = negative ? 1 : (isZero ? 2 : 0);
    if (index >= sections.size() || sections[index].empty())
        index = 0;
    const std::string_view section = sections[index];
    if (section.empty()) {
        out = generalText();
        return;
    }
    Rendered r = renderSection(section, compiled.infos[index], decimalOf, maxIntegerDigits, facts, out);
    if (r.fallback) {
        out = generalText();
        return;
    }
    if (r.zero && index != 2 && sections.size() > 2 && !sections[2].empty()) {
        renderSection(
            sections[2], compiled.infos[2], [](int, int) { return FloatDecimal(); }, maxIntegerDigits, facts,
            out);
        return;
    }
    // The first section stands in for a missing negative section: it gets the minus sign
    // (unless the value rounded to zero).
    if (negative && !r.zero && index == 0)
        out.insert(out.begin(), '-');
}

} // namespace

std::string FormatFloat(std::string_view format, double value, const LocaleFacts& facts) {
    if (format.empty() || std::isnan(value) || std::isinf(value))
        return FloatToStr(value, facts);
    const double magnitude = std::fabs(value);
    std::string out;
    formatNumber(
        out, format, value < 0, value == 0,
        [magnitude](int precision, int decimals) {
            return detail::ToFloatDecimal(magnitude, precision, decimals);
        },
        18, [&] { return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, facts); }, facts);
    return out;
}

namespace {

// FormatFloat of the scanned digits of text, rounded from them to at most maxPrecision digits (which is
// also the widest integer part before the general format takes over), replacing out (which must not hold
// text).
void formatScanned(std::string& out, std::string_view format, std::string_view text,
                   const detail::FloatDecimal& scanned, int maxPrecision, const LocaleFacts& facts) {
    const std::string& digits = scanned.digits;
    const bool zero = digits.empty();
    const int exponent = scanned.exponent;
    formatNumber(
        out, format, scanned.negative && !zero, zero,
        [&](int precision, int decimals) {
            return detail::RoundDecimal(digits, exponent, false, std::clamp(precision, 1, maxPrecision),
                                        decimals);
        },
        maxPrecision,
        [&] {
            double value = 0;
            TryStrToFloat(text, value, facts);
            return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, facts);
        },
        facts);
}

// The digits of a short plain decimal text, [sign] digits [separator digits], straight from the text.
struct ShortDecimal {
    bool negative = false;
    std::string_view integer;  // without its leading zeros
    std::string_view fraction; // as written
    bool point = false;        // the separator was there
};

// Splits text when it is a plain decimal of at most maxInteger integer digits, maxFraction fraction digits
// and maxDigits digits in all (zeros counted as written). Every text taken here is one the general scanner
// takes with the same digits, so both routes format it alike.
[[gnu::always_inline]] inline bool splitShortDecimal(std::string_view text, char separator, size_t maxInteger,
                                                     size_t maxFraction, size_t maxDigits,
                                                     ShortDecimal& out) {
    const char* p = text.data();
    const char* const end = p + text.size();
    if (p != end && (*p == '-' || *p == '+')) {
        out.negative = *p == '-';
        ++p;
    }
    const char* const integerStart = p;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10)
        ++p;
    const char* const integerEnd = p;
    const char* fractionStart = p;
    if (p != end && *p == separator) {
        out.point = true;
        fractionStart = ++p;
        while (p != end && static_cast<unsigned char>(*p - '0') < 10)
            ++p;
    }
    const size_t integerCount = size_t(integerEnd - integerStart), fractionCount = size_t(p - fractionStart);
    if (p != end || integerCount + fractionCount == 0 || integerCount > maxInteger ||
        fractionCount > maxFraction || integerCount + fractionCount > maxDigits)
        return false;
    const char* first = integerStart;
    while (first != integerEnd && *first == '0')
        ++first;
    out.integer = std::string_view(first, size_t(integerEnd - first));
    out.fraction = std::string_view(fractionStart, fractionCount);
    return true;
}

// A short decimal in a one-section plain mask, as the general route gives it: rounded half away from zero
// to the mask's decimals, laid out by renderPlain's rules, after a minus sign unless it rounded to zero.
// Replaces text, reusing its storage.
void renderShortDecimal(const detail::PlainSection& section, const ShortDecimal& d, std::string& text) {
    const size_t decimals = size_t(section.decimals);
    const char* integer = d.integer.data();
    size_t integerCount = d.integer.size();
    const char* fraction = d.fraction.data();
    const size_t keptFraction = std::min(decimals, d.fraction.size());
    char carried[40]; // the digits rounded up, with a place for a new leading one (9.995 -> 10.00)
    if (d.fraction.size() > decimals && d.fraction[decimals] >= '5') {
        char* digits = carried + 1;
        for (size_t k = 0; k < integerCount; ++k)
            digits[k] = integer[k];
        for (size_t k = 0; k < keptFraction; ++k)
            digits[integerCount + k] = fraction[k];
        size_t k = integerCount + keptFraction;
        while (k > 0 && digits[k - 1] == '9')
            digits[--k] = '0';
        if (k > 0) {
            ++digits[k - 1];
        } else {
            *--digits = '1';
            ++integerCount;
        }
        integer = digits;
        fraction = digits + integerCount;
    }
    size_t fractionLength = keptFraction; // without trailing zeros, but at least the forced ones
    while (fractionLength > 0 && fraction[fractionLength - 1] == '0')
        --fractionLength;
    const bool zero = integerCount == 0 && fractionLength == 0;
    fractionLength = std::max(fractionLength, size_t(section.forcedDecimals));
    const bool minus = d.negative && !zero;
    if (section.shortTexts) {
        ShortPlainText shortText;
        shortText.putIntegerPart(section, integer, int(integerCount), minus);
        shortText.putFraction(section.decimalSeparator, fraction, keptFraction, fractionLength);
        shortText.assignTo(text, section);
        return;
    }

    PlainBuffer number;
    number.length += writeIntegerDigits(number.end(), integer, int(integerCount), section.forcedInteger,
                                        section.thousandSeparator);
    if (fractionLength > 0) {
        char* out = number.end();
        *out++ = section.decimalSeparator;
        for (size_t k = 0; k < fractionLength; ++k)
            *out++ = k < keptFraction ? fraction[k] : '0';
        number.length = int(out - number.chars);
    }
    assignPlain(text, minus, section.prefix, section.suffix, number);
}

// The short-text route of TryFormatFloatText and TryFormatCurrencyText; false (out unchanged) where the
// general route has to decide.
[[gnu::always_inline]] inline bool tryShortDecimal(const detail::PlainSection& section, std::string_view text,
                                                  size_t maxInteger, size_t maxFraction, size_t maxDigits,
                                                  std::string& out) {
    ShortDecimal d;
    if (!splitShortDecimal(text, section.decimalSeparator, maxInteger, maxFraction, maxDigits, d))
        return false;
    renderShortDecimal(section, d, out);
    return true;
}

bool tryFormatShortDecimal(std::string_view format, std::string_view text, size_t maxInteger,
                           size_t maxFraction, size_t maxDigits, std::string& out, const LocaleFacts& facts) {
    if (format.empty())
        return false;
    const CompiledFormat& compiled = compile(format, facts);
    return compiled.plain && tryShortDecimal(compiled.plainSection, text, maxInteger, maxFraction, maxDigits, out);
}

// An integer text of at most 18 digits ([sign] digits, so well inside the 64-bit range) in a one-section
// plain mask without decimals, from its characters; false where the general route has to decide.
// Read and written in one pass: [sign] digits, then the minus sign, the prefix, the digits and the suffix
// into one buffer, appended at once.
[[gnu::always_inline]] inline bool tryShortInteger(const detail::PlainSection& section, std::string_view text,
                                                  std::string& out) {
    if (!section.integer)
        return false;
    const char* p = text.data();
    const char* const end = p + text.size();
    bool minus = false;
    if (p != end && (*p == '-' || *p == '+')) {
        minus = *p == '-';
        ++p;
    }
    const char* digits = p;
    while (p != end && static_cast<unsigned char>(*p - '0') < 10)
        ++p;
    if (p != end || p == digits || p - digits > 18)
        return false;
    while (digits != end && *digits == '0')
        ++digits;
    const int count = int(end - digits);
    minus = minus && count > 0;
    if (!section.shortTexts) {
        assignPlainInteger(section, minus, digits, count, out);
        return true;
    }
    ShortPlainText shortText;
    shortText.putIntegerPart(section, digits, count, minus);
    shortText.assignTo(out, section);
    return true;
}

bool tryFormatShortInteger(std::string_view format, std::string_view text, std::string& out,
                           const LocaleFacts& facts) {
    if (format.empty())
        return false;
    const CompiledFormat& compiled = compile(format, facts);
    return compiled.plain && tryShortInteger(compiled.plainSection, text, out);
}

} // namespace

namespace detail {

bool FormatFloatTextGeneral(std::string_view format, std::string_view text, std::string& out,
                            const LocaleFacts& facts) {
    FloatDecimal scanned;
    if (format.empty() || !ScanPlainDecimal(text, facts.DecimalSeparator, scanned))
        return false;
    formatScanned(out, format, text, scanned, 18, facts);
    return true;
}

bool FormatCurrencyTextGeneral(std::string_view format, std::string_view text, std::string& out,
                               const LocaleFacts& facts) {
    FloatDecimal scanned;
    if (format.empty() || !ScanCurrencyDecimal(text, facts.DecimalSeparator, scanned))
        return false;
    formatScanned(out, format, text, scanned, kCurrencyDigits, facts);
    return true;
}

} // namespace detail

bool TryFormatFloatText(std::string_view format, std::string_view text, std::string& out,
                        const LocaleFacts& facts) {
    // 15 digits as written keep the general scanner's limit of 15 significant digits.
    return tryFormatShortDecimal(format, text, 15, 15, 15, out, facts) ||
           detail::FormatFloatTextGeneral(format, text, out, facts);
}

bool TryFormatCurrencyText(std::string_view format, std::string_view text, std::string& out,
                           const LocaleFacts& facts) {
    // 14 integer digits and 4 decimals are always a whole number of ten-thousandths in range.
    return tryFormatShortDecimal(format, text, 14, 4, 18, out, facts) ||
           detail::FormatCurrencyTextGeneral(format, text, out, facts);
}

std::string FormatInt64(std::string_view format, std::int64_t value, const LocaleFacts& facts) {
    std::string out;
    FormatInt64Into(out, format, value, facts);
    return out;
}

void FormatInt64Into(std::string& out, std::string_view format, std::int64_t value,
                     const LocaleFacts& facts) {
    if (format.empty()) {
        out = std::to_string(value);
        return;
    }
    const CompiledFormat& compiled = compile(format, facts);
    if (compiled.plain && compiled.plainSection.integer) {
        renderPlainInteger(compiled.plainSection, value, out);
        return;
    }
    formatNumber(
        out, format, value < 0, value == 0,
        [value](int precision, int) {
            detail::FloatDecimal d = detail::ToIntegerDecimal(value, precision);
            d.negative = false;
            return d;
        },
        20, [value] { return std::to_string(value); }, facts);
}

void FormatIntegerTextInto(std::string& out, std::string_view format, std::string_view text,
                           const LocaleFacts& facts) {
    if (!tryFormatShortInteger(format, text, out, facts))
        FormatInt64Into(out, format, StrToInt64Def(text, 0), facts);
}

} // namespace rtl

namespace rtl {

NumberMask::NumberMask(const NumberMask& other) {
    *this = other;
}

NumberMask& NumberMask::operator=(const NumberMask& other) {
    if (this != &other) {
        format_ = other.format_;
        thousandSeparator_ = other.thousandSeparator_;
        decimalSeparator_ = other.decimalSeparator_;
        read_ = false; // the sections view the other's format: read again at the next use
    }
    return *this;
}

inline bool NumberMask::use(std::string_view format, const LocaleFacts& facts) {
    if (!read_ || facts.ThousandSeparator != thousandSeparator_ || facts.DecimalSeparator != decimalSeparator_ ||
        format.size() != format_.size() || !SameShortBytes(format.data(), format_.data(), format.size()))
        read(format, facts);
    return plain_;
}

void NumberMask::read(std::string_view format, const LocaleFacts& facts) {
    format_.assign(format);
    thousandSeparator_ = facts.ThousandSeparator;
    decimalSeparator_ = facts.DecimalSeparator;
    read_ = true;
    plain_ = false;
    if (format_.empty())
        return;
    const Sections sections = splitSections(format_);
    plain_ = readPlainSection(sections, scanSection(sections[0], facts), facts, section_);
}

void NumberMask::FormatIntegerTextInto(std::string& out, std::string_view format, std::string_view text,
                                       const LocaleFacts& facts) {
    if (!use(format, facts) || !tryShortInteger(section_, text, out))
        FormatInt64Into(out, format, StrToInt64Def(text, 0), facts);
}

bool NumberMask::TryFormatFloatText(std::string_view format, std::string_view text, std::string& out,
                                    const LocaleFacts& facts) {
    return (use(format, facts) && tryShortDecimal(section_, text, 15, 15, 15, out)) ||
           detail::FormatFloatTextGeneral(format, text, out, facts);
}

bool NumberMask::TryFormatCurrencyText(std::string_view format, std::string_view text, std::string& out,
                                       const LocaleFacts& facts) {
    return (use(format, facts) && tryShortDecimal(section_, text, 14, 4, 18, out)) ||
           detail::FormatCurrencyTextGeneral(format, text, out, facts);
}

} // namespace rtl
