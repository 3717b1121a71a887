#pragma once

// An SQL script of INSERT statements (optionally preceded by CREATE TABLE).

#include "export/core/Exporter.h"

namespace exporter {

class TExporterSQL : public TExporterFormatTextSQL {
public:
    TExporterSQL();

    std::string TableName;
    int CommitRecCount = 0; // a commit after every so many rows; 0: none
    bool CommitAfterScript = false;
    std::string CommitStatement = "COMMIT WORK;";
    bool CreateTable = false;
    char StatementTerm = ';';
    bool FormatValues = false;

    // The text written for a NULL field (Formats.NullString, "null" at creation).
    const std::string& NullValue() const { return Formats.NullString(); }
    void SetNullValue(const std::string& value) { Formats.SetNullString(value); }

    // The SQL literal of one cell.
    std::string SQLValue(const TExportCol& cell) const;

protected:
    void BeginExport() override;
    void WriteDataRow() override;
    void EndExport() override;

private:
    std::string columnList_;
    int rowsWritten_ = 0;
};

} // namespace exporter
