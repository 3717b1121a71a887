#include "tests/platform_commit/CommitSteps.h"
#include "platform/commit/CommitTesting.h"
#include "platform/commit/FileCommit.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using commit::CommitError;
using commit::CommitGroup;
using commit::FileCommit;
using commit_test::Step;
using commit_test::StepCalls;
using Names = std::vector<std::string>;

// The steps of commits, seen through the commit path's system calls.
class CommitStepsTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return (folder_.Path() / name).string(); }
    std::string read(const std::string& name) const { return folder_.Read(name); }
    void write(const std::string& name, const std::string& text) const { folder_.Write(name, text); }
    bool exists(const std::string& name) const { return fs::exists(folder_.Path() / name); }
    Names entries() const { return test_support::EntryNames(folder_.Path()); }
    // The error text of `run`, empty when it succeeds.
    template <typename Run> static std::string failure(Run&& run) {
        try {
            run();
        } catch (const CommitError& error) {
            return error.what();
        }
        return {};
    }
    // Writes the group of the tests: two files that exist with a new one between them.
    void writeGroup(const std::string& a, const std::string& b, const std::string& c) const {
        CommitGroup group;
        group.add(path("t.dbf")).write(a);
        group[0].finish();
        group.add(path("index.htm")).write(c);
        group.add(path("t.dbt")).stream() << b;
        group.commit();
    }

    test_support::TempFolder folder_{"commit_steps"};
    StepCalls calls_;
};

TEST_F(CommitStepsTest, DataIsSyncedBeforeTheRenameAndTheFolderAfterIt) {
    write("out.csv", "old");
    {
        commit::testing::ScopedSystemCalls use(calls_);
        commit::WriteFileAtomically(path("out.csv"), "new");
    }
    EXPECT_EQ(read("out.csv"), "new");
    ASSERT_GE(calls_.first("rename"), 0);
    EXPECT_GE(calls_.first("write file"), 0);
    EXPECT_LT(calls_.first("write file"), calls_.first("sync file"));
    EXPECT_LT(calls_.last("sync file"), calls_.first("rename"));
    EXPECT_GT(calls_.last("sync folder"), calls_.last("rename"));
}

TEST_F(CommitStepsTest, AGroupSyncsEveryFileAndItsJournalBeforeItsFirstRename) {
    write("t.dbf", "old table");
    write("t.dbt", "old memo");
    {
        commit::testing::ScopedSystemCalls use(calls_);
        writeGroup("new table", "new memo", "new index");
    }
    const auto& trace = calls_.trace;
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "sync file"), 3);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "rename"), 3);
    const int firstRename = calls_.first("rename");
    EXPECT_LT(calls_.last("sync file"), firstRename);
    EXPECT_LT(calls_.first("write journal"), calls_.first("sync journal"));
    EXPECT_LT(calls_.first("sync journal"), firstRename);
    // The folder holds the journal and the backups durably before the first rename, the renames after
    // the last.
    EXPECT_LT(calls_.first("sync journal"), calls_.first("sync folder"));
    EXPECT_LT(calls_.first("sync folder"), firstRename);
    EXPECT_GT(calls_.last("sync folder"), calls_.last("rename"));
    EXPECT_EQ(read("t.dbf"), "new table");
    EXPECT_EQ(read("t.dbt"), "new memo");
    EXPECT_EQ(read("index.htm"), "new index");
    EXPECT_EQ(entries(), (Names{"index.htm", "t.dbf", "t.dbt"}));
}

TEST_F(CommitStepsTest, AFileAtTheTemporaryNameIsNeverWrittenInto) {
    write("out.csv", "old");
    // Someone else's file appears at the very name the writer picks.
    std::string planted;
    calls_.beforeCreate = [&](int folder, const std::string& name) {
        if (!planted.empty())
            return;
        planted = name;
        const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        (void)!::write(fd, "theirs", 6);
        ::close(fd);
    };
    {
        commit::testing::ScopedSystemCalls use(calls_);
        commit::WriteFileAtomically(path("out.csv"), "new");
    }
    ASSERT_FALSE(planted.empty());
    EXPECT_EQ(read(planted), "theirs");
    EXPECT_EQ(read("out.csv"), "new");
    EXPECT_EQ(entries(), (Names{planted, "out.csv"}));
}

