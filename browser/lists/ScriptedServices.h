#pragma once

#include "browser/lists/Services.h"

#include <QStringList>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace browser {

// A Services for tests: answers come from queues filled beforehand, and every call is recorded.
// When a queue is empty the answer is the cautious one: the Cancel (or No) button, a cancelled
// input, file, colour or print dialog, and a form closed with mrCancel.
class ScriptedServices : public Services {
public:
    enum class Kind {
        Message,
        MessageDialog,
        Input,
        OpenFile,
        SaveFile,
        Colour,
        Print,
        Modal,
        Beep,
        OpenLink
    };

    struct Call {
        Kind kind;
        QString text;  // message or prompt; for Modal the form's class name; for OpenLink the address
        QString title; // title, or the file dialog's proposed file name
        MessageKind messageKind = MessageKind::Information;
        QMessageBox::StandardButtons buttons;
        QString detail; // a message's detail text
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };

    // Runs while the form is shown; it may fill fields and press buttons. A form still open
    // when the script returns is closed with mrCancel.
    using DialogScript = std::function<void(QDialog&)>;

    void queueButton(QMessageBox::StandardButton button) { buttons_.push_back(button); }
    void queueInput(std::optional<QString> answer) { inputs_.push_back(std::move(answer)); }
    // A chosen file (nullopt: cancelled), for open and save dialogs alike.
    void queueFile(std::optional<QString> fileName, const QString& selectedFilter = QString());
    void queueColour(std::optional<QColor> colour) { colours_.push_back(colour); }
    // Print dialog answer: nullopt cancels, otherwise whether only the selection is printed.
    void queuePrint(std::optional<bool> selectionOnly) { prints_.push_back(selectionOnly); }
    void queueDialog(DialogScript script) { dialogs_.push_back(std::move(script)); }

    const std::vector<Call>& calls() const { return calls_; }
    // The texts of every message box, in order.
    QStringList messages() const;
    // The class names of the forms run modally, in order.
    QStringList modalForms() const;
    int count(Kind kind) const;
    void clearCalls() { calls_.clear(); }
    // True when every queued answer was used.
    bool allAnswersUsed() const;

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
    // Records the address; opens nothing.
    void openLink(const QString& address) override;

private:
    struct FileAnswer {
        std::optional<QString> fileName;
        QString selectedFilter;
    };
    bool answerFile(Kind kind, FileDialogOptions& options);

    std::vector<Call> calls_;
    std::deque<QMessageBox::StandardButton> buttons_;
    std::deque<std::optional<QString>> inputs_;
    std::deque<FileAnswer> files_;
    std::deque<std::optional<QColor>> colours_;
    std::deque<std::optional<bool>> prints_;
    std::deque<DialogScript> dialogs_;
};

} // namespace browser
