// Hostile values exported to PDF, dBase and LaTeX and read back with the readers people use.

#include "ExportTestSupport.h"

#include "export/core/ExporterDBF.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterPDF.h"

#include <gtest/gtest.h>

#include <regex>

namespace exporter::test {
namespace {

namespace fs = std::filesystem;

bool HasDbfread() {
    int status = 0;
    RunCommand("/usr/bin/python3 -c 'import dbfread'", status);
    return status == 0;
}

// One row per kind of trouble, keyed row1, row2, ... in the first column. Columns: Key, a text column
// named "Last name", an integer "TTL (s)", a float and a currency named in Cyrillic (which no dBase name can
// hold), a large integer, a Boolean, an untyped column and a date. The last row is all NULL but for its key.
constexpr int kHostileRows = 10;
const std::string kBackslashes = "C:\\temp\\";

void FillHostileDataSet(TMemoryDataSet& ds) {
    ds.AddField({"Key", TFieldType::ftString, 6});
    ds.AddField({"Last name", TFieldType::ftString, 60});
    ds.AddField({"TTL (s)", TFieldType::ftInteger});
    ds.AddField({"\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0", TFieldType::ftFloat});    // Цена
    ds.AddField({"\xD0\x92\xD0\xBE\xD0\xB4\xD0\xB0", TFieldType::ftCurrency}); // Вода
    ds.AddField({"Big", TFieldType::ftLargeint});
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddField({"Odd", TFieldType::ftUnknown});
    ds.AddField({"Day", TFieldType::ftDate});
    ds.AddRow({"row1", "\"quoted\" 'single' `grave`", "1", "1.5", "2.25", "9007199254740993", "true",
               kBackslashes, "3/14/2024"});
    ds.AddRow({"row2", "line one\r\nline two\nthree\rfour", "-1", "1e300", "0", "-42", "false",
               "\\par}{\\b1 evil", "1/1/2000"});
    ds.AddRow({"row3", "< > & ]]> &amp;", "2147483647", "NaN", "-1234.5", "0", kBackslashes, "#$%&~_^\\{}",
               "12/31/1999"});
    ds.AddRow({"row4", "# $ % & ~ _ ^ \\ { } -- ,, ''", "0", "-0.001", "1", "1", "true",
               "a\tb\x7F"
               "c",
               "2/29/2024"});
    ds.AddRow({"row5",
               "Caf\xC3\xA9 cr\xC3\xA8me na\xC3\xAFve Gr\xC3\xBC\xC3\x9F"
               "e \xE2\x82\xAC",
               "5", "5", "5", "5", "false",
               "\xC3\x86r\xC3\xB8sk\xC3\xB8"
               "bing",
               "6/1/2024"});
    ds.AddRow({"row6", "\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0 \xD0\x92\xD0\xBE\xD0\xB4\xD0\xB0", "6", "6", "6",
               "6", "true", "\xD0\xB6", "6/2/2024"});
    ds.AddRow({"row7", "\xE6\xBC\xA2\xE5\xAD\x97 \xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88", "7", "7", "7", "7",
               "false", "\xE4\xB8\xAD", "6/3/2024"});
    ds.AddRow({"row8", "\xF0\x9F\x98\x80 \xF0\x9F\x91\x8D", "8", "8", "8", "8", "true", "\xF0\x9F\x98\x80",
               "6/4/2024"});
    ds.AddRow(
        {"row9", "'); DROP TABLE x; --", "9", "9", "9", "9", "false", "0); DROP TABLE x; --", "6/5/2024"});
    ds.AddRow({"row10"});
}

// ---------------------------------------------------------------------------------------------------
// PDF: qpdf and pdftotext

TEST(HostilePdf, PassesQpdfAndShowsEveryRow) {
    if (!HasCommand("qpdf") || !HasCommand("pdftotext"))
        GTEST_SKIP() << "qpdf or pdftotext (packages qpdf, poppler-utils) is not installed";
    TempDir dir;
    TMemoryDataSet ds;
    FillHostileDataSet(ds);
    TExporterPDF ex;
    ex.DataSet = &ds;
    ex.FileName = dir.file("hostile.pdf");
    ex.Options.PageOptions.SetOrientation(TExportPageOrientation::poLandscape);
    ex.Header.Add("Header with " + kBackslashes + " and (parentheses");
    ex.Execute();

    int status = 0;
    const std::string check = RunCommand("qpdf --check '" + ex.FileName + "'", status);
    EXPECT_EQ(status, 0) << check;
    const std::string text = RunCommand("pdftotext -enc UTF-8 -layout '" + ex.FileName + "' -", status);
    ASSERT_EQ(status, 0) << text;
    size_t pos = text.find("Header with " + kBackslashes + " and (parentheses");
    EXPECT_NE(pos, std::string::npos) << text;
    for (int i = 1; i <= kHostileRows; ++i) {
        const std::string key = "row" + std::to_string(i);
        pos = text.find(key, pos);
        ASSERT_NE(pos, std::string::npos) << key << "\n" << text;
        pos += key.size();
        EXPECT_FALSE(std::isdigit(static_cast<unsigned char>(text[pos]))) << key;
    }
    // The Boolean and untyped cells holding backslashes, escaped like every other cell.
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(row1 .* true +C:\\temp\\ )"))) << text;
    EXPECT_TRUE(std::regex_search(text, std::regex(R"(row3 .* C:\\temp\\ +#\$%&)"))) << text;
    EXPECT_NE(text.find("Caf\xC3\xA9 cr\xC3\xA8me"), std::string::npos);
}

// ---------------------------------------------------------------------------------------------------
// dBase: dbfread and LibreOffice

// One line per record of a table as dbfread reads it (with the given extra arguments): the Python
// expression over the record r.
std::string DbfreadRecords(const std::string& file, const std::string& arguments, const std::string& line) {
    int status = 0;
    const std::string out = RunCommand("/usr/bin/python3 -c \"import sys, dbfread\n"
                                       "for r in dbfread.DBF(sys.argv[1]" +
                                           arguments + "): print(" + line + ")\" " + file,
                                       status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

class HostileDbf : public ::testing::Test {
protected:
    void SetUp() override {
        FillHostileDataSet(ds);
        ex.DataSet = &ds;
        ex.FileName = dir.file("hostile.dbf");
    }
    TempDir dir;
    TMemoryDataSet ds;
    TExporterDBF ex;
};

TEST_F(HostileDbf, DbfreadReadsEveryValueInTheDeclaredCodePage) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    // NullValue is for empty numbers: it fills no NULL field, of any type.
    ex.SetNullValue("n/a");
    ex.Execute();
    int status = 0;
    // No encoding is passed: dbfread takes it from the language driver byte.
    const std::string out = RunCommand("/usr/bin/python3 -c \"import sys, dbfread\n"
                                       "t = dbfread.DBF(sys.argv[1], char_decode_errors='strict')\n"
                                       "print(t.encoding)\n"
                                       "print(','.join(t.field_names))\n"
                                       "for r in t: print('|'.join(repr(v) for v in r.values()))\" " +
                                           ex.FileName,
                                       status);
    ASSERT_EQ(status, 0) << out;
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> result;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }();
    ASSERT_EQ(lines.size(), 2u + kHostileRows) << out;
    EXPECT_EQ(lines[0], "cp1252");
    EXPECT_EQ(lines[1], "KEY,LAST_NAME,TTL_S,FIELD,FIELD_1,BIG,FLAG,ODD,DAY");
    EXPECT_EQ(lines[2],
              "'row1'|'\"quoted\" \\'single\\' `grave`'|1|1.5|2.25|9007199254740993|True|'C:\\\\temp\\\\'|"
              "datetime.date(2024, 3, 14)");
    // 1e300 does not fit the widest numeric field in fixed form: it is written with an exponent.
    EXPECT_EQ(lines[3],
              "'row2'|'line one\\r\\nline two\\nthree\\rfour'|-1|1e+300|0.0|-42|False|'\\\\par}{\\\\b1'|"
              "datetime.date(2000, 1, 1)");
    // NaN leaves the field empty; a text in a Boolean field is neither true nor false.
    EXPECT_EQ(lines[4], "'row3'|'< > & ]]> &amp;'|2147483647|None|-1234.5|0|None|'#$%&~_^\\\\{}'|"
                        "datetime.date(1999, 12, 31)");
    EXPECT_EQ(lines[6], "'row5'|'Caf\xC3\xA9 cr\xC3\xA8me na\xC3\xAFve Gr\xC3\xBC\xC3\x9F"
                        "e \xE2\x82\xAC'|5|5.0|5.0|5|"
                        "False|'\xC3\x86r\xC3\xB8sk\xC3\xB8"
                        "bing'|datetime.date(2024, 6, 1)");
    // Characters outside Windows-1252 become "?".
    EXPECT_EQ(lines[7].substr(0, 20), "'row6'|'???? ???\?'|6");
    EXPECT_EQ(lines[11], "'row10'|''|None|None|None|None|None|''|None");
}

TEST_F(HostileDbf, MemosOfAnySizeAndWideNumbersReadBack) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    TMemoryDataSet memos;
    memos.AddField({"Key", TFieldType::ftString, 6});
    memos.AddField({"Notes", TFieldType::ftMemo});
    memos.AddField({"Amount", TFieldType::ftFloat});
    std::string longText;
    int lines = 0;
    while (longText.size() < 100000)
        longText += "line " + std::to_string(lines++) + "\r\n";
    memos.AddRow({"long", longText, "123456789012345678.25"});
    memos.AddRow({"short", "x", "-1e300"});
    ex.DataSet = &memos;
    for (const char* name : {"Key", "Notes", "Amount"})
        ex.ExportedFields.Add(name);
    ex.Execute();
    int status = 0;
    const std::string out =
        RunCommand("/usr/bin/python3 -c \"import sys, dbfread\n"
                   "t = dbfread.DBF(sys.argv[1])\n"
                   "for r in t: print(r['KEY'], len(r['NOTES']), r['NOTES'][-12:].strip(), "
                   "repr(r['AMOUNT']))\" " +
                       ex.FileName,
                   status);
    ASSERT_EQ(status, 0) << out;
    EXPECT_EQ(out, "long " + std::to_string(longText.size()) + " line " + std::to_string(lines - 1) +
                       " 1.2345678901234568e+17\nshort 1 x -1e+300\n");
}

// A list view's column types are guessed from its first row: a later text that is no number or date
// leaves its field empty and is counted, where it used to end the export.
TEST_F(HostileDbf, GuessedColumnsLeaveOtherTextsEmpty) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    TMemoryListView view;
    for (const char* name : {"Key", "N", "F", "D"})
        view.AddColumn({name});
    view.AddItem({"a", "1", "1.5", "3/5/2024"});
    view.AddItem({"b", "1.2.3", "n/a", "n/a"});
    view.AddItem({"c", "2", "2.5", "7/4/20241"});
    view.AddItem({"d", "", "", ""});
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &view;
    ex.AutoCalcStrType = true;
    ex.Execute();
    EXPECT_EQ(ex.EmptiedValues(), 4);
    EXPECT_EQ(ex.FirstEmptiedValue().Row, 2);
    EXPECT_EQ(ex.FirstEmptiedValue().Column, "N");
    EXPECT_EQ(ex.FirstEmptiedValue().Text, "1.2.3");
    EXPECT_EQ(ex.EmptiedValuesNotice(),
              "4 values did not fit their column's type and were left empty; the first: "
              "row 2, column \"N\", \"1.2.3\"");
    EXPECT_EQ(
        DbfreadRecords(ex.FileName, "", "'|'.join(repr(v) for v in r.values())"),
        "'a'|1|1.5|datetime.date(2024, 3, 5)\n'b'|None|None|None\n'c'|2|2.5|None\n'd'|None|None|None\n");

