#pragma once

// The export dialog's own window as the form of the main window's export dialog component, with its file
// choices, questions and messages going through the program's services.

#include "browser/lists/Services.h"
#include "export/dialog/ExporterDialogFormServices.h"

namespace exporter {
class TExporterDialog;
}

namespace browser {

// The export dialog's modal windows on the program's services.
class ExportDialogServices : public exporter::TExportDialogServices {
public:
    explicit ExportDialogServices(Services& services) : services_(services) {}

    bool SaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                      QString& fileName) override;
    bool OpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                      QString& fileName) override;
    bool InputQuery(QWidget* parent, const QString& title, const QString& prompt, QString& value) override;
    bool PickColor(QWidget* parent, QColor& color) override;
    bool Question(QWidget* parent, const QString& title, const QString& text) override;
    void ShowError(QWidget* parent, const QString& text) override;
    // An information: in an unattended run it goes to standard error without counting as a problem.
    void ShowMessage(QWidget* parent, const QString& text) override;

private:
    Services& services_;
};

// Makes the export dialog's window the form the component shows on Execute. services must outlive the
// component.
void InstallExportDialogForm(exporter::TExporterDialog& dialog, exporter::TExportDialogServices& services);

} // namespace browser
