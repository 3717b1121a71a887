#include "browser/startup/DataDirectory.h"

#include "browser/collection/CormelianSettings.h"
#include "browser/collection/StartupText.h"
#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace browser {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxHomePathLength = 255;

// The leaf component of a dotted object name ("SRV1.ACME" gives SRV1; "\." stays in its component).
std::string LeafComponent(const std::string& name) {
    std::string leaf;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size() && name[i + 1] == '.') {
            leaf += '.';
            ++i;
        } else if (name[i] == '.') {
            break;
        } else {
            leaf += name[i];
        }
    }
    return leaf;
}

std::string CollapseRepeated(std::string text, char separator) {
    const std::string doubled(2, separator);
    for (std::size_t at = text.find(doubled); at != std::string::npos; at = text.find(doubled, at))
        text.erase(at, 1);
    return text;
}

// Copies the settings file through the commit path, so that a copy cut short never takes the name.
// Returns the reason when it fails, nothing when the copy is in place.
std::optional<std::string> CopySettingsFile(const fs::path& from, const fs::path& to) {
    std::ifstream in(from, std::ios::binary);
    if (!in)
        return "cannot read " + from.string();
    std::ostringstream content;
    content << in.rdbuf();
    try {
        commit::WriteFileAtomically(to.string(), content.str());
    } catch (const commit::CommitError& error) {
        return std::string(error.what());
    }
    return std::nullopt;
}

} // namespace

std::string ServerPathOfHome(const std::string& server, const std::string& resource,
                             const std::string& path) {
    return "\\\\" + CollapseRepeated(server + "\\" + resource + "\\" + path + "\\", '\\');
}

std::optional<std::string> DataDirectorySettler::Fail(std::string message) {
    message_ = std::move(message);
    return std::nullopt;
}

std::optional<std::string> DataDirectorySettler::Prepare(const std::string& folder,
                                                         const std::string& programIni) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        return Fail("Can't create the data directory " + folder + ": " + error.message());
    if (!fs::is_directory(folder, error))
        return Fail("Can't create the data directory " + folder);
    const fs::path dataIni = fs::path(folder) / kSettingsFileName;
    if (!fs::exists(dataIni, error) && fs::exists(programIni, error)) {
        if (const auto failure = CopySettingsFile(programIni, dataIni))
            return Fail("Can't copy " + programIni + " to " + folder + ": " + *failure);
    }
    return folder;
}

std::optional<std::string> DataDirectorySettler::Settle(const std::string& programFolder) {
    message_.clear();
    const std::string folder = WithTrailingSlash(programFolder);
    const std::string programIni = folder + kSettingsFileName;
    if (!directory_.PathOnServerVolume(folder)) {
        if (directory_.FolderWritable(folder))
            return folder;
        if (userDataFolder_.empty())
            return Fail("The program folder " + folder +
                        " cannot be written and there is no user data folder");
        return Prepare(WithTrailingSlash(userDataFolder_), programIni);
    }

    std::string path = ini::IniFile(programIni).ReadString("NETWORK", "path", "");
    if (path.empty())
        return Fail("Program is installed on a Netware volume, set [netware] section!");

    if (LowerCase(path).find("%homedir%") != std::string::npos) {
        const auto home = HomeDirectory();
        if (!home)
            return std::nullopt;
        path = ReplaceAllIgnoringCase(path, "%homedir%", *home);
    }
    return Prepare(WithTrailingSlash(CollapseRepeated(path, '/')), programIni);
}

std::optional<std::string> DataDirectorySettler::HomeDirectory() {
    const std::string user = directory_.LoggedInUserName(mainContext_);
    const std::string homeAttribute = directory_.ReadAttributeText(mainContext_, user, "Home Directory");
    const std::size_t cut = homeAttribute.find(';');
    const std::string volume = homeAttribute.substr(0, cut);
    const std::string rest =
        cut == std::string::npos ? std::string() : homeAttribute.substr(cut + 1, kMaxHomePathLength);
    if (volume.empty())
        return Fail("User " + user + " has no homedirectory!!");

    const std::string server =
        LeafComponent(directory_.ReadAttributeText(mainContext_, volume, "Host Server"));
    const std::string resource = directory_.ReadAttributeText(mainContext_, volume, "Host Resource Name");
    const std::string serverPath = ServerPathOfHome(server, resource, rest);
    const std::string local = directory_.LocalPathOfServerPath(serverPath);
    if (local.empty())
        return Fail("The home directory " + serverPath + " of user " + user +
                    " is not mapped on this workstation!");
    return WithTrailingSlash(local);
}

} // namespace browser
