#pragma once

// How a commit names the files it leaves in a folder while it runs, the record a group keeps of
// itself before its first rename, and how a folder is repaired after a writer died part-way.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace commit::detail {

// An open folder that one writer commits files into; the files of a group in one folder share it.
struct Folder {
    Folder(int fd, std::string given);
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd = -1;
    std::string given; // the folder as the target named it
    std::string path;  // absolute where it could be found
    dev_t device = 0;
    ino_t inode = 0;
    std::size_t nameMax = 255; // the longest name the folder takes
    bool sticky = false;       // only a file's owner (or the folder's) may replace it
    uid_t owner = 0;
    int journalFd = -1; // a group's journal here, open and locked while the group lives
    std::string journal;
};

// Opens the folder; -1 with errno set when it cannot be opened.
int OpenFolder(const std::string& path);

// Takes and gives back the open folder's lock that a group holds through its renames and a repair
// through its own (a wait while another holds it).
void LockFolder(int fd);
void UnlockFolder(int fd);

// The kinds of file a writer leaves beside its targets, told apart by the name's ending.
enum class PartKind { Temporary, Backup, Journal };

// The name of a writer's file for the target `base`: "." + base (cut short when the whole would not
// fit the folder's name limit) + "~" + the writer's `id` + ".new", ".old" or ".commit".
std::string PartName(const std::string& base, const std::string& id, PartKind kind, std::size_t nameMax);

// The writer id and kind of a name PartName made; false for any other name.
bool ParsePartName(const std::string& name, std::string& writer, PartKind& kind);

// Creates a file in the folder under the name `make()` gives (a new name for each try while one is
// taken), and holds an exclusive lock on it, the mark of a live writer. -1 with errno set when it
// cannot be made; `name` is then empty.
int CreateLockedFile(int folder, const std::function<std::string()>& make, std::string& name, int flags);

// What a group's record says of one file.
struct JournalMember {
    std::size_t folder = 0;              // index into JournalRecord::folders
    std::string target;                  // the target's name within the folder
    std::string temporary;               // the new content's name until it is renamed
    std::string backup;                  // a second name of the old file; empty when there was none
    std::uint64_t device = 0, inode = 0; // the new content's file
};

struct JournalFolder {
    std::string path;
    std::uint64_t device = 0, inode = 0;
    std::string journal; // the group's journal in this folder
};

// The synced record of a group, written before its first rename.
struct JournalRecord {
    std::vector<JournalFolder> folders;
    std::vector<JournalMember> members;
};

std::string EncodeRecord(const JournalRecord& record);
// The record, or nothing when the text is not a whole one (the writer died while writing it).
std::optional<JournalRecord> DecodeRecord(std::string_view text);

// What repairing a group did.
struct RepairOutcome {
    bool complete = true; // every file is all old or all new and every leftover of the group is gone
    bool forward = false; // the new files stay (every rename had been made)
    int error = 0;        // the first failure when not complete
};

// Puts the group's files all back to their old content, or, when every rename had been made, leaves
// them all new; removes the group's temporary and backup files. `folderFds[i]` is the folder of
// `record.folders[i]` (-1 when it cannot be reached). The journals are left to the caller.
RepairOutcome RepairGroup(const JournalRecord& record, const std::vector<int>& folderFds);

// The notice for a repaired group.
std::string GroupNotice(const JournalRecord& record, const RepairOutcome& outcome);

// Repairs what dead writers left in the open folder `fd` (reached as `path`); one line per repair.
std::vector<std::string> RecoverOpenFolder(int fd, const std::string& path);

} // namespace commit::detail
