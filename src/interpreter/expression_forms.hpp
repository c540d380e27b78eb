// The expression forms: on its first run a node is given the function that evaluates
// exactly its shape (chosen in form_table.cpp) (a literal, a variable read, an operator on a
// variable and a literal, a call with two arguments, ...), with its names resolved to symbols in
// the node. Later runs pay one indirect call and no dispatch on kinds. Every prepared function
// gives exactly what evaluate_node(), the general switch, gives for the same node: the same value,
// the same reads in the same order, the same failures.
#include "interpreter/arithmetic.hpp"
#pragma once

#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/node_cache.hpp"
#include "interpreter/number_nodes.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/stack_guard.hpp"

namespace vormel {

// Friends of the interpreter: they run beside its general evaluator.
struct ExpressionForms {
  static Value general(Interpreter& in, const Expr& e) { return in.evaluate_node(e); }

  static Value number(Interpreter&, const Expr& e) {
    return Value::number(static_cast<const NumberExpr&>(e).value);
  }
  static Value floating(Interpreter&, const Expr& e) {
    return Value::floating(static_cast<const FloatExpr&>(e).value);
  }
  static Value boolean(Interpreter&, const Expr& e) {
    return Value::boolean(static_cast<const BooleanExpr&>(e).value);
  }

  // Strings are shared until changed, so every evaluation can share one value.
  static Value string(Interpreter&, const Expr& e) {
    return cached<LiteralValue>(static_cast<const StringExpr&>(e).cache).value;
  }

  static Value variable(Interpreter& in, const Expr& e) {
    return read_variable(in, static_cast<const IdentifierExpr&>(e));
  }

  // Indexing the general way; the check guards the nesting of its operands.
  static Value index(Interpreter& in, const Expr& e) {
    if (stack_pointer_below(in.stack_limit_)) [[unlikely]]
      return errors::nesting_too_deep();
    return in.evaluate_index(static_cast<const IndexExpr&>(e));
  }

  // Both operands of `left op right`, read as evaluate_binary() reads them: left, then
  // right, each passing on an Error at once; a variable is read in place unless the right
  // operand runs code that could rebind it. A computed operand is built where it stays.
  // Gives then(left, right), or fail(error) for the first Error met.
  template <OperandShape L, OperandShape R, typename Fail, typename Then>
  [[gnu::always_inline]] static auto with_operands(Interpreter& in, const BinaryOpExpr& e,
                                                   Fail fail, Then then) {
    if constexpr (L == OperandShape::Computed || R == OperandShape::Computed) {
      if (stack_pointer_below(in.stack_limit_)) [[unlikely]]
        return fail(errors::nesting_too_deep());
    }
    Value left_storage = operand_storage<L>(in, *e.left);
    const Value* left = &left_storage;
    if constexpr (L == OperandShape::Variable) {
      const auto& id = static_cast<const IdentifierExpr&>(*e.left);
      left = in.peek_variable(id.symbol);
      if (left == nullptr) [[unlikely]]
        return fail(errors::undefined_variable(id));
      if constexpr (R == OperandShape::Computed) {
        left_storage = *left;
        left = &left_storage;
      }
    }
    if (left->is_error()) [[unlikely]]
      return fail(Value(*left));
    Value right_storage = operand_storage<R>(in, *e.right);
    const Value* right = &right_storage;
    if constexpr (R == OperandShape::Variable) {
      const auto& id = static_cast<const IdentifierExpr&>(*e.right);
      right = in.peek_variable(id.symbol);
      if (right == nullptr) [[unlikely]]
        return fail(errors::undefined_variable(id));
    }
    if (right->is_error()) [[unlikely]]
      return fail(Value(*right));
    return then(*left, *right);
  }

  // An operand's value when it is not a variable (a variable's storage stays null).
  template <OperandShape S>
  [[gnu::always_inline]] static Value operand_storage(Interpreter& in, const Expr& operand) {
    if constexpr (S == OperandShape::Variable) {
      return Value();
    } else if constexpr (S == OperandShape::Integer) {
      return Value::number(static_cast<const NumberExpr&>(operand).value);
    } else if constexpr (S == OperandShape::Float) {
      return Value::floating(static_cast<const FloatExpr&>(operand).value);
    } else if constexpr (S == OperandShape::Pair) {
      Value value;
      if (!pair_value(in, static_cast<const BinaryOpExpr&>(operand), value))
        value = in.evaluate(operand);
      return value;
    } else {
      return in.evaluate(operand);
    }
  }

