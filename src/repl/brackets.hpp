// The REPL's bracket counters: they decide whether an input continues on the next line.
#pragma once

#include <cstdint>
#include <string_view>

namespace vormel {

// Counts "(" and "[" together and "{" on its own over every line of a session; never reset,
// so surplus closers leave a negative depth that later openers first pay back.
struct BracketDepth {
  int32_t paren = 0;
  int32_t brace = 0;

  // Every bracket byte counts, also inside string literals and comments: the counter does
  // not lex. Both counters saturate at the ends of the 32-bit range instead of wrapping.
  void scan(std::string_view line);
  // An input stays pending while either counter is above zero.
  bool is_open() const { return paren > 0 || brace > 0; }
  // The primary prompt only when both are exactly zero; a negative depth continues too.
  bool is_at_rest() const { return paren == 0 && brace == 0; }
};

}  // namespace vormel
