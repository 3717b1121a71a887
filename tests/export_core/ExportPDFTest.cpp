#include "ExportTestSupport.h"

#include "export/core/ExporterPDF.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>

namespace exporter::test {
namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + what.size()))
        ++n;
    return n;
}

// Every object's offset in the cross-reference table points at "<n> 0 obj", and startxref at "xref".
void ExpectConsistentXref(const std::string& pdf) {
    const size_t xref = pdf.rfind("xref\r0 ");
    ASSERT_NE(xref, std::string::npos);
    std::smatch m;
    const std::string tail = pdf.substr(xref);
    ASSERT_TRUE(std::regex_search(tail, m, std::regex("^xref\r0 (\\d+)\r")));
    const int size = std::stoi(m[1]);
    size_t pos = xref + m.length(0);
    EXPECT_EQ(pdf.substr(pos, 20), "0000000000 65535 f \r");
    for (int n = 1; n < size; ++n) {
        const std::string entry = pdf.substr(pos + size_t(n) * 20, 20);
        ASSERT_EQ(entry.substr(10), " 00000 n \r") << n;
        const size_t offset = std::stoul(entry.substr(0, 10));
        EXPECT_EQ(pdf.compare(offset, std::to_string(n).size() + 6, std::to_string(n) + " 0 obj"), 0) << n;
    }
    ASSERT_TRUE(std::regex_search(tail, m, std::regex("startxref\r(\\d+)\r%%EOF$")));
    EXPECT_EQ(std::stoul(m[1]), xref);
}

std::string QpdfCheck(const std::string& file, int& status) {
    return RunCommand("qpdf --check '" + file + "'", status);
}

std::string PdfToText(const std::string& file) {
    int status = 0;
    std::string text = RunCommand("pdftotext -layout '" + file + "' -", status);
    EXPECT_EQ(status, 0) << text;
    return text;
}

// Contents of the page content streams in order.
std::vector<std::string> ContentStreams(const std::string& pdf) {
    std::vector<std::string> streams;
    for (size_t pos = pdf.find("stream\r\n"); pos != std::string::npos;
         pos = pdf.find("stream\r\n", pos + 1)) {
        const size_t start = pos + 8;
        const size_t end = pdf.find("endstream", start);
        streams.push_back(pdf.substr(start, end - start));
        pos = end;
    }
    return streams;
}

TEST(PDFFontMetrics, TablesHoldTheStandardWidths) {
    int sum = 0;
    for (int w : PDFGeneralWidths())
        sum += w;
    EXPECT_EQ(sum, 123990);
    const TPDFWidthTable& helvetica = PDFFontWidths(TPDFFontName::poHelvetica);
    EXPECT_EQ(helvetica['A'], 667);
    EXPECT_EQ(helvetica[' '], 278);
    EXPECT_EQ(helvetica['i'], 222);
    EXPECT_EQ(helvetica[0xE9], 556); // e acute
    EXPECT_EQ(helvetica[0x80], 556); // euro
    EXPECT_EQ(helvetica[0x81], 278); // unassigned: the space
    EXPECT_EQ(&PDFFontWidths(TPDFFontName::poHelveticaOblique), &helvetica);
    EXPECT_EQ(PDFFontWidths(TPDFFontName::poHelveticaBold)['i'], 278);
    EXPECT_EQ(PDFFontWidths(TPDFFontName::poTimesRoman)['A'], 722);
    EXPECT_EQ(PDFFontWidths(TPDFFontName::poTimesItalic)['A'], 611);
    for (int w : PDFFontWidths(TPDFFontName::poCourierBoldOblique))
        EXPECT_EQ(w, 600);
    EXPECT_EQ(&PDFFontWidths(TPDFFontName::poSymbol), &PDFGeneralWidths());
}

TEST(PDFFontMetrics, TextAndCharWidths) {
    EXPECT_EQ(TPDFTextWidth("", 10), 0);
    EXPECT_EQ(TPDFTextWidth("AA", 10), 13); // 2 x 667 x 10 / 1000 = 13.34
    EXPECT_EQ(TPDFTextWidth("caf\xC3\xA9", 10, TPDFFontName::poCourier), 24);
    EXPECT_EQ(TPDFCharsWidth(10, 1), 4);   // 4.84
    EXPECT_EQ(TPDFCharsWidth(10, 13), 62); // 62.96
    EXPECT_EQ(TPDFCharsWidth(10, 1.5), 7); // 7.26
    EXPECT_EQ(PDFFontNameText(TPDFFontName::poTimesBoldItalic), "Times-BoldItalic");
    EXPECT_EQ(PDFFontNameText(TPDFFontName::poZapfDingbats), "ZapfDingbats");
    EXPECT_EQ(PDFFontEncodingText(TPDFFontEncoding::poMacRomanEncoding), "MacRomanEncoding");
}

