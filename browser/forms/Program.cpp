#include "browser/forms/Program.h"

#include "browser/forms/Aboutunit.h"
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

#include <QApplication>

namespace browser {

template <typename Form> Form* Program::Create() {
    auto form = std::make_unique<Form>(services_);
    Form* created = form.get();
    creationOrder_
        << QString::fromLatin1(Form::staticMetaObject.className()).section(QStringLiteral("::"), -1);
    windows_.push_back(std::move(form));
    return created;
}

template <> TForm1* Program::Create<TForm1>() {
    auto form = std::make_unique<TForm1>(services_, *forms_, environment_);
    TForm1* created = form.get();
    creationOrder_ << QStringLiteral("TForm1");
    windows_.push_back(std::move(form));
    return created;
}

Program::Program(QApplication& application, Services& services, StartupEnvironment* environment)
    : application_(application), services_(services), environment_(environment),
      forms_(std::make_unique<Forms>()) {
    QApplication::setApplicationName(QString::fromLatin1(kTitle));
    Forms& forms = *forms_;
    forms.Form1 = Create<TForm1>();
    forms.Search = Create<TSearch>();
    // The program keeps its own date and time formats, settled at start-up; Qt never re-reads the
    // system's into them, so nothing needs switching off here.
    forms.TreesForm = Create<TTreesForm>();
    forms.cForm = Create<TcForm>();
    forms.showwarning = Create<Tshowwarning>();
    forms.LoginForm = Create<TLoginForm>();
    forms.setForm = Create<TsetForm>();
    forms.DirForm = Create<TDirForm>();
    forms.About = Create<TAbout>();
    forms.Hosts = Create<THosts>();
    forms.Form2 = Create<TForm2>();
    forms.DNSTrees = Create<TDNSTrees>();
    forms.DDEdit = Create<TDDEdit>();
    // A second tree-selection dialog replaces the first in the form set; the first stays unused.
    forms.TreesForm = Create<TTreesForm>();
    forms.Form4 = Create<TForm4>();
}

Program::~Program() {
    // The main window goes first, as when the program ends, while the dialogs it uses still exist;
    // then the dialogs, newest first.
    if (!windows_.empty())
        windows_.front().reset();
    while (!windows_.empty())
        windows_.pop_back();
}

int Program::Run() {
    if (forms_->Form1->StartupRefused())
        return 1;
    forms_->Form1->show();
    const int result = application_.exec();
    return forms_->Form1->StartupFailed() ? 1 : result;
}

} // namespace browser
