#include "interpreter/graphics/key_names.hpp"

#include <array>

namespace vormel {
namespace {

struct NamedKey {
  int32_t keycode;
  std::string_view name;
};

// Keys outside the printable ASCII range.
constexpr std::array<NamedKey, 15> kSpecialKeys = {{
    {32, "space"},
    {13, "return"},
    {27, "escape"},
    {8, "backspace"},
    {9, "tab"},
    {0x40000052, "up"},
    {0x40000051, "down"},
    {0x40000050, "left"},
    {0x4000004F, "right"},
    {0x400000E1, "lshift"},
    {0x400000E5, "rshift"},
    {0x400000E0, "lctrl"},
    {0x400000E4, "rctrl"},
    {0x400000E2, "lalt"},
    {0x400000E6, "ralt"},
}};

// "a" to "z" and "0" to "9" are the keycode's own character.
constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz";
constexpr std::string_view kDigits = "0123456789";

}  // namespace

std::string_view key_name(int32_t keycode) {
  if (keycode >= 'a' && keycode <= 'z') return kLetters.substr(keycode - 'a', 1);
  if (keycode >= '0' && keycode <= '9') return kDigits.substr(keycode - '0', 1);
  for (const NamedKey& key : kSpecialKeys)
    if (key.keycode == keycode) return key.name;
  return "unknown";
}

}  // namespace vormel
