// The dialog's shared list routines and the samples they draw, checked item by item and pixel by pixel.

#include "export/dialog/ExporterDialogRoutines.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QPainter>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace exporter {
namespace {

class RoutinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        list.setSelectionMode(QAbstractItemView::ExtendedSelection);
        for (int i = 0; i < 5; ++i) {
            auto* item = new QListWidgetItem(QString(QChar('A' + i)), &list);
            SetListItemImage(*item, 10 + i);
            SetListItemData(*item, i * 100);
        }
    }
    std::string Captions(const QListWidget& view) const {
        std::string text;
        for (int row = 0; row < view.count(); ++row)
            text += view.item(row)->text().toStdString();
        return text;
    }
    std::string SelectedCaptions(const QListWidget& view) const {
        std::string text;
        for (int row = 0; row < view.count(); ++row)
            if (view.item(row)->isSelected())
                text += view.item(row)->text().toStdString();
        return text;
    }
    struct ApplicationFirst {
        ApplicationFirst() { test::EnsureApplication(); }
    } application; // before any widget
    QListWidget list;
};

TEST_F(RoutinesTest, ForEachSelectedItemWalksTheSelectionInEitherDirection) {
    list.item(1)->setSelected(true);
    list.item(3)->setSelected(true);
    list.item(4)->setSelected(true);
    std::string seen;
    auto collect = [&](QListWidgetItem& item) { seen += item.text().toStdString(); };

    ForEachSelectedItem(&list, false, false, collect);
    EXPECT_EQ(seen, "BDE");
    seen.clear();
    ForEachSelectedItem(&list, true, false, collect);
    EXPECT_EQ(seen, "EDB");
    seen.clear();
    ForEachSelectedItem(&list, true, true, collect);
    EXPECT_EQ(seen, "EDCBA");
    EXPECT_TRUE(list.updatesEnabled());

    ForEachSelectedItem(static_cast<QListWidget*>(nullptr), false, true, collect); // nothing, no crash
    EXPECT_EQ(seen, "EDCBA");
}

TEST_F(RoutinesTest, ForEachSelectedItemOnATreeListVisitsTopLevelItems) {
    QTreeWidget tree;
    tree.setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const char* caption : {"x", "y", "z"})
        new QTreeWidgetItem(&tree, QStringList{caption});
    tree.topLevelItem(0)->setSelected(true);
    tree.topLevelItem(2)->setSelected(true);
    std::string seen;
    ForEachSelectedItem(&tree, true, false,
                        [&](QTreeWidgetItem& item) { seen += item.text(0).toStdString(); });
    EXPECT_EQ(seen, "zx");
}

TEST_F(RoutinesTest, MoveListItemShiftsTheItemsBetweenAndKeepsSelectionWithTheItem) {
    QListWidgetItem* c = list.item(2);
    c->setSelected(true);
    list.setCurrentItem(c, QItemSelectionModel::NoUpdate);

    MoveListItem(c, 0);
    EXPECT_EQ(Captions(list), "CABDE");
    EXPECT_EQ(SelectedCaptions(list), "C");
    EXPECT_EQ(list.currentItem(), c);
    EXPECT_EQ(ListItemImage(*list.item(0)), 12);
    EXPECT_EQ(ListItemData(*list.item(0)).toInt(), 200);

    MoveListItem(c, 4);
    EXPECT_EQ(Captions(list), "ABDEC");
    EXPECT_EQ(SelectedCaptions(list), "C");

    MoveListItem(list.item(0), 2); // an unselected item stays unselected
    EXPECT_EQ(Captions(list), "BDAEC");
    EXPECT_EQ(SelectedCaptions(list), "C");
}

TEST_F(RoutinesTest, MoveListItemIgnoresImpossibleMoves) {
    MoveListItem(list.item(1), -1);
    MoveListItem(list.item(1), 1);
    MoveListItem(list.item(1), 5);
    MoveListItem(static_cast<QListWidgetItem*>(nullptr), 0);
    QListWidgetItem loose("loose");
    MoveListItem(&loose, 0);
    EXPECT_EQ(Captions(list), "ABCDE");
}

