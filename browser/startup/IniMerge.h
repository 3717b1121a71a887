#pragma once

#include <string>

namespace browser {

// The waiting update of a settings file: the same name with the extension ".new".
std::string NewIniFileName(const std::string& iniPath);

// Merges the waiting update into the settings file at iniPath. Without a settings file the update
// takes its name; otherwise only the settings file's empty or missing keys are filled from it.
// The update is deleted once merged; when the settings file cannot be written it stays waiting
// (the write error is raised).
void MergeNewIniFile(const std::string& iniPath);

} // namespace browser
