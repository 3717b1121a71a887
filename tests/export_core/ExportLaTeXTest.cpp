#include "ExportTestSupport.h"
#include "RandomDataSets.h"

#include "export/core/ExporterCodePages.h"
#include "export/core/ExporterLaTeX.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <regex>

namespace exporter::test {
namespace {

std::string Export(TExporter& ex) {
    std::ostringstream out;
    ex.ExportToStream(out);
    return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

// Checks what a LaTeX reader needs: environments opened and closed in order, every table row with the
// same number of unescaped "&" as the table's column layout asks for, no bare special character and no
// empty line inside the table. Returns the problems found.
std::string LaTeXStructureProblems(const std::string& text) {
    std::string problems;
    std::vector<std::string> open;
    int columns = -1;
    const std::regex begin(R"(^\\begin\{(\w+)\}(\[l\])?(\{([^}]*)\})?$)");
    const std::regex end(R"(^\\end\{(\w+)\}$)");
    for (const std::string& line : Lines(text)) {
        std::smatch m;
        if (std::regex_match(line, m, begin)) {
            open.push_back(m[1]);
            if (m[1] == "tabular" || m[1] == "longtable") {
                const std::string spec = m[4];
                columns = int(std::count(spec.begin(), spec.end(), '|')) - 1;
            }
            continue;
        }
        if (std::regex_match(line, m, end)) {
            if (open.empty() || open.back() != m[1])
                problems += "unbalanced \\end{" + m[1].str() + "}\n";
            else
                open.pop_back();
            continue;
        }
        if (open.empty() || (open.back() != "tabular" && open.back() != "longtable"))
            continue;
        if (line.empty())
            problems += "empty line inside the table\n";
        if (line == "\\\\" || line == "\\hline" || line == "\\endhead")
            continue;
        int ampersands = 0;
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (c == '\\') {
                ++i; // an escaped character or the start of a command
                continue;
            }
            if (c == '$') {
                const size_t close = line.find('$', i + 1);
                if (close == std::string::npos)
                    problems += "unclosed math in: " + line + "\n";
                i = close == std::string::npos ? line.size() : close;
                continue;
            }
            if (c == '&')
                ++ampersands;
            else if (std::string("#%^_~").find(c) != std::string::npos)
                problems += std::string("bare ") + c + " in: " + line + "\n";
        }
        if (ampersands != columns - 1)
            problems += "row with " + std::to_string(ampersands + 1) + " cells: " + line + "\n";
    }
    for (const std::string& name : open)
        problems += "unclosed " + name + "\n";
    return problems;
}

class LaTeXExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Price", TFieldType::ftFloat});
        ds.AddRow({"alpha", "12", "1234.5"});
        ds.AddRow({"50% & $5", "7", std::nullopt});
        ex.DataSet = &ds;
        ex.Options.SetCodePage(1252);
    }
    TMemoryDataSet ds;
    TExporterLaTeX ex;
};

TEST_F(LaTeXExport, DocumentWithOneRuledTable) {
    ex.Header.Add("Report");
    ex.Footer.Add("End");
    ex.Preambula.Add("\\usepackage{longtable}");
    ex.Captions.Add("Name=Item_name");
    const std::string tex = Export(ex);
    EXPECT_EQ(tex, "\\documentclass[a4paper]{article}\r\n"
                   "\\usepackage[cp1252]{inputenc}\r\n"
                   "\\usepackage[T1]{fontenc}\r\n"
                   "\\usepackage{longtable}\r\n"
                   "\\usepackage[english]{babel}\r\n"
                   "\\usepackage{longtable}\r\n"
                   "\r\n"
                   "\\begin{document}\r\n"
                   "\r\n"
                   "Report\r\n"
                   "\\par\\bigskip\r\n"
                   "\\begin{longtable}[l]{|l|r|r|}\r\n"
                   "\\hline\r\n"
                   "Item\\_name & Count & Price\r\n"
                   "\\\\\r\n"
                   "\\hline\r\n"
                   "\\endhead\r\n"
                   "alpha & 12 & 1,234.50\r\n"
                   "\\\\\r\n"
                   "\\hline\r\n"
                   "50\\% \\& \\$5 & 7 & \r\n"
                   "\\\\\r\n"
                   "\\hline\r\n"
                   "\\end{longtable}\r\n"
                   "\r\n"
                   "End\r\n"
                   "\\end{document}\r\n");
    EXPECT_EQ(LaTeXStructureProblems(tex), "");
}

