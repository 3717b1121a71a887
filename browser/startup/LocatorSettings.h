#pragma once

// The locator objects a tree is opened with, as the settings file keeps them: one comma text per
// tree in section "Locator" of "Cormelian.ini".

#include <string>

namespace ini {
class IniFile;
}

namespace browser {

inline constexpr const char* kLocatorSettingsSection = "Locator";

// The locator text with object added: the text is read as a sorted list in which names compare
// without regard to case, object is added unless it is there already, and the list is given back
// as comma text. An empty object adds nothing.
std::string AddLocatorToText(const std::string& commaText, const std::string& object);

// Adds object to the tree's locator text in the settings and writes the file; returns the new text.
std::string AddLocatorToSettings(ini::IniFile& settings, const std::string& tree, const std::string& object);

} // namespace browser
