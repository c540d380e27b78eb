// The web module's server: the poll loop of the page server (one thread, every connection
// waited on at once, the same time-outs and drain), with keep-alive connections whose
// requests are read by WebRequestReader and answered by a handler the caller gives.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "interpreter/http/page_server.hpp"
#include "interpreter/http/web_request_reader.hpp"
#include "interpreter/http/web_response.hpp"

namespace vormel::http {

// The handler may move the request's strings out.
using WebHandler = std::function<WebResponse(WebRequest&)>;

// What a script may choose (web.serve's options).
struct WebOptions {
  size_t max_body = kWebBodyBytes;  // longer bodies are refused (413)
  bool share_port = false;          // SO_REUSEPORT: other processes may listen on the port too
};

// Prints "Starting web server on port P" and "Server listening on http://HOST:P", then
// serves until Ctrl-C (Interrupted). Returns only when listening fails, with the cause.
std::string serve_web(uint16_t port, in_addr_t address, std::string_view host,
                      const WebHandler& handler, const WebOptions& options = {},
                      const ServerLimits& limits = {});

}  // namespace vormel::http
