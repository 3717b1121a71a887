#include "export/core/ExporterHTML.h"

#include "export/core/ExporterHTMLFiles.h"
#include "export/core/ExporterMarkup.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <typeinfo>

namespace exporter {

namespace fs = std::filesystem;

namespace {

constexpr TExportColor kNoBorderColor = 0xFFFFFF;

// Written into every cell: a constant text, so that no text is built per cell.
const char* AlignText(TExportColAlign align) {
    switch (align) {
    case TExportColAlign::ecaLeft:
        return "Left";
    case TExportColAlign::ecaCenter:
        return "Center";
    case TExportColAlign::ecaRight:
        return "Right";
    }
    return "";
}

// The start of a data cell's opening tag, with the class of its row.
const char* CellStart(bool odd) {
    return odd ? "    <td class=\"TrOdd\"" : "    <td class=\"TrRows\"";
}

bool FileExists(const std::string& name) {
    std::error_code ec;
    return !name.empty() && fs::exists(name, ec);
}

std::string ChangeFileExt(const std::string& name, const std::string& ext) {
    return fs::path(name).replace_extension(ext).string();
}

std::string ExtractFileName(const std::string& name) {
    return fs::path(name).filename().string();
}

std::string Indent(int blanks) {
    return std::string(size_t(blanks), ' ');
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// Options

THTMLOptions::THTMLOptions() {
    TextFont.Name = "Arial";
    TextFont.Size = 8;
}

void THTMLOptions::Assign(const THTMLOptions& other) {
    BackgroundColor = other.BackgroundColor;
    BackgroundFileName = other.BackgroundFileName;
    LinkColor = other.LinkColor;
    VLinkColor = other.VLinkColor;
    ALinkColor = other.ALinkColor;
    TextFont = other.TextFont;
    AdvancedAttributes = other.AdvancedAttributes;
}

void TTableOptions::Assign(const TTableOptions& other) {
    Border = other.Border;
    CellPadding = other.CellPadding;
    CellSpacing = other.CellSpacing;
    AdvancedAttributes = other.AdvancedAttributes;
    HeadersRowBgColor = other.HeadersRowBgColor;
    HeadersRowFontColor = other.HeadersRowFontColor;
    TableBgColor = other.TableBgColor;
    TableFontColor = other.TableFontColor;
    OddRowBgColor = other.OddRowBgColor;
    BorderColor = other.BorderColor;
}

void TExportHTMLNavigation::Assign(const TExportHTMLNavigation& other) {
    *this = other;
}

std::string THTMLWriter::AlignToStr(TExportColAlign align) const {
    return AlignText(align);
}

std::string HTMLLinkTarget(const std::string& target, const std::string& page) {
    std::error_code ec;
    const fs::path file = fs::absolute(target, ec).lexically_normal();
    const fs::path folder = fs::absolute(page, ec).lexically_normal().parent_path();
    // Files that share a folder below the root link to each other relatively, so that the pages keep
    // their style sheet when the folder tree is moved.
    auto fileIt = file.begin(), folderIt = folder.begin();
    const bool oneTree = file.has_root_path() && std::distance(file.begin(), file.end()) > 2 &&
                         std::distance(folder.begin(), folder.end()) > 1 && *++fileIt == *++folderIt;
    const std::string path =
        oneTree ? file.lexically_relative(folder).generic_string() : file.generic_string();
    std::string link;
    for (char c : path) {
        switch (c) {
        case ' ':
            link += "%20";
            break;
        case '%':
            link += "%25";
            break;
        case '#':
            link += "%23";
            break;
        case '?':
            link += "%3F";
            break;
        default:
            link += c;
        }
    }
    return link;
}

std::string NumberedFileName(const std::string& name, int number, int digits) {
    // The extension is taken from the file's own name, never from a folder.
    const std::string ext = fs::path(name).extension().string();
    std::string num = std::to_string(number);
    if (int(num.size()) < digits)
        num.insert(0, size_t(digits) - num.size(), '0');
    return name.substr(0, name.size() - ext.size()) + num + ext;
}

// ---------------------------------------------------------------------------------------------------
// TExporterHTML: settings

TExporterHTML::TExporterHTML() {
    Header.Add("<br>");
    Footer.Add("<br>");
    SetHTMLTemplate(THTMLTemplate::htClassic);
}

TExporterHTML::~TExporterHTML() = default;

void TExporterHTML::SetHTMLTemplate(THTMLTemplate value) {
    if (value == htmlTemplate_)
        return;
    htmlTemplate_ = value;
    const THTMLTemplateColors* colors = HTMLTemplateColors(value);
    if (!colors)
        return;
    HTMLOptions.BackgroundColor = colors->BackgroundColor;
    HTMLOptions.LinkColor = colors->LinkColor;
    HTMLOptions.VLinkColor = colors->VLinkColor;
    HTMLOptions.ALinkColor = colors->ALinkColor;
    HTMLOptions.TextFont.Color = colors->TextColor;
    HTMLOptions.TextFont.Name = colors->FontName;
    TableOptions.HeadersRowBgColor = colors->HeadersRowBgColor;
    TableOptions.HeadersRowFontColor = colors->HeadersRowFontColor;
    TableOptions.TableBgColor = colors->TableBgColor;
    TableOptions.TableFontColor = colors->TableFontColor;
    TableOptions.OddRowBgColor = colors->OddRowBgColor;
}

namespace {
const char* const kHTMLSection = "HTML options";
const char* const kTableSection = "Table options";
} // namespace

void TExporterHTML::SaveTemplateToFile(const std::string& fileName) const {
    ini::IniFile ini(fileName);
    ini.WriteInteger(kHTMLSection, "Background-color", int(HTMLOptions.BackgroundColor));
    ini.WriteInteger(kHTMLSection, "Font-color", int(HTMLOptions.TextFont.Color));
    ini.WriteString(kHTMLSection, "Font-family", HTMLOptions.TextFont.Name);
    ini.WriteInteger(kHTMLSection, "LinkColor", int(HTMLOptions.LinkColor));
    ini.WriteInteger(kHTMLSection, "VLinkColor", int(HTMLOptions.VLinkColor));
    ini.WriteInteger(kHTMLSection, "ALinkColor", int(HTMLOptions.ALinkColor));
    ini.WriteInteger(kTableSection, "Header-bgcolor", int(TableOptions.HeadersRowBgColor));
    ini.WriteInteger(kTableSection, "Header-color", int(TableOptions.HeadersRowFontColor));
    ini.WriteInteger(kTableSection, "Table-color", int(TableOptions.TableFontColor));
    ini.WriteInteger(kTableSection, "Even_row-bgcolor", int(TableOptions.TableBgColor));
    ini.WriteInteger(kTableSection, "Odd_row-bgcolor", int(TableOptions.OddRowBgColor));
    ini.WriteInteger(kTableSection, "Border-color", int(TableOptions.BorderColor));
    ini.UpdateFile();
}

void TExporterHTML::LoadTemplateFromFile(const std::string& fileName) {
    const ini::IniFile ini(fileName);
    auto color = [&](const char* section, const char* key, TExportColor& value) {
        value = TExportColor(ini.ReadInteger(section, key, int(value)));
    };
    color(kHTMLSection, "Background-color", HTMLOptions.BackgroundColor);
    color(kHTMLSection, "Font-color", HTMLOptions.TextFont.Color);
    HTMLOptions.TextFont.Name = ini.ReadString(kHTMLSection, "Font-family", HTMLOptions.TextFont.Name);
    color(kHTMLSection, "LinkColor", HTMLOptions.LinkColor);
    color(kHTMLSection, "VLinkColor", HTMLOptions.VLinkColor);
    color(kHTMLSection, "ALinkColor", HTMLOptions.ALinkColor);
    color(kTableSection, "Header-bgcolor", TableOptions.HeadersRowBgColor);
    color(kTableSection, "Header-color", TableOptions.HeadersRowFontColor);
    color(kTableSection, "Table-color", TableOptions.TableFontColor);
    color(kTableSection, "Even_row-bgcolor", TableOptions.TableBgColor);
    color(kTableSection, "Odd_row-bgcolor", TableOptions.OddRowBgColor);
    color(kTableSection, "Border-color", TableOptions.BorderColor);
}

// ---------------------------------------------------------------------------------------------------
// Escaping and cells

namespace {

// The ASCII bytes that the page changes: control bytes but the tab (line breaks become "<br>"), and with
// tags interpreted the four that have entities.
constexpr TExportChangedBytes kChangedPlain(false, false), kChangedWithTags(false, true);

} // namespace

bool TExporterHTML::KeepsText(const std::string& s) const {
    // The quick test knows this class's escaping only: a subclass's NormalString is always asked.
    if (typeid(*this) != typeid(TExporterHTML))
        return false;
    // Most cell texts are one block, tested here without the search.
    if (s.size() <= 16 && (s.empty() || ExportChangeMask(s, 0, InterpretTags) == 0))
        return true;
    return ExportNextChangedByte(s, 0, InterpretTags ? kChangedWithTags : kChangedPlain) == s.size();
}

std::string TExporterHTML::NormalString(const std::string& s) const {
    return ExportReplaceChangedBytes(s, InterpretTags ? kChangedWithTags : kChangedPlain, "<br>");
}

void TExporterHTML::GetSpecialCharacters(std::bitset<256>& chars) const {
    chars.reset();
    for (unsigned char c : {'"', '&', '<', '>'})
        chars.set(c);
}

bool TExporterHTML::EscapedByGetColData(const TExportCol& col, const TExportColumn* column) {
    // Boolean and untyped values are never formatted, so GetText leaves them as they are.
    return column && !col.IsNull &&
           (column->ColType == TExportColType::ectBoolean || column->ColType == TExportColType::ectUnknown);
}

bool TExporterHTML::CellsInOnePass() const {
    return !OnGetCellParams && typeid(*this) == typeid(TExporterHTML);
}

void TExporterHTML::GetColData(const TExportCol& col, std::string& text) {
    TExporterFormatText::GetColData(col, text);
    const TExportColumn* const column = CellColumn(col);
    if (EscapedByGetColData(col, column) && !KeepsText(text))
        text = NormalString(text);
    if (text.empty())
        text = "&nbsp;";
    TExportColAlign align = column ? column->ColAlign : TExportColAlign::ecaLeft;
    const std::string style = OnGetCellParams ? CellStyle(col.ColumnIndex, text, align) : std::string();
    text.insert(0, std::string(" align=") + AlignText(align) + style + '>');
}

std::string TExporterHTML::CellStyle(int colIndex, const std::string& text, TExportColAlign& align) {
    const TExportColor defaultBackground =
        RecordCounter % 2 != 0 ? TableOptions.TableBgColor : TableOptions.OddRowBgColor;
    const TExportFont& defaultFont = HTMLOptions.TextFont;
    TExportFont font = defaultFont;
    TExportColor background = defaultBackground;
    DoGetCellParams(RecordCounter, colIndex, text, align, font, background);

    std::string style;
    if (background != defaultBackground)
        style += "background-color: " + ColorToHTML(background) + "; ";
    if (font.Name != defaultFont.Name && !rtl::SameText(font.Name, defaultFont.Name))
        style += "font-family: " + ExportEntityText(font.Name) + "; ";
    if (font.Size != defaultFont.Size)
        style += "font-size: " + std::to_string(font.Size) + "pt; ";
    if (font.Color != defaultFont.Color)
        style += "color: " + ColorToHTML(font.Color) + "; ";
    if (font.Bold != defaultFont.Bold)
        style += std::string("font-weight: ") + (font.Bold ? "bold" : "normal") + "; ";
    if (font.Italic != defaultFont.Italic)
        style += std::string("font-style: ") + (font.Italic ? "italic" : "normal") + "; ";
    if (font.Underline != defaultFont.Underline)
        style += std::string("text-decoration: ") + (font.Underline ? "underline" : "none") + "; ";
    if (style.empty())
        return style;
    style.resize(style.size() - 2);
    return " style=\"" + style + "\"";
}

// ---------------------------------------------------------------------------------------------------
// The export steps

std::unique_ptr<TExportWriter> TExporterHTML::GetWriterClass(std::ostream& stream) {
    return std::make_unique<THTMLWriter>(*this, stream);
}

void TExporterHTML::FontLines(int indent) {
    const TExportFont& font = HTMLOptions.TextFont;
    if (!HTMLOptions.DefaultOptions.count(TDefaultOption::doFontName))
        styleSheet_.push_back(Indent(indent) + "font-family: " + font.Name + ";");
    if (!HTMLOptions.DefaultOptions.count(TDefaultOption::doFontSize))
        styleSheet_.push_back(Indent(indent) + "font-size: " + std::to_string(font.Size) + "pt;");
}

void TExporterHTML::BuildStyleSheet() {
    styleSheet_.clear();
    styleSheet_.push_back("  BODY { background: " + ColorToHTML(HTMLOptions.BackgroundColor) + ";" +
                          " color: " + ColorToHTML(HTMLOptions.TextFont.Color) + ";");
    FontLines(9);
    if (!HTMLOptions.BackgroundFileName.empty())
        styleSheet_.push_back("background-image: url(" + HTMLOptions.BackgroundFileName + ")");
    styleSheet_.push_back("  }");
    styleSheet_.push_back("  A:link { color: " + ColorToHTML(HTMLOptions.LinkColor) + " }");
    styleSheet_.push_back("  A:visited { color: " + ColorToHTML(HTMLOptions.VLinkColor) + " }");
    styleSheet_.push_back("  A:active { color: " + ColorToHTML(HTMLOptions.ALinkColor) + " }");
    borderInUse_ = TableOptions.BorderColor != kNoBorderColor;
    const bool tableBackground = FileExists(TableOptions.BackgroundFileName);
    const std::string indent = Indent(12);
    auto rowClass = [&](const std::string& opening, TExportColor background, TExportColor color,
                        bool caption) {
        styleSheet_.push_back(opening);
        if (!tableBackground)
            styleSheet_.push_back(indent + "background-color: " + ColorToHTML(background) + ";");
        styleSheet_.push_back(indent + "color: " + ColorToHTML(color) + ";");
        if (caption)
            styleSheet_.push_back(indent + "font-weight: bold; text-align: center;");
        FontLines(12);
        styleSheet_.push_back("  }");
    };
    if (AllowCaptions)
        rowClass("  .ThRows { ", TableOptions.HeadersRowBgColor, TableOptions.HeadersRowFontColor, true);
    rowClass("  .TrRows {", TableOptions.TableBgColor, TableOptions.TableFontColor, false);
    rowClass("  .TrOdd  {", TableOptions.OddRowBgColor, TableOptions.TableFontColor, false);
    if (borderInUse_)
        styleSheet_.push_back("  .TrBC { background-color: " + ColorToHTML(TableOptions.BorderColor) + " }");
}

void TExporterHTML::BeginExport() {
    TExporterFormatText::BeginExport();
    pages_.clear();
    pageOpen_ = false;
    tableOpen_ = false;
    rowsInPage_ = 0;
    cssName_.clear();
    cssWritten_ = false;
    BuildStyleSheet();
    for (size_t odd = 0; odd < 2; ++odd)
        for (size_t align = 0; align < cellOpenings_[odd].size(); ++align) {
            const std::string opening =
                std::string(CellStart(odd != 0)) + " align=" + AlignText(TExportColAlign(align)) + '>';
            TPaddedMarkup& padded = cellOpenings_[odd][align];
            std::memcpy(padded.Bytes.data(), opening.data(), opening.size()); // well within the room
            padded.Size = opening.size();
        }
}

std::int64_t TExporterHTML::StreamPosition() const {
    return std::int64_t(Writer().Stream().tellp());
}

void TExporterHTML::WriteStyle(const std::string& pageName) {
    TExportWriter& w = Writer();
    if (UsingCSS == TUsingCSS::usInternal) {
        w.WriteLn("<Style type=\"text/css\">");
        for (const std::string& line : styleSheet_)
            w.WriteLn(line);
        w.WriteLn("</STYLE>");
        return;
    }
    if (!files_)
        return; // an external style sheet needs a file to sit beside
    if (cssName_.empty())
        cssName_ = CSSFileName.empty() ? ChangeFileExt(pageName, ".css") : CSSFileName;
    w.WriteLn(" <link rel=\"stylesheet\" type=\"text/css\" href=\"" +
              ExportEntityText(HTMLLinkTarget(cssName_, pageName)) + "\">");
    if (!cssWritten_ && (!FileExists(cssName_) || OverwriteCSSFile)) {
        std::string content;
        for (const std::string& line : styleSheet_)
            content += line + "\r\n";
        files_->WriteWhole(cssName_, content);
        cssWritten_ = true;
    }
}

void TExporterHTML::StartPage(const std::string& pageName) {
    TExportWriter& w = Writer();
    w.WriteLn("<HTML>");
    w.WriteLn("<HEAD>");
    w.WriteLn(" <META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    w.WriteLn(" <Title>" + (InterpretTags ? ExportEntityText(Title) : ExportCleanText(Title)) + "</Title>");
    WriteStyle(pageName);
    w.WriteLn("</HEAD>");
    w.WriteLn("<BODY>");
    if (MultiFile() && !pages_.empty())
        pages_.back().Top = StreamPosition();
    for (int i = 0; i < Header.Count(); ++i)
        w.WriteLn(Header[i]);
    pageOpen_ = true;
}

void TExporterHTML::StartTable() {
    TExportWriter& w = Writer();
    if (borderInUse_) {
        w.WriteLn("<Table cellspacing=0 cellpadding=0 class=\"TrBC\">");
        w.WriteLn("<tr><td>");
    }
    const std::string attributes = "<Table Border=\"" + std::to_string(TableOptions.Border) +
                                   "\" Cellpadding=\"" + std::to_string(TableOptions.CellPadding) +
                                   "\" Cellspacing=\"" + std::to_string(TableOptions.CellSpacing) + "\"";
    if (FileExists(TableOptions.BackgroundFileName))
        w.WriteLn(attributes + " Background=\"" + ExportEntityText(TableOptions.BackgroundFileName) + "\">");
    else
        w.WriteLn(attributes + ">");
    tableOpen_ = true;
    if (AllowCaptions) {
        w.WriteLn("  <tr>");
        for (int i = 0; i < Columns.Count(); ++i)
            w.WriteLn("    <td class=\"ThRows\">" + GetColCaption(i) + "</td>");
        w.WriteLn("  </tr>");
    }
}

void TExporterHTML::ClosePage() {
    TExportWriter& w = Writer();
    if (tableOpen_) {
        w.WriteLn("</Table>");
        if (borderInUse_) {
            w.WriteLn("</td></tr>");
            w.WriteLn("</Table>");
        }
        tableOpen_ = false;
    }
    for (int i = 0; i < Footer.Count(); ++i)
        w.WriteLn(Footer[i]);
    if (MultiFile() && !pages_.empty())
        pages_.back().Bottom = StreamPosition();
    w.WriteLn("</BODY>");
    w.WriteLn("</HTML>");
    pageOpen_ = false;
}

void TExporterHTML::NextPageFile() {
    // The page written so far is finished (synced and closed) as the next one opens; a failed write
    // of it is raised then, with its cause.
    std::ostream& stream = Writer().Stream();
    stream.flush();
    const std::string name = NumberedFileName(FileName, int(pages_.size()) + 1, 2);
    // Pages that get navigation bars are completed once the page count is known.
    stream.rdbuf(files_->Open(name, Navigation.OnTop || Navigation.OnBottom));
    pages_.push_back({name});
}

void TExporterHTML::BeforeExport() {
    TExporterFormatText::BeforeExport();
    if (IsEmpty())
        StartPage(FileName); // an empty export still gives a page
}

void TExporterHTML::WriteDataRow() {
    const bool multi = MultiFile();
    if (!pageOpen_ || (multi && RecordCounter % maxRecords_ == 0)) {
        if (multi) {
            if (pageOpen_)
                ClosePage();
            NextPageFile();
        }
        StartPage(multi ? pages_.back().FileName : FileName);
        StartTable();
        rowsInPage_ = 0;
    }
    ++rowsInPage_;
    const bool odd = multi ? rowsInPage_ % 2 == 1 : (RecordCounter + 1) % 2 == 1;
    // The row's lines are gathered in storage kept from row to row and written at once.
    TExportRowBytes row(rowLines_);
    constexpr std::string_view rowStart = "  <tr>\r\n", cellEnd = "</td>\r\n", rowEnd = "  </tr>\r\n";
    row.MakeRoom(rowStart.size() + rowEnd.size());
    row.Put(rowStart);
    // Cells that keep the defaults are escaped while they are copied into the row, behind one of the six
    // opening tags made at the start of the export: what GetText and GetColData would make of them, in one
    // scan. With cell parameters GetColData puts alignment and style in front.
    const bool composing = CellsInOnePass();
    const TPaddedMarkup* const openings = cellOpenings_[odd ? 1 : 0].data();
    const auto putPadded = [&](const TPaddedMarkup& markup) {
        std::memcpy(row.End(), markup.Bytes.data(), TPaddedMarkup::kRoom);
        row.Advance(row.End() + markup.Size);
    };
    const std::string_view start = CellStart(odd);
    const TExportChangedBytes& changed = InterpretTags ? kChangedWithTags : kChangedPlain;
    constexpr std::string_view lineBreak = "<br>", emptyCell = "&nbsp;";
    for (int i = 0; i < ExportRow.Count(); ++i) {
        const TExportCol& cell = ExportRow.CheckedCol(i);
        if (!composing) {
            cell.GetText(true, cellText_);
            row.MakeRoom(start.size() + cellText_.size() + cellEnd.size() + rowEnd.size());
            row.Put(start);
            row.Put(cellText_);
            row.Put(cellEnd);
            continue;
        }
        const TExportColumn* const column = CellColumn(cell);
        const TExportBareText bare = cell.GetBareText(true, cellText_);
        std::string_view text = bare.Text;
        bool escapes = (bare.Escapes && Columns.Escape()) || EscapedByGetColData(cell, column);
        if (text.empty()) {
            text = emptyCell;
            escapes = false;
        } else if (escapes && text.size() > kLongCellText) {
            // A long text is escaped on its own, so that the row needs no room for its longest escaping.
            cellText_ = ExportReplaceChangedBytes(text, changed, lineBreak);
            text = cellText_;
            escapes = false;
        }
        row.MakeRoom(TPaddedMarkup::kRoom +
                     (escapes ? ExportReplacedBytesBound(text.size(), lineBreak) : text.size()) +
                     cellEnd.size() + rowEnd.size());
        putPadded(openings[size_t(column ? column->ColAlign : TExportColAlign::ecaLeft)]);
        if (escapes)
            row.Advance(ExportWriteReplacedBytes(row.End(), text, changed, lineBreak));
        else
            row.Put(text);
        row.Put(cellEnd);
    }
    row.Put(rowEnd);
    Writer().Write(row.Bytes());
}

void TExporterHTML::AfterExport() {
    if (!pageOpen_)
        StartPage(FileName); // every row was refused: still a complete page
    ClosePage();
    TExporterFormatText::AfterExport();
}

std::string TExporterHTML::PageLabel(int page) const {
    return page < 10 ? "0" + std::to_string(page) : std::to_string(page);
}

std::string TExporterHTML::PageTarget(int page) const {
    return NumberedFileName(ExtractFileName(FileName), page, 2);
}

void TExporterHTML::WriteIndexPage() {
    std::ostream& stream = Writer().Stream();
    stream.flush();
    stream.rdbuf(files_->Open(FileName, false));
    TExportWriter& w = Writer();
    w.WriteLn("<HTML>");
    w.WriteLn("<HEAD>");
    w.WriteLn(" <META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">");
    WriteStyle(FileName);
    w.WriteLn("</HEAD>");
    w.WriteLn("<BODY>");
    w.WriteLn("<UL>");
    for (int page = 1; page <= int(pages_.size()); ++page) {
        const std::string target = ExportEntityText(PageTarget(page));
        const std::string text =
            Navigation.IndexLinkTemplate.empty() ? target : Navigation.IndexLinkTemplate + PageLabel(page);
        w.WriteLn("<LI>");
        w.WriteLn("<a href=\"" + target + "\">" + text + "</a>");
    }
    w.WriteLn("</UL>");
    w.WriteLn("</BODY>");
    w.WriteLn("</HTML>");
}

std::string TExporterHTML::NavigationBar(int page, bool top) const {
    const int count = int(pages_.size());
    std::string bar;
    auto line = [&](const std::string& text) { bar += text + "\r\n"; };
    auto link = [&](const std::string& target, const std::string& title) {
        line("    <td><a href=\"" + ExportEntityText(target) + "\">" + title + "</a></td>");
    };
    if (!top)
        line("<br>");
    line("<Table Border=\"0\" Cellpadding=\"4\" Cellspacing=\"1\">");
    line("  <tr>");
    if (GenerateIndex)
        link(ExtractFileName(FileName), Navigation.IndexLinkTitle);
    link(PageTarget(1), Navigation.FirstLinkTitle);
    link(PageTarget(page == 1 ? count : page - 1), Navigation.PriorLinkTitle);
    for (int k = 1; k <= count; ++k) {
        if (k == page)
            line("    <td><b>" + PageLabel(k) + "</b></td>");
        else
            link(PageTarget(k), PageLabel(k));
    }
    link(PageTarget(page == count ? 1 : page + 1), Navigation.NextLinkTitle);
    link(PageTarget(count), Navigation.LastLinkTitle);
    line("  </tr>");
    line("</Table>");
    if (top)
        line("<br>");
    return bar;
}

void TExporterHTML::WriteNavigation() {
    Writer().Stream().flush();
    files_->Close();
    for (int page = 1; page <= int(pages_.size()); ++page) {
        const THTMLPageOption& option = pages_[size_t(page - 1)];
        std::vector<std::pair<std::int64_t, std::string>> inserts;
        if (Navigation.OnTop)
            inserts.emplace_back(option.Top, NavigationBar(page, true));
        if (Navigation.OnBottom)
            inserts.emplace_back(option.Bottom, NavigationBar(page, false));
        files_->Insert(option.FileName, std::move(inserts));
    }
}

void TExporterHTML::EndExport() {
    // An export aborted before its rows still ends its page.
    if (GetWriter() && pageOpen_)
        ClosePage();
    if (maxRecords_ >= 1 && files_ && GetWriter()) {
        if (GenerateIndex)
            WriteIndexPage();
        if ((Navigation.OnTop || Navigation.OnBottom) && pages_.size() >= 2)
            WriteNavigation();
    }
    TExporterFormatText::EndExport();
}

// ---------------------------------------------------------------------------------------------------
// Files

std::string TExporterHTML::FirstNumberedFile() const {
    return NumberedFileName(FileName, 1, 2);
}

std::string TExporterHTML::GetShowedFileName() const {
    if (maxRecords_ >= 1 && !GenerateIndex && FileExists(FirstNumberedFile()))
        return FirstNumberedFile();
    return FileName;
}

std::string TExporterHTML::GetPrintedFileName() const {
    return GetShowedFileName();
}

void TExporterHTML::Execute() {
    ForceExportDirectory(FileName);
    THTMLFileSet files;
    // With numbered pages FileName gets the index page or nothing: what goes there first is kept aside.
    std::ostream out(files.Open(FileName, maxRecords_ >= 1));
    struct TRunGuard {
        TExporterHTML& exporter;
        ~TRunGuard() { exporter.files_ = nullptr; }
    } guard{*this};
    files_ = &files;
    ExportToStream(out);
    // An aborted export is incomplete: none of its files is put in place, so every file that was
    // there before stays as it was (the file set discards the new ones).
    if (Aborted)
        return;
    // Rows went to numbered pages: without an index page nothing was written under FileName itself.
    if (maxRecords_ >= 1 && !GenerateIndex && !pages_.empty())
        files.Discard(FileName);
    files.Commit();
    files_ = nullptr;
    ShowResult();
}

} // namespace exporter
