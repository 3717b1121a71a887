#pragma once

// The exporter base: sources, columns, the current row, formats, events and the one record loop that the
// format exporters share. A format exporter overrides the virtual steps of the loop (BeginExport,
// WriteCaptionRow, WriteDataRow, EndExport, ...) and writes through Writer().
//
// The loop (DoExport, run by ExportToStream):
//   check the source (34014), active (34016), not empty when ExportEmpty is off (34017);
//   DisableControls ... (EnableControls however the loop ends);
//   BeginExport (an abort requested in OnBeginExport is asked about at its end) [abort there: stop;
//   an abort confirmed later in the format's own BeginExport: AfterExport, EndExport, stop];
//   width pre-pass when AutoCalcColWidth (asks per row) [abort: AfterExport, EndExport, stop];
//   WriteCaptionRow when AllowCaptions [abort: AfterExport, EndExport, stop];
//   First when GoToFirstRecord; BeforeExport [abort: AfterExport, EndExport, stop];
//   Skip SkipRecCount rows (OnSkippedRecord 1, 2, ..., asks per row) [abort: AfterExport, EndExport, stop];
//   per row, RecordCounter from 0: end test; ExportRecCount reached; an abort that OnStopExport does not
//   cancel; FillExportRow + OnBeforeExportRow; when accepted WriteDataRow + OnExportedRecord(RecordCounter);
//   CurrentRecordOnly ends after one row; Next;
//   AfterExport, EndExport.
// Texts are UTF-8 throughout; the writer stores them in the exporter's TextEncoding().
//
// Adding a format:
//   - derive from TExporterFormatText (captions, formats, header, footer), TExporterText (a file) or
//     TExporterMemory (the clipboard); override GetWriterClass to write with a TExportWriter descendant and
//     TextEncoding when the format carries only Windows-1252;
//   - override BeginExport / EndExport (call the base first / last: the base builds the columns and the
//     row, and fires OnBeginExport / OnEndExport), WriteCaptionRow (captions: GetColCaption(i)) and
//     WriteDataRow (cells: ExportRow[i].GetText(true) for formatted texts, Columns[i] for type, width,
//     alignment); NormalString escapes the format's special characters;
//   - return true from the Publishes... hooks for the per-column lists the format offers, so the column
//     list reads them (ColumnsWidth, ColumnsAlign, ColumnsLength, OnFetchedRecord);
//   - BeginExport must return early when Aborted is set after the base step (an OnBeginExport handler
//     aborted); an Abort override may only write through the writer while GetWriter() is not null;
//   - add the format's own keys in SaveOptionsToIni / LoadOptionsFromIni after the parent's;
//   - a writer that reaches its stream other than through Write / WriteLn (a position, a direct write, a
//     stream of its own under the writer's) calls FlushBuffer first, or takes the stream from Stream():
//     Write holds bytes back until a block is full.

#include "export/core/ExporterCommon.h"
#include "export/core/ExporterLocale.h"
#include "export/core/ExporterSources.h"
#include "export/core/ExporterTypes.h"
#include "platform/rtl/CodePage.h"
#include "platform/rtl/StringList.h"

#include <bitset>
#include <cstring>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace ini {
class IniFile;
}

namespace commit {
class CommitError;
class CommitGroup;
} // namespace commit

namespace exporter {

class TExporter;
class TqeCustomSource;

// Writes the output of one export to its stream. Format exporters derive their own writer from it.
// Texts are gathered in a block of the writer's own and reach the stream in large writes: whoever takes
// the stream (Stream()) gets it with every byte written so far, and FlushBuffer hands them over at once.
class TExportWriter {
public:
    TExportWriter(TExporter& owner, std::ostream& stream);
    // Hands the bytes still held to the stream.
    virtual ~TExportWriter();
    TExportWriter(const TExportWriter&) = delete;
    TExportWriter& operator=(const TExportWriter&) = delete;

    // "Left alignment", "Center alignment", "Right alignment".
    virtual std::string AlignToStr(TExportColAlign align) const;

