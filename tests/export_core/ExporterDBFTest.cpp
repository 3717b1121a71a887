#include "ExportTestSupport.h"

#include "export/core/ExporterDBF.h"
#include "export/core/ExporterShortFieldName.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace exporter::test {
namespace {

unsigned Byte(const std::string& bytes, size_t at) {
    return static_cast<unsigned char>(bytes.at(at));
}

unsigned LE16(const std::string& bytes, size_t at) {
    return Byte(bytes, at) | Byte(bytes, at + 1) << 8;
}

std::uint32_t LE32(const std::string& bytes, size_t at) {
    return LE16(bytes, at) | std::uint32_t(LE16(bytes, at + 2)) << 16;
}

std::string ExportToString(TExporterDBF& ex) {
    std::ostringstream out(std::ios::binary);
    ex.ExportToStream(out);
    return out.str();
}

// The bytes of record `index` (0-based), deletion byte included.
std::string Record(const std::string& dbf, int index) {
    const size_t headerLength = LE16(dbf, 8), recordLength = LE16(dbf, 10);
    return dbf.substr(headerLength + size_t(index) * recordLength, recordLength);
}

// Reads a table back with dbfread; one line per record, fields as Python reprs joined by "|".
std::string ReadWithDbfread(const std::string& file) {
    int status = 0;
    const std::string out =
        RunCommand("/usr/bin/python3 -c \"import sys, dbfread\n"
                   "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
                   "print(','.join(t.field_names))\n"
                   "for r in t: print('|'.join(repr(v) for v in r.values()))\" " +
                       file,
                   status);
    EXPECT_EQ(status, 0) << out;
    return out;
}

TEST(DbfShortFieldNames, LongNamesSharingAPrefixGetNumberedSuffixes) {
    TShortFieldNameGenerator names;
    EXPECT_EQ(names.Generate("CustomerAddress1"), "CUSTOMERAD");
    EXPECT_EQ(names.Generate("CustomerAddress2"), "CUSTOMER_1");
    EXPECT_EQ(names.Generate("customeraddress3"), "CUSTOMER_2"); // names compare without case
    EXPECT_EQ(names.Generate("Short"), "SHORT");
    for (int i = 3; i <= 10; ++i)
        names.Generate("CustomerAddressX");
    EXPECT_EQ(names.Generate("CustomerAddressY"), "CUSTOME_11");
}

TEST(DbfShortFieldNames, NamesBecomeLegalAndStayUnique) {
    TShortFieldNameGenerator names;
    EXPECT_EQ(names.Generate("Last name"), "LAST_NAME");
    EXPECT_EQ(names.Generate("TTL (s)"), "TTL_S");
    EXPECT_EQ(names.Generate("1st"), "F1ST");
    EXPECT_EQ(names.Generate("Caf\u00e9 cr\u00e8me"), "CAFE_CREME");
    EXPECT_EQ(names.Generate("snake_case_"), "SNAKE_CASE");
    // Names without a Latin letter or digit are no longer all "????" and one lost column.
    EXPECT_EQ(names.Generate("\u0426\u0435\u043d\u0430"), "FIELD");
    EXPECT_EQ(names.Generate("\u0412\u043e\u0434\u0430"), "FIELD_1");
    EXPECT_EQ(names.Generate("last-name"), "LAST_NAM_1");
    EXPECT_EQ(names.Generate(""), "FIELD_2");
}

TEST(DbfTable, HeaderDescriptorsAndRecordsOfTwoIntegerColumns) {
    TMemoryDataSet ds;
    ds.AddField({"A", TFieldType::ftInteger});
    ds.AddField({"Second", TFieldType::ftInteger});
    ds.AddRow({"1", "-22"});
    ds.AddRow({"333", std::nullopt});
    TExporterDBF ex;
    ex.DataSet = &ds;
    const std::string dbf = ExportToString(ex);

    ASSERT_EQ(dbf.size(), 97u + 2 * 23 + 1);
    EXPECT_EQ(Byte(dbf, 0), 0x03u);
    int y = 0, m = 0, d = 0;
    rtl::DecodeDate(rtl::Date(), y, m, d);
    EXPECT_EQ(Byte(dbf, 1), unsigned(y - 1900));
    EXPECT_EQ(Byte(dbf, 2), unsigned(m));
    EXPECT_EQ(Byte(dbf, 3), unsigned(d));
    EXPECT_EQ(LE32(dbf, 4), 2u);
    EXPECT_EQ(LE16(dbf, 8), 97u);
    EXPECT_EQ(LE16(dbf, 10), 23u);
    // Zero but for the language driver at 29: Windows-1252.
    EXPECT_EQ(dbf.substr(12, 20), std::string(17, '\0') + "\x03" + std::string(2, '\0'));

    const std::string first = dbf.substr(32, 32), second = dbf.substr(64, 32);
    EXPECT_EQ(first, std::string("A\0\0\0\0\0\0\0\0\0\0N\0\0\0\0\x0B\0", 18) + std::string(14, '\0'));
    EXPECT_EQ(second.substr(0, 11), std::string("SECOND\0\0\0\0\0", 11));
    EXPECT_EQ(second[11], 'N');
    EXPECT_EQ(LE32(second, 12), 11u);
    EXPECT_EQ(Byte(second, 16), 11u);
    EXPECT_EQ(Byte(dbf, 96), 0x0Du);

    EXPECT_EQ(Record(dbf, 0), "           1        -22");
    EXPECT_EQ(Record(dbf, 1), "         333           ");
    EXPECT_EQ(Byte(dbf, dbf.size() - 1), 0x1Au);
}

TEST(DbfTable, FieldTypesLengthsAndLongNames) {
    TMemoryDataSet ds;
    ds.AddField({"CustomerAddress1", TFieldType::ftString, 30});
    ds.AddField({"CustomerAddress2", TFieldType::ftString, 300}); // string lengths stop at 255
    ds.AddField({"CustomerAddress3", TFieldType::ftLargeint});
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.AddField({"Cost", TFieldType::ftCurrency});
    ds.AddField({"Day", TFieldType::ftDate});
    ds.AddField({"At", TFieldType::ftTime});
    ds.AddField({"Stamp", TFieldType::ftDateTime});
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddField({"Odd", TFieldType::ftUnknown});
    ds.AddField({"Notes", TFieldType::ftMemo});
    TExporterDBF ex;
    ex.DataSet = &ds;
    for (int i = 0; i < ds.FieldCount(); ++i)
        ex.ExportedFields.Add(ds.Field(i).FieldName); // named BLOB fields are exported too
    ex.ColumnsPrecision.Add("Cost=8,2");
    const std::string dbf = ExportToString(ex);

    struct Expected {
        const char* name;
        char type;
        unsigned length, decimals;
    } expected[] = {{"CUSTOMERAD", 'C', 30, 0}, {"CUSTOMER_1", 'C', 255, 0}, {"CUSTOMER_2", 'N', 20, 0},
                    {"PRICE", 'N', 15, 4},      {"COST", 'N', 8, 2},         {"DAY", 'D', 8, 0},
                    {"AT", 'D', 8, 0},          {"STAMP", 'D', 8, 0},        {"FLAG", 'L', 1, 0},
                    {"ODD", 'C', 10, 0},        {"NOTES", 'M', 10, 0}};
    const size_t fields = std::size(expected);
    ASSERT_EQ(LE16(dbf, 8), 32 * (fields + 1) + 1);
    unsigned offset = 0;
    for (size_t i = 0; i < fields; ++i) {
        const std::string descriptor = dbf.substr(32 * (i + 1), 32);
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(descriptor.substr(0, descriptor.find('\0')), expected[i].name);
        EXPECT_EQ(descriptor.substr(descriptor.find('\0'), 11 - descriptor.find('\0')),
                  std::string(11 - descriptor.find('\0'), '\0'));
        EXPECT_EQ(descriptor[11], expected[i].type);
        EXPECT_EQ(LE32(descriptor, 12), offset);
        EXPECT_EQ(Byte(descriptor, 16), expected[i].length);
        EXPECT_EQ(Byte(descriptor, 17), expected[i].decimals);
        EXPECT_EQ(descriptor.substr(18), std::string(14, '\0'));
        offset += expected[i].length;
    }
    EXPECT_EQ(LE16(dbf, 10), offset + 1);
    // Written to a stream rather than a file: no memo file, so version 3 and an empty memo field.
    EXPECT_EQ(Byte(dbf, 0), 0x03u);
}

TEST(DbfTable, FieldValuesByType) {
    TMemoryDataSet ds;
    ds.AddField({"Name", TFieldType::ftString, 5});
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.AddField({"Day", TFieldType::ftDateTime});
    ds.AddField({"Flag", TFieldType::ftBoolean});
    ds.AddRow({"Café au lait", "3.5", "3/15/2024 10:30:00", "true"});
    ds.AddRow({"NULL", "-1234.56789", "12/1/1999", "no"});
    ds.AddRow({"€", std::nullopt, std::nullopt, "FALSE"});
    ds.AddRow({std::nullopt, "1e12", "", "Not TRUE"});
    TExporterDBF ex;
    ex.DataSet = &ds;
    const std::string dbf = ExportToString(ex);
    EXPECT_EQ(LE32(dbf, 4), 4u);
    // 1e12 with four decimals needs 18 places: the float field is widened from 15 to hold it.
    EXPECT_EQ(Byte(dbf, 64 + 16), 18u);
    EXPECT_EQ(Record(dbf, 0), " Caf\xE9             3.500020240315T");
    EXPECT_EQ(Record(dbf, 1), "              -1234.567919991201 ");
    // A NULL number is left empty, not filled with NullValue: readers take that as no value.
    EXPECT_EQ(Record(dbf, 2), " \x80                              F");
    EXPECT_EQ(Record(dbf, 3), "      1000000000000.0000        T");

    // NullValue never fills a NULL text, integer or date field.
    TMemoryDataSet others;
    others.AddField({"Name", TFieldType::ftString, 5});
    others.AddField({"Count", TFieldType::ftInteger});
    others.AddField({"Day", TFieldType::ftDate});
    others.AddRow({std::nullopt, std::nullopt, std::nullopt});
    ex.DataSet = &others;
    for (const char* nullValue : {"n/a", "0"}) {
        ex.SetNullValue(nullValue);
        EXPECT_EQ(Record(ExportToString(ex), 0), std::string(1 + 5 + 11 + 8, ' ')) << nullValue;
    }

    // A class derived from the exporter has the last say on every value, those that are not NULL too.
    class Marking : public TExporterDBF {
    protected:
        void GetColData(const TExportCol& col, std::string& text) override {
            if (col.Name != "Day")
                text += "1";
        }
    };
    Marking marking;
    marking.DataSet = &ds;
    EXPECT_EQ(Record(ExportToString(marking), 0), " Caf\xE9             3.510020240315T");
}

// Plain decimals take a short way to their field (the text padded with zeros) and date texts a memo of
// their column: both must give the bytes of the general way, which scans, rounds and formats each value.
TEST(DbfTable, ShortWaysForNumbersAndDatesGiveTheGeneralBytes) {
    const std::vector<std::string> numbers = {"0.05",
                                              "-0.05",
                                              "7",
                                              "-7",
                                              "0",
                                              "-0",
                                              "0.0000",
                                              "-0.00",
                                              "12345678901234",
                                              "-12345678901234",
                                              "123456789012345",
                                              "1.5",
                                              "1.2345",
                                              "1.23456",
                                              "00.5",
                                              ".5",
                                              "+3",
                                              "1.",
                                              "10.10",
                                              "99999999999999.9",
                                              "0.0001",
                                              "-0.00005"};
    for (const char* precision : {"", "18,4", "18,2", "18,0", "30,19"}) {
        TMemoryDataSet ds;
        ds.AddField({"Price", TFieldType::ftFloat});
        ds.AddField({"Amount", TFieldType::ftCurrency});
        for (const std::string& number : numbers)
            ds.AddRow({number, number});
        TExporterDBF ex;
        ex.DataSet = &ds;
        if (*precision) {
            ex.ColumnsPrecision.Add(std::string("Price=") + precision);
            ex.ColumnsPrecision.Add(std::string("Amount=") + precision);
        }
        const std::string dbf = ExportToString(ex);
        const int decimals = Byte(dbf, 32 + 17);
        const size_t priceLength = Byte(dbf, 32 + 16);
        rtl::LocaleFacts facts = rtl::LocaleFacts::Current();
        facts.DecimalSeparator = '.';
        facts.ThousandSeparator = '\0';
        for (size_t row = 0; row < numbers.size(); ++row) {
            std::string price, amount;
            ASSERT_TRUE(rtl::TryFloatTextToStrF(numbers[row], rtl::TFloatFormat::ffFixed, 18, decimals, price,
                                                facts));
            // A currency text finer than a ten-thousandth is taken as a float.
            if (!rtl::TryCurrencyTextToStrF(numbers[row], rtl::TFloatFormat::ffFixed, decimals, amount,
                                            facts))
                amount = price;
            const std::string record = Record(dbf, int(row));
            EXPECT_EQ(rtl::Trim(record.substr(1, priceLength)), price) << numbers[row] << " " << precision;
            EXPECT_EQ(rtl::Trim(record.substr(1 + priceLength)), amount) << numbers[row] << " " << precision;
        }
    }

    TDBFField date;
    date.Type = 'D';
    date.Length = 8;
    TExportDateTexts memo;
    for (const char* text :
         {"3/15/2024", "3/15/2024 10:30:00", "3/15/2024 23:59:59", "3/15/2024", "3/16/2024 0:00:01",
          "3/15/2024 10:30:00", "12/31/9999", "1/1/0001", "12/31/9999 23:59:59.999", "10:30:00", "1/2", "1/2",
          "2/29/2023", "31/31/2024", "x"}) {
        std::string general, memoized;
        bool generalThrows = false, memoThrows = false;
        try {
            general = TDBFWriter::FieldBytes(date, text);
        } catch (const rtl::EConvertError&) {
            generalThrows = true;
        }
        try {
            TDBFWriter::AppendFieldBytes(memoized, date, text, &memo);
        } catch (const rtl::EConvertError&) {
            memoThrows = true;
        }
        EXPECT_EQ(memoThrows, generalThrows) << text;
        EXPECT_EQ(memoized, general) << text;
    }
}

TEST(DbfTable, FloatPrecisionAndRangeChecks) {
    TMemoryDataSet ds;
    ds.AddField({"Price", TFieldType::ftFloat});
    ds.AddRow({"2.675"});
    TExporterDBF ex;
    ex.DataSet = &ds;
    auto descriptorOfPrice = [&] {
        const std::string dbf = ExportToString(ex);
        return std::make_pair(Byte(dbf, 48), Byte(dbf, 49));
    };
    ex.ColumnsPrecision.Add("price=6,1");
    EXPECT_EQ(descriptorOfPrice(), std::make_pair(6u, 1u));
    EXPECT_EQ(Record(ExportToString(ex), 0), "    2.7");
    ex.ColumnsPrecision.SetValue("Price", "x,3");           // a part that is not a number counts 0
    EXPECT_EQ(descriptorOfPrice(), std::make_pair(5u, 3u)); // widened from 0 to hold 2.675
    ex.ColumnsPrecision.SetValue("Price", "0,0");           // both 0: the defaults
    EXPECT_EQ(descriptorOfPrice(), std::make_pair(15u, 4u));
    ex.ColumnsPrecision.SetValue("Price", "12"); // no comma: the defaults
    EXPECT_EQ(descriptorOfPrice(), std::make_pair(15u, 4u));
    ex.DefaultFloatSize = 20;
    ex.DefaultFloatDecimal = 0;
    EXPECT_EQ(descriptorOfPrice(), std::make_pair(20u, 0u));

    ex.ColumnsPrecision.SetValue("Price", "256,2");
    EXPECT_THROW(ExportToString(ex), EExportError);
    ex.ColumnsPrecision.SetValue("Price", "10,300");
    EXPECT_THROW(ExportToString(ex), EExportError);
}

TEST(DbfTable, BadValuesRaiseConversionErrorsAndNumberFieldsWiden) {
    TMemoryDataSet ds;
    ds.AddField({"Day", TFieldType::ftDate});
    ds.AddRow({"31/31/2024"});
    TExporterDBF ex;
    ex.DataSet = &ds;
    EXPECT_THROW(ExportToString(ex), rtl::EConvertError);

    // The stream keeps what was written up to the error: the fields of the record before the bad value.
    TMemoryDataSet dated;
    dated.AddField({"Name", TFieldType::ftString, 3});
    dated.AddField({"Day", TFieldType::ftDate});
    dated.AddRow({"a", "3/15/2024"});
    dated.AddRow({"b", "31/31/2024"});
    ex.DataSet = &dated;
    std::ostringstream out(std::ios::binary);
    EXPECT_THROW(ex.ExportToStream(out), rtl::EConvertError);
    const std::string written = out.str();
    EXPECT_EQ(written.substr(LE16(written, 8)), " a  20240315 b  ");

    TMemoryDataSet floats;
    floats.AddField({"Price", TFieldType::ftFloat});
    floats.AddRow({"abc"});
    ex.DataSet = &floats;
    EXPECT_THROW(ExportToString(ex), rtl::EConvertError);

    // Texts of a list view typed by sample: the field is widened to the longest number, and a text that is
    // no number leaves it empty.
    TMemoryListView view;
    view.AddColumn({"N", 80});
    view.AddItem({"7"});
    view.AddItem({"123456789012345678901234"});
    view.AddItem({"0); DROP TABLE x; --"});
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &view;
    ex.AutoCalcStrType = true;
    const std::string dbf = ExportToString(ex);
    EXPECT_EQ(dbf[32 + 11], 'N');
    EXPECT_EQ(Byte(dbf, 32 + 16), 24u);
    EXPECT_EQ(Record(dbf, 1), " 123456789012345678901234");
    EXPECT_EQ(Record(dbf, 2), " " + std::string(24, ' '));
}

TEST(DbfTable, RecordCountAfterAnAbortAndAfterRefusedRows) {
    TMemoryDataSet ds;
    FillDataSet(ds, 10);
    TExporterDBF ex;
    ex.DataSet = &ds;
    ex.OnBeforeExportRow = [](TExporter&, TExportRow& row, bool& accept) { accept = row[0].Value != "row2"; };
    ex.OnExportedRecord = [](TExporter& sender, int recNo) {
        if (recNo == 3)
            sender.Abort();
    };
    const std::string dbf = ExportToString(ex);
    EXPECT_EQ(LE32(dbf, 4), 3u);
    EXPECT_EQ(dbf.size(), LE16(dbf, 8) + 3 * LE16(dbf, 10) + 1);
    EXPECT_EQ(Record(dbf, 1).substr(1, 4), "row3");
}

class DbfFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ds.AddField({"Name", TFieldType::ftString, 12});
        ds.AddField({"Picture", TFieldType::ftBlob});
        ds.AddField({"Count", TFieldType::ftInteger});
        ds.AddField({"Remarks", TFieldType::ftMemo});
        ds.AddRow({"first", std::string(600, 'x'), "1", "Grüße"});
        ds.AddRow({"second", std::nullopt, "2", std::string("a\0b", 3)});
        ds.AddRow({"third", std::string(510, 'y'), "3", std::string(65537, 'z')});
        ex.DataSet = &ds;
        for (const char* name : {"Name", "Picture", "Count", "Remarks"})
            ex.ExportedFields.Add(name);
        ex.FileName = dir.file("table.dbf");
    }
    TempDir dir;
    TMemoryDataSet ds;
    TExporterDBF ex;
};

