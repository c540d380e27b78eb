// The drawing target as the drawing algorithms see it: one call per point, line or
// rectangle, in already clamped coordinates. SDL is the run-time implementation
// (sdl_window.cpp); tests record the calls instead.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vormel {

struct DrawColor {
  uint8_t r, g, b, a;
  bool operator==(const DrawColor&) const = default;
};

// The pixels a renderer shows: [0, width) x [0, height).
struct PixelArea {
  int32_t width, height;
};

class Renderer {
 public:
  virtual ~Renderer() = default;
  // These two fail the whole program when they return false (the renderer is unusable).
  virtual bool set_draw_color(DrawColor color) = 0;
  virtual bool clear() = 0;
  // A failing point, line or rectangle is ignored by the implementation.
  virtual void draw_point(int32_t x, int32_t y) = 0;
  virtual void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  virtual void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) = 0;
  // The text of the latest failure.
  virtual std::string error_text() = 0;
  // What the renderer shows, when it knows: the shape algorithms then skip the calls that
  // would draw nothing but clipped pixels, and the steps that could only lead to such calls.
  virtual std::optional<PixelArea> visible_area() { return std::nullopt; }
};

}  // namespace vormel