    // The text's bytes (after the encoding), no terminator.
    void Write(std::string_view s) {
        if (encoding_ == TExportTextEncoding::Utf8)
            Put(s.data(), s.size());
        else
            PutWindows1252(s);
    }
    // The text followed by CR LF.
    void WriteLn(const std::string& s) {
        Write(s);
        Put("\r\n", 2);
    }
    // CR LF alone.
    void EmptyLine() { Put("\r\n", 2); }
    // count copies of ch, then CR LF (count <= 0: CR LF alone).
    void CharLine(char ch, int count);

    // Copies of ch in front of / behind s until it is len characters long; PadCenter puts
    // (len - length) div 2 in front and the rest behind. A text of len characters or more is unchanged.
    static std::string PadLeft(const std::string& s, char ch, int len);
    static std::string PadRight(const std::string& s, char ch, int len);
    static std::string PadCenter(const std::string& s, char ch, int len);

    TExporter& Owner() const { return owner_; }
    // The stream, after the bytes held so far have been handed to it: a format may write to it, ask its
    // position or move it to another file.
    std::ostream& Stream() const {
        FlushBuffer();
        return stream_;
    }
    // Hands the bytes held so far to the stream (a failed write leaves the stream bad, as any write does).
    void FlushBuffer() const {
        if (used_ != 0)
            WriteBuffer();
    }
    TExportTextEncoding Encoding() const { return encoding_; }
    // A UTF-8 text as Windows-1252 bytes; characters outside the code page become "?" unless a format
    // writer has its own escape for them (UnmappedCharacter).
    std::string ToWindows1252(const std::string& text) const;
    // What a character outside Windows-1252 is written as: appended to the bytes.
    virtual rtl::TUnmappedCharacter UnmappedCharacter() const;
    void SetEncoding(TExportTextEncoding encoding) { encoding_ = encoding; }

    // The size of the block gathered before the stream gets it: as large as the commit path's own buffer,
    // so that a full block passes that buffer without a second copy.
    static constexpr std::size_t kBufferSize = 256 * 1024;

protected:
    // Bytes already in the output's encoding, into the block as they are.
    void PutBytes(std::string_view bytes) { Put(bytes.data(), bytes.size()); }

private:
    // Appends bytes to the block (a block that would overflow goes to the stream first).
    void Put(const char* data, std::size_t size) {
        if (size <= kBufferSize - used_) {
            std::memcpy(buffer_.get() + used_, data, size);
            used_ += size;
        } else {
            PutLarge(data, size);
        }
    }
    void PutLarge(const char* data, std::size_t size);
    // The UTF-8 text as Windows-1252 bytes into the block.
    void PutWindows1252(std::string_view text);
    void WriteBuffer() const;

    TExporter& owner_;
    std::ostream& stream_;
    TExportTextEncoding encoding_;
    std::unique_ptr<char[]> buffer_;
    mutable std::size_t used_ = 0; // bytes of buffer_ not yet handed to the stream
    std::string bytes_;            // the Windows-1252 bytes of a text, before they join the block
};

// Opening and printing a written file through the desktop. The default goes to the desktop's handler
// (QDesktopServices / "lp"); tests install their own. Print raises EExportError when the file cannot
// be handed to the printer.
class TExportShell {
public:
    virtual ~TExportShell() = default;
    virtual void Open(const std::string& fileName) = 0;
    virtual void Print(const std::string& fileName) = 0;
};
TExportShell& DefaultExportShell();

// Runs the print command with the file as its argument and waits until it has taken the job; raises
// EExportError "Cannot print file "x". <cause>" when the command cannot be run or fails (its own
// message, or its exit code, is the cause).
void RunPrintCommand(const std::string& command, const std::string& fileName);

// The system clipboard's text. The default uses the application's clipboard (needs a Qt application).
class TExportClipboard {
public:
    virtual ~TExportClipboard() = default;
    virtual void SetText(const std::string& utf8) = 0;
};
TExportClipboard& DefaultExportClipboard();

class TExporter : public TExportCellHandler, public TExportColumnsOwner {
public:
    using TNotifyEvent = std::function<void(TExporter& sender)>;
    using TExportedRecordEvent = std::function<void(TExporter& sender, int recNo)>;
    using TExportStopEvent = std::function<void(TExporter& sender, bool& canContinue)>;
    using TGetExportTextEvent = std::function<void(TExporter& sender, int colNo, std::string& text)>;
    using TBeforeExportRowEvent = std::function<void(TExporter& sender, TExportRow& row, bool& accept)>;
    using TGetCellParamsEvent =
        std::function<void(TExporter& sender, int recNo, int colNo, const std::string& value,
                           TExportColAlign& align, TExportFont& font, TExportColor& background)>;

