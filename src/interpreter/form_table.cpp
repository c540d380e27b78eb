// The table of forms: the function each node runs as, chosen from its shape on its first run.
// One line per shape, with an example; every form gives exactly what the general evaluator
// or executor gives (the language's rules, in expressions.cpp, statements.cpp and calls.cpp)
// and falls through to it for whatever it declines. The forms themselves are in
// expression_forms.hpp, statement_forms.hpp and call_forms.hpp; shortcuts.hpp turns them
// all off at once.
#include <type_traits>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/call_forms.hpp"
#include "interpreter/expression_forms.hpp"
#include "interpreter/match_table.hpp"
#include "interpreter/node_cache.hpp"
#include "interpreter/number_loop.hpp"
#include "interpreter/number_nodes.hpp"
#include "interpreter/prepared_forms.hpp"
#include "interpreter/statement_forms.hpp"
#include "interpreter/symbol_cache.hpp"

namespace vormel {
namespace {

struct CallTable : CallForms {
  //   f(), f(a) .. f(a, b, c, d)   plain<N>   a user function, arguments in a fixed array
  //   len(x)                       length     a variable's size read in place
  //   built-ins, m.f(..), 5+ args  routed     the general routed call
  static EvaluateFn form_of(const CallExpr& call) {
    if (call.builtin == CallExpr::kUnresolvedCall) Interpreter::resolve_call_kind(call);
    static const int len_id = find_builtin("len");
    if (call.builtin == len_id && call.args.size() == 1 &&
        call.args[0]->kind == ExprKind::Identifier) {
      const auto& id = static_cast<const IdentifierExpr&>(*call.args[0]);
      cached_symbol(id.symbol, id.name);
      return &length;
    }
    if (call.builtin != CallExpr::kPlainCall) return &routed;
    cached_symbol(call.symbol, call.name);
    for (size_t i = 0; i < call.args.size() && i < 8; ++i) {
      if (call.args[i]->kind != ExprKind::Identifier) continue;
      const auto& id = static_cast<const IdentifierExpr&>(*call.args[i]);
      cached_symbol(id.symbol, id.name);
      call.variable_arguments |= static_cast<uint8_t>(1u << i);
    }
    switch (call.args.size()) {
      case 0: return &plain<0>;
      case 1: return &plain<1>;
      case 2: return &plain<2>;
      case 3: return &plain<3>;
      case 4: return &plain<4>;
      default: return &routed;
    }
  }
};

struct ExpressionTable : ExpressionForms {
  static EvaluateFn form_of(const Expr& expr) {
    switch (expr.kind) {
      case ExprKind::Number: return &number;                  // 42
      case ExprKind::Float: return &floating;                 // 4.2
      case ExprKind::Boolean: return &boolean;                // true
      case ExprKind::String: return string_form(expr);        // "text": one value, shared
      case ExprKind::Identifier: return variable_form(expr);  // x: read in place
      case ExprKind::BinaryOp: return binary_form(static_cast<const BinaryOpExpr&>(expr));
      case ExprKind::Call: return CallTable::form_of(static_cast<const CallExpr&>(expr));
      case ExprKind::Index: return index_form(static_cast<const IndexExpr&>(expr));
      default: return &general;  // [a], {k: v}, -x, not x, a..b
    }
  }

  //   zr * zr - zi * zi + cr  number_expression  two or more operators on names and numbers
  //                                              as number nodes (number_nodes.hpp), with
  //                                              the form below when they give up
  static EvaluateFn binary_form(const BinaryOpExpr& e) {
    const EvaluateFn ordinary = operator_form(e);
    const NumberNode* node = number_node_of(e);
    if (node == nullptr || node->operators < 2) return ordinary;
    node->evaluate_fallback = ordinary;
    return &number_expression;
  }

