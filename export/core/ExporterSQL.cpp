#include "export/core/ExporterSQL.h"

#include "export/core/ExporterNumberText.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <string_view>

namespace exporter {

namespace {

// Words that SQL dialects (SQLite's list and the standard's reserved words) do not take as plain
// identifiers, and the type names; upper case, each between blanks.
constexpr std::string_view kKeywords =
    " ABORT ACTION ADD AFTER ALL ALTER ALWAYS ANALYSE ANALYZE AND ANY ARRAY AS ASC ASYMMETRIC ATTACH "
    "AUTHORIZATION AUTOINCREMENT BEFORE BEGIN BETWEEN BINARY BOTH BY CASCADE CASE CAST CHAR CHARACTER "
    "CHECK COLLATE COLUMN COMMIT CONFLICT CONSTRAINT CREATE CROSS CURRENT CURRENT_DATE CURRENT_TIME "
    "CURRENT_TIMESTAMP CURRENT_USER DATABASE DATE DECIMAL DEFAULT DEFERRABLE DEFERRED DELETE DESC "
    "DETACH DISTINCT DO DOUBLE DROP EACH ELSE END ESCAPE EXCEPT EXCLUDE EXCLUSIVE EXISTS EXPLAIN FAIL "
    "FALSE FETCH FILTER FIRST FLOAT FOLLOWING FOR FOREIGN FROM FULL GENERATED GLOB GRANT GROUP GROUPS "
    "HAVING IF IGNORE IMMEDIATE IN INDEX INDEXED INITIALLY INNER INSERT INSTEAD INTEGER INTERSECT "
    "INTERVAL INTO IS ISNULL JOIN KEY LAST LATERAL LEADING LEFT LIKE LIMIT MATCH MATERIALIZED NATURAL "
    "NO NOT NOTHING NOTNULL NULL NULLS NUMERIC OF OFFSET ON ONLY OR ORDER OTHERS OUTER OVER PARTITION "
    "PLAN PRAGMA PRECEDING PRIMARY QUERY RAISE RANGE REAL RECURSIVE REFERENCES REGEXP REINDEX RELEASE "
    "RENAME REPLACE RESTRICT RETURNING REVOKE RIGHT ROLLBACK ROW ROWS SAVEPOINT SELECT SESSION_USER SET "
    "SMALLINT SOME TABLE TEMP TEMPORARY THEN TIES TIME TIMESTAMP TO TRAILING TRANSACTION TRIGGER TRUE "
    "UNBOUNDED UNION UNIQUE UPDATE USER USING VACUUM VALUES VARCHAR VARYING VIEW VIRTUAL WHEN WHERE "
    "WINDOW WITH WITHOUT ";

bool IsKeyword(const std::string& name) {
    return kKeywords.find(" " + rtl::UpperCase(name) + " ") != std::string_view::npos;
}

// Letters, digits and "_", not starting with a digit.
bool IsPlainIdentifier(const std::string& name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9'))
        return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
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
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        return name; // quoted by the user
    std::string out;
    size_t start = 0;
    for (size_t dot = name.find('.'); dot != std::string::npos; dot = name.find('.', start)) {
        out += SQLIdentifier(name.substr(start, dot - start)) + ".";
        start = dot + 1;
    }
    return out + SQLIdentifier(name.substr(start));
}

TExporterSQL::TExporterSQL() {
    Formats.SetNullString("null");
}

void TExporterSQL::BeginExport() {
    TExporterFormatTextSQL::BeginExport();
    rowsWritten_ = 0;
    if (Aborted)
        return;
    TExportWriter& w = Writer();
    for (int i = 0; i < Header.Count(); ++i)
        w.WriteLn(Header[i]);
    if (CreateTable && !TableName.empty()) {
        w.WriteLn("CREATE TABLE " + SQLTableName(TableName) + "(");
        for (int i = 0; i < Columns.Count(); ++i)
            w.WriteLn("  " + SQLIdentifier(Columns[i].Name) + "  " + Columns[i].SQLType +
                      (i + 1 < Columns.Count() ? "," : ""));
        w.WriteLn(");");
        w.EmptyLine();
    }
    std::string columnList;
    for (int i = 0; i < Columns.Count(); ++i)
        columnList += (i ? "," : "") + SQLIdentifier(Columns[i].Name);
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
        return IsNaNOrInfinity(text) ? NullValue() : rtl::QuotedStr(text);
    }
    case TExportColType::ectDate:
    case TExportColType::ectTime:
    case TExportColType::ectDateTime:
    case TExportColType::ectString:
        return rtl::QuotedStr(text);
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
    return IsNumberLiteral(text) ? text : rtl::QuotedStr(text);
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
