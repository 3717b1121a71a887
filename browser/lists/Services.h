#pragma once

#include <QColor>
#include <QMessageBox>
#include <QString>

class QDialog;
class QPrinter;

namespace browser {

// Results a modal form ends with (the values classic Windows dialogs end with).
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// What a message box looks like; decides its icon.
enum class MessageKind { Information, Warning, Error, Confirmation };

// The settings a file dialog opens with, and what it leaves behind: a caller keeps one of these
// per dialog, so the last chosen file name and filter stay for the next use.
struct FileDialogOptions {
    QString title;
    QString directory;      // initial folder
    QString fileName;       // proposed name; the chosen file after a successful run
    QString filter;         // Qt form: "Text (*.txt);;All files (*)"
    QString selectedFilter; // preselected filter; the chosen one after a successful run
    QString defaultSuffix;  // added when the user types a name without extension
};

// The settings a print dialog opens with, and the range the user chose.
struct PrintDialogOptions {
    bool allowSelection = false; // the user may print only the selected rows
    bool selectionOnly = false;  // after a successful run: only the selection is to be printed
};

// Everything that would block on a modal window of the system: message boxes, questions, input
// boxes, file, colour and print dialogs, and the modal run of the program's own forms. Windows
// call these instead of the toolkit so that tests can answer them without a user.
class Services {
public:
    virtual ~Services() = default;

    // A plain message with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // A plain message whose box also offers a detail text (here: below the message).
    virtual void showDetailedMessage(const QString& text, const QString& detail);
    // A message box with the given buttons; returns the button pressed. Without a default button the
    // toolkit chooses one (Yes, OK).
    virtual QMessageBox::StandardButton
    messageDialog(const QString& text, MessageKind kind, QMessageBox::StandardButtons buttons,
                  const QString& title = QString(),
                  QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;
    // An input box; false when cancelled. value carries the preset text in and the answer out.
    virtual bool inputQuery(const QString& title, const QString& prompt, QString& value) = 0;
    // File choice; false when cancelled. On success options.fileName and options.selectedFilter
    // hold the choice.
    virtual bool openFileName(FileDialogOptions& options) = 0;
    virtual bool saveFileName(FileDialogOptions& options) = 0;
    // Colour choice; false when cancelled, else colour holds the choice.
    virtual bool chooseColor(QColor& colour) = 0;
    // The print dialog for printer; false when cancelled.
    virtual bool printDialog(QPrinter& printer, PrintDialogOptions& options) = 0;
    // Runs one of the program's own forms modally and returns its modal result.
    virtual int showModal(QDialog& dialog) = 0;
    // The short warning sound.
    virtual void beep() = 0;
    // The system's "Open" action on a link: a web address or a "mailto:" address.
    virtual void openLink(const QString& address) = 0;
};

// The real thing: Qt's dialogs and QDialog::exec().
class QtServices : public Services {
public:
    void showMessage(const QString& text) override;
    void showDetailedMessage(const QString& text, const QString& detail) override;
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
    void beep() override;
    void openLink(const QString& address) override;
};

} // namespace browser