TEST_F(LaTeXExport, LaTeX209HasNoPackagesNorPreamble) {
    ex.Options.LaTeXVersion = TLaTeXVersion::LaTeX209;
    ex.Options.DocumentStyle = TLaTeXDocStyle::dsBook;
    ex.Preambula.Add("\\usepackage{longtable}");
    ex.AllowCaptions = false;
    const std::string tex = Export(ex);
    EXPECT_EQ(tex.substr(0, tex.find("\\par")), "\\documentstyle[a4paper]{book}\r\n"
                                                "\\begin{document}\r\n"
                                                "\r\n");
    EXPECT_EQ(LaTeXStructureProblems(tex), "");

    ex.Options.DocumentParams.clear();
    EXPECT_EQ(Export(ex).substr(0, 26), "\\documentstyle{book}\r\n\\beg");
    ex.Options.LaTeXVersion = TLaTeXVersion::LaTeX2e;
    EXPECT_EQ(Export(ex).substr(0, 27), "\\documentclass{book}\r\n\\usep");
}

TEST_F(LaTeXExport, SpecialCharactersAreEscaped) {
    EXPECT_EQ(ex.NormalString("50%"), "50\\%");
    EXPECT_EQ(ex.NormalString("a\\b"), "a$\\backslash$b");
    EXPECT_EQ(ex.NormalString("#$%&_{}"), "\\#\\$\\%\\&\\_\\{\\}");
    EXPECT_EQ(ex.NormalString("a~b^c"), "a\\textasciitilde{}b\\textasciicircum{}c");
    EXPECT_EQ(ex.NormalString("x<y>z"), "x$<$y$>$z");
    EXPECT_EQ(ex.NormalString("one\r\ntwo\nthree\rfour"), "one two three four");
    EXPECT_EQ(ex.NormalString("bell\x07\xFF"), "bell??");
    EXPECT_EQ(ex.NormalString("a--b,,c-d"), "a-{}-b,{},c-d");
    // A text the quick test keeps is one the escaping leaves as it is (cells skip the escaping then):
    // every byte, alone and amid plain ones.
    EXPECT_TRUE(ex.KeepsText("Plain 1.5 3/5/2024 2:07 PM"));
    for (int byte = 0; byte < 256; ++byte)
        for (const std::string& text : {std::string(1, char(byte)), "ab" + std::string(1, char(byte)) + "cd"})
            EXPECT_FALSE(ex.KeepsText(text) && ex.NormalString(text) != text) << byte;
    // Plain runs are looked at sixteen bytes at a time: every byte is found at every place of a block.
    for (int byte = 0; byte < 256; ++byte)
        for (size_t at : {0, 7, 15, 16, 31, 40}) {
            const std::string one(1, char(byte));
            EXPECT_EQ(ex.NormalString(std::string(at, 'x') + one + "yyyyyyyy"),
                      std::string(at, 'x') + ex.NormalString(one) + "yyyyyyyy")
                << byte << " at " << at;
        }

    ds.ClearRows();
    ds.AddRow({"a\\b ~ ^ _ #1 {x} <y>", "1", "2"});
    ds.AddRow({"line one\r\n\r\nline two", "2", "3"});
    ex.Captions.Add("Price=Price & tax %");
    const std::string tex = Export(ex);
    EXPECT_NE(
        tex.find(
            "a$\\backslash$b \\textasciitilde{} \\textasciicircum{} \\_ \\#1 \\{x\\} $<$y$>$ & 1 & 2.00"),
        std::string::npos)
        << tex;
    EXPECT_NE(tex.find("Name & Count & Price \\& tax \\%\r\n"), std::string::npos);
    EXPECT_EQ(LaTeXStructureProblems(tex), "");
}

// A subclass's own escaping is asked for every cell, plain ones too.
class ShoutingLaTeX : public TExporterLaTeX {
public:
    std::string NormalString(const std::string& s) const override { return rtl::UpperCase(s); }
};

