#pragma once

// What the writers of this library share and no caller needs: the buffer their streams write into,
// the checked write loop, the random part of temporary names, and the seam behind CommitTesting.h.

#include <cstddef>
#include <streambuf>
#include <string>
#include <vector>

namespace commit::detail {

// A stream buffer that gathers small writes and hands them on in large ones; a failed hand-on makes
// the writing stream bad.
class GatheringBuffer : public std::streambuf {
public:
    explicit GatheringBuffer(std::size_t capacity);
    // Hands the gathered bytes on; false when that failed.
    bool flushBuffer();

protected:
    // Writes the bytes on; false when they could not be written.
    virtual bool writeThrough(const char* data, std::size_t size) = 0;
    int_type overflow(int_type ch) override;
    std::streamsize xsputn(const char* data, std::streamsize size) override;
    int sync() override;

private:
    std::vector<char> buffer_;
};

// Writes every byte (retrying short writes); false with errno set when a write fails.
bool WriteAll(int fd, const char* data, std::size_t size);

// Sixteen random hex digits: a temporary name nobody can guess in advance.
std::string RandomSuffix();

// The part of a write of `size` bytes that succeeds; when less than `size`, `injected` is set to the
// error the rest fails with (0 otherwise).
std::size_t AllowedWriteBytes(std::size_t size, int& injected);

} // namespace commit::detail
