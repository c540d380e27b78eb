// The "text" library module: Strings in, new Strings (or numbers, arrays) out. Positions and
// widths count characters (Unicode scalar values); white space is Unicode's White_Space.
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "interpreter/library/character_positions.hpp"
#include "interpreter/library/library_modules.hpp"
#include "interpreter/library/text_arguments.hpp"
#include "interpreter/library/text_template.hpp"
#include "support/text_format.hpp"
#include "support/unicode_rules.hpp"

namespace vormel {
namespace {

using library::expected_string;
using library::expected_whole_number;
using library::is_string;

std::string_view trimmed_start(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t next = pos;
    if (!unicode::is_white_space(decode_utf8(text, next))) break;
    pos = next;
  }
  return text.substr(pos);
}

// Whether `text` is a decimal number: [+-]digits[.digits][e[+-]digits], with digits on at
// least one side of the point. `integral` tells whether it has neither point nor exponent.
bool is_decimal(std::string_view text, bool& integral) {
  size_t i = 0;
  auto digits = [&] {
    size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
  };
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t mantissa = digits();
  integral = true;
  if (i < text.size() && text[i] == '.') {
    ++i;
    mantissa += digits();
    integral = false;
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    if (digits() == 0) return false;
    integral = false;
  }
  return i == text.size();
}

Value text_number(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.number", args[0]);
  const std::string& original = args[0].as_string();
  std::string_view text = trim_white_space(original);
  bool integral = false;
  if (!is_decimal(text, integral)) return library::error(messages::kTextNotANumber, {original});
  if (integral) {
    std::string_view digits = text[0] == '+' ? text.substr(1) : text;
    int64_t whole = 0;
    auto [end, problem] = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
    if (problem == std::errc() && end == digits.data() + digits.size()) return Value::number(whole);
  }
  // A Float: strtod reads the decimal form exactly as validated above.
  std::string copy(text);
  errno = 0;
  double real = std::strtod(copy.c_str(), nullptr);
  if (std::isinf(real)) return library::error(messages::kTextNumberOutOfRange, {original});
  return Value::floating(real);
}

Value text_trim(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.trim", args[0]);
  return Value::string(std::string(trim_white_space(args[0].as_string())));
}

Value text_trim_start(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.trim_start", args[0]);
  return Value::string(std::string(trimmed_start(args[0].as_string())));
}

Value text_trim_end(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.trim_end", args[0]);
  std::string_view text = args[0].as_string();
  // Trimming both ends and keeping the start leaves just the end trimmed.
  std::string_view start_kept = trimmed_start(text);
  std::string_view both = trim_white_space(start_kept);
  size_t lead = text.size() - start_kept.size();
  return Value::string(std::string(text.substr(0, both.empty() ? 0 : lead + both.size())));
}

Value text_join(std::span<Value> args, const NativeCallContext&) {
  if (!args[0].is(ValueKind::Array)) return library::expected("text.join", "an array", args[0]);
  if (!is_string(args[1])) return expected_string("text.join", args[1]);
  const std::string& separator = args[1].as_string();
  std::string joined;
  bool first = true;
  for (const Value& item : args[0].as_array()) {
    if (!first) joined += separator;
    first = false;
    append_display_text(joined, item);
    if (joined.size() > library::kMaxTextBytes) throw std::bad_alloc();
  }
  return Value::string(std::move(joined));
}

Value text_find(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.find", args[0]);
  if (!is_string(args[1])) return expected_string("text.find", args[1]);
  int64_t start = 0;
  if (args.size() > 2) {
    if (!args[2].is(ValueKind::Number)) return expected_whole_number("text.find", args[2]);
    start = args[2].as_number();
    if (start < 0)
      return library::error(messages::kTextNegative, {"text.find", "start", std::to_string(start)});
  }
  std::string_view text = args[0].as_string();
  size_t from = library::byte_offset_of(text, static_cast<uint64_t>(start));
  if (from == std::string_view::npos) return Value::number(-1);
  size_t at = text.find(args[1].as_string(), from);
  if (at == std::string_view::npos) return Value::number(-1);
  return Value::number(static_cast<int64_t>(library::character_index_of(text, at)));
}

Value text_replace(std::span<Value> args, const NativeCallContext&) {
  for (size_t i = 0; i < 3; ++i)
    if (!is_string(args[i])) return expected_string("text.replace", args[i]);
  std::string_view text = args[0].as_string();
  std::string_view old_text = args[1].as_string();
  std::string_view new_text = args[2].as_string();
  if (old_text.empty()) return library::error(messages::kTextEmptyOld, {});
  std::string result;
  size_t start = 0;
  for (size_t at; (at = text.find(old_text, start)) != std::string_view::npos;) {
    result.append(text, start, at - start).append(new_text);
    if (result.size() > library::kMaxTextBytes) throw std::bad_alloc();
    start = at + old_text.size();
  }
  result.append(text.substr(start));
  return Value::string(std::move(result));
}

Value text_starts_with(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.starts_with", args[0]);
  if (!is_string(args[1])) return expected_string("text.starts_with", args[1]);
  return Value::boolean(args[0].as_string().starts_with(args[1].as_string()));
}

Value text_ends_with(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.ends_with", args[0]);
  if (!is_string(args[1])) return expected_string("text.ends_with", args[1]);
  return Value::boolean(args[0].as_string().ends_with(args[1].as_string()));
}

// An Error when a result of `bytes` bytes would pass the text limit.
bool too_long(uint64_t unit, uint64_t count) {
  return unit != 0 && count > library::kMaxTextBytes / unit;
}
Value too_long_error(std::string_view function, uint64_t unit, uint64_t count) {
  // The product may not fit in 64 bits: the message then says "more than".
  std::string bytes = count > UINT64_MAX / unit ? "more than " + std::to_string(UINT64_MAX)
                                                : std::to_string(unit * count);
  return library::error(messages::kTextTooLong,
                        {function, bytes, std::to_string(library::kMaxTextBytes)});
}

Value text_repeat(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.repeat", args[0]);
  if (!args[1].is(ValueKind::Number)) return expected_whole_number("text.repeat", args[1]);
  int64_t count = args[1].as_number();
  if (count < 0)
    return library::error(messages::kTextNegative,
                          {"text.repeat", "the count", std::to_string(count)});
  const std::string& unit = args[0].as_string();
  if (too_long(unit.size(), static_cast<uint64_t>(count)))
    return too_long_error("text.repeat", unit.size(), static_cast<uint64_t>(count));
  std::string result;
  if (unit.empty()) return Value::string(std::move(result));
  result.reserve(unit.size() * static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) result += unit;
  return Value::string(std::move(result));
}

Value text_lines(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.lines", args[0]);
  std::string_view text = args[0].as_string();
  ValueList lines;
  // A line break ends a line; it does not start one, so "a\n" is one line.
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(Value::string(std::string(line)));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return Value::array(std::move(lines));
}

Value text_chars(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.chars", args[0]);
  std::string_view text = args[0].as_string();
  ValueList characters;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = library::next_character(text, pos);
    characters.push_back(Value::string(std::string(text.substr(pos, end - pos))));
    pos = end;
  }
  return Value::array(std::move(characters));
}

