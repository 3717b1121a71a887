#include "export/core/Exporter.h"

#include "export/core/ExporterCustomSource.h"
#include "platform/commit/FileCommit.h"
#include "platform/ini/IniFile.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/SysUtils.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>
#include <vector>

namespace exporter {

namespace fs = std::filesystem;

// ---------------------------------------------------------------------------------------------------
// TExportWriter

TExportWriter::TExportWriter(TExporter& owner, std::ostream& stream)
    : owner_(owner), stream_(stream), encoding_(TExportTextEncoding::Utf8),
      buffer_(std::make_unique<char[]>(kBufferSize)) {}

TExportWriter::~TExportWriter() {
    try {
        FlushBuffer();
    } catch (...) {
        // a stream that throws on a failed write is left bad, as it reports failures otherwise
    }
}

std::string TExportWriter::AlignToStr(TExportColAlign align) const {
    switch (align) {
    case TExportColAlign::ecaLeft:
        return "Left alignment";
    case TExportColAlign::ecaCenter:
        return "Center alignment";
    case TExportColAlign::ecaRight:
        return "Right alignment";
    }
    return "Unknown alignment";
}

rtl::TUnmappedCharacter TExportWriter::UnmappedCharacter() const {
    return [](std::string& out, char32_t) { out += '?'; };
}

std::string TExportWriter::ToWindows1252(const std::string& text) const {
    return rtl::Utf8ToWindows1252(text, UnmappedCharacter());
}

void TExportWriter::WriteBuffer() const {
    stream_.write(buffer_.get(), std::streamsize(used_));
    used_ = 0;
}

void TExportWriter::PutLarge(const char* data, std::size_t size) {
    // The block is filled up and handed over whole: a stream buffer of the same size passes it on without
    // copying it.
    if (used_ != 0) {
        const std::size_t room = kBufferSize - used_;
        std::memcpy(buffer_.get() + used_, data, room);
        used_ = kBufferSize;
        data += room;
        size -= room;
        WriteBuffer();
    }
    if (size >= kBufferSize) {
        stream_.write(data, std::streamsize(size));
    } else {
        std::memcpy(buffer_.get(), data, size);
        used_ = size;
    }
}

void TExportWriter::PutWindows1252(std::string_view text) {
    // ASCII is the same in both: the text's ASCII start goes in as it is, the rest is converted into
    // storage kept from text to text, then gathered like any other bytes.
    const std::size_t ascii = rtl::AsciiPrefixLength(text);
    Put(text.data(), ascii);
    if (ascii == text.size())
        return;
    bytes_.clear();
    rtl::AppendUtf8AsWindows1252(bytes_, text.substr(ascii), UnmappedCharacter());
    Put(bytes_.data(), bytes_.size());
}

void TExportWriter::CharLine(char ch, int count) {
    WriteLn(std::string(size_t(IntMax(count, 0)), ch));
}

std::string TExportWriter::PadLeft(const std::string& s, char ch, int len) {
    int missing = len - ExportTextLength(s);
    return missing > 0 ? std::string(size_t(missing), ch) + s : s;
}

std::string TExportWriter::PadRight(const std::string& s, char ch, int len) {
    int missing = len - ExportTextLength(s);
    return missing > 0 ? s + std::string(size_t(missing), ch) : s;
}

std::string TExportWriter::PadCenter(const std::string& s, char ch, int len) {
    int missing = len - ExportTextLength(s);
    if (missing <= 0)
        return s;
    int front = missing / 2;
    return std::string(size_t(front), ch) + s + std::string(size_t(missing - front), ch);
}

// ---------------------------------------------------------------------------------------------------
// TExporter

TExporter::TExporter()
    : Columns(this, [this](const std::string& s) { return NormalString(s); }),
      ExportRow(Columns, this, Formats) {}

TExporter::~TExporter() = default;

TExportWriter& TExporter::Writer() const {
    if (!writer_)
        throw EExportError("No export is running");
    return *writer_;
}

std::unique_ptr<TExportWriter> TExporter::GetWriterClass(std::ostream& stream) {
    return std::make_unique<TExportWriter>(*this, stream);
}

void TExporter::ExportToStream(std::ostream& stream) {
    writer_ = GetWriterClass(stream);
    writer_->SetEncoding(TextEncoding());
    // A format without special characters leaves every text as it is: its cells are not passed through
    // NormalString, which would copy each one.
    std::bitset<256> special;
    GetSpecialCharacters(special);
    if (special.none())
        Columns.SetEscape(nullptr);
    else
        Columns.SetEscape(*this);
    // What the export wrote reaches the stream before the writer goes, also when the export failed.
    try {
        DoExport();
        writer_->FlushBuffer();
    } catch (...) {
        try {
            writer_->FlushBuffer();
        } catch (...) {
        }
        writer_.reset();
        throw;
    }
    writer_.reset();
}

void TExporter::Notification(const void* removed) {
    ForgetRemovedSource(*this, removed);
}

TExportSources TExporter::Sources() const {
    return SourcesOf(*this);
}

void TExporter::ReadColumnValues(const std::vector<int>& columns, const TColumnValueVisitor& visit) {
    if (columns.empty())
        return;
    const TExportSources s = Sources();
    const std::int64_t bookmark = ExportGetBookmark(s);
    if (GoToFirstRecord)
        ExportFirst(s);
    int counter = 0;
    ExportSkip(s, SkipRecCount, counter, nullptr);
    counter = 0;
    std::string text; // read into one string whose storage serves every value
    while (!ExportEof(s, counter, SkipRecCount, ExportRecCount) &&
           !(ExportRecCount > 0 && counter >= ExportRecCount)) {
        for (int i : columns) {
            // The NULL state is the field's, whatever OnGetExportText makes of the text.
            const bool isNull = ExportReadColData(s, Columns, i, counter, SkipRecCount, text);
            if (OnGetExportText)
                OnGetExportText(*this, i, text);
            visit(i, text, isNull);
        }
        ExportNext(s, counter);
    }
    ExportGotoBookmark(s, bookmark);
    ExportFreeBookmark(s, bookmark);
}

void TExporter::LoadColumnsOwnerProperties(TExportOwnerProperties& p) const {
    p.ExportedFields = &ExportedFields;
    p.Sources = Sources();
    p.OnlyVisibleFields = OnlyVisibleFields;
    p.AutoCalcStrType = AutoCalcStrType;
    p.CaptionRow = CaptionRow;
    p.SkipRecCount = SkipRecCount;
    p.ExportRecCount = ExportRecCount;
    if (PublishesFormats()) {
        p.Formats = &Formats;
        p.UserFormats = &UserFormats;
    }
    if (PublishesCaptions())
        p.Captions = &Captions;
    if (PublishesColumnsWidth())
        p.ColumnsWidth = &ColumnsWidth;
    if (PublishesColumnsAlign())
        p.ColumnsAlign = &ColumnsAlign;
    if (PublishesColumnsLength())
        p.ColumnsLength = &ColumnsLength;
    auto* self = const_cast<TExporter*>(this);
    if (PublishesOnFetchedRecord()) {
        p.OnFetchedRecord = [self](int counter) {
            if (self->OnFetchedRecord)
                self->OnFetchedRecord(*self, counter);
        };
    }
    p.AbortConfirmed = [self] { return self->AbortConfirmed(); };
}

void TExporter::DoGetCellParams(int recNo, int colNo, const std::string& value, TExportColAlign& align,
                                TExportFont& font, TExportColor& background) {
    if (OnGetCellParams)
        OnGetCellParams(*this, recNo, colNo, value, align, font, background);
}

void TExporter::CheckSource() const {
    ExportCheckSource(Sources());
}
bool TExporter::IsActive() const {
    return ExportIsActive(Sources());
}
bool TExporter::IsEmpty() const {
    return ExportIsEmpty(Sources());
}
void TExporter::DisableControls() {
    ExportDisableControls(Sources());
}
void TExporter::EnableControls() {
    ExportEnableControls(Sources());
}

void TExporter::First() {
    RecordCounter = 0;
    ExportFirst(Sources());
}

void TExporter::Next() {
    // A data set, the usual source, and a list view are moved directly (the general step would do the same).
    if (ExportSource == TExportSource::esDataSet && DataSet) {
        DataSet->Next();
        ++RecordCounter;
        return;
    }
    if (ExportSource == TExportSource::esListView && ListView) { // a list view's items are counted
        ++RecordCounter;
        return;
    }
    ExportNext(Sources(), RecordCounter);
}

void TExporter::Skip() {
    const TExportSources sources = Sources();
    for (int i = 0; i < SkipRecCount; ++i) {
        ExportNext(sources, RecordCounter);
        if (OnSkippedRecord)
            OnSkippedRecord(*this, RecordCounter);
        if (AbortConfirmed())
            return;
    }
}

std::int64_t TExporter::GetBookmark() const {
    return ExportGetBookmark(Sources());
}

void TExporter::GoToBookmark(std::int64_t bookmark) {
    RecordCounter = 0;
    ExportGotoBookmark(Sources(), bookmark);
}

void TExporter::FreeBookmark(std::int64_t bookmark) {
    ExportFreeBookmark(Sources(), bookmark);
}

bool TExporter::EndOfFile() {
    // A data set, the usual source, and a list view are asked directly (the general test would ask the same).
    if (ExportSource == TExportSource::esDataSet && DataSet)
        return DataSet->Eof();
    if (ExportSource == TExportSource::esListView && ListView)
        return ExportCountedEof(ListView->ItemCount(), RecordCounter, SkipRecCount, ExportRecCount);
    return ExportEof(Sources(), RecordCounter, SkipRecCount, ExportRecCount);
}

void TExporter::BeginExport() {
    Columns.Clear();
    Columns.Fill(false);
    ExportRow.Clear();
    for (int i = 0; i < Columns.Count(); ++i)
        ExportRow.AddCol(Columns[i].Name, i);
    ExportRow.SortIndex();
    Aborted = false;
    // A negative count skips nothing (it would address rows in front of the first).
    SkipRecCount = IntMax(SkipRecCount, 0);
    if (ExportSource == TExportSource::esListView && ListView) {
        const int items = ListView->ItemCount();
        SkipRecCount = IntMin(SkipRecCount, items);
        if (ExportRecCount > 0)
            ExportRecCount = IntMin(ExportRecCount, items);
    }
    if (OnBeginExport)
        OnBeginExport(*this);
    // An abort asked for while the export was being prepared is confirmed here, before the format writes
    // its opening: a cancelled abort lets the format begin as usual.
    AbortConfirmed();
    abortedBeforeFormatBegan_ = Aborted;
}

void TExporter::EndExport() {
    if (OnEndExport)
        OnEndExport(*this);
}

std::string TExporter::GetColCaption(int index) {
    std::string caption = Columns[index].Caption;
    rtl::RepairUtf8(caption); // a field name of the source may hold any bytes
    return NormalString(caption);
}

std::string TExporter::GetCaptionRow() {
    std::string row;
    for (int i = 0; i < Columns.Count(); ++i)
        row += GetColCaption(i);
    return row;
}

void TExporter::GetColData(const TExportCol&, std::string&) {}

void TExporter::EscapeUnformattedText(std::string& text) const {
    // A text that the format keeps as it is is not copied through NormalString.
    if (!KeepsText(text))
        ReplaceByNormalString(text);
}

void TExporter::ReplaceByNormalString(std::string& text) const {
    text = NormalString(text);
}

namespace {

// A cell's value as every format takes it: UTF-8 (a malformed byte becomes U+FFFD here, once) without
// blanks at its ends.
[[gnu::always_inline]] inline void CleanCellValue(std::string& text) {
    if (!rtl::IsCellAscii(text))
        rtl::RepairUtf8(text);
    const bool trimmed = text.empty() || (static_cast<unsigned char>(text.front()) > ' ' &&
                                          static_cast<unsigned char>(text.back()) > ' ');
    if (!trimmed)
        text = rtl::Trim(text);
}

} // namespace

void TExporter::FillExportRow() {
    // A data set, the usual source, is read without the choice of source kind per cell; without a handler
    // that sees each cell before the next is read, in one call per row.
    if (ExportSource == TExportSource::esDataSet && DataSet && !OnGetExportText)
        return FillExportRowFrom(*DataSet);
    if (ExportSource == TExportSource::esListView && ListView && !OnGetExportText)
        return FillExportRowFrom(*ListView);
    const TExportSources sources = Sources();
    const TExportDataSet* const dataSet =
        sources.Kind == TExportSource::esDataSet ? sources.DataSet : nullptr;
    for (int col = 0; col < Columns.Count() && col < ExportRow.Count(); ++col) {
        // The cell is addressed by its position: two columns of the same name keep their own values.
        // Its text is read in place, so the cell's storage serves row after row.
        TExportCol& cell = ExportRow[col];
        std::string& text = cell.Value;
        cell.IsNull = dataSet ? dataSet->ReadFieldText(Columns[col].ColumnIndex, text)
                              : ExportReadColData(sources, Columns, col, RecordCounter, SkipRecCount, text);
        if (OnGetExportText)
            OnGetExportText(*this, col, text);
        CleanCellValue(text);
    }
}

void TExporter::PrepareRowRead(std::size_t count) {
    rowColumns_.resize(count);
    rowFields_.resize(count);
    rowCells_.resize(count);
    rowTexts_.resize(count);
    rowNulls_ = std::make_unique<bool[]>(count);
    for (std::size_t col = 0; col < count; ++col) {
        TExportCol& cell = ExportRow[int(col)];
        rowColumns_[col] = &Columns[int(col)];
        rowCells_[col] = &cell;
        rowTexts_[col] = &cell.Value;
    }
    rowColumnsChanges_ = Columns.Changes();
    rowCellsChanges_ = ExportRow.Changes();
}

std::size_t TExporter::PrepareRowFields() {
    const std::size_t count = std::size_t(IntMin(Columns.Count(), ExportRow.Count()));
    if (count != rowCells_.size() || Columns.Changes() != rowColumnsChanges_ ||
        ExportRow.Changes() != rowCellsChanges_)
        PrepareRowRead(count);
    // A column's field may be set anew between rows.
    int* const fields = rowFields_.data();
    const TExportColumn* const* const columns = rowColumns_.data();
    for (std::size_t col = 0; col < count; ++col)
        fields[col] = columns[col]->ColumnIndex;
    return count;
}

void TExporter::FillExportRowFrom(const TExportListView& list) {
    const std::size_t count = PrepareRowFields();
    std::string* const* const texts = rowTexts_.data();
    list.ReadItemTexts(RecordCounter + IntMax(SkipRecCount, 0), rowFields_.data(), texts, int(count));
    TExportCol* const* const cells = rowCells_.data();
    for (std::size_t col = 0; col < count; ++col) {
        cells[col]->IsNull = false;
        CleanCellValue(*texts[col]);
    }
}

void TExporter::FillExportRowFrom(const TExportDataSet& dataSet) {
    const std::size_t count = PrepareRowFields();
    const int* const fields = rowFields_.data();
    TExportCol* const* const cells = rowCells_.data();
    bool* const nulls = rowNulls_.get();
    std::string* const* const texts = rowTexts_.data();
    dataSet.ReadFieldTexts(fields, texts, nulls, int(count));
    for (std::size_t col = 0; col < count; ++col) {
        cells[col]->IsNull = nulls[col];
        CleanCellValue(*texts[col]);
    }
}

std::string TExporter::GetDataRow(bool format) {
    std::string row;
    for (int i = 0; i < ExportRow.Count(); ++i)
        row += ExportRow[i].GetText(format);
    return row;
}

bool TExporter::DoStopExport() {
    bool canContinue = !Aborted;
    if (OnStopExport)
        OnStopExport(*this, canContinue);
    Aborted = !canContinue;
    return canContinue;
}

bool TExporter::AbortConfirmed() {
    return Aborted && !DoStopExport();
}

void TExporter::DoExport() {
    RecordCounter = 0;
    CheckSource();
    if (!IsActive())
        throw EExportError(rtl::Format(ExportLoadStr(SSourceClosed), {ExportSourceName(ExportSource)}));
    if (!ExportEmpty && IsEmpty())
        throw EExportError(rtl::Format(ExportLoadStr(SSourceEmpty), {ExportSourceName(ExportSource)}));

    DisableControls();
    struct EnableGuard {
        TExporter& exporter;
        ~EnableGuard() {
            try {
                exporter.EnableControls();
            } catch (...) {
            }
        }
    } guard{*this};

    // Every phase asks about an abort requested during it (the width pre-pass and the skip per row). Once
    // the format has begun, a confirmed abort ends the run as an abort between two rows does: AfterExport
    // and EndExport close the document.
    BeginExport();
    const auto finishAborted = [this] {
        AfterExport();
        EndExport();
    };
    if (Aborted) {
        // Stopped before the format began: nothing is written. Stopped while the format began (a
        // counting pass asks per row): the format closes what it opened.
        if (abortedBeforeFormatBegan_)
            return;
        return finishAborted();
    }
    if (AutoCalcColWidth) {
        Columns.AutoCalcColWidth(PrePassTexts()); // asks after each row itself
        if (Aborted)
            return finishAborted();
    }
    if (AllowCaptions) {
        WriteCaptionRow();
        if (AbortConfirmed())
            return finishAborted();
    }
    if (GoToFirstRecord)
        First();
    BeforeExport();
    if (AbortConfirmed())
        return finishAborted();
    Skip();
    if (Aborted)
        return finishAborted();

    RecordCounter = 0;
    for (;;) {
        if (EndOfFile())
            break;
        if (ExportRecCount != 0 && ExportRecCount <= RecordCounter)
            break;
        if (AbortConfirmed())
            break;
        bool accept = true;
        FillExportRow();
        if (OnBeforeExportRow)
            OnBeforeExportRow(*this, ExportRow, accept);
        if (accept) {
            WriteDataRow();
            if (OnExportedRecord)
                OnExportedRecord(*this, RecordCounter);
        }
        if (CurrentRecordOnly)
            break;
        Next();
        if (RecordCounter % 256 == 0) // a yield per row costs more than the row itself
            std::this_thread::yield();
    }
    AfterExport();
    EndExport();
}

// ---------------------------------------------------------------------------------------------------
// Options vocabulary

void SaveListToIni(ini::IniFile& ini, const std::string& section, const std::string& prefix,
                   const rtl::TStringList& list) {
    ini.EraseSection(section);
    for (int i = 0; i < list.Count(); ++i)
        ini.WriteString(section, prefix + std::to_string(i), list[i]);
}

void LoadListFromIni(const ini::IniFile& ini, const std::string& section, rtl::TStringList& list) {
    list.Clear();
    for (const std::string& line : ini.ReadSectionValues(section)) {
        size_t eq = line.find('=');
        list.Add(eq == std::string::npos ? std::string() : line.substr(eq + 1));
    }
}

void SaveFormatsToIni(ini::IniFile& ini, const TExportFormats& f) {
    ini.WriteString("FORMATS", "Integer", f.IntegerFormat());
    ini.WriteString("FORMATS", "Float", f.FloatFormat());
    ini.WriteString("FORMATS", "Date", f.DateFormat());
    ini.WriteString("FORMATS", "Time", f.TimeFormat());
    ini.WriteString("FORMATS", "DateTime", f.DateTimeFormat());
    ini.WriteString("FORMATS", "Currency", f.CurrencyFormat());
    ini.WriteString("FORMATS", "BooleanTrue", f.BooleanTrue());
    ini.WriteString("FORMATS", "BooleanFalse", f.BooleanFalse());
    ini.WriteString("FORMATS", "NullString", f.NullString());
}

void LoadFormatsFromIni(const ini::IniFile& ini, TExportFormats& f) {
    f.SetIntegerFormat(ini.ReadString("FORMATS", "Integer", f.IntegerFormat()));
    f.SetFloatFormat(ini.ReadString("FORMATS", "Float", f.FloatFormat()));
    f.SetDateFormat(ini.ReadString("FORMATS", "Date", f.DateFormat()));
    f.SetTimeFormat(ini.ReadString("FORMATS", "Time", f.TimeFormat()));
    f.SetDateTimeFormat(ini.ReadString("FORMATS", "DateTime", f.DateTimeFormat()));
    f.SetCurrencyFormat(ini.ReadString("FORMATS", "Currency", f.CurrencyFormat()));
    f.SetBooleanTrue(ini.ReadString("FORMATS", "BooleanTrue", f.BooleanTrue()));
    f.SetBooleanFalse(ini.ReadString("FORMATS", "BooleanFalse", f.BooleanFalse()));
    f.SetNullString(ini.ReadString("FORMATS", "NullString", f.NullString()));
}

void TExporter::SaveOptionsToIni(ini::IniFile& ini) const {
    ini.WriteBool("GENERAL", "GoToFirstRecord", GoToFirstRecord);
    ini.WriteBool("GENERAL", "ExportEmpty", ExportEmpty);
    ini.WriteBool("GENERAL", "CurrentRecordOnly", CurrentRecordOnly);
    ini.WriteInteger("GENERAL", "ExportRecCount", ExportRecCount);
    ini.WriteInteger("GENERAL", "SkipRecCount", SkipRecCount);
    ini.WriteBool("GENERAL", "OnlyVisibleFields", OnlyVisibleFields);
    ini.WriteBool("GENERAL", "AutocalcStrType", AutoCalcStrType);
    ini.WriteInteger("GENERAL", "CaptionRow", CaptionRow);
    SaveListToIni(ini, "FIELDS", "field", ExportedFields);
}

void TExporter::LoadOptionsFromIni(const ini::IniFile& ini) {
    GoToFirstRecord = ini.ReadBool("GENERAL", "GoToFirstRecord", GoToFirstRecord);
    ExportEmpty = ini.ReadBool("GENERAL", "ExportEmpty", ExportEmpty);
    CurrentRecordOnly = ini.ReadBool("GENERAL", "CurrentRecordOnly", CurrentRecordOnly);
    ExportRecCount = ini.ReadInteger("GENERAL", "ExportRecCount", ExportRecCount);
    SkipRecCount = ini.ReadInteger("GENERAL", "SkipRecCount", SkipRecCount);
    OnlyVisibleFields = ini.ReadBool("GENERAL", "OnlyVisibleFields", OnlyVisibleFields);
    AutoCalcStrType = ini.ReadBool("GENERAL", "AutocalcStrType", AutoCalcStrType);
    CaptionRow = ini.ReadInteger("GENERAL", "CaptionRow", CaptionRow);
    LoadListFromIni(ini, "FIELDS", ExportedFields);
}

void TExporterText::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporter::SaveOptionsToIni(ini);
    ini.WriteString("GENERAL", "FileName", FileName);
    ini.WriteBool("GENERAL", "ShowFile", ShowFile);
    ini.WriteBool("GENERAL", "PrintFile", PrintFile);
}

