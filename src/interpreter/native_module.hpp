// A module written in C++ ("sdl2", "http"): a name and one table of functions. Its export
// table, its dispatch, its not-mine answer and its place in call routing all come from
// that table (native_modules.hpp).
#pragma once

#include <span>
#include <string_view>

#include "interpreter/native_function.hpp"

namespace vormel {

struct NativeModule {
  std::string_view name;  // the name a `use` statement imports: "sdl2"
  std::span<const NativeFunction> functions;
  // The message of a dotted call of a name the module lacks, with one '{}' for the name.
  std::string_view missing_function_message;
};

}  // namespace vormel
