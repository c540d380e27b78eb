#include "interpreter/graphics/pixel_frame.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vormel {

PixelFrame::PixelFrame(int32_t width, int32_t height)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, 0xFF000000) {}

void PixelFrame::resize(int32_t width, int32_t height) {
  std::vector<uint32_t> resized(static_cast<size_t>(width) * height, 0xFF000000);
  const int32_t shared_width = std::min(width, width_);
  for (int32_t y = 0; y < std::min(height, height_); ++y)
    std::copy_n(pixels_.begin() + static_cast<ptrdiff_t>(index(0, y)), shared_width,
                resized.begin() + static_cast<ptrdiff_t>(y) * width);
  pixels_ = std::move(resized);
  width_ = width;
  height_ = height;
}

bool PixelFrame::set_draw_color(DrawColor c) {
  color_ = 0xFF000000u | (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | uint32_t{c.b};
  return true;
}

bool PixelFrame::clear() {
  std::fill(pixels_.begin(), pixels_.end(), color_);
  return true;
}

void PixelFrame::plot(int64_t x, int64_t y) {
  if (x >= 0 && x < width_ && y >= 0 && y < height_)
    pixels_[index(static_cast<int32_t>(x), static_cast<int32_t>(y))] = color_;
}

// A point is its pixel (SDL's OpenGL renderer draws it at the pixel's centre, the software
// renderer writes that pixel).
void PixelFrame::draw_point(int32_t x, int32_t y) { plot(x, y); }

// SDL_RenderFillRect: the rectangle in floats; the renderers fill the pixels whose centres
// lie inside [x, x + w) x [y, y + h).
void PixelFrame::fill_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  fill_float_rect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w),
                  static_cast<float>(h));
}

void PixelFrame::fill_float_rect(float x, float y, float w, float h) {
  // The right and bottom edges as the renderer computes them, in floats.
  const float right = x + w;
  const float bottom = y + h;
  // The first pixel whose centre (c + 0.5) is at or past an edge.
  auto first_at_or_after = [](float edge) { return std::ceil(static_cast<double>(edge) - 0.5); };
  const double left_column = std::max(first_at_or_after(x), 0.0);
  const double end_column = std::min(first_at_or_after(right), static_cast<double>(width_));
  const double top_row = std::max(first_at_or_after(y), 0.0);
  const double end_row = std::min(first_at_or_after(bottom), static_cast<double>(height_));
  if (left_column >= end_column || top_row >= end_row) return;
  const auto first = static_cast<int32_t>(left_column);
  const auto count = static_cast<int32_t>(end_column) - first;
  for (auto row = static_cast<int32_t>(top_row); row < static_cast<int32_t>(end_row); ++row)
    std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(index(first, row)), count, color_);
}

// SDL_RenderDrawLine: a polyline of two points, in floats.
void PixelFrame::draw_line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const FloatPoint points[2] = {{static_cast<float>(x1), static_cast<float>(y1)},
                                {static_cast<float>(x2), static_cast<float>(y2)}};
  draw_polyline(points, 2);
}

// SDL_RenderDrawRect: the closed polyline through the four corners, in floats.
void PixelFrame::draw_rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  const float fw = static_cast<float>(w), fh = static_cast<float>(h);
  const float right = fx + fw - 1;
  const float bottom = fy + fh - 1;
  const FloatPoint points[5] = {{fx, fy}, {right, fy}, {right, bottom}, {fx, bottom}, {fx, fy}};
  draw_polyline(points, 5);
}

// RenderDrawLinesWithRectsF of SDL 2.26 at scale 1: each segment but the last leaves out its
// end point, and so does the last one when it closes the polyline onto its start; a
// horizontal or vertical segment is one rectangle, any other a Bresenham walk of points.
void PixelFrame::draw_polyline(const FloatPoint* points, int count) {
  bool drew_line = false;
  bool draw_last = false;
  for (int i = 0; i < count - 1; ++i) {
    const FloatPoint a = points[i], b = points[i + 1];
    const bool same_x = a.x == b.x;
    const bool same_y = a.y == b.y;
    if (i == count - 2) {
      if (!drew_line || b.x != points[0].x || b.y != points[0].y) draw_last = true;
    } else if (same_x && same_y) {
      continue;
    }
    const float last = draw_last ? 1.0f : 0.0f;
    if (same_x) {
      const float min_y = std::min(a.y, b.y), max_y = std::max(a.y, b.y);
      float top = min_y;
      if (!draw_last && b.y < a.y) top += 1.0f;
      fill_float_rect(a.x, top, 1.0f, max_y - min_y + last);
    } else if (same_y) {
      const float min_x = std::min(a.x, b.x), max_x = std::max(a.x, b.x);
      float left = min_x;
      if (!draw_last && b.x < a.x) left += 1.0f;
      fill_float_rect(left, a.y, max_x - min_x + last, 1.0f);
    } else {
      bresenham(std::lround(a.x), std::lround(a.y), std::lround(b.x), std::lround(b.y), draw_last);
    }
    drew_line = true;
  }
}

// RenderDrawLineBresenham of SDL 2.26 (in 64 bits, where SDL's ints would not overflow
// for the lines it is given here anyway).
void PixelFrame::bresenham(int64_t x1, int64_t y1, int64_t x2, int64_t y2, bool draw_last) {
  const int64_t delta_x = std::llabs(x2 - x1);
  const int64_t delta_y = std::llabs(y2 - y1);
  // Steps along the major axis, and along the minor one when d says so.
  const bool shallow = delta_x >= delta_y;
  const int64_t major = shallow ? delta_x : delta_y;
  const int64_t minor = shallow ? delta_y : delta_x;
  int64_t pixels = major + 1;
  int64_t d = 2 * minor - major;
  const int64_t d_increment_1 = minor * 2;
  const int64_t d_increment_2 = (minor - major) * 2;
  int64_t x_increment_1 = shallow ? 1 : 0, x_increment_2 = 1;
  int64_t y_increment_1 = shallow ? 0 : 1, y_increment_2 = 1;
  if (x1 > x2) {
    x_increment_1 = -x_increment_1;
    x_increment_2 = -x_increment_2;
  }
  if (y1 > y2) {
    y_increment_1 = -y_increment_1;
    y_increment_2 = -y_increment_2;
  }
  if (!draw_last) --pixels;
  int64_t x = x1, y = y1;
  for (int64_t i = 0; i < pixels; ++i) {
    plot(x, y);
    if (d < 0) {
      d += d_increment_1;
      x += x_increment_1;
      y += y_increment_1;
    } else {
      d += d_increment_2;
      x += x_increment_2;
      y += y_increment_2;
    }
  }
}

}  // namespace vormel
