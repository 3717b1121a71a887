#include "export/xls/ExporterXLSFormatTables.h"

#include "export/xls/ExporterXLSUtils.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace exporter {

namespace {

// Used-attribute flags in the word at +8 of an XF.
constexpr std::uint16_t UsedFont = 0x0800;
constexpr std::uint16_t UsedAlignment = 0x1000;
constexpr std::uint16_t UsedBorder = 0x2000;
constexpr std::uint16_t UsedPattern = 0x4000;

bool sameNumberFormat(const TxlsTextFormat* a, const TxlsTextFormat* b) {
    if (!a || !b)
        return a == b;
    return a->Text == b->Text;
}

bool sameFont(const TxlsFont* a, const TxlsFont* b) {
    if (!a || !b)
        return a == b;
    return a->Equals(*b);
}

std::uint8_t underlineByte(TxlsFontUnderline underline) {
    switch (underline) {
    case fulSingle:
        return 0x01;
    case fulDouble:
        return 0x02;
    case fulSingleAccounting:
        return 0x21;
    case fulDoubleAccounting:
        return 0x22;
    default:
        return 0;
    }
}

} // namespace

const std::uint8_t DefaultCellXFBytes[TbiffXF::Size] = {0, 0, 0, 0, 0x01, 0x00, 0x20, 0, 0,    0,
                                                        0, 0, 0, 0, 0,    0,    0,    0, 0xC0, 0x20};

const TxlsFont* TxlsFontList::Find(const TxlsFont& font) const {
    for (const auto& item : items_)
        if (item->Equals(font))
            return item.get();
    return nullptr;
}

const TxlsFont& TxlsFontList::Add(const TxlsFont& font) {
    auto copy = std::make_unique<TxlsFont>();
    copy->Assign(font);
    copy->Index = ++lastIndex_;
    items_.push_back(std::move(copy));
    return *items_.back();
}

const TxlsTextFormat* TxlsTextFormatList::Find(const std::string& text) const {
    for (const auto& item : items_)
        if (item->Text == text)
            return item.get();
    return nullptr;
}

const TxlsTextFormat& TxlsTextFormatList::Add(const std::string& text) {
    items_.push_back(std::make_unique<TxlsTextFormat>(TxlsTextFormat{++lastIndex_, text}));
    return *items_.back();
}

void TxlsXFormatFieldList::Add(int index, const std::string& fieldName, const TxlsXFormat* xFormat) {
    items_.push_back({index, fieldName, xFormat});
}

const TxlsXFormat* TxlsXFormatFieldList::Find(int index, const std::string& fieldName) const {
    for (const Entry& entry : items_)
        if (entry.Index == index && rtl::SameText(entry.FieldName, fieldName))
            return entry.XFormat;
    return nullptr;
}

void TxlsXFormatColRowList::Add(int key1, int key2, const TxlsXFormat* xFormat) {
    items_.push_back({key1, key2, xFormat});
}

const TxlsXFormat* TxlsXFormatColRowList::Find(int key1, int key2) const {
    for (const Entry& entry : items_)
        if (entry.Key1 == key1 && entry.Key2 == key2)
            return entry.XFormat;
    return nullptr;
}

std::uint16_t TxlsFormatTables::GetXFIndex(const std::string& numberFormat, const TxlsFormat* format) {
    const std::string text = numberFormat.empty() ? "General" : numberFormat;
    if (text == "General" && !format)
        return DefaultCellXF;

    // The candidate, with a font and number format of its own until it is entered.
    TxlsTextFormat candidateNumberFormat{0, text};
    TxlsFont candidateFont;
    TxlsXFormat candidate;
    if (text != "General")
        candidate.NumberFormat = &candidateNumberFormat;
    if (format) {
        candidate.Borders = format->Borders;
        candidate.Fill = format->Fill;
        candidate.Alignment = format->Alignment;
        candidate.Wrap = format->Wrap;
        if (!format->Font.IsDefault()) {
            candidateFont.Assign(format->Font);
            candidate.Font = &candidateFont;
        }
    }
    for (const auto& entry : xFormats_.items_)
        if (sameNumberFormat(entry->NumberFormat, candidate.NumberFormat) &&
            sameFont(entry->Font, candidate.Font) && entry->Borders == candidate.Borders &&
            entry->Fill == candidate.Fill && entry->Alignment == candidate.Alignment &&
            entry->Wrap == candidate.Wrap)
            return entry->Index;

    if (candidate.Font) {
        const TxlsFont* font = fonts_.Find(candidateFont);
        candidate.Font = font ? font : &fonts_.Add(candidateFont);
    }
    if (candidate.NumberFormat) {
        const TxlsTextFormat* entry = numberFormats_.Find(text);
        candidate.NumberFormat = entry ? entry : &numberFormats_.Add(text);
    }
    candidate.Index = ++xFormats_.lastIndex_;
    xFormats_.items_.push_back(std::make_unique<TxlsXFormat>(candidate));
    return candidate.Index;
}

