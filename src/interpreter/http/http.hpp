// The "http" module: its export table and its dispatcher.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "interpreter/value.hpp"

namespace vormel {

using ExportTable = Dict;

// The "http" export table: page, serve, template, json, status, send, get, post.
ExportTable http_exports();
// A value, or nullopt when `name` (such as "http.get") is not an HTTP function.
std::optional<Value> dispatch_http(std::string_view name, std::span<Value> args);

}  // namespace vormel
