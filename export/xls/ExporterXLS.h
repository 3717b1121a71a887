#pragma once

// The Excel 97 workbook exporter. It writes one sheet from its own source and settings, or one
// sheet per exported entry of Sheets, each from that sheet's source:
//
//   TExporterXLS xls;
//   xls.DataSet = &dataSet;              // or ListView, StringGrid, ... as for every exporter
//   xls.FileName = "/tmp/out.xls";
//   xls.Options.SetSheetTitle("Records");
//   xls.Execute();
//
// The compound file reaches the disk only when the export completes: a failed or aborted export
// leaves an existing file as it was.

#include "export/core/Exporter.h"
#include "export/xls/ExporterXLSCellValues.h"
#include "export/xls/ExporterXLSFile.h"
#include "export/xls/ExporterXLSObjects.h"
#include "export/xls/ExporterXLSSheet.h"
#include "export/xls/ExporterXLSWriter.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace exporter {

class TExporterXLS : public TExporterFormatText, public TxlsObjectOwner, public TxlsExporterLink {
public:
    using TxlsExportedRecordEvent = std::function<void(TExporterXLS& sender, int sheet, int recNo)>;
    using TxlsGetExportTextEvent =
        std::function<void(TExporterXLS& sender, int sheet, int colNo, std::string& text)>;
    using TxlsBeforeExportRowEvent =
        std::function<void(TExporterXLS& sender, int sheet, TExportRow& row, bool& accept)>;
    using TGetHeaderFooterParamsEvent = std::function<void(TExporterXLS& sender, int sheet, int col, int row,
                                                           TxlsFormat& format, std::string& s)>;
    using TGetCaptionParamsEvent = std::function<void(TExporterXLS& sender, int sheet, int col,
                                                      TxlsFormat& format, std::string& caption)>;
    using TGetDataParamsEvent = std::function<void(TExporterXLS& sender, int sheet, int col, int row,
                                                   TxlsFormat& format, std::string& formatText)>;
    using TGetAggregateParamsEvent =
        std::function<void(TExporterXLS& sender, int sheet, int col, TxlsFormat& format,
                           std::string& formatText, std::string& value)>;
    using TxlsExportSheetEvent = std::function<void(TExporterXLS& sender, int sheet)>;

    // Makes the objects a written sheet adds (background, hyperlink records, drawing) after its
    // user cells, merged ranges and hyperlink title cells, which TxlsSheetCellObjects always
    // writes. Without a factory: TxlsDrawingSheetObjects (hyperlinks, notes, pictures).
    using TxlsSheetObjectsFactory =
        std::function<std::unique_ptr<TxlsSheetObjects>(TExporterXLS& exporter, TxlsSheet& sheet)>;
    // Makes the workbook's drawing group. Without a factory: TxlsDrawingWorkbookObjects over
    // Pictures.
    using TxlsWorkbookObjectsFactory =
        std::function<std::unique_ptr<TxlsWorkbookObjects>(TExporterXLS& exporter)>;

    TExporterXLS();
    ~TExporterXLS() override;

    // Checks the file name and its directory, writes the workbook, then shows or prints it.
    void Execute() override;
    // Refuses (EExportError) before anything is read or written when a sheet's header lines, captions
    // and records already need more rows than a sheet holds, counting every record of a source that
    // knows how many it has. Execute checks this itself while no row event can leave records out.
    void CheckRowsFit();

    // --- settings (besides the inherited ones) ---
    TXLSOptions Options;
    TxlsFieldFormats FieldFormats;
    TxlsFormats StripStyles;
    TxlsStripType StripType = ssNone;
    TxlsHyperlinks Hyperlinks;
    TxlsNotes Notes;
    TxlsCharts Charts;
    TxlsSheets Sheets;
    TxlsPictures Pictures;
    TxlsImages Images;
    TxlsCells Cells;
    TxlsMergedCellList MergedCells;
    TxlsGraphic Background;
    int HeaderRows = 0;
    int StartDataCol = 0;
    int FooterRows = 0;
    // The 16 free palette colours (red in the low byte); the first four become colours 24 to 27.
    std::array<rtl::TColor, 16> UserColors;

    TxlsSheetObjectsFactory SheetObjectsFactory;
    TxlsWorkbookObjectsFactory WorkbookObjectsFactory;

    // --- events ---
    TxlsExportedRecordEvent OnAdvancedExportedRecord;
    TxlsGetExportTextEvent OnAdvancedGetExportText;
    TxlsBeforeExportRowEvent OnAdvancedBeforeExportRow;
    TGetHeaderFooterParamsEvent OnGetHeaderParams;
    TGetHeaderFooterParamsEvent OnGetBeforeDataParams;
    TGetHeaderFooterParamsEvent OnGetFooterParams;
    TGetCaptionParamsEvent OnGetCaptionParams;
    TGetDataParamsEvent OnGetDataParams;
    TGetAggregateParamsEvent OnGetAggregateParams;
    TxlsExportSheetEvent OnBeforeExportSheet;
    TxlsExportSheetEvent OnAfterExportSheet;

