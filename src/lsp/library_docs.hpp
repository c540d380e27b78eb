// One-line signatures and descriptions of the built-ins and the module functions, shown on
// hover and in completion details.
#pragma once

#include <string_view>

namespace vormel {

struct FunctionDoc {
  std::string_view name;       // "len", "sdl2.create_window"
  std::string_view signature;  // "len(value)"
  std::string_view summary;    // one line
};

// The entry for a built-in name or a module function's full dotted name, or null.
const FunctionDoc* find_function_doc(std::string_view name);

}  // namespace vormel
