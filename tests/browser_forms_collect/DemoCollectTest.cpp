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
#include <QTreeWidget>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <regex>

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

// The README's first steps on the demo, done as it says, show what it says: the dialog by its
// caption, the trees offered, the pages and buttons by their names, and the numbers of rows.
TEST_F(DemoCollect, TheReadmesFirstStepsShowWhatItSays) {
    std::ifstream file(test_support::SourceFolder() / "README.md");
    const std::string readme((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::size_t begin = readme.find("First steps on the demo:");
    ASSERT_NE(begin, std::string::npos) << "the README says what to do first";
    ASSERT_LT(begin, readme.find("## More commands"));
    std::string steps = readme.substr(begin, readme.find("\n\n", begin) - begin);
    std::replace(steps.begin(), steps.end(), '\n', ' ');
    const auto says = [&steps](const std::string& text) {
        EXPECT_NE(steps.find(text), std::string::npos) << text << " in: " << steps;
    };
    const auto number = [&steps](const std::string& before) {
        const std::smatch found = [&] {
            std::smatch match;
            std::regex_search(steps, match, std::regex(before + " ([0-9]+)"));
            return match;
        }();
        return found.empty() ? -1 : std::stoi(found[1]);
    };

    QStringList offered;
    QString caption;
    services.queueDialog([&offered, &caption](QDialog& dialog) {
        auto& choice = dynamic_cast<TDNSTrees&>(dialog);
        caption = choice.windowTitle();
        for (int row = 0; row < choice.treesList->count(); ++row) {
            QListWidgetItem* item = choice.treesList->item(row);
            offered << item->text();
            EXPECT_EQ(item->checkState(), Qt::Unchecked);
        }
        choice.treesList->item(0)->setCheckState(Qt::Checked);
        choice.okButton->click();
    });
    programBlock = std::make_unique<Program>(*qApp, services, &environment);
    TForm1& form = window();
    form.show();
    form.Timer1Timer();
    says(caption.simplified().toStdString());
    says("the trees " + offered.join(QStringLiteral(" and ")).toStdString());
    says("Tick **" + offered.first().toStdString() + "** and press **" + "OK" + "**");
    says("**" + form.SelectTrees->text().toStdString() + "**");
    ASSERT_EQ(form.ActivePage(), PageMisc);
    says("page **" + form.PC->tabText(PageMisc).toStdString() + "**");

    form.SetActivePage(PageZones);
    says("page **" + form.PC->tabText(PageZones).toStdString() + "**");
    QTreeWidget* zones = form.zonelist;
    int zoneRows = 0; // below the tree's row; a blank row ends the tree
    for (int row = 1; row < zones->topLevelItemCount() && !zones->topLevelItem(row)->text(0).isEmpty();
         ++row) {
        EXPECT_EQ(RowState(zones->topLevelItem(row)), kStateChecked) << row;
        ++zoneRows;
    }
    says("three zones, all ticked");
    EXPECT_EQ(zoneRows, 3);

    says("**" + form.DNSSearch->text().toStdString() + "**");
    form.DNSSearch->click();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    says("page **" + form.PC->tabText(PageDNS).toStdString() + "** then lists");
    EXPECT_EQ(form.LVModel->count(), number("then lists"));
    says("**" + form.PC->tabText(PageRevDNS).toStdString() + "**");
    EXPECT_EQ(form.LV3Model->count(), number(form.PC->tabText(PageRevDNS).toStdString() + "\\*\\*"));

    form.SetActivePage(PageSubnets);
    says("**" + form.PC->tabText(PageSubnets).toStdString() + "** and **" +
         form.DHCPSearch->text().toStdString() + "**");
    form.DHCPSearch->click();
    ASSERT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(form.LV2Model->count(), number("for the"));
    says("page **" + form.PC->tabText(PageDHCP).toStdString() + "**");
}

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
