#include "export/xls/ExporterXLSStream.h"

#include <algorithm>
#include <cstring>

namespace exporter {

std::size_t TxlsMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0)
        return 0;
    const std::size_t end = static_cast<std::size_t>(position_) + count;
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
