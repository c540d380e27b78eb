#include "interpreter/graphics/shape_drawing.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <utility>

#include "interpreter/graphics/coordinates.hpp"
#include "interpreter/step_budget.hpp"

namespace vormel {

void draw_point(Renderer& renderer, int32_t x, int32_t y) {
  renderer.draw_point(clamp_coordinate(x), clamp_coordinate(y));
}

namespace {

// Which clamped calls can show anything, when the renderer says what it shows. Pixels
// outside that area are clipped, so leaving out the calls that only reach them, and the
// steps that only lead to such calls, changes nothing on the screen.
class Visibility {
 public:
  explicit Visibility(Renderer& renderer) {
    if (auto area = renderer.visible_area()) {
      limited_ = true;
      width_ = std::clamp<int64_t>(area->width, 0, kMaxCoordinate);
      height_ = std::clamp<int64_t>(area->height, 0, kMaxCoordinate);
    }
  }
  bool point(int32_t x, int32_t y) const {
    return !limited_ || (x >= 0 && x < width_ && y >= 0 && y < height_);
  }
  // Whether a row (or column) coordinate, wrapped or not, lies inside the area; clamping
  // keeps what lies outside outside.
  bool row(int32_t y) const { return !limited_ || (y >= 0 && y < height_); }
  bool column(int32_t x) const { return !limited_ || (x >= 0 && x < width_); }
  bool row_span(int32_t xa, int32_t xb, int32_t y) const {
    return !limited_ ||
           (y >= 0 && y < height_ && std::max(xa, xb) >= 0 && std::min(xa, xb) < width_);
  }
  bool box(int64_t left, int64_t top, int64_t right, int64_t bottom) const {
    return !limited_ || (right >= 0 && left < width_ && bottom >= 0 && top < height_);
  }
  // The rows [first, end) that can show anything.
  int64_t first_row(int64_t first) const { return limited_ ? std::max<int64_t>(first, 0) : first; }
  int64_t row_end(int64_t end) const { return limited_ ? std::min<int64_t>(end, height_) : end; }
  // The steps k in [0, steps] at which start + direction * k lies inside the area along the
  // x axis (or the y axis); first > last when there are none.
  std::pair<int64_t, int64_t> major_steps(int64_t start, int64_t direction, int64_t steps,
                                          bool along_x) const {
    if (!limited_) return {0, steps};
    const int64_t size = along_x ? width_ : height_;
    int64_t first, last;
    if (direction > 0) {
      first = -start;
      last = size - 1 - start;
    } else {
      first = start - (size - 1);
      last = start;
    }
    return {std::max<int64_t>(first, 0), std::min(last, steps)};
  }
  // The part of the box [left, right) x [top, bottom) inside the area widened by `margin`
  // pixels on every side; false when there is none. Unlimited, the box stays as it is.
  bool clip_box(int64_t& left, int64_t& top, int64_t& right, int64_t& bottom,
                int64_t margin) const {
    if (!limited_) return true;
    left = std::max(left, -margin);
    top = std::max(top, -margin);
    right = std::min(right, width_ + margin);
    bottom = std::min(bottom, height_ + margin);
    return left < right && top < bottom;
  }
  // Whether every visible pixel lies closer to (cx, cy) than `distance`.
  bool all_within(int64_t cx, int64_t cy, int64_t distance) const {
    if (!limited_ || distance <= 0) return false;
    const int64_t dx = std::max(std::abs(cx), std::abs(width_ - 1 - cx));
    const int64_t dy = std::max(std::abs(cy), std::abs(height_ - 1 - cy));
    // Both terms stay below 2^63 because every value here is below 2^32.
    return static_cast<double>(dx) * static_cast<double>(dx) +
               static_cast<double>(dy) * static_cast<double>(dy) <
           static_cast<double>(distance) * static_cast<double>(distance);
  }

