#include "export/xls/ExporterXLSFormats.h"

#include "platform/ini/IniFile.h"
#include "platform/rtl/SysUtils.h"

namespace exporter {

namespace {

// An ordinal read from a file: the default when it is not a value of the enumeration.
template <class E> E ordinalOr(int value, int last, E def) {
    return value >= 0 && value <= last ? static_cast<E>(value) : def;
}

TxlsColor readColor(const ini::IniFile& ini, const std::string& section, const std::string& key,
                    TxlsColor def) {
    return StringToXlsColor(ini.ReadString(section, key, XlsColorToString(def)));
}

void setStyle(TxlsFont& font, TxlsFontStyle style, bool on) {
    font.Style = on ? (font.Style | style) : (font.Style & ~static_cast<TxlsFontStyles>(style));
}

// The font keys shared by cell and note formats.
void saveFont(ini::IniFile& ini, const std::string& section, const TxlsFont& font) {
    ini.WriteString(section, "FontName", font.Name);
    ini.WriteInteger(section, "FontSize", font.Size);
    ini.WriteString(section, "FontColor", XlsColorToString(font.Color));
    ini.WriteBool(section, "FontBold", font.Has(xfsBold));
    ini.WriteBool(section, "FontItalic", font.Has(xfsItalic));
    ini.WriteBool(section, "FontStrikeOut", font.Has(xfsStrikeOut));
    ini.WriteInteger(section, "FontUnderline", font.Underline);
}

void loadFont(const ini::IniFile& ini, const std::string& section, TxlsFont& font, const TxlsFont& defaults) {
    font.Name = ini.ReadString(section, "FontName", defaults.Name);
    font.Size = ini.ReadInteger(section, "FontSize", defaults.Size);
    font.Color = readColor(ini, section, "FontColor", defaults.Color);
    setStyle(font, xfsBold, ini.ReadBool(section, "FontBold", defaults.Has(xfsBold)));
    setStyle(font, xfsItalic, ini.ReadBool(section, "FontItalic", defaults.Has(xfsItalic)));
    setStyle(font, xfsStrikeOut, ini.ReadBool(section, "FontStrikeOut", defaults.Has(xfsStrikeOut)));
    font.Underline = ordinalOr(ini.ReadInteger(section, "FontUnderline", defaults.Underline),
                               fulDoubleAccounting, defaults.Underline);
}

void saveAlignment(ini::IniFile& ini, const std::string& section, const TxlsAlignment& alignment) {
    ini.WriteInteger(section, "HorAlignment", alignment.Horizontal);
    ini.WriteInteger(section, "VertAlignment", alignment.Vertical);
}

void loadAlignment(const ini::IniFile& ini, const std::string& section, TxlsAlignment& alignment,
                   const TxlsAlignment& defaults) {
    alignment.Horizontal = ordinalOr(ini.ReadInteger(section, "HorAlignment", defaults.Horizontal), halFill,
                                     defaults.Horizontal);
    alignment.Vertical = ordinalOr(ini.ReadInteger(section, "VertAlignment", defaults.Vertical), valJustify,
                                   defaults.Vertical);
}

TxlsFont noteDefaultFont() {
    TxlsFont font;
    font.Name = "Tahoma";
    font.Size = 8;
    font.Style = xfsBold;
    return font;
}

} // namespace

void TxlsFont::Assign(const TxlsFont& source) {
    Size = source.Size;
    Style = source.Style;
    Color = source.Color;
    Script = source.Script;
    Underline = source.Underline;
    Charset = source.Charset;
    Name = source.Name;
}

bool TxlsFont::Equals(const TxlsFont& other) const {
    return Size == other.Size && Style == other.Style && Color == other.Color && Script == other.Script &&
           Underline == other.Underline && Charset == other.Charset && Name == other.Name;
}

bool TxlsBorders::AnyStyled() const {
    for (const TxlsBorder* border : {&Left, &Right, &Top, &Bottom, &DiagDown, &DiagUp})
        if (border->Style != bstNone)
            return true;
    return false;
}

std::string TxlsCustomItem::GetDisplayName() const {
    return "";
}

int TxlsCustomItem::Index() const {
    return collection_ ? collection_->IndexOf(this) : -1;
}

int TxlsCollectionBase::IndexOf(const TxlsCustomItem* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == item)
            return static_cast<int>(i);
    return -1;
}

