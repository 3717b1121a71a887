#pragma once

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>

namespace browser {

// A numbered set of small images that lists and buttons refer to by index.
class ImageList : public QObject {
    Q_OBJECT
public:
    explicit ImageList(const QString& name, QObject* parent = nullptr, int width = 16, int height = 16);

    int width() const { return width_; }
    int height() const { return height_; }
    int count() const { return static_cast<int>(icons_.size()); }
    // The image at index; a null icon for an index outside the list.
    QIcon icon(int index) const;

    void add(const QIcon& icon) { icons_.append(icon); }
    // Cuts a strip of images lying side by side into images of the list's width.
    void addStrip(const QPixmap& strip);
    void clear() { icons_.clear(); }

private:
    int width_;
    int height_;
    QList<QIcon> icons_;
};

} // namespace browser
