// Integer arithmetic as scripts see it: 64-bit two's complement that wraps on overflow
// (without the undefined behaviour of signed overflow in C++). Every path that adds,
// subtracts, multiplies or negates integers uses these.
#pragma once

#include <cstdint>

namespace vormel {

[[gnu::always_inline]] constexpr int64_t wrap_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_mul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_neg(int64_t a) { return wrap_sub(0, a); }

}  // namespace vormel