void TExporterText::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporter::LoadOptionsFromIni(ini);
    FileName = ini.ReadString("GENERAL", "FileName", FileName);
    ShowFile = ini.ReadBool("GENERAL", "ShowFile", ShowFile);
    PrintFile = ini.ReadBool("GENERAL", "PrintFile", PrintFile);
}

void TExporterAdvancedText::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporterText::SaveOptionsToIni(ini);
    SaveListToIni(ini, "HEADER", "line", Header);
    SaveListToIni(ini, "FOOTER", "line", Footer);
}

void TExporterAdvancedText::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporterText::LoadOptionsFromIni(ini);
    LoadListFromIni(ini, "HEADER", Header);
    LoadListFromIni(ini, "FOOTER", Footer);
}

void TExporterFormatText::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporterAdvancedText::SaveOptionsToIni(ini);
    ini.WriteBool("GENERAL", "AllowCaptions", AllowCaptions);
    SaveListToIni(ini, "CAPTIONS", "line", Captions);
    SaveFormatsToIni(ini, Formats);
    SaveListToIni(ini, "USER_FORMATS", "line", UserFormats);
}

void TExporterFormatText::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporterAdvancedText::LoadOptionsFromIni(ini);
    AllowCaptions = ini.ReadBool("GENERAL", "AllowCaptions", AllowCaptions);
    LoadListFromIni(ini, "CAPTIONS", Captions);
    LoadFormatsFromIni(ini, Formats);
    LoadListFromIni(ini, "USER_FORMATS", UserFormats);
}

