#pragma once

// The classes that have an icon, their numbers, and the strip that holds the icons.

#include "platform/tolvex/tolvex.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tolvex {

class IconCatalogue {
public:
    // The one catalogue of the library, drawn on first use.
    static const IconCatalogue& Instance();

    int Count() const;
    // Icon number of a class (ASCII case ignored), -1 when it has none.
    int NumberOf(std::string_view className) const;
    // Class name of an icon number, nullptr when out of range.
    const char* NameOf(int number) const;
    // The whole strip, TOLVEX_STRIP_RGBA32.
    const TolvexIconStrip& Strip() const { return strip_; }
    // The pixels of one icon, TOLVEX_ICON_SIZE rows of TOLVEX_ICON_SIZE pixels.
    std::vector<uint8_t> IconPixels(int number) const;

private:
    IconCatalogue();

    std::vector<uint8_t> pixels_;
    TolvexIconStrip strip_{};
};

} // namespace tolvex