TEST_F(RoutinesTest, MoveListItemOnATreeList) {
    QTreeWidget tree;
    for (const char* caption : {"x", "y", "z"})
        new QTreeWidgetItem(&tree, QStringList{caption});
    QTreeWidgetItem* z = tree.topLevelItem(2);
    z->setSelected(true);
    MoveListItem(z, 0);
    EXPECT_EQ(tree.topLevelItem(0), z);
    EXPECT_EQ(tree.topLevelItem(1)->text(0), "x");
    EXPECT_TRUE(z->isSelected());
}

TEST_F(RoutinesTest, CopyListItemCopiesCaptionImageAndData) {
    QListWidgetItem target("other");
    CopyListItem(*list.item(3), target);
    EXPECT_EQ(target.text(), "D");
    EXPECT_EQ(ListItemImage(target), 13);
    EXPECT_EQ(ListItemData(target).toInt(), 300);
}

TEST_F(RoutinesTest, TransferListItemMovesToTheTargetAndSelectsTheNeighbour) {
    QListWidget target;
    new QListWidgetItem("T", &target);

    QListWidgetItem* added = TransferListItem(list.item(1), &target, true, -1);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(Captions(target), "TB");
    EXPECT_EQ(ListItemData(*added).toInt(), 100);
    EXPECT_EQ(Captions(list), "ACDE");
    EXPECT_EQ(SelectedCaptions(list), "C"); // the item now at the old index

    list.clearSelection();
    TransferListItem(list.item(3), &target, true, 0); // the last: the new last gets selected
    EXPECT_EQ(Captions(target), "ETB");
    EXPECT_EQ(Captions(list), "ACD");
    EXPECT_EQ(SelectedCaptions(list), "D");

    TransferListItem(list.item(0), &target, false, 99); // kept in the source, added at the end
    EXPECT_EQ(Captions(list), "ACD");
    EXPECT_EQ(Captions(target), "ETBA");

    EXPECT_EQ(TransferListItem(nullptr, &target, true, 0), nullptr);
    EXPECT_EQ(TransferListItem(list.item(0), nullptr, true, 0), nullptr);
    EXPECT_EQ(Captions(list), "ACD");
}

TEST_F(RoutinesTest, TransferringTheOnlyItemLeavesAnEmptySource) {
    QListWidget source, target;
    new QListWidgetItem("only", &source);
    TransferListItem(source.item(0), &target, true, -1);
    EXPECT_EQ(source.count(), 0);
    EXPECT_EQ(Captions(target), "only");
}

TEST_F(RoutinesTest, TransferListItemBetweenTreeLists) {
    QTreeWidget source, target;
    for (const char* caption : {"x", "y", "z"}) {
        auto* item = new QTreeWidgetItem(&source, QStringList{caption});
        item->setData(0, ListItemDataRole, QString(caption).toUpper());
    }
    QTreeWidgetItem* added = TransferListItem(source.topLevelItem(2), &target, true, -1);
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->text(0), "z");
    EXPECT_EQ(added->data(0, ListItemDataRole).toString(), "Z");
    EXPECT_EQ(source.topLevelItemCount(), 2);
    EXPECT_TRUE(source.topLevelItem(1)->isSelected());
    EXPECT_FALSE(source.topLevelItem(0)->isSelected());
    EXPECT_EQ(TransferListItem(static_cast<QTreeWidgetItem*>(nullptr), &target, true, 0), nullptr);
}

TEST_F(RoutinesTest, ItemsOwnTheirObjectsAndStyleSettersReachThem) {
    auto style = std::make_shared<TrtfStyle>();
    std::weak_ptr<TrtfStyle> watch = style;
    auto* item = new QListWidgetItem("style", &list);
    SetListItemObject(*item, std::move(style));

    SetRtfStyleFontElem(item, TFontStyleElem::fsItalic, true);
    SetRtfStyleAlignment(item, TrtfTextAlignment::talRight);
    ASSERT_NE(ListItemObject<TrtfStyle>(item), nullptr);
    EXPECT_TRUE(ListItemObject<TrtfStyle>(item)->Font.Italic);
    EXPECT_EQ(ListItemObject<TrtfStyle>(item)->Alignment, TrtfTextAlignment::talRight);

    // An item with other data is left alone.
    SetRtfStyleFontElem(list.item(0), TFontStyleElem::fsBold, true);
    EXPECT_EQ(ListItemObject<TrtfStyle>(list.item(0)), nullptr);

    delete item;
    EXPECT_TRUE(watch.expired());

    TrtfStyle plain;
    QListWidgetItem referring("ref");
    SetListItemData(referring, QVariant::fromValue(&plain));
    SetRtfStyleFontElem(&referring, TFontStyleElem::fsStrikeOut, true);
    EXPECT_TRUE(plain.Font.StrikeOut);
}

