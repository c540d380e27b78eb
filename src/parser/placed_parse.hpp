// Parsing that also records where each node starts, for the error locations a person sees.
// The tree is the same as parse_program()'s.
#pragma once

#include <cstdint>
#include <string_view>

#include "lexer/token.hpp"
#include "parser/ast.hpp"

namespace vormel {

// `tokens` (whose places tokenize() gave) of the source named `source_name`, whose first
// line is line `first_line` (the REPL numbers the lines of a whole session).
StmtList parse_placed(const TokenList& tokens, std::string_view source_name,
                      uint32_t first_line = 1);
// Both steps.
StmtList parse_placed(std::string_view source, std::string_view source_name,
                      uint32_t first_line = 1);

}  // namespace vormel