TEST(PDFDocument, GridLinesMatchGeneralLines) {
    // A grid line of whole numbers must give Line's bytes: over y with one, two and three digits and
    // beyond the table of small numbers, negative and large ends, a changed width and colour between lines.
    struct TCase {
        int X1, X2, Y;
        double Width;
        TExportColor Color;
    };
    const TCase cases[] = {
        {84, 552, 736, 1, 0},    {84, 552, 735, 1, 0},    {84, 552, 7, 1, 0},        {84, 552, 0, 1, 0},
        {84, 552, 42, 1, 0},     {84, 552, 999, 1, 0},    {84, 552, 1000, 1, 0},     {84, 552, -1, 1, 0},
        {84, 552, 500, 2, 0},    {84, 552, 499, 0.5, 0},  {84, 552, 498, 0.5, 0xFF}, {84, 552, 497, 0.5, 0},
        {-3, 1234567, 10, 1, 0}, {-3, 1234567, 11, 1, 0}, {5, 7, 2000000, 1, 0},     {0, 999999, 300, 1, 0},
        {0, 1000000, 300, 1, 0}, {0, 1000000, 301, 1, 0}, {84, 552, 736, 1, 0}};
    std::ostringstream grid, general;
    TPDFDocument gridDoc(grid), generalDoc(general);
    for (TPDFDocument* doc : {&gridDoc, &generalDoc}) {
        doc->BeginDoc();
        doc->NewPage();
    }
    for (const TCase& c : cases) {
        gridDoc.LineWidth = generalDoc.LineWidth = c.Width;
        gridDoc.HorizontalLine(c.X1, c.X2, c.Y, c.Color);
        generalDoc.Line(c.X1, c.Y, c.X2, c.Y, c.Color);
    }
    gridDoc.EndDoc();
    generalDoc.EndDoc();
    EXPECT_EQ(ContentStreams(grid.str()), ContentStreams(general.str()));
    EXPECT_NE(ContentStreams(grid.str())[0].find("84.0 7.0 m \r552.0 7.0 l \r"), std::string::npos);
}

TEST(PDFDocument, WritesTheExactPieces) {
    std::ostringstream out;
    TPDFDocument doc(out);
    doc.BeginDoc();
    doc.NewPage();
    TPDFFont font("F1");
    font.FontSize = 12;
    doc.AddFont(font);
    doc.SetFont(font);
    doc.TextOut(10, 20, 0, "a(b");
    doc.TextOut(10, 40, 0x0000FF, "x");
    doc.TextOut(-7, 1000, 0, "\x01)\\\xC3\xA9");
    doc.LineWidth = 0.5;
    doc.Line(1, 2, 3.25, 4, 0xFF0000);
    doc.LineWidth = 2;
    doc.Line(-3, 0, 1234567, -0.04, 0);
    // Horizontal lines reuse their text around y until x or the width change.
    doc.Line(84, 736, 552, 736, 0);
    doc.Line(84, 724.5, 552, 724.5, 0);
    doc.LineWidth = 1;
    doc.Line(84, 10, 552, 10, 0);
    doc.Line(-2.5, 5, 1e7, 5, 0);
    doc.Line(-0.5, 0.1 * 3, 123456.7, -1e9 + 0.5, 0);
    doc.FillRect(1, 2, 3, 4, 0);
    EXPECT_EQ(doc.SetFillColor(0x00FF00), 0u);
    EXPECT_EQ(doc.FillColor(), 0x00FF00u);
    doc.EndDoc();
    const std::string pdf = out.str();

    EXPECT_EQ(pdf.rfind("%PDF-1.3\r1 0 obj\r<< /Length 2 0 R >>\rstream\r\n", 0), 0u);
    const std::vector<std::string> streams = ContentStreams(pdf);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0],
              "BT\r/F1 12 Tf\r10 20 Td (a\\(b) Tj\rET\r"
              "1.00 0.00 0.00 rg\rBT\r/F1 12 Tf\r10 40 Td (x) Tj\rET\r0.00 0.00 0.00 rg\r"
              "BT\r/F1 12 Tf\r-7 1000 Td (\\001\\)\\\\\xE9) Tj\rET\r"
              "0.00 0.00 1.00 RG\r1.0 2.0 m \r3.3 4.0 l \r0.5 w \rS\r0.00 0.00 0.00 RG\r"
              "-3.0 0.0 m \r1234567.0 0.0 l \r2.0 w \rS\r"
              "84.0 736.0 m \r552.0 736.0 l \r2.0 w \rS\r84.0 724.5 m \r552.0 724.5 l \r2.0 w \rS\r"
              "84.0 10.0 m \r552.0 10.0 l \r1.0 w \rS\r-2.5 5.0 m \r10000000.0 5.0 l \r1.0 w \rS\r"
              "-0.5 0.3 m \r123456.7 -999999999.5 l \r1.0 w \rS\r"
              "1.0 2.0 3.0 4.0 re f\r"
              "0.00 1.00 0.00 rg\r");
    EXPECT_NE(pdf.find("endstream\rendobj\r2 0 obj\r" + std::to_string(streams[0].size()) + " \rendobj\r"),
              std::string::npos);
    EXPECT_NE(pdf.find("3 0 obj\r<< /Type /Outlines\r/Count 0\r>>\rendobj\r"), std::string::npos);
    EXPECT_NE(pdf.find("4 0 obj\r<< /Type /Font\r/Subtype /Type1\r/Name /F1\r/BaseFont /Helvetica\r"
                       "/Encoding /WinAnsiEncoding\r/FirstChar 0\r/LastChar 255\r/Widths [278 278 "),
              std::string::npos);
    EXPECT_NE(pdf.find("5 0 obj\r<< /Font <</F1 4 0 R  >> /ProcSet [ /PDF /Text ] >>\rendobj\r"),
              std::string::npos);
    EXPECT_NE(pdf.find("6 0 obj\r<< /Type /Pages\r/Count 1\r/Kids [7 0 R ]\r>>\rendobj\r"),
              std::string::npos);
    EXPECT_NE(pdf.find("7 0 obj\r<< /Type /Page\r/Parent 6 0 R\r/Resources 5 0 R\r/MediaBox [0 0 612 792]\r"
                       "/TrimBox [50 50 562 742]\r/Contents 1 0 R\r>>\rendobj\r"),
              std::string::npos);
    EXPECT_NE(pdf.find("8 0 obj\r<< /Type /Catalog \r/Pages 6 0 R \r/Outlines 3 0 R \r>>\rendobj\r"),
              std::string::npos);
    EXPECT_NE(pdf.find("trailer\r<< /Size 9\r/Root 8 0 R\r>>\rstartxref\r"), std::string::npos);
    EXPECT_EQ(doc.ObjNumber(), 8);
    ExpectConsistentXref(pdf);

    TempDir dir;
    WriteFile(dir.file("doc.pdf"), pdf);
    int status = 0;
    const std::string check = QpdfCheck(dir.file("doc.pdf"), status);
    EXPECT_EQ(status, 0) << check;
}

