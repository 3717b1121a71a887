#include "export/xls/ExporterXLSRecords.h"

#include "export/xls/ExporterXLSConsts.h"
#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>

namespace exporter {

TbiffRecord::TbiffRecord(const void* owner, std::vector<std::uint8_t> data, std::uint16_t id)
    : owner_(owner), id_(id), data_(std::move(data)) {}

std::size_t TbiffRecord::GetTotalSize() const {
    return GetDataSize() + 4 + (continuation_ ? continuation_->GetTotalSize() : 0);
}

void TbiffRecord::SaveToStream(TxlsStream* stream) const {
    if (stream == nullptr)
        return;
    const std::size_t size = std::min(GetDataSize(), data_.size());
    std::size_t chunk = std::min(size, MAX_RECORD_CHUNK_SIZE);
    WriteWord(*stream, id_);
    WriteWord(*stream, static_cast<std::uint16_t>(chunk));
    WriteBuffer(*stream, data_.data(), chunk);
    std::size_t written = chunk;
    while (written < size) {
        chunk = std::min(size - written, MAX_RECORD_CHUNK_SIZE);
        WriteWord(*stream, BIFF_CONTINUE);
        WriteWord(*stream, static_cast<std::uint16_t>(chunk));
        WriteBuffer(*stream, data_.data() + written, chunk);
        written += chunk;
    }
    if (continuation_)
        continuation_->SaveToStream(stream);
}

void TbiffRecord::Clear() {
    std::fill(data_.begin(), data_.end(), 0);
}

void TbiffRecord::SetByte(std::size_t offset, std::uint8_t value) {
    data_.at(offset) = value;
}

void TbiffRecord::SetWord(std::size_t offset, std::uint16_t value) {
    PutWord(data_, offset, value);
}

void TbiffRecord::SetDWord(std::size_t offset, std::uint32_t value) {
    PutDWord(data_, offset, value);
}

void TbiffRecord::SetWideChars(std::size_t offset, const std::u16string& text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        SetWord(offset + 2 * i, text[i]);
}

TbiffBoundSheet::TbiffBoundSheet(const void* owner, const std::u16string& name)
    : TbiffRecord(owner, std::vector<std::uint8_t>(2 * Utf16CutLength(name, 255) + 8), BIFF_BOUNDSHEET) {
    const std::u16string text = CutUtf16(name, 255);
    SetByte(6, static_cast<std::uint8_t>(text.size()));
    SetByte(7, 1);
    SetWideChars(8, text);
}

TbiffCountry::TbiffCountry(const void* owner)
    : TbiffRecord(owner, std::vector<std::uint8_t>(4), BIFF_COUNTRY) {}

TbiffFont::TbiffFont(const void* owner, const std::u16string& name)
    : TbiffRecord(owner, std::vector<std::uint8_t>(2 * Utf16CutLength(name, 255) + 16), BIFF_FONT) {
    const std::u16string text = CutUtf16(name, 255);
    SetByte(14, static_cast<std::uint8_t>(text.size()));
    SetByte(15, 1);
    SetWideChars(16, text);
}

TbiffXF::TbiffXF(const void* owner) : TbiffRecord(owner, std::vector<std::uint8_t>(Size), BIFF_XF) {}

TbiffXF::TbiffXF(const void* owner, const std::uint8_t (&bytes)[Size])
    : TbiffRecord(owner, std::vector<std::uint8_t>(bytes, bytes + Size), BIFF_XF) {}

TbiffFormat::TbiffFormat(const void* owner, std::uint16_t index, const std::u16string& text)
    : TbiffRecord(owner, std::vector<std::uint8_t>(2 * Utf16CutLength(text, 255) + 5), BIFF_FORMAT) {
    const std::u16string cutText = CutUtf16(text, 255);
    SetWord(0, index);
    SetWord(2, static_cast<std::uint16_t>(cutText.size()));
    SetByte(4, 1);
    SetWideChars(5, cutText);
}

TbiffStyle::TbiffStyle(const void* owner, const std::uint8_t (&bytes)[4])
    : TbiffRecord(owner, std::vector<std::uint8_t>(bytes, bytes + 4), BIFF_STYLE) {}

TbiffSupbookInternal::TbiffSupbookInternal(const void* owner, std::uint16_t sheetCount)
    : TbiffRecord(owner, std::vector<std::uint8_t>(4), BIFF_SUPBOOK) {
    SetWord(0, sheetCount);
    SetWord(2, SUPBOOK_INTERNAL_MARKER);
}

TbiffExternSheet::TbiffExternSheet(const void* owner, std::uint16_t count)
    : TbiffRecord(owner, std::vector<std::uint8_t>(6 * std::size_t(count) + 2), BIFF_EXTERNSHEET) {
    PutWord(Data(), 0, count);
}

void TbiffExternSheet::SetEntry(std::size_t index, std::uint16_t supbook, std::uint16_t firstSheet,
                                std::uint16_t lastSheet) {
    const std::size_t at = 2 + 6 * index;
    SetWord(at, supbook);
    SetWord(at + 2, firstSheet);
    SetWord(at + 4, lastSheet);
}

TbiffMSODrawingGroup::TbiffMSODrawingGroup(const void* owner, std::vector<std::uint8_t> data)
    : TbiffRecord(owner, std::move(data), BIFF_MSODRAWINGGROUP) {}

} // namespace exporter
