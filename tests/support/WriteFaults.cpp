#include "tests/support/WriteFaults.h"

#include "platform/commit/CommitTesting.h"
#include "platform/commit/FileCommit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

std::vector<std::string> EntryNames(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

ChildOutcome RunUnderFileSizeLimit(std::size_t limitBytes, const std::function<void()>& write) {
    return RunUnderLimit(RLIMIT_FSIZE, limitBytes, write);
}

ChildOutcome RunUnderLimit(int resource, std::size_t limit, const std::function<void()>& write) {
    return RunInChildProcess(
        [&](std::string&) {
            struct rlimit limits {};
            limits.rlim_cur = limits.rlim_max = rlim_t(limit);
            ::setrlimit(resource, &limits);
            return true;
        },
        write);
}

ChildOutcome RunInChildProcess(const std::function<bool(std::string& reason)>& setUp,
                               const std::function<void()>& work) {
    int channel[2];
    if (::pipe(channel) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        int code = 0;
        std::string text;
        if (!setUp(text)) {
            code = 3;
        } else {
            try {
                work();
            } catch (const std::exception& error) {
                code = 1;
                text = error.what();
            }
        }
        (void)!::write(channel[1], text.data(), text.size());
        ::close(channel[1]);
        ::_exit(code);
    }
    ::close(channel[1]);
    ChildOutcome outcome;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(channel[0], chunk, sizeof chunk)) > 0)
        outcome.text.append(chunk, std::size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        outcome.signal = WTERMSIG(status);
    return outcome;
}

namespace {

// The exit code of a child that EndAtRename ended.
constexpr int EndedAtRename = 3;

// Runs `work` in a child process that ends with it (or earlier, on its own); its exit code.
int InChild(const std::function<void()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            work();
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The real system calls, but the process ends as the chosen rename begins.
class EndAtRename : public commit::detail::SystemCalls {
public:
    explicit EndAtRename(int renames) : renames_(renames) {}
    int renameat(int fromFolder, const char* from, int toFolder, const char* to) override {
        if (++seen_ == renames_)
            ::_exit(EndedAtRename);
        return SystemCalls::renameat(fromFolder, from, toFolder, to);
    }

private:
    int renames_;
    int seen_ = 0;
};

} // namespace

bool RunEndingAtRename(int renames, const std::function<void()>& work) {
    return InChild([&] {
               EndAtRename calls(renames);
               commit::testing::ScopedSystemCalls use(calls);
               work();
           }) != EndedAtRename;
}

namespace {

// The files of a folder with their contents.
std::map<std::string, std::string> FolderContents(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : EntryNames(folder))
        files[name] = ReadFile(folder / name);
    return files;
}

void RefillFolder(const std::filesystem::path& folder, const std::function<void()>& writeOld) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    writeOld();
}

} // namespace

int ExpectEveryKilledRenameRepaired(const std::filesystem::path& folder,
                                    const std::function<void()>& writeOld,
                                    const std::function<void()>& write) {
    RefillFolder(folder, writeOld);
    write();
    const std::map<std::string, std::string> fresh = FolderContents(folder);
    for (int rename = 1; rename < 100; ++rename) {
        SCOPED_TRACE("killed at rename " + std::to_string(rename));
        RefillFolder(folder, writeOld);
        const std::map<std::string, std::string> old = FolderContents(folder);
        const bool finished = RunEndingAtRename(rename, write);
        const std::vector<std::string> lines = commit::RecoverFolder(folder.string());
        const std::map<std::string, std::string> now = FolderContents(folder);
        EXPECT_TRUE(now == old || now == fresh);
        if (finished) {
            EXPECT_TRUE(lines.empty());
            EXPECT_EQ(now, fresh);
            return rename - 1;
        }
        EXPECT_EQ(lines.size(), 1u);
    }
    ADD_FAILURE() << "the writer never ended";
    return 0;
}

void LeaveKilledWrite(const std::string& target, const std::string& content) {
    InChild([&] {
        commit::FileCommit file(target);
        file.write(content);
        ::_exit(0);
    });
}

void LeaveKilledGroup(const std::vector<std::pair<std::string, std::string>>& files, int renames) {
    RunEndingAtRename(renames, [&] {
        commit::CommitGroup group;
        for (const auto& [target, content] : files)
            group.add(target).write(content);
        if (renames == 0)
            ::_exit(0);
        group.commit();
    });
}

