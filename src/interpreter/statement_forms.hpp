// The statement forms: on its first run a statement is given the function that executes
// its kind and shape (chosen in form_table.cpp), with its names resolved to symbols in the node and
// the condition of an `if` or `while` prepared into a test. Each gives exactly what execute_node(),
// the general switch, gives, and reports the flow pending after it.
#pragma once

#include <new>
#include <string>
#include <type_traits>

#include "interpreter/arithmetic.hpp"
#include "interpreter/builtins/builtins.hpp"
#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/match_table.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/node_cache.hpp"
#include "interpreter/number_loop.hpp"
#include "interpreter/number_nodes.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/text_equality.hpp"

namespace vormel {

struct StatementForms {
  static Flow general(Interpreter& in, const Stmt& s) { return in.execute_node(s); }

  // `let x = e` and `x = e` whose value is not grown in place: evaluate, report a failure
  // with the statement's context, store the value either way.
  template <typename Node>
  static Flow store(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    Value value = in.evaluate(*s.value);
    return stored(in, s, value);
  }
  [[gnu::always_inline]] static Flow stored(Interpreter& in, const auto& s, Value& value) {
    if (value.is_error()) [[unlikely]] {
      errors::log_named_statement_failure(s.place,
                                          std::is_same_v<decltype(s), const LetStmt&>
                                              ? messages::kLetFailed
                                              : messages::kAssignFailed,
                                          s.name, value);
    }
    in.store_variable(s.symbol, value);
    return in.pending_;
  }

  // `x = y`: the value copied from binding to binding, without the evaluator's call, when
  // the name is bound and holds no Error (whose store is reported) and the target binding
  // exists; otherwise as store().
  template <typename Node>
  static Flow store_copy(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    const Value* source = in.peek_variable(static_cast<const IdentifierExpr&>(*s.value).symbol);
    Value* target = in.binding_written(s.symbol);
    if (source != nullptr && target != nullptr && !source->is_error()) [[likely]] {
      *target = *source;  // a copy first, so `x = x` is safe
      return in.pending_;
    }
    return store<Node>(in, stmt);
  }

  // `x = 0`, `s = "idle"`: a literal written straight into an existing binding.
  template <typename Node>
  static Flow store_literal(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    Value* target = in.binding_written(s.symbol);
    if (target == nullptr) [[unlikely]]
      return store<Node>(in, stmt);
    const Expr& literal = *s.value;
    switch (literal.kind) {
      case ExprKind::Number:
        *target = Value::number(static_cast<const NumberExpr&>(literal).value);
        break;
      case ExprKind::Float:
        *target = Value::floating(static_cast<const FloatExpr&>(literal).value);
        break;
      case ExprKind::Boolean:
        *target = Value::boolean(static_cast<const BooleanExpr&>(literal).value);
        break;
      default:
        *target = cached<LiteralValue>(static_cast<const StringExpr&>(literal).cache).value;
        break;
    }
    return in.pending_;
  }

  // `x = a * b + c` (number_nodes.hpp): the number node's result written straight into
  // the binding; when it gives up, the store the node would otherwise make (`Grown`:
  // store_grown()) evaluates the value from the start.
  template <typename Node, bool Grown>
  static Flow store_number(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    const auto& e = static_cast<const BinaryOpExpr&>(*s.value);
    const Scalar result = cached<NumberNode>(e.cache).fn(in, e);
    if (result.kind == Scalar::kGaveUp) [[unlikely]]
      return Grown ? store_grown<Node>(in, stmt) : store<Node>(in, stmt);
    Value value = result.value();
    if (Value* target = in.binding_written(s.symbol)) [[likely]] {
      target->swap(value);  // the old value is released with `value`
      return in.pending_;
    }
    in.store_variable(s.symbol, value);
    return in.pending_;
  }

