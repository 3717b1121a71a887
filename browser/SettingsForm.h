#pragma once

#include "browser/FormBase.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace browser {

// "Settings": the per-tree settings (search top, master replica) and the start-up switches shown.
class TsetForm : public FormBase {
    Q_OBJECT
public:
    explicit TsetForm(Services& services, QWidget* parent = nullptr);

    QLineEdit* topEdit;        // Search "top"
    QPushButton* browseButton; // "..."
    QCheckBox* masterBox;      // "Use master replica's"
    QCheckBox* defaultBox;     // "Set as default"
    QCheckBox* showAllBox;     // "Show All start setting"
    QCheckBox* cacheBox;       // "Cache Offline"
    QPushButton* okButton;
    QPushButton* cancelButton;
    QPushButton* helpButton;

public slots:
    void browseButtonClick();
    void okButtonClick();
};

} // namespace browser
