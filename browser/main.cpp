#include "browser/DisplayCheck.h"

#include <QApplication>
#include <QLabel>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (!cormelian::DisplayAvailable()) {
        std::fputs(cormelian::HeadlessHint(argv[0]).c_str(), stderr);
        return 2;
    }
    QApplication app(argc, argv);
    QLabel placeholder("Cormelian: the main window is not built yet.");
    placeholder.setObjectName("placeholder");
    placeholder.show();
    std::puts("Cormelian started: only the foundation is built so far.");
    if (qEnvironmentVariable("QT_QPA_PLATFORM") == "offscreen")
        return 0;
    return app.exec();
}
