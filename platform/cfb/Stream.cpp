#include "platform/cfb/Stream.h"

#include "platform/cfb/StorageError.h"

#include <algorithm>
#include <cstring>

namespace cfb {

Stream::Stream(std::shared_ptr<StreamData> data) : data_(std::move(data)) {}

std::size_t Stream::Write(const void* buffer, std::size_t count) {
    if (data_->reverted || count == 0 || position_ >= MaxSize)
        return 0;
    const std::uint64_t room = MaxSize - position_;
    const std::size_t taken = static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
    auto& bytes = data_->bytes;
    const std::size_t end = static_cast<std::size_t>(position_) + taken;
    if (bytes.size() < end)
        bytes.resize(end);
    std::memcpy(bytes.data() + position_, buffer, taken);
    position_ = end;
    return taken;
}

std::size_t Stream::Read(void* buffer, std::size_t count) {
    const auto& bytes = data_->bytes;
    if (position_ >= bytes.size())
        return 0;
    const std::size_t taken =
        std::min<std::size_t>(count, bytes.size() - static_cast<std::size_t>(position_));
    std::memcpy(buffer, bytes.data() + position_, taken);
    position_ += taken;
    return taken;
}

std::uint64_t Stream::Seek(std::int64_t offset, SeekOrigin origin) {
    std::int64_t base = 0;
    if (origin == SeekOrigin::Current)
        base = static_cast<std::int64_t>(position_);
    else if (origin == SeekOrigin::End)
        base = static_cast<std::int64_t>(data_->bytes.size());
    const std::int64_t target = base + offset;
    if (target < 0)
        throw StorageError(STG_E_INVALIDFUNCTION, "Seek before the start of the stream");
    position_ = static_cast<std::uint64_t>(target);
    return position_;
}

void Stream::SetSize(std::uint64_t size) {
    if (data_->reverted)
        throw StorageError(STG_E_REVERTED, "The stream is no longer part of an open compound file");
    if (size > MaxSize)
        throw StorageError(STG_E_MEDIUMFULL, "A compound-file stream cannot grow past 2 GiB");
    data_->bytes.resize(static_cast<std::size_t>(size));
}

} // namespace cfb
