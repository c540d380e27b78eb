// The web module's routes: a path pattern ("/users/:id"), a method (or any), and the
// script function that answers; or a static prefix ("/files"), whose GET and HEAD requests
// a folder's files answer. Routes are kept for the life of the process, in the order added;
// the first that matches a request answers it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interpreter/http/static_files.hpp"
#include "interpreter/value.hpp"

namespace vormel::web {

// `method` empty: every method.
void add_route(std::string method, std::string_view pattern, Value handler);
// `prefix` matches itself and every path below it ("/" matches every path).
void add_static(std::string_view prefix, std::shared_ptr<const http::StaticFolder> folder);

struct RouteMatch {
  Value handler;
  std::vector<std::pair<std::string, std::string>> params;  // percent-decoded
  // A static prefix's match: its folder, and the path after the prefix ("" or "/...").
  std::shared_ptr<const http::StaticFolder> folder;
  std::string_view rest;
};

struct RouteLookup {
  std::optional<RouteMatch> match;
  std::vector<std::string> allowed;  // the path's methods, when only the method differs
};

// `path` as sent, without the query.
RouteLookup find_route(std::string_view method, std::string_view path);

}  // namespace vormel::web
