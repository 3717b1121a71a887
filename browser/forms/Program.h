#pragma once

#include "browser/forms/Forms.h"
#include "browser/lists/Services.h"

#include <QStringList>

#include <memory>
#include <vector>

class QApplication;
class QWidget;

namespace browser {

struct StartupEnvironment;

// The program block: prepares the application and creates its windows in their fixed order,
// owns them until the program ends, and runs the main window.
class Program {
public:
    // The application's title, also the start of the main window's caption.
    static constexpr const char* kTitle = "Cormelian";

    // Sets the application's title and creates the windows: the main window, the search dialog,
    // the tree-selection dialog, the object browser, the warning box, the login form, the settings
    // form, the directory list, the About box, the HOSTS options, the settings file editor, the
    // connected-trees dialog, the record editor, the tree-selection dialog a second time (the one
    // used from then on) and the start-parameters dialog.
    // environment: what the main window's start-up works through; without one the windows do
    // no directory work.
    Program(QApplication& application, Services& services, StartupEnvironment* environment = nullptr);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    const Forms& forms() const { return *forms_; }
    // Class names of the windows in the order they were created.
    const QStringList& creationOrder() const { return creationOrder_; }

    // Shows the main window and runs the message loop until it closes; returns the exit code.
    // When creating the main window found no helper library or no directory client, the program
    // ends at once with 1; when the start-up closed the main window, it ends with 1 as well.
    int Run();

private:
    template <typename Form> Form* Create();

    QApplication& application_;
    Services& services_;
    StartupEnvironment* environment_;
    std::unique_ptr<Forms> forms_;
    std::vector<std::unique_ptr<QWidget>> windows_; // in creation order
    QStringList creationOrder_;
};

} // namespace browser
