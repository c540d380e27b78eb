// A graphics context over a window system of the caller's choice, for tests that record
// what the drawing operations send to the renderer.
#pragma once

#include <memory>

#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/graphics/window_system.hpp"

namespace vormel {

GraphicsContextPtr make_graphics_context(std::unique_ptr<WindowSystem> system);

}  // namespace vormel
