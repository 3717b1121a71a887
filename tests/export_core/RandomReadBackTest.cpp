// Seeded random data sets (RandomDataSets.h) written by each exporter and read back by the reader the
// other tests use for the format: Python's csv module (CSV), Python's strict UTF-8 decoder (fixed-width
// text), ElementTree and xmllint (XML, its values and its names), xmllint's HTML parser (HTML), sqlite3
// (SQL), dbfread (dBase), qpdf and pdftotext (PDF), pdflatex and pdftotext (LaTeX). Each format's files are
// read by one reader process (pdflatex and PDF: one per file, few files), and every value is compared
// under the format's rules.

#include "ExportTestSupport.h"
#include "RandomDataSets.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterDBF.h"
#include "export/core/ExporterHTML.h"
#include "export/core/ExporterLaTeX.h"
#include "export/core/ExporterPDF.h"
#include "export/core/ExporterSQL.h"
#include "export/core/ExporterXML.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>

namespace exporter::test {
namespace {

namespace fs = std::filesystem;

// The lines a reader printed, each "<set> <row> <value> ...", by set and row.
using TReadValues = std::map<std::pair<int, int>, std::vector<std::string>>;

TReadValues ParseReadValues(const std::string& output) {
    TReadValues values;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        int set = -1, row = -1;
        if (!(words >> set >> row))
            continue;
        std::vector<std::string>& fields = values[{set, row}];
        for (std::string word; words >> word;)
            fields.push_back(word == "-" ? std::string() : word);
    }
    return values;
}

// Runs a Python script (the system's Python, which has the readers' modules) over the files.
std::string RunPython(const TempDir& dir, const std::string& script, const std::vector<std::string>& files,
                      int& status) {
    WriteFile(dir.file("read.py"), script);
    std::string command = "/usr/bin/python3 " + dir.file("read.py");
    for (const std::string& file : files)
        command += " '" + file + "'";
    return RunCommand(command, status);
}

// xmllint reads every file without an error.
void ExpectXmllintReads(const std::vector<std::string>& files) {
    int status = 0;
    std::string lint = "xmllint --noout";
    for (const std::string& file : files)
        lint += " '" + file + "'";
    const std::string errors = RunCommand(lint, status);
    EXPECT_EQ(status, 0) << errors.substr(0, 2000);
}

// The text with every character f maps (a function of one UTF-8 character's bytes) replaced.
template <class Map> std::string MapCharacters(const std::string& text, Map map) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        out += map(text.substr(i, length));
        i += length;
    }
    return out;
}

// A control character but the tab, CR and LF becomes "?": what the markup formats write for it.
std::string ControlsAsQuestionMarks(const std::string& text, bool keepLineBreaks) {
    return MapCharacters(text, [keepLineBreaks](const std::string& c) {
        const unsigned char b = static_cast<unsigned char>(c[0]);
        if (b < 0x20 && b != '\t' && !(keepLineBreaks && (b == '\r' || b == '\n')))
            return std::string("?");
        return c;
    });
}

// U+FFFE or U+FFFF (no character of XML or HTML) becomes one "?".
std::string NoncharactersFFFEandFFFFAsQuestionMarks(const std::string& text) {
    return MapCharacters(text, [](const std::string& c) {
        return c == "\xEF\xBF\xBE" || c == "\xEF\xBF\xBF" ? std::string("?") : c;
    });
}

// The text with each byte of a malformed UTF-8 sequence replaced by U+FFFD.
std::string MalformedAsReplacementCharacters(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        // The sequence's length and the range its second byte must lie in (no overlong form, surrogate
        // or code point beyond U+10FFFF).
        size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (c < 0x80)
            length = 1;
        else if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        }
        bool wellFormed = length > 0 && i + length <= text.size();
        for (size_t k = 1; wellFormed && k < length; ++k) {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            wellFormed = k == 1 ? next >= low && next <= high : next >= 0x80 && next <= 0xBF;
        }
        if (wellFormed) {
            out.append(text, i, length);
            i += length;
        } else {
            out += Utf8(0xFFFD);
            ++i;
        }
    }
    return out;
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + with.size()))
        text.replace(pos, what.size(), with);
    return text;
}

