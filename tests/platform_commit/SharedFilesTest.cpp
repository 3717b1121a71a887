#include "platform/commit/FileCommit.h"
#include "tests/platform_commit/CommitSteps.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using commit::CommitGroup;
using commit::FileCommit;
using commit_test::Identity;
using commit_test::RunInChild;
using Names = std::vector<std::string>;

// A group id no user of the test system has as its own.
constexpr gid_t SharingGroup = 4242;

// Files that other users, other writers and the file system share: owners, sticky folders, ACLs,
// hard links written by two writers at once, long names and a low open-file limit.
class SharedFilesTest : public ::testing::Test {
protected:
    SharedFilesTest() { ::chmod(folder_.Path().c_str(), 0777); } // other users may work in it
    std::string path(const std::string& name) const { return (folder_.Path() / name).string(); }
    std::string read(const std::string& name) const { return folder_.Read(name); }
    void write(const std::string& name, const std::string& text) const { folder_.Write(name, text); }
    Names entries() const { return test_support::EntryNames(folder_.Path()); }
    struct stat statOf(const std::string& name) const {
        struct stat st {};
        ::stat(path(name).c_str(), &st);
        return st;
    }
    std::string attribute(const std::string& name, const char* key) const {
        char value[512];
        const ssize_t n = ::getxattr(path(name).c_str(), key, value, sizeof value);
        return n < 0 ? "<none>" : std::string(value, std::size_t(n));
    }

    test_support::TempFolder folder_{"commit_shared"};
};

#define SKIP_UNLESS_ROOT(what)                                                                               \
    if (::geteuid() != 0)                                                                                    \
    GTEST_SKIP() << "not run as root: " what " is not checked"

TEST_F(SharedFilesTest, TheOldOwnerGroupAndModeAreKept) {
    SKIP_UNLESS_ROOT("keeping another user's owner and group");
    const Identity nobody = commit_test::Nobody();
    for (const unsigned mode : {0640u, 0604u, 0660u}) {
        write("theirs.csv", "old");
        ASSERT_EQ(::chown(path("theirs.csv").c_str(), nobody.user, SharingGroup), 0);
        ASSERT_EQ(::chmod(path("theirs.csv").c_str(), mode), 0);
        commit::WriteFileAtomically(path("theirs.csv"), "new");
        const struct stat st = statOf("theirs.csv");
        EXPECT_EQ(st.st_uid, nobody.user);
        EXPECT_EQ(st.st_gid, SharingGroup);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(read("theirs.csv"), "new");
    }
}

TEST_F(SharedFilesTest, AGroupMemberKeepsTheGroupWhereTheOwnerCannotBeKept) {
    SKIP_UNLESS_ROOT("a member of the file's group writing it (the group kept, the owner not)");
    write("shared.csv", "old");
    ASSERT_EQ(::chown(path("shared.csv").c_str(), 0, SharingGroup), 0);
    ASSERT_EQ(::chmod(path("shared.csv").c_str(), 0664), 0);
    Identity member = commit_test::Nobody();
    member.groups.push_back(SharingGroup);
    const auto result = RunInChild([&] { commit::WriteFileAtomically(path("shared.csv"), "new"); }, member);
    ASSERT_EQ(result.code, 0) << result.text;
    const struct stat st = statOf("shared.csv");
    EXPECT_EQ(st.st_uid, member.user);
    EXPECT_EQ(st.st_gid, SharingGroup);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(read("shared.csv"), "new");
    EXPECT_EQ(entries(), (Names{"shared.csv"}));
}

TEST_F(SharedFilesTest, AStickyFolderRefusesAnotherUsersFileAndLeavesNothing) {
    SKIP_UNLESS_ROOT("a sticky folder as another user");
    fs::create_directory(folder_.Path() / "tmp");
    ::chmod(path("tmp").c_str(), 01777);
    write("tmp/theirs.csv", "old");
    ::chmod(path("tmp/theirs.csv").c_str(), 0666);
    const std::string theirs = path("tmp/theirs.csv");
    const auto single =
        RunInChild([&] { commit::WriteFileAtomically(theirs, "new"); }, commit_test::Nobody());
    EXPECT_EQ(single.code, 1);
    EXPECT_EQ(single.text, "Cannot create file " + theirs + ". Existing file " + theirs +
                               " belongs to another user in a shared folder");
    const auto group = RunInChild(
        [&] {
            CommitGroup files;
            files.add(path("tmp/mine.csv")).write("mine");
            files.add(theirs).write("new");
            files.commit();
        },
        commit_test::Nobody());
    EXPECT_EQ(group.code, 1);
    EXPECT_EQ(read("tmp/theirs.csv"), "old");
    EXPECT_EQ(test_support::EntryNames(folder_.Path() / "tmp"), (Names{"theirs.csv"}));
    // The user's own file there is written as usual.
    const auto own = RunInChild(
        [&] {
            commit::WriteFileAtomically(path("tmp/mine.csv"), "mine");
            commit::WriteFileAtomically(path("tmp/mine.csv"), "mine again");
        },
        commit_test::Nobody());
    EXPECT_EQ(own.code, 0) << own.text;
    EXPECT_EQ(read("tmp/mine.csv"), "mine again");
}

// A POSIX ACL as the kernel stores it: user::rw- user:<nobody>:rw- group::r-- mask::rw- other::r--.
std::string AccessAcl(std::uint32_t user) {
    std::string acl;
    const auto add32 = [&acl](std::uint32_t value) {
        for (int i = 0; i < 4; ++i)
            acl += char((value >> (8 * i)) & 0xff);
    };
    const auto entry = [&](std::uint16_t tag, std::uint16_t permissions, std::uint32_t id) {
        acl += char(tag & 0xff);
        acl += char(tag >> 8);
        acl += char(permissions & 0xff);
        acl += char(permissions >> 8);
        add32(id);
    };
    add32(2);
    entry(0x01, 6, 0xffffffff);
    entry(0x02, 6, user);
    entry(0x04, 4, 0xffffffff);
    entry(0x10, 6, 0xffffffff);
    entry(0x20, 4, 0xffffffff);
    return acl;
}

