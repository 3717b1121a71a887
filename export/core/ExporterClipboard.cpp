#include "export/core/ExporterClipboard.h"

#include "export/core/ExporterASCII.h"

namespace exporter {

TExporterClipboard::TExporterClipboard() : Separator(GetListSeparator()) {}

void TExporterClipboard::SetExportType(TClipboardExportType type) {
    exportType_ = type;
    AutoCalcColWidth = type == TClipboardExportType::etFixed;
}

void TExporterClipboard::BeginExport() {
    TExporterMemory::BeginExport();
    if (Aborted)
        return;
    AutoCalcColWidth = exportType_ == TClipboardExportType::etFixed;
    TExportWriter& w = Writer();
    if (!Title.empty())
        w.WriteLn(Title);
    if (!Header.Text().empty()) {
        for (int i = 0; i < Header.Count(); ++i)
            w.WriteLn(Header[i]);
        w.EmptyLine();
    }
}

std::string TExporterClipboard::Cell(const std::string& text, const TExportColumn& column) const {
    if (exportType_ == TClipboardExportType::etFixed) {
        std::string buffer;
        return TExportWriter::PadLeft(OneLineText(text, buffer), ' ', column.Width);
    }
    if (Separator == '\0')
        return text;
    // A field holding the separator, a quote or a line break is quoted, so that it stays one cell.
    if (text.find_first_of(std::string{Separator, '"', '\r', '\n'}) != std::string::npos)
        return CSVQuoted(text, '"') + Separator;
    return text + Separator;
}

void TExporterClipboard::WriteCaptionRow() {
    std::string line;
    for (int i = 0; i < Columns.Count(); ++i)
        line += Cell(GetColCaption(i), Columns[i]);
    Writer().WriteLn(line);
}

void TExporterClipboard::WriteDataRow() {
    std::string line;
    for (int i = 0; i < ExportRow.Count(); ++i)
        line += Cell(ExportRow[i].GetText(true), Columns[i]);
    Writer().WriteLn(line);
}

void TExporterClipboard::EndExport() {
    TExportWriter& w = Writer();
    if (!Footer.Text().empty()) {
        for (int i = 0; i < Footer.Count(); ++i)
            w.WriteLn(Footer[i]);
        w.EmptyLine();
    }
    TExporterMemory::EndExport();
}

} // namespace exporter
