#include "browser/forms/ShowWarning.h"

#include "browser/lists/Named.h"
#include "browser/lists/UnattendedServices.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace browser {

Tshowwarning::Tshowwarning(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("showwarning"));
    setWindowTitle(QStringLiteral("WARNING"));
    // The warning only informs: an unattended run goes on without it.
    setProperty(kInformationalDialogProperty, true);

    warningLabel = Named<QLabel>(
        "warningLabel", QStringLiteral("More than one DNS-DHCP locator objects found in search context!"),
        this);
    noWarnBox = Named<QCheckBox>("noWarnBox", QStringLiteral("do not show this warning again"), this);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(warningLabel);
    layout->addWidget(noWarnBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, [this] { setModalResult(mrOk); });
}

} // namespace browser
