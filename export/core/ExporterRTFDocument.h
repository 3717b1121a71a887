#pragma once

// The bytes of an RTF document while it is written: the head (header, font and colour tables) stays in
// memory so that table entries can be inserted into it; the body goes to a scratch file once it outgrows
// one chunk, so memory does not grow with the rows. Copy() sends head and body to the export's stream;
// once the tables are final, SendHead() does so early and every later byte goes straight there.

#include "platform/commit/SpillFile.h"

#include <cstdint>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>

namespace exporter {

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
    std::string body_; // body bytes not (yet) in the scratch file, or the block for the target
    std::unique_ptr<commit::SpillFile> spill_;
    bool spillUnavailable_ = false;
    std::ostream* direct_ = nullptr; // where the bytes go once the head was sent
    std::int64_t sent_ = 0;          // bytes handed to direct_
};

namespace detail {
// Owns the document buffer and a stream over it, so the writer's base can be built on that stream.
struct TRTFDocument {
    TRTFDocumentBuffer Document;
    std::ostream DocumentStream{&Document};
};
} // namespace detail

} // namespace exporter
