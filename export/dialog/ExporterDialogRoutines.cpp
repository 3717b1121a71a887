#include "export/dialog/ExporterDialogRoutines.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QListWidget>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <QTreeWidget>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace exporter {

namespace {

// The list does not repaint while a walk changes its items.
class UpdateLock {
public:
    explicit UpdateLock(QWidget* widget) : widget_(widget), wasEnabled_(widget->updatesEnabled()) {
        widget_->setUpdatesEnabled(false);
    }
    ~UpdateLock() { widget_->setUpdatesEnabled(wasEnabled_); }
    UpdateLock(const UpdateLock&) = delete;
    UpdateLock& operator=(const UpdateLock&) = delete;

private:
    QWidget* widget_;
    bool wasEnabled_;
};

template <class Item, class Callback>
void WalkItems(std::vector<Item*> items, bool backward, const Callback& callback) {
    if (backward)
        std::reverse(items.begin(), items.end());
    for (Item* item : items)
        callback(*item);
}

// One straight run of pixels along a line: horizontal runs along x at row fixed, vertical ones along y at
// column fixed; the width spreads around the line as a wide pen does.
void DrawRun(QPainter& painter, const QColor& color, bool horizontal, int fixed, int start, int length,
             int width) {
    if (length <= 0 || width <= 0)
        return;
    const int across = fixed - width / 2;
    if (horizontal)
        painter.fillRect(start, across, length, width, color);
    else
        painter.fillRect(across, start, width, length, color);
}

bool IsDashedStyle(TxlsBorderStyle style) {
    switch (style) {
    case bstDashed:
    case bstMediumDashed:
    case bstDashDot:
    case bstMediumDashDot:
    case bstDashDotDot:
    case bstMediumDashDotDot:
    case bstSlantedDashDot:
        return true;
    default:
        return false;
    }
}

bool HasFirstDot(TxlsBorderStyle style) {
    return style == bstDashDot || style == bstMediumDashDot || style == bstDashDotDot ||
           style == bstMediumDashDotDot || style == bstSlantedDashDot;
}

bool HasSecondDot(TxlsBorderStyle style) {
    return style == bstDashDotDot || style == bstMediumDashDotDot;
}

// One border of the sample cell from start to end (end not drawn) at row or column fixed; inward is +1
// or -1, the direction of the box's inside (the second line of a double border lies there).
void DrawCellBorder(QPainter& painter, TxlsBorder border, bool horizontal, int fixed, int start, int end,
                    int inward) {
    const QColor color = XlsColorToQColor(border.Color);
    const int width = BorderStylePenWidth(border.Style);
    auto run = [&](int from, int length) {
        DrawRun(painter, color, horizontal, fixed, from, std::min(length, end - from), width);
    };
    switch (border.Style) {
    case bstNone:
        return;
    case bstThin:
    case bstMedium:
    case bstThick:
        run(start, end - start);
        return;
    case bstDouble:
        run(start, end - start);
        DrawRun(painter, color, horizontal, fixed + 2 * inward, start, end - start, width);
        return;
    case bstDotted:
        for (int pos = start; pos < end; pos += 5)
            run(pos, 2);
        return;
    case bstHair:
        for (int pos = start; pos < end; pos += 3)
            run(pos, 1);
        return;
    default:
        break;
    }
    if (!IsDashedStyle(border.Style))
        return;
    int pos = start;
    while (end - pos > 5) {
        run(pos, 10);
        pos += 15;
        if (HasFirstDot(border.Style) && pos < end) {
            run(pos, 2);
            pos += 7;
        }
        if (HasSecondDot(border.Style) && pos < end) {
            run(pos, 2);
            pos += 7;
        }
    }
}

struct TilePixel {
    int x, y;
};

// The pixels of each pattern's 4 x 4 tile (a few reach into the next tile's first column).
std::vector<TilePixel> PatternTile(TxlsPattern pattern) {
    switch (pattern) {
    case ptGray50: // chess
        return {{0, 0}, {2, 0}, {1, 1}, {3, 1}, {0, 2}, {2, 2}, {1, 3}, {3, 3}};
    case ptGray75: // white spots
        return {{1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {3, 1},
                {1, 2}, {2, 2}, {3, 2}, {0, 3}, {1, 3}, {3, 3}};
    case ptGray25: // black spots
        return {{0, 0}, {2, 1}, {0, 2}, {2, 3}};
    case ptHorStripe: // bold horizontal
        return {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}};
    case ptVertStripe: // bold vertical
        return {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 0}, {1, 1}, {1, 2}, {1, 3}};
    case ptReverseDiagStripe: // bold diagonal to the right
        return {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {1, 0}, {2, 1}, {3, 2}, {4, 3}};
    case ptDiagStripe: // bold diagonal to the left
        return {{3, 0}, {2, 1}, {1, 2}, {0, 3}, {4, 0}, {3, 1}, {2, 2}, {1, 3}};
    case ptDiagCrosshatch: // bold chess
        return {{0, 0}, {1, 0}, {0, 1}, {1, 1}, {2, 2}, {3, 2}, {2, 3}, {3, 3}};
    case ptThickDiagCrosshatch: // ring mail
        return {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {1, 1},
                {2, 2}, {3, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}};
    case ptThinHorStripe:
        return {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    case ptThinVertStripe:
        return {{0, 0}, {0, 1}, {0, 2}, {0, 3}};
    case ptThinReverseDiagStripe:
        return {{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    case ptThinDiagStripe:
        return {{4, 0}, {3, 1}, {2, 2}, {1, 3}};
    case ptThinHorCrosshatch: // cells
        return {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1}, {0, 2}, {0, 3}};
    case ptThinDiagCrosshatch: // criss-cross
        return {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {2, 0}, {0, 2}};
    case ptGray12: // thin spots
        return {{0, 0}, {2, 2}};
    case ptThinThinSpots:
        return {{0, 0}, {4, 2}};
    default: // ptNone, ptSolid: the background alone
        return {};
    }
}

} // namespace

// --- item values ---

int ListItemImage(const QListWidgetItem& item) {
    const QVariant image = item.data(ListItemImageRole);
    return image.isValid() ? image.toInt() : -1;
}

void SetListItemImage(QListWidgetItem& item, int image) {
    item.setData(ListItemImageRole, image);
}

QVariant ListItemData(const QListWidgetItem& item) {
    return item.data(ListItemDataRole);
}

void SetListItemData(QListWidgetItem& item, const QVariant& data) {
    item.setData(ListItemDataRole, data);
}

// --- list routines ---

void ForEachSelectedItem(QListWidget* list, bool backward, bool all, const TListItemCallback& callback) {
    if (!list || !callback)
        return;
    UpdateLock lock(list);
    std::vector<QListWidgetItem*> items;
    for (int row = 0; row < list->count(); ++row)
        if (QListWidgetItem* item = list->item(row); all || item->isSelected())
            items.push_back(item);
    WalkItems(std::move(items), backward, callback);
}

void ForEachSelectedItem(QTreeWidget* list, bool backward, bool all, const TTreeItemCallback& callback) {
    if (!list || !callback)
        return;
    UpdateLock lock(list);
    std::vector<QTreeWidgetItem*> items;
    for (int row = 0; row < list->topLevelItemCount(); ++row)
        if (QTreeWidgetItem* item = list->topLevelItem(row); all || item->isSelected())
            items.push_back(item);
    WalkItems(std::move(items), backward, callback);
}

void CopyListItem(const QListWidgetItem& source, QListWidgetItem& target) {
    target.setText(source.text());
    target.setData(ListItemImageRole, source.data(ListItemImageRole));
    target.setData(ListItemDataRole, source.data(ListItemDataRole));
}

void CopyListItem(const QTreeWidgetItem& source, QTreeWidgetItem& target) {
    target.setText(0, source.text(0));
    target.setData(0, ListItemImageRole, source.data(0, ListItemImageRole));
    target.setData(0, ListItemDataRole, source.data(0, ListItemDataRole));
}

void MoveListItem(QListWidgetItem* item, int newIndex) {
    QListWidget* list = item ? item->listWidget() : nullptr;
    if (!list || newIndex < 0 || newIndex >= list->count())
        return;
    const int oldIndex = list->row(item);
    if (oldIndex == newIndex)
        return;
    const bool selected = item->isSelected();
    const bool current = list->currentItem() == item;
    const QSignalBlocker blocker(list);
    list->takeItem(oldIndex);
    list->insertItem(newIndex, item);
    if (current)
        list->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    item->setSelected(selected);
}

void MoveListItem(QTreeWidgetItem* item, int newIndex) {
    QTreeWidget* list = item ? item->treeWidget() : nullptr;
    if (!list || item->parent() || newIndex < 0 || newIndex >= list->topLevelItemCount())
        return;
    const int oldIndex = list->indexOfTopLevelItem(item);
    if (oldIndex == newIndex)
        return;
    const bool selected = item->isSelected();
    const bool current = list->currentItem() == item;
    const QSignalBlocker blocker(list);
    list->takeTopLevelItem(oldIndex);
    list->insertTopLevelItem(newIndex, item);
    if (current)
        list->setCurrentItem(item, 0, QItemSelectionModel::NoUpdate);
    item->setSelected(selected);
}

QListWidgetItem* TransferListItem(QListWidgetItem* item, QListWidget* target, bool deleteSource, int index) {
    if (!item || !target)
        return nullptr;
    auto* added = new QListWidgetItem(item->text());
    added->setData(ListItemDataRole, item->data(ListItemDataRole));
    if (index < 0 || index > target->count())
        index = target->count();
    target->insertItem(index, added);

    QListWidget* source = item->listWidget();
    const int oldIndex = source ? source->row(item) : -1;
    if (deleteSource)
        delete item; // a list item removes itself from its list
    if (source && source->count() > 0) {
        QListWidgetItem* next = source->item(std::min(oldIndex, source->count() - 1));
        source->setCurrentItem(next, QItemSelectionModel::NoUpdate);
        next->setSelected(true);
    }
    return added;
}

QTreeWidgetItem* TransferListItem(QTreeWidgetItem* item, QTreeWidget* target, bool deleteSource, int index) {
    if (!item || !target)
        return nullptr;
    auto* added = new QTreeWidgetItem(QStringList{item->text(0)});
    added->setData(0, ListItemDataRole, item->data(0, ListItemDataRole));
    if (index < 0 || index > target->topLevelItemCount())
        index = target->topLevelItemCount();
    target->insertTopLevelItem(index, added);

    QTreeWidget* source = item->parent() ? nullptr : item->treeWidget();
    const int oldIndex = source ? source->indexOfTopLevelItem(item) : -1;
    if (deleteSource)
        delete item; // a tree item removes itself from its tree
    if (source && source->topLevelItemCount() > 0) {
        QTreeWidgetItem* next = source->topLevelItem(std::min(oldIndex, source->topLevelItemCount() - 1));
        source->setCurrentItem(next, 0, QItemSelectionModel::NoUpdate);
        next->setSelected(true);
    }
    return added;
}

void PressControl(QWidget* control) {
    if (control)
        control->move(control->pos() + QPoint(1, 1));
}

void ReleaseControl(QWidget* control) {
    if (control)
        control->move(control->pos() - QPoint(1, 1));
}

// --- colours and fonts ---

QColor ColorToQColor(rtl::TColor color) {
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QColor XlsColorToQColor(TxlsColor color) {
    return ColorToQColor(XlsColorToColor(color));
}

void FillColorRect(QPaintDevice& box, rtl::TColor color) {
    QPainter painter(&box);
    painter.fillRect(0, 0, box.width(), box.height(), ColorToQColor(color));
}

void FillXlsColorRect(QPaintDevice& box, TxlsColor color) {
    FillColorRect(box, XlsColorToColor(color));
}

void SetFontStyleElem(QFont& font, TFontStyleElem elem, bool include) {
    switch (elem) {
    case TFontStyleElem::fsBold:
        font.setBold(include);
        break;
    case TFontStyleElem::fsItalic:
        font.setItalic(include);
        break;
    case TFontStyleElem::fsUnderline:
        font.setUnderline(include);
        break;
    case TFontStyleElem::fsStrikeOut:
        font.setStrikeOut(include);
        break;
    }
}

void SetFontStyleElem(TExportFont& font, TFontStyleElem elem, bool include) {
    switch (elem) {
    case TFontStyleElem::fsBold:
        font.Bold = include;
        break;
    case TFontStyleElem::fsItalic:
        font.Italic = include;
        break;
    case TFontStyleElem::fsUnderline:
        font.Underline = include;
        break;
    case TFontStyleElem::fsStrikeOut:
        font.StrikeOut = include;
        break;
    }
}

void SetXlsFontStyleElem(TxlsFont& font, TxlsFontStyle elem, bool include) {
    if (include)
        font.Style |= elem;
    else
        font.Style &= ~TxlsFontStyles(elem);
}

void SetRtfStyleFontElem(QListWidgetItem* item, TFontStyleElem elem, bool include) {
    if (TrtfStyle* style = ListItemObject<TrtfStyle>(item))
        SetFontStyleElem(style->Font, elem, include);
}

void SetRtfStyleAlignment(QListWidgetItem* item, TrtfTextAlignment alignment) {
    if (TrtfStyle* style = ListItemObject<TrtfStyle>(item))
        style->Alignment = alignment;
}

void SetDefaultRtfCaptionStyle(TrtfStyle& style) {
    style.SetDefault();
    style.Font.Bold = true;
    style.Alignment = TrtfTextAlignment::talCenter;
}

QStringList ExportFontFamilies() {
    QStringList families = QFontDatabase::families();
    for (const char* name : {"Arial", "Courier New", "Tahoma", "Times New Roman"})
        if (!families.contains(QString::fromLatin1(name)))
            families.append(QString::fromLatin1(name));
    families.sort(Qt::CaseInsensitive);
    return families;
}

QFont XlsFontToQFont(const TxlsFont& font) {
    QFont result(QString::fromStdString(font.Name));
    result.setPointSize(std::max(1, font.Size));
    result.setBold(font.Has(xfsBold));
    result.setItalic(font.Has(xfsItalic));
    result.setStrikeOut(font.Has(xfsStrikeOut));
    return result;
}

QFont ExportFontToQFont(const TExportFont& font) {
    QFont result(QString::fromStdString(font.Name));
    result.setPointSize(std::max(1, font.Size));
    result.setBold(font.Bold);
    result.setItalic(font.Italic);
    result.setUnderline(font.Underline);
    result.setStrikeOut(font.StrikeOut);
    return result;
}

// --- samples ---

int BorderStylePenWidth(TxlsBorderStyle style) {
    switch (style) {
    case bstNone:
        return 0;
    case bstMedium:
    case bstMediumDashed:
    case bstMediumDashDot:
    case bstMediumDashDotDot:
    case bstSlantedDashDot:
        return 2;
    case bstThick:
        return 3;
    default:
        return 1;
    }
}

void DrawFillPatternSample(QPainter& painter, TxlsPattern pattern, int x, int y) {
    const QColor color = painter.pen().color();
    for (const TilePixel& pixel : PatternTile(pattern))
        painter.fillRect(x + pixel.x, y + pixel.y, 1, 1, color);
}

void DrawXlsFormatSample(QPaintDevice& box, const TxlsFormat& format) {
    QPainter painter(&box);
    const int width = box.width();
    const int height = box.height();

    // 1. Fill and pattern.
    painter.fillRect(0, 0, width, height, XlsColorToQColor(format.Fill.Background));
    painter.setPen(XlsColorToQColor(format.Fill.Foreground));
    for (int y = 0; y <= height - 4; y += 4)
        for (int x = 0; x <= width; x += 4)
            DrawFillPatternSample(painter, format.Fill.Pattern, x, y);

    // 2. The text.
    const QFont font = XlsFontToQFont(format.Font);
    const QFontMetrics metrics(font, &box);
    const QString text = QString::fromLatin1(SampleText);
    const int textWidth = metrics.horizontalAdvance(text);
    const int textHeight = metrics.height();
    const int underscore = std::max(1, int(metrics.lineWidth()));
    const TxlsFontUnderline underline = format.Font.Underline;
    const bool doubled = underline == fulDouble || underline == fulDoubleAccounting;
    const int secondLine = doubled ? underscore + 1 : 0;

    int x = 5;
    if (format.Alignment.Horizontal == halCenter)
        x = (width - textWidth) / 2;
    else if (format.Alignment.Horizontal == halRight)
        x = width - 5 - textWidth;
    int y = 5;
    if (format.Alignment.Vertical == valCenter)
        y = (height - textHeight - secondLine) / 2;
    else if (format.Alignment.Vertical == valBottom)
        y = height - 5 - textHeight - secondLine;
    else if (format.Alignment.Vertical == valJustify)
        y = 0;

    const QColor fontColor = XlsColorToQColor(format.Font.Color);
    painter.setFont(font);
    painter.setPen(fontColor);
    painter.drawText(x, y + metrics.ascent(), text);

    // 3. The underline, drawn by hand so that the accounting kinds can leave their gap.
    if (underline != fulNone) {
        const int lineY = y + metrics.ascent() + std::max(1, int(metrics.underlinePos()));
        auto lines = [&](int from, int length) {
            painter.fillRect(from, lineY, length, underscore, fontColor);
            if (doubled)
                painter.fillRect(from, lineY + underscore + 1, length, underscore, fontColor);
        };
        if (underline == fulSingle || underline == fulDouble) {
            lines(x, textWidth);
        } else {
            const int middle = x + textWidth / 2;
            lines(x, middle - 2 * underscore - x);
            lines(middle + 2 * underscore, x + textWidth - middle - 2 * underscore);
        }
    }

    // 4. Borders, 2 pixels inside the edge.
    const TxlsBorders& borders = format.Borders;
    DrawCellBorder(painter, borders.Top, true, 2, 2, width - 2, +1);
    DrawCellBorder(painter, borders.Bottom, true, height - 2, 2, width - 2, -1);
    DrawCellBorder(painter, borders.Left, false, 2, 2, height - 2, +1);
    DrawCellBorder(painter, borders.Right, false, width - 2, 2, height - 2, -1);
}

void DrawRtfStyleSample(QPaintDevice& box, const TrtfStyle& style) {
    QPainter painter(&box);
    const QRect area(0, 0, box.width(), box.height());
    const TExportColor background = style.AllowBackground ? style.BackgroundColor : rtl::clWhite;
    painter.fillRect(area, ColorToQColor(background));

    const QFont font = ExportFontToQFont(style.Font);
    painter.setFont(font);
    const QString text = QString::fromLatin1(SampleText);
    const QRect textBox = painter.boundingRect(area, Qt::AlignCenter, text).intersected(area);
    if (style.AllowHighlight && style.HighlightColor != style.BackgroundColor)
        painter.fillRect(textBox, ColorToQColor(style.HighlightColor));
    painter.setPen(ColorToQColor(style.Font.Color));
    painter.drawText(area, Qt::AlignCenter, text);
}

void DrawBorderStyleSample(TxlsBorderStyle style, QPainter& painter, const QRect& rect) {
    const QColor color = painter.pen().color();
    if (style == bstNone) {
        painter.drawText(rect, Qt::AlignCenter, QStringLiteral("None"));
        return;
    }
    const int width = BorderStylePenWidth(style);
    const int middle = rect.top() + rect.height() / 2;
    const int start = rect.left() + 10;
    const int end = rect.left() + rect.width() - 10;
    auto run = [&](int from, int length) {
        DrawRun(painter, color, true, middle, from, std::min(length, end - from), width);
    };
    // Repeats a pattern of (offset, length) pieces every period pixels along the line.
    auto repeat = [&](int period, std::initializer_list<std::pair<int, int>> pieces) {
        for (int pos = start; pos < end; pos += period)
            for (const auto& [offset, length] : pieces)
                if (pos + offset < end)
                    run(pos + offset, length);
    };
    switch (style) {
    case bstDouble:
        DrawRun(painter, color, true, middle - 1, start, end - start, width);
        DrawRun(painter, color, true, middle + 1, start, end - start, width);
        break;
    case bstDashed:
    case bstMediumDashed:
        repeat(14, {{0, 7}});
        break;
    case bstDotted:
        repeat(6, {{0, 3}});
        break;
    case bstHair:
        repeat(4, {{0, 2}});
        break;
    case bstDashDot:
    case bstMediumDashDot:
    case bstSlantedDashDot:
        repeat(18, {{0, 7}, {11, 3}});
        break;
    case bstDashDotDot:
    case bstMediumDashDotDot:
        repeat(25, {{0, 7}, {11, 3}, {18, 3}});
        break;
    default: // thin, medium, thick
        run(start, end - start);
        break;
    }
}

void DrawBorderStyleItem(QPainter& painter, const QRect& rect, TxlsBorderStyle style, TxlsColor color,
                         bool highlighted, const QColor& brush) {
    painter.save();
    painter.fillRect(rect, brush);
    painter.setPen(highlighted ? QColor(Qt::white) : XlsColorToQColor(color));
    DrawBorderStyleSample(style, painter, rect);
    painter.restore();
}

void DrawFillPatternItem(QPainter& painter, const QRect& rect, TxlsPattern pattern, TxlsColor background,
                         TxlsColor foreground) {
    painter.save();
    if (pattern == ptNone) {
        painter.fillRect(rect, Qt::white);
        painter.setPen(Qt::black);
        painter.drawText(rect, Qt::AlignCenter, QStringLiteral("None"));
    } else {
        painter.fillRect(rect, XlsColorToQColor(background));
        painter.setPen(XlsColorToQColor(foreground));
        painter.setClipRect(rect);
        for (int y = rect.top(); y + 4 <= rect.top() + rect.height(); y += 4)
            for (int x = rect.left(); x < rect.left() + rect.width(); x += 4)
                DrawFillPatternSample(painter, pattern, x, y);
    }
    painter.restore();
}

} // namespace exporter
