// UTF-8 helpers, over ICU's decoding macros, and the float and quoted-string text forms.
#include "support/text_format.hpp"

#include <unicode/utf8.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>

#include "support/unicode_rules.hpp"

namespace vormel {

bool is_valid_utf8(std::string_view bytes) {
  // ICU refuses overlong forms, surrogates and values past U+10FFFF.
  if (bytes.size() > INT32_MAX) return false;
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data());
  const auto length = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

void append_utf8(std::string& out, char32_t cp) {
  uint8_t buffer[U8_MAX_LENGTH];
  int32_t length = 0;
  U8_APPEND_UNSAFE(buffer, length, cp);
  out.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
}

char32_t decode_utf8(std::string_view bytes, size_t& pos) {
  // Malformed input (which checked text never has) decodes one byte at a time as U+FFFD.
  const auto* s = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
  const auto length = static_cast<int32_t>(std::min<size_t>(bytes.size() - pos, 4));
  int32_t i = 0;
  UChar32 c;
  U8_NEXT(s, i, length, c);
  if (c < 0) {
    ++pos;
    return 0xFFFD;
  }
  pos += static_cast<size_t>(i);
  return static_cast<char32_t>(c);
}

namespace {

// Shortest round-trip digits and the decimal exponent: value = 0.DIGITS * 10^exponent.
void shortest_digits(double magnitude, std::string& digits, int& exponent) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific);
  std::string text(buffer, result.ptr);
  size_t e = text.find('e');
  std::string mantissa = text.substr(0, e);
  int exp10 = std::atoi(text.c_str() + e + 1);
  digits.clear();
  for (char c : mantissa)
    if (c != '.') digits += c;
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  exponent = exp10 + 1;
}

std::string positional(const std::string& digits, int exponent) {
  std::string out;
  if (exponent <= 0) {
    out.append("0.");
    out.append(static_cast<size_t>(-exponent), '0');
    out.append(digits);
  } else if (static_cast<size_t>(exponent) >= digits.size()) {
    out.append(digits);
    out.append(static_cast<size_t>(exponent) - digits.size(), '0');
  } else {
    out.append(digits, 0, static_cast<size_t>(exponent));
    out.push_back('.');
    out.append(digits, static_cast<size_t>(exponent), std::string::npos);
  }
  return out;
}

bool special_float(double value, std::string& out) {
  if (std::isnan(value)) {
    out = "NaN";
    return true;
  }
  if (std::isinf(value)) {
    out = value < 0 ? "-inf" : "inf";
    return true;
  }
  return false;
}

}  // namespace

std::string display_float_text(double value) {
  std::string out;
  if (special_float(value, out)) return out;
  std::string result = std::signbit(value) ? "-" : "";
  if (value == 0) return result.append("0");
  std::string digits;
  int exponent = 0;
  shortest_digits(std::fabs(value), digits, exponent);
  return result.append(positional(digits, exponent));
}

std::string debug_float_text(double value) {
  std::string out;
  if (special_float(value, out)) return out;
  std::string result = std::signbit(value) ? "-" : "";
  double magnitude = std::fabs(value);
  if (magnitude == 0) return result.append("0.0");
  std::string digits;
  int exponent = 0;
  shortest_digits(magnitude, digits, exponent);
  if (magnitude >= 1e16 || magnitude < 1e-4) {
    result.push_back(digits[0]);
    if (digits.size() > 1) {
      result.push_back('.');
      result.append(digits, 1, std::string::npos);
    }
    result.push_back('e');
    return result.append(std::to_string(exponent - 1));
  }
  std::string text = positional(digits, exponent);
  if (text.find('.') == std::string::npos) text.append(".0");
  return result.append(text);
}

std::string quoted_debug_string(std::string_view text) {
  std::string out = "\"";
  size_t pos = 0;
  while (pos < text.size()) {
    size_t start = pos;
    char32_t c = decode_utf8(text, pos);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case 0: out += "\\0"; break;
      default:
        if (unicode::is_printable(c)) {
          out.append(text.substr(start, pos - start));
        } else {
          char buffer[16];
          std::snprintf(buffer, sizeof buffer, "\\u{%x}", static_cast<unsigned>(c));
          out += buffer;
        }
    }
  }
  return out + "\"";
}

std::string_view trim_white_space(std::string_view text) {
  auto is_space_at = [&](size_t pos, size_t& next) {
    next = pos;
    char32_t cp = decode_utf8(text, next);
    return unicode::is_white_space(cp);
  };
  size_t begin = 0;
  size_t next = 0;
  while (begin < text.size() && is_space_at(begin, next)) begin = next;
  size_t end = text.size();
  while (end > begin) {
    size_t start = end - 1;  // step back to the lead byte of the last character
    while (start > begin && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) --start;
    if (!is_space_at(start, next) || next != end) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

}  // namespace vormel
