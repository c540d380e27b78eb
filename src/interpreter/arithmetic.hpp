// Arithmetic and comparison of numbers as scripts see them, defined once: each operator's
// rule for two integers and for two floats. The general operator (operators.cpp) and every
// prepared form call these. A rule calls `fails()` for what is an error (division by zero,
// an operator that numbers lack), and each caller reports that its own way.
#pragma once

#include <cmath>
#include <cstdint>

#include "interpreter/value.hpp"
#include "lexer/token.hpp"

namespace vormel {

// Integers are 64-bit two's complement and wrap on overflow (without the undefined
// behaviour of signed overflow in C++).
[[gnu::always_inline]] constexpr int64_t wrap_add(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) + static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_sub(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) - static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_mul(int64_t a, int64_t b) {
  return static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b));
}
[[gnu::always_inline]] constexpr int64_t wrap_neg(int64_t a) { return wrap_sub(0, a); }

// Quotient and remainder for a divisor that is not zero: the smallest integer divided by -1
// wraps to itself and leaves 0 (where C++ would trap).
[[gnu::always_inline]] constexpr int64_t integer_quotient(int64_t a, int64_t b) {
  return b == -1 ? wrap_neg(a) : a / b;
}
[[gnu::always_inline]] constexpr int64_t integer_remainder(int64_t a, int64_t b) {
  return b == -1 ? 0 : a % b;
}
// Repeated squaring over the exponent's low 32 bits, wrapping.
int64_t integer_power(int64_t base, int64_t exponent);

// `+`, `-` and `*` of integers: the operators that cannot fail (`op` is one of them).
[[gnu::always_inline]] constexpr int64_t integer_sum_or_product(TokenKind op, int64_t x,
                                                                int64_t y) {
  return op == TokenKind::Plus    ? wrap_add(x, y)
         : op == TokenKind::Minus ? wrap_sub(x, y)
                                  : wrap_mul(x, y);
}
// Whether `op` is one of those.
[[gnu::always_inline]] constexpr bool is_sum_or_product(TokenKind op) {
  return op == TokenKind::Plus || op == TokenKind::Minus || op == TokenKind::Star;
}

// The operator of a compound assignment: `+=` adds, `-=` subtracts, `*=` multiplies,
// `/=` divides.
[[gnu::always_inline]] constexpr TokenKind compound_operator(TokenKind compound) {
  return compound == TokenKind::PlusAssign    ? TokenKind::Plus
         : compound == TokenKind::MinusAssign ? TokenKind::Minus
         : compound == TokenKind::StarAssign  ? TokenKind::Star
                                              : TokenKind::Slash;
}

// `<`, `<=`, `>`, `>=` of two integers or two floats (`op` is one of them).
template <typename T>
[[gnu::always_inline]] constexpr bool ordered(TokenKind op, T x, T y) {
  return op == TokenKind::Less        ? x < y
         : op == TokenKind::LessEqual ? x <= y
         : op == TokenKind::Greater   ? x > y
                                      : x >= y;
}

// The six comparisons of two integers (`op` is one of them).
[[gnu::always_inline]] constexpr bool integers_compare(TokenKind op, int64_t x, int64_t y) {
  return op == TokenKind::Equal ? x == y : op == TokenKind::NotEqual ? x != y : ordered(op, x, y);
}
// Whether `op` is one of those.
[[gnu::always_inline]] constexpr bool is_comparison(TokenKind op) {
  return op == TokenKind::Less || op == TokenKind::LessEqual || op == TokenKind::Greater ||
         op == TokenKind::GreaterEqual || op == TokenKind::Equal || op == TokenKind::NotEqual;
}

// Every operator on two integers.
template <typename Fails>
[[gnu::always_inline]] inline Value integer_operator(TokenKind op, int64_t x, int64_t y,
                                                     Fails fails) {
  switch (op) {
    case TokenKind::Plus:
    case TokenKind::Minus:
    case TokenKind::Star: return Value::number(integer_sum_or_product(op, x, y));
    case TokenKind::Slash: return y != 0 ? Value::number(integer_quotient(x, y)) : fails();
    case TokenKind::Percent: return y != 0 ? Value::number(integer_remainder(x, y)) : fails();
    case TokenKind::Power: return Value::number(integer_power(x, y));
    case TokenKind::Less:
    case TokenKind::LessEqual:
    case TokenKind::Greater:
    case TokenKind::GreaterEqual:
    case TokenKind::Equal:
    case TokenKind::NotEqual: return Value::boolean(integers_compare(op, x, y));
    default: return fails();
  }
}

// Every operator on two floats (an integer beside a float counts as a float). Equality is
// tolerant; NaN equals nothing and is unequal to nothing.
template <typename Fails>
[[gnu::always_inline]] inline Value float_operator(TokenKind op, double x, double y, Fails fails) {
  switch (op) {
    case TokenKind::Plus: return Value::floating(x + y);
    case TokenKind::Minus: return Value::floating(x - y);
    case TokenKind::Star: return Value::floating(x * y);
    case TokenKind::Slash: return y != 0.0 ? Value::floating(x / y) : fails();
    case TokenKind::Percent: return Value::floating(std::fmod(x, y));
    case TokenKind::Power: return Value::floating(std::pow(x, y));
    case TokenKind::Less:
    case TokenKind::LessEqual:
    case TokenKind::Greater:
    case TokenKind::GreaterEqual: return Value::boolean(ordered(op, x, y));
    case TokenKind::Equal: return Value::boolean(floats_equal(x, y));
    case TokenKind::NotEqual:
      return Value::boolean(!std::isnan(x) && !std::isnan(y) && !floats_equal(x, y));
    default: return fails();
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

}  // namespace vormel
