#pragma once

#include "browser/lists/RecordListPrinter.h"
#include "browser/lists/RecordListSearch.h"
#include "browser/lists/RecordListSort.h"
#include "browser/lists/Services.h"
#include "browser/lists/WindowPages.h"
#include "browser/startup/StartupSequence.h"
#include "pdfbox/PdfBox.h"

#include <QMainWindow>
#include <QToolBar> // ToolBar1 is used as a widget by code that includes only this header

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QShortcut;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace exporter {
class TExportListView;
class TExporterDialog;
class TExporterXLS;
} // namespace exporter

namespace browser {

struct Forms;
class BackgroundDnsLookup;
struct DnsLookupResult;
class ImageList;
class ListFileGroup;
class RecordListModel;
class CollectionController;
class WindowCollectionEnvironment;
struct ObjectRow;
class TreeList;
struct ClassIconNumbers;
struct StartupEnvironment;
class ExportDialogServices;

// The main window: the record lists, the object lists with their attribute panes, the hidden
// check and look-up pages, the toolbar, the progress panel and the pop-up menus.
class TForm1 : public QMainWindow, public StartupHost {
    Q_OBJECT
public:
    // The pages of PC, by index.
    using enum WindowPage;

    // forms: the program's windows (filled by the program after this window exists).
    TForm1(Services& services, const Forms& forms, QWidget* parent = nullptr);
    // environment: what the start-up works through (see the start-up block below).
    TForm1(Services& services, const Forms& forms, StartupEnvironment* environment,
           QWidget* parent = nullptr);
    ~TForm1() override;

    Services& services() const { return services_; }
    const Forms& forms() const { return forms_; }

    // Shows a page as code does: PCChange does not run.
    void SetActivePage(int page);
    int ActivePage() const;

    // Pages.
    QTabWidget* PC;
    QWidget* DNSPage;     // "DNS", Tag 1
    QWidget* RevDNSPage;  // "REV-DNS", Tag 2
    QWidget* DHCPPage;    // "DHCP", Tag 3
    QWidget* ZonesPage;   // "Zones"
    QWidget* SubnetsPage; // "Subnets"
    QWidget* MiscPage;    // "Misc"
    QWidget* CheckPage;   // "Check", tab hidden
    QWidget* LookupPage;  // "DNS-Lookup", tab hidden

    // Record lists and their rows.
    QTreeView* LV;  // "DNS"
    QTreeView* LV3; // "REV-DNS"
    QTreeView* LV2; // "DHCP"
    RecordListModel* LVModel;
    RecordListModel* LV3Model;
    RecordListModel* LV2Model;

    // Object lists and attribute panes.
    QTreeWidget* zonelist;
    QTreeWidget* zonelist2;
    QTreeWidget* netslist;
    QTreeWidget* netslist2;
    QTreeWidget* lv1;
    QTreeWidget* lv1a;

    // "Check" page.
    QListWidget* CheckTrees;
    QCheckBox* CheckBox19;
    QCheckBox* CheckBox20;
    QCheckBox* CheckBox21;
    QCheckBox* CheckBox22;
    QPushButton* BitBtn1;
    QTextEdit* RE1;

    // "DNS-Lookup" page.
    QComboBox* cb2;       // name or address to resolve, with history
    QComboBox* cb3;       // DNS server, with history
    QComboBox* qbox;      // query type
    QCheckBox* CheckBox7; // allow recursive queries
    QPushButton* Button2; // run the look-up
    QTextEdit* RE2;

    // Toolbar.
    QToolBar* ToolBar1;       // buttons that do not fit are offered by its extension button
    QToolButton* ToolButton2; // close the program
    QToolButton* SelectTrees;
    QToolButton* SettingsBut;
    QToolButton* IniBut;
    QToolButton* DNSSearch;   // "Refresh DNS"
    QToolButton* DHCPSearch;  // "Refresh DHCP"
    QToolButton* MiscSearch;  // reload the trees
    QToolButton* StopBut;     // "Stop"
    QToolButton* ToolButton4; // "Show Objectname" (check button)
    QToolButton* PrintBut;    // "Print"
    QToolButton* MakeHosts;   // "Create HOSTS-file"
    QToolButton* SaveBut;     // "Save data.", drop-down menu saveoptions
    QToolButton* AllBut;
    QToolButton* NoneBut;
    QToolButton* DelDHCPRecs;
    QToolButton* AboutBut;
    QToolButton* ToolButton8; // applications menu, hidden

    // Progress panel.
    QFrame* Panel1;
    QFrame* Panel2;
    QFrame* Panel3;
    QProgressBar* pbar1a; // zones done
    QProgressBar* pbar;   // objects of the current zone
    QProgressBar* pbar2a; // subnets done
    QProgressBar* pbar2;  // address objects of the current subnet

