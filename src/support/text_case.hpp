// Upper and lower case by ICU's full case mappings in the root locale (one character may
// become several; final sigma in lower case; no language rules such as Turkish dotted i).
#pragma once

#include <string>
#include <string_view>

namespace vormel {

enum class TextCase { Upper, Lower };

// The text in that case; the text unchanged if ICU fails (memory exhaustion, or a text
// beyond 2 GiB).
std::string to_case(std::string_view text, TextCase target);

}  // namespace vormel
