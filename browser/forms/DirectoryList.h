#pragma once

#include "browser/lists/FormBase.h"

#include <QString>

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace browser {

// "Directory List": a small folder picker (folders only). It shows the folders below Root and
// opens StartPath on activation; OK stores the chosen folder's path below the root in Result.
class TDirForm : public FormBase {
    Q_OBJECT
public:
    explicit TDirForm(Services& services, QWidget* parent = nullptr);

    QTreeView* stv;
    QFileSystemModel* folders;
    QPushButton* okButton;
    QPushButton* cancelButton;

    // The folder the tree starts at; "rfNetwork" (the default) stands for the whole file system.
    QString Root = QStringLiteral("rfNetwork");
    // Folders below the root to open, separated by "\"; not used with the "rfNetwork" root.
    QString StartPath;
    // The chosen folder below the root, components joined by "\".
    QString Result;

    // Sets the tree's root and opens the start path, as activation does.
    void ShowRootAndStartPath();

public slots:
    void okButtonClick();

protected:
    void FormActivate() override;

private:
    QString RootFolder() const;
};

} // namespace browser
