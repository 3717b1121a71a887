#pragma once

// Columns, formats, the current row and the record-access routines shared by every exporter (and by the
// export dialog, which owns a column list of its own).

#include "export/core/ExporterSources.h"
#include "export/core/ExporterTypes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/LocaleFacts.h"
#include "platform/rtl/ShortBytes.h"
#include "platform/rtl/StringList.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace exporter {

// The names with each repeated one made unique by appending "_2", "_3", ... (never a name already
// taken); ignoreCase compares ASCII letters without case, as SQL engines compare unquoted names.
std::vector<std::string> ExportUniqueNames(const std::vector<std::string>& names, bool ignoreCase);

// The escaping method of an exporter (TExporter::NormalString): the text as the format must carry it.
using TExportEscape = std::function<std::string(const std::string&)>;

class TExportCol;

// What an exporter does to the texts of its cells, called directly (one virtual call per step) by the
// column list and the row: its escaping, a quick test of a text the escaping keeps, and its last say on
// a cell's text.
class TExportCellHandler {
public:
    virtual ~TExportCellHandler() = default;
    // The text as the format must carry it.
    virtual std::string NormalString(const std::string& s) const = 0;
    // A text that NormalString leaves as it is (false where the format cannot tell quickly).
    virtual bool KeepsText(const std::string& s) const = 0;
    // Last say on a cell text (formatted or not).
    virtual void GetColData(const TExportCol& col, std::string& text) = 0;
};

// Display formats of the seven number and date types, the Boolean texts and the NULL text.
class TExportFormats {
public:
    TExportFormats();

    const std::string& IntegerFormat() const { return integerFormat_; }
    const std::string& FloatFormat() const { return floatFormat_; }
    const std::string& DateFormat() const { return dateFormat_; }
    const std::string& TimeFormat() const { return timeFormat_; }
    const std::string& DateTimeFormat() const { return dateTimeFormat_; }
    const std::string& CurrencyFormat() const { return currencyFormat_; }
    const std::string& BooleanTrue() const { return booleanTrue_; }
    const std::string& BooleanFalse() const { return booleanFalse_; }
    const std::string& NullString() const { return nullString_; }

    // An empty text restores the default (FloatFormat accepts an empty text; NullString is stored trimmed).
    void SetIntegerFormat(const std::string& value);
    void SetFloatFormat(const std::string& value) { floatFormat_ = value; }
    void SetDateFormat(const std::string& value);
    void SetTimeFormat(const std::string& value);
    void SetDateTimeFormat(const std::string& value);
    void SetCurrencyFormat(const std::string& value);
    void SetBooleanTrue(const std::string& value);
    void SetBooleanFalse(const std::string& value);
    void SetNullString(const std::string& value);

    // All eight defaults (NullString is kept).
    void SetDefault();
    // Copies the nine texts through the setters.
    void Assign(const TExportFormats& other);

    // The defaults, from the locale facts read once at start.
    static std::string DefaultIntegerFormat() { return "#,###,##0"; }
    static std::string DefaultFloatFormat() { return "#,###,##0.00"; }
    static std::string DefaultDateFormat();
    static std::string DefaultTimeFormat();
    static std::string DefaultDateTimeFormat();
    static std::string DefaultCurrencyFormat();
    static std::string DefaultBooleanTrue() { return "true"; }
    static std::string DefaultBooleanFalse() { return "false"; }

    // The default format of a column type (empty for string, Boolean and unknown).
    std::string FormatOfType(TExportColType type) const;

private:
    std::string integerFormat_, floatFormat_, dateFormat_, timeFormat_, dateTimeFormat_, currencyFormat_,
        booleanTrue_, booleanFalse_, nullString_;
};

