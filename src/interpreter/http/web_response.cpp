#include "interpreter/http/web_response.hpp"

#include <array>

#include "interpreter/http/status_line.hpp"

namespace vormel::http {
namespace {

// The statuses the web server gives by itself, beyond the http module's table.
constexpr std::array<std::pair<int, std::string_view>, 13> kMoreReasons = {{
    {100, "Continue"},
    {202, "Accepted"},
    {303, "See Other"},
    {307, "Temporary Redirect"},
    {308, "Permanent Redirect"},
    {409, "Conflict"},
    {429, "Too Many Requests"},
    {405, "Method Not Allowed"},
    {408, "Request Timeout"},
    {413, "Content Too Large"},
    {415, "Unsupported Media Type"},
    {422, "Unprocessable Content"},
    {431, "Request Header Fields Too Large"},
}};

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] + 32) : a[i];
    char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace

std::string_view web_reason_phrase(int status) {
  for (const auto& [known, phrase] : kMoreReasons)
    if (known == status) return phrase;
  return reason_phrase(status);
}

std::string response_bytes(const WebResponse& response, bool closing, bool say_keep_alive) {
  std::string out = status_line(response.status, web_reason_phrase(response.status));
  out += "\r\nContent-Type: ";
  out += response.type;
  out += "\r\nContent-Length: ";
  out += std::to_string(response.body.size() + response.file_length);
  out += "\r\n";
  for (const auto& [name, value] : response.headers) {
    if (same_name_ignoring_case(name, "content-length") ||
        same_name_ignoring_case(name, "connection"))
      continue;
    out.append(name).append(": ").append(value).append("\r\n");
  }
  if (closing)
    out += "Connection: close\r\n";
  else if (say_keep_alive)
    out += "Connection: keep-alive\r\n";
  out += "\r\n";
  if (!response.headers_only) out += response.body;
  return out;
}

WebResponse status_page(int status) {
  WebResponse response;
  response.status = status;
  std::string title = std::to_string(status) + " " + std::string(web_reason_phrase(status));
  response.body = "<!DOCTYPE html>\n<title>" + title + "</title>\n<h1>" + title + "</h1>\n";
  return response;
}

}  // namespace vormel::http
