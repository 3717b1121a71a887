#include "export/dialog/ExporterOptions.h"

#include "export/core/ExporterASCII.h"

namespace exporter {

TExportRTFOptions::TExportRTFOptions(TExporterDialog* owner) : TExportOptions(owner) {
    CaptionStyle.Font.Bold = true;
    CaptionStyle.Alignment = TrtfTextAlignment::talCenter;
}

void TExportRTFOptions::Assign(const TExportRTFOptions& source) {
    if (&source == this)
        return;
    CaptionAligns = source.CaptionAligns;
    CaptionStyle.Assign(source.CaptionStyle);
    DataStyle.Assign(source.DataStyle);
    FooterStyle.Assign(source.FooterStyle);
    HeaderStyle.Assign(source.HeaderStyle);
    PageOrientation = source.PageOrientation;
    StripStyles.Assign(source.StripStyles);
    StripType = source.StripType;
}

void TExportXMLOptions::Assign(const TExportXMLOptions& source) {
    Standalone = source.Standalone;
    Encoding = source.Encoding;
}

void TExportSQLOptions::Assign(const TExportSQLOptions& source) {
    TableName = source.TableName;
    CreateTable = source.CreateTable;
    CommitRecCount = source.CommitRecCount;
    CommitAfterScript = source.CommitAfterScript;
    CommitStatement = source.CommitStatement;
    StatementTerm = source.StatementTerm;
}

void TExportHTMLTableOptions::Assign(const TExportHTMLTableOptions& source) {
    if (&source == this)
        return;
    BorderWidth = source.BorderWidth;
    CellPadding = source.CellPadding;
    CellSpacing = source.CellSpacing;
    AdvancedAttributes = source.AdvancedAttributes;
    HeadersRowBgColor = source.HeadersRowBgColor;
    HeadersRowFontColor = source.HeadersRowFontColor;
    TableBgColor = source.TableBgColor;
    TableFontColor = source.TableFontColor;
    OddRowBgColor = source.OddRowBgColor;
    BorderColor = source.BorderColor;
    BackgroundFileName = source.BackgroundFileName;
}

TExportHTMLPageOptions::TExportHTMLPageOptions(TExporterDialog* owner) : TExportOptions(owner) {
    TextFont.Name = "Arial";
    TextFont.Color = 0xFFFFFF;
}

void TExportHTMLPageOptions::Assign(const TExportHTMLPageOptions& source) {
    if (&source == this)
        return;
    Title = source.Title;
    BackgroundColor = source.BackgroundColor;
    TextFont = source.TextFont;
    DefaultOptions = source.DefaultOptions;
    LinkColor = source.LinkColor;
    VLinkColor = source.VLinkColor;
    ALinkColor = source.ALinkColor;
    BackgroundFileName = source.BackgroundFileName;
    AdvancedAttributes = source.AdvancedAttributes;
    UsingCSS = source.UsingCSS;
    CSSFileName = source.CSSFileName;
    OverwriteCSSFile = source.OverwriteCSSFile;
    BoolAsCheckBox = source.BoolAsCheckBox;
}

void TExportHTMLMultiFileOptions::Assign(const TExportHTMLMultiFileOptions& source) {
    FileRecCount = source.FileRecCount;
    GenerateIndex = source.GenerateIndex;
    IndexLinkTemplate = source.IndexLinkTemplate;
    NavigationOnTop = source.NavigationOnTop;
    NavigationOnBottom = source.NavigationOnBottom;
    IndexLinkTitle = source.IndexLinkTitle;
    FirstLinkTitle = source.FirstLinkTitle;
    PriorLinkTitle = source.PriorLinkTitle;
    NextLinkTitle = source.NextLinkTitle;
    LastLinkTitle = source.LastLinkTitle;
}

void TExportTXTOptions::Assign(const TExportTXTOptions& source) {
    AutoCalcColWidth = source.AutoCalcColWidth;
    ColSpacing = source.ColSpacing;
}

TExportCSVOptions::TExportCSVOptions(TExporterDialog* owner)
    : TExportOptions(owner), Comma(GetListSeparator()) {}

void TExportCSVOptions::Assign(const TExportCSVOptions& source) {
    Comma = source.Comma;
    Quote = source.Quote;
    QuoteStrings = source.QuoteStrings;
}

void TExportPDFOptions::Assign(const TExportPDFOptions& source) {
    if (&source == this)
        return;
    PageOptions.Assign(source.PageOptions);
    HeaderFont.Assign(source.HeaderFont);
    CaptionFont.Assign(source.CaptionFont);
    DataFont.Assign(source.DataFont);
    FooterFont.Assign(source.FooterFont);
    RowSpacing = source.RowSpacing;
    ColSpacing = source.ColSpacing;
    GridLineWidth = source.GridLineWidth;
}

TExportXLSOptions::TExportXLSOptions(TExporterDialog* owner) : TExportOptions(owner) {
    SetDefaultXlsCaptionFormat(CaptionFormat);
    HyperlinkFormat.Font.Color = clrBlue;
    HyperlinkFormat.Font.Underline = fulSingle;
}

void AssignFieldFormats(TxlsFieldFormats& target, const TxlsFieldFormats& source) {
    if (&target == &source)
        return;
    target.Clear();
    for (std::size_t i = 0; i < source.Count(); ++i)
        target.Add().Assign(source.Items(i));
}

void AssignFormats(TxlsFormats& target, const TxlsFormats& source) {
    if (&target == &source)
        return;
    target.Clear();
    for (std::size_t i = 0; i < source.Count(); ++i)
        target.Add().Assign(source.Items(i));
}

void TExportXLSOptions::Assign(const TExportXLSOptions& source) {
    if (&source == this)
        return;
    AutoCalcColWidth = source.AutoCalcColWidth;
    PageHeader = source.PageHeader;
    PageFooter = source.PageFooter;
    sheetTitle_ = source.sheetTitle_;
    PageBackground = source.PageBackground;
    HeaderFormat.Assign(source.HeaderFormat);
    CaptionFormat.Assign(source.CaptionFormat);
    DataFormat.Assign(source.DataFormat);
    AggregateFormat.Assign(source.AggregateFormat);
    FooterFormat.Assign(source.FooterFormat);
    HyperlinkFormat.Assign(source.HyperlinkFormat);
    NoteFormat.Assign(source.NoteFormat);
    AssignFieldFormats(FieldFormats, source.FieldFormats);
    AssignFormats(StripStyles, source.StripStyles);
    StripType = source.StripType;
    Hyperlinks.Assign(source.Hyperlinks);
    Notes.Assign(source.Notes);
    Charts.Assign(source.Charts);
    Pictures.Assign(source.Pictures);
    Images.Assign(source.Images);
    Cells.Assign(source.Cells);
    MergedCells.Assign(source.MergedCells);
}

} // namespace exporter