TEST_F(LaTeXExport, ASubclassEscapingSeesPlainCellsToo) {
    ShoutingLaTeX shouting;
    EXPECT_FALSE(shouting.KeepsText("plain"));
    TMemoryDataSet odd;
    FillFlagTextCount(odd, "plain");
    shouting.DataSet = &odd;
    EXPECT_NE(Export(shouting).find("PLAIN & A & 7\r\n"), std::string::npos);

    // A subclass's last say on a cell, and an escaping a handler sets, are asked for every cell too.
    MarkedCells<TExporterLaTeX> marking;
    marking.DataSet = &odd;
    EXPECT_NE(Export(marking).find("plain! & a! & 7!\r\n"), std::string::npos);
    ex.DataSet = &odd;
    EscapeInParenthesesOnBegin(ex);
    EXPECT_NE(Export(ex).find("plain & (a) & (7)\r\n"), std::string::npos);
}

// Rows are written in one pass where the general way (which a subclass takes) would give the same bytes:
// random texts of every kind, malformed ones among them, in typed, Boolean, untyped and NULL cells, rows
// long enough to be broken, in UTF-8 and code pages, with and without Cyrillic fonts. (Sets with long
// untyped texts get paragraph columns, which take the general way.)
TEST(LaTeXRows, OnePassGivesTheGeneralWaysBytes) {
    const std::uint64_t seed = RandomSeed();
    SCOPED_TRACE(SeedTrace(seed));
    TRandomData data(seed);
    TRandomPools pools;
    pools.Nul = true;
    pools.Malformed = true;
    pools.Lengths = {255, 1200};
    class GeneralLaTeX : public TExporterLaTeX {};
    for (int set = 0; set < 30; ++set) {
        TMemoryDataSet ds;
        FillMixedRandomDataSet(ds, data, pools, 6, set % 3 == 0);
        for (const auto& [codePage, languages] : {std::pair{65001, "english"},
                                                  {65001, "russian,english"},
                                                  {1252, "english"},
                                                  {1251, "english"},
                                                  {1250, "ukrainian"},
                                                  {866, "english"}}) {
            TExporterLaTeX onePass;
            GeneralLaTeX general;
            for (TExporterLaTeX* ex : {&onePass, static_cast<TExporterLaTeX*>(&general)}) {
                ex->DataSet = &ds;
                ex->Options.SetCodePage(codePage);
                ex->Options.Languages = languages;
            }
            EXPECT_EQ(Export(onePass), Export(general)) << "set " << set << " code page " << codePage;
        }
    }
    // A row is broken by its length in UTF-8, also where its code page takes fewer bytes.
    TMemoryDataSet accents;
    accents.AddField({"A", TFieldType::ftString, 20});
    for (int count : {499, 500, 501})
        for (const std::string tail : {"", "x"}) {
            std::string text;
            for (int i = 0; i < count; ++i)
                text += "\xC3\xA9";
            accents.AddRow({text + tail});
        }
    TExporterLaTeX onePass;
    GeneralLaTeX general;
    for (TExporterLaTeX* ex : {&onePass, static_cast<TExporterLaTeX*>(&general)}) {
        ex->DataSet = &accents;
        ex->Options.SetCodePage(1252);
    }
    const std::string tex = Export(onePass);
    EXPECT_EQ(tex, Export(general));
    EXPECT_NE(tex.find("%\r\n"), std::string::npos);
}

TEST_F(LaTeXExport, UntypedAndBooleanValuesAreEscapedToo) {
    TMemoryDataSet odd;
    odd.AddField({"Flag", TFieldType::ftBoolean});
    odd.AddField({"Other", TFieldType::ftUnknown});
    odd.AddRow({"100%", "a_b"});
    ex.DataSet = &odd;
    const std::string tex = Export(ex);
    EXPECT_NE(tex.find("100\\% & a\\_b\r\n"), std::string::npos) << tex;
    EXPECT_EQ(LaTeXStructureProblems(tex), "");
}

