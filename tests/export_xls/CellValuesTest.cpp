// Data cells' texts read as numbers and dates: the quick readers against the general ones over hard
// cases and generated texts.

#include "export/xls/ExporterXLSCellValues.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace exporter;

std::uint64_t bitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, 8);
    return bits;
}

void expectSameNumber(const std::string& text, const rtl::LocaleFacts& facts) {
    double expected = -1, value = -1;
    const bool valid = rtl::TryStrToFloat(text, expected, facts);
    ASSERT_EQ(XlsTextToNumber(text, value, facts), valid) << "\"" << text << "\"";
    if (valid) {
        EXPECT_EQ(bitsOf(value), bitsOf(expected)) << "\"" << text << "\"";
    }
}

TEST(XlsTextToNumber, ReadsEveryTextAsTheGeneralReaderDoes) {
    const char* cases[] = {
        "0", "-0", "+0", "-0.0", "007", "1.", ".5", "-.5", "1.5e3", "1E-2", "1,5", "1.5.", " 1", "1 ", "\t2", "+", "-", "",
        ".", "-.", "9007199254740992", "9007199254740993", "-9007199254740993", "18446744073709551615",
        "99999999999999999999", "0.1", "0.3", "-2.675", "123456789012345.678", "1.0000000000000000000001",
        "0.0000000000000000000001", "0.00000000000000000000001", "4503599627370497.5", "2024000123", "12345.25",
        "1e", "--1", "1-", "+-1", "0x10", "inf", "nan", "1_000", "1,000", "1,000.5", "\xD9\xA1", "00000000000000000001.5"};
    rtl::LocaleFacts comma = rtl::LocaleFacts::Default();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    rtl::LocaleFacts none = rtl::LocaleFacts::Default();
    none.DecimalSeparator = '\0';
    const rtl::LocaleFacts* const allFacts[] = {&rtl::LocaleFacts::Default(), &comma, &none};
    for (const rtl::LocaleFacts* facts : allFacts) {
        for (const char* text : cases)
            expectSameNumber(text, *facts);
        expectSameNumber(std::string("1\0" "5", 3), *facts);
    }
    // Generated texts: up to 20 digits, a separator anywhere, a sign or none.
    std::uint64_t state = 12345;
    auto next = [&state](std::uint64_t below) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return (state >> 33) % below;
    };
    for (int i = 0; i < 20000; ++i) {
        std::string text = next(3) == 0 ? "-" : "";
        const std::uint64_t digits = 1 + next(20);
        const std::uint64_t separator = next(digits + 2);
        for (std::uint64_t d = 0; d < digits; ++d) {
            if (d == separator && d > 0)
                text += '.';
            text += char('0' + (d == 0 && next(4) != 0 ? 1 + next(9) : next(10)));
        }
        expectSameNumber(text, rtl::LocaleFacts::Default());
    }
}

TEST(TxlsDateTexts, ReadsEveryTextAsTheGeneralReaderDoesAndRemembersIt) {
    std::vector<std::string> texts = {"1/2/2024",
                                      "12/31/2024 23:59:00",
                                      "2/29/2023",
                                      "1/2/24",
                                      "1/2",
                                      "13:45",
                                      "1:05 PM",
                                      "12/30/1899",
                                      "1/1/1900 0:00:01",
                                      "x",
                                      "1/2/2024 25:00",
                                      "  3/4/2024  ",
                                      "3/4/2024 10:11:12 and then some more words"};
    // More distinct texts than are held, so that the memory starts afresh on the way.
    for (int i = 0; i < int(TxlsDateTexts::HeldTexts) + 500; ++i)
        texts.push_back(std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28) + "/" + std::to_string(1990 + i / 336) +
                        " " + std::to_string(i % 24) + ":" + std::to_string(10 + i % 50));
    TxlsDateTexts dates;
    for (int round = 0; round < 2; ++round)
        for (const std::string& text : texts) {
            rtl::TDateTime expected = -1, value = -1;
            const bool valid = rtl::TryStrToDateTime(text, expected);
            ASSERT_EQ(dates.Read(text, value), valid) << text;
            if (valid) {
                EXPECT_EQ(bitsOf(value), bitsOf(expected)) << text;
            }
        }
}

} // namespace
