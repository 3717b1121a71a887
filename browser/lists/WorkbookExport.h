#pragma once

// The workbook export of the record lists: the export dialog component and the window's own workbook
// exporter, both bound to the list of the page the export runs on, and the commands of the "Export"
// menu that use them.

#include "browser/lists/Services.h"
#include "browser/records/RecordRow.h"

namespace exporter {
class TExportListView;
class TExporterDialog;
class TExporterXLS;
class TExportXLSOptions;
class TXLSOptions;
} // namespace exporter

namespace browser {

// The answer of the "PDF-all" and "PDF-selection" commands.
inline constexpr const char* PdfNotSupportedMessage = "Sorry not supported yet";

// Binds the export dialog to the list and gives it the window's stored settings: RTF captions bold,
// centred, black "Arial", RTF data, header and footer black "Arial" of the captions' height; the HTML
// page text white "Arial"; CSV separator ","; the workbook options of SetUpWorkbookOptions.
void SetUpExportDialog(exporter::TExporterDialog& dialog, exporter::TExportListView& list);

// Binds the workbook exporter to the list and gives it the window's stored settings: the workbook
// options of SetUpWorkbookOptions, no sheets, pictures, charts, cells or merged cells.
void SetUpWorkbookExporter(exporter::TExporterXLS& exporter, exporter::TExportListView& list);

// The workbook options both components keep: page footer "Page &P of &N", sheet title "Sheet 1", bold
// captions, blue single-underlined hyperlinks, notes left and top aligned in bold "Tahoma" 8.
void SetUpWorkbookOptions(exporter::TExportXLSOptions& options);
void SetUpWorkbookOptions(exporter::TXLSOptions& options);

// Whether the workbook export runs while the page of that index is shown: on every page but "Check"
// (6) and "DNS-Lookup" (7).
bool WorkbookExportRunsOnPage(int page);

// The list the workbook export of a page works on: the page's own record list on "DNS" (0),
// "REV-DNS" (1) and "DHCP" (2); the "DNS" list on the object pages, which have no record list.
RecordListKind WorkbookListForPage(int page);

// Binds both components to a list.
void BindWorkbookExport(exporter::TExporterDialog& dialog, exporter::TExporterXLS& exporter,
                        exporter::TExportListView& list);

// "XLS-all" and "XLS-Selection": on a page where it runs, shows the export dialog on the list it is
// bound to; the user chooses type, file and options there and the dialog performs the export. Errors
// of the dialog or its export propagate.
void RunWorkbookExport(exporter::TExporterDialog& dialog, int page);

// "PDF-all" and "PDF-selection": only the message; nothing is written.
void AnswerPdfExport(Services& services);

} // namespace browser
