// Text forms shared by the syntax tree's and the values' debug and display texts.
#pragma once

#include <string>
#include <string_view>

namespace vormel {

// Shortest round-trip digits in plain positional notation: 3, 2.5, 0.0000001, -0, NaN, inf.
std::string display_float_text(double value);
// Always a fractional part, exponent form at >= 1e16 or below 1e-4: 3.0, 1e16, 1.5e-7.
std::string debug_float_text(double value);
// Double-quoted with \" \\ \t \r \n \0 escapes and \u{hex} for other non-printables.
std::string quoted_debug_string(std::string_view text);

// Strict UTF-8 validation (no surrogates, no overlong forms).
bool is_valid_utf8(std::string_view bytes);
// Decodes the scalar value at bytes[pos] and advances pos; a malformed byte gives U+FFFD.
char32_t decode_utf8(std::string_view bytes, size_t& pos);
// Removes leading and trailing Unicode White_Space characters.
std::string_view trim_white_space(std::string_view text);

}  // namespace vormel
