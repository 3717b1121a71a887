#include "browser/dhcp/DhcpRecordDeletion.h"

#include "browser/collection/CacheFiles.h"
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

namespace {

// Takes the deleted records out of the cache; a failure becomes the outcome's message.
void ForgetInCache(const std::string& dataDirectory, const std::vector<RecordRow>& deleted,
                   DhcpDeletion& outcome) {
    if (dataDirectory.empty() || deleted.empty())
        return;
    try {
        ForgetDeletedDhcpRecords(dataDirectory, deleted);
    } catch (const std::exception& error) {
        outcome.message = outcome.message.empty() ? error.what() : outcome.message + "\n" + error.what();
    }
}

} // namespace

DhcpDeletion DeleteDhcpRows(RecordListModel& model, std::vector<int> rows, const TreeList& trees,
                            const std::string& dataDirectory) {
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

    std::vector<RecordRow> deleted;
    for (std::size_t i = rows.size(); i-- > 0;) {
        try {
            RemoveDirectoryObject(locations[i].context, locations[i].objectName);
        } catch (const std::exception& error) {
            outcome.message = error.what();
            ForgetInCache(dataDirectory, deleted, outcome);
            return outcome;
        }
        deleted.push_back(model.row(rows[i]));
        model.removeRowAt(rows[i]);
        ++outcome.removed;
    }
    outcome.completed = true;
    ForgetInCache(dataDirectory, deleted, outcome);
    return outcome;
}

void RunDhcpDeletion(Services& services, RecordListModel& model, const std::vector<int>& rows,
                     const TreeList& trees, const std::string& dataDirectory) {
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
    const DhcpDeletion outcome = DeleteDhcpRows(model, rows, trees, dataDirectory);
    QApplication::restoreOverrideCursor();
    if (outcome.completed)
        services.showMessage(QString::fromLatin1(kRestartServiceMessage));
    if (!outcome.message.empty())
        services.showMessage(QString::fromStdString(outcome.message));
}

} // namespace browser