  // `a * b` as an operand, a and b variables: two integers or two floats under an operator
  // that cannot fail are combined right here; false leaves the operand to its evaluation.
  [[gnu::always_inline]] static bool pair_value(Interpreter& in, const BinaryOpExpr& pair,
                                                Value& out) {
    const Value* a = in.peek_variable(static_cast<const IdentifierExpr&>(*pair.left).symbol);
    const Value* b = in.peek_variable(static_cast<const IdentifierExpr&>(*pair.right).symbol);
    if (a == nullptr || b == nullptr || a->kind() != b->kind() || !is_sum_or_product(pair.op.kind))
      return false;
    if (a->is(ValueKind::Number)) {
      out = Value::number(integer_sum_or_product(pair.op.kind, a->as_number(), b->as_number()));
      return true;
    }
    if (a->is(ValueKind::Float)) {
      out = float_operator(pair.op.kind, a->as_float(), b->as_float(), [] { return Value(); });
      return true;
    }
    return false;
  }

  // `variable op 1`: an integer variable needs no operand storage at all.
  template <TokenKind Op>
  static Value binary_on_literal(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const BinaryOpExpr&>(expr);
    const auto& id = static_cast<const IdentifierExpr&>(*e.left);
    const Value* left = in.peek_variable(id.symbol);
    if (left != nullptr && left->is(ValueKind::Number)) [[likely]] {
      const int64_t y = static_cast<const NumberExpr&>(*e.right).value;
      return integer_operator(Op, left->as_number(), y, [&] {
        return binary_operation(*left, Op, Value::number(y), &expr.place);
      });
    }
    return binary<Op, OperandShape::Variable, OperandShape::Integer>(in, expr);
  }

  // `d.x`, `d["x"]`: a member of a dict held in a variable, read in place; anything else
  // (another kind, a missing key) goes the general way, which reports it.
  static Value member(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const IndexExpr&>(expr);
    const Value* object = in.peek_variable(static_cast<const IdentifierExpr&>(*e.object).symbol);
    if (object != nullptr && object->is(ValueKind::Dict)) [[likely]] {
      const Dict::Key& key = cached<MemberKey>(e.cache).key;
      const Value* found = object->as_dict().find(key);
      if (found != nullptr) [[likely]]
        return *found;
    }
    return index(in, expr);
  }

  // `xs[i]`, `xs[0]`: an element of an array held in a variable, read in place, at a literal
  // or an integer variable; anything else (another kind, a position out of bounds) goes the
  // general way, which reports it.
  static Value element(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const IndexExpr&>(expr);
    const Value* object = in.peek_variable(static_cast<const IdentifierExpr&>(*e.object).symbol);
    if (object != nullptr && object->is(ValueKind::Array)) [[likely]] {
      int64_t i = -1;
      if (e.index->kind == ExprKind::Number) {
        i = static_cast<const NumberExpr&>(*e.index).value;
      } else {
        const Value* position =
            in.peek_variable(static_cast<const IdentifierExpr&>(*e.index).symbol);
        if (position != nullptr && position->is(ValueKind::Number)) i = position->as_number();
      }
      const ValueList& items = object->as_array();
      if (i >= 0 && static_cast<uint64_t>(i) < items.size()) [[likely]]
        return items[static_cast<size_t>(i)];
    }
    return index(in, expr);
  }

  // `left op right` for one operator and one pair of operand shapes.
  template <TokenKind Op, OperandShape L, OperandShape R>
  [[gnu::noinline]] static Value binary(Interpreter& in, const Expr& expr) {
    return with_operands<L, R>(
        in, static_cast<const BinaryOpExpr&>(expr), [](Value failure) { return failure; },
        [&expr](const Value& left, const Value& right) {
          return combined<Op>(left, right, &expr.place);
        });
  }
  template <TokenKind Op>
  [[gnu::always_inline]] static Value combined(const Value& left, const Value& right,
                                               const NodePlace* at) {
    const auto general = [&] { return binary_operation(left, Op, right, at); };
    if (left.is(ValueKind::Number) && right.is(ValueKind::Number))
      return integer_operator(Op, left.as_number(), right.as_number(), general);
    if (left.is(ValueKind::Float) && right.is(ValueKind::Float))
      return float_operator(Op, left.as_float(), right.as_float(), general);
    if constexpr (Op == TokenKind::And || Op == TokenKind::Or) {
      if (left.is(ValueKind::Boolean) && right.is(ValueKind::Boolean)) {
        const bool x = left.as_boolean();
        const bool y = right.as_boolean();
        return Value::boolean(Op == TokenKind::And ? x && y : x || y);
      }
    }
    return float_or_general_operation(left, Op, right, at);
  }

  // A condition's answer from its value: its truth, or kConditionFailed with the Error kept
  // in the interpreter for the statement to report.
  [[gnu::noinline]] static uint8_t truth_of(Interpreter& in, Value value) {
    if (value.is_error()) [[unlikely]] {
      in.failed_condition_ = std::move(value);
      return kConditionFailed;
    }
    return is_truthy(value);
  }

