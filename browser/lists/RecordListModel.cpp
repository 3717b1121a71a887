#include "browser/lists/RecordListModel.h"

#include "browser/lists/ImageList.h"

#include <algorithm>

namespace browser {

RecordListModel::RecordListModel(QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(std::move(headers)) {}

void RecordListModel::setImageLists(const ImageList* images, const ImageList* stateImages) {
    images_ = images;
    stateImages_ = stateImages;
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
        if (index.column() == 0)
            return QString::fromStdString(row.caption);
        const std::size_t item = static_cast<std::size_t>(index.column() - 1);
        return item < row.subItems.size() ? QString::fromStdString(row.subItems[item]) : QString();
    }
    case Qt::DecorationRole:
        if (index.column() != 0)
            return QVariant();
        if (stateImages_ && row.stateIndex >= 0 && !stateImages_->icon(row.stateIndex).isNull())
            return stateImages_->icon(row.stateIndex);
        if (images_ && row.imageIndex >= 0 && !images_->icon(row.imageIndex).isNull())
            return images_->icon(row.imageIndex);
        return QVariant();
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

QVariant RecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers_.size())
        return QVariant();
    return headers_.at(section);
}

void RecordListModel::appendRows(std::vector<RecordRow> rows) {
    if (rows.empty())
        return;
    beginInsertRows(QModelIndex(), count(), count() + static_cast<int>(rows.size()) - 1);
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
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