    // Past skipped rows; a long text is shown by its first 60 bytes, cut before a character.
    const std::string e = "\xC3\xA9";
    std::string es;
    for (int i = 0; i < 20; ++i)
        es += e;
    view.AddItem({"e", "2", "2.5", std::string(29, 'x') + es});
    view.AddItem({"f", "2", "2.5", std::string(30, 'x') + es});
    ex.SkipRecCount = 4;
    ex.Execute();
    EXPECT_EQ(ex.EmptiedValues(), 2);
    EXPECT_EQ(ex.FirstEmptiedValue().Row, 5);
    EXPECT_EQ(ex.EmptiedValuesNotice(),
              "2 values did not fit their column's type and were left empty; the first: "
              "row 5, column \"D\", \"" +
                  std::string(29, 'x') + es.substr(0, 30) + "...\"");
    ex.SkipRecCount = 5;
    ex.Execute();
    EXPECT_EQ(ex.EmptiedValuesNotice(),
              "1 value did not fit its column's type and was left empty: row 6, column "
              "\"D\", \"" +
                  std::string(30, 'x') + es.substr(0, 30) + "...\"");
    // A clean export tells nothing.
    TMemoryListView clean;
    for (const char* name : {"Key", "N"})
        clean.AddColumn({name});
    clean.AddItem({"a", "1"});
    ex.SkipRecCount = 0;
    ex.ListView = &clean;
    ex.Execute();
    EXPECT_EQ(ex.EmptiedValues(), 0);
    EXPECT_EQ(ex.EmptiedValuesNotice(), "");
}