TEST_F(SharedFilesTest, AnAclAndExtendedAttributesAreKeptAndTheAclGrantsWriting) {
    write("acl.csv", "old");
    ::chmod(path("acl.csv").c_str(), 0644);
    const std::string acl = AccessAcl(commit_test::Nobody().user);
    if (::setxattr(path("acl.csv").c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "the test folder's file system takes no ACL (" << std::strerror(errno)
                     << "): keeping ACLs and attributes is not checked";
    if (::setxattr(path("acl.csv").c_str(), "user.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "the test folder's file system takes no user attribute: keeping them is not checked";
    const unsigned mode = statOf("acl.csv").st_mode & 07777; // the group bits are the mask: rw
    EXPECT_EQ(mode, 0664u);
    commit::WriteFileAtomically(path("acl.csv"), "new");
    EXPECT_EQ(read("acl.csv"), "new");
    EXPECT_EQ(attribute("acl.csv", "system.posix_acl_access"), acl);
    EXPECT_EQ(attribute("acl.csv", "user.note"), "kept");
    EXPECT_EQ(statOf("acl.csv").st_mode & 07777, mode);
    if (::geteuid() != 0)
        return;
    // The user the ACL names may write the file, though the mode alone would not let them.
    const auto granted = RunInChild([&] { commit::WriteFileAtomically(path("acl.csv"), "by the ACL"); },
                                    commit_test::Nobody());
    EXPECT_EQ(granted.code, 0) << granted.text;
    EXPECT_EQ(read("acl.csv"), "by the ACL");
    EXPECT_EQ(attribute("acl.csv", "system.posix_acl_access"), acl);
    EXPECT_EQ(entries(), (Names{"acl.csv"}));
}

TEST_F(SharedFilesTest, TwoWritersOfAHardLinkedFileGiveOneWholeFileEachRound) {
    write("a.bin", "old");
    fs::create_hard_link(folder_.Path() / "a.bin", folder_.Path() / "b.bin");
    const std::size_t size = std::size_t(1) << 20;
    for (int round = 0; round < 50; ++round) {
        std::vector<pid_t> writers;
        for (const char fill : {'A', 'B'}) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                try {
                    FileCommit file(path("a.bin"));
                    for (std::size_t done = 0; done < size; done += 4096)
                        file.write(std::string(4096, fill));
                    file.commit();
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            writers.push_back(pid);
        }
        for (const pid_t pid : writers) {
            int status = 0;
            ::waitpid(pid, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "round " << round;
        }
        const std::string content = read("a.bin");
        ASSERT_TRUE(content == std::string(size, 'A') || content == std::string(size, 'B'))
            << "round " << round;
        ASSERT_EQ(read("b.bin"), "old");
        ASSERT_EQ(entries(), (Names{"a.bin", "b.bin"})) << "round " << round;
    }
}

TEST_F(SharedFilesTest, NamesUpToTheFolderLimitAreWrittenAloneAndInGroups) {
    for (const std::size_t length : {250u, 255u}) {
        const std::string table = std::string(length - 4, 't') + ".dbf";
        const std::string memo = std::string(length - 4, 't') + ".dbt";
        write(table, "old table");
        write(memo, "old memo");
        commit::WriteFileAtomically(path(table), "new table");
        CommitGroup group;
        group.add(path(table)).write("newer table");
        group.add(path(memo)).write("newer memo");
        group.commit();
        EXPECT_EQ(read(table), "newer table");
        EXPECT_EQ(read(memo), "newer memo");
        EXPECT_EQ(entries(), (Names{table, memo}));
        fs::remove(folder_.Path() / table);
        fs::remove(folder_.Path() / memo);
    }
    // Two long names that differ only past the part their temporary names keep.
    const std::string stem(250, 'x');
    CommitGroup group;
    group.add(path(stem + "1.htm")).write("1");
    group.add(path(stem + "2.htm")).write("2");
    group.commit();
    EXPECT_EQ(read(stem + "2.htm"), "2");
}

TEST_F(SharedFilesTest, TwoThousandFilesCommitTogetherUnderALowOpenFileLimit) {
    const auto result = RunInChild([&] {
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = 256;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        CommitGroup pages;
        for (int i = 0; i < 2000; ++i) {
            FileCommit& page = pages.add(path("o" + std::to_string(i) + ".html"));
            page.stream() << "page " << i;
            page.finish();
        }
        pages.commit();
    });
    ASSERT_EQ(result.code, 0) << result.text;
    EXPECT_EQ(entries().size(), 2000u);
    EXPECT_EQ(read("o0.html"), "page 0");
    EXPECT_EQ(read("o1999.html"), "page 1999");
}

TEST_F(SharedFilesTest, TheProgramsOpenFileLimitIsRaisedToItsHardLimit) {
    const auto result = RunInChild([] {
        struct rlimit limit {};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 64);
        ::setrlimit(RLIMIT_NOFILE, &limit);
        commit::RaiseOpenFileLimit();
        struct rlimit raised {};
        ::getrlimit(RLIMIT_NOFILE, &raised);
        if (raised.rlim_cur != raised.rlim_max)
            throw std::runtime_error("soft limit " + std::to_string(raised.rlim_cur));
    });
    EXPECT_EQ(result.code, 0) << result.text;
}

} // namespace
