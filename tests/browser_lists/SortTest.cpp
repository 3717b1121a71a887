#include "ListRows.h"

#include "browser/collection/CormelianSettings.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RecordListSort.h"
#include "directory/NWHelper.h"

#include <QItemSelectionModel>
#include <QPersistentModelIndex>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace lists_test;
using browser::CompareRowsByIP;
using browser::CormelianSettings;
using browser::DateFactsOf;
using browser::IPToNumber;
using browser::ListDateReader;
using browser::LVCompare;
using browser::SortOrder;

namespace {

std::vector<int> Order(const std::vector<RecordRow>& rows, int column, RecordListKind list) {
    return SortOrder(rows, column, list, ListDateReader());
}

TEST(IPToNumber, TakesEachGroupAndCountsTextThatIsNoNumberAsZero) {
    EXPECT_EQ(IPToNumber("10.20.30.40", 0), 10);
    EXPECT_EQ(IPToNumber("10.20.30.40", 1), 20);
    EXPECT_EQ(IPToNumber("10.20.30.40", 3), 40);
    EXPECT_EQ(IPToNumber("10.x.30", 1), 0);
    EXPECT_EQ(IPToNumber("10.20", 2), 0);
    EXPECT_EQ(IPToNumber("", 0), 0);
    EXPECT_EQ(IPToNumber("fe80::1", 0), 0);
}

TEST(CompareRowsByIP, OrdersByTheNumbersOfTheGroupsThenByName) {
    const auto dns = RecordListKind::Dns;
    EXPECT_LT(CompareRowsByIP(Row(dns, "10.0.0.9", {"b"}), Row(dns, "10.0.0.10", {"a"})), 0);
    EXPECT_GT(CompareRowsByIP(Row(dns, "10.0.1.0", {"a"}), Row(dns, "10.0.0.255", {"a"})), 0);
    EXPECT_LT(CompareRowsByIP(Row(dns, "10.0.0.1", {"a"}), Row(dns, "10.0.0.1", {"b"})), 0);
    EXPECT_GT(CompareRowsByIP(Row(dns, "10.0.0.1", {"b"}), Row(dns, "10.0.0.1", {"a"})), 0);
    // Rows with empty captions (SRV rows) go before 0.0.0.1.
    EXPECT_LT(CompareRowsByIP(Row(dns, "", {"_sip"}), Row(dns, "0.0.0.1", {"a"})), 0);
    // Equal keys compare equal, both ways.
    EXPECT_EQ(CompareRowsByIP(Row(dns, "10.0.0.1", {"a"}), Row(dns, "10.0.0.1", {"a"})), 0);
    // A row without sub-items goes before one with them at the same address.
    EXPECT_LT(CompareRowsByIP(Row(dns, "10.0.0.1", {}), Row(dns, "10.0.0.1", {"a"})), 0);
    EXPECT_EQ(CompareRowsByIP(Row(dns, "10.0.0.1", {}), Row(dns, "10.0.0.1", {})), 0);
}

TEST(ListDateReader, ReadsTheProgramsDateTimeFormat) {
    const ListDateReader standard;
    ASSERT_TRUE(standard.Read("2024-03-01 10:00:00").has_value());
    ASSERT_TRUE(standard.Read("2023-12-31 23:59:59").has_value());
    EXPECT_LT(*standard.Read("2023-12-31 23:59:59"), *standard.Read("2024-03-01 10:00:00"));
    EXPECT_FALSE(standard.Read("garbage").has_value());
    EXPECT_FALSE(standard.Read("").has_value());

    const ListDateReader dotted("dd.mm.yyyy hh:nn", '.', ':');
    ASSERT_TRUE(dotted.Read("01.03.2024 10:00").has_value());
    EXPECT_DOUBLE_EQ(*dotted.Read("01.03.2024 10:00"), *standard.Read("2024-03-01 10:00:00"));
}

// The DNS list by each of its sortable columns.
TEST(SortOrder, SortsTheDnsListByEveryColumn) {
    const std::vector<RecordRow> rows = DnsRows();
    // Address, then name; the three rows of "mail" keep their order (A, RP, MX).
    EXPECT_EQ(Order(rows, 0, RecordListKind::Dns), (std::vector<int>{2, 4, 5, 1, 6, 0, 3, 7}));
    // Name: ordinal, the empty name last, equal names by address.
    EXPECT_EQ(Order(rows, 1, RecordListKind::Dns), (std::vector<int>{4, 2, 5, 0, 3, 7, 1, 6}));
    // Type, equal types by address.
    EXPECT_EQ(Order(rows, 2, RecordListKind::Dns), (std::vector<int>{4, 5, 1, 6, 0, 7, 3, 2}));
    // Zone: ordinal, so "Example.com" before "beta.org".
    EXPECT_EQ(Order(rows, 3, RecordListKind::Dns), (std::vector<int>{6, 4, 2, 5, 1, 0, 3, 7}));
    // Info: ignoring case; empty texts first here.
    EXPECT_EQ(Order(rows, 4, RecordListKind::Dns), (std::vector<int>{4, 5, 0, 6, 7, 2, 3, 1}));
}

TEST(SortOrder, SortsTheReverseListByEveryColumn) {
    const std::vector<RecordRow> rows = ReverseRows();
    EXPECT_EQ(Order(rows, 0, RecordListKind::RevDns), (std::vector<int>{2, 1, 0, 3}));
    EXPECT_EQ(Order(rows, 1, RecordListKind::RevDns), (std::vector<int>{1, 3, 0, 2}));
    EXPECT_EQ(Order(rows, 2, RecordListKind::RevDns), (std::vector<int>{2, 1, 0, 3}));
    EXPECT_EQ(Order(rows, 3, RecordListKind::RevDns), (std::vector<int>{2, 3, 0, 1}));
}

TEST(SortOrder, SortsTheDhcpListByEveryColumn) {
    const std::vector<RecordRow> rows = DhcpRows();
    EXPECT_EQ(Order(rows, 0, RecordListKind::Dhcp), (std::vector<int>{1, 2, 0, 4, 3}));
    EXPECT_EQ(Order(rows, 1, RecordListKind::Dhcp), (std::vector<int>{2, 3, 1, 0, 4}));
    EXPECT_EQ(Order(rows, 2, RecordListKind::Dhcp), (std::vector<int>{3, 2, 0, 4, 1}));
    EXPECT_EQ(Order(rows, 3, RecordListKind::Dhcp), (std::vector<int>{0, 2, 4, 1, 3}));
    // Dates: earlier first; equal dates by address; rows without a readable date last.
    EXPECT_EQ(Order(rows, 4, RecordListKind::Dhcp), (std::vector<int>{2, 0, 3, 1, 4}));
    EXPECT_EQ(Order(rows, 5, RecordListKind::Dhcp), (std::vector<int>{3, 0, 1, 2, 4}));
    EXPECT_EQ(Order(rows, 6, RecordListKind::Dhcp), (std::vector<int>{2, 1, 0, 4, 3}));
}

TEST(SortOrder, DatesFollowTheConfiguredFormat) {
    const auto dhcp = RecordListKind::Dhcp;
    const std::vector<RecordRow> rows = {
        Row(dhcp, "10.0.0.1", {"a", "Dynamic", "", "02.01.2024 00:00", "", "", "o1"}),
        Row(dhcp, "10.0.0.2", {"b", "Dynamic", "", "01.02.2023 00:00", "", "", "o2"}),
    };
    EXPECT_EQ(SortOrder(rows, 4, dhcp, ListDateReader("dd.mm.yyyy hh:nn", '.', ':')),
              (std::vector<int>{1, 0}));
    // With the default format neither text is a date: both count as empty and go by address.
    EXPECT_EQ(SortOrder(rows, 4, dhcp, ListDateReader()), (std::vector<int>{0, 1}));
}

// One set of facts shows and reads every date, with separators the locale does not have.
TEST(SortOrder, DatesShownInTheSettingsFormatSortByLastUsed) {
    CormelianSettings settings;
    settings.dateTimeFormat = "dd/mm/yyyy hh:nn";
    settings.dateSeparator = '-';
    settings.timeSeparator = '.';
    const rtl::LocaleFacts facts = DateFactsOf(settings, rtl::LocaleFacts::Default()); // "/" and ":"
    const std::shared_ptr<const rtl::LocaleFacts> saved = directory::DateFacts();
    const std::string savedFormat = directory::DateTimeFormat();
    const bool savedUtc = directory::NoUTCConversion();
    directory::SetDateFacts(facts);
    directory::SetDateTimeFormat(settings.dateTimeFormat);
    directory::SetNoUTCConversion(true);
    const std::string older = directory::NDSTimeToText(1724162700); // 2024-08-20 14:05 UTC
    const std::string newer = directory::NDSTimeToText(1724249100); // a day later
    directory::SetDateFacts(*saved);
    directory::SetDateTimeFormat(savedFormat);
    directory::SetNoUTCConversion(savedUtc);
    EXPECT_EQ(older, "20-08-2024 14.05");
    EXPECT_EQ(newer, "21-08-2024 14.05");

    const auto dhcp = RecordListKind::Dhcp;
    const std::vector<RecordRow> rows = {
        Row(dhcp, "10.0.0.1", {"a", "Dynamic", "", newer, "", "", "o1"}),
        Row(dhcp, "10.0.0.2", {"b", "Dynamic", "", older, "", "", "o2"}),
    };
    EXPECT_EQ(SortOrder(rows, 4, dhcp, ListDateReader(facts)), (std::vector<int>{1, 0}));
}

TEST(SortOrder, ColumnsThatDoNotSortKeepTheOrder) {
    const std::vector<RecordRow> rows = DnsRows();
    EXPECT_EQ(Order(rows, 9, RecordListKind::Dns), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(LVCompare(rows[0], rows[1], 9, RecordListKind::Dns, ListDateReader()), 0);
    EXPECT_FALSE(browser::IsSortColumn(RecordListKind::Dns, 5));
    EXPECT_FALSE(browser::IsSortColumn(RecordListKind::RevDns, 4));
    EXPECT_TRUE(browser::IsSortColumn(RecordListKind::Dhcp, 6));
    EXPECT_FALSE(browser::IsSortColumn(RecordListKind::Dhcp, 7));
}

// Random rows drawn from few values, so that ties are frequent.
std::vector<RecordRow> RandomRows(RecordListKind list, std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    const std::vector<std::string> captions = {"", "10.0.0.1", "10.0.0.10", "10.0.0.9", "9.1.1.1", "x.y"};
    const std::vector<std::string> texts = {
        "", "a", "B", "b", "mail", "2024-01-01 00:00:00", "2023-05-05 12:00:00", "nonsense"};
    auto pick = [&](const std::vector<std::string>& from) {
        return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
    };
    std::vector<RecordRow> rows;
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<std::string> subItems;
        const std::size_t items = std::uniform_int_distribution<std::size_t>(0, 7)(random);
        for (std::size_t k = 0; k < items; ++k)
            subItems.push_back(pick(texts));
        rows.push_back(Row(list, pick(captions), subItems));
    }
    return rows;
}

// Every comparison is a strict weak ordering: antisymmetric and transitive, also in its ties,
// and the sort by keys agrees with a sort by the comparison itself.
TEST(LVCompare, IsAValidOrderingForEveryColumnOfEveryList) {
    const ListDateReader dates;
    for (const RecordListKind list : {RecordListKind::Dns, RecordListKind::RevDns, RecordListKind::Dhcp}) {
        const std::vector<RecordRow> rows = RandomRows(list, 24, 7u + static_cast<unsigned>(list));
        for (int column = 0; column <= 6; ++column) {
            auto compare = [&](const RecordRow& a, const RecordRow& b) {
                return LVCompare(a, b, column, list, dates);
            };
            for (const RecordRow& a : rows) {
                EXPECT_EQ(compare(a, a), 0);
                for (const RecordRow& b : rows) {
                    ASSERT_EQ(compare(a, b), -compare(b, a)) << "column " << column;
                    for (const RecordRow& c : rows) {
                        if (compare(a, b) <= 0 && compare(b, c) <= 0) {
                            ASSERT_LE(compare(a, c), 0) << "column " << column;
                        }
                    }
                }
            }
            std::vector<int> expected(rows.size());
            for (std::size_t i = 0; i < expected.size(); ++i)
                expected[i] = static_cast<int>(i);
            std::stable_sort(expected.begin(), expected.end(), [&](int a, int b) {
                return compare(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)]) < 0;
            });
            EXPECT_EQ(SortOrder(rows, column, list, dates), expected) << "column " << column;
        }
    }
}

TEST(SortRecordList, ReordersTheModelAndTheSelectionFollows) {
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    model.appendRows(DnsRows());
    QItemSelectionModel selection(&model);
    selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows); // www
    const QPersistentModelIndex www(model.index(1, 0));

    browser::SortRecordList(model, RecordListKind::Dns, 0, ListDateReader());
    EXPECT_EQ(Keys(model.rows()), (std::vector<std::string>{
                                      " _sip._tcp.host5", "9.255.0.1 Zeta", "10.0.0.2 alias", "10.0.0.2 www",
                                      "10.0.0.9 ", "10.0.0.10 mail", "10.0.0.10 mail", "10.0.0.10 mail"}));
    EXPECT_EQ(www.row(), 3);
    ASSERT_EQ(selection.selectedRows().size(), 1);
    EXPECT_EQ(selection.selectedRows().front().row(), 3);

    // Column 5 of the DNS list does not sort.
    const std::vector<RecordRow> before = model.rows();
    browser::SortRecordList(model, RecordListKind::Dns, 5, ListDateReader());
    EXPECT_EQ(model.rows(), before);
}

} // namespace
