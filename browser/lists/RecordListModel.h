#pragma once

#include "browser/lists/ColumnFit.h"
#include "browser/records/RecordRow.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QStringList>

#include <functional>
#include <vector>

namespace browser {

class ImageList;

// The rows of one record list ("DNS", "REV-DNS" or "DHCP") for a list view. Column 0 shows the
// row's caption, column k its sub-item k - 1; sub-items beyond the shown columns (the object
// name) stay hidden. Rows live in one vector, so that 100,000 of them fill, sort and scroll fast.
class RecordListModel : public QAbstractTableModel, public ColumnTextSource {
    Q_OBJECT
public:
    // Extra roles: the row's image and state image indexes and its row reference.
    enum Role { ImageIndexRole = Qt::UserRole + 1, StateIndexRole, RowReferenceRole };

    explicit RecordListModel(QStringList headers, QObject* parent = nullptr);

    // Images for the caption column (by image index) and state images (by state index); either
    // may be null. With state images, the caption column shows the state image and the record
    // image side by side (the view's icon size should hold both).
    void setImageLists(const ImageList* images, const ImageList* stateImages);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The shown text of a cell, as data() gives it.
    std::string_view cellText(int row, int column) const override;
    // The caption column shows the row's images, when it has any.
    bool cellHasPicture(int row, int column) const override;
    // The text a row shows in a column: its caption in column 0, sub-item column - 1 in the others.
    static std::string_view rowCellText(const RecordRow& row, int column) {
        if (column == 0)
            return row.caption;
        const std::size_t item = static_cast<std::size_t>(column - 1);
        return item < row.subItems.size() ? std::string_view(row.subItems[item]) : std::string_view();
    }

    int count() const { return static_cast<int>(rows_.size()); }
    const RecordRow& row(int index) const { return rows_.at(index); }
    const std::vector<RecordRow>& rows() const { return rows_; }

    // Appends rows in order (one insertion for the whole batch).
    void appendRows(std::vector<RecordRow> rows);
    // Moves the rows of [first, last) to the end in order (one insertion for them all).
    void appendRows(std::vector<RecordRow>::iterator first, std::vector<RecordRow>::iterator last);
    void appendRow(RecordRow row);
    // Replaces the row at index and refreshes its cells.
    void setRow(int index, RecordRow row);
    void removeRowAt(int index);
    // Removes every row for which drop answers true, keeping the others in order; the number removed.
    int removeRowsIf(const std::function<bool(const RecordRow&)>& drop);
    void clear();
    // Empties the list and hands over its rows.
    std::vector<RecordRow> takeRows();
    // Stable sort by a three-way comparison (negative: a before b); persistent indexes follow.
    void sortRows(const std::function<int(const RecordRow&, const RecordRow&)>& compare);
    // Puts the rows in a new order: order[i] is the old position of the row that goes to i (a
    // permutation of 0 .. count - 1); persistent indexes follow.
    void applyOrder(const std::vector<int>& order);

    // While on, a row's tool tip is its object name (the last sub-item).
    void setObjectNameTips(bool on) { objectNameTips_ = on; }
    bool objectNameTips() const { return objectNameTips_; }

private:
    QVariant decoration(const RecordRow& row) const;

    QStringList headers_;
    std::vector<RecordRow> rows_;
    const ImageList* images_ = nullptr;
    const ImageList* stateImages_ = nullptr;
    bool objectNameTips_ = false;
    // The pictures of state and record image side by side, by their pair of indexes.
    mutable QHash<int, QIcon> decorations_;
};

} // namespace browser
