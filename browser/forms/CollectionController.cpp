#include "browser/forms/CollectionController.h"

#include "browser/lists/BusyCursor.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "browser/records/DirectoryAttributeSource.h"
#include "directory/NWHelper.h"
#include "platform/rtl/SysUtils.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <utility>

namespace browser {

namespace {

// The reads on the window's thread: every step goes straight to the controls; every 32 objects
// (at 0, 32, 64 ...) the window's events run and the stop flag is read.
class DirectCollectionEvents : public CollectionEvents {
public:
    DirectCollectionEvents(CollectionController& controller, CollectionKind kind)
        : controller_(controller), kind_(kind) {}

    void OuterMax(int count) override { Apply(ScanEvent::Type::OuterMax, count); }
    void StepOuter() override { Apply(ScanEvent::Type::StepOuter, 1); }
    void InnerMax(int count) override { Apply(ScanEvent::Type::InnerMax, count); }
    void StepInner() override { Apply(ScanEvent::Type::StepInner, 1); }
    void Rows(std::vector<RecordRow>&& rows) override {
        ScanEvent event;
        event.type = ScanEvent::Type::Rows;
        event.rows = std::move(rows);
        controller_.ApplyEvent(kind_, event);
    }
    void Warnings(std::vector<std::string>&& texts) override {
        ScanEvent event;
        event.type = ScanEvent::Type::Warnings;
        event.texts = std::move(texts);
        controller_.ApplyEvent(kind_, event);
    }
    bool ShouldStop(int objectIndex) override {
        if (objectIndex < 0 || objectIndex % 32 != 0) {
            return false;
        }
        QCoreApplication::processEvents();
        return directory::ProtectFlag.ReadStopRequested();
    }

private:
    void Apply(ScanEvent::Type type, int value) {
        ScanEvent event;
        event.type = type;
        event.value = value;
        controller_.ApplyEvent(kind_, event);
    }

