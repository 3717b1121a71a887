// Fuzz harness: the export dialog's options file reader on arbitrary files, for a dialog that offers
// every export type.
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterOptionsFile.h"
#include "fuzz/InputFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fuzz::InputFile input("options.cfg");
    static exporter::TExporterDialog dialog;
    input.write(data, size);
    exporter::TExportOptionsFile file(dialog);
    int typeChanges = 0;
    file.OnTypeChange = [&](exporter::TExportFormState&) { ++typeChanges; };
    exporter::TExportFormState state;
    state.AvailableFields = {{"Name", 0}, {"Count", 1}, {"Notes", 2}};
    state.Captions = {{"Name", "Name"}, {"Count", "Count"}, {"Notes", "Notes"}};
    file.LoadExportOptions(input.path(), state);
    return 0;
}
