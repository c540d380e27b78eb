// Unicode's character properties and case mappings, from ICU's shared library (libicuuc),
// which is loaded on the first question that ASCII alone cannot answer: a script that only
// ever meets ASCII never loads it. If it cannot be loaded then, the program ends with an
// error that names the library (status 1).
#pragma once

#include <string>
#include <string_view>

namespace vormel::unicode {

// Alphabetic, or a number (general category Nd, Nl or No).
bool is_alphanumeric(char32_t c);
// Not a control, format, unassigned, surrogate or private-use character (ICU's u_isprint).
bool is_printable(char32_t c);
// Unicode's White_Space property (a fixed set of 25 characters, answered without ICU).
bool is_white_space(char32_t c);

// Writes `text` in upper (or lower) case by the full case mappings of the root locale into
// `out`; false (with `out` unspecified) if ICU fails, as on a text beyond 2 GiB.
bool map_case(std::string_view text, bool upper, std::string& out);

}  // namespace vormel::unicode
