#include "ExportTestSupport.h"

#include "export/core/ExporterCustomSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

namespace exporter::test {
namespace {

std::string ExportText(TExporter& exporter) {
    std::ostringstream out;
    exporter.ExportToStream(out);
    return out.str();
}

TEST(ExportLoop, SkipAndCountSelectRowsAndReportCounters) {
    TMemoryDataSet ds;
    FillDataSet(ds, 10);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.SkipRecCount = 2;
    ex.ExportRecCount = 3;
    std::vector<int> skipped, exported;
    ex.OnSkippedRecord = [&](TExporter&, int n) { skipped.push_back(n); };
    ex.OnExportedRecord = [&](TExporter&, int n) { exported.push_back(n); };

    EXPECT_EQ(ExportText(ex), "row3|3|3.5\r\nrow4|4|4.5\r\nrow5|5|5.5\r\n");
    EXPECT_EQ(skipped, (std::vector<int>{1, 2}));
    EXPECT_EQ(exported, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ex.Steps, (std::vector<std::string>{"BeginExport", "WriteCaptionRow", "BeforeExport",
                                                  "AfterExport", "EndExport"}));
    EXPECT_EQ(ds.DisableCount(), 0);
    EXPECT_EQ(ex.GetWriter(), nullptr);
}

TEST(ExportLoop, RefusedRowIsNotWrittenButCountsTowardsTheLimit) {
    TMemoryDataSet ds;
    FillDataSet(ds, 5);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.ExportRecCount = 3;
    std::vector<int> exported;
    ex.OnBeforeExportRow = [](TExporter&, TExportRow& row, bool& accept) {
        accept = row.FindCol("Name")->Value != "row2";
    };
    ex.OnExportedRecord = [&](TExporter&, int n) { exported.push_back(n); };
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"row1|1|1.5", "row3|3|3.5"}));
    EXPECT_EQ(exported, (std::vector<int>{0, 2}));
}

TEST(ExportLoop, GetExportTextChangesTheCellAndIsTrimmed) {
    TMemoryDataSet ds;
    FillDataSet(ds, 2);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.OnGetExportText = [](TExporter&, int col, std::string& text) {
        if (col == 0)
            text = "  <" + text + ">  ";
    };
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"<row1>|1|1.5", "<row2>|2|2.5"}));
}

TEST(ExportLoop, AbortEndsBeforeTheNextRowUnlessStopHandlerCancels) {
    TMemoryDataSet ds;
    FillDataSet(ds, 5);
    {
        RecordingExporter ex;
        ex.DataSet = &ds;
        ex.OnExportedRecord = [](TExporter& sender, int n) {
            if (n == 1)
                sender.Abort();
        };
        ExportText(ex);
        EXPECT_EQ(ex.Rows.size(), 2u);
        EXPECT_TRUE(ex.IsAborted());
        EXPECT_EQ(ex.Steps.back(), "EndExport");
        EXPECT_EQ(ex.Steps[ex.Steps.size() - 2], "AfterExport");
    }
    {
        RecordingExporter ex;
        ex.DataSet = &ds;
        int asked = 0;
        ex.OnExportedRecord = [](TExporter& sender, int n) {
            if (n == 1)
                sender.Abort();
        };
        ex.OnStopExport = [&](TExporter&, bool& canContinue) {
            EXPECT_FALSE(canContinue);
            ++asked;
            canContinue = true;
        };
        ExportText(ex);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(ex.Rows.size(), 5u);
        EXPECT_FALSE(ex.IsAborted());
    }
}

TEST(ExportLoop, AbortFromBeginExportWritesNothingAndSkipsEndExport) {
    TMemoryDataSet ds;
    FillDataSet(ds, 3);
    RecordingExporter ex;
    ex.DataSet = &ds;
    bool ended = false;
    ex.OnBeginExport = [](TExporter& sender) { sender.Abort(); };
    ex.OnEndExport = [&](TExporter&) { ended = true; };
    EXPECT_EQ(ExportText(ex), "");
    EXPECT_FALSE(ended);
    EXPECT_EQ(ex.Steps, (std::vector<std::string>{"BeginExport"}));
    EXPECT_EQ(ds.DisableCount(), 0);
}

// The width pre-pass reports its rows (as the text exporters do).
struct FetchingExporter : RecordingExporter {
    bool PublishesOnFetchedRecord() const override { return true; }
};

