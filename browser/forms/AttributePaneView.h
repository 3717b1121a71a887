#pragma once

// The window side of the attribute panes: which object a list has selected, which table its icon
// calls for, and putting pane rows into a pane. The rows themselves come from AttributePanes.

#include "browser/records/LabelTables.h"
#include "browser/records/PaneRow.h"

#include <optional>
#include <string>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace browser {

class Services;
class TreeList;
struct ClassIconNumbers;

// Where the rows of the object lists keep what the classic list items carry in Data, ImageIndex
// and StateIndex (column 0): the roles the lists are filled with (ObjectListView's ObjectListRole).
inline constexpr int kObjectImageRole = 0x0100 + 1; // the class icon's index, -1 for none
inline constexpr int kObjectStateRole = 0x0100 + 2; // the state image's index
inline constexpr int kObjectDataRole = 0x0100 + 3;  // index of the row's tree
// Marks a heading row of a pane (column 0).
inline constexpr int kPaneHeadingRole = 0x0100 + 3;
// The number a pane row keeps (column 0): the label-table index on the "Misc" page.
inline constexpr int kPaneDataRole = 0x0100 + 4;

// The selected row of an object list: its tree's index, its icon and the object's full name
// (caption + "." + the context column).
struct SelectedObject {
    int treeIndex = -1;
    int image = -1;
    std::string fullName;
};
std::optional<SelectedObject> SelectedObjectOf(const QTreeWidget* list);

// The table of the "Misc" pane for an icon: locator, DNS server, DHCP server, group or subnet pool;
// nullptr for any other icon.
const LabelTable* MiscTableForImage(int image, const ClassIconNumbers& icons);

// Replaces the pane's rows; headings are drawn bold where the pane asks for it.
void ShowPaneRows(QTreeWidget* pane, const PaneRows& rows, bool boldHeadings);

// The look-up box's query types, each with its resolver value as item data.
void FillQueryTypeBox(QComboBox* box);

// What the pane handlers need of the window: the tree list and the class icons.
struct PaneSources {
    const TreeList* trees = nullptr;
    const ClassIconNumbers* icons = nullptr;
};

// The three handlers' work. Directory failures of the zone and subnet panes are shown as a message
// (the rows added before stay); the "Misc" pane ends silently. Values a pane could not read (too
// large for a read) are shown in one message with their object's name.
void ShowZonePane(const QTreeWidget* zonelist, QTreeWidget* pane, const PaneSources& sources,
                  Services& services);
void ShowSubnetPane(const QTreeWidget* netslist, QTreeWidget* pane, const PaneSources& sources,
                    Services& services);
void ShowMiscPane(const QTreeWidget* lv1, QTreeWidget* pane, const PaneSources& sources, Services& services);

} // namespace browser
