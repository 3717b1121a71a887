#include "ExportTestSupport.h"
#include "RandomDataSets.h"

#include "export/core/ExporterMarkup.h"
#include "export/core/ExporterXML.h"

#include <gtest/gtest.h>

namespace exporter::test {
namespace {

std::string Export(TExporter& ex) {
    std::ostringstream out;
    ex.ExportToStream(out);
    return out.str();
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Runs xmllint over the text; empty when the document is well-formed.
std::string XmlLintErrors(const std::string& text) {
    TempDir dir;
    WriteFile(dir.file("doc.xml"), text);
    int status = 0;
    std::string output = RunCommand("xmllint --noout " + dir.file("doc.xml"), status);
    if (status != 0 && output.empty())
        output = "xmllint failed";
    return output;
}

// The value of an XPath expression over the text, as xmllint reads it.
std::string XPath(const std::string& text, const std::string& expression) {
    TempDir dir;
    WriteFile(dir.file("doc.xml"), text);
    int status = 0;
    std::string output = RunCommand("xmllint --xpath '" + expression + "' " + dir.file("doc.xml"), status);
    EXPECT_EQ(status, 0) << output;
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

class XmlExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Last name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddRow({"a<b&", "12"});
        ds.AddRow({"say \"hi\"", std::nullopt});
        ex.DataSet = &ds;
    }
    TMemoryDataSet ds;
    TExporterXML ex;
};

TEST_F(XmlExport, DataPacketWithMetadataAndEscapedValues) {
    const std::string xml = Export(ex);
    EXPECT_EQ(xml, "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n"
                   "<DATAPACKET Version=\"2.0\">\r\n"
                   "<METADATA>\r\n"
                   "<FIELDS>\r\n"
                   "<FIELD FieldName=\"Last_name\" DisplayLabel=\"Last_name\" FieldType=\"String\" "
                   "FieldClass=\"TField\"/>\r\n"
                   "<FIELD FieldName=\"Count\" DisplayLabel=\"Count\" FieldType=\"Integer\" "
                   "FieldClass=\"TField\"/>\r\n"
                   "</FIELDS>\r\n"
                   "</METADATA>\r\n"
                   "<ROWDATA>\r\n"
                   "<ROW Last_name=\"a&lt;b&amp;\" Count=\"12\"/>\r\n"
                   "<ROW Last_name=\"say &quot;hi&quot;\" Count=\"\"/>\r\n"
                   "</ROWDATA>\r\n"
                   "</DATAPACKET>\r\n");
    EXPECT_EQ(XmlLintErrors(xml), "");
    EXPECT_EQ(XPath(xml, "string(//ROW[1]/@Last_name)"), "a<b&");
    EXPECT_EQ(XPath(xml, "string(//ROW[2]/@Last_name)"), "say \"hi\"");

    // Without captions there is no METADATA block; the declaration follows the options.
    ex.AllowCaptions = false;
    ex.Options.StandAlone = false;
    ex.Options.Version = "1.1";
    EXPECT_EQ(Export(ex), "<?xml version=\"1.1\" standalone=\"no\"?>\r\n"
                          "<DATAPACKET Version=\"2.0\">\r\n"
                          "<ROWDATA>\r\n"
                          "<ROW Last_name=\"a&lt;b&amp;\" Count=\"12\"/>\r\n"
                          "<ROW Last_name=\"say &quot;hi&quot;\" Count=\"\"/>\r\n"
                          "</ROWDATA>\r\n"
                          "</DATAPACKET>\r\n");
}

TEST_F(XmlExport, DeclaresTheEncodingReallyWritten) {
    ds.ClearRows();
    ds.AddRow({"caf\xC3\xA9 \xE2\x82\xAC \xD0\xB6", "1"}); // café € ж
    ex.AllowCaptions = false;

    // No encoding: UTF-8 implied, one blank before standalone.
    std::string xml = Export(ex);
    EXPECT_EQ(xml.substr(0, 40), "<?xml version=\"1.0\" standalone=\"yes\"?>\r\n");
    EXPECT_NE(xml.find("caf\xC3\xA9 \xE2\x82\xAC \xD0\xB6"), std::string::npos);
    EXPECT_EQ(XmlLintErrors(xml), "");

    // A code page the writer cannot produce is declared as what is written: UTF-8.
    ex.Options.Encoding = "windows-1251";
    xml = Export(ex);
    EXPECT_EQ(xml.substr(0, 57), "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n");
    EXPECT_EQ(XmlLintErrors(xml), "");
    EXPECT_EQ(XPath(xml, "string(//ROW/@Last_name)"), "caf\xC3\xA9 \xE2\x82\xAC \xD0\xB6");

    // Windows-1252 is written in that code page; what it lacks is a character reference.
    ex.Options.Encoding = "Windows-1252";
    xml = Export(ex);
    EXPECT_EQ(xml.substr(0, 64), "<?xml version=\"1.0\" encoding=\"windows-1252\" standalone=\"yes\"?>\r\n");
    EXPECT_NE(xml.find("caf\xE9 \x80 &#1078;"), std::string::npos);
    EXPECT_EQ(XmlLintErrors(xml), "");
    EXPECT_EQ(XPath(xml, "string(//ROW/@Last_name)"), "caf\xC3\xA9 \xE2\x82\xAC \xD0\xB6");
}

TEST_F(XmlExport, NamesAreValidAndUnique) {
    EXPECT_EQ(TExporterXML::XMLName("Last name"), "Last_name");
    EXPECT_EQ(TExporterXML::XMLName("1st"), "_1st");
    EXPECT_EQ(TExporterXML::XMLName("a:b<c>\"d"), "a_b_c__d");
    EXPECT_EQ(TExporterXML::XMLName(""), "_");
    EXPECT_EQ(TExporterXML::XMLName("Stra\xC3\x9F"
                                    "e"),
              "Stra\xC3\x9F"
              "e");

    TMemoryListView lv;
    lv.AddColumn({"a b"});
    lv.AddColumn({"a_b"});
    lv.AddColumn({"1 & 2"});
    lv.AddItem({"x", "y", "z"});
    TExporterXML lex;
    lex.ExportSource = TExportSource::esListView;
    lex.ListView = &lv;
    const std::string xml = Export(lex);
    EXPECT_NE(xml.find("<ROW a_b=\"x\" a_b_2=\"y\" _1___2=\"z\"/>"), std::string::npos) << xml;
    EXPECT_NE(xml.find("FieldName=\"a_b_2\""), std::string::npos);
    EXPECT_EQ(XmlLintErrors(xml), "");
}

// Python's ElementTree (expat) is the strictest common reader of names: every row attribute comes back
// under its name with its value, in UTF-8 and in Windows-1252.
TEST_F(XmlExport, HostileNamesAndCharactersReadInElementTree) {
    int status = 0;
    RunCommand("python3 -c 'import xml.etree.ElementTree'", status);
    if (status != 0)
        GTEST_SKIP() << "python3 with ElementTree is not installed: the XML read-back needs it";
    TMemoryListView lv;
    const std::vector<std::string> names = {"\xEF\xBB\xBFid",
                                            "xmlns",
                                            "xmlns:x",
                                            "XMLdata",
                                            "\xD0\x96\xD0\xB8\xD0\xB2",
                                            "\xF0\x9F\x98\x80 n",
                                            "\xEF\xBB\xBF"
                                            "ID",
                                            "e\xCC\x81",
                                            "xmlData",
                                            "xmlns_y",
                                            "XMLNS",
                                            "c1",
                                            "nonchar"};
    // The C1 controls whose Windows-1252 bytes are unassigned, and the noncharacters U+FFFE and U+FFFF.
    const std::string c1 = "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D";
    const std::vector<std::string> values = {"1",
                                             "http://x",
                                             "y",
                                             "\xD7\x90 \xF0\x9F\x98\x80 &#1;",
                                             "\xC3\xA9",
                                             "z",
                                             "2",
                                             "3",
                                             "4",
                                             "5",
                                             "6",
                                             "a" + c1 + "b",
                                             "x\xEF\xBF\xBEy\xEF\xBF\xBFz"};
    for (const std::string& name : names)
        lv.AddColumn({name});
    lv.AddItem(values);
    TExporterXML lex;
    lex.ExportSource = TExportSource::esListView;
    lex.ListView = &lv;
    TempDir dir;
    for (const std::string encoding : {"", "windows-1252"}) {
        lex.Options.Encoding = encoding;
        WriteFile(dir.file("doc.xml"), Export(lex));
        const std::string out = RunCommand("python3 -c \"import sys, xml.etree.ElementTree as ET\n"
                                           "for row in ET.parse(sys.argv[1]).getroot().iter('ROW'):\n"
                                           "    print(' '.join(k.encode().hex() + '=' + v.encode().hex() for "
                                           "k, v in row.attrib.items()))\" " +
                                               dir.file("doc.xml"),
                                           status);
        ASSERT_EQ(status, 0) << out;
        auto hex = [](const std::string& bytes) {
            std::string h;
            for (unsigned char c : bytes)
                h += "0123456789abcdef"[c >> 4], h += "0123456789abcdef"[c & 15];
            return h;
        };
        // In Windows-1252 a name keeps only characters of the code page; values keep every character but
        // the two noncharacters, one "?" each. Only "xmlns" is no attribute name of its own.
        const std::vector<std::string> expected = {"id",
                                                   "_xmlns",
                                                   "xmlns_x",
                                                   "XMLdata",
                                                   encoding.empty() ? "\xD0\x96\xD0\xB8\xD0\xB2" : "___",
                                                   "__n",
                                                   "ID",
                                                   encoding.empty() ? "e\xCC\x81" : "e_",
                                                   "xmlData",
                                                   "xmlns_y",
                                                   "XMLNS",
                                                   "c1",
                                                   "nonchar"};
        std::vector<std::string> readValues = values;
        readValues.back() = "x?y?z";
        std::string line;
        for (size_t i = 0; i < names.size(); ++i)
            line += (i ? " " : "") + hex(expected[i]) + "=" + hex(readValues[i]);
        EXPECT_EQ(out, line + "\n") << encoding;
        // libxml2 reads the same document; the C1 controls are references in Windows-1252.
        EXPECT_EQ(XmlLintErrors(ReadFile(dir.file("doc.xml"))), "") << encoding;
        if (!encoding.empty()) {
            EXPECT_NE(ReadFile(dir.file("doc.xml")).find("c1=\"a&#129;&#141;&#143;&#144;&#157;b\""),
                      std::string::npos);
        }
    }
}

TEST_F(XmlExport, LineBreaksAndControlCharactersSurviveReading) {
    ds.ClearRows();
    ds.AddRow({"x\ty\r\nz\x01!\xFF", "3"});
    const std::string xml = Export(ex);
    // a malformed byte of the value is U+FFFD in every format
    EXPECT_NE(xml.find("Last_name=\"x&#9;y&#13;&#10;z?!\xEF\xBF\xBD\""), std::string::npos) << xml;
    EXPECT_EQ(XmlLintErrors(xml), "");
    EXPECT_EQ(XPath(xml, "string(//ROW/@Last_name)"), "x\ty\r\nz?!\xEF\xBF\xBD");
}

TEST(MarkupText, PlainRunsAndOtherBytesKeepTheirOrder) {
    EXPECT_EQ(ExportCleanText("ok\xC3\xA9x\x1F\tend\xE2\x82"), "ok\xC3\xA9x?\tend??");
    EXPECT_EQ(ExportCleanText("\x7F"), "\x7F");
    EXPECT_EQ(ExportEntityText("plain text"), "plain text");
    EXPECT_EQ(ExportEntityText("a\"&<>b\x01"), "a&quot;&amp;&lt;&gt;b?");
    // line breaks and tabs stay; bytes found past the first sixteen and behind characters beyond ASCII
    EXPECT_EQ(ExportCleanText("a\r\nb\rc\n\td<>"), "a\r\nb\rc\n\td<>");
    EXPECT_EQ(ExportEntityText("Z\xC3\xBCrich, S\xC3\xA3o Paulo & \xE2\x82\xAC\xFF <x>\r\n\x02"),
              "Z\xC3\xBCrich, S\xC3\xA3o Paulo &amp; \xE2\x82\xAC? &lt;x&gt;\r\n?");
    EXPECT_EQ(ExportEntityText(std::string(20, 'x') + "\xED\xA0\x80\"" + std::string(20, 'y')),
              std::string(20, 'x') + "???&quot;" + std::string(20, 'y'));
}

TEST_F(XmlExport, UntypedAndBooleanValuesAreEscapedToo) {
    TMemoryDataSet odd;
    odd.AddField({"Flag", TFieldType::ftBoolean});
    odd.AddField({"Other", TFieldType::ftUnknown});
    odd.AddRow({"<yes>", "a&b"});
    ex.DataSet = &odd;
    const std::string xml = Export(ex);
    EXPECT_NE(xml.find("<ROW Flag=\"&lt;yes&gt;\" Other=\"a&amp;b\"/>"), std::string::npos) << xml;
    EXPECT_EQ(XmlLintErrors(xml), "");
}

// A text the quick test keeps is one the escaping leaves as it is (cells skip the escaping then): every
// byte, alone and amid plain ones; a subclass's own escaping is asked for every cell, plain ones too.
TEST_F(XmlExport, QuickTestKeepsOnlyTextsTheEscapingLeaves) {
    EXPECT_TRUE(ex.KeepsText("Plain 1,234.50 3/5/2024 2:07 PM"));
    for (int byte = 0; byte < 256; ++byte)
        for (const std::string& text : {std::string(1, char(byte)), "ab" + std::string(1, char(byte)) + "cd"})
            EXPECT_FALSE(ex.KeepsText(text) && ex.NormalString(text) != text) << byte;

    struct ShoutingXML : TExporterXML {
        std::string NormalString(const std::string& s) const override { return "[" + s + "]"; }
    } shouting;
    EXPECT_FALSE(shouting.KeepsText("plain"));
    TMemoryDataSet odd;
    FillFlagTextCount(odd, "yes");
    shouting.DataSet = &odd;
    EXPECT_NE(Export(shouting).find("<ROW Flag=\"[yes]\" Text=\"[a]\" Count=\"[7]\"/>"), std::string::npos);

    // A subclass's last say on a cell, and an escaping a handler sets, are asked for every cell too.
    MarkedCells<TExporterXML> marking;
    marking.DataSet = &odd;
    EXPECT_NE(Export(marking).find("<ROW Flag=\"yes!\" Text=\"a!\" Count=\"7!\"/>"), std::string::npos);
    ex.DataSet = &odd;
    EscapeInParenthesesOnBegin(ex);
    EXPECT_NE(Export(ex).find("<ROW Flag=\"yes\" Text=\"(a)\" Count=\"(7)\"/>"), std::string::npos);
}

// Rows are written in one pass where the general way (which a subclass takes) would give the same bytes:
// random texts of every kind, malformed ones among them, in typed, Boolean, untyped and NULL cells, in
// UTF-8 and in Windows-1252.
TEST(XmlRows, OnePassGivesTheGeneralWaysBytes) {
    const std::uint64_t seed = RandomSeed();
    SCOPED_TRACE(SeedTrace(seed));
    TRandomData data(seed);
    TRandomPools pools;
    pools.Nul = true;
    pools.Malformed = true;
    pools.Lengths = {255, 4096};
    struct GeneralXML : TExporterXML {};
    for (int set = 0; set < 40; ++set) {
        TMemoryDataSet ds;
        FillMixedRandomDataSet(ds, data, pools, 6, set % 2 == 0);
        for (const char* encoding : {"", "windows-1252"}) {
            TExporterXML onePass;
            GeneralXML general;
            for (TExporterXML* ex : {&onePass, static_cast<TExporterXML*>(&general)}) {
                ex->DataSet = &ds;
                ex->Options.Encoding = encoding;
            }
            EXPECT_EQ(Export(onePass), Export(general)) << "set " << set << " " << encoding;
        }
    }
}

TEST_F(XmlExport, AbortedExportIsStillComplete) {
    ex.OnExportedRecord = [](TExporter& sender, int) { sender.Abort(); };
    std::string xml = Export(ex);
    EXPECT_TRUE(EndsWith(xml, "Count=\"12\"/>\r\n</ROWDATA>\r\n</DATAPACKET>\r\n")) << xml;
    EXPECT_EQ(XmlLintErrors(xml), "");

    // Aborted while the metadata is written: the loop skips the rows but the document is closed.
    ex.OnExportedRecord = nullptr;
    ex.AllowCaptions = true;
    ex.OnBeforeExportRow = nullptr;
    struct AbortingXml : TExporterXML {
        void WriteCaptionRow() override {
            TExporterXML::WriteCaptionRow();
            Abort();
        }
    } aborting;
    aborting.DataSet = &ds;
    xml = Export(aborting);
    EXPECT_TRUE(EndsWith(xml, "</METADATA>\r\n</DATAPACKET>\r\n")) << xml;
    EXPECT_EQ(XmlLintErrors(xml), "");
}

TEST_F(XmlExport, WritesAFile) {
    TempDir dir;
    ex.FileName = dir.file("sub/out.xml");
    ex.Execute();
    const std::string xml = ReadFile(ex.FileName);
    EXPECT_EQ(xml, Export(ex));
    EXPECT_EQ(XmlLintErrors(xml), "");
}

TEST(XmlOptions, AssignCopiesAll) {
    TXMLOptions a, b;
    a.Version = "1.1";
    a.Encoding = "UTF-8";
    a.StandAlone = false;
    b.Assign(a);
    EXPECT_EQ(b.Version, "1.1");
    EXPECT_EQ(b.Encoding, "UTF-8");
    EXPECT_FALSE(b.StandAlone);
}

} // namespace
} // namespace exporter::test
