#include "platform/commit/FileCommit.h"
#include "platform/commit/CommitTesting.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using commit::CommitError;
using commit::CommitGroup;
using commit::FileCommit;
using Names = std::vector<std::string>;

class FileCommitTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder_.Path() / name).string(); }
    std::string read(const std::string& name) const { return folder_.Read(name); }
    void write(const std::string& name, const std::string& text) const { folder_.Write(name, text); }
    Names entries() const { return test_support::EntryNames(folder_.Path()); }
    static unsigned modeOf(const std::string& file) {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return st.st_mode & 07777;
    }
    // The commit must fail at `stage` with `reason`, naming the file as it was given.
    template <typename Write>
    static void expectFailure(Write&& run, CommitError::Stage stage, const std::string& what) {
        try {
            run();
            ADD_FAILURE() << "no error; expected: " << what;
        } catch (const CommitError& error) {
            EXPECT_EQ(error.stage(), stage);
            EXPECT_EQ(std::string(error.what()), what);
        }
    }

    test_support::TempFolder folder_{"commit_test"};
};

TEST_F(FileCommitTest, NewAndReplacedFilesGetTheirContentAndMode) {
    commit::WriteFileAtomically(path("new.txt"), "fresh");
    EXPECT_EQ(read("new.txt"), "fresh");
    EXPECT_EQ(modeOf(path("new.txt")), commit::NewFileMode());

    for (const unsigned mode : {0600u, 0640u, 0604u, 0755u, 0222u}) {
        write("private.txt", "old");
        ::chmod(path("private.txt").c_str(), mode);
        commit::WriteFileAtomically(path("private.txt"), "new");
        EXPECT_EQ(read("private.txt"), "new");
        EXPECT_EQ(modeOf(path("private.txt")), mode);
    }

    FileCommit streamed(path("streamed.txt"));
    for (int i = 0; i < 100000; ++i)
        streamed.stream() << i << '\n';
    streamed.write("end\n");
    streamed.commit();
    EXPECT_EQ(read("streamed.txt").substr(0, 4), "0\n1\n");
    EXPECT_EQ(read("streamed.txt").substr(read("streamed.txt").size() - 10), "99999\nend\n");
    EXPECT_EQ(entries(), (Names{"new.txt", "private.txt", "streamed.txt"}));
}

TEST_F(FileCommitTest, RefusedTargetsKeepTheirContent) {
    write("locked.csv", "old");
    ::chmod(path("locked.csv").c_str(), 0444);
    expectFailure([&] { commit::WriteFileAtomically(path("locked.csv"), "new"); }, CommitError::Stage::Create,
                  "Cannot create file " + path("locked.csv") + ". Existing file " + path("locked.csv") +
                      " is not writable");
    EXPECT_EQ(read("locked.csv"), "old");
    EXPECT_EQ(modeOf(path("locked.csv")), 0444u);

    fs::create_directory(folder_.Path() / "folder");
    expectFailure([&] { commit::WriteFileAtomically(path("folder"), "new"); }, CommitError::Stage::Create,
                  "Cannot create file " + path("folder") + ". Filename refers to a directory");

    const std::string gone = path("gone") + "/out.csv";
    expectFailure([&] { commit::WriteFileAtomically(gone, "new"); }, CommitError::Stage::Create,
                  "Cannot create file " + gone + ". No such file or directory");
    EXPECT_EQ(entries(), (Names{"folder", "locked.csv"}));
}

