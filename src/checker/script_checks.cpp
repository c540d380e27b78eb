// Code that runs but does not do what it seems to: calls of names that nothing defines or
// with the wrong number of arguments, user functions hidden by built-ins, imports that leave
// a module's calls of itself unbound, "and"/"or" written as a guard (both sides always run),
// and input() in a top-level let of a script without main (that let runs twice).
#include <algorithm>
#include <set>

#include "checker/closest_name.hpp"
#include "checker/library_names.hpp"
#include "checker/module_files.hpp"
#include "checker/warnings.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/native_modules.hpp"
#include "lexer/token.hpp"
#include "parser/syntax_walk.hpp"

namespace vormel {
namespace {

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

std::string count_arguments(size_t n) {
  return std::to_string(n) + (n == 1 ? " argument" : " arguments");
}

// A function of a library module, with the module's name for the warnings.
struct LibraryCallee {
  std::string module;
  const NativeFunction* function = nullptr;
};

class ScriptChecker {
 public:
  ScriptChecker(const ScriptView& view, const CheckOptions& options, std::vector<Warning>& out)
      : view_(view),
        options_(options),
        out_(out),
        defs_(collect_bindings(view.program)),
        modules_(options) {}

  void run() {
    check_imports();
    collect_calls_in_functions();
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
    add_unbound_name_warnings(view_, defs_, imported_bindings(), out_);
  }

 private:
  void warn(size_t token, std::string message) {
    out_.push_back(warning_at_token(view_, token, std::move(message)));
  }

  bool module_defines(const std::string& module, std::string_view name) {
    if (const NativeModule* table = modules_.table(module))
      return find_native_function(*table, name) != nullptr;
    const ModuleFile* file = modules_.find(module);
    return file == nullptr || file->bindings.binds(name);  // unreadable: reported at the use
  }

  // What the script modules it imports bind (with or without items, under any name).
  std::vector<const ScriptBindings*> imported_bindings() {
    std::vector<const ScriptBindings*> imported;
    for (const UseStmt* use : defs_.uses)
      if (const ModuleFile* file = modules_.find(use->module)) imported.push_back(&file->bindings);
    return imported;
  }

  void check_imports() {
    for (const UseStmt* use : defs_.uses) {
      size_t token = view_.token_of(*use) + 1;  // the module name (a use is a statement)
      if (!modules_.table(use->module) && modules_.can_read() &&
          modules_.find(use->module) == nullptr) {
        warn(token, "module file '" + use->module + ".vl' cannot be read");
        continue;
      }
      check_calls_by_module_name(*use, token);
      if (!use->items) continue;
      for (const std::string& item : *use->items)
        if (!module_defines(use->module, item))
          warn(token, "module '" + use->module + "' defines no '" + item + "'");
    }
  }

  // A module's function that calls another by the module's name ("shapes.square") fails
  // when the importer binds the module under an alias, or imports only items.
  void check_calls_by_module_name(const UseStmt& use, size_t token) {
    if ((!use.alias && !use.items) || defs_.imports_by_own_name(use.module)) return;
    const ModuleFile* file = modules_.find(use.module);
    if (file == nullptr) return;
    for (const auto& [function, call] : calls_by_own_module_name(file->view.program, use.module)) {
      bool reached = !use.items ||
                     std::find(use.items->begin(), use.items->end(), function) != use.items->end();
      if (!reached) continue;
      warn(token, use.module + ".vl calls '" + call +
                      "' by its module name, which this import does not bind");
      return;
    }
  }

  // Calls inside function bodies: only those run when the file is imported as a module.
  // Each body is walked once, with the functions nested in it.
  void collect_calls_in_functions() {
    std::set<const Stmt*> nested;
    SyntaxVisitor calls;
    calls.on_statement = [&nested](const Stmt& stmt) {
      if (stmt.kind == StmtKind::Function) nested.insert(&stmt);
    };
    calls.on_expression = [this](const Expr& e) {
      if (e.kind == ExprKind::Call) calls_in_functions_.insert(&e);
    };
    SyntaxVisitor functions;
    functions.on_statement = [&](const Stmt& stmt) {
      if (stmt.kind == StmtKind::Function && !nested.count(&stmt))
        walk(static_cast<const FunctionStmt&>(stmt).def->body, calls);
    };
    walk(view_.program, functions);
  }

  void check_function_name(const FunctionStmt& function) {
    if (!is_builtin_function(function.name)) return;
    warn(view_.token_of(function) + 1, "function '" + function.name +
                                           "' is never called: the built-in '" + function.name +
                                           "' always wins over a function of the same name");
  }

  // The number of parameters of the one function `name` can hold: defined in this file,
  // or imported by item from module files that define it so, and bound by nothing else.
  std::optional<size_t> fixed_arity(const std::string& name) {
    auto [first, last] = defs_.item_imports.equal_range(name);
    if (first == last) return defs_.fixed_arity(name);
    if (defs_.value_bindings.count(name)) return std::nullopt;
    std::vector<size_t> arities;
    if (auto own = defs_.function_arities.find(name); own != defs_.function_arities.end())
      arities = own->second;
    for (auto item = first; item != last; ++item) {
      const ModuleFile* file = modules_.find(item->second);
      std::optional<size_t> imported = file ? file->bindings.fixed_arity(name) : std::nullopt;
      if (!imported) return std::nullopt;
      arities.push_back(*imported);
    }
    for (size_t arity : arities)
      if (arity != arities.front()) return std::nullopt;
    return arities.front();
  }

