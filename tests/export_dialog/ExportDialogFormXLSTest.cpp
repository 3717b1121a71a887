// The workbook pages of the export dialog: the format lists and the editor (one attribute changed on
// the current item and copied to every other selected item), the strip-style list and file, the palette
// picker through the services, the advanced page, and the pages on the dialog window.

#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogRoutines.h"
#include "export/dialog/ExporterPalette.h"
#include "export/xls/ExporterXLSSheetObjects.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace exporter {
namespace {

// Answers every modal question from a script; the palette picker is worked by a scripted runner.
class ScriptedDialogs : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString& suffix, QString& fileName) override {
        suffixes.push_back(suffix.toStdString());
        fileName = QString::fromStdString(file);
        return !file.empty();
    }
    bool OpenFileName(QWidget*, const QString&, const QString& suffix, QString& fileName) override {
        return SaveFileName(nullptr, {}, suffix, fileName);
    }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor&) override { return false; }
    bool Question(QWidget*, const QString& title, const QString& text) override {
        questions.push_back(title.toStdString() + "|" + text.toStdString());
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors.push_back(text.toStdString()); }
    void ShowMessage(QWidget*, const QString&) override {}
    int RunXlsColorEditor(TfmExporterXLSColorEditor& editor) override {
        shownColors.push_back(editor.ChosenColor());
        if (clickAt.x() < 0)
            return QDialog::Rejected;
        editor.ColorsMouseDown(clickAt.x(), clickAt.y());
        return QDialog::Accepted;
    }

    std::string file;
    bool answer = false;
    QPoint clickAt{-1, -1};
    std::vector<std::string> suffixes, questions, errors;
    std::vector<TxlsColor> shownColors;
};

// The point inside the picker's cell of a colour.
QPoint CellOf(TxlsColor color) {
    return TxlsColorGrid::CellRect(color).center();
}

class XLSPages : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        page = std::make_unique<QWidget>();
        pages = new TExportXLSPages(page.get(), options, services);
        pages->ShowOptions({"ID", "NAME", "PRICE", "DATE", "NOTE"});
    }
    template <typename T> T* Find(const char* name) {
        T* w = page->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    TxlsFieldFormat& Format(QListWidget* list, int row) {
        TxlsFieldFormat* format = TExportXLSFormatLists::FormatOf(list->item(row));
        EXPECT_NE(format, nullptr);
        return *format;
    }
    // Selects the rows of the list (the first one given becomes current) on its page.
    void Select(QListWidget* list, std::initializer_list<int> rows) {
        pages->pcXLSFormats->setCurrentIndex(list == pages->lstXLSFields    ? 0
                                             : list == pages->lstXLSOptions ? 1
                                                                            : 2);
        list->clearSelection();
        for (int row : rows)
            list->item(row)->setSelected(true);
        list->setCurrentItem(list->item(*rows.begin()), QItemSelectionModel::NoUpdate);
        pages->lstXLSFieldsChange(list);
    }
    QStringList Captions(QListWidget* list) {
        QStringList captions;
        for (int i = 0; i < list->count(); ++i)
            captions << list->item(i)->text();
        return captions;
    }

    test::TempDir dir;
    TExportXLSOptions options;
    ScriptedDialogs services;
    std::unique_ptr<QWidget> page;
    TExportXLSPages* pages = nullptr;
};

