#include "export/dialog/ExporterOptionsFile.h"

#include "export/core/ExporterLocale.h"
#include "export/core/ExporterPageUtils.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogFormLogic.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/Colors.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <array>

namespace exporter {

namespace {

constexpr const char* General = "GENERAL";
constexpr const char* FormatsSection = "FORMATS";
constexpr const char* UserFormatsSection = "USER_FORMATS";
constexpr const char* FieldsSection = "FIELDS";
constexpr const char* HeaderSection = "HEADER";
constexpr const char* FooterSection = "FOOTER";
constexpr const char* CaptionsSection = "CAPTIONS";
constexpr const char* AlignSection = "ALIGN";
constexpr const char* WidthSection = "WIDTH";
constexpr const char* XLSSection = "XLS";
constexpr const char* RTFSection = "RTF";
constexpr const char* HTMLSection = "HTML";
constexpr const char* PDFSection = "PDF";

constexpr const char* XLSFieldPrefix = "XLS_FIELD_";
constexpr const char* XLSOptionPrefix = "XLS_OPTION_";
constexpr const char* XLSStylePrefix = "XLS_STYLE_";
constexpr const char* XLSHyperlinkPrefix = "XLS_HYPERLINK_";
constexpr const char* XLSNotePrefix = "XLS_NOTE_";
constexpr const char* XLSChartPrefix = "XLS_CHART_";
constexpr const char* XLSCellPrefix = "XLS_CELL_";
constexpr const char* XLSMergedCellPrefix = "XLS_MERGED_CELL_";
constexpr const char* RTFStylePrefix = "RTF_STYLE_";
constexpr const char* RTFStripStylePrefix = "RTF_STRIP_STYLE_";

constexpr int XLSOptionItemCount = 5;
constexpr int RTFBaseStyleCount = 4;

std::string ColorText(TExportColor color) {
    return rtl::ColorToString(rtl::TColor(color));
}

// The available or exported field of that name (ignoring case), or null.
const TExportFieldItem* FindField(const TExportFormState& s, const std::string& name) {
    for (const auto* fields : {&s.AvailableFields, &s.ExportedFields})
        for (const TExportFieldItem& field : *fields)
            if (rtl::SameText(field.Caption, name))
                return &field;
    return nullptr;
}

TExportColor ReadColor(const ini::IniFile& ini, const std::string& section, const std::string& key,
                       TExportColor def) {
    const std::string text = ini.ReadString(section, key, ColorText(def));
    try {
        return TExportColor(rtl::StringToColor(text));
    } catch (const std::exception&) {
        return def;
    }
}

// An ordinal read back: a value outside 0 .. last gives the default.
template <typename Enum>
Enum ReadOrdinal(const ini::IniFile& ini, const std::string& section, const std::string& key, Enum def,
                 Enum last) {
    const int value = ini.ReadInteger(section, key, int(def));
    return value >= 0 && value <= int(last) ? Enum(value) : def;
}

bool StartsWithText(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && rtl::SameText(text.substr(0, prefix.size()), prefix);
}

// The values of a section in key order.
std::vector<std::string> SectionValues(const ini::IniFile& ini, const std::string& section) {
    std::vector<std::string> values;
    for (const std::string& key : ini.ReadSection(section))
        values.push_back(ini.ReadString(section, key, ""));
    return values;
}

void WriteLines(ini::IniFile& ini, const std::string& section, const std::string& prefix,
                const rtl::TStringList& lines) {
    for (int i = 0; i < lines.Count(); ++i)
        ini.WriteString(section, prefix + std::to_string(i), lines[i]);
}

void ReadLines(const ini::IniFile& ini, const std::string& section, rtl::TStringList& lines) {
    lines.Clear();
    for (const std::string& value : SectionValues(ini, section))
        lines.Add(value);
}

// A list kept in one edit: its lines joined by line breaks (the INI file keeps a break as a blank).
std::string OneText(const rtl::TStringList& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += (i ? "\r\n" : "") + list[i];
    return text;
}

void SetOneText(rtl::TStringList& list, const std::string& text) {
    list.Clear();
    if (!text.empty())
        list.SetText(text);
}

// The numbered parts of an options object, for the form's state (to fill) or the component's (to read).
template <class XLSOptions> auto* XLSOptionItem(XLSOptions& xls, int item) {
    const std::array items{&xls.HeaderFormat, &xls.CaptionFormat, &xls.AggregateFormat, &xls.FooterFormat,
                           &xls.HyperlinkFormat};
    return items[size_t(item)];
}

template <class RTFOptions> auto* RTFBaseStyle(RTFOptions& rtf, int item) {
    const std::array styles{&rtf.HeaderStyle, &rtf.CaptionStyle, &rtf.DataStyle, &rtf.FooterStyle};
    return styles[size_t(item)];
}

std::string XLSStyleCaption(size_t index) {
    return ExportLoadStr(34252) + std::to_string(index + 1);
}

std::string RTFStripStyleCaption(int index) {
    return ExportLoadStr(34158) + std::to_string(index + 1);
}

template <class PDFOptions> auto* PDFFont(PDFOptions& pdf, int item) {
    const std::array fonts{&pdf.HeaderFont, &pdf.CaptionFont, &pdf.DataFont, &pdf.FooterFont};
    return fonts[size_t(item)];
}

// The items of a sheet-object collection, each in the section prefix + its 0-based position.
template <class Collection>
void SaveObjects(ini::IniFile& ini, const std::string& prefix, const Collection& items) {
    for (size_t i = 0; i < items.Count(); ++i)
        items.Items(i).SaveToIni(ini, prefix + std::to_string(i));
}

// Adds an item loaded from the section, when the section has the key that marks a complete item.
template <class Collection>
void LoadObject(const ini::IniFile& ini, const std::string& section, const char* requiredKey,
                Collection& items) {
    if (requiredKey && !IniValueExists(ini, section, requiredKey))
        return;
    items.Add().LoadFromIni(ini, section);
}

constexpr const char* PDFFontSections[] = {"PDF_OPTION_HEADER", "PDF_OPTION_CAPTION", "PDF_OPTION_DATA",
                                           "PDF_OPTION_FOOTER"};

} // namespace

std::string XLSOptionItemCaption(int item) {
    static const int ids[] = {34243, 34244, 34246, 34247, 34248};
    return ExportLoadStr(ids[item]);
}

std::string RTFBaseStyleCaption(int item) {
    return ExportLoadStr(34154 + item);
}

void EraseAllIniSections(ini::IniFile& ini) {
    for (const std::string& section : ini.ReadSections())
        ini.EraseSection(section);
}

bool IniSectionExists(const ini::IniFile& ini, const std::string& section) {
    return ini.SectionExists(section);
}

bool IniValueExists(const ini::IniFile& ini, const std::string& section, const std::string& key) {
    return ini.ValueExists(section, key);
}

// --- saving ---

void TExportOptionsFile::SaveExportOptions(const std::string& fileName, const TExportFormState& s) const {
    ini::IniFile ini(fileName);
    EraseAllIniSections(ini);

    ini.WriteInteger(General, "ExportType", int(s.ExportType));
    ini.WriteString(General, "FileName", s.FileName);
    ini.WriteBool(General, "ShowFile", s.ShowFile);
    ini.WriteBool(General, "PrintFile", s.PrintFile);
    ini.WriteBool(General, "GoToFirstRecord", s.GoToFirstRecord);
    ini.WriteBool(General, "ExportEmpty", s.ExportEmpty);
    ini.WriteBool(General, "CurrentRecordOnly", s.CurrentRecordOnly);
    ini.WriteInteger(General, "ExportRecCount", s.ExportRecCount);
    ini.WriteInteger(General, "SkipRecCount", s.SkipRecCount);
    ini.WriteBool(General, "AllowCaptions", s.AllowCaptions);
    ini.WriteInteger(General, "CaptionRow", s.CaptionRow);

    if (s.FormatsPageVisible) {
        const TExportFormats& f = s.Formats;
        ini.WriteString(FormatsSection, "Integer", f.IntegerFormat());
        ini.WriteString(FormatsSection, "Float", f.FloatFormat());
        ini.WriteString(FormatsSection, "Date", f.DateFormat());
        ini.WriteString(FormatsSection, "Time", f.TimeFormat());
        ini.WriteString(FormatsSection, "DateTime", f.DateTimeFormat());
        ini.WriteString(FormatsSection, "Currency", f.CurrencyFormat());
        ini.WriteString(FormatsSection, "BooleanTrue", f.BooleanTrue());
        ini.WriteString(FormatsSection, "BooleanFalse", f.BooleanFalse());
        ini.WriteString(FormatsSection, "NullString", f.NullString());
        for (const auto& item : s.UserFormats)
            ini.WriteString(UserFormatsSection, item.FieldName, item.Format);
    }

    for (size_t i = 0; i < s.ExportedFields.size(); ++i)
        ini.WriteString(FieldsSection, "field" + std::to_string(i), s.ExportedFields[i].Caption);

    if (s.HeaderFooterPageVisible) {
        WriteLines(ini, HeaderSection, "line", s.Header);
        WriteLines(ini, FooterSection, "line", s.Footer);
    }

    if (s.CaptionsPageVisible) {
        const int alignColumn = CaptionAlignColumn(s.ExportType);
        const int widthColumn = CaptionWidthColumn(s.ExportType);
        for (const TExportCaptionRow& row : s.Captions) {
            const std::string field = row.size() > 0 ? row[0] : std::string();
            ini.WriteString(CaptionsSection, field, row.size() > 1 ? row[1] : std::string());
            if (alignColumn >= 0)
                ini.WriteString(AlignSection, field, int(row.size()) > alignColumn ? row[alignColumn] : "");
            if (widthColumn >= 0) {
                // A width that is not a number is left out rather than ending the save half-way.
                int width = 0;
                if (int(row.size()) > widthColumn && rtl::TryStrToInt(row[widthColumn], width))
                    ini.WriteInteger(WidthSection, field, width);
            }
        }
    }

    switch (s.ExportType) {
    case TAllowedExport::aeXLS:
        SaveXLS(ini, s);
        break;
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
        SaveRTF(ini, s);
        break;
    case TAllowedExport::aeHTML:
        SaveHTML(ini, s);
        break;
    case TAllowedExport::aePDF:
        SavePDF(ini, s);
        break;
    case TAllowedExport::aeXML:
        ini.WriteBool("XML", "Standalone", s.XML.Standalone);
        ini.WriteString("XML", "Encoding", s.XML.Encoding);
        break;
    case TAllowedExport::aeSQL:
        ini.WriteString("SQL", "TableName", s.SQL.TableName);
        ini.WriteBool("SQL", "CreateTable", s.SQL.CreateTable);
        ini.WriteInteger("SQL", "CommitRecCount", s.SQL.CommitRecCount);
        ini.WriteBool("SQL", "CommitAfterScript", s.SQL.CommitAfterScript);
        ini.WriteString("SQL", "CommitStatement", s.SQL.CommitStatement);
        ini.WriteString("SQL", "StatementTerm", s.SQL.StatementTerm);
        break;
    case TAllowedExport::aeTXT:
        ini.WriteBool("TXT", "AutoCalcColWidth", s.TXT.AutoCalcColWidth);
        ini.WriteInteger("TXT", "Spacing", s.TXT.ColSpacing);
        break;
    case TAllowedExport::aeCSV:
        ini.WriteBool("CSV", "QuoteStrings", s.CSV.QuoteStrings);
        ini.WriteString("CSV", "Comma", CharToStrEx(s.CSV.Comma));
        ini.WriteString("CSV", "Quote", CharToStrEx(s.CSV.Quote));
        break;
    default:
        break;
    }
    ini.UpdateFile();
}

void TExportOptionsFile::SaveXLS(ini::IniFile& ini, const TExportFormState& s) const {
    const TExportXLSOptions& x = s.XLS;
    ini.WriteString(XLSSection, "PageHeader", x.PageHeader);
    ini.WriteString(XLSSection, "PageFooter", x.PageFooter);
    ini.WriteString(XLSSection, "SheetTitle", x.SheetTitle());
    ini.WriteInteger(XLSSection, "StripType", int(x.StripType));
    ini.WriteBool(XLSSection, "AutoCalcColWidth", x.AutoCalcColWidth);
    ini.WriteString(XLSSection, "PageBackground", x.PageBackground);
    // Every field of the page's list, as the page shows it, so that loading gives the same formats; then
    // the kept formats of fields not in the list now.
    const std::vector<std::string> listed = XLSFieldListNames(s);
    for (const std::string& name : listed) {
        TxlsFieldFormat format;
        XLSFieldFormatOf(x, name, format);
        format.SaveToIni(ini, XLSFieldPrefix + rtl::UpperCase(name));
    }
    for (size_t i = 0; i < x.FieldFormats.Count(); ++i) {
        const TxlsFieldFormat& f = x.FieldFormats.Items(i);
        if (std::none_of(listed.begin(), listed.end(),
                         [&f](const std::string& name) { return rtl::SameText(name, f.FieldName); }))
            f.SaveToIni(ini, XLSFieldPrefix + rtl::UpperCase(f.FieldName));
    }
    for (int i = 0; i < XLSOptionItemCount; ++i)
        XLSOptionItem(x, i)->SaveToIni(ini, XLSOptionPrefix + rtl::UpperCase(XLSOptionItemCaption(i)));
    for (size_t i = 0; i < x.StripStyles.Count(); ++i)
        x.StripStyles.Items(i).SaveToIni(ini, XLSStylePrefix + rtl::UpperCase(XLSStyleCaption(i)));
    SaveObjects(ini, XLSHyperlinkPrefix, x.Hyperlinks);
    SaveObjects(ini, XLSNotePrefix, x.Notes);
    SaveObjects(ini, XLSChartPrefix, x.Charts);
    SaveObjects(ini, XLSCellPrefix, x.Cells);
    SaveObjects(ini, XLSMergedCellPrefix, x.MergedCells);
}

void TExportOptionsFile::SaveRTF(ini::IniFile& ini, const TExportFormState& s) const {
    ini.WriteInteger(RTFSection, "PageOrientation", int(s.RTF.PageOrientation));
    ini.WriteInteger(RTFSection, "StripType", int(s.RTF.StripType));
    for (int i = 0; i < RTFBaseStyleCount; ++i)
        RTFBaseStyle(s.RTF, i)->SaveToIni(ini, RTFStylePrefix + rtl::UpperCase(RTFBaseStyleCaption(i)));
    for (int i = 0; i < s.RTF.StripStyles.Count(); ++i)
        s.RTF.StripStyles[i].SaveToIni(ini, RTFStripStylePrefix + rtl::UpperCase(RTFStripStyleCaption(i)));
}

void TExportOptionsFile::SaveHTML(ini::IniFile& ini, const TExportFormState& s) const {
    const auto& p = s.HTMLPage;
    const auto& t = s.HTMLTable;
    const auto& m = s.HTMLMultiFile;
    ini.WriteString(HTMLSection, "Title", p.Title);
    ini.WriteInteger(HTMLSection, "CSS", int(p.UsingCSS));
    ini.WriteString(HTMLSection, "CSSFile", p.CSSFileName);
    ini.WriteBool(HTMLSection, "OverwriteCSSFile", p.OverwriteCSSFile);
    ini.WriteInteger(HTMLSection, "FileRecCount", m.FileRecCount);
    ini.WriteBool(HTMLSection, "GenerateIndex", m.GenerateIndex);
    ini.WriteString(HTMLSection, "IndexLinkTemplate", m.IndexLinkTemplate);
    ini.WriteBool(HTMLSection, "NavigationOnTop", m.NavigationOnTop);
    ini.WriteBool(HTMLSection, "NavigationOnBottom", m.NavigationOnBottom);
    ini.WriteString(HTMLSection, "IndexLinkTitle", m.IndexLinkTitle);
    ini.WriteString(HTMLSection, "FirstLinkTitle", m.FirstLinkTitle);
    ini.WriteString(HTMLSection, "PriorLinkTitle", m.PriorLinkTitle);
    ini.WriteString(HTMLSection, "NextLinkTitle", m.NextLinkTitle);
    ini.WriteString(HTMLSection, "LastLinkTitle", m.LastLinkTitle);
    ini.WriteString(HTMLSection, "FontName", p.TextFont.Name);
    ini.WriteString(HTMLSection, "BackgroundFile", p.BackgroundFileName);
    ini.WriteString(HTMLSection, "BodyAdvanced", OneText(p.AdvancedAttributes));
    ini.WriteInteger(HTMLSection, "CellPadding", t.CellPadding);
    ini.WriteInteger(HTMLSection, "CellSpacing", t.CellSpacing);
    ini.WriteInteger(HTMLSection, "BorderWidth", t.BorderWidth);
    ini.WriteString(HTMLSection, "TableBackground", t.BackgroundFileName);
    ini.WriteString(HTMLSection, "TableAdvanced", OneText(t.AdvancedAttributes));
    ini.WriteString(HTMLSection, "BackgroundColor", ColorText(p.BackgroundColor));
    ini.WriteString(HTMLSection, "FontColor", ColorText(p.TextFont.Color));
    ini.WriteString(HTMLSection, "HeadBackgroundColor", ColorText(t.HeadersRowBgColor));
    ini.WriteString(HTMLSection, "HeadFontColor", ColorText(t.HeadersRowFontColor));
    ini.WriteString(HTMLSection, "OddRowBackgroundColor", ColorText(t.OddRowBgColor));
    ini.WriteString(HTMLSection, "EvenRowBackgroundColor", ColorText(t.TableBgColor));
    ini.WriteString(HTMLSection, "DataFontColor", ColorText(t.TableFontColor));
    ini.WriteString(HTMLSection, "LinkColor", ColorText(p.LinkColor));
    ini.WriteString(HTMLSection, "VLinkColor", ColorText(p.VLinkColor));
    ini.WriteString(HTMLSection, "ALinkColor", ColorText(p.ALinkColor));
}

void TExportOptionsFile::SavePDF(ini::IniFile& ini, const TExportFormState& s) const {
    const auto& pdf = s.PDF;
    const auto& page = pdf.PageOptions;
    ini.WriteString(PDFSection, "ColSpacing", rtl::FormatFloat("0.0", pdf.ColSpacing));
    ini.WriteString(PDFSection, "RowSpacing", rtl::FormatFloat("0.0", pdf.RowSpacing));
    ini.WriteInteger(PDFSection, "GridLineWidth", pdf.GridLineWidth);
    ini.WriteInteger(PDFSection, "PageFormat", int(page.Format()));
    ini.WriteInteger(PDFSection, "PageUnits", int(page.Units()));
    ini.WriteInteger(PDFSection, "PageOrientation", int(page.Orientation()));
    ini.WriteInteger(PDFSection, "PageWidth", page.WidthPoints());
    ini.WriteInteger(PDFSection, "PageHeight", page.HeightPoints());
    ini.WriteInteger(PDFSection, "PageMarginLeft", page.MarginLeftPoints());
    ini.WriteInteger(PDFSection, "PageMarginRight", page.MarginRightPoints());
    ini.WriteInteger(PDFSection, "PageMarginTop", page.MarginTopPoints());
    ini.WriteInteger(PDFSection, "PageMarginBottom", page.MarginBottomPoints());
    for (int i = 0; i < 4; ++i) {
        const TPDFFont& font = *PDFFont(pdf, i);
        ini.WriteInteger(PDFFontSections[i], "FontName", int(font.BaseFont));
        ini.WriteInteger(PDFFontSections[i], "FontEncoding", int(font.FontEncoding));
        ini.WriteInteger(PDFFontSections[i], "FontSize", font.FontSize);
        ini.WriteString(PDFFontSections[i], "FontColor", ColorText(font.FontColor));
    }
}

// --- loading ---

void TExportOptionsFile::LoadExportOptions(const std::string& fileName, TExportFormState& s) const {
    const ini::IniFile ini(fileName);
    const TExporterDialog& d = dialog_;

    LoadGeneral(ini, s);

    // The nine formats: the component's first, then the file's.
    s.Formats.Assign(d.Formats);
    TExportFormats& f = s.Formats;
    f.SetIntegerFormat(ini.ReadString(FormatsSection, "Integer", f.IntegerFormat()));
    f.SetFloatFormat(ini.ReadString(FormatsSection, "Float", f.FloatFormat()));
    f.SetDateFormat(ini.ReadString(FormatsSection, "Date", f.DateFormat()));
    f.SetTimeFormat(ini.ReadString(FormatsSection, "Time", f.TimeFormat()));
    f.SetDateTimeFormat(ini.ReadString(FormatsSection, "DateTime", f.DateTimeFormat()));
    f.SetCurrencyFormat(ini.ReadString(FormatsSection, "Currency", f.CurrencyFormat()));
    f.SetBooleanTrue(ini.ReadString(FormatsSection, "BooleanTrue", f.BooleanTrue()));
    f.SetBooleanFalse(ini.ReadString(FormatsSection, "BooleanFalse", f.BooleanFalse()));
    f.SetNullString(ini.ReadString(FormatsSection, "NullString", f.NullString()));

    s.UserFormats.clear();
    for (const std::string& key : ini.ReadSection(UserFormatsSection))
        if (d.Columns.IndexOfName(key) >= 0)
            s.UserFormats.push_back({key, ini.ReadString(UserFormatsSection, key, "")});

    LoadFields(ini, s);
    ReadLines(ini, HeaderSection, s.Header);
    ReadLines(ini, FooterSection, s.Footer);
    LoadCaptions(ini, s);

    switch (s.ExportType) {
    case TAllowedExport::aeXLS:
        LoadXLS(ini, s);
        break;
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
        LoadRTF(ini, s);
        break;
    case TAllowedExport::aeHTML:
        LoadHTML(ini, s);
        break;
    case TAllowedExport::aePDF:
        LoadPDF(ini, s);
        break;
    case TAllowedExport::aeXML:
        s.XML.Standalone = ini.ReadBool("XML", "Standalone", d.XMLOptions.Standalone);
        s.XML.Encoding = ini.ReadString("XML", "Encoding", d.XMLOptions.Encoding);
        break;
    case TAllowedExport::aeSQL:
        s.SQL.TableName = ini.ReadString("SQL", "TableName", d.SQLOptions.TableName);
        s.SQL.CreateTable = ini.ReadBool("SQL", "CreateTable", d.SQLOptions.CreateTable);
        s.SQL.CommitRecCount = ini.ReadInteger("SQL", "CommitRecCount", d.SQLOptions.CommitRecCount);
        s.SQL.CommitAfterScript = ini.ReadBool("SQL", "CommitAfterScript", d.SQLOptions.CommitAfterScript);
        s.SQL.CommitStatement = ini.ReadString("SQL", "CommitStatement", d.SQLOptions.CommitStatement);
        s.SQL.StatementTerm = ini.ReadString("SQL", "StatementTerm", d.SQLOptions.StatementTerm);
        break;
    case TAllowedExport::aeTXT:
        s.TXT.AutoCalcColWidth = ini.ReadBool("TXT", "AutoCalcColWidth", d.TXTOptions.AutoCalcColWidth);
        s.TXT.ColSpacing = ini.ReadInteger("TXT", "Spacing", d.TXTOptions.ColSpacing);
        break;
    case TAllowedExport::aeCSV:
        s.CSV.QuoteStrings = ini.ReadBool("CSV", "QuoteStrings", d.CSVOptions.QuoteStrings);
        // A text that cannot be a separator keeps the component's value.
        s.CSV.Comma = d.CSVOptions.Comma;
        s.CSV.Quote = d.CSVOptions.Quote;
        SeparatorFromText(ini.ReadString("CSV", "Comma", CharToStrEx(d.CSVOptions.Comma)), s.CSV.Comma);
        SeparatorFromText(ini.ReadString("CSV", "Quote", CharToStrEx(d.CSVOptions.Quote)), s.CSV.Quote);
        break;
    default:
        break;
    }
}

void TExportOptionsFile::LoadGeneral(const ini::IniFile& ini, TExportFormState& s) const {
    const TExporterDialog& d = dialog_;
    s.FileName = ini.ReadString(General, "FileName", d.FileName);
    const int type = ini.ReadInteger(General, "ExportType", 0);
    if (type >= 0 && type < AllowedExportCount && s.OfferedTypes.count(TAllowedExport(type)) &&
        TAllowedExport(type) != s.ExportType) {
        s.ExportType = TAllowedExport(type);
        if (OnTypeChange)
            OnTypeChange(s);
    }
    s.ShowFile = ini.ReadBool(General, "ShowFile", d.ShowFile);
    s.PrintFile = ini.ReadBool(General, "PrintFile", d.PrintFile);
    s.GoToFirstRecord = ini.ReadBool(General, "GoToFirstRecord", d.GoToFirstRecord);
    s.ExportEmpty = ini.ReadBool(General, "ExportEmpty", d.ExportEmpty);
    s.CurrentRecordOnly = ini.ReadBool(General, "CurrentRecordOnly", d.CurrentRecordOnly);
    s.ExportRecCount = ini.ReadInteger(General, "ExportRecCount", d.ExportRecCount);
    s.SkipRecCount = ini.ReadInteger(General, "SkipRecCount", d.SkipRecCount);
    s.AllowCaptions = ini.ReadBool(General, "AllowCaptions", d.AllowCaptions);
    s.CaptionRow = ini.ReadInteger(General, "CaptionRow", d.CaptionRow);
}

void TExportOptionsFile::LoadFields(const ini::IniFile& ini, TExportFormState& s) const {
    // Every exported field goes back to the available list, which stays in source order.
    for (const auto& item : s.ExportedFields) {
        auto at = std::find_if(s.AvailableFields.begin(), s.AvailableFields.end(),
                               [&](const TExportFieldItem& a) { return a.ColumnIndex > item.ColumnIndex; });
        s.AvailableFields.insert(at, item);
    }
    s.ExportedFields.clear();
    for (const std::string& name : SectionValues(ini, FieldsSection)) {
        auto found = std::find_if(s.AvailableFields.begin(), s.AvailableFields.end(),
                                  [&](const TExportFieldItem& a) { return rtl::SameText(a.Caption, name); });
        if (found == s.AvailableFields.end())
            continue;
        s.ExportedFields.push_back(*found);
        s.AvailableFields.erase(found);
    }
}

void TExportOptionsFile::LoadCaptions(const ini::IniFile& ini, TExportFormState& s) const {
    const int alignColumn = CaptionAlignColumn(s.ExportType);
    const int widthColumn = CaptionWidthColumn(s.ExportType);
    const size_t cells = size_t(std::max({2, alignColumn + 1, widthColumn + 1}));
    for (auto& row : s.Captions) {
        if (row.size() < cells)
            row.resize(cells);
        row[1].clear();
    }
    auto rowOf = [&](const std::string& field) -> TExportCaptionRow* {
        for (auto& row : s.Captions)
            if (rtl::SameText(row[0], field))
                return &row;
        return nullptr;
    };
    for (const std::string& key : ini.ReadSection(CaptionsSection))
        if (auto* row = rowOf(key))
            (*row)[1] = ini.ReadString(CaptionsSection, key, "");
    if (widthColumn >= 0) {
        for (auto& row : s.Captions)
            row[size_t(widthColumn)] = "0";
        for (const std::string& key : ini.ReadSection(WidthSection))
            if (auto* row = rowOf(key))
                (*row)[size_t(widthColumn)] = ini.ReadString(WidthSection, key, "0");
    }
    if (alignColumn >= 0) {
        for (auto& row : s.Captions)
            row[size_t(alignColumn)] = "Left";
        for (const std::string& key : ini.ReadSection(AlignSection))
            if (auto* row = rowOf(key))
                (*row)[size_t(alignColumn)] = ini.ReadString(AlignSection, key, "Left");
    }
}

void TExportOptionsFile::LoadXLS(const ini::IniFile& ini, TExportFormState& s) const {
    const TExportXLSOptions& c = dialog_.XLSOptions;
    TExportXLSOptions& x = s.XLS;
    x.PageHeader = ini.ReadString(XLSSection, "PageHeader", c.PageHeader);
    x.PageFooter = ini.ReadString(XLSSection, "PageFooter", c.PageFooter);
    x.SetSheetTitle(ini.ReadString(XLSSection, "SheetTitle", c.SheetTitle()));
    x.StripType = ReadOrdinal(ini, XLSSection, "StripType", c.StripType, ssRow);
    x.AutoCalcColWidth = ini.ReadBool(XLSSection, "AutoCalcColWidth", c.AutoCalcColWidth);
    x.PageBackground = ini.ReadString(XLSSection, "PageBackground", c.PageBackground);

    // Every format back to its default (the fields keep their names, the caption item is bold again).
    x.Hyperlinks.Clear();
    x.Notes.Clear();
    x.Charts.Clear();
    x.Cells.Clear();
    x.MergedCells.Clear();
    for (size_t i = 0; i < x.FieldFormats.Count(); ++i) {
        TxlsFieldFormat& field = x.FieldFormats.Items(i);
        const std::string name = field.FieldName;
        field.SetDefault();
        field.FieldName = name;
    }
    for (int i = 0; i < XLSOptionItemCount; ++i)
        XLSOptionItem(x, i)->SetDefault();
    SetDefaultXlsCaptionFormat(x.CaptionFormat);

    const auto sections = ini.ReadSections();
    // The file's styles replace those of the form, so that loading what was saved gives the same styles.
    const bool fileHasStyles = std::any_of(sections.begin(), sections.end(), [](const std::string& name) {
        return StartsWithText(name, XLSStylePrefix);
    });
    if (fileHasStyles)
        x.StripStyles.Clear();
    else
        for (size_t i = 0; i < x.StripStyles.Count(); ++i)
            x.StripStyles.Items(i).SetDefault();

    for (const std::string& section : sections) {
        if (StartsWithText(section, XLSFieldPrefix)) {
            const std::string name = section.substr(std::string(XLSFieldPrefix).size());
            const int index = x.FieldFormats.IndexOf(name);
            if (index >= 0) {
                x.FieldFormats.Items(size_t(index)).LoadFromIni(ini, section);
            } else if (const TExportFieldItem* field = FindField(s, name)) {
                // A field of the page's list without a format of its own so far.
                TxlsFieldFormat& format = x.FieldFormats.Add();
                format.LoadFromIni(ini, section);
                format.FieldName = field->Caption;
            }
        } else if (StartsWithText(section, XLSOptionPrefix)) {
            const std::string name = section.substr(std::string(XLSOptionPrefix).size());
            for (int i = 0; i < XLSOptionItemCount; ++i)
                if (rtl::SameText(XLSOptionItemCaption(i), name)) {
                    XLSOptionItem(x, i)->LoadFromIni(ini, section);
                    break;
                }
        } else if (StartsWithText(section, XLSStylePrefix)) {
            x.StripStyles.Add().LoadFromIni(ini, section);
        } else if (StartsWithText(section, XLSHyperlinkPrefix)) {
            LoadObject(ini, section, nullptr, x.Hyperlinks);
        } else if (StartsWithText(section, XLSNotePrefix)) {
            LoadObject(ini, section, "Col", x.Notes);
        } else if (StartsWithText(section, XLSChartPrefix)) {
            LoadObject(ini, section, "Style", x.Charts);
        } else if (StartsWithText(section, XLSCellPrefix)) {
            LoadObject(ini, section, "Col", x.Cells);
        } else if (StartsWithText(section, XLSMergedCellPrefix)) {
            LoadObject(ini, section, "FirstCol", x.MergedCells);
        }
    }
}

void TExportOptionsFile::LoadRTF(const ini::IniFile& ini, TExportFormState& s) const {
    const TExportRTFOptions& c = dialog_.RTFOptions;
    TExportRTFOptions& r = s.RTF;
    r.PageOrientation = ReadOrdinal(ini, RTFSection, "PageOrientation", c.PageOrientation,
                                    TExportPageOrientation::poLandscape);
    r.StripType = ReadOrdinal(ini, RTFSection, "StripType", c.StripType, TrtfStripType::stRow);

    const TExportRTFOptions defaults;
    for (int i = 0; i < RTFBaseStyleCount; ++i)
        RTFBaseStyle(r, i)->Assign(*RTFBaseStyle(defaults, i));

    const auto sections = ini.ReadSections();
    // The file's strip styles replace those of the form, as for the workbook's styles.
    const bool fileHasStrips = std::any_of(sections.begin(), sections.end(), [](const std::string& name) {
        return StartsWithText(name, RTFStripStylePrefix);
    });
    if (fileHasStrips)
        r.StripStyles.Clear();
    else
        for (int i = 0; i < r.StripStyles.Count(); ++i)
            r.StripStyles[i].SetDefault();

    for (const std::string& section : sections) {
        if (StartsWithText(section, RTFStripStylePrefix)) {
            r.StripStyles.Add().LoadFromIni(ini, section);
        } else if (StartsWithText(section, RTFStylePrefix)) {
            const std::string name = section.substr(std::string(RTFStylePrefix).size());
            for (int i = 0; i < RTFBaseStyleCount; ++i)
                if (rtl::SameText(RTFBaseStyleCaption(i), name)) {
                    RTFBaseStyle(r, i)->LoadFromIni(ini, section);
                    break;
                }
        }
    }
}

void TExportOptionsFile::LoadHTML(const ini::IniFile& ini, TExportFormState& s) const {
    const auto& cp = dialog_.HTMLPageOptions;
    const auto& ct = dialog_.HTMLTableOptions;
    const auto& cm = dialog_.HTMLMultiFileOptions;
    auto& p = s.HTMLPage;
    auto& t = s.HTMLTable;
    auto& m = s.HTMLMultiFile;
    p.Title = ini.ReadString(HTMLSection, "Title", cp.Title);
    p.UsingCSS = ReadOrdinal(ini, HTMLSection, "CSS", cp.UsingCSS, TUsingCSS::usExternal);
    p.CSSFileName = ini.ReadString(HTMLSection, "CSSFile", cp.CSSFileName);
    p.OverwriteCSSFile = ini.ReadBool(HTMLSection, "OverwriteCSSFile", cp.OverwriteCSSFile);
    m.FileRecCount = ini.ReadInteger(HTMLSection, "FileRecCount", cm.FileRecCount);
    if (m.FileRecCount > 0)
        s.HTMLUseMultiFile = true;
    m.GenerateIndex = ini.ReadBool(HTMLSection, "GenerateIndex", cm.GenerateIndex);
    m.IndexLinkTemplate = ini.ReadString(HTMLSection, "IndexLinkTemplate", cm.IndexLinkTemplate);
    m.NavigationOnTop = ini.ReadBool(HTMLSection, "NavigationOnTop", cm.NavigationOnTop);
    m.NavigationOnBottom = ini.ReadBool(HTMLSection, "NavigationOnBottom", cm.NavigationOnBottom);
    m.IndexLinkTitle = ini.ReadString(HTMLSection, "IndexLinkTitle", cm.IndexLinkTitle);
    m.FirstLinkTitle = ini.ReadString(HTMLSection, "FirstLinkTitle", cm.FirstLinkTitle);
    m.PriorLinkTitle = ini.ReadString(HTMLSection, "PriorLinkTitle", cm.PriorLinkTitle);
    m.NextLinkTitle = ini.ReadString(HTMLSection, "NextLinkTitle", cm.NextLinkTitle);
    m.LastLinkTitle = ini.ReadString(HTMLSection, "LastLinkTitle", cm.LastLinkTitle);
    p.TextFont.Name = ini.ReadString(HTMLSection, "FontName", cp.TextFont.Name);
    p.BackgroundFileName = ini.ReadString(HTMLSection, "BackgroundFile", cp.BackgroundFileName);
    SetOneText(p.AdvancedAttributes,
               ini.ReadString(HTMLSection, "BodyAdvanced", OneText(cp.AdvancedAttributes)));
    t.CellPadding = ini.ReadInteger(HTMLSection, "CellPadding", ct.CellPadding);
    t.CellSpacing = ini.ReadInteger(HTMLSection, "CellSpacing", ct.CellSpacing);
    t.BorderWidth = ini.ReadInteger(HTMLSection, "BorderWidth", ct.BorderWidth);
    t.BackgroundFileName = ini.ReadString(HTMLSection, "TableBackground", ct.BackgroundFileName);
    SetOneText(t.AdvancedAttributes,
               ini.ReadString(HTMLSection, "TableAdvanced", OneText(ct.AdvancedAttributes)));
    p.BackgroundColor = ReadColor(ini, HTMLSection, "BackgroundColor", cp.BackgroundColor);
    p.TextFont.Color = ReadColor(ini, HTMLSection, "FontColor", cp.TextFont.Color);
    t.HeadersRowBgColor = ReadColor(ini, HTMLSection, "HeadBackgroundColor", ct.HeadersRowBgColor);
    t.HeadersRowFontColor = ReadColor(ini, HTMLSection, "HeadFontColor", ct.HeadersRowFontColor);
    t.OddRowBgColor = ReadColor(ini, HTMLSection, "OddRowBackgroundColor", ct.OddRowBgColor);
    t.TableBgColor = ReadColor(ini, HTMLSection, "EvenRowBackgroundColor", ct.TableBgColor);
    t.TableFontColor = ReadColor(ini, HTMLSection, "DataFontColor", ct.TableFontColor);
    p.LinkColor = ReadColor(ini, HTMLSection, "LinkColor", cp.LinkColor);
    p.VLinkColor = ReadColor(ini, HTMLSection, "VLinkColor", cp.VLinkColor);
    p.ALinkColor = ReadColor(ini, HTMLSection, "ALinkColor", cp.ALinkColor);
}

void TExportOptionsFile::LoadPDF(const ini::IniFile& ini, TExportFormState& s) const {
    const TExportPDFOptions& c = dialog_.PDFOptions;
    TExportPDFOptions& pdf = s.PDF;
    pdf.ColSpacing = StrToFloatDef(ini.ReadString(PDFSection, "ColSpacing", ""), c.ColSpacing);
    pdf.RowSpacing = StrToFloatDef(ini.ReadString(PDFSection, "RowSpacing", ""), c.RowSpacing);
    pdf.GridLineWidth = ini.ReadInteger(PDFSection, "GridLineWidth", c.GridLineWidth);

    const auto& cp = c.PageOptions;
    auto& page = pdf.PageOptions;
    const auto format = ReadOrdinal(ini, PDFSection, "PageFormat", cp.Format(), TExportPageFormat::pfUser);
    const auto units = ReadOrdinal(ini, PDFSection, "PageUnits", cp.Units(), TExportUnits::unDot);
    const auto orientation = ReadOrdinal(ini, PDFSection, "PageOrientation", cp.Orientation(),
                                         TExportPageOrientation::poLandscape);
    // Lengths are points in the file: set them with points as the unit, then show the chosen units.
    page.SetUnits(TExportUnits::unDot);
    page.SetOrientation(orientation);
    page.SetFormat(format);
    if (format == TExportPageFormat::pfUser) {
        page.SetWidth(ini.ReadInteger(PDFSection, "PageWidth", cp.WidthPoints()));
        page.SetHeight(ini.ReadInteger(PDFSection, "PageHeight", cp.HeightPoints()));
    }
    page.SetMarginLeft(ini.ReadInteger(PDFSection, "PageMarginLeft", cp.MarginLeftPoints()));
    page.SetMarginRight(ini.ReadInteger(PDFSection, "PageMarginRight", cp.MarginRightPoints()));
    page.SetMarginTop(ini.ReadInteger(PDFSection, "PageMarginTop", cp.MarginTopPoints()));
    page.SetMarginBottom(ini.ReadInteger(PDFSection, "PageMarginBottom", cp.MarginBottomPoints()));
    page.SetUnits(units);

    for (int i = 0; i < 4; ++i) {
        const TPDFFont& def = *PDFFont(c, i);
        TPDFFont& font = *PDFFont(pdf, i);
        font.BaseFont =
            ReadOrdinal(ini, PDFFontSections[i], "FontName", def.BaseFont, TPDFFontName::poZapfDingbats);
        font.FontEncoding = ReadOrdinal(ini, PDFFontSections[i], "FontEncoding", def.FontEncoding,
                                        TPDFFontEncoding::poPDFDocEncoding);
        font.FontSize = ini.ReadInteger(PDFFontSections[i], "FontSize", def.FontSize);
        font.FontColor = ReadColor(ini, PDFFontSections[i], "FontColor", def.FontColor);
    }
}

} // namespace exporter
