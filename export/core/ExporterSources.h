#pragma once

// The source objects an export can read from. Each is a small interface, so that the engine needs no
// database and no GUI toolkit: the data set and DB grid have in-memory implementations
// (ExporterMemorySources.h) that programs and tests fill; the list view and string grid have adapters over
// Qt item models (ExporterQtSources.h). Exporters reference their sources; they never own them.

#include "export/core/ExporterTypes.h"

#include <cstdint>
#include <string>
#include <utility>

namespace exporter {

// Field types of a data set, as far as the export engine distinguishes them.
enum class TFieldType {
    ftUnknown,
    ftString,
    ftWideString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftAutoInc,
    ftLargeint,
    ftBoolean,
    ftFloat,
    ftBCD,
    ftCurrency,
    ftDate,
    ftTime,
    ftDateTime,
    ftTimeStamp,
    ftBlob,
    ftMemo,
    ftGraphic,
    ftFmtMemo
};

// The description of one field of a data set.
struct TExportField {
    TExportField() = default;
    TExportField(std::string name, TFieldType type = TFieldType::ftString, int size = 0)
        : FieldName(std::move(name)), DataType(type), Size(size) {}

    std::string FieldName;
    TFieldType DataType = TFieldType::ftString;
    int Size = 0;             // characters of a string field
    std::string DisplayLabel; // caption; the field name when empty
    int DisplayWidth = 0;     // width in characters; the size (strings) or 10 when 0
    bool Visible = true;

    std::string Caption() const { return DisplayLabel.empty() ? FieldName : DisplayLabel; }
    int Width() const { return DisplayWidth > 0 ? DisplayWidth : (Size > 0 ? Size : 10); }
    bool IsBlob() const {
        return DataType == TFieldType::ftBlob || DataType == TFieldType::ftMemo ||
               DataType == TFieldType::ftGraphic || DataType == TFieldType::ftFmtMemo;
    }
    bool IsMemo() const { return DataType == TFieldType::ftMemo || DataType == TFieldType::ftFmtMemo; }
};

// A record set with a cursor (the "data set" source). Texts are UTF-8.
class TExportDataSet {
public:
    using TBookmark = std::int64_t;
    virtual ~TExportDataSet() = default;

    virtual bool Active() const = 0;
    virtual int FieldCount() const = 0;
    virtual const TExportField& Field(int index) const = 0;
    // Index of the field of that name (ignoring case), -1 when there is none.
    virtual int FindField(const std::string& name) const = 0;
    // FindField, raising EExportError "Field 'name' not found" when missing.
    int FieldByName(const std::string& name) const;

    virtual bool IsEmpty() const = 0;
    virtual void First() = 0;
    virtual void Next() = 0;
    virtual bool Eof() const = 0;
    virtual TBookmark GetBookmark() const = 0;
    virtual void GotoBookmark(TBookmark bookmark) = 0;
    virtual void FreeBookmark(TBookmark) {}
    virtual void DisableControls() {}
    virtual void EnableControls() {}

