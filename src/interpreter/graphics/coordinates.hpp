// The two rules for everything handed to the renderer: coordinates are signed 32-bit values
// clamped to [-2^30, 2^30 - 1]; rectangle sizes are unsigned 32-bit values where 0 becomes
// 1 and everything from 2^30 - 1 up becomes 2^30 - 1. Plus the low-bit readings of script
// integers.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vormel {

inline constexpr int32_t kMinCoordinate = -1073741824;
inline constexpr int32_t kMaxCoordinate = 1073741823;
inline constexpr uint32_t kMaxSize = 1073741823;

inline constexpr int32_t clamp_coordinate(int32_t value) {
  return std::clamp(value, kMinCoordinate, kMaxCoordinate);
}

inline constexpr int32_t clamp_size(uint32_t value) {
  if (value == 0) return 1;
  return static_cast<int32_t>(std::min(value, kMaxSize));
}

inline constexpr int32_t low_bits_signed(int64_t value) {
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}
inline constexpr uint32_t low_bits_unsigned(int64_t value) { return static_cast<uint32_t>(value); }
inline constexpr uint8_t low_byte(int64_t value) { return static_cast<uint8_t>(value); }

// 32-bit sums and differences that wrap instead of overflowing.
inline constexpr int32_t wrapping_add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
inline constexpr int32_t wrapping_sub(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace vormel
