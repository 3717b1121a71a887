#pragma once

// Runs one DNS query at a time on a thread of its own, so that the window stays responsive while
// the server answers or the query times out.

#include "browser/lookup/DnsLookup.h"

#include <QObject>

#include <memory>

class QThread;

namespace browser {

class BackgroundDnsLookup : public QObject {
    Q_OBJECT
public:
    explicit BackgroundDnsLookup(QObject* parent = nullptr);
    // Waits for a running query: it ends at its timeout and needs nothing of the window's thread.
    ~BackgroundDnsLookup() override;
    BackgroundDnsLookup(const BackgroundDnsLookup&) = delete;
    BackgroundDnsLookup& operator=(const BackgroundDnsLookup&) = delete;

    bool running() const { return thread_ != nullptr; }
    // Starts the query; false, and nothing started, while a query runs.
    bool start(const DnsQuery& query);

signals:
    // On the thread that owns this object, once the query has its outcome.
    void finished(const browser::DnsLookupResult& result);

private:
    void threadEnded();

    QThread* thread_ = nullptr;
    std::shared_ptr<DnsLookupResult> result_;
};

} // namespace browser
