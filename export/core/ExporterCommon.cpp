#include "export/core/ExporterCommon.h"

#include "export/core/ExporterCustomSource.h"
#include "export/core/ExporterLocale.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <thread>

#include <sys/mman.h>

namespace exporter {

// ---------------------------------------------------------------------------------------------------
// Small helpers

std::string ExportSourceName(TExportSource source) {
    switch (source) {
    case TExportSource::esDataSet:
        return "DataSet";
    case TExportSource::esListView:
        return "ListView";
    case TExportSource::esDBGrid:
        return "DBGrid";
    case TExportSource::esStringGrid:
        return "StringGrid";
    case TExportSource::esCustom:
        return "CustomSource";
    }
    return {};
}

std::string ExportColTypeName(TExportColType type) {
    switch (type) {
    case TExportColType::ectInteger:
    case TExportColType::ectBigint:
        return "Integer";
    case TExportColType::ectFloat:
        return "Float";
    case TExportColType::ectCurrency:
        return "Currency";
    case TExportColType::ectDate:
        return "Date";
    case TExportColType::ectTime:
        return "Time";
    case TExportColType::ectDateTime:
        return "DateTime";
    case TExportColType::ectString:
        return "String";
    case TExportColType::ectBoolean:
        return "Boolean";
    case TExportColType::ectUnknown:
        break;
    }
    return "Unknown";
}

std::vector<std::string> ExportUniqueNames(const std::vector<std::string>& names, bool ignoreCase) {
    std::set<std::string> used;
    std::vector<std::string> unique;
    unique.reserve(names.size());
    for (const std::string& base : names) {
        std::string name = base;
        for (int n = 2; used.count(ignoreCase ? rtl::UpperCase(name) : name); ++n)
            name = base + "_" + std::to_string(n);
        used.insert(ignoreCase ? rtl::UpperCase(name) : name);
        unique.push_back(name);
    }
    return unique;
}

int ExportTextLength(const std::string& text) {
    const std::string_view view(text);
    if (IsCellAscii(view)) // the usual cell: one character per byte
        return int(view.size());
    size_t pos = rtl::AsciiPrefixLength(view);
    int length = int(pos);
    while (pos < view.size()) {
        // Each well-formed character counts once; each byte of a malformed sequence once, as the
        // U+FFFD that stands for it in the text written.
        const size_t wellFormed = pos + rtl::Utf8WellFormedLength(view.substr(pos));
        for (; pos < wellFormed; ++pos)
            if ((static_cast<unsigned char>(view[pos]) & 0xC0) != 0x80)
                ++length;
        if (pos < view.size()) {
            ++length;
            ++pos;
        }
    }
    return length;
}

namespace {

// A pixel width divided by the width of "X" (8 pixels when the control measures nothing).
int PixelsToChars(int pixels, int widthOfX) {
    return pixels / (widthOfX > 0 ? widthOfX : 8);
}

bool HasValue(const rtl::TStringList* list, const std::string& name, std::string& value) {
    if (!list)
        return false;
    int index = list->IndexOfName(name);
    if (index < 0)
        return false;
    value = list->ValueFromIndex(index);
    return true;
}

bool IsNumberType(TExportColType type) {
    return type == TExportColType::ectInteger || type == TExportColType::ectBigint ||
           type == TExportColType::ectFloat || type == TExportColType::ectCurrency;
}

std::string SourceError(int id, TExportSource kind) {
    return rtl::Format(ExportLoadStr(id), {ExportSourceName(kind)});
}

} // namespace

int ExportTextWidth(const TExportListView* view, const std::string& text) {
    return view && !text.empty() ? view->TextWidth(text) : 0;
}
int ExportTextWidth(const TExportDBGrid* grid, const std::string& text) {
    return grid && !text.empty() ? grid->TextWidth(text) : 0;
}
int ExportTextWidth(const TExportStringGrid* grid, const std::string& text) {
    return grid && !text.empty() ? grid->TextWidth(text) : 0;
}

// ---------------------------------------------------------------------------------------------------
// TExportFormats

std::string TExportFormats::DefaultDateFormat() {
    return rtl::LocaleFacts::Current().ShortDateFormat;
}
std::string TExportFormats::DefaultTimeFormat() {
    return rtl::LocaleFacts::Current().ShortTimeFormat;
}
std::string TExportFormats::DefaultDateTimeFormat() {
    return DefaultDateFormat() + " " + DefaultTimeFormat();
}
std::string TExportFormats::DefaultCurrencyFormat() {
    const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
    const std::string number = "#,###,##0.00";
    const std::string symbol = facts.CurrencyString;
    switch (facts.CurrencyFormat) {
    case 0:
        return symbol + number;
    case 1:
        return number + symbol;
    case 2:
        return symbol + " " + number;
    case 3:
        return number + " " + symbol;
    default:
        return {};
    }
}

TExportFormats::TExportFormats() {
    SetDefault();
}

void TExportFormats::SetDefault() {
    integerFormat_ = DefaultIntegerFormat();
    floatFormat_ = DefaultFloatFormat();
    dateFormat_ = DefaultDateFormat();
    timeFormat_ = DefaultTimeFormat();
    dateTimeFormat_ = DefaultDateTimeFormat();
    currencyFormat_ = DefaultCurrencyFormat();
    booleanTrue_ = DefaultBooleanTrue();
    booleanFalse_ = DefaultBooleanFalse();
}

void TExportFormats::SetIntegerFormat(const std::string& value) {
    integerFormat_ = value.empty() ? DefaultIntegerFormat() : value;
}
void TExportFormats::SetDateFormat(const std::string& value) {
    dateFormat_ = value.empty() ? DefaultDateFormat() : value;
}
void TExportFormats::SetTimeFormat(const std::string& value) {
    timeFormat_ = value.empty() ? DefaultTimeFormat() : value;
}
void TExportFormats::SetDateTimeFormat(const std::string& value) {
    dateTimeFormat_ = value.empty() ? DefaultDateTimeFormat() : value;
}
void TExportFormats::SetCurrencyFormat(const std::string& value) {
    currencyFormat_ = value.empty() ? DefaultCurrencyFormat() : value;
}
void TExportFormats::SetBooleanTrue(const std::string& value) {
    booleanTrue_ = value.empty() ? DefaultBooleanTrue() : value;
}
void TExportFormats::SetBooleanFalse(const std::string& value) {
    booleanFalse_ = value.empty() ? DefaultBooleanFalse() : value;
}
void TExportFormats::SetNullString(const std::string& value) {
    nullString_ = rtl::Trim(value);
}

void TExportFormats::Assign(const TExportFormats& other) {
    SetIntegerFormat(other.integerFormat_);
    SetFloatFormat(other.floatFormat_);
    SetDateFormat(other.dateFormat_);
    SetTimeFormat(other.timeFormat_);
    SetDateTimeFormat(other.dateTimeFormat_);
    SetCurrencyFormat(other.currencyFormat_);
    SetBooleanTrue(other.booleanTrue_);
    SetBooleanFalse(other.booleanFalse_);
    SetNullString(other.nullString_);
}

std::string TExportFormats::FormatOfType(TExportColType type) const {
    switch (type) {
    case TExportColType::ectInteger:
    case TExportColType::ectBigint:
        return integerFormat_;
    case TExportColType::ectFloat:
        return floatFormat_;
    case TExportColType::ectCurrency:
        return currencyFormat_;
    case TExportColType::ectDate:
        return dateFormat_;
    case TExportColType::ectTime:
        return timeFormat_;
    case TExportColType::ectDateTime:
        return dateTimeFormat_;
    default:
        return {};
    }
}

// ---------------------------------------------------------------------------------------------------
// Value formatting and type guessing

inline rtl::ShortTextKey TExportDateTexts::keyOf(std::string_view text) {
    if (text.size() <= rtl::ShortTextKey::kMaxLength)
        return rtl::ShortTextKey::Of(text);
    return {rtl::HashBytes(text), 0};
}

inline const TExportDateTexts::Entry* TExportDateTexts::find(std::string_view text,
                                                             const rtl::ShortTextKey& key) const {
    if (slots_.empty())
        return nullptr;
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = key.Hash() & mask;; i = (i + 1) & mask) {
        const Entry& entry = slots_[i];
        if (entry.textLength == 0)
            return nullptr;
        if (entry.key == key && entry.textLength == text.size() &&
            (text.size() <= rtl::ShortTextKey::kMaxLength ||
             rtl::SameShortBytes(bytes_.data() + entry.text, text.data(), text.size())))
            return &entry;
    }
}

