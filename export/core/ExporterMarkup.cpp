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

// Printable ASCII, TAB, LF and CR: bytes that stand for themselves in every markup format.
bool IsPlainByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte < 0x80) || c == '\t' || c == '\n' || c == '\r';
}

} // namespace

std::string ExportCleanText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        // Runs of plain bytes are copied whole; only the others are decoded.
        size_t end = pos;
        while (end < text.size() && IsPlainByte(text[end]))
            ++end;
        out.append(text.substr(pos, end - pos));
        pos = end;
        if (pos == text.size())
            break;
        char32_t ch = 0;
        const int length = ExportDecodeUtf8(text, pos, ch);
        if (length == 0) {
            out += '?';
            ++pos;
            continue;
        }
        if (ch < 0x20 && ch != '\t' && ch != '\n' && ch != '\r')
            out += '?';
        else
            out.append(text.substr(pos, size_t(length)));
        pos += size_t(length);
    }
    return out;
}

std::string ExportEntityText(std::string_view text) {
    std::string clean = ExportCleanText(text);
    if (std::none_of(clean.begin(), clean.end(),
                     [](char c) { return c == '"' || c == '&' || c == '<' || c == '>'; }))
        return clean;
    std::string out;
    out.reserve(clean.size() + 16);
    for (char c : clean) {
        switch (c) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace exporter
