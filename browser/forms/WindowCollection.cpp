#include "browser/forms/WindowCollection.h"

#include "browser/forms/Cormelian1.h"
#include "browser/forms/Forms.h"
#include "browser/forms/ShowWarning.h"
#include "browser/forms/backup2.h"
#include "browser/records/LocatorTables.h"

#include <QCheckBox>
#include <QStatusBar>

namespace browser {

WindowCollectionEnvironment::WindowCollectionEnvironment(Services& services, const Forms& forms,
                                                         std::function<StartupSequence*()> startup,
                                                         std::function<void(RecordListKind)> resort)
    : services_(services), forms_(forms), startup_(std::move(startup)), resort_(std::move(resort)) {}

namespace {
StartupSequence* Current(const std::function<StartupSequence*()>& startup) {
    return startup ? startup() : nullptr;
}
} // namespace

TreeList& WindowCollectionEnvironment::Trees() {
    StartupSequence* startup = Current(startup_);
    return startup != nullptr ? startup->Trees() : noTrees_;
}

std::vector<std::string> WindowCollectionEnvironment::SelectedTrees() {
    StartupSequence* startup = Current(startup_);
    return startup != nullptr ? startup->SelectedTrees() : std::vector<std::string>{};
}

std::string WindowCollectionEnvironment::DataDirectory() {
    StartupSequence* startup = Current(startup_);
    return startup != nullptr ? startup->DataDirectory() : std::string{};
}

const CormelianSettings& WindowCollectionEnvironment::Settings() {
    StartupSequence* startup = Current(startup_);
    return startup != nullptr ? startup->Settings() : defaultSettings_;
}

const ClassIconNumbers& WindowCollectionEnvironment::Icons() {
    StartupSequence* startup = Current(startup_);
    return startup != nullptr ? startup->IconNumbers() : noIcons_;
}

void WindowCollectionEnvironment::ResortRecordList(RecordListKind list) {
    if (resort_) {
        resort_(list);
    }
}

void WindowCollectionEnvironment::ShowStatus(const std::string& text) {
    if (forms_.Form1 != nullptr) {
        forms_.Form1->statusBar()->showMessage(QString::fromStdString(text));
    }
}

bool WindowCollectionEnvironment::ConfirmBrowse(const std::string& text) {
    return services_.messageDialog(QString::fromStdString(text), MessageKind::Confirmation,
                                   QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string WindowCollectionEnvironment::BrowseForLocator(ContextHandle context) {
    TcForm* browser = forms_.cForm;
    if (browser == nullptr) {
        return {};
    }
    browser->ClearClassFilter();
    browser->AddClassFilter(QString::fromLatin1(kLocatorClass));
    browser->SetLeafMode(true);
    browser->SetContext(context);
    if (services_.showModal(*browser) != mrOk) {
        return {};
    }
    return browser->ChosenObject().toStdString();
}

bool WindowCollectionEnvironment::WarnSeveralLocators(const std::string& caption) {
    Tshowwarning* warning = forms_.showwarning;
    if (warning == nullptr) {
        return false;
    }
    warning->setWindowTitle(QString::fromStdString(caption));
    services_.showModal(*warning);
    return warning->noWarnBox->isChecked();
}

void WindowCollectionEnvironment::ShowMessage(const std::string& text) {
    services_.showMessage(QString::fromStdString(text));
}

} // namespace browser
