// Every file writer of the export engine against hostile folders and failing writes: each keeps the
// previous files byte for byte, reports the failure with its cause, and leaves no temporary file.

#include "ExportTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterDBF.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "export/core/ExporterXML.h"
#include "platform/commit/CommitTesting.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace exporter::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using Files = std::map<std::string, std::string>;

// The rows every writer exports: enough for several pages and well past the fault limits below.
struct TestData {
    explicit TestData(int rows = 500) {
        FillDataSet(plain, rows);
        memo.AddField({"Name", TFieldType::ftString, 10});
        memo.AddField({"Remarks", TFieldType::ftMemo});
        for (int i = 1; i <= rows; ++i)
            memo.AddRow({"row" + std::to_string(i), "remark " + std::to_string(i)});
    }
    TMemoryDataSet plain;
    TMemoryDataSet memo;
};

struct WriterCase {
    std::string name;
    std::string fileName;
    std::function<std::unique_ptr<TExporterText>(TestData&)> make;
};

template <typename Exporter>
std::unique_ptr<TExporterText> On(TMemoryDataSet& data, std::unique_ptr<Exporter> exporter) {
    exporter->DataSet = &data;
    return exporter;
}

std::unique_ptr<TExporterText> Ascii(TestData& data, TExportASCIIType type) {
    auto exporter = std::make_unique<TExporterASCII>();
    exporter->SetExportType(type);
    return On(data.plain, std::move(exporter));
}

std::unique_ptr<TExporterText> DBaseWithMemo(TestData& data) {
    auto dbf = std::make_unique<TExporterDBF>();
    dbf->ExportedFields.Add("Name");
    dbf->ExportedFields.Add("Remarks");
    return On(data.memo, std::move(dbf));
}

std::unique_ptr<TExporterText> HTMLPages(TestData& data) {
    auto html = std::make_unique<TExporterHTML>();
    html->SetMaxRecords(200);
    html->GenerateIndex = true;
    html->UsingCSS = TUsingCSS::usExternal;
    return On(data.plain, std::move(html));
}

// The writers of more than one file.
std::vector<WriterCase> GroupWriters() {
    return {{"HTMLPagesIndexAndStyleSheet", "list.html", HTMLPages},
            {"DBaseWithMemo", "memo.dbf", DBaseWithMemo}};
}

std::vector<WriterCase> Writers() {
    std::vector<WriterCase> writers = {
        {"Text", "out.txt", [](TestData& d) { return Ascii(d, TExportASCIIType::etTXT); }},
        {"CSV", "out.csv", [](TestData& d) { return Ascii(d, TExportASCIIType::etCSV); }},
        {"DIF", "out.dif", [](TestData& d) { return Ascii(d, TExportASCIIType::etDIF); }},
        {"SYLK", "out.slk", [](TestData& d) { return Ascii(d, TExportASCIIType::etSYLK); }},
        {"SQL", "out.sql", [](TestData& d) { return On(d.plain, std::make_unique<TExporterSQL>()); }},
        {"XML", "out.xml", [](TestData& d) { return On(d.plain, std::make_unique<TExporterXML>()); }},
        {"LaTeX", "out.tex", [](TestData& d) { return On(d.plain, std::make_unique<TExporterLaTeX>()); }},
        {"RTF", "out.rtf", [](TestData& d) { return On(d.plain, std::make_unique<TExporterRTF>()); }},
        {"PDF", "out.pdf", [](TestData& d) { return On(d.plain, std::make_unique<TExporterPDF>()); }},
        {"HTML", "out.html", [](TestData& d) { return On(d.plain, std::make_unique<TExporterHTML>()); }},
        {"DBase", "out.dbf", [](TestData& d) { return On(d.plain, std::make_unique<TExporterDBF>()); }},
    };
    for (WriterCase& group : GroupWriters())
        writers.push_back(std::move(group));
    return writers;
}