    TExporter();
    ~TExporter() override;
    TExporter(const TExporter&) = delete;
    TExporter& operator=(const TExporter&) = delete;

    // The one entry a user calls: runs an export (nothing in the base).
    virtual void Execute() {}
    // Writes the export to stream with a new writer (GetWriterClass); the writer exists only during the call.
    void ExportToStream(std::ostream& stream);
    // Asks the running loop to stop before the next row (an event handler or the progress window calls it).
    virtual void Abort() { Aborted = true; }
    bool IsAborted() const { return Aborted; }
    // The writer of the running export; null outside ExportToStream.
    TExportWriter* GetWriter() const { return writer_.get(); }
    TExportWriter& Writer() const;

    // Clears the reference when the given source object goes away.
    void Notification(const void* removed);

    // Saves / loads the settings under the options vocabulary (each class adds its keys after its parent's).
    virtual void SaveOptionsToIni(ini::IniFile& ini) const;
    virtual void LoadOptionsFromIni(const ini::IniFile& ini);

    // The escaping of the format (the text unchanged in the base).
    std::string NormalString(const std::string& s) const override { return s; }
    // A quick test of a text that NormalString leaves as it is (false where the format cannot tell).
    bool KeepsText(const std::string&) const override { return false; }

    // The source references of the current settings.
    TExportSources Sources() const;
    void LoadColumnsOwnerProperties(TExportOwnerProperties& properties) const override;

    // Fires OnGetCellParams (for the exporters that draw cells).
    void DoGetCellParams(int recNo, int colNo, const std::string& value, TExportColAlign& align,
                         TExportFont& font, TExportColor& background);

    // --- settings (defaults as stated) ---
    TExportSource ExportSource = TExportSource::esDataSet;
    TExportDataSet* DataSet = nullptr;
    TqeCustomSource* CustomSource = nullptr;
    TExportDBGrid* DBGrid = nullptr;
    TExportListView* ListView = nullptr;
    TExportStringGrid* StringGrid = nullptr;
    rtl::TStringList ExportedFields; // field names to export; empty: all
    std::string Title;
    rtl::TStringList Header;
    rtl::TStringList Captions; // Name=Caption
    bool AllowCaptions = true;
    rtl::TStringList Footer;
    TExportFormats Formats;
    rtl::TStringList UserFormats;   // Name=Format
    rtl::TStringList ColumnsWidth;  // Name=Width
    rtl::TStringList ColumnsAlign;  // Name=Left|Center|Right
    rtl::TStringList ColumnsLength; // Name=Length
    bool CurrentRecordOnly = false;
    bool GoToFirstRecord = true;
    int ExportRecCount = 0; // 0: no limit
    int SkipRecCount = 0;
    bool OnlyVisibleFields = false;
    bool AutoCalcStrType = false;
    bool AutoCalcColWidth = false;
    int CaptionRow = -1;
    bool ExportEmpty = true;
    std::string _Version = "1.20";
    std::string About = "(About Sarovel Tables)";

    // --- events ---
    TNotifyEvent OnBeginExport;
    TNotifyEvent OnEndExport;
    TExportedRecordEvent OnSkippedRecord;
    TExportedRecordEvent OnExportedRecord;
    TExportStopEvent OnStopExport;
    TGetExportTextEvent OnGetExportText;
    TBeforeExportRowEvent OnBeforeExportRow;
    TExportedRecordEvent OnFetchedRecord; // width pre-pass; published by the ASCII, clipboard, XLS exporters
    TGetCellParamsEvent OnGetCellParams;  // published by the HTML and PDF exporters

