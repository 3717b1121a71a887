// The PDF page's logic (page size, units, orientation, margins, spacings, fonts) and the XML, SQL, TXT,
// CSV and PDF pages on the window.

#include "DialogTestSupport.h"

#include "export/core/ExporterPDF.h"
#include "export/dialog/ExporterDialogFormPDF.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace exporter {
namespace {

class PDFPageModel : public ::testing::Test {
protected:
    TExportPDFOptions defaults;
    TExportPDFOptions options;
    TExportPDFPageModel model{options, defaults};
};

TEST_F(PDFPageModel, FormatsSizesAndTheUserFormat) {
    model.SetPageFormat(TExportPageFormat::pfLetter);
    model.SetPageFormat(TExportPageFormat::pfA4);
    EXPECT_EQ(model.WidthText(), "8.27");
    EXPECT_EQ(model.HeightText(), "11.69");
    EXPECT_EQ(model.Page().WidthPoints(), 595);
    EXPECT_EQ(model.Page().HeightPoints(), 841);

    // The same width typed again keeps the format; another one makes it a user format.
    model.SetWidthText("8.27");
    EXPECT_EQ(model.Page().Format(), TExportPageFormat::pfA4);
    model.SetWidthText("8.5");
    EXPECT_EQ(model.Page().Format(), TExportPageFormat::pfUser);
    EXPECT_EQ(model.Page().WidthPoints(), 612);
    // Text that is not a number keeps the value.
    model.SetHeightText("tall");
    EXPECT_EQ(model.Page().HeightPoints(), 841);
}

TEST_F(PDFPageModel, UnitsShowAndReadBackTheMargins) {
    EXPECT_EQ(model.Page().MarginLeftPoints(), 84);
    model.SetUnits(TExportUnits::unMillimeter);
    EXPECT_EQ(model.MarginText(TPDFMargin::Left), "30");
    EXPECT_EQ(model.Page().MarginLeftPoints(), 85);
    // Back in inches the edit shows 85 points as 1.18, and reading that back stores 84 points again.
    model.SetUnits(TExportUnits::unInch);
    EXPECT_EQ(model.Page().MarginLeftPoints(), 84);
    EXPECT_EQ(model.MarginText(TPDFMargin::Left), "1.17");
    model.SetUnits(TExportUnits::unDot);
    EXPECT_EQ(model.MarginText(TPDFMargin::Left), "84");

    model.SetMarginText(TPDFMargin::Top, "100");
    EXPECT_EQ(model.Page().MarginTopPoints(), 100);
    model.SetMarginText(TPDFMargin::Top, "x");
    EXPECT_EQ(model.Page().MarginTopPoints(), 100);
}

TEST_F(PDFPageModel, LandscapeThenPortraitRestoresThePage) {
    TExportPDFPageOptions before = model.Page();
    model.SetOrientation(TExportPageOrientation::poLandscape);
    EXPECT_EQ(model.Page().WidthPoints(), before.HeightPoints());
    EXPECT_EQ(model.Page().MarginLeftPoints(), before.MarginBottomPoints());
    EXPECT_EQ(model.Page().MarginTopPoints(), before.MarginLeftPoints());
    model.SetOrientation(TExportPageOrientation::poPortrait);
    EXPECT_EQ(model.Page().MediaBox(), before.MediaBox());
    EXPECT_EQ(model.Page().TrimBox(), before.TrimBox());
}

TEST_F(PDFPageModel, SpacingsAndFontsFallBackToDefaults) {
    defaults.ColSpacing = 4.0;
    defaults.GridLineWidth = 2;
    model.SetColSpacingText("2.5");
    EXPECT_DOUBLE_EQ(options.ColSpacing, 2.5);
    model.SetColSpacingText("wide");
    EXPECT_DOUBLE_EQ(options.ColSpacing, 4.0);
    model.SetGridLineWidthText("x");
    EXPECT_EQ(options.GridLineWidth, 2);
    EXPECT_EQ(TExportPDFPageModel::SpacingText(1.0), "1.0");

    model.SetFontSizeText(2, "14");
    EXPECT_EQ(options.DataFont.FontSize, 14);
    model.SetFontSizeText(2, "big");
    EXPECT_EQ(options.DataFont.FontSize, 10);
    EXPECT_EQ(&model.Font(0), &options.HeaderFont);
    EXPECT_EQ(&model.Font(3), &options.FooterFont);
}

TEST(PDFPageTexts, ItemsAndTheSample) {
    EXPECT_EQ(PDFPageFormatItems().size(), 9u);
    EXPECT_EQ(PDFPageFormatItems()[3], "A4");
    EXPECT_EQ(PDFPageUnitsItems(), (std::vector<std::string>{"Inches", "Millimeters", "Dots"}));
    EXPECT_EQ(PDFPageOrientationItems(), (std::vector<std::string>{"Portrait", "Landscape"}));
    EXPECT_EQ(PDFFontNameItems().size(), 14u);
    EXPECT_EQ(PDFFontItems()[0], "Header Font");

    TPDFFont font;
    font.FontSize = 12;
    font.FontColor = 0x0000FF;
    TPDFSampleFont times = PDFSampleFont("Times Italic,", font);
    EXPECT_EQ(times.Face, "Times New Roman");
    EXPECT_TRUE(times.Italic);
    EXPECT_FALSE(times.Bold);
    EXPECT_EQ(times.Size, 12);
    EXPECT_EQ(times.Color, 0x0000FFu);
    TPDFSampleFont courier = PDFSampleFont("Courier Bold Oblique", font);
    EXPECT_EQ(courier.Face, "Courier New");
    EXPECT_TRUE(courier.Bold && courier.Italic);
    EXPECT_EQ(PDFSampleFont("Zapf Dingbats", font).Face, "Arial");
    EXPECT_EQ(PDFSampleFont("Symbol", font).Face, "Symbol");
}

// --- the pages on the window ---

class NoDialogs : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool OpenFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor& color) override {
        color = QColor(0x11, 0x22, 0x33);
        return true;
    }
    bool Question(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString& text) override { errors.push_back(text.toStdString()); }
    void ShowMessage(QWidget*, const QString&) override {}
    std::vector<std::string> errors;
};