  // `left op right`, for each operator with a form, by the shapes of both operands
  // (OperandShape: a variable, an integer or float literal, `a op b` on two variables, or
  // anything else, computed):
  //   x op 1                 binary_on_literal<op>   an integer variable needs no storage
  //   l op r, other shapes   binary<op, L, R>        operands read by shape; numbers inline
  //   `**` and the rest      general
  static EvaluateFn operator_form(const BinaryOpExpr& e) {
    switch (e.op.kind) {
      case TokenKind::Plus: return for_shapes<BinaryForm, TokenKind::Plus>(e);
      case TokenKind::Minus: return for_shapes<BinaryForm, TokenKind::Minus>(e);
      case TokenKind::Star: return for_shapes<BinaryForm, TokenKind::Star>(e);
      case TokenKind::Slash: return for_shapes<BinaryForm, TokenKind::Slash>(e);
      case TokenKind::Percent: return for_shapes<BinaryForm, TokenKind::Percent>(e);
      case TokenKind::Less: return for_shapes<BinaryForm, TokenKind::Less>(e);
      case TokenKind::LessEqual: return for_shapes<BinaryForm, TokenKind::LessEqual>(e);
      case TokenKind::Greater: return for_shapes<BinaryForm, TokenKind::Greater>(e);
      case TokenKind::GreaterEqual: return for_shapes<BinaryForm, TokenKind::GreaterEqual>(e);
      case TokenKind::Equal: return for_shapes<BinaryForm, TokenKind::Equal>(e);
      case TokenKind::NotEqual: return for_shapes<BinaryForm, TokenKind::NotEqual>(e);
      case TokenKind::And: return for_shapes<BinaryForm, TokenKind::And>(e);
      case TokenKind::Or: return for_shapes<BinaryForm, TokenKind::Or>(e);
      default: return &general;
    }
  }

  // The condition of an `if` or `while`, tested without building a Boolean:
  //   (a inner b) cmp c      compare_on_operator<inner, cmp, R>  `d * d <= n`, `n % d == 0`
  //   a < b and x * x <= c   number_test              two or more operators as number nodes,
  //                                                   with the form below when it gives up
  //   l cmp r                compare<cmp, L, R>       numbers compared inline
  //   anything else          evaluated                its value's truth
  static TestFn test_form(const Expr& condition) {
    if (condition.kind != ExprKind::BinaryOp) return &evaluated;
    const auto& e = static_cast<const BinaryOpExpr&>(condition);
    bool fused = false;
    const TestFn ordinary = comparison_form(e, fused);
    if (fused) return ordinary;
    const NumberNode* node = number_node_of(e);
    if (node == nullptr || node->operators < 2) return ordinary;
    node->test_fallback = ordinary;
    return &number_test;
  }
  // `fused` tells whether the form is compare_on_operator.
  static TestFn comparison_form(const BinaryOpExpr& e, bool& fused) {
    switch (e.op.kind) {
      case TokenKind::Less: return comparison_for<TokenKind::Less>(e, fused);
      case TokenKind::LessEqual: return comparison_for<TokenKind::LessEqual>(e, fused);
      case TokenKind::Greater: return comparison_for<TokenKind::Greater>(e, fused);
      case TokenKind::GreaterEqual: return comparison_for<TokenKind::GreaterEqual>(e, fused);
      case TokenKind::Equal: return comparison_for<TokenKind::Equal>(e, fused);
      case TokenKind::NotEqual: return comparison_for<TokenKind::NotEqual>(e, fused);
      default: return &evaluated;
    }
  }

  //   d.x, d["x"]            member       a dict in a variable, the key prepared once
  //   xs[i], xs[0]           element      an array in a variable, at a variable or literal
  //   anything else          index        the general way
  static EvaluateFn index_form(const IndexExpr& e) {
    if (e.object->kind != ExprKind::Identifier) return &index;
    const ExprKind at = e.index->kind;
    if (at != ExprKind::String && at != ExprKind::Number && at != ExprKind::Identifier)
      return &index;
    resolve(*e.object);
    if (at == ExprKind::Identifier) resolve(*e.index);
    if (at != ExprKind::String) return &element;
    // The key text lives in the node, as long as the key that points into it.
    e.cache.reset(new MemberKey(static_cast<const StringExpr&>(*e.index).value));
    return &member;
  }

