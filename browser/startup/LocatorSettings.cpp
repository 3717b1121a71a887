#include "browser/startup/LocatorSettings.h"

#include "platform/ini/IniFile.h"
#include "platform/rtl/StringList.h"

namespace browser {

std::string AddLocatorToText(const std::string& commaText, const std::string& object) {
    rtl::TStringList locators;
    locators.SetSorted(true);
    locators.SetDuplicates(rtl::TDuplicates::dupIgnore);
    locators.SetCommaText(commaText);
    if (!object.empty() && locators.IndexOf(object) < 0)
        locators.Add(object);
    return locators.CommaText();
}

std::string AddLocatorToSettings(ini::IniFile& settings, const std::string& tree, const std::string& object) {
    const std::string text = AddLocatorToText(settings.ReadString(kLocatorSettingsSection, tree, ""), object);
    settings.WriteString(kLocatorSettingsSection, tree, text);
    settings.UpdateFile();
    return text;
}

} // namespace browser
