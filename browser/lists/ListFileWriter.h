#pragma once

#include <stdexcept>
#include <string>

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

} // namespace browser
