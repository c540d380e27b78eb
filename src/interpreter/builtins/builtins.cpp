// The built-in name table and dispatch. Every name is claimed here, so a built-in always
// wins over a user function of the same name; a call with fewer arguments than the
// built-in's minimum yields Null without running it (no entry has a too-few message).
#include "interpreter/builtins/builtins.hpp"

#include <array>

#include "interpreter/builtins/builtin_handlers.hpp"
#include "interpreter/builtins/window_builtins.hpp"

namespace vormel {
namespace {

// Adapts a handler that needs no graphics context.
template <Value (*F)(std::span<Value>)>
Value plain(std::span<Value> args, const NativeCallContext&) {
  return F(args);
}

// Adapts a window built-in: only these ask for the graphics context.
template <Value (*F)(std::span<Value>, GraphicsContext&)>
Value drawing(std::span<Value> args, const NativeCallContext& context) {
  return F(args, context.graphics());
}

constexpr std::array<NativeFunction, 39> kBuiltins = {{
    // Console and types.
    {"print", 0, "", "print(values...)", "Writes each value's display text on its own line.",
     plain<builtin_print>},
    {"input", 1, "", "input(prompt)", "Writes the prompt and reads one trimmed line of input.",
     plain<builtin_input>},
    {"typeof", 1, "", "typeof(value)", "The value's type name: \"number\", \"string\", ...",
     plain<builtin_typeof>},
    {"is_number", 0, "", "is_number(value)", "True for an integer or a float.",
     plain<builtin_is_number>},
    {"is_string", 0, "", "is_string(value)", "True for a string.", plain<builtin_is_string>},
    {"is_array", 0, "", "is_array(value)", "True for an array.", plain<builtin_is_array>},
    {"is_dict", 0, "", "is_dict(value)", "True for a dict.", plain<builtin_is_dict>},
    {"len", 1, "", "len(value)",
     "Byte length of a string, or the element count of an array or dict.", plain<builtin_len>},
    // Collections and strings.
    {"push", 2, "", "push(array, value)", "A copy of the array with the value appended.",
     plain<builtin_push>},
    {"pop", 1, "", "pop(array)", "The array's last element, or null when it is empty.",
     plain<builtin_pop>},
    {"reverse", 1, "", "reverse(array)", "A reversed copy of the array.", plain<builtin_reverse>},
    {"contains", 2, "", "contains(haystack, needle)",
     "Whether the needle's text occurs in the haystack's text.", plain<builtin_contains>},
    {"split", 2, "", "split(text, separator)",
     "The pieces of the text between separators, as an array of strings.", plain<builtin_split>},
    {"slice", 3, "", "slice(text, start, end)", "The characters of the text from start up to end.",
     plain<builtin_slice>},
    {"concat", 0, "", "concat(values...)",
     "The display texts of the values joined into one string.", plain<builtin_concat>},
    {"upper", 1, "", "upper(text)", "The text in upper case.", plain<builtin_upper>},
    {"lower", 1, "", "lower(text)", "The text in lower case.", plain<builtin_lower>},
    // Math and random numbers.
    {"abs", 1, "", "abs(number)", "The absolute value, of the same kind.", plain<builtin_abs>},
    {"sqrt", 1, "", "sqrt(number)", "The square root, as a float.", plain<builtin_sqrt>},
    {"pow", 2, "", "pow(base, exponent)", "The base raised to the exponent, as a float.",
     plain<builtin_pow>},
    {"floor", 1, "", "floor(number)", "Rounded down to an integer.", plain<builtin_floor>},
    {"ceil", 1, "", "ceil(number)", "Rounded up to an integer.", plain<builtin_ceil>},
    {"round", 1, "", "round(number)", "Rounded to the nearest integer.", plain<builtin_round>},
    {"min", 2, "", "min(a, b, ...)", "The smallest of the numbers, as a float.",
     plain<builtin_min>},
    {"max", 2, "", "max(a, b, ...)", "The largest of the numbers, as a float.", plain<builtin_max>},
    {"random", 0, "", "random()", "A random float in [0, 1).", plain<builtin_random>},
    {"random_range", 2, "", "random_range(low, high)",
     "low plus a random remainder modulo high - low, of either sign: (1, 10) gives -7 to 9.",
     plain<builtin_random_range>},
    // Shapes and the window.
    {"rect", 4, "", "rect(x, y, width, height)", "A rectangle to draw or fill.",
     plain<builtin_rect>},
    {"circle", 3, "", "circle(x, y, radius)", "A circle to draw or fill.", plain<builtin_circle>},
    {"triangle", 6, "", "triangle(x1, y1, x2, y2, x3, y3)", "A triangle to draw or fill.",
     plain<builtin_triangle>},
    {"color", 3, "", "color(r, g, b)", "A colour from red, green and blue (0 to 255).",
     plain<builtin_color>},
    {"window", 2, "", "window(width, height)", "Opens the window.", drawing<builtin_window>},
    {"clear", 0, "", "clear()", "Clears the frame to black.", drawing<builtin_clear>},
    {"present", 0, "", "present()", "Shows the frame.", drawing<builtin_present>},
    {"is_open", 0, "", "is_open()", "Whether the window is open.", drawing<builtin_is_open>},
    {"window_width", 0, "", "window_width()", "The window's width, or null without a window.",
     drawing<builtin_window_width>},
    {"window_height", 0, "", "window_height()", "The window's height, or null without a window.",
     drawing<builtin_window_height>},
    {"draw", 2, "", "draw(shape, color)", "Draws the outline of a rect, circle or triangle.",
     drawing<builtin_draw>},
    {"fill", 2, "", "fill(shape, color)", "Draws a filled rect, circle or triangle.",
     drawing<builtin_fill>},
}};

}  // namespace

std::span<const NativeFunction> builtin_functions() { return kBuiltins; }

int find_builtin(std::string_view name) {
  for (size_t i = 0; i < kBuiltins.size(); ++i)
    if (kBuiltins[i].name == name) return static_cast<int>(i);
  return -1;
}

Value call_builtin(int id, std::span<Value> args, const NativeCallContext& context) {
  // Results too large to allocate (a huge concat, split or text) fail like other errors.
  return call_native(kBuiltins[static_cast<size_t>(id)], args, context);
}

std::optional<Value> dispatch_builtin(std::string_view name, std::span<Value> args,
                                      const NativeCallContext& context) {
  int id = find_builtin(name);
  if (id < 0) return std::nullopt;
  return call_builtin(id, args, context);
}

}  // namespace vormel