TEST(PDFDocument, EscapesEachByteWhereverItStands) {
    // Texts are tested for bytes to escape several bytes at a time: each byte that needs an escape, and its
    // neighbours that do not (0x20, 0x2A, 0x5B, bytes with the high bit set), at every place of a text
    // longer than one such test, must come out as the byte-by-byte rule says.
    const auto escaped = [](const std::string& bytes) {
        std::string out;
        for (const char c : bytes) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20) {
                const char octal[] = {'\\', char('0' + (byte >> 6)), char('0' + ((byte >> 3) & 7)),
                                      char('0' + (byte & 7)), '\0'};
                out += octal;
            } else {
                if (c == '(' || c == ')' || c == '\\')
                    out += '\\';
                out += c;
            }
        }
        return out;
    };
    std::ostringstream out;
    TPDFDocument doc(out);
    doc.BeginDoc();
    doc.NewPage();
    TPDFFont font("F1");
    doc.SetFont(font);
    std::string expected;
    for (const char special : {'\0', '\x1F', '\x20', '(', ')', '*', '\'', '\\', '[', ']', '\x7F', '\x80',
                               '\xA8', '\xA9', '\xDC', '\x9F'})
        for (size_t at = 0; at < 18; ++at) {
            std::string bytes(18, 'a');
            bytes[at] = special;
            doc.TextOutEncoded(1, 2, 0, bytes);
            expected += "BT\r/F1 10 Tf\r1 2 Td (" + escaped(bytes) + ") Tj\rET\r";
        }
    doc.EndDoc();
    const std::vector<std::string> streams = ContentStreams(out.str());
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0], expected);
}

TEST(PDFDocument, RefusesAFontNameTwice) {
    std::ostringstream out;
    TPDFDocument doc(out);
    doc.BeginDoc();
    doc.AddFont(TPDFFont("F1"));
    try {
        doc.AddFont(TPDFFont("F1"));
        FAIL() << "no error";
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Font F1 already exists");
    }
}

class PDFExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Note", TFieldType::ftString, 12});
        ex.DataSet = &ds;
        ex.FileName = dir.file("out.pdf");
    }
    void AddRows(int rows) {
        for (int i = 1; i <= rows; ++i)
            ds.AddRow({"row" + std::to_string(i), std::to_string(i), "note " + std::to_string(i)});
    }
    std::string Run() {
        ex.Execute();
        const std::string pdf = ReadFile(ex.FileName);
        int status = 0;
        const std::string check = QpdfCheck(ex.FileName, status);
        EXPECT_EQ(status, 0) << check;
        ExpectConsistentXref(pdf);
        return pdf;
    }

    TempDir dir;
    TMemoryDataSet ds;
    TExporterPDF ex;
};

TEST_F(PDFExport, TableReadsBackInOrder) {
    AddRows(3);
    ex.Header.Add("Zone report");
    ex.Footer.Add("End of report");
    const std::string pdf = Run();
    EXPECT_EQ(Count(pdf, "/Type /Page\r"), 1);
    EXPECT_NE(pdf.find("/MediaBox [0 0 594 840]\r/TrimBox [84 56 552 784]"), std::string::npos);

    const std::string text = PdfToText(ex.FileName);
    const std::regex order("Zone report[\\s\\S]*Name\\s+Count\\s+Note[\\s\\S]*row1\\s+1\\s+note 1[\\s\\S]*"
                           "row2\\s+2\\s+note 2[\\s\\S]*row3\\s+3\\s+note 3[\\s\\S]*End of report");
    EXPECT_TRUE(std::regex_search(text, order)) << text;

    // Fonts in the order DataFont, CaptionFont, HeaderFont, FooterFont.
    const size_t data = pdf.find("/Name /DataFont"), caption = pdf.find("/Name /CaptionFont"),
                 header = pdf.find("/Name /HeaderFont"), footer = pdf.find("/Name /FooterFont");
    ASSERT_NE(footer, std::string::npos);
    EXPECT_LT(data, caption);
    EXPECT_LT(caption, header);
    EXPECT_LT(header, footer);
}

