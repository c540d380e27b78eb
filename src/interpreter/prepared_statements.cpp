// Statements prepared into functions: on its first run a statement is given the function
// that executes its kind and shape, with its names resolved to symbols in the node and the
// condition of an `if` or `while` prepared into a test. Each gives exactly what
// execute_node(), the general switch, gives, and reports the flow pending after it.
#include <type_traits>

#include "interpreter/errors.hpp"
#include "interpreter/integer_arithmetic.hpp"
#include "interpreter/interpreter.hpp"
#include "interpreter/interrupt.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/step_budget.hpp"
#include "interpreter/symbol_cache.hpp"

namespace vormel {

struct StatementForms {
  static Flow general(Interpreter& in, const Stmt& s) { return in.execute_node(s); }

  // `let x = e` and `x = e` whose value is not grown in place: evaluate, report a failure
  // with the statement's context, store the value either way.
  template <typename Node>
  static Flow store(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const Node&>(stmt);
    Value value = in.evaluate(*s.value);
    if (value.is_error()) [[unlikely]] {
      errors::log_named_statement_failure(
          std::is_same_v<Node, LetStmt> ? messages::kLetFailed : messages::kAssignFailed, s.name,
          value);
    }
    in.store_variable(s.symbol, value);
    return in.pending_;
  }

  static Flow compound(Interpreter& in, const Stmt& s) {
    return in.execute_compound_assign(static_cast<const CompoundAssignStmt&>(s));
  }

  // `i += 1`, `total += i`: an integer binding and an integer operand that runs no code are
  // updated in place (these cannot fail, and wrap); anything else goes the general way.
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
    const int64_t x = binding->as_number();
    if constexpr (Compound == TokenKind::PlusAssign) binding->replace_number(wrap_add(x, y));
    if constexpr (Compound == TokenKind::MinusAssign) binding->replace_number(wrap_sub(x, y));
    if constexpr (Compound == TokenKind::StarAssign) binding->replace_number(wrap_mul(x, y));
    return in.pending_;
  }
  // `total += f(x)`: the current value is read before the operand runs any code, as the
  // general path reads it; two integers are then combined in place.
  template <TokenKind Compound>
  static Flow compound_computed(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
    Value current = in.get_variable(s.symbol);
    Value operand = in.evaluate(*s.value);
    if (current.is(ValueKind::Number) && operand.is(ValueKind::Number)) {
      Value* binding = in.binding_read_and_written(s.symbol);
      if (binding != nullptr && binding->is(ValueKind::Number)) [[likely]] {
        const int64_t x = current.as_number();
        const int64_t y = operand.as_number();
        if constexpr (Compound == TokenKind::PlusAssign) binding->replace_number(wrap_add(x, y));
        if constexpr (Compound == TokenKind::MinusAssign) binding->replace_number(wrap_sub(x, y));
        if constexpr (Compound == TokenKind::StarAssign) binding->replace_number(wrap_mul(x, y));
        return in.pending_;
      }
    }
    return in.finish_compound_assign(s, current, operand);
  }

  template <TokenKind Compound>
  static ExecuteFn compound_for(const CompoundAssignStmt& s) {
    if (s.value->kind != ExprKind::Number && s.value->kind != ExprKind::Identifier)
      return &compound_computed<Compound>;
    if (s.value->kind == ExprKind::Number)
      return &compound_integer<Compound, OperandShape::Integer>;
    const auto& id = static_cast<const IdentifierExpr&>(*s.value);
    cached_symbol(id.symbol, id.name);
    return &compound_integer<Compound, OperandShape::Variable>;
  }
  static ExecuteFn prepare_compound(const CompoundAssignStmt& s) {
    cached_symbol(s.symbol, s.name);
    switch (s.op.kind) {
      case TokenKind::PlusAssign: return compound_for<TokenKind::PlusAssign>(s);
      case TokenKind::MinusAssign: return compound_for<TokenKind::MinusAssign>(s);
      case TokenKind::StarAssign: return compound_for<TokenKind::StarAssign>(s);
      default: return &compound;
    }
  }

