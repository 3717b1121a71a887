#pragma once

// The "Workbook" stream writer: the record writers, the workbook globals, each worksheet's
// substream (header, cells, tail) and the last step that builds the font, format, XF, style,
// palette, sheet, country, reference, drawing-group and shared-string records in memory and
// splices them into the globals.
//
// Order of calls: WriteGlobals once; per sheet WriteSheetHeader, the cell writers, WriteSheetTail;
// after the last sheet FinishWorkbook.

#include "export/core/ExporterTypes.h"
#include "export/xls/ExporterXLSColInfo.h"
#include "export/xls/ExporterXLSFormatTables.h"
#include "export/xls/ExporterXLSSST.h"
#include "export/xls/ExporterXLSStream.h"
#include "platform/rtl/Colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

class TxlsWorkbookWriter;

// A workbook font as the text measurement takes it.
TExportFont MeasureFont(const TxlsFont& font);

// Record ids of the stream writer.
namespace biff {
constexpr std::uint16_t BOF = 0x0809, EOF_ = 0x000A, WRITEACCESS = 0x005C, WINDOW1 = 0x003D, DELTA = 0x0010,
                        GUTS = 0x0080, DEFCOLWIDTH = 0x0055, DEFAULTROWHEIGHT = 0x0225, HEADER = 0x0014,
                        FOOTER = 0x0015, LABELSST = 0x00FD, BOOLERR = 0x0205, NUMBER = 0x0203, BLANK = 0x0201,
                        FORMULA = 0x0006, MERGEDCELLS = 0x00E5, WINDOW2 = 0x023E, DIMENSIONS = 0x0200,
                        SELECTION = 0x001D, CODEPAGE = 0x0042, DSF = 0x0161, FNGROUPCOUNT = 0x009C,
                        WINDOWPROTECT = 0x0019, PROTECT = 0x0012, PASSWORD = 0x0013, PROT4REV = 0x01AF,
                        PROT4REVPASS = 0x01BC, BACKUP = 0x0040, HIDEOBJ = 0x008D, DATEMODE = 0x0022,
                        PRECISION = 0x000E, REFRESHALL = 0x01B7, BOOKBOOL = 0x00DA, CALCMODE = 0x000D,
                        CALCCOUNT = 0x000C, REFMODE = 0x000F, ITERATION = 0x0011, SAVERECALC = 0x005F,
                        PRINTHEADERS = 0x002A, PRINTGRIDLINES = 0x002B, GRIDSET = 0x0082, WSBOOL = 0x0081,
                        HCENTER = 0x0083, VCENTER = 0x0084, PALETTE = 0x0092, RK = 0x027E, MULRK = 0x00BD;
constexpr std::uint16_t SUBSTREAM_GLOBALS = 0x0005, SUBSTREAM_WORKSHEET = 0x0010, SUBSTREAM_CHART = 0x0020;
} // namespace biff

// The product named in WRITEACCESS.
constexpr const char* XLS_PRODUCT_NAME = "Sarovel Tables";
constexpr const char* XLS_PRODUCT_VERSION = "1.20";

// The most rows and columns a BIFF8 sheet holds.
constexpr int XLS_MAX_ROWS = 65536;
constexpr int XLS_MAX_COLUMNS = 256;

// Raised when a cell would lie past the last row or column of a sheet.
class TxlsSheetLimitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a sheet that needs more rows (or, when false, columns) than a BIFF8 sheet holds is told.
std::string SheetLimitText(bool row);
// Raises TxlsSheetLimitError for a row (or, when false, a column) outside a BIFF8 sheet.
[[noreturn]] void FailSheetLimits(bool row);
// Raises TxlsSheetLimitError when a zero-based cell lies outside a BIFF8 sheet.
inline void CheckSheetLimits(int row, int col) {
    if (row < 0 || row >= XLS_MAX_ROWS)
        FailSheetLimits(true);
    if (col < 0 || col >= XLS_MAX_COLUMNS)
        FailSheetLimits(false);
}

// The error values a cell or a cached formula result carries (BIFF8 error codes).
constexpr std::uint8_t XLS_ERROR_DIV0 = 0x07; // #DIV/0!
constexpr std::uint8_t XLS_ERROR_NUM = 0x24;  // #NUM!

