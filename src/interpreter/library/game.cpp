// The "game" library module: the mouse and lines of text on the one window that "sdl2" or
// the window built-in opened. The mouse follows the keys' rules: its state is taken at the
// present step, an edge (pressed, released) lasts one frame and the wheel counts the steps
// of that frame; without a window it reads 0 and false. Text is drawn in DejaVu Sans in the
// current draw colour; the text calls need a window (they answer an Error without one). A
// text argument of another kind is drawn as print shows it.
#include <array>
#include <string>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/graphics/coordinates.hpp"
#include "interpreter/graphics/game_operations.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

constexpr int kDefaultTextSize = 20;

Value game_mouse_x(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).x());
}
Value game_mouse_y(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).y());
}
Value game_wheel(std::span<Value>, const NativeCallContext& context) {
  return Value::number(mouse_state(context.graphics()).wheel());
}

using ButtonQuery = bool (MouseState::*)(MouseButton) const;

template <ButtonQuery query>
Value button_function(std::string_view name, std::span<Value> args,
                      const NativeCallContext& context) {
  if (!args[0].is(ValueKind::String)) return library::expected(name, "a button name", args[0]);
  const std::optional<MouseButton> button = mouse_button_named(args[0].as_string());
  if (!button) return library::error(messages::kGameUnknownButton, {name, args[0].as_string()});
  return Value::boolean((mouse_state(context.graphics()).*query)(*button));
}

Value game_mouse_pressed(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::pressed>("game.mouse_pressed", args, context);
}
Value game_mouse_held(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::held>("game.mouse_held", args, context);
}
Value game_mouse_released(std::span<Value> args, const NativeCallContext& context) {
  return button_function<&MouseState::released>("game.mouse_released", args, context);
}

// The optional size argument at `index`: the default when absent, an Error when wrong.
std::optional<Value> read_size(std::string_view name, std::span<Value> args, size_t index,
                               int& size) {
  size = kDefaultTextSize;
  if (args.size() <= index) return std::nullopt;
  int64_t wanted;
  if (!read_integer(args[index], wanted)) return library::expected(name, "a size", args[index]);
  if (wanted < 1 || wanted > kLargestTextSize)
    return library::error(messages::kGameTextSize,
                          {name, std::to_string(kLargestTextSize), display_text(args[index])});
  size = static_cast<int>(wanted);
  return std::nullopt;
}

// The text to show: a String as it is, any other value as print shows it.
std::optional<Value> read_text(std::string_view name, const Value& arg, std::string& text) {
  text = arg.is(ValueKind::String) ? std::string(arg.as_string()) : display_text(arg);
  if (text.find('\0') != std::string::npos) return library::error(messages::kGameTextNul, {name});
  return std::nullopt;
}

std::optional<Value> require_window(std::string_view name, const NativeCallContext& context) {
  if (has_window(context.graphics())) return std::nullopt;
  return library::error(messages::kGameNoWindow, {name});
}

Value failed(std::string_view name, const std::string& reason) {
  return library::error(messages::kGameTextFailed, {name, reason});
}

Value game_text(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text";
  int64_t x, y;
  if (!read_integer(args[0], x)) return library::expected(name, "a number", args[0]);
  if (!read_integer(args[1], y)) return library::expected(name, "a number", args[1]);
  std::string text;
  int size;
  if (auto problem = read_text(name, args[2], text)) return std::move(*problem);
  if (auto problem = read_size(name, args, 3, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  if (!draw_text(context.graphics(), clamp_coordinate(low_bits_signed(x)),
                 clamp_coordinate(low_bits_signed(y)), text, size, error))
    return failed(name, error);
  return Value::null();
}

Value game_text_width(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text_width";
  std::string text;
  int size;
  if (auto problem = read_text(name, args[0], text)) return std::move(*problem);
  if (auto problem = read_size(name, args, 1, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  const std::optional<TextBox> box = measure_text(context.graphics(), text, size, error);
  if (!box) return failed(name, error);
  return Value::number(box->width);
}

Value game_text_height(std::span<Value> args, const NativeCallContext& context) {
  constexpr std::string_view name = "game.text_height";
  int size;
  if (auto problem = read_size(name, args, 0, size)) return std::move(*problem);
  if (auto problem = require_window(name, context)) return std::move(*problem);
  std::string error;
  const std::optional<int32_t> height = text_line_height(context.graphics(), size, error);
  if (!height) return failed(name, error);
  return Value::number(*height);
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 9> kGameFunctions = {{
    {"mouse_x", 0, "", "mouse_x()", "The pointer's x in the window at the last present step.",
     game_mouse_x},
    {"mouse_y", 0, "", "mouse_y()", "The pointer's y in the window at the last present step.",
     game_mouse_y},
    {"mouse_pressed", 1, "", "mouse_pressed(button)",
     "Whether the button (\"left\", \"middle\", \"right\") went down in the last frame.",
     game_mouse_pressed},
    {"mouse_held", 1, "", "mouse_held(button)", "Whether the button is held down.",
     game_mouse_held},
    {"mouse_released", 1, "", "mouse_released(button)",
     "Whether the button went up in the last frame.", game_mouse_released},
    {"wheel", 0, "", "wheel()",
     "The wheel steps of the last frame: positive away from the user, negative towards.",
     game_wheel},
    {"text", 3, "", "text(x, y, text[, size])",
     "Draws a line of text, top-left corner at x, y, in the current colour (size 20 pixels).",
     game_text},
    {"text_width", 1, "", "text_width(text[, size])", "The width in pixels text() draws.",
     game_text_width},
    {"text_height", 0, "", "text_height([size])", "The height in pixels of a line of text.",
     game_text_height},
}};

constexpr NativeModule kGameModule = {"game", kGameFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& game_module() { return kGameModule; }

}  // namespace vormel
