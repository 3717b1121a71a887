#pragma once

// The scan threads and the channel that carries their rows to the window's thread. A scan thread
// reads and decodes only; every step that touches a list or a control travels as a ScanEvent
// through its ScanChannel, in order and in batches, and is applied on the window's thread.

#include "browser/collection/RecordCollector.h"

#include <QObject>
#include <QThread>

#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace browser {

struct ScanEvent {
    enum class Type { OuterMax, StepOuter, InnerMax, StepInner, Rows, Warnings, Finish };
    Type type = Type::Rows;
    int value = 0; // the maximum, or the number of steps
    std::vector<RecordRow> rows;
    std::vector<std::string> texts; // the warnings
    CollectionOutcome outcome;      // Finish: how the collection ended
};

// Lives in the window's thread. Post may be called from any thread and never blocks on the
// window's thread; the events run there in the order they were posted, a bounded slice of time at a
// time so that the window stays responsive.
class ScanChannel : public QObject {
    Q_OBJECT
public:
    using Apply = std::function<void(ScanEvent&)>;

    explicit ScanChannel(Apply apply, QObject* parent = nullptr);

    void Post(std::vector<ScanEvent>&& events);
    // Applies, on the window's thread, everything posted so far.
    void Deliver();
    // Whether posted events still wait to be applied.
    bool Pending();

    // How long one delivery may run before it lets other events in.
    static constexpr std::chrono::milliseconds kSlice{25};

private:
    void Drain();
    bool TakeOne(ScanEvent& event);

    Apply apply_;
    std::mutex mutex_;
    std::deque<ScanEvent> queue_;
    bool notified_ = false;
};

// The worker's side of the channel: collects events and posts them in batches.
class ThreadedCollectionEvents : public CollectionEvents {
public:
    explicit ThreadedCollectionEvents(ScanChannel& channel) : channel_(channel) {}

    void OuterMax(int count) override { Add(ScanEvent::Type::OuterMax, count); }
    void StepOuter() override { Add(ScanEvent::Type::StepOuter, 1); }
    void InnerMax(int count) override { Add(ScanEvent::Type::InnerMax, count); }
    void StepInner() override;
    void Rows(std::vector<RecordRow>&& rows) override;
    void Warnings(std::vector<std::string>&& texts) override;
    bool ShouldStop(int objectIndex) override;
    // Posts the finish step, with how the collection ended, and everything still held.
    void Finish(const CollectionOutcome& outcome = {});

    // Rows held back at most, and for at most this long.
    static constexpr std::size_t kBatchRows = 512;
    static constexpr std::chrono::milliseconds kBatchTime{20};

private:
    void Add(ScanEvent::Type type, int value);
    void FlushWhenDue();
    void Flush();

    ScanChannel& channel_;
    std::vector<ScanEvent> pending_;
    std::size_t pendingRows_ = 0;
    std::chrono::steady_clock::time_point lastFlush_ = std::chrono::steady_clock::now();
};

// The thread of one kind of scan. The constructor copies the scan list and starts the thread; the
// window owns the object, asks it to finish with requestInterruption() and waits for it. Given a
// data directory, the thread writes the local cache as the read on the window's thread does, so
// that both roads leave the same cache files.
class ScanThread : public QThread {
    Q_OBJECT
public:
    ~ScanThread() override;
    CollectionKind Kind() const { return kind_; }

protected:
    ScanThread(CollectionKind kind, ScanList list, ScanChannel& channel, std::string cacheDirectory,
               QObject* parent);
    void run() override;

private:
    CollectionKind kind_;
    ScanList list_;
    ScanChannel& channel_;
    std::string cacheDirectory_; // empty: no cache
};

// DNS records of the checked zones into "DNS" and "REV-DNS".
class scanDNS final : public ScanThread {
    Q_OBJECT
public:
    scanDNS(ScanList list, ScanChannel& channel, std::string cacheDirectory = {}, QObject* parent = nullptr);
};

// DHCP address objects of the checked subnets into "DHCP".
class scanDHCP final : public ScanThread {
    Q_OBJECT
public:
    scanDHCP(ScanList list, ScanChannel& channel, std::string cacheDirectory = {}, QObject* parent = nullptr);
};

} // namespace browser
