// The frame in memory where a window's screenshot cannot show it: a frame that follows a
// resized window, and what it refuses to hold. Its pixels against SDL's own drawing are
// compared on a real window (tests/graphics/window_frame_pixels_test.py).
#include "interpreter/graphics/pixel_frame.hpp"

#include <gtest/gtest.h>

namespace vormel {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000;

TEST(PixelFrameTest, AResizedFrameKeepsTheSharedPixelsAndAddsBlackOnes) {
  PixelFrame frame(4, 3);
  frame.set_draw_color({255, 0, 0, 255});
  frame.clear();
  frame.resize(6, 2);
  EXPECT_EQ(frame.pixel(3, 1), kRed);
  EXPECT_EQ(frame.pixel(4, 0), kBlack);
  EXPECT_EQ(frame.pixel(5, 1), kBlack);
  frame.resize(2, 5);
  EXPECT_EQ(frame.pixel(1, 1), kRed);
  EXPECT_EQ(frame.pixel(0, 2), kBlack);
  EXPECT_EQ(frame.pixel(1, 4), kBlack);
  ASSERT_TRUE(frame.visible_area().has_value());
  EXPECT_EQ(frame.visible_area()->width, 2);
  EXPECT_EQ(frame.visible_area()->height, 5);
}

TEST(PixelFrameTest, ShapesReachingFarOutsideLightOnlyTheirPixelsInside) {
  PixelFrame frame(5, 4);
  frame.set_draw_color({255, 0, 0, 255});
  frame.fill_rect(-1073741824, 1, 1073741823, 1);  // ends left of the frame
  frame.draw_line(-1073741824, 2, 1073741823, 2);  // crosses it
  frame.draw_point(1073741823, 3);
  for (int32_t x = 0; x < 5; ++x) {
    EXPECT_EQ(frame.pixel(x, 1), kBlack);
    EXPECT_EQ(frame.pixel(x, 2), kRed);
    EXPECT_EQ(frame.pixel(x, 3), kBlack);
  }
}

TEST(PixelFrameTest, OnlySizesWithinTheLimitsFit) {
  EXPECT_TRUE(PixelFrame::fits(640, 480));
  EXPECT_TRUE(PixelFrame::fits(8192, 4096));
  EXPECT_FALSE(PixelFrame::fits(16385, 1));
  EXPECT_FALSE(PixelFrame::fits(8192, 8192));
  EXPECT_FALSE(PixelFrame::fits(0, 10));
}

}  // namespace
}  // namespace vormel