std::string ErrorOf(const std::function<void()>& run) {
    try {
        run();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

unsigned ModeOf(const fs::path& file) {
    struct stat st {};
    ::stat(file.c_str(), &st);
    return st.st_mode & 07777;
}

class ExportFileFaults : public ::testing::TestWithParam<WriterCase> {
protected:
    void SetUp() override {
        // The names the writer produces, from a run into a folder of its own.
        fs::create_directories(reference_);
        Run(reference_);
        names_ = test_support::EntryNames(reference_);
        ASSERT_FALSE(names_.empty());
        fs::create_directories(folder_);
    }

    // Runs the writer's export to its file in `folder`.
    void Run(const fs::path& folder, const std::function<void(TExporterText&)>& prepare = {}) {
        std::unique_ptr<TExporterText> exporter = GetParam().make(data_);
        exporter->FileName = (folder / GetParam().fileName).string();
        if (prepare)
            prepare(*exporter);
        exporter->Execute();
    }
    std::string Path(const std::string& name) const { return (folder_ / name).string(); }
    // Every file of the writer with an old content of its own.
    Files WriteOldFiles() const {
        Files old;
        for (const std::string& name : names_) {
            old[name] = "old " + name;
            WriteFile(Path(name), old[name]);
        }
        return old;
    }
    Files Contents(const fs::path& folder) const {
        Files files;
        for (const std::string& name : test_support::EntryNames(folder))
            files[name] = ReadFile((folder / name).string());
        return files;
    }
    // The error names one of the writer's files and ends with the cause.
    void ExpectFileError(const std::string& error, const std::string& cause) const {
        bool named = false;
        for (const std::string& name : names_)
            for (const char* action : {"Cannot create file \"", "Cannot write file \""})
                named = named || error == action + Path(name) + "\". " + cause;
        EXPECT_TRUE(named) << error;
    }

    TestData data_;
    TempDir temp_;
    fs::path reference_ = temp_.path() / "reference";
    fs::path folder_ = temp_.path() / "out";
    Names names_;
};

TEST_P(ExportFileFaults, AWriteProtectedTargetIsRefusedAndKept) {
    const Files old = WriteOldFiles();
    const std::string target = Path(GetParam().fileName);
    ::chmod(target.c_str(), 0444);
    EXPECT_EQ(ErrorOf([&] { Run(folder_); }),
              "Cannot create file \"" + target + "\". Existing file " + target + " is not writable");
    EXPECT_EQ(Contents(folder_), old);
    EXPECT_EQ(ModeOf(target), 0444u);
}

TEST_P(ExportFileFaults, ALinkStaysALinkAndItsTargetGetsTheExport) {
    const fs::path shared = temp_.path() / "shared";
    fs::create_directories(shared);
    WriteFile((shared / "real").string(), "old");
    test_support::MakeSymlink(shared / "real", folder_ / GetParam().fileName);
    Run(folder_);
    EXPECT_TRUE(fs::is_symlink(folder_ / GetParam().fileName));
    EXPECT_EQ(test_support::EntryNames(shared), Names{"real"});
    EXPECT_NE(ReadFile((shared / "real").string()), "old");
    EXPECT_EQ(test_support::EntryNames(folder_), names_);
}

TEST_P(ExportFileFaults, LinksPlantedAtOncePredictableTemporaryNamesAreNotFollowed) {
    WriteFile((temp_.path() / "victim.txt").string(), "mine");
    Names planted;
    for (const std::string& name : names_) {
        const std::string pid = std::to_string(::getpid());
        for (const std::string& temporary :
             {name + ".~export" + pid, name + ".tmp" + pid + "_0", name + ".tmp"}) {
            test_support::MakeSymlink(temp_.path() / "victim.txt", folder_ / temporary);
            planted.push_back(temporary);
        }
    }
    Run(folder_);
    EXPECT_EQ(ReadFile((temp_.path() / "victim.txt").string()), "mine");
    Names expected = names_;
    expected.insert(expected.end(), planted.begin(), planted.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test_support::EntryNames(folder_), expected);
    for (const std::string& name : names_)
        EXPECT_FALSE(fs::is_symlink(folder_ / name)) << name;
}

TEST_P(ExportFileFaults, PrivateFilesStayPrivate) {
    WriteOldFiles();
    for (const std::string& name : names_)
        ::chmod(Path(name).c_str(), 0600);
    Run(folder_);
    for (const std::string& name : names_) {
        EXPECT_EQ(ModeOf(Path(name)), 0600u) << name;
        EXPECT_NE(ReadFile(Path(name)), "old " + name);
    }
    EXPECT_EQ(test_support::EntryNames(folder_), names_);
}

TEST_P(ExportFileFaults, AWriteFailingPartWayKeepsEveryOldFile) {
    const Files old = WriteOldFiles();
    {
        commit::testing::ScopedWriteFault fault(1000, ENOSPC);
        ExpectFileError(ErrorOf([&] { Run(folder_); }), "No space left on device");
    }
    EXPECT_EQ(Contents(folder_), old);
}

// The disk fills while the rows are still being written (past the first 256 KB, so the writer's
// stream has already handed bytes to the file): the message names the file and says why.
TEST_P(ExportFileFaults, AFullDiskPastTheFirstBuffersSaysWhyAndKeepsEveryOldFile) {
    TestData large(20000);
    const Files old = WriteOldFiles();
    std::unique_ptr<TExporterText> exporter = GetParam().make(large);
    exporter->FileName = Path(GetParam().fileName);
    {
        commit::testing::ScopedWriteFault fault(256 * 1024, ENOSPC);
        ExpectFileError(ErrorOf([&] { exporter->Execute(); }), "No space left on device");
    }
    EXPECT_EQ(Contents(folder_), old);
}

TEST_P(ExportFileFaults, AFileSizeLimitIsReportedAndKeepsEveryOldFile) {
    const Files old = WriteOldFiles();
    const test_support::ChildOutcome outcome =
        test_support::RunUnderFileSizeLimit(4096, [&] { Run(folder_); });
    EXPECT_EQ(outcome.signal, 0);
    EXPECT_EQ(outcome.exitCode, 1);
    ExpectFileError(outcome.text, "File too large");
    EXPECT_EQ(Contents(folder_), old);
}

TEST_P(ExportFileFaults, AFolderThatVanishesFailsTheExport) {
    WriteOldFiles();
    const std::string error = ErrorOf([&] {
        Run(folder_, [&](TExporterText& exporter) {
            exporter.OnExportedRecord = [&](TExporter&, int record) {
                if (record == 10)
                    fs::remove_all(folder_);
            };
        });
    });
    ExpectFileError(error, "No such file or directory");
    EXPECT_FALSE(fs::exists(folder_));
}

using ExportGroupFaults = ExportFileFaults;

// A later file that cannot be written leaves the first one old.
TEST_P(ExportGroupFaults, ASecondFileThatCannotBeWrittenKeepsTheFirst) {
    ASSERT_GE(names_.size(), 2u);
    const Files old = WriteOldFiles();
    const std::string second = Path(names_.back() == GetParam().fileName ? names_.front() : names_.back());
    ::chmod(second.c_str(), 0444);
    EXPECT_EQ(ErrorOf([&] { Run(folder_); }),
              "Cannot create file \"" + second + "\". Existing file " + second + " is not writable");
    EXPECT_EQ(Contents(folder_), old);
}

// A writer killed as any of its renames begins (between the files of its set): whatever touches the
// folder next puts the set back to all old or all new, leaves nothing else and says so in one line.
TEST_P(ExportGroupFaults, AWriterKilledBetweenItsRenamesIsRepairedWhole) {
    const int renames = test_support::ExpectEveryKilledRenameRepaired(
        folder_, [&] { WriteOldFiles(); }, [&] { Run(folder_); });
    EXPECT_GE(std::size_t(renames), names_.size());
}

INSTANTIATE_TEST_SUITE_P(AllWriters, ExportFileFaults, ::testing::ValuesIn(Writers()),
                         [](const ::testing::TestParamInfo<WriterCase>& info) { return info.param.name; });
INSTANTIATE_TEST_SUITE_P(GroupWriters, ExportGroupFaults, ::testing::ValuesIn(GroupWriters()),
                         [](const ::testing::TestParamInfo<WriterCase>& info) { return info.param.name; });

} // namespace
} // namespace exporter::test
