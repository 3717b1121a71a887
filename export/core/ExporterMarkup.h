#pragma once

// Text helpers shared by the markup exporters (HTML, XML, LaTeX).

#include "platform/rtl/ShortBytes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace exporter {

// A row's bytes gathered in storage kept from row to row and written at once. The storage's size runs
// ahead of the bytes put in (room is made before each piece or group of pieces), so that every piece is
// copied without a check of its own; it keeps that size from row to row, so that it is not filled again.
class TExportRowBytes {
public:
    explicit TExportRowBytes(std::string& storage) : storage_(storage) {}
    // Room for the given number of bytes after those put in so far.
    void MakeRoom(size_t bytes) {
        if (used_ + bytes > storage_.size())
            storage_.resize(std::max({storage_.capacity(), 2 * storage_.size(), used_ + bytes}));
    }
    void Put(std::string_view piece) {
        rtl::CopyShortBytes(storage_.data() + used_, piece.data(), piece.size());
        used_ += piece.size();
    }
    void Put(char byte) { storage_[used_++] = byte; }
    // Where the next byte goes, for a writer that fills the room itself; Advance takes its end.
    char* End() { return storage_.data() + used_; }
    void Advance(char* end) { used_ = size_t(end - storage_.data()); }
    std::string_view Bytes() const { return std::string_view(storage_.data(), used_); }

private:
    std::string& storage_;
    size_t used_ = 0;
};

// The text with every malformed UTF-8 byte and every control character other than TAB, LF and CR
// replaced by "?", and each of the noncharacters U+FFFE and U+FFFF by one "?": none of the markup formats
// can carry them.
std::string ExportCleanText(std::string_view text);

// The text with the four markup characters written as the entities "&quot;", "&amp;", "&lt;" and "&gt;"
// (after ExportCleanText); for attribute values and link targets.
std::string ExportEntityText(std::string_view text);

// Decodes the UTF-8 character at text[pos]; returns its length in bytes (0 when malformed).
int ExportDecodeUtf8(std::string_view text, size_t pos, char32_t& ch);

// The ASCII bytes a markup format changes: the control bytes but the tab (and but LF and CR when line
// breaks are kept), and with markup the four characters that have entities. With references, the tab, CR
// and LF are changed too, each into its character reference ("&#9;", "&#13;", "&#10;": an XML attribute
// value keeps them only so).
struct TExportChangedBytes {
    constexpr TExportChangedBytes(bool keepLineBreaks, bool markup, bool references = false)
        : Changed(), Markup(markup), References(references) {
        for (int c = 0; c < 0x20; ++c)
            Changed[c] = references || (c != '\t' && !(keepLineBreaks && (c == '\n' || c == '\r')));
        if (markup)
            for (char c : {'"', '&', '<', '>'})
                Changed[static_cast<unsigned char>(c)] = true;
    }
    bool Changed[0x80];
    bool Markup;
    bool References;
};

// The position of the first byte at or after pos that the format changes: an ASCII byte marked in
// changed, or the first byte of a malformed UTF-8 sequence (well-formed characters beyond ASCII are
// kept). The text's size when there is none.
size_t ExportNextChangedByte(std::string_view text, size_t pos, const TExportChangedBytes& changed);

// The text with each byte that changed marks replaced: one of the four markup characters by its entity, a
// line break (CR LF, a lone CR or a lone LF) by lineBreak (with references: the tab, CR and LF each by its
// reference), any other (a control byte, or the first byte of a malformed sequence) by "?"; U+FFFE and
// U+FFFF, which ExportDecodeUtf8 refuses, are one "?" each. Runs of unchanged bytes are copied whole.
std::string ExportReplaceChangedBytes(std::string_view text, const TExportChangedBytes& changed,
                                      std::string_view lineBreak = {});

// The most bytes ExportWriteReplacedBytes writes for a text of size bytes: a byte becomes at most an
// entity of six or the line break.
inline size_t ExportReplacedBytesBound(size_t size, std::string_view lineBreak) {
    return size * (lineBreak.size() > 6 ? lineBreak.size() : 6);
}

// ExportWriteReplacedBytes of a text that is not told apart by one look at sixteen bytes.
char* ExportWriteReplacedLongBytes(char* out, std::string_view text, const TExportChangedBytes& changed,
                                   std::string_view lineBreak);

// Eight bytes of a text at a time (there must be eight from pos), for the quick tests of the escaping.
inline std::uint64_t ExportWordAt(std::string_view text, size_t pos) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + pos, sizeof word);
    return word;
}

// Which bytes of two words may be ones that a markup format changes, or ones beyond ASCII (decoded one
// by one): bit i for byte i of low, bit 8 + i for byte i of high. The lowest bit set in each word is always
// such a byte. '"' and '&' differ only in bit 2, '<' and '>' only in bit 1: one comparison covers each pair.
[[gnu::always_inline]] inline unsigned ExportFoundBytes(std::uint64_t low, std::uint64_t high, bool markup) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_set_epi64x(std::int64_t(high), std::int64_t(low));
    // A signed comparison: the bytes below 0x20 and those from 0x80 on at once.
    __m128i found = _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20));
    if (markup) {
        found =
            _mm_or_si128(found, _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x04)), _mm_set1_epi8('&')));
        found =
            _mm_or_si128(found, _mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(0x02)), _mm_set1_epi8('>')));
    }
    return unsigned(_mm_movemask_epi8(found));
