// The interpreter's single window and drawing state. Only the graphics folder sees this
// definition; the rest of the interpreter holds it opaquely (graphics_handle.hpp) and works
// on it through graphics_operations.hpp.
#pragma once

#include <memory>

#include "interpreter/graphics/frame_pacer.hpp"
#include "interpreter/graphics/keyboard_state.hpp"
#include "interpreter/graphics/mouse_state.hpp"
#include "interpreter/graphics/renderer.hpp"
#include "interpreter/graphics/sound_system.hpp"
#include "interpreter/graphics/window_system.hpp"

namespace vormel {

class GraphicsContext {
 public:
  explicit GraphicsContext(std::unique_ptr<WindowSystem> system) : system(std::move(system)) {}

  // Declared before the window, so that the window (and with it the system's shutdown)
  // goes first.
  std::unique_ptr<WindowSystem> system;
  // The renderer and the event source: present once a window has been created, until the
  // context ends.
  std::unique_ptr<Window> window;
  DrawColor color{255, 255, 255, 255};  // the current draw colour
  // Set by the first successful window creation and never cleared, so that a context opens
  // at most one window, even after destroy_window or a quit event.
  bool window_created = false;
  bool open = false;  // cleared by destroy_window and by a quit event
  FramePacer pacer;
  KeyboardState keys;
  MouseState mouse;
  // The game module's sounds: made on its first sound call, closed with the context.
  std::unique_ptr<SoundSystem> sounds;
};

}  // namespace vormel
