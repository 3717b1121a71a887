#include "export/xls/ExporterXLS.h"

#include "export/core/ExporterPageUtils.h"
#include "export/xls/ExporterXLSCellValues.h"
#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSDateFormat.h"
#include "export/xls/ExporterXLSSheetName.h"
#include "export/xls/ExporterXLSUtils.h"
#include "platform/cfb/StorageError.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

namespace exporter {

namespace fs = std::filesystem;

namespace {

fs::path ProgramDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : exe.parent_path();
}

bool IsDateType(TExportColType type) {
    return type == TExportColType::ectDate || type == TExportColType::ectTime ||
           type == TExportColType::ectDateTime;
}

std::string FormatOrGeneral(const std::string& format) {
    return format.empty() ? std::string("General") : format;
}

bool IsNumberType(TExportColType type) {
    return type == TExportColType::ectInteger || type == TExportColType::ectBigint ||
           type == TExportColType::ectFloat || type == TExportColType::ectCurrency;
}

// The number format of a column's cells: its display format, which is the default format of its
// type (Integer "#,###,##0", Float "#,###,##0.00", the locale's currency format ...) unless a user
// format replaces it. A date column's pattern is translated into a format code, and so is a number
// column's default pattern (its text, such as a currency symbol of letters, quoted); a user format
// of a number column is a format code already. A column without one shows "General". The field
// format and the data params event then apply on top of it.
std::string ColumnNumberFormat(const TExportColumn& column) {
    if (IsDateType(column.ColType))
        return FormatOrGeneral(XlsDateTimeFormat(column.Format));
    if (IsNumberType(column.ColType) && column.IsDefaultFormat())
        return FormatOrGeneral(XlsNumberFormat(column.Format));
    return FormatOrGeneral(column.Format);
}

// The built-in cell objects followed by those a factory adds.
class TxlsCombinedSheetObjects : public TxlsSheetObjects {
public:
    TxlsCombinedSheetObjects(std::unique_ptr<TxlsSheetObjects> cells, std::unique_ptr<TxlsSheetObjects> extra)
        : cells_(std::move(cells)), extra_(std::move(extra)) {}
    void WriteBackground(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteBackground(w); });
    }
    void WriteUserCells(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteUserCells(w); });
    }
    void WriteMergedCells(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteMergedCells(w); });
    }
    void WriteHyperlinkCells(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteHyperlinkCells(w); });
    }
    void WriteHyperlinks(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteHyperlinks(w); });
    }
    void WriteDrawing(TxlsWorkbookWriter& w) override {
        each([&](TxlsSheetObjects& o) { o.WriteDrawing(w); });
    }
    bool HasCharts() const override { return extra_ && extra_->HasCharts(); }
    int DrawingObjectCount() const override { return extra_ ? extra_->DrawingObjectCount() : 0; }

private:
    template <class F> void each(F f) {
        f(*cells_);
        if (extra_)
            f(*extra_);
    }
    std::unique_ptr<TxlsSheetObjects> cells_;
    std::unique_ptr<TxlsSheetObjects> extra_;
};