TEST_F(XLSPages, TheControlsAreNamed) {
    for (const char* name : {"pcXLS",
                             "tshXLSDataFormat",
                             "tshXLSAdvanced",
                             "pcXLSFormats",
                             "tshXLSFields",
                             "tshXLSOptions",
                             "tshXLSStyles",
                             "lstXLSFields",
                             "lstXLSOptions",
                             "lstXLSStyles",
                             "rgXLSStripType",
                             "tbrXLSStyles",
                             "tbtAddXLSStyle",
                             "tbtDelXLSStyle",
                             "tbtUpXLSStyle",
                             "tbtDownXLSStyle",
                             "tbtLoadXLSStyle",
                             "tbtSaveXLSStyle",
                             "pcXLSDataFormat",
                             "tshXLSFont",
                             "cbxXLSFont",
                             "cbxXLSFontSize",
                             "btnFontColor",
                             "pbFontColor",
                             "btnFontBold",
                             "btnFontItalic",
                             "btnFontStrikeOut",
                             "btnUnderlineSingle",
                             "btnUnderlineSingleAccounting",
                             "btnUnderlineDouble",
                             "btnUnderlineDoubleAccounting",
                             "btnHorizontalLeft",
                             "btnHorizontalCenter",
                             "btnHorizontalRight",
                             "btnHorizontalFill",
                             "btnVerticalTop",
                             "btnVerticalCenter",
                             "btnVerticalBottom",
                             "tshXLSBorders",
                             "btnBorderTop",
                             "cmbBorderBottom",
                             "btnBorderLeftColor",
                             "pbBorderRight",
                             "tshXLSFill",
                             "btnFillBackground",
                             "pbFillBackground",
                             "btnFillForeground",
                             "pbFillForeground",
                             "cmbPattern",
                             "tshXLSAggregate",
                             "rgXLSFunction",
                             "pbXLSCell",
                             "laXLSSampleCell",
                             "btnXLSResetItem",
                             "btnXLSResetAll",
                             "edXLSPageHeader",
                             "edXLSPageFooter",
                             "edXLSSheetTitle",
                             "chXLSAutoCalcColWidth"})
        EXPECT_NE(page->findChild<QObject*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(Find<QComboBox>("cmbBorderTop")->count(), 14);
    EXPECT_EQ(Find<QComboBox>("cmbPattern")->count(), 19);
}

TEST_F(XLSPages, TheListsHoldTheFieldsTheOptionFormatsAndTheStyles) {
    EXPECT_EQ(Captions(pages->lstXLSFields), (QStringList{"ID", "NAME", "PRICE", "DATE", "NOTE"}));
    EXPECT_EQ(Captions(pages->lstXLSOptions),
              (QStringList{"HEADER", "CAPTION", "AGGREGATE", "FOOTER", "HYPERLINK"}));
    EXPECT_TRUE(Format(pages->lstXLSOptions, 1).Font.Has(xfsBold)); // the caption format's default
    EXPECT_EQ(Format(pages->lstXLSOptions, 4).Font.Underline, fulSingle);
    EXPECT_EQ(pages->lstXLSStyles->count(), 0);

    // Formats of the option set and of known fields come in; a field's edit goes back to the options.
    options.FieldFormats.Add().FieldName = "price";
    options.FieldFormats.Items(0).Font.Size = 14;
    options.StripStyles.Add().Font.Name = "Courier New";
    pages->ShowOptions({"ID", "PRICE"});
    EXPECT_EQ(Format(pages->lstXLSFields, 1).Font.Size, 14);
    EXPECT_EQ(Captions(pages->lstXLSStyles), (QStringList{"ITEM_1"}));
    Select(pages->lstXLSFields, {0});
    pages->cbxXLSFontSize->setCurrentText(QStringLiteral("16"));
    const int id = options.FieldFormats.IndexOf("ID");
    ASSERT_GE(id, 0);
    EXPECT_EQ(options.FieldFormats.Items(std::size_t(id)).Font.Size, 16);
    EXPECT_EQ(options.FieldFormats.Items(0).Font.Size, 14);
    EXPECT_EQ(options.StripStyles.Items(0).Font.Name, "Courier New");
}

TEST_F(XLSPages, OneSelectedItemShowsItsFormat) {
    TxlsFieldFormat& name = Format(pages->lstXLSFields, 1);
    name.Font.Name = "Courier New";
    name.Font.Size = 12;
    name.Font.Style = xfsItalic;
    name.Font.Underline = fulDouble;
    name.Alignment.Horizontal = halRight;
    name.Borders.Left.Style = bstDashed;
    name.Fill.Pattern = ptGray50;
    name.Aggregate = aggMax;
    Select(pages->lstXLSFields, {1});
    EXPECT_EQ(pages->cbxXLSFont->currentText(), QStringLiteral("Courier New"));
    EXPECT_EQ(pages->cbxXLSFontSize->currentText(), QStringLiteral("12"));
    EXPECT_TRUE(pages->btnFontItalic->isChecked());
    EXPECT_FALSE(pages->btnFontBold->isChecked());
    EXPECT_TRUE(pages->underlineButtons[2]->isChecked());
    EXPECT_TRUE(pages->horizontalButtons[2]->isChecked());
    EXPECT_TRUE(pages->verticalButtons[2]->isChecked()); // bottom by default
    EXPECT_TRUE(pages->borderButtons[2]->isChecked());
    EXPECT_EQ(pages->borderCombos[2]->currentIndex(), int(bstDashed));
    EXPECT_FALSE(pages->borderButtons[0]->isChecked());
    EXPECT_EQ(pages->cmbPattern->currentIndex(), int(ptGray50));
    EXPECT_TRUE(pages->functionButtons[aggMax]->isChecked());
    EXPECT_EQ(pages->btnXLSResetItem->text(), QStringLiteral("Reset item"));

    // The aggregate choice belongs to the fields list only.
    EXPECT_TRUE(pages->pcXLSDataFormat->isTabVisible(3));
    Select(pages->lstXLSOptions, {0});
    EXPECT_FALSE(pages->pcXLSDataFormat->isTabVisible(3));
    EXPECT_FALSE(pages->rgXLSFunction->isEnabled());
}

TEST_F(XLSPages, AnEditChangesOneAttributeOfEverySelectedItem) {
    QListWidget* list = pages->lstXLSFields;
    Format(list, 0).Font.Name = "Arial";
    Format(list, 1).Font.Name = "Courier New";
    Format(list, 2).Font.Name = "Times New Roman";
    Format(list, 1).Font.Size = 14;
    Format(list, 2).Fill.Pattern = ptGray25;
    Format(list, 2).Aggregate = aggSum;
    Select(list, {0, 1, 2});
    EXPECT_EQ(pages->cbxXLSFont->currentIndex(), -1); // the fonts differ
    EXPECT_EQ(pages->cbxXLSFontSize->currentText(), QString());
    EXPECT_EQ(pages->cmbPattern->currentIndex(), -1);
    EXPECT_EQ(pages->btnXLSResetItem->text(), QStringLiteral("Reset selected"));

    pages->cbxXLSFont->setCurrentText(QStringLiteral("Courier New"));
    for (int row : {0, 1, 2})
        EXPECT_EQ(Format(list, row).Font.Name, "Courier New") << row;
    EXPECT_EQ(Format(list, 0).Font.Size, 10);
    EXPECT_EQ(Format(list, 1).Font.Size, 14);
    EXPECT_EQ(Format(list, 2).Fill.Pattern, ptGray25);
    EXPECT_EQ(Format(list, 2).Aggregate, aggSum);
    EXPECT_EQ(Format(list, 3).Font.Name, "arial"); // not selected

    pages->btnFontBold->click();
    pages->underlineButtons[1]->click();
    pages->borderButtons[0]->click();
    for (int row : {0, 1, 2}) {
        EXPECT_EQ(Format(list, row).Font.Style, unsigned(xfsBold)) << row;
        EXPECT_EQ(Format(list, row).Font.Underline, fulSingleAccounting) << row;
        EXPECT_EQ(Format(list, row).Borders.Top.Style, bstThin) << row;
        EXPECT_EQ(Format(list, row).Borders.Bottom.Style, bstNone) << row;
    }
    // A button that goes up: no underline, no horizontal alignment.
    pages->underlineButtons[1]->click();
    EXPECT_EQ(Format(list, 2).Font.Underline, fulNone);
    // The size combo: text that is not a number gives 10.
    pages->cbxXLSFontSize->setCurrentText(QStringLiteral("x1"));
    EXPECT_EQ(Format(list, 1).Font.Size, 10);
}

TEST_F(XLSPages, WithoutASelectionTheEditorChangesNothing) {
    Select(pages->lstXLSFields, {0});
    pages->lstXLSFields->clearSelection();
    EXPECT_EQ(pages->Lists().CurrentFormat(), nullptr);
    pages->btnFontBold->click();
    pages->cbxXLSFontSize->setCurrentText(QStringLiteral("20"));
    services.clickAt = CellOf(clrRed);
    pages->btnFontColor->click();
    for (int row = 0; row < 5; ++row) {
        const TxlsFont& font = Format(pages->lstXLSFields, row).Font;
        EXPECT_TRUE(font.Style == 0 && font.Size == 10 && font.Color == clrBlack) << row;
    }
    EXPECT_TRUE(services.shownColors.empty());
}

TEST_F(XLSPages, ThePalettePickerChoosesTheColours) {
    QListWidget* list = pages->lstXLSOptions;
    Select(list, {0, 3});
    services.clickAt = CellOf(clrRed);
    pages->btnFontColor->click();
    ASSERT_EQ(services.shownColors, std::vector<TxlsColor>{clrBlack});
    EXPECT_EQ(Format(list, 0).Font.Color, clrRed);
    EXPECT_EQ(Format(list, 3).Font.Color, clrRed);
    EXPECT_EQ(options.HeaderFormat.Font.Color, clrRed);

    // The same colour again changes nothing and copies nothing.
    Format(list, 3).Font.Color = clrBlue;
    pages->btnFontColor->click();
    EXPECT_EQ(Format(list, 3).Font.Color, clrBlue);
    // Cancel keeps the colour.
    services.clickAt = {-1, -1};
    pages->btnFontColor->click();
    EXPECT_EQ(Format(list, 0).Font.Color, clrRed);

    // A background turns "no pattern" to solid; choosing no pattern again turns the background white.
    services.clickAt = CellOf(clrYellow);
    pages->btnFillBackground->click();
    for (int row : {0, 3}) {
        EXPECT_EQ(Format(list, row).Fill.Background, clrYellow) << row;
        EXPECT_EQ(Format(list, row).Fill.Pattern, ptSolid) << row;
    }
    EXPECT_EQ(pages->cmbPattern->currentIndex(), int(ptSolid));
    pages->cmbPattern->setCurrentIndex(ptNone);
    for (int row : {0, 3}) {
        EXPECT_EQ(Format(list, row).Fill.Background, clrWhite) << row;
        EXPECT_EQ(Format(list, row).Fill.Pattern, ptNone) << row;
    }
    services.clickAt = CellOf(clrGreen);
    pages->borderColorButtons[3]->click();
    EXPECT_EQ(Format(list, 3).Borders.Right.Color, clrGreen);
    EXPECT_EQ(Format(list, 3).Borders.Left.Color, clrBlack);
}

// The sample cell shows a fill as the workbook does: a solid fill in the background colour; a pattern as
// dots of the foreground colour on a base of the background colour.
TEST_F(XLSPages, TheSampleCellShowsTheFillAsTheWorkbookDoes) {
    page->resize(900, 600);
    page->show();
    Select(pages->lstXLSFields, {0});
    // One 4 x 4 tile of the top right corner, far from the text (bottom left) and inside the cell's edge.
    const auto tile = [this] {
        const QImage image = pages->pbXLSCell->grab().toImage();
        const int left = (image.width() - 8) / 4 * 4;
        std::vector<QPoint> red;
        int yellow = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const QColor color = image.pixelColor(left + x, 4 + y);
                if (color == QColor(255, 0, 0))
                    red.emplace_back(x, y);
                else if (color == QColor(255, 255, 0))
                    ++yellow;
            }
        return std::make_pair(red, yellow);
    };
    services.clickAt = CellOf(clrYellow);
    pages->btnFillBackground->click();
    services.clickAt = CellOf(clrRed);
    pages->btnFillForeground->click();
    ASSERT_EQ(Format(pages->lstXLSFields, 0).Fill.Pattern, ptSolid);
    EXPECT_EQ(tile(), std::make_pair(std::vector<QPoint>{}, 16));

    pages->cmbPattern->setCurrentIndex(ptGray25);
    const TxlsFill& fill = Format(pages->lstXLSFields, 0).Fill;
    ASSERT_EQ(fill.Pattern, ptGray25);
    ASSERT_EQ(fill.Background, clrYellow);
    ASSERT_EQ(fill.Foreground, clrRed);
    EXPECT_EQ(tile(), std::make_pair(std::vector<QPoint>{{0, 0}, {2, 1}, {0, 2}, {2, 3}}, 12));
    if (const QString shots = qEnvironmentVariable("CORMELIAN_SCREENSHOT_DIR"); !shots.isEmpty())
        page->grab().save(shots + QStringLiteral("/xls_sample_cell_gray25.png"));
}

