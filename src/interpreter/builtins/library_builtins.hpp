// The collection, string, math and random built-ins. Each handler receives at least its
// minimum argument count (the dispatcher checks it) and may move from its arguments.
#pragma once

#include <span>

#include "interpreter/value.hpp"

namespace vormel {

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
