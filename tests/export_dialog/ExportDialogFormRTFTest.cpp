// The RTF page: the style lists and their editors, resetting, the strip styles and their .rst file.

#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormRTF.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "platform/ini/IniFile.h"
#include "tests/export_dialog/TestApplication.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <gtest/gtest.h>

namespace exporter {
namespace {

class RTFPageModel : public ::testing::Test {
protected:
    TExportRTFOptions options;
    TExportRTFPageModel model{options};
};

TEST_F(RTFPageModel, AnEditCopiesExactlyItsAttributeToTheOtherSelectedItems) {
    options.HeaderStyle.Font.Name = "Courier";
    options.HeaderStyle.Font.Size = 14;
    options.DataStyle.Font.Italic = true;
    model.SetSelection({0, 2}, 0); // HEADER current, DATA selected too

    ASSERT_TRUE(model.SetFontStyle(TRTFStyleAttribute::Bold, true));
    EXPECT_TRUE(options.HeaderStyle.Font.Bold);
    EXPECT_TRUE(options.DataStyle.Font.Bold);
    // Nothing else went across: DATA keeps its own name, size and italic; CAPTION and FOOTER are untouched.
    EXPECT_EQ(options.DataStyle.Font.Name, "Arial");
    EXPECT_EQ(options.DataStyle.Font.Size, 10);
    EXPECT_TRUE(options.DataStyle.Font.Italic);
    EXPECT_FALSE(options.HeaderStyle.Font.Italic);
    EXPECT_FALSE(options.FooterStyle.Font.Bold);

    // The combined view: fonts and sizes differ, so neither shows.
    TRTFStyleView view = model.View();
    EXPECT_TRUE(view.Selection);
    EXPECT_FALSE(view.FontName.has_value());
    EXPECT_EQ(view.FontSizeText, "");
    model.SetFontName("Times New Roman");
    model.SetFontSizeText("x");
    view = model.View();
    ASSERT_TRUE(view.FontName.has_value());
    EXPECT_EQ(*view.FontName, "Times New Roman");
    EXPECT_EQ(view.FontSizeText, "10");
    EXPECT_EQ(options.DataStyle.Font.Size, 10);

    options.DataStyle.AllowHighlight = true;
    EXPECT_EQ(model.View().AllowHighlight, TRTFCheckState::Grayed);
    EXPECT_EQ(model.View().AllowBackground, TRTFCheckState::Checked);
    model.SetAllowHighlight(false);
    EXPECT_FALSE(options.DataStyle.AllowHighlight);
    EXPECT_EQ(model.View().AllowHighlight, TRTFCheckState::Unchecked);
}

TEST_F(RTFPageModel, ColoursAndAlignmentNeedASelectionAndAnUnchangedColourIsNoEdit) {
    EXPECT_FALSE(model.SetFontColor(0x0000FF)); // no current item
    model.SetSelection({1, 3}, 3);
    EXPECT_EQ(model.CurrentItem(), 3);
    EXPECT_TRUE(model.SetBackgroundColor(0x00FF00));
    EXPECT_EQ(options.FooterStyle.BackgroundColor, 0x00FF00u);
    EXPECT_EQ(options.CaptionStyle.BackgroundColor, 0x00FF00u);
    EXPECT_EQ(options.CaptionStyle.HighlightColor, 0xFFFFFFu);
    EXPECT_FALSE(model.SetBackgroundColor(0x00FF00));

    // Center up again sets left; left is always left.
    model.SetAlignment(TrtfTextAlignment::talRight, true);
    EXPECT_EQ(options.CaptionStyle.Alignment, TrtfTextAlignment::talRight);
    model.SetAlignment(TrtfTextAlignment::talCenter, false);
    EXPECT_EQ(options.CaptionStyle.Alignment, TrtfTextAlignment::talLeft);
    EXPECT_EQ(options.FooterStyle.Alignment, TrtfTextAlignment::talLeft);

    model.SetSelection({}, 1);
    EXPECT_EQ(model.CurrentStyle(), nullptr);
}

TEST_F(RTFPageModel, ResetGivesEachItemItsOwnDefault) {
    options.CaptionStyle.Font.Size = 20;
    options.DataStyle.Font.Bold = true;
    options.HeaderStyle.Font.Bold = true;
    model.SetSelection({1}, 1);
    ASSERT_TRUE(model.ResetItem());
    EXPECT_TRUE(options.CaptionStyle.Font.Bold);
    EXPECT_EQ(options.CaptionStyle.Alignment, TrtfTextAlignment::talCenter);
    EXPECT_EQ(options.CaptionStyle.Font.Size, 10);
    model.SetSelection({2}, 2);
    model.ResetItem();
    EXPECT_FALSE(options.DataStyle.Font.Bold);
    EXPECT_EQ(options.DataStyle.Alignment, TrtfTextAlignment::talLeft);
    EXPECT_TRUE(options.HeaderStyle.Font.Bold);

    options.StripStyles.Add().Font.Italic = true;
    model.ResetRTFStyles();
    EXPECT_FALSE(options.HeaderStyle.Font.Bold);
    EXPECT_FALSE(options.StripStyles[0].Font.Italic);
    EXPECT_TRUE(options.CaptionStyle.Font.Bold);
}

TEST_F(RTFPageModel, StripListDeletesRenumberAndMovesSwapStyles) {
    model.SetCurrentList(TRTFStyleList::Strip);
    for (int i = 0; i < 3; ++i)
        options.StripStyles[model.AddStrip()].Font.Size = 10 + i;
    EXPECT_EQ(model.Caption(TRTFStyleList::Strip, 2), "ITEM_3");
    EXPECT_EQ(model.DeleteStrip(1), 1);
    ASSERT_EQ(model.Count(TRTFStyleList::Strip), 2);
    EXPECT_EQ(model.Caption(TRTFStyleList::Strip, 0), "ITEM_1");
    EXPECT_EQ(model.Caption(TRTFStyleList::Strip, 1), "ITEM_2");
    EXPECT_EQ(options.StripStyles[1].Font.Size, 12);
    EXPECT_EQ(model.DeleteStrip(1), 0); // the last one: the new last is selected

    model.AddStrip();
    options.StripStyles[1].Font.Size = 30;
    EXPECT_EQ(model.MoveStrip(1, -1), 0);
    EXPECT_EQ(options.StripStyles[0].Font.Size, 30);
    EXPECT_EQ(options.StripStyles[1].Font.Size, 10);
    EXPECT_EQ(model.Caption(TRTFStyleList::Strip, 0), "ITEM_1");
    EXPECT_EQ(model.MoveStrip(0, -1), -1);

    TRTFStripButtons b = model.StripButtons(0);
    EXPECT_TRUE(b.Delete && b.MoveDown && b.Save);
    EXPECT_FALSE(b.MoveUp);
    b = model.StripButtons(-1);
    EXPECT_FALSE(b.Delete || b.MoveUp || b.MoveDown);
}

TEST_F(RTFPageModel, StripStyleFileRoundTrip) {
    test::TempDir dir;
    const std::string file = dir.file("styles.rst");
    {
        ini::IniFile other(file);
        other.WriteString("Other", "Key", "1");
    }
    for (int i = 0; i < 3; ++i) {
        TrtfStyle& s = options.StripStyles.Add();
        s.Font.Size = 8 + i;
        s.BackgroundColor = TExportColor(0x101010 * (i + 1));
        s.Alignment = TrtfTextAlignment::talFill;
    }
    model.SaveStripStyles(file);
    EXPECT_EQ(test::ReadFile(file).find("[Other]"), std::string::npos);

    TExportRTFOptions loaded;
    loaded.StripStyles.Add();
    TExportRTFPageModel other(loaded);
    other.LoadStripStyles(file);
    ASSERT_EQ(loaded.StripStyles.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(other.Caption(TRTFStyleList::Strip, i), "ITEM_" + std::to_string(i));
        EXPECT_EQ(loaded.StripStyles[i].Font.Size, 8 + i);
        EXPECT_EQ(loaded.StripStyles[i].BackgroundColor, TExportColor(0x101010 * (i + 1)));
        EXPECT_EQ(loaded.StripStyles[i].Alignment, TrtfTextAlignment::talFill);
    }

    // A file without strip sections empties the list.
    test::WriteFile(file, "[RTF_STYLE_DATA]\r\nFontSize=12\r\n");
    other.LoadStripStyles(file);
    EXPECT_EQ(loaded.StripStyles.Count(), 0);
}

// --- the page's controls ---

class ScriptedRTFServices : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString&, const QString& suffix, QString& name) override {
        suffixes.push_back(suffix);
        name = fileName;
        return !fileName.isEmpty();
    }
    bool OpenFileName(QWidget*, const QString&, const QString& suffix, QString& name) override {
        suffixes.push_back(suffix);
        name = fileName;
        return !fileName.isEmpty();
    }
    bool InputQuery(QWidget*, const QString&, const QString&, QString&) override { return false; }
    bool PickColor(QWidget*, QColor& c) override {
        c = color;
        return pick;
    }
    bool Question(QWidget*, const QString& title, const QString&) override {
        questions.push_back(title);
        return answer;
    }
    void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
    void ShowMessage(QWidget*, const QString&) override {}

