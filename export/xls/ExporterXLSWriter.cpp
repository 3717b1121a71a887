#include "export/xls/ExporterXLSWriter.h"

#include "export/core/ExporterPageUtils.h"
#include "export/xls/ExporterXLSColors.h"
#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSRecords.h"
#include "export/xls/ExporterXLSUtils.h"
#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace exporter {

namespace {

// The 15 style XFs: locked style XFs without parent, bottom-aligned; fonts 0, 1, 1, 2, 2, then 0.
std::vector<std::uint8_t> StyleXFBytes(int index) {
    std::vector<std::uint8_t> data(TbiffXF::Size, 0);
    static const std::uint8_t fonts[5] = {0, 1, 1, 2, 2};
    data[0] = index < 5 ? fonts[index] : 0;
    data[4] = 0xF5;
    data[5] = 0xFF;
    data[6] = 0x20;
    data[9] = index == 0 ? 0 : 0xF4;
    data[18] = 0xC0;
    data[19] = 0x20;
    return data;
}

// The six built-in styles: XF | 0x8000, style id, level.
const std::uint8_t BuiltInStyles[6][4] = {
    {0x10, 0x80, 3, 0xFF}, {0x11, 0x80, 6, 0xFF}, {0x12, 0x80, 4, 0xFF},
    {0x13, 0x80, 7, 0xFF}, {0x00, 0x80, 0, 0xFF}, {0x14, 0x80, 5, 0xFF},
};

} // namespace

TExportFont MeasureFont(const TxlsFont& font) {
    TExportFont f;
    f.Name = font.Name;
    f.Size = font.Size;
    f.Bold = font.Has(xfsBold);
    f.Italic = font.Has(xfsItalic);
    f.StrikeOut = font.Has(xfsStrikeOut);
    f.Underline = font.Underline != fulNone;
    return f;
}

std::string SheetLimitText(bool row) {
    return row ? "The sheet needs more than 65536 rows, the most a workbook sheet holds"
               : "The sheet needs more than 256 columns, the most a workbook sheet holds";
}

void FailSheetLimits(bool row) {
    throw TxlsSheetLimitError(SheetLimitText(row));
}

TxlsFormulaResult TxlsColumnStats::Result(int aggregate) const {
    if (NotFinite)
        return {0, XLS_ERROR_NUM};
    TxlsFormulaResult result;
    switch (aggregate) {
    case aggAvg:
        if (Count == 0)
            return {0, XLS_ERROR_DIV0};
        result.Value = Sum / double(Count);
        break;
    case aggMin:
        result.Value = Min;
        break;
    case aggMax:
        result.Value = Max;
        break;
    default:
        result.Value = Sum;
        break;
    }
    if (!std::isfinite(result.Value))
        return {0, XLS_ERROR_NUM};
    return result;
}

TxlsMergedRange TxlsMergedRange::Normalized() const {
    return {std::min(FirstRow, LastRow), std::max(FirstRow, LastRow), std::min(FirstCol, LastCol),
            std::max(FirstCol, LastCol)};
}

TxlsWorkbookWriter::TxlsWorkbookWriter(TxlsStream& stream)
    : stream_(stream), pending_(4 + BufferSize), userColors_(DefaultUserColors()) {}

void TxlsWorkbookWriter::GatherRecords() {
    gather_ = true;
    if (pending_.size() < GatherSize)
        pending_.resize(GatherSize);
}

TxlsStream& TxlsWorkbookWriter::Stream() {
    if (!rkRun_.empty())
        flushRKRun();
    writePending();
    return recordStream_;
}

TxlsStream& TxlsWorkbookWriter::TRecordStream::written() const {
    if (!writer_.rkRun_.empty())
        writer_.flushRKRun();
    writer_.writePending();
    return writer_.stream_;
}

