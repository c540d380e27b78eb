#include "interpreter/http/url_parts.hpp"

namespace vormel::http {

uint16_t port_or_default(std::string_view text) {
  constexpr uint16_t kDefault = 80;
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty()) return kDefault;
  uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return kDefault;
    value = value * 10 + static_cast<uint32_t>(c - '0');
    if (value > 65535) return kDefault;
  }
  return static_cast<uint16_t>(value);
}

UrlParts split_url(std::string_view url) {
  UrlParts parts;
  if (url.starts_with("http://")) {
    url.remove_prefix(7);
  } else if (url.starts_with("https://")) {
    parts.https = true;
    return parts;
  }
  std::string_view host_and_port = url;
  if (size_t slash = url.find('/'); slash != std::string_view::npos) {
    host_and_port = url.substr(0, slash);
    parts.path = std::string(url.substr(slash));
  }
  if (size_t colon = host_and_port.find(':'); colon != std::string_view::npos) {
    parts.host = std::string(host_and_port.substr(0, colon));
    parts.port = port_or_default(host_and_port.substr(colon + 1));
  } else {
    parts.host = std::string(host_and_port);
  }
  return parts;
}

}  // namespace vormel::http
