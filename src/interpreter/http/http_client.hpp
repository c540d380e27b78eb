// The plain-HTTP/1.1 client: one request over a fresh connection, read until the server
// closes it, the raw response handed back unchanged.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace vormel::http {

struct ClientLimits {
  // Connecting, writing or reading fails after this long without any progress.
  std::chrono::milliseconds idle_timeout{30000};
};

struct RequestOutcome {
  bool ok = false;
  std::string text;  // the whole response, or the failure message
};

// The exact request text: request line, Host (without the port), Connection: close and the
// body's length in bytes, then the body.
std::string request_text(std::string_view method, std::string_view path, std::string_view host,
                         std::string_view body);

RequestOutcome http_request(std::string_view url, std::string_view method, std::string_view body,
                            const ClientLimits& limits = {});

}  // namespace vormel::http