// The cached result of an aggregate formula: a number, or an error value (0: none): #DIV/0! for
// an average over no numbers, #NUM! for a result that is not a finite number.
struct TxlsFormulaResult {
    double Value = 0;
    std::uint8_t Error = 0;
};

// The numbers written in one column, from which an aggregate's result is computed.
struct TxlsColumnStats {
    double Sum = 0, Min = 0, Max = 0;
    std::size_t Count = 0;
    bool NotFinite = false; // a NaN or an infinity was written: the cell shows #NUM!
    void Add(double value) {
        if (!std::isfinite(value)) {
            NotFinite = true;
            return;
        }
        Min = Count == 0 ? value : std::min(Min, value);
        Max = Count == 0 ? value : std::max(Max, value);
        Sum += value;
        ++Count;
    }
    // The result of aggSum .. aggMax over the numbers (SUM, MIN and MAX of none are 0). A
    // non-finite number among them, or a sum that overflows, gives #NUM!, as the readers'
    // own recalculation does.
    TxlsFormulaResult Result(int aggregate) const;
};

// One written sheet: where its records are and the range of its cells (-1 while it has none).
struct TxlsBoundSheet {
    int SheetIndex = 0;
    std::u16string Name;
    std::uint64_t BOFPosition = 0;
    std::uint64_t BoundSheetPosition = 0; // inside the globals' memory stream
    std::uint64_t DimensionsPosition = 0;
    std::uint64_t ColInfoPosition = 0;
    int FirstRow = -1, LastRow = -1, FirstCol = -1, LastCol = -1;
    // Taken from the sheet's objects when its tail is written.
    bool HasCharts = false;
    int DrawingObjectCount = 0;

    // Widens the used range to take in the cell (zero-based).
    void Widen(int row, int col) {
        if (FirstRow < 0 || row < FirstRow)
            FirstRow = row;
        if (row > LastRow)
            LastRow = row;
        if (FirstCol < 0 || col < FirstCol)
            FirstCol = col;
        if (col > LastCol)
            LastCol = col;
    }
    bool HasCells() const { return FirstRow >= 0 && LastRow >= 0 && FirstCol >= 0 && LastCol >= 0; }
};

// A merged range with one-based bounds, as the sheet's model holds it.
struct TxlsMergedRange {
    int FirstRow = 0, LastRow = 0, FirstCol = 0, LastCol = 0;
    bool IsValid() const { return FirstRow > 0 && LastRow > 0 && FirstCol > 0 && LastCol > 0; }
    // The same cells with the first row and column before the last ones.
    TxlsMergedRange Normalized() const;
};

// What the objects a user places on a sheet (background picture, user cells, merged ranges,
// hyperlinks, notes, pictures, charts) add to its substream. Every step writes nothing by
// default, so a sheet without objects needs no implementation.
class TxlsSheetObjects {
public:
    virtual ~TxlsSheetObjects() = default;
    // Header step 7: the BITMAP background.
    virtual void WriteBackground(TxlsWorkbookWriter&) {}
    // Tail step 1: the user-defined cells.
    virtual void WriteUserCells(TxlsWorkbookWriter&) {}
    // Tail step 2: the merged ranges (WriteMergedCells).
    virtual void WriteMergedCells(TxlsWorkbookWriter&) {}
    // Tail step 3: the title cells of the valid hyperlinks.
    virtual void WriteHyperlinkCells(TxlsWorkbookWriter&) {}
    // Tail step 5: HLINK (and HLINKTOOLTIP) per valid hyperlink.
    virtual void WriteHyperlinks(TxlsWorkbookWriter&) {}
    // Tail step 6: the drawing with notes, pictures and charts.
    virtual void WriteDrawing(TxlsWorkbookWriter&) {}
    virtual bool HasCharts() const { return false; }
    // Notes, pictures and charts the sheet's drawing holds.
    virtual int DrawingObjectCount() const { return 0; }
};

// What the workbook's objects add to the globals: the drawing group (with the picture store).
class TxlsWorkbookObjects {
public:
    virtual ~TxlsWorkbookObjects() = default;
    // The data of the MSODRAWINGGROUP record for that many drawing objects in all sheets.
    virtual std::vector<std::uint8_t> DrawingGroup(int totalObjects) = 0;
};

