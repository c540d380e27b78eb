// The eight window built-ins: thin forwarders to the graphics operations, under the
// built-in argument rules (unusable arguments yield Null, never an Error).
#pragma once

#include <span>

#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/value.hpp"

namespace vormel {

Value builtin_window(std::span<Value> args, GraphicsContext& graphics);
Value builtin_clear(std::span<Value> args, GraphicsContext& graphics);
Value builtin_present(std::span<Value> args, GraphicsContext& graphics);
Value builtin_is_open(std::span<Value> args, GraphicsContext& graphics);
Value builtin_window_width(std::span<Value> args, GraphicsContext& graphics);
Value builtin_window_height(std::span<Value> args, GraphicsContext& graphics);
Value builtin_draw(std::span<Value> args, GraphicsContext& graphics);
Value builtin_fill(std::span<Value> args, GraphicsContext& graphics);

}  // namespace vormel
