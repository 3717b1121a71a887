#include "ExportTestSupport.h"

#include "export/core/ExporterCustomSource.h"
#include "export/core/ExporterRTF.h"
#include "platform/ini/IniFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace exporter::test {
namespace {

// Groups open and close in pairs (escaped braces aside) and the document is one group.
void ExpectBalancedGroups(const std::string& rtf) {
    int depth = 0;
    int topGroups = 0;
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '\\') {
            ++i; // the escaped character or the control word's first letter
            continue;
        }
        if (c == '{') {
            if (depth == 0)
                ++topGroups;
            ++depth;
        } else if (c == '}') {
            --depth;
            ASSERT_GE(depth, 0) << "closing brace at " << i;
        }
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(topGroups, 1);
    EXPECT_EQ(rtf.front(), '{');
    EXPECT_EQ(rtf.back(), '}');
}

// The line of the document that begins with prefix.
std::string LineStarting(const std::string& rtf, const std::string& prefix) {
    const size_t pos = rtf.find("\r\n" + prefix);
    if (pos == std::string::npos)
        return rtf.rfind(prefix, 0) == 0 ? rtf.substr(0, rtf.find("\r\n")) : std::string();
    return rtf.substr(pos + 2, rtf.find("\r\n", pos + 2) - pos - 2);
}

// A data set that tells each move to the next row (recNo: the row moved from, counted from 0).
class WatchedDataSet : public TMemoryDataSet {
public:
    std::function<void(int recNo)> OnNext;
    void Next() override {
        const int from = RecNo();
        TMemoryDataSet::Next();
        if (OnNext)
            OnNext(from);
    }
};

// An exporter whose own step changes the styles before row 2 is written.
class StyleChangingRTF : public TExporterRTF {
public:
    std::function<void(TExporter&)> Change;

protected:
    void WriteDataRow() override {
        if (RecordCounter == 2 && Change)
            Change(*this);
        TExporterRTF::WriteDataRow();
    }
};

const std::string kBorders = "\\clbrdrl\\brdrth \\clbrdrr\\brdrth \\clbrdrt\\brdrth \\clbrdrb\\brdrth\r\n";

class RTFExport : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.MutableField(1).DisplayWidth = 5;
        ex.DataSet = &ds;
        ex.TextMeasure = [](const std::string& text, const TExportFont&) { return 7 * int(text.size()); };
    }
    std::string Run() {
        std::ostringstream out;
        ex.ExportToStream(out);
        const std::string rtf = out.str();
        ExpectBalancedGroups(rtf);
        return rtf;
    }

    TMemoryDataSet ds;
    TExporterRTF ex;
};

TEST_F(RTFExport, SmallTableExactly) {
    ds.AddRow({"alpha", "12"});
    EXPECT_EQ(Run(), "{\\rtf1\\ansi\\deff0\\deftab720\r\n"
                     "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}}\r\n"
                     "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\r\n"
                     "\\f0\\fs20\r\n"
                     "\\paperw11906\r\n"
                     "\\paperh16838\r\n"
                     "\\par\r\n"
                     "\\trowd\\trql\\trgaph0\\trleft36\r\n" +
                         kBorders + "\\cellx1096\r\n" + kBorders +
                         "\\cellx1631\r\n"
                         "\\f0\\fs20\r\n"
                         "\\pard\\intbl\\li30\\ri30\\cbpat1\\qc{\\f0\\fs20\\cf0\\b Name}\\cell"
                         "\\pard\\intbl\\li30\\ri30\\cbpat1\\qc{\\f0\\fs20\\cf0\\b Count}\\cell\\row\r\n"
                         "\\f0\\fs20\r\n"
                         "\\pard\\intbl\\li30\\ri30\\cbpat1\\ql{\\f0\\fs20\\cf0 alpha}\\cell"
                         "\\pard\\intbl\\li30\\ri30\\cbpat1\\qr{\\f0\\fs20\\cf0 12}\\cell\\row\r\n"
                         "\\pard\r\n"
                         "}");
}

TEST_F(RTFExport, HeaderFooterAndLandscape) {
    ds.AddRow({"alpha", "1"});
    ex.Header.Add("Report");
    ex.Footer.Add("End");
    ex.Footer.Add("Page");
    ex.Options.PageOrientation = TExportPageOrientation::poLandscape;
    ex.Options.HeaderStyle.Alignment = TrtfTextAlignment::talFill;
    ex.Options.HeaderStyle.Font.Italic = true;
    ex.Options.FooterStyle.AllowBackground = false;
    ex.AllowCaptions = false;
    const std::string rtf = Run();
    EXPECT_NE(rtf.find("\\f0\\fs20\r\n\\landscape\r\n\\paperw16838\r\n\\paperh11906\r\n"
                       "{\\qj\\cbpat1 \r\n{\\f0\\fs20\\cf0\\i Report}\r\n\\par\r\n}\r\n\\par\r\n\\trowd"),
              std::string::npos)
        << rtf;
    EXPECT_TRUE(rtf.ends_with("\\row\r\n\\pard\r\n\\par\r\n{\\ql\r\n{\\f0\\fs20\\cf0 End}\r\n\\par\r\n"
                              "{\\f0\\fs20\\cf0 Page}\r\n\\par\r\n}\r\n}"))
        << rtf;
    EXPECT_EQ(rtf.find("\\paperw11906"), std::string::npos);
}

