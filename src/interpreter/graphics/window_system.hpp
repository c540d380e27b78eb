// The window as the graphics context sees it: a renderer, a size and an event queue. The
// context opens at most one, through a WindowSystem; SDL is the run-time system, tests
// substitute their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "interpreter/graphics/renderer.hpp"

namespace vormel {

// One event of the window's queue, reduced to what the present step reads.
struct InputEvent {
  enum class Kind : uint8_t { Quit, KeyDown, KeyUp, Other };
  Kind kind = Kind::Other;
  int32_t keycode = 0;  // SDL keycode of a key event
  bool repeat = false;  // a key-down sent by auto-repeat
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
};

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
