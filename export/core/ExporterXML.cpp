#include "export/core/ExporterXML.h"

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <iterator>
#include <typeinfo>
#include <utility>

namespace exporter {

namespace {

// Characters every XML reader takes in a name. XML 1.0 readers differ: expat (and with it Python's
// ElementTree) follows the first edition's letter classes, libxml2 and others the fifth edition's wider
// ranges. A name keeps only characters of both: ASCII letters and "_", and the larger blocks of letters
// the first edition lists; a digit, "-", ".", U+00B7 or a combining accent may follow the first character.
constexpr std::pair<char32_t, char32_t> kCommonNameLetters[] = {
    {0xC0, 0xD6},     {0xD8, 0xF6},     {0xF8, 0x131},    {0x134, 0x13E},   {0x141, 0x148},
    {0x14A, 0x17E},   {0x180, 0x1C3},   {0x1CD, 0x1F0},   {0x1FA, 0x217},   {0x250, 0x2A8},
    {0x38E, 0x3A1},   {0x3A3, 0x3CE},   {0x3E2, 0x3F3},   {0x401, 0x40C},   {0x40E, 0x44F},
    {0x451, 0x45C},   {0x45E, 0x481},   {0x490, 0x4C4},   {0x4D0, 0x4EB},   {0x4EE, 0x4F5},
    {0x531, 0x556},   {0x561, 0x586},   {0x5D0, 0x5EA},   {0x621, 0x63A},   {0x641, 0x64A},
    {0x671, 0x6B7},   {0x6C0, 0x6CE},   {0x905, 0x939},   {0x958, 0x961},   {0x985, 0x98C},
    {0x993, 0x9A8},   {0xA13, 0xA28},   {0xA93, 0xAA8},   {0xB05, 0xB0C},   {0xB13, 0xB28},
    {0xBAE, 0xBB5},   {0xC05, 0xC0C},   {0xC12, 0xC28},   {0xC2A, 0xC33},   {0xC85, 0xC8C},
    {0xC92, 0xCA8},   {0xCAA, 0xCB3},   {0xD05, 0xD0C},   {0xD12, 0xD28},   {0xD2A, 0xD39},
    {0xE01, 0xE2E},   {0xF40, 0xF47},   {0xF49, 0xF69},   {0x10A0, 0x10C5}, {0x10D0, 0x10F6},
    {0x1E00, 0x1E9B}, {0x1EA0, 0x1EF9}, {0x1F00, 0x1F15}, {0x1F20, 0x1F45}, {0x1F50, 0x1F57},
    {0x1F5F, 0x1F7D}, {0x1F80, 0x1FB4}, {0x1FE0, 0x1FEC}, {0x3021, 0x3029}, {0x3041, 0x3094},
    {0x30A1, 0x30FA}, {0x3105, 0x312C}, {0x4E00, 0x9FA5}, {0xAC00, 0xD7A3}};

bool IsNameStartChar(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    return std::any_of(std::begin(kCommonNameLetters), std::end(kCommonNameLetters),
                       [c](const auto& range) { return c >= range.first && c <= range.second; });
}

bool IsNameChar(char32_t c) {
    // U+0300..U+0345: the combining accents of decomposed letters
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x345);
}

bool IsWindows1252Name(const std::string& encoding) {
    const std::string e = rtl::Trim(encoding);
    return rtl::SameText(e, "windows-1252") || rtl::SameText(e, "cp1252");
}

// What an attribute value changes: the markup characters become entities, line breaks and tabs
// references (they would come back as blanks), other control characters and malformed bytes "?".
constexpr TExportChangedBytes kAttributeValueChanges(true, true, true);

// "<name>", "<name attributes/>", "</name>".
std::string OpenTag(const std::string& name) {
    return "<" + name + ">";
}
std::string EmptyElement(const std::string& name, const std::string& attributes) {
    return "<" + name + " " + attributes + "/>";
}
std::string CloseTag(const std::string& name) {
    return "</" + name + ">";
}

} // namespace