TEST_F(PDFExport, LayoutFollowsTheFontSizes) {
    AddRows(1);
    ex.Options.DataFont.FontSize = 10;
    ex.Options.CaptionFont.FontSize = 12;
    const std::vector<std::string> streams = ContentStreams(Run());
    ASSERT_EQ(streams.size(), 1u);
    const std::string& s = streams[0];
    // Columns: Name 10, Count 10, Note 12 characters, plus 3 of spacing, at size 10 from x 84:
    // 84, 84 + 62 = 146, 146 + 62 = 208, 208 + 72 = 280. The caption row's top line lies at the trim top 784;
    // its baseline 784 - 18 = 766; the line under it at 766 - 6 = 760. Texts are indented by 1.5 average
    // characters of their own size (8 at 12, 7 at 10).
    EXPECT_EQ(s.rfind("0.00 0.00 0.00 RG\r84.0 784.0 m \r280.0 784.0 l \r1.0 w \rS\r", 0), 0u) << s;
    EXPECT_NE(s.find("BT\r/CaptionFont 12 Tf\r92 766 Td (Name) Tj\rET\r"), std::string::npos) << s;
    EXPECT_NE(s.find("BT\r/CaptionFont 12 Tf\r154 766 Td (Count) Tj\rET\r"), std::string::npos) << s;
    EXPECT_NE(s.find("84.0 760.0 m \r280.0 760.0 l \r"), std::string::npos);
    // The data row: baseline 760 - 15 = 745; the integer column is right-aligned: 208 - 7 - width("1").
    EXPECT_NE(s.find("BT\r/DataFont 10 Tf\r91 745 Td (row1) Tj\rET\r"), std::string::npos) << s;
    EXPECT_NE(s.find("BT\r/DataFont 10 Tf\r196 745 Td (1) Tj\rET\r"), std::string::npos) << s;
    EXPECT_NE(s.find("84.0 740.0 m \r280.0 740.0 l \r"), std::string::npos);
    // The column lines of the block, from its top to its bottom, half a grid line beyond.
    EXPECT_NE(s.find("280.0 784.5 m \r280.0 739.5 l \r"), std::string::npos) << s;
}

TEST_F(PDFExport, EmptyExportGivesOnePage) {
    ex.Header.Add("Header only");
    ex.Footer.Add("Footer only");
    const std::string pdf = Run();
    EXPECT_EQ(Count(pdf, "/Type /Page\r"), 1);
    EXPECT_NE(pdf.find("/Count 1\r"), std::string::npos);
    const std::string text = PdfToText(ex.FileName);
    EXPECT_TRUE(std::regex_search(text, std::regex("Header only[\\s\\S]*Name[\\s\\S]*Footer only"))) << text;
}

TEST_F(PDFExport, ManyRowsBreakPagesAndRecolour) {
    AddRows(120);
    ex.Options.DataFont.FontColor = 0x0000FF; // red
    ex.Options.GridLineColor = 0x808080;
    const std::string pdf = Run();
    const int pages = Count(pdf, "/Type /Page\r");
    EXPECT_GE(pages, 3);
    // Every page carries the page options' boxes.
    EXPECT_EQ(Count(pdf, "/MediaBox [0 0 594 840]\r/TrimBox [84 56 552 784]"), pages);
    const std::vector<std::string> streams = ContentStreams(pdf);
    ASSERT_EQ(int(streams.size()), pages);
    for (size_t i = 1; i < streams.size(); ++i) {
        // A new page sets the data colour and the grid colour before drawing.
        EXPECT_EQ(streams[i].rfind("1.00 0.00 0.00 rg\r0.50 0.50 0.50 RG\r", 0), 0u) << i;
        const size_t firstText = streams[i].find("BT\r");
        EXPECT_EQ(streams[i].substr(0, firstText).find("Td"), std::string::npos);
    }
    // On the first page the fill colour is set around each text and set back.
    EXPECT_NE(streams[0].find("1.00 0.00 0.00 rg\rBT\r/DataFont 10 Tf\r"), std::string::npos);

    const std::string text = PdfToText(ex.FileName);
    size_t pos = 0;
    for (int i = 1; i <= 120; ++i) {
        const std::string cell = "row" + std::to_string(i) + " ";
        pos = text.find(cell, pos);
        ASSERT_NE(pos, std::string::npos) << cell;
    }
    // The captions are not repeated on the following pages.
    EXPECT_EQ(Count(text, "Note"), 1);
}

TEST_F(PDFExport, EscapesBackslashesAndParentheses) {
    ds.AddRow({"C:\\tmp", "1", "a) b ("});
    ds.AddRow({"x\x01\x0E\x1Fy", "2", "tab\there"});
    ex.Header.Add("dir \\");
    ex.Captions.Add("Note=Note (x");
    const std::string pdf = Run();
    EXPECT_NE(pdf.find("(C:\\\\tmp) Tj"), std::string::npos);
    EXPECT_NE(pdf.find("(a\\) b \\() Tj"), std::string::npos);
    EXPECT_NE(pdf.find("(dir \\\\) Tj"), std::string::npos);
    // Control bytes are three-digit octal escapes, the most significant digit first.
    EXPECT_NE(pdf.find("(x\\001\\016\\037y) Tj"), std::string::npos) << pdf.substr(pdf.find("(x"), 40);
    EXPECT_NE(pdf.find("(tab\\011here) Tj"), std::string::npos);
    const std::string text = PdfToText(ex.FileName);
    EXPECT_NE(text.find("C:\\tmp"), std::string::npos) << text;
    EXPECT_NE(text.find("a) b ("), std::string::npos) << text;
    EXPECT_NE(text.find("dir \\"), std::string::npos) << text;
    EXPECT_NE(text.find("Note (x"), std::string::npos) << text;
}

