#include "platform/commit/FileCommit.h"

#include "platform/commit/CommitDetail.h"
#include "platform/commit/CommitTesting.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <mutex>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace commit {

using detail::RandomSuffix;
using detail::WriteAll;

namespace {

constexpr std::size_t BufferCapacity = std::size_t(1) << 18;
// Bytes written between two requests to start writing them to the disk.
constexpr std::size_t WritebackStep = std::size_t(8) << 20;
constexpr int MaxLinkDepth = 40;

// The injected write fault of the tests (see CommitTesting.h).
struct WriteFault {
    std::mutex mutex;
    bool active = false;
    std::size_t remaining = 0;
    int error = 0;
};

WriteFault& InjectedFault() {
    static WriteFault fault;
    return fault;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name in the target's folder for a temporary file of the target `base`.
std::string TemporaryNameFor(const std::string& base, const char* kind) {
    return "." + base + kind + RandomSuffix();
}

bool InGroup(gid_t group) {
    if (group == ::getegid())
        return true;
    gid_t groups[256];
    const int count = ::getgroups(256, groups);
    return std::find(groups, groups + std::max(count, 0), group) != groups + std::max(count, 0);
}

// Whether the user may write the existing file. The permission bits are asked even for root: a
// write-protected file stays protected whoever runs the program.
bool UserMayWrite(int folder, const std::string& name, const struct stat& st) {
    const uid_t user = ::geteuid();
    if (user == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
        return false;
    const mode_t bit = st.st_uid == user ? S_IWUSR : InGroup(st.st_gid) ? S_IWGRP : S_IWOTH;
    return (st.st_mode & bit) != 0;
}

} // namespace

CommitError::CommitError(Stage stage, std::string path, std::string reason, int code)
    : std::runtime_error((stage == Stage::Create ? "Cannot create file " : "Cannot write file ") + path +
                         ". " + reason),
      stage_(stage), path_(std::move(path)), reason_(std::move(reason)), code_(code) {}

CommitError::CommitError(Stage stage, std::string path, int code)
    : CommitError(stage, std::move(path), std::strerror(code), code) {}

void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] { std::signal(SIGXFSZ, SIG_IGN); });
}

unsigned NewFileMode() {
    // The umask is read where the kernel shows it; setting it to read it back would race with other
    // threads creating files.
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return 0666u & ~unsigned(std::stoul(line.substr(6), nullptr, 8));
    }
    return 0644;
}

std::string ResolveTarget(const std::string& target) {
    std::string path = target;
    for (int depth = 0; depth < MaxLinkDepth; ++depth) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string link(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0)
            return path;
        link.resize(std::size_t(n));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
    throw CommitError(CommitError::Stage::Create, target, ELOOP);
}

// ---------------------------------------------------------------------------------------------------

CommitBuffer::CommitBuffer(FileCommit& file) : GatheringBuffer(BufferCapacity), file_(file) {}

CommitBuffer::~CommitBuffer() = default;

bool CommitBuffer::writeThrough(const char* data, std::size_t size) {
    return file_.writeRaw(data, size);
}

CommitBuffer::pos_type CommitBuffer::seekoff(off_type offset, std::ios_base::seekdir way,
                                             std::ios_base::openmode which) {
    const pos_type failed(off_type(-1));
    if ((which & std::ios_base::out) == 0 || file_.fd_ < 0 || !file_.good())
        return failed;
    if (offset == 0 && way == std::ios_base::cur) {
        // tellp: the file's position plus what waits in the buffer, without a flush.
        const off_t here = ::lseek(file_.fd_, 0, SEEK_CUR);
        return here < 0 ? failed : pos_type(off_type(here) + off_type(pptr() - pbase()));
    }
    if (!flushBuffer())
        return failed;
    const int whence = way == std::ios_base::beg ? SEEK_SET : way == std::ios_base::end ? SEEK_END : SEEK_CUR;
    const off_t moved = ::lseek(file_.fd_, off_t(offset), whence);
    return moved < 0 ? failed : pos_type(off_type(moved));
}

CommitBuffer::pos_type CommitBuffer::seekpos(pos_type position, std::ios_base::openmode which) {
    return seekoff(off_type(position), std::ios_base::beg, which);
}

// ---------------------------------------------------------------------------------------------------

