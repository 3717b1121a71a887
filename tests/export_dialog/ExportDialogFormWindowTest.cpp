// The dialog's window made headless: its named controls, the settings it shows, the pages per type, the
// texts from the string table, and an export run through the window into a CSV file.

#include "DialogTestSupport.h"

#include "export/core/ExporterLocale.h"
#include "export/dialog/ExporterDialogFormServices.h"
#include "export/dialog/ExporterDialogFormTexts.h"
#include "export/dialog/ExporterDialogFormWindow.h"
#include "platform/commit/CommitTesting.h"
#include "tests/export_dialog/TestApplication.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

namespace exporter {
namespace {

// Answers the form's modal dialogs from a script.
class ScriptedDialogServices : public TExportDialogServices {
public:
    bool SaveFileName(QWidget*, const QString& filter, const QString& suffix, QString& fileName) override {
        log.push_back("save:" + filter.toStdString() + "|" + suffix.toStdString());
        if (saveAnswer.isEmpty())
            return false;
        fileName = saveAnswer;
        return true;
    }
    bool OpenFileName(QWidget*, const QString&, const QString&, QString& fileName) override {
        if (openAnswer.isEmpty())
            return false;
        fileName = openAnswer;
        return true;
    }
    bool InputQuery(QWidget*, const QString& title, const QString& prompt, QString& value) override {
        log.push_back("input:" + title.toStdString() + "|" + prompt.toStdString() + "|" +
                      value.toStdString());
        if (inputAnswer.isEmpty())
            return false;
        value = inputAnswer;
        return true;
    }
    bool PickColor(QWidget*, QColor&) override { return false; }
    bool Question(QWidget*, const QString& title, const QString&) override {
        log.push_back("ask:" + title.toStdString());
        return false;
    }
    void ShowError(QWidget*, const QString& text) override { log.push_back("error:" + text.toStdString()); }
    void ShowMessage(QWidget*, const QString& text) override {
        log.push_back("message:" + text.toStdString());
    }

