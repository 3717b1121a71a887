#pragma once

// The short byte runs that per-cell look-ups compare and hash (masks, date texts, shared strings): equality
// without a library call where a word or two hold them, and a hash for tables that pick a slot by its low bits.

#include <cstddef>
#include <cstdint>
#include <bit>
#include <cstring>
#include <string_view>

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

// Mixes every bit of a 64-bit hash into its low half.
inline std::uint32_t HashFinish(std::uint64_t hash) {
    hash ^= hash >> 33;
    hash *= 0xFF51AFD7ED558CCDull;
    hash ^= hash >> 33;
    return static_cast<std::uint32_t>(hash);
}

// A hash of bytes for tables that pick a slot by the low bits: every bit of the input reaches them. The
// bytes are taken eight at a time; `all`, when given, receives every bit set in them (whether any byte
// lies beyond ASCII).
inline std::uint32_t HashBytes(std::string_view bytes, std::uint64_t* all = nullptr) {
    constexpr std::uint64_t seed = 14695981039346656037ull, multiplier = 0x9E3779B97F4A7C15ull;
    const char* p = bytes.data();
    std::size_t count = bytes.size();
    std::uint64_t hash = seed ^ count;
    std::uint64_t bits = 0;
    for (; count >= 8; p += 8, count -= 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        bits |= word;
        hash = std::rotl((hash ^ word) * multiplier, 31);
    }
    if (count > 0) {
        std::uint64_t word = 0;
        for (std::size_t i = 0; i < count; ++i)
            word |= std::uint64_t(static_cast<unsigned char>(p[i])) << (8 * i);
        bits |= word;
        hash = std::rotl((hash ^ word) * multiplier, 31);
    }
    if (all)
        *all = bits;
    return HashFinish(hash);
}

} // namespace rtl
