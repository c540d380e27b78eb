// Tokens to statements. Never reports: forms that break off are dropped, missing closers
// are passed over, and every input parses to an end.
#pragma once

#include "lexer/token.hpp"
#include "parser/ast.hpp"

namespace vormel {

StmtList parse_program(const TokenList& tokens);

}  // namespace vormel
