#include "browser/lists/BatchSwitches.h"

#include <algorithm>

namespace browser {

namespace {

// The pages of the main window's page control that the switches show.
constexpr int kPageDns = 0;
constexpr int kPageRevDns = 1;
constexpr int kPageDhcp = 2;
constexpr int kPageZones = 3;
constexpr int kPageSubnets = 4;

// Puts SaveBut.Tag back to 0 however the batch ends.
class SaveTagReset {
public:
    explicit SaveTagReset(BatchSwitchHost& host) : host_(host) {}
    ~SaveTagReset() {
        if (used_)
            host_.SetSaveButTag(0);
    }
    void Set() {
        used_ = true;
        host_.SetSaveButTag(1);
    }
    SaveTagReset(const SaveTagReset&) = delete;
    SaveTagReset& operator=(const SaveTagReset&) = delete;

private:
    BatchSwitchHost& host_;
    bool used_ = false;
};

} // namespace

bool HasSwitch(const std::vector<std::string>& commandLine, const std::string& name) {
    return std::find(commandLine.begin(), commandLine.end(), name) != commandLine.end();
}

void RunBatchSwitches(const std::vector<std::string>& commandLine, bool threadsOn, BatchSwitchHost& host) {
    {
        SaveTagReset saveTag(host);
        if (HasSwitch(commandLine, kAllDhcpSwitch)) {
            host.MinimiseApplication();
            host.SetApplicationTitle("Collect DHCP records");
            saveTag.Set();
            host.ShowPage(kPageSubnets);
            host.ClickAllBut();
            host.ClickDHCPSearch();
            if (threadsOn)
                host.WaitForDhcpScan();
            host.ShowPage(kPageDhcp);
            host.ClickSaveBut();
        }
        if (HasSwitch(commandLine, kAllDnsSwitch)) {
            host.MinimiseApplication();
            host.SetApplicationTitle("Collect DNS records");
            saveTag.Set();
            host.ShowPage(kPageZones);
            host.ClickAllBut();
            host.ClickDNSSearch();
            if (threadsOn)
                host.WaitForDnsScan();
            host.ShowPage(kPageDns);
            host.ClickSaveBut();
            host.ShowPage(kPageRevDns);
            host.ClickSaveBut();
        }
    }
    if (HasSwitch(commandLine, kAutoCloseSwitch))
        host.CloseMainWindow();
}

} // namespace browser
