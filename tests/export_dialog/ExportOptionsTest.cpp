#include "export/core/ExporterASCII.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterOptions.h"

#include <gtest/gtest.h>

namespace exporter {
namespace {

TEST(ExportOptions, DefaultsAsPublished) {
    TExportRTFOptions rtf;
    EXPECT_TRUE(rtf.CaptionStyle.Font.Bold);
    EXPECT_EQ(rtf.CaptionStyle.Alignment, TrtfTextAlignment::talCenter);
    EXPECT_FALSE(rtf.DataStyle.Font.Bold);
    EXPECT_EQ(rtf.HeaderStyle.Font.Name, "Arial");
    EXPECT_EQ(rtf.HeaderStyle.Font.Size, 10);
    EXPECT_EQ(rtf.StripType, TrtfStripType::stNone);

    TExportHTMLTableOptions table;
    EXPECT_EQ(table.HeadersRowBgColor, 0x0000FFu);
    EXPECT_EQ(table.TableBgColor, 0xEC7A00u);
    EXPECT_EQ(table.OddRowBgColor, 0xCE6B00u);
    EXPECT_EQ(table.CellPadding, 4);

    TExportHTMLPageOptions page;
    EXPECT_EQ(page.TextFont.Name, "Arial");
    EXPECT_EQ(page.TextFont.Color, 0xFFFFFFu);
    EXPECT_EQ(page.BackgroundColor, 0x993333u);
    EXPECT_EQ(page.DefaultOptions, std::set<TDefaultOption>{TDefaultOption::doFontSize});
    EXPECT_TRUE(page.OverwriteCSSFile);

    TExportHTMLMultiFileOptions multi;
    EXPECT_EQ(multi.IndexLinkTitle, "Index");
    EXPECT_EQ(multi.LastLinkTitle, "Last");

    TExportSQLOptions sql;
    EXPECT_EQ(sql.CommitStatement, "COMMIT WORK;");
    EXPECT_EQ(sql.StatementTerm, ";");

    TExportCSVOptions csv;
    EXPECT_EQ(csv.Comma, GetListSeparator());
    EXPECT_EQ(csv.Quote, '"');

    TExportPDFOptions pdf;
    EXPECT_EQ(pdf.HeaderFont.ResourceName, "HeaderFont");
    EXPECT_EQ(pdf.FooterFont.ResourceName, "FooterFont");
    EXPECT_DOUBLE_EQ(pdf.ColSpacing, 3.0);

    TExportXLSOptions xls;
    EXPECT_EQ(xls.SheetTitle(), "Sheet 1");
    EXPECT_EQ(xls.PageFooter, "Page &P of &N");
    EXPECT_EQ(xls.CaptionFormat.Font.Style, unsigned(xfsBold));
    EXPECT_EQ(xls.HyperlinkFormat.Font.Color, clrBlue);
    EXPECT_EQ(xls.HyperlinkFormat.Font.Underline, fulSingle);
    xls.SetSheetTitle("");
    EXPECT_EQ(xls.SheetTitle(), "Sheet1");
}

TEST(ExportOptions, AssignCopiesEveryValueAndKeepsTheOwner) {
    TExporterDialog a, b;
    a.RTFOptions.StripStyles.Add().Font.Name = "Courier";
    a.RTFOptions.PageOrientation = TExportPageOrientation::poLandscape;
    a.RTFOptions.CaptionAligns.Add("Name=Right");
    a.HTMLPageOptions.Title = "T";
    a.HTMLPageOptions.AdvancedAttributes.Add("x=1");
    a.HTMLTableOptions.BorderColor = 0x123456;
    a.SQLOptions.TableName = "ORDERS";
    a.CSVOptions.Comma = ';';
    a.PDFOptions.PageOptions.SetFormat(TExportPageFormat::pfA4);
    a.PDFOptions.DataFont.FontSize = 14;
    a.XLSOptions.SetSheetTitle("Data");
    a.XLSOptions.FieldFormats.Add().FieldName = "Name";
    a.XLSOptions.StripStyles.Add().Font.Size = 20;
    a.XLSOptions.StripType = ssRow;

    b.RTFOptions.Assign(a.RTFOptions);
    b.HTMLPageOptions.Assign(a.HTMLPageOptions);
    b.HTMLTableOptions.Assign(a.HTMLTableOptions);
    b.SQLOptions.Assign(a.SQLOptions);
    b.CSVOptions.Assign(a.CSVOptions);
    b.PDFOptions.Assign(a.PDFOptions);
    b.XLSOptions.Assign(a.XLSOptions);

    EXPECT_EQ(b.RTFOptions.GetOwner(), &b);
    ASSERT_EQ(b.RTFOptions.StripStyles.Count(), 1);
    EXPECT_EQ(b.RTFOptions.StripStyles[0].Font.Name, "Courier");
    EXPECT_EQ(b.RTFOptions.CaptionAligns.Values("Name"), "Right");
    EXPECT_EQ(b.RTFOptions.PageOrientation, TExportPageOrientation::poLandscape);
    EXPECT_EQ(b.HTMLPageOptions.Title, "T");
    EXPECT_EQ(b.HTMLPageOptions.AdvancedAttributes.Count(), 1);
    EXPECT_EQ(b.HTMLTableOptions.BorderColor, 0x123456u);
    EXPECT_EQ(b.SQLOptions.TableName, "ORDERS");
    EXPECT_EQ(b.CSVOptions.Comma, ';');
    EXPECT_EQ(b.PDFOptions.PageOptions.Format(), TExportPageFormat::pfA4);
    EXPECT_EQ(b.PDFOptions.PageOptions.WidthPoints(), a.PDFOptions.PageOptions.WidthPoints());
    EXPECT_EQ(b.PDFOptions.DataFont.FontSize, 14);
    EXPECT_EQ(b.XLSOptions.SheetTitle(), "Data");
    EXPECT_EQ(b.XLSOptions.StripType, ssRow);
    ASSERT_EQ(b.XLSOptions.FieldFormats.Count(), 1u);
    EXPECT_EQ(b.XLSOptions.FieldFormats.Items(0).FieldName, "Name");
    ASSERT_EQ(b.XLSOptions.StripStyles.Count(), 1u);
    EXPECT_EQ(b.XLSOptions.StripStyles.Items(0).Font.Size, 20);

    // The copies are the target's own: changing the source later leaves them alone, and a second
    // Assign replaces rather than appends.
    a.XLSOptions.StripStyles.Items(0).Font.Size = 8;
    a.RTFOptions.StripStyles[0].Font.Name = "Times";
    EXPECT_EQ(b.XLSOptions.StripStyles.Items(0).Font.Size, 20);
    EXPECT_EQ(b.RTFOptions.StripStyles[0].Font.Name, "Courier");
    b.XLSOptions.Assign(a.XLSOptions);
    EXPECT_EQ(b.XLSOptions.StripStyles.Count(), 1u);
    b.XLSOptions.Assign(b.XLSOptions);
    EXPECT_EQ(b.XLSOptions.FieldFormats.Count(), 1u);
}

TEST(ExportDialogTypes, ExtensionsAndFileNames) {
    EXPECT_EQ(ExportTypeExtension(TAllowedExport::aeSylk), "slk");
    EXPECT_EQ(ExportTypeExtension(TAllowedExport::aeClipboard), "");
    EXPECT_EQ(ExportTypeFilterId(TAllowedExport::aeDBF), 34013);
    EXPECT_EQ(ExportTypeNameId(TAllowedExport::aeSQL), 34065);
    EXPECT_EQ(ReplaceFileExtension("/x/data.xls", "csv"), "/x/data.csv");
    EXPECT_EQ(ReplaceFileExtension("/x/data", "xls"), "/x/data.xls");
    EXPECT_EQ(ReplaceFileExtension("/x.d/data", "xls"), "/x.d/data.xls");
    EXPECT_EQ(ReplaceFileExtension("a.b.txt", "sql"), "a.b.sql");
}

} // namespace
} // namespace exporter