// What a column list reads from its owner at every Fill. An owner leaves the items it does not publish
// unset (lists null, numbers 0, CaptionRow -1).
struct TExportOwnerProperties {
    const rtl::TStringList* ExportedFields = nullptr;
    TExportSources Sources;
    bool OnlyVisibleFields = false;
    const TExportFormats* Formats = nullptr;
    bool AutoCalcStrType = false;
    int CaptionRow = -1;
    const rtl::TStringList* UserFormats = nullptr;
    const rtl::TStringList* ColumnsWidth = nullptr;
    const rtl::TStringList* Captions = nullptr;
    const rtl::TStringList* ColumnsAlign = nullptr;
    int SkipRecCount = 0;
    int ExportRecCount = 0;
    const rtl::TStringList* ColumnsLength = nullptr;
    std::function<void(int counter)> OnFetchedRecord; // the owner's width pre-pass event, bound to it
    // Whether the owner's export is to stop: an abort was requested and confirmed (asked after each row of
    // the width pre-pass).
    std::function<bool()> AbortConfirmed;
};

// Anything that can own a column list: the exporters and the export dialog component.
class TExportColumnsOwner {
public:
    virtual ~TExportColumnsOwner() = default;
    virtual void LoadColumnsOwnerProperties(TExportOwnerProperties& properties) const = 0;
};

class TExportColumns;

// The formatted texts of the date and time texts one column has met, so that a text met again is neither
// read nor formatted again: a date column holds few distinct days. Exact, as a formatted date depends
// only on the text, the format and the locale facts; a text whose year comes from the clock is read
// every time, and a column whose texts are seldom met twice (date-times to the second) stops looking
// after a while.
class TExportDateTexts {
public:
    // FormatDateTime(format, the value of text) into out; false (out empty) when text is no date or time.
    bool Format(const std::string& text, const std::string& format, const rtl::LocaleFacts& facts,
                std::string& out);

private:
    // A text met before: its length (0 for a free slot), its key (for a text longer than
    // rtl::ShortTextKey::kMaxLength, a hash in `first`, and the text in bytes_ at `text`), and where its
    // formatted text lies in bytes_.
    struct Entry {
        rtl::ShortTextKey key;
        std::uint32_t textLength = 0, text = 0, formatted = 0, formattedLength = 0;
    };
    static rtl::ShortTextKey keyOf(std::string_view text);
    // The entry of text (whose key is given), or nullptr.
    const Entry* find(std::string_view text, const rtl::ShortTextKey& key) const;
    void add(std::string_view text, const rtl::ShortTextKey& key, std::string_view formatted);
    // The slot where an entry of the key goes: the first free one from its place on.
    Entry& freeSlot(const rtl::ShortTextKey& key);

    static constexpr std::size_t kMaxTexts = 4096;
    std::string format_;
    const rtl::LocaleFacts* facts_ = nullptr;
    std::optional<rtl::DateTimeFormatter> formatter_; // format_ read once
    rtl::DateTimeFormatter::DayMemo day_;             // the day of the last date-time text formatter_ read
    std::vector<Entry> slots_; // open addressing, a power of two in size and at most half used
    // The long texts and the formatted ones, then rtl::kPaddedBytes more, so that each formatted text can
    // be copied as a padded one.
    std::string bytes_;
    std::size_t count_ = 0;
    std::size_t lookups_ = 0, misses_ = 0;
};

using rtl::IsCellAscii;

// Whether a cell value goes into the row as it is: without blanks at its ends, and well-formed UTF-8 (a
// malformed byte would become U+FFFD there).
inline bool IsCleanCellValue(std::string_view text) {
    const bool trimmed = text.empty() || (static_cast<unsigned char>(text.front()) > ' ' &&
                                          static_cast<unsigned char>(text.back()) > ' ');
    return trimmed && (IsCellAscii(text) || rtl::Utf8WellFormedLength(text) == text.size());
}

// The cell texts a width pre-pass made, kept for the pass that writes the rows, so that each value is
// read and formatted once. A cell is kept only where its text is the one the row will show (no NULL, a
// value that needs no cleaning, no escaping), and rows only up to a budget of bytes: the rows past it,
// and every cell not kept, are read and formatted again. The texts go into blocks that are written once
// and never moved, each row with 4 bytes per cell in front of its texts.
class TExportKeptTexts {
public:
    // The bytes kept at most (100,000 rows of 10 cells of 10 bytes take 15 MB; a larger export keeps its
    // first rows).
    static constexpr std::size_t kBudget = 32 * 1024 * 1024;

