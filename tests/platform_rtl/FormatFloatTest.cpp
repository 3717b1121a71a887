#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/FloatDecimal.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rtl::FormatFloat;
using rtl::LocaleFacts;

const LocaleFacts& us() {
    return LocaleFacts::Default();
}

struct Row {
    const char* format;
    const char* positive; // 1234
    const char* negative; // -1234
    const char* half;     // 0.5
    const char* zero;     // 0
};

// The classic reference table of FormatFloat's documentation.
TEST(FormatFloat, ReferenceTable) {
    const Row rows[] = {
        {"", "1234", "-1234", "0.5", "0"},
        {"0", "1234", "-1234", "1", "0"},
        {"0.00", "1234.00", "-1234.00", "0.50", "0.00"},
        {"#.##", "1234", "-1234", ".5", ""},
        {"#,##0.00", "1,234.00", "-1,234.00", "0.50", "0.00"},
        {"#,##0.00;(#,##0.00)", "1,234.00", "(1,234.00)", "0.50", "0.00"},
        {"#,##0.00;;Zero", "1,234.00", "-1,234.00", "0.50", "Zero"},
        {"0.000E+00", "1.234E+03", "-1.234E+03", "5.000E-01", "0.000E+00"},
        {"#.###E-0", "1.234E3", "-1.234E3", "5E-1", "0E0"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(FormatFloat(row.format, 1234, us()), row.positive) << row.format;
        EXPECT_EQ(FormatFloat(row.format, -1234, us()), row.negative) << row.format;
        EXPECT_EQ(FormatFloat(row.format, 0.5, us()), row.half) << row.format;
        EXPECT_EQ(FormatFloat(row.format, 0, us()), row.zero) << row.format;
    }
}

TEST(FormatFloat, DigitsAndSeparators) {
    EXPECT_EQ(FormatFloat("#,##0", 1234567890, us()), "1,234,567,890");
    EXPECT_EQ(FormatFloat("#,##0.##", 1234567.891, us()), "1,234,567.89");
    EXPECT_EQ(FormatFloat("000000", 42, us()), "000042");
    EXPECT_EQ(FormatFloat("0.0##", 1.5, us()), "1.5");
    EXPECT_EQ(FormatFloat("0.0##", 1.23456, us()), "1.235");
    EXPECT_EQ(FormatFloat("0", 2.5, us()), "3"); // halves round away from zero
    EXPECT_EQ(FormatFloat("0", -2.5, us()), "-3");
    EXPECT_EQ(FormatFloat("0.00", 1.005, us()), "1.01"); // rounded from the text stored, not the double
    EXPECT_EQ(FormatFloat("#", 99.5, us()), "100");
    EXPECT_EQ(FormatFloat("0.00", -0.001, us()), "0.00"); // no "-0.00"

    LocaleFacts german = LocaleFacts::Default();
    german.DecimalSeparator = ',';
    german.ThousandSeparator = '.';
    EXPECT_EQ(FormatFloat("#,##0.00", 1234567.5, german), "1.234.567,50");
}

TEST(FormatFloat, LiteralsAndSections) {
    EXPECT_EQ(FormatFloat("0.00 \"EUR\"", 5, us()), "5.00 EUR");
    EXPECT_EQ(FormatFloat("'#'0", 5, us()), "#5");
    EXPECT_EQ(FormatFloat("0\";\"0", 12, us()), "1;2");
    EXPECT_EQ(FormatFloat("0.0 %", 12.34, us()), "12.3 %");
    EXPECT_EQ(FormatFloat("0;minus 0", -7, us()), "minus 7");
    EXPECT_EQ(FormatFloat("0;;", -7, us()), "-7"); // empty negative section: the first one with a sign
    EXPECT_EQ(FormatFloat("0.0;-0.0;nil", 0.01, us()), "nil"); // rounds to zero
    EXPECT_EQ(FormatFloat("0.00E-00", 0.000123, us()), "1.23E-04");
    EXPECT_EQ(FormatFloat("0.00e+0", 123456, us()), "1.23e+5");
}

TEST(FormatFloat, HugeValuesFallBackToGeneral) {
    EXPECT_EQ(FormatFloat("0.00", 1e20, us()), "1E20");
    EXPECT_EQ(FormatFloat("0", 123456789012345680.0, us()), "123456789012345680"); // 18 digits still fit
}

// Faults found in exports: each row is a pattern, a value and the text the user expects.
TEST(FormatFloat, RoundsTheStoredDecimalTextAndKeepsEmptySectionsGeneral) {
    struct Case {
        const char* format;
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {"0.00", 2.675, "2.68"},
        {"#,##0.00", 129809.495, "129,809.50"},
        {"#,##0.00", 999999.995, "1,000,000.00"},
        {"0.0", 0.05, "0.1"},
        {"0.00", -2.675, "-2.68"},
        {"0.00", 0.1 + 0.2, "0.30"},
        {"0.000E+00", 2.6755, "2.676E+00"},
        // an empty positive section gives general formatting, the others keep theirs
        {";(0)", 1234.5, "1234.5"},
        {";(0)", -1234.5, "(1235)"},
        {";(0)", 0, "0"},
        {";;\"z\"", 0.25, "0.25"},
        {";;\"z\"", 0, "z"},
        {";;\"z\"", -3, "-3"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFloat(c.format, c.value, us()), c.expected) << c.format << " " << c.value;
}

TEST(FormatInt64, KeepsEveryDigitUnderTheMasks) {
    struct Case {
        const char* format;
        std::int64_t value;
        const char* expected;
    };
    const Case cases[] = {
        {"#,###,##0", 9007199254740993, "9,007,199,254,740,993"},
        {"#,###,##0", 1000000000000000001, "1,000,000,000,000,000,001"},
        {"0", INT64_MAX, "9223372036854775807"},
        {"#,##0", INT64_MIN, "-9,223,372,036,854,775,808"},
        {"0.00", 12, "12.00"},
        {"0;(0);zero", -5, "(5)"},
        {"0;(0);zero", 0, "zero"},
        {"0.00E+00", 123456789012345678, "1.23E+17"},
        {"", -42, "-42"},
        {";(0)", 77, "77"},
        // One plain section without decimals: zeros, padding, literal text around the digits.
        {"#,##0", 0, "0"},
        {"#", 0, ""},
        {"00000", 42, "00042"},
        {"000,000", -7, "-000,007"},
        {"No #,##0 pcs", -1234, "-No 1,234 pcs"},
        {"#,##0.", 1234567, "1,234,567"},
        {"#,##0", INT64_MIN + 1, "-9,223,372,036,854,775,807"},
    };
    // FormatInt64Into replaces what the reused string held, a longer text included.
    std::string reused = "a text longer than any of the cases' results";
    for (const Case& c : cases) {
        EXPECT_EQ(rtl::FormatInt64(c.format, c.value, us()), c.expected) << c.format << " " << c.value;
        rtl::FormatInt64Into(reused, c.format, c.value, us());
        EXPECT_EQ(reused, c.expected) << c.format << " " << c.value;
    }
}

// Plain decimal texts: rounding edges, signs, zeros, padding and a spread of pseudo-random values.
std::vector<std::string> PlainDecimalTexts() {
    std::vector<std::string> texts = {"2.675",
                                      "129809.495",
                                      "999999.995",
                                      "-0.005",
                                      "0",
                                      "-0",
                                      "0.0",
                                      "120",
                                      "1.",
                                      ".5",
                                      "000123.4500",
                                      "99999999999999.9",
                                      "-1234567.891",
                                      "-123456789012345"};
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int k = 0; k < 2000; ++k) {
        std::string t = next() % 3 == 0 ? "-" : "";
        t += std::to_string(next() % 1000000);
        t += "." + std::to_string(next() % 100000);
        texts.push_back(t);
    }
    return texts;
}

// Formatting a plain decimal text directly must give what formatting the double it reads as gives.
TEST(FormatFloat, DecimalTextsFormatLikeTheirDoubles) {
    const char* formats[] = {"#,###,##0.00", "0.0##", "$#,##0.00;($#,##0.00);nil", "0", "#.##",
                             "0.000E+00",    ";(0)"};
    const std::vector<std::string> texts = PlainDecimalTexts();
    std::string direct = "a text longer than any result, which each one replaces";
    for (const char* format : formats) {
        for (const std::string& text : texts) {
            ASSERT_TRUE(rtl::TryFormatFloatText(format, text, direct, us())) << text;
            EXPECT_EQ(direct, FormatFloat(format, rtl::StrToFloat(text, us()), us()))
                << format << " " << text;
        }
    }
    std::string untouched = "x";
    EXPECT_FALSE(rtl::TryFormatFloatText("0.00", "1e5", untouched, us()));
    EXPECT_FALSE(rtl::TryFormatFloatText("0.00", " 1", untouched, us()));
    EXPECT_FALSE(rtl::TryFormatFloatText("0.00", "9007199254740993", untouched, us())); // 16 digits
    // Below a double's range the text reads as 0: it is formatted as the double, not from its digits.
    const std::string tiny = "0." + std::string(400, '0') + "1";
    EXPECT_FALSE(rtl::TryFormatFloatText("0.00E+00", tiny, untouched, us()));
    EXPECT_EQ(untouched, "x");
}

// A currency value is a 64-bit count of ten-thousandths: every one of its up to 19 digits is kept.
TEST(FormatFloat, CurrencyTextsKeepEveryDigit) {
    const struct {
        const char *format, *text, *expected;
    } cases[] = {
        {"#,##0.00", "922337203685477.5807", "922,337,203,685,477.58"},
        {"0.0000", "922337203685477.5807", "922337203685477.5807"},
        {"$#,##0.00;($#,##0.00)", "-922337203685477.5808", "($922,337,203,685,477.58)"},
        {"0.000", "922337203685477.5805", "922337203685477.581"}, // half away from zero
        {"#,##0.00", "99999999999999.995", "100,000,000,000,000.00"},
        {"0.00", "+12.5000", "12.50"},
        {"0.00;-0.00;zero", "-0.0000", "zero"},
    };
    std::string out = "a text longer than any result, which each one replaces";
    for (const auto& c : cases) {
        ASSERT_TRUE(rtl::TryFormatCurrencyText(c.format, c.text, out, us())) << c.text;
        EXPECT_EQ(out, c.expected) << c.format << " " << c.text;
    }
    std::string fixed;
    ASSERT_TRUE(
        rtl::TryCurrencyTextToStrF("-922337203685477.5808", rtl::TFloatFormat::ffFixed, 4, fixed, us()));
    EXPECT_EQ(fixed, "-922337203685477.5808");
    ASSERT_TRUE(rtl::TryCurrencyTextToStrF("0.0001", rtl::TFloatFormat::ffFixed, 2, fixed, us()));
    EXPECT_EQ(fixed, "0.00");
    // Outside the range, finer than a ten-thousandth or no plain decimal: the float path takes over.
    for (const char* text :
         {"922337203685477.5808", "-922337203685477.5809", "1.00001", "1e5", "", "-", "1.2.3"}) {
        std::string untouched = "x";
        EXPECT_FALSE(rtl::TryFormatCurrencyText("0.00", text, untouched, us())) << text;
        EXPECT_FALSE(rtl::TryCurrencyTextToStrF(text, rtl::TFloatFormat::ffFixed, 2, untouched, us()))
            << text;
        EXPECT_EQ(untouched, "x");
    }
}

// Number cells take a route of their own when the text is a short plain decimal and the mask one plain
// section; it must give what the general route gives for every text, mask and locale.
TEST(FormatFloat, ShortTextsFormatLikeTheGeneralRoute) {
    // Rows: the default masks, other plain ones, and masks of the general route only.
    const std::vector<std::string> masks[] = {
        {"#,###,##0", "#,###,##0.00", "$#,###,##0.00"},
        {"0", "#", "0.0##", "#.##", ".00", "#,##0.", "000,000.000", "No #,##0 pcs", "0.0000",
         "Carried over from the last period: #,##0.00 units"},
        {"#,##0.00;(#,##0.00);nil", "0.00E+00"},
    };
    // Rows: signs and zeros, carries, short forms, 15 digits and past, the widest currency and integer
    // texts and past, texts that are no plain decimal, separators of either locale.
    std::vector<std::string> texts[] = {
        {"0", "-0", "+0", "-0.00", "007", "-007", "+1234567"},
        // Integer parts of every length up to 18 digits, whose groups are counted from the last digit.
        {"1000", "-1000", "12345", "999999", "-1234567", "12345678", "123456789.5", "-1234567890.25",
         "12345678901", "123456789012.3", "1234567890123", "12345678901234", "100000000000000000",
         "-123456789012345678", "000000001234"},
        {"0.005", "-0.005", "0.0049", "-0.004", "9.995", "-9.995", "999999.995", "0.995", "99.9999"},
        {"1.", ".5", "-.5", "00012.3400"},
        {"123456789012345", "-999999999999999", "1234567890123456", "1000000000000000000",
         "0.000000000000001", "0.0000000000000015"},
        {"12345678901234.5678", "-99999999999999.9999", "99999999999999.99995", "922337203685477.5807",
         "-922337203685477.5808", "922337203685477.5808", "999999999999999999", "9223372036854775807",
         "-9223372036854775808", "9223372036854775808"},
        {"", "-", "+", ".", "-.", " 1", "1 ", "1e5", "1.2.3", "0x1F", "$10", "--1", "+-1"},
        {"12,5", "1,234.5", "1.234,5"},
    };
    texts[5].push_back(std::string("12\0", 3)); // no separator for an integer, even one the locale lacks
    LocaleFacts german = us();
    german.DecimalSeparator = ',';
    german.ThousandSeparator = '.';
    LocaleFacts ungrouped = us();
    ungrouped.ThousandSeparator = '\0';
    const LocaleFacts* locales[] = {&us(), &german, &ungrouped};
    // One column's mask, kept over every mask and locale of the loops: it has to notice each change.
    rtl::NumberMask column;
    auto compareRoutes = [&column](const std::string& mask, const std::string& text, const LocaleFacts& facts) {
        const std::string where = mask + " | " + text + " | " + facts.DecimalSeparator;
        std::string fast = "a text longer than any result, which each one replaces";
        std::string general = fast;
        EXPECT_EQ(rtl::TryFormatFloatText(mask, text, fast, facts),
                  rtl::detail::FormatFloatTextGeneral(mask, text, general, facts))
            << where;
        EXPECT_EQ(fast, general) << where;
        EXPECT_EQ(rtl::TryFormatCurrencyText(mask, text, fast, facts),
                  rtl::detail::FormatCurrencyTextGeneral(mask, text, general, facts))
            << where;
        EXPECT_EQ(fast, general) << where;
        rtl::FormatIntegerTextInto(fast, mask, text, facts);
        rtl::FormatInt64Into(general, mask, rtl::StrToInt64Def(text, 0), facts);
        EXPECT_EQ(fast, general) << where;
        column.FormatIntegerTextInto(fast, mask, text, facts);
        EXPECT_EQ(fast, general) << where;
        const rtl::NumberMask copied = column; // a copy reads the mask again, not through the other's texts
        std::string fromColumn = "a text longer than any result, which each one replaces";
        fast = general = fromColumn;
        EXPECT_EQ(rtl::NumberMask(copied).TryFormatFloatText(mask, text, fromColumn, facts),
                  rtl::detail::FormatFloatTextGeneral(mask, text, general, facts))
            << where;
        EXPECT_EQ(fromColumn, general) << where;
        EXPECT_EQ(column.TryFormatCurrencyText(mask, text, fromColumn, facts),
                  rtl::detail::FormatCurrencyTextGeneral(mask, text, general, facts))
            << where;
        EXPECT_EQ(fromColumn, general) << where;
    };
    for (const LocaleFacts* facts : locales)
        for (const auto& maskRow : masks)
            for (const std::string& mask : maskRow)
                for (const auto& textRow : texts)
                    for (const std::string& text : textRow)
                        compareRoutes(mask, text, *facts);
    // And what the two give, for the rounding carries and signs.
    const struct {
        const char *mask, *text, *expected;
    } cases[] = {
        {"#,###,##0.00", "9.995", "10.00"},
        {"#,###,##0.00", "999999.995", "1,000,000.00"},
        {"#,###,##0.00", "-0.005", "-0.01"},
        {"#,###,##0.00", "-0.004", "0.00"},
        {"#,###,##0.00", "-0", "0.00"},
        {"$#,###,##0.00", "-1234.5", "-$1,234.50"},
        {"0.0##", "0.0995", "0.1"},
        {"#.##", "0.001", ""},
        {"Carried over from the last period: #,##0.00 units", "-1234.5",
         "-Carried over from the last period: 1,234.50 units"},
    };
    for (const auto& c : cases) {
        std::string out;
        ASSERT_TRUE(rtl::TryFormatFloatText(c.mask, c.text, out, us())) << c.text;
        EXPECT_EQ(out, c.expected) << c.mask << " " << c.text;
    }
    std::string out;
    rtl::FormatIntegerTextInto(out, "#,###,##0", "-0012345", us());
    EXPECT_EQ(out, "-12,345");
    rtl::FormatIntegerTextInto(out, "#,###,##0", "-9223372036854775808", german);
    EXPECT_EQ(out, "-9.223.372.036.854.775.808");
    rtl::FormatIntegerTextInto(out, "#,###,##0", "12.5", us()); // no integer: 0, as StrToInt64Def gives
    EXPECT_EQ(out, "0");
}

TEST(FloatToStrF, DecimalTextsGiveWhatTheirDoublesGive) {
    using rtl::TFloatFormat;
    const struct {
        TFloatFormat format;
        int precision, digits;
    } cases[] = {{TFloatFormat::ffFixed, 18, 2},    {TFloatFormat::ffFixed, 18, 0},
                 {TFloatFormat::ffFixed, 4, 3},     {TFloatFormat::ffNumber, 15, 2},
                 {TFloatFormat::ffCurrency, 15, 2}, {TFloatFormat::ffGeneral, 15, 0},
                 {TFloatFormat::ffGeneral, 3, 0},   {TFloatFormat::ffExponent, 6, 2}};
    for (const auto& c : cases) {
        for (const std::string& text : PlainDecimalTexts()) {
            std::string direct;
            ASSERT_TRUE(rtl::TryFloatTextToStrF(text, c.format, c.precision, c.digits, direct, us())) << text;
            EXPECT_EQ(direct,
                      rtl::FloatToStrF(rtl::StrToFloat(text, us()), c.format, c.precision, c.digits, us()))
                << int(c.format) << " " << c.precision << " " << c.digits << " " << text;
        }
    }
    std::string untouched = "x";
    EXPECT_FALSE(rtl::TryFloatTextToStrF("1e5", TFloatFormat::ffFixed, 18, 2, untouched, us()));
    EXPECT_FALSE(rtl::TryFloatTextToStrF("0." + std::string(400, '0') + "1", TFloatFormat::ffGeneral, 15, 0,
                                         untouched, us()));
    EXPECT_EQ(untouched, "x");
}

} // namespace