// A currency value is a 64-bit count of ten-thousandths: its field holds every digit.
TEST_F(HostileDbf, CurrencyKeepsEveryDigit) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    TMemoryDataSet money;
    money.AddField({"Amount", TFieldType::ftCurrency});
    for (const char* value : {"922337203685477.5807", "-922337203685477.5808", "0.0001", "12.5"})
        money.AddRow({value});
    ex.DataSet = &money;
    ex.Execute();
    // The field's bytes, as dbfread reads them before any conversion.
    EXPECT_EQ(DbfreadRecords(ex.FileName, ", raw=True", "r['AMOUNT'].strip().decode()"),
              "922337203685477.5807\n-922337203685477.5808\n0.0001\n12.5000\n");
}

// The five C1 controls whose bytes Windows-1252 leaves unassigned are no bytes of the table: dbfread, which
// decodes strictly in the code page of the language driver, reads the whole table.
TEST_F(HostileDbf, CharactersTheCodePageLacksNeverBecomeUnassignedBytes) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    TMemoryDataSet texts;
    texts.AddField({"Text", TFieldType::ftString, 20});
    texts.AddRow({"a\xC2\x81"
                  "b\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"
                  "c"});
    texts.AddRow(
        {"\xC2\x80\xC2\x9F\xE2\x82\xAC\xC5\xA0\xC3\xBF"}); // U+0080 U+009F are C1 too; € Š ÿ are in it
    ex.DataSet = &texts;
    ex.Execute();
    EXPECT_EQ(DbfreadRecords(ex.FileName, ", char_decode_errors='strict'", "ascii(r['TEXT'])"),
              "'a?b????c'\n'??\\u20ac\\u0160\\xff'\n");
}

