#include "export/dialog/ExporterRunBuilder.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterClipboard.h"
#include "export/core/ExporterDBF.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "export/core/ExporterXML.h"
#include "export/dialog/ExporterDialog.h"
#include "export/xls/ExporterXLS.h"
#include "platform/rtl/SysUtils.h"

#include <filesystem>

namespace exporter {

namespace {

std::string CellText(const TExportCaptionRow& row, int column) {
    return column >= 0 && column < int(row.size()) ? row[size_t(column)] : std::string();
}

} // namespace

std::unique_ptr<TExporter> TExportRunBuilder::Build() const {
    std::unique_ptr<TExporter> e = CreateExporter(state_.ExportType);
    CopyCommonSettings(*e);
    CopyCaptions(*e, state_.ExportType);
    return e;
}

std::unique_ptr<TExporter> TExportRunBuilder::CreateExporter(TAllowedExport type) const {
    const TExportFormState& s = state_;
    switch (type) {
    case TAllowedExport::aeXLS:
        return CreateXLSExporter();
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF: {
        auto e = std::make_unique<TExporterRTF>();
        e->Options.PageOrientation = s.RTF.PageOrientation;
        e->Options.StripType = s.RTF.StripType;
        e->Options.HeaderStyle.Assign(s.RTF.HeaderStyle);
        e->Options.CaptionStyle.Assign(s.RTF.CaptionStyle);
        e->Options.DataStyle.Assign(s.RTF.DataStyle);
        e->Options.FooterStyle.Assign(s.RTF.FooterStyle);
        e->Options.StripStyles.Assign(s.RTF.StripStyles);
        return e;
    }
    case TAllowedExport::aeHTML: {
        auto e = std::make_unique<TExporterHTML>();
        e->Title = s.HTMLPage.Title;
        e->UsingCSS = s.HTMLPage.UsingCSS;
        e->CSSFileName = s.HTMLPage.CSSFileName;
        e->OverwriteCSSFile = s.HTMLPage.OverwriteCSSFile;
        e->SetMaxRecords(s.HTMLUseMultiFile ? s.HTMLMultiFile.FileRecCount : 0);
        e->GenerateIndex = s.HTMLMultiFile.GenerateIndex;
        e->Navigation.IndexLinkTemplate = s.HTMLMultiFile.IndexLinkTemplate;
        e->Navigation.OnTop = s.HTMLMultiFile.NavigationOnTop;
        e->Navigation.OnBottom = s.HTMLMultiFile.NavigationOnBottom;
        e->Navigation.IndexLinkTitle = s.HTMLMultiFile.IndexLinkTitle;
        e->Navigation.FirstLinkTitle = s.HTMLMultiFile.FirstLinkTitle;
        e->Navigation.PriorLinkTitle = s.HTMLMultiFile.PriorLinkTitle;
        e->Navigation.NextLinkTitle = s.HTMLMultiFile.NextLinkTitle;
        e->Navigation.LastLinkTitle = s.HTMLMultiFile.LastLinkTitle;
        e->HTMLOptions.TextFont.Name = s.HTMLPage.TextFont.Name;
        e->HTMLOptions.TextFont.Color = s.HTMLPage.TextFont.Color;
        e->HTMLOptions.BackgroundFileName = s.HTMLPage.BackgroundFileName;
        e->TableOptions.BackgroundFileName = s.HTMLTable.BackgroundFileName;
        e->HTMLOptions.AdvancedAttributes = s.HTMLPage.AdvancedAttributes;
        e->TableOptions.AdvancedAttributes = s.HTMLTable.AdvancedAttributes;
        e->TableOptions.Border = s.HTMLTable.BorderWidth;
        e->TableOptions.CellPadding = s.HTMLTable.CellPadding;
        e->TableOptions.CellSpacing = s.HTMLTable.CellSpacing;
        e->HTMLOptions.BackgroundColor = s.HTMLPage.BackgroundColor;
        e->HTMLOptions.LinkColor = s.HTMLPage.LinkColor;
        e->HTMLOptions.VLinkColor = s.HTMLPage.VLinkColor;
        e->HTMLOptions.ALinkColor = s.HTMLPage.ALinkColor;
        e->TableOptions.HeadersRowBgColor = s.HTMLTable.HeadersRowBgColor;
        e->TableOptions.HeadersRowFontColor = s.HTMLTable.HeadersRowFontColor;
        e->TableOptions.TableBgColor = s.HTMLTable.TableBgColor;
        e->TableOptions.TableFontColor = s.HTMLTable.TableFontColor;
        e->TableOptions.OddRowBgColor = s.HTMLTable.OddRowBgColor;
        e->TableOptions.BorderColor = s.HTMLTable.BorderColor;
        return e;
    }
    case TAllowedExport::aeXML: {
        auto e = std::make_unique<TExporterXML>();
        e->Options.StandAlone = s.XML.Standalone;
        e->Options.Encoding = s.XML.Encoding;
        return e;
    }
    case TAllowedExport::aeDBF:
        return std::make_unique<TExporterDBF>();
    case TAllowedExport::aeLaTeX:
        return std::make_unique<TExporterLaTeX>();
    case TAllowedExport::aeClipboard: {
        auto e = std::make_unique<TExporterClipboard>();
        e->Clipboard = clipboard_;
        return e;
    }
    case TAllowedExport::aePDF: {
        auto e = std::make_unique<TExporterPDF>();
        e->Options.HeaderFont.Assign(s.PDF.HeaderFont);
        e->Options.CaptionFont.Assign(s.PDF.CaptionFont);
        e->Options.DataFont.Assign(s.PDF.DataFont);
        e->Options.FooterFont.Assign(s.PDF.FooterFont);
        // Format, size (kept for a user format), orientation and margins.
        e->Options.PageOptions.Assign(s.PDF.PageOptions);
        // The page edits these as well; an export without them would ignore the user's choice.
        e->Options.RowSpacing = s.PDF.RowSpacing;
        e->Options.ColSpacing = s.PDF.ColSpacing;
        e->Options.GridLineWidth = s.PDF.GridLineWidth;
        return e;
    }
    case TAllowedExport::aeTXT:
    case TAllowedExport::aeCSV:
    case TAllowedExport::aeDIFF:
    case TAllowedExport::aeSylk: {
        auto e = std::make_unique<TExporterASCII>();
        if (type == TAllowedExport::aeTXT) {
            e->SetExportType(TExportASCIIType::etTXT);
            e->AutoCalcColWidth = s.TXT.AutoCalcColWidth;
            e->TXTSpacing = s.TXT.ColSpacing;
        } else if (type == TAllowedExport::aeCSV) {
            e->SetExportType(TExportASCIIType::etCSV);
            e->CSVQuoteStrings = s.CSV.QuoteStrings;
            e->CSVComma = s.CSV.Comma;
            e->CSVQuote = s.CSV.Quote;
        } else {
            e->SetExportType(type == TAllowedExport::aeDIFF ? TExportASCIIType::etDIF
                                                            : TExportASCIIType::etSYLK);
        }
        return e;
    }
    case TAllowedExport::aeSQL: {
        auto e = std::make_unique<TExporterSQL>();
        e->TableName = s.SQL.TableName;
        if (e->TableName.empty())
            e->TableName = rtl::UpperCase(std::filesystem::path(s.FileName).stem().string());
        e->CreateTable = s.SQL.CreateTable;
        e->CommitRecCount = s.SQL.CommitRecCount;
        e->CommitAfterScript = s.SQL.CommitAfterScript;
        e->CommitStatement = s.SQL.CommitStatement;
        if (!s.SQL.StatementTerm.empty())
            e->StatementTerm = s.SQL.StatementTerm[0];
        return e;
    }
    }
    throw EExportError("Unknown export type");
}

std::vector<std::string> TExportRunBuilder::ExportedFieldNames(bool includeBlobs) const {
    const TExportFormState& s = state_;
    std::vector<std::string> names;
    if (!s.ExportedFields.empty()) {
        for (const auto& item : s.ExportedFields)
            names.push_back(item.Caption);
        return names;
    }
    const TExportColumns& columns = dialog_.Columns;
    for (const auto& item : s.AvailableFields) {
        const bool blob =
            item.ColumnIndex >= 0 && item.ColumnIndex < columns.Count() && columns[item.ColumnIndex].IsBlob;
        if (includeBlobs || !blob)
            names.push_back(item.Caption);
    }
    return names;
}

std::unique_ptr<TExporter> TExportRunBuilder::CreateXLSExporter() const {
    const TExportXLSOptions& x = state_.XLS;
    auto e = std::make_unique<TExporterXLS>();
    e->Options.PageHeader = x.PageHeader;
    e->Options.PageFooter = x.PageFooter;
    e->Options.SetSheetTitle(x.SheetTitle());
    e->AutoCalcColWidth = x.AutoCalcColWidth;
    if (!x.PageBackground.empty())
        e->Background.SetFileName(x.PageBackground);
    e->Options.HeaderFormat.Assign(x.HeaderFormat);
    e->Options.CaptionsFormat.Assign(x.CaptionFormat);
    e->Options.AggregateFormat.Assign(x.AggregateFormat);
    e->Options.FooterFormat.Assign(x.FooterFormat);
    e->Options.HyperlinkFormat.Assign(x.HyperlinkFormat);
    e->Options.DataFormat.Assign(x.DataFormat);
    e->Options.NoteFormat.Assign(x.NoteFormat);
    // The field formats of the fields the run exports (every available field when none is chosen), as the
    // workbook page shows them: a field without a format of its own has one that starts from DataFormat.
    for (const std::string& name : ExportedFieldNames(true))
        XLSFieldFormatOf(x, name, e->FieldFormats.Add());
    AssignFormats(e->StripStyles, x.StripStyles);
    e->StripType = x.StripType;
    e->Hyperlinks.Assign(x.Hyperlinks);
    e->Notes.Assign(x.Notes);
    e->Charts.Assign(x.Charts);
    e->Cells.Assign(x.Cells);
    e->MergedCells.Assign(x.MergedCells);
    return e;
}

void TExportRunBuilder::CopyCommonSettings(TExporter& e) const {
    const TExportFormState& s = state_;
    const TExporterDialog& d = dialog_;
    e.AutoCalcStrType = d.AutoCalcStrType;
    e.GoToFirstRecord = s.GoToFirstRecord;
    e.CurrentRecordOnly = s.CurrentRecordOnly;
    e.ExportEmpty = s.ExportEmpty;
    e.ExportRecCount = s.ExportRecCount;
    e.SkipRecCount = s.SkipRecCount;
    e.Header = s.Header;
    e.Footer = s.Footer;

    e.ExportedFields.Clear();
    for (const std::string& name : ExportedFieldNames(false))
        e.ExportedFields.Add(name);

    e.Formats.Assign(s.Formats);
    e.UserFormats.Clear();
    for (const auto& item : s.UserFormats)
        e.UserFormats.Add(item.FieldName + "=" + item.Format);

    e.ExportSource = d.ExportSource;
    e.DataSet = d.DataSet;
    e.CustomSource = d.CustomSource;
    e.ListView = d.ListView;
    e.DBGrid = d.DBGrid;
    e.StringGrid = d.StringGrid;

    if (auto* file = dynamic_cast<TExporterText*>(&e)) {
        file->FileName = s.FileName;
        file->ShowFile = s.ShowFile;
        file->PrintFile = s.PrintFile;
        file->Shell = shell_;
    }
    if (dynamic_cast<TExporterFormatText*>(&e)) {
        e.AllowCaptions = s.AllowCaptions;
        e.CaptionRow = s.CaptionRow;
    }
}

void TExportRunBuilder::CopyCaptions(TExporter& e, TAllowedExport type) const {
    const TExportFormState& s = state_;
    // The ASCII, RTF and PDF exporters take align and width, the HTML exporter the align, the workbook
    // the width (its grid's column 2).
    bool alignAndWidth = false;
    switch (type) {
    case TAllowedExport::aeTXT:
    case TAllowedExport::aeCSV:
    case TAllowedExport::aeDIFF:
    case TAllowedExport::aeSylk:
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
    case TAllowedExport::aePDF:
        alignAndWidth = true;
        break;
    default:
        break;
    }
    const bool alignOnly = type == TAllowedExport::aeHTML;
    const bool widthOnly = type == TAllowedExport::aeXLS;

    e.Captions.Clear();
    for (const auto& row : s.Captions) {
        const std::string field = CellText(row, 0);
        const std::string caption = CellText(row, 1);
        if (caption != field)
            e.Captions.SetValue(field, caption);
        if (alignAndWidth || alignOnly) {
            const std::string alignText = CellText(row, 2);
            int position = -1;
            for (size_t i = 0; i < s.AlignChoices.size(); ++i)
                if (s.AlignChoices[i] == alignText) {
                    position = int(i);
                    break;
                }
            e.ColumnsAlign.SetValue(field, position == 1 ? "Center" : position == 2 ? "Right" : "Left");
        }
        if (alignAndWidth)
            e.ColumnsWidth.SetValue(field, CellText(row, 3));
        if (widthOnly)
            e.ColumnsWidth.SetValue(field, CellText(row, 2));
    }
}

} // namespace exporter
