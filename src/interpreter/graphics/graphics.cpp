// The "sdl2" module. Its functions arrive with the graphics work; until then the table is
// empty and the dispatcher claims no name.
#include "interpreter/graphics/graphics.hpp"

namespace vormel {

ExportTable graphics_exports() { return ExportTable(); }

std::optional<Value> dispatch_graphics(std::string_view, std::span<Value>, GraphicsContext&) {
  return std::nullopt;
}

}  // namespace vormel