TxlsCustomItem& TxlsCollectionBase::AddItem(std::unique_ptr<TxlsCustomItem> item) {
    item->collection_ = this;
    items_.push_back(std::move(item));
    return *items_.back();
}

std::string TxlsFormat::GetDisplayName() const {
    const auto* formats = dynamic_cast<const TxlsFormats*>(Collection());
    if (formats && formats->StripStyles())
        return "StripStyle_" + std::to_string(Index());
    return ClassName();
}

void TxlsFormat::SetDefault() {
    Font.SetDefault();
    Borders = TxlsBorders{};
    Fill = TxlsFill{};
    Alignment = TxlsAlignment{};
    Wrap = false;
}

bool TxlsFormat::IsDefault() const {
    return Font.IsDefault() && Borders == TxlsBorders{} && Fill == TxlsFill{} &&
           Alignment == TxlsAlignment{} && !Wrap;
}

void TxlsFormat::Assign(const TxlsFormat& source) {
    Font.Assign(source.Font);
    Borders = source.Borders;
    Fill = source.Fill;
    Alignment = source.Alignment;
    Wrap = source.Wrap;
}

void TxlsFormat::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    saveFont(ini, section, Font);
    saveAlignment(ini, section, Alignment);
    ini.WriteInteger(section, "BorderTop", Borders.Top.Style);
    ini.WriteInteger(section, "BorderBottom", Borders.Bottom.Style);
    ini.WriteInteger(section, "BorderLeft", Borders.Left.Style);
    ini.WriteInteger(section, "BorderRight", Borders.Right.Style);
    ini.WriteString(section, "BorderTopColor", XlsColorToString(Borders.Top.Color));
    ini.WriteString(section, "BorderBottomColor", XlsColorToString(Borders.Bottom.Color));
    ini.WriteString(section, "BorderLeftColor", XlsColorToString(Borders.Left.Color));
    ini.WriteString(section, "BorderRightColor", XlsColorToString(Borders.Right.Color));
    ini.WriteInteger(section, "FillPattern", Fill.Pattern);
    ini.WriteString(section, "FillBackground", XlsColorToString(Fill.Background));
    ini.WriteString(section, "FillForeground", XlsColorToString(Fill.Foreground));
}

void TxlsFormat::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    loadFont(ini, section, Font, TxlsFont{});
    loadAlignment(ini, section, Alignment, TxlsAlignment{});
    auto borderStyle = [&](const char* key) {
        return ordinalOr(ini.ReadInteger(section, key, bstNone), bstSlantedDashDot, bstNone);
    };
    Borders.Top.Style = borderStyle("BorderTop");
    Borders.Bottom.Style = borderStyle("BorderBottom");
    Borders.Left.Style = borderStyle("BorderLeft");
    Borders.Right.Style = borderStyle("BorderRight");
    Borders.Top.Color = readColor(ini, section, "BorderTopColor", clrBlack);
    Borders.Bottom.Color = readColor(ini, section, "BorderBottomColor", clrBlack);
    Borders.Left.Color = readColor(ini, section, "BorderLeftColor", clrBlack);
    Borders.Right.Color = readColor(ini, section, "BorderRightColor", clrBlack);
    Fill.Pattern = ordinalOr(ini.ReadInteger(section, "FillPattern", ptNone), ptThinThinSpots, ptNone);
    Fill.Background = readColor(ini, section, "FillBackground", clrWhite);
    Fill.Foreground = readColor(ini, section, "FillForeground", clrBlack);
}

std::string TxlsFieldFormat::GetDisplayName() const {
    return FieldName.empty() ? TxlsFormat::GetDisplayName() : FieldName;
}

void TxlsFieldFormat::SetDefault() {
    TxlsFormat::SetDefault();
    FieldName.clear();
    Width = 0;
    Aggregate = aggNone;
}

bool TxlsFieldFormat::IsDefault() const {
    return TxlsFormat::IsDefault() && FieldName.empty() && Width == 0 && Aggregate == aggNone;
}

void TxlsFieldFormat::Assign(const TxlsFormat& source) {
    TxlsFormat::Assign(source);
    if (const auto* field = dynamic_cast<const TxlsFieldFormat*>(&source)) {
        FieldName = field->FieldName;
        Width = field->Width;
        Aggregate = field->Aggregate;
    }
}

