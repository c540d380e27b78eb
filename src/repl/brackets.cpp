// Bracket counting with saturation at the 32-bit limits.
#include "repl/brackets.hpp"

#include <limits>

namespace vormel {
namespace {

void step(int32_t& depth, int delta) {
  if (delta > 0 && depth == std::numeric_limits<int32_t>::max()) return;
  if (delta < 0 && depth == std::numeric_limits<int32_t>::min()) return;
  depth += delta;
}

}  // namespace

void BracketDepth::scan(std::string_view line) {
  // Byte by byte is enough: in UTF-8 no byte of a multi-byte character is an ASCII bracket.
  for (char c : line) {
    switch (c) {
      case '(':
      case '[': step(paren, 1); break;
      case ')':
      case ']': step(paren, -1); break;
      case '{': step(brace, 1); break;
      case '}': step(brace, -1); break;
      default: break;
    }
  }
}

}  // namespace vormel