std::size_t TxlsWorkbookWriter::TRecordStream::Write(const void* buffer, std::size_t count) {
    if (!writer_.gather_ || count > writer_.pending_.size())
        return written().Write(buffer, count);
    if (!writer_.rkRun_.empty())
        writer_.flushRKRun();
    if (writer_.pending_.size() - writer_.pendingSize_ < count)
        writer_.writePending();
    if (count > 0)
        std::memcpy(writer_.pending_.data() + writer_.pendingSize_, buffer, count);
    writer_.pendingSize_ += count;
    return count;
}

std::size_t TxlsWorkbookWriter::TRecordStream::Read(void* buffer, std::size_t count) {
    return written().Read(buffer, count);
}

void TxlsWorkbookWriter::TRecordStream::Seek(std::uint64_t position) {
    written().Seek(position);
}

std::uint64_t TxlsWorkbookWriter::TRecordStream::Position() const {
    if (!writer_.rkRun_.empty())
        writer_.flushRKRun();
    return writer_.stream_.Position() + writer_.pendingSize_;
}

std::uint64_t TxlsWorkbookWriter::TRecordStream::Size() const {
    return written().Size();
}

void TxlsWorkbookWriter::TRecordStream::Insert(std::uint64_t position, const std::uint8_t* data,
                                               std::size_t size) {
    written().Insert(position, data, size);
}

std::array<rtl::TColor, 16> TxlsWorkbookWriter::DefaultUserColors() {
    std::array<rtl::TColor, 16> colors{};
    for (int i = 0; i < 16; ++i)
        colors[i] = XlsColorToColor(static_cast<TxlsColor>(clrColor1 + i));
    return colors;
}

void TxlsWorkbookWriter::put16(std::size_t at, std::uint16_t value) {
    PutWord(buffer_, at, value);
}

void TxlsWorkbookWriter::put32(std::size_t at, std::uint32_t value) {
    PutDWord(buffer_, at, value);
}

void TxlsWorkbookWriter::putDouble(std::size_t at, double value) {
    std::memcpy(buffer_.data() + at, &value, 8);
}

