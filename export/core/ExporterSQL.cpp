#include "export/core/ExporterSQL.h"

#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/SysUtils.h"

namespace exporter {

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
        w.WriteLn("CREATE TABLE " + TableName + "(");
        for (int i = 0; i < Columns.Count(); ++i)
            w.WriteLn("  " + Columns[i].Name + "  " + Columns[i].SQLType +
                      (i + 1 < Columns.Count() ? "," : ""));
        w.WriteLn(");");
        w.EmptyLine();
    }
    columnList_.clear();
    for (int i = 0; i < Columns.Count(); ++i)
        columnList_ += (i ? "," : "") + Columns[i].Name;
}

std::string TExporterSQL::SQLValue(const TExportCol& cell) const {
    if (cell.IsNull)
        return NullValue();
    const std::string text = cell.GetText(FormatValues);
    const TExportColumn& column = Columns[cell.ColumnIndex];
    switch (column.ColType) {
    case TExportColType::ectFloat:
    case TExportColType::ectCurrency: {
        if (text.empty())
            return NullValue(); // an empty number would break the statement
        const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
        std::string out;
        for (char c : text) {
            if (facts.ThousandSeparator != '\0' && c == facts.ThousandSeparator)
                continue;
            out += (c == facts.DecimalSeparator) ? '.' : c;
        }
        return out;
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
    case TExportColType::ectInteger:
    case TExportColType::ectBigint:
    case TExportColType::ectUnknown:
        break;
    }
    return text.empty() ? NullValue() : text;
}

void TExporterSQL::WriteDataRow() {
    TExportWriter& w = Writer();
    std::string values;
    for (int i = 0; i < ExportRow.Count(); ++i)
        values += (i ? "," : "") + SQLValue(ExportRow[i]);
    w.WriteLn("INSERT INTO " + TableName + "\r\n  (" + columnList_ + ")\r\nVALUES(" + values + ")" +
              std::string(1, StatementTerm));
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
