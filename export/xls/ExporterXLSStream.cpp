#include "export/xls/ExporterXLSStream.h"

#include "export/xls/ExporterXLSUtils.h"

#include <algorithm>
#include <cstring>

namespace exporter {

void TxlsStream::Insert(std::uint64_t position, const std::uint8_t* data, std::size_t size) {
    // Each chunk lands past the bytes still to be moved.
    std::vector<std::uint8_t> chunk(64 * 1024);
    for (std::uint64_t remaining = Size() - position; remaining > 0;) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), remaining));
        const std::uint64_t from = position + remaining - n;
        Seek(from);
        if (Read(chunk.data(), n) != n)
            throw TxlsWriteError();
        Seek(from + size);
        WriteBuffer(*this, chunk.data(), n);
        remaining -= n;
    }
    Seek(position);
    WriteBuffer(*this, data, size);
    Seek(Size());
}

std::size_t TxlsMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    const std::size_t end = static_cast<std::size_t>(position_) + count;
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    if (position_ == bytes_.size()) {
        bytes_.insert(bytes_.end(), bytes, bytes + count); // appended without zeroing the room first
        position_ = end;
        return count;
    }
    if (bytes_.size() < end)
        bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, buffer, count);
    position_ = end;
    return count;
}

std::size_t TxlsMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= bytes_.size())
        return 0;
    const std::size_t taken =
        std::min<std::size_t>(count, bytes_.size() - static_cast<std::size_t>(position_));
    std::memcpy(buffer, bytes_.data() + position_, taken);
    position_ += taken;
    return taken;
}

void TxlsMemoryStream::Clear() {
    bytes_.clear();
    position_ = 0;
}

} // namespace exporter