    // Pop-up menus and their items.
    QMenu* RecordListMenu; // the record lists' menu
    QAction* Search1;
    QAction* FindNext1;
    QAction* Print1;
    QAction* Hostsfile1;
    QAction* Export1; // opens saveoptions
    QAction* N2;
    QAction* Edit1;
    QAction* Del1;
    QAction* New1;
    QMenu* saveoptions; // SaveBut's drop-down, also Export1's submenu
    QAction* CSV1;
    QAction* CSVSelection1;
    QAction* XLS1;
    QAction* XLSSelection1;
    QAction* PDF1;
    QAction* PDFselection1;
    QMenu* ZonesMenu;
    QAction* RefreshDNSrecords1;
    QAction* SelectAll1;
    QAction* UnselectAll1;
    QMenu* SubnetsMenu;
    QAction* RefreshDHCPrecords1;
    QAction* SelectAll2;
    QAction* UnselectAll2;
    QAction* showdata1;
    QMenu* PopupMenu0; // lv1's menu
    QAction* StartService;
    QAction* StopService;
    QAction* N4;
    QAction* AddExist;
    QAction* ReCreate;
    QAction* Merge;
    QMenu* PopupMenu5; // applications
    QAction* AddApplication1;
    QAction* EditApplication1;
    QAction* DelApplication1;
    QAction* RunProgram1; // "Run program", disabled

    // Other components.
    QTimer* Timer1; // 30 ms, one shot: the start-up
    // The PDF canvas component; created with the window, no command uses it.
    std::unique_ptr<pdfbox::TPdfBox> PdfBox1 = std::make_unique<pdfbox::TPdfBox>();
    QShortcut* EscapeKey;
    ImageList* dnsicons;       // record and toolbar images
    ImageList* StateIcons;     // check states of the object lists
    ImageList* status;         // age classes of cached rows
    PrintDialogOptions prtdlg; // printing a record list (the selection allowed)
    FileDialogOptions sdiag;   // HOSTS file
    FileDialogOptions sscv;    // CSV file
    FileDialogOptions Save2;   // rich text of the hidden pages

public slots:
    void Timer1Timer();
    void UpdateCaption() override;
    void SettingsButClick();
    void SelectTreesClick();
    void IniButClick();
    void AboutButClick();
    void ToolButton2Click();
    void DNSSearchClick();
    void DHCPSearchClick();
    void MiscSearchClick();
    void StopButClick();
    void RefreshDNSrecords1Click();
    void RefreshDHCPrecords1Click();
    void FormKeyPress(int key);
    void LVColumnClick(int column);
    void LV3ColumnClick(int column);
    void LV2ColumnClick(int column);
    void ToolButton4Click();
    void Search1Click();
    void FindNext1Click();
    void PrintButClick();
    void MakeHostsClick();
    void SaveButClick();
    void CSV1Click();
    void CSVSelection1Click();
    void XLS1Click();
    void XLSSelection1Click();
    void PDF1Click();
    void PDFselection1Click();
    void ToolButton8Click();
    void Edit1Click();
    void Del1Click();
    void New1Click();
    void DelDHCPRecsClick();
    void PCChange();
    void zonelistChange(QTreeWidgetItem* item);
    void netslistChange(QTreeWidgetItem* item);
    void zonelistMouseDown(const QPoint& position);
    void netslistMouseDown(const QPoint& position);
    void zonelistSelectItem();
    void netslistSelectItem();
    void lv1SelectItem();
    void AllButClick();
    void NoneButClick();
    void Button2Click();
    void PopupMenu0Popup();
    void lv1ContextPopup(const QPoint& position);
    void StartServiceClick();
    void StopServiceClick();
    void AddExistClick();
    void ReCreateClick();
    void MergeClick();
    void showdata1Click();
    void BitBtn1Click();

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Closing during a read on the window's thread stops it as Esc does, so that the program ends
    // as soon as the read has let go, instead of running on unseen to its end.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildPages();
    void BuildToolbar();
    void BuildProgressPanel();
    void BuildMenus();
    void ConnectHandlers();
    void FormCreate();
    void FormResize();
    void FormDestroy();

    Services& services_;
    const Forms& forms_;

    // Attribute panes, DHCP record editor and deletion.
public:
    // The trees and class icons that the panes, the record editor and deletion work with; given
    // once the start-up has them (either may be null before).
    void SetPaneSources(TreeList* trees, const ClassIconNumbers* icons);

private:
    TreeList* paneTrees_ = nullptr;
    const ClassIconNumbers* paneIcons_ = nullptr;

    // Record lists: sort, search, print, HOSTS and CSV files; the batch switches.
public:
    // Takes over the print layout and the date-time format by which the DHCP dates sort.
    void ApplyListSettings(const CormelianSettings& settings);
    // The last start-up step: "/alldhcp", "/alldns" and "/autoclose". With threadsOn a switch
    // waits (on the window's event loop) for the scan its collection started.
    void RunBatchSwitches(const std::vector<std::string>& commandLine, bool threadsOn);
    // The CSV file of the current page's list (all rows or the selection), or the text of the
    // "Check" or "DNS-Lookup" page. With SaveBut's Tag 1 the CSV file gets its default name
    // without a dialog.
    void ExportCSV(bool allRows);
    // While set, the CSV files that SaveBut's Tag 1 saves are added to `files` (the batch run
    // commits them together); null writes them at once.
    void SaveListsInto(ListFileGroup* files) { batchFiles_ = files; }
    // Re-sorts a record list by a column (0: by address, as after a collection).
    void SortRecordListBy(RecordListKind list, int column);
    // Whether the scan thread filling a list still runs; the batch switches wait on it.
    std::function<bool(RecordListKind)> ScanAlive;

private:
    RecordListModel* RecordModelForPage(int page) const;
    QTreeView* RecordViewForPage(int page) const;

