#include "browser/lists/BatchSwitches.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Records what the switches do, in order.
class RecordingHost : public browser::BatchSwitchHost {
public:
    std::vector<std::string> steps;
    int saveTag = 0;
    bool failOnSave = false;

    void MinimiseApplication() override { steps.push_back("minimise"); }
    void SetApplicationTitle(const std::string& title) override { steps.push_back("title " + title); }
    void SetSaveButTag(int tag) override {
        saveTag = tag;
        steps.push_back("tag " + std::to_string(tag));
    }
    void ShowPage(int page) override { steps.push_back("page " + std::to_string(page)); }
    void ClickAllBut() override { steps.push_back("all"); }
    void ClickDHCPSearch() override { steps.push_back("dhcp search"); }
    void ClickDNSSearch() override { steps.push_back("dns search"); }
    void WaitForDhcpScan() override { steps.push_back("wait dhcp"); }
    void WaitForDnsScan() override { steps.push_back("wait dns"); }
    void ClickSaveBut() override {
        steps.push_back("save tag " + std::to_string(saveTag));
        if (failOnSave)
            throw std::runtime_error("disk full");
    }
    void CloseMainWindow() override { steps.push_back("close"); }
    std::string CannotCollect() override { return cannotCollect; }
    std::string CollectionFailure(bool dhcp) override { return dhcp ? dhcpFailure : dnsFailure; }
    void ReportBatchFailure(const std::string& text) override { steps.push_back("report " + text); }

    std::string cannotCollect, dhcpFailure, dnsFailure;
};

using Steps = std::vector<std::string>;

TEST(BatchSwitches, AllSwitchesRunInTheirOrderWhateverTheCommandLineOrder) {
    RecordingHost host;
    browser::RunBatchSwitches({"/autoclose", "/alldns", "/alldhcp"}, true, host);
    EXPECT_EQ(host.steps, (Steps{"minimise",
                                 "title Collect DHCP records",
                                 "tag 1",
                                 "page 4",
                                 "all",
                                 "dhcp search",
                                 "wait dhcp",
                                 "page 2",
                                 "save tag 1",
                                 "minimise",
                                 "title Collect DNS records",
                                 "tag 1",
                                 "page 3",
                                 "all",
                                 "dns search",
                                 "wait dns",
                                 "page 0",
                                 "save tag 1",
                                 "page 1",
                                 "save tag 1",
                                 "tag 0",
                                 "close"}));
    EXPECT_EQ(host.saveTag, 0);
}

TEST(BatchSwitches, WithoutThreadsTheCollectionHasEndedWhenTheClickReturns) {
    RecordingHost host;
    browser::RunBatchSwitches({"/alldhcp"}, false, host);
    EXPECT_EQ(host.steps, (Steps{"minimise", "title Collect DHCP records", "tag 1", "page 4", "all",
                                 "dhcp search", "page 2", "save tag 1", "tag 0"}));
}

TEST(BatchSwitches, AutocloseAloneClosesAndOtherCasesAreNotSwitches) {
    RecordingHost host;
    browser::RunBatchSwitches({"/autoclose"}, true, host);
    EXPECT_EQ(host.steps, (Steps{"close"}));

    RecordingHost other;
    browser::RunBatchSwitches({"/AllDNS", "/ALLDHCP", "/AutoClose", "alldns", "/alldns "}, true, other);
    EXPECT_TRUE(other.steps.empty());
}

TEST(BatchSwitches, AListIsSavedOnlyWhenItsCollectionFinished) {
    // No collection can run: nothing is clicked, and the reason names the files that stay.
    RecordingHost noTree;
    noTree.cannotCollect = "No tree chosen: 2 trees are offered.";
    browser::RunBatchSwitches({"/alldhcp", "/alldns", "/autoclose"}, false, noTree);
    EXPECT_EQ(noTree.steps, (Steps{"minimise", "title Collect DHCP records", "tag 1",
                                   "report No tree chosen: 2 trees are offered. dhcp.csv is left as it was.",
                                   "minimise", "title Collect DNS records", "tag 1",
                                   "report No tree chosen: 2 trees are offered. dns.csv and rev-dns.csv are "
                                   "left as they were.",
                                   "tag 0", "close"}));

    // The DHCP collection failed, the DNS collection finished: only the DNS lists are saved.
    RecordingHost failed;
    failed.dhcpFailure = "Cannot write file zones.ini. No space left on device";
    browser::RunBatchSwitches({"/alldhcp", "/alldns"}, false, failed);
    EXPECT_EQ(failed.steps,
              (Steps{"minimise", "title Collect DHCP records", "tag 1", "page 4", "all", "dhcp search",
                     "report The collection did not finish: Cannot write file zones.ini. No space "
                     "left on device. dhcp.csv is left as it was.",
                     "minimise", "title Collect DNS records", "tag 1", "page 3", "all", "dns search",
                     "page 0", "save tag 1", "page 1", "save tag 1", "tag 0"}));
}

TEST(BatchSwitches, TheSaveTagReturnsToZeroWhenAStepFails) {
    RecordingHost host;
    host.failOnSave = true;
    EXPECT_THROW(browser::RunBatchSwitches({"/alldns"}, true, host), std::runtime_error);
    EXPECT_EQ(host.saveTag, 0);
}

} // namespace
