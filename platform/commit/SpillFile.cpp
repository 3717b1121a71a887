#include "platform/commit/SpillFile.h"

#include "platform/commit/CommitDetail.h"
#include "platform/commit/FileCommit.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace commit {

namespace {

constexpr std::size_t SpillBufferCapacity = std::size_t(1) << 18;

int OpenUnnamed(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = folder + "/.spill~" + detail::RandomSuffix();
        const int named = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (named >= 0) {
            ::unlink(name.c_str());
            return named;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

} // namespace

std::string TemporaryFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? std::string(folder) : std::string("/tmp");
}

SpillFile::SpillFile(const std::string& folder)
    : GatheringBuffer(SpillBufferCapacity), folder_(folder.empty() ? TemporaryFolder() : folder) {
    IgnoreFileSizeSignal();
    fd_ = OpenUnnamed(folder_);
    if (fd_ < 0)
        throw CommitError(CommitError::Stage::Create, folder_, errno);
}

SpillFile::~SpillFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool SpillFile::writeThrough(const char* data, std::size_t size) {
    if (error_ != 0)
        return false;
    int injected = 0;
    const std::size_t allowed = detail::AllowedWriteBytes(size, injected);
    if (!detail::WriteAll(fd_, data, allowed)) {
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    written_ += std::int64_t(allowed);
    if (injected != 0) {
        error_ = injected;
        return false;
    }
    return true;
}

SpillFile::pos_type SpillFile::seekoff(off_type offset, std::ios_base::seekdir way,
                                       std::ios_base::openmode which) {
    if (offset != 0 || way != std::ios_base::cur || (which & std::ios_base::out) == 0)
        return pos_type(off_type(-1));
    return pos_type(off_type(size()));
}

void SpillFile::fail() const {
    throw CommitError(CommitError::Stage::Write, folder_, error_ != 0 ? error_ : EIO);
}

void SpillFile::copyRange(std::int64_t offset, std::int64_t length,
                          const std::function<void(const char*, std::size_t)>& sink) {
    if (!flushBuffer() || error_ != 0)
        fail();
    std::vector<char> chunk(SpillBufferCapacity);
    while (length > 0) {
        const std::size_t want = std::size_t(std::min<std::int64_t>(length, std::int64_t(chunk.size())));
        const ssize_t n = ::pread(fd_, chunk.data(), want, off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            fail();
        }
        sink(chunk.data(), std::size_t(n));
        offset += n;
        length -= n;
    }
}

} // namespace commit
