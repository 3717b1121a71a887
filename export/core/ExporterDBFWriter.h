#pragma once

// The bytes of a dBase III table (.dbf) and its memo file (.dbt).
//
// Table: a 32-byte header, one 32-byte descriptor per field, 0x0D, fixed-length records (a deletion
// byte, then the fields) and 0x1A. Memo file: 512-byte blocks; block 0 holds the next free block number;
// each memo takes whole blocks from its first one: its bytes, 0x1A 0x1A, zero padding.

#include "export/core/Exporter.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

struct TDBFField {
    std::string Name; // Windows-1252, upper case, at most 10 bytes
    char Type = 'C';  // 'C', 'N', 'D', 'L' or 'M'
    int Offset = 0;   // within the record, without the deletion byte
    int Length = 0;
    int Decimals = 0;
};

class TDBFWriter : public TExportWriter {
public:
    static constexpr int HeaderSize = 32;
    static constexpr int DescriptorSize = 32;
    static constexpr int MemoBlockSize = 512;
    static constexpr int MaxFieldLength = 255;
    // The language driver byte of the header for Windows-1252.
    static constexpr int LanguageDriverWindows1252 = 0x03;

    TDBFWriter(TExporter& owner, std::ostream& stream);
    ~TDBFWriter() override;

    // Appends a field descriptor after the ones already added. A length or decimal count outside 0..255,
    // or a table whose header or record would exceed 65535 bytes, raises the range error.
    void AddField(const std::string& name, char type, int length, int decimals);
    int FieldCount() const { return int(fields_.size()); }
    const TDBFField& Field(int index) const { return fields_.at(size_t(index)); }
    bool HasMemoFields() const;
    int HeaderLength() const { return HeaderSize + DescriptorSize * FieldCount() + 1; }
    int RecordLength() const;

    // The header record for the date given, the descriptors and 0x0D. With memo fields and a memo
    // stream (repositionable) the version byte is 0x83 and the memo file gets its block 0; else it is 3.
    // A failing memo write leaves the memo stream bad, for the stream's owner to report.
    void WriteHeader(int year, int month, int day, std::ostream* memo);
    // One field of a record (UTF-8 text, stored as Windows-1252), appended to the record's bytes: a
    // record's fields are gathered and written at once.
    void AppendFieldValue(std::string& record, int index, const std::string& text);
    // A record of the fields gathered (all of them, or those before a failure): the deletion byte, then
    // the bytes; the record count is raised.
    void WriteRecord(std::string_view fields);
    // The end-of-file byte 0x1A after the last record, and the record count into the header.
    void WriteEndOfFile();
    // Writes the bytes as a memo from the next free block on, whatever their size; returns its first
    // block, or -1 when there is no memo file or nothing to write.
    int WriteMemo(const std::string& bytes);
    // Stores the next free block number in block 0 and ends the memo file (nothing when there is none).
    void CloseMemo();
    bool MemoOpen() const { return memo_ != nullptr; }

    int RecordCount() const { return recordCount_; }
    int NextMemoBlock() const { return nextBlock_; }

    // The text of a field as the record stores it (exactly Length bytes).
    static std::string FieldBytes(const TDBFField& field, const std::string& text);
    // The same appended to out; a date field's texts are formatted through dates when given (the memo of
    // one column: TExportDateTexts), with the same bytes, into dateText when given (storage reused from
    // call to call).
    static void AppendFieldBytes(std::string& out, const TDBFField& field, const std::string& text,
                                 TExportDateTexts* dates, std::string* dateText = nullptr);

private:
    // Bytes already in the table's code page, into the writer's block.
    void WriteBytes(std::string_view bytes);
    void StartRecord();

    std::vector<TDBFField> fields_;
    std::string header_; // the 32-byte header record
    std::streamoff headerPos_ = -1;
    int recordCount_ = 0;
    std::ostream* memo_ = nullptr;
    int nextBlock_ = 1;
    std::vector<TExportDateTexts> dateTexts_; // by field: the date texts met and their bytes
    std::string dateText_;                    // a date field's formatted text
};

} // namespace exporter