// An abort requested while the widths are fetched or rows skipped is asked about at once; a confirmed one
// closes the document as an abort between rows does, a cancelled one lets the phase go on.
TEST(ExportLoop, AbortDuringWidthPassAndSkipIsAskedAbout) {
    for (bool widthPass : {true, false}) {
        for (bool stop : {true, false}) {
            SCOPED_TRACE(std::string(widthPass ? "fetching" : "skipping") + (stop ? " stop" : " go on"));
            TMemoryDataSet ds;
            FillDataSet(ds, 6);
            FetchingExporter ex;
            ex.DataSet = &ds;
            ex.SkipRecCount = 2;
            ex.AutoCalcColWidth = widthPass;
            int fetched = 0, asked = 0;
            ex.OnFetchedRecord = [&](TExporter& sender, int) {
                if (++fetched == 1)
                    sender.Abort();
            };
            ex.OnSkippedRecord = [&](TExporter& sender, int n) {
                if (!widthPass && n == 1)
                    sender.Abort();
            };
            ex.OnStopExport = [&](TExporter&, bool& canContinue) {
                ++asked;
                canContinue = !stop;
            };
            ExportText(ex);
            EXPECT_EQ(asked, 1);
            EXPECT_EQ(ex.IsAborted(), stop);
            EXPECT_EQ(ex.Rows.size(), stop ? 0u : 4u);
            EXPECT_EQ(fetched, !widthPass ? 0 : (stop ? 1 : 4));
            if (stop && widthPass) {
                EXPECT_EQ(ex.Steps, (std::vector<std::string>{"BeginExport", "AfterExport", "EndExport"}));
            }
            if (stop && !widthPass) {
                EXPECT_EQ(ex.Steps, (std::vector<std::string>{"BeginExport", "WriteCaptionRow",
                                                              "BeforeExport", "AfterExport", "EndExport"}));
            }
            EXPECT_EQ(ds.DisableCount(), 0);
        }
    }
}

// An abort confirmed in OnBeginExport is asked about before the format begins; continuing exports all.
TEST(ExportLoop, AbortInBeginExportCanBeCancelled) {
    TMemoryDataSet ds;
    FillDataSet(ds, 3);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.OnBeginExport = [](TExporter& sender) { sender.Abort(); };
    ex.OnStopExport = [](TExporter&, bool& canContinue) { canContinue = true; };
    ExportText(ex);
    EXPECT_EQ(ex.Rows.size(), 3u);
}

// A negative skip count skips nothing: no blank leading rows for list views and string grids.
TEST(ExportLoop, NegativeSkipCountIsZero) {
    TMemoryListView lv;
    lv.AddColumn({"Name"});
    for (const char* name : {"a", "b", "c"})
        lv.AddItem({name});
    TMemoryStringGrid grid({{"Name"}, {"a"}, {"b"}, {"c"}}, 1);
    for (TExportSource kind : {TExportSource::esListView, TExportSource::esStringGrid}) {
        SCOPED_TRACE(int(kind));
        RecordingExporter ex;
        ex.ExportSource = kind;
        ex.ListView = &lv;
        ex.StringGrid = &grid;
        ex.SkipRecCount = -2;
        ExportText(ex);
        EXPECT_EQ(ex.Rows, (std::vector<std::string>{"a", "b", "c"}));
        EXPECT_EQ(ex.SkipRecCount, 0);
    }
}

TEST(ExportLoop, AbortBeforeTheExportHasNoEffect) {
    TMemoryDataSet ds;
    FillDataSet(ds, 3);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.Abort();
    ExportText(ex);
    EXPECT_EQ(ex.Rows.size(), 3u);
}

TEST(ExportLoop, CurrentRecordOnlyExportsTheCurrentRecord) {
    TMemoryDataSet ds;
    FillDataSet(ds, 5);
    ds.SetRecNo(3);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.CurrentRecordOnly = true;
    ex.GoToFirstRecord = false;
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"row4|4|4.5"}));
}