// Windows-1252 holds U+00A0-U+00FF, ASCII and these 27 characters at 0x80-0x9F; any other is "?".
bool InWindows1252(char32_t c) {
    static const char32_t extra[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                     0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                     0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
    return c < 0x80 || (c >= 0xA0 && c <= 0xFF) ||
           std::find(std::begin(extra), std::end(extra), c) != std::end(extra);
}

char32_t CodePoint(const std::string& c) {
    const unsigned char b = static_cast<unsigned char>(c[0]);
    if (c.size() == 1)
        return b;
    char32_t value = b & (0xFF >> (c.size() + 1));
    for (size_t i = 1; i < c.size(); ++i)
        value = (value << 6) | (static_cast<unsigned char>(c[i]) & 0x3F);
    return value;
}

class RandomReadBack : public ::testing::Test {
protected:
    RandomReadBack() : seed(RandomSeed()), data(seed) {}

    // The sets of a format: each a list of rows.
    std::vector<std::vector<TRandomRow>> Sets(int count, const TRandomPools& pools, int rows) {
        std::vector<std::vector<TRandomRow>> sets;
        for (int i = 0; i < count; ++i)
            sets.push_back(data.Rows(pools, rows));
        return sets;
    }

    // Exports every set with a fresh exporter (set up by setup) into set<n>.<ext>; the files.
    template <class Exporter, class Setup>
    std::vector<std::string> Export(const std::vector<std::vector<TRandomRow>>& sets, const std::string& ext,
                                    bool typed, int textSize, Setup setup) {
        std::vector<std::string> files;
        for (size_t i = 0; i < sets.size(); ++i) {
            TMemoryDataSet ds;
            FillRandomDataSet(ds, sets[i], typed, textSize);
            Exporter ex;
            ex.DataSet = &ds;
            ex.FileName = dir.file("set" + std::to_string(i) + "." + ext);
            setup(ex);
            ex.Execute();
            files.push_back(ex.FileName);
        }
        return files;
    }

    // Every text of every set read back as expected (hex of its UTF-8 bytes) in fields 0 and 1.
    template <class Rule>
    void ExpectTexts(const std::vector<std::vector<TRandomRow>>& sets, const TReadValues& read, Rule rule) {
        for (size_t s = 0; s < sets.size(); ++s)
            for (size_t r = 0; r < sets[s].size(); ++r) {
                const auto found = read.find({int(s), int(r)});
                ASSERT_NE(found, read.end()) << "set " << s << " row " << r;
                ASSERT_GE(found->second.size(), 2u) << "set " << s << " row " << r;
                EXPECT_EQ(found->second[0], Hex(rule(StoredText(sets[s][r].A))))
                    << "set " << s << " row " << r << " A: " << Hex(sets[s][r].A);
                EXPECT_EQ(found->second[1], Hex(rule(StoredText(sets[s][r].B))))
                    << "set " << s << " row " << r << " B: " << Hex(sets[s][r].B);
            }
        size_t rows = 0;
        for (const auto& set : sets)
            rows += set.size();
        EXPECT_EQ(read.size(), rows);
    }

    const std::uint64_t seed;
    TRandomData data;
    TempDir dir;
};

// CSV: every text comes back whole. (Python's csv module refuses a NUL byte, so the sets have none.)
TEST_F(RandomReadBack, CsvThroughPythonsCsvModule) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("python3"))
        GTEST_SKIP() << "python3 is not installed: the CSV read-back needs its csv module";
    const auto sets = Sets(100, TRandomPools(), 4);
    const auto files = Export<TExporterASCII>(sets, "csv", false, 40000, [](TExporterASCII& ex) {
        ex.SetExportType(TExportASCIIType::etCSV);
        ex.CSVComma = ',';
    });
    int status = 0;
    const std::string out =
        RunPython(dir,
                  "import csv, sys\n"
                  "csv.field_size_limit(1 << 20)\n"
                  "for i, name in enumerate(sys.argv[1:]):\n"
                  "    rows = list(csv.reader(open(name, newline='', encoding='utf-8')))\n"
                  "    for r, row in enumerate(rows[1:]):\n"
                  "        print(i, r, *(f.encode().hex() or '-' for f in row[1:]))\n",
                  files, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    ExpectTexts(sets, ParseReadValues(out), [](const std::string& text) { return text; });
}

