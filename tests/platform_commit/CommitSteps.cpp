#include "tests/platform_commit/CommitSteps.h"

#include "tests/support/WriteFaults.h"

#include <cerrno>
#include <exception>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace commit_test {

namespace {

// What an open descriptor is, for the trace: "folder", "journal" or "file".
std::string KindOf(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
        return "folder";
    char path[4096] = {};
    const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    const std::string name(path, n > 0 ? std::size_t(n) : 0);
    return name.size() > 7 && name.compare(name.size() - 7, 7, ".commit") == 0 ? "journal" : "file";
}

} // namespace

bool StepCalls::enter(Step step, const std::string& what) {
    ++steps;
    if (steps == endAtStep)
        ::_exit(EndedAtStep);
    trace.push_back(what);
    const int count = ++counts_[step];
    if (before)
        before(step, count);
    if (failError != 0 && step == failStep && count == failNth) {
        errno = failError;
        return false;
    }
    return true;
}

int StepCalls::openat(int folder, const char* name, int flags, mode_t mode) {
    if ((flags & O_CREAT) != 0 && beforeCreate)
        beforeCreate(folder, name);
    if (!enter(Step::Open, "create"))
        return -1;
    return SystemCalls::openat(folder, name, flags, mode);
}

ssize_t StepCalls::write(int fd, const void* data, std::size_t size) {
    if (!enter(Step::Write, "write " + KindOf(fd)))
        return -1;
    return SystemCalls::write(fd, data, writeLimit != 0 && size > writeLimit ? writeLimit : size);
}

int StepCalls::fsync(int fd) {
    if (!enter(Step::Sync, "sync " + KindOf(fd)))
        return -1;
    return SystemCalls::fsync(fd);
}

int StepCalls::close(int fd) {
    if (!enter(Step::Close, "close"))
        return -1;
    return SystemCalls::close(fd);
}

int StepCalls::fchown(int fd, uid_t owner, gid_t group) {
    if (!enter(Step::Chown, "chown"))
        return -1;
    return SystemCalls::fchown(fd, owner, group);
}

int StepCalls::fchmod(int fd, mode_t mode) {
    if (!enter(Step::Chmod, "chmod"))
        return -1;
    return SystemCalls::fchmod(fd, mode);
}

int StepCalls::fsetxattr(int fd, const char* name, const void* value, std::size_t size) {
    if (!enter(Step::Attribute, "attribute"))
        return -1;
    return SystemCalls::fsetxattr(fd, name, value, size);
}

int StepCalls::linkat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (!enter(Step::Link, "link"))
        return -1;
    return SystemCalls::linkat(fromFolder, from, toFolder, to);
}

int StepCalls::renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    if (!enter(Step::Rename, "rename"))
        return -1;
    return SystemCalls::renameat(fromFolder, from, toFolder, to);
}

int StepCalls::unlinkat(int folder, const char* name) {
    if (!enter(Step::Unlink, "unlink"))
        return -1;
    return SystemCalls::unlinkat(folder, name);
}

int StepCalls::first(const std::string& what) const {
    for (std::size_t i = 0; i < trace.size(); ++i)
        if (trace[i] == what)
            return int(i);
    return -1;
}

int StepCalls::last(const std::string& what) const {
    for (std::size_t i = trace.size(); i-- > 0;)
        if (trace[i] == what)
            return int(i);
    return -1;
}

Identity Nobody() {
    const passwd* user = ::getpwnam("nobody");
    const uid_t id = user ? user->pw_uid : 65534;
    const gid_t group = user ? user->pw_gid : 65534;
    return {id, group, {group}};
}

ChildResult RunInChild(const std::function<void()>& work, const std::optional<Identity>& identity) {
    const test_support::ChildOutcome outcome = test_support::RunInChildProcess(
        [&](std::string& reason) {
            if (identity && (::setgroups(identity->groups.size(), identity->groups.data()) != 0 ||
                             ::setresgid(identity->group, identity->group, identity->group) != 0 ||
                             ::setresuid(identity->user, identity->user, identity->user) != 0)) {
                reason = "cannot change user";
                return false;
            }
            return true;
        },
        work);
    return {outcome.exitCode, outcome.text};
}

} // namespace commit_test
