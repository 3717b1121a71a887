#include "ExportTestSupport.h"

#include "export/core/ExporterHTML.h"
#include "export/core/ExporterMarkup.h"
#include "platform/ini/IniFile.h"
#include "tests/support/WriteFaults.h"

#include <gtest/gtest.h>

#include <map>
#include <sys/resource.h>

namespace exporter::test {
namespace {

namespace fs = std::filesystem;

std::string Export(TExporter& ex) {
    std::ostringstream out;
    ex.ExportToStream(out);
    return out.str();
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

// Runs the HTML parser of xmllint over the text; empty when it reports nothing.
std::string HtmlLintErrors(const std::string& text) {
    TempDir dir;
    WriteFile(dir.file("page.html"), text);
    int status = 0;
    std::string output = RunCommand("xmllint --html --noout " + dir.file("page.html"), status);
    if (status != 0 && output.empty())
        output = "xmllint failed";
    return output;
}

// The text of the n-th cell (from 1), as the HTML parser reads it.
std::string HtmlCellText(const std::string& text, int n) {
    TempDir dir;
    WriteFile(dir.file("page.html"), text);
    int status = 0;
    std::string output = RunCommand("xmllint --html --xpath 'string((//td)[" + std::to_string(n) + "])' " +
                                        dir.file("page.html"),
                                    status);
    EXPECT_EQ(status, 0) << output;
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

// The escaping of the page as its rows write it: into room for the longest result, and no more.
std::string WrittenEscaped(const std::string& text, bool tags) {
    const TExportChangedBytes changed(false, tags);
    const size_t room = ExportReplacedBytesBound(text.size(), "<br>");
    const std::unique_ptr<char[]> out = std::make_unique<char[]>(room);
    const char* const end = ExportWriteReplacedBytes(out.get(), text, changed, "<br>");
    EXPECT_LE(size_t(end - out.get()), room) << text;
    return std::string(out.get(), size_t(end - out.get()));
}

const std::string kHead = "<HTML>\r\n"
                          "<HEAD>\r\n"
                          " <META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
                          " <Title>List</Title>\r\n"
                          "<Style type=\"text/css\">\r\n"
                          "  BODY { background: #333399; color: #FFFFFF;\r\n"
                          "         font-family: Arial;\r\n"
                          "  }\r\n"
                          "  A:link { color: #69EF7D }\r\n"
                          "  A:visited { color: #FF00FF }\r\n"
                          "  A:active { color: #00FF00 }\r\n";
const std::string kCaptionClass = "  .ThRows { \r\n"
                                  "            background-color: #FF0000;\r\n"
                                  "            color: #FFFFFF;\r\n"
                                  "            font-weight: bold; text-align: center;\r\n"
                                  "            font-family: Arial;\r\n"
                                  "  }\r\n";
const std::string kRowClasses = "  .TrRows {\r\n"
                                "            background-color: #007AEC;\r\n"
                                "            color: #FFFFFF;\r\n"
                                "            font-family: Arial;\r\n"
                                "  }\r\n"
                                "  .TrOdd  {\r\n"
                                "            background-color: #006BCE;\r\n"
                                "            color: #FFFFFF;\r\n"
                                "            font-family: Arial;\r\n"
                                "  }\r\n"
                                "</STYLE>\r\n"
                                "</HEAD>\r\n"
                                "<BODY>\r\n";

class HtmlExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddRow({"a<b> & \"c\"", "12"});
        ds.AddRow({"", "7"});
        ds.AddRow({"x\r\ny", "1234"});
        ex.DataSet = &ds;
        ex.Title = "List";
    }
    void FillRows(int rows) {
        ds.ClearRows();
        for (int i = 1; i <= rows; ++i)
            ds.AddRow({"row" + std::to_string(i), std::to_string(i)});
    }
    TMemoryDataSet ds;
    TExporterHTML ex;
};

TEST_F(HtmlExport, PageWithStyleSheetHeaderTableAndFooter) {
    const std::string html = Export(ex);
    EXPECT_EQ(html, kHead + kCaptionClass + kRowClasses +
                        "<br>\r\n"
                        "<Table Border=\"1\" Cellpadding=\"4\" Cellspacing=\"1\">\r\n"
                        "  <tr>\r\n"
                        "    <td class=\"ThRows\">Name</td>\r\n"
                        "    <td class=\"ThRows\">Count</td>\r\n"
                        "  </tr>\r\n"
                        "  <tr>\r\n"
                        "    <td class=\"TrOdd\" align=Left>a&lt;b&gt; &amp; &quot;c&quot;</td>\r\n"
                        "    <td class=\"TrOdd\" align=Right>12</td>\r\n"
                        "  </tr>\r\n"
                        "  <tr>\r\n"
                        "    <td class=\"TrRows\" align=Left>&nbsp;</td>\r\n"
                        "    <td class=\"TrRows\" align=Right>7</td>\r\n"
                        "  </tr>\r\n"
                        "  <tr>\r\n"
                        "    <td class=\"TrOdd\" align=Left>x<br>y</td>\r\n"
                        "    <td class=\"TrOdd\" align=Right>1,234</td>\r\n"
                        "  </tr>\r\n"
                        "</Table>\r\n"
                        "<br>\r\n"
                        "</BODY>\r\n"
                        "</HTML>\r\n");
    EXPECT_EQ(HtmlLintErrors(html), "");

    // A cell's text asked for outside the writing of its row carries its alignment in front; asking
    // changes nothing in the page.
    std::vector<std::string> texts;
    ex.OnBeforeExportRow = [&](TExporter&, TExportRow& row, bool&) {
        texts.push_back(row[0].GetText(true) + "|" + row[1].GetText(true));
    };
    EXPECT_EQ(Export(ex), html);
    EXPECT_EQ(texts, (std::vector<std::string>{" align=Left>a&lt;b&gt; &amp; &quot;c&quot;| align=Right>12",
                                               " align=Left>&nbsp;| align=Right>7",
                                               " align=Left>x<br>y| align=Right>1,234"}));

    // A row far longer than the ones before it is written whole.
    ex.OnBeforeExportRow = nullptr;
    std::string longText, longCell;
    for (int i = 0; i < 3000; ++i) {
        longText += "<\xC3\xA9";
        longCell += "&lt;\xC3\xA9";
    }
    ds.AddRow({longText, "5"});
    ds.AddRow({"", "6"});
    const std::string longHtml = Export(ex);
    EXPECT_NE(longHtml.find("  <tr>\r\n    <td class=\"TrRows\" align=Left>" + longCell +
                            "</td>\r\n    <td class=\"TrRows\" align=Right>5</td>\r\n  </tr>\r\n  <tr>\r\n"
                            "    <td class=\"TrOdd\" align=Left>&nbsp;</td>\r\n"),
              std::string::npos);
    EXPECT_EQ(HtmlLintErrors(longHtml), "");
}

TEST_F(HtmlExport, EmptySourceGivesAPageWithoutTable) {
    ds.ClearRows();
    ex.AllowCaptions = false;
    ex.Header.Add("<h1>Head</h1>");
    const std::string html = Export(ex);
    EXPECT_EQ(html, kHead + kRowClasses +
                        "<br>\r\n"
                        "<h1>Head</h1>\r\n"
                        "<br>\r\n"
                        "</BODY>\r\n"
                        "</HTML>\r\n");
    EXPECT_EQ(HtmlLintErrors(html), "");

    // Every row refused: still one complete page.
    FillRows(2);
    ex.OnBeforeExportRow = [](TExporter&, TExportRow&, bool& accept) { accept = false; };
    EXPECT_EQ(Export(ex), html);
}

TEST_F(HtmlExport, EscapingOfValuesAndCaptions) {
    using namespace std::string_literals;
    // Text, then as the page carries it with tags interpreted and with them copied.
    const struct {
        std::string text, withTags, withoutTags;
    } cases[] = {
        {"", "", ""},
        {"a<b>", "a&lt;b&gt;", "a<b>"},
        {"Meyer, \"Ann\" 12", "Meyer, &quot;Ann&quot; 12", "Meyer, \"Ann\" 12"},
        {"&amp; \"\"", "&amp;amp; &quot;&quot;", "&amp; \"\""},
        {"<i>x</i>\ny", "&lt;i&gt;x&lt;/i&gt;<br>y", "<i>x</i><br>y"},
        // every line break gives one <br>: CR LF, lone CR, lone LF, LF CR, at either end
        {"x\r\ny", "x<br>y", "x<br>y"},
        {"x\ny\nz", "x<br>y<br>z", "x<br>y<br>z"},
        {"x\r\n\r\ny", "x<br><br>y", "x<br><br>y"},
        {"x\ry\n\rz", "x<br>y<br><br>z", "x<br>y<br><br>z"},
        {"\r\nx\r", "<br>x<br>", "<br>x<br>"},
        // control bytes but the tab become "?", DEL stays
        {"bell\x07 tab\t bad\xFF", "bell? tab\t bad?", "bell? tab\t bad?"},
        {"\x00\x01<\x1F\x7F"s, "??&lt;?\x7F", "?\?<?\x7F"},
        // characters beyond ASCII stay; every byte of a malformed sequence becomes "?"
        {"Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x85",
         "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x85",
         "Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80 \xC2\x85"},
        {"a\xC3", "a?", "a?"},
        {"\xC3<\x80&", "?&lt;?&amp;", "?<?&"},
        {"\xC0\x80|\xED\xA0\x80|\xEF\xBF\xBE|\xF4\x90\x80\x80", "??|???|?|????", "??|???|?|????"},
        // the noncharacters U+FFFE and U+FFFF are one "?" each; a cut one is malformed
        {"\xEF\xBF\xBF\xEF\xBF\xBE<\xEF\xBF|\xEF\xBF\xBD", "??&lt;?\?|\xEF\xBF\xBD", "?\?<?\?|\xEF\xBF\xBD"},
        // changed bytes at the ends of the eight-byte words and after long unchanged runs
        {"1234567&12345678\"", "1234567&amp;12345678&quot;", "1234567&12345678\""},
        {"12345678\r\n12345678>", "12345678<br>12345678&gt;", "12345678<br>12345678>"},
        {"\xC3\xA9-234567<\xC3", "\xC3\xA9-234567&lt;?", "\xC3\xA9-234567<?"},
        {std::string(40, 'x') + "\x01" + std::string(9, 'y'),
         std::string(40, 'x') + "?" + std::string(9, 'y'), std::string(40, 'x') + "?" + std::string(9, 'y')},
    };
    for (const auto& c : cases) {
        ex.InterpretTags = true;
        EXPECT_EQ(ex.NormalString(c.text), c.withTags) << c.text;
        EXPECT_EQ(WrittenEscaped(c.text, true), c.withTags) << c.text;
        EXPECT_EQ(ex.KeepsText(c.text), c.withTags == c.text) << c.text;
        ex.InterpretTags = false;
        EXPECT_EQ(ex.NormalString(c.text), c.withoutTags) << c.text;
        EXPECT_EQ(WrittenEscaped(c.text, false), c.withoutTags) << c.text;
        EXPECT_EQ(ex.KeepsText(c.text), c.withoutTags == c.text) << c.text;
    }
    // A changed byte is found at every place of texts of every length up to three blocks of sixteen,
    // also behind tabs and characters beyond ASCII (which are looked at, then kept).
    ex.InterpretTags = true;
    for (size_t size = 1; size <= 40; ++size) {
        for (size_t at = 0; at < size; ++at) {
            for (const std::string& before :
                 {std::string(at, 'x'), std::string(at, '\t'),
                  at >= 2 ? std::string(at - 2, 'x') + "\xC3\xA9" : std::string(at, 'y')}) {
                const std::string after(size - at - 1, 'z');
                EXPECT_EQ(ex.NormalString(before + ">" + after), before + "&gt;" + after)
                    << size << " " << at;
                EXPECT_EQ(WrittenEscaped(before + ">" + after, true), before + "&gt;" + after)
                    << size << " " << at;
                EXPECT_EQ(WrittenEscaped(before + "=" + after, true), before + "=" + after)
                    << size << " " << at;
                EXPECT_FALSE(ex.KeepsText(before + ">" + after)) << size << " " << at;
                EXPECT_TRUE(ex.KeepsText(before + "=" + after)) << size << " " << at;
            }
        }
    }
    // A text the quick test keeps is one the escaping leaves as it is (cells skip the escaping then).
    for (const bool tags : {false, true}) {
        ex.InterpretTags = tags;
        EXPECT_TRUE(ex.KeepsText("Plain 1,234.50 $ 3/5/2024 2:07 PM"));
        EXPECT_TRUE(ex.KeepsText("Z\xC3\xBCrich \xE2\x82\xAC \xF0\x9F\x98\x80")); // well-formed UTF-8 is kept
        for (int byte = 0; byte < 256; ++byte) {
            // alone, as the lead of a two-byte character, as the continuation of one, and at the ends of
            // the eight-byte words of a longer text: the quick test keeps exactly what the escaping leaves
            const std::string b(1, char(byte)), x7(7, 'x');
            for (const std::string& text :
                 {"a" + b + "b", "a" + b + "\xA9", "a\xC3" + b, b + x7 + x7 + "x", x7 + b + x7 + "x",
                  x7 + "x" + b + x7, x7 + "x" + x7 + b, x7 + b + "\xA9" + x7}) {
                EXPECT_EQ(ex.KeepsText(text), ex.NormalString(text) == text) << byte << " " << tags;
                EXPECT_EQ(WrittenEscaped(text, tags), ex.NormalString(text)) << byte << " " << tags;
            }
        }
        // Malformed and overlong sequences and encoded control characters are cleaned.
        for (const char* text : {"a\xC3", "\xC0\x80", "\xC2\x85", "\xE2\x82", "\xED\xA0\x80x"})
            EXPECT_FALSE(ex.KeepsText(text) && ex.NormalString(text) != text) << text;
    }

    ds.ClearRows();
    ds.AddRow({"<script>&amp;\x01x", "1"});
    ex.Captions.Add("Name=Name <&> \"quoted\"");
    ex.Title = "Sales & <costs>";
    const std::string html = Export(ex);
    EXPECT_NE(html.find("<td class=\"ThRows\">Name &lt;&amp;&gt; &quot;quoted&quot;</td>"),
              std::string::npos);
    EXPECT_NE(html.find(">&lt;script&gt;&amp;amp;?x</td>"), std::string::npos);
    // xmllint's HTML parser reads one "?" for each noncharacter.
    ds.AddRow({"a\xEF\xBF\xBE"
               "b\xEF\xBF\xBF"
               "c",
               "2"});
    const std::string nonchars = Export(ex);
    EXPECT_EQ(HtmlLintErrors(nonchars), "");
    EXPECT_EQ(HtmlCellText(nonchars, 5), "a?b?c");
    EXPECT_NE(html.find(" <Title>Sales &amp; &lt;costs&gt;</Title>"), std::string::npos);
    EXPECT_EQ(HtmlLintErrors(html), "");
    EXPECT_EQ(HtmlCellText(html, 1), "Name <&> \"quoted\"");
    EXPECT_EQ(HtmlCellText(html, 3), "<script>&amp;?x");

    // Untyped and Boolean values are escaped like the others.
    TMemoryDataSet odd;
    odd.AddField({"Flag", TFieldType::ftBoolean});
    odd.AddField({"Other", TFieldType::ftUnknown});
    odd.AddRow({"<yes>", "a&b"});
    ex.DataSet = &odd;
    const std::string oddHtml = Export(ex);
    EXPECT_NE(oddHtml.find("align=Center>&lt;yes&gt;</td>"), std::string::npos) << oddHtml;
    EXPECT_NE(oddHtml.find("align=Left>a&amp;b</td>"), std::string::npos);
    EXPECT_EQ(HtmlLintErrors(oddHtml), "");
}

// Rows of cells that keep the defaults are written escaped in one pass; with cell parameters (here ones that
// change nothing) each cell goes through GetText and GetColData. Both give the same page for every kind of
// value: texts to escape, untyped and Boolean values, numbers and dates formatted or unreadable, NULL
// fields, empty texts and a text too long to escape within the row.
TEST_F(HtmlExport, RowsWrittenInOnePassAsCellByCell) {
    TMemoryDataSet mixed;
    mixed.AddField({"Text", TFieldType::ftString, 20});
    mixed.AddField({"Flag", TFieldType::ftBoolean});
    mixed.AddField({"Other", TFieldType::ftUnknown});
    mixed.AddField({"Count", TFieldType::ftInteger});
    mixed.AddField({"Price", TFieldType::ftFloat});
    mixed.AddField({"Day", TFieldType::ftDate});
    const std::string texts[] = {"a<b> & \"c\"",
                                 "",
                                 "x\r\ny\n",
                                 "Z\xC3\xBCrich",
                                 "bad\xFF\x01",
                                 "1234567&12345678\"",
                                 "\xEF\xBF\xBEnon\xEF\xBF\xBF",
                                 std::string(5000, '<') + "\xC3\xA9"};
    const std::string numbers[] = {"12", "-1234567", "x", ""};
    const std::string days[] = {"3/4/2024", "no day", "12/31/1999"};
    int n = 0;
    for (const std::string& text : texts)
        for (const std::string& number : numbers) {
            ++n;
            mixed.AddRow({text, n % 3 ? std::optional<std::string>(text) : std::nullopt, text,
                          n % 5 ? std::optional<std::string>(number) : std::nullopt, number, days[n % 3]});
        }
    ex.DataSet = &mixed;
    ex.Formats.SetNullString("<null> & \"");
    for (const bool tags : {true, false}) {
        ex.InterpretTags = tags;
        ex.OnGetCellParams = nullptr;
        const std::string onePass = Export(ex);
        ex.OnGetCellParams = [](TExporter&, int, int, const std::string&, TExportColAlign&, TExportFont&,
                                TExportColor&) {};
        EXPECT_EQ(onePass, Export(ex)) << tags;
        EXPECT_NE(onePass.find("align=Left>Z\xC3\xBCrich</td>"), std::string::npos);
        EXPECT_NE(onePass.find(tags ? "align=Center>&lt;null&gt; &amp; &quot;</td>"
                                    : "align=Center><null> & \"</td>"),
                  std::string::npos);
    }
}

// A subclass that escapes apostrophes as well.
class ApostropheHTML : public TExporterHTML {
public:
    std::string NormalString(const std::string& s) const override {
        std::string out;
        for (const char c : TExporterHTML::NormalString(s))
            out += c == '\'' ? std::string("&#39;") : std::string(1, c);
        return out;
    }
};

// A subclass with its own last say on every cell (it must be able to override GetColData).
using MarkedHTML = MarkedCells<TExporterHTML, '*'>;

// A subclass's escaping and last say reach every cell: its rows equal those made cell by cell (cell
// parameters that change nothing), texts the quick test would keep included.
TEST(HtmlSubclass, OverriddenNormalStringAndGetColDataReachEveryCell) {
    TMemoryDataSet data;
    data.AddField({"Text", TFieldType::ftString, 20});
    data.AddField({"Flag", TFieldType::ftBoolean});
    data.AddField({"Count", TFieldType::ftInteger});
    data.AddRow({"x<y", "it's", "12"});
    data.AddRow({"it's", "True", "7"});
    data.AddRow({"plain", std::nullopt, ""});
    const auto run = [&](TExporterHTML& ex, bool cellByCell) {
        ex.DataSet = &data;
        ex.OnGetCellParams = nullptr;
        if (cellByCell)
            ex.OnGetCellParams = [](TExporter&, int, int, const std::string&, TExportColAlign&, TExportFont&,
                                    TExportColor&) {};
        return Export(ex);
    };
    ApostropheHTML apostrophes;
    const std::string escaped = run(apostrophes, false);
    EXPECT_EQ(escaped, run(apostrophes, true));
    EXPECT_NE(escaped.find("align=Left>x&lt;y</td>"), std::string::npos) << escaped;
    EXPECT_NE(escaped.find("align=Left>it&#39;s</td>"), std::string::npos) << escaped;
    EXPECT_NE(escaped.find("align=Center>it&#39;s</td>"), std::string::npos) << escaped;
    EXPECT_EQ(escaped.find("it's"), std::string::npos) << escaped;
    EXPECT_EQ(HtmlLintErrors(escaped), "");
    EXPECT_EQ(HtmlCellText(escaped, 5), "it's"); // after the three captions

    MarkedHTML marked;
    const std::string markedPage = run(marked, false);
    EXPECT_EQ(markedPage, run(marked, true));
    EXPECT_NE(markedPage.find("align=Left>x&lt;y*</td>"), std::string::npos) << markedPage;
    EXPECT_NE(markedPage.find("align=Right>12*</td>"), std::string::npos) << markedPage;
    EXPECT_NE(markedPage.find("align=Center>&nbsp;*</td>"), std::string::npos) << markedPage;
    EXPECT_EQ(HtmlLintErrors(markedPage), "");
}

TEST_F(HtmlExport, CellParametersBecomeInlineStyles) {
    ex.OnGetCellParams = [](TExporter&, int recNo, int colNo, const std::string&, TExportColAlign& align,
                            TExportFont& font, TExportColor& background) {
        if (recNo == 0 && colNo == 0) {
            align = TExportColAlign::ecaCenter;
            background = 0x0000FF;
            font.Name = "courier";
            font.Size = 12;
            font.Color = 0x00FF00;
            font.Bold = true;
            font.Italic = true;
            font.Underline = true;
        }
        if (recNo == 1 && colNo == 1)
            font.Name = "ARIAL"; // the same font in other case: no declaration
    };
    ex.HTMLOptions.TextFont.Bold = true;
    const std::string html = Export(ex);
    EXPECT_NE(html.find("<td class=\"TrOdd\" align=Center style=\"background-color: #FF0000; font-family: "
                        "courier; font-size: 12pt; color: #00FF00; font-style: italic; text-decoration: "
                        "underline\">a&lt;b&gt;"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("<td class=\"TrRows\" align=Right>7</td>"), std::string::npos);
    EXPECT_EQ(HtmlLintErrors(html), "");

    ex.HTMLOptions.TextFont.Bold = false;
    ex.OnGetCellParams = [](TExporter&, int, int, const std::string&, TExportColAlign&, TExportFont& font,
                            TExportColor&) { font.Bold = true; };
    EXPECT_NE(Export(ex).find("align=Right style=\"font-weight: bold\">12</td>"), std::string::npos);
}

TEST_F(HtmlExport, StyleSheetFollowsTheOptions) {
    ex.HTMLOptions.DefaultOptions = {TDefaultOption::doFontName};
    ex.HTMLOptions.TextFont.Size = 11;
    ex.HTMLOptions.BackgroundFileName = "back.png";
    ex.TableOptions.BorderColor = 0x000080;
    ex.AllowCaptions = false;
    const std::string html = Export(ex);
    EXPECT_NE(html.find("  BODY { background: #333399; color: #FFFFFF;\r\n"
                        "         font-size: 11pt;\r\n"
                        "background-image: url(back.png)\r\n"
                        "  }\r\n"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("font-family"), std::string::npos);
    EXPECT_EQ(html.find(".ThRows"), std::string::npos);
    EXPECT_NE(html.find("  .TrBC { background-color: #800000 }\r\n</STYLE>"), std::string::npos);
    // The border wrapper table is closed after the data table.
    EXPECT_NE(html.find("<Table cellspacing=0 cellpadding=0 class=\"TrBC\">\r\n<tr><td>\r\n<Table Border="),
              std::string::npos);
    EXPECT_NE(html.find("</Table>\r\n</td></tr>\r\n</Table>\r\n<br>\r\n</BODY>"), std::string::npos);
    EXPECT_EQ(HtmlLintErrors(html), "");

    // A table background file that exists replaces the row background colours.
    TempDir dir;
    WriteFile(dir.file("table.png"), "png");
    ex.TableOptions.BackgroundFileName = dir.file("table.png");
    const std::string withBackground = Export(ex);
    EXPECT_NE(withBackground.find(" Background=\"" + dir.file("table.png") + "\">"), std::string::npos);
    EXPECT_EQ(withBackground.find("background-color: #007AEC"), std::string::npos);
}

TEST_F(HtmlExport, TemplatesAndSetters) {
    EXPECT_EQ(ColorToHTML(0x0000FF), "#FF0000");
    EXPECT_EQ(ColorToHTML(0xEC7A00), "#007AEC");
    EXPECT_EQ(ColorToHTML(0xff0000), "#0000FF");
    EXPECT_EQ(ex.HTMLTemplate(), THTMLTemplate::htClassic);

    ex.SetHTMLTemplate(THTMLTemplate::htMS_Money);
    EXPECT_EQ(ex.HTMLOptions.BackgroundColor, 0xFFFFFFu);
    EXPECT_EQ(ex.TableOptions.HeadersRowBgColor, 0xB5C6CEu);
    EXPECT_EQ(ex.TableOptions.OddRowBgColor, 0xF0FBFFu);
    ex.SetHTMLTemplate(THTMLTemplate::htSimple);
    EXPECT_EQ(ex.HTMLOptions.TextFont.Color, 0x804000u);
    EXPECT_EQ(ex.TableOptions.HeadersRowBgColor, 0x996633u);

    // The same template again does not re-apply; htCustom keeps the colours; the border colour, font size
    // and file names are never touched.
    ex.TableOptions.HeadersRowBgColor = 1;
    ex.TableOptions.BorderColor = 2;
    ex.HTMLOptions.TextFont.Size = 14;
    ex.HTMLOptions.TextFont.Name = "Verdana";
    ex.SetHTMLTemplate(THTMLTemplate::htSimple);
    EXPECT_EQ(ex.TableOptions.HeadersRowBgColor, 1u);
    ex.SetHTMLTemplate(THTMLTemplate::htCustom);
    EXPECT_EQ(ex.TableOptions.HeadersRowBgColor, 1u);
    ex.SetHTMLTemplate(THTMLTemplate::htMurky);
    EXPECT_EQ(ex.TableOptions.HeadersRowBgColor, 0x93933Au);
    EXPECT_EQ(ex.TableOptions.TableFontColor, 0x60E7FFu);
    EXPECT_EQ(ex.HTMLOptions.TextFont.Name, "Arial");
    EXPECT_EQ(ex.HTMLOptions.TextFont.Size, 14);
    EXPECT_EQ(ex.TableOptions.BorderColor, 2u);

    ex.SetMaxRecords(-5);
    EXPECT_EQ(ex.MaxRecords(), 0);
    ex.SetMaxRecords(3);
    EXPECT_EQ(ex.MaxRecords(), 3);

    EXPECT_EQ(NumberedFileName("report.html", 3, 2), "report03.html");
    EXPECT_EQ(NumberedFileName("report.html", 123, 2), "report123.html");
    EXPECT_EQ(NumberedFileName("/data/x.html/list.html", 1, 2), "/data/x.html/list01.html");
    EXPECT_EQ(NumberedFileName("list", 7, 3), "list007");

    // Assign copies what it should and no more.
    THTMLOptions page;
    page.BackgroundColor = 5;
    page.TextFont.Name = "Tahoma";
    page.AdvancedAttributes.Add("x");
    page.DefaultOptions.clear();
    THTMLOptions pageCopy;
    pageCopy.Assign(page);
    EXPECT_EQ(pageCopy.BackgroundColor, 5u);
    EXPECT_EQ(pageCopy.TextFont.Name, "Tahoma");
    EXPECT_EQ(pageCopy.AdvancedAttributes.Count(), 1);
    EXPECT_EQ(pageCopy.DefaultOptions.count(TDefaultOption::doFontSize), 1u);
    TTableOptions table;
    table.CellPadding = 9;
    table.BackgroundFileName = "t.png";
    TTableOptions tableCopy;
    tableCopy.Assign(table);
    EXPECT_EQ(tableCopy.CellPadding, 9);
    EXPECT_EQ(tableCopy.BackgroundFileName, "");
}

TEST_F(HtmlExport, TemplateFileRoundTrip) {
    TempDir dir;
    const std::string file = dir.file("colours.htf");
    ex.SetHTMLTemplate(THTMLTemplate::htOlive);
    ex.TableOptions.BorderColor = 0x123456;
    ex.HTMLOptions.TextFont.Name = "Verdana";
    ex.SaveTemplateToFile(file);
    EXPECT_EQ(ReadFile(file), "[HTML options]\r\n"
                              "Background-color=16777215\r\n"
                              "Font-color=6250591\r\n"
                              "Font-family=Verdana\r\n"
                              "LinkColor=255\r\n"
                              "VLinkColor=8388736\r\n"
                              "ALinkColor=16711680\r\n"
                              "\r\n"
                              "[Table options]\r\n"
                              "Header-bgcolor=9488591\r\n"
                              "Header-color=0\r\n"
                              "Table-color=6250591\r\n"
                              "Even_row-bgcolor=16777215\r\n"
                              "Odd_row-bgcolor=13631487\r\n"
                              "Border-color=1193046\r\n");

    TExporterHTML other;
    other.DataSet = &ds;
    other.Title = ex.Title;
    other.LoadTemplateFromFile(file);
    EXPECT_EQ(other.HTMLTemplate(), THTMLTemplate::htClassic);
    EXPECT_EQ(other.HTMLOptions.TextFont.Name, "Verdana");
    EXPECT_EQ(other.HTMLOptions.TextFont.Color, 0x5F605Fu);
    EXPECT_EQ(other.HTMLOptions.LinkColor, 0x0000FFu);
    EXPECT_EQ(other.TableOptions.HeadersRowBgColor, 0x90C8CFu);
    EXPECT_EQ(other.TableOptions.OddRowBgColor, 0xCFFFFFu);
    EXPECT_EQ(other.TableOptions.BorderColor, 0x123456u);
    EXPECT_EQ(Export(other), [&] {
        ex.SetHTMLTemplate(THTMLTemplate::htCustom);
        return Export(ex);
    }());

    // Missing keys keep the current values; saving replaces keys and keeps other lines.
    WriteFile(file, "[Other]\r\nKeep=1\r\n[Table options]\r\nBorder-color=255\r\n");
    TExporterHTML partial;
    partial.LoadTemplateFromFile(file);
    EXPECT_EQ(partial.TableOptions.BorderColor, 255u);
    EXPECT_EQ(partial.HTMLOptions.BackgroundColor, 0x993333u);
    partial.SaveTemplateToFile(file);
    ini::IniFile saved(file);
    EXPECT_EQ(saved.ReadString("Other", "Keep", ""), "1");
    EXPECT_EQ(saved.ReadInteger("HTML options", "Background-color", 0), 0x993333);
}

TEST_F(HtmlExport, SingleFileExecuteWithExternalStyleSheet) {
    TempDir dir;
    ex.FileName = dir.file("list.html");
    ex.UsingCSS = TUsingCSS::usExternal;
    ex.Execute();
    const std::string html = ReadFile(dir.file("list.html"));
    EXPECT_NE(html.find(" <link rel=\"stylesheet\" type=\"text/css\" href=\"list.css\">\r\n</HEAD>"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("<Style"), std::string::npos);
    const std::string css = ReadFile(dir.file("list.css"));
    EXPECT_EQ(css.substr(0, 47), "  BODY { background: #333399; color: #FFFFFF;\r\n");
    EXPECT_NE(css.find("  .TrOdd  {\r\n"), std::string::npos);
    EXPECT_EQ(HtmlLintErrors(html), "");
    EXPECT_EQ(ex.CSSFileName, "");

    // An existing style sheet is kept when overwriting is off.
    WriteFile(dir.file("list.css"), "mine");
    ex.OverwriteCSSFile = false;
    ex.Execute();
    EXPECT_EQ(ReadFile(dir.file("list.css")), "mine");
    ex.OverwriteCSSFile = true;
    ex.Execute();
    EXPECT_EQ(ReadFile(dir.file("list.css")), css);

    // Nothing but the page and its style sheet is left behind.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"list.css", "list.html"}));

    // To a caller's stream an external style sheet writes nothing.
    EXPECT_EQ(Export(ex).find("<link"), std::string::npos);
}

TEST_F(HtmlExport, MultiFileExportWithNavigation) {
    TempDir dir;
    FillRows(5);
    ex.FileName = dir.file("list.html");
    ex.SetMaxRecords(2);
    ex.Header.Clear();
    ex.Header.Add("HEAD");
    ex.Footer.Clear();
    ex.Footer.Add("FOOT");
    ex.Execute();

    EXPECT_EQ(ReadFile(dir.file("list.html")), "");
    const std::string pages[] = {ReadFile(dir.file("list01.html")), ReadFile(dir.file("list02.html")),
                                 ReadFile(dir.file("list03.html"))};
    EXPECT_FALSE(fs::exists(dir.file("list04.html")));
    const int rows[] = {2, 2, 1};
    for (int i = 0; i < 3; ++i) {
        const std::string& page = pages[i];
        EXPECT_EQ(Count(page, "  <tr>\r\n    <td class=\"Tr"), rows[i]) << page;
        EXPECT_EQ(HtmlLintErrors(page), "");
        // One bar right after <BODY> (before the header), one after the footer (before </BODY>).
        EXPECT_NE(page.find("<BODY>\r\n<Table Border=\"0\" Cellpadding=\"4\" Cellspacing=\"1\">"),
                  std::string::npos);
        EXPECT_NE(page.find("</Table>\r\n<br>\r\nHEAD\r\n"), std::string::npos);
        EXPECT_NE(page.find("FOOT\r\n<br>\r\n<Table Border=\"0\""), std::string::npos);
        EXPECT_NE(page.find("</Table>\r\n</BODY>\r\n</HTML>\r\n"), std::string::npos);
    }
    // Rows alternate inside each file; the last of an odd-sized file is odd.
    EXPECT_NE(pages[1].find("<td class=\"TrOdd\" align=Left>row3</td>"), std::string::npos);
    EXPECT_NE(pages[1].find("<td class=\"TrRows\" align=Left>row4</td>"), std::string::npos);
    EXPECT_NE(pages[2].find("<td class=\"TrOdd\" align=Left>row5</td>"), std::string::npos);

    const std::string bar = "<Table Border=\"0\" Cellpadding=\"4\" Cellspacing=\"1\">\r\n"
                            "  <tr>\r\n"
                            "    <td><a href=\"list01.html\">First</a></td>\r\n"
                            "    <td><a href=\"list03.html\">Prior</a></td>\r\n"
                            "    <td><b>01</b></td>\r\n"
                            "    <td><a href=\"list02.html\">02</a></td>\r\n"
                            "    <td><a href=\"list03.html\">03</a></td>\r\n"
                            "    <td><a href=\"list02.html\">Next</a></td>\r\n"
                            "    <td><a href=\"list03.html\">Last</a></td>\r\n"
                            "  </tr>\r\n"
                            "</Table>\r\n";
    EXPECT_NE(pages[0].find("<BODY>\r\n" + bar + "<br>\r\nHEAD\r\n"), std::string::npos) << pages[0];
    EXPECT_NE(pages[0].find("FOOT\r\n<br>\r\n" + bar + "</BODY>"), std::string::npos) << pages[0];
    EXPECT_NE(pages[2].find("<td><a href=\"list01.html\">Next</a></td>"), std::string::npos);
    EXPECT_NE(pages[2].find("<td><b>03</b></td>"), std::string::npos);

    // The first numbered page is what is shown.
    struct RecordingShell : TExportShell {
        std::string opened;
        void Open(const std::string& name) override { opened = name; }
        void Print(const std::string&) override {}
    } shell;
    ex.Shell = &shell;
    ex.ShowFile = true;
    ex.Execute();
    EXPECT_EQ(shell.opened, dir.file("list01.html"));
}

TEST_F(HtmlExport, MultiFileIndexPageAndSingleFileWithoutBar) {
    TempDir dir;
    FillRows(3);
    ex.FileName = dir.file("list.html");
    ex.SetMaxRecords(2);
    ex.GenerateIndex = true;
    ex.Navigation.OnTop = false;
    ex.Navigation.IndexLinkTemplate = "Part ";
    ex.UsingCSS = TUsingCSS::usExternal;
    ex.Execute();
    const std::string index = ReadFile(dir.file("list.html"));
    EXPECT_EQ(index, "<HTML>\r\n"
                     "<HEAD>\r\n"
                     " <META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n"
                     " <link rel=\"stylesheet\" type=\"text/css\" href=\"list01.css\">\r\n"
                     "</HEAD>\r\n"
                     "<BODY>\r\n"
                     "<UL>\r\n"
                     "<LI>\r\n"
                     "<a href=\"list01.html\">Part 01</a>\r\n"
                     "<LI>\r\n"
                     "<a href=\"list02.html\">Part 02</a>\r\n"
                     "</UL>\r\n"
                     "</BODY>\r\n"
                     "</HTML>\r\n");
    EXPECT_EQ(HtmlLintErrors(index), "");
    EXPECT_TRUE(fs::exists(dir.file("list01.css")));
    const std::string page = ReadFile(dir.file("list01.html"));
    EXPECT_NE(page.find("<br>\r\n<br>\r\n<Table Border=\"0\""), std::string::npos) << page;
    EXPECT_NE(page.find("    <td><a href=\"list.html\">Index</a></td>\r\n"), std::string::npos);
    EXPECT_EQ(Count(page, "Cellpadding=\"4\" Cellspacing=\"1\">"), 2); // data table and bottom bar
    EXPECT_EQ(HtmlLintErrors(page), "");

    // A single page file gets no bar.
    TempDir one;
    FillRows(2);
    ex.FileName = one.file("list.html");
    ex.GenerateIndex = false;
    ex.Navigation.OnTop = true;
    ex.UsingCSS = TUsingCSS::usInternal;
    ex.Execute();
    const std::string single = ReadFile(one.file("list01.html"));
    EXPECT_EQ(single.find("Cellpadding=\"4\" Cellspacing=\"1\">\r\n  <tr>\r\n    <td><a"), std::string::npos);
    EXPECT_EQ(Count(single, "<Table"), 1);
    EXPECT_FALSE(fs::exists(one.file("list02.html")));
    // Without an index page no empty file is left under the export's own name.
    EXPECT_FALSE(fs::exists(one.file("list.html")));

    // Written to a caller's stream, a multi-file export stays one page.
    FillRows(5);
    const std::string html = Export(ex);
    EXPECT_EQ(Count(html, "<HTML>"), 1);
    EXPECT_EQ(Count(html, "  <tr>\r\n    <td class=\"Tr"), 5);
}

TEST(HtmlLinks, StyleSheetLinksAreRelativeWithinOneFolderTree) {
    EXPECT_EQ(HTMLLinkTarget("/srv/site/list.css", "/srv/site/list.html"), "list.css");
    EXPECT_EQ(HTMLLinkTarget("/srv/site/css/my style.css", "/srv/site/pages/list.html"),
              "../css/my%20style.css");
    EXPECT_EQ(HTMLLinkTarget("/etc/site#1.css", "/srv/site/list.html"), "/etc/site%231.css");
    EXPECT_EQ(HTMLLinkTarget("/site.css", "/list.html"), "/site.css");
}

TEST_F(HtmlExport, PagesKeepTheirStyleSheetWhenTheFolderTreeMoves) {
    TempDir dir;
    fs::create_directories(dir.path() / "site" / "pages");
    ex.FileName = (dir.path() / "site" / "pages" / "list.html").string();
    ex.CSSFileName = (dir.path() / "site" / "css" / "list.css").string();
    fs::create_directories(dir.path() / "site" / "css");
    ex.UsingCSS = TUsingCSS::usExternal;
    ex.Execute();
    fs::rename(dir.path() / "site", dir.path() / "moved");

    int status = 0;
    std::string href = RunCommand("xmllint --html --xpath 'string(//link/@href)' " +
                                      (dir.path() / "moved" / "pages" / "list.html").string(),
                                  status);
    ASSERT_EQ(status, 0) << href;
    while (!href.empty() && href.back() == '\n')
        href.pop_back();
    EXPECT_EQ(href, "../css/list.css");
    EXPECT_TRUE(fs::exists(dir.path() / "moved" / "pages" / href));
}

// Every file of the folder with its content.
std::map<std::string, std::string> FolderContent(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = ReadFile(entry.path().string());
    return files;
}

// An aborted run, single-file or multi-file and in whichever phase, replaces none of the files that were
// there, adds none and opens nothing; the same run not aborted replaces them.
TEST_F(HtmlExport, AnAbortedExportLeavesEveryExistingFileAsItWas) {
    struct RecordingShell : TExportShell {
        int calls = 0;
        void Open(const std::string&) override { ++calls; }
        void Print(const std::string&) override { ++calls; }
    } shell;
    ex.Shell = &shell;
    ex.ShowFile = true;
    ex.UsingCSS = TUsingCSS::usExternal;
    ex.OverwriteCSSFile = true;
    FillRows(5);
    const auto abortAfterRow = [](int row) {
        return [row](TExporter& sender, int recNo) {
            if (recNo == row)
                sender.Abort();
        };
    };
    for (const int pageRows : {0, 2}) {
        SCOPED_TRACE(pageRows == 0 ? "single file" : "multi-file");
        TempDir dir;
        ex.FileName = dir.file("list.html");
        ex.SetMaxRecords(pageRows);
        ex.GenerateIndex = true;
        const std::map<std::string, std::string> before = {{"list.html", "old index"},
                                                           {"list.css", "old style"},
                                                           {"list01.html", "old page 1"},
                                                           {"list01.css", "old page style"},
                                                           {"list02.html", "old page 2"}};
        for (const auto& [name, content] : before)
            WriteFile(dir.file(name), content);

        ex.OnBeginExport = [](TExporter& sender) { sender.Abort(); };
        ex.Execute();
        EXPECT_EQ(FolderContent(dir), before);
        ex.OnBeginExport = nullptr;

        ex.SkipRecCount = 1;
        ex.OnSkippedRecord = abortAfterRow(1);
        ex.Execute();
        EXPECT_TRUE(ex.IsAborted());
        EXPECT_EQ(FolderContent(dir), before);
        ex.SkipRecCount = 0;
        ex.OnSkippedRecord = nullptr;

        ex.OnExportedRecord = abortAfterRow(2); // the second page is open in a multi-file run
        ex.Execute();
        EXPECT_TRUE(ex.IsAborted());
        EXPECT_EQ(FolderContent(dir), before);
        EXPECT_EQ(shell.calls, 0);

        ex.OnExportedRecord = nullptr;
        ex.Execute();
        const std::map<std::string, std::string> after = FolderContent(dir);
        const std::string page = pageRows == 0 ? "list.html" : "list02.html";
        EXPECT_NE(after.at(page), before.at(page));
        EXPECT_EQ(HtmlLintErrors(after.at(page)), "");
        EXPECT_EQ(shell.calls, 1);
        shell.calls = 0;
    }
}

TEST_F(HtmlExport, FailedExportLeavesNoFiles) {
    TempDir dir;
    WriteFile(dir.file("list.html"), "old");
    ex.FileName = dir.file("list.html");
    ex.OnExportedRecord = [](TExporter&, int recNo) {
        if (recNo == 1)
            throw EExportError("source failed");
    };
    ex.SetMaxRecords(1);
    EXPECT_THROW(ex.Execute(), EExportError);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"list.html"});
    EXPECT_EQ(ReadFile(dir.file("list.html")), "old");
}

// A run of many pages holds a few descriptors, not one per page: under a limit of 256 open files, 2,000
// pages with their index and style sheet are written (each page finished as the next opens), and so are
// 300 pages with navigation bars (completed from the scratch file at the end); nothing else is left.
TEST_F(HtmlExport, ThousandsOfPagesFitALowOpenFileLimit) {
    struct Case {
        int pages;
        bool navigation;
    };
    for (const Case c : {Case{2000, false}, Case{300, true}}) {
        SCOPED_TRACE(std::to_string(c.pages) + (c.navigation ? " pages with navigation" : " pages"));
        TempDir dir;
        FillRows(c.pages);
        ex.FileName = dir.file("list.html");
        ex.SetMaxRecords(1);
        ex.GenerateIndex = true;
        ex.UsingCSS = TUsingCSS::usExternal;
        ex.Navigation.OnTop = ex.Navigation.OnBottom = c.navigation;
        const test_support::ChildOutcome outcome =
            test_support::RunUnderLimit(RLIMIT_NOFILE, 256, [&] { ex.Execute(); });
        ASSERT_EQ(outcome.exitCode, 0) << outcome.text;
        std::vector<std::string> expected = {"list.html",
                                             "list01.css"}; // the style sheet is named after the first page
        for (int page = 1; page <= c.pages; ++page)
            expected.push_back(fs::path(NumberedFileName(ex.FileName, page, 2)).filename().string());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(test_support::EntryNames(dir.path()), expected);
        const std::string last = ReadFile(NumberedFileName(ex.FileName, c.pages, 2));
        EXPECT_NE(last.find(">row" + std::to_string(c.pages) + "</td>"), std::string::npos)
            << last.substr(0, 400);
        EXPECT_EQ(HtmlLintErrors(last), "");
        EXPECT_EQ(Count(ReadFile(ex.FileName), "<LI>"), c.pages);
    }
}

} // namespace
} // namespace exporter::test
