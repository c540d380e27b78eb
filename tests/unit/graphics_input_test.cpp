// The present step over a recording window: its order, the key sets, quit events, the
// key-name table and frame pacing.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "interpreter/graphics/frame_pacer.hpp"
#include "interpreter/graphics/graphics.hpp"
#include "interpreter/graphics/graphics_operations.hpp"
#include "interpreter/graphics/graphics_testing.hpp"
#include "interpreter/graphics/key_names.hpp"
#include "recording_window.hpp"

namespace vormel {
namespace {

InputEvent down(int32_t key, bool repeat = false) {
  return {InputEvent::Kind::KeyDown, key, repeat};
}
InputEvent up(int32_t key) { return {InputEvent::Kind::KeyUp, key, false}; }
InputEvent quit() { return {InputEvent::Kind::Quit, 0, false}; }
InputEvent other() { return {InputEvent::Kind::Other, 0, false}; }

constexpr int32_t kLeftShift = 0x400000E1;
constexpr int32_t kF1 = 0x4000003A;
constexpr int32_t kKeypadEnter = 0x40000058;

class GraphicsInputTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::WindowScript> script = std::make_shared<testing::WindowScript>();
  GraphicsContextPtr graphics =
      make_graphics_context(std::make_unique<testing::RecordingWindowSystem>(script));

  void SetUp() override { create_window(*graphics, "keys", 100, 100); }
  void frame(std::vector<InputEvent> events) {
    script->events.insert(script->events.end(), events.begin(), events.end());
    present(*graphics);
  }
  bool pressed(std::string_view k) { return key_pressed(*graphics, k); }
  bool released(std::string_view k) { return key_released(*graphics, k); }
  bool held(std::string_view k) { return key_held(*graphics, k); }
};

TEST_F(GraphicsInputTest, APressIsPressedForOneFrameAndHeldUntilReleased) {
  frame({down('a')});
  EXPECT_TRUE(pressed("a"));
  EXPECT_TRUE(held("a"));
  EXPECT_FALSE(released("a"));
  frame({down('a', true), down('a', true)});  // auto-repeat does not count again
  EXPECT_FALSE(pressed("a"));
  EXPECT_TRUE(held("a"));
  frame({up('a')});
  EXPECT_FALSE(held("a"));
  EXPECT_TRUE(released("a"));
  frame({});
  EXPECT_FALSE(released("a"));
}

TEST_F(GraphicsInputTest, PressAndReleaseWithinOneFrame) {
  frame({down(' '), up(' ')});
  EXPECT_TRUE(pressed("space"));
  EXPECT_TRUE(released("space"));
  EXPECT_FALSE(held("space"));
}

TEST_F(GraphicsInputTest, ShiftWithALetterGivesTheLowerCaseName) {
  frame({down(kLeftShift)});
  frame({down('a'), up('a')});
  EXPECT_TRUE(held("lshift"));
  EXPECT_FALSE(pressed("lshift"));
  EXPECT_TRUE(pressed("a"));
  EXPECT_FALSE(pressed("A"));
}

TEST_F(GraphicsInputTest, UnlistedKeysShareTheNameUnknown) {
  frame({down(kF1), down(kKeypadEnter)});
  EXPECT_TRUE(held("unknown"));
  frame({up(kF1)});
  EXPECT_FALSE(held("unknown"));
  EXPECT_TRUE(released("unknown"));
}

TEST_F(GraphicsInputTest, KeycodeZeroAndOtherEventsAreIgnored) {
  frame({down(0), up(0), other()});
  for (const char* name : {"unknown", "0"}) {
    EXPECT_FALSE(pressed(name));
    EXPECT_FALSE(released(name));
  }
}

TEST_F(GraphicsInputTest, QueriesUseTheDisplayTextOfTheirArgument) {
  frame({down('5')});
  std::vector<Value> five = {Value::number(5)};
  EXPECT_TRUE(dispatch_graphics("sdl2.get_input_held", five, *graphics)->as_boolean());
  std::vector<Value> upper = {Value::string("A")};
  frame({down('a')});
  EXPECT_FALSE(dispatch_graphics("sdl2.get_input_pressed", upper, *graphics)->as_boolean());
}

TEST_F(GraphicsInputTest, AQuitEventClosesOnlyAtTheNextPresentStep) {
  script->events.push_back(quit());
  EXPECT_TRUE(is_window_open(*graphics));
  frame({});
  EXPECT_FALSE(is_window_open(*graphics));
  // The window goes on working.
  script->calls.clear();
  draw_point(*graphics, 1, 1);
  frame({});
  EXPECT_EQ(script->calls, (std::vector<std::string>{"point 1 1", "present"}));
}

TEST_F(GraphicsInputTest, ThePresentStepShowsBeforeItDrains) {
  script->calls.clear();
  frame({down('x')});
  EXPECT_EQ(script->calls, (std::vector<std::string>{"present"}));
  EXPECT_TRUE(script->events.empty());
}

TEST(KeyNamesTest, TheTable) {
  for (char c = 'a'; c <= 'z'; ++c) EXPECT_EQ(key_name(c), std::string(1, c));
  for (char c = '0'; c <= '9'; ++c) EXPECT_EQ(key_name(c), std::string(1, c));
  EXPECT_EQ(key_name(32), "space");
  EXPECT_EQ(key_name(13), "return");
  EXPECT_EQ(key_name(27), "escape");
  EXPECT_EQ(key_name(8), "backspace");
  EXPECT_EQ(key_name(9), "tab");
  EXPECT_EQ(key_name(0x40000052), "up");
  EXPECT_EQ(key_name(0x40000051), "down");
  EXPECT_EQ(key_name(0x40000050), "left");
  EXPECT_EQ(key_name(0x4000004F), "right");
  EXPECT_EQ(key_name(0x400000E1), "lshift");
  EXPECT_EQ(key_name(0x400000E5), "rshift");
  EXPECT_EQ(key_name(0x400000E0), "lctrl");
  EXPECT_EQ(key_name(0x400000E4), "rctrl");
  EXPECT_EQ(key_name(0x400000E2), "lalt");
  EXPECT_EQ(key_name(0x400000E6), "ralt");
  for (int32_t other :
       {int32_t{'A'}, int32_t{'Z'}, int32_t{'/'}, 127, 0x4000003A, 0x40000058, -1, 0x40000053})
    EXPECT_EQ(key_name(other), "unknown") << other;
}

TEST(FramePacerTest, WithoutALimitNothingIsWaitedFor) {
  FramePacer pacer;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 100; ++i) pacer.end_frame();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
  EXPECT_GE(pacer.delta_time(), 0.0);
  EXPECT_LT(pacer.delta_time(), 0.01);
}

