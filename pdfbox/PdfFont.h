#pragma once

#include "pdfbox/FontCharsets.h"
#include "platform/rtl/Colors.h"

#include <string>

namespace pdfbox {

// Style bits of a font.
enum TFontStyle : unsigned {
    fsBold = 1u << 0,
    fsItalic = 1u << 1,
    fsUnderline = 1u << 2,
    fsStrikeOut = 1u << 3,
};

// The canvas's current font.
struct TPdfFont {
    std::string Name = "Arial";
    int Size = 10;
    int Charset = DefaultFontCharset;
    unsigned Style = 0; // TFontStyle bits
    rtl::TColor Color = rtl::clBlack;

    bool Has(TFontStyle bit) const { return (Style & bit) != 0; }
    friend bool operator==(const TPdfFont&, const TPdfFont&) = default;
};

} // namespace pdfbox
