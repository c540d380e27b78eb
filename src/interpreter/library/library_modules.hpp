// The standard library: modules written in C++ that a script imports with `use` when no
// file NAME.vl answers the name ("text", "list", "dict", "math", "time", "json", "file",
// "system", "web", "game"). Their functions are BuiltinFunction values named "text.trim", so that
// they travel like the "http" module's: under the module's name, an alias, or imported by item.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/native_module.hpp"

namespace vormel {

std::span<const NativeModule* const> library_modules();
// The library module called `name`, or null.
const NativeModule* find_library_module(std::string_view name);
// A library function found by its full name, with the argument counts it takes.
struct LibraryFunction {
  const NativeModule* module = nullptr;
  const NativeFunction* function = nullptr;
  size_t max_args = 0;
};
// The library function a full name names ("text.trim"), or nullopt.
std::optional<LibraryFunction> find_library_function(std::string_view full_name);
// Runs a library function: too few or too many arguments for its signature answer an Error.
Value call_library(const LibraryFunction& library, std::span<Value> args,
                   const NativeCallContext& context);
// find_library_function() then call_library(); nullopt when no library module has the name.
std::optional<Value> dispatch_library(std::string_view full_name, std::span<Value> args,
                                      const NativeCallContext& context);
// The most arguments a signature takes: "pad_start(s, width[, fill])" 3, "f()" 0, and no
// limit (SIZE_MAX) when it ends in "...".
size_t signature_max_args(std::string_view signature);

// One table per module, in its own file.
const NativeModule& text_module();
const NativeModule& list_module();
const NativeModule& dict_module();
const NativeModule& math_module();
const NativeModule& time_module();
const NativeModule& json_module();
const NativeModule& file_module();
const NativeModule& system_module();
const NativeModule& web_module();
const NativeModule& game_module();

}  // namespace vormel