TEST(ExportLoop, SourceErrorsCarryTheTableTexts) {
    RecordingExporter ex;
    try {
        ExportText(ex);
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is not assigned");
    }
    ex.ExportSource = TExportSource::esListView;
    EXPECT_THROW(
        {
            try {
                ExportText(ex);
            } catch (const EExportError& e) {
                EXPECT_STREQ(e.what(), "Export source (ListView) is not assigned");
                throw;
            }
        },
        EExportError);

    TMemoryDataSet ds;
    FillDataSet(ds, 0);
    ex.ExportSource = TExportSource::esDataSet;
    ex.DataSet = &ds;
    ex.ExportEmpty = false;
    try {
        ExportText(ex);
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is empty");
    }
    ds.SetActive(false);
    try {
        ExportText(ex);
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is closed");
    }

    // A row handler that swaps the data set: the next rows come from the other one; one that takes it
    // away: the next row's end test misses it.
    ds.SetActive(true);
    TMemoryDataSet first, second;
    FillDataSet(first, 3);
    FillDataSet(second, 3);
    second.SetRecNo(1);
    RecordingExporter swapping;
    swapping.DataSet = &first;
    swapping.GoToFirstRecord = false;
    swapping.OnExportedRecord = [&](TExporter& sender, int) { sender.DataSet = &second; };
    ExportText(swapping);
    EXPECT_EQ(swapping.Rows, (std::vector<std::string>{"row1|1|1.5", "row3|3|3.5"}));
    swapping.DataSet = &first;
    first.First();
    swapping.OnExportedRecord = [](TExporter& sender, int) { sender.DataSet = nullptr; };
    try {
        ExportText(swapping);
        FAIL();
    } catch (const EExportError& e) {
        EXPECT_STREQ(e.what(), "Export source (DataSet) is not assigned");
    }
}

TEST(ExportLoop, HandlerExceptionPropagatesAndControlsAreEnabledAgain) {
    TMemoryDataSet ds;
    FillDataSet(ds, 3);
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.OnExportedRecord = [](TExporter&, int) { throw std::runtime_error("handler failed"); };
    EXPECT_THROW(ExportText(ex), std::runtime_error);
    EXPECT_EQ(ds.DisableCount(), 0);
    EXPECT_EQ(ex.GetWriter(), nullptr);
}

TEST(ExportLoop, ListViewLimitsAreClippedToTheItemCount) {
    TMemoryListView lv;
    lv.AddColumn({"A", 80});
    for (const char* s : {"x", "y", "z"})
        lv.AddItem({s});
    RecordingExporter ex;
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ex.ExportRecCount = 5;
    ex.SkipRecCount = 1;
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"y", "z"}));
    EXPECT_EQ(ex.ExportRecCount, 3);
    EXPECT_EQ(lv.UpdateCount(), 0);
}

TEST(ExportLoop, StringGridRowsFollowTheFixedRows) {
    TMemoryStringGrid grid({{"h1", "h2"}, {"a", "1"}, {"b", "2"}, {"c", "3"}}, 1);
    RecordingExporter ex;
    ex.ExportSource = TExportSource::esStringGrid;
    ex.StringGrid = &grid;
    ex.SkipRecCount = 1;
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"b|2", "c|3"}));
}

TEST(ExportLoop, CustomSourceRunsEveryExportFromTheFirstRecord) {
    TqeCustomSource src;
    src.Columns.Add().SetColumnName("N");
    src.OnGetNextRecord = [](TqeCustomSource&, int recNo, bool& eof) { eof = recNo >= 3; };
    src.OnGetColumnValue = [](TqeCustomSource&, int recNo, const TqeCustomColumn&, TExportVariant& v) {
        v = std::int64_t(recNo * 10);
    };
    RecordingExporter ex;
    ex.ExportSource = TExportSource::esCustom;
    ex.CustomSource = &src;
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"10", "20", "30"}));
    ex.Rows.clear();
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"10", "20", "30"}));
}

TEST(ExportLoop, ColumnsOfTheSameNameKeepTheirOwnValues) {
    TMemoryListView lv;
    lv.AddColumn({"Name", 80});
    lv.AddColumn({"Name", 80});
    lv.AddItem({"left", "right"});
    RecordingExporter ex;
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"left|right"}));
}

