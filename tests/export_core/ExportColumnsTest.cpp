#include "ExportTestSupport.h"

#include "export/core/ExporterASCII.h"
#include "export/core/ExporterCustomSource.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace exporter::test {
namespace {

// An exporter that publishes every per-column list, to look at the columns a Fill builds.
class ColumnsExporter : public TExporterFormatText {
public:
    void FillColumns() {
        Columns.Clear();
        Columns.Fill(false);
    }

protected:
    bool PublishesColumnsWidth() const override { return true; }
    bool PublishesColumnsAlign() const override { return true; }
    bool PublishesColumnsLength() const override { return true; }
};

TEST(ExportFormatValue, NumbersDatesAndUnreadableTexts) {
    const TExportEscape none;
    EXPECT_EQ(ExportFormatValue("1234567", TExportColType::ectInteger, "#,###,##0", none), "1,234,567");
    EXPECT_EQ(ExportFormatValue("12.5", TExportColType::ectInteger, "0", none), "0");
    EXPECT_EQ(ExportFormatValue("9000000000", TExportColType::ectBigint, "0", none), "9000000000");
    EXPECT_EQ(ExportFormatValue("abc", TExportColType::ectFloat, "0.00", none), "");
    EXPECT_EQ(ExportFormatValue("2.345", TExportColType::ectCurrency, "$#,##0.00", none), "$2.35");
    EXPECT_EQ(ExportFormatValue("3/4/2024", TExportColType::ectDate, "yyyy-mm-dd", none), "2024-03-04");
    EXPECT_EQ(ExportFormatValue("not a date", TExportColType::ectDate, "yyyy", none), "");
    const TExportEscape brackets = [](const std::string& s) { return "[" + s + "]"; };
    EXPECT_EQ(ExportFormatValue("x", TExportColType::ectString, "", brackets), "[x]");
    EXPECT_EQ(ExportFormatValue("yes", TExportColType::ectBoolean, "", brackets), "yes");
}

// A column's memo gives each date text what formatting it afresh gives: texts met again, a format changed
// on the way, unreadable texts, years that come from the clock, and a column of distinct date-times, where
// the memo stops looking.
TEST(ExportFormatValue, DateTextsOfAColumnAsEachTextFormattedAfresh) {
    const rtl::LocaleFacts& facts = rtl::LocaleFacts::Default();
    TExportDateTexts mixed, distinct;
    std::string out;
    for (int i = 0; i < 3000; ++i) {
        const std::string format = i < 1500 ? "m/d/yyyy h:nn AMPM" : "dddd d mmmm yy hh:nn:ss";
        const std::string day = std::to_string(1 + i % 12) + "/" + std::to_string(1 + i % 28);
        const std::string stamp = day + "/2024 " + std::to_string(i % 24) + ":" +
                                  std::to_string(i / 24 % 60) + ":" + std::to_string(i / 1440);
        const std::string texts[] = {day + "/2024", day + "/24", day, "not a date", "", stamp};
        const std::string& text = texts[i % 6];
        const std::string afresh =
            ExportFormatValue(text, TExportColType::ectDateTime, format, nullptr, facts);
        EXPECT_EQ(mixed.Format(text, format, facts, out), !afresh.empty()) << text;
        EXPECT_EQ(out, afresh) << text << " " << format;
        distinct.Format(stamp, format, facts, out);
        EXPECT_EQ(out, ExportFormatValue(stamp, TExportColType::ectDateTime, format, nullptr, facts))
            << stamp;
    }
    // Texts of every length up to past the longest kept as a key, met twice, among them texts that differ
    // from another of their length at only one place.
    TExportDateTexts lengths;
    const std::string times[] = {"1:2", "1:3", "2:2", "1:02", "1:03", "11:2", "1:2:3", "1:2:4", "1:02:3",
                                 "11:02:3", "11:02:03", "11:02:04", "1/2/2024", "1/3/2024", "11/2/2024",
                                 "11/22/2024", "1/2/2024 1:2", "1/2/2024 1:3", "1/2/2024 11:02",
                                 "11/22/2024 11:2", "11/22/2024 11:02", "11/22/2024 11:03",
                                 "11/22/2024 11:02:03", "1:2:3.4", "1:2:3.5", "x", "1", "12"};
    for (int round = 0; round < 2; ++round)
        for (const std::string& text : times) {
            const std::string format = "yyyy-mm-dd hh:nn:ss";
            const std::string afresh =
                ExportFormatValue(text, TExportColType::ectDateTime, format, nullptr, facts);
            EXPECT_EQ(lengths.Format(text, format, facts, out), !afresh.empty()) << text;
            EXPECT_EQ(out, afresh) << text;
        }
    // Formats of one length that differ only at the end or only at the start, changed from text to text of
    // the same day.
    const std::string formats[] = {"yyyy-mm-dd hh:nn", "yyyy-mm-dd hh:ss", "dd-mm-yyyy hh:ss", "h:n", "h:s"};
    for (int i = 0; i < 200; ++i) {
        const std::string& format = formats[i % 5];
        const std::string text = "3/" + std::to_string(1 + i / 10 % 3) + "/2024 1:2:" + std::to_string(i % 4);
        mixed.Format(text, format, facts, out);
        EXPECT_EQ(out, ExportFormatValue(text, TExportColType::ectDateTime, format, nullptr, facts)) << format;
    }
}

// A cell's text, made into other storage (which held a longer text before) and into the cell's own Value,
// for every kind of cell: formatted and escaped, shown as it is, unreadable, NULL, unformatted, and of a
// column that does not exist. The bare text a format may escape itself agrees with it.
TEST(ExportRow, CellTextsIntoOtherStorageAndIntoTheirOwnValue) {
    TExportColumns columns(nullptr, [](const std::string& s) { return "[" + s + "]"; });
    TExportFormats formats;
    formats.SetNullString("NULL");
    TExportRow row(columns, nullptr, formats);
    const struct {
        TExportColType type;
        std::string format, value;
        bool isNull, formatIt;
        std::string text;
    } cases[] = {
        {TExportColType::ectString, "", "a<b", false, true, "[a<b]"},
        {TExportColType::ectString, "", "a<b", false, false, "a<b"},
        {TExportColType::ectString, "", "", true, true, "[NULL]"},
        {TExportColType::ectString, "", "", true, false, "[NULL]"},
        {TExportColType::ectBoolean, "", "yes", false, true, "yes"},
        {TExportColType::ectUnknown, "", "x&y", false, true, "x&y"},
        {TExportColType::ectInteger, "#,###,##0", "1234567", false, true, "[1,234,567]"},
        {TExportColType::ectInteger, "#,###,##0", "1234567", false, false, "1234567"},
        {TExportColType::ectInteger, "0", "12345678901234567890123", false, true, "[0]"},
        {TExportColType::ectFloat, "0.00", "abc", false, true, ""},
        {TExportColType::ectFloat, "#,##0.00", "-1234.5", false, true, "[-1,234.50]"},
        {TExportColType::ectBigint, "0", "-9223372036854775808", false, true, "[-9223372036854775808]"},
        {TExportColType::ectTime, "hh:nn", "1:02:03 PM", false, true, "[13:02]"},
        {TExportColType::ectCurrency, "$#,##0.00", "2.345", false, true, "[$2.35]"},
        {TExportColType::ectDate, "yyyy-mm-dd", "3/4/2024", false, true, "[2024-03-04]"},
        {TExportColType::ectDate, "yyyy-mm-dd", "not a date", false, true, ""},
        {TExportColType::ectDateTime, "yyyy-mm-dd hh:nn:ss", "3/4/2024 1:02:03 PM", false, true,
         "[2024-03-04 13:02:03]"},
    };
    for (const auto& c : cases) {
        columns.Clear();
        row.Clear();
        TExportColumn& column = columns.Add();
        column.ColType = c.type;
        column.Format = c.format;
        TExportCol& cell = row.AddCol("Cell", 0);
        cell.Value = c.value;
        cell.IsNull = c.isNull;
        std::string other(40, 'x');
        cell.GetText(c.formatIt, other);
        EXPECT_EQ(other, c.text) << c.value << " " << int(c.type);
        EXPECT_EQ(cell.Value, c.value);
        std::string storage = "old";
        const TExportBareText bare = cell.GetBareText(c.formatIt, storage);
        EXPECT_EQ(bare.Escapes ? "[" + std::string(bare.Text) + "]" : std::string(bare.Text), c.text)
            << c.value;
        cell.GetText(c.formatIt, cell.Value);
        EXPECT_EQ(cell.Value, c.text) << c.value << " " << int(c.type);

        TExportCol& stray = row.AddCol("Stray", 5); // no such column: the value as it is
        stray.Value = c.value;
        stray.IsNull = c.isNull;
        stray.GetText(c.formatIt, other);
        EXPECT_EQ(other, c.isNull ? "[NULL]" : c.value);
    }
}

TEST(ExportFormats, DefaultsAndEmptySetters) {
    TExportFormats f;
    EXPECT_EQ(f.IntegerFormat(), "#,###,##0");
    EXPECT_EQ(f.DateFormat(), "M/d/yyyy");
    EXPECT_EQ(f.DateTimeFormat(), "M/d/yyyy h:mm AMPM");
    EXPECT_EQ(f.CurrencyFormat(), "$#,###,##0.00");
    f.SetIntegerFormat("0");
    f.SetIntegerFormat("");
    EXPECT_EQ(f.IntegerFormat(), "#,###,##0");
    f.SetFloatFormat("");
    EXPECT_EQ(f.FloatFormat(), "");
    f.SetNullString("  NULL ");
    EXPECT_EQ(f.NullString(), "NULL");
    TExportFormats g;
    g.Assign(f);
    EXPECT_EQ(g.FloatFormat(), "");
    EXPECT_EQ(g.NullString(), "NULL");
}

TEST(GuessColType, SampleTexts) {
    EXPECT_EQ(GuessColType("", "true", "false"), TExportColType::ectString);
    EXPECT_EQ(GuessColType("TRUE", "true", "false"), TExportColType::ectBoolean);
    EXPECT_EQ(GuessColType("42", "true", "false"), TExportColType::ectInteger);
    EXPECT_EQ(GuessColType("1.5", "true", "false"), TExportColType::ectFloat);
    EXPECT_EQ(GuessColType("3/4/2024", "true", "false"), TExportColType::ectDate);
    EXPECT_EQ(GuessColType("10:30", "true", "false"), TExportColType::ectTime);
    EXPECT_EQ(GuessColType("3/4/2024 10:30", "true", "false"), TExportColType::ectDateTime);
    EXPECT_EQ(GuessColType("www", "true", "false"), TExportColType::ectString);
}

TEST(ExportColumns, DataSetFieldsGiveTypesCaptionsAndSQLTypes) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 300});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.AddField({"Notes", TFieldType::ftMemo});
    ds.AddField({"Hidden", TFieldType::ftBoolean});
    ds.MutableField(0).DisplayLabel = "Full name";
    ds.MutableField(3).Visible = false;
    ColumnsExporter ex;
    ex.DataSet = &ds;
    ex.UserFormats.Add("Count=000");
    ex.ColumnsAlign.Add("Name=center");
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 3); // the memo (a BLOB) is left out
    const TExportColumn& name = ex.Columns[0];
    EXPECT_EQ(name.Caption, "Full name");
    EXPECT_EQ(name.SQLType, "CHAR(300)");
    EXPECT_EQ(name.Length, 255);
    EXPECT_EQ(name.ColAlign, TExportColAlign::ecaCenter);
    const TExportColumn& count = ex.Columns[1];
    EXPECT_EQ(count.ColType, TExportColType::ectInteger);
    EXPECT_EQ(count.Format, "000");
    EXPECT_FALSE(count.IsDefaultFormat());
    EXPECT_EQ(count.ColAlign, TExportColAlign::ecaRight);
    EXPECT_EQ(ex.Columns[2].ColAlign, TExportColAlign::ecaCenter);
    EXPECT_EQ(ex.Columns[2].SQLType, "INTEGER");

    ex.OnlyVisibleFields = true;
    ex.FillColumns();
    EXPECT_EQ(ex.Columns.Count(), 2);

    ex.ExportedFields.Add("count");
    ex.ExportedFields.Add("name");
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 2);
    EXPECT_EQ(ex.Columns[0].Name, "Count");
    EXPECT_TRUE(ex.Columns[0].IsDefaultFormat() == false);

    ex.ExportedFields.Add("missing");
    EXPECT_THROW(ex.FillColumns(), EExportError);
}