// Numbers at the ends of the double range in an N(23,4) field: each is written with the fewest digits that
// give it back (16 would round the largest double past itself, and dbfread would read infinity); the field
// widens to the 24 characters of the negative one.
TEST_F(HostileDbf, LargestDoublesReadBackFinite) {
    if (!HasDbfread())
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    TMemoryDataSet numbers;
    numbers.AddField({"Amount", TFieldType::ftFloat});
    for (const char* value :
         {"1.7976931348623157e308", "-1.7976931348623157e308", "1e18", "-1.2345678901234567e300",
          "4.9406564584124654e-324", "2.2250738585072014e-308", "999999999999999999"})
        numbers.AddRow({value});
    ex.DataSet = &numbers;
    ex.ColumnsPrecision.Add("Amount=23,4");
    ex.Execute();
    EXPECT_EQ(DbfreadRecords(ex.FileName, "", "repr(r['AMOUNT'])"),
              "1.7976931348623157e+308\n-1.7976931348623157e+308\n1e+18\n-1.2345678901234567e+300\n0.0\n0.0\n"
              "1e+18\n");
    EXPECT_EQ(DbfreadRecords(ex.FileName, ", raw=True", "r['AMOUNT'].decode()"),
              " 1.7976931348623157E+308\n-1.7976931348623157E+308\n                   1E+18\n"
              "-1.2345678901234567E+300\n                  0.0000\n                  0.0000\n"
              "                   1E+18\n");
    EXPECT_EQ(ex.EmptiedValues(), 0);
}

