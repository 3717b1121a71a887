#include "platform/rtl/FormatFloat.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(FormatFloat("0.00", 1.005, us()), "1.00"); // the stored double is below 1.005
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

} // namespace
