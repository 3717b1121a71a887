#pragma once

// The short byte runs that per-cell look-ups compare, copy and hash (masks, date texts, shared strings, cell
// texts): equality and copies without a library call where a word or two hold them, and a hash for tables
// that pick a slot by its low bits.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace rtl {

// Whether the n bytes at a and b are equal: 8 to 32 of them as overlapping words, fewer one by one.
[[gnu::always_inline]] inline bool SameShortBytes(const char* a, const char* b, std::size_t n) {
    if (n > 16) {
        if (n > 32)
            return std::memcmp(a, b, n) == 0;
        std::uint64_t a1, a2, a3, a4, b1, b2, b3, b4; // the first and the last sixteen
        std::memcpy(&a1, a, 8);
        std::memcpy(&a2, a + 8, 8);
        std::memcpy(&a3, a + n - 16, 8);
        std::memcpy(&a4, a + n - 8, 8);
        std::memcpy(&b1, b, 8);
        std::memcpy(&b2, b + 8, 8);
        std::memcpy(&b3, b + n - 16, 8);
        std::memcpy(&b4, b + n - 8, 8);
        return ((a1 ^ b1) | (a2 ^ b2) | (a3 ^ b3) | (a4 ^ b4)) == 0;
    }
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

// Copies n bytes, at most 32, from src to dst (which do not overlap) as overlapping words, without a
// library call, and returns the words read or-ed together: a byte beyond ASCII sets a bit 0x80 in it.
[[gnu::always_inline]] inline std::uint64_t CopyShortBytesBits(char* dst, const char* src, std::size_t n) {
    if (n > 16) { // the first and the last sixteen
        std::uint64_t words[4];
        std::memcpy(words, src, 16);
        std::memcpy(words + 2, src + n - 16, 16);
        std::memcpy(dst, words, 16);
        std::memcpy(dst + n - 16, words + 2, 16);
        return words[0] | words[1] | words[2] | words[3];
    }
    if (n >= 8) {
        std::uint64_t first, last;
        std::memcpy(&first, src, 8);
        std::memcpy(&last, src + n - 8, 8);
        std::memcpy(dst, &first, 8);
        std::memcpy(dst + n - 8, &last, 8);
        return first | last;
    }
    if (n >= 4) {
        std::uint32_t first, last;
        std::memcpy(&first, src, 4);
        std::memcpy(&last, src + n - 4, 4);
        std::memcpy(dst, &first, 4);
        std::memcpy(dst + n - 4, &last, 4);
        return first | last;
    }
    if (n > 0) {
        const char first = src[0], middle = src[n / 2], last = src[n - 1];
        dst[0] = first;
        dst[n / 2] = middle;
        dst[n - 1] = last;
        return static_cast<unsigned char>(first | middle | last);
    }
    return 0;
}

// Copies n bytes from src to dst (which do not overlap): up to 32 of them as overlapping words, so that
// the short texts of a table's cells are copied without a library call.
inline void CopyShortBytes(char* dst, const char* src, std::size_t n) {
    if (n > 32)
        std::memcpy(dst, src, n);
    else
        CopyShortBytesBits(dst, src, n);
}

// The bytes a padded copy moves at once.
inline constexpr std::size_t kPaddedBytes = 32;

// Appends the n bytes at src to out. src must be readable for kPaddedBytes bytes however few n are: a text
// of up to that many goes in as one copy of a fixed size, which needs no library call, and is then cut to
// n. out's capacity may grow by up to kPaddedBytes more than the text needs.
inline void AppendPaddedBytes(std::string& out, const char* src, std::size_t n) {
    if (n > kPaddedBytes) {
        out.append(src, n);
        return;
    }
    const std::size_t size = out.size();
    out.append(src, kPaddedBytes);
    out.resize(size + n);
}

// Replaces out with the n bytes at src, which must be readable for kPaddedBytes bytes (see
// AppendPaddedBytes); src lies outside out.
inline void AssignPaddedBytes(std::string& out, const char* src, std::size_t n) {
    out.clear();
    AppendPaddedBytes(out, src, n);
}

// Copies a text into storage that is used again and again (a cell's value, a cell's text): a text of up to
// 32 bytes that is no longer than the storage's text before, the usual cell, is copied and sized without a
// library call. The text must not lie in the storage.
[[gnu::always_inline]] inline void AssignShortBytes(std::string& to, std::string_view from) {
    const std::size_t size = from.size();
    if (size <= 32 && size <= to.size()) {
        CopyShortBytes(to.data(), from.data(), size);
        to.resize(size);
    } else {
        to.clear(); // then appended: no test of overlapping texts, which an assignment makes
        to.append(from.data(), size);
    }
}

// AssignShortBytes that also tells whether the text is all ASCII, tested in the words it copies: true for a
// text of up to 32 bytes, no longer than the storage's text before, without a byte beyond ASCII; false
// for any other (which is copied all the same).
[[gnu::always_inline]] inline bool AssignShortAsciiBytes(std::string& to, std::string_view from) {
    const std::size_t size = from.size();
    if (size <= 32 && size <= to.size()) {
        const std::uint64_t bits = CopyShortBytesBits(to.data(), from.data(), size);
        to.resize(size);
        return (bits & 0x8080808080808080ULL) == 0;
    }
    to.clear();
    to.append(from.data(), size);
    return false;
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

// A text of up to 16 bytes as two words, which with its length tell it from every other such text: the
// first and the last eight bytes, overlapping when fewer than sixteen (four for a text of four to seven
// bytes; its first, middle and last byte for a shorter one). A table keyed by texts compares these instead
// of the bytes.
struct ShortTextKey {
    std::uint64_t first = 0, last = 0;

    static constexpr std::size_t kMaxLength = 16;
    // The key of text, whose size is at most kMaxLength.
    [[gnu::always_inline]] static ShortTextKey Of(std::string_view text) {
        const char* const p = text.data();
        const std::size_t n = text.size();
        ShortTextKey key;
        if (n >= 8) {
            std::memcpy(&key.first, p, 8);
            std::memcpy(&key.last, p + n - 8, 8);
        } else if (n >= 4) {
            std::uint32_t first, last;
            std::memcpy(&first, p, 4);
            std::memcpy(&last, p + n - 4, 4);
            key.first = first;
            key.last = last;
        } else if (n > 0) {
            key.first = std::uint64_t(static_cast<unsigned char>(p[0])) |
                        std::uint64_t(static_cast<unsigned char>(p[n / 2])) << 8 |
                        std::uint64_t(static_cast<unsigned char>(p[n - 1])) << 16;
        }
        return key;
    }
    bool operator==(const ShortTextKey&) const = default;
    // A hash of the key whose low bits pick a slot.
    std::uint32_t Hash() const { return HashFinish(first * 0x9E3779B97F4A7C15ull ^ last); }
};

} // namespace rtl
