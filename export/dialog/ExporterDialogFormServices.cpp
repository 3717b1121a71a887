#include "export/dialog/ExporterDialogFormServices.h"

#include "export/dialog/ExporterPalette.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace exporter {

namespace {

class TQtExportDialogServices : public TExportDialogServices {
public:
    bool SaveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                      QString& fileName) override {
        return Run(parent, QFileDialog::AcceptSave, filter, defaultSuffix, fileName);
    }
    bool OpenFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                      QString& fileName) override {
        return Run(parent, QFileDialog::AcceptOpen, filter, defaultSuffix, fileName);
    }
    bool InputQuery(QWidget* parent, const QString& title, const QString& prompt, QString& value) override {
        bool ok = false;
        const QString answer = QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, value, &ok);
        if (ok)
            value = answer;
        return ok;
    }
    bool PickColor(QWidget* parent, QColor& color) override {
        const QColor chosen = QColorDialog::getColor(color, parent);
        if (!chosen.isValid())
            return false;
        color = chosen;
        return true;
    }
    bool Question(QWidget* parent, const QString& title, const QString& text) override {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    void ShowError(QWidget* parent, const QString& text) override {
        QMessageBox::critical(parent, QString(), text);
    }
    void ShowMessage(QWidget* parent, const QString& text) override {
        QMessageBox::information(parent, QString(), text);
    }

private:
    static bool Run(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                    const QString& defaultSuffix, QString& fileName) {
        QFileDialog dialog(parent, QString(), QString(), filter);
        dialog.setAcceptMode(mode);
        dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile
                                                           : QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(defaultSuffix);
        if (!fileName.isEmpty())
            dialog.selectFile(fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        fileName = dialog.selectedFiles().first();
        return true;
    }
};

} // namespace

int TExportDialogServices::RunXlsColorEditor(TfmExporterXLSColorEditor& editor) {
    return editor.exec();
}

TExportDialogServices& QtExportDialogServices() {
    static TQtExportDialogServices services;
    return services;
}

} // namespace exporter
