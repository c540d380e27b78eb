// A client url taken apart into host, port and path. Only "http://" is recognised; a query
// or fragment stays in the path; user information and bracketed IPv6 hosts are not parsed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vormel::http {

struct UrlParts {
  bool https = false;  // the url begins "https://": refused, nothing else is filled in
  std::string host;
  uint16_t port = 80;
  std::string path = "/";
};

UrlParts split_url(std::string_view url);
// Digits with one optional leading '+', at most 65535; anything else gives 80.
uint16_t port_or_default(std::string_view text);

}  // namespace vormel::http
