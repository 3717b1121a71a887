#include "browser/collection/TreeDirectory.h"

#include "browser/collection/StartupText.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace browser {

std::string TreeDirectory::ClientProblem() {
    return {};
}

std::string TreeDirectory::TreeProblem(const std::string&) {
    return {};
}

std::vector<std::string> TreeDirectory::TreeProblems() {
    return {};
}

bool TreeDirectory::FolderWritable(const std::string& folder) {
    // Permission bits do not tell it all (read-only mounts, access lists): try it.
    const std::string probe = WithTrailingSlash(folder) + ".cormelian-probe-" + std::to_string(::getpid());
    const int handle = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (handle < 0)
        return false;
    ::close(handle);
    ::unlink(probe.c_str());
    return true;
}

} // namespace browser