    // Forgets every text and frees the memory.
    void Clear();
    // Readies the store for rows of that many cells.
    void Start(int cellsPerRow);
    // Starts the next row; false when the budget is spent (that row and the ones after it are not kept).
    bool BeginRow();
    // The text of a cell of the row begun, and its length in characters; cells are kept in their order,
    // and the ones not kept are skipped.
    void Keep(int cell, std::string_view text, int length);
    // The rows kept, from the first on.
    int Rows() const { return int(rows_.size()); }

    // The cells of a kept row, one after the other.
    class TRowCells {
    public:
        // The text and length of the next cell; false when it was not kept.
        bool Next(std::string_view& text, int& length) {
            Entry entry;
            std::memcpy(&entry, entries_, sizeof entry);
            entries_ += sizeof entry;
            text = std::string_view(texts_, entry.size); // empty for a cell not kept
            texts_ += entry.size;
            length = entry.length;
            return entry.length != kNotKept;
        }

    private:
        friend class TExportKeptTexts;
        const char* entries_ = nullptr;
        const char* texts_ = nullptr;
    };
    TRowCells Row(int row) const {
        TRowCells cells;
        cells.entries_ = rows_[std::size_t(row)] + sizeof(std::uint32_t);
        cells.texts_ = cells.entries_ + std::size_t(cellsPerRow_) * sizeof(Entry);
        return cells;
    }
    // Whether every cell of a kept row was kept.
    bool RowComplete(int row) const {
        std::uint32_t kept = 0;
        std::memcpy(&kept, rows_[std::size_t(row)], sizeof kept);
        return kept == std::uint32_t(cellsPerRow_);
    }

private:
    // A kept cell's bytes and characters (kNotKept: the cell was not kept, and has no bytes).
    struct Entry {
        std::uint16_t size = 0, length = kNotKept;
    };
    static constexpr std::uint16_t kNotKept = 0xFFFF;
    static constexpr std::size_t kBlockSize = 2 * 1024 * 1024; // a huge page
    struct TFreeBlock {
        void operator()(char* block) const { std::free(block); }
    };
    // Starts a new block with the row begun (its first rowBytes bytes) moved to its start and room for
    // extra more bytes; false when the budget does not allow the block.
    bool NewBlock(std::size_t rowBytes, std::size_t extra);

    std::vector<std::unique_ptr<char[], TFreeBlock>> blocks_;
    std::size_t blockSize_ = 0, blockUsed_ = 0; // of the last block
    std::size_t allocated_ = 0;                 // the bytes of every block
    std::vector<char*> rows_; // where each row starts: its count of kept cells, entries, texts
    int cellsPerRow_ = 0;
    bool full_ = false;
};

class TExportColumn {
public:
    explicit TExportColumn(TExportColumns& owner) : owner_(owner) {}

    int ColumnIndex = -1;
    TExportColType ColType = TExportColType::ectUnknown;
    std::string Name;
    std::string Caption;
    int Width = 0;
    TExportColAlign ColAlign = TExportColAlign::ecaLeft;
    std::string Format;
    std::string SQLType;
    int Length = 0;
    int Tag = 0;
    bool AllowFormat = false;
    bool IsNumeric = false;
    bool IsString = false;
    bool IsBlob = false;
    bool IsMemo = false;
    bool IsVisible = true;
    // The column's formatted dates and times during an export.
    mutable TExportDateTexts DateTexts;
    // The column's number mask, read once during an export.
    mutable rtl::NumberMask NumberMask;

    // AllowFormat and Format equal to the default format of its type in the owner's Formats.
    bool IsDefaultFormat() const;
    TExportColumns& Columns() const { return owner_; }

private:
    TExportColumns& owner_;
};