TEST_F(PDFExport, WritesWindows1252Text) {
    ds.AddRow({"Gr\xC3\xBC\xC3\x9F"
               "e",
               "1", "\xE2\x82\xAC 5 \xE4\xB8\xAD"});
    const std::string pdf = Run();
    EXPECT_NE(pdf.find("(Gr\xFC\xDF"
                       "e) Tj"),
              std::string::npos);
    EXPECT_NE(pdf.find("(\x80 5 ?) Tj"), std::string::npos);
    const std::string text = PdfToText(ex.FileName);
    EXPECT_NE(text.find("Gr\xC3\xBC\xC3\x9F"
                        "e"),
              std::string::npos)
        << text;
    EXPECT_TRUE(std::regex_search(text, std::regex("\xE2\x82\xAC\\s*5\\s*\\?"))) << text;
}

TEST_F(PDFExport, FontsCarryTheirOwnWidths) {
    AddRows(1);
    ex.Options.CaptionFont.BaseFont = TPDFFontName::poCourierBold;
    ex.Options.HeaderFont.BaseFont = TPDFFontName::poTimesRoman;
    const std::string pdf = Run();
    std::smatch m;
    std::string rest = pdf;
    std::vector<std::string> widths;
    while (
        std::regex_search(rest, m, std::regex("/BaseFont /([A-Za-z-]+)\r[^\\[]*/Widths \\[([0-9 ]+)\\]"))) {
        widths.push_back(m[2]);
        std::istringstream in(m[2]);
        int n = 0, w = 0;
        std::vector<int> values;
        while (in >> w)
            values.push_back(w), ++n;
        EXPECT_EQ(n, 256) << m[1];
        if (m[1] == "Courier-Bold") {
            EXPECT_EQ(values['A'], 600);
        }
        if (m[1] == "Times-Roman") {
            EXPECT_EQ(values['A'], 722);
        }
        if (m[1] == "Helvetica") {
            EXPECT_EQ(values['A'], 667);
        }
        rest = m.suffix();
    }
    EXPECT_EQ(widths.size(), 4u);
}

TEST_F(PDFExport, CellParamsColourTheCell) {
    AddRows(2);
    ex.OnGetCellParams = [](TExporter&, int recNo, int colNo, const std::string&, TExportColAlign& align,
                            TExportFont& font, TExportColor& background) {
        if (recNo == 1 && colNo == 0) {
            background = 0x00FFFF; // yellow
            font.Color = 0x00FF00;
            align = TExportColAlign::ecaRight;
        }
    };
    const std::vector<std::string> streams = ContentStreams(Run());
    ASSERT_EQ(streams.size(), 1u);
    const std::string& s = streams[0];
    // Second data row: top line 744, baseline 729; the rectangle from 729 - 5 up 20 - 0.5.
    EXPECT_NE(s.find("1.00 1.00 0.00 rg\r84.0 724.0 62.0 19.5 re f\r0.00 0.00 0.00 rg\r"), std::string::npos)
        << s;
    // Right-aligned at 146 - 7 - width("row2") = 139 - 21 = 118, in green.
    EXPECT_NE(s.find("0.00 1.00 0.00 rg\rBT\r/DataFont 10 Tf\r118 729 Td (row2) Tj\rET\r0.00 0.00 0.00 rg\r"),
              std::string::npos)
        << s;
}

// A subclass with its own last say on the cells (it must be able to override GetColData).
class MarkedPDF : public TExporterPDF {
public:
    std::string Mark;

protected:
    void GetColData(const TExportCol& col, std::string& text) override {
        TExporterPDF::GetColData(col, text);
        text = Mark + text;
    }
};

// Every data cell of a subclass goes through its GetColData: the page equals the one drawn cell by cell
// (cell parameters that change nothing) and, with a last say that changes nothing, the plain exporter's.
TEST_F(PDFExport, OverriddenGetColDataReachesEveryCell) {
    AddRows(3);
    ds.AddRow({std::nullopt, "", "(a\\b)"});
    const auto run = [&](TExporterPDF& e, bool cellByCell) {
        e.DataSet = &ds;
        e.FileName = dir.file("sub.pdf");
        e.OnGetCellParams = nullptr;
        if (cellByCell)
            e.OnGetCellParams = [](TExporter&, int, int, const std::string&, TExportColAlign&, TExportFont&,
                                   TExportColor&) {};
        e.Execute();
        return ReadFile(e.FileName);
    };
    const std::string plain = Run();
    MarkedPDF same;
    EXPECT_EQ(run(same, false), plain);
    MarkedPDF marked;
    marked.Mark = "#";
    const std::string page = run(marked, false);
    EXPECT_EQ(page, run(marked, true));
    int status = 0;
    EXPECT_EQ(QpdfCheck(marked.FileName, status).find("ERROR"), std::string::npos);
    const std::string text = PdfToText(marked.FileName);
    EXPECT_TRUE(std::regex_search(text, std::regex("#row2\\s+#2\\s+#note 2"))) << text;
}