  static EvaluateFn string_form(const Expr& expr) {
    prepare_literal(static_cast<const StringExpr&>(expr));
    return &string;
  }
  static void prepare_literal(const StringExpr& literal) {
    if (!literal.cache) literal.cache.reset(new LiteralValue(Value::string(literal.value)));
  }
  static EvaluateFn variable_form(const Expr& expr) {
    resolve(expr);
    return &variable;
  }

  // The function of one operator for the shapes of its operands (`Form` is binary or
  // compare, as a template taking the operator and both shapes).
  template <template <TokenKind, OperandShape, OperandShape> class Form, TokenKind Op,
            OperandShape L>
  static auto for_right(const Expr& right)
      -> std::remove_cv_t<decltype(Form<Op, L, OperandShape::Computed>::fn)> {
    switch (shape_of(right)) {
      case OperandShape::Variable: return Form<Op, L, OperandShape::Variable>::fn;
      case OperandShape::Integer: return Form<Op, L, OperandShape::Integer>::fn;
      case OperandShape::Float: return Form<Op, L, OperandShape::Float>::fn;
      case OperandShape::Pair: return Form<Op, L, OperandShape::Pair>::fn;
      default: return Form<Op, L, OperandShape::Computed>::fn;
    }
  }
  // Interns the name a variable read reads, in the node.
  static void resolve(const Expr& variable) {
    const auto& id = static_cast<const IdentifierExpr&>(variable);
    cached_symbol(id.symbol, id.name);
  }
  // An operand's shape, with the names it reads resolved.
  static OperandShape shape_of(const Expr& operand) {
    switch (operand.kind) {
      case ExprKind::Identifier: resolve(operand); return OperandShape::Variable;
      case ExprKind::Number: return OperandShape::Integer;
      case ExprKind::Float: return OperandShape::Float;
      case ExprKind::BinaryOp: {
        const auto& pair = static_cast<const BinaryOpExpr&>(operand);
        if (pair.left->kind != ExprKind::Identifier || pair.right->kind != ExprKind::Identifier)
          return OperandShape::Computed;
        resolve(*pair.left);
        resolve(*pair.right);
        return OperandShape::Pair;
      }
      default: return OperandShape::Computed;
    }
  }
  template <template <TokenKind, OperandShape, OperandShape> class Form, TokenKind Op>
  static auto for_shapes(const BinaryOpExpr& e)
      -> std::remove_cv_t<decltype(Form<Op, OperandShape::Computed, OperandShape::Computed>::fn)> {
    switch (shape_of(*e.left)) {
      case OperandShape::Variable: return for_right<Form, Op, OperandShape::Variable>(*e.right);
      case OperandShape::Float: return for_right<Form, Op, OperandShape::Float>(*e.right);
      case OperandShape::Pair: return for_right<Form, Op, OperandShape::Pair>(*e.right);
      default: return for_right<Form, Op, OperandShape::Computed>(*e.right);
    }
  }
  template <TokenKind Op, OperandShape L, OperandShape R>
  struct BinaryForm {
    static constexpr EvaluateFn fn = L == OperandShape::Variable && R == OperandShape::Integer
                                         ? &binary_on_literal<Op>
                                         : &binary<Op, L, R>;
  };
  template <TokenKind Op, OperandShape L, OperandShape R>
  struct CompareForm {
    static constexpr TestFn fn = &compare<Op, L, R>;
  };