TEST_F(RTFExport, NewStripFontIsInsertedIntoTheWrittenTable) {
    for (int i = 1; i <= 4; ++i)
        ds.AddRow({"row" + std::to_string(i), std::to_string(i)});
    ex.Options.StripType = TrtfStripType::stRow;
    ex.Options.StripStyles.Add();
    ex.Options.StripStyles.Add().Font.Name = "arial"; // same font, other case
    TrtfStyle& third = ex.Options.StripStyles.Add();
    third.Font.Name = "Courier New";
    third.Font.Color = 0x0000FF;
    third.AllowHighlight = true;
    third.HighlightColor = 0x00FFFF;
    const std::string rtf = Run();
    EXPECT_EQ(LineStarting(rtf, "{\\fonttbl"),
              "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}{\\f2\\fnil Courier New;}}");
    EXPECT_EQ(LineStarting(rtf, "{\\colortbl"),
              "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;"
              "\\red255\\green0\\blue0;\\red255\\green255\\blue0;}");
    EXPECT_NE(rtf.find("\\pard\\intbl\\li30\\ri30\\cbpat1\\highlight3\\ql{\\f2\\fs20\\cf2 row3}\\cell"),
              std::string::npos)
        << rtf;
    // Rows 1, 2 and 4 use the first two styles.
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0 row4}"), std::string::npos);
    // Everything after the tables is as written before the insertion.
    EXPECT_NE(rtf.find("}\r\n\\f0\\fs20\r\n\\paperw11906\r\n"), std::string::npos);
}

TEST_F(RTFExport, ColumnStripsAndStyleEventsWorkOnCopies) {
    ds.AddRow({"a", "1"});
    ds.AddRow({"b", "2"});
    ex.SkipRecCount = 1;
    ex.Options.StripType = TrtfStripType::stCol;
    ex.Options.StripStyles.Add().Font.Bold = true;
    ex.Options.StripStyles.Add().Font.Underline = true;
    std::vector<std::string> seen;
    ex.OnGetDataStyle = [&](TExporter&, int row, int col, TrtfStyle& style) {
        seen.push_back(std::to_string(row) + ":" + std::to_string(col));
        style.Font.StrikeOut = true;
        style.AllowBackground = false;
    };
    ex.OnGetCaptionStyle = [&](TExporter&, int col, TrtfStyle& style) {
        if (col == 1)
            style.Font.Size = 14;
    };
    const std::string rtf = Run();
    EXPECT_EQ(seen, (std::vector<std::string>{"1:0", "1:1"}));
    EXPECT_NE(rtf.find("\\pard\\intbl\\li30\\ri30\\ql{\\f0\\fs20\\cf0\\b\\strike b}\\cell"
                       "\\pard\\intbl\\li30\\ri30\\qr{\\f0\\fs20\\cf0\\ul\\strike 2}\\cell\\row"),
              std::string::npos)
        << rtf;
    EXPECT_NE(rtf.find("{\\f0\\fs28\\cf0\\b Count}"), std::string::npos);
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0\\b Name}"), std::string::npos);
    EXPECT_FALSE(ex.Options.StripStyles[0].Font.StrikeOut);
    EXPECT_EQ(ex.Options.CaptionStyle.Font.Size, 10);
}

TEST_F(RTFExport, ColumnStripsWithoutStyleEventOnEveryRow) {
    ds.AddRow({"a", "1"});
    ds.AddRow({"b", "2"});
    ex.Options.StripType = TrtfStripType::stCol;
    ex.Options.StripStyles.Add().Font.Bold = true;
    ex.Options.StripStyles.Add().Font.Underline = true;
    const std::string rtf = Run();
    for (const std::string row :
         {"a}\\cell\\pard\\intbl\\li30\\ri30\\cbpat1\\qr{\\f0\\fs20\\cf0\\ul 1}\\cell\\row",
          "b}\\cell\\pard\\intbl\\li30\\ri30\\cbpat1\\qr{\\f0\\fs20\\cf0\\ul 2}\\cell\\row"})
        EXPECT_NE(rtf.find("\\ql{\\f0\\fs20\\cf0\\b " + row), std::string::npos) << row << "\n" << rtf;
}