TEST_F(PDFExport, LandscapeLettersWithSpacing) {
    AddRows(2);
    ex.Options.PageOptions.SetFormat(TExportPageFormat::pfLetter);
    ex.Options.PageOptions.SetOrientation(TExportPageOrientation::poLandscape);
    ex.Options.RowSpacing = 2;
    ex.Options.GridLineWidth = 2;
    ex.AllowCaptions = false;
    const std::string pdf = Run();
    EXPECT_NE(pdf.find("/MediaBox [0 0 791 611]\r/TrimBox [56 42 735 527]"), std::string::npos);
    const std::vector<std::string> streams = ContentStreams(pdf);
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams[0].find("CaptionFont"), std::string::npos);
    EXPECT_NE(streams[0].find(" w \r"), std::string::npos);
    EXPECT_NE(streams[0].find("2.0 w \r"), std::string::npos);
}

TEST_F(PDFExport, TextIsEncodedInTheFontsEncoding) {
    // café – ’ in each encoding: the bytes differ, the text read back does not (StandardEncoding has no é).
    ds.AddRow({"caf\xC3\xA9 \xE2\x80\x93 \xE2\x80\x99", "1", "x"});
    struct Case {
        TPDFFontEncoding encoding;
        const char* operand;
        const char* text;
    } cases[] = {
        {TPDFFontEncoding::poWinAnsiEncoding, "(caf\xE9 \x96 \x92) Tj",
         "caf\xC3\xA9 \xE2\x80\x93 \xE2\x80\x99"},
        {TPDFFontEncoding::poMacRomanEncoding, "(caf\x8E \xD0 \xD5) Tj",
         "caf\xC3\xA9 \xE2\x80\x93 \xE2\x80\x99"},
        {TPDFFontEncoding::poPDFDocEncoding, "(caf\xE9 \x85 \x90) Tj",
         "caf\xC3\xA9 \xE2\x80\x93 \xE2\x80\x99"},
        {TPDFFontEncoding::poStandardEncoding, "(caf? \xB1 ') Tj", "caf? \xE2\x80\x93 \xE2\x80\x99"},
    };
    for (const Case& c : cases) {
        ex.Options.DataFont.FontEncoding = c.encoding;
        const std::string pdf = Run();
        EXPECT_NE(pdf.find(c.operand), std::string::npos) << PDFFontEncodingText(c.encoding);
        // PDFDocEncoding is not a font encoding readers know by name: it is spelled out.
        EXPECT_NE(
            pdf.find(c.encoding == TPDFFontEncoding::poPDFDocEncoding
                         ? "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding /Differences [24 "
                         : "/Encoding /" + PDFFontEncodingText(c.encoding)),
            std::string::npos);
        int status = 0;
        const std::string text = RunCommand("pdftotext -enc UTF-8 '" + ex.FileName + "' -", status);
        EXPECT_NE(text.find(c.text), std::string::npos) << PDFFontEncodingText(c.encoding) << "\n" << text;
    }
    // The widths follow the encoding: MacRoman's é (0x8E) is as wide as WinAnsi's (0xE9).
    const TPDFWidthTable& mac =
        PDFEncodedWidths(TPDFFontName::poTimesRoman, TPDFFontEncoding::poMacRomanEncoding);
    const TPDFWidthTable& win =
        PDFEncodedWidths(TPDFFontName::poTimesRoman, TPDFFontEncoding::poWinAnsiEncoding);
    EXPECT_EQ(mac[0x8E], win[0xE9]);
    EXPECT_EQ(mac[0xD0], win[0x96]);
}

// The words pdftotext finds, with their left and right edges.
struct TWordBox {
    std::string Word;
    double Left, Right;
};
std::vector<TWordBox> WordBoxes(const std::string& file) {
    int status = 0;
    const std::string html = RunCommand("pdftotext -bbox -enc UTF-8 '" + file + "' -", status);
    EXPECT_EQ(status, 0) << html;
    std::vector<TWordBox> words;
    const std::regex word(
        R"re(<word xMin="([0-9.]+)" yMin="[0-9.]+" xMax="([0-9.]+)" yMax="[0-9.]+">([^<]*)</word>)re");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({(*it)[3], std::stod((*it)[1]), std::stod((*it)[2])});
    return words;
}