void TXMLOptions::Assign(const TXMLOptions& other) {
    Version = other.Version;
    Encoding = other.Encoding;
    StandAlone = other.StandAlone;
}

rtl::TUnmappedCharacter TXMLWriter::UnmappedCharacter() const {
    return [](std::string& out, char32_t ch) { out += "&#" + std::to_string(std::uint32_t(ch)) + ";"; };
}

std::unique_ptr<TExportWriter> TExporterXML::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TXMLWriter>(*this, stream);
}

TExportTextEncoding TExporterXML::TextEncoding() const {
    return IsWindows1252Name(Options.Encoding) ? TExportTextEncoding::Windows1252 : TExportTextEncoding::Utf8;
}

std::string TExporterXML::DeclaredEncoding() const {
    if (Options.Encoding.empty())
        return {};
    return IsWindows1252Name(Options.Encoding) ? "windows-1252" : "UTF-8";
}

std::string TExporterXML::XMLName(const std::string& columnName, bool windows1252) {
    const std::string text = ExportCleanText(columnName);
    std::string name;
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t ch = 0;
        const size_t length = size_t(IntMax(ExportDecodeUtf8(text, pos, ch), 1)); // the text is clean
        const std::string_view character = std::string_view(text).substr(pos, length);
        pos += length;
        if (ch == 0xFEFF) // the byte order mark an imported CSV file leaves in front of its first header
            continue;
        // A file in Windows-1252 cannot write other characters in a name (references are for values).
        const bool writable = !windows1252 || ch < 0x80 || rtl::UnicodeToWindows1252(ch) != '?';
        if (writable && (name.empty() ? IsNameStartChar(ch) : IsNameChar(ch)))
            name.append(character);
        else if (writable && name.empty() && IsNameChar(ch)) // a digit, "-" or "." may follow a leading "_"
            name.append("_").append(character);
        else
            name += '_';
    }
    // "xmlns" would turn the value into a namespace declaration; other names starting with "xml" are read
    // as they are. (A ':' never stays, so no "xmlns:" prefix either.)
    if (name.empty() || name == "xmlns")
        name.insert(0, "_");
    return name;
}

bool TExporterXML::KeepsText(const std::string& s) const {
    // The quick test knows this class's escaping only: a subclass's NormalString is always asked. Printable
    // ASCII but the markup characters is written as it is.
    if (typeid(*this) != typeid(TExporterXML))
        return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '"' && c != '&' && c != '<' && c != '>';
    });
}

std::string TExporterXML::NormalString(const std::string& s) const {
    return ExportReplaceChangedBytes(s, kAttributeValueChanges);
}

void TExporterXML::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    for (unsigned char c : {'"', '&', '<', '>'})
        chars.set(c);
}

void TExporterXML::GetColData(const TExportCol& col, std::string& text) {
    TExporterText::GetColData(col, text);
    EscapeUnformattedValue(col, text);
}

void TExporterXML::BeginExport() {
    TExporterText::BeginExport();
    rowDataOpen_ = false;
    packetOpen_ = false;
    std::vector<std::string> names;
    for (int i = 0; i < Columns.Count(); ++i)
        names.push_back(XMLName(Columns[i].Name, TextEncoding() == TExportTextEncoding::Windows1252));
    names_ = ExportUniqueNames(names, false); // XML names are case-sensitive
    attributeStarts_.clear();
    for (const std::string& name : names_)
        attributeStarts_.push_back(name + "=\"");
    if (Aborted)
        return;
    TExportWriter& w = Writer();
    const std::string encoding = DeclaredEncoding();
    w.WriteLn("<?xml version=\"" + Options.Version + "\" " +
              (encoding.empty() ? std::string() : "encoding=\"" + encoding + "\" ") + "standalone=\"" +
              (Options.StandAlone ? "yes" : "no") + "\"?>");
    w.WriteLn("<DATAPACKET Version=\"2.0\">");
    packetOpen_ = true;
}

