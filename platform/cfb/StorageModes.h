#pragma once

#include <cstdint>

namespace cfb {

// Access, sharing and creation flags of compound files and their streams.
constexpr std::uint32_t STGM_READ = 0x0000;
constexpr std::uint32_t STGM_WRITE = 0x0001;
constexpr std::uint32_t STGM_READWRITE = 0x0002;
constexpr std::uint32_t STGM_SHARE_EXCLUSIVE = 0x0010;
constexpr std::uint32_t STGM_CREATE = 0x1000;
constexpr std::uint32_t STGM_TRANSACTED = 0x00010000;

constexpr std::uint32_t STGM_ACCESS_MASK = 0x0003;
constexpr std::uint32_t STGM_SHARE_MASK = 0x0070;

} // namespace cfb
