// Expression evaluation. An Error value produced anywhere inside an expression becomes the
// value of the whole expression; failures are logged once, where they arise.
#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "interpreter/arithmetic.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/shortcuts.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/stack_guard.hpp"

namespace vormel {
namespace {

// The longest range built (elements); beyond it the range fails instead of exhausting memory.
constexpr uint64_t kMaxRangeLength = uint64_t{1} << 27;

}  // namespace

// The common kinds are handled here; the rest live in their own functions so that this
// one stays small and cheap to enter.
Value Interpreter::evaluate_node(const Expr& expr) {
  // Source nested deeper than the native stack allows fails instead of crashing.
  if (stack_pointer_below(stack_limit_)) return errors::nesting_too_deep();
  switch (expr.kind) {
    case ExprKind::Number: return Value::number(static_cast<const NumberExpr&>(expr).value);
    case ExprKind::Identifier: {
      const auto& e = static_cast<const IdentifierExpr&>(expr);
      const Value* value = peek_variable(cached_symbol(e.symbol, e.name));
      if (value != nullptr) return *value;
      return errors::undefined_variable(e);
    }
    case ExprKind::BinaryOp: return evaluate_binary(static_cast<const BinaryOpExpr&>(expr));
    case ExprKind::Call: return evaluate_call(static_cast<const CallExpr&>(expr));
    case ExprKind::Float: return Value::floating(static_cast<const FloatExpr&>(expr).value);
    case ExprKind::String: return evaluate_string(static_cast<const StringExpr&>(expr));
    case ExprKind::Boolean: return Value::boolean(static_cast<const BooleanExpr&>(expr).value);
    case ExprKind::UnaryOp: return evaluate_unary(static_cast<const UnaryOpExpr&>(expr));
    case ExprKind::Array: return evaluate_array(static_cast<const ArrayExpr&>(expr));
    case ExprKind::Dict: return evaluate_dict(static_cast<const DictExpr&>(expr));
    case ExprKind::Index: return evaluate_index(static_cast<const IndexExpr&>(expr));
    case ExprKind::Range: return evaluate_range(static_cast<const RangeExpr&>(expr));
  }
  return Value::null();
}

// Left, then right, each passing on its Error at once; then the operator.
Value Interpreter::evaluate_binary(const BinaryOpExpr& e) {
  Value left = evaluate(*e.left);
  if (left.is_error()) return left;
  Value right = evaluate(*e.right);
  if (right.is_error()) return right;
  return binary_operation(left, e.op.kind, right, &e.place);
}

Value Interpreter::evaluate_string(const StringExpr& e) { return Value::string(e.value); }

Value Interpreter::evaluate_unary(const UnaryOpExpr& e) {
  Value operand = evaluate(*e.operand);
  if (operand.is_error()) return operand;
  return unary_operation(e.op.kind, operand, &e.place);
}

Value Interpreter::evaluate_array(const ArrayExpr& e) {
  ValueList items;
  items.reserve(e.elements.size());
  for (const ExprPtr& element : e.elements) {
    Value value = evaluate(*element);
    if (value.is_error()) return value;
    items.push_back(std::move(value));
  }
  return Value::array(std::move(items));
}

// Built in its payload, sized for its entries, so that they are never moved.
Value Interpreter::evaluate_dict(const DictExpr& e) {
  Value result = Value::dict(Dict());
  Dict& dict = result.mutable_dict();
  dict.reserve(e.entries.size());
  for (const auto& [key, value_expr] : e.entries) {
    Value value = evaluate(*value_expr);
    if (value.is_error()) return value;
    dict.insert_or_assign(key, std::move(value));
  }
  return result;
}

Value Interpreter::evaluate_index(const IndexExpr& e) {
  Value object = evaluate(*e.object);
  if (object.is_error()) return object;
  Value index = evaluate(*e.index);
  if (index.is_error()) return index;
  if (object.is(ValueKind::Array)) {
    if (!index.is(ValueKind::Number))
      return errors::raised_at(e.place, [&] { return errors::array_index_kind(index); });
    const ValueList& items = object.as_array();
    int64_t i = index.as_number();
    if (i < 0 || static_cast<uint64_t>(i) >= items.size())
      return errors::raised_at(e.place,
                               [&] { return errors::array_index_bounds(i, items.size()); });
    return items[static_cast<size_t>(i)];
  }
  if (object.is(ValueKind::Dict)) {
    if (!index.is(ValueKind::String))
      return errors::raised_at(e.place, [&] { return errors::dict_key_kind(index); });
    const Value* found = object.as_dict().find(index.as_string());
    if (found == nullptr)
      return errors::raised_at(e.place,
                               [&] { return errors::dict_key_missing(index.as_string()); });
    return *found;
  }
  return errors::raised_at(e.place, [&] { return errors::cannot_index(object, index); });
}

Value Interpreter::evaluate_range_bounds(const RangeExpr& e, int64_t& from, int64_t& to) {
  Value start = evaluate(*e.start);
  Value end = evaluate(*e.end);
  auto numeric = [](const Value& v) { return v.is(ValueKind::Number) || v.is(ValueKind::Float); };
  if (!numeric(start) || !numeric(end))
    return errors::raised_at(e.place, [] { return errors::range_bounds(); });
  from = to_integer(start);
  to = std::max(from, to_integer(end));
  uint64_t length = static_cast<uint64_t>(to) - static_cast<uint64_t>(from);
  if (length > kMaxRangeLength)
    return errors::raised_at(e.place,
                             [&] { return errors::range_too_large(length, kMaxRangeLength); });
  return Value();
}

Value Interpreter::evaluate_range(const RangeExpr& e) {
  int64_t from = 0;
  int64_t to = 0;
  Value failure = evaluate_range_bounds(e, from, to);
  if (failure.is_error()) return failure;
  const auto length = static_cast<size_t>(static_cast<uint64_t>(to) - static_cast<uint64_t>(from));
  ValueList items;
  try {
    items.reserve(length);
  } catch (const std::bad_alloc&) {
    return errors::out_of_memory();
  }
  for (int64_t i = from; i < to; ++i) items.push_back(Value::number(i));
  return Value::array(std::move(items));
}

}  // namespace vormel
