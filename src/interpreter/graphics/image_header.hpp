// The size an image file declares in its header, read before the file is decoded, so that a
// small file cannot make the decoder allocate gigabytes for a picture too large to keep.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vormel {

struct DeclaredSize {
  int64_t width, height;
};

// The size in the header at the start of a PNG, JPEG or BMP file (`head`, the file's first
// bytes; kImageHeadBytes are enough for every JPEG with its metadata); nullopt when `head`
// starts none of them or declares no size within it.
std::optional<DeclaredSize> declared_image_size(std::string_view head);

inline constexpr size_t kImageHeadBytes = 128 * 1024;

}  // namespace vormel
