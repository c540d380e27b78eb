// Character positions in UTF-8 text: the library counts Unicode scalar values, as the slice
// built-in does, so that "é" or "🙂" is one position whatever its byte length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/text_format.hpp"

namespace vormel::library {

// Byte offset just past the character at `pos` (a malformed byte counts as one).
inline size_t next_character(std::string_view text, size_t pos) {
  decode_utf8(text, pos);
  return pos;
}

inline uint64_t character_count(std::string_view text) {
  uint64_t count = 0;
  for (size_t pos = 0; pos < text.size(); pos = next_character(text, pos)) ++count;
  return count;
}

// Byte offset of character `index`, or npos when the text has fewer characters.
inline size_t byte_offset_of(std::string_view text, uint64_t index) {
  size_t pos = 0;
  for (; index > 0; --index) {
    if (pos >= text.size()) return std::string_view::npos;
    pos = next_character(text, pos);
  }
  return pos;
}

// Character index of byte offset `offset` (a character boundary).
inline uint64_t character_index_of(std::string_view text, size_t offset) {
  return character_count(text.substr(0, offset));
}

}  // namespace vormel::library
