#pragma once

// What the writers of this library share and no caller needs: the checked write loop, the random part
// of temporary names, and the seam behind CommitTesting.h.

#include <cstddef>
#include <string>

namespace commit::detail {

// Writes every byte (retrying short writes); false with errno set when a write fails.
bool WriteAll(int fd, const char* data, std::size_t size);

// Sixteen random hex digits: a temporary name nobody can guess in advance.
std::string RandomSuffix();

// The part of a write of `size` bytes that succeeds; when less than `size`, `injected` is set to the
// error the rest fails with (0 otherwise).
std::size_t AllowedWriteBytes(std::size_t size, int& injected);

} // namespace commit::detail