  // `x = push(x, v)` and `s = s + t` (grows_in_place): once the operands are computed, the
  // variable's old value can no longer be seen (the assignment overwrites it), so its
  // reference is dropped first and the array or string grows in place instead of being
  // copied. Otherwise as store().
  template <typename Node>
  static Flow store_grown(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    Value value = s.value->kind == ExprKind::BinaryOp
                      ? append_to_self(in, static_cast<const BinaryOpExpr&>(*s.value), s.symbol)
                      : push_to_self(in, static_cast<const CallExpr&>(*s.value), s.symbol);
    return stored(in, s, value);
  }
  // Whether assigning `expr` to `target` grows the target's array or string in place:
  // `x = x + e` and `x = push(x, e)`.
  static bool grows_in_place(const Expr& expr, Symbol target) {
    const auto names_target = [target](const Expr& e) {
      if (e.kind != ExprKind::Identifier) return false;
      const auto& id = static_cast<const IdentifierExpr&>(e);
      return cached_symbol(id.symbol, id.name) == target;
    };
    if (expr.kind == ExprKind::BinaryOp) {
      const auto& binary = static_cast<const BinaryOpExpr&>(expr);
      return binary.op.kind == TokenKind::Plus && names_target(*binary.left);
    }
    if (expr.kind == ExprKind::Call) {
      const auto& call = static_cast<const CallExpr&>(expr);
      static const int push_id = find_builtin("push");
      if (call.builtin == CallExpr::kUnresolvedCall) Interpreter::resolve_call_kind(call);
      return call.builtin == push_id && call.args.size() == 2 && names_target(*call.args[0]);
    }
    return false;
  }
  // `push(x, v)` as the general call would run it (the same trace, reads and failures).
  [[gnu::noinline]] static Value push_to_self(Interpreter& in, const CallExpr& call,
                                              Symbol target) {
    const auto& first = static_cast<const IdentifierExpr&>(*call.args[0]);
    if (debug_enabled()) log_debug_call(format_message(messages::kTraceCalling, {"push"}));
    Value args[2] = {in.evaluate(first), Value()};
    if (args[0].is_error()) return args[0];
    args[1] = in.evaluate(*call.args[1]);
    if (args[1].is_error()) return args[1];
    Value* binding = in.binding_read_and_written(target);
    if (binding != nullptr && binding->shares_payload_with(args[0])) *binding = Value();
    if (debug_enabled()) log_debug_call(format_message(messages::kTraceIsBuiltin, {"push"}));
    return call_builtin(call.builtin, args, native_call_context(in));
  }
  // `s + t` as the operator would give it (the same reads, in the same order, with the same
  // failures), except that the sum is built in the old string when nothing else holds it.
  [[gnu::noinline]] static Value append_to_self(Interpreter& in, const BinaryOpExpr& sum,
                                                Symbol target) {
    Value left = in.evaluate(*sum.left);
    if (left.is_error()) return left;
    Value right = in.evaluate(*sum.right);
    if (right.is_error()) return right;
    if (left.is(ValueKind::String) && right.is(ValueKind::String)) {
      Value* binding = in.binding_read_and_written(target);
      if (binding != nullptr && binding->shares_payload_with(left)) {
        *binding = Value();
        return appended(std::move(left), right.as_string());
      }
    }
    return binary_operation(left, TokenKind::Plus, right, &sum.place);
  }
  // `text` with `tail` added, in place when `text` holds its string alone; an allocation
  // failure gives the error the operator would give.
  static Value appended(Value text, const std::string& tail) {
    try {
      text.mutable_string().append(tail);
    } catch (const std::bad_alloc&) {
      return errors::out_of_memory();
    }
    return text;
  }

  // `x op= e` (execute_compound_assign): the current value, then the operand; two integers
  // under `+=`, `-=` or `*=` are then combined in the binding (they cannot fail, and wrap).
  [[gnu::noinline]] static Flow compound(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
    Value current = in.get_variable(s.symbol);
    Value operand = in.evaluate(*s.value);
    const TokenKind op = compound_operator(s.op.kind);
    if (current.is(ValueKind::Number) && operand.is(ValueKind::Number) && op != TokenKind::Slash) {
      Value* binding = in.binding_read_and_written(s.symbol);
      if (binding != nullptr && binding->is(ValueKind::Number)) [[likely]] {
        binding->replace_number(
            integer_sum_or_product(op, current.as_number(), operand.as_number()));
        return in.pending_;
      }
    }
    return finish_compound(in, s, current, operand);
  }
  // The rest as finish_compound_assign() does it, with `s += t` appended in place when
  // nothing else holds the old string (it is overwritten).
  [[gnu::noinline]] static Flow finish_compound(Interpreter& in, const CompoundAssignStmt& s,
                                                Value& current, Value& operand) {
    if (s.op.kind == TokenKind::PlusAssign && current.is(ValueKind::String) &&
        operand.is(ValueKind::String)) {
      Value* binding = in.binding_read_and_written(s.symbol);
      if (binding != nullptr && binding->shares_payload_with(current)) {
        *binding = Value();
        in.set_variable(s.symbol, appended(std::move(current), operand.as_string()));
        return in.pending_;
      }
    }
    return in.finish_compound_assign(s, current, operand);
  }

