#include "ExportTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterClipboard.h"
#include "export/core/ExporterNumberText.h"
#include "export/core/ExporterSQL.h"
#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <sstream>

namespace exporter::test {
namespace {

// Name (6 wide), Count (5 wide, integer), Price (8 wide, float); the second row has a quote and a NULL.
void FillSmall(TMemoryDataSet& ds) {
    ds.AddField({"Name", TFieldType::ftString, 6});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.MutableField(1).DisplayWidth = 5;
    ds.MutableField(2).DisplayWidth = 8;
    ds.AddRow({"alpha", "12", "1234.5"});
    ds.AddRow({"b\"c", "7", std::nullopt});
}

std::string Export(TExporter& ex) {
    std::ostringstream out;
    ex.ExportToStream(out);
    return out.str();
}

class AsciiFormats : public ::testing::Test {
protected:
    void SetUp() override {
        FillSmall(ds);
        ex.DataSet = &ds;
        ex.Title = "Report";
        ex.Header.Add("H1");
        ex.Footer.Add("F1");
    }
    TMemoryDataSet ds;
    TExporterASCII ex;
};

TEST_F(AsciiFormats, FixedWidthText) {
    EXPECT_EQ(Export(ex), "Report\r\n" + std::string(80, '-') +
                              "\r\n\r\n"
                              "H1\r\n"
                              "Name   Count    Price \r\n"
                              "alpha     12 1,234.50 \r\n"
                              "b\"c        7          \r\n"
                              "F1\r\n");
    // A caption longer than its width is written whole and shifts the following columns.
    ex.AutoCalcColWidth = false;
    ex.Captions.Add("Count=Number of items");
    ex.TXTSpacing = 0;
    ex.Title.clear();
    ex.Header.Clear();
    ex.Footer.Clear();
    ex.ColumnsAlign.Add("Name=Right");
    EXPECT_EQ(Export(ex), "  NameNumber of items   Price\r\n"
                          " alpha   121,234.50\r\n"
                          "   b\"c    7        \r\n");
    // Centred: (width - length) div 2 blanks in front, the rest behind; widths count characters.
    ex.Captions.Clear();
    ex.ColumnsAlign.Clear();
    ex.ColumnsAlign.Add("Name=Center");
    ex.TXTSpacing = 2;
    ds.AddRow({"\xC3\xA9t\xC3\xA9", "1", "2"});
    EXPECT_EQ(Export(ex), " Name   Count     Price  \r\n"
                          "alpha      12  1,234.50  \r\n"
                          " b\"c        7            \r\n"
                          " \xC3\xA9t\xC3\xA9        1      2.00  \r\n");
}

// Widths count the text as written: each byte of a malformed sequence is one U+FFFD there. Python reads
// the file strictly as UTF-8 and finds every line of the table equally long.
TEST_F(AsciiFormats, FixedWidthLinesStayEquallyLongAfterMalformedBytes) {
    int status = 0;
    RunCommand("python3 -c ''", status);
    if (status != 0)
        GTEST_SKIP() << "python3 is not installed: it reads the text back";
    TMemoryDataSet texts;
    texts.AddField({"Text", TFieldType::ftString, 1});
    texts.AddField({"N", TFieldType::ftInteger});
    for (const char* text : {"abc", "\xED\xA0\x80", "x\xE2\x82", "\xC3", "\xF0\x9F\x98\x80 \xC3\xA9",
                             "\xC0\xAF\xF5\x80\x80\x80", "\xEF\xBF\xBE\x80"})
        texts.AddRow({text, "1"});
    ex.DataSet = &texts;
    ex.Title.clear();
    ex.Header.Clear();
    ex.Footer.Clear();
    TempDir dir;
    ex.FileName = dir.file("fixed.txt");
    ex.Execute();
    const std::string out = RunCommand(
        "python3 -c \"import sys\nfor line in open(sys.argv[1], encoding='utf-8', errors='strict', "
        "newline='\\r\\n'): print(len(line))\" " +
            ex.FileName,
        status);
    ASSERT_EQ(status, 0) << out;
    // The widest value ("\xC0\xAF\xF5\x80\x80\x80") is six U+FFFD: 6 + 1 blank + the number column + CR LF.
    std::string lengths;
    for (int line = 0; line < 8; ++line)
        lengths += "20\n";
    EXPECT_EQ(out, lengths) << ReadFile(ex.FileName);
}

// A fixed-width export keeps the texts its width pass made for the rows it writes. The rows come out as
// they do with a handler bound, which makes every row be read and formatted again: with values that are
// NULL, carry blanks or malformed bytes, break lines, skipped rows, and more text than the pass keeps.
TEST_F(AsciiFormats, FixedWidthRowsAreTheSameWhetherTheirTextsWereKeptOrNot) {
    struct Case {
        const char* name;
        std::vector<TMemoryDataSet::TRow> rows;
        int skip = 0, limit = 0;
    };
    const std::string megabyte(1 << 20, 'm');
    std::vector<TMemoryDataSet::TRow> large; // 40 MB of text: the rows past the pass's budget
    for (int i = 0; i < 40; ++i)
        large.push_back({megabyte + std::to_string(i), std::to_string(i), std::nullopt});
    const std::vector<Case> cases = {
        {"tricky values",
         {{"plain", "1", "2.5"},
          {std::nullopt, std::nullopt, std::nullopt},
          {"  blanks  ", " 3 ", " 4.25"},
          {"x\xC3(\xE2\x82", "5", "x"},
          {"two\r\nlines\rand\nmore", "6", "1e3"},
          {"\xC3\xA9t\xC3\xA9 \xE2\x82\xAC", "-7", "-0.5"},
          {"", "", ""}}},
        {"skipped and limited rows",
         {{"a", "1", "1"}, {"b", "2", "2"}, {"c", "3", "3"}, {"d", "4", "4"}},
         1,
         2},
        {"more text than is kept", large},
    };
    for (const Case& c : cases) {
        TMemoryDataSet data;
        data.AddField({"Name", TFieldType::ftString, 10});
        data.AddField({"Count", TFieldType::ftInteger});
        data.AddField({"Price", TFieldType::ftFloat});
        for (const TMemoryDataSet::TRow& row : c.rows)
            data.AddRow(row);
        ex.DataSet = &data;
        ex.SkipRecCount = c.skip;
        ex.ExportRecCount = c.limit;
        ex.ColumnsAlign.Clear();
        ex.ColumnsAlign.Add("Count=Center");
        ex.OnExportedRecord = nullptr;
        const std::string kept = Export(ex);
        ex.OnExportedRecord = [](TExporter&, int) {};
        const std::string general = Export(ex);
        EXPECT_EQ(kept.size(), general.size()) << c.name;
        EXPECT_TRUE(kept == general) << c.name;
    }
}

// A class derived from the exporter has the last say on every cell, also on the rows of a fixed-width file.
TEST_F(AsciiFormats, FixedWidthRowsOfADerivedExporterPassItsGetColData) {
    class Marking : public TExporterASCII {
    protected:
        void GetColData(const TExportCol&, std::string& text) override { text += "!"; }
    };
    Marking marking;
    marking.DataSet = &ds;
    marking.AllowCaptions = false;
    EXPECT_EQ(Export(marking), "alpha!   12! 1,234.50! \r\n"
                               "b\"c!      7!        ! \r\n");
}

TEST_F(AsciiFormats, CsvQuotesEveryTextAndReadsBack) {
    ex.SetExportType(TExportASCIIType::etCSV);
    const std::string csv = Export(ex);
    EXPECT_EQ(csv, "H1\r\n"
                   "\"Name\",\"Count\",\"Price\"\r\n"
                   "\"alpha\",\"12\",\"1,234.50\"\r\n"
                   "\"b\"\"c\",\"7\",\"\"\r\n"
                   "F1,\r\n");
    EXPECT_FALSE(ex.AutoCalcColWidth);

    TempDir dir;
    WriteFile(dir.file("out.csv"), csv);
    int status = 0;
    const std::string rows = RunCommand("python3 -c \"import csv,sys; "
                                        "print(list(csv.reader(open(sys.argv[1], newline=''))))\" " +
                                            dir.file("out.csv"),
                                        status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(rows, "[['H1'], ['Name', 'Count', 'Price'], ['alpha', '12', '1,234.50'], ['b\"c', '7', ''], "
                    "['F1', '']]\n");

    ex.CSVQuoteStrings = false;
    ex.CSVComma = ';';
    ex.Header.Clear();
    ex.Footer.Clear();
    ex.AllowCaptions = false;
    EXPECT_EQ(Export(ex), "alpha;12;1,234.50\r\nb\"c;7;\r\n");
}

TEST_F(AsciiFormats, AbortedCsvCarriesItsEndOnce) {
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.OnExportedRecord = [](TExporter& sender, int) { sender.Abort(); };
    EXPECT_EQ(Export(ex), "H1\r\n"
                          "\"Name\",\"Count\",\"Price\"\r\n"
                          "\"alpha\",\"12\",\"1,234.50\"\r\n"
                          "\r\n"
                          "F1,\r\n");
}

// Reads a DIF text as the format defines it: header items (topic, "vector,value", string) up to DATA,
// then data values ("type,number" and a string line) with BOT / EOD as special values.
struct DifDocument {
    std::vector<std::pair<std::string, std::string>> header; // topic -> "number|string"
    std::vector<std::vector<std::string>> tuples;
    bool ended = false;
};

DifDocument ParseDif(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        EXPECT_FALSE(line.empty() || line.back() != '\r') << "line without CR LF";
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    DifDocument doc;
    size_t i = 0;
    while (i + 2 < lines.size()) {
        const std::string topic = lines[i];
        const std::string numbers = lines[i + 1];
        const std::string str = lines[i + 2];
        doc.header.emplace_back(topic, numbers.substr(numbers.find(',') + 1) + "|" + str);
        i += 3;
        if (topic == "DATA")
            break;
    }
    while (i + 1 < lines.size()) {
        const std::string kind = lines[i].substr(0, lines[i].find(','));
        const std::string number = lines[i].substr(lines[i].find(',') + 1);
        const std::string str = lines[i + 1];
        i += 2;
        if (kind == "-1" && str == "BOT") {
            doc.tuples.emplace_back();
        } else if (kind == "-1" && str == "EOD") {
            doc.ended = true;
            break;
        } else if (kind == "1") {
            doc.tuples.back().push_back("S:" + str.substr(1, str.size() - 2));
        } else if (kind == "0") {
            EXPECT_EQ(str, "V");
            doc.tuples.back().push_back("N:" + number);
        }
    }
    EXPECT_EQ(i, lines.size());
    return doc;
}

TEST_F(AsciiFormats, DifHeaderTuplesAndNumbers) {
    ex.SetExportType(TExportASCIIType::etDIF);
    std::vector<int> fetched;
    ex.OnFetchedRecord = [&](TExporter&, int n) { fetched.push_back(n); };
    const std::string dif = Export(ex);
    const std::string head =
        "TABLE\r\n0,1\r\n\"Report\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n0,2\r\n\"\"\r\n"
        "DATA\r\n0,0\r\n\"\"\r\n";
    EXPECT_EQ(dif.substr(0, head.size()), head);
    EXPECT_EQ(fetched, (std::vector<int>{1, 2}));
    const DifDocument doc = ParseDif(dif);
    ASSERT_EQ(doc.header.size(), 4u);
    EXPECT_EQ(doc.header[0], (std::pair<std::string, std::string>("TABLE", "1|\"Report\"")));
    EXPECT_EQ(doc.header[1].second, "3|\"\"");
    EXPECT_EQ(doc.header[2].second, "2|\"\"");
    EXPECT_TRUE(doc.ended);
    ASSERT_EQ(doc.tuples.size(), 3u);
    EXPECT_EQ(doc.tuples[0], (std::vector<std::string>{"S:Name", "S:Count", "S:Price"}));
    // numbers without thousand separators; an empty value of a number column is an empty string
    EXPECT_EQ(doc.tuples[1], (std::vector<std::string>{"S:alpha", "N:12", "N:1234.50"}));
    EXPECT_EQ(doc.tuples[2], (std::vector<std::string>{"S:b\"\"c", "N:7", "S:"}));
}

// DIF takes a cell as a number item when its plain text is a number literal; the check that gives up at
// the first character no literal has must agree with making the plain text and testing it.
TEST(NumberTexts, ALiteralIsAppendedExactlyWhenThePlainTextIsOne) {
    rtl::LocaleFacts comma = rtl::LocaleFacts::Default();
    comma.DecimalSeparator = ',';
    comma.ThousandSeparator = '.';
    for (const rtl::LocaleFacts& facts : {rtl::LocaleFacts::Default(), comma}) {
        for (const std::string& text : std::vector<std::string>{"0",
                                                                "-12",
                                                                "+3.5",
                                                                "1,234.50",
                                                                "1.234,50",
                                                                ".5",
                                                                "5.",
                                                                "1e10",
                                                                "-2.5E-3",
                                                                "1e",
                                                                "e5",
                                                                "--1",
                                                                "",
                                                                ",",
                                                                "12/25/2024",
                                                                "10:15:00",
                                                                "true",
                                                                "1 000",
                                                                "nan",
                                                                "1,2,3",
                                                                ".",
                                                                "+",
                                                                "-.",
                                                                "+.5e-7",
                                                                "1e+",
                                                                "1e5e5",
                                                                "1e5.0",
                                                                "1.2.3",
                                                                "1+2",
                                                                std::string(70, '9'),
                                                                std::string(70, '9') + "x"}) {
            const std::string plain = PlainNumberText(text, facts);
            std::string out(text.size(), '\0');
            const std::size_t size = PutNumberLiteral(out.data(), text, facts);
            EXPECT_EQ(size != kNoNumberLiteral, IsNumberLiteral(plain)) << text;
            if (size != kNoNumberLiteral) {
                EXPECT_EQ(out.substr(0, size), plain) << text;
            }
        }
    }
}

TEST_F(AsciiFormats, DifCountFollowsSkipAndLimitAndAbortStopsIt) {
    ex.SetExportType(TExportASCIIType::etDIF);
    ex.SkipRecCount = 1;
    EXPECT_NE(Export(ex).find("TUPLES\r\n0,1\r\n"), std::string::npos);
    ex.SkipRecCount = 0;
    // An abort during the count ends the header with no tuples and closes the file, once; a cancelled
    // one counts on. The last row's abort is asked about too.
    for (const int row : {1, 2}) {
        int asked = 0;
        ex.OnFetchedRecord = [row](TExporter& sender, int n) {
            if (n == row)
                sender.Abort();
        };
        ex.OnStopExport = [&asked](TExporter&, bool&) { ++asked; };
        const std::string dif = Export(ex);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(dif, "TABLE\r\n0,1\r\n\"Report\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n0,0\r\n\"\"\r\n"
                       "DATA\r\n0,0\r\n\"\"\r\n-1,0\r\nEOD\r\n");
        EXPECT_TRUE(ParseDif(dif).ended);
    }
    ex.OnStopExport = [](TExporter&, bool& canContinue) { canContinue = true; };
    const DifDocument doc = ParseDif(Export(ex));
    EXPECT_EQ(doc.header[2].second, "2|\"\"");
    EXPECT_EQ(doc.tuples.size(), 3u);
}

TEST_F(AsciiFormats, SylkCellsAndRowNumbers) {
    ex.SetExportType(TExportASCIIType::etSYLK);
    ds.AddRow({"x;y", "1", "2"});
    EXPECT_EQ(Export(ex), "ID;PVASCIIEXPORT\r\n"
                          "C;X1;Y1;K\"Name\"\r\nC;X2;Y1;K\"Count\"\r\nC;X3;Y1;K\"Price\"\r\n"
                          "C;X1;Y2;K\"alpha\"\r\nC;X2;Y2;K\"12\"\r\nC;X3;Y2;K\"1,234.50\"\r\n"
                          "C;X1;Y3;K\"b\"c\"\r\nC;X2;Y3;K\"7\"\r\nC;X3;Y3;K\"\"\r\n"
                          "C;X1;Y4;K\"x;;y\"\r\nC;X2;Y4;K\"1\"\r\nC;X3;Y4;K\"2.00\"\r\n"
                          "E\r\n");
    ex.AllowCaptions = false;
    ex.ExportRecCount = 1;
    EXPECT_EQ(Export(ex), "ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"alpha\"\r\nC;X2;Y1;K\"12\"\r\n"
                          "C;X3;Y1;K\"1,234.50\"\r\nE\r\n");
}

TEST_F(AsciiFormats, SingleByteFormatsAreWrittenInWindows1252) {
    ds.AddRow({"Grüße€", "1", "1"});
    ex.SetExportType(TExportASCIIType::etSYLK);
    ex.AllowCaptions = false;
    ex.SkipRecCount = 2;
    // SYLK carries no code page: it is written in ASCII, which every reader takes the same way
    EXPECT_EQ(Export(ex), "ID;PVASCIIEXPORT\r\nC;X1;Y1;K\"Gr??e?\"\r\nC;X2;Y1;K\"1\"\r\n"
                          "C;X3;Y1;K\"1.00\"\r\nE\r\n");
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.Header.Clear();
    ex.Footer.Clear();
    EXPECT_EQ(Export(ex), "\"Grüße€\",\"1\",\"1.00\"\r\n");
}

TEST_F(AsciiFormats, OptionsRoundTripThroughAnIniFile) {
    TempDir dir;
    const std::string file = dir.file("options.ini");
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.CSVComma = ';';
    ex.CSVQuote = '\0';
    ex.Header.Add("H2");
    ex.ExportedFields.Add("Name");
    ex.ColumnsWidth.Add("Name=20");
    ex.Formats.SetFloatFormat("0.000");
    ex.FileName = "/tmp/x.csv";
    {
        ini::IniFile ini(file);
        ini.WriteString("HEADER", "line7", "stale");
        ex.SaveOptionsToIni(ini);
        EXPECT_EQ(ini.ReadString("HEADER", "line0", ""), "H1");
        EXPECT_EQ(ini.ReadString("HEADER", "line1", ""), "H2");
        EXPECT_FALSE(ini.ValueExists("HEADER", "line7"));
        EXPECT_EQ(ini.ReadString("FIELDS", "field0", ""), "Name");
        EXPECT_EQ(ini.ReadString("GENERAL", "AutocalcStrType", ""), "0");
        EXPECT_EQ(ini.ReadString("ASCII", "Comma", ""), ";");
        EXPECT_EQ(ini.ReadString("WIDTH", "line0", ""), "Name=20");
        ini.WriteString("FORMATS", "Integer", "");
    }
    TExporterASCII back;
    ini::IniFile ini(file);
    back.LoadOptionsFromIni(ini);
    EXPECT_EQ(back.ExportType(), TExportASCIIType::etCSV);
    EXPECT_EQ(back.CSVComma, ';');
    EXPECT_EQ(back.CSVQuote, '\0');
    EXPECT_EQ(back.Header.ToVector(), (std::vector<std::string>{"H1", "H2"}));
    EXPECT_EQ(back.ColumnsWidth.ToVector(), (std::vector<std::string>{"Name=20"}));
    EXPECT_EQ(back.ExportedFields.ToVector(), (std::vector<std::string>{"Name"}));
    EXPECT_EQ(back.Formats.FloatFormat(), "0.000");
    EXPECT_EQ(back.Formats.IntegerFormat(), "#,###,##0"); // an empty text restores the default
    EXPECT_EQ(back.FileName, "/tmp/x.csv");
}

TEST(ClipboardExport, SeparatedAndFixedText) {
    TMemoryDataSet ds;
    FillSmall(ds);
    FakeClipboard clipboard;
    TExporterClipboard ex;
    ex.Clipboard = &clipboard;
    ex.DataSet = &ds;
    ex.Separator = ';';
    ex.Title = "Report";
    ex.Header.Add("H1");
    ex.Footer.Add("F1");
    ex.Execute();
    EXPECT_EQ(clipboard.text, "Report\r\nH1\r\n\r\n"
                              "Name;Count;Price;\r\n"
                              "alpha;12;1,234.50;\r\n"
                              "\"b\"\"c\";7;;\r\n"
                              "F1\r\n\r\n");
    ex.SetExportType(TClipboardExportType::etFixed);
    ex.Title.clear();
    ex.Header.Clear();
    ex.Footer.Clear();
    ex.Execute();
    EXPECT_EQ(clipboard.text, "  NameCount   Price\r\n"
                              " alpha   121,234.50\r\n"
                              "   b\"c    7        \r\n");
}

class SqlExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Price", TFieldType::ftFloat});
        ds.AddField({"Day", TFieldType::ftDate});
        ds.AddField({"Flag", TFieldType::ftBoolean});
        ds.AddRow({"O'Brien", "3", "2.5", "3/4/2024", "True"});
        ds.AddRow({"x", std::nullopt, "1234.5", "12/31/2023", "no"});
        ex.DataSet = &ds;
        ex.TableName = "items";
    }
    TMemoryDataSet ds;
    TExporterSQL ex;
};

TEST_F(SqlExport, CreateTableAndInsertStatements) {
    ex.CreateTable = true;
    ex.AllowCaptions = false;
    EXPECT_EQ(
        Export(ex),
        "CREATE TABLE items(\r\n"
        "  Name  CHAR(10),\r\n"
        "  Count  INTEGER,\r\n"
        "  Price  DOUBLE PRECISION,\r\n"
        "  Day  DATE,\r\n"
        "  Flag  INTEGER\r\n"
        ");\r\n"
        "\r\n"
        "INSERT INTO items\r\n  (Name,Count,Price,Day,Flag)\r\nVALUES('O''Brien',3,2.5,'3/4/2024',true);\r\n"
        "\r\n"
        "INSERT INTO items\r\n  "
        "(Name,Count,Price,Day,Flag)\r\nVALUES('x',null,1234.5,'12/31/2023',false);\r\n"
        "\r\n");
}

TEST_F(SqlExport, ScriptRunsInSqlite) {
    ex.CreateTable = true;
    ex.FormatValues = true;
    ex.Formats.SetDateFormat("yyyy-mm-dd");
    ex.Formats.SetBooleanTrue("1");
    ex.Formats.SetBooleanFalse("0");
    ex.Header.Add("BEGIN;");
    ex.CommitAfterScript = true;
    ex.CommitStatement = "COMMIT;";
    TempDir dir;
    ex.FileName = dir.file("script.sql");
    ex.Execute();
    int status = 0;
    const std::string out =
        RunCommand("sqlite3 -batch " + dir.file("db.sqlite") + " < " + ex.FileName + " && sqlite3 -batch " +
                       dir.file("db.sqlite") + " \"select Name, quote(Count), Price, Day, Flag from items\"",
                   status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "O'Brien|3|2.5|2024-03-04|1\nx|NULL|1234.5|2023-12-31|0\n");
}

TEST_F(SqlExport, CommitsAfterEveryCountAndAtTheEnd) {
    for (int i = 0; i < 3; ++i)
        ds.AddRow({"r", "1", "1", "1/1/2000", "false"});
    ex.CommitRecCount = 2;
    ex.CommitAfterScript = true;
    ex.Footer.Add("-- end");
    const std::string script = Export(ex);
    std::vector<size_t> commits;
    for (size_t pos = script.find("COMMIT WORK;\r\n"); pos != std::string::npos;
         pos = script.find("COMMIT WORK;\r\n", pos + 1))
        commits.push_back(pos);
    ASSERT_EQ(commits.size(), 3u);
    EXPECT_EQ(script.substr(commits[0] - 6, 22), ");\r\n\r\nCOMMIT WORK;\r\n\r\n");
    EXPECT_EQ(script.substr(commits[2]), "COMMIT WORK;\r\n-- end\r\n");
    // Rows 2 and 4 are followed by a commit: two INSERTs before the first, four before the second.
    auto inserts = [&](size_t end) {
        int n = 0;
        for (size_t pos = script.find("INSERT"); pos < end; pos = script.find("INSERT", pos + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(inserts(commits[0]), 2);
    EXPECT_EQ(inserts(commits[1]), 4);
}

TEST_F(SqlExport, EmptyNumbersBecomeNull) {
    TMemoryListView lv;
    lv.AddColumn({"F", 80});
    lv.AddColumn({"S", 80});
    lv.AddItem({"1.5", "a"});
    lv.AddItem({"", ""});
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ex.AutoCalcStrType = true; // the first item makes F a float and S a string
    const std::string script = Export(ex);
    EXPECT_NE(script.find("VALUES(1.5,'a');"), std::string::npos);
    EXPECT_NE(script.find("VALUES(null,'');"), std::string::npos);
}

class RecordingShell : public TExportShell {
public:
    void Open(const std::string& f) override { calls.push_back("open " + f); }
    void Print(const std::string& f) override { calls.push_back("print " + f); }
    std::vector<std::string> calls;
};

TEST(FileRun, CreatesDirectoriesWritesAndShowsTheFile) {
    TMemoryDataSet ds;
    FillSmall(ds);
    TempDir dir;
    RecordingShell shell;
    TExporterASCII ex;
    ex.Shell = &shell;
    ex.DataSet = &ds;
    ex.SetExportType(TExportASCIIType::etCSV);
    ex.FileName = dir.file("a/b/out.csv");
    ex.ShowFile = true;
    ex.PrintFile = true;
    ex.Execute();
    EXPECT_EQ(ReadFile(ex.FileName).substr(0, 24), "\"Name\",\"Count\",\"Price\"\r\n");
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"open " + ex.FileName, "print " + ex.FileName}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("a/b")),
                            std::filesystem::directory_iterator()),
              1); // no temporary file left behind

