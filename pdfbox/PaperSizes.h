#pragma once

#include <string_view>

namespace pdfbox {

// One entry of the paper-size table: the Windows printer paper code is the entry's number.
struct TPaperSize {
    std::string_view Name;
    int Width;  // tenths of a millimetre
    int Height; // tenths of a millimetre
};

constexpr int CustomPaperSize = 0;
constexpr int LetterPaperSize = 1;
constexpr int A4PaperSize = 9;
constexpr int MaxPaperSize = 41;

// The entry of number 0..MaxPaperSize; the caller checks the range.
const TPaperSize& PaperSizeEntry(int number);

// The number of the first entry from 1 on whose name equals `name` compared in upper case; -1 when
// there is none ("Custom" is not a name that can be chosen).
int FindPaperSizeByName(std::string_view name);

// The number of the first entry from 1 on whose size matches a paper of `widthMm` by `heightMm`
// millimetres (within half a millimetre, as locales round); -1 when none does.
int FindPaperSizeByMillimetres(int widthMm, int heightMm);

} // namespace pdfbox
