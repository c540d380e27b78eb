#include "interpreter/graphics/video_driver_choice.hpp"

#include <strings.h>

#include <algorithm>
#include <array>

namespace vormel {
namespace {

constexpr std::array<std::string_view, 3> kInvisibleDrivers{"offscreen", "dummy", "evdev"};

bool same_name(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

bool is_requested(std::string_view driver, std::string_view requested) {
  while (true) {
    const size_t comma = requested.find(',');
    if (same_name(driver, requested.substr(0, comma))) return true;
    if (comma == std::string_view::npos) return false;
    requested.remove_prefix(comma + 1);
  }
}

}  // namespace

bool video_driver_is_usable(std::string_view driver, const char* requested) {
  const bool invisible = std::ranges::any_of(
      kInvisibleDrivers, [driver](std::string_view name) { return same_name(driver, name); });
  return !invisible || (requested != nullptr && is_requested(driver, requested));
}

}  // namespace vormel
