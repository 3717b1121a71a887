#pragma once

// The window's side of tree opening and record collection: fills the object lists from the
// directory or the local cache, runs the collections (in scan threads or on the window's thread),
// stops them, and reloads record lists from the cache. It works on the window's controls handed to
// it, so that it can run without the window.

#include "browser/collection/CormelianSettings.h"
#include "browser/collection/RecordCollector.h"
#include "browser/collection/ScanThreads.h"
#include "browser/collection/TreeOpener.h"
#include "browser/forms/ObjectListView.h"
#include "browser/startup/StartupSequence.h"

#include <QObject>

#include <array>
#include <string>
#include <vector>

class QAbstractButton;
class QProgressBar;
class QTreeWidget;
class QWidget;

namespace browser {

class ImageList;
class RecordListModel;

// What the collections need from the program besides the controls: the start-up's state, the
// dialogs of the tree opening, and the record lists' own sort.
class CollectionEnvironment : public LocatorUi {
public:
    virtual TreeList& Trees() = 0;
    virtual std::vector<std::string> SelectedTrees() = 0;
    // Ends with a separator.
    virtual std::string DataDirectory() = 0;
    virtual const CormelianSettings& Settings() = 0;
    virtual const ClassIconNumbers& Icons() = 0;
    // Sorts a record list again in text order, by the list's comparison.
    virtual void ResortRecordList(RecordListKind list) = 0;
    // A note on the window's status line.
    virtual void ShowStatus(const std::string& text) = 0;
};

// The controls the collections fill.
struct CollectionWidgets {
    RecordListModel* dns = nullptr;     // LV
    RecordListModel* reverse = nullptr; // LV3
    RecordListModel* dhcp = nullptr;    // LV2
    QObject* dnsView = nullptr;         // LV, LV3, LV2: their Tag marks a reload from the cache
    QObject* reverseView = nullptr;
    QObject* dhcpView = nullptr;
    QWidget* panel = nullptr;              // Panel1; its Tag counts the collections under way
    QProgressBar* zonesDone = nullptr;     // pbar1a
    QProgressBar* zoneObjects = nullptr;   // pbar
    QProgressBar* subnetsDone = nullptr;   // pbar2a
    QProgressBar* subnetObjects = nullptr; // pbar2
    QTreeWidget* zonelist = nullptr;
    QTreeWidget* netslist = nullptr;
    QTreeWidget* lv1 = nullptr;
    QTreeWidget* zonelist2 = nullptr;
    QTreeWidget* netslist2 = nullptr;
    QTreeWidget* lv1a = nullptr;
    QAbstractButton* dnsSearch = nullptr;
    QAbstractButton* dhcpSearch = nullptr;
    const ImageList* toolbarImages = nullptr; // dnsicons
    ObjectListImages objectImages;
};

// Images of the collect buttons.
inline constexpr int kDnsSearchStarted = 16;
inline constexpr int kDnsSearchIdle = 17;
inline constexpr int kDhcpSearchStarted = 18;
inline constexpr int kDhcpSearchIdle = 19;

inline constexpr const char* kReadFromCacheMessage = "Read from local cache";

// The status line's note on a tree whose cache files held lines that were skipped.
std::string DamagedCacheText(const std::string& tree);
// The status line's note on a cache file that could not be written (the error names the file).
std::string CacheWriteFailedText(const std::string& error);

class CollectionController : public QObject {
    Q_OBJECT
public:
    CollectionController(CollectionEnvironment& environment, CollectionWidgets widgets,
                         QObject* parent = nullptr);
    // Stops the scans still running.
    ~CollectionController() override;

    // The collect buttons: collect the records of the checked zones or subnets.
    void CollectDNS();
    void CollectDHCP();
    // Threads on: starts the scan thread of the kind, unless one is alive (false then).
    bool StartDNSScan(const ScanList& list) { return StartScan(CollectionKind::Dns, list); }
    bool StartDHCPScan(const ScanList& list) { return StartScan(CollectionKind::Dhcp, list); }
    // Threads off: the read on the window's thread (refused while one of the kind runs).
    void ReadDNSRecords(const ScanList& list) { ReadDirect(CollectionKind::Dns, list); }
    void ReadDHCPRecords(const ScanList& list) { ReadDirect(CollectionKind::Dhcp, list); }

