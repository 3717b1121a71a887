#pragma once

// The export dialog's window: the page control with the general pages (export type and record
// constraints, fields, formats, header and footer, captions) and the type pages, the file panel and the
// buttons, each control named as the dialog's documentation names it. It shows a TExportFormState and
// its handlers change that state through TExportFormModel; the start button runs the export of the
// chosen type (TExporterDialogF::bStartClick).

#include "export/dialog/ExporterDialogForm.h"
#include "export/dialog/ExporterDialogFormLogic.h"
#include "export/dialog/ExporterDialogFormPDF.h"
#include "export/dialog/ExporterFormState.h"

#include <QDialog>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;

namespace exporter {

class TExportDialogServices;
class TExportXLSPages;

class TExporterDialogFormWindow : public QDialog, public TExporterDialogF {
    Q_OBJECT
public:
    // Takes over the dialog component's settings (and the options file when it auto-loads). Modal
    // dialogs go through services (Qt's own when null).
    explicit TExporterDialogFormWindow(TExporterDialog& owner, TExportDialogServices* services = nullptr,
                                       QWidget* parent = nullptr);
    ~TExporterDialogFormWindow() override;

    int ShowModal() override;
    TExportFormState& FormState() override { return state_; }
    TExportFormModel& Model() { return model_; }
    TExportPDFPageModel& PDFModel() { return pdfModel_; }
    TExportXLSPages& XLSPages() { return *xlsPages_; }

    // Shows the whole state in the controls again (after the state was changed from outside).
    void ShowState();
    // Chooses the type as the user would in the type group.
    void SelectExportType(TAllowedExport type);
    // The page control's page of that kind.
    QWidget* Page(TExportFormPage page) const;

    // The dialog's handlers (the user-action signals of the controls call them).
    void rgExportTypeClick();
    void bBrowseClick();
    void bAddOneExportedFieldClick();
    void bAddAllExportedFieldClick();
    void bDelOneExportedFieldClick();
    void bDelAllExportedFieldClick();
    // A list's selected item dropped on a field list at a point of its viewport.
    void lstExportedFieldsDragDrop(QTreeWidget* source);
    void lstAvailableFieldsDragDrop(QTreeWidget* source, const QPoint& position);
    void cbxFormatFieldsChange();
    void bAddUserFormatClick();
    void bEditUserFormatClick();
    void bDeleteUserFormatClick();
    void bClearUserFormatsClick();
    void miSaveOptionsClick();
    void miLoadOptionsClick();

