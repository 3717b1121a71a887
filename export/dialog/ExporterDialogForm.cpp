#include "export/dialog/ExporterDialogForm.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterClipboard.h"
#include "export/core/ExporterDBF.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterProgress.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "export/core/ExporterXML.h"
#include "export/dialog/ExporterDialog.h"
#include "platform/rtl/SysUtils.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <filesystem>

namespace exporter {

namespace {

// The engine's progress window as the run sees it.
class TProgressWindowView : public TExportProgressView {
public:
    TProgressWindowView(QWidget* owner, TExporter& exporter)
        : window_(new TfmExporterProgress(owner, &exporter)) {}
    ~TProgressWindowView() override { delete window_.data(); }

    void Show() override { window_->show(); }
    void Post(int code) override {
        if (window_)
            PostExportProgress(window_.data(), code);
    }
    // A window closed some other way than by its button also ends the wait.
    bool ClosedByUser() const override {
        return !window_ || window_->ModalResult() == 1 || !window_->isVisible();
    }

private:
    QPointer<TfmExporterProgress> window_;
};

std::string CellText(const TExportCaptionRow& row, int column) {
    return column >= 0 && column < int(row.size()) ? row[size_t(column)] : std::string();
}

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

int TExporterDialogF::MessageBox(const std::string& text, const std::string& caption, unsigned) {
    const auto answer =
        QMessageBox::question(ProgressOwner(), QString::fromStdString(caption), QString::fromStdString(text),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes ? IDYES : IDNO;
}

// --- building the exporter ---

std::unique_ptr<TExporter> TExporterDialogF::CreateExporter(TAllowedExport type) {
    TExportFormState& s = FormState();
    switch (type) {
    case TAllowedExport::aeXLS: {
        if (!XLSExporterFactory)
            throw EExportError("The workbook export is not available");
        return XLSExporterFactory(*this);
    }
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF: {
        auto e = std::make_unique<TExporterRTF>();
        e->Options.PageOrientation = s.RTF.PageOrientation;
        e->Options.StripType = s.RTF.StripType;
        e->Options.HeaderStyle.Assign(s.RTF.HeaderStyle);
        e->Options.CaptionStyle.Assign(s.RTF.CaptionStyle);
        e->Options.DataStyle.Assign(s.RTF.DataStyle);
        e->Options.FooterStyle.Assign(s.RTF.FooterStyle);
        e->Options.StripStyles.Assign(s.RTF.StripStyles);
        return e;
    }
    case TAllowedExport::aeHTML: {
        auto e = std::make_unique<TExporterHTML>();
        e->Title = s.HTMLPage.Title;
        e->UsingCSS = s.HTMLPage.UsingCSS;
        e->CSSFileName = s.HTMLPage.CSSFileName;
        e->OverwriteCSSFile = s.HTMLPage.OverwriteCSSFile;
        e->SetMaxRecords(s.HTMLUseMultiFile ? s.HTMLMultiFile.FileRecCount : 0);
        e->GenerateIndex = s.HTMLMultiFile.GenerateIndex;
        e->Navigation.IndexLinkTemplate = s.HTMLMultiFile.IndexLinkTemplate;
        e->Navigation.OnTop = s.HTMLMultiFile.NavigationOnTop;
        e->Navigation.OnBottom = s.HTMLMultiFile.NavigationOnBottom;
        e->Navigation.IndexLinkTitle = s.HTMLMultiFile.IndexLinkTitle;
        e->Navigation.FirstLinkTitle = s.HTMLMultiFile.FirstLinkTitle;
        e->Navigation.PriorLinkTitle = s.HTMLMultiFile.PriorLinkTitle;
        e->Navigation.NextLinkTitle = s.HTMLMultiFile.NextLinkTitle;
        e->Navigation.LastLinkTitle = s.HTMLMultiFile.LastLinkTitle;
        e->HTMLOptions.TextFont.Name = s.HTMLPage.TextFont.Name;
        e->HTMLOptions.TextFont.Color = s.HTMLPage.TextFont.Color;
        e->HTMLOptions.BackgroundFileName = s.HTMLPage.BackgroundFileName;
        e->TableOptions.BackgroundFileName = s.HTMLTable.BackgroundFileName;
        e->HTMLOptions.AdvancedAttributes = s.HTMLPage.AdvancedAttributes;
        e->TableOptions.AdvancedAttributes = s.HTMLTable.AdvancedAttributes;
        e->TableOptions.Border = s.HTMLTable.BorderWidth;
        e->TableOptions.CellPadding = s.HTMLTable.CellPadding;
        e->TableOptions.CellSpacing = s.HTMLTable.CellSpacing;
        e->HTMLOptions.BackgroundColor = s.HTMLPage.BackgroundColor;
        e->HTMLOptions.LinkColor = s.HTMLPage.LinkColor;
        e->HTMLOptions.VLinkColor = s.HTMLPage.VLinkColor;
        e->HTMLOptions.ALinkColor = s.HTMLPage.ALinkColor;
        e->TableOptions.HeadersRowBgColor = s.HTMLTable.HeadersRowBgColor;
        e->TableOptions.HeadersRowFontColor = s.HTMLTable.HeadersRowFontColor;
        e->TableOptions.TableBgColor = s.HTMLTable.TableBgColor;
        e->TableOptions.TableFontColor = s.HTMLTable.TableFontColor;
        e->TableOptions.OddRowBgColor = s.HTMLTable.OddRowBgColor;
        e->TableOptions.BorderColor = s.HTMLTable.BorderColor;
        return e;
    }
    case TAllowedExport::aeXML: {
        auto e = std::make_unique<TExporterXML>();
        e->Options.StandAlone = s.XML.Standalone;
        e->Options.Encoding = s.XML.Encoding;
        return e;
    }
    case TAllowedExport::aeDBF:
        return std::make_unique<TExporterDBF>();
    case TAllowedExport::aeLaTeX:
        return std::make_unique<TExporterLaTeX>();
    case TAllowedExport::aeClipboard: {
        auto e = std::make_unique<TExporterClipboard>();
        e->Clipboard = Clipboard;
        return e;
    }
    case TAllowedExport::aePDF: {
        auto e = std::make_unique<TExporterPDF>();
        e->Options.HeaderFont.Assign(s.PDF.HeaderFont);
        e->Options.CaptionFont.Assign(s.PDF.CaptionFont);
        e->Options.DataFont.Assign(s.PDF.DataFont);
        e->Options.FooterFont.Assign(s.PDF.FooterFont);
        // Format, size (kept for a user format), orientation and margins.
        e->Options.PageOptions.Assign(s.PDF.PageOptions);
        // The page edits these as well; an export without them would ignore the user's choice.
        e->Options.RowSpacing = s.PDF.RowSpacing;
        e->Options.ColSpacing = s.PDF.ColSpacing;
        e->Options.GridLineWidth = s.PDF.GridLineWidth;
        return e;
    }
    case TAllowedExport::aeTXT:
    case TAllowedExport::aeCSV:
    case TAllowedExport::aeDIFF:
    case TAllowedExport::aeSylk: {
        auto e = std::make_unique<TExporterASCII>();
        if (type == TAllowedExport::aeTXT) {
            e->SetExportType(TExportASCIIType::etTXT);
            e->AutoCalcColWidth = s.TXT.AutoCalcColWidth;
            e->TXTSpacing = s.TXT.ColSpacing;
        } else if (type == TAllowedExport::aeCSV) {
            e->SetExportType(TExportASCIIType::etCSV);
            e->CSVQuoteStrings = s.CSV.QuoteStrings;
            e->CSVComma = s.CSV.Comma;
            e->CSVQuote = s.CSV.Quote;
        } else {
            e->SetExportType(type == TAllowedExport::aeDIFF ? TExportASCIIType::etDIF
                                                            : TExportASCIIType::etSYLK);
        }
        return e;
    }
    case TAllowedExport::aeSQL: {
        auto e = std::make_unique<TExporterSQL>();
        e->TableName = s.SQL.TableName;
        if (e->TableName.empty())
            e->TableName = rtl::UpperCase(std::filesystem::path(s.FileName).stem().string());
        e->CreateTable = s.SQL.CreateTable;
        e->CommitRecCount = s.SQL.CommitRecCount;
        e->CommitAfterScript = s.SQL.CommitAfterScript;
        e->CommitStatement = s.SQL.CommitStatement;
        if (!s.SQL.StatementTerm.empty())
            e->StatementTerm = s.SQL.StatementTerm[0];
        return e;
    }
    }
    throw EExportError("Unknown export type");
}

void TExporterDialogF::CopyCommonSettings(TExporter& e) {
    const TExportFormState& s = FormState();
    TExporterDialog& d = dialog_;
    e.AutoCalcStrType = d.AutoCalcStrType;
    e.GoToFirstRecord = s.GoToFirstRecord;
    e.CurrentRecordOnly = s.CurrentRecordOnly;
    e.ExportEmpty = s.ExportEmpty;
    e.ExportRecCount = s.ExportRecCount;
    e.SkipRecCount = s.SkipRecCount;
    e.Header = s.Header;
    e.Footer = s.Footer;

    e.ExportedFields.Clear();
    if (!s.ExportedFields.empty()) {
        for (const auto& item : s.ExportedFields)
            e.ExportedFields.Add(item.Caption);
    } else {
        for (const auto& item : s.AvailableFields) {
            const bool blob = item.ColumnIndex >= 0 && item.ColumnIndex < d.Columns.Count() &&
                              d.Columns[item.ColumnIndex].IsBlob;
            if (!blob)
                e.ExportedFields.Add(item.Caption);
        }
    }

    e.Formats.Assign(s.Formats);
    e.UserFormats.Clear();
    for (const auto& item : s.UserFormats)
        e.UserFormats.Add(item.FieldName + "=" + item.Format);

    e.ExportSource = d.ExportSource;
    e.DataSet = d.DataSet;
    e.CustomSource = d.CustomSource;
    e.ListView = d.ListView;
    e.DBGrid = d.DBGrid;
    e.StringGrid = d.StringGrid;

    if (auto* file = dynamic_cast<TExporterText*>(&e)) {
        file->FileName = s.FileName;
        file->ShowFile = s.ShowFile;
        file->PrintFile = s.PrintFile;
        file->Shell = Shell;
    }
    if (dynamic_cast<TExporterFormatText*>(&e)) {
        e.AllowCaptions = s.AllowCaptions;
        e.CaptionRow = s.CaptionRow;
    }
}

void TExporterDialogF::CopyCaptions(TExporter& e, TAllowedExport type) {
    const TExportFormState& s = FormState();
    // The ASCII, RTF and PDF exporters take align and width, the HTML exporter the align, the workbook
    // the width (its grid's column 2).
    bool alignAndWidth = false;
    switch (type) {
    case TAllowedExport::aeTXT:
    case TAllowedExport::aeCSV:
    case TAllowedExport::aeDIFF:
    case TAllowedExport::aeSylk:
    case TAllowedExport::aeWord:
    case TAllowedExport::aeRTF:
    case TAllowedExport::aePDF:
        alignAndWidth = true;
        break;
    default:
        break;
    }
    const bool alignOnly = type == TAllowedExport::aeHTML;
    const bool widthOnly = type == TAllowedExport::aeXLS;

    e.Captions.Clear();
    for (const auto& row : s.Captions) {
        const std::string field = CellText(row, 0);
        const std::string caption = CellText(row, 1);
        if (caption != field)
            e.Captions.SetValue(field, caption);
        if (alignAndWidth || alignOnly) {
            const std::string alignText = CellText(row, 2);
            int position = -1;
            for (size_t i = 0; i < s.AlignChoices.size(); ++i)
                if (s.AlignChoices[i] == alignText) {
                    position = int(i);
                    break;
                }
            e.ColumnsAlign.SetValue(field, position == 1 ? "Center" : position == 2 ? "Right" : "Left");
        }
        if (alignAndWidth)
            e.ColumnsWidth.SetValue(field, CellText(row, 3));
        if (widthOnly)
            e.ColumnsWidth.SetValue(field, CellText(row, 2));
    }
}

void TExporterDialogF::BindForwarders(TExporter& e) {
    e.OnBeginExport = [this](TExporter& sender) { OnBeginExport(sender); };
    e.OnEndExport = [this](TExporter& sender) { OnEndExport(sender); };
    e.OnSkippedRecord = [this](TExporter& sender, int recNo) { OnSkippedRecord(sender, recNo); };
    e.OnExportedRecord = [this](TExporter& sender, int recNo) { OnExportedRecord(sender, recNo); };
    e.OnStopExport = [this](TExporter& sender, bool& canContinue) { OnStopExport(sender, canContinue); };
    e.OnGetExportText = [this](TExporter& sender, int colNo, std::string& text) {
        OnGetExportText(sender, colNo, text);
    };
    e.OnBeforeExportRow = [this](TExporter& sender, TExportRow& row, bool& accept) {
        OnBeforeExportRow(sender, row, accept);
    };
    // The width pre-pass of the exporters that have one reports its rows too (code 2).
    e.OnFetchedRecord = [this](TExporter& sender, int recNo) { OnFetchedRecord(sender, recNo); };
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
    std::unique_ptr<TExporter> e = CreateExporter(type);
    CopyCommonSettings(*e);
    CopyCaptions(*e, type);
    BindForwarders(*e);
    return e;
}

void TExporterDialogF::bStartClick() {
    progress_.reset();
    exporter_.reset();
    exporter_ = PrepareExporter();
    TExporter& e = *exporter_;

    // The window goes however the export ends, an error included.
    struct ProgressGuard {
        std::unique_ptr<TExportProgressView>& view;
        ~ProgressGuard() { view.reset(); }
    } guard{progress_};
    progress_ = CreateProgressWindow(e);
    if (progress_)
        progress_->Show();

    e.Execute();

    if (!FormState().ShowFile) {
        while (progress_ && !progress_->ClosedByUser())
            WaitForMessages();
    } else if (!e.IsAborted()) {
        Post(9);
        ProcessMessages();
    }
}

// --- forwarders ---

void TExporterDialogF::Post(int code) {
    if (progress_)
        progress_->Post(code);
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
    Post(2);
    ProcessMessages();
}

void TExporterDialogF::OnSkippedRecord(TExporter& sender, int recNo) {
    Post(3);
    ProcessMessages();
    if (dialog_.OnSkippedRecord)
        dialog_.OnSkippedRecord(sender, recNo);
}

void TExporterDialogF::OnExportedRecord(TExporter& sender, int recNo) {
    if (dialog_.OnExportedRecord)
        dialog_.OnExportedRecord(sender, recNo);
    Post(4);
    ProcessMessages();
}

void TExporterDialogF::OnStopExport(TExporter&, bool& canContinue) {
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

void TExporterDialogF::XLSExpBeforeExportRow(TExporter& sender, void* sheet, TExportRow& row, bool& accept) {
    if (dialog_.OnBeforeExportXLSRow)
        dialog_.OnBeforeExportXLSRow(sender, sheet, row, accept);
}

void TExporterDialogF::XLSExpExportedRecord(TExporter& sender, void* sheet, int recNo) {
    if (dialog_.OnExportedRecordXLS)
        dialog_.OnExportedRecordXLS(sender, sheet, recNo);
}

void TExporterDialogF::XLSExpAdvancedGetExportText(TExporter& sender, void* sheet, int colNo,
                                                   std::string& text) {
    if (dialog_.OnGetExportXLSText)
        dialog_.OnGetExportXLSText(sender, sheet, colNo, text);
}

} // namespace exporter
