#include "browser/lists/HostsExport.h"

#include "browser/lists/Named.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

THosts::THosts(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("Hosts"));
    setWindowTitle(QStringLiteral("Hosts Export"));

    CheckBox1 = Named<QCheckBox>("CheckBox1", QStringLiteral("Include a localhost record in HOSTS"), this);
    CheckBox1->setChecked(true);
    Button1 = Named<QPushButton>("Button1", QStringLiteral("Continue"), this);
    Button1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckBox1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &THosts::Button1Click);
}

void THosts::Button1Click() {
    setModalResult(mrOk);
}

} // namespace browser
