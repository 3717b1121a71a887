#pragma once

// What the writers of this library share and no caller needs: the buffer their streams write into,
// the checked write loop, the random part of temporary names, and the seams behind CommitTesting.h.

#include <cstddef>
#include <streambuf>
#include <string>
#include <sys/types.h>
#include <vector>

namespace commit::detail {

// A stream buffer that gathers small writes and hands them on in large ones; a failed hand-on makes
// the writing stream bad.
class GatheringBuffer : public std::streambuf {
public:
    explicit GatheringBuffer(std::size_t capacity);
    // Hands the gathered bytes on; false when that failed.
    bool flushBuffer();

protected:
    // Writes the bytes on; false when they could not be written.
    virtual bool writeThrough(const char* data, std::size_t size) = 0;
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    std::vector<char> buffer_;
};

// The system calls by which the commit path changes files. The real ones by default; a test puts its
// own in their place (CommitTesting.h) to count the steps of a commit, fail one of them, cut a write
// short or end the process at a chosen step.
class SystemCalls {
public:
    virtual ~SystemCalls();
    virtual int openat(int folder, const char* name, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, std::size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fsetxattr(int fd, const char* name, const void* value, std::size_t size);
    virtual int linkat(int fromFolder, const char* from, int toFolder, const char* to);
    virtual int renameat(int fromFolder, const char* from, int toFolder, const char* to);
    virtual int unlinkat(int folder, const char* name);
};

// The system calls in use.
SystemCalls& Sys();
// Makes `calls` the ones in use (nullptr: the real ones again).
void UseSystemCalls(SystemCalls* calls);

// Writes every byte (retrying short writes); false with errno set when a write fails.
bool WriteAll(int fd, const char* data, std::size_t size);

// Sixteen random hex digits: a temporary name nobody can guess in advance.
std::string RandomSuffix();

// The part of a write of `size` bytes that succeeds; when less than `size`, `injected` is set to the
// error the rest fails with (0 otherwise).
std::size_t AllowedWriteBytes(std::size_t size, int& injected);

} // namespace commit::detail
