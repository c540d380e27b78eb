// The number operators done inline by the evaluator's fast paths, each giving exactly what
// binary_operation() gives for the same operands; `otherwise()` is called for every case
// they leave to it (failures, wrapping division, tolerant float equality, power).
#pragma once

#include <cstdint>

#include "interpreter/integer_arithmetic.hpp"
#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace vormel {

// The integer operators that cannot fail, done inline; `otherwise()` for the rest. Each
// case returns directly, so that the result is built in the caller's return slot.
template <typename Otherwise>
[[gnu::always_inline]] inline Value integer_operator(TokenKind op, int64_t x, int64_t y,
                                                     Otherwise otherwise) {
  switch (op) {
    case TokenKind::Plus: return Value::number(wrap_add(x, y));
    case TokenKind::Minus: return Value::number(wrap_sub(x, y));
    case TokenKind::Star: return Value::number(wrap_mul(x, y));
    case TokenKind::Less: return Value::boolean(x < y);
    case TokenKind::LessEqual: return Value::boolean(x <= y);
    case TokenKind::Greater: return Value::boolean(x > y);
    case TokenKind::GreaterEqual: return Value::boolean(x >= y);
    case TokenKind::Equal: return Value::boolean(x == y);
    case TokenKind::NotEqual: return Value::boolean(x != y);
    // Division by zero fails and the smallest integer over -1 wraps: both are left to the
    // general operator.
    case TokenKind::Slash: return y != 0 && y != -1 ? Value::number(x / y) : otherwise();
    case TokenKind::Percent: return y != 0 && y != -1 ? Value::number(x % y) : otherwise();
    default: return otherwise();
  }
}

// The float operators that cannot fail, done inline; `otherwise()` for the rest (division
// by zero, the tolerant equalities, remainder and power).
template <typename Otherwise>
[[gnu::always_inline]] inline Value float_operator(TokenKind op, double x, double y,
                                                   Otherwise otherwise) {
  switch (op) {
    case TokenKind::Plus: return Value::floating(x + y);
    case TokenKind::Minus: return Value::floating(x - y);
    case TokenKind::Star: return Value::floating(x * y);
    case TokenKind::Slash: return y != 0.0 ? Value::floating(x / y) : otherwise();
    case TokenKind::Less: return Value::boolean(x < y);
    case TokenKind::LessEqual: return Value::boolean(x <= y);
    case TokenKind::Greater: return Value::boolean(x > y);
    case TokenKind::GreaterEqual: return Value::boolean(x >= y);
    default: return otherwise();
  }
}

// A number operand as a double: true for a Float, or for a Number when `other` is a Float.
[[gnu::always_inline]] inline bool as_float_operand(const Value& value, const Value& other,
                                                    double& out) {
  if (value.is(ValueKind::Float)) {
    out = value.as_float();
    return true;
  }
  if (value.is(ValueKind::Number) && other.is(ValueKind::Float)) {
    out = static_cast<double>(value.as_number());
    return true;
  }
  return false;
}

// Two computed operands that are not both integers: floats (and a float with an integer) are
// done inline, everything else by binary_operation(). Out of line, so that the integer paths
// that call it keep their few registers.
[[gnu::noinline]] Value float_or_general_operation(const Value& left, TokenKind op,
                                                   const Value& right);

}  // namespace vormel
