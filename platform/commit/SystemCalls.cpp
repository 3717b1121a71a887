#include "platform/commit/CommitDetail.h"

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace commit::detail {

namespace {

std::atomic<SystemCalls*>& Installed() {
    static std::atomic<SystemCalls*> installed{nullptr};
    return installed;
}

} // namespace

SystemCalls::~SystemCalls() = default;

int SystemCalls::openat(int folder, const char* name, int flags, mode_t mode) {
    return ::openat(folder, name, flags, mode);
}

ssize_t SystemCalls::write(int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
}

int SystemCalls::fsync(int fd) {
    return ::fsync(fd);
}

int SystemCalls::close(int fd) {
    return ::close(fd);
}

int SystemCalls::fchown(int fd, uid_t owner, gid_t group) {
    return ::fchown(fd, owner, group);
}

int SystemCalls::fchmod(int fd, mode_t mode) {
    return ::fchmod(fd, mode);
}

int SystemCalls::fsetxattr(int fd, const char* name, const void* value, std::size_t size) {
    return ::fsetxattr(fd, name, value, size, 0);
}

int SystemCalls::linkat(int fromFolder, const char* from, int toFolder, const char* to) {
    return ::linkat(fromFolder, from, toFolder, to, 0);
}

int SystemCalls::renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    return ::renameat(fromFolder, from, toFolder, to);
}

int SystemCalls::unlinkat(int folder, const char* name) {
    return ::unlinkat(folder, name, 0);
}

SystemCalls& Sys() {
    static SystemCalls real;
    SystemCalls* installed = Installed().load();
    return installed ? *installed : real;
}

void UseSystemCalls(SystemCalls* calls) {
    Installed().store(calls);
}

} // namespace commit::detail
