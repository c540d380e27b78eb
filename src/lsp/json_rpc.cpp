// Headers end with an empty line; only Content-Length matters (Content-Type is accepted and
// ignored). Lines may end with "\r\n" or, leniently, "\n".
#include "lsp/json_rpc.hpp"

#include <cctype>
#include <istream>
#include <ostream>

namespace vormel {
namespace {

bool starts_with_ignoring_case(const std::string& text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

}  // namespace

ReadResult read_message(std::istream& in, std::string& body) {
  std::optional<size_t> length;
  std::string line;
  bool any_header = false;
  for (;;) {
    if (!std::getline(in, line)) return any_header ? ReadResult::BadFrame : ReadResult::EndOfInput;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) {
      if (!any_header) continue;  // stray blank lines between messages
      break;
    }
    any_header = true;
    constexpr std::string_view kLength = "content-length:";
    if (starts_with_ignoring_case(line, kLength)) {
      size_t value = 0;
      bool digits = false;
      for (size_t i = kLength.size(); i < line.size(); ++i) {
        char c = line[i];
        if (c == ' ' || c == '\t') continue;
        if (c < '0' || c > '9' || value > kLargestMessageBytes) return ReadResult::BadFrame;
        value = value * 10 + static_cast<size_t>(c - '0');
        digits = true;
      }
      if (!digits) return ReadResult::BadFrame;
      length = value;
    }
  }
  if (!length || *length > kLargestMessageBytes) return ReadResult::BadFrame;
  body.assign(*length, '\0');
  if (!in.read(body.data(), static_cast<std::streamsize>(*length))) return ReadResult::BadFrame;
  return ReadResult::Message;
}

bool nesting_within(std::string_view body, size_t limit) {
  size_t depth = 0;
  bool in_string = false;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (in_string) {
      if (c == '\\') ++i;
      else if (c == '"') in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return false;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return true;
}

void write_message(std::ostream& out, const nlohmann::json& message) {
  // Invalid UTF-8 in a document must not make the dump throw: replace it.
  std::string body = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  out << "Content-Length: " << body.size() << "\r\n\r\n" << body;
  out.flush();
}

}  // namespace vormel
