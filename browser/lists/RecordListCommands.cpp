#include "browser/lists/RecordListCommands.h"

#include "browser/lists/BusyCursor.h"
#include "browser/lists/CsvExport.h"
#include "browser/lists/DNSSearch.h"
#include "browser/lists/HostsExport.h"
#include "browser/lists/HostsWriter.h"
#include "browser/lists/ListFileWriter.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListSort.h"
#include "browser/lists/RichTextSave.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>

#include <algorithm>

namespace browser {

namespace {

constexpr int kCheckPage = 6;

} // namespace

RecordListKind ListForPage(int page) {
    switch (page) {
    case 0:
        return RecordListKind::Dns;
    case 1:
        return RecordListKind::RevDns;
    default:
        return RecordListKind::Dhcp;
    }
}

std::vector<const RecordRow*> AllRows(const RecordListModel& model) {
    std::vector<const RecordRow*> rows;
    rows.reserve(model.rows().size());
    for (const RecordRow& row : model.rows())
        rows.push_back(&row);
    return rows;
}

std::vector<const RecordRow*> SelectedRows(const QAbstractItemView& view, const RecordListModel& model) {
    std::vector<int> numbers;
    if (const QItemSelectionModel* selection = view.selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows(0))
            numbers.push_back(index.row());
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<const RecordRow*> rows;
    rows.reserve(numbers.size());
    for (const int number : numbers) {
        if (number >= 0 && number < model.count())
            rows.push_back(&model.row(number));
    }
    return rows;
}

bool ExportCsvRows(Services& services, FileDialogOptions& dialog, RecordListKind list,
                   const std::vector<const RecordRow*>& rows, bool withoutDialog, ListFileGroup* group) {
    dialog.fileName = QString::fromStdString(DefaultCsvFileName(list));
    if (!withoutDialog && !services.saveFileName(dialog))
        return false;
    try {
        if (group)
            group->Add(dialog.fileName.toStdString(), CsvText(rows, CsvColumnCount(list)));
        else
            WriteCsvFile(dialog.fileName.toStdString(), rows, CsvColumnCount(list));
    } catch (const ListFileError& error) {
        services.showMessage(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

bool SavePageTextAs(Services& services, FileDialogOptions& dialog, const QTextDocument& document, int page) {
    const QStringList filters = dialog.filter.split(QStringLiteral(";;"));
    // The rich-text filter comes first, the text filter second.
    dialog.selectedFilter = filters.value(page == kCheckPage ? 1 : 0);
    if (!services.saveFileName(dialog))
        return false;
    const PageTextFormat format = dialog.selectedFilter.startsWith(QStringLiteral("TXT"), Qt::CaseInsensitive)
                                      ? PageTextFormat::PlainText
                                      : PageTextFormat::RichText;
    try {
        SavePageText(document, dialog.fileName.toStdString(), format);
    } catch (const ListFileError& error) {
        services.showMessage(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

bool MakeHostsFile(Services& services, FileDialogOptions& dialog, THosts& options, RecordListModel& dnsList) {
    if (dnsList.count() == 0)
        return false;
    if (!services.saveFileName(dialog))
        return false;
    services.showModal(options);
    SortRecordList(dnsList, RecordListKind::Dns, 0, ListDateReader());
    try {
        WriteHostsFile(dialog.fileName.toStdString(),
                       HostsLines(dnsList.rows(), options.CheckBox1->isChecked()));
    } catch (const ListFileError& error) {
        services.showMessage(QString::fromStdString(error.what()));
        return false;
    }
    return true;
}

bool AskSearchTerm(Services& services, TSearch& dialog, SearchState& state, int page) {
    if (page < 0 || page > 2)
        return false;
    const bool macSearch = page == 2;
    dialog.MaskEdit1->setEnabled(macSearch);
    dialog.MacAddressLabel->setEnabled(macSearch);
    const std::string macEmpty = dialog.MacEmptyText().toStdString();
    if (!state.SearchTerm.empty()) {
        const SearchFields fields = PrefillSearchFields(state, macEmpty);
        dialog.Edit2->setText(QString::fromStdString(fields.address));
        dialog.Edit1->setText(QString::fromStdString(fields.name));
        if (fields.mac == macEmpty)
            dialog.MaskEdit1->clear();
        else
            dialog.MaskEdit1->setText(QString::fromStdString(fields.mac));
    }
    if (services.showModal(dialog) != mrOk)
        return false;
    const SearchFields answer{dialog.Edit2->text().toStdString(), dialog.Edit1->text().toStdString(),
                              dialog.MaskEdit1->text().toStdString()};
    return TakeSearchFields(answer, macEmpty, state);
}

void FindInList(Services& services, QAbstractItemView& view, const RecordListModel& model,
                SearchState& state) {
    view.clearSelection();
    const int found = FindMatchingRow(model.rows(), state);
    if (found < 0) {
        const std::string message = NotFoundMessage(state);
        if (!message.empty())
            services.showMessage(QString::fromStdString(message));
        return;
    }
    const QModelIndex index = model.index(found, 0);
    view.selectionModel()->setCurrentIndex(index,
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view.scrollTo(index);
    state.LastFoundIndex = found;
    view.setFocus();
}

void PrintRecordList(Services& services, QPrinter& printer, PrintDialogOptions& options,
                     const QAbstractItemView& view, const RecordListModel& model, RecordListKind list,
                     const ListPrintSettings& settings) {
    printer.setPageOrientation(settings.OrientationFor(list));
    if (!services.printDialog(printer, options))
        return;
    const BusyCursor hourglass;
    const std::vector<const RecordRow*> rows =
        options.selectionOnly ? SelectedRows(view, model) : AllRows(model);
    if (!PrintRecordRows(printer, rows, list, settings))
        services.showMessage(QStringLiteral("The print job could not be started."));
}

} // namespace browser
