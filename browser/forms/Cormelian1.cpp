#include "browser/forms/Cormelian1.h"

#include "browser/collection/TreeObj.h"
#include "browser/dhcp/DhcpRecordCommands.h"
#include "browser/dhcp/DhcpRecordDeletion.h"
#include "browser/forms/AttributePaneView.h"
#include "browser/forms/CollectionController.h"
#include "browser/forms/DNSDHCPEdit.h"
#include "browser/forms/Forms.h"
#include "browser/forms/IniEditor.h"
#include "browser/forms/PageButtons.h"
#include "browser/forms/ReportErrors.h"
#include "browser/forms/SettingsForm.h"
#include "browser/forms/StateImages.h"
#include "browser/forms/ToolbarOverflow.h"
#include "browser/forms/WindowBatchHost.h"
#include "browser/forms/WindowCollection.h"
#include "browser/forms/backup2.h"
#include "browser/lists/ColumnFit.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RecordListExportSource.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/UnattendedServices.h"
#include "browser/lists/WorkbookExport.h"
#include "browser/lists/WorkbookExportForm.h"
#include "browser/records/LocatorTables.h"
#include "browser/startup/CaptionText.h"
#include "browser/startup/LocatorSettings.h"
#include "browser/startup/StartupEnvironment.h"
#include "browser/startup/StartupMessages.h"
#include "browser/startup/StartupSequence.h"
#include "directory/nwextra.h"
#include "export/dialog/ExporterDialog.h"
#include "export/xls/ExporterXLS.h"
#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFontMetricsF>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace browser {

namespace {

QTreeView* RecordListView(const char* name, RecordListModel* model, QWidget* parent) {
    auto* view = Named<QTreeView>(name, parent);
    view->setModel(model);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setItemsExpandable(false);
    view->setAllColumnsShowFocus(true);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    view->header()->setSectionsClickable(true);
    view->header()->setSortIndicatorShown(false);
    view->setIconSize(QSize(32, 16)); // a cached row's age beside its record image
    new ColumnFitter(*view);
    SetTag(view, 0);
    return view;
}

QTreeWidget* ObjectList(const char* name, const QStringList& headers, QWidget* parent) {
    auto* list = Named<QTreeWidget>(name, parent);
    list->setColumnCount(static_cast<int>(headers.size()));
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    new ColumnFitter(*list);
    return list;
}

// An attribute pane: rows of "Attribute" and "value"; it offers no pop-up menu.
QTreeWidget* AttributePane(const char* name, QWidget* parent) {
    QTreeWidget* pane = ObjectList(name, {QStringLiteral("Attribute"), QStringLiteral("value")}, parent);
    pane->setContextMenuPolicy(Qt::NoContextMenu);
    pane->setSelectionMode(QAbstractItemView::NoSelection);
    return pane;
}

QWidget* MakePage(const char* name, QWidget* content, int tag) {
    auto* page = Named<QWidget>(name);
    SetTag(page, tag);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    content->setParent(page);
    layout->addWidget(content);
    return page;
}

QWidget* SplitPage(const char* name, QWidget* list, QWidget* pane) {
    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(list);
    splitter->addWidget(pane);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);
    return MakePage(name, splitter, 0);
}

