#include "export/core/ExporterLaTeX.h"

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

namespace exporter {

namespace {

constexpr int kUtf8CodePage = 65001;

int SystemCodePage() {
    return rtl::LocaleFacts::Current().CodePage;
}

std::string BeginEnvironment(const std::string& name, const std::string& argument = {}) {
    return "\\begin{" + name + "}" + (argument.empty() ? std::string() : "{" + argument + "}");
}
std::string EndEnvironment(const std::string& name) {
    return "\\end{" + name + "}";
}
std::string UsePackage(const std::string& options, const std::string& name) {
    return "\\usepackage[" + options + "]{" + name + "}";
}

// Cells joined by " & ".
std::string JoinCells(const std::vector<std::string>& cells) {
    std::string row;
    for (size_t i = 0; i < cells.size(); ++i)
        row += (i ? " & " : "") + cells[i];
    return row;
}

} // namespace

TLaTeXOptions::TLaTeXOptions() : codePage_(SystemCodePage()) {}

void TLaTeXOptions::SetCodePage(int value) {
    codePage_ = value < 1 ? SystemCodePage() : value;
}

void TLaTeXOptions::Assign(const TLaTeXOptions& other) {
    LaTeXVersion = other.LaTeXVersion;
    DocumentStyle = other.DocumentStyle;
    DocumentParams = other.DocumentParams;
    SetCodePage(other.CodePage());
    Languages = other.Languages;
}

std::unique_ptr<TExportWriter> TExporterLaTeX::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TLaTeXWriter>(*this, stream);
}

TExportTextEncoding TExporterLaTeX::TextEncoding() const {
    return Options.CodePage() == kUtf8CodePage ? TExportTextEncoding::Utf8 : TExportTextEncoding::Windows1252;
}

std::string TExporterLaTeX::InputEncoding() const {
    return Options.CodePage() == kUtf8CodePage ? "utf8" : "cp1252";
}

std::string TExporterLaTeX::NormalString(const std::string& s) const {
    const std::string text = ExportCleanText(s);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        // In text mode "\backslash" is undefined and "\~", "\^" accent the next letter.
        case '\\':
            out += "$\\backslash$";
            break;
        case '~':
            out += "\\~{}";
            break;
        case '^':
            out += "\\^{}";
            break;
        case '#':
        case '$':
        case '%':
        case '&':
        case '_':
        case '{':
        case '}':
            out += '\\';
            out += c;
            break;
        case '<':
            out += "$<$";
            break;
        case '>':
            out += "$>$";
            break;
        // A line break inside a cell would end the paragraph and break the table: it becomes a blank.
        case '\r':
            out += ' ';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            break;
        case '\n':
            out += ' ';
            break;
        default:
            out += c;
        }
    }
    return out;
}

void TExporterLaTeX::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    for (unsigned char c : {'#', '$', '%', '&', '\\', '^', '_', '{', '}', '~'})
        chars.set(c);
}

void TExporterLaTeX::GetColData(const TExportCol& col, std::string& text) {
    TExporterFormatText::GetColData(col, text);
    EscapeUnformattedValue(col, text);
}

void TExporterLaTeX::BeginExport() {
    TExporterFormatText::BeginExport();
    documentOpen_ = false;
    tabularOpen_ = false;
    if (Aborted)
        return;
    TExportWriter& w = Writer();
    const std::string style = Options.DocumentStyle == TLaTeXDocStyle::dsBook ? "book" : "article";
    const bool latex209 = Options.LaTeXVersion == TLaTeXVersion::LaTeX209;
    const std::string command = latex209 ? "\\documentstyle" : "\\documentclass";
    w.WriteLn(command + (Options.DocumentParams.empty() ? "" : "[" + Options.DocumentParams + "]") + "{" +
              style + "}");
    if (!latex209) {
        w.WriteLn(UsePackage(InputEncoding(), "inputenc"));
        w.WriteLn(UsePackage(Options.Languages, "babel"));
        if (Preambula.Count() > 0) {
            for (int i = 0; i < Preambula.Count(); ++i)
                w.WriteLn(Preambula[i]);
            w.EmptyLine();
        }
    }
    w.WriteLn(BeginEnvironment("document"));
    documentOpen_ = true;
    if (rtl::UpperCase(Options.Languages).find("RUSSIAN") != std::string::npos)
        w.WriteLn("\\Rus");
    w.EmptyLine();
    for (int i = 0; i < Header.Count(); ++i)
        w.WriteLn(Header[i]);
    w.WriteLn("\\par\\bigskip");
    std::string spec = "|";
    for (int i = 0; i < Columns.Count(); ++i)
        spec += Columns[i].IsNumeric ? "r|" : "l|";
    w.WriteLn(BeginEnvironment("tabular", spec));
    tabularOpen_ = true;
    w.WriteLn("\\hline");
}

std::string TExporterLaTeX::GetCaptionRow() {
    std::vector<std::string> cells;
    for (int i = 0; i < Columns.Count(); ++i)
        cells.push_back(GetColCaption(i));
    return JoinCells(cells);
}

void TExporterLaTeX::WriteCaptionRow() {
    TExportWriter& w = Writer();
    w.WriteLn(GetCaptionRow());
    w.WriteLn("\\\\");
    w.WriteLn("\\hline");
}

std::string TExporterLaTeX::GetDataRow(bool format) {
    std::vector<std::string> cells;
    for (int i = 0; i < ExportRow.Count(); ++i)
        cells.push_back(ExportRow[i].GetText(format));
    return JoinCells(cells);
}

void TExporterLaTeX::WriteDataRow() {
    TExportWriter& w = Writer();
    w.WriteLn(GetDataRow(true));
    w.WriteLn("\\\\");
    w.WriteLn("\\hline");
}

void TExporterLaTeX::EndExport() {
    // The document is closed here once, also after an abort (which adds a rule and leaves out the footer).
    if (GetWriter()) {
        TExportWriter& w = Writer();
        if (tabularOpen_) {
            if (Aborted)
                w.WriteLn("\\hline");
            w.WriteLn(EndEnvironment("tabular"));
            w.EmptyLine();
        }
        if (documentOpen_) {
            if (!Aborted)
                for (int i = 0; i < Footer.Count(); ++i)
                    w.WriteLn(Footer[i]);
            w.WriteLn(EndEnvironment("document"));
        }
        tabularOpen_ = false;
        documentOpen_ = false;
    }
    TExporterFormatText::EndExport();
}

} // namespace exporter
