#include "ListRows.h"

#include "browser/lists/DNSSearch.h"
#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListSearch.h"
#include "browser/lists/ScriptedServices.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace lists_test;
using browser::FindMatchingRow;
using browser::SearchFields;
using browser::SearchState;

namespace {

SearchState State(std::string term, int kind, int last = -1) {
    return SearchState{std::move(term), kind, last};
}

TEST(FindMatchingRow, AddressSearchFindsCaptionsStartingWithTheTermAndStopsAtTheEnd) {
    const std::vector<RecordRow> rows = DnsRows();
    std::vector<int> hits;
    SearchState state = State("10.0", browser::kSearchByAddress);
    for (int found; (found = FindMatchingRow(rows, state)) >= 0;) {
        hits.push_back(found);
        state.LastFoundIndex = found;
    }
    EXPECT_EQ(hits, (std::vector<int>{0, 1, 3, 5, 6, 7}));
    EXPECT_EQ(FindMatchingRow(rows, State("10.0.0.9", browser::kSearchByAddress)), 6);
    EXPECT_EQ(FindMatchingRow(rows, State("0.0", browser::kSearchByAddress)), -1);
}

// Name and MAC searches say so when nothing matches; an address search finds nothing silently.
TEST(FindMatchingRow, NameAndMacSearchesReportATermNotFound) {
    for (const int kind : {browser::kSearchByAddress, browser::kSearchByName, browser::kSearchByMac}) {
        EXPECT_EQ(FindMatchingRow(DhcpRows(), State("99.9", kind)), -1) << kind;
        EXPECT_EQ(browser::NotFoundMessage(State("99.9", kind)),
                  kind == browser::kSearchByAddress ? "" : "99.9 not found")
            << kind;
    }
}

TEST(FindMatchingRow, NameSearchMatchesInsideTheNameIgnoringCase) {
    const std::vector<RecordRow> rows = DnsRows();
    EXPECT_EQ(FindMatchingRow(rows, State("ZET", browser::kSearchByName)), 4);
    EXPECT_EQ(FindMatchingRow(rows, State(" ai ", browser::kSearchByName)), 0);
    EXPECT_EQ(FindMatchingRow(rows, State("ai", browser::kSearchByName, 0)), 3);
    EXPECT_EQ(FindMatchingRow(rows, State("ai", browser::kSearchByName, 7)), -1);
    EXPECT_EQ(FindMatchingRow(rows, State("nothing", browser::kSearchByName)), -1);
}

TEST(FindMatchingRow, MacSearchLooksAtTheMacColumnOfTheDhcpList) {
    const std::vector<RecordRow> rows = DhcpRows();
    EXPECT_EQ(FindMatchingRow(rows, State("AA:BB:CC", browser::kSearchByMac)), 1);
    EXPECT_EQ(FindMatchingRow(rows, State("00:11:22:33:44:56", browser::kSearchByMac)), 2);
    // A last hit beyond the list (the list was refilled) finds nothing rather than failing.
    EXPECT_EQ(FindMatchingRow(rows, State("00", browser::kSearchByMac, 99)), -1);
}

TEST(SearchFields, TheFirstFilledFieldGivesTermAndKind) {
    const std::string macEmpty = "::::";
    SearchState state = State("old", browser::kSearchByName, 5);
    EXPECT_TRUE(browser::TakeSearchFields({"10.1", "www", "aa:bb:cc:dd:ee:ff"}, macEmpty, state));
    EXPECT_EQ(state.SearchTerm, "10.1");
    EXPECT_EQ(state.SearchKind, browser::kSearchByAddress);
    EXPECT_EQ(state.LastFoundIndex, -1);

    EXPECT_TRUE(browser::TakeSearchFields({"", "www", "aa:bb:cc:dd:ee:ff"}, macEmpty, state));
    EXPECT_EQ(state.SearchTerm, "www");
    EXPECT_EQ(state.SearchKind, browser::kSearchByName);

    EXPECT_TRUE(browser::TakeSearchFields({"", "", "aa:bb:cc:dd:ee:ff"}, macEmpty, state));
    EXPECT_EQ(state.SearchTerm, "AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(state.SearchKind, browser::kSearchByMac);

    EXPECT_FALSE(browser::TakeSearchFields({"", "", macEmpty}, macEmpty, state));
    EXPECT_EQ(state.SearchTerm, "");

    const SearchFields prefilled =
        browser::PrefillSearchFields(State("AA:BB", browser::kSearchByMac), macEmpty);
    EXPECT_EQ(prefilled.address, "");
    EXPECT_EQ(prefilled.name, "");
    EXPECT_EQ(prefilled.mac, "AA:BB");
    EXPECT_EQ(browser::PrefillSearchFields(State("10.", browser::kSearchByAddress), macEmpty).address, "10.");
}

// The dialog and the list view together, as the window's search commands use them.
class SearchDialog : public ::testing::Test {
protected:
    SearchDialog() {
        dnsModel.appendRows(DnsRows());
        dhcpModel.appendRows(DhcpRows());
        dnsView.setModel(&dnsModel);
        dhcpView.setModel(&dhcpModel);
        dnsView.setSelectionMode(QAbstractItemView::ExtendedSelection);
    }

    static std::vector<int> Selected(const QTreeView& view, const browser::RecordListModel& model) {
        std::vector<int> rows;
        for (const RecordRow* row : browser::SelectedRows(view, model))
            rows.push_back(static_cast<int>(row - model.rows().data()));
        return rows;
    }

    browser::ScriptedServices services;
    browser::TSearch dialog{services};
    browser::RecordListModel dnsModel{{"IP-address", "Name", "Rec Type", "Zone", "Info"}};
    browser::RecordListModel dhcpModel{
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"}};
    QTreeView dnsView;
    QTreeView dhcpView;
    SearchState state;
};

TEST_F(SearchDialog, NameSearchSelectsTheHitAndFindNextGoesOn) {
    bool macEnabled = true;
    services.queueDialog([&](QDialog&) {
        macEnabled = dialog.MaskEdit1->isEnabled();
        dialog.Edit1->setText("MAIL");
        dialog.BitBtn1->click();
    });
    ASSERT_TRUE(browser::AskSearchTerm(services, dialog, state, 0));
    EXPECT_FALSE(macEnabled);
    EXPECT_EQ(state.SearchTerm, "MAIL");

    browser::FindInList(services, dnsView, dnsModel, state);
    EXPECT_EQ(Selected(dnsView, dnsModel), (std::vector<int>{0}));
    EXPECT_EQ(state.LastFoundIndex, 0);
    browser::FindInList(services, dnsView, dnsModel, state); // F3
    EXPECT_EQ(Selected(dnsView, dnsModel), (std::vector<int>{3}));
    browser::FindInList(services, dnsView, dnsModel, state);
    browser::FindInList(services, dnsView, dnsModel, state);
    EXPECT_EQ(Selected(dnsView, dnsModel), (std::vector<int>{}));
    EXPECT_EQ(state.LastFoundIndex, 7);
    EXPECT_EQ(services.messages(), QStringList{"MAIL not found"});
}

TEST_F(SearchDialog, TheDialogOpensWithTheCurrentTermAndCancelKeepsIt) {
    state = State("10.0", browser::kSearchByAddress, 3);
    dialog.Edit1->setText("left over");
    dialog.MaskEdit1->setText("11:22:33:44:55:66");
    QString shownAddress, shownName, shownMac;
    services.queueDialog([&](QDialog&) {
        shownAddress = dialog.Edit2->text();
        shownName = dialog.Edit1->text();
        shownMac = dialog.MaskEdit1->text();
    });
    EXPECT_FALSE(browser::AskSearchTerm(services, dialog, state, 1));
    EXPECT_EQ(shownAddress, "10.0");
    EXPECT_EQ(shownName, "");
    EXPECT_EQ(shownMac, dialog.MacEmptyText());
    EXPECT_EQ(state.SearchTerm, "10.0");
    EXPECT_EQ(state.LastFoundIndex, 3);
    // Not on the other pages.
    EXPECT_FALSE(browser::AskSearchTerm(services, dialog, state, 3));
    EXPECT_EQ(services.modalForms().size(), 1);
}

TEST_F(SearchDialog, MacSearchOnTheDhcpPageUsesTheUpperCasedMac) {
    bool macEnabled = false;
    services.queueDialog([&](QDialog&) {
        macEnabled = dialog.MaskEdit1->isEnabled() && dialog.MacAddressLabel->isEnabled();
        dialog.BitBtn2->click(); // "Clear all"
        dialog.MaskEdit1->setText("aa:bb:cc:dd:ee:ff");
        dialog.BitBtn1->click();
    });
    ASSERT_TRUE(browser::AskSearchTerm(services, dialog, state, 2));
    EXPECT_TRUE(macEnabled);
    EXPECT_EQ(state.SearchKind, browser::kSearchByMac);
    EXPECT_EQ(state.SearchTerm, "AA:BB:CC:DD:EE:FF");
    browser::FindInList(services, dhcpView, dhcpModel, state);
    EXPECT_EQ(Selected(dhcpView, dhcpModel), (std::vector<int>{1}));
}

// An address search that finds nothing clears the selection and shows no message at all; the
// name search beside it still says so.
TEST_F(SearchDialog, AddressSearchFindingNothingShowsNoMessage) {
    state = State("10.0.0.1", browser::kSearchByAddress);
    browser::FindInList(services, dnsView, dnsModel, state);
    EXPECT_EQ(Selected(dnsView, dnsModel), (std::vector<int>{0}));
    state = State("99.", browser::kSearchByAddress);
    browser::FindInList(services, dnsView, dnsModel, state);
    EXPECT_EQ(Selected(dnsView, dnsModel), (std::vector<int>{}));
    EXPECT_EQ(state.LastFoundIndex, -1);
    EXPECT_TRUE(services.messages().isEmpty()) << services.messages().join("|").toStdString();
    state = State("99.", browser::kSearchByName);
    browser::FindInList(services, dnsView, dnsModel, state);
    EXPECT_EQ(services.messages(), QStringList{"99. not found"});
}

TEST_F(SearchDialog, OkWithEveryFieldEmptySearchesNothing) {
    state = State("www", browser::kSearchByName);
    services.queueDialog([&](QDialog&) {
        dialog.BitBtn2->click();
        dialog.BitBtn1->click();
    });
    EXPECT_FALSE(browser::AskSearchTerm(services, dialog, state, 0));
    EXPECT_EQ(state.SearchTerm, "");
}

} // namespace