QToolButton* ToolButton(const char* name, const QString& text, QWidget* parent) {
    auto* button = Named<QToolButton>(name, parent);
    button->setText(text);
    button->setToolTip(text);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

QAction* MenuItem(QMenu* menu, const char* name, const QString& text) {
    QAction* item = menu->addAction(text);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QAction* Separator(QMenu* menu, const char* name) {
    QAction* item = menu->addSeparator();
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QProgressBar* ProgressBar(const char* name, QWidget* parent) {
    auto* bar = Named<QProgressBar>(name, parent);
    bar->setTextVisible(false);
    bar->setRange(0, 100);
    bar->setValue(0);
    return bar;
}

} // namespace

TForm1::TForm1(Services& services, const Forms& forms, QWidget* parent)
    : TForm1(services, forms, nullptr, parent) {}

TForm1::TForm1(Services& services, const Forms& forms, StartupEnvironment* environment, QWidget* parent)
    : QMainWindow(parent), services_(services), forms_(forms), environment_(environment) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Cormelian"));
    resize(900, 600);

    dnsicons = new ImageList(QStringLiteral("dnsicons"), this);
    StateIcons = new ImageList(QStringLiteral("StateIcons"), this);
    status = new ImageList(QStringLiteral("status"), this);
    FillRecordImages(*dnsicons);

    BuildMenus();
    BuildToolbar();
    BuildPages();
    BuildProgressPanel();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(PC, 1);
    layout->addWidget(Panel1);
    setCentralWidget(central);

    Timer1 = Named<QTimer>("Timer1", this);
    Timer1->setInterval(30);
    Timer1->setSingleShot(true);
    EscapeKey = Named<QShortcut>("EscapeKey", QKeySequence(Qt::Key_Escape), this);

    prtdlg.allowSelection = true;
    sdiag.fileName = QStringLiteral("HOSTS");
    sdiag.filter = QStringLiteral("HOSTS (HOSTS);;All-files (*)");
    sdiag.directory = QDir::tempPath();
    sscv.defaultSuffix = QStringLiteral("csv");
    sscv.filter = QStringLiteral("Csv-files (*.csv);;All-files (*)");
    Save2.filter = QStringLiteral("RTF-files (*.RTF *.rtf);;TXT-Files (*.TXT *.txt)");

    ConnectHandlers();
    CreateWorkbookExport();
    FormCreate();
}

TForm1::~TForm1() {
    FormDestroy();
}

void TForm1::BuildPages() {
    PC = Named<QTabWidget>("PC", this);

    LVModel =
        new RecordListModel({QStringLiteral("IP-address"), QStringLiteral("Name"), QStringLiteral("Rec Type"),
                             QStringLiteral("Zone"), QStringLiteral("Info")},
                            this);
    LVModel->setObjectName(QStringLiteral("LVModel"));
    LV3Model = new RecordListModel({QStringLiteral("IP-address"), QStringLiteral("Host name"),
                                    QStringLiteral("Zone"), QStringLiteral("Description")},
                                   this);
    LV3Model->setObjectName(QStringLiteral("LV3Model"));
    LV2Model =
        new RecordListModel({QStringLiteral("IP-address"), QStringLiteral("Name"), QStringLiteral("Type"),
                             QStringLiteral("Mac-address"), QStringLiteral("Last Used"),
                             QStringLiteral("Expire Date"), QStringLiteral("Comment")},
                            this);
    LV2Model->setObjectName(QStringLiteral("LV2Model"));
    for (RecordListModel* model : {LVModel, LV3Model, LV2Model})
        model->setImageLists(dnsicons, status);

    LV = RecordListView("LV", LVModel, this);
    LV3 = RecordListView("LV3", LV3Model, this);
    LV2 = RecordListView("LV2", LV2Model, this);
    DNSPage = MakePage("DNSPage", LV, 1);
    RevDNSPage = MakePage("RevDNSPage", LV3, 2);
    DHCPPage = MakePage("DHCPPage", LV2, 3);

    zonelist = ObjectList("zonelist", {QStringLiteral("Zones"), QStringLiteral("context")}, this);
    zonelist2 = AttributePane("zonelist2", this);
    netslist = ObjectList("netslist", {QStringLiteral("Subnet"), QStringLiteral("context")}, this);
    netslist2 = AttributePane("netslist2", this);
    lv1 = ObjectList("lv1", {QStringLiteral("Object"), QStringLiteral("context")}, this);
    lv1a = AttributePane("lv1a", this);
    ZonesPage = SplitPage("ZonesPage", zonelist, zonelist2);
    SubnetsPage = SplitPage("SubnetsPage", netslist, netslist2);
    MiscPage = SplitPage("MiscPage", lv1, lv1a);

    auto* check = new QWidget;
    CheckTrees = Named<QListWidget>("CheckTrees", check);
    CheckBox19 = Named<QCheckBox>("CheckBox19", QStringLiteral("CheckBox19"), check);
    CheckBox20 = Named<QCheckBox>("CheckBox20", QStringLiteral("CheckBox20"), check);
    CheckBox21 = Named<QCheckBox>("CheckBox21", QStringLiteral("CheckBox21"), check);
    CheckBox22 = Named<QCheckBox>("CheckBox22", QStringLiteral("CheckBox22"), check);
    BitBtn1 = Named<QPushButton>("BitBtn1", QStringLiteral("Check"), check);
    RE1 = Named<QTextEdit>("RE1", check);
    auto* checkLayout = new QGridLayout(check);
    checkLayout->addWidget(CheckTrees, 0, 0, 5, 1);
    checkLayout->addWidget(CheckBox19, 0, 1);
    checkLayout->addWidget(CheckBox20, 1, 1);
    checkLayout->addWidget(CheckBox21, 2, 1);
    checkLayout->addWidget(CheckBox22, 3, 1);
    checkLayout->addWidget(BitBtn1, 4, 1);
    checkLayout->addWidget(RE1, 5, 0, 1, 2);
    checkLayout->setRowStretch(5, 1);
    CheckPage = MakePage("CheckPage", check, 0);

    auto* lookup = new QWidget;
    cb2 = Named<QComboBox>("cb2", lookup);
    cb2->setEditable(true);
    cb2->setMaxCount(10);
    cb3 = Named<QComboBox>("cb3", lookup);
    cb3->setEditable(true);
    cb3->setMaxCount(10);
    qbox = Named<QComboBox>("qbox", lookup);
    CheckBox7 = Named<QCheckBox>("CheckBox7", QStringLiteral("Recursive"), lookup);
    Button2 = Named<QPushButton>("Button2", QStringLiteral("Lookup"), lookup);
    RE2 = Named<QTextEdit>("RE2", lookup);
    RE2->setReadOnly(true);
    auto* lookupLayout = new QGridLayout(lookup);
    lookupLayout->addWidget(new QLabel(QStringLiteral("Resolve"), lookup), 0, 0);
    lookupLayout->addWidget(cb2, 0, 1);
    lookupLayout->addWidget(new QLabel(QStringLiteral("DNS-server"), lookup), 1, 0);
    lookupLayout->addWidget(cb3, 1, 1);
    lookupLayout->addWidget(new QLabel(QStringLiteral("Query type"), lookup), 2, 0);
    lookupLayout->addWidget(qbox, 2, 1);
    lookupLayout->addWidget(CheckBox7, 3, 1);
    lookupLayout->addWidget(Button2, 3, 2);
    lookupLayout->addWidget(RE2, 4, 0, 1, 3);
    lookupLayout->setRowStretch(4, 1);
    lookupLayout->setColumnStretch(1, 1);
    LookupPage = MakePage("LookupPage", lookup, 0);

    PC->addTab(DNSPage, QStringLiteral("DNS"));
    PC->addTab(RevDNSPage, QStringLiteral("REV-DNS"));
    PC->addTab(DHCPPage, QStringLiteral("DHCP"));
    PC->addTab(ZonesPage, QStringLiteral("Zones"));
    PC->addTab(SubnetsPage, QStringLiteral("Subnets"));
    PC->addTab(MiscPage, QStringLiteral("Misc"));
    PC->addTab(CheckPage, QStringLiteral("Check"));
    PC->addTab(LookupPage, QStringLiteral("DNS-Lookup"));
}

void TForm1::BuildToolbar() {
    ToolBar1 = Named<QToolBar>("ToolBar1", this);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    // The bar cannot be hidden: no pop-up menu with its view switch.
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->toggleViewAction()->setVisible(false);
    ToolButton2 = ToolButton("ToolButton2", QStringLiteral("Close"), ToolBar1);
    SelectTrees = ToolButton("SelectTrees", QStringLiteral("Select trees"), ToolBar1);
    SettingsBut = ToolButton("SettingsBut", QStringLiteral("Settings"), ToolBar1);
    IniBut = ToolButton("IniBut", QStringLiteral("Edit Cormelian.ini"), ToolBar1);
    DNSSearch = ToolButton("DNSSearch", QStringLiteral("Refresh DNS"), ToolBar1);
    DHCPSearch = ToolButton("DHCPSearch", QStringLiteral("Refresh DHCP"), ToolBar1);
    // The collect buttons show by their image whether their collection has run.
    for (QToolButton* button : {DNSSearch, DHCPSearch})
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    MiscSearch = ToolButton("MiscSearch", QStringLiteral("Reload trees"), ToolBar1);
    StopBut = ToolButton("StopBut", QStringLiteral("Stop"), ToolBar1);
    ToolButton4 = ToolButton("ToolButton4", QStringLiteral("Show Objectname"), ToolBar1);
    ToolButton4->setCheckable(true);
    PrintBut = ToolButton("PrintBut", QStringLiteral("Print"), ToolBar1);
    MakeHosts = ToolButton("MakeHosts", QStringLiteral("Create HOSTS-file"), ToolBar1);
    SaveBut = ToolButton("SaveBut", QStringLiteral("Save data."), ToolBar1);
    SaveBut->setMenu(saveoptions);
    SaveBut->setPopupMode(QToolButton::MenuButtonPopup);
    SetTag(SaveBut, 0);
    AllBut = ToolButton("AllBut", QStringLiteral("All"), ToolBar1);
    NoneBut = ToolButton("NoneBut", QStringLiteral("None"), ToolBar1);
    DelDHCPRecs = ToolButton("DelDHCPRecs", QStringLiteral("Delete DHCP records"), ToolBar1);
    AboutBut = ToolButton("AboutBut", QStringLiteral("About"), ToolBar1);
    ToolButton8 = ToolButton("ToolButton8", QStringLiteral("Applications"), ToolBar1);

    // The collect buttons carry their images at rest from the start, so that the bar's width counts them.
    DNSSearch->setIcon(dnsicons->icon(kDnsSearchIdle));
    DHCPSearch->setIcon(dnsicons->icon(kDhcpSearchIdle));

    // Every button keeps its whole caption: those that do not fit into a narrow window are offered
    // in the menu of the bar's extension button.
    for (QToolButton* button : {ToolButton2, SelectTrees, SettingsBut, IniBut})
        ToolBar1->addWidget(button);
    ToolBar1->addSeparator();
    for (QToolButton* button : {DNSSearch, DHCPSearch, MiscSearch, StopBut})
        ToolBar1->addWidget(button);
    ToolBar1->addSeparator();
    for (QToolButton* button : {ToolButton4, PrintBut, MakeHosts, SaveBut, AllBut, NoneBut, DelDHCPRecs})
        ToolBar1->addWidget(button);
    ToolBar1->addSeparator();
    ToolBar1->addWidget(AboutBut);
    // The applications button stays hidden; a bar shows or hides its widgets by their actions.
    ToolBar1->addWidget(ToolButton8)->setVisible(false);
    addToolBar(Qt::TopToolBarArea, ToolBar1);
    new ToolbarOverflow(*ToolBar1);

    // Wide enough for the whole bar, but within the screen (leaving room for the window's frame).
    QSize size(std::max(width(), ToolBar1->sizeHint().width() + 8), height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 40));
    resize(size);
}

