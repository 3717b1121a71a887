#include "pdfbox/PaperSizes.h"
#include "pdfbox/PdfBox.h"
#include "pdfbox/PdfError.h"

#include <gtest/gtest.h>

#include <numbers>

namespace pdfbox {
namespace {

TPdfEnvironment A4Facts() {
    return {[] { return std::optional<int>(A4PaperSize); }, [] { return std::optional<int>(); },
            [] { return 96; }};
}

template <typename Action> std::string ErrorOf(Action action) {
    try {
        action();
    } catch (const EPdfBoxError& error) {
        return error.what();
    }
    return "no error";
}

TEST(ParseStyleColor, NumbersNamesAndFailures) {
    EXPECT_EQ(ParseStyleColor(""), rtl::clBlack);
    EXPECT_EQ(ParseStyleColor("255,0,0"), rtl::clRed);
    EXPECT_EQ(ParseStyleColor(" 1 , 2,3 "), rtl::RGB(1, 2, 3));
    EXPECT_EQ(ParseStyleColor("0,128,255"), rtl::RGB(0, 128, 255));
    EXPECT_EQ(ParseStyleColor("Navy"), rtl::clNavy);
    EXPECT_EQ(ParseStyleColor("black"), rtl::clBlack);
    EXPECT_EQ(ParseStyleColor("BtnFace"), rtl::clBtnFace);

    EXPECT_EQ(ParseStyleColor("256,0,0"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("-1,0,0"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("1,2"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("1,2,3,4"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("1,,3"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("1,x,3"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("Mauve"), std::nullopt);
    EXPECT_EQ(ParseStyleColor("clRed"), std::nullopt); // "cl" is put in front
}

class StyleTest : public ::testing::Test {
protected:
    TPdfBox box{A4Facts()};
    TPdfCanvas& canvas = box.Canvas();
};

TEST_F(StyleTest, FindStyleLooksUpCreatesOrRefuses) {
    EXPECT_EQ(canvas.FindStyle(""), nullptr);
    EXPECT_EQ(canvas.FindStyle("", true), nullptr);
    EXPECT_EQ(ErrorOf([&] { canvas.FindStyle("Heading"); }), "Invalid style name: Heading");
    TPdfStyle* heading = canvas.FindStyle("Heading", true);
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->Name(), "Heading");
    EXPECT_EQ(&heading->Canvas(), &canvas);
    EXPECT_EQ(canvas.FindStyle("HEADING"), heading);
    EXPECT_EQ(canvas.FindStyle("heading", true), heading);
    EXPECT_EQ(canvas.StyleCount(), 1);
    canvas.FindStyle("Body", true);
    EXPECT_EQ(canvas.StyleCount(), 2);
    EXPECT_EQ(canvas.Style(1).Name(), "Body");
}

TEST_F(StyleTest, ValuesComeFromStyleThenParentThenDefault) {
    TPdfStyle* base = canvas.FindStyle("Base", true);
    TPdfStyle* child = canvas.FindStyle("Child", true);
    child->SetParent(base);
    base->Settings().SetValue("FontName", "Courier New");
    base->Settings().SetValue("FontSize", "12");
    child->Settings().SetValue("FontSize", "14");
    EXPECT_EQ(child->GetValue("FontName", "Arial"), "Courier New");
    EXPECT_EQ(child->GetInteger("FontSize", 10), 14);
    EXPECT_EQ(child->GetValue("FontColor", "Black"), "Black");
    EXPECT_EQ(child->GetInteger("LineSpacing", 7), 7);
    EXPECT_EQ(base->GetInteger("FontSize", 10), 12);
}

TEST_F(StyleTest, NonNumericValueIsRefused) {
    TPdfStyle* style = canvas.FindStyle("Body", true);
    style->Settings().SetValue("FontSize", "12pt");
    EXPECT_EQ(ErrorOf([&] { style->GetInteger("FontSize", 10); }),
              "Numeric value expected for style parameter: FontSize");
    style->Settings().SetValue("FontSize", "1.5");
    EXPECT_EQ(ErrorOf([&] { style->GetInteger("FontSize", 10); }),
              "Numeric value expected for style parameter: FontSize");
    style->Settings().SetValue("FontSize", "-3");
    EXPECT_EQ(style->GetInteger("FontSize", 10), -3);
}

TEST_F(StyleTest, ParentThatWouldMakeACycleIsRefused) {
    TPdfStyle* a = canvas.FindStyle("A", true);
    TPdfStyle* b = canvas.FindStyle("B", true);
    TPdfStyle* c = canvas.FindStyle("C", true);
    b->SetParent(a);
    c->SetParent(b);
    EXPECT_EQ(ErrorOf([&] { a->SetParent(c); }), "Invalid property value: Parent");
    EXPECT_EQ(ErrorOf([&] { a->SetParent(a); }), "Invalid property value: Parent");
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_EQ(a->GetValue("FontName", "Arial"), "Arial"); // lookup still ends

    TPdfBox other(A4Facts());
    TPdfStyle* foreign = other.Canvas().FindStyle("Foreign", true);
    EXPECT_EQ(ErrorOf([&] { a->SetParent(foreign); }), "Invalid property value: Parent");
    c->SetParent(nullptr);
    EXPECT_EQ(c->Parent(), nullptr);
}

TEST_F(StyleTest, ApplyFontReadsEveryFontSetting) {
    TPdfStyle* style = canvas.FindStyle("Title", true);
    auto& s = style->Settings();
    s.SetValue("FontName", "Times New Roman");
    s.SetValue("FontSize", "18");
    s.SetValue("FontColor", "0,0,255");
    s.SetValue("FontBold", "1");
    s.SetValue("FontItalic", "0");
    s.SetValue("FontUnderline", "1");
    s.SetValue("FontStrikeOut", "2");
    s.SetValue("FontCharset", "greek");
    TPdfFont font;
    style->ApplyFont(font);
    EXPECT_EQ(font.Name, "Times New Roman");
    EXPECT_EQ(font.Size, 18);
    EXPECT_EQ(font.Color, rtl::RGB(0, 0, 255));
    EXPECT_EQ(font.Style, unsigned(fsBold | fsUnderline));
    EXPECT_EQ(font.Charset, 161);
}

TEST_F(StyleTest, ApplyFontDefaultsAndCharsets) {
    TPdfStyle* style = canvas.FindStyle("Plain", true);
    TPdfFont font;
    font.Name = "Old";
    font.Style = fsItalic;
    style->ApplyFont(font);
    EXPECT_EQ(font, TPdfFont());
    EXPECT_EQ(font.Charset, 1);

    const std::pair<const char*, int> charsets[] = {{"ANSI", 0},         {"arabic", 178}, {"Baltic", 186},
                                                    {"EASTEUROPE", 238}, {"hebrew", 177}, {"RUSSIAN", 204},
                                                    {"Turkish", 162},    {"KLINGON", 1}};
    for (const auto& [name, number] : charsets) {
        style->Settings().SetValue("FontCharset", name);
        style->ApplyFont(font);
        EXPECT_EQ(font.Charset, number) << name;
    }
}

TEST_F(StyleTest, BadColourIsRefusedAndFontKept) {
    TPdfStyle* style = canvas.FindStyle("Odd", true);
    style->Settings().SetValue("FontColor", "300,0,0");
    style->Settings().SetValue("FontSize", "20");
    TPdfFont font;
    EXPECT_EQ(ErrorOf([&] { style->ApplyFont(font); }), "Invalid color specification");
    EXPECT_EQ(font, TPdfFont());
    style->Settings().SetValue("FontColor", "Plaid");
    EXPECT_EQ(ErrorOf([&] { style->ApplyFont(font); }), "Invalid color specification");
}

TEST_F(StyleTest, NewCanvasDrawsWithTheBuiltInDefault) {
    EXPECT_EQ(canvas.CurrentStyle(), nullptr);
    EXPECT_EQ(canvas.Font(), TPdfFont());
    EXPECT_EQ(canvas.Font().Name, "Arial");
    EXPECT_EQ(canvas.Font().Size, 10);
    EXPECT_EQ(canvas.CharacterSpacing(), 0);
    EXPECT_EQ(canvas.FontAngle(), 0);
    EXPECT_EQ(canvas.LineSpacing(), 0);
    EXPECT_TRUE(canvas.PendingOperators().empty());
}

TEST_F(StyleTest, CurrentStyleAppliesFontAndSpacings) {
    TPdfStyle* style = canvas.FindStyle("Rotated", true);
    style->Settings().SetValue("FontName", "Courier New");
    style->Settings().SetValue("CharacterSpacing", "5");
    style->Settings().SetValue("FontDegreeAngle", "90");
    style->Settings().SetValue("LineSpacing", "40");
    canvas.SetCurrentStyle(style);
    EXPECT_EQ(canvas.CurrentStyle(), style);
    EXPECT_EQ(canvas.Font().Name, "Courier New");
    EXPECT_EQ(canvas.CharacterSpacing(), 5);
    EXPECT_DOUBLE_EQ(canvas.FontAngle(), std::numbers::pi / 2);
    EXPECT_EQ(canvas.LineSpacing(), 40);
    // 5 tenths of a millimetre are 1.417 points.
    EXPECT_EQ(canvas.PendingOperators(), std::vector<std::string>{"1.417 Tc"});

    canvas.SetCurrentStyle(style); // same spacing: nothing new
    EXPECT_EQ(canvas.PendingOperators().size(), 1u);
    canvas.SetCurrentStyle(nullptr);
    EXPECT_EQ(canvas.Font(), TPdfFont());
    EXPECT_EQ(canvas.PendingOperators(), (std::vector<std::string>{"1.417 Tc", "0 Tc"}));
}

TEST_F(StyleTest, CharacterSpacingInPointsUnit) {
    box.SetLengthUnit(TLengthUnit::luPoint);
    TPdfStyle* style = canvas.FindStyle("Wide", true);
    style->Settings().SetValue("CharacterSpacing", "-2");
    canvas.SetCurrentStyle(style);
    EXPECT_EQ(canvas.PendingOperators(), std::vector<std::string>{"-2 Tc"});
}

TEST_F(StyleTest, FailedStyleLeavesCurrentStyleUnchanged) {
    TPdfStyle* good = canvas.FindStyle("Good", true);
    good->Settings().SetValue("FontSize", "14");
    canvas.SetCurrentStyle(good);
    TPdfStyle* bad = canvas.FindStyle("Bad", true);
    bad->Settings().SetValue("LineSpacing", "wide");
    EXPECT_EQ(ErrorOf([&] { canvas.SetCurrentStyle(bad); }),
              "Numeric value expected for style parameter: LineSpacing");
    EXPECT_EQ(canvas.CurrentStyle(), good);
    EXPECT_EQ(canvas.Font().Size, 14);
}

TEST_F(StyleTest, BookmarksFormATreeUnderTheRoot) {
    TBookmark& root = canvas.RootBookmark();
    EXPECT_EQ(root.Parent(), nullptr);
    EXPECT_EQ(&root.Canvas(), &canvas);
    TBookmark& chapter = root.AddChild();
    TBookmark& section = chapter.AddChild();
    chapter.AddChild();
    root.AddChild();
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(chapter.Count(), 2);
    EXPECT_EQ(&root.Child(0), &chapter);
    EXPECT_EQ(section.Parent(), &chapter);
    EXPECT_EQ(&section.Canvas(), &canvas);
    EXPECT_THROW(root.Child(2), std::out_of_range);
    chapter.ClearChildren();
    EXPECT_EQ(chapter.Count(), 0);
    EXPECT_EQ(root.Count(), 2);
}

} // namespace
} // namespace pdfbox
