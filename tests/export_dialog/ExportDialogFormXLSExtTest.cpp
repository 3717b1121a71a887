// The workbook extensions page: the tree of sheet objects, their numbering, adding and deleting, the
// hyperlinks' format and the number edits.

#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace exporter {
namespace {

class NoDialogs : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool OpenFileName(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor&) override { return false; }
    bool Question(QWidget*, const QString&, const QString&) override { return false; }
    void ShowError(QWidget*, const QString&) override {}
    void ShowMessage(QWidget*, const QString&) override {}
};

class XLSExtensions : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        page = std::make_unique<QWidget>();
        pages = new TExportXLSPages(page.get(), options, services);
        pages->ShowOptions({"ID", "NAME"});
        ext = &pages->Extensions();
        tree = ext->tvXLSExtensions;
    }
    QTreeWidgetItem* Root(TXlsExtensionKind kind) { return ext->Extensions().Root(kind); }
    QStringList Children(QTreeWidgetItem* node) {
        QStringList texts;
        for (int i = 0; i < node->childCount(); ++i)
            texts << node->child(i)->text(0);
        return texts;
    }
    void Add(QTreeWidgetItem* at) {
        tree->setCurrentItem(at);
        ext->tbtAddXLSExtension->click();
    }
    void Delete(QTreeWidgetItem* at) {
        tree->setCurrentItem(at);
        ext->tbtDelXLSExtension->click();
    }

    TExportXLSOptions options;
    NoDialogs services;
    std::unique_ptr<QWidget> page;
    TExportXLSPages* pages = nullptr;
    TExportXLSExtensionsPage* ext = nullptr;
    QTreeWidget* tree = nullptr;
};

TEST_F(XLSExtensions, TheTreeHasFiveRoots) {
    ASSERT_EQ(tree->topLevelItemCount(), 5);
    QStringList roots;
    for (int i = 0; i < 5; ++i)
        roots << tree->topLevelItem(i)->text(0);
    EXPECT_EQ(roots, (QStringList{"Hyperlinks", "Notes", "Charts", "Cells", "Merged Cells"}));
    EXPECT_FALSE(ext->tbtDelXLSExtension->isEnabled());
    EXPECT_FALSE(ext->edXLSHyperlinkRow->isEnabled()); // a root shows a disabled page
}

TEST_F(XLSExtensions, HyperlinksAreNumberedByTheFirstFreeNumber) {
    QTreeWidgetItem* root = Root(xekHyperlink);
    for (int i = 0; i < 3; ++i)
        Add(root);
    EXPECT_EQ(Children(root), (QStringList{"Hyperlink_1", "Hyperlink_2", "Hyperlink_3"}));
    ASSERT_EQ(options.Hyperlinks.Count(), 3u);
    EXPECT_EQ(options.Hyperlinks.Items(2).Title, "Hyperlink_3");
    EXPECT_TRUE(options.Hyperlinks.Items(0).Format.Font.Equals(options.HyperlinkFormat.Font));
    EXPECT_EQ(tree->currentItem(), root->child(2));
    EXPECT_TRUE(ext->edXLSHyperlinkRow->isEnabled());

    Delete(root->child(1));
    EXPECT_EQ(tree->currentItem(), root->child(1)); // the next one takes its place
    EXPECT_EQ(options.Hyperlinks.Count(), 2u);
    Add(root->child(0));
    EXPECT_EQ(Children(root), (QStringList{"Hyperlink_1", "Hyperlink_3", "Hyperlink_2"}));
    EXPECT_EQ(options.Hyperlinks.Items(2).Title, "Hyperlink_2");

    // A root deletes every object below it.
    Delete(root);
    EXPECT_EQ(root->childCount(), 0);
    EXPECT_EQ(options.Hyperlinks.Count(), 0u);
    EXPECT_EQ(tree->currentItem(), root);
}

TEST_F(XLSExtensions, ChartsComeWithTheirSeriesFolder) {
    Add(Root(xekChart));
    QTreeWidgetItem* chart = Root(xekChart)->child(0);
    EXPECT_EQ(chart->text(0), QStringLiteral("Chart_1"));
    ASSERT_EQ(chart->childCount(), 1);
    QTreeWidgetItem* folder = chart->child(0);
    EXPECT_EQ(folder->text(0), QStringLiteral("Series"));
    Add(folder);
    Add(folder->child(0));
    EXPECT_EQ(Children(folder), (QStringList{"Series_1", "Series_2"}));
    ASSERT_EQ(options.Charts.Count(), 1u);
    EXPECT_EQ(options.Charts.Items(0).Series.Count(), 2u);

    Delete(folder->child(0));
    EXPECT_EQ(options.Charts.Items(0).Series.Count(), 1u);
    EXPECT_EQ(options.Charts.Items(0).Series.Items(0).Title, "Series_2");
    Delete(folder);
    EXPECT_EQ(folder->childCount(), 0);
    EXPECT_EQ(chart->childCount(), 1); // the folder stays
    EXPECT_EQ(options.Charts.Items(0).Series.Count(), 0u);
}

TEST_F(XLSExtensions, DeletingTheOnlyNoteSelectsTheRoot) {
    Add(Root(xekNote));
    EXPECT_EQ(Children(Root(xekNote)), (QStringList{"Note_1"}));
    Delete(Root(xekNote)->child(0));
    EXPECT_EQ(tree->currentItem(), Root(xekNote));
    EXPECT_EQ(options.Notes.Count(), 0u);
}

