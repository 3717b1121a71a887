// The run with the engine's own progress window and real message processing.

#include "DialogTestSupport.h"

#include "export/core/ExporterProgress.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

namespace exporter {
namespace {

// A form that keeps the real progress window and message processing; only the question is scripted.
class WindowForm : public TExporterDialogF {
public:
    using TExporterDialogF::TExporterDialogF;
    int ShowModal() override {
        bStartClick();
        return 2;
    }
    TExportFormState& FormState() override { return state; }
    TExportFormState state;
};

TfmExporterProgress* FindProgressWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* p = qobject_cast<TfmExporterProgress*>(w); p && p->isVisible())
            return p;
    return nullptr;
}

TEST(ExportDialogWindow, TheRunWaitsUntilTheUserClosesTheProgressWindow) {
    test::EnsureApplication();
    test::TempDir dir;
    TMemoryDataSet ds;
    test::FillDataSet(ds, 3);
    TExporterDialog dialog;
    dialog.DataSet = &ds;
    dialog.Columns.Fill(true);
    WindowForm form(dialog);
    form.state.ExportType = TAllowedExport::aeTXT;
    form.state.FileName = dir.file("w.txt");
    form.state.ShowFile = false;

    // The user reads the counters, then finishes the window with its button.
    int exportedSeen = -1;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        TfmExporterProgress* window = FindProgressWindow();
        if (!window || window->Model().ButtonAborts())
            return;
        exportedSeen = window->Model().Exported();
        window->bButton->click();
    });
    user.start(5);
    form.bStartClick();
    user.stop();

    EXPECT_EQ(exportedSeen, 3);
    EXPECT_EQ(FindProgressWindow(), nullptr);
    EXPECT_FALSE(test::ReadFile(dir.file("w.txt")).empty());
}

TEST(ExportDialogWindow, ClosingTheWindowAnotherWayAlsoEndsTheWait) {
    test::EnsureApplication();
    test::TempDir dir;
    TMemoryDataSet ds;
    test::FillDataSet(ds, 2);
    TExporterDialog dialog;
    dialog.DataSet = &ds;
    dialog.Columns.Fill(true);
    WindowForm form(dialog);
    form.state.ExportType = TAllowedExport::aeCSV;
    form.state.FileName = dir.file("c.csv");
    form.state.ShowFile = false;

    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (TfmExporterProgress* window = FindProgressWindow(); window && !window->Model().ButtonAborts())
            window->close();
    });
    user.start(5);
    form.bStartClick();
    user.stop();
    EXPECT_EQ(FindProgressWindow(), nullptr);
}

TEST(ExportDialogWindow, WithShowFileTheRunEndsWithoutTheUser) {
    test::EnsureApplication();
    test::TempDir dir;
    TMemoryDataSet ds;
    test::FillDataSet(ds, 2);
    TExporterDialog dialog;
    dialog.DataSet = &ds;
    dialog.Columns.Fill(true);
    WindowForm form(dialog);
    test::RecordingShell shell;
    form.Shell = &shell;
    form.state.ExportType = TAllowedExport::aeCSV;
    form.state.FileName = dir.file("w.csv");
    form.bStartClick();
    EXPECT_EQ(FindProgressWindow(), nullptr);
    EXPECT_EQ(shell.opened, std::vector<std::string>{dir.file("w.csv")});
}

} // namespace
} // namespace exporter
