#include "platform/rtl/SysUtils.h"
#include "platform/rtl/ShortBytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace {

using rtl::EConvertError;
using rtl::Format;
using rtl::LocaleFacts;

const LocaleFacts& us() {
    return LocaleFacts::Default();
}

LocaleFacts german() {
    LocaleFacts f;
    f.DecimalSeparator = ',';
    f.ThousandSeparator = '.';
    f.CurrencyString = "EUR";
    f.CurrencyFormat = 3;
    f.NegCurrFormat = 8;
    return f;
}

std::string errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const EConvertError& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(Format, IndexedArgumentWithNegativeHex) {
    EXPECT_EQ(Format("Netware error %0:d (0x%0:X)", {-603}, us()), "Netware error -603 (0xFFFFFDA5)");
    EXPECT_EQ(Format("%x", {-1}, us()), "FFFFFFFF");
    EXPECT_EQ(Format("%x", {std::int64_t(-1)}, us()), "FFFFFFFFFFFFFFFF");
    EXPECT_EQ(Format("%x", {255}, us()), "FF"); // lower-case x still gives upper-case digits
    EXPECT_EQ(Format("%.4X", {255}, us()), "00FF");
    EXPECT_EQ(Format("%u", {-1}, us()), "4294967295");
    EXPECT_EQ(Format("%d", {std::int64_t(-9000000000)}, us()), "-9000000000");
}

TEST(Format, IndexesContinueFromTheLastOne) {
    EXPECT_EQ(Format("%2:s %0:s %s", {"a", "b", "c"}, us()), "c a b");
    EXPECT_EQ(Format("%1:s-%s-%0:s", {"x", "y", "z"}, us()), "y-z-x");
}

TEST(Format, WidthPrecisionAndJustification) {
    EXPECT_EQ(Format("[%5d][%-5d]", {42, 42}, us()), "[   42][42   ]");
    EXPECT_EQ(Format("%.3d|%.3d", {7, -7}, us()), "007|-007");
    EXPECT_EQ(Format("%s v%d.%2.2d.%2.2d", {"Cormelian", 2, 8, 4}, us()), "Cormelian v2.08.04");
    EXPECT_EQ(Format("%10.10d 00000 n", {1234}, us()), "0000001234 00000 n");
    EXPECT_EQ(Format("[%-6s][%.2s][%4s]", {"ab", "abcdef", "abcdef"}, us()), "[ab    ][ab][abcdef]");
    EXPECT_EQ(Format("[%*d][%-*.*f]", {5, 42, 8, 1, 2.25}, us()), "[   42][2.3     ]");
    EXPECT_EQ(Format("100%% %s", {"sure"}, us()), "100% sure");
    // Width counts characters, not UTF-8 bytes.
    EXPECT_EQ(Format("[%4s]", {"\xC3\xA9t\xC3\xA9"}, us()), "[ \xC3\xA9t\xC3\xA9]");
    EXPECT_EQ(Format("%.1s", {"\xC3\xA9t\xC3\xA9"}, us()), "\xC3\xA9");
}

TEST(Format, FloatingPointTypes) {
    EXPECT_EQ(Format("%f", {3.14159}, us()), "3.14");
    EXPECT_EQ(Format("%.3f", {2.5}, us()), "2.500");
    EXPECT_EQ(Format("%.0f", {2.5}, us()), "3");
    EXPECT_EQ(Format("%e", {1234.5}, us()), "1.23450000000000E+003");
    EXPECT_EQ(Format("%.3e", {-0.00012345}, us()), "-1.23E-004");
    EXPECT_EQ(Format("%g", {0.5}, us()), "0.5");
    EXPECT_EQ(Format("%n", {1234567.891}, us()), "1,234,567.89");
    EXPECT_EQ(Format("%.0n", {-1234567.5}, us()), "-1,234,568");
    EXPECT_EQ(Format("%m", {1234.5}, us()), "$1,234.50");
    EXPECT_EQ(Format("%m", {-5.0}, us()), "($5.00)");
    EXPECT_EQ(Format("%m|%n|%f", {-1234.5, 1234.5, 0.5}, german()), "-1.234,50 EUR|1.234,50|0,50");
}

