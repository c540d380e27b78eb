#include "interpreter/library/library_modules.hpp"

#include <array>
#include <cstdint>
#include <string>

#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {

std::span<const NativeModule* const> library_modules() {
  static const std::array<const NativeModule*, 10> modules = {
      &text_module(), &list_module(), &dict_module(),   &math_module(), &time_module(),
      &json_module(), &file_module(), &system_module(), &web_module(),  &game_module()};
  return modules;
}

const NativeModule* find_library_module(std::string_view name) {
  for (const NativeModule* module : library_modules())
    if (module->name == name) return module;
  return nullptr;
}

size_t signature_max_args(std::string_view signature) {
  size_t open = signature.find('(');
  size_t close = signature.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close <= open + 1)
    return 0;
  std::string_view params = signature.substr(open + 1, close - open - 1);
  if (params.find("...") != std::string_view::npos) return SIZE_MAX;
  size_t count = 1;
  for (char c : params)
    if (c == ',') ++count;
  return count;
}

std::optional<LibraryFunction> find_library_function(std::string_view full_name) {
  size_t dot = full_name.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  const NativeModule* module = find_library_module(full_name.substr(0, dot));
  if (module == nullptr) return std::nullopt;
  const NativeFunction* function = find_native_function(*module, full_name.substr(dot + 1));
  if (function == nullptr) return std::nullopt;
  return LibraryFunction{module, function, signature_max_args(function->signature)};
}

Value call_library(const LibraryFunction& library, std::span<Value> args,
                   const NativeCallContext& context) {
  const NativeFunction& function = *library.function;
  if (args.size() < function.min_args || args.size() > library.max_args) [[unlikely]]
    return errors::unless_out_of_memory([&] {
      const std::string_view message = args.size() < function.min_args
                                           ? messages::kLibraryTooFewArguments
                                           : messages::kLibraryTooManyArguments;
      std::string full_name, signature;
      full_name.append(library.module->name).append(".").append(function.name);
      signature.append(library.module->name).append(".").append(function.signature);
      return Value::error(format_message(message, {full_name, signature}));
    });
  return call_native(function, args, context);
}

std::optional<Value> dispatch_library(std::string_view full_name, std::span<Value> args,
                                      const NativeCallContext& context) {
  if (std::optional<LibraryFunction> library = find_library_function(full_name))
    return call_library(*library, args, context);
  return std::nullopt;
}

}  // namespace vormel
