#pragma once

// The sheets of a workbook export: each TxlsSheet has its own data source, layout, formats and
// sheet objects; TxlsSheets is the exporter's collection of them.

#include "export/core/ExporterCommon.h"
#include "export/core/ExporterSources.h"
#include "export/xls/ExporterXLSFormats.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "platform/rtl/StringList.h"

#include <memory>
#include <string>
#include <vector>

namespace exporter {

class TExporterXLS;
class TqeCustomSource;

enum TxlsStripType : std::uint8_t { ssNone, ssCol, ssRow };

// Where the data cells of one field were written (zero-based; -1 while none).
struct TxlsColumn {
    std::string FieldName;
    int FirstRow = -1, LastRow = -1, FirstCol = -1, LastCol = -1;
    bool Written() const { return FirstRow >= 0; }
};

// One entry per field name (without regard to case); charts find their data ranges here.
class TxlsColumnList {
public:
    static constexpr std::size_t NoEntry = std::size_t(-1);

    // Widens the field's entry (adding it when new) to take in the cell and returns its place,
    // which stays the same until Clear. The entry at hint, when it carries exactly that name, is
    // taken without a search.
    std::size_t Widen(const std::string& fieldName, int row, int col, std::size_t hint = NoEntry);
    // Widens the entry at that place (a result of Widen) to take in the cell.
    void WidenEntry(std::size_t index, int row, int col) {
        TxlsColumn& entry = items_[index];
        if (entry.FirstRow < 0 || row < entry.FirstRow)
            entry.FirstRow = row;
        if (row > entry.LastRow)
            entry.LastRow = row;
        if (entry.FirstCol < 0 || col < entry.FirstCol)
            entry.FirstCol = col;
        if (col > entry.LastCol)
            entry.LastCol = col;
    }
    // The field's entry, or none.
    const TxlsColumn* Find(const std::string& fieldName) const;
    std::size_t Count() const { return items_.size(); }
    const TxlsColumn& Items(std::size_t index) const { return items_[index]; }
    void Clear() { items_.clear(); }

private:
    std::vector<TxlsColumn> items_;
};

class TxlsSheet : public TExportColumnsOwner, public TxlsObjectOwner, public TxlsSheetLink {
public:
    // A sheet of the exporter's collection with its number (from 1) for the default title.
    TxlsSheet(TExporterXLS* exporter, int number);
    TxlsSheet(const TxlsSheet&) = delete;
    TxlsSheet& operator=(const TxlsSheet&) = delete;

    // Takes the exporter's own settings, source and objects (the sheet keeps DefRowHeight and
    // DefColWidth); Title becomes Options.SheetTitle.
    void LoadFromExporter(const TExporterXLS& exporter);

    std::string Title; // UTF-8
    TXLSOptions Options;
    TxlsFieldFormats FieldFormats;
    TxlsFormats StripStyles;
    TxlsStripType StripType = ssNone;
    TxlsHyperlinks Hyperlinks;
    TxlsNotes Notes;
    TxlsCharts Charts;
    TxlsImages Images;
    TxlsCells Cells;
    TxlsMergedCellList MergedCells;
    TxlsGraphic Background;

    TExportSource ExportSource = TExportSource::esDataSet;
    TExportDataSet* DataSet = nullptr;
    TqeCustomSource* CustomSource = nullptr;
    TExportListView* ListView = nullptr;
    TExportDBGrid* DBGrid = nullptr;
    TExportStringGrid* StringGrid = nullptr;
    rtl::TStringList ExportedFields;

    int HeaderRows = 0;
    int StartDataCol = 0;
    int FooterRows = 0;
    rtl::TStringList Header;
    rtl::TStringList Captions;
    rtl::TStringList Footer;
    TExportFormats Formats;
    rtl::TStringList UserFormats;
    rtl::TStringList ColumnsWidth;
    double DefRowHeight = 12.75;
    int DefColWidth = 8;
    bool AutoCalcColWidth = false;
    bool AutoCalcStrType = false;
    bool AllowCaptions = true;
    int CaptionRow = -1;

    bool GoToFirstRecord = true;
    int ExportRecCount = 0;
    int SkipRecCount = 0;
    bool CurrentRecordOnly = false;
    bool OnlyVisibleFields = true;

    bool Exported = true;
    int Tag = 0;

    // State of the running export.
    TExportColumns Columns;
    TExportRow ExportRow;
    int RecNo = 0;
    TxlsColumnList ColumnList;

    TExportSources Sources() const;
    // Clears the references to a source object that goes away.
    void Notification(const void* removed);

    // TExportColumnsOwner
    void LoadColumnsOwnerProperties(TExportOwnerProperties& properties) const override;
    // TxlsObjectOwner
    const TXLSOptions* GetOptions() const override { return &Options; }
    TxlsSheetLink* AsSheet() override { return this; }
    // TxlsSheetLink
    TxlsExporterLink* GetExporter() const override;
    int GetSheetIndex() const override { return writtenIndex_; }
    int GetStartDataCol() const override { return StartDataCol; }
    int GetDefColWidth() const override { return DefColWidth; }
    double GetDefRowHeight() const override { return DefRowHeight; }

    TExporterXLS* Exporter() const { return exporter_; }
    void SetWrittenIndex(int index) { writtenIndex_ = index; }

private:
    TExporterXLS* exporter_;
    int writtenIndex_ = -1;
};

class TxlsSheets {
public:
    explicit TxlsSheets(TExporterXLS* exporter) : exporter_(exporter) {}
    TxlsSheet& Add();
    std::size_t Count() const { return items_.size(); }
    TxlsSheet& Items(std::size_t index) const { return *items_.at(index); }
    void Delete(std::size_t index);
    void Clear() { items_.clear(); }
    TExporterXLS* Exporter() const { return exporter_; }

private:
    TExporterXLS* exporter_;
    std::vector<std::unique_ptr<TxlsSheet>> items_;
};

} // namespace exporter
