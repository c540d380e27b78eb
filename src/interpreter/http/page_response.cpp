#include "interpreter/http/page_response.hpp"

#include <utility>

namespace vormel::http {

PageResponse found_response(PageContent content) {
  std::string head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: ";
  head += std::to_string(content->size());
  head += "\r\n\r\n";
  return {std::move(head), std::move(content)};
}

std::string_view not_found_response() {
  return "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n\r\nNot "
         "Found";
}

PageResponse response_for_path(std::string_view path) {
  if (PageContent content = find_page(path)) return found_response(std::move(content));
  return {std::string(not_found_response()), nullptr};
}

}  // namespace vormel::http