TEST_F(HostileDbf, LibreOfficeReadsTheTable) {
    if (!HasCommand("soffice") || !fs::exists("/usr/lib/libreoffice/program/libdbaselo.so"))
        GTEST_SKIP() << "LibreOffice with its dBase driver (packages libreoffice-calc-nogui, "
                        "libreoffice-base-drivers) is not installed";
    ex.Execute();
    int status = 0;
    const std::string profile = "file://" + dir.file("lo-profile");
    // Calc takes the character set from the import options (the user's choice in its import dialog), not
    // from the table: "ANSI" is Windows-1252. Out: field separator ",", text delimiter '"', UTF-8.
    const std::string out =
        RunCommand("cd '" + dir.path().string() + "' && soffice --headless -env:UserInstallation=" + profile +
                       " --infilter=dBase:ANSI --convert-to 'csv:Text - txt - csv "
                       "(StarCalc):44,34,76' --outdir out hostile.dbf",
                   status);
    ASSERT_EQ(status, 0) << out;
    const std::string rows =
        RunCommand("/usr/bin/python3 -c \"import csv, sys\n"
                   "for r in csv.reader(open(sys.argv[1], encoding='utf-8', newline='')): "
                   "print('|'.join(r).replace(chr(13), '<CR>').replace(chr(10), '<LF>'))\" " +
                       dir.file("out/hostile.csv"),
                   status);
    ASSERT_EQ(status, 0) << rows;
    std::vector<std::string> lines;
    std::istringstream in(rows);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 1u + kHostileRows) << rows;
    EXPECT_EQ(lines[0],
              "KEY,C,6|LAST_NAME,C,60|TTL_S,N,11,0|FIELD,N,15,4|FIELD_1,N,15,4|BIG,N,20,0|FLAG,L|ODD,C,"
              "10|DAY,D");
    for (int i = 1; i <= kHostileRows; ++i)
        EXPECT_EQ(lines[size_t(i)].rfind("row" + std::to_string(i) + "|", 0), 0u) << lines[size_t(i)];
    // Accents come back through the language driver; the numbers are the numbers written.
    EXPECT_NE(lines[5].find("Caf\xC3\xA9 cr\xC3\xA8me"), std::string::npos) << lines[5];
    EXPECT_NE(lines[3].find("|2147483647|"), std::string::npos) << lines[3];
    // Calc keeps 15 significant digits; 1e300 comes back in full.
    EXPECT_NE(lines[1].find("|90071992547409"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find("|-1|1" + std::string(300, '0') + ".0000|"), std::string::npos) << lines[2];
}

// ---------------------------------------------------------------------------------------------------
// LaTeX: pdflatex, then pdftotext

// Runs pdflatex over the file in its folder; returns the PDF's text, or fails the test with the log.
std::string Typeset(const std::string& texFile) {
    const fs::path path(texFile);
    int status = 0;
    const std::string log = RunCommand("cd '" + path.parent_path().string() +
                                           "' && pdflatex -interaction=nonstopmode -halt-on-error '" +
                                           path.filename().string() + "'",
                                       status);
    EXPECT_EQ(status, 0) << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
    const std::string pdf = fs::path(texFile).replace_extension(".pdf").string();
    const std::string text = RunCommand("pdftotext -layout -enc UTF-8 '" + pdf + "' -", status);
    EXPECT_EQ(status, 0) << text;
    return text;
}

bool HasLaTeX() {
    return HasCommand("pdflatex") && HasCommand("pdftotext");
}

class HostileLaTeX : public ::testing::Test {
protected:
    void SetUp() override {
        FillHostileDataSet(ds);
        ex.DataSet = &ds;
        // The table is wider than a page: on wide paper every column lies on it.
        ex.Preambula.Add("\\pdfpagewidth=2000pt");
    }
    TempDir dir;
    TMemoryDataSet ds;
    TExporterLaTeX ex;
};

