// Debug text of the syntax tree: Let { name: "x", value: Number(1) }, [..], Some(..)/None.
// Every node appends to one buffer, so a tree's text costs time linear in its length.
#include <string>

#include "parser/ast.hpp"
#include "support/stack_guard.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

// Trees nested deeper than the remaining native stack allows are shown elided at that
// depth (text may be asked for deep inside a running script, with little stack left).
constexpr std::string_view kElided = "...";

class TreeText {
 public:
  explicit TreeText(std::string& out) : out_(out) {}

  void expr(const Expr& expr) {
    if (stack_nearly_exhausted()) return text(kElided);
    switch (expr.kind) {
      case ExprKind::Number:
        return text("Number(", std::to_string(static_cast<const NumberExpr&>(expr).value), ")");
      case ExprKind::Float:
        return text("Float(", debug_float_text(static_cast<const FloatExpr&>(expr).value), ")");
      case ExprKind::String:
        return text("String(", quoted(static_cast<const StringExpr&>(expr).value), ")");
      case ExprKind::Boolean:
        return text(static_cast<const BooleanExpr&>(expr).value ? "Boolean(true)"
                                                                : "Boolean(false)");
      case ExprKind::Identifier:
        return text("Identifier(", quoted(static_cast<const IdentifierExpr&>(expr).name), ")");
      case ExprKind::BinaryOp: {
        const auto& e = static_cast<const BinaryOpExpr&>(expr);
        text("BinaryOp { left: ");
        this->expr(*e.left);
        text(", op: ", debug_text(e.op), ", right: ");
        this->expr(*e.right);
        return text(" }");
      }
      case ExprKind::UnaryOp: {
        const auto& e = static_cast<const UnaryOpExpr&>(expr);
        text("UnaryOp { op: ", debug_text(e.op), ", operand: ");
        this->expr(*e.operand);
        return text(" }");
      }
      case ExprKind::Call: {
        const auto& e = static_cast<const CallExpr&>(expr);
        text("Call { name: ", quoted(e.name), ", args: ");
        exprs(e.args);
        return text(" }");
      }
      case ExprKind::Array:
        text("Array(");
        exprs(static_cast<const ArrayExpr&>(expr).elements);
        return text(")");
      case ExprKind::Dict:
        text("Dict(");
        list(static_cast<const DictExpr&>(expr).entries, [&](const DictEntryExpr& entry) {
          text("(", quoted(entry.first), ", ");
          this->expr(*entry.second);
          text(")");
        });
        return text(")");
      case ExprKind::Index: {
        const auto& e = static_cast<const IndexExpr&>(expr);
        text("Index { object: ");
        this->expr(*e.object);
        text(", index: ");
        this->expr(*e.index);
        return text(" }");
      }
      case ExprKind::Range: {
        const auto& e = static_cast<const RangeExpr&>(expr);
        text("Range { start: ");
        this->expr(*e.start);
        text(", end: ");
        this->expr(*e.end);
        return text(" }");
      }
    }
  }

  void pattern(const Pattern& pattern) {
    if (pattern.kind == PatternKind::Wildcard) return text("Wildcard");
    text("Value(");
    expr(*pattern.value);
    text(")");
  }

  void stmts(const StmtList& list) {
    this->list(list, [&](const StmtPtr& s) { stmt(*s); });
  }