  // `i += 1`, `total += i`: an integer binding and an integer operand that runs no code are
  // updated in place (these cannot fail, and wrap); anything else as compound().
  template <TokenKind Compound, OperandShape R>
  static Flow compound_integer(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
    int64_t y;
    if constexpr (R == OperandShape::Integer) {
      y = static_cast<const NumberExpr&>(*s.value).value;
    } else {
      const Value* operand = in.peek_variable(static_cast<const IdentifierExpr&>(*s.value).symbol);
      if (operand == nullptr || !operand->is(ValueKind::Number)) [[unlikely]]
        return compound(in, stmt);
      y = operand->as_number();
    }
    Value* binding = in.binding_read_and_written(s.symbol);
    if (binding == nullptr || !binding->is(ValueKind::Number)) [[unlikely]]
      return compound(in, stmt);
    binding->replace_number(
        integer_sum_or_product(compound_operator(Compound), binding->as_number(), y));
    return in.pending_;
  }

  // The truth of a prepared condition; false with the failure reported when it is an Error.
  [[gnu::always_inline]] static bool holds(Interpreter& in, const auto& statement,
                                           std::string_view failure_context, bool& failed) {
    const uint8_t truth = code_as<TestFn>(statement.test)(in, *statement.condition);
    if (truth != kConditionFailed) [[likely]]
      return truth != 0;
    report_failed_condition(in, statement.place, failure_context);
    failed = true;
    return false;
  }
  [[gnu::noinline, gnu::cold]] static void report_failed_condition(
      Interpreter& in, const NodePlace& at, std::string_view failure_context) {
    const Value failure = std::move(in.failed_condition_);
    in.failed_condition_ = Value();
    errors::log_statement_failure(at, failure_context, failure);
  }

  static Flow if_then(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const IfStmt&>(stmt);
    bool failed = false;
    if (holds(in, s, messages::kIfConditionFailed, failed)) return in.run_block(s.then_body);
    if (s.else_body && !failed) return in.execute_block(*s.else_body);
    return in.pending_;
  }

  // `if c { return e }`: the block's nesting check, then the return, without running a list.
  static Flow if_return(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const IfStmt&>(stmt);
    bool failed = false;
    if (!holds(in, s, messages::kIfConditionFailed, failed)) return in.pending_;
    if (stack_pointer_below(in.stack_limit_)) [[unlikely]]
      return in.refuse_nesting();
    return return_value(in, *s.then_body.front());
  }

  // The body's nesting check is made once: the stack is the same on every pass.
  static Flow while_loop(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const WhileStmt&>(stmt);
    const bool nested_too_deep = stack_pointer_below(in.stack_limit_);
    for (;;) {
      spend_steps(1);
      check_interrupt();
      bool failed = false;
      if (!holds(in, s, messages::kWhileConditionFailed, failed)) break;
      if (nested_too_deep) [[unlikely]] {
        if (in.refuse_nesting() & (kFlowReturn | kFlowBreak)) break;
      } else if (ends_loop(in, s.body.data(), s.body.data() + s.body.size())) {
        break;
      }
      in.pending_ &= ~kFlowContinue;
    }
    return in.pending_ &= ~kFlowBreak;
  }
  // Runs a pass's body from `stmt`; whether the loop ends there (a return or a break).
  [[gnu::always_inline]] static bool ends_loop(Interpreter& in, const StmtPtr* stmt,
                                               const StmtPtr* end) {
    Flow flow = in.pending_;  // what an empty body leaves, as a block would
    for (; stmt != end; ++stmt)
      if ((flow = in.execute(**stmt)) != kFlowNormal) break;
    return flow & (kFlowReturn | kFlowBreak);
  }

  // `while` over numbers alone (number_loop.hpp): passes run as flat code over the bindings
  // found on entry. From the condition or statement that gives up, the pass goes on the
  // ordinary way, and so do the passes after it.
  static Flow while_numbers(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const WhileStmt&>(stmt);
    const NumberLoop& loop = cached<NumberLoop>(s.cache);
    NumberLoop::Frame frame;
    // A pending flag would end each pass's body after its first statement.
    if (in.pending_ != kFlowNormal || stack_pointer_below(in.stack_limit_) || !loop.bind(in, frame))
        [[unlikely]]
      return while_loop(in, stmt);
    size_t stop = loop.run(frame);
    if (stop == NumberLoop::kFinished) return in.pending_;
    if (stop == NumberLoop::kConditionGaveUp) {
      bool failed = false;
      if (!holds(in, s, messages::kWhileConditionFailed, failed)) return in.pending_ &= ~kFlowBreak;
      stop = 0;
    }
    if (ends_loop(in, s.body.data() + stop, s.body.data() + s.body.size()))
      return in.pending_ &= ~kFlowBreak;
    in.pending_ &= ~kFlowContinue;
    return while_loop(in, stmt);
  }

