// The "web" library module: routes answered by script functions, and the server that calls
// them. A request reaches its handler as a dict; what the handler returns (a String, a
// dict, or web.json(...)) becomes the response. See docs/web.md.
#include <arpa/inet.h>

#include <algorithm>
#include <array>
#include <memory>
#include <span>
#include <string>

#include "interpreter/errors.hpp"
#include "interpreter/http/json_text.hpp"
#include "interpreter/http/static_files.hpp"
#include "interpreter/http/web_form.hpp"
#include "interpreter/http/web_server.hpp"
#include "interpreter/library/json_parse.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/library_support.hpp"
#include "interpreter/library/web_routes.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

Value dict_of(Pairs&& pairs) {
  Dict dict;
  for (auto& [name, value] : pairs)
    dict.insert_or_assign(std::move(name), Value::string(std::move(value)));
  return Value::dict(std::move(dict));
}

// The headers as a dict; repeated headers are joined with ", ", as HTTP allows.
Dict header_dict(Pairs&& headers) {
  Dict dict;
  for (auto& [name, value] : headers) {
    if (const Value* earlier = dict.find(name)) value = earlier->as_string() + ", " + value;
    dict.insert_or_assign(std::move(name), Value::string(std::move(value)));
  }
  return dict;
}

// The media type without its parameters, lower-cased: "application/json".
std::string media_type(const Dict& headers) {
  const Value* header = headers.find("content-type");
  if (header == nullptr) return "";
  std::string type = header->as_string().substr(0, header->as_string().find(';'));
  while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) type.pop_back();
  for (char& c : type)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return type;
}

bool all_utf8(const Pairs& pairs) {
  for (const auto& [name, value] : pairs)
    if (!is_valid_utf8(name) || !is_valid_utf8(value)) return false;
  return true;
}

bool is_numeric(const Value& value) {
  return value.is(ValueKind::Number) || value.is(ValueKind::Float);
}

std::string text_of(const Value& value) {
  return value.is(ValueKind::String) ? value.as_string() : display_text(value);
}

