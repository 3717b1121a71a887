#pragma once

// In-memory sources: a data set of typed fields and rows, a DB grid over a data set, a list view and a
// string grid. A program (or a test) fills them and hands them to an exporter.
//
//   TMemoryDataSet ds;
//   ds.AddField({"Name", TFieldType::ftString, 20});
//   ds.AddField({"Count", TFieldType::ftInteger});
//   ds.AddRow({"alpha", "12"});
//   ds.AddRow({"beta", std::nullopt});          // a NULL field
//   exporter.DataSet = &ds;                       // ExportSource esDataSet

#include "export/core/ExporterSources.h"

#include <optional>
#include <string>
#include <vector>

namespace exporter {

class TMemoryDataSet : public TExportDataSet {
public:
    using TRow = std::vector<std::optional<std::string>>;

    void AddField(TExportField field) { fields_.push_back(std::move(field)); }
    TExportField& MutableField(int index) { return fields_.at(index); }
    // Appends a row; missing trailing values are NULL.
    void AddRow(TRow row);
    void ClearRows();
    int RecordCount() const { return int(rows_.size()); }
    // The 0-based current record (the cursor); stays at the last record at the end.
    int RecNo() const { return pos_; }
    void SetRecNo(int recNo);
    void SetActive(bool active) { active_ = active; }
    int DisableCount() const { return disableCount_; }

    bool Active() const override { return active_; }
    int FieldCount() const override { return int(fields_.size()); }
    const TExportField& Field(int index) const override { return fields_.at(index); }
    int FindField(const std::string& name) const override;
    bool IsEmpty() const override { return rows_.empty(); }
    void First() override;
    void Next() override;
    bool Eof() const override { return eof_; }
    TBookmark GetBookmark() const override { return pos_; }
    void GotoBookmark(TBookmark bookmark) override;
    void DisableControls() override { ++disableCount_; }
    void EnableControls() override { --disableCount_; }
    std::string FieldText(int index) const override;
    bool FieldIsNull(int index) const override;
    bool ReadFieldText(int index, std::string& text) const override;
    void ReadFieldTexts(const int* fields, std::string* const* texts, bool* nulls, int count) const override;

private:
    // The current row's value of a field; null where the row has none (no rows, an index out of range, a
    // row added before the field was). The field count is read directly: it is asked once per cell.
    const std::optional<std::string>* Value(int index) const {
        if (rows_.empty() || index < 0 || std::size_t(index) >= fields_.size() ||
            std::size_t(index) >= rows_[std::size_t(pos_)].size())
            return nullptr;
        return &rows_[std::size_t(pos_)][std::size_t(index)];
    }

    std::vector<TExportField> fields_;
    std::vector<TRow> rows_;
    int pos_ = 0;
    bool eof_ = true;
    bool active_ = true;
    int disableCount_ = 0;
};

class TMemoryDBGrid : public TExportDBGrid {
public:
    struct TColumn {
        std::string FieldName;
        std::string Title; // the field's caption when empty
        int Width = 64;    // pixels
    };

    explicit TMemoryDBGrid(TExportDataSet* dataSet = nullptr) : dataSet_(dataSet) {}
    void SetDataSet(TExportDataSet* dataSet) { dataSet_ = dataSet; }
    void AddColumn(TColumn column) { columns_.push_back(std::move(column)); }

    TExportDataSet* DataSet() const override { return dataSet_; }
    int ColumnCount() const override { return int(columns_.size()); }
    std::string ColumnFieldName(int column) const override { return columns_.at(column).FieldName; }
    std::string ColumnTitle(int column) const override;
    int ColumnWidth(int column) const override { return columns_.at(column).Width; }

private:
    TExportDataSet* dataSet_;
    std::vector<TColumn> columns_;
};

class TMemoryListView : public TExportListView {
public:
    struct TColumn {
        std::string Caption;
        int Width = 80; // pixels
    };

    void AddColumn(TColumn column) { columns_.push_back(std::move(column)); }
    // An item: caption followed by its sub-items.
    void AddItem(std::vector<std::string> texts) { items_.push_back(std::move(texts)); }
    void SetSelectedIndex(int index) { selected_ = index; }
    int FocusedIndex() const { return focused_; }
    int UpdateCount() const { return updateCount_; }

    int ColumnCount() const override { return int(columns_.size()); }
    std::string ColumnCaption(int column) const override { return columns_.at(column).Caption; }
    int ColumnWidth(int column) const override { return columns_.at(column).Width; }
    int ItemCount() const override { return int(items_.size()); }
    std::string ItemText(int item, int column) const override;
    int SelectedIndex() const override { return selected_; }
    void FocusItem(int item) override { focused_ = item; }
    void BeginUpdate() override { ++updateCount_; }
    void EndUpdate() override { --updateCount_; }

private:
    std::vector<TColumn> columns_;
    std::vector<std::vector<std::string>> items_;
    int selected_ = -1;
    int focused_ = -1;
    int updateCount_ = 0;
};

class TMemoryStringGrid : public TExportStringGrid {
public:
    // rows[r][c]; the first fixedRows rows are fixed.
    TMemoryStringGrid(std::vector<std::vector<std::string>> rows, int fixedRows, int colWidth = 64);

    int ColCount() const override { return colCount_; }
    int RowCount() const override { return int(rows_.size()); }
    int FixedRows() const override { return fixedRows_; }
    int Row() const override { return row_; }
    void SetRow(int row) override { row_ = row; }
    std::string Cell(int col, int row) const override;
    int ColWidth(int) const override { return colWidth_; }

private:
    std::vector<std::vector<std::string>> rows_;
    int fixedRows_;
    int colWidth_;
    int colCount_ = 0;
    int row_;
};

} // namespace exporter
