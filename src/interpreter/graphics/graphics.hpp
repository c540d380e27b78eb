// The "sdl2" module: its function table and its dispatcher.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/native_module.hpp"

namespace vormel {

const NativeModule& graphics_module();
// A value, or nullopt when `name` (such as "sdl2.clear_screen") is not a graphics function.
std::optional<Value> dispatch_graphics(std::string_view name, std::span<Value> args,
                                       GraphicsContext& graphics);

}  // namespace vormel
