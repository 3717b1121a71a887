#include "browser/ConnectedTrees.h"

#include "browser/Named.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

TDNSTrees::TDNSTrees(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("DNSTrees"));
    setWindowTitle(QStringLiteral("Current Connected Trees (without exclude)"));
    resize(340, 320);

    treesList = Named<QListWidget>("treesList", this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    moreButton = Named<QPushButton>("moreButton", QStringLiteral("More"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(treesList);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(moreButton);
    buttons->addStretch();
    buttons->addWidget(okButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TDNSTrees::okButtonClick);
    connect(moreButton, &QPushButton::clicked, this, &TDNSTrees::moreButtonClick);
    // itemChanged also fires when code checks items; the handler is meant for the user's clicks,
    // so code that fills or checks items does it under a QSignalBlocker.
    connect(treesList, &QListWidget::itemChanged, this, &TDNSTrees::treesListClickCheck);
}

void TDNSTrees::okButtonClick() {
    setModalResult(mrOk);
}

void TDNSTrees::moreButtonClick() {}

void TDNSTrees::treesListClickCheck(QListWidgetItem*) {}

} // namespace browser
