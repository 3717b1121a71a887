#pragma once

#include "browser/FormBase.h"

class QListWidget;
class QPushButton;
class QTimer;

namespace browser {

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

public slots:
    void okButtonClick();
    void addButtonClick();
    void Timer1Timer();
};

} // namespace browser