// Fixed-width text: the file is UTF-8 that Python decodes strictly (a malformed byte was written as one
// U+FFFD), every line is as long as the others in characters, and each column starts where its caption
// does. A cell holds its text on one line (each line break a blank), padded with blanks.
TEST_F(RandomReadBack, FixedWidthTextThroughPython) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("python3"))
        GTEST_SKIP() << "python3 is not installed: the fixed-width text read-back needs it";
    TRandomPools pools;
    pools.Malformed = true;
    const auto sets = Sets(60, pools, 4);
    const auto files = Export<TExporterASCII>(
        sets, "txt", false, 40000, [](TExporterASCII& ex) { ex.SetExportType(TExportASCIIType::etTXT); });
    int status = 0;
    const std::string out = RunPython(
        dir,
        "import re, sys\n"
        "for i, name in enumerate(sys.argv[1:]):\n"
        "    lines = open(name, 'rb').read().decode('utf-8', 'strict').split('\\r\\n')\n"
        "    if lines[-1] == '': lines.pop()\n"
        "    print('lengths', i, *sorted(set(len(line) for line in lines)))\n"
        "    a, b = (m.start() for m in re.finditer(r'\\S+', lines[0]) if m.group() in 'AB')\n"
        "    for r, line in enumerate(lines[1:]):\n"
        "        print(i, r, *(t.rstrip(' ').encode().hex() or '-' for t in (line[a:b], line[b:])))\n",
        files, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    for (size_t i = 0; i < files.size(); ++i) {
        const size_t at = out.find("lengths " + std::to_string(i) + " ");
        ASSERT_NE(at, std::string::npos) << "set " << i;
        const std::string line = out.substr(at, out.find('\n', at) - at);
        EXPECT_EQ(std::count(line.begin(), line.end(), ' '), 2)
            << "set " << i << ": lines of several " << line;
    }
    ExpectTexts(sets, ParseReadValues(out), [](const std::string& text) {
        return MalformedAsReplacementCharacters(
            ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", " "), "\r", " "), "\n", " "));
    });
}

// XML: a control character but the tab, CR and LF is written "?", and so is U+FFFE or U+FFFF (no XML
// character); tabs and line breaks come back as they are (character references). The sets take turns in
// the encodings a caller may name: none (UTF-8), windows-1252 (written in it, a character outside it a
// character reference) and any other name, such as windows-1250 or windows-1251 (written and declared
// UTF-8).
TEST_F(RandomReadBack, XmlThroughElementTreeAndXmllint) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("python3") || !HasCommand("xmllint"))
        GTEST_SKIP() << "python3 and xmllint are needed for the XML read-back";
    static const char* const encodings[][2] = {
        {"", "-"}, {"windows-1252", "windows-1252"}, {"windows-1250", "UTF-8"}, {"windows-1251", "UTF-8"}};
    const auto sets = Sets(100, TRandomPools(), 4);
    size_t next = 0;
    const auto files = Export<TExporterXML>(sets, "xml", false, 40000, [&next](TExporterXML& ex) {
        ex.Options.Encoding = encodings[next++ % std::size(encodings)][0];
    });
    ExpectXmllintReads(files);
    int status = 0;
    const std::string out =
        RunPython(dir,
                  "import re, sys, xml.etree.ElementTree as ET\n"
                  "for i, name in enumerate(sys.argv[1:]):\n"
                  "    head = open(name, 'rb').readline().decode('ascii')\n"
                  "    found = re.search(r'encoding=\"([^\"]*)\"', head)\n"
                  "    print('encoding', i, found.group(1) if found else '-')\n"
                  "    for r, row in enumerate(ET.parse(name).getroot().iter('ROW')):\n"
                  "        print(i, r, *(row.get(k).encode().hex() or '-' for k in 'AB'))\n",
                  files, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_NE(
            out.find("encoding " + std::to_string(i) + " " + encodings[i % std::size(encodings)][1] + "\n"),
            std::string::npos)
            << "set " << i << " named " << encodings[i % std::size(encodings)][0];
    ExpectTexts(sets, ParseReadValues(out), [](const std::string& text) {
        return NoncharactersFFFEandFFFFAsQuestionMarks(ControlsAsQuestionMarks(text, true));
    });
}

