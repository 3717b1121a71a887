#pragma once

#include "platform/commit/FileCommit.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace browser {

// A file of the record lists (HOSTS, CSV, saved page text) could not be written.
class ListFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes content to path through the commit path: a temporary file beside the target replaces the
// old file only once all is written and synced; a link stays a link, a write-protected file is
// refused. A failure leaves the old file as it was and raises ListFileError ("Cannot create file
// <path>. <reason>" or "Cannot write file <path>. <reason>").
void WriteWholeFile(const std::string& path, const std::string& content);

// Files of the record lists saved as one (the batch run's CSV files): each is written beside its
// target when added, and Commit puts all of them in place or none.
class ListFileGroup {
public:
    // Writes the content beside the file; raises ListFileError. Once an Add has failed, the group
    // replaces no file and later ones write nothing.
    void Add(const std::string& path, const std::string& content);
    // Puts every added file in place, or none; returns an empty text, or why no file was replaced and
    // which files stayed as they were ("<error>. dns.csv and rev-dns.csv are left as they were.").
    std::string Commit();

private:
    // "a.csv is left as it was." or "a.csv, b.csv and c.csv are left as they were."
    std::string KeptText() const;

    commit::CommitGroup files_;
    std::vector<std::string> names_;
    bool failed_ = false;
};

} // namespace browser
