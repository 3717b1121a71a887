#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#ifdef CORMELIAN_PROGRAM

namespace {

QProcessEnvironment WithoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    return environment;
}

} // namespace

TEST(ProgramRun, WithoutDisplayItExplainsHowToRunAndExitsTwo) {
    QProcess program;
    program.setProcessEnvironment(WithoutDisplay());
    program.start(QStringLiteral(CORMELIAN_PROGRAM), {});
    ASSERT_TRUE(program.waitForFinished(60000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 2);
    EXPECT_TRUE(program.readAllStandardError().contains("QT_QPA_PLATFORM=offscreen"));
}

#endif
