// Source text to tokens. Never fails; the result always ends with exactly one Eof.
#pragma once

#include <string_view>

#include "lexer/lex_trace.hpp"
#include "lexer/token.hpp"

namespace vormel {

TokenList tokenize(std::string_view source);
// The same tokens, and where each one is in the source and what was passed over.
TokenList tokenize(std::string_view source, LexTrace& trace);

}  // namespace vormel
