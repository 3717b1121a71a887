#include "browser/forms/SettingsForm.h"

#include "browser/forms/ReportErrors.h"
#include "browser/lists/Named.h"
#include "browser/startup/StartupMessages.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace browser {

TsetForm::TsetForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("setForm"));
    setWindowTitle(QStringLiteral("Settings"));

    topEdit = Named<QLineEdit>("topEdit", this);
    browseButton = Named<QPushButton>("browseButton", QStringLiteral("..."), this);
    masterBox = Named<QCheckBox>("masterBox", QStringLiteral("Use master replica's"), this);
    defaultBox = Named<QCheckBox>("defaultBox", QStringLiteral("Set as default"), this);
    showAllBox = Named<QCheckBox>("showAllBox", QStringLiteral("Show All start setting"), this);
    cacheBox = Named<QCheckBox>("cacheBox", QStringLiteral("Cache Offline"), this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);
    helpButton = Named<QPushButton>("helpButton", QStringLiteral("Help"), this);

    auto* grid = new QGridLayout(this);
    auto* topLabel = new QLabel(QStringLiteral("Search \"top\""), this);
    topLabel->setBuddy(topEdit);
    grid->addWidget(topLabel, 0, 0);
    grid->addWidget(topEdit, 0, 1);
    grid->addWidget(browseButton, 0, 2);
    grid->addWidget(masterBox, 1, 1);
    grid->addWidget(defaultBox, 2, 1);
    grid->addWidget(showAllBox, 3, 1);
    grid->addWidget(cacheBox, 4, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    buttons->addWidget(helpButton);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(browseButton, &QPushButton::clicked, this, &TsetForm::browseButtonClick);
    connect(okButton, &QPushButton::clicked, this, &TsetForm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
}

void TsetForm::FormShow() {
    if (helper_ == nullptr)
        return;
    // Filled once per show: a message box of OK that closes gives the focus back without
    // resetting what the user typed.
    RunReportingErrors(services(), [this] {
        const SetFormLogic::Shown shown = logic_.Activate(iniPath_, *helper_);
        topEdit->setText(QString::fromStdString(shown.top));
        masterBox->setChecked(shown.useMaster);
        defaultBox->setVisible(shown.setAsDefaultVisible);
        defaultBox->setChecked(false);
    });
    topEdit->setFocus();
}

void TsetForm::browseButtonClick() {
    services().showMessage(QString::fromLatin1(msg::kNotYetBuilt));
}

void TsetForm::okButtonClick() {
    if (directory_ == nullptr || helper_ == nullptr)
        return;
    SetFormLogic::Outcome outcome;
    const bool ran = RunReportingErrors(services(), [&] {
        outcome = logic_.Accept(topEdit->text().toStdString(), masterBox->isChecked(),
                                defaultBox->isChecked(), iniPath_, *directory_, *helper_);
    });
    if (ran && outcome.accepted) {
        topEdit->setText(QString::fromStdString(outcome.shownTop));
        setModalResult(mrOk);
        return;
    }
    if (ran)
        services().showMessage(QString::fromStdString(outcome.message));
    topEdit->setFocus();
}

} // namespace browser
