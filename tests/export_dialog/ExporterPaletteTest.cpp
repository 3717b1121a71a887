// The palette picker: grid geometry, the choice by mouse, the picture of the grid and the run's result.

#include "export/dialog/ExporterPalette.h"

#include "export/dialog/ExporterDialogRoutines.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace exporter {
namespace {

TEST(XlsColorGrid, CellsAndTheColourUnderAPoint) {
    EXPECT_EQ(TxlsColorGrid::CellRect(0), QRect(0, 0, 22, 22));
    EXPECT_EQ(TxlsColorGrid::CellRect(9), QRect(22, 22, 22, 22));
    EXPECT_EQ(TxlsColorGrid::CellRect(39), QRect(154, 88, 22, 22));
    EXPECT_EQ(TxlsColorGrid::SwatchRect(9), QRect(25, 25, 16, 16));

    EXPECT_EQ(TxlsColorGrid::IndexAt(0, 0), clrBlack);
    EXPECT_EQ(TxlsColorGrid::IndexAt(21, 21), clrBlack);
    EXPECT_EQ(TxlsColorGrid::IndexAt(22, 0), clrBrown);
    EXPECT_EQ(TxlsColorGrid::IndexAt(50, 30), clrDarkYellow);
    EXPECT_EQ(TxlsColorGrid::IndexAt(175, 109), clrWhite);
}

TEST(XlsColorGrid, PointsBeyondTheGridChooseOnlyShownColours) {
    // The box's last pixel column belongs to the last column, not to the next row.
    EXPECT_EQ(TxlsColorGrid::IndexAt(176, 0), clrGray80Percent);
    EXPECT_EQ(TxlsColorGrid::IndexAt(176, 100), clrWhite);
    EXPECT_EQ(TxlsColorGrid::IndexAt(60, 500), clrLightYellow);
    EXPECT_EQ(TxlsColorGrid::IndexAt(-5, -5), clrBlack);
    EXPECT_EQ(TxlsColorGrid::IndexAt(-30, 30), clrDarkRed);
}

TEST(XlsColorGrid, ColourNames) {
    EXPECT_EQ(TxlsColorGrid::ColorName(0), "Black");
    EXPECT_EQ(TxlsColorGrid::ColorName(7), "Gray-80%");
    EXPECT_EQ(TxlsColorGrid::ColorName(35), "Liht Green");
    EXPECT_EQ(TxlsColorGrid::ColorName(39), "White");
    EXPECT_EQ(TxlsColorGrid::ColorName(40), "");
    EXPECT_EQ(TxlsColorGrid::ColorName(-1), "");
}

// The picker while it runs modally.
TfmExporterXLSColorEditor* RunningEditor() {
    if (auto* editor = qobject_cast<TfmExporterXLSColorEditor*>(QApplication::activeModalWidget()))
        return editor;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* editor = qobject_cast<TfmExporterXLSColorEditor*>(widget); editor && editor->isVisible())
            return editor;
    return nullptr;
}

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApplication(); }
};

TEST_F(PaletteTest, TheWindowHasItsControls) {
    TfmExporterXLSColorEditor editor;
    EXPECT_EQ(editor.windowTitle(), "Choose a color");
    EXPECT_EQ(editor.size(), QSize(177, 146));
    ASSERT_NE(editor.findChild<QWidget*>("pbColors"), nullptr);
    EXPECT_EQ(editor.pbColors->size(), QSize(177, 110));
    EXPECT_EQ(editor.bOk->text(), "OK");
    EXPECT_TRUE(editor.bOk->isDefault());
    EXPECT_EQ(editor.bCancel->text(), "Cancel");
}

TEST_F(PaletteTest, MouseChoosesAndHovers) {
    TfmExporterXLSColorEditor editor;
    editor.SetChosenColor(clrBlue);
    EXPECT_EQ(editor.ChosenColor(), clrBlue);

    editor.ColorsMouseMove(5, 50);
    EXPECT_EQ(editor.HoveredColor(), clrRed);
    EXPECT_EQ(editor.pbColors->toolTip(), "Red");
    EXPECT_EQ(editor.ChosenColor(), clrBlue); // hovering chooses nothing

    editor.ColorsMouseDown(5, 50);
    EXPECT_EQ(editor.ChosenColor(), clrRed);
    editor.ColorsMouseMove(176, 109);
    EXPECT_EQ(editor.pbColors->toolTip(), "White");
}

