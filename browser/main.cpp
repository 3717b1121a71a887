// The program block of Cormelian.
//
// Environment:
//   CORMELIAN_EXIT_AFTER_MS=<n>  closes the main window n milliseconds after the message loop
//                                starts, which ends the program (for smoke tests of the program).
#include "browser/Cormelian1.h"
#include "browser/DisplayCheck.h"
#include "browser/Program.h"
#include "browser/Services.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (!cormelian::DisplayAvailable()) {
        std::fputs(cormelian::HeadlessHint(argv[0]).c_str(), stderr);
        return 2;
    }
    QApplication application(argc, argv);
    browser::QtServices services;
    browser::Program program(application, services);

    bool timed = false;
    const int exitAfter = qEnvironmentVariableIntValue("CORMELIAN_EXIT_AFTER_MS", &timed);
    if (timed && exitAfter >= 0)
        QTimer::singleShot(exitAfter, program.forms().Form1, &QWidget::close);
    return program.Run();
}
