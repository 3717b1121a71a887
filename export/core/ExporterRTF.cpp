#include "export/core/ExporterRTF.h"

#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace exporter {

namespace {

std::string ReplaceAll(std::string text, const std::string& what, const std::string& by) {
    if (text.find(what) == std::string::npos)
        return text;
    std::string out;
    size_t start = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, start)) {
        out.append(text, start, pos - start);
        out += by;
        start = pos + what.size();
    }
    out.append(text, start, std::string::npos);
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Styles

void TrtfStyle::SetDefault() {
    Font = TExportFont();
    Font.Name = "Arial";
    Font.Size = 10;
    Font.Color = 0;
    BackgroundColor = 0xFFFFFF;
    HighlightColor = 0xFFFFFF;
    AllowHighlight = false;
    AllowBackground = true;
    Alignment = TrtfTextAlignment::talLeft;
}

void TrtfStyle::SaveToIni(ini::IniFile& ini, const std::string& section) const {
    ini.WriteString(section, "FontName", Font.Name);
    ini.WriteInteger(section, "FontSize", Font.Size);
    ini.WriteInteger(section, "FontColor", int(Font.Color));
    ini.WriteBool(section, "FontBold", Font.Bold);
    ini.WriteBool(section, "FontItalic", Font.Italic);
    ini.WriteBool(section, "FontUnderline", Font.Underline);
    ini.WriteBool(section, "FontStrikeOut", Font.StrikeOut);
    ini.WriteInteger(section, "BackgroundColor", int(BackgroundColor));
    ini.WriteInteger(section, "HighlightColor", int(HighlightColor));
    ini.WriteBool(section, "AllowHighlight", AllowHighlight);
    ini.WriteBool(section, "AllowBackground", AllowBackground);
    ini.WriteInteger(section, "Alignment", int(Alignment));
}

void TrtfStyle::LoadFromIni(const ini::IniFile& ini, const std::string& section) {
    Font.Name = ini.ReadString(section, "FontName", Font.Name);
    Font.Size = ini.ReadInteger(section, "FontSize", Font.Size);
    Font.Color = TExportColor(ini.ReadInteger(section, "FontColor", int(Font.Color)));
    Font.Bold = ini.ReadBool(section, "FontBold", Font.Bold);
    Font.Italic = ini.ReadBool(section, "FontItalic", Font.Italic);
    Font.Underline = ini.ReadBool(section, "FontUnderline", Font.Underline);
    Font.StrikeOut = ini.ReadBool(section, "FontStrikeOut", Font.StrikeOut);
    BackgroundColor = TExportColor(ini.ReadInteger(section, "BackgroundColor", int(BackgroundColor)));
    HighlightColor = TExportColor(ini.ReadInteger(section, "HighlightColor", int(HighlightColor)));
    AllowHighlight = ini.ReadBool(section, "AllowHighlight", AllowHighlight);
    AllowBackground = ini.ReadBool(section, "AllowBackground", AllowBackground);
    const int alignment = ini.ReadInteger(section, "Alignment", int(Alignment));
    // An ordinal outside the enumeration keeps the current alignment.
    if (alignment >= int(TrtfTextAlignment::talLeft) && alignment <= int(TrtfTextAlignment::talFill))
        Alignment = TrtfTextAlignment(alignment);
}

TrtfStyle& TrtfStyles::Add() {
    items_.push_back(std::make_unique<TrtfStyle>());
    return *items_.back();
}

void TrtfStyles::Assign(const TrtfStyles& other) {
    if (&other == this)
        return;
    items_.clear();
    for (const auto& item : other.items_)
        items_.push_back(std::make_unique<TrtfStyle>(*item));
}

TRTFOptions::TRTFOptions() {
    CaptionStyle.Assign(DataStyle);
    CaptionStyle.Font.Bold = true;
    CaptionStyle.Alignment = TrtfTextAlignment::talCenter;
}

// ---------------------------------------------------------------------------------------------------
// TRTFWriter

TRTFWriter::TRTFWriter(TExporter& owner, std::ostream& stream)
    : detail::TRTFDocument(), TExportWriter(owner, DocumentStream), target_(stream) {}

TRTFWriter::~TRTFWriter() {
    // An export that ended early still leaves what it wrote. A document that cannot be completed
    // leaves the target stream bad, which fails the file run.
    try {
        Flush();
    } catch (const std::exception&) {
        target_.setstate(std::ios::badbit);
    }
}

void TRTFWriter::Flush() {
    if (flushed_)
        return;
    flushed_ = true;
    FlushBuffer();
    Document.Copy(target_);
}

