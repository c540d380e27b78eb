// How `random` and `random_range` turn a 64-bit draw into their results. Kept apart from the
// generator so that the formulas can be checked on chosen draws.
#pragma once

#include <cstdint>

namespace vormel {

// The top 53 bits scaled by 2^-53: a multiple of 2^-53 in [0, 1).
inline double unit_interval_from_draw(uint64_t draw) {
  return static_cast<double>(draw >> 11) * 0x1.0p-53;
}

// The span as high - low, wrapping.
inline int64_t range_span(int64_t low, int64_t high) {
  return static_cast<int64_t>(static_cast<uint64_t>(high) - static_cast<uint64_t>(low));
}

// low + (draw as a signed integer) rem span, wrapping; span must not be 0. The remainder's
// sign follows the draw, so results fall on both sides of low.
inline int64_t range_value_from_draw(int64_t low, int64_t span, uint64_t draw) {
  auto signed_draw = static_cast<int64_t>(draw);
  // Any value rem -1 is 0; computing it would overflow for the most negative draw.
  int64_t remainder = span == -1 ? 0 : signed_draw % span;
  return static_cast<int64_t>(static_cast<uint64_t>(low) + static_cast<uint64_t>(remainder));
}

}  // namespace vormel
