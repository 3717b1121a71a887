#pragma once

// The files of one HTML export (pages, index page, style sheet), committed as one group: Commit puts
// them all in place, or none when one fails. A file opened "spilled" goes to one scratch file beside
// the targets first, so that texts can be inserted into it once it is complete (the navigation bars);
// the others are written straight to their commit. Each file is finished (written, synced and
// closed) before the next one is opened, so a run of thousands of pages holds a few descriptors.

#include "platform/commit/CommitDetail.h"
#include "platform/commit/FileCommit.h"
#include "platform/commit/SpillFile.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace exporter {

// The buffer of the file being written straight, one for the whole run (not one per page): its bytes
// go to that file's commit in large writes. The first failing write is kept with its cause.
class THTMLStraightBuffer : public commit::detail::GatheringBuffer {
public:
    THTMLStraightBuffer();
    // Writes to `file` from now on (what waited must have been sent).
    void Attach(commit::FileCommit* file);
    // Sends what waits to the file; raises EExportError with the cause of a failed write.
    void Flush();

protected:
    bool writeThrough(const char* data, std::size_t size) override;
    // tellp: the bytes written to the file so far, buffered ones included.
    pos_type seekoff(off_type offset, std::ios_base::seekdir way, std::ios_base::openmode which) override;

private:
    commit::FileCommit* file_ = nullptr;
    std::int64_t sent_ = 0;
    std::optional<commit::CommitError> error_;
};

class THTMLFileSet {
public:
    THTMLFileSet() = default;
    THTMLFileSet(const THTMLFileSet&) = delete;
    THTMLFileSet& operator=(const THTMLFileSet&) = delete;

    // Closes the open file, then opens the target's new content for writing; the buffer stays valid
    // until the next Open or Close. A spilled file opened again starts over; a file written straight
    // is opened once. Throws EExportError when the target is refused.
    std::streambuf* Open(const std::string& target, bool spilled);
    // Closes the open file: a file written straight is finished (its write error, with the cause,
    // raised as EExportError).
    void Close();
    // Writes a whole file at once (straight to its commit).
    void WriteWhole(const std::string& target, const std::string& content);
    // Writes a closed spilled file to its commit with texts inserted at stream positions (tellp of the
    // buffer Open gave) within its content, in any order.
    void Insert(const std::string& target, std::vector<std::pair<std::int64_t, std::string>> inserts);
    // Forgets a spilled file that is not to be written after all.
    void Discard(const std::string& target);
    // Puts every file in place (spilled ones as they are); throws EExportError, every old file kept.
    void Commit();

private:
    struct TEntry {
        std::string Target;
        bool Spilled = false;
        std::int64_t Start = 0;                 // the spilled content's range in the scratch file
        std::int64_t End = -1;                  // -1 while open
        commit::FileCommit* Straight = nullptr; // the commit of a file written straight
    };
    TEntry* Find(const std::string& target);
    commit::FileCommit& AddCommit(const std::string& target);
    // Flushes, syncs and closes a complete file of the group; raises EExportError with the cause.
    static void Finish(commit::FileCommit& file);
    // Writes to a file's commit; raises EExportError with the cause.
    static void Write(commit::FileCommit& file, std::string_view bytes);
    // The spilled entry's content with the inserts, into its commit.
    void CopySpilled(const TEntry& entry, std::vector<std::pair<std::int64_t, std::string>> inserts);

    commit::CommitGroup group_;
    THTMLStraightBuffer straight_;
    std::unique_ptr<commit::SpillFile> spill_;
    std::vector<TEntry> entries_;
    std::string open_; // target of the open file
};

} // namespace exporter