namespace {

// "\uN?" for one character; characters beyond the 16-bit range as their two UTF-16 surrogates.
void AppendRtfUnicode(std::string& out, char32_t ch) {
    auto unit = [&out](unsigned value) { out += "\\u" + std::to_string(int(std::int16_t(value))) + "?"; };
    if (ch > 0xFFFF && ch <= 0x10FFFF) {
        ch -= 0x10000;
        unit(0xD800 + unsigned(ch >> 10));
        unit(0xDC00 + unsigned(ch & 0x3FF));
    } else {
        unit(unsigned(ch));
    }
}

} // namespace

rtl::TUnmappedCharacter TRTFWriter::UnmappedCharacter() const {
    return AppendRtfUnicode;
}

std::string TRTFWriter::AlignToStr(TExportColAlign align) const {
    switch (align) {
    case TExportColAlign::ecaLeft:
        return "\\ql";
    case TExportColAlign::ecaCenter:
        return "\\qc";
    case TExportColAlign::ecaRight:
        return "\\qr";
    }
    return "";
}

void TRTFWriter::WriteHeader() {
    Write("{");
    WriteLn("\\rtf1\\ansi\\deff0\\deftab720");
}

void TRTFWriter::AddFontItem(int index, const std::string& name) {
    fonts_.push_back({index, "nil", name});
}

void TRTFWriter::AddColorItem(TExportColor color) {
    colors_.push_back(color);
}

std::string TRTFWriter::FontItemText(const FontItem& item) {
    return "{\\f" + std::to_string(item.index) + "\\f" + item.family + " " + item.name + ";}";
}

std::string TRTFWriter::ColorItemText(TExportColor color) {
    return "\\red" + std::to_string(color & 0xFF) + "\\green" + std::to_string((color >> 8) & 0xFF) +
           "\\blue" + std::to_string((color >> 16) & 0xFF) + ";";
}

void TRTFWriter::WriteFontTable() {
    std::string items;
    for (const FontItem& item : fonts_)
        items += FontItemText(item);
    Write("{\\fonttbl" + items);
    FlushBuffer();
    fontTableClose_ = Document.Size();
    WriteLn("}");
}

void TRTFWriter::WriteColorTable() {
    std::string items;
    for (TExportColor color : colors_)
        items += ColorItemText(color);
    Write("{\\colortbl" + items);
    FlushBuffer();
    colorTableClose_ = Document.Size();
    WriteLn("}");
    FlushBuffer();
    DocumentStream.flush();
    Document.StartBody();
}

std::int64_t TRTFWriter::Insert(std::int64_t offset, const std::string& text) {
    const std::string bytes = Encoding() == TExportTextEncoding::Windows1252 ? ToWindows1252(text) : text;
    try {
        Document.InsertIntoHead(offset, bytes);
    } catch (const std::bad_alloc&) {
        throw EExportError("VirtualAlloc failed! :-(");
    }
    return std::int64_t(bytes.size());
}

void TRTFWriter::GetFont(const TExportFont& font, bool writeIt, std::string& text) {
    int index = -1;
    for (const FontItem& item : fonts_) {
        if (rtl::SameText(item.name, font.Name)) {
            index = item.index;
            break;
        }
    }
    if (index < 0) {
        index = 0;
        for (const FontItem& item : fonts_)
            index = IntMax(index, item.index + 1);
        fonts_.push_back({index, "nil", font.Name});
        if (fontTableClose_ >= 0) {
            const std::int64_t grown = Insert(fontTableClose_, FontItemText(fonts_.back()));
            fontTableClose_ += grown;
            if (colorTableClose_ >= 0)
                colorTableClose_ += grown;
        }
    }
    text = "\\f" + std::to_string(index) + "\\fs" + std::to_string(font.Size * 2);
    if (writeIt)
        WriteLn(text);
}

void TRTFWriter::GetColor(TExportColor color, int kind, std::string& text) {
    const TExportColor rgb = color & 0xFFFFFF;
    int index = -1;
    for (size_t i = 0; i < colors_.size(); ++i) {
        if ((colors_[i] & 0xFFFFFF) == rgb) {
            index = int(i);
            break;
        }
    }
    if (index < 0) {
        index = int(colors_.size());
        colors_.push_back(rgb);
        if (colorTableClose_ >= 0)
            colorTableClose_ += Insert(colorTableClose_, ColorItemText(rgb));
    }
    static const char* const words[] = {"\\cf", "\\cbpat", "\\highlight"};
    text = std::string(words[kind >= 0 && kind <= 2 ? kind : 0]) + std::to_string(index);
}

void TRTFWriter::WritePar() {
    WriteLn("\\par");
}

void TRTFWriter::WriteEnd() {
    Write("}");
    Flush();
}

// ---------------------------------------------------------------------------------------------------
// TExporterRTF

std::unique_ptr<TExportWriter> TExporterRTF::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TRTFWriter>(*this, stream);
}

