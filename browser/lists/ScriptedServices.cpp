#include "browser/lists/ScriptedServices.h"

#include <QDialog>

#include <algorithm>

namespace browser {

namespace {

// The button a user who wants nothing to happen would press.
QMessageBox::StandardButton CautiousButton(QMessageBox::StandardButtons buttons) {
    for (QMessageBox::StandardButton button : {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Abort,
                                               QMessageBox::Ignore, QMessageBox::Ok, QMessageBox::Yes}) {
        if (buttons.testFlag(button))
            return button;
    }
    return QMessageBox::NoButton;
}

template <typename T> std::optional<T> Take(std::deque<T>& queue) {
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

void ScriptedServices::queueFile(std::optional<QString> fileName, const QString& selectedFilter) {
    files_.push_back(FileAnswer{std::move(fileName), selectedFilter});
}

QStringList ScriptedServices::messages() const {
    QStringList texts;
    for (const Call& call : calls_) {
        if (call.kind == Kind::Message || call.kind == Kind::MessageDialog)
            texts << call.text;
    }
    return texts;
}

QStringList ScriptedServices::modalForms() const {
    QStringList names;
    for (const Call& call : calls_) {
        if (call.kind == Kind::Modal)
            names << call.text;
    }
    return names;
}

int ScriptedServices::count(Kind kind) const {
    return static_cast<int>(
        std::count_if(calls_.begin(), calls_.end(), [kind](const Call& call) { return call.kind == kind; }));
}

bool ScriptedServices::allAnswersUsed() const {
    return buttons_.empty() && inputs_.empty() && files_.empty() && colours_.empty() && prints_.empty() &&
           dialogs_.empty();
}

void ScriptedServices::showMessage(const QString& text) {
    calls_.push_back(Call{Kind::Message, text, QString(), MessageKind::Information, QMessageBox::Ok});
}

QMessageBox::StandardButton ScriptedServices::messageDialog(const QString& text, MessageKind kind,
                                                            QMessageBox::StandardButtons buttons,
                                                            const QString& title,
                                                            QMessageBox::StandardButton defaultButton) {
    calls_.push_back(Call{Kind::MessageDialog, text, title, kind, buttons, defaultButton});
    return Take(buttons_).value_or(CautiousButton(buttons));
}

bool ScriptedServices::inputQuery(const QString& title, const QString& prompt, QString& value) {
    calls_.push_back(Call{Kind::Input, prompt, title, MessageKind::Information, {}});
    const std::optional<QString> answer = Take(inputs_).value_or(std::nullopt);
    if (!answer)
        return false;
    value = *answer;
    return true;
}

bool ScriptedServices::answerFile(Kind kind, FileDialogOptions& options) {
    calls_.push_back(Call{kind, options.title, options.fileName, MessageKind::Information, {}});
    const std::optional<FileAnswer> answer = Take(files_);
    if (!answer || !answer->fileName)
        return false;
    options.fileName = *answer->fileName;
    if (!answer->selectedFilter.isEmpty())
        options.selectedFilter = answer->selectedFilter;
    return true;
}

bool ScriptedServices::openFileName(FileDialogOptions& options) {
    return answerFile(Kind::OpenFile, options);
}

bool ScriptedServices::saveFileName(FileDialogOptions& options) {
    return answerFile(Kind::SaveFile, options);
}

bool ScriptedServices::chooseColor(QColor& colour) {
    calls_.push_back(Call{Kind::Colour, colour.name(), QString(), MessageKind::Information, {}});
    const std::optional<QColor> answer = Take(colours_).value_or(std::nullopt);
    if (!answer)
        return false;
    colour = *answer;
    return true;
}

bool ScriptedServices::printDialog(QPrinter&, PrintDialogOptions& options) {
    calls_.push_back(Call{Kind::Print, QString(), QString(), MessageKind::Information, {}});
    const std::optional<bool> answer = Take(prints_).value_or(std::nullopt);
    if (!answer)
        return false;
    options.selectionOnly = options.allowSelection && *answer;
    return true;
}

int ScriptedServices::showModal(QDialog& dialog) {
    const QString className =
        QString::fromLatin1(dialog.metaObject()->className()).section(QStringLiteral("::"), -1);
    calls_.push_back(Call{Kind::Modal, className, dialog.windowTitle(), MessageKind::Information, {}});
    dialog.setResult(mrNone);
    dialog.show();
    if (std::optional<DialogScript> script = Take(dialogs_); script && *script)
        (*script)(dialog);
    if (dialog.isVisible())
        dialog.done(mrCancel);
    return dialog.result();
}

void ScriptedServices::beep() {
    calls_.push_back(Call{Kind::Beep, QString(), QString(), MessageKind::Information, {}});
}

void ScriptedServices::openLink(const QString& address) {
    calls_.push_back(Call{Kind::OpenLink, address, QString(), MessageKind::Information, {}});
}

} // namespace browser
