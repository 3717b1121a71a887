#include "browser/lists/DNSSearch.h"

#include "browser/lists/Named.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace browser {

TSearch::TSearch(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("Search"));
    setWindowTitle(QStringLiteral("Search"));

    Edit2 = Named<QLineEdit>("Edit2", this);
    Edit2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), Edit2));
    Edit1 = Named<QLineEdit>("Edit1", this);
    MaskEdit1 = Named<QLineEdit>("MaskEdit1", this);
    MaskEdit1->setInputMask(QStringLiteral("HH:HH:HH:HH:HH:HH;_"));
    MaskEdit1->setMaxLength(17);
    MacAddressLabel = Named<QLabel>("MacAddressLabel", QStringLiteral("MacAddress"), this);
    MacAddressLabel->setBuddy(MaskEdit1);
    BitBtn1 = Named<QPushButton>("BitBtn1", QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    BitBtn2 = Named<QPushButton>("BitBtn2", QStringLiteral("&Clear all"), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("IP-Address"), this), 0, 0);
    grid->addWidget(Edit2, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Name"), this), 2, 0);
    grid->addWidget(Edit1, 3, 0);
    grid->addWidget(MacAddressLabel, 4, 0);
    grid->addWidget(MaskEdit1, 5, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    grid->addLayout(buttons, 6, 0);

    connect(BitBtn1, &QPushButton::clicked, this, &TSearch::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TSearch::BitBtn2Click);
}

QString TSearch::MacEmptyText() const {
    QLineEdit probe;
    probe.setInputMask(MaskEdit1->inputMask());
    return probe.text();
}

void TSearch::BitBtn1Click() {
    setModalResult(mrOk);
}

void TSearch::BitBtn2Click() {
    Edit1->clear();
    Edit2->clear();
    MaskEdit1->clear();
}

} // namespace browser