    // Stops every collection: each scan thread is asked to finish, waited for, has its posted rows
    // delivered and is freed; the stop flag is set for the reads on the window's thread.
    void Stop();
    // The stop command: Stop, then the collect buttons at rest and the normal cursor.
    void StopCommand();
    // Stop, then clears the object lists and their attribute panes.
    void StopScans();

    // The record lists of the checked zones (subnets) again: from the cache where a section exists,
    // else from the directory. A running scan of the kind is stopped first.
    void LoadDNSFromCache() { LoadRecordsFromCache(CollectionKind::Dns); }
    void LoadDHCPFromCache() { LoadRecordsFromCache(CollectionKind::Dhcp); }
    // Whether the cache is on and holds the records of at least one checked zone (subnet), so
    // that a reload has something to read from it.
    bool CacheHoldsCheckedRecords(CollectionKind kind);

    // Tree opening; directory failures raise (rows added before stay).
    void OpenTree(const std::string& tree);
    // Opens every selected tree; rows of the record lists whose tree was not opened again (no
    // longer selected, or failed to open) leave the lists.
    void RefreshAllTrees();
    // The selected trees from their caches (a tree without one from the directory); the record rows
    // read go into the storage of spare rows when given.
    void LoadFromCache(SpareRows* spare = nullptr);
    // Loading the trees anew (start-up, tree choice, settings): stops the scans, clears the object
    // and record lists, then loads from the cache (in the storage of the rows cleared) or from the
    // directory.
    void ReloadTrees(bool fromCache);

    // Clicks on the state image of a zone or subnet row; true when the row changed (a reload from
    // the cache is then pending for the record pages).
    bool ToggleZone(int row);
    bool ToggleSubnet(int row);
    void SetAllZones(bool checked);
    void SetAllSubnets(bool checked);

    // True while a scan thread runs, and after it has ended until all it posted has been applied.
    bool ScanAlive(CollectionKind kind) const;
    bool DirectRunning(CollectionKind kind) const { return direct_[Index(kind)]; }
    int ProgressCount() const;
    // How the last collection of the kind ended (stopped, failed and why); a collection under way or
    // one that had nothing to read counts as neither.
    const CollectionOutcome& LastOutcome(CollectionKind kind) const { return outcomes_[Index(kind)]; }
    void SetButtonImage(QAbstractButton* button, int image) const;

private:
    struct Scan {
        ScanThread* thread = nullptr;
        ScanChannel* channel = nullptr;
    };
    static std::size_t Index(CollectionKind kind) { return kind == CollectionKind::Dns ? 0 : 1; }

    bool StartScan(CollectionKind kind, const ScanList& list);
    void ReadDirect(CollectionKind kind, const ScanList& list);
    void LoadRecordsFromCache(CollectionKind kind);
    // Waits for the kind's thread, delivers what it posted and frees it.
    void Retire(CollectionKind kind);
    // Shows, in one message, the warnings the collection of the kind gathered, and forgets them.
    void ShowReadWarnings(CollectionKind kind);
    void ReportDamagedCaches(const std::vector<std::string>& trees);
    // Keeps how a collection ended; a cache file that could not be written goes to the status line.
    void Finished(CollectionKind kind, const CollectionOutcome& outcome);

    ScanList ScanListOf(CollectionKind kind);
    void ClearLists(CollectionKind kind);
    void DropRowsOfTreesOtherThan(const std::vector<std::string>& trees);
    void Resort(CollectionKind kind);
    void CountUp();
    void CountDown();
    void AppendRows(std::vector<RecordRow>&& rows);
    void InsertTreeRows(TreeRows&& rows);
    TreeOpenOptions OpenOptions();

public:
    // Applies one step of a collection on the window's thread (the scan channels and the reads on
    // the window's thread both come here).
    void ApplyEvent(CollectionKind kind, ScanEvent& event);

private:
    CollectionEnvironment& environment_;
    CollectionWidgets widgets_;
    std::array<Scan, 2> scans_{};
    std::array<bool, 2> direct_{false, false};
    std::array<std::vector<std::string>, 2> warnings_;
    std::array<CollectionOutcome, 2> outcomes_;
    bool damageReported_ = false; // the status line tells of a damaged cache
};

} // namespace browser
