// The handlers of the plain built-ins, as the built-in table (builtins.cpp) runs them. Each
// receives at least its minimum argument count (the table checks it) and may move from its
// arguments; a value it returns is new, and the arguments' sources never change.
#pragma once

#include <span>

#include "interpreter/value.hpp"

namespace vormel {

// Console, type tests, length and the shape and colour constructors.
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

// Arrays: each returns a new value; the argument's source never changes.
Value builtin_push(std::span<Value> args);
Value builtin_pop(std::span<Value> args);
Value builtin_reverse(std::span<Value> args);

// Text (display-text based where the argument may be any kind).
Value builtin_contains(std::span<Value> args);
Value builtin_split(std::span<Value> args);
Value builtin_slice(std::span<Value> args);
Value builtin_concat(std::span<Value> args);
Value builtin_upper(std::span<Value> args);
Value builtin_lower(std::span<Value> args);

// Math.
Value builtin_abs(std::span<Value> args);
Value builtin_sqrt(std::span<Value> args);
Value builtin_pow(std::span<Value> args);
Value builtin_floor(std::span<Value> args);
Value builtin_ceil(std::span<Value> args);
Value builtin_round(std::span<Value> args);
Value builtin_min(std::span<Value> args);
Value builtin_max(std::span<Value> args);

// Random numbers.
Value builtin_random(std::span<Value> args);
Value builtin_random_range(std::span<Value> args);

}  // namespace vormel