namespace {

void store16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

void store32(std::uint8_t* at, std::uint32_t value) {
    store16(at, static_cast<std::uint16_t>(value));
    store16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

// The row, column and XF that every cell record opens with.
void storeCell(std::uint8_t* at, int row, int col, std::uint16_t xf) {
    store16(at, static_cast<std::uint16_t>(row));
    store16(at + 2, static_cast<std::uint16_t>(col));
    store16(at + 4, xf);
}

} // namespace

std::uint8_t* TxlsWorkbookWriter::beginRecord(std::uint16_t id, std::size_t size) {
    if (!rkRun_.empty())
        flushRKRun();
    return reserveRecord(id, size);
}

std::uint8_t* TxlsWorkbookWriter::reserveRecord(std::uint16_t id, std::size_t size) {
    // Header and data go in together: a cell record is a few bytes, and a write per piece costs
    // more than the bytes.
    if (pending_.size() - pendingSize_ < 4 + size)
        writePending();
    std::uint8_t* record = pending_.data() + pendingSize_;
    store16(record, id);
    store16(record + 2, static_cast<std::uint16_t>(size));
    pendingSize_ += 4 + size;
    return record + 4;
}

void TxlsWorkbookWriter::writePending() {
    const std::size_t size = pendingSize_;
    pendingSize_ = 0;
    WriteBuffer(stream_, pending_.data(), size);
}

void TxlsWorkbookWriter::WriteRecord(std::uint16_t id, std::size_t size) {
    // The buffer holds the new record: an RK run is written first, from its own bytes.
    size = std::min(size, BufferSize);
    std::uint8_t* data = beginRecord(id, size);
    if (size > 0)
        std::memcpy(data, buffer_.data(), size);
    endRecord();
}

void TxlsWorkbookWriter::WriteWordRecord(std::uint16_t id, std::uint16_t value) {
    put16(0, value);
    WriteRecord(id, 2);
}

void TxlsWorkbookWriter::WriteBOF(std::uint16_t substreamType) {
    std::fill_n(buffer_.begin(), 16, 0);
    put16(0, 0x0600);
    put16(2, substreamType);
    put16(4, 0x0DBB);
    put16(6, 0x07CC);
    put32(12, 0x0206);
    WriteRecord(biff::BOF, 16);
}

void TxlsWorkbookWriter::WriteWriteAccess() {
    std::fill_n(buffer_.begin(), 112, 0x20);
    const std::string text = std::string(XLS_PRODUCT_NAME) + " " + XLS_PRODUCT_VERSION;
    put16(0, static_cast<std::uint16_t>(text.size()));
    buffer_[2] = 0;
    std::memcpy(buffer_.data() + 3, text.data(), text.size());
    WriteRecord(biff::WRITEACCESS, 112);
}

void TxlsWorkbookWriter::WriteWindow1() {
    const std::uint16_t values[9] = {120, 120, 23820, 15720, 0x0038, 0, 0, 1, 600};
    for (int i = 0; i < 9; ++i)
        put16(2 * i, values[i]);
    WriteRecord(biff::WINDOW1, 18);
}

void TxlsWorkbookWriter::WriteEOF() {
    WriteRecord(biff::EOF_, 0);
}

void TxlsWorkbookWriter::WriteDelta() {
    putDouble(0, 0.001);
    WriteRecord(biff::DELTA, 8);
}

void TxlsWorkbookWriter::WriteGuts() {
    std::fill_n(buffer_.begin(), 8, 0);
    WriteRecord(biff::GUTS, 8);
}

void TxlsWorkbookWriter::WriteDefColWidth(int width) {
    WriteWordRecord(biff::DEFCOLWIDTH, static_cast<std::uint16_t>(std::clamp(width, 0, 255)));
}

void TxlsWorkbookWriter::WriteDefaultRowHeight(double points) {
    put16(0, 0);
    put16(2, static_cast<std::uint16_t>(std::clamp(std::lround(points * 20), 0L, 8191L)));
    WriteRecord(biff::DEFAULTROWHEIGHT, 4);
}

void TxlsWorkbookWriter::WriteHeaderFooter(std::uint16_t id, const std::string& text) {
    const std::u16string chars = CutUtf16(Utf8ToWide(text), 255); // the most a header or footer holds
    if (chars.empty()) {
        WriteRecord(id, 0);
        return;
    }
    const bool compressed = IsCompressible(chars);
    put16(0, static_cast<std::uint16_t>(chars.size()));
    buffer_[2] = compressed ? 0 : 1;
    std::size_t at = 3;
    for (char16_t ch : chars) {
        if (compressed) {
            buffer_[at++] = static_cast<std::uint8_t>(ch);
        } else {
            put16(at, static_cast<std::uint16_t>(ch));
            at += 2;
        }
    }
    WriteRecord(id, at);
}

void TxlsWorkbookWriter::WriteWindow2() {
    std::fill_n(buffer_.begin(), 18, 0);
    put16(0, 0x06B6);
    WriteRecord(biff::WINDOW2, 18);
}

void TxlsWorkbookWriter::WriteSelection() {
    std::fill_n(buffer_.begin(), 15, 0);
    buffer_[0] = 3;
    put16(7, 1);
    WriteRecord(biff::SELECTION, 15);
}

void TxlsWorkbookWriter::WriteDimensions(int firstRow, int lastRow, int firstCol, int lastCol) {
    std::fill_n(buffer_.begin(), 14, 0);
    put32(0, static_cast<std::uint32_t>(firstRow));
    put32(4, static_cast<std::uint32_t>(lastRow));
    put16(8, static_cast<std::uint16_t>(firstCol));
    put16(10, static_cast<std::uint16_t>(lastCol));
    WriteRecord(biff::DIMENSIONS, 14);
}

void TxlsWorkbookWriter::writeLabel(int row, int col, std::uint16_t xf, std::uint32_t index) {
    std::uint8_t* data = beginRecord(biff::LABELSST, 10);
    storeCell(data, row, col, xf);
    store32(data + 6, index);
    endRecord();
    widen(row, col);
}

void TxlsWorkbookWriter::WriteLabelSST(int row, int col, std::uint16_t xf, std::u16string_view text) {
    CheckSheetLimits(row, col);
    writeLabel(row, col, xf, sst_.Add(text));
}

void TxlsWorkbookWriter::WriteLabelUtf8(int row, int col, std::uint16_t xf, std::string_view text) {
    CheckSheetLimits(row, col);
    writeLabel(row, col, xf, sst_.AddUtf8(text));
}

void TxlsWorkbookWriter::WriteBoolErr(int row, int col, std::uint16_t xf, bool value) {
    CheckSheetLimits(row, col);
    std::uint8_t* data = beginRecord(biff::BOOLERR, 8);
    storeCell(data, row, col, xf);
    data[6] = value ? 1 : 0;
    data[7] = 0;
    endRecord();
    widen(row, col);
}

void TxlsWorkbookWriter::WriteError(int row, int col, std::uint16_t xf, std::uint8_t error) {
    CheckSheetLimits(row, col);
    std::uint8_t* data = beginRecord(biff::BOOLERR, 8);
    storeCell(data, row, col, xf);
    data[6] = error;
    data[7] = 1;
    endRecord();
    widen(row, col);
}

bool TxlsWorkbookWriter::EncodeRK(double value, std::uint32_t& rk) {
    constexpr double limit = 536870912.0; // 2^29: the 30-bit signed integers
    auto asInteger = [&](double v, std::uint32_t flags) {
        if (!(v >= -limit && v < limit))
            return false;
        // Within the range the cast only drops a fraction: the value is whole when it keeps it.
        const auto integer = static_cast<std::int32_t>(v);
        if (static_cast<double>(integer) != v)
            return false;
        rk = static_cast<std::uint32_t>(integer) << 2 | flags;
        return true;
    };
    auto asDouble = [&](double v, std::uint32_t flags) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &v, 8);
        if ((bits & 0x3FFFFFFFFull) != 0)
            return false;
        rk = static_cast<std::uint32_t>(bits >> 32) | flags;
        return true;
    };
    if (!std::isfinite(value))
        return false;
    if (asInteger(value, 2) || asDouble(value, 0))
        return true;
    // Divided by 100 on reading: only when that gives back exactly this value.
    const double hundred = value * 100.0;
    if (std::isfinite(hundred) && hundred / 100.0 == value)
        return asInteger(hundred, 3) || asDouble(hundred, 1);
    return false;
}