class TExportColumns {
public:
    TExportColumns(const TExportColumnsOwner* owner, TExportEscape escape);
    TExportColumns(const TExportColumns&) = delete;
    TExportColumns& operator=(const TExportColumns&) = delete;

    int Count() const { return int(items_.size()); }
    TExportColumn& GetColumn(int index) { return *items_.at(index); }
    const TExportColumn& GetColumn(int index) const { return *items_.at(index); }
    TExportColumn& operator[](int index) { return GetColumn(index); }
    const TExportColumn& operator[](int index) const { return GetColumn(index); }
    // The column at an index the caller has checked (0 <= index < Count()), for the per-cell paths.
    const TExportColumn& CheckedColumn(int index) const { return *items_[std::size_t(index)]; }
    TExportColumn& Add();
    void Clear() {
        items_.clear();
        ++changes_;
    }
    // Counts the changes of the list itself (Add, Clear): the same count, the same column objects.
    std::uint64_t Changes() const { return changes_; }

    // Case-insensitive; -1 when absent.
    int IndexOfName(const std::string& name) const;
    void ResetTags();
    bool ContainsBLOB() const;

    // Reads the owner's properties, then builds the columns of the owner's source (BLOB fields only with
    // includeBlobs).
    void Fill(bool includeBlobs);
    // The width pre-pass: widens every column to its caption and to the longest formatted text of the rows
    // the export will write; the source position is restored afterwards. With kept, the texts measured
    // that the rows will show as they are go there as well.
    void AutoCalcColWidth(TExportKeptTexts* kept = nullptr);
    void LoadOwnerProperties();

    const TExportOwnerProperties& OwnerProperties() const { return props_; }
    const TExportEscape& Escape() const { return escape_; }
    // Replaces the escaping (none: the texts pass unchanged, without a copy per cell). keeps, when given,
    // tells quickly of a text that the escaping leaves as it is, so that it is not copied.
    void SetEscape(TExportEscape escape, std::function<bool(const std::string&)> keeps = nullptr) {
        escape_ = std::move(escape);
        keeps_ = std::move(keeps);
        handler_ = nullptr;
    }
    // The escaping of an exporter, called directly (its NormalString and KeepsText); Escape() calls it too.
    void SetEscape(const TExportCellHandler& handler);
    // The exporter whose escaping SetEscape(handler) set; null for another escaping or none.
    const TExportCellHandler* EscapeHandler() const { return handler_; }
    // The text escaped in place (there must be an escaping).
    void EscapeText(std::string& text) const {
        if (handler_) {
            if (!handler_->KeepsText(text))
                text = handler_->NormalString(text);
        } else if (!keeps_ || !keeps_(text)) {
            ReplaceByEscaped(text);
        }
    }
    // The width pre-pass's own row counter.
    int RecordCounter() const { return counter_; }

private:
    // text = escape_(text), apart from the quick test so that the test stays small where it is inlined.
    void ReplaceByEscaped(std::string& text) const;
    void SetColumnProperties(TExportColumn& column);
    TExportColType SourceColType(const TExportColumn& column) const;
    int SourceWidth(const TExportColumn& column) const;

    const TExportColumnsOwner* owner_;
    TExportEscape escape_;
    std::function<bool(const std::string&)> keeps_;
    const TExportCellHandler* handler_ = nullptr; // the escaping when it is an exporter's, else null
    TExportOwnerProperties props_;
    int counter_ = 0;
    std::uint64_t changes_ = 0;
    std::vector<std::unique_ptr<TExportColumn>> items_;
};

class TExportRow;

// A cell's text before the format escapes it and has its last say: the text (the cell's Value itself, the
// NULL text or a formatted text in the caller's storage) and whether the escaping applies to it.
struct TExportBareText {
    std::string_view Text;
    bool Escapes = false;
};

// One cell of the current row.
class TExportCol {
public:
    TExportCol(TExportRow& row, std::string name, int columnIndex)
        : Name(std::move(name)), ColumnIndex(columnIndex), row_(row) {}

