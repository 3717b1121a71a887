#pragma once

#include <stdexcept>
#include <string>

namespace browser {

// A file of the record lists (HOSTS, CSV, saved page text) could not be written.
class ListFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes content to path through a temporary file that replaces the old file only once all is
// written, so a failure never leaves a half-written file behind. Raises ListFileError.
void WriteWholeFile(const std::string& path, const std::string& content);

} // namespace browser
