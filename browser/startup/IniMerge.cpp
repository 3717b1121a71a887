#include "browser/startup/IniMerge.h"

#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

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
        // The update's content becomes the settings file through the commit path, as every other
        // write of it: a link at the settings file's name stays a link and its target gets the
        // content, and a failed write leaves no settings file and the update still waiting.
        std::ifstream update(newPath, std::ios::binary);
        std::ostringstream content;
        if (update.is_open() && update.peek() != std::ifstream::traits_type::eof())
            content << update.rdbuf();
        if (!update.is_open() || update.bad())
            throw ini::EIniFileError("Cannot read file " + newPath);
        try {
            commit::WriteFileAtomically(iniPath, content.str());
        } catch (const commit::CommitError& failure) {
            throw ini::EIniFileError(failure.what());
        }
        fs::remove(newPath);
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