  void stmt(const Stmt& stmt) {
    if (stack_nearly_exhausted()) return text(kElided);
    switch (stmt.kind) {
      case StmtKind::Let: {
        const auto& s = static_cast<const LetStmt&>(stmt);
        text("Let { name: ", quoted(s.name), ", value: ");
        expr(*s.value);
        return text(" }");
      }
      case StmtKind::Assign: {
        const auto& s = static_cast<const AssignStmt&>(stmt);
        text("Assign { name: ", quoted(s.name), ", value: ");
        expr(*s.value);
        return text(" }");
      }
      case StmtKind::CompoundAssign: {
        const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
        text("CompoundAssign { name: ", quoted(s.name), ", op: ");
        text(debug_text(s.op), ", value: ");
        expr(*s.value);
        return text(" }");
      }
      case StmtKind::Function: {
        const auto& s = static_cast<const FunctionStmt&>(stmt);
        text("Function { name: ", quoted(s.name), ", params: ");
        names(s.def->params);
        text(", body: ");
        stmts(s.def->body);
        return text(" }");
      }
      case StmtKind::If: {
        const auto& s = static_cast<const IfStmt&>(stmt);
        text("If { condition: ");
        expr(*s.condition);
        text(", then_body: ");
        stmts(s.then_body);
        text(", else_body: ");
        if (s.else_body) {
          text("Some(");
          stmts(*s.else_body);
          text(")");
        } else {
          text("None");
        }
        return text(" }");
      }
      case StmtKind::While: {
        const auto& s = static_cast<const WhileStmt&>(stmt);
        text("While { condition: ");
        expr(*s.condition);
        text(", body: ");
        stmts(s.body);
        return text(" }");
      }
      case StmtKind::For: {
        const auto& s = static_cast<const ForStmt&>(stmt);
        text("For { var: ", quoted(s.var), ", iter: ");
        expr(*s.iter);
        text(", body: ");
        stmts(s.body);
        return text(" }");
      }
      case StmtKind::Match: {
        const auto& s = static_cast<const MatchStmt&>(stmt);
        text("Match { expr: ");
        expr(*s.expr);
        text(", arms: ");
        list(s.arms, [&](const MatchArm& arm) {
          text("(");
          pattern(arm.pattern);
          text(", ");
          stmts(arm.body);
          text(")");
        });
        return text(" }");
      }
      case StmtKind::Try: {
        const auto& s = static_cast<const TryStmt&>(stmt);
        text("Try { body: ");
        stmts(s.body);
        text(", catch_var: ", quoted(s.catch_var), ", catch_body: ");
        stmts(s.catch_body);
        return text(" }");
      }
      case StmtKind::Return: {
        const auto& s = static_cast<const ReturnStmt&>(stmt);
        if (!s.value) return text("Return(None)");
        text("Return(Some(");
        expr(*s.value);
        return text("))");
      }
      case StmtKind::Break: return text("Break");
      case StmtKind::Continue: return text("Continue");
      case StmtKind::Global:
        return text("Global(", quoted(static_cast<const GlobalStmt&>(stmt).name), ")");
      case StmtKind::Use: {
        const auto& s = static_cast<const UseStmt&>(stmt);
        text("Use { module: ", quoted(s.module), ", alias: ");
        if (s.alias)
          text("Some(", quoted(*s.alias), ")");
        else
          text("None");
        text(", items: ");
        if (s.items) {
          text("Some(");
          names(*s.items);
          text(")");
        } else {
          text("None");
        }
        return text(" }");
      }
      case StmtKind::Expr:
        text("Expr(");
        expr(*static_cast<const ExprStmt&>(stmt).expr);
        return text(")");
    }
  }

 private:
  template <typename... Parts>
  void text(const Parts&... parts) {
    (out_.append(parts), ...);
  }
  static std::string quoted(std::string_view name) { return quoted_debug_string(name); }

  template <typename T, typename Write>
  void list(const std::vector<T>& items, Write&& write) {
    text("[");
    for (size_t i = 0; i < items.size(); ++i) {
      if (i) text(", ");
      write(items[i]);
    }
    text("]");
  }
  void exprs(const ExprList& list) {
    this->list(list, [&](const ExprPtr& e) { expr(*e); });
  }
  void names(const std::vector<std::string>& names) {
    list(names, [&](const std::string& name) { text(quoted(name)); });
  }

  std::string& out_;
};

}  // namespace

void append_debug_text(std::string& out, const StmtList& list) { TreeText(out).stmts(list); }

std::string debug_text(const StmtList& list) {
  std::string out;
  append_debug_text(out, list);
  return out;
}

std::string debug_text(const Stmt& stmt) {
  std::string out;
  TreeText(out).stmt(stmt);
  return out;
}

std::string debug_text(const Expr& expr) {
  std::string out;
  TreeText(out).expr(expr);
  return out;
}

std::string debug_text(const Pattern& pattern) {
  std::string out;
  TreeText(out).pattern(pattern);
  return out;
}

}  // namespace vormel
