// Expression evaluation. An Error value produced anywhere inside an expression becomes the
// value of the whole expression; failures are logged once, where they arise.
#include <limits>
#include <new>
#include <string>

#include "interpreter/diagnostics.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/symbol_cache.hpp"

namespace vormel {
namespace {

Value fail(std::string message) {
  log_error(message);
  return Value::error(std::move(message));
}

// The longest range built (elements); beyond it the range fails instead of exhausting memory.
constexpr uint64_t kMaxRangeLength = uint64_t{1} << 27;

}  // namespace

Value Interpreter::evaluate(const Expr& expr) {
  switch (expr.kind) {
    case ExprKind::Number: return Value::number(static_cast<const NumberExpr&>(expr).value);
    case ExprKind::Float: return Value::floating(static_cast<const FloatExpr&>(expr).value);
    case ExprKind::String: return Value::string(static_cast<const StringExpr&>(expr).value);
    case ExprKind::Boolean: return Value::boolean(static_cast<const BooleanExpr&>(expr).value);
    case ExprKind::Identifier: {
      const auto& e = static_cast<const IdentifierExpr&>(expr);
      const Value* value = peek_variable(cached_symbol(e.symbol, e.name));
      if (value != nullptr) return *value;
      return fail("Undefined variable '" + e.name + "'");
    }
    case ExprKind::BinaryOp: {
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      Value left = evaluate(*e.left);
      if (left.is_error()) return left;
      Value right = evaluate(*e.right);
      if (right.is_error()) return right;
      return binary_operation(left, e.op.kind, right);
    }
    case ExprKind::UnaryOp: {
      const auto& e = static_cast<const UnaryOpExpr&>(expr);
      Value operand = evaluate(*e.operand);
      if (operand.is_error()) return operand;
      return unary_operation(e.op.kind, operand);
    }
    case ExprKind::Call: return evaluate_call(static_cast<const CallExpr&>(expr));
    case ExprKind::Array: {
      const auto& e = static_cast<const ArrayExpr&>(expr);
      ValueList items;
      items.reserve(e.elements.size());
      for (const ExprPtr& element : e.elements) {
        Value value = evaluate(*element);
        if (value.is_error()) return value;
        items.push_back(std::move(value));
      }
      return Value::array(std::move(items));
    }
    case ExprKind::Dict: {
      const auto& e = static_cast<const DictExpr&>(expr);
      Dict dict;
      for (const auto& [key, value_expr] : e.entries) {
        Value value = evaluate(*value_expr);
        if (value.is_error()) return value;
        dict.insert_or_assign(key, std::move(value));
      }
      return Value::dict(std::move(dict));
    }
    case ExprKind::Index: return evaluate_index(static_cast<const IndexExpr&>(expr));
    case ExprKind::Range: return evaluate_range(static_cast<const RangeExpr&>(expr));
  }
  return Value::null();
}

Value Interpreter::evaluate_index(const IndexExpr& e) {
  Value object = evaluate(*e.object);
  if (object.is_error()) return object;
  Value index = evaluate(*e.index);
  if (index.is_error()) return index;
  if (object.is(ValueKind::Array)) {
    if (!index.is(ValueKind::Number))
      return fail(std::string("Array index must be a number, got ") + type_name(index));
    const ValueList& items = object.as_array();
    int64_t i = index.as_number();
    if (i < 0 || static_cast<uint64_t>(i) >= items.size())
      return fail("Array index out of bounds: " + std::to_string(i) +
                  " (length: " + std::to_string(items.size()) + ")");
    return items[static_cast<size_t>(i)];
  }
  if (object.is(ValueKind::Dict)) {
    if (!index.is(ValueKind::String))
      return fail(std::string("Dictionary key must be a string, got ") + type_name(index));
    const Value* found = object.as_dict().find(index.as_string());
    if (found == nullptr) return fail("Dictionary key '" + index.as_string() + "' not found");
    return *found;
  }
  return fail(std::string("Cannot index ") + type_name(object) + " with " + type_name(index));
}

Value Interpreter::evaluate_range(const RangeExpr& e) {
  Value start = evaluate(*e.start);
  Value end = evaluate(*e.end);
  auto numeric = [](const Value& v) { return v.is(ValueKind::Number) || v.is(ValueKind::Float); };
  if (!numeric(start) || !numeric(end)) return fail("Range start and end must be numbers");
  int64_t from = to_integer(start);
  int64_t to = to_integer(end);
  if (from >= to) return Value::array({});
  uint64_t length = static_cast<uint64_t>(to) - static_cast<uint64_t>(from);
  if (length > kMaxRangeLength)
    return fail("Range too large: " + std::to_string(length) + " elements (the limit is " +
                std::to_string(kMaxRangeLength) + ")");
  ValueList items;
  try {
    items.reserve(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    return fail("Range too large: " + std::to_string(length) + " elements (out of memory)");
  }
  for (int64_t i = from; i < to; ++i) items.push_back(Value::number(i));
  return Value::array(std::move(items));
}

}  // namespace vormel
