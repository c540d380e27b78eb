// Puts the two families of warnings together in source order.
#include "checker/check.hpp"

#include <algorithm>

#include "checker/warnings.hpp"
#include "support/text_format.hpp"

namespace vormel {

namespace {

// The position one character after `at` on the same line.
SourcePosition one_character_after(std::string_view source, SourcePosition at) {
  SourcePosition next = at;
  if (next.offset < source.size() && source[next.offset] != '\n') decode_utf8(source, next.offset);
  next.column = at.column + 1;
  return next;
}

}  // namespace

Warning warning_at(const ScriptView& view, SourcePosition at, std::string message) {
  return Warning{at, one_character_after(view.source, at), std::move(message)};
}

Warning warning_at_token(const ScriptView& view, size_t token, std::string message) {
  token = std::min(token, view.tokens.size() - 1);
  Warning warning{view.trace.token_starts[token], view.trace.token_ends[token], std::move(message)};
  if (warning.end.offset <= warning.at.offset)
    warning.end = one_character_after(view.source, warning.at);
  return warning;
}

std::string token_text(const ScriptView& view, size_t token) {
  // A warning is one line: a long or multi-line token (a string) shows its start only.
  constexpr size_t kLongest = 24;
  std::string_view text = view.spelling(token);
  std::string shown;
  size_t characters = 0;
  for (size_t p = 0; p < text.size();) {
    char32_t c = decode_utf8(text, p);
    if (c == '\n' || c == '\r' || ++characters > kLongest) {
      shown += "...";
      break;
    }
    append_utf8(shown, c < 0x20 || c == 0x7F ? U' ' : c);
  }
  return shown;
}

std::string quoted_token(const ScriptView& view, size_t token) {
  if (view.spelling(token).empty()) return "the end of the file";
  return "'" + token_text(view, token) + "'";
}

std::vector<Warning> check_source(std::string_view source, const CheckOptions& options) {
  ScriptView view = read_script_view(source);
  std::vector<Warning> warnings;
  add_front_end_warnings(view, warnings);
  add_script_warnings(view, options, warnings);
  std::stable_sort(warnings.begin(), warnings.end(),
                   [](const Warning& a, const Warning& b) { return a.at.offset < b.at.offset; });
  return warnings;
}

std::string format_warning(std::string_view file, const Warning& warning) {
  return std::string(file) + ":" + std::to_string(warning.at.line) + ":" +
         std::to_string(warning.at.column) + ": warning: " + warning.message;
}

}  // namespace vormel