void MakeSymlink(const std::filesystem::path& target, const std::filesystem::path& link) {
    std::filesystem::create_symlink(target, link);
}

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// The text of the exception `write` throws; empty when it succeeds.
std::string Failure(const FileWriter& write, const std::string& path) {
    try {
        write(path);
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}

unsigned ModeOf(const fs::path& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

Names Merged(Names names, const Names& more) {
    names.insert(names.end(), more.begin(), more.end());
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

} // namespace

void ExpectSafeCommits(const fs::path& folder, const std::string& fileName, const FileWriter& write,
                       const WriterMessage& message, std::size_t partWayBytes, bool makesItsFolder) {
    const auto shown = [&](const std::string& commitMessage) {
        return message ? message(commitMessage) : commitMessage;
    };
    const std::string old = "; the previous content\r\n";
    auto caseFolder = [&](const std::string& name) {
        const fs::path path = folder / name;
        fs::create_directories(path);
        return path;
    };

    // What the writer writes over the old file when nothing stands in its way.
    const fs::path plain = caseFolder("plain");
    const std::string plainPath = (plain / fileName).string();
    WriteFile(plainPath, old);
    ASSERT_EQ(Failure(write, plainPath), "") << "the writer fails on a plain folder";
    const std::string content = ReadFile(plainPath);
    const Names written = EntryNames(plain);
    ASSERT_GT(content.size(), partWayBytes);

    // Each failing case: the error text, the old file byte for byte, nothing else left behind.
    auto expectRefused = [&](const fs::path& in, const std::string& path, const std::string& expected,
                             const std::function<std::string()>& run) {
        const Names before = EntryNames(in);
        EXPECT_EQ(run(), shown(expected)) << path;
        if (fs::exists(path)) {
            EXPECT_EQ(ReadFile(path), old) << path;
        }
        EXPECT_EQ(EntryNames(in), before) << path;
    };

    {
        SCOPED_TRACE("write-protected target");
        const fs::path in = caseFolder("protected");
        const std::string path = (in / fileName).string();
        WriteFile(path, old);
        ::chmod(path.c_str(), 0444);
        expectRefused(in, path, "Cannot create file " + path + ". Existing file " + path + " is not writable",
                      [&] { return Failure(write, path); });
        EXPECT_EQ(ModeOf(path), 0444u);
    }
    {
        SCOPED_TRACE("target behind a symbolic link");
        const fs::path in = caseFolder("linked");
        fs::create_directories(in / "shared");
        const fs::path real = in / "shared" / fileName;
        WriteFile(real, old);
        MakeSymlink(fs::path("shared") / fileName, in / fileName);
        EXPECT_EQ(Failure(write, (in / fileName).string()), "");
        EXPECT_TRUE(fs::is_symlink(in / fileName));
        EXPECT_EQ(ReadFile(real), content);
        EXPECT_EQ(EntryNames(in / "shared"), Names{fileName});
    }
    {
        SCOPED_TRACE("links planted at predictable temporary names");
        const fs::path in = caseFolder("planted");
        WriteFile(in / "victim.txt", old);
        WriteFile(in / fileName, old);
        for (const std::string& planted :
             {fileName + ".tmp", fileName + ".tmp" + std::to_string(::getpid()) + "_0",
              fileName + ".~export" + std::to_string(::getpid())})
            MakeSymlink(in / "victim.txt", in / planted);
        const Names before = EntryNames(in);
        EXPECT_EQ(Failure(write, (in / fileName).string()), "");
        EXPECT_EQ(ReadFile(in / "victim.txt"), old);
        EXPECT_FALSE(fs::is_symlink(in / fileName));
        EXPECT_EQ(ReadFile(in / fileName), content);
        EXPECT_EQ(EntryNames(in), Merged(before, written));
    }
    {
        SCOPED_TRACE("private target");
        const fs::path in = caseFolder("private");
        const fs::path path = in / fileName;
        WriteFile(path, old);
        ::chmod(path.c_str(), 0600);
        EXPECT_EQ(Failure(write, path.string()), "");
        EXPECT_EQ(ReadFile(path), content);
        EXPECT_EQ(ModeOf(path), 0600u);
        EXPECT_EQ(EntryNames(in), written);
    }
    {
        SCOPED_TRACE("a write failing part-way");
        const fs::path in = caseFolder("full");
        const std::string path = (in / fileName).string();
        WriteFile(path, old);
        expectRefused(in, path, "Cannot write file " + path + ". No space left on device", [&] {
            commit::testing::ScopedWriteFault fault(partWayBytes, ENOSPC);
            return Failure(write, path);
        });
    }
    {
        SCOPED_TRACE("a real file-size limit");
        const fs::path in = caseFolder("limited");
        const std::string path = (in / fileName).string();
        WriteFile(path, old);
        expectRefused(in, path, "Cannot write file " + path + ". File too large", [&] {
            const ChildOutcome outcome = RunUnderFileSizeLimit(partWayBytes, [&] { write(path); });
            EXPECT_EQ(outcome.signal, 0);
            EXPECT_EQ(outcome.exitCode, 1);
            return outcome.text;
        });
    }
    if (!makesItsFolder) {
        SCOPED_TRACE("a folder that vanished");
        const fs::path in = caseFolder("vanished");
        const std::string path = (in / "gone" / fileName).string();
        expectRefused(in, path, "Cannot create file " + path + ". No such file or directory",
                      [&] { return Failure(write, path); });
    }
}

} // namespace test_support
