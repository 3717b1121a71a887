#include "export/dialog/ExporterPalette.h"

#include "export/dialog/ExporterDialogRoutines.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QToolTip>
#include <QWidget>

#include <algorithm>
#include <array>

namespace exporter {

namespace {

constexpr std::array<const char*, TxlsColorGrid::ShownColors> ColorNames = {
    "Black",      "Brown",           "Olive Green", "Dark Green",   "Dark Teal", "Dark Blue", "Indigo",
    "Gray-80%",   "Dark Red",        "Orange",      "Dark Yellow",  "Green",     "Teal",      "Blue",
    "Blue-Gray",  "Gray-50%",        "Red",         "Light Orange", "Lime",      "Sea Green", "Aqua",
    "Light Blue", "Violet",          "Gray-40%",    "Pink",         "Gold",      "Yellow",    "Bright Green",
    "Turquoise",  "Sky Blue",        "Plum",        "Gray-25%",     "Rose",      "Tan",       "Light Yellow",
    "Liht Green", "Light Turquoise", "Pale Blue",   "Lavender",     "White"};

constexpr int BoxWidth = 177;
constexpr int BoxHeight = 110;

// The paint box of the grid: paints through the picker and hands it the mouse.
class TxlsColorBox : public QWidget {
public:
    TxlsColorBox(TfmExporterXLSColorEditor& editor, QWidget* parent) : QWidget(parent), editor_(editor) {
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        editor_.PaintColors(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint pos = event->position().toPoint();
        editor_.ColorsMouseDown(pos.x(), pos.y());
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint pos = event->position().toPoint();
        editor_.ColorsMouseMove(pos.x(), pos.y());
    }
    void mouseDoubleClickEvent(QMouseEvent*) override { editor_.ColorsDoubleClick(); }

private:
    TfmExporterXLSColorEditor& editor_;
};

} // namespace

// --- grid ---

QRect TxlsColorGrid::CellRect(int index) {
    const int column = index % Columns;
    const int row = index / Columns;
    return QRect(CellSize * column, CellSize * row, CellSize, CellSize);
}

QRect TxlsColorGrid::SwatchRect(int index) {
    const QRect cell = CellRect(index);
    return QRect(cell.left() + SwatchInset, cell.top() + SwatchInset, SwatchSize, SwatchSize);
}

TxlsColor TxlsColorGrid::IndexAt(int x, int y) {
    // A point left of or above the box (the pointer moved with the button held) counts as the first
    // column or row; the box's last pixel column and anything below the grid count as the last.
    const int column = std::clamp(x < 0 ? 0 : x / CellSize, 0, Columns - 1);
    const int row = std::clamp(y < 0 ? 0 : y / CellSize, 0, Rows - 1);
    return static_cast<TxlsColor>(row * Columns + column);
}

std::string TxlsColorGrid::ColorName(int index) {
    return index >= 0 && index < ShownColors ? ColorNames[std::size_t(index)] : "";
}

// --- picker ---

TfmExporterXLSColorEditor::TfmExporterXLSColorEditor(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("fmExporterXLSColorEditor"));
    setWindowTitle(QStringLiteral("Choose a color"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(177, 146);

    pbColors = new TxlsColorBox(*this, this);
    pbColors->setObjectName(QStringLiteral("pbColors"));
    pbColors->setGeometry(0, 0, BoxWidth, BoxHeight);

    bOk = new QPushButton(QStringLiteral("OK"), this);
    bOk->setObjectName(QStringLiteral("bOk"));
    bOk->setGeometry(12, 116, 75, 25);
    bOk->setDefault(true);
    connect(bOk, &QPushButton::clicked, this, &QDialog::accept);

    bCancel = new QPushButton(QStringLiteral("Cancel"), this);
    bCancel->setObjectName(QStringLiteral("bCancel"));
    bCancel->setGeometry(90, 116, 75, 25);
    connect(bCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfmExporterXLSColorEditor::SetChosenColor(TxlsColor color) {
    chosen_ = XlsColorFromOrdinal(color);
    pbColors->update();
}

void TfmExporterXLSColorEditor::ColorsMouseDown(int x, int y) {
    chosen_ = TxlsColorGrid::IndexAt(x, y);
    pbColors->update();
}

void TfmExporterXLSColorEditor::ColorsMouseMove(int x, int y) {
    const TxlsColor index = TxlsColorGrid::IndexAt(x, y);
    if (index == hovered_ && !pbColors->toolTip().isEmpty())
        return;
    hovered_ = index;
    const QString name = QString::fromStdString(TxlsColorGrid::ColorName(index));
    pbColors->setToolTip(name);
    if (pbColors->isVisible())
        QToolTip::showText(pbColors->mapToGlobal(QPoint(x, y)), name, pbColors);
}

void TfmExporterXLSColorEditor::ColorsDoubleClick() {
    accept();
}

void TfmExporterXLSColorEditor::PaintCell(QPainter& painter, int index) const {
    painter.fillRect(TxlsColorGrid::CellRect(index), palette().color(QPalette::Button));
    const QRect swatch = TxlsColorGrid::SwatchRect(index);
    painter.fillRect(swatch, XlsColorToQColor(static_cast<TxlsColor>(index)));
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1)); // the outline on the swatch's outer pixels
}

void TfmExporterXLSColorEditor::PaintFrame(QPainter& painter, int index) const {
    if (index >= TxlsColorGrid::ShownColors)
        return; // a colour the grid does not show has no cell to frame
    const QRect cell = TxlsColorGrid::CellRect(index);
    // A sunken edge: dark on the left and top, light on the right and bottom.
    painter.setPen(palette().color(QPalette::Shadow));
    painter.drawLine(cell.topLeft(), cell.topRight());
    painter.drawLine(cell.topLeft(), cell.bottomLeft());
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(cell.bottomLeft(), cell.bottomRight());
    painter.drawLine(cell.topRight(), cell.bottomRight());
}

void TfmExporterXLSColorEditor::PaintColors(QPainter& painter) const {
    painter.fillRect(0, 0, BoxWidth, BoxHeight, palette().color(QPalette::Button));
    for (int index = 0; index < TxlsColorGrid::ShownColors; ++index)
        PaintCell(painter, index);
    PaintFrame(painter, chosen_);
}

QImage TfmExporterXLSColorEditor::RenderColors() const {
    QImage image(BoxWidth, BoxHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    PaintColors(painter);
    return image;
}

TxlsColor RunXLSColorEditor(TxlsColor color, QWidget* owner, const TXlsColorEditorRunner& run) {
    TfmExporterXLSColorEditor editor(owner);
    editor.SetChosenColor(color);
    const int result = run ? run(editor) : editor.exec();
    return result == QDialog::Accepted ? editor.ChosenColor() : color;
}

} // namespace exporter
