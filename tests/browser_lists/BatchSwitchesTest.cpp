#include "browser/lists/BatchSwitches.h"
#include "browser/lists/ListFileWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <stdexcept>
#include <sys/stat.h>

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
    void ShowPage(int page) override {
        shownPage = page;
        steps.push_back("page " + std::to_string(page));
    }
    void ClickAllBut() override { steps.push_back("all"); }
    void ClickDHCPSearch() override { steps.push_back("dhcp search"); }
    void ClickDNSSearch() override { steps.push_back("dns search"); }
    void WaitForDhcpScan() override { steps.push_back("wait dhcp"); }
    void WaitForDnsScan() override { steps.push_back("wait dns"); }
    void ClickSaveBut() override {
        steps.push_back("save tag " + std::to_string(saveTag));
        if (failOnSave)
            throw std::runtime_error("disk full");
        // As the window saves a list with Tag 1: its default name in the folder, into the group.
        if (files && !folder.empty()) {
            const char* name = shownPage == 0 ? "dns.csv" : shownPage == 1 ? "rev-dns.csv" : "dhcp.csv";
            try {
                files->Add(folder + "/" + name, std::string("new ") + name);
            } catch (const browser::ListFileError& error) {
                steps.push_back(std::string("message ") + error.what());
            }
        }
    }
    void SaveInto(browser::ListFileGroup* group) override { files = group; }
    void CloseMainWindow() override { steps.push_back("close"); }
    std::string CannotCollect() override { return cannotCollect; }
    std::string CollectionFailure(bool dhcp) override { return dhcp ? dhcpFailure : dnsFailure; }
    void ReportBatchFailure(const std::string& text) override { steps.push_back("report " + text); }

    std::string cannotCollect, dhcpFailure, dnsFailure;
    std::string folder; // where saves go; none without
    browser::ListFileGroup* files = nullptr;
    int shownPage = -1;
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

// The lists a run saves replace their files together once both collections are done: all new, or
// (when one cannot be written) all old, saying which stayed.
TEST(BatchSwitches, TheSavedListsReplaceTheirFilesTogether) {
    using Files = std::map<std::string, std::string>;
    const auto contents = [](const test_support::TempFolder& folder) {
        Files files;
        for (const std::string& name : test_support::EntryNames(folder.Path()))
            files[name] = test_support::ReadFile((folder.Path() / name).string());
        return files;
    };
    const Files old = {
        {"dhcp.csv", "old dhcp.csv"}, {"dns.csv", "old dns.csv"}, {"rev-dns.csv", "old rev-dns.csv"}};
    {
        test_support::TempFolder folder("batch-group");
        for (const auto& [name, content] : old)
            test_support::WriteFile((folder.Path() / name).string(), content);
        RecordingHost host;
        host.folder = folder.Path().string();
        browser::RunBatchSwitches({"/alldhcp", "/alldns"}, false, host);
        EXPECT_EQ(contents(folder), (Files{{"dhcp.csv", "new dhcp.csv"},
                                           {"dns.csv", "new dns.csv"},
                                           {"rev-dns.csv", "new rev-dns.csv"}}));
        EXPECT_EQ(host.files, nullptr);
    }
    {
        // The DNS list's file cannot be written: the DHCP list saved before it stays old as well.
        test_support::TempFolder folder("batch-group");
        for (const auto& [name, content] : old)
            test_support::WriteFile((folder.Path() / name).string(), content);
        const std::string dns = (folder.Path() / "dns.csv").string();
        ::chmod(dns.c_str(), 0444);
        RecordingHost host;
        host.folder = folder.Path().string();
        browser::RunBatchSwitches({"/alldhcp", "/alldns"}, false, host);
        EXPECT_EQ(contents(folder), old);
        const Steps tail(host.steps.end() - 6, host.steps.end());
        EXPECT_EQ(tail,
                  (Steps{"save tag 1",
                         "message Cannot create file " + dns + ". Existing file " + dns + " is not writable",
                         "page 1", "save tag 1",
                         "report dhcp.csv, dns.csv and rev-dns.csv are left as they were.", "tag 0"}));
    }
}

// A run killed between the renames of its saved lists leaves, once repaired, all three old or all new.
TEST(BatchSwitches, ARunKilledBetweenItsSavesIsRepairedWhole) {
    test_support::TempFolder folder("batch-killed");
    const int renames = test_support::ExpectEveryKilledRenameRepaired(
        folder.Path(),
        [&] {
            for (const char* name : {"dhcp.csv", "dns.csv", "rev-dns.csv"})
                test_support::WriteFile((folder.Path() / name).string(), std::string("old ") + name);
        },
        [&] {
            RecordingHost host;
            host.folder = folder.Path().string();
            browser::RunBatchSwitches({"/alldhcp", "/alldns"}, false, host);
        });
    EXPECT_GE(renames, 3);
}

} // namespace