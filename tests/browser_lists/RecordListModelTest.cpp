#include "browser/lists/RecordListModel.h"
#include "browser/lists/ImageList.h"

#include <QColor>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPixmap>
#include <QTreeView>

#include <gtest/gtest.h>

using browser::RecordListModel;
using browser::RecordRow;

namespace {

RecordRow Row(const std::string& caption, std::vector<std::string> subItems, int image = -1) {
    RecordRow row;
    row.caption = caption;
    row.subItems = std::move(subItems);
    row.imageIndex = image;
    return row;
}

QStringList DnsHeaders() {
    return {"IP-address", "Name", "Rec Type", "Zone", "Info"};
}

QString Cell(const RecordListModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

} // namespace

TEST(RecordListModel, ShowsCaptionAndSubItemsButNotTheHiddenObjectName) {
    RecordListModel model(DnsHeaders());
    model.appendRow(Row("10.0.0.1", {"www", "A", "example.com", "web", "www.example_com.DNS.ACME"}, 4));
    model.appendRow(Row("", {"_ldap._tcp"})); // fewer sub-items than columns
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Rec Type");
    EXPECT_FALSE(model.headerData(5, Qt::Horizontal).isValid());
    EXPECT_EQ(Cell(model, 0, 0), "10.0.0.1");
    EXPECT_EQ(Cell(model, 0, 4), "web");
    EXPECT_EQ(Cell(model, 1, 1), "_ldap._tcp");
    EXPECT_EQ(Cell(model, 1, 3), "");
    EXPECT_FALSE(model.index(0, 5).isValid());
    EXPECT_EQ(model.row(0).ObjectName(), "www.example_com.DNS.ACME");
    EXPECT_EQ(model.data(model.index(0, 0), RecordListModel::ImageIndexRole).toInt(), 4);
    EXPECT_EQ(model.data(model.index(1, 0), RecordListModel::RowReferenceRole).toInt(),
              browser::kNoRowReference);
}

TEST(RecordListModel, DecorationShowsTheStateImageBesideTheRecordImage) {
    browser::ImageList images("dnsicons");
    browser::ImageList states("status");
    QPixmap strip(16 * 3, 16);
    strip.fill(Qt::green);
    images.addStrip(strip);
    EXPECT_EQ(images.count(), 3);
    QPixmap red(16, 16);
    red.fill(Qt::red);
    states.addStrip(red);
    RecordListModel model(DnsHeaders());
    model.setImageLists(&images, &states);
    RecordRow cached = Row("10.0.0.1", {"a"}, 2);
    cached.stateIndex = 0;
    model.appendRow(cached);
    model.appendRow(Row("10.0.0.2", {"b"}, 2));
    model.appendRow(Row("10.0.0.3", {"c"}, 7)); // no such image
    const auto picture = [&model](int row) {
        return model.data(model.index(row, 0), Qt::DecorationRole).value<QIcon>().pixmap(32, 16).toImage();
    };
    // State left, record image right; a row without a state keeps its image in the same place.
    const QImage both = picture(0);
    ASSERT_EQ(both.size(), QSize(32, 16));
    EXPECT_EQ(QColor(both.pixel(4, 8)), QColor(Qt::red));
    EXPECT_EQ(QColor(both.pixel(24, 8)), QColor(Qt::green));
    const QImage imageOnly = picture(1);
    EXPECT_EQ(qAlpha(imageOnly.pixel(4, 8)), 0);
    EXPECT_EQ(QColor(imageOnly.pixel(24, 8)), QColor(Qt::green));
    EXPECT_FALSE(model.data(model.index(2, 0), Qt::DecorationRole).isValid());
    EXPECT_FALSE(model.data(model.index(1, 1), Qt::DecorationRole).isValid());
}

TEST(RecordListModel, EditingRowsKeepsTheRest) {
    RecordListModel model(DnsHeaders());
    model.appendRows({Row("1", {"a"}), Row("2", {"b"}), Row("3", {"c"})});
    model.setRow(1, Row("2", {"changed"}));
    EXPECT_EQ(Cell(model, 1, 1), "changed");
    model.removeRowAt(0);
    model.removeRowAt(7); // outside: nothing
    ASSERT_EQ(model.count(), 2);
    EXPECT_EQ(Cell(model, 0, 0), "2");
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(RecordListModel, SortIsStableAndSelectionFollowsTheRows) {
    RecordListModel model(DnsHeaders());
    model.appendRows({Row("b", {"1"}), Row("a", {"2"}), Row("b", {"3"}), Row("a", {"4"})});
    QTreeView view;
    view.setModel(&model);
    view.selectionModel()->select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QPersistentModelIndex kept(model.index(2, 1));

    model.sortRows([](const RecordRow& a, const RecordRow& b) { return a.caption.compare(b.caption); });

    QStringList order;
    for (int row = 0; row < model.count(); ++row)
        order << Cell(model, row, 1);
    EXPECT_EQ(order, QStringList({"2", "4", "1", "3"}));
    EXPECT_EQ(kept.row(), 3);
    EXPECT_EQ(kept.data().toString(), "3");
    const QModelIndexList selected = view.selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front().row(), 3);
}

TEST(RecordListModel, HundredThousandRowsFillAndSortQuickly) {
    RecordListModel model(
        {"IP-address", "Name", "Type", "Mac-address", "Last Used", "Expire Date", "Comment"});
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    std::vector<RecordRow> rows;
    rows.reserve(100000);
    for (int i = 0; i < 100000; ++i) {
        const int n = (i * 7919) % 100000;
        rows.push_back(Row("10." + std::to_string(n / 65536) + "." + std::to_string(n / 256 % 256) + "." +
                               std::to_string(n % 256),
                           {"host" + std::to_string(n), "Dynamic", "00:11:22:33:44:55", "", "", "", "obj"}));
    }
    QElapsedTimer clock;
    clock.start();
    for (std::size_t start = 0; start < rows.size(); start += 500) // in batches, as the scans hand them over
        model.appendRows(std::vector<RecordRow>(rows.begin() + static_cast<long>(start),
                                                rows.begin() + static_cast<long>(start + 500)));
    model.sortRows(
        [](const RecordRow& a, const RecordRow& b) { return a.subItems[0].compare(b.subItems[0]); });
    view.scrollToBottom();
    EXPECT_EQ(model.rowCount(), 100000);
    EXPECT_EQ(Cell(model, 0, 1), "host0");
    // Generous even under the sanitizers; an item widget list takes far longer.
    EXPECT_LT(clock.elapsed(), 10000);
}