TExportDateTexts::Entry& TExportDateTexts::freeSlot(const rtl::ShortTextKey& key) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = key.Hash() & mask;
    while (slots_[i].textLength != 0)
        i = (i + 1) & mask;
    return slots_[i];
}

void TExportDateTexts::add(std::string_view text, const rtl::ShortTextKey& key, std::string_view formatted) {
    if (text.empty())
        return; // no date: never met as one, and an empty length marks a free slot
    if ((count_ + 1) * 2 > slots_.size()) {
        std::vector<Entry> old(std::max<std::size_t>(64, slots_.size() * 2));
        old.swap(slots_);
        for (const Entry& entry : old)
            if (entry.textLength != 0)
                freeSlot(entry.key) = entry;
    }
    bytes_.resize(bytes_.size() - std::min(bytes_.size(), rtl::kPaddedBytes)); // without the padding
    Entry& entry = freeSlot(key);
    entry.key = key;
    entry.textLength = std::uint32_t(text.size());
    if (text.size() > rtl::ShortTextKey::kMaxLength) {
        entry.text = std::uint32_t(bytes_.size());
        bytes_.append(text);
    }
    entry.formatted = std::uint32_t(bytes_.size());
    entry.formattedLength = std::uint32_t(formatted.size());
    bytes_.append(formatted).append(rtl::kPaddedBytes, '\0');
    ++count_;
}

bool TExportDateTexts::Format(const std::string& text, const std::string& format,
                              const rtl::LocaleFacts& facts, std::string& out) {
    if (&facts != facts_ || format.size() != format_.size() ||
        !rtl::SameShortBytes(format.data(), format_.data(), format.size()) || !formatter_) {
        format_ = format;
        facts_ = &facts;
        formatter_.emplace(format, facts);
        day_.Clear();
        slots_.clear();
        bytes_.clear();
        count_ = lookups_ = misses_ = 0;
    }
    // Past 1,024 lookups of which most missed, the memo costs more than it saves.
    const bool looking = lookups_ < 1024 || misses_ * 4 <= lookups_ * 3;
    rtl::ShortTextKey key;
    if (looking) {
        ++lookups_;
        key = keyOf(text);
        if (const Entry* found = find(text, key)) {
            rtl::AssignPaddedBytes(out, bytes_.data() + found->formatted, found->formattedLength);
            return true;
        }
        ++misses_;
    }
    bool readsClock = false;
    out.clear();
    if (!formatter_->AppendText(out, text, &readsClock, &day_))
        return false;
    if (looking && !readsClock && count_ < kMaxTexts)
        add(text, key, out);
    return true;
}

