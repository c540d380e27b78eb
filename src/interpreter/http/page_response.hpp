// The server's two response shapes, byte for byte.
#pragma once

#include <string>
#include <string_view>

#include "interpreter/http/route_table.hpp"

namespace vormel::http {

// A response as the server sends it: the head, then the page's content (shared with the
// route table; null for the 404, whose head is the whole response).
struct PageResponse {
  std::string head;
  PageContent content;

  size_t size() const { return head.size() + (content ? content->size() : 0); }
  std::string bytes() const { return content ? head + *content : head; }
};

// "200 OK" with Content-Type text/html, the content's length in bytes and the content.
PageResponse found_response(PageContent content);
// The fixed 80-byte "404 Not Found" response.
std::string_view not_found_response();
// The response for a request path: the first page registered under it, or the 404.
PageResponse response_for_path(std::string_view path);

}  // namespace vormel::http
