#include "ListRows.h"

#include "browser/lists/CsvExport.h"
#include "browser/lists/HostsExport.h"
#include "browser/lists/HostsWriter.h"
#include "browser/lists/ListFileWriter.h"
#include "browser/lists/RecordListCommands.h"
#include "browser/lists/RecordListModel.h"
#include "browser/lists/RichTextSave.h"
#include "browser/lists/ScriptedServices.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WriteFaults.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace lists_test;
using test_support::ReadFile;

namespace {

std::vector<const RecordRow*> Pointers(const std::vector<RecordRow>& rows) {
    std::vector<const RecordRow*> pointers;
    for (const RecordRow& row : rows)
        pointers.push_back(&row);
    return pointers;
}

// The fields of every record of a CSV file as Python's csv module reads them.
std::optional<std::vector<std::vector<std::string>>> ReadWithPython(const std::string& path) {
    if (QStandardPaths::findExecutable("python3").isEmpty())
        return std::nullopt;
    QProcess python;
    python.start("python3", {"-c",
                             "import csv, json, sys\n"
                             "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                             "    print(json.dumps(list(csv.reader(f, strict=True))))\n",
                             QString::fromStdString(path)});
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return std::vector<std::vector<std::string>>{};
    std::vector<std::vector<std::string>> records;
    for (const QJsonValue& record : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        std::vector<std::string> fields;
        for (const QJsonValue& field : record.toArray())
            fields.push_back(field.toString().toStdString());
        records.push_back(fields);
    }
    return records;
}

// The fields a CSV line of row must hold.
std::vector<std::string> ExpectedFields(const RecordRow& row, int columnCount) {
    std::vector<std::string> fields{row.caption};
    for (int k = 0; k <= columnCount - 2; ++k)
        fields.push_back(static_cast<std::size_t>(k) < row.subItems.size()
                             ? row.subItems[static_cast<std::size_t>(k)]
                             : "missing data");
    return fields;
}

class ListFiles : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

TEST(HostsLine, PadsAddressAndNamesWithAtLeastOneBlank) {
    EXPECT_EQ(browser::HostsLine("10.0.0.1", "a", "c"),
              "10.0.0.1            a                              # c");
    const std::string longAddress(24, '1');
    const std::string longNames(33, 'n');
    EXPECT_EQ(browser::HostsLine(longAddress, longNames, ""), longAddress + " " + longNames + "  # ");
    // At the exact widths and one below them the padding is one blank, never none.
    const struct {
        std::size_t address, names, blanksAfterAddress, blanksAfterNames;
    } widths[] = {{18, 28, 2, 2}, {19, 29, 1, 1}, {20, 30, 1, 1}, {21, 31, 1, 1}};
    for (const auto& width : widths) {
        const std::string address(width.address, '1');
        const std::string names(width.names, 'n');
        EXPECT_EQ(browser::HostsLine(address, names, "c"),
                  address + std::string(width.blanksAfterAddress, ' ') + names + " " +
                      std::string(width.blanksAfterNames, ' ') + "# c")
            << width.address << "/" << width.names;
    }
}

TEST(HostsLines, RunsOfOneAddressMakeOneLine) {
    const auto dns = RecordListKind::Dns;
    const std::vector<RecordRow> rows = {
        Row(dns, "10.0.0.1", {"one", "A", "z", "first", "o"}),
        Row(dns, "10.0.0.1", {"uno", "A", "z", "", "o"}),
        Row(dns, "10.0.0.1", {"eins", "A", "z", "third", "o"}),
        Row(dns, "10.0.0.2", {"two", "CNAME", "z", "alias.z", "o"}),
        Row(dns, "10.0.0.2", {"deux", "A", "z", "", "o"}),
    };
    EXPECT_EQ(
        browser::HostsLines(rows, false),
        (std::vector<std::string>{browser::HostsLine("10.0.0.1", "one uno eins", "first third"),
                                  // The separator is set after the group's first row, whatever its type.
                                  browser::HostsLine("10.0.0.2", " deux", "")}));
    EXPECT_EQ(browser::HostsLines({}, true).size(), 2u);
}

TEST_F(ListFiles, HostsFileOfTheSortedDnsListMatchesTheGoldenFiles) {
    browser::ScriptedServices services;
    browser::THosts options(services);
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    model.appendRows(DnsRows());
    browser::FileDialogOptions sdiag;

    services.queueFile(QString::fromStdString(Path("HOSTS")));
    services.queueDialog([&](QDialog&) { options.Button1->click(); });
    ASSERT_TRUE(browser::MakeHostsFile(services, sdiag, options, model));
    EXPECT_EQ(ReadFile(Path("HOSTS")), ReadFile(GoldenPath("hosts-localhost.txt")));
    EXPECT_EQ(model.row(0).caption, ""); // the list itself is now sorted by address
    EXPECT_EQ(services.modalForms(), QStringList{"THosts"});

    services.queueFile(QString::fromStdString(Path("HOSTS2")));
    services.queueDialog([&](QDialog&) {
        options.CheckBox1->setChecked(false);
        options.Button1->click();
    });
    ASSERT_TRUE(browser::MakeHostsFile(services, sdiag, options, model));
    EXPECT_EQ(ReadFile(Path("HOSTS2")), ReadFile(GoldenPath("hosts-plain.txt")));
}

TEST_F(ListFiles, HostsFileIsNotMadeForAnEmptyListOrWhenCancelled) {
    browser::ScriptedServices services;
    browser::THosts options(services);
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    browser::FileDialogOptions sdiag;
    EXPECT_FALSE(browser::MakeHostsFile(services, sdiag, options, model));
    EXPECT_TRUE(services.calls().empty());
    model.appendRows(DnsRows());
    services.queueFile(std::nullopt);
    EXPECT_FALSE(browser::MakeHostsFile(services, sdiag, options, model));
    EXPECT_TRUE(services.modalForms().isEmpty());
}

TEST_F(ListFiles, CsvFilesOfTheThreeListsMatchTheGoldenFilesAndReadBackInPython) {
    const struct {
        RecordListKind list;
        std::vector<RecordRow> rows;
    } cases[] = {{RecordListKind::Dns, DnsRows()},
                 {RecordListKind::RevDns, ReverseRows()},
                 {RecordListKind::Dhcp, DhcpRows()}};
    for (const auto& [list, rows] : cases) {
        const std::string name = browser::DefaultCsvFileName(list);
        const int columns = browser::CsvColumnCount(list);
        browser::WriteCsvFile(Path(name.c_str()), Pointers(rows), columns);
        EXPECT_EQ(ReadFile(Path(name.c_str())), ReadFile(GoldenPath(name))) << name;

        const auto records = ReadWithPython(Path(name.c_str()));
        if (!records)
            continue;
        ASSERT_EQ(records->size(), rows.size()) << name;
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ((*records)[i], ExpectedFields(rows[i], columns)) << name << " row " << i;
    }
}

TEST(CsvLine, DoublesQuotesAndLeavesOtherTextAlone) {
    const RecordRow row = Row(RecordListKind::RevDns, "1.2.3.4", {"a \"b\"", "", "x,y", "o"});
    EXPECT_EQ(browser::CsvLine(row, 4), R"("1.2.3.4","a ""b""","","x,y")");
    EXPECT_EQ(browser::CsvLine(Row(RecordListKind::Dns, "", {}), 3), R"("","missing data","missing data")");
}

TEST_F(ListFiles, CsvExportAsksForTheFileUnlessTheSaveButtonSaysNot) {
    browser::ScriptedServices services;
    browser::FileDialogOptions sscv;
    const std::vector<RecordRow> rows = ReverseRows();

    services.queueFile(std::nullopt);
    EXPECT_FALSE(browser::ExportCsvRows(services, sscv, RecordListKind::RevDns, Pointers(rows), false));
    ASSERT_EQ(services.calls().size(), 1u);
    EXPECT_EQ(services.calls()[0].title, "rev-dns.csv"); // the proposed name

    services.queueFile(QString::fromStdString(Path("chosen.csv")));
    EXPECT_TRUE(browser::ExportCsvRows(services, sscv, RecordListKind::RevDns, Pointers(rows), false));
    EXPECT_EQ(ReadFile(Path("chosen.csv")), ReadFile(GoldenPath("rev-dns.csv")));

    // Without the dialog the file gets its default name in the working folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    services.clearCalls();
    EXPECT_TRUE(browser::ExportCsvRows(services, sscv, RecordListKind::Dhcp, Pointers(DhcpRows()), true));
    QDir::setCurrent(before);
    EXPECT_TRUE(services.calls().empty());
    EXPECT_EQ(ReadFile(Path("dhcp.csv")), ReadFile(GoldenPath("dhcp.csv")));
}

TEST_F(ListFiles, CsvOfAnEmptySelectionIsAnEmptyFile) {
    browser::ScriptedServices services;
    browser::FileDialogOptions sscv;
    browser::RecordListModel model({"IP-address", "Name", "Rec Type", "Zone", "Info"});
    model.appendRows(DnsRows());
    QTreeView view;
    view.setModel(&model);
    services.queueFile(QString::fromStdString(Path("selection.csv")));
    EXPECT_TRUE(browser::ExportCsvRows(services, sscv, RecordListKind::Dns,
                                       browser::SelectedRows(view, model), false));
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("selection.csv"))));
    EXPECT_EQ(ReadFile(Path("selection.csv")), "");

    view.selectionModel()->select(model.index(6, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view.selectionModel()->select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    services.queueFile(QString::fromStdString(Path("selection.csv")));
    EXPECT_TRUE(browser::ExportCsvRows(services, sscv, RecordListKind::Dns,
                                       browser::SelectedRows(view, model), false));
    EXPECT_EQ(ReadFile(Path("selection.csv")), "\"10.0.0.2\",\"www\",\"A\",\"example.com\",\"Web server\"\r\n"
                                               "\"10.0.0.9\",\"\",\"A\",\"Example.com\",\"nameless\"\r\n");
}

TEST_F(ListFiles, EveryListFileKeepsTheOldFileOnHostileTargetsAndFailedWrites) {
    const std::vector<RecordRow> rows = DnsRows();
    QTextDocument document;
    document.setHtml("<b>DNS look-up</b> of www.example.com: 10.0.0.2");
    const struct {
        const char* name;
        test_support::FileWriter write;
    } writers[] = {
        {"dns.csv", [&](const std::string& path) { browser::WriteCsvFile(path, Pointers(rows), 5); }},
        {"HOSTS",
         [&](const std::string& path) { browser::WriteHostsFile(path, browser::HostsLines(rows, true)); }},
        {"page.rtf",
         [&](const std::string& path) {
             browser::SavePageText(document, path, browser::PageTextFormat::RichText);
         }},
        {"page.txt",
         [&](const std::string& path) {
             browser::SavePageText(document, path, browser::PageTextFormat::PlainText);
         }},
    };
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.name);
        test_support::ExpectSafeCommits(std::filesystem::path(dir.path().toStdString()) / writer.name,
                                        writer.name, writer.write);
    }
}

TEST_F(ListFiles, AFileThatCannotBeWrittenIsReportedAndAnOldFileStays) {
    browser::ScriptedServices services;
    browser::FileDialogOptions sscv;
    const std::vector<RecordRow> rows = ReverseRows();
    services.queueFile(QString::fromStdString(Path("missing-folder/x.csv")));
    EXPECT_FALSE(browser::ExportCsvRows(services, sscv, RecordListKind::RevDns, Pointers(rows), false));
    ASSERT_EQ(services.messages().size(), 1);
    EXPECT_EQ(services.messages()[0].toStdString(),
              "Cannot create file " + Path("missing-folder/x.csv") + ". No such file or directory");

    // A write-protected file is refused with the message the list writer always gave.
    test_support::WriteFile(Path("dns.csv"), "old");
    QFile::setPermissions(QString::fromStdString(Path("dns.csv")), QFileDevice::ReadOwner);
    services.queueFile(QString::fromStdString(Path("dns.csv")));
    EXPECT_FALSE(browser::ExportCsvRows(services, sscv, RecordListKind::Dns, Pointers(rows), false));
    ASSERT_EQ(services.messages().size(), 2);
    EXPECT_EQ(services.messages()[1].toStdString(), "Cannot create file " + Path("dns.csv") +
                                                        ". Existing file " + Path("dns.csv") +
                                                        " is not writable");
    EXPECT_EQ(ReadFile(Path("dns.csv")), "old");
}

} // namespace