    std::string Name;     // the trimmed column name
    std::string Value;    // the raw (unformatted) text, trimmed
    int ColumnIndex = -1; // position of the column in Columns
    bool IsNull = false;  // the source field was NULL (data set and DB grid)

    // The cell's text: the escaped NULL text for a NULL field, else the value (formatted with the column's
    // format when format is set), then passed through the exporter's GetColData. Value is not changed.
    std::string GetText(bool format) const;
    // The same text into `text`, whose storage is reused where the text is the value itself.
    void GetText(bool format, std::string& text) const;
    // The text GetText starts from, before the escaping and GetColData: a format that escapes while it
    // writes takes it without a copy. A formatted text is made in storage, which must not be Value.
    inline TExportBareText GetBareText(bool format, std::string& storage) const;
    TExportRow& Row() const { return row_; }

private:
    // The value formatted with the column's format into storage; false when it is no number or date of
    // the column's type (storage is empty then).
    bool FormatValue(const TExportColumn& column, std::string& storage) const;
    // GetBareText with the formatting given: GetText formats in place, without a call per cell.
    template <class TFormatValue>
    [[gnu::always_inline]] inline TExportBareText BareText(bool format, std::string& storage,
                                                           const TFormatValue& formatValue) const;

    TExportRow& row_;
};

// The current record as named cells, in column order.
class TExportRow {
public:
    // handler: whose GetColData has the last say on each cell text (none: the texts stay as they are).
    TExportRow(TExportColumns& columns, TExportCellHandler* handler, const TExportFormats& formats)
        : columns_(columns), handler_(handler), formats_(formats), facts_(rtl::LocaleFacts::Current()) {}
    TExportRow(const TExportRow&) = delete;
    TExportRow& operator=(const TExportRow&) = delete;

    int Count() const { return int(cells_.size()); }
    TExportCol& GetCol(int index) { return *cells_.at(index); }
    const TExportCol& GetCol(int index) const { return *cells_.at(index); }
    TExportCol& operator[](int index) { return GetCol(index); }
    const TExportCol& operator[](int index) const { return GetCol(index); }
    // The cell at an index the caller has checked (0 <= index < Count()), for the per-cell paths.
    const TExportCol& CheckedCol(int index) const { return *cells_[std::size_t(index)]; }
    // The cell of that name (ignoring case), null when none.
    TExportCol* FindCol(const std::string& name);

    // Frees every cell and empties the name index.
    void Clear();
    // Appends a cell named name (trimmed) for the column at columnIndex.
    TExportCol& AddCol(const std::string& name, int columnIndex);
    // Sorts the name index (after the cells are added).
    void SortIndex();
    // Counts the changes of the cell list (Clear, AddCol): the same count, the same cell objects.
    std::uint64_t Changes() const { return changes_; }
    // Stores the trimmed text in the cell of that name; an unknown name changes nothing.
    void SetValue(const std::string& name, const std::string& text);

    TExportColumns& Columns() const { return columns_; }
    const TExportFormats& Formats() const { return formats_; }
    // The locale facts the cells are formatted with (read once per process).
    const rtl::LocaleFacts& Facts() const { return facts_; }
    // Whose GetColData has the last say on each cell text; null when none.
    TExportCellHandler* GetColData() const { return handler_; }

private:
    TExportColumns& columns_;
    TExportCellHandler* handler_;
    const TExportFormats& formats_;
    const rtl::LocaleFacts& facts_;
    std::uint64_t changes_ = 0;
    std::vector<std::unique_ptr<TExportCol>> cells_;
    std::vector<std::pair<std::string, int>> index_; // untrimmed name, cell position
};

inline TExportBareText TExportCol::GetBareText(bool format, std::string& storage) const {
    return BareText(format, storage, [this](const TExportColumn& column, std::string& out) {
        return FormatValue(column, out);
    });
}

