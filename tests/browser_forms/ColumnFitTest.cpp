// The columns of the window's record lists, object lists and attribute panes: sized to their content
// after a fill, capped, and the user's widths kept until the list is filled again.
#include "browser/lists/ColumnFit.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/ScriptedServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using browser::RecordListKind;
using browser::RecordRow;
using browser::TForm1;

namespace {

RecordRow DhcpRow(const std::string& address, const std::string& type, const std::string& comment) {
    RecordRow row;
    row.list = RecordListKind::Dhcp;
    row.caption = address;
    row.subItems = {"workstation-" + address,
                    type,
                    "00:1B:21:3C:4D:5E",
                    "2024-08-20 13:45:10",
                    "2024-09-04 13:45:10",
                    comment,
                    "obj"};
    return row;
}

// Lets the window's events run long enough for a pending fit.
void RunEvents() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 250)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

int TextWidth(const QTreeView* view, const QString& text) {
    return view->fontMetrics().horizontalAdvance(text);
}

// A drag on the header, as the user resizes a column.
void UserResizes(QTreeView* view, int column, int width) {
    QWidget* header = view->header()->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), header->mapToGlobal(QPointF(1, 1)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(header, &press);
    view->header()->resizeSection(column, width);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(1, 1), header->mapToGlobal(QPointF(1, 1)),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(header, &release);
}

class ColumnFit : public ::testing::Test {
protected:
    ColumnFit() { window->Timer1->stop(); }

    browser::ScriptedServices services;
    browser::Forms forms;
    std::unique_ptr<TForm1> window = std::make_unique<TForm1>(services, forms);
};

} // namespace

TEST_F(ColumnFit, RecordListColumnsOpenWideEnoughForTheirTextsAndNoWiderThanTheCap) {
    QTreeView* list = window->LV2;
    window->LV2Model->appendRows({DhcpRow("10.16.0.4", "Fixed Host Dynamic", "desk"),
                                  DhcpRow("10.16.0.5", "Dynamic", std::string(400, 'c'))});
    RunEvents();
    for (const char* text : {"10.16.0.4", "workstation-10.16.0.4", "Fixed Host Dynamic", "00:1B:21:3C:4D:5E",
                             "2024-08-20 13:45:10"}) {
        bool fits = false;
        for (int column = 0; column < 6; ++column)
            fits = fits || list->columnWidth(column) > TextWidth(list, QString::fromLatin1(text));
        EXPECT_TRUE(fits) << text;
    }
    EXPECT_GT(list->columnWidth(2), TextWidth(list, QStringLiteral("Fixed Host Dynamic")));
    EXPECT_GT(list->columnWidth(3), TextWidth(list, QStringLiteral("00:1B:21:3C:4D:5E")));
    EXPECT_LE(list->columnWidth(6), browser::kMaxFittedColumnWidth);
    // A header wider than its column's texts keeps the header readable.
    EXPECT_GE(list->columnWidth(5), list->header()->sectionSizeHint(5));
}

TEST_F(ColumnFit, AUsersWidthStaysWhileRowsArriveAndGoesWithTheNextFill) {
    QTreeView* list = window->LV2;
    window->LV2Model->appendRows({DhcpRow("10.16.0.4", "Fixed Host Dynamic", "desk")});
    RunEvents();
    UserResizes(list, 2, 30);
    window->LV2Model->appendRows({DhcpRow("10.16.0.5", "Unauthorized", "more")});
    RunEvents();
    EXPECT_EQ(list->columnWidth(2), 30);

    window->LV2Model->clear();
    window->LV2Model->appendRows({DhcpRow("10.16.0.6", "Fixed Host Dynamic", "again")});
    RunEvents();
    EXPECT_GT(list->columnWidth(2), TextWidth(list, QStringLiteral("Fixed Host Dynamic")));
}

TEST_F(ColumnFit, ObjectListsAndPanesFitTheirRowsToo) {
    const QString subnet = QStringLiteral("10_16_0_0");
    const QString context = QStringLiteral("DHCP.Headquarters.ACME-Corporation");
    window->netslist->addTopLevelItem(new QTreeWidgetItem(QStringList{subnet, context}));
    const QString label = QStringLiteral("Config parameters");
    window->netslist2->addTopLevelItem(new QTreeWidgetItem(QStringList{label, QStringLiteral("x")}));
    RunEvents();
    // The subnet column also holds the state image and class icon (32 pixels).
    EXPECT_GT(window->netslist->columnWidth(0), TextWidth(window->netslist, subnet));
    EXPECT_GT(window->netslist->columnWidth(1), TextWidth(window->netslist, context));
    EXPECT_GT(window->netslist2->columnWidth(0), TextWidth(window->netslist2, label));
}