void TxlsFieldFormat::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    TxlsFormat::SaveToIni(ini, section);
    ini.WriteInteger(section, "Aggregate", Aggregate);
}

void TxlsFieldFormat::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    TxlsFormat::LoadFromIni(ini, section);
    Aggregate = ordinalOr(ini.ReadInteger(section, "Aggregate", aggNone), aggMax, aggNone);
}

void TxlsNoteFormat::SetDefault() {
    Alignment = TxlsAlignment{halLeft, valTop};
    BackgroundColor = DefaultNoteColor;
    ForegroundColor = DefaultNoteColor;
    FillType = nftSolid;
    Font.Assign(noteDefaultFont());
    Transparency = 0;
    Orientation = xrtNoRotation;
    Gradient = ngrHorizontal;
}

void TxlsNoteFormat::Assign(const TxlsNoteFormat& source) {
    Alignment = source.Alignment;
    BackgroundColor = source.BackgroundColor;
    ForegroundColor = source.ForegroundColor;
    FillType = source.FillType;
    Font.Assign(source.Font);
    Transparency = source.Transparency;
    Orientation = source.Orientation;
    Gradient = source.Gradient;
}

bool TxlsNoteFormat::Equals(const TxlsNoteFormat& other) const {
    return Alignment == other.Alignment && BackgroundColor == other.BackgroundColor &&
           ForegroundColor == other.ForegroundColor && FillType == other.FillType &&
           Font.Equals(other.Font) && Transparency == other.Transparency &&
           Orientation == other.Orientation && Gradient == other.Gradient;
}

void TxlsNoteFormat::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    saveFont(ini, section, Font);
    saveAlignment(ini, section, Alignment);
    ini.WriteInteger(section, "BackgroundColor", BackgroundColor);
    ini.WriteInteger(section, "ForegroundColor", ForegroundColor);
    ini.WriteInteger(section, "FillType", FillType);
    ini.WriteInteger(section, "Transparency", Transparency);
    ini.WriteInteger(section, "Orientation", Orientation);
    ini.WriteInteger(section, "Gradient", Gradient);
}

void TxlsNoteFormat::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    const TxlsNoteFormat defaults;
    loadFont(ini, section, Font, defaults.Font);
    loadAlignment(ini, section, Alignment, defaults.Alignment);
    BackgroundColor = ini.ReadInteger(section, "BackgroundColor", defaults.BackgroundColor);
    ForegroundColor = ini.ReadInteger(section, "ForegroundColor", defaults.ForegroundColor);
    FillType =
        ordinalOr(ini.ReadInteger(section, "FillType", defaults.FillType), nftGradient, defaults.FillType);
    Transparency = ordinalOr<TxlsPercent>(ini.ReadInteger(section, "Transparency", defaults.Transparency),
                                          100, defaults.Transparency);
    Orientation = ordinalOr(ini.ReadInteger(section, "Orientation", defaults.Orientation), xlrClockWise,
                            defaults.Orientation);
    Gradient =
        ordinalOr(ini.ReadInteger(section, "Gradient", defaults.Gradient), ngrFromCenter, defaults.Gradient);
}

int TxlsFieldFormats::IndexOf(const std::string& fieldName) const {
    for (std::size_t i = 0; i < Count(); ++i)
        if (rtl::SameText(Items(i).FieldName, fieldName))
            return static_cast<int>(i);
    return -1;
}

void AssignScreenFont(TxlsFont& font, const TxlsScreenFont& source) {
    font.Size = source.Size;
    font.Style = (source.Bold ? xfsBold : 0u) | (source.Italic ? xfsItalic : 0u) |
                 (source.StrikeOut ? xfsStrikeOut : 0u);
    font.Underline = source.Underline ? fulSingle : fulNone;
    font.Script = fscNone;
    font.Charset = source.Charset;
    font.Name = source.Name;
    font.Color = ColorToXlsColor(source.Color);
}

TxlsScreenFont ToScreenFont(const TxlsFont& font) {
    TxlsScreenFont screen;
    screen.Name = font.Name;
    screen.Size = font.Size;
    screen.Color = XlsColorToColor(font.Color);
    screen.Charset = font.Charset;
    screen.Bold = font.Has(xfsBold);
    screen.Italic = font.Has(xfsItalic);
    screen.StrikeOut = font.Has(xfsStrikeOut);
    screen.Underline = font.Underline != fulNone;
    return screen;
}

} // namespace exporter
