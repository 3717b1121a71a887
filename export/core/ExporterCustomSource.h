#pragma once

// The callback source: a program feeds rows from its own code.
//
//   TqeCustomSource src;
//   src.Columns.Add().SetColumnName("Name");
//   src.OnGetNextRecord = [&](TqeCustomSource&, int recNo, bool& eof) { eof = recNo >= rowCount; };
//   src.OnGetColumnValue = [&](TqeCustomSource&, int recNo, const TqeCustomColumn& col, TExportVariant& v) {
//       v = rows[recNo - 1][col.Index()];
//   };
//
// RecNo counts from 1. OnGetNextRecord is called when moving past record RecNo; setting eof there ends
// the rows (so a source of N rows sets it when called with RecNo N). Without OnGetNextRecord the source
// has no rows.

#include "export/core/ExporterTypes.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace exporter {

// A value handed over by the callback; converted to text for the export (empty: no value).
using TExportVariant = std::variant<std::monostate, std::int64_t, double, bool, std::string>;
std::string ExportVariantToText(const TExportVariant& value);

class TqeCustomColumns;

class TqeCustomColumn {
public:
    const std::string& ColumnName() const { return columnName_; }
    // Ignored for an empty text, the same text, or a name another column has (ignoring case).
    void SetColumnName(const std::string& name);
    // The name shown for the column in lists.
    const std::string& DisplayName() const { return columnName_; }
    int Index() const { return index_; }

    TExportColType ColumnType = TExportColType::ectString;
    std::string Caption;
    int Width = 15;
    int Size = 15;

private:
    friend class TqeCustomColumns;
    TqeCustomColumn(TqeCustomColumns& owner, std::string name, int index);

    TqeCustomColumns& owner_;
    std::string columnName_;
    int index_;
};

class TqeCustomColumns {
public:
    // A new column named "Column%d" with the lowest free number from 0 (ignoring case).
    TqeCustomColumn& Add();
    int Count() const { return int(items_.size()); }
    TqeCustomColumn& Items(int index) { return *items_.at(index); }
    const TqeCustomColumn& Items(int index) const { return *items_.at(index); }
    // Position of the column of that name (ignoring case), -1 when none.
    int IndexOfName(const std::string& name) const;
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TqeCustomColumn>> items_;
};

class TqeCustomSource {
public:
    using TGetNextRecordEvent = std::function<void(TqeCustomSource& sender, int recNo, bool& eof)>;
    using TGetColumnValueEvent = std::function<void(TqeCustomSource& sender, int recNo,
                                                    const TqeCustomColumn& column, TExportVariant& value)>;

    TqeCustomColumns Columns;
    TGetNextRecordEvent OnGetNextRecord;
    TGetColumnValueEvent OnGetColumnValue;

    int RecNo() const { return recNo_; }
    bool Eof() const { return eof_; }

    // RecNo := 1, Eof := False.
    void First();
    // Asks OnGetNextRecord whether the rows end; otherwise RecNo + 1. Nothing once Eof is set.
    void Next();
    // Back to a position taken from RecNo (Eof cleared).
    void GotoRecNo(int recNo);
    // The text of a column of the current record; empty without OnGetColumnValue.
    std::string ColumnText(int column);

private:
    int recNo_ = 1;
    bool eof_ = false;
};

} // namespace exporter
