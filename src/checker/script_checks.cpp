// Code that runs but does not do what it seems to: calls of names that nothing defines, user
// functions hidden by built-ins, "and"/"or" written as a guard (both sides always run), and
// input() in a top-level let of a script without main (that let runs twice).
#include <algorithm>
#include <map>
#include <set>

#include "checker/library_names.hpp"
#include "checker/warnings.hpp"
#include "lexer/token.hpp"
#include "parser/syntax_walk.hpp"

namespace vormel {
namespace {

struct Import {
  std::string module;
  const UseStmt* use;
};

// Every name the script binds anywhere, and the modules it imports under which names.
struct Definitions {
  std::set<std::string, std::less<>> names;
  std::map<std::string, Import, std::less<>> modules;  // by the name calls use (alias or module)
  std::vector<const UseStmt*> uses;
};

Definitions collect_definitions(const StmtList& program) {
  Definitions d;
  SyntaxVisitor visitor;
  visitor.on_statement = [&d](const Stmt& stmt) {
    switch (stmt.kind) {
      case StmtKind::Let: d.names.insert(static_cast<const LetStmt&>(stmt).name); break;
      case StmtKind::Assign: d.names.insert(static_cast<const AssignStmt&>(stmt).name); break;
      case StmtKind::CompoundAssign:
        d.names.insert(static_cast<const CompoundAssignStmt&>(stmt).name);
        break;
      case StmtKind::Function: {
        const auto& f = static_cast<const FunctionStmt&>(stmt);
        d.names.insert(f.name);
        d.names.insert(f.def->params.begin(), f.def->params.end());
        break;
      }
      case StmtKind::For: d.names.insert(static_cast<const ForStmt&>(stmt).var); break;
      case StmtKind::Try: d.names.insert(static_cast<const TryStmt&>(stmt).catch_var); break;
      case StmtKind::Global: d.names.insert(static_cast<const GlobalStmt&>(stmt).name); break;
      case StmtKind::Use: {
        const auto& use = static_cast<const UseStmt&>(stmt);
        d.uses.push_back(&use);
        if (use.items) {
          d.names.insert(use.items->begin(), use.items->end());
        } else {
          d.modules[use.alias ? *use.alias : use.module] = Import{use.module, &use};
        }
        break;
      }
      default: break;
    }
  };
  walk(program, visitor);
  return d;
}

bool mentions_any(const Expr& expr, const std::set<std::string, std::less<>>& names) {
  bool found = false;
  SyntaxVisitor visitor;
  visitor.on_expression = [&](const Expr& e) {
    if (e.kind == ExprKind::Identifier && names.count(static_cast<const IdentifierExpr&>(e).name))
      found = true;
  };
  walk(expr, visitor);
  return found;
}

std::set<std::string, std::less<>> identifiers_in(const Expr& expr) {
  std::set<std::string, std::less<>> names;
  SyntaxVisitor visitor;
  visitor.on_expression = [&](const Expr& e) {
    if (e.kind == ExprKind::Identifier) names.insert(static_cast<const IdentifierExpr&>(e).name);
  };
  walk(expr, visitor);
  return names;
}

// The names a condition tests, as a guard would: those it uses outside any indexing (in
// "xs[0] > 0 and xs[1] > 0" the left side guards nothing, it reads an element itself).
std::set<std::string, std::less<>> tested_names(const Expr& condition) {
  std::set<std::string, std::less<>> names = identifiers_in(condition);
  SyntaxVisitor visitor;
  visitor.on_expression = [&names](const Expr& e) {
    if (e.kind != ExprKind::Index) return;
    for (const std::string& name : identifiers_in(e)) names.erase(name);
  };
  walk(condition, visitor);
  return names;
}

// Whether `side` indexes something (a[i], not a.b) with a name that `guard` tests.
bool indexes_what_is_tested(const Expr& side, const std::set<std::string, std::less<>>& tested) {
  bool found = false;
  SyntaxVisitor visitor;
  visitor.on_expression = [&](const Expr& e) {
    if (found || e.kind != ExprKind::Index) return;
    const auto& index = static_cast<const IndexExpr&>(e);
    if (index.index->kind == ExprKind::String) return;  // member access
    found = mentions_any(*index.object, tested) || mentions_any(*index.index, tested);
  };
  walk(side, visitor);
  return found;
}

class ScriptChecker {
 public:
  ScriptChecker(const ScriptView& view, const CheckOptions& options, std::vector<Warning>& out)
      : view_(view), options_(options), out_(out), defs_(collect_definitions(view.program)) {}

  void run() {
    check_imports();
    SyntaxVisitor visitor;
    visitor.on_statement = [this](const Stmt& stmt) {
      if (stmt.kind == StmtKind::Function)
        check_function_name(static_cast<const FunctionStmt&>(stmt));
    };
    visitor.on_expression = [this](const Expr& expr) {
      if (expr.kind == ExprKind::Call) check_call(static_cast<const CallExpr&>(expr));
      if (expr.kind == ExprKind::BinaryOp) check_guard(static_cast<const BinaryOpExpr&>(expr));
    };
    walk(view_.program, visitor);
    check_top_level_input();
  }

