#include "interpreter/http/request_path.hpp"

#include <vector>

#include "support/text_format.hpp"
#include "support/unicode_rules.hpp"

namespace vormel::http {
namespace {

// The received bytes up to the first line feed, with invalid UTF-8 replaced.
std::string decoded_first_line(std::string_view received) {
  std::string line;
  size_t pos = 0;
  while (pos < received.size()) {
    char32_t cp = decode_utf8(received, pos);
    if (cp == U'\n') break;
    append_utf8(line, cp);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

std::string request_path(std::string_view received) {
  std::string line = decoded_first_line(received);
  std::string_view text = line;
  int word_index = -1;
  size_t word_start = 0;
  bool in_word = false;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t start = pos;
    bool space = true;
    if (pos < text.size())
      space = unicode::is_white_space(decode_utf8(text, pos));
    else
      ++pos;  // the end of the line closes the last word
    if (!space && !in_word) {
      in_word = true;
      word_start = start;
      ++word_index;
    } else if (space && in_word) {
      in_word = false;
      if (word_index == 1) return std::string(text.substr(word_start, start - word_start));
    }
  }
  return "/";
}

}  // namespace vormel::http
