#include "browser/forms/AttributePaneView.h"

#include "browser/collection/TreeObj.h"
#include "browser/dhcp/AttributePanes.h"
#include "browser/forms/ObjectListView.h"
#include "browser/lists/BusyCursor.h"
#include "browser/lists/Services.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "browser/startup/StartupSequence.h"

#include <QApplication>
#include <QComboBox>
#include <QTreeWidget>

#include <exception>

namespace browser {

// The panes read the rows the object lists were filled with.
static_assert(kObjectImageRole == ObjectImageRole && kObjectStateRole == ObjectStateRole &&
              kObjectDataRole == ObjectDataRole);

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// The context of the selected object's tree, or nullopt when the tree is not (or no longer) open.
std::optional<directory::NWDSContextHandle> TreeContext(const PaneSources& sources, int treeIndex) {
    if (sources.trees == nullptr || treeIndex < 0 || treeIndex >= sources.trees->Count())
        return std::nullopt;
    return sources.trees->Object(treeIndex).context;
}

// Fills the pane with the rows read for the object; a failed read shows the rows read so far and
// then its message.
// The values the pane's reads could not take (too large for a read), in one message.
void ShowReadWarnings(Services& services) {
    const std::vector<std::string> warnings = TakePaneReadWarnings();
    if (!warnings.empty())
        services.showMessage(Q(WarningsText(warnings)));
}

void ShowObjectRows(const SelectedObject& object,
                    void (*addRows)(directory::NWDSContextHandle, const std::string&, PaneRows&),
                    bool boldHeadings, QTreeWidget* pane, const PaneSources& sources, Services& services) {
    const std::optional<directory::NWDSContextHandle> context = TreeContext(sources, object.treeIndex);
    if (!context) {
        pane->clear();
        return;
    }
    PaneRows rows;
    try {
        addRows(*context, object.fullName, rows);
    } catch (const std::exception& error) {
        ShowPaneRows(pane, rows, boldHeadings);
        ShowReadWarnings(services);
        services.showMessage(Q(error.what()));
        return;
    }
    ShowPaneRows(pane, rows, boldHeadings);
    ShowReadWarnings(services);
}

} // namespace

std::optional<SelectedObject> SelectedObjectOf(const QTreeWidget* list) {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    const QTreeWidgetItem* current = list->currentItem();
    const QTreeWidgetItem* item = current != nullptr && current->isSelected() ? current : selected.first();
    SelectedObject object;
    const QVariant tree = item->data(0, kObjectDataRole);
    object.treeIndex = tree.isValid() ? tree.toInt() : -1;
    const QVariant image = item->data(0, kObjectImageRole);
    object.image = image.isValid() ? image.toInt() : -1;
    object.fullName = (item->text(0) + QLatin1Char('.') + item->text(1)).toStdString();
    return object;
}

const LabelTable* MiscTableForImage(int image, const ClassIconNumbers& icons) {
    if (image < 0)
        return nullptr;
    if (image == icons.locator)
        return &LocatorLabelTable();
    if (image == icons.dnsServer)
        return &DnsServerLabelTable();
    if (image == icons.dhcpServer)
        return &DhcpServerLabelTable();
    if (image == icons.group)
        return &GroupLabelTable();
    if (image == icons.subnetPool)
        return &SubnetPoolLabelTable();
    return nullptr;
}

void ShowPaneRows(QTreeWidget* pane, const PaneRows& rows, bool boldHeadings) {
    pane->setUpdatesEnabled(false);
    pane->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    for (const PaneRow& row : rows) {
        auto* item = new QTreeWidgetItem({Q(row.caption), Q(row.value)});
        item->setData(0, kPaneHeadingRole, row.heading);
        item->setData(0, kPaneDataRole, row.data);
        if (row.heading && boldHeadings) {
            QFont font = item->font(0);
            font.setBold(true);
            item->setFont(0, font);
        }
        items.append(item);
    }
    pane->addTopLevelItems(items);
    pane->setUpdatesEnabled(true);
}

void FillQueryTypeBox(QComboBox* box) {
    box->clear();
    for (const QueryTypeEntry& entry : QueryTypes())
        box->addItem(Q(entry.text), entry.value);
}

void ShowZonePane(const QTreeWidget* zonelist, QTreeWidget* pane, const PaneSources& sources,
                  Services& services) {
    const std::optional<SelectedObject> object = SelectedObjectOf(zonelist);
    if (!object || sources.icons == nullptr || object->image != sources.icons->dnsZone) {
        pane->clear();
        return;
    }
    ShowObjectRows(*object, AddZonePaneRows, false, pane, sources, services);
}

void ShowSubnetPane(const QTreeWidget* netslist, QTreeWidget* pane, const PaneSources& sources,
                    Services& services) {
    const std::optional<SelectedObject> object = SelectedObjectOf(netslist);
    if (!object) {
        pane->clear();
        return;
    }
    if (sources.icons == nullptr || object->image != sources.icons->subnet)
        return; // another row leaves the pane as it is
    ShowObjectRows(*object, AddSubnetPaneRows, true, pane, sources, services);
}

void ShowMiscPane(const QTreeWidget* lv1, QTreeWidget* pane, const PaneSources& sources, Services& services) {
    BusyCursor busy;
    const std::optional<SelectedObject> object = SelectedObjectOf(lv1);
    const LabelTable* table =
        object && sources.icons != nullptr ? MiscTableForImage(object->image, *sources.icons) : nullptr;
    pane->clear();
    if (table == nullptr)
        return;
    const std::optional<directory::NWDSContextHandle> context = TreeContext(sources, object->treeIndex);
    if (!context)
        return;
    PaneRows rows;
    try {
        AddLabelPaneRows(*context, object->fullName, *table, rows);
    } catch (const std::exception&) {
        // The "Misc" pane ends quietly with what it has.
    }
    ShowPaneRows(pane, rows, true);
    ShowReadWarnings(services);
}

} // namespace browser
