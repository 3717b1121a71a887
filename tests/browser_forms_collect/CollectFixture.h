#pragma once

// A directory for the collection tests: LDIF trees (generated or hand-written) loaded into the
// client stand-in, one context per tree, the controls the collections fill, and an environment
// that answers the tree opening's questions from a script.

#include "browser/forms/CollectionController.h"
#include "browser/lists/ImageList.h"
#include "browser/lists/Named.h"
#include "browser/lists/RecordListModel.h"
#include "directory/NWHelper.h"
#include "platform/nwclient/NWClient.h"
#include "tests/support/TreeClient.h"
#include "tools/gentree/GeneratorRun.h"
#include "tools/gentree/TreeGenerator.h"

#include <QApplication>
#include <QProgressBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace collect_test {

inline void EnsureApplication() {
    static int argc = 1;
    static char name[] = "test_browser_forms_collect";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance() == nullptr) {
        new QApplication(argc, argv);
    }
}

inline browser::ClassIconNumbers TestIcons() {
    browser::ClassIconNumbers icons;
    icons.tree = 1;
    icons.dnsZone = 2;
    icons.subnet = 3;
    icons.locator = 4;
    icons.dnsServer = 5;
    icons.dhcpServer = 6;
    icons.subnetPool = 7;
    icons.group = 8;
    return icons;
}

class FakeEnvironment : public browser::CollectionEnvironment {
public:
    browser::TreeList trees;
    std::vector<std::string> selected;
    std::string dataDirectory;
    browser::CormelianSettings settings;
    browser::ClassIconNumbers icons = TestIcons();

    bool answerBrowse = false;
    std::string browsedLocator;
    bool tickWarning = false;
    std::vector<std::string> questions;
    std::vector<std::string> warnings;
    std::vector<std::string> messages;
    int resorts = 0;

    browser::TreeList& Trees() override { return trees; }
    std::vector<std::string> SelectedTrees() override { return selected; }
    std::string DataDirectory() override { return dataDirectory; }
    const browser::CormelianSettings& Settings() override { return settings; }
    const browser::ClassIconNumbers& Icons() override { return icons; }
    void ResortRecordList(browser::RecordListKind) override { ++resorts; }
    std::vector<std::string> statuses;
    void ShowStatus(const std::string& text) override { statuses.push_back(text); }

    bool ConfirmBrowse(const std::string& text) override {
        questions.push_back(text);
        return answerBrowse;
    }
    std::string BrowseForLocator(browser::ContextHandle) override { return browsedLocator; }
    bool WarnSeveralLocators(const std::string& caption) override {
        warnings.push_back(caption);
        return tickWarning;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
};

// The controls of the main window that the collections touch.
struct TestWidgets {
    QWidget owner;
    browser::RecordListModel* dns = new browser::RecordListModel({"IP-address", "Name"}, &owner);
    browser::RecordListModel* reverse = new browser::RecordListModel({"IP-address", "Host name"}, &owner);
    browser::RecordListModel* dhcp = new browser::RecordListModel({"IP-address", "Name"}, &owner);
    QObject* dnsView = new QObject(&owner);
    QObject* reverseView = new QObject(&owner);
    QObject* dhcpView = new QObject(&owner);
    QWidget* panel = new QWidget(&owner);
    QProgressBar* bars[4] = {new QProgressBar(&owner), new QProgressBar(&owner), new QProgressBar(&owner),
                             new QProgressBar(&owner)};
    QTreeWidget* lists[6] = {new QTreeWidget(&owner), new QTreeWidget(&owner), new QTreeWidget(&owner),
                             new QTreeWidget(&owner), new QTreeWidget(&owner), new QTreeWidget(&owner)};
    QToolButton* dnsSearch = new QToolButton(&owner);
    QToolButton* dhcpSearch = new QToolButton(&owner);

