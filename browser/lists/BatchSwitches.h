#pragma once

#include <string>
#include <vector>

namespace browser {

class ListFileGroup;

inline constexpr const char* kAllDhcpSwitch = "/alldhcp";
inline constexpr const char* kAllDnsSwitch = "/alldns";
inline constexpr const char* kAutoCloseSwitch = "/autoclose";

// The controls the batch switches drive, as a user would: the main window implements it.
class BatchSwitchHost {
public:
    virtual ~BatchSwitchHost() = default;

    virtual void MinimiseApplication() = 0;
    virtual void SetApplicationTitle(const std::string& title) = 0;
    // SaveBut.Tag: 1 makes a click of SaveBut write the CSV file without its save dialog.
    virtual void SetSaveButTag(int tag) = 0;
    virtual void ShowPage(int page) = 0;
    virtual void ClickAllBut() = 0;
    virtual void ClickDHCPSearch() = 0;
    virtual void ClickDNSSearch() = 0;
    // With threads on: waits (letting the window's events run) until the scan thread that the
    // click started has ended; returns at once when no scan is running.
    virtual void WaitForDhcpScan() = 0;
    virtual void WaitForDnsScan() = 0;
    virtual void ClickSaveBut() = 0;
    // While set, a click of SaveBut with Tag 1 adds its file to `files` instead of writing it
    // (null: written at once again).
    virtual void SaveInto(ListFileGroup* files) = 0;
    virtual void CloseMainWindow() = 0;

    // Why no collection can run (no tree chosen, and what would name one); empty when one can.
    virtual std::string CannotCollect() = 0;
    // Why the DHCP (or DNS) collection the last click started did not finish; empty when it did.
    virtual std::string CollectionFailure(bool dhcp) = 0;
    // Tells why a step was left out (in a run without a user: on standard error, as a problem).
    virtual void ReportBatchFailure(const std::string& text) = 0;
};

// True when the command line holds the switch exactly (case matters).
bool HasSwitch(const std::vector<std::string>& commandLine, const std::string& name);

// The last step of the start-up: "/alldhcp" collects every subnet's DHCP records and saves the
// DHCP list as "dhcp.csv"; "/alldns" collects every zone's DNS records and saves the DNS and
// REV-DNS lists as "dns.csv" and "rev-dns.csv"; "/autoclose" then closes the main window.
// A list is saved only when its collection has finished: when none can run or it ends early, its
// files stay as they were and the host reports why. The saved files replace their old ones together
// once both collections are done: all of them, or (reported) none. SaveBut.Tag is 0 again
// afterwards, also when a step fails.
void RunBatchSwitches(const std::vector<std::string>& commandLine, bool threadsOn, BatchSwitchHost& host);

} // namespace browser
