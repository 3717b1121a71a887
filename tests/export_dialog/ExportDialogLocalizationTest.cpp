// The dialog's window with a localisation that answers every id of the string table: every text a page
// shows comes from the table, on every tab of every type page, also after the workbook page's format tabs
// moved to the cell editor and back.

#include "DialogTestSupport.h"

#include "export/core/ExporterLocale.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "tests/export_dialog/TestApplication.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <set>

namespace exporter {
namespace {

// Texts that are data, names or symbols rather than words of the dialog.
bool IsNotAWord(const QString& text) {
    static const std::set<QString> kept = {"+",        "-",           "...",     "0%",       "100%",
                                           "Name",     "Count",       "Notes",   "Num",      "Age",
                                           "Item",     "Black&White", "Classic", "ColorFul", "Gray",
                                           "MS_Money", "Murky",       "Olive",   "Plain",    "Simple"};
    bool number = false;
    text.toDouble(&number);
    return text.isEmpty() || number || kept.count(text) > 0 || text.startsWith('#');
}

std::vector<std::string> EnglishTexts(QWidget* root) {
    std::vector<std::string> found;
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    const auto check = [&](QWidget* w, const QString& text) {
        if (!IsNotAWord(text))
            found.push_back(w->objectName().toStdString() + ": " + text.toStdString());
    };
    for (QWidget* w : widgets) {
        if (auto* label = qobject_cast<QLabel*>(w))
            check(w, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            check(w, button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w))
            check(w, group->title());
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                check(w, tabs->tabText(i));
        // Font choices list font families, the data columns' lists their names.
        if (auto* combo = qobject_cast<QComboBox*>(w);
            combo && !combo->isEditable() && !w->objectName().contains("Font") &&
            !w->objectName().contains("Column") && w->objectName() != "cbxHTMLTemplate")
            for (int i = 0; i < combo->count(); ++i)
                check(w, combo->itemText(i));
        if (auto* tree = qobject_cast<QTreeWidget*>(w))
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                check(w, tree->topLevelItem(i)->text(0));
        check(w, w->toolTip());
    }
    return found;
}

TEST(ExportDialogLocalization, EveryTextOfTheTypePagesComesFromTheTable) {
    test::EnsureApplication();
    test::DialogOnDataSet source(2);
    TExporterDialog& dialog = source.dialog;
    dialog.XLSOptions.Notes.Add();
    ExportLocale().OnLocalize = [](int id, std::string& text) { text = "#" + std::to_string(id); };
    TExporterDialogFormWindow form(dialog);
    // The cell editor borrows the format tabs and gives them back; the extension tools name the node.
    TExportXLSPages& xls = form.XLSPages();
    xls.pcXLS->setCurrentIndex(2);
    QTreeWidget* tree = xls.Extensions().tvXLSExtensions;
    tree->setCurrentItem(tree->topLevelItem(1)->child(0));
    xls.Extensions().trXLSNoteTransparency->setValue(30);
    xls.pcXLS->setCurrentIndex(0);
    ExportLocale().OnLocalize = nullptr;

    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("Pages"));
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_TRUE(pages->tabText(i).startsWith('#')) << pages->tabText(i).toStdString();
    for (TExportFormPage page : {TExportFormPage::tshRTF, TExportFormPage::tshHTML, TExportFormPage::tshXLS,
                                 TExportFormPage::tshPDF})
        for (const std::string& text : EnglishTexts(form.Page(page)))
            ADD_FAILURE() << ExportFormPageName(page) << " " << text;
    EXPECT_EQ(xls.Extensions().laXLSNoteTransparency->text(), QStringLiteral("#34283 - 30%"));
    // The page choices use the ids of the page formats, units and orientations.
    auto* format = form.findChild<QComboBox*>(QStringLiteral("cbPDFPageFormat"));
    EXPECT_EQ(format->itemText(0), QStringLiteral("#34026"));
    EXPECT_EQ(form.findChild<QComboBox*>(QStringLiteral("cbPDFPageOrientation"))->itemText(1),
              QStringLiteral("#34039"));
}

} // namespace
} // namespace exporter
