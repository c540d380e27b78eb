// Arithmetic and comparisons on names and number literals (`zr * zr - zi * zi + cr`,
// `n < limit and x * x <= 4.0`), prepared once so that each operator node computes on plain
// integers, doubles and booleans: a function for its operator and the shapes of its two
// operands, giving a Scalar in registers, with no Value built for an intermediate result.
// Such an expression reads variables and runs no code, so when a node meets anything it
// does not decide (a name that is unbound or holds another kind, a division by zero, an
// operator on booleans) the whole expression gives up and the root's ordinary form
// evaluates it again from the start, which gives the same value or reports the same failure.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

#include "interpreter/arithmetic.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/node_cache.hpp"
#include "interpreter/node_code.hpp"
#include "interpreter/prepared_forms.hpp"

namespace vormel {

// A value as a number node computes it: 16 bytes, returned in two registers.
struct Scalar {
  enum Kind : uint8_t { kInteger = 0, kFloat = 1, kBoolean = 2, kGaveUp = 3 };
  uint8_t kind;
  uint64_t bits;

  static Scalar integer(int64_t v) { return {kInteger, std::bit_cast<uint64_t>(v)}; }
  static Scalar real(double v) { return {kFloat, std::bit_cast<uint64_t>(v)}; }
  static Scalar truth(bool v) { return {kBoolean, v ? uint64_t{1} : uint64_t{0}}; }
  static Scalar gave_up() { return {kGaveUp, 0}; }
  int64_t as_integer() const { return std::bit_cast<int64_t>(bits); }
  double as_real() const { return std::bit_cast<double>(bits); }
  bool as_truth() const { return bits != 0; }
  // An integer or a float as a double (an integer beside a float counts as a float).
  double as_double() const {
    return kind == kFloat ? as_real() : static_cast<double>(as_integer());
  }
  Value value() const {
    return kind == kInteger ? Value::number(as_integer())
           : kind == kFloat ? Value::floating(as_real())
                            : Value::boolean(as_truth());
  }
};

// What an operator node prepared as a number node keeps in its cache.
using NumberFn = Scalar (*)(const Interpreter&, const BinaryOpExpr&);
struct NumberNode final : NodeCache {
  NumberFn fn = nullptr;
  size_t operators = 0;  // in the expression this node roots
  // The root's ordinary forms, which run when the expression gives up: as an expression,
  // and (for an `if` or `while` condition) as a test.
  mutable EvaluateFn evaluate_fallback = nullptr;
  mutable TestFn test_fallback = nullptr;
};

// The number node of `expr`, prepared on first use with those below it and kept in the
// node; null when the expression is not operators on names and number literals alone, or
// is too large.
const NumberNode* number_node_of(const Expr& expr);

namespace number_nodes {

// A value as a Scalar; gave_up for a kind other than a number or a Boolean.
[[gnu::always_inline]] inline Scalar scalar_of(const Value& value) {
  if (value.is(ValueKind::Float)) return Scalar::real(value.as_float());
  if (value.is(ValueKind::Number)) return Scalar::integer(value.as_number());
  if (value.is(ValueKind::Boolean)) return Scalar::truth(value.as_boolean());
  return Scalar::gave_up();
}
// A variable's value as a Scalar; gave_up for an unbound name or another kind.
[[gnu::always_inline]] inline Scalar scalar_of(const Value* value) {
  return value != nullptr ? scalar_of(*value) : Scalar::gave_up();
}

template <OperandShape S>
[[gnu::always_inline]] inline Scalar operand(const Interpreter& in, const Expr& e) {
  if constexpr (S == OperandShape::Variable) {
    return scalar_of(in.peek_variable(static_cast<const IdentifierExpr&>(e).symbol));
  } else if constexpr (S == OperandShape::Integer) {
    return Scalar::integer(static_cast<const NumberExpr&>(e).value);
  } else if constexpr (S == OperandShape::Float) {
    return Scalar::real(static_cast<const FloatExpr&>(e).value);
  } else {
    const auto& node = static_cast<const BinaryOpExpr&>(e);
    return cached<NumberNode>(node.cache).fn(in, node);
  }
}

// `x op y` by the operator's rule for two integers.
template <TokenKind Op>
[[gnu::always_inline]] inline Scalar on_integers(int64_t x, int64_t y) {
  if constexpr (Op == TokenKind::Slash) {
    return y != 0 ? Scalar::integer(integer_quotient(x, y)) : Scalar::gave_up();
  } else if constexpr (Op == TokenKind::Percent) {
    return y != 0 ? Scalar::integer(integer_remainder(x, y)) : Scalar::gave_up();
  } else if constexpr (Op == TokenKind::Power) {
    return Scalar::integer(integer_power(x, y));
  } else if constexpr (is_comparison(Op)) {
    return Scalar::truth(integers_compare(Op, x, y));
  } else {
    return Scalar::integer(integer_sum_or_product(Op, x, y));
  }
}

// `x op y` by the operator's rule for two floats.
template <TokenKind Op>
[[gnu::always_inline]] inline Scalar on_floats(double x, double y) {
  switch (Op) {
    case TokenKind::Plus: return Scalar::real(x + y);
    case TokenKind::Minus: return Scalar::real(x - y);
    case TokenKind::Star: return Scalar::real(x * y);
    case TokenKind::Slash: return y != 0.0 ? Scalar::real(x / y) : Scalar::gave_up();
    case TokenKind::Percent: return Scalar::real(std::fmod(x, y));
    case TokenKind::Power: return Scalar::real(std::pow(x, y));
    case TokenKind::Equal: return Scalar::truth(floats_equal(x, y));
    case TokenKind::NotEqual:
      return Scalar::truth(!std::isnan(x) && !std::isnan(y) && !floats_equal(x, y));
    default: return Scalar::truth(ordered(Op, x, y));
  }
}

template <TokenKind Op>
[[gnu::always_inline]] inline Scalar combine(Scalar a, Scalar b) {
  if constexpr (Op == TokenKind::And || Op == TokenKind::Or) {
    if (a.kind != Scalar::kBoolean || b.kind != Scalar::kBoolean) return Scalar::gave_up();
    return Scalar::truth(Op == TokenKind::And ? a.as_truth() && b.as_truth()
                                              : a.as_truth() || b.as_truth());
  } else {
    if (a.kind == Scalar::kFloat && b.kind == Scalar::kFloat) [[likely]]
      return on_floats<Op>(a.as_real(), b.as_real());
    const unsigned kinds = a.kind | b.kind;  // 0: two integers; 1: a float and an integer
    if (kinds == 0) return on_integers<Op>(a.as_integer(), b.as_integer());
    if (kinds == 1) return on_floats<Op>(a.as_double(), b.as_double());
    return Scalar::gave_up();
  }
}

// One operator node: both operands (reading a variable runs no code, so both are read even
// when the first gives up), then the operator.
template <TokenKind Op, OperandShape L, OperandShape R>
Scalar node(const Interpreter& in, const BinaryOpExpr& e) {
  const Scalar a = operand<L>(in, *e.left);
  const Scalar b = operand<R>(in, *e.right);
  return combine<Op>(a, b);
}

// `x * x`, `x == x`: one variable on both sides, read once.
template <TokenKind Op>
Scalar same_variable_node(const Interpreter& in, const BinaryOpExpr& e) {
  const Scalar a = operand<OperandShape::Variable>(in, *e.left);
  return combine<Op>(a, a);
}

}  // namespace number_nodes
}  // namespace vormel