  // `for i in a..b` (execute_for): the same passes, with the same failures, as over the
  // range's array, but the numbers are made one at a time instead of all at once.
  static Flow for_range(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const ForStmt&>(stmt);
    int64_t from = 0;
    int64_t to = 0;
    Value failure = in.evaluate_range_bounds(static_cast<const RangeExpr&>(*s.iter), from, to);
    if (failure.is_error()) {
      errors::log_statement_failure(s.place, messages::kForIterationFailed, failure);
      return in.pending_;
    }
    const Symbol symbol = cached_symbol(s.symbol, s.var);
    for (int64_t i = from; i < to; ++i) {
      spend_steps(1);
      check_interrupt();
      in.set_variable(symbol, Value::number(i));
      if (in.execute_block(s.body) & (kFlowReturn | kFlowBreak)) break;
      in.pending_ &= ~kFlowContinue;
    }
    return in.pending_ &= ~kFlowBreak;
  }

  // `match` (execute_match) with literal patterns compared as they stand, without building
  // their values; any other pattern is evaluated as the general way does.
  static Flow match_literals(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const MatchStmt&>(stmt);
    Value subject = in.evaluate(*s.expr);
    if (subject.is_error()) {
      errors::log_statement_failure(s.place, messages::kMatchSubjectFailed, subject);
      return in.pending_;
    }
    for (const MatchArm& arm : s.arms) {
      if (arm.pattern.kind == PatternKind::Value) {
        const int literal = literal_pattern_equals(subject, *arm.pattern.value);
        if (literal == 0) continue;
        if (literal < 0) {
          Value pattern = in.evaluate(*arm.pattern.value);
          if (pattern.is_error()) {
            errors::log_statement_failure(s.place, messages::kMatchPatternFailed, pattern);
            continue;
          }
          if (!pattern_equals(subject, pattern)) continue;
        }
      }
      return in.execute_block(arm.body);
    }
    log_debug(messages::kTraceNoMatch);
    return in.pending_;
  }
  // `match` with literal arms (match_table.hpp): the subject is compared only with the
  // literals of its kind; a subject that is a name is read in place. An unbound name or an
  // Error goes to match_literals(), which reports it.
  static Flow match_table(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const MatchStmt&>(stmt);
    const MatchTable& table = cached<MatchTable>(s.cache);
    uint32_t arm;
    if (s.expr->kind == ExprKind::Identifier) {
      const Value* subject = in.peek_variable(static_cast<const IdentifierExpr&>(*s.expr).symbol);
      if (subject == nullptr || subject->is_error()) [[unlikely]]
        return match_literals(in, stmt);
      arm = table.arm_for(*subject);
    } else {
      Value subject = in.evaluate(*s.expr);
      if (subject.is_error()) [[unlikely]]
        return match_failed(in, s, subject);
      arm = table.arm_for(subject);
    }
    if (arm == s.arms.size()) {
      log_debug(messages::kTraceNoMatch);
      return in.pending_;
    }
    return in.run_block(s.arms[arm].body);
  }
  [[gnu::noinline, gnu::cold]] static Flow match_failed(Interpreter& in, const MatchStmt& s,
                                                        const Value& subject) {
    errors::log_statement_failure(s.place, messages::kMatchSubjectFailed, subject);
    return in.pending_;
  }

  // Whether `subject` equals the literal `pattern` as pattern_equals() would decide: 1 or 0,
  // or -1 when the pattern is not a literal (and must be evaluated).
  static int literal_pattern_equals(const Value& subject, const Expr& pattern) {
    switch (pattern.kind) {
      case ExprKind::Number:
        return subject.is(ValueKind::Number) &&
               subject.as_number() == static_cast<const NumberExpr&>(pattern).value;
      case ExprKind::String:
        return subject.is(ValueKind::String) &&
               texts_equal(subject.as_string(), static_cast<const StringExpr&>(pattern).value);
      case ExprKind::Boolean:
        return subject.is(ValueKind::Boolean) &&
               subject.as_boolean() == static_cast<const BooleanExpr&>(pattern).value;
      case ExprKind::Float:
        return subject.is(ValueKind::Float) &&
               floats_equal(subject.as_float(), static_cast<const FloatExpr&>(pattern).value);
      default: return -1;
    }
  }

  [[gnu::always_inline]] static Flow return_value(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const ReturnStmt&>(stmt);
    Value value = in.evaluate(*s.value);
    in.returned_ = std::move(value);
    return in.pending_ |= kFlowReturn;
  }

  static Flow expression(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const ExprStmt&>(stmt);
    Value value = in.evaluate(*s.expr);
    if (value.is_error()) [[unlikely]]
      errors::log_statement_failure(s.place, messages::kExpressionFailed, value);
    return in.pending_;
  }

  static Flow break_loop(Interpreter& in, const Stmt&) { return in.pending_ |= kFlowBreak; }
  static Flow continue_loop(Interpreter& in, const Stmt&) { return in.pending_ |= kFlowContinue; }
};

}  // namespace vormel
