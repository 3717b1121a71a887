#include "browser/startup/IniMerge.h"

#include "platform/ini/IniFile.h"

#include <filesystem>

namespace browser {

namespace fs = std::filesystem;

std::string NewIniFileName(const std::string& iniPath) {
    return fs::path(iniPath).replace_extension(".new").string();
}

void MergeNewIniFile(const std::string& iniPath) {
    const std::string newPath = NewIniFileName(iniPath);
    std::error_code error;
    if (!fs::is_regular_file(newPath, error))
        return;
    if (!fs::exists(iniPath, error)) {
        fs::rename(newPath, iniPath);
        return;
    }
    {
        const ini::IniFile update(newPath);
        ini::IniFile settings(iniPath);
        for (const auto& section : update.ReadSections())
            for (const auto& key : update.ReadSection(section))
                if (settings.ReadString(section, key, "").empty())
                    settings.WriteString(section, key, update.ReadString(section, key, ""));
        settings.UpdateFile();
    }
    fs::remove(newPath);
}

} // namespace browser
