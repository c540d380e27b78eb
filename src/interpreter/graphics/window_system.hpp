// The window as the graphics context sees it: a renderer, a size and an event queue. The
// context opens at most one, through a WindowSystem; SDL is the run-time system, tests
// substitute their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
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

// An image loaded as a texture of the window: its id from 1, and its size in pixels.
struct ImageInfo {
  int64_t id;
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

  // Loads the PNG, JPEG or BMP file at `path` (a regular file) as a texture of this window,
  // the same id for the same path; nullopt with the reason in error_text() when it cannot be
  // decoded, or the limits (kMostImages, kMostImagePixels) are reached.
  virtual std::optional<ImageInfo> load_image(const std::string& path);
  // Draws the image `id` scaled to the box at (x, y), w x h, where a negative w or h stands
  // for the image's own; false when this window loaded no image of that id.
  virtual bool draw_image(int64_t id, int32_t x, int32_t y, int32_t w, int32_t h);
};

inline constexpr int kLargestTextSize = 500;
// Images loaded per window, and all their pixels together (64 MiB at four bytes a pixel).
inline constexpr size_t kMostImages = 1024;
inline constexpr size_t kMostImagePixels = size_t{16} << 20;
// The widest and tallest image: larger textures are refused by many renderers.
inline constexpr int64_t kWidestImage = 16384;

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
