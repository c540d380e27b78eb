// Console, type-test, length and constructor built-ins. Handlers receive at least their
// minimum argument count.
#pragma once

#include <span>

#include "interpreter/value.hpp"

namespace vormel {

Value builtin_print(std::span<Value> args);
Value builtin_input(std::span<Value> args);
Value builtin_typeof(std::span<Value> args);
Value builtin_is_number(std::span<Value> args);
Value builtin_is_string(std::span<Value> args);
Value builtin_is_array(std::span<Value> args);
Value builtin_is_dict(std::span<Value> args);
Value builtin_len(std::span<Value> args);
Value builtin_rect(std::span<Value> args);
Value builtin_circle(std::span<Value> args);
Value builtin_triangle(std::span<Value> args);
Value builtin_color(std::span<Value> args);

}  // namespace vormel
