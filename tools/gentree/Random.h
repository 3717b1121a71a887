#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gentree {

// A small seeded generator (SplitMix64) whose sequence is the same on every platform and library,
// so that a seed always gives the same tree.
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // A number in [0, bound).
    std::uint32_t Below(std::uint32_t bound) {
        return bound == 0 ? 0 : static_cast<std::uint32_t>(Next() % bound);
    }

    // A number in [low, high].
    int Between(int low, int high) {
        return low + static_cast<int>(Below(static_cast<std::uint32_t>(high - low + 1)));
    }

    bool Chance(int percent) { return Below(100) < static_cast<std::uint32_t>(percent); }

    template <typename T> const T& Pick(const std::vector<T>& items) {
        return items[Below(static_cast<std::uint32_t>(items.size()))];
    }

private:
    std::uint64_t state_;
};

} // namespace gentree
