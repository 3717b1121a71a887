// The workbook extensions page's note, chart and series editors: edits reaching the sheet objects, the
// number fields' widths, the column lists and the colour pickers.

#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "export/dialog/ExporterPalette.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFocusEvent>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace exporter {
namespace {

// Answers the colour pickers with fixed choices (none when cancelled).
class ColorAnswers : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool OpenFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor& color) override {
        ++picks;
        shown = color;
        if (!answer.isValid())
            return false;
        color = answer;
        return true;
    }
    bool Question(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&) override {}
    void ShowMessage(QWidget*, const QString&) override {}
    int RunXlsColorEditor(TfmExporterXLSColorEditor& editor) override {
        if (!paletteAnswer)
            return QDialog::Rejected;
        editor.SetChosenColor(*paletteAnswer);
        return QDialog::Accepted;
    }

    QColor answer;
    QColor shown;
    int picks = 0;
    std::optional<TxlsColor> paletteAnswer;
};

class XLSExtensionEditors : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        page = std::make_unique<QWidget>();
        pages = new TExportXLSPages(page.get(), options, services);
        pages->ShowOptions({"NAME", "ID", "address"});
        ext = &pages->Extensions();
        tree = ext->tvXLSExtensions;
    }
    QTreeWidgetItem* AddTo(TXlsExtensionKind kind) {
        tree->setCurrentItem(ext->Extensions().Root(kind));
        ext->tbtAddXLSExtension->click();
        return tree->currentItem();
    }
    // Types the text into the edit and leaves it; returns what the edit shows then.
    QString Type(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        ext->NumberEditExit(edit);
        return edit->text();
    }
    template <class T> T& ObjectOf(QTreeWidgetItem* node) {
        return dynamic_cast<T&>(*TExportXLSExtensions::Object(node));
    }

    TExportXLSOptions options;
    ColorAnswers services;
    std::unique_ptr<QWidget> page;
    TExportXLSPages* pages = nullptr;
    TExportXLSExtensionsPage* ext = nullptr;
    QTreeWidget* tree = nullptr;
};

TEST_F(XLSExtensionEditors, ChartNumberFieldsAreClampedToTheirWidths) {
    auto& chart = ObjectOf<TxlsChart>(AddTo(xekChart));
    // Custom position: X 8-bit, Y 16-bit.
    EXPECT_EQ(Type(ext->edXLSChartPositionX1, "300"), "255");
    EXPECT_EQ(Type(ext->edXLSChartPositionX2, "17"), "17");
    EXPECT_EQ(Type(ext->edXLSChartPositionY1, "70000"), "65535");
    EXPECT_EQ(Type(ext->edXLSChartPositionY2, "-4"), "0");
    EXPECT_EQ(chart.Position.CustomPosition.X1, 255);
    EXPECT_EQ(chart.Position.CustomPosition.X2, 17);
    EXPECT_EQ(chart.Position.CustomPosition.Y1, 65535);
    EXPECT_EQ(chart.Position.CustomPosition.Y2, 0);
    // Auto position: 32-bit.
    EXPECT_EQ(Type(ext->edXLSChartLeft, "70000"), "70000");
    EXPECT_EQ(Type(ext->edXLSChartTop, "99999999999"), "2147483647");
    EXPECT_EQ(Type(ext->edXLSChartHeight, "abc"), "0");
    EXPECT_EQ(Type(ext->edXLSChartWidth, "12"), "12");
    EXPECT_EQ(chart.Position.AutoPosition.Left, 70000);
    EXPECT_EQ(chart.Position.AutoPosition.Top, 2147483647);
    EXPECT_EQ(chart.Position.AutoPosition.Height, 0);
    EXPECT_EQ(chart.Position.AutoPosition.Width, 12);
    // Category labels: Col 8-bit, Row 16-bit.
    EXPECT_EQ(Type(ext->edXLSChartCategoryLabelsCol1, "256"), "255");
    EXPECT_EQ(Type(ext->edXLSChartCategoryLabelsRow1, "65536"), "65535");
    EXPECT_EQ(Type(ext->edXLSChartCategoryLabelsCol2, "3"), "3");
    EXPECT_EQ(Type(ext->edXLSChartCategoryLabelsRow2, "40000"), "40000");
    EXPECT_EQ(chart.CategoryLabels.Col1, 255);
    EXPECT_EQ(chart.CategoryLabels.Row1, 65535);
    EXPECT_EQ(chart.CategoryLabels.Col2, 3);
    EXPECT_EQ(chart.CategoryLabels.Row2, 40000);
}

