#pragma once

// The chart substream of an embedded chart: written right after the chart's OBJ record in the
// sheet's stream (BOF type 0x0020 ... EOF). Its series refer to cell ranges of the same sheet
// through the workbook's EXTERNSHEET entries, one per sheet, so the sheet's index is the entry.
//
// Use: TxlsChartWriter(writer, sheet.ColumnList, sheet.GetSheetIndex()).WriteChart(chart).

#include "export/xls/ExporterXLSSheet.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "export/xls/ExporterXLSWriter.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace exporter {

// Record ids of the chart substream.
namespace biff {
constexpr std::uint16_t PRINTSIZE = 0x0033, SETUP = 0x00A1, SCL = 0x00A0, UNITS = 0x1001, CHART = 0x1002,
                        SERIES = 0x1003, DATAFORMAT = 0x1006, LINEFORMAT = 0x1007, AREAFORMAT = 0x100A,
                        SERIESTEXT = 0x100D, CHARTFORMAT = 0x1014, LEGEND = 0x1015, BAR = 0x1017,
                        LINE = 0x1018, PIE = 0x1019, AREA = 0x101A, AXIS = 0x101D, TICK = 0x101E,
                        VALUERANGE = 0x101F, CATSERRANGE = 0x1020, AXISLINEFORMAT = 0x1021,
                        DEFAULTTEXT = 0x1024, TEXT = 0x1025, FONTX = 0x1026, OBJECTLINK = 0x1027,
                        FRAME = 0x1032, BEGIN = 0x1033, END = 0x1034, PLOTAREA = 0x1035, CHART3D = 0x103A,
                        RADAR = 0x103E, SURFACE = 0x103F, RADARAREA = 0x1040, AXISPARENT = 0x1041,
                        SHTPROPS = 0x1044, SERTOCRT = 0x1045, MARKERFORMAT = 0x1009, AXESUSED = 0x1046,
                        POS = 0x104F, AI = 0x1051, BARSHAPE3D = 0x105F, FBI = 0x1060, AXCEXT = 0x1062,
                        PLOTGROWTH = 0x1064, SIINDEX = 0x1065;
} // namespace biff

// A cell range a series' values or the chart's categories come from: zero-based, or none.
struct TxlsChartRange {
    bool Set = false;
    std::uint16_t FirstRow = 0, LastRow = 0, FirstCol = 0, LastCol = 0;
    bool operator==(const TxlsChartRange&) const = default;
};

// The range of a named export column (where its data cells were written) or of a custom range.
// A column that was never written, or a custom range with a coordinate 0, gives none.
TxlsChartRange ResolveChartRange(TxlsRangeType type, const std::string& columnName,
                                 const TxlsDataRange& custom, const TxlsColumnList& columns);

// True for the styles drawn in three dimensions.
bool IsChart3D(TxlsChartStyle style);

class TxlsChartWriter {
public:
    TxlsChartWriter(TxlsWorkbookWriter& writer, const TxlsColumnList& columns, int sheetIndex)
        : writer_(writer), columns_(columns), sheetIndex_(sheetIndex) {}

    // The whole substream, BOF to EOF. Raises TxlsWriteError on a failed write.
    void WriteChart(const TxlsChart& chart);

private:
    // The fields of a record are put into the writer's buffer, then written as one record.
    void start() { size_ = 0; }
    void u8(std::uint8_t value);
    void u16(std::uint16_t value);
    void u32(std::uint32_t value);
    void f64(double value);
    void zeros(std::size_t count);
    void write(std::uint16_t id);
    void record(std::uint16_t id) { start(), write(id); }
    void wordRecord(std::uint16_t id, std::uint16_t value) { start(), u16(value), write(id); }

    void writeFbi(std::uint16_t heightBasis, std::uint16_t scaleBasis);
    void writeSetup();
    void writeFrame(std::uint16_t flags);
    void writeLineFormat(std::uint32_t rgb, std::uint16_t pattern, std::uint16_t weight, std::uint16_t flags,
                         std::uint16_t colorIndex);
    void writeAreaFormat(std::uint32_t foreground, std::uint32_t background, std::uint16_t pattern,
                         std::uint16_t flags, std::uint16_t foregroundIndex, std::uint16_t backgroundIndex);
    void writeAI(std::uint8_t linkId, const TxlsChartRange& range);
    void writeSeriesText(const std::string& text);
    void writeText();
    void writePos(bool topLeftMode5, std::uint32_t x1, std::uint32_t y1, std::uint32_t x2, std::uint32_t y2);
    void writeSeries(const TxlsChart& chart, std::size_t index);
    void writeDefaultTexts();
    void writeAxes();
    void writePlotArea();
    void writeChartGroup(const TxlsChart& chart);
    void writeLegend(const TxlsChart& chart);
    void writeTitle(const TxlsChart& chart);

    TxlsWorkbookWriter& writer_;
    const TxlsColumnList& columns_;
    int sheetIndex_;
    std::size_t size_ = 0;
};

} // namespace exporter
