// Leaving out what the window cannot show: with a visible area, the shape algorithms make
// exactly the visible calls they would make without one, in the same order, and nothing
// else; and shapes far larger than the window take no time.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "interpreter/graphics/shape_drawing.hpp"
#include "recording_window.hpp"

namespace vormel {
namespace {

using testing::RecordingRenderer;
using Calls = std::vector<std::string>;

constexpr PixelArea kArea{64, 48};

bool visible(const std::string& call) {
  std::istringstream in(call);
  std::string kind;
  long long x1, y1, x2 = 0, y2 = 0;
  in >> kind >> x1 >> y1;
  if (kind == "point") return x1 >= 0 && x1 < kArea.width && y1 >= 0 && y1 < kArea.height;
  in >> x2 >> y2;
  return y1 >= 0 && y1 < kArea.height && std::max(x1, x2) >= 0 && std::min(x1, x2) < kArea.width;
}

template <typename Draw>
void expect_same_visible_calls(Draw draw, const std::string& label) {
  RecordingRenderer everything;
  draw(everything);
  Calls expected;
  for (const std::string& call : everything.calls)
    if (visible(call)) expected.push_back(call);
  RecordingRenderer culled;
  culled.area = kArea;
  draw(culled);
  EXPECT_EQ(culled.calls, expected) << label;
}

TEST(ShapeCullingTest, CirclesKeepEveryVisibleCallInOrder) {
  for (int32_t r : {1, 5, 20, 30, 39, 40, 41, 42, 60, 80, 200}) {
    for (auto [cx, cy] : {std::pair{32, 24}, {0, 0}, {-30, 10}, {100, 60}, {63, 47}, {-5, -5}}) {
      const std::string label =
          std::to_string(cx) + "," + std::to_string(cy) + " r" + std::to_string(r);
      expect_same_visible_calls([&](Renderer& rr) { draw_circle(rr, cx, cy, r); }, label);
      expect_same_visible_calls([&](Renderer& rr) { fill_circle(rr, cx, cy, r); }, label);
    }
  }
}

TEST(ShapeCullingTest, CirclesWhoseSumsWrapKeepTheirVisibleCalls) {
  for (auto [cx, cy] :
       {std::pair{2147483000, 20}, {-2147483000, 30}, {40, 2147482000}, {10, -2147482500}}) {
    const std::string label = std::to_string(cx) + "," + std::to_string(cy);
    expect_same_visible_calls([&](Renderer& rr) { draw_circle(rr, cx, cy, 3000); }, label);
    expect_same_visible_calls([&](Renderer& rr) { fill_circle(rr, cx, cy, 3000); }, label);
  }
}

TEST(ShapeCullingTest, TheOutlineSkipIsExactAroundTheWindowDiagonal) {
  // Sweep the radius across every distance at which the outline leaves the window, so a
  // skip by distance one pixel too early would show.
  for (int32_t r = 1; r < 120; ++r)
    for (auto [cx, cy] : {std::pair{32, 24}, {10, 40}, {-3, 20}})
      expect_same_visible_calls([&](Renderer& rr) { draw_circle(rr, cx, cy, r); },
                                "r" + std::to_string(r));
}

TEST(ShapeCullingTest, TrianglesKeepEveryVisibleCallInOrder) {
  const Vertex cases[][3] = {{{0, 0}, {63, 0}, {0, 47}},
                             {{-20, -20}, {90, 10}, {30, 80}},
                             {{10, 10}, {20, 12}, {15, 40}},
                             {{-50, 5}, {-10, 5}, {-30, 30}},
                             {{100, -10}, {200, 30}, {150, 90}}};
  for (const auto& t : cases) {
    expect_same_visible_calls([&](Renderer& rr) { draw_triangle(rr, t[0], t[1], t[2]); },
                              "outline");
    expect_same_visible_calls([&](Renderer& rr) { fill_triangle(rr, t[0], t[1], t[2]); }, "filled");
  }
}

TEST(ShapeCullingTest, SegmentsStartAtTheirFirstVisibleStep) {
  // Every direction and slope, from inside, across and beside the area.
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int32_t>((seed >> 8) % (2 * range + 1)) - range;
  };
  for (int i = 0; i < 3000; ++i) {
    const Vertex a{next(150) + 32, next(120) + 24};
    const Vertex b{next(150) + 32, next(120) + 24};
    expect_same_visible_calls([&](Renderer& rr) { draw_triangle(rr, a, b, a); },
                              std::to_string(a.x) + "," + std::to_string(a.y) + " to " +
                                  std::to_string(b.x) + "," + std::to_string(b.y));
  }
}

TEST(ShapeCullingTest, LinesAndRectanglesFarOutsideCostOnlyWhatShows) {
  RecordingRenderer r(1000);  // throws Full on a walk along the whole line
  r.area = kArea;
  draw_line(r, 0, 0, 1073741823, 1073741823);
  draw_line(r, -2000000000, 47, 2000000000, 0);
  fill_rect(r, 0, 1073741823, 1, 4294967295u);
  draw_rect(r, -1000000, -1000000, 4294967295u, 4294967295u);
  fill_rect(r, -1000000, -1000000, 4294967295u, 4294967295u);
  EXPECT_EQ(r.calls[0], "point 0 0");
  EXPECT_EQ(r.calls[47], "point 47 47");
  EXPECT_EQ(r.calls[48], "line 0 23 63 23");  // the long shallow line is one run here
  EXPECT_EQ(r.calls.size(), 48u + 1u + 2u);
  EXPECT_EQ(r.calls[r.calls.size() - 2], "rect -1 -1 66 50");
  EXPECT_EQ(r.calls.back(), "fill 0 0 64 48");
}

TEST(ShapeCullingTest, HugeShapesAroundTheWindowTakeNoTime) {
  const auto start = std::chrono::steady_clock::now();
  RecordingRenderer r;
  r.area = kArea;
  draw_circle(r, 32, 24, 2000000000);
  fill_circle(r, 3000, 3000, 1000);
  fill_circle(r, -1500000000, 0, 600000000);
  fill_triangle(r, {-2000000000, -2000000000}, {2000000000, -2000000000}, {0, 2000000000});
  draw_triangle(r, {-2000000000, -2000000000}, {2000000000, -2000000000}, {-2000000000, -1});
  // Edges that cross the window from far away on both sides.
  RecordingRenderer crossing;
  crossing.area = kArea;
  draw_triangle(crossing, {-2147483648, 20}, {2147483647, 30}, {5, -2147483648});
  draw_triangle(crossing, {2147483647, 2147483647}, {-2147483648, -2147483648}, {10, 10});
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(crossing.calls.empty());
  for (const std::string& call : crossing.calls) EXPECT_TRUE(visible(call)) << call;
  // The filled triangle covers the whole window: one span per visible row.
  ASSERT_EQ(r.calls.size(), static_cast<size_t>(kArea.height));
  EXPECT_EQ(r.calls.front(), "line -1000000000 0 999999999 0");
}

}  // namespace
}  // namespace vormel
