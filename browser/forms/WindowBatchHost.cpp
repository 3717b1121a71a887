#include "browser/forms/WindowBatchHost.h"

#include "browser/forms/Cormelian1.h"
#include "browser/lists/Named.h"
#include "browser/lists/Services.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>
#include <QToolButton>

namespace browser {

void WaitOnEventLoop(const std::function<bool()>& done, int pollMs) {
    if (done())
        return;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    poll.start(pollMs);
    loop.exec();
}

WindowBatchHost::WindowBatchHost(TForm1& window, std::function<bool(RecordListKind)> scanAlive,
                                 std::function<std::string()> cannotCollect,
                                 std::function<std::string(bool dhcp)> collectionFailure)
    : window_(window), scanAlive_(std::move(scanAlive)), cannotCollect_(std::move(cannotCollect)),
      collectionFailure_(std::move(collectionFailure)) {}

void WindowBatchHost::MinimiseApplication() {
    window_.setWindowState(window_.windowState() | Qt::WindowMinimized);
}

void WindowBatchHost::SetApplicationTitle(const std::string& title) {
    QGuiApplication::setApplicationDisplayName(QString::fromStdString(title));
}

void WindowBatchHost::SetSaveButTag(int tag) {
    SetTag(window_.SaveBut, tag);
}

void WindowBatchHost::ShowPage(int page) {
    window_.SetActivePage(page);
}

void WindowBatchHost::ClickAllBut() {
    window_.AllBut->click();
}

void WindowBatchHost::ClickDHCPSearch() {
    window_.DHCPSearch->click();
}

void WindowBatchHost::ClickDNSSearch() {
    window_.DNSSearch->click();
}

void WindowBatchHost::WaitForDhcpScan() {
    WaitForScan(RecordListKind::Dhcp);
}

void WindowBatchHost::WaitForDnsScan() {
    WaitForScan(RecordListKind::Dns);
}

void WindowBatchHost::WaitForScan(RecordListKind list) {
    // Only a scan that is running is waited for; its rows reach the lists on the window's thread
    // while the loop runs.
    if (!scanAlive_)
        return;
    WaitOnEventLoop([&] { return !scanAlive_(list); });
    // Rows posted just before the thread ended.
    QCoreApplication::processEvents();
}

void WindowBatchHost::SaveInto(ListFileGroup* files) {
    window_.SaveListsInto(files);
}

void WindowBatchHost::ClickSaveBut() {
    window_.SaveBut->click();
}

void WindowBatchHost::CloseMainWindow() {
    window_.close();
}

std::string WindowBatchHost::CannotCollect() {
    return cannotCollect_ ? cannotCollect_() : std::string();
}

std::string WindowBatchHost::CollectionFailure(bool dhcp) {
    return collectionFailure_ ? collectionFailure_(dhcp) : std::string();
}

void WindowBatchHost::ReportBatchFailure(const std::string& text) {
    window_.services().showMessage(QString::fromStdString(text));
}

} // namespace browser
