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
#include <cmath>
#include <cstdint>
#include <vector>

namespace browser {

namespace {

// Rows arriving in many small batches (a scan, a pane filled row by row) fit the columns this long
// after the first batch; while rows keep arriving, each further fit waits twice as long as the one
// before, up to the longest delay, so that a long scan spends little time on fitting.
constexpr int kFitDelayMs = 100;
constexpr int kLongestFitDelayMs = 2000;

// At most this many texts of a column are measured whole; the rest are known by estimate.
constexpr std::size_t kMostMeasuredTexts = 64;

// The width of a UTF-8 text estimated as the sum of its characters' advances, in 1/64 pixel:
// printable ASCII characters by their own advance, any other character by the widest advance of
// the font, so that a text in another script is measured rather than overlooked.
class TextWidthEstimate {
public:
    explicit TextWidthEstimate(const QFont& font) {
        const QFontMetricsF metrics(font);
        double widest = metrics.maxWidth();
        for (int c = 0x20; c < 0x7F; ++c)
            widest = std::max(widest, metrics.horizontalAdvance(QChar(c)));
        const auto units = [](double pixels) { return static_cast<std::uint32_t>(std::lround(pixels * 64)); };
        for (int byte = 0; byte < 256; ++byte) {
            if (byte >= 0x20 && byte < 0x7F)
                advance_[byte] = units(metrics.horizontalAdvance(QChar(byte)));
            else if (byte >= 0x80 && byte < 0xC0) // a continuation byte of a character of several
                advance_[byte] = 0;
            else
                advance_[byte] = units(widest);
        }
        widest_ = units(widest);
    }

    // The most any text of this many bytes can be estimated at.
    std::uint64_t mostForLength(std::size_t bytes) const {
        return static_cast<std::uint64_t>(bytes) * widest_;
    }

    std::uint32_t operator()(std::string_view text) const {
        std::uint32_t width = 0;
        for (char c : text)
            width += advance_[static_cast<unsigned char>(c)];
        return width;
    }

