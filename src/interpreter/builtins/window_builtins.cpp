#include "interpreter/builtins/window_builtins.hpp"

#include <cstdint>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/graphics/graphics_operations.hpp"

namespace vormel {

Value builtin_window(std::span<Value> args, GraphicsContext& graphics) {
  int64_t width = 0, height = 0;
  if (!read_integer(args[0], width) || !read_integer(args[1], height)) return Value::null();
  // The window takes the low 32 bits of each size as an unsigned value.
  create_window(graphics, "Vormel", static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  return Value::null();
}

Value builtin_clear(std::span<Value>, GraphicsContext& graphics) {
  clear_screen(graphics);
  return Value::null();
}

Value builtin_present(std::span<Value>, GraphicsContext& graphics) {
  present(graphics);
  return Value::null();
}

Value builtin_is_open(std::span<Value>, GraphicsContext& graphics) {
  return Value::boolean(is_window_open(graphics));
}

Value builtin_window_width(std::span<Value>, GraphicsContext& graphics) {
  auto width = window_width(graphics);
  return width ? Value::number(*width) : Value::null();
}

Value builtin_window_height(std::span<Value>, GraphicsContext& graphics) {
  auto height = window_height(graphics);
  return height ? Value::number(*height) : Value::null();
}

Value builtin_draw(std::span<Value> args, GraphicsContext& graphics) {
  draw_shape(graphics, args[0], args[1]);
  return Value::null();
}

Value builtin_fill(std::span<Value> args, GraphicsContext& graphics) {
  fill_shape(graphics, args[0], args[1]);
  return Value::null();
}

}  // namespace vormel
