#include "browser/lists/ColumnFit.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <memory>
#include <vector>

namespace browser {

namespace {

// Rows arriving in many small batches (a scan, a pane filled row by row) fit the columns this long
// after the first batch; while rows keep arriving, each further fit waits twice as long as the one
// before, up to the longest delay, so that a long scan spends little time on fitting.
constexpr int kFitDelayMs = 100;
constexpr int kLongestFitDelayMs = 2000;

} // namespace

namespace {

// At most this many texts are measured whole for one column; the rest are known by estimate.
constexpr std::size_t kMostMeasuredTexts = 256;

// The width of a UTF-8 text estimated as the sum of its characters' advances: printable ASCII
// characters by their own advance, any other character by the widest advance of the font, so that
// a text in another script is measured rather than overlooked.
class TextWidthEstimate {
public:
    explicit TextWidthEstimate(const QFontMetricsF& metrics) {
        other_ = metrics.maxWidth();
        for (int c = 0; c < 128; ++c) {
            advance_[c] = c >= 0x20 && c < 0x7F ? metrics.horizontalAdvance(QChar(c)) : 0.0;
            other_ = std::max(other_, advance_[c]);
        }
        for (int c = 0; c < 0x20; ++c)
            advance_[c] = other_;
        advance_[0x7F] = other_;
    }

    double operator()(std::string_view text) const {
        double width = 0;
        for (char c : text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x80)
                width += advance_[byte];
            else if ((byte & 0xC0) != 0x80) // the first byte of a character of several
                width += other_;
        }
        return width;
    }

    // The most a whole text can be wider than its estimate (kerning and rounding).
    static double slack(double estimate) { return 3.0 + estimate / 20.0; }

private:
    double advance_[128] = {};
    double other_ = 0;
};

int MeasuredWidth(const QFontMetrics& font, std::string_view text) {
    return font.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// Makes the view's own content measure look at the visible rows only while it lives.
class VisibleRowsMeasure {
public:
    explicit VisibleRowsMeasure(QHeaderView& header) : header_(header), precision_(header.resizeContentsPrecision()) {
        header_.setResizeContentsPrecision(0);
    }
    ~VisibleRowsMeasure() { header_.setResizeContentsPrecision(precision_); }
    VisibleRowsMeasure(const VisibleRowsMeasure&) = delete;
    VisibleRowsMeasure& operator=(const VisibleRowsMeasure&) = delete;

private:
    QHeaderView& header_;
    int precision_;
};

// The text of a cell of column through the model's shown text, for a model that is no
// ColumnTextSource; the view stays valid until the next call.
std::function<std::string_view(int)> DisplayTextsOf(const QAbstractItemModel& model, int column) {
    auto buffer = std::make_shared<QByteArray>();
    return [&model, column, buffer](int row) {
        *buffer = model.data(model.index(row, column), Qt::DisplayRole).toString().toUtf8();
        return std::string_view(buffer->constData(), static_cast<std::size_t>(buffer->size()));
    };
}

} // namespace

int WidestTextRow(int rowCount, const std::function<std::string_view(int)>& textOf, const QFont& shownFont,
                  int stopWidth) {
    if (rowCount <= 0)
        return -1;
    const QFontMetrics font(shownFont);
    const TextWidthEstimate estimate{QFontMetricsF(shownFont)};
    std::vector<float> estimates(static_cast<std::size_t>(rowCount));
    int widestEstimate = 0;
    for (int row = 0; row < rowCount; ++row) {
        estimates[static_cast<std::size_t>(row)] = static_cast<float>(estimate(textOf(row)));
        if (estimates[static_cast<std::size_t>(row)] > estimates[static_cast<std::size_t>(widestEstimate)])
            widestEstimate = row;
    }
    int widestRow = widestEstimate;
    int widest = MeasuredWidth(font, textOf(widestEstimate));
    // Only a text whose estimate plus its slack reaches the widest measured can be wider.
    std::vector<int> candidates;
    for (int row = 0; row < rowCount; ++row) {
        const double guess = estimates[static_cast<std::size_t>(row)];
        if (row != widestEstimate && guess + TextWidthEstimate::slack(guess) >= widest)
            candidates.push_back(row);
    }
    const auto wider = [&estimates](int a, int b) {
        return estimates[static_cast<std::size_t>(a)] > estimates[static_cast<std::size_t>(b)];
    };
    const std::size_t measured = std::min(candidates.size(), kMostMeasuredTexts);
    std::partial_sort(candidates.begin(), candidates.begin() + static_cast<std::ptrdiff_t>(measured),
                      candidates.end(), wider);
    for (std::size_t i = 0; i < measured && widest < stopWidth; ++i) {
        const int row = candidates[i];
        const double guess = estimates[static_cast<std::size_t>(row)];
        if (guess + TextWidthEstimate::slack(guess) < widest)
            break;
        const int width = MeasuredWidth(font, textOf(row));
        if (width > widest) {
            widest = width;
            widestRow = row;
        }
    }
    return widestRow;
}

void FitColumnsToContents(QTreeView& view, int maxWidth) {
    QHeaderView* header = view.header();
    const QAbstractItemModel* model = view.model();
    if (model == nullptr)
        return;
    const int rowCount = model->rowCount();
    // Up to the header's precision of rows the view measures every row itself; a longer list is
    // measured on its visible rows (for their pictures and indentation) and on its widest text.
    const bool longList = rowCount > header->resizeContentsPrecision() && header->resizeContentsPrecision() >= 0;
    const auto* texts = dynamic_cast<const ColumnTextSource*>(model);
    for (int column = 0; column < header->count(); ++column) {
        if (header->isSectionHidden(column))
            continue;
        int width = header->sectionSizeHint(column);
        if (!longList) {
            width = std::max(width, static_cast<const QAbstractItemView&>(view).sizeHintForColumn(column));
        } else {
            {
                const VisibleRowsMeasure visibleRows(*header);
                width = std::max(width, static_cast<const QAbstractItemView&>(view).sizeHintForColumn(column));
            }
            const std::function<std::string_view(int)> textOf =
                texts != nullptr ? std::function<std::string_view(int)>(
                                       [texts, column](int row) { return texts->cellText(row, column); })
                                 : DisplayTextsOf(*model, column);
            const int row = WidestTextRow(rowCount, textOf, view.font(), maxWidth);
            if (row >= 0) {
                const bool treeColumn = column == view.header()->logicalIndex(0) && view.rootIsDecorated();
                width = std::max(width, view.sizeHintForIndex(model->index(row, column)).width() +
                                            (treeColumn ? view.indentation() : 0));
            }
        }
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
    // A sort brings other rows to the top; the widths follow the whole list all the same.
    connect(model, &QAbstractItemModel::layoutChanged, this, [this, model] {
        if (model->rowCount() > 0)
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