bool safe_header_text(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

// A failing handler: the ERROR line, and a short 500 page for the client.
http::WebResponse handler_failure(std::string_view message,
                                  std::initializer_list<std::string_view> args) {
  log_error(message, args);
  return http::status_page(500);
}

// What a handler returned, as a response.
http::WebResponse response_of(const Value& result, const http::WebRequest& request,
                              std::string_view path) {
  const std::string& method = request.method;
  http::WebResponse response;
  if (result.is(ValueKind::String)) {
    response.body = result.as_string();
    return response;
  }
  if (result.is(ValueKind::Error))
    return handler_failure(messages::kWebHandlerFailed, {method, path, result.error_message()});
  if (!result.is(ValueKind::Dict))
    return handler_failure(messages::kWebHandlerResult, {method, path, type_name(result)});
  const Dict& fields = result.as_dict();
  if (const Value* status = fields.find("status")) {
    if (!status->is(ValueKind::Number) || status->as_number() < 100 || status->as_number() > 999)
      return handler_failure(messages::kWebHandlerStatus, {method, path, display_text(*status)});
    response.status = static_cast<int>(status->as_number());
  }
  if (const Value* body = fields.find("body")) response.body = text_of(*body);
  if (const Value* type = fields.find("type")) response.type = text_of(*type);
  if (!safe_header_text(response.type))
    return handler_failure(messages::kWebHandlerHeader, {method, path, "content-type"});
  if (const Value* headers = fields.find("headers"); headers && headers->is(ValueKind::Dict)) {
    for (const Dict::Entry& entry : headers->as_dict().entries()) {
      const std::string_view name = entry.key();
      std::string text = text_of(entry.value());
      if (name.empty() || !safe_header_text(name) || !safe_header_text(text) ||
          name.find(':') != std::string_view::npos)
        return handler_failure(messages::kWebHandlerHeader, {method, path, name});
      response.headers.emplace_back(std::string(name), std::move(text));
    }
  }
  return response;
}

// The last value of a header (by its lower-case name), or "".
std::string_view header_value(const Pairs& headers, std::string_view name) {
  std::string_view value;
  for (const auto& header : headers)
    if (header.first == name) value = header.second;
  return value;
}

// Answers one request: the route, the request dict, the handler, its result; or a file. The
// request's strings move into the dict.
http::WebResponse answer(http::WebRequest& request, const NativeCallContext& context) {
  std::string_view target = request.target;
  size_t question = target.find('?');
  std::string_view raw_path = target.substr(0, question);
  web::RouteLookup lookup = web::find_route(request.method, raw_path);
  if (lookup.match && lookup.match->folder)
    return http::static_file(*lookup.match->folder, request.method, lookup.match->rest,
                             header_value(request.headers, "if-modified-since"));
  std::string_view raw_query =
      question == std::string_view::npos ? std::string_view() : target.substr(question + 1);
  std::string path = http::percent_decode(raw_path, false);
  Pairs query = http::form_pairs(raw_query);
  if (!is_valid_utf8(path) || !all_utf8(query) || !all_utf8(request.headers) ||
      !is_valid_utf8(request.body))
    return http::status_page(400);

  if (!lookup.match) {
    if (lookup.allowed.empty()) return http::status_page(404);
    http::WebResponse refused = http::status_page(405);
    std::string allow;
    for (const std::string& method : lookup.allowed)
      allow.append(allow.empty() ? "" : ", ").append(method);
    refused.headers.emplace_back("Allow", std::move(allow));
    return refused;
  }
  for (const auto& [name, value] : lookup.match->params)
    if (!is_valid_utf8(value)) return http::status_page(400);

  Dict headers = header_dict(std::move(request.headers));
  std::string type = media_type(headers);
  Value json = Value::null();
  if (type == "application/json") {
    json = parse_json(request.body);
    if (json.is(ValueKind::Error)) return http::status_page(400);
  }
  Pairs form_fields;
  if (type == "application/x-www-form-urlencoded") {
    form_fields = http::form_pairs(request.body);
    if (!all_utf8(form_fields)) return http::status_page(400);
  }

  Dict fields;
  fields.insert_or_assign("method", Value::string(request.method));
  fields.insert_or_assign("path", Value::string(path));
  fields.insert_or_assign("query", dict_of(std::move(query)));
  fields.insert_or_assign("params", dict_of(std::move(lookup.match->params)));
  fields.insert_or_assign("headers", Value::dict(std::move(headers)));
  fields.insert_or_assign("body", Value::string(std::move(request.body)));
  fields.insert_or_assign("form", dict_of(std::move(form_fields)));
  fields.insert_or_assign("json", std::move(json));
  std::array<Value, 1> args = {Value::dict(std::move(fields))};
  Value result = library::call_back(context, "web.serve", lookup.match->handler, args);
  return response_of(result, request, path);
}

bool is_callable(const Value& value) {
  return value.is(ValueKind::Function) || value.is(ValueKind::BuiltinFunction);
}

Value add_route(std::string_view function, std::string method, std::span<Value> args) {
  if (!args[0].is(ValueKind::String)) return library::expected(function, "a path", args[0]);
  const std::string& path = args[0].as_string();
  if (path.empty() || path.front() != '/')
    return library::error(messages::kWebPathStart, {function, path});
  if (!is_callable(args[1])) return library::expected(function, "a function", args[1]);
  web::add_route(std::move(method), path, args[1]);
  return Value::null();
}

Value web_route(std::span<Value> args, const NativeCallContext&) {
  return add_route("web.route", "", args);
}
Value web_get(std::span<Value> args, const NativeCallContext&) {
  return add_route("web.get", "GET", args);
}
Value web_post(std::span<Value> args, const NativeCallContext&) {
  return add_route("web.post", "POST", args);
}
Value web_put(std::span<Value> args, const NativeCallContext&) {
  return add_route("web.put", "PUT", args);
}
Value web_delete(std::span<Value> args, const NativeCallContext&) {
  return add_route("web.delete", "DELETE", args);
}

Value web_static(std::span<Value> args, const NativeCallContext&) {
  if (!args[0].is(ValueKind::String)) return library::expected("web.static", "a path", args[0]);
  const std::string& prefix = args[0].as_string();
  if (prefix.empty() || prefix.front() != '/')
    return library::error(messages::kWebPathStart, {"web.static", prefix});
  if (!args[1].is(ValueKind::String)) return library::expected("web.static", "a folder", args[1]);
  const std::string& folder = args[1].as_string();
  if (folder.find('\0') != std::string::npos) return library::error(messages::kWebStaticNul, {});
  auto opened = std::make_shared<http::StaticFolder>();
  if (int failure = http::open_static_folder(folder, *opened); failure != 0)
    return library::error(messages::kWebStaticFolder, {folder, http::system_error_text(failure)});
  web::add_static(prefix, std::move(opened));
  return Value::null();
}

Value web_json(std::span<Value> args, const NativeCallContext&) {
  int64_t status = 200;
  if (args.size() > 1) {
    if (!args[1].is(ValueKind::Number)) return library::expected("web.json", "a status", args[1]);
    status = args[1].as_number();
    if (status < 100 || status > 999)
      return library::error(messages::kWebJsonStatus, {std::to_string(status)});
  }
  http::JsonLayout layout;
  layout.floats_keep_point = true;
  Dict response;
  response.insert_or_assign("status", Value::number(status));
  response.insert_or_assign("body", Value::string(http::to_json(args[0], layout)));
  response.insert_or_assign("type", Value::string("application/json"));
  return Value::dict(std::move(response));
}

// web.serve's third argument; an Error value for an unknown name or a value of the wrong kind.
Value read_options(const Value& given, http::WebOptions& options) {
  if (!given.is(ValueKind::Dict)) return library::expected("web.serve", "options as a dict", given);
  for (const Dict::Entry& entry : given.as_dict().entries()) {
    const std::string_view name = entry.key();
    const Value& value = entry.value();
    if (name == "max_body") {
      if (!value.is(ValueKind::Number))
        return library::expected("web.serve", "max_body as a number of bytes", value);
      if (value.as_number() < 0)
        return library::error(messages::kWebMaxBodyRange, {display_text(value)});
      options.max_body = static_cast<size_t>(value.as_number());
    } else if (name == "share_port") {
      if (!value.is(ValueKind::Boolean))
        return library::expected("web.serve", "share_port as true or false", value);
      options.share_port = value.as_boolean();
    } else {
      return library::error(messages::kWebUnknownOption, {name});
    }
  }
  return Value::null();
}

Value web_serve(std::span<Value> args, const NativeCallContext& context) {
  static bool serving = false;
  if (!is_numeric(args[0])) return library::expected("web.serve", "a port number", args[0]);
  if (!args[0].is(ValueKind::Number) || args[0].as_number() < 0 || args[0].as_number() > 65535)
    return library::error(messages::kWebPortRange, {display_text(args[0])});
  auto port = static_cast<uint16_t>(args[0].as_number());
  std::string host = "127.0.0.1";
  if (args.size() > 1) {
    if (!args[1].is(ValueKind::String)) return library::expected("web.serve", "a host", args[1]);
    host = args[1].as_string();
  }
  in_addr address{};
  if (host.find('\0') != std::string::npos || ::inet_pton(AF_INET, host.c_str(), &address) != 1)
    return library::error(messages::kWebNotIpv4, {host});
  http::WebOptions options;
  if (args.size() > 2)
    if (Value problem = read_options(args[2], options); problem.is(ValueKind::Error))
      return problem;
  // A handler that serves again would never return to the first server.
  if (serving) return library::error(messages::kWebAlreadyServing, {});
  serving = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{serving};
  http::WebHandler handler = [&context](http::WebRequest& request) {
    return answer(request, context);
  };
  std::string cause = http::serve_web(port, address.s_addr, host, handler, options);
  return library::error(messages::kWebCannotListen, {host, std::to_string(port), cause});
}

// In this order the module exports them.
constexpr std::array<NativeFunction, 8> kWebFunctions = {{
    {"route", 2, "", "route(path, handler)",
     "Answers requests of every method for a path (\"/users/:id\") with handler(request).",
     web_route},
    {"get", 2, "", "get(path, handler)", "Answers GET requests for a path.", web_get},
    {"post", 2, "", "post(path, handler)", "Answers POST requests for a path.", web_post},
    {"put", 2, "", "put(path, handler)", "Answers PUT requests for a path.", web_put},
    {"delete", 2, "", "delete(path, handler)", "Answers DELETE requests for a path.", web_delete},
    {"static", 2, "", "static(url_prefix, folder)",
     "Answers GET and HEAD requests under url_prefix with the files of folder.", web_static},
    {"json", 1, "", "json(value[, status])",
     "A response whose body is the value as JSON (application/json).", web_json},
    {"serve", 1, "", "serve(port[, host[, options]])",
     "Serves the routes on host (127.0.0.1 unless given) until Ctrl-C; returns only an error. "
     "Options: {max_body: bytes, share_port: true}.",
     web_serve},
}};

constexpr NativeModule kWebModule = {"web", kWebFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& web_module() { return kWebModule; }

}  // namespace vormel