// Far more rows than the view measures itself: the widest text of each column stands in one row
// that sorting by address moves to the end, out of sight, and a text in another script stands in
// a row of its own.
TEST_F(ColumnFit, AWideTextAnywhereInALongListWidensItsColumnAfterFillAndSort) {
    QTreeView* list = window->LV;
    list->resize(700, 300);
    std::vector<RecordRow> rows;
    const auto dnsRow = [](const std::string& address, const std::string& name, const std::string& zone) {
        RecordRow row;
        row.caption = address;
        row.subItems = {name, "A", zone, "", "obj"};
        return row;
    };
    for (int i = 0; i < 5000; ++i)
        rows.push_back(dnsRow("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250),
                              "h" + std::to_string(i), "z.example"));
    const std::string wideName = "a-rather-long-host-name-of-the-last-row";
    const std::string wideZone =
        "\xD0\x96\xD0\x96\xD0\x96\xD0\x96\xD0\x96\xD0\x96\xD0\x96\xD0\x96.example"; // Cyrillic
    rows.insert(rows.begin() + 17, dnsRow("10.255.255.254", wideName, "z.example"));
    rows.insert(rows.begin() + 2500, dnsRow("10.0.0.1", "h", wideZone));
    window->LVModel->appendRows(rows);
    window->SortRecordListBy(RecordListKind::Dns, 0);
    RunEvents();
    ASSERT_EQ(window->LVModel->row(window->LVModel->count() - 1).subItems[0], wideName);
    EXPECT_GT(list->columnWidth(0), TextWidth(list, QStringLiteral("10.255.255.254")));
    EXPECT_GT(list->columnWidth(1), TextWidth(list, QString::fromStdString(wideName)));
    EXPECT_GT(list->columnWidth(3), TextWidth(list, QString::fromStdString(wideZone)));
    // Without rows the search finds none.
    EXPECT_EQ(browser::WidestTextRows(*window->LVModel, 0, {0, 1}, list->font(), 100),
              (std::vector<browser::WidestRows>{{}, {}}));
}

// In the window at its default size, the address column holds the whole cell of every row, also of a
// row whose text is a little narrower than the widest but carries a record picture, out of sight.
TEST_F(ColumnFit, AnAddressWithItsPictureFitsBesideAWiderAddressWithout) {
    window->resize(1363, 600); // as it opens on a screen of 1920 x 1080
    window->show();
    window->PC->setCurrentWidget(window->DNSPage);
    QTreeView* list = window->LV;
    const auto dnsRow = [](const std::string& address, int image) {
        RecordRow row;
        row.caption = address;
        row.imageIndex = image;
        row.subItems = {"h", "A", "z.example", "", "obj"};
        return row;
    };
    std::vector<RecordRow> rows;
    for (int i = 0; i < 3000; ++i)
        rows.push_back(dnsRow("10.0." + std::to_string(i / 250) + "." + std::to_string(i % 250), 3));
    rows.insert(rows.begin() + 10, dnsRow("10.254.166.183", -1));
    rows.insert(rows.begin() + 20, dnsRow("10.254.166.18", 3));
    window->LVModel->appendRows(rows);
    window->SortRecordListBy(RecordListKind::Dns, 0);
    RunEvents();
    const int last = window->LVModel->count() - 1;
    ASSERT_EQ(window->LVModel->row(last).caption, "10.254.166.183");
    ASSERT_FALSE(window->LVModel->data(window->LVModel->index(last - 1, 0), Qt::DecorationRole).isNull());
    for (int row : {last - 1, last}) {
        const QModelIndex cell = window->LVModel->index(row, 0);
        EXPECT_GE(list->columnWidth(0), list->sizeHintForIndex(cell).width()) << row;
        EXPECT_FALSE(list->visualRect(cell).intersects(list->viewport()->rect())) << "out of sight";
    }
}

