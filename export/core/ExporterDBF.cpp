#include "export/core/ExporterDBF.h"

#include "export/core/ExporterShortFieldName.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <typeinfo>

namespace exporter {

namespace fs = std::filesystem;

namespace {

// Whether two names lead to one file: the same path once symbolic links are followed, or two names
// (hard links) of an existing file.
bool LeadToSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    std::error_code ecA, ecB;
    const fs::path pathA = fs::weakly_canonical(fs::absolute(a, ecA), ecA);
    const fs::path pathB = fs::weakly_canonical(fs::absolute(b, ecB), ecB);
    return !ecA && !ecB && pathA == pathB;
}

} // namespace

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
    emptiedValues_ = 0;
    firstEmptied_ = TEmptiedValue();
    TExporterText::BeginExport();
    if (Aborted)
        return;
    numberFacts_ = rtl::LocaleFacts::Current();
    numberFacts_.DecimalSeparator = '.';
    numberFacts_.ThousandSeparator = '\0';
    std::vector<TDBFField> fields;
    for (int i = 0; i < Columns.Count(); ++i)
        fields.push_back(FieldOfColumn(Columns[i]));
    WidenNumericFields(fields);
    TDBFWriter& w = DBFWriter();
    TShortFieldNameGenerator names;
    for (int i = 0; i < Columns.Count(); ++i)
        w.AddField(names.Generate(Columns[i].Name), fields[size_t(i)].Type, fields[size_t(i)].Length,
                   fields[size_t(i)].Decimals);
    int year = 0, month = 0, day = 0;
    rtl::DecodeDate(rtl::Date(), year, month, day);
    // The memo file exists only beside a table file that Execute writes. A table named like its memo
    // file would be overwritten by it: refused before either is put in place.
    std::ostream* memo = nullptr;
    if (w.HasMemoFields() && WritesFiles()) {
        const std::string memoName = MemoFileName(FileName);
        if (LeadToSameFile(FileName, memoName))
            throw EExportError("Cannot create file \"" + memoName + "\". The table \"" + FileName +
                               "\" and its memo file would be the same file");
        memo = AddOutputFile(memoName);
    }
    w.WriteHeader(year, month, day, memo);
}

void TExporterDBF::WidenNumericFields(std::vector<TDBFField>& fields) {
    std::vector<int> numeric;
    for (int i = 0; i < Columns.Count(); ++i)
        if (fields[size_t(i)].Type == 'N')
            numeric.push_back(i);
    if (numeric.empty())
        return;
    // A pass over the rows to be exported, as the width pre-pass makes it: every value is measured in the
    // form its field stores, and the field made wide enough for the widest (up to the format's limit).
    std::string trimmed, value; // kept from value to value so that their memory is reused
    ReadColumnValues(numeric, [&](int i, const std::string& text, bool isNull) {
        TDBFField& field = fields[size_t(i)];
        const bool blanks = !text.empty() && (static_cast<unsigned char>(text.front()) <= ' ' ||
                                              static_cast<unsigned char>(text.back()) <= ' ');
        if (blanks)
            trimmed = rtl::Trim(text);
        const int length = NumericLength(blanks ? trimmed : text, isNull, Columns[i], field, value);
        field.Length = std::max(field.Length, std::min(length, TDBFWriter::MaxFieldLength));
    });
}

