#include "export/core/ExporterRTF.h"

#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <new>
#include <typeinfo>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace exporter {

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// Whether one of the eight bytes of word is zero; exact, also beside bytes >= 0x80.
constexpr bool HasZeroByte(std::uint64_t word) {
    return ((word - kEveryByte) & ~word & kHighBits) != 0;
}

// Whether one of the eight bytes of word is CR or not ASCII.
constexpr bool HasNonPlainByte(std::uint64_t word) {
    return (word & kHighBits) != 0 || HasZeroByte(word ^ (kEveryByte * '\r'));
}

std::uint64_t LoadWord(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

std::uint32_t LoadHalfWord(const char* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The length of the start of text that a cell's bytes take over unchanged: ASCII without CR. The bytes
// are tested eight at a time, the last (or only) ones in a word that overlaps bytes already tested.
size_t PlainCellTextLength(std::string_view text) {
    const char* const bytes = text.data();
    const size_t size = text.size();
    size_t i = 0;
    if (size >= 8) {
        while (i + 8 <= size && !HasNonPlainByte(LoadWord(bytes + i)))
            i += 8;
        if (i + 8 > size && (i == size || !HasNonPlainByte(LoadWord(bytes + size - 8))))
            return size;
    } else if (size >= 4) {
        const std::uint64_t word =
            LoadHalfWord(bytes) | (std::uint64_t(LoadHalfWord(bytes + size - 4)) << 32);
        if (!HasNonPlainByte(word))
            return size;
    }
    while (i < size && static_cast<unsigned char>(bytes[i]) < 0x80 && bytes[i] != '\r')
        ++i;
    return i;
}

// Puts text into out with each CR LF as " \par ".
void ReplaceLineBreaks(std::string_view text, std::string& out) {
    out.clear();
    size_t start = 0;
    for (size_t pos = text.find("\r\n"); pos != std::string_view::npos; pos = text.find("\r\n", start)) {
        out.append(text.substr(start, pos - start));
        out += " \\par ";
        start = pos + 2;
    }
    out.append(text.substr(start));
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
    auto unit = [&out](unsigned value) {
        char digits[8];
        const auto written = std::to_chars(digits, digits + sizeof digits, int(std::int16_t(value)));
        out += "\\u";
        out.append(digits, written.ptr);
        out += '?';
    };
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

void TRTFWriter::AppendText(std::string& bytes, std::string_view text) const {
    if (Encoding() != TExportTextEncoding::Windows1252) {
        bytes.append(text);
        return;
    }
    rtl::AppendUtf8AsWindows1252(bytes, text, UnmappedCharacter());
}

void TRTFWriter::WriteBytes(std::string_view bytes) {
    // The bytes the writer still holds go first, so everything stays in the order it was written.
    FlushBuffer();
    Document.sputn(bytes.data(), std::streamsize(bytes.size()));
}

TRTFRowBytes& TRTFWriter::RowBytes(TRTFRowBytes& own) {
    if (!Document.HeadSent()) {
        own.Clear();
        return own;
    }
    FlushBuffer();
    return Document.DirectBlock();
}

void TRTFWriter::EndRow(TRTFRowBytes& row) {
    if (&row == &Document.DirectBlock())
        Document.PassFullBlocks();
    else
        WriteBytes(row.Bytes());
}

std::int64_t TRTFWriter::Insert(std::int64_t offset, const std::string& text) {
    std::string bytes;
    AppendText(bytes, text);
    FlushBuffer();
    try {
        Document.InsertIntoHead(offset, bytes);
    } catch (const std::bad_alloc&) {
        throw EExportError("VirtualAlloc failed! :-(");
    }
    return std::int64_t(bytes.size());
}

int TRTFWriter::FontIndex(const std::string& name) const {
    for (const FontItem& item : fonts_)
        if (rtl::SameText(item.name, name))
            return item.index;
    return -1;
}

int TRTFWriter::ColorIndex(TExportColor color) const {
    const TExportColor rgb = color & 0xFFFFFF;
    for (size_t i = 0; i < colors_.size(); ++i)
        if ((colors_[i] & 0xFFFFFF) == rgb)
            return int(i);
    return -1;
}

void TRTFWriter::GetFont(const TExportFont& font, bool writeIt, std::string& text) {
    int index = FontIndex(font.Name);
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
    int index = ColorIndex(rgb);
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

void TRTFWriter::SendHead() {
    FlushBuffer();
    DocumentStream.flush();
    Document.SendHead(target_);
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

// The bytes that RTF writes otherwise: control characters and the format's own.
constexpr std::array<bool, 256> kRTFSpecial = [] {
    std::array<bool, 256> special{};
    for (size_t c = 0; c < 0x20; ++c)
        special[c] = true;
    for (unsigned char c : {'\\', '{', '}', '\x7F'})
        special[c] = true;
    return special;
}();

// The length of the start of s without a byte that RTF writes otherwise.
size_t RTFPlainLength(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && !kRTFSpecial[static_cast<unsigned char>(s[i])])
        ++i;
    return i;
}

} // namespace

namespace {

// Whether the sixteen bytes of two words hold one that RTF writes otherwise.
bool RTFSpecialIn(std::uint64_t low, std::uint64_t high) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_set_epi64x(std::int64_t(high), std::int64_t(low));
    __m128i found = _mm_cmpeq_epi8(_mm_min_epu8(bytes, _mm_set1_epi8(0x1F)), bytes); // below 0x20
    for (char c : {'\\', '{', '}', '\x7F'})
        found = _mm_or_si128(found, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(c)));
    return _mm_movemask_epi8(found) != 0;
#else
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    const auto has = [](std::uint64_t word) {
        const auto hasZero = [](std::uint64_t w) { return (w - ones) & ~w & highs; };
        return ((word - ones * 0x20) & ~word & highs) | hasZero(word ^ (ones * '\\')) |
               hasZero(word ^ (ones * '{')) | hasZero(word ^ (ones * '}')) | hasZero(word ^ (ones * 0x7F));
    };
    return (has(low) | has(high)) != 0;
#endif
}

// Whether the sixteen bytes of two words hold one that RTF writes otherwise or one beyond ASCII.
[[gnu::always_inline]] inline bool RTFChangedIn(std::uint64_t low, std::uint64_t high) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_set_epi64x(std::int64_t(high), std::int64_t(low));
    // A signed comparison finds the bytes below 0x20 and those from 0x80 on at once; '}' (0x7D) and 0x7F
    // are the two bytes that setting bit 1 makes 0x7F, so one comparison covers both.
    __m128i found = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
    found = _mm_or_si128(found, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\\')));
    found = _mm_or_si128(found, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('{')));
    found =
        _mm_or_si128(found, _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x02)), _mm_set1_epi8(0x7F)));
    return _mm_movemask_epi8(found) != 0;
