// The drawing algorithms, checked call by call against a recording renderer.
#include "interpreter/graphics/shape_drawing.hpp"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <utility>

#include "recording_window.hpp"

namespace vormel {
namespace {

using testing::RecordingRenderer;
using Calls = std::vector<std::string>;

TEST(ShapeDrawingTest, PointsAndLinesAreClampedToTheCoordinateRange) {
  RecordingRenderer r;
  draw_point(r, 10, -3);
  draw_point(r, INT32_MIN, INT32_MAX);
  draw_line(r, -1073741825, 1073741824, -1073741824, 1073741823);
  EXPECT_EQ(r.calls, (Calls{"point 10 -3", "point -1073741824 1073741823",
                            "line -1073741824 1073741823 -1073741824 1073741823"}));
}

TEST(ShapeDrawingTest, RectangleSizesFollowTheSizeRule) {
  RecordingRenderer r;
  draw_rect(r, 1, 2, 0, 0);
  draw_rect(r, 1, 2, static_cast<uint32_t>(-5), 1073741822);
  fill_rect(r, -2000000000, 5, 1073741823, 4294967295u);
  EXPECT_EQ(r.calls, (Calls{"rect 1 2 1 1", "rect 1 2 1073741823 1073741822",
                            "fill -1073741824 5 1073741823 1073741823"}));
}

TEST(ShapeDrawingTest, CircleOfRadiusOnePlotsFourPointsTwiceEach) {
  RecordingRenderer r;
  draw_circle(r, 5, 7, 1);
  EXPECT_EQ(r.calls, (Calls{"point 6 7", "point 4 7", "point 6 7", "point 4 7", "point 5 8",
                            "point 5 8", "point 5 6", "point 5 6"}));
}

TEST(ShapeDrawingTest, CircleOfRadiusZeroOrLessDrawsNothing) {
  RecordingRenderer r;
  draw_circle(r, 5, 7, 0);
  draw_circle(r, 5, 7, -4);
  fill_circle(r, 5, 7, 0);
  fill_circle(r, 5, 7, INT32_MIN);
  EXPECT_TRUE(r.calls.empty());
}

TEST(ShapeDrawingTest, CircleOfRadiusThreeFollowsTheMidpointSteps) {
  // x = 3, y = 0 plots; y = 1, err = 3, 2*(3-3)+1 > 0: x = 2, err = 0. x = 2, y = 1 plots;
  // y = 2, err = 5, 2*(5-2)+1 > 0: x = 1, err = 4. x >= y fails: done.
  RecordingRenderer r;
  draw_circle(r, 0, 0, 3);
  EXPECT_EQ(r.calls,
            (Calls{"point 3 0", "point -3 0", "point 3 0", "point -3 0", "point 0 3", "point 0 3",
                   "point 0 -3", "point 0 -3", "point 2 1", "point -2 1", "point 2 -1",
                   "point -2 -1", "point 1 2", "point -1 2", "point 1 -2", "point -1 -2"}));
}

TEST(ShapeDrawingTest, FilledCircleDrawsFourSpansPerStep) {
  RecordingRenderer r;
  fill_circle(r, 10, 20, 3);
  EXPECT_EQ(r.calls,
            (Calls{"line 7 20 13 20", "line 10 23 10 23", "line 7 20 13 20", "line 10 17 10 17",
                   "line 8 21 12 21", "line 9 22 11 22", "line 8 19 12 19", "line 9 18 11 18"}));
}

TEST(ShapeDrawingTest, CircleStepTestWrapsAtThirtyTwoBits) {
  // With r = 1500000000, 2*(err - x) + 1 after the first step is -2999999993, which wraps
  // to a positive value: x steps down at once (an unwrapped test would keep it).
  RecordingRenderer r(9);
  EXPECT_THROW(draw_circle(r, -1000000000, 0, 1500000000), RecordingRenderer::Full);
  EXPECT_EQ(r.calls.front(), "point 500000000 0");
  EXPECT_EQ(r.calls.back(), "point 499999999 1");
}

TEST(ShapeDrawingTest, CircleCentreSumsWrapBeforeClamping) {
  // 2147483000 + 1000 wraps to a large negative value, which clamps to the lower bound.
  RecordingRenderer r(1);
  EXPECT_THROW(draw_circle(r, 2147483000, 0, 1000), RecordingRenderer::Full);
  EXPECT_EQ(r.calls, (Calls{"point -1073741824 0"}));
}

TEST(ShapeDrawingTest, TriangleOutlinePlotsEachSegmentWithBothEnds) {
  RecordingRenderer r;
  draw_triangle(r, {0, 0}, {2, 0}, {0, 2});
  EXPECT_EQ(r.calls, (Calls{"point 0 0", "point 1 0", "point 2 0", "point 2 0", "point 1 1",
                            "point 0 2", "point 0 2", "point 0 1", "point 0 0"}));
}

TEST(ShapeDrawingTest, TriangleOutlineSteepSegmentFollowsBresenham) {
  RecordingRenderer r;
  draw_triangle(r, {0, 0}, {1, 3}, {0, 0});
  // (0,0)-(1,3): err = -2; e2 = -4 < 1: y. err = -1; e2 = -2 > -3: x, and < 1: y. ...
  EXPECT_EQ(r.calls, (Calls{"point 0 0", "point 0 1", "point 1 2", "point 1 3", "point 1 3",
                            "point 1 2", "point 0 1", "point 0 0", "point 0 0"}));
}

TEST(ShapeDrawingTest, FilledTriangleSpansUnderTheTopLeftRule) {
  RecordingRenderer r;
  fill_triangle(r, {0, 0}, {4, 0}, {0, 4});
  // The top edge is in, the right edge (the hypotenuse) and the bottom vertex are out.
  EXPECT_EQ(r.calls, (Calls{"line 0 0 3 0", "line 0 1 2 1", "line 0 2 1 2", "line 0 3 0 3"}));
}

TEST(ShapeDrawingTest, FilledTriangleOfZeroHeightDrawsNothing) {
  RecordingRenderer r;
  fill_triangle(r, {0, 5}, {40, 5}, {-3, 5});
  fill_triangle(r, {7, 7}, {7, 7}, {7, 7});
  EXPECT_TRUE(r.calls.empty());
}

TEST(ShapeDrawingTest, FilledTriangleSpanEndsAreClamped) {
  RecordingRenderer r;
  fill_triangle(r, {-2000000000, 0}, {2000000000, 0}, {0, 2});
  ASSERT_EQ(r.calls.size(), 2u);
  EXPECT_EQ(r.calls[0], "line -1073741824 0 1073741823 0");
  EXPECT_EQ(r.calls[1], "line -1000000000 1 999999999 1");
}

// Counts how often each pixel is covered by the horizontal spans recorded.
std::map<std::pair<int, int>, int> coverage(const Calls& calls) {
  std::map<std::pair<int, int>, int> covered;
  for (const std::string& call : calls) {
    std::istringstream in(call);
    std::string kind;
    int x1, y1, x2, y2;
    in >> kind >> x1 >> y1 >> x2 >> y2;
    EXPECT_EQ(kind, "line");
    EXPECT_EQ(y1, y2);
    EXPECT_LE(x1, x2);
    for (int x = x1; x <= x2; ++x) ++covered[{x, y1}];
  }
  return covered;
}

// A square [0, n) x [0, n) split into four triangles around an inner point: every pixel of
// the square is covered exactly once, and nothing outside it.
void expect_exact_partition(int n, Vertex inner) {
  RecordingRenderer r;
  const Vertex a{0, 0}, b{n, 0}, c{n, n}, d{0, n};
  fill_triangle(r, a, b, inner);
  fill_triangle(r, b, c, inner);
  fill_triangle(r, inner, c, d);  // argument order does not matter
  fill_triangle(r, d, a, inner);
  auto covered = coverage(r.calls);
  for (int y = -1; y <= n; ++y)
    for (int x = -1; x <= n; ++x) {
      const bool inside = x >= 0 && x < n && y >= 0 && y < n;
      auto it = covered.find({x, y});
      const int count = it == covered.end() ? 0 : it->second;
      EXPECT_EQ(count, inside ? 1 : 0)
          << "pixel " << x << "," << y << " around " << inner.x << "," << inner.y;
    }
}

TEST(ShapeDrawingTest, TrianglesSharingEdgesNeitherOverlapNorLeaveGaps) {
  expect_exact_partition(8, {4, 4});
  expect_exact_partition(8, {1, 6});
  expect_exact_partition(13, {5, 2});
  expect_exact_partition(30, {17, 11});
  expect_exact_partition(64, {3, 60});
}

TEST(ShapeDrawingTest, TwoHalvesOfARectangleTileIt) {
  for (int w = 1; w < 12; ++w)
    for (int h = 1; h < 12; ++h) {
      RecordingRenderer r;
      fill_triangle(r, {0, 0}, {w, 0}, {0, h});
      fill_triangle(r, {w, 0}, {w, h}, {0, h});
      auto covered = coverage(r.calls);
      EXPECT_EQ(covered.size(), static_cast<size_t>(w * h)) << w << "x" << h;
      for (auto& [pixel, count] : covered) {
        EXPECT_EQ(count, 1);
        EXPECT_LT(pixel.first, w);
        EXPECT_LT(pixel.second, h);
      }
    }
}

}  // namespace
}  // namespace vormel