void TxlsWorkbookWriter::WriteNumber(int row, int col, std::uint16_t xf, double value) {
    if (!std::isfinite(value)) {
        WriteError(row, col, xf, XLS_ERROR_NUM);
        return;
    }
    CheckSheetLimits(row, col);
    std::uint32_t rk = 0;
    if (EncodeRK(value, rk)) {
        if (!rkRun_.empty() && (row != rkRow_ || col != rkFirstCol_ + int(rkRun_.size())))
            flushRKRun();
        if (rkRun_.empty()) {
            rkRow_ = row;
            rkFirstCol_ = col;
        }
        rkRun_.emplace_back(xf, rk);
    } else {
        std::uint8_t* data = beginRecord(biff::NUMBER, 14);
        storeCell(data, row, col, xf);
        std::memcpy(data + 6, &value, 8);
        endRecord();
    }
    widen(row, col);
}

void TxlsWorkbookWriter::flushRKRun() {
    // RK for a single cell: row, column, XF, value; MULRK: row, first column, XF and value per
    // cell, last column.
    const std::size_t count = rkRun_.size();
    const bool multiple = count > 1;
    const std::uint16_t row = static_cast<std::uint16_t>(rkRow_),
                        first = static_cast<std::uint16_t>(rkFirstCol_);
    std::uint8_t* data = reserveRecord(multiple ? biff::MULRK : biff::RK, 4 + 6 * count + (multiple ? 2 : 0));
    store16(data, row);
    store16(data + 2, first);
    std::uint8_t* at = data + 4;
    for (const auto& [xf, rk] : rkRun_) {
        store16(at, xf);
        store32(at + 2, rk);
        at += 6;
    }
    if (multiple)
        store16(at, static_cast<std::uint16_t>(first + count - 1));
    rkRun_.clear();
    endRecord();
}