FileCommit::FileCommit(std::string target) : target_(std::move(target)) {
    IgnoreFileSizeSignal();
    if (target_.empty())
        throw CommitError(CommitError::Stage::Create, target_, "No file name", ENOENT);
    resolved_ = ResolveTarget(target_);
    base_ = BaseNameOf(resolved_);
    // Everything below works relative to the folder, opened once: should the folder be renamed
    // meanwhile, the new file and its clean-up still happen in it.
    folder_ = ::open(FolderOf(resolved_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder_ < 0)
        throw CommitError(CommitError::Stage::Create, target_, errno);

    struct stat st {};
    if (::fstatat(folder_, base_.c_str(), &st, 0) == 0) {
        if (S_ISDIR(st.st_mode))
            throw CommitError(CommitError::Stage::Create, target_, "Filename refers to a directory", EISDIR);
        if (!S_ISREG(st.st_mode))
            throw CommitError(CommitError::Stage::Create, target_,
                              "Existing file " + target_ + " is not a regular file", EINVAL);
        if (!UserMayWrite(folder_, base_, st))
            throw CommitError(CommitError::Stage::Create, target_,
                              "Existing file " + target_ + " is not writable", EACCES);
        targetExisted_ = true;
        oldMode_ = st.st_mode & 07777;
        oldLinks_ = unsigned(st.st_nlink);
        oldOwner_ = st.st_uid;
        oldGroup_ = st.st_gid;
    } else if (errno != ENOENT) {
        throw CommitError(CommitError::Stage::Create, target_, errno);
    }

    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temporary_ = TemporaryNameFor(base_, ".~");
        fd_ =
            ::openat(folder_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd_ < 0 && errno != EEXIST)
            throw CommitError(CommitError::Stage::Create, target_, errno);
    }
    if (fd_ < 0)
        throw CommitError(CommitError::Stage::Create, target_, EEXIST);
}

FileCommit::~FileCommit() {
    discard();
    if (folder_ >= 0)
        ::close(folder_);
}