// Once the caption row is out, a document whose tables can no longer grow goes straight to the target;
// otherwise it waits in the scratch file for late table entries. Both give the same bytes: each case is
// exported as it is and once more with a footer style event that does nothing, which keeps the scratch
// file. Whether the head went out early shows in the target's size after the first row.
TEST(RTFHeadSentEarly, SameBytesWithAndWithoutTheScratchFile) {
    struct Case {
        std::string name;
        std::function<void(TExporterRTF&)> prepare;
        bool early; // the head goes out before the rows
    };
    const auto newFont = [](TrtfStyle& style) { style.Font.Name = "Courier New"; };
    const std::vector<Case> cases = {
        {"defaults", [](TExporterRTF&) {}, true},
        {"no captions: the background is first used by a row",
         [](TExporterRTF& ex) { ex.AllowCaptions = false; }, false},
        {"no captions and no background",
         [](TExporterRTF& ex) {
             ex.AllowCaptions = false;
             ex.Options.DataStyle.AllowBackground = false;
             ex.Options.FooterStyle.AllowBackground = false;
         },
         true},
        {"row strips in known fonts and colours",
         [](TExporterRTF& ex) {
             ex.Options.StripType = TrtfStripType::stRow;
             ex.Options.StripStyles.Add().Font.Bold = true;
             TrtfStyle& second = ex.Options.StripStyles.Add();
             second.Font.Name = "ARIAL";     // the same font, other case
             second.Font.Color = 0x7F000000; // black beyond the colour's three bytes
             second.AllowHighlight = true;   // white, from the captions
         },
         true},
        {"row strips: a new colour from row 2",
         [](TExporterRTF& ex) {
             ex.Options.StripType = TrtfStripType::stRow;
             ex.Options.StripStyles.Add();
             ex.Options.StripStyles.Add().BackgroundColor = 0x336699;
         },
         false},
        {"row strips: a new highlight on row 3",
         [](TExporterRTF& ex) {
             ex.Options.StripType = TrtfStripType::stRow;
             ex.Options.StripStyles.Add();
             ex.Options.StripStyles.Add();
             TrtfStyle& third = ex.Options.StripStyles.Add();
             third.AllowHighlight = true;
             third.HighlightColor = 0x00FFFF;
         },
         false},
        {"column strips with a new font",
         [&](TExporterRTF& ex) {
             ex.Options.StripType = TrtfStripType::stCol;
             ex.Options.StripStyles.Add();
             newFont(ex.Options.StripStyles.Add());
         },
         false},
        {"a strip style while strips are off",
         [&](TExporterRTF& ex) { newFont(ex.Options.StripStyles.Add()); }, false},
        {"a new data font", [&](TExporterRTF& ex) { newFont(ex.Options.DataStyle); }, true},
        {"a data style event",
         [](TExporterRTF& ex) {
             ex.OnGetDataStyle = [](TExporter&, int row, int, TrtfStyle& style) {
                 if (row == 2)
                     style.Font.Color = 0x0000FF;
             };
         },
         false},
        {"a footer in a new font",
         [&](TExporterRTF& ex) {
             ex.Footer.Add("End");
             newFont(ex.Options.FooterStyle);
         },
         false},
        {"a footer in a new colour added once the rows are out",
         [](TExporterRTF& ex) {
             ex.Options.FooterStyle.Font.Color = 0x00FF00;
             ex.OnExportedRecord = [](TExporter& sender, int) {
                 rtl::TStringList& footer = static_cast<TExporterRTF&>(sender).Footer;
                 if (footer.Count() == 0)
                     footer.Add("late");
             };
         },
         false},
        {"a footer in known fonts and colours",
         [](TExporterRTF& ex) {
             ex.Footer.Add("End");
             ex.Options.FooterStyle.Font.Name = "arial";
             ex.Options.FooterStyle.Font.Italic = true;
         },
         true},
        {"a footer style event",
         [](TExporterRTF& ex) {
             ex.Footer.Add("End");
             ex.OnGetFooterStyle = [](TExporter&, TrtfStyle& style) { style.Font.Name = "Symbol"; };
         },
         false},
    };
    WatchedDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    ds.AddField({"Count", TFieldType::ftInteger});
    for (const std::string name : {"Gr\xC3\xBC\xC3\x9F", "a{b}", "one\r\ntwo", "\xE4\xB8\xAD", "e"})
        ds.AddRow({name, std::to_string(name.size())});
    const auto run = [&](const Case& c, bool keepScratch, bool& early) {
        TExporterRTF ex;
        ex.DataSet = &ds;
        ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
        c.prepare(ex);
        if (keepScratch && !ex.OnGetFooterStyle)
            ex.OnGetFooterStyle = [](TExporter&, TrtfStyle&) {};
        std::ostringstream out;
        early = false;
        ds.OnNext = [&](int recNo) {
            if (recNo == 1)
                early = out.tellp() > 0;
        };
        ex.ExportToStream(out);
        return out.str();
    };
    for (const Case& c : cases) {
        bool early = false, scratchEarly = true;
        std::string direct, scratch;
        try {
            direct = run(c, false, early);
            scratch = run(c, true, scratchEarly);
        } catch (const std::exception& error) {
            ADD_FAILURE() << c.name << ": " << error.what();
            continue;
        }
        EXPECT_EQ(early, c.early) << c.name;
        EXPECT_FALSE(scratchEarly) << c.name;
        EXPECT_EQ(direct, scratch) << c.name;
        ExpectBalancedGroups(direct);
    }
}