// The rows a sheet needs for its header lines, captions and records when every record is written,
// or -1 when its source cannot tell how many records it has before they are read. Aggregates and
// footer lines may need more.
long long RowsNeededAtLeast(const TxlsSheet& sheet) {
    const TExportSources sources = sheet.Sources();
    long long records = 0;
    if (sources.Kind == TExportSource::esListView && sources.ListView != nullptr)
        records = sources.ListView->ItemCount();
    else if (sources.Kind == TExportSource::esStringGrid && sources.StringGrid != nullptr)
        records = sources.StringGrid->RowCount() - sources.StringGrid->FixedRows();
    else
        return -1;
    records = std::max(0LL, records - std::max(0, sheet.SkipRecCount));
    if (sheet.ExportRecCount > 0)
        records = std::min<long long>(records, sheet.ExportRecCount);
    if (sheet.CurrentRecordOnly)
        records = std::min(records, 1LL);
    long long headerLines = sheet.Header.Count();
    if (sheet.HeaderRows > 0)
        headerLines = std::min<long long>(headerLines, sheet.HeaderRows);
    return headerLines + (sheet.AllowCaptions ? 1 : 0) + records;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// TxlsSheetCellObjects

void TxlsSheetCellObjects::WriteUserCells(TxlsWorkbookWriter& writer) {
    TxlsFormatTables& tables = writer.Tables();
    for (std::size_t i = 0; i < sheet_.Cells.Count(); ++i) {
        const TxlsCell& cell = sheet_.Cells.Items(i);
        if (!cell.IsValid())
            continue;
        const int row = cell.Row - 1, col = cell.Col - 1;
        std::string text;
        std::uint16_t xf = 0;
        switch (cell.CellType) {
        case ctBoolean:
            xf = tables.GetXFIndex("General", &cell.Format);
            writer.WriteBoolErr(row, col, xf, cell.BooleanValue);
            text = cell.BooleanValue ? "TRUE" : "FALSE";
            break;
        case ctDateTime: {
            text = rtl::FormatDateTime(cell.DateTimeFormat, cell.DateTimeValue);
            double serial = 0;
            const std::string format = XlsDateTimeFormat(cell.DateTimeFormat);
            if (XlsDateSerial(cell.DateTimeValue, XlsFormatShowsTimeOnly(format), serial)) {
                xf = tables.GetXFIndex(format, &cell.Format);
                writer.WriteNumber(row, col, xf, serial);
            } else {
                // A moment the 1900 date system cannot show: its text, as data cells keep it.
                xf = tables.GetXFIndex("General", &cell.Format);
                writer.WriteLabelSST(row, col, xf, Utf8ToWide(text));
            }
            break;
        }
        case ctNumeric:
            xf = tables.GetXFIndex(cell.NumericFormat, &cell.Format);
            writer.WriteNumber(row, col, xf, cell.NumericValue);
            text = rtl::FloatToStr(cell.NumericValue);
            break;
        case ctString:
            xf = tables.GetXFIndex("General", &cell.Format);
            if (cell.StringValue.empty())
                writer.WriteBlank(row, col, xf);
            else
                writer.WriteLabelSST(row, col, xf, Utf8ToWide(cell.StringValue));
            text = cell.StringValue;
            break;
        }
        if (widen_)
            widen_(col, text, xf);
    }
}

void TxlsSheetCellObjects::WriteMergedCells(TxlsWorkbookWriter& writer) {
    std::vector<TxlsMergedRange> ranges;
    for (std::size_t i = 0; i < sheet_.MergedCells.Count(); ++i) {
        const TxlsMergedCells& m = sheet_.MergedCells.Items(i);
        ranges.push_back({m.FirstRow, m.LastRow, m.FirstCol, m.LastCol});
    }
    writer.WriteMergedCells(ranges);
}

void TxlsSheetCellObjects::WriteHyperlinkCells(TxlsWorkbookWriter& writer) {
    for (std::size_t i = 0; i < sheet_.Hyperlinks.Count(); ++i) {
        const TxlsHyperlink& link = sheet_.Hyperlinks.Items(i);
        if (!link.IsValid())
            continue;
        const std::uint16_t xf = writer.Tables().GetXFIndex("General", &link.Format);
        writer.WriteLabelSST(link.Row - 1, link.Col - 1, xf, Utf8ToWide(link.Title));
    }
}

// ---------------------------------------------------------------------------------------------------
// TExporterXLS

TExporterXLS::TExporterXLS()
    : FieldFormats(this), StripStyles(this, true), Hyperlinks(this), Notes(this), Charts(this), Sheets(this),
      Pictures(this), Images(this), Cells(this), MergedCells(this),
      UserColors(TxlsWorkbookWriter::DefaultUserColors()) {}

TExporterXLS::~TExporterXLS() = default;

std::vector<const TxlsImages*> TExporterXLS::GetAllImages() const {
    std::vector<const TxlsImages*> all{&Images};
    for (std::size_t i = 0; i < Sheets.Count(); ++i)
        all.push_back(&Sheets.Items(i).Images);
    return all;
}

bool TExporterXLS::FindDataExtent(int sheetIndex, TxlsDataExtent& extent) const {
    if (!writer_)
        return false;
    for (const TxlsBoundSheet& sheet : writer_->BoundSheets())
        if (sheet.SheetIndex == sheetIndex) {
            extent = {sheet.FirstRow, sheet.LastRow, sheet.FirstCol, sheet.LastCol};
            return true;
        }
    return false;
}

TxlsFont TExporterXLS::GetFirstFont() const {
    if (writer_ && writer_->Tables().Fonts().Count() > 0)
        return writer_->Tables().Fonts().Items(0);
    return TxlsFont{};
}

int TExporterXLS::TextWidth(const std::string& text, const TxlsFont& font) const {
    return TextWidthOnDisplay(text, MeasureFont(font));
}

double TExporterXLS::ZeroWidth() const {
    // Readers size a column by the advance of "0" in the default font at its exact size (10 points
    // are 13.33 pixels at 96 per inch), unhinted. A display measure rounds the size to whole pixels
    // first (13) and so makes every column about 2% narrower than readers show it, and pictures
    // as much wider. The font is measured 64 times as large and scaled back.
    if (!QGuiApplication::instance())
        return TxlsExporterLink::ZeroWidth();
    constexpr double scale = 64, pixelsPerPoint = 96.0 / 72.0;
    const TxlsFont font;
    QFont qfont(QString::fromStdString(font.Name));
    qfont.setPixelSize(static_cast<int>(std::lround(font.Size * pixelsPerPoint * scale)));
    qfont.setHintingPreference(QFont::PreferNoHinting);
    const double advance = QFontMetricsF(qfont).horizontalAdvance(QChar(u'0')) / scale;
    return advance > 0 ? advance : TxlsExporterLink::ZeroWidth();
}

void TExporterXLS::Notification(const void* removed) {
    TExporter::Notification(removed);
    for (std::size_t i = 0; i < Sheets.Count(); ++i)
        Sheets.Items(i).Notification(removed);
}

void TExporterXLS::BeginExport() {
    if (OnBeginExport)
        OnBeginExport(*this);
}

void TExporterXLS::EndExport() {
    if (OnEndExport)
        OnEndExport(*this);
}

void TExporterXLS::Execute() {
    if (FileName.empty())
        throw EExportError(ExportLoadStr(SResultFileNotPresent));
    fs::path dir = fs::path(FileName).parent_path();
    if (dir.empty())
        dir = ProgramDirectory();
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        fs::create_directories(dir, ec);
        if (!fs::exists(dir, ec))
            throw EExportError(rtl::Format(ExportLoadStr(SDirectoryNotFound), {dir.string()}));
    }

    if (!OnBeforeExportRow && !OnAdvancedBeforeExportRow)
        CheckRowsFit();
    BeginWorkbook();
    try {
        ExportSheets();
    } catch (const TxlsSheetLimitError& error) {
        // The previous file stays as it was: the workbook is never committed.
        EndWorkbook(false);
        throw EExportError(error.what());
    } catch (...) {
        EndWorkbook(false);
        throw;
    }
    EndWorkbook(!Aborted);
    ShowResult();
}