    QTreeWidget* zonelist() const { return lists[0]; }
    QTreeWidget* netslist() const { return lists[1]; }
    QTreeWidget* lv1() const { return lists[2]; }

    browser::CollectionWidgets Handles() {
        browser::CollectionWidgets w;
        w.dns = dns;
        w.reverse = reverse;
        w.dhcp = dhcp;
        w.dnsView = dnsView;
        w.reverseView = reverseView;
        w.dhcpView = dhcpView;
        w.panel = panel;
        browser::SetTag(panel, 0);
        w.zonesDone = bars[0];
        w.zoneObjects = bars[1];
        w.subnetsDone = bars[2];
        w.subnetObjects = bars[3];
        w.zonelist = lists[0];
        w.netslist = lists[1];
        w.lv1 = lists[2];
        w.zonelist2 = lists[3];
        w.netslist2 = lists[4];
        w.lv1a = lists[5];
        w.dnsSearch = dnsSearch;
        w.dhcpSearch = dhcpSearch;
        return w;
    }
};

using test_support::TempFolder;

// The client stand-in over trees in a folder; every tree gets a context in the environment's list.
class DirectoryFixture : public ::testing::Test {
protected:
    struct ApplicationFirst {
        ApplicationFirst() { EnsureApplication(); }
    } application_;

    void SetUp() override {
        EnsureApplication();
        environment.dataDirectory = data.Directory();
        directory::ProtectFlag.WriteStopRequested(false);
    }

    void TearDown() override {
        controller.reset();
        nwclient::clearFaults();
        for (int i = 0; i < environment.trees.Count(); ++i) {
            nwclient::freeContext(environment.trees.Object(i).context);
        }
        if (nwclient::isInitialized()) {
            nwclient::terminate();
        }
    }

    // Writes generated trees with their client configuration and starts the client.
    void StartGenerated(const std::vector<gentree::TreeOptions>& trees) {
        gentree::GeneratorRun run;
        run.outputFolder = store.Path().string();
        run.trees = trees;
        run.visible.assign(trees.size(), true);
        gentree::WriteRun(run);
        Start();
        for (const auto& tree : trees) {
            AddTree(tree.name);
        }
    }

    // Hand-written trees: name -> LDIF text.
    void StartWritten(const std::vector<std::pair<std::string, std::string>>& trees) {
        std::string config =
            "[Client]\nPreferredTree=" + trees.front().first + "\nStore=:memory:\n\n[Trees]\n";
        for (const auto& [name, ldif] : trees) {
            config += name + "=visible\n";
        }
        for (const auto& [name, ldif] : trees) {
            config += "\n[Tree " + name + "]\nDefaultNameContext=[Root]\n";
            store.Write(name + ".ldif", ldif);
        }
        store.Write("client.ini", config);
        Start();
        for (const auto& [name, ldif] : trees) {
            AddTree(name);
        }
    }

    void Start() { test_support::StartClient(store.Path()); }

    void AddTree(const std::string& name) {
        nwclient::Context context = 0;
        ASSERT_NO_FATAL_FAILURE(test_support::OpenTree(name, context));
        environment.trees.Add(name, std::make_unique<browser::treeobj>(context));
        environment.selected.push_back(name);
    }

    browser::CollectionController& Controller() {
        if (!controller) {
            controller = std::make_unique<browser::CollectionController>(environment, widgets.Handles());
        }
        return *controller;
    }

    // Waits (serving the window's events) until no scan thread is alive and everything is delivered.
    void WaitForScans() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while ((Controller().ScanAlive(browser::CollectionKind::Dns) ||
                Controller().ScanAlive(browser::CollectionKind::Dhcp) || Controller().ProgressCount() > 0) &&
               std::chrono::steady_clock::now() < deadline) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QApplication::processEvents();
    }

    TempFolder store;
    TempFolder data;
    FakeEnvironment environment;
    TestWidgets widgets;
    std::unique_ptr<browser::CollectionController> controller;
};

} // namespace collect_test
