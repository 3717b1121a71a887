#include "pdfbox/PdfStyle.h"

#include "pdfbox/PdfCanvas.h"
#include "platform/rtl/SysUtils.h"

#include <vector>

namespace pdfbox {

namespace {

std::optional<int> ColorComponent(std::string_view text) {
    std::int32_t value = 0;
    if (!rtl::TryStrToInt(rtl::Trim(text), value) || value < 0 || value > 255)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<rtl::TColor> ParseStyleColor(std::string_view text) {
    if (text.empty())
        return rtl::clBlack;
    if (static_cast<unsigned char>(text.front()) < 'A') {
        std::vector<std::string_view> parts;
        std::size_t start = 0;
        for (std::size_t comma = text.find(','); comma != std::string_view::npos;
             comma = text.find(',', start)) {
            parts.push_back(text.substr(start, comma - start));
            start = comma + 1;
        }
        parts.push_back(text.substr(start));
        if (parts.size() != 3)
            return std::nullopt;
        const auto red = ColorComponent(parts[0]);
        const auto green = ColorComponent(parts[1]);
        const auto blue = ColorComponent(parts[2]);
        if (!red || !green || !blue)
            return std::nullopt;
        return rtl::RGB(*red, *green, *blue);
    }
    rtl::TColor color = rtl::clBlack;
    if (!rtl::IdentToColor("cl" + std::string(text), color))
        return std::nullopt;
    return color;
}

TPdfStyle::TPdfStyle(TPdfCanvas& canvas, std::string name) : canvas_(canvas), name_(std::move(name)) {}

void TPdfStyle::SetParent(TPdfStyle* parent) {
    for (const TPdfStyle* ancestor = parent; ancestor != nullptr; ancestor = ancestor->parent_)
        if (ancestor == this)
            canvas_.RaisePropertyError("Invalid property value", "Parent");
    if (parent != nullptr && &parent->canvas_ != &canvas_)
        canvas_.RaisePropertyError("Invalid property value", "Parent");
    parent_ = parent;
}

std::string TPdfStyle::GetValue(std::string_view key, std::string_view defaultValue) const {
    std::string value = settings_.Values(key);
    if (!value.empty())
        return value;
    if (parent_ != nullptr)
        return parent_->GetValue(key, defaultValue);
    return std::string(defaultValue);
}

int TPdfStyle::GetInteger(std::string_view key, int defaultValue) const {
    const std::string value = GetValue(key, "");
    if (value.empty())
        return defaultValue;
    std::int32_t number = 0;
    if (!rtl::TryStrToInt(value, number))
        canvas_.RaisePropertyError("Numeric value expected for style parameter", key);
    return number;
}

unsigned TPdfStyle::StyleBit(std::string_view key, TFontStyle bit) const {
    return GetInteger(key, 0) == 1 ? bit : 0u;
}

void TPdfStyle::ApplyFont(TPdfFont& font) const {
    TPdfFont applied;
    applied.Name = GetValue("FontName", "Arial");
    applied.Size = GetInteger("FontSize", 10);
    const std::string colorText = GetValue("FontColor", "Black");
    const std::optional<rtl::TColor> color = ParseStyleColor(colorText);
    if (!color)
        canvas_.RaiseError("Invalid color specification");
    applied.Color = *color;
    applied.Style = StyleBit("FontBold", fsBold) | StyleBit("FontItalic", fsItalic) |
                    StyleBit("FontUnderline", fsUnderline) | StyleBit("FontStrikeOut", fsStrikeOut);
    const std::string charset = GetValue("FontCharset", "");
    applied.Charset = FontCharsetByName(charset).value_or(DefaultFontCharset);
    font = applied;
}

} // namespace pdfbox
