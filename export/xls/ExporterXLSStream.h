#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace exporter {

// A byte stream the workbook writer writes records to: the workbook stream of the compound file
// or a memory stream that is spliced into it later.
class TxlsStream {
public:
    virtual ~TxlsStream() = default;
    // Returns the number of bytes taken; fewer than asked means the write failed.
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    // Returns the number of bytes read.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Moves to a position counted from the start; writing past the end fills with zero bytes.
    virtual void Seek(std::uint64_t position) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    // Puts bytes in at a position, moving what follows up by their size, and leaves the position at
    // the end (the globals' records spliced in when the workbook is finished). This one moves the
    // bytes in chunks from the end backwards, so no second copy is held; raises TxlsWriteError.
    virtual void Insert(std::uint64_t position, const std::uint8_t* data, std::size_t size);
};

// A stream held in memory.
class TxlsMemoryStream : public TxlsStream {
public:
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::size_t Read(void* buffer, std::size_t count) override;
    void Seek(std::uint64_t position) override { position_ = position; }
    std::uint64_t Position() const override { return position_; }
    std::uint64_t Size() const override { return bytes_.size(); }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    void Clear();

private:
    std::vector<std::uint8_t> bytes_;
    std::uint64_t position_ = 0;
};

} // namespace exporter
