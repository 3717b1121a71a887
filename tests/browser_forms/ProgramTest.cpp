#include "browser/forms/Program.h"
#include "browser/forms/Aboutunit.h"
#include "browser/forms/BitBtnWithColor.h"
#include "browser/forms/ConnectedTrees.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/DNSDHCPEdit.h"
#include "browser/forms/DirectoryList.h"
#include "browser/forms/IniEditor.h"
#include "browser/forms/Login.h"
#include "browser/forms/SettingsForm.h"
#include "browser/forms/ShowWarning.h"
#include "browser/forms/StartParameters.h"
#include "browser/forms/TreesUnit.h"
#include "browser/forms/backup2.h"
#include "browser/lists/DNSSearch.h"
#include "browser/lists/HostsExport.h"
#include "browser/lists/ScriptedServices.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

using browser::Program;
using browser::ScriptedServices;

namespace {

QApplication& App() {
    return *qobject_cast<QApplication*>(QCoreApplication::instance());
}

class ProgramWindows : public ::testing::Test {
protected:
    ScriptedServices services;
    std::unique_ptr<Program> program = std::make_unique<Program>(App(), services);
    const browser::Forms& forms = program->forms();

    // Every name must name exactly one child of the form, of the given class.
    static void ExpectNamed(const QWidget* form, const QStringList& names, const char* className) {
        for (const QString& name : names) {
            const QList<QObject*> found = form->findChildren<QObject*>(name);
            ASSERT_EQ(found.size(), 1) << form->objectName().toStdString() << "." << name.toStdString();
            EXPECT_TRUE(found.front()->inherits(className))
                << name.toStdString() << " is a " << found.front()->metaObject()->className();
        }
    }
};

} // namespace

TEST_F(ProgramWindows, WindowsAreCreatedInTheProgramBlocksOrder) {
    EXPECT_EQ(program->creationOrder(),
              QStringList({"TForm1", "TSearch", "TTreesForm", "TcForm", "Tshowwarning", "TLoginForm",
                           "TsetForm", "TDirForm", "TAbout", "THosts", "TForm2", "TDNSTrees", "TDDEdit",
                           "TTreesForm", "TForm4"}));
    EXPECT_EQ(QApplication::applicationName(), "Cormelian");
}

TEST_F(ProgramWindows, FormSetNamesEveryWindowAndTheSecondTreeDialog) {
    const QList<QWidget*> windows = {forms.Form1,       forms.Search,    forms.TreesForm, forms.cForm,
                                     forms.showwarning, forms.LoginForm, forms.setForm,   forms.DirForm,
                                     forms.About,       forms.Hosts,     forms.Form2,     forms.DNSTrees,
                                     forms.DDEdit,      forms.Form4};
    for (const QWidget* window : windows) {
        ASSERT_NE(window, nullptr);
        EXPECT_FALSE(window->isVisible()) << window->objectName().toStdString();
        EXPECT_TRUE(window->isWindow());
    }
    EXPECT_EQ(&forms.Form1->forms(), &forms);
    // Two tree dialogs exist; the form set holds the one made last.
    const QList<browser::TTreesForm*> treeDialogs = [] {
        QList<browser::TTreesForm*> found;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<browser::TTreesForm*>(widget))
                found << dialog;
        }
        return found;
    }();
    ASSERT_EQ(treeDialogs.size(), 2);
    EXPECT_TRUE(treeDialogs.contains(forms.TreesForm));
}

TEST_F(ProgramWindows, WindowsCarryTheirCaptions) {
    EXPECT_EQ(forms.Search->windowTitle(), "Search");
    EXPECT_EQ(forms.TreesForm->windowTitle(), "Select Tree");
    EXPECT_EQ(forms.cForm->windowTitle(), "Select context");
    EXPECT_EQ(forms.showwarning->windowTitle(), "WARNING");
    EXPECT_EQ(forms.LoginForm->windowTitle(), "Login");
    EXPECT_EQ(forms.setForm->windowTitle(), "Settings");
    EXPECT_EQ(forms.DirForm->windowTitle(), "Directory List");
    EXPECT_EQ(forms.Hosts->windowTitle(), "Hosts Export");
    EXPECT_EQ(forms.Form2->windowTitle(), "Cormelian.ini editor");
    EXPECT_EQ(forms.DNSTrees->windowTitle(), "Current Connected Trees (without exclude)");
    EXPECT_EQ(forms.DDEdit->windowTitle(), "Edit record");
    EXPECT_EQ(forms.Form4->windowTitle(), "Start service # on server ##");
}

