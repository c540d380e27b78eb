// A window's frame drawn in memory: the renderer calls of the drawing algorithms turned into
// pixels here, and handed to SDL once per frame as one picture (sdl_window.cpp), instead of
// one SDL call per point, line or rectangle.
//
// It lights exactly the pixels SDL 2's renderers light for the same calls, with their
// default settings (no scaling, no blending of the opaque draw colours, and SDL's default
// line method, "points"). SDL's render core turns a line or an outline, in single-precision
// floats, into rectangles (for its horizontal and vertical stretches) and points (Bresenham
// steps for the others); the renderers then fill each rectangle [x, x + w) x [y, y + h) and
// light each point's pixel. This class does the same arithmetic (draw_polyline and
// bresenham transcribe SDL 2.26's RenderDrawLinesWithRectsF and RenderDrawLineBresenham)
// and writes the pixels itself.
//
// Coordinates reach SDL as floats, exact up to 2^24; a frame is at most kMaxFrameSide pixels
// wide and high, far below that, and a coordinate of 2^24 or more stays outside when
// rounded, so whole numbers suffice to decide which pixels inside the frame are lit.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "interpreter/graphics/renderer.hpp"

namespace vormel {

class PixelFrame final : public Renderer {
 public:
  // The largest side, and the most pixels, a frame takes (larger windows draw through SDL's
  // renderer call by call).
  static constexpr int32_t kMaxFrameSide = 16384;
  static constexpr int64_t kMaxFramePixels = int64_t{1} << 25;
  static bool fits(int32_t width, int32_t height) {
    return width > 0 && height > 0 && width <= kMaxFrameSide && height <= kMaxFrameSide &&
           int64_t{width} * height <= kMaxFramePixels;
  }

  // A black frame; the size must fit.
  PixelFrame(int32_t width, int32_t height);

  bool set_draw_color(DrawColor color) override;
  bool clear() override;
  void draw_point(int32_t x, int32_t y) override;
  void draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override;
  void draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  void fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) override;
  std::string error_text() override { return {}; }
  std::optional<PixelArea> visible_area() override { return PixelArea{width_, height_}; }

  // A new size (which must fit), keeping the pixels both sizes share; new ones are black.
  void resize(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Rows of width() pixels, top to bottom, each 0xFFRRGGBB (ARGB8888; the top byte is also
  // what XRGB8888 ignores).
  const uint32_t* pixels() const { return pixels_.data(); }
  uint32_t pixel(int32_t x, int32_t y) const { return pixels_[index(x, y)]; }

 private:
  struct FloatPoint {
    float x, y;
  };
  size_t index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x);
  }
  void plot(int64_t x, int64_t y);
  // The pixels whose centres lie in [x, x + w) x [y, y + h), the sums taken in floats.
  void fill_float_rect(float x, float y, float w, float h);
  void draw_polyline(const FloatPoint* points, int count);
  void bresenham(int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool draw_last);

  int32_t width_, height_;
  std::vector<uint32_t> pixels_;
  uint32_t color_ = 0xFFFFFFFF;
};

}  // namespace vormel
