#include "export/core/ExporterMemorySources.h"

#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>

namespace exporter {

int TExportDataSet::FieldByName(const std::string& name) const {
    int index = FindField(name);
    if (index < 0)
        throw EExportError("Field '" + name + "' not found");
    return index;
}

void TMemoryDataSet::AddRow(TRow row) {
    row.resize(std::max(row.size(), fields_.size()));
    rows_.push_back(std::move(row));
    if (rows_.size() == 1) {
        pos_ = 0;
        eof_ = false;
    }
}

void TMemoryDataSet::ClearRows() {
    rows_.clear();
    pos_ = 0;
    eof_ = true;
}

void TMemoryDataSet::SetRecNo(int recNo) {
    if (recNo < 0 || recNo >= RecordCount())
        return;
    pos_ = recNo;
    eof_ = false;
}

int TMemoryDataSet::FindField(const std::string& name) const {
    for (int i = 0; i < FieldCount(); ++i)
        if (rtl::SameText(fields_[i].FieldName, name))
            return i;
    return -1;
}

void TMemoryDataSet::First() {
    pos_ = 0;
    eof_ = rows_.empty();
}

void TMemoryDataSet::Next() {
    if (pos_ + 1 < RecordCount())
        ++pos_;
    else
        eof_ = true;
}

void TMemoryDataSet::GotoBookmark(TBookmark bookmark) {
    if (bookmark >= 0 && bookmark < RecordCount()) {
        pos_ = int(bookmark);
        eof_ = false;
    }
}

std::string TMemoryDataSet::FieldText(int index) const {
    const auto* value = Value(index);
    return value && *value ? **value : std::string();
}

bool TMemoryDataSet::ReadFieldText(int index, std::string& text) const {
    const auto* value = Value(index);
    if (value && *value) {
        rtl::AssignShortBytes(text, **value);
        return false;
    }
    text.clear();
    return true;
}

void TMemoryDataSet::ReadFieldTexts(const int* fields, std::string* const* texts, bool* nulls, int count) const {
    // The row and the number of its values that belong to a field are found once for the row.
    const TRow* const row = rows_.empty() ? nullptr : &rows_[std::size_t(pos_)];
    const std::size_t present = row ? std::min(row->size(), fields_.size()) : 0;
    for (int i = 0; i < count; ++i) {
        const std::size_t field = std::size_t(fields[i]); // a negative index becomes too large
        std::string& text = *texts[i];
        if (field < present && (*row)[field]) {
            // The cell's storage has the room from the row before.
            rtl::AssignShortBytes(text, *(*row)[field]);
            nulls[i] = false;
        } else {
            text.clear();
            nulls[i] = true;
        }
    }
}

bool TMemoryDataSet::FieldIsNull(int index) const {
    const auto* value = Value(index);
    return !value || !*value;
}

std::string TMemoryDBGrid::ColumnTitle(int column) const {
    const TColumn& col = columns_.at(column);
    if (!col.Title.empty() || !dataSet_)
        return col.Title;
    int field = dataSet_->FindField(col.FieldName);
    return field < 0 ? col.FieldName : dataSet_->Field(field).Caption();
}

std::string TMemoryListView::ItemText(int item, int column) const {
    if (item < 0 || item >= ItemCount())
        return std::string();
    const auto& texts = items_[item];
    return column >= 0 && column < int(texts.size()) ? texts[column] : std::string();
}

TMemoryStringGrid::TMemoryStringGrid(std::vector<std::vector<std::string>> rows, int fixedRows, int colWidth)
    : rows_(std::move(rows)), fixedRows_(fixedRows), colWidth_(colWidth), row_(fixedRows) {
    for (const auto& row : rows_)
        colCount_ = std::max(colCount_, int(row.size()));
}

std::string TMemoryStringGrid::Cell(int col, int row) const {
    if (row < 0 || row >= RowCount() || col < 0 || col >= int(rows_[row].size()))
        return std::string();
    return rows_[row][col];
}

} // namespace exporter
