// The key-name table: SDL keycodes (their numeric values, so no SDL header is needed) to
// the short names scripts test for.
#pragma once

#include <cstdint>
#include <string_view>

namespace vormel {

// The name of a non-zero keycode; every keycode outside the table is "unknown".
std::string_view key_name(int32_t keycode);

}  // namespace vormel