const TxlsXFormat* TxlsFormatTables::FindXFormat(std::uint16_t index) const {
    for (const auto& entry : xFormats_.items_)
        if (entry->Index == index)
            return entry.get();
    return nullptr;
}

void AssignXFormat(TxlsFormat& format, const TxlsXFormat& xFormat) {
    format.Font.Assign(xFormat.Font ? *xFormat.Font : TxlsFont{});
    format.Borders = xFormat.Borders;
    format.Fill = xFormat.Fill;
    format.Alignment = xFormat.Alignment;
    format.Wrap = xFormat.Wrap;
}

std::unique_ptr<TbiffXF> BuildXFRecord(const void* owner, const TxlsXFormat& xf) {
    auto record = std::make_unique<TbiffXF>(owner, DefaultCellXFBytes);
    auto& data = record->Data();
    std::uint16_t used = GetWord(data, 8) | UsedPattern;

    // As the user sees it in the format editor: a solid cell shows Background; a pattern draws
    // Foreground dots over a Background base. The record's pattern colour is drawn by the dots
    // (and fills a solid cell), its background colour shows between them.
    const bool solid = xf.Fill.Pattern == ptSolid || xf.Fill.Pattern == ptNone;
    const TxlsColor dots = solid ? xf.Fill.Background : xf.Fill.Foreground;
    const TxlsColor base = solid ? xf.Fill.Foreground : xf.Fill.Background;
    record->SetPatternColors(static_cast<std::uint16_t>(XlsColorNumber(dots) | XlsColorNumber(base) << 7));
    std::uint32_t other = std::uint32_t(xf.Fill.Pattern) << 26;

    if (xf.Font) {
        record->SetFontIndex(xf.Font->Index);
        used |= UsedFont;
    }
    record->SetFormatIndex(xf.NumberFormat ? xf.NumberFormat->Index : 0);

    const TxlsBorders& b = xf.Borders;
    if (b.AnyStyled()) {
        used |= UsedBorder;
        record->SetBorderStyles(static_cast<std::uint16_t>(b.Left.Style | b.Right.Style << 4 |
                                                           b.Top.Style << 8 | b.Bottom.Style << 12));
        std::uint16_t sides = 0;
        if (b.Left.Style != bstNone)
            sides |= XlsColorNumber(b.Left.Color);
        if (b.Right.Style != bstNone)
            sides |= XlsColorNumber(b.Right.Color) << 7;
        if (b.DiagDown.Style != bstNone)
            sides |= 0x4000;
        if (b.DiagUp.Style != bstNone)
            sides |= 0x8000;
        record->SetSideBorderColors(sides);
        if (b.Top.Style != bstNone)
            other |= XlsColorNumber(b.Top.Color);
        if (b.Bottom.Style != bstNone)
            other |= std::uint32_t(XlsColorNumber(b.Bottom.Color)) << 7;
        const TxlsBorder* diagonal =
            b.DiagDown.Style != bstNone ? &b.DiagDown : (b.DiagUp.Style != bstNone ? &b.DiagUp : nullptr);
        if (diagonal)
            other |= std::uint32_t(XlsColorNumber(diagonal->Color)) << 14 | std::uint32_t(diagonal->Style)
                                                                                << 21;
    }
    record->SetOtherBorderColorsAndPattern(other);

    used |= UsedAlignment;
    record->SetAlignment(static_cast<std::uint16_t>(xf.Alignment.Horizontal | (xf.Wrap ? 0x08 : 0) |
                                                    xf.Alignment.Vertical << 4));
    record->SetIndentAndUsedAttributes(used);
    return record;
}

std::unique_ptr<TbiffFont> BuildFontRecord(const void* owner, const TxlsFont& font) {
    auto record = std::make_unique<TbiffFont>(owner, Utf8ToWide(font.Name));
    record->SetHeight(static_cast<std::uint16_t>(std::clamp(font.Size, 1, 409) * 20));
    record->SetOptions(static_cast<std::uint16_t>((font.Has(xfsItalic) ? 0x0002 : 0) |
                                                  (font.Has(xfsStrikeOut) ? 0x0008 : 0)));
    record->SetColorIndex(XlsColorNumber(font.Color));
    record->SetWeight(font.Has(xfsBold) ? 700 : 400);
    record->SetEscapement(font.Script);
    record->SetUnderline(underlineByte(font.Underline));
    record->SetFamily(0);
    record->SetCharset(font.Charset);
    return record;
}

} // namespace exporter
