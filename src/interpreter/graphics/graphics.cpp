// The "sdl2" module's function table. The drawing, input and pacing functions arrive with
// the graphics work; until then every one answers null.
#include "interpreter/graphics/graphics.hpp"

#include <array>

#include "interpreter/graphics/graphics_context.hpp"
#include "interpreter/graphics/graphics_handle.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {
namespace {

Value not_built_yet(std::span<Value>, NativeCallContext&) { return Value::null(); }

constexpr std::array<NativeFunction, 21> kGraphicsFunctions = {{
    {"init", not_built_yet},
    {"create_window", not_built_yet},
    {"destroy_window", not_built_yet},
    {"set_window_title", not_built_yet},
    {"clear_screen", not_built_yet},
    {"render_present", not_built_yet},
    {"set_draw_color", not_built_yet},
    {"set_max_fps", not_built_yet},
    {"delta_time", not_built_yet},
    {"draw_point", not_built_yet},
    {"draw_line", not_built_yet},
    {"draw_rect", not_built_yet},
    {"fill_rect", not_built_yet},
    {"draw_circle", not_built_yet},
    {"fill_circle", not_built_yet},
    {"get_window_width", not_built_yet},
    {"get_window_height", not_built_yet},
    {"is_window_open", not_built_yet},
    {"get_input_pressed", not_built_yet},
    {"get_input_released", not_built_yet},
    {"get_input_held", not_built_yet},
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

void GraphicsContextDeleter::operator()(GraphicsContext* context) const noexcept { delete context; }

GraphicsContextPtr make_graphics_context() { return GraphicsContextPtr(new GraphicsContext()); }

}  // namespace vormel
