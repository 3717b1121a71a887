#pragma once

// List-view and string-grid sources over Qt item models (the browser's record lists are
// QAbstractItemModels). A view, when given, supplies column widths, the font for measuring, the selection
// and the current row; without one, columns are 100 pixels wide and texts measure 8 pixels a character.

#include "export/core/ExporterSources.h"

#include <QPointer>

class QAbstractItemModel;
class QAbstractItemView;

namespace exporter {

// Rows of the model are the items; model column 0 is the caption, column k the sub-item k - 1; the
// horizontal header gives the column captions.
class TModelListView : public TExportListView {
public:
    explicit TModelListView(QAbstractItemModel* model, QAbstractItemView* view = nullptr);

    int ColumnCount() const override;
    std::string ColumnCaption(int column) const override;
    int ColumnWidth(int column) const override;
    int ItemCount() const override;
    std::string ItemText(int item, int column) const override;
    int SelectedIndex() const override;
    void FocusItem(int item) override;
    void BeginUpdate() override;
    void EndUpdate() override;
    int TextWidth(const std::string& text) const override;

private:
    QPointer<QAbstractItemModel> model_;
    QPointer<QAbstractItemView> view_;
    int updates_ = 0;
};

// Every model row is a grid row; the first fixedRows rows are the fixed (caption) rows. The current row
// is the view's current row when a view is given, else kept here.
class TModelStringGrid : public TExportStringGrid {
public:
    TModelStringGrid(QAbstractItemModel* model, int fixedRows, QAbstractItemView* view = nullptr);

    int ColCount() const override;
    int RowCount() const override;
    int FixedRows() const override { return fixedRows_; }
    int Row() const override;
    void SetRow(int row) override;
    std::string Cell(int col, int row) const override;
    int ColWidth(int col) const override;
    int TextWidth(const std::string& text) const override;

private:
    QPointer<QAbstractItemModel> model_;
    QPointer<QAbstractItemView> view_;
    int fixedRows_;
    int row_;
};

} // namespace exporter
