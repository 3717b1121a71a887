#include "pdfbox/PaperSizes.h"
#include "pdfbox/PdfEnvironment.h"

#include <gtest/gtest.h>

namespace pdfbox {
namespace {

TEST(PaperSizes, NameLookupIgnoresCaseTakesFirstMatchAndSkipsCustom) {
    EXPECT_EQ(FindPaperSizeByName("letter"), 1);
    EXPECT_EQ(FindPaperSizeByName("LETTER"), 1);
    EXPECT_EQ(FindPaperSizeByName("a4 small"), 10);
    EXPECT_EQ(FindPaperSizeByName("B4"), 12);
    EXPECT_EQ(FindPaperSizeByName("b5"), 13);
    EXPECT_EQ(FindPaperSizeByName("German Legal Fanfold"), 41);
    EXPECT_EQ(FindPaperSizeByName("Custom"), -1);
    EXPECT_EQ(FindPaperSizeByName("A4 "), -1);
    EXPECT_EQ(FindPaperSizeByName(""), -1);
}

TEST(PaperSizes, TableEntriesCarryTheirSizes) {
    EXPECT_EQ(PaperSizeEntry(0).Name, "Custom");
    EXPECT_EQ(PaperSizeEntry(0).Width, 0);
    EXPECT_EQ(PaperSizeEntry(9).Width, 2100);
    EXPECT_EQ(PaperSizeEntry(9).Height, 2970);
    EXPECT_EQ(PaperSizeEntry(35).Name, "B6");
    EXPECT_EQ(PaperSizeEntry(35).Height, 1250);
    EXPECT_EQ(PaperSizeEntry(MaxPaperSize).Name, "German Legal Fanfold");
}

TEST(PaperSizes, LocaleMillimetresMapToPaperCodes) {
    EXPECT_EQ(FindPaperSizeByMillimetres(210, 297), A4PaperSize);
    EXPECT_EQ(FindPaperSizeByMillimetres(216, 279), LetterPaperSize);
    EXPECT_EQ(FindPaperSizeByMillimetres(216, 356), 5);
    EXPECT_EQ(FindPaperSizeByMillimetres(297, 420), 8);
    EXPECT_EQ(FindPaperSizeByMillimetres(100, 100), -1);
    EXPECT_EQ(FindPaperSizeByMillimetres(0, 0), -1);
}

TPdfEnvironment Facts(std::optional<int> paper, std::optional<int> country) {
    return {[paper] { return paper; }, [country] { return country; }, [] { return 96; }};
}

TEST(DefaultPaperSize, LocalePaperComesFirstThenCountry) {
    EXPECT_EQ(DefaultPaperSize(Facts(1, 44)), LetterPaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(5, 1)), 5);
    EXPECT_EQ(DefaultPaperSize(Facts(std::nullopt, 1)), LetterPaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(std::nullopt, 2)), LetterPaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(std::nullopt, 49)), A4PaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(std::nullopt, std::nullopt)), A4PaperSize);
    EXPECT_EQ(DefaultPaperSize(TPdfEnvironment{}), A4PaperSize);
}

TEST(DefaultPaperSize, CodeOutsideTheTableFallsBackToA4) {
    EXPECT_EQ(DefaultPaperSize(Facts(0, 1)), A4PaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(256, 1)), A4PaperSize);
    EXPECT_EQ(DefaultPaperSize(Facts(-3, 1)), A4PaperSize);
}

TEST(DefaultPaperSize, ProcessLocaleFactsAreReadable) {
    // The tests run in the C.UTF-8 locale, whose paper is A4 and which names no country.
    const TPdfEnvironment environment = TPdfEnvironment::Default();
    EXPECT_EQ(environment.LocalePaperSize(), std::optional<int>(A4PaperSize));
    EXPECT_EQ(DefaultPaperSize(environment), A4PaperSize);
    EXPECT_EQ(environment.ScreenPixelsPerInch(), 96); // no application running
}

} // namespace
} // namespace pdfbox
