#include "interpreter/http/page_response.hpp"

#include "interpreter/http/route_table.hpp"

namespace vormel::http {

std::string found_response(std::string_view content) {
  std::string response = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: ";
  response += std::to_string(content.size());
  response += "\r\n\r\n";
  response += content;
  return response;
}

std::string_view not_found_response() {
  return "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n\r\nNot Found";
}

std::string response_for_path(std::string_view path) {
  if (auto content = find_page(path)) return found_response(*content);
  return std::string(not_found_response());
}

}  // namespace vormel::http
