#include "browser/forms/DirectoryList.h"

#include "browser/forms/FolderPath.h"
#include "browser/lists/Named.h"

#include <QDir>
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

QString TDirForm::RootFolder() const {
    return Root == QLatin1String(kNetworkRoot) ? QDir::rootPath() : Root;
}

void TDirForm::FormActivate() {
    ShowRootAndStartPath();
}

void TDirForm::ShowRootAndStartPath() {
    const QString root = RootFolder();
    folders->setRootPath(root);
    stv->setRootIndex(folders->index(root));
    if (StartPath.isEmpty() || Root == QLatin1String(kNetworkRoot))
        return;
    QModelIndex last;
    for (const QString& folder : StartPathFolders(root, StartPath)) {
        last = folders->index(folder);
        stv->expand(last);
    }
    if (last.isValid()) {
        stv->setCurrentIndex(last);
        stv->scrollTo(last);
    }
}

void TDirForm::okButtonClick() {
    const QModelIndex selected = stv->currentIndex();
    if (!selected.isValid())
        return;
    Result = FolderPathBelowRoot(RootFolder(), folders->filePath(selected));
    setModalResult(mrOk);
}

} // namespace browser