// Code of the caller's that runs while the rows are written may give the footer a new font and the data
// a new colour from row 2 on. The table entries are then inserted into the written tables, as they are
// for the same styles given by the style events: the bytes equal those of an export whose data style event
// colours rows 2 on and whose footer style event names the font. Every event that reaches the exporter
// during the rows, a custom source's callbacks and a subclass's step are tried.
TEST(RTFLateStyleChange, EveryHandlerDuringTheRowsGivesTheStyleEventsBytes) {
    const auto change = [](TExporter& sender) {
        TExporterRTF& ex = static_cast<TExporterRTF&>(sender);
        ex.Options.FooterStyle.Font.Name = "Courier New";
        ex.Options.DataStyle.Font.Color = 0x0000FF;
    };
    struct Case {
        std::string name;
        std::function<void(TExporterRTF&, WatchedDataSet&)> prepare;
        int from; // the first row (counted from 0 after the skipped ones) in the new colour
    };
    const std::vector<Case> cases = {
        {"OnBeforeExportRow",
         [&](TExporterRTF& ex, WatchedDataSet&) {
             ex.OnBeforeExportRow = [&](TExporter& sender, TExportRow&, bool&) {
                 if (sender.RecordCounter == 2)
                     change(sender);
             };
         },
         2},
        {"OnExportedRecord",
         [&](TExporterRTF& ex, WatchedDataSet&) {
             ex.OnExportedRecord = [&](TExporter& sender, int recNo) {
                 if (recNo == 1)
                     change(sender);
             };
         },
         2},
        {"OnGetExportText",
         [&](TExporterRTF& ex, WatchedDataSet&) {
             ex.OnGetExportText = [&](TExporter& sender, int colNo, std::string&) {
                 if (sender.RecordCounter == 3 && colNo == 1)
                     change(sender);
             };
         },
         3},
        {"OnSkippedRecord",
         [&](TExporterRTF& ex, WatchedDataSet&) {
             ex.SkipRecCount = 1;
             ex.OnSkippedRecord = [&](TExporter& sender, int) { change(sender); };
         },
         0},
        {"OnStopExport",
         [&](TExporterRTF& ex, WatchedDataSet& ds) {
             ds.OnNext = [&ex](int recNo) {
                 if (recNo == 1) // after row 1: asked before row 2
                     ex.Abort();
             };
             ex.OnStopExport = [&](TExporter& sender, bool& canContinue) {
                 canContinue = true;
                 change(sender);
             };
         },
         2},
        {"OnGetDataStyle changing the exporter's styles",
         [&](TExporterRTF& ex, WatchedDataSet&) {
             ex.OnGetDataStyle = [&](TExporter& sender, int row, int col, TrtfStyle& style) {
                 if (row == 1 && col == 1)
                     change(sender);
                 if (row >= 2)
                     style.Font.Color = 0x0000FF;
             };
         },
         2},
    };
    const auto fill = [](WatchedDataSet& ds) {
        ds.AddField({"Name", TFieldType::ftString, 10});
        ds.AddField({"Count", TFieldType::ftInteger});
        for (int i = 0; i < 6; ++i)
            ds.AddRow({"row" + std::to_string(i), std::to_string(i)});
    };
    const auto setUp = [](TExporterRTF& ex) {
        ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
        ex.Footer.Add("End");
    };
    // The same styles through the style events.
    const auto expected = [&](int from, int skip, const std::function<void(TExporterRTF&)>& source) {
        TExporterRTF ex;
        setUp(ex);
        ex.SkipRecCount = skip;
        source(ex);
        ex.OnGetDataStyle = [from](TExporter& sender, int, int, TrtfStyle& style) {
            if (sender.RecordCounter >= from)
                style.Font.Color = 0x0000FF;
        };
        ex.OnGetFooterStyle = [](TExporter&, TrtfStyle& style) { style.Font.Name = "Courier New"; };
        std::ostringstream out;
        ex.ExportToStream(out);
        return out.str();
    };
    const auto check = [](const std::string& name, const std::string& rtf, const std::string& reference) {
        EXPECT_EQ(rtf, reference) << name;
        EXPECT_EQ(LineStarting(rtf, "{\\fonttbl"),
                  "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Arial;}{\\f2\\fnil Courier New;}}")
            << name;
        EXPECT_NE(LineStarting(rtf, "{\\colortbl").find("\\red255\\green0\\blue0;"), std::string::npos)
            << name;
        EXPECT_NE(rtf.find("{\\f2\\fs20\\cf0 End}"), std::string::npos) << name;
        ExpectBalancedGroups(rtf);
    };
    for (const Case& c : cases) {
        WatchedDataSet ds;
        fill(ds);
        TExporterRTF ex;
        setUp(ex);
        ex.DataSet = &ds;
        c.prepare(ex, ds);
        std::ostringstream out;
        try {
            ex.ExportToStream(out);
        } catch (const std::exception& error) {
            ADD_FAILURE() << c.name << ": " << error.what();
            continue;
        }
        WatchedDataSet plain;
        fill(plain);
        check(c.name, out.str(), expected(c.from, ex.SkipRecCount, [&](TExporterRTF& reference) {
                  reference.DataSet = &plain;
              }));
    }

    // A custom source's callbacks.
    TqeCustomSource source;
    source.Columns.Add().SetColumnName("Name");
    source.Columns.Add().SetColumnName("Count");
    source.OnGetNextRecord = [](TqeCustomSource&, int recNo, bool& eof) { eof = recNo >= 6; };
    std::function<void(int)> onValue;
    source.OnGetColumnValue = [&](TqeCustomSource&, int recNo, const TqeCustomColumn& column,
                                  TExportVariant& v) {
        if (onValue)
            onValue(recNo);
        v = column.Index() == 0 ? TExportVariant("row" + std::to_string(recNo))
                                : TExportVariant(std::int64_t(recNo));
    };
    const auto useSource = [&](TExporterRTF& ex) {
        ex.ExportSource = TExportSource::esCustom;
        ex.CustomSource = &source;
    };
    const std::string reference = expected(2, 0, useSource);
    {
        TExporterRTF ex;
        setUp(ex);
        useSource(ex);
        onValue = [&ex, &change](int recNo) {
            if (recNo == 3)
                change(ex);
        };
        std::ostringstream out;
        ex.ExportToStream(out);
        onValue = nullptr;
        check("a custom source", out.str(), reference);
    }
    // A subclass's own step.
    {
        StyleChangingRTF ex;
        setUp(ex);
        useSource(ex);
        ex.Change = change;
        std::ostringstream out;
        ex.ExportToStream(out);
        check("a subclass", out.str(), reference);
    }
}

