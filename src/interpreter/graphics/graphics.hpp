// The "sdl2" module: its export table and its dispatcher.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/graphics/graphics_context.hpp"
#include "interpreter/value.hpp"

namespace vormel {

using ExportTable = Dict;

// The "sdl2" export table: one BuiltinFunction per module function.
ExportTable graphics_exports();
// A value, or nullopt when `name` (such as "sdl2.clear_screen") is not a graphics function.
std::optional<Value> dispatch_graphics(std::string_view name, std::span<Value> args,
                                       GraphicsContext& graphics);

}  // namespace vormel
