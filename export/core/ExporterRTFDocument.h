#pragma once

// The bytes of an RTF document while it is written: the head (header, font and colour tables) stays in
// memory so that table entries can be inserted into it; the body goes to a scratch file once it outgrows
// one chunk, so memory does not grow with the rows. Copy() sends head and body to the export's stream;
// once the tables are final, SendHead() does so early and every later byte goes straight there.

#include "platform/commit/SpillFile.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace exporter {

// Bytes appended one piece after another into storage kept from one use to the next: it grows only
// past the most an earlier use needed, so appending is a bounds check and a copy.
class TRTFRowBytes {
public:
    void Clear() { size_ = 0; }
    size_t Size() const { return size_; }
    // Keeps the first size bytes.
    void Truncate(size_t size) { size_ = size; }
    // Removes the first count bytes; the rest moves to the front.
    void DropFront(size_t count);
    void Append(std::string_view bytes) { Append(bytes, {}); }
    void Append(std::string_view first, std::string_view second) {
        const size_t size = first.size() + second.size();
        if (storage_.size() - size_ < size)
            Grow(size);
        char* const at = storage_.data() + size_;
        if (!first.empty())
            std::memcpy(at, first.data(), first.size());
        if (!second.empty())
            std::memcpy(at + first.size(), second.data(), second.size());
        size_ += size;
    }
    // Room for size more bytes behind those held, written in place and taken in by Extend.
    char* Room(size_t size) {
        if (storage_.size() - size_ < size)
            Grow(size);
        return storage_.data() + size_;
    }
    // Takes in the bytes written into Room up to end.
    void Extend(const char* end) { size_ = size_t(end - storage_.data()); }
    std::string_view Bytes() const { return {storage_.data(), size_}; }

private:
    // Makes room for size more bytes.
    void Grow(size_t size);

    std::string storage_; // its size is the room; the bytes are its first size_
    size_t size_ = 0;
};

class TRTFDocumentBuffer : public std::streambuf {
public:
    TRTFDocumentBuffer();
    ~TRTFDocumentBuffer() override;
    TRTFDocumentBuffer(const TRTFDocumentBuffer&) = delete;
    TRTFDocumentBuffer& operator=(const TRTFDocumentBuffer&) = delete;

    // From here on bytes belong to the body: nothing is inserted before them any more.
    void StartBody();
    // Bytes written so far (head and body).
    std::int64_t Size() const;
    // Puts bytes at offset, which must lie within the head. Throws EExportError once the head was sent.
    void InsertIntoHead(std::int64_t offset, const std::string& bytes);
    // Writes the whole document to target (after SendHead: the bytes not yet handed on). Throws
    // EExportError when the scratch file failed (a full temporary folder): the document is then
    // incomplete and nothing is written.
    void Copy(std::ostream& target);
    // Writes what the document holds to target (as Copy) and from then on hands the bytes on to target in
    // blocks (Copy hands on the last one), whose state keeps a failed write; nothing can be inserted into
    // the head any more.
    void SendHead(std::ostream& target);
    bool HeadSent() const { return direct_ != nullptr; }
    // Once the head was sent: the block that gathers the bytes for the target. A caller may write into its
    // room (Room, Extend) and then calls PassFullBlocks.
    TRTFRowBytes& DirectBlock() { return block_; }
    // Hands each full block that the bytes gathered make up on to the target.
    void PassFullBlocks();

protected:
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* s, std::streamsize count) override;

private:
    // Moves the body bytes held in memory to the scratch file; they stay in memory when no scratch
    // file can be made.
    void SpillBody();
    // Gathers bytes for the target once the head was sent; each full block goes on at once.
    void PutDirect(const char* s, size_t size);

    std::string head_;
    bool inBody_ = false;
    std::string body_; // body bytes not (yet) in the scratch file
    std::unique_ptr<commit::SpillFile> spill_;
    bool spillUnavailable_ = false;
    std::ostream* direct_ = nullptr; // where the bytes go once the head was sent
    TRTFRowBytes block_;             // the bytes gathered for direct_
    std::int64_t sent_ = 0;          // bytes handed to direct_ (but those in block_)
};

namespace detail {
// Owns the document buffer and a stream over it, so the writer's base can be built on that stream.
struct TRTFDocument {
    TRTFDocumentBuffer Document;
    std::ostream DocumentStream{&Document};
};
} // namespace detail

} // namespace exporter