// LibreOffice reads a document whose row handler gave the footer a new font and the data a new colour:
// the late table entries are where its reader finds them.
TEST(RTFLateStyleChange, LibreOfficeReadsTheLateFontAndColour) {
    if (std::system("command -v soffice >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "LibreOffice (soffice) is not installed: the RTF read-back needs it";
    TempDir dir;
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 10});
    for (int i = 0; i < 4; ++i)
        ds.AddRow({"row" + std::to_string(i)});
    TExporterRTF ex;
    ex.DataSet = &ds;
    ex.Footer.Add("The end");
    ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
    ex.OnBeforeExportRow = [](TExporter& sender, TExportRow&, bool&) {
        TExporterRTF& rtf = static_cast<TExporterRTF&>(sender);
        if (sender.RecordCounter == 2) {
            rtf.Options.FooterStyle.Font.Name = "Courier New";
            rtf.Options.DataStyle.Font.Color = 0x0000FF;
        }
    };
    ex.FileName = dir.file("late.rtf");
    ex.Execute();
    int status = 0;
    const std::string out =
        RunCommand("soffice -env:UserInstallation=file://" + dir.file("lo-profile") +
                       " --headless --convert-to html --outdir " + dir.file("lo") + " " + ex.FileName,
                   status);
    ASSERT_EQ(status, 0) << out;
    const std::string html = ReadFile(dir.file("lo/late.html"));
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(html.find("row" + std::to_string(i)), std::string::npos) << html;
    const size_t red = html.find("#ff0000");
    ASSERT_NE(red, std::string::npos) << html;
    EXPECT_LT(html.find("row1"), red);
    EXPECT_LT(red, html.find("row2"));
    const size_t courier = html.find("Courier New");
    ASSERT_NE(courier, std::string::npos) << html;
    EXPECT_LT(courier, html.find("The end"));
}

TEST_F(RTFExport, CaptionAlignmentAndEscaping) {
    ds.AddRow({"x{1}\\y", "3"});
    ds.AddRow({"two\r\nlines", "4"});
    ex.Captions.Add("Name={Name}\\");
    ex.Options.CaptionAligns.Add("Name=right");
    ex.Options.CaptionAligns.Add("Count=left");
    const std::string rtf = Run();
    EXPECT_NE(rtf.find("\\cbpat1\\qr{\\f0\\fs20\\cf0\\b \\{Name\\}\\\\}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\cbpat1\\ql{\\f0\\fs20\\cf0\\b Count}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0 x\\{1\\}\\\\y}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0 two \\par lines}\\cell"), std::string::npos) << rtf;
    // A text the quick test keeps is one the escaping leaves as it is (cells skip the escaping then).
    EXPECT_TRUE(ex.KeepsText("Plain 1,234.50 $ Zürich"));
    // Every byte at the first, middle and last places and the word ends of texts of every length up to
    // 35 (the byte, half-word, word and overlapping pieces): the quick test keeps exactly the texts the
    // escaping leaves alone.
    for (int byte = 0; byte < 256; ++byte)
        for (size_t size = 1; size <= 35; ++size)
            for (size_t pos : {size_t(0), size / 2, size - 1, size_t(7), size_t(8), size_t(15), size_t(16)}) {
                if (pos >= size)
                    continue;
                std::string text(size, 'x');
                text[pos] = char(byte);
                EXPECT_EQ(ex.KeepsText(text), ex.NormalString(text) == text)
                    << byte << " at " << pos << "/" << size;
            }
}

// Cells whose text is taken as it is, past the escaping.
class RawTextRTF : public TExporterRTF {
public:
    std::string CellText;

protected:
    void GetColData(const TExportCol&, std::string& text) override { text = CellText; }
};

// The bytes of one-cell data rows, escaped and as raw text, at the edges of eight-byte words: the row is
// built from the cells' own bytes, which must equal what converting the whole row would give.
TEST(RTFCellBytes, HardTextsEscapedAndRaw) {
    struct Case {
        std::string text;
        std::string escaped; // a field's value through the escaping
        std::string raw;     // the same text past the escaping
    };
    const std::string u = "\xC3\xBC"; // ü
    const std::string w = "\xFC";     // ü in Windows-1252
    const std::vector<Case> cases = {
        {"abc", "abc", "abc"},
        {"abcdefg", "abcdefg", "abcdefg"},
        {"abcdefgh", "abcdefgh", "abcdefgh"},
        {"{a}\\b", "\\{a\\}\\\\b", "{a}\\b"},
        {u + "ber", w + "ber", w + "ber"},
        {"abc" + u, "abc\xFC", "abc\xFC"},
        {"abcdefg" + u, "abcdefg\xFC", "abcdefg\xFC"},
        {"0123456789abcdef" + u + "x", "0123456789abcdef\xFCx", "0123456789abcdef\xFCx"},
        {"\xE2\x82\xAC 5", "\x80 5", "\x80 5"},          // in the code page's 0x80-0x9F
        {"\xC3\x80-\xC3\xBF", "\xC0-\xFF", "\xC0-\xFF"}, // the ends of U+00A0 to U+00FF
        {"a\xC2\xA0\xC2\xA3\xC2\xBF", "a\xA0\xA3\xBF", "a\xA0\xA3\xBF"},
        {"a\xC2\x9F", "a\\u159?", "a\\u159?"},                    // a C1 control the code page lacks
        {"\xC2\x81\xC2\x9D", "\\u129?\\u157?", "\\u129?\\u157?"}, // and two of its unassigned bytes
        {"a\xC4\x80z", "a\\u256?z", "a\\u256?z"},                 // beyond Windows-1252
        {"\xE4\xB8\xAD{", "\\u20013?\\{", "\\u20013?{"},          // and beside a brace
        {"\xF0\x9F\x98\x80!", "\\u-10179?\\u-8704?!", "\\u-10179?\\u-8704?!"}, // beyond the BMP
        {"a\tb\x01-\x7F!", "a\\tab b\\'01-\\'7f!", "a\tb\x01-\x7F!"},
        {"one\r\ntwo", "one \\par two", "one \\par two"},
        {"0123456\r\n9", "0123456 \\par 9", "0123456 \\par 9"},
        {u + "\r\n" + u, "\xFC \\par \xFC", "\xFC \\par \xFC"},
        {"a\rb\nc", "a\\line b\\line c", "a\rb\nc"},
    };
    const std::string rowStart = "\\pard\\intbl\\li30\\ri30\\cbpat1\\ql{\\f0\\fs20\\cf0 ";
    auto dataRow = [&](TExporterRTF& ex, const std::string& value) {
        TMemoryDataSet ds;
        ds.AddField({"Text", TFieldType::ftString, 40});
        ds.AddRow({value});
        ex.DataSet = &ds;
        ex.AllowCaptions = false;
        ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
        std::ostringstream out;
        ex.ExportToStream(out);
        return LineStarting(out.str(), rowStart);
    };
    for (const Case& c : cases) {
        TExporterRTF ex;
        EXPECT_EQ(dataRow(ex, c.text), rowStart + c.escaped + "}\\cell\\row") << c.text;
    }
    // Raw texts as well: malformed UTF-8 (which the data set would repair), ending mid-character too.
    std::vector<Case> raw = cases;
    raw.push_back({"a\xFF-", "", "a\\u-3?-"});
    raw.push_back({"ab\xC3", "", "ab\\u-3?"});
    raw.push_back({"\xC3(\xC3\xBC", "", "\\u-3?(\xFC"});
    raw.push_back({"\r\n", "", " \\par "});
    for (const Case& c : raw) {
        RawTextRTF ex;
        ex.CellText = c.text;
        EXPECT_EQ(dataRow(ex, "x"), rowStart + c.raw + "}\\cell\\row") << c.text;
    }
}

