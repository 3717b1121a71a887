#include "browser/lists/RecordListExportSource.h"
#include "browser/lists/RecordListModel.h"
#include "export/core/ExporterASCII.h"
#include "export/core/ExporterQtSources.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

using browser::RecordListExportSource;
using browser::RecordListModel;
using browser::RecordRow;

namespace {

RecordRow Row(std::string caption, std::vector<std::string> subItems) {
    RecordRow row;
    row.caption = std::move(caption);
    row.subItems = std::move(subItems);
    return row;
}

// Every cell the engine may ask for, out-of-range items and columns included, read through the record
// model's own texts and through data() (QVariant, QString, UTF-8): the same bytes, one cell at a time and
// a whole row at once (columns in reverse, one twice), also into storage that held a longer text before.
void ExpectSameTexts(RecordListModel& model) {
    RecordListExportSource direct(&model);
    exporter::TModelListView general(&model);
    std::vector<int> columns;
    for (int column = model.columnCount(); column >= -1; --column)
        columns.push_back(column);
    columns.push_back(1);
    std::vector<std::string> row(columns.size(), std::string(64, 'x'));
    std::vector<std::string*> rowTexts;
    for (std::string& text : row)
        rowTexts.push_back(&text);
    std::string reused(64, 'x');
    for (int item = -1; item <= model.count(); ++item) {
        direct.ReadItemTexts(item, columns.data(), rowTexts.data(), int(columns.size()));
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int column = columns[i];
            SCOPED_TRACE(std::to_string(item) + "," + std::to_string(column));
            const std::string expected = general.ItemText(item, column);
            EXPECT_EQ(direct.ItemText(item, column), expected);
            direct.ReadItemText(item, column, reused);
            EXPECT_EQ(reused, expected);
            EXPECT_EQ(row[i], expected);
        }
    }
}

// Texts of every kind a cell holds: plain, empty, blanks at the ends, accents and a four-byte character,
// malformed bytes (a stray continuation, a cut sequence, overlong forms, a surrogate, bytes no UTF-8
// holds), byte order marks (QString drops a leading one), a NUL, and texts of 17 to 33 bytes (read as
// words), ASCII or with a character or a malformed byte near the end.
const std::vector<std::string> kCellTexts = {"10.0.0.1",
                                             "",
                                             " padded ",
                                             "caf\xC3\xA9",
                                             "\xF0\x9F\x98\x80 smile",
                                             "a\x80z",
                                             "cut\xE2\x82",
                                             "\xC0\xAF",
                                             "\xE0\x80\xAF",
                                             "\xED\xA0\x80",
                                             "\xF5\x80\x80\x80",
                                             "\xFF\xFE",
                                             "\xEF\xBB\xBF"
                                             "bom",
                                             "\xEF\xBB\xBF\xEF\xBB\xBF",
                                             "in\xEF\xBB\xBFside",
                                             std::string("n\0ul", 4),
                                             "\xEF\xBB",
                                             "\xC3",
                                             "zone12.example.com",
                                             "host1.zone12.example.com.DNS.ACM",
                                             "host1.zone12.example.com.DNS.ACME",
                                             "printer, 2nd floor, Z\xC3\xBCrich",
                                             "printer, 2nd floor\xFF"};

TEST(RecordListExportSource, ReadsTheSameBytesAsTheModelsData) {
    RecordListModel model({"IP-address", "Name", "Rec Type", "Zone"});
    // Each text as the caption and as every sub-item; rows with fewer sub-items than columns and one
    // with a hidden sub-item beyond them.
    for (const std::string& text : kCellTexts) {
        model.appendRow(Row(text, {text, text, text, text, "hidden"}));
        model.appendRow(Row(text, {text}));
    }
    model.appendRow(Row("", {}));
    ExpectSameTexts(model);
}

TEST(RecordListExportSource, ReadsTheSameBytesForRandomTexts) {
    const unsigned char pool[] = {'a',  ' ',  ',',  '"',  0x00, 0x80, 0xBF, 0xC0, 0xC1,
                                  0xC2, 0xDF, 0xE0, 0xA0, 0xED, 0x9F, 0xEF, 0xBB, 0xF0,
                                  0x90, 0xF4, 0x8F, 0xF5, 0xFF, 0xFE, 0x82};
    std::mt19937 random(20261208);
    RecordListModel model({"Caption", "Text"});
    for (int row = 0; row < 400; ++row) {
        std::string texts[2];
        for (std::string& text : texts)
            for (int length = int(random() % 9); length > 0; --length)
                text += char(pool[random() % sizeof pool]);
        model.appendRow(Row(texts[0], {texts[1]}));
    }
    ExpectSameTexts(model);
}

// A whole export over either source writes the same file.
TEST(RecordListExportSource, AnExportWritesTheSameFileAsTheGeneralSource) {
    RecordListModel model({"IP-address", "Name", "Rec Type"});
    for (const std::string& text : kCellTexts)
        model.appendRow(Row(text, {"www", text}));
    test_support::TempFolder folder;
    RecordListExportSource direct(&model);
    exporter::TModelListView general(&model);
    std::string files[2];
    exporter::TExportListView* sources[2] = {&direct, &general};
    for (int i = 0; i < 2; ++i) {
        exporter::TExporterASCII csv;
        csv.SetExportType(exporter::TExportASCIIType::etCSV);
        csv.ExportSource = exporter::TExportSource::esListView;
        csv.ListView = sources[i];
        csv.FileName = (folder.Path() / ("list" + std::to_string(i) + ".csv")).string();
        csv.ShowFile = false;
        csv.Execute();
        files[i] = test_support::ReadFile(csv.FileName);
    }
    EXPECT_NE(files[0].find("caf\xC3\xA9"), std::string::npos);
    EXPECT_EQ(files[0], files[1]);
}

// A model derived from the record model may show other texts: its data() is what is read.
class ShoutingModel : public RecordListModel {
public:
    using RecordListModel::RecordListModel;
    QVariant data(const QModelIndex& index, int role) const override {
        const QVariant shown = RecordListModel::data(index, role);
        return role == Qt::DisplayRole ? QVariant(shown.toString().toUpper()) : shown;
    }
};

TEST(RecordListExportSource, ADerivedModelIsReadThroughItsData) {
    ShoutingModel model({"Caption", "Text"});
    model.appendRow(Row("www", {"example"}));
    RecordListExportSource source(&model);
    EXPECT_EQ(source.ItemText(0, 0), "WWW");
    std::string text;
    source.ReadItemText(0, 1, text);
    EXPECT_EQ(text, "EXAMPLE");
    EXPECT_EQ(source.ItemText(1, 0), "");
    const int columns[] = {1, 0};
    std::string texts[2];
    std::string* const pointers[] = {&texts[0], &texts[1]};
    source.ReadItemTexts(0, columns, pointers, 2);
    EXPECT_EQ(texts[0], "EXAMPLE");
    EXPECT_EQ(texts[1], "WWW");
}

} // namespace
