// The program block of Cormelian.
//
// Environment:
//   CORMELIAN_CLIENT_CONFIG=<file>  the directory client's configuration (default: the program
//                                   folder's "nwclient/client.ini").
//   CORMELIAN_EXIT_AFTER_MS=<n>     n milliseconds after start closes every window, also modal
//                                   dialogs waiting for an answer, which ends the program (for
//                                   smoke tests of the program).
//   CORMELIAN_SCREENSHOT=<file>     with CORMELIAN_EXIT_AFTER_MS: just before closing, saves a
//                                   picture of the screen (every shown window) as a PNG file.
#include "browser/forms/Cormelian1.h"
#include "browser/forms/DisplayCheck.h"
#include "browser/forms/Program.h"
#include "browser/forms/SmokeRun.h"
#include "browser/lists/Services.h"
#include "browser/lists/UnattendedServices.h"
#include "browser/startup/StartupEnvironment.h"
#include "platform/commit/FileCommit.h"

#include <QApplication>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    // A write beyond the file-size limit is then an error the writer reports, not a silent end.
    commit::IgnoreFileSizeSignal();
    // A run of many files (an HTML export of thousands of pages) may use every descriptor it is allowed.
    commit::RaiseOpenFileLimit();
    if (!cormelian::DisplayAvailable()) {
        std::fputs(cormelian::HeadlessHint(std::vector<std::string>(argv, argv + argc)).c_str(), stderr);
        return 2;
    }
    QApplication application(argc, argv);
    std::vector<std::string> commandLine;
    for (int index = 1; index < argc; ++index)
        commandLine.emplace_back(argv[index]);
    browser::DirectoryEnvironment environment(QCoreApplication::applicationDirPath().toStdString(),
                                              std::move(commandLine));
    // Armed before the windows exist: creating the main window may already wait on a message.
    browser::ArmSmokeRunFromEnvironment();
    // A batch run with "/autoclose" has no user to answer: its messages go to standard error, and
    // what only a user could have settled makes the exit code non-zero.
    const bool unattended = browser::UnattendedRun(environment.environment().commandLine);
    browser::QtServices interactive;
    browser::UnattendedServices batch(std::cerr);
    browser::Services& services = unattended ? static_cast<browser::Services&>(batch) : interactive;
    browser::Program program(application, services, &environment.environment());
    const int result = program.Run();
    return unattended ? browser::UnattendedExitCode(result, batch) : result;
}
