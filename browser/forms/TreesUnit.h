#pragma once

#include "browser/lists/FormBase.h"
#include "browser/startup/TreeDialogsLogic.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace browser {

class TreeDirectory;

// "Select Tree": picks a tree name among the trees the workstation sees and the extra names of
// the settings file, or takes a new one through "Add".
class TTreesForm : public FormBase {
    Q_OBJECT
public:
    explicit TTreesForm(Services& services, QWidget* parent = nullptr);

    QListWidget* treesBox;
    QPushButton* cancelButton;
    QPushButton* okButton;
    QPushButton* addButton;
    QTimer* Timer1; // 50 ms, one shot: fills the list after the form has shown

    // The directory the list and "Add" ask; without one the list stays empty.
    void SetDirectory(TreeDirectory* directory) { directory_ = directory; }
    // Context, extra names and the chosen tree.
    TreesFormLogic& logic() { return logic_; }

public slots:
    void okButtonClick();
    void addButtonClick();
    void Timer1Timer();

protected:
    void FormShow() override;

private:
    TreesFormLogic logic_;
    TreeDirectory* directory_ = nullptr;
};

} // namespace browser