TEST_F(XLSPages, ResetFollowsTheCaptionRule) {
    QListWidget* list = pages->lstXLSOptions;
    for (int row = 0; row < 5; ++row)
        Format(list, row).Font.Size = 20;
    Select(list, {0, 1});
    pages->btnXLSResetItem->click();
    EXPECT_TRUE(Format(list, 0).IsDefault());
    TxlsFormat caption;
    SetDefaultXlsCaptionFormat(caption);
    EXPECT_TRUE(Format(list, 1).Font.Equals(caption.Font));
    EXPECT_EQ(Format(list, 2).Font.Size, 20);

    // Reset all asks first; No keeps everything.
    pages->btnXLSResetAll->click();
    ASSERT_EQ(services.questions.size(), 1u);
    EXPECT_EQ(services.questions[0],
              "Attention!|All field formats will be reset the default values.\n\rAre you sure?");
    EXPECT_EQ(Format(list, 4).Font.Size, 20);
    services.answer = true;
    pages->btnXLSResetAll->click();
    EXPECT_TRUE(Format(list, 4).IsDefault());
    EXPECT_EQ(options.FooterFormat.Font.Size, 10);
}

TEST_F(XLSPages, TheStyleListAddsDeletesAndMoves) {
    pages->pcXLSFormats->setCurrentIndex(2);
    EXPECT_FALSE(pages->tbtSaveXLSStyle->isEnabled());
    for (int i = 0; i < 5; ++i)
        pages->tbtAddXLSStyle->click();
    EXPECT_EQ(Captions(pages->lstXLSStyles), (QStringList{"ITEM_1", "ITEM_2", "ITEM_3", "ITEM_4", "ITEM_5"}));
    EXPECT_EQ(options.StripStyles.Count(), 5u);
    EXPECT_TRUE(pages->lstXLSStyles->item(4)->isSelected());
    EXPECT_EQ(pages->lstXLSStyles->selectedItems().size(), 1);
    EXPECT_FALSE(pages->tbtDownXLSStyle->isEnabled());
    EXPECT_TRUE(pages->tbtUpXLSStyle->isEnabled());

    // Up: the format moves, the captions stay.
    Format(pages->lstXLSStyles, 4).Font.Size = 30;
    pages->tbtUpXLSStyle->click();
    EXPECT_EQ(Format(pages->lstXLSStyles, 3).Font.Size, 30);
    EXPECT_TRUE(pages->lstXLSStyles->item(3)->isSelected());
    EXPECT_FALSE(pages->lstXLSStyles->item(4)->isSelected());
    EXPECT_EQ(pages->lstXLSStyles->item(3)->text(), QStringLiteral("ITEM_4"));
    EXPECT_EQ(options.StripStyles.Items(3).Font.Size, 30);

    Select(pages->lstXLSStyles, {3, 4});
    pages->tbtDelXLSStyle->click();
    EXPECT_EQ(Captions(pages->lstXLSStyles), (QStringList{"ITEM_1", "ITEM_2", "ITEM_3"}));
    EXPECT_TRUE(pages->lstXLSStyles->item(2)->isSelected());
    EXPECT_EQ(pages->lstXLSStyles->selectedItems().size(), 1);
    EXPECT_EQ(options.StripStyles.Count(), 3u);
}

