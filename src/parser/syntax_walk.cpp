#include "parser/syntax_walk.hpp"

#include "support/stack_guard.hpp"

namespace vormel {
namespace {

void walk_statement(const Stmt& stmt, const SyntaxVisitor& v);

void walk_optional(const ExprPtr& expr, const SyntaxVisitor& v) {
  if (expr) walk(*expr, v);
}

void walk_statement(const Stmt& stmt, const SyntaxVisitor& v) {
  if (v.on_statement) v.on_statement(stmt);
  switch (stmt.kind) {
    case StmtKind::Let: return walk_optional(static_cast<const LetStmt&>(stmt).value, v);
    case StmtKind::Assign: return walk_optional(static_cast<const AssignStmt&>(stmt).value, v);
    case StmtKind::CompoundAssign:
      return walk_optional(static_cast<const CompoundAssignStmt&>(stmt).value, v);
    case StmtKind::Function: return walk(static_cast<const FunctionStmt&>(stmt).def->body, v);
    case StmtKind::If: {
      const auto& s = static_cast<const IfStmt&>(stmt);
      walk_optional(s.condition, v);
      walk(s.then_body, v);
      if (s.else_body) walk(*s.else_body, v);
      return;
    }
    case StmtKind::While: {
      const auto& s = static_cast<const WhileStmt&>(stmt);
      walk_optional(s.condition, v);
      return walk(s.body, v);
    }
    case StmtKind::For: {
      const auto& s = static_cast<const ForStmt&>(stmt);
      walk_optional(s.iter, v);
      return walk(s.body, v);
    }
    case StmtKind::Match: {
      const auto& s = static_cast<const MatchStmt&>(stmt);
      walk_optional(s.expr, v);
      for (const MatchArm& arm : s.arms) {
        walk_optional(arm.pattern.value, v);
        walk(arm.body, v);
      }
      return;
    }
    case StmtKind::Try: {
      const auto& s = static_cast<const TryStmt&>(stmt);
      walk(s.body, v);
      return walk(s.catch_body, v);
    }
    case StmtKind::Return: return walk_optional(static_cast<const ReturnStmt&>(stmt).value, v);
    case StmtKind::Expr: return walk_optional(static_cast<const ExprStmt&>(stmt).expr, v);
    default: return;
  }
}

}  // namespace

void walk(const StmtList& stmts, const SyntaxVisitor& visitor) {
  if (stack_nearly_exhausted()) return;
  for (const StmtPtr& stmt : stmts)
    if (stmt) walk_statement(*stmt, visitor);
}

void walk(const Expr& expr, const SyntaxVisitor& v) {
  if (stack_nearly_exhausted()) return;
  if (v.on_expression) v.on_expression(expr);
  switch (expr.kind) {
    case ExprKind::BinaryOp: {
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      walk_optional(e.left, v);
      return walk_optional(e.right, v);
    }
    case ExprKind::UnaryOp: return walk_optional(static_cast<const UnaryOpExpr&>(expr).operand, v);
    case ExprKind::Call:
      for (const ExprPtr& arg : static_cast<const CallExpr&>(expr).args) walk_optional(arg, v);
      return;
    case ExprKind::Array:
      for (const ExprPtr& e : static_cast<const ArrayExpr&>(expr).elements) walk_optional(e, v);
      return;
    case ExprKind::Dict:
      for (const auto& entry : static_cast<const DictExpr&>(expr).entries)
        walk_optional(entry.second, v);
      return;
    case ExprKind::Index: {
      const auto& e = static_cast<const IndexExpr&>(expr);
      walk_optional(e.object, v);
      return walk_optional(e.index, v);
    }
    case ExprKind::Range: {
      const auto& e = static_cast<const RangeExpr&>(expr);
      walk_optional(e.start, v);
      return walk_optional(e.end, v);
    }
    default: return;
  }
}

}  // namespace vormel
