#pragma once

// Test doubles for the commit path's system calls (count the steps, fail one, cut writes short, end
// the process at a step) and a runner for work in a child process.

#include "platform/commit/CommitTesting.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace commit_test {

// The exit code of a child that StepCalls ended at its chosen step.
constexpr int EndedAtStep = 99;

enum class Step { Open, Write, Sync, Close, Chown, Chmod, Attribute, Link, Rename, Unlink };

// The real system calls, with a trace of what they did ("sync file", "sync journal", "sync folder",
// "rename", ...) and the faults a test asks for.
class StepCalls : public commit::detail::SystemCalls {
public:
    // The process ends (_exit(EndedAtStep)) when this step (counted from 1) begins; 0: never.
    int endAtStep = 0;
    // The `failNth` call of `failStep` fails with `failError` (0: none fails).
    Step failStep = Step::Open;
    int failNth = 0;
    int failError = 0;
    // A write writes at most this many bytes (0: as many as asked).
    std::size_t writeLimit = 0;
    // Runs before each step, with the step and how many of its kind have begun (this one included).
    std::function<void(Step step, int count)> before;
    // Runs before a file is created, with the folder and the name.
    std::function<void(int folder, const std::string& name)> beforeCreate;

    std::vector<std::string> trace;
    int steps = 0;

    int openat(int folder, const char* name, int flags, mode_t mode) override;
    ssize_t write(int fd, const void* data, std::size_t size) override;
    int fsync(int fd) override;
    int close(int fd) override;
    int fchown(int fd, uid_t owner, gid_t group) override;
    int fchmod(int fd, mode_t mode) override;
    int fsetxattr(int fd, const char* name, const void* value, std::size_t size) override;
    int linkat(int fromFolder, const char* from, int toFolder, const char* to) override;
    int renameat(int fromFolder, const char* from, int toFolder, const char* to) override;
    int unlinkat(int folder, const char* name) override;

    // Where `what` first and last shows in the trace (-1 when it does not).
    int first(const std::string& what) const;
    int last(const std::string& what) const;

private:
    // Counts the step; false (errno set) when it is the one to fail.
    bool enter(Step step, const std::string& what);
    std::map<Step, int> counts_;
};

// Who a child process runs as.
struct Identity {
    uid_t user = 0;
    gid_t group = 0;
    std::vector<gid_t> groups;
};

// The user id of "nobody" (65534 when the system has no such user).
Identity Nobody();

// What a child gave: its exit code (0 done, 1 an exception, whose text is in `text`; EndedAtStep),
// or -1 when it died of a signal.
struct ChildResult {
    int code = -1;
    std::string text;
};

// Runs `work` in a forked child, as `identity` when given.
ChildResult RunInChild(const std::function<void()>& work, const std::optional<Identity>& identity = {});

} // namespace commit_test
