#include "export/xls/ExporterXLSColors.h"

#include <exception>

namespace exporter {

namespace {

// COLORREF values (0x00BBGGRR) in the order of the enumeration.
constexpr rtl::TColor PaletteRGB[XLS_COLOR_COUNT] = {
    0x000000, 0x003399, 0x003333, 0x003300, 0x663300, 0x800000, 0x993333, 0x333333, 0x000080, 0x0066FF,
    0x008080, 0x008000, 0x808000, 0xFF0000, 0x996666, 0x808080, 0x0000FF, 0x0099FF, 0x00CC99, 0x669933,
    0xCCCC33, 0xFF6633, 0x800080, 0x969696, 0xFF00FF, 0x00CCFF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFFCC00,
    0x663399, 0xC0C0C0, 0xCC99FF, 0x99CCFF, 0x99FFFF, 0xCCFFCC, 0xFFFFCC, 0xFFCC99, 0xFF99CC, 0xFFFFFF,
    0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC, 0x800000, 0xFF00FF,
    0x00FFFF, 0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000};

constexpr std::uint8_t BiffNumber[XLS_COLOR_COUNT] = {8,  60, 59, 58, 56, 18, 62, 63, 16, 53, 19, 17, 21, 12,
                                                      54, 23, 10, 52, 50, 57, 49, 48, 20, 55, 14, 51, 13, 11,
                                                      15, 40, 61, 22, 45, 47, 43, 42, 41, 44, 46, 9,  24, 25,
                                                      26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39};

struct ScreenColor {
    rtl::TColor color;
    TxlsColor xls;
};

constexpr ScreenColor ScreenColors[] = {
    {rtl::clBlack, clrBlack},      {rtl::clMaroon, clrDarkRed},     {rtl::clGreen, clrGreen},
    {rtl::clOlive, clrDarkYellow}, {rtl::clNavy, clrDarkBlue},      {rtl::clPurple, clrViolet},
    {rtl::clTeal, clrTeal},        {rtl::clGray, clrGray50Percent}, {rtl::clSilver, clrGray25Percent},
    {rtl::clRed, clrRed},          {rtl::clLime, clrBrightGreen},   {rtl::clYellow, clrYellow},
    {rtl::clBlue, clrBlue},        {rtl::clFuchsia, clrPink},       {rtl::clAqua, clrTurquoise},
    {rtl::clWhite, clrWhite}};

} // namespace

TxlsColor XlsColorFromOrdinal(int ordinal) {
    return ordinal >= 0 && ordinal < XLS_COLOR_COUNT ? static_cast<TxlsColor>(ordinal) : clrBlack;
}

rtl::TColor XlsColorToColor(TxlsColor color) {
    return PaletteRGB[XlsColorFromOrdinal(color)];
}

std::uint16_t XlsColorNumber(TxlsColor color) {
    return BiffNumber[XlsColorFromOrdinal(color)];
}

TxlsColor ColorToXlsColor(rtl::TColor color) {
    for (const ScreenColor& entry : ScreenColors)
        if (entry.color == color)
            return entry.xls;
    return clrBlack;
}

std::string XlsColorToString(TxlsColor color) {
    return rtl::ColorToString(XlsColorToColor(color));
}

TxlsColor StringToXlsColor(const std::string& text) {
    rtl::TColor rgb;
    try {
        rgb = rtl::StringToColor(text);
    } catch (const std::exception&) {
        return clrBlack;
    }
    for (int i = 0; i < XLS_COLOR_COUNT; ++i)
        if (PaletteRGB[i] == rgb)
            return static_cast<TxlsColor>(i);
    return clrBlack;
}

} // namespace exporter
