#include "browser/dhcp/DhcpRecordDeletion.h"

#include "browser/dhcp/DhcpRecordEditor.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/Services.h"
#include "platform/nwclient/NWClient.h"

#include <QApplication>

#include <algorithm>
#include <optional>

namespace browser {

void RemoveDirectoryObject(directory::NWDSContextHandle context, const std::string& objectName) {
    directory::CheckNWError(nwclient::removeObject(context, objectName));
}

DhcpDeletion DeleteDhcpRows(RecordListModel& model, std::vector<int> rows, const TreeList& trees) {
    DhcpDeletion outcome;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());

    std::vector<DhcpRecordLocation> locations;
    for (int index : rows) {
        if (index < 0 || index >= model.count()) {
            outcome.message = "The selection no longer matches the list.";
            return outcome;
        }
        std::string refusal;
        std::optional<DhcpRecordLocation> location = LocateDhcpRow(model.row(index), trees, refusal);
        if (!location) {
            outcome.message = refusal;
            return outcome;
        }
        locations.push_back(std::move(*location));
    }

    for (std::size_t i = rows.size(); i-- > 0;) {
        try {
            RemoveDirectoryObject(locations[i].context, locations[i].objectName);
        } catch (const std::exception& error) {
            outcome.message = error.what();
            return outcome;
        }
        model.removeRowAt(rows[i]);
        ++outcome.removed;
    }
    outcome.completed = true;
    return outcome;
}

void RunDhcpDeletion(Services& services, RecordListModel& model, const std::vector<int>& rows,
                     const TreeList& trees) {
    if (rows.empty())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QMessageBox::StandardButton answer =
        services.messageDialog(QString::fromLatin1(kDeleteQuestion), MessageKind::Confirmation,
                               QMessageBox::Ok | QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) {
        QApplication::restoreOverrideCursor();
        return;
    }
    const DhcpDeletion outcome = DeleteDhcpRows(model, rows, trees);
    QApplication::restoreOverrideCursor();
    if (outcome.completed)
        services.showMessage(QString::fromLatin1(kRestartServiceMessage));
    else
        services.showMessage(QString::fromStdString(outcome.message));
}

} // namespace browser