  // The comparison `(a inner b) op right` with a and b variables and right a variable or an
  // integer literal; null for any other shape.
  template <TokenKind Op>
  static TestFn compare_on_operator_for(const BinaryOpExpr& e) {
    if (e.left->kind != ExprKind::BinaryOp) return nullptr;
    const auto& inner = static_cast<const BinaryOpExpr&>(*e.left);
    if (inner.left->kind != ExprKind::Identifier || inner.right->kind != ExprKind::Identifier)
      return nullptr;
    const bool literal = e.right->kind == ExprKind::Number;
    if (!literal && e.right->kind != ExprKind::Identifier) return nullptr;
    for (const Expr* operand : {inner.left.get(), inner.right.get(), e.right.get()}) {
      if (operand->kind == ExprKind::Identifier) {
        const auto& id = static_cast<const IdentifierExpr&>(*operand);
        cached_symbol(id.symbol, id.name);
      }
    }
    constexpr auto I = OperandShape::Integer;
    constexpr auto V = OperandShape::Variable;
    switch (inner.op.kind) {
      case TokenKind::Plus:
        return literal ? &compare_on_operator<TokenKind::Plus, Op, I>
                       : &compare_on_operator<TokenKind::Plus, Op, V>;
      case TokenKind::Minus:
        return literal ? &compare_on_operator<TokenKind::Minus, Op, I>
                       : &compare_on_operator<TokenKind::Minus, Op, V>;
      case TokenKind::Star:
        return literal ? &compare_on_operator<TokenKind::Star, Op, I>
                       : &compare_on_operator<TokenKind::Star, Op, V>;
      case TokenKind::Percent:
        return literal ? &compare_on_operator<TokenKind::Percent, Op, I>
                       : &compare_on_operator<TokenKind::Percent, Op, V>;
      default: return nullptr;
    }
  }
  template <TokenKind Op>
  static TestFn comparison_for(const BinaryOpExpr& e, bool& fused) {
    if (TestFn form = compare_on_operator_for<Op>(e)) {
      fused = true;
      return form;
    }
    return for_shapes<CompareForm, Op>(e);
  }
};

struct StatementTable : StatementForms {
  static ExecuteFn form_of(const Stmt& stmt) {
    switch (stmt.kind) {
      case StmtKind::Let: return store_form(static_cast<const LetStmt&>(stmt));
      case StmtKind::Assign: return store_form(static_cast<const AssignStmt&>(stmt));
      case StmtKind::CompoundAssign:
        return compound_form(static_cast<const CompoundAssignStmt&>(stmt));
      case StmtKind::If: return if_form(static_cast<const IfStmt&>(stmt));
      case StmtKind::While: return while_form(static_cast<const WhileStmt&>(stmt));
      case StmtKind::For: return for_form(static_cast<const ForStmt&>(stmt));
      case StmtKind::Match: return match_form(static_cast<const MatchStmt&>(stmt));
      case StmtKind::Return: return return_form(static_cast<const ReturnStmt&>(stmt));
      case StmtKind::Expr: return &expression;         // f(x)
      case StmtKind::Break: return &break_loop;        // break
      case StmtKind::Continue: return &continue_loop;  // continue
      default: return &general;                        // fn, try, global, use
    }
  }

  //   x = a * b + c               store_number<Node, G>  number nodes (number_nodes.hpp)
  //                                                      into the binding
  //   x = push(x, v), s = s + t   store_grown<Node>   grows the old value in place
  //   x = y                       store_copy<Node>    binding to binding
  //   x = 0, s = "idle"           store_literal<Node> the literal into the binding
  //   let x = e, x = e            store<Node>
  template <typename Node>
  static ExecuteFn store_form(const Node& s) {
    const Symbol symbol = cached_symbol(s.symbol, s.name);
    const bool grown = grows_in_place(*s.value, symbol);
    if (number_node_of(*s.value) != nullptr)
      return grown ? &store_number<Node, true> : &store_number<Node, false>;
    if (grown) return &store_grown<Node>;
    switch (s.value->kind) {
      case ExprKind::Identifier: ExpressionTable::resolve(*s.value); return &store_copy<Node>;
      case ExprKind::String:
        ExpressionTable::prepare_literal(static_cast<const StringExpr&>(*s.value));
        return &store_literal<Node>;
      case ExprKind::Number:
      case ExprKind::Float:
      case ExprKind::Boolean: return &store_literal<Node>;
      default: return &store<Node>;
    }
  }