    QString saveAnswer, openAnswer, inputAnswer;
    std::vector<std::string> log;
};

template <typename T> T* Find(QWidget& form, const char* name) {
    T* w = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

class ExportDialogFormWindow : public ::testing::Test {
protected:
    void SetUp() override {
        test::EnsureApplication();
        test::FillDataSet(ds, 3);
        dialog.DataSet = &ds;
        dialog.Columns.Fill(true);
    }
    std::unique_ptr<TExporterDialogFormWindow> Make() {
        return std::make_unique<TExporterDialogFormWindow>(dialog, &services);
    }
    static std::vector<std::string> Items(QTreeWidget* list) {
        std::vector<std::string> items;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            items.push_back(list->topLevelItem(i)->text(0).toStdString());
        return items;
    }
    static bool TabVisible(QTabWidget* tabs, QWidget& form, const char* page) {
        return tabs->isTabVisible(tabs->indexOf(form.findChild<QWidget*>(QString::fromLatin1(page))));
    }
    static void Click(QWidget& form, TAllowedExport type) {
        auto* button = form.findChild<QAbstractButton*>(QStringLiteral("rgExportType_%1").arg(int(type)));
        ASSERT_NE(button, nullptr);
        button->click();
    }

    test::TempDir dir;
    TMemoryDataSet ds;
    TExporterDialog dialog;
    ScriptedDialogServices services;
};

TEST_F(ExportDialogFormWindow, EveryControlIsNamed) {
    auto form = Make();
    const char* widgets[] = {"paFileName",
                             "laFileName",
                             "edFileName",
                             "bBrowse",
                             "chShowFile",
                             "chPrintFile",
                             "paButtons",
                             "bStart",
                             "bCancel",
                             "bTools",
                             "Pages",
                             "tshExportType",
                             "pcExportType",
                             "tshExportFormats",
                             "rgExportType",
                             "tshExportOptions",
                             "gbExportConstraints",
                             "edSkipRecCount",
                             "chGoToFirstRecord",
                             "rbExportAllRecords",
                             "rbExportOnly",
                             "edExportRecCount",
                             "chCurrentRecordOnly",
                             "chExportEmpty",
                             "laSkipRecCount_01",
                             "laSkipRecCount_02",
                             "laExportRecCount_02",
                             "tshFields",
                             "lstAvailableFields",
                             "lstExportedFields",
                             "bAddOneExportedField",
                             "bAddAllExportedField",
                             "bDelOneExportedField",
                             "bDelAllExportedField",
                             "tshFormats",
                             "gbStandardFormats",
                             "edIntegerFormat",
                             "edFloatFormat",
                             "edDateFormat",
                             "edTimeFormat",
                             "edDateTimeFormat",
                             "edCurrencyFormat",
                             "edBooleanTrue",
                             "edBooleanFalse",
                             "edNullString",
                             "gbUserFormat",
                             "cbxFormatFields",
                             "cbxUserFormats",
                             "lstUserFormats",
                             "bAddUserFormat",
                             "bEditUserFormat",
                             "bDeleteUserFormat",
                             "bClearUserFormats",
                             "tshHeaderFooter",
                             "memHeader",
                             "memFooter",
                             "tshCaptions",
                             "chAllowCaptions",
                             "sgrCaptions",
                             "cbxColumnAlign",
                             "edColumnWidth",
                             "udColumnWidth",
                             "laCaptionRow",
                             "edCaptionRow",
                             "tshRTF",
                             "tshXML",
                             "tshSQL",
                             "tshHTML",
                             "tshXLS",
                             "tshASCII",
                             "tshPDF",
                             "tshPDFGridOptions",
                             "tshPDFPageOptions",
                             "chXMLStandalone",
                             "edXMLEncoding",
                             "edSQLTableName",
                             "chSQLCreateTable",
                             "edSQLCommitRecCount",
                             "chSQLCommitAfterScript",
                             "edSQLCommitStatement",
                             "edSQLNullString",
                             "edSQLStatementTerm",
                             "chTXTAutoCalcColWidth",
                             "edTXTSpacing",
                             "chCSVQuoteStrings",
                             "edCSVComma",
                             "edCSVQuote"};
    for (const char* name : widgets)
        EXPECT_NE(form->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    for (const char* name : {"miLoadOptions", "miSaveOptions"})
        EXPECT_NE(form->findChild<QAction*>(QString::fromLatin1(name)), nullptr) << name;
    // Every control the texts name exists.
    for (const TFormText& text : ExportDialogFormTexts())
        EXPECT_NE(form->findChild<QObject*>(QString::fromLatin1(text.Control)), nullptr) << text.Control;
    // The pages in tab order.
    auto* pages = Find<QTabWidget>(*form, "Pages");
    ASSERT_EQ(pages->count(), ExportFormPageCount);
    for (int i = 0; i < ExportFormPageCount; ++i)
        EXPECT_EQ(pages->widget(i)->objectName().toStdString(), ExportFormPageName(TExportFormPage(i)));
}

TEST_F(ExportDialogFormWindow, ShowsTheComponentsSettingsInItsControls) {
    dialog.FileName = dir.file("list.txt");
    dialog.ShowFile = false;
    dialog.ExportRecCount = 5;
    dialog.Header.Add("first");
    dialog.Header.Add("second");
    dialog.Formats.SetIntegerFormat("0000");
    dialog.SQLOptions.StatementTerm = "!";
    dialog.CSVOptions.Comma = '\t';
    dialog.AllowedExports = {TAllowedExport::aeCSV, TAllowedExport::aeSQL};
    auto form = Make();

    EXPECT_EQ(Find<QLineEdit>(*form, "edFileName")->text(), QString::fromStdString(dir.file("list.csv")));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Export dialog -- Export to [list.csv]"));
    EXPECT_FALSE(Find<QCheckBox>(*form, "chShowFile")->isChecked());
    EXPECT_EQ(Find<QLineEdit>(*form, "edExportRecCount")->text(), QStringLiteral("5"));
    EXPECT_TRUE(Find<QAbstractButton>(*form, "rbExportOnly")->isChecked());
    EXPECT_EQ(Find<QPlainTextEdit>(*form, "memHeader")->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edIntegerFormat")->text(), QStringLiteral("0000"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edSQLStatementTerm")->text(), QStringLiteral("!"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edCSVComma")->text(), QStringLiteral("#9"));
    EXPECT_EQ(Items(Find<QTreeWidget>(*form, "lstAvailableFields")),
              (std::vector<std::string>{"Name", "Count", "Notes"}));
    // Only the number and date columns take a user format; the samples follow the first.
    auto* fields = Find<QComboBox>(*form, "cbxFormatFields");
    ASSERT_EQ(fields->count(), 1);
    EXPECT_EQ(fields->itemText(0), QStringLiteral("Count"));
    EXPECT_EQ(Find<QComboBox>(*form, "cbxUserFormats")->currentText(), QStringLiteral("#,###,##0"));

    // The type group offers the allowed types in type order, the first chosen.
    auto* group = Find<QGroupBox>(*form, "rgExportType");
    const auto buttons = group->findChildren<QAbstractButton*>();
    ASSERT_EQ(buttons.size(), 2);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("CSV File"));
    EXPECT_EQ(buttons[1]->text(), QStringLiteral("SQL"));
    EXPECT_TRUE(buttons[0]->isChecked());
    // The tools button shows only with the save/load buttons.
    EXPECT_FALSE(Find<QPushButton>(*form, "bTools")->isEnabled());
}

TEST_F(ExportDialogFormWindow, UserEditsReachTheFormNotTheComponent) {
    auto form = Make();
    auto* fileName = Find<QLineEdit>(*form, "edFileName");
    fileName->setText(QStringLiteral("/tmp/new.xls"));
    emit fileName->textEdited(fileName->text());
    Find<QCheckBox>(*form, "chPrintFile")->click();
    auto* skip = Find<QLineEdit>(*form, "edSkipRecCount");
    skip->setText(QStringLiteral("4"));
    emit skip->textEdited(skip->text());
    auto* header = Find<QPlainTextEdit>(*form, "memHeader");
    header->setPlainText(QStringLiteral("a\nb"));
    auto* boolTrue = Find<QLineEdit>(*form, "edBooleanTrue");
    boolTrue->setText(QStringLiteral("Y"));
    emit boolTrue->textEdited(boolTrue->text());
    auto* nullText = Find<QLineEdit>(*form, "edSQLNullString");
    nullText->setText(QStringLiteral("NULL"));
    emit nullText->textEdited(nullText->text());

    const TExportFormState& s = form->FormState();
    EXPECT_EQ(s.FileName, "/tmp/new.xls");
    EXPECT_TRUE(s.PrintFile);
    EXPECT_EQ(s.SkipRecCount, 4);
    EXPECT_EQ(s.Header.Count(), 2);
    EXPECT_EQ(s.Formats.BooleanTrue(), "Y");
    EXPECT_EQ(s.Formats.NullString(), "NULL");
    EXPECT_EQ(Find<QLineEdit>(*form, "edNullString")->text(), QStringLiteral("NULL"));
    EXPECT_TRUE(Find<QPushButton>(*form, "bStart")->isEnabled());
    // The component keeps its values.
    EXPECT_TRUE(dialog.FileName.empty());
    EXPECT_FALSE(dialog.PrintFile);
    EXPECT_EQ(dialog.Header.Count(), 0);

    // "Export only" stays chosen across a type change before a count is typed; "all" resets the count.
    Find<QAbstractButton>(*form, "rbExportOnly")->click();
    Click(*form, TAllowedExport::aeCSV);
    EXPECT_TRUE(Find<QLineEdit>(*form, "edExportRecCount")->isEnabled());
    auto* count = Find<QLineEdit>(*form, "edExportRecCount");
    count->setText(QStringLiteral("9"));
    emit count->textEdited(count->text());
    EXPECT_EQ(form->FormState().ExportRecCount, 9);
    Find<QAbstractButton>(*form, "rbExportAllRecords")->click();
    EXPECT_EQ(form->FormState().ExportRecCount, 0);
    EXPECT_FALSE(count->isEnabled());

    // Emptying the name disables the start.
    fileName->clear();
    emit fileName->textEdited(QString());
    EXPECT_FALSE(Find<QPushButton>(*form, "bStart")->isEnabled());
}

// A tab typed as \t is a tab; a text that cannot be a separator is reported and the value kept.
TEST_F(ExportDialogFormWindow, SeparatorEditsTakeTabNamesAndRefuseLongTexts) {
    auto form = Make();
    auto* comma = Find<QLineEdit>(*form, "edCSVComma");
    comma->setText(QStringLiteral("\\t"));
    emit comma->editingFinished();
    EXPECT_EQ(form->FormState().CSV.Comma, '\t');
    EXPECT_EQ(comma->text(), QStringLiteral("#9"));
    comma->setText(QStringLiteral(";;"));
    emit comma->editingFinished();
    EXPECT_EQ(form->FormState().CSV.Comma, '\t');
    EXPECT_EQ(comma->text(), QStringLiteral("#9"));
    ASSERT_EQ(services.log.size(), 1u);
    EXPECT_EQ(services.log[0].rfind("error:\";;\" cannot be a separator", 0), 0u);
    auto* quote = Find<QLineEdit>(*form, "edCSVQuote");
    quote->setText(QStringLiteral("abc"));
    emit quote->editingFinished();
    EXPECT_EQ(form->FormState().CSV.Quote, '"');
    EXPECT_EQ(services.log.size(), 2u);
}

TEST_F(ExportDialogFormWindow, PagesFollowTheChosenType) {
    dialog.FileName = "C:\\x\\data.xls";
    auto form = Make();
    auto* pages = Find<QTabWidget>(*form, "Pages");
    EXPECT_TRUE(TabVisible(pages, *form, "tshXLS"));
    EXPECT_FALSE(TabVisible(pages, *form, "tshASCII"));

    Click(*form, TAllowedExport::aeCSV);
    EXPECT_TRUE(TabVisible(pages, *form, "tshASCII"));
    EXPECT_FALSE(TabVisible(pages, *form, "tshXLS"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edFileName")->text(), QStringLiteral("C:\\x\\data.csv"));

    // The captions page is not one of XML's: the form goes back to the type page.
    pages->setCurrentWidget(form->Page(TExportFormPage::tshCaptions));
    Click(*form, TAllowedExport::aeXML);
    EXPECT_EQ(pages->currentWidget(), form->Page(TExportFormPage::tshExportType));
    EXPECT_FALSE(TabVisible(pages, *form, "tshCaptions"));
    EXPECT_TRUE(TabVisible(pages, *form, "tshXML"));

    Click(*form, TAllowedExport::aeDBF);
    for (const char* page : {"tshFormats", "tshHeaderFooter", "tshCaptions", "tshXML"})
        EXPECT_FALSE(TabVisible(pages, *form, page)) << page;
    EXPECT_TRUE(TabVisible(pages, *form, "tshFields"));

    // The clipboard: no file controls, the name stays, the start works without one.
    Click(*form, TAllowedExport::aeClipboard);
    EXPECT_FALSE(Find<QLineEdit>(*form, "edFileName")->isEnabled());
    EXPECT_FALSE(Find<QPushButton>(*form, "bBrowse")->isEnabled());
    EXPECT_EQ(form->FormState().FileName, "C:\\x\\data.dbf");
    form->FormState().FileName.clear();
    form->ShowState();
    EXPECT_TRUE(Find<QPushButton>(*form, "bStart")->isEnabled());
}

TEST_F(ExportDialogFormWindow, TheCaptionsGridAndItsEditors) {
    dialog.Columns[1].Width = 33;
    auto form = Make();
    auto* grid = Find<QTableWidget>(*form, "sgrCaptions");
    auto header = [grid] {
        std::vector<std::string> texts;
        for (int c = 0; c < grid->columnCount(); ++c)
            texts.push_back(grid->horizontalHeaderItem(c)->text().toStdString());
        return texts;
    };
    Click(*form, TAllowedExport::aeHTML);
    EXPECT_EQ(header(), (std::vector<std::string>{"Field name", "Caption", "Align"}));
    auto* pages = Find<QTabWidget>(*form, "Pages");
    EXPECT_EQ(pages->tabText(pages->indexOf(form->Page(TExportFormPage::tshCaptions))),
              QStringLiteral("Caption && Align"));
    Click(*form, TAllowedExport::aeXLS);
    EXPECT_EQ(header(), (std::vector<std::string>{"Field name", "Caption", "Width"}));
    ASSERT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(grid->item(1, 2)->text(), QStringLiteral("33"));

    // A caption typed into the grid.
    grid->item(0, 1)->setText(QStringLiteral("Label"));
    EXPECT_EQ(form->FormState().Captions[0][1], "Label");

    // The width editor over a cell writes back when left.
    Click(*form, TAllowedExport::aeTXT);
    emit grid->cellDoubleClicked(2, 3);
    auto* width = Find<QLineEdit>(*form, "edColumnWidth");
    EXPECT_FALSE(width->isHidden());
    width->setText(QStringLiteral("17"));
    emit width->editingFinished();
    EXPECT_TRUE(width->isHidden());
    EXPECT_EQ(form->FormState().Captions[2][3], "17");
    // The align editor likewise.
    emit grid->cellDoubleClicked(2, 2);
    auto* align = Find<QComboBox>(*form, "cbxColumnAlign");
    EXPECT_EQ(align->count(), 3);
    align->setCurrentIndex(2);
    emit align->activated(2);
    EXPECT_EQ(form->FormState().Captions[2][2], "Right");
    EXPECT_EQ(grid->item(2, 2)->text(), QStringLiteral("Right"));
    // Leaving the align editor without a choice writes what it shows.
    emit grid->cellDoubleClicked(0, 2);
    EXPECT_FALSE(align->isHidden());
    align->setCurrentIndex(1);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(align, &leave);
    EXPECT_TRUE(align->isHidden());
    EXPECT_EQ(form->FormState().Captions[0][2], "Center");
}

TEST_F(ExportDialogFormWindow, FieldButtonsAndUserFormats) {
    auto form = Make();
    auto* available = Find<QTreeWidget>(*form, "lstAvailableFields");
    auto* exported = Find<QTreeWidget>(*form, "lstExportedFields");
    available->setCurrentItem(available->topLevelItem(2));
    Find<QToolButton>(*form, "bAddOneExportedField")->click();
    Find<QToolButton>(*form, "bAddAllExportedField")->click();
    EXPECT_EQ(Items(exported), (std::vector<std::string>{"Name", "Count", "Notes"}));
    exported->setCurrentItem(exported->topLevelItem(0));
    Find<QToolButton>(*form, "bDelOneExportedField")->click();
    EXPECT_EQ(Items(available), (std::vector<std::string>{"Name"}));
    Find<QToolButton>(*form, "bDelAllExportedField")->click();
    EXPECT_EQ(Items(available), (std::vector<std::string>{"Name", "Count", "Notes"}));
    EXPECT_TRUE(Items(exported).empty());

    // Dropping from the available list on the exported one, and back.
    available->setCurrentItem(available->topLevelItem(1));
    form->lstExportedFieldsDragDrop(available);
    EXPECT_EQ(Items(exported), (std::vector<std::string>{"Count"}));
    exported->setCurrentItem(exported->topLevelItem(0));
    form->lstAvailableFieldsDragDrop(exported, QPoint());
    EXPECT_EQ(Items(available), (std::vector<std::string>{"Name", "Count", "Notes"}));
    // A drop from a list that is not a field list changes nothing.
    QTreeWidget stranger;
    form->lstExportedFieldsDragDrop(&stranger);
    EXPECT_TRUE(Items(exported).empty());

    auto* formats = Find<QTreeWidget>(*form, "lstUserFormats");
    EXPECT_FALSE(Find<QPushButton>(*form, "bEditUserFormat")->isEnabled());
    Find<QPushButton>(*form, "bAddUserFormat")->click();
    Find<QComboBox>(*form, "cbxUserFormats")->setCurrentText(QStringLiteral("000"));
    Find<QPushButton>(*form, "bAddUserFormat")->click();
    ASSERT_EQ(formats->topLevelItemCount(), 1);
    EXPECT_EQ(formats->topLevelItem(0)->text(2), QStringLiteral("000"));
    EXPECT_TRUE(Find<QPushButton>(*form, "bEditUserFormat")->isEnabled());

    services.inputAnswer = QStringLiteral("0.0");
    Find<QPushButton>(*form, "bEditUserFormat")->click();
    EXPECT_EQ(services.log.back(), "input:New format value|Enter Value:|000");
    EXPECT_EQ(form->FormState().UserFormats[0].Format, "0.0");
    Find<QPushButton>(*form, "bClearUserFormats")->click();
    EXPECT_EQ(formats->topLevelItemCount(), 0);
    EXPECT_FALSE(Find<QPushButton>(*form, "bClearUserFormats")->isEnabled());
}

TEST_F(ExportDialogFormWindow, TextsComeFromTheStringTable) {
    ExportLocale().OnLocalize = [](int id, std::string& text) {
        if (id == 34079)
            text = "Go!";
        if (id == 34051)
            text = "Target";
        if (id == 34081)
            text = "Columns";
    };
    auto form = Make();
    ExportLocale().OnLocalize = nullptr;
    EXPECT_EQ(Find<QPushButton>(*form, "bStart")->text(), QStringLiteral("Go!"));
    EXPECT_EQ(Find<QGroupBox>(*form, "rgExportType")->title(), QStringLiteral("Target"));
    auto* pages = Find<QTabWidget>(*form, "Pages");
    EXPECT_EQ(pages->tabText(pages->indexOf(form->Page(TExportFormPage::tshFields))),
              QStringLiteral("Columns"));
    EXPECT_EQ(Find<QPushButton>(*form, "bCancel")->text(), QStringLiteral("&Close"));
    EXPECT_EQ(Find<QToolButton>(*form, "bAddAllExportedField")->toolTip(), QStringLiteral("Add all fields"));
}

TEST_F(ExportDialogFormWindow, OptionsFileLoadsAtCreationAndSavesAtClose) {
    dialog.OptionsFileName = dir.file("opts.cfg");
    dialog.AutoSaveOptions = true;
    dialog.AutoLoadOptions = true;
    dialog.SaveLoadButtons = true;
    dialog.FileName = dir.file("a.xls");
    {
        auto form = Make();
        EXPECT_TRUE(Find<QPushButton>(*form, "bTools")->isEnabled());
        Click(*form, TAllowedExport::aeSQL);
        auto* table = Find<QLineEdit>(*form, "edSQLTableName");
        table->setText(QStringLiteral("ORDERS"));
        emit table->textEdited(table->text());
        auto* available = Find<QTreeWidget>(*form, "lstAvailableFields");
        available->setCurrentItem(available->topLevelItem(1));
        Find<QToolButton>(*form, "bAddOneExportedField")->click();
        Find<QPushButton>(*form, "bCancel")->click();
    }
    // The component did not change; the next form takes the file's settings over the component's.
    EXPECT_EQ(dialog.FileName, dir.file("a.xls"));
    auto form = Make();
    EXPECT_EQ(form->FormState().ExportType, TAllowedExport::aeSQL);
    EXPECT_EQ(form->FormState().FileName, dir.file("a.sql"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edSQLTableName")->text(), QStringLiteral("ORDERS"));
    EXPECT_EQ(Items(Find<QTreeWidget>(*form, "lstExportedFields")), std::vector<std::string>{"Count"});
    auto* pages = Find<QTabWidget>(*form, "Pages");
    EXPECT_TRUE(TabVisible(pages, *form, "tshSQL"));
    EXPECT_FALSE(TabVisible(pages, *form, "tshXLS"));
}

TEST_F(ExportDialogFormWindow, ToolsMenuSavesAndLoadsThroughTheServices) {
    dialog.SaveLoadButtons = true;
    dialog.AllowedExports = {TAllowedExport::aeCSV, TAllowedExport::aeTXT};
    auto form = Make();
    Click(*form, TAllowedExport::aeCSV);
    services.saveAnswer = QString::fromStdString(dir.file("tools.cfg"));
    form->miSaveOptionsClick();
    EXPECT_EQ(services.log.back(), "save:Configuration files (*.cfg);;All files (*)|cfg");
    EXPECT_NE(test::ReadFile(dir.file("tools.cfg")).find("[CSV]"), std::string::npos);

    auto other = Make();
    EXPECT_EQ(other->FormState().ExportType, TAllowedExport::aeTXT);
    services.openAnswer = services.saveAnswer;
    other->miLoadOptionsClick();
    EXPECT_EQ(other->FormState().ExportType, TAllowedExport::aeCSV);
    EXPECT_EQ(other->FormState().OptionsFileName, dir.file("tools.cfg"));
}

// A save of the options file that fails, from the tools menu and at close: the user is shown the
// cause, and the old file keeps its text.
TEST_F(ExportDialogFormWindow, AFailedOptionsSaveIsShownAndKeepsTheOldFile) {
    const std::string path = dir.file("kept.cfg");
    const std::string old = "; the options saved before\r\n";
    const std::string shown = "error:Cannot write file " + path + ". No space left on device";
    const struct {
        const char* name;
        std::function<void(TExporterDialogFormWindow&)> save;
    } saves[] = {
        {"the tools menu", [&](TExporterDialogFormWindow& form) { form.miSaveOptionsClick(); }},
        {"the close", [](TExporterDialogFormWindow& form) { Find<QPushButton>(form, "bCancel")->click(); }},
    };
    dialog.SaveLoadButtons = true;
    dialog.AutoSaveOptions = true;
    dialog.OptionsFileName = path;
    services.saveAnswer = QString::fromStdString(path);
    for (const auto& save : saves) {
        SCOPED_TRACE(save.name);
        test::WriteFile(path, old);
        services.log.clear();
        auto form = Make();
        {
            commit::testing::ScopedWriteFault fault(4, ENOSPC);
            save.save(*form);
        }
        ASSERT_FALSE(services.log.empty());
        EXPECT_EQ(services.log.back(), shown);
        EXPECT_EQ(test::ReadFile(path), old);
    }
}

TEST_F(ExportDialogFormWindow, TheAbortQuestionGoesThroughTheServices) {
    auto form = Make();
    const std::unique_ptr<TExporter> exporter = form->PrepareExporter();
    bool canContinue = false;
    form->OnStopExport(*exporter, canContinue);
    EXPECT_TRUE(canContinue); // the scripted answer is No
    EXPECT_EQ(services.log.back(), "ask:Are you sure?");
}

TEST_F(ExportDialogFormWindow, BrowseOffersTheTypesFilter) {
    dialog.AllowedExports = {TAllowedExport::aeCSV};
    auto form = Make();
    services.saveAnswer = QString::fromStdString(dir.file("picked.csv"));
    Find<QPushButton>(*form, "bBrowse")->click();
    ASSERT_FALSE(services.log.empty());
    EXPECT_EQ(services.log.back().rfind("save:", 0), 0u);
    EXPECT_NE(services.log.back().find("|csv"), std::string::npos);
    EXPECT_EQ(form->FormState().FileName, dir.file("picked.csv"));
    EXPECT_EQ(Find<QLineEdit>(*form, "edFileName")->text(), services.saveAnswer);
}

TEST_F(ExportDialogFormWindow, TheStartButtonExportsTheChosenFieldsToCSV) {
    dialog.FileName = dir.file("out.xls");
    dialog.AllowedExports = {TAllowedExport::aeXLS, TAllowedExport::aeCSV};
    dialog.CSVOptions.Comma = ';';
    auto form = Make();
    test::RecordingShell shell;
    form->Shell = &shell;
    Click(*form, TAllowedExport::aeCSV);
    // Only Count, then Name.
    auto* available = Find<QTreeWidget>(*form, "lstAvailableFields");
    available->setCurrentItem(available->topLevelItem(1));
    Find<QToolButton>(*form, "bAddOneExportedField")->click();
    available->setCurrentItem(available->topLevelItem(0));
    Find<QToolButton>(*form, "bAddOneExportedField")->click();
    Find<QPushButton>(*form, "bStart")->click();

    EXPECT_TRUE(services.log.empty()) << services.log.front();
    const std::string text = test::ReadFile(dir.file("out.csv"));
    EXPECT_NE(text.find("\"Count\";\"Name\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"3\";\"row3\""), std::string::npos) << text;
    EXPECT_EQ(shell.opened, std::vector<std::string>{dir.file("out.csv")});
}

// A dBase table of a list view whose guessed number column meets texts: the export goes through and the
// form tells how many values were left empty and which was the first; a clean export tells nothing.
TEST_F(ExportDialogFormWindow, ValuesLeftEmptyInADbaseTableAreTold) {
    TMemoryListView view;
    view.AddColumn({"Name"});
    view.AddColumn({"Amount"});
    view.AddItem({"a", "12"});
    view.AddItem({"b", "abc"});
    view.AddItem({"c", "n/a"});
    dialog.ExportSource = TExportSource::esListView;
    dialog.ListView = &view;
    dialog.AutoCalcStrType = true;
    dialog.Columns.Fill(true);
    dialog.FileName = dir.file("list.dbf");
    dialog.AllowedExports = {TAllowedExport::aeDBF};
    auto form = Make();
    test::RecordingShell shell;
    form->Shell = &shell;
    Find<QPushButton>(*form, "bStart")->click();
    EXPECT_EQ(services.log,
              std::vector<std::string>{"message:2 values did not fit their column's type and were "
                                       "left empty; the first: row 2, column \"Amount\", \"abc\""});
    EXPECT_EQ(shell.opened, std::vector<std::string>{dir.file("list.dbf")});

    services.log.clear();
    TMemoryListView clean;
    clean.AddColumn({"Name"});
    clean.AddColumn({"Amount"});
    clean.AddItem({"a", "12"});
    dialog.ListView = &clean;
    Find<QPushButton>(*form, "bStart")->click();
    EXPECT_TRUE(services.log.empty()) << services.log.front();
}

TEST_F(ExportDialogFormWindow, AnExportErrorIsShownAndTheFormStays) {
    dialog.AllowedExports = {TAllowedExport::aeCSV};
    // A folder that cannot be made: its parent is a plain file.
    test::WriteFile(dir.file("plain"), "x");
    dialog.FileName = dir.file("plain") + "/sub/out.csv";
    auto form = Make();
    Find<QPushButton>(*form, "bStart")->click();
    ASSERT_FALSE(services.log.empty());
    EXPECT_EQ(services.log.back().rfind("error:", 0), 0u);
}

TEST_F(ExportDialogFormWindow, ExecuteShowsTheWindowAndRunsFromIt) {
    dialog.Columns.Clear();
    dialog.FileName = dir.file("exec.txt");
    dialog.AllowedExports = {TAllowedExport::aeCSV};
    dialog.ShowFile = false;
    TExporterDialogFormWindow::Install(dialog, &services);
    bool ran = false;
    bool clicked = false;
    dialog.OnEndExport = [&](TExporter&) { ran = true; };
    // The user starts the export, closes the progress window, then the dialog.
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (w->objectName() == QStringLiteral("ExporterDialogF") && !clicked) {
                clicked = true;
                if (auto* start = w->findChild<QPushButton*>(QStringLiteral("bStart")))
                    QTimer::singleShot(0, start, &QPushButton::click);
                return;
            }
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || !ran)
                continue;
            if (w->objectName() == QStringLiteral("ExporterDialogF"))
                continue;
            w->close(); // the progress window
        }
        for (QWidget* w : QApplication::topLevelWidgets())
            if (ran && w->isVisible() && w->objectName() == QStringLiteral("ExporterDialogF")) {
                bool others = false;
                for (QWidget* o : QApplication::topLevelWidgets())
                    others = others || (o != w && o->isVisible());
                if (!others)
                    w->findChild<QPushButton*>(QStringLiteral("bCancel"))->click();
            }
    });
    user.start(10);
    dialog.Execute();
    user.stop();
    EXPECT_TRUE(ran);
    EXPECT_NE(test::ReadFile(dir.file("exec.csv")).find("\"row2\""), std::string::npos);
}

} // namespace
} // namespace exporter