    // --- state of the running export ---
    int RecordCounter = 0;
    TExportColumns Columns;
    TExportRow ExportRow;

protected:
    // A pass over the rows to be exported before they are written (the skip and the limit as the export
    // takes them): visit(column, text, isNull) for each given column of each row, with the raw text as
    // OnGetExportText leaves it. The source's position is kept.
    using TColumnValueVisitor = std::function<void(int column, const std::string& text, bool isNull)>;
    void ReadColumnValues(const std::vector<int>& columns, const TColumnValueVisitor& visit);

    // The writer this exporter writes with (TExportWriter in the base).
    virtual std::unique_ptr<TExportWriter> GetWriterClass(std::ostream& stream);
    // How the writer stores texts (UTF-8 in the base).
    virtual TExportTextEncoding TextEncoding() const { return TExportTextEncoding::Utf8; }

    // Where the width pre-pass keeps the texts it makes for the rows to come (null: it keeps none). Asked
    // after BeginExport.
    virtual TExportKeptTexts* PrePassTexts() { return nullptr; }

    // The steps of the loop.
    virtual void BeginExport();
    virtual void BeforeExport() {}
    virtual void AfterExport() {}
    virtual void EndExport();
    virtual bool EndOfFile();
    virtual std::string GetCaptionRow();
    virtual void WriteCaptionRow() {}
    virtual void FillExportRow();
    virtual std::string GetDataRow(bool format);
    virtual void WriteDataRow() {}
    virtual std::string GetColCaption(int index);
    // Last say on a cell text (formatted or not, as GetText made it); the base leaves it unchanged.
    void GetColData(const TExportCol& col, std::string& text) override;
    // Formatting escapes numbers, dates and texts; Boolean and untyped values come through as they are.
    // Formats that escape every cell call this from their GetColData to pass those through NormalString.
    void EscapeUnformattedValue(const TExportCol& col, std::string& text) const {
        if (IsUnformattedValue(col))
            EscapeUnformattedText(text);
    }
    // Whether the cell holds a Boolean or untyped value (not NULL), which formatting leaves unescaped.
    bool IsUnformattedValue(const TExportCol& col) const {
        // Inline: most cells are typed, and their test is two look-ups.
        if (col.IsNull || col.ColumnIndex < 0 || col.ColumnIndex >= Columns.Count())
            return false;
        const TExportColType type = Columns.CheckedColumn(col.ColumnIndex).ColType;
        return type == TExportColType::ectBoolean || type == TExportColType::ectUnknown;
    }
    // text = NormalString(text), kept out of the tests above so that they stay small.
    void ReplaceByNormalString(std::string& text) const;
    // An unformatted text escaped unless the format keeps it (KeepsText).
    void EscapeUnformattedText(std::string& text) const;
    // The characters the format escapes (none in the base).
    virtual void GetSpecialCharacters(std::bitset<256>& chars) const { chars.reset(); }

    // The loop itself.
    void DoExport();
    // FillExportRow's read of a data set row or a list item in one call (no OnGetExportText handler is
    // set).
    void FillExportRowFrom(const TExportDataSet& dataSet);
    void FillExportRowFrom(const TExportListView& list);
    // After an abort request: whether the export goes on (OnStopExport may cancel the abort).
    bool DoStopExport();
    // An abort was requested and DoStopExport did not cancel it (the question is asked only when one was).
    bool AbortConfirmed();

    // Record access on the exporter's own source.
    void CheckSource() const;
    bool IsActive() const;
    bool IsEmpty() const;
    void DisableControls();
    void EnableControls();
    void First();
    void Next();
    void Skip();
    std::int64_t GetBookmark() const;
    void GoToBookmark(std::int64_t bookmark);
    void FreeBookmark(std::int64_t bookmark);

    // Whether the owner publishes the per-column lists (the column list reads only those).
    virtual bool PublishesFormats() const { return false; }
    virtual bool PublishesCaptions() const { return false; }
    virtual bool PublishesColumnsWidth() const { return false; }
    virtual bool PublishesColumnsAlign() const { return false; }
    virtual bool PublishesColumnsLength() const { return false; }
    virtual bool PublishesOnFetchedRecord() const { return false; }

