// The names a script can call without defining them, and what the tools say about them: the
// built-ins and the functions of the built-in and library modules, taken from the
// interpreter's own tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vormel {

const std::vector<std::string>& builtin_function_names();
bool is_builtin_function(std::string_view name);
// The native modules ("sdl2", "http") in routing order; their function names without the
// prefix, sorted.
bool is_builtin_module(std::string_view module);
std::vector<std::string> builtin_module_names();
// A library module ("text", "math"): imported only where no file of its name exists.
bool is_library_module(std::string_view module);
// A native or library module's function names without the prefix, sorted.
const std::vector<std::string>& module_function_names(std::string_view module);

struct LibraryFunctionDoc {
  std::string signature;     // as a call is written: "len(value)", "sdl2.draw_line(x1, ...)"
  std::string_view summary;  // one line
};
// A built-in by name ("len") or a native or library module's function by its full name
// ("sdl2.draw_line", "math.sin"); nullopt for any other name. Whether a `use` reaches the
// library module or a file of its name is module_table's to say.
std::optional<LibraryFunctionDoc> describe_library_function(std::string_view name);

}  // namespace vormel
