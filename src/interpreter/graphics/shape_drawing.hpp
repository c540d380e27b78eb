// The drawing algorithms: points, lines, rectangles, circles and triangles turned into
// renderer calls, with every coordinate and size clamped on the way out.
#pragma once

#include <cstdint>

#include "interpreter/graphics/renderer.hpp"

namespace vormel {

struct Vertex {
  int32_t x, y;
};

void draw_point(Renderer& renderer, int32_t x, int32_t y);
void draw_line(Renderer& renderer, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
void draw_rect(Renderer& renderer, int32_t x, int32_t y, uint32_t w, uint32_t h);
void fill_rect(Renderer& renderer, int32_t x, int32_t y, uint32_t w, uint32_t h);

// Midpoint circles in 32-bit arithmetic that wraps; a radius of 0 or less draws nothing.
void draw_circle(Renderer& renderer, int32_t cx, int32_t cy, int32_t radius);
void fill_circle(Renderer& renderer, int32_t cx, int32_t cy, int32_t radius);

// Three segments a-b, b-c, c-a, each plotted point by point, end points included.
void draw_triangle(Renderer& renderer, Vertex a, Vertex b, Vertex c);
// One horizontal span per pixel row under the top-left rule: a pixel belongs to the
// triangle when its centre lies inside, or on a top or left edge. Triangles that share an
// edge therefore neither overlap nor leave a gap along it.
void fill_triangle(Renderer& renderer, Vertex a, Vertex b, Vertex c);

}  // namespace vormel