TEST_F(XLSPages, TheStyleFileRoundTrips) {
    const std::string file = dir.file("styles.xst");
    test::WriteFile(file, "[Other]\nKey=1\n");
    pages->pcXLSFormats->setCurrentIndex(2);
    pages->tbtAddXLSStyle->click();
    pages->tbtAddXLSStyle->click();
    TxlsFieldFormat& second = Format(pages->lstXLSStyles, 1);
    second.Font.Style = xfsBold;
    second.Font.Color = clrRed;
    second.Borders.Top.Style = bstThick;
    second.Fill = {clrYellow, ptSolid, clrBlue};
    second.Alignment.Horizontal = halCenter;
    TxlsFormat saved;
    saved.Assign(second);

    services.file = file;
    pages->tbtSaveXLSStyle->click();
    EXPECT_EQ(services.suffixes, std::vector<std::string>{"xst"});
    const auto section = [](int index, const std::string& font, const std::string& alignment,
                            const std::string& borders, const std::string& fill) {
        return "[XLS_STYLE_" + std::to_string(index) + "]\r\nFontName=arial\r\nFontSize=10\r\n" + font +
               "FontItalic=0\r\nFontStrikeOut=0\r\nFontUnderline=0\r\n" + alignment + "VertAlignment=2\r\n" +
               borders +
               "BorderBottom=0\r\nBorderLeft=0\r\nBorderRight=0\r\nBorderTopColor=clBlack\r\n"
               "BorderBottomColor=clBlack\r\nBorderLeftColor=clBlack\r\nBorderRightColor=clBlack\r\n" +
               fill;
    };
    // The other section of the file is gone.
    EXPECT_EQ(test::ReadFile(file),
              section(0, "FontColor=clBlack\r\nFontBold=0\r\n", "HorAlignment=0\r\n", "BorderTop=0\r\n",
                      "FillPattern=0\r\nFillBackground=clWhite\r\nFillForeground=clBlack\r\n") +
                  "\r\n" +
                  section(1, "FontColor=clRed\r\nFontBold=1\r\n", "HorAlignment=2\r\n", "BorderTop=5\r\n",
                          "FillPattern=1\r\nFillBackground=clYellow\r\nFillForeground=clBlue\r\n"));

    // Loading takes the captions from the section numbers; an added style counts on from there.
    test::WriteFile(file, test::ReadFile(file) +
                              "\r\n[Other]\r\nFontSize=30\r\n\r\n[xls_style_7]\r\nFontSize=12\r\n");
    pages->lstXLSStyles->clear();
    pages->tbtLoadXLSStyle->click();
    EXPECT_EQ(Captions(pages->lstXLSStyles), (QStringList{"ITEM_0", "ITEM_1", "ITEM_7"}));
    EXPECT_TRUE(pages->lstXLSStyles->item(0)->isSelected());
    TxlsFieldFormat& loaded = Format(pages->lstXLSStyles, 1);
    EXPECT_TRUE(loaded.Font.Equals(saved.Font));
    EXPECT_EQ(loaded.Borders, saved.Borders);
    EXPECT_EQ(loaded.Fill, saved.Fill);
    EXPECT_EQ(loaded.Alignment, saved.Alignment);
    EXPECT_EQ(Format(pages->lstXLSStyles, 2).Font.Size, 12);
    EXPECT_EQ(options.StripStyles.Count(), 3u);
    pages->tbtAddXLSStyle->click();
    EXPECT_EQ(pages->lstXLSStyles->item(3)->text(), QStringLiteral("ITEM_4"));

    // A file without style sections gives an empty list.
    test::WriteFile(file, "[Other]\r\nA=1\r\n");
    pages->tbtLoadXLSStyle->click();
    EXPECT_EQ(pages->lstXLSStyles->count(), 0);
    EXPECT_FALSE(pages->tbtSaveXLSStyle->isEnabled());
}

} // namespace
} // namespace exporter

