#pragma once

// The sheet objects that the drawing records carry, plugged into the workbook stream writer:
// hyperlink records, the drawing with notes, pictures and charts (each chart followed by its chart
// substream), and the workbook's drawing group with its picture store.

#include "export/xls/ExporterXLSDrawing.h"
#include "export/xls/ExporterXLSWriter.h"

namespace exporter {

class TxlsSheet;

class TxlsDrawingSheetObjects : public TxlsSheetObjects {
public:
    // The store holds the exporter's pictures for this export (none: no pictures are placed).
    TxlsDrawingSheetObjects(const TxlsSheet& sheet, const TxlsPictureStore* store)
        : sheet_(sheet), store_(store) {}
    // A background picture that cannot be read is left out.
    void WriteBackground(TxlsWorkbookWriter& writer) override;
    void WriteHyperlinks(TxlsWorkbookWriter& writer) override;
    void WriteDrawing(TxlsWorkbookWriter& writer) override;
    int DrawingObjectCount() const override;
    // A sheet with charts makes the writer add the sheet references their ranges use.
    bool HasCharts() const override;

private:
    const TxlsSheet& sheet_;
    const TxlsPictureStore* store_;
};

// A picture (its bytes, else its file) as 24-bit bitmap rows: bottom-up, blue-green-red, each row
// padded to 4 bytes. False when it cannot be read or is larger than a BITMAP record describes.
bool ReadBackgroundPixels(const TxlsGraphic& picture, std::uint16_t& width, std::uint16_t& height,
                          std::vector<std::uint8_t>& rows);

class TxlsDrawingWorkbookObjects : public TxlsWorkbookObjects {
public:
    explicit TxlsDrawingWorkbookObjects(const TxlsPictures* pictures) : store_(pictures) {}
    std::vector<std::uint8_t> DrawingGroup(int totalObjects) override;
    const TxlsPictureStore& Store() const { return store_; }

private:
    TxlsPictureStore store_;
};

} // namespace exporter
