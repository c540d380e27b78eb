#include "interpreter/graphics/graphics_operations.hpp"

#include <cstdio>
#include <cstdlib>

#include "interpreter/diagnostics.hpp"
#include "interpreter/graphics/graphics_context.hpp"
#include "interpreter/graphics/key_names.hpp"
#include "interpreter/graphics/shape_drawing.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/step_budget.hpp"

namespace vormel {
namespace {

// A renderer that cannot take a colour or clear is unusable: the program stops.
[[noreturn]] void stop_on_renderer_failure(std::string_view message) {
  std::fflush(stdout);
  log_error(message);
  std::_Exit(kRendererFailureStatus);
}

void apply_color(Window& window, DrawColor color) {
  if (!window.set_draw_color(color)) stop_on_renderer_failure(window.error_text());
}

constexpr uint32_t kLargestWindowSide = 0x7FFFFFFF;

}  // namespace

void create_window(GraphicsContext& graphics, std::string_view title, uint32_t width,
                   uint32_t height) {
  if (graphics.window_created) return;
  if (width > kLargestWindowSide || height > kLargestWindowSide) return;
  if (title.find('\0') != std::string_view::npos) return;
  std::unique_ptr<Window> window =
      graphics.system->open_window(title, static_cast<int>(width), static_cast<int>(height));
  if (!window) return;
  graphics.window = std::move(window);
  graphics.window_created = true;
  graphics.open = true;
  graphics.pacer.restart();
  apply_color(*graphics.window, graphics.color);
}

void destroy_window(GraphicsContext& graphics) { graphics.open = false; }

bool is_window_open(const GraphicsContext& graphics) { return graphics.open; }

std::optional<int64_t> window_width(GraphicsContext& graphics) {
  if (!graphics.window) return std::nullopt;
  return graphics.window->size().width;
}

std::optional<int64_t> window_height(GraphicsContext& graphics) {
  if (!graphics.window) return std::nullopt;
  return graphics.window->size().height;
}

void request_color(GraphicsContext& graphics, uint8_t red, uint8_t green, uint8_t blue) {
  const DrawColor wanted{red, green, blue, 255};
  if (wanted == graphics.color) return;
  graphics.color = wanted;
  if (graphics.window) apply_color(*graphics.window, wanted);
}

void clear_screen(GraphicsContext& graphics) {
  if (!graphics.window) return;
  Window& window = *graphics.window;
  if constexpr (kStepBudget) {
    if (auto area = window.visible_area()) spend_steps(rows_as_steps(area->height));
  }
  apply_color(window, DrawColor{0, 0, 0, 255});
  if (!window.clear())
    stop_on_renderer_failure(format_message(messages::kCouldNotClear, {window.error_text()}));
  apply_color(window, graphics.color);
}

void draw_point(GraphicsContext& graphics, int32_t x, int32_t y) {
  if (graphics.window) draw_point(*graphics.window, x, y);
}

void draw_line(GraphicsContext& graphics, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  if (graphics.window) draw_line(*graphics.window, x1, y1, x2, y2);
}

void draw_rect(GraphicsContext& graphics, int32_t x, int32_t y, uint32_t w, uint32_t h) {
  if (graphics.window) draw_rect(*graphics.window, x, y, w, h);
}

void fill_rect(GraphicsContext& graphics, int32_t x, int32_t y, uint32_t w, uint32_t h) {
  if (graphics.window) fill_rect(*graphics.window, x, y, w, h);
}

void draw_circle(GraphicsContext& graphics, int32_t cx, int32_t cy, int32_t radius) {
  if (graphics.window) draw_circle(*graphics.window, cx, cy, radius);
}

void fill_circle(GraphicsContext& graphics, int32_t cx, int32_t cy, int32_t radius) {
  if (graphics.window) fill_circle(*graphics.window, cx, cy, radius);
}

namespace {

bool is_shape(const Value& value) {
  return value.is(ValueKind::Rect) || value.is(ValueKind::Circle) || value.is(ValueKind::Triangle);
}

// The common start of outline and filled drawing: the renderer to draw on, in the shape's
// colour, or null when nothing is to be drawn.
Window* prepare_shape(GraphicsContext& graphics, const Value& shape, const Value& color) {
  if (!is_shape(shape) || !color.is(ValueKind::Color)) return nullptr;
  const ColorRgb rgb = color.as_color();
  request_color(graphics, rgb.r, rgb.g, rgb.b);
  return graphics.window.get();
}

// A stored radius is unsigned; drawn, it is the signed value of the same bits.
int32_t signed_radius(const CircleShape& circle) { return static_cast<int32_t>(circle.radius); }

}  // namespace

namespace {

// How a shape is painted: as an outline or filled, one function per kind of shape.
struct ShapeStyle {
  void (*rect)(Renderer&, int32_t, int32_t, uint32_t, uint32_t);
  void (*circle)(Renderer&, int32_t, int32_t, int32_t);
  void (*triangle)(Renderer&, Vertex, Vertex, Vertex);
};
constexpr ShapeStyle kOutline{&draw_rect, &draw_circle, &draw_triangle};
constexpr ShapeStyle kFilled{&fill_rect, &fill_circle, &fill_triangle};

void paint_shape(GraphicsContext& graphics, const Value& shape, const Value& color,
                 const ShapeStyle& style) {
  Window* window = prepare_shape(graphics, shape, color);
  if (window == nullptr) return;
  if (shape.is(ValueKind::Rect)) {
    const RectShape& r = shape.as_rect();
    style.rect(*window, r.x, r.y, r.w, r.h);
  } else if (shape.is(ValueKind::Circle)) {
    const CircleShape& c = shape.as_circle();
    style.circle(*window, c.x, c.y, signed_radius(c));
  } else {
    const TriangleShape& t = shape.as_triangle();
    style.triangle(*window, {t.x1, t.y1}, {t.x2, t.y2}, {t.x3, t.y3});
  }
}

}  // namespace

void draw_shape(GraphicsContext& graphics, const Value& shape, const Value& color) {
  paint_shape(graphics, shape, color, kOutline);
}

void fill_shape(GraphicsContext& graphics, const Value& shape, const Value& color) {
  paint_shape(graphics, shape, color, kFilled);
}

void present(GraphicsContext& graphics) {
  if (graphics.window) graphics.window->present();
  graphics.pacer.end_frame();
  graphics.keys.begin_frame();
  graphics.mouse.begin_frame();
  if (!graphics.window) return;
  InputEvent event;
  while (graphics.window->poll_event(event)) {
    switch (event.kind) {
      case InputEvent::Kind::Quit: graphics.open = false; break;
      case InputEvent::Kind::KeyDown:
        if (event.keycode != 0 && !event.repeat) graphics.keys.key_down(key_name(event.keycode));
        break;
      case InputEvent::Kind::KeyUp:
        if (event.keycode != 0) graphics.keys.key_up(key_name(event.keycode));
        break;
      case InputEvent::Kind::MouseMove: graphics.mouse.move_to(event.x, event.y); break;
      case InputEvent::Kind::MouseDown:
        graphics.mouse.move_to(event.x, event.y);
        graphics.mouse.button_down(event.button);
        break;
      case InputEvent::Kind::MouseUp:
        graphics.mouse.move_to(event.x, event.y);
        graphics.mouse.button_up(event.button);
        break;
      case InputEvent::Kind::Wheel: graphics.mouse.scroll(event.wheel_steps); break;
      case InputEvent::Kind::Other: break;
    }
  }
}

void set_max_fps(GraphicsContext& graphics, uint32_t frames_per_second) {
  graphics.pacer.set_limit(frames_per_second);
}

double delta_time(const GraphicsContext& graphics) { return graphics.pacer.delta_time(); }

bool key_pressed(const GraphicsContext& graphics, std::string_view name) {
  return graphics.keys.pressed(name);
}
bool key_released(const GraphicsContext& graphics, std::string_view name) {
  return graphics.keys.released(name);
}
bool key_held(const GraphicsContext& graphics, std::string_view name) {
  return graphics.keys.held(name);
}

}  // namespace vormel