namespace exporter {
namespace {

class XLSPagesOnTheWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        test::FillDataSet(ds, 2);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }
    TMemoryDataSet ds;
    TExporterDialog dialog;
    ScriptedDialogs services;
};

TEST_F(XLSPagesOnTheWindow, TheWorkbookPageEditsTheFormsCopy) {
    dialog.XLSOptions.PageFooter = "footer";
    TExporterDialogFormWindow form(dialog, &services);
    auto* page = form.findChild<QWidget*>(QStringLiteral("tshXLS"));
    ASSERT_NE(page, nullptr);
    EXPECT_NE(page->findChild<QTabWidget*>(QStringLiteral("pcXLS")), nullptr);
    TExportXLSPages& pages = form.XLSPages();
    EXPECT_EQ(pages.edXLSPageFooter->text(), QStringLiteral("footer"));
    ASSERT_EQ(pages.lstXLSFields->count(), int(form.FormState().AvailableFields.size()));
    EXPECT_EQ(pages.lstXLSFields->item(0)->text(),
              QString::fromStdString(form.FormState().AvailableFields[0].Caption));

    pages.edXLSSheetTitle->setText(QStringLiteral("Data"));
    pages.chXLSAutoCalcColWidth->click();
    pages.stripButtons[2]->click();
    EXPECT_EQ(form.FormState().XLS.SheetTitle(), "Data");
    EXPECT_TRUE(form.FormState().XLS.AutoCalcColWidth);
    EXPECT_EQ(form.FormState().XLS.StripType, ssRow);
    services.file = "/pictures/back.png";
    form.findChild<QPushButton*>(QStringLiteral("bXLSPageBackground"))->click();
    EXPECT_EQ(form.FormState().XLS.PageBackground, "/pictures/back.png");
    EXPECT_EQ(form.findChild<QLineEdit*>(QStringLiteral("edXLSPageBackground"))->text(),
              QStringLiteral("/pictures/back.png"));

    pages.pcXLSFormats->setCurrentIndex(1);
    pages.lstXLSOptions->clearSelection();
    pages.lstXLSOptions->item(4)->setSelected(true);
    pages.lstXLSOptions->setCurrentItem(pages.lstXLSOptions->item(4), QItemSelectionModel::NoUpdate);
    pages.lstXLSFieldsChange(pages.lstXLSOptions);
    pages.btnFontItalic->click();
    EXPECT_TRUE(form.FormState().XLS.HyperlinkFormat.Font.Has(xfsItalic));
    EXPECT_EQ(form.FormState().XLS.HyperlinkFormat.Font.Underline, fulSingle);
    // The component's own options are not touched before the export runs.
    EXPECT_FALSE(dialog.XLSOptions.HyperlinkFormat.Font.Has(xfsItalic));
}

} // namespace
} // namespace exporter