  // The truth of a prepared condition; false with the failure reported when it is an Error.
  [[gnu::always_inline]] static bool holds(Interpreter& in, TestFn test, const Expr& condition,
                                           std::string_view failure_context, bool& failed) {
    const uint8_t truth = test(in, condition);
    if (truth != kConditionFailed) [[likely]]
      return truth != 0;
    report_failed_condition(in, failure_context);
    failed = true;
    return false;
  }
  [[gnu::noinline, gnu::cold]] static void report_failed_condition(
      Interpreter& in, std::string_view failure_context) {
    const Value failure = std::move(in.failed_condition_);
    in.failed_condition_ = Value();
    errors::log_statement_failure(failure_context, failure);
  }

  static Flow if_then(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const IfStmt&>(stmt);
    bool failed = false;
    if (holds(in, s.test, *s.condition, messages::kIfConditionFailed, failed))
      return in.run_block(s.then_body);
    if (s.else_body && !failed) return in.execute_block(*s.else_body);
    return in.pending_;
  }

  // `if c { return e }`: the block's nesting check, then the return, without running a list.
  static Flow if_return(Interpreter& in, const Stmt& stmt) {
    const auto& s = static_cast<const IfStmt&>(stmt);
    bool failed = false;
    if (!holds(in, s.test, *s.condition, messages::kIfConditionFailed, failed)) return in.pending_;
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
      if (!holds(in, s.test, *s.condition, messages::kWhileConditionFailed, failed)) break;
      if (nested_too_deep) [[unlikely]] {
        if (in.refuse_nesting() & (kFlowReturn | kFlowBreak)) break;
      } else {
        Flow flow = in.pending_;  // what an empty body leaves, as a block would
        for (const StmtPtr& body_stmt : s.body)
          if ((flow = in.execute(*body_stmt)) != kFlowNormal) break;
        if (flow & (kFlowReturn | kFlowBreak)) break;
      }
      in.pending_ &= ~kFlowContinue;
    }
    return in.pending_ &= ~kFlowBreak;
  }

  static Flow for_loop(Interpreter& in, const Stmt& s) {
    return in.execute_for(static_cast<const ForStmt&>(s));
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
      errors::log_statement_failure(messages::kExpressionFailed, value);
    return in.pending_;
  }

  static Flow break_loop(Interpreter& in, const Stmt&) { return in.pending_ |= kFlowBreak; }
  static Flow continue_loop(Interpreter& in, const Stmt&) { return in.pending_ |= kFlowContinue; }

  template <typename Node>
  static ExecuteFn prepare_store(const Node& s) {
    const Symbol symbol = cached_symbol(s.symbol, s.name);
    if (Interpreter::grows_in_place(*s.value, symbol)) return &general;
    return &store<Node>;
  }

  static ExecuteFn prepare(const Stmt& stmt) {
    switch (stmt.kind) {
      case StmtKind::Let: return prepare_store(static_cast<const LetStmt&>(stmt));
      case StmtKind::Assign: return prepare_store(static_cast<const AssignStmt&>(stmt));
      case StmtKind::CompoundAssign:
        return prepare_compound(static_cast<const CompoundAssignStmt&>(stmt));
      case StmtKind::If: {
        const auto& s = static_cast<const IfStmt&>(stmt);
        s.test = prepare_test(*s.condition);
        const bool only_returns = !s.else_body && s.then_body.size() == 1 &&
                                  s.then_body.front()->kind == StmtKind::Return &&
                                  static_cast<const ReturnStmt&>(*s.then_body.front()).value;
        return only_returns ? &if_return : &if_then;
      }
      case StmtKind::While: {
        const auto& s = static_cast<const WhileStmt&>(stmt);
        s.test = prepare_test(*s.condition);
        return &while_loop;
      }
      case StmtKind::For: return &for_loop;
      case StmtKind::Return:
        return static_cast<const ReturnStmt&>(stmt).value ? &return_value : &general;
      case StmtKind::Expr: return &expression;
      case StmtKind::Break: return &break_loop;
      case StmtKind::Continue: return &continue_loop;
      default: return &general;
    }
  }
};

Flow prepare_and_execute(Interpreter& interpreter, const Stmt& stmt) {
  stmt.executor = StatementForms::prepare(stmt);
  return stmt.executor(interpreter, stmt);
}

}  // namespace vormel
