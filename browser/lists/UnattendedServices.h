#pragma once

// The services of a run that no user watches: messages go to standard error and nothing waits.

#include "browser/lists/Services.h"

#include <ostream>
#include <string>
#include <vector>

namespace browser {

// A dialog given this property (true) only informs: skipping it in an unattended run is no problem.
inline constexpr const char* kInformationalDialogProperty = "informational";

// Every message, question and modal form is written to the error stream instead of being shown,
// and answered as a user who cannot answer would: questions with No (or Cancel), file, colour,
// print and input dialogs as cancelled, forms with mrCancel. Each of these except an information
// message counts as a problem, since the run could not do what a user would have decided.
class UnattendedServices : public Services {
public:
    explicit UnattendedServices(std::ostream& errors) : errors_(errors) {}

    void showMessage(const QString& text) override;
    QMessageBox::StandardButton
    messageDialog(const QString& text, MessageKind kind, QMessageBox::StandardButtons buttons,
                  const QString& title = QString(),
                  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) override;
    bool inputQuery(const QString& title, const QString& prompt, QString& value) override;
    bool openFileName(FileDialogOptions& options) override;
    bool saveFileName(FileDialogOptions& options) override;
    bool chooseColor(QColor& colour) override;
    bool printDialog(QPrinter& printer, PrintDialogOptions& options) override;
    int showModal(QDialog& dialog) override;
    void beep() override {}
    void openLink(const QString&) override {}

    // How many times the run met something only a user could have settled.
    int Problems() const { return problems_; }

private:
    void Report(const QString& text, bool problem);

    std::ostream& errors_;
    int problems_ = 0;
};

// True when the command line asks for an unattended run: a batch switch ("/alldns", "/alldhcp")
// together with "/autoclose".
bool UnattendedRun(const std::vector<std::string>& commandLine);

// The exit code of an unattended run: the program's own, or 1 when it was 0 but problems were met.
int UnattendedExitCode(int programResult, const UnattendedServices& services);

} // namespace browser