// The display text of a raw text into out (see ExportFormatValue); dates and times are taken from dateTexts
// and numbers formatted with numberMask when given.
[[gnu::always_inline]] inline bool ExportFormatValueInto(std::string& out, const std::string& text,
                                                         TExportColType type, const std::string& format,
                                                         const rtl::LocaleFacts& facts,
                                                         TExportDateTexts* dateTexts,
                                                         rtl::NumberMask* numberMask = nullptr) {
    switch (type) {
    case TExportColType::ectInteger:
    case TExportColType::ectBigint:
        // Integers keep every digit: they never pass through a double.
        if (numberMask)
            numberMask->FormatIntegerTextInto(out, format, text, facts);
        else
            rtl::FormatIntegerTextInto(out, format, text, facts);
        return true;
    case TExportColType::ectFloat:
    case TExportColType::ectCurrency: {
        // A currency value is a 64-bit count of ten-thousandths: formatted from its digits it keeps all
        // of them, where a double keeps 15 or 16.
        if (type == TExportColType::ectCurrency &&
            (numberMask ? numberMask->TryFormatCurrencyText(format, text, out, facts)
                        : rtl::TryFormatCurrencyText(format, text, out, facts)))
            return true;
        if (numberMask ? numberMask->TryFormatFloatText(format, text, out, facts)
                       : rtl::TryFormatFloatText(format, text, out, facts))
            return true;
        double value = 0;
        if (!rtl::TryStrToFloat(text, value, facts)) {
            out.clear();
            return false;
        }
        out = rtl::FormatFloat(format, value, facts);
        return true;
    }
    case TExportColType::ectDate:
    case TExportColType::ectTime:
    case TExportColType::ectDateTime: {
        if (dateTexts)
            return dateTexts->Format(text, format, facts, out);
        rtl::TDateTime value = 0;
        if (!rtl::TryStrToDateTime(text, value, facts)) {
            out.clear();
            return false;
        }
        out = rtl::FormatDateTime(format, value, facts);
        return true;
    }
    case TExportColType::ectString:
        out.assign(text);
        return true;
    case TExportColType::ectBoolean:
    case TExportColType::ectUnknown:
        break;
    }
    out.assign(text);
    return false;
}

std::string ExportFormatValue(const std::string& text, TExportColType type, const std::string& format,
                              const TExportEscape& escape, const rtl::LocaleFacts& facts,
                              TExportDateTexts* dateTexts) {
    std::string out;
    if (ExportFormatValueInto(out, text, type, format, facts, dateTexts) && escape)
        return escape(out);
    return out;
}

TExportColType GuessColType(const std::string& text, const std::string& booleanTrue,
                            const std::string& booleanFalse, const rtl::LocaleFacts& facts) {
    if (text.empty())
        return TExportColType::ectString;
    if (rtl::AnsiCompareText(text, booleanTrue) == 0 || rtl::AnsiCompareText(text, booleanFalse) == 0)
        return TExportColType::ectBoolean;
    std::int32_t i = 0;
    if (rtl::TryStrToInt(text, i))
        return TExportColType::ectInteger;
    double f = 0;
    if (rtl::TryStrToFloat(text, f, facts))
        return TExportColType::ectFloat;
    rtl::TDateTime dt = 0;
    if (rtl::TryStrToDateTime(text, dt, facts)) {
        double days = std::floor(dt);
        if (dt == days)
            return TExportColType::ectDate;
        if (std::trunc(dt) == 0)
            return TExportColType::ectTime;
        return TExportColType::ectDateTime;
    }
    return TExportColType::ectString;
}

TExportColType FieldTypeToColType(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
    case TFieldType::ftWideString:
        return TExportColType::ectString;
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftAutoInc:
        return TExportColType::ectInteger;
    case TFieldType::ftLargeint:
        return TExportColType::ectBigint;
    case TFieldType::ftBoolean:
        return TExportColType::ectBoolean;
    case TFieldType::ftFloat:
    case TFieldType::ftBCD:
        return TExportColType::ectFloat;
    case TFieldType::ftCurrency:
        return TExportColType::ectCurrency;
    case TFieldType::ftDate:
        return TExportColType::ectDate;
    case TFieldType::ftTime:
        return TExportColType::ectTime;
    case TFieldType::ftDateTime:
    case TFieldType::ftTimeStamp:
        return TExportColType::ectDateTime;
    default:
        return TExportColType::ectUnknown;
    }
}

std::string FieldTypeToSQLType(TFieldType type, int size) {
    switch (type) {
    case TFieldType::ftString:
    case TFieldType::ftWideString:
        return "CHAR(" + std::to_string(size) + ")";
    case TFieldType::ftSmallint:
    case TFieldType::ftInteger:
    case TFieldType::ftWord:
    case TFieldType::ftBoolean:
    case TFieldType::ftLargeint:
        return "INTEGER";
    case TFieldType::ftFloat:
    case TFieldType::ftCurrency:
    case TFieldType::ftBCD:
        return "DOUBLE PRECISION";
    case TFieldType::ftDate:
    case TFieldType::ftTime:
    case TFieldType::ftDateTime:
        return "DATE";
    case TFieldType::ftBlob:
    case TFieldType::ftMemo:
    case TFieldType::ftGraphic:
    case TFieldType::ftFmtMemo:
        return "BLOB";
    default:
        return "UNKNOWN";
    }
}

// ---------------------------------------------------------------------------------------------------
// Record access

namespace {

// The field of a DB grid column, -1 when the column shows none or the data set lacks it.
int GridField(const TExportDBGrid& grid, int column) {
    TExportDataSet* ds = grid.DataSet();
    if (!ds || column < 0 || column >= grid.ColumnCount())
        return -1;
    return ds->FindField(grid.ColumnFieldName(column));
}

TExportDataSet* GridDataSet(const TExportSources& s) {
    return s.DBGrid ? s.DBGrid->DataSet() : nullptr;
}

} // namespace

namespace {

[[noreturn, gnu::noinline]] void ThrowSourceNotAssigned(TExportSource kind) {
    throw EExportError(SourceError(SSourceNotAssigned, kind));
}

} // namespace

void ExportCheckSource(const TExportSources& s) {
    bool assigned = false;
    switch (s.Kind) {
    case TExportSource::esDataSet:
        assigned = s.DataSet != nullptr;
        break;
    case TExportSource::esListView:
        assigned = s.ListView != nullptr;
        break;
    case TExportSource::esDBGrid:
        assigned = GridDataSet(s) != nullptr;
        break;
    case TExportSource::esStringGrid:
        assigned = s.StringGrid != nullptr;
        break;
    case TExportSource::esCustom:
        assigned = s.CustomSource != nullptr;
        break;
    }
    if (!assigned) // thrown apart, so that the test made per row stays small
        ThrowSourceNotAssigned(s.Kind);
}

