// Reading JSON text into values: objects become dicts (keys in the order written), integers
// that fit in 64 bits Numbers, other numbers Floats. Bad text gives an Error value that names
// what is wrong and where ("json.parse: unexpected '}' at line 3, column 5").
#pragma once

#include <cstddef>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel {

// Arrays and objects nested deeper than this are an Error, not a deep native structure.
inline constexpr size_t kJsonMaxDepth = 1000;

Value parse_json(std::string_view text);

}  // namespace vormel