TEST_F(PDFExport, CellsStayInTheirColumnsAndWideTablesFitThePage) {
    TMemoryDataSet wide;
    for (int i = 1; i <= 8; ++i)
        wide.AddField({"Column" + std::to_string(i), TFieldType::ftString, 10});
    wide.AddRow({"3/14/2024 1:05 PM", "WWWWWWWWWWWWWWWW", "short", "a b c d e f g h i j k l", "x", "y", "z",
                 "last column text"});
    ex.DataSet = &wide;
    ex.ColumnsAlign.Add("Column2=Right");
    const std::string pdf = Run();
    // Eight columns of 13 average characters need 496 points: the table is scaled to the 468 between
    // the margins, its fonts with it.
    const std::vector<std::string> streams = ContentStreams(pdf);
    ASSERT_EQ(streams.size(), 1u);
    std::vector<double> columnLines;
    const std::regex vertical(R"(([0-9.]+) [0-9.]+ m \r\1 [0-9.]+ l \r)");
    for (auto it = std::sregex_iterator(streams[0].begin(), streams[0].end(), vertical);
         it != std::sregex_iterator(); ++it)
        columnLines.push_back(std::stod((*it)[1]));
    ASSERT_EQ(columnLines.size(), 9u);
    EXPECT_EQ(columnLines.front(), 84);
    EXPECT_LE(columnLines.back(), 552);
    EXPECT_GE(columnLines.back(), 550);
    EXPECT_NE(streams[0].find("/DataFont 9 Tf"), std::string::npos);

    const std::vector<TWordBox> words = WordBoxes(ex.FileName);
    ASSERT_FALSE(words.empty());
    for (const TWordBox& w : words) {
        bool inside = false;
        for (size_t i = 0; i + 1 < columnLines.size(); ++i)
            inside = inside || (w.Left >= columnLines[i] && w.Right <= columnLines[i + 1]);
        EXPECT_TRUE(inside) << w.Word << " " << w.Left << "-" << w.Right;
    }
    // Texts wider than their column end in an ellipsis; short ones are whole.
    const std::string text = PdfToText(ex.FileName);
    EXPECT_NE(text.find("\xE2\x80\xA6"), std::string::npos) << text;
    EXPECT_NE(text.find("short"), std::string::npos);
    EXPECT_EQ(text.find("last column text"), std::string::npos);
}