TEST(RoutinesFonts, StyleElementsAndCaptionDefaults) {
    TxlsFont font;
    SetXlsFontStyleElem(font, xfsItalic, true);
    SetXlsFontStyleElem(font, xfsBold, true);
    SetXlsFontStyleElem(font, xfsItalic, false);
    EXPECT_EQ(font.Style, unsigned(xfsBold));

    TxlsFormat format;
    format.Font.Size = 20;
    format.Fill.Background = clrRed;
    SetDefaultXlsCaptionFormat(format);
    EXPECT_EQ(format.Font.Size, 10);
    EXPECT_EQ(format.Fill.Background, clrWhite);
    EXPECT_EQ(format.Font.Style, unsigned(xfsBold));

    TrtfStyle style;
    style.Font.Size = 30;
    style.AllowBackground = false;
    SetDefaultRtfCaptionStyle(style);
    EXPECT_EQ(style.Font.Size, 10);
    EXPECT_TRUE(style.AllowBackground);
    EXPECT_TRUE(style.Font.Bold);
    EXPECT_EQ(style.Alignment, TrtfTextAlignment::talCenter);

    test::EnsureApplication();
    QFont screen;
    SetFontStyleElem(screen, TFontStyleElem::fsUnderline, true);
    SetFontStyleElem(screen, TFontStyleElem::fsBold, true);
    SetFontStyleElem(screen, TFontStyleElem::fsBold, false);
    EXPECT_TRUE(screen.underline());
    EXPECT_FALSE(screen.bold());
}

TEST(RoutinesControls, PressAndReleaseMoveTheSwatchByOnePixel) {
    test::EnsureApplication();
    QWidget parent;
    QWidget swatch(&parent);
    swatch.move(10, 20);
    PressControl(&swatch);
    EXPECT_EQ(swatch.pos(), QPoint(11, 21));
    ReleaseControl(&swatch);
    EXPECT_EQ(swatch.pos(), QPoint(10, 20));
    PressControl(nullptr);
}

// --- pixels ---

QRgb Rgb(TxlsColor color) {
    return XlsColorToQColor(color).rgb();
}

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::gray);
    return image;
}

// The pixels of a colour in a rectangle of the image.
int CountPixels(const QImage& image, QRgb color, QRect area = {}) {
    if (area.isNull())
        area = image.rect();
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == color;
    return count;
}

TEST(RoutinesColors, PaletteColoursAndSwatches) {
    test::EnsureApplication();
    EXPECT_EQ(ColorToQColor(0x3399FF), QColor(0xFF, 0x99, 0x33)); // red in the low byte
    EXPECT_EQ(XlsColorToQColor(clrRed), QColor(Qt::red));
    EXPECT_EQ(XlsColorToQColor(static_cast<TxlsColor>(200)), QColor(Qt::black));

    QImage swatch = Canvas(12, 8);
    FillXlsColorRect(swatch, clrSkyBlue);
    EXPECT_EQ(CountPixels(swatch, Rgb(clrSkyBlue)), 12 * 8);
    FillColorRect(swatch, 0x0000FF);
    EXPECT_EQ(CountPixels(swatch, qRgb(255, 0, 0)), 12 * 8);
}