#else
    // Only the lowest byte found in a word is certain (a borrow runs upwards only): that one is given.
    constexpr std::uint64_t ones = 0x0101010101010101ULL, highs = 0x8080808080808080ULL;
    const auto lowest = [markup](std::uint64_t word) {
        std::uint64_t bits = ((word - ones * 0x20) | word) & highs;
        if (markup) {
            const std::uint64_t quoteOrAmp = (word | ones * 0x04) ^ (ones * '&');
            const std::uint64_t angle = (word | ones * 0x02) ^ (ones * '>');
            bits |= ((quoteOrAmp - ones) & ~quoteOrAmp & highs) | ((angle - ones) & ~angle & highs);
        }
        return bits == 0 ? 0u : 1u << (std::countr_zero(bits) / 8);
    };
    return lowest(low) | lowest(high) << 8;
#endif
}

// Sixteen bytes of a text from pos looked at as two words, found(low, high) giving a bit per byte as
// ExportFoundBytes does (the lowest bit set always a byte looked for; a blank never one): bit i for the
// byte at pos + i. A shorter rest is read as overlapping pieces, blanks filling what is left, so that no
// byte outside the text is read; their bits are moved back to where the pieces lie.
template <class TFound>
[[gnu::always_inline]] inline unsigned ExportBlockMask(std::string_view text, size_t pos,
                                                       const TFound& found) {
    constexpr std::uint64_t blanks = 0x2020202020202020ULL;
    const char* const bytes = text.data() + pos;
    const size_t rest = text.size() - pos;
    if (rest >= 16)
        return found(ExportWordAt(text, pos), ExportWordAt(text, pos + 8));
    if (rest >= 8) {
        const unsigned bits = found(ExportWordAt(text, pos), ExportWordAt(text, pos + rest - 8));
        return (bits & 0xFF) | (bits >> 8) << (rest - 8);
    }
    if (rest >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, bytes, sizeof first);
        std::memcpy(&last, bytes + rest - 4, sizeof last);
        const unsigned bits = found(first | std::uint64_t(last) << 32, blanks);
        return (bits & 0xF) | (bits >> 4 & 0xF) << (rest - 4);
    }
    const auto byte = [&](size_t i) { return std::uint64_t(static_cast<unsigned char>(bytes[i])); };
    const unsigned bits =
        found((blanks << 24) | byte(0) | byte(rest / 2) << 8 | byte(rest - 1) << 16, blanks);
    return (bits & 1) | (bits >> 1 & 1) << (rest / 2) | (bits >> 2 & 1) << (rest - 1);
}

// Which of the (at most) sixteen bytes of a text from pos may be ones that a markup format changes, or
// ones beyond ASCII: bit i for the byte at pos + i; the lowest bit set is always such a byte.
[[gnu::always_inline]] inline unsigned ExportChangeMask(std::string_view text, size_t pos, bool markup) {
    return ExportBlockMask(text, pos, [markup](std::uint64_t low, std::uint64_t high) {
        return ExportFoundBytes(low, high, markup);
    });
}

// Whether a text of at most 32 bytes holds neither a byte that a markup format changes nor one beyond
// ASCII (false for a longer text): ExportChangeMask's test of at most two blocks, without the positions.
[[gnu::always_inline]] inline bool ExportShortTextIsPlain(std::string_view text, bool markup) {
    const size_t size = text.size();
    if (size >= 8) {
        if (size > 32)
            return false;
        if (size <= 16)
            return ExportFoundBytes(ExportWordAt(text, 0), ExportWordAt(text, size - 8), markup) == 0;
        return (ExportFoundBytes(ExportWordAt(text, 0), ExportWordAt(text, 8), markup) |
                ExportFoundBytes(ExportWordAt(text, size - 16), ExportWordAt(text, size - 8), markup)) == 0;
    }
    return size == 0 || ExportChangeMask(text, 0, markup) == 0;
}

// The bytes of ExportReplaceChangedBytes written to out, which has room for ExportReplacedBytesBound of
// them; returns the end of the bytes written. One scan; a text of up to 32 bytes without changed bytes or
// bytes beyond ASCII, the usual cell, is copied without a call.
inline char* ExportWriteReplacedBytes(char* out, std::string_view text, const TExportChangedBytes& changed,
                                      std::string_view lineBreak = {}) {
    if (ExportShortTextIsPlain(text, changed.Markup)) {
        rtl::CopyShortBytes(out, text.data(), text.size());
        return out + text.size();
    }
    return ExportWriteReplacedLongBytes(out, text, changed, lineBreak);
}

} // namespace exporter
