#include "browser/TreesUnit.h"

#include "browser/Named.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace browser {

TTreesForm::TTreesForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("TreesForm"));
    setWindowTitle(QStringLiteral("Select Tree"));
    resize(300, 320);

    treesBox = Named<QListWidget>("treesBox", this);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    addButton = Named<QPushButton>("addButton", QStringLiteral("Add"), this);
    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(50);
    Timer1->setSingleShot(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treesBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TTreesForm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
    connect(addButton, &QPushButton::clicked, this, &TTreesForm::addButtonClick);
    connect(Timer1, &QTimer::timeout, this, &TTreesForm::Timer1Timer);
}

void TTreesForm::okButtonClick() {
    setModalResult(mrOk);
}

void TTreesForm::addButtonClick() {}

void TTreesForm::Timer1Timer() {}

} // namespace browser