class TypePages : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        test::FillDataSet(ds, 2);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }
    template <typename T> T* Find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Type(const char* name, const QString& text, bool leave = false) {
        auto* edit = Find<QLineEdit>(name);
        edit->setText(text);
        emit edit->textEdited(text);
        if (leave)
            emit edit->editingFinished();
    }
    void Make() { form = std::make_unique<TExporterDialogFormWindow>(dialog, &services); }

    test::TempDir dir;
    TMemoryDataSet ds;
    TExporterDialog dialog;
    NoDialogs services;
    std::unique_ptr<TExporterDialogFormWindow> form;
};

TEST_F(TypePages, TheSQLXMLAndASCIIPagesEditTheFormsCopies) {
    dialog.SQLOptions.CommitRecCount = 5;
    dialog.XMLOptions.Encoding = "utf-8";
    Make();
    EXPECT_EQ(Find<QLineEdit>("edSQLCommitRecCount")->text(), QStringLiteral("5"));
    EXPECT_EQ(Find<QLineEdit>("edXMLEncoding")->text(), QStringLiteral("utf-8"));
    EXPECT_EQ(Find<QLineEdit>("edSQLStatementTerm")->text(), QStringLiteral(";"));
    EXPECT_EQ(Find<QLineEdit>("edCSVQuote")->text(), QStringLiteral("\""));

    Type("edSQLCommitRecCount", QStringLiteral("abc"));
    EXPECT_EQ(form->FormState().SQL.CommitRecCount, 5);
    Type("edSQLCommitRecCount", QStringLiteral("12"));
    Type("edSQLTableName", QStringLiteral("ITEMS"));
    Find<QCheckBox>("chSQLCreateTable")->click();
    Find<QCheckBox>("chXMLStandalone")->click();
    Type("edTXTSpacing", QStringLiteral("3"));
    Find<QCheckBox>("chCSVQuoteStrings")->click();
    Type("edCSVComma", QStringLiteral("#9"), true);

    const TExportFormState& s = form->FormState();
    EXPECT_EQ(s.SQL.CommitRecCount, 12);
    EXPECT_EQ(s.SQL.TableName, "ITEMS");
    EXPECT_TRUE(s.SQL.CreateTable);
    EXPECT_FALSE(s.XML.Standalone);
    EXPECT_EQ(s.TXT.ColSpacing, 3);
    EXPECT_FALSE(s.CSV.QuoteStrings);
    EXPECT_EQ(s.CSV.Comma, '\t');
    EXPECT_EQ(Find<QLineEdit>("edCSVComma")->text(), QStringLiteral("#9"));
    // The component keeps its own.
    EXPECT_EQ(dialog.SQLOptions.CommitRecCount, 5);
    EXPECT_TRUE(dialog.XMLOptions.Standalone);
}