TEST(ExportColumns, StringGridCaptionsWidthsAndNames) {
    TMemoryStringGrid grid({{"First", "Second"}, {"a", "1.5"}}, 1, 80);
    ColumnsExporter ex;
    ex.ExportSource = TExportSource::esStringGrid;
    ex.StringGrid = &grid;
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 2);
    EXPECT_EQ(ex.Columns[0].Caption, "ColNo_0");
    EXPECT_EQ(ex.Columns[1].Caption, "ColNo_1");
    EXPECT_EQ(ex.Columns[1].Name, "1");
    EXPECT_EQ(ex.Columns[0].Width, 10); // 80 pixels at 8 a character
    EXPECT_EQ(ex.Columns[0].SQLType, "CHAR(10)");
    ex.CaptionRow = 0;
    ex.ExportedFields.Add("1");
    ex.ExportedFields.Add("7");
    ex.ColumnsLength.Add("1=12");
    ex.AutoCalcStrType = true;
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 1);
    EXPECT_EQ(ex.Columns[0].Caption, "Second");
    EXPECT_EQ(ex.Columns[0].ColType, TExportColType::ectFloat);
}

TEST(ExportColumns, ListViewNamesGuessesAndDuplicateCaptions) {
    TMemoryListView lv;
    lv.AddColumn({"Host", 80});
    lv.AddColumn({"TTL", 40});
    lv.AddColumn({"Host", 160});
    ColumnsExporter ex;
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &lv;
    ex.AutoCalcStrType = true;
    ex.FillColumns();
    EXPECT_EQ(ex.Columns[1].ColType, TExportColType::ectUnknown); // an empty list leaves the type unset
    lv.AddItem({"www", "1.5", "mail"});
    ex.ExportedFields.Add("host");
    ex.Captions.Add("host=Server");
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 1);
    EXPECT_EQ(ex.Columns[0].ColumnIndex, 2);    // the later column of that caption
    EXPECT_EQ(ex.Columns[0].Caption, "Server"); // list values are found ignoring case
    EXPECT_EQ(ex.Columns[0].Width, 20);         // 160 pixels at 8 a character
    ex.ExportedFields.Clear();
    ex.ExportedFields.Add("TTL");
    ex.ColumnsWidth.Add("TTL=abc");
    ex.FillColumns();
    EXPECT_EQ(ex.Columns[0].ColType, TExportColType::ectFloat);
    EXPECT_EQ(ex.Columns[0].Width, 0);
    EXPECT_EQ(ex.Columns[0].SQLType, "DOUBLE PRECISION");
}

