// The web module's routes: a path pattern ("/users/:id"), a method (or any), and the
// script function that answers. Routes are kept for the life of the process, in the order
// added; the first that matches a request answers it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "interpreter/value.hpp"

namespace vormel::web {

// `method` empty: every method.
void add_route(std::string method, std::string_view pattern, Value handler);

struct RouteMatch {
  Value handler;
  std::vector<std::pair<std::string, std::string>> params;  // percent-decoded
};

struct RouteLookup {
  std::optional<RouteMatch> match;
  std::vector<std::string> allowed;  // the path's methods, when only the method differs
};

// `path` as sent, without the query.
RouteLookup find_route(std::string_view method, std::string_view path);

}  // namespace vormel::web
