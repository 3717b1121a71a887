#pragma once

#include <cstddef>
#include <cstdint>

namespace exporter {

// BIFF8 record ids.
constexpr std::uint16_t BIFF_EXTERNSHEET = 0x0017;
constexpr std::uint16_t BIFF_FONT = 0x0031;
constexpr std::uint16_t BIFF_CONTINUE = 0x003C;
constexpr std::uint16_t BIFF_COLINFO = 0x007D;
constexpr std::uint16_t BIFF_BOUNDSHEET = 0x0085;
constexpr std::uint16_t BIFF_COUNTRY = 0x008C;
constexpr std::uint16_t BIFF_MSODRAWINGGROUP = 0x00EB;
constexpr std::uint16_t BIFF_SST = 0x00FC;
constexpr std::uint16_t BIFF_XF = 0x00E0;
constexpr std::uint16_t BIFF_SUPBOOK = 0x01AE;
constexpr std::uint16_t BIFF_STYLE = 0x0293;
constexpr std::uint16_t BIFF_FORMAT = 0x041E;

// The most data bytes a BIFF8 record carries.
constexpr std::size_t MAX_RECORD_DATA_SIZE = 8224;
// The chunk size in which a record object splits its data into CONTINUE records.
constexpr std::size_t MAX_RECORD_CHUNK_SIZE = 8220;
// The marker of an internal-references SUPBOOK record.
constexpr std::uint16_t SUPBOOK_INTERNAL_MARKER = 0x0401;
// The most characters a cell text holds.
constexpr std::size_t MAX_CELL_TEXT_LENGTH = 32767;

// The message of a short write to the output stream.
constexpr const char* ERROR_WRITING_OUTPUT_FILE = "Error writing output file";

} // namespace exporter
