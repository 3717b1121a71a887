// The main window's side of the start-up: what the start-up sequence asks of the windows.
#include "browser/forms/CollectionController.h"
#include "browser/forms/ConnectedTrees.h"
#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/Login.h"
#include "browser/forms/SettingsForm.h"
#include "browser/forms/TreesUnit.h"
#include "browser/forms/backup2.h"
#include "browser/lists/UnattendedServices.h"
#include "browser/startup/StartupEnvironment.h"

#include <QAction>
#include <QComboBox>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolButton>

#include <iostream>

namespace browser {

namespace {

void FillHistory(QComboBox* box, const std::vector<std::string>& values) {
    const QSignalBlocker quiet(box);
    box->clear();
    for (const std::string& value : values)
        box->addItem(QString::fromStdString(value));
    box->setCurrentIndex(-1);
}

std::vector<std::string> HistoryOf(const QComboBox* box) {
    std::vector<std::string> values;
    for (int index = 0; index < box->count(); ++index)
        values.push_back(box->itemText(index).toStdString());
    return values;
}

} // namespace

void TForm1::ConnectDialogs() {
    if (environment_ == nullptr || !startup_)
        return;
    TreeDirectory& directory = environment_->directory;
    if (forms_.TreesForm != nullptr)
        forms_.TreesForm->SetDirectory(&directory);
    if (forms_.DNSTrees != nullptr)
        forms_.DNSTrees->SetConnection(&directory, &startup_->Trees(), this, forms_.TreesForm);
    if (forms_.LoginForm != nullptr) {
        forms_.LoginForm->SetDirectory(&directory);
        forms_.LoginForm->SetObjectBrowser(forms_.cForm);
    }
    if (forms_.setForm != nullptr)
        forms_.setForm->SetDirectory(&directory, &environment_->helper);
}

void TForm1::ShowMessage(const std::string& text) {
    services_.showMessage(QString::fromStdString(text));
}

void TForm1::ShowMessageWithDetail(const std::string& text, const std::string& detail) {
    services_.showDetailedMessage(QString::fromStdString(text), QString::fromStdString(detail));
}

void TForm1::ShowInformation(const std::string& text) {
    services_.messageDialog(QString::fromStdString(text), MessageKind::Information, QMessageBox::Ok);
}

bool TForm1::ShowLogin(ContextHandle loginContext) {
    if (forms_.LoginForm == nullptr)
        return false;
    ConnectDialogs();
    TLoginForm& login = *forms_.LoginForm;
    try {
        login.SetLoginContext(loginContext);
    } catch (const std::exception& error) {
        // The caller frees the context it made for the login.
        ShowMessage(error.what());
        return false;
    }
    return services_.showModal(login) == mrOk;
}

void TForm1::ShowRecoveryNotice(const std::string& line) {
    if (environment_ != nullptr && UnattendedRun(environment_->commandLine)) {
        std::cerr << line << std::endl;
        return;
    }
    statusBar()->showMessage(QString::fromStdString(line));
}

void TForm1::CloseMainWindow() {
    startupClosed_ = true;
    close();
}

void TForm1::InitBrowserIcons() {
    if (forms_.cForm != nullptr)
        forms_.cForm->InitIcons();
}

void TForm1::SetBrowserContext(ContextHandle context) {
    if (forms_.cForm != nullptr)
        forms_.cForm->SetContext(context);
}

void TForm1::SetBrowserAllLeafs(bool on) {
    if (forms_.cForm != nullptr)
        forms_.cForm->SetAllLeafs(on);
}

std::string TForm1::SetBrowserStartContext(const std::string& top) {
    if (forms_.cForm == nullptr)
        return top;
    forms_.cForm->SetStartContext(QString::fromStdString(top));
    return forms_.cForm->GetStartContext().toStdString();
}

void TForm1::ClearBrowserTree() {
    if (forms_.cForm != nullptr)
        forms_.cForm->ClearTree();
}

void TForm1::LoadMoreTrees(const std::string& iniPath) {
    if (forms_.TreesForm != nullptr)
        forms_.TreesForm->logic().LoadMoreTrees(iniPath);
}

void TForm1::ShowTreeChoice(DNSTreesLogic& choice) {
    if (forms_.DNSTrees == nullptr)
        return;
    ConnectDialogs();
    forms_.DNSTrees->ShowChoice(choice);
}

void TForm1::EnableToolbar(bool enabled) {
    ToolBar1->setEnabled(enabled);
}

void TForm1::HideEditMenuItems() {
    for (QAction* item : {Edit1, Del1, New1, N2, ReCreate, Merge, AddExist, N4})
        item->setVisible(false);
}

void TForm1::ApplySettings(const CormelianSettings& settings) {
    ApplyListSettings(settings);
    FillHistory(cb2, settings.lookupQueries);
    FillHistory(cb3, settings.lookupServers);
}

void TForm1::LoadTrees(bool fromCache) {
    // Stops the scans and empties the object and record lists first, so that loading again (the
    // settings command) does not add the rows a second time.
    Collection().ReloadTrees(fromCache);
}

void TForm1::ShowLoadedTrees() {
    EnableToolbar(true);
    Collection().SetButtonImage(DHCPSearch, kDhcpSearchIdle);
    Collection().SetButtonImage(DNSSearch, kDnsSearchIdle);
    SetActivePage(PageMisc);
}

void TForm1::RunBatchSwitches(const std::vector<std::string>& commandLine) {
    RunBatchSwitches(commandLine, startup_ ? startup_->Settings().threads : true);
}

void TForm1::StopScans() {
    Collection().StopScans();
}

std::vector<std::string> TForm1::LookupQueries() {
    return HistoryOf(cb2);
}

std::vector<std::string> TForm1::LookupServers() {
    return HistoryOf(cb3);
}

} // namespace browser
