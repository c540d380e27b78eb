// contains, split, slice, concat, upper and lower. contains, split and concat see every
// value through its display text; slice counts code points; upper and lower use ICU's full
// case mappings (one character may become several, final sigma in lower case).
#include <string>
#include <string_view>

#include "interpreter/builtins/argument_reading.hpp"
#include "interpreter/builtins/builtin_handlers.hpp"
#include "support/text_case.hpp"
#include "support/text_format.hpp"

namespace vormel {
namespace {

// A String's own bytes without a copy; any other value's display text, built in `storage`.
std::string_view text_of(const Value& value, std::string& storage) {
  if (value.is(ValueKind::String)) return value.as_string();
  append_display_text(storage, value);
  return storage;
}

// Byte offset just past the next code point (a malformed byte counts as one).
size_t next_boundary(std::string_view text, size_t pos) {
  decode_utf8(text, pos);
  return pos;
}

}  // namespace

Value builtin_contains(std::span<Value> args) {
  if (args.size() < 2) return Value::null();
  std::string haystack_storage, needle_storage;
  std::string_view haystack = text_of(args[0], haystack_storage);
  std::string_view needle = text_of(args[1], needle_storage);
  return Value::boolean(haystack.find(needle) != std::string_view::npos);
}

Value builtin_split(std::span<Value> args) {
  if (args.size() < 2) return Value::null();
  std::string text_storage, separator_storage;
  std::string_view text = text_of(args[0], text_storage);
  std::string_view separator = text_of(args[1], separator_storage);
  ValueList pieces;
  if (separator.empty()) {
    // A boundary before every code point and at the end: empty, each character, empty.
    pieces.push_back(Value::string(std::string()));
    for (size_t pos = 0; pos < text.size();) {
      size_t end = next_boundary(text, pos);
      pieces.push_back(Value::string(std::string(text.substr(pos, end - pos))));
      pos = end;
    }
    pieces.push_back(Value::string(std::string()));
  } else {
    // Counted first, so that the list is allocated once at its final size.
    size_t count = 1;
    for (size_t at = 0; (at = text.find(separator, at)) != std::string_view::npos;
         at += separator.size())
      ++count;
    pieces.reserve(count);
    size_t start = 0;
    for (size_t match; (match = text.find(separator, start)) != std::string_view::npos;) {
      pieces.push_back(Value::string(std::string(text.substr(start, match - start))));
      start = match + separator.size();
    }
    pieces.push_back(Value::string(std::string(text.substr(start))));
  }
  return Value::array(std::move(pieces));
}

Value builtin_slice(std::span<Value> args) {
  int64_t start = 0, end = 0;
  if (args.size() < 3 || !read_integer(args[1], start) || !read_integer(args[2], end) ||
      !args[0].is(ValueKind::String)) {
    return Value::null();
  }
  std::string_view text = args[0].as_string();
  // Taken unsigned, a negative start skips everything, and an end before start wraps the
  // count to a huge number, which takes the rest of the text.
  auto skip = static_cast<uint64_t>(start);
  uint64_t count = static_cast<uint64_t>(end) - static_cast<uint64_t>(start);
  size_t from = 0;
  for (; skip > 0 && from < text.size(); --skip) from = next_boundary(text, from);
  size_t to = from;
  for (; count > 0 && to < text.size(); --count) to = next_boundary(text, to);
  return Value::string(std::string(text.substr(from, to - from)));
}

Value builtin_concat(std::span<Value> args) {
  std::string joined;
  for (const Value& arg : args) append_display_text(joined, arg);
  return Value::string(std::move(joined));
}

Value builtin_upper(std::span<Value> args) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value::null();
  return Value::string(to_case(args[0].as_string(), TextCase::Upper));
}
Value builtin_lower(std::span<Value> args) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value::null();
  return Value::string(to_case(args[0].as_string(), TextCase::Lower));
}

}  // namespace vormel
