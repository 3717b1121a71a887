// The main window's DNS look-up page, server-module commands and About button.
#include "browser/forms/Cormelian1.h"

#include "browser/collection/TreeObj.h"
#include "browser/forms/Aboutunit.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/Forms.h"
#include "browser/forms/ReportErrors.h"
#include "browser/forms/StartParameters.h"
#include "browser/lookup/BackgroundDnsLookup.h"
#include "browser/lookup/DnsLookup.h"
#include "browser/lookup/ServerModules.h"
#include "platform/ini/IniFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTextEdit>
#include <QTreeWidget>

namespace browser {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Puts text at the top of a history box and leaves it as the box's text.
void PushHistory(QComboBox* box, const QString& text) {
    std::vector<std::string> items;
    for (int index = 0; index < box->count(); ++index)
        items.push_back(box->itemText(index).toStdString());
    PushLookupHistory(items, text.toStdString());
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& item : items)
        box->addItem(Q(item));
    box->setCurrentIndex(0);
    box->setEditText(text);
}

} // namespace

struct TForm1::ServiceRow {
    ContextHandle context = 0;
    std::string fullName;
    std::string caption;
    ServerModuleKind kind = ServerModuleKind::Dns;
};

bool TForm1::LookupRunning() const {
    return lookup_ != nullptr && lookup_->running();
}

void TForm1::Button2Click() {
    if (LookupRunning())
        return; // one query at a time
    Button2->setEnabled(false);
    RE2->clear();
    const QString resolve = cb2->currentText().trimmed();
    const QString server = cb3->currentText().trimmed();
    if (resolve.isEmpty()) {
        services_.showMessage(QString::fromLatin1(kNoResolveStringMessage));
        cb2->setFocus();
    } else if (server.isEmpty()) {
        services_.showMessage(QString::fromLatin1(kNoDnsServerMessage));
        cb3->setFocus();
    } else {
        PushHistory(cb3, server);
        PushHistory(cb2, resolve);
        DnsQuery query;
        query.name = LookupName(resolve.toStdString());
        query.server = server.toStdString();
        query.queryType = qbox->currentData().toInt();
        query.recursion = CheckBox7->isChecked();
        query.port = LookupPort;
        query.timeout = LookupTimeout;
        if (lookup_ == nullptr) {
            lookup_ = new BackgroundDnsLookup(this);
            connect(lookup_, &BackgroundDnsLookup::finished, this, &TForm1::ShowLookupResult);
        }
        // The query runs off the window's thread; the button comes back with its outcome.
        if (lookup_->start(query))
            return;
    }
    Button2->setEnabled(true);
}

void TForm1::ShowLookupResult(const DnsLookupResult& result) {
    if (!result.ok)
        services_.showMessage(Q(result.error));
    for (const std::string& line : result.lines)
        RE2->append(Q(line));
    Button2->setEnabled(true);
}

std::optional<TForm1::ServiceRow> TForm1::SelectedServiceRow() const {
    const std::optional<SelectedObject> object = SelectedObjectOf(lv1);
    if (!object || paneIcons_ == nullptr || paneTrees_ == nullptr)
        return std::nullopt;
    const std::optional<ServerModuleKind> kind = ServerModuleKindForImage(object->image, *paneIcons_);
    if (!kind || object->treeIndex < 0 || object->treeIndex >= paneTrees_->Count())
        return std::nullopt;
    const QTreeWidgetItem* current = lv1->currentItem();
    const QTreeWidgetItem* item =
        current != nullptr && current->isSelected() ? current : lv1->selectedItems().first();
    ServiceRow row;
    row.context = paneTrees_->Object(object->treeIndex).context;
    row.fullName = object->fullName;
    row.caption = item->text(0).toStdString();
    row.kind = *kind;
    return row;
}

std::string TForm1::ModuleSettingsPath() const {
    if (!ModuleSettingsFile.empty())
        return ModuleSettingsFile;
    return startup_ ? startup_->DataIniPath() : std::string();
}

void TForm1::StartServiceClick() {
    const std::optional<ServiceRow> row = SelectedServiceRow();
    if (!row || forms_.Form4 == nullptr || ModuleSettingsPath().empty())
        return;
    TForm4& dialog = *forms_.Form4;
    RunReportingErrors(services_, [&] {
        ini::IniFile settings(ModuleSettingsPath());
        const ServiceTarget target = FindServiceTarget(row->context, row->fullName, row->kind);
        if (!target.ok()) {
            services_.showMessage(Q(target.error));
            return;
        }
        dialog.setWindowTitle(Q(StartDialogCaption(target)));
        dialog.Edit1->setText(Q(ReadStartParameters(settings, target.module, row->caption)));
        if (services_.showModal(dialog) != mrOk)
            return;
        const std::string parameters = dialog.Edit1->text().toStdString();
        SaveStartParameters(settings, target.module, row->caption, parameters,
                            dialog.serverDefaultBox->isChecked(), dialog.defaultBox->isChecked());
        settings.UpdateFile();
        const std::string message =
            StartServerModule(row->context, target, row->caption, target.module + " " + parameters);
        if (!message.empty())
            services_.showMessage(Q(message));
    });
}

void TForm1::StopServiceClick() {
    const std::optional<ServiceRow> row = SelectedServiceRow();
    if (!row || forms_.Form4 == nullptr)
        return;
    const TForm4& dialog = *forms_.Form4;
    RunReportingErrors(services_, [&] {
        const ServiceTarget target = FindServiceTarget(row->context, row->fullName, row->kind);
        if (!target.ok()) {
            services_.showMessage(Q(target.error));
            return;
        }
        const std::string message = StopServerModule(
            row->context, target, row->caption, target.module + " " + dialog.Edit1->text().toStdString());
        if (!message.empty())
            services_.showMessage(Q(message));
    });
}

void TForm1::AboutButClick() {
    if (forms_.About != nullptr)
        services_.showModal(*forms_.About);
}

} // namespace browser