TEST(ExportColumns, DBGridAndCustomColumns) {
    TMemoryDataSet ds;
    FillDataSet(ds, 2);
    TMemoryDBGrid grid(&ds);
    grid.AddColumn({"Price", "Cost", 100});
    grid.AddColumn({"Gone", "", 50});
    grid.AddColumn({"Name", "", 40});
    ColumnsExporter ex;
    ex.ExportSource = TExportSource::esDBGrid;
    ex.DBGrid = &grid;
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 2); // the column without a field is skipped
    EXPECT_EQ(ex.Columns[0].Caption, "Cost");
    EXPECT_EQ(ex.Columns[0].ColType, TExportColType::ectFloat);
    EXPECT_EQ(ex.Columns[0].Width, 12);
    EXPECT_EQ(ex.Columns[1].Caption, "Name");

    TqeCustomSource src;
    src.Columns.Add();
    TqeCustomColumn& second = src.Columns.Add();
    EXPECT_EQ(second.ColumnName(), "Column1");
    second.SetColumnName("column0"); // taken by the first column
    EXPECT_EQ(second.ColumnName(), "Column1");
    src.Columns.Items(0).SetColumnName("Id");
    EXPECT_EQ(src.Columns.Add().ColumnName(), "Column0");
    second.ColumnType = TExportColType::ectDate;
    second.Size = 400;
    second.ColumnType = TExportColType::ectString;
    ex.ExportSource = TExportSource::esCustom;
    ex.CustomSource = &src;
    ex.FillColumns();
    ASSERT_EQ(ex.Columns.Count(), 3);
    EXPECT_EQ(ex.Columns[1].Caption, "Column1");
    EXPECT_EQ(ex.Columns[1].Width, 15);
    EXPECT_EQ(ex.Columns[1].Length, 255);
}

