// The mouse as a script sees it between two present steps: the pointer's position, the
// pressed, held and released buttons (with the keys' rules: an edge lasts one frame, held
// lasts until the release) and the wheel steps of the frame.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vormel {

enum class MouseButton : uint8_t { Left, Middle, Right };

// "left", "middle" or "right"; nullopt for any other name.
std::optional<MouseButton> mouse_button_named(std::string_view name);

class MouseState {
 public:
  // Forgets the previous frame's edges and wheel steps. Held buttons and the position stay.
  void begin_frame();
  void move_to(int32_t x, int32_t y);
  void button_down(MouseButton button);
  void button_up(MouseButton button);
  void scroll(int32_t steps);

  int32_t x() const { return x_; }
  int32_t y() const { return y_; }
  bool pressed(MouseButton button) const { return (pressed_ & bit(button)) != 0; }
  bool held(MouseButton button) const { return (held_ & bit(button)) != 0; }
  bool released(MouseButton button) const { return (released_ & bit(button)) != 0; }
  int64_t wheel() const { return wheel_; }

 private:
  static uint8_t bit(MouseButton button) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(button));
  }

  int32_t x_ = 0, y_ = 0;
  uint8_t pressed_ = 0, held_ = 0, released_ = 0;
  int64_t wheel_ = 0;  // wide enough that no frame's events can overflow it
};

}  // namespace vormel
