#pragma once

// An SQL script of INSERT statements (optionally preceded by CREATE TABLE).

#include "export/core/Exporter.h"

#include <vector>

namespace exporter {

// A name as an SQL identifier: unchanged when it is letters, digits, "_" and characters outside ASCII
// (not starting with a digit) and no reserved word, else in double quotes with inner double quotes doubled.
std::string SQLIdentifier(const std::string& name);
// A table name, split at the dots outside double quotes: a part the user quoted well (in double quotes,
// inner quotes doubled) is kept as it is, any other part becomes an identifier. A quote never closed runs
// to the end of the name and is part of it.
std::string SQLTableName(const std::string& name);

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

    // The SQL literal of one cell: a number only where the text is one (else a quoted string), NULL for
    // NaN and infinity.
    std::string SQLValue(const TExportCol& cell) const;

protected:
    void BeginExport() override;
    void WriteDataRow() override;
    void EndExport() override;

private:
    std::vector<std::string> columnNames_; // the column names as identifiers, unique ignoring case
    std::string insertHead_; // "INSERT INTO <table>", the column list and "VALUES(", built at BeginExport
    std::string statement_;  // the statement being built, kept so that its memory is reused
    int rowsWritten_ = 0;
};

} // namespace exporter
