#include "browser/forms/StateImages.h"

#include "browser/lists/ImageList.h"

#include <QPainter>
#include <QPixmap>

#include <functional>

namespace browser {

namespace {

QIcon Picture(int width, int height, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace

void FillStateImages(ImageList& images) {
    if (images.count() > 0) {
        return;
    }
    const int w = images.width();
    const int h = images.height();
    const QRect box(2, 2, w - 5, h - 5);
    images.add(Picture(w, h, [](QPainter&) {}));
    images.add(Picture(w, h, [&](QPainter& p) {
        p.setPen(Qt::darkGray);
        p.setBrush(Qt::white);
        p.drawRect(box);
    }));
    images.add(Picture(w, h, [&](QPainter& p) {
        p.setPen(Qt::darkGray);
        p.setBrush(Qt::white);
        p.drawRect(box);
        p.setPen(QPen(Qt::darkGreen, 2));
        p.drawLine(box.left() + 2, box.center().y(), box.center().x(), box.bottom() - 2);
        p.drawLine(box.center().x(), box.bottom() - 2, box.right() - 2, box.top() + 2);
    }));
    images.add(Picture(w, h, [&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::darkBlue);
        p.drawEllipse(box.adjusted(3, 3, -3, -3));
    }));
    images.add(Picture(w, h, [&](QPainter& p) {
        p.setPen(QPen(Qt::darkGreen, 2));
        p.setBrush(QColor(0, 160, 0));
        p.drawPolygon(QPolygon({QPoint(w / 2, 1), QPoint(w - 3, h - 5), QPoint(2, h - 5)}));
        p.drawLine(w / 2, h - 5, w / 2, h - 1);
    }));
}

void FillAgeImages(ImageList& images) {
    if (images.count() > 0) {
        return;
    }
    const int w = images.width();
    const int h = images.height();
    for (int age = 0; age <= 6; ++age) {
        const QColor colour = QColor::fromHsv(120 - age * 20, 220, 220);
        images.add(Picture(w, h, [&](QPainter& p) {
            p.setPen(colour.darker(150));
            p.setBrush(colour);
            p.drawEllipse(QRect(3, 3, w - 7, h - 7));
        }));
    }
}

} // namespace browser
