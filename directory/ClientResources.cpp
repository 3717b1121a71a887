#include "directory/ClientResources.h"

namespace directory::detail {

ClientBuffer::ClientBuffer(std::uint32_t size) {
    nwclient::Buffer* buffer = nullptr;
    CheckNWError(nwclient::allocateBuffer(size, buffer));
    buffer_ = buffer;
}

ClientBuffer::~ClientBuffer() {
    if (buffer_ != nullptr) {
        nwclient::freeBuffer(buffer_);
    }
}

std::int32_t ClientBuffer::Free() {
    nwclient::Buffer* buffer = buffer_;
    buffer_ = nullptr;
    return nwclient::freeBuffer(buffer);
}

FilterOwner::FilterOwner() {
    nwclient::FilterCursor* cursor = nullptr;
    CheckNWError(nwclient::allocateFilter(cursor));
    cursor_ = cursor;
}

FilterOwner::~FilterOwner() {
    if (cursor_ != nullptr) {
        nwclient::freeFilter(cursor_);
    }
}

nwclient::FilterCursor* FilterOwner::Release() {
    nwclient::FilterCursor* cursor = cursor_;
    cursor_ = nullptr;
    return cursor;
}

void Iteration::Close() {
    if (handle_ != -1) {
        nwclient::closeIteration(context_, handle_, operation_);
        handle_ = -1;
    }
}

} // namespace directory::detail
