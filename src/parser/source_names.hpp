// The names of the sources that nodes come from ("game.vl", "shapes.vl", "<input>"),
// numbered so that every node can name its source in one byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vormel {

// The number of `name`, registering it on first use; 0 (unknown) once 255 names are taken.
uint8_t source_number(std::string_view name);
// The name of source `number`; "?" for 0.
std::string source_name(uint8_t number);

}  // namespace vormel