    shell.calls.clear();
    ex.OnExportedRecord = [](TExporter& sender, int) { sender.Abort(); };
    ex.Execute();
    EXPECT_TRUE(shell.calls.empty());
}

// A DIF run aborted while its rows are counted, or between rows, writes a file that LibreOffice loads; over
// an existing file it leaves that file as it was.
TEST(FileRun, AbortedDifEndsItsFileAndKeepsAnExistingOne) {
    TMemoryDataSet ds;
    FillSmall(ds);
    TempDir dir;
    TExporterASCII ex;
    ex.DataSet = &ds;
    ex.SetExportType(TExportASCIIType::etDIF);
    ex.FileName = dir.file("kept.dif");
    WriteFile(ex.FileName, "precious");
    const auto abortAt = [](int row) {
        return [row](TExporter& sender, int n) {
            if (n == row)
                sender.Abort();
        };
    };
    ex.OnFetchedRecord = abortAt(1);
    ex.Execute();
    EXPECT_EQ(ReadFile(ex.FileName), "precious");

    ex.FileName = dir.file("counting.dif");
    ex.Execute();
    EXPECT_TRUE(ParseDif(ReadFile(ex.FileName)).ended);
    ex.OnFetchedRecord = nullptr;
    ex.OnExportedRecord = abortAt(0);
    ex.FileName = dir.file("rows.dif");
    ex.Execute();
    EXPECT_TRUE(ParseDif(ReadFile(ex.FileName)).ended);
    EXPECT_EQ(
        std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()),
        3); // no temporary file left behind

    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the DIF read-back needs it";
    int status = 0;
    const std::string out =
        RunCommand("soffice -env:UserInstallation=file://" + dir.file("lo-profile") +
                       " --headless --convert-to \"csv:Text - txt - csv (StarCalc):44,34,76,1\" --outdir " +
                       dir.file("lo") + " " + dir.file("counting.dif") + " " + dir.file("rows.dif") + " 2>&1",
                   status);
    ASSERT_EQ(status, 0) << out;
    // A file LibreOffice cannot load gives no CSV file.
    ASSERT_TRUE(std::filesystem::exists(dir.file("lo/counting.csv"))) << out;
    EXPECT_EQ(ReadFile(dir.file("lo/counting.csv")), "\n");
    EXPECT_EQ(ReadFile(dir.file("lo/rows.csv")), "\"Name\",\"Count\",\"Price\"\n\"alpha\",12,1234.5\n");
}

