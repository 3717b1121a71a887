#pragma once

// Helpers for the writers' fault-injection tests: what a folder holds, and running a write in a
// child process under a file-size limit (a real part-way failure).

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test_support {

// The names of every entry in the folder (hidden ones too), sorted.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

// What a write run in a child process gave: its exit code (-1 when it died of a signal, with the
// signal in `signal`) and the text it reported.
struct ChildOutcome {
    int exitCode = -1;
    int signal = 0;
    std::string text;
};

// Runs `work` in a forked child after `setUp` (which returns false, with a reason, when the child
// cannot be made ready: exit code 3). The exit code is 0 when `work` returns, 1 when it throws (the
// exception's text is reported back); other codes are the child's own `_exit`.
ChildOutcome RunInChildProcess(const std::function<bool(std::string& reason)>& setUp,
                               const std::function<void()>& work);

// Runs `write` in a forked child whose file-size limit is `limitBytes`. The child's exit code is
// 0 when `write` returns, 1 when it throws (the exception's text is reported back).
ChildOutcome RunUnderFileSizeLimit(std::size_t limitBytes, const std::function<void()>& write);
// The same under another resource limit (RLIMIT_NOFILE: open files), soft and hard.
ChildOutcome RunUnderLimit(int resource, std::size_t limit, const std::function<void()>& write);

// What a writer killed part-way leaves: a child process writes `content` to `target` through the
// commit path and ends before the commit (its temporary file stays beside the target).
void LeaveKilledWrite(const std::string& target, const std::string& content);
// A group of files (target, content) committed by a child process that ends as its `renames`-th
// rename begins: with 2 of two files, the first target is new and the second old.
void LeaveKilledGroup(const std::vector<std::pair<std::string, std::string>>& files, int renames);

// Runs `work` in a child process that ends as the commit path's `renames`-th rename begins, as a
// writer killed at that moment; true when `work` was done before.
bool RunEndingAtRename(int renames, const std::function<void()>& work);

// A writer of a set of files killed as each of its renames begins in turn: before each run the folder
// is emptied and `writeOld` puts the old set there; after each, RecoverFolder must tell one repair and
// leave the whole old or the whole new set (what a run not killed writes), nothing else. Ends when
// `write` runs to its end; returns how many renames it made.
int ExpectEveryKilledRenameRepaired(const std::filesystem::path& folder,
                                    const std::function<void()>& writeOld,
                                    const std::function<void()>& write);

// Creates a symbolic link `link` pointing at `target`.
void MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link);

// A writer as the hostile-target cases drive it: writes its new content to `path` (the same content
// every time over the same old file); a failure is thrown as an exception whose what() is the text the user
// is shown.
using FileWriter = std::function<void(const std::string& path)>;
// The text the writer shows for the commit path's own message (the message itself when not given).
using WriterMessage = std::function<std::string(const std::string& commitMessage)>;

// Runs `write` on `fileName` in a fresh folder below `folder` for each hostile target: a
// write-protected file, a target behind a symbolic link, links planted at the temporary names
// writers once used, a private (600) file, a write failing part-way (the injected fault after
// `partWayBytes` bytes, and a real child process under a file-size limit of that many bytes), and a
// folder that vanished (left out for a writer that makes its own folder). Each case asserts the previous file
// byte for byte (or the new content where the write must succeed), the error text, and that no other file is
// left in the folder. The writer's new content must be longer than `partWayBytes`.
void ExpectSafeCommits(const std::filesystem::path& folder, const std::string& fileName,
                       const FileWriter& write, const WriterMessage& message = {},
                       std::size_t partWayBytes = 8, bool makesItsFolder = false);

} // namespace test_support