TEST_F(XLSExtensionEditors, SeriesRangeFieldsAreClampedAndTheColorIsPicked) {
    QTreeWidgetItem* chartNode = AddTo(xekChart);
    tree->setCurrentItem(chartNode->child(0));
    ext->tbtAddXLSExtension->click();
    auto& series = ObjectOf<TxlsChartSeries>(tree->currentItem());
    EXPECT_EQ(Type(ext->edXLSSeriesDataRangeCol1, "999"), "255");
    EXPECT_EQ(Type(ext->edXLSSeriesDataRangeRow1, "9"), "9");
    EXPECT_EQ(Type(ext->edXLSSeriesDataRangeCol2, "x1"), "0");
    EXPECT_EQ(Type(ext->edXLSSeriesDataRangeRow2, "65536"), "65535");
    EXPECT_EQ(series.DataRange.Col1, 255);
    EXPECT_EQ(series.DataRange.Row1, 9);
    EXPECT_EQ(series.DataRange.Col2, 0);
    EXPECT_EQ(series.DataRange.Row2, 65535);

    services.paletteAnswer = clrRed;
    ext->btnXLSSeriesColor->click();
    EXPECT_EQ(series.Color, clrRed);
    services.paletteAnswer.reset(); // cancelled: unchanged
    ext->btnXLSSeriesColor->click();
    EXPECT_EQ(series.Color, clrRed);
}

TEST_F(XLSExtensionEditors, TheColumnListsHoldTheSortedExportColumns) {
    QTreeWidgetItem* chartNode = AddTo(xekChart);
    for (QComboBox* list : {ext->cbXLSChartCategoryLabelColumn, ext->cbXLSSeriesColumn}) {
        ASSERT_EQ(list->count(), 3);
        EXPECT_EQ(list->itemText(0), "address");
        EXPECT_EQ(list->itemText(1), "ID");
        EXPECT_EQ(list->itemText(2), "NAME");
    }
    auto& chart = ObjectOf<TxlsChart>(chartNode);
    emit ext->cbXLSChartCategoryLabelColumn->activated(2);
    EXPECT_EQ(chart.CategoryLabelsColumn, "NAME");

    tree->setCurrentItem(chartNode->child(0));
    ext->tbtAddXLSExtension->click();
    QTreeWidgetItem* seriesNode = tree->currentItem();
    auto& series = ObjectOf<TxlsChartSeries>(seriesNode);
    emit ext->cbXLSSeriesColumn->activated(1);
    EXPECT_EQ(series.DataColumn, "ID");

    // Coming back to the chart and the series shows their columns; an unknown name shows none.
    tree->setCurrentItem(chartNode);
    EXPECT_EQ(ext->cbXLSChartCategoryLabelColumn->currentText(), "NAME");
    series.DataColumn = "GONE";
    tree->setCurrentItem(seriesNode);
    EXPECT_EQ(ext->cbXLSSeriesColumn->currentIndex(), -1);
}

TEST_F(XLSExtensionEditors, RangeTypesEnableTheirControls) {
    QTreeWidgetItem* chartNode = AddTo(xekChart);
    auto& chart = ObjectOf<TxlsChart>(chartNode);
    EXPECT_TRUE(ext->cbXLSChartCategoryLabelColumn->isEnabled());
    EXPECT_FALSE(ext->edXLSChartCategoryLabelsCol1->isEnabled());
    ext->rbXLSChartCategoryLabelCustom->click();
    EXPECT_EQ(chart.CategoryLabelsType, rtCustom);
    EXPECT_FALSE(ext->cbXLSChartCategoryLabelColumn->isEnabled());
    EXPECT_TRUE(ext->edXLSChartCategoryLabelsRow2->isEnabled());

    tree->setCurrentItem(chartNode->child(0));
    ext->tbtAddXLSExtension->click();
    auto& series = ObjectOf<TxlsChartSeries>(tree->currentItem());
    EXPECT_TRUE(ext->cbXLSSeriesColumn->isEnabled());
    EXPECT_FALSE(ext->edXLSSeriesDataRangeCol1->isEnabled());
    ext->rbXLSSeriesCustom->click();
    EXPECT_EQ(series.DataRangeType, rtCustom);
    EXPECT_FALSE(ext->cbXLSSeriesColumn->isEnabled());
    EXPECT_TRUE(ext->edXLSSeriesDataRangeCol1->isEnabled());
    ext->rbXLSSeriesColumn->click();
    EXPECT_EQ(series.DataRangeType, rtColumn);
    EXPECT_TRUE(ext->cbXLSSeriesColumn->isEnabled());

    // The series folder has no object: its page is disabled.
    tree->setCurrentItem(chartNode->child(0));
    EXPECT_FALSE(ext->rbXLSSeriesCustom->isEnabled());
    EXPECT_FALSE(ext->cbXLSSeriesColumn->isEnabled());
    EXPECT_FALSE(ext->edXLSSeriesDataRangeCol1->isEnabled());
}

