#include "export/core/ExporterDBF.h"

#include "export/core/ExporterShortFieldName.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <filesystem>
#include <unistd.h>

namespace exporter {

namespace fs = std::filesystem;

TExporterDBF::TExporterDBF() {
    Formats.SetNullString("null");
}

std::string TExporterDBF::MemoFileName(const std::string& tableFileName) {
    return fs::path(tableFileName).replace_extension(".dbt").string();
}

std::unique_ptr<TExportWriter> TExporterDBF::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TDBFWriter>(*this, stream);
}

TDBFWriter& TExporterDBF::DBFWriter() const {
    return static_cast<TDBFWriter&>(Writer());
}

TDBFField TExporterDBF::FieldOfColumn(const TExportColumn& column) const {
    TDBFField field;
    if (column.IsBlob) {
        field.Type = 'M';
        field.Length = 10;
        return field;
    }
    switch (column.ColType) {
    case TExportColType::ectInteger:
        field.Type = 'N';
        field.Length = 11;
        break;
    case TExportColType::ectBigint:
        field.Type = 'N';
        field.Length = 20;
        break;
    case TExportColType::ectFloat:
    case TExportColType::ectCurrency: {
        field.Type = 'N';
        field.Length = DefaultFloatSize;
        field.Decimals = DefaultFloatDecimal;
        const int line = ColumnsPrecision.IndexOfName(column.Name);
        if (line >= 0) {
            const std::string value = ColumnsPrecision.ValueFromIndex(line);
            const size_t comma = value.find(',');
            if (comma != std::string::npos) {
                const int size = rtl::StrToIntDef(rtl::Trim(value.substr(0, comma)), 0);
                const int decimals = rtl::StrToIntDef(rtl::Trim(value.substr(comma + 1)), 0);
                if (size > 0 || decimals > 0) {
                    field.Length = size;
                    field.Decimals = decimals;
                }
            }
        }
        break;
    }
    case TExportColType::ectDate:
    case TExportColType::ectTime:
    case TExportColType::ectDateTime:
        field.Type = 'D';
        field.Length = 8;
        break;
    case TExportColType::ectString:
        field.Type = 'C';
        field.Length = column.Length;
        break;
    case TExportColType::ectBoolean:
        field.Type = 'L';
        field.Length = 1;
        break;
    case TExportColType::ectUnknown:
        field.Type = 'C';
        field.Length = 10;
        break;
    }
    return field;
}

void TExporterDBF::BeginExport() {
    TExporterText::BeginExport();
    if (Aborted)
        return;
    TDBFWriter& w = DBFWriter();
    TShortFieldNameGenerator shortNames;
    for (int i = 0; i < Columns.Count(); ++i) {
        const TExportColumn& column = Columns[i];
        std::string name = rtl::Utf8ToWindows1252(column.Name);
        if (name.size() > size_t(TShortFieldNameGenerator::MaxLength))
            name = shortNames.Generate(name);
        const TDBFField field = FieldOfColumn(column);
        w.AddField(name, field.Type, field.Length, field.Decimals);
    }
    int year = 0, month = 0, day = 0;
    rtl::DecodeDate(rtl::Date(), year, month, day);
    w.WriteHeader(year, month, day, memoTempFileName_);
}

void TExporterDBF::BeforeExport() {
    TExporterText::BeforeExport();
    numberFacts_ = rtl::LocaleFacts::Current();
    numberFacts_.DecimalSeparator = '.';
    numberFacts_.ThousandSeparator = '\0';
}

std::string TExporterDBF::FloatFieldText(const std::string& text, const TDBFField& field) const {
    // Raw float texts carry a full stop; the locale's own form is accepted as well.
    double value = 0;
    if (!rtl::TryStrToFloat(text, value, numberFacts_))
        value = rtl::StrToFloat(text);
    std::string out =
        rtl::Format(rtl::Format("%%%d.%df", {field.Length, field.Decimals}), {value}, numberFacts_);
    // A number too wide for its field keeps as many decimals as fit (the writer marks one that does not
    // fit even without decimals).
    for (int decimals = field.Decimals - 1; decimals >= 0 && int(out.size()) > field.Length; --decimals)
        out = rtl::Format(rtl::Format("%%%d.%df", {field.Length, decimals}), {value}, numberFacts_);
    return out;
}

