#include "browser/lists/ListFileWriter.h"

#include "platform/commit/FileCommit.h"

#include <filesystem>

namespace browser {

void WriteWholeFile(const std::string& path, const std::string& content) {
    try {
        commit::WriteFileAtomically(path, content);
    } catch (const commit::CommitError& error) {
        throw ListFileError(error.what());
    }
}

void ListFileGroup::Add(const std::string& path, const std::string& content) {
    names_.push_back(std::filesystem::path(path).filename().string());
    if (failed_)
        return;
    try {
        files_.add(path).write(content);
    } catch (const commit::CommitError& error) {
        failed_ = true;
        files_.discard();
        throw ListFileError(error.what());
    }
}

std::string ListFileGroup::Commit() {
    if (names_.empty())
        return {};
    if (failed_)
        return KeptText();
    try {
        files_.commit();
    } catch (const commit::CommitError& error) {
        return std::string(error.what()) + ". " + KeptText();
    }
    return {};
}

std::string ListFileGroup::KeptText() const {
    std::string text;
    for (std::size_t i = 0; i < names_.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names_.size() ? " and " : ", ") + names_[i];
    return text + (names_.size() == 1 ? " is left as it was." : " are left as they were.");
}

} // namespace browser
