#include "browser/lists/RecordListModel.h"

#include "browser/lists/ImageList.h"

#include <QPainter>
#include <QPixmap>

#include <algorithm>

namespace browser {

RecordListModel::RecordListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void RecordListModel::setImageLists(const ImageList* images, const ImageList* stateImages) {
    images_ = images;
    stateImages_ = stateImages;
    decorations_.clear();
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(count() - 1, 0), {Qt::DecorationRole});
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

int RecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const RecordRow& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        const std::string_view text = cellText(index.row(), index.column());
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    case Qt::DecorationRole:
        if (index.column() != 0)
            return QVariant();
        return decoration(row);
    case Qt::ToolTipRole:
        if (!objectNameTips_)
            return QVariant();
        return QString::fromStdString(row.ObjectName());
    case ImageIndexRole:
        return row.imageIndex;
    case StateIndexRole:
        return row.stateIndex;
    case RowReferenceRole:
        return row.rowReference;
    default:
        return QVariant();
    }
}

std::string_view RecordListModel::cellText(int row, int column) const {
    return rowCellText(rows_[static_cast<std::size_t>(row)], column);
}

bool RecordListModel::cellHasPicture(int row, int column) const {
    if (column != 0)
        return false;
    const RecordRow& shown = rows_[static_cast<std::size_t>(row)];
    return (images_ != nullptr && !images_->icon(shown.imageIndex).isNull()) ||
           (stateImages_ != nullptr && !stateImages_->icon(shown.stateIndex).isNull());
}

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return QVariant();
    return headers_.at(section);
}

QVariant RecordListModel::decoration(const RecordRow& row) const {
    const QIcon image = images_ ? images_->icon(row.imageIndex) : QIcon();
    if (stateImages_ == nullptr)
        return image.isNull() ? QVariant() : QVariant(image);
    const QIcon state = stateImages_->icon(row.stateIndex);
    if (image.isNull() && state.isNull())
        return QVariant();
    // The state image stands left of the record image, each in its own place, so that the record
    // images of all rows line up whether a row has a state image or not.
    const int key = (row.stateIndex + 1) * 1024 + (row.imageIndex + 1);
    auto found = decorations_.find(key);
    if (found == decorations_.end()) {
        const int stateWidth = stateImages_->width();
        const int imageWidth = images_ ? images_->width() : 0;
        const int height = std::max(stateImages_->height(), images_ ? images_->height() : 0);
        QPixmap both(stateWidth + imageWidth, height);
        both.fill(Qt::transparent);
        QPainter painter(&both);
        if (!state.isNull())
            painter.drawPixmap(0, 0, state.pixmap(stateWidth, stateImages_->height()));
        if (!image.isNull())
            painter.drawPixmap(stateWidth, 0, image.pixmap(imageWidth, images_->height()));
        painter.end();
        found = decorations_.insert(key, QIcon(both));
    }
    return *found;
}

void RecordListModel::appendRows(std::vector<RecordRow> rows) {
    appendRows(rows.begin(), rows.end());
}

void RecordListModel::appendRows(std::vector<RecordRow>::iterator first,
                                 std::vector<RecordRow>::iterator last) {
    if (first == last)
        return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(last - first) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(first), std::make_move_iterator(last));
    endInsertRows();
}

void RecordListModel::appendRow(RecordRow row) {
    beginInsertRows(QModelIndex(), count(), count());
    rows_.push_back(std::move(row));
    endInsertRows();
}

void RecordListModel::setRow(int index, RecordRow row) {
    rows_.at(static_cast<std::size_t>(index)) = std::move(row);
    emit dataChanged(this->index(index, 0), this->index(index, columnCount() - 1));
}

void RecordListModel::removeRowAt(int index) {
    if (index < 0 || index >= count())
        return;
    beginRemoveRows(QModelIndex(), index, index);
    rows_.erase(rows_.begin() + index);
    endRemoveRows();
}

int RecordListModel::removeRowsIf(const std::function<bool(const RecordRow&)>& drop) {
    const auto kept = std::stable_partition(rows_.begin(), rows_.end(),
                                            [&drop](const RecordRow& row) { return !drop(row); });
    const int removed = static_cast<int>(rows_.end() - kept);
    if (removed > 0) {
        beginResetModel();
        rows_.erase(kept, rows_.end());
        endResetModel();
    }
    return removed;
}

std::vector<RecordRow> RecordListModel::takeRows() {
    std::vector<RecordRow> rows;
    if (rows_.empty())
        return rows;
    beginResetModel();
    rows.swap(rows_);
    endResetModel();
    return rows;
}

void RecordListModel::clear() {
    if (rows_.empty())
        return;
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void RecordListModel::sortRows(const std::function<int(const RecordRow&, const RecordRow&)>& compare) {
    std::vector<int> order(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return compare(rows_[static_cast<std::size_t>(a)], rows_[static_cast<std::size_t>(b)]) < 0;
    });
    applyOrder(order);
}

void RecordListModel::applyOrder(const std::vector<int>& order) {
    if (rows_.size() < 2 || order.size() != rows_.size())
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<RecordRow> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newPosition(rows_.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted.push_back(std::move(rows_[static_cast<std::size_t>(order[i])]));
        newPosition[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
    }
    rows_ = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after << index(newPosition[static_cast<std::size_t>(old.row())], old.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace browser
