// A steady frame loop allocates nothing: drawing, clearing, the present step with its
// pacing and edge sets, and the key queries reuse their storage. Only the names of new key
// events may allocate.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "interpreter/graphics/graphics.hpp"
#include "interpreter/graphics/graphics_operations.hpp"
#include "interpreter/graphics/graphics_testing.hpp"

namespace {

bool g_counting = false;
size_t g_allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (g_counting) ++g_allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  if (g_counting) ++g_allocations;
  return std::malloc(size == 0 ? 1 : size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vormel {
namespace {

// A window that does nothing and keeps nothing, fed with one scripted batch of events.
class QuietWindow final : public Window {
 public:
  std::vector<InputEvent>* events;
  size_t next = 0;
  explicit QuietWindow(std::vector<InputEvent>* events) : events(events) {}
  bool set_draw_color(DrawColor) override { return true; }
  bool clear() override { return true; }
  void draw_point(int32_t, int32_t) override {}
  void draw_line(int32_t, int32_t, int32_t, int32_t) override {}
  void draw_rect(int32_t, int32_t, int32_t, int32_t) override {}
  void fill_rect(int32_t, int32_t, int32_t, int32_t) override {}
  std::string error_text() override { return {}; }
  void present() override {}
  WindowSize size() override { return {64, 48}; }
  bool poll_event(InputEvent& event) override {
    if (next == events->size()) {
      next = 0;
      events->clear();
      return false;
    }
    event = (*events)[next++];
    return true;
  }
};

class QuietSystem final : public WindowSystem {
 public:
  std::vector<InputEvent>* events;
  explicit QuietSystem(std::vector<InputEvent>* events) : events(events) {}
  std::unique_ptr<Window> open_window(std::string_view, int, int) override {
    return std::make_unique<QuietWindow>(events);
  }
};

TEST(GraphicsAllocationTest, ASteadyFrameLoopAllocatesNothing) {
  std::vector<InputEvent> events;
  events.reserve(8);
  auto graphics = make_graphics_context(std::make_unique<QuietSystem>(&events));
  create_window(*graphics, "steady", 64, 48);
  std::vector<Value> circle = {Value::number(10), Value::number(10), Value::number(8)};
  std::vector<Value> key = {Value::string("a")};
  std::vector<Value> none;
  Value rect = Value::rect({1, 2, 30, 20});
  Value triangle = Value::triangle({0, 0, 9, 0, 0, 9});
  Value shape_colour = Value::color({9, 9, 9});
  auto frame = [&] {
    clear_screen(*graphics);
    request_color(*graphics, 200, 10, 10);
    dispatch_graphics("sdl2.fill_circle", circle, *graphics);
    fill_shape(*graphics, rect, shape_colour);
    draw_shape(*graphics, triangle, shape_colour);
    fill_shape(*graphics, triangle, shape_colour);
    dispatch_graphics("sdl2.get_input_held", key, *graphics);
    dispatch_graphics("sdl2.delta_time", none, *graphics);
    dispatch_graphics("sdl2.render_present", none, *graphics);
  };
  // Warm up: the held key's name is stored once.
  events.push_back({InputEvent::Kind::KeyDown, 'a', false});
  frame();
  frame();
  g_counting = true;
  for (int i = 0; i < 100; ++i) frame();
  // Auto-repeat events of the held key are dropped without storing anything.
  events.push_back({InputEvent::Kind::KeyDown, 'a', true});
  frame();
  g_counting = false;
  EXPECT_EQ(g_allocations, 0u);
  EXPECT_TRUE(key_held(*graphics, "a"));
}

}  // namespace
}  // namespace vormel
