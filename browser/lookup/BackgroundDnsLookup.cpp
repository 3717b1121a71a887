#include "browser/lookup/BackgroundDnsLookup.h"

#include <QThread>

namespace browser {

BackgroundDnsLookup::BackgroundDnsLookup(QObject* parent) : QObject(parent) {}

BackgroundDnsLookup::~BackgroundDnsLookup() {
    if (thread_ != nullptr) {
        thread_->disconnect(this);
        thread_->wait();
        delete thread_;
    }
}

bool BackgroundDnsLookup::start(const DnsQuery& query) {
    if (running())
        return false;
    // The thread writes only the result it shares with this object, which reads it once the
    // thread has finished.
    auto result = std::make_shared<DnsLookupResult>();
    result_ = result;
    thread_ = QThread::create([query, result] { *result = RunDnsLookup(query); });
    connect(thread_, &QThread::finished, this, &BackgroundDnsLookup::threadEnded);
    thread_->start();
    return true;
}

void BackgroundDnsLookup::threadEnded() {
    thread_->deleteLater();
    thread_ = nullptr;
    const std::shared_ptr<DnsLookupResult> result = std::move(result_);
    emit finished(*result);
}

} // namespace browser