TEST_F(XLSExtensionEditors, ChartLegendAndPositionReachTheChart) {
    auto& chart = ObjectOf<TxlsChart>(AddTo(xekChart));
    ext->legendPositions[2]->click();
    EXPECT_EQ(chart.LegendPlacement, clpTop);
    // A new chart is placed automatically: the custom group is disabled.
    EXPECT_TRUE(ext->edXLSChartLeft->isEnabled());
    EXPECT_FALSE(ext->edXLSChartPositionX1->isEnabled());
    ext->chartPlacements[1]->click();
    EXPECT_EQ(chart.Position.AutoPosition.Placement, cpRight);
    ext->rbXLSChartCustomPosition->click();
    EXPECT_EQ(chart.Position.PositionType, cptCustom);
    EXPECT_FALSE(ext->edXLSChartLeft->isEnabled());
    EXPECT_FALSE(ext->rgXLSChartPlacement->isEnabled());
    EXPECT_TRUE(ext->edXLSChartPositionY2->isEnabled());
    ext->rbXLSChartAutoPosition->click();
    EXPECT_EQ(chart.Position.PositionType, cptAuto);

    // Shown again from the chart.
    chart.LegendPlacement = clpLeft;
    tree->setCurrentItem(ext->Extensions().Root(xekChart));
    tree->setCurrentItem(ext->Extensions().Root(xekChart)->child(0));
    EXPECT_TRUE(ext->legendPositions[4]->isChecked());
    EXPECT_FALSE(ext->legendPositions[2]->isChecked());
    EXPECT_TRUE(ext->chartPlacements[1]->isChecked());
}

TEST_F(XLSExtensionEditors, NoteFontEditsReachTheNoteFormat) {
    auto& note = ObjectOf<TxlsNote>(AddTo(xekNote));
    TxlsNoteFormat& format = note.Format;
    ext->cbXLSNoteFontSize->setCurrentText("abc");
    ext->NoteFontSizeExit();
    EXPECT_EQ(format.Font.Size, 8);
    EXPECT_EQ(ext->cbXLSNoteFontSize->currentText(), "8");
    ext->cbXLSNoteFontSize->setCurrentText("14");
    ext->NoteFontSizeExit();
    EXPECT_EQ(format.Font.Size, 14);

    // The buttons show the note's font and toggle its styles.
    const bool bold = format.Font.Has(xfsBold);
    EXPECT_EQ(ext->btnXLSNoteFontBold->isChecked(), bold);
    ext->btnXLSNoteFontBold->click();
    EXPECT_EQ(format.Font.Has(xfsBold), !bold);
    ext->btnXLSNoteFontItalic->click();
    EXPECT_TRUE(format.Font.Has(xfsItalic));
    ext->btnXLSNoteFontBold->click();
    EXPECT_EQ(format.Font.Has(xfsBold), bold);
    EXPECT_TRUE(format.Font.Has(xfsItalic));
    ext->noteUnderlineButtons[2]->click();
    EXPECT_EQ(format.Font.Underline, fulDouble);
    ext->noteUnderlineButtons[0]->click(); // another underline replaces it
    EXPECT_EQ(format.Font.Underline, fulSingle);
    EXPECT_FALSE(ext->noteUnderlineButtons[2]->isChecked());
    ext->noteHorizontalButtons[1]->click();
    EXPECT_EQ(format.Alignment.Horizontal, halCenter);
    ext->noteHorizontalButtons[1]->click();
    EXPECT_EQ(format.Alignment.Horizontal, halGeneral);
    ext->noteVerticalButtons[0]->click();
    EXPECT_EQ(format.Alignment.Vertical, valTop);
    ext->noteVerticalButtons[0]->click(); // the chosen vertical alignment stays
    EXPECT_EQ(format.Alignment.Vertical, valTop);
    EXPECT_TRUE(ext->noteVerticalButtons[0]->isChecked());
    ext->noteOrientations[3]->click();
    EXPECT_EQ(format.Orientation, xlrClockWise);

    const int courier = ext->cbXLSNoteFont->findText("Courier New");
    ASSERT_GE(courier, 0);
    emit ext->cbXLSNoteFont->activated(courier);
    EXPECT_EQ(format.Font.Name, "Courier New");

    services.paletteAnswer = clrBlue;
    ext->btnXLSNoteFontColor->click();
    EXPECT_EQ(format.Font.Color, clrBlue);
}