    // The most whole width (in pixels) a text of this estimate may have, kerning and rounding
    // added.
    static double mostPixels(std::uint32_t estimate) { return estimate / 64.0 * 1.05 + 3.0; }

private:
    std::uint32_t advance_[256] = {};
    std::uint32_t widest_ = 0;
};

int MeasuredWidth(const QFontMetrics& font, std::string_view text) {
    return font.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// The rows of one column with the widest estimates, at most kMostMeasuredTexts of them: a rising
// floor keeps every other row out in one comparison, rows of equal estimates beyond the first
// ones too.
class WidestEstimates {
public:
    // An estimate that must be passed to be taken (0 until enough rows are in).
    std::uint32_t floor() const { return rows_.size() < kMostMeasuredTexts ? 0 : rows_.front().first; }

    void offer(std::uint32_t estimate, int row) {
        if (rows_.size() < kMostMeasuredTexts) {
            rows_.emplace_back(estimate, row);
            std::push_heap(rows_.begin(), rows_.end(), Narrower);
        } else if (estimate > rows_.front().first) {
            std::pop_heap(rows_.begin(), rows_.end(), Narrower);
            rows_.back() = {estimate, row};
            std::push_heap(rows_.begin(), rows_.end(), Narrower);
        }
    }

    // The row whose whole text is the widest among those whose estimates come near the widest.
    int widestRow(const ColumnTextSource& texts, int column, const QFontMetrics& font, int stopWidth) {
        std::sort(rows_.begin(), rows_.end(), [](const Entry& a, const Entry& b) { return Narrower(b, a); });
        int widestRow = -1;
        int widest = -1;
        for (const auto& [estimate, row] : rows_) {
            if (widest >= stopWidth || TextWidthEstimate::mostPixels(estimate) < widest)
                break;
            const int width = MeasuredWidth(font, texts.cellText(row, column));
            if (width > widest) {
                widest = width;
                widestRow = row;
            }
        }
        return widestRow;
    }

private:
    using Entry = std::pair<std::uint32_t, int>;
    // The heap's order: its first entry is the narrowest (of equal estimates, the later row).
    static bool Narrower(const Entry& a, const Entry& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    }

    std::vector<Entry> rows_;
};

// Makes the view's own content measure look at the visible rows only while it lives.
class VisibleRowsMeasure {
public:
    explicit VisibleRowsMeasure(QHeaderView& header)
        : header_(header), precision_(header.resizeContentsPrecision()) {
        header_.setResizeContentsPrecision(0);
    }
    ~VisibleRowsMeasure() { header_.setResizeContentsPrecision(precision_); }
    VisibleRowsMeasure(const VisibleRowsMeasure&) = delete;
    VisibleRowsMeasure& operator=(const VisibleRowsMeasure&) = delete;

private:
    QHeaderView& header_;
    int precision_;
};

// The shown texts of a model that is no ColumnTextSource; a text stays valid until the next call.
class DisplayTexts : public ColumnTextSource {
public:
    explicit DisplayTexts(const QAbstractItemModel& model) : model_(model) {}
    std::string_view cellText(int row, int column) const override {
        buffer_ = model_.data(model_.index(row, column), Qt::DisplayRole).toString().toUtf8();
        return std::string_view(buffer_.constData(), static_cast<std::size_t>(buffer_.size()));
    }
    bool cellHasPicture(int row, int column) const override {
        return model_.data(model_.index(row, column), Qt::DecorationRole).isValid();
    }

private:
    const QAbstractItemModel& model_;
    mutable QByteArray buffer_;
};

} // namespace

std::vector<WidestRows> WidestTextRows(const ColumnTextSource& texts, int rowCount,
                                       const std::vector<int>& columns, const QFont& font, int stopWidth) {
    const TextWidthEstimate estimate(font);
    // For each column, the rows without and with a picture.
    std::vector<std::pair<WidestEstimates, WidestEstimates>> widestEstimates(columns.size());
    // Row by row, so that each row's texts are read together.
    for (int row = 0; row < rowCount; ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            auto& [plain, pictured] = widestEstimates[i];
            const std::string_view text = texts.cellText(row, columns[i]);
            // A text too short to pass either floor is not read at all.
            const std::uint64_t most = estimate.mostForLength(text.size());
            if (most <= std::min(plain.floor(), pictured.floor()))
                continue;
            WidestEstimates& kind = texts.cellHasPicture(row, columns[i]) ? pictured : plain;
            if (most > kind.floor())
                kind.offer(estimate(text), row);
        }
    }
    const QFontMetrics metrics(font);
    std::vector<WidestRows> widest;
    widest.reserve(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i) {
        auto& [plain, pictured] = widestEstimates[i];
        widest.push_back({plain.widestRow(texts, columns[i], metrics, stopWidth),
                          pictured.widestRow(texts, columns[i], metrics, stopWidth)});
    }
    return widest;
}

void FitColumnsToContents(QTreeView& view, int maxWidth) {
    QHeaderView* header = view.header();
    const QAbstractItemModel* model = view.model();
    if (model == nullptr)
        return;
    const int rowCount = model->rowCount();
    std::vector<int> columns;
    for (int column = 0; column < header->count(); ++column) {
        if (!header->isSectionHidden(column))
            columns.push_back(column);
    }
    // Up to the header's precision of rows the view measures every row itself; a longer list is
    // measured on its visible rows (for their pictures and indentation) and on its widest texts.
    const bool longList =
        header->resizeContentsPrecision() >= 0 && rowCount > header->resizeContentsPrecision();
    std::vector<WidestRows> widestRows(columns.size());
    if (longList) {
        const DisplayTexts shown(*model);
        const auto* texts = dynamic_cast<const ColumnTextSource*>(model);
        widestRows =
            WidestTextRows(texts != nullptr ? *texts : shown, rowCount, columns, view.font(), maxWidth);
    }
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int column = columns[i];
        int width = header->sectionSizeHint(column);
        if (!longList) {
            width = std::max(width, static_cast<const QAbstractItemView&>(view).sizeHintForColumn(column));
        } else {
            {
                const VisibleRowsMeasure visibleRows(*header);
                width =
                    std::max(width, static_cast<const QAbstractItemView&>(view).sizeHintForColumn(column));
            }
            // The view's own measure of a cell counts its picture and margins; a tree column's rows
            // stand in by its indentation.
            const bool treeColumn = column == header->logicalIndex(0) && view.rootIsDecorated();
            for (const int row : {widestRows[i].plain, widestRows[i].pictured}) {
                if (row >= 0)
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