template <class TFormatValue>
TExportBareText TExportCol::BareText(bool format, std::string& storage,
                                     const TFormatValue& formatValue) const {
    if (IsNull)
        return {row_.Formats().NullString(), true};
    const TExportColumns& columns = row_.Columns();
    if (!format || ColumnIndex < 0 || ColumnIndex >= columns.Count())
        return {Value, false};
    const TExportColumn& column = columns.CheckedColumn(ColumnIndex);
    switch (column.ColType) {
    case TExportColType::ectString: // shown as it is, and escaped as every formatted text
        return {Value, true};
    case TExportColType::ectBoolean: // never formatted, nor escaped here
    case TExportColType::ectUnknown:
        return {Value, false};
    default: {
        const bool formatted = formatValue(column, storage); // before the view of storage is taken
        return {storage, formatted};
    }
    }
}

// Record access by source kind. Each raises EExportError 34014 when the source object is missing where it
// is needed (ExportCheckSource). Next, Skip and the end test work with the caller's record counter.
void ExportCheckSource(const TExportSources& sources);
bool ExportIsActive(const TExportSources& sources);
bool ExportIsEmpty(const TExportSources& sources);
void ExportDisableControls(const TExportSources& sources);
void ExportEnableControls(const TExportSources& sources);
void ExportFirst(const TExportSources& sources);
void ExportNext(const TExportSources& sources, int& counter);
// Count times Next, each followed by onSkipped(counter) when given.
void ExportSkip(const TExportSources& sources, int count, int& counter,
                const std::function<void(int counter)>& onSkipped);
bool ExportEof(const TExportSources& sources, int counter, int skipRecCount, int exportRecCount);
// ExportEof of a source that counts its rows (a list view, a string grid's rows below the fixed ones).
inline bool ExportCountedEof(int rows, int counter, int skipRecCount, int exportRecCount) {
    skipRecCount = IntMax(skipRecCount, 0);
    int left = IntMax(0, rows - skipRecCount);
    if (exportRecCount > 0)
        left = IntMax(0, IntMin(exportRecCount, rows - skipRecCount));
    return counter >= left;
}
std::int64_t ExportGetBookmark(const TExportSources& sources);
void ExportGotoBookmark(const TExportSources& sources, std::int64_t bookmark);
void ExportFreeBookmark(const TExportSources& sources, std::int64_t bookmark);

// The current row's text of the column at position col (raw; formatted with formatIt).
std::string ExportGetColData(const TExportSources& sources, const TExportColumns& columns, int col,
                             int counter, int skipRecCount, bool formatIt);
// The raw text of ExportGetColData into `text`, reusing its storage; the result is ExportGetColIsNull.
bool ExportReadColData(const TExportSources& sources, const TExportColumns& columns, int col, int counter,
                       int skipRecCount, std::string& text);
// Whether the current row's field of that column is NULL (data set and DB grid; false for the others).
bool ExportGetColIsNull(const TExportSources& sources, const TExportColumns& columns, int col);

// A raw text as the display text of its type (see the formats); an unreadable number or date gives "".
// Dates and times are taken from dateTexts when given.
std::string ExportFormatValue(const std::string& text, TExportColType type, const std::string& format,
                              const TExportEscape& escape,
                              const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current(),
                              TExportDateTexts* dateTexts = nullptr);
// The type a sample text suggests.
TExportColType GuessColType(const std::string& text, const std::string& booleanTrue,
                            const std::string& booleanFalse,
                            const rtl::LocaleFacts& facts = rtl::LocaleFacts::Current());
// The column type of a data set field type.
TExportColType FieldTypeToColType(TFieldType type);
// The SQL type of a data set field ("CHAR(size)", "INTEGER", ...).
std::string FieldTypeToSQLType(TFieldType type, int size);

// The pixel width of a text on a source control (0 for a missing control or an empty text). The width
// step divides a column's pixel width by the width of "X"; where that measures 0 it takes 8 pixels.
int ExportTextWidth(const TExportListView* view, const std::string& text);
int ExportTextWidth(const TExportDBGrid* grid, const std::string& text);
int ExportTextWidth(const TExportStringGrid* grid, const std::string& text);

} // namespace exporter