TEST_F(LaTeXExport, WritesAndDeclaresTheChosenCodePage) {
    ds.ClearRows();
    ds.AddRow({"caf\xC3\xA9 \xE2\x82\xAC \xD0\xB6", "1", "1"}); // café € ж
    std::string tex = Export(ex);
    EXPECT_NE(tex.find("\\usepackage[cp1252]{inputenc}\r\n\\usepackage[T1]{fontenc}"), std::string::npos);
    EXPECT_NE(tex.find("caf\xE9 \x80 ? & 1"), std::string::npos);
    // A character the code page lacks is replaced, and the file says so after its end.
    EXPECT_NE(tex.find("\\end{document}\r\n% 1 characters that LaTeX cannot set in this encoding are "
                       "written as \"?\".\r\n"),
              std::string::npos)
        << tex;

    // Cyrillic in Windows-1251, with T2A fonts as the default.
    ex.Options.SetCodePage(1251);
    EXPECT_EQ(ex.Options.CodePage(), 1251);
    tex = Export(ex);
    EXPECT_NE(tex.find("\\usepackage[cp1251]{inputenc}\r\n\\usepackage[T1,T2A]{fontenc}"), std::string::npos);
    EXPECT_NE(tex.find("caf? \x88 \xE6 & 1"), std::string::npos) << tex;

    struct Case {
        int codePage;
        const char* option;
        const char* bytes;
    } cases[] = {{1250, "cp1250", "caf\xE9 \x80 ?"},
                 {1257, "cp1257", "caf\xE9 \x80 ?"},
                 {437, "cp437", "caf\x82 ? ?"},
                 {850, "cp850", "caf\x82 ? ?"},
                 {866, "cp866", "caf? ? \xA6"},
                 {65001, "utf8", "caf\xC3\xA9 \xE2\x82\xAC ?"},
                 {1253, "utf8", "caf\xC3\xA9 \xE2\x82\xAC ?"}}; // unknown: UTF-8, nothing lost
    for (const Case& c : cases) {
        ex.Options.SetCodePage(c.codePage);
        tex = Export(ex);
        EXPECT_NE(tex.find(std::string("\\usepackage[") + c.option + "]{inputenc}"), std::string::npos)
            << c.codePage;
        EXPECT_NE(tex.find(std::string(c.bytes) + " & 1"), std::string::npos) << c.codePage << tex;
    }

    // UTF-8 with a Cyrillic language: T2A is loaded and Cyrillic runs are set in it.
    ex.Options.Languages = "russian,english";
    tex = Export(ex);
    EXPECT_NE(tex.find("\\usepackage[T2A,T1]{fontenc}"), std::string::npos);
    EXPECT_NE(tex.find("caf\xC3\xA9 \xE2\x82\xAC {\\fontencoding{T2A}\\selectfont \xD0\xB6} & 1"),
              std::string::npos)
        << tex;

    ex.Options.SetCodePage(0);
    EXPECT_EQ(ex.Options.CodePage(), rtl::LocaleFacts::Current().CodePage);
    ex.Options.SetCodePage(-3);
    EXPECT_EQ(ex.Options.CodePage(), rtl::LocaleFacts::Current().CodePage);
    EXPECT_EQ(TLaTeXOptions().CodePage(), rtl::LocaleFacts::Current().CodePage);
}

// Every code page the exporters write knows the bytes it leaves unassigned, as Python's codecs do, and
// never writes them: text of every character of the first planes encodes to bytes Python decodes strictly.
TEST(CodePages, WriteOnlyAssignedBytesAsPythonsCodecsDecodeThem) {
    int status = 0;
    RunCommand("python3 -c ''", status);
    if (status != 0)
        GTEST_SKIP() << "python3 is not installed: its codecs are the reference";
    std::string every;
    for (char32_t ch = 1; ch < 0x3000; ++ch) {
        if (ch >= 0xD800 && ch <= 0xDFFF)
            continue;
        if (ch < 0x80)
            every += char(ch);
        else if (ch < 0x800)
            every += {char(0xC0 | (ch >> 6)), char(0x80 | (ch & 0x3F))};
        else
            every += {char(0xE0 | (ch >> 12)), char(0x80 | ((ch >> 6) & 0x3F)), char(0x80 | (ch & 0x3F))};
    }
    TempDir dir;
    for (const auto& [codePage, codec] : {std::pair{437, "cp437"},
                                          {850, "cp850"},
                                          {866, "cp866"},
                                          {1250, "cp1250"},
                                          {1251, "cp1251"},
                                          {1252, "cp1252"},
                                          {1257, "cp1257"},
                                          {10000, "mac_roman"}}) {
        const TSingleByteCharset* const charset = CodePageCharset(codePage);
        ASSERT_NE(charset, nullptr) << codePage;
        std::string table;
        for (int byte = 0; byte < 256; ++byte)
            table += std::to_string(charset->ToUnicode(static_cast<unsigned char>(byte))) + " ";
        WriteFile(dir.file("encoded"), charset->Encode(every));
        // Encode copies runs of ASCII whole: the bytes are those of one character at a time, also for
        // malformed and cut sequences amid and at the ends of ASCII runs.
        for (const std::string& text :
             {every,
              std::string("ab\xC3\xA9"
                          "cd\xFF\xC3"),
              std::string("\xE2\x82\xACx\x80\xE2\x82"), std::string("\xF0\x9F\x98\x80 plain \xD0\xB6")}) {
            std::string oneByOne;
            charset->ForEachByte(text, '?', [&oneByOne](char byte, size_t, size_t) { oneByOne += byte; });
            EXPECT_EQ(charset->Encode(text), oneByOne) << codePage;
        }
        // The character of each byte (0 where the codec has none), then the strict decoding of the text.
        const std::string out =
            RunCommand(std::string("python3 -c \"import sys\n") +
                           "def char(b):\n    try: return ord(bytes([b]).decode('" + codec +
                           "'))\n"
                           "    except UnicodeDecodeError: return 0\n"
                           "print(' '.join(str(char(b)) for b in range(256)) + ' ')\n"
                           "open(sys.argv[1], 'rb').read().decode('" +
                           codec + "')\" " + dir.file("encoded"),
                       status);
        EXPECT_EQ(status, 0) << codec << "\n" << out;
        EXPECT_EQ(out, table + "\n") << codec;
    }
    // The run-time library's Windows-1252 codec, through which dBase, RTF, DIF and XML write, too.
    WriteFile(dir.file("encoded"), rtl::Utf8ToWindows1252(every));
    const std::string out = RunCommand(
        "python3 -c \"import sys; open(sys.argv[1], 'rb').read().decode('cp1252')\" " + dir.file("encoded"),
        status);
    EXPECT_EQ(status, 0) << out;
}