 private:
  bool limited_ = false;
  int64_t width_ = 0, height_ = 0;
};

void plot(Renderer& renderer, const Visibility& visible, int32_t x, int32_t y) {
  x = clamp_coordinate(x);
  y = clamp_coordinate(y);
  if (visible.point(x, y)) renderer.draw_point(x, y);
}

void span(Renderer& renderer, const Visibility& visible, int32_t xa, int32_t xb, int32_t y) {
  xa = clamp_coordinate(xa);
  xb = clamp_coordinate(xb);
  y = clamp_coordinate(y);
  if (visible.row_span(xa, xb, y)) renderer.draw_line(xa, y, xb, y);
}

using Wide = __int128;  // products of two 32-bit spans need more than 64 bits

Wide ceil_div(Wide a, Wide b) { return a >= 0 ? (a + b - 1) / b : -(-a / b); }

// A line as the renderer's own line drawing lights it: one pixel per step along the longer
// axis (x when both are equal) from the first end to the second, both included, and after
// k steps floor((2k * minor + major) / (2 * major)) steps along the other. Only the stretch
// inside the visible area is drawn, one call per run of pixels in the same row (or column),
// so that a line reaching far outside costs no more than one that fits.
void draw_visible_line(Renderer& renderer, const Visibility& visible, int32_t x1, int32_t y1,
                       int32_t x2, int32_t y2) {
  const bool x_major = std::llabs(int64_t{x2} - x1) >= std::llabs(int64_t{y2} - y1);
  const int64_t major_start = x_major ? x1 : y1, major_end = x_major ? x2 : y2;
  const int64_t minor_start = x_major ? y1 : x1, minor_end = x_major ? y2 : x2;
  const int64_t major = std::llabs(major_end - major_start);
  const int64_t minor = std::llabs(minor_end - minor_start);
  const int64_t major_direction = major_start > major_end ? -1 : 1;
  const int64_t minor_direction = minor_start > minor_end ? -1 : 1;
  auto [first, last] = visible.major_steps(major_start, major_direction, major, x_major);
  const auto [minor_first, minor_last] =
      visible.major_steps(minor_start, minor_direction, minor, !x_major);
  if (minor_first > minor_last) return;
  // The last step after which the minor axis has moved at most m pixels.
  auto last_step_within = [&](int64_t m) -> int64_t {
    return static_cast<int64_t>(ceil_div(2 * Wide{major} * (m + 1) - major, 2 * Wide{minor}) - 1);
  };
  if (minor > 0) {
    if (minor_first > 0) first = std::max(first, last_step_within(minor_first - 1) + 1);
    last = std::min(last, last_step_within(minor_last));
  }
  for (int64_t k = first; k <= last;) {
    spend_steps(1);
    const int64_t moved =
        major == 0 ? 0 : static_cast<int64_t>((2 * Wide{k} * minor + major) / (2 * Wide{major}));
    const int64_t run_end = minor == 0 ? last : std::min(last, last_step_within(moved));
    const auto a = static_cast<int32_t>(major_start + major_direction * k);
    const auto b = static_cast<int32_t>(major_start + major_direction * run_end);
    const auto across = static_cast<int32_t>(minor_start + minor_direction * moved);
    if (a == b && x_major)
      renderer.draw_point(a, across);
    else if (a == b)
      renderer.draw_point(across, a);
    else if (x_major)
      renderer.draw_line(std::min(a, b), across, std::max(a, b), across);
    else
      renderer.draw_line(across, std::min(a, b), across, std::max(a, b));
    k = run_end + 1;
  }
}

// Whether a circle's sums and differences stay within 32 bits, so that its bounding box
// says where its pixels go.
bool circle_does_not_wrap(int32_t cx, int32_t cy, int32_t radius) {
  const int64_t r = radius;
  return int64_t{cx} - r >= INT32_MIN && int64_t{cx} + r <= INT32_MAX &&
         int64_t{cy} - r >= INT32_MIN && int64_t{cy} + r <= INT32_MAX;
}

bool circle_box_visible(const Visibility& visible, int32_t cx, int32_t cy, int32_t radius) {
  if (!circle_does_not_wrap(cx, cy, radius)) return true;
  const int64_t r = radius;
  return visible.box(cx - r, cy - r, int64_t{cx} + r, int64_t{cy} + r);
}

// The midpoint iteration shared by both circles: calls step(x, y) for each octant point
// pair, with x, y and err kept in wrapping 32-bit arithmetic. Steps for which may_show(x, y)
// is false only advance the walk, so that long invisible stretches of a huge circle cost a
// few instructions per step.
template <typename MayShow, typename Step>
void walk_circle(int32_t radius, MayShow may_show, Step step) {
  if (radius <= 0) return;
  int32_t x = radius;
  int32_t y = 0;
  int32_t err = 0;
  while (x >= y) {
    spend_steps(1);
    if (may_show(x, y)) step(x, y);
    y = wrapping_add(y, 1);
    err = wrapping_add(err, wrapping_add(wrapping_add(y, y), 1));
    const int32_t difference = wrapping_sub(err, x);
    if (wrapping_add(wrapping_add(difference, difference), 1) > 0) {
      x = wrapping_sub(x, 1);
      err = wrapping_sub(wrapping_add(err, 1), wrapping_add(x, x));
    }
  }
}

}  // namespace

// A line with both ends inside goes to the renderer as it is; any other is drawn by its
// visible pixels, since renderers may walk every point of a line far outside.
void draw_line(Renderer& renderer, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  x1 = clamp_coordinate(x1);
  y1 = clamp_coordinate(y1);
  x2 = clamp_coordinate(x2);
  y2 = clamp_coordinate(y2);
  const Visibility visible(renderer);
  if (visible.point(x1, y1) && visible.point(x2, y2))
    renderer.draw_line(x1, y1, x2, y2);
  else
    draw_visible_line(renderer, visible, x1, y1, x2, y2);
}

namespace {

struct Box {
  int32_t x, y, w, h;
};

// Rectangles are cut to the visible area before the renderer sees them: values this far
// outside overflow renderers' own arithmetic. An outline is cut to the area widened by one
// pixel (`margin`), where a cut edge stays unseen.
std::optional<Box> cut_rect(Renderer& renderer, int32_t x, int32_t y, uint32_t w, uint32_t h,
                            int64_t margin) {
  int64_t left = clamp_coordinate(x), top = clamp_coordinate(y);
  int64_t right = left + clamp_size(w), bottom = top + clamp_size(h);
  if (!Visibility(renderer).clip_box(left, top, right, bottom, margin)) return std::nullopt;
  return Box{static_cast<int32_t>(left), static_cast<int32_t>(top),
             static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}

}  // namespace

void draw_rect(Renderer& renderer, int32_t x, int32_t y, uint32_t w, uint32_t h) {
  if (auto box = cut_rect(renderer, x, y, w, h, 1))
    renderer.draw_rect(box->x, box->y, box->w, box->h);
}

void fill_rect(Renderer& renderer, int32_t x, int32_t y, uint32_t w, uint32_t h) {
  if (auto box = cut_rect(renderer, x, y, w, h, 0)) {
    spend_steps(rows_as_steps(box->h));
    renderer.fill_rect(box->x, box->y, box->w, box->h);
  }
}

void draw_circle(Renderer& renderer, int32_t cx, int32_t cy, int32_t radius) {
  const Visibility visible(renderer);
  if (radius <= 0 || !circle_box_visible(visible, cx, cy, radius)) return;
  // Every outline point lies at least radius - 2 from the centre: a window inside that
  // distance sees none of them.
  if (circle_does_not_wrap(cx, cy, radius) && visible.all_within(cx, cy, int64_t{radius} - 2))
    return;
  // A step shows something only if one of its rows cy +- y or columns cx +- y is inside.
  auto may_show = [&](int32_t, int32_t y) {
    return visible.row(wrapping_add(cy, y)) || visible.row(wrapping_sub(cy, y)) ||
           visible.column(wrapping_add(cx, y)) || visible.column(wrapping_sub(cx, y));
  };
  walk_circle(radius, may_show, [&](int32_t x, int32_t y) {
    plot(renderer, visible, wrapping_add(cx, x), wrapping_add(cy, y));
    plot(renderer, visible, wrapping_sub(cx, x), wrapping_add(cy, y));
    plot(renderer, visible, wrapping_add(cx, x), wrapping_sub(cy, y));
    plot(renderer, visible, wrapping_sub(cx, x), wrapping_sub(cy, y));
    plot(renderer, visible, wrapping_add(cx, y), wrapping_add(cy, x));
    plot(renderer, visible, wrapping_sub(cx, y), wrapping_add(cy, x));
    plot(renderer, visible, wrapping_add(cx, y), wrapping_sub(cy, x));
    plot(renderer, visible, wrapping_sub(cx, y), wrapping_sub(cy, x));
  });
}

void fill_circle(Renderer& renderer, int32_t cx, int32_t cy, int32_t radius) {
  const Visibility visible(renderer);
  if (radius <= 0 || !circle_box_visible(visible, cx, cy, radius)) return;
  // A step shows something only if one of its rows cy +- y, cy +- x is inside.
  auto may_show = [&](int32_t x, int32_t y) {
    return visible.row(wrapping_add(cy, y)) || visible.row(wrapping_sub(cy, y)) ||
           visible.row(wrapping_add(cy, x)) || visible.row(wrapping_sub(cy, x));
  };
  walk_circle(radius, may_show, [&](int32_t x, int32_t y) {
    span(renderer, visible, wrapping_sub(cx, x), wrapping_add(cx, x), wrapping_add(cy, y));
    span(renderer, visible, wrapping_sub(cx, y), wrapping_add(cx, y), wrapping_add(cy, x));
    span(renderer, visible, wrapping_sub(cx, x), wrapping_add(cx, x), wrapping_sub(cy, y));
    span(renderer, visible, wrapping_sub(cx, y), wrapping_add(cx, y), wrapping_sub(cy, x));
  });
}

namespace {

// Bresenham from a to b, both ends included; 64-bit so that no difference overflows. Every
// step moves one pixel along the major axis, and after k steps the minor axis has moved
// max(0, ceil((2k * minor - major) / (2 * major))) pixels; so the walk can start at the
// first step whose major coordinate is inside the visible area and stop after the last.
void plot_segment(Renderer& renderer, const Visibility& visible, Vertex a, Vertex b) {
  const int64_t xa = a.x, ya = a.y, xb = b.x, yb = b.y;
  if (!visible.box(std::min(xa, xb), std::min(ya, yb), std::max(xa, xb), std::max(ya, yb))) return;
  const int64_t dx = std::llabs(xb - xa);
  const int64_t dy = std::llabs(yb - ya);
  const int64_t sx = xa < xb ? 1 : -1;
  const int64_t sy = ya < yb ? 1 : -1;
  const bool x_major = dx >= dy;
  const int64_t steps = std::max(dx, dy);
  // The steps whose major coordinate the area can show.
  auto [first, last] = visible.major_steps(x_major ? xa : ya, x_major ? sx : sy, steps, x_major);
  if (first > last) return;
  const Wide minor = x_major ? dy : dx;
  const int64_t minor_moves =
      steps == 0 ? 0
                 : static_cast<int64_t>(std::max<Wide>(
                       0, ceil_div(2 * Wide{first} * minor - steps, 2 * Wide{steps})));
  const int64_t x_moves = x_major ? first : minor_moves;
  const int64_t y_moves = x_major ? minor_moves : first;
  int64_t x = xa + sx * x_moves;
  int64_t y = ya + sy * y_moves;
  int64_t err = static_cast<int64_t>(Wide{dx} - dy - Wide{x_moves} * dy + Wide{y_moves} * dx);
  for (int64_t k = first;; ++k) {
    spend_steps(1);
    plot(renderer, visible, static_cast<int32_t>(x), static_cast<int32_t>(y));
    if (k == last) return;
    const int64_t e2 = 2 * err;
    if (e2 > -dy) {
      err -= dy;
      x += sx;
    }
    if (e2 < dx) {
      err += dx;
      y += sy;
    }
  }
}

// Where the edge from `top` down to `bottom` crosses row y, in single precision. The edge
// is always taken from its upper end, so two triangles sharing it compute the same x.
float edge_x(Vertex top, Vertex bottom, int64_t y) {
  const float run = static_cast<float>(static_cast<int64_t>(bottom.x) - top.x);
  const float rise = static_cast<float>(static_cast<int64_t>(bottom.y) - top.y);
  const float down = static_cast<float>(y - top.y);
  return static_cast<float>(top.x) + run * down / rise;
}

// The first pixel column whose centre is at or right of x.
int32_t first_column_from(float x) {
  const float column = std::ceil(x);
  // |x| stays below 2^33, so the conversion is exact and in range.
  const int64_t wide = static_cast<int64_t>(column);
  return static_cast<int32_t>(std::clamp<int64_t>(wide, INT32_MIN, INT32_MAX));
}

}  // namespace

void draw_triangle(Renderer& renderer, Vertex a, Vertex b, Vertex c) {
  const Visibility visible(renderer);
  plot_segment(renderer, visible, a, b);
  plot_segment(renderer, visible, b, c);
  plot_segment(renderer, visible, c, a);
}

void fill_triangle(Renderer& renderer, Vertex a, Vertex b, Vertex c) {
  // Ordered by y; vertices of equal y keep their argument order (an insertion sort, which
  // is stable and needs no buffer).
  std::array<Vertex, 3> v = {a, b, c};
  for (size_t i = 1; i < v.size(); ++i)
    for (size_t j = i; j > 0 && v[j].y < v[j - 1].y; --j) std::swap(v[j], v[j - 1]);
  const Vertex top = v[0], middle = v[1], bottom = v[2];
  const Visibility visible(renderer);
  // Pixel centres sit on integer coordinates. The bottom row lies on the bottom vertex or
  // on a bottom edge, both excluded by the rule, so rows run from the top y to the one
  // above the bottom y; a triangle of zero height draws nothing.
  const int64_t end = visible.row_end(bottom.y);
  for (int64_t y = visible.first_row(top.y); y < end; ++y) {
    spend_steps(1);
    const float long_x = edge_x(top, bottom, y);
    const float short_x = y < middle.y ? edge_x(top, middle, y) : edge_x(middle, bottom, y);
    const float left = std::min(long_x, short_x);
    const float right = std::max(long_x, short_x);
    // Left edge included, right edge excluded.
    const int32_t first = first_column_from(left);
    const int32_t last_plus_one = first_column_from(right);
    if (first >= last_plus_one) continue;
    span(renderer, visible, first, last_plus_one - 1, static_cast<int32_t>(y));
  }
}

}  // namespace vormel