void TExporterXLS::BeginWorkbook() {
    try {
        file_ = std::make_unique<TxlsWorkbookFile>(FileName);
    } catch (const cfb::StorageError& error) {
        throw EExportError("Cannot create file \"" + FileName + "\". " + error.Reason());
    }
    writer_ = std::make_unique<TxlsWorkbookWriter>(file_->Stream());
    writer_->GatherRecords(); // the scratch file takes large writes
    writer_->UserColors() = UserColors;
}

void TExporterXLS::EndWorkbook(bool commit) {
    writer_.reset();
    std::unique_ptr<TxlsWorkbookFile> file = std::move(file_);
    columnXF_.clear();
    columnFieldFormat_.clear();
    columnWidths_.clear();
    drawing_.reset();
    customWorkbookObjects_.reset();
    dateTexts_.Clear();
    if (commit && file) {
        try {
            file->Commit();
        } catch (const cfb::StorageError& error) {
            throw EExportError(std::string(ERROR_WRITING_OUTPUT_FILE) + " \"" + FileName +
                               "\": " + error.Reason());
        }
    }
}

void TExporterXLS::checkSheetSource(const TxlsSheet& sheet) const {
    const TExportSources sources = sheet.Sources();
    ExportCheckSource(sources);
    if (!ExportIsActive(sources))
        throw EExportError(rtl::Format(ExportLoadStr(SSourceClosed), {ExportSourceName(sources.Kind)}));
    if (!ExportEmpty && ExportIsEmpty(sources))
        throw EExportError(rtl::Format(ExportLoadStr(SSourceEmpty), {ExportSourceName(sources.Kind)}));
}

