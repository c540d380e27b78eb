// How much native stack the current thread has left. Recursive code (the parser, the
// evaluator, text forms of nested values) checks this to fail cleanly instead of crashing.
#pragma once

#include <cstddef>

namespace vormel {

// Bytes kept in reserve: recursion stops once less than this is left.
inline constexpr size_t kStackReserveBytes = size_t{1} << 20;

// True when less than kStackReserveBytes of the current thread's stack remain.
bool stack_nearly_exhausted();

}  // namespace vormel