    CollectionController& controller_;
    CollectionKind kind_;
};

void ClearObjectList(QTreeWidget* list) {
    if (list != nullptr) {
        const QSignalBlocker quiet(list);
        list->clear();
    }
}

void DeleteLastRow(QTreeWidget* list) {
    if (list != nullptr && list->topLevelItemCount() > 0) {
        const QSignalBlocker quiet(list);
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
    }
}

} // namespace

std::string DamagedCacheText(const std::string& tree) {
    return "The local cache of tree " + tree + " is damaged; \"Reload trees\" rebuilds it.";
}

std::string CacheWriteFailedText(const std::string& error) {
    return "The local cache was not saved: " + error;
}

CollectionController::CollectionController(CollectionEnvironment& environment, CollectionWidgets widgets,
                                           QObject* parent)
    : QObject(parent), environment_(environment), widgets_(widgets) {}

CollectionController::~CollectionController() {
    Retire(CollectionKind::Dns);
    Retire(CollectionKind::Dhcp);
}

bool CollectionController::ScanAlive(CollectionKind kind) const {
    const Scan& scan = scans_[Index(kind)];
    // A thread that has ended is still filling the lists while its last rows and its finish step
    // (the sort) wait to be applied on the window's thread.
    return scan.thread != nullptr && (!scan.thread->isFinished() || scan.channel->Pending());
}

int CollectionController::ProgressCount() const {
    return widgets_.panel != nullptr ? Tag(widgets_.panel) : 0;
}

void CollectionController::SetButtonImage(QAbstractButton* button, int image) const {
    if (button == nullptr) {
        return;
    }
    button->setProperty("ImageIndex", image);
    if (widgets_.toolbarImages != nullptr) {
        button->setIcon(widgets_.toolbarImages->icon(image));
    }
}

void CollectionController::CountUp() {
    if (widgets_.panel == nullptr) {
        return;
    }
    SetTag(widgets_.panel, std::max(0, Tag(widgets_.panel)) + 1);
    widgets_.panel->show();
}

void CollectionController::CountDown() {
    if (widgets_.panel == nullptr) {
        return;
    }
    const int count = std::max(0, Tag(widgets_.panel) - 1);
    SetTag(widgets_.panel, count);
    if (count == 0) {
        widgets_.panel->hide();
    }
}

void CollectionController::ClearLists(CollectionKind kind) {
    if (kind == CollectionKind::Dns) {
        widgets_.dns->clear();
        widgets_.reverse->clear();
    } else {
        widgets_.dhcp->clear();
    }
}

void CollectionController::DropRowsOfTreesOtherThan(const std::vector<std::string>& trees) {
    const auto notLoaded = [&trees](const RecordRow& row) {
        return std::none_of(trees.begin(), trees.end(),
                            [&row](const std::string& tree) { return rtl::SameText(tree, row.tree); });
    };
    for (RecordListModel* model : {widgets_.dns, widgets_.reverse, widgets_.dhcp}) {
        if (model != nullptr) {
            model->removeRowsIf(notLoaded);
        }
    }
}

void CollectionController::Resort(CollectionKind kind) {
    if (kind == CollectionKind::Dns) {
        environment_.ResortRecordList(RecordListKind::Dns);
        environment_.ResortRecordList(RecordListKind::RevDns);
    } else {
        environment_.ResortRecordList(RecordListKind::Dhcp);
    }
}

void CollectionController::AppendRows(std::vector<RecordRow>&& rows) {
    // Consecutive rows of one list go in with one insertion.
    std::size_t first = 0;
    while (first < rows.size()) {
        std::size_t end = first + 1;
        while (end < rows.size() && rows[end].list == rows[first].list) {
            ++end;
        }
        RecordListModel* model = rows[first].list == RecordListKind::Dns      ? widgets_.dns
                                 : rows[first].list == RecordListKind::RevDns ? widgets_.reverse
                                                                              : widgets_.dhcp;
        model->appendRows(rows.begin() + static_cast<std::ptrdiff_t>(first),
                          rows.begin() + static_cast<std::ptrdiff_t>(end));
        first = end;
    }
}

void CollectionController::ApplyEvent(CollectionKind kind, ScanEvent& event) {
    QProgressBar* outer = kind == CollectionKind::Dns ? widgets_.zonesDone : widgets_.subnetsDone;
    QProgressBar* inner = kind == CollectionKind::Dns ? widgets_.zoneObjects : widgets_.subnetObjects;
    auto setMax = [](QProgressBar* bar, int count) {
        if (bar != nullptr) {
            bar->setRange(0, std::max(count, 1));
            bar->setValue(0);
        }
    };
    auto step = [](QProgressBar* bar, int steps) {
        if (bar != nullptr) {
            bar->setValue(std::min(bar->maximum(), bar->value() + steps));
        }
    };
    switch (event.type) {
    case ScanEvent::Type::OuterMax:
        setMax(outer, event.value);
        break;
    case ScanEvent::Type::StepOuter:
        step(outer, event.value);
        break;
    case ScanEvent::Type::InnerMax:
        setMax(inner, event.value);
        break;
    case ScanEvent::Type::StepInner:
        step(inner, event.value);
        break;
    case ScanEvent::Type::Rows:
        AppendRows(std::move(event.rows));
        break;
    case ScanEvent::Type::Warnings: {
        std::vector<std::string>& held = warnings_[Index(kind)];
        held.insert(held.end(), std::make_move_iterator(event.texts.begin()),
                    std::make_move_iterator(event.texts.end()));
        break;
    }
    case ScanEvent::Type::Finish:
        Finished(kind, event.outcome);
        Resort(kind);
        CountDown();
        ShowReadWarnings(kind);
        break;
    }
}

ScanList CollectionController::ScanListOf(CollectionKind kind) {
    const ClassIconNumbers& icons = environment_.Icons();
    return kind == CollectionKind::Dns ? BuildScanList(widgets_.zonelist, icons.dnsZone, environment_.Trees())
                                       : BuildScanList(widgets_.netslist, icons.subnet, environment_.Trees());
}

void CollectionController::CollectDNS() {
    if (DirectRunning(CollectionKind::Dns)) {
        return; // the read under way goes on; a stop asked for meanwhile stays asked for
    }
    outcomes_[Index(CollectionKind::Dns)] = {};
    directory::ProtectFlag.WriteStopRequested(false);
    const ScanList list = ScanListOf(CollectionKind::Dns);
    if (list.empty()) {
        // Nothing checked: the lists empty, unless a DNS collection is still filling them.
        if (!ScanAlive(CollectionKind::Dns) && !DirectRunning(CollectionKind::Dns)) {
            ClearLists(CollectionKind::Dns);
            if (ProgressCount() == 0 && widgets_.panel != nullptr) {
                widgets_.panel->hide();
            }
        }
    } else if (environment_.Settings().threads) {
        StartDNSScan(list);
    } else {
        QCoreApplication::processEvents();
        ReadDNSRecords(list);
    }
    SetButtonImage(widgets_.dnsSearch, kDnsSearchStarted);
}

void CollectionController::CollectDHCP() {
    if (DirectRunning(CollectionKind::Dhcp)) {
        return;
    }
    outcomes_[Index(CollectionKind::Dhcp)] = {};
    directory::ProtectFlag.WriteStopRequested(false);
    const ScanList list = ScanListOf(CollectionKind::Dhcp);
    if (!list.empty()) {
        if (environment_.Settings().threads) {
            StartDHCPScan(list);
        } else {
            QCoreApplication::processEvents();
            ReadDHCPRecords(list);
        }
    }
    SetButtonImage(widgets_.dhcpSearch, kDhcpSearchStarted);
}

bool CollectionController::StartScan(CollectionKind kind, const ScanList& list) {
    if (ScanAlive(kind) || DirectRunning(kind)) {
        return false;
    }
    // A thread that has finished on its own hands over what it still had posted, then goes.
    Retire(kind);
    ClearLists(kind);
    CountUp();
    Scan& scan = scans_[Index(kind)];
    scan.channel = new ScanChannel([this, kind](ScanEvent& event) { ApplyEvent(kind, event); }, this);
    const std::string cacheDirectory =
        environment_.Settings().cache ? environment_.DataDirectory() : std::string{};
    if (kind == CollectionKind::Dns) {
        scan.thread = new scanDNS(list, *scan.channel, cacheDirectory);
    } else {
        scan.thread = new scanDHCP(list, *scan.channel, cacheDirectory);
    }
    return true;
}

void CollectionController::Retire(CollectionKind kind) {
    Scan& scan = scans_[Index(kind)];
    if (scan.thread == nullptr) {
        return;
    }
    scan.thread->requestInterruption();
    // The worker never waits for this thread (it only posts), so waiting here cannot deadlock.
    scan.thread->wait();
    scan.channel->Deliver();
    delete scan.thread;
    delete scan.channel;
    scan = Scan{};
}

void CollectionController::ReadDirect(CollectionKind kind, const ScanList& list) {
    // One collection of a kind at a time, on whichever road.
    if (list.empty() || DirectRunning(kind) || ScanAlive(kind)) {
        return;
    }
    direct_[Index(kind)] = true;
    {
        BusyCursor busy;
        ClearLists(kind);
        CountUp();
        if (kind == CollectionKind::Dns) {
            QCoreApplication::processEvents();
        }
        std::optional<CollectionCache> cache;
        if (environment_.Settings().cache) {
            cache.emplace(environment_.DataDirectory(), kind);
        }
        DirectCollectionEvents events(*this, kind);
        Finished(kind, CollectRecords(kind, list, events, cache ? &*cache : nullptr));
        Resort(kind);
        CountDown();
    }
    direct_[Index(kind)] = false;
    ShowReadWarnings(kind);
}

void CollectionController::ShowReadWarnings(CollectionKind kind) {
    std::vector<std::string> warnings = std::exchange(warnings_[Index(kind)], {});
    if (warnings.empty()) {
        return;
    }
    environment_.ShowMessage(WarningsText(warnings));
}

void CollectionController::ReportDamagedCaches(const std::vector<std::string>& trees) {
    for (const std::string& tree : trees) {
        environment_.ShowStatus(DamagedCacheText(tree));
        damageReported_ = true;
    }
}

void CollectionController::Finished(CollectionKind kind, const CollectionOutcome& outcome) {
    outcomes_[Index(kind)] = outcome;
    if (outcome.cacheFailed) {
        environment_.ShowStatus(CacheWriteFailedText(outcome.failure));
    }
}

bool CollectionController::CacheHoldsCheckedRecords(CollectionKind kind) {
    return environment_.Settings().cache &&
           CacheHoldsAnyOf(environment_.DataDirectory(), kind, ScanListOf(kind));
}

void CollectionController::Stop() {
    Retire(CollectionKind::Dns);
    Retire(CollectionKind::Dhcp);
    directory::ProtectFlag.WriteStopRequested(true);
}

void CollectionController::StopCommand() {
    Stop();
    SetButtonImage(widgets_.dnsSearch, kDnsSearchIdle);
    SetButtonImage(widgets_.dhcpSearch, kDhcpSearchIdle);
    while (QApplication::overrideCursor() != nullptr && !DirectRunning(CollectionKind::Dns) &&
           !DirectRunning(CollectionKind::Dhcp)) {
        QApplication::restoreOverrideCursor();
    }
}

void CollectionController::StopScans() {
    Stop();
    for (QTreeWidget* list : {widgets_.zonelist, widgets_.netslist, widgets_.lv1, widgets_.zonelist2,
                              widgets_.netslist2, widgets_.lv1a}) {
        ClearObjectList(list);
    }
}

void CollectionController::LoadRecordsFromCache(CollectionKind kind) {
    if (DirectRunning(kind)) {
        return; // the read under way fills the list
    }
    Retire(kind);
    directory::ProtectFlag.WriteStopRequested(false);
    ClearLists(kind);
    const ScanList list = ScanListOf(kind);
    if (!list.empty()) {
        direct_[Index(kind)] = true;
        CollectionCache cache(environment_.DataDirectory(), kind);
        CachedRowOrigin origin;
        origin.now = rtl::Now();
        origin.thresholds = environment_.Settings().ageThresholds;
        DirectCollectionEvents events(*this, kind);
        const CollectionOutcome outcome = CollectRecords(kind, list, events, &cache, origin);
        direct_[Index(kind)] = false;
        Finished(kind, outcome);
        ReportDamagedCaches(outcome.damagedTrees);
        ShowReadWarnings(kind);
    }
    if (kind == CollectionKind::Dns) {
        SetButtonImage(widgets_.dnsSearch, kDnsSearchStarted);
    } else {
        SetButtonImage(widgets_.dhcpSearch, kDhcpSearchStarted);
    }
    Resort(kind);
}

TreeOpenOptions CollectionController::OpenOptions() {
    const CormelianSettings& settings = environment_.Settings();
    TreeOpenOptions options;
    options.dataDirectory = environment_.DataDirectory();
    options.cache = settings.cache;
    options.nowarn = settings.nowarn;
    options.icons = environment_.Icons();
    options.ageThresholds = settings.ageThresholds;
    return options;
}

void CollectionController::InsertTreeRows(TreeRows&& rows) {
    const int zoneBase = widgets_.zonelist->topLevelItemCount();
    const int subnetBase = widgets_.netslist->topLevelItemCount();
    auto add = [this](QTreeWidget* list, const std::vector<ObjectRow>& objectRows) {
        const QSignalBlocker quiet(list);
        for (const ObjectRow& row : objectRows) {
            AddObjectRow(list, row, widgets_.objectImages);
        }
    };
    add(widgets_.lv1, rows.misc);
    add(widgets_.zonelist, rows.zones);
    add(widgets_.netslist, rows.subnets);
    for (RecordRow& record : rows.records) {
        record.rowReference += record.list == RecordListKind::Dhcp ? subnetBase : zoneBase;
    }
    AppendRows(std::move(rows.records));
}

void CollectionController::OpenTree(const std::string& tree) {
    TreeOpener opener(environment_.Trees(), OpenOptions(), environment_);
    TreeRows rows;
    try {
        opener.OpenTree(tree, rows);
    } catch (...) {
        InsertTreeRows(std::move(rows));
        throw;
    }
    InsertTreeRows(std::move(rows));
}

void CollectionController::RefreshAllTrees() {
    // The trees' caches are rebuilt: a note on a damaged one no longer holds.
    if (damageReported_) {
        environment_.ShowStatus({});
        damageReported_ = false;
    }
    std::vector<std::string> opened;
    // Also when a tree fails to open: the rows of the trees not opened again go.
    struct Pruning {
        CollectionController& controller;
        const std::vector<std::string>& opened;
        ~Pruning() { controller.DropRowsOfTreesOtherThan(opened); }
    } pruneAtEnd{*this, opened};
    for (const std::string& tree : environment_.SelectedTrees()) {
        OpenTree(tree);
        opened.push_back(tree);
    }
    // The separator after the last tree.
    DeleteLastRow(widgets_.lv1);
    DeleteLastRow(widgets_.zonelist);
    DeleteLastRow(widgets_.netslist);
}

void CollectionController::LoadFromCache(SpareRows* spare) {
    std::filesystem::create_directories(environment_.DataDirectory() + "data");
    BusyCursor busy;
    struct Resorting {
        CollectionController& controller;
        ~Resorting() {
            controller.Resort(CollectionKind::Dns);
            controller.Resort(CollectionKind::Dhcp);
        }
    } resortAtEnd{*this};
    TreeOpener opener(environment_.Trees(), OpenOptions(), environment_);
    const rtl::TDateTime now = rtl::Now();
    for (const std::string& tree : environment_.SelectedTrees()) {
        TreeRows rows;
        if (!opener.LoadTreeFromCache(tree, now, rows, spare)) {
            OpenTree(tree);
            continue;
        }
        const bool damaged = rows.skippedCacheLines > 0;
        InsertTreeRows(std::move(rows));
        if (damaged) {
            ReportDamagedCaches({tree});
        }
    }
}

void CollectionController::ReloadTrees(bool fromCache) {
    StopScans();
    if (!fromCache) {
        ClearLists(CollectionKind::Dns);
        ClearLists(CollectionKind::Dhcp);
        RefreshAllTrees();
        return;
    }
    SpareRows spare;
    for (RecordListModel* model : {widgets_.dns, widgets_.reverse, widgets_.dhcp}) {
        spare.Add(model->takeRows());
    }
    LoadFromCache(&spare);
}

bool CollectionController::ToggleZone(int row) {
    if (!ToggleRowState(widgets_.zonelist, row, environment_.Icons().tree, widgets_.objectImages)) {
        return false;
    }
    for (QObject* view : {widgets_.dnsView, widgets_.reverseView}) {
        if (view != nullptr) {
            SetTag(view, -1);
        }
    }
    return true;
}

bool CollectionController::ToggleSubnet(int row) {
    if (!ToggleRowState(widgets_.netslist, row, environment_.Icons().tree, widgets_.objectImages)) {
        return false;
    }
    if (widgets_.dhcpView != nullptr) {
        SetTag(widgets_.dhcpView, -1);
    }
    return true;
}

void CollectionController::SetAllZones(bool checked) {
    SetAllRowStates(widgets_.zonelist, checked, widgets_.objectImages);
}

void CollectionController::SetAllSubnets(bool checked) {
    SetAllRowStates(widgets_.netslist, checked, widgets_.objectImages);
}

} // namespace browser