// A tree column's cells stand in by the indentation of their rows, out of sight too.
TEST_F(ColumnFit, ATreeColumnCountsItsIndentation) {
    browser::RecordListModel model({QStringLiteral("Name"), QStringLiteral("Value")});
    QTreeView view;
    view.setModel(&model);
    view.setRootIsDecorated(true);
    view.resize(400, 200);
    view.show();
    std::vector<RecordRow> rows(3000);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].caption = "n" + std::to_string(i % 10);
        rows[i].subItems = {"v"};
    }
    rows.back().caption = "a-wider-name-at-the-end";
    model.appendRows(rows);
    browser::FitColumnsToContents(view);
    const QModelIndex widest = model.index(static_cast<int>(rows.size()) - 1, 0);
    EXPECT_GE(view.columnWidth(0), view.sizeHintForIndex(widest).width() + view.indentation());
}

// The widest text by its pixels, not by its length: narrow letters, wide letters, and a text in
// another script whose letters the estimate does not know.
TEST(WidestTextRows, TheWidestInPixelsWinsWhateverItsLength) {
    struct Texts : browser::ColumnTextSource {
        std::vector<std::string> column;
        std::string_view cellText(int row, int) const override {
            return column[static_cast<std::size_t>(row)];
        }
    } texts;
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    for (int i = 0; i < 3000; ++i)
        texts.column.push_back(i % 2 == 0 ? "iiiiiiiiiiiiiiii" : "1.1.1.1");
    texts.column[1234] = "WWWWWWWW";
    std::string greek;
    for (int i = 0; i < 20; ++i)
        greek += "\xCE\xA9"; // capital omega
    ASSERT_GT(metrics.horizontalAdvance(QString::fromUtf8("WWWWWWWW")),
              metrics.horizontalAdvance(QString::fromUtf8("iiiiiiiiiiiiiiii")));
    EXPECT_EQ(browser::WidestTextRows(texts, 3000, {0}, font, 10000)[0].plain, 1234);
    texts.column[2999] = greek;
    ASSERT_GT(metrics.horizontalAdvance(QString::fromStdString(greek)),
              metrics.horizontalAdvance(QString::fromUtf8("WWWWWWWW")));
    EXPECT_EQ(browser::WidestTextRows(texts, 3000, {0}, font, 10000)[0].plain, 2999);
}

// Only the widest estimates are measured whole: a text estimated wider than the widest but really
// narrower (letters of another script estimated at the widest advance) must not push the widest
// out, before or after it, nor must the rows with a picture push out those without one.
TEST(WidestTextRows, ATextEstimatedWiderButReallyNarrowerLeavesTheWidestIn) {
    struct Texts : browser::ColumnTextSource {
        std::vector<std::string> column;
        std::vector<bool> pictures;
        std::string_view cellText(int row, int) const override {
            return column[static_cast<std::size_t>(row)];
        }
        bool cellHasPicture(int row, int) const override { return pictures[static_cast<std::size_t>(row)]; }
    };
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    const std::string widest = "WWWWWW";
    std::string overestimated;
    for (int i = 0; i < 10; ++i)
        overestimated += "\xC4\xB1"; // dotless i: estimated at the font's widest advance
    ASSERT_LT(metrics.horizontalAdvance(QString::fromStdString(overestimated)),
              metrics.horizontalAdvance(QString::fromStdString(widest)));
    struct Case {
        const char* name;
        bool overestimatedFirst;
        int fillers; // narrow rows before the two
        bool picturedFillers;
    };
    for (const Case& order :
         {Case{"widest first", false, 100, false}, Case{"overestimated first", true, 100, false},
          Case{"heap just full", false, 63, false}, Case{"after pictured rows", true, 100, true}}) {
        SCOPED_TRACE(order.name);
        Texts texts;
        texts.column.assign(static_cast<std::size_t>(order.fillers), "ii");
        texts.pictures.assign(static_cast<std::size_t>(order.fillers), order.picturedFillers);
        const std::vector<std::string> two = order.overestimatedFirst
                                                 ? std::vector<std::string>{overestimated, widest}
                                                 : std::vector<std::string>{widest, overestimated};
        for (const std::string& text : two) {
            texts.column.push_back(text);
            texts.pictures.push_back(false);
        }
        const int widestRow = order.fillers + (order.overestimatedFirst ? 1 : 0);
        const browser::WidestRows found =
            browser::WidestTextRows(texts, static_cast<int>(texts.column.size()), {0}, font, 10000)[0];
        EXPECT_EQ(found.plain, widestRow);
        EXPECT_EQ(found.pictured >= 0, order.picturedFillers);
    }
}