TEST(RoutinesFillPattern, TilesHaveTheirPixels) {
    test::EnsureApplication();
    auto tile = [](TxlsPattern pattern) {
        QImage image = Canvas(8, 8);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::red);
        DrawFillPatternSample(painter, pattern, 1, 1);
        painter.end();
        std::vector<QPoint> points;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (image.pixel(x, y) == qRgb(255, 0, 0))
                    points.emplace_back(x - 1, y - 1);
        return points;
    };
    EXPECT_TRUE(tile(ptNone).empty());
    EXPECT_TRUE(tile(ptSolid).empty());
    EXPECT_EQ(tile(ptGray50).size(), 8u);
    EXPECT_EQ(tile(ptGray75).size(), 12u);
    EXPECT_EQ(tile(ptHorStripe).size(), 8u);
    EXPECT_EQ(tile(ptThinThinSpots), (std::vector<QPoint>{{0, 0}, {4, 2}}));
    EXPECT_EQ(tile(ptGray25), (std::vector<QPoint>{{0, 0}, {2, 1}, {0, 2}, {2, 3}}));
    EXPECT_EQ(tile(ptThinVertStripe), (std::vector<QPoint>{{0, 0}, {0, 1}, {0, 2}, {0, 3}}));
    EXPECT_EQ(tile(ptThinDiagStripe), (std::vector<QPoint>{{4, 0}, {3, 1}, {2, 2}, {1, 3}}));
}

class XlsSampleTest : public ::testing::Test {
protected:
    void SetUp() override { test::EnsureApplication(); }
    QImage Draw(const TxlsFormat& format) {
        QImage image = Canvas(W, H);
        DrawXlsFormatSample(image, format);
        return image;
    }
    static constexpr int W = 200, H = 48;
    TxlsFormat format;
};

TEST_F(XlsSampleTest, FillsTheBackgroundAndTilesThePattern) {
    format.Fill.Background = clrLightYellow;
    QImage image = Draw(format);
    EXPECT_EQ(image.pixel(0, 0), Rgb(clrLightYellow));
    EXPECT_EQ(image.pixel(W - 1, H - 1), Rgb(clrLightYellow));

    format.Fill.Pattern = ptGray50;
    format.Fill.Foreground = clrBlue;
    image = Draw(format);
    // Far from the text (bottom left): the checkerboard of the foreground on the background.
    EXPECT_EQ(image.pixel(180, 4), Rgb(clrBlue));
    EXPECT_EQ(image.pixel(181, 4), Rgb(clrLightYellow));
    EXPECT_EQ(image.pixel(181, 5), Rgb(clrBlue));
}

TEST_F(XlsSampleTest, DrawsTheTextWhereTheAlignmentPutsIt) {
    format.Font.Color = clrRed;
    auto redIn = [&](const QImage& image, QRect area) { return CountPixels(image, Rgb(clrRed), area); };
    const QRect left(0, 0, W / 2, H), right(W / 2, 0, W / 2, H), top(0, 0, W, H / 2),
        bottom(0, H / 2, W, H / 2);

    format.Alignment.Horizontal = halLeft;
    format.Alignment.Vertical = valBottom;
    QImage image = Draw(format);
    EXPECT_GT(redIn(image, left), 0);
    EXPECT_EQ(redIn(image, right), 0);
    EXPECT_GT(redIn(image, bottom), redIn(image, top));

    format.Alignment.Horizontal = halRight;
    format.Alignment.Vertical = valTop;
    image = Draw(format);
    EXPECT_EQ(redIn(image, left), 0);
    EXPECT_GT(redIn(image, right), 0);
    EXPECT_GT(redIn(image, top), redIn(image, bottom));
    // 5 pixels of margin on the right.
    EXPECT_EQ(redIn(image, QRect(W - 5, 0, 5, H)), 0);
}