TEST(PDFFitText, CutsByTheGlyphWidths) {
    TPDFFont font;
    font.FontSize = 10;
    // "WWW" is 3 x 9.44 points wide in Helvetica.
    EXPECT_EQ(PDFFitText("WWW", 29, font), "WWW");
    EXPECT_EQ(PDFFitText("WWW", 28, font), "W\xE2\x80\xA6");
    EXPECT_EQ(PDFFitText("WWW", 10, font), "\xE2\x80\xA6"); // the ellipsis alone is 10 points wide
    EXPECT_EQ(PDFFitText("WWW", 9, font), "");
    EXPECT_EQ(PDFFitText("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 22, font), "\xC3\xA9\xC3\xA9\xE2\x80\xA6");
}

TEST(PDFFitText, ReportsTheWidthOfWhatItReturns) {
    TPDFFont font;
    font.FontSize = 10;
    // Cut or whole, with characters beyond ASCII, malformed bytes and characters the encoding lacks, in
    // each encoding (the width of a cut text is summed as it is cut).
    for (const TPDFFontEncoding encoding :
         {TPDFFontEncoding::poWinAnsiEncoding, TPDFFontEncoding::poStandardEncoding,
          TPDFFontEncoding::poMacRomanEncoding, TPDFFontEncoding::poPDFDocEncoding}) {
        font.FontEncoding = encoding;
        for (const char* source : {"WWW\xC3\xA9", "W\xC3W\xE2\x80W\xF0",
                                   "\xC5\x81\xC3\xB3"
                                   "d\xC5\xBA \xE4\xB8\xAD\xE6\x96\x87"})
            for (int width : {29, 28, 20, 10, 9, 1000}) {
                int fitted = -1;
                const std::string text = PDFFitText(source, width, font, &fitted);
                EXPECT_EQ(fitted, TPDFTextWidth(text, font.FontSize, font.BaseFont, font.FontEncoding))
                    << width << " " << int(encoding);
            }
    }
}

TEST(PDFFitText, OnePassGivesTheEncodedResultOfTheSeparateSteps) {
    // Fitting and encoding in one pass must give the bytes and width of PDFFitText followed by the
    // encoding TextOut applies: over characters the encodings lack, malformed and truncated sequences,
    // texts exactly at the width and one character over, and a width that leaves no room.
    const char* const sources[] = {"",
                                   "WWW",
                                   "WWWW",
                                   "W\xC3\xA9W\xC3\xA9",
                                   "Besan\xC3\xA7on Malm\xC3\xB6",
                                   "\xE4\xB8\xAD\xE6\x96\x87 text",
                                   "\xE2\x82\xAC 12,00 \xE2\x80\x94 x",
                                   "W\xC3W\xE2\x80W\xF0",
                                   "\x80\x80\x80\x80\x80\x80",
                                   "ab\xE2\x80",
                                   "\xF0\x9F\x98WWWWWW",
                                   "\xC0\xAFWW\xED\xA0\x80WW",
                                   "tab\there (x) \\ end",
                                   "1/1/2024 12:00:00 AM"};
    for (const TPDFFontEncoding encoding :
         {TPDFFontEncoding::poWinAnsiEncoding, TPDFFontEncoding::poStandardEncoding,
          TPDFFontEncoding::poMacRomanEncoding, TPDFFontEncoding::poPDFDocEncoding})
        for (const TPDFFontName name : {TPDFFontName::poHelvetica, TPDFFontName::poTimesBold,
                                        TPDFFontName::poCourier, TPDFFontName::poSymbol})
            for (const int size : {0, 1, 6, 10})
                for (const char* source : sources) {
                    TPDFFont font;
                    font.BaseFont = name;
                    font.FontEncoding = encoding;
                    font.FontSize = size;
                    const TSingleByteCharset& charset = PDFEncodingCharset(encoding);
                    const int whole = TPDFTextWidth(source, std::max(size, 1), name, encoding);
                    TPDFTextFitter fitter(font);
                    fitter.Fit("a longer text left over from the cell before", 1000);
                    for (const int width : {0, 1, 9, 10, 20, 28, 29, whole - 1, whole, whole + 1, 1000}) {
                        int expectedWidth = -1;
                        const std::string expected =
                            charset.Encode(PDFFitText(source, width, font, &expectedWidth));
                        const TPDFFittedText fitted = fitter.Fit(source, width);
                        EXPECT_EQ(fitted.Width, expectedWidth) << source << " " << width << " " << size;
                        EXPECT_EQ(fitted.Bytes, expected) << source << " " << width << " " << size;
                    }
                }
}

TEST(PDFFitText, CellsInOnePassMatchFittingThenDrawing) {
    // A cell's text drawn in one pass (encoded, checked, measured and cut straight into the output) must
    // give the bytes of Fit followed by TextOutEncoded at the aligned x: over texts of every length around
    // a word of eight bytes, bytes to escape and characters beyond ASCII at either end, cuts, rooms too
    // narrow even for the ellipsis, and an x whose digits differ from those of the room's left.
    const std::string sources[] = {"",
                                   "a",
                                   "WW",
                                   "abc",
                                   "1/1/2024",
                                   "12/28/2024",
                                   "1/1/2024 12:00:00 AM",
                                   "Nakamura, \"Ann\" 2",
                                   "abcdefghijklmnop",
                                   "The quick brown fox jumps over the lazy dog, 0123456789",
                                   "abcdefghijklmno(",
                                   "(bcdefghijklmnop",
                                   "abcdefg\\",
                                   "bcdefgh)",
                                   "\x1F"
                                   "bcdefgh",
                                   "a'*[]^~\x7F' ,-./09:;<=>?",
                                   "@@@@@@@@@@@@@@@@@@@",
                                   "tab\there",
                                   "Krak\xC3\xB3w",
                                   "\xC3\xA9tude",
                                   "abcdefgh\xC5\x81\xC3\xB3"
                                   "d\xC5\xBA",
                                   "W\xC3W\xE2\x80W\xF0",
                                   "\xC0\xAFW\xC1\xBFW\xC3",
                                   "\xDF\xBF\xC2\x80\xC2\xA0x\xC3\xBF",
                                   "\xE4\xB8\xAD\xE6\x96\x87 text",
                                   "caf\xC3\xA9\x01"};
    for (const TPDFFontEncoding encoding :
         {TPDFFontEncoding::poWinAnsiEncoding, TPDFFontEncoding::poStandardEncoding,
          TPDFFontEncoding::poMacRomanEncoding, TPDFFontEncoding::poPDFDocEncoding})
        for (const int size : {0, 6, 10}) {
            TPDFFont font("F1");
            font.FontEncoding = encoding;
            font.FontSize = size;
            // The same cells are drawn one by one, as whole rows (every text once in a row, one-pass and
            // general cells mixed), and by fitting then drawing.
            std::ostringstream onePass, rows, general;
            TPDFDocument onePassDoc(onePass), rowDoc(rows), generalDoc(general);
            for (TPDFDocument* doc : {&onePassDoc, &rowDoc, &generalDoc}) {
                doc->BeginDoc();
                doc->NewPage();
                doc->SetFont(font);
            }
            TPDFTextFitter onePassFitter(font), rowFitter(font), generalFitter(font);
            const std::vector<std::string_view> rowTexts(std::begin(sources), std::end(sources));
            for (const int left : {5, 95, 100, 990})
                for (const int room : {-20, 0, 9, 12, 20, 28, 40, 200})
                    for (const TExportColAlign align :
                         {TExportColAlign::ecaLeft, TExportColAlign::ecaCenter, TExportColAlign::ecaRight})
                        for (const TExportColor color : {TExportColor(0), TExportColor(0xFF)}) {
                            const std::vector<TPDFCellPlace> places(
                                rowTexts.size(), TPDFCellPlace(rowFitter, left, room, align));
                            rowDoc.RowCellsOut(rowFitter, places.data(), rowTexts.data(), rowTexts.size(),
                                               700, color);
                            for (const std::string& source : sources) {
                                onePassDoc.CellOut(onePassFitter, left, room, align, 700, color, source);
                                const TPDFFittedText fitted = generalFitter.Fit(source, room);
                                generalDoc.TextOutEncoded(PDFAlignedX(left, room, fitted.Width, align), 700,
                                                          color, fitted.Bytes);
                            }
                        }
            for (TPDFDocument* doc : {&onePassDoc, &rowDoc, &generalDoc})
                doc->EndDoc();
            const std::vector<std::string> expected = ContentStreams(general.str());
            ASSERT_EQ(expected.size(), 1u);
            for (const std::ostringstream* drawn : {&onePass, &rows}) {
                const std::vector<std::string> got = ContentStreams(drawn->str());
                ASSERT_EQ(got.size(), 1u);
                // Compared operator by operator, so that a difference shows where it is.
                std::istringstream gotLines(got[0]), expectedLines(expected[0]);
                std::string gotLine, expectedLine;
                while (std::getline(expectedLines, expectedLine, '\r')) {
                    ASSERT_TRUE(std::getline(gotLines, gotLine, '\r')) << int(encoding) << " " << size;
                    ASSERT_EQ(gotLine, expectedLine) << int(encoding) << " " << size;
                }
                EXPECT_FALSE(std::getline(gotLines, gotLine, '\r'));
            }
        }
}

} // namespace
} // namespace exporter::test