// A data set row read in one call: values trimmed and repaired as one by one, and the cells of each run's
// columns (the same number of them, in another order) rather than the last run's.
TEST(ExportLoop, RowsReadAtOnceFollowEachRunsColumns) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 20});
    ds.AddField({"Note", TFieldType::ftString, 40});
    ds.AddRow({" padded\t", "caf\xC3"});
    ds.AddRow({"sixteen bytes ok", std::nullopt});
    RecordingExporter ex;
    ex.DataSet = &ds;
    ExportText(ex);
    const std::vector<std::string> rows = {"padded|caf\xEF\xBF\xBD", "sixteen bytes ok|"};
    EXPECT_EQ(ex.Rows, rows);
    ex.Rows.clear();
    ex.ExportedFields.Add("Note");
    ex.ExportedFields.Add("Name");
    ExportText(ex);
    EXPECT_EQ(ex.Rows, (std::vector<std::string>{"caf\xEF\xBF\xBD|padded", "|sixteen bytes ok"}));
    // With a handler that sees each cell, the cells are read one by one, to the same texts.
    ex.Rows.clear();
    ex.ExportedFields.Clear();
    ex.OnGetExportText = [](TExporter&, int, std::string&) {};
    ExportText(ex);
    EXPECT_EQ(ex.Rows, rows);

    // Texts about as long as the quick ASCII test reaches, with a malformed byte at each place.
    TMemoryDataSet lengths;
    lengths.AddField({"Text", TFieldType::ftString, 40});
    std::vector<std::string> repaired;
    for (size_t size = 14; size <= 34; ++size)
        for (size_t at = 0; at < size; ++at) {
            std::string text(size, 'x');
            text[at] = '\xC3';
            lengths.AddRow({text});
            repaired.push_back(text.substr(0, at) + "\xEF\xBF\xBD" + text.substr(at + 1));
        }
    RecordingExporter byRow;
    byRow.DataSet = &lengths;
    ExportText(byRow);
    EXPECT_EQ(byRow.Rows, repaired);
}

TEST(ExportLoop, NotificationClearsTheRemovedSource) {
    TMemoryDataSet ds;
    TMemoryListView lv;
    RecordingExporter ex;
    ex.DataSet = &ds;
    ex.ListView = &lv;
    ex.Notification(&ds);
    EXPECT_EQ(ex.DataSet, nullptr);
    EXPECT_EQ(ex.ListView, &lv);
}

TEST(ExportWriter, PaddingLinesAndAlignmentNames) {
    EXPECT_EQ(TExportWriter::PadCenter("ab", '*', 7), "**ab***");
    EXPECT_EQ(TExportWriter::PadLeft("ab", '.', 4), "..ab");
    EXPECT_EQ(TExportWriter::PadRight("ab", '.', 4), "ab..");
    EXPECT_EQ(TExportWriter::PadRight("abcdef", '.', 4), "abcdef");
    EXPECT_EQ(TExportWriter::PadLeft("äb", '.', 3), ".äb"); // characters, not bytes

    RecordingExporter ex;
    std::ostringstream out;
    TExportWriter w(ex, out);
    w.CharLine('-', 3);
    w.CharLine('-', 0);
    w.EmptyLine();
    w.Write("x");
    w.SetEncoding(TExportTextEncoding::Windows1252);
    w.WriteLn("é€ж");
    w.FlushBuffer();
    EXPECT_EQ(out.str(), "---\r\n\r\n\r\nx\xE9\x80?\r\n");
    EXPECT_EQ(w.AlignToStr(TExportColAlign::ecaCenter), "Center alignment");
    EXPECT_EQ(w.AlignToStr(TExportColAlign(7)), "Unknown alignment");
}

// A writer with an escape of its own for characters outside Windows-1252.
class EscapingWriter : public TExportWriter {
public:
    using TExportWriter::TExportWriter;
    rtl::TUnmappedCharacter UnmappedCharacter() const override {
        return [](std::string& out, char32_t ch) { out += "<" + std::to_string(unsigned(ch)) + ">"; };
    }
};

