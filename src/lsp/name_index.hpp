// Every name a script writes, with what it does there: the one table that go to definition,
// references, rename, document symbols and signature help read. Names are matched by their
// spelling across the whole file, since a variable is looked up through every active scope
// and a function is a variable too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vormel {

enum class NameRole : uint8_t {
  Use,              // a read, a call, a compound assignment, a global statement
  Binding,          // let, assignment, for variable, catch variable
  Parameter,        // a name in a def's parameter list
  FunctionName,     // the name after def
  Import,           // an item of use m { ... }: binds a global taken from module m
  Module,           // the module or the alias of a use statement
  ModuleQualifier,  // m in m.f(...), where m names a module
  ModuleFunction,   // f in m.f(...), where m names a module
};

struct NameOccurrence {
  std::string name;
  NameRole role = NameRole::Use;
  size_t start = 0;  // byte offsets of the name
  size_t end = 0;
  // Import, Module, ModuleQualifier, ModuleFunction: the module's own name (an alias
  // resolved), which is also its file's name without ".vl".
  std::string module;

  // Names of this script's own variables and functions, which rename may change.
  bool is_script_name() const;
};

struct FunctionOutline {
  std::string name;
  std::vector<std::string> params;
  size_t name_start = 0;
  size_t name_end = 0;
  size_t start = 0;  // from "def" to the body's closing brace (or the end of the file)
  size_t end = 0;
  std::vector<FunctionOutline> nested;  // functions defined inside its body
};

struct VariableOutline {
  std::string name;
  size_t name_start = 0;
  size_t name_end = 0;
  size_t start = 0;  // the statement that first binds it
  size_t end = 0;
};

struct NameIndex {
  std::vector<NameOccurrence> names;           // in source order
  std::vector<FunctionOutline> functions;      // top-level ones; nested ones inside them
  std::vector<VariableOutline> globals;        // top-level let and assignment, first of each name
  std::map<std::string, std::string> modules;  // the name used in m.f(...) -> the module

  // The name touching byte `offset` (its end included, where an editor's cursor stands
  // after typing it), or nullptr.
  const NameOccurrence* at(size_t offset) const;
  // The def of a script name, else its first binding, parameter or import; nullptr when
  // the file binds it nowhere.
  const NameOccurrence* definition_of(std::string_view name) const;
  // The first def of `name`, at any depth.
  const FunctionOutline* function(std::string_view name) const;
  // Every occurrence that refers to what `occurrence` refers to: the script name of that
  // spelling, the module, or the module's function.
  std::vector<const NameOccurrence*> same_target(const NameOccurrence& occurrence) const;
};

NameIndex index_names(std::string_view text);

}  // namespace vormel
