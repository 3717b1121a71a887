#include "browser/forms/StateImages.h"

#include "browser/lists/ImageList.h"

#include <QPainter>
#include <QPixmap>

#include <cstring>
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

void FillRecordImages(ImageList& images) {
    if (images.count() > 0) {
        return;
    }
    // Per image number: the record type's letters and colour (Rec Type column of the DNS list).
    // 16 and 18 stand for a collection that has run (green), 17 and 19 for one pending (amber):
    // the collect buttons show them.
    struct Badge {
        const char* letters;
        QColor colour;
    };
    const Badge badges[kRecordImageCount] = {
        {"v6", QColor(0, 110, 160)},  {"IS", QColor(120, 90, 60)},  {"X", QColor(120, 90, 60)},
        {"WK", QColor(90, 90, 140)},  {"A", QColor(30, 90, 200)},   {"?", QColor(128, 128, 128)},
        {"CN", QColor(140, 60, 170)}, {"TX", QColor(90, 110, 110)}, {"RT", QColor(160, 80, 40)},
        {"MX", QColor(190, 40, 40)},  {"PX", QColor(160, 80, 40)},  {"MG", QColor(170, 60, 110)},
        {"MB", QColor(170, 60, 110)}, {"NS", QColor(20, 130, 120)}, {"HI", QColor(100, 100, 40)},
        {"MR", QColor(170, 60, 110)}, {"MI", QColor(0, 150, 0)},    {"RP", QColor(225, 140, 0)},
        {"SR", QColor(0, 150, 0)},    {"PT", QColor(225, 140, 0)},
    };
    const int w = images.width();
    const int h = images.height();
    for (const Badge& badge : badges) {
        images.add(Picture(w, h, [&](QPainter& p) {
            p.setPen(badge.colour.darker(140));
            p.setBrush(badge.colour);
            p.drawRoundedRect(QRectF(0.5, 1.5, w - 1.0, h - 3.0), 3, 3);
            QFont font = p.font();
            font.setBold(true);
            font.setPixelSize(std::strlen(badge.letters) > 1 ? 8 : 11);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QString::fromLatin1(badge.letters));
        }));
    }
}

} // namespace browser
