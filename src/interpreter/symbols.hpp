// Process-wide interning of variable names to small integers, so that variable slots are
// found by index instead of by hashing a string on every read.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vormel {

using Symbol = int32_t;

Symbol intern(std::string_view name);
const std::string& symbol_name(Symbol symbol);
size_t symbol_count();

}  // namespace vormel
