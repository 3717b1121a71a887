#include "export/core/ExporterRTFDocument.h"

#include "export/core/Exporter.h"
#include "export/core/ExporterTypes.h"
#include "platform/commit/FileCommit.h"

#include <algorithm>

namespace exporter {

namespace {
constexpr size_t kChunkSize = 1 << 20;
// Once the head was sent, bytes are gathered into blocks as large as the writer's, so that the target's
// own buffer of that size passes each block on without copying it.
constexpr size_t kDirectBlock = TExportWriter::kBufferSize;
} // namespace

void TRTFRowBytes::Grow(size_t size) {
    storage_.resize(std::max(size_ + size, 2 * storage_.size()));
}

void TRTFRowBytes::DropFront(size_t count) {
    std::memmove(storage_.data(), storage_.data() + count, size_ - count);
    size_ -= count;
}

TRTFDocumentBuffer::TRTFDocumentBuffer() = default;

TRTFDocumentBuffer::~TRTFDocumentBuffer() = default;

void TRTFDocumentBuffer::StartBody() {
    inBody_ = true;
}

std::int64_t TRTFDocumentBuffer::Size() const {
    if (direct_)
        return sent_ + std::int64_t(block_.Size());
    return std::int64_t(head_.size()) + (spill_ ? spill_->size() : 0) + std::int64_t(body_.size());
}

void TRTFDocumentBuffer::InsertIntoHead(std::int64_t offset, const std::string& bytes) {
    // The head is in the target already: an insertion now would leave a table that the body's control
    // words point past.
    if (direct_)
        throw EExportError("The RTF font and colour tables were written before a new entry was needed.");
    head_.insert(size_t(offset), bytes);
}

void TRTFDocumentBuffer::SpillBody() {
    if (!spill_ && !spillUnavailable_) {
        try {
            spill_ = std::make_unique<commit::SpillFile>();
        } catch (const commit::CommitError&) {
            spillUnavailable_ = true; // memory serves instead
        }
    }
    if (!spill_)
        return;
    // A failed write is kept by the scratch file and reported by Copy; the bytes are not kept twice.
    spill_->sputn(body_.data(), std::streamsize(body_.size()));
    body_.clear();
}

TRTFDocumentBuffer::int_type TRTFDocumentBuffer::overflow(int_type ch) {
    if (traits_type::eq_int_type(ch, traits_type::eof()))
        return traits_type::not_eof(ch);
    const char c = traits_type::to_char_type(ch);
    xsputn(&c, 1);
    return ch;
}

std::streamsize TRTFDocumentBuffer::xsputn(const char* s, std::streamsize count) {
    if (direct_) {
        PutDirect(s, size_t(count));
        return count;
    }
    if (!inBody_) {
        head_.append(s, size_t(count));
        return count;
    }
    if (spill_)
        return spill_->sputn(s, count);
    body_.append(s, size_t(count));
    if (body_.size() >= kChunkSize)
        SpillBody();
    return count;
}

void TRTFDocumentBuffer::PutDirect(const char* s, size_t size) {
    if (block_.Size() == 0 && size >= kDirectBlock) {
        direct_->write(s, std::streamsize(size));
        sent_ += std::int64_t(size);
        return;
    }
    // Only what completes the block is added to it, so that a large piece does not make the block grow.
    while (size >= kDirectBlock - block_.Size()) {
        const size_t room = kDirectBlock - block_.Size();
        block_.Append({s, room});
        s += room;
        size -= room;
        PassFullBlocks();
    }
    block_.Append({s, size});
}

void TRTFDocumentBuffer::PassFullBlocks() {
    const std::string_view bytes = block_.Bytes();
    size_t passed = 0;
    for (; bytes.size() - passed >= kDirectBlock; passed += kDirectBlock)
        direct_->write(bytes.data() + passed, std::streamsize(kDirectBlock));
    if (passed == 0)
        return;
    sent_ += std::int64_t(passed);
    block_.DropFront(passed);
}

void TRTFDocumentBuffer::Copy(std::ostream& target) {
    if (direct_) {
        const std::string_view bytes = block_.Bytes();
        direct_->write(bytes.data(), std::streamsize(bytes.size()));
        sent_ += std::int64_t(bytes.size());
        block_.Clear();
        return;
    }
    target.write(head_.data(), std::streamsize(head_.size()));
    if (spill_) {
        try {
            spill_->copyRange(0, spill_->size(), [&target](const char* data, std::size_t size) {
                target.write(data, std::streamsize(size));
            });
        } catch (const commit::CommitError& error) {
            target.setstate(std::ios::badbit);
            throw EExportError("Cannot write temporary file in \"" + error.path() + "\". " + error.reason());
        }
    }
    target.write(body_.data(), std::streamsize(body_.size()));
}

void TRTFDocumentBuffer::SendHead(std::ostream& target) {
    const std::int64_t size = Size();
    Copy(target);
    direct_ = &target;
    sent_ = size;
    spill_.reset();
    std::string().swap(head_);
    std::string().swap(body_);
    block_.Room(kDirectBlock);
}

} // namespace exporter
