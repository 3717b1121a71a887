#include "export/dialog/ExporterDialogFormLogic.h"

#include "export/core/ExporterLocale.h"
#include "export/dialog/ExporterDialog.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace exporter {

namespace {

constexpr const char* pageNames[ExportFormPageCount] = {
    "tshExportType", "tshFields", "tshFormats", "tshHeaderFooter", "tshCaptions", "tshRTF",
    "tshXML",        "tshSQL",    "tshHTML",    "tshXLS",          "tshASCII",    "tshPDF"};

bool Offers(const TCommonOptions& options, TCommonOption option) {
    return options.count(option) != 0;
}

bool IsOneOf(TAllowedExport type, std::initializer_list<TAllowedExport> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

std::string BareFileName(const std::string& fileName) {
    const auto slash = fileName.find_last_of("/\\");
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

void SetCell(TExportCaptionRow& row, int column, const std::string& text) {
    if (column < 0)
        return;
    if (int(row.size()) <= column)
        row.resize(size_t(column) + 1);
    row[size_t(column)] = text;
}

} // namespace

bool SeparatorFromText(const std::string& text, char& ch) {
    if (text.size() <= 1) {
        ch = text.empty() ? '\0' : text[0];
        return true;
    }
    if (text == "\\t" || rtl::SameText(text, "tab")) {
        ch = '\t';
        return true;
    }
    std::int32_t code = 0;
    if (text[0] == '#' && rtl::TryStrToInt(text.substr(1), code) && code >= 0 && code <= 255) {
        ch = char(code);
        return true;
    }
    return false;
}

std::string SeparatorTextError(const std::string& text) {
    return "\"" + text +
           "\" cannot be a separator or quote: type one character, # and its code, \\t or tab. The previous "
           "value is kept.";
}

const char* ExportFormPageName(TExportFormPage page) {
    return pageNames[int(page)];
}

bool IsPageVisible(TExportFormPage page, TAllowedExport type, const TCommonOptions& options) {
    using A = TAllowedExport;
    switch (page) {
    case TExportFormPage::tshExportType:
        return true;
    case TExportFormPage::tshXLS:
        return type == A::aeXLS;
    case TExportFormPage::tshRTF:
        return type == A::aeWord || type == A::aeRTF;
    case TExportFormPage::tshHTML:
        return type == A::aeHTML;
    case TExportFormPage::tshXML:
        return type == A::aeXML;
    case TExportFormPage::tshSQL:
        return type == A::aeSQL;
    case TExportFormPage::tshASCII:
        return type == A::aeTXT || type == A::aeCSV;
    case TExportFormPage::tshPDF:
        return type == A::aePDF;
    case TExportFormPage::tshFields:
        return Offers(options, TCommonOption::coFields);
    case TExportFormPage::tshFormats:
        return Offers(options, TCommonOption::coFormats) && !IsOneOf(type, {A::aeDBF, A::aeSQL});
    case TExportFormPage::tshHeaderFooter:
        return Offers(options, TCommonOption::coColons) && !IsOneOf(type, {A::aeXML, A::aeDBF});
    case TExportFormPage::tshCaptions:
        return Offers(options, TCommonOption::coCaptions) && !IsOneOf(type, {A::aeXML, A::aeDBF, A::aeSQL});
    }
    return false;
}

bool IsPageOfType(TExportFormPage page, TAllowedExport type) {
    using A = TAllowedExport;
    switch (page) {
    case TExportFormPage::tshExportType:
    case TExportFormPage::tshFields:
        return true;
    case TExportFormPage::tshFormats:
        return !IsOneOf(type, {A::aeDBF, A::aeSQL});
    case TExportFormPage::tshHeaderFooter:
        return !IsOneOf(type, {A::aeXML, A::aeDBF});
    case TExportFormPage::tshCaptions:
        return !IsOneOf(type, {A::aeXML, A::aeDBF, A::aeSQL});
    default:
        // The type pages belong to their own types.
        return IsPageVisible(page, type, {});
    }
}

TCaptionsGridLayout CaptionsGridLayout(TAllowedExport type) {
    TCaptionsGridLayout layout;
    layout.AlignColumn = CaptionAlignColumn(type);
    layout.WidthColumn = CaptionWidthColumn(type);
    const std::string caption = ExportLoadStr(34110);
    const std::string width = ExportLoadStr(34111);
    const std::string align = ExportLoadStr(34112);
    if (layout.AlignColumn >= 0 && layout.WidthColumn >= 0) {
        layout.ColumnWidths = {150, 150, 78, 60};
        layout.Title = caption + " && " + width + " && " + align;
    } else if (layout.WidthColumn >= 0) {
        layout.ColumnWidths = {181, 181, 78};
        layout.Title = caption + " && " + width;
    } else if (layout.AlignColumn >= 0) {
        layout.ColumnWidths = {181, 181, 78};
        layout.Title = caption + " && " + align;
    } else {
        layout.ColumnWidths = {220, 220};
        layout.Title = caption;
    }
    return layout;
}

std::vector<std::string> CaptionsGridHeader(TAllowedExport type) {
    const TCaptionsGridLayout layout = CaptionsGridLayout(type);
    std::vector<std::string> header{ExportLoadStr(34109), ExportLoadStr(34110)};
    for (int column = 2; column < layout.ColumnCount(); ++column)
        header.push_back(ExportLoadStr(column == layout.WidthColumn ? 34111 : 34112));
    return header;
}

std::vector<std::string> ColumnAlignChoices() {
    return {ExportLoadStr(34113), ExportLoadStr(34115), ExportLoadStr(34114)};
}

std::string ColumnAlignText(TExportColAlign align) {
    switch (align) {
    case TExportColAlign::ecaCenter:
        return ExportLoadStr(34115);
    case TExportColAlign::ecaRight:
        return ExportLoadStr(34114);
    case TExportColAlign::ecaLeft:
        break;
    }
    return ExportLoadStr(34113);
}

std::string ExportDialogCaption(const std::string& fileName) {
    if (fileName.empty())
        return ExportLoadStr(34040);
    return rtl::Format(ExportLoadStr(34041), {BareFileName(fileName)});
}

std::vector<std::string> UserFormatSamples(TExportColType type) {
    const rtl::LocaleFacts& locale = rtl::LocaleFacts::Current();
    const std::string& sd = locale.ShortDateFormat;
    const std::string& ld = locale.LongDateFormat;
    const std::string& st = locale.ShortTimeFormat;
    const std::string& lt = locale.LongTimeFormat;
    switch (type) {
    case TExportColType::ectInteger:
    case TExportColType::ectBigint:
        return {"#,###,##0", "0"};
    case TExportColType::ectFloat:
        return {"#,###,##0.00", "#,###,##0.000", "#,###,##0.0000", "0.00"};
    case TExportColType::ectCurrency: {
        const std::string& symbol = locale.CurrencyString;
        switch (locale.CurrencyFormat) {
        case 1:
            return {"00.00" + symbol};
        case 2:
            return {symbol + " 00.00"};
        case 3:
            return {"00.00 " + symbol};
        default:
            return {symbol + "00.00"};
        }
    }
    case TExportColType::ectDate:
        return {sd, ld};
    case TExportColType::ectTime:
        return {st, lt};
    case TExportColType::ectDateTime:
        return {sd, ld, sd + " " + st, sd + " " + lt, ld + " " + st, ld + " " + lt, st, lt};
    default:
        return {};
    }
}

std::string QtFileFilter(const std::string& windowsFilter) {
    // Pairs of description and pattern; the description alone is what Qt shows and matches on.
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= windowsFilter.size()) {
        const auto bar = windowsFilter.find('|', start);
        parts.push_back(
            windowsFilter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::string result;
    for (size_t i = 0; i < parts.size(); i += 2) {
        std::string description = parts[i];
        std::string pattern = i + 1 < parts.size() ? parts[i + 1] : std::string();
        if (description.empty() && pattern.empty())
            continue;
        // "*.*" means every file.
        for (size_t p; (p = pattern.find("*.*")) != std::string::npos;)
            pattern.replace(p, 3, "*");
        for (size_t p; (p = pattern.find(';')) != std::string::npos;)
            pattern.replace(p, 1, " ");
        const auto open = description.find('(');
        if (open != std::string::npos)
            description = rtl::TrimRight(description.substr(0, open));
        if (!result.empty())
            result += ";;";
        result += description + " (" + pattern + ")";
    }
    return result;
}

// --- the model ---

void TExportFormModel::FillLists() {
    TExportFormState& s = state_;
    const TExportColumns& columns = dialog_.Columns;
    s.AvailableFields.clear();
    s.ExportedFields.clear();
    s.UserFormats.clear();
    s.Captions.clear();
    for (int i = 0; i < columns.Count(); ++i) {
        const TExportColumn& column = columns[i];
        s.AvailableFields.push_back({column.Name, i});
        if (column.AllowFormat && !column.IsDefaultFormat())
            s.UserFormats.push_back({column.Name, column.Format});
        s.Captions.push_back({column.Name, column.Caption});
    }
}

void TExportFormModel::InitializeState() {
    TExportFormState& s = state_;
    const TExporterDialog& d = dialog_;
    FillLists();
    s.Formats.Assign(d.Formats);
    s.Header = d.Header;
    s.Footer = d.Footer;

    s.FileName = d.FileName;
    s.ShowFile = d.ShowFile;
    s.PrintFile = d.PrintFile;
    s.OptionsFileName = d.OptionsFileName;
    s.GoToFirstRecord = d.GoToFirstRecord;
    s.CurrentRecordOnly = d.CurrentRecordOnly;
    s.ExportEmpty = d.ExportEmpty;
    s.ExportRecCount = d.ExportRecCount;
    s.SkipRecCount = d.SkipRecCount;
    s.AllowCaptions = d.AllowCaptions;
    s.CaptionRow = d.CaptionRow;
    s.AlignChoices = ColumnAlignChoices();

    // The type pages edit copies of the component's option objects.
    s.XLS.Assign(d.XLSOptions);
    s.RTF.Assign(d.RTFOptions);
    s.HTMLPage.Assign(d.HTMLPageOptions);
    s.HTMLTable.Assign(d.HTMLTableOptions);
    s.HTMLMultiFile.Assign(d.HTMLMultiFileOptions);
    s.HTMLUseMultiFile = d.HTMLMultiFileOptions.FileRecCount > 0;
    s.XML.Assign(d.XMLOptions);
    s.SQL.Assign(d.SQLOptions);
    s.TXT.Assign(d.TXTOptions);
    s.CSV.Assign(d.CSVOptions);
    s.PDF.Assign(d.PDFOptions);

    s.OfferedTypes = d.AllowedExports;
    if (!s.OfferedTypes.empty())
        ChangeType(*s.OfferedTypes.begin());

    if (CaptionRowVisible() && s.CaptionRow > -1)
        ReadCaptionsFromGrid();
}

bool TExportFormModel::ChangeType(TAllowedExport type) {
    TExportFormState& s = state_;
    if (!s.OfferedTypes.count(type))
        return false;
    s.ExportType = type;
    if (dialog_.AutoChangeFileExt && type != TAllowedExport::aeClipboard && !s.FileName.empty())
        s.FileName = ReplaceFileExtension(s.FileName, ExportTypeExtension(type));
    s.FormatsPageVisible = PageVisible(TExportFormPage::tshFormats);
    s.HeaderFooterPageVisible = PageVisible(TExportFormPage::tshHeaderFooter);
    s.CaptionsPageVisible = PageVisible(TExportFormPage::tshCaptions);
    UpdateCaptionsGrid();
    return true;
}

void TExportFormModel::UpdateCaptionsGrid() {
    const TCaptionsGridLayout layout = CaptionsGridLayout(state_.ExportType);
    const TExportColumns& columns = dialog_.Columns;
    for (TExportCaptionRow& row : state_.Captions) {
        row.resize(2);
        row.resize(size_t(layout.ColumnCount()));
        const std::string field = row[0];
        for (int i = 0; i < columns.Count(); ++i) {
            if (!rtl::SameText(columns[i].Name, field))
                continue;
            SetCell(row, layout.AlignColumn, ColumnAlignText(columns[i].ColAlign));
            SetCell(row, layout.WidthColumn, std::to_string(columns[i].Width));
        }
    }
}

bool TExportFormModel::PageVisible(TExportFormPage page) const {
    return IsPageVisible(page, state_.ExportType, dialog_.CommonOptions);
}

bool TExportFormModel::StartEnabled() const {
    return !state_.FileName.empty() || state_.ExportType == TAllowedExport::aeClipboard;
}

std::string TExportFormModel::SaveFilter() const {
    const int id = ExportTypeFilterId(state_.ExportType);
    return id ? ExportLoadStr(id) : std::string();
}

// --- field choice ---

int TExportFormModel::AvailableInsertIndex(int columnIndex) const {
    const auto& available = state_.AvailableFields;
    for (size_t i = 0; i < available.size(); ++i)
        if (available[i].ColumnIndex > columnIndex)
            return int(i);
    return int(available.size());
}

int TExportFormModel::AddExportedField(int availableIndex) {
    auto& available = state_.AvailableFields;
    if (availableIndex < 0 || availableIndex >= int(available.size()))
        return -1;
    state_.ExportedFields.push_back(available[size_t(availableIndex)]);
    available.erase(available.begin() + availableIndex);
    return int(state_.ExportedFields.size()) - 1;
}

void TExportFormModel::AddAllExportedFields() {
    auto& available = state_.AvailableFields;
    auto& exported = state_.ExportedFields;
    exported.insert(exported.begin(), available.begin(), available.end());
    available.clear();
}

int TExportFormModel::DeleteExportedField(int exportedIndex) {
    auto& exported = state_.ExportedFields;
    if (exportedIndex < 0 || exportedIndex >= int(exported.size()))
        return -1;
    const TExportFieldItem item = exported[size_t(exportedIndex)];
    exported.erase(exported.begin() + exportedIndex);
    const int at = AvailableInsertIndex(item.ColumnIndex);
    state_.AvailableFields.insert(state_.AvailableFields.begin() + at, item);
    return at;
}

void TExportFormModel::DeleteAllExportedFields() {
    for (int i = int(state_.ExportedFields.size()) - 1; i >= 0; --i)
        DeleteExportedField(i);
}

namespace {
// Dropped on an item below, the item goes after the target; on one above, in its place.
int MoveWithin(std::vector<TExportFieldItem>& items, int from, int target) {
    const int count = int(items.size());
    if (from < 0 || from >= count || target < 0 || target >= count)
        return -1;
    const int insertAt = target > from ? target + 1 : target;
    const TExportFieldItem item = items[size_t(from)];
    items.insert(items.begin() + insertAt, item);
    items.erase(items.begin() + (insertAt <= from ? from + 1 : from));
    return insertAt > from ? insertAt - 1 : insertAt;
}
} // namespace

int TExportFormModel::MoveExportedField(int from, int target) {
    return MoveWithin(state_.ExportedFields, from, target);
}

int TExportFormModel::DropOnExported(bool fromExported, int index) {
    if (!fromExported)
        return AddExportedField(index);
    auto& exported = state_.ExportedFields;
    if (index < 0 || index >= int(exported.size()))
        return -1;
    const TExportFieldItem item = exported[size_t(index)];
    exported.erase(exported.begin() + index);
    exported.push_back(item);
    return int(exported.size()) - 1;
}

int TExportFormModel::DropAvailableOnAvailable(int from, int target) {
    return MoveWithin(state_.AvailableFields, from, target);
}

// --- user formats ---

int TExportFormModel::AddUserFormat(const std::string& fieldName, const std::string& format) {
    if (format.empty() || fieldName.empty())
        return -1;
    auto& formats = state_.UserFormats;
    formats.erase(std::remove_if(formats.begin(), formats.end(),
                                 [&](const TExportUserFormatItem& item) {
                                     return rtl::SameText(item.FieldName, fieldName);
                                 }),
                  formats.end());
    formats.push_back({fieldName, format});
    return int(formats.size()) - 1;
}

void TExportFormModel::DeleteUserFormat(int index) {
    auto& formats = state_.UserFormats;
    if (index >= 0 && index < int(formats.size()))
        formats.erase(formats.begin() + index);
}

void TExportFormModel::ClearUserFormats() {
    state_.UserFormats.clear();
}

// --- records and captions ---

bool TExportFormModel::SetExportRecCountText(const std::string& text) {
    std::int32_t value = 0;
    if (!rtl::TryStrToInt(text, value))
        return false;
    state_.ExportRecCount = value;
    return true;
}

bool TExportFormModel::SetSkipRecCountText(const std::string& text) {
    std::int32_t value = 0;
    if (!rtl::TryStrToInt(text, value))
        return false;
    state_.SkipRecCount = value;
    return true;
}

void TExportFormModel::SetCaptionRowText(const std::string& text) {
    std::int32_t value = 0;
    if (rtl::TryStrToInt(text, value))
        state_.CaptionRow = value;
    ReadCaptionsFromGrid();
}

void TExportFormModel::ReadCaptionsFromGrid() {
    const TExportStringGrid* grid = dialog_.StringGrid;
    const int captionRow = state_.CaptionRow;
    // A caption row outside the grid reads nothing (the grid has no such row to read).
    if (!grid || captionRow < 0 || captionRow >= grid->RowCount())
        return;
    for (TExportCaptionRow& row : state_.Captions) {
        std::int32_t column = 0;
        if (row.empty() || !rtl::TryStrToInt(row[0], column) || column < 0 || column >= grid->ColCount())
            continue;
        SetCell(row, 1, grid->Cell(column, captionRow));
    }
}

bool TExportFormModel::CaptionRowVisible() const {
    return dialog_.StringGrid != nullptr && dialog_.ExportSource == TExportSource::esStringGrid;
}

} // namespace exporter