TEST_F(ProgramWindows, SearchDialogHasItsFieldsAndClearAll) {
    browser::TSearch& search = *forms.Search;
    ExpectNamed(&search, {"Edit1", "Edit2", "MaskEdit1"}, "QLineEdit");
    ExpectNamed(&search, {"BitBtn1", "BitBtn2"}, "QPushButton");
    ExpectNamed(&search, {"MacAddressLabel"}, "QLabel");
    EXPECT_EQ(search.BitBtn2->text(), "&Clear all");
    EXPECT_TRUE(search.Edit1->text().isEmpty());
    EXPECT_EQ(search.MaskEdit1->text(), search.MacEmptyText());

    // The address field takes digits and dots only.
    int position = 0;
    QString address = "10.1.2.3";
    EXPECT_EQ(search.Edit2->validator()->validate(address, position), QValidator::Acceptable);
    QString name = "10.a";
    EXPECT_EQ(search.Edit2->validator()->validate(name, position), QValidator::Invalid);

    search.Edit1->setText("www");
    search.Edit2->setText("10.1");
    search.MaskEdit1->setText("00:11:22:AA:BB:CC");
    EXPECT_EQ(search.MaskEdit1->text(), "00:11:22:AA:BB:CC");
    services.queueDialog([&search](QDialog&) { search.BitBtn2->click(); });
    EXPECT_EQ(services.showModal(search), browser::mrCancel); // "Clear all" keeps it open
    EXPECT_TRUE(search.Edit1->text().isEmpty());
    EXPECT_TRUE(search.Edit2->text().isEmpty());
    EXPECT_EQ(search.MaskEdit1->text(), search.MacEmptyText());
    services.queueDialog([&search](QDialog&) { search.BitBtn1->click(); });
    EXPECT_EQ(services.showModal(search), browser::mrOk);
}

TEST_F(ProgramWindows, ObjectBrowserHasItsControlsWithTheHiddenOnesHidden) {
    browser::TcForm& browserForm = *forms.cForm;
    ExpectNamed(&browserForm, {"TV2", "lv"}, "QTreeWidget");
    ExpectNamed(&browserForm, {"BitBtn1", "BitBtn2", "BitBtn3", "BitBtn4", "BitBtn5"}, "QPushButton");
    ExpectNamed(&browserForm, {"All"}, "QCheckBox");
    ExpectNamed(&browserForm, {"Timer1"}, "QTimer");
    ExpectNamed(&browserForm, {"IL2"}, "browser::ImageList");
    EXPECT_TRUE(browserForm.lv->isHidden());
    EXPECT_EQ(browserForm.lv->headerItem()->text(0), "Select the object or press ESC");
    EXPECT_TRUE(browserForm.All->isHidden());
    EXPECT_EQ(browserForm.All->text(), "all leafs");
    EXPECT_TRUE(browserForm.BitBtn4->isHidden());
    EXPECT_TRUE(browserForm.BitBtn5->isHidden());
    EXPECT_EQ(browserForm.BitBtn1->text(), "Cancel");
    EXPECT_EQ(browserForm.BitBtn3->toolTip(), "Find an Object");
    EXPECT_EQ(browserForm.Timer1->interval(), 50);
    EXPECT_FALSE(browserForm.Timer1->isActive());
}

TEST_F(ProgramWindows, TreeLoginSettingsAndWarningDialogsHaveTheirControls) {
    ExpectNamed(forms.TreesForm, {"treesBox"}, "QListWidget");
    ExpectNamed(forms.TreesForm, {"okButton", "cancelButton", "addButton"}, "QPushButton");
    EXPECT_EQ(forms.TreesForm->addButton->text(), "Add");
    EXPECT_EQ(forms.TreesForm->Timer1->interval(), 50);

    ExpectNamed(forms.DNSTrees, {"treesList"}, "QListWidget");
    ExpectNamed(forms.DNSTrees, {"okButton", "moreButton"}, "QPushButton");
    EXPECT_EQ(forms.DNSTrees->moreButton->text(), "More");

    ExpectNamed(forms.LoginForm, {"NameEdit", "PasswordEdit"}, "QLineEdit");
    ExpectNamed(forms.LoginForm, {"browseButton", "okButton", "cancelButton"}, "QPushButton");
    EXPECT_EQ(forms.LoginForm->PasswordEdit->echoMode(), QLineEdit::Password);

    ExpectNamed(forms.setForm, {"topEdit"}, "QLineEdit");
    ExpectNamed(forms.setForm, {"masterBox", "defaultBox", "showAllBox", "cacheBox"}, "QCheckBox");
    ExpectNamed(forms.setForm, {"browseButton", "okButton", "cancelButton", "helpButton"}, "QPushButton");
    EXPECT_EQ(forms.setForm->masterBox->text(), "Use master replica's");
    EXPECT_EQ(forms.setForm->cacheBox->text(), "Cache Offline");

    ExpectNamed(forms.showwarning, {"noWarnBox"}, "QCheckBox");
    EXPECT_EQ(forms.showwarning->warningLabel->text(),
              "More than one DNS-DHCP locator objects found in search context!");
    EXPECT_EQ(forms.showwarning->noWarnBox->text(), "do not show this warning again");
    services.queueDialog([this](QDialog&) { forms.showwarning->okButton->click(); });
    EXPECT_EQ(services.showModal(*forms.showwarning), browser::mrOk);
}

