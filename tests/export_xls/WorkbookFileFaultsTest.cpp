// The workbook's file against hostile folders and failing writes: the previous file stays byte for byte,
// the failure is reported with its cause, and no temporary file is left.

#include "export/core/ExporterMemorySources.h"
#include "export/xls/ExporterXLS.h"
#include "platform/commit/CommitTesting.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace exporter;
using Names = std::vector<std::string>;

class WorkbookFileFaults : public ::testing::Test {
protected:
    void SetUp() override {
        data_.AddField({"Name", TFieldType::ftString, 10});
        data_.AddField({"Count", TFieldType::ftInteger});
        for (int i = 1; i <= 500; ++i)
            data_.AddRow({"row" + std::to_string(i), std::to_string(i)});
    }
    std::string path(const std::string& name) const { return (folder_.Path() / name).string(); }
    Names entries() const { return test_support::EntryNames(folder_.Path()); }
    void run(const std::string& name, const std::function<void(TExporterXLS&)>& prepare = {}) {
        TExporterXLS xls;
        xls.DataSet = &data_;
        xls.FileName = path(name);
        if (prepare)
            prepare(xls);
        xls.Execute();
    }
    static std::string errorOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const std::exception& error) {
            return error.what();
        }
        return "(no error)";
    }
    static unsigned modeOf(const std::string& file) {
        struct stat st {};
        ::stat(file.c_str(), &st);
        return st.st_mode & 07777;
    }
    std::string writeError(const std::string& cause) const {
        return "Error writing output file \"" + path("book.xls") + "\": " + cause;
    }

    TMemoryDataSet data_;
    test_support::TempFolder folder_{"workbook_faults"};
};

TEST_F(WorkbookFileFaults, RefusedAndFailingWritesKeepTheOldWorkbook) {
    folder_.Write("book.xls", "old");
    ::chmod(path("book.xls").c_str(), 0444);
    EXPECT_EQ(errorOf([&] { run("book.xls"); }), "Cannot create file \"" + path("book.xls") +
                                                     "\". Existing file " + path("book.xls") +
                                                     " is not writable");
    EXPECT_EQ(modeOf(path("book.xls")), 0444u);
    ::chmod(path("book.xls").c_str(), 0644);
    {
        commit::testing::ScopedWriteFault fault(1000, ENOSPC);
        EXPECT_EQ(errorOf([&] { run("book.xls"); }), writeError("No space left on device"));
    }
    const auto outcome = test_support::RunUnderFileSizeLimit(4096, [&] { run("book.xls"); });
    EXPECT_EQ(outcome.signal, 0);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.text, writeError("File too large"));
    EXPECT_EQ(folder_.Read("book.xls"), "old");
    EXPECT_EQ(entries(), Names{"book.xls"});
}

TEST_F(WorkbookFileFaults, LinksAndPrivateFilesAreKept) {
    fs::create_directory(folder_.Path() / "shared");
    folder_.Write("shared/real.xls", "old");
    test_support::MakeSymlink(folder_.Path() / "shared/real.xls", folder_.Path() / "link.xls");
    folder_.Write("private.xls", "old");
    ::chmod(path("private.xls").c_str(), 0600);
    folder_.Write("victim.txt", "mine");
    const std::string pid = std::to_string(::getpid());
    const Names planted = {"private.xls.tmp" + pid + "_0", "private.xls.tmp" + pid + "_1",
                           "private.xls.~export" + pid};
    for (const std::string& name : planted)
        test_support::MakeSymlink(folder_.Path() / "victim.txt", folder_.Path() / name);

    run("link.xls");
    run("private.xls");
    EXPECT_TRUE(fs::is_symlink(folder_.Path() / "link.xls"));
    EXPECT_EQ(folder_.Read("shared/real.xls").substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_EQ(modeOf(path("private.xls")), 0600u);
    EXPECT_EQ(folder_.Read("private.xls").substr(0, 4), "\xD0\xCF\x11\xE0");
    EXPECT_EQ(folder_.Read("victim.txt"), "mine");
    Names expected = {"link.xls", "private.xls", "shared", "victim.txt"};
    expected.insert(expected.end(), planted.begin(), planted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entries(), expected);
    EXPECT_EQ(test_support::EntryNames(folder_.Path() / "shared"), Names{"real.xls"});
}

TEST_F(WorkbookFileFaults, AFolderThatVanishesFailsTheExport) {
    const fs::path sub = folder_.Path() / "sub";
    fs::create_directory(sub);
    const std::string error = errorOf([&] {
        run("sub/book.xls", [&](TExporterXLS& xls) {
            xls.OnExportedRecord = [&](TExporter&, int record) {
                if (record == 10)
                    fs::remove_all(sub);
            };
        });
    });
    EXPECT_EQ(error, "Error writing output file \"" + path("sub/book.xls") + "\": No such file or directory");
    EXPECT_FALSE(fs::exists(sub));
}

} // namespace
