#pragma once

// The files of one HTML export (pages, index page, style sheet). Each is written to a temporary file beside
// its target; Commit renames them all into place, and files not committed are removed.

#include <cstdint>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace exporter {

class THTMLFileSet {
public:
    THTMLFileSet() = default;
    ~THTMLFileSet();
    THTMLFileSet(const THTMLFileSet&) = delete;
    THTMLFileSet& operator=(const THTMLFileSet&) = delete;

    // Closes the open file, then creates (or empties) the target's temporary file and opens it for
    // writing; the buffer stays valid until the next Open or Close.
    std::streambuf* Open(const std::string& target);
    // Closes the open file; throws EExportError when its data could not be written.
    void Close();
    // Writes a whole file at once.
    void WriteWhole(const std::string& target, const std::string& content);
    // Inserts texts into a closed file at byte positions of its present content (in any order).
    void Insert(const std::string& target, std::vector<std::pair<std::int64_t, std::string>> inserts);
    // Forgets a file that is not to be written after all: its temporary file is removed.
    void Discard(const std::string& target);
    // Renames every temporary file into place.
    void Commit();

private:
    struct TEntry {
        std::string Target;
        std::string Temp;
    };
    const TEntry& EntryOf(const std::string& target);

    std::vector<TEntry> entries_;
    std::filebuf buffer_;
    std::string open_; // target of the open file
    bool committed_ = false;
};

} // namespace exporter
