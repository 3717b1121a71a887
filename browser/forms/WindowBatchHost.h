#pragma once

#include "browser/lists/BatchSwitches.h"
#include "browser/records/RecordRow.h"

#include <functional>

namespace browser {

class TForm1;

// Lets the window's events run until done() holds, looking again every pollMs milliseconds.
void WaitOnEventLoop(const std::function<bool()>& done, int pollMs = 20);

// The batch switches on the main window: its buttons are clicked as a user would click them.
class WindowBatchHost : public BatchSwitchHost {
public:
    // scanAlive tells whether the scan thread filling a list (DNS or DHCP) is still running;
    // cannotCollect and collectionFailure answer CannotCollect and CollectionFailure.
    WindowBatchHost(TForm1& window, std::function<bool(RecordListKind)> scanAlive,
                    std::function<std::string()> cannotCollect = {},
                    std::function<std::string(bool dhcp)> collectionFailure = {});

    void MinimiseApplication() override;
    void SetApplicationTitle(const std::string& title) override;
    void SetSaveButTag(int tag) override;
    void ShowPage(int page) override;
    void ClickAllBut() override;
    void ClickDHCPSearch() override;
    void ClickDNSSearch() override;
    void WaitForDhcpScan() override;
    void WaitForDnsScan() override;
    void ClickSaveBut() override;
    void SaveInto(ListFileGroup* files) override;
    void CloseMainWindow() override;
    std::string CannotCollect() override;
    std::string CollectionFailure(bool dhcp) override;
    void ReportBatchFailure(const std::string& text) override;

private:
    void WaitForScan(RecordListKind list);

    TForm1& window_;
    std::function<bool(RecordListKind)> scanAlive_;
    std::function<std::string()> cannotCollect_;
    std::function<std::string(bool dhcp)> collectionFailure_;
};

} // namespace browser
