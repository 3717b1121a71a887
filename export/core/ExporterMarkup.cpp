#include "export/core/ExporterMarkup.h"

#include <algorithm>

namespace exporter {

int ExportDecodeUtf8(std::string_view text, size_t pos, char32_t& ch) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    int length = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        ch = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        ch = lead & 0x1F;
        min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        ch = lead & 0x0F;
        min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        ch = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (pos + size_t(length) > text.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + size_t(i));
        if ((next & 0xC0) != 0x80)
            return 0;
        ch = (ch << 6) | (next & 0x3F);
    }
    if (ch < min || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF) || ch == 0xFFFE || ch == 0xFFFF)
        return 0;
    return length;
}

namespace {

// ExportNextChangedByte, inlined where the escaping writes.
inline size_t NextChangedByte(std::string_view text, size_t pos, const TExportChangedBytes& changed) {
    const size_t size = text.size();
    while (pos < size) {
        // Blocks that hold none of those bytes are passed whole; otherwise the search goes on from the
        // first byte found.
        const unsigned mask = ExportChangeMask(text, pos, changed.Markup);
        if (mask == 0) {
            pos += std::min<size_t>(size - pos, 16);
            continue;
        }
        pos += size_t(std::countr_zero(mask));
        const auto byte = static_cast<unsigned char>(text[pos]);
        if (byte < 0x80) { // a control byte the format keeps is found too
            if (changed.Changed[byte])
                return pos;
            ++pos;
            continue;
        }
        // A two-byte character with a lead from C2 on is always well formed and never a control.
        if (byte >= 0xC2 && byte < 0xE0 && pos + 1 < size &&
            (static_cast<unsigned char>(text[pos + 1]) & 0xC0) == 0x80) {
            pos += 2;
            continue;
        }
        // Longer sequences are decoded; a well-formed one is never below U+0800, so never a control.
        char32_t ch = 0;
        const int length = ExportDecodeUtf8(text, pos, ch);
        if (length == 0)
            return pos;
        pos += size_t(length);
    }
    return size;
}

// The bytes after the first of U+FFFE or U+FFFF at text[pos] (EF BF BE, EF BF BF): no XML or HTML text
// may hold these two characters, and each is one "?" like any other character left out; 0 otherwise.
inline size_t NoncharacterTail(std::string_view text, size_t pos) {
    return pos + 2 < text.size() && text[pos] == '\xEF' && text[pos + 1] == '\xBF' &&
                   (text[pos + 2] == '\xBE' || text[pos + 2] == '\xBF')
               ? 2
               : 0;
}

// Hands the pieces of the replaced text to put(data, size) in order: the unchanged run before each changed
// byte whole, then the byte's replacement. next is the first changed byte (ExportNextChangedByte).
template <class Put>
void PutReplacedBytes(std::string_view text, size_t next, const TExportChangedBytes& changed,
                      std::string_view lineBreak, Put&& put) {
    size_t pos = 0;
    for (;;) {
        put(text.data() + pos, next - pos);
        if (next == text.size())
            return;
        pos = next + 1;
        const char byte = text[next];
        if (changed.References && (byte == '\t' || byte == '\r' || byte == '\n')) {
            put(byte == '\t' ? "&#9;" : byte == '\r' ? "&#13;" : "&#10;", byte == '\t' ? 4 : 5);
            next = NextChangedByte(text, pos, changed);
            continue;
        }
        switch (byte) {
        case '\r':
            if (pos < text.size() && text[pos] == '\n') // a CR LF pair is one break
                ++pos;
            [[fallthrough]];
        case '\n':
            put(lineBreak.data(), lineBreak.size());
            break;
        case '"':
            put("&quot;", 6);
            break;
        case '&':
            put("&amp;", 5);
            break;
        case '<':
            put("&lt;", 4);
            break;
        case '>':
            put("&gt;", 4);
            break;
        default: // another control byte, the first byte of a malformed sequence, or a noncharacter
            put("?", 1);
            pos += NoncharacterTail(text, next);
        }
        next = NextChangedByte(text, pos, changed);
    }
}

} // namespace

size_t ExportNextChangedByte(std::string_view text, size_t pos, const TExportChangedBytes& changed) {
    return NextChangedByte(text, pos, changed);
}

std::string ExportReplaceChangedBytes(std::string_view text, const TExportChangedBytes& changed,
                                      std::string_view lineBreak) {
    const size_t next = ExportNextChangedByte(text, 0, changed);
    if (next == text.size())
        return std::string(text);
    std::string out;
    out.reserve(text.size() + 16);
    PutReplacedBytes(text, next, changed, lineBreak,
                     [&out](const char* data, size_t size) { out.append(data, size); });
    return out;
}

char* ExportWriteReplacedLongBytes(char* out, std::string_view text, const TExportChangedBytes& changed,
                                   std::string_view lineBreak) {
    PutReplacedBytes(text, NextChangedByte(text, 0, changed), changed, lineBreak,
                     [&out](const char* data, size_t size) {
                         rtl::CopyShortBytes(out, data, size);
                         out += size;
                     });
    return out;
}

std::string ExportCleanText(std::string_view text) {
    static constexpr TExportChangedBytes kControls(true, false);
    return ExportReplaceChangedBytes(text, kControls);
}

std::string ExportEntityText(std::string_view text) {
    static constexpr TExportChangedBytes kControlsAndMarkup(true, true);
    return ExportReplaceChangedBytes(text, kControlsAndMarkup);
}

} // namespace exporter