// The layout values WriteSheetHeader writes.
struct TxlsSheetLayout {
    std::u16string Title;
    std::string PageHeader; // UTF-8
    std::string PageFooter; // UTF-8
    int DefColWidth = 8;
    double DefRowHeight = 12.75; // points
    int FirstDataCol = 0;
    std::vector<int> ColumnWidths; // characters, one per exported column
};

class TxlsWorkbookWriter {
public:
    static constexpr std::size_t BufferSize = 8224;
    // The bytes of records gathered before they are written (GatherRecords).
    static constexpr std::size_t GatherSize = std::size_t(512) * 1024;

    explicit TxlsWorkbookWriter(TxlsStream& stream);
    TxlsWorkbookWriter(const TxlsWorkbookWriter&) = delete;
    TxlsWorkbookWriter& operator=(const TxlsWorkbookWriter&) = delete;

    // From now on records gather in memory and reach the stream in large writes: when GatherSize
    // bytes have gathered and whenever Stream() is asked for (FinishWorkbook does so). Until then
    // every record is written when it is complete, and a refused write raises TxlsWriteError at
    // once; afterwards it does so when the gathered records are written.
    void GatherRecords();

    // u16 id, u16 size and the first size bytes of the buffer. Raises TxlsWriteError.
    void WriteRecord(std::uint16_t id, std::size_t size);
    void WriteWordRecord(std::uint16_t id, std::uint16_t value);

    // The record writers (rows and columns zero-based).
    void WriteBOF(std::uint16_t substreamType);
    void WriteWriteAccess();
    void WriteWindow1();
    void WriteEOF();
    void WriteDelta();
    void WriteGuts();
    void WriteDefColWidth(int width);
    void WriteDefaultRowHeight(double points);
    // HEADER or FOOTER with a UTF-8 text, as a BIFF8 string of at most 255 characters.
    void WriteHeaderFooter(std::uint16_t id, const std::string& text);
    void WriteWindow2();
    void WriteSelection();
    void WriteDimensions(int firstRow, int lastRow, int firstCol, int lastCol);
    // Cell writers; each widens the current sheet's used range. A row past 65,535 or a column past
    // 255 raises TxlsSheetLimitError: a sheet never wraps round to its top.
    void WriteLabelSST(int row, int col, std::uint16_t xf, std::u16string_view text);
    // The same for a UTF-8 text, which is converted only when the table does not hold it yet.
    void WriteLabelUtf8(int row, int col, std::uint16_t xf, std::string_view text);
    void WriteBoolErr(int row, int col, std::uint16_t xf, bool value);
    // An error value (XLS_ERROR_*) as BOOLERR.
    void WriteError(int row, int col, std::uint16_t xf, std::uint8_t error);
    // A number as RK when that form holds it exactly, else as NUMBER. RK numbers in adjacent
    // cells of a row are gathered into one MULRK record (6 bytes a cell instead of 14), written
    // when the run ends: before any other record. The format has no NaN or infinity: such a
    // value becomes the error #NUM! (never an empty cell, so that the cell still shows that a
    // value was there and aggregates over it give #NUM! too).
    void WriteNumber(int row, int col, std::uint16_t xf, double value);
    void WriteBlank(int row, int col, std::uint16_t xf);
    // An aggregate (aggSum .. aggMax) over the column from firstRow to lastRow, with its computed
    // result stored for readers that do not recalculate; a result that is not a finite number is
    // stored as #NUM!.
    void WriteFormula(int row, int col, int firstRow, int lastRow, int aggregate, std::uint16_t xf,
                      const TxlsFormulaResult& result);
    // MERGEDCELLS of the valid ranges, each normalized (a reversed range names the same cells);
    // nothing when none is valid. A range that reaches past the last row or column raises
    // TxlsSheetLimitError before anything is written.
    void WriteMergedCells(const std::vector<TxlsMergedRange>& ranges);

    // The substreams.
    void WriteGlobals();
    void WriteSheetHeader(int sheetIndex, const TxlsSheetLayout& layout, TxlsSheetObjects* objects);
    void WriteSheetTail(TxlsSheetObjects* objects);
    void FinishWorkbook(TxlsWorkbookObjects* objects);

