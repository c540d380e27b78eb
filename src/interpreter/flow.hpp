// What statements leave pending for the statement lists around them: a return value, the
// break flag, the continue flag. These can be pending together (a `break` run outside any
// loop stays pending while a later `return` runs), so each is one bit. Every statement
// reports the bits pending after it, so that a list stops on a single test.
#pragma once

#include <cstdint>

namespace vormel {

using Flow = uint8_t;
inline constexpr Flow kFlowNormal = 0;
inline constexpr Flow kFlowReturn = 1;
inline constexpr Flow kFlowBreak = 2;
inline constexpr Flow kFlowContinue = 4;

}  // namespace vormel
