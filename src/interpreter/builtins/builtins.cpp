// The built-in name table and dispatch. Every name is claimed here, so a built-in always
// wins over a user function of the same name; a call with fewer arguments than the
// built-in's minimum yields Null without running it.
#include "interpreter/builtins/builtins.hpp"

#include <array>
#include <new>

#include "interpreter/builtins/core_builtins.hpp"
#include "interpreter/builtins/library_builtins.hpp"
#include "interpreter/builtins/window_builtins.hpp"
#include "interpreter/errors.hpp"

namespace vormel {
namespace {

using Handler = Value (*)(std::span<Value> args, GraphicsContext& graphics);

struct BuiltinEntry {
  std::string_view name;
  size_t min_args;
  Handler handler;
};

// Adapts a handler that needs no graphics context.
template <Value (*F)(std::span<Value>)>
Value plain(std::span<Value> args, GraphicsContext&) {
  return F(args);
}

constexpr std::array<BuiltinEntry, 39> kBuiltins = {{
    {"print", 0, plain<builtin_print>},
    {"input", 1, plain<builtin_input>},
    {"typeof", 1, plain<builtin_typeof>},
    {"is_number", 0, plain<builtin_is_number>},
    {"is_string", 0, plain<builtin_is_string>},
    {"is_array", 0, plain<builtin_is_array>},
    {"is_dict", 0, plain<builtin_is_dict>},
    {"len", 1, plain<builtin_len>},
    {"push", 2, plain<builtin_push>},
    {"pop", 1, plain<builtin_pop>},
    {"reverse", 1, plain<builtin_reverse>},
    {"contains", 2, plain<builtin_contains>},
    {"split", 2, plain<builtin_split>},
    {"slice", 3, plain<builtin_slice>},
    {"concat", 0, plain<builtin_concat>},
    {"upper", 1, plain<builtin_upper>},
    {"lower", 1, plain<builtin_lower>},
    {"abs", 1, plain<builtin_abs>},
    {"sqrt", 1, plain<builtin_sqrt>},
    {"pow", 2, plain<builtin_pow>},
    {"floor", 1, plain<builtin_floor>},
    {"ceil", 1, plain<builtin_ceil>},
    {"round", 1, plain<builtin_round>},
    {"min", 2, plain<builtin_min>},
    {"max", 2, plain<builtin_max>},
    {"random", 0, plain<builtin_random>},
    {"random_range", 2, plain<builtin_random_range>},
    {"rect", 4, plain<builtin_rect>},
    {"circle", 3, plain<builtin_circle>},
    {"triangle", 6, plain<builtin_triangle>},
    {"color", 3, plain<builtin_color>},
    // The window built-ins forward to the graphics operations.
    {"window", 2, builtin_window},
    {"clear", 0, builtin_clear},
    {"present", 0, builtin_present},
    {"is_open", 0, builtin_is_open},
    {"window_width", 0, builtin_window_width},
    {"window_height", 0, builtin_window_height},
    {"draw", 2, builtin_draw},
    {"fill", 2, builtin_fill},
}};

}  // namespace

std::vector<std::string_view> builtin_names() {
  std::vector<std::string_view> names;
  for (const BuiltinEntry& entry : kBuiltins) names.push_back(entry.name);
  return names;
}

int find_builtin(std::string_view name) {
  for (size_t i = 0; i < kBuiltins.size(); ++i)
    if (kBuiltins[i].name == name) return static_cast<int>(i);
  return -1;
}

Value call_builtin(int id, std::span<Value> args, GraphicsContext& graphics) {
  const BuiltinEntry& entry = kBuiltins[static_cast<size_t>(id)];
  if (args.size() < entry.min_args) return Value::null();
  // Results too large to allocate (a huge concat, split or text) fail like other errors.
  return errors::unless_out_of_memory([&] { return entry.handler(args, graphics); });
}

std::optional<Value> dispatch_builtin(std::string_view name, std::span<Value> args,
                                      GraphicsContext& graphics) {
  int id = find_builtin(name);
  if (id < 0) return std::nullopt;
  return call_builtin(id, args, graphics);
}

}  // namespace vormel
