#pragma once

#include "browser/FormBase.h"

class QFileSystemModel;
class QPushButton;
class QTreeView;

namespace browser {

// "Directory List": a small folder picker (folders only).
class TDirForm : public FormBase {
    Q_OBJECT
public:
    explicit TDirForm(Services& services, QWidget* parent = nullptr);

    QTreeView* stv;
    QFileSystemModel* folders;
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void okButtonClick();
};

} // namespace browser
