#pragma once

#include "export/xls/ExporterXLSStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace exporter {

// One BIFF8 record held in memory: an id and a data block, optionally followed by an attached
// record that is written right after it.
class TbiffRecord {
public:
    // Takes ownership of the data block. Owner is the object that built the record; it is kept only.
    TbiffRecord(const void* owner, std::vector<std::uint8_t> data, std::uint16_t id);
    virtual ~TbiffRecord() = default;
    TbiffRecord(const TbiffRecord&) = delete;
    TbiffRecord& operator=(const TbiffRecord&) = delete;

    virtual std::size_t GetDataSize() const { return data_.size(); }
    // Data size + 4 for the header, plus the attached record's total size. The headers of the
    // CONTINUE records the data is split into are not counted.
    virtual std::size_t GetTotalSize() const;
    // Writes the header and the data in chunks of at most 8220 bytes, every chunk after the
    // first as a CONTINUE record, then the attached record. Does nothing without a stream.
    // A short write raises TxlsWriteError.
    virtual void SaveToStream(TxlsStream* stream) const;
    // Fills the data block with zero bytes.
    virtual void Clear();

    std::uint16_t ID() const { return id_; }
    const void* Owner() const { return owner_; }
    const std::vector<std::uint8_t>& Data() const { return data_; }
    std::vector<std::uint8_t>& Data() { return data_; }

    void SetContinuation(std::unique_ptr<TbiffRecord> record) { continuation_ = std::move(record); }
    const TbiffRecord* Continuation() const { return continuation_.get(); }

protected:
    void SetByte(std::size_t offset, std::uint8_t value);
    void SetWord(std::size_t offset, std::uint16_t value);
    void SetDWord(std::size_t offset, std::uint32_t value);
    // u16 code units from offset on.
    void SetWideChars(std::size_t offset, const std::u16string& text);

private:
    const void* owner_;
    std::uint16_t id_;
    std::vector<std::uint8_t> data_;
    std::unique_ptr<TbiffRecord> continuation_;
};

// BOUNDSHEET: where a sheet's substream starts, its visibility, type and name (UTF-16; a name
// longer than 255 characters is cut, the length field being one byte).
class TbiffBoundSheet : public TbiffRecord {
public:
    TbiffBoundSheet(const void* owner, const std::u16string& name);
    void SetStreamOffset(std::uint32_t offset) { SetDWord(0, offset); }
    void SetVisibility(std::uint8_t visibility) { SetByte(4, visibility); }
    void SetSheetType(std::uint8_t type) { SetByte(5, type); }
};

// COUNTRY: default and Windows country codes.
class TbiffCountry : public TbiffRecord {
public:
    explicit TbiffCountry(const void* owner);
    void SetDefaultCountry(std::uint16_t country) { SetWord(0, country); }
    void SetWindowsCountry(std::uint16_t country) { SetWord(2, country); }
};

// FONT: one font of the workbook; the name in UTF-16 (cut at 255 characters).
class TbiffFont : public TbiffRecord {
public:
    TbiffFont(const void* owner, const std::u16string& name);
    void SetHeight(std::uint16_t twips) { SetWord(0, twips); }
    void SetOptions(std::uint16_t flags) { SetWord(2, flags); }
    void SetColorIndex(std::uint16_t color) { SetWord(4, color); }
    void SetWeight(std::uint16_t weight) { SetWord(6, weight); }
    void SetEscapement(std::uint16_t escapement) { SetWord(8, escapement); }
    void SetUnderline(std::uint8_t underline) { SetByte(10, underline); }
    void SetFamily(std::uint8_t family) { SetByte(11, family); }
    void SetCharset(std::uint8_t charset) { SetByte(12, charset); }
};

// XF: 20 bytes of cell or style formatting.
class TbiffXF : public TbiffRecord {
public:
    static constexpr std::size_t Size = 20;
    // A zero-filled XF, or one holding a copy of the 20 given bytes.
    explicit TbiffXF(const void* owner);
    TbiffXF(const void* owner, const std::uint8_t (&bytes)[Size]);
    void SetFontIndex(std::uint16_t index) { SetWord(0, index); }
    void SetFormatIndex(std::uint16_t index) { SetWord(2, index); }
    void SetTypeProtection(std::uint16_t value) { SetWord(4, value); }
    void SetAlignment(std::uint16_t value) { SetWord(6, value); }
    void SetIndentAndUsedAttributes(std::uint16_t value) { SetWord(8, value); }
    void SetBorderStyles(std::uint16_t value) { SetWord(10, value); }
    void SetSideBorderColors(std::uint16_t value) { SetWord(12, value); }
    void SetOtherBorderColorsAndPattern(std::uint32_t value) { SetDWord(14, value); }
    void SetPatternColors(std::uint16_t value) { SetWord(18, value); }
};

// FORMAT: a number format text with its index, in UTF-16 (option 1); cut at 255 characters, the
// most a number format holds.
class TbiffFormat : public TbiffRecord {
public:
    TbiffFormat(const void* owner, std::uint16_t index, const std::u16string& text);
};

// STYLE: 4 bytes copied from the built-in style table.
class TbiffStyle : public TbiffRecord {
public:
    TbiffStyle(const void* owner, const std::uint8_t (&bytes)[4]);
};

// SUPBOOK for references inside this workbook.
class TbiffSupbookInternal : public TbiffRecord {
public:
    TbiffSupbookInternal(const void* owner, std::uint16_t sheetCount);
};

// EXTERNSHEET: a count and that many references (SUPBOOK index, first and last sheet).
class TbiffExternSheet : public TbiffRecord {
public:
    TbiffExternSheet(const void* owner, std::uint16_t count);
    void SetEntry(std::size_t index, std::uint16_t supbook, std::uint16_t firstSheet,
                  std::uint16_t lastSheet);
};

// MSODRAWINGGROUP: the serialised drawing-group container, of any size (split through CONTINUE
// records when written).
class TbiffMSODrawingGroup : public TbiffRecord {
public:
    TbiffMSODrawingGroup(const void* owner, std::vector<std::uint8_t> data);
};

} // namespace exporter
