#pragma once

#include "export/xls/ExporterXLSStream.h"
#include "platform/rtl/ShortBytes.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace exporter {

// Raised when the output stream takes fewer bytes than asked.
class TxlsWriteError : public std::runtime_error {
public:
    TxlsWriteError();
};

// Writes all bytes or raises TxlsWriteError.
void WriteBuffer(TxlsStream& stream, const void* buffer, std::size_t count);
// Little-endian numbers, verified like WriteBuffer.
void WriteWord(TxlsStream& stream, std::uint16_t value);
void WriteDWord(TxlsStream& stream, std::uint32_t value);
// UTF-16 code units, little-endian.
void WriteWideChars(TxlsStream& stream, const char16_t* chars, std::size_t count);

// Store little-endian numbers into a buffer; raise std::out_of_range past its end.
void PutWord(std::span<std::uint8_t> buffer, std::size_t offset, std::uint16_t value);
void PutDWord(std::span<std::uint8_t> buffer, std::size_t offset, std::uint32_t value);
std::uint16_t GetWord(std::span<const std::uint8_t> buffer, std::size_t offset);
std::uint32_t GetDWord(std::span<const std::uint8_t> buffer, std::size_t offset);

// The 8-byte header of an Office drawing record: u16 version + 16 * instance, u16 type, u32 length.
void WriteMsoHeader(TxlsStream& stream, std::uint16_t version, std::uint16_t instance, std::uint16_t type,
                    std::uint32_t length);
// The same header stored into a buffer at position; position advances by 8.
void PutMsoHeader(std::span<std::uint8_t> buffer, std::size_t& position, std::uint16_t version,
                  std::uint16_t instance, std::uint16_t type, std::uint32_t length);

// UTF-8 text to UTF-16; a malformed byte becomes U+FFFD.
std::u16string Utf8ToWide(std::string_view utf8);
// The same into out, whose storage is reused (once per cell, without an allocation each time).
void Utf8ToWide(std::string_view utf8, std::u16string& out);

// Hashes for tables that pick a slot by the low bits: every bit of the input reaches them. Bytes as
// rtl::HashBytes; code units take a step each.
using rtl::HashBytes;
std::uint32_t HashUnits(std::u16string_view units);

// The length at which UTF-16 text is cut to at most most units: most itself, or one less where
// the cut would fall between the halves of a surrogate pair. Every place that cuts UTF-16 text
// goes through it, so that no reader meets half a character.
std::size_t Utf16CutLength(std::u16string_view text, std::size_t most);
// The text cut to at most most units by Utf16CutLength.
std::u16string CutUtf16(std::u16string_view text, std::size_t most);

} // namespace exporter
