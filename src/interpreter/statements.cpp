// Statement execution, the general way: one switch over the statement's kind. Control flow
// travels through the pending return value and the two loop flags (flow.hpp); every
// statement reports what is pending after it, and a statement list stops after one that
// leaves anything pending.
#include <new>
#include <string>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/integer_arithmetic.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/shortcuts.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/stack_guard.hpp"

namespace vormel {
namespace {

// `text` with `tail` added, in place when `text` holds its string alone; an allocation
// failure gives the error the operator would give.
Value appended(Value text, const std::string& tail) {
  try {
    text.mutable_string().append(tail);
  } catch (const std::bad_alloc&) {
    return errors::out_of_memory();
  }
  return text;
}

TokenKind arithmetic_of(TokenKind compound) {
  switch (compound) {
    case TokenKind::PlusAssign: return TokenKind::Plus;
    case TokenKind::MinusAssign: return TokenKind::Minus;
    case TokenKind::StarAssign: return TokenKind::Star;
    default: return TokenKind::Slash;
  }
}

// Integer `+=`, `-=` or `*=`: these cannot fail, and wrap.
int64_t wrapped_compound(TokenKind compound, int64_t x, int64_t y) {
  return compound == TokenKind::PlusAssign    ? wrap_add(x, y)
         : compound == TokenKind::MinusAssign ? wrap_sub(x, y)
                                              : wrap_mul(x, y);
}

// Whether `subject` equals the literal `pattern` as pattern_equals() would decide: 1 or 0,
// or -1 when the pattern is not a literal (and must be evaluated).
int literal_pattern_equals(const Value& subject, const Expr& pattern) {
  switch (pattern.kind) {
    case ExprKind::Number:
      return subject.is(ValueKind::Number) &&
             subject.as_number() == static_cast<const NumberExpr&>(pattern).value;
    case ExprKind::String:
      return subject.is(ValueKind::String) &&
             subject.as_string() == static_cast<const StringExpr&>(pattern).value;
    case ExprKind::Boolean:
      return subject.is(ValueKind::Boolean) &&
             subject.as_boolean() == static_cast<const BooleanExpr&>(pattern).value;
    case ExprKind::Float:
      return subject.is(ValueKind::Float) &&
             floats_equal(subject.as_float(), static_cast<const FloatExpr&>(pattern).value);
    default: return -1;
  }
}

}  // namespace

Flow Interpreter::execute_block(const StmtList& stmts) { return run_block(stmts); }

Flow Interpreter::refuse_nesting() {
  errors::nesting_too_deep();
  return pending_;
}

Flow Interpreter::execute_node(const Stmt& stmt) {
  switch (stmt.kind) {
    case StmtKind::Let: return execute_let(static_cast<const LetStmt&>(stmt));
    case StmtKind::Assign: return execute_assign(static_cast<const AssignStmt&>(stmt));
    case StmtKind::CompoundAssign:
      return execute_compound_assign(static_cast<const CompoundAssignStmt&>(stmt));
    case StmtKind::Function: return execute_function(static_cast<const FunctionStmt&>(stmt));
    case StmtKind::If: return execute_if(static_cast<const IfStmt&>(stmt));
    case StmtKind::While: return execute_while(static_cast<const WhileStmt&>(stmt));
    case StmtKind::For: return execute_for(static_cast<const ForStmt&>(stmt));
    case StmtKind::Match: return execute_match(static_cast<const MatchStmt&>(stmt));
    case StmtKind::Try: return execute_try(static_cast<const TryStmt&>(stmt));
    case StmtKind::Return: return execute_return(static_cast<const ReturnStmt&>(stmt));
    case StmtKind::Break: return pending_ |= kFlowBreak;
    case StmtKind::Continue: return pending_ |= kFlowContinue;
    case StmtKind::Global: return execute_global(static_cast<const GlobalStmt&>(stmt));
    case StmtKind::Use: return execute_use(static_cast<const UseStmt&>(stmt));
    case StmtKind::Expr: return execute_expression(static_cast<const ExprStmt&>(stmt));
  }
  return pending_;
}

Flow Interpreter::execute_function(const FunctionStmt& s) {
  set_variable(cached_symbol(s.symbol, s.name), Value::function(s.def));
  return pending_;
}

Flow Interpreter::execute_global(const GlobalStmt& s) {
  declare_global(intern(s.name));
  return pending_;
}

Flow Interpreter::execute_let(const LetStmt& s) {
  store_value(s.symbol, s.name, *s.value, messages::kLetFailed);
  return pending_;
}

Flow Interpreter::execute_assign(const AssignStmt& s) {
  store_value(s.symbol, s.name, *s.value, messages::kAssignFailed);
  return pending_;
}

// `let` and assignment alike: evaluate, log a failure with the statement's context, and
// store the value either way.
void Interpreter::store_value(SymbolCache& cache, const std::string& name, const Expr& expr,
                              std::string_view context) {
  Symbol symbol = cached_symbol(cache, name);
  Value value = evaluate_assigned_value(expr, symbol);
  if (value.is_error()) errors::log_named_statement_failure(context, name, value);
  set_variable(symbol, std::move(value));
}

Flow Interpreter::execute_if(const IfStmt& s) {
  Value condition = evaluate(*s.condition);
  if (condition.is_error()) {
    errors::log_statement_failure(messages::kIfConditionFailed, condition);
    return pending_;
  }
  if (is_truthy(condition)) return execute_block(s.then_body);
  if (s.else_body) return execute_block(*s.else_body);
  return pending_;
}

Flow Interpreter::execute_return(const ReturnStmt& s) {
  Value value = s.value ? evaluate(*s.value) : Value::null();
  returned_ = std::move(value);
  return pending_ |= kFlowReturn;
}

Flow Interpreter::execute_expression(const ExprStmt& s) {
  Value value = evaluate(*s.expr);
  if (value.is_error()) errors::log_statement_failure(messages::kExpressionFailed, value);
  return pending_;
}

// `x = push(x, v)` and `s = s + t`: once the operands are computed, the variable's old
// value can no longer be seen (the assignment overwrites it), so its reference is dropped
// first and the array or string grows in place instead of being copied.
Value Interpreter::evaluate_assigned_value(const Expr& expr, Symbol target) {
  if (!shortcuts_enabled() || !grows_in_place(expr, target)) return evaluate(expr);
  if (expr.kind == ExprKind::BinaryOp)
    return append_to_self(static_cast<const BinaryOpExpr&>(expr), target);
  const auto& call = static_cast<const CallExpr&>(expr);
  const auto& first = static_cast<const IdentifierExpr&>(*call.args[0]);
  if (debug_enabled()) log_debug_call(format_message(messages::kTraceCalling, {"push"}));
  Value args[2] = {evaluate(first), Value()};
  if (args[0].is_error()) return args[0];
  args[1] = evaluate(*call.args[1]);
  if (args[1].is_error()) return args[1];
  Value* binding = binding_read_and_written(target);
  if (binding != nullptr && binding->shares_payload_with(args[0])) *binding = Value();
  if (debug_enabled()) log_debug_call(format_message(messages::kTraceIsBuiltin, {"push"}));
  return call_builtin(call.builtin, args, native_call_context(*this));
}

bool Interpreter::grows_in_place(const Expr& expr, Symbol target) {
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
    if (call.builtin == CallExpr::kUnresolvedCall) resolve_call_kind(call);
    return call.builtin == push_id && call.args.size() == 2 && names_target(*call.args[0]);
  }
  return false;
}

