#include "export/dialog/ExporterDialogForm.h"

#include "export/core/ExporterDBF.h"
#include "export/core/ExporterProgress.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterRunBuilder.h"
#include "export/xls/ExporterXLS.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <time.h>

namespace exporter {

namespace {

// The engine's progress window as the run sees it.
class TProgressWindowView : public TExportProgressView {
public:
    TProgressWindowView(QWidget* owner, TExporter& exporter)
        : window_(new TfmExporterProgress(owner, &exporter)) {}
    ~TProgressWindowView() override { delete window_.data(); }

    void Show() override { window_->show(); }
    void Post(int code, int rows) override {
        if (window_)
            PostExportProgress(window_.data(), code, rows);
    }
    // A window closed some other way than by its button also ends the wait.
    bool ClosedByUser() const override {
        return !window_ || window_->ModalResult() == 1 || !window_->isVisible();
    }

private:
    QPointer<TfmExporterProgress> window_;
};

} // namespace

std::unique_ptr<TExportProgressView> CreateExporterProgressView(QWidget* owner, TExporter& exporter) {
    return std::make_unique<TProgressWindowView>(owner, exporter);
}

TExporterDialogF::~TExporterDialogF() = default;

std::unique_ptr<TExportProgressView> TExporterDialogF::CreateProgressWindow(TExporter& exporter) {
    return CreateExporterProgressView(ProgressOwner(), exporter);
}

void TExporterDialogF::ProcessMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void TExporterDialogF::WaitForMessages() {
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double TExporterDialogF::ProgressClock() const {
    // The coarse monotonic clock: a few milliseconds' resolution is plenty for a 40 ms pace, and it is read
    // while rows come at a fraction of the precise clock's cost.
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

int TExporterDialogF::MessageBox(const std::string& text, const std::string& caption, unsigned) {
    const auto answer =
        QMessageBox::question(ProgressOwner(), QString::fromStdString(caption), QString::fromStdString(text),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? IDYES : IDNO;
}

void TExporterDialogF::ShowNotice(const std::string& text) {
    QMessageBox::information(ProgressOwner(), QString(), QString::fromStdString(text));
}

// --- the run ---

void TExporterDialogF::BindForwarders(TExporter& e) {
    e.OnBeginExport = [this](TExporter& sender) { OnBeginExport(sender); };
    e.OnEndExport = [this](TExporter& sender) { OnEndExport(sender); };
    e.OnSkippedRecord = [this](TExporter& sender, int recNo) { OnSkippedRecord(sender, recNo); };
    e.OnExportedRecord = [this](TExporter& sender, int recNo) { OnExportedRecord(sender, recNo); };
    e.OnStopExport = [this](TExporter& sender, bool& canContinue) { OnStopExport(sender, canContinue); };
    // The forwarders that only hand on to one of the component's events are bound when the component has
    // that event: without a text handler the exporter reads a row of its source in one call and takes a
    // cell's value as its text, instead of handing every cell and row to a forwarder that does nothing.
    if (dialog_.OnGetExportText)
        e.OnGetExportText = [this](TExporter& sender, int colNo, std::string& text) {
            OnGetExportText(sender, colNo, text);
        };
    if (dialog_.OnBeforeExportRow)
        e.OnBeforeExportRow = [this](TExporter& sender, TExportRow& row, bool& accept) {
            OnBeforeExportRow(sender, row, accept);
        };
    // The width pre-pass of the exporters that have one reports its rows too (code 2).
    e.OnFetchedRecord = [this](TExporter& sender, int recNo) { OnFetchedRecord(sender, recNo); };
    // The workbook's own row, record and text events reach the component's workbook events.
    if (auto* xls = dynamic_cast<TExporterXLS*>(&e)) {
        if (dialog_.OnBeforeExportXLSRow)
            xls->OnAdvancedBeforeExportRow = [this](TExporterXLS& sender, int sheet, TExportRow& row,
                                                    bool& accept) {
                XLSExpBeforeExportRow(sender, sheet, row, accept);
            };
        if (dialog_.OnExportedRecordXLS)
            xls->OnAdvancedExportedRecord = [this](TExporterXLS& sender, int sheet, int recNo) {
                XLSExpExportedRecord(sender, sheet, recNo);
            };
        if (dialog_.OnGetExportXLSText)
            xls->OnAdvancedGetExportText = [this](TExporterXLS& sender, int sheet, int colNo,
                                                  std::string& text) {
                XLSExpAdvancedGetExportText(sender, sheet, colNo, text);
            };
    }
}

std::unique_ptr<TExporter> TExporterDialogF::PrepareExporter() {
    TExportFormState& s = FormState();
    const TAllowedExport type = s.ExportType;
    if (dialog_.AutoChangeFileExt && type != TAllowedExport::aeClipboard && !s.FileName.empty()) {
        const std::string renamed = ReplaceFileExtension(s.FileName, ExportTypeExtension(type));
        if (renamed != s.FileName) {
            s.FileName = renamed;
            FileNameChanged();
        }
    }
    std::unique_ptr<TExporter> e = TExportRunBuilder(dialog_, s, Shell, Clipboard).Build();
    BindForwarders(*e);
    return e;
}

void TExporterDialogF::bStartClick() {
    progress_.reset();
    exporter_.reset();
    fetched_ = skipped_ = exported_ = 0;
    lastPosted_ = pendingCode_ = pendingRows_ = 0;
    rowsToClock_ = rowsPerClock_ = 1;
    lastClock_ = -ProgressInterval; // the first row reads the clock, the second too
    exporter_ = PrepareExporter();
    TExporter& e = *exporter_;

    // A workbook that cannot hold the rows is refused before the progress window opens, unless an
    // event of the component may leave rows out.
    if (auto* xls = dynamic_cast<TExporterXLS*>(&e);
        xls && !dialog_.OnBeforeExportRow && !dialog_.OnBeforeExportXLSRow)
        xls->CheckRowsFit();

    // The window goes however the export ends, an error included.
    struct ProgressGuard {
        std::unique_ptr<TExportProgressView>& view;
        ~ProgressGuard() { view.reset(); }
    } guard{progress_};
    progress_ = CreateProgressWindow(e);
    if (progress_)
        progress_->Show();

    e.Execute();
    if (const auto* dbf = dynamic_cast<const TExporterDBF*>(&e); dbf && dbf->EmptiedValues() > 0)
        ShowNotice(dbf->EmptiedValuesNotice());

    if (!FormState().ShowFile) {
        while (progress_ && !progress_->ClosedByUser())
            WaitForMessages();
    } else if (!e.IsAborted()) {
        Post(9);
        ProcessMessages();
    }
}

// --- forwarders ---

void TExporterDialogF::Post(int code, int rows) {
    lastPosted_ = code;
    if (progress_)
        progress_->Post(code, rows);
}

// Inline: most rows only count down to the next reading of the clock.
inline void TExporterDialogF::ForwardRow(int code, int rows) {
    if (code == lastPosted_ && --rowsToClock_ > 0) {
        pendingCode_ = code;
        pendingRows_ = rows;
        return;
    }
    ForwardRowByClock(code, rows);
}

void TExporterDialogF::ForwardRowByClock(int code, int rows) {
    const double now = ProgressClock();
    // Rows that come fast read the clock less often: twice as many rows between two readings while the
    // rows since the last reading took less than a sixteenth of the interval (so that a Cancel is still
    // heard soon after the interval), every row again as soon as they took longer.
    rowsPerClock_ =
        now - lastClock_ < ProgressInterval / 16 ? std::min(2 * rowsPerClock_, MaxRowsPerClock) : 1;
    rowsToClock_ = rowsPerClock_;
    lastClock_ = now;
    if (code == lastPosted_ && now - lastRowMessage_ < ProgressInterval) {
        pendingCode_ = code;
        pendingRows_ = rows;
        return;
    }
    if (code != lastPosted_)
        PostPendingRows(); // the count of the phase before is exact too
    pendingCode_ = 0;
    Post(code, rows);
    lastRowMessage_ = now;
    ProcessMessages();
}

void TExporterDialogF::PostPendingRows() {
    if (pendingCode_ == 0)
        return;
    const int code = pendingCode_;
    pendingCode_ = 0;
    Post(code, pendingRows_);
}

void TExporterDialogF::OnBeginExport(TExporter& sender) {
    Post(1);
    ProcessMessages();
    if (dialog_.OnBeginExport)
        dialog_.OnBeginExport(sender);
}

void TExporterDialogF::OnFetchedRecord(TExporter& sender, int recNo) {
    if (dialog_.OnFetchedRecord)
        dialog_.OnFetchedRecord(sender, recNo);
    ForwardRow(2, ++fetched_);
}

void TExporterDialogF::OnSkippedRecord(TExporter& sender, int recNo) {
    ForwardRow(3, ++skipped_);
    if (dialog_.OnSkippedRecord)
        dialog_.OnSkippedRecord(sender, recNo);
}

void TExporterDialogF::OnExportedRecord(TExporter& sender, int recNo) {
    if (dialog_.OnExportedRecord)
        dialog_.OnExportedRecord(sender, recNo);
    ForwardRow(4, ++exported_);
}

void TExporterDialogF::OnStopExport(TExporter&, bool& canContinue) {
    PostPendingRows();
    Post(5);
    ProcessMessages();
    const int answer =
        MessageBox(ExportLoadStr(SAbortExport), ExportLoadStr(SAreYouSure), AbortQuestionFlags);
    canContinue = answer == IDNO;
    if (dialog_.OnStopExport)
        dialog_.OnStopExport(dialog_, canContinue);
    Post(canContinue ? 6 : 7);
    ProcessMessages();
}

void TExporterDialogF::OnEndExport(TExporter& sender) {
    if (!sender.IsAborted()) {
        PostPendingRows();
        Post(8);
        ProcessMessages();
    }
    if (dialog_.OnEndExport)
        dialog_.OnEndExport(sender);
}

void TExporterDialogF::OnGetExportText(TExporter& sender, int colNo, std::string& text) {
    if (dialog_.OnGetExportText)
        dialog_.OnGetExportText(sender, colNo, text);
}

void TExporterDialogF::OnBeforeExportRow(TExporter& sender, TExportRow& row, bool& accept) {
    if (dialog_.OnBeforeExportRow)
        dialog_.OnBeforeExportRow(sender, row, accept);
}

void TExporterDialogF::XLSExpBeforeExportRow(TExporter& sender, int sheet, TExportRow& row, bool& accept) {
    if (dialog_.OnBeforeExportXLSRow)
        dialog_.OnBeforeExportXLSRow(sender, sheet, row, accept);
}

void TExporterDialogF::XLSExpExportedRecord(TExporter& sender, int sheet, int recNo) {
    if (dialog_.OnExportedRecordXLS)
        dialog_.OnExportedRecordXLS(sender, sheet, recNo);
}

void TExporterDialogF::XLSExpAdvancedGetExportText(TExporter& sender, int sheet, int colNo,
                                                   std::string& text) {
    if (dialog_.OnGetExportXLSText)
        dialog_.OnGetExportXLSText(sender, sheet, colNo, text);
}

} // namespace exporter
