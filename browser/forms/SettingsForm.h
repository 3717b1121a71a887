#pragma once

#include "browser/lists/FormBase.h"
#include "browser/startup/SetFormLogic.h"

#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace browser {

class HelperLibrary;
class TreeDirectory;

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

    // What OK checks the top object with and where the default is kept.
    void SetDirectory(TreeDirectory* directory, HelperLibrary* helper) {
        directory_ = directory;
        helper_ = helper;
    }
    // The data directory's "Cormelian.ini", read when the form shows and written by OK.
    void SetSettingsFile(const std::string& iniPath) { iniPath_ = iniPath; }
    // The tree and its context.
    SetFormLogic& logic() { return logic_; }

public slots:
    void browseButtonClick();
    void okButtonClick();

protected:
    void FormShow() override;

private:
    SetFormLogic logic_;
    TreeDirectory* directory_ = nullptr;
    HelperLibrary* helper_ = nullptr;
    std::string iniPath_;
};

} // namespace browser
