#include "platform/commit/FileCommit.h"

#include "platform/commit/CommitDetail.h"
#include "platform/commit/CommitJournal.h"
#include "platform/commit/CommitTesting.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <mutex>
#include <sys/random.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <tuple>
#include <unistd.h>

namespace commit {

using detail::Folder;
using detail::PartKind;
using detail::PartName;
using detail::RandomSuffix;
using detail::Sys;
using detail::WriteAll;

namespace {

constexpr std::size_t BufferCapacity = std::size_t(1) << 18;
// Bytes written between two requests to start writing them to the disk.
constexpr std::size_t WritebackStep = std::size_t(8) << 20;
constexpr int MaxLinkDepth = 40;
constexpr const char* AclAttribute = "system.posix_acl_access";

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

struct NoticeSink {
    std::mutex mutex;
    std::function<void(const std::string&)> sink;
};

NoticeSink& Notices() {
    static NoticeSink notices;
    return notices;
}

void Notify(const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    std::function<void(const std::string&)> sink;
    {
        NoticeSink& notices = Notices();
        std::lock_guard lock(notices.mutex);
        sink = notices.sink;
    }
    for (const std::string& line : lines) {
        if (sink)
            sink(line);
        else
            std::cerr << line << std::endl;
    }
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

// Whether the user may write the existing file, ACLs included. The permission bits are asked even
// for root: a write-protected file stays protected whoever runs the program.
bool UserMayWrite(int folder, const std::string& name, const struct stat& st) {
    if (::geteuid() == 0)
        return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    return ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) == 0;
}

std::shared_ptr<Folder> OpenTargetFolder(const std::string& target, const std::string& resolved) {
    const std::string path = FolderOf(resolved);
    const int fd = detail::OpenFolder(path);
    if (fd < 0)
        throw CommitError(CommitError::Stage::Create, target, errno);
    return std::make_shared<Folder>(fd, path);
}

// Copies the extended attributes (an ACL among them) of the folder's file `name` to `to`, as far as
// the file systems and the process's rights allow. A new file that got an ACL the old one lacks (from
// the folder's default ACL) loses it.
void CopyExtendedAttributes(int folder, const std::string& name, int to) {
    const int from = ::openat(folder, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // A file the user may write but not read is reached through its name instead.
    const std::string byName = "/proc/self/fd/" + std::to_string(folder) + "/" + name;
    const auto list = [&](char* names, std::size_t size) {
        return from >= 0 ? ::flistxattr(from, names, size) : ::llistxattr(byName.c_str(), names, size);
    };
    const auto get = [&](const char* attribute, void* value, std::size_t size) {
        return from >= 0 ? ::fgetxattr(from, attribute, value, size)
                         : ::lgetxattr(byName.c_str(), attribute, value, size);
    };
    std::string names;
    const ssize_t length = list(nullptr, 0);
    if (length > 0) {
        names.resize(std::size_t(length));
        names.resize(std::size_t(std::max<ssize_t>(list(names.data(), names.size()), 0)));
    }
    bool hadAcl = false;
    for (std::size_t at = 0; at < names.size();) {
        const std::string attribute = names.c_str() + at;
        at += attribute.size() + 1;
        hadAcl = hadAcl || attribute == AclAttribute;
        const ssize_t size = get(attribute.c_str(), nullptr, 0);
        if (size < 0)
            continue;
        std::string value(std::size_t(size), '\0');
        const ssize_t got = get(attribute.c_str(), value.data(), value.size());
        if (got >= 0)
            (void)Sys().fsetxattr(to, attribute.c_str(), value.data(), std::size_t(got));
    }
    if (!hadAcl)
        (void)::fremovexattr(to, AclAttribute);
    if (from >= 0)
        ::close(from);
}

// Holds the folders through a group's last steps (backups, record, renames, clean-up), so that two
// groups over the same files, or a group and a repair, never mix their renames. Folders are taken in
// one order, so two groups never wait for each other.
class FolderLocks {
public:
    explicit FolderLocks(std::vector<std::shared_ptr<Folder>> folders) : folders_(std::move(folders)) {
        std::sort(folders_.begin(), folders_.end(), [](const auto& a, const auto& b) {
            return std::tie(a->device, a->inode) < std::tie(b->device, b->inode);
        });
        for (const auto& folder : folders_)
            detail::LockFolder(folder->fd);
    }
    ~FolderLocks() {
        for (const auto& folder : folders_)
            detail::UnlockFolder(folder->fd);
    }
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;

private:
    std::vector<std::shared_ptr<Folder>> folders_;
};

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

void RaiseOpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        (void)::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

std::vector<std::string> RecoverFolder(const std::string& folder) {
    const int fd = detail::OpenFolder(folder);
    if (fd < 0)
        return {};
    const Folder open(fd, folder);
    return detail::RecoverOpenFolder(open.fd, open.path);
}

void SetRecoveryNoticeSink(std::function<void(const std::string&)> sink) {
    NoticeSink& notices = Notices();
    std::lock_guard lock(notices.mutex);
    notices.sink = std::move(sink);
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
    for (int followed = 0;; ++followed) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        if (followed == MaxLinkDepth)
            throw CommitError(CommitError::Stage::Create, target, ELOOP);
        std::string link(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0)
            return path;
        link.resize(std::size_t(n));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
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
    // Everything below works relative to the folder, opened once: should the folder be renamed
    // meanwhile, the new file and its clean-up still happen in it.
    folder_ = OpenTargetFolder(target_, resolved_);
    Notify(detail::RecoverOpenFolder(folder_->fd, folder_->path));
    inspectTarget();
    createTemporary(
        [this] { return PartName(base_, RandomSuffix(), PartKind::Temporary, folder_->nameMax); });
}

FileCommit::FileCommit(std::string target, std::string resolved, std::shared_ptr<Folder> folder,
                       const std::function<std::string()>& name)
    : target_(std::move(target)), resolved_(std::move(resolved)), folder_(std::move(folder)) {
    inspectTarget();
    createTemporary(name);
}

void FileCommit::inspectTarget() {
    base_ = BaseNameOf(resolved_);
    struct stat st {};
    if (::fstatat(folder_->fd, base_.c_str(), &st, 0) != 0) {
        if (errno != ENOENT)
            throw CommitError(CommitError::Stage::Create, target_, errno);
        return;
    }
    if (S_ISDIR(st.st_mode))
        throw CommitError(CommitError::Stage::Create, target_, "Filename refers to a directory", EISDIR);
    if (!S_ISREG(st.st_mode))
        throw CommitError(CommitError::Stage::Create, target_,
                          "Existing file " + target_ + " is not a regular file", EINVAL);
    if (!UserMayWrite(folder_->fd, base_, st))
        throw CommitError(CommitError::Stage::Create, target_,
                          "Existing file " + target_ + " is not writable", EACCES);
    // The kernel lets only the file's owner, the folder's or root replace a file in a sticky folder.
    const uid_t user = ::geteuid();
    if (folder_->sticky && user != 0 && st.st_uid != user && folder_->owner != user)
        throw CommitError(CommitError::Stage::Create, target_,
                          "Existing file " + target_ + " belongs to another user in a shared folder", EPERM);
    targetExisted_ = true;
    oldMode_ = st.st_mode & 07777;
    oldOwner_ = st.st_uid;
    oldGroup_ = st.st_gid;
    oldDevice_ = st.st_dev;
    oldInode_ = st.st_ino;
}

void FileCommit::createTemporary(const std::function<std::string()>& name) {
    fd_ = detail::CreateLockedFile(folder_->fd, name, temporary_, O_WRONLY);
    if (fd_ < 0)
        throw CommitError(CommitError::Stage::Create, target_, errno);
}

FileCommit::~FileCommit() {
    discard();
}

void FileCommit::failAtOnce(int error) {
    error_ = error != 0 ? error : EIO;
    dropTemporary();
    state_ = State::Failed;
}

void FileCommit::dropTemporary() {
    // The name goes before the descriptor, whose lock keeps the file from other writers' clean-up.
    if (!temporary_.empty())
        (void)Sys().unlinkat(folder_->fd, temporary_.c_str());
    temporary_.clear();
    if (fd_ >= 0)
        (void)Sys().close(fd_);
    fd_ = -1;
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
        failAtOnce(errno);
        return false;
    }
    if (injected != 0) {
        failAtOnce(injected);
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
    if (state_ != State::Failed)
        failAtOnce(error_);
    throw CommitError(CommitError::Stage::Write, target_, error_);
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

bool FileCommit::takeOldAttributes() {
    if (!targetExisted_)
        return Sys().fchmod(fd_, NewFileMode()) == 0;
    // Owner and group first: changing them clears set-id bits that the mode then restores. Where the
    // old owner cannot be kept, the set-user-id bit goes; where the group cannot, the group bits the
    // user's own group would get are only those everybody had.
    mode_t mode = oldMode_;
    if (Sys().fchown(fd_, oldOwner_, oldGroup_) != 0) {
        mode &= ~mode_t(S_ISUID);
        if (Sys().fchown(fd_, uid_t(-1), oldGroup_) != 0)
            mode = (mode & ~mode_t(S_ISGID | S_IRWXG)) | (mode & S_IRWXG & ((mode & S_IRWXO) << 3));
    }
    if (Sys().fchmod(fd_, mode) != 0)
        return false;
    // The ACL after the mode: with an ACL the group bits are its mask, which the ACL brings along.
    CopyExtendedAttributes(folder_->fd, base_, fd_);
    return true;
}

void FileCommit::prepare(bool close) {
    if (state_ == State::Prepared)
        return;
    if (state_ == State::Failed)
        failWrite();
    if (state_ != State::Open)
        throw CommitError(CommitError::Stage::Write, target_, EBADF);
    if ((buffer_ && !buffer_->flushBuffer()) || error_ != 0)
        failWrite();
    if (!takeOldAttributes() || Sys().fsync(fd_) != 0) {
        error_ = errno;
        failWrite();
    }
    if (close) {
        const int fd = fd_;
        fd_ = -1;
        if (Sys().close(fd) != 0) {
            error_ = errno;
            failWrite();
        }
    }
    state_ = State::Prepared;
}

void FileCommit::finish() {
    // Alone, the file stays open until its rename: its lock tells others it is in use. In a group the
    // group's journal tells that.
    prepare(folder_->journalFd >= 0);
}

int FileCommit::install() {
    if (Sys().renameat(folder_->fd, temporary_.c_str(), folder_->fd, base_.c_str()) != 0) {
        error_ = errno;
        failWrite();
    }
    temporary_.clear();
    state_ = State::Committed;
    if (fd_ >= 0)
        (void)Sys().close(fd_);
    fd_ = -1;
    return Sys().fsync(folder_->fd) == 0 ? 0 : errno;
}

void FileCommit::commit() {
    prepare(false);
    if (const int error = install())
        throw CommitError(CommitError::Stage::Write, target_, error);
}

void FileCommit::discard() {
    if (state_ == State::Committed || state_ == State::Discarded)
        return;
    dropTemporary();
    state_ = State::Discarded;
}

// ---------------------------------------------------------------------------------------------------

CommitGroup::CommitGroup() : writer_(RandomSuffix()) {}

CommitGroup::~CommitGroup() {
    discard();
}

std::shared_ptr<Folder> CommitGroup::folderFor(const std::string& target, const std::string& resolved) {
    const std::string path = FolderOf(resolved);
    for (const auto& folder : folders_)
        if (folder->given == path)
            return folder;
    std::shared_ptr<Folder> folder = OpenTargetFolder(target, resolved);
    for (const auto& known : folders_)
        if (known->device == folder->device && known->inode == folder->inode)
            return known;
    Notify(detail::RecoverOpenFolder(folder->fd, folder->path));
    const std::string first = BaseNameOf(resolved);
    folder->journalFd = detail::CreateLockedFile(
        folder->fd, [&] { return PartName(first, writer_, PartKind::Journal, folder->nameMax); },
        folder->journal, O_RDWR);
    if (folder->journalFd < 0)
        throw CommitError(CommitError::Stage::Create, target, errno);
    folders_.push_back(folder);
    return folder;
}

FileCommit& CommitGroup::add(const std::string& target) {
    IgnoreFileSizeSignal();
    if (target.empty())
        throw CommitError(CommitError::Stage::Create, target, "No file name", ENOENT);
    const std::string resolved = ResolveTarget(target);
    std::shared_ptr<Folder> folder = folderFor(target, resolved);
    const std::string base = BaseNameOf(resolved);
    struct stat st {};
    const bool exists = ::fstatat(folder->fd, base.c_str(), &st, 0) == 0;
    for (const auto& file : files_) {
        if (file->folder_ == folder && file->base_ == base)
            throw CommitError(CommitError::Stage::Create, target, "It is written twice", EEXIST);
        if (exists && file->targetExisted_ && file->oldDevice_ == st.st_dev && file->oldInode_ == st.st_ino)
            throw CommitError(CommitError::Stage::Create, target, "It is the same file as " + file->target_,
                              EEXIST);
    }
    const auto name = [&] {
        return PartName(base, writer_ + "-" + std::to_string(names_++), PartKind::Temporary, folder->nameMax);
    };
    files_.push_back(std::unique_ptr<FileCommit>(new FileCommit(target, resolved, folder, name)));
    return *files_.back();
}

void CommitGroup::removeJournals() {
    for (const auto& folder : folders_) {
        if (folder->journalFd < 0)
            continue;
        (void)Sys().unlinkat(folder->fd, folder->journal.c_str());
        (void)Sys().close(folder->journalFd);
        folder->journalFd = -1;
    }
}

void CommitGroup::discard() {
    for (auto& file : files_)
        file->discard();
    removeJournals();
}

void CommitGroup::commit() {
    try {
        for (auto& file : files_)
            file->prepare(true);
    } catch (...) {
        discard();
        throw;
    }
    if (files_.size() == 1) {
        // One rename is all or nothing by itself.
        int error = 0;
        try {
            error = files_.front()->install();
        } catch (...) {
            discard();
            throw;
        }
        removeJournals();
        if (error != 0)
            throw CommitError(CommitError::Stage::Write, files_.front()->target_, error);
        return;
    }

    const FolderLocks locks(folders_);
    // The record: every folder with its journal, every file with its names.
    detail::JournalRecord record;
    std::vector<int> fds;
    for (const auto& folder : folders_) {
        record.folders.push_back({folder->path, folder->device, folder->inode, folder->journal});
        fds.push_back(folder->fd);
    }
    const auto fail = [this, &record](const FileCommit& file, int error) {
        for (const detail::JournalMember& member : record.members)
            (void)Sys().unlinkat(folders_[member.folder]->fd, member.backup.c_str());
        const std::string target = file.target_;
        discard();
        throw CommitError(CommitError::Stage::Write, target, error);
    };
    for (auto& file : files_) {
        detail::JournalMember member;
        member.folder =
            std::size_t(std::find(folders_.begin(), folders_.end(), file->folder_) - folders_.begin());
        member.target = file->base_;
        member.temporary = file->temporary_;
        struct stat st {};
        if (::fstatat(file->folder_->fd, file->temporary_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
            fail(*file, errno);
        member.device = st.st_dev;
        member.inode = st.st_ino;
        // The old file's second name, which the rollback renames back. Without it there is no rollback,
        // so the group stops here.
        const int fd = file->folder_->fd;
        if (::fstatat(fd, file->base_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            member.backup = PartName(file->base_, writer_ + "-" + std::to_string(names_++), PartKind::Backup,
                                     file->folder_->nameMax);
            if (Sys().linkat(fd, file->base_.c_str(), fd, member.backup.c_str()) != 0) {
                const int error = errno;
                member.backup.clear();
                fail(*file, error);
            }
        }
        record.members.push_back(std::move(member));
    }
    const std::string text = detail::EncodeRecord(record);
    for (const auto& folder : folders_) {
        if (!WriteAll(folder->journalFd, text.data(), text.size()) || Sys().fsync(folder->journalFd) != 0 ||
            Sys().fsync(folder->fd) != 0)
            fail(*files_.front(), errno);
    }

    for (std::size_t i = 0; i < files_.size(); ++i) {
        FileCommit& file = *files_[i];
        if (Sys().renameat(file.folder_->fd, file.temporary_.c_str(), file.folder_->fd, file.base_.c_str()) ==
            0)
            continue;
        const int error = errno;
        const detail::RepairOutcome outcome = detail::RepairGroup(record, fds);
        for (auto& each : files_) {
            each->temporary_.clear();
            each->state_ = FileCommit::State::Discarded;
        }
        if (outcome.complete) {
            removeJournals();
        } else {
            // The journal stays for the repair whoever touches the folder next makes.
            Notify({detail::GroupNotice(record, outcome)});
            for (const auto& folder : folders_) {
                (void)Sys().close(folder->journalFd);
                folder->journalFd = -1;
            }
        }
        throw CommitError(CommitError::Stage::Write, file.target_, error);
    }
    for (auto& file : files_) {
        file->temporary_.clear();
        file->state_ = FileCommit::State::Committed;
    }
    int syncError = 0;
    std::string syncTarget;
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        if (Sys().fsync(folders_[i]->fd) != 0 && syncError == 0) {
            syncError = errno;
            for (const auto& file : files_)
                if (file->folder_ == folders_[i]) {
                    syncTarget = file->target_;
                    break;
                }
        }
    }
    for (const detail::JournalMember& member : record.members)
        if (!member.backup.empty())
            (void)Sys().unlinkat(folders_[member.folder]->fd, member.backup.c_str());
    removeJournals();
    if (syncError != 0)
        throw CommitError(CommitError::Stage::Write, syncTarget, syncError);
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
        const ssize_t n = Sys().write(fd, data, size);
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
