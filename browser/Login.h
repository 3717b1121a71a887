#pragma once

#include "browser/FormBase.h"

class QLineEdit;
class QPushButton;

namespace browser {

// "Login": logs in to a tree the workstation does not see yet.
class TLoginForm : public FormBase {
    Q_OBJECT
public:
    explicit TLoginForm(Services& services, QWidget* parent = nullptr);

    QLineEdit* NameEdit;
    QLineEdit* PasswordEdit;
    QPushButton* browseButton; // "..."
    QPushButton* okButton;
    QPushButton* cancelButton;

public slots:
    void browseButtonClick();
    void okButtonClick();
    // The user left the Name box.
    void NameEditExit();
};

} // namespace browser
