#pragma once

// Object-list rows (zonelist, netslist, lv1) in their tree widgets: column 0 the caption with the
// row's state image and class icon, column 1 the context; the image and state indexes, the tree
// index and the full name ride along as item data.

#include "browser/collection/ObjectRows.h"
#include "browser/collection/RecordCollector.h"

#include <QPoint>
#include <Qt>

class QTreeWidget;
class QTreeWidgetItem;

namespace browser {

class ImageList;
class TreeList;

enum ObjectListRole {
    ObjectImageRole = Qt::UserRole + 1,
    ObjectStateRole,
    ObjectDataRole,
    ObjectNameRole,
};

// The pictures of the rows: state images (StateIcons) and class icons; either may be null.
struct ObjectListImages {
    const ImageList* states = nullptr;
    const ImageList* classes = nullptr;
};

QTreeWidgetItem* AddObjectRow(QTreeWidget* list, const ObjectRow& row, const ObjectListImages& images);
ObjectRow ObjectRowOf(const QTreeWidgetItem* item);
int RowState(const QTreeWidgetItem* item);
int RowImage(const QTreeWidgetItem* item);
int RowData(const QTreeWidgetItem* item);
void SetRowState(QTreeWidgetItem* item, int state, const ObjectListImages& images);

// Whether position (in the list's viewport) lies on the state image of item.
bool OnStateImage(const QTreeWidget* list, const QTreeWidgetItem* item, const QPoint& position);

// A click on a row's state image: a row in state 1 or 2 takes the other state and, when it is a tree
// row (its image is treeIcon), so does every following row of the same tree. False when the click
// changed nothing.
bool ToggleRowState(QTreeWidget* list, int rowIndex, int treeIcon, const ObjectListImages& images);

// Every row in state 1 or 2 takes state 2 (checked) or 1.
void SetAllRowStates(QTreeWidget* list, bool checked, const ObjectListImages& images);

// The checked rows (state 2) of the class icon, in row order, each resolved with its tree and that
// tree's context. Rows whose tree is not in the list are skipped.
ScanList BuildScanList(const QTreeWidget* list, int classIcon, const TreeList& trees);

} // namespace browser
