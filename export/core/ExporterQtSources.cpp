#include "export/core/ExporterQtSources.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

namespace exporter {

namespace {

constexpr int kDefaultColumnWidth = 100;

std::string ToUtf8(const QVariant& value) {
    return value.toString().toStdString();
}

int ViewColumnWidth(const QAbstractItemView* view, int column) {
    if (const auto* tree = qobject_cast<const QTreeView*>(view))
        return tree->columnWidth(column);
    if (const auto* table = qobject_cast<const QTableView*>(view))
        return table->columnWidth(column);
    return kDefaultColumnWidth;
}

int ViewTextWidth(const QAbstractItemView* view, const std::string& text) {
    if (!view)
        return 8 * int(QString::fromStdString(text).size());
    return view->fontMetrics().horizontalAdvance(QString::fromStdString(text));
}

} // namespace

TModelListView::TModelListView(QAbstractItemModel* model, QAbstractItemView* view)
    : model_(model), view_(view) {}

int TModelListView::ColumnCount() const {
    return model_ ? model_->columnCount() : 0;
}

std::string TModelListView::ColumnCaption(int column) const {
    return model_ ? ToUtf8(model_->headerData(column, Qt::Horizontal, Qt::DisplayRole)) : std::string();
}

int TModelListView::ColumnWidth(int column) const {
    return view_ ? ViewColumnWidth(view_, column) : kDefaultColumnWidth;
}

int TModelListView::ItemCount() const {
    return model_ ? model_->rowCount() : 0;
}

std::string TModelListView::ItemText(int item, int column) const {
    if (!model_ || item < 0 || item >= model_->rowCount() || column < 0 || column >= model_->columnCount())
        return {};
    return ToUtf8(model_->data(model_->index(item, column), Qt::DisplayRole));
}

int TModelListView::SelectedIndex() const {
    if (!view_ || !view_->selectionModel())
        return -1;
    const QModelIndexList rows = view_->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& index : rows)
        if (first < 0 || index.row() < first)
            first = index.row();
    return first;
}

void TModelListView::FocusItem(int item) {
    if (view_ && model_ && item >= 0 && item < model_->rowCount() && view_->selectionModel())
        view_->selectionModel()->setCurrentIndex(model_->index(item, 0), QItemSelectionModel::NoUpdate);
}

void TModelListView::BeginUpdate() {
    if (view_ && updates_++ == 0)
        view_->setUpdatesEnabled(false);
}

void TModelListView::EndUpdate() {
    if (view_ && updates_ > 0 && --updates_ == 0)
        view_->setUpdatesEnabled(true);
}

int TModelListView::TextWidth(const std::string& text) const {
    return ViewTextWidth(view_, text);
}

TModelStringGrid::TModelStringGrid(QAbstractItemModel* model, int fixedRows, QAbstractItemView* view)
    : model_(model), view_(view), fixedRows_(fixedRows), row_(fixedRows) {}

int TModelStringGrid::ColCount() const {
    return model_ ? model_->columnCount() : 0;
}

int TModelStringGrid::RowCount() const {
    return model_ ? model_->rowCount() : 0;
}

int TModelStringGrid::Row() const {
    if (view_ && view_->selectionModel() && view_->currentIndex().isValid())
        return view_->currentIndex().row();
    return row_;
}

void TModelStringGrid::SetRow(int row) {
    row_ = row;
    if (view_ && model_ && view_->selectionModel() && row >= 0 && row < model_->rowCount())
        view_->selectionModel()->setCurrentIndex(model_->index(row, 0), QItemSelectionModel::NoUpdate);
}

std::string TModelStringGrid::Cell(int col, int row) const {
    if (!model_ || row < 0 || row >= model_->rowCount() || col < 0 || col >= model_->columnCount())
        return {};
    return ToUtf8(model_->data(model_->index(row, col), Qt::DisplayRole));
}

int TModelStringGrid::ColWidth(int col) const {
    return view_ ? ViewColumnWidth(view_, col) : kDefaultColumnWidth;
}

int TModelStringGrid::TextWidth(const std::string& text) const {
    return ViewTextWidth(view_, text);
}

} // namespace exporter
