#pragma once

// Builds the exporter of a run from the dialog's form state: the exporter of the chosen type with the
// type's page, the common settings, the source references of the component, and the captions, alignments
// and widths of the captions grid. The forwarders are the form's to bind.

#include "export/core/Exporter.h"
#include "export/dialog/ExporterFormState.h"

#include <memory>
#include <string>
#include <vector>

namespace exporter {

class TExporterDialog;

class TExportRunBuilder {
public:
    // shell and clipboard go to the file and clipboard exporters (the desktop's when null).
    TExportRunBuilder(const TExporterDialog& dialog, const TExportFormState& state, TExportShell* shell,
                      TExportClipboard* clipboard)
        : dialog_(dialog), state_(state), shell_(shell), clipboard_(clipboard) {}

    std::unique_ptr<TExporter> Build() const;

    // The names of the fields the run exports: the chosen ones in their order, or every available one
    // (BLOB fields only with includeBlobs).
    std::vector<std::string> ExportedFieldNames(bool includeBlobs) const;

private:
    std::unique_ptr<TExporter> CreateExporter(TAllowedExport type) const;
    std::unique_ptr<TExporter> CreateXLSExporter() const;
    void CopyCommonSettings(TExporter& exporter) const;
    void CopyCaptions(TExporter& exporter, TAllowedExport type) const;

    const TExporterDialog& dialog_;
    const TExportFormState& state_;
    TExportShell* shell_;
    TExportClipboard* clipboard_;
};

} // namespace exporter