void TxlsWorkbookWriter::WriteBlank(int row, int col, std::uint16_t xf) {
    CheckSheetLimits(row, col);
    storeCell(beginRecord(biff::BLANK, 6), row, col, xf);
    endRecord();
    widen(row, col);
}

void TxlsWorkbookWriter::WriteFormula(int row, int col, int firstRow, int lastRow, int aggregate,
                                      std::uint16_t xf, const TxlsFormulaResult& result) {
    CheckSheetLimits(row, col);
    std::uint16_t function = 4;
    switch (aggregate) {
    case aggAvg:
        function = 5;
        break;
    case aggMin:
        function = 6;
        break;
    case aggMax:
        function = 7;
        break;
    default:
        break;
    }
    std::fill_n(buffer_.begin(), 35, 0);
    put16(0, static_cast<std::uint16_t>(row));
    put16(2, static_cast<std::uint16_t>(col));
    put16(4, xf);
    const std::uint8_t error = std::isfinite(result.Value) ? result.Error : XLS_ERROR_NUM;
    if (error != 0) {
        buffer_[6] = 2; // an error value
        buffer_[8] = error;
        put16(12, 0xFFFF);
    } else {
        putDouble(6, result.Value);
    }
    put16(14, 0x0002);
    put16(20, 13);
    buffer_[22] = 0x25;
    put16(23, static_cast<std::uint16_t>(firstRow));
    put16(25, static_cast<std::uint16_t>(lastRow));
    const std::uint16_t relativeColumn = static_cast<std::uint16_t>(0xC000 | (col & 0xFF));
    put16(27, relativeColumn);
    put16(29, relativeColumn);
    buffer_[31] = 0x42;
    buffer_[32] = 1;
    put16(33, function);
    WriteRecord(biff::FORMULA, 35);
    widen(row, col);
}

void TxlsWorkbookWriter::WriteMergedCells(const std::vector<TxlsMergedRange>& ranges) {
    // One record holds at most 1027 ranges (2 + 8 × 1027 bytes); more follow in further records.
    std::vector<TxlsMergedRange> valid;
    for (const TxlsMergedRange& range : ranges) {
        if (!range.IsValid())
            continue;
        const TxlsMergedRange r = range.Normalized();
        if (r.LastRow > XLS_MAX_ROWS || r.LastCol > XLS_MAX_COLUMNS)
            throw TxlsSheetLimitError("The merged cells (" + std::to_string(range.FirstCol) + ", " +
                                      std::to_string(range.FirstRow) + ", " + std::to_string(range.LastCol) +
                                      ", " + std::to_string(range.LastRow) +
                                      ") lie outside the sheet: a workbook sheet has 256 columns and "
                                      "65536 rows");
        valid.push_back(r);
    }
    constexpr std::size_t perRecord = (BufferSize - 2) / 8;
    for (std::size_t start = 0; start < valid.size(); start += perRecord) {
        const std::size_t count = std::min(perRecord, valid.size() - start);
        put16(0, static_cast<std::uint16_t>(count));
        for (std::size_t i = 0; i < count; ++i) {
            const TxlsMergedRange& r = valid[start + i];
            put16(2 + 8 * i, static_cast<std::uint16_t>(r.FirstRow - 1));
            put16(4 + 8 * i, static_cast<std::uint16_t>(r.LastRow - 1));
            put16(6 + 8 * i, static_cast<std::uint16_t>(r.FirstCol - 1));
            put16(8 + 8 * i, static_cast<std::uint16_t>(r.LastCol - 1));
        }
        WriteRecord(biff::MERGEDCELLS, 2 + 8 * count);
    }
}