std::vector<std::pair<TxlsSheet*, int>> TExporterXLS::sheetsToExport(std::unique_ptr<TxlsSheet>& temporary) {
    std::vector<std::pair<TxlsSheet*, int>> sheets;
    for (std::size_t i = 0; i < Sheets.Count(); ++i)
        if (Sheets.Items(i).Exported)
            sheets.emplace_back(&Sheets.Items(i), int(i));
    if (sheets.empty()) {
        temporary = std::make_unique<TxlsSheet>(this, int(Sheets.Count()) + 1);
        temporary->LoadFromExporter(*this);
        sheets.emplace_back(temporary.get(), int(Sheets.Count()));
    }
    return sheets;
}

void TExporterXLS::CheckRowsFit() {
    std::unique_ptr<TxlsSheet> temporary;
    for (const auto& entry : sheetsToExport(temporary)) {
        if (RowsNeededAtLeast(*entry.first) > XLS_MAX_ROWS)
            throw EExportError(SheetLimitText(true));
    }
}

void TExporterXLS::ExportSheets() {
    Aborted = false;
    writer_->WriteGlobals();

    std::unique_ptr<TxlsSheet> temporary;
    const std::vector<std::pair<TxlsSheet*, int>> sheets = sheetsToExport(temporary);

    drawing_ = std::make_unique<TxlsDrawingWorkbookObjects>(&Pictures);
    customWorkbookObjects_ = WorkbookObjectsFactory ? WorkbookObjectsFactory(*this) : nullptr;
    exportedCounter_ = 0;
    sheetNames_.clear();
    for (const auto& entry : sheets)
        checkSheetSource(*entry.first);

    BeginExport();
    BeforeExport();
    for (std::size_t i = 0; i < sheets.size() && !Aborted; ++i) {
        sheets[i].first->SetWrittenIndex(int(i));
        if (!exportSheet(*sheets[i].first, sheets[i].second))
            break;
    }
    if (Aborted)
        return;
    writer_->FinishWorkbook(customWorkbookObjects_ ? customWorkbookObjects_.get() : drawing_.get());
    AfterExport();
    EndExport();
}

int TExporterXLS::writeHeaderLines(TxlsSheet& sheet, int sheetIndex, const rtl::TStringList& lines,
                                   int maxRows, int firstRow, const TxlsFormat& defaultFormat, bool footer) {
    int count = lines.Count();
    if (maxRows > 0 && maxRows < count)
        count = maxRows;
    const TGetHeaderFooterParamsEvent& event = footer ? OnGetFooterParams : OnGetHeaderParams;
    for (int line = 0; line < count; ++line) {
        const int row = firstRow + line;
        const std::string& text = lines[line];
        std::size_t start = 0;
        for (int piece = 0;; ++piece) {
            const std::size_t tab = text.find('\t', start);
            std::string s = text.substr(start, tab == std::string::npos ? std::string::npos : tab - start);
            const int col = sheet.StartDataCol + piece;
            TxlsFormat format;
            format.Assign(defaultFormat);
            if (event)
                event(*this, sheetIndex, col, row, format, s);
            // A line of more pieces than the sheet has columns stops the export (sheet limits).
            const std::uint16_t xf = writer_->Tables().GetXFIndex("General", &format);
            writer_->WriteLabelSST(row, col, xf, Utf8ToWide(s));
            if (tab == std::string::npos)
                break;
            start = tab + 1;
        }
    }
    return firstRow + count;
}

void TExporterXLS::writeBeforeData(TxlsSheet& sheet, int sheetIndex, int row) {
    if (!OnGetBeforeDataParams)
        return;
    for (int col = 0; col < sheet.StartDataCol; ++col) {
        TxlsFormat format;
        format.Assign(sheet.Options.DataFormat);
        std::string s;
        OnGetBeforeDataParams(*this, sheetIndex, col, row, format, s);
        if (!s.empty())
            writer_->WriteLabelSST(row, col, writer_->Tables().GetXFIndex("General", &format), Utf8ToWide(s));
    }
}

void TExporterXLS::widenColumn(TxlsSheet& sheet, int col, const std::string& text, std::uint16_t xf) {
    if (!sheet.AutoCalcColWidth)
        return;
    const int index = col - sheet.StartDataCol;
    if (index < 0 || index >= int(columnWidths_.size()))
        return;
    const int width = writer_->MeasureColumnWidth(text, xf);
    if (width > columnWidths_[index])
        columnWidths_[index] = width;
}