bool ExportIsActive(const TExportSources& s) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return s.DataSet->Active();
    case TExportSource::esDBGrid:
        return GridDataSet(s)->Active();
    default:
        return true;
    }
}

bool ExportIsEmpty(const TExportSources& s) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return s.DataSet->IsEmpty();
    case TExportSource::esListView:
        return s.ListView->ItemCount() == 0;
    case TExportSource::esDBGrid:
        return GridDataSet(s)->IsEmpty();
    case TExportSource::esStringGrid:
        return s.StringGrid->RowCount() <= s.StringGrid->FixedRows();
    case TExportSource::esCustom:
        // A callback source cannot tell before it is read; without a row callback it has no rows.
        return !s.CustomSource->OnGetNextRecord;
    }
    return true;
}

void ExportDisableControls(const TExportSources& s) {
    ExportCheckSource(s);
    if (s.Kind == TExportSource::esDataSet)
        s.DataSet->DisableControls();
    else if (s.Kind == TExportSource::esListView)
        s.ListView->BeginUpdate();
    else if (s.Kind == TExportSource::esDBGrid)
        GridDataSet(s)->DisableControls();
}

void ExportEnableControls(const TExportSources& s) {
    ExportCheckSource(s);
    if (s.Kind == TExportSource::esDataSet)
        s.DataSet->EnableControls();
    else if (s.Kind == TExportSource::esListView)
        s.ListView->EndUpdate();
    else if (s.Kind == TExportSource::esDBGrid)
        GridDataSet(s)->EnableControls();
}

void ExportFirst(const TExportSources& s) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        s.DataSet->First();
        break;
    case TExportSource::esListView:
        if (s.ListView->ItemCount() > 0)
            s.ListView->FocusItem(0);
        break;
    case TExportSource::esDBGrid:
        if (GridDataSet(s)->Active())
            GridDataSet(s)->First();
        break;
    case TExportSource::esStringGrid:
        s.StringGrid->SetRow(s.StringGrid->FixedRows());
        break;
    case TExportSource::esCustom:
        s.CustomSource->First();
        break;
    }
}

void ExportNext(const TExportSources& s, int& counter) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        s.DataSet->Next();
        break;
    case TExportSource::esListView:
        break;
    case TExportSource::esDBGrid:
        GridDataSet(s)->Next();
        break;
    case TExportSource::esStringGrid:
        if (s.StringGrid->Row() < s.StringGrid->RowCount() - 1)
            s.StringGrid->SetRow(s.StringGrid->Row() + 1);
        break;
    case TExportSource::esCustom:
        s.CustomSource->Next();
        break;
    }
    ++counter;
}

void ExportSkip(const TExportSources& s, int count, int& counter, const std::function<void(int)>& onSkipped) {
    for (int i = 0; i < count; ++i) {
        ExportNext(s, counter);
        if (onSkipped)
            onSkipped(counter);
    }
}

bool ExportEof(const TExportSources& s, int counter, int skipRecCount, int exportRecCount) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return s.DataSet->Eof();
    case TExportSource::esListView:
        return ExportCountedEof(s.ListView->ItemCount(), counter, skipRecCount, exportRecCount);
    case TExportSource::esDBGrid:
        return GridDataSet(s)->Eof();
    case TExportSource::esStringGrid:
        return ExportCountedEof(s.StringGrid->RowCount() - s.StringGrid->FixedRows(), counter, skipRecCount,
                                exportRecCount);
    case TExportSource::esCustom:
        return s.CustomSource->Eof() || !s.CustomSource->OnGetNextRecord;
    }
    return true;
}

std::int64_t ExportGetBookmark(const TExportSources& s) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return s.DataSet->GetBookmark();
    case TExportSource::esListView:
        return IntMax(0, s.ListView->SelectedIndex());
    case TExportSource::esDBGrid:
        return GridDataSet(s)->GetBookmark();
    case TExportSource::esStringGrid:
        return s.StringGrid->Row();
    case TExportSource::esCustom:
        return s.CustomSource->RecNo();
    }
    return 0;
}

void ExportGotoBookmark(const TExportSources& s, std::int64_t bookmark) {
    ExportCheckSource(s);
    switch (s.Kind) {
    case TExportSource::esDataSet:
        s.DataSet->GotoBookmark(bookmark);
        break;
    case TExportSource::esListView:
        if (bookmark < s.ListView->ItemCount())
            s.ListView->FocusItem(int(bookmark));
        break;
    case TExportSource::esDBGrid:
        GridDataSet(s)->GotoBookmark(bookmark);
        break;
    case TExportSource::esStringGrid:
        s.StringGrid->SetRow(int(bookmark));
        break;
    case TExportSource::esCustom:
        s.CustomSource->GotoRecNo(int(bookmark));
        break;
    }
}

void ExportFreeBookmark(const TExportSources& s, std::int64_t bookmark) {
    ExportCheckSource(s);
    if (s.Kind == TExportSource::esDataSet)
        s.DataSet->FreeBookmark(bookmark);
    else if (s.Kind == TExportSource::esDBGrid)
        GridDataSet(s)->FreeBookmark(bookmark);
}

std::string ExportGetColData(const TExportSources& s, const TExportColumns& columns, int col, int counter,
                             int skipRecCount, bool formatIt) {
    std::string text;
    ExportReadColData(s, columns, col, counter, skipRecCount, text);
    if (formatIt) {
        const TExportColumn& column = columns.GetColumn(col);
        text = ExportFormatValue(text, column.ColType, column.Format, columns.Escape());
    }
    return text;
}