// XML names: column names drawn from a pool of names that start with "xml" in any case, the namespace
// names, names with blanks, punctuation, digits in front, other scripts and emoji, in UTF-8 and in
// windows-1252 files. xmllint and ElementTree (expat) read every file; the fields' names are unique and
// name the rows' attributes, each holding its own column's value; a name both readers take (in the file's
// code page) stays as it is, "xmlns" and "xmlns:..." do not (they would declare a namespace), and a byte
// order mark in front of a name is dropped.
TEST_F(RandomReadBack, XmlNamesThroughElementTreeAndXmllint) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("python3") || !HasCommand("xmllint"))
        GTEST_SKIP() << "python3 and xmllint are needed for the XML read-back";
    // A column name, and the name it comes back as in a UTF-8 and in a windows-1252 file ("" where the
    // readers' rules leave a choice: only that it is a name both take and differs from the column name;
    // "=" where it is the column name itself).
    struct TNameCase {
        const char* column;
        const char* utf8;
        const char* windows1252;
    };
    static const TNameCase names[] = {
        {"xmlData", "=", "="},
        {"XMLdata", "=", "="},
        {"xml", "=", "="},
        {"Xml-1.x", "=", "="},
        {"xmlns", "", ""},
        {"XMLNS", "=", "="},
        {"xmlns:x", "", ""},
        {"xmlnsX", "=", "="},
        {"a:b", "", ""},
        {"a b", "", ""},
        {"1st", "", ""},
        {"-x", "", ""},
        {".x", "", ""},
        {"a&b<c>\"d'", "", ""},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "=", "="},
        {"\xC3\x86r\xC3\xB8\xC2\xB7z", "=", "="},
        {"\xE5\x90\x8D\xE5\x89\x8D", "=", ""},
        {"\xD0\xA6\xD0\xB5\xD0\xBD\xD0\xB0", "=", ""},
        {"\xF0\x9F\x98\x80x", "", ""},
        {"\xEF\xBB\xBFId", "Id", "Id"},
        {"", "", ""},
        {"_k", "=", "="},
        {"A", "=", "="},
        {"a", "=", "="},
        {"tab\tname", "", ""},
        {"\xE2\x82\xAC", "", ""},
    };
    constexpr int kSets = 24;
    std::vector<std::vector<size_t>> columns; // per set, the pool's names in column order
    std::vector<std::string> files;
    for (int s = 0; s < kSets; ++s) {
        std::vector<size_t> order(std::size(names));
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        for (size_t i = order.size() - 1; i > 0; --i)
            std::swap(order[i], order[size_t(data.Below(int(i + 1)))]);
        order.resize(size_t(1 + data.Below(8)));
        TMemoryDataSet ds;
        TMemoryDataSet::TRow values;
        for (size_t c = 0; c < order.size(); ++c) {
            ds.AddField({names[order[c]].column, TFieldType::ftString, 20});
            values.emplace_back("v" + std::to_string(c));
        }
        ds.AddRow(values);
        TExporterXML ex;
        ex.DataSet = &ds;
        ex.Options.Encoding = s % 2 ? "windows-1252" : "";
        ex.FileName = dir.file("names" + std::to_string(s) + ".xml");
        ex.Execute();
        files.push_back(ex.FileName);
        columns.push_back(order);
    }
    ExpectXmllintReads(files);
    int status = 0;
    // Per set: the fields' names, then per attribute of the row its name and value, all as hex.
    const std::string out =
        RunPython(dir,
                  "import sys, xml.etree.ElementTree as ET\n"
                  "for i, name in enumerate(sys.argv[1:]):\n"
                  "    root = ET.parse(name).getroot()\n"
                  "    print(i, 0, *(f.get('FieldName').encode().hex() for f in root.iter('FIELD')))\n"
                  "    for row in root.iter('ROW'):\n"
                  "        print(i, 1, *(k.encode().hex() + ':' + v for k, v in row.items()))\n",
                  files, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    const TReadValues read = ParseReadValues(out);
    for (int s = 0; s < kSets; ++s) {
        const auto fields = read.find({s, 0});
        const auto row = read.find({s, 1});
        ASSERT_NE(fields, read.end()) << "set " << s;
        ASSERT_NE(row, read.end()) << "set " << s;
        const std::vector<size_t>& order = columns[size_t(s)];
        ASSERT_EQ(fields->second.size(), order.size()) << "set " << s;
        ASSERT_EQ(row->second.size(), order.size()) << "set " << s;
        std::vector<std::string> unique = fields->second;
        std::sort(unique.begin(), unique.end());
        EXPECT_EQ(std::unique(unique.begin(), unique.end()), unique.end()) << "set " << s << ": names repeat";
        for (size_t c = 0; c < order.size(); ++c) {
            const TNameCase& name = names[order[c]];
            const std::string& got = fields->second[c];
            EXPECT_NE(std::find(row->second.begin(), row->second.end(), got + ":v" + std::to_string(c)),
                      row->second.end())
                << "set " << s << " column " << c << ": no attribute " << got << " holding its value";
            const std::string expected = s % 2 ? name.windows1252 : name.utf8;
            if (expected == "=")
                EXPECT_EQ(got, Hex(name.column)) << "set " << s << " column " << c;
            else if (!expected.empty())
                EXPECT_EQ(got, Hex(expected)) << "set " << s << " column " << c << ": " << name.column;
            else
                EXPECT_NE(got, Hex(name.column)) << "set " << s << " column " << c << ": " << name.column;
        }
    }
}

