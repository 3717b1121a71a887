#include "export/core/ExporterRTFDocument.h"

#include <cstring>

namespace exporter {

namespace {
constexpr size_t kChunkSize = 1 << 20;
}

TRTFDocumentBuffer::TRTFDocumentBuffer() = default;

TRTFDocumentBuffer::~TRTFDocumentBuffer() {
    if (spill_)
        std::fclose(spill_);
}

void TRTFDocumentBuffer::StartBody() {
    if (inBody_)
        return;
    inBody_ = true;
    chunk_.resize(kChunkSize);
    setp(chunk_.data(), chunk_.data() + chunk_.size());
}

std::int64_t TRTFDocumentBuffer::Size() const {
    return std::int64_t(head_.size()) + spilled_ + std::int64_t(unspilled_.size()) + (pptr() - pbase());
}

void TRTFDocumentBuffer::InsertIntoHead(std::int64_t offset, const std::string& bytes) {
    head_.insert(size_t(offset), bytes);
}

void TRTFDocumentBuffer::SpillBody() {
    const size_t pending = size_t(pptr() - pbase());
    if (pending == 0)
        return;
    if (!spill_ && !spillFailed_) {
        spill_ = std::tmpfile();
        spillFailed_ = spill_ == nullptr;
    }
    if (spill_ && std::fwrite(pbase(), 1, pending, spill_) == pending) {
        spilled_ += std::int64_t(pending);
    } else {
        unspilled_.append(pbase(), pending);
    }
    setp(chunk_.data(), chunk_.data() + chunk_.size());
}

TRTFDocumentBuffer::int_type TRTFDocumentBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize TRTFDocumentBuffer::xsputn(const char* s, std::streamsize count) {
    if (!inBody_) {
        head_.append(s, size_t(count));
        return count;
    }
    std::streamsize left = count;
    while (left > 0) {
        if (pptr() == epptr())
            SpillBody();
        const std::streamsize room = std::min<std::streamsize>(left, epptr() - pptr());
        std::memcpy(pptr(), s, size_t(room));
        pbump(int(room));
        s += room;
        left -= room;
    }
    return count;
}

void TRTFDocumentBuffer::Copy(std::ostream& target) {
    target.write(head_.data(), std::streamsize(head_.size()));
    if (spill_) {
        std::fflush(spill_);
        std::rewind(spill_);
        std::vector<char> block(kChunkSize);
        size_t read = 0;
        while ((read = std::fread(block.data(), 1, block.size(), spill_)) > 0)
            target.write(block.data(), std::streamsize(read));
    }
    target.write(unspilled_.data(), std::streamsize(unspilled_.size()));
    target.write(pbase(), pptr() - pbase());
}

} // namespace exporter