void TExporterFormatTextSQL::SaveOptionsToIni(ini::IniFile& ini) const {
    TExporterAdvancedText::SaveOptionsToIni(ini);
    SaveFormatsToIni(ini, Formats);
    SaveListToIni(ini, "USER_FORMATS", "line", UserFormats);
}

void TExporterFormatTextSQL::LoadOptionsFromIni(const ini::IniFile& ini) {
    TExporterAdvancedText::LoadOptionsFromIni(ini);
    LoadFormatsFromIni(ini, Formats);
    LoadListFromIni(ini, "USER_FORMATS", UserFormats);
}

// ---------------------------------------------------------------------------------------------------
// File and memory runs

namespace {

fs::path ProgramDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : exe.parent_path();
}

bool AnyTargetExists(commit::CommitGroup& files) {
    std::error_code ec;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (fs::exists(files[i].resolvedTarget(), ec))
            return true;
    return false;
}

// The error of a run whose stream went bad: the write error a file of the group kept, with its cause
// (its commit refuses to put a file that failed in place and says why). Every new file is discarded.
EExportError WriteFailure(commit::CommitGroup& files, const std::string& fileName) {
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].good())
            continue;
        try {
            files[i].commit();
        } catch (const commit::CommitError& error) {
            files.discard();
            return ExportFileError(error);
        }
    }
    files.discard();
    return EExportError("Cannot write file \"" + fileName + "\". " + std::strerror(EIO));
}

} // namespace

