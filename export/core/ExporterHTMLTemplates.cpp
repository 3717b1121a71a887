#include "export/core/ExporterHTMLTemplates.h"

#include "platform/rtl/Colors.h"

#include <cstdio>

namespace exporter {

namespace {

// Indexed by THTMLTemplate - 1.
constexpr THTMLTemplateColors kTemplates[] = {
    // htBW
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x000000, "Arial", 0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000,
     0xF3F3F3},
    // htClassic
    {0x993333, 0x7DEF69, 0xFF00FF, 0x00FF00, 0xFFFFFF, "Arial", 0x0000FF, 0xFFFFFF, 0xEC7A00, 0xFFFFFF,
     0xCE6B00},
    // htColorFul
    {0x669933, 0xCC6600, 0xC13F92, 0xFF0000, 0xFFFFFF, "Arial", 0x3300CC, 0xFFFFFF, 0xFFFFFF, 0x000000,
     0x00F1FA},
    // htGray
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x000000, "Arial", 0x808080, 0xFFFFFF, 0xFFFFFF, 0x000000,
     0xEEEEEE},
    // htMS_Money
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x000000, "Arial", 0xB5C6CE, 0x000000, 0xDEE7DE, 0x000000,
     0xF0FBFF},
    // htMurky
    {0x767631, 0x60E7FF, 0x39CCCC, 0x00FFFF, 0xFFFFFF, "Arial", 0x93933A, 0xFFFFFF, 0x626227, 0x60E7FF,
     0x007836},
    // htOlive
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x5F605F, "Arial", 0x90C8CF, 0x000000, 0xFFFFFF, 0x5F605F,
     0xCFFFFF},
    // htPlain
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x000000, "Arial", 0xE68F06, 0xFFFFFF, 0xFFFFFF, 0x000000,
     0xD9FCFF},
    // htSimple
    {0xFFFFFF, 0x0000FF, 0x800080, 0xFF0000, 0x804000, "Arial", 0x996633, 0xFFFFFF, 0xFFFFFF, 0x000000,
     0xCFFFFF},
};

} // namespace

const THTMLTemplateColors* HTMLTemplateColors(THTMLTemplate htmlTemplate) {
    const int index = int(htmlTemplate) - 1;
    if (index < 0 || index >= int(std::size(kTemplates)))
        return nullptr;
    return &kTemplates[index];
}

std::string ColorToHTML(TExportColor color) {
    const unsigned int rgb = static_cast<unsigned int>(rtl::ColorToRGB(rtl::TColor(color))) & 0xFFFFFF;
    const unsigned int html = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    char text[16];
    std::snprintf(text, sizeof text, "#%.6X", html);
    return text;
}

} // namespace exporter
