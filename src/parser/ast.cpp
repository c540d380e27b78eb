// Deep copy and debug text of the syntax tree.
#include "parser/ast.hpp"

#include <new>

#include "support/stack_guard.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

struct PendingNodes {
  std::vector<Expr*> exprs;
  std::vector<Stmt*> stmts;
};
thread_local PendingNodes* g_pending = nullptr;

// Deletes `first` and then every node its destruction queued, until none is left.
template <typename Node>
void delete_iteratively(Node* first) {
  PendingNodes queue;
  g_pending = &queue;
  delete first;
  for (;;) {
    if (!queue.exprs.empty()) {
      Expr* next = queue.exprs.back();
      queue.exprs.pop_back();
      delete next;
    } else if (!queue.stmts.empty()) {
      Stmt* next = queue.stmts.back();
      queue.stmts.pop_back();
      delete next;
    } else {
      break;
    }
  }
  g_pending = nullptr;
}

}  // namespace

namespace {

// A node whose deletion is queued while another is being deleted waits in the queue; when
// memory is too short even for that, it is deleted at once (recursing one level).
template <typename Node>
void delete_node(Node* node, std::vector<Node*> PendingNodes::*queue) {
  if (g_pending == nullptr) return delete_iteratively(node);
  try {
    (g_pending->*queue).push_back(node);
  } catch (const std::bad_alloc&) {
    delete node;
  }
}

}  // namespace

void NodeDeleter::operator()(Expr* expr) const noexcept { delete_node(expr, &PendingNodes::exprs); }
void NodeDeleter::operator()(Stmt* stmt) const noexcept { delete_node(stmt, &PendingNodes::stmts); }

namespace {

ExprList clone_list(const ExprList& list) {
  ExprList out;
  out.reserve(list.size());
  for (const ExprPtr& e : list) out.push_back(clone(*e));
  return out;
}

template <typename T, typename F>
std::string list_text(const std::vector<T>& items, F&& text) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += ", ";
    out += text(items[i]);
  }
  return out + "]";
}

std::string names_text(const std::vector<std::string>& names) {
  return list_text(names, [](const std::string& s) { return quoted_debug_string(s); });
}
std::string exprs_text(const ExprList& list) {
  return list_text(list, [](const ExprPtr& e) { return debug_text(*e); });
}

}  // namespace

ExprPtr clone(const Expr& expr) {
  switch (expr.kind) {
    case ExprKind::Number:
      return std::make_unique<NumberExpr>(static_cast<const NumberExpr&>(expr).value);
    case ExprKind::Float:
      return std::make_unique<FloatExpr>(static_cast<const FloatExpr&>(expr).value);
    case ExprKind::String:
      return std::make_unique<StringExpr>(static_cast<const StringExpr&>(expr).value);
    case ExprKind::Boolean:
      return std::make_unique<BooleanExpr>(static_cast<const BooleanExpr&>(expr).value);
    case ExprKind::Identifier:
      return std::make_unique<IdentifierExpr>(static_cast<const IdentifierExpr&>(expr).name);
    case ExprKind::BinaryOp: {
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      return std::make_unique<BinaryOpExpr>(clone(*e.left), e.op, clone(*e.right));
    }
    case ExprKind::UnaryOp: {
      const auto& e = static_cast<const UnaryOpExpr&>(expr);
      return std::make_unique<UnaryOpExpr>(e.op, clone(*e.operand));
    }
    case ExprKind::Call: {
      const auto& e = static_cast<const CallExpr&>(expr);
      return std::make_unique<CallExpr>(e.name, clone_list(e.args));
    }
    case ExprKind::Array:
      return std::make_unique<ArrayExpr>(clone_list(static_cast<const ArrayExpr&>(expr).elements));
    case ExprKind::Dict: {
      std::vector<DictEntryExpr> entries;
      for (const auto& [key, value] : static_cast<const DictExpr&>(expr).entries)
        entries.emplace_back(key, clone(*value));
      return std::make_unique<DictExpr>(std::move(entries));
    }
    case ExprKind::Index: {
      const auto& e = static_cast<const IndexExpr&>(expr);
      return std::make_unique<IndexExpr>(clone(*e.object), clone(*e.index));
    }
    case ExprKind::Range: {
      const auto& e = static_cast<const RangeExpr&>(expr);
      return std::make_unique<RangeExpr>(clone(*e.start), clone(*e.end));
    }
  }
  return nullptr;
}

MatchArm clone(const MatchArm& arm) {
  MatchArm out;
  out.pattern.kind = arm.pattern.kind;
  if (arm.pattern.value) out.pattern.value = clone(*arm.pattern.value);
  out.body = clone(arm.body);
  return out;
}

StmtList clone(const StmtList& list) {
  StmtList out;
  out.reserve(list.size());
  for (const StmtPtr& s : list) out.push_back(clone(*s));
  return out;
}