TEST_F(XlsSampleTest, UnderlinesAddLinesAndAccountingKindsLeaveAGap) {
    format.Alignment.Vertical = valTop;
    const QRgb black = Rgb(clrBlack);
    const QImage plain = Draw(format);
    format.Font.Underline = fulSingle;
    const QImage single = Draw(format);
    format.Font.Underline = fulDouble;
    const QImage doubled = Draw(format);
    format.Font.Underline = fulSingleAccounting;
    const QImage accounting = Draw(format);

    EXPECT_GT(CountPixels(single, black), CountPixels(plain, black));
    EXPECT_GT(CountPixels(doubled, black), CountPixels(single, black));
    EXPECT_LT(CountPixels(accounting, black), CountPixels(single, black));
    EXPECT_GT(CountPixels(accounting, black), CountPixels(plain, black));

    // The underline's row: the row where the single underline adds the most pixels.
    int lineRow = -1, most = 0;
    for (int y = 0; y < H; ++y) {
        const int added =
            CountPixels(single, black, QRect(0, y, W, 1)) - CountPixels(plain, black, QRect(0, y, W, 1));
        if (added > most)
            most = added, lineRow = y;
    }
    ASSERT_GE(lineRow, 0);
    int first = W, last = -1;
    for (int x = 0; x < W; ++x)
        if (single.pixel(x, lineRow) == black)
            first = std::min(first, x), last = std::max(last, x);
    EXPECT_EQ(first, 5);
    const int middle = (first + last + 1) / 2;
    EXPECT_NE(accounting.pixel(middle, lineRow), black);
    EXPECT_EQ(accounting.pixel(first, lineRow), black);
    EXPECT_EQ(accounting.pixel(last, lineRow), black);
}

TEST_F(XlsSampleTest, BordersLieTwoPixelsInsideTheEdgeInTheirColourAndWidth) {
    format.Borders.Top = {bstThin, clrRed};
    format.Borders.Left = {bstThick, clrBlue};
    format.Borders.Bottom = {bstDouble, clrGreen};
    format.Borders.Right = {bstMedium, clrViolet};
    const QImage image = Draw(format);
    const QRgb background = Rgb(clrWhite);

    EXPECT_EQ(image.pixel(W / 2, 2), Rgb(clrRed));
    EXPECT_EQ(image.pixel(W / 2, 1), background);
    EXPECT_EQ(image.pixel(W / 2, 3), background);

    for (int x : {1, 2, 3})
        EXPECT_EQ(image.pixel(x, H / 2), Rgb(clrBlue)) << x;
    EXPECT_EQ(image.pixel(0, H / 2), background);
    EXPECT_EQ(image.pixel(4, H / 2), background);

    EXPECT_EQ(image.pixel(W / 2, H - 2), Rgb(clrGreen));
    EXPECT_EQ(image.pixel(W / 2, H - 3), background);
    EXPECT_EQ(image.pixel(W / 2, H - 4), Rgb(clrGreen)); // the second line towards the inside
    EXPECT_EQ(image.pixel(W / 2, H - 1), background);

    EXPECT_EQ(image.pixel(W - 2, H / 2), Rgb(clrViolet));
    EXPECT_EQ(image.pixel(W - 3, H / 2), Rgb(clrViolet));
    EXPECT_EQ(image.pixel(W - 1, H / 2), background);
}

TEST_F(XlsSampleTest, DashedAndDottedBordersFollowTheirRhythm) {
    format.Borders.Top = {bstDashDot, clrRed};
    format.Borders.Left = {bstDotted, clrBlue};
    const QImage image = Draw(format);
    auto top = [&](int x) { return image.pixel(x, 2) == Rgb(clrRed); };
    // dash 2..11, gap to 17, dot 17..18, gap to 24, the next dash from 24.
    EXPECT_EQ(image.pixel(2, 2), Rgb(clrBlue)); // the corner: the left border is drawn last
    EXPECT_TRUE(top(3));
    EXPECT_TRUE(top(11));
    EXPECT_FALSE(top(12));
    EXPECT_TRUE(top(17));
    EXPECT_TRUE(top(18));
    EXPECT_FALSE(top(19));
    EXPECT_TRUE(top(24));
    EXPECT_FALSE(top(W - 2)); // the line stops before its end point
    auto left = [&](int y) { return image.pixel(2, y) == Rgb(clrBlue); };
    EXPECT_TRUE(left(7));
    EXPECT_TRUE(left(8));
    EXPECT_FALSE(left(9));
    EXPECT_TRUE(left(12));
}

