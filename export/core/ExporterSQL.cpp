#include "export/core/ExporterSQL.h"

#include "export/core/ExporterNumberText.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <string_view>

namespace exporter {

namespace {

// Words that SQLite or PostgreSQL refuse as a plain table or column name, upper case, each between
// blanks: PostgreSQL's reserved words (also those it takes only as a function or type name) and the
// SQLite keywords its parser refuses bare in CREATE TABLE or INSERT INTO ("if" names a column but not a
// table: CREATE TABLE if( reads as CREATE TABLE IF NOT EXISTS). Type names and the keywords both
// engines take as plain names (DATE, FIRST, KEY, ...) stay unquoted: a quoted name is case-sensitive in
// PostgreSQL, so quoting it without need breaks a script on a table made with it unquoted.
constexpr std::string_view kKeywords =
    " ADD ALL ALTER ANALYSE ANALYZE AND ANY ARRAY AS ASC ASYMMETRIC AUTHORIZATION AUTOINCREMENT BETWEEN "
    "BINARY BOTH CASE CAST CHECK COLLATE COLLATION COLUMN COMMIT CONCURRENTLY CONSTRAINT CREATE CROSS "
    "CURRENT_CATALOG CURRENT_DATE CURRENT_ROLE CURRENT_SCHEMA CURRENT_TIME CURRENT_TIMESTAMP CURRENT_USER "
    "DEFAULT DEFERRABLE DELETE DESC DISTINCT DO DROP ELSE END ESCAPE EXCEPT EXISTS FALSE FETCH FOR FOREIGN "
    "FREEZE FROM FULL GRANT GROUP HAVING IF ILIKE IN INDEX INITIALLY INNER INSERT INTERSECT INTO IS ISNULL "
    "JOIN LATERAL LEADING LEFT LIKE LIMIT LOCALTIME LOCALTIMESTAMP NATURAL NOT NOTHING NOTNULL NULL OFFSET "
    "ON ONLY OR ORDER OUTER OVERLAPS PLACING PRIMARY RAISE REFERENCES RETURNING RIGHT SELECT SESSION_USER "
    "SET SIMILAR SOME SYMMETRIC SYSTEM_USER TABLE TABLESAMPLE THEN TO TRAILING TRANSACTION TRUE UNION "
    "UNIQUE UPDATE USER USING VALUES VARIADIC VERBOSE WHEN WHERE WINDOW WITH ";

bool IsKeyword(const std::string& name) {
    return kKeywords.find(" " + rtl::UpperCase(name) + " ") != std::string_view::npos;
}

// Letters, digits, "_" and characters outside ASCII (which SQLite, PostgreSQL and MySQL all take in a
// plain name), not starting with a digit.
bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
               static_cast<unsigned char>(c) >= 0x80;
    });
}

// A string literal: quotes doubled; NUL is dropped, since the sqlite3 shell and other line readers end
// the statement there and no engine's text type takes it portably (PostgreSQL refuses it). The other
// control characters are kept: inside a literal no reader takes them as the end of a statement.
std::string SQLString(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '\'';
    for (char c : text) {
        if (c == '\0')
            continue;
        out += c;
        if (c == '\'')
            out += '\'';
    }
    out += '\'';
    return out;
}

// The parts of a table name, split at the dots outside double quotes. A quote that is never closed
// runs to the end of the name, as an SQL reader takes it.
std::vector<std::string> TableNameParts(const std::string& name) {
    std::vector<std::string> parts(1);
    bool quoted = false;
    for (char c : name) {
        if (c == '.' && !quoted) {
            parts.emplace_back();
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        parts.back() += c;
    }
    return parts;
}

// A part the user quoted well: in double quotes, every quote inside doubled.
bool IsQuotedPart(const std::string& part) {
    if (part.size() < 2 || part.front() != '"' || part.back() != '"')
        return false;
    for (size_t i = 1; i + 1 < part.size(); ++i) {
        if (part[i] != '"')
            continue;
        if (i + 2 >= part.size() || part[i + 1] != '"')
            return false;
        ++i; // a doubled quote
    }
    return true;
}

// A numeric cell's text as an SQL number, or empty when it is not one (NaN and infinity are not).
std::string SQLNumber(const std::string& text) {
    const std::string plain = PlainNumberText(text);
    return IsNumberLiteral(plain) ? plain : std::string();
}

// "NAN", "INF", "-Infinity", ...: what number formatting gives for values that have no SQL literal.
bool IsNaNOrInfinity(const std::string& text) {
    std::string t = rtl::LowerCase(rtl::Trim(text));
    if (!t.empty() && (t[0] == '-' || t[0] == '+'))
        t.erase(0, 1);
    return t == "nan" || t == "inf" || t == "infinity";
}

} // namespace