TEST_F(XLSExtensions, NumberEditsStoreWhatTheFieldHolds) {
    EXPECT_EQ(ExtensionNumberFromText("abc", 65535), 0);
    EXPECT_EQ(ExtensionNumberFromText("70000", 65535), 65535);
    EXPECT_EQ(ExtensionNumberFromText("-3", 255), 0);
    EXPECT_EQ(ExtensionNumberFromText("99999999999999999999999", 255), 255);

    Add(Root(xekCell));
    EXPECT_EQ(Root(xekCell)->child(0)->text(0), QStringLiteral("Cell(Col: 0 Row: 0)"));
    ext->edXLSCellCol->setText(QStringLiteral("3"));
    ext->NumberEditExit(ext->edXLSCellCol);
    ext->edXLSCellRow->setText(QStringLiteral("abc"));
    ext->NumberEditExit(ext->edXLSCellRow);
    EXPECT_EQ(ext->edXLSCellRow->text(), QStringLiteral("0"));
    EXPECT_EQ(options.Cells.Items(0).Col, 3);
    EXPECT_EQ(Root(xekCell)->child(0)->text(0), QStringLiteral("Cell(Col: 3 Row: 0)"));

    ext->cbXLSCellType->setCurrentIndex(ctNumeric);
    emit ext->cbXLSCellType->activated(ctNumeric);
    EXPECT_TRUE(ext->edXLSCellNumericFormat->isEnabled());
    EXPECT_FALSE(ext->edXLSCellDateTimeFormat->isEnabled());
    ext->edXLSCellValue->setText(QStringLiteral("12.5"));
    emit ext->edXLSCellValue->textEdited(QStringLiteral("12.5"));
    EXPECT_EQ(options.Cells.Items(0).CellType, ctNumeric);
    EXPECT_DOUBLE_EQ(options.Cells.Items(0).NumericValue, 12.5);

    Add(Root(xekMergedCells));
    EXPECT_EQ(Root(xekMergedCells)->child(0)->text(0), QStringLiteral("Merged Cells 1"));
    ext->edXLSMergedCellsLastRow->setText(QStringLiteral("70000"));
    ext->NumberEditExit(ext->edXLSMergedCellsLastRow);
    EXPECT_EQ(options.MergedCells.Items(0).LastRow, 65535);
    EXPECT_EQ(ext->edXLSMergedCellsLastRow->text(), QStringLiteral("65535"));
}

TEST_F(XLSExtensions, TheNoteAndChartEditorsEditTheSelectedObject) {
    Add(Root(xekNote));
    ext->edXLSNoteRow->setText(QStringLiteral("abc"));
    ext->NumberEditExit(ext->edXLSNoteRow);
    EXPECT_EQ(ext->edXLSNoteRow->text(), QStringLiteral("0"));
    ext->edXLSNoteCol->setText(QStringLiteral("7"));
    ext->NumberEditExit(ext->edXLSNoteCol);
    ext->mmXLSNoteLines->setPlainText(QStringLiteral("one\ntwo"));
    ASSERT_EQ(options.Notes.Count(), 1u);
    EXPECT_EQ(options.Notes.Items(0).Col, 7);
    EXPECT_EQ(options.Notes.Items(0).Lines, (std::vector<std::string>{"one", "two"}));

    Add(Root(xekChart));
    ext->edXLSChartTitle->setText(QStringLiteral("Sales"));
    emit ext->edXLSChartTitle->textEdited(QStringLiteral("Sales"));
    ext->chXLSChartShowLegend->click();
    EXPECT_EQ(options.Charts.Items(0).Title, "Sales");
    EXPECT_EQ(Root(xekChart)->child(0)->text(0), QStringLiteral("Chart_1")); // the node text stays
    EXPECT_FALSE(options.Charts.Items(0).ShowLegend);

    // Back on the note, the page shows the note again; a root shows nothing to edit.
    tree->setCurrentItem(Root(xekNote)->child(0));
    EXPECT_EQ(ext->mmXLSNoteLines->toPlainText(), QStringLiteral("one\ntwo"));
    tree->setCurrentItem(Root(xekNote));
    EXPECT_FALSE(ext->mmXLSNoteLines->isEnabled());
    EXPECT_EQ(options.Notes.Items(0).Lines.size(), 2u);
}

TEST_F(XLSExtensions, TheHyperlinkFormatReachesEveryHyperlink) {
    Add(Root(xekHyperlink));
    Add(Root(xekHyperlink));
    pages->pcXLSFormats->setCurrentIndex(1);
    QListWidget* list = pages->lstXLSOptions;
    list->clearSelection();
    list->item(4)->setSelected(true);
    list->setCurrentItem(list->item(4), QItemSelectionModel::NoUpdate);
    pages->lstXLSFieldsChange(list);
    pages->btnFontBold->click();
    for (std::size_t i = 0; i < 2; ++i)
        EXPECT_TRUE(options.Hyperlinks.Items(i).Format.Font.Has(xfsBold)) << i;

    // The title edit renames the node.
    tree->setCurrentItem(Root(xekHyperlink)->child(0));
    ext->edXLSHyperlinkTitle->setText(QStringLiteral("Home"));
    emit ext->edXLSHyperlinkTitle->textEdited(QStringLiteral("Home"));
    EXPECT_EQ(options.Hyperlinks.Items(0).Title, "Home");
    EXPECT_EQ(Root(xekHyperlink)->child(0)->text(0), QStringLiteral("Home"));
}

} // namespace
} // namespace exporter