TEST(ExportWriter, Windows1252BytesAgreeWithTheGeneralConversion) {
    std::string mixed;
    for (int i = 0; i < 40000; ++i)
        mixed += i % 3 ? "Z\xC3\xBCrich \xE2\x82\xAC"
                       : "\xC5\x81\xC3\xB3"
                         "d\xC5\xBA \xC3";
    for (const std::string& text : std::vector<std::string>{
             "", "plain", "caf\xC3\xA9", "\xC2\xA0\xC3\xBF",         // Latin-1 supplement, first and last
             "\xC2\x80\xC2\x81\xC2\x9F",                             // C1 controls: none in the code page
             "\xE2\x82\xAC\xE2\x84\xA2\xC5\x93", "\xC5\x81\xC3\xB3", // code page letters after others
             "\xE2\x98\x83\xC3\xA9", "\xF0\x9F\x98\x80!",            // outside the code page
             "a\xC3",
             "\xC3"
             "A",
             "\xC3\xC3\xA9", "\xE2\x82\xC3\xA9",                         // cut sequences
             "\xC0\xAF\xC1\xBF", "\xED\xA0\x80", "\x80\xBF", "\xF5\x80", // malformed
             std::string(300000, 'x') + "\xC3\xA9", mixed}) {            // across the writer's block
        for (bool escaping : {false, true}) {
            RecordingExporter ex;
            std::ostringstream out;
            std::unique_ptr<TExportWriter> w = escaping ? std::make_unique<EscapingWriter>(ex, out)
                                                        : std::make_unique<TExportWriter>(ex, out);
            w->SetEncoding(TExportTextEncoding::Windows1252);
            w->Write(text);
            w->WriteLn(text);
            const std::string once = rtl::Utf8ToWindows1252(text, w->UnmappedCharacter());
            w.reset(); // the bytes held reach the stream when the writer goes
            EXPECT_EQ(out.str(), once + once + "\r\n") << text.substr(0, 40) << (escaping ? " escaping" : "");
        }
    }
}

TEST(ExportWriter, HeldBytesReachTheStreamInOrder) {
    RecordingExporter ex;
    std::ostringstream out;
    TExportWriter w(ex, out);
    std::string expected;
    // Pieces of every size up to beyond one block, so that blocks fill up in the middle of a text.
    for (size_t size : {size_t(1), size_t(7), size_t(1000), TExportWriter::kBufferSize - 3, size_t(5),
                        TExportWriter::kBufferSize * 2 + 1, size_t(2)}) {
        const std::string piece(size, char('a' + expected.size() % 26));
        w.Write(piece);
        expected += piece;
    }
    w.EmptyLine();
    expected += "\r\n";
    // Whoever takes the stream gets it with every byte written so far.
    EXPECT_EQ(w.Stream().tellp(), std::streamoff(expected.size()));
    EXPECT_EQ(out.str(), expected);
    w.Stream() << "direct";
    w.WriteLn("after");
    w.FlushBuffer();
    EXPECT_EQ(out.str(), expected + "directafter\r\n");
}

// Takes the first bytes and fails every write after them.
class FailingBuffer : public std::streambuf {
public:
    explicit FailingBuffer(size_t accepted) : accepted_(accepted) {}
    std::string Taken;

protected:
    std::streamsize xsputn(const char* data, std::streamsize count) override {
        const size_t taken = std::min(size_t(count), accepted_ - std::min(accepted_, Taken.size()));
        Taken.append(data, taken);
        return std::streamsize(taken);
    }
    int_type overflow(int_type ch) override {
        return xsputn(reinterpret_cast<const char*>(&ch), 1) == 1 ? ch : traits_type::eof();
    }

private:
    size_t accepted_;
};

TEST(ExportWriter, AFailedWriteOfHeldBytesLeavesTheStreamBad) {
    TMemoryDataSet ds;
    FillDataSet(ds, 3);
    for (size_t accepted : {size_t(0), size_t(5), size_t(1000)}) {
        FailingBuffer buffer(accepted);
        std::ostream out(&buffer);
        RecordingExporter ex;
        ex.DataSet = &ds;
        ex.ExportToStream(out);
        // The rows fit in the writer's block: they reach the stream, and fail, when the export ends.
        EXPECT_EQ(out.bad(), accepted < 36) << accepted;
        EXPECT_EQ(buffer.Taken,
                  std::string("row1|1|1.5\r\nrow2|2|2.5\r\nrow3|3|3.5\r\n").substr(0, accepted));
    }
}

TEST(ExportStrings, TableAndLocalisationCallback) {
    EXPECT_EQ(ExportLoadStr(34020), "Do you want to abort export?");
    EXPECT_EQ(ExportLoadStr(34024), "");
    TExportLocale& locale = ExportLocale();
    locale.OnLocalize = [](int id, std::string& text) {
        if (id == 34020)
            text = "Abbrechen?";
    };
    EXPECT_EQ(ExportLoadStr(34020), "Abbrechen?");
    EXPECT_EQ(ExportLoadStr(34019), "Are you sure?");
    locale.OnLocalize = nullptr;
    EXPECT_EQ(ExportLoadStr(34020), "Do you want to abort export?");
}

} // namespace
} // namespace exporter::test