void TForm1::BuildProgressPanel() {
    Panel1 = Named<QFrame>("Panel1", this);
    Panel1->setFrameShape(QFrame::StyledPanel);
    SetTag(Panel1, 0);
    Panel2 = Named<QFrame>("Panel2", Panel1);
    Panel3 = Named<QFrame>("Panel3", Panel1);
    pbar1a = ProgressBar("pbar1a", Panel2);
    pbar = ProgressBar("pbar", Panel2);
    pbar2a = ProgressBar("pbar2a", Panel3);
    pbar2 = ProgressBar("pbar2", Panel3);
    auto* zones = new QVBoxLayout(Panel2);
    zones->setContentsMargins(2, 2, 2, 2);
    zones->addWidget(pbar1a);
    zones->addWidget(pbar);
    auto* subnets = new QVBoxLayout(Panel3);
    subnets->setContentsMargins(2, 2, 2, 2);
    subnets->addWidget(pbar2a);
    subnets->addWidget(pbar2);
    auto* halves = new QHBoxLayout(Panel1);
    halves->setContentsMargins(0, 0, 0, 0);
    halves->addWidget(Panel2);
    halves->addWidget(Panel3);
}

void TForm1::BuildMenus() {
    saveoptions = Named<QMenu>("saveoptions", this);
    CSV1 = MenuItem(saveoptions, "CSV1", QStringLiteral("CSV-all"));
    CSVSelection1 = MenuItem(saveoptions, "CSVSelection1", QStringLiteral("CSV-selection"));
    XLS1 = MenuItem(saveoptions, "XLS1", QStringLiteral("XLS-all"));
    XLSSelection1 = MenuItem(saveoptions, "XLSSelection1", QStringLiteral("XLS-Selection"));
    PDF1 = MenuItem(saveoptions, "PDF1", QStringLiteral("PDF-all"));
    PDFselection1 = MenuItem(saveoptions, "PDFselection1", QStringLiteral("PDF-selection"));

    RecordListMenu = Named<QMenu>("RecordListMenu", this);
    Search1 = MenuItem(RecordListMenu, "Search1", QStringLiteral("Search"));
    Search1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    FindNext1 = MenuItem(RecordListMenu, "FindNext1", QStringLiteral("Find Next"));
    FindNext1->setShortcut(QKeySequence(Qt::Key_F3));
    RecordListMenu->addSeparator();
    Print1 = MenuItem(RecordListMenu, "Print1", QStringLiteral("Print"));
    Hostsfile1 = MenuItem(RecordListMenu, "Hostsfile1", QStringLiteral("Hosts file"));
    saveoptions->setTitle(QStringLiteral("Export"));
    Export1 = RecordListMenu->addMenu(saveoptions);
    Export1->setObjectName(QStringLiteral("Export1"));
    N2 = Separator(RecordListMenu, "N2");
    Edit1 = MenuItem(RecordListMenu, "Edit1", QStringLiteral("Edit"));
    Del1 = MenuItem(RecordListMenu, "Del1", QStringLiteral("Del"));
    New1 = MenuItem(RecordListMenu, "New1", QStringLiteral("New"));
    // The search keys work wherever the focus is in the window.
    addAction(Search1);
    addAction(FindNext1);

    ZonesMenu = Named<QMenu>("ZonesMenu", this);
    RefreshDNSrecords1 = MenuItem(ZonesMenu, "RefreshDNSrecords1", QStringLiteral("Refresh DNS-records"));
    ZonesMenu->addSeparator();
    SelectAll1 = MenuItem(ZonesMenu, "SelectAll1", QStringLiteral("Select All"));
    UnselectAll1 = MenuItem(ZonesMenu, "UnselectAll1", QStringLiteral("Unselect All"));

    SubnetsMenu = Named<QMenu>("SubnetsMenu", this);
    RefreshDHCPrecords1 =
        MenuItem(SubnetsMenu, "RefreshDHCPrecords1", QStringLiteral("Refresh DHCP records"));
    SubnetsMenu->addSeparator();
    SelectAll2 = MenuItem(SubnetsMenu, "SelectAll2", QStringLiteral("Select All"));
    UnselectAll2 = MenuItem(SubnetsMenu, "UnselectAll2", QStringLiteral("Unselect All"));
    showdata1 = MenuItem(SubnetsMenu, "showdata1", QStringLiteral("Show data"));

    PopupMenu0 = Named<QMenu>("PopupMenu0", this);
    StartService = MenuItem(PopupMenu0, "StartService", QStringLiteral("Start service"));
    StopService = MenuItem(PopupMenu0, "StopService", QStringLiteral("Stop service"));
    N4 = Separator(PopupMenu0, "N4");
    AddExist = MenuItem(PopupMenu0, "AddExist", QStringLiteral("Add Missing Locator "));
    ReCreate = MenuItem(PopupMenu0, "ReCreate", QStringLiteral("ReCreate Locator Object"));
    Merge = MenuItem(PopupMenu0, "Merge", QStringLiteral("Merge Locator Objects"));

    PopupMenu5 = Named<QMenu>("PopupMenu5", this);
    AddApplication1 = MenuItem(PopupMenu5, "AddApplication1", QStringLiteral("Add Application"));
    EditApplication1 = MenuItem(PopupMenu5, "EditApplication1", QStringLiteral("Edit Application"));
    DelApplication1 = MenuItem(PopupMenu5, "DelApplication1", QStringLiteral("Del Application"));
    PopupMenu5->addSeparator();
    RunProgram1 = MenuItem(PopupMenu5, "RunProgram1", QStringLiteral("Run program"));
}

