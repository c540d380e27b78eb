// The "http" module's function table: the functions check their arguments' kinds (the
// table's minimum counts are checked before they run), then call the server, template,
// status, JSON and client functions of this folder.
#include "interpreter/http/http.hpp"

#include <array>
#include <string>

#include "interpreter/http/http_client.hpp"
#include "interpreter/http/json_text.hpp"
#include "interpreter/http/page_server.hpp"
#include "interpreter/http/route_table.hpp"
#include "interpreter/http/status_line.hpp"
#include "interpreter/http/template_file.hpp"
#include "interpreter/messages.hpp"
#include "interpreter/native_modules.hpp"
#include "support/text_case.hpp"

namespace vormel {
namespace {

// An argument's text is its display text.
std::string text_of(const Value& value) {
  if (value.is(ValueKind::String)) return value.as_string();
  return display_text(value);
}

bool is_numeric(const Value& value) {
  return value.is(ValueKind::Number) || value.is(ValueKind::Float);
}

Value error(std::string_view message) { return Value::error(std::string(message)); }

Value request_result(http::RequestOutcome outcome) {
  if (!outcome.ok) return Value::error(std::move(outcome.text));
  return Value::string(std::move(outcome.text));
}

Value http_page(std::span<Value> args, const NativeCallContext&) {
  http::add_page(text_of(args[0]), text_of(args[1]));
  return Value::null();
}

Value http_serve(std::span<Value> args, const NativeCallContext&) {
  if (!is_numeric(args[0])) return error(messages::kHttpPortKind);
  auto port = static_cast<uint16_t>(static_cast<uint64_t>(to_integer(args[0])));
  std::string cause = http::serve_pages(port);
  return Value::error(format_message(messages::kHttpBindFailed, {cause}));
}

Value http_template(std::span<Value> args, const NativeCallContext&) {
  http::TemplateText file = http::read_template(text_of(args[0]));
  if (!file.ok) return Value::error(format_message(messages::kHttpTemplateUnreadable, {file.text}));
  return Value::string(std::move(file.text));
}

Value http_json(std::span<Value> args, const NativeCallContext&) {
  return Value::string(http::to_json(args[0]));
}

Value http_status(std::span<Value> args, const NativeCallContext&) {
  if (!is_numeric(args[0])) return error(messages::kHttpStatusKind);
  int64_t code = to_integer(args[0]);
  if (args.size() == 1) return Value::string(http::status_line(code, http::reason_phrase(code)));
  return Value::string(http::status_line(code, text_of(args[1])));
}

Value http_send(std::span<Value> args, const NativeCallContext&) {
  // The method is upper-cased by the same full Unicode mapping as the upper built-in.
  return request_result(http::http_request(
      text_of(args[0]), to_case(text_of(args[1]), TextCase::Upper), text_of(args[2])));
}

Value http_get(std::span<Value> args, const NativeCallContext&) {
  return request_result(http::http_request(text_of(args[0]), "GET", ""));
}

Value http_post(std::span<Value> args, const NativeCallContext&) {
  return request_result(http::http_request(text_of(args[0]), "POST", text_of(args[1])));
}

// In this order the module exports them. The too-few messages are the module's answers to
// a call with fewer arguments than the function needs.
constexpr std::array<NativeFunction, 8> kHttpFunctions = {{
    {"page", 2, "page requires a path and content", "page(path, content)",
     "Registers a static page for the server.", http_page},
    {"serve", 1, "serve requires a port number", "serve(port)",
     "Serves the registered pages on 127.0.0.1; does not return.", http_serve},
    {"template", 1, "template requires a filepath", "template(path)", "The whole text of a file.",
     http_template},
    {"json", 1, "json requires an argument", "json(value)", "The value as JSON text.", http_json},
    {"status", 1, "status requires a status code", "status(code, reason)",
     "An HTTP/1.1 status line.", http_status},
    {"send", 3, "send requires url, method, and optionally body", "send(url, method, body)",
     "Sends a request with any method; the whole response, or an error.", http_send},
    {"get", 1, "get requires a url", "get(url)",
     "Sends a GET request; the whole response, or an error.", http_get},
    {"post", 2, "post requires a url and body", "post(url, body)",
     "Sends a POST request; the whole response, or an error.", http_post},
}};

constexpr NativeModule kHttpModule = {"http", kHttpFunctions, messages::kHttpFunctionMissing};

}  // namespace

const NativeModule& http_module() { return kHttpModule; }

}  // namespace vormel
