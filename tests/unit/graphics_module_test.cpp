// The "sdl2" functions and the window built-ins over a recording window: argument checks
// and messages, integer reading and low bits, the colour request, clearing, window
// creation and its failures.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/graphics/graphics.hpp"
#include "interpreter/graphics/graphics_operations.hpp"
#include "interpreter/graphics/graphics_testing.hpp"
#include "interpreter/graphics/video_driver_choice.hpp"
#include "recording_window.hpp"

namespace vormel {
namespace {

using Calls = std::vector<std::string>;

class GraphicsModuleTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::WindowScript> script = std::make_shared<testing::WindowScript>();
  GraphicsContextPtr graphics =
      make_graphics_context(std::make_unique<testing::RecordingWindowSystem>(script));

  Value call(std::string_view name, std::vector<Value> args = {}) {
    auto result = dispatch_graphics(name, args, *graphics);
    EXPECT_TRUE(result.has_value()) << name;
    return result ? *result : Value::error("not-mine");
  }
  Value builtin(std::string_view name, std::vector<Value> args = {}) {
    auto result = dispatch_builtin(name, args, NativeCallContext(*graphics));
    EXPECT_TRUE(result.has_value()) << name;
    return result ? *result : Value::error("not a built-in");
  }
  void open() {
    call("sdl2.create_window", {Value::string("w"), Value::number(320), Value::number(240)});
    ASSERT_TRUE(script->window_alive);
    script->calls.clear();
  }
  static std::string error_of(const Value& v) { return v.is_error() ? v.error_message() : "-"; }
};

Value num(int64_t n) { return Value::number(n); }
Value real(double d) { return Value::floating(d); }
Value str(std::string s) { return Value::string(std::move(s)); }

TEST_F(GraphicsModuleTest, TooFewArgumentsComeBeforeWrongKinds) {
  struct Case {
    const char* name;
    size_t needed;
    const char* too_few;
    const char* wrong_kind;
  };
  const Case cases[] = {
      {"sdl2.create_window", 3, "create_window requires 3 arguments",
       "Invalid arguments for create_window"},
      {"sdl2.set_draw_color", 3, "set_draw_color requires 3 arguments",
       "Color values must be numbers"},
      {"sdl2.set_max_fps", 1, "set_max_fps requires an FPS value", "FPS must be a number"},
      {"sdl2.draw_point", 2, "draw_point requires 2 arguments", "Coordinates must be numbers"},
      {"sdl2.draw_line", 4, "draw_line requires 4 arguments", "Coordinates must be numbers"},
      {"sdl2.draw_rect", 4, "draw_rect requires 4 arguments",
       "Rectangle parameters must be numbers"},
      {"sdl2.fill_rect", 4, "fill_rect requires 4 arguments",
       "Rectangle parameters must be numbers"},
      {"sdl2.draw_circle", 3, "draw_circle requires 3 arguments",
       "Circle parameters must be numbers"},
      {"sdl2.fill_circle", 3, "fill_circle requires 3 arguments",
       "Circle parameters must be numbers"},
  };
  for (const Case& c : cases) {
    // One argument short, all of the wrong kind: the count message.
    std::vector<Value> few(c.needed - 1, Value::null());
    EXPECT_EQ(error_of(call(c.name, few)), c.too_few) << c.name;
    // Enough arguments, the last one of the wrong kind (a String where a number goes).
    std::vector<Value> args(c.needed, num(1));
    if (std::string_view(c.name) == "sdl2.create_window") args[0] = str("t");
    args.back() = str("1");
    EXPECT_EQ(error_of(call(c.name, args)), c.wrong_kind) << c.name;
  }
  EXPECT_EQ(error_of(call("sdl2.get_input_pressed")), "get_input_pressed requires a key name");
  EXPECT_EQ(error_of(call("sdl2.get_input_released")), "get_input_released requires a key name");
  EXPECT_EQ(error_of(call("sdl2.get_input_held")), "get_input_held requires a key name");
  EXPECT_EQ(error_of(call("sdl2.create_window", {num(1), num(2), num(3)})),
            "Invalid arguments for create_window");
  EXPECT_TRUE(script->opened.empty());
}

TEST_F(GraphicsModuleTest, SetWindowTitleChecksOnlyItsSecondArgument) {
  EXPECT_TRUE(call("sdl2.set_window_title", {num(1), str("t")}).is_null());
  EXPECT_EQ(error_of(call("sdl2.set_window_title", {str("w"), num(5)})), "Title must be a string");
  EXPECT_EQ(error_of(call("sdl2.set_window_title", {str("w")})),
            "set_window_title requires 2 arguments");
}

TEST_F(GraphicsModuleTest, SetMaxFpsAcceptsPositiveIntegersOnly) {
  EXPECT_EQ(error_of(call("sdl2.set_max_fps", {num(0)})), "FPS must be greater than 0");
  EXPECT_EQ(error_of(call("sdl2.set_max_fps", {num(-60)})), "FPS must be greater than 0");
  EXPECT_EQ(error_of(call("sdl2.set_max_fps", {real(0.9)})), "FPS must be greater than 0");
  EXPECT_EQ(error_of(call("sdl2.set_max_fps", {str("60")})), "FPS must be a number");
  EXPECT_TRUE(call("sdl2.set_max_fps", {real(59.9)}).is_null());
}

TEST_F(GraphicsModuleTest, NamesOutsideTheTableAreNotMine) {
  std::vector<Value> none;
  for (const char* name : {"sdl2.draw_points", "sdl2.", "sdl2", "sdl2.Init", "draw_point",
                           "http.get", "sdl2.draw_point.x", "sdl2x.init"})
    EXPECT_FALSE(dispatch_graphics(name, none, *graphics).has_value()) << name;
}

TEST_F(GraphicsModuleTest, AnswersWithoutAWindow) {
  EXPECT_TRUE(call("sdl2.init").as_boolean());
  EXPECT_TRUE(call("sdl2.get_window_width").is_null());
  EXPECT_TRUE(call("sdl2.get_window_height").is_null());
  EXPECT_FALSE(call("sdl2.is_window_open").as_boolean());
  EXPECT_EQ(call("sdl2.delta_time").as_float(), 0.0);
  EXPECT_TRUE(call("sdl2.draw_point", {num(1), num(2)}).is_null());
  EXPECT_TRUE(call("sdl2.clear_screen").is_null());
  EXPECT_FALSE(call("sdl2.get_input_held", {num(5)}).as_boolean());
  EXPECT_TRUE(builtin("window_width").is_null());
  EXPECT_TRUE(builtin("window_height").is_null());
  EXPECT_FALSE(builtin("is_open").as_boolean());
  EXPECT_TRUE(script->opened.empty());
}

TEST_F(GraphicsModuleTest, PointsReadIntegersAndKeepTheLowThirtyTwoBits) {
  open();
  call("sdl2.draw_point", {real(10.9), real(-3.7)});
  call("sdl2.draw_point", {num(3000000000), num(0)});
  call("sdl2.draw_point", {real(1e300), real(std::nan(""))});
  call("sdl2.draw_line", {num(4294967296 + 5), num(-4294967296 - 5), num(7), num(8)});
  EXPECT_EQ(script->calls,
            (Calls{"point 10 -3", "point -1073741824 0", "point -1 0", "line 5 -5 7 8"}));
}

TEST_F(GraphicsModuleTest, RectanglesReadSizesAsUnsignedValues) {
  open();
  call("sdl2.draw_rect", {num(1), num(2), num(0), num(3)});
  call("sdl2.draw_rect", {num(1), num(2), num(-5), num(3)});
  call("sdl2.fill_rect", {num(1), num(2), num(4294967296 + 7), real(2.5)});
  EXPECT_EQ(script->calls, (Calls{"rect 1 2 1 3", "rect 1 2 1073741823 3", "fill 1 2 7 2"}));
}

TEST_F(GraphicsModuleTest, CirclesReadTheRadiusAsSigned) {
  open();
  call("sdl2.draw_circle", {num(5), num(5), num(-1)});
  call("sdl2.fill_circle", {num(5), num(5), num(2147483648)});
  EXPECT_TRUE(script->calls.empty());
  call("sdl2.draw_circle", {num(5), num(5), num(4294967297)});
  EXPECT_EQ(script->calls.size(), 8u);
}

TEST_F(GraphicsModuleTest, ColourRequestWrapsAndSkipsUnchangedColours) {
  call("sdl2.set_draw_color", {num(255), num(255), num(255)});  // the initial colour
  open();
  call("sdl2.set_draw_color", {num(255), num(255), num(255)});
  call("sdl2.set_draw_color", {num(256), num(-1), num(300)});
  call("sdl2.set_draw_color", {real(0.5), real(255.9), num(44)});
  EXPECT_EQ(script->calls, (Calls{"color 0 255 44 255"}));
}

TEST_F(GraphicsModuleTest, ColourSetBeforeTheWindowIsAppliedAtCreation) {
  call("sdl2.set_draw_color", {num(10), num(20), num(30)});
  EXPECT_EQ(call("sdl2.create_window", {str("w"), num(64), real(48.9)}).as_number(), 1);
  EXPECT_EQ(script->opened, (Calls{"w 64x48"}));
  call("sdl2.draw_point", {num(1), num(1)});
  EXPECT_EQ(script->calls, (Calls{"color 10 20 30 255", "point 1 1"}));
}

TEST_F(GraphicsModuleTest, ClearingUsesBlackAndRestoresTheColour) {
  open();
  call("sdl2.set_draw_color", {num(9), num(8), num(7)});
  call("sdl2.clear_screen");
  call("sdl2.draw_point", {num(0), num(0)});
  EXPECT_EQ(script->calls,
            (Calls{"color 9 8 7 255", "color 0 0 0 255", "clear", "color 9 8 7 255", "point 0 0"}));
}

TEST_F(GraphicsModuleTest, WindowCreationHappensAtMostOnce) {
  open();
  EXPECT_EQ(call("sdl2.create_window", {str("again"), num(10), num(10)}).as_number(), 1);
  call("sdl2.destroy_window");
  EXPECT_FALSE(call("sdl2.is_window_open").as_boolean());
  EXPECT_EQ(call("sdl2.create_window", {str("again"), num(10), num(10)}).as_number(), 1);
  builtin("window", {num(10), num(10)});
  EXPECT_EQ(script->opened.size(), 1u);
  EXPECT_FALSE(call("sdl2.is_window_open").as_boolean());
  // The window stays usable after destroy_window.
  call("sdl2.draw_point", {num(3), num(4)});
  EXPECT_EQ(call("sdl2.get_window_width").as_number(), 320);
  EXPECT_EQ(call("sdl2.get_window_height").as_number(), 240);
  EXPECT_EQ(script->calls, (Calls{"point 3 4"}));
}

TEST_F(GraphicsModuleTest, SizesOfTwoToTheThirtyFirstOrATitleWithNulOpenNothing) {
  EXPECT_EQ(call("sdl2.create_window", {str("w"), num(-1), num(10)}).as_number(), 1);
  EXPECT_EQ(call("sdl2.create_window", {str("w"), num(10), num(2147483648)}).as_number(), 1);
  EXPECT_EQ(call("sdl2.create_window", {str(std::string("a\0b", 3)), num(10), num(10)}).as_number(),
            1);
  EXPECT_TRUE(script->opened.empty());
  EXPECT_FALSE(call("sdl2.is_window_open").as_boolean());
  // Low 32 bits: 2^32 + 100 is 100.
  call("sdl2.create_window", {str("w"), num(4294967296 + 100), num(2147483647)});
  EXPECT_EQ(script->opened, (Calls{"w 100x2147483647"}));
}

TEST_F(GraphicsModuleTest, FailedCreationLeavesTheContextAsItWasAndMayBeRetried) {
  script->refuse_to_open = true;
  EXPECT_EQ(call("sdl2.create_window", {str("w"), num(10), num(10)}).as_number(), 1);
  EXPECT_FALSE(call("sdl2.is_window_open").as_boolean());
  EXPECT_TRUE(call("sdl2.get_window_width").is_null());
  script->refuse_to_open = false;
  call("sdl2.create_window", {str("w"), num(10), num(10)});
  EXPECT_EQ(script->opened.size(), 2u);
  EXPECT_TRUE(call("sdl2.is_window_open").as_boolean());
}

TEST_F(GraphicsModuleTest, TheWindowIsReleasedWithTheContext) {
  open();
  graphics.reset();
  EXPECT_FALSE(script->window_alive);
}

TEST_F(GraphicsModuleTest, WindowBuiltinTakesIntegersAndTheFixedTitle) {
  EXPECT_TRUE(builtin("window", {num(640)}).is_null());
  EXPECT_TRUE(builtin("window", {str("640"), num(480)}).is_null());
  EXPECT_TRUE(script->opened.empty());
  EXPECT_TRUE(builtin("window", {real(640.9), num(480)}).is_null());
  EXPECT_EQ(script->opened, (Calls{"Vormel 640x480"}));
  EXPECT_TRUE(builtin("is_open").as_boolean());
  EXPECT_EQ(builtin("window_width", {num(1)}).as_number(), 320);
}

TEST_F(GraphicsModuleTest, DrawAndFillTakeAShapeAndAColour) {
  open();
  Value red = Value::color({255, 0, 0});
  builtin("draw", {Value::rect({0, 0, 10, 10}), red});
  builtin("draw", {red, Value::rect({0, 0, 10, 10})});
  builtin("draw", {Value::rect({0, 0, 10, 10}), num(5)});
  builtin("fill", {Value::rect({1, 2, 0, 4294967295u}), red});
  builtin("fill", {Value::circle({5, 5, 1}), Value::color({0, 0, 255})});
  builtin("draw", {Value::triangle({0, 0, 1, 0, 0, 1}), Value::color({0, 0, 255})});
  builtin("fill", {Value::triangle({0, 0, 2, 0, 0, 2}), Value::color({0, 0, 255})});
  builtin("fill", {Value::circle({5, 5, 2147483648u}), Value::color({1, 1, 1})});
  EXPECT_EQ(script->calls,
            (Calls{"color 255 0 0 255", "rect 0 0 10 10", "fill 1 2 1 1073741823",
                   "color 0 0 255 255", "line 4 5 6 5", "line 5 6 5 6", "line 4 5 6 5",
                   "line 5 4 5 4", "point 0 0", "point 1 0", "point 1 0", "point 0 1", "point 0 1",
                   "point 0 0", "line 0 0 1 0", "line 0 1 0 1", "color 1 1 1 255"}));
}

TEST_F(GraphicsModuleTest, DrawWithoutAWindowOnlyChangesTheColour) {
  builtin("draw", {Value::rect({0, 0, 10, 10}), Value::color({1, 2, 3})});
  open();
  call("sdl2.draw_point", {num(0), num(0)});
  EXPECT_EQ(script->opened.size(), 1u);
  EXPECT_EQ(script->calls, (Calls{"point 0 0"}));  // creation applied (1, 2, 3) already
}

TEST_F(GraphicsModuleTest, WindowBuiltinsIgnoreExtraArguments) {
  open();
  builtin("clear", {num(1), str("x")});
  builtin("present", {num(1)});
  EXPECT_EQ(script->calls, (Calls{"color 0 0 0 255", "clear", "color 255 255 255 255", "present"}));
}

using GraphicsModuleDeathTest = GraphicsModuleTest;

TEST_F(GraphicsModuleDeathTest, AFailingColourStopsTheProgram) {
  open();
  script->fail_color = true;
  script->error = "colour lost";
  EXPECT_EXIT(call("sdl2.set_draw_color", {num(1), num(2), num(3)}),
              ::testing::ExitedWithCode(kRendererFailureStatus), "colour lost");
}

TEST_F(GraphicsModuleDeathTest, AFailingClearStopsTheProgram) {
  open();
  script->fail_clear = true;
  script->error = "no surface";
  EXPECT_EXIT(call("sdl2.clear_screen"), ::testing::ExitedWithCode(kRendererFailureStatus),
              "Could not clear: no surface");
}

// Drivers that show nothing count only when SDL_VIDEODRIVER (a list, any case) names them.
TEST(VideoDriverChoice, DriversThatShowNothingNeedToBeAskedFor) {
  EXPECT_TRUE(video_driver_is_usable("x11", nullptr));
  EXPECT_FALSE(video_driver_is_usable("offscreen", nullptr));
  EXPECT_FALSE(video_driver_is_usable("dummy", "x11,dumm"));
  EXPECT_TRUE(video_driver_is_usable("evdev", "x11,EvDev"));
}

}  // namespace
}  // namespace vormel