TEST_F(FileCommitTest, SymbolicLinksStayLinksAndTheirTargetsGetTheContent) {
    fs::create_directory(folder_.Path() / "shared");
    write("shared/real.csv", "old");
    test_support::MakeSymlink("shared/real.csv", folder_.Path() / "link.csv");
    test_support::MakeSymlink(folder_.Path() / "shared/new.csv", folder_.Path() / "dangling.csv");

    commit::WriteFileAtomically(path("link.csv"), "new");
    commit::WriteFileAtomically(path("dangling.csv"), "created");

    EXPECT_TRUE(fs::is_symlink(folder_.Path() / "link.csv"));
    EXPECT_EQ(read("shared/real.csv"), "new");
    EXPECT_TRUE(fs::is_symlink(folder_.Path() / "dangling.csv"));
    EXPECT_EQ(read("shared/new.csv"), "created");
    EXPECT_EQ(test_support::EntryNames(folder_.Path() / "shared"), (Names{"new.csv", "real.csv"}));

    test_support::MakeSymlink("loop.csv", folder_.Path() / "loop.csv");
    expectFailure([&] { commit::WriteFileAtomically(path("loop.csv"), "x"); }, CommitError::Stage::Create,
                  "Cannot create file " + path("loop.csv") + ". Too many levels of symbolic links");

    // As the kernel: a chain of 40 links is followed, one of 41 is not.
    for (int i = 1; i <= 41; ++i)
        test_support::MakeSymlink("chain" + std::to_string(i - 1),
                                  folder_.Path() / ("chain" + std::to_string(i)));
    commit::WriteFileAtomically(path("chain40"), "forty");
    EXPECT_EQ(read("chain0"), "forty");
    expectFailure([&] { commit::WriteFileAtomically(path("chain41"), "x"); }, CommitError::Stage::Create,
                  "Cannot create file " + path("chain41") + ". Too many levels of symbolic links");
}

// Two members of a group that lead to one file are refused before anything is written.
TEST_F(FileCommitTest, GroupMembersLeadingToOneFileAreRefused) {
    write("t.dbf", "old table");
    write("t.dbt", "old memo");
    fs::create_hard_link(folder_.Path() / "t.dbt", folder_.Path() / "other.dbt");
    test_support::MakeSymlink("t.dbt", folder_.Path() / "link.dbt");
    const struct {
        std::string second;
        std::string reason;
    } cases[] = {
        {path("t.dbt"), "It is written twice"},
        {folder_.Directory() + "./t.dbt", "It is written twice"},
        {path("link.dbt"), "It is written twice"},
        {path("other.dbt"), "It is the same file as " + path("t.dbt")},
    };
    for (const auto& row : cases) {
        CommitGroup group;
        group.add(path("t.dbf")).write("new table");
        group.add(path("t.dbt")).write("new memo");
        expectFailure([&] { group.add(row.second); }, CommitError::Stage::Create,
                      "Cannot create file " + row.second + ". " + row.reason);
        group.discard();
    }
    EXPECT_EQ(read("t.dbf"), "old table");
    EXPECT_EQ(read("t.dbt"), "old memo");
    EXPECT_EQ(entries(), (Names{"link.dbt", "other.dbt", "t.dbf", "t.dbt"}));
}

TEST_F(FileCommitTest, TemporaryFilesAreUnpredictableAndNeverFollowALink) {
    write("victim.txt", "mine");
    // Links planted at every name a writer could once predict lead nowhere now.
    for (const std::string& planted :
         Names{"out.csv.tmp", "out.csv.~export" + std::to_string(::getpid()), ".out.csv.~"})
        test_support::MakeSymlink(folder_.Path() / "victim.txt", folder_.Path() / planted);
    FileCommit first(path("out.csv"));
    FileCommit second(path("out.csv"));
    const Names during = entries();
    EXPECT_EQ(during.size(), 6u); // victim, three planted links, two temporary files
    first.write("one");
    first.commit();
    second.discard();
    EXPECT_EQ(read("victim.txt"), "mine");
    EXPECT_FALSE(fs::is_symlink(folder_.Path() / "out.csv"));
    EXPECT_EQ(read("out.csv"), "one");
}

TEST_F(FileCommitTest, WritesFailingPartWayKeepTheOldFile) {
    write("out.csv", "old");
    {
        commit::testing::ScopedWriteFault fault(1000, ENOSPC);
        FileCommit file(path("out.csv"));
        for (int i = 0; i < 1000; ++i)
            file.stream() << "row " << i << '\n';
        EXPECT_TRUE(file.good()); // still buffered
        expectFailure([&] { file.commit(); }, CommitError::Stage::Write,
                      "Cannot write file " + path("out.csv") + ". No space left on device");
        EXPECT_FALSE(file.good());
    }
    {
        commit::testing::ScopedWriteFault fault(2, EIO);
        expectFailure([&] { commit::WriteFileAtomically(path("out.csv"), "direct"); },
                      CommitError::Stage::Write,
                      "Cannot write file " + path("out.csv") + ". Input/output error");
    }
    EXPECT_EQ(read("out.csv"), "old");
    EXPECT_EQ(entries(), (Names{"out.csv"}));
}

