// A module written in C++ ("sdl2", "http"): a name and one table of functions. Its export
// table, its dispatch, its not-mine answer and its place in call routing all come from
// that table (native_modules.hpp).
#pragma once

#include <span>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel {

class GraphicsContext;  // complete only inside the graphics module

// What a native function may reach of the interpreter that calls it.
struct NativeCallContext {
  // The calling interpreter's graphics context; null only where no interpreter calls (the
  // HTTP functions, which never read it).
  GraphicsContext* graphics;
};

// Runs one native function. Arguments may be moved from.
using NativeHandler = Value (*)(std::span<Value> args, NativeCallContext& context);

struct NativeFunction {
  std::string_view name;  // without the module prefix: "draw_point"
  NativeHandler handler;
};

struct NativeModule {
  std::string_view name;  // the name a `use` statement imports: "sdl2"
  std::span<const NativeFunction> functions;
  // The message of a dotted call of a name the module lacks, with one '{}' for the name.
  std::string_view missing_function_message;
};

}  // namespace vormel
