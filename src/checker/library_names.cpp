// Built from the interpreter's tables once, so the tools never disagree with what runs.
#include "checker/library_names.hpp"

#include <algorithm>
#include <map>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/interpreter.hpp"

namespace vormel {

const std::vector<std::string>& builtin_function_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (std::string_view name : builtin_names()) list.emplace_back(name);
    return list;
  }();
  return names;
}

bool is_builtin_function(std::string_view name) { return find_builtin(name) >= 0; }

bool is_builtin_module(std::string_view module) { return module == "sdl2" || module == "http"; }

const std::vector<std::string>& module_function_names(std::string_view module) {
  static const std::map<std::string, std::vector<std::string>, std::less<>> tables = [] {
    std::map<std::string, std::vector<std::string>, std::less<>> result;
    Interpreter interpreter;
    for (const char* name : {"sdl2", "http"}) {
      std::vector<std::string>& functions = result[name];
      if (auto exports = interpreter.load_module(name))
        for (const auto& entry : *exports) functions.push_back(entry.first);
      std::sort(functions.begin(), functions.end());
    }
    return result;
  }();
  static const std::vector<std::string> none;
  auto it = tables.find(module);
  return it == tables.end() ? none : it->second;
}

}  // namespace vormel
