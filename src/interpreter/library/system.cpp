// The "system" library module: its function table.
#include <array>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"
#include "interpreter/library/script_process.hpp"

namespace vormel {
namespace {

std::vector<std::string>& script_arguments() {
  static std::vector<std::string> arguments;
  return arguments;
}

Value system_args(std::span<Value>, const NativeCallContext&) {
  ValueList list;
  list.reserve(script_arguments().size());
  for (const std::string& argument : script_arguments()) list.push_back(Value::string(argument));
  return Value::array(std::move(list));
}

// Null for a variable that is not set, and for a name no variable can have.
Value system_env(std::span<Value> args, const NativeCallContext&) {
  if (!args[0].is(ValueKind::String)) return library::expected("system.env", "a string", args[0]);
  const std::string& name = args[0].as_string();
  if (name.empty() || name.find_first_of(std::string_view("=\0", 2)) != std::string::npos)
    return Value::null();
  const char* value = std::getenv(name.c_str());
  return value == nullptr ? Value::null() : Value::string(value);
}

// The status must be one the process can end with whole: 0 to 255.
Value system_exit(std::span<Value> args, const NativeCallContext&) {
  int64_t status = 0;
  if (!args.empty()) {
    if (!args[0].is(ValueKind::Number))
      return library::expected("system.exit", "a whole number", args[0]);
    status = args[0].as_number();
    if (status < 0 || status > 255)
      return library::error(messages::kSystemExitStatus, {display_text(args[0])});
  }
  throw ScriptExit{static_cast<int>(status)};
}

Value system_platform(std::span<Value>, const NativeCallContext&) {
#if defined(__linux__)
  return Value::string("linux");
#elif defined(__APPLE__)
  return Value::string("macos");
#elif defined(__FreeBSD__)
  return Value::string("freebsd");
#elif defined(_WIN32)
  return Value::string("windows");
#else
  return Value::string("unix");
#endif
}

constexpr std::array<NativeFunction, 4> kSystemFunctions = {{
    {"args", 0, "", "args()", "The command-line arguments after the script's name.", system_args},
    {"env", 1, "", "env(name)", "The environment variable's text, or null.", system_env},
    {"exit", 0, "", "exit([status])", "Ends the program with the status (0 without one).",
     system_exit},
    {"platform", 0, "", "platform()", "The operating system's name, such as \"linux\".",
     system_platform},
}};

constexpr NativeModule kSystemModule = {"system", kSystemFunctions,
                                        messages::kModuleFunctionMissing};

}  // namespace

void set_script_arguments(std::vector<std::string> arguments) {
  script_arguments() = std::move(arguments);
}

const NativeModule& system_module() { return kSystemModule; }

}  // namespace vormel
