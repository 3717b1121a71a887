#include "export/xls/ExporterXLSColors.h"
#include "export/xls/ExporterXLSFormats.h"
#include "platform/ini/IniFile.h"
#include "tests/platform_cfb/PythonRunner.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace exporter;

TEST(XlsColors, PaletteNumbersAndScreenColours) {
    std::set<int> numbers;
    for (int i = 0; i < XLS_COLOR_COUNT; ++i)
        numbers.insert(XlsColorNumber(static_cast<TxlsColor>(i)));
    EXPECT_EQ(numbers.size(), 56u);
    EXPECT_EQ(*numbers.begin(), 8);
    EXPECT_EQ(*numbers.rbegin(), 63);
    EXPECT_EQ(XlsColorNumber(clrBlack), 8);
    EXPECT_EQ(XlsColorNumber(clrWhite), 9);
    EXPECT_EQ(XlsColorNumber(clrAqua), 49);
    EXPECT_EQ(XlsColorNumber(clrColor1), 24);
    EXPECT_EQ(XlsColorToColor(clrBrown), 0x003399);
    EXPECT_EQ(XlsColorToColor(clrColor16), 0xFF0000);

    EXPECT_EQ(ColorToXlsColor(rtl::clMaroon), clrDarkRed);
    EXPECT_EQ(ColorToXlsColor(rtl::clFuchsia), clrPink);
    EXPECT_EQ(ColorToXlsColor(rtl::clAqua), clrTurquoise);
    EXPECT_EQ(ColorToXlsColor(rtl::RGB(1, 2, 3)), clrBlack); // not a standard colour
    EXPECT_EQ(XlsColorFromOrdinal(56), clrBlack);
}

TEST(XlsColors, IniTextsNameTheRgbAndFindTheFirstPaletteEntry) {
    EXPECT_EQ(XlsColorToString(clrRed), "clRed");
    EXPECT_EQ(XlsColorToString(clrBrown), "$00003399");
    // Navy occurs as clrDarkBlue and as clrColor9: the earlier one wins.
    EXPECT_EQ(StringToXlsColor("clNavy"), clrDarkBlue);
    EXPECT_EQ(StringToXlsColor("$00800000"), clrDarkBlue);
    EXPECT_EQ(StringToXlsColor("$00FF9999"), clrColor1);
    EXPECT_EQ(StringToXlsColor("$00123456"), clrBlack); // in no palette entry
    EXPECT_EQ(StringToXlsColor("not a colour"), clrBlack);
    for (int i = 0; i < XLS_COLOR_COUNT; ++i) {
        const auto color = static_cast<TxlsColor>(i);
        EXPECT_EQ(XlsColorToColor(StringToXlsColor(XlsColorToString(color))), XlsColorToColor(color));
    }
}

TEST(XlsFormats, DefaultsAssignAndEquality) {
    TxlsFormat format;
    EXPECT_TRUE(format.IsDefault());
    EXPECT_EQ(format.Font.Name, "arial");
    EXPECT_EQ(format.Fill.Background, clrWhite);
    EXPECT_EQ(format.Alignment.Vertical, valBottom);
    format.Wrap = true;
    EXPECT_FALSE(format.IsDefault());
    format.Font.Style = xfsBold;
    format.Borders.DiagUp = {bstDouble, clrRed};
    TxlsFormat copy;
    copy.Assign(format);
    EXPECT_TRUE(copy.Font.Equals(format.Font));
    EXPECT_EQ(copy.Borders, format.Borders);
    EXPECT_TRUE(copy.Wrap);
    copy.SetDefault();
    EXPECT_TRUE(copy.IsDefault());

    TxlsFont a, b;
    b.Name = "Arial";
    EXPECT_FALSE(a.Equals(b)); // the name compares with case
    b.Name = "arial";
    b.Index = 9;
    EXPECT_TRUE(a.Equals(b)); // the index is no value

    TxlsFieldFormat field;
    field.FieldName = "Host";
    field.Width = 12;
    field.Aggregate = aggSum;
    field.Fill.Pattern = ptSolid;
    TxlsFieldFormat fieldCopy;
    fieldCopy.Assign(field);
    EXPECT_EQ(fieldCopy.FieldName, "Host");
    EXPECT_EQ(fieldCopy.Aggregate, aggSum);
    EXPECT_EQ(fieldCopy.Fill.Pattern, ptSolid);
    fieldCopy.SetDefault();
    EXPECT_TRUE(fieldCopy.IsDefault());
    EXPECT_TRUE(fieldCopy.FieldName.empty());

    TxlsNoteFormat note;
    EXPECT_EQ(note.Font.Name, "Tahoma");
    EXPECT_EQ(note.Font.Size, 8);
    EXPECT_EQ(note.Font.Style, xfsBold);
    EXPECT_EQ(note.BackgroundColor, rtl::RGB(255, 255, 225));
    EXPECT_EQ(note.Alignment.Horizontal, halLeft);
    EXPECT_EQ(note.Alignment.Vertical, valTop);
}

