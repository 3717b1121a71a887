#pragma once

#include "browser/lists/FormBase.h"
#include "browser/startup/IniEditorLogic.h"

#include <string>

class QPlainTextEdit;
class QToolButton;

namespace browser {

// "Cormelian.ini editor": the settings file as plain text, with close, reload and save.
class TForm2 : public FormBase {
    Q_OBJECT
public:
    explicit TForm2(Services& services, QWidget* parent = nullptr);

    // Loads the settings file at fileName into the editor, not modified.
    void Open(const std::string& fileName);
    const IniEditorLogic& logic() const { return logic_; }

    QPlainTextEdit* RichEdit1;
    QToolButton* ToolButton2; // close
    QToolButton* ToolButton4; // reload
    QToolButton* ToolButton6; // save

public slots:
    void ToolButton2Click();
    void ToolButton4Click();
    void ToolButton6Click();

private:
    void LoadFile();

    IniEditorLogic logic_;
};

} // namespace browser