    // The pixel width of "0" in the default font, by which COLINFO widths are computed.
    static double DefaultCharWidth();
    // The COLINFO width of a column of width characters.
    static std::uint16_t ColInfoWidth(int width, double charWidth);
    // The characters a text takes in the XF's font (the default font for 15 or none), rounded up.
    int MeasureColumnWidth(const std::string& text, std::uint16_t xf) const;
    // Rewrites the current sheet's COLINFO widths with widths (characters) × 256.
    void ApplyColumnWidths(const std::vector<int>& widths);

    // The output stream, with any RK run and gathered records written first. Bytes written to it
    // go in order with the records, gathered like them.
    TxlsStream& Stream();
    std::uint8_t* Buffer() { return buffer_.data(); }
    TsstStrings& SST() { return sst_; }
    TxlsFormatTables& Tables() { return tables_; }
    std::array<rtl::TColor, 16>& UserColors() { return userColors_; }
    std::vector<TxlsBoundSheet>& BoundSheets() { return sheets_; }
    // The sheet being written, or none.
    TxlsBoundSheet* CurrentSheet() { return sheets_.empty() ? nullptr : &sheets_.back(); }
    std::uint64_t SplicePosition() const { return splicePosition_; }

    // The RK form of a number when it holds the number exactly: a 30-bit integer, or the top 30
    // bits of the double, either of them possibly divided by 100.
    static bool EncodeRK(double value, std::uint32_t& rk);

    // The 230-byte PALETTE record (header included) for a user colour array.
    static std::vector<std::uint8_t> PaletteRecord(const std::array<rtl::TColor, 16>& userColors);
    // The default user colours: those of clrColor1 .. clrColor16.
    static std::array<rtl::TColor, 16> DefaultUserColors();

private:
    // The writer's view of the output stream: writes join the gathered records; everything else
    // writes those first.
    class TRecordStream : public TxlsStream {
    public:
        explicit TRecordStream(TxlsWorkbookWriter& writer) : writer_(writer) {}
        std::size_t Write(const void* buffer, std::size_t count) override;
        std::size_t Read(void* buffer, std::size_t count) override;
        void Seek(std::uint64_t position) override;
        std::uint64_t Position() const override;
        std::uint64_t Size() const override;
        void Insert(std::uint64_t position, const std::uint8_t* data, std::size_t size) override;

    private:
        // The output stream after the RK run and the gathered records.
        TxlsStream& written() const;
        TxlsWorkbookWriter& writer_;
    };

    void put16(std::size_t at, std::uint16_t value);
    void put32(std::size_t at, std::uint32_t value);
    void putDouble(std::size_t at, double value);
    void widen(int row, int col) {
        if (!sheets_.empty())
            sheets_.back().Widen(row, col);
    }
    // Makes room for a record of size data bytes (at most BufferSize) with its header, after any
    // RK run, and returns where its data goes; endRecord() then writes it unless records gather.
    std::uint8_t* beginRecord(std::uint16_t id, std::size_t size);
    // The same without writing the RK run first.
    std::uint8_t* reserveRecord(std::uint16_t id, std::size_t size);
    void endRecord() {
        if (!gather_)
            writePending();
    }
    // Writes the records gathered so far.
    void writePending();
    void writeLabel(int row, int col, std::uint16_t xf, std::uint32_t index);
    // Writes the gathered RK run: one RK record for a single cell, else MULRK.
    void flushRKRun();
    void buildGlobalRecords(TxlsMemoryStream& globals, TxlsWorkbookObjects* objects);

    TxlsStream& stream_;
    TRecordStream recordStream_{*this};
    std::array<std::uint8_t, BufferSize> buffer_{};
    std::vector<std::uint8_t> pending_; // records not written yet, in their first pendingSize_ bytes
    std::size_t pendingSize_ = 0;
    bool gather_ = false;
    std::uint64_t splicePosition_ = 0;
    TsstStrings sst_;
    TxlsFormatTables tables_;
    std::array<rtl::TColor, 16> userColors_;
    std::vector<TxlsBoundSheet> sheets_;
    std::size_t colInfoCount_ = 0;
    // The RK run being gathered: its row, first column and per cell XF and RK value.
    int rkRow_ = -1, rkFirstCol_ = 0;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> rkRun_;
};

} // namespace exporter
