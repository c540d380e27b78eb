#include "interpreter/library/web_routes.hpp"

#include <algorithm>
#include <memory>

#include "interpreter/http/web_form.hpp"

namespace vormel::web {
namespace {

struct Route {
  std::string method;
  std::vector<std::string> segments;
  Value handler;
  // A static prefix, without its trailing '/' ("" for "/"), and its folder.
  std::string prefix;
  std::shared_ptr<const http::StaticFolder> folder;
};

// Never destroyed: handlers are script values, and the process may end while serving.
std::vector<Route>& routes() {
  static auto* table = new std::vector<Route>();
  return *table;
}

// "/a/b" is {"a", "b"}; "/" is {""}.
std::vector<std::string_view> split_path(std::string_view path) {
  std::vector<std::string_view> segments;
  if (!path.empty() && path.front() == '/') path.remove_prefix(1);
  for (;;) {
    size_t slash = path.find('/');
    segments.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return segments;
}

bool segments_match(const Route& route, const std::vector<std::string_view>& segments,
                    std::vector<std::pair<std::string, std::string>>* params) {
  if (route.segments.size() != segments.size()) return false;
  for (size_t i = 0; i < segments.size(); ++i) {
    const std::string& pattern = route.segments[i];
    if (pattern.size() > 1 && pattern.front() == ':') {
      if (segments[i].empty()) return false;
      if (params != nullptr)
        params->emplace_back(pattern.substr(1), http::percent_decode(segments[i], false));
    } else if (pattern != segments[i]) {
      return false;
    }
  }
  return true;
}

}  // namespace

void add_route(std::string method, std::string_view pattern, Value handler) {
  Route route{std::move(method), {}, std::move(handler), {}, nullptr};
  for (std::string_view segment : split_path(pattern)) route.segments.emplace_back(segment);
  routes().push_back(std::move(route));
}

void add_static(std::string_view prefix, std::shared_ptr<const http::StaticFolder> folder) {
  while (!prefix.empty() && prefix.back() == '/') prefix.remove_suffix(1);
  routes().push_back(Route{"", {}, Value::null(), std::string(prefix), std::move(folder)});
}

RouteLookup find_route(std::string_view method, std::string_view path) {
  RouteLookup lookup;
  const std::vector<std::string_view> segments = split_path(path);
  auto allow = [&lookup](std::string_view other) {
    if (std::find(lookup.allowed.begin(), lookup.allowed.end(), other) == lookup.allowed.end())
      lookup.allowed.emplace_back(other);
  };
  for (const Route& route : routes()) {
    if (route.folder != nullptr) {
      if (!path.starts_with(route.prefix)) continue;
      std::string_view rest = path.substr(route.prefix.size());
      if (!rest.empty() && rest.front() != '/') continue;
      if (method != "GET" && method != "HEAD") {
        allow("GET");
        allow("HEAD");
        continue;
      }
      lookup.match = RouteMatch{Value::null(), {}, route.folder, rest};
      return lookup;
    }
    if (!segments_match(route, segments, nullptr)) continue;
    if (!route.method.empty() && route.method != method) {
      allow(route.method);
      continue;
    }
    RouteMatch match{route.handler, {}, nullptr, {}};
    segments_match(route, segments, &match.params);
    lookup.match = std::move(match);
    return lookup;
  }
  return lookup;
}

}  // namespace vormel::web