TEST_F(DbfFiles, MemoFileHoldsBlocksAndReadsBack) {
    ex.Execute();
    const std::string dbf = ReadFile(ex.FileName);
    const std::string dbt = ReadFile(dir.file("table.dbt"));
    EXPECT_EQ(Byte(dbf, 0), 0x83u);
    EXPECT_EQ(LE32(dbf, 4), 3u);

    // Row 1: Picture 600 bytes + 0x1A 0x1A = blocks 1-2, Remarks at block 3. Row 2: no picture, Remarks
    // block 4. Row 3: 510 bytes + 2 fill block 5 exactly; a 65537-byte memo is written whole in 129 blocks.
    EXPECT_EQ(Record(dbf, 0), " first                1          1         3");
    EXPECT_EQ(Record(dbf, 1), " second                          2         4");
    EXPECT_EQ(Record(dbf, 2), " third                5          3         6");
    ASSERT_EQ(dbt.size(), 135u * 512);
    EXPECT_EQ(LE32(dbt, 0), 135u);
    EXPECT_EQ(dbt.substr(4, 508), std::string(508, '\0'));
    EXPECT_EQ(dbt.substr(512, 602), std::string(600, 'x') + "\x1A\x1A");
    EXPECT_EQ(dbt.substr(512 + 602, 1024 - 602), std::string(1024 - 602, '\0'));
    EXPECT_EQ(dbt.substr(3 * 512, 9), std::string("Gr\xFC\xDF"
                                                  "e\x1A\x1A\0\0",
                                                  9));
    EXPECT_EQ(dbt.substr(4 * 512, 5), std::string("a\0b\x1A\x1A", 5));
    EXPECT_EQ(dbt.substr(5 * 512, 512), std::string(510, 'y') + "\x1A\x1A");
    EXPECT_EQ(dbt.substr(6 * 512, 65539), std::string(65537, 'z') + "\x1A\x1A");

    EXPECT_EQ(ReadWithDbfread(ex.FileName), "NAME,PICTURE,COUNT,REMARKS\n"
                                            "'first'|'" +
                                                std::string(600, 'x') +
                                                "'|1|'Grüße'\n"
                                                "'second'|None|2|'a\\x00b'\n"
                                                "'third'|'" +
                                                std::string(510, 'y') + "'|3|'" + std::string(65537, 'z') +
                                                "'\n");
    // No temporary file is left beside the results.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);
}

