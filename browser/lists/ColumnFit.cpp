#include "browser/lists/ColumnFit.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

#include <algorithm>

namespace browser {

namespace {

// Rows arriving in many small batches (a scan, a pane filled row by row) fit the columns this long
// after the first batch; while rows keep arriving, each further fit waits twice as long as the one
// before, up to the longest delay, so that a long scan spends little time on fitting.
constexpr int kFitDelayMs = 100;
constexpr int kLongestFitDelayMs = 2000;

} // namespace

void FitColumnsToContents(QTreeView& view, int maxWidth) {
    QHeaderView* header = view.header();
    if (view.model() == nullptr)
        return;
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        // sizeHintForColumn measures at most the header's precision of rows around the visible ones,
        // so that a list of 100,000 rows fits as fast as a short one.
        const int width = std::max(static_cast<const QAbstractItemView&>(view).sizeHintForColumn(column),
                                   header->sectionSizeHint(column));
        header->resizeSection(column, std::min(width, maxWidth));
    }
}

ColumnFitter::ColumnFitter(QTreeView& view, int maxWidth)
    : QObject(&view), view_(view), maxWidth_(maxWidth), timer_(new QTimer(this)) {
    setObjectName(QStringLiteral("ColumnFitter"));
    timer_->setSingleShot(true);
    timer_->setInterval(kFitDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] {
        pending_ = false;
        fitNow();
        timer_->setInterval(std::min(timer_->interval() * 2, kLongestFitDelayMs));
    });
    QHeaderView* header = view.header();
    header->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionResized, this, [this] {
        if (!fitting_ && dragging_)
            userSized_ = true;
    });
    connect(header, &QHeaderView::sectionHandleDoubleClicked, this, [this] { userSized_ = true; });
    watchModel();
}

void ColumnFitter::watchModel() {
    QAbstractItemModel* model = view_.model();
    if (model == nullptr)
        return;
    connect(model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex& parent) {
        if (!parent.isValid())
            rowsArrived();
    });
    // The model, not the view: a list view empties its model while it is being destroyed.
    connect(model, &QAbstractItemModel::modelReset, this, [this, model] {
        listEmptied();
        if (model->rowCount() > 0)
            rowsArrived();
    });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this, model](const QModelIndex& parent) {
        if (!parent.isValid() && model->rowCount() == 0)
            listEmptied();
    });
}

void ColumnFitter::rowsArrived() {
    if (userSized_ || pending_)
        return;
    pending_ = true;
    timer_->start();
}

void ColumnFitter::listEmptied() {
    userSized_ = false;
    timer_->setInterval(kFitDelayMs);
}

void ColumnFitter::fitNow() {
    if (userSized_)
        return;
    fitting_ = true;
    FitColumnsToContents(view_, maxWidth_);
    fitting_ = false;
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        dragging_ = true;
    else if (event->type() == QEvent::MouseButtonRelease)
        dragging_ = false;
    return QObject::eventFilter(watched, event);
}

} // namespace browser
