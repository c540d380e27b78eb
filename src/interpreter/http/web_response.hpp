// A response of the web module's server, and its bytes on the wire: the status line, the
// type and length, the handler's own headers, then the body.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vormel::http {

struct WebResponse {
  int status = 200;
  std::string type = "text/html; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
};

// How the response ends the connection header: none, "Connection: close", or (to an
// HTTP/1.0 client whose connection stays open) "Connection: keep-alive".
enum class ConnectionHeader { None, Close, KeepAlive };

// The status line, headers and body. A handler's own Content-Length and Connection are
// left out: the length is always the body's.
std::string response_bytes(const WebResponse& response, ConnectionHeader connection);
// A short page for a status the server gives by itself (404, 405, 413 ...).
WebResponse status_page(int status);
std::string_view web_reason_phrase(int status);

}  // namespace vormel::http
