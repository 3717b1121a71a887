#pragma once

// The colour presets of the HTML exporter and the HTML form of a colour.

#include "export/core/ExporterTypes.h"

#include <string>

namespace exporter {

enum class THTMLTemplate {
    htCustom,
    htBW,
    htClassic,
    htColorFul,
    htGray,
    htMS_Money,
    htMurky,
    htOlive,
    htPlain,
    htSimple
};

// The colours and font of one preset.
struct THTMLTemplateColors {
    TExportColor BackgroundColor;
    TExportColor LinkColor;
    TExportColor VLinkColor;
    TExportColor ALinkColor;
    TExportColor TextColor;
    const char* FontName;
    TExportColor HeadersRowBgColor;
    TExportColor HeadersRowFontColor;
    TExportColor TableBgColor;
    TExportColor TableFontColor;
    TExportColor OddRowBgColor;
};

// The preset of a template; null for htCustom (and anything outside the nine presets).
const THTMLTemplateColors* HTMLTemplateColors(THTMLTemplate htmlTemplate);

// "#RRGGBB" (upper-case digits) of a colour $00BBGGRR; a system colour is resolved first.
std::string ColorToHTML(TExportColor color);

} // namespace exporter