// `s = s + t`, evaluated as the operator would be (the same reads, in the same order, with
// the same failures), except that the sum is built in the old string when nothing else
// holds it.
Value Interpreter::append_to_self(const BinaryOpExpr& sum, Symbol target) {
  Value left = evaluate(*sum.left);
  if (left.is_error()) return left;
  Value right = evaluate(*sum.right);
  if (right.is_error()) return right;
  if (left.is(ValueKind::String) && right.is(ValueKind::String)) {
    Value* binding = binding_read_and_written(target);
    if (binding != nullptr && binding->shares_payload_with(left)) {
      *binding = Value();
      return appended(std::move(left), right.as_string());
    }
  }
  return binary_operation(left, TokenKind::Plus, right);
}

// `x += e`: the current value, the operand, then the operator; a failed operand is reported
// with the statement's context and still stored as the operator's result.
Flow Interpreter::execute_compound_assign(const CompoundAssignStmt& s) {
  Symbol symbol = cached_symbol(s.symbol, s.name);
  Value current = get_variable(symbol);
  Value operand = evaluate(*s.value);
  return finish_compound_assign(s, current, operand);
}

Flow Interpreter::finish_compound_assign(const CompoundAssignStmt& s, Value& current,
                                         Value& operand) {
  const Symbol symbol = s.symbol;
  if (operand.is_error())
    errors::log_named_statement_failure(messages::kCompoundAssignFailed, s.name, operand);
  const TokenKind op = arithmetic_of(s.op.kind);
  if (!shortcuts_enabled()) {
    set_variable(symbol, binary_operation(current, op, operand));
    return pending_;
  }
  if (current.is(ValueKind::Number) && operand.is(ValueKind::Number) && op != TokenKind::Slash) {
    // Integer `+=`, `-=`, `*=` cannot fail: update the binding where it is.
    Value* binding = binding_read_and_written(symbol);
    if (binding != nullptr && binding->is(ValueKind::Number)) {
      binding->replace_number(
          wrapped_compound(s.op.kind, current.as_number(), operand.as_number()));
      return pending_;
    }
  }
  if (op == TokenKind::Plus && current.is(ValueKind::String) && operand.is(ValueKind::String)) {
    // `s += t`: the old string is overwritten, so append in place when nothing else holds it.
    Value* binding = binding_read_and_written(symbol);
    if (binding != nullptr && binding->shares_payload_with(current)) {
      *binding = Value();
      set_variable(symbol, appended(std::move(current), operand.as_string()));
      return pending_;
    }
  }
  set_variable(symbol, binary_operation(current, op, operand));
  return pending_;
}

