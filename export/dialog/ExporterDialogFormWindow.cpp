#include "export/dialog/ExporterDialogFormWindow.h"
#include "export/dialog/ExporterDialogFormHTML.h"
#include "export/dialog/ExporterDialogFormRTF.h"
#include "export/dialog/ExporterDialogWidgets.h"

#include "export/core/ExporterLocale.h"
#include "export/core/ExporterPageUtils.h"
#include "export/dialog/ExporterDialog.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormTexts.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterOptionsFile.h"
#include "platform/rtl/SysUtils.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>
#include <map>
#include <tuple>

namespace exporter {

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

std::string S(const QString& text) {
    return text.toStdString();
}

QLabel* NamedLabel(const char* name, const QString& text) {
    return Named(new QLabel(text), name);
}

// A field list the user drags items from and drops them on; a drop is handed to the form, which moves
// the items itself.
class TFieldListView : public QTreeWidget {
public:
    std::function<void(QTreeWidget* source, const QPoint& position)> OnDrop;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override { Accept(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { Accept(event); }
    void dropEvent(QDropEvent* event) override {
        auto* source = qobject_cast<QTreeWidget*>(event->source());
        if (!source || !OnDrop) {
            event->ignore();
            return;
        }
        event->setDropAction(Qt::IgnoreAction);
        event->accept();
        // The lists are rebuilt after the drag has finished with them.
        const QPoint position = event->position().toPoint();
        QPointer<QTreeWidget> from(source);
        QMetaObject::invokeMethod(
            this,
            [this, from, position] {
                if (from)
                    OnDrop(from, position);
            },
            Qt::QueuedConnection);
    }

private:
    // Any list view may be the source.
    static void Accept(QDropEvent* event) {
        if (qobject_cast<QTreeWidget*>(event->source()))
            event->acceptProposedAction();
        else
            event->ignore();
    }
};

// A report-style list: one column, no header, whole rows selected.
QTreeWidget* FieldList(const char* name, bool dragAndDrop = false) {
    QTreeWidget* list = dragAndDrop ? new TFieldListView : new QTreeWidget;
    Named(list, name);
    if (dragAndDrop) {
        list->setDragEnabled(true);
        list->setAcceptDrops(true);
        list->setDragDropMode(QAbstractItemView::DragDrop);
        list->setDefaultDropAction(Qt::MoveAction);
    }
    list->setColumnCount(1);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setColumnWidth(0, 195);
    return list;
}

int CurrentIndex(QTreeWidget* list) {
    QTreeWidgetItem* item = list->currentItem();
    return item && item->isSelected() ? list->indexOfTopLevelItem(item) : -1;
}

void SelectRow(QTreeWidget* list, int row) {
    if (list->topLevelItemCount() == 0)
        return;
    row = std::clamp(row, 0, list->topLevelItemCount() - 1);
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->setCurrentItem(item);
    item->setSelected(true);
}

// Only digits (and the editing keys) reach the record-count edits.
void DigitsOnly(QLineEdit* edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

} // namespace

// --- making the form ---

TExporterDialogFormWindow::TExporterDialogFormWindow(TExporterDialog& owner, TExportDialogServices* services,
                                                     QWidget* parent)
    : QDialog(parent), TExporterDialogF(owner), model_(owner, state_),
      pdfModel_(state_.PDF, owner.PDFOptions), services_(services ? services : &QtExportDialogServices()) {
    setObjectName(QStringLiteral("ExporterDialogF"));
    BuildControls();
    ConnectHandlers();
    InitializeDialog();
}

TExporterDialogFormWindow::~TExporterDialogFormWindow() = default;

void TExporterDialogFormWindow::Install(TExporterDialog& dialog, TExportDialogServices* services) {
    dialog.FormFactory = [services](TExporterDialog& owner) -> std::unique_ptr<TExporterDialogF> {
        return std::make_unique<TExporterDialogFormWindow>(owner, services);
    };
}

int TExporterDialogFormWindow::ShowModal() {
    UpdateCaption();
    return exec();
}

QWidget* TExporterDialogFormWindow::NamedPage(const char* name) {
    auto* page = Named(new QWidget, name);
    return page;
}

void TExporterDialogFormWindow::BuildControls() {
    resize(470, 404);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFilePanel());
    Pages = Named(new QTabWidget, "Pages");
    Pages->addTab(BuildExportTypePage(), QStringLiteral("Export &Type"));
    Pages->addTab(BuildFieldsPage(), QStringLiteral("F&ields"));
    Pages->addTab(BuildFormatsPage(), QStringLiteral("&Formats"));
    Pages->addTab(BuildHeaderFooterPage(), QStringLiteral("Hea&der && Footer"));
    Pages->addTab(BuildCaptionsPage(), QStringLiteral("&Captions"));
    QWidget* rtfPage = NamedPage("tshRTF");
    (new QVBoxLayout(rtfPage))->addWidget(new TExporterRTFPage(state_.RTF, *services_)); // RTF page
    Pages->addTab(rtfPage, QStringLiteral("Word / RTF Options"));
    Pages->addTab(BuildXMLPage(), QStringLiteral("XML Options"));
    Pages->addTab(BuildSQLPage(), QStringLiteral("&SQL Options"));
    QWidget* htmlPage = NamedPage("tshHTML");
    (new QVBoxLayout(htmlPage))->addWidget(new TExporterHTMLPage(state_, *services_)); // HTML page
    Pages->addTab(htmlPage, QStringLiteral("&HTML Options"));
    QWidget* xlsPage = NamedPage("tshXLS");
    xlsPages_ = new TExportXLSPages(xlsPage, state_.XLS, *services_);
    Pages->addTab(xlsPage, QStringLiteral("&Excel Options"));
    Pages->addTab(BuildASCIIPage(), QStringLiteral("ASCII Options"));
    Pages->addTab(BuildPDFPage(), QStringLiteral("PDF Options"));
    layout->addWidget(Pages, 1);
    layout->addWidget(BuildButtonPanel());
}

QWidget* TExporterDialogFormWindow::BuildFilePanel() {
    paFileName = Named(new QWidget, "paFileName");
    auto* grid = new QGridLayout(paFileName);
    grid->setContentsMargins(0, 0, 0, 0);
    laFileName = NamedLabel("laFileName", QStringLiteral("Destination file"));
    edFileName = Named(new QLineEdit, "edFileName");
    bBrowse = Named(new QPushButton(QStringLiteral("Select...")), "bBrowse");
    chShowFile = Named(new QCheckBox(QStringLiteral("Open file after export")), "chShowFile");
    chPrintFile = Named(new QCheckBox(QStringLiteral("Print file after export")), "chPrintFile");
    grid->addWidget(laFileName, 0, 0, 1, 2);
    grid->addWidget(edFileName, 1, 0);
    grid->addWidget(bBrowse, 1, 1);
    auto* checks = new QHBoxLayout;
    checks->addWidget(chShowFile);
    checks->addWidget(chPrintFile);
    checks->addStretch();
    grid->addLayout(checks, 2, 0, 1, 2);
    return paFileName;
}

QWidget* TExporterDialogFormWindow::BuildButtonPanel() {
    auto* panel = Named(new QWidget, "paButtons");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    bTools = Named(new QPushButton(QStringLiteral("Tools")), "bTools");
    pmTools = Named(new QMenu(this), "pmTools");
    miLoadOptions = Named(pmTools->addAction(QStringLiteral("Load Export Options...")), "miLoadOptions");
    miSaveOptions = Named(pmTools->addAction(QStringLiteral("Save Export Options...")), "miSaveOptions");
    bStart = Named(new QPushButton(QStringLiteral("&Start Export")), "bStart");
    bStart->setDefault(true);
    bCancel = Named(new QPushButton(QStringLiteral("&Close")), "bCancel");
    row->addWidget(bTools);
    row->addStretch();
    row->addWidget(bStart);
    row->addWidget(bCancel);
    return panel;
}

QWidget* TExporterDialogFormWindow::BuildExportTypePage() {
    QWidget* page = NamedPage("tshExportType");
    auto* layout = new QVBoxLayout(page);
    pcExportType = Named(new QTabWidget, "pcExportType");
    layout->addWidget(pcExportType);

    QWidget* formats = NamedPage("tshExportFormats");
    auto* formatsLayout = new QVBoxLayout(formats);
    rgExportType = Named(new QGroupBox(QStringLiteral(" Export to ")), "rgExportType");
    new QGridLayout(rgExportType);
    exportTypeButtons = new QButtonGroup(this);
    formatsLayout->addWidget(rgExportType);
    formatsLayout->addStretch();
    pcExportType->addTab(formats, QStringLiteral("&Formats"));

    QWidget* options = NamedPage("tshExportOptions");
    auto* optionsLayout = new QVBoxLayout(options);
    auto* constraints = Named(new QGroupBox(QStringLiteral(" Constraints ")), "gbExportConstraints");
    auto* c = new QVBoxLayout(constraints);
    auto* skip = new QHBoxLayout;
    skip->setSpacing(4);
    skip->addWidget(NamedLabel("laSkipRecCount_01", QStringLiteral("Skip")));
    edSkipRecCount = Named(new QLineEdit(QStringLiteral("0")), "edSkipRecCount");
    DigitsOnly(edSkipRecCount);
    skip->addWidget(edSkipRecCount);
    skip->addWidget(NamedLabel("laSkipRecCount_02", QStringLiteral("record(s)")));
    skip->addStretch();
    c->addLayout(skip);
    chGoToFirstRecord = Named(new QCheckBox(QStringLiteral("Go to first record")), "chGoToFirstRecord");
    c->addWidget(chGoToFirstRecord);
    rbExportAllRecords = Named(new QRadioButton(QStringLiteral("Export all records")), "rbExportAllRecords");
    c->addWidget(rbExportAllRecords);
    auto* only = new QHBoxLayout;
    only->setSpacing(4);
    rbExportOnly = Named(new QRadioButton(QStringLiteral("Export only")), "rbExportOnly");
    edExportRecCount = Named(new QLineEdit(QStringLiteral("0")), "edExportRecCount");
    DigitsOnly(edExportRecCount);
    laExportRecCount_02 = NamedLabel("laExportRecCount_02", QStringLiteral("record(s)"));
    only->addWidget(rbExportOnly);
    only->addWidget(edExportRecCount);
    only->addWidget(laExportRecCount_02);
    only->addStretch();
    c->addLayout(only);
    chCurrentRecordOnly =
        Named(new QCheckBox(QStringLiteral("Export current record only")), "chCurrentRecordOnly");
    chExportEmpty = Named(new QCheckBox(QStringLiteral("Export empty records")), "chExportEmpty");
    c->addWidget(chCurrentRecordOnly);
    c->addWidget(chExportEmpty);
    optionsLayout->addWidget(constraints);
    optionsLayout->addStretch();
    pcExportType->addTab(options, QStringLiteral("&Options"));
    return page;
}

QWidget* TExporterDialogFormWindow::BuildFieldsPage() {
    QWidget* page = NamedPage("tshFields");
    auto* grid = new QGridLayout(page);
    grid->addWidget(NamedLabel("laAvailableFields", QStringLiteral("Available fields")), 0, 0);
    grid->addWidget(NamedLabel("laExportedFields", QStringLiteral("Exported fields")), 0, 2);
    lstAvailableFields = FieldList("lstAvailableFields", true);
    lstExportedFields = FieldList("lstExportedFields", true);
    static_cast<TFieldListView*>(lstExportedFields)->OnDrop = [this](QTreeWidget* source, const QPoint&) {
        lstExportedFieldsDragDrop(source);
    };
    static_cast<TFieldListView*>(lstAvailableFields)->OnDrop =
        [this](QTreeWidget* source, const QPoint& position) { lstAvailableFieldsDragDrop(source, position); };
    grid->addWidget(lstAvailableFields, 1, 0);
    grid->addWidget(lstExportedFields, 1, 2);
    auto* buttons = new QVBoxLayout;
    const std::pair<const char*, const char*> names[] = {{"bAddOneExportedField", ">"},
                                                         {"bAddAllExportedField", ">>"},
                                                         {"bDelOneExportedField", "<"},
                                                         {"bDelAllExportedField", "<<"}};
    buttons->addStretch();
    for (const auto& [name, text] : names) {
        auto* button = Named(new QToolButton, name);
        button->setText(QString::fromLatin1(text));
        buttons->addWidget(button);
    }
    buttons->addStretch();
    grid->addLayout(buttons, 1, 1);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildFormatsPage() {
    QWidget* page = NamedPage("tshFormats");
    auto* layout = new QVBoxLayout(page);
    auto* standard = Named(new QGroupBox(QStringLiteral(" Standard formats ")), "gbStandardFormats");
    auto* grid = new QGridLayout(standard);
    struct Edit {
        const char* label;
        const char* text;
        const char* name;
        QLineEdit** edit;
    };
    const Edit edits[] = {{"laIntegerFormat", "Integer", "edIntegerFormat", &edIntegerFormat},
                          {"laFloatFormat", "Float", "edFloatFormat", &edFloatFormat},
                          {"laDateFormat", "Date", "edDateFormat", &edDateFormat},
                          {"laTimeFormat", "Time", "edTimeFormat", &edTimeFormat},
                          {"laDateTimeFormat", "DateTime", "edDateTimeFormat", &edDateTimeFormat},
                          {"laCurrencyFormat", "Currency", "edCurrencyFormat", &edCurrencyFormat},
                          {"laBooleanTrue", "Boolean True", "edBooleanTrue", &edBooleanTrue},
                          {"laBooleanFalse", "Boolean False", "edBooleanFalse", &edBooleanFalse},
                          {"laNullString", "Null string", "edNullString", &edNullString}};
    int i = 0;
    for (const Edit& e : edits) {
        *e.edit = Named(new QLineEdit, e.name);
        grid->addWidget(NamedLabel(e.label, QString::fromLatin1(e.text)), i % 5, (i / 5) * 2);
        grid->addWidget(*e.edit, i % 5, (i / 5) * 2 + 1);
        ++i;
    }
    layout->addWidget(standard);

    auto* user = Named(new QGroupBox(QStringLiteral(" User formats ")), "gbUserFormat");
    auto* u = new QGridLayout(user);
    cbxFormatFields = Named(new QComboBox, "cbxFormatFields");
    cbxUserFormats = Named(new QComboBox, "cbxUserFormats");
    cbxUserFormats->setEditable(true);
    cbxUserFormats->setInsertPolicy(QComboBox::NoInsert);
    auto* equals = new QHBoxLayout;
    equals->addWidget(cbxFormatFields, 1);
    equals->addWidget(NamedLabel("laUserFormatEquals", QStringLiteral("=")));
    equals->addWidget(cbxUserFormats, 1);
    u->addLayout(equals, 0, 0, 1, 2);
    lstUserFormats = Named(new QTreeWidget, "lstUserFormats");
    lstUserFormats->setColumnCount(3);
    lstUserFormats->setHeaderHidden(true);
    lstUserFormats->setRootIsDecorated(false);
    lstUserFormats->setColumnWidth(0, 142);
    lstUserFormats->setColumnWidth(1, 30);
    lstUserFormats->setColumnWidth(2, 142);
    lstUserFormats->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstUserFormats->setEditTriggers(QAbstractItemView::NoEditTriggers);
    u->addWidget(lstUserFormats, 1, 0);
    auto* buttons = new QVBoxLayout;
    bAddUserFormat = Named(new QPushButton(QStringLiteral("Add")), "bAddUserFormat");
    bEditUserFormat = Named(new QPushButton(QStringLiteral("Edit")), "bEditUserFormat");
    bDeleteUserFormat = Named(new QPushButton(QStringLiteral("Delete")), "bDeleteUserFormat");
    bClearUserFormats = Named(new QPushButton(QStringLiteral("Clear")), "bClearUserFormats");
    for (QPushButton* b : {bAddUserFormat, bEditUserFormat, bDeleteUserFormat, bClearUserFormats})
        buttons->addWidget(b);
    buttons->addStretch();
    u->addLayout(buttons, 1, 1);
    layout->addWidget(user, 1);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildHeaderFooterPage() {
    QWidget* page = NamedPage("tshHeaderFooter");
    auto* layout = new QVBoxLayout(page);
    memHeader = Named(new QPlainTextEdit, "memHeader");
    memFooter = Named(new QPlainTextEdit, "memFooter");
    layout->addWidget(NamedLabel("laHeader", QStringLiteral("Header")));
    layout->addWidget(memHeader);
    layout->addWidget(NamedLabel("laFooter", QStringLiteral("Footer")));
    layout->addWidget(memFooter);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildCaptionsPage() {
    QWidget* page = NamedPage("tshCaptions");
    auto* layout = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    chAllowCaptions = Named(new QCheckBox(QStringLiteral("Allow captions")), "chAllowCaptions");
    laCaptionRow = NamedLabel("laCaptionRow", QStringLiteral("Caption row"));
    edCaptionRow = Named(new QLineEdit(QStringLiteral("-1")), "edCaptionRow");
    edCaptionRow->setMaximumWidth(60);
    top->addWidget(chAllowCaptions);
    top->addStretch();
    top->addWidget(laCaptionRow);
    top->addWidget(edCaptionRow);
    layout->addLayout(top);
    sgrCaptions = Named(new QTableWidget(1, 2), "sgrCaptions");
    sgrCaptions->verticalHeader()->hide();
    sgrCaptions->verticalHeader()->setDefaultSectionSize(19);
    sgrCaptions->setColumnWidth(0, 231);
    sgrCaptions->setColumnWidth(1, 202);
    layout->addWidget(sgrCaptions, 1);
    // The in-cell editors of the align and width columns, shown over the cell being edited.
    cbxColumnAlign = Named(new QComboBox(sgrCaptions->viewport()), "cbxColumnAlign");
    edColumnWidth = Named(new QLineEdit(sgrCaptions->viewport()), "edColumnWidth");
    DigitsOnly(edColumnWidth);
    udColumnWidth = Named(new QSpinBox(sgrCaptions->viewport()), "udColumnWidth");
    udColumnWidth->setRange(0, 1000);
    udColumnWidth->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    cbxColumnAlign->hide();
    cbxColumnAlign->installEventFilter(this);
    edColumnWidth->hide();
    udColumnWidth->hide();
    return page;
}

QWidget* TExporterDialogFormWindow::BuildXMLPage() {
    QWidget* page = NamedPage("tshXML");
    auto* layout = new QGridLayout(page);
    chXMLStandalone = Named(new QCheckBox(QStringLiteral("Standalone")), "chXMLStandalone");
    edXMLEncoding = Named(new QLineEdit, "edXMLEncoding");
    layout->addWidget(chXMLStandalone, 0, 0, 1, 2);
    layout->addWidget(NamedLabel("laXMLEncoding", QStringLiteral("Encoding")), 1, 0);
    layout->addWidget(edXMLEncoding, 1, 1);
    layout->setRowStretch(2, 1);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildSQLPage() {
    QWidget* page = NamedPage("tshSQL");
    auto* layout = new QGridLayout(page);
    edSQLTableName = Named(new QLineEdit, "edSQLTableName");
    chSQLCreateTable =
        Named(new QCheckBox(QStringLiteral("Add \"Create Table\" statement")), "chSQLCreateTable");
    edSQLCommitRecCount = Named(new QLineEdit(QStringLiteral("0")), "edSQLCommitRecCount");
    chSQLCommitAfterScript =
        Named(new QCheckBox(QStringLiteral("Commit after script")), "chSQLCommitAfterScript");
    edSQLCommitStatement = Named(new QLineEdit, "edSQLCommitStatement");
    edSQLNullString = Named(new QLineEdit, "edSQLNullString");
    edSQLStatementTerm = Named(new QLineEdit(QStringLiteral(";")), "edSQLStatementTerm");
    int row = 0;
    layout->addWidget(NamedLabel("laSQLTableName", QStringLiteral("Table name")), row, 0);
    layout->addWidget(edSQLTableName, row++, 1, 1, 2);
    layout->addWidget(chSQLCreateTable, row++, 0, 1, 3);
    layout->addWidget(NamedLabel("laSQLCommitRecCount_01", QStringLiteral("Commit after")), row, 0);
    layout->addWidget(edSQLCommitRecCount, row, 1);
    layout->addWidget(NamedLabel("laSQLCommitRecCount_02", QStringLiteral("record(s)")), row++, 2);
    layout->addWidget(chSQLCommitAfterScript, row++, 0, 1, 3);
    layout->addWidget(NamedLabel("laSQLCommitStatement", QStringLiteral("Commit statement")), row, 0);
    layout->addWidget(edSQLCommitStatement, row++, 1, 1, 2);
    layout->addWidget(NamedLabel("laSQLNullString", QStringLiteral("Export null values as")), row, 0);
    layout->addWidget(edSQLNullString, row++, 1, 1, 2);
    layout->addWidget(NamedLabel("laSQLStatementTerm", QStringLiteral("Statement term")), row, 0);
    layout->addWidget(edSQLStatementTerm, row++, 1, 1, 2);
    layout->setRowStretch(row, 1);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildASCIIPage() {
    QWidget* page = NamedPage("tshASCII");
    auto* layout = new QGridLayout(page);
    chTXTAutoCalcColWidth =
        Named(new QCheckBox(QStringLiteral("Calculate column width")), "chTXTAutoCalcColWidth");
    edTXTSpacing = Named(new QLineEdit(QStringLiteral("1")), "edTXTSpacing");
    chCSVQuoteStrings = Named(new QCheckBox(QStringLiteral("Quote strings")), "chCSVQuoteStrings");
    edCSVComma = Named(new QLineEdit(QStringLiteral(",")), "edCSVComma");
    edCSVQuote = Named(new QLineEdit, "edCSVQuote");
    layout->addWidget(chTXTAutoCalcColWidth, 0, 0, 1, 2);
    layout->addWidget(NamedLabel("laTXTSpacing", QStringLiteral("Spacing")), 1, 0);
    layout->addWidget(edTXTSpacing, 1, 1);
    layout->addWidget(chCSVQuoteStrings, 2, 0, 1, 2);
    layout->addWidget(NamedLabel("laCSVComma", QStringLiteral("Comma")), 3, 0);
    layout->addWidget(edCSVComma, 3, 1);
    layout->addWidget(NamedLabel("laCSVQuote", QStringLiteral("Quote")), 4, 0);
    layout->addWidget(edCSVQuote, 4, 1);
    layout->setRowStretch(5, 1);
    return page;
}

QWidget* TExporterDialogFormWindow::BuildPDFPage() {
    QWidget* page = NamedPage("tshPDF");
    auto* layout = new QVBoxLayout(page);
    auto* inner = Named(new QTabWidget, "pcPDF");
    layout->addWidget(inner);

    QWidget* gridPage = NamedPage("tshPDFGridOptions");
    auto* g = new QGridLayout(gridPage);
    edPDFColSpacing = Named(new QLineEdit, "edPDFColSpacing");
    edPDFRowSpacing = Named(new QLineEdit, "edPDFRowSpacing");
    edPDFGridLineWidth = Named(new QLineEdit, "edPDFGridLineWidth");
    g->addWidget(NamedLabel("laPDFColSpacing", QStringLiteral("Col Spacing")), 0, 0);
    g->addWidget(edPDFColSpacing, 0, 1);
    g->addWidget(NamedLabel("laPDFRowSpacing", QStringLiteral("Row Spacing")), 1, 0);
    g->addWidget(edPDFRowSpacing, 1, 1);
    g->addWidget(NamedLabel("laPDFGridLineWidth", QStringLiteral("Grid Line Width")), 2, 0);
    g->addWidget(edPDFGridLineWidth, 2, 1);
    lvPDFFonts = FieldList("lvPDFFonts");
    g->addWidget(lvPDFFonts, 0, 2, 5, 1);
    cbPDFFontName = Named(new QComboBox, "cbPDFFontName");
    cbPDFFontEncoding = Named(new QComboBox, "cbPDFFontEncoding");
    for (const std::string& item : PDFFontNameItems())
        cbPDFFontName->addItem(Q(item));
    for (const std::string& item : PDFFontEncodingItems())
        cbPDFFontEncoding->addItem(Q(item));
    edPDFFontSize = Named(new QLineEdit, "edPDFFontSize");
    sbPDFFontColor = Named(new QToolButton, "sbPDFFontColor");
    sbPDFFontColor->setText(QStringLiteral("Font Color"));
    paPDFSample = Named(new QLabel(QStringLiteral("Sample")), "paPDFSample");
    paPDFSample->setAlignment(Qt::AlignCenter);
    paPDFSample->setFrameShape(QFrame::StyledPanel);
    paPDFSample->setMinimumHeight(40);
    g->addWidget(NamedLabel("laPDFFontName", QStringLiteral("Font Name")), 5, 0);
    g->addWidget(cbPDFFontName, 5, 1, 1, 2);
    g->addWidget(NamedLabel("laPDFFontEncoding", QStringLiteral("Font Encoding")), 6, 0);
    g->addWidget(cbPDFFontEncoding, 6, 1, 1, 2);
    g->addWidget(NamedLabel("laPDFFontSize", QStringLiteral("Font Size")), 7, 0);
    g->addWidget(edPDFFontSize, 7, 1);
    g->addWidget(sbPDFFontColor, 7, 2);
    g->addWidget(paPDFSample, 8, 0, 1, 3);
    inner->addTab(gridPage, QStringLiteral("Grid Options"));

    QWidget* pagePage = NamedPage("tshPDFPageOptions");
    auto* p = new QGridLayout(pagePage);
    cbPDFPageFormat = Named(new QComboBox, "cbPDFPageFormat");
    edPDFPageWidth = Named(new QLineEdit, "edPDFPageWidth");
    edPDFPageHeight = Named(new QLineEdit, "edPDFPageHeight");
    cbPDFPageUnits = Named(new QComboBox, "cbPDFPageUnits");
    cbPDFPageOrientation = Named(new QComboBox, "cbPDFPageOrientation");
    p->addWidget(NamedLabel("laPDFPageFormat", QStringLiteral("Page Size")), 0, 0);
    p->addWidget(cbPDFPageFormat, 0, 1, 1, 3);
    p->addWidget(NamedLabel("laPDFPageWidth", QStringLiteral("Width")), 1, 0);
    p->addWidget(edPDFPageWidth, 1, 1);
    p->addWidget(NamedLabel("laPDFPageHeight", QStringLiteral("Height")), 1, 2);
    p->addWidget(edPDFPageHeight, 1, 3);
    p->addWidget(NamedLabel("laPDFPageUnits", QStringLiteral("Units")), 2, 0);
    p->addWidget(cbPDFPageUnits, 2, 1);
    p->addWidget(NamedLabel("laPDFPageOrientation", QStringLiteral("Orientation")), 2, 2);
    p->addWidget(cbPDFPageOrientation, 2, 3);
    auto* margins = Named(new QGroupBox(QStringLiteral("Margins")), "gbPDFMargins");
    auto* m = new QGridLayout(margins);
    const std::tuple<const char*, const char*, const char*, QLineEdit**> edits[] = {
        {"laPDFPageMarginLeft", "Left", "edPDFPageMarginLeft", &edPDFPageMarginLeft},
        {"laPDFPageMarginRight", "Right", "edPDFPageMarginRight", &edPDFPageMarginRight},
        {"laPDFPageMarginTop", "Top", "edPDFPageMarginTop", &edPDFPageMarginTop},
        {"laPDFPageMarginBottom", "Bottom", "edPDFPageMarginBottom", &edPDFPageMarginBottom}};
    int i = 0;
    for (const auto& [label, text, name, edit] : edits) {
        *edit = Named(new QLineEdit, name);
        m->addWidget(NamedLabel(label, QString::fromLatin1(text)), i / 2, (i % 2) * 2);
        m->addWidget(*edit, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    p->addWidget(margins, 3, 0, 1, 4);
    p->setRowStretch(4, 1);
    inner->addTab(pagePage, QStringLiteral("Page Options"));
    return page;
}

void TExporterDialogFormWindow::ConnectPDFHandlers() {
    connect(edPDFColSpacing, &QLineEdit::textEdited, this,
            [this](const QString& t) { pdfModel_.SetColSpacingText(S(t)); });
    connect(edPDFRowSpacing, &QLineEdit::textEdited, this,
            [this](const QString& t) { pdfModel_.SetRowSpacingText(S(t)); });
    connect(edPDFGridLineWidth, &QLineEdit::textEdited, this,
            [this](const QString& t) { pdfModel_.SetGridLineWidthText(S(t)); });
    connect(cbPDFPageFormat, &QComboBox::activated, this, [this](int index) {
        pdfModel_.SetPageFormat(TExportPageFormat(index));
        ShowPDFPage();
    });
    connect(edPDFPageWidth, &QLineEdit::editingFinished, this, [this] {
        pdfModel_.SetWidthText(S(edPDFPageWidth->text()));
        ShowPDFPage();
    });
    connect(edPDFPageHeight, &QLineEdit::editingFinished, this, [this] {
        pdfModel_.SetHeightText(S(edPDFPageHeight->text()));
        ShowPDFPage();
    });
    const std::pair<QLineEdit*, TPDFMargin> margins[] = {{edPDFPageMarginLeft, TPDFMargin::Left},
                                                         {edPDFPageMarginRight, TPDFMargin::Right},
                                                         {edPDFPageMarginTop, TPDFMargin::Top},
                                                         {edPDFPageMarginBottom, TPDFMargin::Bottom}};
    for (const auto& [edit, margin] : margins)
        connect(edit, &QLineEdit::editingFinished, this, [this, edit = edit, margin = margin] {
            pdfModel_.SetMarginText(margin, S(edit->text()));
            ShowPDFPage();
        });
    connect(cbPDFPageUnits, &QComboBox::activated, this, [this](int index) {
        pdfModel_.SetUnits(TExportUnits(index));
        ShowPDFPage();
    });
    connect(cbPDFPageOrientation, &QComboBox::activated, this, [this](int index) {
        pdfModel_.SetOrientation(TExportPageOrientation(index));
        ShowPDFPage();
    });
    connect(lvPDFFonts, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!item)
            return;
        currentPDFFont_ = lvPDFFonts->indexOfTopLevelItem(item);
        ShowPDFFont();
    });
    connect(cbPDFFontName, &QComboBox::activated, this, [this](int index) {
        pdfModel_.Font(currentPDFFont_).BaseFont = TPDFFontName(index);
        UpdatePDFSample();
    });
    connect(cbPDFFontEncoding, &QComboBox::activated, this,
            [this](int index) { pdfModel_.Font(currentPDFFont_).FontEncoding = TPDFFontEncoding(index); });
    connect(edPDFFontSize, &QLineEdit::textEdited, this, [this](const QString& t) {
        pdfModel_.SetFontSizeText(currentPDFFont_, S(t));
        UpdatePDFSample();
    });
    connect(sbPDFFontColor, &QToolButton::clicked, this, [this] {
        TPDFFont& font = pdfModel_.Font(currentPDFFont_);
        const TExportColor c = font.FontColor;
        QColor color(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
        if (!services_->PickColor(this, color))
            return;
        font.FontColor = TExportColor(color.red()) | (TExportColor(color.green()) << 8) |
                         (TExportColor(color.blue()) << 16);
        UpdatePDFSample();
    });
}

void TExporterDialogFormWindow::FillPDFFonts() {
    QSignalBlocker block(lvPDFFonts);
    lvPDFFonts->clear();
    for (const std::string& caption : PDFFontItems())
        new QTreeWidgetItem(lvPDFFonts, QStringList{Q(caption)});
    currentPDFFont_ = 0;
    SelectRow(lvPDFFonts, 0);
    ShowPDFFont();
}

void TExporterDialogFormWindow::ShowPDFPage() {
    const TExportPDFOptions& pdf = state_.PDF;
    const TExportPDFPageOptions& page = pdfModel_.Page();
    const std::pair<QLineEdit*, std::string> edits[] = {
        {edPDFColSpacing, TExportPDFPageModel::SpacingText(pdf.ColSpacing)},
        {edPDFRowSpacing, TExportPDFPageModel::SpacingText(pdf.RowSpacing)},
        {edPDFGridLineWidth, std::to_string(pdf.GridLineWidth)},
        {edPDFPageWidth, pdfModel_.WidthText()},
        {edPDFPageHeight, pdfModel_.HeightText()},
        {edPDFPageMarginLeft, pdfModel_.MarginText(TPDFMargin::Left)},
        {edPDFPageMarginRight, pdfModel_.MarginText(TPDFMargin::Right)},
        {edPDFPageMarginTop, pdfModel_.MarginText(TPDFMargin::Top)},
        {edPDFPageMarginBottom, pdfModel_.MarginText(TPDFMargin::Bottom)}};
    for (const auto& [edit, text] : edits)
        if (edit->text() != Q(text))
            edit->setText(Q(text));
    cbPDFPageFormat->setCurrentIndex(int(page.Format()));
    cbPDFPageUnits->setCurrentIndex(int(page.Units()));
    cbPDFPageOrientation->setCurrentIndex(int(page.Orientation()));
}

void TExporterDialogFormWindow::ShowPDFFont() {
    const TPDFFont& font = pdfModel_.Font(currentPDFFont_);
    cbPDFFontName->setCurrentIndex(int(font.BaseFont));
    cbPDFFontEncoding->setCurrentIndex(int(font.FontEncoding));
    edPDFFontSize->setText(QString::number(font.FontSize));
    UpdatePDFSample();
}

void TExporterDialogFormWindow::UpdatePDFSample() {
    const TPDFSampleFont sample =
        PDFSampleFont(S(cbPDFFontName->currentText()), pdfModel_.Font(currentPDFFont_));
    QFont font(Q(sample.Face));
    font.setBold(sample.Bold);
    font.setItalic(sample.Italic);
    if (sample.Size > 0)
        font.setPointSize(sample.Size);
    paPDFSample->setFont(font);
    const TExportColor c = sample.Color;
    paPDFSample->setStyleSheet(
        QStringLiteral("color: rgb(%1, %2, %3)").arg(c & 0xFF).arg((c >> 8) & 0xFF).arg((c >> 16) & 0xFF));
}

void TExporterDialogFormWindow::LocalizeChoices() {
    const std::pair<QComboBox*, std::vector<std::string>> combos[] = {
        {cbxColumnAlign, ColumnAlignChoices()},
        {cbPDFPageFormat, PDFPageFormatItems()},
        {cbPDFPageUnits, PDFPageUnitsItems()},
        {cbPDFPageOrientation, PDFPageOrientationItems()}};
    for (const auto& [combo, items] : combos) {
        QSignalBlocker block(combo);
        combo->clear();
        for (const std::string& item : items)
            combo->addItem(Q(item));
    }
    ShowPDFPage();
}

// --- handlers ---

void TExporterDialogFormWindow::ConnectHandlers() {
    TExportFormState& s = state_;
    connect(exportTypeButtons, &QButtonGroup::idClicked, this, [this](int) { rgExportTypeClick(); });
    connect(edFileName, &QLineEdit::textEdited, this, [this](const QString& text) {
        state_.FileName = S(text);
        UpdateCaption();
        UpdateStartButton();
    });
    connect(bBrowse, &QPushButton::clicked, this, [this] { bBrowseClick(); });
    connect(chShowFile, &QCheckBox::clicked, this, [&s](bool on) { s.ShowFile = on; });
    connect(chPrintFile, &QCheckBox::clicked, this, [&s](bool on) { s.PrintFile = on; });
    connect(bStart, &QPushButton::clicked, this, [this] {
        // The run lets messages through; a second start must wait for the first to end.
        bStart->setEnabled(false);
        try {
            bStartClick();
        } catch (const std::exception& e) {
            // An error of the export ends the run; the form stays for another try.
            services_->ShowError(this, Q(e.what()));
        }
        UpdateStartButton();
    });
    connect(bCancel, &QPushButton::clicked, this, [this] { done(2); });
    connect(bTools, &QPushButton::clicked, this,
            [this] { pmTools->popup(bTools->mapToGlobal(QPoint(0, -25 * int(pmTools->actions().size())))); });
    connect(miSaveOptions, &QAction::triggered, this, [this] { miSaveOptionsClick(); });
    connect(miLoadOptions, &QAction::triggered, this, [this] { miLoadOptionsClick(); });

    // Record constraints.
    connect(chGoToFirstRecord, &QCheckBox::clicked, this, [&s](bool on) { s.GoToFirstRecord = on; });
    connect(chCurrentRecordOnly, &QCheckBox::clicked, this, [&s](bool on) { s.CurrentRecordOnly = on; });
    connect(chExportEmpty, &QCheckBox::clicked, this, [&s](bool on) { s.ExportEmpty = on; });
    connect(edExportRecCount, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetExportRecCountText(S(text)); });
    connect(edSkipRecCount, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.SetSkipRecCountText(S(text)); });
    connect(rbExportOnly, &QRadioButton::clicked, this, [this] {
        edExportRecCount->setEnabled(true);
        laExportRecCount_02->setEnabled(true);
    });
    connect(rbExportAllRecords, &QRadioButton::clicked, this, [this] {
        edExportRecCount->setEnabled(false);
        laExportRecCount_02->setEnabled(false);
        state_.ExportRecCount = 0;
        QSignalBlocker block(edExportRecCount);
        edExportRecCount->setText(QStringLiteral("0"));
    });

    // Fields.
    connect(findChild<QToolButton*>(QStringLiteral("bAddOneExportedField")), &QToolButton::clicked, this,
            [this] { bAddOneExportedFieldClick(); });
    connect(findChild<QToolButton*>(QStringLiteral("bAddAllExportedField")), &QToolButton::clicked, this,
            [this] { bAddAllExportedFieldClick(); });
    connect(findChild<QToolButton*>(QStringLiteral("bDelOneExportedField")), &QToolButton::clicked, this,
            [this] { bDelOneExportedFieldClick(); });
    connect(findChild<QToolButton*>(QStringLiteral("bDelAllExportedField")), &QToolButton::clicked, this,
            [this] { bDelAllExportedFieldClick(); });
    connect(lstAvailableFields, &QTreeWidget::itemDoubleClicked, this,
            [this] { bAddOneExportedFieldClick(); });
    connect(lstExportedFields, &QTreeWidget::itemDoubleClicked, this,
            [this] { bDelOneExportedFieldClick(); });

    // Formats.
    const std::pair<QLineEdit*, void (TExportFormats::*)(const std::string&)> formatEdits[] = {
        {edIntegerFormat, &TExportFormats::SetIntegerFormat},
        {edFloatFormat, &TExportFormats::SetFloatFormat},
        {edDateFormat, &TExportFormats::SetDateFormat},
        {edTimeFormat, &TExportFormats::SetTimeFormat},
        {edDateTimeFormat, &TExportFormats::SetDateTimeFormat},
        {edCurrencyFormat, &TExportFormats::SetCurrencyFormat},
        {edBooleanTrue, &TExportFormats::SetBooleanTrue},
        {edBooleanFalse, &TExportFormats::SetBooleanFalse}};
    for (const auto& [edit, setter] : formatEdits)
        connect(edit, &QLineEdit::textEdited, this,
                [&s, setter = setter](const QString& text) { (s.Formats.*setter)(S(text)); });
    // The null text shows on the formats page and on the SQL page.
    for (QLineEdit* edit : {edNullString, edSQLNullString})
        connect(edit, &QLineEdit::textEdited, this, [this, edit](const QString& text) {
            state_.Formats.SetNullString(S(text));
            QLineEdit* other = edit == edNullString ? edSQLNullString : edNullString;
            QSignalBlocker block(other);
            other->setText(text);
        });
    connect(cbxFormatFields, &QComboBox::activated, this, [this] { cbxFormatFieldsChange(); });
    connect(bAddUserFormat, &QPushButton::clicked, this, [this] { bAddUserFormatClick(); });
    connect(bEditUserFormat, &QPushButton::clicked, this, [this] { bEditUserFormatClick(); });
    connect(bDeleteUserFormat, &QPushButton::clicked, this, [this] { bDeleteUserFormatClick(); });
    connect(bClearUserFormats, &QPushButton::clicked, this, [this] { bClearUserFormatsClick(); });

    // Header and footer.
    connect(memHeader, &QPlainTextEdit::textChanged, this, [this] { ReadMemo(memHeader, state_.Header); });
    connect(memFooter, &QPlainTextEdit::textChanged, this, [this] { ReadMemo(memFooter, state_.Footer); });

    // Captions.
    connect(chAllowCaptions, &QCheckBox::clicked, this, [this](bool on) {
        state_.AllowCaptions = on;
        sgrCaptions->setEnabled(on);
    });
    connect(edCaptionRow, &QLineEdit::editingFinished, this, [this] {
        model_.SetCaptionRowText(S(edCaptionRow->text()));
        QSignalBlocker block(edCaptionRow);
        edCaptionRow->setText(QString::number(state_.CaptionRow));
        ShowCaptionsGrid();
    });
    connect(sgrCaptions, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        const int row = item->row();
        if (row < 0 || row >= int(state_.Captions.size()) || item->column() != 1)
            return;
        state_.Captions[size_t(row)][1] = S(item->text());
    });
    connect(sgrCaptions, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { PlaceColumnEditor(row, column); });
    connect(cbxColumnAlign, &QComboBox::activated, this, [this] {
        WriteColumnEditor(cbxColumnAlign->currentText());
        cbxColumnAlign->hide();
    });
    connect(edColumnWidth, &QLineEdit::editingFinished, this, [this] {
        if (edColumnWidth->isHidden())
            return;
        WriteColumnEditor(edColumnWidth->text());
        edColumnWidth->hide();
        udColumnWidth->hide();
    });
    connect(udColumnWidth, &QSpinBox::valueChanged, this, [this](int value) {
        if (!edColumnWidth->isHidden())
            edColumnWidth->setText(QString::number(value));
    });

    connect(Pages, &QTabWidget::currentChanged, this, [this](int index) {
        if (Pages->widget(index) == Page(TExportFormPage::tshFormats))
            UpdateUserFormatButtons();
        if (Pages->widget(index) == Page(TExportFormPage::tshRTF))
            if (auto* rtf = findChild<TExporterRTFPage*>())
                rtf->PageActivated();
    });

    // XML, SQL, TXT and CSV pages.
    connect(chXMLStandalone, &QCheckBox::clicked, this, [&s](bool on) { s.XML.Standalone = on; });
    connect(edXMLEncoding, &QLineEdit::textEdited, this, [&s](const QString& t) { s.XML.Encoding = S(t); });
    connect(edSQLTableName, &QLineEdit::textEdited, this, [&s](const QString& t) { s.SQL.TableName = S(t); });
    connect(chSQLCreateTable, &QCheckBox::clicked, this, [&s](bool on) { s.SQL.CreateTable = on; });
    connect(edSQLCommitRecCount, &QLineEdit::textEdited, this, [&s](const QString& t) {
        std::int32_t value = 0;
        if (rtl::TryStrToInt(S(t), value))
            s.SQL.CommitRecCount = value;
    });
    connect(chSQLCommitAfterScript, &QCheckBox::clicked, this,
            [&s](bool on) { s.SQL.CommitAfterScript = on; });
    connect(edSQLCommitStatement, &QLineEdit::textEdited, this,
            [&s](const QString& t) { s.SQL.CommitStatement = S(t); });
    connect(edSQLStatementTerm, &QLineEdit::textEdited, this,
            [&s](const QString& t) { s.SQL.StatementTerm = S(t); });
    connect(chTXTAutoCalcColWidth, &QCheckBox::clicked, this, [&s](bool on) { s.TXT.AutoCalcColWidth = on; });
    connect(edTXTSpacing, &QLineEdit::textEdited, this, [&s](const QString& t) {
        std::int32_t value = 0;
        if (rtl::TryStrToInt(S(t), value))
            s.TXT.ColSpacing = value;
    });
    connect(chCSVQuoteStrings, &QCheckBox::clicked, this, [&s](bool on) { s.CSV.QuoteStrings = on; });
    connect(edCSVComma, &QLineEdit::editingFinished, this,
            [this] { SeparatorEditFinished(edCSVComma, state_.CSV.Comma); });
    connect(edCSVQuote, &QLineEdit::editingFinished, this,
            [this] { SeparatorEditFinished(edCSVQuote, state_.CSV.Quote); });
    ConnectPDFHandlers();
}

void TExporterDialogFormWindow::SeparatorEditFinished(QLineEdit* edit, char& value) {
    const std::string text = S(edit->text());
    const bool valid = SeparatorFromText(text, value);
    // The edit shows the value in force before a message can take the focus (and end the edit again).
    edit->setText(Q(CharToStrEx(value)));
    if (!valid)
        services_->ShowError(this, Q(SeparatorTextError(text)));
}

void TExporterDialogFormWindow::InitializeDialog() {
    Pages->setCurrentWidget(Page(TExportFormPage::tshExportType));
    pcExportType->setCurrentIndex(0);
    pcExportType->setTabVisible(1, Dialog().CommonOptions.count(TCommonOption::coOptions) != 0);
    edFileName->setFocus();

    rbExportAllRecords->setChecked(true);
    model_.InitializeState();
    LocalizeCaptions();
    FillExportTypes();
    FillPDFFonts();

    const bool buttons = Dialog().SaveLoadButtons;
    miSaveOptions->setEnabled(buttons);
    miSaveOptions->setVisible(buttons);
    miLoadOptions->setEnabled(buttons);
    miLoadOptions->setVisible(buttons);
    bTools->setEnabled(buttons);
    bTools->setVisible(buttons);

    const bool captionRow = model_.CaptionRowVisible();
    laCaptionRow->setVisible(captionRow);
    edCaptionRow->setVisible(captionRow);

    if (Dialog().AutoLoadOptions && !state_.OptionsFileName.empty())
        LoadOptionsFile(state_.OptionsFileName);

    if (Dialog().OnGetHeader)
        Dialog().OnGetHeader(static_cast<TExporterDialogF*>(this), state_.Header);
    if (Dialog().OnGetFooter)
        Dialog().OnGetFooter(static_cast<TExporterDialogF*>(this), state_.Footer);
    ShowState();
    cbxFormatFieldsChange();
}

namespace {

// Gives each text on the page (label, button, group title, tab caption, list choice, hint) that is the
// built-in text of one of the ids the text of that id from the string table.
void LocalizePageTexts(QWidget* page, const std::vector<int>& ids) {
    std::map<QString, QString> texts;
    for (int id : ids)
        texts.emplace(Q(ExportBuiltInString(id)), Q(ExportLoadStr(id)));
    const auto localize = [&texts](const QString& text, const auto& set) {
        if (const auto it = texts.find(text); it != texts.end() && it->second != text)
            set(it->second);
    };
    QList<QWidget*> widgets = page->findChildren<QWidget*>();
    widgets.prepend(page);
    for (QWidget* w : widgets) {
        if (auto* label = qobject_cast<QLabel*>(w))
            localize(label->text(), [label](const QString& t) { label->setText(t); });
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            localize(button->text(), [button](const QString& t) { button->setText(t); });
        if (auto* group = qobject_cast<QGroupBox*>(w))
            localize(group->title(), [group](const QString& t) { group->setTitle(t); });
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                localize(tabs->tabText(i), [tabs, i](const QString& t) { tabs->setTabText(i, t); });
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable())
            for (int i = 0; i < combo->count(); ++i)
                localize(combo->itemText(i), [combo, i](const QString& t) { combo->setItemText(i, t); });
        localize(w->toolTip(), [w](const QString& t) { w->setToolTip(t); });
    }
}

} // namespace

void TExporterDialogFormWindow::LocalizeCaptions() {
    for (const TFormText& t : ExportDialogFormTexts()) {
        const QString text = Q(ExportLoadStr(t.Id));
        QObject* control = findChild<QObject*>(QString::fromLatin1(t.Control));
        if (!control)
            continue;
        switch (t.Kind) {
        case TFormTextKind::Text:
            if (auto* label = qobject_cast<QLabel*>(control))
                label->setText(text);
            else if (auto* button = qobject_cast<QAbstractButton*>(control))
                button->setText(text);
            else if (auto* action = qobject_cast<QAction*>(control))
                action->setText(text);
            break;
        case TFormTextKind::Title:
            if (auto* group = qobject_cast<QGroupBox*>(control))
                group->setTitle(text);
            break;
        case TFormTextKind::Tab: {
            // A page sits in its page control's stack.
            auto* page = qobject_cast<QWidget*>(control);
            QWidget* stack = page ? page->parentWidget() : nullptr;
            if (auto* tabs = qobject_cast<QTabWidget*>(stack ? stack->parentWidget() : nullptr))
                tabs->setTabText(tabs->indexOf(page), text);
            break;
        }
        case TFormTextKind::Hint:
            if (auto* widget = qobject_cast<QWidget*>(control))
                widget->setToolTip(text);
            break;
        }
    }
    for (const char* page : {"tshRTF", "tshHTML", "tshXLS", "tshPDF"})
        if (auto* widget = findChild<QWidget*>(QString::fromLatin1(page)))
            LocalizePageTexts(widget, ExportDialogPageTextIds(page));
    LocalizeChoices();
}

void TExporterDialogFormWindow::FillExportTypes() {
    for (QAbstractButton* button : exportTypeButtons->buttons()) {
        exportTypeButtons->removeButton(button);
        delete button;
    }
    auto* grid = static_cast<QGridLayout*>(rgExportType->layout());
    int i = 0;
    for (TAllowedExport type : state_.OfferedTypes) {
        auto* button = new QRadioButton(Q(ExportLoadStr(ExportTypeNameId(type))));
        button->setObjectName(QStringLiteral("rgExportType_%1").arg(int(type)));
        exportTypeButtons->addButton(button, int(type));
        grid->addWidget(button, i / 3, i % 3);
        ++i;
    }
}

void TExporterDialogFormWindow::SelectExportType(TAllowedExport type) {
    if (QAbstractButton* button = exportTypeButtons->button(int(type))) {
        button->setChecked(true);
        rgExportTypeClick();
    }
}

void TExporterDialogFormWindow::rgExportTypeClick() {
    const int id = exportTypeButtons->checkedId();
    if (id < 0)
        return;
    model_.ChangeType(TAllowedExport(id));
    ShowState();
}

QWidget* TExporterDialogFormWindow::Page(TExportFormPage page) const {
    return findChild<QWidget*>(QString::fromLatin1(ExportFormPageName(page)));
}

void TExporterDialogFormWindow::UpdatePages() {
    const TAllowedExport type = state_.ExportType;
    const bool toClipboard = type == TAllowedExport::aeClipboard;
    for (QWidget* w : std::initializer_list<QWidget*>{bBrowse, laFileName, edFileName, chShowFile})
        w->setEnabled(!toClipboard);

    QWidget* active = Pages->currentWidget();
    bool activeOfType = true;
    for (int i = 0; i < ExportFormPageCount; ++i) {
        const auto page = TExportFormPage(i);
        QWidget* widget = Page(page);
        Pages->setTabVisible(Pages->indexOf(widget), model_.PageVisible(page));
        if (widget == active)
            activeOfType = IsPageOfType(page, type);
    }
    if (!activeOfType)
        Pages->setCurrentWidget(Page(TExportFormPage::tshExportType));
}

void TExporterDialogFormWindow::UpdateCaption() {
    setWindowTitle(Q(ExportDialogCaption(state_.FileName)));
}

void TExporterDialogFormWindow::UpdateStartButton() {
    bStart->setEnabled(model_.StartEnabled());
}

void TExporterDialogFormWindow::ShowState() {
    TExportFormState& s = state_;
    {
        QSignalBlocker block(edFileName);
        if (edFileName->text() != Q(s.FileName))
            edFileName->setText(Q(s.FileName));
    }
    if (QAbstractButton* button = exportTypeButtons->button(int(s.ExportType));
        button && !button->isChecked())
        button->setChecked(true);
    chShowFile->setChecked(s.ShowFile);
    chPrintFile->setChecked(s.PrintFile);
    chGoToFirstRecord->setChecked(s.GoToFirstRecord);
    chCurrentRecordOnly->setChecked(s.CurrentRecordOnly);
    chExportEmpty->setChecked(s.ExportEmpty);
    edExportRecCount->setText(QString::number(s.ExportRecCount));
    edSkipRecCount->setText(QString::number(s.SkipRecCount));
    // A count checks "export only"; none leaves the user's choice of the two as it is.
    if (s.ExportRecCount > 0)
        rbExportOnly->setChecked(true);
    const bool only = rbExportOnly->isChecked();
    edExportRecCount->setEnabled(only);
    laExportRecCount_02->setEnabled(only);
    chAllowCaptions->setChecked(s.AllowCaptions);
    sgrCaptions->setEnabled(s.AllowCaptions);
    edCaptionRow->setText(QString::number(s.CaptionRow));
    {
        const QSignalBlocker h(memHeader), f(memFooter);
        memHeader->setPlainText(
            Q(s.Header.Text()).remove(QLatin1Char('\r')).chopped(s.Header.Count() ? 1 : 0));
        memFooter->setPlainText(
            Q(s.Footer.Text()).remove(QLatin1Char('\r')).chopped(s.Footer.Count() ? 1 : 0));
    }
    ShowFormats();
    ShowFieldLists(CurrentIndex(lstAvailableFields), CurrentIndex(lstExportedFields));
    ShowUserFormats(CurrentIndex(lstUserFormats));
    ShowCaptionsGrid();
    ShowTypePages();
    UpdatePages();
    UpdateCaption();
    UpdateStartButton();
    UpdateUserFormatButtons();
}

void TExporterDialogFormWindow::ShowFormats() {
    const TExportFormats& f = state_.Formats;
    const std::pair<QLineEdit*, std::string> edits[] = {
        {edIntegerFormat, f.IntegerFormat()},   {edFloatFormat, f.FloatFormat()},
        {edDateFormat, f.DateFormat()},         {edTimeFormat, f.TimeFormat()},
        {edDateTimeFormat, f.DateTimeFormat()}, {edCurrencyFormat, f.CurrencyFormat()},
        {edBooleanTrue, f.BooleanTrue()},       {edBooleanFalse, f.BooleanFalse()},
        {edNullString, f.NullString()},         {edSQLNullString, f.NullString()}};
    for (const auto& [edit, text] : edits)
        if (edit->text() != Q(text))
            edit->setText(Q(text));

    // The fields a user format can be given: the number and date columns.
    const QString current = cbxFormatFields->currentText();
    QSignalBlocker block(cbxFormatFields);
    cbxFormatFields->clear();
    const TExportColumns& columns = Dialog().Columns;
    for (int i = 0; i < columns.Count(); ++i)
        if (columns[i].ColType < TExportColType::ectString)
            cbxFormatFields->addItem(Q(columns[i].Name), int(columns[i].ColType));
    if (const int index = cbxFormatFields->findText(current); index >= 0)
        cbxFormatFields->setCurrentIndex(index);
}

void TExporterDialogFormWindow::ShowFieldLists(int availableCurrent, int exportedCurrent) {
    const std::pair<QTreeWidget*, const std::vector<TExportFieldItem>*> lists[] = {
        {lstAvailableFields, &state_.AvailableFields}, {lstExportedFields, &state_.ExportedFields}};
    const int current[] = {availableCurrent, exportedCurrent};
    for (int l = 0; l < 2; ++l) {
        QTreeWidget* list = lists[l].first;
        list->clear();
        for (const TExportFieldItem& field : *lists[l].second) {
            auto* item = new QTreeWidgetItem(list, QStringList{Q(field.Caption)});
            item->setData(0, Qt::UserRole, field.ColumnIndex);
        }
        SelectRow(list, current[l] < 0 ? 0 : current[l]);
    }
    ShowXLSPages();
}

// The workbook's field formats are kept for the exported fields (every available field when none is).
void TExporterDialogFormWindow::ShowXLSPages() {
    xlsPages_->ShowOptions(XLSFieldListNames(state_));
}

void TExporterDialogFormWindow::ShowUserFormats(int current) {
    lstUserFormats->clear();
    for (const TExportUserFormatItem& format : state_.UserFormats) {
        auto* item = new QTreeWidgetItem(
            lstUserFormats, QStringList{Q(format.FieldName), QStringLiteral("="), Q(format.Format)});
        item->setTextAlignment(1, Qt::AlignCenter);
    }
    SelectRow(lstUserFormats, current < 0 ? 0 : current);
}

void TExporterDialogFormWindow::ShowCaptionsGrid() {
    const TCaptionsGridLayout layout = CaptionsGridLayout(state_.ExportType);
    QSignalBlocker block(sgrCaptions);
    sgrCaptions->clear();
    sgrCaptions->setColumnCount(layout.ColumnCount());
    sgrCaptions->setRowCount(int(state_.Captions.size()));
    QStringList header;
    for (const std::string& text : CaptionsGridHeader(state_.ExportType))
        header << Q(text);
    sgrCaptions->setHorizontalHeaderLabels(header);
    QFont bold = sgrCaptions->horizontalHeader()->font();
    bold.setBold(true);
    sgrCaptions->horizontalHeader()->setFont(bold);
    for (int c = 0; c < layout.ColumnCount(); ++c)
        sgrCaptions->setColumnWidth(c, layout.ColumnWidths[size_t(c)]);
    for (int r = 0; r < int(state_.Captions.size()); ++r) {
        const TExportCaptionRow& row = state_.Captions[size_t(r)];
        for (int c = 0; c < layout.ColumnCount(); ++c) {
            auto* item = new QTableWidgetItem(c < int(row.size()) ? Q(row[size_t(c)]) : QString());
            // Only the caption is edited in place; align and width have their own editors.
            if (c != 1)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            sgrCaptions->setItem(r, c, item);
        }
    }
    Pages->setTabText(Pages->indexOf(Page(TExportFormPage::tshCaptions)), Q(layout.Title));
}

void TExporterDialogFormWindow::ShowTypePages() {
    const TExportFormState& s = state_;
    chXMLStandalone->setChecked(s.XML.Standalone);
    edXMLEncoding->setText(Q(s.XML.Encoding));
    edSQLTableName->setText(Q(s.SQL.TableName));
    chSQLCreateTable->setChecked(s.SQL.CreateTable);
    edSQLCommitRecCount->setText(QString::number(s.SQL.CommitRecCount));
    chSQLCommitAfterScript->setChecked(s.SQL.CommitAfterScript);
    edSQLCommitStatement->setText(Q(s.SQL.CommitStatement));
    edSQLStatementTerm->setText(Q(s.SQL.StatementTerm));
    chTXTAutoCalcColWidth->setChecked(s.TXT.AutoCalcColWidth);
    edTXTSpacing->setText(QString::number(s.TXT.ColSpacing));
    chCSVQuoteStrings->setChecked(s.CSV.QuoteStrings);
    edCSVComma->setText(Q(CharToStrEx(s.CSV.Comma)));
    edCSVQuote->setText(Q(CharToStrEx(s.CSV.Quote)));
    ShowPDFPage();
    ShowPDFFont();
    ShowXLSPages();
    if (auto* rtf = findChild<TExporterRTFPage*>()) // RTF page
        rtf->ShowState();
    if (auto* html = findChild<TExporterHTMLPage*>()) // HTML page
        html->ShowState();
}

void TExporterDialogFormWindow::UpdateUserFormatButtons() {
    const bool any = !state_.UserFormats.empty();
    bEditUserFormat->setEnabled(any);
    bDeleteUserFormat->setEnabled(any);
    bClearUserFormats->setEnabled(any);
}

void TExporterDialogFormWindow::ReadMemo(QPlainTextEdit* memo, rtl::TStringList& lines) {
    lines.Clear();
    const QString text = memo->toPlainText();
    if (text.isEmpty())
        return;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.Add(S(line));
}

void TExporterDialogFormWindow::bBrowseClick() {
    QString fileName = Q(state_.FileName);
    if (!services_->SaveFileName(this, Q(QtFileFilter(model_.SaveFilter())),
                                 Q(ExportTypeExtension(state_.ExportType)), fileName))
        return;
    state_.FileName = S(fileName);
    ShowState();
}

void TExporterDialogFormWindow::bAddOneExportedFieldClick() {
    const int at = model_.AddExportedField(CurrentIndex(lstAvailableFields));
    if (at >= 0)
        ShowFieldLists(CurrentIndex(lstAvailableFields), at);
}

void TExporterDialogFormWindow::bAddAllExportedFieldClick() {
    model_.AddAllExportedFields();
    ShowFieldLists(0, 0);
}

void TExporterDialogFormWindow::bDelOneExportedFieldClick() {
    const int from = CurrentIndex(lstExportedFields);
    const int at = model_.DeleteExportedField(from);
    if (at >= 0)
        ShowFieldLists(at, from);
}

void TExporterDialogFormWindow::bDelAllExportedFieldClick() {
    model_.DeleteAllExportedFields();
    ShowFieldLists(0, 0);
}

void TExporterDialogFormWindow::lstExportedFieldsDragDrop(QTreeWidget* source) {
    if (source != lstAvailableFields && source != lstExportedFields)
        return;
    const bool fromExported = source == lstExportedFields;
    const int from = CurrentIndex(source);
    const int at = model_.DropOnExported(fromExported, from);
    if (at >= 0)
        ShowFieldLists(fromExported ? CurrentIndex(lstAvailableFields) : from, at);
}

void TExporterDialogFormWindow::lstAvailableFieldsDragDrop(QTreeWidget* source, const QPoint& position) {
    if (source == lstExportedFields) {
        bDelOneExportedFieldClick();
        return;
    }
    if (source != lstAvailableFields)
        return;
    QTreeWidgetItem* target = lstAvailableFields->itemAt(position);
    if (!target)
        return;
    const int at = model_.DropAvailableOnAvailable(CurrentIndex(lstAvailableFields),
                                                   lstAvailableFields->indexOfTopLevelItem(target));
    if (at >= 0)
        ShowFieldLists(at, CurrentIndex(lstExportedFields));
}

void TExporterDialogFormWindow::cbxFormatFieldsChange() {
    QSignalBlocker block(cbxUserFormats);
    cbxUserFormats->clear();
    if (cbxFormatFields->currentIndex() < 0)
        return;
    const auto type = TExportColType(cbxFormatFields->currentData().toInt());
    for (const std::string& sample : UserFormatSamples(type))
        cbxUserFormats->addItem(Q(sample));
    cbxUserFormats->setCurrentIndex(cbxUserFormats->count() ? 0 : -1);
}

void TExporterDialogFormWindow::bAddUserFormatClick() {
    const int at = model_.AddUserFormat(S(cbxFormatFields->currentText()), S(cbxUserFormats->currentText()));
    if (at < 0)
        return;
    ShowUserFormats(at);
    UpdateUserFormatButtons();
}

void TExporterDialogFormWindow::bEditUserFormatClick() {
    const int index = CurrentIndex(lstUserFormats);
    if (index < 0)
        return;
    QString value = Q(state_.UserFormats[size_t(index)].Format);
    if (!services_->InputQuery(this, Q(ExportLoadStr(SNewFormatValue)), Q(ExportLoadStr(SEnterValue)), value))
        return;
    if (S(value) != state_.UserFormats[size_t(index)].Format) {
        state_.UserFormats[size_t(index)].Format = S(value);
        ShowUserFormats(index);
    }
}

void TExporterDialogFormWindow::bDeleteUserFormatClick() {
    const int index = CurrentIndex(lstUserFormats);
    if (index < 0)
        return;
    model_.DeleteUserFormat(index);
    ShowUserFormats(0);
    UpdateUserFormatButtons();
}

void TExporterDialogFormWindow::bClearUserFormatsClick() {
    model_.ClearUserFormats();
    ShowUserFormats(0);
    UpdateUserFormatButtons();
}

void TExporterDialogFormWindow::PlaceColumnEditor(int row, int column) {
    const TCaptionsGridLayout layout = CaptionsGridLayout(state_.ExportType);
    if (row < 0 || row >= int(state_.Captions.size()))
        return;
    if (column != layout.AlignColumn && column != layout.WidthColumn)
        return;
    editorRow_ = row;
    editorColumn_ = column;
    const QRect cell = sgrCaptions->visualRect(sgrCaptions->model()->index(row, column));
    const QString text = sgrCaptions->item(row, column) ? sgrCaptions->item(row, column)->text() : QString();
    if (column == layout.AlignColumn) {
        cbxColumnAlign->setGeometry(cell.left(), cell.top(), cell.width() + 2, cell.height());
        cbxColumnAlign->setCurrentIndex(cbxColumnAlign->findText(text));
        cbxColumnAlign->show();
        cbxColumnAlign->setFocus();
    } else {
        const int upDown = 16;
        edColumnWidth->setGeometry(cell.left(), cell.top(), cell.width() - upDown + 2, cell.height());
        edColumnWidth->setText(text);
        udColumnWidth->setGeometry(edColumnWidth->geometry().right() + 1, cell.top(), upDown, 20);
        {
            QSignalBlocker block(udColumnWidth);
            udColumnWidth->setValue(text.toInt());
        }
        edColumnWidth->show();
        udColumnWidth->show();
        edColumnWidth->setFocus();
    }
}

bool TExporterDialogFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == cbxColumnAlign && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !cbxColumnAlign->isHidden()) {
        WriteColumnEditor(cbxColumnAlign->currentText());
        cbxColumnAlign->hide();
    }
    return QDialog::eventFilter(watched, event);
}

void TExporterDialogFormWindow::WriteColumnEditor(const QString& text) {
    if (editorRow_ < 0 || editorRow_ >= int(state_.Captions.size()))
        return;
    TExportCaptionRow& row = state_.Captions[size_t(editorRow_)];
    if (int(row.size()) <= editorColumn_)
        row.resize(size_t(editorColumn_) + 1);
    row[size_t(editorColumn_)] = S(text);
    QSignalBlocker block(sgrCaptions);
    if (QTableWidgetItem* item = sgrCaptions->item(editorRow_, editorColumn_))
        item->setText(text);
}

// --- options file ---

void TExporterDialogFormWindow::LoadOptionsFile(const std::string& fileName) {
    TExportOptionsFile file(Dialog());
    file.OnTypeChange = [this](TExportFormState& s) { model_.ChangeType(s.ExportType); };
    file.LoadExportOptions(fileName, state_);
    ShowState();
}

void TExporterDialogFormWindow::miSaveOptionsClick() {
    const QString filter = Q(QtFileFilter("Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*"));
    QString fileName = Q(state_.OptionsFileName);
    if (!services_->SaveFileName(this, filter, QStringLiteral("cfg"), fileName))
        return;
    state_.OptionsFileName = S(fileName);
    try {
        TExportOptionsFile(Dialog()).SaveExportOptions(state_.OptionsFileName, state_);
    } catch (const std::exception& e) {
        services_->ShowError(this, Q(e.what()));
    }
}

void TExporterDialogFormWindow::miLoadOptionsClick() {
    const QString filter = Q(QtFileFilter("Configuration files (*.cfg)|*.cfg|All files (*.*)|*.*"));
    QString fileName = Q(state_.OptionsFileName);
    if (!services_->OpenFileName(this, filter, QStringLiteral("cfg"), fileName))
        return;
    state_.OptionsFileName = S(fileName);
    LoadOptionsFile(state_.OptionsFileName);
}

void TExporterDialogFormWindow::done(int result) {
    if (Dialog().AutoSaveOptions && !state_.OptionsFileName.empty()) {
        try {
            TExportOptionsFile(Dialog()).SaveExportOptions(state_.OptionsFileName, state_);
        } catch (const std::exception& e) {
            services_->ShowError(this, Q(e.what()));
        }
    }
    QDialog::done(result);
}

// --- the run's seams ---

int TExporterDialogFormWindow::MessageBox(const std::string& text, const std::string& caption, unsigned) {
    return services_->Question(this, Q(caption), Q(text)) ? IDYES : IDNO;
}

void TExporterDialogFormWindow::ShowNotice(const std::string& text) {
    services_->ShowMessage(this, Q(text));
}

void TExporterDialogFormWindow::FileNameChanged() {
    QSignalBlocker block(edFileName);
    edFileName->setText(Q(state_.FileName));
    UpdateCaption();
}

} // namespace exporter
