#include "interpreter/graphics/image_header.hpp"

namespace vormel {
namespace {

uint32_t byte(std::string_view data, size_t at) { return static_cast<unsigned char>(data[at]); }
uint32_t big16(std::string_view d, size_t at) { return byte(d, at) << 8 | byte(d, at + 1); }
uint32_t big32(std::string_view d, size_t at) { return big16(d, at) << 16 | big16(d, at + 2); }
uint32_t little16(std::string_view d, size_t at) { return byte(d, at + 1) << 8 | byte(d, at); }
uint32_t little32(std::string_view d, size_t at) {
  return little16(d, at + 2) << 16 | little16(d, at);
}

// The size in the first frame header (SOF0 to SOF15, which are C0 to CF but for C4, C8 and
// CC) of the segments that follow the start of image.
std::optional<DeclaredSize> jpeg_size(std::string_view d) {
  size_t at = 2;
  while (at + 4 <= d.size()) {
    if (byte(d, at) != 0xFF) return std::nullopt;
    const uint32_t marker = byte(d, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {  // no length
      at += 2;
      continue;
    }
    if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      if (at + 9 > d.size()) return std::nullopt;
      return DeclaredSize{big16(d, at + 7), big16(d, at + 5)};
    }
    at += 2 + big16(d, at + 2);
  }
  return std::nullopt;
}

}  // namespace

std::optional<DeclaredSize> declared_image_size(std::string_view d) {
  if (d.size() >= 24 && d.substr(0, 8) == "\x89PNG\r\n\x1a\n" && d.substr(12, 4) == "IHDR")
    return DeclaredSize{big32(d, 16), big32(d, 20)};
  if (d.size() >= 4 && byte(d, 0) == 0xFF && byte(d, 1) == 0xD8 && byte(d, 2) == 0xFF)
    return jpeg_size(d);
  if (d.size() >= 26 && d.substr(0, 2) == "BM") {
    if (little32(d, 14) == 12) return DeclaredSize{little16(d, 18), little16(d, 20)};
    const auto height = static_cast<int32_t>(little32(d, 22));  // negative: rows top down
    return DeclaredSize{static_cast<int32_t>(little32(d, 18)),
                        height < 0 ? -int64_t{height} : int64_t{height}};
  }
  return std::nullopt;
}

}  // namespace vormel