TEST(XlsFormats, CollectionsNameAndFindTheirItems) {
    TxlsFormats strips(nullptr, true);
    strips.Add();
    TxlsFormat& second = strips.Add();
    EXPECT_EQ(second.Index(), 1);
    EXPECT_EQ(second.GetDisplayName(), "StripStyle_1");
    EXPECT_EQ(second.GetItemType(), 0);

    TxlsFieldFormats fields(nullptr);
    EXPECT_EQ(fields.Add().GetDisplayName(), "TxlsFieldFormat");
    fields.Items(0).FieldName = "Name";
    TxlsFieldFormat& data = fields.Add();
    data.FieldName = "Data";
    EXPECT_EQ(data.GetDisplayName(), "Data");
    EXPECT_EQ(data.GetItemType(), 1);
    EXPECT_EQ(fields.IndexOf("DATA"), 1);
    EXPECT_EQ(fields.IndexOf("Other"), -1);
    fields.Delete(0);
    EXPECT_EQ(fields.IndexOf("data"), 0);
    EXPECT_EQ(data.Index(), 0);
}

TEST(XlsFormats, ScreenFontsConvertBothWays) {
    TxlsFont font;
    font.Script = fscSubscript;
    AssignScreenFont(font, {"Courier New", 12, rtl::clOlive, 0, true, false, true, false});
    EXPECT_EQ(font.Name, "Courier New");
    EXPECT_EQ(font.Size, 12);
    EXPECT_EQ(font.Color, clrDarkYellow);
    EXPECT_EQ(font.Style, xfsBold);
    EXPECT_EQ(font.Underline, fulSingle);
    EXPECT_EQ(font.Script, fscNone);
    EXPECT_EQ(font.Charset, 0);
    AssignScreenFont(font, {"x", 10, rtl::clSkyBlue, 1, false, false, false, false});
    EXPECT_EQ(font.Color, clrBlack); // not one of the 16 standard colours

    font.Color = clrBrown;
    font.Underline = fulDoubleAccounting;
    const TxlsScreenFont screen = ToScreenFont(font);
    EXPECT_EQ(screen.Color, 0x003399);
    EXPECT_TRUE(screen.Underline);
}

class XlsFormatIni : public ::testing::Test {
protected:
    testutil::TempDir dir_;
    std::string file() const { return (dir_ / "style.xst").string(); }
};

