// How built-ins read their arguments: integers by to_integer, reals as doubles. A reader
// returns false for a kind it cannot read, and the built-in then yields Null.
#pragma once

#include <cstdint>

#include "interpreter/value.hpp"

namespace vormel {

inline bool read_integer(const Value& value, int64_t& out) {
  if (!value.is(ValueKind::Number) && !value.is(ValueKind::Float)) return false;
  out = to_integer(value);
  return true;
}

inline bool read_real(const Value& value, double& out) {
  if (value.is(ValueKind::Number)) {
    out = static_cast<double>(value.as_number());
    return true;
  }
  if (value.is(ValueKind::Float)) {
    out = value.as_float();
    return true;
  }
  return false;
}

}  // namespace vormel