void TxlsWorkbookWriter::WriteGlobals() {
    WriteBOF(biff::SUBSTREAM_GLOBALS);
    WriteWriteAccess();
    WriteWordRecord(biff::CODEPAGE, 1252);
    WriteWordRecord(biff::DSF, 0);
    WriteWordRecord(biff::FNGROUPCOUNT, 14);
    WriteWordRecord(biff::WINDOWPROTECT, 0);
    WriteWordRecord(biff::PROTECT, 0);
    WriteWordRecord(biff::PASSWORD, 0);
    WriteWordRecord(biff::PROT4REV, 0);
    WriteWordRecord(biff::PROT4REVPASS, 0);
    WriteWindow1();
    WriteWordRecord(biff::BACKUP, 0);
    WriteWordRecord(biff::HIDEOBJ, 0);
    WriteWordRecord(biff::DATEMODE, 0);
    WriteWordRecord(biff::PRECISION, 1);
    WriteWordRecord(biff::REFRESHALL, 0);
    WriteWordRecord(biff::BOOKBOOL, 0);
    splicePosition_ = Stream().Position();
    WriteEOF();
}

double TxlsWorkbookWriter::DefaultCharWidth() {
    const int width = TextWidthOnDisplay("0", MeasureFont(TxlsFont{}));
    return width > 0 ? width : 7.0;
}

std::uint16_t TxlsWorkbookWriter::ColInfoWidth(int width, double charWidth) {
    const double w = (double(width) + 1.0 / charWidth) * 256.0;
    return static_cast<std::uint16_t>(std::clamp(std::lround(w), 0L, 65535L));
}

void TxlsWorkbookWriter::WriteSheetHeader(int sheetIndex, const TxlsSheetLayout& layout,
                                          TxlsSheetObjects* objects) {
    TxlsBoundSheet entry;
    entry.SheetIndex = sheetIndex;
    entry.Name = layout.Title;
    entry.BOFPosition = Stream().Position();
    sheets_.push_back(entry);

    WriteBOF(biff::SUBSTREAM_WORKSHEET);
    WriteWordRecord(biff::CALCMODE, 1);
    WriteWordRecord(biff::CALCCOUNT, 100);
    WriteWordRecord(biff::REFMODE, 1);
    WriteWordRecord(biff::ITERATION, 0);
    WriteDelta();
    WriteWordRecord(biff::SAVERECALC, 1);
    WriteWordRecord(biff::PRINTHEADERS, 0);
    WriteWordRecord(biff::PRINTGRIDLINES, 0);
    WriteWordRecord(biff::GRIDSET, 1);
    WriteGuts();
    WriteDefColWidth(layout.DefColWidth);
    WriteDefaultRowHeight(layout.DefRowHeight);
    WriteWordRecord(biff::WSBOOL, 0x04C1);
    WriteHeaderFooter(biff::HEADER, layout.PageHeader);
    WriteHeaderFooter(biff::FOOTER, layout.PageFooter);
    WriteWordRecord(biff::HCENTER, 0);
    WriteWordRecord(biff::VCENTER, 0);
    if (objects)
        objects->WriteBackground(*this);

    const double charWidth = DefaultCharWidth();
    TxlsColInfoList columns;
    for (std::size_t i = 0; i < layout.ColumnWidths.size(); ++i) {
        const int column = layout.FirstDataCol + int(i);
        if (column > 255)
            break; // a BIFF8 sheet has 256 columns
        auto info = std::make_unique<TxlsColInfo>();
        info->Column = static_cast<std::uint16_t>(column);
        info->Width = ColInfoWidth(layout.ColumnWidths[i] + 1, charWidth);
        info->XFIndex = TxlsFormatTables::DefaultCellXF;
        columns.Add(std::move(info));
    }
    TxlsStream& stream = Stream();
    sheets_.back().ColInfoPosition = stream.Position();
    colInfoCount_ = columns.Count();
    columns.SaveToStream(stream);
    sheets_.back().DimensionsPosition = stream.Position();
    WriteDimensions(0, 0, 0, 0);
}