TEST_F(HostileLaTeX, PdflatexSetsEveryRowInWindows1252AndUtf8) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    for (int codePage : {1252, 65001}) {
        SCOPED_TRACE(codePage);
        ex.Options.SetCodePage(codePage);
        ex.FileName = dir.file("hostile" + std::to_string(codePage) + ".tex");
        ex.Execute();
        const std::string text = Typeset(ex.FileName);
        size_t pos = 0;
        for (int i = 1; i <= kHostileRows; ++i) {
            pos = text.find("row" + std::to_string(i), pos);
            ASSERT_NE(pos, std::string::npos) << i << "\n" << text;
        }
        // Quotes, dashes and specials print as themselves.
        for (const std::string& expected :
             {std::string("\"quoted\" 'single' `grave`"), std::string("< > & ]]> &amp;"),
              std::string("# $ % & ~ _ ^ \\ { } -- ,, ''"), std::string("C:\\temp\\"),
              std::string("'); DROP TABLE x; --"), std::string("Caf\xC3\xA9 cr\xC3\xA8me na\xC3\xAFve")})
            EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
        // CJK and emoji cannot be set: replaced, and the file says so.
        EXPECT_NE(ReadFile(ex.FileName).find("characters that LaTeX cannot set in this encoding"),
                  std::string::npos);
    }
}

TEST_F(HostileLaTeX, CyrillicInWindows1251) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    ex.Options.SetCodePage(1251);
    ex.Options.Languages = "russian";
    ex.FileName = dir.file("cyrillic.tex");
    ex.Execute();
    const std::string text = Typeset(ex.FileName);
    EXPECT_NE(text.find("\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0 \xD0\x92\xD0\xBE\xD0\xB4\xD0\xB0"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("row10"), std::string::npos);
}

// A table longer than a page breaks across pages with its captions on each: no row is lost.
TEST_F(HostileLaTeX, AThousandRowsOverManyPagesWithTheCaptionsOnEach) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    TMemoryDataSet rows;
    rows.AddField({"Key", TFieldType::ftString, 10});
    rows.AddField({"Amount", TFieldType::ftInteger});
    for (int i = 1; i <= 1000; ++i)
        rows.AddRow({"r" + std::to_string(i), std::to_string(i * 7)});
    ex.DataSet = &rows;
    ex.Options.SetCodePage(65001);
    ex.FileName = dir.file("long-table.tex");
    ex.Execute();
    const std::string text = Typeset(ex.FileName);
    size_t pos = 0;
    for (int i = 1; i <= 1000; ++i) {
        pos = text.find("r" + std::to_string(i) + " ", pos);
        ASSERT_NE(pos, std::string::npos) << "row " << i << " is missing";
    }
    const auto count = [&](const std::string& what) {
        int n = 0;
        for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    };
    const int pages = count("\f");
    EXPECT_GT(pages, 10);
    EXPECT_EQ(count("Amount"), pages); // the caption
}

// A row longer than 1,000 bytes is continued with a "%" at the end of a line; put right after a
// backslash, that "%" would be an escaped percent sign and the next line's start a comment. Each row
// here puts a backslash at another byte around the break.
TEST_F(HostileLaTeX, ContinuedRowsNeverBreakRightAfterABackslash) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    TMemoryDataSet rows;
    rows.AddField({"Value", TFieldType::ftString, 255});
    for (int offset = 990; offset <= 1002; ++offset)
        rows.AddRow({std::string(size_t(offset), 'a') + "%%__##~~\\ z" + std::to_string(offset)});
    ex.DataSet = &rows;
    ex.AllowCaptions = false;
    ex.Preambula.Add("\\pdfpagewidth=6000pt"); // wide enough for a row of a thousand letters
    ex.Preambula.Add("\\setlength{\\textwidth}{5900pt}");
    ex.Options.SetCodePage(65001);
    ex.FileName = dir.file("breaks.tex");
    ex.Execute();
    const std::string tex = ReadFile(ex.FileName);
    int continued = 0;
    for (size_t start = 0, end; (end = tex.find("\r\n", start)) != std::string::npos; start = end + 2) {
        if (end - start < 2 || tex[end - 1] != '%')
            continue;
        ++continued;
        size_t backslashes = 0; // an odd count escapes the "%"
        while (end - 2 - backslashes >= start && tex[end - 2 - backslashes] == '\\')
            ++backslashes;
        EXPECT_EQ(backslashes % 2, 0u) << tex.substr(end - 20 < start ? start : end - 20, 22);
    }
    // The cells are paragraphs: the breaks allowed in their long words lengthen the rows.
    EXPECT_GE(continued, 13);
    const std::string text = Typeset(ex.FileName);
    for (int offset = 990; offset <= 1002; ++offset)
        EXPECT_NE(text.find("%%__##~~\\ z" + std::to_string(offset)), std::string::npos) << offset;
}

