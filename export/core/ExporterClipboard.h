#pragma once

// Separated or fixed-width text put on the clipboard.

#include "export/core/Exporter.h"

namespace exporter {

enum class TClipboardExportType { etSeparated, etFixed };

class TExporterClipboard : public TExporterMemory {
public:
    TExporterClipboard();

    TClipboardExportType ExportType() const { return exportType_; }
    // Also sets AutoCalcColWidth to (type = etFixed).
    void SetExportType(TClipboardExportType type);

    char Separator;
    int Spacing = 2;                             // kept for the options; the output does not use it
    std::string ClipboardViewer = "Clipbrd.exe"; // kept for the options; the output does not use it

protected:
    void BeginExport() override;
    void WriteCaptionRow() override;
    void WriteDataRow() override;
    void EndExport() override;

    bool PublishesFormats() const override { return true; }
    bool PublishesCaptions() const override { return true; }
    bool PublishesOnFetchedRecord() const override { return true; }

private:
    std::string Cell(const std::string& text, const TExportColumn& column) const;

    TClipboardExportType exportType_ = TClipboardExportType::etSeparated;
};

} // namespace exporter
