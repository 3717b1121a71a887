// The program on the demo directory: checking zones and subnets and collecting fills the three
// record lists, Stop ends the scans, and the cache gives the lists back at the next start.
#include "CollectFixture.h"

#include "browser/forms/ConnectedTrees.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/Program.h"
#include "browser/lists/ScriptedServices.h"
#include "browser/startup/DirectoryStartup.h"
#include "browser/startup/StartupEnvironment.h"
#include "tests/support/SourceTree.h"
#include "tests/support/WaitUntil.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#ifdef TOLVEX_LIBRARY

using namespace browser;
using collect_test::TempFolder;
namespace fs = std::filesystem;

namespace {

bool WaitUntil(const std::function<bool()>& done, int ms = 60000) {
    return test_support::WaitUntil(done, ms);
}

class DemoCollect : public ::testing::Test {
protected:
    DemoCollect() {
        collect_test::EnsureApplication();
        fs::copy(test_support::SourceFolder() / "data" / "demo", demo.Path(), fs::copy_options::recursive);
        const fs::path library(TOLVEX_LIBRARY);
        fs::copy_file(library, program.Path() / library.filename());
    }
    void TearDown() override { programBlock.reset(); }

    void Start() {
        services.queueDialog([](QDialog& dialog) {
            auto& choice = dynamic_cast<TDNSTrees&>(dialog);
            for (int row = 0; row < choice.treesList->count(); ++row) {
                QListWidgetItem* item = choice.treesList->item(row);
                item->setCheckState(item->text() == "ACME" ? Qt::Checked : Qt::Unchecked);
            }
            choice.okButton->click();
        });
        programBlock = std::make_unique<Program>(*qApp, services, &environment);
        ASSERT_FALSE(window().StartupRefused());
        window().show();
        window().Timer1Timer();
        ASSERT_GT(window().zonelist->topLevelItemCount(), 1);
    }
    void End() { programBlock.reset(); }

    TForm1& window() const { return *programBlock->forms().Form1; }
    bool Idle() const {
        return !window().Collection().ScanAlive(CollectionKind::Dns) &&
               !window().Collection().ScanAlive(CollectionKind::Dhcp) &&
               window().Collection().ProgressCount() == 0;
    }

    TempFolder demo;
    TempFolder program;
    LayerTreeDirectory directory{(demo.Path() / "client.ini").string()};
    TolvexHelperLibrary helper;
    LayerTimeSettings time;
    ScriptedServices services;
    StartupEnvironment environment{directory, helper, time, program.Directory(), {}};
    std::unique_ptr<Program> programBlock;
};

} // namespace

TEST_F(DemoCollect, CollectingFillsTheThreeListsAndStopEndsTheScans) {
    Start();
    TForm1& form = window();
    form.DNSSearch->click();
    form.DHCPSearch->click();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_GT(form.LVModel->count(), 0);
    EXPECT_GT(form.LV3Model->count(), 0);
    EXPECT_GT(form.LV2Model->count(), 0);
    EXPECT_TRUE(form.Panel1->isHidden());

    // Unchecking the tree row unchecks its zones: nothing left to collect.
    QTreeWidget* zones = form.zonelist;
    const QRect treeRow = zones->visualItemRect(zones->topLevelItem(0));
    form.zonelistMouseDown(QPoint(treeRow.left() + 4, treeRow.center().y()));
    EXPECT_EQ(RowState(zones->topLevelItem(1)), kStateUnchecked);
    EXPECT_EQ(Tag(form.LV), -1);
    form.DNSSearch->click();
    EXPECT_EQ(form.LVModel->count(), 0);

    // Space toggles the check mark of the zone or subnet row that has focus, as a click on it does.
    const auto pressSpace = [](QTreeWidget* list, int row) {
        list->setCurrentItem(list->topLevelItem(row));
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(list, &space);
        return RowState(list->topLevelItem(row));
    };
    EXPECT_EQ(pressSpace(zones, 1), kStateChecked);
    EXPECT_EQ(pressSpace(zones, 1), kStateUnchecked);
    const int subnetState = RowState(form.netslist->topLevelItem(1));
    ASSERT_TRUE(subnetState == kStateChecked || subnetState == kStateUnchecked);
    EXPECT_NE(pressSpace(form.netslist, 1), subnetState);
    EXPECT_EQ(pressSpace(form.netslist, 1), subnetState);

    // Esc stops a running scan.
    form.AllBut->setEnabled(true);
    form.SetActivePage(TForm1::PageSubnets);
    form.AllButClick();
    form.DHCPSearch->click();
    form.FormKeyPress(Qt::Key_Escape);
    EXPECT_TRUE(Idle());
    EXPECT_EQ(form.DHCPSearch->property("ImageIndex").toInt(), kDhcpSearchIdle);
}

TEST_F(DemoCollect, TheCacheGivesTheListsBackAtTheNextStart) {
    program.Write("Cormelian.ini", "[SYSTEM]\r\nThreads=0\r\nnowarn=0\r\n");
    Start();
    window().DNSSearch->click();
    window().DHCPSearch->click();
    const std::size_t dns = window().LVModel->count();
    const std::size_t reverse = window().LV3Model->count();
    const std::size_t dhcp = window().LV2Model->count();
    ASSERT_GT(dns, 0u);
    ASSERT_GT(dhcp, 0u);
    EXPECT_TRUE(fs::exists(program.Path() / "data" / "ACME" / "zones.ini"));
    End();

    Start();
    EXPECT_EQ(static_cast<std::size_t>(window().LVModel->count()), dns);
    EXPECT_EQ(static_cast<std::size_t>(window().LV3Model->count()), reverse);
    EXPECT_EQ(static_cast<std::size_t>(window().LV2Model->count()), dhcp);
    EXPECT_GE(window().LVModel->row(0).stateIndex, 0); // the age class of the cached section

    // The page change reloads after a check mark changed.
    QTreeWidget* zones = window().zonelist;
    const QRect zoneRow = zones->visualItemRect(zones->topLevelItem(1));
    window().zonelistMouseDown(QPoint(zoneRow.left() + 4, zoneRow.center().y()));
    window().PC->setCurrentIndex(TForm1::PageDNS);
    EXPECT_TRUE(services.messages().contains("Read from local cache"));
    EXPECT_LT(static_cast<std::size_t>(window().LVModel->count() + window().LV3Model->count()),
              dns + reverse);
    EXPECT_EQ(Tag(window().LV), 0);

    // "Reload trees" empties the cache: a reload pending then reads the directory, and "Read from
    // local cache" is not offered.
    window().PC->setCurrentIndex(TForm1::PageZones);
    window().MiscSearch->click();
    services.clearCalls();
    for (int click = 0; click < 2; ++click) {
        const QRect row = zones->visualItemRect(zones->topLevelItem(1));
        window().zonelistMouseDown(QPoint(row.left() + 4, row.center().y()));
    }
    ASSERT_NE(Tag(window().LV), 0);
    window().PC->setCurrentIndex(TForm1::PageDNS);
    EXPECT_FALSE(services.messages().contains("Read from local cache"))
        << services.messages().join("|").toStdString();
    EXPECT_EQ(static_cast<std::size_t>(window().LVModel->count()), dns);
}

#endif