TEST_F(FileCommitTest, AFileSizeLimitIsAnOrdinaryWriteError) {
    write("out.csv", "old");
    const auto outcome = test_support::RunUnderFileSizeLimit(4096, [&] {
        FileCommit file(path("out.csv"));
        file.stream() << std::string(100000, 'x');
        file.commit();
    });
    EXPECT_EQ(outcome.signal, 0);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.text, "Cannot write file " + path("out.csv") + ". File too large");
    EXPECT_EQ(read("out.csv"), "old");
    EXPECT_EQ(entries(), (Names{"out.csv"}));
}

TEST_F(FileCommitTest, AFolderRenamedMeanwhileGetsTheFileAndNoLeftover) {
    fs::create_directory(folder_.Path() / "before");
    write("before/out.csv", "old");
    {
        FileCommit file(path("before/out.csv"));
        file.write("new");
        fs::rename(folder_.Path() / "before", folder_.Path() / "after");
        file.commit();
    }
    {
        FileCommit file(path("after/out.csv"));
        file.write("discarded");
        fs::rename(folder_.Path() / "after", folder_.Path() / "again");
    }
    EXPECT_EQ(read("again/out.csv"), "new");
    EXPECT_EQ(test_support::EntryNames(folder_.Path() / "again"), (Names{"out.csv"}));
}

TEST_F(FileCommitTest, HardLinkedTargetsAreReplacedAndTheOtherNameKeepsTheOldContent) {
    write("a.txt", "old");
    fs::create_hard_link(folder_.Path() / "a.txt", folder_.Path() / "b.txt");
    commit::WriteFileAtomically(path("a.txt"), "new content");
    EXPECT_EQ(read("a.txt"), "new content");
    EXPECT_EQ(read("b.txt"), "old");
    EXPECT_EQ(fs::hard_link_count(folder_.Path() / "a.txt"), 1u);
    EXPECT_EQ(entries(), (Names{"a.txt", "b.txt"}));
}

TEST_F(FileCommitTest, GroupsCommitEveryFileOrNone) {
    write("table.dbf", "old table");
    write("table.dbt", "old memo");
    {
        CommitGroup group;
        group.add(path("table.dbf")).write("new table");
        group.add(path("table.dbt")).write("new memo");
        group.add(path("index.htm")).write("new index");
        group.commit();
    }
    EXPECT_EQ(read("table.dbf"), "new table");
    EXPECT_EQ(read("table.dbt"), "new memo");
    EXPECT_EQ(read("index.htm"), "new index");

    // A second file whose write fails.
    {
        CommitGroup group;
        group.add(path("table.dbf")).write("newer table");
        FileCommit& memo = group.add(path("table.dbt"));
        commit::testing::ScopedWriteFault fault(3, ENOSPC);
        memo.stream() << "newer memo";
        expectFailure([&] { group.commit(); }, CommitError::Stage::Write,
                      "Cannot write file " + path("table.dbt") + ". No space left on device");
    }
    // A last file whose old content cannot be kept for a rollback: the group stops before any rename.
    {
        CommitGroup group;
        group.add(path("table.dbf")).write("newer table");
        group.add(path("fresh.htm")).write("fresh");
        group.add(path("table.dbt")).write("newer memo");
        fs::remove(folder_.Path() / "table.dbt");
        fs::create_directories(folder_.Path() / "table.dbt" / "in-the-way");
        expectFailure([&] { group.commit(); }, CommitError::Stage::Write,
                      "Cannot write file " + path("table.dbt") + ". Operation not permitted");
    }
    EXPECT_EQ(read("table.dbf"), "new table");
    EXPECT_EQ(read("index.htm"), "new index");
    EXPECT_EQ(entries(), (Names{"index.htm", "table.dbf", "table.dbt"}));
}

} // namespace
