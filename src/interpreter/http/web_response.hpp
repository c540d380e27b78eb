// A response of the web module's server, and its bytes on the wire: the status line, the
// type and length, the handler's own headers, then the body.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vormel::http {

class OwnedDescriptor;

struct WebResponse {
  int status = 200;
  std::string type = "text/html; charset=utf-8";
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  // A large file, sent after the body as the client takes it: `file_length` bytes.
  std::shared_ptr<OwnedDescriptor> file;
  size_t file_length = 0;
  // HEAD and 304: the headers as they would be (Content-Length counts the body and
  // `file_length`), without the body or the file.
  bool headers_only = false;
};

// `closing` adds "Connection: close", else `say_keep_alive` (for HTTP/1.0 clients)
// "Connection: keep-alive". A handler's own Content-Length is left out: the length is always
// the body's.
std::string response_bytes(const WebResponse& response, bool closing, bool say_keep_alive = false);
// A short page for a status the server gives by itself (404, 405, 413 ...).
WebResponse status_page(int status);
std::string_view web_reason_phrase(int status);

}  // namespace vormel::http
