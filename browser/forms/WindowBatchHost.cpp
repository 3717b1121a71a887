#include "browser/forms/WindowBatchHost.h"

#include "browser/forms/Cormelian1.h"
#include "browser/lists/Named.h"

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

WindowBatchHost::WindowBatchHost(TForm1& window, std::function<bool(RecordListKind)> scanAlive)
    : window_(window), scanAlive_(std::move(scanAlive)) {}

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

void WindowBatchHost::ClickSaveBut() {
    window_.SaveBut->click();
}

void WindowBatchHost::CloseMainWindow() {
    window_.close();
}

} // namespace browser