TEST(FramePacerTest, ALimitStretchesEachFrameAndDeltaTimeIncludesTheSleep) {
  FramePacer pacer;
  pacer.set_limit(50);
  pacer.end_frame();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 5; ++i) pacer.end_frame();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 5 * 0.02 * 0.95);
  EXPECT_LT(seconds, 5 * 0.02 * 3);
  EXPECT_GE(pacer.delta_time(), 0.0199);
  EXPECT_LT(pacer.delta_time(), 0.06);
}

TEST(FramePacerTest, ALateFrameIsNotWaitedForAndNotCaughtUp) {
  FramePacer pacer;
  pacer.set_limit(100);
  pacer.end_frame();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  pacer.end_frame();
  EXPECT_GE(pacer.delta_time(), 0.03);
  const auto start = std::chrono::steady_clock::now();
  pacer.end_frame();  // an ordinary 10 ms frame follows, not a shorter one
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 0.0095);
}

TEST(FramePacerTest, AStoredLimitOfZeroMeansNoLimit) {
  FramePacer pacer;
  pacer.set_limit(0);
  const auto start = std::chrono::steady_clock::now();
  pacer.end_frame();
  pacer.end_frame();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(FramePacerTest, SetMaxFpsOfTwoToTheThirtySecondIsAcceptedAndWaitsForNothing) {
  auto script = std::make_shared<testing::WindowScript>();
  auto graphics = make_graphics_context(std::make_unique<testing::RecordingWindowSystem>(script));
  std::vector<Value> fps = {Value::number(4294967296)};
  EXPECT_TRUE(dispatch_graphics("sdl2.set_max_fps", fps, *graphics)->is_null());
  const auto start = std::chrono::steady_clock::now();
  present(*graphics);
  present(*graphics);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
}

TEST(FramePacerTest, WithoutAWindowThePresentStepIsAFrameTimer) {
  auto script = std::make_shared<testing::WindowScript>();
  auto graphics = make_graphics_context(std::make_unique<testing::RecordingWindowSystem>(script));
  set_max_fps(*graphics, 40);
  present(*graphics);
  present(*graphics);
  EXPECT_GE(delta_time(*graphics), 0.0245);
  EXPECT_LT(delta_time(*graphics), 0.08);
  EXPECT_TRUE(script->opened.empty());
  EXPECT_TRUE(script->calls.empty());
}

}  // namespace
}  // namespace vormel