bool ExportReadColData(const TExportSources& s, const TExportColumns& columns, int col, int counter,
                       int skipRecCount, std::string& text) {
    const TExportColumn& column = columns.GetColumn(col);
    // Every branch that reads a text assigns it whole; text is emptied only where nothing is read.
    switch (s.Kind) {
    case TExportSource::esDataSet:
        if (s.DataSet)
            return s.DataSet->ReadFieldText(column.ColumnIndex, text);
        break;
    case TExportSource::esListView:
        if (s.ListView) {
            s.ListView->ReadItemText(counter + IntMax(skipRecCount, 0), column.ColumnIndex, text);
            return false;
        }
        break;
    case TExportSource::esDBGrid:
        if (s.DBGrid) {
            int field = GridField(*s.DBGrid, column.ColumnIndex);
            if (field >= 0)
                return s.DBGrid->DataSet()->ReadFieldText(field, text);
        }
        break;
    case TExportSource::esStringGrid:
        if (s.StringGrid) {
            text = s.StringGrid->Cell(column.ColumnIndex, s.StringGrid->Row());
            return false;
        }
        break;
    case TExportSource::esCustom:
        if (s.CustomSource) {
            text = s.CustomSource->ColumnText(column.ColumnIndex);
            return false;
        }
        break;
    }
    text.clear();
    return false;
}

bool ExportGetColIsNull(const TExportSources& s, const TExportColumns& columns, int col) {
    const TExportColumn& column = columns.GetColumn(col);
    if (s.Kind == TExportSource::esDataSet && s.DataSet)
        return s.DataSet->FieldIsNull(column.ColumnIndex);
    if (s.Kind == TExportSource::esDBGrid && s.DBGrid) {
        int field = GridField(*s.DBGrid, column.ColumnIndex);
        return field >= 0 && s.DBGrid->DataSet()->FieldIsNull(field);
    }
    return false;
}

// ---------------------------------------------------------------------------------------------------
// Columns

bool TExportColumn::IsDefaultFormat() const {
    const TExportFormats* formats = owner_.OwnerProperties().Formats;
    return AllowFormat && formats && Format == formats->FormatOfType(ColType);
}

TExportColumns::TExportColumns(const TExportColumnsOwner* owner, TExportEscape escape)
    : owner_(owner), escape_(std::move(escape)) {}

void TExportColumns::ReplaceByEscaped(std::string& text) const {
    text = escape_(text);
}

void TExportColumns::SetEscape(const TExportCellHandler& handler) {
    escape_ = [&handler](const std::string& s) { return handler.NormalString(s); };
    keeps_ = nullptr;
    handler_ = &handler;
}

TExportColumn& TExportColumns::Add() {
    items_.push_back(std::make_unique<TExportColumn>(*this));
    ++changes_;
    return *items_.back();
}

int TExportColumns::IndexOfName(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (rtl::SameText(items_[i]->Name, name))
            return i;
    return -1;
}

void TExportColumns::ResetTags() {
    for (auto& column : items_)
        column->Tag = 0;
}

bool TExportColumns::ContainsBLOB() const {
    return std::any_of(items_.begin(), items_.end(), [](const auto& c) { return c->IsBlob; });
}

void TExportColumns::LoadOwnerProperties() {
    props_ = TExportOwnerProperties();
    if (owner_)
        owner_->LoadColumnsOwnerProperties(props_);
}

void TExportColumns::Fill(bool includeBlobs) {
    LoadOwnerProperties();
    const TExportSources& s = props_.Sources;
    const rtl::TStringList* fields = props_.ExportedFields;
    const bool byName = fields && fields->Count() > 0;

    int count = 0;
    if (byName) {
        count = fields->Count();
    } else {
        switch (s.Kind) {
        case TExportSource::esDataSet:
            count = s.DataSet ? s.DataSet->FieldCount() : 0;
            break;
        case TExportSource::esListView:
            count = s.ListView ? s.ListView->ColumnCount() : 0;
            break;
        case TExportSource::esDBGrid:
            count = s.DBGrid ? s.DBGrid->ColumnCount() : 0;
            break;
        case TExportSource::esStringGrid:
            count = s.StringGrid ? s.StringGrid->ColCount() : 0;
            break;
        case TExportSource::esCustom:
            count = s.CustomSource ? s.CustomSource->Columns.Count() : 0;
            break;
        }
    }

    for (int i = 0; i < count; ++i) {
        int position = -1;
        if (byName) {
            const std::string name = (*fields)[i];
            switch (s.Kind) {
            case TExportSource::esDataSet:
                if (s.DataSet) {
                    int field = s.DataSet->FieldByName(name);
                    if (!props_.OnlyVisibleFields || s.DataSet->Field(field).Visible)
                        position = field;
                }
                break;
            case TExportSource::esListView:
                if (s.ListView)
                    for (int c = 0; c < s.ListView->ColumnCount(); ++c)
                        if (rtl::SameText(s.ListView->ColumnCaption(c), name))
                            position = c;
                break;
            case TExportSource::esDBGrid:
                if (s.DBGrid)
                    for (int c = 0; c < s.DBGrid->ColumnCount(); ++c) {
                        if (!rtl::SameText(s.DBGrid->ColumnFieldName(c), name))
                            continue;
                        int field = GridField(*s.DBGrid, c);
                        if (!props_.OnlyVisibleFields ||
                            (field >= 0 && s.DBGrid->DataSet()->Field(field).Visible))
                            position = c;
                    }
                break;
            case TExportSource::esStringGrid: {
                std::int32_t n = 0;
                if (s.StringGrid && rtl::TryStrToInt(name, n) && n >= 0 && n < s.StringGrid->ColCount())
                    position = n;
                break;
            }
            case TExportSource::esCustom:
                if (s.CustomSource)
                    position = s.CustomSource->Columns.IndexOfName(name);
                break;
            }
        } else if (s.Kind == TExportSource::esDataSet || s.Kind == TExportSource::esDBGrid) {
            const TExportField* field = nullptr;
            if (s.Kind == TExportSource::esDataSet) {
                field = &s.DataSet->Field(i);
            } else {
                int f = GridField(*s.DBGrid, i);
                field = f >= 0 ? &s.DBGrid->DataSet()->Field(f) : nullptr;
            }
            if (field && (includeBlobs || !field->IsBlob()) && (!props_.OnlyVisibleFields || field->Visible))
                position = i;
        } else {
            position = i;
        }
        if (position >= 0) {
            TExportColumn& column = Add();
            column.ColumnIndex = position;
            SetColumnProperties(column);
        }
    }
}