    // The writer of the running export, or none.
    TxlsWorkbookWriter* WorkbookWriter() const { return writer_.get(); }
    // Clears the references of the exporter and its sheets to a source object that goes away.
    void Notification(const void* removed);

    // TxlsObjectOwner
    const TXLSOptions* GetOptions() const override { return &Options; }
    TxlsExporterLink* AsExporter() override { return this; }
    // TxlsExporterLink
    const TxlsPictures* GetPictures() const override { return &Pictures; }
    std::vector<const TxlsImages*> GetAllImages() const override;
    bool FindDataExtent(int sheetIndex, TxlsDataExtent& extent) const override;
    std::vector<int> GetExportedColumnWidths() const override { return columnWidths_; }
    TxlsFont GetFirstFont() const override;
    int TextWidth(const std::string& text, const TxlsFont& font) const override;
    double ZeroWidth() const override;

protected:
    void BeginExport() override;
    void EndExport() override;

    // The steps of Execute.
    // The sheets to write with the index their events carry; without an exported sheet, one made
    // from the exporter's own settings, which temporary then holds.
    std::vector<std::pair<TxlsSheet*, int>> sheetsToExport(std::unique_ptr<TxlsSheet>& temporary);
    void BeginWorkbook();
    void ExportSheets();
    // Commits the file when the workbook is complete; always releases the stream and tables.
    void EndWorkbook(bool commit);

private:
    void checkSheetSource(const TxlsSheet& sheet) const;
    // Returns false when the export was aborted while the sheet was written.
    bool exportSheet(TxlsSheet& sheet, int sheetIndex);
    int writeHeaderLines(TxlsSheet& sheet, int sheetIndex, const rtl::TStringList& lines, int maxRows,
                         int firstRow, const TxlsFormat& defaultFormat, bool footer);
    void writeBeforeData(TxlsSheet& sheet, int sheetIndex, int row);
    void writeCaptions(TxlsSheet& sheet, int sheetIndex, int row);
    void prepareColumnXFs(TxlsSheet& sheet, int sheetIndex);
    std::uint16_t dataCellXF(TxlsSheet& sheet, int sheetIndex, int col, int row, int dataRow);
    void writeDataRow(TxlsSheet& sheet, int sheetIndex, int row, int dataRow);
    void writeDataCell(TxlsSheet& sheet, int col, int row, std::uint16_t xf, const std::string& text);
    bool hasAggregates(const TxlsSheet& sheet) const;
    void writeAggregates(TxlsSheet& sheet, int sheetIndex, int row, int firstDataRow);
    void widenColumn(TxlsSheet& sheet, int col, const std::string& text, std::uint16_t xf);

    std::unique_ptr<TxlsWorkbookFile> file_;
    std::unique_ptr<TxlsWorkbookWriter> writer_;
    std::unique_ptr<TxlsDrawingWorkbookObjects> drawing_;
    std::unique_ptr<TxlsWorkbookObjects> customWorkbookObjects_;
    std::vector<std::uint16_t> columnXF_;         // per column of the current sheet
    std::vector<int> columnFieldFormat_;          // index in FieldFormats, -1 when none
    std::vector<int> columnWidths_;               // characters, per column of the current sheet
    std::vector<std::string> columnNumberFormat_; // format code, per column of the current sheet
    std::vector<bool> columnTimeOnly_;            // whether that format shows a time of day alone
    std::vector<TxlsColumnStats> columnStats_;    // numbers written, per column of the current sheet
    std::vector<std::u16string> sheetNames_;      // names of the sheets written so far
    std::vector<std::string> cellTexts_;          // per column, the text of the current cell
    std::vector<std::size_t> columnEntries_;      // per column, its entry in the sheet's ColumnList
    TxlsDateTexts dateTexts_;                     // the date texts read so far
    int exportedCounter_ = 0;
};

// The built-in objects of a sheet that need no drawing: user-defined cells, merged ranges and the
// title cells of its valid hyperlinks.
class TxlsSheetCellObjects : public TxlsSheetObjects {
public:
    TxlsSheetCellObjects(TxlsSheet& sheet,
                         std::function<void(int col, const std::string&, std::uint16_t)> widen)
        : sheet_(sheet), widen_(std::move(widen)) {}
    void WriteUserCells(TxlsWorkbookWriter& writer) override;
    void WriteMergedCells(TxlsWorkbookWriter& writer) override;
    void WriteHyperlinkCells(TxlsWorkbookWriter& writer) override;

private:
    TxlsSheet& sheet_;
    std::function<void(int col, const std::string&, std::uint16_t)> widen_;
};

} // namespace exporter