  // A comparison used as a condition: its truth without building a Boolean when the
  // operands are numbers, else from the operator's value.
  template <TokenKind Op, OperandShape L, OperandShape R>
  static uint8_t compare(Interpreter& in, const Expr& expr) {
    if constexpr (L == OperandShape::Variable && R == OperandShape::Integer) {
      // `i < 100`: an integer variable against a literal, with no operand storage.
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      const Value* left = in.peek_variable(static_cast<const IdentifierExpr&>(*e.left).symbol);
      if (left != nullptr && left->is(ValueKind::Number)) [[likely]]
        return integers_compare(Op, left->as_number(),
                                static_cast<const NumberExpr&>(*e.right).value);
    }
    if constexpr (L == OperandShape::Variable && R == OperandShape::Variable) {
      // `i < n`: two integer variables.
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      const Value* left = in.peek_variable(static_cast<const IdentifierExpr&>(*e.left).symbol);
      const Value* right = in.peek_variable(static_cast<const IdentifierExpr&>(*e.right).symbol);
      if (left != nullptr && right != nullptr && left->is(ValueKind::Number) &&
          right->is(ValueKind::Number)) [[likely]]
        return integers_compare(Op, left->as_number(), right->as_number());
    }
    return compare_operands<Op, L, R>(in, expr);
  }
  template <TokenKind Op, OperandShape L, OperandShape R>
  [[gnu::noinline]] static uint8_t compare_operands(Interpreter& in, const Expr& expr) {
    return with_operands<L, R>(
        in, static_cast<const BinaryOpExpr&>(expr),
        [&](Value failure) -> uint8_t { return truth_of(in, std::move(failure)); },
        [&](const Value& left, const Value& right) -> uint8_t {
          if (left.is(ValueKind::Number) && right.is(ValueKind::Number))
            return integers_compare(Op, left.as_number(), right.as_number());
          double x, y;
          if constexpr (Op != TokenKind::Equal && Op != TokenKind::NotEqual) {
            if (as_float_operand(left, right, x) && as_float_operand(right, left, y))
              return ordered(Op, x, y);
          }
          return truth_of(in, binary_operation(left, Op, right, &expr.place));
        });
  }

  // `d * d <= n`, `n % d == 0`: a comparison whose left operand is an operator on two
  // variables, decided from the integers alone. Only variables are read before the
  // decision, and reading one runs no code, so when the operands are not all integers
  // (or the operator would fail) the general comparison reads them again from the start.
  template <TokenKind Inner, TokenKind Op, OperandShape R>
  static uint8_t compare_on_operator(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const BinaryOpExpr&>(expr);
    const auto& inner = static_cast<const BinaryOpExpr&>(*e.left);
    const Value* a = in.peek_variable(static_cast<const IdentifierExpr&>(*inner.left).symbol);
    const Value* b = in.peek_variable(static_cast<const IdentifierExpr&>(*inner.right).symbol);
    int64_t c;
    bool numbers =
        a != nullptr && b != nullptr && a->is(ValueKind::Number) && b->is(ValueKind::Number);
    if constexpr (R == OperandShape::Integer) {
      c = static_cast<const NumberExpr&>(*e.right).value;
    } else {
      const Value* right = in.peek_variable(static_cast<const IdentifierExpr&>(*e.right).symbol);
      numbers = numbers && right != nullptr && right->is(ValueKind::Number);
      c = numbers ? right->as_number() : 0;
    }
    if (numbers) [[likely]] {
      const int64_t x = a->as_number();
      const int64_t y = b->as_number();
      if constexpr (Inner == TokenKind::Percent) {
        if (y != 0) return integers_compare(Op, integer_remainder(x, y), c);
      } else {
        return integers_compare(Op, integer_sum_or_product(Inner, x, y), c);
      }
    }
    return compare_operands<Op, OperandShape::Computed, R>(in, expr);
  }

  // Operators on names and number literals as number nodes (number_nodes.hpp); the
  // root's ordinary form when they give up.
  static Value number_expression(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const BinaryOpExpr&>(expr);
    const NumberNode& node = cached<NumberNode>(e.cache);
    const Scalar result = node.fn(in, e);
    if (result.kind != Scalar::kGaveUp) [[likely]]
      return result.value();
    return node.evaluate_fallback(in, expr);
  }
  static uint8_t number_test(Interpreter& in, const Expr& expr) {
    const auto& e = static_cast<const BinaryOpExpr&>(expr);
    const NumberNode& node = cached<NumberNode>(e.cache);
    const Scalar result = node.fn(in, e);
    if (result.kind == Scalar::kBoolean) [[likely]]
      return result.as_truth();
    if (result.kind != Scalar::kGaveUp) return truth_of(in, result.value());
    return node.test_fallback(in, expr);
  }

  // Any other condition: its value, evaluated the general way.
  static uint8_t evaluated(Interpreter& in, const Expr& expr) {
    return truth_of(in, in.evaluate(expr));
  }
};

}  // namespace vormel
