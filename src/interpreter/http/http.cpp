// The "http" module's function table. The server, client and JSON functions arrive with the
// HTTP work; until then every one answers null.
#include "interpreter/http/http.hpp"

#include <array>

#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"

namespace vormel {
namespace {

Value not_built_yet(std::span<Value>, NativeCallContext&) { return Value::null(); }

constexpr std::array<NativeFunction, 8> kHttpFunctions = {{
    {"page", not_built_yet},
    {"serve", not_built_yet},
    {"template", not_built_yet},
    {"json", not_built_yet},
    {"status", not_built_yet},
    {"send", not_built_yet},
    {"get", not_built_yet},
    {"post", not_built_yet},
}};

constexpr NativeModule kHttpModule = {"http", kHttpFunctions, messages::kHttpFunctionMissing};

}  // namespace

const NativeModule& http_module() { return kHttpModule; }

std::optional<Value> dispatch_http(std::string_view name, std::span<Value> args) {
  NativeCallContext context{nullptr};
  return dispatch_native(kHttpModule, name, args, context);
}

}  // namespace vormel
