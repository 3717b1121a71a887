#pragma once

#include "browser/collection/TreeDirectory.h"

#include <optional>
#include <string>

namespace browser {

// Settles the data directory: the folder that holds the settings file and the local cache.
//
// A program folder that is not on a server volume is the data directory. On a server volume the
// program folder's settings file names it in [NETWORK] path, where "%homedir%" (any case) stands
// for the logged-in user's home directory read from the directory; the folder is created when
// missing and given a copy of the program folder's settings file when it has none.
class DataDirectorySettler {
public:
    DataDirectorySettler(TreeDirectory& directory, ContextHandle mainContext)
        : directory_(directory), mainContext_(mainContext) {}

    // The data directory (ending in "/"), or nothing when it cannot be settled; then message()
    // says why.
    std::optional<std::string> Settle(const std::string& programFolder);
    const std::string& message() const { return message_; }

private:
    std::optional<std::string> HomeDirectory();
    std::optional<std::string> Fail(std::string message);

    TreeDirectory& directory_;
    ContextHandle mainContext_;
    std::string message_;
};

// "\\" + server + "\" + resource + "\" + path + "\" with every doubled "\" after the leading pair
// reduced to one.
std::string ServerPathOfHome(const std::string& server, const std::string& resource, const std::string& path);

// The folder with exactly one trailing "/".
std::string WithTrailingSlash(std::string folder);

} // namespace browser
