#include "export/xls/ExporterXLSSheet.h"

#include "export/xls/ExporterXLS.h"
#include "platform/rtl/SysUtils.h"

namespace exporter {

std::size_t TxlsColumnList::Widen(const std::string& fieldName, int row, int col, std::size_t hint) {
    std::size_t index = hint < items_.size() && items_[hint].FieldName == fieldName ? hint : NoEntry;
    for (std::size_t i = 0; index == NoEntry && i < items_.size(); ++i)
        if (rtl::SameText(items_[i].FieldName, fieldName))
            index = i;
    if (index == NoEntry) {
        items_.push_back(TxlsColumn{fieldName});
        index = items_.size() - 1;
    }
    WidenEntry(index, row, col);
    return index;
}


const TxlsColumn* TxlsColumnList::Find(const std::string& fieldName) const {
    for (const TxlsColumn& item : items_)
        if (rtl::SameText(item.FieldName, fieldName))
            return &item;
    return nullptr;
}

TxlsSheet::TxlsSheet(TExporterXLS* exporter, int number)
    : Title("Sheet " + std::to_string(number)), FieldFormats(this), StripStyles(this), Hyperlinks(this),
      Notes(this), Charts(this), Images(this), Cells(this), MergedCells(this),
      Columns(this, [](const std::string& s) { return s; }),
      ExportRow(Columns, {}, Formats),
      exporter_(exporter) {}

TExportSources TxlsSheet::Sources() const {
    return SourcesOf(*this);
}

void TxlsSheet::Notification(const void* removed) {
    ForgetRemovedSource(*this, removed);
}

void TxlsSheet::LoadColumnsOwnerProperties(TExportOwnerProperties& p) const {
    p.ExportedFields = &ExportedFields;
    p.Sources = Sources();
    p.OnlyVisibleFields = OnlyVisibleFields;
    p.Formats = &Formats;
    p.AutoCalcStrType = AutoCalcStrType;
    p.CaptionRow = CaptionRow;
    p.UserFormats = &UserFormats;
    p.ColumnsWidth = &ColumnsWidth;
    p.Captions = &Captions;
    p.SkipRecCount = SkipRecCount;
    p.ExportRecCount = ExportRecCount;
}

TxlsExporterLink* TxlsSheet::GetExporter() const {
    return exporter_;
}

void TxlsSheet::LoadFromExporter(const TExporterXLS& e) {
    AutoCalcColWidth = e.AutoCalcColWidth;
    Options.Assign(e.Options);
    // The page texts go with the sheet too: the options' copy takes the formats only.
    Options.PageHeader = e.Options.PageHeader;
    Options.PageFooter = e.Options.PageFooter;
    Options.SetSheetTitle(e.Options.SheetTitle());
    Title = e.Options.SheetTitle();
    FieldFormats.Clear();
    for (std::size_t i = 0; i < e.FieldFormats.Count(); ++i)
        FieldFormats.Add().Assign(e.FieldFormats.Items(i));
    StripType = e.StripType;
    StripStyles.Clear();
    for (std::size_t i = 0; i < e.StripStyles.Count(); ++i)
        StripStyles.Add().Assign(e.StripStyles.Items(i));
    Hyperlinks.Assign(e.Hyperlinks);
    Notes.Assign(e.Notes);
    Charts.Assign(e.Charts);
    Images.Assign(e.Images);
    Cells.Assign(e.Cells);
    MergedCells.Assign(e.MergedCells);
    Background.Assign(e.Background);
    ExportSource = e.ExportSource;
    DataSet = e.DataSet;
    CustomSource = e.CustomSource;
    ListView = e.ListView;
    DBGrid = e.DBGrid;
    StringGrid = e.StringGrid;
    ExportedFields = e.ExportedFields;
    HeaderRows = e.HeaderRows;
    StartDataCol = e.StartDataCol;
    FooterRows = e.FooterRows;
    Header = e.Header;
    Captions = e.Captions;
    Footer = e.Footer;
    Formats.Assign(e.Formats);
    UserFormats = e.UserFormats;
    ColumnsWidth = e.ColumnsWidth;
    AllowCaptions = e.AllowCaptions;
    GoToFirstRecord = e.GoToFirstRecord;
    ExportRecCount = e.ExportRecCount;
    SkipRecCount = e.SkipRecCount;
    CurrentRecordOnly = e.CurrentRecordOnly;
    OnlyVisibleFields = e.OnlyVisibleFields;
    AutoCalcStrType = e.AutoCalcStrType;
    CaptionRow = e.CaptionRow;
}

TxlsSheet& TxlsSheets::Add() {
    items_.push_back(std::make_unique<TxlsSheet>(exporter_, int(items_.size()) + 1));
    return *items_.back();
}

void TxlsSheets::Delete(std::size_t index) {
    if (index < items_.size())
        items_.erase(items_.begin() + std::ptrdiff_t(index));
}

} // namespace exporter