StmtPtr clone(const Stmt& stmt) {
  switch (stmt.kind) {
    case StmtKind::Let: {
      const auto& s = static_cast<const LetStmt&>(stmt);
      return std::make_unique<LetStmt>(s.name, clone(*s.value));
    }
    case StmtKind::Assign: {
      const auto& s = static_cast<const AssignStmt&>(stmt);
      return std::make_unique<AssignStmt>(s.name, clone(*s.value));
    }
    case StmtKind::CompoundAssign: {
      const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
      return std::make_unique<CompoundAssignStmt>(s.name, s.op, clone(*s.value));
    }
    case StmtKind::Function: {
      const auto& s = static_cast<const FunctionStmt&>(stmt);
      auto def = std::make_shared<FunctionDef>();
      def->params = s.def->params;
      def->body = clone(s.def->body);
      return std::make_unique<FunctionStmt>(s.name, std::move(def));
    }
    case StmtKind::If: {
      const auto& s = static_cast<const IfStmt&>(stmt);
      std::optional<StmtList> else_body;
      if (s.else_body) else_body = clone(*s.else_body);
      return std::make_unique<IfStmt>(clone(*s.condition), clone(s.then_body),
                                      std::move(else_body));
    }
    case StmtKind::While: {
      const auto& s = static_cast<const WhileStmt&>(stmt);
      return std::make_unique<WhileStmt>(clone(*s.condition), clone(s.body));
    }
    case StmtKind::For: {
      const auto& s = static_cast<const ForStmt&>(stmt);
      return std::make_unique<ForStmt>(s.var, clone(*s.iter), clone(s.body));
    }
    case StmtKind::Match: {
      const auto& s = static_cast<const MatchStmt&>(stmt);
      std::vector<MatchArm> arms;
      for (const MatchArm& arm : s.arms) arms.push_back(clone(arm));
      return std::make_unique<MatchStmt>(clone(*s.expr), std::move(arms));
    }
    case StmtKind::Try: {
      const auto& s = static_cast<const TryStmt&>(stmt);
      return std::make_unique<TryStmt>(clone(s.body), s.catch_var, clone(s.catch_body));
    }
    case StmtKind::Return: {
      const auto& s = static_cast<const ReturnStmt&>(stmt);
      return std::make_unique<ReturnStmt>(s.value ? clone(*s.value) : nullptr);
    }
    case StmtKind::Break: return std::make_unique<BreakStmt>();
    case StmtKind::Continue: return std::make_unique<ContinueStmt>();
    case StmtKind::Global:
      return std::make_unique<GlobalStmt>(static_cast<const GlobalStmt&>(stmt).name);
    case StmtKind::Use: {
      const auto& s = static_cast<const UseStmt&>(stmt);
      return std::make_unique<UseStmt>(s.module, s.alias, s.items);
    }
    case StmtKind::Expr:
      return std::make_unique<ExprStmt>(clone(*static_cast<const ExprStmt&>(stmt).expr));
  }
  return nullptr;
}

// Trees nested deeper than the remaining native stack allows are shown elided at that
// depth (the parser accepts nesting that printing, with its bigger frames, could not reach).
constexpr const char* kElided = "...";

std::string debug_text(const Expr& expr) {
  if (stack_nearly_exhausted()) return kElided;
  switch (expr.kind) {
    case ExprKind::Number:
      return "Number(" + std::to_string(static_cast<const NumberExpr&>(expr).value) + ")";
    case ExprKind::Float:
      return "Float(" + debug_float_text(static_cast<const FloatExpr&>(expr).value) + ")";
    case ExprKind::String:
      return "String(" + quoted_debug_string(static_cast<const StringExpr&>(expr).value) + ")";
    case ExprKind::Boolean:
      return std::string("Boolean(") +
             (static_cast<const BooleanExpr&>(expr).value ? "true" : "false") + ")";
    case ExprKind::Identifier:
      return "Identifier(" + quoted_debug_string(static_cast<const IdentifierExpr&>(expr).name) +
             ")";
    case ExprKind::BinaryOp: {
      const auto& e = static_cast<const BinaryOpExpr&>(expr);
      return "BinaryOp { left: " + debug_text(*e.left) + ", op: " + debug_text(e.op) +
             ", right: " + debug_text(*e.right) + " }";
    }
    case ExprKind::UnaryOp: {
      const auto& e = static_cast<const UnaryOpExpr&>(expr);
      return "UnaryOp { op: " + debug_text(e.op) + ", operand: " + debug_text(*e.operand) + " }";
    }
    case ExprKind::Call: {
      const auto& e = static_cast<const CallExpr&>(expr);
      return "Call { name: " + quoted_debug_string(e.name) + ", args: " + exprs_text(e.args) + " }";
    }
    case ExprKind::Array:
      return "Array(" + exprs_text(static_cast<const ArrayExpr&>(expr).elements) + ")";
    case ExprKind::Dict:
      return "Dict(" +
             list_text(static_cast<const DictExpr&>(expr).entries,
                       [](const DictEntryExpr& entry) {
                         return "(" + quoted_debug_string(entry.first) + ", " +
                                debug_text(*entry.second) + ")";
                       }) +
             ")";
    case ExprKind::Index: {
      const auto& e = static_cast<const IndexExpr&>(expr);
      return "Index { object: " + debug_text(*e.object) + ", index: " + debug_text(*e.index) + " }";
    }
    case ExprKind::Range: {
      const auto& e = static_cast<const RangeExpr&>(expr);
      return "Range { start: " + debug_text(*e.start) + ", end: " + debug_text(*e.end) + " }";
    }
  }
  return "";
}