TExportColType TExportColumns::SourceColType(const TExportColumn& column) const {
    const TExportSources& s = props_.Sources;
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return FieldTypeToColType(s.DataSet->Field(column.ColumnIndex).DataType);
    case TExportSource::esDBGrid: {
        int field = GridField(*s.DBGrid, column.ColumnIndex);
        return field < 0 ? TExportColType::ectUnknown
                         : FieldTypeToColType(s.DBGrid->DataSet()->Field(field).DataType);
    }
    case TExportSource::esCustom:
        return s.CustomSource->Columns.Items(column.ColumnIndex).ColumnType;
    case TExportSource::esListView:
    case TExportSource::esStringGrid:
        break;
    }
    if (!props_.AutoCalcStrType)
        return TExportColType::ectString;
    std::string sample;
    if (s.Kind == TExportSource::esListView) {
        if (s.ListView->ItemCount() == 0)
            return TExportColType::ectUnknown; // nothing to guess from: the type stays unset
        sample = s.ListView->ItemText(0, column.ColumnIndex);
    } else {
        sample = s.StringGrid->Cell(column.ColumnIndex, s.StringGrid->Row());
    }
    const std::string t =
        props_.Formats ? props_.Formats->BooleanTrue() : TExportFormats::DefaultBooleanTrue();
    const std::string f =
        props_.Formats ? props_.Formats->BooleanFalse() : TExportFormats::DefaultBooleanFalse();
    return GuessColType(sample, t, f);
}

int TExportColumns::SourceWidth(const TExportColumn& column) const {
    const TExportSources& s = props_.Sources;
    switch (s.Kind) {
    case TExportSource::esDataSet:
        return s.DataSet->Field(column.ColumnIndex).Width();
    case TExportSource::esListView:
        return PixelsToChars(s.ListView->ColumnWidth(column.ColumnIndex), ExportTextWidth(s.ListView, "X"));
    case TExportSource::esDBGrid:
        return PixelsToChars(s.DBGrid->ColumnWidth(column.ColumnIndex), ExportTextWidth(s.DBGrid, "X"));
    case TExportSource::esStringGrid:
        return PixelsToChars(s.StringGrid->ColWidth(column.ColumnIndex), ExportTextWidth(s.StringGrid, "X"));
    case TExportSource::esCustom:
        return s.CustomSource->Columns.Items(column.ColumnIndex).Width;
    }
    return 0;
}

void TExportColumns::SetColumnProperties(TExportColumn& column) {
    const TExportSources& s = props_.Sources;
    const TExportField* field = nullptr;
    if (s.Kind == TExportSource::esDataSet) {
        field = &s.DataSet->Field(column.ColumnIndex);
    } else if (s.Kind == TExportSource::esDBGrid) {
        int f = GridField(*s.DBGrid, column.ColumnIndex);
        field = f >= 0 ? &s.DBGrid->DataSet()->Field(f) : nullptr;
    }

    // Name
    switch (s.Kind) {
    case TExportSource::esDataSet:
        column.Name = field->FieldName;
        break;
    case TExportSource::esDBGrid:
        column.Name = s.DBGrid->ColumnFieldName(column.ColumnIndex);
        break;
    case TExportSource::esListView:
        column.Name = s.ListView->ColumnCaption(column.ColumnIndex);
        break;
    case TExportSource::esStringGrid:
        column.Name = std::to_string(column.ColumnIndex);
        break;
    case TExportSource::esCustom:
        column.Name = s.CustomSource->Columns.Items(column.ColumnIndex).ColumnName();
        break;
    }

    column.ColType = SourceColType(column);

    // Caption
    std::string value;
    if (HasValue(props_.Captions, column.Name, value)) {
        column.Caption = value;
    } else {
        switch (s.Kind) {
        case TExportSource::esDataSet:
            column.Caption = field->Caption();
            break;
        case TExportSource::esDBGrid:
            column.Caption = s.DBGrid->ColumnTitle(column.ColumnIndex);
            break;
        case TExportSource::esListView:
            column.Caption = s.ListView->ColumnCaption(column.ColumnIndex);
            break;
        case TExportSource::esStringGrid:
            column.Caption = props_.CaptionRow >= 0
                                 ? s.StringGrid->Cell(column.ColumnIndex, props_.CaptionRow)
                                 : "ColNo_" + std::to_string(column.ColumnIndex);
            break;
        case TExportSource::esCustom:
            column.Caption = s.CustomSource->Columns.Items(column.ColumnIndex).Caption;
            break;
        }
    }

    // Width
    if (HasValue(props_.ColumnsWidth, column.Name, value))
        column.Width = rtl::StrToIntDef(value, 0);
    else
        column.Width = SourceWidth(column);

    // Format
    column.Format = props_.Formats ? props_.Formats->FormatOfType(column.ColType) : std::string();
    if (HasValue(props_.UserFormats, column.Name, value))
        column.Format = value;

    // Alignment
    column.ColAlign = TExportColAlign::ecaLeft;
    if (props_.ColumnsAlign) {
        if (HasValue(props_.ColumnsAlign, column.Name, value)) {
            char first = value.empty() ? '\0' : char(std::toupper(static_cast<unsigned char>(value[0])));
            column.ColAlign = first == 'C'   ? TExportColAlign::ecaCenter
                              : first == 'R' ? TExportColAlign::ecaRight
                                             : TExportColAlign::ecaLeft;
        } else if (IsNumberType(column.ColType)) {
            column.ColAlign = TExportColAlign::ecaRight;
        } else if (column.ColType == TExportColType::ectBoolean) {
            column.ColAlign = TExportColAlign::ecaCenter;
        }
    }

    // SQL type
    if (field) {
        column.SQLType = FieldTypeToSQLType(field->DataType, field->Size);
    } else if (s.Kind == TExportSource::esDBGrid) {
        column.SQLType = "UNKNOWN";
    } else {
        switch (column.ColType) {
        case TExportColType::ectInteger:
        case TExportColType::ectBigint:
        case TExportColType::ectBoolean:
            column.SQLType = "INTEGER";
            break;
        case TExportColType::ectFloat:
        case TExportColType::ectCurrency:
            column.SQLType = "DOUBLE PRECISION";
            break;
        case TExportColType::ectDate:
        case TExportColType::ectTime:
        case TExportColType::ectDateTime:
            column.SQLType = "DATE";
            break;
        case TExportColType::ectString:
            column.SQLType = "CHAR(" + std::to_string(column.Width) + ")";
            break;
        case TExportColType::ectUnknown:
            column.SQLType.clear();
            break;
        }
    }

    column.IsString = column.ColType == TExportColType::ectString;

    // Length
    if (column.IsString) {
        const bool gridLike = s.Kind == TExportSource::esListView || s.Kind == TExportSource::esStringGrid;
        if (gridLike && HasValue(props_.ColumnsLength, column.Name, value))
            column.Length = rtl::StrToIntDef(value, 255);
        else if (field)
            column.Length = IntMin(field->Size, 255);
        else if (gridLike)
            column.Length = 255;
        else if (s.Kind == TExportSource::esCustom)
            column.Length = IntMin(s.CustomSource->Columns.Items(column.ColumnIndex).Size, 255);
    }

    column.AllowFormat =
        column.ColType >= TExportColType::ectInteger && column.ColType <= TExportColType::ectDateTime;
    column.IsNumeric = IsNumberType(column.ColType);
    column.IsBlob = field && field->IsBlob();
    column.IsMemo = field && field->IsMemo();
    column.IsVisible = field ? field->Visible : true;
}

