// The "sdl2" module: the export table now; the functions arrive with the graphics work,
// and until then the dispatcher claims no name.
#include "interpreter/graphics/graphics.hpp"

#include <string>

namespace vormel {

ExportTable graphics_exports() {
  ExportTable table;
  for (const char* name :
       {"init", "create_window", "destroy_window", "set_window_title", "clear_screen",
        "render_present", "set_draw_color", "set_max_fps", "delta_time", "draw_point",
        "draw_line", "draw_rect", "fill_rect", "draw_circle", "fill_circle", "get_window_width",
        "get_window_height", "is_window_open", "get_input_pressed", "get_input_released",
        "get_input_held"})
    table.insert_or_assign(name, Value::builtin_function(std::string("sdl2.") + name));
  return table;
}

std::optional<Value> dispatch_graphics(std::string_view, std::span<Value>, GraphicsContext&) {
  return std::nullopt;
}

}  // namespace vormel
