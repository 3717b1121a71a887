#include "browser/lists/BatchSwitches.h"

#include "browser/lists/ListFileWriter.h"

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

// Lets SaveBut's clicks add their files to a group while it lives.
class SavedFilesScope {
public:
    SavedFilesScope(BatchSwitchHost& host, ListFileGroup& files) : host_(host) { host_.SaveInto(&files); }
    ~SavedFilesScope() { End(); }
    void End() {
        if (active_)
            host_.SaveInto(nullptr);
        active_ = false;
    }
    SavedFilesScope(const SavedFilesScope&) = delete;
    SavedFilesScope& operator=(const SavedFilesScope&) = delete;

private:
    BatchSwitchHost& host_;
    bool active_ = true;
};

// Whether a collection can run; reports why not, and that its files stay.
bool CanCollect(BatchSwitchHost& host, const std::string& files) {
    const std::string reason = host.CannotCollect();
    if (!reason.empty())
        host.ReportBatchFailure(reason + " " + files);
    return reason.empty();
}

// Whether the collection has finished; reports why not, and that its files stay.
bool CollectionFinished(BatchSwitchHost& host, bool dhcp, const std::string& files) {
    const std::string reason = host.CollectionFailure(dhcp);
    if (!reason.empty())
        host.ReportBatchFailure("The collection did not finish: " + reason + ". " + files);
    return reason.empty();
}

} // namespace

bool HasSwitch(const std::vector<std::string>& commandLine, const std::string& name) {
    return std::find(commandLine.begin(), commandLine.end(), name) != commandLine.end();
}

void RunBatchSwitches(const std::vector<std::string>& commandLine, bool threadsOn, BatchSwitchHost& host) {
    {
        // dhcp.csv, dns.csv and rev-dns.csv are committed as one: a run that ends at any moment
        // leaves all of them new or all old.
        ListFileGroup saved;
        SavedFilesScope savedScope(host, saved);
        SaveTagReset saveTag(host);
        if (HasSwitch(commandLine, kAllDhcpSwitch)) {
            host.MinimiseApplication();
            host.SetApplicationTitle("Collect DHCP records");
            saveTag.Set();
            const std::string files = "dhcp.csv is left as it was.";
            if (CanCollect(host, files)) {
                host.ShowPage(kPageSubnets);
                host.ClickAllBut();
                host.ClickDHCPSearch();
                if (threadsOn)
                    host.WaitForDhcpScan();
                if (CollectionFinished(host, true, files)) {
                    host.ShowPage(kPageDhcp);
                    host.ClickSaveBut();
                }
            }
        }
        if (HasSwitch(commandLine, kAllDnsSwitch)) {
            host.MinimiseApplication();
            host.SetApplicationTitle("Collect DNS records");
            saveTag.Set();
            const std::string files = "dns.csv and rev-dns.csv are left as they were.";
            if (CanCollect(host, files)) {
                host.ShowPage(kPageZones);
                host.ClickAllBut();
                host.ClickDNSSearch();
                if (threadsOn)
                    host.WaitForDnsScan();
                if (CollectionFinished(host, false, files)) {
                    host.ShowPage(kPageDns);
                    host.ClickSaveBut();
                    host.ShowPage(kPageRevDns);
                    host.ClickSaveBut();
                }
            }
        }
        savedScope.End();
        const std::string failure = saved.Commit();
        if (!failure.empty())
            host.ReportBatchFailure(failure);
    }
    if (HasSwitch(commandLine, kAutoCloseSwitch))
        host.CloseMainWindow();
}

} // namespace browser
