#include "interpreter/graphics/video_driver_choice.hpp"

#include <array>
#include <cctype>

namespace vormel {
namespace {

constexpr std::array<std::string_view, 3> kInvisibleDrivers{"offscreen", "dummy", "evdev"};

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
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
  bool invisible = false;
  for (std::string_view name : kInvisibleDrivers) invisible = invisible || same_name(driver, name);
  return !invisible || (requested != nullptr && is_requested(driver, requested));
}

}  // namespace vormel