    QString fileName;
    QColor color{0x11, 0x22, 0x33};
    bool pick = true;
    bool answer = true;
    std::vector<QString> questions, suffixes, errors;
};

class RTFPage : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        pagePtr = std::make_unique<TExporterRTFPage>(options, services);
    }
    template <typename T> T* Find(const char* name) {
        T* w = pagePtr->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void Select(QListWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int row : rows) {
            list->setCurrentRow(row, QItemSelectionModel::Select);
        }
    }

    TExportRTFOptions options;
    ScriptedRTFServices services;
    std::unique_ptr<TExporterRTFPage> pagePtr;
};

TEST_F(RTFPage, ControlsAreNamedAndTheBaseListShowsTheFourStyles) {
    for (const char* name :
         {"pcRTF", "tsRTFDataStyles", "tsRTFAdvanced", "pcRTFStyles", "tsRTFBaseStyles", "tsRTFStripStyles",
          "tbRTFStripStyles", "paRTFStyle", "pbRTFSample", "pbRTFFontColor", "pbRTFBackgroundColor",
          "pbRTFHighlightColor", "rgRTFStripType", "rgRTFPageOrientation"})
        EXPECT_NE(pagePtr->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name :
         {"tbtAddRTFStyle", "tbtDelRTFStyle", "tbtMoveRTFStyleUp", "tbtMoveRTFStyleDown", "tbtLoadRTFStyle",
          "tbtSaveRTFStyle", "bRTFFontBold", "bRTFFontItalic", "bRTFFontStrikeOut", "bRTFFontUnderline",
          "bRTFFontLeft", "bRTFFontCenter", "bRTFFontRight", "bRTFFontFill"})
        Find<QToolButton>(name);
    for (const char* name :
         {"bRTFFontColor", "bRTFBackgroundColor", "bRTFHighlightColor", "bRTFResetItem", "bRTFResetAll"})
        Find<QPushButton>(name);
    Find<QCheckBox>("chRTFAllowBackground");
    Find<QCheckBox>("chRTFAllowHighlight");
    EXPECT_EQ(Find<QComboBox>("cbRTFFontSize")->count(), 16);
    auto* base = Find<QListWidget>("lstRTFBaseStyles");
    ASSERT_EQ(base->count(), 4);
    EXPECT_EQ(base->item(1)->text(), QStringLiteral("CAPTION"));
    EXPECT_EQ(base->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(Find<QListWidget>("lstRTFStripStyles")->selectionMode(), QAbstractItemView::SingleSelection);
}

TEST_F(RTFPage, BoldOnTwoSelectedItemsAndTheCombinedView) {
    auto* base = Find<QListWidget>("lstRTFBaseStyles");
    options.DataStyle.Font.Name = "Courier";
    pagePtr->ShowState();
    Select(base, {0, 2});
    EXPECT_EQ(Find<QPushButton>("bRTFResetItem")->text(), QStringLiteral("Reset selected"));
    EXPECT_EQ(Find<QComboBox>("cbRTFFont")->currentIndex(), -1);
    Find<QToolButton>("bRTFFontBold")->click();
    EXPECT_TRUE(options.HeaderStyle.Font.Bold);
    EXPECT_TRUE(options.DataStyle.Font.Bold);
    EXPECT_FALSE(options.CaptionStyle.Font.Italic);

    Find<QPushButton>("bRTFFontColor")->click();
    EXPECT_EQ(options.HeaderStyle.Font.Color, 0x332211u);
    EXPECT_EQ(options.DataStyle.Font.Color, 0x332211u);
    EXPECT_EQ(options.FooterStyle.Font.Color, 0u);

    auto* size = Find<QComboBox>("cbRTFFontSize");
    size->lineEdit()->setText(QStringLiteral("16"));
    emit size->lineEdit()->textEdited(size->lineEdit()->text());
    EXPECT_EQ(options.HeaderStyle.Font.Size, 16);
    EXPECT_EQ(options.DataStyle.Font.Size, 16);
    EXPECT_EQ(options.CaptionStyle.Font.Size, 10);

    Select(base, {3});
    EXPECT_EQ(Find<QPushButton>("bRTFResetItem")->text(), QStringLiteral("Reset item"));
    EXPECT_FALSE(Find<QToolButton>("bRTFFontBold")->isChecked());
    EXPECT_TRUE(Find<QToolButton>("bRTFFontLeft")->isChecked());
    Find<QToolButton>("bRTFFontCenter")->click();
    EXPECT_EQ(options.FooterStyle.Alignment, TrtfTextAlignment::talCenter);
    EXPECT_FALSE(Find<QToolButton>("bRTFFontLeft")->isChecked());
}

TEST_F(RTFPage, ResetAllAsksAndNoKeepsTheStyles) {
    auto* base = Find<QListWidget>("lstRTFBaseStyles");
    options.HeaderStyle.Font.Size = 30;
    Select(base, {0});
    services.answer = false;
    Find<QPushButton>("bRTFResetAll")->click();
    ASSERT_EQ(services.questions.size(), 1u);
    EXPECT_EQ(services.questions[0], QStringLiteral("Attention!"));
    EXPECT_EQ(options.HeaderStyle.Font.Size, 30);
    services.answer = true;
    Find<QPushButton>("bRTFResetAll")->click();
    EXPECT_EQ(options.HeaderStyle.Font.Size, 10);
    EXPECT_TRUE(options.CaptionStyle.Font.Bold);
    EXPECT_TRUE(base->item(0)->isSelected());
}

TEST_F(RTFPage, StripToolsOrientationAndTheStyleFile) {
    Find<QTabWidget>("pcRTFStyles")->setCurrentIndex(1);
    auto* strips = Find<QListWidget>("lstRTFStripStyles");
    EXPECT_FALSE(Find<QToolButton>("tbtSaveRTFStyle")->isEnabled());
    for (int i = 0; i < 3; ++i)
        Find<QToolButton>("tbtAddRTFStyle")->click();
    ASSERT_EQ(strips->count(), 3);
    EXPECT_EQ(strips->item(2)->text(), QStringLiteral("ITEM_3"));
    EXPECT_EQ(strips->currentRow(), 2);
    EXPECT_FALSE(Find<QToolButton>("tbtMoveRTFStyleDown")->isEnabled());
    EXPECT_TRUE(Find<QToolButton>("tbtMoveRTFStyleUp")->isEnabled());
    Find<QToolButton>("bRTFFontItalic")->click();
    Find<QToolButton>("tbtMoveRTFStyleUp")->click();
    EXPECT_TRUE(options.StripStyles[1].Font.Italic);
    EXPECT_EQ(strips->currentRow(), 1);
    Find<QToolButton>("tbtDelRTFStyle")->click();
    ASSERT_EQ(strips->count(), 2);
    EXPECT_EQ(strips->item(1)->text(), QStringLiteral("ITEM_2"));
    EXPECT_EQ(strips->currentRow(), 1);

    test::TempDir dir;
    services.fileName = QString::fromStdString(dir.file("s.rst"));
    Find<QToolButton>("tbtSaveRTFStyle")->click();
    Find<QToolButton>("tbtAddRTFStyle")->click();
    Find<QToolButton>("tbtLoadRTFStyle")->click();
    ASSERT_EQ(strips->count(), 2);
    EXPECT_EQ(strips->item(0)->text(), QStringLiteral("ITEM_0"));
    EXPECT_EQ(strips->currentRow(), 0);
    EXPECT_EQ(services.suffixes.back(), QStringLiteral("rst"));

    // A file that cannot be written is reported, and the list stays as it was.
    services.fileName = QString::fromStdString(dir.file("missing/dir/s.rst"));
    Find<QToolButton>("tbtSaveRTFStyle")->click();
    EXPECT_EQ(services.errors.size(), 1u);
    EXPECT_EQ(strips->count(), 2);

    auto orientation = Find<QGroupBox>("rgRTFPageOrientation")->findChildren<QRadioButton*>();
    ASSERT_EQ(orientation.size(), 2);
    orientation[1]->click();
    EXPECT_EQ(options.PageOrientation, TExportPageOrientation::poLandscape);
    auto stripTypes = Find<QGroupBox>("rgRTFStripType")->findChildren<QRadioButton*>();
    ASSERT_EQ(stripTypes.size(), 3);
    stripTypes[2]->click();
    EXPECT_EQ(options.StripType, TrtfStripType::stRow);
}

// The page opens, and comes back after MS Word is chosen, with its first style selected, so the font
// choice and B/I/U work at once; the font choice offers the exporter's default font, installed or not.
TEST(RTFPageOnTheForm, OpensWithTheFirstStyleSelectedAndOffersTheDefaultFont) {
    test::EnsureApplication();
    test::DialogOnDataSet source(1);
    TExporterDialog& dialog = source.dialog;
    ScriptedRTFServices services;
    TExporterDialogFormWindow form(dialog, &services);
    form.show();
    form.SelectExportType(TAllowedExport::aeWord);
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("Pages"));
    QWidget* tab = form.findChild<QWidget*>(QStringLiteral("tshRTF"));
    pages->setCurrentWidget(tab);
    auto* base = tab->findChild<QListWidget*>(QStringLiteral("lstRTFBaseStyles"));
    auto* font = tab->findChild<QComboBox*>(QStringLiteral("cbRTFFont"));
    ASSERT_EQ(base->selectedItems().size(), 1);
    EXPECT_EQ(base->currentRow(), 0);
    EXPECT_TRUE(font->isEnabled());
    EXPECT_EQ(font->currentText(), QStringLiteral("Arial"));
    tab->findChild<QToolButton*>(QStringLiteral("bRTFFontItalic"))->click();
    EXPECT_TRUE(form.FormState().RTF.HeaderStyle.Font.Italic);

    // Choosing the type again refills the lists: the first style is selected again.
    pages->setCurrentIndex(0);
    form.SelectExportType(TAllowedExport::aeRTF);
    form.SelectExportType(TAllowedExport::aeWord);
    EXPECT_EQ(base->selectedItems().size(), 1);
    pages->setCurrentWidget(tab);
    EXPECT_TRUE(font->isEnabled());
}

TEST(RTFPageOnTheForm, TheFormsPageEditsTheFormsOptions) {
    test::EnsureApplication();
    test::DialogOnDataSet source(1);
    TExporterDialog& dialog = source.dialog;
    dialog.RTFOptions.StripStyles.Add();
    dialog.RTFOptions.StripStyles.Add();
    ScriptedRTFServices services;
    TExporterDialogFormWindow form(dialog, &services);
    QWidget* tab = form.findChild<QWidget*>(QStringLiteral("tshRTF"));
    ASSERT_NE(tab, nullptr);
    auto* page = tab->findChild<TExporterRTFPage*>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(&page->Model().Options(), &form.FormState().RTF);
    auto* strips = tab->findChild<QListWidget*>(QStringLiteral("lstRTFStripStyles"));
    ASSERT_EQ(strips->count(), 2);
    EXPECT_EQ(strips->item(1)->text(), QStringLiteral("ITEM_2"));
}

} // namespace
} // namespace exporter
