#include "browser/collection/ScanThreads.h"

#include <QMetaObject>

#include <optional>

namespace browser {

ScanChannel::ScanChannel(Apply apply, QObject* parent) : QObject(parent), apply_(std::move(apply)) {}

void ScanChannel::Post(std::vector<ScanEvent>&& events) {
    if (events.empty()) {
        return;
    }
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        for (ScanEvent& event : events) {
            queue_.push_back(std::move(event));
        }
        notify = !notified_;
        notified_ = true;
    }
    if (notify) {
        QMetaObject::invokeMethod(this, &ScanChannel::Drain, Qt::QueuedConnection);
    }
}

bool ScanChannel::TakeOne(ScanEvent& event) {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) {
        notified_ = false;
        return false;
    }
    event = std::move(queue_.front());
    queue_.pop_front();
    return true;
}

void ScanChannel::Drain() {
    const auto start = std::chrono::steady_clock::now();
    ScanEvent event;
    while (TakeOne(event)) {
        apply_(event);
        if (std::chrono::steady_clock::now() - start >= kSlice) {
            // The rest follows after the window has had its turn; notified_ stays set.
            QMetaObject::invokeMethod(this, &ScanChannel::Drain, Qt::QueuedConnection);
            return;
        }
    }
}

void ScanChannel::Deliver() {
    ScanEvent event;
    while (TakeOne(event)) {
        apply_(event);
    }
}

bool ScanChannel::Pending() {
    std::lock_guard lock(mutex_);
    return !queue_.empty();
}

void ThreadedCollectionEvents::Add(ScanEvent::Type type, int value) {
    ScanEvent event;
    event.type = type;
    event.value = value;
    pending_.push_back(std::move(event));
    FlushWhenDue();
}

void ThreadedCollectionEvents::StepInner() {
    if (!pending_.empty() && pending_.back().type == ScanEvent::Type::StepInner) {
        ++pending_.back().value;
        FlushWhenDue();
        return;
    }
    Add(ScanEvent::Type::StepInner, 1);
}

void ThreadedCollectionEvents::Rows(std::vector<RecordRow>&& rows) {
    if (rows.empty()) {
        return;
    }
    pendingRows_ += rows.size();
    // Rows go after the steps already held, so that the order stays as it happened.
    if (!pending_.empty() && pending_.back().type == ScanEvent::Type::Rows) {
        auto& held = pending_.back().rows;
        held.insert(held.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    } else {
        ScanEvent event;
        event.type = ScanEvent::Type::Rows;
        event.rows = std::move(rows);
        pending_.push_back(std::move(event));
    }
    FlushWhenDue();
}

void ThreadedCollectionEvents::Warnings(std::vector<std::string>&& texts) {
    ScanEvent event;
    event.type = ScanEvent::Type::Warnings;
    event.texts = std::move(texts);
    pending_.push_back(std::move(event));
    FlushWhenDue();
}

bool ThreadedCollectionEvents::ShouldStop(int) {
    return QThread::currentThread()->isInterruptionRequested();
}

void ThreadedCollectionEvents::FlushWhenDue() {
    if (pendingRows_ >= kBatchRows || std::chrono::steady_clock::now() - lastFlush_ >= kBatchTime) {
        Flush();
    }
}

void ThreadedCollectionEvents::Flush() {
    channel_.Post(std::move(pending_));
    pending_.clear();
    pendingRows_ = 0;
    lastFlush_ = std::chrono::steady_clock::now();
}

void ThreadedCollectionEvents::Finish(const CollectionOutcome& outcome) {
    ScanEvent event;
    event.type = ScanEvent::Type::Finish;
    event.outcome = outcome;
    pending_.push_back(std::move(event));
    Flush();
}

ScanThread::ScanThread(CollectionKind kind, ScanList list, ScanChannel& channel, std::string cacheDirectory,
                       QObject* parent)
    : QThread(parent), kind_(kind), list_(std::move(list)), channel_(channel),
      cacheDirectory_(std::move(cacheDirectory)) {}

ScanThread::~ScanThread() {
    requestInterruption();
    wait();
}

void ScanThread::run() {
    ThreadedCollectionEvents events(channel_);
    std::optional<CollectionCache> cache;
    if (!cacheDirectory_.empty()) {
        cache.emplace(cacheDirectory_, kind_);
    }
    const CollectionOutcome outcome = CollectRecords(kind_, list_, events, cache ? &*cache : nullptr);
    events.Finish(outcome);
}

scanDNS::scanDNS(ScanList list, ScanChannel& channel, std::string cacheDirectory, QObject* parent)
    : ScanThread(CollectionKind::Dns, std::move(list), channel, std::move(cacheDirectory), parent) {
    start();
}

scanDHCP::scanDHCP(ScanList list, ScanChannel& channel, std::string cacheDirectory, QObject* parent)
    : ScanThread(CollectionKind::Dhcp, std::move(list), channel, std::move(cacheDirectory), parent) {
    start();
}

} // namespace browser