TEST_F(DbfFiles, MemosComeFromTheDataSetBehindADBGrid) {
    TMemoryDBGrid grid(&ds);
    grid.AddColumn({"Name", "", 64});
    grid.AddColumn({"Picture", "", 64});
    ex.ExportSource = TExportSource::esDBGrid;
    ex.DBGrid = &grid;
    ex.ExportedFields.Clear();
    ex.ExportedFields.Add("Name");
    ex.ExportedFields.Add("Picture");
    ex.Execute();
    const std::string dbf = ReadFile(ex.FileName);
    EXPECT_EQ(Byte(dbf, 0), 0x83u);
    EXPECT_EQ(Record(dbf, 0), " first                1");
    EXPECT_EQ(Record(dbf, 2), " third                3");
    EXPECT_EQ(LE32(ReadFile(dir.file("table.dbt")), 0), 4u);
}

TEST_F(DbfFiles, WithoutBlobColumnsNoMemoFileIsWritten) {
    ex.ExportedFields.Clear();
    ex.Execute();
    const std::string dbf = ReadFile(ex.FileName);
    EXPECT_EQ(Byte(dbf, 0), 0x03u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("table.dbt")));
    EXPECT_EQ(ReadWithDbfread(ex.FileName), "NAME,COUNT\n'first'|1\n'second'|2\n'third'|3\n");
}

