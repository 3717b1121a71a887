// The text formats over the hostile data set, read back with the readers people use: sqlite3 (SQL),
// Python's csv module (CSV, clipboard text), LibreOffice (RTF, DIF, SYLK).

#include "ExportTestSupport.h"
#include "HostileData.h"
#include "RandomDataSets.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterClipboard.h"
#include "export/core/ExporterRTF.h"
#include "export/core/ExporterSQL.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>

namespace exporter::test {
namespace {

bool HasTool(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

// The rows of a CSV file as Python's csv module reads them, each field in hex.
std::vector<std::vector<std::string>> ReadCsvWithPython(const std::string& file,
                                                        const std::string& encoding) {
    int status = 0;
    const std::string out = RunCommand(
        "python3 -c \"import csv,sys\nfor row in csv.reader(open(sys.argv[1], newline='', encoding='" +
            encoding + "')): print(' '.join(f.encode().hex() or '-' for f in row))\" " + file,
        status);
    EXPECT_EQ(status, 0) << out;
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream words(line);
        for (std::string word; words >> word;)
            fields.push_back(word == "-" ? std::string() : word);
        rows.push_back(fields);
    }
    return rows;
}

// Runs sqlite3 on a database with one statement (or a script given as "< file").
std::string Sqlite(const std::string& db, const std::string& what, int& status) {
    return RunCommand("sqlite3 -batch " + db + " " + what, status);
}

class HostileReadBack : public ::testing::Test {
protected:
    void SetUp() override { FillHostileDataSet(ds); }

    // Writes the script with ex into a new database holding the table "victim"; the database's name.
    std::string RunSqlExport(TExporterSQL& ex, const std::string& tableName) {
        ex.TableName = tableName;
        ex.CreateTable = true;
        const std::string name = "script" + std::to_string(++scripts_);
        ex.FileName = dir.file(name + ".sql");
        ex.Execute();
        const std::string db = dir.file(name + ".sqlite");
        int status = 0;
        Sqlite(db, "\"create table victim(x)\"", status);
        const std::string out = Sqlite(db, "< " + ex.FileName, status);
        EXPECT_EQ(status, 0) << out;
        return db;
    }

    // The data as a CSV file of that name (comma-separated, texts quoted); the file's path.
    std::string CsvFile(TExportDataSet& data, const std::string& name,
                        const std::string& currencyFormat = {}) {
        TExporterASCII csv;
        csv.SetExportType(TExportASCIIType::etCSV);
        csv.CSVComma = ',';
        csv.DataSet = &data;
        csv.Formats.SetCurrencyFormat(currencyFormat);
        csv.FileName = dir.file(name);
        csv.Execute();
        return csv.FileName;
    }

    // The data as comma-separated text on the clipboard, saved in a file of that name; the file's path.
    std::string ClipboardCsv(TExportDataSet& data, const std::string& name) {
        FakeClipboard clipboard;
        TExporterClipboard clip;
        clip.Separator = ',';
        clip.Clipboard = &clipboard;
        clip.DataSet = &data;
        clip.Execute();
        WriteFile(dir.file(name), clipboard.text);
        return dir.file(name);
    }