namespace {

// NaN and the infinities in the spellings that raw values use.
bool IsNoNumber(const std::string& text) {
    // Each spelling starts with 'n' or 'i' after its sign; a number never does.
    const size_t first = !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (first >= text.size())
        return false;
    const char lead = char(text[first] | 0x20);
    if (lead != 'n' && lead != 'i')
        return false;
    for (const char* word : {"nan", "-nan", "inf", "+inf", "-inf", "infinity", "+infinity", "-infinity"})
        if (rtl::SameText(text, word))
            return true;
    return false;
}

// Digits with an optional sign and decimal point: the form a numeric field stores as it is.
bool IsPlainNumber(const std::string& text) {
    size_t i = text.size() > 1 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    bool digit = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9')
            digit = true;
        else if (text[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

// The value with that many decimals and a full stop, rounded as every exported number is.
std::string FixedText(double value, int decimals, const rtl::LocaleFacts& facts) {
    return rtl::FloatToStrF(value, rtl::TFloatFormat::ffFixed, 18, decimals, facts);
}

// d.dddE+nn with a full stop: "%.<digits>E", or with digits -1 the fewest digits that read back as the
// same value.
std::string ExponentText(double value, int digits) {
    char buffer[64];
    const auto result =
        digits < 0
            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific)
            : std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, digits);
    std::string text(buffer, result.ptr);
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

// Whether a number text reads back as a finite number: rounded to fewer digits, a value near the largest
// double can round past it, and readers take that as infinity.
bool ReadsBackFinite(const std::string& text) {
    double value = 0;
    const char* const first = text.data() + (!text.empty() && text[0] == '+' ? 1 : 0);
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    return result.ec == std::errc() && std::isfinite(value);
}

// The bytes that pad a plain decimal text to the fixed form with the given decimals (its zeros, and a full
// stop when it has none), or -1 when the fixed form does not show the text as it is. Such a text is an
// optional minus, at most 14 digits, not all zero, no leading zero before another digit, and no more
// decimals than the field's and a currency's four (none, or at least one, after the full stop). Scanning,
// rounding and formatting its digits, as a float or a currency, gives the same text the long way.
int PaddedDecimalPadding(const std::string& text, int decimals) {
    if (decimals < 0 || decimals > 18)
        return -1;
    const size_t size = text.size();
    size_t i = size != 0 && text[0] == '-' ? 1 : 0;
    const size_t integerStart = i;
    bool nonZero = false;
    for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i)
        nonZero = nonZero || text[i] != '0';
    const size_t integerDigits = i - integerStart;
    if (integerDigits == 0 || (integerDigits > 1 && text[integerStart] == '0'))
        return -1;
    size_t fractionDigits = 0;
    if (i < size) {
        if (text[i++] != '.')
            return -1;
        const size_t fractionStart = i;
        for (; i < size && text[i] >= '0' && text[i] <= '9'; ++i)
            nonZero = nonZero || text[i] != '0';
        fractionDigits = i - fractionStart;
        if (i != size || fractionDigits == 0)
            return -1;
    }
    if (!nonZero || integerDigits + fractionDigits > 14 || fractionDigits > size_t(std::min(decimals, 4)))
        return -1;
    return int(size_t(decimals) - fractionDigits) + (decimals > 0 && fractionDigits == 0 ? 1 : 0);
}

// PaddedDecimalPadding's text padded, into out.
bool PaddedDecimalText(const std::string& text, int decimals, std::string& out) {
    const int padding = PaddedDecimalPadding(text, decimals);
    if (padding < 0)
        return false;
    // At most 16 bytes of text (14 digits, a sign and a point) and 19 of padding, made in one buffer.
    char buffer[48];
    const size_t size = text.size();
    std::memcpy(buffer, text.data(), size);
    size_t end = size;
    if (text.find('.') == std::string::npos && decimals > 0)
        buffer[end++] = '.';
    std::memset(buffer + end, '0', size + size_t(padding) - end);
    out.assign(buffer, size + size_t(padding));
    return true;
}

// Numbers from 1e18 on have no more digits before the point than a double keeps: they are written with an
// exponent and the fewest digits that give the same value back, instead of hundreds of digits in fixed
// form.
constexpr double kFixedLimit = 1e18;

} // namespace

void TExporterDBF::NumericText(const std::string& raw, bool isNull, const TExportColumn& column,
                               const TDBFField& field, std::string& out) const {
    const bool noValue = isNull || rtl::SameText(raw, "null");
    const bool floating =
        column.ColType == TExportColType::ectFloat || column.ColType == TExportColType::ectCurrency;
    if (!floating) {
        // Integer fields hold their texts as they are; one that is no plain number leaves the field empty
        // (a source typed by sample can hold any text in a column it took for numbers).
        if (noValue || !IsPlainNumber(raw))
            out.clear();
        else
            out.assign(raw, raw[0] == '+' ? 1 : 0);
        return;
    }
    if (!noValue && PaddedDecimalText(raw, field.Decimals, out))
        return;
    out = NumericTextOfFloat(noValue ? std::string() : raw, isNull, column, field);
}

bool TExporterDBF::AppendPlainNumberField(std::string& record, const std::string& text,
                                          const TExportColumn& column, const TDBFField& field) const {
    // A plain integer, or a plain decimal padded with zeros, right-aligned in its field: the bytes that
    // NumericText, FitNumber and the writer give it.
    const bool floating =
        column.ColType == TExportColType::ectFloat || column.ColType == TExportColType::ectCurrency;
    const size_t plus = !floating && !text.empty() && text[0] == '+' ? 1 : 0;
    const int padding = floating ? PaddedDecimalPadding(text, field.Decimals) : IsPlainNumber(text) ? 0 : -1;
    if (padding < 0 || text.size() - plus + size_t(padding) > size_t(field.Length))
        return false;
    record.append(size_t(field.Length) - (text.size() - plus + size_t(padding)), ' ');
    record.append(text, plus);
    if (padding > 0) {
        const bool point = text.find('.') == std::string::npos;
        if (point)
            record += '.';
        record.append(size_t(padding) - (point ? 1 : 0), '0');
    }
    return true;
}

int TExporterDBF::NumericLength(const std::string& raw, bool isNull, const TExportColumn& column,
                                const TDBFField& field, std::string& scratch) const {
    // The usual values, plain integers and decimals, are measured without being made.
    if (!isNull && !rtl::SameText(raw, "null")) {
        if (column.ColType != TExportColType::ectFloat && column.ColType != TExportColType::ectCurrency)
            return IsPlainNumber(raw) ? int(raw.size()) - (raw[0] == '+' ? 1 : 0) : 0;
        const int padding = PaddedDecimalPadding(raw, field.Decimals);
        if (padding >= 0)
            return int(raw.size()) + padding;
    }
    NumericText(raw, isNull, column, field, scratch);
    return int(scratch.size());
}

std::string TExporterDBF::NumericTextOfFloat(std::string text, bool isNull, const TExportColumn& column,
                                             const TDBFField& field) const {
    if (text.empty()) {
        // A NULL number stays empty, the dBase empty value; NullValue fills an empty value only when it is
        // a number itself, as nothing else can stand in a numeric field.
        double value = 0;
        if (isNull || !rtl::TryStrToFloat(NullValue(), value, numberFacts_))
            return {};
        text = NullValue();
    }
    if (IsNoNumber(text))
        return {};
    // A currency value keeps every digit of its ten-thousandths.
    std::string fixed;
    if (column.ColType == TExportColType::ectCurrency &&
        rtl::TryCurrencyTextToStrF(text, rtl::TFloatFormat::ffFixed, field.Decimals, fixed, numberFacts_))
        return fixed;
    // Raw float texts carry a full stop; the locale's own form is accepted as well.
    double value = 0;
    if (!rtl::TryStrToFloat(text, value, numberFacts_) && !rtl::TryStrToFloat(text, value)) {
        if (TypedBySample())
            return {};
        value = rtl::StrToFloat(text); // raises the conversion error
    }
    if (!std::isfinite(value))
        return {};
    if (std::fabs(value) >= kFixedLimit)
        return ExponentText(value, -1);
    // A plain decimal text is rounded from its own digits, as FixedText would from the value's.
    if (rtl::TryFloatTextToStrF(text, rtl::TFloatFormat::ffFixed, 18, field.Decimals, fixed, numberFacts_))
        return fixed;
    return FixedText(value, field.Decimals, numberFacts_);
}

void TExporterDBF::FitNumber(std::string& text, const TDBFField& field) const {
    if (int(text.size()) <= field.Length)
        return;
    // Too wide even for the widest field: as many decimals as fit, else the exponent form, else empty.
    double value = 0;
    if (!rtl::TryStrToFloat(text, value, numberFacts_)) {
        text.clear();
        return;
    }
    for (int decimals = field.Decimals - 1; decimals >= 0 && std::fabs(value) < kFixedLimit; --decimals) {
        std::string out = FixedText(value, decimals, numberFacts_);
        if (int(out.size()) <= field.Length) {
            text = std::move(out);
            return;
        }
    }
    for (int digits = 15; digits >= 1; --digits) {
        std::string out = ExponentText(value, digits);
        if (int(out.size()) <= field.Length && ReadsBackFinite(out)) {
            text = std::move(out);
            return;
        }
    }
    text.clear();
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
    // The record's fields are gathered and written at once, as when each field went out by itself: the
    // record starts with its first field, and a value that raises an error ends it after the fields
    // before it.
    std::string& record = record_;
    record.clear();
    bool started = false;
    try {
        AppendRecordFields(w, record, started);
    } catch (...) {
        if (started)
            w.WriteRecord(record);
        throw;
    }
    if (started)
        w.WriteRecord(record);
}

void TExporterDBF::AppendRecordFields(TDBFWriter& w, std::string& record, bool& started) {
    const bool exactClass = typeid(*this) == typeid(TExporterDBF);
    const auto append = [&](int i, const std::string& text) {
        started = true; // before the bytes, which may raise an error
        w.AppendFieldValue(record, i, text);
    };
    for (int i = 0; i < ExportRow.Count() && i < w.FieldCount(); ++i) {
        const TExportCol& cell = ExportRow.CheckedCol(i);
        const TExportColumn& column = Columns[cell.ColumnIndex];
        const TDBFField& field = w.Field(i);
        if (column.IsBlob) {
            const int block = w.MemoOpen() ? w.WriteMemo(MemoBytes(column)) : -1;
            append(i, block >= 0 ? std::to_string(block) : std::string());
            continue;
        }
        // Without a class of its own to have the last say, a value's text is the value itself.
        const bool valueAsItIs = !cell.IsNull && exactClass;
        if (!valueAsItIs)
            cell.GetText(false, cellText_);
        const std::string& text = valueAsItIs ? cell.Value : cellText_;
        const bool hasValue = !cell.IsNull && !text.empty() && !rtl::SameText(text, "null");
        if (field.Type == 'N') {
            if (valueAsItIs && AppendPlainNumberField(record, text, column, field)) {
                started = true;
                continue;
            }
            const bool noNumber = IsNoNumber(text); // NaN and the infinities have no field value
            NumericText(text, cell.IsNull, column, field, numberText_);
            FitNumber(numberText_, field);
            if (hasValue && numberText_.empty() && !noNumber)
                ValueEmptied(column, cell.GetText(false));
            append(i, numberText_);
            continue;
        }
        if (!hasValue) {
            // NullValue is for numbers alone: a NULL text, date or Boolean field is left empty.
            append(i, std::string());
            continue;
        }
        if (field.Type == 'D' && TypedBySample()) {
            rtl::TDateTime date = 0;
            if (!rtl::TryStrToDateTime(text, date)) {
                ValueEmptied(column, text);
                append(i, std::string());
                continue;
            }
        }
        append(i, text);
    }
}

void TExporterDBF::ValueEmptied(const TExportColumn& column, const std::string& text) {
    if (emptiedValues_++ == 0)
        firstEmptied_ = {SkipRecCount + RecordCounter + 1, column.Name, text};
}

std::string TExporterDBF::EmptiedValuesNotice() const {
    if (emptiedValues_ == 0)
        return {};
    // A long text is shown by its start, cut before a character.
    constexpr size_t kShownBytes = 60;
    std::string shown = firstEmptied_.Text;
    if (shown.size() > kShownBytes) {
        size_t cut = kShownBytes;
        while (cut > 0 && (static_cast<unsigned char>(shown[cut]) & 0xC0) == 0x80)
            --cut;
        shown = shown.substr(0, cut) + "...";
    }
    const std::string first = "row " + std::to_string(firstEmptied_.Row) + ", column \"" +
                              firstEmptied_.Column + "\", \"" + shown + "\"";
    if (emptiedValues_ == 1)
        return "1 value did not fit its column's type and was left empty: " + first;
    return std::to_string(emptiedValues_) +
           " values did not fit their column's type and were left empty; "
           "the first: " +
           first;
}

bool TExporterDBF::TypedBySample() const {
    return ExportSource == TExportSource::esListView || ExportSource == TExportSource::esStringGrid;
}

void TExporterDBF::EndExport() {
    TDBFWriter& w = DBFWriter();
    w.WriteEndOfFile();
    w.CloseMemo();
    TExporterText::EndExport();
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
