#include "browser/dhcp/DhcpRecordCommands.h"

#include <QItemSelectionModel>
#include <QTreeView>

#include <algorithm>

namespace browser {

QString RecordCommandMessage(RecordCommand command, RecordCommandList list) {
    QString prefix;
    switch (list) {
    case RecordCommandList::Dns:
        prefix = QStringLiteral("DNS");
        break;
    case RecordCommandList::RevDns:
        prefix = QStringLiteral("REV-DNS");
        break;
    default:
        return {};
    }
    switch (command) {
    case RecordCommand::Edit:
        return prefix + QStringLiteral(", edit still under construction");
    case RecordCommand::Delete:
        return prefix + QStringLiteral(", delete");
    case RecordCommand::New:
        return prefix + QStringLiteral(", new");
    }
    return {};
}

std::vector<int> SelectedRowIndexes(const QTreeView* view) {
    std::vector<int> rows;
    if (view->selectionModel() == nullptr)
        return rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace browser
