// The "http" module: its function table and its dispatcher.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/native_module.hpp"

namespace vormel {

const NativeModule& http_module();
// A value, or nullopt when `name` (such as "http.get") is not an HTTP function.
std::optional<Value> dispatch_http(std::string_view name, std::span<Value> args);

}  // namespace vormel
