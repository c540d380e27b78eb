// The "json" library module: its function table. json.parse reads JSON text into values;
// json.text writes a value as JSON text, with the escaping http.json uses.
#include <array>
#include <span>
#include <string>

#include "interpreter/http/json_text.hpp"
#include "interpreter/library/json_parse.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"

namespace vormel {
namespace {

// Wider indents only make text no one reads and sizes that run out of memory.
constexpr int64_t kMaxIndent = 100;

Value json_parse(std::span<Value> args, const NativeCallContext&) {
  if (!args[0].is(ValueKind::String)) return library::expected("json.parse", "a string", args[0]);
  return parse_json(args[0].as_string());
}

Value json_text(std::span<Value> args, const NativeCallContext&) {
  http::JsonLayout layout;
  layout.floats_keep_point = true;
  if (args.size() > 1) {
    const Value& indent = args[1];
    if (!indent.is(ValueKind::Number))
      return library::expected("json.text", "a whole number for indent", indent);
    if (indent.as_number() < 0 || indent.as_number() > kMaxIndent)
      return library::error(messages::kJsonTextIndent,
                            {std::to_string(kMaxIndent), std::to_string(indent.as_number())});
    layout.indent = static_cast<int>(indent.as_number());
  }
  return Value::string(http::to_json(args[0], layout));
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 2> kJsonFunctions = {{
    {"parse", 1, "", "parse(text)", "The value that JSON text stands for.", json_parse},
    {"text", 1, "", "text(value[, indent])",
     "The value as JSON text, on one line or indented by `indent` spaces per level.", json_text},
}};

constexpr NativeModule kJsonModule = {"json", kJsonFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& json_module() { return kJsonModule; }

}  // namespace vormel