TEST_F(DbfFiles, AFailedExportKeepsTheOldFilesAndLeavesNoTemporaries) {
    WriteFile(ex.FileName, "old table");
    WriteFile(dir.file("table.dbt"), "old memo");
    ds.AddField({"Day", TFieldType::ftDate});
    ex.ExportedFields.Add("Day");
    ds.ClearRows();
    ds.AddRow({"a", "blob", "1", "memo", "not a date"});
    EXPECT_THROW(ex.Execute(), rtl::EConvertError);
    EXPECT_EQ(ReadFile(ex.FileName), "old table");
    EXPECT_EQ(ReadFile(dir.file("table.dbt")), "old memo");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 2);
}

// The files in the test folder by name, with their content.
std::map<std::string, std::string> FolderFiles(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files[entry.path().filename().string()] = ReadFile(entry.path().string());
    return files;
}

// A table whose name leads to its own memo file (named .dbt, or a link to the memo file) is refused
// before either file is written: the old file keeps its content and nothing is added.
TEST_F(DbfFiles, ATableNamedLikeItsMemoFileIsRefused) {
    struct Case {
        const char* what;
        std::string table;
        std::function<void()> prepare;
    };
    const std::string memo = dir.file("t.dbt");
    const std::vector<Case> cases = {
        {"named .dbt", dir.file("t.dbt"), [] {}},
        {"a symbolic link to the memo file", dir.file("t.dbf"),
         [&] { std::filesystem::create_symlink("t.dbt", dir.file("t.dbf")); }},
        {"a hard link of the memo file", dir.file("t.dbf"),
         [&] { std::filesystem::create_hard_link(memo, dir.file("t.dbf")); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::remove(entry.path());
        WriteFile(memo, std::string(512512, 'm'));
        c.prepare();
        const std::map<std::string, std::string> before = FolderFiles(dir);
        ex.FileName = c.table;
        try {
            ex.Execute();
            ADD_FAILURE() << "no error";
        } catch (const EExportError& error) {
            EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + memo + "\". The table \"" +
                                                     c.table + "\" and its memo file would be the same file");
        }
        EXPECT_EQ(FolderFiles(dir), before);
    }
    // Without memo fields the table alone is written, under any name.
    ex.ExportedFields.Clear();
    ex.FileName = memo;
    ex.Execute();
    EXPECT_EQ(ReadWithDbfread(memo), "NAME,COUNT\n'first'|1\n'second'|2\n'third'|3\n");
}

// An aborted export is incomplete: whichever file of its set was there before (table, memo file or
// both), none is replaced and none is added. With no file there, the rows written so far are kept.
TEST_F(DbfFiles, AnAbortedExportReplacesNoFileOfItsSet) {
    ex.OnExportedRecord = [](TExporter& sender, int recNo) {
        if (recNo == 1) // after the second row
            sender.Abort();
    };
    const std::string oldMemo = std::string(512512, 'm');
    const std::vector<std::map<std::string, std::string>> befores = {
        {{"table.dbt", oldMemo}},
        {{"table.dbf", "old table"}},
        {{"table.dbf", "old table"}, {"table.dbt", oldMemo}},
    };
    for (const auto& before : befores) {
        SCOPED_TRACE(before.begin()->first + " of " + std::to_string(before.size()));
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            std::filesystem::remove(entry.path());
        for (const auto& [name, content] : before)
            WriteFile(dir.file(name), content);
        ex.Execute();
        EXPECT_EQ(FolderFiles(dir), before);
    }
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        std::filesystem::remove(entry.path());
    ex.Execute();
    EXPECT_EQ(ReadWithDbfread(ex.FileName), "NAME,PICTURE,COUNT,REMARKS\n'first'|'" + std::string(600, 'x') +
                                                "'|1|'Grüße'\n'second'|None|2|'a\\x00b'\n");
}

TEST(DbfOptions, LengthSectionRoundTrips) {
    TempDir dir;
    TExporterDBF ex;
    ex.ColumnsLength.Add("Name=20");
    ex.ColumnsLength.Add("Zone=40");
    {
        ini::IniFile ini(dir.file("options.ini"));
        ini.WriteString("LENGTH", "stale", "x");
        ex.SaveOptionsToIni(ini);
        EXPECT_EQ(ini.ReadSection("LENGTH"), (std::vector<std::string>{"line0", "line1"}));
        EXPECT_EQ(ini.ReadString("LENGTH", "line1", ""), "Zone=40");
    }
    TExporterDBF loaded;
    loaded.ColumnsLength.Add("Old=1");
    ini::IniFile ini(dir.file("options.ini"));
    loaded.LoadOptionsFromIni(ini);
    ASSERT_EQ(loaded.ColumnsLength.Count(), 2);
    EXPECT_EQ(loaded.ColumnsLength.Values("Name"), "20");
    EXPECT_EQ(loaded.ColumnsLength[1], "Zone=40");
}

TEST(DbfOptions, ColumnsLengthSizesListViewTextFields) {
    TMemoryListView view;
    view.AddColumn({"Host", 80});
    view.AddColumn({"Address", 80});
    view.AddItem({"www", "10.0.0.1"});
    TExporterDBF ex;
    ex.ExportSource = TExportSource::esListView;
    ex.ListView = &view;
    ex.ColumnsLength.Add("Host=12");
    const std::string dbf = ExportToString(ex);
    EXPECT_EQ(Byte(dbf, 32 + 16), 12u);
    EXPECT_EQ(Byte(dbf, 64 + 16), 255u);
    EXPECT_EQ(Record(dbf, 0).substr(0, 14), " www         1");
}

} // namespace
} // namespace exporter::test