    TMemoryDataSet ds;
    TempDir dir;

private:
    int scripts_ = 0;
};

TEST_F(HostileReadBack, SqlScriptRunsInSqliteAndGivesBackTheData) {
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";
    TExporterSQL ex;
    ex.DataSet = &ds;
    const std::string db = RunSqlExport(ex, "order items");
    int status = 0;
    const std::string out = Sqlite(
        db,
        "\"select hex(\\\"Last name\\\"), quote(\\\"TTL (s)\\\"), quote(\\\"1st\\\"), quote(\\\"select\\\"), "
        "quote(Amount), quote(Other) from \\\"order items\\\"\"",
        status);
    ASSERT_EQ(status, 0) << out;
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const std::vector<std::string> texts = HostileTexts();
    ASSERT_EQ(lines.size(), texts.size()) << out;
    const std::vector<std::string> rest = {
        "1|9007199254740993|2.675|129809.495|'C:\\temp\\'",
        "-5|-9223372036854775808|1.0e+300|999999.995|'\\par}{\\b1 evil'",
        "NULL|NULL|NULL|NULL|NULL",
        "0|1000000000000000000|NULL|-0.5|'0); DROP TABLE victim; --'", // NaN has no SQL literal
        "7|42|-1.5|0.0|'x;y'",
        "8|0|0.0|1.0|'long'",
        "9|9|9.0|9.0|'end'",
    };
    for (size_t i = 0; i < texts.size(); ++i) {
        std::string text = texts[i];
        // The sqlite3 shell reads a script line by line and drops the CR of a CR LF, also inside a
        // literal; the script itself carries it.
        if (size_t crlf = text.find("\r\n"); crlf != std::string::npos)
            text.erase(crlf, 1);
        EXPECT_EQ(lines[i], rtl::UpperCase(Hex(text)) + "|" + rest[i]) << i;
    }
    EXPECT_EQ(Sqlite(db, "\"select count(*) from victim\"", status), "0\n");
}

// A list view's column types are guessed from its first row; a later row's text still cannot become SQL.
TEST_F(HostileReadBack, GuessedNumberColumnsTakeLaterTextAsStrings) {
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";
    TMemoryListView view;
    view.AddColumn({"key"});
    view.AddColumn({"n"});
    view.AddColumn({"f"});
    view.AddItem({"a", "1", "1.5"});
    view.AddItem({"b", "0); DROP TABLE victim; --", "2); DROP TABLE victim; --"});
    view.AddItem({"c", "NAN", "-INF"});
    TExporterSQL ex;
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &view;
    ex.AutoCalcStrType = true;
    const std::string db = RunSqlExport(ex, "t");
    int status = 0;
    EXPECT_EQ(Sqlite(db, "\"select key, quote(n), quote(f) from t\"", status),
              "a|1|1.5\nb|'0); DROP TABLE victim; --'|'2); DROP TABLE victim; --'\nc|NULL|NULL\n");
    EXPECT_EQ(Sqlite(db, "\"select count(*) from victim\"", status), "0\n");
}

// The sqlite3 shell reads a script line by line and ends a line at a NUL byte: a NUL inside a literal must
// not let the rest of the value, or the next row, run as SQL.
TEST_F(HostileReadBack, SqlControlCharactersEndNoStatement) {
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";
    std::string controls;
    for (char c = 1; c < 32; ++c)
        if (c != '\r' && c != '\n')
            controls += c;
    TMemoryDataSet rows;
    rows.AddField({"k", TFieldType::ftInteger});
    rows.AddField({"s", TFieldType::ftString, 50});
    rows.AddRow({"1", std::string("a\0'); DROP TABLE victim; --", 27)});
    rows.AddRow({"2", std::string("\0\0x\0", 5)});
    rows.AddRow({"3", "b" + controls + "\x7F" + "c"});
    rows.AddRow({"4", "'); DROP TABLE victim; --"});
    TExporterSQL ex;
    ex.DataSet = &rows;
    const std::string db = RunSqlExport(ex, "t");
    int status = 0;
    EXPECT_EQ(Sqlite(db, "\"select k, hex(s) from t\"", status),
              "1|" + rtl::UpperCase(Hex("a'); DROP TABLE victim; --")) + "\n2|78\n3|" +
                  rtl::UpperCase(Hex("b" + controls + "\x7F" + "c")) + "\n4|" +
                  rtl::UpperCase(Hex("'); DROP TABLE victim; --")) + "\n");
    EXPECT_EQ(Sqlite(db, "\"select count(*) from victim\"", status), "0\n");
}

// Column names that differ only in case are one column to SQL engines; only names that would break the
// script are quoted, and a quote inside a name is doubled.
TEST_F(HostileReadBack, SqlColumnNamesAreUniqueAndQuotedOnlyWhereNeeded) {
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";
    TMemoryDataSet rows;
    for (const char* name : {"Name", "NAME", "Date", "First", "a\"b", "\"x", "Name_2", "select",
                             "Gr\xC3\xB6\xC3\x9F"
                             "e"})
        rows.AddField({name, TFieldType::ftString, 10});
    rows.AddRow({"1", "2", "3", "4", "5", "6", "7", "8", "9"});
    TExporterSQL ex;
    ex.DataSet = &rows;
    const std::string db = RunSqlExport(ex, "orders");
    EXPECT_NE(ReadFile(ex.FileName)
                  .find("(Name,NAME_2,Date,First,\"a\"\"b\",\"\"\"x\",Name_2_2,\"select\",Gr\xC3\xB6\xC3\x9F"
                        "e)"),
              std::string::npos)
        << ReadFile(ex.FileName);
    int status = 0;
    EXPECT_EQ(Sqlite(db, "\"select group_concat(name, '|') from pragma_table_info('orders')\"", status),
              "Name|NAME_2|Date|First|a\"b|\"x|Name_2_2|select|Gr\xC3\xB6\xC3\x9F"
              "e\n");
    EXPECT_EQ(Sqlite(db, "\"select * from orders\"", status), "1|2|3|4|5|6|7|8|9\n");
}

// A table name keeps each part the user quoted well; any other part, and a quote never closed with all
// that follows it, is one name. sqlite3 runs each script and files the table under that schema and name.
TEST_F(HostileReadBack, SqlTableNamesKeepThePartsTheUserQuotedWell) {
    const struct {
        std::string typed, written, schema, stored; // schema: the database attached under that name
    } cases[] = {
        {"\"my table\".\"x\"\"y\"", "\"my table\".\"x\"\"y\"", "my table", "x\"y"},
        {"\"a\"b\"", "\"\"\"a\"\"b\"\"\"", "", "\"a\"b\""},
        {"s.date", "s.date", "s", "date"},
        {"\"a", "\"\"\"a\"", "", "\"a"},
        {"\"a.b", "\"\"\"a.b\"", "", "\"a.b"},
        {"\"a\".\"b", "\"a\".\"\"\"b\"", "a", "\"b"},
        {"\"x.y\".b", "\"x.y\".b", "x.y", "b"},
        {"public.\"Order Items\"", "public.\"Order Items\"", "public", "Order Items"},
        {"\"\"\"", "\"\"\"\"\"\"\"\"", "", "\"\"\""},
        {"\"", "\"\"\"\"", "", "\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SQLTableName(c.typed), c.written) << c.typed;
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: running the scripts needs it";
    TMemoryDataSet rows;
    rows.AddField({"k", TFieldType::ftInteger});
    rows.AddRow({"7"});
    int n = 0;
    for (const auto& c : cases) {
        TExporterSQL ex;
        ex.DataSet = &rows;
        ex.TableName = c.typed;
        ex.CreateTable = true;
        ex.FileName = dir.file("table" + std::to_string(++n) + ".sql");
        ex.Execute();
        const std::string schema = SQLIdentifier(c.schema.empty() ? "main" : c.schema);
        std::string run;
        if (!c.schema.empty())
            run += "ATTACH '" + dir.file("schema" + std::to_string(n) + ".sqlite") + "' AS " + schema + ";\n";
        run += ".read " + ex.FileName + "\nSELECT name FROM " + schema +
               ".sqlite_master WHERE type = 'table';\nSELECT k FROM " + c.written + ";\n";
        WriteFile(dir.file("run" + std::to_string(n) + ".txt"), run);
        int status = 0;
        const std::string out = Sqlite(dir.file("main" + std::to_string(n) + ".sqlite"),
                                       "< " + dir.file("run" + std::to_string(n) + ".txt"), status);
        EXPECT_EQ(status, 0) << c.typed << ": " << out;
        EXPECT_EQ(out, c.stored + "\n7\n") << c.typed;
    }
}

// The words PostgreSQL reserves: those it refuses as any name and those it takes only as a function or type
// name (not as a table or column name).
const char* const kPostgresReserved[] = {
    "ALL", "ANALYSE", "ANALYZE", "AND", "ANY", "ARRAY", "AS", "ASC", "ASYMMETRIC", "BOTH", "CASE", "CAST",
    "CHECK", "COLLATE", "COLUMN", "CONSTRAINT", "CREATE", "CURRENT_CATALOG", "CURRENT_DATE", "CURRENT_ROLE",
    "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER", "DEFAULT", "DEFERRABLE", "DESC", "DISTINCT", "DO",
    "ELSE", "END", "EXCEPT", "FALSE", "FETCH", "FOR", "FOREIGN", "FROM", "GRANT", "GROUP", "HAVING", "IN",
    "INITIALLY", "INTERSECT", "INTO", "LATERAL", "LEADING", "LIMIT", "LOCALTIME", "LOCALTIMESTAMP", "NOT",
    "NULL", "OFFSET", "ON", "ONLY", "OR", "ORDER", "PLACING", "PRIMARY", "REFERENCES", "RETURNING", "SELECT",
    "SESSION_USER", "SOME", "SYMMETRIC", "SYSTEM_USER", "TABLE", "THEN", "TO", "TRAILING", "TRUE", "UNION",
    "UNIQUE", "USER", "USING", "VARIADIC", "WHEN", "WHERE", "WINDOW", "WITH",
    // reserved but for function and type names
    "AUTHORIZATION", "BINARY", "COLLATION", "CONCURRENTLY", "CROSS", "CURRENT_SCHEMA", "FREEZE", "FULL",
    "ILIKE", "INNER", "IS", "ISNULL", "JOIN", "LEFT", "LIKE", "NATURAL", "NOTNULL", "OUTER", "OVERLAPS",
    "RIGHT", "SIMILAR", "TABLESAMPLE", "VERBOSE"};

// Every word PostgreSQL reserves is quoted as a name, in any case; every keyword of the SQLite library in
// use, quoted or left bare, is a name sqlite3 takes: it runs a script that makes a table of each such
// name (lower case, as "if") whose columns are all of them, and reads the names and values back.
TEST_F(HostileReadBack, EveryKeywordIsATableAndColumnNameSqliteTakes) {
    std::vector<std::string> keywords;
    for (int i = 0; i < sqlite3_keyword_count(); ++i) {
        const char* name = nullptr;
        int size = 0;
        ASSERT_EQ(sqlite3_keyword_name(i, &name, &size), SQLITE_OK);
        keywords.emplace_back(name, size_t(size));
    }
    EXPECT_GE(keywords.size(), 147u);
    for (const char* word : kPostgresReserved)
        if (std::find(keywords.begin(), keywords.end(), word) == keywords.end())
            keywords.emplace_back(word);
    for (const char* word : kPostgresReserved) {
        EXPECT_EQ(SQLIdentifier(word), "\"" + std::string(word) + "\"");
        EXPECT_EQ(SQLIdentifier(rtl::LowerCase(word)), "\"" + rtl::LowerCase(word) + "\"");
        EXPECT_EQ(SQLTableName(std::string("s.") + word), "s.\"" + std::string(word) + "\"");
    }
    EXPECT_EQ(SQLIdentifier("if"), "\"if\"");
    EXPECT_EQ(SQLIdentifier("ifs"), "ifs");
    EXPECT_EQ(SQLIdentifier("Key"), "Key");   // both engines take it bare
    EXPECT_EQ(SQLIdentifier("Date"), "Date"); // a type name, no keyword
    if (!HasTool("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";

    TMemoryDataSet rows;
    TMemoryDataSet::TRow values;
    for (const std::string& word : keywords) {
        rows.AddField({word, TFieldType::ftString, 10});
        values.emplace_back(rtl::LowerCase(word));
    }
    rows.AddRow(values);
    std::string script;
    for (const std::string& word : keywords) {
        TExporterSQL ex;
        ex.DataSet = &rows;
        ex.TableName = rtl::LowerCase(word);
        ex.CreateTable = true;
        std::ostringstream out;
        ex.ExportToStream(out);
        script += out.str();
    }
    WriteFile(dir.file("keywords.sql"), script);
    const std::string db = dir.file("keywords.sqlite");
    int status = 0;
    const std::string run = Sqlite(db, "< " + dir.file("keywords.sql"), status);
    ASSERT_EQ(status, 0) << run;
    EXPECT_EQ(Sqlite(db, "\"select count(*) from sqlite_master where type = 'table'\"", status),
              std::to_string(keywords.size()) + "\n");
    std::string names, tables;
    for (const std::string& word : keywords) {
        names += word + "|";
        tables += "select * from \\\"" + rtl::LowerCase(word) + "\\\" where \\\"" + word + "\\\" = '" +
                  rtl::LowerCase(word) + "';";
    }
    names.back() = '\n';
    EXPECT_EQ(Sqlite(db, "\"select group_concat(name, '|') from pragma_table_info('if')\"", status), names);
    const std::string found = Sqlite(db, "\"" + tables + "\"", status);
    EXPECT_EQ(status, 0) << found;
    EXPECT_EQ(std::count(found.begin(), found.end(), '\n'), std::ptrdiff_t(keywords.size())) << found;
}

TEST_F(HostileReadBack, CsvAndClipboardTextReadWhole) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed: the CSV read-back needs its csv module";
    const std::vector<std::string> texts = HostileTexts();
    for (const std::string& file : {CsvFile(ds, "out.csv"), ClipboardCsv(ds, "clip.csv")}) {
        const auto rows = ReadCsvWithPython(file, "utf-8");
        ASSERT_EQ(rows.size(), texts.size() + 1) << file;
        for (size_t i = 0; i < texts.size(); ++i) {
            ASSERT_GE(rows[i + 1].size(), 8u) << file << " row " << i;
            EXPECT_EQ(rows[i + 1][0], Hex(texts[i])) << file << " row " << i;
        }
        // 64-bit integers keep their digits; floats round from the decimal text stored.
        EXPECT_EQ(rows[1][2], Hex("9,007,199,254,740,993")) << file;
        EXPECT_EQ(rows[1][3], Hex("2.68")) << file;
        EXPECT_EQ(rows[2][2], Hex("-9,223,372,036,854,775,808")) << file;
        EXPECT_EQ(rows[2][4], Hex("$1,000,000.00")) << file;
    }
}

// A currency value is a 64-bit count of ten-thousandths: formatted from its digits, it keeps its cents.
TEST_F(HostileReadBack, CurrencyKeepsItsCentsInCsv) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed: the CSV read-back needs its csv module";
    TMemoryDataSet money;
    money.AddField({"Amount", TFieldType::ftCurrency});
    for (const char* value : {"922337203685477.5807", "-922337203685477.5808", "0.005"})
        money.AddRow({value});
    const auto rows = ReadCsvWithPython(CsvFile(money, "money.csv", "#,##0.00"), "utf-8");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], std::vector<std::string>{Hex("922,337,203,685,477.58")});
    EXPECT_EQ(rows[2], std::vector<std::string>{Hex("-922,337,203,685,477.58")});
    EXPECT_EQ(rows[3], std::vector<std::string>{Hex("0.01")});
}

// Malformed UTF-8, NUL bytes and line breaks: strict UTF-8 readers take every UTF-8 text (a malformed
// byte is U+FFFD), fixed-width rows stay one line each, and SYLK cells keep what follows a NUL.
TEST_F(HostileReadBack, BrokenBytesReadStrictlyEverywhere) {
    if (!HasTool("python3") || !HasTool("sqlite3"))
        GTEST_SKIP() << "python3 and sqlite3 are needed for the strict UTF-8 and SQL read-back";
    const std::string fffd = "\xEF\xBF\xBD";
    TMemoryDataSet bytes;
    bytes.AddField({"Text", TFieldType::ftString, 30});
    bytes.AddField({"N", TFieldType::ftInteger});
    bytes.AddField({"\xFFname", TFieldType::ftInteger}); // a field name of any bytes
    const std::vector<std::string> texts = {"ok\xFF"
                                            "bad\xC3",
                                            std::string("nul\0inside", 10), "two\r\nlines", "lone\rcr\nlf",
                                            "\xE2\x82\xAC\x80"};
    const std::vector<std::string> repaired = {"ok" + fffd + "bad" + fffd, std::string("nul\0inside", 10),
                                               "two\r\nlines", "lone\rcr\nlf", "\xE2\x82\xAC" + fffd};
    for (size_t i = 0; i < texts.size(); ++i)
        bytes.AddRow({texts[i], std::to_string(i), "1"});

    for (const std::string& file : {CsvFile(bytes, "bytes.csv"), ClipboardCsv(bytes, "clip.csv")}) {
        const auto rows = ReadCsvWithPython(file, "utf-8"); // strict: a malformed byte fails the read
        ASSERT_EQ(rows.size(), texts.size() + 1) << file;
        EXPECT_EQ(rows[0][2], Hex(fffd + "name")) << file;
        for (size_t i = 0; i < texts.size(); ++i)
            EXPECT_EQ(rows[i + 1][0], Hex(repaired[i])) << file << " " << i;
    }

    // Fixed-width text, from a file and on the clipboard: a line break in a value is a blank, so every
    // row is one line, and all lines are equally wide.
    TExporterASCII txt;
    txt.DataSet = &bytes;
    txt.FileName = dir.file("bytes.txt");
    txt.Execute();
    FakeClipboard clipboard;
    TExporterClipboard clip;
    clip.SetExportType(TClipboardExportType::etFixed);
    clip.Clipboard = &clipboard;
    clip.DataSet = &bytes;
    clip.Execute();
    WriteFile(dir.file("clip.txt"), clipboard.text);
    for (const std::string& file : {txt.FileName, dir.file("clip.txt")}) {
        int status = 0;
        const std::string widths = RunCommand("python3 -c \"import sys\nfor l in open(sys.argv[1], "
                                              "encoding='utf-8', newline='').read().split('\\r\\n')[:-1]: "
                                              "print(len(l))\" " +
                                                  file,
                                              status);
        ASSERT_EQ(status, 0) << widths;
        std::vector<std::string> lines;
        std::istringstream in(widths);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        ASSERT_EQ(lines.size(), texts.size() + 1) << file << "\n" << ReadFile(file);
        for (const std::string& width : lines)
            EXPECT_EQ(width, lines[0]) << file;
    }
    EXPECT_NE(ReadFile(txt.FileName).find("two lines"), std::string::npos);
    EXPECT_NE(ReadFile(txt.FileName).find("lone cr lf"), std::string::npos);

    // SQL: strictly UTF-8, NUL dropped.
    TExporterSQL sql;
    sql.DataSet = &bytes;
    const std::string db = RunSqlExport(sql, "t");
    int status = 0;
    RunCommand("python3 -c \"import sys; open(sys.argv[1], encoding='utf-8').read()\" " + sql.FileName,
               status);
    EXPECT_EQ(status, 0) << "the SQL script is not UTF-8";
    const std::string back = Sqlite(db, "\"select hex(Text) from t order by N\"", status);
    std::string expected;
    for (std::string text : repaired) {
        text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
        if (size_t crlf = text.find("\r\n"); crlf != std::string::npos)
            text.erase(crlf, 1); // the shell drops the CR of a CR LF
        expected += rtl::UpperCase(Hex(text)) + "\n";
    }
    EXPECT_EQ(back, expected);
}

// LibreOffice converts the DIF and SYLK files to CSV and the RTF file to text in two runs.
TEST_F(HostileReadBack, LibreOfficeReadsRtfDifAndSylkWhole) {
    if (!HasTool("soffice"))
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF, DIF and SYLK read-back needs it";
    auto run = [&](TExporterText& ex, const std::string& name) {
        ex.DataSet = &ds;
        ex.FileName = dir.file(name);
        ex.Execute();
    };
    TExporterASCII dif;
    dif.SetExportType(TExportASCIIType::etDIF);
    run(dif, "dif.dif");
    TExporterASCII sylk;
    sylk.SetExportType(TExportASCIIType::etSYLK);
    run(sylk, "sylk.slk");
    TExporterRTF rtf;
    run(rtf, "out.rtf");
    // A NUL is a character SYLK cannot hold: readers would end the cell there.
    TMemoryDataSet nul;
    nul.AddField({"Text", TFieldType::ftString, 20});
    nul.AddRow({std::string("nul\0inside", 10)});
    TExporterASCII nulSylk;
    nulSylk.SetExportType(TExportASCIIType::etSYLK);
    nulSylk.DataSet = &nul;
    nulSylk.FileName = dir.file("nul.slk");
    nulSylk.Execute();

    const std::string profile = "-env:UserInstallation=file://" + dir.file("lo-profile");
    const std::string outDir = dir.file("lo");
    int status = 0;
    std::string out =
        RunCommand("soffice " + profile +
                       " --headless --convert-to \"csv:Text - txt - csv (StarCalc):44,34,76,1\" "
                       "--outdir " +
                       outDir + " " + dif.FileName + " " + sylk.FileName + " " + nulSylk.FileName,
                   status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(ReadCsvWithPython(outDir + "/nul.csv", "utf-8"),
              (std::vector<std::vector<std::string>>{{Hex("Text")}, {Hex("nul?inside")}}));
    out = RunCommand("soffice " + profile + " --headless --convert-to \"txt:Text (encoded):UTF8\" --outdir " +
                         outDir + " " + rtf.FileName,
                     status);
    ASSERT_EQ(status, 0) << out;

    const std::vector<std::string> texts = HostileTexts();
    // DIF keeps the characters of Windows-1252, SYLK is ASCII; the others read as '?'.
    const std::vector<std::string> others = {
        "C:\\temp\\", "\\par}{\\b1 evil", "", "0); DROP TABLE victim; --", "x;y", "long", "end"};
    for (const std::string& name : {std::string("dif.csv"), std::string("sylk.csv")}) {
        const auto rows = ReadCsvWithPython(outDir + "/" + name, "utf-8");
        ASSERT_EQ(rows.size(), texts.size() + 1) << name;
        for (size_t i = 0; i < texts.size(); ++i) {
            ASSERT_EQ(rows[i + 1].size(), 8u) << name << " row " << i;
            std::string text = texts[i];
            if (i == 2)
                text = "line1\nline2\nline3\nline4"; // line breaks come back as LF
            if (i == 4)
                text = name == "dif.csv" ? "caf\xC3\xA9 ??? ?? ?" : "caf? ??? ?? ?";
            if (i == 5) {
                // LibreOffice breaks a very long text into lines of 16,368 characters, and its readers
                // take record lines of at most 64 KiB: the cell holds the first 65,000 characters.
                std::string back = rows[i + 1][0];
                for (size_t lf = back.find("0a"); lf != std::string::npos; lf = back.find("0a", lf))
                    back.erase(lf, 2);
                EXPECT_EQ(back.substr(0, 130000), Hex(std::string(65000, 'x'))) << name;
                continue;
            }
            EXPECT_EQ(rows[i + 1][0], Hex(text)) << name << " row " << i;
            EXPECT_EQ(rows[i + 1][7], Hex(others[i])) << name << " row " << i;
        }
        EXPECT_EQ(rows[1][3], Hex("2.68")) << name;
    }
    // Every piece of text, line breaks included, in the document LibreOffice read.
    const std::string rtfText = ReadFile(outDir + "/out.txt");
    for (const std::string& piece :
         {std::string("He said \"hi\", 'ok'; x\\y"), std::string("'); DROP TABLE victim; --"),
          std::string("line1"), std::string("line2"), std::string("line3"), std::string("line4"),
          std::string("< > & ]]> \\ { } $ % # _ ^ ~ \\par}{\\b1 evil"), texts[4], std::string("C:\\temp\\"),
          std::string("0); DROP TABLE victim; --"), std::string(100000, 'x') + "end",
          std::string("END OF DATA"), std::string("9,007,199,254,740,993")})
        EXPECT_NE(rtfText.find(piece), std::string::npos) << piece.substr(0, 60);
}

} // namespace
} // namespace exporter::test