void TExporterXLS::writeCaptions(TxlsSheet& sheet, int sheetIndex, int row) {
    for (int i = 0; i < sheet.Columns.Count(); ++i) {
        const int col = sheet.StartDataCol + i;
        TxlsFormat format;
        format.Assign(sheet.Options.CaptionsFormat);
        std::string caption = sheet.Columns[i].Caption;
        if (OnGetCaptionParams)
            OnGetCaptionParams(*this, sheetIndex, col, format, caption);
        if (caption.empty())
            continue;
        const std::uint16_t xf = format.IsDefault() ? TxlsFormatTables::DefaultCellXF
                                                    : writer_->Tables().GetXFIndex("General", &format);
        writer_->WriteLabelSST(row, col, xf, Utf8ToWide(caption));
        widenColumn(sheet, col, caption, xf);
    }
}

void TExporterXLS::prepareColumnXFs(TxlsSheet& sheet, int sheetIndex) {
    TxlsFormatTables& tables = writer_->Tables();
    const int count = sheet.Columns.Count();
    columnXF_.assign(count, TxlsFormatTables::DefaultCellXF);
    columnFieldFormat_.assign(count, -1);
    columnNumberFormat_.assign(count, "General");
    columnTimeOnly_.assign(count, false);
    const std::size_t strips = sheet.StripStyles.Count();
    // Columns without a field format of their own take the data format.
    const TxlsFormat* dataFormat = sheet.Options.DataFormat.IsDefault() ? nullptr : &sheet.Options.DataFormat;
    for (int i = 0; i < count; ++i) {
        const TExportColumn& column = sheet.Columns[i];
        const std::string numberFormat = ColumnNumberFormat(column);
        columnNumberFormat_[i] = numberFormat;
        columnTimeOnly_[i] = XlsFormatShowsTimeOnly(numberFormat);
        const int ff = sheet.FieldFormats.IndexOf(column.Name);
        columnFieldFormat_[i] = ff;
        if (ff >= 0) {
            const std::uint16_t xf =
                tables.GetXFIndex(numberFormat, &sheet.FieldFormats.Items(std::size_t(ff)));
            if (xf != TxlsFormatTables::DefaultCellXF)
                tables.FieldXFormats().Add(sheetIndex, column.Name, tables.FindXFormat(xf));
            columnXF_[i] = xf;
        } else if (sheet.StripType == ssCol && strips > 0) {
            const int col = sheet.StartDataCol + i;
            const std::uint16_t xf =
                tables.GetXFIndex(numberFormat, &sheet.StripStyles.Items(std::size_t(i) % strips));
            tables.ColRowXFormats().Add(sheetIndex, col, tables.FindXFormat(xf));
            columnXF_[i] = xf;
        } else if (numberFormat != "General" || dataFormat) {
            columnXF_[i] = tables.GetXFIndex(numberFormat, dataFormat);
        }
    }
}

std::uint16_t TExporterXLS::dataCellXF(TxlsSheet& sheet, int sheetIndex, int col, int row, int dataRow) {
    TxlsFormatTables& tables = writer_->Tables();
    std::uint16_t xf = columnXF_[std::size_t(col)];
    const std::size_t strips = sheet.StripStyles.Count();
    if (columnFieldFormat_[std::size_t(col)] < 0 && sheet.StripType == ssRow && strips > 0) {
        const int strip = int(std::size_t(dataRow) % strips);
        const int key = strip * 1000 + sheet.StartDataCol + col;
        if (const TxlsXFormat* cached = tables.ColRowXFormats().Find(sheetIndex, key)) {
            xf = cached->Index;
        } else {
            xf = tables.GetXFIndex(columnNumberFormat_[std::size_t(col)],
                                   &sheet.StripStyles.Items(std::size_t(strip)));
            tables.ColRowXFormats().Add(sheetIndex, key, tables.FindXFormat(xf));
        }
    }
    if (!OnGetDataParams)
        return xf;
    TxlsFormat format;
    std::string formatText = "General";
    const bool ownFormat =
        columnFieldFormat_[std::size_t(col)] >= 0 || (sheet.StripType != ssNone && strips > 0);
    const TxlsXFormat* entry = tables.FindXFormat(xf);
    if (entry && ownFormat)
        AssignXFormat(format, *entry);
    else
        format.Assign(sheet.Options.DataFormat); // keeping the column's number format below
    if (entry && entry->NumberFormat)
        formatText = entry->NumberFormat->Text;
    OnGetDataParams(*this, sheetIndex, sheet.StartDataCol + col, row, format, formatText);
    if (formatText.empty())
        formatText = columnNumberFormat_[std::size_t(col)];
    return tables.GetXFIndex(formatText, &format);
}

