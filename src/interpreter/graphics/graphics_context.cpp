// Creating and releasing the graphics context. Creating one opens nothing: the window
// system is only asked for a window by create_window.
#include "interpreter/graphics/graphics_context.hpp"

#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/graphics/graphics_testing.hpp"

namespace vormel {

void GraphicsContextDeleter::operator()(GraphicsContext* context) const noexcept { delete context; }

GraphicsContextPtr make_graphics_context(std::unique_ptr<WindowSystem> system) {
  return GraphicsContextPtr(new GraphicsContext(std::move(system)));
}

GraphicsContextPtr make_graphics_context() {
  return make_graphics_context(make_sdl_window_system());
}

}  // namespace vormel
