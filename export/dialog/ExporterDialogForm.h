#pragma once

// The export dialog's form as the component and the run see it. TExporterDialogF is abstract: the window
// (or a test double) derives from it, keeps the user's settings in FormState() and implements ShowModal.
// The base holds what the form does when the export starts (bStartClick): it builds the exporter of the
// chosen type from the form state, binds the forwarders, shows the progress window, runs the exporter
// and waits for the window as the run's rules say.
//
// The rows reach the window at a steady rate rather than one message each (relabelling and repainting
// the window per row cost far more than writing the row): a row message, carrying the count of its kind
// so far, is posted and pending messages run when ProgressInterval has passed since the last one, when
// the phase changes (skipping, fetching, exporting), and, with the count of the last row, before the
// abort question and the end. The component's events still fire for every row.
//
// Seams a form (or a test) overrides: ShowModal, FormState, the progress window (CreateProgressWindow),
// message processing (ProcessMessages, WaitForMessages), the clock of the row messages (ProgressClock),
// the abort question (MessageBox) and the notice after an export (ShowNotice).

#include "export/core/Exporter.h"
#include "export/dialog/ExporterFormState.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace exporter {

class TExporterDialog;

// What the run needs of the progress window.
class TExportProgressView {
public:
    virtual ~TExportProgressView() = default;
    virtual void Show() = 0;
    // Posts a progress message with the code (WM_USER+1, wParam code) and, for a row code, the rows of its
    // kind so far (lParam; 0 for one more row); it is handled when messages run.
    virtual void Post(int code, int rows) = 0;
    // The user finished the window (its state is 1) or it is gone.
    virtual bool ClosedByUser() const = 0;
};

// The progress window of the export engine behind the view.
std::unique_ptr<TExportProgressView> CreateExporterProgressView(QWidget* owner, TExporter& exporter);

class TExporterDialogF {
public:
    // Message box answers and the flags of the abort question (Yes/No, question icon, No default).
    static constexpr int IDYES = 6;
    static constexpr int IDNO = 7;
    static constexpr unsigned AbortQuestionFlags = 0x124;
    // Seconds between two row messages to the progress window at most (a user's Cancel is seen as soon).
    static constexpr double ProgressInterval = 0.040;
    // Rows between two readings of ProgressClock() at most: while the rows since the last reading took less
    // than a sixteenth of ProgressInterval, twice as many go by before the next, so that a fast export reads
    // the clock on few rows and a Cancel is still heard soon after the interval.
    static constexpr int MaxRowsPerClock = 8;

    explicit TExporterDialogF(TExporterDialog& owner) : dialog_(owner) {}
    virtual ~TExporterDialogF();
    TExporterDialogF(const TExporterDialogF&) = delete;
    TExporterDialogF& operator=(const TExporterDialogF&) = delete;

    // Shows the form modally; returns its modal result.
    virtual int ShowModal() = 0;
    // The form's settings as the user left them.
    virtual TExportFormState& FormState() = 0;
    const TExportFormState& FormState() const { return const_cast<TExporterDialogF*>(this)->FormState(); }

    TExporterDialog& Dialog() const { return dialog_; }

    // The start button: runs the export of the chosen type. Errors of the export propagate.
    void bStartClick();
    // Steps 1 to 6 of the start: the exporter of the chosen type with every setting copied in and the
    // forwarders bound (the file name takes the type's extension when AutoChangeFileExt is on).
    std::unique_ptr<TExporter> PrepareExporter();
    // The exporter of the current (or last) run; null before the first.
    TExporter* Exporter() const { return exporter_.get(); }

    // --- forwarders: progress codes to the progress window, then the component's events ---
    void OnBeginExport(TExporter& sender);
    void OnFetchedRecord(TExporter& sender, int recNo);
    void OnSkippedRecord(TExporter& sender, int recNo);
    void OnExportedRecord(TExporter& sender, int recNo);
    void OnStopExport(TExporter& sender, bool& canContinue);
    void OnEndExport(TExporter& sender);
    void OnGetExportText(TExporter& sender, int colNo, std::string& text);
    void OnBeforeExportRow(TExporter& sender, TExportRow& row, bool& accept);
    void XLSExpBeforeExportRow(TExporter& sender, int sheet, TExportRow& row, bool& accept);
    void XLSExpExportedRecord(TExporter& sender, int sheet, int recNo);
    void XLSExpAdvancedGetExportText(TExporter& sender, int sheet, int colNo, std::string& text);

    // Where the file exporters open and print (the desktop's when null) and the clipboard exporter writes.
    TExportShell* Shell = nullptr;
    TExportClipboard* Clipboard = nullptr;

protected:
    // The progress window for a run (the engine's window, owned by ProgressOwner()).
    virtual std::unique_ptr<TExportProgressView> CreateProgressWindow(TExporter& exporter);
    virtual QWidget* ProgressOwner() const { return nullptr; }
    // Lets pending messages run once.
    virtual void ProcessMessages();
    // Waits for messages and lets them run (the wait for the user to close the progress window).
    virtual void WaitForMessages();
    // Seconds on a monotonic clock: when the next row message is due.
    virtual double ProgressClock() const;
    // The application's message box; returns IDYES or IDNO.
    virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags);
    // The file name changed during the start (the window shows it again).
    virtual void FileNameChanged() {}
    // Tells the user what an export that went through left out (values a dBase table had no room for).
    virtual void ShowNotice(const std::string& text);

private:
    void Post(int code, int rows = 0);
    // A row of the kind of code, the rows-th: posted (and messages run) when due, else kept pending.
    void ForwardRow(int code, int rows);
    // ForwardRow at a reading of the clock.
    void ForwardRowByClock(int code, int rows);
    // Posts the row message that is still pending, so that the window shows the exact count.
    void PostPendingRows();
    void BindForwarders(TExporter& exporter);

    TExporterDialog& dialog_;
    std::unique_ptr<TExporter> exporter_;
    std::unique_ptr<TExportProgressView> progress_;
    // Rows of the run so far, and what the window was last told.
    int fetched_ = 0;
    int skipped_ = 0;
    int exported_ = 0;
    int lastPosted_ = 0;  // the code of the last message
    int pendingCode_ = 0; // a row code whose count the window has not heard, 0 when none
    int pendingRows_ = 0;
    double lastRowMessage_ = 0; // ProgressClock() when a row message was last posted
    // The clock is read every rowsPerClock_ rows of one kind (1 to MaxRowsPerClock); rowsToClock_ rows are
    // left before the next reading, which lastClock_ follows.
    int rowsPerClock_ = 1;
    int rowsToClock_ = 1;
    double lastClock_ = 0;
};

} // namespace exporter
