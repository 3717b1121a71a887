#include "browser/forms/SmokeRun.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace browser {

void SmokeRun::ArmFromEnvironment() {
    bool timed = false;
    const int exitAfter = qEnvironmentVariableIntValue("CORMELIAN_EXIT_AFTER_MS", &timed);
    if (timed && exitAfter >= 0)
        Arm(exitAfter, qEnvironmentVariable("CORMELIAN_SCREENSHOT"));
}

void SmokeRun::Arm(int exitAfterMs, const QString& screenshotFile) {
    QTimer::singleShot(exitAfterMs, qApp, [screenshotFile] {
        if (!screenshotFile.isEmpty() && !SaveScreen(screenshotFile))
            qWarning("cannot save the screenshot %s", qPrintable(screenshotFile));
        // A modal dialog closed this way lets its caller go on, which may show the next one.
        auto* closer = new QTimer(qApp);
        QObject::connect(closer, &QTimer::timeout, qApp, [] { QApplication::closeAllWindows(); });
        closer->start(50);
        QApplication::closeAllWindows();
    });
}

bool SmokeRun::SaveScreen(const QString& file) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return false;
    QPixmap picture;
    if (QGuiApplication::platformName() != QStringLiteral("offscreen")) {
        picture = screen->grabWindow(0);
    } else {
        // The offscreen platform has no screen to grab: paint the shown windows at their places.
        picture = QPixmap(screen->geometry().size());
        picture.fill(Qt::darkGray);
        QPainter painter(&picture);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible())
                painter.drawPixmap(window->geometry().topLeft(), window->grab());
        // Modal dialogs last: they lie on top.
        if (QWidget* modal = QApplication::activeModalWidget())
            painter.drawPixmap(modal->geometry().topLeft(), modal->grab());
    }
    return picture.save(file, "PNG");
}

} // namespace browser