void TExporterXLS::writeDataCell(TxlsSheet& sheet, int i, int row, std::uint16_t xf,
                                 const std::string& text) {
    const TExportColumn& column = sheet.Columns[i];
    const int col = sheet.StartDataCol + i;
    const std::string* shown = &text; // the text the column's width is measured by
    std::string fallback;
    auto label = [&](const std::string& s) { writer_->WriteLabelUtf8(row, col, xf, s); };
    if (text.empty()) {
        writer_->WriteBlank(row, col, xf);
    } else if (!sheet.Formats.NullString().empty() && text == sheet.Formats.NullString()) {
        label(text);
    } else {
        switch (column.ColType) {
        case TExportColType::ectInteger:
        case TExportColType::ectBigint:
        case TExportColType::ectFloat:
        case TExportColType::ectCurrency: {
            double value = 0;
            if (XlsTextToNumber(text, value)) {
                writer_->WriteNumber(row, col, xf, value);
                columnStats_[std::size_t(i)].Add(value);
            } else
                label(text); // not a number: the text is kept as it is
            break;
        }
        case TExportColType::ectDate:
        case TExportColType::ectTime:
        case TExportColType::ectDateTime: {
            rtl::TDateTime value = 0;
            double serial = 0;
            if (!dateTexts_.Read(text, value)) {
                label(text);
            } else if (XlsDateSerial(value, columnTimeOnly_[std::size_t(i)], serial)) {
                writer_->WriteNumber(row, col, xf, serial);
                columnStats_[std::size_t(i)].Add(serial);
            } else {
                // Before the first day the 1900 date system counts, or a date of 30 December 1899 that
                // it would show as "1/0/1900": kept as text.
                fallback = rtl::FormatDateTime(column.Format, value);
                shown = &fallback;
                label(fallback);
            }
            break;
        }
        case TExportColType::ectString:
            label(text);
            break;
        case TExportColType::ectBoolean:
            writer_->WriteBoolErr(row, col, xf, rtl::AnsiCompareText(text, sheet.Formats.BooleanTrue()) == 0);
            break;
        case TExportColType::ectUnknown:
            return;
        }
    }
    // The column's entry is looked up by name once a sheet, then found by its place.
    std::size_t& entry = columnEntries_[std::size_t(i)];
    if (entry == TxlsColumnList::NoEntry)
        entry = sheet.ColumnList.Widen(column.Name, row, col, std::size_t(i));
    else
        sheet.ColumnList.WidenEntry(entry, row, col);
    if (sheet.AutoCalcColWidth)
        widenColumn(sheet, col, *shown, xf);
}

void TExporterXLS::writeDataRow(TxlsSheet& sheet, int sheetIndex, int row, int dataRow) {
    if (cellTexts_.size() < std::size_t(sheet.Columns.Count()))
        cellTexts_.resize(std::size_t(sheet.Columns.Count()));
    // Without events, row strips or a hook on the cells' texts, a cell's text is its value and its
    // XF the column's.
    const bool textIsValue = !OnGetExportText && !OnAdvancedGetExportText && !sheet.ExportRow.GetColData();
    const bool columnXF = !OnGetDataParams && !(sheet.StripType == ssRow && sheet.StripStyles.Count() > 0);
    for (int i = 0; i < sheet.Columns.Count() && i < sheet.ExportRow.Count(); ++i) {
        const TExportCol& cell = sheet.ExportRow[i];
        const std::string* text = &cell.Value;
        if (!textIsValue || cell.IsNull) {
            std::string& own = cellTexts_[std::size_t(i)]; // its storage kept from row to row
            cell.GetText(false, own);
            if (OnGetExportText)
                OnGetExportText(*this, i, own);
            if (OnAdvancedGetExportText)
                OnAdvancedGetExportText(*this, sheetIndex, i, own);
            text = &own;
        }
        const std::uint16_t xf =
            columnXF ? columnXF_[std::size_t(i)] : dataCellXF(sheet, sheetIndex, i, row, dataRow);
        writeDataCell(sheet, i, row, xf, *text);
    }
}

