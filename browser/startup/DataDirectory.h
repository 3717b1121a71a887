#pragma once

#include "browser/collection/TreeDirectory.h"

#include <optional>
#include <string>

namespace browser {

// Settles the data directory: the folder that holds the settings file and the local cache.
//
// A program folder that is not on a server volume is the data directory when this process can
// write it; otherwise (a program installed system-wide, or run by another user) the user's own
// data folder is, created when missing and seeded like a network data directory. On a server
// volume the program folder's settings file names it in [NETWORK] path, where "%homedir%" (any
// case) stands for the logged-in user's home directory read from the directory; the folder is
// created when missing and given a copy of the program folder's settings file when it has none.
class DataDirectorySettler {
public:
    DataDirectorySettler(TreeDirectory& directory, ContextHandle mainContext)
        : directory_(directory), mainContext_(mainContext) {}

    // The folder that serves when the program folder cannot be written (empty: none).
    void SetUserDataFolder(std::string folder) { userDataFolder_ = std::move(folder); }

    // The data directory (ending in "/"), or nothing when it cannot be settled; then message()
    // says why.
    std::optional<std::string> Settle(const std::string& programFolder);
    const std::string& message() const { return message_; }

private:
    std::optional<std::string> HomeDirectory();
    std::optional<std::string> Fail(std::string message);
    // Creates the folder when missing and copies the program folder's settings file into it when
    // it has none.
    std::optional<std::string> Prepare(const std::string& folder, const std::string& programIni);

    TreeDirectory& directory_;
    ContextHandle mainContext_;
    std::string userDataFolder_;
    std::string message_;
};

// "\\" + server + "\" + resource + "\" + path + "\" with every doubled "\" after the leading pair
// reduced to one.
std::string ServerPathOfHome(const std::string& server, const std::string& resource, const std::string& path);

} // namespace browser