bool FileCommit::writeRaw(const char* data, std::size_t size) {
    if (error_ != 0)
        return false;
    if (state_ != State::Open) {
        error_ = EBADF;
        return false;
    }
    int injected = 0;
    const std::size_t allowed = detail::AllowedWriteBytes(size, injected);
    if (!WriteAll(fd_, data, allowed)) {
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    if (injected != 0) {
        error_ = injected;
        return false;
    }
    // Every few megabytes the kernel is asked to start writing what it holds, so that the disk works
    // while the rest is produced and the final fsync waits only for the last part. A hint: its failure
    // changes nothing, the fsync still reports every error.
    unflushed_ += allowed;
    if (unflushed_ >= WritebackStep) {
        unflushed_ = 0;
        (void)::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
    }
    return true;
}

void FileCommit::failWrite() {
    const int error = error_ != 0 ? error_ : EIO;
    discard();
    throw CommitError(CommitError::Stage::Write, target_, error);
}

void FileCommit::write(std::string_view data) {
    if (buffer_ && !buffer_->flushBuffer())
        failWrite();
    if (!writeRaw(data.data(), data.size()))
        failWrite();
}

std::ostream& FileCommit::stream() {
    if (!stream_) {
        buffer_ = std::make_unique<CommitBuffer>(*this);
        stream_ = std::make_unique<std::ostream>(buffer_.get());
    }
    return *stream_;
}

void FileCommit::prepare() {
    if (state_ != State::Open)
        throw CommitError(CommitError::Stage::Write, target_, EBADF);
    if ((buffer_ && !buffer_->flushBuffer()) || error_ != 0)
        failWrite();
    if (targetExisted_) {
        // Owner and group first: changing them may clear set-id bits that the mode then restores.
        (void)::fchown(fd_, oldOwner_, oldGroup_);
        (void)::fchmod(fd_, oldMode_);
    } else {
        (void)::fchmod(fd_, NewFileMode());
    }
    if (::fsync(fd_) != 0) {
        error_ = errno;
        failWrite();
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        error_ = errno;
        failWrite();
    }
    state_ = State::Prepared;
}

bool FileCommit::installInPlace() {
    const int from = ::openat(folder_, temporary_.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return false;
    const int to = ::openat(folder_, base_.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (to < 0) {
        ::close(from);
        return false;
    }
    bool ok = ::ftruncate(to, 0) == 0;
    std::vector<char> chunk(BufferCapacity);
    while (ok) {
        const ssize_t n = ::read(from, chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = WriteAll(to, chunk.data(), std::size_t(n));
    }
    ok = ok && ::fsync(to) == 0;
    ok = (::close(to) == 0) && ok;
    ::close(from);
    if (ok)
        ::unlinkat(folder_, temporary_.c_str(), 0);
    return ok;
}

void FileCommit::install() {
    // Several hard links share one file: it is rewritten in place so all of them see the new
    // content. Should that fail part-way, the complete new content is still beside it and replaces
    // it by rename, which keeps the data though it parts the links.
    if (targetExisted_ && oldLinks_ > 1 && installInPlace()) {
        state_ = State::Committed;
        return;
    }
    if (::renameat(folder_, temporary_.c_str(), folder_, base_.c_str()) != 0) {
        error_ = errno;
        failWrite();
    }
    state_ = State::Committed;
    syncFolder();
}

void FileCommit::syncFolder() const {
    (void)::fsync(folder_);
}

void FileCommit::commit() {
    prepare();
    install();
}

void FileCommit::discard() {
    if (state_ == State::Committed || state_ == State::Discarded)
        return;
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty())
        ::unlinkat(folder_, temporary_.c_str(), 0);
    state_ = State::Discarded;
}

// ---------------------------------------------------------------------------------------------------

FileCommit& CommitGroup::add(const std::string& target) {
    files_.push_back(std::make_unique<FileCommit>(target));
    return *files_.back();
}

void CommitGroup::discard() {
    for (auto& file : files_)
        file->discard();
}

void CommitGroup::commit() {
    try {
        for (auto& file : files_)
            file->prepare();
    } catch (...) {
        discard();
        throw;
    }
    // Each old file is kept under a second name until every new one is in place, so a failing
    // rename can put all of them back.
    std::vector<std::string> backups(files_.size());
    for (std::size_t i = 0; i < files_.size(); ++i) {
        FileCommit& file = *files_[i];
        if (!file.targetExisted_)
            continue;
        std::string backup = TemporaryNameFor(file.base_, ".~old");
        if (::linkat(file.folder_, file.base_.c_str(), file.folder_, backup.c_str(), 0) == 0)
            backups[i] = std::move(backup);
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        FileCommit& file = *files_[i];
        if (::renameat(file.folder_, file.temporary_.c_str(), file.folder_, file.base_.c_str()) == 0) {
            file.state_ = FileCommit::State::Committed;
            continue;
        }
        const int error = errno;
        for (std::size_t j = 0; j < i; ++j) {
            FileCommit& done = *files_[j];
            if (!backups[j].empty())
                (void)::renameat(done.folder_, backups[j].c_str(), done.folder_, done.base_.c_str());
            else if (!done.targetExisted_)
                (void)::unlinkat(done.folder_, done.base_.c_str(), 0);
        }
        for (std::size_t j = i; j < files_.size(); ++j)
            files_[j]->discard();
        for (std::size_t j = i; j < files_.size(); ++j) {
            if (!backups[j].empty())
                (void)::unlinkat(files_[j]->folder_, backups[j].c_str(), 0);
        }
        throw CommitError(CommitError::Stage::Write, file.target_, error);
    }
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!backups[i].empty())
            (void)::unlinkat(files_[i]->folder_, backups[i].c_str(), 0);
        files_[i]->syncFolder();
    }
}

void WriteFileAtomically(const std::string& target, std::string_view content) {
    FileCommit file(target);
    file.write(content);
    file.commit();
}

namespace detail {

GatheringBuffer::GatheringBuffer(std::size_t capacity) : buffer_(capacity) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
}

bool GatheringBuffer::flushBuffer() {
    const std::size_t pending = std::size_t(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return pending == 0 || writeThrough(buffer_.data(), pending);
}

GatheringBuffer::int_type GatheringBuffer::overflow(int_type ch) {
    if (!flushBuffer())
        return traits_type::eof();
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(ch);
        pbump(1);
    }
    return traits_type::not_eof(ch);
}

std::streamsize GatheringBuffer::xsputn(const char* data, std::streamsize size) {
    const std::size_t count = std::size_t(size);
    // A piece as large as the buffer goes straight through (after what waits): copying it first would
    // only add a pass over its bytes.
    if (count > std::size_t(epptr() - pptr()) || count >= buffer_.size()) {
        if (!flushBuffer())
            return 0;
        if (count >= buffer_.size())
            return writeThrough(data, count) ? size : 0;
    }
    std::memcpy(pptr(), data, count);
    pbump(int(count));
    return size;
}

int GatheringBuffer::sync() {
    return flushBuffer() ? 0 : -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

std::string RandomSuffix() {
    unsigned char bytes[8] = {};
    std::size_t got = 0;
    while (got < sizeof bytes) {
        const ssize_t n = ::getrandom(bytes + got, sizeof bytes - got, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    return text;
}

std::size_t AllowedWriteBytes(std::size_t size, int& injected) {
    injected = 0;
    WriteFault& fault = InjectedFault();
    std::lock_guard lock(fault.mutex);
    if (!fault.active)
        return size;
    const std::size_t allowed = std::min(size, fault.remaining);
    fault.remaining -= allowed;
    if (allowed < size)
        injected = fault.error;
    return allowed;
}

} // namespace detail

namespace testing {

void InjectWriteFault(std::size_t bytes, int error) {
    WriteFault& fault = InjectedFault();
    std::lock_guard lock(fault.mutex);
    fault.active = true;
    fault.remaining = bytes;
    fault.error = error;
}

void ClearWriteFault() {
    WriteFault& fault = InjectedFault();
    std::lock_guard lock(fault.mutex);
    fault.active = false;
}

} // namespace testing

} // namespace commit
