#include "browser/lists/WorkbookExport.h"

#include "browser/lists/WindowPages.h"
#include "export/dialog/ExporterDialog.h"
#include "export/xls/ExporterXLS.h"

namespace browser {

namespace {

void SetUpCaptionFormat(exporter::TxlsFormat& format) {
    exporter::SetDefaultXlsCaptionFormat(format);
}

void SetUpHyperlinkFormat(exporter::TxlsFormat& format) {
    format.Font.Color = exporter::clrBlue;
    format.Font.Underline = exporter::fulSingle;
}

void SetUpNoteFormat(exporter::TxlsNoteFormat& format) {
    format.Alignment.Horizontal = exporter::halLeft;
    format.Alignment.Vertical = exporter::valTop;
    format.Font.Name = "Tahoma";
    format.Font.Size = 8;
    format.Font.Style = exporter::xfsBold;
}

// A black "Arial" text style of the given height.
void SetUpRtfStyle(exporter::TrtfStyle& style, int size, bool bold) {
    style.Font.Name = "Arial";
    style.Font.Color = 0x000000;
    style.Font.Size = size;
    style.Font.Bold = bold;
}

} // namespace

void SetUpWorkbookOptions(exporter::TExportXLSOptions& options) {
    options.PageFooter = "Page &P of &N";
    options.SetSheetTitle("Sheet 1");
    SetUpCaptionFormat(options.CaptionFormat);
    SetUpHyperlinkFormat(options.HyperlinkFormat);
    SetUpNoteFormat(options.NoteFormat);
}

void SetUpWorkbookOptions(exporter::TXLSOptions& options) {
    options.PageFooter = "Page &P of &N";
    options.SetSheetTitle("Sheet 1");
    SetUpCaptionFormat(options.CaptionsFormat);
    SetUpHyperlinkFormat(options.HyperlinkFormat);
    SetUpNoteFormat(options.NoteFormat);
}

void SetUpExportDialog(exporter::TExporterDialog& dialog, exporter::TExportListView& list) {
    dialog.ExportSource = exporter::TExportSource::esListView;
    dialog.ListView = &list;

    exporter::TExportRTFOptions& rtf = dialog.RTFOptions;
    SetUpRtfStyle(rtf.CaptionStyle, rtf.CaptionStyle.Font.Size, true);
    rtf.CaptionStyle.Alignment = exporter::TrtfTextAlignment::talCenter;
    SetUpRtfStyle(rtf.DataStyle, rtf.CaptionStyle.Font.Size, false);
    SetUpRtfStyle(rtf.HeaderStyle, rtf.CaptionStyle.Font.Size, false);
    SetUpRtfStyle(rtf.FooterStyle, rtf.CaptionStyle.Font.Size, false);

    dialog.HTMLPageOptions.TextFont.Name = "Arial";
    dialog.HTMLPageOptions.TextFont.Color = 0xFFFFFF;

    dialog.CSVOptions.Comma = ',';

    SetUpWorkbookOptions(dialog.XLSOptions);
}

void SetUpWorkbookExporter(exporter::TExporterXLS& exporter, exporter::TExportListView& list) {
    exporter.ExportSource = exporter::TExportSource::esListView;
    exporter.ListView = &list;
    SetUpWorkbookOptions(exporter.Options);
    exporter.Sheets.Clear();
    exporter.Pictures.Clear();
    exporter.Charts.Clear();
    exporter.Cells.Clear();
    exporter.MergedCells.Clear();
}

bool WorkbookExportRunsOnPage(int page) {
    return page != PageCheck && page != PageLookup;
}

RecordListKind WorkbookListForPage(int page) {
    switch (page) {
    case PageRevDNS:
        return RecordListKind::RevDns;
    case PageDHCP:
        return RecordListKind::Dhcp;
    default:
        return RecordListKind::Dns;
    }
}

void BindWorkbookExport(exporter::TExporterDialog& dialog, exporter::TExporterXLS& exporter,
                        exporter::TExportListView& list) {
    dialog.ListView = &list;
    exporter.ListView = &list;
}

void RunWorkbookExport(exporter::TExporterDialog& dialog, int page) {
    if (!WorkbookExportRunsOnPage(page))
        return;
    dialog.Execute();
}

void AnswerPdfExport(Services& services) {
    services.showMessage(QString::fromLatin1(PdfNotSupportedMessage));
}

} // namespace browser