TEST(ExportColumns, WidthPrePassMeasuresFormattedTextsAndRestoresThePosition) {
    TMemoryDataSet ds;
    ds.AddField({"N", TFieldType::ftInteger});
    ds.MutableField(0).DisplayWidth = 1;
    for (const char* v : {"5", "1234567", "12"})
        ds.AddRow({v});
    ds.SetRecNo(2);
    TExporterASCII ex;
    ex.DataSet = &ds;
    ex.SkipRecCount = 2; // only the last row is measured
    std::vector<int> fetched;
    ex.OnFetchedRecord = [&](TExporter&, int n) { fetched.push_back(n); };
    std::ostringstream out;
    ex.ExportToStream(out);
    EXPECT_EQ(ex.Columns[0].Width, 2);
    EXPECT_EQ(fetched, (std::vector<int>{1}));
    ex.SkipRecCount = 0;
    ex.ExportToStream(out);
    EXPECT_EQ(ex.Columns[0].Width, 9); // "1,234,567"
}

TEST(ExportColumns, DataSetFieldAddedAfterRowsReadsAsNull) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 20});
    ds.AddRow({"alpha"});
    ds.AddField({"Count", TFieldType::ftInteger});
    ds.First();
    EXPECT_EQ(ds.FieldText(0), "alpha");
    EXPECT_TRUE(ds.FieldIsNull(1));
    EXPECT_EQ(ds.FieldText(1), "");
}

