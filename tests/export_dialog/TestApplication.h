#pragma once

// The one application object that the widget tests need: made on first use and kept for the whole run.

#include <QApplication>

namespace exporter::test {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "export_dialog_tests";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

} // namespace exporter::test
