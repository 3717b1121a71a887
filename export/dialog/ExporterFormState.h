#pragma once

// The state of the export dialog's form: the mirror of every setting the user edits. The form keeps one
// of these as its model and shows it in its controls; the run reads it when the export starts, and the
// options file saves and loads it.

#include "export/core/ExporterCommon.h"
#include "export/dialog/ExporterDialogTypes.h"
#include "export/dialog/ExporterOptions.h"
#include "platform/rtl/StringList.h"

#include <string>
#include <vector>

namespace exporter {

// An item of the available or exported field list: the column name and its index in the dialog's columns.
struct TExportFieldItem {
    std::string Caption;
    int ColumnIndex = -1;
};

// A row of the user-format list: field name = format.
struct TExportUserFormatItem {
    std::string FieldName;
    std::string Format;
};

// A row of the captions grid below its header row: cell 0 the field name, 1 the caption, then the align
// and width cells as the type's layout has them (CaptionAlignColumn, CaptionWidthColumn).
using TExportCaptionRow = std::vector<std::string>;

struct TExportFormState {
    TExportFormState() = default;
    TExportFormState(const TExportFormState&) = delete;
    TExportFormState& operator=(const TExportFormState&) = delete;

    // General settings.
    TAllowedExport ExportType = TAllowedExport::aeXLS;
    TAllowedExports OfferedTypes = AllAllowedExports(); // the types of the type choice
    std::string FileName;
    bool ShowFile = true;
    bool PrintFile = false;
    std::string OptionsFileName;
    bool GoToFirstRecord = true;
    bool CurrentRecordOnly = false;
    bool ExportEmpty = true;
    int ExportRecCount = 0;
    int SkipRecCount = 0;
    bool AllowCaptions = true;
    int CaptionRow = -1;

    // The general pages.
    TExportFormats Formats;
    std::vector<TExportUserFormatItem> UserFormats;
    std::vector<TExportFieldItem> AvailableFields;
    std::vector<TExportFieldItem> ExportedFields;
    rtl::TStringList Header;
    rtl::TStringList Footer;
    std::vector<TExportCaptionRow> Captions;
    // The texts of the align choices in their order: left, center, right.
    std::vector<std::string> AlignChoices{"Left", "Center", "Right"};

    // Which optional pages show for the current type (set by the type change).
    bool FormatsPageVisible = true;
    bool HeaderFooterPageVisible = true;
    bool CaptionsPageVisible = true;

    // The type pages, each on its own copy of the option object.
    TExportXLSOptions XLS;
    TExportRTFOptions RTF;
    TExportHTMLPageOptions HTMLPage;
    TExportHTMLTableOptions HTMLTable;
    TExportHTMLMultiFileOptions HTMLMultiFile;
    bool HTMLUseMultiFile = false;
    TExportXMLOptions XML;
    TExportSQLOptions SQL;
    TExportTXTOptions TXT;
    TExportCSVOptions CSV;
    TExportPDFOptions PDF;
};

// The names of the workbook page's field list: the exported fields, or every available one when none is.
inline std::vector<std::string> XLSFieldListNames(const TExportFormState& s) {
    std::vector<std::string> names;
    for (const TExportFieldItem& field : s.ExportedFields.empty() ? s.AvailableFields : s.ExportedFields)
        names.push_back(field.Caption);
    return names;
}

// The format of a field as the workbook page shows it: the field's own format, or, when it has none, one
// that starts from DataFormat.
inline void XLSFieldFormatOf(const TExportXLSOptions& x, const std::string& name, TxlsFieldFormat& format) {
    if (const int index = x.FieldFormats.IndexOf(name); index >= 0)
        format.Assign(x.FieldFormats.Items(std::size_t(index)));
    else
        format.Assign(x.DataFormat);
    format.FieldName = name;
}

} // namespace exporter