TEST_F(HostileLaTeX, AHundredThousandCharacterValue) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    TMemoryDataSet longValue;
    longValue.AddField({"Key", TFieldType::ftString, 6});
    longValue.AddField({"Value", TFieldType::ftString, 255});
    std::string value;
    for (int i = 0; value.size() < 100000; ++i)
        value += "a\\b_" + std::to_string(i) + "&";
    longValue.AddRow({"long", value});
    longValue.AddRow({"after", "end"});
    ex.DataSet = &longValue;
    ex.Options.SetCodePage(65001);
    ex.FileName = dir.file("long.tex");
    ex.Execute();
    // No source line comes near TeX's line buffer.
    const std::string tex = ReadFile(ex.FileName);
    size_t longest = 0;
    for (size_t start = 0, end; (end = tex.find("\r\n", start)) != std::string::npos; start = end + 2)
        longest = std::max(longest, end - start);
    EXPECT_LT(longest, 2000u);
    const std::string text = Typeset(ex.FileName);
    EXPECT_NE(text.find("a\\b_0&a\\b_1&"), std::string::npos) << text.substr(0, 500);
    EXPECT_NE(text.find("after"), std::string::npos);
}

// Cells far wider than the page: pdflatex sets them in paragraph columns that share the text width, a
// word of thousands of letters breaks, and a cell taller than a page goes on in further rows. Every
// letter comes back (pdftotext) and none lies beyond the page's right margin.
TEST(LaTeXReadBack, CellsOfAnyLengthStayOnThePage) {
    if (!HasLaTeX())
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    TempDir dir;
    const auto countOf = [](const std::string& text, char letter) {
        return size_t(std::count(text.begin(), text.end(), letter));
    };
    // One cell of 10,000 letters beside short ones; in LaTeX 2.09 too (no packages: plain paragraph
    // columns in a tabular, which never breaks across pages: 2,500 letters, past the 2,000 or so that an
    // "l" column can show on a page).
    for (const TLaTeXVersion version : {TLaTeXVersion::LaTeX2e, TLaTeXVersion::LaTeX209}) {
        SCOPED_TRACE(version == TLaTeXVersion::LaTeX2e ? "LaTeX 2e" : "LaTeX 2.09");
        TMemoryDataSet ds;
        ds.AddField({"Key", TFieldType::ftString, 6});
        ds.AddField({"Value", TFieldType::ftString, 255});
        ds.AddField({"N", TFieldType::ftInteger});
        const size_t letters = version == TLaTeXVersion::LaTeX2e ? 10000 : 2500;
        ds.AddRow({"one", std::string(letters, 'x'), "1"});
        ds.AddRow({"two", "short", "2"});
        TExporterLaTeX ex;
        ex.DataSet = &ds;
        ex.Options.LaTeXVersion = version;
        ex.Options.DocumentParams.clear(); // LaTeX 2.09 has no a4paper style
        ex.Options.SetCodePage(65001);
        ex.FileName = dir.file(version == TLaTeXVersion::LaTeX2e ? "cell.tex" : "cell209.tex");
        ex.Execute();
        const std::string text = Typeset(ex.FileName);
        EXPECT_EQ(countOf(text, 'x'), letters);
        EXPECT_NE(text.find("short"), std::string::npos);
        const auto [right, page] = RightmostWordAndPageWidth(ex.FileName);
        EXPECT_GT(page, 500);
        EXPECT_LT(right, page - 50) << "a letter beyond the right margin";
    }
    // A hundred rows of 1,000-letter cells (words of 1,000 letters, and words of ten) over many pages.
    TMemoryDataSet ds;
    ds.AddField({"Key", TFieldType::ftString, 6});
    ds.AddField({"Word", TFieldType::ftString, 255});
    ds.AddField({"Words", TFieldType::ftString, 255});
    std::string words;
    while (words.size() < 1000)
        words += "abcdefghi ";
    for (int i = 1; i <= 100; ++i)
        ds.AddRow({"r" + std::to_string(i), std::string(1000, 'z'), words});
    TExporterLaTeX ex;
    ex.DataSet = &ds;
    ex.Options.SetCodePage(1252);
    ex.FileName = dir.file("rows.tex");
    ex.Execute();
    const std::string text = Typeset(ex.FileName);
    EXPECT_EQ(countOf(text, 'z'), 100000u);
    EXPECT_EQ(countOf(text, 'i'), 100u * 100u);
    for (int i = 1; i <= 100; ++i)
        EXPECT_NE(text.find("r" + std::to_string(i) + " "), std::string::npos) << i;
    const auto [right, page] = RightmostWordAndPageWidth(ex.FileName);
    EXPECT_LT(right, page - 50) << "a letter beyond the right margin";

    // A Cyrillic word of 4,000 letters in a Latin document: its run of T2A fonts is closed and opened
    // again where the cell goes on in the next row.
    TMemoryDataSet cyrillic;
    cyrillic.AddField({"Text", TFieldType::ftString, 255});
    std::string zhe;
    for (int i = 0; i < 4000; ++i)
        zhe += "\xD0\xB6"; // ж
    cyrillic.AddRow({"ab " + zhe + " cd"});
    TExporterLaTeX cyrillicEx;
    cyrillicEx.DataSet = &cyrillic;
    cyrillicEx.Options.SetCodePage(65001);
    cyrillicEx.Options.Languages = "russian,english";
    cyrillicEx.FileName = dir.file("cyrillic.tex");
    cyrillicEx.Execute();
    const std::string cyrillicText = Typeset(cyrillicEx.FileName);
    size_t letters = 0;
    for (size_t at = cyrillicText.find("\xD0\xB6"); at != std::string::npos;
         at = cyrillicText.find("\xD0\xB6", at + 2))
        ++letters;
    EXPECT_EQ(letters, 4000u);
    EXPECT_NE(cyrillicText.find("cd"), std::string::npos);
    EXPECT_LT(RightmostWordAndPageWidth(cyrillicEx.FileName).first, page - 50);

    // A long cell beside a text of 30 letters, a number of 25 characters and a date, which leave the long
    // text less than a fair part of the line: the shorter text wraps too, and the table stays on the page.
    TMemoryDataSet beside;
    beside.AddField({"Key", TFieldType::ftString, 6});
    beside.AddField({"Long", TFieldType::ftString, 4000});
    beside.AddField({"Name", TFieldType::ftString, 40});
    beside.AddField({"Amount", TFieldType::ftFloat});
    beside.AddField({"Day", TFieldType::ftDate});
    beside.AddRow(
        {"one", words + words, "abcdefghi jklmnopqr stuvwxyz01", "-9007199254740992", "12/31/1999"});
    beside.AddRow({"two", "short", "stuvwxyz", "1.5", "1/1/2000"});
    TExporterLaTeX besideEx;
    besideEx.DataSet = &beside;
    besideEx.Options.SetCodePage(65001);
    besideEx.FileName = dir.file("beside.tex");
    besideEx.Execute();
    const std::string besideText = Typeset(besideEx.FileName);
    EXPECT_EQ(countOf(besideText, 'i'), 200u + 1u);
    EXPECT_NE(besideText.find("12/31/1999"), std::string::npos) << besideText;
    EXPECT_LT(RightmostWordAndPageWidth(besideEx.FileName).first, page - 50);
}

} // namespace
} // namespace exporter::test