int TxlsWorkbookWriter::MeasureColumnWidth(const std::string& text, std::uint16_t xf) const {
    const TxlsXFormat* format = tables_.FindXFormat(xf);
    const TxlsFont font = format && format->Font ? *format->Font : TxlsFont{};
    const double zero = TextWidthOnDisplay("0", MeasureFont(TxlsFont{}));
    if (zero <= 0)
        return 0;
    const double chars = TextWidthOnDisplay(text + "I", MeasureFont(font)) / zero;
    const double rounded = std::round(chars);
    return int(rounded) + (chars != std::floor(chars) ? 1 : 0);
}

void TxlsWorkbookWriter::ApplyColumnWidths(const std::vector<int>& widths) {
    TxlsBoundSheet* sheet = CurrentSheet();
    if (!sheet)
        return;
    TxlsStream& stream = Stream();
    const std::uint64_t end = stream.Position();
    constexpr std::uint64_t colInfoRecordSize = 15, widthOffset = 8;
    for (std::size_t i = 0; i < widths.size() && i < colInfoCount_; ++i) {
        stream.Seek(sheet->ColInfoPosition + i * colInfoRecordSize + widthOffset);
        WriteWord(stream, static_cast<std::uint16_t>(std::clamp(widths[i] * 256, 0, 65535)));
    }
    stream.Seek(end);
}

void TxlsWorkbookWriter::WriteSheetTail(TxlsSheetObjects* objects) {
    if (objects) {
        objects->WriteUserCells(*this);
        objects->WriteMergedCells(*this);
        objects->WriteHyperlinkCells(*this);
    }
    WriteWindow2();
    WriteSelection();
    if (objects) {
        objects->WriteHyperlinks(*this);
        objects->WriteDrawing(*this);
        if (TxlsBoundSheet* sheet = CurrentSheet()) {
            sheet->HasCharts = objects->HasCharts();
            sheet->DrawingObjectCount = objects->DrawingObjectCount();
        }
    }
    WriteEOF();
}

std::vector<std::uint8_t> TxlsWorkbookWriter::PaletteRecord(const std::array<rtl::TColor, 16>& userColors) {
    std::vector<std::uint8_t> data(230, 0);
    PutWord(data, 0, biff::PALETTE);
    PutWord(data, 2, 226);
    PutWord(data, 4, 56);
    std::array<rtl::TColor, 64> byNumber{};
    for (int c = 0; c < XLS_COLOR_COUNT; ++c) {
        const TxlsColor color = static_cast<TxlsColor>(c);
        byNumber[XlsColorNumber(color)] = XlsColorToColor(color);
    }
    for (int n = 24; n <= 27; ++n)
        byNumber[n] = userColors[n - 24];
    for (int n = 8; n < 64; ++n) {
        const rtl::TColor rgb = byNumber[n];
        const std::size_t at = 6 + 4 * (n - 8);
        data[at] = rgb & 0xFF;
        data[at + 1] = (rgb >> 8) & 0xFF;
        data[at + 2] = (rgb >> 16) & 0xFF;
        data[at + 3] = 0;
    }
    return data;
}