TEST(Format, ErrorsNameTheFormat) {
    EXPECT_EQ(errorOf([] { Format("%d", {"x"}, us()); }),
              "Format '%d' invalid or incompatible with argument");
    EXPECT_EQ(errorOf([] { Format("%s", {1}, us()); }), "Format '%s' invalid or incompatible with argument");
    EXPECT_EQ(errorOf([] { Format("%f", {1}, us()); }), "Format '%f' invalid or incompatible with argument");
    EXPECT_EQ(errorOf([] { Format("%y", {1}, us()); }), "Format '%y' invalid or incompatible with argument");
    EXPECT_EQ(errorOf([] { Format("abc %", {}, us()); }),
              "Format 'abc %' invalid or incompatible with argument");
    EXPECT_EQ(errorOf([] { Format("%d %d", {1}, us()); }), "No argument for format '%d %d'");
    EXPECT_EQ(errorOf([] { Format("%3:d", {1}, us()); }), "No argument for format '%3:d'");
}

TEST(IntegerText, IntToStrAndIntToHex) {
    EXPECT_EQ(rtl::IntToStr(-603), "-603");
    EXPECT_EQ(rtl::IntToStr(INT64_MIN), "-9223372036854775808");
    EXPECT_EQ(rtl::IntToHex(255, 4), "00FF");
    EXPECT_EQ(rtl::IntToHex(0x12345, 2), "12345");
    EXPECT_EQ(rtl::IntToHex(-1, 2), "FFFFFFFF");
    EXPECT_EQ(rtl::IntToHex(std::int64_t(-2), 4), "FFFFFFFFFFFFFFFE");
    EXPECT_EQ(rtl::IntToHex(std::uint32_t(0xFFFFFDA5u), 8), "FFFFFDA5");
}

