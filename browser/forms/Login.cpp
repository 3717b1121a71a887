#include "browser/forms/Login.h"

#include "browser/forms/ReportErrors.h"
#include "browser/forms/backup2.h"
#include "browser/lists/Named.h"
#include "browser/startup/StartupMessages.h"

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

void TLoginForm::SetLoginContext(ContextHandle context) {
    if (directory_ == nullptr)
        return;
    setWindowTitle(QString::fromStdString(logic_.SetLoginContext(context, *directory_)));
}

void TLoginForm::browseButtonClick() {
    if (browser_ == nullptr || directory_ == nullptr)
        return;
    TcForm& browser = *browser_;
    browser.SetContext(logic_.Context());
    browser.setWindowTitle(QString::fromLatin1(msg::kSelectUserCaption));
    browser.SetLeafMode(true);
    browser.ClearClassFilter();
    browser.AddClassFilter(QStringLiteral("User"));
    browser.AddClassFilter(QStringLiteral("Alias"));
    browser.SetStartObject(NameEdit->text());
    if (services().showModal(browser) != mrOk)
        return;
    RunReportingErrors(services(), [&] {
        const auto choice = logic_.ChooseUser(browser.ChosenObject().toStdString(), *directory_);
        if (choice.name)
            NameEdit->setText(QString::fromStdString(*choice.name));
        else
            services().showMessage(QString::fromStdString(choice.message));
    });
}

void TLoginForm::okButtonClick() {
    if (directory_ == nullptr)
        return;
    NameEditExit();
    std::optional<std::string> failure;
    const bool ran = RunReportingErrors(services(), [&] {
        failure =
            logic_.Login(NameEdit->text().toStdString(), PasswordEdit->text().toStdString(), *directory_);
    });
    if (!ran)
        return;
    if (failure) {
        services().showMessage(QString::fromStdString(*failure));
        return;
    }
    setModalResult(mrOk);
}

void TLoginForm::NameEditExit() {
    const QString name =
        QString::fromStdString(LoginFormLogic::NormalizeName(NameEdit->text().toStdString()));
    if (name != NameEdit->text())
        NameEdit->setText(name);
}

void TLoginForm::FormHide() {
    PasswordEdit->clear();
}

} // namespace browser