EExportError ExportFileError(const commit::CommitError& error) {
    const char* action = error.stage() == commit::CommitError::Stage::Create ? "Cannot create file \""
                                                                             : "Cannot write file \"";
    return EExportError(action + error.path() + "\". " + error.reason());
}

void ForceExportDirectory(const std::string& fileName) {
    fs::path dir = fs::path(fileName).parent_path();
    if (dir.empty())
        dir = ProgramDirectory();
    std::error_code ec;
    if (!fs::exists(dir, ec)) {
        fs::create_directories(dir, ec);
        if (!fs::exists(dir, ec))
            throw EExportError(rtl::Format(ExportLoadStr(SDirectoryNotFound), {dir.string()}));
    }
}

void TExporterText::Execute() {
    ForceExportDirectory(FileName);
    commit::CommitGroup files;
    struct TRunGuard {
        TExporterText& exporter;
        ~TRunGuard() { exporter.outputFiles_ = nullptr; }
    } guard{*this};
    outputFiles_ = &files;
    std::ostream& out = *AddOutputFile(FileName);
    ExportToStream(out);
    outputFiles_ = nullptr;
    if (out.bad())
        throw WriteFailure(files, FileName);
    // An aborted export is incomplete: it never replaces a file of its set that was there before (the
    // table, its memo file).
    if (Aborted && AnyTargetExists(files)) {
        files.discard();
        return;
    }
    try {
        files.commit();
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
    ShowResult();
}

std::ostream* TExporterText::AddOutputFile(const std::string& fileName) {
    if (!outputFiles_)
        return nullptr;
    try {
        return &outputFiles_->add(fileName).stream();
    } catch (const commit::CommitError& error) {
        throw ExportFileError(error);
    }
}

void TExporterText::ShowResult() {
    if (Aborted)
        return;
    TExportShell& shell = Shell ? *Shell : DefaultExportShell();
    if (ShowFile)
        shell.Open(GetShowedFileName());
    if (PrintFile)
        shell.Print(GetPrintedFileName());
}

void TExporterMemory::Execute() {
    std::ostringstream stream(std::ios::binary);
    ExportToStream(stream);
    TExportClipboard& clipboard = Clipboard ? *Clipboard : DefaultExportClipboard();
    clipboard.SetText(stream.str());
}

} // namespace exporter
