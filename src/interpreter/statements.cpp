// Statement execution, the general way: one switch over the statement's kind. Control flow
// travels through the pending return value and the two loop flags (flow.hpp); every
// statement reports what is pending after it, and a statement list stops after one that
// leaves anything pending.
#include <new>
#include <string>

#include "interpreter/arithmetic.hpp"
#include "interpreter/builtins/builtins.hpp"
#include "interpreter/diagnostics.hpp"
#include "interpreter/errors.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/operators.hpp"
#include "interpreter/shortcuts.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"
#include "support/stack_guard.hpp"

namespace vormel {
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
  store_value(s.place, s.symbol, s.name, *s.value, messages::kLetFailed);
  return pending_;
}

Flow Interpreter::execute_assign(const AssignStmt& s) {
  store_value(s.place, s.symbol, s.name, *s.value, messages::kAssignFailed);
  return pending_;
}

// `let` and assignment alike: evaluate, log a failure with the statement's context, and
// store the value either way.
void Interpreter::store_value(const NodePlace& at, SymbolCache& cache, const std::string& name,
                              const Expr& expr, std::string_view context) {
  Symbol symbol = cached_symbol(cache, name);
  Value value = evaluate(expr);
  if (value.is_error()) errors::log_named_statement_failure(at, context, name, value);
  set_variable(symbol, std::move(value));
}

Flow Interpreter::execute_if(const IfStmt& s) {
  Value condition = evaluate(*s.condition);
  if (condition.is_error()) {
    errors::log_statement_failure(s.place, messages::kIfConditionFailed, condition);
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
  if (value.is_error()) errors::log_statement_failure(s.place, messages::kExpressionFailed, value);
  return pending_;
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
    errors::log_named_statement_failure(s.place, messages::kCompoundAssignFailed, s.name, operand);
  set_variable(symbol, binary_operation(current, compound_operator(s.op.kind), operand, &s.place));
  return pending_;
}

Flow Interpreter::execute_while(const WhileStmt& s) {
  for (;;) {
    spend_steps(1);
    check_interrupt();
    Value condition = evaluate(*s.condition);
    if (condition.is_error()) {
      errors::log_statement_failure(s.place, messages::kWhileConditionFailed, condition);
      break;
    }
    if (!is_truthy(condition)) break;
    if (execute_block(s.body) & (kFlowReturn | kFlowBreak)) break;
    pending_ &= ~kFlowContinue;
  }
  return pending_ &= ~kFlowBreak;
}

Flow Interpreter::execute_for(const ForStmt& s) {
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
    errors::log_statement_failure(s.place, messages::kForIterationFailed, iterable);
  else
    errors::log_not_iterable(s.place, iterable);
  return pending_;
}

Flow Interpreter::execute_match(const MatchStmt& s) {
  Value subject = evaluate(*s.expr);
  if (subject.is_error()) {
    errors::log_statement_failure(s.place, messages::kMatchSubjectFailed, subject);
    return pending_;
  }
  for (const MatchArm& arm : s.arms) {
    if (arm.pattern.kind == PatternKind::Value) {
      Value pattern = evaluate(*arm.pattern.value);
      if (pattern.is_error()) {
        errors::log_statement_failure(s.place, messages::kMatchPatternFailed, pattern);
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