    // Installs this window as the form of the component's Execute.
    static void Install(TExporterDialog& dialog, TExportDialogServices* services = nullptr);

protected:
    QWidget* ProgressOwner() const override { return const_cast<TExporterDialogFormWindow*>(this); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void ShowNotice(const std::string& text) override;
    void FileNameChanged() override;
    void done(int result) override;
    // Leaving the align editor writes its choice into the grid.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildFilePanel();
    QWidget* BuildButtonPanel();
    QWidget* BuildExportTypePage();
    QWidget* BuildFieldsPage();
    QWidget* BuildFormatsPage();
    QWidget* BuildHeaderFooterPage();
    QWidget* BuildCaptionsPage();
    QWidget* BuildXMLPage();
    QWidget* BuildSQLPage();
    QWidget* BuildASCIIPage();
    QWidget* BuildPDFPage();
    QWidget* NamedPage(const char* name);
    void ConnectHandlers();
    // The CSV comma or quote edit was left: its text becomes value, or, when it cannot be a separator, the
    // user is told and value is kept.
    void SeparatorEditFinished(QLineEdit* edit, char& value);

    void InitializeDialog();
    void LocalizeCaptions();
    void FillExportTypes();
    void UpdateCaption();
    void UpdateStartButton();
    void UpdatePages();
    void UpdateUserFormatButtons();
    void ShowFieldLists(int availableCurrent, int exportedCurrent);
    void ShowUserFormats(int current);
    void ShowCaptionsGrid();
    void ShowFormats();
    void ShowTypePages();
    void PlaceColumnEditor(int row, int column);
    void WriteColumnEditor(const QString& text);
    void ReadMemo(QPlainTextEdit* memo, rtl::TStringList& lines);
    void LoadOptionsFile(const std::string& fileName);
    void ConnectPDFHandlers();
    void FillPDFFonts();
    void ShowPDFPage();
    void ShowPDFFont();
    void UpdatePDFSample();
    void LocalizeChoices();
    // The workbook pages.
    void ShowXLSPages();
    TExportXLSPages* xlsPages_ = nullptr;

    TExportFormState state_;
    TExportFormModel model_;
    TExportPDFPageModel pdfModel_;
    int currentPDFFont_ = 0;
    TExportDialogServices* services_;
    int editorRow_ = -1, editorColumn_ = -1;

    // Controls the handlers use (all of them are found by name as well).
    QWidget* paFileName = nullptr;
    QLabel* laFileName = nullptr;
    QLineEdit* edFileName = nullptr;
    QPushButton* bBrowse = nullptr;
    QCheckBox* chShowFile = nullptr;
    QCheckBox* chPrintFile = nullptr;
    QPushButton* bStart = nullptr;
    QPushButton* bCancel = nullptr;
    QPushButton* bTools = nullptr;
    QMenu* pmTools = nullptr;
    QAction* miLoadOptions = nullptr;
    QAction* miSaveOptions = nullptr;
    QTabWidget* Pages = nullptr;
    QTabWidget* pcExportType = nullptr;
    QGroupBox* rgExportType = nullptr;
    QButtonGroup* exportTypeButtons = nullptr;
    QLineEdit* edSkipRecCount = nullptr;
    QCheckBox* chGoToFirstRecord = nullptr;
    QRadioButton* rbExportAllRecords = nullptr;
    QRadioButton* rbExportOnly = nullptr;
    QLineEdit* edExportRecCount = nullptr;
    QLabel* laExportRecCount_02 = nullptr;
    QCheckBox* chCurrentRecordOnly = nullptr;
    QCheckBox* chExportEmpty = nullptr;
    QTreeWidget* lstAvailableFields = nullptr;
    QTreeWidget* lstExportedFields = nullptr;
    QLineEdit* edIntegerFormat = nullptr;
    QLineEdit* edFloatFormat = nullptr;
    QLineEdit* edDateFormat = nullptr;
    QLineEdit* edTimeFormat = nullptr;
    QLineEdit* edDateTimeFormat = nullptr;
    QLineEdit* edCurrencyFormat = nullptr;
    QLineEdit* edBooleanTrue = nullptr;
    QLineEdit* edBooleanFalse = nullptr;
    QLineEdit* edNullString = nullptr;
    QComboBox* cbxFormatFields = nullptr;
    QComboBox* cbxUserFormats = nullptr;
    QTreeWidget* lstUserFormats = nullptr;
    QPushButton* bAddUserFormat = nullptr;
    QPushButton* bEditUserFormat = nullptr;
    QPushButton* bDeleteUserFormat = nullptr;
    QPushButton* bClearUserFormats = nullptr;
    QPlainTextEdit* memHeader = nullptr;
    QPlainTextEdit* memFooter = nullptr;
    QCheckBox* chAllowCaptions = nullptr;
    QTableWidget* sgrCaptions = nullptr;
    QComboBox* cbxColumnAlign = nullptr;
    QLineEdit* edColumnWidth = nullptr;
    QSpinBox* udColumnWidth = nullptr;
    QLabel* laCaptionRow = nullptr;
    QLineEdit* edCaptionRow = nullptr;
    // The type pages of this window.
    QCheckBox* chXMLStandalone = nullptr;
    QLineEdit* edXMLEncoding = nullptr;
    QLineEdit* edSQLTableName = nullptr;
    QCheckBox* chSQLCreateTable = nullptr;
    QLineEdit* edSQLCommitRecCount = nullptr;
    QCheckBox* chSQLCommitAfterScript = nullptr;
    QLineEdit* edSQLCommitStatement = nullptr;
    QLineEdit* edSQLNullString = nullptr;
    QLineEdit* edSQLStatementTerm = nullptr;
    QCheckBox* chTXTAutoCalcColWidth = nullptr;
    QLineEdit* edTXTSpacing = nullptr;
    QCheckBox* chCSVQuoteStrings = nullptr;
    QLineEdit* edCSVComma = nullptr;
    QLineEdit* edCSVQuote = nullptr;
    QLineEdit* edPDFColSpacing = nullptr;
    QLineEdit* edPDFRowSpacing = nullptr;
    QLineEdit* edPDFGridLineWidth = nullptr;
    QTreeWidget* lvPDFFonts = nullptr;
    QComboBox* cbPDFFontName = nullptr;
    QComboBox* cbPDFFontEncoding = nullptr;
    QLineEdit* edPDFFontSize = nullptr;
    QToolButton* sbPDFFontColor = nullptr;
    QLabel* paPDFSample = nullptr;
    QComboBox* cbPDFPageFormat = nullptr;
    QLineEdit* edPDFPageWidth = nullptr;
    QLineEdit* edPDFPageHeight = nullptr;
    QComboBox* cbPDFPageUnits = nullptr;
    QComboBox* cbPDFPageOrientation = nullptr;
    QLineEdit* edPDFPageMarginLeft = nullptr;
    QLineEdit* edPDFPageMarginRight = nullptr;
    QLineEdit* edPDFPageMarginTop = nullptr;
    QLineEdit* edPDFPageMarginBottom = nullptr;
};

} // namespace exporter
