#pragma once

// Builders of "DNIP:RR" values for the tests: records as the directory stores them.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace testbytes {

using Bytes = std::vector<std::uint8_t>;

inline void Append(Bytes& out, std::initializer_list<int> bytes) {
    for (int b : bytes) {
        out.push_back(static_cast<std::uint8_t>(b));
    }
}

inline void AppendWord(Bytes& out, unsigned word) {
    out.push_back(static_cast<std::uint8_t>(word >> 8));
    out.push_back(static_cast<std::uint8_t>(word));
}

// Length byte and characters.
inline void AppendString(Bytes& out, const std::string& text) {
    out.push_back(static_cast<std::uint8_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// A name field: length byte, characters, closing zero byte.
inline void AppendName(Bytes& out, const std::string& text) {
    AppendString(out, text);
    out.push_back(0);
}

// Wire-form labels ending with the root label.
inline void AppendLabels(Bytes& out, const std::string& dotted) {
    std::size_t start = 0;
    while (start < dotted.size()) {
        std::size_t dot = dotted.find('.', start);
        if (dot == std::string::npos) {
            dot = dotted.size();
        }
        AppendString(out, dotted.substr(start, dot - start));
        start = dot + 1;
    }
    out.push_back(0);
}

// TYPE, CLASS IN, TTL 3600, RDLENGTH, RDATA.
inline Bytes Record(unsigned type, const Bytes& rdata) {
    Bytes record;
    AppendWord(record, type);
    AppendWord(record, 1);
    Append(record, {0, 0, 0x0E, 0x10});
    AppendWord(record, static_cast<unsigned>(rdata.size()));
    record.insert(record.end(), rdata.begin(), rdata.end());
    return record;
}

// Values in the record layout: each a 4-byte little-endian length and the bytes.
inline Bytes ValueList(std::initializer_list<Bytes> values) {
    Bytes out;
    for (const Bytes& value : values) {
        auto size = static_cast<std::uint32_t>(value.size());
        Append(out, {static_cast<int>(size & 0xFF), static_cast<int>((size >> 8) & 0xFF),
                     static_cast<int>((size >> 16) & 0xFF), static_cast<int>(size >> 24)});
        out.insert(out.end(), value.begin(), value.end());
    }
    return out;
}

} // namespace testbytes