    SearchState listSearch_;
    ListFileGroup* batchFiles_ = nullptr;
    ListPrintSettings listPrint_ = ListPrintSettings::From(CormelianSettings());
    ListDateReader listDates_;

    // Start-up, settings, tree choice and the settings file editor.
public:
    // The start-up state (command line, contexts, data directory, trees, settings); null when the
    // window was made without an environment (then it does no directory work at all).
    StartupSequence* startup() const { return startup_.get(); }
    // True when creating the window found no helper library or no directory client: the program
    // ends without running.
    bool StartupRefused() const { return startupRefused_; }
    // True when the start-up could not be done: refused at creation, or the window closed because
    // there was no directory context or no data directory. The program then ends with a failure.
    bool StartupFailed() const { return startupRefused_ || startupClosed_; }

    // What the start-up asks of the windows.
    void ShowMessage(const std::string& text) override;
    bool ShowLogin(ContextHandle loginContext) override;
    void ShowInformation(const std::string& text) override;
    void ShowMessageWithDetail(const std::string& text, const std::string& detail) override;
    void CloseMainWindow() override;
    void ShowRecoveryNotice(const std::string& line) override;
    void InitBrowserIcons() override;
    void SetBrowserContext(ContextHandle context) override;
    void SetBrowserAllLeafs(bool on) override;
    std::string SetBrowserStartContext(const std::string& top) override;
    void ClearBrowserTree() override;
    void LoadMoreTrees(const std::string& iniPath) override;
    void ShowTreeChoice(DNSTreesLogic& choice) override;
    void EnableToolbar(bool enabled) override;
    void HideEditMenuItems() override;
    void ApplySettings(const CormelianSettings& settings) override;
    void LoadTrees(bool fromCache) override;
    void ShowLoadedTrees() override;
    void RunBatchSwitches(const std::vector<std::string>& commandLine) override;
    void StopScans() override;
    std::vector<std::string> LookupQueries() override;
    std::vector<std::string> LookupServers() override;

private:
    // Gives the dialogs what they work with (the program's forms exist once the message loop runs).
    void ConnectDialogs();

    StartupEnvironment* environment_ = nullptr;
    std::unique_ptr<StartupSequence> startup_;
    bool noticesToStatusLine_ = false; // the commit path's repair notices come to the status line
    bool startupRefused_ = false;
    bool startupClosed_ = false;

    // Tree opening, local cache and record collection.
public:
    // The collections, the tree loading and the object lists' check marks (made on first use).
    CollectionController& Collection();
    // Enables the toolbar buttons and menu items of the active page.
    void UpdateButtons();
    // The order of two rows while an object list sorts (negative: a before b).
    static int zonelistCompare(const ObjectRow& a, const ObjectRow& b);
    static int netslistCompare(const ObjectRow& a, const ObjectRow& b);
    static int lv1Compare(const ObjectRow& a, const ObjectRow& b);

private:
    std::unique_ptr<WindowCollectionEnvironment> collectionEnvironment_;
    std::unique_ptr<CollectionController> collection_;

    // DNS look-up page and server-module commands.
public:
    // The port and time limit of the look-up page's queries.
    std::uint16_t LookupPort = 53;
    std::chrono::milliseconds LookupTimeout{5000};
    // True while a look-up's query runs (off the window's thread); the button is disabled meanwhile.
    bool LookupRunning() const;
    // The settings file that keeps the modules' start parameters; empty: "Cormelian.ini" of the
    // data directory.
    std::string ModuleSettingsFile;

private:
    void ShowLookupResult(const DnsLookupResult& result);
    BackgroundDnsLookup* lookup_ = nullptr;
    // The DNS or DHCP server object selected in lv1, with its tree's context.
    struct ServiceRow;
    std::optional<ServiceRow> SelectedServiceRow() const;
    std::string ModuleSettingsPath() const;

    // Workbook export of the record lists.
public:
    // "XLS-all" and "XLS-Selection": the export dialog on the list of the page shown (the DNS list on
    // the object pages; nothing on "Check" and "DNS-Lookup"); an error is shown as a message.
    void ExportXLS();
    // The export dialog and the window's own workbook exporter, bound to the DNS list LV until an
    // export runs on another page's list.
    std::unique_ptr<exporter::TExporterDialog> ExpDiag;
    std::unique_ptr<exporter::TExporterXLS> exls;

private:
    void CreateWorkbookExport();

    // The export sources of LV, LV3 and LV2.
    std::unique_ptr<exporter::TExportListView> LVExportSource_;
    std::unique_ptr<exporter::TExportListView> LV3ExportSource_;
    std::unique_ptr<exporter::TExportListView> LV2ExportSource_;
    std::unique_ptr<ExportDialogServices> exportDialogServices_;
};

} // namespace browser
