#pragma once

// The export dialog component: a program sets its source, the allowed types, the option objects and its
// events, and calls Execute, which fills the column list from the source and shows the form
// (TExporterDialogF) on which the user picks a type and options and starts the export.
//
// The form is reached only through FormFactory, so that Execute runs with any implementation of the
// form's interface (ExporterDialogForm.h): the real window, or a test double.

#include "export/core/Exporter.h"
#include "export/dialog/ExporterDialogTypes.h"
#include "export/dialog/ExporterOptions.h"

#include <functional>
#include <memory>
#include <string>

namespace exporter {

class TExporterDialogF;

class TExporterDialog : public TExportColumnsOwner {
public:
    using TExportGetColonEvent = std::function<void(void* sender, rtl::TStringList& colon)>;
    using TExportEvent = std::function<void(TExporter& sender)>;
    using TDlgRecordExportedEvent = std::function<void(TExporter& sender, int recNo)>;
    using TDlgBeforeExportRowEvent = std::function<void(TExporter& sender, TExportRow& row, bool& accept)>;
    using TExportStopEvent = std::function<void(TExporterDialog& sender, bool& canContinue)>;
    using TDlgGetExportTextEvent = std::function<void(TExporter& sender, int colNo, std::string& text)>;
    // The workbook events carry the index of the sheet being written.
    using TDlgBeforeExportXLSRowEvent =
        std::function<void(TExporter& sender, int sheet, TExportRow& row, bool& accept)>;
    using TDlgRecordExportedXLSEvent = std::function<void(TExporter& sender, int sheet, int recNo)>;
    using TDlgGetExportXLSTextEvent =
        std::function<void(TExporter& sender, int sheet, int colNo, std::string& text)>;
    // Makes the form for one Execute.
    using TFormFactory = std::function<std::unique_ptr<TExporterDialogF>(TExporterDialog& owner)>;

    TExporterDialog();
    ~TExporterDialog() override;
    TExporterDialog(const TExporterDialog&) = delete;
    TExporterDialog& operator=(const TExporterDialog&) = delete;

    // Checks the source and the allowed types (34014, 34018), fills Columns from the source with BLOB
    // fields, then makes the form, shows it modally and frees it.
    void Execute();

    // Clears the reference when the given source object goes away.
    void Notification(const void* removed);

    void LoadColumnsOwnerProperties(TExportOwnerProperties& properties) const override;
    // The source references of the current settings.
    TExportSources Sources() const;

    // --- settings (defaults as stated) ---
    TExportSource ExportSource = TExportSource::esDataSet;
    TExportDataSet* DataSet = nullptr;
    TqeCustomSource* CustomSource = nullptr;
    TExportListView* ListView = nullptr;
    TExportDBGrid* DBGrid = nullptr;
    TExportStringGrid* StringGrid = nullptr;
    TAllowedExports AllowedExports = AllAllowedExports();
    TCommonOptions CommonOptions = AllCommonOptions();
    bool AutoChangeFileExt = true;
    bool ConfirmAbort = true; // stored only: the abort question is asked whatever its value
    bool OnlyVisibleFields = false;
    bool AutoCalcStrType = false;
    std::string OptionsFileName;
    bool AutoSaveOptions = false;
    bool AutoLoadOptions = false;
    bool SaveLoadButtons = false;
    std::string About;
    std::string _Version;
    std::string FileName;
    bool ShowFile = true;
    bool PrintFile = false;
    rtl::TStringList ExportedFields;
    rtl::TStringList Header;
    bool AllowCaptions = true;
    int CaptionRow = -1;
    rtl::TStringList Captions;
    rtl::TStringList Footer;
    TExportFormats Formats;
    rtl::TStringList UserFormats;
    rtl::TStringList ColumnsWidth;
    rtl::TStringList ColumnsAlign;
    bool CurrentRecordOnly = false;
    bool ExportEmpty = true;
    bool GoToFirstRecord = true;
    int ExportRecCount = 0;
    int SkipRecCount = 0;

    TExportRTFOptions RTFOptions{this};
    TExportXMLOptions XMLOptions{this};
    TExportSQLOptions SQLOptions{this};
    TExportHTMLPageOptions HTMLPageOptions{this};
    TExportHTMLTableOptions HTMLTableOptions{this};
    TExportHTMLMultiFileOptions HTMLMultiFileOptions{this};
    TExportTXTOptions TXTOptions{this};
    TExportCSVOptions CSVOptions{this};
    TExportPDFOptions PDFOptions{this};
    TExportXLSOptions XLSOptions{this};

    // The columns of the source; filled by Execute, read by the form's field lists.
    TExportColumns Columns{this, nullptr};

    // --- events ---
    TExportGetColonEvent OnGetHeader;
    TExportGetColonEvent OnGetFooter;
    TExportEvent OnBeginExport;
    TExportEvent OnEndExport;
    TDlgRecordExportedEvent OnFetchedRecord;
    TDlgRecordExportedEvent OnSkippedRecord;
    TDlgRecordExportedEvent OnExportedRecord;
    TDlgBeforeExportRowEvent OnBeforeExportRow;
    TDlgBeforeExportXLSRowEvent OnBeforeExportXLSRow;
    TDlgRecordExportedXLSEvent OnExportedRecordXLS;
    TExportStopEvent OnStopExport;
    TDlgGetExportTextEvent OnGetExportText;
    TDlgGetExportXLSTextEvent OnGetExportXLSText;

    // Makes the form; the window's unit installs the real form here. Execute raises an error when none is
    // installed.
    TFormFactory FormFactory;
};

} // namespace exporter