#else
    return ((low | high) & kHighBits) != 0 || RTFSpecialIn(low, high);
#endif
}

// Whether found (a test of sixteen bytes given as two words) finds nothing in text: sixteen bytes at a time,
// the last (or only) ones in a piece that overlaps bytes already tested; a text of fewer than sixteen as
// overlapping words padded with blanks, which no test here finds.
template <class Found> [[gnu::always_inline]] inline bool NoneFound(std::string_view text, Found found) {
    constexpr std::uint64_t blanks = 0x2020202020202020ULL;
    const char* const bytes = text.data();
    const size_t size = text.size();
    if (size >= 16) {
        for (size_t pos = 0; pos + 16 < size; pos += 16)
            if (found(LoadWord(bytes + pos), LoadWord(bytes + pos + 8)))
                return false;
        return !found(LoadWord(bytes + size - 16), LoadWord(bytes + size - 8));
    }
    if (size >= 8)
        return !found(LoadWord(bytes), LoadWord(bytes + size - 8));
    if (size >= 4)
        return !found(LoadHalfWord(bytes) | std::uint64_t(LoadHalfWord(bytes + size - 4)) << 32, blanks);
    if (size == 0)
        return true;
    const auto byte = [bytes](size_t i) { return std::uint64_t(static_cast<unsigned char>(bytes[i])); };
    return !found((blanks << 24) | byte(0) | byte(size / 2) << 8 | byte(size - 1) << 16, blanks);
}

// Whether a text of at most 32 bytes holds neither a byte that RTF writes otherwise nor one beyond ASCII
// (false for a longer text): the usual cell, copied as it is.
[[gnu::always_inline]] inline bool RTFShortTextIsPlain(std::string_view text) {
    return text.size() <= 32 && NoneFound(text, RTFChangedIn);
}

} // namespace

bool TExporterRTF::KeepsText(const std::string& s) const {
    // The quick test knows this class's escaping only: a subclass's NormalString is always asked.
    if (typeid(*this) != typeid(TExporterRTF))
        return false;
    return NoneFound(s, RTFSpecialIn);
}