TEST(ExportColumns, DataSetRowReadAtOnceAgreesWithFieldByField) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 20});
    ds.AddField({"Note", TFieldType::ftString, 20});
    ds.AddRow({"alpha", std::nullopt}); // a NULL value
    ds.AddRow({"", "b"});               // an empty value is no NULL
    ds.AddField({"Count", TFieldType::ftInteger}); // no value in the rows added before it
    ds.AddRow({"c", "d", "3"});
    // Indexes out of range on both sides and repeated ones.
    const std::vector<int> fields = {0, 1, 2, -1, 3, 1000, 0};
    for (int rec = 0; rec < 2 * ds.RecordCount(); ++rec) {
        ds.SetRecNo(rec % ds.RecordCount());
        // Texts that held longer values before, then empty ones that grow.
        const std::string before = rec < ds.RecordCount() ? std::string(40, 'x') : std::string();
        std::vector<std::string> batch(fields.size(), before), single = batch;
        std::vector<std::string*> texts;
        for (std::string& text : batch)
            texts.push_back(&text);
        std::unique_ptr<bool[]> nulls = std::make_unique<bool[]>(fields.size());
        ds.ReadFieldTexts(fields.data(), texts.data(), nulls.get(), int(fields.size()));
        for (size_t i = 0; i < fields.size(); ++i) {
            EXPECT_EQ(nulls[i], ds.ReadFieldText(fields[i], single[i])) << rec << " " << fields[i];
            EXPECT_EQ(batch[i], single[i]) << rec << " " << fields[i];
        }
    }
    TMemoryDataSet empty; // no rows at all
    empty.AddField({"Name", TFieldType::ftString, 20});
    std::string text = "old", *textPtr = &text;
    bool isNull = false;
    const int field = 0;
    empty.ReadFieldTexts(&field, &textPtr, &isNull, 1);
    EXPECT_TRUE(isNull);
    EXPECT_EQ(text, "");
}

} // namespace
} // namespace exporter::test