TEST_F(LaTeXExport, RussianAddsTheSwitch) {
    ex.Options.Languages = "russian,english";
    const std::string tex = Export(ex);
    EXPECT_NE(
        tex.find("\\usepackage[russian,english]{babel}\r\n\\providecommand{\\Rus}{\\selectlanguage{russian}}"
                 "\r\n\\begin{document}\r\n\\Rus\r\n\r\n"),
        std::string::npos)
        << tex;
}

TEST_F(LaTeXExport, AbortClosesTheDocumentOnce) {
    ex.Footer.Add("End");
    ex.OnExportedRecord = [](TExporter& sender, int) { sender.Abort(); };
    const std::string tex = Export(ex);
    EXPECT_NE(tex.find("alpha & 12 & 1,234.50\r\n\\\\\r\n\\hline\r\n"
                       "\\hline\r\n\\end{longtable}\r\n\r\n\\end{document}\r\n"),
              std::string::npos)
        << tex;
    EXPECT_EQ(tex.find("End"), std::string::npos);
    EXPECT_EQ(LaTeXStructureProblems(tex), "");

    // An abort that the stop event cancels goes on and ends normally.
    ex.OnExportedRecord = [](TExporter& sender, int recNo) {
        if (recNo == 0)
            sender.Abort();
    };
    ex.OnStopExport = [](TExporter&, bool& canContinue) { canContinue = true; };
    const std::string full = Export(ex);
    EXPECT_NE(full.find("50\\%"), std::string::npos);
    EXPECT_NE(full.find("\\end{longtable}\r\n\r\nEnd\r\n\\end{document}\r\n"), std::string::npos) << full;
    EXPECT_EQ(LaTeXStructureProblems(full), "");
}

TEST_F(LaTeXExport, EmptySourceGivesAnEmptyTable) {
    ds.ClearRows();
    ex.AllowCaptions = false;
    const std::string tex = Export(ex);
    EXPECT_NE(tex.find("\\begin{longtable}[l]{|l|r|r|}\r\n\\hline\r\n\\end{longtable}"), std::string::npos);
    EXPECT_EQ(LaTeXStructureProblems(tex), "");
}

TEST(LaTeXOptions, AssignCopiesAllFive) {
    TLaTeXOptions a, b;
    a.LaTeXVersion = TLaTeXVersion::LaTeX209;
    a.DocumentStyle = TLaTeXDocStyle::dsBook;
    a.DocumentParams = "12pt";
    a.SetCodePage(1250);
    a.Languages = "german";
    b.Assign(a);
    EXPECT_EQ(b.LaTeXVersion, TLaTeXVersion::LaTeX209);
    EXPECT_EQ(b.DocumentStyle, TLaTeXDocStyle::dsBook);
    EXPECT_EQ(b.DocumentParams, "12pt");
    EXPECT_EQ(b.CodePage(), 1250);
    EXPECT_EQ(b.Languages, "german");
}

} // namespace
} // namespace exporter::test
