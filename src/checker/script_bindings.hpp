// Where a script binds names, and which modules it imports under which names: the facts that
// the checks of names, calls and imports share.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "parser/ast.hpp"

namespace vormel {

struct ScriptImport {
  std::string module;
  const UseStmt* use;
};

struct ScriptBindings {
  // Every name bound by a let, an assignment, a parameter, a loop or catch variable, an
  // imported item or a function definition, in the order of first binding (suggestions
  // prefer the earlier name). `global` declares and binds nothing.
  std::vector<std::string> names_in_order;
  std::set<std::string, std::less<>> names;
  // The parameter count of every definition of a function name, in source order.
  std::map<std::string, std::vector<size_t>, std::less<>> function_arities;
  // Names bound by a let, an assignment, a parameter, a loop or catch variable.
  std::set<std::string, std::less<>> value_bindings;
  // Names imported by item, each with the module that it comes from, in source order.
  std::multimap<std::string, std::string, std::less<>> item_imports;
  // Modules imported without items, by the name calls use (the alias or the module).
  std::map<std::string, ScriptImport, std::less<>> modules;
  std::vector<const UseStmt*> uses;

  bool binds(std::string_view name) const { return names.count(name) != 0; }
  // How many parameters a call of `name` must pass, when only this file's definitions bind
  // it and they all agree; nullopt when the name may hold anything else at run time.
  std::optional<size_t> fixed_arity(std::string_view name) const;
  // Whether some `use` binds `module` under its own name.
  bool imports_by_own_name(std::string_view module) const;
};

ScriptBindings collect_bindings(const StmtList& program);

// For each function of a module file, in source order, the first call in its body that
// names the module itself ("shapes.square" in shapes.vl): such a call only works while
// the importer binds the module under that name.
std::vector<std::pair<std::string, std::string>> calls_by_own_module_name(const StmtList& program,
                                                                          std::string_view module);

}  // namespace vormel