Flow Interpreter::execute_while(const WhileStmt& s) {
  for (;;) {
    spend_steps(1);
    check_interrupt();
    Value condition = evaluate(*s.condition);
    if (condition.is_error()) {
      errors::log_statement_failure(messages::kWhileConditionFailed, condition);
      break;
    }
    if (!is_truthy(condition)) break;
    if (execute_block(s.body) & (kFlowReturn | kFlowBreak)) break;
    pending_ &= ~kFlowContinue;
  }
  return pending_ &= ~kFlowBreak;
}

Flow Interpreter::execute_for(const ForStmt& s) {
  if (shortcuts_enabled() && s.iter->kind == ExprKind::Range) return execute_for_range(s);
  Value iterable = evaluate(*s.iter);
  if (iterable.is(ValueKind::Array)) {
    Symbol symbol = cached_symbol(s.symbol, s.var);
    // `iterable` keeps the array alive and unchanged whatever the body assigns.
    for (const Value& element : iterable.as_array()) {
      spend_steps(1);
      check_interrupt();
      set_variable(symbol, element);
      if (execute_block(s.body) & (kFlowReturn | kFlowBreak)) break;
      pending_ &= ~kFlowContinue;
    }
    return pending_ &= ~kFlowBreak;
  }
  if (iterable.is_error())
    errors::log_statement_failure(messages::kForIterationFailed, iterable);
  else
    errors::log_not_iterable(iterable);
  return pending_;
}

// `for i in a..b`: the same passes, with the same failures, as over the range's array, but
// the numbers are made one at a time instead of all at once.
Flow Interpreter::execute_for_range(const ForStmt& s) {
  int64_t from = 0;
  int64_t to = 0;
  Value failure = evaluate_range_bounds(static_cast<const RangeExpr&>(*s.iter), from, to);
  if (failure.is_error()) {
    errors::log_statement_failure(messages::kForIterationFailed, failure);
    return pending_;
  }
  Symbol symbol = cached_symbol(s.symbol, s.var);
  for (int64_t i = from; i < to; ++i) {
    spend_steps(1);
    check_interrupt();
    set_variable(symbol, Value::number(i));
    if (execute_block(s.body) & (kFlowReturn | kFlowBreak)) break;
    pending_ &= ~kFlowContinue;
  }
  return pending_ &= ~kFlowBreak;
}

Flow Interpreter::execute_match(const MatchStmt& s) {
  Value subject = evaluate(*s.expr);
  if (subject.is_error()) {
    errors::log_statement_failure(messages::kMatchSubjectFailed, subject);
    return pending_;
  }
  for (const MatchArm& arm : s.arms) {
    if (arm.pattern.kind == PatternKind::Value) {
      if (shortcuts_enabled()) {
        // A literal pattern is compared as it stands, without building its value.
        const int literal = literal_pattern_equals(subject, *arm.pattern.value);
        if (literal == 0) continue;
        if (literal == 1) return execute_block(arm.body);
      }
      Value pattern = evaluate(*arm.pattern.value);
      if (pattern.is_error()) {
        errors::log_statement_failure(messages::kMatchPatternFailed, pattern);
        continue;
      }
      if (!pattern_equals(subject, pattern)) continue;
    }
    return execute_block(arm.body);
  }
  log_debug(messages::kTraceNoMatch);
  return pending_;
}

Flow Interpreter::execute_try(const TryStmt& s) {
  if (!(execute_block(s.body) & kFlowReturn) || !returned_.is_error()) return pending_;
  std::string message = returned_.error_message();
  returned_ = Value();
  pending_ &= ~kFlowReturn;
  set_variable(cached_symbol(s.symbol, s.catch_var), Value::string(std::move(message)));
  return execute_block(s.catch_body);
}

}  // namespace vormel
