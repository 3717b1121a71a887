#include "browser/startup/SetFormLogic.h"

#include "browser/collection/StartupText.h"
#include "browser/startup/StartupMessages.h"
#include "platform/ini/IniFile.h"

#include <algorithm>
#include <exception>

namespace browser {

namespace {
constexpr const char* kRoot = "[root]";
} // namespace

SetFormLogic::SetFormLogic()
    : allowedTopClasses_{"top", "tree root", "country", "locality", "organization", "organizational unit"} {
    std::sort(allowedTopClasses_.begin(), allowedTopClasses_.end());
}

SetFormLogic::Shown SetFormLogic::Activate(const std::string& iniPath, HelperLibrary& helper) const {
    const ini::IniFile file(iniPath);
    Shown shown;
    if (file.ValueExists("TREES", treeName_))
        shown.top = file.ReadString("TREES", treeName_, "");
    else if (helper.Version() > 1)
        shown.top = helper.GetSettingValue("TREES", treeName_, kRoot);
    else
        shown.top = kRoot;
    shown.useMaster = file.ReadBool("master", treeName_, false);
    shown.setAsDefaultVisible = helper.Version() > 1;
    return shown;
}

SetFormLogic::Outcome SetFormLogic::Accept(std::string top, bool useMaster, bool setAsDefault,
                                           const std::string& iniPath, TreeDirectory& directory,
                                           HelperLibrary& helper) const {
    Outcome outcome;
    if (top.empty())
        top = kRoot;
    try {
        const std::string baseClass = LowerCase(directory.GetObjectBaseClass(context_, top));
        if (!std::binary_search(allowedTopClasses_.begin(), allowedTopClasses_.end(), baseClass)) {
            outcome.message = msg::kIllegalTop;
            return outcome;
        }
    } catch (const std::exception&) {
        outcome.message = msg::kFillInCorrectObject;
        return outcome;
    }

    // Only a start context that passed the check becomes the library's default.
    if (setAsDefault && helper.Version() > 1)
        helper.SetSettingValue("TREES", treeName_, top);

    try {
        ini::IniFile file(iniPath);
        file.WriteString("TREES", treeName_, top);
        file.WriteBool("master", treeName_, useMaster);
        file.UpdateFile();
    } catch (const ini::EIniFileError& error) {
        outcome.message = error.what();
        return outcome;
    }
    outcome.accepted = true;
    outcome.shownTop = top == kRoot ? std::string() : top;
    return outcome;
}

SettingsDialogSwitches ReadSettingsDialogSwitches(const std::string& iniPath) {
    const ini::IniFile file(iniPath);
    SettingsDialogSwitches switches;
    switches.showAll = file.ReadBool("SYSTEM", "showall", false);
    switches.cache = file.ReadBool("SYSTEM", "cache", true);
    return switches;
}

} // namespace browser
