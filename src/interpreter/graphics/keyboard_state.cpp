#include "interpreter/graphics/keyboard_state.hpp"

namespace vormel {

void KeyboardState::begin_frame() {
  released_.clear();
  pressed_.clear();
}

namespace {

// Inserts only when missing, so a repeated name costs no allocation.
template <typename Set>
void add(Set& set, std::string_view name) {
  if (set.find(name) == set.end()) set.emplace(name);
}

}  // namespace

void KeyboardState::key_down(std::string_view name) {
  add(pressed_, name);
  add(held_, name);
}

void KeyboardState::key_up(std::string_view name) {
  add(released_, name);
  if (auto it = held_.find(name); it != held_.end()) held_.erase(it);
}

}  // namespace vormel
