#pragma once

// Single-byte character sets the exporters write (DOS and Windows code pages, Mac Roman and the PDF
// base encodings): Unicode to bytes and back.

#include "export/core/ExporterMarkup.h"
#include "platform/rtl/CodePage.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace exporter {

class TSingleByteCharset {
public:
    // toUnicode holds the character of every byte, 0 where the byte has none (byte 0 itself is NUL).
    explicit TSingleByteCharset(const std::array<char32_t, 256>& toUnicode);

    // The character of a byte; 0 when the byte has none.
    char32_t ToUnicode(unsigned char byte) const { return toUnicode_[byte]; }
    // The byte of a character, or -1 when the set lacks it.
    int ByteOf(char32_t ch) const { return ch < latin_.size() ? latin_[ch] : SearchByteOf(ch); }
    // UTF-8 text to bytes; a character the set lacks (and a malformed UTF-8 byte) becomes replacement.
    std::string Encode(std::string_view utf8, char replacement = '?') const;
    // The same into out, whose storage is reused.
    void EncodeInto(std::string& out, std::string_view utf8, char replacement = '?') const;
    // Calls f(byte, start, length) for each character of the UTF-8 text in turn: the byte Encode gives it,
    // where it starts in the text and how many bytes it takes there (one for a malformed byte).
    template <class F> void ForEachByte(std::string_view utf8, char replacement, F&& f) const {
        if (asciiAsItIs_ && rtl::AsciiPrefixLength(utf8) == utf8.size()) {
            for (size_t pos = 0; pos < utf8.size(); ++pos)
                f(utf8[pos], pos, size_t(1));
            return;
        }
        size_t pos = 0;
        while (pos < utf8.size()) {
            if (asciiAsItIs_ && (utf8[pos] & 0x80) == 0) {
                f(utf8[pos], pos, size_t(1));
                ++pos;
                continue;
            }
            char32_t ch = 0;
            const int length = ExportDecodeUtf8(utf8, pos, ch);
            if (length == 0) {
                f(replacement, pos, size_t(1));
                ++pos;
                continue;
            }
            const int byte = ByteOf(ch);
            f(byte >= 0 ? char(byte) : replacement, pos, size_t(length));
            pos += size_t(length);
        }
    }
    // Whether bytes 0-127 are the ASCII characters (and so each of them its own byte).
    bool AsciiAsItIs() const { return asciiAsItIs_; }
    // Whether every character of the UTF-8 text has a byte.
    bool CanEncode(std::string_view utf8) const;

private:
    std::array<char32_t, 256> toUnicode_;
    std::vector<std::pair<char32_t, unsigned char>> fromUnicode_; // sorted by character
    std::array<std::int16_t, 0x180> latin_;                       // ByteOf of the first characters
    int SearchByteOf(char32_t ch) const;
    bool asciiAsItIs_ = false; // whether bytes 0-127 are ASCII
};

// The set of a code page number: 437, 850, 866, 1250, 1251, 1252, 1257 and 10000 (Mac Roman); null for
// any other number. Bytes 0-127 are ASCII in all of them.
const TSingleByteCharset* CodePageCharset(int codePage);

// The PDF base encodings (PDF Reference, appendix D) other than WinAnsiEncoding, which is code page 1252.
const TSingleByteCharset& PDFStandardEncodingCharset();
const TSingleByteCharset& PDFDocEncodingCharset();

} // namespace exporter
