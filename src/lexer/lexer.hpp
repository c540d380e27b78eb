// Source text to tokens. Never fails; the result always ends with exactly one Eof.
#pragma once

#include <string_view>

#include "lexer/token.hpp"

namespace vormel {

TokenList tokenize(std::string_view source);

}  // namespace vormel
