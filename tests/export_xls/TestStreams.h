#pragma once

#include "export/xls/ExporterXLSStream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testutil {

// A memory stream that takes only the first Limit bytes and then refuses more.
class ShortStream : public exporter::TxlsMemoryStream {
public:
    explicit ShortStream(std::size_t limit) : limit_(limit) {}
    std::size_t Write(const void* buffer, std::size_t count) override {
        const std::size_t room = Size() >= limit_ ? 0 : limit_ - Size();
        return exporter::TxlsMemoryStream::Write(buffer, count < room ? count : room);
    }

private:
    std::size_t limit_;
};

// Bytes from a list of values, each 0..255.
inline std::vector<std::uint8_t> bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<std::uint8_t>(v));
    return out;
}

inline std::uint16_t word(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

// One record header and data as found in a stream.
struct RawRecord {
    std::uint16_t id;
    std::vector<std::uint8_t> data;
};

// Splits a stream into records; fails the test's expectations when a length runs past the end.
inline std::vector<RawRecord> splitRecords(const std::vector<std::uint8_t>& stream) {
    std::vector<RawRecord> records;
    std::size_t at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t id = word(stream, at);
        const std::uint16_t length = word(stream, at + 2);
        if (at + 4 + length > stream.size())
            break;
        records.push_back(
            {id, std::vector<std::uint8_t>(stream.begin() + at + 4, stream.begin() + at + 4 + length)});
        at += 4 + length;
    }
    if (at != stream.size())
        records.push_back({0xFFFF, {}}); // marks trailing garbage
    return records;
}

} // namespace testutil
