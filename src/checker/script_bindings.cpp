#include "checker/script_bindings.hpp"

#include "parser/syntax_walk.hpp"

namespace vormel {
namespace {

class BindingCollector {
 public:
  explicit BindingCollector(ScriptBindings& b) : b_(b) {}

  void statement(const Stmt& stmt) {
    switch (stmt.kind) {
      case StmtKind::Let: return value(static_cast<const LetStmt&>(stmt).name);
      case StmtKind::Assign: return value(static_cast<const AssignStmt&>(stmt).name);
      case StmtKind::CompoundAssign:
        return value(static_cast<const CompoundAssignStmt&>(stmt).name);
      case StmtKind::For: return value(static_cast<const ForStmt&>(stmt).var);
      case StmtKind::Try: return value(static_cast<const TryStmt&>(stmt).catch_var);
      case StmtKind::Function: {
        const auto& f = static_cast<const FunctionStmt&>(stmt);
        bind(f.name);
        b_.function_arities[f.name].push_back(f.def->params.size());
        for (const std::string& param : f.def->params) value(param);
        return;
      }
      case StmtKind::Use: {
        const auto& use = static_cast<const UseStmt&>(stmt);
        b_.uses.push_back(&use);
        if (use.items) {
          for (const std::string& item : *use.items) {
            bind(item);
            b_.item_imports.emplace(item, use.module);
          }
        } else {
          b_.modules[use.alias ? *use.alias : use.module] = ScriptImport{use.module, &use};
        }
        return;
      }
      default: return;
    }
  }

 private:
  void bind(const std::string& name) {
    if (b_.names.insert(name).second) b_.names_in_order.push_back(name);
  }
  void value(const std::string& name) {
    bind(name);
    b_.value_bindings.insert(name);
  }

  ScriptBindings& b_;
};

}  // namespace

std::optional<size_t> ScriptBindings::fixed_arity(std::string_view name) const {
  auto found = function_arities.find(name);
  if (found == function_arities.end() || value_bindings.count(name) || item_imports.count(name))
    return std::nullopt;
  const std::vector<size_t>& arities = found->second;
  for (size_t arity : arities)
    if (arity != arities.front()) return std::nullopt;
  return arities.front();
}

bool ScriptBindings::imports_by_own_name(std::string_view module) const {
  auto found = modules.find(module);
  return found != modules.end() && found->second.module == module;
}

ScriptBindings collect_bindings(const StmtList& program) {
  ScriptBindings bindings;
  BindingCollector collector(bindings);
  SyntaxVisitor visitor;
  visitor.on_statement = [&collector](const Stmt& stmt) { collector.statement(stmt); };
  walk(program, visitor);
  return bindings;
}

std::vector<std::pair<std::string, std::string>> calls_by_own_module_name(const StmtList& program,
                                                                          std::string_view module) {
  std::string prefix = std::string(module) + ".";
  std::vector<std::pair<std::string, std::string>> found;
  std::optional<std::string> first;
  SyntaxVisitor calls;
  calls.on_expression = [&](const Expr& e) {
    if (first || e.kind != ExprKind::Call) return;
    const std::string& name = static_cast<const CallExpr&>(e).name;
    if (name.starts_with(prefix)) first = name;
  };
  // The functions an importer can reach: those the module defines at its top level.
  for (const StmtPtr& stmt : program) {
    if (!stmt || stmt->kind != StmtKind::Function) continue;
    const auto& f = static_cast<const FunctionStmt&>(*stmt);
    first.reset();
    walk(f.def->body, calls);
    if (first) found.emplace_back(f.name, *first);
  }
  return found;
}

}  // namespace vormel