// A subclass that writes a tilde as its hexadecimal escape too.
class TildeRTF : public TExporterRTF {
public:
    std::string NormalString(const std::string& s) const override {
        std::string out;
        for (const char c : TExporterRTF::NormalString(s))
            out += c == '~' ? std::string("\\'7e") : std::string(1, c);
        return out;
    }
};

// A subclass's escaping reaches every text, also those the class's own quick test would keep.
TEST(RTFCellBytes, ASubclassEscapingReachesTextsTheQuickTestKeeps) {
    TMemoryDataSet ds;
    ds.AddField({"Na~me", TFieldType::ftString, 10});
    ds.AddRow({"a~b"});
    ds.AddRow({"{~}"});
    TildeRTF ex;
    ex.DataSet = &ds;
    ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
    std::ostringstream out;
    ex.ExportToStream(out);
    const std::string rtf = out.str();
    EXPECT_NE(rtf.find("\\b Na\\'7eme}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0 a\\'7eb}\\cell"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("{\\f0\\fs20\\cf0 \\{\\'7e\\}}\\cell"), std::string::npos) << rtf;
    EXPECT_EQ(rtf.find('~'), std::string::npos) << rtf;
}

// The same exporter without the one-pass cells: a subclass takes every cell through GetText.
class CellByCellRTF : public TExporterRTF {};

// Data rows escaped while they are copied equal the rows built cell by cell through GetText, over hard
// texts in columns of every kind and exporters set up in ways that reach the cell texts.
TEST(RTFCellBytes, OnePassRowsEqualCellByCell) {
    const std::vector<std::string> texts = {
        "",
        "plain",
        "a{b}c\\d",
        "\\",
        "{",
        "}}",
        "tab\there",
        "\x01\x02\x1F\x7F|~",
        "one\r\ntwo",
        "a\rb",
        "a\nb",
        "\r\n\r\n",
        "\n\r",
        "a\r\r\nb",
        "x\r",
        "\r\nx",
        "Gr\xC3\xBC\xC3\x9F"
        "e S\xC3\xA3o",
        "\xC2\xA0\xC2\xBF\xC3\x80\xC3\xBF",
        "\xC2\x80\xC2\x9F",
        "\xE2\x82\xAC 5 \xE2\x80\x9C"
        "q\xE2\x80\x9D",
        "\xC5\x81\xC3\xB3"
        "d\xC5\xBA",
        "\xE4\xB8\xAD{\xE6\x96\x87}",
        "\xF0\x9F\x98\x80\xF0\x9D\x84\x9E!",
        "\xEF\xBF\xBD",
        "\xC3\xBC\\\xC3\xBC",
        "\xC3\xBC\r\n\xE4\xB8\xAD",
        "0123456789abcdef0123456789abcde}",
        "0123456789abcdef0123456789abcdef{",
        "0123456789abcdef0123456789abcdef",
        "1234",
        "-1,234.5",
        "12.5x",
        "2024-02-29",
        "13:45:07",
        "2024-02-29 13:45:07",
        "true",
        "FALSE",
        std::string(4096, '\r'),
        std::string(4097, '{'),
        std::string(3000, 'a') + "\xC3\xBC\r\n" + std::string(2000, 'b'),
    };
    const std::vector<std::pair<std::string, TFieldType>> fields = {
        {"Str", TFieldType::ftString},     {"Int", TFieldType::ftInteger},  {"Flt", TFieldType::ftFloat},
        {"Cur", TFieldType::ftCurrency},   {"Day", TFieldType::ftDate},     {"Tim", TFieldType::ftTime},
        {"Stamp", TFieldType::ftDateTime}, {"Flag", TFieldType::ftBoolean}, {"Any", TFieldType::ftUnknown},
        {"Wide", TFieldType::ftWideString}};
    TMemoryDataSet ds;
    for (const auto& [name, type] : fields)
        ds.AddField({name, type, 20});
    for (size_t i = 0; i < texts.size(); ++i) {
        TMemoryDataSet::TRow row;
        for (size_t f = 0; f < fields.size(); ++f)
            row.push_back(texts[(i + f) % texts.size()]);
        ds.AddRow(row);
    }
    ds.AddRow(TMemoryDataSet::TRow(fields.size(), std::nullopt));
    ds.AddRow({"{x}", "1", "2.5", "3", "2024-01-02", "01:02:03", "2024-01-02 01:02:03", "true", "a\\b",
               "\xC3\xA9"});

    struct Setup {
        std::string name;
        std::function<void(TExporterRTF&)> prepare;
    };
    const std::vector<Setup> setups = {
        {"defaults", [](TExporterRTF&) {}},
        {"NULL text with specials and a malformed byte",
         [](TExporterRTF& ex) { ex.Formats.SetNullString("{null}\\ \xFF\xC3 \xC3\xBC\t"); }},
        {"formats that write specials",
         [](TExporterRTF& ex) {
             ex.Formats.SetDateFormat("yyyy'{'mm'}\\'dd");
             ex.Formats.SetCurrencyFormat("\xE2\x82\xAC#,##0.00'}'");
             ex.UserFormats.Add("Int=0'\t\xC5\x81'");
         }},
        {"column strips, no captions",
         [](TExporterRTF& ex) {
             ex.AllowCaptions = false;
             ex.Options.StripType = TrtfStripType::stCol;
             ex.Options.StripStyles.Add().Font.Bold = true;
             ex.Options.StripStyles.Add().AllowHighlight = true;
         }},
        {"row strips in a new colour",
         [](TExporterRTF& ex) {
             ex.Options.StripType = TrtfStripType::stRow;
             ex.Options.StripStyles.Add();
             ex.Options.StripStyles.Add().BackgroundColor = 0x336699;
         }},
        {"values changed by a handler",
         [](TExporterRTF& ex) {
             ex.OnGetExportText = [](TExporter&, int col, std::string& text) {
                 if (col % 2 == 0)
                     text = "{" + text + "}\r\n\xE4\xB8\xAD";
             };
         }},
    };
    const auto run = [](TExporterRTF& ex, const Setup& setup, TMemoryDataSet& data) {
        ex.DataSet = &data;
        ex.TextMeasure = [](const std::string&, const TExportFont&) { return 7; };
        setup.prepare(ex);
        std::ostringstream out;
        ex.ExportToStream(out);
        return out.str();
    };
    for (const Setup& setup : setups) {
        TExporterRTF onePass;
        CellByCellRTF cellByCell;
        const std::string rtf = run(onePass, setup, ds);
        EXPECT_EQ(rtf, run(cellByCell, setup, ds)) << setup.name;
        ExpectBalancedGroups(rtf);
    }
    // Every byte at the first, middle and last places and the word ends of texts of every length up to 35,
    // one row each: the quick test that copies a short text as it is must miss none.
    TMemoryDataSet bytes;
    bytes.AddField({"Text", TFieldType::ftString, 40});
    for (int byte = 1; byte < 256; ++byte)
        for (size_t size = 1; size <= 35; ++size)
            for (size_t pos : {size_t(0), size / 2, size - 1, size_t(7), size_t(8), size_t(16), size_t(31)})
                if (pos < size) {
                    std::string text(size, 'x');
                    text[pos] = char(byte);
                    bytes.AddRow({text});
                }
    TExporterRTF onePass;
    CellByCellRTF cellByCell;
    const std::string rtf = run(onePass, setups[0], bytes);
    EXPECT_TRUE(rtf == run(cellByCell, setups[0], bytes)); // too long to print
}

TEST_F(RTFExport, WindowsCodePageAndFile) {
    ds.AddRow({"Gr\xC3\xBC\xC3\x9F"
               "e \xE4\xB8\xAD",
               "1"});
    ex.Options.DataStyle.Font.Name = "Times New Roman";
    ex.Options.CaptionStyle.Font.Name = "Verdana";
    TempDir dir;
    ex.FileName = dir.file("out.rtf");
    ex.Execute();
    const std::string rtf = ReadFile(ex.FileName);
    ExpectBalancedGroups(rtf);
    EXPECT_NE(rtf.find("{\\f1\\fs20\\cf0 Gr\xFC\xDF"
                       "e \\u20013?}"),
              std::string::npos)
        << rtf;
    EXPECT_EQ(LineStarting(rtf, "{\\fonttbl"),
              "{\\fonttbl{\\f0\\fnil Verdana;}{\\f1\\fnil Times New Roman;}}");
    // The data font opens the document, the caption font the caption row.
    EXPECT_NE(rtf.find("}\r\n\\f1\\fs20\r\n\\paperw11906"), std::string::npos);
    EXPECT_NE(rtf.find("\\cellx1631\r\n\\f0\\fs20\r\n"), std::string::npos);
}

TEST_F(RTFExport, ColumnWidthsFollowTheCaptionFont) {
    ds.AddRow({"a", "1"});
    int asked = 0;
    ex.TextMeasure = [&](const std::string& text, const TExportFont& font) {
        ++asked;
        EXPECT_EQ(text, "X");
        EXPECT_TRUE(font.Bold);
        return 9;
    };
    const std::string rtf = Run();
    EXPECT_EQ(asked, 1);
    // 36 + 10 x 9 x 15 + 10 = 1396; + 5 x 9 x 15 + 10 = 2081.
    EXPECT_NE(rtf.find("\\cellx1396\r\n" + kBorders + "\\cellx2081\r\n"), std::string::npos) << rtf;
}

// The document's header with one font (Arial) and one colour (black) in its tables.
void WriteArialBlackHead(TRTFWriter& w) {
    w.WriteHeader();
    w.AddFontItem(0, "Arial");
    w.WriteFontTable();
    w.AddColorItem(0);
    w.WriteColorTable();
}

TEST(RTFWriter, InsertsIntoBothTables) {
    TExporterRTF owner;
    std::ostringstream out;
    {
        TRTFWriter w(owner, out);
        WriteArialBlackHead(w);
        w.WriteLn("body");
        std::string text;
        TExportFont font;
        font.Name = "Symbol";
        font.Size = 8;
        w.GetFont(font, true, text);
        EXPECT_EQ(text, "\\f1\\fs16");
        w.GetColor(0x336699, 1, text);
        EXPECT_EQ(text, "\\cbpat1");
        w.GetColor(0x336699, 2, text);
        EXPECT_EQ(text, "\\highlight1");
        w.GetColor(0, 0, text);
        EXPECT_EQ(text, "\\cf0");
        font.Name = "Courier";
        w.GetFont(font, false, text);
        EXPECT_EQ(text, "\\f2\\fs16");
        EXPECT_EQ(w.AlignToStr(TExportColAlign::ecaCenter), "\\qc");
        w.WritePar();
        w.WriteEnd();
        EXPECT_EQ(w.FontCount(), 3);
        EXPECT_EQ(w.ColorCount(), 2);
    }
    EXPECT_EQ(out.str(), "{\\rtf1\\ansi\\deff0\\deftab720\r\n"
                         "{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil Symbol;}{\\f2\\fnil Courier;}}\r\n"
                         "{\\colortbl\\red0\\green0\\blue0;\\red153\\green102\\blue51;}\r\n"
                         "body\r\n"
                         "\\f1\\fs16\r\n"
                         "\\par\r\n"
                         "}");
}

// After SendHead the head is in the target and later bytes follow it; a table entry needed then
// cannot be put into the head that is already out and fails the export instead of pointing past the table.
TEST(RTFWriter, TablesThatWereSentCannotGrow) {
    TExporterRTF owner;
    std::ostringstream out;
    TRTFWriter w(owner, out);
    WriteArialBlackHead(w);
    w.WriteLn("caption");
    w.SendHead();
    const std::string head = "{\\rtf1\\ansi\\deff0\\deftab720\r\n{\\fonttbl{\\f0\\fnil Arial;}}\r\n"
                             "{\\colortbl\\red0\\green0\\blue0;}\r\ncaption\r\n";
    EXPECT_EQ(out.str(), head);
    w.WriteBytes("row\r\n"); // gathered into a block for the target
    std::string text;
    TExportFont font;
    font.Name = "ARIAL";
    w.GetFont(font, false, text);
    EXPECT_EQ(text, "\\f0\\fs20");
    w.GetColor(0xFF000000, 0, text);
    EXPECT_EQ(text, "\\cf0");
    font.Name = "Symbol";
    EXPECT_THROW(w.GetFont(font, false, text), EExportError);
    EXPECT_THROW(w.GetColor(0x336699, 1, text), EExportError);
    w.WriteEnd();
    EXPECT_EQ(out.str(), head + "row\r\n}");
}

TEST(RTFStyle, DefaultsAndIniRoundTrip) {
    TRTFOptions options;
    EXPECT_EQ(options.DataStyle.Font.Name, "Arial");
    EXPECT_EQ(options.DataStyle.Font.Size, 10);
    EXPECT_TRUE(options.CaptionStyle.Font.Bold);
    EXPECT_EQ(options.CaptionStyle.Alignment, TrtfTextAlignment::talCenter);
    EXPECT_EQ(options.StripType, TrtfStripType::stNone);

    TrtfStyle style;
    style.Font.Name = "Courier New";
    style.Font.Size = 12;
    style.Font.Color = 0x123456;
    style.Font.Italic = true;
    style.Font.StrikeOut = true;
    style.BackgroundColor = 0xABCDEF;
    style.HighlightColor = 0x00FF00;
    style.AllowHighlight = true;
    style.AllowBackground = false;
    style.Alignment = TrtfTextAlignment::talRight;

    TempDir dir;
    const std::string file = dir.file("style.rst");
    {
        ini::IniFile ini(file);
        style.SaveToIni(ini, "Strip1");
        ini.UpdateFile();
    }
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("FontName=Courier New"), std::string::npos);
    EXPECT_LT(text.find("FontName"), text.find("Alignment=1"));
    ini::IniFile ini(file);
    TrtfStyle loaded;
    loaded.LoadFromIni(ini, "Strip1");
    EXPECT_EQ(loaded.Font.Name, "Courier New");
    EXPECT_EQ(loaded.Font.Size, 12);
    EXPECT_EQ(loaded.Font.Color, 0x123456u);
    EXPECT_TRUE(loaded.Font.Italic);
    EXPECT_FALSE(loaded.Font.Bold);
    EXPECT_TRUE(loaded.Font.StrikeOut);
    EXPECT_EQ(loaded.BackgroundColor, 0xABCDEFu);
    EXPECT_EQ(loaded.HighlightColor, 0x00FF00u);
    EXPECT_TRUE(loaded.AllowHighlight);
    EXPECT_FALSE(loaded.AllowBackground);
    EXPECT_EQ(loaded.Alignment, TrtfTextAlignment::talRight);

    TrtfStyles styles;
    styles.Add().Font.Name = "A";
    TrtfStyles copy(styles);
    copy[0].Font.Name = "B";
    EXPECT_EQ(styles[0].Font.Name, "A");
}

} // namespace
} // namespace exporter::test