void TExportKeptTexts::Clear() {
    decltype(blocks_)().swap(blocks_);
    std::vector<char*>().swap(rows_);
    blockSize_ = blockUsed_ = allocated_ = 0;
    cellsPerRow_ = 0;
    full_ = false;
}

void TExportKeptTexts::Start(int cellsPerRow) {
    Clear();
    cellsPerRow_ = IntMax(cellsPerRow, 0);
}

bool TExportKeptTexts::NewBlock(std::size_t rowBytes, std::size_t extra) {
    // Whole huge pages, aligned to them: the kernel may back a block with them, one page fault for 2 MB
    // instead of one for every 4 KB (the faults of fresh memory cost as much as the formatting saved).
    // Uninitialised: only the bytes written are ever touched.
    const std::size_t size =
        (std::max(kBlockSize, rowBytes + extra) + kBlockSize - 1) / kBlockSize * kBlockSize;
    if (allocated_ + size + rows_.capacity() * sizeof(char*) > kBudget) {
        full_ = true;
        return false;
    }
    std::unique_ptr<char[], TFreeBlock> block(static_cast<char*>(std::aligned_alloc(kBlockSize, size)));
    if (!block)
        throw std::bad_alloc();
    ::madvise(block.get(), size, MADV_HUGEPAGE); // a hint: without huge pages the block works the same
    if (rowBytes != 0) {
        std::memcpy(block.get(), rows_.back(), rowBytes);
        rows_.back() = block.get();
    }
    blocks_.push_back(std::move(block));
    blockSize_ = size;
    blockUsed_ = rowBytes;
    allocated_ += size;
    return true;
}

bool TExportKeptTexts::BeginRow() {
    if (full_)
        return false;
    const std::size_t header = sizeof(std::uint32_t) + std::size_t(cellsPerRow_) * sizeof(Entry);
    std::size_t start = (blockUsed_ + 3) & ~std::size_t(3); // rows start at a multiple of 4 bytes
    if (blocks_.empty() || start + header > blockSize_) {
        if (!NewBlock(0, header))
            return false;
        start = 0;
    }
    char* const row = blocks_.back().get() + start;
    rows_.push_back(row);
    const std::uint32_t kept = 0;
    std::memcpy(row, &kept, sizeof kept);
    const Entry notKept;
    for (int i = 0; i < cellsPerRow_; ++i)
        std::memcpy(row + sizeof kept + std::size_t(i) * sizeof(Entry), &notKept, sizeof notKept);
    blockUsed_ = start + header;
    return true;
}

void TExportKeptTexts::Keep(int cell, std::string_view text, int length) {
    const std::size_t size = text.size();
    if (full_ || size >= kNotKept || length < 0 || cell < 0 || cell >= cellsPerRow_)
        return;
    if (blockUsed_ + size > blockSize_ &&
        !NewBlock(blockUsed_ - std::size_t(rows_.back() - blocks_.back().get()), size))
        return; // the row ends without this cell, and no other row is kept
    rtl::CopyShortBytes(blocks_.back().get() + blockUsed_, text.data(), size);
    blockUsed_ += size;
    char* const row = rows_.back();
    const Entry entry{std::uint16_t(size), std::uint16_t(length)};
    std::memcpy(row + sizeof(std::uint32_t) + std::size_t(cell) * sizeof(Entry), &entry, sizeof entry);
    std::uint32_t kept = 0;
    std::memcpy(&kept, row, sizeof kept);
    ++kept;
    std::memcpy(row, &kept, sizeof kept);
}