TEST(IntegerText, StrToIntAcceptsDecimalAndHex) {
    EXPECT_EQ(rtl::StrToInt("42"), 42);
    EXPECT_EQ(rtl::StrToInt("-12"), -12);
    EXPECT_EQ(rtl::StrToInt("  +7"), 7);
    EXPECT_EQ(rtl::StrToInt("$FF"), 255);
    EXPECT_EQ(rtl::StrToInt("0x1f"), 31);
    EXPECT_EQ(rtl::StrToInt("x10"), 16);
    EXPECT_EQ(rtl::StrToInt("-$10"), -16);
    EXPECT_EQ(rtl::StrToInt("$FFFFFFFF"), -1); // hex is a bit pattern
    EXPECT_EQ(rtl::StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(rtl::StrToInt64("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(rtl::StrToInt64("$FFFFFFFFFFFFFFFF"), -1);
    EXPECT_EQ(rtl::StrToInt64("-9223372036854775808"), INT64_MIN);
}

TEST(IntegerText, StrToIntRejectsTheRest) {
    EXPECT_EQ(errorOf([] { rtl::StrToInt("abc"); }), "'abc' is not a valid integer value");
    for (const char* bad :
         {"", " ", "7 ", "1.0", "2147483648", "-2147483649", "$", "0x", "$100000000", "1e3", "--1"})
        EXPECT_THROW(rtl::StrToInt(bad), EConvertError) << bad;
    EXPECT_THROW(rtl::StrToInt64("9223372036854775808"), EConvertError);
    EXPECT_EQ(rtl::StrToIntDef("", 5), 5);
    EXPECT_EQ(rtl::StrToIntDef("12x", -1), -1);
    EXPECT_EQ(rtl::StrToInt64Def("$10", 0), 16);
}

TEST(FloatText, StrToFloatUsesTheLocaleSeparator) {
    EXPECT_DOUBLE_EQ(rtl::StrToFloat("1.5", us()), 1.5);
    EXPECT_DOUBLE_EQ(rtl::StrToFloat(" -2.5E3 ", us()), -2500.0);
    EXPECT_DOUBLE_EQ(rtl::StrToFloat(".5", us()), 0.5);
    EXPECT_DOUBLE_EQ(rtl::StrToFloat("1,5", german()), 1.5);
    EXPECT_EQ(errorOf([] { rtl::StrToFloat("1,5", LocaleFacts::Default()); }),
              "'1,5' is not a valid floating point value");
    for (const char* bad : {"", "abc", "1e", "1.2.3", "1,000", "e5", "."})
        EXPECT_THROW(rtl::StrToFloat(bad, us()), EConvertError) << bad;
    EXPECT_DOUBLE_EQ(rtl::StrToFloatDef("x", 2.5, us()), 2.5);
}

TEST(FloatText, FloatToStrGivesFifteenSignificantDigits) {
    EXPECT_EQ(rtl::FloatToStr(1.5, us()), "1.5");
    EXPECT_EQ(rtl::FloatToStr(0.1 + 0.2, us()), "0.3");
    EXPECT_EQ(rtl::FloatToStr(1.0 / 3.0, us()), "0.333333333333333");
    EXPECT_EQ(rtl::FloatToStr(100, us()), "100");
    EXPECT_EQ(rtl::FloatToStr(-2.5, us()), "-2.5");
    EXPECT_EQ(rtl::FloatToStr(0, us()), "0");
    EXPECT_EQ(rtl::FloatToStr(1e20, us()), "1E20");
    EXPECT_EQ(rtl::FloatToStr(123456789012345678.0, us()), "1.23456789012346E17");
    EXPECT_EQ(rtl::FloatToStr(0.0001, us()), "0.0001");
    EXPECT_EQ(rtl::FloatToStr(0.00001, us()), "1E-5");
    EXPECT_EQ(rtl::FloatToStr(1.5, german()), "1,5");
}

TEST(FloatText, FloatToStrFFormats) {
    using rtl::TFloatFormat;
    EXPECT_EQ(rtl::FloatToStrF(1234.5, TFloatFormat::ffExponent, 4, 2, us()), "1.235E+03");
    EXPECT_EQ(rtl::FloatToStrF(1234.5, TFloatFormat::ffFixed, 15, 2, us()), "1234.50");
    EXPECT_EQ(rtl::FloatToStrF(1234.5, TFloatFormat::ffNumber, 15, 1, us()), "1,234.5");
    EXPECT_EQ(rtl::FloatToStrF(-1234.5, TFloatFormat::ffCurrency, 15, 2, us()), "($1,234.50)");
    EXPECT_EQ(rtl::FloatToStrF(0.125, TFloatFormat::ffFixed, 15, 2, us()), "0.13"); // half away from zero
    EXPECT_EQ(rtl::FloatToStrF(-0.001, TFloatFormat::ffFixed, 15, 2, us()), "0.00");
    EXPECT_EQ(rtl::FloatToStrF(1e30, TFloatFormat::ffFixed, 15, 2, us()), "1E30");
    EXPECT_EQ(rtl::FloatToStr(std::numeric_limits<double>::infinity(), us()), "INF");
    EXPECT_EQ(rtl::FloatToStr(-std::numeric_limits<double>::infinity(), us()), "-INF");
    EXPECT_EQ(rtl::FloatToStr(std::numeric_limits<double>::quiet_NaN(), us()), "NAN");
}

TEST(TextHelpers, CaseTrimAndQuotes) {
    EXPECT_EQ(rtl::UpperCase("abc-X\xC3\xA9"), "ABC-X\xC3\xA9");
    EXPECT_EQ(rtl::LowerCase("ABC"), "abc");
    EXPECT_EQ(rtl::CompareText("abc", "ABC"), 0);
    EXPECT_LT(rtl::CompareText("abc", "ABD"), 0);
    EXPECT_TRUE(rtl::SameText("DNS", "dns"));
    EXPECT_FALSE(rtl::SameText("DNS", "dns1"));
    EXPECT_EQ(rtl::Trim("\t a b \r\n"), "a b");
    EXPECT_EQ(rtl::TrimLeft("  a "), "a ");
    EXPECT_EQ(rtl::TrimRight("  a "), "  a");
    EXPECT_EQ(rtl::QuotedStr("it's"), "'it''s'");
    EXPECT_EQ(rtl::AnsiQuotedStr("a\"b", '"'), "\"a\"\"b\"");
}

TEST(Collation, SymbolsDigitsLettersThenCase) {
    EXPECT_LT(rtl::AnsiCompareText("a", "B"), 0);
    EXPECT_EQ(rtl::AnsiCompareText("Abc", "aBC"), 0);
    EXPECT_LT(rtl::AnsiCompareText("_x", "1"), 0);
    EXPECT_LT(rtl::AnsiCompareText("9", "a"), 0);
    EXPECT_LT(rtl::AnsiCompareText("ab", "a-c"), 0); // the hyphen does not count first
    EXPECT_NE(rtl::AnsiCompareText("ab", "a-b"), 0);
    EXPECT_LT(rtl::AnsiCompareText("e", "\xC3\xA9"), 0); // e before e-acute
    EXPECT_LT(rtl::AnsiCompareText("\xC3\xA9", "f"), 0);
    EXPECT_EQ(rtl::AnsiCompareText("\xC3\x89", "\xC3\xA9"), 0);
    EXPECT_LT(rtl::AnsiCompareStr("a", "A"), 0); // lower case first
    EXPECT_LT(rtl::AnsiCompareStr("A", "b"), 0);
    EXPECT_EQ(rtl::AnsiCompareStr("x", "x"), 0);
}

// The word-wise helpers of short texts agree with the plain library calls at every length around their word
// sizes: a comparison sees a difference at any place, a padded copy leaves exactly the text (into storage
// empty, shorter, longer or shared with nothing), and no two texts of one length share a key.
TEST(ShortBytes, WordWiseHelpersAgreeWithTheLibraryAtEveryLength) {
    const std::string source = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJ"; // 46 bytes
    std::set<std::pair<std::size_t, std::pair<std::uint64_t, std::uint64_t>>> keys;
    for (std::size_t n = 0; n <= 40; ++n) {
        const std::string text = source.substr(0, n);
        EXPECT_TRUE(rtl::SameShortBytes(text.data(), source.data(), n)) << n;
        for (std::size_t at = 0; at < n; ++at) {
            std::string other = text;
            other[at] = '#';
            EXPECT_FALSE(rtl::SameShortBytes(other.data(), text.data(), n)) << n << " " << at;
            if (n <= rtl::ShortTextKey::kMaxLength) {
                const rtl::ShortTextKey key = rtl::ShortTextKey::Of(other);
                EXPECT_FALSE(key == rtl::ShortTextKey::Of(text)) << n << " " << at;
                keys.insert({n, {key.first, key.last}});
            }
        }
        for (const std::string& before : {std::string(), std::string("ab"), std::string(50, 'x')}) {
            std::string appended = before, assigned = before;
            rtl::AppendPaddedBytes(appended, source.data(), n); // source is readable for 32 bytes
            rtl::AssignPaddedBytes(assigned, source.data(), n);
            EXPECT_EQ(appended, before + text) << n;
            EXPECT_EQ(assigned, text) << n;
        }
    }
    // Every text changed at one place gave a key of its own among the texts of its length.
    std::size_t changed = 0;
    for (std::size_t n = 1; n <= rtl::ShortTextKey::kMaxLength; ++n)
        changed += n;
    EXPECT_EQ(keys.size(), changed);
}

TEST(ShortBytes, AssignedTextOfEveryShortLengthIntoStorageOfEveryLength) {
    // Texts around the word sizes that the short copy works with, into storage that is shorter, as long or
    // longer, local or allocated, and into storage with room but a shorter text.
    std::string source;
    for (int i = 0; i < 80; ++i)
        source += char('0' + i % 75);
    const std::size_t lengths[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 40, 80};
    for (std::size_t from : lengths) {
        for (std::size_t before : lengths) {
            for (bool roomy : {false, true}) {
                std::string to(before, '#');
                if (roomy)
                    to.reserve(64);
                const std::string expected = source.substr(0, from);
                rtl::AssignShortBytes(to, expected);
                EXPECT_EQ(to, expected) << from << " " << before << " " << roomy;
                EXPECT_EQ(to.c_str()[from], '\0') << from << " " << before;
                // The copy that tells ASCII apart: sure of a short text that fits, and a byte beyond ASCII
                // at any place is seen.
                for (std::size_t high = 0; high <= from; ++high) {
                    std::string into(before, '#');
                    if (roomy)
                        into.reserve(64);
                    std::string text = expected;
                    if (high < from)
                        text[high] = char(0xC3);
                    const bool ascii = rtl::AssignShortAsciiBytes(into, text);
                    EXPECT_EQ(into, text) << from << " " << before << " " << high;
                    EXPECT_EQ(ascii, high == from && from <= 32 && from <= before)
                        << from << " " << before << " " << high;
                }
            }
        }
    }
}

} // namespace
