// The program without a user: "cormelian /alldns /alldhcp /autoclose" on a generated tree writes
// the three CSV files with exactly the rows the generator's manifest expects, sorted by address.

#include "browser/lists/CsvExport.h"
#include "browser/lists/RecordListSort.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include "tools/gentree/GeneratorRun.h"
#include "tools/gentree/Manifest.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <sys/resource.h>

#if defined(CORMELIAN_PROGRAM) && defined(CORMELIAN_TOLVEX)

namespace {

using browser::RecordListKind;
using browser::RecordRow;

// The fields of every line of a CSV file as the program writes it (every field quoted).
std::vector<std::vector<std::string>> ReadCsv(const std::string& path) {
    const std::string text = test_support::ReadFile(path);
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                field += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            fields.push_back(std::move(field));
            field.clear();
        } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            fields.push_back(std::move(field));
            field.clear();
            records.push_back(std::move(fields));
            fields.clear();
            ++i;
        } else {
            field += ch;
        }
    }
    return records;
}

class BatchRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        for (const char* folder : {"trees", "program", "work"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(folder));
        gentree::GeneratorRun run;
        run.outputFolder = Folder("trees").toStdString();
        gentree::TreeOptions tree;
        tree.name = "BATCH";
        tree.index = 3;
        tree.seed = 8;
        tree.size.recordSetsPerZone = 6;
        tree.size.addressesPerSubnet = 7;
        run.trees = {tree};
        run.visible = {true};
        gentree::WriteRun(run);
        std::ifstream manifest(Folder("trees/BATCH.manifest").toStdString());
        expected = gentree::ReadManifest(manifest);
        ASSERT_FALSE(expected.empty());

        // The program keeps its settings and cache in its own folder: give it a folder of its own.
        ASSERT_TRUE(QFile::copy(CORMELIAN_PROGRAM, Folder("program/cormelian")));
        ASSERT_TRUE(
            QFile::copy(CORMELIAN_TOLVEX, Folder("program/") + QFileInfo(CORMELIAN_TOLVEX).fileName()));
        // The tree's start context is set, so that the first start asks nothing.
        WriteSettings("");
    }

    void WriteSettings(const std::string& system) {
        std::ofstream settings(Folder("program/Cormelian.ini").toStdString(), std::ios::binary);
        settings << "[TREES]\r\nBATCH=[root]\r\n";
        if (!system.empty())
            settings << "[SYSTEM]\r\n" << system << "\r\n";
    }

    QString Folder(const QString& name) const { return dir.filePath(name); }

    // Runs the program in the work folder, under a file-size limit when one is given; returns its
    // exit code (-1 when it did not end).
    int Run(const QStringList& arguments, QString& errors, rlim_t fileSizeLimit = 0) {
        QProcess program;
        Start(program, arguments, Folder("trees/client.ini"), fileSizeLimit);
        return Finish(program, errors);
    }

    // Starts the program in the work folder on a client configuration, under a file-size limit
    // when one is given.
    void Start(QProcess& program, const QStringList& arguments, const QString& clientConfig,
               rlim_t fileSizeLimit = 0) {
        if (fileSizeLimit > 0) {
            program.setChildProcessModifier([fileSizeLimit] {
                const struct rlimit limit { fileSizeLimit, fileSizeLimit };
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("CORMELIAN_CLIENT_CONFIG", clientConfig);
        environment.remove("CORMELIAN_EXIT_AFTER_MS");
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(Folder("work"));
        program.start(Folder("program/cormelian"), arguments);
    }

    // Waits for a started program; its exit code (-1 when it did not end).
    static int Finish(QProcess& program, QString& errors) {
        if (!program.waitForFinished(120000)) {
            program.kill();
            program.waitForFinished();
            return -1;
        }
        errors = QString::fromLocal8Bit(program.readAllStandardError());
        return program.exitStatus() == QProcess::NormalExit ? program.exitCode() : -1;
    }

    // The manifest's rows of one list as CSV fields, and the file's, in the file's order.
    void ExpectListFile(const char* listName, RecordListKind list) {
        const std::string file = Folder("work/").toStdString() + browser::DefaultCsvFileName(list);
        const int columns = browser::CsvColumnCount(list);
        std::vector<std::vector<std::string>> wanted;
        for (const gentree::ExpectedRow& row : expected) {
            if (row.list != listName)
                continue;
            RecordRow record;
            record.caption = row.caption;
            record.subItems = row.subItems;
            std::vector<std::string> fields{row.caption};
            for (int k = 0; k <= columns - 2; ++k)
                fields.push_back(static_cast<std::size_t>(k) < row.subItems.size()
                                     ? row.subItems[static_cast<std::size_t>(k)]
                                     : "missing data");
            wanted.push_back(fields);
        }
        std::vector<std::vector<std::string>> written = ReadCsv(file);
        ASSERT_FALSE(written.empty()) << file;
        // After a collection the lists are sorted by address, then by name.
        for (std::size_t i = 1; i < written.size(); ++i) {
            RecordRow previous, next;
            previous.caption = written[i - 1][0];
            previous.subItems = {written[i - 1].begin() + 1, written[i - 1].end()};
            next.caption = written[i][0];
            next.subItems = {written[i].begin() + 1, written[i].end()};
            EXPECT_LE(browser::CompareRowsByIP(previous, next), 0) << file << " line " << i + 1;
        }
        std::sort(wanted.begin(), wanted.end());
        std::sort(written.begin(), written.end());
        EXPECT_EQ(written, wanted) << file;
    }

    QTemporaryDir dir;
    std::vector<gentree::ExpectedRow> expected;
};

TEST_F(BatchRun, CollectsEveryListIntoItsCsvFileAndEnds) {
    QString errors;
    ASSERT_EQ(Run({"/alldns", "/alldhcp", "/autoclose"}, errors), 0) << errors.toStdString();
    ExpectListFile("DNS", RecordListKind::Dns);
    ExpectListFile("REV-DNS", RecordListKind::RevDns);
    ExpectListFile("DHCP", RecordListKind::Dhcp);
}

TEST_F(BatchRun, WithoutThreadsTheSameFilesAreWritten) {
    WriteSettings("Threads=0");
    QString errors;
    ASSERT_EQ(Run({"/alldhcp", "/alldns", "/autoclose"}, errors), 0) << errors.toStdString();
    ExpectListFile("DNS", RecordListKind::Dns);
    ExpectListFile("REV-DNS", RecordListKind::RevDns);
    ExpectListFile("DHCP", RecordListKind::Dhcp);
}

TEST_F(BatchRun, OnlyTheAskedListsAreWritten) {
    QString errors;
    ASSERT_EQ(Run({"/alldhcp", "/AllDNS", "/autoclose"}, errors), 0) << errors.toStdString();
    ExpectListFile("DHCP", RecordListKind::Dhcp);
    EXPECT_FALSE(QFile::exists(Folder("work/dns.csv")));
    EXPECT_FALSE(QFile::exists(Folder("work/rev-dns.csv")));
}

TEST_F(BatchRun, DatesFollowTheSettingsAndTheCacheStampsReadBackInAnyLocale) {
    WriteSettings("Datesep=-\r\nTimesep=.\r\nDateTime=dd/mm/yyyy hh:nn");
    QString errors;
    ASSERT_EQ(Run({"/alldhcp", "/autoclose"}, errors), 0) << errors.toStdString();
    const std::vector<std::vector<std::string>> rows = ReadCsv(Folder("work/dhcp.csv").toStdString());
    ASSERT_FALSE(rows.empty());
    int dates = 0;
    const std::regex date(R"(\d\d-\d\d-\d{4} \d\d\.\d\d)");
    for (const auto& row : rows) {
        for (std::size_t column : {4u, 5u}) { // Last Used, Lease Exp.
            if (column < row.size() && !row[column].empty()) {
                EXPECT_TRUE(std::regex_match(row[column], date)) << row[column];
                ++dates;
            }
        }
    }
    EXPECT_GT(dates, 0);
    // The list is still sorted by address, and the cache stamp is in ISO form.
    const std::string subnets =
        test_support::ReadFile(Folder("program/data/BATCH/subnets.ini").toStdString());
    EXPECT_TRUE(std::regex_search(subnets, std::regex(R"(STAMP=\d{4}-\d\d-\d\d \d\d:\d\d:\d\d)"))) << subnets;
}

// A scheduled run and another one (or the window) starting together on a directory whose store does
// not exist yet: both create and open the store, and both write the lists whole.
TEST_F(BatchRun, TwoRunsStartedTogetherOnAFreshDemoStoreBothWriteTheSameLists) {
    const std::filesystem::path source =
        qEnvironmentVariable("CORMELIAN_SOURCE_DIR", CORMELIAN_SOURCE_FALLBACK).toStdString();
    const std::filesystem::path demo = Folder("demo").toStdString();
    std::filesystem::copy(source / "data" / "demo", demo, std::filesystem::copy_options::recursive);
    std::ifstream manifest(demo / "ACME.manifest");
    expected = gentree::ReadManifest(manifest);
    ASSERT_FALSE(expected.empty());
    // The demo's settings open only its first tree.
    std::ofstream(Folder("program/Cormelian.ini").toStdString(), std::ios::binary)
        << "[TREES]\r\nACME=[root]\r\nGLOBEX=[root]\r\nINITECH=[root]\r\n[SYSTEM]\r\nnoTrees=1\r\n";
    constexpr int ROUNDS = 8;
    for (int round = 0; round < ROUNDS; ++round) {
        for (const char* file : {"store.db", "store.db-wal", "store.db-shm", "store.db.lock"})
            std::filesystem::remove(demo / file);
        QProcess first, second;
        Start(first, {"/alldns", "/alldhcp", "/autoclose"}, Folder("demo/client.ini"));
        Start(second, {"/alldns", "/alldhcp", "/autoclose"}, Folder("demo/client.ini"));
        QString firstErrors, secondErrors;
        EXPECT_EQ(Finish(first, firstErrors), 0) << "round " << round << ": " << firstErrors.toStdString();
        EXPECT_EQ(Finish(second, secondErrors), 0) << "round " << round << ": " << secondErrors.toStdString();
        ExpectListFile("DNS", RecordListKind::Dns);
        ExpectListFile("REV-DNS", RecordListKind::RevDns);
        ExpectListFile("DHCP", RecordListKind::Dhcp);
        // Both wrote the same cache files: each is whole (the last one wins), none is left half-written.
        for (const auto& item :
             std::filesystem::recursive_directory_iterator(Folder("program/data").toStdString()))
            if (item.is_regular_file())
                EXPECT_EQ(item.path().extension(), ".ini") << "round " << round << ": " << item.path();
    }
}

// A run after a crash: gentree was killed between the renames of its group (the new LDIF beside the
// old manifest and client file), and an earlier run was killed while writing dns.csv. The run repairs
// the trees' folder before the client reads it and the output folder before it writes, says so on
// standard error, and writes the lists of the tree as it then stands, leaving nothing else behind.
TEST_F(BatchRun, ARunAfterACrashRepairsTheTreesAndTheOutputFolderFirst) {
    const std::string trees = Folder("trees").toStdString();
    const std::string scratch = Folder("scratch").toStdString();
    gentree::GeneratorRun other;
    other.outputFolder = scratch;
    gentree::TreeOptions tree;
    tree.name = "BATCH";
    tree.index = 3;
    tree.seed = 9;
    tree.size.recordSetsPerZone = 4;
    other.trees = {tree};
    other.visible = {true};
    gentree::WriteRun(other);
    std::vector<std::pair<std::string, std::string>> group;
    std::vector<std::string> before;
    for (const char* name : {"BATCH.ldif", "BATCH.manifest", "client.ini"}) {
        group.emplace_back(trees + "/" + name, test_support::ReadFile(scratch + "/" + name));
        before.push_back(test_support::ReadFile(trees + "/" + name));
    }
    test_support::LeaveKilledGroup(group, 2);
    ASSERT_EQ(test_support::ReadFile(trees + "/BATCH.ldif"), group[0].second);
    ASSERT_NE(test_support::ReadFile(trees + "/BATCH.manifest"), group[1].second);
    test_support::WriteFile(Folder("work/dns.csv").toStdString(), "previous dns.csv");
    test_support::LeaveKilledWrite(Folder("work/dns.csv").toStdString(), "partial dns.csv");

    QString errors;
    ASSERT_EQ(Run({"/alldns", "/alldhcp", "/autoclose"}, errors), 0) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QString::fromStdString(trees))) << errors.toStdString();
    EXPECT_TRUE(errors.contains(Folder("work"))) << errors.toStdString();
    std::vector<std::string> treeFiles = test_support::EntryNames(trees);
    treeFiles.erase(std::remove_if(treeFiles.begin(), treeFiles.end(),
                                   [](const std::string& name) { return name.rfind("store.db", 0) == 0; }),
                    treeFiles.end());
    EXPECT_EQ(treeFiles, (std::vector<std::string>{"BATCH.ldif", "BATCH.manifest", "client.ini"}));
    const bool allNew = test_support::ReadFile(trees + "/BATCH.manifest") == group[1].second;
    for (std::size_t i = 0; i < group.size(); ++i)
        EXPECT_EQ(test_support::ReadFile(group[i].first), allNew ? group[i].second : before[i])
            << group[i].first;
    // The lists, and no leftover of the killed writer (hidden names).
    for (const std::string& name : test_support::EntryNames(Folder("work").toStdString()))
        EXPECT_NE(name.front(), '.') << name;
    EXPECT_NE(test_support::ReadFile(Folder("work/dns.csv").toStdString()), "previous dns.csv");
    std::ifstream manifest(trees + "/BATCH.manifest");
    expected = gentree::ReadManifest(manifest);
    ExpectListFile("DNS", RecordListKind::Dns);
    ExpectListFile("REV-DNS", RecordListKind::RevDns);
    ExpectListFile("DHCP", RecordListKind::Dhcp);
}

