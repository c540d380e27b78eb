#include "interpreter/library/json_parse.hpp"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "interpreter/library/library_support.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

using nlohmann::json;

// Builds values from the parser's events. Containers being filled wait on a stack, so the
// depth is counted (and bounded) here rather than in native recursion.
class ValueBuilder {
 public:
  bool null() { return add(Value::null()); }
  bool boolean(bool value) { return add(Value::boolean(value)); }
  bool number_integer(json::number_integer_t value) { return add(Value::number(value)); }
  bool number_unsigned(json::number_unsigned_t value) {
    if (value <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
      return add(Value::number(static_cast<int64_t>(value)));
    return add(Value::floating(static_cast<double>(value)));
  }
  bool number_float(json::number_float_t value, const json::string_t&) {
    return add(Value::floating(value));
  }
  bool string(json::string_t& value) { return add(Value::string(std::move(value))); }
  bool binary(json::binary_t&) { return false; }  // only binary formats produce these

  bool start_object(std::size_t) { return open(true); }
  bool key(json::string_t& key) {
    open_.back().key = std::move(key);
    return true;
  }
  bool end_object() {
    Value dict = Value::dict(std::move(open_.back().entries));
    open_.pop_back();
    return add(std::move(dict));
  }
  bool start_array(std::size_t) { return open(false); }
  bool end_array() {
    Value array = Value::array(std::move(open_.back().items));
    open_.pop_back();
    return add(std::move(array));
  }

  bool parse_error(std::size_t position, const std::string& last_token,
                   const nlohmann::detail::exception& error) {
    error_position_ = position;
    error_token_ = last_token;
    error_text_ = error.what();
    return false;
  }

  bool too_deep() const { return too_deep_; }
  size_t error_position() const { return error_position_; }
  const std::string& error_token() const { return error_token_; }
  const std::string& error_text() const { return error_text_; }
  Value take_result() { return std::move(result_); }

 private:
  struct OpenContainer {
    bool is_object;
    ValueList items;
    Dict entries;
    std::string key;
  };

  bool open(bool is_object) {
    if (open_.size() == kJsonMaxDepth) {
      too_deep_ = true;
      return false;
    }
    open_.push_back({is_object, {}, {}, {}});
    return true;
  }
  bool add(Value value) {
    if (open_.empty()) {
      result_ = std::move(value);
    } else if (open_.back().is_object) {
      // A repeated key keeps its first place and takes the last value.
      open_.back().entries.insert_or_assign(open_.back().key, std::move(value));
    } else {
      open_.back().items.push_back(std::move(value));
    }
    return true;
  }

  std::vector<OpenContainer> open_;
  Value result_;
  bool too_deep_ = false;
  size_t error_position_ = 0;
  std::string error_token_;
  std::string error_text_;
};

// Line and column (both from 1, the column counting characters) of byte `offset`.
std::pair<size_t, size_t> line_and_column(std::string_view text, size_t offset) {
  size_t line_start = 0;
  size_t line = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  // A byte order mark is invisible in an editor, so it takes no column.
  if (line == 1 && text.starts_with("\xEF\xBB\xBF") && offset >= 3) line_start = 3;
  size_t column = 1;
  for (size_t i = line_start; i < offset; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++column;
  return {line, column};
}

// The offset of the bracket that opens level `depth` (from 1), in text that is valid JSON
// up to it.
size_t offset_of_level(std::string_view text, size_t depth) {
  size_t level = 0;
  bool in_string = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++level == depth) return i;
    } else if (c == ']' || c == '}') {
      --level;
    }
  }
  return text.size();
}

bool is_word_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The word of letters and digits around byte `offset` ("NaN", "tru"), or the one character
// there when it is none of those.
std::pair<size_t, size_t> word_around(std::string_view text, size_t offset) {
  size_t start = offset;
  size_t stop = offset;
  while (start > 0 && is_word_byte(text[start - 1])) --start;
  while (stop < text.size() && is_word_byte(text[stop])) ++stop;
  if (stop == start && stop < text.size()) decode_utf8(text, stop);
  return {start, stop};
}

// A token quoted for a message: its first characters, with control characters and bytes
// that are not UTF-8 written as escapes so the message stays readable text.
std::string quoted_token(std::string_view token) {
  static constexpr size_t kShownCharacters = 20;
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "'";
  size_t pos = 0;
  for (size_t shown = 0; pos < token.size() && shown < kShownCharacters; ++shown) {
    size_t start = pos;
    char32_t c = decode_utf8(token, pos);
    bool invalid = c == 0xFFFD && !token.substr(start).starts_with("\xEF\xBF\xBD");
    if (invalid) {
      auto byte = static_cast<unsigned char>(token[start]);
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out.append(token.substr(start, pos - start));
    }
  }
  if (pos < token.size()) out += "...";
  return out + "'";
}

