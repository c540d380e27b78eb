// Truthiness, match equality and integer reading of values.
#include <cmath>
#include <limits>

#include "interpreter/value.hpp"
#include "support/text_equality.hpp"

namespace vormel {

// 2^-52: the tolerance of float equality.
constexpr double kFloatTolerance = 2.220446049250313e-16;

bool floats_equal(double a, double b) {
  // Exactly equal operands (infinities included) are equal; otherwise the tolerance decides.
  // NaN is unequal to everything, as the comparison below is false for it.
  return a == b || std::fabs(a - b) < kFloatTolerance;
}

bool is_truthy(const Value& value) {
  switch (value.kind()) {
    case ValueKind::Number: return value.as_number() != 0;
    case ValueKind::Float: return value.as_float() != 0.0;  // NaN is truthy
    case ValueKind::Boolean: return value.as_boolean();
    case ValueKind::Null: return false;
    default: return true;
  }
}

bool pattern_equals(const Value& subject, const Value& pattern) {
  if (subject.kind() != pattern.kind()) return false;
  switch (subject.kind()) {
    case ValueKind::Number: return subject.as_number() == pattern.as_number();
    case ValueKind::Float: return floats_equal(subject.as_float(), pattern.as_float());
    case ValueKind::String: return texts_equal(subject.as_string(), pattern.as_string());
    case ValueKind::Boolean: return subject.as_boolean() == pattern.as_boolean();
    case ValueKind::Null: return true;
    default: return false;
  }
}

int64_t to_integer(const Value& value) {
  if (value.is(ValueKind::Number)) return value.as_number();
  if (!value.is(ValueKind::Float)) return 0;
  double d = value.as_float();
  if (std::isnan(d)) return 0;
  if (d >= 9223372036854775808.0) return std::numeric_limits<int64_t>::max();
  if (d < -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(d);  // truncates toward zero
}

}  // namespace vormel