std::string TExporterXML::GetColCaption(int index) {
    const std::string& name = names_.at(size_t(index));
    return "FieldName=\"" + name + "\" DisplayLabel=\"" + name + "\" FieldType=\"" +
           ExportColTypeName(Columns[index].ColType) + "\" FieldClass=\"TField\"";
}

void TExporterXML::WriteCaptionRow() {
    TExportWriter& w = Writer();
    w.WriteLn(OpenTag("METADATA"));
    w.WriteLn(OpenTag("FIELDS"));
    for (int i = 0; i < Columns.Count(); ++i)
        w.WriteLn(EmptyElement("FIELD", GetColCaption(i)));
    w.WriteLn(CloseTag("FIELDS"));
    w.WriteLn(CloseTag("METADATA"));
}

void TExporterXML::BeforeExport() {
    Writer().WriteLn(OpenTag("ROWDATA"));
    rowDataOpen_ = true;
}

std::string TExporterXML::GetDataRow(bool format) {
    std::string row;
    for (int i = 0; i < ExportRow.Count(); ++i) {
        const TExportCol& cell = ExportRow[i];
        const int column = cell.ColumnIndex;
        const std::string& name =
            column >= 0 && column < int(names_.size()) ? names_[size_t(column)] : names_.at(size_t(i));
        if (i)
            row += ' ';
        row += name;
        row += "=\"";
        cell.GetText(format, cellText_);
        row += cellText_;
        row += '"';
    }
    return row;
}

void TExporterXML::WriteDataRow() {
    if (RowsInOnePass())
        return WriteRowInOnePass();
    Writer().WriteLn(EmptyElement("ROW", GetDataRow(true)));
}

bool TExporterXML::RowsInOnePass() const {
    // A subclass may escape or have its last say otherwise, and an escaping set by a handler is not this
    // class's: those take the general way.
    return typeid(*this) == typeid(TExporterXML) && Columns.EscapeHandler() == this;
}

void TExporterXML::WriteRowInOnePass() {
    TExportRowBytes row(rowBytes_);
    constexpr std::string_view rowStart = "<ROW ", rowEnd = "/>\r\n";
    row.MakeRoom(rowStart.size() + rowEnd.size());
    row.Put(rowStart);
    for (int i = 0; i < ExportRow.Count(); ++i) {
        const TExportCol& cell = ExportRow.CheckedCol(i);
        const int column = cell.ColumnIndex;
        const std::string& start = column >= 0 && column < int(attributeStarts_.size())
                                       ? attributeStarts_[size_t(column)]
                                       : attributeStarts_.at(size_t(i));
        // Escaped once: a formatted or text value by GetText, a Boolean or untyped one by GetColData.
        const TExportBareText bare = cell.GetBareText(true, cellText_);
        const std::string_view text = bare.Text;
        const bool escapes = bare.Escapes || IsUnformattedValue(cell);
        row.MakeRoom(start.size() + (escapes ? ExportReplacedBytesBound(text.size(), {}) : text.size()) + 2 +
                     rowEnd.size());
        if (i)
            row.Put(' ');
        row.Put(start);
        if (escapes)
            row.Advance(ExportWriteReplacedBytes(row.End(), text, kAttributeValueChanges));
        else
            row.Put(text);
        row.Put('"');
    }
    row.Put(rowEnd);
    Writer().Write(row.Bytes());
}

void TExporterXML::AfterExport() {
    TExportWriter& w = Writer();
    if (rowDataOpen_)
        w.WriteLn(CloseTag("ROWDATA"));
    rowDataOpen_ = false;
    if (packetOpen_)
        w.WriteLn("</DATAPACKET>");
    packetOpen_ = false;
}

void TExporterXML::EndExport() {
    // An export aborted before its rows still ends as a complete document.
    if (GetWriter())
        AfterExport();
    TExporterText::EndExport();
}

} // namespace exporter