TEST_F(XlsFormatIni, FieldFormatRoundTripsItsKeysInOrder) {
    TxlsFieldFormat format;
    format.Font.Name = "Courier New";
    format.Font.Size = 12;
    format.Font.Color = clrBrown;
    format.Font.Style = xfsItalic | xfsStrikeOut;
    format.Font.Underline = fulDouble;
    format.Alignment = {halRight, valCenter};
    format.Borders.Top = {bstThick, clrRed};
    format.Borders.Left = {bstDotted, clrColor3};
    format.Fill = {clrYellow, ptGray50, clrBlue};
    format.Aggregate = aggMax;
    {
        ini::IniFile ini(file());
        format.SaveToIni(ini, "Data");
        EXPECT_EQ(ini.ReadSection("Data"),
                  (std::vector<std::string>{"FontName",        "FontSize",         "FontColor",
                                            "FontBold",        "FontItalic",       "FontStrikeOut",
                                            "FontUnderline",   "HorAlignment",     "VertAlignment",
                                            "BorderTop",       "BorderBottom",     "BorderLeft",
                                            "BorderRight",     "BorderTopColor",   "BorderBottomColor",
                                            "BorderLeftColor", "BorderRightColor", "FillPattern",
                                            "FillBackground",  "FillForeground",   "Aggregate"}));
        EXPECT_EQ(ini.ReadString("Data", "FontColor", ""), "$00003399");
        EXPECT_EQ(ini.ReadString("Data", "FontItalic", ""), "1");
        EXPECT_EQ(ini.ReadString("Data", "FillForeground", ""), "clBlue");
    }
    ini::IniFile ini(file());
    TxlsFieldFormat read;
    read.LoadFromIni(ini, "Data");
    EXPECT_TRUE(read.Font.Equals(format.Font));
    EXPECT_EQ(read.Alignment, format.Alignment);
    EXPECT_EQ(read.Borders, format.Borders);
    EXPECT_EQ(read.Fill, format.Fill);
    EXPECT_EQ(read.Aggregate, aggMax);
}

TEST_F(XlsFormatIni, MissingKeysGiveDefaultsAndBadNumbersAreRefused) {
    {
        ini::IniFile ini(file());
        ini.WriteString("Odd", "FontUnderline", "9");
        ini.WriteString("Odd", "HorAlignment", "-1");
        ini.WriteString("Odd", "BorderTop", "14");
        ini.WriteString("Odd", "FillPattern", "19");
        ini.WriteString("Odd", "FillBackground", "$00ABCDEF");
        ini.WriteString("Odd", "Transparency", "150");
    }
    ini::IniFile ini(file());
    TxlsFormat format;
    format.Wrap = true;
    format.Borders.DiagDown.Style = bstThin;
    format.LoadFromIni(ini, "Odd");
    EXPECT_EQ(format.Font.Underline, fulNone);
    EXPECT_EQ(format.Alignment.Horizontal, halGeneral);
    EXPECT_EQ(format.Alignment.Vertical, valBottom);
    EXPECT_EQ(format.Borders.Top.Style, bstNone);
    EXPECT_EQ(format.Fill.Pattern, ptNone);
    EXPECT_EQ(format.Fill.Background, clrBlack); // a colour outside the palette
    // Keys outside the vocabulary keep their values.
    EXPECT_TRUE(format.Wrap);
    EXPECT_EQ(format.Borders.DiagDown.Style, bstThin);

    TxlsNoteFormat note;
    note.Font.Name = "Other";
    note.LoadFromIni(ini, "Missing");
    EXPECT_EQ(note.Font.Name, "Tahoma");
    EXPECT_EQ(note.Font.Style, xfsBold);
    note.LoadFromIni(ini, "Odd");
    EXPECT_EQ(note.Transparency, 0);
}

TEST_F(XlsFormatIni, NoteFormatRoundTrips) {
    TxlsNoteFormat note;
    note.Font.Size = 11;
    note.Alignment = {halCenter, valJustify};
    note.BackgroundColor = rtl::clRed;
    note.ForegroundColor = rtl::RGB(1, 2, 3);
    note.FillType = nftGradient;
    note.Transparency = 40;
    note.Orientation = xlrCounterClockWise;
    note.Gradient = ngrFromCorner;
    {
        ini::IniFile ini(file());
        note.SaveToIni(ini, "Note");
        EXPECT_EQ(ini.ReadSection("Note").size(), 15u);
    }
    ini::IniFile ini(file());
    TxlsNoteFormat read;
    read.LoadFromIni(ini, "Note");
    EXPECT_TRUE(read.Equals(note));
}

} // namespace
