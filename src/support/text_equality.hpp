// Equality of two texts. Most texts a script compares are short words (the states a `match`
// tells apart): those of 4 to 8 bytes are compared by two overlapping 4-byte loads each, with
// no call of memcmp, which costs more than the comparison itself.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace vormel {

[[gnu::always_inline]] inline bool texts_equal(std::string_view a, std::string_view b) {
  const size_t n = a.size();
  if (n != b.size()) return false;
  if (n >= 4 && n <= 8) {
    uint32_t a_head, b_head, a_tail, b_tail;
    std::memcpy(&a_head, a.data(), 4);
    std::memcpy(&b_head, b.data(), 4);
    std::memcpy(&a_tail, a.data() + n - 4, 4);
    std::memcpy(&b_tail, b.data() + n - 4, 4);
    return ((a_head ^ b_head) | (a_tail ^ b_tail)) == 0;
  }
  return n == 0 || std::memcmp(a.data(), b.data(), n) == 0;
}

}  // namespace vormel
