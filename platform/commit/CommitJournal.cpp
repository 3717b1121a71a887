#include "platform/commit/CommitJournal.h"

#include "platform/commit/CommitDetail.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace commit::detail {

namespace {

constexpr std::size_t WriterIdLength = 16;
// Room a part name needs beside the target's name: ".", "~", the writer id, "-" and a number of up
// to ten digits, and the longest ending.
constexpr std::size_t PartNameRoom = 1 + 1 + WriterIdLength + 11 + 7;
// A notice names at most this many files of a group.
constexpr std::size_t NoticeNames = 3;

const char* EndingOf(PartKind kind) {
    switch (kind) {
    case PartKind::Temporary:
        return ".new";
    case PartKind::Backup:
        return ".old";
    case PartKind::Journal:
        return ".commit";
    }
    return "";
}

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// Whether `name` in the folder still is the file open as `fd`.
bool StillNamed(int folder, const std::string& name, int fd) {
    struct stat named {
    }, open{};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

// Opens and locks the writer's file `name` when its writer is gone; -1 when the file is gone, is no
// regular file, or its writer still holds it (`live` is then set).
int LockIfDead(int folder, const std::string& name, bool& live) {
    live = false;
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::openat(folder, name.c_str(), O_RDONLY | flags);
    if (fd < 0 && errno == EACCES) // a file the user may write but not read (it took the old file's mode)
        fd = ::openat(folder, name.c_str(), O_WRONLY | flags);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        // Held by a live writer, or a file system without locks: then nobody can tell, and it stays.
        live = true;
        ::close(fd);
        return -1;
    }
    if (!StillNamed(folder, name, fd)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::string ReadWhole(int fd) {
    std::string text;
    char chunk[4096];
    for (off_t at = 0;;) {
        const ssize_t n = ::pread(fd, chunk, sizeof chunk, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return text;
        text.append(chunk, std::size_t(n));
        at += n;
    }
}

struct Part {
    std::string name;
    std::string writer;
    PartKind kind;
};

std::vector<Part> ListParts(int folder) {
    std::vector<Part> parts;
    const int fd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return parts;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return parts;
    }
    while (const dirent* entry = ::readdir(dir)) {
        Part part{entry->d_name, {}, PartKind::Temporary};
        if (ParsePartName(part.name, part.writer, part.kind))
            parts.push_back(std::move(part));
    }
    ::closedir(dir);
    return parts;
}

// Removes `name` from the folder; false (errno set) unless it is gone.
bool Remove(int folder, const std::string& name) {
    return name.empty() || Sys().unlinkat(folder, name.c_str()) == 0 || errno == ENOENT;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < NoticeNames; ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    if (names.size() > NoticeNames)
        text += " and " + std::to_string(names.size() - NoticeNames) + " more";
    return text;
}

// The record's text, read piece by piece.
class RecordReader {
public:
    explicit RecordReader(std::string_view text) : text_(text) {}
    bool word(std::string_view expected) {
        if (text_.substr(at_, expected.size()) != expected)
            return false;
        at_ += expected.size();
        return true;
    }
    bool number(std::uint64_t& value) {
        const std::size_t start = at_;
        value = 0;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9')
            value = value * 10 + std::uint64_t(text_[at_++] - '0');
        return at_ > start;
    }
    bool text(std::string& value) {
        std::uint64_t length = 0;
        if (!number(length) || !word(":") || length > text_.size() - at_)
            return false;
        value = std::string(text_.substr(at_, std::size_t(length)));
        at_ += std::size_t(length);
        return true;
    }
    bool atEnd() const { return at_ == text_.size(); }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

void AppendText(std::string& out, const std::string& value) {
    out += ' ' + std::to_string(value.size()) + ':' + value;
}

// Repairs the group whose journal `name` is in the open folder; false when its writer still lives.
bool RecoverJournal(int fd, const std::string& path, const Part& journal, const std::vector<Part>& parts,
                    std::vector<std::string>& lines) {
    bool live = false;
    const int lock = LockIfDead(fd, journal.name, live);
    if (lock < 0)
        return live;
    const auto removeOwnParts = [&] {
        for (const Part& part : parts)
            if (part.writer == journal.writer && part.kind != PartKind::Journal)
                (void)Remove(fd, part.name);
    };
    const std::optional<JournalRecord> record = DecodeRecord(ReadWhole(lock));
    if (!record) {
        // The writer died before its record was whole, so before its first rename: its files go.
        removeOwnParts();
        (void)Remove(fd, journal.name);
        lines.push_back("Removed the unfinished files of an interrupted commit in " + path);
        Sys().close(lock);
        return false;
    }
    LockFolder(fd);
    struct stat here {};
    (void)::fstat(fd, &here);
    std::vector<int> fds;
    std::vector<int> opened;
    for (const JournalFolder& folder : record->folders) {
        if (folder.device == here.st_dev && folder.inode == here.st_ino) {
            fds.push_back(fd);
            continue;
        }
        const int other = OpenFolder(folder.path);
        struct stat st {};
        if (other >= 0 && ::fstat(other, &st) == 0 && st.st_dev == folder.device &&
            st.st_ino == folder.inode) {
            fds.push_back(other);
            opened.push_back(other);
        } else {
            if (other >= 0)
                ::close(other);
            fds.push_back(-1);
        }
    }
    RepairOutcome outcome = RepairGroup(*record, fds);
    if (outcome.complete) {
        removeOwnParts();
        for (std::size_t i = 0; i < fds.size(); ++i)
            if (fds[i] >= 0 && !Remove(fds[i], record->folders[i].journal) && outcome.complete) {
                outcome.complete = false;
                outcome.error = errno;
            }
    }
    lines.push_back(GroupNotice(*record, outcome));
    for (int other : opened)
        ::close(other);
    UnlockFolder(fd);
    Sys().close(lock);
    return false;
}

} // namespace

Folder::Folder(int fd_, std::string given_) : fd(fd_), given(std::move(given_)) {
    char* real = ::realpath(given.c_str(), nullptr);
    path = real ? std::string(real) : given;
    std::free(real);
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        device = st.st_dev;
        inode = st.st_ino;
        sticky = (st.st_mode & S_ISVTX) != 0;
        owner = st.st_uid;
    }
    const long limit = ::fpathconf(fd, _PC_NAME_MAX);
    if (limit > long(PartNameRoom))
        nameMax = std::size_t(limit);
}

Folder::~Folder() {
    if (journalFd >= 0)
        ::close(journalFd);
    if (fd >= 0)
        ::close(fd);
}

int OpenFolder(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

void LockFolder(int fd) {
    // A file system without locks on folders leaves them unlocked.
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

void UnlockFolder(int fd) {
    (void)::flock(fd, LOCK_UN);
}

std::string PartName(const std::string& base, const std::string& id, PartKind kind, std::size_t nameMax) {
    std::size_t keep = base.size();
    if (keep + PartNameRoom > nameMax) {
        keep = nameMax > PartNameRoom ? nameMax - PartNameRoom : 1;
        // Never in the middle of a UTF-8 character.
        while (keep > 1 && (static_cast<unsigned char>(base[keep]) & 0xC0) == 0x80)
            --keep;
    }
    return "." + base.substr(0, keep) + "~" + id + EndingOf(kind);
}

bool ParsePartName(const std::string& name, std::string& writer, PartKind& kind) {
    if (name.size() < 3 || name[0] != '.')
        return false;
    std::size_t endingLength = 0;
    for (PartKind candidate : {PartKind::Temporary, PartKind::Backup, PartKind::Journal})
        if (EndsWith(name, EndingOf(candidate))) {
            kind = candidate;
            endingLength = std::strlen(EndingOf(candidate));
        }
    if (endingLength == 0)
        return false;
    const std::string stem = name.substr(0, name.size() - endingLength);
    const std::size_t tilde = stem.rfind('~');
    if (tilde == std::string::npos || tilde < 2)
        return false;
    std::string id = stem.substr(tilde + 1);
    std::string number;
    if (const std::size_t dash = id.find('-'); dash != std::string::npos) {
        number = id.substr(dash + 1);
        id.resize(dash);
        if (!IsDigits(number) || kind == PartKind::Journal)
            return false;
    }
    if (id.size() != WriterIdLength || !std::all_of(id.begin(), id.end(), IsHex))
        return false;
    writer = id;
    return true;
}

int CreateLockedFile(int folder, const std::function<std::string()>& make, std::string& name, int flags) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = make();
        const int fd =
            Sys().openat(folder, name.c_str(), flags | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            const int error = errno;
            name.clear();
            errno = error;
            return -1;
        }
        // A clean-up that found the file before it was locked may have taken it away: then another.
        while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        if (StillNamed(folder, name, fd))
            return fd;
        Sys().close(fd);
    }
    name.clear();
    errno = EEXIST;
    return -1;
}

std::string EncodeRecord(const JournalRecord& record) {
    std::string out = "cormelian commit 1\n";
    for (const JournalFolder& folder : record.folders) {
        out += "folder " + std::to_string(folder.device) + ' ' + std::to_string(folder.inode);
        AppendText(out, folder.path);
        AppendText(out, folder.journal);
        out += '\n';
    }
    for (const JournalMember& member : record.members) {
        out += "file " + std::to_string(member.folder) + ' ' + std::to_string(member.device) + ' ' +
               std::to_string(member.inode);
        AppendText(out, member.target);
        AppendText(out, member.temporary);
        AppendText(out, member.backup);
        out += '\n';
    }
    return out + "end\n";
}

std::optional<JournalRecord> DecodeRecord(std::string_view text) {
    RecordReader in(text);
    if (!in.word("cormelian commit 1\n"))
        return std::nullopt;
    JournalRecord record;
    while (in.word("folder ")) {
        JournalFolder folder;
        if (!in.number(folder.device) || !in.word(" ") || !in.number(folder.inode) || !in.word(" ") ||
            !in.text(folder.path) || !in.word(" ") || !in.text(folder.journal) || !in.word("\n"))
            return std::nullopt;
        record.folders.push_back(std::move(folder));
    }
    while (in.word("file ")) {
        JournalMember member;
        std::uint64_t folder = 0;
        if (!in.number(folder) || folder >= record.folders.size() || !in.word(" ") ||
            !in.number(member.device) || !in.word(" ") || !in.number(member.inode) || !in.word(" ") ||
            !in.text(member.target) || !in.word(" ") || !in.text(member.temporary) || !in.word(" ") ||
            !in.text(member.backup) || !in.word("\n"))
            return std::nullopt;
        member.folder = std::size_t(folder);
        record.members.push_back(std::move(member));
    }
    if (!in.word("end\n") || !in.atEnd())
        return std::nullopt;
    return record;
}

RepairOutcome RepairGroup(const JournalRecord& record, const std::vector<int>& folderFds) {
    RepairOutcome outcome;
    const auto fail = [&outcome](int error) {
        if (outcome.complete) {
            outcome.complete = false;
            outcome.error = error;
        }
    };
    // A target renamed into place is the very file the record names as its new content.
    std::vector<char> renamed(record.members.size(), 0);
    bool all = true;
    for (std::size_t i = 0; i < record.members.size(); ++i) {
        const JournalMember& member = record.members[i];
        const int fd = folderFds[member.folder];
        struct stat st {};
        if (fd < 0)
            fail(ENOENT);
        else
            renamed[i] = ::fstatat(fd, member.target.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                         std::uint64_t(st.st_dev) == member.device &&
                         std::uint64_t(st.st_ino) == member.inode;
        all = all && renamed[i];
    }
    outcome.forward = all;
    std::set<int> changed;
    for (std::size_t i = 0; i < record.members.size(); ++i) {
        const JournalMember& member = record.members[i];
        const int fd = folderFds[member.folder];
        if (fd < 0)
            continue;
        if (all) {
            if (!Remove(fd, member.backup))
                fail(errno);
        } else if (renamed[i]) {
            changed.insert(fd);
            const bool back = member.backup.empty()
                                  ? Remove(fd, member.target)
                                  : Sys().renameat(fd, member.backup.c_str(), fd, member.target.c_str()) == 0;
            if (!back)
                fail(errno);
        } else if (!Remove(fd, member.temporary) || !Remove(fd, member.backup)) {
            fail(errno);
        }
    }
    for (int fd : changed)
        if (Sys().fsync(fd) != 0)
            fail(errno);
    return outcome;
}

std::string GroupNotice(const JournalRecord& record, const RepairOutcome& outcome) {
    std::vector<std::string> names;
    for (const JournalMember& member : record.members)
        names.push_back(record.folders[member.folder].path + "/" + member.target);
    if (!outcome.complete)
        return "Could not repair the interrupted commit of " + Joined(names) + ": " +
               std::strerror(outcome.error);
    if (outcome.forward)
        return "Completed the interrupted commit of " + Joined(names) + ": the new files stay";
    return "Undid the interrupted commit of " + Joined(names) + ": the old files are back";
}

std::vector<std::string> RecoverOpenFolder(int fd, const std::string& path) {
    std::vector<std::string> lines;
    const std::vector<Part> parts = ListParts(fd);
    if (parts.empty())
        return lines;
    std::set<std::string> journaled;
    for (const Part& part : parts)
        if (part.kind == PartKind::Journal) {
            journaled.insert(part.writer);
            RecoverJournal(fd, path, part, parts, lines);
        }
    // A group makes its journal before its other files; one made while the folder was read shows in a
    // second look, and its files are left alone.
    const bool unclaimed = std::any_of(parts.begin(), parts.end(), [&](const Part& part) {
        return part.kind != PartKind::Journal && journaled.count(part.writer) == 0;
    });
    if (!unclaimed)
        return lines;
    for (const Part& part : ListParts(fd))
        if (part.kind == PartKind::Journal)
            journaled.insert(part.writer);
    std::map<std::string, std::vector<std::string>> removed;
    for (const Part& part : parts) {
        if (part.kind == PartKind::Journal || journaled.count(part.writer) != 0)
            continue;
        bool live = false;
        const int lock = LockIfDead(fd, part.name, live);
        if (lock < 0)
            continue;
        if (Remove(fd, part.name))
            removed[part.writer].push_back(part.name);
        Sys().close(lock);
    }
    for (const auto& [writer, names] : removed)
        lines.push_back("Removed " + Joined(names) + " in " + path + ", left by an interrupted write");
    return lines;
}

} // namespace commit::detail
