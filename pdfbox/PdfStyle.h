#pragma once

#include "pdfbox/PdfFont.h"
#include "platform/rtl/Colors.h"
#include "platform/rtl/StringList.h"

#include <optional>
#include <string>
#include <string_view>

namespace pdfbox {

class TPdfCanvas;

// A colour setting of a style: empty is black; a text beginning with a character below "A" is
// "red, green, blue" (each 0..255); anything else is a colour name without its "cl". Empty when the
// text is neither.
std::optional<rtl::TColor> ParseStyleColor(std::string_view text);

// A named set of "key=value" settings (FontName, FontSize, FontColor, ...) on a canvas. A setting a
// style leaves empty comes from its parent style. Styles are made and owned by their canvas
// (TPdfCanvas::FindStyle).
class TPdfStyle {
public:
    TPdfStyle(const TPdfStyle&) = delete;
    TPdfStyle& operator=(const TPdfStyle&) = delete;

    const std::string& Name() const { return name_; }
    TPdfCanvas& Canvas() const { return canvas_; }

    TPdfStyle* Parent() const { return parent_; }
    // Refused ("Invalid property value: Parent") for a style of another canvas or one that would make
    // the style its own ancestor.
    void SetParent(TPdfStyle* parent);

    rtl::TStringList& Settings() { return settings_; }
    const rtl::TStringList& Settings() const { return settings_; }

    // The style's value of `key`; when empty, the parent's; without parent `defaultValue`.
    std::string GetValue(std::string_view key, std::string_view defaultValue) const;
    // GetValue as a strict integer; refused ("Numeric value expected for style parameter: <key>") for
    // a value that is not one.
    int GetInteger(std::string_view key, int defaultValue) const;

    // Sets `font` from FontName, FontSize, FontColor, FontBold, FontItalic, FontUnderline,
    // FontStrikeOut and FontCharset.
    void ApplyFont(TPdfFont& font) const;

private:
    friend class TPdfCanvas;
    TPdfStyle(TPdfCanvas& canvas, std::string name);

    unsigned StyleBit(std::string_view key, TFontStyle bit) const;

    TPdfCanvas& canvas_;
    std::string name_;
    TPdfStyle* parent_ = nullptr;
    rtl::TStringList settings_;
};

} // namespace pdfbox
