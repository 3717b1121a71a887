#pragma once

// Character widths of the PDF standard fonts for the codes 0-255 of WinAnsiEncoding, in thousandths of the
// font size.

#include <array>
#include <cstddef>

namespace exporter {

enum class TPDFFontName {
    poHelvetica,
    poHelveticaBold,
    poHelveticaOblique,
    poHelveticaBoldOblique,
    poCourier,
    poCourierBold,
    poCourierOblique,
    poCourierBoldOblique,
    poTimesRoman,
    poTimesBold,
    poTimesItalic,
    poTimesBoldItalic,
    poSymbol,
    poZapfDingbats
};

using TPDFWidthTable = std::array<int, 256>;

// The widths of the font's glyphs by code. Oblique faces share the widths of their upright faces; every
// Courier face is 600 throughout; Symbol and ZapfDingbats, whose own encodings differ, use the general
// table. Codes without a glyph (controls, unassigned codes) take the width of the space.
const TPDFWidthTable& PDFFontWidths(TPDFFontName font);

// The general table: an average Latin face, for fonts without their own metrics (sum of entries 123990).
const TPDFWidthTable& PDFGeneralWidths();

} // namespace exporter