bool TExporterXLS::hasAggregates(const TxlsSheet& sheet) const {
    for (std::size_t i = 0; i < sheet.FieldFormats.Count(); ++i) {
        const TxlsFieldFormat& ff = sheet.FieldFormats.Items(i);
        if (ff.Aggregate != aggNone && sheet.Columns.IndexOfName(ff.FieldName) >= 0)
            return true;
    }
    return false;
}

void TExporterXLS::writeAggregates(TxlsSheet& sheet, int sheetIndex, int row, int firstDataRow) {
    TxlsFormatTables& tables = writer_->Tables();
    for (int i = 0; i < sheet.Columns.Count(); ++i) {
        const int col = sheet.StartDataCol + i;
        const int ff = columnFieldFormat_[std::size_t(i)];
        const TxlsAggregate aggregate =
            ff >= 0 ? sheet.FieldFormats.Items(std::size_t(ff)).Aggregate : aggNone;
        TxlsFormat format;
        std::string value;
        if (aggregate != aggNone) {
            format.Assign(sheet.Options.AggregateFormat);
            std::string formatText = columnNumberFormat_[std::size_t(i)];
            if (OnGetAggregateParams)
                OnGetAggregateParams(*this, sheetIndex, col, format, formatText, value);
            const std::uint16_t xf = formatText == "General" && format.IsDefault()
                                         ? TxlsFormatTables::DefaultCellXF
                                         : tables.GetXFIndex(formatText, &format);
            // Without data rows the range would reach into the aggregate's own row.
            if (row > firstDataRow)
                writer_->WriteFormula(row, col, firstDataRow, row - 1, aggregate, xf,
                                      columnStats_[std::size_t(i)].Result(aggregate));
        } else {
            std::string formatText = "General";
            if (OnGetAggregateParams)
                OnGetAggregateParams(*this, sheetIndex, col, format, formatText, value);
            if (!value.empty()) {
                const std::uint16_t xf = format.IsDefault() && formatText == "General"
                                             ? TxlsFormatTables::DefaultCellXF
                                             : tables.GetXFIndex(formatText, &format);
                writer_->WriteLabelSST(row, col, xf, Utf8ToWide(value));
            }
        }
    }
}

