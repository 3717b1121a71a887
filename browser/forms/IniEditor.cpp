#include "browser/forms/IniEditor.h"

#include "browser/lists/ListFileWriter.h"
#include "browser/lists/Named.h"
#include "browser/startup/StartupMessages.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace browser {

namespace {

QToolButton* ToolButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = Named<QToolButton>(name, parent);
    button->setText(text);
    button->setAutoRaise(true);
    return button;
}

} // namespace

TForm2::TForm2(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Cormelian.ini editor"));

    RichEdit1 = Named<QPlainTextEdit>("RichEdit1", this);
    RichEdit1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    ToolButton2 = ToolButton("ToolButton2", QStringLiteral("Close"), this);
    ToolButton4 = ToolButton("ToolButton4", QStringLiteral("Reload"), this);
    ToolButton6 = ToolButton("ToolButton6", QStringLiteral("Save"), this);

    auto* layout = new QVBoxLayout(this);
    auto* tools = new QHBoxLayout;
    tools->addWidget(ToolButton2);
    tools->addWidget(ToolButton4);
    tools->addWidget(ToolButton6);
    tools->addStretch();
    layout->addLayout(tools);
    layout->addWidget(RichEdit1, 1);
    resize(640, 480);

    connect(ToolButton2, &QToolButton::clicked, this, &TForm2::ToolButton2Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TForm2::ToolButton4Click);
    connect(ToolButton6, &QToolButton::clicked, this, &TForm2::ToolButton6Click);
}

void TForm2::Open(const std::string& fileName) {
    logic_.SetFileName(fileName);
    LoadFile();
}

void TForm2::LoadFile() {
    try {
        RichEdit1->setPlainText(QString::fromStdString(logic_.Load()));
    } catch (const ListFileError& error) {
        RichEdit1->clear();
        services().showMessage(QString::fromStdString(error.what()));
    }
    RichEdit1->document()->setModified(false);
}

void TForm2::ToolButton2Click() {
    if (RichEdit1->document()->isModified() &&
        services().messageDialog(QString::fromLatin1(msg::kIniEditorUnsaved), MessageKind::Confirmation,
                                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    setModalResult(mrCancel);
}

void TForm2::ToolButton4Click() {
    LoadFile();
}

void TForm2::ToolButton6Click() {
    if (RichEdit1->document()->isModified()) {
        try {
            logic_.Save(RichEdit1->toPlainText().toStdString());
        } catch (const ListFileError& error) {
            // Still modified: nothing was lost, the user may try again.
            services().showMessage(QString::fromStdString(error.what()));
            return;
        }
    }
    RichEdit1->document()->setModified(false);
    services().showMessage(QString::fromLatin1(msg::kIniEditorSaved));
}

} // namespace browser