TEST(RoutinesBorderSample, ComboLinesRunFromTenPixelsInAtTheMiddle) {
    test::EnsureApplication();
    auto draw = [](TxlsBorderStyle style) {
        QImage image = Canvas(100, 20);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(Qt::red);
        DrawBorderStyleSample(style, painter, QRect(0, 0, 100, 20));
        return image;
    };
    const QRgb red = qRgb(255, 0, 0);
    QImage thin = draw(bstThin);
    EXPECT_EQ(thin.pixel(10, 10), red);
    EXPECT_EQ(thin.pixel(89, 10), red);
    EXPECT_NE(thin.pixel(9, 10), red);
    EXPECT_NE(thin.pixel(90, 10), red);
    EXPECT_EQ(CountPixels(thin, red), 80);

    QImage thick = draw(bstThick);
    EXPECT_EQ(CountPixels(thick, red), 240);

    QImage dashed = draw(bstDashed);
    EXPECT_EQ(dashed.pixel(16, 10), red);
    EXPECT_NE(dashed.pixel(17, 10), red);
    EXPECT_EQ(dashed.pixel(24, 10), red);

    QImage doubled = draw(bstDouble);
    EXPECT_EQ(doubled.pixel(50, 9), red);
    EXPECT_NE(doubled.pixel(50, 10), red);
    EXPECT_EQ(doubled.pixel(50, 11), red);

    QImage dashDotDot = draw(bstDashDotDot);
    EXPECT_EQ(dashDotDot.pixel(21, 10), red); // the dot 21..23
    EXPECT_NE(dashDotDot.pixel(24, 10), red);
    EXPECT_EQ(dashDotDot.pixel(28, 10), red); // the second dot 28..30
    EXPECT_EQ(dashDotDot.pixel(35, 10), red); // the next dash at 35

    QImage none = draw(bstNone);
    EXPECT_EQ(none.pixel(10, 10), qRgb(255, 255, 255));
    EXPECT_EQ(BorderStylePenWidth(bstNone), 0);
    EXPECT_EQ(BorderStylePenWidth(bstSlantedDashDot), 2);
    EXPECT_EQ(BorderStylePenWidth(bstHair), 1);
}

TEST(RoutinesComboItems, PatternItemNoneIsWhiteAndOthersTileInTheFormatColours) {
    test::EnsureApplication();
    QImage image = Canvas(40, 16);
    QPainter painter(&image);
    DrawFillPatternItem(painter, QRect(0, 0, 40, 16), ptHorStripe, clrYellow, clrBlue);
    painter.end();
    EXPECT_EQ(image.pixel(0, 0), Rgb(clrBlue));
    EXPECT_EQ(image.pixel(0, 2), Rgb(clrYellow));
    EXPECT_EQ(CountPixels(image, qRgb(128, 128, 128)), 0);

    QPainter again(&image);
    DrawFillPatternItem(again, QRect(0, 0, 40, 16), ptNone, clrYellow, clrBlue);
    again.end();
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(CountPixels(image, Rgb(clrBlue)), 0);
}

TEST(RoutinesRtfSample, BackgroundHighlightAndText) {
    test::EnsureApplication();
    TrtfStyle style;
    style.BackgroundColor = 0x0000FF; // red
    style.Font.Color = 0xFF0000;      // blue
    QImage image = Canvas(120, 40);
    DrawRtfStyleSample(image, style);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_GT(CountPixels(image, qRgb(0, 0, 255), QRect(30, 0, 60, 40)), 0);
    EXPECT_EQ(CountPixels(image, qRgb(0, 0, 255), QRect(0, 0, 20, 40)), 0);

    style.AllowBackground = false;
    DrawRtfStyleSample(image, style);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));

    style.AllowBackground = true;
    style.AllowHighlight = true;
    style.HighlightColor = 0x00FFFF; // yellow behind the text only
    DrawRtfStyleSample(image, style);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_GT(CountPixels(image, qRgb(255, 255, 0)), 0);
    EXPECT_EQ(CountPixels(image, qRgb(255, 255, 0), QRect(0, 0, 10, 40)), 0);

    style.HighlightColor = style.BackgroundColor;
    style.BackgroundColor = 0x00FFFF;
    style.HighlightColor = 0x00FFFF; // equal: no highlight box
    DrawRtfStyleSample(image, style);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 0));
}

} // namespace
} // namespace exporter