std::string debug_text(const Pattern& pattern) {
  if (pattern.kind == PatternKind::Wildcard) return "Wildcard";
  return "Value(" + debug_text(*pattern.value) + ")";
}

std::string debug_text(const StmtList& list) {
  return list_text(list, [](const StmtPtr& s) { return debug_text(*s); });
}

std::string debug_text(const Stmt& stmt) {
  if (stack_nearly_exhausted()) return kElided;
  switch (stmt.kind) {
    case StmtKind::Let: {
      const auto& s = static_cast<const LetStmt&>(stmt);
      return "Let { name: " + quoted_debug_string(s.name) + ", value: " + debug_text(*s.value) +
             " }";
    }
    case StmtKind::Assign: {
      const auto& s = static_cast<const AssignStmt&>(stmt);
      return "Assign { name: " + quoted_debug_string(s.name) + ", value: " + debug_text(*s.value) +
             " }";
    }
    case StmtKind::CompoundAssign: {
      const auto& s = static_cast<const CompoundAssignStmt&>(stmt);
      return "CompoundAssign { name: " + quoted_debug_string(s.name) + ", op: " + debug_text(s.op) +
             ", value: " + debug_text(*s.value) + " }";
    }
    case StmtKind::Function: {
      const auto& s = static_cast<const FunctionStmt&>(stmt);
      return "Function { name: " + quoted_debug_string(s.name) +
             ", params: " + names_text(s.def->params) + ", body: " + debug_text(s.def->body) + " }";
    }
    case StmtKind::If: {
      const auto& s = static_cast<const IfStmt&>(stmt);
      return "If { condition: " + debug_text(*s.condition) +
             ", then_body: " + debug_text(s.then_body) +
             ", else_body: " + (s.else_body ? "Some(" + debug_text(*s.else_body) + ")" : "None") +
             " }";
    }
    case StmtKind::While: {
      const auto& s = static_cast<const WhileStmt&>(stmt);
      return "While { condition: " + debug_text(*s.condition) + ", body: " + debug_text(s.body) +
             " }";
    }
    case StmtKind::For: {
      const auto& s = static_cast<const ForStmt&>(stmt);
      return "For { var: " + quoted_debug_string(s.var) + ", iter: " + debug_text(*s.iter) +
             ", body: " + debug_text(s.body) + " }";
    }
    case StmtKind::Match: {
      const auto& s = static_cast<const MatchStmt&>(stmt);
      return "Match { expr: " + debug_text(*s.expr) + ", arms: " +
             list_text(s.arms,
                       [](const MatchArm& arm) {
                         return "(" + debug_text(arm.pattern) + ", " + debug_text(arm.body) + ")";
                       }) +
             " }";
    }
    case StmtKind::Try: {
      const auto& s = static_cast<const TryStmt&>(stmt);
      return "Try { body: " + debug_text(s.body) +
             ", catch_var: " + quoted_debug_string(s.catch_var) +
             ", catch_body: " + debug_text(s.catch_body) + " }";
    }
    case StmtKind::Return: {
      const auto& s = static_cast<const ReturnStmt&>(stmt);
      return s.value ? "Return(Some(" + debug_text(*s.value) + "))" : "Return(None)";
    }
    case StmtKind::Break: return "Break";
    case StmtKind::Continue: return "Continue";
    case StmtKind::Global:
      return "Global(" + quoted_debug_string(static_cast<const GlobalStmt&>(stmt).name) + ")";
    case StmtKind::Use: {
      const auto& s = static_cast<const UseStmt&>(stmt);
      return "Use { module: " + quoted_debug_string(s.module) +
             ", alias: " + (s.alias ? "Some(" + quoted_debug_string(*s.alias) + ")" : "None") +
             ", items: " + (s.items ? "Some(" + names_text(*s.items) + ")" : "None") + " }";
    }
    case StmtKind::Expr:
      return "Expr(" + debug_text(*static_cast<const ExprStmt&>(stmt).expr) + ")";
  }
  return "";
}

}  // namespace vormel
