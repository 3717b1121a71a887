#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cfb {

// Receives bytes in order; raises on failure.
using ByteSink = std::function<void(const std::uint8_t* data, std::size_t size)>;

// Hands a stream's bytes to the sink in order, in pieces of any size; raises on failure.
using StreamSource = std::function<void(const ByteSink& sink)>;

// The content of one stream of a compound file, shared by the storage and the stream handles: the
// bytes themselves, or (with a source) the size of bytes that a source hands over at the commit.
struct StreamData {
    std::u16string name;
    std::vector<std::uint8_t> bytes;
    StreamSource source;
    std::uint64_t sourceSize = 0;
    bool reverted = false; // the storage was committed, discarded or replaced the stream
};

enum class SeekOrigin { Begin, Current, End };

// A handle on one stream of a compound file with its own seek position. The content is kept in
// memory and reaches the disk when the storage is committed.
class Stream {
public:
    // A stream of the compound-file format version 3 holds less than 2 GiB.
    static constexpr std::uint64_t MaxSize = 0x7FFFFFFF;

    explicit Stream(std::shared_ptr<StreamData> data);

    // Writes at the seek position and returns the number of bytes taken: fewer than asked when the
    // stream would grow past MaxSize, none once the storage no longer accepts writes.
    std::size_t Write(const void* buffer, std::size_t count);
    // Reads from the seek position; returns the number of bytes read.
    std::size_t Read(void* buffer, std::size_t count);
    // Moves the seek position and returns the new one; a position before the start raises
    // StorageError (STG_E_INVALIDFUNCTION). A position past the end is allowed; a write there fills
    // the gap with zero bytes.
    std::uint64_t Seek(std::int64_t offset, SeekOrigin origin);
    // Truncates or extends (with zero bytes) the stream.
    void SetSize(std::uint64_t size);

    std::uint64_t Position() const { return position_; }
    std::uint64_t Size() const { return data_->bytes.size(); }
    const std::u16string& Name() const { return data_->name; }

private:
    std::shared_ptr<StreamData> data_;
    std::uint64_t position_ = 0;
};

} // namespace cfb