struct ParseProblem {
  std::string what;
  size_t offset;
};

// What the parser reported, in this module's words, and the byte it is about: the start of
// an unexpected token, or the offending byte inside a string or number.
ParseProblem describe(std::string_view text, const ValueBuilder& builder) {
  const std::string& report = builder.error_text();
  auto contains = [&](std::string_view part) { return report.find(part) != std::string::npos; };
  auto unexpected = [&](size_t start, size_t stop) {
    std::string token = quoted_token(text.substr(start, stop - start));
    return ParseProblem{format_message(messages::kJsonUnexpected, {token}), start};
  };
  // The parser's position is just past the last byte it read (or past the end, when it
  // read the end).
  bool read_past_end = builder.error_position() > text.size();
  size_t end = std::min(builder.error_position(), text.size());
  size_t last_byte = end > 0 ? end - 1 : 0;
  auto unexpected_end = [&] {
    // The parser takes a NUL byte for the end; here it is a byte that has no place in JSON.
    if (!read_past_end && end > 0 && text[last_byte] == '\0') return unexpected(last_byte, end);
    return ParseProblem{format_message(messages::kJsonUnexpected, {messages::kJsonEndOfText}),
                        text.size()};
  };

  if (contains("number overflow")) {
    size_t start = end - std::min(end, builder.error_token().size());
    return {format_message(messages::kJsonNumberOutOfRange,
                           {quoted_token(text.substr(start, end - start))}),
            start};
  }
  if (contains("; last read:")) {  // the lexer's own complaint about a token
    if (contains("invalid BOM")) return {std::string(messages::kJsonInvalidUtf8), 0};
    if (contains("invalid literal")) {
      if (read_past_end && end > 0 && !is_word_byte(text[last_byte])) return unexpected_end();
      auto [start, stop] = word_around(text, read_past_end ? end : last_byte);
      return unexpected(start, stop);
    }
    if (read_past_end) return unexpected_end();
    if (contains("control character"))
      return {std::string(messages::kJsonControlCharacter), last_byte};
    if (contains("4 hex digits")) return {std::string(messages::kJsonBadUnicodeEscape), last_byte};
    if (contains("surrogate"))  // at the escape, which the parser has read past
      return {std::string(messages::kJsonLoneSurrogate),
              std::min(last_byte, text.rfind("\\u", last_byte))};
    if (contains("after backslash")) return {std::string(messages::kJsonBadEscape), last_byte};
    if (contains("UTF-8")) return {std::string(messages::kJsonInvalidUtf8), last_byte};
    if (contains("invalid number")) return {std::string(messages::kJsonBadNumber), last_byte};
  }
  // A whole token in the wrong place. Strings and numbers are the parser's last token text;
  // true, false and null are known words; the rest are one character.
  if (contains("unexpected end of input") || end == 0) return unexpected_end();
  size_t length = 1;
  if (contains("unexpected string literal") || contains("unexpected number literal"))
    length = builder.error_token().size();
  else if (contains("unexpected true literal") || contains("unexpected null literal"))
    length = 4;
  else if (contains("unexpected false literal"))
    length = 5;
  return unexpected(end - std::min(end, length), end);
}

}  // namespace

Value parse_json(std::string_view text) {
  ValueBuilder builder;
  bool parsed = json::sax_parse(text.begin(), text.end(), &builder);
  size_t nul = text.find('\0');
  // A NUL byte ends the parser's input: text after one was not read.
  if (parsed && nul == std::string_view::npos) return builder.take_result();
  ParseProblem problem;
  if (parsed) {
    problem = {format_message(messages::kJsonUnexpected, {quoted_token(text.substr(nul, 1))}), nul};
  } else if (builder.too_deep()) {
    problem = {format_message(messages::kJsonTooDeep, {std::to_string(kJsonMaxDepth)}),
               offset_of_level(text, kJsonMaxDepth + 1)};
  } else {
    problem = describe(text, builder);
  }
  auto [line, column] = line_and_column(text, problem.offset);
  return library::error(messages::kJsonParseFailed,
                        {problem.what, std::to_string(line), std::to_string(column)});
}

}  // namespace vormel
