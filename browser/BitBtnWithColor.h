#pragma once

#include <QColor>
#include <QPushButton>

namespace browser {

// A push button whose face is painted in a chosen colour.
class TBitBtnWithColor : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor Color READ Color WRITE SetColor)
public:
    explicit TBitBtnWithColor(const QString& text, QWidget* parent = nullptr);

    QColor Color() const { return color_; }
    void SetColor(const QColor& color);

private:
    QColor color_;
};

} // namespace browser
