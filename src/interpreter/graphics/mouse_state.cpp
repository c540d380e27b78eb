#include "interpreter/graphics/mouse_state.hpp"

namespace vormel {

std::optional<MouseButton> mouse_button_named(std::string_view name) {
  if (name == "left") return MouseButton::Left;
  if (name == "middle") return MouseButton::Middle;
  if (name == "right") return MouseButton::Right;
  return std::nullopt;
}

void MouseState::begin_frame() {
  pressed_ = 0;
  released_ = 0;
  wheel_ = 0;
}

void MouseState::move_to(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
}

void MouseState::button_down(MouseButton button) {
  pressed_ |= bit(button);
  held_ |= bit(button);
}

void MouseState::button_up(MouseButton button) {
  released_ |= bit(button);
  held_ &= static_cast<uint8_t>(~bit(button));
}

void MouseState::scroll(int32_t steps) { wheel_ += steps; }

}  // namespace vormel
