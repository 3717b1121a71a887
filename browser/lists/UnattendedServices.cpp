#include "browser/lists/UnattendedServices.h"

#include "browser/lists/BatchSwitches.h"

#include <QDialog>
#include <QLabel>

namespace browser {

void UnattendedServices::Report(const QString& text, bool problem) {
    errors_ << text.toStdString() << '\n';
    errors_.flush();
    if (problem)
        ++problems_;
}

void UnattendedServices::showMessage(const QString& text) {
    Report(text, true);
}

QMessageBox::StandardButton UnattendedServices::messageDialog(const QString& text, MessageKind kind,
                                                              QMessageBox::StandardButtons buttons,
                                                              const QString& title,
                                                              QMessageBox::StandardButton) {
    Report(title.isEmpty() ? text : title + QStringLiteral(": ") + text, kind != MessageKind::Information);
    for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok}) {
        if (buttons.testFlag(answer))
            return answer;
    }
    return QMessageBox::NoButton;
}

bool UnattendedServices::inputQuery(const QString& title, const QString& prompt, QString&) {
    Report(title + QStringLiteral(": ") + prompt + QStringLiteral(" (no answer in an unattended run)"), true);
    return false;
}

bool UnattendedServices::openFileName(FileDialogOptions& options) {
    Report(options.title + QStringLiteral(" (no file chosen in an unattended run)"), true);
    return false;
}

bool UnattendedServices::saveFileName(FileDialogOptions& options) {
    Report(options.title + QStringLiteral(" (no file chosen in an unattended run)"), true);
    return false;
}

bool UnattendedServices::chooseColor(QColor&) {
    Report(QStringLiteral("No colour chosen in an unattended run"), true);
    return false;
}

bool UnattendedServices::printDialog(QPrinter&, PrintDialogOptions&) {
    Report(QStringLiteral("Nothing printed in an unattended run"), true);
    return false;
}

int UnattendedServices::showModal(QDialog& dialog) {
    QString text = dialog.windowTitle();
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral(": ")) + label->text();
    }
    Report(text, !dialog.property(kInformationalDialogProperty).toBool());
    return mrCancel;
}

bool UnattendedRun(const std::vector<std::string>& commandLine) {
    return HasSwitch(commandLine, kAutoCloseSwitch) &&
           (HasSwitch(commandLine, kAllDnsSwitch) || HasSwitch(commandLine, kAllDhcpSwitch));
}

int UnattendedExitCode(int programResult, const UnattendedServices& services) {
    return programResult == 0 && services.Problems() > 0 ? 1 : programResult;
}

} // namespace browser
