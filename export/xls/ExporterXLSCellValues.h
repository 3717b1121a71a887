#pragma once

// The numbers and dates that data cells' texts stand for: plain decimal numbers read without the
// general number reader where that gives the same value, and date texts read once per distinct text.

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/LocaleFacts.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace exporter {

// rtl::TryStrToFloat(text, value, facts). A text of at most 19 characters, a sign, digits and a
// decimal separator between digits, whose digits make an integer of at most 2^53 with at most 22 of
// them after the separator, is read directly: both that integer and the power of ten are exact doubles, so their quotient is
// the correctly rounded value the general reader gives too. Every other text goes to the latter.
bool XlsTextToNumber(std::string_view text, double& value,
                     const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());

// rtl::TryStrToDateTime with the current locale facts, remembering the outcome for short texts
// (a data set repeats its dates), except where the value depends on the clock. At most HeldTexts
// outcomes are kept; beyond that the memory starts afresh.
class TxlsDateTexts {
public:
    static constexpr std::size_t HeldTexts = 4096;
    static constexpr std::size_t LongestText = 31;

    bool Read(std::string_view text, rtl::TDateTime& value);
    // Forgets every outcome and frees the memory.
    void Clear();

private:
    struct Slot {
        std::uint32_t Hash = 0;
        std::uint8_t Length = 0; // 0: empty (an empty text is never held)
        bool Valid = false;
        char Text[LongestText] = {};
        rtl::TDateTime Value = 0;
    };
    std::vector<Slot> slots_; // twice HeldTexts, made on first use
    std::size_t held_ = 0;
};

} // namespace exporter
