// The pressed, released and held key-name sets. The sets are cleared in place, so their
// storage is reused from frame to frame; a lookup by string_view allocates nothing.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

namespace vormel {

class KeyboardState {
 public:
  // Forgets the previous frame's edges: released first, then pressed. Held stays.
  void begin_frame();
  void key_down(std::string_view name);
  void key_up(std::string_view name);

  bool pressed(std::string_view name) const { return contains(pressed_, name); }
  bool released(std::string_view name) const { return contains(released_, name); }
  bool held(std::string_view name) const { return contains(held_, name); }

 private:
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
  };
  using KeySet = std::unordered_set<std::string, Hash, std::equal_to<>>;
  static bool contains(const KeySet& set, std::string_view name) {
    return set.find(name) != set.end();
  }

  KeySet pressed_, released_, held_;
};

}  // namespace vormel