TEST_F(ProgramWindows, HostsDialogContinuesWithOkAndOffersLocalhost) {
    ExpectNamed(forms.Hosts, {"CheckBox1"}, "QCheckBox");
    ExpectNamed(forms.Hosts, {"Button1"}, "QPushButton");
    EXPECT_TRUE(forms.Hosts->CheckBox1->isChecked());
    EXPECT_EQ(forms.Hosts->Button1->text(), "Continue");
    services.queueDialog([this](QDialog&) { forms.Hosts->Button1->click(); });
    EXPECT_EQ(services.showModal(*forms.Hosts), browser::mrOk);
}

TEST_F(ProgramWindows, RecordEditorHasItsFieldsLimitsAndHardwareTypes) {
    browser::TDDEdit& editor = *forms.DDEdit;
    ExpectNamed(&editor, {"Edit1", "Edit3", "edit2", "Edit4", "Edit6"}, "QLineEdit");
    ExpectNamed(&editor, {"ComboBox1", "ComboBox2"}, "QComboBox");
    ExpectNamed(&editor, {"RadioButton1", "RadioButton2"}, "QRadioButton");
    ExpectNamed(&editor, {"DTP1"}, "QDateEdit");
    ExpectNamed(&editor, {"DTP2"}, "QTimeEdit");
    ExpectNamed(&editor, {"Label8", "Label9"}, "QLabel");
    ExpectNamed(&editor, {"Memo1"}, "QPlainTextEdit");
    ExpectNamed(&editor, {"CheckBox1", "CheckBox2"}, "QCheckBox");
    ExpectNamed(&editor, {"Button2", "okbut", "BitBtn2"}, "QPushButton");
    EXPECT_TRUE(editor.Edit1->isReadOnly());
    EXPECT_TRUE(editor.Edit6->isReadOnly());
    EXPECT_FALSE(editor.CheckBox1->isEnabled());
    ASSERT_EQ(editor.ComboBox2->count(), 22);
    EXPECT_EQ(editor.ComboBox2->itemText(0), "1 Ethernet");
    EXPECT_EQ(editor.ComboBox2->itemText(21), "FF Any");
    EXPECT_EQ(editor.DTP1->minimumDate(), QDate(1970, 1, 1));
    EXPECT_EQ(editor.DTP1->maximumDate(), QDate(2030, 12, 31));
    EXPECT_EQ(editor.Edit3->maxLength(), 17);
    EXPECT_EQ(editor.edit2->maxLength(), 20);
    editor.Edit3->setText("0011223344FF");
    EXPECT_EQ(editor.Edit3->text(), "00:11:22:33:44:FF");
}

TEST_F(ProgramWindows, AboutEditorDirectoryAndStartDialogsHaveTheirControls) {
    ExpectNamed(forms.About,
                {"lblWindowsVersion", "Label1", "Label2", "Label3", "Label4", "lblMemory", "forum"},
                "QLabel");
    ExpectNamed(forms.About, {"BitBtnWithColor1"}, "browser::TBitBtnWithColor");
    ExpectNamed(forms.About, {"Timer1"}, "QTimer");
    EXPECT_EQ(forms.About->Label2->text(), "Memory Available to Windows:");
    EXPECT_EQ(forms.About->forum->text(), "Click here for forum");
    EXPECT_EQ(forms.About->BitBtnWithColor1->text(), "Close");
    EXPECT_EQ(forms.About->BitBtnWithColor1->Color(), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(forms.About->Timer1->interval(), 5);
    EXPECT_FALSE(forms.About->Timer1->isActive());

    ExpectNamed(forms.Form2, {"RichEdit1"}, "QPlainTextEdit");
    ExpectNamed(forms.Form2, {"ToolButton2", "ToolButton4", "ToolButton6"}, "QToolButton");

    ExpectNamed(forms.DirForm, {"stv"}, "QTreeView");
    ExpectNamed(forms.DirForm, {"okButton", "cancelButton"}, "QPushButton");

    ExpectNamed(forms.Form4, {"Edit1"}, "QLineEdit");
    ExpectNamed(forms.Form4, {"serverDefaultBox", "defaultBox"}, "QCheckBox");
    ExpectNamed(forms.Form4, {"startButton", "cancelButton"}, "QPushButton");
    EXPECT_EQ(forms.Form4->Edit1->text(), "Edit1");
    EXPECT_EQ(forms.Form4->startButton->text(), "Start");
}

TEST(ProgramEnd, EndingTheProgramFreesEveryWindow) {
    ScriptedServices services;
    const int before = static_cast<int>(QApplication::topLevelWidgets().size());
    {
        Program program(App(), services);
        EXPECT_GE(static_cast<int>(QApplication::topLevelWidgets().size()), before + 15);
    }
    EXPECT_EQ(static_cast<int>(QApplication::topLevelWidgets().size()), before);
}
