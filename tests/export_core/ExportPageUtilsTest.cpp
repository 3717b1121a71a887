#include "export/core/ExporterPDF.h"
#include "export/core/ExporterPageUtils.h"

#include <gtest/gtest.h>

namespace exporter::test {
namespace {

TEST(ExportPageUtils, ConversionsTruncateAndRound) {
    EXPECT_EQ(InchesToPoints(8.27), 595);
    EXPECT_EQ(InchesToPoints(11.69), 841);
    EXPECT_EQ(InchesToPoints(1.18), 84);
    EXPECT_EQ(InchesToPoints(0.25), 18);
    EXPECT_EQ(MillimetersToPoints(30), 85);
    // 127 mm are exactly 360 points, though the division leaves a rounding error.
    EXPECT_EQ(MillimetersToPoints(127), 360);
    EXPECT_EQ(MillimetersToPoints(25.4), 72);
    EXPECT_DOUBLE_EQ(PointsToInches(36), 0.5);
    EXPECT_DOUBLE_EQ(PointsToMillimeters(72), 25.4);
    EXPECT_DOUBLE_EQ(RoundToDigits(1.005 + 1e-9, 2), 1.01);
    EXPECT_DOUBLE_EQ(RoundToDigits(-2.5, 0), -3);
    EXPECT_DOUBLE_EQ(RoundToDigits(1.23456, 3), 1.235);

    EXPECT_EQ(UnitsToPoints(1.18, TExportUnits::unInch), 84);
    EXPECT_EQ(UnitsToPoints(30, TExportUnits::unMillimeter), 85);
    EXPECT_EQ(UnitsToPoints(99.9, TExportUnits::unDot), 99);
    EXPECT_DOUBLE_EQ(PointsToUnits(85, TExportUnits::unInch), 1.18);
    EXPECT_DOUBLE_EQ(PointsToUnits(85, TExportUnits::unMillimeter), 30);
    EXPECT_DOUBLE_EQ(PointsToUnits(85, TExportUnits::unDot), 85);
}

TEST(ExportPageUtils, PageFormatsInInches) {
    struct Row {
        TExportPageFormat format;
        double width, height;
    };
    const Row rows[] = {{TExportPageFormat::pfLetter, 8.5, 11},
                        {TExportPageFormat::pfLegal, 8.5, 14},
                        {TExportPageFormat::pfA3, 11.69, 16.54},
                        {TExportPageFormat::pfA4, 8.27, 11.69},
                        {TExportPageFormat::pfA5, 5.83, 8.27},
                        {TExportPageFormat::pfB5_JIS, 7.17, 10.12},
                        {TExportPageFormat::pfUS_Std_Fanfold, 14.88, 11},
                        {TExportPageFormat::pfFanfold, 8.5, 12},
                        {TExportPageFormat::pfUser, 8.27, 11.69}};
    for (const Row& row : rows) {
        EXPECT_DOUBLE_EQ(PageFormatWidth(row.format), row.width);
        EXPECT_DOUBLE_EQ(PageFormatHeight(row.format), row.height);
    }
}

TEST(ExportPageUtils, CharacterTextsAndNumbers) {
    EXPECT_EQ(StrToCharEx(";"), ';');
    EXPECT_EQ(StrToCharEx("#"), '#');
    EXPECT_EQ(StrToCharEx("#9"), '\t');
    EXPECT_EQ(StrToCharEx("#32"), ' ');
    EXPECT_EQ(StrToCharEx(""), '\0');
    EXPECT_EQ(StrToCharEx("ab"), '\0');
    EXPECT_EQ(StrToCharEx("#x"), '\0');
    EXPECT_EQ(StrToCharEx("#300"), '\0');
    EXPECT_EQ(CharToStrEx('\t'), "#9");
    EXPECT_EQ(CharToStrEx(' '), "#32");
    EXPECT_EQ(CharToStrEx('\0'), "#0");
    EXPECT_EQ(CharToStrEx('!'), "!");
    EXPECT_EQ(CharToStrEx('\xE9'), "\xE9");
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(StrToCharEx(CharToStrEx(char(code))), char(code)) << code;

    EXPECT_DOUBLE_EQ(StrToFloatDef("2.5", 7), 2.5);
    EXPECT_DOUBLE_EQ(StrToFloatDef("x", 7), 7);
    EXPECT_DOUBLE_EQ(StrToFloatDef("", 3), 3);
}

TEST(ExportPageUtils, TextWidthGrowsWithTextAndSize) {
    TExportFont font;
    EXPECT_EQ(TextWidthOnDisplay("", font), 0);
    const int one = TextWidthOnDisplay("X", font);
    EXPECT_GT(one, 0);
    EXPECT_NEAR(TextWidthOnDisplay("XXXX", font), 4 * one, 2);
    font.Size = 20;
    EXPECT_GT(TextWidthOnDisplay("X", font), one);
}

TEST(ExportPDFPageOptions, DefaultsAreA4WithMargins) {
    TExportPDFPageOptions p;
    EXPECT_EQ(p.Format(), TExportPageFormat::pfA4);
    EXPECT_EQ(p.Units(), TExportUnits::unInch);
    EXPECT_EQ(p.WidthPoints(), 595);
    EXPECT_EQ(p.HeightPoints(), 841);
    EXPECT_EQ(p.MarginLeftPoints(), 84);
    EXPECT_EQ(p.MarginBottomPoints(), 56);
    EXPECT_EQ(p.MarginRightPoints(), 42);
    EXPECT_EQ(p.MarginTopPoints(), 56);
    EXPECT_EQ(p.MediaBox(), (TPDFBox{0, 0, 594, 840}));
    EXPECT_EQ(p.TrimBox(), (TPDFBox{84, 56, 552, 784}));
    EXPECT_DOUBLE_EQ(p.MarginLeft(), 1.17); // 84 points shown in inches
    EXPECT_FALSE(p.SizeStored());
}

TEST(ExportPDFPageOptions, OrientationTurnsSizeAndMarginsAndBack) {
    TExportPDFPageOptions p;
    p.SetOrientation(TExportPageOrientation::poLandscape);
    EXPECT_EQ(p.WidthPoints(), 841);
    EXPECT_EQ(p.HeightPoints(), 595);
    // (left, right, top, bottom) becomes (old bottom, old top, old left, old right).
    EXPECT_EQ(p.MarginLeftPoints(), 56);
    EXPECT_EQ(p.MarginRightPoints(), 56);
    EXPECT_EQ(p.MarginTopPoints(), 84);
    EXPECT_EQ(p.MarginBottomPoints(), 42);
    p.SetOrientation(TExportPageOrientation::poLandscape); // no change, nothing turns
    EXPECT_EQ(p.WidthPoints(), 841);
    p.SetOrientation(TExportPageOrientation::poPortrait);
    TExportPDFPageOptions fresh;
    EXPECT_EQ(p.MediaBox(), fresh.MediaBox());
    EXPECT_EQ(p.TrimBox(), fresh.TrimBox());
    EXPECT_EQ(p.MarginRightPoints(), 42);
}

TEST(ExportPDFPageOptions, UnitsShowTheSamePoints) {
    TExportPDFPageOptions p;
    p.SetUnits(TExportUnits::unMillimeter);
    p.SetMarginLeft(30);
    EXPECT_EQ(p.MarginLeftPoints(), 85);
    EXPECT_DOUBLE_EQ(p.MarginLeft(), 30);
    p.SetUnits(TExportUnits::unInch);
    EXPECT_DOUBLE_EQ(p.MarginLeft(), 1.18);
    EXPECT_EQ(p.MarginLeftPoints(), 85);
    p.SetUnits(TExportUnits::unDot);
    EXPECT_DOUBLE_EQ(p.MarginLeft(), 85);
}

TEST(ExportPDFPageOptions, WidthMakesUserFormatAndFormatResizes) {
    TExportPDFPageOptions p;
    p.SetWidth(5);
    EXPECT_EQ(p.Format(), TExportPageFormat::pfUser);
    EXPECT_EQ(p.WidthPoints(), 360);
    EXPECT_EQ(p.HeightPoints(), 841);
    EXPECT_TRUE(p.SizeStored());
    p.SetFormat(TExportPageFormat::pfLetter);
    EXPECT_EQ(p.WidthPoints(), 612);
    EXPECT_EQ(p.HeightPoints(), 792);
    // The orientation is not applied by a format change.
    p.SetOrientation(TExportPageOrientation::poLandscape);
    p.SetFormat(TExportPageFormat::pfA4);
    EXPECT_EQ(p.WidthPoints(), 595);
    p.SetUnits(TExportUnits::unMillimeter);
    p.SetHeight(100);
    EXPECT_EQ(p.HeightPoints(), 283);
    EXPECT_EQ(p.Format(), TExportPageFormat::pfUser);
}

} // namespace
} // namespace exporter::test