TRTFWriter& TExporterRTF::RtfWriter() {
    return static_cast<TRTFWriter&>(Writer());
}

void TExporterRTF::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    chars.set(static_cast<unsigned char>('\\'));
    chars.set(static_cast<unsigned char>('{'));
    chars.set(static_cast<unsigned char>('}'));
}

namespace {

// A byte that RTF writes otherwise: a control character or one of the format's own.
bool IsRTFSpecial(unsigned char c) {
    return c < 0x20 || c == '\\' || c == '{' || c == '}' || c == 0x7F;
}

} // namespace

bool TExporterRTF::KeepsText(const std::string& s) const {
    return std::none_of(s.begin(), s.end(),
                        [](char c) { return IsRTFSpecial(static_cast<unsigned char>(c)); });
}

std::string TExporterRTF::NormalString(const std::string& s) const {
    static const char hex[] = "0123456789abcdef";
    const auto special = IsRTFSpecial;
    size_t i = 0;
    while (i < s.size() && !special(static_cast<unsigned char>(s[i])))
        ++i;
    if (i == s.size())
        return s;
    std::string out;
    out.reserve(s.size() + 16);
    out.append(s, 0, i);
    for (; i < s.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += char(c);
        } else if (c == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += " \\par ";
            ++i;
        } else if (c == '\r' || c == '\n') {
            out += "\\line ";
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\'";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out;
}

void TExporterRTF::GetColData(const TExportCol& col, std::string& text) {
    EscapeUnformattedValue(col, text);
}

TExporterRTF::StyleParts TExporterRTF::PartsOf(const TrtfStyle& style) {
    TRTFWriter& w = RtfWriter();
    StyleParts parts;
    switch (style.Alignment) {
    case TrtfTextAlignment::talRight:
        parts.Align = "\\qr";
        break;
    case TrtfTextAlignment::talCenter:
        parts.Align = "\\qc";
        break;
    case TrtfTextAlignment::talFill:
        parts.Align = "\\qj";
        break;
    case TrtfTextAlignment::talLeft:
        parts.Align = "\\ql";
        break;
    }
    w.GetFont(style.Font, false, parts.Font);
    w.GetColor(style.Font.Color, 0, parts.FontColor);
    if (style.Font.Bold)
        parts.FontStyles += "\\b";
    if (style.Font.Italic)
        parts.FontStyles += "\\i";
    if (style.Font.Underline)
        parts.FontStyles += "\\ul";
    if (style.Font.StrikeOut)
        parts.FontStyles += "\\strike";
    if (style.AllowBackground)
        w.GetColor(style.BackgroundColor, 1, parts.Background);
    if (style.AllowHighlight)
        w.GetColor(style.HighlightColor, 2, parts.Highlight);
    return parts;
}

void TExporterRTF::WriteTextBlock(const rtl::TStringList& lines, const TrtfStyle& style) {
    TRTFWriter& w = RtfWriter();
    const StyleParts parts = PartsOf(style);
    w.WriteLn("{" + parts.Align + parts.Background + (parts.Background.empty() ? "" : " "));
    const std::string text = parts.Text();
    for (int i = 0; i < lines.Count(); ++i) {
        w.WriteLn("{" + parts.Highlight + text + (text.empty() ? "" : " ") + lines[i] + "}");
        w.WritePar();
    }
    w.WriteLn("}");
}

void TExporterRTF::BeginExport() {
    TExporterFormatText::BeginExport();
    dataCellPrefixes_.clear();
    if (Aborted)
        return;
    TRTFWriter& w = RtfWriter();
    w.WriteHeader();
    w.AddFontItem(0, Options.CaptionStyle.Font.Name);
    w.AddFontItem(1, Options.DataStyle.Font.Name);
    w.WriteFontTable();
    w.AddColorItem(0);
    w.WriteColorTable();
    std::string text;
    w.GetFont(Options.DataStyle.Font, true, text);

    if (Options.PageOrientation == TExportPageOrientation::poLandscape) {
        w.WriteLn("\\landscape");
        w.WriteLn("\\paperw16838");
        w.WriteLn("\\paperh11906");
    } else {
        w.WriteLn("\\paperw11906");
        w.WriteLn("\\paperh16838");
    }

    if (Header.Count() > 0) {
        TrtfStyle style(Options.HeaderStyle);
        if (OnGetHeaderStyle)
            OnGetHeaderStyle(*this, style);
        WriteTextBlock(Header, style);
    }
    w.WritePar();

    w.WriteLn("\\trowd\\trql\\trgaph0\\trleft36");
    const int charWidth = TextMeasure ? TextMeasure("X", Options.CaptionStyle.Font)
                                      : TextWidthOnDisplay("X", Options.CaptionStyle.Font);
    int x = 36;
    for (int i = 0; i < Columns.Count(); ++i) {
        x += Columns[i].Width * charWidth * 15 + 10;
        w.WriteLn("\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth");
        w.WriteLn("\\cellx" + std::to_string(x));
    }
}

void TExporterRTF::BeforeExport() {
    std::string text;
    RtfWriter().GetFont(Options.DataStyle.Font, true, text);
}

std::string TExporterRTF::CaptionCell(int colNo) {
    TExportColAlign align = TExportColAlign::ecaLeft;
    if (Options.CaptionStyle.Alignment == TrtfTextAlignment::talRight)
        align = TExportColAlign::ecaRight;
    else if (Options.CaptionStyle.Alignment == TrtfTextAlignment::talCenter)
        align = TExportColAlign::ecaCenter;
    const std::string given = Options.CaptionAligns.Values(Columns[colNo].Name);
    if (!given.empty()) {
        const char first = char(std::toupper(static_cast<unsigned char>(given[0])));
        align = first == 'C' ? TExportColAlign::ecaCenter
                             : (first == 'R' ? TExportColAlign::ecaRight : TExportColAlign::ecaLeft);
    }
    TrtfStyle style(Options.CaptionStyle);
    if (OnGetCaptionStyle)
        OnGetCaptionStyle(*this, colNo, style);
    const StyleParts parts = PartsOf(style);
    const std::string text = parts.Text();
    return "\\pard\\intbl\\li30\\ri30" + parts.Background + RtfWriter().AlignToStr(align) + "{" +
           parts.Highlight + text + (text.empty() ? "" : " ") + GetColCaption(colNo) + "}\\cell";
}

void TExporterRTF::AppendDataCell(std::string& row, int colNo) {
    std::string& cellText = cellText_;
    ExportRow[colNo].GetText(true, cellText);
    if (cellText.find('\r') != std::string::npos)
        cellText = ReplaceAll(cellText, "\r\n", " \\par ");
    const TrtfStyle* source = &Options.DataStyle;
    int styleIndex = 0; // 0: the data style, 1 + i: strip style i
    const int strips = Options.StripStyles.Count();
    if (Options.StripType != TrtfStripType::stNone && strips > 0) {
        const int i = Options.StripType == TrtfStripType::stCol ? colNo : RecordCounter;
        const int strip = ((i % strips) + strips) % strips;
        source = &Options.StripStyles[strip];
        styleIndex = 1 + strip;
    }
    // Without a style event a style gives the same control words every time (its fonts and colours
    // are in the tables after the first use), so each style and column is worked out once.
    std::string* cached = nullptr;
    if (!OnGetDataStyle) {
        const size_t slot = size_t(styleIndex) * size_t(Columns.Count()) + size_t(colNo);
        if (dataCellPrefixes_.size() <= slot)
            dataCellPrefixes_.resize(size_t(strips + 1) * size_t(Columns.Count()));
        cached = &dataCellPrefixes_[slot];
        if (!cached->empty()) {
            row += *cached;
            row += cellText;
            row += "}\\cell";
            return;
        }
    }
    TrtfStyle style(*source);
    if (OnGetDataStyle)
        OnGetDataStyle(*this, SkipRecCount + RecordCounter, colNo, style);
    const StyleParts parts = PartsOf(style);
    const std::string text = parts.Text();
    std::string prefix = "\\pard\\intbl\\li30\\ri30" + parts.Background + parts.Highlight +
                         RtfWriter().AlignToStr(Columns[colNo].ColAlign) + "{" + text +
                         (text.empty() ? "" : " ");
    row += prefix;
    row += cellText;
    row += "}\\cell";
    if (cached)
        *cached = std::move(prefix);
}

void TExporterRTF::WriteCaptionRow() {
    TRTFWriter& w = RtfWriter();
    std::string text;
    w.GetFont(Options.CaptionStyle.Font, true, text);
    std::string row;
    for (int i = 0; i < Columns.Count(); ++i)
        row += CaptionCell(i);
    w.WriteLn(row + "\\row");
}

void TExporterRTF::WriteDataRow() {
    std::string& row = row_;
    row.clear();
    for (int i = 0; i < ExportRow.Count() && i < Columns.Count(); ++i)
        AppendDataCell(row, i);
    row += "\\row";
    RtfWriter().WriteLn(row);
}

void TExporterRTF::EndExport() {
    TRTFWriter& w = RtfWriter();
    w.WriteLn("\\pard");
    if (Footer.Count() > 0) {
        TrtfStyle style(Options.FooterStyle);
        if (OnGetFooterStyle)
            OnGetFooterStyle(*this, style);
        w.WritePar();
        WriteTextBlock(Footer, style);
    }
    w.WriteEnd();
    TExporterFormatText::EndExport();
}

} // namespace exporter
