#pragma once

// The palette picker: a small modal window with the 40 named workbook colours in a grid of 8 x 5 cells.
// A click chooses a colour, a double click chooses and closes, the pointer's colour name shows as a hint.
// Every colour button of the dialog's workbook pages opens it through RunXLSColorEditor.

#include "export/xls/ExporterXLSColors.h"

#include <QDialog>

#include <functional>
#include <string>

class QImage;
class QPainter;
class QPushButton;
class QWidget;

namespace exporter {

// The grid's geometry and names.
class TxlsColorGrid {
public:
    static constexpr int CellSize = 22;
    static constexpr int Columns = 8;
    static constexpr int Rows = 5;
    static constexpr int ShownColors = Columns * Rows; // colours 0-39
    static constexpr int SwatchInset = 3;
    static constexpr int SwatchSize = 16;

    // The cell of colour index i: column i mod 8, row i div 8.
    static QRect CellRect(int index);
    // The swatch inside the cell.
    static QRect SwatchRect(int index);
    // The shown colour under the point; a point beyond the grid's edges takes the nearest cell, so that
    // only shown colours can be chosen.
    static TxlsColor IndexAt(int x, int y);
    // The name of a shown colour ("Black" ... "White"); empty for the others.
    static std::string ColorName(int index);
};

class TfmExporterXLSColorEditor : public QDialog {
    Q_OBJECT

public:
    explicit TfmExporterXLSColorEditor(QWidget* parent = nullptr);

    TxlsColor ChosenColor() const { return chosen_; }
    void SetChosenColor(TxlsColor color);
    // The colour under the pointer (the hint's colour).
    TxlsColor HoveredColor() const { return hovered_; }

    // The paint box's actions (its events forward here, tests call them directly).
    void ColorsMouseDown(int x, int y);
    void ColorsMouseMove(int x, int y);
    void ColorsDoubleClick();
    // Draws the grid and the chosen cell's frame.
    void PaintColors(QPainter& painter) const;
    // The paint box as it looks now.
    QImage RenderColors() const;

    QWidget* pbColors = nullptr;
    QPushButton* bOk = nullptr;
    QPushButton* bCancel = nullptr;

private:
    void PaintCell(QPainter& painter, int index) const;
    void PaintFrame(QPainter& painter, int index) const;

    TxlsColor chosen_ = clrBlack;
    TxlsColor hovered_ = clrBlack;
};

// Shows the picker; returns its modal result (QDialog::Accepted or Rejected). Tests pass a runner that
// works the picker and returns the result instead of running it modally.
using TXlsColorEditorRunner = std::function<int(TfmExporterXLSColorEditor& editor)>;

// Opens the picker on the colour; returns the chosen colour when it is closed with OK, else the colour
// given. Without a runner the picker runs modally.
TxlsColor RunXLSColorEditor(TxlsColor color, QWidget* owner = nullptr, const TXlsColorEditorRunner& run = {});

} // namespace exporter
