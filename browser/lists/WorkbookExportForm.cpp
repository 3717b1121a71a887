#include "browser/lists/WorkbookExportForm.h"

#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogFormWindow.h"

namespace browser {

namespace {

bool ChooseFile(Services& services, bool save, const QString& filter, const QString& defaultSuffix,
                QString& fileName) {
    FileDialogOptions options;
    options.fileName = fileName;
    options.filter = filter;
    options.defaultSuffix = defaultSuffix;
    if (!(save ? services.saveFileName(options) : services.openFileName(options)))
        return false;
    fileName = options.fileName;
    return true;
}

} // namespace

bool ExportDialogServices::SaveFileName(QWidget*, const QString& filter, const QString& defaultSuffix,
                                        QString& fileName) {
    return ChooseFile(services_, true, filter, defaultSuffix, fileName);
}

bool ExportDialogServices::OpenFileName(QWidget*, const QString& filter, const QString& defaultSuffix,
                                        QString& fileName) {
    return ChooseFile(services_, false, filter, defaultSuffix, fileName);
}

bool ExportDialogServices::InputQuery(QWidget*, const QString& title, const QString& prompt, QString& value) {
    return services_.inputQuery(title, prompt, value);
}

bool ExportDialogServices::PickColor(QWidget*, QColor& color) {
    return services_.chooseColor(color);
}

bool ExportDialogServices::Question(QWidget*, const QString& title, const QString& text) {
    return services_.messageDialog(text, MessageKind::Confirmation, QMessageBox::Yes | QMessageBox::No, title,
                                   QMessageBox::No) == QMessageBox::Yes;
}

void ExportDialogServices::ShowError(QWidget*, const QString& text) {
    services_.messageDialog(text, MessageKind::Error, QMessageBox::Ok);
}

void ExportDialogServices::ShowMessage(QWidget*, const QString& text) {
    services_.messageDialog(text, MessageKind::Information, QMessageBox::Ok);
}

void InstallExportDialogForm(exporter::TExporterDialog& dialog, exporter::TExportDialogServices& services) {
    exporter::TExporterDialogFormWindow::Install(dialog, &services);
}

} // namespace browser
