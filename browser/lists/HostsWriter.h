#pragma once

#include "browser/records/RecordRow.h"

#include <string>
#include <vector>

namespace browser {

// The HOSTS file made from the DNS list.

// One line: the address padded with blanks to 20 characters, the names and a blank padded to 30
// more characters (always at least one blank each), then "# " and the comments.
std::string HostsLine(const std::string& address, const std::string& names, const std::string& comments);

// The lines for rows in list order (the caller sorts them by address first). Rows with the same
// caption in a run make one line holding the names of their "A" rows and the non-empty infos of
// those rows as comments. With includeLocalhost the file starts with the loopback line and "#".
std::vector<std::string> HostsLines(const std::vector<RecordRow>& rows, bool includeLocalhost);

// Writes the lines, each ended by CR LF (through a temporary file); raises ListFileError.
void WriteHostsFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace browser