void TForm1::ConnectHandlers() {
    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(EscapeKey, &QShortcut::activated, this, [this] { FormKeyPress(Qt::Key_Escape); });

    connect(ToolButton2, &QToolButton::clicked, this, &TForm1::ToolButton2Click);
    connect(SelectTrees, &QToolButton::clicked, this, &TForm1::SelectTreesClick);
    connect(SettingsBut, &QToolButton::clicked, this, &TForm1::SettingsButClick);
    connect(IniBut, &QToolButton::clicked, this, &TForm1::IniButClick);
    connect(DNSSearch, &QToolButton::clicked, this, &TForm1::DNSSearchClick);
    connect(DHCPSearch, &QToolButton::clicked, this, &TForm1::DHCPSearchClick);
    connect(MiscSearch, &QToolButton::clicked, this, &TForm1::MiscSearchClick);
    connect(StopBut, &QToolButton::clicked, this, &TForm1::StopButClick);
    connect(ToolButton4, &QToolButton::clicked, this, &TForm1::ToolButton4Click);
    connect(PrintBut, &QToolButton::clicked, this, &TForm1::PrintButClick);
    connect(MakeHosts, &QToolButton::clicked, this, &TForm1::MakeHostsClick);
    connect(SaveBut, &QToolButton::clicked, this, &TForm1::SaveButClick);
    connect(AllBut, &QToolButton::clicked, this, &TForm1::AllButClick);
    connect(NoneBut, &QToolButton::clicked, this, &TForm1::NoneButClick);
    connect(DelDHCPRecs, &QToolButton::clicked, this, &TForm1::DelDHCPRecsClick);
    connect(AboutBut, &QToolButton::clicked, this, &TForm1::AboutButClick);
    connect(ToolButton8, &QToolButton::clicked, this, &TForm1::ToolButton8Click);

    connect(Search1, &QAction::triggered, this, &TForm1::Search1Click);
    connect(FindNext1, &QAction::triggered, this, &TForm1::FindNext1Click);
    connect(Print1, &QAction::triggered, this, &TForm1::PrintButClick);
    connect(Hostsfile1, &QAction::triggered, this, &TForm1::MakeHostsClick);
    connect(Edit1, &QAction::triggered, this, &TForm1::Edit1Click);
    connect(Del1, &QAction::triggered, this, &TForm1::Del1Click);
    connect(New1, &QAction::triggered, this, &TForm1::New1Click);
    connect(CSV1, &QAction::triggered, this, &TForm1::CSV1Click);
    connect(CSVSelection1, &QAction::triggered, this, &TForm1::CSVSelection1Click);
    connect(XLS1, &QAction::triggered, this, &TForm1::XLS1Click);
    connect(XLSSelection1, &QAction::triggered, this, &TForm1::XLSSelection1Click);
    connect(PDF1, &QAction::triggered, this, &TForm1::PDF1Click);
    connect(PDFselection1, &QAction::triggered, this, &TForm1::PDFselection1Click);
    connect(RefreshDNSrecords1, &QAction::triggered, this, &TForm1::RefreshDNSrecords1Click);
    connect(RefreshDHCPrecords1, &QAction::triggered, this, &TForm1::RefreshDHCPrecords1Click);
    for (QAction* all : {SelectAll1, SelectAll2})
        connect(all, &QAction::triggered, this, &TForm1::AllButClick);
    for (QAction* none : {UnselectAll1, UnselectAll2})
        connect(none, &QAction::triggered, this, &TForm1::NoneButClick);
    connect(showdata1, &QAction::triggered, this, &TForm1::showdata1Click);
    connect(PopupMenu0, &QMenu::aboutToShow, this, &TForm1::PopupMenu0Popup);
    connect(StartService, &QAction::triggered, this, &TForm1::StartServiceClick);
    connect(StopService, &QAction::triggered, this, &TForm1::StopServiceClick);
    connect(AddExist, &QAction::triggered, this, &TForm1::AddExistClick);
    connect(ReCreate, &QAction::triggered, this, &TForm1::ReCreateClick);
    connect(Merge, &QAction::triggered, this, &TForm1::MergeClick);

    // Code that shows a page goes through SetActivePage, which keeps PCChange for the user's choice.
    connect(PC, &QTabWidget::currentChanged, this, &TForm1::PCChange);

    connect(LV->header(), &QHeaderView::sectionClicked, this, &TForm1::LVColumnClick);
    connect(LV3->header(), &QHeaderView::sectionClicked, this, &TForm1::LV3ColumnClick);
    connect(LV2->header(), &QHeaderView::sectionClicked, this, &TForm1::LV2ColumnClick);
    for (QTreeView* list : {LV, LV3, LV2}) {
        connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint& position) {
            RecordListMenu->popup(list->viewport()->mapToGlobal(position));
        });
    }

    // The object lists report changes of their rows as classic Windows list views do: also those made
    // by code, which fills them under a QSignalBlocker where it must stay quiet.
    connect(zonelist, &QTreeWidget::itemChanged, this, &TForm1::zonelistChange);
    connect(netslist, &QTreeWidget::itemChanged, this, &TForm1::netslistChange);
    connect(zonelist, &QTreeWidget::itemSelectionChanged, this, &TForm1::zonelistSelectItem);
    connect(netslist, &QTreeWidget::itemSelectionChanged, this, &TForm1::netslistSelectItem);
    connect(lv1, &QTreeWidget::itemSelectionChanged, this, &TForm1::lv1SelectItem);
    zonelist->viewport()->installEventFilter(this);
    netslist->viewport()->installEventFilter(this);
    zonelist->installEventFilter(this); // Space on the focused row
    netslist->installEventFilter(this);
    connect(zonelist, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        ZonesMenu->popup(zonelist->viewport()->mapToGlobal(position));
    });
    connect(netslist, &QWidget::customContextMenuRequested, this, [this](const QPoint& position) {
        SubnetsMenu->popup(netslist->viewport()->mapToGlobal(position));
    });
    connect(lv1, &QWidget::customContextMenuRequested, this, &TForm1::lv1ContextPopup);

    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const QPoint position = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (watched == zonelist->viewport())
            zonelistMouseDown(position);
        else if (watched == netslist->viewport())
            netslistMouseDown(position);
    }
    // Space toggles the check mark of the row that has focus, so the keyboard reaches every row.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        if (watched == zonelist && zonelist->currentItem() != nullptr) {
            Collection().ToggleZone(zonelist->indexOfTopLevelItem(zonelist->currentItem()));
            return true;
        }
        if (watched == netslist && netslist->currentItem() != nullptr) {
            Collection().ToggleSubnet(netslist->indexOfTopLevelItem(netslist->currentItem()));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (collection_ &&
        (collection_->DirectRunning(CollectionKind::Dns) || collection_->DirectRunning(CollectionKind::Dhcp)))
        collection_->StopCommand(); // what Esc runs, also while the stop button is disabled
    QMainWindow::closeEvent(event);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm1::SetActivePage(int page) {
    const QSignalBlocker quiet(PC);
    PC->setCurrentIndex(page);
}

int TForm1::ActivePage() const {
    return PC->currentIndex();
}

void TForm1::FormCreate() {
    Panel1->hide();
    ToolButton8->hide();
    // Hidden and disabled: a hidden tab alone is still reached by Ctrl+Tab and the mouse wheel.
    // Disabling a tab disables its page too; the page's controls stay usable for code that runs them.
    for (int page : {PageCheck, PageLookup}) {
        PC->setTabVisible(page, false);
        PC->setTabEnabled(page, false);
        PC->widget(page)->setEnabled(true);
    }
    RunProgram1->setEnabled(false);
    SetActivePage(PageMisc);
    if (environment_ != nullptr) {
        // The repairs commits make on their own are told where the start-up's are: the status line
        // (standard error, the commit path's default, in a run without a user). A commit on another
        // thread tells the window's thread.
        if (!UnattendedRun(environment_->commandLine)) {
            noticesToStatusLine_ = true;
            commit::SetRecoveryNoticeSink([this](const std::string& line) {
                QMetaObject::invokeMethod(
                    this, [this, line] { ShowRecoveryNotice(line); }, Qt::QueuedConnection);
            });
        }
        startup_ =
            std::make_unique<StartupSequence>(environment_->directory, environment_->helper,
                                              environment_->timeSettings, *this, environment_->programFolder);
        SetPaneSources(&startup_->Trees(), &startup_->IconNumbers());
        // No helper library or no client: the message is shown and the program ends unrun.
        if (!startup_->Prepare()) {
            startupRefused_ = true;
            return;
        }
    }
    FillQueryTypeBox(qbox);
    Timer1->start();
}

void TForm1::FormResize() {
    UpdateCaption();
}

void TForm1::FormDestroy() {
    if (noticesToStatusLine_)
        commit::SetRecoveryNoticeSink(nullptr);
    if (startup_)
        startup_->Shutdown();
}

void TForm1::SetPaneSources(TreeList* trees, const ClassIconNumbers* icons) {
    paneTrees_ = trees;
    paneIcons_ = icons;
}

RecordListModel* TForm1::RecordModelForPage(int page) const {
    switch (ListForPage(page)) {
    case RecordListKind::Dns:
        return LVModel;
    case RecordListKind::RevDns:
        return LV3Model;
    case RecordListKind::Dhcp:
        break;
    }
    return LV2Model;
}

QTreeView* TForm1::RecordViewForPage(int page) const {
    switch (ListForPage(page)) {
    case RecordListKind::Dns:
        return LV;
    case RecordListKind::RevDns:
        return LV3;
    case RecordListKind::Dhcp:
        break;
    }
    return LV2;
}

void TForm1::ApplyListSettings(const CormelianSettings& settings) {
    listPrint_ = ListPrintSettings::From(settings);
    listDates_ = ListDateReader(DateFactsOf(settings));
}

void TForm1::SortRecordListBy(RecordListKind list, int column) {
    RecordListModel* model = LV2Model;
    if (list == RecordListKind::Dns)
        model = LVModel;
    else if (list == RecordListKind::RevDns)
        model = LV3Model;
    SortRecordList(*model, list, column, listDates_);
}

void TForm1::ExportCSV(bool allRows) {
    const int page = ActivePage();
    if (page == PageCheck || page == PageLookup) {
        SavePageTextAs(services_, Save2, *(page == PageCheck ? RE1 : RE2)->document(), page);
        return;
    }
    if (page > PageDHCP)
        return;
    const RecordListModel& model = *RecordModelForPage(page);
    const std::vector<const RecordRow*> rows =
        allRows ? AllRows(model) : SelectedRows(*RecordViewForPage(page), model);
    const bool withoutDialog = Tag(SaveBut) == 1;
    ExportCsvRows(services_, sscv, ListForPage(page), rows, withoutDialog,
                  withoutDialog ? batchFiles_ : nullptr);
}

void TForm1::RunBatchSwitches(const std::vector<std::string>& commandLine, bool threadsOn) {
    // ScanAlive is looked up at each wait: the collection may set it up only with the first click.
    auto cannotCollect = [this]() -> std::string {
        if (!startup_ || !startup_->SelectedTrees().empty())
            return {};
        return NoTreeChosenText(startup_->OfferedTrees(), startup_->DataIniPath());
    };
    auto collectionFailure = [this](bool dhcp) -> std::string {
        const CollectionOutcome& outcome =
            Collection().LastOutcome(dhcp ? CollectionKind::Dhcp : CollectionKind::Dns);
        if (outcome.failed)
            return outcome.failure;
        return outcome.stopped ? std::string("it was stopped") : std::string();
    };
    WindowBatchHost host(
        *this, [this](RecordListKind list) { return ScanAlive && ScanAlive(list); }, cannotCollect,
        collectionFailure);
    browser::RunBatchSwitches(commandLine, threadsOn, host);
}

// ---- Start-up, settings, tree choice and the settings file editor

void TForm1::Timer1Timer() {
    Timer1->stop();
    if (!startup_)
        return;
    ConnectDialogs();
    RunReportingErrors(services_, [this] { startup_->Run(environment_->commandLine); });
}

void TForm1::UpdateCaption() {
    const QFontMetricsF metrics(font());
    const auto textWidth = [&metrics](const std::string& text) {
        return metrics.horizontalAdvance(QString::fromStdString(text));
    };
    QString title = QCoreApplication::applicationName();
    if (title.isEmpty())
        title = QString::fromLatin1(msg::kApplicationTitle);
    setWindowTitle(QString::fromStdString(
        CaptionText::Build(title.toStdString(), width(), directory::GetWindowsPlatform(), textWidth)));
}

void TForm1::SettingsButClick() {
    if (!startup_ || forms_.setForm == nullptr)
        return;
    ConnectDialogs();
    TsetForm& dialog = *forms_.setForm;
    RunReportingErrors(services_, [&] {
        const SettingsDialogSwitches switches = startup_->PrepareSettingsDialog(dialog.logic());
        dialog.showAllBox->setChecked(switches.showAll);
        dialog.cacheBox->setChecked(switches.cache);
        dialog.SetSettingsFile(startup_->DataIniPath());
        if (services_.showModal(dialog) != mrOk)
            return;
        startup_->ApplySettingsDialog(dialog.logic().TreeName(), dialog.topEdit->text().toStdString(),
                                      dialog.masterBox->isChecked());
    });
}

void TForm1::SelectTreesClick() {
    if (!startup_)
        return;
    ConnectDialogs();
    RunReportingErrors(services_, [this] { startup_->SelectTrees(); });
}

void TForm1::IniButClick() {
    if (!startup_ || startup_->DataDirectory().empty() || forms_.Form2 == nullptr)
        return;
    TForm2& editor = *forms_.Form2;
    editor.setWindowTitle(QString::fromLatin1(msg::kIniEditorCaption));
    editor.Open(startup_->DataIniPath());
    services_.showModal(editor);
}

void TForm1::ToolButton2Click() {
    close();
}
void TForm1::DNSSearchClick() {
    Collection().CollectDNS();
}
void TForm1::DHCPSearchClick() {
    Collection().CollectDHCP();
}
void TForm1::MiscSearchClick() {
    Collection().StopScans();
    RunReportingErrors(services_, [this] { Collection().RefreshAllTrees(); });
}
void TForm1::StopButClick() {
    Collection().StopCommand();
}
void TForm1::RefreshDNSrecords1Click() {
    SetActivePage(PageDNS);
    UpdateButtons();
    DNSSearch->click();
}
void TForm1::RefreshDHCPrecords1Click() {
    SetActivePage(PageDHCP);
    UpdateButtons();
    DHCPSearch->click();
}
void TForm1::FormKeyPress(int key) {
    if (key == Qt::Key_Escape)
        StopBut->click();
}
void TForm1::LVColumnClick(int column) {
    SortRecordListBy(RecordListKind::Dns, column);
}
void TForm1::LV3ColumnClick(int column) {
    SortRecordListBy(RecordListKind::RevDns, column);
}
void TForm1::LV2ColumnClick(int column) {
    SortRecordListBy(RecordListKind::Dhcp, column);
}
void TForm1::ToolButton4Click() {
    const bool on = ToolButton4->isChecked();
    for (RecordListModel* model : {LV2Model, LVModel, LV3Model})
        model->setObjectNameTips(on);
}
void TForm1::Search1Click() {
    const int page = ActivePage();
    if (forms_.Search == nullptr || page > PageDHCP)
        return;
    if (AskSearchTerm(services_, *forms_.Search, listSearch_, page))
        FindInList(services_, *RecordViewForPage(page), *RecordModelForPage(page), listSearch_);
}
void TForm1::FindNext1Click() {
    const int page = ActivePage();
    if (page > PageDHCP || listSearch_.SearchTerm.empty())
        return;
    FindInList(services_, *RecordViewForPage(page), *RecordModelForPage(page), listSearch_);
}
void TForm1::PrintButClick() {
    const int page = ActivePage();
    QPrinter printer(QPrinter::HighResolution);
    PrintRecordList(services_, printer, prtdlg, *RecordViewForPage(page), *RecordModelForPage(page),
                    ListForPage(page), listPrint_);
}
void TForm1::MakeHostsClick() {
    if (forms_.Hosts != nullptr)
        MakeHostsFile(services_, sdiag, *forms_.Hosts, *LVModel);
}
void TForm1::SaveButClick() {
    ExportCSV(true);
}
void TForm1::CSV1Click() {
    ExportCSV(true);
}
void TForm1::CSVSelection1Click() {
    ExportCSV(false);
}
void TForm1::XLS1Click() {
    ExportXLS();
}
void TForm1::XLSSelection1Click() {
    ExportXLS();
}
void TForm1::PDF1Click() {
    AnswerPdfExport(services_);
}
void TForm1::PDFselection1Click() {
    AnswerPdfExport(services_);
}

// ---- Workbook export of the record lists

void TForm1::CreateWorkbookExport() {
    LVExportSource_ = std::make_unique<RecordListExportSource>(LVModel, LV);
    LV3ExportSource_ = std::make_unique<RecordListExportSource>(LV3Model, LV3);
    LV2ExportSource_ = std::make_unique<RecordListExportSource>(LV2Model, LV2);
    ExpDiag = std::make_unique<exporter::TExporterDialog>();
    SetUpExportDialog(*ExpDiag, *LVExportSource_);
    exportDialogServices_ = std::make_unique<ExportDialogServices>(services_);
    InstallExportDialogForm(*ExpDiag, *exportDialogServices_);
    exls = std::make_unique<exporter::TExporterXLS>();
    SetUpWorkbookExporter(*exls, *LVExportSource_);
}

void TForm1::ExportXLS() {
    const int page = ActivePage();
    if (!WorkbookExportRunsOnPage(page))
        return;
    exporter::TExportListView* source = LVExportSource_.get();
    if (WorkbookListForPage(page) == RecordListKind::RevDns)
        source = LV3ExportSource_.get();
    else if (WorkbookListForPage(page) == RecordListKind::Dhcp)
        source = LV2ExportSource_.get();
    BindWorkbookExport(*ExpDiag, *exls, *source);
    RunReportingErrors(services_, [this, page] { RunWorkbookExport(*ExpDiag, page); });
}
void TForm1::ToolButton8Click() {}
void TForm1::Edit1Click() {
    const int page = ActivePage();
    if (page == PageDNS || page == PageRevDNS) {
        services_.showMessage(RecordCommandMessage(
            RecordCommand::Edit, page == PageDNS ? RecordCommandList::Dns : RecordCommandList::RevDns));
        return;
    }
    if (page != PageDHCP)
        return;
    const std::vector<int> rows = SelectedRowIndexes(LV2);
    if (rows.empty())
        return;
    if (rows.size() > 1)
        services_.showMessage(QString::fromLatin1(kOneRecordMessage));
    static const TreeList noTrees;
    if (forms_.DDEdit == nullptr)
        return;
    forms_.DDEdit->ChooseObject = [this](directory::NWDSContextHandle context,
                                         const std::string& preset) -> std::optional<std::string> {
        if (forms_.cForm == nullptr)
            return std::nullopt;
        TcForm& chooser = *forms_.cForm;
        chooser.SetContext(context);
        chooser.ClearClassFilter();
        chooser.SetLeafMode(true);
        chooser.SetStartObject(QString::fromStdString(preset));
        if (services_.showModal(chooser) != mrOk)
            return std::nullopt;
        return chooser.ChosenObject().toStdString();
    };
    EditDhcpRecord(*forms_.DDEdit, *LV2Model, rows.front(), paneTrees_ != nullptr ? *paneTrees_ : noTrees);
}
void TForm1::Del1Click() {
    const int page = ActivePage();
    if (page == PageDNS || page == PageRevDNS) {
        services_.showMessage(RecordCommandMessage(
            RecordCommand::Delete, page == PageDNS ? RecordCommandList::Dns : RecordCommandList::RevDns));
        return;
    }
    // On the DHCP list this command deletes nothing (the toolbar's DelDHCPRecs does).
    if (page == PageDHCP && SelectedRowIndexes(LV2).size() > 1)
        services_.showMessage(QString::fromLatin1(kOneRecordMessage));
}
void TForm1::New1Click() {
    const int page = ActivePage();
    if (page == PageDNS || page == PageRevDNS)
        services_.showMessage(RecordCommandMessage(
            RecordCommand::New, page == PageDNS ? RecordCommandList::Dns : RecordCommandList::RevDns));
}
void TForm1::DelDHCPRecsClick() {
    if (ActivePage() != PageDHCP)
        return;
    static const TreeList noTrees;
    RunDhcpDeletion(services_, *LV2Model, SelectedRowIndexes(LV2),
                    paneTrees_ != nullptr ? *paneTrees_ : noTrees,
                    startup_ ? startup_->DataDirectory() : std::string());
}
void TForm1::PCChange() {
    UpdateButtons();
    QWidget* page = PC->currentWidget();
    if (page == nullptr)
        return;
    if (page == CheckPage) {
        CheckTrees->clear();
        const std::vector<std::string> trees =
            startup_ ? startup_->SelectedTrees() : std::vector<std::string>{};
        for (const std::string& tree : trees) {
            auto* item = new QListWidgetItem(QString::fromStdString(tree), CheckTrees);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
        }
    }
    const bool cache = startup_ ? startup_->Settings().cache : false;
    const int tag = Tag(page);
    RunReportingErrors(services_, [&] {
        if (tag == 1 || tag == 2) {
            if (cache && (Tag(LV) != 0 || Tag(LV3) != 0)) {
                if (Collection().CacheHoldsCheckedRecords(CollectionKind::Dns))
                    services_.showMessage(QString::fromLatin1(kReadFromCacheMessage));
                Collection().LoadDNSFromCache();
            }
            SetTag(LV, 0);
            SetTag(LV3, 0);
        } else if (tag == 3) {
            if (cache && Tag(LV2) != 0)
                Collection().LoadDHCPFromCache();
            SetTag(LV2, 0);
        }
    });
}
void TForm1::zonelistChange(QTreeWidgetItem*) {
    Collection().SetButtonImage(DNSSearch, kDnsSearchIdle);
}
void TForm1::netslistChange(QTreeWidgetItem*) {
    Collection().SetButtonImage(DHCPSearch, kDhcpSearchIdle);
}
void TForm1::zonelistMouseDown(const QPoint& position) {
    QTreeWidgetItem* item = zonelist->itemAt(position);
    if (OnStateImage(zonelist, item, position))
        Collection().ToggleZone(zonelist->indexOfTopLevelItem(item));
}
void TForm1::netslistMouseDown(const QPoint& position) {
    QTreeWidgetItem* item = netslist->itemAt(position);
    if (OnStateImage(netslist, item, position))
        Collection().ToggleSubnet(netslist->indexOfTopLevelItem(item));
}
void TForm1::zonelistSelectItem() {
    ShowZonePane(zonelist, zonelist2, {paneTrees_, paneIcons_}, services_);
}
void TForm1::netslistSelectItem() {
    ShowSubnetPane(netslist, netslist2, {paneTrees_, paneIcons_}, services_);
}
void TForm1::lv1SelectItem() {
    ShowMiscPane(lv1, lv1a, {paneTrees_, paneIcons_}, services_);
}
void TForm1::AllButClick() {
    const int page = ActivePage();
    if (page == PageZones)
        Collection().SetAllZones(true);
    else if (page == PageSubnets)
        Collection().SetAllSubnets(true);
    else if (page == PageCheck)
        for (QCheckBox* box : {CheckBox19, CheckBox20, CheckBox21, CheckBox22})
            box->setChecked(true);
}
void TForm1::NoneButClick() {
    const int page = ActivePage();
    if (page == PageZones)
        Collection().SetAllZones(false);
    else if (page == PageSubnets)
        Collection().SetAllSubnets(false);
    else if (page == PageCheck)
        for (QCheckBox* box : {CheckBox19, CheckBox20, CheckBox21, CheckBox22})
            box->setChecked(false);
}
void TForm1::PopupMenu0Popup() {
    const std::optional<SelectedObject> object = SelectedObjectOf(lv1);
    const bool server = object && paneIcons_ != nullptr && object->image >= 0 &&
                        (object->image == paneIcons_->dnsServer || object->image == paneIcons_->dhcpServer);
    StartService->setEnabled(server);
    StopService->setEnabled(server);
}
void TForm1::lv1ContextPopup(const QPoint& position) {
    PopupMenu0->popup(lv1->viewport()->mapToGlobal(position));
}
void TForm1::AddExistClick() {
    // Only on a tree row of lv1.
    const std::optional<SelectedObject> row = SelectedObjectOf(lv1);
    const QTreeWidgetItem* item = lv1->currentItem();
    if (!row || item == nullptr || !item->isSelected() ||
        item->data(0, kObjectStateRole).toInt() != kStateTree)
        return;
    if (paneTrees_ == nullptr || row->treeIndex < 0 || row->treeIndex >= paneTrees_->Count() ||
        forms_.cForm == nullptr || ModuleSettingsPath().empty())
        return;
    const std::string treeName = paneTrees_->Name(row->treeIndex);
    treeobj& tree = paneTrees_->Object(row->treeIndex);
    TcForm& chooser = *forms_.cForm;
    chooser.ClearClassFilter();
    chooser.AddClassFilter(QString::fromLatin1(kLocatorClass));
    chooser.SetLeafMode(true);
    chooser.SetContext(tree.context);
    if (services_.showModal(chooser) != mrOk)
        return;
    const std::string chosen = chooser.ChosenObject().toStdString();
    if (chosen.empty())
        return;
    const bool written = RunReportingErrors(services_, [&] {
        ini::IniFile settings(ModuleSettingsPath());
        tree.locator = AddLocatorToSettings(settings, treeName, chosen);
    });
    if (written)
        MiscSearchClick();
}
void TForm1::ReCreateClick() {
    // Offered in the menu, but does nothing.
}
void TForm1::MergeClick() {
    // Offered in the menu, but does nothing.
}
void TForm1::showdata1Click() {
    const std::optional<SelectedObject> row = SelectedObjectOf(netslist);
    if (row)
        services_.showMessage(QString::number(row->treeIndex));
}
void TForm1::BitBtn1Click() {
    // The check page's options are read; no check runs on them.
    [[maybe_unused]] const bool options[] = {CheckBox19->isChecked(), CheckBox20->isChecked(),
                                             CheckBox21->isChecked(), CheckBox22->isChecked()};
}

// ---- Tree opening, local cache and record collection

CollectionController& TForm1::Collection() {
    if (!collection_) {
        FillStateImages(*StateIcons);
        FillAgeImages(*status);
        collectionEnvironment_ = std::make_unique<WindowCollectionEnvironment>(
            services_, forms_, [this] { return startup_.get(); },
            [this](RecordListKind list) { SortRecordListBy(list, 0); });
        CollectionWidgets widgets;
        widgets.dns = LVModel;
        widgets.reverse = LV3Model;
        widgets.dhcp = LV2Model;
        widgets.dnsView = LV;
        widgets.reverseView = LV3;
        widgets.dhcpView = LV2;
        widgets.panel = Panel1;
        widgets.zonesDone = pbar1a;
        widgets.zoneObjects = pbar;
        widgets.subnetsDone = pbar2a;
        widgets.subnetObjects = pbar2;
        widgets.zonelist = zonelist;
        widgets.netslist = netslist;
        widgets.lv1 = lv1;
        widgets.zonelist2 = zonelist2;
        widgets.netslist2 = netslist2;
        widgets.lv1a = lv1a;
        widgets.dnsSearch = DNSSearch;
        widgets.dhcpSearch = DHCPSearch;
        widgets.toolbarImages = dnsicons;
        widgets.objectImages.states = StateIcons;
        widgets.objectImages.classes = forms_.cForm != nullptr ? forms_.cForm->IL2 : nullptr;
        // The rows show their state image and class icon side by side.
        for (QTreeWidget* list : {zonelist, netslist, lv1})
            list->setIconSize(QSize(32, 16));
        collection_ = std::make_unique<CollectionController>(*collectionEnvironment_, widgets);
        ScanAlive = [this](RecordListKind list) {
            return collection_->ScanAlive(list == RecordListKind::Dhcp ? CollectionKind::Dhcp
                                                                       : CollectionKind::Dns);
        };
    }
    return *collection_;
}

void TForm1::UpdateButtons() {
    const PageButtonStates states = ButtonStatesForPage(ActivePage());
    MakeHosts->setEnabled(states.hosts);
    Hostsfile1->setEnabled(states.hosts);
    PrintBut->setEnabled(states.print);
    Print1->setEnabled(states.print);
    SaveBut->setEnabled(states.save);
    Export1->setEnabled(states.save);
    AllBut->setEnabled(states.selectAll);
    NoneBut->setEnabled(states.selectAll);
    DelDHCPRecs->setEnabled(states.deleteDhcp);
    for (QToolButton* button : {DNSSearch, DHCPSearch, MiscSearch, StopBut})
        button->setEnabled(states.collect);
    for (QAction* item : {Edit1, New1, Del1})
        item->setEnabled(false);
}

int TForm1::zonelistCompare(const ObjectRow& a, const ObjectRow& b) {
    return CompareObjectRows(ObjectListKind::Zones, a, b);
}

int TForm1::netslistCompare(const ObjectRow& a, const ObjectRow& b) {
    return CompareObjectRows(ObjectListKind::Subnets, a, b);
}

int TForm1::lv1Compare(const ObjectRow& a, const ObjectRow& b) {
    return CompareObjectRows(ObjectListKind::Misc, a, b);
}

} // namespace browser
