#pragma once

// The small modeless window that shows an export's progress. The export dialog's run creates it with the
// dialog as owner, shows it, and while the exporter works its event forwarders post progress messages
// (PostExportProgress) and let pending events run; each message carries one code of
// TExporterProgressModel and, for a row code, the rows of that kind so far. The button asks the exporter for
// an abort while the export runs (the loop then asks the user whether to stop); afterwards it sets the modal
// result to 1, which the run waits for before it frees the window.

#include "export/core/ExporterProgressModel.h"

#include <QDialog>
#include <QEvent>

class QLabel;
class QPushButton;
class QTimer;

namespace exporter {

class TExporter;

// The posted progress message: its type stands for WM_USER+1, its code for the message's wParam and its
// rows (the count of a row code, 0 for one more row) for its lParam.
class TExportProgressEvent : public QEvent {
public:
    static constexpr QEvent::Type ProgressMessage = QEvent::Type(QEvent::User + 1);
    explicit TExportProgressEvent(int code, int rows = 0) : QEvent(ProgressMessage), Code(code), Rows(rows) {}
    int Code;
    int Rows;
};

// Posts a progress message with code (and rows) to the window; it is handled when events are next
// processed.
void PostExportProgress(QObject* window, int code, int rows = 0);

class TfmExporterProgress : public QDialog {
    Q_OBJECT

public:
    // owner: the export dialog (the window stays above it), may be null; exporter: not owned; clock: where
    // the elapsed time is read (the steady clock when empty).
    TfmExporterProgress(QWidget* owner, TExporter* exporter, TExporterProgressModel::TClock clock = {});

    // What a progress message does (also called directly by tests).
    void HandleProgressCode(int code, int rows = 0);
    // One tick of tmTimer: shows the elapsed time and the speed.
    void TimerTick();
    // 1 once the user finished the window with its button.
    int ModalResult() const { return result(); }
    const TExporterProgressModel& Model() const { return model_; }

    QLabel* laStatus = nullptr;
    QLabel* laStatusValue = nullptr;
    QLabel* laExported = nullptr;
    QLabel* laExportedValue = nullptr;
    QLabel* laTime = nullptr;
    QLabel* laTimeValue = nullptr;
    QLabel* laSpeed = nullptr;
    QLabel* laSpeedValue = nullptr;
    QPushButton* bButton = nullptr;
    QTimer* tmTimer = nullptr;

signals:
    // The button set the modal result (1).
    void ModalResultChanged(int result);

protected:
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    // Escape does not hide the window behind the run's back.
    void keyPressEvent(QKeyEvent* e) override;
    // Closing the window from its title bar works as its button: while the export runs it asks for an
    // abort and the window stays; afterwards it finishes the window.
    void closeEvent(QCloseEvent* e) override;

private:
    void bButtonClick();
    void ShowDisplayState();
    void ShowElapsed();

    TExporter* exporter_;
    TExporterProgressModel model_;
    bool closingByCode_ = false; // the window closes itself on a progress message
};

} // namespace exporter