std::string SQLIdentifier(const std::string& name) {
    if (IsPlainIdentifier(name) && !IsKeyword(name))
        return name;
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

std::string SQLTableName(const std::string& name) {
    const std::vector<std::string> parts = TableNameParts(name);
    std::string out;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += '.';
        out += IsQuotedPart(parts[i]) ? parts[i] : SQLIdentifier(parts[i]); // a part quoted well is kept
    }
    return out;
}

TExporterSQL::TExporterSQL() {
    Formats.SetNullString("null");
}

void TExporterSQL::BeginExport() {
    TExporterFormatTextSQL::BeginExport();
    rowsWritten_ = 0;
    if (Aborted)
        return;
    // Engines compare unquoted names without case: "Name" and "NAME" are one column to them.
    std::vector<std::string> names;
    for (int i = 0; i < Columns.Count(); ++i) {
        names.push_back(Columns[i].Name);
        rtl::RepairUtf8(names.back()); // the script is UTF-8 throughout
    }
    columnNames_ = ExportUniqueNames(names, true);
    for (std::string& name : columnNames_)
        name = SQLIdentifier(name);
    TExportWriter& w = Writer();
    for (int i = 0; i < Header.Count(); ++i)
        w.WriteLn(Header[i]);
    if (CreateTable && !TableName.empty()) {
        w.WriteLn("CREATE TABLE " + SQLTableName(TableName) + "(");
        for (int i = 0; i < Columns.Count(); ++i)
            w.WriteLn("  " + columnNames_[size_t(i)] + "  " + Columns[i].SQLType +
                      (i + 1 < Columns.Count() ? "," : ""));
        w.WriteLn(");");
        w.EmptyLine();
    }
    std::string columnList;
    for (int i = 0; i < Columns.Count(); ++i)
        columnList += (i ? "," : "") + columnNames_[size_t(i)];
    insertHead_ = "INSERT INTO " + SQLTableName(TableName) + "\r\n  (" + columnList + ")\r\nVALUES(";
}

std::string TExporterSQL::SQLValue(const TExportCol& cell) const {
    if (cell.IsNull)
        return NullValue();
    const std::string text = cell.GetText(FormatValues);
    const TExportColumn& column = Columns[cell.ColumnIndex];
    switch (column.ColType) {
    case TExportColType::ectFloat:
    case TExportColType::ectCurrency:
    case TExportColType::ectInteger:
    case TExportColType::ectBigint: {
        // A value written as a number is a number; NaN and infinity have no SQL literal and are NULL.
        if (text.empty())
            return NullValue();
        std::string number = SQLNumber(text);
        if (!number.empty())
            return number;
        return IsNaNOrInfinity(text) ? NullValue() : SQLString(text);
    }
    case TExportColType::ectDate:
    case TExportColType::ectTime:
    case TExportColType::ectDateTime:
    case TExportColType::ectString:
        return SQLString(text);
    case TExportColType::ectBoolean: {
        const std::string t = rtl::Trim(text);
        return rtl::SameText(t, "True") || rtl::SameText(t, Formats.BooleanTrue()) ? Formats.BooleanTrue()
                                                                                   : Formats.BooleanFalse();
    }
    case TExportColType::ectUnknown:
        break;
    }
    if (text.empty())
        return NullValue();
    return IsNumberLiteral(text) ? text : SQLString(text);
}

void TExporterSQL::WriteDataRow() {
    TExportWriter& w = Writer();
    std::string& statement = statement_;
    statement = insertHead_;
    for (int i = 0; i < ExportRow.Count(); ++i) {
        if (i)
            statement += ',';
        statement += SQLValue(ExportRow[i]);
    }
    statement += ')';
    statement += StatementTerm;
    w.WriteLn(statement);
    w.EmptyLine();
    ++rowsWritten_;
    if (CommitRecCount > 0 && rowsWritten_ % CommitRecCount == 0 && !CommitStatement.empty()) {
        w.WriteLn(CommitStatement);
        w.EmptyLine();
    }
}

void TExporterSQL::EndExport() {
    TExportWriter& w = Writer();
    if (CommitAfterScript && !CommitStatement.empty())
        w.WriteLn(CommitStatement);
    for (int i = 0; i < Footer.Count(); ++i)
        w.WriteLn(Footer[i]);
    TExporterFormatTextSQL::EndExport();
}

} // namespace exporter