 private:
  void warn(size_t token, std::string message) {
    out_.push_back(warning_at_token(view_, token, std::move(message)));
  }

  // The names a script module defines; empty and false when its file cannot be read.
  const std::set<std::string, std::less<>>* module_names(const std::string& module) {
    if (!options_.read_module || is_builtin_module(module)) return nullptr;
    auto cached = module_names_.find(module);
    if (cached != module_names_.end()) return cached->second ? &*cached->second : nullptr;
    std::optional<std::set<std::string, std::less<>>>& entry = module_names_[module];
    if (std::optional<std::string> text = options_.read_module(module)) {
      ScriptView module_view = read_script_view(*text);
      entry = collect_definitions(module_view.program).names;
    }
    return entry ? &*entry : nullptr;
  }

  bool module_defines(const std::string& module, std::string_view name) {
    if (is_builtin_module(module)) {
      const auto& functions = module_function_names(module);
      return std::binary_search(functions.begin(), functions.end(), name);
    }
    const auto* names = module_names(module);
    return names == nullptr || names->count(name) != 0;  // unreadable: reported at the use
  }

  void check_imports() {
    for (const UseStmt* use : defs_.uses) {
      size_t token = view_.token_of(*use) + 1;  // the module name (a use is a statement)
      if (!is_builtin_module(use->module) && options_.read_module &&
          module_names(use->module) == nullptr) {
        warn(token, "module file '" + use->module + ".vl' cannot be read");
        continue;
      }
      if (!use->items) continue;
      for (const std::string& item : *use->items)
        if (!module_defines(use->module, item))
          warn(token, "module '" + use->module + "' defines no '" + item + "'");
    }
  }

  void check_function_name(const FunctionStmt& function) {
    if (!is_builtin_function(function.name)) return;
    warn(view_.token_of(function) + 1, "function '" + function.name +
                                           "' is never called: the built-in '" + function.name +
                                           "' always wins over a function of the same name");
  }

  void check_call(const CallExpr& call) {
    size_t paren = view_.token_of(call);
    size_t name_token = paren > 0 ? paren - 1 : 0;
    size_t dot = call.name.find('.');
    if (dot == std::string::npos) {
      if (is_builtin_function(call.name) || defs_.names.count(call.name)) return;
      const Token& before = view_.tokens[name_token];
      if (call.name == "call" && !(before.kind == TokenKind::Identifier && before.text == "call")) {
        warn(paren,
             "only a name or a module function can be called; this calls a function "
             "named 'call', which nothing defines");
        return;
      }
      warn(name_token,
           "call of '" + call.name +
               "', which is neither a built-in nor defined in this file or its imports");
      return;
    }
    std::string prefix = call.name.substr(0, dot);
    std::string member = call.name.substr(dot + 1);
    auto import = defs_.modules.find(prefix);
    if (import == defs_.modules.end()) {
      warn(name_token, "'" + call.name + "' calls a function of module '" + prefix +
                           "', but no 'use " + prefix + "' imports it");
      return;
    }
    if (!module_defines(import->second.module, member))
      warn(name_token, "module '" + import->second.module + "' has no function '" + member + "'");
  }

  void check_guard(const BinaryOpExpr& op) {
    if (op.op.kind != TokenKind::And && op.op.kind != TokenKind::Or) return;
    if (!op.left || !op.right) return;
    if (!indexes_what_is_tested(*op.right, tested_names(*op.left))) return;
    std::string word(keyword_spelling(op.op.kind));
    warn(view_.token_of(op), "'" + word +
                                 "' evaluates both sides, so it cannot guard the index on its "
                                 "right; test first with an enclosing if");
  }

  void check_top_level_input() {
    for (const StmtPtr& stmt : view_.program)
      if (stmt->kind == StmtKind::Function &&
          static_cast<const FunctionStmt&>(*stmt).name == "main")
        return;
    for (const StmtPtr& stmt : view_.program) {
      if (stmt->kind != StmtKind::Let) continue;
      const auto& let = static_cast<const LetStmt&>(*stmt);
      SyntaxVisitor visitor;
      visitor.on_expression = [&](const Expr& e) {
        if (e.kind != ExprKind::Call || static_cast<const CallExpr&>(e).name != "input") return;
        size_t paren = view_.token_of(e);
        warn(paren > 0 ? paren - 1 : paren,
             "input() in the top-level let of '" + let.name +
                 "' runs twice in a script without main: once as the globals are set up, "
                 "once as the script runs");
      };
      if (let.value) walk(*let.value, visitor);
    }
  }

  const ScriptView& view_;
  const CheckOptions& options_;
  std::vector<Warning>& out_;
  Definitions defs_;
  std::map<std::string, std::optional<std::set<std::string, std::less<>>>> module_names_;
};

}  // namespace

void add_script_warnings(const ScriptView& view, const CheckOptions& options,
                         std::vector<Warning>& out) {
  ScriptChecker(view, options, out).run();
}

}  // namespace vormel
