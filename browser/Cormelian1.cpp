#include "browser/Cormelian1.h"

#include "browser/Forms.h"
#include "browser/ImageList.h"
#include "browser/Named.h"
#include "browser/RecordListModel.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

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
    : QMainWindow(parent), services_(services), forms_(forms) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Cormelian"));
    resize(900, 600);

    dnsicons = new ImageList(QStringLiteral("dnsicons"), this);
    StateIcons = new ImageList(QStringLiteral("StateIcons"), this);
    status = new ImageList(QStringLiteral("status"), this);

    BuildMenus();
    BuildToolbar();
    BuildPages();
    BuildProgressPanel();

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(ToolBar1);
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
    ToolBar1 = Named<QWidget>("ToolBar1", this);
    ToolButton2 = ToolButton("ToolButton2", QStringLiteral("Close"), ToolBar1);
    SelectTrees = ToolButton("SelectTrees", QStringLiteral("Select trees"), ToolBar1);
    SettingsBut = ToolButton("SettingsBut", QStringLiteral("Settings"), ToolBar1);
    IniBut = ToolButton("IniBut", QStringLiteral("Edit Cormelian.ini"), ToolBar1);
    DNSSearch = ToolButton("DNSSearch", QStringLiteral("Refresh DNS"), ToolBar1);
    DHCPSearch = ToolButton("DHCPSearch", QStringLiteral("Refresh DHCP"), ToolBar1);
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

    // The window may be narrower than all buttons together; the last ones are then cut off.
    ToolBar1->setMinimumWidth(400);
    auto* layout = new QHBoxLayout(ToolBar1);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    for (QToolButton* button : {ToolButton2, SelectTrees, SettingsBut, IniBut})
        layout->addWidget(button);
    layout->addSpacing(8);
    for (QToolButton* button : {DNSSearch, DHCPSearch, MiscSearch, StopBut})
        layout->addWidget(button);
    layout->addSpacing(8);
    for (QToolButton* button : {ToolButton4, PrintBut, MakeHosts, SaveBut, AllBut, NoneBut, DelDHCPRecs})
        layout->addWidget(button);
    layout->addSpacing(8);
    layout->addWidget(AboutBut);
    layout->addWidget(ToolButton8);
    layout->addStretch();
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

    // The object lists report changes of their rows as the original toolkit did: also those made
    // by code, which fills them under a QSignalBlocker where it must stay quiet.
    connect(zonelist, &QTreeWidget::itemChanged, this, &TForm1::zonelistChange);
    connect(netslist, &QTreeWidget::itemChanged, this, &TForm1::netslistChange);
    connect(zonelist, &QTreeWidget::itemSelectionChanged, this, &TForm1::zonelistSelectItem);
    connect(netslist, &QTreeWidget::itemSelectionChanged, this, &TForm1::netslistSelectItem);
    connect(lv1, &QTreeWidget::itemSelectionChanged, this, &TForm1::lv1SelectItem);
    zonelist->viewport()->installEventFilter(this);
    netslist->viewport()->installEventFilter(this);
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
    return QMainWindow::eventFilter(watched, event);
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
    PC->setTabVisible(PageCheck, false);
    PC->setTabVisible(PageLookup, false);
    RunProgram1->setEnabled(false);
    SetActivePage(PageMisc);
    Timer1->start();
}

void TForm1::FormResize() {
    UpdateCaption();
}

void TForm1::FormDestroy() {}

void TForm1::Timer1Timer() {}
void TForm1::UpdateCaption() {}
void TForm1::SettingsButClick() {}
void TForm1::SelectTreesClick() {}
void TForm1::IniButClick() {}
void TForm1::AboutButClick() {}
void TForm1::ToolButton2Click() {
    close();
}
void TForm1::DNSSearchClick() {}
void TForm1::DHCPSearchClick() {}
void TForm1::MiscSearchClick() {}
void TForm1::StopButClick() {}
void TForm1::RefreshDNSrecords1Click() {}
void TForm1::RefreshDHCPrecords1Click() {}
void TForm1::FormKeyPress(int key) {
    if (key == Qt::Key_Escape)
        StopBut->click();
}
void TForm1::LVColumnClick(int) {}
void TForm1::LV3ColumnClick(int) {}
void TForm1::LV2ColumnClick(int) {}
void TForm1::ToolButton4Click() {}
void TForm1::Search1Click() {}
void TForm1::FindNext1Click() {}
void TForm1::PrintButClick() {}
void TForm1::MakeHostsClick() {}
void TForm1::SaveButClick() {}
void TForm1::CSV1Click() {}
void TForm1::CSVSelection1Click() {}
void TForm1::XLS1Click() {}
void TForm1::XLSSelection1Click() {}
void TForm1::PDF1Click() {}
void TForm1::PDFselection1Click() {}
void TForm1::ToolButton8Click() {}
void TForm1::Edit1Click() {}
void TForm1::Del1Click() {}
void TForm1::New1Click() {}
void TForm1::DelDHCPRecsClick() {}
void TForm1::PCChange() {}
void TForm1::zonelistChange(QTreeWidgetItem*) {}
void TForm1::netslistChange(QTreeWidgetItem*) {}
void TForm1::zonelistMouseDown(const QPoint&) {}
void TForm1::netslistMouseDown(const QPoint&) {}
void TForm1::zonelistSelectItem() {}
void TForm1::netslistSelectItem() {}
void TForm1::lv1SelectItem() {}
void TForm1::AllButClick() {}
void TForm1::NoneButClick() {}
void TForm1::Button2Click() {}
void TForm1::PopupMenu0Popup() {}
void TForm1::lv1ContextPopup(const QPoint& position) {
    PopupMenu0->popup(lv1->viewport()->mapToGlobal(position));
}
void TForm1::StartServiceClick() {}
void TForm1::StopServiceClick() {}
void TForm1::AddExistClick() {}
void TForm1::ReCreateClick() {}
void TForm1::MergeClick() {}
void TForm1::showdata1Click() {}
void TForm1::BitBtn1Click() {}

} // namespace browser