    bool Aborted = false;

private:
    // Takes the pointers of the row read in one call anew, for count cells.
    void PrepareRowRead(std::size_t count);
    // Readies the row read in one call and sets each cell's field (or list column); the number of cells.
    std::size_t PrepareRowFields();

    std::unique_ptr<TExportWriter> writer_;
    // A data set row read in one call: the cells' columns, field indexes, texts and NULL states; the
    // pointers are taken again when the columns or cells change.
    std::vector<const TExportColumn*> rowColumns_;
    std::vector<int> rowFields_;
    std::vector<TExportCol*> rowCells_;
    std::uint64_t rowColumnsChanges_ = 0, rowCellsChanges_ = 0;
    std::vector<std::string*> rowTexts_;
    std::unique_ptr<bool[]> rowNulls_;
    // An abort confirmed in the base step of BeginExport, before the format wrote anything.
    bool abortedBeforeFormatBegan_ = false;
};

// Writes a file.
class TExporterText : public TExporter {
public:
    // Creates the directory when missing (34025 when it cannot), writes the export to FileName through
    // the commit path (an unpredictable temporary file beside it that replaces it only when every byte is
    // written; with the files the format adds, as one), then ShowResult. A file that cannot be written
    // raises "Cannot create file" or "Cannot write file" with the cause, and every old file stays.
    void Execute() override;
    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;

    std::string FileName;
    bool ShowFile = false;
    bool PrintFile = false;
    // Where "open" and "print" go; DefaultExportShell() when null.
    TExportShell* Shell = nullptr;

protected:
    // Opens / prints the file when asked to and the export was not aborted. A print command that
    // cannot run raises EExportError with its cause.
    virtual void ShowResult();
    virtual std::string GetShowedFileName() const { return FileName; }
    virtual std::string GetPrintedFileName() const { return FileName; }
    // During Execute: opens one more file that is committed together with FileName (a table's memo
    // file). Null when the export goes to a caller's stream.
    std::ostream* AddOutputFile(const std::string& fileName);
    // During Execute: true (the export goes to files, not to a caller's stream).
    bool WritesFiles() const { return outputFiles_ != nullptr; }

private:
    commit::CommitGroup* outputFiles_ = nullptr;
};

// Adds Header and Footer to the options.
class TExporterAdvancedText : public TExporterText {
public:
    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;
};

// Base of the RTF, XLS, HTML, ASCII, LaTeX and PDF exporters: captions and formats.
class TExporterFormatText : public TExporterAdvancedText {
public:
    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;

protected:
    bool PublishesFormats() const override { return true; }
    bool PublishesCaptions() const override { return true; }
};

// Base of the SQL exporter: formats.
class TExporterFormatTextSQL : public TExporterAdvancedText {
public:
    void SaveOptionsToIni(ini::IniFile& ini) const override;
    void LoadOptionsFromIni(const ini::IniFile& ini) override;

protected:
    bool PublishesFormats() const override { return true; }
};

// Exports into memory and puts the text on the clipboard.
class TExporterMemory : public TExporter {
public:
    void Execute() override;
    // Where the text goes; DefaultExportClipboard() when null.
    TExportClipboard* Clipboard = nullptr;
};

// The error of a file that could not be committed: "Cannot create file "x". <cause>" or
// "Cannot write file "x". <cause>".
EExportError ExportFileError(const commit::CommitError& error);

// Creates the directory of an export's file when it is missing (the program's directory when the name
// has none); raises 34025 when it cannot be created.
void ForceExportDirectory(const std::string& fileName);

// Options vocabulary helpers: a list as "<prefix>0", "<prefix>1", ... in its own section (erased first),
// and back (the value of every line of the section, in file order).
void SaveListToIni(ini::IniFile& ini, const std::string& section, const std::string& prefix,
                   const rtl::TStringList& list);
void LoadListFromIni(const ini::IniFile& ini, const std::string& section, rtl::TStringList& list);
void SaveFormatsToIni(ini::IniFile& ini, const TExportFormats& formats);
void LoadFormatsFromIni(const ini::IniFile& ini, TExportFormats& formats);

} // namespace exporter
