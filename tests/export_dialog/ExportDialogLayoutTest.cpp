// The dialog's window laid out on a screen: on every page and every tab of every page, each visible control
// is the widget found at its own centre, so nothing covers it and a click there reaches it. With
// CORMELIAN_SCREENSHOT_DIR set, every page visited is also saved there as a PNG for a look by eye.

#include "DialogTestSupport.h"

#include "export/dialog/ExporterDialogFormWindow.h"
#include "export/dialog/ExporterDialogFormXLS.h"
#include "export/dialog/ExporterDialogFormXLSExt.h"
#include "tests/export_dialog/TestApplication.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <set>

namespace exporter {
namespace {

bool Inside(const QWidget* w, const QWidget* root, auto isKind) {
    for (const QWidget* p = w->parentWidget(); p && p != root; p = p->parentWidget())
        if (isKind(p))
            return true;
    return false;
}

// A widget the user works: buttons, edits, lists, sliders and the colour and sample boxes.
bool IsControl(const QWidget* w) {
    const bool control = qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
                         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
                         qobject_cast<const QAbstractSlider*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
                         qobject_cast<const QTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
                         dynamic_cast<const TXlsPaintBox*>(w);
    if (!control || qobject_cast<const QScrollBar*>(w))
        return false;
    // The parts of composite widgets are checked through their owner.
    return !Inside(w, w->window(), [](const QWidget* p) {
        return qobject_cast<const QTabBar*>(p) || qobject_cast<const QAbstractItemView*>(p) ||
               qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p);
    });
}

QString Name(const QWidget* w) {
    if (!w)
        return QStringLiteral("nothing");
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) + "(" +
                                           (qobject_cast<const QAbstractButton*>(w)
                                                ? qobject_cast<const QAbstractButton*>(w)->text()
                                                : QString()) +
                                           ")"
                                     : w->objectName();
}

class PageWalker {
public:
    explicit PageWalker(QWidget& window) : window_(window) {
        screenshots_ = qEnvironmentVariable("CORMELIAN_SCREENSHOT_DIR");
        if (!screenshots_.isEmpty())
            QDir().mkpath(screenshots_);
    }

    // Checks the controls of root, then every tab of the tab controls directly on it.
    void Visit(QWidget* root, const QString& where) {
        QApplication::processEvents();
        Check(root, where);
        for (QTabWidget* tabs : root->findChildren<QTabWidget*>()) {
            if (!tabs->isVisible() || Inside(tabs, root, [](const QWidget* p) {
                    return qobject_cast<const QTabWidget*>(p) != nullptr;
                }))
                continue;
            const int shown = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->isTabVisible(i))
                    continue;
                tabs->setCurrentIndex(i);
                Visit(tabs->widget(i), where + "/" + tabs->tabText(i).remove('&'));
            }
            tabs->setCurrentIndex(shown);
        }
    }

    std::vector<std::string> covered;
    int controlsChecked = 0;

private:
    void Check(QWidget* root, const QString& where) {
        if (!screenshots_.isEmpty() && shot_.insert(where).second) {
            QString file = where;
            file.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9]+")), QStringLiteral("_"));
            window_.grab().save(screenshots_ + QStringLiteral("/%1_").arg(shot_.size(), 3, 10, QChar('0')) +
                                file + ".png");
        }
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (!w->isVisible() || !IsControl(w))
                continue;
            ++controlsChecked;
            QWidget* hit = window_.childAt(w->mapTo(&window_, w->rect().center()));
            if (hit != w && !w->isAncestorOf(hit))
                covered.push_back((where + ": " + Name(w) + " under " + Name(hit)).toStdString());
        }
    }

    QWidget& window_;
    QString screenshots_;
    std::set<QString> shot_;
};

TEST(ExportDialogLayout, EveryVisibleControlOfEveryPageIsUncovered) {
    test::EnsureApplication();
    test::DialogOnDataSet source(2);
    TExporterDialog& dialog = source.dialog;
    // One object of every kind, so that each of the extension editors shows.
    TExportXLSOptions& xls = dialog.XLSOptions;
    xls.Hyperlinks.Add();
    xls.Notes.Add();
    xls.Charts.Add().Series.Add();
    xls.Cells.Add();
    xls.MergedCells.Add();
    TExporterDialogFormWindow form(dialog);
    form.show();

    PageWalker walker(form);
    for (TAllowedExport type :
         {TAllowedExport::aeTXT, TAllowedExport::aeCSV, TAllowedExport::aeRTF, TAllowedExport::aeHTML,
          TAllowedExport::aeXML, TAllowedExport::aeSQL, TAllowedExport::aePDF, TAllowedExport::aeXLS}) {
        form.SelectExportType(type);
        walker.Visit(&form, QString::number(int(type)));
    }
    // Every node kind of the extensions tree, with the cell's format tabs.
    TExportXLSPages& pages = form.XLSPages();
    form.findChild<QTabWidget*>(QStringLiteral("Pages"))
        ->setCurrentWidget(form.Page(TExportFormPage::tshXLS));
    pages.pcXLS->setCurrentIndex(2);
    TExportXLSExtensionsPage& ext = pages.Extensions();
    std::vector<QTreeWidgetItem*> nodes;
    for (int i = 0; i < ext.tvXLSExtensions->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = ext.tvXLSExtensions->topLevelItem(i);
        for (int j = 0; j < root->childCount(); ++j) {
            nodes.push_back(root->child(j));
            for (int k = 0; k < root->child(j)->childCount(); ++k)
                for (int m = 0; m < root->child(j)->child(k)->childCount(); ++m)
                    nodes.push_back(root->child(j)->child(k)->child(m));
        }
    }
    ASSERT_EQ(nodes.size(), 6u);
    for (QTreeWidgetItem* node : nodes) {
        ext.tvXLSExtensions->setCurrentItem(node);
        walker.Visit(ext.pcXLSExtensions->currentWidget(),
                     "XLS extension " + QString::number(TExportXLSExtensions::Kind(node)));
    }
    EXPECT_GT(walker.controlsChecked, 500);
    for (const std::string& line : walker.covered)
        ADD_FAILURE() << line;
}

} // namespace
} // namespace exporter