    // The text and NULL state of a field of the current record.
    virtual std::string FieldText(int index) const = 0;
    virtual bool FieldIsNull(int index) const = 0;
    // FieldText into `text`, whose storage an export reuses from cell to cell, and FieldIsNull as the
    // result; a data set that holds its texts copies them in without a new allocation or second look-up.
    virtual bool ReadFieldText(int index, std::string& text) const {
        text = FieldText(index);
        return FieldIsNull(index);
    }
    // ReadFieldText for count fields of the current record at once: texts[i] gets the text of field
    // fields[i] and nulls[i] its NULL state. An export reads a row with one call.
    virtual void ReadFieldTexts(const int* fields, std::string* const* texts, bool* nulls, int count) const {
        for (int i = 0; i < count; ++i)
            nulls[i] = ReadFieldText(fields[i], *texts[i]);
    }
};

// A grid over a data set (the "DB grid" source): columns that each show one field.
class TExportDBGrid {
public:
    virtual ~TExportDBGrid() = default;
    // The data set of the grid's data source; null when the grid has no data source or it no data set.
    virtual TExportDataSet* DataSet() const = 0;
    virtual int ColumnCount() const = 0;
    // The field name a column shows ("" when none) and its title caption and pixel width.
    virtual std::string ColumnFieldName(int column) const = 0;
    virtual std::string ColumnTitle(int column) const = 0;
    virtual int ColumnWidth(int column) const = 0;
    // The pixel width of a text on the grid's canvas.
    virtual int TextWidth(const std::string& text) const { return 8 * int(text.size()); }
};

// A report-style list view: items with a caption (column 0) and sub-items (columns 1 ..).
class TExportListView {
public:
    virtual ~TExportListView() = default;
    virtual int ColumnCount() const = 0;
    virtual std::string ColumnCaption(int column) const = 0;
    virtual int ColumnWidth(int column) const = 0; // pixels
    virtual int ItemCount() const = 0;
    // Column 0: the item's caption; column k: its sub-item k - 1 (empty when the item has fewer).
    virtual std::string ItemText(int item, int column) const = 0;
    // The same text into text, whose storage the engine reuses from cell to cell.
    virtual void ReadItemText(int item, int column, std::string& text) const {
        text = ItemText(item, column);
    }
    // ReadItemText for count columns of one item at once: texts[i] gets the text of column columns[i]. An
    // export reads a row with one call.
    virtual void ReadItemTexts(int item, const int* columns, std::string* const* texts, int count) const {
        for (int i = 0; i < count; ++i)
            ReadItemText(item, columns[i], *texts[i]);
    }
    // The first selected item, -1 when none.
    virtual int SelectedIndex() const = 0;
    // Makes the item the focused one (the "current" row of the view).
    virtual void FocusItem(int item) = 0;
    virtual void BeginUpdate() {}
    virtual void EndUpdate() {}
    // The pixel width of a text in the view's font; 0 when the view cannot measure.
    virtual int TextWidth(const std::string& text) const { return 8 * int(text.size()); }
};

// A grid of texts with fixed (caption) rows at the top and a current row.
class TExportStringGrid {
public:
    virtual ~TExportStringGrid() = default;
    virtual int ColCount() const = 0;
    virtual int RowCount() const = 0;
    virtual int FixedRows() const = 0;
    virtual int Row() const = 0;
    virtual void SetRow(int row) = 0;
    virtual std::string Cell(int col, int row) const = 0;
    virtual int ColWidth(int col) const = 0; // pixels
    virtual int TextWidth(const std::string& text) const { return 8 * int(text.size()); }
};

class TqeCustomSource;

// The five source references of an exporter (none owned) and the kind in use.
struct TExportSources {
    TExportSource Kind = TExportSource::esDataSet;
    TExportDataSet* DataSet = nullptr;
    TqeCustomSource* CustomSource = nullptr;
    TExportDBGrid* DBGrid = nullptr;
    TExportListView* ListView = nullptr;
    TExportStringGrid* StringGrid = nullptr;
};

// The source references of an owner (an exporter, a sheet or the dialog component), which keeps
// them as the members ExportSource, DataSet, CustomSource, DBGrid, ListView and StringGrid.
template <class Owner> TExportSources SourcesOf(const Owner& owner) {
    TExportSources s;
    s.Kind = owner.ExportSource;
    s.DataSet = owner.DataSet;
    s.CustomSource = owner.CustomSource;
    s.DBGrid = owner.DBGrid;
    s.ListView = owner.ListView;
    s.StringGrid = owner.StringGrid;
    return s;
}

// Drops the owner's reference to a source that is going away.
template <class Owner> void ForgetRemovedSource(Owner& owner, const void* removed) {
    if (!removed)
        return;
    if (removed == owner.DataSet)
        owner.DataSet = nullptr;
    if (removed == owner.CustomSource)
        owner.CustomSource = nullptr;
    if (removed == owner.ListView)
        owner.ListView = nullptr;
    if (removed == owner.DBGrid)
        owner.DBGrid = nullptr;
    if (removed == owner.StringGrid)
        owner.StringGrid = nullptr;
}

} // namespace exporter
