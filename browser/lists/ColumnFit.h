#pragma once

// Sizes the columns of a list view to their content whenever rows arrive, until the user drags a
// column border; the user's widths then stay until the list is emptied and filled again.

#include <QObject>

class QTimer;
class QTreeView;

namespace browser {

// Columns never open wider than this, so that one long text does not push the others away.
inline constexpr int kMaxFittedColumnWidth = 360;

// Sets every column of the view to the width its header and rows need, at most maxWidth.
void FitColumnsToContents(QTreeView& view, int maxWidth = kMaxFittedColumnWidth);

// Watches a view's model: rows inserted into it (a fill, or a batch of one) fit the columns a tenth
// of a second later, on the window's events (later while rows keep arriving, at most two seconds),
// unless the user has resized a column since the list was last emptied. Owned by the view.
class ColumnFitter : public QObject {
    Q_OBJECT
public:
    explicit ColumnFitter(QTreeView& view, int maxWidth = kMaxFittedColumnWidth);

    // True once the user has dragged a column border since the list was last emptied.
    bool userSized() const { return userSized_; }
    // Fits the columns now, unless the user has sized them.
    void fitNow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watchModel();
    void rowsArrived();
    void listEmptied();

    QTreeView& view_;
    int maxWidth_;
    QTimer* timer_;
    bool userSized_ = false;
    bool fitting_ = false;
    bool dragging_ = false;
    bool pending_ = false;
};

} // namespace browser
