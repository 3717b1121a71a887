#include "browser/lists/ImageList.h"

namespace browser {

ImageList::ImageList(const QString& name, QObject* parent, int width, int height)
    : QObject(parent), width_(width), height_(height) {
    setObjectName(name);
}

QIcon ImageList::icon(int index) const {
    if (index < 0 || index >= icons_.size())
        return QIcon();
    return icons_.at(index);
}

void ImageList::addStrip(const QPixmap& strip) {
    for (int x = 0; x + width_ <= strip.width(); x += width_)
        icons_.append(QIcon(strip.copy(x, 0, width_, qMin(height_, strip.height()))));
}

} // namespace browser
