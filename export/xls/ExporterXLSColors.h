#pragma once

#include "platform/rtl/Colors.h"

#include <cstdint>
#include <string>

namespace exporter {

// The 56 colours of the workbook palette: 40 named colours, then 16 free ones.
enum TxlsColor : std::uint8_t {
    clrBlack,
    clrBrown,
    clrOliveGreen,
    clrDarkGreen,
    clrDarkTeal,
    clrDarkBlue,
    clrIndigo,
    clrGray80Percent,
    clrDarkRed,
    clrOrange,
    clrDarkYellow,
    clrGreen,
    clrTeal,
    clrBlue,
    clrBlueGray,
    clrGray50Percent,
    clrRed,
    clrLightOrange,
    clrLime,
    clrSeaGreen,
    clrAqua,
    clrLightBlue,
    clrViolet,
    clrGray40Percent,
    clrPink,
    clrGold,
    clrYellow,
    clrBrightGreen,
    clrTurquoise,
    clrSkyBlue,
    clrPlum,
    clrGray25Percent,
    clrRose,
    clrTan,
    clrLightYellow,
    clrLightGreen,
    clrLightTurquoise,
    clrPaleBlue,
    clrLavender,
    clrWhite,
    clrColor1,
    clrColor2,
    clrColor3,
    clrColor4,
    clrColor5,
    clrColor6,
    clrColor7,
    clrColor8,
    clrColor9,
    clrColor10,
    clrColor11,
    clrColor12,
    clrColor13,
    clrColor14,
    clrColor15,
    clrColor16
};

constexpr int XLS_COLOR_COUNT = 56;

// A palette index read from outside (a file, an option) as a colour; out of range gives clrBlack.
TxlsColor XlsColorFromOrdinal(int ordinal);
// The colour's fixed RGB value (red in the low byte).
rtl::TColor XlsColorToColor(TxlsColor color);
// The BIFF colour number (8 to 63) the colour is written as.
std::uint16_t XlsColorNumber(TxlsColor color);
// The palette colour of one of the 16 standard screen colours (black, maroon, ... white); every
// other colour gives clrBlack.
TxlsColor ColorToXlsColor(rtl::TColor color);
// The colour-to-string text of the colour's RGB value ("clBlack", "$00003399").
std::string XlsColorToString(TxlsColor color);
// The first palette colour whose RGB value the text names; clrBlack when none has it or the text
// is no colour at all.
TxlsColor StringToXlsColor(const std::string& text);

} // namespace exporter
