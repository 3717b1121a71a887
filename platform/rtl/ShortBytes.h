#pragma once

// The short byte runs that per-cell look-ups compare, copy and hash (masks, date texts, shared strings, cell
// texts): equality and copies without a library call where a word or two hold them, and a hash for tables
// that pick a slot by its low bits.

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

// Copies n bytes from src to dst (which do not overlap): up to 32 of them as overlapping words, so that
// the short texts of a table's cells are copied without a library call.
inline void CopyShortBytes(char* dst, const char* src, std::size_t n) {
    if (n > 32) {
        std::memcpy(dst, src, n);
    } else if (n > 16) { // the first and the last sixteen
        std::uint64_t words[4];
        std::memcpy(words, src, 16);
        std::memcpy(words + 2, src + n - 16, 16);
        std::memcpy(dst, words, 16);
        std::memcpy(dst + n - 16, words + 2, 16);
    } else if (n >= 8) {
        std::uint64_t first, last;
        std::memcpy(&first, src, 8);
        std::memcpy(&last, src + n - 8, 8);
        std::memcpy(dst, &first, 8);
        std::memcpy(dst + n - 8, &last, 8);
    } else if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, src, 4);
        std::memcpy(&last, src + n - 4, 4);
        std::memcpy(dst, &first, 4);
        std::memcpy(dst + n - 4, &last, 4);
    } else if (n > 0) {
        const char first = src[0], middle = src[n / 2], last = src[n - 1];
        dst[0] = first;
        dst[n / 2] = middle;
        dst[n - 1] = last;
    }
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
