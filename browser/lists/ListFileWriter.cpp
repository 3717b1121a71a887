#include "browser/lists/ListFileWriter.h"

#include "platform/commit/FileCommit.h"

namespace browser {

void WriteWholeFile(const std::string& path, const std::string& content) {
    try {
        commit::WriteFileAtomically(path, content);
    } catch (const commit::CommitError& error) {
        throw ListFileError(error.what());
    }
}

} // namespace browser
