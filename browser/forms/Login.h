#pragma once

#include "browser/lists/FormBase.h"
#include "browser/startup/TreeDialogsLogic.h"

class QLineEdit;
class QPushButton;

namespace browser {

class TcForm;
class TreeDirectory;

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

    // The directory the login goes to and the object browser "..." opens.
    void SetDirectory(TreeDirectory* directory) { directory_ = directory; }
    void SetObjectBrowser(TcForm* browser) { browser_ = browser; }

    // The context to log in (already pointed at its tree); the caption names the tree. Raises
    // when the context's tree cannot be read.
    void SetLoginContext(ContextHandle context);

public slots:
    void browseButtonClick();
    void okButtonClick();
    // The user left the Name box.
    void NameEditExit();

protected:
    void FormHide() override;

private:
    LoginFormLogic logic_;
    TreeDirectory* directory_ = nullptr;
    TcForm* browser_ = nullptr;
};

} // namespace browser