Value text_code(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.code", args[0]);
  std::string_view text = args[0].as_string();
  if (text.empty()) return library::error(messages::kTextCodeOfEmpty, {});
  size_t pos = 0;
  return Value::number(decode_utf8(text, pos));
}

Value text_from_code(std::span<Value> args, const NativeCallContext&) {
  if (!args[0].is(ValueKind::Number)) return expected_whole_number("text.from_code", args[0]);
  int64_t code = args[0].as_number();
  if (code < 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    return library::error(messages::kTextNotACode, {std::to_string(code)});
  std::string character;
  append_utf8(character, static_cast<char32_t>(code));
  return Value::string(std::move(character));
}

Value text_format(std::span<Value> args, const NativeCallContext&) {
  if (!is_string(args[0])) return expected_string("text.format", args[0]);
  return library::fill_template(args[0].as_string(), args.subspan(1));
}

// pad_start and pad_end: the fill repeated before or after `s` up to `width` characters.
Value pad(std::span<Value> args, std::string_view function, bool at_start) {
  if (!is_string(args[0])) return expected_string(function, args[0]);
  if (!args[1].is(ValueKind::Number)) return expected_whole_number(function, args[1]);
  std::string_view fill = " ";
  if (args.size() > 2) {
    if (!is_string(args[2])) return expected_string(function, args[2]);
    fill = args[2].as_string();
    if (library::character_count(fill) != 1)
      return library::error(messages::kTextFillNotOneCharacter, {function, fill});
  }
  int64_t width = args[1].as_number();
  if (width < 0)
    return library::error(messages::kTextNegative, {function, "the width", std::to_string(width)});
  const std::string& text = args[0].as_string();
  uint64_t length = library::character_count(text);
  if (length >= static_cast<uint64_t>(width)) return args[0];
  uint64_t missing = static_cast<uint64_t>(width) - length;
  if (too_long(fill.size(), missing) ||
      text.size() + fill.size() * missing > library::kMaxTextBytes)
    return too_long_error(function, fill.size(), missing);
  std::string padding;
  padding.reserve(fill.size() * missing);
  for (uint64_t i = 0; i < missing; ++i) padding += fill;
  return Value::string(at_start ? padding + text : text + padding);
}

Value text_pad_start(std::span<Value> args, const NativeCallContext&) {
  return pad(args, "text.pad_start", true);
}
Value text_pad_end(std::span<Value> args, const NativeCallContext&) {
  return pad(args, "text.pad_end", false);
}

// In this order the module exports them. The signature is what the tools show and what the
// argument count is checked against.
constexpr std::array<NativeFunction, 17> kTextFunctions = {{
    {"number", 1, "", "number(s)", "The Number or Float a text spells.", text_number},
    {"trim", 1, "", "trim(s)", "s without white space at either end.", text_trim},
    {"trim_start", 1, "", "trim_start(s)", "s without white space at its start.", text_trim_start},
    {"trim_end", 1, "", "trim_end(s)", "s without white space at its end.", text_trim_end},
    {"join", 2, "", "join(array, sep)", "The elements' display texts with sep between them.",
     text_join},
    {"find", 2, "", "find(s, sub[, start])",
     "The character index of the first sub in s from start, or -1.", text_find},
    {"replace", 3, "", "replace(s, old, new)", "s with every old replaced by new.", text_replace},
    {"starts_with", 2, "", "starts_with(s, prefix)", "Whether s starts with prefix.",
     text_starts_with},
    {"ends_with", 2, "", "ends_with(s, suffix)", "Whether s ends with suffix.", text_ends_with},
    {"repeat", 2, "", "repeat(s, n)", "s written n times.", text_repeat},
    {"lines", 1, "", "lines(s)", "The lines of s, without their line breaks.", text_lines},
    {"chars", 1, "", "chars(s)", "The characters of s, one String each.", text_chars},
    {"code", 1, "", "code(s)", "The code point of the first character of s.", text_code},
    {"from_code", 1, "", "from_code(n)", "The character of code point n.", text_from_code},
    {"format", 1, "", "format(template, ...)",
     "The template with each {} replaced by the next value's display text.", text_format},
    {"pad_start", 2, "", "pad_start(s, width[, fill])",
     "s with fill before it up to width characters.", text_pad_start},
    {"pad_end", 2, "", "pad_end(s, width[, fill])", "s with fill after it up to width characters.",
     text_pad_end},
}};

constexpr NativeModule kTextModule = {"text", kTextFunctions, messages::kModuleFunctionMissing};

}  // namespace

const NativeModule& text_module() { return kTextModule; }

}  // namespace vormel