namespace {

// Writes at out how RTF carries the byte text[i], one that RTF writes otherwise (kRTFSpecial), and moves i
// past what it took (a CR LF as one); returns the end of what it wrote, at most six bytes.
[[gnu::always_inline]] inline char* PutRTFSpecial(char* out, std::string_view text, size_t& i) {
    static const char hex[] = "0123456789abcdef";
    const auto put = [&out](std::string_view bytes) {
        std::memcpy(out, bytes.data(), bytes.size());
        out += bytes.size();
    };
    const unsigned char c = static_cast<unsigned char>(text[i++]);
    if (c == '\\' || c == '{' || c == '}') {
        *out++ = '\\';
        *out++ = char(c);
    } else if (c == '\r' && i < text.size() && text[i] == '\n') {
        put(" \\par ");
        ++i;
    } else if (c == '\r' || c == '\n') {
        put("\\line ");
    } else if (c == '\t') {
        put("\\tab ");
    } else {
        *out++ = '\\';
        *out++ = '\'';
        *out++ = hex[c >> 4];
        *out++ = hex[c & 15];
    }
    return out;
}

} // namespace

std::string TExporterRTF::NormalString(const std::string& s) const {
    size_t i = RTFPlainLength(s);
    if (i == s.size())
        return s;
    std::string out(i + kEscapedBytesPerByte * (s.size() - i), '\0');
    std::memcpy(out.data(), s.data(), i);
    char* end = out.data() + i;
    while (i < s.size()) {
        if (kRTFSpecial[static_cast<unsigned char>(s[i])])
            end = PutRTFSpecial(end, s, i);
        else
            *end++ = s[i++];
    }
    out.resize(size_t(end - out.data()));
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

bool TExporterRTF::StyleInTables(const TrtfStyle& style) const {
    const TRTFWriter& w = static_cast<const TRTFWriter&>(Writer());
    return w.HasFont(style.Font.Name) && w.HasColor(style.Font.Color) &&
           (!style.AllowBackground || w.HasColor(style.BackgroundColor)) &&
           (!style.AllowHighlight || w.HasColor(style.HighlightColor));
}

bool TExporterRTF::CallerCodeDuringRows() const {
    // Events fired before the head goes (OnBeginExport, the header and caption style events) have had
    // their say; OnEndExport comes after the document's end.
    return typeid(*this) != typeid(TExporterRTF) || OnGetDataStyle || OnGetFooterStyle || OnSkippedRecord ||
           OnStopExport || OnGetExportText || OnBeforeExportRow || OnExportedRecord ||
           (ExportSource == TExportSource::esCustom && CustomSource != nullptr);
}

bool TExporterRTF::TablesAreFinal() const {
    // Every style that rows or the footer may still use is asked, whether it will be used or not (the
    // footer's lines or the strip type could yet change in an event): asking too many only keeps the
    // scratch file.
    if (CallerCodeDuringRows())
        return false;
    if (!StyleInTables(Options.DataStyle) || !StyleInTables(Options.FooterStyle))
        return false;
    for (int i = 0; i < Options.StripStyles.Count(); ++i)
        if (!StyleInTables(Options.StripStyles[i]))
            return false;
    return true;
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
    dataCellOpenings_.clear();
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
    if (TablesAreFinal())
        RtfWriter().SendHead();
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

std::string TExporterRTF::CellOpening(int colNo) {
    const TrtfStyle* source = &Options.DataStyle;
    const int strips = Options.StripStyles.Count();
    if (Options.StripType != TrtfStripType::stNone && strips > 0) {
        const int i = Options.StripType == TrtfStripType::stCol ? colNo : RecordCounter;
        source = &Options.StripStyles[((i % strips) + strips) % strips];
    }
    TrtfStyle style(*source);
    if (OnGetDataStyle)
        OnGetDataStyle(*this, SkipRecCount + RecordCounter, colNo, style);
    const StyleParts parts = PartsOf(style);
    const std::string text = parts.Text();
    std::string opening = colNo > 0 ? "}\\cell" : "";
    RtfWriter().AppendText(opening, "\\pard\\intbl\\li30\\ri30" + parts.Background + parts.Highlight +
                                        RtfWriter().AlignToStr(Columns[colNo].ColAlign) + "{" + text +
                                        (text.empty() ? "" : " "));
    return opening;
}

namespace {

bool SameFont(const TExportFont& a, const TExportFont& b) {
    return a.Name == b.Name && a.Size == b.Size && a.Color == b.Color && a.Bold == b.Bold &&
           a.Italic == b.Italic && a.Underline == b.Underline && a.StrikeOut == b.StrikeOut;
}

bool SameStyle(const TrtfStyle& a, const TrtfStyle& b) {
    return SameFont(a.Font, b.Font) && a.BackgroundColor == b.BackgroundColor &&
           a.HighlightColor == b.HighlightColor && a.AllowHighlight == b.AllowHighlight &&
           a.AllowBackground == b.AllowBackground && a.Alignment == b.Alignment;
}

} // namespace

bool TExporterRTF::CellStylesChanged() const {
    const CellStyles& kept = cellStyles_;
    if (!SameStyle(kept.DataStyle, Options.DataStyle) || kept.StripType != Options.StripType ||
        int(kept.StripStyles.size()) != Options.StripStyles.Count() ||
        int(kept.Aligns.size()) != Columns.Count())
        return true;
    for (int i = 0; i < Options.StripStyles.Count(); ++i)
        if (!SameStyle(kept.StripStyles[size_t(i)], Options.StripStyles[i]))
            return true;
    for (int i = 0; i < Columns.Count(); ++i)
        if (kept.Aligns[size_t(i)] != Columns[i].ColAlign)
            return true;
    return false;
}

void TExporterRTF::KeepCellStyles() {
    cellStyles_.DataStyle = Options.DataStyle;
    cellStyles_.StripStyles.clear();
    for (int i = 0; i < Options.StripStyles.Count(); ++i)
        cellStyles_.StripStyles.push_back(Options.StripStyles[i]);
    cellStyles_.StripType = Options.StripType;
    cellStyles_.Aligns.clear();
    for (int i = 0; i < Columns.Count(); ++i)
        cellStyles_.Aligns.push_back(Columns[i].ColAlign);
}

const std::vector<std::string>& TExporterRTF::CachedCellOpenings(int cells) {
    // Without a style event a style gives the same control words every time (its fonts and colours are
    // in the tables after the first use), so the cells of each row strip are worked out once. A handler
    // that runs between the rows may change a style: the openings are then worked out again.
    if (dataCellOpenings_.empty() || (CallerCodeDuringRows() && CellStylesChanged())) {
        dataCellOpenings_.clear();
        KeepCellStyles();
    }
    const int strips = Options.StripStyles.Count();
    size_t strip = 0; // 0: the data style or column strips, 1 + i: row strip i
    if (Options.StripType == TrtfStripType::stRow && strips > 0)
        strip = 1 + size_t(((RecordCounter % strips) + strips) % strips);
    if (dataCellOpenings_.size() <= strip)
        dataCellOpenings_.resize(size_t(strips) + 1);
    std::vector<std::string>& openings = dataCellOpenings_[strip];
    while (openings.size() < size_t(cells))
        openings.push_back(CellOpening(int(openings.size())));
    return openings;
}

void TExporterRTF::AppendCell(TRTFRowBytes& row, std::string_view opening, std::string_view text) {
    // Most cells are plain ASCII and go in as they are; the rest from the first other byte on.
    const size_t plain = PlainCellTextLength(text);
    row.Append(opening, text.substr(0, plain));
    if (plain == text.size())
        return;
    std::string_view rest = text.substr(plain);
    if (rest.find('\r') != std::string_view::npos) {
        ReplaceLineBreaks(rest, scratch_);
        rest = scratch_;
    }
    bytes_.clear();
    RtfWriter().AppendText(bytes_, rest);
    row.Append(bytes_);
}

bool TExporterRTF::CellsInOnePass() const {
    // A subclass may escape otherwise, have another last say or write through another writer.
    return typeid(*this) == typeid(TExporterRTF) && !OnGetDataStyle &&
           Writer().Encoding() == TExportTextEncoding::Windows1252;
}

namespace {

// Copies a cell's opening, most often 40 to 60 bytes: up to 64 of them as two overlapping halves, without
// a library call.
[[gnu::always_inline]] inline void CopyOpening(char* out, std::string_view opening) {
    const size_t size = opening.size();
    if (size > 32 && size <= 64) {
        std::memcpy(out, opening.data(), 32);
        std::memcpy(out + size - 32, opening.data() + size - 32, 32);
    } else {
        rtl::CopyShortBytes(out, opening.data(), size);
    }
}

} // namespace

// Inlined into the row's loop: most cells take a few tests and two copies.
[[gnu::always_inline]] inline bool TExporterRTF::AppendCellInOnePass(TRTFRowBytes& row,
                                                                     std::string_view opening,
                                                                     const TExportCol& cell, bool escaping) {
    const TExportBareText bare = cell.GetBareText(true, cellText_);
    // Taken apart at once: kept together, the view's two words may be stored one by one and read back as
    // one, which stalls the store forwarding.
    const char* const textData = bare.Text.data();
    const size_t textSize = bare.Text.size();
    const std::string_view text(textData, textSize);
    if (text.size() > kLongCellText)
        return false;
    // GetText escapes NULL, string and formatted texts; GetColData then escapes Boolean and untyped values,
    // which come unformatted. Other texts (a failed format, a cell without a column) stay as they are.
    const bool escapes =
        bare.Escapes ? escaping
                     : !cell.IsNull && cell.ColumnIndex >= 0 && cell.ColumnIndex < Columns.Count() &&
                           (Columns.CheckedColumn(cell.ColumnIndex).ColType == TExportColType::ectBoolean ||
                            Columns.CheckedColumn(cell.ColumnIndex).ColType == TExportColType::ectUnknown);
    if (!escapes) {
        AppendCell(row, opening, text);
        return true;
    }
    char* out = row.Room(opening.size() + kEscapedBytesPerByte * text.size());
    CopyOpening(out, opening);
    out += opening.size();
    if (RTFShortTextIsPlain(text)) {
        rtl::CopyShortBytes(out, text.data(), text.size());
        out += text.size();
    } else {
        out = WriteEscapedCellText(out, text);
    }
    row.Extend(out);
    return true;
}

char* TExporterRTF::WriteEscapedCellText(char* out, std::string_view text) {
    const auto put = [&out](std::string_view bytes) {
        std::memcpy(out, bytes.data(), bytes.size());
        out += bytes.size();
    };
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            // A character of U+00A0 to U+00FF is the byte of its number, as AppendText makes it. Other bytes
            // beyond ASCII go to AppendText as a whole run: it decodes no character across an ASCII byte,
            // so the run's end stands for the byte that follows it.
            const unsigned char next = i + 1 < size ? static_cast<unsigned char>(text[i + 1]) : 0;
            if ((c == 0xC2 && next >= 0xA0 && next <= 0xBF) || (c == 0xC3 && next >= 0x80 && next <= 0xBF)) {
                *out++ = char(((c & 0x03) << 6) | (next & 0x3F));
                i += 2;
                continue;
            }
            size_t end = i + 1;
            while (end < size && static_cast<unsigned char>(text[end]) >= 0x80)
                ++end;
            bytes_.clear();
            RtfWriter().AppendText(bytes_, text.substr(i, end - i));
            put(bytes_);
            i = end;
            continue;
        }
        if (!kRTFSpecial[c]) {
            *out++ = char(c);
            ++i;
        } else {
            out = PutRTFSpecial(out, text, i);
        }
    }
    return out;
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
    const std::vector<std::string>* openings =
        OnGetDataStyle ? nullptr : &CachedCellOpenings(IntMin(ExportRow.Count(), Columns.Count()));
    if (!openings || !CellsInOnePass()) {
        // The row's bytes are built in one reused buffer and go into the document in one piece.
        row_.Clear();
        int cells = 0;
        for (; cells < ExportRow.Count() && cells < Columns.Count(); ++cells) {
            ExportRow[cells].GetText(true, cellText_);
            if (openings && size_t(cells) < openings->size())
                AppendCell(row_, (*openings)[size_t(cells)], cellText_);
            else
                AppendCell(row_, CellOpening(cells), cellText_);
        }
        row_.Append(cells > 0 ? "}\\cell\\row\r\n" : "\\row\r\n");
        RtfWriter().WriteBytes(row_.Bytes());
        return;
    }
    // Nothing else writes while the cells are made: the row is built where the writer takes it from. A
    // row that fails part-way is taken back.
    TRTFWriter& w = RtfWriter();
    TRTFRowBytes& row = w.RowBytes(row_);
    const size_t start = row.Size();
    const bool escaping = bool(Columns.Escape());
    try {
        const int cells = IntMin(ExportRow.Count(), Columns.Count());
        for (int i = 0; i < cells; ++i) {
            const TExportCol& cell = ExportRow.CheckedCol(i);
            const std::string& opening = (*openings)[size_t(i)];
            if (!AppendCellInOnePass(row, opening, cell, escaping)) {
                cell.GetText(true, cellText_);
                AppendCell(row, opening, cellText_);
            }
        }
        row.Append(cells > 0 ? "}\\cell\\row\r\n" : "\\row\r\n");
    } catch (...) {
        row.Truncate(start);
        throw;
    }
    w.EndRow(row);
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
