#include "browser/DirectoryList.h"

#include "browser/Named.h"

#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace browser {

TDirForm::TDirForm(Services& services, QWidget* parent) : FormBase(services, parent) {
    setObjectName(QStringLiteral("DirForm"));
    setWindowTitle(QStringLiteral("Directory List"));

    folders = Named<QFileSystemModel>("folders", this);
    folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    stv = Named<QTreeView>("stv", this);
    stv->setModel(folders);
    for (int column = 1; column < folders->columnCount(); ++column)
        stv->hideColumn(column);
    okButton = Named<QPushButton>("okButton", QStringLiteral("OK"), this);
    okButton->setDefault(true);
    cancelButton = Named<QPushButton>("cancelButton", QStringLiteral("Cancel"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(stv);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    layout->addLayout(buttons);

    connect(okButton, &QPushButton::clicked, this, &TDirForm::okButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &FormBase::reject);
}

void TDirForm::okButtonClick() {
    setModalResult(mrOk);
}

} // namespace browser