TEST_F(CommitStepsTest, ShortWritesAreContinued) {
    std::string text;
    for (int i = 0; i < 5000; ++i)
        text += "line " + std::to_string(i) + "\n";
    calls_.writeLimit = 7;
    {
        commit::testing::ScopedSystemCalls use(calls_);
        FileCommit file(path("out.csv"));
        file.write(text.substr(0, 100));
        file.stream() << text.substr(100);
        file.commit();
        commit::WriteFileAtomically(path("whole.csv"), text);
    }
    EXPECT_EQ(read("out.csv"), text);
    EXPECT_EQ(read("whole.csv"), text);
}

TEST_F(CommitStepsTest, AFailedWriteRemovesTheTemporaryFileAtOnce) {
    write("out.csv", "old");
    calls_.failStep = Step::Write;
    calls_.failNth = 2;
    calls_.failError = ENOSPC;
    commit::testing::ScopedSystemCalls use(calls_);
    FileCommit file(path("out.csv"));
    for (int i = 0; i < 200000; ++i)
        file.stream() << "row " << i << '\n';
    // The stream handed on its buffer several times; the second hand-on failed.
    EXPECT_TRUE(file.stream().bad());
    EXPECT_FALSE(file.good());
    EXPECT_EQ(entries(), (Names{"out.csv"}));
    EXPECT_EQ(failure([&] { file.commit(); }),
              "Cannot write file " + path("out.csv") + ". No space left on device");
    EXPECT_EQ(read("out.csv"), "old");
}

TEST_F(CommitStepsTest, AHeaderPatchedThroughTheStreamLandsWhereItWasMeant) {
    FileCommit file(path("table.dbf"));
    std::ostream& out = file.stream();
    out << "HDR0000\n";
    EXPECT_EQ(out.tellp(), std::streampos(8)); // all of it still buffered
    std::string rows;
    for (int i = 0; i < 30000; ++i)
        rows += "record " + std::to_string(i) + "\n";
    out << rows;
    const std::streampos end = out.tellp();
    EXPECT_EQ(end, std::streampos(std::streamoff(8 + rows.size())));
    out.seekp(3);
    out << "1234";
    out.seekp(end);
    out << "end";
    file.commit();
    EXPECT_EQ(read("table.dbf"), "HDR1234\n" + rows + "end");
}