  //   match v { "a" => .. }       match_table     literal arms by a table (match_table.hpp)
  //   other arms                  match_literals  literals as they stand, others evaluated
  static ExecuteFn match_form(const MatchStmt& s) {
    if (match_table_of(s) == nullptr) return &match_literals;
    if (s.expr->kind == ExprKind::Identifier) ExpressionTable::resolve(*s.expr);
    return &match_table;
  }

  //   x += 1, x -= n, x *= 2      compound_integer<op, R>   integers updated in the binding
  //   x op= e, x /= e             compound
  static ExecuteFn compound_form(const CompoundAssignStmt& s) {
    cached_symbol(s.symbol, s.name);
    switch (s.op.kind) {
      case TokenKind::PlusAssign: return compound_for<TokenKind::PlusAssign>(s);
      case TokenKind::MinusAssign: return compound_for<TokenKind::MinusAssign>(s);
      case TokenKind::StarAssign: return compound_for<TokenKind::StarAssign>(s);
      default: return &compound;
    }
  }
  template <TokenKind Compound>
  static ExecuteFn compound_for(const CompoundAssignStmt& s) {
    if (s.value->kind == ExprKind::Number)
      return &compound_integer<Compound, OperandShape::Integer>;
    if (s.value->kind != ExprKind::Identifier) return &compound;
    const auto& id = static_cast<const IdentifierExpr&>(*s.value);
    cached_symbol(id.symbol, id.name);
    return &compound_integer<Compound, OperandShape::Variable>;
  }

  //   if c { return e }           if_return   no statement list run
  //   if c { .. } else { .. }     if_then     the condition by its test form
  static ExecuteFn if_form(const IfStmt& s) {
    s.test = code_of(ExpressionTable::test_form(*s.condition));
    const bool only_returns = !s.else_body && s.then_body.size() == 1 &&
                              s.then_body.front()->kind == StmtKind::Return &&
                              static_cast<const ReturnStmt&>(*s.then_body.front()).value;
    return only_returns ? &if_return : &if_then;
  }
  //   while n < k { x = x * y }   while_numbers  numbers alone, as flat code (number_loop.hpp)
  //   while c { .. }              while_loop     the condition by its test form
  static ExecuteFn while_form(const WhileStmt& s) {
    s.test = code_of(ExpressionTable::test_form(*s.condition));
    return number_loop_of(s) != nullptr ? &while_numbers : &while_loop;
  }
  //   for i in a..b { .. }        for_range   no array built
  //   for x in xs { .. }          general
  static ExecuteFn for_form(const ForStmt& s) {
    return s.iter->kind == ExprKind::Range ? &for_range : &general;
  }
  //   return e                    return_value
  //   return                      general
  static ExecuteFn return_form(const ReturnStmt& s) { return s.value ? &return_value : &general; }
};

}  // namespace

const NodeCode kPrepareExpr = code_of(&prepare_and_evaluate);
const NodeCode kPrepareStmt = code_of(&prepare_and_execute);

Value prepare_and_evaluate(Interpreter& interpreter, const Expr& expr) {
  const EvaluateFn form = ExpressionTable::form_of(expr);
  expr.code = code_of(form);
  return form(interpreter, expr);
}

Flow prepare_and_execute(Interpreter& interpreter, const Stmt& stmt) {
  const ExecuteFn form = StatementTable::form_of(stmt);
  stmt.code = code_of(form);
  return form(interpreter, stmt);
}

}  // namespace vormel