// HTML: a line break is a "<br>" (no text), another control character but the tab "?", as is U+FFFE or
// U+FFFF, an empty cell "&nbsp;".
TEST_F(RandomReadBack, HtmlThroughXmllintsHtmlParser) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("python3") || !HasCommand("xmllint"))
        GTEST_SKIP() << "python3 and xmllint are needed for the HTML read-back";
    const auto sets = Sets(60, TRandomPools(), 4);
    const auto files = Export<TExporterHTML>(sets, "html", false, 40000, [](TExporterHTML&) {});
    // xmllint parses every page and writes each cell back out as markup; Python undoes that markup.
    std::string command = "for f in";
    for (const std::string& file : files)
        command += " '" + file + "'";
    command += "; do echo '@@page'; xmllint --html --xpath '//td' \"$f\"; done";
    int status = 0;
    const std::string cells = RunCommand(command, status);
    ASSERT_EQ(status, 0) << cells.substr(0, 2000);
    WriteFile(dir.file("cells.txt"), cells);
    const std::string out =
        RunPython(dir,
                  "import html, re, sys\n"
                  "pages = open(sys.argv[1], encoding='utf-8').read().split('@@page\\n')[1:]\n"
                  "for i, page in enumerate(pages):\n"
                  "    cells = re.findall(r'<td[^>]*>(.*?)</td>', page, re.S)[3:]\n"
                  "    texts = [html.unescape(re.sub(r'<br */?>', '', c)) for c in cells]\n"
                  "    for r in range(len(texts) // 3):\n"
                  "        print(i, r, *(t.encode().hex() or '-' for t in texts[3 * r + 1:3 * r + 3]))\n",
                  {dir.file("cells.txt")}, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    ExpectTexts(sets, ParseReadValues(out), [](const std::string& text) {
        const std::string shown = NoncharactersFFFEandFFFFAsQuestionMarks(ControlsAsQuestionMarks(
            ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", ""), "\r", ""), "\n", ""), false));
        return shown.empty() ? Utf8(0xA0) : shown;
    });
}

// SQL: every script runs in sqlite3 and gives back each value: a NUL is dropped (no engine's text holds
// it), and the sqlite3 shell reads a CR LF inside a literal as LF. Numbers come back as the same double,
// dates as their text.
TEST_F(RandomReadBack, SqlThroughSqlite3) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("sqlite3"))
        GTEST_SKIP() << "sqlite3 is not installed: the SQL read-back needs it";
    TRandomPools pools;
    pools.Nul = true;
    const auto sets = Sets(60, pools, 4);
    std::string script, query;
    for (size_t i = 0; i < sets.size(); ++i) {
        TMemoryDataSet ds;
        FillRandomDataSet(ds, sets[i], true);
        TExporterSQL ex;
        ex.DataSet = &ds;
        ex.TableName = "s" + std::to_string(i);
        ex.CreateTable = true;
        std::ostringstream out;
        ex.ExportToStream(out);
        script += out.str();
        query +=
            std::string(i ? " union all " : "") + "select " + std::to_string(i) +
            ", K - 1000, coalesce(nullif(lower(hex(A)), ''), '-'), "
            "coalesce(nullif(lower(hex(B)), ''), '-'), ieee754_mantissa(F), ieee754_exponent(F), D from " +
            ex.TableName;
    }
    WriteFile(dir.file("sets.sql"), script);
    WriteFile(dir.file("query.sql"), ".separator ' '\n" + query + ";\n");
    const std::string db = dir.file("sets.sqlite");
    int status = 0;
    const std::string run =
        RunCommand("sqlite3 -batch '" + db + "' < '" + dir.file("sets.sql") + "'", status);
    ASSERT_EQ(status, 0) << run.substr(0, 2000);
    const std::string out =
        RunCommand("sqlite3 -batch '" + db + "' < '" + dir.file("query.sql") + "'", status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    const TReadValues read = ParseReadValues(out);
    ExpectTexts(sets, read, [](const std::string& text) {
        std::string kept;
        for (char c : text)
            if (c != '\0')
                kept += c;
        return ReplaceAll(kept, "\r\n", "\n");
    });
    for (size_t s = 0; s < sets.size(); ++s)
        for (size_t r = 0; r < sets[s].size(); ++r) {
            const auto found = read.find({int(s), int(r)});
            if (found == read.end() || found->second.size() < 5)
                continue;
            const TRandomRow& row = sets[s][r];
            // The stored double exactly, as mantissa and power of two (sqlite3's own printing of 17 digits
            // is not exact).
            const double value = std::ldexp(double(std::strtoll(found->second[2].c_str(), nullptr, 10)),
                                            std::atoi(found->second[3].c_str()));
            EXPECT_EQ(value, row.F) << "set " << s << " row " << r << ": " << row.NumberText() << " read "
                                    << found->second[2] << " x 2^" << found->second[3];
            EXPECT_EQ(found->second[4], row.DateText()) << "set " << s << " row " << r;
        }
}

// dBase: a text field holds the text in Windows-1252 ("?" for any other character), cut to the field's
// length; dbfread drops trailing blanks. A number comes back as the same double to the field's width
// (its decimals, else fewer, else the exponent form; the largest doubles stay finite) and a date as its
// day. The five characters that Windows-1252 leaves undefined (U+0081, ...) are "?" like any other
// character outside it.
TEST_F(RandomReadBack, DbaseThroughDbfread) {
    SCOPED_TRACE(SeedTrace(seed));
    int status = 0;
    RunCommand("/usr/bin/python3 -c 'import dbfread'", status);
    if (status != 0)
        GTEST_SKIP() << "dbfread (package python3-dbfread) is not installed";
    const auto sets = Sets(60, TRandomPools(), 4);
    constexpr int kLength = 254;
    const auto files = Export<TExporterDBF>(sets, "dbf", true, kLength, [](TExporterDBF& ex) {
        ex.DefaultFloatSize = 24;
        ex.DefaultFloatDecimal = 4;
    });
    const std::string out =
        RunPython(dir,
                  "import sys, dbfread\n"
                  "for i, name in enumerate(sys.argv[1:]):\n"
                  "    for r in dbfread.DBF(name):\n"
                  "        print(i, r['K'] - 1000, *((r[k] or '').encode().hex() or '-' for k in 'AB'),\n"
                  "              repr(r['F']), r['D'].isoformat() if r['D'] else '-')\n",
                  files, status);
    ASSERT_EQ(status, 0) << out.substr(0, 2000);
    const TReadValues read = ParseReadValues(out);
    ExpectTexts(sets, read, [](const std::string& text) {
        std::string field;
        size_t chars = 0;
        MapCharacters(text, [&](const std::string& c) {
            if (chars++ < size_t(kLength))
                field += InWindows1252(CodePoint(c)) ? c : "?";
            return std::string();
        });
        while (!field.empty() && (field.back() == ' ' || field.back() == '\0'))
            field.pop_back();
        return field;
    });
    for (size_t s = 0; s < sets.size(); ++s)
        for (size_t r = 0; r < sets[s].size(); ++r) {
            const auto found = read.find({int(s), int(r)});
            if (found == read.end() || found->second.size() < 4)
                continue;
            const TRandomRow& row = sets[s][r];
            const double value = std::strtod(found->second[2].c_str(), nullptr);
            EXPECT_TRUE(std::isfinite(value) && (std::fabs(value - row.F) <= 5e-5 ||
                                                 std::fabs(value - row.F) <= std::fabs(row.F) * 1e-9))
                << "set " << s << " row " << r << ": " << row.NumberText() << " read " << found->second[2];
            char day[16];
            std::snprintf(day, sizeof day, "%04d-%02d-%02d", row.Year, row.Month, row.Day);
            EXPECT_EQ(found->second[3], day) << "set " << s << " row " << r;
        }
}

// PDF: qpdf finds no fault and pdftotext reads every page; cells are cut to their columns, so the rows'
// keys (formatted: 1,000) are looked for in order. The sets take turns in the fonts' four encodings.
TEST_F(RandomReadBack, PdfThroughQpdfAndPdftotext) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("qpdf") || !HasCommand("pdftotext"))
        GTEST_SKIP() << "qpdf or pdftotext (packages qpdf, poppler-utils) is not installed";
    const auto sets = Sets(10, TRandomPools(), 30);
    static const TPDFFontEncoding encodings[] = {
        TPDFFontEncoding::poWinAnsiEncoding, TPDFFontEncoding::poStandardEncoding,
        TPDFFontEncoding::poMacRomanEncoding, TPDFFontEncoding::poPDFDocEncoding};
    size_t next = 0;
    const auto files = Export<TExporterPDF>(sets, "pdf", true, 20, [&next](TExporterPDF& ex) {
        const TPDFFontEncoding encoding = encodings[next++ % std::size(encodings)];
        ex.Options.CaptionFont.FontEncoding = encoding;
        ex.Options.DataFont.FontEncoding = encoding;
    });
    for (size_t i = 0; i < files.size(); ++i) {
        int status = 0;
        const std::string check = RunCommand("qpdf --check '" + files[i] + "'", status);
        EXPECT_EQ(status, 0) << "set " << i << ": " << check;
        const std::string text = RunCommand("pdftotext -enc UTF-8 -layout '" + files[i] + "' -", status);
        ASSERT_EQ(status, 0) << "set " << i << ": " << text;
        size_t pos = 0;
        for (size_t r = 0; r < sets[i].size(); ++r) {
            char key[8]; // the integer format's thousands separator: 1,000
            std::snprintf(key, sizeof key, "1,%03zu", r);
            pos = text.find(key, pos);
            EXPECT_NE(pos, std::string::npos) << "set " << i << " row " << r << "\n" << text;
            if (pos == std::string::npos)
                break;
        }
    }
}

