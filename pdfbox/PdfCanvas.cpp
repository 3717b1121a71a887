#include "pdfbox/PdfCanvas.h"

#include "pdfbox/PdfBox.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/SysUtils.h"

#include <numbers>

namespace pdfbox {

TPdfCanvas::TPdfCanvas(TPdfBox& box, int pixelsPerInch)
    : box_(box), pixelsPerInch_(pixelsPerInch),
      rootBookmark_(std::unique_ptr<TBookmark>(new TBookmark(*this, nullptr))) {
    SetCurrentStyle(nullptr);
}

TPdfCanvas::~TPdfCanvas() = default;

void TPdfCanvas::SetEnableOutput(bool enable) {
    if (box_.Opened())
        RaisePropertyError("Can't modify property when opened", "EnableOutput");
    enableOutput_ = enable;
}

TPdfStyle* TPdfCanvas::FindStyle(std::string_view name, bool create) {
    if (name.empty())
        return nullptr;
    for (const auto& style : styles_)
        if (rtl::SameText(style->Name(), name))
            return style.get();
    if (!create)
        RaisePropertyError("Invalid style name", name);
    styles_.push_back(std::unique_ptr<TPdfStyle>(new TPdfStyle(*this, std::string(name))));
    return styles_.back().get();
}

void TPdfCanvas::SetCurrentStyle(TPdfStyle* style) {
    TPdfFont font;
    double characterSpacing = 0;
    double fontAngle = 0;
    double lineSpacing = 0;
    if (style != nullptr) {
        style->ApplyFont(font);
        characterSpacing = style->GetInteger("CharacterSpacing", 0);
        fontAngle = style->GetInteger("FontDegreeAngle", 0) * std::numbers::pi / 180.0;
        lineSpacing = style->GetInteger("LineSpacing", 0);
    }
    currentStyle_ = style;
    font_ = font;
    SetCharacterSpacing(characterSpacing);
    fontAngle_ = fontAngle;
    lineSpacing_ = lineSpacing;
}

void TPdfCanvas::SetCharacterSpacing(double spacing) {
    if (spacing == characterSpacing_)
        return;
    characterSpacing_ = spacing;
    const double points = spacing * box_.UnitToPoints();
    pendingOperators_.push_back(rtl::FormatFloat("0.###", points, rtl::LocaleFacts::Default()) + " Tc");
}

void TPdfCanvas::RaisePropertyError(std::string_view message, std::string_view property) const {
    box_.RaisePropertyError(message, property);
}

void TPdfCanvas::RaiseError(std::string_view message) const {
    box_.RaiseError(message);
}

void TPdfCanvas::Reset() {
    currentStyle_ = nullptr;
    font_ = TPdfFont();
    characterSpacing_ = 0;
    fontAngle_ = 0;
    lineSpacing_ = 0;
    pendingOperators_.clear();
    rootBookmark_->ClearChildren();
}

} // namespace pdfbox
