// The "sdl2" module's function table and its dispatcher. The table's minimum counts are
// checked before a function runs; each function then checks the kinds, answers the
// module's Error value for a wrong one, and hands the values (read as integers and cut to
// their low bits) to the graphics operations.
#include "interpreter/graphics/graphics.hpp"

#include <array>
#include <cstdint>

#include "interpreter/graphics/coordinates.hpp"
#include "interpreter/graphics/graphics_operations.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {
namespace {

Value error(std::string_view message) { return Value::error(std::string(message)); }

bool is_numeric(const Value& value) {
  return value.is(ValueKind::Number) || value.is(ValueKind::Float);
}

// The first N arguments as integers, or false when one of them is not a number.
template <size_t N>
bool read_integers(std::span<Value> args, std::array<int64_t, N>& out) {
  for (size_t i = 0; i < N; ++i) {
    if (!is_numeric(args[i])) return false;
    out[i] = to_integer(args[i]);
  }
  return true;
}

Value sdl2_init(std::span<Value>, const NativeCallContext&) { return Value::boolean(true); }

Value sdl2_create_window(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 2> size;
  if (!args[0].is(ValueKind::String) || !read_integers(args.subspan(1), size))
    return error(messages::kCreateWindowKind);
  create_window(context.graphics(), args[0].as_string(), low_bits_unsigned(size[0]),
                low_bits_unsigned(size[1]));
  return Value::number(1);
}

Value sdl2_destroy_window(std::span<Value>, const NativeCallContext& context) {
  destroy_window(context.graphics());
  return Value::null();
}

// Accepted for compatibility; the title is not changed.
Value sdl2_set_window_title(std::span<Value> args, const NativeCallContext&) {
  if (!args[1].is(ValueKind::String)) return error(messages::kTitleKind);
  return Value::null();
}

Value sdl2_clear_screen(std::span<Value>, const NativeCallContext& context) {
  clear_screen(context.graphics());
  return Value::null();
}

Value sdl2_render_present(std::span<Value>, const NativeCallContext& context) {
  present(context.graphics());
  return Value::null();
}

Value sdl2_set_draw_color(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 3> rgb;
  if (!read_integers(args, rgb)) return error(messages::kColorKind);
  request_color(context.graphics(), low_byte(rgb[0]), low_byte(rgb[1]), low_byte(rgb[2]));
  return Value::null();
}

Value sdl2_set_max_fps(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 1> fps;
  if (!read_integers(args, fps)) return error(messages::kFpsKind);
  if (fps[0] <= 0) return error(messages::kFpsNotPositive);
  set_max_fps(context.graphics(), low_bits_unsigned(fps[0]));
  return Value::null();
}

Value sdl2_delta_time(std::span<Value>, const NativeCallContext& context) {
  return Value::floating(delta_time(context.graphics()));
}

Value sdl2_draw_point(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 2> p;
  if (!read_integers(args, p)) return error(messages::kCoordinatesKind);
  draw_point(context.graphics(), low_bits_signed(p[0]), low_bits_signed(p[1]));
  return Value::null();
}

Value sdl2_draw_line(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 4> p;
  if (!read_integers(args, p)) return error(messages::kCoordinatesKind);
  draw_line(context.graphics(), low_bits_signed(p[0]), low_bits_signed(p[1]), low_bits_signed(p[2]),
            low_bits_signed(p[3]));
  return Value::null();
}

using RectOperation = void (*)(GraphicsContext&, int32_t, int32_t, uint32_t, uint32_t);

template <RectOperation operation>
Value rectangle_function(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 4> r;
  if (!read_integers(args, r)) return error(messages::kRectangleKind);
  operation(context.graphics(), low_bits_signed(r[0]), low_bits_signed(r[1]),
            low_bits_unsigned(r[2]), low_bits_unsigned(r[3]));
  return Value::null();
}

using CircleOperation = void (*)(GraphicsContext&, int32_t, int32_t, int32_t);

template <CircleOperation operation>
Value circle_function(std::span<Value> args, const NativeCallContext& context) {
  std::array<int64_t, 3> c;
  if (!read_integers(args, c)) return error(messages::kCircleKind);
  operation(context.graphics(), low_bits_signed(c[0]), low_bits_signed(c[1]),
            low_bits_signed(c[2]));
  return Value::null();
}

Value size_or_null(std::optional<int64_t> size) {
  return size ? Value::number(*size) : Value::null();
}

Value sdl2_get_window_width(std::span<Value>, const NativeCallContext& context) {
  return size_or_null(window_width(context.graphics()));
}
Value sdl2_get_window_height(std::span<Value>, const NativeCallContext& context) {
  return size_or_null(window_height(context.graphics()));
}

Value sdl2_is_window_open(std::span<Value>, const NativeCallContext& context) {
  return Value::boolean(is_window_open(context.graphics()));
}

using KeyQuery = bool (*)(const GraphicsContext&, std::string_view);

// The key name is the argument's display text; a String is used as it is, without a copy.
template <KeyQuery query>
Value key_function(std::span<Value> args, const NativeCallContext& context) {
  if (args[0].is(ValueKind::String))
    return Value::boolean(query(context.graphics(), args[0].as_string()));
  return Value::boolean(query(context.graphics(), display_text(args[0])));
}

// In this order the module exports them. The too-few messages are the module's answers to
// a call with fewer arguments than the function needs.
constexpr std::array<NativeFunction, 21> kGraphicsFunctions = {{
    {"init", 0, "", "init()", "Returns true; the window is set up by create_window.", sdl2_init},
    {"create_window", 3, "create_window requires 3 arguments",
     "create_window(title, width, height)", "Opens the window with a 2D renderer.",
     sdl2_create_window},
    {"destroy_window", 0, "", "destroy_window()", "Marks the window closed.", sdl2_destroy_window},
    {"set_window_title", 2, "set_window_title requires 2 arguments",
     "set_window_title(window, title)", "Checks the title; the window's title stays as created.",
     sdl2_set_window_title},
    {"clear_screen", 0, "", "clear_screen()", "Clears the frame in the current colour.",
     sdl2_clear_screen},
    {"render_present", 0, "", "render_present()",
     "Shows the frame, paces it to the frame-rate limit and reads input.", sdl2_render_present},
    {"set_draw_color", 3, "set_draw_color requires 3 arguments", "set_draw_color(r, g, b)",
     "Sets the current drawing colour.", sdl2_set_draw_color},
    {"set_max_fps", 1, "set_max_fps requires an FPS value", "set_max_fps(fps)",
     "Sets the frame-rate limit.", sdl2_set_max_fps},
    {"delta_time", 0, "", "delta_time()", "The last frame's duration in seconds.", sdl2_delta_time},
    {"draw_point", 2, "draw_point requires 2 arguments", "draw_point(x, y)", "Draws one point.",
     sdl2_draw_point},
    {"draw_line", 4, "draw_line requires 4 arguments", "draw_line(x1, y1, x2, y2)", "Draws a line.",
     sdl2_draw_line},
    {"draw_rect", 4, "draw_rect requires 4 arguments", "draw_rect(x, y, width, height)",
     "Draws a rectangle outline.", rectangle_function<draw_rect>},
    {"fill_rect", 4, "fill_rect requires 4 arguments", "fill_rect(x, y, width, height)",
     "Draws a filled rectangle.", rectangle_function<fill_rect>},
    {"draw_circle", 3, "draw_circle requires 3 arguments", "draw_circle(x, y, radius)",
     "Draws a circle outline.", circle_function<draw_circle>},
    {"fill_circle", 3, "fill_circle requires 3 arguments", "fill_circle(x, y, radius)",
     "Draws a filled circle.", circle_function<fill_circle>},
    {"get_window_width", 0, "", "get_window_width()",
     "The window's width, or null without a window.", sdl2_get_window_width},
    {"get_window_height", 0, "", "get_window_height()",
     "The window's height, or null without a window.", sdl2_get_window_height},
    {"is_window_open", 0, "", "is_window_open()", "Whether the window is open.",
     sdl2_is_window_open},
    {"get_input_pressed", 1, "get_input_pressed requires a key name", "get_input_pressed(key)",
     "Whether the key went down in the last frame.", key_function<key_pressed>},
    {"get_input_released", 1, "get_input_released requires a key name", "get_input_released(key)",
     "Whether the key went up in the last frame.", key_function<key_released>},
    {"get_input_held", 1, "get_input_held requires a key name", "get_input_held(key)",
     "Whether the key is held down.", key_function<key_held>},
}};

constexpr NativeModule kGraphicsModule = {"sdl2", kGraphicsFunctions,
                                          messages::kGraphicsFunctionMissing};

}  // namespace

const NativeModule& graphics_module() { return kGraphicsModule; }

std::optional<Value> dispatch_graphics(std::string_view name, std::span<Value> args,
                                       GraphicsContext& graphics) {
  return dispatch_native(kGraphicsModule, name, args, NativeCallContext(graphics));
}

}  // namespace vormel
