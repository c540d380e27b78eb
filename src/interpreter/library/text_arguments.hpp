// How the text, list and dict modules read their arguments: a wrong kind is an Error that
// names the function ("text.trim: expected a string, got number").
#pragma once

#include <cstdint>
#include <string_view>

#include "interpreter/library/library_support.hpp"

namespace vormel::library {

// The longest text a library function builds; past it the call fails instead of exhausting
// memory (1 GiB).
inline constexpr uint64_t kMaxTextBytes = uint64_t{1} << 30;
// The most elements list.range builds, the same limit as the language's own ranges.
inline constexpr uint64_t kMaxListElements = uint64_t{1} << 27;

inline bool is_string(const Value& value) { return value.is(ValueKind::String); }
inline Value expected_string(std::string_view function, const Value& got) {
  return expected(function, "a string", got);
}
// Counts and indexes are Numbers: a Float is not taken for one.
inline Value expected_whole_number(std::string_view function, const Value& got) {
  return expected(function, "a whole number", got);
}

}  // namespace vormel::library