TEST_F(XLSExtensionEditors, NoteFillEditsReachTheNoteFormat) {
    auto& note = ObjectOf<TxlsNote>(AddTo(xekNote));
    TxlsNoteFormat& format = note.Format;
    // Solid fill: the gradient buttons are off.
    EXPECT_TRUE(ext->rbXLSNoteFillSolid->isChecked());
    EXPECT_FALSE(ext->noteGradients[0]->isEnabled());
    ext->rbXLSNoteFillGradient->click();
    EXPECT_EQ(format.FillType, nftGradient);
    EXPECT_TRUE(ext->noteGradients[5]->isEnabled());
    ext->noteGradients[4]->click();
    EXPECT_EQ(format.Gradient, ngrFromCorner);
    EXPECT_TRUE(ext->rbXLSNoteFillGradient->isChecked()); // the gradient choice keeps the fill type
    ext->trXLSNoteTransparency->setValue(40);
    EXPECT_EQ(format.Transparency, 40);
    EXPECT_EQ(ext->laXLSNoteTransparency->text(), "Transparency - 40%");

    // Free colours from the colour dialog, started with the current one (red in the low byte).
    services.answer = QColor(1, 2, 3);
    ext->btnXLSNoteBackgroundColor->click();
    EXPECT_EQ(services.shown, QColor(255, 255, 225));
    EXPECT_EQ(format.BackgroundColor, rtl::TColor(0x030201));
    EXPECT_EQ(format.ForegroundColor, TxlsNoteFormat::DefaultNoteColor);
    services.answer = QColor();
    ext->btnXLSNoteForegroundColor->click(); // cancelled
    EXPECT_EQ(format.ForegroundColor, TxlsNoteFormat::DefaultNoteColor);

    // Another note shows its own values.
    QTreeWidgetItem* second = AddTo(xekNote);
    EXPECT_TRUE(ext->rbXLSNoteFillSolid->isChecked());
    EXPECT_EQ(ext->trXLSNoteTransparency->value(), 0);
    EXPECT_EQ(ObjectOf<TxlsNote>(second).Format.Transparency, 0);
    EXPECT_EQ(format.Transparency, 40);
}

// The note and series swatches paint the selected object's colours.
TEST_F(XLSExtensionEditors, TheColourSwatchesShowTheSelectedObjectsColours) {
    page->resize(900, 600);
    page->show();
    const auto shown = [](QWidget* box) {
        const QImage image = box->grab().toImage();
        return image.pixelColor(image.width() / 2, image.height() / 2);
    };
    auto& note = ObjectOf<TxlsNote>(AddTo(xekNote));
    note.Format.BackgroundColor = 0x0000FF; // red in the low byte
    note.Format.ForegroundColor = 0x00FF00;
    services.paletteAnswer = clrBlue;
    ext->btnXLSNoteFontColor->click();
    EXPECT_EQ(shown(ext->pbXLSNoteFontColor), QColor(0, 0, 255));
    EXPECT_EQ(shown(ext->pbXLSNoteBackgroundColor), QColor(255, 0, 0));
    EXPECT_EQ(shown(ext->pbXLSNoteForegroundColor), QColor(0, 255, 0));

    QTreeWidgetItem* chartNode = AddTo(xekChart);
    tree->setCurrentItem(chartNode->child(0));
    ext->tbtAddXLSExtension->click();
    services.paletteAnswer = clrRed;
    ext->btnXLSSeriesColor->click();
    EXPECT_EQ(shown(ext->pbXLSSeriesColor), QColor(255, 0, 0));
}

TEST_F(XLSExtensionEditors, LeavingANumberEditStoresIt) {
    auto& note = ObjectOf<TxlsNote>(AddTo(xekNote));
    note.Row = 7;
    ext->edXLSNoteRow->setText("abc");
    QFocusEvent leave(QEvent::FocusOut);
    QApplication::sendEvent(ext->edXLSNoteRow, &leave);
    EXPECT_EQ(note.Row, 0);
    EXPECT_EQ(ext->edXLSNoteRow->text(), "0");
    auto& chart = ObjectOf<TxlsChart>(AddTo(xekChart));
    ext->edXLSChartPositionX2->setText("1000");
    QApplication::sendEvent(ext->edXLSChartPositionX2, &leave);
    EXPECT_EQ(chart.Position.CustomPosition.X2, 255);
    EXPECT_EQ(ext->edXLSChartPositionX2->text(), "255");
}

