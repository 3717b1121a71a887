#include "export/core/ExporterXML.h"

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <set>

namespace exporter {

namespace {

bool IsNameStartChar(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c) {
    return IsNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsWindows1252Name(const std::string& encoding) {
    const std::string e = rtl::Trim(encoding);
    return rtl::SameText(e, "windows-1252") || rtl::SameText(e, "cp1252");
}

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

std::string TExporterXML::XMLName(const std::string& columnName) {
    const std::string text = ExportCleanText(columnName);
    std::string name;
    size_t pos = 0;
    while (pos < text.size()) {
        char32_t ch = 0;
        const int length = ExportDecodeUtf8(text, pos, ch);
        const bool valid = name.empty() ? IsNameStartChar(ch) : IsNameChar(ch);
        if (valid) {
            name.append(text, pos, size_t(length));
        } else {
            if (name.empty() && IsNameChar(ch)) // a digit, "-" or "." may follow a leading "_"
                name = "_" + text.substr(pos, size_t(length));
            else
                name += '_';
        }
        pos += size_t(length);
    }
    return name.empty() ? "_" : name;
}

std::string TExporterXML::NormalString(const std::string& s) const {
    std::string entities = ExportEntityText(s);
    if (std::none_of(entities.begin(), entities.end(),
                     [](char c) { return c == '\r' || c == '\n' || c == '\t'; }))
        return entities;
    std::string out;
    for (char c : entities) {
        switch (c) {
        // Line breaks and tabs inside an attribute value would come back as blanks.
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += "&#10;";
            break;
        case '\t':
            out += "&#9;";
            break;
        default:
            out += c;
        }
    }
    return out;
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
    names_.clear();
    std::set<std::string> used;
    for (int i = 0; i < Columns.Count(); ++i) {
        const std::string base = XMLName(Columns[i].Name);
        std::string name = base;
        for (int n = 2; used.count(name); ++n)
            name = base + "_" + std::to_string(n);
        used.insert(name);
        names_.push_back(name);
    }
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
        row += cell.GetText(format);
        row += '"';
    }
    return row;
}

void TExporterXML::WriteDataRow() {
    Writer().WriteLn(EmptyElement("ROW", GetDataRow(true)));
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
