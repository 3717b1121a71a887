#include "export/xls/ExporterXLSFormatTables.h"
#include "export/xls/ExporterXLSUtils.h"
#include "tests/export_xls/TestStreams.h"

#include <gtest/gtest.h>

namespace {

using namespace exporter;
using testutil::bytes;

std::vector<std::uint8_t> saved(const TbiffRecord& record) {
    TxlsMemoryStream stream;
    record.SaveToStream(&stream);
    return stream.Bytes();
}

TEST(FormatTables, GeneralWithoutFormatIsTheDefaultCellXF) {
    TxlsFormatTables tables;
    EXPECT_EQ(tables.GetXFIndex("General", nullptr), 15);
    EXPECT_EQ(tables.GetXFIndex("", nullptr), 15);
    EXPECT_EQ(tables.XFormats().Count(), 0u);
    EXPECT_EQ(tables.FindXFormat(15), nullptr);
}

TEST(FormatTables, EqualFormatsShareAnXFAndEachValueCounts) {
    TxlsFormatTables tables;
    TxlsFormat a, b;
    a.Font.Style = xfsBold;
    a.Fill = {clrYellow, ptSolid, clrBlack};
    b.Assign(a);
    const auto first = tables.GetXFIndex("0.00", &a);
    EXPECT_EQ(first, 16);
    EXPECT_EQ(tables.GetXFIndex("0.00", &b), 16);
    b.Wrap = true;
    EXPECT_EQ(tables.GetXFIndex("0.00", &b), 17);
    EXPECT_EQ(tables.GetXFIndex("0.00", &b), 17);
    // The same font and number format are entered once.
    EXPECT_EQ(tables.Fonts().Count(), 1u);
    EXPECT_EQ(tables.Fonts().Items(0).Index, 5);
    EXPECT_EQ(tables.NumberFormats().Count(), 1u);
    EXPECT_EQ(tables.NumberFormats().Items(0).Index, 50);
    // Format texts compare with case.
    EXPECT_EQ(tables.GetXFIndex("0.00E+00", &a), 18);
    EXPECT_EQ(tables.GetXFIndex("0.00e+00", &a), 19);
    EXPECT_EQ(tables.NumberFormats().Count(), 3u);
    EXPECT_EQ(tables.NumberFormats().Items(2).Index, 52);
    // A new font gets the next index.
    a.Font.Size = 14;
    EXPECT_EQ(tables.GetXFIndex("0.00", &a), 20);
    EXPECT_EQ(tables.Fonts().Items(1).Index, 6);
    const TxlsXFormat* xf = tables.FindXFormat(20);
    ASSERT_NE(xf, nullptr);
    EXPECT_EQ(xf->Font, &tables.Fonts().Items(1));
    EXPECT_EQ(xf->NumberFormat, &tables.NumberFormats().Items(0));
}

TEST(FormatTables, DefaultFontStaysFontZeroAndOtherFontsGetRecords) {
    TxlsFormatTables tables;
    TxlsFormat plain;
    plain.Borders.Bottom.Style = bstThin;
    const auto index = tables.GetXFIndex("General", &plain);
    const TxlsXFormat* xf = tables.FindXFormat(index);
    ASSERT_NE(xf, nullptr);
    EXPECT_EQ(xf->Font, nullptr);
    EXPECT_EQ(xf->NumberFormat, nullptr);
    EXPECT_EQ(tables.Fonts().Count(), 0u);
    EXPECT_EQ(BuildXFRecord(nullptr, *xf)->Data()[0], 0); // font 0

    TxlsFormat courier;
    courier.Font.Name = "Courier New";
    const TxlsXFormat* other = tables.FindXFormat(tables.GetXFIndex("General", &courier));
    ASSERT_NE(other, nullptr);
    ASSERT_NE(other->Font, nullptr);
    EXPECT_EQ(other->Font->Name, "Courier New");

    // Handing a cached XF back as a format.
    TxlsFormat back;
    AssignXFormat(back, *other);
    EXPECT_EQ(back.Font.Name, "Courier New");
    AssignXFormat(back, *xf);
    EXPECT_TRUE(back.Font.IsDefault());
    EXPECT_EQ(back.Borders.Bottom.Style, bstThin);
}

TEST(FormatTables, ColumnAndStripLookups) {
    TxlsFormatTables tables;
    TxlsFormat f;
    f.Alignment.Horizontal = halRight;
    const TxlsXFormat* xf = tables.FindXFormat(tables.GetXFIndex("", &f));
    tables.FieldXFormats().Add(0, "Host", xf);
    tables.ColRowXFormats().Add(1, 1002, xf);
    EXPECT_EQ(tables.FieldXFormats().Find(0, "HOST"), xf);
    EXPECT_EQ(tables.FieldXFormats().Find(1, "Host"), nullptr);
    EXPECT_EQ(tables.ColRowXFormats().Find(1, 1002), xf);
    EXPECT_EQ(tables.ColRowXFormats().Find(1002, 1), nullptr);
}

TEST(FormatRecords, XFOfAFullFormat) {
    TxlsFormatTables tables;
    TxlsFormat f;
    f.Font.Style = xfsBold;
    f.Borders.Left = {bstThin, clrRed};
    f.Borders.Right = {bstMedium, clrBlue};
    f.Borders.Top = {bstDashed, clrGreen};
    f.Borders.Bottom = {bstDouble, clrBlack};
    f.Fill = {clrYellow, ptSolid, clrBlue};
    f.Alignment = {halCenter, valTop};
    f.Wrap = true;
    const TxlsXFormat* xf = tables.FindXFormat(tables.GetXFIndex("0.00", &f));
    ASSERT_NE(xf, nullptr);
    EXPECT_EQ(saved(*BuildXFRecord(nullptr, *xf)),
              bytes({0xE0, 0x00, 20,   0,    5,    0,    50,   0,    0x01, 0,    0x0A, 0,
                     0,    0x78, 0x21, 0x63, 0x0A, 0x06, 0x11, 0x04, 0x00, 0x04, 0x0D, 0x06}));
}

TEST(FormatRecords, DiagonalUpAloneGivesBit15AndItsStyleAndColour) {
    TxlsFormatTables tables;
    TxlsFormat f;
    f.Borders.DiagUp = {bstDashDot, clrRed};
    const TxlsXFormat* xf = tables.FindXFormat(tables.GetXFIndex("General", &f));
    ASSERT_NE(xf, nullptr);
    EXPECT_EQ(saved(*BuildXFRecord(nullptr, *xf)),
              bytes({0xE0, 0x00, 20, 0, 0,    0,    0,    0,    0x01, 0,    0x20, 0,
                     0,    0x70, 0,  0, 0x00, 0x80, 0x00, 0x80, 0x22, 0x01, 0x09, 0x04}));
    // With both diagonals, style and colour come from the one going down.
    f.Borders.DiagDown = {bstHair, clrBlue};
    const auto both = BuildXFRecord(nullptr, *tables.FindXFormat(tables.GetXFIndex("General", &f)));
    EXPECT_EQ(GetWord(both->Data(), 12), 0xC000);
    EXPECT_EQ(GetDWord(both->Data(), 14), std::uint32_t(12) << 14 | std::uint32_t(bstHair) << 21);
}

TEST(FormatRecords, FontRecord) {
    TxlsFont font;
    font.Name = "Courier";
    font.Size = 12;
    font.Style = xfsItalic | xfsStrikeOut;
    font.Color = clrRed;
    font.Script = fscSuperscript;
    font.Underline = fulDoubleAccounting;
    font.Charset = 0;
    EXPECT_EQ(saved(*BuildFontRecord(nullptr, font)),
              bytes({0x31, 0x00, 30, 0,   0xF0, 0,   0x0A, 0,   10, 0,   0x90, 0x01, 1, 0,   0x22, 0,   0,
                     0,    7,    1,  'C', 0,    'o', 0,    'u', 0,  'r', 0,    'i',  0, 'e', 0,    'r', 0}));
    font.Style = xfsBold;
    font.Size = 5000; // kept within what a FONT record holds
    const auto bold = BuildFontRecord(nullptr, font);
    EXPECT_EQ(GetWord(bold->Data(), 0), 409 * 20);
    EXPECT_EQ(GetWord(bold->Data(), 6), 700);
}

} // namespace
