#pragma once

// The one way the system writes a file: new content goes to an unpredictable temporary file beside
// the target and replaces the target by rename only when every byte is written and synced.
//
// Rules (those Qt's QSaveFile follows, plus several files as one and repair after a crash):
// - the target is found through symbolic links (at most 40, as the kernel): a link stays a link and
//   its target gets the content;
// - an existing target the user may not write (ACLs count; a file without any write bit stays
//   protected even from root), one that is not a regular file, or one that a sticky folder would not
//   let the user replace, is refused before anything is created;
// - the temporary file is created O_CREAT | O_EXCL | O_NOFOLLOW under a random name in the target's
//   folder, so no planted link is followed; it is removed at the first failing write;
// - the new file keeps the old file's owner and group where the process may (the group alone where
//   only that is allowed), its mode (never granting a class of users more than before), and its
//   extended attributes and ACL; a new file gets 0666 under the umask;
// - every write is checked; the data is synced before the rename and the folder after it; every
//   failure is a CommitError with its cause;
// - a target is always replaced by rename, never rewritten in place: other hard links to the old
//   file keep the old content;
// - names of temporary, backup and journal files fit the folder's name limit, whatever the target's;
// - a writer holds a lock on its files while it lives; whatever touches a folder next removes what a
//   dead writer left there and repairs an interrupted group (see RecoverFolder).

#include "platform/commit/CommitDetail.h"

#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace commit {

namespace detail {
struct Folder;
}

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

// Raises the process's soft limit of open files to its hard limit; programs call it at start.
void RaiseOpenFileLimit();

// Repairs what interrupted commits left in `folder`: a group is put back to all its old files, or
// completed when every new file was already in place; what dead writers left (temporary, backup and
// journal files) is removed; files of live writers stay. One line per repair (none when nothing was
// found). Every commit does this for its folders before it creates anything.
std::vector<std::string> RecoverFolder(const std::string& folder);

// Where the repairs a commit makes on its own are told, one line each (by default: standard error).
void SetRecoveryNoticeSink(std::function<void(const std::string&)> sink);

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

    // The whole content is written: flushes and syncs it. In a group the file is then closed and
    // waits for the commit by name, so a group holds no descriptor per finished file. Throws
    // CommitError (Stage::Write); further writes fail.
    void finish();

    // Flushes, syncs and replaces the target; throws CommitError and leaves the target untouched.
    void commit();
    // Throws away the new content (nothing happens once committed or discarded).
    void discard();
    bool committed() const { return state_ == State::Committed; }

private:
    friend class CommitGroup;
    friend class CommitBuffer;
    enum class State { Open, Prepared, Committed, Failed, Discarded };

    // A file of a group: its folder is the group's, `name` gives the temporary file's names to try.
    FileCommit(std::string target, std::string resolved, std::shared_ptr<detail::Folder> folder,
               const std::function<std::string()>& name);
    // Checks the existing target and keeps what the new file takes from it.
    void inspectTarget();
    void createTemporary(const std::function<std::string()>& name);
    bool writeRaw(const char* data, std::size_t size);
    // Removes the temporary file at once and keeps the error for the next call.
    void failAtOnce(int error);
    // Removes the temporary file and closes it.
    void dropTemporary();
    [[noreturn]] void failWrite();
    // Gives the file its owner, mode and attributes from the old one; false with errno on failure.
    bool takeOldAttributes();
    // Flushes, gives the file its attributes and syncs it (closing it when `close`).
    void prepare(bool close);
    // Renames the prepared file into the target's place and syncs the folder; returns the folder
    // sync's error (0 when it succeeded). Throws CommitError when the rename fails.
    int install();

    std::string target_;
    std::string resolved_;
    std::string base_; // the resolved target's name within its folder
    std::shared_ptr<detail::Folder> folder_;
    std::string temporary_; // the temporary file's name within the folder
    int fd_ = -1;
    int error_ = 0;
    std::size_t unflushed_ = 0; // bytes written since the kernel was last asked to start writing
    bool targetExisted_ = false;
    unsigned oldMode_ = 0;
    uid_t oldOwner_ = 0;
    gid_t oldGroup_ = 0;
    dev_t oldDevice_ = 0;
    ino_t oldInode_ = 0;
    State state_ = State::Open;
    std::unique_ptr<CommitBuffer> buffer_;
    std::unique_ptr<std::ostream> stream_;
};

// Several files committed as one (a table and its memo file, pages with their index): each is
// written completely first; then a backup name of every old file and a synced record of the group
// (a journal file beside the targets) are made, all new files replace their targets, and the record
// goes. When any step fails, every target keeps its old content; when the process dies part-way,
// whatever touches the folder next puts the set back to all old or all new. Groups in the same folder
// make their renames in turn, so two of them over the same files never leave a mixed set. Two members
// that lead to the same file are refused. A finished member (finish()) holds no descriptor.
class CommitGroup {
public:
    CommitGroup();
    ~CommitGroup();
    CommitGroup(const CommitGroup&) = delete;
    CommitGroup& operator=(const CommitGroup&) = delete;

    // Opens one more file of the group (throws CommitError as FileCommit does, and when the file is
    // already a member under this or another name).
    FileCommit& add(const std::string& target);
    std::size_t size() const { return files_.size(); }
    FileCommit& operator[](std::size_t index) { return *files_[index]; }

    void commit();
    void discard();

private:
    // The folder of a target, shared by the group's files in it; the first time: repaired, with the
    // group's journal made in it.
    std::shared_ptr<detail::Folder> folderFor(const std::string& target, const std::string& resolved);
    void removeJournals();

    std::string writer_;    // the id in the names of the group's files
    std::size_t names_ = 0; // numbers the names of the group's files
    std::vector<std::shared_ptr<detail::Folder>> folders_;
    std::vector<std::unique_ptr<FileCommit>> files_;
};

// Writes the whole content to the target through a FileCommit.
void WriteFileAtomically(const std::string& target, std::string_view content);

} // namespace commit