TEST_F(PaletteTest, TheGridShowsSwatchesAndFramesTheChosenCell) {
    TfmExporterXLSColorEditor editor;
    editor.SetChosenColor(clrTeal);
    const QImage image = editor.RenderColors();
    const QRgb face = editor.palette().color(QPalette::Button).rgb();
    for (int index = 0; index < TxlsColorGrid::ShownColors; ++index) {
        const QRect swatch = TxlsColorGrid::SwatchRect(index);
        EXPECT_EQ(image.pixel(swatch.center()), XlsColorToQColor(TxlsColor(index)).rgb()) << index;
        EXPECT_EQ(image.pixel(swatch.topLeft()), qRgb(0, 0, 0)) << index;
        EXPECT_EQ(image.pixel(swatch.bottomRight()), qRgb(0, 0, 0)) << index;
    }
    const QRect chosen = TxlsColorGrid::CellRect(clrTeal);
    EXPECT_EQ(image.pixel(chosen.topLeft()), editor.palette().color(QPalette::Shadow).rgb());
    EXPECT_EQ(image.pixel(chosen.bottomRight()), editor.palette().color(QPalette::Light).rgb());
    EXPECT_NE(image.pixel(chosen.topLeft()), image.pixel(chosen.bottomRight()));
    const QRect other = TxlsColorGrid::CellRect(clrBlue);
    EXPECT_EQ(image.pixel(other.topLeft()), face);
    EXPECT_EQ(image.pixel(other.bottomRight()), face);
    // The box's last pixel column lies beside the grid.
    EXPECT_EQ(image.pixel(176, 5), face);

    // The frame follows the choice.
    editor.ColorsMouseDown(other.left() + 5, other.top() + 5);
    const QImage after = editor.RenderColors();
    EXPECT_EQ(after.pixel(chosen.topLeft()), face);
    EXPECT_EQ(after.pixel(other.topLeft()), editor.palette().color(QPalette::Shadow).rgb());
}

TEST_F(PaletteTest, RunReturnsTheChoiceOnlyWhenAccepted) {
    auto clickAndClose = [](int x, int y, int result) {
        return [=](TfmExporterXLSColorEditor& editor) {
            editor.ColorsMouseDown(x, y);
            return result;
        };
    };
    EXPECT_EQ(RunXLSColorEditor(clrBlack, nullptr, clickAndClose(50, 30, QDialog::Accepted)), clrDarkYellow);
    EXPECT_EQ(RunXLSColorEditor(clrBlack, nullptr, clickAndClose(50, 30, QDialog::Rejected)), clrBlack);

    // The colour given is what the picker starts with, even one the grid does not show.
    TxlsColor seen = clrBlack;
    auto look = [&](TfmExporterXLSColorEditor& editor) {
        seen = editor.ChosenColor();
        return int(QDialog::Accepted);
    };
    EXPECT_EQ(RunXLSColorEditor(clrColor5, nullptr, look), clrColor5);
    EXPECT_EQ(seen, clrColor5);
}

TEST_F(PaletteTest, ModalRunClosesWithADoubleClick) {
    QTimer::singleShot(0, [] {
        auto* editor = RunningEditor();
        ASSERT_NE(editor, nullptr);
        const QPointF at(60, 60); // row 2, column 2
        const QPointF global = editor->pbColors->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(editor->pbColors, &press);
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(editor->pbColors, &twice);
    });
    EXPECT_EQ(RunXLSColorEditor(clrWhite), clrLime);
}

TEST_F(PaletteTest, ModalRunCancelKeepsTheColour) {
    QTimer::singleShot(0, [] {
        auto* editor = RunningEditor();
        ASSERT_NE(editor, nullptr);
        editor->ColorsMouseDown(60, 60);
        editor->bCancel->click();
    });
    EXPECT_EQ(RunXLSColorEditor(clrWhite), clrWhite);
}

} // namespace
} // namespace exporter
