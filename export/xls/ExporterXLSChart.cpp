#include "export/xls/ExporterXLSChart.h"

#include "export/xls/ExporterXLSColors.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>
#include <cstring>

namespace exporter {

namespace {

// Colour indexes of the chart's automatic colours.
constexpr std::uint16_t AutoLineColor = 77, AutoBackground = 78, AutoPlotBackground = 79;
constexpr std::uint16_t HairlineWeight = 0xFFFF;
// Ptg of a 3-D area reference.
constexpr std::uint8_t PtgArea3d = 0x3B;
// The most characters SERIESTEXT holds (a one-byte count).
constexpr std::size_t MaxSeriesTextLength = 255;

std::uint16_t clampWord(int value) {
    return static_cast<std::uint16_t>(std::clamp(value, 0, 0xFFFF));
}

} // namespace

TxlsChartRange ResolveChartRange(TxlsRangeType type, const std::string& columnName,
                                 const TxlsDataRange& custom, const TxlsColumnList& columns) {
    TxlsChartRange range;
    if (type == rtCustom) {
        // The model counts from 1: a coordinate 0 would turn into a reference past the sheet's end.
        if (custom.Col1 == 0 || custom.Col2 == 0 || custom.Row1 == 0 || custom.Row2 == 0)
            return range;
        range.Set = true;
        range.FirstRow = static_cast<std::uint16_t>(custom.Row1 - 1);
        range.LastRow = static_cast<std::uint16_t>(custom.Row2 - 1);
        range.FirstCol = static_cast<std::uint16_t>(custom.Col1 - 1);
        range.LastCol = static_cast<std::uint16_t>(custom.Col2 - 1);
        return range;
    }
    const TxlsColumn* column = columnName.empty() ? nullptr : columns.Find(columnName);
    if (!column || !column->Written() || column->FirstCol < 0)
        return range;
    range.Set = true;
    range.FirstRow = clampWord(column->FirstRow);
    range.LastRow = clampWord(column->LastRow);
    range.FirstCol = clampWord(column->FirstCol);
    range.LastCol = clampWord(column->LastCol);
    return range;
}

bool IsChart3D(TxlsChartStyle style) {
    switch (style) {
    case xcsColumn3d:
    case xcsBar3d:
    case xcsLine3d:
    case xcsPie3d:
    case xcsArea3d:
    case xcsSurface3d:
        return true;
    default:
        return false;
    }
}

void TxlsChartWriter::u8(std::uint8_t value) {
    writer_.Buffer()[size_++] = value;
}

void TxlsChartWriter::u16(std::uint16_t value) {
    u8(static_cast<std::uint8_t>(value & 0xFF));
    u8(static_cast<std::uint8_t>(value >> 8));
}

void TxlsChartWriter::u32(std::uint32_t value) {
    u16(static_cast<std::uint16_t>(value & 0xFFFF));
    u16(static_cast<std::uint16_t>(value >> 16));
}

void TxlsChartWriter::f64(double value) {
    std::memcpy(writer_.Buffer() + size_, &value, 8);
    size_ += 8;
}

void TxlsChartWriter::zeros(std::size_t count) {
    std::fill_n(writer_.Buffer() + size_, count, std::uint8_t(0));
    size_ += count;
}

void TxlsChartWriter::write(std::uint16_t id) {
    writer_.WriteRecord(id, size_);
}

void TxlsChartWriter::writeFbi(std::uint16_t heightBasis, std::uint16_t scaleBasis) {
    start();
    u16(5685), u16(4380), u16(heightBasis), u16(scaleBasis), u16(0);
    write(biff::FBI);
}

void TxlsChartWriter::writeSetup() {
    start();
    u16(0), u16(18), u16(1), u16(1), u16(1), u16(0x003B), u16(0), u16(2208);
    f64(0.0), f64(0.0);
    u16(1);
    write(biff::SETUP);
}

void TxlsChartWriter::writeFrame(std::uint16_t flags) {
    start();
    u16(0), u16(flags);
    write(biff::FRAME);
}

void TxlsChartWriter::writeLineFormat(std::uint32_t rgb, std::uint16_t pattern, std::uint16_t weight,
                                      std::uint16_t flags, std::uint16_t colorIndex) {
    start();
    u32(rgb), u16(pattern), u16(weight), u16(flags), u16(colorIndex);
    write(biff::LINEFORMAT);
}

void TxlsChartWriter::writeAreaFormat(std::uint32_t foreground, std::uint32_t background,
                                      std::uint16_t pattern, std::uint16_t flags,
                                      std::uint16_t foregroundIndex, std::uint16_t backgroundIndex) {
    start();
    u32(foreground), u32(background), u16(pattern), u16(flags), u16(foregroundIndex), u16(backgroundIndex);
    write(biff::AREAFORMAT);
}

void TxlsChartWriter::writeAI(std::uint8_t linkId, const TxlsChartRange& range) {
    start();
    u8(linkId);
    u8(linkId == 1 || linkId == 2 ? 2 : 1); // 2: a worksheet reference, 1: none or text
    u16(0), u16(0);
    if (!range.Set) {
        u16(0);
    } else {
        u16(11);
        u8(PtgArea3d);
        u16(clampWord(sheetIndex_));
        u16(range.FirstRow), u16(range.LastRow), u16(range.FirstCol), u16(range.LastCol);
    }
    write(biff::AI);
}

void TxlsChartWriter::writeSeriesText(const std::string& text) {
    const std::u16string wide = CutUtf16(Utf8ToWide(text), MaxSeriesTextLength);
    start();
    u16(0);
    u8(static_cast<std::uint8_t>(wide.size()));
    u8(1);
    for (char16_t c : wide)
        u16(static_cast<std::uint16_t>(c));
    write(biff::SERIESTEXT);
}

void TxlsChartWriter::writeText() {
    start();
    u8(2), u8(2), u16(1);
    u32(0), u32(1643), u32(82), u32(714), u32(397);
    u16(0x0081), u16(AutoLineColor), u16(0x3D20), u16(0);
    write(biff::TEXT);
}

void TxlsChartWriter::writePos(bool topLeftMode5, std::uint32_t x1, std::uint32_t y1, std::uint32_t x2,
                               std::uint32_t y2) {
    start();
    u16(topLeftMode5 ? 5 : 2), u16(2);
    u32(x1), u32(y1), u32(x2), u32(y2);
    write(biff::POS);
}

void TxlsChartWriter::writeSeries(const TxlsChart& chart, std::size_t index) {
    const TxlsChartSeries& series = chart.Series.Items(index);
    const auto i = static_cast<std::uint16_t>(std::min<std::size_t>(index, 0xFFFF));
    start();
    u16(1), u16(1), u16(13), u16(13), u16(1), u16(0);
    write(biff::SERIES);
    record(biff::BEGIN);
    writeAI(0, {});
    if (!series.Title.empty())
        writeSeriesText(series.Title);
    writeAI(1, ResolveChartRange(series.DataRangeType, series.DataColumn, series.DataRange, columns_));
    writeAI(2, ResolveChartRange(chart.CategoryLabelsType, chart.CategoryLabelsColumn, chart.CategoryLabels,
                                 columns_));
    writeAI(3, {});
    start();
    u16(0xFFFF), u16(i), u16(i), u16(0);
    write(biff::DATAFORMAT);
    record(biff::BEGIN);
    wordRecord(biff::BARSHAPE3D, 0);
    if (!chart.AutoColor) {
        writeLineFormat(0, 0, 0, 0, 8);
        writeAreaFormat(0xA0A0A0, 0x909090, 1, 0, XlsColorNumber(series.Color), 8);
    }
    if (chart.Style == xcsLine) {
        // A plain line chart: a marker format with no marker, so that readers tell it from the
        // line with markers (whose automatic markers they draw).
        start();
        u32(0), u32(0), u16(0), u16(0), u16(8), u16(9), u32(100);
        write(biff::MARKERFORMAT);
    }
    record(biff::END);
    wordRecord(biff::SERTOCRT, 0);
    record(biff::END);
}

void TxlsChartWriter::writeDefaultTexts() {
    for (std::uint16_t id : {std::uint16_t(2), std::uint16_t(3)}) {
        wordRecord(biff::DEFAULTTEXT, id);
        writeText();
        record(biff::BEGIN);
        writePos(false, 0, 0, 0, 0);
        wordRecord(biff::FONTX, 0);
        writeAI(0, {});
        record(biff::END);
    }
}

void TxlsChartWriter::writeAxes() {
    wordRecord(biff::AXESUSED, 1);
    start();
    u16(0), u32(490), u32(895), u32(2606), u32(2456);
    write(biff::AXISPARENT);
    record(biff::BEGIN);
    writePos(false, 129, 719, 2968, 3105);

    const auto tick = [this] {
        start();
        u8(2), u8(0), u8(3), u8(1), u32(0);
        zeros(16);
        u16(0x0023), u16(AutoLineColor), u16(0);
        write(biff::TICK);
    };

    start();
    u16(0), zeros(16);
    write(biff::AXIS);
    record(biff::BEGIN);
    start();
    u16(1), u16(1), u16(1), u16(1);
    write(biff::CATSERRANGE);
    start();
    for (std::uint16_t v : {0, 0, 1, 0, 1, 0, 0, 0, 0x00EF})
        u16(v);
    write(biff::AXCEXT);
    tick();
    record(biff::END);

    start();
    u16(1), zeros(16);
    write(biff::AXIS);
    record(biff::BEGIN);
    start();
    for (int n = 0; n < 5; ++n)
        f64(0.0);
    u16(0x001F);
    write(biff::VALUERANGE);
    tick();
    wordRecord(biff::AXISLINEFORMAT, 1);
    writeLineFormat(0, 0, HairlineWeight, 9, AutoLineColor);
    record(biff::END);
}

void TxlsChartWriter::writePlotArea() {
    record(biff::PLOTAREA);
    writeFrame(3);
    record(biff::BEGIN);
    writeLineFormat(0x808080, 0, 0, 0, 23);
    writeAreaFormat(0xC0C0C0, 0, 1, 0, 22, AutoPlotBackground);
    record(biff::END);
}

void TxlsChartWriter::writeChartGroup(const TxlsChart& chart) {
    const bool pie = chart.Style == xcsPie || chart.Style == xcsPie3d;
    start();
    zeros(16), u16(pie ? 1 : 0), u16(0);
    write(biff::CHARTFORMAT);
    record(biff::BEGIN);
    switch (chart.Style) {
    case xcsColumn:
    case xcsColumn3d:
    case xcsBar:
    case xcsBar3d:
        start();
        u16(0), u16(150), u16(chart.Style == xcsBar || chart.Style == xcsBar3d ? 1 : 0);
        write(biff::BAR);
        break;
    case xcsLine:
    case xcsLineMark:
    case xcsLine3d:
        wordRecord(biff::LINE, 0);
        break;
    case xcsPie:
    case xcsPie3d:
        start();
        u16(0), u16(0), u16(1);
        write(biff::PIE);
        break;
    case xcsArea:
    case xcsArea3d:
        wordRecord(biff::AREA, 0);
        break;
    case xcsSurface:
    case xcsSurface3d:
        wordRecord(biff::SURFACE, 0);
        break;
    case xcsRadar:
        wordRecord(biff::RADAR, 0);
        break;
    case xcsRadarArea:
        wordRecord(biff::RADARAREA, 0);
        break;
    }
    if (IsChart3D(chart.Style)) {
        start();
        u16(20), u16(15), u16(30), u16(100), u16(100), u16(150), u16(0x0015);
        write(biff::CHART3D);
    }
}

void TxlsChartWriter::writeLegend(const TxlsChart& chart) {
    start();
    u32(3239), u32(1947), u32(710), u32(333);
    u8(static_cast<std::uint8_t>(chart.LegendPlacement)), u8(1), u16(0x001F);
    write(biff::LEGEND);
    record(biff::BEGIN);
    writePos(true, 3239, 1947, 0, 0);
    writeText();
    record(biff::BEGIN);
    writePos(false, 0, 0, 0, 0);
    writeAI(0, {});
    record(biff::END);
    record(biff::END);
}

void TxlsChartWriter::writeTitle(const TxlsChart& chart) {
    writeText();
    record(biff::BEGIN);
    writePos(false, 0, 0, 52, 22);
    wordRecord(biff::FONTX, 0);
    writeAI(0, {});
    writeSeriesText(chart.Title);
    start();
    u16(1), u16(0), u16(0);
    write(biff::OBJECTLINK);
    record(biff::END);
}

void TxlsChartWriter::WriteChart(const TxlsChart& chart) {
    // Page and print settings.
    writer_.WriteBOF(biff::SUBSTREAM_CHART);
    writer_.WriteHeaderFooter(biff::HEADER, "");
    writer_.WriteHeaderFooter(biff::FOOTER, "");
    wordRecord(biff::HCENTER, 0);
    wordRecord(biff::VCENTER, 0);
    writeSetup();
    wordRecord(biff::PRINTSIZE, 3);
    writeFbi(240, 0);
    writeFbi(200, 1);
    writeFbi(200, 0);
    wordRecord(biff::PROTECT, 0);
    wordRecord(biff::UNITS, 0);

    // The chart and its frame.
    start();
    u32(0x0000F000), u32(0), u32(0x00EFFFE8), u32(0x00B280D0);
    write(biff::CHART);
    record(biff::BEGIN);
    start();
    u16(1), u16(1);
    write(biff::SCL);
    start();
    u32(0x00010000), u32(0x00010000);
    write(biff::PLOTGROWTH);
    writeFrame(2);
    record(biff::BEGIN);
    writeLineFormat(0, 0, HairlineWeight, 9, AutoLineColor);
    writeAreaFormat(0xFFFFFF, 0, 1, 1, AutoBackground, AutoLineColor);
    record(biff::END);

    for (std::size_t i = 0; i < chart.Series.Count(); ++i)
        writeSeries(chart, i);

    start();
    u16(0x000A), u8(0), u8(0);
    write(biff::SHTPROPS);
    writeDefaultTexts();
    writeAxes();
    writePlotArea();
    writeChartGroup(chart);
    if (chart.ShowLegend)
        writeLegend(chart);
    record(biff::END); // the chart group
    record(biff::END); // the axis parent
    if (!chart.Title.empty())
        writeTitle(chart);
    record(biff::END); // the chart

    writer_.WriteDimensions(0, 13, 0, 1);
    wordRecord(biff::SIINDEX, 1);
    wordRecord(biff::SIINDEX, 2);
    wordRecord(biff::SIINDEX, 3);
    writer_.WriteEOF();
}

} // namespace exporter
