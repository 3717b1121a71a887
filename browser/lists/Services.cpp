#include "browser/lists/Services.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace browser {

namespace {

QWidget* ActiveWindow() {
    return QApplication::activeWindow();
}

QMessageBox::Icon IconOf(MessageKind kind) {
    switch (kind) {
    case MessageKind::Information:
        return QMessageBox::Information;
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString TitleOr(const QString& title) {
    return title.isEmpty() ? QApplication::applicationName() : title;
}

// Runs a prepared file dialog and copies the choice back into options.
bool RunFileDialog(QFileDialog& dialog, FileDialogOptions& options) {
    if (!options.filter.isEmpty()) {
        dialog.setNameFilter(options.filter);
        if (!options.selectedFilter.isEmpty())
            dialog.selectNameFilter(options.selectedFilter);
    }
    if (!options.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.defaultSuffix);
    if (!options.fileName.isEmpty())
        dialog.selectFile(options.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    options.fileName = dialog.selectedFiles().constFirst();
    options.selectedFilter = dialog.selectedNameFilter();
    return true;
}

} // namespace

void QtServices::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    ActiveWindow());
    box.exec();
}

QMessageBox::StandardButton QtServices::messageDialog(const QString& text, MessageKind kind,
                                                      QMessageBox::StandardButtons buttons,
                                                      const QString& title,
                                                      QMessageBox::StandardButton defaultButton) {
    QMessageBox box(IconOf(kind), TitleOr(title), text, buttons, ActiveWindow());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool QtServices::inputQuery(const QString& title, const QString& prompt, QString& value) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(ActiveWindow(), title, prompt, QLineEdit::Normal, value, &ok);
    if (ok)
        value = answer;
    return ok;
}

bool QtServices::openFileName(FileDialogOptions& options) {
    QFileDialog dialog(ActiveWindow(), options.title, options.directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog, options);
}

bool QtServices::saveFileName(FileDialogOptions& options) {
    QFileDialog dialog(ActiveWindow(), options.title, options.directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    return RunFileDialog(dialog, options);
}

bool QtServices::chooseColor(QColor& colour) {
    const QColor chosen = QColorDialog::getColor(colour, ActiveWindow());
    if (!chosen.isValid())
        return false;
    colour = chosen;
    return true;
}

bool QtServices::printDialog(QPrinter& printer, PrintDialogOptions& options) {
    QPrintDialog dialog(&printer, ActiveWindow());
    dialog.setOption(QAbstractPrintDialog::PrintSelection, options.allowSelection);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    options.selectionOnly = dialog.printRange() == QAbstractPrintDialog::Selection;
    return true;
}

int QtServices::showModal(QDialog& dialog) {
    return dialog.exec();
}

void QtServices::beep() {
    QApplication::beep();
}

void QtServices::openLink(const QString& address) {
    QDesktopServices::openUrl(QUrl(address));
}

} // namespace browser