  void check_arity(const CallExpr& call, size_t name_token) {
    // A call of something that is not a name ("[f][0](1)") is routed as a call of "call";
    // its own warning says so.
    if (view_.spelling(name_token) != call.name) return;
    if (const LibraryCallee callee = library_item(call.name); callee.function)
      return check_library_arity(call, name_token, callee);
    std::optional<size_t> params = fixed_arity(call.name);
    if (!params || *params == call.args.size()) return;
    warn(name_token, "'" + call.name + "' takes " + count_arguments(*params) +
                         " but is called with " + std::to_string(call.args.size()));
  }

  // The library function a plain name can only hold: imported by item from library modules
  // (the same function each time) and bound by nothing else in this file.
  LibraryCallee library_item(const std::string& name) {
    auto [first, last] = defs_.item_imports.equal_range(name);
    if (first == last || defs_.value_bindings.count(name) || defs_.function_arities.count(name))
      return {};
    LibraryCallee callee = library_function(first->second, name);
    for (auto item = first; item != last && callee.function; ++item)
      if (library_function(item->second, name).function != callee.function) return {};
    return callee;
  }

  // Module `module`'s `function`, when the module reaches the library (not sdl2 or http,
  // whose calls are not counted, and not a file of that name).
  LibraryCallee library_function(const std::string& module, std::string_view function) {
    const NativeModule* table = modules_.table(module);
    if (table == nullptr || !is_library_module(module)) return {};
    return {module, find_native_function(*table, function)};
  }

  // Fewer arguments than the function needs or more than its signature names.
  void check_library_arity(const CallExpr& call, size_t name_token, const LibraryCallee& callee) {
    size_t given = call.args.size();
    const NativeFunction& function = *callee.function;
    bool too_few = given < function.min_args;
    if (!too_few && given <= signature_max_args(function.signature)) return;
    warn(name_token, "'" + call.name + "' is called with " + count_arguments(given) + ", too " +
                         (too_few ? "few" : "many") + " for " + callee.module + "." +
                         std::string(function.signature));
  }

  void check_call(const CallExpr& call) {
    size_t paren = view_.token_of(call);
    size_t name_token = paren > 0 ? paren - 1 : 0;
    size_t dot = call.name.find('.');
    if (dot == std::string::npos) {
      if (is_builtin_function(call.name)) return;
      if (defs_.binds(call.name)) return check_arity(call, name_token);
      const Token& before = view_.tokens[name_token];
      if (call.name == "call" && !(before.kind == TokenKind::Identifier && before.text == "call")) {
        warn(paren,
             "only a name or a module function can be called; this calls a function "
             "named 'call', which nothing defines");
        return;
      }
      std::string message =
          "call of '" + call.name +
          "', which is neither a built-in nor defined in this file or its imports";
      if (std::optional<std::string> meant = callable_names().suggest(call.name))
        message += "; did you mean '" + *meant + "'?";
      warn(name_token, std::move(message));
      return;
    }
    std::string prefix = call.name.substr(0, dot);
    std::string member = call.name.substr(dot + 1);
    auto import = defs_.modules.find(prefix);
    if (import == defs_.modules.end()) {
      if (prefix == options_.module_name && calls_in_functions_.count(&call)) {
        // This module's function calling another of its own, as importers reach it.
        if (!defs_.function_arities.count(member))
          warn(name_token, "module '" + prefix + "' has no function '" + member + "'");
        return;
      }
      warn(name_token, "'" + call.name + "' calls a function of module '" + prefix +
                           "', but no 'use " + prefix + "' imports it");
      return;
    }
    const std::string& module = import->second.module;
    if (!module_defines(module, member))
      return warn(name_token, "module '" + module + "' has no function '" + member + "'");
    if (const LibraryCallee callee = library_function(module, member); callee.function)
      check_library_arity(call, name_token, callee);
  }

  // What a misspelt call may have meant: the script's names, then the built-ins.
  NameSuggester& callable_names() {
    if (!callable_names_) {
      std::vector<std::string> names = defs_.names_in_order;
      const auto& builtins = builtin_function_names();
      names.insert(names.end(), builtins.begin(), builtins.end());
      callable_names_.emplace(std::move(names));
    }
    return *callable_names_;
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
  ScriptBindings defs_;
  ModuleFiles modules_;
  std::set<const Expr*> calls_in_functions_;
  std::optional<NameSuggester> callable_names_;
};

}  // namespace

void add_script_warnings(const ScriptView& view, const CheckOptions& options,
                         std::vector<Warning>& out) {
  ScriptChecker(view, options, out).run();
}

}  // namespace vormel
