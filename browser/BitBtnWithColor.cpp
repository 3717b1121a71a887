#include "browser/BitBtnWithColor.h"

#include <QPalette>

namespace browser {

TBitBtnWithColor::TBitBtnWithColor(const QString& text, QWidget* parent)
    : QPushButton(text, parent), color_(palette().color(QPalette::Button)) {}

void TBitBtnWithColor::SetColor(const QColor& color) {
    color_ = color;
    QPalette face = palette();
    face.setColor(QPalette::Button, color);
    setPalette(face);
    setAutoFillBackground(true);
    update();
}

} // namespace browser
