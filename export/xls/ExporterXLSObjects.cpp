#include "export/xls/ExporterXLSObjects.h"

#include "export/xls/ExporterXLSChart.h"
#include "export/xls/ExporterXLSSheet.h"

#include <QImage>

namespace exporter {

bool ReadBackgroundPixels(const TxlsGraphic& picture, std::uint16_t& width, std::uint16_t& height,
                          std::vector<std::uint8_t>& rows) {
    QImage image;
    if (!picture.Data().empty())
        image.loadFromData(picture.Data().data(), static_cast<int>(picture.Data().size()));
    else if (!picture.FileName().empty())
        image.load(QString::fromStdString(picture.FileName()));
    if (image.isNull() || image.width() > 0xFFFF || image.height() > 0xFFFF)
        return false;
    image = image.convertToFormat(QImage::Format_RGB888);
    width = static_cast<std::uint16_t>(image.width());
    height = static_cast<std::uint16_t>(image.height());
    const std::size_t stride = (3 * std::size_t(width) + 3) / 4 * 4;
    rows.assign(stride * height, 0);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(image.height() - 1 - y);
        std::uint8_t* out = rows.data() + stride * std::size_t(y);
        for (int x = 0; x < image.width(); ++x) {
            out[3 * x] = line[3 * x + 2];
            out[3 * x + 1] = line[3 * x + 1];
            out[3 * x + 2] = line[3 * x];
        }
    }
    return true;
}

void TxlsDrawingSheetObjects::WriteBackground(TxlsWorkbookWriter& writer) {
    std::uint16_t width = 0, height = 0;
    std::vector<std::uint8_t> rows;
    if (ReadBackgroundPixels(sheet_.Background, width, height, rows))
        WriteBackgroundBitmap(writer.Stream(), width, height, rows);
}

void TxlsDrawingSheetObjects::WriteHyperlinks(TxlsWorkbookWriter& writer) {
    for (std::size_t i = 0; i < sheet_.Hyperlinks.Count(); ++i) {
        const TxlsHyperlink& link = sheet_.Hyperlinks.Items(i);
        if (link.IsValid())
            WriteHyperlink(writer.Stream(), link);
    }
}

void TxlsDrawingSheetObjects::WriteDrawing(TxlsWorkbookWriter& writer) {
    TxlsSheetDrawingInput input;
    input.Notes = &sheet_.Notes;
    input.Images = &sheet_.Images;
    input.Charts = &sheet_.Charts;
    input.Store = store_;
    // A note's font joins the workbook's font list like the fonts of the cell formats.
    auto& fonts = const_cast<TxlsFontList&>(writer.Tables().Fonts());
    input.NoteFontIndex = [&fonts](const TxlsFont& font) { return NoteFontIndex(fonts, font); };
    // The drawing writes to the writer's own stream, so the chart records follow the chart's OBJ.
    TxlsChartWriter charts(writer, sheet_.ColumnList, sheet_.GetSheetIndex());
    input.WriteChart = [&charts](TxlsStream&, const TxlsChart& chart) { charts.WriteChart(chart); };
    WriteSheetDrawing(writer.Stream(), input);
}

int TxlsDrawingSheetObjects::DrawingObjectCount() const {
    return CountDrawingObjects(&sheet_.Notes, &sheet_.Images, &sheet_.Charts, store_);
}

bool TxlsDrawingSheetObjects::HasCharts() const {
    return sheet_.Charts.Count() > 0;
}

std::vector<std::uint8_t> TxlsDrawingWorkbookObjects::DrawingGroup(int totalObjects) {
    return BuildDrawingGroup(static_cast<std::uint32_t>(totalObjects),
                             store_.HasPictures() ? &store_ : nullptr);
}

} // namespace exporter
