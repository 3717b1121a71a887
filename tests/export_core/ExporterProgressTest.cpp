#include "ExportTestSupport.h"

#include "export/core/ExporterProgress.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace exporter::test {
namespace {

void EnsureApplication() {
    if (!QApplication::instance()) {
        static int argc = 1;
        static char name[] = "export_core_tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
}

std::string Text(const QLabel* label) {
    return label->text().toStdString();
}

// The model alone: codes, counters, states and the timer switches.
TEST(ExporterProgressModel, CodesSetStatesCountersAndTimer) {
    using TSwitch = TExporterProgressModel::TTimerSwitch;
    TExporterProgressModel m;
    struct Step {
        int code;
        int state;
        TSwitch timer;
        int shown;
    } steps[] = {{1, 0, TSwitch::On, 0},  {2, 2, TSwitch::On, 1}, {2, 2, TSwitch::On, 2},
                 {3, 1, TSwitch::On, 1},  {4, 3, TSwitch::On, 1}, {4, 3, TSwitch::On, 2},
                 {5, 4, TSwitch::Off, 2}, {6, 5, TSwitch::On, 2}, {7, 6, TSwitch::Off, 2},
                 {8, 7, TSwitch::Off, 2}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.code);
        const auto r = m.HandleCode(s.code);
        EXPECT_TRUE(r.Handled);
        EXPECT_EQ(m.DisplayState(), s.state);
        EXPECT_EQ(r.Timer, s.timer);
        EXPECT_EQ(m.ShownCounter(), s.shown);
        EXPECT_FALSE(r.Close);
    }
    EXPECT_EQ(m.Fetched(), 2);
    EXPECT_EQ(m.Skipped(), 1);
    EXPECT_EQ(m.Exported(), 2);
    EXPECT_TRUE(m.HandleCode(9).Close);
    EXPECT_EQ(m.DisplayState(), 7);
    for (int code : {0, -1, 10, 12, 1025}) {
        const auto r = m.HandleCode(code);
        EXPECT_FALSE(r.Handled);
        EXPECT_EQ(r.Timer, TSwitch::Keep);
        EXPECT_EQ(m.DisplayState(), 7);
    }
}

// A row message carrying its count sets the counter of its kind (the dialog reports rows at intervals);
// one without a count counts one more; the speed counts the rows so set.
TEST(ExporterProgressModel, ARowCountSetsTheCounter) {
    TExporterProgressModel m;
    m.HandleCode(1);
    m.HandleCode(3, 5);
    EXPECT_EQ(m.Skipped(), 5);
    EXPECT_EQ(m.ShownCounter(), 5);
    m.HandleCode(4, 1);
    m.HandleCode(4, 40);
    EXPECT_EQ(m.ShownCounter(), 40);
    m.HandleCode(4);
    EXPECT_EQ(m.Exported(), 41);
    m.HandleCode(4, 1000);
    EXPECT_EQ(m.Exported(), 1000);
    EXPECT_EQ(m.Skipped(), 5);
    EXPECT_EQ(m.Fetched(), 0);
}

// A clock the test moves by hand.
struct FakeClock {
    double now = 1000.0;
    TExporterProgressModel::TClock Fn() {
        return [this] { return now; };
    }
};

// The time is real time while the timer runs (not a fixed amount per tick), and the speed the true rate.
TEST(ExporterProgressModel, ElapsedTimeAndSpeedAreReal) {
    FakeClock clock;
    TExporterProgressModel m(clock.Fn());
    EXPECT_EQ(m.ElapsedText(), "0:00:00");
    EXPECT_EQ(m.SpeedText(), "0 rows/sec");
    clock.now += 50; // the clock does not run before the export begins
    m.HandleCode(1);
    for (int i = 0; i < 120; ++i)
        m.HandleCode(4);
    clock.now += 4.0;
    EXPECT_EQ(m.ElapsedText(), "0:00:04");
    EXPECT_EQ(m.SpeedText(), "30 rows/sec");
    m.HandleCode(5); // the abort question stops the clock ...
    clock.now += 100;
    EXPECT_DOUBLE_EQ(m.ElapsedSeconds(), 4.0);
    m.HandleCode(6); // ... and continuing starts it again
    clock.now += 0.9;
    EXPECT_EQ(m.ElapsedText(), "0:00:04"); // whole seconds shown
    // The figures of the report: 300,000 rows in 24.45 s are 12,270 rows a second.
    TExporterProgressModel big(clock.Fn());
    big.HandleCode(1);
    for (int i = 0; i < 300000; ++i)
        big.HandleCode(4);
    clock.now += 24.45;
    big.HandleCode(8);
    clock.now += 600;
    EXPECT_EQ(big.ElapsedText(), "0:00:24");
    EXPECT_EQ(big.Speed(), 12270);
    clock.now += 3600;
    TExporterProgressModel hour(clock.Fn());
    hour.HandleCode(3);
    clock.now += 3604.6;
    EXPECT_EQ(hour.ElapsedText(), "1:00:04");
    EXPECT_EQ(hour.Speed(), 0);
}

class ExporterProgressWindow : public ::testing::Test {
protected:
    void SetUp() override { EnsureApplication(); }
    RecordingExporter exporter;
};

TEST_F(ExporterProgressWindow, PostedCodesDriveTheLabelsAndTheTimer) {
    FakeClock clock;
    TfmExporterProgress window(nullptr, &exporter, clock.Fn());
    EXPECT_EQ(window.size(), QSize(301, 140));
    EXPECT_FALSE(window.tmTimer->isActive());
    EXPECT_EQ(window.tmTimer->interval(), 1000);
    EXPECT_EQ(Text(window.laTimeValue), "0:00:00");
    window.show();
    EXPECT_EQ(window.windowTitle().toStdString(), "Exporting...");
    EXPECT_EQ(Text(window.laStatus), "Status");
    EXPECT_EQ(Text(window.laTime), "Time");
    EXPECT_EQ(Text(window.laSpeed), "Speed");

    PostExportProgress(&window, 1);
    EXPECT_EQ(Text(window.laStatusValue), ""); // posted, not yet handled
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Preparing...");
    EXPECT_EQ(window.bButton->text().toStdString(), "Cancel");
    EXPECT_TRUE(window.tmTimer->isActive());

    PostExportProgress(&window, 2);
    PostExportProgress(&window, 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Fetching...");
    EXPECT_EQ(Text(window.laExported), "Fetched");
    EXPECT_EQ(Text(window.laExportedValue), "2");

    for (int i = 0; i < 3; ++i)
        PostExportProgress(&window, 4);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Exporting...");
    EXPECT_EQ(Text(window.laExported), "Exported");
    EXPECT_EQ(Text(window.laExportedValue), "3");

    PostExportProgress(&window, 12); // unknown codes change nothing
    PostExportProgress(&window, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Exporting...");
    EXPECT_EQ(Text(window.laExportedValue), "3");
    EXPECT_TRUE(window.tmTimer->isActive());

    PostExportProgress(&window, 5);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Pause");
    EXPECT_FALSE(window.tmTimer->isActive());
    PostExportProgress(&window, 6);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Exporting...");
    EXPECT_TRUE(window.tmTimer->isActive());

    window.tmTimer->stop(); // ticks by hand from here on, whatever the machine's speed
    clock.now += 0.6;
    window.TimerTick();
    EXPECT_EQ(Text(window.laTimeValue), "0:00:00");
    EXPECT_EQ(Text(window.laSpeedValue), "8 rows/sec"); // five rows in 0.6 s
    clock.now += 0.4;
    window.TimerTick();
    EXPECT_EQ(Text(window.laTimeValue), "0:00:01");
    EXPECT_EQ(Text(window.laSpeedValue), "5 rows/sec");

    PostExportProgress(&window, 8);
    QCoreApplication::processEvents();
    EXPECT_EQ(Text(window.laStatusValue), "Finished");
    EXPECT_EQ(window.bButton->text().toStdString(), "OK");
    EXPECT_FALSE(window.tmTimer->isActive());
    EXPECT_TRUE(window.isVisible());

    PostExportProgress(&window, 9);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ExporterProgressWindow, ButtonAbortsWhileRunningAndFinishesAfterwards) {
    TfmExporterProgress window(nullptr, &exporter);
    window.show();
    int finished = 0;
    QObject::connect(&window, &TfmExporterProgress::ModalResultChanged, [&](int result) {
        EXPECT_EQ(result, 1);
        ++finished;
    });

    window.HandleProgressCode(1);
    window.bButton->click();
    EXPECT_TRUE(exporter.IsAborted());
    EXPECT_EQ(window.ModalResult(), 0);
    EXPECT_EQ(finished, 0);

    // The title bar's close works as the button: it asks for the abort and the window stays.
    exporter.Aborted = false;
    window.HandleProgressCode(4);
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(exporter.IsAborted());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(finished, 0);

    exporter.Aborted = false;
    window.HandleProgressCode(7);
    EXPECT_EQ(Text(window.laStatusValue), "Aborted");
    EXPECT_EQ(window.bButton->text().toStdString(), "OK");
    window.bButton->click();
    EXPECT_FALSE(exporter.IsAborted());
    EXPECT_EQ(window.ModalResult(), 1);
    EXPECT_EQ(finished, 1);
    EXPECT_TRUE(window.isVisible()); // the run frees the window

    // Once finished, closing it from the title bar finishes it too.
    EXPECT_TRUE(window.close());
    EXPECT_EQ(finished, 2);
    EXPECT_FALSE(exporter.IsAborted());
}

// The button cancels in every running phase, skipping included; while the question is open it does not.
TEST_F(ExporterProgressWindow, ButtonAbortsInEveryRunningPhase) {
    for (int code : {1, 2, 3, 4, 6}) {
        SCOPED_TRACE(code);
        RecordingExporter ex;
        TfmExporterProgress window(nullptr, &ex);
        window.HandleProgressCode(1);
        window.HandleProgressCode(code);
        EXPECT_EQ(window.bButton->text().toStdString(), "Cancel");
        window.bButton->click();
        EXPECT_TRUE(ex.IsAborted());
        EXPECT_EQ(window.ModalResult(), 0);
    }
    TfmExporterProgress window(nullptr, &exporter);
    window.HandleProgressCode(3);
    EXPECT_EQ(Text(window.laStatusValue), "Skipping...");
    EXPECT_EQ(Text(window.laExported), "Skipped");
    window.HandleProgressCode(5);
    window.bButton->click();
    EXPECT_FALSE(exporter.IsAborted());
    EXPECT_EQ(window.ModalResult(), 1);
}

// The window beside a real export: the exporter's events post codes, and pending messages run after each.
TEST_F(ExporterProgressWindow, FollowsAnExportAndItsAbort) {
    TMemoryDataSet ds;
    FillDataSet(ds, 6);
    exporter.DataSet = &ds;
    exporter.SkipRecCount = 1;
    TfmExporterProgress window(nullptr, &exporter);
    window.show();
    auto post = [&](int code) {
        PostExportProgress(&window, code);
        QCoreApplication::processEvents();
    };
    exporter.OnBeginExport = [&](TExporter&) { post(1); };
    exporter.OnSkippedRecord = [&](TExporter&, int) { post(3); };
    exporter.OnExportedRecord = [&](TExporter&, int recNo) {
        post(4);
        if (recNo == 2)
            window.bButton->click(); // the user presses Cancel
    };
    exporter.OnStopExport = [&](TExporter&, bool& canContinue) {
        post(5);
        canContinue = false;
    };
    std::ostringstream out;
    exporter.ExportToStream(out);
    post(exporter.IsAborted() ? 7 : 8);
    EXPECT_EQ(exporter.Rows.size(), 3u);
    EXPECT_EQ(window.Model().Skipped(), 1);
    EXPECT_EQ(window.Model().Exported(), 3);
    EXPECT_EQ(Text(window.laStatusValue), "Aborted");
    EXPECT_FALSE(window.tmTimer->isActive());
}

} // namespace
} // namespace exporter::test