bool TExporterXLS::exportSheet(TxlsSheet& sheet, int sheetIndex) {
    if (OnBeforeExportSheet)
        OnBeforeExportSheet(*this, sheetIndex);

    const TExportSources sources = sheet.Sources();
    sheet.Columns.Clear();
    sheet.Columns.Fill(false);
    sheet.ExportRow.Clear();
    for (int i = 0; i < sheet.Columns.Count(); ++i)
        sheet.ExportRow.AddCol(sheet.Columns[i].Name, i);
    sheet.ExportRow.SortIndex();
    int skipCount = sheet.SkipRecCount;
    int recCount = sheet.ExportRecCount;
    if (sources.Kind == TExportSource::esListView && sources.ListView) {
        const int items = sources.ListView->ItemCount();
        skipCount = IntMin(skipCount, items);
        if (recCount > 0)
            recCount = IntMin(recCount, items);
    }
    sheet.ColumnList.Clear();
    sheet.RecNo = 0;
    columnWidths_.clear();
    for (int i = 0; i < sheet.Columns.Count(); ++i)
        columnWidths_.push_back(sheet.Columns[i].Width);

    if (sheet.StartDataCol + sheet.Columns.Count() > XLS_MAX_COLUMNS)
        throw TxlsSheetLimitError("The sheet needs " +
                                  std::to_string(sheet.StartDataCol + sheet.Columns.Count()) +
                                  " columns, more than the 256 a workbook sheet holds");
    columnStats_.assign(std::size_t(sheet.Columns.Count()), {});
    columnEntries_.assign(std::size_t(sheet.Columns.Count()), TxlsColumnList::NoEntry);

    TxlsSheetLayout layout;
    // A sheet name readers accept: legal characters, at most 31 of them, unique in the workbook.
    layout.Title = LegalSheetName(Utf8ToWide(sheet.Title), sheetNames_,
                                  Utf8ToWide("Sheet " + std::to_string(sheet.GetSheetIndex() + 1)));
    sheetNames_.push_back(layout.Title);
    layout.PageHeader = sheet.Options.PageHeader;
    layout.PageFooter = sheet.Options.PageFooter;
    layout.DefColWidth = sheet.DefColWidth;
    layout.DefRowHeight = sheet.DefRowHeight;
    layout.FirstDataCol = sheet.StartDataCol;
    layout.ColumnWidths = columnWidths_;

    auto cells = std::make_unique<TxlsSheetCellObjects>(
        sheet, [this, &sheet](int col, const std::string& text, std::uint16_t xf) {
            widenColumn(sheet, col, text, xf);
        });
    TxlsCombinedSheetObjects objects(
        std::move(cells), SheetObjectsFactory
                              ? SheetObjectsFactory(*this, sheet)
                              : std::make_unique<TxlsDrawingSheetObjects>(sheet, &drawing_->Store()));

    writer_->WriteSheetHeader(sheet.GetSheetIndex(), layout, &objects);
    prepareColumnXFs(sheet, sheetIndex);

    int row = writeHeaderLines(sheet, sheetIndex, sheet.Header, sheet.HeaderRows, 0,
                               sheet.Options.HeaderFormat, false);
    if (sheet.AllowCaptions) {
        writeBeforeData(sheet, sheetIndex, row);
        writeCaptions(sheet, sheetIndex, row);
        ++row;
    }
    const int firstDataRow = row;

    int counter = 0;
    if (sheet.GoToFirstRecord)
        ExportFirst(sources);
    ExportSkip(sources, skipCount, counter, {});
    counter = 0;
    int dataRow = 0;
    for (;;) {
        if (ExportEof(sources, counter, skipCount, recCount))
            break;
        if (recCount > 0 && counter >= recCount)
            break;
        if (Aborted && !DoStopExport())
            break;
        for (int col = 0; col < sheet.Columns.Count() && col < sheet.ExportRow.Count(); ++col) {
            TExportCol& cell = sheet.ExportRow[col];
            // Read into the cell's own storage, kept from row to row.
            std::string& value = cell.Value;
            cell.IsNull = ExportReadColData(sources, sheet.Columns, col, counter, skipCount, value);
            // Trimmed only when there is something to trim: most values need no second copy.
            if (!value.empty() && (static_cast<unsigned char>(value.front()) <= ' ' ||
                                   static_cast<unsigned char>(value.back()) <= ' '))
                value = rtl::Trim(value);
        }
        bool accept = true;
        if (OnBeforeExportRow)
            OnBeforeExportRow(*this, sheet.ExportRow, accept);
        if (OnAdvancedBeforeExportRow)
            OnAdvancedBeforeExportRow(*this, sheetIndex, sheet.ExportRow, accept);
        if (accept) {
            writeBeforeData(sheet, sheetIndex, row);
            writeDataRow(sheet, sheetIndex, row, dataRow);
            ++row;
            ++dataRow;
        }
        if (sheet.CurrentRecordOnly)
            break;
        ExportNext(sources, counter);
        ++exportedCounter_;
        if (OnExportedRecord)
            OnExportedRecord(*this, exportedCounter_);
        if (OnAdvancedExportedRecord)
            OnAdvancedExportedRecord(*this, sheetIndex, sheet.RecNo);
        ++sheet.RecNo;
        if (sheet.RecNo % 32 == 0)
            std::this_thread::yield(); // a system call: every 32 records rather than each
    }
    if (Aborted)
        return false;

    if (hasAggregates(sheet)) {
        writeAggregates(sheet, sheetIndex, row, firstDataRow);
        ++row;
    }
    writeHeaderLines(sheet, sheetIndex, sheet.Footer, sheet.FooterRows, row, sheet.Options.FooterFormat,
                     true);
    writer_->WriteSheetTail(&objects);
    // After the tail, so that the user-defined cells widen their columns too.
    if (sheet.AutoCalcColWidth)
        writer_->ApplyColumnWidths(columnWidths_);
    if (OnAfterExportSheet)
        OnAfterExportSheet(*this, sheetIndex);
    return true;
}

} // namespace exporter
