#include "interpreter/native_modules.hpp"

#include <array>
#include <string>

#include "interpreter/graphics/graphics.hpp"
#include "interpreter/http/http.hpp"
#include "interpreter/library/library_modules.hpp"

namespace vormel {

std::span<const NativeModule* const> native_modules() {
  static const std::array<const NativeModule*, 2> modules = {&graphics_module(), &http_module()};
  return modules;
}

const NativeModule* find_native_module(std::string_view name) {
  for (const NativeModule* module : native_modules())
    if (module->name == name) return module;
  return nullptr;
}

const NativeFunction* find_native_function(const NativeModule& module, std::string_view function) {
  for (const NativeFunction& entry : module.functions)
    if (entry.name == function) return &entry;
  return nullptr;
}

ExportTable native_exports(const NativeModule& module) {
  ExportTable table;
  for (const NativeFunction& entry : module.functions) {
    std::string full_name;
    full_name.append(module.name).append(".").append(entry.name);
    table.insert_or_assign(std::string(entry.name), Value::builtin_function(std::move(full_name)));
  }
  return table;
}

std::optional<Value> dispatch_native(const NativeModule& module, std::string_view full_name,
                                     std::span<Value> args, const NativeCallContext& context) {
  if (full_name.size() <= module.name.size() || !full_name.starts_with(module.name) ||
      full_name[module.name.size()] != '.')
    return std::nullopt;
  const NativeFunction* function =
      find_native_function(module, full_name.substr(module.name.size() + 1));
  if (function == nullptr) return std::nullopt;
  return call_native(*function, args, context);
}

std::optional<Value> dispatch_any_native(std::string_view full_name, std::span<Value> args,
                                         const NativeCallContext& context) {
  for (const NativeModule* module : native_modules())
    if (auto result = dispatch_native(*module, full_name, args, context)) return result;
  return dispatch_library(full_name, args, context);
}

}  // namespace vormel