TEST_F(CommitStepsTest, TwoGroupsOverTheSameFilesNeverMixTheirRenames) {
    write("t.dbf", "old table");
    write("t.dbt", "old memo");
    const auto commitPair = [&](const std::string& table, const std::string& memo) {
        CommitGroup group;
        group.add(path("t.dbf")).write(table);
        group.add(path("t.dbt")).write(memo);
        group.commit();
    };
    pid_t other = -1;
    int status = -1;
    calls_.before = [&](Step step, int count) {
        if (step != Step::Rename || count != 2 || other >= 0)
            return;
        // Between this group's two renames another process commits the same files: it must wait.
        other = ::fork();
        if (other == 0) {
            commit::detail::UseSystemCalls(nullptr);
            try {
                commitPair("other table", "other memo");
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
        for (int wait = 0; wait < 50 && ::waitpid(other, &status, WNOHANG) == 0; ++wait)
            ::usleep(10000);
    };
    {
        commit::testing::ScopedSystemCalls use(calls_);
        commitPair("new table", "new memo");
    }
    ASSERT_GT(other, 0);
    if (status == -1)
        ::waitpid(other, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string table = read("t.dbf"), memo = read("t.dbt");
    EXPECT_TRUE((table == "new table" && memo == "new memo") ||
                (table == "other table" && memo == "other memo"))
        << table << " / " << memo;
    EXPECT_EQ(entries(), (Names{"t.dbf", "t.dbt"}));
}

// A step that fails: the message names the file and its cause, every old file stays, nothing is left.
struct FailingStep {
    const char* what;
    Step step;
    int nth;
    int error;
    const char* failingFile; // the file the message names
    const char* cause;
};

class FailingStepTest : public CommitStepsTest, public ::testing::WithParamInterface<FailingStep> {};

TEST_P(FailingStepTest, KeepsEveryOldFileAndSaysWhy) {
    const FailingStep& row = GetParam();
    write("t.dbf", "old table");
    write("t.dbt", "old memo");
    calls_.failStep = row.step;
    calls_.failNth = row.nth;
    calls_.failError = row.error;
    std::string message;
    {
        commit::testing::ScopedSystemCalls use(calls_);
        message = failure([&] { writeGroup("new table", "new memo", "new index"); });
    }
    EXPECT_EQ(message, std::string("Cannot write file ") + path(row.failingFile) + ". " + row.cause);
    EXPECT_EQ(read("t.dbf"), "old table");
    EXPECT_EQ(read("t.dbt"), "old memo");
    EXPECT_FALSE(exists("index.htm"));
    EXPECT_EQ(entries(), (Names{"t.dbf", "t.dbt"}));
}

INSTANTIATE_TEST_SUITE_P(
    Group, FailingStepTest,
    ::testing::Values(
        FailingStep{"file sync", Step::Sync, 2, EIO, "index.htm", "Input/output error"},
        FailingStep{"mode", Step::Chmod, 1, EPERM, "t.dbf", "Operation not permitted"},
        FailingStep{"backup link", Step::Link, 2, EMLINK, "t.dbt", "Too many links"},
        FailingStep{"journal write", Step::Write, 4, ENOSPC, "t.dbf", "No space left on device"},
        FailingStep{"journal sync", Step::Sync, 4, EIO, "t.dbf", "Input/output error"},
        FailingStep{"second rename", Step::Rename, 2, EXDEV, "index.htm", "Invalid cross-device link"},
        FailingStep{"last rename", Step::Rename, 3, EACCES, "t.dbt", "Permission denied"}),
    [](const auto& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(CommitStepsTest, AFailingFolderSyncIsAnError) {
    write("out.csv", "old");
    calls_.failStep = Step::Sync;
    calls_.failNth = 2; // the file's, then the folder's
    calls_.failError = EIO;
    commit::testing::ScopedSystemCalls use(calls_);
    EXPECT_EQ(failure([&] { commit::WriteFileAtomically(path("out.csv"), "new"); }),
              "Cannot write file " + path("out.csv") + ". Input/output error");
    EXPECT_EQ(entries(), (Names{"out.csv"}));
}

// ---------------------------------------------------------------------------------------------------
// A writer ended at each step of its commit: what it leaves is repaired to all old or all new.

class KilledCommitTest : public CommitStepsTest {
protected:
    void reset() {
        for (const std::string& name : entries())
            fs::remove(folder_.Path() / name);
        write("t.dbf", "old table");
        write("t.dbt", "old memo");
    }
    // The group's files are all old or all new; true when new.
    bool expectWholeGroup(const std::string& newer = "new") {
        const bool isNew = read("t.dbf") == newer + " table";
        if (isNew) {
            EXPECT_EQ(read("t.dbt"), newer + " memo");
            EXPECT_EQ(read("index.htm"), newer + " index");
        } else {
            EXPECT_EQ(read("t.dbf"), "old table");
            EXPECT_EQ(read("t.dbt"), "old memo");
            EXPECT_FALSE(exists("index.htm"));
        }
        return isNew;
    }
    // Runs `work` in a child that ends at step `step`; true when it ran to its end instead.
    bool runUntil(int step, const std::function<void()>& work) {
        const commit_test::ChildResult result = commit_test::RunInChild([&] {
            StepCalls calls;
            calls.endAtStep = step;
            commit::testing::ScopedSystemCalls use(calls);
            work();
        });
        EXPECT_TRUE(result.code == 0 || result.code == commit_test::EndedAtStep)
            << result.code << result.text;
        return result.code == 0;
    }
};

TEST_F(KilledCommitTest, ASingleFileIsOldOrNewAndItsLeftoverGoes) {
    std::vector<std::string> notices;
    commit::SetRecoveryNoticeSink([&](const std::string& line) { notices.push_back(line); });
    // A lone file, and a group of one (as the exporters write one file).
    const std::pair<const char*, std::function<void()>> writers[] = {
        {"lone file", [&] { commit::WriteFileAtomically(path("t.dbf"), "new table"); }},
        {"group of one",
         [&] {
             CommitGroup group;
             group.add(path("t.dbf")).write("new table");
             group.commit();
         }},
    };
    int step = 1;
    for (bool done = false; !done; ++step) {
        done = true;
        for (const auto& [writer, write] : writers)
            for (const bool byNextCommit : {false, true}) {
                SCOPED_TRACE(
                    std::string(writer) + ", step " + std::to_string(step) +
                    (byNextCommit ? ", repaired by the next commit" : ", repaired by RecoverFolder"));
                reset();
                done = runUntil(step, write) && done;
                const bool leftover = entries() != Names{"t.dbf", "t.dbt"};
                notices.clear();
                if (byNextCommit)
                    commit::WriteFileAtomically(path("t.dbt"), "new memo");
                else
                    notices = commit::RecoverFolder(folder_.Directory());
                ASSERT_EQ(notices.size(), leftover ? 1u : 0u);
                if (leftover) {
                    EXPECT_NE(notices.front().find(folder_.Path().string()), std::string::npos)
                        << notices.front();
                }
                EXPECT_TRUE(read("t.dbf") == "old table" || read("t.dbf") == "new table");
                EXPECT_EQ(entries(), (Names{"t.dbf", "t.dbt"}));
            }
    }
    commit::SetRecoveryNoticeSink({});
    EXPECT_GT(step, 6);
}

TEST_F(KilledCommitTest, AGroupIsAllOldOrAllNewAfterRecoverFolder) {
    int step = 1;
    int sawNew = 0;
    for (bool done = false; !done; ++step) {
        reset();
        done = runUntil(step, [&] { writeGroup("new table", "new memo", "new index"); });
        const Names left = entries();
        const bool leftover = left != Names{"t.dbf", "t.dbt"} && left != Names{"index.htm", "t.dbf", "t.dbt"};
        const std::vector<std::string> lines = commit::RecoverFolder(folder_.Directory());
        ASSERT_EQ(lines.size(), leftover ? 1u : 0u) << "step " << step;
        SCOPED_TRACE("step " + std::to_string(step));
        const bool isNew = expectWholeGroup();
        sawNew += isNew;
        EXPECT_EQ(entries(), isNew ? (Names{"index.htm", "t.dbf", "t.dbt"}) : (Names{"t.dbf", "t.dbt"}));
    }
    EXPECT_GT(step, 20);
    EXPECT_GT(sawNew, 1); // ended after the renames, before the journal went: completed
}

TEST_F(KilledCommitTest, TheNextCommitRepairsAGroupFirstAndSaysSo) {
    std::vector<std::string> notices;
    commit::SetRecoveryNoticeSink([&](const std::string& line) { notices.push_back(line); });
    int step = 1;
    for (bool done = false; !done; ++step) {
        reset();
        done = runUntil(step, [&] { writeGroup("new table", "new memo", "new index"); });
        const Names left = entries();
        const bool leftover = left != Names{"t.dbf", "t.dbt"} && left != Names{"index.htm", "t.dbf", "t.dbt"};
        notices.clear();
        writeGroup("newer table", "newer memo", "newer index");
        SCOPED_TRACE("step " + std::to_string(step));
        ASSERT_EQ(notices.size(), leftover ? 1u : 0u);
        EXPECT_TRUE(expectWholeGroup("newer"));
        EXPECT_EQ(entries(), (Names{"index.htm", "t.dbf", "t.dbt"}));
    }
    commit::SetRecoveryNoticeSink({});
    EXPECT_GT(step, 20);
}

TEST_F(KilledCommitTest, AGroupAcrossTwoFoldersIsRepairedFromEitherFolder) {
    const std::string sub = path("sub");
    int step = 1;
    for (bool done = false; !done; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        reset();
        fs::create_directory(sub);
        write("sub/t.dbt", "old memo");
        done = runUntil(step, [&] {
            CommitGroup group;
            group.add(path("t.dbf")).write("new table");
            group.add(sub + "/t.dbt").write("new memo");
            group.commit();
        });
        // The second folder's journal names the whole group: its repair alone leaves no mixed set.
        (void)commit::RecoverFolder(sub);
        const bool isNew = read("t.dbf") == "new table";
        EXPECT_EQ(read("sub/t.dbt"), isNew ? "new memo" : "old memo");
        (void)commit::RecoverFolder(folder_.Directory());
        EXPECT_EQ(read("t.dbf"), isNew ? "new table" : "old table");
        EXPECT_EQ(entries(), (Names{"sub", "t.dbf", "t.dbt"}));
        EXPECT_EQ(test_support::EntryNames(sub), (Names{"t.dbt"}));
        fs::remove_all(sub);
    }
    EXPECT_GT(step, 15);
}

TEST_F(KilledCommitTest, LiveWritersKeepTheirFilesWhileTheFolderIsRecovered) {
    write("t.dbf", "old table");
    FileCommit single(path("out.csv"));
    single.write("single");
    CommitGroup group;
    group.add(path("t.dbf")).write("new table");
    group[0].finish(); // closed, found again by name at the commit
    group.add(path("t.dbt")).write("new memo");
    const Names during = entries();
    EXPECT_EQ(during.size(), 5u); // t.dbf, a journal, three temporary files
    EXPECT_TRUE(commit::RecoverFolder(folder_.Directory()).empty());
    commit::WriteFileAtomically(path("other.csv"), "other"); // recovers the folder too
    EXPECT_EQ(entries().size(), 6u);
    single.commit();
    group.commit();
    EXPECT_EQ(read("out.csv"), "single");
    EXPECT_EQ(read("t.dbf"), "new table");
    EXPECT_EQ(entries(), (Names{"other.csv", "out.csv", "t.dbf", "t.dbt"}));
}

} // namespace
