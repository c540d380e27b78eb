// Built from the interpreter's tables once, so the tools never disagree with what runs.
#include "checker/library_names.hpp"

#include <algorithm>
#include <map>
#include <string>

#include "interpreter/builtins/builtins.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {

const std::vector<std::string>& builtin_function_names() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const NativeFunction& function : builtin_functions()) list.emplace_back(function.name);
    return list;
  }();
  return names;
}

bool is_builtin_function(std::string_view name) { return find_builtin(name) >= 0; }

bool is_builtin_module(std::string_view module) { return find_native_module(module) != nullptr; }

bool is_library_module(std::string_view module) { return find_library_module(module) != nullptr; }

std::vector<std::string> builtin_module_names() {
  std::vector<std::string> names;
  for (const NativeModule* module : native_modules()) names.emplace_back(module->name);
  return names;
}

const std::vector<std::string>& module_function_names(std::string_view module) {
  static const std::map<std::string, std::vector<std::string>, std::less<>> tables = [] {
    std::map<std::string, std::vector<std::string>, std::less<>> result;
    std::vector<const NativeModule*> modules(native_modules().begin(), native_modules().end());
    modules.insert(modules.end(), library_modules().begin(), library_modules().end());
    for (const NativeModule* module : modules) {
      std::vector<std::string>& functions = result[std::string(module->name)];
      for (const NativeFunction& function : module->functions)
        functions.emplace_back(function.name);
      std::sort(functions.begin(), functions.end());
    }
    return result;
  }();
  static const std::vector<std::string> none;
  auto it = tables.find(module);
  return it == tables.end() ? none : it->second;
}

std::optional<LibraryFunctionDoc> describe_library_function(std::string_view name) {
  size_t dot = name.find('.');
  if (dot == std::string_view::npos) {
    int id = find_builtin(name);
    if (id < 0) return std::nullopt;
    const NativeFunction& function = builtin_functions()[static_cast<size_t>(id)];
    return LibraryFunctionDoc{std::string(function.signature), function.summary};
  }
  const NativeModule* module = find_native_module(name.substr(0, dot));
  if (module == nullptr) module = find_library_module(name.substr(0, dot));
  if (module == nullptr) return std::nullopt;
  const NativeFunction* function = find_native_function(*module, name.substr(dot + 1));
  if (function == nullptr) return std::nullopt;
  std::string signature;
  signature.append(module->name).append(".").append(function->signature);
  return LibraryFunctionDoc{std::move(signature), function->summary};
}

}  // namespace vormel
