// The "sdl2" module's function table and its dispatcher: each function checks its argument
// count, then the kinds, answers the module's Error value for either, and hands the values
// (read as integers and cut to their low bits) to the graphics operations.
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

GraphicsContext& context_of(NativeCallContext& context) { return *context.graphics; }

Value sdl2_init(std::span<Value>, NativeCallContext&) { return Value::boolean(true); }

Value sdl2_create_window(std::span<Value> args, NativeCallContext& context) {
  if (args.size() < 3) return error(messages::kCreateWindowArity);
  std::array<int64_t, 2> size;
  if (!args[0].is(ValueKind::String) || !read_integers(args.subspan(1), size))
    return error(messages::kCreateWindowKind);
  create_window(context_of(context), args[0].as_string(), low_bits_unsigned(size[0]),
                low_bits_unsigned(size[1]));
  return Value::number(1);
}

Value sdl2_destroy_window(std::span<Value>, NativeCallContext& context) {
  destroy_window(context_of(context));
  return Value::null();
}

// Accepted for compatibility; the title is not changed.
Value sdl2_set_window_title(std::span<Value> args, NativeCallContext&) {
  if (args.size() < 2) return error(messages::kSetWindowTitleArity);
  if (!args[1].is(ValueKind::String)) return error(messages::kTitleKind);
  return Value::null();
}

Value sdl2_clear_screen(std::span<Value>, NativeCallContext& context) {
  clear_screen(context_of(context));
  return Value::null();
}

Value sdl2_render_present(std::span<Value>, NativeCallContext& context) {
  present(context_of(context));
  return Value::null();
}

Value sdl2_set_draw_color(std::span<Value> args, NativeCallContext& context) {
  if (args.size() < 3) return error(messages::kSetDrawColorArity);
  std::array<int64_t, 3> rgb;
  if (!read_integers(args, rgb)) return error(messages::kColorKind);
  request_color(context_of(context), low_byte(rgb[0]), low_byte(rgb[1]), low_byte(rgb[2]));
  return Value::null();
}

Value sdl2_set_max_fps(std::span<Value> args, NativeCallContext& context) {
  if (args.empty()) return error(messages::kSetMaxFpsArity);
  std::array<int64_t, 1> fps;
  if (!read_integers(args, fps)) return error(messages::kFpsKind);
  if (fps[0] <= 0) return error(messages::kFpsNotPositive);
  set_max_fps(context_of(context), low_bits_unsigned(fps[0]));
  return Value::null();
}

Value sdl2_delta_time(std::span<Value>, NativeCallContext& context) {
  return Value::floating(delta_time(context_of(context)));
}

Value sdl2_draw_point(std::span<Value> args, NativeCallContext& context) {
  if (args.size() < 2) return error(messages::kDrawPointArity);
  std::array<int64_t, 2> p;
  if (!read_integers(args, p)) return error(messages::kCoordinatesKind);
  draw_point(context_of(context), low_bits_signed(p[0]), low_bits_signed(p[1]));
  return Value::null();
}

Value sdl2_draw_line(std::span<Value> args, NativeCallContext& context) {
  if (args.size() < 4) return error(messages::kDrawLineArity);
  std::array<int64_t, 4> p;
  if (!read_integers(args, p)) return error(messages::kCoordinatesKind);
  draw_line(context_of(context), low_bits_signed(p[0]), low_bits_signed(p[1]),
            low_bits_signed(p[2]), low_bits_signed(p[3]));
  return Value::null();
}

using RectOperation = void (*)(GraphicsContext&, int32_t, int32_t, uint32_t, uint32_t);

template <RectOperation operation>
Value rectangle_function(std::span<Value> args, NativeCallContext& context,
                         std::string_view too_few) {
  if (args.size() < 4) return error(too_few);
  std::array<int64_t, 4> r;
  if (!read_integers(args, r)) return error(messages::kRectangleKind);
  operation(context_of(context), low_bits_signed(r[0]), low_bits_signed(r[1]),
            low_bits_unsigned(r[2]), low_bits_unsigned(r[3]));
  return Value::null();
}

