// Binary and unary operators. Decided by the left operand's kind, then the right's, then
// the operator; every failure is logged once here and returned as an Error value.
#include "interpreter/operators.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string>

#include "interpreter/arithmetic.hpp"
#include "interpreter/errors.hpp"

namespace vormel {
namespace {

// Each failure is raised at `at`, the operator's place (may be null), set only on the way
// to the error.
Value integer_operation(int64_t a, TokenKind op, int64_t b, const NodePlace* at) {
  return integer_operator(op, a, b, [op, at] {
    ErrorPlace place(at);
    if (op == TokenKind::Slash) return errors::division_by_zero();
    if (op == TokenKind::Percent) return errors::modulo_by_zero();
    return errors::unsupported_operation("numbers", op);
  });
}

// `operands` names the kinds in the unsupported-operation message.
Value float_operation(double a, TokenKind op, double b, const char* operands, const NodePlace* at) {
  return float_operator(op, a, b, [op, operands, at] {
    ErrorPlace place(at);
    if (op == TokenKind::Slash) return errors::division_by_zero();
    return errors::unsupported_operation(operands, op);
  });
}

Value string_operation(const Value& left, TokenKind op, const Value& right, const NodePlace* at) {
  const std::string& a = left.as_string();
  const std::string& b = right.as_string();
  switch (op) {
    case TokenKind::Plus: {
      std::string joined;
      joined.reserve(a.size() + b.size());
      joined.append(a).append(b);
      return Value::string(std::move(joined));
    }
    case TokenKind::Equal: return Value::boolean(a == b);
    case TokenKind::NotEqual: return Value::boolean(a != b);
    default:
      return errors::raised_at(at, [op] { return errors::unsupported_operation("strings", op); });
  }
}

Value boolean_operation(bool a, TokenKind op, bool b, const NodePlace* at) {
  switch (op) {
    case TokenKind::And: return Value::boolean(a && b);
    case TokenKind::Or: return Value::boolean(a || b);
    case TokenKind::Equal: return Value::boolean(a == b);
    case TokenKind::NotEqual: return Value::boolean(a != b);
    default:
      return errors::raised_at(at, [op] { return errors::unsupported_operation("booleans", op); });
  }
}

// binary_operation() without its allocation-failure guard.
Value unguarded_binary_operation(const Value& left, TokenKind op, const Value& right,
                                 const NodePlace* at) {
  const ValueKind l = left.kind();
  const ValueKind r = right.kind();
  if (l == ValueKind::Number) {
    if (r == ValueKind::Number)
      return integer_operation(left.as_number(), op, right.as_number(), at);
    if (r == ValueKind::Float)
      return float_operation(static_cast<double>(left.as_number()), op, right.as_float(),
                             "number and float", at);
  } else if (l == ValueKind::Float) {
    if (r == ValueKind::Float)
      return float_operation(left.as_float(), op, right.as_float(), "floats", at);
    if (r == ValueKind::Number)
      return float_operation(left.as_float(), op, static_cast<double>(right.as_number()),
                             "float and number", at);
  } else if (l == ValueKind::String && r == ValueKind::String) {
    return string_operation(left, op, right, at);
  } else if (l == ValueKind::Boolean && r == ValueKind::Boolean) {
    return boolean_operation(left.as_boolean(), op, right.as_boolean(), at);
  }
  return errors::raised_at(at, [&] { return errors::cannot_apply(left, op, right); });
}

}  // namespace

int64_t integer_power(int64_t base, int64_t exponent) {
  auto bits = static_cast<uint32_t>(exponent);  // low 32 bits, unsigned
  int64_t result = 1;
  while (bits != 0) {
    if (bits & 1u) result = wrap_mul(result, base);
    bits >>= 1;
    if (bits != 0) base = wrap_mul(base, base);
  }
  return result;
}

// Two operands that are not both integers: a float with a float or an integer by the float
// rule, everything else by binary_operation().
Value float_or_general_operation(const Value& left, TokenKind op, const Value& right,
                                 const NodePlace* at) {
  double x, y;
  if (as_float_operand(left, right, x) && as_float_operand(right, left, y))
    return float_operator(op, x, y, [&] { return binary_operation(left, op, right, at); });
  return binary_operation(left, op, right, at);
}

// String results can be too large to allocate: that fails like any other operator error.
Value binary_operation(const Value& left, TokenKind op, const Value& right, const NodePlace* at) {
  return errors::unless_out_of_memory(
      [&] { return unguarded_binary_operation(left, op, right, at); });
}

Value unary_operation(TokenKind op, const Value& operand, const NodePlace* at) {
  switch (op) {
    case TokenKind::Minus:
      if (operand.is(ValueKind::Number)) return Value::number(wrap_neg(operand.as_number()));
      if (operand.is(ValueKind::Float)) return Value::floating(-operand.as_float());
      return errors::raised_at(at, [&] { return errors::cannot_negate(operand); });
    case TokenKind::Not: return Value::boolean(!is_truthy(operand));
    default: return errors::raised_at(at, [op] { return errors::unsupported_unary(op); });
  }
}

}  // namespace vormel
