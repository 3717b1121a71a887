#pragma once

// The one way the system writes a file: new content goes to an unpredictable temporary file beside
// the target and replaces the target only when every byte is written and synced.
//
// Rules (those Qt's QSaveFile follows, plus several files as one):
// - the target is found through symbolic links: a link stays a link and its target gets the content;
// - an existing target the user may not write, or one that is not a regular file, is refused;
// - the temporary file is created O_CREAT | O_EXCL | O_NOFOLLOW under a random name in the target's
//   folder, so no planted link is followed; it is removed on every failure;
// - the new file keeps the old file's mode (and owner and group where the process may); a new file
//   gets 0666 under the umask;
// - every write is checked; the data is synced before the rename and the folder after it;
// - a target with several hard links is rewritten in place, but only once the whole new content is
//   safely written and synced beside it (so the links stay one file);
// - a failure never touches the target, and is always reported as a CommitError.

#include "platform/commit/CommitDetail.h"

#include <memory>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace commit {

// A file that could not be committed. what() is the whole message ("Cannot create file x.csv.
// Existing file x.csv is not writable"); reason() is the cause alone, code() the system's error
// number that stands for it (EACCES for a refused target).
class CommitError : public std::runtime_error {
public:
    enum class Stage { Create, Write };
    CommitError(Stage stage, std::string path, std::string reason, int code);
    // A cause that is the system's error `code`, with its text.
    CommitError(Stage stage, std::string path, int code);
    Stage stage() const { return stage_; }
    const std::string& path() const { return path_; }
    const std::string& reason() const { return reason_; }
    int code() const { return code_; }

private:
    Stage stage_;
    std::string path_;
    std::string reason_;
    int code_;
};

// Makes a write past the process's file-size limit an ordinary write error (EFBIG) instead of the
// signal that kills the process and leaves its temporary file behind. Every FileCommit calls it.
void IgnoreFileSizeSignal();

// The mode a new file gets: 0666 under the process's umask.
unsigned NewFileMode();

// Where a target name really leads: the name itself, or the file its symbolic link(s) point to.
std::string ResolveTarget(const std::string& target);

class FileCommit;

// A buffered output stream into a FileCommit: the first failing write sets the stream's badbit and
// is kept as the commit's error. The stream can be repositioned (tellp / seekp), so writers that
// fill in a header at the end (a record count, a next free block) write through it too.
class CommitBuffer : public detail::GatheringBuffer {
public:
    explicit CommitBuffer(FileCommit& file);
    ~CommitBuffer() override;

protected:
    bool writeThrough(const char* data, std::size_t size) override;
    pos_type seekoff(off_type offset, std::ios_base::seekdir way, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type position, std::ios_base::openmode which) override;

private:
    FileCommit& file_;
};

// One file being written. Destroying it without commit() discards the new content.
class FileCommit {
public:
    // Opens the temporary file; throws CommitError (Stage::Create) when the target is refused or
    // the temporary file cannot be made.
    explicit FileCommit(std::string target);
    ~FileCommit();
    FileCommit(const FileCommit&) = delete;
    FileCommit& operator=(const FileCommit&) = delete;

    // The name as given, and the file that the commit replaces.
    const std::string& target() const { return target_; }
    const std::string& resolvedTarget() const { return resolved_; }

    // Checked, unbuffered writes; throw CommitError (Stage::Write).
    void write(std::string_view data);
    // A buffered stream for writers that produce small pieces; its failure surfaces at commit().
    std::ostream& stream();
    // False once a write has failed.
    bool good() const { return error_ == 0; }

    // Flushes, syncs and replaces the target; throws CommitError and leaves the target untouched.
    void commit();
    // Throws away the new content (nothing happens once committed or discarded).
    void discard();
    bool committed() const { return state_ == State::Committed; }

private:
    friend class CommitGroup;
    friend class CommitBuffer;
    enum class State { Open, Prepared, Committed, Discarded };

    bool writeRaw(const char* data, std::size_t size);
    [[noreturn]] void failWrite();
    // Flushes, gives the file its mode and syncs it; the file is then ready to be installed.
    void prepare();
    // Puts the prepared file in the target's place.
    void install();
    bool installInPlace();
    void syncFolder() const;

    std::string target_;
    std::string resolved_;
    std::string base_;      // the resolved target's name within its folder
    int folder_ = -1;       // the resolved target's folder, open
    std::string temporary_; // the temporary file's name within the folder
    int fd_ = -1;
    int error_ = 0;
    std::size_t unflushed_ = 0; // bytes written since the kernel was last asked to start writing
    bool targetExisted_ = false;
    unsigned oldMode_ = 0;
    unsigned oldLinks_ = 0;
    uid_t oldOwner_ = 0;
    gid_t oldGroup_ = 0;
    State state_ = State::Open;
    std::unique_ptr<CommitBuffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
};

// Several files committed as one (a table and its memo file, pages with their index): each is
// written completely first, then all replace their targets; when any fails, every target keeps its
// old content. Files with several hard links are replaced by rename here, so that the old content
// can be put back.
class CommitGroup {
public:
    CommitGroup() = default;
    CommitGroup(const CommitGroup&) = delete;
    CommitGroup& operator=(const CommitGroup&) = delete;

    // Opens one more file of the group (throws CommitError as FileCommit does).
    FileCommit& add(const std::string& target);
    std::size_t size() const { return files_.size(); }
    FileCommit& operator[](std::size_t index) { return *files_[index]; }

    void commit();
    void discard();

private:
    std::vector<std::unique_ptr<FileCommit>> files_;
};

// Writes the whole content to the target through a FileCommit.
void WriteFileAtomically(const std::string& target, std::string_view content);

} // namespace commit
