// Preparing operator nodes into number nodes: the function for each node's operator and
// operand shapes, chosen once, bottom up.
#include "interpreter/number_nodes.hpp"

#include "interpreter/symbol_cache.hpp"

namespace vormel {
namespace {

using number_nodes::node;

// Expressions nested deeper, or with more operators, keep their ordinary forms: this bounds
// the native recursion of preparing and running them.
constexpr size_t kMaxDepth = 12;
constexpr size_t kMaxOperators = 32;

constexpr bool is_literal(OperandShape shape) {
  return shape == OperandShape::Integer || shape == OperandShape::Float;
}

// The node for `Op` on these shapes; none for shapes that could never give a result (a
// boolean operator on a number literal) or that need no node (two literals), so that no
// function is made for them.
template <TokenKind Op, OperandShape L, OperandShape R>
constexpr NumberFn node_for() {
  constexpr bool logical = Op == TokenKind::And || Op == TokenKind::Or;
  if constexpr ((is_literal(L) && is_literal(R)) || (logical && (is_literal(L) || is_literal(R))))
    return nullptr;
  else
    return &node<Op, L, R>;
}

template <TokenKind Op, OperandShape L>
NumberFn for_right(OperandShape right) {
  switch (right) {
    case OperandShape::Variable: return node_for<Op, L, OperandShape::Variable>();
    case OperandShape::Integer: return node_for<Op, L, OperandShape::Integer>();
    case OperandShape::Float: return node_for<Op, L, OperandShape::Float>();
    default: return node_for<Op, L, OperandShape::Computed>();
  }
}

template <TokenKind Op>
NumberFn for_shapes(OperandShape left, OperandShape right, bool same_variable) {
  if (same_variable) return &number_nodes::same_variable_node<Op>;
  switch (left) {
    case OperandShape::Variable: return for_right<Op, OperandShape::Variable>(right);
    case OperandShape::Integer: return for_right<Op, OperandShape::Integer>(right);
    case OperandShape::Float: return for_right<Op, OperandShape::Float>(right);
    default: return for_right<Op, OperandShape::Computed>(right);
  }
}

NumberFn number_fn(TokenKind op, OperandShape left, OperandShape right, bool same_variable) {
  switch (op) {
    case TokenKind::Plus: return for_shapes<TokenKind::Plus>(left, right, same_variable);
    case TokenKind::Minus: return for_shapes<TokenKind::Minus>(left, right, same_variable);
    case TokenKind::Star: return for_shapes<TokenKind::Star>(left, right, same_variable);
    case TokenKind::Slash: return for_shapes<TokenKind::Slash>(left, right, same_variable);
    case TokenKind::Percent: return for_shapes<TokenKind::Percent>(left, right, same_variable);
    case TokenKind::Power: return for_shapes<TokenKind::Power>(left, right, same_variable);
    case TokenKind::Less: return for_shapes<TokenKind::Less>(left, right, same_variable);
    case TokenKind::LessEqual: return for_shapes<TokenKind::LessEqual>(left, right, same_variable);
    case TokenKind::Greater: return for_shapes<TokenKind::Greater>(left, right, same_variable);
    case TokenKind::GreaterEqual:
      return for_shapes<TokenKind::GreaterEqual>(left, right, same_variable);
    case TokenKind::Equal: return for_shapes<TokenKind::Equal>(left, right, same_variable);
    case TokenKind::NotEqual: return for_shapes<TokenKind::NotEqual>(left, right, same_variable);
    case TokenKind::And: return for_shapes<TokenKind::And>(left, right, same_variable);
    case TokenKind::Or: return for_shapes<TokenKind::Or>(left, right, same_variable);
    default: return nullptr;
  }
}

// What an operator node that is no number node keeps in its cache: nothing, found once.
struct NoNumberNode final : NodeCache {};

const NumberNode* prepare(const BinaryOpExpr& e, size_t depth);

// An operand's shape, preparing an operator below; false when it fits no number node.
bool shape_of(const Expr& operand, size_t depth, OperandShape& shape, size_t& operators) {
  switch (operand.kind) {
    case ExprKind::Identifier: {
      const auto& id = static_cast<const IdentifierExpr&>(operand);
      cached_symbol(id.symbol, id.name);
      shape = OperandShape::Variable;
      return true;
    }
    case ExprKind::Number: shape = OperandShape::Integer; return true;
    case ExprKind::Float: shape = OperandShape::Float; return true;
    case ExprKind::BinaryOp: {
      const NumberNode* below = prepare(static_cast<const BinaryOpExpr&>(operand), depth + 1);
      if (below == nullptr) return false;
      shape = OperandShape::Computed;
      operators += below->operators;
      return true;
    }
    default: return false;
  }
}

// Whether both operands read the same variable (prepared first, so resolved).
bool reads_one_variable(const BinaryOpExpr& e) {
  return e.left->kind == ExprKind::Identifier && e.right->kind == ExprKind::Identifier &&
         static_cast<const IdentifierExpr&>(*e.left).symbol ==
             static_cast<const IdentifierExpr&>(*e.right).symbol;
}

const NumberNode* prepare(const BinaryOpExpr& e, size_t depth) {
  if (!e.cache) {
    OperandShape left, right;
    size_t operators = 1;
    NumberFn fn = nullptr;
    if (depth < kMaxDepth && shape_of(*e.left, depth, left, operators) &&
        shape_of(*e.right, depth, right, operators) && operators <= kMaxOperators)
      fn = number_fn(e.op.kind, left, right, reads_one_variable(e));
    if (fn != nullptr) {
      auto* prepared = new NumberNode();
      prepared->fn = fn;
      prepared->operators = operators;
      e.cache.reset(prepared);
    } else {
      e.cache.reset(new NoNumberNode());
    }
  }
  return dynamic_cast<const NumberNode*>(e.cache.get());
}

}  // namespace

const NumberNode* number_node_of(const Expr& expr) {
  if (expr.kind != ExprKind::BinaryOp) return nullptr;
  return prepare(static_cast<const BinaryOpExpr&>(expr), 0);
}

}  // namespace vormel
