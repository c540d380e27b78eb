#include "interpreter/http/status_line.hpp"

#include <array>
#include <utility>

namespace vormel::http {
namespace {

constexpr std::array<std::pair<int64_t, std::string_view>, 13> kReasonPhrases = {{
    {200, "OK"},
    {201, "Created"},
    {204, "No Content"},
    {301, "Moved Permanently"},
    {302, "Found"},
    {304, "Not Modified"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {500, "Internal Server Error"},
    {502, "Bad Gateway"},
    {503, "Service Unavailable"},
}};

}  // namespace

std::string_view reason_phrase(int64_t code) {
  for (const auto& [known, phrase] : kReasonPhrases)
    if (known == code) return phrase;
  return "Unknown";
}

std::string status_line(int64_t code, std::string_view reason) {
  std::string line = "HTTP/1.1 ";
  line += std::to_string(code);
  line += ' ';
  line += reason;
  return line;
}

}  // namespace vormel::http
