// The server's two response shapes, byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace vormel::http {

// "200 OK" with Content-Type text/html, the content's length in bytes and the content.
std::string found_response(std::string_view content);
// The fixed 80-byte "404 Not Found" response.
std::string_view not_found_response();
// The response for a request path: the first page registered under it, or the 404.
std::string response_for_path(std::string_view path);

}  // namespace vormel::http
