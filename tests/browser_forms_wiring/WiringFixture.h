#pragma once

// The program's windows over a start-up environment of fakes, driven through scripted services.

#include "tests/browser_startup/StartupFakes.h"

#include "browser/forms/ConnectedTrees.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/Program.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/startup/StartupEnvironment.h"
#include "directory/Tolvex.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QCoreApplication>
#include <QListWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable failure messages for texts and lists of texts.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& texts, std::ostream* out) {
    *out << '{' << texts.join(QStringLiteral(" | ")).toStdString() << '}';
}

namespace wiring_test {

using namespace startup_test;

inline QApplication& App() {
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

// Lets events run until done() holds or ms pass.
inline bool WaitUntil(const std::function<bool()>& done, int ms = 3000) {
    return test_support::WaitUntil(done, ms);
}

// The helper library's binding of the program, which the object browser draws its icons from (the
// start-up's own calls go to the fake helper).
class HelperBinding {
public:
    HelperBinding() {
#ifdef TOLVEX_LIBRARY
        directory::LoadHelperDll(std::filesystem::path(TOLVEX_LIBRARY).parent_path());
#endif
    }
    ~HelperBinding() {
        directory::FreeHelperDll();
    }
    HelperBinding(const HelperBinding&) = delete;
    HelperBinding& operator=(const HelperBinding&) = delete;
};

// Checks the named item of a check list as a user's click does.
inline void ClickCheck(QListWidget* list, const QString& name, bool checked = true) {
    const auto found = list->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    found.front()->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

inline QStringList Names(const QListWidget* list) {
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        names << list->item(row)->text();
    return names;
}

class WindowFixture : public ::testing::Test {
protected:
    HelperBinding binding;
    TempFolder program;
    Journal journal;
    FakeDirectory directory{journal};
    FakeHelper helper{journal};
    FakeTimeSettings time;
    browser::ScriptedServices services;
    browser::StartupEnvironment environment{directory, helper, time, program.str(), {}};
    std::unique_ptr<browser::Program> programBlock;

    browser::TForm1& window() const { return *programBlock->forms().Form1; }
    const browser::Forms& forms() const { return programBlock->forms(); }
    browser::StartupSequence& startup() const { return *window().startup(); }

    // Creates the windows (the main window's creation loads the library and starts the client).
    void Create() { programBlock = std::make_unique<browser::Program>(App(), services, &environment); }
    // Creates the windows and runs the start-up as its timer would.
    void Start() {
        Create();
        window().show();
        window().Timer1Timer();
    }
    // Ends the program: the main window goes first.
    void End() { programBlock.reset(); }

    void TearDown() override { End(); }
};

} // namespace wiring_test
