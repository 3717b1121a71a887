#include "browser/Login.h"

#include "browser/Named.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace browser {

TLoginForm::TLoginForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("LoginForm"));
    setWindowTitle(QStringLiteral("Login"));

    NameEdit = Named<QLineEdit>("NameEdit", this);
    PasswordEdit = Named<QLineEdit>("PasswordEdit", this);
    PasswordEdit->setEchoMode(QLineEdit::Password);
    browseButton = Named<QPushButton>("browseButton", QStringLiteral("..."), this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Name"), this), 0, 0);
    grid->addWidget(NameEdit, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Password"), this), 1, 0);
    grid->addWidget(PasswordEdit, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    grid->addLayout(buttons, 2, 0, 1, 3);

    connect(browseButton, &QPushButton::clicked, this, &TLoginForm::browseButtonClick);
    connect(okButton, &QPushButton::clicked, this, &TLoginForm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
    connect(NameEdit, &QLineEdit::editingFinished, this, &TLoginForm::NameEditExit);
}

void TLoginForm::browseButtonClick() {}

void TLoginForm::okButtonClick() {
    setModalResult(mrOk);
}

void TLoginForm::NameEditExit() {}

} // namespace browser
