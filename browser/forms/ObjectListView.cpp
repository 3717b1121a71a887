#include "browser/forms/ObjectListView.h"

#include "browser/collection/TreeObj.h"
#include "browser/lists/ImageList.h"

#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTreeWidget>

namespace browser {

namespace {

QIcon ComposedIcon(int state, int image, const ObjectListImages& images) {
    const QIcon stateIcon = images.states != nullptr && state >= 0 ? images.states->icon(state) : QIcon();
    const QIcon classIcon = images.classes != nullptr && image >= 0 ? images.classes->icon(image) : QIcon();
    if (stateIcon.isNull() && classIcon.isNull()) {
        return {};
    }
    // The state image always takes the first place, so that clicks on it can be told apart.
    QPixmap pixmap(32, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    if (!stateIcon.isNull()) {
        painter.drawPixmap(0, 0, stateIcon.pixmap(16, 16));
    }
    if (!classIcon.isNull()) {
        painter.drawPixmap(16, 0, classIcon.pixmap(16, 16));
    }
    painter.end();
    return QIcon(pixmap);
}

void Decorate(QTreeWidgetItem* item, const ObjectListImages& images) {
    item->setIcon(0, ComposedIcon(RowState(item), RowImage(item), images));
}

} // namespace

QTreeWidgetItem* AddObjectRow(QTreeWidget* list, const ObjectRow& row, const ObjectListImages& images) {
    auto* item = new QTreeWidgetItem(list);
    item->setText(0, QString::fromStdString(row.caption));
    item->setText(1, QString::fromStdString(row.context));
    item->setData(0, ObjectImageRole, row.image);
    item->setData(0, ObjectStateRole, row.state);
    item->setData(0, ObjectDataRole, row.data);
    item->setData(0, ObjectNameRole, QString::fromStdString(row.name));
    Decorate(item, images);
    return item;
}

ObjectRow ObjectRowOf(const QTreeWidgetItem* item) {
    ObjectRow row;
    row.caption = item->text(0).toStdString();
    row.context = item->text(1).toStdString();
    row.name = item->data(0, ObjectNameRole).toString().toStdString();
    row.image = RowImage(item);
    row.state = RowState(item);
    row.data = RowData(item);
    return row;
}

int RowState(const QTreeWidgetItem* item) {
    const QVariant state = item->data(0, ObjectStateRole);
    return state.isValid() ? state.toInt() : kStateNone;
}

int RowImage(const QTreeWidgetItem* item) {
    const QVariant image = item->data(0, ObjectImageRole);
    return image.isValid() ? image.toInt() : -1;
}

int RowData(const QTreeWidgetItem* item) {
    return item->data(0, ObjectDataRole).toInt();
}

void SetRowState(QTreeWidgetItem* item, int state, const ObjectListImages& images) {
    item->setData(0, ObjectStateRole, state);
    Decorate(item, images);
}

bool OnStateImage(const QTreeWidget* list, const QTreeWidgetItem* item, const QPoint& position) {
    if (item == nullptr) {
        return false;
    }
    const QRect rect = list->visualItemRect(item);
    const int offset = position.x() - rect.left();
    return rect.contains(position) && offset >= 0 &&
           offset < 16 + list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) * 2 + 4;
}

bool ToggleRowState(QTreeWidget* list, int rowIndex, int treeIcon, const ObjectListImages& images) {
    QTreeWidgetItem* item = list->topLevelItem(rowIndex);
    if (item == nullptr) {
        return false;
    }
    const int state = RowState(item);
    if (state != kStateUnchecked && state != kStateChecked) {
        return false;
    }
    const int newState = state == kStateChecked ? kStateUnchecked : kStateChecked;
    SetRowState(item, newState, images);
    // A tree row: the tree's icon and no object behind it.
    if (RowImage(item) == treeIcon && item->data(0, ObjectNameRole).toString().isEmpty()) {
        const int tree = RowData(item);
        for (int i = rowIndex + 1; i < list->topLevelItemCount(); ++i) {
            QTreeWidgetItem* next = list->topLevelItem(i);
            if (RowData(next) != tree) {
                break;
            }
            SetRowState(next, newState, images);
        }
    }
    return true;
}

void SetAllRowStates(QTreeWidget* list, bool checked, const ObjectListImages& images) {
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list->topLevelItem(i);
        const int state = RowState(item);
        if (state == kStateUnchecked || state == kStateChecked) {
            SetRowState(item, checked ? kStateChecked : kStateUnchecked, images);
        }
    }
}

ScanList BuildScanList(const QTreeWidget* list, int classIcon, const TreeList& trees) {
    ScanList scan;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        if (RowState(item) != kStateChecked || RowImage(item) != classIcon) {
            continue;
        }
        const int tree = RowData(item);
        if (tree < 0 || tree >= trees.Count()) {
            continue;
        }
        ScanEntry entry;
        entry.name = ObjectRowOf(item).FullName();
        entry.rowReference = i;
        entry.treeIndex = tree;
        entry.tree = trees.Name(tree);
        entry.context = trees.Object(tree).context;
        scan.push_back(std::move(entry));
    }
    return scan;
}

} // namespace browser