void TxlsWorkbookWriter::buildGlobalRecords(TxlsMemoryStream& globals, TxlsWorkbookObjects* objects) {
    for (int i = 0; i < 4; ++i)
        BuildFontRecord(this, TxlsFont{})->SaveToStream(&globals);
    for (std::size_t i = 0; i < tables_.Fonts().Count(); ++i)
        BuildFontRecord(this, tables_.Fonts().Items(i))->SaveToStream(&globals);
    for (std::size_t i = 0; i < tables_.NumberFormats().Count(); ++i) {
        const TxlsTextFormat& format = tables_.NumberFormats().Items(i);
        TbiffFormat(this, format.Index, Utf8ToWide(format.Text)).SaveToStream(&globals);
    }
    for (int i = 0; i < 15; ++i)
        TbiffRecord(this, StyleXFBytes(i), BIFF_XF).SaveToStream(&globals);
    TbiffXF(this, DefaultCellXFBytes).SaveToStream(&globals);
    for (std::size_t i = 0; i < tables_.XFormats().Count(); ++i)
        BuildXFRecord(this, tables_.XFormats().Items(i))->SaveToStream(&globals);
    for (const auto& style : BuiltInStyles)
        TbiffStyle(this, style).SaveToStream(&globals);
    const std::vector<std::uint8_t> palette = PaletteRecord(userColors_);
    WriteBuffer(globals, palette.data(), palette.size());
    for (TxlsBoundSheet& sheet : sheets_) {
        sheet.BoundSheetPosition = globals.Position();
        TbiffBoundSheet(this, sheet.Name).SaveToStream(&globals);
    }
    TbiffCountry country(this);
    country.SetDefaultCountry(1);
    country.SetWindowsCountry(1);
    country.SaveToStream(&globals);

    bool anyCharts = false;
    int drawingObjects = 0;
    for (const TxlsBoundSheet& sheet : sheets_) {
        anyCharts = anyCharts || sheet.HasCharts;
        drawingObjects += sheet.DrawingObjectCount;
    }
    if (anyCharts) {
        const auto count = static_cast<std::uint16_t>(sheets_.size());
        TbiffSupbookInternal(this, count).SaveToStream(&globals);
        TbiffExternSheet externSheet(this, count);
        for (std::uint16_t i = 0; i < count; ++i)
            externSheet.SetEntry(i, 0, i, i);
        externSheet.SaveToStream(&globals);
    }
    if (drawingObjects > 0 && objects)
        TbiffMSODrawingGroup(this, objects->DrawingGroup(drawingObjects)).SaveToStream(&globals);
    sst_.SaveToStream(globals);
}

void TxlsWorkbookWriter::FinishWorkbook(TxlsWorkbookObjects* objects) {
    TxlsStream& stream = Stream();
    const std::uint64_t end = stream.Position();
    for (const TxlsBoundSheet& sheet : sheets_) {
        if (!sheet.HasCells())
            continue;
        stream.Seek(sheet.DimensionsPosition + 4);
        WriteDWord(stream, static_cast<std::uint32_t>(sheet.FirstRow));
        WriteDWord(stream, static_cast<std::uint32_t>(sheet.LastRow + 1));
        WriteWord(stream, static_cast<std::uint16_t>(sheet.FirstCol));
        WriteWord(stream, static_cast<std::uint16_t>(sheet.LastCol + 1));
    }
    stream.Seek(end);

    TxlsMemoryStream globals;
    buildGlobalRecords(globals, objects);
    const std::uint64_t inserted = globals.Size();
    for (const TxlsBoundSheet& sheet : sheets_) {
        globals.Seek(sheet.BoundSheetPosition + 4);
        WriteDWord(globals, static_cast<std::uint32_t>(sheet.BOFPosition + inserted));
    }

    // The records go in at the globals' EOF: the sheets move up by the inserted size.
    stream.Insert(splicePosition_, globals.Bytes().data(), globals.Bytes().size());
}

} // namespace exporter
