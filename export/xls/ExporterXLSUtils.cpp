#include "export/xls/ExporterXLSUtils.h"

#include "export/xls/ExporterXLSConsts.h"

#include <bit>
#include <cstring>
#include <vector>

namespace exporter {

namespace {

void checkRoom(std::size_t size, std::size_t offset, std::size_t count) {
    if (offset > size || size - offset < count)
        throw std::out_of_range("Record buffer overflow");
}

} // namespace

TxlsWriteError::TxlsWriteError() : std::runtime_error(ERROR_WRITING_OUTPUT_FILE) {}

void WriteBuffer(TxlsStream& stream, const void* buffer, std::size_t count) {
    if (count != 0 && stream.Write(buffer, count) != count)
        throw TxlsWriteError();
}

void WriteWord(TxlsStream& stream, std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    WriteBuffer(stream, bytes, 2);
}

void WriteDWord(TxlsStream& stream, std::uint32_t value) {
    std::uint8_t bytes[4];
    PutDWord(bytes, 0, value);
    WriteBuffer(stream, bytes, 4);
}

void WriteWideChars(TxlsStream& stream, const char16_t* chars, std::size_t count) {
    std::vector<std::uint8_t> bytes(2 * count);
    for (std::size_t i = 0; i < count; ++i)
        PutWord(bytes, 2 * i, chars[i]);
    WriteBuffer(stream, bytes.data(), bytes.size());
}

void PutWord(std::span<std::uint8_t> buffer, std::size_t offset, std::uint16_t value) {
    checkRoom(buffer.size(), offset, 2);
    buffer[offset] = static_cast<std::uint8_t>(value);
    buffer[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutDWord(std::span<std::uint8_t> buffer, std::size_t offset, std::uint32_t value) {
    checkRoom(buffer.size(), offset, 4);
    for (std::size_t i = 0; i < 4; ++i)
        buffer[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t GetWord(std::span<const std::uint8_t> buffer, std::size_t offset) {
    checkRoom(buffer.size(), offset, 2);
    return static_cast<std::uint16_t>(buffer[offset] | buffer[offset + 1] << 8);
}

std::uint32_t GetDWord(std::span<const std::uint8_t> buffer, std::size_t offset) {
    checkRoom(buffer.size(), offset, 4);
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(buffer[offset + i]) << (8 * i);
    return value;
}

void WriteMsoHeader(TxlsStream& stream, std::uint16_t version, std::uint16_t instance, std::uint16_t type,
                    std::uint32_t length) {
    std::uint8_t bytes[8];
    std::size_t position = 0;
    PutMsoHeader(bytes, position, version, instance, type, length);
    WriteBuffer(stream, bytes, 8);
}

void PutMsoHeader(std::span<std::uint8_t> buffer, std::size_t& position, std::uint16_t version,
                  std::uint16_t instance, std::uint16_t type, std::uint32_t length) {
    checkRoom(buffer.size(), position, 8);
    PutWord(buffer, position, static_cast<std::uint16_t>(version + 16 * instance));
    PutWord(buffer, position + 2, type);
    PutDWord(buffer, position + 4, length);
    position += 8;
}

std::u16string Utf8ToWide(std::string_view utf8) {
    std::u16string out;
    Utf8ToWide(utf8, out);
    return out;
}

void Utf8ToWide(std::string_view utf8, std::u16string& out) {
    out.clear();
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = 0;
        char32_t cp = 0;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2) {
            extra = 1;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        bool valid = i + static_cast<std::size_t>(extra) < utf8.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are malformed.
        if (valid && ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                      (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
            valid = false;
        if (!valid) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
}

namespace {

constexpr std::uint64_t HashSeed = 14695981039346656037ull;
constexpr std::uint64_t HashPrime = 1099511628211ull;

} // namespace

std::uint32_t HashUnits(std::u16string_view units) {
    std::uint64_t hash = HashSeed;
    for (const char16_t unit : units)
        hash = (hash ^ unit) * HashPrime;
    return rtl::HashFinish(hash);
}

std::size_t Utf16CutLength(std::u16string_view text, std::size_t most) {
    if (text.size() <= most)
        return text.size();
    const bool splitsPair = most > 0 && text[most - 1] >= 0xD800 && text[most - 1] <= 0xDBFF &&
                            text[most] >= 0xDC00 && text[most] <= 0xDFFF;
    return splitsPair ? most - 1 : most;
}

std::u16string CutUtf16(std::u16string_view text, std::size_t most) {
    return std::u16string(text.substr(0, Utf16CutLength(text, most)));
}

} // namespace exporter
