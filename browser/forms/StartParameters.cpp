#include "browser/forms/StartParameters.h"

#include "browser/lists/Named.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

TForm4::TForm4(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Start service # on server ##"));

    parametersLabel = Named<QLabel>("parametersLabel", QStringLiteral("Start parameters"), this);
    Edit1 = Named<QLineEdit>("Edit1", QStringLiteral("Edit1"), this);
    parametersLabel->setBuddy(Edit1);
    serverDefaultBox =
        Named<QCheckBox>("serverDefaultBox", QStringLiteral("Save as default for this server"), this);
    defaultBox = Named<QCheckBox>("defaultBox", QStringLiteral("Save as default"), this);
    startButton = Named<QPushButton>("startButton", QStringLiteral("Start"), this);
    startButton->setDefault(true);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(parametersLabel);
    layout->addWidget(Edit1);
    layout->addWidget(serverDefaultBox);
    layout->addWidget(defaultBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(startButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(startButton, &QPushButton::clicked, this, [this] { setModalResult(mrOk); });
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
}

} // namespace browser