void TExportColumns::AutoCalcColWidth(TExportKeptTexts* kept) {
    for (auto& column : items_)
        column->Width = IntMax(column->Width, ExportTextLength(column->Caption));
    const TExportSources& s = props_.Sources;
    const int skip = props_.SkipRecCount;
    const int limit = props_.ExportRecCount;
    std::int64_t bookmark = ExportGetBookmark(s);
    ExportFirst(s);
    counter_ = 0;
    ExportSkip(s, skip, counter_, nullptr);
    counter_ = 0;
    // A data set's row is read in one call, each value into storage of its column's, which has the room
    // from the row before.
    const std::size_t count = items_.size();
    std::vector<std::string> raws(count);
    std::vector<std::string*> rawPointers(count);
    std::vector<int> fields(count);
    const std::unique_ptr<bool[]> nulls = std::make_unique<bool[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
        rawPointers[i] = &raws[i];
        fields[i] = items_[i]->ColumnIndex;
    }
    const TExportDataSet* const dataSet = s.Kind == TExportSource::esDataSet ? s.DataSet : nullptr;
    std::string formatted; // formatted texts, in one string whose storage serves every cell
    const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current();
    // Without escaping, the text measured is the one the row shows unless the value is NULL or is cleaned
    // on its way into the row.
    if (kept)
        kept->Start(Escape() ? 0 : Count());
    while (!ExportEof(s, counter_, skip, limit) && !(limit > 0 && counter_ >= limit)) {
        const bool keepRow = kept && !Escape() && kept->BeginRow();
        if (dataSet)
            dataSet->ReadFieldTexts(fields.data(), rawPointers.data(), nulls.get(), int(count));
        for (int i = 0; i < Count(); ++i) {
            std::string& raw = raws[std::size_t(i)];
            const bool isNull =
                dataSet ? nulls[std::size_t(i)] : ExportReadColData(s, *this, i, counter_, skip, raw);
            TExportColumn& column = *items_[i];
            // An unescaped text is measured where it was read; other values are formatted first (as
            // ExportFormatValue does, with the column's number mask that the export formats with).
            int length = 0;
            if (column.ColType == TExportColType::ectString && !Escape()) {
                length = ExportTextLength(raw);
                if (keepRow && !isNull && IsCleanCellValue(raw))
                    kept->Keep(i, raw, length);
            } else if (ExportFormatValueInto(formatted, raw, column.ColType, column.Format, facts,
                                             &column.DateTexts, &column.NumberMask) &&
                       Escape()) {
                length = ExportTextLength(Escape()(formatted));
            } else {
                length = ExportTextLength(formatted);
                if (keepRow && !isNull && IsCleanCellValue(raw))
                    kept->Keep(i, formatted, length);
            }
            column.Width = IntMax(column.Width, length);
        }
        ExportNext(s, counter_);
        if (props_.OnFetchedRecord)
            props_.OnFetchedRecord(counter_);
        if (props_.AbortConfirmed && props_.AbortConfirmed())
            break;
        if (counter_ % 256 == 0)
            std::this_thread::yield();
    }
    ExportGotoBookmark(s, bookmark);
    ExportFreeBookmark(s, bookmark);
}

// ---------------------------------------------------------------------------------------------------
// Row and cells

std::string TExportCol::GetText(bool format) const {
    std::string text;
    GetText(format, text);
    return text;
}

namespace {

// A cell's value formatted with its column's format, its date texts and number mask (FormatValue's body).
[[gnu::always_inline]] inline bool FormatCellValue(const TExportCol& cell, const TExportColumn& column,
                                                   std::string& storage) {
    return ExportFormatValueInto(storage, cell.Value, column.ColType, column.Format, cell.Row().Facts(),
                                 &column.DateTexts, &column.NumberMask);
}

} // namespace

bool TExportCol::FormatValue(const TExportColumn& column, std::string& storage) const {
    return FormatCellValue(*this, column, storage);
}

void TExportCol::GetText(bool format, std::string& text) const {
    // The bare text is taken into text: it stays where it was made there (or where text is Value and the
    // bare text is Value itself), else it is copied.
    bool escapes = false;
    if (&text != &Value) {
        const TExportBareText bare =
            BareText(format, text, [this](const TExportColumn& column, std::string& out) {
                return FormatCellValue(*this, column, out);
            });
        if (bare.Text.data() != text.data())
            rtl::AssignShortBytes(text, bare.Text);
        escapes = bare.Escapes;
    } else {
        std::string storage;
        const TExportBareText bare = GetBareText(format, storage);
        if (bare.Text.data() != text.data())
            text.assign(bare.Text.data(), bare.Text.size());
        escapes = bare.Escapes;
    }
    const TExportColumns& columns = row_.Columns();
    if (escapes && columns.Escape())
        columns.EscapeText(text);
    if (TExportCellHandler* const handler = row_.GetColData())
        handler->GetColData(*this, text);
}

void TExportRow::Clear() {
    cells_.clear();
    ++changes_;
    index_.clear();
}

TExportCol& TExportRow::AddCol(const std::string& name, int columnIndex) {
    cells_.push_back(std::make_unique<TExportCol>(*this, rtl::Trim(name), columnIndex));
    ++changes_;
    index_.emplace_back(name, Count() - 1);
    return *cells_.back();
}

void TExportRow::SortIndex() {
    std::stable_sort(index_.begin(), index_.end(),
                     [](const auto& a, const auto& b) { return rtl::CompareText(a.first, b.first) < 0; });
}

TExportCol* TExportRow::FindCol(const std::string& name) {
    auto it = std::find_if(index_.begin(), index_.end(),
                           [&](const auto& entry) { return rtl::SameText(entry.first, name); });
    return it == index_.end() ? nullptr : cells_[it->second].get();
}

void TExportRow::SetValue(const std::string& name, const std::string& text) {
    if (TExportCol* col = FindCol(name))
        col->Value = rtl::Trim(text);
}

} // namespace exporter
