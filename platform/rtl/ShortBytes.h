#pragma once

// Equality of the short byte runs that per-cell look-ups compare (masks, date texts), without a library call
// where a word or two hold them.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rtl {

// Whether the n bytes at a and b are equal: 8 to 16 of them as two overlapping words, fewer one by one.
inline bool SameShortBytes(const char* a, const char* b, std::size_t n) {
    if (n > 16)
        return std::memcmp(a, b, n) == 0;
    if (n >= 8) {
        std::uint64_t a1, a2, b1, b2; // the first and the last eight, overlapping when fewer than sixteen
        std::memcpy(&a1, a, 8);
        std::memcpy(&b1, b, 8);
        std::memcpy(&a2, a + n - 8, 8);
        std::memcpy(&b2, b + n - 8, 8);
        return ((a1 ^ b1) | (a2 ^ b2)) == 0;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

} // namespace rtl