TEST_F(TypePages, ThePDFPageShowsAndEditsThePage) {
    Make();
    auto* format = Find<QComboBox>("cbPDFPageFormat");
    ASSERT_EQ(format->count(), 9);
    EXPECT_EQ(format->currentText(), QStringLiteral("A4"));
    EXPECT_EQ(Find<QLineEdit>("edPDFPageWidth")->text(), QStringLiteral("8.27"));
    EXPECT_EQ(Find<QLineEdit>("edPDFColSpacing")->text(), QStringLiteral("3.0"));

    Type("edPDFPageWidth", QStringLiteral("8.5"), true);
    EXPECT_EQ(format->currentText(), QStringLiteral("User"));

    auto* units = Find<QComboBox>("cbPDFPageUnits");
    units->setCurrentIndex(1);
    emit units->activated(1);
    EXPECT_EQ(Find<QLineEdit>("edPDFPageMarginLeft")->text(), QStringLiteral("30"));
    EXPECT_EQ(form->FormState().PDF.PageOptions.MarginLeftPoints(), 85);

    auto* orientation = Find<QComboBox>("cbPDFPageOrientation");
    orientation->setCurrentIndex(1);
    emit orientation->activated(1);
    EXPECT_EQ(form->FormState().PDF.PageOptions.Orientation(), TExportPageOrientation::poLandscape);

    // Fonts: the list's items, the current font's controls and the sample.
    auto* fonts = Find<QTreeWidget>("lvPDFFonts");
    ASSERT_EQ(fonts->topLevelItemCount(), 4);
    fonts->setCurrentItem(fonts->topLevelItem(2));
    auto* name = Find<QComboBox>("cbPDFFontName");
    name->setCurrentIndex(10); // "Times Italic,"
    emit name->activated(10);
    EXPECT_EQ(form->FormState().PDF.DataFont.BaseFont, TPDFFontName(10));
    auto* sample = Find<QLabel>("paPDFSample");
    EXPECT_TRUE(sample->font().italic());
    EXPECT_EQ(sample->font().family(), QStringLiteral("Times New Roman"));
    Type("edPDFFontSize", QStringLiteral("16"));
    EXPECT_EQ(form->FormState().PDF.DataFont.FontSize, 16);
    Find<QToolButton>("sbPDFFontColor")->click();
    EXPECT_EQ(form->FormState().PDF.DataFont.FontColor, 0x332211u);
    // Another item shows its own font.
    fonts->setCurrentItem(fonts->topLevelItem(0));
    EXPECT_EQ(Find<QLineEdit>("edPDFFontSize")->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog.PDFOptions.DataFont.FontSize, 10);
}

} // namespace
} // namespace exporter
