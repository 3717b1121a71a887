#pragma once

// Sizes the columns of a list view to their content whenever rows arrive or are sorted, until the
// user drags a column border; the user's widths then stay until the list is emptied and filled again.

#include <QObject>

#include <string_view>
#include <vector>

class QFont;
class QTimer;
class QTreeView;

namespace browser {

// Columns never open wider than this, so that one long text does not push the others away.
inline constexpr int kMaxFittedColumnWidth = 360;

// A model that hands out the shown text of a cell as UTF-8 without making a QVariant per cell, so
// that the widest text of a list of 100,000 rows is found fast.
class ColumnTextSource {
public:
    virtual ~ColumnTextSource() = default;
    virtual std::string_view cellText(int row, int column) const = 0;
    // True when the view draws a picture beside the cell's text.
    virtual bool cellHasPicture(int, int) const { return false; }
};

// The rows of a column whose texts are the widest in the font: of the rows whose cell shows a
// picture beside its text and of the others, since a picture can make a shorter text the wider
// cell (-1 where a kind has no row).
struct WidestRows {
    int plain = -1;
    int pictured = -1;
    bool operator==(const WidestRows&) const = default;
};

// For each of the columns, its widest rows of rowCount. Every text is first estimated from the
// widths of its characters, reading the rows one after the other; only the texts whose estimates
// come near the widest of their kind are measured as a whole. A kind's search ends early at a text
// of stopWidth pixels or more.
std::vector<WidestRows> WidestTextRows(const ColumnTextSource& texts, int rowCount,
                                       const std::vector<int>& columns, const QFont& font, int stopWidth);

// Sets every column of the view to the width its header and the widest cell of all its rows need
// (its text with what the view draws beside it: picture, margins, a tree column's indentation), at
// most maxWidth.
void FitColumnsToContents(QTreeView& view, int maxWidth = kMaxFittedColumnWidth);

// Watches a view's model: rows inserted into it (a fill, or a batch of one) or sorted fit the columns
// a tenth of a second later, on the window's events (later while rows keep arriving, at most two seconds),
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
