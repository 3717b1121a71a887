#include "platform/cfb/Storage.h"

#include "platform/cfb/CompoundFileWriter.h"
#include "platform/cfb/DirectoryTree.h"
#include "platform/cfb/StorageError.h"
#include "platform/cfb/StorageModes.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cfb {

namespace {

HRESULT resultOfErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return STG_E_PATHNOTFOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return STG_E_ACCESSDENIED;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return STG_E_MEDIUMFULL;
    case ENOMEM:
        return STG_E_INSUFFICIENTMEMORY;
    default:
        return STG_E_WRITEFAULT;
    }
}

[[noreturn]] void failErrno(const std::string& what, const std::string& fileName, int error) {
    throw StorageError(resultOfErrno(error), what + " \"" + fileName + "\": " + std::strerror(error));
}

bool writesWithExclusiveAccess(std::uint32_t mode) {
    const std::uint32_t access = mode & STGM_ACCESS_MASK;
    return (access == STGM_WRITE || access == STGM_READWRITE) &&
           (mode & STGM_SHARE_MASK) == STGM_SHARE_EXCLUSIVE && (mode & STGM_TRANSACTED) == 0;
}

// Buffers the file's bytes and writes them to a descriptor.
class FileSink {
public:
    FileSink(int fd, const std::string& fileName) : fd_(fd), fileName_(fileName) {
        buffer_.reserve(Capacity);
    }
    void add(const std::uint8_t* data, std::size_t size) {
        if (buffer_.size() + size > Capacity)
            flush();
        if (size >= Capacity)
            writeAll(data, size);
        else
            buffer_.insert(buffer_.end(), data, data + size);
    }
    void flush() {
        writeAll(buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    static constexpr std::size_t Capacity = 1 << 16;
    void writeAll(const std::uint8_t* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::write(fd_, data, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                failErrno("Cannot write the compound file", fileName_, n < 0 ? errno : ENOSPC);
            data += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    int fd_;
    const std::string& fileName_;
    std::vector<std::uint8_t> buffer_;
};

} // namespace

std::unique_ptr<Storage> Storage::CreateDocfile(const std::string& fileName, std::uint32_t mode) {
    if (!writesWithExclusiveAccess(mode))
        throw StorageError(STG_E_INVALIDFLAG, "Invalid mode for a new compound file \"" + fileName + "\"");
    if (fileName.empty())
        throw StorageError(STG_E_INVALIDNAME, "No file name for the compound file");
    struct stat st {};
    const bool exists = ::stat(fileName.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        failErrno("Cannot create the compound file", fileName, EISDIR);
    if (exists && (mode & STGM_CREATE) == 0)
        throw StorageError(STG_E_FILEALREADYEXISTS, "The file \"" + fileName + "\" already exists");

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string temp = fileName + ".tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (exists)
                (void)::fchmod(fd, st.st_mode & 07777);
            return std::unique_ptr<Storage>(new Storage(fileName, std::move(temp), fd));
        }
        if (errno != EEXIST)
            failErrno("Cannot create the compound file", fileName, errno);
    }
    failErrno("Cannot create the compound file", fileName, EEXIST);
}

Storage::Storage(std::string fileName, std::string tempName, int fd)
    : fileName_(std::move(fileName)), tempName_(std::move(tempName)), fd_(fd) {}

Storage::~Storage() {
    Discard();
}

void Storage::Discard() {
    for (auto& stream : streams_)
        stream->reverted = true;
    if (fd_ >= 0) {
        ::close(fd_);
        ::unlink(tempName_.c_str());
        fd_ = -1;
    }
}

Stream Storage::CreateStream(const std::u16string& name, std::uint32_t mode) {
    if (fd_ < 0)
        throw StorageError(STG_E_REVERTED, "The compound file \"" + fileName_ + "\" is closed");
    if (!writesWithExclusiveAccess(mode))
        throw StorageError(STG_E_INVALIDFLAG, "Invalid mode for a new stream");
    if (name.empty() || name.size() > 31 || name.find_first_of(u"/\\:!") != std::u16string::npos)
        throw StorageError(STG_E_INVALIDNAME, "Invalid stream name");
    for (auto it = streams_.begin(); it != streams_.end(); ++it) {
        if (CompareEntryNames((*it)->name, name) != 0)
            continue;
        if ((mode & STGM_CREATE) == 0)
            throw StorageError(STG_E_FILEALREADYEXISTS, "The stream already exists");
        (*it)->reverted = true;
        streams_.erase(it);
        break;
    }
    auto data = std::make_shared<StreamData>();
    data->name = name;
    streams_.push_back(data);
    return Stream(data);
}

void Storage::Commit() {
    if (fd_ < 0)
        throw StorageError(STG_E_REVERTED, "The compound file \"" + fileName_ + "\" is closed");
    std::vector<StreamEntry> entries;
    for (const auto& stream : streams_)
        entries.push_back({stream->name, &stream->bytes});
    try {
        FileSink sink(fd_, fileName_);
        WriteCompoundFile(entries, [&](const std::uint8_t* data, std::size_t size) { sink.add(data, size); });
        sink.flush();
        if (::fsync(fd_) != 0)
            failErrno("Cannot write the compound file", fileName_, errno);
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0)
            failErrno("Cannot write the compound file", fileName_, errno);
        if (::rename(tempName_.c_str(), fileName_.c_str()) != 0)
            failErrno("Cannot replace the file", fileName_, errno);
    } catch (...) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
        ::unlink(tempName_.c_str());
        for (auto& stream : streams_)
            stream->reverted = true;
        throw;
    }
    for (auto& stream : streams_)
        stream->reverted = true;
}

} // namespace cfb