// LaTeX: pdflatex sets the document of every set in UTF-8 and in code pages the exporter offers (1251
// with its Cyrillic fonts, 1250). Each set holds a long text (up to 32,767 bytes a cell), so its table
// is set in paragraph columns: every row's key is found, and no word lies beyond the right margin. Slow:
// three sets.
TEST_F(RandomReadBack, LatexThroughPdflatex) {
    SCOPED_TRACE(SeedTrace(seed));
    if (!HasCommand("pdflatex") || !HasCommand("pdftotext"))
        GTEST_SKIP() << "pdflatex or pdftotext (packages texlive-latex-base, poppler-utils) is not installed";
    static const int codePages[] = {65001, 1251, 1250};
    auto sets = Sets(int(std::size(codePages)), TRandomPools(), 12);
    for (auto& set : sets)
        while (set[0].A.size() < 300)
            set[0].A += data.Text(TRandomPools());
    size_t next = 0;
    const auto files = Export<TExporterLaTeX>(
        sets, "tex", true, 40000, [&next](TExporterLaTeX& ex) { ex.Options.SetCodePage(codePages[next++]); });
    for (size_t i = 0; i < files.size(); ++i) {
        SCOPED_TRACE("code page " + std::to_string(codePages[i]));
        const fs::path path(files[i]);
        int status = 0;
        const std::string log = RunCommand("cd '" + path.parent_path().string() +
                                               "' && pdflatex -interaction=nonstopmode -halt-on-error '" +
                                               path.filename().string() + "'",
                                           status);
        EXPECT_EQ(status, 0) << files[i] << "\n" << log.substr(log.size() > 3000 ? log.size() - 3000 : 0);
        fs::path pdf = path;
        pdf.replace_extension(".pdf");
        const std::string text = RunCommand("pdftotext -enc UTF-8 '" + pdf.string() + "' -", status);
        ASSERT_EQ(status, 0) << "set " << i << ": " << text.substr(0, 2000);
        for (size_t r = 0; r < sets[i].size(); ++r) {
            char key[8]; // the integer format's thousands separator: 1,000
            std::snprintf(key, sizeof key, "1,%03zu", r);
            EXPECT_NE(text.find(key), std::string::npos) << "set " << i << " row " << r;
        }
        const auto [right, page] = RightmostWordAndPageWidth(files[i]);
        EXPECT_LT(right, page - 50) << "set " << i << ": a word beyond the right margin";
    }
}

} // namespace
} // namespace exporter::test