Value sdl2_draw_rect(std::span<Value> args, NativeCallContext& context) {
  return rectangle_function<draw_rect>(args, context, messages::kDrawRectArity);
}
Value sdl2_fill_rect(std::span<Value> args, NativeCallContext& context) {
  return rectangle_function<fill_rect>(args, context, messages::kFillRectArity);
}

using CircleOperation = void (*)(GraphicsContext&, int32_t, int32_t, int32_t);

template <CircleOperation operation>
Value circle_function(std::span<Value> args, NativeCallContext& context, std::string_view too_few) {
  if (args.size() < 3) return error(too_few);
  std::array<int64_t, 3> c;
  if (!read_integers(args, c)) return error(messages::kCircleKind);
  operation(context_of(context), low_bits_signed(c[0]), low_bits_signed(c[1]),
            low_bits_signed(c[2]));
  return Value::null();
}

Value sdl2_draw_circle(std::span<Value> args, NativeCallContext& context) {
  return circle_function<draw_circle>(args, context, messages::kDrawCircleArity);
}
Value sdl2_fill_circle(std::span<Value> args, NativeCallContext& context) {
  return circle_function<fill_circle>(args, context, messages::kFillCircleArity);
}

Value size_or_null(std::optional<int64_t> size) {
  return size ? Value::number(*size) : Value::null();
}

Value sdl2_get_window_width(std::span<Value>, NativeCallContext& context) {
  return size_or_null(window_width(context_of(context)));
}
Value sdl2_get_window_height(std::span<Value>, NativeCallContext& context) {
  return size_or_null(window_height(context_of(context)));
}

Value sdl2_is_window_open(std::span<Value>, NativeCallContext& context) {
  return Value::boolean(is_window_open(context_of(context)));
}

using KeyQuery = bool (*)(const GraphicsContext&, std::string_view);

// The key name is the argument's display text; a String is used as it is, without a copy.
template <KeyQuery query>
Value key_function(std::span<Value> args, NativeCallContext& context, std::string_view too_few) {
  if (args.empty()) return error(too_few);
  if (args[0].is(ValueKind::String))
    return Value::boolean(query(context_of(context), args[0].as_string()));
  return Value::boolean(query(context_of(context), display_text(args[0])));
}

Value sdl2_get_input_pressed(std::span<Value> args, NativeCallContext& context) {
  return key_function<key_pressed>(args, context, messages::kInputPressedArity);
}
Value sdl2_get_input_released(std::span<Value> args, NativeCallContext& context) {
  return key_function<key_released>(args, context, messages::kInputReleasedArity);
}
Value sdl2_get_input_held(std::span<Value> args, NativeCallContext& context) {
  return key_function<key_held>(args, context, messages::kInputHeldArity);
}

// In this order the module exports them.
constexpr std::array<NativeFunction, 21> kGraphicsFunctions = {{
    {"init", sdl2_init},
    {"create_window", sdl2_create_window},
    {"destroy_window", sdl2_destroy_window},
    {"set_window_title", sdl2_set_window_title},
    {"clear_screen", sdl2_clear_screen},
    {"render_present", sdl2_render_present},
    {"set_draw_color", sdl2_set_draw_color},
    {"set_max_fps", sdl2_set_max_fps},
    {"delta_time", sdl2_delta_time},
    {"draw_point", sdl2_draw_point},
    {"draw_line", sdl2_draw_line},
    {"draw_rect", sdl2_draw_rect},
    {"fill_rect", sdl2_fill_rect},
    {"draw_circle", sdl2_draw_circle},
    {"fill_circle", sdl2_fill_circle},
    {"get_window_width", sdl2_get_window_width},
    {"get_window_height", sdl2_get_window_height},
    {"is_window_open", sdl2_is_window_open},
    {"get_input_pressed", sdl2_get_input_pressed},
    {"get_input_released", sdl2_get_input_released},
    {"get_input_held", sdl2_get_input_held},
}};

constexpr NativeModule kGraphicsModule = {"sdl2", kGraphicsFunctions,
                                          messages::kGraphicsFunctionMissing};

}  // namespace

const NativeModule& graphics_module() { return kGraphicsModule; }

std::optional<Value> dispatch_graphics(std::string_view name, std::span<Value> args,
                                       GraphicsContext& graphics) {
  NativeCallContext context{&graphics};
  return dispatch_native(kGraphicsModule, name, args, context);
}

}  // namespace vormel