TEST_F(BatchRun, ARunThatCannotCompleteSaysWhyOnStandardErrorAndExitsNonZero) {
    // A folder where the DNS list's file should go: the save fails.
    ASSERT_TRUE(QDir(Folder("work")).mkpath("dns.csv"));
    QString errors;
    EXPECT_EQ(Run({"/alldns", "/autoclose"}, errors), 1);
    EXPECT_TRUE(errors.contains(QStringLiteral("dns.csv"))) << errors.toStdString();
    // The lists are saved as one: the REV-DNS list's file is not written either, and the run says so.
    EXPECT_TRUE(errors.contains(QStringLiteral("dns.csv and rev-dns.csv are left as they were.")))
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(Folder("work/rev-dns.csv")));
}

TEST_F(BatchRun, ARunThatCannotCollectLeavesThePreviousFilesAndSaysWhy) {
    const std::string zones = Folder("program/data/BATCH/zones.ini").toStdString();
    // The cases run in this order in one folder: the second starts from what the first left.
    const struct {
        const char* name;
        std::function<void()> prepare;
        rlim_t fileSizeLimit; // 0: none
        std::string why;      // on standard error
        std::vector<std::string> kept;
    } cases[] = {
        // With the directory client's store in memory, the small settings and locator files fit
        // under the limit; the zones' cache does not.
        {"a cache file that cannot be written",
         [&] {
             const std::string config = Folder("trees/client.ini").toStdString();
             std::string text = test_support::ReadFile(config);
             const std::size_t store = text.find("Store=store.db");
             ASSERT_NE(store, std::string::npos);
             text.replace(store, 14, "Store=:memory:");
             test_support::WriteFile(config, text);
         },
         2048,
         "The collection did not finish: Cannot write file " + zones +
             ". File too large. dns.csv and rev-dns.csv are left as they were.",
         {"dns.csv", "rev-dns.csv"}},
        {"two trees offered and none named",
         [&] {
             gentree::GeneratorRun run;
             run.outputFolder = Folder("trees").toStdString();
             gentree::TreeOptions batch{"BATCH", 3, 8, {}}, other{"OTHER", 4, 9, {}};
             batch.size.recordSetsPerZone = other.size.recordSetsPerZone = 2;
             run.trees = {batch, other};
             run.visible = {true, true};
             gentree::WriteRun(run);
         },
         0,
         "No tree chosen: 2 trees are offered (BATCH, OTHER) and a run without a user cannot choose. To name "
         "one, exclude the others in the EXCLUDE section of " +
             Folder("program/Cormelian.ini").toStdString() +
             " (for example OTHER=1), or set noTrees=1 in its SYSTEM section to take the first (BATCH). "
             "dhcp.csv is left as it was.",
         {"dns.csv", "rev-dns.csv", "dhcp.csv"}},
    };
    for (const auto& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        testCase.prepare();
        for (const char* name : {"dns.csv", "rev-dns.csv", "dhcp.csv"})
            test_support::WriteFile(Folder("work/").toStdString() + name, std::string("previous ") + name);
        QString errors;
        EXPECT_EQ(Run({"/alldns", "/alldhcp", "/autoclose"}, errors, testCase.fileSizeLimit), 1);
        EXPECT_TRUE(errors.contains(QString::fromStdString(testCase.why))) << errors.toStdString();
        for (const std::string& name : testCase.kept)
            EXPECT_EQ(test_support::ReadFile(Folder("work/").toStdString() + name), "previous " + name);
    }
}

} // namespace

#endif