TEST(FileRun, FailuresLeaveAnExistingFileAndReportTheDirectory) {
    TempDir dir;
    RecordingShell shell;
    TExporterASCII ex;
    ex.Shell = &shell;
    ex.ShowFile = true;
    ex.FileName = dir.file("keep.txt");
    WriteFile(ex.FileName, "precious");
    EXPECT_THROW(ex.Execute(), EExportError); // no data set
    EXPECT_EQ(ReadFile(ex.FileName), "precious");
    EXPECT_TRUE(shell.calls.empty());

    WriteFile(dir.file("plain"), "x");
    ex.FileName = dir.file("plain/sub/out.txt");
    try {
        ex.Execute();
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Directory \"" + dir.file("plain/sub") + "\" not found and cannot be created");
    }
}

// "Print file after export" says why the file did not reach the printer: the command is missing, or
// it failed (its own message, else its exit code).
TEST(FileRun, APrintCommandThatFailsSaysWhy) {
    TempDir dir;
    const std::string file = dir.file("out.csv");
    WriteFile(file, "x");
    const auto errorOf = [&](const std::string& command) -> std::string {
        try {
            RunPrintCommand(command, file);
        } catch (const EExportError& e) {
            return e.what();
        }
        return "(printed)";
    };
    const std::string prefix = "Cannot print file \"" + file + "\". ";
    const std::string missing = errorOf(dir.file("no-such-lp"));
    EXPECT_EQ(missing.substr(0, prefix.size() + dir.file("no-such-lp").size() + 2),
              prefix + dir.file("no-such-lp") + ": ");
    EXPECT_NE(missing.find("No such file"), std::string::npos) << missing;

    const std::string script = dir.file("lp");
    WriteFile(script, "#!/bin/sh\necho 'lp: Error - No default destination.' >&2\nexit 1\n");
    ::chmod(script.c_str(), 0755);
    EXPECT_EQ(errorOf(script), prefix + "lp: Error - No default destination.");
    EXPECT_EQ(errorOf("false"), prefix + "false ended with exit code 1");
    EXPECT_EQ(errorOf("true"), "(printed)");
}

// A file name that starts with "-" reaches the print command as a file, not as its options.
TEST(FileRun, APrintedFileNameIsNeverReadAsOptions) {
    TempDir dir;
    const std::string script = dir.file("lp");
    const std::string arguments = dir.file("arguments");
    WriteFile(script, "#!/bin/sh\nprintf '[%s]' \"$@\" > '" + arguments + "'\n");
    ::chmod(script.c_str(), 0755);
    for (const std::string name : {"-dash.csv", "--help", "-d printer"}) {
        RunPrintCommand(script, name);
        EXPECT_EQ(ReadFile(arguments), "[--][" + name + "]");
    }
}

} // namespace
} // namespace exporter::test