TEST_F(XLSExtensionEditors, EditorsDoNothingOnARoot) {
    AddTo(xekNote);
    tree->setCurrentItem(ext->Extensions().Root(xekNote));
    EXPECT_FALSE(ext->btnXLSNoteFontColor->isEnabled());
    EXPECT_FALSE(ext->trXLSNoteTransparency->isEnabled());
    services.answer = QColor(1, 2, 3);
    ext->NoteFillColorClick(true);
    ext->NoteFontSizeExit();
    EXPECT_EQ(services.picks, 0);
    tree->setCurrentItem(ext->Extensions().Root(xekChart));
    EXPECT_FALSE(ext->edXLSChartPositionX1->isEnabled());
    EXPECT_FALSE(ext->rbXLSChartCustomPosition->isEnabled());
}

TEST_F(XLSExtensionEditors, TheCellEditorEditsTheCellFormat) {
    QTabWidget* cells = ext->pcXLSCells;
    ASSERT_EQ(cells->count(), 1);
    pages->pcXLS->setCurrentIndex(2);
    // The Font, Borders and Fill pages follow into the cell editor, after "Base".
    ASSERT_EQ(cells->count(), 4);
    EXPECT_EQ(cells->widget(1), pages->tshXLSFont);
    EXPECT_EQ(cells->widget(2), pages->tshXLSBorders);
    EXPECT_EQ(cells->widget(3), pages->tshXLSFill);
    EXPECT_EQ(pages->pcXLSDataFormat->indexOf(pages->tshXLSFont), -1);

    QTreeWidgetItem* node = AddTo(xekCell);
    auto& cell = ObjectOf<TxlsCell>(node);
    const bool bold = cell.Format.Font.Has(xfsBold);
    EXPECT_EQ(pages->btnFontBold->isChecked(), bold);
    pages->btnFontBold->click();
    EXPECT_EQ(cell.Format.Font.Has(xfsBold), !bold);
    pages->horizontalButtons[2]->click();
    EXPECT_EQ(cell.Format.Alignment.Horizontal, halRight);
    services.paletteAnswer = clrGreen;
    pages->btnFillBackground->click();
    EXPECT_EQ(cell.Format.Fill.Background, clrGreen);
    // The field formats are not touched.
    for (int i = 0; i < pages->lstXLSFields->count(); ++i)
        EXPECT_EQ(TExportXLSFormatLists::FormatOf(pages->lstXLSFields->item(i))->Alignment.Horizontal,
                  halGeneral);
    // The sample shows below the cell's format tabs, and not on its base tab.
    cells->setCurrentIndex(2);
    EXPECT_EQ(pages->pbXLSCell->parentWidget(), cells->parentWidget());
    EXPECT_FALSE(pages->pbXLSCell->isHidden());
    cells->setCurrentIndex(0);
    EXPECT_TRUE(pages->pbXLSCell->isHidden());
    cells->setCurrentIndex(2);

    // Another cell shows its own format; a root edits nothing.
    AddTo(xekCell);
    EXPECT_FALSE(pages->horizontalButtons[2]->isChecked());
    tree->setCurrentItem(ext->Extensions().Root(xekCell));
    EXPECT_TRUE(cells->isHidden());
    pages->horizontalButtons[0]->click();
    EXPECT_EQ(cell.Format.Alignment.Horizontal, halRight);

    // Back on the Data Format page the pages return and edit the lists again.
    pages->pcXLS->setCurrentIndex(0);
    ASSERT_EQ(cells->count(), 1);
    EXPECT_EQ(pages->pcXLSDataFormat->widget(0), pages->tshXLSFont);
    EXPECT_EQ(pages->pcXLSDataFormat->widget(1), pages->tshXLSBorders);
    EXPECT_EQ(pages->pcXLSDataFormat->widget(2), pages->tshXLSFill);
    EXPECT_EQ(pages->pcXLSDataFormat->currentIndex(), 0);
    EXPECT_EQ(pages->pbXLSCell->parentWidget(), pages->pcXLS->widget(0));
    pages->lstXLSFields->setCurrentRow(0);
    pages->horizontalButtons[1]->click();
    EXPECT_EQ(TExportXLSFormatLists::FormatOf(pages->lstXLSFields->item(0))->Alignment.Horizontal, halCenter);
    EXPECT_EQ(cell.Format.Alignment.Horizontal, halRight);

    // The cell editor's page is remembered.
    pages->pcXLS->setCurrentIndex(2);
    EXPECT_EQ(cells->currentIndex(), 2);
}

} // namespace
} // namespace exporter