std::string TExporterDBF::MemoBytes(const TExportColumn& column) const {
    TExportDataSet* dataSet = nullptr;
    if (ExportSource == TExportSource::esDataSet)
        dataSet = DataSet;
    else if (ExportSource == TExportSource::esDBGrid && DBGrid)
        dataSet = DBGrid->DataSet();
    if (!dataSet)
        return {};
    const int index = dataSet->FindField(column.Name);
    if (index < 0 || !dataSet->Field(index).IsBlob() || dataSet->FieldIsNull(index))
        return {};
    const std::string bytes = dataSet->FieldText(index);
    // Text memos are stored in the table's code page; other BLOBs byte for byte.
    return dataSet->Field(index).IsMemo() ? rtl::Utf8ToWindows1252(bytes) : bytes;
}

void TExporterDBF::WriteDataRow() {
    TDBFWriter& w = DBFWriter();
    for (int i = 0; i < ExportRow.Count() && i < w.FieldCount(); ++i) {
        const TExportCol& cell = ExportRow[i];
        const TExportColumn& column = Columns[cell.ColumnIndex];
        const TDBFField& field = w.Field(i);
        if (column.IsBlob) {
            const int block = w.MemoOpen() ? w.WriteMemo(MemoBytes(column)) : -1;
            w.WriteFieldValue(i, block >= 0 ? std::to_string(block) : std::string());
            continue;
        }
        std::string text = cell.GetText(false);
        if (rtl::SameText(text, "null"))
            text.clear();
        switch (column.ColType) {
        case TExportColType::ectFloat:
        case TExportColType::ectCurrency:
            // A NULL field is empty whatever NullValue says, so it is never read as a number.
            if (cell.IsNull)
                text.clear();
            text = text.empty() ? NullValue() : FloatFieldText(text, field);
            break;
        case TExportColType::ectDate:
        case TExportColType::ectTime:
        case TExportColType::ectDateTime:
            if (cell.IsNull)
                text.clear();
            break;
        default:
            break;
        }
        w.WriteFieldValue(i, text);
    }
}

void TExporterDBF::EndExport() {
    TDBFWriter& w = DBFWriter();
    w.WriteEndOfFile();
    w.CloseMemo();
    TExporterText::EndExport();
}

void TExporterDBF::Execute() {
    memoTempFileName_ = MemoFileName(FileName) + ".~export" + std::to_string(::getpid());
    try {
        TExporterText::Execute();
    } catch (...) {
        DiscardMemoFile();
        throw;
    }
    DiscardMemoFile();
}

void TExporterDBF::ShowResult() {
    // The table is in place: its memo file follows before the result is shown.
    std::error_code ec;
    if (!memoTempFileName_.empty() && fs::exists(memoTempFileName_, ec)) {
        const std::string memoFile = MemoFileName(FileName);
        fs::rename(memoTempFileName_, memoFile, ec);
        if (ec)
            throw EExportError("Cannot create file \"" + memoFile + "\"");
    }
    TExporterText::ShowResult();
}

void TExporterDBF::DiscardMemoFile() {
    if (!memoTempFileName_.empty()) {
        std::error_code ec;
        fs::remove(memoTempFileName_, ec);
        memoTempFileName_.clear();
    }
}

void TExporterDBF::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporterText::SaveOptionsToIni(ini);
    SaveListToIni(ini, "LENGTH", "line", ColumnsLength);
}

void TExporterDBF::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporterText::LoadOptionsFromIni(ini);
    LoadListFromIni(ini, "LENGTH", ColumnsLength);
}

} // namespace exporter
