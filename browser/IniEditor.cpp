#include "browser/IniEditor.h"

#include "browser/Named.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
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

void TForm2::ToolButton2Click() {
    setModalResult(mrCancel);
}

void TForm2::ToolButton4Click() {}

void TForm2::ToolButton6Click() {}

} // namespace browser
