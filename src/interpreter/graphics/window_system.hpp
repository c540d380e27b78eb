// The window as the graphics context sees it: a renderer, a size and an event queue. The
// context opens at most one, through a WindowSystem; SDL is the run-time system, tests
// substitute their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "interpreter/graphics/mouse_state.hpp"
#include "interpreter/graphics/renderer.hpp"

namespace vormel {

// One event of the window's queue, reduced to what the present step reads.
struct InputEvent {
  enum class Kind : uint8_t { Quit, KeyDown, KeyUp, MouseMove, MouseDown, MouseUp, Wheel, Other };
  Kind kind = Kind::Other;
  int32_t keycode = 0;  // SDL keycode of a key event
  bool repeat = false;  // a key-down sent by auto-repeat
  // The pointer's position in the window, for mouse moves, downs and ups.
  int32_t x = 0, y = 0;
  MouseButton button = MouseButton::Left;  // of a mouse down or up
  int32_t wheel_steps = 0;                 // of a wheel event: positive away from the user
};

// The box a line of text fills, in pixels.
struct TextBox {
  int32_t width, height;
};

struct WindowSize {
  int width, height;
};

class Window : public Renderer {
 public:
  virtual void present() = 0;
  virtual WindowSize size() = 0;
  // The next queued event into `event`; false when the queue is empty.
  virtual bool poll_event(InputEvent& event) = 0;

  // Text in the program's font (DejaVu Sans) at `size` pixels: `text` is UTF-8 without NUL
  // bytes, `size` from 1 to kLargestTextSize. Each answers nullopt or false when the font
  // cannot be had, with the reason in error_text(); a window without text support says so.
  virtual std::optional<TextBox> measure_text(std::string_view text, int size);
  // The height of a line, from the tallest ascender to the lowest descender.
  virtual std::optional<int32_t> line_height(int size);
  // Draws the line with its top-left corner at (x, y).
  virtual bool draw_text(int32_t x, int32_t y, std::string_view text, int size, DrawColor color);
};

inline constexpr int kLargestTextSize = 500;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // A window with its renderer and event source, or null on any failure, with everything
  // acquired on the way released again. `title` holds no NUL byte; both sizes are below
  // 2^31. Destroying the window shuts the system down again.
  virtual std::unique_ptr<Window> open_window(std::string_view title, int width, int height) = 0;
};

// The SDL2 system (sdl_window.cpp).
std::unique_ptr<WindowSystem> make_sdl_window_system();

}  // namespace vormel
